// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/StyledProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

StyledProgressBar::StyledProgressBar(QWidget* parent) : QWidget(parent) {}

void StyledProgressBar::setMin(int value) {
    FMin = std::min(value, FMax);
    FPosition = std::max(FPosition, FMin);
    update();
}

void StyledProgressBar::setMax(int value) {
    FMax = std::max(value, FMin);
    FPosition = std::min(FPosition, FMax);
    update();
}

void StyledProgressBar::setPosition(int value) {
    const int clamped = std::clamp(value, FMin, FMax);
    if (clamped != FPosition) {
        FPosition = clamped;
        update();
    }
}

void StyledProgressBar::setSmooth(bool smooth) {
    FSmooth = smooth;
    update();
}

double StyledProgressBar::FilledFraction() const {
    // 64-bit: Max - Min may exceed the int range.
    const qint64 range = qint64(FMax) - qint64(FMin);
    if (range < 1) {
        return 0.0;
    }
    return double(qint64(FPosition) - qint64(FMin)) / double(range);
}

QSize StyledProgressBar::sizeHint() const {
    return QSize(150, 16);
}

void StyledProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool enabled = isEnabled();
    p.setPen(QPen(enabled ? QColor(0x68, 0x68, 0x68) : QColor(0xc9, 0xc7, 0xba), 1));
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawRoundedRect(outer, 3, 3);

    const QRectF inner = outer.adjusted(2, 2, -2, -2);
    const double fraction = FilledFraction();
    if (fraction <= 0.0 || inner.width() <= 0) {
        return;
    }
    const QRectF fill(inner.left(), inner.top(), inner.width() * fraction, inner.height());
    if (FSmooth) {
        QLinearGradient g(fill.topLeft(), fill.bottomLeft());
        g.setColorAt(0, enabled ? QColor(0xb7, 0xf0, 0xa8) : QColor(0xd8, 0xd8, 0xd0));
        g.setColorAt(0.45, enabled ? QColor(0x3d, 0xbf, 0x2a) : QColor(0xb8, 0xb8, 0xae));
        g.setColorAt(1, enabled ? QColor(0x27, 0x9a, 0x18) : QColor(0xa8, 0xa8, 0x9e));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(fill, 2, 2);
    } else {
        paintBlocks(p, fill);
    }
}

void StyledProgressBar::paintBlocks(QPainter& p, const QRectF& fill) {
    const double blockWidth = std::max(4.0, fill.height() * 0.6);
    const double gap = 2.0;
    QLinearGradient g(fill.topLeft(), fill.bottomLeft());
    g.setColorAt(0, isEnabled() ? QColor(0xb7, 0xf0, 0xa8) : QColor(0xd8, 0xd8, 0xd0));
    g.setColorAt(0.5, isEnabled() ? QColor(0x3d, 0xbf, 0x2a) : QColor(0xb8, 0xb8, 0xae));
    g.setColorAt(1, isEnabled() ? QColor(0x27, 0x9a, 0x18) : QColor(0xa8, 0xa8, 0x9e));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    for (double x = fill.left(); x < fill.right(); x += blockWidth + gap) {
        const double w = std::min(blockWidth, fill.right() - x);
        p.drawRect(QRectF(x, fill.top(), w, fill.height()));
    }
}
