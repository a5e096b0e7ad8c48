// SPDX-License-Identifier: GPL-3.0-or-later
// Our PNG writer against Qt's (libpng) at zlib level 7 on a tall screenshot-like picture.
// Usage: bench_png [--height N] [--runs N]

#include "png/PngWriter.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QStringList Words = {"capture", "page",   "whole",  "picture", "browser",   "scroll",
                           "window",  "render", "format", "option",  "thumbnail", "save",
                           "the",     "of",     "and",    "a",       "to",        "in",
                           "is",      "with",   "for",    "on",      "settings",  "result"};

QString Sentence(QRandomGenerator& random, int words) {
    QStringList line;
    for (int i = 0; i < words; ++i) {
        line << Words[random.bounded(int(Words.size()))];
    }
    return line.join(' ');
}

void DrawPhoto(QImage& band, QRect area, QRandomGenerator& random) {
    const double fx = 0.01 + random.bounded(0.05);
    const double fy = 0.01 + random.bounded(0.05);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(band.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const double base = 110 + 60 * std::sin(x * fx) * std::cos(y * fy);
            const int noise = int(random.bounded(24)) - 12;
            row[x] =
                qRgb(qBound(0, int(base) + noise, 255), qBound(0, int(base * 0.8) + noise, 255),
                     qBound(0, int(255 - base) + noise, 255));
        }
    }
}

void DrawBand(QImage& band, int index) {
    QRandomGenerator random(quint32(index) * 7919u + 1);
    band.fill(Qt::white);
    QPainter painter(&band);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bar(0, 0, band.width(), 0);
    bar.setColorAt(0, QColor(20, 60, 140));
    bar.setColorAt(1, QColor(120, 180, 240));
    painter.fillRect(0, 0, band.width(), 48, bar);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 20, QFont::Bold));
    painter.drawText(24, 34, QStringLiteral("Section %1").arg(index + 1));
    painter.fillRect(780, 60, 230, band.height() - 80, QColor(244, 244, 246));
    int y = 80;
    while (y < band.height() - 40) {
        const int kind = random.bounded(10);
        if (kind == 0 && y + 230 < band.height()) {
            DrawPhoto(band, QRect(40, y, 320 + random.bounded(300), 200), random);
            y += 220;
        } else if (kind == 1) {
            painter.setPen(QColor(30, 30, 30));
            painter.setFont(QFont(QStringLiteral("Liberation Serif"), 18, QFont::Bold));
            painter.drawText(40, y + 24, Sentence(random, 4));
            y += 40;
        } else if (kind == 2) {
            QLinearGradient button(0, y, 0, y + 30);
            button.setColorAt(0, QColor(250, 250, 250));
            button.setColorAt(1, QColor(200, 210, 225));
            painter.fillRect(40, y, 160, 30, button);
            y += 44;
        } else {
            painter.setPen(QColor(40, 40, 40));
            painter.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
            painter.drawText(40, y + 14, Sentence(random, 10 + random.bounded(6)));
            y += 20;
        }
    }
    painter.setPen(QColor(20, 80, 200));
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 10));
    for (int link = 90; link < band.height() - 40; link += 22) {
        painter.drawText(796, link, Sentence(random, 3));
    }
}

QImage MakeScreenshot(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    QImage band(width, 1000, QImage::Format_RGB32);
    for (int top = 0, index = 0; top < height; top += band.height(), ++index) {
        DrawBand(band, index);
        for (int y = 0; y < band.height() && top + y < height; ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            uchar* to = picture.scanLine(top + y);
            for (int x = 0; x < width; ++x) {
                to[3 * x] = uchar(qRed(from[x]));
                to[3 * x + 1] = uchar(qGreen(from[x]));
                to[3 * x + 2] = uchar(qBlue(from[x]));
            }
        }
    }
    return picture;
}

// Discards what it is given: neither writer's output buffer is timed or counted.
class TCountingDevice : public QIODevice {
public:
    TCountingDevice() { open(QIODevice::WriteOnly); }
    qint64 Count() const { return FCount; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        FCount += size;
        return size;
    }

private:
    qint64 FCount = 0;
};

using TWriter = std::function<void(QIODevice&)>;

TWriter Ours(const QImage& picture, PngWriter::TDeflatePath path) {
    return [&picture, path](QIODevice& device) {
        PngWriter png;
        png.SetDeflatePath(path);
        png.Assign(picture);
        png.SaveToStream(device);
    };
}

