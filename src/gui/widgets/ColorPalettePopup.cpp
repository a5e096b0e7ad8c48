// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/ColorPalettePopup.h"

#include "output/ColorRef.h"

#include <QGridLayout>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int SwatchSize = 14;

QIcon SwatchIcon(quint32 colorRef, bool framed = true) {
    QPixmap pm(SwatchSize, SwatchSize);
    pm.fill(ColorRef::ToColor(colorRef));
    if (framed) {
        QPainter p(&pm);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(0, 0, SwatchSize - 1, SwatchSize - 1);
    }
    return QIcon(pm);
}

constexpr quint32 Rgb(quint32 hex) {
    // Written as #RRGGBB for readability, stored red-low.
    return ((hex >> 16) & 0xff) | (hex & 0xff00) | ((hex & 0xff) << 16);
}

} // namespace

const std::array<quint32, ColorPalettePopup::PresetCount>& ColorPalettePopup::PresetColors() {
    static const std::array<quint32, PresetCount> colors = {
        Rgb(0x000000), Rgb(0x993300), Rgb(0x333300), Rgb(0x003300), Rgb(0x003366), Rgb(0x000080),
        Rgb(0x333399), Rgb(0x333333), Rgb(0x800000), Rgb(0xff6600), Rgb(0x808000), Rgb(0x008000),
        Rgb(0x008080), Rgb(0x0000ff), Rgb(0x666699), Rgb(0x808080), Rgb(0xff0000), Rgb(0xff9900),
        Rgb(0x99cc00), Rgb(0x339966), Rgb(0x33cccc), Rgb(0x3366ff), Rgb(0x800080), Rgb(0x969696),
        Rgb(0xff00ff), Rgb(0xffcc00), Rgb(0xffff00), Rgb(0x00ff00), Rgb(0x00ffff), Rgb(0x00ccff),
        Rgb(0x993366), Rgb(0xc0c0c0), Rgb(0xff99cc), Rgb(0xffcc99), Rgb(0xffff99), Rgb(0xccffcc),
        Rgb(0xccffff), Rgb(0x99ccff), Rgb(0xcc99ff), Rgb(0xffffff)};
    return colors;
}

ColorPalettePopup::ColorPalettePopup(QWidget* owner) : QFrame(owner, Qt::Popup) {
    setObjectName(QStringLiteral("ColorPalette"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);

    FAutoEntry = makeEntry(QStringLiteral("AutoEntry"));
    FAutoEntry->setIcon(SwatchIcon(0));
    FAutoEntry->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(FAutoEntry, &QToolButton::clicked, this, &ColorPalettePopup::automaticPicked);
    layout->addWidget(FAutoEntry);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    buildGrid(grid);
    layout->addLayout(grid);

    FOtherEntry = makeEntry(QStringLiteral("OtherEntry"));
    FOtherEntry->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(FOtherEntry, &QToolButton::clicked, this, &ColorPalettePopup::otherRequested);
    layout->addWidget(FOtherEntry);
}

QToolButton* ColorPalettePopup::makeEntry(const QString& name) {
    auto* entry = new QToolButton(this);
    entry->setObjectName(name);
    entry->setAutoRaise(true);
    entry->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return entry;
}

void ColorPalettePopup::buildGrid(QGridLayout* grid) {
    const auto& colors = PresetColors();
    for (int i = 0; i < PresetCount; ++i) {
        auto* entry = new QToolButton(this);
        entry->setObjectName(QStringLiteral("ColorEntry%1").arg(i));
        entry->setAutoRaise(true);
        entry->setIcon(SwatchIcon(colors[i]));
        entry->setIconSize(QSize(SwatchSize, SwatchSize));
        entry->setFixedSize(SwatchSize + 6, SwatchSize + 6);
        const QColor c = ColorRef::ToColor(colors[i]);
        entry->setToolTip(c.name(QColor::HexRgb).toUpper());
        const quint32 value = colors[i];
        connect(entry, &QToolButton::clicked, this, [this, value] { emit presetPicked(value); });
        grid->addWidget(entry, i / Columns, i % Columns);
    }
}

void ColorPalettePopup::setAutoCaption(const QString& caption) {
    FAutoEntry->setText(caption);
}

void ColorPalettePopup::setOtherCaption(const QString& caption) {
    FOtherEntry->setText(caption);
}

void ColorPalettePopup::setOtherColor(quint32 colorRef) {
    FOtherEntry->setIcon(SwatchIcon(colorRef));
    FOtherEntry->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void ColorPalettePopup::popupBelow(QWidget* anchor) {
    adjustSize();
    QPoint pos = anchor->mapToGlobal(QPoint(0, anchor->height()));
    if (const QScreen* screen = anchor->screen()) {
        const QRect avail = screen->availableGeometry();
        if (pos.y() + height() > avail.bottom()) {
            pos.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height());
        }
        pos.setX(
            std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() - width())));
    }
    move(pos);
    show();
    FAutoEntry->setFocus(Qt::PopupFocusReason);
}
