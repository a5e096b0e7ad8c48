// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the manual page vistrel-pro(1) from the --help text, so the two never differ.
#include "cli/Usage.h"

#include <QFile>
#include <QStringList>

#include <cstdio>

namespace {

// Text lines as roff sees them: a backslash is escaped, and a line that starts with a dot or
// an apostrophe would be a request.
QString RoffLine(QString line) {
    line.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    line.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
        line.prepend(QStringLiteral("\\&"));
    return line;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-manpage OUTPUT\n", stderr);
        return 2;
    }
    QString page = QStringLiteral(".TH VISTREL-PRO 1 \"\" \"%1\" \"User Commands\"\n"
                                  ".SH NAME\nvistrel\\-pro \\- capture a whole web page into one "
                                  "picture file\n.SH DESCRIPTION\n.nf\n")
                       .arg(VersionText());
    QStringList lines = UsageText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the text ends with its last line's break
    for (const QString& line : lines)
        page += RoffLine(line) + QLatin1Char('\n');
    page += QStringLiteral(".fi\n.SH FILES\n.TP\n$XDG_CONFIG_HOME/vistrel\\-pro/"
                           "HKEY_LOCAL_MACHINE.reg\nthe saved settings (default ~/.config)\n"
                           ".SH SEE ALSO\nThe manual, help.html, beside the program.\n");
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0) {
        std::fprintf(stderr, "make-manpage: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
