// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSpinBox>

// Integer field with up and down buttons. Not a QSpinBox: that clamps the shown number as soon
// as its range changes, while here a new limit applies only from the next set or leaving.
class FlatSpinBox : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Value READ Value WRITE setValue)
public:
    explicit FlatSpinBox(QWidget* parent = nullptr);

    int MinValue() const { return FMinValue; }
    int MaxValue() const { return FMaxValue; }
    void setMinValue(int value);
    void setMaxValue(int value);

    // Parses the shown text; unparsable text reads as MinValue. Reading never clamps.
    int Value() const;
    // Clamped unless MinValue == MaxValue; shown as decimal.
    void setValue(int value);

    // Shows the text untouched, as a paste would.
    void setText(const QString& text);
    QString text() const;

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool refuseTyping(const QString& typed) const;
    void reclamp();

    int FMinValue = 0;
    int FMaxValue = 100;
};
