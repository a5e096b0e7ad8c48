// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/GradientCheckBox.h"

#include "gui/widgets/RbLook.h"

GradientCheckBox::GradientCheckBox(QWidget* parent) : QCheckBox(parent) {
    setAttribute(Qt::WA_Hover);
    RbLook::Attach(this, FStyleManager, nullptr);
}

void GradientCheckBox::setStyleManager(GradientStyle* manager) {
    RbLook::Attach(this, FStyleManager, manager);
}

QSize GradientCheckBox::sizeHint() const {
    return RbLook::SizeHint(this);
}

bool GradientCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void GradientCheckBox::paintEvent(QPaintEvent*) {
    RbLook::Paint(this, FStyleManager, RbLook::Square);
}
