// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/TRbRadioButton.h"

#include "gui/widgets/RbLook.h"

#include <QKeyEvent>

TRbRadioButton::TRbRadioButton(QWidget* parent) : QRadioButton(parent) {
    setAttribute(Qt::WA_Hover);
    setAutoExclusive(false);
    RbLook::Attach(this, FStyleManager, nullptr);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on) {
            clearSiblings();
        }
    });
}

QList<TRbRadioButton*> TRbRadioButton::siblings() const {
    if (!parentWidget()) {
        return {};
    }
    return parentWidget()->findChildren<TRbRadioButton*>(Qt::FindDirectChildrenOnly);
}

void TRbRadioButton::clearSiblings() {
    for (TRbRadioButton* other : siblings()) {
        if (other != this) {
            other->setChecked(false);
        }
    }
}

void TRbRadioButton::nextCheckState() {
    // A click selects; it never clears the selected button.
    if (!isChecked()) {
        setChecked(true);
    }
}

void TRbRadioButton::keyPressEvent(QKeyEvent* event) {
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
    const QList<TRbRadioButton*> group = siblings();
    const qsizetype count = group.size();
    qsizetype i = group.indexOf(this);
    for (qsizetype n = 1; n < count; ++n) {
        TRbRadioButton* next = group.at(((i + step * n) % count + count) % count);
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
            break;
        }
    }
    event->accept();
}

void TRbRadioButton::setStyleManager(TRbStyleManager* manager) {
    RbLook::Attach(this, FStyleManager, manager);
}

QSize TRbRadioButton::sizeHint() const {
    return RbLook::SizeHint(this);
}

bool TRbRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void TRbRadioButton::paintEvent(QPaintEvent*) {
    RbLook::Paint(this, FStyleManager, RbLook::Round);
}
