// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/GradientRadioButton.h"

#include "gui/widgets/RbLook.h"

#include <QKeyEvent>

GradientRadioButton::GradientRadioButton(QWidget* parent) : QRadioButton(parent) {
    setAttribute(Qt::WA_Hover);
    setAutoExclusive(false);
    RbLook::Attach(this, FStyleManager, nullptr);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on) {
            clearSiblings();
        }
    });
}

QList<GradientRadioButton*> GradientRadioButton::siblings() const {
    if (!parentWidget()) {
        return {};
    }
    return parentWidget()->findChildren<GradientRadioButton*>(Qt::FindDirectChildrenOnly);
}

void GradientRadioButton::clearSiblings() {
    for (GradientRadioButton* other : siblings()) {
        if (other != this) {
            other->setChecked(false);
        }
    }
}

void GradientRadioButton::nextCheckState() {
    // A click selects; it never clears the selected button.
    if (!isChecked()) {
        setChecked(true);
    }
}

void GradientRadioButton::keyPressEvent(QKeyEvent* event) {
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        QRadioButton::keyPressEvent(event);
        return;
    }
    // Arrows move the selection through the group, as a click on the next button would.
    const QList<GradientRadioButton*> group = siblings();
    const qsizetype count = group.size();
    qsizetype i = group.indexOf(this);
    for (qsizetype n = 1; n < count; ++n) {
        GradientRadioButton* next = group.at(((i + step * n) % count + count) % count);
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
            break;
        }
    }
    event->accept();
}

void GradientRadioButton::setStyleManager(GradientStyle* manager) {
    RbLook::Attach(this, FStyleManager, manager);
}

QSize GradientRadioButton::sizeHint() const {
    return RbLook::SizeHint(this);
}

bool GradientRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void GradientRadioButton::paintEvent(QPaintEvent*) {
    RbLook::Paint(this, FStyleManager, RbLook::Round);
}
