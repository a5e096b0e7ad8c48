// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/CommandLineSplit.h"

#include <algorithm>

namespace {

bool IsSeparator(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

int TextEnd(const QString& text) {
    const int nul = text.indexOf(QChar(0));
    return nul < 0 ? int(text.size()) : nul;
}

int SkipSeparators(const QString& text, int i, int end) {
    while (i < end) {
        if (IsSeparator(text.at(i))) {
            ++i;
        } else if (text.at(i) == u'"' && i + 1 < end && text.at(i + 1) == u'"') {
            i += 2;
        } else {
            break;
        }
    }
    return i;
}

} // namespace

int ExtractParam(const QString& text, int position, QString& argument) {
    argument.clear();
    const int end = TextEnd(text);
    int i = SkipSeparators(text, std::clamp(position, 0, end), end);
    bool quoted = false;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && IsSeparator(c)) {
            break;
        } else {
            argument += c;
        }
    }
    return i;
}

QStringList ParseCommandLine(const QStringList& argv) {
    QStringList list{argv.isEmpty() ? QString() : argv.first()};
    for (qsizetype i = 1; i < argv.size(); ++i) {
        if (!argv.at(i).isEmpty()) {
            list << argv.at(i);
        }
    }
    return list;
}

QStringList ParseCommandLineText(const QString& text) {
    QStringList list;
    QString argument;
    int position = ExtractParam(text, 0, argument);
    while (!argument.isEmpty()) {
        list << argument;
        position = ExtractParam(text, position, argument);
    }
    return list;
}
