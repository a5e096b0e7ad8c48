// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/chromium/ChromiumProcess.h"

#include "capture/DesktopFonts.h"
#include "capture/EngineSetup.h"
#include "common/VistrelError.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {

// The user a browser started by root runs as: the package's own system user when there is
// one, else nobody.
const passwd* UnprivilegedUser() {
    for (const char* name : {"vistrel-pro", "nobody"})
        if (const passwd* user = getpwnam(name))
            return user;
    return nullptr;
}

bool RunsAsOtherUser(const ChromiumProcess::Options& options) {
    return geteuid() == 0 && !options.sandboxOff;
}

// The other user must reach the profile: the run's own temporary folder may be private.
QString ProfileParent(const ChromiumProcess::Options& options) {
    return RunsAsOtherUser(options) ? QStringLiteral("/tmp") : QDir::tempPath();
}

// Runs killed outright leave their profiles behind; each start clears this user's.
QString ClearedProfileParent(const ChromiumProcess::Options& options) {
    const QString parent = ProfileParent(options);
    BrowserProfile::RemoveLeftovers(parent);
    return parent;
}

} // namespace

QString ChromiumProcess::Program() {
    const QString chosen = qEnvironmentVariable("VISTREL_CHROMIUM");
    if (!chosen.isEmpty())
        return QFileInfo(chosen).isExecutable() ? chosen : QString();
    const QString installed = QStringLiteral("/usr/lib/chromium/chromium-headless-shell");
    if (QFileInfo(installed).isExecutable())
        return installed;
    return QStandardPaths::findExecutable(QStringLiteral("chromium-headless-shell"));
}

QString ChromiumProcess::Version() {
    const QString program = Program();
    if (program.isEmpty())
        return QString();
    QProcess process;
    process.start(program, {QStringLiteral("--version")});
    if (!process.waitForFinished(10000))
        return QString();
    static const QRegularExpression number(QStringLiteral("\\d+(\\.\\d+)+"));
    return number.match(QString::fromUtf8(process.readAllStandardOutput())).captured();
}

QString ChromiumProcess::MissingMessage() {
    return QStringLiteral("Chromium is not installed: install the package chromium-headless-shell"
                          " (or capture with /e:qt)");
}

ChromiumProcess::ChromiumProcess(const Options& options, QObject* parent)
    : QObject(parent), FProfile(ClearedProfileParent(options)), FPipe(this) {
    DevToolsPipe::Launch launch;
    launch.program = Program();
    if (launch.program.isEmpty())
        throw VistrelError(MissingMessage());
    if (!FProfile.IsValid())
        throw VistrelError(QStringLiteral("Could not make the browser's profile folder"));
    launch.folder = FProfile.Path();
    if (RunsAsOtherUser(options)) {
        const passwd* user = UnprivilegedUser();
        if (!user)
            throw VistrelError(
                QStringLiteral("No unprivileged user to run the browser as (nobody is missing)"));
        launch.switchUser = true;
        FUserName = QString::fromLocal8Bit(user->pw_name);
        launch.userId = user->pw_uid;
        launch.groupId = user->pw_gid;
        if (chown(FProfile.Path().toLocal8Bit().constData(), user->pw_uid, user->pw_gid) != 0)
            throw VistrelError(QStringLiteral("Could not give the browser its profile folder"));
    }
    launch.arguments = Arguments(options);
    launch.verbose = EngineMessagesShown();
    FPipe.Start(launch);
}

ChromiumProcess::~ChromiumProcess() {
    FPipe.Close();
}

QStringList ChromiumProcess::Arguments(const Options& options) const {
    QStringList arguments{
        QStringLiteral("--remote-debugging-pipe"),
        QStringLiteral("--user-data-dir=%1").arg(FProfile.Path()),
        QStringLiteral("--no-first-run"),
        QStringLiteral("--no-default-browser-check"),
        QStringLiteral("--disable-background-networking"),
        QStringLiteral("--disable-component-update"),
        QStringLiteral("--disable-sync"),
        QStringLiteral("--disable-extensions"),
        QStringLiteral("--mute-audio"),
        // the picture holds the page's own colours, whatever the screen's colour profile
        QStringLiteral("--force-color-profile=srgb"),
        // a screenshot is drawn when asked for, not at the next of 60 frames a second
        QStringLiteral("--disable-frame-rate-limit"),
        // The shell hints web fonts fully, rounding every advance to a whole pixel: lines of
        // a web font come out wider or narrower than in the desktop browser, which hints as
        // fontconfig says.
        QStringLiteral("--font-render-hinting=%1").arg(DesktopFontHinting()),
        QStringLiteral("about:blank"),
    };
    if (options.sandboxOff)
        arguments.prepend(QStringLiteral("--no-sandbox"));
    if (!EngineMessagesShown())
        arguments.prepend(QStringLiteral("--log-level=3"));
    return arguments;
}
