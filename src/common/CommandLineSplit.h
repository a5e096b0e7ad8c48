// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Cuts the next argument off a raw command-line text (a line of a batch file), starting at
// position; returns the position where collecting stopped. The argument is empty once the text
// is used up. A NUL character ends the text, as it ends a process command line.
int ExtractParam(const QString& text, int position, QString& argument);

// argv as the shell split and unquoted it: item 0 stays the program (empty when argv is), and
// empty arguments are dropped, as an empty quoted pair is in a raw command line.
QStringList ParseCommandLine(const QStringList& argv);

// The arguments of a raw command-line text, in order, up to the first empty argument.
QStringList ParseCommandLineText(const QString& text);
