// SPDX-License-Identifier: GPL-3.0-or-later
// The help page and the settings page's menu tools.
#include "common/ErrorReport.h"
#include "common/ProgramFolder.h"
#include "engines/BrowserVersion.h"
#include "gui/HelpLinks.h"
#include "gui/MainWindow.h"
#include "gui/UrlOpener.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProcess>

namespace {

// Success is judged by the start alone; the tool's own outcome is its business.
void StartMenuTool(const QString& tool, const QString& message) {
    if (QProcess::startDetached(ProgramFolder() + QStringLiteral("dll/") + tool, {})) {
        ShowInformation(message);
    }
}

} // namespace

void MainWindow::MenuHelpClick() {
    embeddedEngineVersionLabel->setText(
        QCoreApplication::translate("Window", "Internet Explorer 版本号:  ") +
        ReadBrowserVersion());
    chromiumVersionLabel->setText(
        QCoreApplication::translate("Window", "Chromium (后台截图) 版本号:  ") +
        HeadlessChromiumVersionText(QCoreApplication::translate("Window", "未安装")));
    BringToFront(helpPage);
    SetMenuBold(menuHelpLabel);
}

// The manual: a link that does nothing when no program can show it would leave the user
// guessing, so it says where the file is.
void MainWindow::ManualClick() {
    const QString manual = ManualPath();
    const auto cannotOpen = [manual] {
        ShowErrorReport(
            QStringLiteral("The manual could not be opened: no program to show it could be "
                           "started. It is the file %1")
                .arg(manual));
    };
    if (!OpenWithDesktop(QUrl::fromLocalFile(manual), cannotOpen))
        cannotOpen();
}

void MainWindow::SupportForumClick() {
    OpenWithDesktop(QUrl(SupportAddress()));
}

void MainWindow::CheckUpdatesClick() {
    OpenWithDesktop(QUrl(UpdateAddress()));
}

void MainWindow::HomePageClick() {
    OpenWithDesktop(QUrl(HomeAddress()));
}

void MainWindow::AddToOpenWithClick() {
    StartMenuTool(
        QStringLiteral("regdll"),
        QStringLiteral("Vistrel Pro has been added to right-click menu in Internet Explorer."));
}

void MainWindow::RemoveFromOpenWithClick() {
    StartMenuTool(
        QStringLiteral("unregdll"),
        QStringLiteral("Vistrel Pro has been removed from right-click menu in Internet Explorer."));
}
