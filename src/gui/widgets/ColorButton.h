// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QToolButton>
#include <functional>
#include <optional>

class ColorPalettePopup;

// Colour button: the face shows SelectedColor, a click drops the palette. Colours are in the
// window system's form, red in the low byte.
class ColorButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(quint32 SelectedColor READ SelectedColor WRITE setSelectedColor)
    Q_PROPERTY(QString AutoCaption READ AutoCaption WRITE setAutoCaption)
    Q_PROPERTY(QString OtherCaption READ OtherCaption WRITE setOtherCaption)
public:
    static constexpr quint32 Automatic = 536870912;

    // Replaces the colour dialog (tests, where no modal dialog may block). Returns the chosen
    // colour, or nothing when cancelled.
    using ColorDialogFunction =
        std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;
    static ColorDialogFunction ColorDialogHook;

    explicit ColorButton(QWidget* parent = nullptr);

    quint32 SelectedColor() const { return FSelectedColor; }
    void setSelectedColor(quint32 colorRef);

    QString AutoCaption() const { return FAutoCaption; }
    void setAutoCaption(const QString& caption);
    QString OtherCaption() const { return FOtherCaption; }
    void setOtherCaption(const QString& caption);

    ColorPalettePopup* Palette() const { return FPalette; }
    void showPalette();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void colorPicked(quint32 colorRef);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void pick(quint32 colorRef);
    void pickOther();

    quint32 FSelectedColor = 0;
    QString FAutoCaption;
    QString FOtherCaption;
    ColorPalettePopup* FPalette = nullptr;
};
