// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/GradientStyle.h"

GradientStyle::GradientStyle(QObject* parent) : QObject(parent) {}

GradientStyle* GradientStyle::Default() {
    // Lives for the process; controls only read it from the GUI thread.
    static GradientStyle* manager = new GradientStyle;
    return manager;
}

void GradientStyle::setColor(QColor& field, const QColor& c) {
    if (field != c) {
        field = c;
        emit changed();
    }
}

void GradientStyle::setGradientBegin(const QColor& c) {
    setColor(FGradientBegin, c);
}

void GradientStyle::setGradientEnd(const QColor& c) {
    setColor(FGradientEnd, c);
}

void GradientStyle::setBorderColor(const QColor& c) {
    setColor(FBorderColor, c);
}

void GradientStyle::setHotTrackColor(const QColor& c) {
    setColor(FHotTrackColor, c);
}

void GradientStyle::setCheckColor(const QColor& c) {
    setColor(FCheckColor, c);
}

void GradientStyle::setHotTrack(bool on) {
    if (FHotTrack != on) {
        FHotTrack = on;
        emit changed();
    }
}

void GradientStyle::setShowFocusRect(bool on) {
    if (FShowFocusRect != on) {
        FShowFocusRect = on;
        emit changed();
    }
}
