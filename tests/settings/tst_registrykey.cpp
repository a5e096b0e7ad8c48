// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VistrelError.h"
#include "settings/RegistryFile.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include "support/TestHelpers.h"

#include <QtTest>

#include <climits>
#include <functional>

namespace {

const QString kKey = SettingsKeyPath();
const QByteArray kSection = "[HKEY_LOCAL_MACHINE\\Software\\Dorwen Software\\Vistrel Pro]\n";
const QByteArray kHeader = "Windows Registry Editor Version 5.00\n\n";

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}


QString SettingsFile() {
    return RegistryKey::FilePath(QStringLiteral("HKEY_LOCAL_MACHINE"));
}

void OpenSettings(RegistryKey& key) {
    key.CreateKey(kKey);
    QVERIFY(key.OpenKey(kKey, true));
}

// Child modes, run by the tests as separate processes of this binary.
int RunChild(const QStringList& args) {
    RegistryKey key;
    key.CreateKey(kKey);
    if (!key.OpenKey(kKey, true)) {
        return 2;
    }
    if (args.value(0) == QLatin1String("write")) {
        const int count = args.value(2).toInt();
        for (int i = 0; i < count; ++i) {
            key.WriteInteger(args.value(1) + QString::number(i), i);
        }
        return 0;
    }
    // Writes until killed; a string of changing length makes each file a different size.
    for (int i = 0;; ++i) {
        key.WriteInteger(QStringLiteral("Counter"), i);
        key.WriteString(QStringLiteral("Text"), QString(i % 500, QLatin1Char('x')));
    }
}

} // namespace

class TestRegistryKey : public QObject {
    Q_OBJECT
private:
    QTemporaryDir* FDir = nullptr;
    QString Path(const QString& name) const { return FDir->filePath(name); }

private slots:
    void init() {
        FDir = new QTemporaryDir;
        QVERIFY(FDir->isValid());
        qputenv("XDG_CONFIG_HOME", Path(QStringLiteral("config")).toLocal8Bit());
    }
    void cleanup() {
        delete FDir;
        FDir = nullptr;
    }

    void integerRoundTrip_data() {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("resolution") << 2;
        QTest::newRow("automatic colour") << 536870912;
        QTest::newRow("minus one") << -1;
        QTest::newRow("lowest") << INT_MIN;
        QTest::newRow("highest") << INT_MAX;
    }
    void integerRoundTrip() {
        QFETCH(int, value);
        {
            RegistryKey key;
            OpenSettings(key);
            key.WriteInteger(QStringLiteral("Thumb_Color"), value);
        }
        RegistryKey key;
        QVERIFY(key.OpenKey(kKey, false));
        QCOMPARE(key.ReadInteger(QStringLiteral("Thumb_Color")), value);
        QCOMPARE(key.ReadBool(QStringLiteral("Thumb_Color")), value != 0);
    }

