// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/Browser.h"

#include <QList>
#include <QMap>
#include <QStringList>

#include <functional>
#include <utility>

// A browser without an engine: it holds a page of a given size whose every pixel has a known
// colour (PagePixel), scrolls within the page's edges like an engine does, counts what it is
// asked to do and fails on request. It drives the capture in tests.
class FakeBrowser : public Browser {
    Q_OBJECT

public:
    enum class Call { Metrics, Scroll, Paint };

    explicit FakeBrowser(QObject* parent = nullptr);

    void SetPageSize(const QSize& size);
    QSize PageSize() const { return FPageSize; }
    void SetScrollBarWidth(int width) { FScrollBarWidth = width; }
    void SetDocument(bool present) { FHasDocument = present; }
    // The number-th call of that kind from now on (1 = the next one) throws VistrelError.
    void FailOn(Call call, int number, const QString& message);

    // What the engine would report when the load of the current address ends.
    void FinishLoad();
    void FailLoad(const QString& reason);

    static QRgb PagePixel(int x, int y);
    static QRgb ScrollBarPixel() { return qRgb(0xC8, 0xC8, 0xC8); }

    int Renderings() const { return FPainted.size(); }
    const QList<QPoint>& PaintedPositions() const { return FPainted; }
    const QStringList& Navigations() const { return FNavigations; }
    int Stops() const { return FStops; }
    int Refreshes() const { return FRefreshes; }
    QPoint Position() const { return FScroll; }

    void Navigate(const QString& address) override;
    void Stop() override;
    void Refresh() override;
    QString LocationURL() const override { return FLocation; }
    void SetViewSize(const QSize& size) override { FViewSize = size; }
    QSize ViewSize() const override { return FViewSize; }
    // Runs once, inside the next document check, before it answers: an engine answers through
    // the event loop, and anything may arrive meanwhile.
    void SetDocumentCheck(std::function<void()> check) { FDocumentCheck = std::move(check); }
    QCoro::Task<bool> HasDocument() override {
        if (const auto check = std::exchange(FDocumentCheck, {}))
            check();
        co_return FHasDocument;
    }
    QCoro::Task<DocumentMetrics> Metrics() override;
    QCoro::Task<QPoint> ScrollTo(const QPoint& position) override;
    QCoro::Task<QImage> PaintView() override;
    int ScrollBarWidth() const override { return FScrollBarWidth; }
    void SetQuiet(bool quiet) override { FQuiet = quiet; }
    bool Quiet() const { return FQuiet; }

private:
    QImage Painted();
    QSize ClientSize() const;
    QSize ScrollSize() const;
    void Count(Call call);

    QSize FPageSize{1009, 768};
    QSize FViewSize{1024, 768};
    int FScrollBarWidth = 15;
    bool FHasDocument = true;
    bool FQuiet = true;
    QPoint FScroll;
    QString FLocation = QStringLiteral("about:blank");
    QList<QPoint> FPainted;
    QStringList FNavigations;
    int FStops = 0;
    int FRefreshes = 0;
    QMap<Call, int> FCalls;
    QMap<Call, QPair<int, QString>> FFailures;
    std::function<void()> FDocumentCheck;
};
