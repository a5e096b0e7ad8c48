// SPDX-License-Identifier: GPL-3.0-or-later
// Files written below the windows when the disk fills up, when the target is no regular file
// and when the temporary folder is gone: an error, and the older file as it was.
#include "FaultTools.h"
#include "support/FolderSnapshot.h"

#include "common/TargetFile.h"
#include "common/VistrelError.h"
#include "output/WorkingPicture.h"
#include "png/PngWriter.h"
#include "settings/DesktopEntry.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

#include "support/TestHelpers.h"
#include <QDir>
#include <QTemporaryDir>

#include <QtTest>

#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace Faults;

namespace {

const QString TempName = QStringLiteral("{00000000-FA17-0000-0000-000000000001}");

class Variable {
public:
    Variable(const char* name, const QString& value) : FName(name), FOld(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~Variable() { qputenv(FName, FOld); }

private:
    const char* FName;
    QByteArray FOld;
};

mode_t TypeOf(const QString& path) {
    struct stat s {};
    return ::lstat(QFile::encodeName(path).constData(), &s) == 0 ? (s.st_mode & S_IFMT) : 0;
}

} // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT
private slots:
    // A write takes the lock file first: with one page free the lock gets it and the settings
    // file gets nothing, the case where the old QSaveFile commit left an empty file behind.
    void settingsOnAFullDisk_data() {
        QTest::addColumn<int>("leave");
        QTest::newRow("nothing free") << 0;
        QTest::newRow("one page free") << 4096;
    }
    void settingsOnAFullDisk() {
        QFETCH(int, leave);
        QTemporaryDir dir;
        const Variable config("XDG_CONFIG_HOME", dir.path());
        TmpfsMount disk(dir.filePath(QStringLiteral("vistrel-pro")), 256 * 1024);
        FAULTS_REQUIRE_MOUNT(disk);
        {
            RegistryKey key;
            QVERIFY(key.OpenKey(SettingsKeyPath(), true));
            key.WriteInteger(QStringLiteral("SR"), 3);
            key.WriteString(QStringLiteral("Kept"), QStringLiteral("unknown to the program"));
        }
        QVERIFY(disk.FillLeaving(leave));
        const auto before = FolderSnapshot(disk.path());
        RegistryKey key;
        QVERIFY(key.OpenKey(SettingsKeyPath(), false));
        QCOMPARE(ErrorOf([&] { key.WriteInteger(QStringLiteral("SR"), 1); }),
                 QStringLiteral("Failed to set data for 'SR'"));
        QCOMPARE(FolderSnapshot(disk.path()), before);
        QCOMPARE(key.ReadInteger(QStringLiteral("SR")), 3);
        QCOMPARE(key.ReadString(QStringLiteral("Kept")), QStringLiteral("unknown to the program"));
    }

