// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The error report's text: a full stop is added unless the text is empty or already ends in
// a character whose code is 46 ('.') or lower.
QString ErrorReportText(const QString& message);
