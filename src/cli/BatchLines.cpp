// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchLines.h"

#include "common/CommandLineSplit.h"

namespace {

bool IsComment(const QString& line) {
    for (const QChar c : line) {
        if (c.unicode() > 32)
            return c == u'#';
    }
    return false;
}

} // namespace

QList<BatchLine> ReadBatchLines(const QString& text) {
    QList<BatchLine> lines;
    // an editor's byte order mark would otherwise hide the first line's first switch
    const QStringList rows = (text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text).split(u'\n');
    for (int index = 0; index < rows.size(); ++index) {
        const QString& row = rows.at(index);
        if (IsComment(row))
            continue;
        // a NUL ends a command line, so it would quietly cut this one short: it is a separator
        QString clean = row;
        clean.replace(QChar(0), u' ');
        const QStringList arguments = ParseCommandLineText(clean);
        if (!arguments.isEmpty())
            lines.append({index, arguments});
    }
    return lines;
}
