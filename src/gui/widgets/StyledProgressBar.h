// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// Progress bar that paints its own fill. Min <= Position <= Max always holds.
class StyledProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(bool Smooth READ Smooth WRITE setSmooth)
public:
    explicit StyledProgressBar(QWidget* parent = nullptr);

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }

    // Max below Min becomes Min; Min above Max becomes Max. Position follows into the range.
    void setMin(int value);
    void setMax(int value);
    void setPosition(int value);

    void setSmooth(bool smooth);
    bool Smooth() const { return FSmooth; }

    // Nothing is filled when the range is narrower than 1, so no division by zero.
    double FilledFraction() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintBlocks(QPainter& p, const QRectF& fill);

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    bool FSmooth = false;
};
