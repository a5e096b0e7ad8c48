// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QIODevice;

// Cuts the zlib stream into IDAT chunks of exactly MaxSize data bytes as it arrives; only the
// last chunk may be shorter. The compressed data is never held whole.
class IdatSink {
public:
    IdatSink(QIODevice& stream, int maxSize);

    void Append(const uchar* data, qsizetype size);

    // Lets the deflater write straight into the chunk buffer.
    uchar* Space() { return reinterpret_cast<uchar*>(FBuffer.data()) + FFill; }
    qsizetype SpaceLeft() const { return FBuffer.size() - FFill; }
    void Commit(qsizetype count);

    void Finish();

private:
    void WriteChunk();

    QIODevice& FStream;
    QByteArray FBuffer;
    qsizetype FFill = 0;
};
