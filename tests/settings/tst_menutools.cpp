// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FolderSnapshot.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// The built regdll and unregdll, run as the settings page runs them: as processes, with no
// arguments, from a program folder that is not the current folder.
class TestMenuTools : public QObject {
    Q_OBJECT
private:
    QTemporaryDir* FDir = nullptr;
    QString Path(const QString& name) const { return FDir->filePath(name); }
    QString DataHome() const { return Path(QStringLiteral("data")); }
    QString Apps() const { return DataHome() + QStringLiteral("/applications"); }
    QString Entry() const { return Apps() + QStringLiteral("/vistrel-pro-open-with.desktop"); }

    struct Run {
        int exitCode = -1;
        QString errors;
    };

    // PATH holds only fakebin, so whether a database tool is found is up to each test.
    Run RunTool(const QString& tool, const QString& path = QString()) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome());
        env.insert(QStringLiteral("PATH"), path.isEmpty() ? Path(QStringLiteral("fakebin")) : path);
        env.insert(QStringLiteral("RECORD"), Path(QStringLiteral("record.txt")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(Path(QStringLiteral("elsewhere")));
        process.start(Path(QStringLiteral("Vistrel Pro/dll/")) + tool, {});
        if (!process.waitForFinished(60000)) {
            return {};
        }
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
    }

    QByteArray Read(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() {
        FDir = new QTemporaryDir;
        QVERIFY(FDir->isValid());
        const QString built = qEnvironmentVariable("VISTREL_BINARY_DIR") + QStringLiteral("/dll/");
        const QString tools = Path(QStringLiteral("Vistrel Pro/dll/"));
        for (const QString& name : {QStringLiteral("elsewhere"), QStringLiteral("fakebin"),
                                    QStringLiteral("data"), QStringLiteral("Vistrel Pro/dll")}) {
            QVERIFY(QDir().mkpath(Path(name)));
        }
        for (const QString& tool : {QStringLiteral("regdll"), QStringLiteral("unregdll")}) {
            QVERIFY2(QFile::copy(built + tool, tools + tool), qPrintable(built + tool));
        }
        QVERIFY(
            WriteTextFile(Path(QStringLiteral("Vistrel Pro/vistrel-pro")), "#!/bin/sh\n", true));
    }
    void cleanup() {
        delete FDir;
        FDir = nullptr;
    }

    void addAndRemove() {
        const auto before = FolderSnapshot(DataHome());
        const Run added = RunTool(QStringLiteral("regdll"));
        QCOMPARE(added.exitCode, 0);
        QCOMPARE(added.errors, QString());
        const QString entry = QString::fromUtf8(Read(Entry()));
        QVERIFY2(entry.contains("\nExec=\"" + Path(QStringLiteral("Vistrel Pro/vistrel-pro")) +
                                "\" /u:%u\n"),
                 qPrintable(entry));
        QVERIFY(QFile::exists(DataHome() + "/icons/hicolor/48x48/apps/vistrel-pro.png"));

        const Run removed = RunTool(QStringLiteral("unregdll"));
        QCOMPARE(removed.exitCode, 0);
        QCOMPARE(removed.errors, QString());
        QCOMPARE(FolderSnapshot(DataHome()), before);
    }

    void databaseToolGetsTheApplicationsFolder() {
        QVERIFY(WriteTextFile(Path(QStringLiteral("fakebin/update-desktop-database")),
                              "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"$RECORD\"\n", true));
        QCOMPARE(RunTool(QStringLiteral("regdll")).exitCode, 0);
        QCOMPARE(Read(Path(QStringLiteral("record.txt"))), (Apps() + "\n").toUtf8());
        QCOMPARE(RunTool(QStringLiteral("unregdll")).exitCode, 0);
        // The folder was left empty and removed: there is nothing to refresh.
        QCOMPARE(Read(Path(QStringLiteral("record.txt"))), (Apps() + "\n").toUtf8());
    }

    void failingDatabaseToolOnlyWarns() {
        QVERIFY(WriteTextFile(Path(QStringLiteral("fakebin/update-desktop-database")),
                              "#!/bin/sh\necho 'cache is broken' >&2\nexit 3\n", true));
        const Run added = RunTool(QStringLiteral("regdll"));
        QCOMPARE(added.exitCode, 0);
        QCOMPARE(
            added.errors,
            QStringLiteral("regdll: warning: update-desktop-database failed: cache is broken\n"));
        QVERIFY(QFile::exists(Entry()));
    }

    void realDatabaseListsTheEntry() {
        const QString tool = QStandardPaths::findExecutable("update-desktop-database");
        if (tool.isEmpty()) {
            QSKIP("update-desktop-database is not installed");
        }
        const QString path = Path(QStringLiteral("fakebin")) + ":" + QFileInfo(tool).absolutePath();
        QVERIFY(QDir().mkpath(Apps()));
        QVERIFY(WriteTextFile(Apps() + "/other.desktop",
                              "[Desktop Entry]\nType=Application\nName=Other\nExec=other %u\n"
                              "MimeType=text/plain;\n"));
        QCOMPARE(RunTool(QStringLiteral("regdll"), path).exitCode, 0);
        const QString cache = QString::fromUtf8(Read(Apps() + "/mimeinfo.cache"));
        QVERIFY2(cache.contains("\ntext/html=vistrel-pro-open-with.desktop;"), qPrintable(cache));
        QVERIFY(cache.contains("\nx-scheme-handler/https=vistrel-pro-open-with.desktop;"));
        QVERIFY(!QFile::exists(Apps() + "/mimeapps.list"));

        QCOMPARE(RunTool(QStringLiteral("unregdll"), path).exitCode, 0);
        const QString after = QString::fromUtf8(Read(Apps() + "/mimeinfo.cache"));
        QVERIFY2(!after.contains("vistrel-pro"), qPrintable(after));
        QVERIFY(after.contains("text/plain=other.desktop;"));
        QVERIFY(QFile::exists(Apps() + "/other.desktop"));
    }

    void missingProgramFails() {
        QVERIFY(QFile::remove(Path(QStringLiteral("Vistrel Pro/vistrel-pro"))));
        const Run added = RunTool(QStringLiteral("regdll"));
        QCOMPARE(added.exitCode, 1);
        QVERIFY2(added.errors.startsWith("regdll: program not found: "), qPrintable(added.errors));
        QCOMPARE(added.errors.count('\n'), 1);
        QVERIFY(FolderSnapshot(DataHome()).isEmpty());
    }

    void removeFailureIsReported() {
        QCOMPARE(RunTool(QStringLiteral("regdll")).exitCode, 0);
        // A folder in the entry's place cannot be removed as a file.
        QVERIFY(QFile::remove(Entry()));
        QVERIFY(QDir().mkpath(Entry() + "/inside"));
        const Run removed = RunTool(QStringLiteral("unregdll"));
        QCOMPARE(removed.exitCode, 1);
        QVERIFY2(removed.errors.startsWith("unregdll: cannot remove "), qPrintable(removed.errors));
        QCOMPARE(removed.errors.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestMenuTools)
#include "tst_menutools.moc"
