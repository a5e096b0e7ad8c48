// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineMode.h"

#include "cli/CommandLineSwitch.h"

namespace {

// Takes `flag` out wherever it is not a long option's value (`--script --verbose` is a script).
bool TakeFlag(QStringList& commandLine, const QString& flag) {
    if (commandLine.isEmpty())
        return false;
    const QList<bool> values = OptionValues(commandLine, 1);
    QStringList kept{commandLine.value(0)};
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        if (values.at(i) || commandLine.at(i) != flag)
            kept << commandLine.at(i);
    }
    const bool taken = kept.size() < commandLine.size();
    commandLine = kept;
    return taken;
}

} // namespace

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
    return TakeFlag(commandLine, QStringLiteral("--verbose"));
}

bool TakeNoSandboxSwitch(QStringList& commandLine) {
    return TakeFlag(commandLine, QStringView(NoSandboxOption).toString());
}

QString NoSandboxWarning(const QString& engines) {
    return QStringLiteral("--no-sandbox: the sandbox of %1 is off; pages run unconfined, "
                          "with all the rights of this user")
        .arg(engines);
}

QString EngineDisplayName(BrowserEngine engine) {
    return CapturesOnChromium(engine) ? QStringLiteral("Chromium") : QStringLiteral("Qt WebEngine");
}
