// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TImage.h"

#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QWidget* parent) : QLabel(parent) {}

void TImage::SetPicture(const QImage& picture) {
    FPicture = picture;
    resize(picture.size());
    update();
}

QSize TImage::sizeHint() const {
    return FPicture.size();
}

void TImage::paintEvent(QPaintEvent* event) {
    const QRect part = event->rect() & FPicture.rect();
    if (part.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(part.topLeft(), FPicture, part);
}
