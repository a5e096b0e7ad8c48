// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QtGlobal>

// The thumbnail page's choices, read from the window when a thumbnail is made.
struct ThumbnailOptions {
    bool byWidthAndHeight = true; // otherwise by percentage
    int width = 160;
    int height = 180;
    int percent = 10;
    bool crop = false; // make it from the top rows only
    int cropHeight = 768;
    bool smooth = true;
    bool border = false;
    quint32 borderColor = 0; // red in the low byte
};

// Builds the thumbnail of a captured page; an empty result is an error.
QImage BuildThumbnail(const QImage& source, const ThumbnailOptions& options);
