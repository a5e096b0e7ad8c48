// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class CmdSwitch {
    None,        // matches no switch: ignored, but still counts as an argument
    Url,         // /u
    PicFile,     // /p
    ThumbFile,   // /t
    Resolution,  // /r
    ThumbSize,   // /s
    Border,      // /b
    Hide,        // /h, takes no value
    CropPicture, // /cp
    CropThumb,   // /ct
    LoadLimit,   // /w
    KeepFixed,   // /k
    Engine,      // /e
    NoSandbox,   // --no-sandbox, put back into a single run's arguments by the start-up
    // Long options of a capture, "--name value" or "--name=value"
    WaitFor,         // --wait-for CSS
    WaitUntil,       // --wait-until JS
    Delay,           // --delay MS
    Script,          // --script JS or --script @FILE
    HideElements,    // --hide CSS, repeatable
    Element,         // --element CSS
    Padding,         // --padding N
    Size,            // --size WIDTHxHEIGHT
    Scale,           // --scale N
    UserAgent,       // --user-agent TEXT
    Header,          // --header "Name: value", repeatable
    Cookies,         // --cookies FILE
    ColorScheme,     // --color-scheme light|dark
    ReducedMotion,   // --reduced-motion, no value
    FailOnHttpError, // --fail-on-http-error, no value
    Json,            // --json, no value: a single run's report on stdout
    Wrong, // an unknown long option, a missing value or a flag given one: `value` says which
};

struct CmdArgument {
    CmdSwitch kind = CmdSwitch::None;
    QString value;
};

// Switches are lower case only; the one character after the switch is skipped whatever it is,
// so /p:name and /p=name are the same. --no-sandbox is read only as the whole argument.
CmdArgument ReadSwitch(const QString& argument);

// The long option that starts at arguments[i], its value taken from "=value" or from the next
// argument (i then moves onto it). --help, --version and --verbose belong to the program, not
// to the capture, and read as CmdSwitch::None; so does anything that is no "--name".
CmdArgument ReadLongOption(const QStringList& arguments, qsizetype& i);

// A capture's arguments in order: slash switches as ReadSwitch reads them, then long options.
QList<CmdArgument> ReadArguments(const QStringList& arguments);

// For each of `arguments` from `first` on, whether it is the value of the long option (of a
// capture or of a batch run) before it, whatever it looks like; false before `first`.
QList<bool> OptionValues(const QStringList& arguments, qsizetype first = 0);

// The program's arguments (item 0 the program) without empty ones, as the switches always had
// them, except where one is a long option's value: `--wait-for "$UNSET" /u:x` is refused for
// its empty selector rather than read with /u:x as the selector.
QStringList WithoutEmptyArguments(const QStringList& argv);
