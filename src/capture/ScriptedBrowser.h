// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/Browser.h"

#include <QList>

// A browser whose engine runs the capture's scripts in a world of their own: what both engines
// ask of the page in the same way (its document, metrics, size and scroll position) is asked
// here once, through the engine's Evaluate.
class ScriptedBrowser : public Browser {
    Q_OBJECT

public:
    using Browser::Browser;

    QCoro::Task<QVariant> RunScript(const QString& script) override;
    QCoro::Task<DocumentMetrics> Metrics() override;
    int ScrollBarWidth() const override { return FScrollBarWidth; }

protected:
    // The script's value; invalid when it threw. `what` names the call in its time-out message.
    virtual QCoro::Task<QVariant> Evaluate(QString script, QString what) = 0;
    virtual int TimeLimitMs() const = 0;

    QCoro::Task<QList<int>> EvaluateNumbers(QString script, int count, QString what);
    // True once the page shows a document of the navigation to `target` (not the blank page it
    // started from).
    QCoro::Task<bool> ShowsDocument(QString target);
    // A resize reaches the page some frames later.
    QCoro::Task<> WaitForViewSize(QSize wanted);
    QCoro::Task<QPoint> ScrollNow(QPoint position);

private:
    int FScrollBarWidth = 15;
};
