// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineNames.h"

QString InsertThumbSuffix(const QString& name) {
    QString result = name;
    return result.insert(qMax<qsizetype>(0, name.size() - 4), QStringView(ThumbSuffix));
}

QString ThumbnailFileName(const QString& picFile, const QString& thumbFile) {
    return thumbFile.isEmpty() ? InsertThumbSuffix(picFile) : thumbFile;
}

QString FormatKey(const QString& name) {
    return name.right(3);
}

CmdFileFormat FormatOfName(const QString& name) {
    const QString key = FormatKey(name);
    if (key == u"bmp") {
        return CmdFileFormat::Bmp;
    }
    if (key == u"png") {
        return CmdFileFormat::Png;
    }
    if (key == u"jpg") {
        return CmdFileFormat::Jpg;
    }
    return CmdFileFormat::Unknown;
}
