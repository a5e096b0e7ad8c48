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

QString BadValue(const QString& option, const QString& rule, const QString& value) {
    return QStringLiteral("%1 takes %2, not \"%3\"").arg(option, rule, value);
}

int Scaled(int pixels, double scale) {
    return qRound(pixels * scale);
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
        if (const double scale = job.controls.scale; scale != 1) {
            ThumbnailOptions& thumb = job.picture.thumbnail;
            job.picture.cropHeight = Scaled(job.picture.cropHeight, scale);
            thumb.cropHeight = Scaled(thumb.cropHeight, scale);
            thumb.width = Scaled(thumb.width, scale);
            thumb.height = Scaled(thumb.height, scale);
        }
        return FResult;
    }

private:
    void ApplyControl(const CmdArgument& argument);
    // An empty selector or script is most likely a variable that was never set.
    bool Given(const QString& option, const QString& value, const QString& what) {
        if (value.isEmpty())
            FResult.badValues << QStringLiteral("%1 needs %2").arg(option, what);
        return !value.isEmpty();
    }

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
    default:
        ApplyControl(argument);
    }
}

void JobBuilder::ApplyControl(const CmdArgument& argument) {
    CaptureJob& job = FResult.job;
    CaptureControls& controls = job.controls;
    const QString& value = argument.value;
    const QString selector = QStringLiteral("a CSS selector");
    switch (argument.kind) {
    case CmdSwitch::WaitFor:
        if (Given(QStringLiteral("--wait-for"), value, selector))
            controls.waitForSelector = value;
        break;
    case CmdSwitch::WaitUntil:
        if (Given(QStringLiteral("--wait-until"), value, QStringLiteral("a script")))
            controls.waitUntilScript = value;
        break;
    case CmdSwitch::Delay:
        if (const auto ms = ReadIntegerIn(value, 0, MostDelayMs))
            controls.delayMs = *ms;
        else
            FResult.badValues << BadValue(
                QStringLiteral("--delay"),
                QStringLiteral("milliseconds from 0 to %1").arg(MostDelayMs), value);
        break;
    case CmdSwitch::Script:
        if (value.startsWith(u'@')) {
            if (Given(QStringLiteral("--script @"), value.mid(1), QStringLiteral("a file name")))
                FResult.scriptFile = value.mid(1);
        } else if (Given(QStringLiteral("--script"), value, QStringLiteral("a script"))) {
            controls.pageScript = value;
            FResult.scriptFile.clear();
        }
        break;
    case CmdSwitch::HideElements:
        if (Given(QStringLiteral("--hide"), value, selector))
            controls.hiddenSelectors << value;
        break;
    case CmdSwitch::Element:
        if (Given(QStringLiteral("--element"), value, selector))
            controls.elementSelector = value;
        break;
    case CmdSwitch::Padding:
        if (const auto pixels = ReadIntegerIn(value, 0, MostElementPadding))
            controls.elementPadding = *pixels;
        else
            FResult.badValues << BadValue(
                QStringLiteral("--padding"),
                QStringLiteral("pixels from 0 to %1").arg(MostElementPadding), value);
        break;
    case CmdSwitch::Size:
        if (const auto size = ReadBrowserSize(value))
            job.browserSize = *size;
        else
            FResult.badValues << BadValue(QStringLiteral("--size"),
                                          QStringLiteral("WIDTHxHEIGHT, each from %1 to %2")
                                              .arg(FewestBrowserPixels)
                                              .arg(MostBrowserPixels),
                                          value);
        break;
    case CmdSwitch::Scale:
        if (const auto scale = ReadScale(value))
            controls.scale = *scale;
        else
            FResult.badValues << BadValue(QStringLiteral("--scale"),
                                          QStringLiteral("1, 1.5, 2, 2.5, 3, 3.5 or 4"), value);
        break;
    case CmdSwitch::UserAgent:
        if (HasLineBreak(value))
            FResult.badValues << QStringLiteral("--user-agent cannot hold a line break");
        else if (Given(QStringLiteral("--user-agent"), value, QStringLiteral("a text")))
            controls.userAgent = value;
        break;
    case CmdSwitch::Header: {
        QString why;
        if (const auto header = ReadHeader(value, &why))
            controls.headers << *header;
        else
            FResult.badValues
                << QStringLiteral("--header takes \"Name: value\", not \"%1\": %2").arg(value, why);
        break;
    }
    case CmdSwitch::Cookies:
        if (Given(QStringLiteral("--cookies"), value, QStringLiteral("a file name")))
            FResult.cookiesFile = value;
        break;
    case CmdSwitch::ColorScheme:
        if (const auto scheme = ReadColorScheme(value))
            controls.colorScheme = *scheme;
        else
            FResult.badValues << BadValue(QStringLiteral("--color-scheme"),
                                          QStringLiteral("light or dark"), value);
        break;
    case CmdSwitch::ReducedMotion:
        controls.reducedMotion = true;
        break;
    case CmdSwitch::FailOnHttpError:
        controls.failOnHttpError = true;
        break;
    case CmdSwitch::Json:
        FResult.json = true;
        break;
    case CmdSwitch::Wrong:
        FResult.badValues << value;
        break;
    default:
        break;
    }
}

} // namespace

CommandLineJob BuildCommandLineJob(const StoredSettings& settings, const QStringList& arguments) {
    JobBuilder builder(settings);
    for (const CmdArgument& argument : ReadArguments(arguments))
        builder.Apply(argument);
    return builder.Result();
}
