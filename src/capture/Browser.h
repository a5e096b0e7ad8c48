// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureControls.h"
#include "capture/DocumentMetrics.h"
#include "capture/EngineCalls.h"
#include "capture/PaintedView.h"
#include "common/VistrelError.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>

#include <qcoro/qcorotask.h>

class QWidget;

// The browser engine as the capture window and the capture see it. Calls that the engine answers
// later are coroutines: they go on once the answer came, and throw VistrelError when the engine
// fails, does not answer in time, or the calls were cancelled (CancelCalls).
class Browser : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Once the engine can take calls; until then what it is asked waits. Throws VistrelError
    // when it never will.
    virtual QCoro::Task<> AwaitReady() { co_return; }
    virtual void Navigate(const QString& address) = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    virtual QString LocationURL() const = 0;

    // The view's size is the viewport the page is laid out in.
    virtual void SetViewSize(const QSize& size) = 0;
    virtual QSize ViewSize() const = 0;

    // True once the current navigation has a document to capture.
    virtual QCoro::Task<bool> HasDocument() = 0;
    virtual QCoro::Task<DocumentMetrics> Metrics() = 0;
    // Returns where the engine really scrolled to (it stops at the page's edges), and only once
    // a frame painted at that position is available to PaintView.
    virtual QCoro::Task<QPoint> ScrollTo(const QPoint& position) = 0;
    // The current view, viewport-sized, in QImage::Format_RGB888.
    virtual QCoro::Task<QImage> PaintView() = 0;
    // `part` of the current view (page pixels of the view; a null part is all of it), where the
    // engine's picture may still be decoded while the caller goes on. An engine that paints only
    // the part asked for pays less for a small one.
    virtual QCoro::Task<PaintedView> PaintPartSoon(QRect part) {
        co_return PaintedView(co_await PaintView()).Part(part, ViewSize());
    }
    QCoro::Task<PaintedView> PaintViewSoon() { return PaintPartSoon(QRect()); }
    // Whether a part is painted from the frame the whole view would be, without moving the
    // engine's view to paint it.
    virtual bool PaintsPartsInPlace() const { return true; }
    // The whole of a view PaintViewSoon gave, once it is decoded.
    QCoro::Task<QImage> Whole(const PaintedView& view) { return view.Whole(FCalls); }
    virtual int ScrollBarWidth() const = 0;

    // Runs a script in the page, in a world of the capture's own that page scripts cannot see,
    // and returns its value (numbers, strings, booleans, lists, maps). An invalid value means
    // this engine runs no scripts: the capture then takes the page as the engine paints it.
    virtual QCoro::Task<QVariant> RunScript(const QString&) { co_return QVariant(); }
    // Runs a script in the page's own world, where its functions and variables are, and awaits
    // a promise it returns. Throws VistrelError with the script's message when it throws.
    virtual QCoro::Task<QVariant> RunPageScript(const QString&) {
        throw VistrelError(QStringLiteral("this engine runs no scripts of the page's own"));
        co_return QVariant();
    }
    // Identity, cookies, media features and device scale of the pages it loads from now on.
    virtual void SetControls(const CaptureControls&) {}
    // The HTTP status the current page's document was answered with; 0 when unknown.
    virtual int HttpStatus() const { return 0; }
    // Waits, at most `milliseconds`, until the view may show something newer than the last
    // PaintView did; false when nothing came. An engine whose every PaintView paints anew
    // returns at once.
    virtual QCoro::Task<bool> AwaitPaint(int) { co_return true; }
    // Lets the engine work for a while.
    QCoro::Task<> Pause(int milliseconds) { return FCalls.Pause(milliseconds); }
    // What the browser waits for; work of its own on other threads is awaited here too.
    EngineCalls& Calls() { return FCalls; }
    // Every call under way ends at once with this error (a stop); later calls are not affected.
    void CancelCalls(const QString& reason) { FCalls.AbortAll(reason); }

    // Calls the engine answers later fail after this long.
    virtual void SetTimeLimit(int) {}
    // The process that runs the page now, or 0 when it has none of its own.
    virtual QCoro::Task<qint64> PageProcessId() { co_return 0; }

    // Quiet while nobody watches: the page may then open no dialog at all.
    virtual void SetQuiet(bool quiet) = 0;

    // Held, the page cannot navigate away on its own (reload, redirect, refresh); a navigation
    // already under way is let finish first. The capture holds the page while it scrolls and
    // paints.
    virtual QCoro::Task<> HoldPage(bool) { co_return; }

    // The widget that shows the page, or none for an engine that draws nowhere.
    virtual QWidget* Widget() const { return nullptr; }

signals:
    // The top-level document has finished loading; frames never send it.
    void DocumentComplete();
    void LoadFailed(const QString& reason);
    void ProgressChange(int progress, int maximum);
    void StatusTextChange(const QString& text);
    void NavigateComplete();
    void NewWindowRefused();

protected:
    // Last to go: a coroutine still waiting for the engine is never resumed into a browser
    // that is gone.
    EngineCalls FCalls;
};
