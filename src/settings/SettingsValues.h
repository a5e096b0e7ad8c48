// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

// The program's saved settings: one key, fourteen 32-bit values, loaded and saved in this
// order (a failed load stops at the first value it cannot read, so the order matters).
namespace SettingsValues {

inline constexpr const char* RootName = "HKEY_LOCAL_MACHINE";
inline constexpr const char* KeyPath = "\\Software\\Dorwen Software\\Vistrel Pro";

enum Index {
    SR,
    JpgCompression,
    ThumbSize,
    ThumbWidth,
    ThumbHeight,
    ThumbPercent,
    ThumbBorder,
    ThumbColor,
    ThumbSmooth,
    ShowIE,
    PicSize,
    PicThumbSize,
    PicSizeInteger,
    PicSizeThumbInteger,
    Count
};

inline constexpr std::array<const char*, Count> Names = {"SR",
                                                         "JPG Compression",
                                                         "Thumb_Size",
                                                         "Thumb_Width",
                                                         "Thumb_Height",
                                                         "Thumb_Percent",
                                                         "Thumb_Border",
                                                         "Thumb_Color",
                                                         "Thumb_Smooth",
                                                         "ShowIE",
                                                         "PicSize",
                                                         "PicThumbSize",
                                                         "PicSizeInteger",
                                                         "PicSize_Thumb_Integer"};

// Saved beside the fourteen, read when it is there: files written before it existed stay
// readable as they are.
inline constexpr const char* KeepFixedName = "Fixed_Every_Screen";
// The engine of out-of-sight captures: a dword, CaptureEngineDefault (headless Chromium) or
// CaptureEngineQt; missing, of another type or another number means the default.
inline constexpr const char* CaptureEngineName = "Capture_Engine";
inline constexpr int CaptureEngineDefault = 0;
inline constexpr int CaptureEngineQt = 1;
// The windows' language: a string, LanguageChinese or LanguageEnglish; missing, of another type
// or another text means Chinese.
inline constexpr const char* LanguageName = "Language";
inline constexpr const char* LanguageChinese = "zh";
inline constexpr const char* LanguageEnglish = "en";

inline QString SettingName(Index index) {
    return QString::fromLatin1(Names[index]);
}

} // namespace SettingsValues

inline QString SettingsKeyPath() {
    return QString::fromLatin1(SettingsValues::KeyPath);
}
