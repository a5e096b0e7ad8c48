// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PreparedJob.h"

#include "capture/EngineControls.h"
#include "capture/PageAddress.h"
#include "cli/CommandLineJob.h"
#include "cli/CookieFile.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <unistd.h>

namespace {

void Refuse(PreparedJob& prepared, ExitCode code, const QString& message) {
    prepared.refusal = code;
    prepared.messages << message;
}

// A batch line without an address fails alone; a single run keeps the address box's first
// text, but says so, since a mistyped switch (/U:) lands here too.
void CheckAddress(PreparedJob& prepared, bool given, const JobRules& rules) {
    const QString& address = prepared.job.address;
    if (given && address.trimmed().isEmpty())
        return Refuse(prepared, ExitCode::BadUsage,
                      QStringLiteral("/u: is empty: give /u:<address>"));
    if (!given && rules.batchLine)
        return Refuse(prepared, ExitCode::BadUsage, QStringLiteral("the line has no /u:<address>"));
    if (!given)
        prepared.warnings << QStringLiteral("warning: no /u:<address>; capturing %1").arg(address);
    if (const QString problem = PageAddressProblem(address); !problem.isEmpty())
        Refuse(prepared, ExitCode::LoadFailed, problem);
}

// Empty when the script was read into the job.
QString ReadScriptFile(const QString& name, CaptureControls& controls) {
    QFile file(name);
    QString problem;
    if (QFileInfo(name).isDir())
        problem = QStringLiteral("it is a folder");
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    if (!problem.isEmpty())
        return QStringLiteral("--script: cannot read %1: %2").arg(name, problem);
    controls.pageScript = QString::fromUtf8(file.readAll());
    return {};
}

// The files the options name, read once every option is known; problems go to `bad`.
void ReadNamedFiles(const CommandLineJob& built, PreparedJob& prepared, QStringList& bad) {
    CaptureJob& job = prepared.job;
    if (!built.scriptFile.isEmpty()) {
        if (const QString problem = ReadScriptFile(built.scriptFile, job.controls);
            !problem.isEmpty())
            bad << problem;
    }
    if (built.cookiesFile.isEmpty())
        return;
    const CookieFileRead read = ReadCookieFile(built.cookiesFile);
    if (!read.error.isEmpty()) {
        bad << read.error;
        return;
    }
    const QString host = QUrl::fromUserInput(job.address.trimmed()).host();
    job.controls.cookies = CookiesForHost(read.cookies, host);
    if (host.isEmpty())
        prepared.warnings << QStringLiteral("warning: --cookies: the address has no host to set "
                                            "cookies for");
    else if (job.controls.cookies.isEmpty())
        prepared.warnings << QStringLiteral("warning: --cookies %1 has no cookie for \"%2\"")
                                 .arg(built.cookiesFile, host);
}

} // namespace

QStringList NamedFileProblems(const CommandLineJob& built) {
    PreparedJob prepared{built.job, ExitCode::Success, {}, {}};
    QStringList problems;
    ReadNamedFiles(built, prepared, problems);
    return problems;
}

PreparedJob PrepareCommandLineJob(const StoredSettings& settings, const QStringList& arguments,
                                  const JobRules& rules) {
    const CommandLineJob built = BuildCommandLineJob(settings, arguments);
    PreparedJob prepared{built.job, ExitCode::Success, {}, {}};
    QStringList bad = built.badValues;
    if (built.json && rules.batchLine)
        bad << QStringLiteral("--json is for a single run: a batch run reports every line in "
                              "JSON already");
    ReadNamedFiles(built, prepared, bad);
    prepared.messages = bad + built.rejectedPaths;
    prepared.json = built.json && !rules.batchLine;
    if (rules.batchLine)
        prepared.job.sandboxOff = rules.batchSandboxOff;
    if (!bad.isEmpty()) {
        prepared.refusal = ExitCode::BadUsage;
    } else if (!built.rejectedPaths.isEmpty()) {
        prepared.refusal = ExitCode::RejectedPath;
    } else if (built.job.pictureFile.isEmpty() && !built.job.makeThumbnail) {
        Refuse(prepared, ExitCode::BadUsage,
               QStringLiteral("no file to write: give /p:<picture file> (see --help)"));
    } else if (const QString unsandboxed = UnsandboxedEngineProblem(prepared.job);
               !unsandboxed.isEmpty()) {
        Refuse(prepared, ExitCode::BadUsage, unsandboxed);
    } else {
        CheckAddress(prepared, built.addressGiven, rules);
    }
    if (!prepared.Refused()) {
        for (const QString& message : ControlsTheEngineRefuses(prepared.job))
            Refuse(prepared, ExitCode::BadUsage, message);
    }
    return prepared;
}

QString UnsandboxedEngineProblem(const CaptureJob& job) {
    if (CapturesOnChromium(job.engine) || job.sandboxOff || geteuid() != 0)
        return {};
    return QStringLiteral("as root, Qt WebEngine (/e:qt, or the saved Capture_Engine 1) runs "
                          "pages without a sandbox: pass --no-sandbox to allow that, or "
                          "capture with /e:chromium");
}

QStringList JobFiles(const CaptureJob& job) {
    QStringList files;
    if (!job.pictureFile.isEmpty())
        files << job.pictureFile;
    if (job.makeThumbnail)
        files << job.thumbnailFile;
    return files;
}
