// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VistrelError.h"
#include "settings/DesktopEntry.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        const DesktopEntry entry(DesktopEntry::ProgramBesideTools());
        entry.Install(QImage(QStringLiteral(":/dll/vistrel-pro-48.png")));
        const QString warning = entry.RefreshDatabase();
        if (!warning.isEmpty()) {
            std::fprintf(stderr, "regdll: warning: %s\n", qPrintable(warning));
        }
    } catch (const VistrelError& error) {
        std::fprintf(stderr, "regdll: %s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