    // Icon and entry are small enough to wait whole in the file's buffer until the commit.
    void desktopEntryOnAFullDisk() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("vistrel-pro"));
        QVERIFY(WriteFile(program, "#!/bin/sh\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        TmpfsMount disk(dir.filePath(QStringLiteral("data")), 256 * 1024);
        FAULTS_REQUIRE_MOUNT(disk);
        const Variable data("XDG_DATA_HOME", disk.path());
        const DesktopEntry entry(program);
        entry.Install(QImage());
        // The older entry names another program: a rewrite that got through would show.
        QVERIFY(WriteFile(entry.EntryPath(), "[Desktop Entry]\nExec=older\n"));
        QVERIFY(disk.FillLeaving(0));
        const auto before = FolderSnapshot(disk.path());
        QVERIFY(
            ErrorOf([&] { entry.Install(QImage()); }).startsWith(QStringLiteral("cannot write ")));
        QCOMPARE(FolderSnapshot(disk.path()), before);
    }

    // The same commit without root: a file size limit cuts the one write of a file that waited
    // whole in its buffer.
    void bufferedFileOverASizeLimit_data() {
        QTest::addColumn<bool>("settings");
        QTest::newRow("atomic write of a target") << false;
        QTest::newRow("settings file") << true;
    }
    void bufferedFileOverASizeLimit() {
        QFETCH(bool, settings);
        QTemporaryDir dir;
        const Variable config("XDG_CONFIG_HOME", dir.path());
        const QString target = dir.filePath(QStringLiteral("page.jpg"));
        QVERIFY(WriteFile(target, "older picture"));
        RegistryKey key;
        QVERIFY(key.OpenKey(SettingsKeyPath(), true));
        key.WriteString(QStringLiteral("Long"), QString(6000, u'v'));
        const auto before = FolderSnapshot(dir.path());
        QString error;
        {
            const FileSizeLimit limit(4096);
            error = settings ? ErrorOf([&] { key.WriteInteger(QStringLiteral("SR"), 1); })
                             : ErrorOf([&] {
                                   WriteFileAtomically(target, [](QIODevice& d) {
                                       WriteAll(d, QByteArray(7000, 'j').constData(), 7000);
                                   });
                               });
        }
        QCOMPARE(error, settings ? QStringLiteral("Failed to set data for 'SR'")
                                 : QStringLiteral("Cannot write %1: File too large").arg(target));
        QCOMPARE(FolderSnapshot(dir.path()), before);
    }

    // Root may write anywhere, and QSaveFile renames its file over whatever the name is, even
    // a device behind a link.
    void specialTargetsAreRefused_data() {
        QTest::addColumn<QString>("made");
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("a device like /dev/full") << "device" << false;
        QTest::newRow("a link to that device") << "device" << true;
        QTest::newRow("a named pipe") << "pipe" << false;
        QTest::newRow("a link to a named pipe") << "pipe" << true;
    }
    void specialTargetsAreRefused() {
        QFETCH(QString, made);
        QFETCH(bool, throughLink);
        QTemporaryDir dir;
        const QString node = dir.filePath(QStringLiteral("node"));
        const QByteArray name = QFile::encodeName(node);
        const bool device = made == QLatin1String("device");
        const int result = device ? ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 7))
                                  : ::mkfifo(name.constData(), 0666);
        if (result != 0)
            QSKIP("cannot make the node here");
        QString target = node;
        if (throughLink) {
            target = dir.filePath(QStringLiteral("page.png"));
            QVERIFY(QFile::link(node, target));
        }
        QCOMPARE(ErrorOf([&] {
                     WriteFileAtomically(target, [](QIODevice& d) { WriteAll(d, "picture", 7); });
                 }),
                 QStringLiteral("Cannot write %1: not a regular file").arg(target));
        QCOMPARE(TypeOf(node), device ? mode_t(S_IFCHR) : mode_t(S_IFIFO));
        const QStringList left =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left.size(), throughLink ? 2 : 1);
    }

    // Qt answers an empty temporary folder for these, and "/" + the name is the file system's
    // root.
    void temporaryFolderMissing_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing") << "missing/tmp";
        QTest::newRow("below a regular file") << "plain/tmp";
    }
    void temporaryFolderMissing() {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath(QStringLiteral("plain")), "x"));
        const QString tmp = dir.filePath(relative);
        const Variable variable("TMPDIR", tmp);
        const QString expected =
            QStringLiteral("The temporary folder %1 (TMPDIR) does not exist or is not a folder")
                .arg(tmp);
        QCOMPARE(ErrorOf([] { GetTempFolder(); }), expected);
        QCOMPARE(ErrorOf([] { SaveWorkingPicture(NoisePicture(8, 8), TempName); }), expected);
        QCOMPARE(ErrorOf([] { LoadWorkingPicture(TempName); }), expected);
        QVERIFY(!QFile::exists(QStringLiteral("/") + TempName));
    }

    void workingPictureOnAFullDisk() {
        QTemporaryDir dir;
        TmpfsMount disk(dir.filePath(QStringLiteral("tmp")), 1024 * 1024);
        FAULTS_REQUIRE_MOUNT(disk);
        const Variable variable("TMPDIR", disk.path());
        SaveWorkingPicture(NoisePicture(100, 100, 1), TempName);
        QVERIFY(disk.FillLeaving(64 * 1024));
        QCOMPARE(ErrorOf([] { SaveWorkingPicture(NoisePicture(300, 300, 2), TempName); }),
                 QStringLiteral("Cannot write %1: No space left on device")
                     .arg(WorkingPicturePath(TempName)));
        // The previous capture is still the one that loads.
        QCOMPARE(LoadWorkingPicture(TempName), NoisePicture(100, 100, 1));
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // The program saves PNG files through WriteFileAtomically; PngWriter::SaveToFile keeps
    // its own QSaveFile commit, which still replaces the older file by a truncated one.
    void pngSaveToFileOnAFullDisk() {
        QTemporaryDir dir;
        TmpfsMount disk(dir.filePath(QStringLiteral("full")), 256 * 1024);
        FAULTS_REQUIRE_MOUNT(disk);
        const QString target = disk.path() + QStringLiteral("/page.png");
        QVERIFY(WriteFile(target, "older picture"));
        QVERIFY(disk.FillLeaving(4096));
        PngWriter png;
        png.Assign(NoisePicture(60, 60)); // about 11 KB: all of it waits in the file's buffer
        const QString error = ErrorOf([&] { png.SaveToFile(target); });
        QVERIFY2(error != QLatin1String("(no error)"), qPrintable(error));
        QCOMPARE(ReadFile(target), QByteArray("older picture"));
    }
};

QTEST_GUILESS_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
