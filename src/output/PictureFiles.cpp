// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/PictureFiles.h"

#include "common/TargetFile.h"
#include "common/VistrelError.h"
#include "output/BmpFile.h"
#include "png/PngWriter.h"

void RequirePicture(const QImage& picture) {
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        throw VistrelError(QStringLiteral("There is no picture to save"));
}

void WriteBmpFile(const QImage& picture, const QString& target) {
    EnsureTargetFolder(target);
    WriteFileAtomically(target, [&picture](QIODevice& device) { WriteBmp(picture, device); });
}

void WritePngFile(const QImage& picture, const QString& target) {
    EnsureTargetFolder(target);
    PngWriter png;
    png.Assign(picture);
    // Through the one atomic write that every format shares, which commits only a complete file.
    WriteFileAtomically(target, [&png](QIODevice& device) { png.SaveToStream(device); });
}

void WriteJpegFile(const QByteArray& jpeg, const QString& target) {
    EnsureTargetFolder(target);
    WriteFileAtomically(
        target, [&jpeg](QIODevice& device) { WriteAll(device, jpeg.constData(), jpeg.size()); });
}
