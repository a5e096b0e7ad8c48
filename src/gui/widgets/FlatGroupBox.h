// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

// Captioned frame with a flat border in ColorBorder (red in the low byte); holds controls.
class FlatGroupBox : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(quint32 ColorBorder READ ColorBorder WRITE setColorBorder)
public:
    explicit FlatGroupBox(QWidget* parent = nullptr);
    explicit FlatGroupBox(const QString& caption, QWidget* parent = nullptr);

    quint32 ColorBorder() const { return FColorBorder; }
    void setColorBorder(quint32 colorRef);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    quint32 FColorBorder = 12164479;
};
