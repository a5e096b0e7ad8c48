// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VistrelError.h"
#include "output/StreamedPngFile.h"
#include "png/PngTestTools.h"
#include "png/PngWriter.h"

#include "support/FileSizeLimit.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>

#include <QtTest>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

QByteArray ReadAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestPngSaveFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void unwritableTarget_data();
    void unwritableTarget();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void streamedWhileMade_data();
    void streamedWhileMade();
};

void TestPngSaveFile::roundTrip() {
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("page.png"));
    const QImage picture = PngTest::MakePicture(1001, 3001, 11);
    PngWriter png;
    png.Assign(picture);
    png.SaveToFile(target);
    QCOMPARE(QImageReader(target).read().convertToFormat(QImage::Format_RGB888), picture);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"page.png"});
}

void TestPngSaveFile::unwritableTarget_data() {
    QTest::addColumn<QString>("relativeTarget");
    QTest::newRow("below a regular file") << "plain.txt/page.png";
    QTest::newRow("missing folder") << "missing/page.png";
    QTest::newRow("target is a folder") << "folder";
}

void TestPngSaveFile::unwritableTarget() {
    QFETCH(QString, relativeTarget);
    QTemporaryDir folder;
    WriteAll(folder.filePath(QStringLiteral("plain.txt")), "text");
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
    PngWriter png;
    png.Assign(PngTest::MakePicture(3, 7, 1));
    QVERIFY_THROWS_EXCEPTION(VistrelError, png.SaveToFile(folder.filePath(relativeTarget)));
    QCOMPARE(ReadAll(folder.filePath(QStringLiteral("plain.txt"))), QByteArray("text"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"folder", "plain.txt"}));
    QVERIFY(QDir(folder.filePath(QStringLiteral("folder"))).isEmpty());
}

void TestPngSaveFile::failedWriteKeepsOldFile_data() {
    QTest::addColumn<bool>("assigned");
    QTest::addColumn<PngWriter::TDeflatePath>("path");
    QTest::newRow("nothing to write") << false << PngWriter::TDeflatePath::Sequential;
    QTest::newRow("disk full, sequential") << true << PngWriter::TDeflatePath::Sequential;
    QTest::newRow("disk full, parallel") << true << PngWriter::TDeflatePath::Parallel;
}

void TestPngSaveFile::failedWriteKeepsOldFile() {
    QFETCH(bool, assigned);
    QFETCH(PngWriter::TDeflatePath, path);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("page.png"));
    const QByteArray old("an older picture");
    WriteAll(target, old);
    PngWriter png;
    png.SetDeflatePath(path);
    if (assigned) {
        png.Assign(PngTest::MakePicture(1001, 3001, 2));
    }
    {
        FileSizeLimit limit(100000);
        QVERIFY_THROWS_EXCEPTION(VistrelError, png.SaveToFile(target));
    }
    QCOMPARE(ReadAll(target), old);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"page.png"});
}

// A picture filled band by band, as a capture fills it, while its PNG is already being written:
// the file is the one written afterwards, byte for byte; an abandoned one leaves the old file.
void TestPngSaveFile::streamedWhileMade_data() {
    QTest::addColumn<bool>("abandon");
    QTest::newRow("finished") << false;
    QTest::newRow("abandoned half way") << true;
}

void TestPngSaveFile::streamedWhileMade() {
    QFETCH(bool, abandon);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("shots/page.png"));
    const QImage final = PngTest::MakePicture(1009, 3000, 5);
    QImage picture(final.size(), QImage::Format_RGB888);
    picture.fill(Qt::white);
    QDir().mkpath(folder.filePath(QStringLiteral("shots")));
    WriteAll(target, "old");
    {
        StreamedPngFile file(target);
        file.Begin(picture);
        constexpr int Band = 250;
        for (int top = 0; top < picture.height(); top += Band) {
            for (int y = top; y < qMin(picture.height(), top + Band); ++y)
                std::memcpy(picture.scanLine(y), final.constScanLine(y),
                            size_t(final.bytesPerLine()));
            if (abandon && top >= picture.height() / 2) {
                file.Abandon();
                break;
            }
            file.RowsFinal(top + Band);
            QThread::msleep(2);
        }
        if (!abandon)
            file.Finish();
    }
    QFile written(target);
    QVERIFY(written.open(QIODevice::ReadOnly));
    if (abandon) {
        QCOMPARE(written.readAll(), QByteArray("old"));
    } else {
        QBuffer after;
        after.open(QIODevice::WriteOnly);
        PngWriter png;
        png.Assign(final);
        png.SaveToStream(after);
        QCOMPARE(written.readAll(), after.data());
    }
    QCOMPARE(QDir(folder.filePath(QStringLiteral("shots"))).entryList(QDir::Files),
             QStringList{"page.png"});
}

QTEST_GUILESS_MAIN(TestPngSaveFile)
#include "tst_pngsavefile.moc"
