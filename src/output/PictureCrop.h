// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// Keeps the top rows; a larger height extends the picture downwards with white rows. The
// width does not change. Returns Format_RGB888; a height of 0 or less gives an empty picture.
QImage ChangeHeight(const QImage& picture, int height);
