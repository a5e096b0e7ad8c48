// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// Baseline JFIF through the libjpeg 6b interface: libjpeg's defaults (4:2:0, standard tables)
// and jpeg_set_quality with force-baseline, so a quality of 0 gives the bytes of 1. Every
// libjpeg error, such as a side over 65500 pixels, and an empty picture throw VistrelError.
QByteArray EncodeJpeg(const QImage& picture, int quality);
