// SPDX-License-Identifier: GPL-3.0-or-later
// Our JPEG encoder against Qt's JPEG writer on a long screenshot-like page, in one process,
// alternated, median of several runs. Prints both times, both sizes and the ratio.
#include "output/JpegEncoder.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <vector>

namespace {

const char* const Words[] = {"capture", "page",   "picture", "the",       "of", "whole",
                             "browser", "and",    "a",       "thumbnail", "to", "screen",
                             "render",  "height", "width",   "saved",     "in", "format"};

void PaintText(QPainter& p, int top, int bottom, int seed, int columns) {
    p.setPen(QColor(30, 30, 30));
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
    for (int y = top; y + 18 < bottom; y += 20) {
        QString line;
        for (int w = 0; line.size() < columns; ++w)
            line += QLatin1String(Words[(seed * 7 + y / 20 * 5 + w * 3) % 18]) + QLatin1Char(' ');
        p.drawText(40, y + 15, line);
    }
}

// One 1000-row screen: a gradient heading band, a picture block, paragraphs and a link column.
void PaintScreen(QImage& strip, int index) {
    strip.fill(Qt::white);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, strip.width(), 0);
    band.setColorAt(0, QColor(20, 60, 140));
    band.setColorAt(1, QColor(120, 180, 230));
    p.fillRect(0, 0, strip.width(), 90, band);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Liberation Serif"), 28, QFont::Bold));
    p.drawText(40, 60, QStringLiteral("Chapter %1: a long page").arg(index + 1));
    QRadialGradient photo(820, 300, 160);
    photo.setColorAt(0, QColor(250, 210, 120));
    photo.setColorAt(0.6, QColor(90, 140, 60));
    photo.setColorAt(1, QColor(30, 50, 90));
    p.fillRect(660, 130, 320, 340, photo);
    PaintText(p, 110, 480, index, 82);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 16, QFont::Bold));
    p.setPen(QColor(10, 10, 10));
    p.drawText(40, 520, QStringLiteral("Section %1.1").arg(index + 1));
    PaintText(p, 540, strip.height() - 20, index + 1, 105);
    p.setPen(QColor(0, 0, 238));
    for (int y = 560; y < strip.height() - 40; y += 40)
        p.drawText(880, y, QStringLiteral("Link %1").arg(y));
}

// Painted a screen at a time so that only the finished picture is held whole.
QImage ScreenshotLikePage(int width, int height) {
    QImage page(width, height, QImage::Format_RGB888);
    QImage strip(width, 1000, QImage::Format_RGB32);
    for (int top = 0, index = 0; top < height; top += strip.height(), ++index) {
        PaintScreen(strip, index);
        const QImage rgb = strip.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < strip.height() && top + y < height; ++y)
            std::memcpy(page.scanLine(top + y), rgb.constScanLine(y), size_t(width) * 3);
    }
    return page;
}

// The peak resident size is reset before each run (Linux: clear_refs 5), so the figure is what
// one encoder adds on top of the picture.
void ResetPeakMemory() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

qint64 PeakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

qint64 CurrentMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

struct Run {
    double ms = 0;
    qint64 bytes = 0;
    qint64 extraKb = 0;
};

Run Timed(const std::function<qint64()>& encode) {
    ResetPeakMemory();
    const qint64 before = CurrentMemoryKb();
    QElapsedTimer timer;
    timer.start();
    Run run;
    run.bytes = encode();
    run.ms = double(timer.nsecsElapsed()) / 1e6;
    run.extraKb = PeakMemoryKb() - before;
    return run;
}

qint64 Ours(const QImage& page, int quality) {
    return EncodeJpeg(page, quality).size();
}

qint64 Qts(const QImage& page, int quality) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    if (!writer.write(page))
        qFatal("Qt's JPEG writer failed: %s", qPrintable(writer.errorString()));
    return buffer.size();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Report(const char* name, const std::vector<Run>& runs) {
    std::vector<double> times;
    qint64 extra = 0;
    std::printf("%-6s", name);
    for (const Run& r : runs) {
        std::printf(" %7.1f", r.ms);
        times.push_back(r.ms);
        extra = std::max(extra, r.extraKb);
    }
    std::printf("  | median %7.1f ms, %9lld bytes, peak +%lld KB\n", Median(times),
                static_cast<long long>(runs.front().bytes), static_cast<long long>(extra));
}

} // namespace

int main(int argc, char** argv) {
    // A fixed threshold keeps large buffers in their own mappings, returned on free, so that
    // one run's freed output does not hide the next run's from the peak figure.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Runs of each encoder."),
                      QStringLiteral("n"), QStringLiteral("7")});
    parser.addOption({QStringLiteral("height"), QStringLiteral("Page height in pixels."),
                      QStringLiteral("px"), QStringLiteral("44000")});
    parser.addOption({QStringLiteral("quality"), QStringLiteral("JPEG quality."),
                      QStringLiteral("q"), QStringLiteral("85")});
    parser.addOption({QStringLiteral("save"),
                      QStringLiteral("Also write our JPEG here, to look at."),
                      QStringLiteral("file")});
    parser.process(app);
    const int runs = qMax(1, parser.value(QStringLiteral("runs")).toInt());
    const int height = qMax(1, parser.value(QStringLiteral("height")).toInt());
    const int quality = parser.value(QStringLiteral("quality")).toInt();

    QElapsedTimer timer;
    timer.start();
    const QImage page = ScreenshotLikePage(1024, height);
    std::printf("page 1024 x %d (%lld MB raw), painted in %lld ms; quality %d, %d runs each\n",
                height, static_cast<long long>(page.sizeInBytes() >> 20),
                static_cast<long long>(timer.elapsed()), quality, runs);

    if (parser.isSet(QStringLiteral("save"))) {
        QFile out(parser.value(QStringLiteral("save")));
        if (!out.open(QIODevice::WriteOnly) || out.write(EncodeJpeg(page, quality)) < 0)
            qFatal("cannot write %s", qPrintable(out.fileName()));
    }
    // Untimed first runs: plugin loading and first-touch page faults are not encoding.
    Ours(page, quality);
    Qts(page, quality);
    std::vector<Run> ours, qts;
    for (int i = 0; i < runs; ++i) {
        // Alternated, and the order swapped every run, so neither side always goes first.
        if (i % 2 == 0) {
            ours.push_back(Timed([&] { return Ours(page, quality); }));
            qts.push_back(Timed([&] { return Qts(page, quality); }));
        } else {
            qts.push_back(Timed([&] { return Qts(page, quality); }));
            ours.push_back(Timed([&] { return Ours(page, quality); }));
        }
    }
    std::printf("times in ms:\n");
    Report("ours", ours);
    Report("Qt", qts);
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(ours[size_t(i)].ms);
        b.push_back(qts[size_t(i)].ms);
    }
    const double ratio = Median(a) / Median(b);
    std::printf("ratio ours/Qt = %.3f (goal <= 1.1): %s\n", ratio,
                ratio <= 1.1 ? "met" : "NOT met");
    return 0;
}
