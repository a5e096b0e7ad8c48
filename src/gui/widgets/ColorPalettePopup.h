// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <array>

class QToolButton;

// The colour button's drop-down: the automatic entry, 40 preset colours and the other-colours
// entry. Entries are named "AutoEntry", "ColorEntry0".."ColorEntry39" and "OtherEntry".
class ColorPalettePopup : public QFrame {
    Q_OBJECT
public:
    static constexpr int PresetCount = 40;
    static constexpr int Columns = 8;
    // Red in the low byte, as SelectedColor.
    static const std::array<quint32, PresetCount>& PresetColors();

    explicit ColorPalettePopup(QWidget* owner);

    void setAutoCaption(const QString& caption);
    void setOtherCaption(const QString& caption);
    // The colour last taken from the colour dialog, shown on the other-colours entry.
    void setOtherColor(quint32 colorRef);
    void popupBelow(QWidget* anchor);

signals:
    void automaticPicked();
    void presetPicked(quint32 colorRef);
    void otherRequested();

private:
    QToolButton* makeEntry(const QString& name);
    void buildGrid(class QGridLayout* grid);

    QToolButton* FAutoEntry = nullptr;
    QToolButton* FOtherEntry = nullptr;
};
