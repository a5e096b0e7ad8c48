// SPDX-License-Identifier: GPL-3.0-or-later
#include "PixelPage.h"
#include "capture/EngineSetup.h"
#include "common/ErrorReport.h"
#include "gui/BrowserWindow.h"
#include "gui/MainWindow.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"
#include "output/WorkingPicture.h"
#include "support/Awaited.h"
#include "support/PageFolder.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <string>
#include <vector>

namespace {
// "-engine chromium" captures out of sight on Chromium; the visible window is Qt WebEngine's.
BrowserEngine Engine = BrowserEngine::Qt;
} // namespace

// The capture window on the real engine, driven as the main window drives it.
class tst_SnapEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hiddenCaptureIsThePage();
    void popupsAndDialogsDuringLoad();
    void framesCapturedOnce();
    void visibleBrowseThenCapture();
    void visibleCloseWithoutCapture();
    void refusedConnectionIsReported();
    void cleanupTestCase();

private:
    QString Write(const QString& name, const QByteArray& html);
    QString PageUrl(const PixelPage& page, const QString& name);
    void StartHidden(const QString& address);
    bool WaitForCapture();
    void SweepDialogs();

    PageFolder FFolder;
    MainWindow* FMain = nullptr;
    BrowserWindow* FSnap = nullptr;
    QStringList FMessages;
    QStringList FStrayWindows;
    QTimer FSweeper;
};

void tst_SnapEngine::initTestCase() {
    QVERIFY(FFolder.isValid());
    SetMessageSink([this](MessageKind, const QString& text) { FMessages << text; });
    FMain = new MainWindow;
    FSnap = new BrowserWindow;
    connect(&FSweeper, &QTimer::timeout, this, &tst_SnapEngine::SweepDialogs);
    FSweeper.start(20);
}

void tst_SnapEngine::init() {
    FMessages.clear();
    FStrayWindows.clear();
    FMain->showBrowserWindow = false;
    FMain->resolution1024Radio->setChecked(true);
    FMain->SetChosenEngine(Engine);
}

// Every window that a page could open ends up here: none may be open after a test.
void tst_SnapEngine::SweepDialogs() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != FSnap && window->objectName() != "CaptureHost") {
            FStrayWindows << QString::fromLatin1(window->metaObject()->className());
            window->close();
        }
    }
}

void tst_SnapEngine::cleanup() {
    QCOMPARE(FStrayWindows, QStringList());
    QVERIFY(!FSnap->isVisible());
    QFile::remove(WorkingPicturePath(FMain->FWorkingPictureName));
}

