// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>

// Check box in the XP look. A click toggles and then emits clicked(); setChecked() from code
// only repaints.
class StyledCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
public:
    explicit StyledCheckBox(QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    void setChecked(bool checked) { QCheckBox::setChecked(checked); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
