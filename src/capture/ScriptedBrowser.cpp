// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ScriptedBrowser.h"

#include "capture/PageScript.h"
#include "common/VistrelError.h"

#include <QElapsedTimer>

namespace {

constexpr int ViewSizePollMs = 10;

bool IsBlank(const QString& address) {
    return address.isEmpty() || address == QLatin1String("about:blank");
}

} // namespace

QCoro::Task<QVariant> ScriptedBrowser::RunScript(const QString& script) {
    co_return co_await Evaluate(script, QStringLiteral("script"));
}

QCoro::Task<DocumentMetrics> ScriptedBrowser::Metrics() {
    co_await WaitForViewSize(ViewSize());
    const DocumentMetrics metrics = PageScript::MetricsFrom(
        co_await Evaluate(PageScript::Metrics(), QStringLiteral("metrics")));
    if (metrics.Client.width() < metrics.Viewport.width())
        FScrollBarWidth = metrics.Viewport.width() - metrics.Client.width();
    co_return metrics;
}

QCoro::Task<QList<int>> ScriptedBrowser::EvaluateNumbers(QString script, int count, QString what) {
    co_return PageScript::Numbers(co_await Evaluate(script, what), count, what);
}

QCoro::Task<bool> ScriptedBrowser::ShowsDocument(QString target) {
    const QVariantList answer =
        (co_await Evaluate(QStringLiteral("[location.href, !!document.body]"),
                           QStringLiteral("document")))
            .toList();
    if (answer.size() != 2 || !answer.at(1).toBool())
        co_return false;
    co_return !IsBlank(answer.at(0).toString()) || IsBlank(target);
}

QCoro::Task<> ScriptedBrowser::WaitForViewSize(QSize wanted) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const QList<int> n =
            co_await EvaluateNumbers(PageScript::ViewSize(), 2, QStringLiteral("view size"));
        if (QSize(n[0], n[1]) == wanted)
            co_return;
        if (clock.elapsed() > TimeLimitMs())
            throw VistrelError(QStringLiteral("The page did not take the view's size (%1 x %2)")
                                   .arg(wanted.width())
                                   .arg(wanted.height()));
        co_await Pause(ViewSizePollMs);
    }
}

QCoro::Task<QPoint> ScriptedBrowser::ScrollNow(QPoint position) {
    const QList<int> n = co_await EvaluateNumbers(PageScript::ScrollTo(position), 2,
                                                  QStringLiteral("scroll position"));
    co_return QPoint(n[0], n[1]);
}
