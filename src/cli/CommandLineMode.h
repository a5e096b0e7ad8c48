// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"

#include <QStringList>

enum class StartMode {
    Normal,      // no arguments
    OneArgument, // only a /u among them is honoured; the wizard waits for Start
    Unattended,  // two or more: capture, write, end with an exit status
    Help,        // --help or -h alone
    Version,     // --version alone
};

// The list as ParseCommandLine gives it: item 0 is the program.
StartMode StartModeFor(const QStringList& commandLine);

// Takes "--verbose" out of the list (it is no switch of a capture); true when it was there.
bool TakeVerboseSwitch(QStringList& commandLine);

// Chromium without its sandbox, for the whole run: only ever by this name.
inline constexpr char16_t NoSandboxOption[] = u"--no-sandbox";
// Takes "--no-sandbox" out of the list, so that it does not count as an argument of the run;
// true when it was there.
bool TakeNoSandboxSwitch(QStringList& commandLine);
// The line printed whenever a run goes ahead with the sandbox off, naming the engine(s).
QString NoSandboxWarning(const QString& engines);
// The engine's name as the warnings give it.
QString EngineDisplayName(BrowserEngine engine);
