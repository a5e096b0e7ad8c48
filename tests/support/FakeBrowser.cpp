// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FakeBrowser.h"

#include "common/VistrelError.h"

#include <QCoreApplication>

#include <algorithm>

FakeBrowser::FakeBrowser(QObject* parent) : Browser(parent) {}

void FakeBrowser::SetPageSize(const QSize& size) {
    FPageSize = size;
    FScroll = QPoint(0, 0);
}

void FakeBrowser::FailOn(Call call, int number, const QString& message) {
    FFailures[call] = qMakePair(FCalls.value(call) + number, message);
}

void FakeBrowser::FinishLoad() {
    FHasDocument = true;
    emit ProgressChange(100, 100);
    emit NavigateComplete();
    emit StatusTextChange(QCoreApplication::translate("Window", "完成")); // as the engines say it
    emit ProgressChange(-1, 100);
    emit DocumentComplete();
}

void FakeBrowser::FailLoad(const QString& reason) {
    emit ProgressChange(-1, 100);
    emit LoadFailed(reason);
}

// Red follows x, green follows y, blue holds the next bits of both, so that a strip pasted at
// a wrong offset shows in every pixel.
QRgb FakeBrowser::PagePixel(int x, int y) {
    return qRgb(x & 255, y & 255, (((x >> 8) & 7) << 5) | ((y >> 8) & 31));
}

void FakeBrowser::Navigate(const QString& address) {
    FNavigations << address;
    FLocation = address;
    FHasDocument = false;
    FScroll = QPoint(0, 0);
    emit StatusTextChange(address);
}

void FakeBrowser::Stop() {
    ++FStops;
}

void FakeBrowser::Refresh() {
    ++FRefreshes;
}

// Scroll bars appear where the page overflows the view; a horizontal one can make a vertical
// one necessary and the other way round, as in an engine.
QSize FakeBrowser::ClientSize() const {
    bool vertical = FPageSize.height() > FViewSize.height();
    const bool horizontal =
        FPageSize.width() > FViewSize.width() - (vertical ? FScrollBarWidth : 0);
    vertical = FPageSize.height() > FViewSize.height() - (horizontal ? FScrollBarWidth : 0);
    return FViewSize - QSize(vertical ? FScrollBarWidth : 0, horizontal ? FScrollBarWidth : 0);
}

QSize FakeBrowser::ScrollSize() const {
    return FPageSize.expandedTo(ClientSize());
}

void FakeBrowser::Count(Call call) {
    const int number = ++FCalls[call];
    const auto failure = FFailures.constFind(call);
    if (failure != FFailures.constEnd() && failure->first == number)
        throw VistrelError(failure->second);
}

QCoro::Task<DocumentMetrics> FakeBrowser::Metrics() {
    Count(Call::Metrics);
    co_return DocumentMetrics{FViewSize, ClientSize(), ScrollSize(), FScroll, QPoint()};
}

QCoro::Task<QPoint> FakeBrowser::ScrollTo(const QPoint& position) {
    Count(Call::Scroll);
    const QSize limit = ScrollSize() - ClientSize();
    FScroll = QPoint(std::clamp(position.x(), 0, limit.width()),
                     std::clamp(position.y(), 0, limit.height()));
    co_return FScroll;
}

QCoro::Task<QImage> FakeBrowser::PaintView() {
    co_return Painted();
}

QImage FakeBrowser::Painted() {
    Count(Call::Paint);
    FPainted << FScroll;
    QImage view(FViewSize, QImage::Format_RGB888);
    view.fill(ScrollBarPixel());
    const QSize client = ClientSize();
    for (int y = 0; y < client.height(); ++y) {
        uchar* line = view.scanLine(y);
        const int pageY = FScroll.y() + y;
        for (int x = 0; x < client.width(); ++x) {
            const int pageX = FScroll.x() + x;
            const bool onPage = pageX < FPageSize.width() && pageY < FPageSize.height();
            const QRgb pixel = onPage ? PagePixel(pageX, pageY) : qRgb(255, 255, 255);
            line[x * 3] = uchar(qRed(pixel));
            line[x * 3 + 1] = uchar(qGreen(pixel));
            line[x * 3 + 2] = uchar(qBlue(pixel));
        }
    }
    return view;
}
