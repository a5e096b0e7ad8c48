#include "png/TParallelDeflater.h"

#include "png/SubFilter.h"
#include "png/TDeflateStream.h"
#include "png/TIdatSink.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent>
#include <deque>

namespace {

constexpr qsizetype DictionaryBytes = qsizetype(1) << TDeflateStream::WindowBits;
// Rows are filtered and fed to zlib in batches of about this size.
constexpr qsizetype BatchBytes = 256 * 1024;

// Output of one range: grows when deflate needs more room than was first reserved.
class TRangeOutput {
public:
    TRangeOutput(std::vector<uchar>& bytes, qsizetype& size) : FBytes(bytes), FSize(size) {}
    uchar* Space() {
        if (FSize == qsizetype(FBytes.size())) {
            FBytes.resize(FBytes.size() * 2 + 64);
        }
        return FBytes.data() + FSize;
    }
    qsizetype SpaceLeft() const { return qsizetype(FBytes.size()) - FSize; }
    void Commit(qsizetype count) { FSize += count; }

private:
    std::vector<uchar>& FBytes;
    qsizetype& FSize;
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

TParallelDeflater::TParallelDeflater(const QImage& image, qsizetype rangeBytes, int threads)
    : FImage(image), FFilteredRowBytes(qsizetype(image.width()) * 3 + 1),
      FRowsPerRange(int(qBound(qsizetype(1), rangeBytes / FFilteredRowBytes,
                               qsizetype(qMax(1, image.height()))))),
      FThreads(qMax(1, threads)) {}

void TParallelDeflater::Write(TIdatSink& sink) const {
    const quint16 header = TDeflateStream::ZlibHeader();
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

void TParallelDeflater::WriteRange(TIdatSink& sink, TRangeResult& range, quint32& adler) const {
    if (range.FError) {
        std::rethrow_exception(range.FError);
    }
    sink.Append(range.FCompressed.data(), range.FSize);
    adler = quint32(adler32_combine(adler, range.FAdler, z_off_t(range.FInputSize)));
}

TParallelDeflater::TRangeResult TParallelDeflater::TryCompress(int first, int last) const {
    try {
        return Compress(first, last);
    } catch (...) {
        TRangeResult failed;
        failed.FError = std::current_exception();
        return failed;
    }
}

TParallelDeflater::TRangeResult TParallelDeflater::Compress(int first, int last) const {
    TDeflateStream stream(TDeflateStream::RawFraming);
    const int rowsPerBatch = int(qMax<qsizetype>(1, BatchBytes / FFilteredRowBytes));
    std::vector<uchar> batch(
        size_t(qMax<qsizetype>(rowsPerBatch, DictionaryBytes / FFilteredRowBytes + 1) *
               FFilteredRowBytes));

    if (first > 0) {
        // The bytes just before this range, exactly as the previous range fed them to zlib.
        const int dictionaryRows = int(
            qMin<qsizetype>(first, (DictionaryBytes + FFilteredRowBytes - 1) / FFilteredRowBytes));
        SubFilter::FilterRows(FImage, first - dictionaryRows, first, batch.data());
        const qsizetype filtered = dictionaryRows * FFilteredRowBytes;
        const qsizetype used = qMin(filtered, DictionaryBytes);
        stream.SetDictionary(batch.data() + filtered - used, used);
    }

    TRangeResult result;
    const qsizetype input = qsizetype(last - first) * FFilteredRowBytes;
    result.FCompressed.resize(size_t(input + input / 1000 + 64));
    result.FInputSize = input;
    result.FAdler = quint32(adler32(0L, Z_NULL, 0));
    TRangeOutput out(result.FCompressed, result.FSize);
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
