// SPDX-License-Identifier: GPL-3.0-or-later
// Captures a long page with each real engine (headless Chromium, then Qt WebEngine) and prints
// how many renderings it took and how long each took, split into the scroll (with the page's
// own preparation of each screen), the paint and the rest (pasting).
//
//   bench_capture [--page file.html] [--size 1024x768] [--runs 3] [--unattended]
//                 [--engine chromium|qt|both] [--coded 1009x30000,1015x30000]
//
// --coded captures pages of bands 10 px tall, each of its own colour, of those sizes instead of
// --page, in turn on each engine, and prints each one's median time against the first one's.

#include "capture/EngineSetup.h"
#include "capture/PageRenderer.h"
#include "common/VistrelError.h"
#include "engines/chromium/ChromiumBrowser.h"
#include "engines/webengine/WebEngineBrowser.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The time from the call until its answer, awaited.
template <class Call> auto Timed(qint64& total, Call call) -> decltype(call()) {
    QElapsedTimer clock;
    clock.start();
    auto result = co_await call();
    total += clock.nsecsElapsed();
    co_return result;
}

// Passes every call on and adds up the time spent in each kind.
class TimedBrowser : public Browser {
public:
    explicit TimedBrowser(Browser& inner) : FInner(inner) {}

    qint64 ScrollNs = 0;
    qint64 PaintNs = 0;
    qint64 MetricsNs = 0;
    qint64 ScriptNs = 0;
    int Paints = 0;
    int PartPaints = 0;
    qint64 PartNs = 0;

    void Navigate(const QString& address) override { FInner.Navigate(address); }
    void Stop() override { FInner.Stop(); }
    void Refresh() override { FInner.Refresh(); }
    QString LocationURL() const override { return FInner.LocationURL(); }
    void SetViewSize(const QSize& size) override { FInner.SetViewSize(size); }
    QSize ViewSize() const override { return FInner.ViewSize(); }
    QCoro::Task<bool> HasDocument() override { return FInner.HasDocument(); }
    int ScrollBarWidth() const override { return FInner.ScrollBarWidth(); }
    bool PaintsPartsInPlace() const override { return FInner.PaintsPartsInPlace(); }
    void SetQuiet(bool quiet) override { FInner.SetQuiet(quiet); }
    QCoro::Task<DocumentMetrics> Metrics() override {
        co_return co_await Timed(MetricsNs, [&] { return FInner.Metrics(); });
    }
    QCoro::Task<QPoint> ScrollTo(const QPoint& position) override {
        co_return co_await Timed(ScrollNs, [&] { return FInner.ScrollTo(position); });
    }
    QCoro::Task<QImage> PaintView() override {
        co_return co_await Timed(PaintNs, [&] { return FInner.PaintView(); });
    }
    QCoro::Task<PaintedView> PaintPartSoon(QRect part) override {
        ++Paints;
        if (part.isNull() || part == QRect(QPoint(0, 0), ViewSize()))
            co_return co_await Timed(PaintNs, [&] { return FInner.PaintPartSoon(part); });
        ++PartPaints;
        qint64 partNs = 0;
        PaintedView painted = co_await Timed(partNs, [&] { return FInner.PaintPartSoon(part); });
        PartNs += partNs;
        PaintNs += partNs;
        co_return painted;
    }
    // The page's preparation of each screen moves it there: counted with the scroll.
    QCoro::Task<QVariant> RunScript(const QString& script) override {
        co_return co_await Timed(ScriptNs, [&] { return FInner.RunScript(script); });
    }
    QCoro::Task<bool> AwaitPaint(int milliseconds) override {
        co_return co_await Timed(PaintNs, [&] { return FInner.AwaitPaint(milliseconds); });
    }
    QCoro::Task<> HoldPage(bool held) override { return FInner.HoldPage(held); }

private:
    Browser& FInner;
};

double Ms(qint64 ns) {
    return double(ns) / 1e6;
}

