// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineMode.h"

StartMode StartModeFor(const QStringList& commandLine) {
    const qsizetype arguments = commandLine.size() - 1;
    if (arguments <= 0) {
        return StartMode::Normal;
    }
    if (arguments >= 2) {
        return StartMode::Unattended;
    }
    const QString& only = commandLine.at(1);
    if (only == u"--help" || only == u"-h") {
        return StartMode::Help;
    }
    if (only == u"--version") {
        return StartMode::Version;
    }
    return StartMode::OneArgument;
}

bool TakeVerboseSwitch(QStringList& commandLine) {
    return commandLine.removeAll(QStringLiteral("--verbose")) > 0;
}

bool TakeNoSandboxSwitch(QStringList& commandLine) {
    return commandLine.removeAll(QStringView(NoSandboxOption).toString()) > 0;
}

QString NoSandboxWarning(const QString& engines) {
    return QStringLiteral("--no-sandbox: the sandbox of %1 is off; pages run unconfined, "
                          "with all the rights of this user")
        .arg(engines);
}

QString EngineDisplayName(BrowserEngine engine) {
    return CapturesOnChromium(engine) ? QStringLiteral("Chromium") : QStringLiteral("Qt WebEngine");
}
