#include "app/PreparedJob.h"

#include "app/CommandLineJob.h"

PreparedJob PrepareCommandLineJob(const StoredSettings& settings, const QStringList& arguments) {
    const CommandLineJob built = BuildCommandLineJob(settings, arguments);
    PreparedJob prepared{built.job, ExitCode::Success, built.badValues + built.rejectedPaths};
    if (!built.badValues.isEmpty()) {
        prepared.refusal = ExitCode::BadUsage;
    } else if (!built.rejectedPaths.isEmpty()) {
        prepared.refusal = ExitCode::RejectedPath;
    } else if (built.job.pictureFile.isEmpty() && !built.job.makeThumbnail) {
        prepared.refusal = ExitCode::BadUsage;
        prepared.messages << QStringLiteral(
            "no file to write: give /p:<picture file> (see --help)");
    }
    return prepared;
}

QStringList JobFiles(const CaptureJob& job) {
    QStringList files;
    if (!job.pictureFile.isEmpty())
        files << job.pictureFile;
    if (job.makeThumbnail)
        files << job.thumbnailFile;
    return files;
}
