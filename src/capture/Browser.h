// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/DocumentMetrics.h"
#include "capture/PaintedView.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QVariant>

class QWidget;

// The browser engine as the capture window and the capture see it. Calls that the engine answers
// later wait for the answer without taking user input, and throw VistrelError when the engine
// fails or does not answer in time.
class Browser : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void Navigate(const QString& address) = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    virtual QString LocationURL() const = 0;

    // The view's size is the viewport the page is laid out in.
    virtual void SetViewSize(const QSize& size) = 0;
    virtual QSize ViewSize() const = 0;

    // True once the current navigation has a document to capture.
    virtual bool HasDocument() = 0;
    virtual DocumentMetrics Metrics() = 0;
    // Returns where the engine really scrolled to (it stops at the page's edges), and only once
    // a frame painted at that position is available to PaintView.
    virtual QPoint ScrollTo(const QPoint& position) = 0;
    // The current view, viewport-sized, in QImage::Format_RGB888.
    virtual QImage PaintView() = 0;
    // The same, where the engine's picture may still be decoded while the caller goes on.
    virtual PaintedView PaintViewSoon() { return PaintedView(PaintView()); }
    virtual int ScrollBarWidth() const = 0;

    // Runs a script in the page, in a world of the capture's own that page scripts cannot see,
    // and returns its value (numbers, strings, booleans, lists, maps). An invalid value means
    // this engine runs no scripts: the capture then takes the page as the engine paints it.
    virtual QVariant RunScript(const QString&) { return QVariant(); }
    // Waits, at most `milliseconds`, until the view may show something newer than the last
    // PaintView did; false when nothing came. An engine whose every PaintView paints anew
    // returns at once.
    virtual bool AwaitPaint(int) { return true; }

    // Calls the engine answers later fail after this long.
    virtual void SetTimeLimit(int) {}
    // The process that runs the page now, or 0 when it has none of its own.
    virtual qint64 PageProcessId() { return 0; }

    // Quiet while nobody watches: the page may then open no dialog at all.
    virtual void SetQuiet(bool quiet) = 0;

    // Held, the page cannot navigate away on its own (reload, redirect, refresh); a navigation
    // already under way is let finish first. The capture holds the page while it scrolls and
    // paints.
    virtual void HoldPage(bool) {}

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
};
