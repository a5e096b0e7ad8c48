// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/RbLook.h"

#include "gui/widgets/GradientStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace RbLook {

void Attach(QAbstractButton* button, QPointer<GradientStyle>& slot, GradientStyle* manager) {
    if (slot) {
        QObject::disconnect(slot, nullptr, button, nullptr);
    }
    slot = manager ? manager : GradientStyle::Default();
    QObject::connect(slot, &GradientStyle::changed, button, qOverload<>(&QWidget::update));
    button->update();
}

namespace {

QLinearGradient IndicatorGradient(const QRectF& r, const GradientStyle& m, bool enabled,
                                  bool down) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    const QColor begin = enabled ? m.GradientBegin() : QColor(0xf4, 0xf3, 0xee);
    const QColor end = enabled ? m.GradientEnd() : QColor(0xe6, 0xe4, 0xdc);
    g.setColorAt(0, down ? end : begin);
    g.setColorAt(1, down ? begin : end);
    return g;
}

void PaintMark(QPainter& p, const QRectF& r, Indicator indicator, const QColor& colour) {
    if (indicator == Round) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(r.center(), r.width() * 0.2, r.height() * 0.2);
        return;
    }
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.22, r.top() + r.height() * 0.50);
    tick.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.72);
    tick.lineTo(r.left() + r.width() * 0.78, r.top() + r.height() * 0.28);
    p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

} // namespace

void Paint(QAbstractButton* b, GradientStyle* manager, Indicator indicator) {
    const GradientStyle& m = manager ? *manager : *GradientStyle::Default();
    const bool enabled = b->isEnabled();
    QPainter p(b);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, (b->height() - IndicatorSize) / 2 + 0.5, IndicatorSize - 1,
                   IndicatorSize - 1);
    const bool hot = enabled && m.HotTrack() && b->underMouse();
    p.setPen(QPen(enabled ? (hot ? m.HotTrackColor() : m.BorderColor()) : QColor(0xca, 0xc8, 0xbb),
                  hot ? 1.5 : 1.0));
    p.setBrush(IndicatorGradient(r, m, enabled, b->isDown()));
    if (indicator == Round) {
        p.drawEllipse(r);
    } else {
        p.drawRoundedRect(r, 2, 2);
    }
    if (b->isChecked()) {
        PaintMark(p, r, indicator, enabled ? m.CheckColor() : QColor(0xa1, 0xa1, 0x92));
    }
    const QRect textRect(IndicatorSize + TextGap, 0, b->width() - IndicatorSize - TextGap,
                         b->height());
    p.setPen(enabled ? b->palette().color(QPalette::WindowText) : QColor(0xa1, 0xa1, 0x92));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, b->text());
    if (m.ShowFocusRect() && b->hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(0x7d, 0xa2, 0xce), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        const QRect used =
            b->fontMetrics().boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter, b->text());
        p.drawRect(used.adjusted(-1, 0, 1, -1));
    }
}

QSize SizeHint(const QAbstractButton* b) {
    const QSize t = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
    return QSize(IndicatorSize + TextGap + t.width() + 2,
                 std::max(IndicatorSize + 2, t.height() + 2));
}

} // namespace RbLook
