// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/WindowLanguage.h"

#include "common/VistrelError.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

#include <QEvent>
#include <QFile>
#include <QLibraryInfo>
#include <QSet>
#include <QTranslator>
#include <QWidget>

#include <memory>

namespace {

WindowLanguage gLanguage = WindowLanguage::Chinese;

// Gets the windows' language change (QWidget passes it on to its children) and sets its
// owner's text again.
class TextKeeper : public QObject {
public:
    TextKeeper(QWidget* owner, std::function<void()> apply)
        : QObject(owner), FApply(std::move(apply)) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::LanguageChange)
            FApply();
        return QObject::event(event);
    }

private:
    std::function<void()> FApply;
};

// Qt's Chinese for its own dialogs and controls only: the system's error texts (QIODevice and
// the like) stay in the English the program's messages have always had.
class QtDialogTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override {
        static const QSet<QByteArray> dialogs = {
            "QAbstractSpinBox",  "QColorDialog",     "QComboBox",
            "QDialog",           "QDialogButtonBox", "QDirModel",
            "QFileDialog",       "QFileSystemModel", "QGnomeTheme",
            "QLineEdit",         "QMessageBox",      "QPlatformTheme",
            "QScrollBar",        "QShortcut",        "QUnicodeControlCharacterMenu",
            "QWidgetTextControl"};
        if (!context || !dialogs.contains(QByteArray(context)))
            return {};
        return QTranslator::translate(context, source, disambiguation, n);
    }
};

std::unique_ptr<QTranslator>& ProgramTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator>& QtTranslator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

// Null when the file is not there: Qt's texts then stay in English, which is no reason to
// stop.
std::unique_ptr<QTranslator> LoadTranslator(std::unique_ptr<QTranslator> translator,
                                            const QString& name, const QString& folder) {
    if (!translator->load(name, folder))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace

WindowLanguage ReadWindowLanguage(RegistryKey& key) {
    const QString name = QString::fromLatin1(SettingsValues::LanguageName);
    try {
        if (key.ValueExists(name) &&
            key.ReadString(name) == QLatin1String(SettingsValues::LanguageEnglish))
            return WindowLanguage::English;
    } catch (const VistrelError&) {
        // of another type: the default, as for a language the program does not know
    }
    return WindowLanguage::Chinese;
}

void WriteWindowLanguage(RegistryKey& key, WindowLanguage language) {
    key.WriteString(QString::fromLatin1(SettingsValues::LanguageName),
                    QString::fromLatin1(language == WindowLanguage::English
                                            ? SettingsValues::LanguageEnglish
                                            : SettingsValues::LanguageChinese));
}

void UseWindowLanguage(WindowLanguage language) {
    for (auto* installed : {&ProgramTranslator(), &QtTranslator()}) {
        if (*installed)
            QCoreApplication::removeTranslator(installed->get());
        installed->reset();
    }
    gLanguage = language;
    if (language == WindowLanguage::English)
        ProgramTranslator() =
            LoadTranslator(std::make_unique<QTranslator>(), QStringLiteral("vistrel-pro_en"),
                           QStringLiteral(":/translations"));
    else
        QtTranslator() =
            LoadTranslator(std::make_unique<QtDialogTranslator>(), QStringLiteral("qtbase_zh_CN"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Qt posts the change to each window; taken now, the windows never show a mix.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

WindowLanguage CurrentWindowLanguage() {
    return gLanguage;
}

QString LocalArtwork(const QString& resource) {
    if (gLanguage == WindowLanguage::Chinese)
        return resource;
    QString local = resource;
    local.insert(local.lastIndexOf(QLatin1Char('.')), QStringLiteral("_en"));
    return QFile::exists(local) ? local : resource;
}

void KeepTranslated(QWidget* owner, std::function<void()> apply) {
    apply();
    new TextKeeper(owner, std::move(apply));
}
