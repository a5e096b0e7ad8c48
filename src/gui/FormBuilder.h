// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/WindowLanguage.h"

#include <QAbstractButton>
#include <QGroupBox>
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

// The same with a window text (marked QT_TRANSLATE_NOOP("Window", ...)), set again when the
// language changes; a label placed without a width or height takes its text's in each language.
inline QLabel* PlaceLabel(QWidget* parent, const char* name, const char* source, int x, int y,
                          int width = -1, int height = -1) {
    QLabel* label = PlaceLabel(parent, name, QString(), x, y, width, height);
    KeepTranslated(label, [label, source, width, height] {
        label->setText(WindowText(source));
        const QPoint at = label->pos();
        label->adjustSize();
        label->setGeometry(at.x(), at.y(), width < 0 ? label->width() : width,
                           height < 0 ? label->height() : height);
    });
    return label;
}

inline void TranslateText(QAbstractButton* button, const char* source) {
    KeepTranslated(button, [button, source] { button->setText(WindowText(source)); });
}

inline void TranslateTitle(QGroupBox* box, const char* source) {
    KeepTranslated(box, [box, source] { box->setTitle(WindowText(source)); });
}

inline void TranslateWindowTitle(QWidget* window, const char* source) {
    KeepTranslated(window, [window, source] { window->setWindowTitle(WindowText(source)); });
}

inline QLabel* PlacePicture(QWidget* parent, const char* name, const QString& resource, int x,
                            int y) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    KeepTranslated(label, [label, resource] { label->setPixmap(QPixmap(LocalArtwork(resource))); });
    label->setGeometry(x, y, label->pixmap().width(), label->pixmap().height());
    return label;
}

#include "gui/widgets/StyledButton.h"

inline StyledButton* PlaceButton(QWidget* parent, const char* name, const QString& caption,
                                 const QRect& geometry) {
    auto* button = Place<StyledButton>(parent, name, geometry);
    button->setCaption(caption);
    return button;
}

inline StyledButton* PlaceButton(QWidget* parent, const char* name, const char* source,
                                 const QRect& geometry) {
    auto* button = Place<StyledButton>(parent, name, geometry);
    TranslateText(button, source);
    return button;
}
