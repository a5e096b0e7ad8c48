// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// Push button in the XP look. '&' in the caption marks the accelerator letter (Alt+letter
// clicks the button), "&&" shows one '&'; QAbstractButton provides both.
class StyledButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
public:
    explicit StyledButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