QString tst_SnapEngine::Write(const QString& name, const QByteArray& html) {
    QFile file(FFolder.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(html);
    return QUrl::fromLocalFile(file.fileName()).toString();
}

QString tst_SnapEngine::PageUrl(const PixelPage& page, const QString& name) {
    return QUrl::fromLocalFile(page.WriteTo(FFolder.path(), name)).toString();
}

void tst_SnapEngine::StartHidden(const QString& address) {
    FMain->addressEdit->setText(address);
    FMain->StartClick();
}

bool tst_SnapEngine::WaitForCapture() {
    QElapsedTimer clock;
    clock.start();
    while (!FSnap->FCaptured && FMessages.isEmpty() && clock.elapsed() < 60000)
        QTest::qWait(20);
    return FSnap->FCaptured;
}

void tst_SnapEngine::hiddenCaptureIsThePage() {
    const PixelPage page{QSize(1009, 6000), false, QRect()};
    StartHidden(PageUrl(page, QStringLiteral("hidden.html")));
    QVERIFY(WaitForCapture());
    QCOMPARE(page.Compare(LoadWorkingPicture(FMain->FWorkingPictureName), QSize(1009, 6000)),
             QString());
    QCOMPARE(FMain->pictureSizeLabel->text(), QStringLiteral("1009 x 6000"));
    QCOMPARE(FMain->FPage, 2);
    QTRY_COMPARE(FSnap->pageBrowser->LocationURL(), QStringLiteral("about:blank"));
    QVERIFY(FMessages.isEmpty());
}

// The page draws green when every question was answered no and every pop-up refused.
void tst_SnapEngine::popupsAndDialogsDuringLoad() {
    const QString html = QStringLiteral(R"(<!DOCTYPE html>
<html><body style="margin: 0; height: 3000px">
<script>
  const opened = [window.open('about:blank'), window.open('popup.html', '_blank', 'width=200')];
  alert('hello');
  const yes = confirm('capture?');
  const answer = prompt('name?', 'default');
  const fine = !opened[0] && !opened[1] && !yes && answer === null;
  document.body.style.background = fine ? 'rgb(0, 200, 0)' : 'rgb(200, 0, 0)';
  onload = () => { window.open('later.html'); alert('loaded'); };
</script>
<input type="file" id="f">
</body></html>)");
    StartHidden(Write(QStringLiteral("popups.html"), html.toUtf8()));
    QVERIFY(WaitForCapture());
    const QImage picture = LoadWorkingPicture(FMain->FWorkingPictureName);
    QCOMPARE(picture.size(), QSize(1009, 3000));
    QCOMPARE(QColor(picture.pixel(500, 2999)), QColor(0, 200, 0));
    QVERIFY(FMessages.isEmpty());
}

void tst_SnapEngine::framesCapturedOnce() {
    const PixelPage page{QSize(1009, 2500), false, QRect(100, 900, 600, 700)};
    CaptureJob job;
    job.engine = Engine;
    CaptureSession* session = FSnap->HiddenSessionFor(job);
    QVERIFY(session);
    QSignalSpy completions(&session->browser(), &Browser::DocumentComplete);
    StartHidden(PageUrl(page, QStringLiteral("frames.html")));
    QVERIFY(WaitForCapture());
    QCOMPARE(completions.size(), 1);

    QCOMPARE(page.Compare(LoadWorkingPicture(FMain->FWorkingPictureName), QSize(1009, 2500)),
             QString());
    const QDateTime written =
        QFileInfo(WorkingPicturePath(FMain->FWorkingPictureName)).lastModified();
    QTest::qWait(500); // the blank page completes later and captures nothing
    QCOMPARE(QFileInfo(WorkingPicturePath(FMain->FWorkingPictureName)).lastModified(), written);
}

// Browsing through a redirect to another page, then capturing at 800 x 600.
void tst_SnapEngine::visibleBrowseThenCapture() {
    const PixelPage target{QSize(785, 3000), true, QRect()};
    const QString targetUrl = PageUrl(target, QStringLiteral("target.html"));
    const QString redirect =
        Write(QStringLiteral("redirect.html"),
              QStringLiteral("<script>location.replace('%1')</script>").arg(targetUrl).toUtf8());
    const QString start = Write(QStringLiteral("start.html"), "<p>start</p>");
    FMain->showBrowserWindow = true;
    FMain->resolution800Radio->setChecked(true);
    FMain->addressEdit->setText(start);
    bool browsed = false;
    QTimer::singleShot(0, this, [&] {
        const auto closeOnFailure = qScopeGuard([&] {
            if (!browsed)
                FSnap->close();
        });
        QTRY_VERIFY_WITH_TIMEOUT(Awaited(FSnap->pageBrowser->HasDocument()), 30000);
        QCOMPARE(FSnap->pageBrowser->ViewSize(), QSize(780, 457));
        QSignalSpy complete(FSnap->pageBrowser, &Browser::DocumentComplete);
        FSnap->addressEdit->setText(redirect);
        QTest::keyClick(FSnap->addressEdit, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(FSnap->addressEdit->text(), targetUrl, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(
            !complete.isEmpty() && FSnap->pageBrowser->LocationURL() == targetUrl, 30000);
        QVERIFY(!FSnap->FCaptured);
        browsed = true;
        FSnap->captureButton->click();
    });
    FMain->StartClick();
    QVERIFY(browsed);
    QVERIFY(FSnap->FCaptured);
    QCOMPARE(target.Compare(LoadWorkingPicture(FMain->FWorkingPictureName), QSize(785, 3000)),
             QString());
    QCOMPARE(FMain->FPage, 2);
    QVERIFY(FMessages.isEmpty());
}

void tst_SnapEngine::visibleCloseWithoutCapture() {
    FMain->showBrowserWindow = true;
    FMain->addressEdit->setText(Write(QStringLiteral("close.html"), "<p>close</p>"));
    QTimer::singleShot(200, this, [&] { FSnap->close(); });
    FMain->StartClick();
    QVERIFY(!FSnap->FCaptured);
    QCOMPARE(FMain->FPage, 1);
    QVERIFY(!FMain->addressPage->isHidden());
    QVERIFY(!QFile::exists(WorkingPicturePath(FMain->FWorkingPictureName)));
}

void tst_SnapEngine::refusedConnectionIsReported() {
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    closed.close();
    StartHidden(address);
    QTRY_VERIFY_WITH_TIMEOUT(!FMessages.isEmpty(), 30000);
    QCOMPARE(FMessages.size(), 1);
    QVERIFY2(FMessages.first().startsWith(QStringLiteral("Could not load %1: ").arg(address)),
             qPrintable(FMessages.first()));
    QVERIFY(FMessages.first().endsWith('.'));
    QVERIFY(!FSnap->FCaptured);
    QCOMPARE(FMain->FPage, 1);
    QVERIFY(!QFile::exists(WorkingPicturePath(FMain->FWorkingPictureName)));
}

// The engine's page must go before the application does.
void tst_SnapEngine::cleanupTestCase() {
    FSweeper.stop();
    delete FSnap;
    delete FMain;
    SetMessageSink(nullptr);
}

int main(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    const auto engine = std::find(arguments.begin(), arguments.end(), std::string("-engine"));
    if (engine != arguments.end() && engine + 1 != arguments.end()) {
        if (std::string(*(engine + 1)) == "chromium")
            Engine = BrowserEngine::Chromium;
        arguments.erase(engine, engine + 2);
    }
    argc = int(arguments.size());
    argv = arguments.data();
    PrepareBrowserEngine();
    QApplication app(argc, argv);
    tst_SnapEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_snap_engine.moc"
