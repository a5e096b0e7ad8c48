// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;
class PngChunk;
class IhdrChunk;
class RowGate;

// A PNG picture as its ordered list of chunks. Every file is built the same way: true colour,
// 8 bits a sample, no interlacing, the Sub filter on every row, deflate at level 7, IDAT chunks
// of 65535 bytes, and no ancillary chunks.
class PngWriter {
public:
    enum class TDeflatePath { Auto, Sequential, Parallel };

    static constexpr int CompressionLevel = 7;
    static constexpr int MaxIdatSize = 65535;
    static constexpr int InterlaceMethod = 0;
    // Below this much filtered data, starting threads costs more than it saves.
    static constexpr qsizetype ParallelFromBytes = 4 * 1024 * 1024;
    static constexpr qsizetype DefaultRangeBytes = 1024 * 1024;

    PngWriter();
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    void Assign(const QImage& bitmap);
    void SaveToStream(QIODevice& stream) const;
    void SaveToFile(const QString& fileName) const;

    const std::vector<std::unique_ptr<PngChunk>>& Chunks() const { return FChunks; }
    const IhdrChunk* Header() const;

    TDeflatePath DeflatePath() const { return FDeflatePath; }
    void SetDeflatePath(TDeflatePath path) { FDeflatePath = path; }
    // Filtered bytes per range of the parallel path.
    qsizetype RangeBytes() const { return FRangeBytes; }
    void SetRangeBytes(qsizetype bytes) { FRangeBytes = qMax<qsizetype>(1, bytes); }
    // 0 means one thread per core.
    void SetThreadCount(int threads) { FThreadCount = qMax(0, threads); }
    int EffectiveThreadCount() const;
    // Rows are read only once the gate has opened past them (the parallel path is taken).
    void SetRowGate(const RowGate* gate) { FRowGate = gate; }
    const RowGate* Gate() const { return FRowGate; }

private:
    std::vector<std::unique_ptr<PngChunk>> FChunks;
    TDeflatePath FDeflatePath = TDeflatePath::Auto;
    qsizetype FRangeBytes = DefaultRangeBytes;
    int FThreadCount = 0;
    const RowGate* FRowGate = nullptr;
};
