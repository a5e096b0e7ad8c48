// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>

// A picture shown at its own size. It paints only the part that is on screen, straight from
// the picture: a page of 1024 x 100,000 pixels would be too much for one pixmap.
class PictureLabel : public QLabel {
    Q_OBJECT

public:
    explicit PictureLabel(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return FPicture; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FPicture;
};
