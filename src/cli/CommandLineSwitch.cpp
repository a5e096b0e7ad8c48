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

struct LongOption {
    const char16_t* name;
    CmdSwitch kind;
    bool takesValue;
};

constexpr std::array<LongOption, 20> LongOptions{{
    {u"--wait-for", CmdSwitch::WaitFor, true},
    {u"--wait-until", CmdSwitch::WaitUntil, true},
    {u"--delay", CmdSwitch::Delay, true},
    {u"--script", CmdSwitch::Script, true},
    {u"--hide", CmdSwitch::HideElements, true},
    {u"--element", CmdSwitch::Element, true},
    {u"--padding", CmdSwitch::Padding, true},
    {u"--size", CmdSwitch::Size, true},
    {u"--scale", CmdSwitch::Scale, true},
    {u"--user-agent", CmdSwitch::UserAgent, true},
    {u"--header", CmdSwitch::Header, true},
    {u"--cookies", CmdSwitch::Cookies, true},
    {u"--color-scheme", CmdSwitch::ColorScheme, true},
    {u"--reduced-motion", CmdSwitch::ReducedMotion, false},
    {u"--fail-on-http-error", CmdSwitch::FailOnHttpError, false},
    {u"--json", CmdSwitch::Json, false},
    {u"--no-sandbox", CmdSwitch::NoSandbox, false},
    // the program's own: the start-up has acted on them already
    {u"--help", CmdSwitch::None, false},
    {u"--version", CmdSwitch::None, false},
    {u"--verbose", CmdSwitch::None, false},
}};

constexpr std::array<const char16_t*, 4> BatchRunOptions{
    {u"--batch", u"--jobs", u"--resume", u"--shard"}};
constexpr std::array<const char16_t*, 3> BatchRunValues{{u"--batch", u"--jobs", u"--shard"}};

CmdArgument Wrong(const QString& message) {
    return {CmdSwitch::Wrong, message};
}

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

CmdArgument ReadLongOption(const QStringList& arguments, qsizetype& i) {
    const QString& argument = arguments.at(i);
    if (!argument.startsWith(u"--") || argument.size() == 2)
        return {};
    const qsizetype equals = argument.indexOf(u'=');
    const QString name = equals < 0 ? argument : argument.left(equals);
    for (const char16_t* batchName : BatchRunOptions) {
        if (name == QStringView(batchName))
            return Wrong(QStringLiteral("%1 belongs on the command line of a batch run, not to "
                                        "one capture")
                             .arg(name));
    }
    for (const LongOption& option : LongOptions) {
        if (name != QStringView(option.name))
            continue;
        if (!option.takesValue) {
            if (equals >= 0)
                return Wrong(QStringLiteral("%1 takes no value, not \"%2\"")
                                 .arg(name, argument.mid(equals + 1)));
            return {option.kind, QString()};
        }
        if (equals >= 0)
            return {option.kind, argument.mid(equals + 1)};
        if (i + 1 >= arguments.size())
            return Wrong(QStringLiteral("%1 needs a value").arg(name));
        return {option.kind, arguments.at(++i)};
    }
    return Wrong(QStringLiteral("unknown option %1").arg(name));
}

QList<CmdArgument> ReadArguments(const QStringList& arguments) {
    QList<CmdArgument> read;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        read << (argument.startsWith(u"--") ? ReadLongOption(arguments, i) : ReadSwitch(argument));
    }
    return read;
}

namespace {

bool TakesNextArgument(const QString& argument) {
    for (const LongOption& option : LongOptions) {
        if (option.takesValue && argument == QStringView(option.name))
            return true;
    }
    for (const char16_t* batchName : BatchRunValues) {
        if (argument == QStringView(batchName))
            return true;
    }
    return false;
}

} // namespace

QList<bool> OptionValues(const QStringList& arguments, qsizetype first) {
    QList<bool> values(arguments.size(), false);
    for (qsizetype i = first; i + 1 < arguments.size(); ++i) {
        if (!values.at(i) && TakesNextArgument(arguments.at(i)))
            values[i + 1] = true;
    }
    return values;
}

QStringList WithoutEmptyArguments(const QStringList& argv) {
    const QList<bool> values = OptionValues(argv, 1);
    QStringList kept{argv.value(0)};
    for (qsizetype i = 1; i < argv.size(); ++i) {
        if (values.at(i) || !argv.at(i).isEmpty())
            kept << argv.at(i);
    }
    return kept;
}
