// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/StreamedPngFile.h"

#include "common/TargetFile.h"
#include "common/VistrelError.h"
#include "png/PngWriter.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

StreamedPngFile::StreamedPngFile(QString target) : FTarget(std::move(target)) {}

StreamedPngFile::~StreamedPngFile() {
    Abandon();
}

void StreamedPngFile::Begin(const QImage& picture) {
    if (Begun() || picture.format() != QImage::Format_RGB888 || picture.isNull())
        return;
    EnsureTargetFolder(FTarget);
    // A copy of the QImage would share the buffer, and the owner's next write would then
    // detach it: wrap the same memory instead.
    FRows = QImage(picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(),
                   picture.format());
    FHeight = picture.height();
    FWriter = std::thread(&StreamedPngFile::Write, this);
}

void StreamedPngFile::Write() {
    // The engine paints the screens on a deadline of frames; deflating yields to it and takes
    // the time between frames. The deflating threads are started here and inherit this.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), 10);
    try {
        WriteFileAtomically(FTarget, [this](QIODevice& device) {
            PngWriter png;
            png.Assign(FRows);
            png.SetRowGate(&FGate);
            png.SaveToStream(device);
        });
    } catch (const VistrelError& error) {
        FFailure = error.message();
    }
}

void StreamedPngFile::RowsFinal(int rows) {
    FGate.Open(rows);
}

void StreamedPngFile::Finish() {
    if (!Begun())
        throw VistrelError(QStringLiteral("Cannot write %1: the picture never began").arg(FTarget));
    FGate.Open(FHeight);
    FWriter.join();
    if (!FFailure.isEmpty())
        throw VistrelError(FFailure);
}

void StreamedPngFile::Abandon() {
    if (!Begun())
        return;
    FGate.Abort();
    FWriter.join();
}
