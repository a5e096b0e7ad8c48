// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

inline constexpr char16_t ThumbSuffix[] = u"_thumb";

// "_thumb" goes in front of the last four characters ("page.png" -> "page_thumb.png"); a name
// of at most four characters gets it at its start.
QString InsertThumbSuffix(const QString& name);

// The thumbnail is named after the picture unless /t gave a name of its own.
QString ThumbnailFileName(const QString& picFile, const QString& thumbFile);

enum class CmdFileFormat { Unknown, Bmp, Png, Jpg };

// The last three characters of a name (the whole name when shorter).
QString FormatKey(const QString& name);
// Only the lower-case keys "bmp", "png" and "jpg" pick a format: not "BMP", nor "jpeg".
CmdFileFormat FormatOfName(const QString& name);
