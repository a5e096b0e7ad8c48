// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <exception>
#include <memory>

class DeflateStream;
class IdatSink;
class RowGate;

// Compresses row ranges on several threads into ONE zlib stream. Each range is deflated as raw
// data primed with the 32 KiB of filtered input before it, so matches may reach back across the
// cut, and ends on a sync flush (the last on finish); the header is written once and the range
// checksums are combined. Only a bounded number of ranges is in flight at a time. With a gate,
// a range starts only once its rows are final, so a picture can be written while it is made.
class ParallelDeflater {
public:
    ParallelDeflater(const QImage& image, qsizetype rangeBytes, int threads,
                     const RowGate* gate = nullptr);

    void Write(IdatSink& sink) const;

    int RowsPerRange() const { return FRowsPerRange; }

private:
    struct TRangeResult {
        std::unique_ptr<uchar[]> FCompressed;
        qsizetype FCapacity = 0;
        qsizetype FSize = 0;
        quint32 FAdler = 0;
        qsizetype FInputSize = 0;
        std::exception_ptr FError;
    };

    TRangeResult Compress(int first, int last) const;
    TRangeResult TryCompress(int first, int last) const;
    void PrimeDictionary(DeflateStream& stream, int first, uchar* scratch) const;
    void WriteRange(IdatSink& sink, TRangeResult& range, quint32& adler) const;

    const QImage& FImage;
    const RowGate* FGate;
    qsizetype FFilteredRowBytes;
    int FRowsPerRange;
    int FThreads;
};
