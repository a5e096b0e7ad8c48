#pragma once

#include <QUrl>
#include <functional>

// Hands an address or a file to the desktop's default handler. Tests replace the opener so
// nothing outside the test is started.
using UrlOpener = std::function<bool(const QUrl&)>;
void SetUrlOpener(UrlOpener opener);
bool OpenWithDesktop(const QUrl& url);
