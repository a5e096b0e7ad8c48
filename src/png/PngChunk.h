// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QIODevice;
class PngWriter;

// One chunk of a PNG file: length, 4-byte type, data, CRC-32 over type and data.
class PngChunk {
public:
    PngChunk(PngWriter& owner, const char* type);
    virtual ~PngChunk();
    PngChunk(const PngChunk&) = delete;
    PngChunk& operator=(const PngChunk&) = delete;

    PngWriter& Owner() const { return FOwner; }
    const QByteArray& ChunkType() const { return FType; }
    virtual QByteArray Data() const;
    virtual void SaveToStream(QIODevice& stream) const;

    static void WriteChunk(QIODevice& stream, const QByteArray& type, const char* data,
                           quint32 size);
    static void WriteBytes(QIODevice& stream, const char* data, qint64 size);
    static void PutBigEndian32(char* to, quint32 value);

protected:
    QByteArray FData;

private:
    PngWriter& FOwner;
    QByteArray FType;
};
