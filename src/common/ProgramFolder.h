// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder of the program's own executable, ending in '/'. Files that ship with the
// program (the menu tools, the manual) are found from here, never from the current folder.
QString ProgramFolder();
