// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>

// Stretching copies of the part `sourceRect` of a picture onto a new Format_RGB888 picture of
// `size`. The part is clipped to the picture; an empty part or size gives an empty picture.

// Smoothing: each destination pixel is the mean of the source area it covers, weighted by the
// exact (fractional) coverage. Also serves for enlarging.
QImage StretchHalftone(const QImage& source, const QRect& sourceRect, const QSize& size);

// No smoothing: when shrinking, the source pixels falling on one destination pixel are
// combined by bitwise AND, so dark text survives on a light background. Enlarging repeats the
// nearest pixel.
QImage StretchBlackOnWhite(const QImage& source, const QRect& sourceRect, const QSize& size);

// One pixel wide over the outermost rows and columns, drawn over the picture.
void DrawFrame(QImage& picture, QRgb color);
