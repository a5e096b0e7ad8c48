// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/chromium/DevToolsPipe.h"

#include "capture/EngineCalls.h"
#include "common/VistrelError.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int CloseLimitMs = 3000;
// The browser reads its commands on a thread of its own: one that takes none for this long is
// stuck, and the pipe with it.
constexpr int WriteLimitMs = 20000;

// Descriptors above the ones a child is given, so that dup2 onto 3 and 4 cannot overwrite
// the other end.
int MoveHigh(int fd) {
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return moved;
}

QString EndedText() {
    return QStringLiteral("the browser ended");
}

// VISTREL_TRACE_DEVTOOLS=1 shows the start of every message on standard error.
void Trace(const char* direction, const QByteArray& message) {
    static const bool tracing = qEnvironmentVariableIsSet("VISTREL_TRACE_DEVTOOLS");
    if (tracing)
        qWarning("%s %s", direction, message.left(300).constData());
}

// Only async-signal-safe calls: it runs between fork and exec. Whatever else the caller had
// open (a log, a socket, a job runner's descriptor) closes at exec; Qt's own descriptors are
// close-on-exec already, so it still learns whether exec worked.
void KeepOnlyPipeDescriptors() {
    if (close_range(5, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    for (int fd = 5; fd < 65536; ++fd) // kernels before 5.11
        fcntl(fd, F_SETFD, FD_CLOEXEC);
}

bool PassedToBrowser(const QString& name) {
    static const QStringList names{
        "PATH",
        "LANG",
        "LANGUAGE",
        "TZ",
        "FONTCONFIG_FILE",
        "FONTCONFIG_PATH",
        "FONTCONFIG_SYSROOT",
        "XDG_DATA_DIRS",
    };
    return names.contains(name) || name.startsWith(u"LC_");
}

// The caller's secrets stay with the caller: the browser gets the locale, the time zone and
// what finds its fonts, and a home of its own.
QProcessEnvironment BrowserEnvironment(const DevToolsPipe::Launch& launch) {
    const QProcessEnvironment caller = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment environment;
    for (const QString& name : caller.keys())
        if (PassedToBrowser(name))
            environment.insert(name, caller.value(name));
    if (!environment.contains(QStringLiteral("PATH")))
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    // a browser of the caller's own may use the caller's runtime and temporary folders
    if (!launch.switchUser)
        for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"})
            if (caller.contains(QLatin1String(name)))
                environment.insert(QLatin1String(name), caller.value(QLatin1String(name)));
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), launch.folder);
    return environment;
}

} // namespace

DevToolsPipe::DevToolsPipe(QObject* parent) : QObject(parent) {
    FProcess.setStandardOutputFile(QProcess::nullDevice());
    connect(&FProcess, &QProcess::finished, this, &DevToolsPipe::ProcessEnded);
    connect(&FProcess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::Crashed)
            ProcessEnded();
    });
}

DevToolsPipe::~DevToolsPipe() {
    Close();
    if (FSocket >= 0)
        close(FSocket);
}

void DevToolsPipe::Start(const Launch& launch) {
    // One socket serves both descriptors: unlike a pipe, writing to a browser that has gone
    // gives an error, not SIGPIPE.
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw VistrelError(QStringLiteral("Could not start the browser: no socket"));
    FSocket = MoveHigh(ends[0]);
    const int child = MoveHigh(ends[1]);
    fcntl(FSocket, F_SETFL, fcntl(FSocket, F_GETFL) | O_NONBLOCK);
    FProcess.setChildProcessModifier([=] {
        // only async-signal-safe calls between fork and exec
        if (launch.switchUser && (setgroups(0, nullptr) != 0 || setgid(launch.groupId) != 0 ||
                                  setuid(launch.userId) != 0))
            _exit(127);
        if (dup2(child, 3) < 0 || dup2(child, 4) < 0)
            _exit(127);
        KeepOnlyPipeDescriptors();
    });
    if (launch.verbose)
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        FProcess.setStandardErrorFile(QProcess::nullDevice());
    FProcess.setProcessEnvironment(BrowserEnvironment(launch));
    FProcess.setWorkingDirectory(launch.folder);
    FProcess.start(launch.program, launch.arguments);
    const bool started = FProcess.waitForStarted(10000);
    close(child);
    if (!started)
        throw VistrelError(
            QStringLiteral("Could not start the browser (%1)").arg(FProcess.errorString()));
    FNotifier = new QSocketNotifier(FSocket, QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &DevToolsPipe::ReadMessages);
}

