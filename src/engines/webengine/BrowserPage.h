// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWebEnginePage>

// The page of the capture browser. It never opens a window of its own, and when it is quiet
// (the capture runs out of sight) nothing it does can open a dialog: alerts are dismissed,
// confirmations answered no, prompts and file choosers cancelled. While it is held (being
// captured) it cannot navigate away on its own: a page that reloads or redirects itself would
// otherwise swap its document under the capture.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit BrowserPage(QObject* parent = nullptr);
    BrowserPage(QWebEngineProfile* profile, QObject* parent);

    void SetQuiet(bool quiet) { FQuiet = quiet; }
    bool Quiet() const { return FQuiet; }
    void SetHeld(bool held);
    bool Held() const { return FHeld; }
    // Whether the page refused a navigation to url while held (each refusal is told once).
    bool TakeRefused(const QUrl& url);

signals:
    void NewWindowRefused();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    void RefuseRequests();

    bool FQuiet = true;
    bool FHeld = false;
    QList<QUrl> FRefused;
};
