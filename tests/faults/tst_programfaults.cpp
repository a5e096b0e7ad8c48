// SPDX-License-Identifier: GPL-3.0-or-later
// The built vistrel-pro run as a script would run it while its disk, its target folder or its
// temporary folder fails: the listed exit status, one line on stderr that says what failed, the
// older file of that name intact, nothing half-written, nothing left running.
#include "FaultTools.h"

#include "cli/ExitCodes.h"
#include "support/PageFolder.h"
#include "support/ProgramRunner.h"
#include "support/TestHelpers.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <pwd.h>
#include <unistd.h>
#include <vector>

using namespace Faults;

namespace {

constexpr int RunLimitMs = 30000;
constexpr qint64 DiskBytes = 2 * 1024 * 1024;
// Less than any file of the noise page, more than nothing: each write fails part way. The JPEG
// thumbnail (under 8 KB) still waits whole in the file's buffer until the commit.
constexpr qint64 LeftOnDisk = 4 * 1024;
const QString Old = QStringLiteral("old");

int Code(ExitCode code) {
    return ToInt(code);
}

// Files below the sandbox, outside the program's own config, data and tmp folders, and
// without the fillers that make a disk full.
QSet<QString> FilesIn(const ProgramSandbox& sandbox) {
    QSet<QString> files;
    QDirIterator it(sandbox.path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString name = it.next().mid(sandbox.path().size() + 1);
        if (it.fileInfo().isSymLink())
            continue; // a planted link: what it points to counts
        const QString top = name.section(u'/', 0, 0);
        if (top != u"config" && top != u"data" && top != u"tmp" && !name.endsWith(u".filler"))
            files.insert(name);
    }
    return files;
}

QStringList ProgramLines(const QByteArray& standardError) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(standardError).split(u'\n'))
        if (line.startsWith(QLatin1String("vistrel-pro: ")))
            lines << line;
    return lines;
}

QStringList WorkingPictures(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("{*}")},
                                  QDir::Files | QDir::Hidden | QDir::System);
}

QString Describe(const ProgramResult& result) {
    return QStringLiteral("exit %1%2%3 after %4 ms; program lines:\n%5")
        .arg(result.exitCode)
        .arg(result.timedOut ? QStringLiteral(" (killed at the time limit)") : QString())
        .arg(result.crashed ? QStringLiteral(" (crashed)") : QString())
        .arg(result.elapsedMs)
        .arg(ProgramLines(result.standardError).join(u'\n'));
}

} // namespace

class TestProgramFaults : public QObject {
    Q_OBJECT

    PageFolder FPages;
    quint16 FDeadPort = 0;

    // "full:<folder>" a tmpfs there, full after `prepare`; "ro:<folder>" a tmpfs there, read-only
    // after `prepare`; "tmp-missing", "tmp-below-file", "tmp-full", "tmp-ro" the same for the
    // temporary folder, which TMPDIR then names.
    struct Arranged {
        std::vector<std::unique_ptr<TmpfsMount>> mounts;
        QString tempDir;
        QString skip;
    };

    void Arrange(const QString& fault, const QStringList& prepare, const ProgramSandbox& sandbox,
                 Arranged& arranged) {
        arranged.tempDir = sandbox.tempDir();
        QString kind = fault.section(u':', 0, 0);
        QString folder = fault.section(u':', 1);
        if (kind == u"tmp-missing") {
            arranged.tempDir = sandbox.filePath(QStringLiteral("missing/tmp"));
        } else if (kind == u"tmp-below-file") {
            arranged.tempDir = sandbox.filePath(QStringLiteral("blocker/tmp"));
        } else if (kind == u"tmp-full" || kind == u"tmp-ro") {
            folder = QStringLiteral("tmpdisk");
            arranged.tempDir = sandbox.filePath(folder);
            kind = kind.mid(4);
        }
        if (kind == u"link-other" || kind == u"link-own") {
            if (!PlantLinks(folder, kind == u"link-other", sandbox, arranged))
                return;
        }
        if (kind == u"full" || kind == u"ro") {
            arranged.mounts.push_back(
                std::make_unique<TmpfsMount>(sandbox.filePath(folder), DiskBytes));
            if (!arranged.mounts.back()->isMounted()) {
                arranged.skip = arranged.mounts.back()->error();
                return;
            }
        }
        for (const QString& name : prepare) {
            QDir().mkpath(QFileInfo(sandbox.filePath(name)).path());
            QVERIFY2(WriteFile(sandbox.filePath(name), Old.toUtf8()), qPrintable(name));
        }
        if (kind == u"full")
            QVERIFY(arranged.mounts.back()->FillLeaving(LeftOnDisk));
        if (kind == u"ro")
            QVERIFY(arranged.mounts.back()->RemountReadOnly());
    }

