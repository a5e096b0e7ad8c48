// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QWidget;
class RegistryKey;

// The windows' texts are written in Chinese in the code, marked for Qt's translation tools with
// the context "Window" (QT_TRANSLATE_NOOP where a text is kept and set again on a change of
// language, QCoreApplication::translate where it is made when shown). Chinese needs no
// translation file; English comes from translations/vistrel-pro_en.ts, built into the program.
enum class WindowLanguage { Chinese, English };

// The saved choice; Chinese when it is missing, of another type or of no known language.
WindowLanguage ReadWindowLanguage(RegistryKey& key);
void WriteWindowLanguage(RegistryKey& key, WindowLanguage language);

// Installs the language's translations, Qt's own dialogs and controls (buttons, file dialogs)
// included, and the windows that exist take it at once. Messages written in English, the
// system's error texts among them, stay English in both.
void UseWindowLanguage(WindowLanguage language);
WindowLanguage CurrentWindowLanguage();

inline QString WindowText(const char* source) {
    return QCoreApplication::translate("Window", source);
}

// The picture drawn with the language's words (name_en.png beside name.png), where there is one.
QString LocalArtwork(const QString& resource);

// Runs `apply` now and again each time the language changes, for as long as `owner` lives.
void KeepTranslated(QWidget* owner, std::function<void()> apply);
