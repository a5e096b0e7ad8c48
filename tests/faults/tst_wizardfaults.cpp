// SPDX-License-Identifier: GPL-3.0-or-later
// The windows with the fake engine while the disk, the temporary folder, the working picture or
// the settings file fails: the error report says what failed, and no file is half-written,
// replaced or lost.
#include "FaultTools.h"
#include "support/FolderSnapshot.h"

#include "common/VistrelError.h"
#include "gui/ClickableImage.h"
#include "gui/MainFormFixture.h"
#include "gui/MakeThumbnail.h"
#include "gui/widgets/FlatSpinBox.h"
#include "gui/widgets/StyledButton.h"
#include "output/WorkingPicture.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

#include "support/TestHelpers.h"
#include <QDir>
#include <QLabel>

#include <QtTest>

#include <functional>
#include <sys/stat.h>

using namespace Faults;

namespace {

// Less than any file written here: each write fails part way. The JPEG thumbnail (under 8 KB)
// still waits whole in the file's buffer until the commit.
constexpr qint64 LeftOnDisk = 4 * 1024;
// PngChunk::WriteBytes (src/png) reports a short write of a chunk without its reason.
const QByteArray Older("older file");

enum class Writer { Bmp, Png, Jpeg, ThumbBmp, ThumbPng, ThumbJpeg };

void Capture(MainFormFixture& f, const QSize& page) {
    f.browser->SetPageSize(page);
    f.main->StartClick();
    f.browser->FinishLoad();
}

int StoredJpegQuality() {
    RegistryKey key;
    return key.OpenKey(SettingsKeyPath(), false)
               ? key.ReadInteger(QStringLiteral("JPG Compression"))
               : -1;
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestWizardFaults : public QObject {
    Q_OBJECT
private slots:
    // The save functions that the buttons and the command line call, with a name given.
    void writersOnAFullDisk_data() {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<QString>("name");
        QTest::newRow("picture as BMP") << Writer::Bmp << "page.bmp";
        QTest::newRow("picture as PNG") << Writer::Png << "page.png";
        QTest::newRow("picture as JPEG") << Writer::Jpeg << "page.jpg";
        QTest::newRow("thumbnail as BMP") << Writer::ThumbBmp << "thumb.bmp";
        QTest::newRow("thumbnail as PNG") << Writer::ThumbPng << "thumb.png";
        QTest::newRow("thumbnail as JPEG") << Writer::ThumbJpeg << "thumb.jpg";
    }
    void writersOnAFullDisk() {
        QFETCH(Writer, writer);
        QFETCH(QString, name);
        QTemporaryDir dir;
        TmpfsMount disk(dir.filePath(QStringLiteral("full")), 2 * 1024 * 1024);
        FAULTS_REQUIRE_MOUNT(disk);
        MainFormFixture f;
        f.show();
        const QImage picture = NoisePicture(1009, 1200);
        SaveWorkingPicture(picture, f.main->FWorkingPictureName);
        const QString target = disk.path() + QLatin1Char('/') + name;
        QVERIFY(WriteFile(target, Older));
        QVERIFY(disk.FillLeaving(LeftOnDisk));
        const auto before = FolderSnapshot(disk.path());
        const QString error = ErrorOf([&] {
            switch (writer) {
            case Writer::Bmp:
                return SavePictureAsBmp(picture, target);
            case Writer::Png:
                return SavePictureAsPng(picture, target);
            case Writer::Jpeg:
                return SavePictureAsJpeg(picture, target, 85);
            case Writer::ThumbBmp:
                return MakeThumbnail(picture, PictureOptions{}, ThumbnailTarget::Bmp, target);
            case Writer::ThumbPng:
                return MakeThumbnail(picture, PictureOptions{}, ThumbnailTarget::Png, target);
            case Writer::ThumbJpeg:
                return MakeThumbnail(picture, PictureOptions{}, ThumbnailTarget::Jpeg, target);
            }
        });
        QCOMPARE(FolderSnapshot(disk.path()), before);
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write %1: ").arg(target)),
                 qPrintable(error));
        QCOMPARE(error, QStringLiteral("Cannot write %1: No space left on device").arg(target));
        QVERIFY(f.messages.isEmpty());
    }

    // Qt answers an empty temporary folder when TMPDIR names none; the picture must not go to
    // "/" then.
    void captureWithoutTemporaryFolder_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        const QString missing =
            QStringLiteral("The temporary folder %1 (TMPDIR) does not exist or is not a folder.");
        QTest::newRow("missing") << "missing" << missing;
        QTest::newRow("below a regular file") << "below-file" << missing;
        QTest::newRow("on a full disk") << "full"
                                        << "Cannot write %1/%2: No space left on device.";
        QTest::newRow("read-only") << "ro"
                                   << "Cannot write %1/%2: ";
    }
    void captureWithoutTemporaryFolder() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath(QStringLiteral("plain")), "x"));
        QString temp = dir.filePath(QStringLiteral("missing/tmp"));
        if (fault == QLatin1String("below-file"))
            temp = dir.filePath(QStringLiteral("plain/tmp"));
        std::unique_ptr<TmpfsMount> disk;
        if (fault == QLatin1String("full") || fault == QLatin1String("ro")) {
            temp = dir.filePath(QStringLiteral("disk"));
            disk = std::make_unique<TmpfsMount>(temp, 1024 * 1024);
            FAULTS_REQUIRE_MOUNT(*disk);
            QVERIFY(fault == QLatin1String("full") ? disk->FillLeaving(LeftOnDisk)
                                                   : disk->RemountReadOnly());
        }
        MainFormFixture f;
        f.show();
        qputenv("TMPDIR", QFile::encodeName(temp));
        const QString expected = message.contains(QLatin1String("%2"))
                                     ? message.arg(temp, f.main->FWorkingPictureName)
                                     : message.arg(temp);

        Capture(f, QSize(1009, 900));
        QTRY_COMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().startsWith(expected), qPrintable(f.messages.first()));
        QVERIFY(f.main->previewImage->pixmap().isNull());
        QVERIFY(!QFile::exists(QStringLiteral("/") + f.main->FWorkingPictureName));
        if (disk)
            QCOMPARE(QDir(temp).entryList(QDir::Files).size(), 0);

        // Saving afterwards says what is wrong, without asking for a file name.
        f.main->MakeThumbnailClick();
        QTest::mouseClick(f.main->saveThumbnailPngButton, Qt::LeftButton);
        QCOMPARE(f.messages.size(), 2);
        QVERIFY(f.saveRequests.isEmpty());
    }

    // Between the capture and a save, something else changes the working picture.
    void tamperedWorkingPicture_data() {
        QTest::addColumn<QString>("tamper");
        QTest::addColumn<QString>("reason");
        QTest::newRow("emptied") << "empty"
                                 << "Cannot read picture %1: the file is empty.";
        QTest::newRow("cut to its headers") << "headers"
                                            << "Cannot read picture %1: the file is truncated (";
        QTest::newRow("cut in half") << "half"
                                     << "Cannot read picture %1: the file is truncated (";
        QTest::newRow("overwritten with text") << "text"
                                               << "Cannot read picture %1: not a BMP file.";
        QTest::newRow("header says 8 bits")
            << "8 bits"
            << "Cannot read picture %1: 8-bit BMP files are not supported";
        QTest::newRow("header claims a huge picture")
            << "huge"
            << "Cannot read picture %1: the file is truncated (";
        QTest::newRow("removed") << "removed"
                                 << "The captured picture %1 is missing; capture the page again.";
        QTest::newRow("replaced by a folder")
            << "folder"
            << "The captured picture %1 is not a regular file; capture the page again.";
        QTest::newRow("replaced by a named pipe")
            << "pipe"
            << "The captured picture %1 is not a regular file; capture the page again.";
    }
    void tamperedWorkingPicture() {
        QFETCH(QString, tamper);
        QFETCH(QString, reason);
        MainFormFixture f;
        f.show();
        Capture(f, QSize(1009, 900));
        QTRY_COMPARE(f.main->FPage, 2);
        const QString path = WorkingPicturePath(f.main->FWorkingPictureName);
        QVERIFY(QFile::exists(path));
        QByteArray bytes = ReadFile(path);
        if (tamper == QLatin1String("empty"))
            bytes.clear();
        if (tamper == QLatin1String("headers"))
            bytes.truncate(54);
        if (tamper == QLatin1String("half"))
            bytes.truncate(bytes.size() / 2);
        if (tamper == QLatin1String("text"))
            bytes = QByteArray(bytes.size(), 'x');
        if (tamper == QLatin1String("8 bits"))
            bytes[28] = 8;
        if (tamper == QLatin1String("huge")) {
            bytes[21] = char(0x7f); // width 0x7fxxxxxx
            bytes[25] = char(0x7f); // height 0x7fxxxxxx
        }
        QVERIFY(QFile::remove(path));
        if (tamper == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (tamper == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (tamper != QLatin1String("removed"))
            QVERIFY(WriteFile(path, bytes));

        QTemporaryDir out;
        f.nextSaveName = out.filePath(QStringLiteral("older.png"));
        QVERIFY(WriteFile(f.nextSaveName, Older));
        const QString expected = reason.arg(path);
        const char* buttons[] = {"savePictureBmpButton",    "savePicturePngButton",
                                 "savePictureJpegButton",   "previewPictureButton",
                                 "saveThumbnailBmpButton",  "saveThumbnailPngButton",
                                 "saveThumbnailJpegButton", "previewThumbnailButton"};
        for (const char* button : buttons) {
            auto* widget = f.main->findChild<StyledButton*>(QLatin1String(button));
            QVERIFY(widget);
            f.messages.clear();
            QTest::mouseClick(widget, Qt::LeftButton);
            QCOMPARE(f.messages.size(), 1);
            QVERIFY2(f.messages.first().startsWith(expected),
                     qPrintable(QLatin1String(button) + QStringLiteral(": ") + f.messages.first()));
        }
        QVERIFY(f.saveRequests.isEmpty());
        QCOMPARE(FolderSnapshot(out.path()), (QMap<QString, QByteArray>{{"older.png", Older}}));
    }

    // Errors while the values are saved are dropped by design (the button still says the save
    // went well); what is on disk must stay whole.
    void saveAsDefaultWhenTheSettingsCannotBeWritten_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message");
        const QString saved = QStringLiteral("Save successful.");
        QTest::newRow("folder made read-only") << "ro" << saved;
        QTest::newRow("disk full, nothing free") << "full 0" << saved;
        QTest::newRow("disk full, one page free") << "full 4096" << saved;
        QTest::newRow("file replaced by a folder")
            << "folder"
            << "Failed to create key \\Software\\Dorwen Software\\Vistrel Pro.";
    }
    void saveAsDefaultWhenTheSettingsCannotBeWritten() {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QTemporaryDir config;
        TmpfsMount disk(config.filePath(QStringLiteral("vistrel-pro")), 256 * 1024);
        FAULTS_REQUIRE_MOUNT(disk);
        MainFormFixture f({},
                          [&] { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path())); });
        f.show(); // a first start writes the values the windows hold
        const QString file = RegistryKey::FilePath(QString::fromLatin1(SettingsValues::RootName));
        QVERIFY(QFile::exists(file));
        QCOMPARE(StoredJpegQuality(), 85);
        f.main->jpegQualitySpin->setValue(12);
        if (fault == QLatin1String("ro"))
            QVERIFY(disk.RemountReadOnly());
        if (fault.startsWith(QLatin1String("full")))
            QVERIFY(disk.FillLeaving(fault.section(u' ', 1).toInt()));
        if (fault == QLatin1String("folder")) {
            QVERIFY(QFile::remove(file));
            QVERIFY(QDir().mkpath(file));
            QVERIFY(WriteFile(file + QStringLiteral("/inside"), "kept"));
        }
        const auto before = FolderSnapshot(disk.path());

        f.main->MakeThumbnailClick();
        QTest::mouseClick(f.main->saveDefaultsButton, Qt::LeftButton);
        QCOMPARE(f.messages, QStringList{message});
        QCOMPARE(FolderSnapshot(disk.path()), before);
        if (fault != QLatin1String("folder"))
            QCOMPARE(StoredJpegQuality(), 85);
    }
};

QTEST_MAIN(TestWizardFaults)
#include "tst_wizardfaults.moc"
