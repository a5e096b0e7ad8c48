// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/PngChunk.h"

#include "common/TargetFile.h"
#include "common/VistrelError.h"

#include <QIODevice>
#include <cstring>
#include <zlib.h>

PngChunk::PngChunk(PngWriter& owner, const char* type) : FOwner(owner), FType(type, 4) {}

PngChunk::~PngChunk() = default;

QByteArray PngChunk::Data() const {
    return FData;
}

void PngChunk::SaveToStream(QIODevice& stream) const {
    const QByteArray data = Data();
    WriteChunk(stream, FType, data.constData(), quint32(data.size()));
}

void PngChunk::WriteChunk(QIODevice& stream, const QByteArray& type, const char* data,
                          quint32 size) {
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(type.constData()), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data), size);
    char head[8];
    PutBigEndian32(head, size);
    memcpy(head + 4, type.constData(), 4);
    char tail[4];
    PutBigEndian32(tail, quint32(crc));
    WriteBytes(stream, head, 8);
    WriteBytes(stream, data, size);
    WriteBytes(stream, tail, 4);
}

void PngChunk::WriteBytes(QIODevice& stream, const char* data, qint64 size) {
    // The device's own reason names the fault (a full disk); the writer adds the file.
    WriteAll(stream, data, size);
}

void PngChunk::PutBigEndian32(char* to, quint32 value) {
    to[0] = char(value >> 24);
    to[1] = char(value >> 16);
    to[2] = char(value >> 8);
    to[3] = char(value);
}
