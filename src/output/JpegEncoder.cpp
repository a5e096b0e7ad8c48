// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/JpegEncoder.h"

#include "common/VistrelError.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <new>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg's own error handler ends the process; ours jumps back to the caller instead.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Grows a QByteArray; the encoded size is unknown until the end.
struct MemoryDestination {
    jpeg_destination_mgr pub;
    QByteArray* out;
};

void ExitWithError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings go nowhere: the program has no console output of its own.
void DropMessage(j_common_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->pub.next_output_byte = reinterpret_cast<JOCTET*>(dest->out->data());
    dest->pub.free_in_buffer = size_t(dest->out->size());
}

bool Grow(QByteArray& out) {
    try {
        out.resize(out.size() * 2);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    const qsizetype used = dest->out->size();
    // No C++ exception may cross libjpeg's C frames; report through its error path instead.
    if (!Grow(*dest->out))
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    dest->pub.next_output_byte = reinterpret_cast<JOCTET*>(dest->out->data() + used);
    dest->pub.free_in_buffer = size_t(dest->out->size() - used);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->out->resize(dest->out->size() - qsizetype(dest->pub.free_in_buffer));
}

void SetDestination(j_compress_ptr cinfo, MemoryDestination& dest) {
    dest.pub.init_destination = InitDestination;
    dest.pub.empty_output_buffer = EmptyOutputBuffer;
    dest.pub.term_destination = TermDestination;
    cinfo->dest = &dest.pub;
}

// Holds nothing that needs destroying, so libjpeg's longjmp out of it skips no destructor.
bool Compress(jpeg_compress_struct& cinfo, ErrorManager& err, MemoryDestination& dest,
              const QImage& rgb, int quality, JSAMPROW* rows) {
    if (setjmp(err.jump))
        return false;
    jpeg_create_compress(&cinfo);
    SetDestination(&cinfo, dest);
    cinfo.image_width = JDIMENSION(rgb.width());
    cinfo.image_height = JDIMENSION(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < rgb.height(); ++y)
        rows[y] = const_cast<JSAMPROW>(rgb.constScanLine(y));
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, rows + cinfo.next_scanline,
                             cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
    return true;
}

QByteArray FirstBuffer(const QImage& rgb) {
    // A screenshot at the usual qualities takes about a tenth of its raw size.
    const qsizetype raw = qsizetype(rgb.width()) * rgb.height() * 3;
    QByteArray out;
    out.resize(qMax<qsizetype>(64 * 1024, raw / 10));
    return out;
}

} // namespace

QByteArray EncodeJpeg(const QImage& picture, int quality) {
    if (picture.isNull())
        throw VistrelError(QStringLiteral("The picture is empty"));
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw VistrelError(QStringLiteral("Not enough memory to encode the picture"));
    std::vector<JSAMPROW> rows(size_t(rgb.height()));
    QByteArray out = FirstBuffer(rgb);
    MemoryDestination dest = {};
    dest.out = &out;
    ErrorManager err = {};
    jpeg_compress_struct cinfo = {};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ExitWithError;
    err.pub.output_message = DropMessage;
    const bool done = Compress(cinfo, err, dest, rgb, quality, rows.data());
    jpeg_destroy_compress(&cinfo);
    if (!done)
        throw VistrelError(QStringLiteral("Cannot encode the picture as JPEG (%1 x %2 pixels): %3")
                               .arg(rgb.width())
                               .arg(rgb.height())
                               .arg(QString::fromLatin1(err.message)));
    return out;
}
