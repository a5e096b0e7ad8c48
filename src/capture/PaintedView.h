// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFuture>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <qcoro/qcorotask.h>

class EngineCalls;

// A view as the engine painted it. Its top rows are at hand at once, to see what the view shows;
// the whole of it may still be decoded on another thread while the engine paints the next one.
class PaintedView {
public:
    PaintedView() = default;
    explicit PaintedView(const QImage& view);
    PaintedView(const QSize& size, const QImage& top, const QFuture<QImage>& whole);

    QSize Size() const { return FSize; }
    // At least the view's top rows.
    const QImage& Top() const { return FTop; }
    // The whole view in QImage::Format_RGB888, once it is decoded. Throws VistrelError when it
    // could not be.
    QCoro::Task<QImage> Whole(EngineCalls& calls) const;

    // `part` (page pixels) of a view painted whole at `viewSize` page pixels; a null part is all
    // of it.
    PaintedView Part(const QRect& part, const QSize& viewSize) const;
    // The whole view has `patch` painted over it at `at` (device pixels of the view).
    void Patch(const QImage& patch, const QPoint& at);

private:
    QSize FSize;
    QImage FTop;
    QFuture<QImage> FWhole;
    QImage FPatch;
    QPoint FPatchAt;
};
