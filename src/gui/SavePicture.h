// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <functional>

// The file name the save dialog proposes; the save buttons set it before they start.
extern QString DefaultSaveName;

struct SaveDialogRequest {
    QString filter;
    QString defaultSuffix;
    QString proposedName;
};
// Returns the chosen file, or an empty text when the user cancels. Tests install their own.
using SaveDialogHook = std::function<QString(const SaveDialogRequest&)>;
void SetSaveDialogHook(SaveDialogHook hook);

// Each writes the picture in its own format whatever the name's extension. An empty name asks
// the user with the save dialog; a given name has its folders created first. The target is
// replaced only by a complete file.
void SavePictureAsBmp(const QImage& bitmap, const QString& name);
void SavePictureAsPng(const QImage& bitmap, const QString& name);
void SavePictureAsJpeg(const QImage& bitmap, const QString& name, int quality);
