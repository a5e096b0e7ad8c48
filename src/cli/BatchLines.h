// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One capture of a batch file: the switches of a single run, split as a raw command line.
struct BatchLine {
    int index = 0; // of the line in the file, from 0, blank and comment lines counted
    QStringList arguments;

    int Number() const { return index + 1; }
};

// The captures of a batch file's text. Blank lines, lines of separators only and lines whose
// first character that is no separator is '#' are left out; "\r\n" line ends are accepted.
QList<BatchLine> ReadBatchLines(const QString& text);
