// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// Sub filtering (PNG filter type 1) depends on nothing but the row itself, so any row range can
// be filtered on its own: the parallel writer relies on that.
namespace SubFilter {

constexpr uchar FilterType = 1;

// Writes the filter-type byte, then the row's filtered bytes: rowBytes + 1 bytes in all.
void FilterRow(const uchar* raw, uchar* out, qsizetype rowBytes, int bytesPerPixel);

// Filters the 24-bit picture's rows [first, last) back to back into out.
void FilterRows(const QImage& image, int first, int last, uchar* out);

} // namespace SubFilter
