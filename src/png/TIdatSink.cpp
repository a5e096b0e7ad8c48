// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/TIdatSink.h"

#include "png/TChunk.h"

#include <cstring>

static const QByteArray IdatType("IDAT");

TIdatSink::TIdatSink(QIODevice& stream, int maxSize) : FStream(stream), FBuffer(maxSize, '\0') {}

void TIdatSink::Append(const uchar* data, qsizetype size) {
    while (size > 0) {
        const qsizetype part = qMin(size, SpaceLeft());
        std::memcpy(Space(), data, size_t(part));
        Commit(part);
        data += part;
        size -= part;
    }
}

void TIdatSink::Commit(qsizetype count) {
    FFill += count;
    if (FFill == FBuffer.size()) {
        WriteChunk();
    }
}

void TIdatSink::Finish() {
    if (FFill > 0) {
        WriteChunk();
    }
}

void TIdatSink::WriteChunk() {
    TChunk::WriteChunk(FStream, IdatType, FBuffer.constData(), quint32(FFill));
    FFill = 0;
}
