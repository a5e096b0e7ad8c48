// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/DeflateStream.h"

#include "common/VistrelError.h"

DeflateStream::DeflateStream(TFraming framing) {
    const int bits = framing == RawFraming ? -WindowBits : WindowBits;
    const int result =
        deflateInit2(&FStream, Level, Z_DEFLATED, bits, MemLevel, Z_DEFAULT_STRATEGY);
    if (result != Z_OK) {
        throw VistrelError(result == Z_MEM_ERROR
                               ? QStringLiteral("Not enough memory to compress the PNG data")
                               : QStringLiteral("Cannot start the PNG compression"));
    }
}

DeflateStream::~DeflateStream() {
    deflateEnd(&FStream);
}

void DeflateStream::SetDictionary(const uchar* data, qsizetype size) {
    Check(deflateSetDictionary(&FStream, data, uInt(size)));
}

quint16 DeflateStream::ZlibHeader() {
    // Method 8 with a 2^15 window; level flag 3 ("slowest") as zlib records levels 7 to 9.
    const unsigned compressionInfo = (WindowBits - 8) << 4 | Z_DEFLATED;
    const unsigned levelFlag = Level >= 7 ? 3 : Level == 6 ? 2 : Level >= 2 ? 1 : 0;
    unsigned header = compressionInfo << 8 | levelFlag << 6;
    header += 31 - header % 31;
    return quint16(header);
}

void DeflateStream::Check(int result) {
    // Z_BUF_ERROR only says that no progress was possible; the loops go on by space and input.
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
        throw VistrelError(
            QStringLiteral("The PNG compression failed (zlib error %1)").arg(result));
    }
}
