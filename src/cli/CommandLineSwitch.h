// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

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
};

struct CmdArgument {
    CmdSwitch kind = CmdSwitch::None;
    QString value;
};

// Switches are lower case only; the one character after the switch is skipped whatever it is,
// so /p:name and /p=name are the same. --no-sandbox is read only as the whole argument.
CmdArgument ReadSwitch(const QString& argument);
