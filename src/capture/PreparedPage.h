#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

class Browser;

// The page while it is captured. On an engine that runs scripts: lazily loaded content is
// loaded first, fixed elements appear once and sticky ones in their place, and every screen
// is proven to be the page at its position: the frame that paints a screen carries a mark of
// that screen's colours in its bottom right corner, which the next screen's paste covers; the
// last screen is painted once more without it. Elsewhere the engine's own scroll and paint.
class PreparedPage {
public:
    PreparedPage(Browser& browser, bool keepFixed);
    ~PreparedPage();
    PreparedPage(const PreparedPage&) = delete;
    PreparedPage& operator=(const PreparedPage&) = delete;

    // Scrolls once through the page when it may load content as it comes into view, and waits
    // for what came (never beyond the deadline); then back to the top.
    void LoadLazyContent(const QDeadlineTimer& deadline);
    // Where the engine got to.
    QPoint ScrollTo(const QPoint& position);
    // The view at the last position; `client` is the part of it that shows the page.
    QImage PaintView(const QRect& client);
    // The last screen again, without its mark; a null image when there was none.
    QImage PaintUnmarked(const QRect& client);
    // Gives the page back what the capture changed. Never throws.
    void Finish();

private:
    bool ShowsMark(const QImage& view, const QRect& client) const;
    bool MarkPlacedOrPending();
    QImage PaintLikeEngine();

    Browser& FBrowser;
    bool FScripted = false;
    bool FMarked = false;
    int FScreen = 0;
    QRgb FFirst = 0;
    QRgb FSecond = 0;
    QPoint FPosition;
};