    void stringRoundTrip_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("quotes and backslashes") << QStringLiteral("C:\\a \"b\" \\\\c\\");
        QTest::newRow("ends in backslash") << QStringLiteral("folder\\");
        QTest::newRow("edge blanks") << QStringLiteral("  padded\t ");
        QTest::newRow("CJK") << QString::fromUtf8("无效数据类型");
        QTest::newRow("looks like a dword") << QStringLiteral("dword:00000001");
        QTest::newRow("section lookalike") << QStringLiteral("[HKEY_LOCAL_MACHINE\\X]");
    }
    void stringRoundTrip() {
        QFETCH(QString, value);
        {
            RegistryKey key;
            OpenSettings(key);
            key.WriteString(QStringLiteral("Name"), value);
            key.WriteInteger(QStringLiteral("After"), 5);
        }
        RegistryKey key;
        QVERIFY(key.OpenKey(kKey, false));
        QCOMPARE(key.ReadString(QStringLiteral("Name")), value);
        QCOMPARE(key.ReadInteger(QStringLiteral("After")), 5);
        QVERIFY(!RegistryFile::Parse(ReadAll(SettingsFile())).Damaged());
    }

    void exactTextOfFirstWrites() {
        QCOMPARE(SettingsFile(), Path(QStringLiteral("config/vistrel-pro/HKEY_LOCAL_MACHINE.reg")));
        RegistryKey key;
        OpenSettings(key);
        QCOMPARE(ReadAll(SettingsFile()), kHeader + kSection + "\n");
        key.WriteInteger(QStringLiteral("SR"), 2);
        QCOMPARE(ReadAll(SettingsFile()), kHeader + kSection + "\"SR\"=dword:00000002\n\n");
        key.WriteInteger(QStringLiteral("Thumb_Color"), -2);
        key.WriteString(QStringLiteral("Na\"me"), QStringLiteral("a\\b \"c\""));
        QCOMPARE(ReadAll(SettingsFile()), kHeader + kSection +
                                              "\"SR\"=dword:00000002\n"
                                              "\"Thumb_Color\"=dword:fffffffe\n"
                                              "\"Na\\\"me\"=\"a\\\\b \\\"c\\\"\"\n\n");
        QVERIFY(!QFile::exists(SettingsFile() + QStringLiteral(".lock")));
    }

    void readErrors_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asInteger");
        QTest::addColumn<QString>("error");
        const QString invalid = QString::fromUtf8("无效数据类型 ");
        QTest::newRow("string read as integer")
            << QByteArray("\"JPG Compression\"=\"85\"") << "JPG Compression" << true
            << invalid + "JPG Compression";
        QTest::newRow("integer read as string")
            << QByteArray("\"SR\"=dword:00000002") << "SR" << false << invalid + "SR";
        QTest::newRow("binary read as integer")
            << QByteArray("\"SR\"=hex:02,00,00,00") << "SR" << true << invalid + "SR";
        QTest::newRow("name in the caller's case")
            << QByteArray("\"ShowIE\"=\"1\"") << "SHOWIE" << true << invalid + "SHOWIE";
        QTest::newRow("missing integer") << QByteArray("\"SR\"=dword:00000002") << "Thumb_Size"
                                         << true << "Failed to get data for 'Thumb_Size'";
        QTest::newRow("missing string")
            << QByteArray() << "Name" << false << "Failed to get data for 'Name'";
    }
    void readErrors() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, name);
        QFETCH(bool, asInteger);
        QFETCH(QString, error);
        WriteAll(SettingsFile(), kHeader + kSection + stored +
                                     "\n\n[HKEY_LOCAL_MACHINE\\Other]\n\"" + name.toUtf8() +
                                     "\"=dword:00000001\n");
        RegistryKey key;
        QVERIFY(key.OpenKey(kKey, false));
        QCOMPARE(
            ErrorOf([&] { asInteger ? void(key.ReadInteger(name)) : void(key.ReadString(name)); }),
            error);
    }

    void unopenedKeyFailsEveryCall() {
        RegistryKey key;
        QVERIFY(!key.OpenKey(kKey, false));
        QVERIFY(!QFile::exists(SettingsFile()));
        QVERIFY(!key.ValueExists(QStringLiteral("SR")));
        QCOMPARE(ErrorOf([&] { key.ReadInteger(QStringLiteral("SR")); }),
                 QStringLiteral("Failed to get data for 'SR'"));
        QCOMPARE(ErrorOf([&] { key.WriteInteger(QStringLiteral("SR"), 1); }),
                 QStringLiteral("Failed to set data for 'SR'"));
        OpenSettings(key);
        key.CloseKey();
        QCOMPARE(ErrorOf([&] { key.WriteBool(QStringLiteral("ShowIE"), true); }),
                 QStringLiteral("Failed to set data for 'ShowIE'"));
    }

    void unknownValuesAndKeysSurviveWrites() {
        const QByteArray before = "; kept by hand\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Other Vendor]\n"
                                  "\"Path\"=\"/opt/other\"\n"
                                  "\n" +
                                  kSection.trimmed() +
                                  "\n"
                                  "\"Window\"=hex:01,02,03,\\\n"
                                  "  04,05\n"
                                  "; a comment between values\n"
                                  "\"SR\"=dword:00000001\n"
                                  "@=\"default value\"\n"
                                  "\"Expand\"=hex(2):25,00,00,00\n";
        WriteAll(SettingsFile(), kHeader + before);
        RegistryKey key;
        OpenSettings(key);
        key.WriteInteger(QStringLiteral("SR"), 3);
        key.WriteInteger(QStringLiteral("ShowIE"), 1);
        QCOMPARE(ReadAll(SettingsFile()), kHeader +
                                              "; kept by hand\n\n"
                                              "[HKEY_LOCAL_MACHINE\\Software\\Other Vendor]\n"
                                              "\"Path\"=\"/opt/other\"\n\n" +
                                              kSection +
                                              "\"Window\"=hex:01,02,03,\\\n"
                                              "  04,05\n"
                                              "; a comment between values\n"
                                              "\"SR\"=dword:00000003\n"
                                              "@=\"default value\"\n"
                                              "\"Expand\"=hex(2):25,00,00,00\n"
                                              "\"ShowIE\"=dword:00000001\n\n");
        QVERIFY(!QFile::exists(SettingsFile() + QStringLiteral(".bad")));
        QCOMPARE(key.ReadString(QString()), QStringLiteral("default value"));
    }

    void namesAndPathsIgnoreCase() {
        RegistryKey key;
        OpenSettings(key);
        key.WriteInteger(QStringLiteral("Thumb_Width"), 1);
        key.WriteInteger(QStringLiteral("THUMB_WIDTH"), 2);
        QCOMPARE(ReadAll(SettingsFile()),
                 kHeader + kSection + "\"Thumb_Width\"=dword:00000002\n\n");
        RegistryKey other;
        other.CreateKey(kKey.toUpper());
        QVERIFY(other.OpenKey(QStringLiteral("\\software\\DORWEN software\\vistrel pro"), false));
        QCOMPARE(other.ReadInteger(QStringLiteral("thumb_width")), 2);
        QVERIFY(other.ValueExists(QStringLiteral("tHUMB_wIDTH")));
        QCOMPARE(ReadAll(SettingsFile()).count('['), 1);
    }

    void keyPaths_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("isSettingsKey");
        QTest::newRow("parent exists through its child") << "\\Software"
                                                         << "" << true << false;
        QTest::newRow("relative to the current key") << "\\Software\\Dorwen Software"
                                                     << "Vistrel Pro" << true << true;
        QTest::newRow("absolute after another key") << "\\Software" << kKey << true << true;
        QTest::newRow("trailing backslash") << kKey + "\\"
                                            << "" << true << true;
        QTest::newRow("empty component") << "\\Software\\\\Dorwen Software"
                                         << "" << false << false;
        QTest::newRow("a sibling that is not there") << "\\Software\\Dorwen"
                                                     << "" << false << false;
        QTest::newRow("line break") << "\\Software\nX"
                                    << "" << false << false;
    }
    void keyPaths() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, opens);
        QFETCH(bool, isSettingsKey);
        {
            RegistryKey key;
            OpenSettings(key);
            key.WriteInteger(QStringLiteral("SR"), 3);
        }
        const QByteArray before = ReadAll(SettingsFile());
        RegistryKey key;
        bool opened = key.OpenKey(first, false);
        if (!second.isEmpty()) {
            opened = opened && key.OpenKey(second, false);
        }
        QCOMPARE(opened, opens);
        QCOMPARE(key.ValueExists(QStringLiteral("SR")), isSettingsKey);
        QCOMPARE(ReadAll(SettingsFile()), before);
    }

    void damagedFileKeptAside_data() {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QStringList>("carried");
        const QStringList both{"SR", "Thumb_Width"};
        QTest::newRow("garbage line") << kSection + "\"SR\"=dword:00000003\ngarbage here\n"
                                                    "\"Thumb_Width\"=dword:00000004\n"
                                      << both;
        QTest::newRow("unterminated string")
            << kSection + "\"SR\"=dword:00000003\n\"A\"=\"abc\n\"Thumb_Width\"=dword:4\n"
            << both;
        QTest::newRow("unknown escape")
            << kSection + "\"A\"=\"a\\qb\"\n\"SR\"=dword:3\n\"Thumb_Width\"=dword:4\n"
            << both;
        QTest::newRow("bad dword")
            << kSection + "\"SR\"=dword:3\n\"Thumb_Width\"=dword:4\n\"X\"=dword:123456789\n"
            << both;
        QTest::newRow("value before any key")
            << "\"Y\"=dword:00000001\n" + kSection + "\"SR\"=dword:3\n\"Thumb_Width\"=dword:4\n"
            << both;
        QTest::newRow("broken header drops only its values")
            << kSection + "\"SR\"=dword:3\n\"Thumb_Width\"=dword:4\n[HKEY_LOCAL_MACHINE\\Broken\n"
                          "\"SR\"=dword:00000009\n"
            << both;
        QTest::newRow("bytes that are not UTF-8")
            << kSection + "\"SR\"=dword:3\n\"Label\"=\"\xff\xfe\"\n\"Thumb_Width\"=dword:4\n"
            << both;
        QTest::newRow("binary value cut off at the end")
            << kSection +
                   "\"SR\"=dword:3\n\"Thumb_Width\"=dword:4\n\"Window\"=hex:01,02,\\\n  03,\\"
            << both;
        QTest::newRow("truncated mid-line")
            << kSection + "\"SR\"=dword:3\n\"Thumb_W" << QStringList{"SR"};
    }
    void damagedFileKeptAside() {
        QFETCH(QByteArray, damaged);
        QFETCH(QStringList, carried);
        const QByteArray original = kHeader + damaged;
        WriteAll(SettingsFile(), original);
        RegistryKey key;
        OpenSettings(key);
        // Reading alone changes nothing: the values that can be read are there.
        QCOMPARE(key.ReadInteger(QStringLiteral("SR")), 3);
        QCOMPARE(ReadAll(SettingsFile()), original);
        QVERIFY(!QFile::exists(SettingsFile() + QStringLiteral(".bad")));

        key.WriteBool(QStringLiteral("ShowIE"), true);
        QCOMPARE(ReadAll(SettingsFile() + QStringLiteral(".bad")), original);
        QVERIFY(!RegistryFile::Parse(ReadAll(SettingsFile())).Damaged());
        for (int i = 0; i < carried.size(); ++i) {
            QCOMPARE(key.ReadInteger(carried[i]), i + 3);
        }
        QVERIFY(key.ReadBool(QStringLiteral("ShowIE")));
    }

    void earlierBadFileNotOverwritten() {
        const QByteArray first = kHeader + kSection + "first damage\n";
        const QByteArray second = kHeader + kSection + "second damage\n";
        const QString bad = SettingsFile() + QStringLiteral(".bad");
        RegistryKey key;
        for (const QByteArray& damaged : {first, second, first}) {
            WriteAll(SettingsFile(), damaged);
            OpenSettings(key);
            key.WriteInteger(QStringLiteral("SR"), 1);
        }
        QCOMPARE(ReadAll(bad), first);
        QCOMPARE(ReadAll(bad + QStringLiteral(".1")), second);
        QVERIFY(!QFile::exists(bad + QStringLiteral(".2")));
    }

    void keyCannotBeCreated_data() {
        QTest::addColumn<QString>("configHome");
        QTest::addColumn<QString>("root");
        QTest::newRow("config below a regular file") << "plain-file/config"
                                                     << "HKEY_LOCAL_MACHINE";
        QTest::newRow("settings file is a folder") << "folder-config"
                                                   << "HKEY_LOCAL_MACHINE";
        QTest::newRow("no such root") << "config"
                                      << "HKEY_../../x";
    }
    void keyCannotBeCreated() {
        QFETCH(QString, configHome);
        QFETCH(QString, root);
        WriteAll(Path(QStringLiteral("plain-file")), "x");
        QDir().mkpath(Path(QStringLiteral("folder-config/vistrel-pro/HKEY_LOCAL_MACHINE.reg")));
        qputenv("XDG_CONFIG_HOME", Path(configHome).toLocal8Bit());
        RegistryKey key(root);
        QCOMPARE(ErrorOf([&] { key.CreateKey(kKey); }),
                 QStringLiteral("Failed to create key \\Software\\Dorwen Software\\Vistrel Pro"));
        QVERIFY(!key.OpenKey(kKey, true));
        QCOMPARE(ErrorOf([&] { key.WriteInteger(QStringLiteral("SR"), 2); }),
                 QStringLiteral("Failed to set data for 'SR'"));
    }

    void writeFailsAfterOpening() {
        RegistryKey key;
        OpenSettings(key);
        key.WriteInteger(QStringLiteral("SR"), 2);
        // Root can write anywhere, so the folder is made impossible rather than read-only.
        QVERIFY(QDir(Path(QStringLiteral("config"))).removeRecursively());
        WriteAll(Path(QStringLiteral("config")), "now a file");
        QCOMPARE(ErrorOf([&] { key.WriteBool(QStringLiteral("ShowIE"), false); }),
                 QStringLiteral("Failed to set data for 'ShowIE'"));
        QCOMPARE(ErrorOf([&] { key.ReadInteger(QStringLiteral("SR")); }),
                 QStringLiteral("Failed to get data for 'SR'"));
    }

    void largeFileReadsWhole() {
        // Many keys and values, each name repeated in another case further on: the later wins.
        QByteArray text = kHeader;
        for (int i = 0; i < 20000; ++i) {
            text += "[HKEY_LOCAL_MACHINE\\Software\\Key " + QByteArray::number(i) + "]\n";
        }
        text += kSection;
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 50000; ++i) {
                const QByteArray name = round == 0 ? "value " : "VALUE ";
                text += '"' + name + QByteArray::number(i) +
                        "\"=dword:" + QByteArray::number(i + round, 16) + '\n';
            }
        }
        text += "[hkey_local_machine\\software\\key 19999]\n\"SR\"=dword:7\n";
        WriteAll(SettingsFile(), text);
        RegistryKey key;
        OpenSettings(key);
        QCOMPARE(key.ReadInteger(QStringLiteral("value 0")), 1);
        QCOMPARE(key.ReadInteger(QStringLiteral("Value 49999")), 50000);
        QVERIFY(key.OpenKey(QStringLiteral("\\Software\\Key 19999"), false));
        QCOMPARE(key.ReadInteger(QStringLiteral("SR")), 7);
        key.WriteInteger(QStringLiteral("SR"), 8);
        const QByteArray written = ReadAll(SettingsFile());
        QCOMPARE(written.count("\n[HKEY_LOCAL_MACHINE\\Software\\Key "), 20000);
        QCOMPARE(written.count("\n\"VALUE "), 50000);
    }

    void unwritableTextsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("line break in value") << "Name"
                                             << "two\nlines";
        QTest::newRow("carriage return in value") << "Name"
                                                  << "a\rb";
        QTest::newRow("line break in name") << "Na\nme"
                                            << "x";
    }
    void unwritableTextsRefused() {
        QFETCH(QString, name);
        QFETCH(QString, value);
        RegistryKey key;
        OpenSettings(key);
        key.WriteInteger(QStringLiteral("SR"), 2);
        const QByteArray before = ReadAll(SettingsFile());
        QCOMPARE(ErrorOf([&] { key.WriteString(name, value); }),
                 QStringLiteral("Failed to set data for '%1'").arg(name));
        QCOMPARE(ReadAll(SettingsFile()), before);
    }

    void twoWritersLoseNothing() {
        const int count = 40;
        QList<QProcess*> children;
        for (const QString& prefix : {QStringLiteral("A"), QStringLiteral("B")}) {
            auto* child = new QProcess(this);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("--child"), QStringLiteral("write"), prefix,
                          QString::number(count)});
            children << child;
        }
        for (QProcess* child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitCode(), 0);
            delete child;
        }
        RegistryKey key;
        QVERIFY(key.OpenKey(kKey, false));
        for (int i = 0; i < count; ++i) {
            QCOMPARE(key.ReadInteger(QStringLiteral("A%1").arg(i)), i);
            QCOMPARE(key.ReadInteger(QStringLiteral("B%1").arg(i)), i);
        }
        QVERIFY(!RegistryFile::Parse(ReadAll(SettingsFile())).Damaged());
    }

    void killedWriterLeavesParseableFile() {
        for (int round = 0; round < 8; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child"), QStringLiteral("loop")});
            QVERIFY(child.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(SettingsFile()), 20000);
            QTest::qWait(20 + QRandomGenerator::global()->bounded(120));
            child.kill();
            QVERIFY(child.waitForFinished());
            const RegistryFile file = RegistryFile::Parse(ReadAll(SettingsFile()));
            QVERIFY2(!file.Damaged(), qPrintable(QStringLiteral("round %1").arg(round)));
            // The dead child's lock is stale: the next writer must not be shut out.
            RegistryKey key;
            QVERIFY(key.OpenKey(kKey, false));
            key.WriteInteger(QStringLiteral("After"), round);
            QCOMPARE(key.ReadInteger(QStringLiteral("After")), round);
        }
        QVERIFY(!QFile::exists(SettingsFile() + QStringLiteral(".bad")));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--child")) {
        try {
            return RunChild(args.mid(2));
        } catch (const VistrelError& error) {
            fprintf(stderr, "%s\n", qPrintable(error.message()));
            return 1;
        }
    }
    TestRegistryKey test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registrykey.moc"
