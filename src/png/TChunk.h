// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

class QIODevice;
class TPNGObject;

// One chunk of a PNG file: length, 4-byte type, data, CRC-32 over type and data.
class TChunk {
public:
    TChunk(TPNGObject& owner, const char* type);
    virtual ~TChunk();
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    TPNGObject& Owner() const { return FOwner; }
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
    TPNGObject& FOwner;
    QByteArray FType;
};
