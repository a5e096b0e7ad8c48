// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ErrorText.h"

QString ErrorReportText(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= 46) {
        return message;
    }
    return message + QLatin1Char('.');
}
