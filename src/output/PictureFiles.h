// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The picture files, each written whole through the atomic writer into a folder made first.

// Throws VistrelError when there is no picture to write (null or empty).
void RequirePicture(const QImage& picture);

void WriteBmpFile(const QImage& picture, const QString& target);
void WritePngFile(const QImage& picture, const QString& target);
// `jpeg` is the encoded file (EncodeJpeg).
void WriteJpegFile(const QByteArray& jpeg, const QString& target);
