// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PreparedPage.h"

#include "capture/Browser.h"
#include "capture/PageScript.h"
#include "common/VistrelError.h"

#include <QElapsedTimer>
#include <QVariantList>

#include <cmath>

#include <utility>

namespace {

// A frame normally comes within a few milliseconds; with the cores busy, within seconds.
constexpr int FrameLimitMs = 20000;
constexpr int PaintPollMs = 50;
// Without the mark after this long, ask the page whether it could be placed at all.
constexpr int MarkCheckMs = 300;
// What lazily loaded content may take at most when nobody set a deadline.
constexpr int LazyDefaultMs = 10000;
constexpr int MarkWidth = 4;
constexpr int MarkHeight = 4;

QCoro::Task<QList<QVariant>> Answer(Browser& browser, const QString& script, int count) {
    const QVariant value = co_await browser.RunScript(script);
    const QList<QVariant> list = value.toList();
    if (list.size() != count)
        throw VistrelError(QStringLiteral("The page gave no answer to the capture"));
    co_return list;
}

} // namespace

PreparedPage::PreparedPage(Browser& browser) : FBrowser(browser) {}

QCoro::Task<> PreparedPage::Install(bool keepFixed) {
    FScripted = (co_await FBrowser.RunScript(PageScript::Install(keepFixed))).toBool();
}

QCoro::Task<> PreparedPage::Finish() {
    if (!FScripted)
        co_return;
    FScripted = false;
    try {
        co_await FBrowser.RunScript(PageScript::Finish());
    } catch (const VistrelError&) {
        // a page that no longer answers keeps nothing of ours worth restoring
    }
}

QCoro::Task<> PreparedPage::LoadLazyContent(QDeadlineTimer deadline,
                                            std::function<void()> checkStop) {
    if (!FScripted)
        co_return;
    const QDeadlineTimer until = deadline.isForever() ? QDeadlineTimer(LazyDefaultMs) : deadline;
    if ((co_await FBrowser.RunScript(PageScript::LazyHints())).toBool()) {
        int y = 0;
        for (;;) {
            checkStop();
            const QList<QVariant> step = co_await StepAndWait(y, until);
            const int reached = step.at(0).toInt();
            const int bottom = step.at(1).toInt() - step.at(2).toInt();
            if (reached >= bottom || reached < y || until.hasExpired())
                break;
            y = reached + step.at(2).toInt();
        }
        while ((co_await Answer(FBrowser, PageScript::LazyState(), 2)).at(1).toInt() > 0 &&
               !until.hasExpired()) {
            checkStop();
            co_await FBrowser.AwaitPaint(PaintPollMs);
        }
    }
    // The engine decides on scroll bars in a frame after the layout that needs them: two frames
    // at the top, and the page's metrics are those of its screens.
    co_await StepAndWait(0, QDeadlineTimer(FrameLimitMs));
}

// Scrolls to y and lets two frames pass there: [scrollY, scrollHeight, clientHeight].
QCoro::Task<QList<QVariant>> PreparedPage::StepAndWait(int y, QDeadlineTimer until) {
    const QList<QVariant> step = co_await Answer(FBrowser, PageScript::LazyStep(y), 3);
    while (!(co_await Answer(FBrowser, PageScript::LazyState(), 2)).at(0).toBool() &&
           !until.hasExpired())
        co_await FBrowser.AwaitPaint(PaintPollMs);
    co_return step;
}

QCoro::Task<QPoint> PreparedPage::ScrollTo(QPoint position, QPoint painted) {
    FMarkAt = QPoint();
    if (!FScripted)
        co_return FPosition = co_await FBrowser.ScrollTo(position);
    ++FScreen;
    FFirst = qRgb(FScreen & 0xff, (FScreen >> 8) & 0xff, 0x4d);
    FSecond = qRgb(0xb2, 0xff - (FScreen & 0xff), ((FScreen >> 8) & 0xff) ^ 0x5a);
    const QList<QVariant> reached =
        co_await Answer(FBrowser, PageScript::Screen(position, FFirst, FSecond, painted), 7);
    if (std::exchange(FClientDue, false))
        TakeClient(reached.mid(4));
    FPosition = QPoint(qRound(reached.at(0).toDouble()), qRound(reached.at(1).toDouble()));
    FMarkAt = QPoint(reached.at(2).toInt(), reached.at(3).toInt());
    FMarked = true;
    co_return FPosition;
}

// Device pixels that are not whole page pixels would join parts where the whole view has none.
bool PreparedPage::PaintsParts() const {
    return FScripted && FScale == std::floor(FScale) && FBrowser.PaintsPartsInPlace();
}

