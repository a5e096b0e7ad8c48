// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/PictureOptions.h"

#include <QImage>
#include <QString>

enum class ThumbnailTarget { Bmp = 1, Png = 2, Jpeg = 3, Preview = 4 };

// Makes the thumbnail of a captured picture with the options' thumbnail settings, then saves it
// (an empty name asks with the save dialog) or shows it in the viewer.
void MakeThumbnail(const QImage& picture, const PictureOptions& options, ThumbnailTarget target,
                   const QString& name);
