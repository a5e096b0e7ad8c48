// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QPointer>

class GradientStyle;

// Painting and style-manager wiring shared by the gradient radio buttons and check boxes.
namespace RbLook {

enum Indicator { Round, Square };

constexpr int IndicatorSize = 13;
constexpr int TextGap = 5;

// Connects the button to the manager (or the default one) so a change of look repaints it.
void Attach(QAbstractButton* button, QPointer<GradientStyle>& slot, GradientStyle* manager);
void Paint(QAbstractButton* button, GradientStyle* manager, Indicator indicator);
QSize SizeHint(const QAbstractButton* button);

} // namespace RbLook
