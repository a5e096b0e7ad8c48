// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/DocumentMetrics.h"
#include "capture/PaintedView.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <QList>

#include <QFuture>

#include <qcoro/qcorotask.h>

#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class Browser;
class PreparedPage;

// Renders the whole page that a browser holds into one picture: it scrolls the view screen by
// screen, paints each screen and pastes it at the scroll offset the engine reports.
//
// Columns start at the page's left edge and step by viewport width - scroll bar - 24 until a strip
// reaches the page's right edge; in each column the screens start at y = 0 and step by viewport
// height - scroll bar - 24 until a strip reaches the bottom. The engine stops scrolling at the
// page's edges, so the last screen of a column, and the last column, sit where it stopped.
// Positions only ever grow, so no screen is painted twice. Only the part of a screen that shows
// the page and that no earlier screen painted is pasted: scroll bars never reach the picture. A
// screen that adds only a strip (the last column's new columns, a column's last rows) is painted
// as that strip alone, where the engine paints parts.
class PageRenderer {
public:
    explicit PageRenderer(Browser& browser);

    // Throws VistrelError when the engine fails or the picture cannot be made. The page is held
    // meanwhile: it cannot replace itself part way through.
    QCoro::Task<QImage> Render();

    int Renderings() const { return FRenderings; }

    // Told after every screen: screens painted, and how many the page's size plans.
    void SetProgress(std::function<void(int done, int planned)> progress) {
        FProgress = std::move(progress);
    }
    // Told once the picture is made (0 rows final), whenever more of its top rows are final (no
    // later screen changes them), and with -1 when it is given up, before it goes away.
    using PictureWatcher = std::function<void(const QImage& picture, int rowsFinal)>;
    void SetPictureWatcher(PictureWatcher watcher) { FWatcher = std::move(watcher); }
    // Asked before every scroll, also while lazily loaded content is waited for; true ends the
    // render with an error.
    void SetStopCheck(std::function<bool()> stop) { FStopCheck = std::move(stop); }

    // Every screen as it looks there, fixed elements and all, instead of each fixed element once.
    void SetKeepFixed(bool keep) { FKeepFixed = keep; }
    // Content that loads as it comes into view is waited for until then at most.
    void SetContentDeadline(const QDeadlineTimer& deadline) { FContentDeadline = deadline; }

    // Only this element's box, grown by `padding` pixels, instead of the whole page.
    void SetElement(const QString& selector, int padding) {
        FElement = selector;
        FPadding = padding;
    }
    // Device pixels per page pixel of the engine's views: the picture has as many more.
    void SetScale(double scale) { FScale = scale; }

    // The largest picture that is made: its BMP file must stay addressable by 32-bit offsets.
    static bool FitsInPicture(const QSize& page);

private:
    QCoro::Task<QImage> RenderHeld();
    QCoro::Task<> RenderColumns(DocumentMetrics metrics, QSize step);
    // Where a column's last screen is, and how much of the page's width its narrowest screen
    // showed (less than planned where a vertical scroll bar came late).
    struct ColumnEnd {
        QPoint position;
        int shownWidth = 0;
    };
    QCoro::Task<ColumnEnd> RenderColumn(DocumentMetrics metrics, QPoint position, int stepY,
                                        bool lastColumn, int paintedRight);
    QCoro::Task<> PasteWaiting();
    void ScreenDone();
    QRect PartToPaint(const QRect& client, const QRect& view) const;
    QCoro::Task<PaintedView> PaintPart(QRect part);
    QCoro::Task<bool> HoldsShownAlone(QRect part, QRect client);
    QPoint PaintedBefore(const DocumentMetrics& metrics, const QPoint& next,
                         const QPoint& painted) const;
    int Kept(int painted) const;
    QCoro::Task<QPoint> Scroll(QPoint position, QPoint painted);
    void CheckStop() const;
    void Paste(QImage& picture, const QImage& strip, const QPoint& at, const QRect& area);
    QCoro::Task<DocumentMetrics> TakenPart(DocumentMetrics metrics);
    int Device(int pagePixels) const { return qRound(pagePixels * FScale); }
    int DeviceFloor(int pagePixels) const { return int(std::floor(pagePixels * FScale)); }
    QSize Device(const QSize& size) const { return {Device(size.width()), Device(size.height())}; }
    QRect Device(const QRect& rect) const;
    static void CheckPictureSize(const QSize& page);
    void StartPicture(const QSize& page);
    // Waits for the picture to be made; throws VistrelError when there was no memory for it.
    QCoro::Task<> MakePicture();

    Browser& FBrowser;
    PreparedPage* FPage = nullptr;
    bool FKeepFixed = false;
    QString FElement;
    int FPadding = 0;
    double FScale = 1;
    int FScrollBar = 0;
    QDeadlineTimer FContentDeadline{QDeadlineTimer::Forever};
    int FRenderings = 0;
    int FPlanned = 0;
    std::function<void(int, int)> FProgress;
    std::function<bool()> FStopCheck;
    PictureWatcher FWatcher;
    // The last screen painted, pasted once the next one is painted: it is decoded meanwhile.
    struct Waiting {
        PaintedView view;
        QPoint at;
        QList<QRect> areas;
    };
    std::optional<Waiting> FWaiting;
    QSize FPageSize;
    QImage FPicture;
    std::shared_ptr<std::optional<QImage>> FPictureMade;
    QFuture<void> FPictureDone;
};
