// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/PaintedView.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QVariant>

#include <qcoro/qcorotask.h>

#include <functional>

class Browser;

// The page while it is captured. On an engine that runs scripts: lazily loaded content is
// loaded first, fixed elements appear once and sticky ones in their place, and every screen
// is proven to be the page at its position: the frame that paints a screen carries a mark of
// that screen's colours where the screens before it have painted the page already; the first
// screen's mark is painted once more without it. Elsewhere the engine's own scroll and paint.
class PreparedPage {
public:
    explicit PreparedPage(Browser& browser);
    PreparedPage(const PreparedPage&) = delete;
    PreparedPage& operator=(const PreparedPage&) = delete;

    // Device pixels per page pixel of the engine's views.
    void SetScale(double scale) { FScale = scale; }
    // Puts the capture's script into the page, where the engine runs scripts.
    QCoro::Task<> Install(bool keepFixed);
    // Scrolls once through the page when it may load content as it comes into view, and waits
    // for what came (never beyond the deadline); then back to the top, where the page is let
    // settle. `checkStop` throws to end it part way.
    QCoro::Task<> LoadLazyContent(QDeadlineTimer deadline, std::function<void()> checkStop);
    // Where the engine got to. The page left of `painted`.x() and above its y() (a point of the
    // page as ScrollTo places it) is in the picture already: the mark that proves the screen goes
    // there, where it hides nothing the picture still needs.
    QCoro::Task<QPoint> ScrollTo(QPoint position, QPoint painted);
    // Where the mark of the last position is, in the view (page pixels).
    QPoint MarkAt() const { return FMarkAt; }
    // Whether a part of the view can be painted alone, exactly as the whole view paints it.
    bool PaintsParts() const;
    // `part` of the view at the last position (page pixels of the view; it holds the mark).
    // Unmarked, the mark's pixels are painted once more without it.
    QCoro::Task<PaintedView> PaintView(QRect part, bool unmarked);
    // The part of the last view that shows the page, as measured once it was painted; invalid
    // when it was not measured. Asked for after the next scroll, it costs no call of its own.
    QCoro::Task<QSize> Client();
    // Where the last view shows fixed elements that appear on that screen alone.
    QCoro::Task<QList<QRect>> Shown();
    // Gives the page back what the capture changed. Never throws.
    QCoro::Task<> Finish();

private:
    QCoro::Task<bool> ShowsMark(const PaintedView& view, QPoint at);
    bool ShowsMark(const QImage& view, const QPoint& at) const;
    QCoro::Task<bool> MarkPlacedOrPending();
    QCoro::Task<> ReadClient();
    void TakeClient(const QList<QVariant>& size);
    QCoro::Task<QList<QVariant>> StepAndWait(int y, QDeadlineTimer until);
    QCoro::Task<PaintedView> PaintUnmarked(QRect part);
    QCoro::Task<> RepaintMark(PaintedView& view, QRect part);
    QCoro::Task<PaintedView> PaintLikeEngine(QRect part);

    Browser& FBrowser;
    double FScale = 1;
    bool FScripted = false;
    bool FMarked = false;
    int FScreen = 0;
    QRgb FFirst = 0;
    QRgb FSecond = 0;
    QPoint FPosition;
    QPoint FMarkAt;
    // The last view is painted and its client not yet measured.
    bool FClientDue = false;
    QSize FClient;
    QList<QRect> FShown;
};
