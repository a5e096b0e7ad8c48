// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG writer fed pictures of random sizes, formats and pixels on both deflate paths: the
// file it writes is taken apart here chunk by chunk, inflated with zlib, unfiltered and
// compared pixel for pixel, and read again by Qt's own PNG reader.
#include "FuzzCheck.h"

#include "common/VistrelError.h"
#include "png/PngWriter.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <array>
#include <vector>
#include <zlib.h>

namespace {

constexpr qint64 MaxPixels = qint64(1) << 17;
// Rows longer than an IDAT chunk and than the deflate window; such pictures are slow to write
// here, so they come up in one input of eight.
constexpr int MaxWideWidth = 40000;

constexpr std::array Formats{
    QImage::Format_RGB888,     QImage::Format_RGB32,
    QImage::Format_ARGB32,     QImage::Format_ARGB32_Premultiplied,
    QImage::Format_Grayscale8, QImage::Format_Indexed8,
    QImage::Format_RGB16,      QImage::Format_RGBA8888,
    QImage::Format_BGR888,     QImage::Format_Mono,
    QImage::Format_RGBX64,     QImage::Format_Grayscale16,
};

// The picture and the buffer its pixels may live in (a stride of our choosing, with junk
// between the rows that must not reach the file).
struct Source {
    std::vector<uchar> external;
    QImage picture;
};

void Fill(QImage& picture, const QByteArray& pixels) {
    const qsizetype rowBytes = (qsizetype(picture.width()) * picture.depth() + 7) / 8;
    qsizetype at = 0;
    for (int y = 0; y < picture.height(); ++y) {
        uchar* row = picture.scanLine(y);
        for (qsizetype i = 0; i < rowBytes; ++i, ++at) {
            row[i] = pixels.isEmpty() ? 0 : uchar(pixels[at % pixels.size()]);
        }
    }
}

void MakeColourTable(QImage& picture, FuzzInput& in) {
    const int colours = int(in.Range(1, 256));
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i) {
        // One at a time: the order in which arguments are worked out differs between compilers.
        const int red = in.Byte();
        const int green = in.Byte();
        const int blue = in.Byte();
        table << qRgba(red, green, blue, in.Byte());
    }
    picture.setColorTable(table);
    for (int y = 0; y < picture.height(); ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            row[x] = uchar(row[x] % colours);
        }
    }
}

Source MakeSource(FuzzInput& in) {
    const bool wide = (in.Byte() & 7) == 7;
    const int width = int(in.Range(1, wide ? MaxWideWidth : 300));
    const int height = int(qMin<qint64>(in.Range(1, 300), qMax<qint64>(1, MaxPixels / width)));
    const QImage::Format format = Formats[in.Byte() % Formats.size()];
    const int padding = in.Byte() % 8;
    const QByteArray colourBytes = format == QImage::Format_Indexed8 ? in.Piece() : QByteArray();
    const QByteArray pixels = in.Rest();

    Source source;
    if (format == QImage::Format_RGB888 && padding > 0) {
        const qsizetype stride = qsizetype(width) * 3 + padding;
        source.external.assign(size_t(stride * height), 0xA5);
        source.picture = QImage(source.external.data(), width, height, stride, format);
    } else {
        source.picture = QImage(width, height, format);
    }
    Fill(source.picture, pixels);
    if (format == QImage::Format_Indexed8) {
        FuzzInput table(reinterpret_cast<const uint8_t*>(colourBytes.constData()),
                        size_t(colourBytes.size()));
        MakeColourTable(source.picture, table);
    } else if (format == QImage::Format_Mono) {
        source.picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    return source;
}

quint32 Be32(const QByteArray& b, qsizetype at) {
    return qFromBigEndian<quint32>(b.constData() + at);
}

struct Chunk {
    QByteArray type;
    QByteArray data;
};

// The file as its chunks, each with its length and CRC checked; nothing may follow IEND.
QList<Chunk> ChunksOf(const QByteArray& file) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    FUZZ_CHECK(file.startsWith(signature));
    QList<Chunk> chunks;
    qsizetype at = signature.size();
    while (chunks.isEmpty() || chunks.last().type != "IEND") {
        FUZZ_CHECK(file.size() - at >= 12);
        const quint32 length = Be32(file, at);
        FUZZ_CHECK(length <= quint32(file.size() - at - 12));
        Chunk chunk{file.mid(at + 4, 4), file.mid(at + 8, length)};
        const QByteArray covered = file.mid(at + 4, 4 + length);
        const uLong crc =
            crc32(0, reinterpret_cast<const Bytef*>(covered.constData()), uInt(covered.size()));
        FUZZ_CHECK(Be32(file, at + 8 + length) == quint32(crc));
        chunks << chunk;
        at += 12 + length;
    }
    FUZZ_CHECK(at == file.size());
    return chunks;
}

