// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/widgets/GradientStyle.h"

#include <QCheckBox>
#include <QPointer>

// Gradient check box. A click toggles first and then emits clicked(), so a handler reads the
// new state; code sets never emit it.
class GradientCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
public:
    explicit GradientCheckBox(QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    void setChecked(bool checked) { QCheckBox::setChecked(checked); }

    void setStyleManager(GradientStyle* manager);
    GradientStyle* StyleManager() const { return FStyleManager; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QPointer<GradientStyle> FStyleManager;
};
