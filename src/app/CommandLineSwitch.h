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
};

struct CmdArgument {
    CmdSwitch kind = CmdSwitch::None;
    QString value;
};

// Switches are lower case only; the one character after the switch is skipped whatever it is,
// so /p:name and /p=name are the same.
CmdArgument ReadSwitch(const QString& argument);
