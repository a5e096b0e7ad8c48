// SPDX-License-Identifier: GPL-3.0-or-later
// Captures a long page with each real engine (headless Chromium, then Qt WebEngine) and prints
// how many renderings it took and how long each took, split into the scroll (with the page's
// own preparation of each screen), the paint and the rest (pasting).
//
//   bench_capture [--page file.html] [--size 1024x768] [--runs 3] [--unattended]
//                 [--engine chromium|qt|both]

#include "capture/EngineSetup.h"
#include "capture/PageRenderer.h"
#include "common/VistrelError.h"
#include "engines/chromium/ChromiumBrowser.h"
#include "engines/webengine/WebEngineBrowser.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <memory>

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

    void Navigate(const QString& address) override { FInner.Navigate(address); }
    void Stop() override { FInner.Stop(); }
    void Refresh() override { FInner.Refresh(); }
    QString LocationURL() const override { return FInner.LocationURL(); }
    void SetViewSize(const QSize& size) override { FInner.SetViewSize(size); }
    QSize ViewSize() const override { return FInner.ViewSize(); }
    QCoro::Task<bool> HasDocument() override { return FInner.HasDocument(); }
    int ScrollBarWidth() const override { return FInner.ScrollBarWidth(); }
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
        co_return co_await Timed(PaintNs, [&] { return FInner.PaintPartSoon(part); });
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

} // namespace

int Bench(const QString& name, const QString& address, const QSize& view, int runs,
          bool unattended) {
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
        const qint64 scroll = browser.ScrollNs + browser.ScriptNs;
        const qint64 rest = total - scroll - browser.PaintNs - browser.MetricsNs;
        std::printf("run %d: %d x %d picture, %d renderings, %.0f ms total, %.1f ms per "
                    "rendering (scroll and page scripts %.1f, frame wait and paint %.1f, paste and "
                    "rest %.1f; "
                    "metrics %.0f ms once)\n",
                    run, picture.width(), picture.height(), n, Ms(total), Ms(total) / n,
                    Ms(scroll) / n, Ms(browser.PaintNs) / n, Ms(rest) / n, Ms(browser.MetricsNs));
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
    const QString address = QUrl::fromLocalFile(shared.filePath(page.fileName())).toString();
    int status = 0;
    for (const QString& engine : {QStringLiteral("chromium"), QStringLiteral("qt")})
        if (engines == engine || engines == u"both")
            status |= Bench(engine, address, view, runs, unattended);
    return status;
}
