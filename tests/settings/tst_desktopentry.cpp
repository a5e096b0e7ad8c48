// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FolderSnapshot.h"

#include "common/VistrelError.h"
#include "settings/DesktopEntry.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A stand-in for the program: it writes the arguments it was started with, one a line.
const QByteArray kFakeProgram = "#!/bin/sh\n"
                                "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$ARGS_OUT\"\n";

QString ExecLineOf(const QString& entryText) {
    for (const QString& line : entryText.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec="))) {
            return line.mid(5);
        }
    }
    return {};
}

} // namespace

class TestDesktopEntry : public QObject {
    Q_OBJECT
private:
    QTemporaryDir* FDir = nullptr;
    QString Path(const QString& name) const { return FDir->filePath(name); }
    QString DataHome() const { return Path(QStringLiteral("data")); }

    QString MakeProgram(const QString& folder) {
        const QString path = Path(folder) + QStringLiteral("/vistrel-pro");
        QDir().mkpath(Path(folder));
        return WriteTextFile(path, kFakeProgram, true) ? path : QString();
    }

private slots:
    void init() {
        FDir = new QTemporaryDir;
        QVERIFY(FDir->isValid());
        qputenv("XDG_DATA_HOME", DataHome().toLocal8Bit());
        QDir().mkpath(DataHome());
    }
    void cleanup() {
        delete FDir;
        FDir = nullptr;
    }

    void locations() {
        const DesktopEntry entry(QStringLiteral("/opt/vistrel/vistrel-pro"));
        QCOMPARE(entry.EntryPath(), DataHome() + "/applications/vistrel-pro-open-with.desktop");
        QCOMPARE(entry.IconPath(), DataHome() + "/icons/hicolor/48x48/apps/vistrel-pro.png");
        qputenv("XDG_DATA_HOME", "relative/is/ignored");
        QCOMPARE(DesktopEntry::DataHome(), QDir::homePath() + "/.local/share");
    }

    void offersWithoutClaimingDefaults() {
        const QString text = DesktopEntry(QStringLiteral("/opt/v/vistrel-pro")).Text();
        QVERIFY(text.startsWith(QLatin1String("[Desktop Entry]\n")));
        QVERIFY(text.contains(QLatin1String("\nName=Vistrel Pro\n")));
        QVERIFY(text.contains(QLatin1String("\nMimeType=text/html;application/xhtml+xml;"
                                            "x-scheme-handler/http;x-scheme-handler/https;\n")));
        QVERIFY(text.contains(QLatin1String("\nIcon=vistrel-pro\n")));
        // a second launcher in the menu would be a duplicate of the installed one
        QVERIFY(text.contains(QLatin1String("\nNoDisplay=true\n")));
    }

