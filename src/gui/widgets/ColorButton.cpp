// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/ColorButton.h"

#include "gui/widgets/ColorPalettePopup.h"
#include "gui/widgets/XPLook.h"
#include "output/ColorRef.h"

#include <QColorDialog>
#include <QEvent>
#include <QPainter>

ColorButton::ColorDialogFunction ColorButton::ColorDialogHook;

namespace {
constexpr int ArrowWidth = 12;
}

ColorButton::ColorButton(QWidget* parent)
    : QToolButton(parent), FAutoCaption(QStringLiteral("自动")),
      FOtherCaption(QStringLiteral("其他颜色...")) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    FPalette = new ColorPalettePopup(this);
    FPalette->setAutoCaption(FAutoCaption);
    FPalette->setOtherCaption(FOtherCaption);
    connect(FPalette, &ColorPalettePopup::automaticPicked, this, [this] { pick(Automatic); });
    connect(FPalette, &ColorPalettePopup::presetPicked, this, &ColorButton::pick);
    connect(FPalette, &ColorPalettePopup::otherRequested, this, &ColorButton::pickOther);
    connect(this, &QToolButton::clicked, this, &ColorButton::showPalette);
}

void ColorButton::setSelectedColor(quint32 colorRef) {
    FSelectedColor = colorRef;
    update();
}

void ColorButton::setAutoCaption(const QString& caption) {
    FAutoCaption = caption;
    FPalette->setAutoCaption(caption);
}

void ColorButton::setOtherCaption(const QString& caption) {
    FOtherCaption = caption;
    FPalette->setOtherCaption(caption);
}

void ColorButton::showPalette() {
    if (isEnabled()) {
        FPalette->popupBelow(this);
    }
}

void ColorButton::pick(quint32 colorRef) {
    FPalette->hide();
    setSelectedColor(colorRef);
    emit colorPicked(colorRef);
}

void ColorButton::pickOther() {
    FPalette->hide();
    // The automatic colour shows as black, so the dialog starts from black too.
    const QColor initial =
        ColorRef::ToColor(FSelectedColor == Automatic ? 0 : FSelectedColor & 0xffffff);
    std::optional<QColor> chosen;
    if (ColorDialogHook) {
        chosen = ColorDialogHook(initial, this);
    } else {
        const QColor c = QColorDialog::getColor(initial, window());
        if (c.isValid()) {
            chosen = c;
        }
    }
    if (!chosen || !chosen->isValid()) {
        return;
    }
    const quint32 value = ColorRef::FromColor(*chosen);
    FPalette->setOtherColor(value);
    pick(value);
}

void ColorButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        FPalette->hide();
    }
    QToolButton::changeEvent(event);
}

bool ColorButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

QSize ColorButton::sizeHint() const {
    return QSize(48, 23);
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled();
    XPLook::State state = XPLook::Normal;
    if (!enabled) {
        state = XPLook::Disabled;
    } else if (isDown() || FPalette->isVisible()) {
        state = XPLook::Pressed;
    } else if (underMouse()) {
        state = XPLook::Hot;
    }
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    XPLook::PaintButtonFace(p, face, state);

    const QRectF swatch(5.5, 4.5, width() - ArrowWidth - 11, height() - 10);
    const quint32 shown = FSelectedColor == Automatic ? 0 : FSelectedColor;
    QColor fill = ColorRef::ToColor(shown);
    if (!enabled) {
        // Washed out so a disabled button does not claim a live colour.
        const int grey = qGray(fill.rgb());
        fill = QColor(grey, grey, grey).lighter(160);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(XPLook::BorderColor(enabled));
    p.setBrush(fill);
    p.drawRect(swatch);

    const double sepX = width() - ArrowWidth - 2.5;
    p.setPen(QColor(0xb0, 0xb0, 0xa8));
    p.drawLine(QPointF(sepX, 4), QPointF(sepX, height() - 4));
    XPLook::PaintDropArrow(p, QPointF(width() - ArrowWidth / 2.0 - 1.5, height() / 2.0), enabled);
    if (hasFocus() && enabled) {
        XPLook::PaintFocusFrame(p, face.adjusted(-1, -1, 1, 1));
    }
}
