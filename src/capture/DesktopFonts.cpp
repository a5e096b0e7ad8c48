// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/DesktopFonts.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

QString Text(const FcValue& value) {
    return value.type == FcTypeString ? QString::fromUtf8(reinterpret_cast<const char*>(value.u.s))
                                      : QString();
}

// Fontconfig offers some font for any name. Chromium takes it only when it stands for the name:
// the name itself, a metric-compatible replacement (fontconfig binds those strongly, where
// mere look-alikes are bound weakly), or anything at all for a generic name.
bool StandsFor(const QString& name, const QString& found, FcPattern* asked) {
    static const char* const generic[] = {"serif", "sans", "sans-serif", "monospace"};
    for (const char* family : generic)
        if (name.compare(QLatin1String(family), Qt::CaseInsensitive) == 0)
            return true;
    FcPatternIter families;
    if (!FcPatternFindIter(asked, &families, FC_FAMILY))
        return false;
    for (int i = 0, count = FcPatternIterValueCount(asked, &families); i < count; ++i) {
        FcValue value;
        FcValueBinding binding;
        if (FcPatternIterGetValue(asked, &families, i, &value, &binding) == FcResultMatch &&
            binding != FcValueBindingWeak && Text(value).compare(found, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The family fontconfig gives for name, or an empty string when what it gives is only a fallback.
QString Matched(const char* name) {
    Pattern asked(FcPatternCreate());
    if (!asked ||
        !FcPatternAddString(asked.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name)) ||
        !FcConfigSubstitute(nullptr, asked.get(), FcMatchPattern))
        return {};
    FcDefaultSubstitute(asked.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, asked.get(), &result));
    FcChar8* family = nullptr;
    if (!match || result != FcResultMatch ||
        FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch)
        return {};
    const QString found = QString::fromUtf8(reinterpret_cast<const char*>(family));
    return StandsFor(QString::fromLatin1(name), found, asked.get()) ? found : QString();
}

// The names Chromium on Linux asks for by default. Where its cursive or fantasy font is
// missing, Chromium falls back to its standard font, not to fontconfig's fallback.
DesktopFontFamilies Resolve() {
    DesktopFontFamilies families;
    families.standard = Matched("Times New Roman");
    families.sansSerif = Matched("Arial");
    families.fixed = Matched("Monospace");
    families.cursive = Matched("Comic Sans MS");
    if (families.cursive.isEmpty())
        families.cursive = families.standard;
    families.fantasy = Matched("Impact");
    if (families.fantasy.isEmpty())
        families.fantasy = families.standard;
    return families;
}

} // namespace

const DesktopFontFamilies& DesktopFamilies() {
    static const DesktopFontFamilies families = Resolve();
    return families;
}

QString DesktopFontHinting() {
    Pattern asked(FcPatternCreate());
    if (!asked || !FcConfigSubstitute(nullptr, asked.get(), FcMatchPattern))
        return QStringLiteral("slight");
    FcDefaultSubstitute(asked.get());
    FcBool hinting = FcTrue;
    int style = FC_HINT_SLIGHT;
    FcPatternGetBool(asked.get(), FC_HINTING, 0, &hinting);
    FcPatternGetInteger(asked.get(), FC_HINT_STYLE, 0, &style);
    if (!hinting || style == FC_HINT_NONE)
        return QStringLiteral("none");
    switch (style) {
    case FC_HINT_MEDIUM:
        return QStringLiteral("medium");
    case FC_HINT_FULL:
        return QStringLiteral("full");
    default:
        return QStringLiteral("slight");
    }
}
