// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestPictures.h"
#include "common/VistrelError.h"
#include "output/BmpFile.h"
#include "common/TargetFile.h"

#include <QDir>
#include <QTemporaryDir>
#include "support/FileSizeLimit.h"

#include <QtTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

enum class Failure { Throws, MissingFolder, BelowRegularFile, ReadOnlyFolder, FileSizeLimit };

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write the test file");
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                  QDir::System);
}


void WritePicture(QIODevice& device) {
    WriteBmp(PatternPicture(1024, 512), device);
}

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestTargetFile : public QObject {
    Q_OBJECT
private slots:
    void folderPart_data();
    void folderPart();
    void createsNestedFolders_data();
    void createsNestedFolders();
    void nameWithoutFolder();
    void cannotCreateBelowRegularFile();
    void writesAndReplaces();
    void failedWriteKeepsOlderFile_data();
    void failedWriteKeepsOlderFile();
};

void TestTargetFile::folderPart_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::newRow("nested") << "a/b/c.png"
                            << "a/b/";
    QTest::newRow("absolute") << "/tmp/out/x.jpg"
                              << "/tmp/out/";
    QTest::newRow("root") << "/x.png"
                          << "/";
    QTest::newRow("no folder") << "c.png"
                               << "";
    QTest::newRow("backslash is a character") << "a\\b.png"
                                              << "";
    QTest::newRow("colon is a character") << "c:page.png"
                                          << "";
    QTest::newRow("ends in slash") << "dir/"
                                   << "dir/";
    QTest::newRow("empty") << ""
                           << "";
}

void TestTargetFile::folderPart() {
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QCOMPARE(FolderPart(name), folder);
}

void TestTargetFile::createsNestedFolders_data() {
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("folder");
    QTest::newRow("three missing") << "a/b/c/x.png"
                                   << "a/b/c";
    QTest::newRow("already there") << "x.png"
                                   << ".";
    QTest::newRow("doubled slash") << "d//e/x.png"
                                   << "d/e";
    QTest::newRow("backslash in a folder name") << "f\\g/x.png"
                                                << "f\\g";
}

void TestTargetFile::createsNestedFolders() {
    QFETCH(QString, relative);
    QFETCH(QString, folder);
    QTemporaryDir dir;
    EnsureTargetFolder(dir.filePath(relative));
    QVERIFY(QFileInfo(dir.filePath(folder)).isDir());
    EnsureTargetFolder(dir.filePath(relative)); // a second call finds it there
}

void TestTargetFile::nameWithoutFolder() {
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    EnsureTargetFolder(QStringLiteral("c:\\pages\\x.png"));
    const QStringList entries = Entries(dir.path());
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(entries, QStringList());
}

void TestTargetFile::cannotCreateBelowRegularFile() {
    QTemporaryDir dir;
    WriteText(dir.filePath(QStringLiteral("file")), "x");
    const QString folder = dir.filePath(QStringLiteral("file/sub/"));
    try {
        EnsureTargetFolder(folder + QStringLiteral("x.png"));
        QFAIL("no error");
    } catch (const VistrelError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create folder \"%1\"").arg(folder));
    }
}

void TestTargetFile::writesAndReplaces() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.bin"));
    WriteFileAtomically(target, [](QIODevice& d) { d.write("first"); });
    QCOMPARE(ReadAll(target), QByteArray("first"));
    WriteFileAtomically(target, [](QIODevice& d) { d.write("second"); });
    QCOMPARE(ReadAll(target), QByteArray("second"));
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("out.bin")});
}

void TestTargetFile::failedWriteKeepsOlderFile_data() {
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the writer throws") << Failure::Throws << "The picture is empty";
    QTest::newRow("folder missing") << Failure::MissingFolder << "";
    QTest::newRow("folder below a regular file") << Failure::BelowRegularFile << "";
    QTest::newRow("read-only folder") << Failure::ReadOnlyFolder << "";
    QTest::newRow("disk full (file size limit)") << Failure::FileSizeLimit << "File too large";
}

void TestTargetFile::failedWriteKeepsOlderFile() {
    QFETCH(Failure, failure);
    QFETCH(QString, reason);
    if (failure == Failure::ReadOnlyFolder && geteuid() == 0)
        QSKIP("root writes into read-only folders");
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("page.bmp"));
    WriteText(old, "older picture");
    QString target = old;
    std::function<void(QIODevice&)> write = WritePicture;
    if (failure == Failure::Throws)
        write = [](QIODevice& d) {
            d.write("partial");
            WriteBmp(QImage(), d);
        };
    if (failure == Failure::MissingFolder)
        target = dir.filePath(QStringLiteral("missing/page.bmp"));
    if (failure == Failure::BelowRegularFile)
        target = old + QStringLiteral("/page.bmp");
    if (failure == Failure::ReadOnlyFolder)
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    QString message;
    {
        std::optional<FileSizeLimit> limit;
        if (failure == Failure::FileSizeLimit)
            limit.emplace(64 * 1024);
        try {
            WriteFileAtomically(target, write);
        } catch (const VistrelError& error) {
            message = error.message();
        }
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(message.startsWith(QStringLiteral("Cannot write %1: ").arg(target)),
             qPrintable(message));
    QVERIFY2(message.endsWith(reason), qPrintable(message));
    QCOMPARE(ReadAll(old), QByteArray("older picture"));
    QCOMPARE(Entries(dir.path()), QStringList{QStringLiteral("page.bmp")});
}

QTEST_GUILESS_MAIN(TestTargetFile)
#include "tst_targetfile.moc"
