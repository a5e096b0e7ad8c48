// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineJob.h"
#include "cli/CommandLineMessage.h"
#include "cli/CommandLineMode.h"
#include "cli/CommandLineNames.h"
#include "cli/CommandLinePaths.h"
#include "cli/CommandLineSwitch.h"
#include "cli/CommandLineValues.h"
#include "cli/CookieFile.h"
#include "cli/ExitCodes.h"
#include "cli/PreparedJob.h"
#include "cli/Usage.h"
#include "common/CommandLineSplit.h"
#include "common/TargetFile.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include <optional>

Q_DECLARE_METATYPE(CmdSwitch)
Q_DECLARE_METATYPE(CmdFileFormat)
Q_DECLARE_METATYPE(StartMode)
Q_DECLARE_METATYPE(BrowserEngine)

namespace {

// The controls that differ from the defaults, each as " name:value".
QString DescribeControls(const CaptureControls& c) {
    QString text;
    const auto add = [&text](const char* name, const QString& value, bool set) {
        if (set)
            text += QStringLiteral(" %1:%2").arg(QLatin1String(name), value);
    };
    add("wait-for", c.waitForSelector, !c.waitForSelector.isEmpty());
    add("until", c.waitUntilScript, !c.waitUntilScript.isEmpty());
    add("delay", QString::number(c.delayMs), c.delayMs != 0);
    add("script", c.pageScript, !c.pageScript.isEmpty());
    add("hide", c.hiddenSelectors.join(u'|'), !c.hiddenSelectors.isEmpty());
    add("element", c.elementSelector + u'/' + QString::number(c.elementPadding),
        !c.elementSelector.isEmpty() || c.elementPadding != 0);
    add("scale", QString::number(c.scale), c.scale != 1);
    add("ua", c.userAgent, !c.userAgent.isEmpty());
    QStringList headers;
    for (const HttpHeader& header : c.headers)
        headers << QString::fromUtf8(header.name + '=' + header.value);
    add("headers", headers.join(u'|'), !headers.isEmpty());
    add("scheme", c.colorScheme == ColorScheme::Dark ? "dark" : "light",
        c.colorScheme != ColorScheme::PageDefault);
    add("reduced-motion", "1", c.reducedMotion);
    add("fail-on-http-error", "1", c.failOnHttpError);
    return text;
}

// The job in one line: address, size, picture crop and quality, thumbnail options, files and
// load limit.
QString Describe(const CaptureJob& job) {
    const PictureOptions& p = job.picture;
    const ThumbnailOptions& t = p.thumbnail;
    return QStringList{
               job.address,
               QStringLiteral("%1x%2").arg(job.browserSize.width()).arg(job.browserSize.height()),
               QStringLiteral("crop:%1/%2 q:%3").arg(p.crop).arg(p.cropHeight).arg(p.jpegQuality),
               QStringLiteral("thumb:%1 %2x%3 %4% crop:%5/%6 smooth:%7 border:%8/%9")
                   .arg(t.byWidthAndHeight ? "size" : "percent")
                   .arg(t.width)
                   .arg(t.height)
                   .arg(t.percent)
                   .arg(t.crop)
                   .arg(t.cropHeight)
                   .arg(t.smooth)
                   .arg(t.border)
                   .arg(t.borderColor, 0, 16),
               QStringLiteral("files:%1|%2|%3")
                   .arg(job.pictureFile, job.thumbnailFile)
                   .arg(job.makeThumbnail),
               QStringLiteral("w:%1").arg(job.loadTimeLimitSeconds)}
               .join(u' ') +
           (job.keepFixedElements ? QStringLiteral(" every-screen") : QString()) +
           DescribeControls(job.controls);
}

// -1 stands for "no value" in the data rows.
int OrMinus(const std::optional<int>& value) {
    return value ? *value : -1;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void splitText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("plain") << "prog /u:a /p:b.png" << QStringList{"prog", "/u:a", "/p:b.png"};
        QTest::newRow("quoted path with spaces")
            << "prog \"/p:/home/me/My Pictures/a.png\" /t:"
            << QStringList{"prog", "/p:/home/me/My Pictures/a.png", "/t:"};
        QTest::newRow("quotes inside an argument")
            << "/p:\"My Shots\"/a.png x" << QStringList{"/p:My Shots/a.png", "x"};
        QTest::newRow("empty pair at start") << "\"\" prog /u:a" << QStringList{"prog", "/u:a"};
        QTest::newRow("empty pair glued to start") << "\"\"prog" << QStringList{"prog"};
        QTest::newRow("empty pairs between")
            << "prog \"\" \"\"\"\" /u:a \"\"" << QStringList{"prog", "/u:a"};
        QTest::newRow("empty pair inside argument") << "a\"\"b" << QStringList{"ab"};
        QTest::newRow("tabs and line breaks")
            << "\tprog\t/u:a\r\n/p:b\x01/t" << QStringList{"prog", "/u:a", "/p:b", "/t"};
        QTest::newRow("tab kept inside quotes") << "\"a\tb\"" << QStringList{"a\tb"};
        QTest::newRow("non-ASCII kept")
            << QString::fromUtf8("prog /p:截图/页 é\u00a0x")
            << QStringList{"prog", QString::fromUtf8("/p:截图/页"), QString::fromUtf8("é\u00a0x")};
        QTest::newRow("surrogate pair kept") << QString::fromUtf8("/p:\U0001F600.png")
                                             << QStringList{QString::fromUtf8("/p:\U0001F600.png")};
        QTest::newRow("unterminated quote") << "prog \"/p:a b" << QStringList{"prog", "/p:a b"};
        QTest::newRow("lone quote at end") << "prog \"" << QStringList{"prog"};
        QTest::newRow("three quotes") << "prog \"\"\" b" << QStringList{"prog", " b"};
        QTest::newRow("only blanks") << " \t  " << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("NUL ends the text")
            << QString::fromLatin1("a b\0c d", 7) << QStringList{"a", "b"};
    }
    void splitText() {
        QFETCH(QString, text);
        QFETCH(QStringList, arguments);
        QCOMPARE(ParseCommandLineText(text), arguments);
    }

