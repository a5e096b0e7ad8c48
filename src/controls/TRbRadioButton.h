#pragma once

#include "controls/TRbStyleManager.h"

#include <QPointer>
#include <QRadioButton>

// Gradient radio button. QRadioButton's auto-exclusivity already groups by parent widget;
// clicked() is the click handler and code sets never emit it.
class TRbRadioButton : public QRadioButton {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
public:
    explicit TRbRadioButton(QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    // Unlike QRadioButton, false clears even the selected button, leaving none selected.
    void setChecked(bool checked);

    void setStyleManager(TRbStyleManager* manager);
    TRbStyleManager* StyleManager() const { return FStyleManager; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QPointer<TRbStyleManager> FStyleManager;
};
