#pragma once

#include <QWebEnginePage>

// The page of the capture browser. It never opens a window of its own, and when it is quiet
// (the capture runs out of sight) nothing it does can open a dialog: alerts are dismissed,
// confirmations answered no, prompts and file choosers cancelled.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit BrowserPage(QObject* parent = nullptr);

    void SetQuiet(bool quiet) { FQuiet = quiet; }
    bool Quiet() const { return FQuiet; }

signals:
    void NewWindowRefused();

protected:
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
};
