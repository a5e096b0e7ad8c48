// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/TChunkIDAT.h"

#include "common/VistrelError.h"
#include "png/SubFilter.h"
#include "png/TChunkIHDR.h"
#include "png/TDeflateStream.h"
#include "png/TIdatSink.h"
#include "png/TParallelDeflater.h"
#include "png/pngimage.h"

#include <vector>

TChunkIDAT::TChunkIDAT(TPNGObject& owner) : TChunk(owner, "IDAT") {}

void TChunkIDAT::SaveToStream(QIODevice& stream) const {
    const TChunkIHDR* header = Owner().Header();
    if (!header) {
        throw VistrelError(QStringLiteral("The PNG picture has no header"));
    }
    TIdatSink sink(stream, TPNGObject::MaxIdatSize);
    if (UsesParallelPath(*header)) {
        TParallelDeflater(header->Image(), Owner().RangeBytes(), Owner().EffectiveThreadCount(),
                          Owner().RowGate())
            .Write(sink);
    } else {
        WriteSequential(*header, sink);
    }
    sink.Finish();
}

bool TChunkIDAT::UsesParallelPath(const TChunkIHDR& header) const {
    if (Owner().RowGate())
        return true;
    switch (Owner().DeflatePath()) {
    case TPNGObject::TDeflatePath::Sequential:
        return false;
    case TPNGObject::TDeflatePath::Parallel:
        return true;
    case TPNGObject::TDeflatePath::Auto:
        break;
    }
    const qsizetype filtered = (header.RowBytes() + 1) * qsizetype(header.Height());
    return Owner().EffectiveThreadCount() > 1 && filtered >= TPNGObject::ParallelFromBytes;
}

void TChunkIDAT::WriteSequential(const TChunkIHDR& header, TIdatSink& sink) const {
    TDeflateStream stream(TDeflateStream::ZlibFraming);
    const QImage& image = header.Image();
    const qsizetype rowBytes = header.RowBytes();
    std::vector<uchar> row(size_t(rowBytes + 1));
    for (int y = 0; y < image.height(); ++y) {
        SubFilter::FilterRow(image.constScanLine(y), row.data(), rowBytes, header.BytesPerPixel());
        stream.Deflate(row.data(), qsizetype(row.size()), Z_NO_FLUSH, sink);
    }
    stream.Deflate(nullptr, 0, Z_FINISH, sink);
}
