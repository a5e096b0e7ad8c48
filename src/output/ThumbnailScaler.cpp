// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ThumbnailScaler.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Destination pixel i covers the source pixels first[i] .. first[i] + count[i] - 1; for the
// area average, weight[offset[i] + k] is the coverage of the k-th, in units where one source
// pixel is `to` wide and one destination pixel `from` wide.
struct AxisMap {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset;
    std::vector<uint32_t> weight;
};

AxisMap CoverageMap(int from, int to) {
    AxisMap map;
    map.first.resize(size_t(to));
    map.count.resize(size_t(to));
    map.offset.resize(size_t(to));
    map.weight.reserve(size_t(from) + size_t(to));
    for (int i = 0; i < to; ++i) {
        const int64_t begin = int64_t(i) * from;
        const int64_t end = begin + from;
        const int last = int((end - 1) / to);
        map.first[size_t(i)] = int(begin / to);
        map.count[size_t(i)] = last - map.first[size_t(i)] + 1;
        map.offset[size_t(i)] = int(map.weight.size());
        for (int s = map.first[size_t(i)]; s <= last; ++s) {
            const int64_t lo = qMax<int64_t>(begin, int64_t(s) * to);
            const int64_t hi = qMin<int64_t>(end, int64_t(s + 1) * to);
            map.weight.push_back(uint32_t(hi - lo));
        }
    }
    return map;
}

// Shrinking groups the source pixels whose centres fall on a destination pixel; enlarging
// picks the one source pixel under each destination pixel's centre.
AxisMap NearestMap(int from, int to) {
    AxisMap map;
    map.first.assign(size_t(to), 0);
    map.count.assign(size_t(to), 0);
    if (to > from) {
        for (int i = 0; i < to; ++i) {
            map.first[size_t(i)] = int((int64_t(2 * int64_t(i) + 1) * from) / (2 * int64_t(to)));
            map.count[size_t(i)] = 1;
        }
        return map;
    }
    for (int s = from - 1; s >= 0; --s) {
        const int i = int((int64_t(2 * int64_t(s) + 1) * to) / (2 * int64_t(from)));
        map.first[size_t(i)] = s;
        ++map.count[size_t(i)];
    }
    return map;
}

bool Prepare(const QImage& source, const QRect& sourceRect, const QSize& size, QImage& rgb,
             QRect& part, QImage& result) {
    part = sourceRect.intersected(source.rect());
    if (part.isEmpty() || size.isEmpty())
        return false;
    rgb = source.convertToFormat(QImage::Format_RGB888);
    result = QImage(size, QImage::Format_RGB888);
    return !rgb.isNull() && !result.isNull();
}

template <typename Acc>
void AccumulateRows(const QImage& rgb, const QRect& part, const AxisMap& rows, int dy,
                    std::vector<Acc>& acc) {
    const size_t n = acc.size();
    std::fill(acc.begin(), acc.end(), Acc(0));
    for (int k = 0; k < rows.count[size_t(dy)]; ++k) {
        const Acc w = rows.weight[size_t(rows.offset[size_t(dy)] + k)];
        const uchar* line =
            rgb.constScanLine(part.top() + rows.first[size_t(dy)] + k) + size_t(part.left()) * 3;
        Acc* a = acc.data();
        for (size_t i = 0; i < n; ++i)
            a[i] += w * line[i];
    }
}

template <typename Acc>
void AverageColumns(const std::vector<Acc>& acc, const AxisMap& columns, uint64_t total,
                    uchar* out) {
    for (size_t dx = 0; dx < columns.first.size(); ++dx) {
        uint64_t sum[3] = {0, 0, 0};
        for (int k = 0; k < columns.count[dx]; ++k) {
            const uint64_t w = columns.weight[size_t(columns.offset[dx] + k)];
            const Acc* a = acc.data() + size_t(columns.first[dx] + k) * 3;
            sum[0] += w * a[0];
            sum[1] += w * a[1];
            sum[2] += w * a[2];
        }
        for (int c = 0; c < 3; ++c)
            out[dx * 3 + size_t(c)] = uchar((sum[c] + total / 2) / total);
    }
}

// Rows are summed first (one pass over the source, vectorisable), columns once per
// destination row, so a long page costs little more than reading it.
template <typename Acc> void Halftone(const QImage& rgb, const QRect& part, QImage& result) {
    const AxisMap rows = CoverageMap(part.height(), result.height());
    const AxisMap columns = CoverageMap(part.width(), result.width());
    const uint64_t total = uint64_t(part.width()) * uint64_t(part.height());
    std::vector<Acc> acc(size_t(part.width()) * 3);
    for (int dy = 0; dy < result.height(); ++dy) {
        AccumulateRows(rgb, part, rows, dy, acc);
        AverageColumns(acc, columns, total, result.scanLine(dy));
    }
}

void AndRows(const QImage& rgb, const QRect& part, const AxisMap& rows, int dy,
             std::vector<uchar>& line) {
    std::fill(line.begin(), line.end(), uchar(0xFF));
    for (int k = 0; k < rows.count[size_t(dy)]; ++k) {
        const uchar* src =
            rgb.constScanLine(part.top() + rows.first[size_t(dy)] + k) + size_t(part.left()) * 3;
        uchar* l = line.data();
        for (size_t i = 0; i < line.size(); ++i)
            l[i] &= src[i];
    }
}

void AndColumns(const std::vector<uchar>& line, const AxisMap& columns, uchar* out) {
    for (size_t dx = 0; dx < columns.first.size(); ++dx) {
        uchar pixel[3] = {0xFF, 0xFF, 0xFF};
        for (int k = 0; k < columns.count[dx]; ++k) {
            const uchar* p = line.data() + size_t(columns.first[dx] + k) * 3;
            pixel[0] &= p[0];
            pixel[1] &= p[1];
            pixel[2] &= p[2];
        }
        std::memcpy(out + dx * 3, pixel, 3);
    }
}

} // namespace

QImage StretchHalftone(const QImage& source, const QRect& sourceRect, const QSize& size) {
    QImage rgb, result;
    QRect part;
    if (!Prepare(source, sourceRect, size, rgb, part, result))
        return QImage();
    // A row sum is at most 255 times the part's height; 32 bits hold that for any page
    // shorter than about 16 million rows.
    if (uint64_t(part.height()) * 255 <= std::numeric_limits<uint32_t>::max())
        Halftone<uint32_t>(rgb, part, result);
    else
        Halftone<uint64_t>(rgb, part, result);
    return result;
}

QImage StretchBlackOnWhite(const QImage& source, const QRect& sourceRect, const QSize& size) {
    QImage rgb, result;
    QRect part;
    if (!Prepare(source, sourceRect, size, rgb, part, result))
        return QImage();
    const AxisMap rows = NearestMap(part.height(), result.height());
    const AxisMap columns = NearestMap(part.width(), result.width());
    std::vector<uchar> line(size_t(part.width()) * 3);
    for (int dy = 0; dy < result.height(); ++dy) {
        AndRows(rgb, part, rows, dy, line);
        AndColumns(line, columns, result.scanLine(dy));
    }
    return result;
}

void DrawFrame(QImage& picture, QRgb color) {
    const int w = picture.width();
    const int h = picture.height();
    if (w <= 0 || h <= 0)
        return;
    for (int x = 0; x < w; ++x) {
        picture.setPixel(x, 0, color);
        picture.setPixel(x, h - 1, color);
    }
    for (int y = 0; y < h; ++y) {
        picture.setPixel(0, y, color);
        picture.setPixel(w - 1, y, color);
    }
}
