// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The maker's web site, used by the help page's link buttons.
inline constexpr char kMakerHost[] = "vistrel.example.org";

QString SupportAddress();
QString UpdateAddress();
QString HomeAddress();
// Path of the manual the help button opens, beside the executable.
QString ManualPath();
