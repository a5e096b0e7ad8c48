// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PaintedView.h"

#include "capture/EngineCalls.h"
#include "common/VistrelError.h"

#include <cstring>

namespace {

void PaintOver(QImage& view, const QImage& patch, const QPoint& at) {
    const QRect target = QRect(at, patch.size()).intersected(view.rect());
    for (int y = target.top(); y <= target.bottom(); ++y)
        std::memcpy(view.scanLine(y) + target.left() * 3,
                    patch.constScanLine(y - at.y()) + (target.left() - at.x()) * 3,
                    size_t(target.width()) * 3);
}

} // namespace

PaintedView::PaintedView(const QImage& view)
    : FSize(view.size()), FTop(view), FWhole(QtFuture::makeReadyFuture(view)) {}

PaintedView::PaintedView(const QSize& size, const QImage& top, const QFuture<QImage>& whole)
    : FSize(size), FTop(top), FWhole(whole) {}

QCoro::Task<QImage> PaintedView::Whole(EngineCalls& calls) const {
    const QFuture<QImage> whole = FWhole;
    const QSize size = FSize;
    const QImage patch = FPatch;
    const QPoint patchAt = FPatchAt;
    QImage view; // not awaited inside a conditional: GCC 12 frees its result early there
    if (whole.isValid())
        view = co_await calls.Result(whole, QStringLiteral("decoding"));
    if (view.isNull() || view.size() != size)
        throw VistrelError(QStringLiteral("The browser could not paint its view"));
    if (view.format() != QImage::Format_RGB888)
        view = view.convertToFormat(QImage::Format_RGB888);
    if (!patch.isNull())
        PaintOver(view, patch.convertToFormat(QImage::Format_RGB888), patchAt);
    co_return view;
}

PaintedView PaintedView::Part(const QRect& part, const QSize& viewSize) const {
    if (part.isNull() || viewSize.isEmpty())
        return *this;
    const double scale = double(FSize.width()) / viewSize.width();
    const QRect device(
        QPoint(qRound(part.left() * scale), qRound(part.top() * scale)),
        QPoint(qRound((part.right() + 1) * scale) - 1, qRound((part.bottom() + 1) * scale) - 1));
    return PaintedView(FTop.copy(device));
}

void PaintedView::Patch(const QImage& patch, const QPoint& at) {
    FPatch = patch;
    FPatchAt = at;
}