    void execLine_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "prog"
                               << "\"%1/prog/vistrel-pro\" /u:%u";
        QTest::newRow("blank") << "Vistrel Pro"
                               << "\"%1/Vistrel Pro/vistrel-pro\" /u:%u";
        QTest::newRow("double quote") << "a\"b"
                                      << "\"%1/a\\\\\"b/vistrel-pro\" /u:%u";
        QTest::newRow("dollar") << "$HOME"
                                << "\"%1/\\\\$HOME/vistrel-pro\" /u:%u";
        QTest::newRow("backtick") << "a`b"
                                  << "\"%1/a\\\\`b/vistrel-pro\" /u:%u";
        QTest::newRow("backslash") << "a\\b"
                                   << "\"%1/a\\\\\\\\b/vistrel-pro\" /u:%u";
        QTest::newRow("percent") << "100%u"
                                 << "\"%1/100%%u/vistrel-pro\" /u:%u";
        QTest::newRow("single quote and CJK")
            << QString::fromUtf8("它's") << QString::fromUtf8("\"%1/它's/vistrel-pro\" /u:%u");
    }
    void execLine() {
        QFETCH(QString, folder);
        QFETCH(QString, exec);
        const QString program = MakeProgram(folder);
        QVERIFY(!program.isEmpty());
        const DesktopEntry entry(program);
        entry.Install(QImage());
        QFile file(entry.EntryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(ExecLineOf(text), exec.arg(FDir->path()));

        // The launcher of the desktop must start exactly this program with one argument.
        const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
        if (gio.isEmpty()) {
            QSKIP("gio is not installed; the Exec line was checked as text only");
        }
        if (folder.contains(QLatin1Char('%'))) {
            // GLib looks for the program before it undoes the %% escape, so it refuses such
            // an entry whichever way it is written; the text above is what the rules ask for.
            return;
        }
        const QString argsOut = Path(QStringLiteral("args.txt"));
        QProcess launcher;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ARGS_OUT"), argsOut);
        launcher.setProcessEnvironment(env);
        const QString address = QStringLiteral("https://example.test/a%20b?x=1&y=$2");
        launcher.start(gio, {QStringLiteral("launch"), entry.EntryPath(), address});
        QVERIFY(launcher.waitForFinished(30000));
        QCOMPARE(launcher.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(argsOut).size() > 0, 10000);
        QFile args(argsOut);
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(args.readAll()), "/u:" + address + "\n");
    }

    void validates() {
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        if (validator.isEmpty()) {
            QSKIP("desktop-file-validate is not installed");
        }
        const DesktopEntry entry(MakeProgram(QStringLiteral("Vistrel Pro")));
        entry.Install(QImage());
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(validator, {entry.EntryPath()});
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAll());
        QVERIFY2(process.exitCode() == 0, qPrintable(output));
        QVERIFY2(!output.contains(QLatin1String("error")), qPrintable(output));
    }

    void refusesPrograms_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("missing") << "%1/nowhere/vistrel-pro";
        QTest::newRow("not executable") << "%1/plain/vistrel-pro";
        QTest::newRow("relative") << "vistrel-pro";
        QTest::newRow("line break") << "%1/line\nbreak/vistrel-pro";
    }
    void refusesPrograms() {
        QFETCH(QString, program);
        QDir().mkpath(Path(QStringLiteral("plain")));
        QVERIFY(WriteTextFile(Path(QStringLiteral("plain/vistrel-pro")), kFakeProgram));
        MakeProgram(QStringLiteral("line\nbreak"));
        // A relative name would resolve against whatever folder the desktop starts it from.
        const QString current = QDir::currentPath();
        QDir::setCurrent(QFileInfo(MakeProgram(QStringLiteral("current"))).absolutePath());
        const DesktopEntry entry(program.contains(QLatin1String("%1")) ? program.arg(FDir->path())
                                                                       : program);
        QVERIFY_THROWS_EXCEPTION(VistrelError, entry.Install(QImage()));
        QDir::setCurrent(current);
        QVERIFY(FolderSnapshot(DataHome()).isEmpty());
    }

    void icon_data() {
        QTest::addColumn<QImage>("given");
        QImage large(96, 96, QImage::Format_RGB888);
        large.fill(Qt::red);
        QTest::newRow("drawn") << QImage();
        QTest::newRow("artwork scaled to size") << large;
    }
    void icon() {
        QFETCH(QImage, given);
        const DesktopEntry entry(MakeProgram(QStringLiteral("prog")));
        entry.Install(given);
        const QImage icon(entry.IconPath(), "PNG");
        QCOMPARE(icon.size(), QSize(48, 48));
        if (given.isNull()) {
            QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(icon.pixel(24, 24)), 255);
            QVERIFY(icon.pixel(24, 24) != icon.pixel(6, 24)); // a page on the background
        } else {
            QCOMPARE(icon.pixelColor(24, 24), QColor(Qt::red));
        }
    }

    void removeLeavesFolderAsBefore_data() {
        QTest::addColumn<bool>("shared");
        QTest::newRow("empty data folder") << false;
        QTest::newRow("folders shared with other programs") << true;
    }
    void removeLeavesFolderAsBefore() {
        QFETCH(bool, shared);
        if (shared) {
            QDir().mkpath(DataHome() + "/applications");
            QDir().mkpath(DataHome() + "/icons/hicolor/48x48/apps");
            QVERIFY(WriteTextFile(DataHome() + "/applications/other.desktop", "[Desktop Entry]\n"));
            QVERIFY(WriteTextFile(DataHome() + "/applications/mimeapps.list",
                                  "[Default Applications]\ntext/html=other.desktop\n"));
            QVERIFY(WriteTextFile(DataHome() + "/icons/hicolor/48x48/apps/other.png", "png"));
        }
        const auto before = FolderSnapshot(DataHome());
        const DesktopEntry entry(MakeProgram(QStringLiteral("prog")));
        entry.Install(QImage());
        entry.Install(QImage()); // a second click changes nothing further
        auto installed = FolderSnapshot(DataHome());
        QVERIFY(installed.contains("applications/vistrel-pro-open-with.desktop"));
        QVERIFY(installed.contains("icons/hicolor/48x48/apps/vistrel-pro.png"));
        QCOMPARE(installed.value("applications/mimeapps.list"),
                 before.value("applications/mimeapps.list"));
        entry.Remove();
        QCOMPARE(FolderSnapshot(DataHome()), before);
        entry.Remove(); // nothing left to remove is not a failure
        QCOMPARE(FolderSnapshot(DataHome()), before);
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
