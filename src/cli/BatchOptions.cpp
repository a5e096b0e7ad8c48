// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchOptions.h"

#include "capture/StoredSettings.h"
#include "cli/CommandLineJob.h"
#include "cli/CommandLineSwitch.h"
#include "cli/PreparedJob.h"

namespace {

const QString BatchName = QStringLiteral("--batch");

// "--name value" or "--name=value"; false when the value is missing.
bool TakeValue(const QStringList& arguments, int& i, const QString& name, QString& value) {
    const QString& argument = arguments.at(i);
    if (argument.startsWith(name + u'=')) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size())
        return false;
    value = arguments.at(++i);
    return true;
}

QString NameOf(const QString& argument) {
    return argument.section(u'=', 0, 0);
}

QString ReadJobs(const QString& value, int& jobs) {
    bool ok = false;
    jobs = value.toInt(&ok);
    if (!ok || jobs < 1 || jobs > MostBatchJobs)
        return QStringLiteral("--jobs takes a number from 1 to %1, not \"%2\"")
            .arg(MostBatchJobs)
            .arg(value);
    return {};
}

// A capture's long option, kept as given for every line.
QString ReadLineDefault(const QStringList& arguments, int& i, BatchOptions& options) {
    qsizetype at = i;
    const CmdArgument read = ReadLongOption(arguments, at);
    const QStringList given = arguments.mid(i, at - i + 1);
    i = int(at);
    switch (read.kind) {
    case CmdSwitch::Wrong:
        return read.value;
    case CmdSwitch::Json:
        return QStringLiteral("--json is for a single run: a batch run reports every line in "
                              "JSON already");
    case CmdSwitch::None:
    case CmdSwitch::NoSandbox:
        return QStringLiteral("%1 is not an option of a batch run").arg(arguments.at(i));
    default:
        options.lineDefaults << given;
        return {};
    }
}

QString ReadOne(const QStringList& arguments, int& i, BatchOptions& options) {
    const QString name = NameOf(arguments.at(i));
    if (arguments.at(i) == u"--resume") {
        options.resume = true;
        return {};
    }
    QString value;
    const bool batchOption = name == BatchName || name == u"--jobs" || name == u"--shard";
    if (!batchOption && name != u"--resume" && name.startsWith(u"--"))
        return ReadLineDefault(arguments, i, options);
    if (!batchOption)
        return QStringLiteral("%1 is not an option of a batch run; the switches of each "
                              "capture go on its line of the batch file")
            .arg(arguments.at(i));
    if (!TakeValue(arguments, i, name, value))
        return QStringLiteral("%1 needs a value").arg(name);
    if (name == BatchName) {
        options.file = value;
    } else if (name == u"--jobs") {
        return ReadJobs(value, options.jobs);
    } else if (const auto shard = ReadBatchShard(value)) {
        options.shard = *shard;
    } else {
        return QStringLiteral("--shard takes K/N with 1 <= K <= N, not \"%1\"").arg(value);
    }
    return {};
}

} // namespace

bool IsBatchRun(const QStringList& arguments) {
    const QList<bool> values = OptionValues(arguments);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (!values.at(i) && NameOf(arguments.at(i)) == BatchName)
            return true;
    }
    return false;
}

BatchOptionsRead ReadBatchOptions(const QStringList& arguments) {
    BatchOptionsRead read;
    for (int i = 0; i < arguments.size() && read.error.isEmpty(); ++i)
        read.error = ReadOne(arguments, i, read.options);
    if (read.error.isEmpty() && read.options.file.isEmpty())
        read.error = QStringLiteral("--batch needs a file name, or - for standard input");
    if (read.error.isEmpty()) {
        const CommandLineJob defaults =
            BuildCommandLineJob(StoredSettings(), read.options.lineDefaults);
        read.error = (defaults.badValues + NamedFileProblems(defaults)).value(0);
    }
    return read;
}
