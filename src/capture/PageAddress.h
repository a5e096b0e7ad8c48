// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why the browser cannot open this address, or an empty text when it can: the wizard asks
// before it starts anything, so an empty or unusable address never leaves it waiting.
QString PageAddressProblem(const QString& address);
