// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineSwitch.h"

#include "cli/CommandLineMode.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char16_t*, CmdSwitch>, 10> TwoLetterSwitches{{
    {u"/u", CmdSwitch::Url},
    {u"/p", CmdSwitch::PicFile},
    {u"/t", CmdSwitch::ThumbFile},
    {u"/r", CmdSwitch::Resolution},
    {u"/s", CmdSwitch::ThumbSize},
    {u"/b", CmdSwitch::Border},
    {u"/h", CmdSwitch::Hide},
    {u"/w", CmdSwitch::LoadLimit},
    {u"/k", CmdSwitch::KeepFixed},
    {u"/e", CmdSwitch::Engine},
}};

// The switch, then one separator character, then the value.
QString ValueAfter(const QString& argument, qsizetype switchLength) {
    return argument.size() > switchLength + 1 ? argument.mid(switchLength + 1) : QString();
}

} // namespace

CmdArgument ReadSwitch(const QString& argument) {
    if (argument == QStringView(NoSandboxOption)) {
        return {CmdSwitch::NoSandbox, QString()};
    }
    if (argument.startsWith(u"/cp")) {
        return {CmdSwitch::CropPicture, ValueAfter(argument, 3)};
    }
    if (argument.startsWith(u"/ct")) {
        return {CmdSwitch::CropThumb, ValueAfter(argument, 3)};
    }
    for (const auto& [name, kind] : TwoLetterSwitches) {
        if (argument.startsWith(QStringView(name))) {
            return {kind, kind == CmdSwitch::Hide ? QString() : ValueAfter(argument, 2)};
        }
    }
    return {};
}