// The zlib stream must end exactly with the IDAT data and give exactly the filtered rows.
std::vector<uchar> Inflate(const QByteArray& compressed, size_t expected) {
    FUZZ_CHECK(compressed.size() >= 2 && uchar(compressed[0]) == 0x78 &&
               uchar(compressed[1]) == 0xDA);
    std::vector<uchar> out(expected + 1);
    z_stream stream{};
    FUZZ_CHECK(inflateInit(&stream) == Z_OK);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const size_t produced = out.size() - stream.avail_out;
    const uInt unused = stream.avail_in;
    inflateEnd(&stream);
    FUZZ_CHECK(result == Z_STREAM_END && unused == 0 && produced == expected);
    out.resize(expected);
    return out;
}

void CheckDecoded(const QByteArray& file, const QImage& expected) {
    const QList<Chunk> chunks = ChunksOf(file);
    FUZZ_CHECK(chunks.size() >= 3 && chunks.first().type == "IHDR" && chunks.last().data.isEmpty());
    const QByteArray& ihdr = chunks.first().data;
    FUZZ_CHECK(ihdr.size() == 13);
    FUZZ_CHECK(Be32(ihdr, 0) == quint32(expected.width()) &&
               Be32(ihdr, 4) == quint32(expected.height()));
    FUZZ_CHECK(ihdr.mid(8) == QByteArray("\x08\x02\x00\x00\x00", 5));
    QByteArray idat;
    for (qsizetype i = 1; i + 1 < chunks.size(); ++i) {
        FUZZ_CHECK(chunks[i].type == "IDAT");
        // Every IDAT chunk but the last is full.
        FUZZ_CHECK(chunks[i].data.size() == PngWriter::MaxIdatSize ||
                   (i + 2 == chunks.size() && !chunks[i].data.isEmpty()));
        idat += chunks[i].data;
    }
    const qsizetype rowBytes = qsizetype(expected.width()) * 3;
    const std::vector<uchar> filtered = Inflate(idat, size_t((rowBytes + 1) * expected.height()));
    std::vector<uchar> row(static_cast<size_t>(rowBytes));
    for (int y = 0; y < expected.height(); ++y) {
        const uchar* in = filtered.data() + y * (rowBytes + 1);
        FUZZ_CHECK(in[0] == 1); // Sub
        for (qsizetype i = 0; i < rowBytes; ++i) {
            row[i] = uchar(in[1 + i] + (i >= 3 ? row[i - 3] : 0));
        }
        FUZZ_CHECK(std::equal(row.begin(), row.end(), expected.constScanLine(y)));
    }
}

void CheckQtReads(const QByteArray& file, const QImage& expected) {
    QImage read;
    FUZZ_CHECK(read.loadFromData(file, "PNG"));
    FUZZ_CHECK(read.convertToFormat(QImage::Format_RGB888) == expected);
}

// A device that takes a set number of bytes and refuses the rest.
class TFullDevice : public QIODevice {
public:
    explicit TFullDevice(qint64 room) : FRoom(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        if (size > FRoom) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        FRoom -= size;
        return size;
    }

private:
    qint64 FRoom;
};

void Configure(PngWriter& png, FuzzInput& in) {
    const int path = in.Byte() % 3;
    png.SetDeflatePath(path == 0   ? PngWriter::TDeflatePath::Auto
                       : path == 1 ? PngWriter::TDeflatePath::Sequential
                                   : PngWriter::TDeflatePath::Parallel);
    png.SetRangeBytes(qsizetype(in.Range(1, 1 << 18)));
    png.SetThreadCount(int(in.Range(1, 3)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    PngWriter png;
    Configure(png, in);
    const quint8 failure = in.Byte();
    const Source source = MakeSource(in);
    const QImage expected = source.picture.convertToFormat(QImage::Format_RGB888);

    png.Assign(source.picture);
    // A refused picture leaves the one before it in place.
    try {
        png.Assign(QImage());
        FUZZ_CHECK(false);
    } catch (const VistrelError&) {
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    png.SaveToStream(buffer);
    CheckDecoded(buffer.data(), expected);
    CheckQtReads(buffer.data(), expected);

    if (failure % 4 == 0) {
        // A write that fails part way is reported, whichever path was writing.
        TFullDevice full(qint64(failure) * buffer.size() / 256);
        bool refused = false;
        try {
            png.SaveToStream(full);
        } catch (const VistrelError& error) {
            refused = error.message().contains(u"No space left on device");
        }
        FUZZ_CHECK(refused);
    }
    return 0;
}
