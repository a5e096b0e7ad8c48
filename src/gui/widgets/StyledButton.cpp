// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/StyledButton.h"

#include "gui/widgets/XPLook.h"

#include <QPainter>
#include <QStyleOptionButton>

StyledButton::StyledButton(QWidget* parent) : QPushButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

void StyledButton::setCaption(const QString& caption) {
    setText(caption);
}

QString StyledButton::caption() const {
    return text();
}

QSize StyledButton::sizeHint() const {
    const QFontMetrics fm(font());
    const QSize textSize = fm.size(Qt::TextShowMnemonic, text());
    return QSize(std::max(75, textSize.width() + 20), std::max(23, textSize.height() + 10));
}

QSize StyledButton::minimumSizeHint() const {
    return sizeHint();
}

bool StyledButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void StyledButton::paintEvent(QPaintEvent*) {
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
