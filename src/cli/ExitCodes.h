// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

// Exit statuses of a command-line run. This table is the one list: --help prints it.
enum class ExitCode : int {
    Success = 0,
    BadUsage = 2,
    LoadFailed = 3,
    CaptureFailed = 4,
    WriteFailed = 5,
    UnknownFormat = 6,
    RejectedPath = 7,
    NoDisplay = 8,
    LineFailed = 9,
    EngineMissing = 10,
};

struct ExitCodeInfo {
    ExitCode code;
    const char* meaning;
};

inline constexpr std::array<ExitCodeInfo, 10> ExitCodeTable{{
    {ExitCode::Success, "every requested file was written"},
    {ExitCode::BadUsage,
     "bad usage: no file to write, an unknown option, a bad value or an unreadable file"},
    {ExitCode::LoadFailed,
     "the page could not be loaded (or nothing of it arrived in the /w time)"},
    {ExitCode::CaptureFailed, "the capture of the page failed"},
    {ExitCode::WriteFailed, "a file or folder could not be written"},
    {ExitCode::UnknownFormat,
     "a file name does not end in bmp, png or jpg (the other file is still written)"},
    {ExitCode::RejectedPath,
     "a /p or /t path has a space followed by a backslash; nothing captured"},
    {ExitCode::NoDisplay, "no display for the windows (unattended captures need none)"},
    {ExitCode::LineFailed, "a batch run: at least one line failed (every other line was done)"},
    {ExitCode::EngineMissing, "the browser engine is not installed or could not start"},
}};

constexpr int ToInt(ExitCode code) {
    return static_cast<int>(code);
}
