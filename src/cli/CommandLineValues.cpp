// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLineValues.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

std::optional<int> HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return std::nullopt;
}

std::optional<int> ReadHexPair(QStringView pair) {
    if (pair.isEmpty()) {
        return std::nullopt;
    }
    int value = 0;
    for (QChar c : pair) {
        const auto digit = HexDigit(c);
        if (!digit) {
            return std::nullopt;
        }
        value = value * 16 + *digit;
    }
    return value;
}

// RFC 9110's token characters.
bool IsTokenChar(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z'))
        return true;
    return u != 0 && u < 128 && std::strchr("!#$%&'*+-.^_`|~", char(u)) != nullptr;
}

} // namespace

std::optional<int> ReadInteger(const QString& text) {
    qsizetype i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+')) {
        i = 1;
    }
    if (i >= text.size()) {
        return std::nullopt;
    }
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < u'0' || u > u'9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (u - u'0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    if (!negative && magnitude == limit) {
        return std::nullopt;
    }
    return int(negative ? -magnitude : magnitude);
}

quint32 HexToColor(const QString& text, bool* ok) {
    quint32 colour = 0;
    bool converted = true;
    for (int component = 0; component < 3; ++component) {
        const qsizetype start = 1 + 2 * component;
        const auto value = ReadHexPair(QStringView(text).mid(qMin(start, text.size()), 2));
        if (!value) {
            converted = false;
            break;
        }
        colour += quint32(*value) << (8 * component);
    }
    if (ok) {
        *ok = converted;
    }
    return converted ? colour : 0;
}

ThumbSizeValue ReadThumbSize(const QString& value) {
    const qsizetype colon = value.indexOf(u':');
    ThumbSizeValue size;
    size.width = ReadInteger(colon < 0 ? QString() : value.left(colon));
    if (size.width) {
        size.height = ReadInteger(value.mid(colon + 1));
    }
    return size;
}

QString CmdResolutionText(const QString& value) {
    return value.isEmpty() ? QStringLiteral("2") : value;
}

int ResolutionChoice(const QString& cmdResolution) {
    if (cmdResolution == u"1") {
        return 1;
    }
    if (cmdResolution == u"2") {
        return 2;
    }
    if (cmdResolution == u"3") {
        return 3;
    }
    return 0;
}

std::optional<int> ReadLoadLimit(const QString& value) {
    const auto seconds = ReadInteger(value);
    if (!seconds || *seconds < 0) {
        return std::nullopt;
    }
    return seconds;
}

std::optional<BrowserEngine> ReadEngineName(const QString& value) {
    if (value.compare(u"chromium", Qt::CaseInsensitive) == 0) {
        return BrowserEngine::Chromium;
    }
    if (value.compare(u"qt", Qt::CaseInsensitive) == 0) {
        return BrowserEngine::Qt;
    }
    return std::nullopt;
}

QString UnknownEngineMessage(const QString& value) {
    return QStringLiteral("/e: takes chromium or qt, not \"%1\" (see --help)").arg(value);
}

std::optional<int> ReadIntegerIn(const QString& text, int least, int most) {
    const auto value = ReadInteger(text);
    if (!value || *value < least || *value > most || text.startsWith(u'+'))
        return std::nullopt;
    return value;
}

std::optional<QSize> ReadBrowserSize(const QString& value) {
    const qsizetype x = value.indexOf(u'x', 0, Qt::CaseInsensitive);
    if (x < 0)
        return std::nullopt;
    const auto width = ReadIntegerIn(value.left(x), FewestBrowserPixels, MostBrowserPixels);
    const auto height = ReadIntegerIn(value.mid(x + 1), FewestBrowserPixels, MostBrowserPixels);
    if (!width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

std::optional<double> ReadScale(const QString& value) {
    static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,3}(\\.[0-9]{1,6})?$"));
    if (!decimal.match(value).hasMatch())
        return std::nullopt;
    const double scale = value.toDouble();
    const double halves = scale * 2;
    if (scale < 1 || scale > 4 || halves != std::floor(halves))
        return std::nullopt;
    return scale;
}

std::optional<ColorScheme> ReadColorScheme(const QString& value) {
    if (value.compare(u"light", Qt::CaseInsensitive) == 0)
        return ColorScheme::Light;
    if (value.compare(u"dark", Qt::CaseInsensitive) == 0)
        return ColorScheme::Dark;
    return std::nullopt;
}

bool HasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

std::optional<HttpHeader> ReadHeader(const QString& text, QString* why) {
    const qsizetype colon = text.indexOf(u':');
    const QString name = text.left(colon);
    if (HasLineBreak(text)) {
        *why = QStringLiteral("a header cannot hold a line break");
        return std::nullopt;
    }
    if (colon <= 0 || !std::all_of(name.begin(), name.end(), IsTokenChar)) {
        *why = QStringLiteral("the name before the ':' may hold letters, digits and "
                              "!#$%&'*+-.^_`|~ only");
        return std::nullopt;
    }
    return HttpHeader{name.toLatin1(), text.mid(colon + 1).trimmed().toUtf8()};
}