TWriter Libpng(const QImage& picture) {
    return [&picture](QIODevice& device) {
        QImageWriter writer(&device, "png");
        writer.setQuality(25); // Qt maps quality q to zlib level (100 - q) * 9 / 91 = 7
        if (!writer.write(picture)) {
            qFatal("Qt's PNG writer failed: %s", qPrintable(writer.errorString()));
        }
    };
}

long StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

// Peak resident memory added while writing, measured in a forked child whose high-water mark
// is reset first, so earlier runs' freed memory cannot hide anything.
long PeakExtraKb(const TWriter& write) {
    int channel[2];
    if (pipe(channel) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        long extra = -1;
        if (reset.open(QIODevice::WriteOnly) && reset.write("5") == 1) {
            reset.close();
            const long before = StatusKb("VmRSS:");
            TCountingDevice device;
            write(device);
            extra = StatusKb("VmHWM:") - before;
        }
        (void)!::write(channel[1], &extra, sizeof extra);
        _exit(0);
    }
    long extra = -1;
    (void)!::read(channel[0], &extra, sizeof extra);
    waitpid(child, nullptr, 0);
    close(channel[0]);
    close(channel[1]);
    return extra;
}

QByteArray WriteToMemory(const TWriter& write) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return buffer.data();
}

void CheckDecodes(const QByteArray& file, const QImage& picture, const char* name) {
    QBuffer buffer;
    buffer.setData(file);
    QImageReader reader(&buffer, "png");
    reader.setAllocationLimit(0);
    if (reader.read().convertToFormat(QImage::Format_RGB888) != picture) {
        qFatal("%s: the written file does not decode to the picture", name);
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double TimeOnce(const TWriter& write) {
    TCountingDevice device;
    QElapsedTimer timer;
    timer.start();
    write(device);
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"height", "Picture height in pixels.", "pixels", "44000"});
    parser.addOption({"runs", "Timed runs of each writer (at least 5).", "count", "5"});
    parser.addOption({"sample", "Also save the picture's first 3000 rows to this file.", "file"});
    parser.addHelpOption();
    parser.process(app);
    const int height = qMax(1, parser.value("height").toInt());
    const int runs = qMax(5, parser.value("runs").toInt());
    const QString sample = parser.value("sample");

    QElapsedTimer drawing;
    drawing.start();
    const QImage picture = MakeScreenshot(1024, height);
    std::printf("picture 1024 x %d, %.1f MB of pixels, drawn in %.1f s; %d threads\n", height,
                picture.sizeInBytes() / 1e6, drawing.elapsed() / 1e3,
                PngWriter().EffectiveThreadCount());
    if (!sample.isEmpty()) {
        picture.copy(0, 0, picture.width(), qMin(height, 3000)).save(sample);
    }

    struct TEntry {
        const char* FName;
        TWriter FWrite;
        std::vector<double> FTimes;
        qsizetype FSize = 0;
        long FPeakKb = 0;
    };
    std::vector<TEntry> entries = {
        {"ours, parallel", Ours(picture, PngWriter::TDeflatePath::Parallel), {}},
        {"ours, sequential", Ours(picture, PngWriter::TDeflatePath::Sequential), {}},
        {"Qt / libpng", Libpng(picture), {}},
    };
    for (TEntry& entry : entries) {
        entry.FPeakKb = PeakExtraKb(entry.FWrite);
        const QByteArray file = WriteToMemory(entry.FWrite);
        CheckDecodes(file, picture, entry.FName);
        entry.FSize = file.size();
    }
    for (int run = 0; run < runs; ++run) {
        for (TEntry& entry : entries) {
            entry.FTimes.push_back(TimeOnce(entry.FWrite));
        }
    }
    for (const TEntry& entry : entries) {
        std::printf("%-18s median %7.3f s  (min %.3f, max %.3f)  size %11lld bytes  peak extra "
                    "memory %7.1f MB\n",
                    entry.FName, Median(entry.FTimes),
                    *std::min_element(entry.FTimes.begin(), entry.FTimes.end()),
                    *std::max_element(entry.FTimes.begin(), entry.FTimes.end()),
                    static_cast<long long>(entry.FSize), entry.FPeakKb / 1024.0);
    }
    const double libpng = Median(entries[2].FTimes);
    std::printf("time ratio ours/libpng: parallel %.3f (goal <= 0.40), sequential %.3f\n",
                Median(entries[0].FTimes) / libpng, Median(entries[1].FTimes) / libpng);
    std::printf("size ratio ours/libpng: parallel %.4f (goal <= 1), sequential %.4f\n",
                double(entries[0].FSize) / double(entries[2].FSize),
                double(entries[1].FSize) / double(entries[2].FSize));
    return 0;
}
