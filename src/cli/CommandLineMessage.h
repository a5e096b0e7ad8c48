// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A message as one stderr line, "vistrel-pro: ..." with its line breaks folded into single
// spaces (message box texts carry "\r\n"). Ends in '\n'.
QString StderrLine(const QString& message);
