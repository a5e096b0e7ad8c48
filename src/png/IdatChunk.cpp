// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/IdatChunk.h"

#include "common/VistrelError.h"
#include "png/DeflateStream.h"
#include "png/IdatSink.h"
#include "png/IhdrChunk.h"
#include "png/ParallelDeflater.h"
#include "png/PngWriter.h"
#include "png/SubFilter.h"

#include <vector>

IdatChunk::IdatChunk(PngWriter& owner) : PngChunk(owner, "IDAT") {}

void IdatChunk::SaveToStream(QIODevice& stream) const {
    const IhdrChunk* header = Owner().Header();
    if (!header) {
        throw VistrelError(QStringLiteral("The PNG picture has no header"));
    }
    IdatSink sink(stream, PngWriter::MaxIdatSize);
    if (UsesParallelPath(*header)) {
        ParallelDeflater(header->Image(), Owner().RangeBytes(), Owner().EffectiveThreadCount(),
                         Owner().Gate())
            .Write(sink);
    } else {
        WriteSequential(*header, sink);
    }
    sink.Finish();
}

bool IdatChunk::UsesParallelPath(const IhdrChunk& header) const {
    if (Owner().Gate())
        return true;
    switch (Owner().DeflatePath()) {
    case PngWriter::TDeflatePath::Sequential:
        return false;
    case PngWriter::TDeflatePath::Parallel:
        return true;
    case PngWriter::TDeflatePath::Auto:
        break;
    }
    const qsizetype filtered = (header.RowBytes() + 1) * qsizetype(header.Height());
    return Owner().EffectiveThreadCount() > 1 && filtered >= PngWriter::ParallelFromBytes;
}

void IdatChunk::WriteSequential(const IhdrChunk& header, IdatSink& sink) const {
    DeflateStream stream(DeflateStream::ZlibFraming);
    const QImage& image = header.Image();
    const qsizetype rowBytes = header.RowBytes();
    std::vector<uchar> row(size_t(rowBytes + 1));
    for (int y = 0; y < image.height(); ++y) {
        SubFilter::FilterRow(image.constScanLine(y), row.data(), rowBytes, header.BytesPerPixel());
        stream.Deflate(row.data(), qsizetype(row.size()), Z_NO_FLUSH, sink);
    }
    stream.Deflate(nullptr, 0, Z_FINISH, sink);
}
