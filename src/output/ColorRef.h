// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QtGlobal>

// Colours travel as the window system's 32-bit form: red in the low byte, then green, then
// blue. The top byte carries flags (536870912 is "automatic") and holds no colour.
namespace ColorRef {

constexpr quint32 Automatic = 536870912;

QColor ToColor(quint32 colorRef);
quint32 FromColor(const QColor& color);

} // namespace ColorRef
