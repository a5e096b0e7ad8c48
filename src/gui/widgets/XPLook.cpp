// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/XPLook.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace XPLook {

namespace {

QLinearGradient FaceGradient(const QRectF& rect, State state) {
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    switch (state) {
    case Hot:
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(1, QColor(0xe3, 0xee, 0xfb));
        break;
    case Pressed:
        g.setColorAt(0, QColor(0xd8, 0xdf, 0xe8));
        g.setColorAt(1, QColor(0xf0, 0xf3, 0xf7));
        break;
    case Disabled:
        g.setColorAt(0, QColor(0xf4, 0xf3, 0xee));
        g.setColorAt(1, QColor(0xf4, 0xf3, 0xee));
        break;
    case Normal:
        g.setColorAt(0, QColor(0xff, 0xff, 0xff));
        g.setColorAt(0.6, QColor(0xf3, 0xf3, 0xef));
        g.setColorAt(1, QColor(0xd6, 0xd0, 0xc5));
        break;
    }
    return g;
}

} // namespace

QColor TextColor(bool enabled) {
    return enabled ? QColor(0x00, 0x00, 0x00) : QColor(0xa1, 0xa1, 0x92);
}

QColor BorderColor(bool enabled) {
    return enabled ? QColor(0x00, 0x3c, 0x74) : QColor(0xc9, 0xc7, 0xba);
}

void PaintButtonFace(QPainter& p, const QRectF& rect, State state) {
    p.save();
    p.setPen(QPen(BorderColor(state != Disabled), 1));
    p.setBrush(FaceGradient(rect, state));
    p.drawRoundedRect(rect, 3, 3);
    if (state == Hot) {
        p.setPen(QPen(QColor(0xf8, 0xb3, 0x30), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(rect.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }
    p.restore();
}

void PaintFocusFrame(QPainter& p, const QRectF& rect) {
    p.save();
    p.setPen(QPen(QColor(0x7d, 0xa2, 0xce), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect.adjusted(3, 3, -3, -3), 2, 2);
    p.restore();
}

void PaintCheckBox(QPainter& p, const QRectF& box, bool checked, State state) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const bool enabled = state != Disabled;
    QLinearGradient g(box.topLeft(), box.bottomRight());
    if (!enabled) {
        g.setColorAt(0, QColor(0xf4, 0xf3, 0xee));
        g.setColorAt(1, QColor(0xf4, 0xf3, 0xee));
    } else if (state == Pressed) {
        g.setColorAt(0, QColor(0xb0, 0xb0, 0xa7));
        g.setColorAt(1, QColor(0xe3, 0xe1, 0xd2));
    } else {
        g.setColorAt(0, QColor(0xdc, 0xdc, 0xd7));
        g.setColorAt(1, QColor(0xff, 0xff, 0xff));
    }
    p.setPen(QPen(enabled ? QColor(0x1c, 0x51, 0x80) : QColor(0xca, 0xc8, 0xbb), 1));
    p.setBrush(g);
    p.drawRect(box);
    if (state == Hot) {
        p.setPen(QPen(QColor(0xf8, 0xb3, 0x30), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(1.5, 1.5, -1.5, -1.5));
    }
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.50);
        tick.lineTo(box.left() + box.width() * 0.42, box.top() + box.height() * 0.72);
        tick.lineTo(box.left() + box.width() * 0.78, box.top() + box.height() * 0.28);
        p.setPen(QPen(enabled ? QColor(0x21, 0xa1, 0x21) : QColor(0xa1, 0xa1, 0x92), 2.0,
                      Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    p.restore();
}

void PaintDropArrow(QPainter& p, const QPointF& c, bool enabled) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(TextColor(enabled));
    const QPointF pts[3] = {c + QPointF(-3.5, -1.5), c + QPointF(3.5, -1.5), c + QPointF(0, 2.5)};
    p.drawPolygon(pts, 3);
    p.restore();
}

} // namespace XPLook
