// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SpinValueRules.h"

#include <algorithm>

namespace SpinValueRules {

int Clamp(int value, int minValue, int maxValue) {
    if (minValue == maxValue) {
        return value;
    }
    return std::max(minValue, std::min(value, maxValue));
}

int Parse(const QString& text, int minValue, bool* ok) {
    bool parsed = false;
    const int value = text.trimmed().toInt(&parsed, 10);
    if (ok) {
        *ok = parsed;
    }
    return parsed ? value : minValue;
}

bool IsAcceptedChar(QChar c, QChar decimalSeparator) {
    const char16_t u = c.unicode();
    if (u == u'\r' || u == u'\n') {
        return false;
    }
    if (u < 0x20 || u == 0x7f) {
        return true;
    }
    return (u >= u'0' && u <= u'9') || u == u'+' || u == u'-' || c == decimalSeparator;
}

bool IsAcceptedText(const QString& text, QChar decimalSeparator) {
    return std::all_of(text.begin(), text.end(),
                       [decimalSeparator](QChar c) { return IsAcceptedChar(c, decimalSeparator); });
}

} // namespace SpinValueRules
