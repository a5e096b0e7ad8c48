// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

// The shared XP palette and face painter, so buttons, check boxes and the colour button
// look like one family.
namespace XPLook {

enum State { Normal, Hot, Pressed, Disabled };

QColor TextColor(bool enabled);
QColor BorderColor(bool enabled);
void PaintButtonFace(QPainter& p, const QRectF& rect, State state);
void PaintFocusFrame(QPainter& p, const QRectF& rect);
void PaintCheckBox(QPainter& p, const QRectF& box, bool checked, State state);
void PaintDropArrow(QPainter& p, const QPointF& centre, bool enabled);

} // namespace XPLook