QCoro::Task<PaintedView> PreparedPage::PaintView(QRect part, bool unmarked) {
    FClientDue = false;
    FClient = QSize();
    FShown.clear();
    if (!FScripted || !FMarked)
        co_return co_await FBrowser.PaintPartSoon(part);
    QElapsedTimer clock;
    clock.start();
    qint64 nextCheck = MarkCheckMs;
    for (;;) {
        co_await FBrowser.AwaitPaint(PaintPollMs); // no frame of the new position before a paint
        PaintedView view = co_await FBrowser.PaintPartSoon(part);
        if (co_await ShowsMark(view, FMarkAt - part.topLeft())) {
            if (!unmarked) {
                FClientDue = true;
                co_return view;
            }
            co_await ReadClient();
            if (!PaintsParts())
                co_return co_await PaintUnmarked(part);
            co_await RepaintMark(view, part);
            co_return view;
        }
        if (clock.elapsed() > nextCheck) {
            if (!co_await MarkPlacedOrPending())
                co_return co_await PaintLikeEngine(part);
            nextCheck = clock.elapsed() + MarkCheckMs;
        }
        if (clock.elapsed() > FrameLimitMs)
            throw VistrelError(QStringLiteral("The browser painted no frame of the page at %1, %2")
                                   .arg(FPosition.x())
                                   .arg(FPosition.y()));
    }
}

QCoro::Task<PaintedView> PreparedPage::PaintUnmarked(QRect part) {
    FMarked = false;
    co_await FBrowser.RunScript(PageScript::Unmark());
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        PaintedView view = co_await FBrowser.PaintPartSoon(part);
        if (!co_await ShowsMark(view, FMarkAt - part.topLeft()))
            co_return view;
        if (clock.elapsed() > FrameLimitMs)
            throw VistrelError(QStringLiteral("The browser painted no frame without the mark"));
        co_await FBrowser.AwaitPaint(PaintPollMs);
    }
}

// The view is proven current by its mark: only the mark's own pixels are painted again.
QCoro::Task<> PreparedPage::RepaintMark(PaintedView& view, QRect part) {
    const QRect mark(FMarkAt, QSize(MarkWidth, MarkHeight));
    const PaintedView unmarked = co_await PaintUnmarked(mark);
    const QImage pixels = co_await FBrowser.Whole(unmarked);
    const QPoint at = mark.topLeft() - part.topLeft();
    view.Patch(pixels, QPoint(qRound(at.x() * FScale), qRound(at.y() * FScale)));
}

QCoro::Task<QSize> PreparedPage::Client() {
    if (std::exchange(FClientDue, false))
        co_await ReadClient();
    co_return FClient;
}

QCoro::Task<QList<QRect>> PreparedPage::Shown() {
    co_await Client();
    co_return FShown;
}

// A scroll bar that the page's width needs may come only with a frame after the layout that
// needs it: what the frame shows of the page is measured once it is painted.
QCoro::Task<> PreparedPage::ReadClient() {
    TakeClient(co_await Answer(FBrowser, PageScript::ClientSize(), 3));
}

void PreparedPage::TakeClient(const QList<QVariant>& size) {
    FClient = QSize(size.at(0).toInt(), size.at(1).toInt());
    FShown.clear();
    for (const QVariant& rect : size.at(2).toList()) {
        const QList<QVariant> edges = rect.toList();
        if (edges.size() == 4)
            FShown << QRect(QPoint(edges.at(0).toInt(), edges.at(1).toInt()),
                            QPoint(edges.at(2).toInt() - 1, edges.at(3).toInt() - 1));
    }
}

// False when the frame's work has run and found no place for the mark where it would be seen
// (a page on top of everything, a zoomed or transformed root).
QCoro::Task<bool> PreparedPage::MarkPlacedOrPending() {
    const QList<QVariant> state = co_await Answer(FBrowser, PageScript::FrameState(), 2);
    co_return !state.at(0).toBool() || state.at(1).toBool();
}

// Without a mark, the engine's own wait for a frame at the position.
QCoro::Task<PaintedView> PreparedPage::PaintLikeEngine(QRect part) {
    FMarked = false;
    co_await FBrowser.ScrollTo(FPosition);
    co_return co_await FBrowser.PaintPartSoon(part);
}

// `at` is where the mark is in the view painted. It is read from the view's top rows, at hand at
// once, unless it lies below them.
QCoro::Task<bool> PreparedPage::ShowsMark(const PaintedView& view, QPoint at) {
    const QImage top = view.Top();
    if (top.height() >= qRound((at.y() + MarkHeight) * FScale))
        co_return ShowsMark(top, at);
    const QImage whole = co_await FBrowser.Whole(view);
    co_return ShowsMark(whole, at);
}

// Each page pixel of the mark is read at the middle of the device pixels that paint it.
bool PreparedPage::ShowsMark(const QImage& view, const QPoint& at) const {
    const auto device = [this](int pagePixel) { return int((pagePixel + 0.5) * FScale); };
    const QRect mark(at, QSize(MarkWidth, MarkHeight));
    if (!view.rect().contains(QPoint(device(mark.right()), device(mark.bottom()))) ||
        mark.left() < 0 || mark.top() < 0)
        return false;
    for (int y = mark.top(); y <= mark.bottom(); ++y)
        for (int x = mark.left(); x <= mark.right(); ++x) {
            const QRgb wanted = x < mark.left() + MarkWidth / 2 ? FFirst : FSecond;
            if ((view.pixel(device(x), device(y)) & 0xffffff) != (wanted & 0xffffff))
                return false;
        }
    return true;
}
