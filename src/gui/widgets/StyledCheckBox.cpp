// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/StyledCheckBox.h"

#include "gui/widgets/XPLook.h"

#include <QPainter>

namespace {
constexpr int BoxSize = 13;
constexpr int TextGap = 5;
} // namespace

StyledCheckBox::StyledCheckBox(QWidget* parent) : QCheckBox(parent) {
    setAttribute(Qt::WA_Hover);
}

QSize StyledCheckBox::sizeHint() const {
    const QFontMetrics fm(font());
    const QSize t = fm.size(Qt::TextShowMnemonic, text());
    return QSize(BoxSize + TextGap + t.width() + 2, std::max(BoxSize + 2, t.height() + 2));
}

bool StyledCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void StyledCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    XPLook::State state = XPLook::Normal;
    if (!isEnabled()) {
        state = XPLook::Disabled;
    } else if (isDown()) {
        state = XPLook::Pressed;
    } else if (underMouse()) {
        state = XPLook::Hot;
    }
    const QRectF box(0.5, (height() - BoxSize) / 2 + 0.5, BoxSize - 1, BoxSize - 1);
    XPLook::PaintCheckBox(p, box, isChecked(), state);

    const QRect textRect(BoxSize + TextGap, 0, width() - BoxSize - TextGap, height());
    p.setPen(XPLook::TextColor(isEnabled()));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        p.setPen(QPen(QColor(0x7d, 0xa2, 0xce), 1, Qt::DotLine));
        const QFontMetrics fm(font());
        const QRect used = fm.boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter, text());
        p.drawRect(used.adjusted(-1, 0, 1, -1));
    }
}
