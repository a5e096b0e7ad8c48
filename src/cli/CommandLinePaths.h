// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A /p or /t path with a space right before a backslash is refused before any capture.
bool HasSpaceBeforeBackslash(const QString& path);

// The refusal's message box text, word for word, naming the path's folder part (up to and
// including its last '/').
QString CannotCreateFolderMessage(const QString& path);
