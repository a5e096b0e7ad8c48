// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestPictures.h"
#include "common/VistrelError.h"
#include "output/PictureCrop.h"
#include "output/WorkingPicture.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString TempName = QStringLiteral("{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");

// Points the temporary folder somewhere of the test's own while it lives.
class TempFolder {
public:
    TempFolder() : FOld(qgetenv("TMPDIR")) { qputenv("TMPDIR", FDir.path().toLocal8Bit()); }
    ~TempFolder() { qputenv("TMPDIR", FOld); }
    QString path() const { return FDir.path(); }

private:
    QTemporaryDir FDir;
    QByteArray FOld;
};

bool RowsAreWhite(const QImage& picture, int from) {
    for (int y = from; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                return false;
    return true;
}

} // namespace

class TestWorkingPicture : public QObject {
    Q_OBJECT
private slots:
    void tempFolderIsAskedAfresh();
    void pathHasNoExtension();
    void saveAndLoad();
    void eachLoadStartsFromTheFullPicture();
    void missingPicture();
    void changeHeight_data();
    void changeHeight();
    void sizeLabel_data();
    void sizeLabel();
};

void TestWorkingPicture::tempFolderIsAskedAfresh() {
    TempFolder first;
    QCOMPARE(GetTempFolder(), first.path() + QLatin1Char('/'));
    {
        TempFolder second;
        QCOMPARE(GetTempFolder(), second.path() + QLatin1Char('/'));
    }
    QCOMPARE(GetTempFolder(), first.path() + QLatin1Char('/'));
}

void TestWorkingPicture::pathHasNoExtension() {
    TempFolder folder;
    QCOMPARE(WorkingPicturePath(TempName), folder.path() + QLatin1Char('/') + TempName);
}

void TestWorkingPicture::saveAndLoad() {
    TempFolder folder;
    const QImage first = PatternPicture(31, 17);
    SaveWorkingPicture(first, TempName);
    QCOMPARE(LoadWorkingPicture(TempName), first);
    // somebody's page: for its owner's eyes only, whatever the umask
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadUser | QFileDevice::WriteUser;
    QCOMPARE(QFileInfo(WorkingPicturePath(TempName)).permissions(), ownerOnly);
    // The next capture overwrites it, and nothing else is left in the folder.
    const QImage second = PatternPicture(8, 40);
    SaveWorkingPicture(second, TempName);
    QCOMPARE(LoadWorkingPicture(TempName), second);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{TempName});
}

void TestWorkingPicture::eachLoadStartsFromTheFullPicture() {
    TempFolder folder;
    SaveWorkingPicture(PatternPicture(12, 10), TempName);
    QCOMPARE(ChangeHeight(LoadWorkingPicture(TempName), 4).height(), 4);
    QCOMPARE(ChangeHeight(LoadWorkingPicture(TempName), 7).height(), 7);
    QCOMPARE(LoadWorkingPicture(TempName), PatternPicture(12, 10));
}

void TestWorkingPicture::missingPicture() {
    TempFolder folder;
    try {
        LoadWorkingPicture(TempName);
        QFAIL("no error");
    } catch (const VistrelError& error) {
        QVERIFY2(error.message().contains(WorkingPicturePath(TempName)),
                 qPrintable(error.message()));
    }
}

void TestWorkingPicture::changeHeight_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<int>("height");
    QTest::newRow("smaller drops bottom rows") << PatternPicture(4, 10) << 3;
    QTest::newRow("equal keeps it") << PatternPicture(4, 10) << 10;
    QTest::newRow("larger adds white rows") << PatternPicture(4, 10) << 15;
    QTest::newRow("500-row page cropped at 768") << PatternPicture(5, 500) << 768;
    QTest::newRow("to one row") << PatternPicture(3, 9) << 1;
    QTest::newRow("from RGB32") << PatternPicture(6, 5).convertToFormat(QImage::Format_RGB32) << 8;
    QTest::newRow("odd width, padded rows") << PatternPicture(7, 3) << 6;
}

void TestWorkingPicture::changeHeight() {
    QFETCH(QImage, picture);
    QFETCH(int, height);
    const QImage result = ChangeHeight(picture, height);
    QCOMPARE(result.format(), QImage::Format_RGB888);
    QCOMPARE(result.width(), picture.width());
    QCOMPARE(result.height(), height);
    const int kept = qMin(height, picture.height());
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    QCOMPARE(result.copy(0, 0, result.width(), kept), rgb.copy(0, 0, rgb.width(), kept));
    QVERIFY(RowsAreWhite(result, kept));
}

void TestWorkingPicture::sizeLabel_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("label");
    QTest::newRow("1024 x 768") << 1024 << 768 << "BMP:2304 KB";
    QTest::newRow("1280 x 1024") << 1280 << 1024 << "BMP:3841 KB";
    QTest::newRow("800 x 600") << 800 << 600 << "BMP:1406 KB";
    QTest::newRow("long page, no int overflow") << 1024 << 44427 << "BMP:133338 KB";
    QTest::newRow("beyond 2^31 pixels") << 65536 << 65536 << "BMP:12588364 KB";
    QTest::newRow("nothing") << 0 << 0 << "BMP:0 KB";
}

void TestWorkingPicture::sizeLabel() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, label);
    QCOMPARE(BmpSizeLabel(width, height), label);
    if (qint64(width) * height < 10'000'000)
        QCOMPARE(BmpSizeLabel(QImage(width, height, QImage::Format_RGB888)), label);
}

QTEST_GUILESS_MAIN(TestWorkingPicture)
#include "tst_workingpicture.moc"
