// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PageRenderer.h"

#include "capture/Browser.h"
#include "capture/ControlScript.h"
#include "capture/PreparedPage.h"
#include "common/LargePicture.h"
#include "common/VistrelError.h"

#include <sys/sysinfo.h>

#include <QtConcurrentRun>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Screens overlap by this much more than the scroll bar, so that no seam is left between them.
constexpr int ScrollOverlap = 24;
constexpr qint64 BmpLimit = 0xFFFFFFFFLL - 54;
constexpr qint64 MadeAtOncePixels = 16 << 20;

QString SizeText(const QSize& size) {
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

qint64 PictureBytes(const QSize& page) {
    return qint64(page.width()) * 3 * page.height();
}

// A picture larger than memory and swap would only get the program killed part way through.
bool FitsInMemory(qint64 bytes) {
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return true;
    const qint64 total = (qint64(info.totalram) + qint64(info.totalswap)) * info.mem_unit;
    return bytes < total;
}

void CheckMetrics(const DocumentMetrics& m, int scrollBar) {
    if (m.Viewport.width() - scrollBar - ScrollOverlap < 1 ||
        m.Viewport.height() - scrollBar - ScrollOverlap < 1 || m.Client.isEmpty())
        throw VistrelError(QStringLiteral("The browser view (%1) is too small to capture")
                               .arg(SizeText(m.Viewport)));
    if (m.Page.isEmpty())
        throw VistrelError(QStringLiteral("The page has no size (%1)").arg(SizeText(m.Page)));
}

// Screens a side of `length` takes when `shown` of it fits in one and each step moves by `step`.
int ScreensAlong(int length, int shown, int step) {
    const int rest = std::max(0, length - shown);
    return 1 + (rest + step - 1) / step;
}

} // namespace

PageRenderer::PageRenderer(Browser& browser) : FBrowser(browser) {}

bool PageRenderer::FitsInPicture(const QSize& page) {
    const qint64 row = (qint64(page.width()) * 3 + 3) & ~qint64(3);
    return !page.isEmpty() && row * page.height() <= BmpLimit;
}

void PageRenderer::CheckPictureSize(const QSize& page) {
    if (!FitsInPicture(page) || !FitsInMemory(PictureBytes(page)))
        throw VistrelError(
            QStringLiteral("The page is too large to capture (%1 pixels)").arg(SizeText(page)));
}

// Hundreds of megabytes take a while to make: such a picture is made while the first screens
// are painted, and awaited only when the first is pasted. A small one is made at once.
void PageRenderer::StartPicture(const QSize& page) {
    CheckPictureSize(page);
    FPicture = QImage();
    FPictureDone = QFuture<void>();
    FPictureMade = std::make_shared<std::optional<QImage>>();
    if (qint64(page.width()) * page.height() <= MadeAtOncePixels) {
        *FPictureMade = NewLargePicture(page, QImage::Format_RGB888, 0xff);
        return;
    }
    // The picture is moved out when it is taken: no other reference is left whose existence
    // would make the first write copy the whole picture.
    FPictureDone = QtConcurrent::run([page, made = FPictureMade] {
        *made = NewLargePicture(page, QImage::Format_RGB888, 0xff);
    });
}

QCoro::Task<> PageRenderer::MakePicture() {
    if (!FPicture.isNull())
        co_return;
    if (FPictureDone.isValid())
        co_await FBrowser.Calls().Result(FPictureDone, QStringLiteral("picture"));
    QImage made = FPictureMade && *FPictureMade ? std::move(**FPictureMade) : QImage();
    FPictureMade.reset();
    if (made.isNull())
        throw VistrelError(QStringLiteral("Not enough memory for a picture of %1 pixels")
                               .arg(SizeText(FPageSize)));
    FPicture = std::move(made);
    if (FWatcher)
        FWatcher(FPicture, 0);
}

