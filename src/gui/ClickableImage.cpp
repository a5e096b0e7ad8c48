// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ClickableImage.h"

#include <QMouseEvent>

ClickableImage::ClickableImage(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickableImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}
