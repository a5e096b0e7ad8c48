// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <functional>

// Hands an address or a file to the desktop's default handler. Tests replace the opener so
// nothing outside the test is started.
using UrlOpener = std::function<bool(const QUrl&)>;
void SetUrlOpener(UrlOpener opener);
// False when nothing could be started. xdg-open starts at once but may find no program for the
// address only later: `failedLater` is then called (in the event loop).
bool OpenWithDesktop(const QUrl& url, std::function<void()> failedLater = {});
