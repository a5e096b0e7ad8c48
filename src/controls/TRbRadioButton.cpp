#include "controls/TRbRadioButton.h"

#include "controls/RbLook.h"

TRbRadioButton::TRbRadioButton(QWidget* parent) : QRadioButton(parent) {
    setAttribute(Qt::WA_Hover);
    RbLook::Attach(this, FStyleManager, nullptr);
}

void TRbRadioButton::setChecked(bool checked) {
    if (!checked && isChecked()) {
        // An auto-exclusive button refuses to be cleared while it is the selected one.
        setAutoExclusive(false);
        QRadioButton::setChecked(false);
        setAutoExclusive(true);
        return;
    }
    QRadioButton::setChecked(checked);
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
