// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/widgets/GradientStyle.h"

#include <QPointer>
#include <QRadioButton>

// Gradient radio button, exclusive among the gradient radio buttons with the same parent widget.
// Not QRadioButton's auto-exclusivity: that spans every descendant of the parent, so a
// page's buttons would clear those in a group box on the page. clicked() is the click
// handler; code sets never emit it.
class GradientRadioButton : public QRadioButton {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
public:
    explicit GradientRadioButton(QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    // False clears even the selected button, leaving none selected.
    void setChecked(bool checked) { QRadioButton::setChecked(checked); }

    void setStyleManager(GradientStyle* manager);
    GradientStyle* StyleManager() const { return FStyleManager; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<GradientRadioButton*> siblings() const;
    void clearSiblings();

    QPointer<GradientStyle> FStyleManager;
};
