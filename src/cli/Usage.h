// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The --help text: every switch with its value rule, the defaults and every exit status.
// Ends in a line break.
QString UsageText();

// "Vistrel Pro <version>", without a line break.
QString VersionText();
