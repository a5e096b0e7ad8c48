// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "png/PngWriter.h"

#include <QtGlobal>
#include <zlib.h>

// A deflate stream with the one set of parameters every PNG of ours uses: level 7, window
// 32 KiB, memory level 8, default strategy. Raw streams (no zlib header or checksum) let the
// parallel writer join independently compressed ranges into one zlib stream.
class DeflateStream {
public:
    enum TFraming { ZlibFraming, RawFraming };

    explicit DeflateStream(TFraming framing);
    ~DeflateStream();
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    void SetDictionary(const uchar* data, qsizetype size);

    // Compresses the input into out (anything with Space(), SpaceLeft() and Commit()); with
    // Z_SYNC_FLUSH or Z_FINISH every byte of output so far is delivered before it returns.
    template <class Output>
    void Deflate(const uchar* input, qsizetype size, int flush, Output& out);

    static constexpr int Level = PngWriter::CompressionLevel;
    static constexpr int WindowBits = 15;
    static constexpr int MemLevel = 8;
    // The two bytes zlib itself starts a stream with at these settings.
    static quint16 ZlibHeader();

private:
    static void Check(int result);

    z_stream FStream{};
};

template <class Output>
void DeflateStream::Deflate(const uchar* input, qsizetype size, int flush, Output& out) {
    FStream.next_in = const_cast<Bytef*>(input);
    FStream.avail_in = uInt(size);
    int result = Z_OK;
    do {
        FStream.next_out = out.Space(); // may make room, so before SpaceLeft()
        const qsizetype space = out.SpaceLeft();
        FStream.avail_out = uInt(space);
        result = deflate(&FStream, flush);
        Check(result);
        out.Commit(space - qsizetype(FStream.avail_out));
    } while (flush == Z_FINISH ? result != Z_STREAM_END
                               : (FStream.avail_in > 0 || FStream.avail_out == 0));
}