QCoro::Task<QImage> PageRenderer::Render() {
    PreparedPage page(FBrowser);
    page.SetScale(FScale);
    FPage = &page;
    std::exception_ptr failure;
    QImage picture;
    try {
        co_await FBrowser.HoldPage(true);
        co_await page.Install(FKeepFixed);
        picture = co_await RenderHeld();
    } catch (...) {
        failure = std::current_exception();
    }
    FPage = nullptr;
    if (!failure)
        co_await page.Finish();
    try {
        co_await FBrowser.HoldPage(false);
    } catch (...) {
        if (!failure)
            throw;
    }
    if (failure)
        std::rethrow_exception(failure);
    co_return picture;
}

QCoro::Task<QImage> PageRenderer::RenderHeld() {
    FRenderings = 0;
    co_await FPage->LoadLazyContent(FContentDeadline, [this] { CheckStop(); });
    const DocumentMetrics whole = co_await FBrowser.Metrics();
    const int scrollBar = FBrowser.ScrollBarWidth();
    FScrollBar = scrollBar;
    CheckMetrics(whole, scrollBar);
    const DocumentMetrics metrics = co_await TakenPart(whole);
    FPageSize = Device(metrics.Page);
    StartPicture(FPageSize);
    QSize step = metrics.Viewport - QSize(scrollBar + ScrollOverlap, scrollBar + ScrollOverlap);
    // At a fractional scale, steps of whole device pixels.
    while (step.width() > 1 && Device(step.width()) != step.width() * FScale)
        step.rwidth()--;
    while (step.height() > 1 && Device(step.height()) != step.height() * FScale)
        step.rheight()--;
    FPlanned = ScreensAlong(metrics.Page.width(), metrics.Client.width(), step.width()) *
               ScreensAlong(metrics.Page.height(), metrics.Client.height(), step.height());
    std::exception_ptr failure;
    try {
        FWaiting.reset();
        co_await RenderColumns(metrics, step);
        co_await PasteWaiting();
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        FWaiting.reset();
        // the picture is let go once it is made: its memory is not the pool's to keep
        if (FPictureDone.isValid() && !FPictureDone.isFinished())
            co_await FBrowser.Calls().Result(FPictureDone, QStringLiteral("picture"));
        FPictureMade.reset();
        if (FWatcher && !FPicture.isNull())
            FWatcher(FPicture, -1);
        FPicture = QImage();
        std::rethrow_exception(failure);
    }
    if (FWatcher)
        FWatcher(FPicture, FPicture.height());
    co_return std::exchange(FPicture, QImage()); // the caller's alone: no copy on its next write
}

// The part of the page the picture shows, as if it were the page: its origin is where its top
// left corner is scrolled to. The engine may stop short of it at the page's edges; the screens
// then start above or left of it.
QCoro::Task<DocumentMetrics> PageRenderer::TakenPart(DocumentMetrics metrics) {
    if (FElement.isEmpty())
        co_return metrics;
    const QRect box = ControlScript::BoxFrom(
        co_await FBrowser.RunScript(ControlScript::ElementBox(FElement)), FElement);
    if (!box.isValid())
        throw VistrelError(QStringLiteral("no element matches %1").arg(FElement));
    const QRect part = box.translated(-metrics.Origin)
                           .adjusted(-FPadding, -FPadding, FPadding, FPadding)
                           .intersected(QRect(QPoint(0, 0), metrics.Page));
    if (part.isEmpty())
        throw VistrelError(
            QStringLiteral("the element %1 shows nothing of the page").arg(FElement));
    metrics.Origin += part.topLeft();
    metrics.Page = part.size();
    co_return metrics;
}

// At a fractional scale a device pixel that two rects of the page share is the later one's: a
// screen's last row and column of device pixels are blended with what lies beyond its client
// (a scroll bar), where the next screen shows them whole. The picture's own edges stay.
QRect PageRenderer::Device(const QRect& rect) const {
    const auto end = [this](int page, int pictureEdge) {
        return Device(page) >= pictureEdge ? Device(page) : DeviceFloor(page);
    };
    return QRect(QPoint(DeviceFloor(rect.left()), DeviceFloor(rect.top())),
                 QPoint(end(rect.right() + 1, FPageSize.width()) - 1,
                        end(rect.bottom() + 1, FPageSize.height()) - 1));
}

