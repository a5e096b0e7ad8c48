// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>

// The working picture lives on disk as a 24-bit BMP. Qt's reader refuses pictures over 128 MB,
// which a long page easily exceeds, so reading and writing are our own.

// 24 bits a pixel, 54-byte headers, positive height (bottom-up rows padded to 4 bytes).
void WriteBmp(const QImage& picture, QIODevice& device);

// Uncompressed 24- and 32-bit files, bottom-up or top-down. Returns Format_RGB888.
QImage ReadBmp(const QString& path);
// The same from the start of an open, seekable device; name is what error messages call it.
QImage ReadBmp(QIODevice& device, const QString& name);
