// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/StoredSettings.h"

#include "common/SpinValueRules.h"
#include "common/VistrelError.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

namespace {

using namespace SettingsValues;

int ReadNumber(RegistryKey& key, Index index, const SpinLimits& limits) {
    return SpinValueRules::Clamp(key.ReadInteger(SettingName(index)), limits.min, limits.max);
}

} // namespace

void ReadStoredSettings(RegistryKey& key, StoredSettings& s) {
    if (const int sr = key.ReadInteger(SettingName(SR)); BrowserSizeOf(sr).isValid())
        s.resolution = sr;
    PictureOptions& p = s.picture;
    ThumbnailOptions& t = p.thumbnail;
    p.jpegQuality = ReadNumber(key, JpgCompression, OptionLimits::JpegQuality);
    t.byWidthAndHeight = key.ReadBool(SettingName(ThumbSize));
    t.width = ReadNumber(key, ThumbWidth, OptionLimits::ThumbWidth);
    t.height = ReadNumber(key, ThumbHeight, OptionLimits::ThumbHeight);
    t.percent = ReadNumber(key, ThumbPercent, OptionLimits::ThumbPercent);
    t.border = key.ReadBool(SettingName(ThumbBorder));
    t.borderColor = static_cast<quint32>(key.ReadInteger(SettingName(ThumbColor)));
    t.smooth = key.ReadBool(SettingName(ThumbSmooth));
    s.showIE = key.ReadBool(SettingName(ShowIE));
    p.crop = key.ReadBool(SettingName(PicSize));
    t.crop = key.ReadBool(SettingName(PicThumbSize));
    p.cropHeight = ReadNumber(key, PicSizeInteger, OptionLimits::CropHeight);
    t.cropHeight = ReadNumber(key, PicSizeThumbInteger, OptionLimits::CropHeight);
    s.keepFixedElements = ReadKeepFixed(key);
    s.engine = ReadCaptureEngine(key);
}

bool ReadKeepFixed(RegistryKey& key) {
    const QString name = QString::fromLatin1(KeepFixedName);
    try {
        return key.ValueExists(name) && key.ReadBool(name);
    } catch (const VistrelError&) {
        return false; // of another type: the default, and the other values still count
    }
}

BrowserEngine ReadCaptureEngine(RegistryKey& key) {
    const QString name = QString::fromLatin1(CaptureEngineName);
    try {
        if (key.ValueExists(name) && key.ReadInteger(name) == CaptureEngineQt)
            return BrowserEngine::Qt;
    } catch (const VistrelError&) {
        // of another type: the default, as for a number of no known engine
    }
    return BrowserEngine::Default;
}

void WriteCaptureEngine(RegistryKey& key, BrowserEngine engine) {
    key.WriteInteger(QString::fromLatin1(CaptureEngineName),
                     engine == BrowserEngine::Qt ? CaptureEngineQt : CaptureEngineDefault);
}

void WriteStoredSettings(RegistryKey& key, const StoredSettings& s) {
    const PictureOptions& p = s.picture;
    const ThumbnailOptions& t = p.thumbnail;
    if (BrowserSizeOf(s.resolution).isValid())
        key.WriteInteger(SettingName(SR), s.resolution);
    key.WriteInteger(SettingName(JpgCompression), p.jpegQuality);
    key.WriteBool(SettingName(ThumbSize), t.byWidthAndHeight);
    key.WriteInteger(SettingName(ThumbWidth), t.width);
    key.WriteInteger(SettingName(ThumbHeight), t.height);
    key.WriteInteger(SettingName(ThumbPercent), t.percent);
    key.WriteBool(SettingName(ThumbBorder), t.border);
    key.WriteInteger(SettingName(ThumbColor), static_cast<int>(t.borderColor));
    key.WriteBool(SettingName(ThumbSmooth), t.smooth);
    key.WriteBool(SettingName(ShowIE), s.showIE);
    key.WriteBool(SettingName(PicSize), p.crop);
    key.WriteBool(SettingName(PicThumbSize), t.crop);
    key.WriteInteger(SettingName(PicSizeInteger), p.cropHeight);
    key.WriteInteger(SettingName(PicSizeThumbInteger), t.cropHeight);
    key.WriteBool(QString::fromLatin1(KeepFixedName), s.keepFixedElements);
    WriteCaptureEngine(key, s.engine);
}

StoredSettings LoadStoredSettings() {
    StoredSettings settings;
    RegistryKey key;
    key.CreateKey(SettingsKeyPath());
    key.OpenKey(SettingsKeyPath(), true);
    try {
        ReadStoredSettings(key, settings);
    } catch (const VistrelError&) {
        try {
            WriteStoredSettings(key, settings);
        } catch (const VistrelError&) {
            // the run goes on with these values; the next start tries again
        }
    }
    key.CloseKey();
    return settings;
}
