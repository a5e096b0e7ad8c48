// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line reader: splitting a raw command line, the switches, and the values the
// switches carry, with the input read as UTF-8, as Latin-1 and as UTF-16 text.
#include "FuzzCheck.h"

#include "cli/CommandLineMode.h"
#include "cli/CommandLineNames.h"
#include "cli/CommandLinePaths.h"
#include "common/CommandLineSplit.h"
#include "cli/CommandLineSwitch.h"
#include "cli/CommandLineValues.h"
#include "common/TargetFile.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

bool IsSeparator(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

int TextEnd(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return int(nul < 0 ? text.size() : nul);
}

bool IsSubsequence(const QString& part, QStringView whole) {
    qsizetype at = 0;
    for (const QChar c : part) {
        while (at < whole.size() && whole[at] != c) {
            ++at;
        }
        if (at == whole.size()) {
            return false;
        }
        ++at;
    }
    return true;
}

// Every separator inside [first, stop) must lie between quotes once the argument has begun,
// and the stop itself must not.
void CheckQuoting(const QString& text, int first, int stop) {
    int i = first;
    while (i < stop &&
           (IsSeparator(text[i]) || (text[i] == u'"' && i + 1 < stop && text[i + 1] == u'"'))) {
        i += IsSeparator(text[i]) ? 1 : 2;
    }
    bool quoted = false;
    for (; i < stop; ++i) {
        if (text[i] == u'"') {
            quoted = !quoted;
        } else if (IsSeparator(text[i])) {
            FUZZ_CHECK(quoted);
        }
    }
    FUZZ_CHECK(stop == TextEnd(text) || !quoted);
}

// ExtractParam always moves on or ends, and what it cuts off is the text's own characters
// without quotes, stopping at an unquoted separator.
int CheckExtract(const QString& text, int position) {
    QString argument;
    const int end = TextEnd(text);
    const int first = std::clamp(position, 0, end);
    const int stop = ExtractParam(text, position, argument);
    FUZZ_CHECK(stop >= first && stop <= end);
    if (argument.isEmpty()) {
        FUZZ_CHECK(stop == end);
        return stop;
    }
    FUZZ_CHECK(stop > first);
    FUZZ_CHECK(stop == end || IsSeparator(text[stop]));
    FUZZ_CHECK(!argument.contains(u'"') && !argument.contains(QChar(0)));
    FUZZ_CHECK(IsSubsequence(argument, QStringView(text).mid(first, stop - first)));
    CheckQuoting(text, first, stop);
    return stop;
}

QStringList CheckSplit(const QString& text) {
    const QStringList arguments = ParseCommandLineText(text);
    QStringList walked;
    QString argument;
    int position = 0;
    for (;;) {
        const int next = CheckExtract(text, position);
        position = ExtractParam(text, position, argument);
        FUZZ_CHECK(position == next);
        if (argument.isEmpty()) {
            break;
        }
        walked << argument;
    }
    FUZZ_CHECK(walked == arguments);

    // Quoting every argument, or none when none holds a separator, gives them back unchanged.
    QString quoted;
    QString plain;
    bool plainWorks = true;
    for (const QString& a : arguments) {
        quoted += u'"' + a + QStringLiteral("\" ");
        plain += a + u' ';
        plainWorks = plainWorks && std::none_of(a.begin(), a.end(), IsSeparator);
    }
    FUZZ_CHECK(ParseCommandLineText(quoted) == arguments);
    if (plainWorks) {
        FUZZ_CHECK(ParseCommandLineText(plain) == arguments);
    }

    const int size = int(text.size());
    for (int p : {INT_MIN, -1, size / 2, size, size + 1, INT_MAX}) {
        CheckExtract(text, p);
    }
    if (size <= 300) {
        for (int p = 0; p < size; ++p) {
            CheckExtract(text, p);
        }
    }
    return arguments;
}

void CheckStartMode(const QStringList& arguments) {
    QStringList argv{QStringLiteral("vistrel-pro")};
    for (const QString& a : arguments) {
        argv << a << QString();
    }
    const QStringList commandLine = ParseCommandLine(argv);
    FUZZ_CHECK(commandLine == QStringList{QStringLiteral("vistrel-pro")} + arguments);
    const StartMode mode = StartModeFor(commandLine);
    switch (arguments.size()) {
    case 0:
        FUZZ_CHECK(mode == StartMode::Normal);
        break;
    case 1:
        FUZZ_CHECK(mode == (arguments[0] == u"--help" || arguments[0] == u"-h" ? StartMode::Help
                            : arguments[0] == u"--version"                     ? StartMode::Version
                                                           : StartMode::OneArgument));
        break;
    default:
        FUZZ_CHECK(mode == StartMode::Unattended);
    }
    FUZZ_CHECK(ParseCommandLine({}) == QStringList{QString()});
}

CmdSwitch ExpectedSwitch(const QString& a) {
    if (a == u"--no-sandbox") {
        return CmdSwitch::NoSandbox;
    }
    if (a.size() < 2 || a[0] != u'/') {
        return CmdSwitch::None;
    }
    if (a.size() >= 3 && a[1] == u'c' && a[2] == u'p') {
        return CmdSwitch::CropPicture;
    }
    if (a.size() >= 3 && a[1] == u'c' && a[2] == u't') {
        return CmdSwitch::CropThumb;
    }
    switch (a[1].unicode()) {
    case u'u':
        return CmdSwitch::Url;
    case u'p':
        return CmdSwitch::PicFile;
    case u't':
        return CmdSwitch::ThumbFile;
    case u'r':
        return CmdSwitch::Resolution;
    case u's':
        return CmdSwitch::ThumbSize;
    case u'b':
        return CmdSwitch::Border;
    case u'h':
        return CmdSwitch::Hide;
    case u'w':
        return CmdSwitch::LoadLimit;
    case u'k':
        return CmdSwitch::KeepFixed;
    case u'e':
        return CmdSwitch::Engine;
    default:
        return CmdSwitch::None;
    }
}

CmdArgument CheckSwitch(const QString& argument) {
    const CmdArgument read = ReadSwitch(argument);
    FUZZ_CHECK(read.kind == ExpectedSwitch(argument));
    if (read.kind == CmdSwitch::None || read.kind == CmdSwitch::Hide ||
        read.kind == CmdSwitch::NoSandbox) {
        FUZZ_CHECK(read.value.isEmpty());
        return read;
    }
    const bool crop = read.kind == CmdSwitch::CropPicture || read.kind == CmdSwitch::CropThumb;
    // One character after the switch is skipped, whatever it is.
    FUZZ_CHECK(read.value == argument.mid((crop ? 3 : 2) + 1));
    return read;
}

// The decimal rule, read by the standard library instead.
std::optional<int> ReferenceInteger(const QString& text) {
    const std::string s = text.toStdString();
    size_t start = 0;
    if (!s.empty() && s[0] == '+') {
        if (s.size() > 1 && s[1] == '-') {
            return std::nullopt;
        }
        start = 1;
    }
    int value = 0;
    const char* end = s.data() + s.size();
    const auto [stop, error] = std::from_chars(s.data() + start, end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

void CheckInteger(const QString& text) {
    const std::optional<int> read = ReadInteger(text);
    FUZZ_CHECK(read == ReferenceInteger(text));
    if (read) {
        FUZZ_CHECK(ReadInteger(QString::number(*read)) == read);
    }
    const std::optional<int> limit = ReadLoadLimit(text);
    FUZZ_CHECK(limit == (read && *read >= 0 ? read : std::nullopt));
    const int seconds = read.value_or(0);
    const int ms = LoadLimitMilliseconds(seconds);
    FUZZ_CHECK(ms >= 0);
    FUZZ_CHECK(seconds <= 0 ? ms == 0
                            : ms == (seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000));
    FUZZ_CHECK(LoadLimitMilliseconds(seconds == INT_MAX ? seconds : seconds + 1) >= ms);
}

std::optional<quint32> ReferenceColour(const QString& text) {
    quint32 colour = 0;
    for (int component = 0; component < 3; ++component) {
        const QString pair = text.mid(1 + 2 * component, 2);
        if (pair.isEmpty()) {
            return std::nullopt;
        }
        for (const QChar c : pair) {
            if (c.unicode() > 127 || !std::isxdigit(c.unicode())) {
                return std::nullopt;
            }
        }
        colour |= quint32(std::strtoul(pair.toLatin1().constData(), nullptr, 16))
                  << (8 * component);
    }
    return colour;
}

void CheckColour(const QString& text) {
    bool ok = true;
    const quint32 colour = HexToColor(text, &ok);
    const std::optional<quint32> expected = ReferenceColour(text);
    FUZZ_CHECK(ok == expected.has_value());
    FUZZ_CHECK(colour == expected.value_or(0));
    FUZZ_CHECK(HexToColor(text) == colour);
    // The first character is never looked at, nor anything after the third pair.
    if (!text.isEmpty()) {
        FUZZ_CHECK(HexToColor(u'Z' + text.mid(1)) == colour);
    }
    FUZZ_CHECK(HexToColor(text.left(7)) == colour);
    if (ok) {
        FUZZ_CHECK(colour <= 0xFFFFFFu);
        const QString written = QStringLiteral("#%1%2%3")
                                    .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
                                    .arg(colour >> 8 & 0xFF, 2, 16, QLatin1Char('0'))
                                    .arg(colour >> 16, 2, 16, QLatin1Char('0'));
        bool again = false;
        FUZZ_CHECK(HexToColor(written, &again) == colour && again);
        FUZZ_CHECK(HexToColor(written.toUpper()) == colour);
    } else {
        FUZZ_CHECK(colour == 0);
    }
}

void CheckThumbSize(const QString& value) {
    const ThumbSizeValue size = ReadThumbSize(value);
    const qsizetype colon = value.indexOf(u':');
    const std::optional<int> width = colon < 0 ? std::nullopt : ReferenceInteger(value.left(colon));
    FUZZ_CHECK(size.width == width);
    FUZZ_CHECK(size.height == (width ? ReferenceInteger(value.mid(colon + 1)) : std::nullopt));
}

void CheckResolution(const QString& value) {
    const QString kept = CmdResolutionText(value);
    FUZZ_CHECK(kept == (value.isEmpty() ? QStringLiteral("2") : value));
    const int choice = ResolutionChoice(kept);
    FUZZ_CHECK(choice >= 0 && choice <= 3);
    FUZZ_CHECK((choice != 0) == (kept == u"1" || kept == u"2" || kept == u"3"));
    if (choice != 0) {
        FUZZ_CHECK(kept == QString::number(choice));
    }
}

CmdFileFormat ExpectedFormat(const QString& name) {
    if (name.endsWith(u"bmp")) {
        return CmdFileFormat::Bmp;
    }
    if (name.endsWith(u"png")) {
        return CmdFileFormat::Png;
    }
    if (name.endsWith(u"jpg")) {
        return CmdFileFormat::Jpg;
    }
    return CmdFileFormat::Unknown;
}

void CheckNames(const QString& name, const QString& other) {
    const QString thumb = InsertThumbSuffix(name);
    const qsizetype at = qMax<qsizetype>(0, name.size() - 4);
    FUZZ_CHECK(thumb.size() == name.size() + 6);
    FUZZ_CHECK(thumb.mid(at, 6) == u"_thumb");
    FUZZ_CHECK(thumb.left(at) + thumb.mid(at + 6) == name);
    FUZZ_CHECK(ThumbnailFileName(name, QString()) == thumb);
    FUZZ_CHECK(ThumbnailFileName(name, other) == (other.isEmpty() ? thumb : other));

    const QString key = FormatKey(name);
    FUZZ_CHECK(key.size() == qMin<qsizetype>(3, name.size()) && name.endsWith(key));
    FUZZ_CHECK(FormatOfName(name) == ExpectedFormat(name));
    // A thumbnail keeps the picture's format: its last three characters are the picture's.
    if (name.size() >= 3) {
        FUZZ_CHECK(FormatOfName(thumb) == FormatOfName(name));
    }
}

void CheckPaths(const QString& path) {
    FUZZ_CHECK(HasSpaceBeforeBackslash(path) == path.contains(QStringLiteral(" \\")));
    const QString folder = FolderPart(path);
    FUZZ_CHECK(path.startsWith(folder));
    FUZZ_CHECK(folder.isEmpty() ? !path.contains(u'/')
                                : folder.endsWith(u'/') && !path.mid(folder.size()).contains(u'/'));
    FUZZ_CHECK(CannotCreateFolderMessage(path).contains(QStringLiteral("\" ") + folder +
                                                        QStringLiteral(" \"")));
}

void CheckValue(const QString& value, const QString& other) {
    CheckInteger(value);
    CheckColour(value);
    CheckThumbSize(value);
    CheckResolution(value);
    CheckNames(value, other);
    CheckPaths(value);
}

void CheckText(const QString& text) {
    const QStringList arguments = CheckSplit(text);
    CheckStartMode(arguments);
    CheckSwitch(text);
    CheckValue(text, QString());
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const CmdArgument read = CheckSwitch(arguments[i]);
        CheckValue(read.value, arguments.value(i + 1));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckText(QString::fromUtf8(bytes));
    CheckText(QString::fromLatin1(bytes));
    // Pairs of bytes as UTF-16 units also give lone surrogates, which no UTF-8 text holds.
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    CheckText(QString::fromStdU16String(units));
    return 0;
}
