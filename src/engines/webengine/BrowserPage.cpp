// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/webengine/BrowserPage.h"
#include "engines/webengine/BrowserFonts.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>

namespace {

// The engine asks "leave this page?" through javaScriptConfirm; the capture always leaves.
bool IsLeavePageQuestion(const QString& message) {
    return message == QCoreApplication::translate("QWebEnginePage",
                                                  "Are you sure you want to leave this page? "
                                                  "Changes that you made may not be saved.");
}

} // namespace

BrowserPage::BrowserPage(QObject* parent)
    : BrowserPage(QWebEngineProfile::defaultProfile(), parent) {}

BrowserPage::BrowserPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
    QWebEngineSettings* config = settings();
    config->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    config->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    config->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
    config->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    UseBrowserFonts(config);
    RefuseRequests();
}

// Questions the engine would otherwise leave pending or put to the user.
void BrowserPage::RefuseRequests() {
    connect(this, &QWebEnginePage::certificateError,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
    connect(this, &QWebEnginePage::authenticationRequired,
            [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
    connect(this, &QWebEnginePage::featurePermissionRequested,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::fullScreenRequested,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::quotaRequested,
            [](QWebEngineQuotaRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
}

void BrowserPage::SetHeld(bool held) {
    FHeld = held;
    FRefused.clear();
}

bool BrowserPage::TakeRefused(const QUrl& url) {
    return FRefused.removeOne(url);
}

// Frames may still load what scrolling brings into view; only the page itself is held.
bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    if (!FHeld || !isMainFrame)
        return true;
    FRefused << url;
    return false;
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType) {
    emit NewWindowRefused();
    return nullptr;
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    if (!FQuiet)
        QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    if (IsLeavePageQuestion(msg))
        return true;
    return !FQuiet && QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result) {
    return !FQuiet && QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

QStringList BrowserPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                     const QStringList& acceptedMimeTypes) {
    if (FQuiet)
        return {};
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

// Pages write to their console freely; none of it is the user's business.
void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                           const QString&) {}
