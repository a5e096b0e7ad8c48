// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/IdatSink.h"

#include "png/PngChunk.h"

#include <cstring>

static const QByteArray IdatType("IDAT");

IdatSink::IdatSink(QIODevice& stream, int maxSize) : FStream(stream), FBuffer(maxSize, '\0') {}

void IdatSink::Append(const uchar* data, qsizetype size) {
    while (size > 0) {
        const qsizetype part = qMin(size, SpaceLeft());
        std::memcpy(Space(), data, size_t(part));
        Commit(part);
        data += part;
        size -= part;
    }
}

void IdatSink::Commit(qsizetype count) {
    FFill += count;
    if (FFill == FBuffer.size()) {
        WriteChunk();
    }
}

void IdatSink::Finish() {
    if (FFill > 0) {
        WriteChunk();
    }
}

void IdatSink::WriteChunk() {
    PngChunk::WriteChunk(FStream, IdatType, FBuffer.constData(), quint32(FFill));
    FFill = 0;
}
