// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PreparedJob.h"

#include "cli/CommandLineJob.h"
#include "capture/PageAddress.h"

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

} // namespace

PreparedJob PrepareCommandLineJob(const StoredSettings& settings, const QStringList& arguments,
                                  const JobRules& rules) {
    const CommandLineJob built = BuildCommandLineJob(settings, arguments);
    PreparedJob prepared{built.job, ExitCode::Success, built.badValues + built.rejectedPaths, {}};
    if (rules.batchLine)
        prepared.job.sandboxOff = rules.batchSandboxOff;
    if (!built.badValues.isEmpty()) {
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