    void extractParamPositions_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("next");
        QTest::newRow("stops on the separator") << "ab cd" << 0 << "ab" << 2;
        QTest::newRow("skips leading separators") << "ab   cd" << 2 << "cd" << 7;
        QTest::newRow("closing quote at end") << "\"a b\"" << 0 << "a b" << 5;
        QTest::newRow("used up") << "ab  " << 2 << "" << 4;
        QTest::newRow("beyond the end") << "ab" << 10 << "" << 2;
        QTest::newRow("negative start") << "ab" << -5 << "ab" << 2;
    }
    void extractParamPositions() {
        QFETCH(QString, text);
        QFETCH(int, position);
        QString argument = QStringLiteral("stale");
        QTEST(ExtractParam(text, position, argument), "next");
        QTEST(argument, "argument");
    }

    // The windows' list drops every empty argument; the start-up keeps a long option's value.
    void splitArgv_data() {
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("atStartUp");
        const QStringList given{"/bin/vp", "/p:My Shots/a.png", "\"x\""};
        QTest::newRow("taken as given") << given << given << given;
        QTest::newRow("empty arguments dropped")
            << QStringList{"vp", "", "/u:a", ""} << QStringList{"vp", "/u:a"}
            << QStringList{"vp", "/u:a"};
        QTest::newRow("an empty value of a long option")
            << QStringList{"vp", "--wait-for", "", "/u:a", "--hide", ""}
            << QStringList{"vp", "--wait-for", "/u:a", "--hide"}
            << QStringList{"vp", "--wait-for", "", "/u:a", "--hide", ""};
        QTest::newRow("an option given as a value or with =, then an empty one")
            << QStringList{"vp", "--script", "--wait-for", "", "--delay=5", ""}
            << QStringList{"vp", "--script", "--wait-for", "--delay=5"}
            << QStringList{"vp", "--script", "--wait-for", "--delay=5"};
        QTest::newRow("no argv at all")
            << QStringList{} << QStringList{QString()} << QStringList{QString()};
    }
    void splitArgv() {
        QFETCH(QStringList, argv);
        QTEST(ParseCommandLine(argv), "list");
        QTEST(WithoutEmptyArguments(argv), "atStartUp");
    }

    void startMode_data() {
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<StartMode>("mode");
        QTest::newRow("none") << QStringList{"vp"} << StartMode::Normal;
        QTest::newRow("empty one dropped") << QStringList{"vp", ""} << StartMode::Normal;
        QTest::newRow("one /p") << QStringList{"vp", "/p:file.png"} << StartMode::OneArgument;
        QTest::newRow("two") << QStringList{"vp", "/u:a", "/p:b.png"} << StartMode::Unattended;
        QTest::newRow("two unknown") << QStringList{"vp", "x", "y"} << StartMode::Unattended;
        QTest::newRow("--help") << QStringList{"vp", "--help"} << StartMode::Help;
        QTest::newRow("-h") << QStringList{"vp", "-h"} << StartMode::Help;
        QTest::newRow("--version") << QStringList{"vp", "--version"} << StartMode::Version;
        QTest::newRow("--help among others")
            << QStringList{"vp", "--help", "/p:a.png"} << StartMode::Unattended;
        QTest::newRow("/h is a switch") << QStringList{"vp", "/h"} << StartMode::OneArgument;
        QTest::newRow("a long option's value counts")
            << QStringList{"vp", "--wait-for", "#main"} << StartMode::Unattended;
        QTest::newRow("a flag alone")
            << QStringList{"vp", "--reduced-motion"} << StartMode::OneArgument;
    }
    void startMode() {
        QFETCH(QStringList, argv);
        QTEST(StartModeFor(ParseCommandLine(argv)), "mode");
    }

    // --no-sandbox does not count as an argument of the run, wherever it stands.
    void noSandboxTakenOut_data() {
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<StartMode>("mode");
        QTest::newRow("with one /u")
            << QStringList{"vp", "--no-sandbox", "/u:a"} << true << StartMode::OneArgument;
        QTest::newRow("twice, with --version")
            << QStringList{"vp", "--version", "--no-sandbox", "--no-sandbox"} << true
            << StartMode::Version;
        QTest::newRow("unattended") << QStringList{"vp", "/u:a", "/p:b.png", "--no-sandbox"} << true
                                    << StartMode::Unattended;
        QTest::newRow("another spelling is an argument")
            << QStringList{"vp", "--no-sandbox=yes", "/u:a"} << false << StartMode::Unattended;
        QTest::newRow("a script's text stays")
            << QStringList{"vp", "--script", "--no-sandbox", "--no-sandbox"} << true
            << StartMode::Unattended;
    }
    void noSandboxTakenOut() {
        QFETCH(QStringList, argv);
        QFETCH(bool, taken);
        const bool asValue = argv.contains(QStringLiteral("--script"));
        QCOMPARE(TakeNoSandboxSwitch(argv), taken);
        QTEST(StartModeFor(argv), "mode");
        QCOMPARE(argv.count(QStringLiteral("--no-sandbox")), asValue ? 1 : 0);
    }

    void switches_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<CmdSwitch>("kind");
        QTest::addColumn<QString>("value");
        QTest::newRow("/u") << "/u:https://example.org/a?b=c" << CmdSwitch::Url
                            << "https://example.org/a?b=c";
        QTest::newRow("/p colon") << "/p:shots/page.png" << CmdSwitch::PicFile << "shots/page.png";
        QTest::newRow("/p equals") << "/p=shots/page.png" << CmdSwitch::PicFile << "shots/page.png";
        QTest::newRow("any separator") << "/pXshots" << CmdSwitch::PicFile << "shots";
        QTest::newRow("separator only once") << "/p::a" << CmdSwitch::PicFile << ":a";
        QTest::newRow("/t empty") << "/t:" << CmdSwitch::ThumbFile << "";
        QTest::newRow("/t bare") << "/t" << CmdSwitch::ThumbFile << "";
        QTest::newRow("/r") << "/r:1" << CmdSwitch::Resolution << "1";
        QTest::newRow("/s") << "/s:200:150" << CmdSwitch::ThumbSize << "200:150";
        QTest::newRow("/b") << "/b:#FF0000" << CmdSwitch::Border << "#FF0000";
        QTest::newRow("/h has no value") << "/h:whatever" << CmdSwitch::Hide << "";
        QTest::newRow("/w") << "/w:20" << CmdSwitch::LoadLimit << "20";
        QTest::newRow("/cp") << "/cp:3000" << CmdSwitch::CropPicture << "3000";
        QTest::newRow("/ct") << "/ct=12" << CmdSwitch::CropThumb << "12";
        QTest::newRow("/cp bare") << "/cp" << CmdSwitch::CropPicture << "";
        QTest::newRow("/c alone") << "/c:5" << CmdSwitch::None << "";
        QTest::newRow("/cx") << "/cx:5" << CmdSwitch::None << "";
        QTest::newRow("/CP upper") << "/CP:5" << CmdSwitch::None << "";
        QTest::newRow("/U upper") << "/U:https://example.org/" << CmdSwitch::None << "";
        QTest::newRow("/P upper") << "/P:a.png" << CmdSwitch::None << "";
        QTest::newRow("dash") << "-p:a.png" << CmdSwitch::None << "";
        QTest::newRow("leading space") << " /p:a.png" << CmdSwitch::None << "";
        QTest::newRow("slash alone") << "/" << CmdSwitch::None << "";
        QTest::newRow("--help") << "--help" << CmdSwitch::None << "";
        QTest::newRow("/e") << "/e:Qt" << CmdSwitch::Engine << "Qt";
        QTest::newRow("/E upper") << "/E:qt" << CmdSwitch::None << "";
        QTest::newRow("--no-sandbox") << "--no-sandbox" << CmdSwitch::NoSandbox << "";
        QTest::newRow("--no-sandbox only whole") << "--no-sandbox=1" << CmdSwitch::None << "";
    }
    void switches() {
        QFETCH(QString, argument);
        const CmdArgument read = ReadSwitch(argument);
        QTEST(read.kind, "kind");
        QTEST(read.value, "value");
    }

    void integers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1 also for errors; see the "minus one" row
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << "3000" << 3000 << true;
        QTest::newRow("plus") << "+5" << 5 << true;
        QTest::newRow("minus") << "-3" << -3 << true;
        QTest::newRow("minus one") << "-1" << -1 << true;
        QTest::newRow("leading zeros") << "007" << 7 << true;
        QTest::newRow("largest") << "2147483647" << 2147483647 << true;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1) << true;
        QTest::newRow("one over") << "2147483648" << -1 << false;
        QTest::newRow("one under") << "-2147483649" << -1 << false;
        QTest::newRow("huge") << "99999999999999999999999" << -1 << false;
        QTest::newRow("letters") << "abc" << -1 << false;
        QTest::newRow("empty") << "" << -1 << false;
        QTest::newRow("sign alone") << "-" << -1 << false;
        QTest::newRow("two signs") << "+-5" << -1 << false;
        QTest::newRow("trailing text") << "12px" << -1 << false;
        QTest::newRow("leading blank") << " 12" << -1 << false;
        QTest::newRow("trailing blank") << "12 " << -1 << false;
        QTest::newRow("hex") << "0x10" << -1 << false;
        QTest::newRow("decimal point") << "1.5" << -1 << false;
        QTest::newRow("non-ASCII digits") << QString::fromUtf8("١٢") << -1 << false;
    }
    void integers() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(bool, ok);
        const auto read = ReadInteger(text);
        QCOMPARE(read.has_value(), ok);
        QCOMPARE(OrMinus(read), value);
    }

    void hexToColor_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<bool>("ok");
        QTest::newRow("red") << "#FF0000" << quint32(255) << true;
        QTest::newRow("green") << "#00FF00" << quint32(65280) << true;
        QTest::newRow("blue") << "#0000FF" << quint32(16711680) << true;
        QTest::newRow("lower case") << "#0a0b0c" << quint32(0x0c0b0a) << true;
        QTest::newRow("white") << "#FFFFFF" << quint32(0xFFFFFF) << true;
        QTest::newRow("extra characters ignored") << "#123456zz" << quint32(0x563412) << true;
        QTest::newRow("first char not looked at") << "X102030" << quint32(0x302010) << true;
        QTest::newRow("no hash still skips first") << "FF0000" << quint32(0xF0) << true;
        QTest::newRow("blue cut short") << "#FFFFF" << quint32(0x0FFFFF) << true;
        QTest::newRow("one char only") << "#F" << quint32(0) << false;
        QTest::newRow("green cut short, blue empty") << "#FFF" << quint32(0) << false;
        QTest::newRow("not hex") << "#GG0000" << quint32(0) << false;
        QTest::newRow("not hex in blue") << "#0000G0" << quint32(0) << false;
        QTest::newRow("sign is no digit") << "#-10000" << quint32(0) << false;
        QTest::newRow("hash only") << "#" << quint32(0) << false;
        QTest::newRow("empty") << "" << quint32(0) << false;
    }
    void hexToColor() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        bool converted = !ok; // so a reader that leaves *ok alone fails
        QTEST(HexToColor(text, &converted), "colour");
        QCOMPARE(converted, ok);
        QTEST(HexToColor(text), "colour");
    }

    void thumbSize_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("both") << "200:150" << 200 << 150;
        QTest::newRow("beyond the limits still read") << "2000:2000" << 2000 << 2000;
        QTest::newRow("no colon") << "200" << -1 << -1;
        QTest::newRow("bad width hides height") << "x:150" << -1 << -1;
        QTest::newRow("bad height") << "200:x" << 200 << -1;
        QTest::newRow("empty height") << "200:" << 200 << -1;
        QTest::newRow("second colon") << "200:150:9" << 200 << -1;
        QTest::newRow("empty") << "" << -1 << -1;
        QTest::newRow("colon only") << ":" << -1 << -1;
    }
    void thumbSize() {
        QFETCH(QString, value);
        const ThumbSizeValue size = ReadThumbSize(value);
        QTEST(OrMinus(size.width), "width");
        QTEST(OrMinus(size.height), "height");
    }

    void resolution_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("button");
        QTest::newRow("1") << "1"
                           << "1" << 1;
        QTest::newRow("3") << "3"
                           << "3" << 3;
        QTest::newRow("empty means 2") << ""
                                       << "2" << 2;
        QTest::newRow("7 names none") << "7"
                                      << "7" << 0;
        QTest::newRow("padded names none") << " 1"
                                           << " 1" << 0;
        QTest::newRow("01 names none") << "01"
                                       << "01" << 0;
    }
    void resolution() {
        QFETCH(QString, value);
        QFETCH(QString, kept);
        QCOMPARE(CmdResolutionText(value), kept);
        QTEST(ResolutionChoice(kept), "button");
    }

    void loadLimit_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("20") << "20" << 20 << 20000;
        QTest::newRow("0 is none") << "0" << 0 << 0;
        QTest::newRow("negative refused") << "-5" << -1 << 0;
        QTest::newRow("unreadable") << "soon" << -1 << 0;
        QTest::newRow("empty") << "" << -1 << 0;
        QTest::newRow("largest ms") << "2147483" << 2147483 << 2147483000;
        QTest::newRow("held at int range") << "2147484" << 2147484 << 2147483647;
        QTest::newRow("largest int") << "2147483647" << 2147483647 << 2147483647;
    }
    void loadLimit() {
        QFETCH(QString, value);
        QFETCH(int, seconds);
        const auto read = ReadLoadLimit(value);
        QCOMPARE(OrMinus(read), seconds);
        if (read) {
            QTEST(LoadLimitMilliseconds(*read), "milliseconds");
        }
    }

    void thumbnailName_data() {
        QTest::addColumn<QString>("picFile");
        QTest::addColumn<QString>("thumbFile");
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "shots/page.png"
                             << ""
                             << "shots/page_thumb.png";
        QTest::newRow("jpg") << "/out/page.jpg"
                             << ""
                             << "/out/page_thumb.jpg";
        QTest::newRow("four-letter suffix") << "a.jpeg"
                                            << ""
                                            << "a._thumbjpeg";
        QTest::newRow("five chars") << "abcde"
                                    << ""
                                    << "a_thumbbcde";
        QTest::newRow("four chars") << "abcd"
                                    << ""
                                    << "_thumbabcd";
        QTest::newRow("three chars") << "a.b"
                                     << ""
                                     << "_thumba.b";
        QTest::newRow("empty") << ""
                               << ""
                               << "_thumb";
        QTest::newRow("own name wins") << "shots/page.png"
                                       << "small.bmp"
                                       << "small.bmp";
    }
    void thumbnailName() {
        QFETCH(QString, picFile);
        QFETCH(QString, thumbFile);
        QTEST(ThumbnailFileName(picFile, thumbFile), "name");
    }

    void formatKeys_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<CmdFileFormat>("format");
        QTest::newRow("bmp") << "a/b.bmp"
                             << "bmp" << CmdFileFormat::Bmp;
        QTest::newRow("png") << "b.png"
                             << "png" << CmdFileFormat::Png;
        QTest::newRow("jpg") << "page_thumb.jpg"
                             << "jpg" << CmdFileFormat::Jpg;
        QTest::newRow("no dot needed") << "shotpng"
                                       << "png" << CmdFileFormat::Png;
        QTest::newRow("upper JPG") << "/out/PAGE.JPG"
                                   << "JPG" << CmdFileFormat::Unknown;
        QTest::newRow("mixed Png") << "a.Png"
                                   << "Png" << CmdFileFormat::Unknown;
        QTest::newRow("jpeg") << "a.jpeg"
                              << "peg" << CmdFileFormat::Unknown;
        QTest::newRow("gif") << "a.gif"
                             << "gif" << CmdFileFormat::Unknown;
        QTest::newRow("two chars") << "ng"
                                   << "ng" << CmdFileFormat::Unknown;
        QTest::newRow("empty") << ""
                               << "" << CmdFileFormat::Unknown;
        QTest::newRow("exactly png") << "png"
                                     << "png" << CmdFileFormat::Png;
    }
    void formatKeys() {
        QFETCH(QString, name);
        QTEST(FormatKey(name), "key");
        QTEST(FormatOfName(name), "format");
    }

    void spaceBackslash_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("folder");
        QTest::newRow("space then backslash") << "/tmp/shots/dir \\a.png" << true << "/tmp/shots/";
        QTest::newRow("bare name") << "dir \\a.png" << true << "";
        QTest::newRow("windows style") << "C:\\dir \\a.png" << true << "";
        QTest::newRow("space then slash allowed") << "/tmp/dir /a.png" << false << "/tmp/dir /";
        QTest::newRow("backslash then space") << "/tmp/a\\ b.png" << false << "/tmp/";
        QTest::newRow("spaces in name") << "/tmp/My Pictures/a.png" << false << "/tmp/My Pictures/";
        QTest::newRow("trailing slash") << "/tmp/x/" << false << "/tmp/x/";
    }
    void spaceBackslash() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QTEST(HasSpaceBeforeBackslash(path), "refused");
        QCOMPARE(FolderPart(path), folder);
    }

    void cannotCreateFolderText() {
        const QString spaces(13, u' ');
        QCOMPARE(CannotCreateFolderMessage("/tmp/shots/dir \\a.png"),
                 "Sorry, cannot create folder" + spaces + "\r\n\" /tmp/shots/ \"");
        QCOMPARE(CannotCreateFolderMessage("dir \\a.png"),
                 "Sorry, cannot create folder" + spaces + "\r\n\"  \"");
    }

    void stderrLine_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << "page could not be loaded"
                               << "vistrel-pro: page could not be loaded\n";
        QTest::newRow("folder box text")
            << CannotCreateFolderMessage("/tmp/a b/dir \\x.png")
            << "vistrel-pro: Sorry, cannot create folder \" /tmp/a b/ \"\n";
        QTest::newRow("trailing break") << "done\n"
                                        << "vistrel-pro: done\n";
        QTest::newRow("inner spaces kept") << "a  b"
                                           << "vistrel-pro: a  b\n";
    }
    void stderrLine() {
        QFETCH(QString, message);
        QTEST(StderrLine(message), "line");
    }

    // Saved settings (800 x 600, 70 % quality, thumbnails by percentage, cropped and framed)
    // plus the switches, as an unattended run sees them.
    void jobFromSwitches_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("job");
        QTest::addColumn<int>("rejected");
        const QString start = QStringLiteral("https://www.wikipedia.org/ ");
        const QString saved = QStringLiteral("800x600 crop:0/500 q:70 thumb:percent 300x200 20% "
                                             "crop:0/400 smooth:0 border:0/ff ");
        QTest::newRow("saved values, crops and frame off")
            << QStringList{"/u:a", "/p:p.png"} << "a " + saved + "files:p.png||0 w:60" << 0;
        QTest::newRow("no /u: the start address; /t names the thumbnail after /p")
            << QStringList{"/p:shots/p.jpg", "/t:"}
            << start + saved + "files:shots/p.jpg|shots/p_thumb.jpg|1 w:60" << 0;
        QTest::newRow("/r, /s, /b, /cp, /ct, /w, held at their limits")
            << QStringList{"/u:a",       "/t:t.bmp", "/r:1",  "/s:2000:0",
                           "/b:#102030", "/cp:5000", "/ct:0", "/w:5"}
            << "a 1280x1024 crop:1/3000 q:70 thumb:size 1024x1 20% crop:1/1 smooth:0 "
               "border:1/302010 files:|t.bmp|1 w:5"
            << 0;
        QTest::newRow("last wins; unreadable values change nothing")
            << QStringList{"/u:a",   "/u:b",  "/p:p.png", "/r:7", "/cp:abc",
                           "/b:#zz", "/w:-1", "/s:40",    "/h"}
            << "b 800x600 crop:0/500 q:70 thumb:size 300x200 20% crop:0/400 smooth:0 "
               "border:1/0 files:p.png||0 w:60"
            << 0;
        QTest::newRow("/k: every screen as it looks")
            << QStringList{"/u:a", "/p:p.png", "/k"}
            << "a " + saved + "files:p.png||0 w:60 every-screen" << 0;
        QTest::newRow("/k then /k:0: the last wins")
            << QStringList{"/k", "/u:a", "/p:p.png", "/k:0"} << "a " + saved + "files:p.png||0 w:60"
            << 0;
        QTest::newRow("long options, both forms")
            << QStringList{"/u:a",
                           "/p:p.png",
                           "--wait-for",
                           "#main",
                           "--wait-until=window.done",
                           "--delay",
                           "500",
                           "--hide",
                           ".ad",
                           "--hide=#cookie bar",
                           "--element",
                           "#chart",
                           "--padding=8",
                           "--user-agent",
                           "Bot/1.0 (x)",
                           "--header",
                           "X-A:  1 ",
                           "--header=X-B:b:c",
                           "--color-scheme",
                           "DARK",
                           "--reduced-motion",
                           "--fail-on-http-error",
                           "--script",
                           "document.title"}
            << "a " + saved +
                   "files:p.png||0 w:60 wait-for:#main until:window.done delay:500 "
                   "script:document.title hide:.ad|#cookie bar element:#chart/8 ua:Bot/1.0 (x) "
                   "headers:X-A=1|X-B=b:c scheme:dark reduced-motion:1 fail-on-http-error:1"
            << 0;
        QTest::newRow("a separate value is taken whatever it looks like")
            << QStringList{"/u:a", "--wait-for", "/p:p.png", "--script", "--delay"}
            << "a " + saved + "files:||0 w:60 wait-for:/p:p.png script:--delay" << 0;
        QTest::newRow("batch defaults first: the line's own win, repeated ones add up")
            << QStringList{"--delay=100", "--hide",  ".a",  "/u:a",
                           "/p:p.png",    "--delay", "200", "--hide=.b"}
            << "a " + saved + "files:p.png||0 w:60 delay:200 hide:.a|.b" << 0;
        QTest::newRow("--size and /r: the last wins")
            << QStringList{"/u:a", "/p:p.png", "--size",         "1600x900",
                           "/r:1", "/r:3",     "--size=4096X200"}
            << "a 4096x200" + saved.mid(7) + "files:p.png||0 w:60" << 0;
        QTest::newRow("a scale multiplies crops and thumbnail sizes, saved or given")
            << QStringList{"/u:a", "/t:t.png", "/s:201:150", "/cp:1000", "--scale", "1.5"}
            << "a 800x600 crop:1/1500 q:70 thumb:size 302x225 20% crop:0/600 smooth:0 "
               "border:0/ff files:|t.png|1 w:60 scale:1.5"
            << 0;
        QTest::newRow("every refused path is named")
            << QStringList{"/p:a \\b.png", "/t:c \\d.png"}
            << start + saved + "files:a \\b.png|c \\d.png|1 w:60" << 2;
    }
    void jobFromSwitches() {
        QFETCH(QStringList, arguments);
        StoredSettings stored;
        stored.resolution = 3;
        stored.picture.cropHeight = 500;
        stored.picture.jpegQuality = 70;
        ThumbnailOptions& thumb = stored.picture.thumbnail;
        thumb.byWidthAndHeight = false;
        thumb = {false, 300, 200, 20, true, 400, false, true, 0xFF};
        stored.picture.crop = true;
        const CommandLineJob built = BuildCommandLineJob(stored, arguments);
        QTEST(Describe(built.job), "job");
        QTEST(int(built.rejectedPaths.size()), "rejected");
    }

    // The saved engine, /e in any case and --no-sandbox, as a single run or a batch line sees
    // them; an unknown engine refuses the run rather than pick one.
    void engineAndSandbox_data() {
        QTest::addColumn<BrowserEngine>("saved");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<BrowserEngine>("engine");
        QTest::addColumn<bool>("sandboxOff");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QStringList>("messages");
        using E = BrowserEngine;
        const int usage = ToInt(ExitCode::BadUsage);
        const QString unknown = QStringLiteral("/e: takes chromium or qt, not \"%1\" (see --help)");
        QTest::newRow("saved default")
            << E::Default << QStringList{"/p:p.png"} << E::Default << false << 0 << QStringList();
        // As root the embedded engine has no sandbox: it runs only when --no-sandbox says so.
        const bool root = geteuid() == 0;
        const int qtRefusal = root ? usage : 0;
        const QStringList qtMessages =
            root ? QStringList{"as root, Qt WebEngine (/e:qt, or the saved Capture_Engine 1) runs "
                               "pages without a sandbox: pass --no-sandbox to allow that, or "
                               "capture with /e:chromium"}
                 : QStringList();
        QTest::newRow("saved qt") << E::Qt << QStringList{"/p:p.png"} << E::Qt << false << qtRefusal
                                  << qtMessages;
        QTest::newRow("saved qt, --no-sandbox") << E::Qt << QStringList{"/p:p.png", "--no-sandbox"}
                                                << E::Qt << true << 0 << QStringList();
        QTest::newRow("/e:chromium over saved qt")
            << E::Qt << QStringList{"/p:p.png", "/e:chromium"} << E::Chromium << false << 0
            << QStringList();
        QTest::newRow("/e=QT, any case") << E::Default << QStringList{"/e=QT", "/p:p.png"} << E::Qt
                                         << false << qtRefusal << qtMessages;
        QTest::newRow("/e:ChRoMiUm") << E::Qt << QStringList{"/e:ChRoMiUm", "/p:p.png"}
                                     << E::Chromium << false << 0 << QStringList();
        QTest::newRow("unknown name")
            << E::Default << QStringList{"/p:p.png", "/e:firefox"} << E::Default << false << usage
            << QStringList{unknown.arg("firefox")};
        QTest::newRow("empty name") << E::Qt << QStringList{"/p:p.png", "/e"} << E::Qt << false
                                    << usage << QStringList{unknown.arg("")};
        QTest::newRow("padded name")
            << E::Default << QStringList{"/p:p.png", "/e: qt"} << E::Default << false << usage
            << QStringList{unknown.arg(" qt")};
        QTest::newRow("a later good name does not hide a bad one")
            << E::Default << QStringList{"/e:qtt", "/e:qt", "/p:p.png"} << E::Qt << false << usage
            << QStringList{unknown.arg("qtt")};
        QTest::newRow("bad name before a refused path")
            << E::Default << QStringList{"/p:a \\b.png", "/e:x"} << E::Default << false << usage
            << QStringList{unknown.arg("x"), CannotCreateFolderMessage("a \\b.png")};
        QTest::newRow("/e:qt with nothing to write")
            << E::Default << QStringList{"/u:a", "/e:qt"} << E::Qt << false << usage
            << QStringList{"no file to write: give /p:<picture file> (see --help)"};
        // Long options: every bad value is named with its option, the value given
        const auto bad = [&](const char* name, const QStringList& arguments,
                             const QStringList& messages) {
            QTest::newRow(name) << E::Default << QStringList{"/u:a", "/p:p.png"} + arguments
                                << E::Default << false << usage << messages;
        };
        bad("unknown option", {"--wait", "#x", "--Delay=5"},
            {"unknown option --wait", "unknown option --Delay"});
        bad("a value missing at the end", {"--delay"}, {"--delay needs a value"});
        bad("a flag given a value", {"--reduced-motion=no", "--no-sandbox=1"},
            {"--reduced-motion takes no value, not \"no\"",
             "--no-sandbox takes no value, not \"1\""});
        bad("a batch run's option", {"--jobs", "4"},
            {"--jobs belongs on the command line of a batch run, not to one capture"});
        bad("--delay beyond its range", {"--delay=600001", "--delay", "-1", "--delay", "1s"},
            {"--delay takes milliseconds from 0 to 600000, not \"600001\"",
             "--delay takes milliseconds from 0 to 600000, not \"-1\"",
             "--delay takes milliseconds from 0 to 600000, not \"1s\""});
        bad("--padding", {"--padding=1001"},
            {"--padding takes pixels from 0 to 1000, not \"1001\""});
        const QString size = QStringLiteral("--size takes WIDTHxHEIGHT, each from 200 to 4096, not "
                                            "\"%1\"");
        bad("--size", {"--size", "199x800", "--size=800x4097", "--size", "800*600", "--size=x"},
            {size.arg("199x800"), size.arg("800x4097"), size.arg("800*600"), size.arg("x")});
        const QString scale =
            QStringLiteral("--scale takes 1, 1.5, 2, 2.5, 3, 3.5 or 4, not \"%1\"");
        bad("--scale", {"--scale", "1.25", "--scale=0.5", "--scale", "4.5", "--scale", "2,5"},
            {scale.arg("1.25"), scale.arg("0.5"), scale.arg("4.5"), scale.arg("2,5")});
        const QString header = QStringLiteral("--header takes \"Name: value\", not \"%1\": %2");
        const QString token = QStringLiteral("the name before the ':' may hold letters, digits and "
                                             "!#$%&'*+-.^_`|~ only");
        bad("--header",
            {"--header", "Bad Name: x", "--header=: x", "--header", "X-A", "--header",
             "X-A: a\r\nX-B: b"},
            {header.arg("Bad Name: x", token), header.arg(": x", token), header.arg("X-A", token),
             header.arg("X-A: a\r\nX-B: b", "a header cannot hold a line break")});
        bad("--user-agent with a line break", {"--user-agent", "a\nb"},
            {"--user-agent cannot hold a line break"});
        bad("--color-scheme", {"--color-scheme=blue"},
            {"--color-scheme takes light or dark, not \"blue\""});
        bad("empty selectors and scripts", {"--wait-for=", "--hide=", "--script=@"},
            {"--wait-for needs a CSS selector", "--hide needs a CSS selector",
             "--script @ needs a file name"});
        bad("files that cannot be read", {"--script", "@/nonexistent/a.js", "--cookies=/"},
            {"--script: cannot read /nonexistent/a.js: No such file or directory",
             "--cookies: cannot read /: it is a folder"});
        QTest::newRow("controls Qt WebEngine cannot honour")
            << E::Default << QStringList{"/u:a",      "/p:p.png",       "/e:qt", "--no-sandbox",
                                         "--scale=2", "--color-scheme", "light", "--reduced-motion"}
            << E::Qt << true << usage
            << QStringList{"--scale is not available on Qt WebEngine (/e:qt); capture with "
                           "/e:chromium",
                           "--color-scheme is not available on Qt WebEngine (/e:qt); capture with "
                           "/e:chromium",
                           "--reduced-motion is not available on Qt WebEngine (/e:qt); capture "
                           "with /e:chromium"};
        QTest::newRow("--no-sandbox") << E::Default << QStringList{"/p:p.png", "--no-sandbox"}
                                      << E::Default << true << 0 << QStringList();
    }
    void engineAndSandbox() {
        QFETCH(BrowserEngine, saved);
        QFETCH(QStringList, arguments);
        StoredSettings stored;
        stored.engine = saved;
        const PreparedJob prepared = PrepareCommandLineJob(stored, arguments);
        QTEST(prepared.job.engine, "engine");
        QTEST(prepared.job.sandboxOff, "sandboxOff");
        QTEST(ToInt(prepared.refusal), "refusal");
        QTEST(prepared.messages, "messages");
    }

    // The cookies a page at `host` gets from a cookies.txt file, or the file's first error.
    void cookieFile_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("cookies"); // "domain path name=value flags expires" | ...
        const QByteArray curl =
            "# Netscape HTTP Cookie File\n"
            "# This file was generated by libcurl! Edit at your own risk.\n"
            "\n"
            ".example.org\tTRUE\t/\tFALSE\t0\tsid\tabc\n"
            "#HttpOnly_www.example.org\tFALSE\t/app\tTRUE\t1893456000\ttok\tx=y\n"
            "example.org\tFALSE\t/\tFALSE\t0\tbare\t1\n"
            "other.org\tTRUE\t/\tFALSE\t0\tno\t2\n";
        QTest::newRow("as curl writes it, for a subdomain")
            << curl << "www.example.org"
            << ".example.org / sid=abc 0 | www.example.org /app tok=x=y secure httponly 1893456000";
        QTest::newRow("the domain itself") << curl << "example.org"
                                           << ".example.org / sid=abc 0 | example.org / bare=1 0";
        QTest::newRow("include-subdomains adds the dot; CRLF, blank lines")
            << QByteArray("  \r\nExample.ORG\tTRUE\t/\tFALSE\t0\ta\t\r\n\t\n")
            << "deep.sub.example.org"
            << ".Example.ORG / a= 0";
        QTest::newRow("a suffix is no subdomain")
            << QByteArray(".ample.org\tTRUE\t/\tFALSE\t0\ta\tb\n") << "example.org"
            << "";
        QTest::newRow("no host (a file address)")
            << QByteArray(".example.org\tTRUE\t/\tFALSE\t0\ta\tb") << ""
            << "";
        QTest::newRow("six fields")
            << QByteArray("# c\n\nexample.org\tFALSE\t/\tFALSE\t0\ta\n") << "example.org"
            << "error: --cookies: c.txt line 3: expected 7 fields separated by tabs, found 6";
        QTest::newRow("spaces instead of tabs")
            << QByteArray("example.org FALSE / FALSE 0 a b") << "example.org"
            << "error: --cookies: c.txt line 1: expected 7 fields separated by tabs, found 1";
        QTest::newRow("a flag that is no TRUE or FALSE")
            << QByteArray("example.org\ttrue\t/\tFALSE\t0\ta\tb") << "example.org"
            << "error: --cookies: c.txt line 1: the second field is TRUE or FALSE (include "
               "subdomains)";
        QTest::newRow("a negative expiry")
            << QByteArray("example.org\tFALSE\t/\tFALSE\t-1\ta\tb") << "example.org"
            << "error: --cookies: c.txt line 1: the expiry is not a number of seconds";
        QTest::newRow("an expiry with a blank")
            << QByteArray("example.org\tFALSE\t/\tFALSE\t 5\ta\tb") << "example.org"
            << "error: --cookies: c.txt line 1: the expiry is not a number of seconds";
        QTest::newRow("a path without its slash")
            << QByteArray("example.org\tFALSE\tapp\tFALSE\t0\ta\tb") << "example.org"
            << "error: --cookies: c.txt line 1: the path does not start with /";
        QTest::newRow("an empty httpOnly domain")
            << QByteArray("#HttpOnly_\tFALSE\t/\tFALSE\t0\ta\tb") << "example.org"
            << "error: --cookies: c.txt line 1: the domain is empty";
    }
    void cookieFile() {
        QFETCH(QByteArray, text);
        QFETCH(QString, host);
        const CookieFileRead read = ReadCookieText(text, QStringLiteral("c.txt"));
        QStringList cookies;
        for (const PageCookie& c : CookiesForHost(read.cookies, host)) {
            cookies << QStringLiteral("%1 %2 %3=%4%5%6 %7")
                           .arg(c.domain, c.path, QString::fromUtf8(c.name),
                                QString::fromUtf8(c.value))
                           .arg(c.secure ? QStringLiteral(" secure") : QString(),
                                c.httpOnly ? QStringLiteral(" httponly") : QString())
                           .arg(c.expires);
        }
        QTEST(read.error.isEmpty() ? cookies.join(QStringLiteral(" | "))
                                   : QStringLiteral("error: ") + read.error,
              "cookies");
    }

    // The files are read once the whole line is known: the cookies are the final address's.
    void namedFilesRead() {
        QTemporaryDir dir;
        QFile cookies(dir.filePath("c.txt"));
        QVERIFY(cookies.open(QIODevice::WriteOnly));
        cookies.write(".a.org\tTRUE\t/\tFALSE\t0\tin\t1\nb.org\tFALSE\t/\tFALSE\t0\tout\t2\n");
        cookies.close();
        QFile script(dir.filePath("s.js"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("document.body.dataset.x = '\xc3\xa9';\n");
        script.close();
        const PreparedJob prepared = PrepareCommandLineJob(
            StoredSettings(),
            {"/u:https://b.org/", "/p:p.png", "--cookies", cookies.fileName(), "--script", "1",
             "--script=@" + script.fileName(), "/u:http://www.a.org:8080/x"});
        QCOMPARE(prepared.messages, QStringList());
        QCOMPARE(prepared.job.controls.cookies.size(), 1);
        QCOMPARE(prepared.job.controls.cookies.front().name, QByteArray("in"));
        QCOMPARE(prepared.job.controls.pageScript,
                 QString::fromUtf8("document.body.dataset.x = '\u00e9';\n"));
        const PreparedJob none = PrepareCommandLineJob(
            StoredSettings(), {"/u:https://c.org/", "/p:p.png", "--cookies", cookies.fileName()});
        QVERIFY(none.job.controls.cookies.isEmpty());
        QVERIFY2(none.warnings.join(u'\n').contains("has no cookie for \"c.org\""),
                 qPrintable(none.warnings.join(u'\n')));
    }

    void exitCodesDistinct() {
        QSet<int> seen;
        for (const ExitCodeInfo& info : ExitCodeTable) {
            QVERIFY2(!seen.contains(ToInt(info.code)), info.meaning);
            seen.insert(ToInt(info.code));
        }
        QCOMPARE(ToInt(ExitCodeTable.front().code), 0);
    }

    void usageListsEverything() {
        const QString usage = UsageText();
        for (const char* name : {"/u:",
                                 "/p:",
                                 "/t",
                                 "/r:",
                                 "/s:",
                                 "/b",
                                 "/h ",
                                 "/cp:",
                                 "/ct:",
                                 "/w:",
                                 "/k",
                                 "/e:",
                                 "Capture_Engine",
                                 "--no-sandbox",
                                 "--help",
                                 "--version",
                                 "--wait-for ",
                                 "--wait-until ",
                                 "--delay ",
                                 "--script ",
                                 "--script @",
                                 "--hide ",
                                 "--element ",
                                 "--padding ",
                                 "--size ",
                                 "--scale ",
                                 "--user-agent ",
                                 "--header ",
                                 "--cookies ",
                                 "--color-scheme ",
                                 "--reduced-motion",
                                 "--fail-on-http-error",
                                 "--json",
                                 "final_address",
                                 "http_status",
                                 "title"}) {
            QVERIFY2(usage.contains(QLatin1String(name)), name);
        }
        QVERIFY(usage.contains("default 60, 0 = none"));
        for (const ExitCodeInfo& info : ExitCodeTable) {
            const QString line = QStringLiteral("%1  %2\n").arg(ToInt(info.code)).arg(info.meaning);
            QVERIFY2(usage.contains(line), qPrintable(line));
        }
        QVERIFY(usage.endsWith(u'\n'));
        QCOMPARE(VersionText(), "Vistrel Pro 1.2.1");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
