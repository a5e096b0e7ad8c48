// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PageRenderer.h"

#include "capture/Browser.h"
#include "capture/PreparedPage.h"
#include "common/LargePicture.h"
#include "common/VistrelError.h"

#include <sys/sysinfo.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <utility>

namespace {

// Screens overlap by this much more than the scroll bar, so that no seam is left between them.
constexpr int ScrollOverlap = 24;
constexpr qint64 BmpLimit = 0xFFFFFFFFLL - 54;

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

// Hundreds of megabytes take a while to make: the picture is made while the first screens are
// painted, and waited for only when the first is pasted.
void PageRenderer::StartPicture(const QSize& page) {
    CheckPictureSize(page);
    FPicture = QImage();
    // std::future hands the picture over by moving it: no other reference is left whose
    // existence would make the first write copy the whole picture.
    FPictureMade = std::async(
        std::launch::async, [page] { return NewLargePicture(page, QImage::Format_RGB888, 0xff); });
}

QImage& PageRenderer::Picture() {
    if (!FPicture.isNull())
        return FPicture;
    QImage made = FPictureMade.valid() ? FPictureMade.get() : QImage();
    if (made.isNull())
        throw VistrelError(QStringLiteral("Not enough memory for a picture of %1 pixels")
                               .arg(SizeText(FPageSize)));
    FPicture = std::move(made);
    if (FWatcher)
        FWatcher(FPicture, 0);
    return FPicture;
}

QImage PageRenderer::Render() {
    try {
        FBrowser.HoldPage(true);
        PreparedPage page(FBrowser, FKeepFixed);
        FPage = &page;
        QImage picture = RenderHeld();
        FPage = nullptr;
        page.Finish();
        FBrowser.HoldPage(false);
        return picture;
    } catch (...) {
        FPage = nullptr;
        FBrowser.HoldPage(false);
        throw;
    }
}

QImage PageRenderer::RenderHeld() {
    FRenderings = 0;
    FPage->LoadLazyContent(FContentDeadline, [this] { CheckStop(); });
    const DocumentMetrics metrics = FBrowser.Metrics();
    const int scrollBar = FBrowser.ScrollBarWidth();
    CheckMetrics(metrics, scrollBar);
    FPageSize = metrics.Page;
    StartPicture(metrics.Page);
    const QSize step =
        metrics.Viewport - QSize(scrollBar + ScrollOverlap, scrollBar + ScrollOverlap);
    FPlanned = ScreensAlong(metrics.Page.width(), metrics.Client.width(), step.width()) *
               ScreensAlong(metrics.Page.height(), metrics.Client.height(), step.height());
    try {
        FWaiting.reset();
        RenderColumns(metrics, step);
        PasteWaiting();
    } catch (...) {
        FWaiting.reset();
        if (FPictureMade.valid())
            FPictureMade.wait();
        if (FWatcher && !FPicture.isNull())
            FWatcher(FPicture, -1);
        FPicture = QImage();
        throw;
    }
    if (FWatcher)
        FWatcher(FPicture, FPicture.height());
    return std::exchange(FPicture, QImage()); // the caller's alone: no copy on its next write
}

// Columns from the page's left edge (where an engine scrolls to negative positions, a
// right-to-left page's) to its right edge. Where screens overlap, the earlier one stays: a
// fixed element shown on one screen is not cut by the next.
void PageRenderer::RenderColumns(const DocumentMetrics& metrics, const QSize& step) {
    const QPoint origin = metrics.Origin;
    QPoint position = Scroll(origin);
    int paintedRight = 0;
    for (;;) {
        const bool last =
            position.x() - origin.x() + metrics.Client.width() >= metrics.Page.width();
        position = RenderColumn(metrics, position, step.height(), last, paintedRight);
        if (last)
            break;
        paintedRight = position.x() - origin.x() + metrics.Client.width();
        const QPoint next = Scroll(QPoint(position.x() + step.width(), origin.y()));
        if (next.x() <= position.x())
            break; // the engine would not scroll further right
        position = next;
    }
}

// Paints one column from the top (position) down to the page's bottom and answers where it
// ended. In the last column the rows above the next screen are final once the engine has
// scrolled there.
QPoint PageRenderer::RenderColumn(const DocumentMetrics& metrics, QPoint position, int stepY,
                                  bool lastColumn, int paintedRight) {
    const QRect client(QPoint(0, 0), metrics.Client);
    int paintedBottom = 0;
    for (;;) {
        PaintedView strip = FPage->PaintView(client, FRenderings == 0);
        if (strip.Size() != metrics.Viewport)
            throw VistrelError(
                QStringLiteral("The browser painted a view of %1 pixels instead of %2")
                    .arg(SizeText(strip.Size()), SizeText(metrics.Viewport)));
        PasteWaiting(); // decoded while this screen was painted
        if (lastColumn && FWatcher && position.y() > metrics.Origin.y())
            FWatcher(Picture(), std::min(position.y() - metrics.Origin.y(), metrics.Page.height()));
        ScreenDone(); // before the next scroll, where a stop asked for meanwhile takes effect
        const QPoint at = position - metrics.Origin;
        // Unless this screen may reach the bottom, the scroll to the next one brings its measure.
        const bool mayBeLast = at.y() + metrics.Client.height() >= metrics.Page.height();
        QPoint next = mayBeLast ? position : Scroll(QPoint(position.x(), position.y() + stepY));
        const QSize measured = FPage->Client();
        const QSize shown =
            measured.isValid() ? measured.boundedTo(metrics.Client) : metrics.Client;
        FWaiting = {std::move(strip), at, {}};
        FWaiting->areas << QRect(at, shown).intersected(
            QRect(QPoint(paintedRight, paintedBottom), metrics.Page));
        // What appears on this screen alone is pasted whole, also where earlier screens painted.
        for (const QRect& element : FPage->Shown())
            FWaiting->areas << element.intersected(QRect(QPoint(0, 0), shown)).translated(at);
        paintedBottom = at.y() + shown.height();
        if (paintedBottom >= metrics.Page.height())
            return position;
        if (mayBeLast)
            next = Scroll(QPoint(position.x(), position.y() + stepY));
        if (next.y() <= position.y())
            return position; // the engine would not scroll further down
        position = next;
    }
}

void PageRenderer::PasteWaiting() {
    if (!FWaiting)
        return;
    QImage& picture = Picture();
    const QImage strip = FWaiting->view.Whole();
    for (const QRect& area : FWaiting->areas)
        Paste(picture, strip, FWaiting->at, area);
    FWaiting.reset();
}

void PageRenderer::ScreenDone() {
    ++FRenderings;
    if (FProgress)
        FProgress(FRenderings, std::max(FPlanned, FRenderings));
}

QPoint PageRenderer::Scroll(const QPoint& position) {
    CheckStop();
    return FPage->ScrollTo(position);
}

void PageRenderer::CheckStop() const {
    if (FStopCheck && FStopCheck())
        throw VistrelError(QStringLiteral("The capture was stopped"));
}

// Pastes `area` of the page from `strip`, the screen whose top left corner is at `at`.
void PageRenderer::Paste(QImage& picture, const QImage& strip, const QPoint& at,
                         const QRect& area) {
    const QRect target =
        area.intersected(QRect(QPoint(0, 0), picture.size())).intersected(QRect(at, strip.size()));
    if (target.isEmpty())
        return;
    const int sourceX = target.x() - at.x();
    const int sourceY = target.y() - at.y();
    const size_t bytes = size_t(target.width()) * 3;
    for (int row = 0; row < target.height(); ++row) {
        const uchar* from = strip.constScanLine(sourceY + row) + sourceX * 3;
        uchar* to = picture.scanLine(target.y() + row) + target.x() * 3;
        std::memcpy(to, from, bytes);
    }
}
