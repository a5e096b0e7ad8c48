// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/HelpLinks.h"

#include "common/ProgramFolder.h"

namespace {
QString Site() {
    return QStringLiteral("http://") + QLatin1String(kMakerHost);
}
} // namespace

QString SupportAddress() {
    return Site() + QStringLiteral("/support");
}

QString UpdateAddress() {
    return Site() + QStringLiteral("/update/?u=vistrel&v=1.2.1");
}

QString HomeAddress() {
    return Site();
}

QString ManualPath() {
    return ProgramFolder() + QStringLiteral("help.html");
}
