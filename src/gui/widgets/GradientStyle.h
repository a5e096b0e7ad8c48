// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QObject>

// The look the gradient radio buttons and check boxes share. Purely look: no behaviour
// depends on it. Controls without their own manager use Default().
class GradientStyle : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor GradientBegin READ GradientBegin WRITE setGradientBegin)
    Q_PROPERTY(QColor GradientEnd READ GradientEnd WRITE setGradientEnd)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(QColor HotTrackColor READ HotTrackColor WRITE setHotTrackColor)
    Q_PROPERTY(QColor CheckColor READ CheckColor WRITE setCheckColor)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE setHotTrack)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE setShowFocusRect)
public:
    explicit GradientStyle(QObject* parent = nullptr);

    static GradientStyle* Default();

    QColor GradientBegin() const { return FGradientBegin; }
    QColor GradientEnd() const { return FGradientEnd; }
    QColor BorderColor() const { return FBorderColor; }
    QColor HotTrackColor() const { return FHotTrackColor; }
    QColor CheckColor() const { return FCheckColor; }
    bool HotTrack() const { return FHotTrack; }
    bool ShowFocusRect() const { return FShowFocusRect; }

    void setGradientBegin(const QColor& c);
    void setGradientEnd(const QColor& c);
    void setBorderColor(const QColor& c);
    void setHotTrackColor(const QColor& c);
    void setCheckColor(const QColor& c);
    void setHotTrack(bool on);
    void setShowFocusRect(bool on);

signals:
    void changed();

private:
    void setColor(QColor& field, const QColor& c);

    QColor FGradientBegin{0xff, 0xff, 0xff};
    QColor FGradientEnd{0xc6, 0xd4, 0xe8};
    QColor FBorderColor{0x1c, 0x51, 0x80};
    QColor FHotTrackColor{0xf8, 0xb3, 0x30};
    QColor FCheckColor{0x21, 0xa1, 0x21};
    bool FHotTrack = true;
    bool FShowFocusRect = false;
};
