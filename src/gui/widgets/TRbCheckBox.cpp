// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/TRbCheckBox.h"

#include "gui/widgets/RbLook.h"

TRbCheckBox::TRbCheckBox(QWidget* parent) : QCheckBox(parent) {
    setAttribute(Qt::WA_Hover);
    RbLook::Attach(this, FStyleManager, nullptr);
}

void TRbCheckBox::setStyleManager(TRbStyleManager* manager) {
    RbLook::Attach(this, FStyleManager, manager);
}

QSize TRbCheckBox::sizeHint() const {
    return RbLook::SizeHint(this);
}

bool TRbCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TRbCheckBox::paintEvent(QPaintEvent*) {
    RbLook::Paint(this, FStyleManager, RbLook::Square);
}