// Columns from the page's left edge (where an engine scrolls to negative positions, a
// right-to-left page's) to its right edge. Where screens overlap, the earlier one stays: a
// fixed element shown on one screen is not cut by the next.
QCoro::Task<> PageRenderer::RenderColumns(DocumentMetrics metrics, QSize step) {
    const QPoint origin = metrics.Origin;
    QPoint position = co_await Scroll(origin, origin);
    int paintedRight = 0;
    // A vertical scroll bar that comes late narrows every screen: without one planned, a column
    // is surely the last only where the page fits beside one.
    const int sureWidth = metrics.Client.width() -
                          (metrics.Client.width() == metrics.Viewport.width() ? FScrollBar : 0);
    for (;;) {
        const bool last = position.x() - origin.x() + sureWidth >= metrics.Page.width();
        const ColumnEnd end =
            co_await RenderColumn(metrics, position, step.height(), last, paintedRight);
        position = end.position;
        if (last)
            break;
        paintedRight = position.x() - origin.x() + end.shownWidth;
        const int stepX = std::max(1, std::min(step.width(), end.shownWidth - ScrollOverlap));
        const QPoint next = co_await Scroll(QPoint(position.x() + stepX, origin.y()),
                                            origin + QPoint(Kept(paintedRight), 0));
        if (next.x() <= position.x())
            break; // the engine would not scroll further right
        position = next;
    }
}

// Paints one column from the top (position) down to the page's bottom and answers where it
// ended. In the last column the rows above the next screen are final once the engine has
// scrolled there.
QCoro::Task<PageRenderer::ColumnEnd> PageRenderer::RenderColumn(DocumentMetrics metrics,
                                                                QPoint position, int stepY,
                                                                bool lastColumn, int paintedRight) {
    const QRect client(QPoint(0, 0), metrics.Client);
    const QRect view(QPoint(0, 0), metrics.Viewport);
    int paintedBottom = 0;
    int shownWidth = metrics.Client.width();
    for (;;) {
        QRect part = PartToPaint(client, view);
        PaintedView strip = co_await PaintPart(part);
        if (part != view && !co_await HoldsShownAlone(part, client)) {
            part = view;
            strip = co_await PaintPart(part);
        }
        co_await PasteWaiting(); // decoded while this screen was painted
        if (lastColumn && FWatcher && position.y() > metrics.Origin.y()) {
            co_await MakePicture();
            FWatcher(FPicture, DeviceFloor(std::clamp(position.y() - metrics.Origin.y(), 0,
                                                      metrics.Page.height())));
        }
        ScreenDone(); // before the next scroll, where a stop asked for meanwhile takes effect
        const QPoint at = position - metrics.Origin;
        // Unless this screen may reach the bottom, the scroll to the next one brings its measure.
        const bool mayBeLast = at.y() + metrics.Client.height() >= metrics.Page.height();
        const QPoint below(position.x(), position.y() + stepY);
        const QPoint painted =
            metrics.Origin + QPoint(Kept(paintedRight), Kept(at.y() + metrics.Client.height()));
        QPoint next = position;
        if (!mayBeLast)
            next = co_await Scroll(below, PaintedBefore(metrics, below, painted));
        const QSize measured = co_await FPage->Client();
        const QSize shown =
            measured.isValid() ? measured.boundedTo(metrics.Client) : metrics.Client;
        shownWidth = std::min(shownWidth, shown.width());
        FWaiting = {std::move(strip), at + part.topLeft(), {}};
        FWaiting->areas << QRect(at, shown).intersected(
            QRect(QPoint(paintedRight, paintedBottom), metrics.Page));
        // What appears on this screen alone is pasted whole, also where earlier screens painted.
        const QList<QRect> shownAlone = co_await FPage->Shown();
        for (const QRect& element : shownAlone)
            FWaiting->areas << element.intersected(QRect(QPoint(0, 0), shown)).translated(at);
        paintedBottom = at.y() + shown.height();
        if (paintedBottom >= metrics.Page.height())
            co_return ColumnEnd{position, shownWidth};
        if (mayBeLast)
            next = co_await Scroll(below, PaintedBefore(metrics, below, painted));
        if (next.y() <= position.y())
            co_return ColumnEnd{position, shownWidth}; // the engine would not scroll further down
        position = next;
    }
}

