// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/TJvXPButton.h"

#include "gui/widgets/XPLook.h"

#include <QPainter>
#include <QStyleOptionButton>

TJvXPButton::TJvXPButton(QWidget* parent) : QPushButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

void TJvXPButton::setCaption(const QString& caption) {
    setText(caption);
}

QString TJvXPButton::caption() const {
    return text();
}

QSize TJvXPButton::sizeHint() const {
    const QFontMetrics fm(font());
    const QSize textSize = fm.size(Qt::TextShowMnemonic, text());
    return QSize(std::max(75, textSize.width() + 20), std::max(23, textSize.height() + 10));
}

QSize TJvXPButton::minimumSizeHint() const {
    return sizeHint();
}

bool TJvXPButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TJvXPButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    XPLook::State state = XPLook::Normal;
    if (!isEnabled()) {
        state = XPLook::Disabled;
    } else if (isDown() || isChecked()) {
        state = XPLook::Pressed;
    } else if (underMouse()) {
        state = XPLook::Hot;
    }
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    XPLook::PaintButtonFace(p, face, state);
    if (hasFocus() && isEnabled()) {
        XPLook::PaintFocusFrame(p, face);
    }
    QRect textRect = rect().adjusted(4, 2, -4, -2);
    if (state == XPLook::Pressed) {
        textRect.translate(1, 1);
    }
    p.setPen(XPLook::TextColor(isEnabled()));
    p.setFont(font());
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
