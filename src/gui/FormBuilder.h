// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

// Windows here are laid out at fixed positions; every component carries its name as its
// objectName so it can be found by name.
template <class Widget> Widget* Place(QWidget* parent, const char* name, const QRect& geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

inline QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                          int width = -1, int height = -1) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->adjustSize();
    label->setGeometry(x, y, width < 0 ? label->width() : width,
                       height < 0 ? label->height() : height);
    return label;
}

inline QLabel* PlacePicture(QWidget* parent, const char* name, const QString& resource, int x,
                            int y) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    const QPixmap pixmap(resource);
    label->setPixmap(pixmap);
    label->setGeometry(x, y, pixmap.width(), pixmap.height());
    return label;
}

#include "gui/widgets/StyledButton.h"

inline StyledButton* PlaceButton(QWidget* parent, const char* name, const QString& caption,
                                 const QRect& geometry) {
    auto* button = Place<StyledButton>(parent, name, geometry);
    button->setCaption(caption);
    return button;
}
