// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/FlatSpinBox.h"

#include "common/SpinValueRules.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <limits>

FlatSpinBox::FlatSpinBox(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    lineEdit()->setText(QStringLiteral("0"));
}

void FlatSpinBox::setMinValue(int value) {
    FMinValue = value;
}

void FlatSpinBox::setMaxValue(int value) {
    FMaxValue = value;
}

int FlatSpinBox::Value() const {
    return SpinValueRules::Parse(lineEdit()->text(), FMinValue);
}

void FlatSpinBox::setValue(int value) {
    const QString shown = QString::number(SpinValueRules::Clamp(value, FMinValue, FMaxValue));
    if (lineEdit()->text() != shown) {
        lineEdit()->setText(shown);
    }
}

void FlatSpinBox::setText(const QString& text) {
    lineEdit()->setText(text);
}

QString FlatSpinBox::text() const {
    return lineEdit()->text();
}

void FlatSpinBox::stepBy(int steps) {
    // 64-bit so that stepping past the int range saturates instead of wrapping.
    const qint64 next = qint64(Value()) + steps;
    const qint64 limited =
        std::clamp<qint64>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    setValue(int(limited));
}

QAbstractSpinBox::StepEnabled FlatSpinBox::stepEnabled() const {
    if (!isEnabled() || isReadOnly()) {
        return StepNone;
    }
    return StepUpEnabled | StepDownEnabled;
}

bool FlatSpinBox::refuseTyping(const QString& typed) const {
    const QChar separator =
        locale().decimalPoint().isEmpty() ? QLatin1Char('.') : locale().decimalPoint().front();
    return !SpinValueRules::IsAcceptedText(typed, separator);
}

void FlatSpinBox::keyPressEvent(QKeyEvent* event) {
    // Keys without text (arrows, Home, End) and Ctrl shortcuts (copy, paste) are not typing.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool shortcut = (event->modifiers() & Qt::ControlModifier) && !enter;
    if (enter || (!shortcut && !event->text().isEmpty() && refuseTyping(event->text()))) {
        QApplication::beep();
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void FlatSpinBox::inputMethodEvent(QInputMethodEvent* event) {
    // Composed text (input methods) obeys the same rule as typed keys.
    if (!event->commitString().isEmpty() && refuseTyping(event->commitString())) {
        QApplication::beep();
        QInputMethodEvent cleared;
        QAbstractSpinBox::inputMethodEvent(&cleared);
        event->accept();
        return;
    }
    QAbstractSpinBox::inputMethodEvent(event);
}

void FlatSpinBox::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    reclamp();
}

void FlatSpinBox::reclamp() {
    bool parsed = false;
    const int shown = SpinValueRules::Parse(lineEdit()->text(), FMinValue, &parsed);
    // Text that is no number would silently read as MinValue: show that number instead.
    if (!parsed || SpinValueRules::Clamp(shown, FMinValue, FMaxValue) != shown) {
        setValue(shown);
    }
}

QSize FlatSpinBox::sizeHint() const {
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(QStringLiteral("-00000000")) + 28;
    return QSize(w, std::max(21, fm.height() + 8));
}

QSize FlatSpinBox::minimumSizeHint() const {
    return sizeHint();
}
