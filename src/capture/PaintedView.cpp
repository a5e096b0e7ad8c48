// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PaintedView.h"

#include "capture/EngineCalls.h"
#include "common/VistrelError.h"

PaintedView::PaintedView(const QImage& view)
    : FSize(view.size()), FTop(view), FWhole(QtFuture::makeReadyFuture(view)) {}

PaintedView::PaintedView(const QSize& size, const QImage& top, const QFuture<QImage>& whole)
    : FSize(size), FTop(top), FWhole(whole) {}

QCoro::Task<QImage> PaintedView::Whole(EngineCalls& calls) const {
    const QFuture<QImage> whole = FWhole;
    const QSize size = FSize;
    QImage view; // not awaited inside a conditional: GCC 12 frees its result early there
    if (whole.isValid())
        view = co_await calls.Result(whole, QStringLiteral("decoding"));
    if (view.isNull() || view.size() != size)
        throw VistrelError(QStringLiteral("The browser could not paint its view"));
    co_return view.format() == QImage::Format_RGB888 ? view
                                                     : view.convertToFormat(QImage::Format_RGB888);
}