    // "name=target,...": links in the sandbox, owned by another user (only root can make
    // those) or by this one.
    static bool PlantLinks(const QString& links, bool otherUser, const ProgramSandbox& sandbox,
                           Arranged& arranged) {
        const passwd* nobody = getpwnam("nobody");
        if (otherUser && (geteuid() != 0 || !nobody)) {
            arranged.skip = QStringLiteral("links of another user need root and nobody");
            return false;
        }
        for (const QString& link : links.split(u',')) {
            const QString path = sandbox.filePath(link.section(u'=', 0, 0));
            QDir().mkpath(QFileInfo(path).path());
            if (!QFile::link(link.section(u'=', 1), path) ||
                (otherUser && lchown(QFile::encodeName(path).constData(), nobody->pw_uid,
                                     nobody->pw_gid) != 0)) {
                arranged.skip = QStringLiteral("cannot plant ") + path;
                return false;
            }
        }
        return true;
    }

    ProgramRunOptions Options(const QStringList& arguments, const QString& tempDir,
                              const ProgramSandbox& sandbox) const {
        ProgramRunOptions options;
        const QString page = QUrl::fromLocalFile(FPages.filePath("noise.html")).toString();
        for (QString argument : arguments)
            options.arguments << argument.replace(QStringLiteral("{page}"), page)
                                     .replace(QStringLiteral("{dir}"), sandbox.path());
        options.timeLimitMs = RunLimitMs;
        // No run reaches the network.
        options.setVariables = {
            {QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
             QStringLiteral("--proxy-server=http://127.0.0.1:%1").arg(FDeadPort)},
            {QStringLiteral("TMPDIR"), tempDir}};
        return options;
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo(BuiltProgramPath()).isExecutable(), qPrintable(BuiltProgramPath()));
        // Noise does not compress: every file of this page is larger than what is left on a
        // full disk.
        QVERIFY(NoisePicture(1009, 1200).save(FPages.filePath("noise.png")));
        QVERIFY(WriteFile(FPages.filePath("noise.html"),
                          "<html><body style=\"margin:0\"><img src=\"noise.png\" "
                          "style=\"display:block\"></body></html>"));
        FDeadPort = UnusedPort();
        QVERIFY(FDeadPort != 0);
    }

    // fault: see Arrange. prepare: files holding "old" before the run, all still "old" after.
    // written: pictures the run must write. line: the one program line, a pattern of the
    // whole line, or empty for none ({dir} the run's folder, {tmp} its temporary folder, escaped).
    void run_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("prepare");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("line");
        const QStringList none;
        const int writeFailed = Code(ExitCode::WriteFailed);
        const QString noSpace = QStringLiteral(": No space left on device");

        for (const char* suffix : {"png", "jpg", "bmp"}) {
            const QString name = QStringLiteral("full/page.") + QLatin1String(suffix);
            QTest::addRow("disk full: picture as %s", suffix)
                << QStringList{"/u:{page}", "/p:" + name} << "full:full" << QStringList{name}
                << writeFailed << none
                << QRegularExpression::escape("vistrel-pro: Cannot write " + name + noSpace);
        }
        for (const char* suffix : {"png", "jpg", "bmp"}) {
            const QString name = QStringLiteral("full/thumb.") + QLatin1String(suffix);
            QTest::addRow("disk full: thumbnail as %s, after the picture", suffix)
                << QStringList{"/u:{page}", "/p:out/page.png", "/t:" + name} << "full:full"
                << QStringList{name} << writeFailed << QStringList{"out/page.png"}
                << QRegularExpression::escape("vistrel-pro: Cannot write " + name + noSpace);
        }
        QTest::newRow("target folder below a regular file")
            << QStringList{"/u:{page}", "/p:blocker/shots/page.png"} << "" << QStringList{"blocker"}
            << writeFailed << none
            << QRegularExpression::escape("vistrel-pro: Cannot create folder \"blocker/shots/\"");
        QTest::newRow("target folder below a regular file, full path")
            << QStringList{"/u:{page}", "/p:{dir}/blocker/page.jpg"} << "" << QStringList{"blocker"}
            << writeFailed << none
            << QRegularExpression::escape("vistrel-pro: Cannot create folder \"") + "\\{dir\\}" +
                   QRegularExpression::escape("/blocker/\"");
        QTest::newRow("target folder on a read-only disk")
            << QStringList{"/u:{page}", "/p:ro/new/page.png"} << "ro:ro" << QStringList{"ro/x"}
            << writeFailed << none
            << QRegularExpression::escape("vistrel-pro: Cannot create folder \"ro/new/\"");
        QTest::newRow("older file on a read-only disk")
            << QStringList{"/u:{page}", "/p:ro/page.png"} << "ro:ro" << QStringList{"ro/page.png"}
            << writeFailed << none
            << QRegularExpression::escape("vistrel-pro: Cannot write ro/page.png: ") + ".+";

        // As root in a folder others may write: another user's link is never written through,
        // nor is a folder made behind one; a link of the running user is followed.
        const QString notFollowed =
            QStringLiteral(" is a symbolic link of user \\d+, not followed");
        QTest::newRow("another user's links as the picture and the thumbnail")
            << QStringList{"/u:{page}", "/p:out/page.png", "/t:"}
            << "link-other:out/page.png=../victim.conf,out/page_thumb.png=../private/planted.conf"
            << QStringList{"victim.conf"} << writeFailed << none
            << QRegularExpression::escape("vistrel-pro: Cannot write out/page.png: ") +
                   "\\{dir\\}" + QRegularExpression::escape("/out/page.png") + notFollowed;
        QTest::newRow("another user's link as a folder on the way")
            << QStringList{"/u:{page}", "/p:shared/new/page.png"} << "link-other:shared=private"
            << QStringList{"private/keep"} << writeFailed << none
            << QRegularExpression::escape("vistrel-pro: Cannot create folder \"shared/new/\": ") +
                   "\\{dir\\}" + QRegularExpression::escape("/shared") + notFollowed;
        QTest::newRow("the user's own link is followed")
            << QStringList{"/u:{page}", "/p:out/page.png"} << "link-own:out/page.png=../real.png"
            << none << 0 << QStringList{"real.png"} << "";

        // The picture stays in memory: a temporary folder that cannot be used stops nothing.
        const QStringList both{"out/page.png", "out/page_thumb.png"};
        QTest::newRow("TMPDIR missing") << QStringList{"/u:{page}", "/p:out/page.png", "/t:"}
                                        << "tmp-missing" << none << 0 << both << "";
        QTest::newRow("TMPDIR below a regular file")
            << QStringList{"/u:{page}", "/p:out/page.png", "/t:"} << "tmp-below-file"
            << QStringList{"blocker"} << 0 << both << "";
        QTest::newRow("TMPDIR on a full disk") << QStringList{"/u:{page}", "/p:out/page.png", "/t:"}
                                               << "tmp-full" << none << 0 << both << "";
        QTest::newRow("TMPDIR read-only") << QStringList{"/u:{page}", "/p:out/page.png", "/t:"}
                                          << "tmp-ro" << none << 0 << both << "";
    }

    void run() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fault);
        QFETCH(QStringList, prepare);
        QFETCH(int, exitCode);
        QFETCH(QStringList, written);
        QFETCH(QString, line);
        const ProgramSandbox sandbox;
        QVERIFY(sandbox.isValid());
        Arranged arranged;
        Arrange(fault, prepare, sandbox, arranged);
        if (!arranged.skip.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no tmpfs here: ") + arranged.skip));
        const QStringList inRoot = WorkingPictures(QStringLiteral("/"));

        const ProgramResult result =
            RunProgram(Options(arguments, arranged.tempDir, sandbox), sandbox);

        QVERIFY2(result.started, qPrintable(result.startError));
        QVERIFY2(result.leftovers.isEmpty(), qPrintable(result.leftovers.join(u", ")));
        QVERIFY2(result.exitedWith(exitCode), qPrintable(Describe(result)));
        const QStringList lines = ProgramLines(result.standardError);
        const QString pattern =
            QString(line)
                .replace(QStringLiteral("\\{dir\\}"), QRegularExpression::escape(sandbox.path()))
                .replace(QStringLiteral("\\{tmp\\}"), QRegularExpression::escape(arranged.tempDir));
        QVERIFY2(line.isEmpty()
                     ? lines.isEmpty()
                     : lines.size() == 1 &&
                           QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                               .match(lines.first())
                               .hasMatch(),
                 qPrintable(Describe(result) + QStringLiteral("\nexpected: ") + pattern));
        for (const QString& name : prepare)
            QCOMPARE(ReadFile(sandbox.filePath(name)), Old.toUtf8());
        for (const QString& name : written) {
            QImageReader reader(sandbox.filePath(name));
            QVERIFY2(reader.canRead() && !reader.read().isNull(), qPrintable(name));
        }
        QSet<QString> expected(prepare.begin(), prepare.end());
        expected.unite(QSet<QString>(written.begin(), written.end()));
        QCOMPARE(FilesIn(sandbox), expected);
        QVERIFY2(WorkingPictures(arranged.tempDir).isEmpty(),
                 qPrintable(WorkingPictures(arranged.tempDir).join(u", ")));
        QCOMPARE(WorkingPictures(QStringLiteral("/")), inRoot);
    }
};

QTEST_GUILESS_MAIN(TestProgramFaults)
#include "tst_programfaults.moc"
