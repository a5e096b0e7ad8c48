// SPDX-License-Identifier: GPL-3.0-or-later
#include "png/ParallelDeflater.h"

#include "png/DeflateStream.h"
#include "png/IdatSink.h"
#include "png/RowGate.h"
#include "png/SubFilter.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent>
#include <cstring>
#include <deque>
#include <vector>

namespace {

constexpr qsizetype DictionaryBytes = qsizetype(1) << DeflateStream::WindowBits;
// Rows are filtered and fed to zlib in batches of about this size.
constexpr qsizetype BatchBytes = 256 * 1024;

// Output of one range: grows when deflate needs more room than was first reserved.
template <class Result> class TRangeOutput {
public:
    explicit TRangeOutput(Result& result) : FResult(result) {}
    uchar* Space() {
        if (FResult.FSize == FResult.FCapacity) {
            Grow();
        }
        return FResult.FCompressed.get() + FResult.FSize;
    }
    qsizetype SpaceLeft() const { return FResult.FCapacity - FResult.FSize; }
    void Commit(qsizetype count) { FResult.FSize += count; }

private:
    void Grow() {
        const qsizetype capacity = FResult.FCapacity * 2 + 4096;
        std::unique_ptr<uchar[]> larger(new uchar[size_t(capacity)]);
        std::memcpy(larger.get(), FResult.FCompressed.get(), size_t(FResult.FSize));
        FResult.FCompressed = std::move(larger);
        FResult.FCapacity = capacity;
    }

    Result& FResult;
};

// Waits for every queued range before the picture or the pool may go away (also on a throw).
class TPoolGuard {
public:
    explicit TPoolGuard(QThreadPool& pool) : FPool(pool) {}
    ~TPoolGuard() {
        FPool.clear();
        FPool.waitForDone();
    }

private:
    QThreadPool& FPool;
};

} // namespace

ParallelDeflater::ParallelDeflater(const QImage& image, qsizetype rangeBytes, int threads,
                                   const RowGate* gate)
    : FImage(image), FGate(gate), FFilteredRowBytes(qsizetype(image.width()) * 3 + 1),
      FRowsPerRange(int(qBound(qsizetype(1), rangeBytes / FFilteredRowBytes,
                               qsizetype(qMax(1, image.height()))))),
      FThreads(qMax(1, threads)) {}

void ParallelDeflater::Write(IdatSink& sink) const {
    const quint16 header = DeflateStream::ZlibHeader();
    const uchar headerBytes[2] = {uchar(header >> 8), uchar(header)};
    sink.Append(headerBytes, 2);

    QThreadPool pool;
    pool.setMaxThreadCount(FThreads);
    TPoolGuard guard(pool);
    std::deque<QFuture<TRangeResult>> inFlight;
    const qsizetype maxInFlight = 2 * qsizetype(FThreads);
    const int height = FImage.height();
    quint32 adler = quint32(adler32(0L, Z_NULL, 0));
    int next = 0;
    while (next < height || !inFlight.empty()) {
        while (next < height && qsizetype(inFlight.size()) < maxInFlight) {
            const int last = qMin(height, next + FRowsPerRange);
            if (FGate && !FGate->Ready(last)) {
                if (!inFlight.empty())
                    break; // write what is done while the rows are being made
                FGate->WaitFor(last);
            }
            inFlight.push_back(
                QtConcurrent::run(&pool, [this, next, last] { return TryCompress(next, last); }));
            next = last;
        }
        TRangeResult range = inFlight.front().takeResult();
        inFlight.pop_front();
        WriteRange(sink, range, adler);
    }

    const uchar trailer[4] = {uchar(adler >> 24), uchar(adler >> 16), uchar(adler >> 8),
                              uchar(adler)};
    sink.Append(trailer, 4);
}

void ParallelDeflater::WriteRange(IdatSink& sink, TRangeResult& range, quint32& adler) const {
    if (range.FError) {
        std::rethrow_exception(range.FError);
    }
    sink.Append(range.FCompressed.get(), range.FSize);
    adler = quint32(adler32_combine(adler, range.FAdler, z_off_t(range.FInputSize)));
}

ParallelDeflater::TRangeResult ParallelDeflater::TryCompress(int first, int last) const {
    try {
        return Compress(first, last);
    } catch (...) {
        TRangeResult failed;
        failed.FError = std::current_exception();
        return failed;
    }
}

// Gives zlib the bytes just before the range, exactly as the previous range fed them to it.
void ParallelDeflater::PrimeDictionary(DeflateStream& stream, int first, uchar* scratch) const {
    if (first == 0) {
        return;
    }
    const int rows =
        int(qMin<qsizetype>(first, (DictionaryBytes + FFilteredRowBytes - 1) / FFilteredRowBytes));
    SubFilter::FilterRows(FImage, first - rows, first, scratch);
    const qsizetype filtered = rows * FFilteredRowBytes;
    const qsizetype used = qMin(filtered, DictionaryBytes);
    stream.SetDictionary(scratch + filtered - used, used);
}

ParallelDeflater::TRangeResult ParallelDeflater::Compress(int first, int last) const {
    DeflateStream stream(DeflateStream::RawFraming);
    const int rowsPerBatch = int(qMax<qsizetype>(1, BatchBytes / FFilteredRowBytes));
    std::vector<uchar> batch(
        size_t(qMax<qsizetype>(rowsPerBatch, DictionaryBytes / FFilteredRowBytes + 1) *
               FFilteredRowBytes));

    PrimeDictionary(stream, first, batch.data());

    TRangeResult result;
    const qsizetype input = qsizetype(last - first) * FFilteredRowBytes;
    // Room for well-compressed ranges without growing; noise grows it once or twice.
    result.FCapacity = input / 2 + 4096;
    result.FCompressed.reset(new uchar[size_t(result.FCapacity)]);
    result.FInputSize = input;
    result.FAdler = quint32(adler32(0L, Z_NULL, 0));
    TRangeOutput<TRangeResult> out(result);
    const int flushAtEnd = last == FImage.height() ? Z_FINISH : Z_SYNC_FLUSH;
    for (int row = first; row < last; row += rowsPerBatch) {
        const int end = qMin(last, row + rowsPerBatch);
        SubFilter::FilterRows(FImage, row, end, batch.data());
        const qsizetype size = qsizetype(end - row) * FFilteredRowBytes;
        result.FAdler = quint32(adler32_z(result.FAdler, batch.data(), size_t(size)));
        stream.Deflate(batch.data(), size, end == last ? flushAtEnd : Z_NO_FLUSH, out);
    }
    return result;
}
