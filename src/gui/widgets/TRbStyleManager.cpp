// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/TRbStyleManager.h"

TRbStyleManager::TRbStyleManager(QObject* parent) : QObject(parent) {}

TRbStyleManager* TRbStyleManager::Default() {
    // Lives for the process; controls only read it from the GUI thread.
    static TRbStyleManager* manager = new TRbStyleManager;
    return manager;
}

void TRbStyleManager::setColor(QColor& field, const QColor& c) {
    if (field != c) {
        field = c;
        emit changed();
    }
}

void TRbStyleManager::setGradientBegin(const QColor& c) {
    setColor(FGradientBegin, c);
}

void TRbStyleManager::setGradientEnd(const QColor& c) {
    setColor(FGradientEnd, c);
}

void TRbStyleManager::setBorderColor(const QColor& c) {
    setColor(FBorderColor, c);
}

void TRbStyleManager::setHotTrackColor(const QColor& c) {
    setColor(FHotTrackColor, c);
}

void TRbStyleManager::setCheckColor(const QColor& c) {
    setColor(FCheckColor, c);
}

void TRbStyleManager::setHotTrack(bool on) {
    if (FHotTrack != on) {
        FHotTrack = on;
        emit changed();
    }
}

void TRbStyleManager::setShowFocusRect(bool on) {
    if (FShowFocusRect != on) {
        FShowFocusRect = on;
        emit changed();
    }
}