// A screen that adds only a strip to the picture (the last column's new columns, a column's
// last rows) is painted from its mark on; any other screen whole.
QRect PageRenderer::PartToPaint(const QRect& client, const QRect& view) const {
    if (!FPage->PaintsParts())
        return view;
    const QRect part(FPage->MarkAt(), client.bottomRight());
    if (qint64(part.width()) * part.height() * 4 > qint64(client.width()) * client.height() * 3)
        return view;
    return part;
}

QCoro::Task<PaintedView> PageRenderer::PaintPart(QRect part) {
    PaintedView painted = co_await FPage->PaintView(part, FRenderings == 0);
    if (painted.Size() != Device(part.size()))
        throw VistrelError(QStringLiteral("The browser painted %1 pixels instead of %2")
                               .arg(SizeText(painted.Size()), SizeText(Device(part.size()))));
    co_return painted;
}

// Whether the fixed elements this screen alone shows lie within the part painted.
QCoro::Task<bool> PageRenderer::HoldsShownAlone(QRect part, QRect client) {
    const QList<QRect> shownAlone = co_await FPage->Shown();
    for (const QRect& element : shownAlone)
        if (!part.contains(element.intersected(client)))
            co_return false;
    co_return true;
}

// Where the page is in the picture once this screen is pasted, as far as the next screen's mark
// needs: the rows above only when the next screen may be its column's last (a strip; elsewhere
// the mark stays in the view's top rows, which are read first).
QPoint PageRenderer::PaintedBefore(const DocumentMetrics& metrics, const QPoint& next,
                                   const QPoint& painted) const {
    if (!FPage->PaintsParts())
        return metrics.Origin; // a whole view: its mark stays in the corner
    const bool mayBeLast =
        next.y() - metrics.Origin.y() + metrics.Client.height() >= metrics.Page.height();
    return QPoint(painted.x(), mayBeLast ? painted.y() : metrics.Origin.y());
}

// A scroll bar that comes late shows less of a screen than planned: the mark stays clear of it.
int PageRenderer::Kept(int painted) const {
    return std::max(0, painted - FScrollBar);
}

QCoro::Task<> PageRenderer::PasteWaiting() {
    if (!FWaiting)
        co_return;
    co_await MakePicture();
    const QImage strip = co_await FBrowser.Whole(FWaiting->view);
    for (const QRect& area : FWaiting->areas)
        Paste(FPicture, strip, FWaiting->at, area);
    FWaiting.reset();
}

void PageRenderer::ScreenDone() {
    ++FRenderings;
    if (FProgress)
        FProgress(FRenderings, std::max(FPlanned, FRenderings));
}

QCoro::Task<QPoint> PageRenderer::Scroll(QPoint position, QPoint painted) {
    CheckStop();
    co_return co_await FPage->ScrollTo(position, painted);
}

void PageRenderer::CheckStop() const {
    if (FStopCheck && FStopCheck())
        throw VistrelError(QStringLiteral("The capture was stopped"));
}

// Pastes `area` of the page from `strip`, the screen whose top left corner is at `at` (both in
// page pixels; the picture and the strip in device pixels).
void PageRenderer::Paste(QImage& picture, const QImage& strip, const QPoint& at,
                         const QRect& area) {
    const QPoint stripAt(Device(at.x()), Device(at.y()));
    const QRect target = Device(area)
                             .intersected(QRect(QPoint(0, 0), picture.size()))
                             .intersected(QRect(stripAt, strip.size()));
    if (target.isEmpty())
        return;
    const int sourceX = target.x() - stripAt.x();
    const int sourceY = target.y() - stripAt.y();
    const size_t bytes = size_t(target.width()) * 3;
    for (int row = 0; row < target.height(); ++row) {
        const uchar* from = strip.constScanLine(sourceY + row) + sourceX * 3;
        uchar* to = picture.scanLine(target.y() + row) + target.x() * 3;
        std::memcpy(to, from, bytes);
    }
}