bool DevToolsPipe::Running() const {
    return !FEnded && !FWriteFailed && FProcess.state() == QProcess::Running;
}

qint64 DevToolsPipe::ProcessId() const {
    return FProcess.processId();
}

void DevToolsPipe::Send(const QString& method, const QJsonObject& params, const QString& session,
                        Answer answer) {
    if (!Running()) {
        if (answer)
            answer({}, EndedText());
        return;
    }
    const int id = FNextId++;
    QJsonObject message{{QStringLiteral("id"), id},
                        {QStringLiteral("method"), method},
                        {QStringLiteral("params"), params}};
    if (!session.isEmpty())
        message.insert(QStringLiteral("sessionId"), session);
    if (answer)
        FWaiting.insert(id, std::move(answer));
    const QByteArray bytes = QJsonDocument(message).toJson(QJsonDocument::Compact);
    Trace(">>", bytes);
    if (!WriteAll(bytes + '\0')) {
        // A message cut short leaves nothing after it readable: the browser is done with.
        FWriteFailed = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                FProcess.kill();
                AbortAll(EndedText());
            },
            Qt::QueuedConnection);
    }
}

QCoro::Task<QJsonObject> DevToolsPipe::Call(EngineCalls& calls, QString method, QJsonObject params,
                                            QString session, int timeLimitMs) {
    EngineWait wait(method, timeLimitMs);
    auto answer = std::make_shared<QJsonObject>();
    auto failure = std::make_shared<QString>();
    auto finish = wait.Finisher();
    Send(method, params, session,
         [answer, failure, finish](const QJsonObject& result, const QString& error) {
             *answer = result;
             *failure = error;
             finish();
         });
    co_await calls.Await(wait);
    if (!failure->isEmpty())
        throw VistrelError(QStringLiteral("The browser refused %1: %2").arg(method, *failure));
    co_return *answer;
}

void DevToolsPipe::Close() {
    if (FProcess.state() == QProcess::NotRunning)
        return;
    if (Running())
        Send(QStringLiteral("Browser.close"), {}, QString());
    if (!FProcess.waitForFinished(CloseLimitMs)) {
        FProcess.kill();
        FProcess.waitForFinished(CloseLimitMs);
    }
}

bool DevToolsPipe::WriteAll(const QByteArray& bytes) {
    const QDeadlineTimer limit(WriteLimitMs);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            send(FSocket, bytes.constData() + written, bytes.size() - written, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            if (limit.hasExpired())
                return false;
            pollfd ready{FSocket, POLLOUT, 0};
            poll(&ready, 1, 1000);
            continue;
        }
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

void DevToolsPipe::ReadMessages() {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(FSocket, buffer, sizeof buffer);
        if (n > 0) {
            FPending.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0) // the browser closed its end
            FNotifier->setEnabled(false);
        break;
    }
    qsizetype start = 0;
    for (qsizetype end; (end = FPending.indexOf('\0', start)) >= 0; start = end + 1)
        FInbox.enqueue(FPending.mid(start, end - start));
    FPending.remove(0, start);
    // An answer may lead to more reading: each message is taken before it is dispatched, so the
    // messages keep their order.
    while (!FInbox.isEmpty())
        Dispatch(FInbox.dequeue());
}

void DevToolsPipe::Dispatch(const QByteArray& message) {
    Trace("<<", message);
    const QJsonObject object = QJsonDocument::fromJson(message).object();
    const QString session = object.value(QStringLiteral("sessionId")).toString();
    if (!object.contains(QStringLiteral("id"))) {
        emit Event(object.value(QStringLiteral("method")).toString(),
                   object.value(QStringLiteral("params")).toObject(), session);
        return;
    }
    const Answer answer = FWaiting.take(object.value(QStringLiteral("id")).toInt());
    if (!answer)
        return;
    const QJsonObject error = object.value(QStringLiteral("error")).toObject();
    answer(object.value(QStringLiteral("result")).toObject(),
           error.isEmpty() ? QString() : error.value(QStringLiteral("message")).toString());
}

void DevToolsPipe::ProcessEnded() {
    if (FEnded)
        return;
    FEnded = true;
    if (FNotifier)
        ReadMessages(); // what it said last still counts
    AbortAll(EndedText());
    emit Ended(EndedText());
}

void DevToolsPipe::AbortAll(const QString& reason) {
    const auto waiting = std::exchange(FWaiting, {});
    for (const Answer& answer : waiting)
        answer({}, reason);
}
