// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/PictureLabel.h"

#include <QPaintEvent>
#include <QPainter>

PictureLabel::PictureLabel(QWidget* parent) : QLabel(parent) {}

void PictureLabel::SetPicture(const QImage& picture) {
    FPicture = picture;
    resize(picture.size());
    update();
}

QSize PictureLabel::sizeHint() const {
    return FPicture.size();
}

void PictureLabel::paintEvent(QPaintEvent* event) {
    const QRect part = event->rect() & FPicture.rect();
    if (part.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(part.topLeft(), FPicture, part);
}