// A page as wide and tall as `size` whose every band of 10 rows has a colour of its own.
QString WriteCodedPage(const QString& folder, const QSize& size) {
    const QString path = QDir(folder).filePath(
        QStringLiteral("coded-%1x%2.html").arg(size.width()).arg(size.height()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QByteArray html = "<!doctype html><body style=\"margin: 0\"><div style=\"width: " +
                      QByteArray::number(size.width()) + "px\">";
    for (int band = 0; band * 10 < size.height(); ++band)
        html += QStringLiteral("<div style=\"height: %1px; background: rgb(%2, %3, %4)\"></div>")
                    .arg(std::min(10, size.height() - band * 10))
                    .arg(band % 256)
                    .arg((band / 256) * 40 % 256)
                    .arg(band * 7 % 256)
                    .toLatin1();
    file.write(html + "</div></body>");
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther);
    return path;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int Bench(const QString& name, const QString& address, const QSize& view, int runs, bool unattended,
          std::vector<double>& totals) {
    QWidget host;
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.resize(view);
    std::unique_ptr<Browser> made;
    try {
        if (name == u"qt") {
            auto* web = new WebEngineBrowser(&host);
            web->View()->setParent(&host);
            made.reset(web);
        } else {
            made = std::make_unique<ChromiumBrowser>();
        }
    } catch (const VistrelError& error) {
        std::fprintf(stderr, "bench_capture: %s\n", qPrintable(error.message()));
        return 1;
    }
    Browser& engine = *made;
    engine.SetViewSize(view);
    host.show();

    bool loaded = false;
    bool failed = false;
    QObject::connect(&engine, &Browser::DocumentComplete, [&] { loaded = true; });
    QObject::connect(&engine, &Browser::LoadFailed, [&](const QString& reason) {
        std::fprintf(stderr, "bench_capture: %s\n", qPrintable(reason));
        failed = true;
    });
    engine.Navigate(address);
    QElapsedTimer loading;
    loading.start();
    while (!loaded && !failed && loading.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!loaded) {
        std::fprintf(stderr, "bench_capture: the page did not load\n");
        return 1;
    }
    QElapsedTimer settle; // images and fonts that arrive after the load event
    settle.start();
    while (settle.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    std::printf("\npage %s at %d x %d, engine %s\n", qPrintable(address), view.width(),
                view.height(),
                name == u"chromium" ? "headless Chromium (DevTools pipe)"
                : unattended        ? "Qt WebEngine, unattended (no frame rate limit)"
                                    : "Qt WebEngine, interactive (screen rate)");
    TimedBrowser browser(engine);
    for (int run = 1; run <= runs; ++run) {
        browser.ScrollNs = browser.PaintNs = browser.MetricsNs = browser.ScriptNs = 0;
        browser.Paints = browser.PartPaints = 0;
        browser.PartNs = 0;
        PageRenderer renderer(browser);
        QElapsedTimer clock;
        clock.start();
        QImage picture;
        try {
            picture = QCoro::waitFor(renderer.Render());
        } catch (const VistrelError& error) {
            std::fprintf(stderr, "bench_capture: %s\n", qPrintable(error.message()));
            return 1;
        }
        const qint64 total = clock.nsecsElapsed();
        const int n = renderer.Renderings();
        if (run > 1) // the first run pays for the first frame
            totals.push_back(Ms(total));
        const qint64 scroll = browser.ScrollNs + browser.ScriptNs;
        const qint64 rest = total - scroll - browser.PaintNs - browser.MetricsNs;
        std::printf("run %d: %d x %d picture, %d renderings (%d paints asked for), %.0f ms total, "
                    "%.1f ms per rendering (scroll and page scripts %.1f, frame wait and paint "
                    "%.1f, paste and rest %.1f; metrics %.0f ms once)\n",
                    run, picture.width(), picture.height(), n, browser.Paints, Ms(total),
                    Ms(total) / n, Ms(scroll) / n, Ms(browser.PaintNs) / n, Ms(rest) / n,
                    Ms(browser.MetricsNs));
        if (browser.PartPaints > 0)
            std::printf("  of the paints %d were of a part of the view: %.1f ms each, the others "
                        "%.1f ms\n",
                        browser.PartPaints, Ms(browser.PartNs) / browser.PartPaints,
                        Ms(browser.PaintNs - browser.PartNs) /
                            std::max(1, browser.Paints - browser.PartPaints));
    }
    return 0;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool unattended = false;
    for (int i = 1; i < argc; ++i)
        unattended = unattended || QByteArray(argv[i]) == "--unattended";
    PrepareBrowserEngine(unattended ? EngineUse::Unattended : EngineUse::Interactive);
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.addOption({"page", "page to capture", "file",
                       QStringLiteral(VISTREL_SOURCE_DIR "/examples/index.html")});
    options.addOption({"size", "browser size", "WxH", "1024x768"});
    options.addOption({"runs", "captures of the loaded page", "n", "3"});
    options.addOption({"unattended", "Qt WebEngine as command-line runs start it"});
    options.addOption({"engine", "chromium, qt or both", "engine", "both"});
    options.addOption({"coded", "row-coded pages of these sizes instead of --page", "WxH,..."});
    options.addHelpOption();
    options.process(app);
    const QStringList size = options.value("size").split('x');
    const QSize view(size.value(0).toInt(), size.value(1).toInt());
    const int runs = qMax(1, options.value("runs").toInt());

    const QString engines = options.value("engine");
    QTemporaryDir shared; // run as root, Chromium reads pages as an unprivileged user
    QFile::setPermissions(shared.path(),
                          QFile::permissions(shared.path()) | QFile::ReadOther | QFile::ExeOther);
    const QFileInfo page(options.value("page"));
    for (const QString& name : QDir(page.absolutePath()).entryList(QDir::Files)) {
        QFile::copy(page.absoluteDir().filePath(name), shared.filePath(name));
        QFile::setPermissions(shared.filePath(name),
                              QFile::permissions(shared.filePath(name)) | QFile::ReadOther);
    }
    QStringList pages;
    for (const QString& coded : options.value("coded").split(',', Qt::SkipEmptyParts)) {
        const QStringList sides = coded.split('x');
        pages << WriteCodedPage(shared.path(),
                                QSize(sides.value(0).toInt(), sides.value(1).toInt()));
    }
    if (pages.isEmpty())
        pages << shared.filePath(page.fileName());
    int status = 0;
    for (const QString& engine : {QStringLiteral("chromium"), QStringLiteral("qt")}) {
        if (engines != engine && engines != u"both")
            continue;
        std::vector<double> first;
        for (qsizetype i = 0; i < pages.size(); ++i) {
            std::vector<double> totals;
            status |= Bench(engine, QUrl::fromLocalFile(pages.at(i)).toString(), view, runs,
                            unattended, totals);
            if (i == 0)
                first = totals;
            else
                std::printf("median %.0f ms against %.0f ms for the first page: %.2f x\n",
                            Median(totals), Median(first), Median(totals) / Median(first));
        }
    }
    return status;
}
