#pragma once

#include <QRgb>
#include <QtGlobal>

// Colours as the settings and the colour button keep them: red in the low byte, then green,
// then blue.

// The colour button's "automatic" entry.
constexpr quint32 ColorAutomatic = 536870912;

// The automatic entry draws black; bits above the blue byte are ignored.
QRgb RgbFromColorRef(quint32 colorRef);

quint32 ColorRefFromRgb(QRgb rgb);
