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
// that screen's colours in its top left corner, where the screens before it have painted the
// page already; the first screen is painted once more without it. Elsewhere the engine's own
// scroll and paint.
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
    // Where the engine got to.
    QCoro::Task<QPoint> ScrollTo(QPoint position);
    // The view at the last position; `client` is the part of it that shows the page. Unmarked,
    // the view is painted once more without the mark where it had one.
    QCoro::Task<PaintedView> PaintView(QRect client, bool unmarked);
    // The part of the last view that shows the page, as measured once it was painted; invalid
    // when it was not measured. Asked for after the next scroll, it costs no call of its own.
    QCoro::Task<QSize> Client();
    // Where the last view shows fixed elements that appear on that screen alone.
    QCoro::Task<QList<QRect>> Shown();
    // Gives the page back what the capture changed. Never throws.
    QCoro::Task<> Finish();

private:
    bool ShowsMark(const QImage& view, const QRect& client) const;
    QCoro::Task<bool> MarkPlacedOrPending();
    QCoro::Task<> ReadClient();
    void TakeClient(const QList<QVariant>& size);
    QCoro::Task<QList<QVariant>> StepAndWait(int y, QDeadlineTimer until);
    QCoro::Task<PaintedView> PaintUnmarked(QRect client);
    QCoro::Task<PaintedView> PaintLikeEngine();

    Browser& FBrowser;
    double FScale = 1;
    bool FScripted = false;
    bool FMarked = false;
    int FScreen = 0;
    QRgb FFirst = 0;
    QRgb FSecond = 0;
    QPoint FPosition;
    // The last view is painted and its client not yet measured.
    bool FClientDue = false;
    QSize FClient;
    QList<QRect> FShown;
};
