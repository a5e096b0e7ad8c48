// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PaintedView.h"

#include "common/VistrelError.h"

PaintedView::PaintedView(const QImage& view)
    : FSize(view.size()), FTop(view), FWhole(QtFuture::makeReadyFuture(view)) {}

PaintedView::PaintedView(const QSize& size, const QImage& top, const QFuture<QImage>& whole)
    : FSize(size), FTop(top), FWhole(whole) {}

QImage PaintedView::Whole() const {
    const QImage view = FWhole.isValid() ? FWhole.result() : QImage();
    if (view.isNull() || view.size() != FSize)
        throw VistrelError(QStringLiteral("The browser could not paint its view"));
    return view.format() == QImage::Format_RGB888 ? view
                                                  : view.convertToFormat(QImage::Format_RGB888);
}
