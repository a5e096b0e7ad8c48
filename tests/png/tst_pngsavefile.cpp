#include "common/VistrelError.h"
#include "png/PngTestTools.h"
#include "png/pngimage.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
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

// Makes every write past the limit fail with EFBIG, as a full disk would (root ignores modes).
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

} // namespace

class TestPngSaveFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void unwritableTarget_data();
    void unwritableTarget();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
};

void TestPngSaveFile::roundTrip() {
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("page.png"));
    const QImage picture = PngTest::MakePicture(1001, 3001, 11);
    TPNGObject png;
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
    TPNGObject png;
    png.Assign(PngTest::MakePicture(3, 7, 1));
    QVERIFY_THROWS_EXCEPTION(VistrelError, png.SaveToFile(folder.filePath(relativeTarget)));
    QCOMPARE(ReadAll(folder.filePath(QStringLiteral("plain.txt"))), QByteArray("text"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"folder", "plain.txt"}));
    QVERIFY(QDir(folder.filePath(QStringLiteral("folder"))).isEmpty());
}

void TestPngSaveFile::failedWriteKeepsOldFile_data() {
    QTest::addColumn<bool>("assigned");
    QTest::addColumn<TPNGObject::TDeflatePath>("path");
    QTest::newRow("nothing to write") << false << TPNGObject::TDeflatePath::Sequential;
    QTest::newRow("disk full, sequential") << true << TPNGObject::TDeflatePath::Sequential;
    QTest::newRow("disk full, parallel") << true << TPNGObject::TDeflatePath::Parallel;
}

void TestPngSaveFile::failedWriteKeepsOldFile() {
    QFETCH(bool, assigned);
    QFETCH(TPNGObject::TDeflatePath, path);
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("page.png"));
    const QByteArray old("an older picture");
    WriteAll(target, old);
    TPNGObject png;
    png.SetDeflatePath(path);
    if (assigned) {
        png.Assign(PngTest::MakePicture(1001, 3001, 2));
    }
    {
        TFileSizeLimit limit(100000);
        QVERIFY_THROWS_EXCEPTION(VistrelError, png.SaveToFile(target));
    }
    QCOMPARE(ReadAll(target), old);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"page.png"});
}

QTEST_GUILESS_MAIN(TestPngSaveFile)
#include "tst_pngsavefile.moc"
