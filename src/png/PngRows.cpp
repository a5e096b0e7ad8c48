// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/PngRows.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace {

struct Source {
    const QByteArray* file = nullptr;
    size_t at = 0;
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > size_t(source->file->size()) - source->at)
        png_error(png, "truncated");
    std::memcpy(out, source->file->constData() + source->at, count);
    source->at += count;
}

// Unreadable files are the caller's to report, not libpng's to print.
void Failed(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void Warned(png_structp, png_const_charp) {}

// libpng reports errors by longjmp: nothing with a destructor lives in this frame.
bool ReadInto(png_structp png, png_infop info, Source* source, QImage* image, int rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, source, ReadBytes);
    png_read_info(png, info);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        return false;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_strip_alpha(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width > 1u << 16 || height == 0 || png_get_rowbytes(png, info) != size_t(width) * 3)
        return false;
    *image = QImage(int(width), int(std::min<png_uint_32>(png_uint_32(rows), height)),
                    QImage::Format_RGB888);
    if (image->isNull())
        return false;
    for (int y = 0; y < image->height(); ++y)
        png_read_row(png, image->scanLine(y), nullptr);
    return true;
}

} // namespace

QImage ReadPngRows(const QByteArray& file, int rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Failed, Warned);
    if (png == nullptr)
        return QImage();
    png_infop info = png_create_info_struct(png);
    Source source{&file, 0};
    QImage image;
    const bool read = info != nullptr && rows > 0 && ReadInto(png, info, &source, &image, rows);
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    return read ? image : QImage();
}
