// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureJob.h"

#include <QSize>

#include <QString>
#include <QtGlobal>

#include <optional>

// Optional sign, then decimal digits, within 32 bits; anything else (blanks included) is a
// conversion error.
std::optional<int> ReadInteger(const QString& text);

// #RRGGBB to a colour value (red in the lowest byte). The first character is not looked at; a
// pair cut short by the end of the text is read from the one character left; an empty or
// non-hexadecimal pair is a conversion error, returning 0 with *ok false.
quint32 HexToColor(const QString& text, bool* ok = nullptr);

// The /s value: width before the first ':', height after it. The height is only read once the
// width converted, because a bad width leaves both sizes as they are.
struct ThumbSizeValue {
    std::optional<int> width;
    std::optional<int> height;
};
ThumbSizeValue ReadThumbSize(const QString& value);

// The /r value as kept: "2" when empty.
QString CmdResolutionText(const QString& value);
// 1, 2 or 3 for the resolution button that the text names; 0 when it names none.
int ResolutionChoice(const QString& cmdResolution);

inline constexpr int DefaultLoadLimitSeconds = 60;
// The /w value in seconds, 0 meaning no limit; negative or unreadable values give nothing.
std::optional<int> ReadLoadLimit(const QString& value);

// The /e value, in any case: chromium or qt; nothing for any other name, an empty one too.
std::optional<BrowserEngine> ReadEngineName(const QString& value);
QString UnknownEngineMessage(const QString& value);

// The values of the long options. Each reader gives nothing for a value it cannot take.
inline constexpr int MostDelayMs = 600000;
inline constexpr int MostElementPadding = 1000;
inline constexpr int FewestBrowserPixels = 200;
inline constexpr int MostBrowserPixels = 4096;

// Decimal digits only (ReadInteger's rule) within [least, most].
std::optional<int> ReadIntegerIn(const QString& text, int least, int most);
// WIDTHxHEIGHT, each within the browser's limits.
std::optional<QSize> ReadBrowserSize(const QString& value);
// 1 to 4 in steps of 0.5: "2", "2.5", "2.50".
std::optional<double> ReadScale(const QString& value);
std::optional<ColorScheme> ReadColorScheme(const QString& value);
// "Name: value", the name an HTTP token, the value without its surrounding blanks; nothing,
// with the reason in *why, for anything a request could not carry as one header.
std::optional<HttpHeader> ReadHeader(const QString& text, QString* why);
bool HasLineBreak(const QString& text);
