#pragma once

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
