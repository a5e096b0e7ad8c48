// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// The captured page is kept between operations only as a BMP file in the temporary folder;
// every preview, save and thumbnail loads its own copy.

// The system's temporary folder, ending in '/'. Asked afresh every call.
QString GetTempFolder();

// The temporary folder followed directly by the name; no extension.
QString WorkingPicturePath(const QString& tempName);

QImage LoadWorkingPicture(const QString& tempName);

// Replaces the file only once the new picture is complete.
void SaveWorkingPicture(const QImage& picture, const QString& tempName);

// The uncompressed size shown beside the preview, e.g. "BMP:2304 KB" for 1024 x 768.
QString BmpSizeLabel(int width, int height);
QString BmpSizeLabel(const QImage& picture);
