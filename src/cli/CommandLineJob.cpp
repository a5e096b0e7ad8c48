// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineJob.h"

#include "cli/CommandLineNames.h"
#include "cli/CommandLinePaths.h"
#include "cli/CommandLineSwitch.h"
#include "cli/CommandLineValues.h"
#include "common/SpinValueRules.h"

namespace {

int Held(int value, const SpinLimits& limits) {
    return SpinValueRules::Clamp(value, limits.min, limits.max);
}

class JobBuilder {
public:
    explicit JobBuilder(const StoredSettings& settings) {
        CaptureJob& job = FResult.job;
        job.address = DefaultStartAddress();
        job.browserSize = BrowserSizeOf(settings.resolution);
        job.picture = settings.picture;
        job.picture.crop = false;
        job.picture.thumbnail.crop = false;
        job.picture.thumbnail.border = false;
        job.loadTimeLimitSeconds = DefaultLoadLimitSeconds;
        job.keepFixedElements = settings.keepFixedElements;
        job.engine = settings.engine;
    }

    void Apply(const CmdArgument& argument);

    CommandLineJob Result() {
        CaptureJob& job = FResult.job;
        if (job.makeThumbnail)
            job.thumbnailFile = ThumbnailFileName(job.pictureFile, FThumbFile);
        return FResult;
    }

private:
    void CheckPath(const QString& path) {
        if (HasSpaceBeforeBackslash(path))
            FResult.rejectedPaths << CannotCreateFolderMessage(path);
    }

    CommandLineJob FResult;
    QString FThumbFile;
};

void JobBuilder::Apply(const CmdArgument& argument) {
    CaptureJob& job = FResult.job;
    ThumbnailOptions& thumb = job.picture.thumbnail;
    const QString& value = argument.value;
    switch (argument.kind) {
    case CmdSwitch::Url:
        job.address = value;
        FResult.addressGiven = true;
        break;
    case CmdSwitch::PicFile:
        job.pictureFile = value;
        CheckPath(value);
        break;
    case CmdSwitch::ThumbFile:
        FThumbFile = value;
        CheckPath(value);
        job.makeThumbnail = true;
        break;
    case CmdSwitch::Resolution:
        if (const QSize size = BrowserSizeOf(ResolutionChoice(CmdResolutionText(value)));
            size.isValid())
            job.browserSize = size;
        break;
    case CmdSwitch::ThumbSize: {
        thumb.byWidthAndHeight = true;
        const ThumbSizeValue size = ReadThumbSize(value);
        if (size.width)
            thumb.width = Held(*size.width, OptionLimits::ThumbWidth);
        if (size.height)
            thumb.height = Held(*size.height, OptionLimits::ThumbHeight);
        break;
    }
    case CmdSwitch::Border: {
        thumb.border = true;
        bool ok = false;
        const quint32 color = HexToColor(value, &ok);
        thumb.borderColor = ok ? color : 0;
        break;
    }
    case CmdSwitch::CropPicture:
        if (const auto rows = ReadInteger(value)) {
            job.picture.cropHeight = Held(*rows, OptionLimits::CropHeight);
            job.picture.crop = true;
        }
        break;
    case CmdSwitch::CropThumb:
        if (const auto rows = ReadInteger(value)) {
            thumb.cropHeight = Held(*rows, OptionLimits::CropHeight);
            thumb.crop = true;
        }
        break;
    case CmdSwitch::LoadLimit:
        if (const auto seconds = ReadLoadLimit(value))
            job.loadTimeLimitSeconds = *seconds;
        break;
    case CmdSwitch::KeepFixed:
        job.keepFixedElements = value != QLatin1String("0");
        break;
    case CmdSwitch::Engine:
        if (const auto engine = ReadEngineName(value))
            job.engine = *engine;
        else
            FResult.badValues << UnknownEngineMessage(value);
        break;
    case CmdSwitch::NoSandbox:
        job.sandboxOff = true;
        break;
    case CmdSwitch::Hide: // moves a window that an unattended run never makes
    case CmdSwitch::None:
        break;
    }
}

} // namespace

CommandLineJob BuildCommandLineJob(const StoredSettings& settings, const QStringList& arguments) {
    JobBuilder builder(settings);
    for (const QString& argument : arguments)
        builder.Apply(ReadSwitch(argument));
    return builder.Result();
}
