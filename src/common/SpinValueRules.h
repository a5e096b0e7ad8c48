// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>

// The integer spin edit's value rules, free of any widget so that the settings store and the
// command line apply the same numbers the field would.
namespace SpinValueRules {

// Equal limits mean "no range": any number is taken as it is. When the minimum lies above the
// maximum the minimum wins, so the result is still well defined.
int Clamp(int value, int minValue, int maxValue);

// A decimal integer, optionally signed and surrounded by blanks; anything else, including
// numbers beyond the int range, reads as the minimum.
int Parse(const QString& text, int minValue, bool* ok = nullptr);

// The characters typing may insert: digits, signs, the decimal separator and control
// characters (editing keys, shortcuts), except Enter.
bool IsAcceptedChar(QChar c, QChar decimalSeparator);
bool IsAcceptedText(const QString& text, QChar decimalSeparator);

} // namespace SpinValueRules
