// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ErrorReport.h"
#include "gui/BrowserWindow.h"
#include "gui/ClickableImage.h"
#include "gui/MainWindow.h"
#include "gui/widgets/FlatSpinBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledProgressBar.h"
#include "output/WorkingPicture.h"
#include "support/FakeBrowser.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

// The capture window with a fake engine: handlers, both modes, the capture's marks on the
// main window, and what failures leave behind.
class tst_SnapForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout();
    void hiddenCapture();
    void stoppedWhileTheLoadHangs_data();
    void stoppedWhileTheLoadHangs();
    void noSecondCapture();
    void noDocumentNoCapture();
    void failedCaptureWritesNothing_data();
    void failedCaptureWritesNothing();
    void failedLoadReturnsToAddressPage();
    void progressAndStatusReachBothWindows();
    void browsingHandlers();
    void visibleCaptureAtChosenResolution();
    void visibleCloseReturnsToAddressPage();
    void failedButtonCaptureShowsWindowAgain();

private:
    void StartHidden(const QString& address);
    bool WorkingFileExists() const;

    MainWindow* FMain = nullptr;
    BrowserWindow* FSnap = nullptr;
    FakeBrowser* FBrowser = nullptr;
    QStringList FMessages;
};

void tst_SnapForm::init() {
    FMessages.clear();
    SetMessageSink([this](MessageKind, const QString& text) { FMessages << text; });
    FMain = new MainWindow;
    FBrowser = new FakeBrowser;
    FSnap = new BrowserWindow(FBrowser);
}

void tst_SnapForm::cleanup() {
    QFile::remove(WorkingPicturePath(FMain->FWorkingPictureName));
    delete FSnap;
    delete FMain;
    SetMessageSink(nullptr);
}

bool tst_SnapForm::WorkingFileExists() const {
    return QFile::exists(WorkingPicturePath(FMain->FWorkingPictureName));
}

// What the main window's Start does in hidden mode.
void tst_SnapForm::StartHidden(const QString& address) {
    FMain->addressEdit->setText(address);
    FMain->StartClick();
    QVERIFY(FSnap->isVisible());
    QVERIFY(FSnap->testAttribute(Qt::WA_DontShowOnScreen));
}

// Every control whole inside the window, the toolbar's controls side by side without overlap,
// the page between the toolbar and the status line.
void tst_SnapForm::layout() {
    QCOMPARE(FSnap->windowTitle(), QStringLiteral("Vistrel Pro"));
    const QStringList toolbar{"addressEdit", "stopButton", "refreshButton", "captureButton"};
    QList<QRect> taken;
    for (const QString& name :
         toolbar + QStringList{"bannerPicture", "pageBrowser", "statusLabel", "progressBar"}) {
        auto* widget = FSnap->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(FSnap->rect().contains(widget->geometry()), qPrintable(name));
        if (toolbar.contains(name)) {
            for (const QRect& other : taken)
                QVERIFY2(!other.intersects(widget->geometry()), qPrintable(name));
            taken << widget->geometry();
        }
    }
    const QRect page = FSnap->findChild<QWidget*>("pageBrowser")->geometry();
    QVERIFY(page.top() >= FSnap->findChild<QWidget*>("bannerPicture")->geometry().bottom());
    QVERIFY(page.bottom() < FSnap->findChild<QWidget*>("statusLabel")->geometry().top());
    QCOMPARE(FSnap->addressEdit->text(), QStringLiteral("about:blank"));
    QVERIFY(!FSnap->addressEdit->hasFrame());
    QCOMPARE(FSnap->stopButton->caption(), QStringLiteral("停止(&T)"));
    QCOMPARE(FSnap->refreshButton->caption(), QStringLiteral("刷新(&R)"));
    QCOMPARE(FSnap->captureButton->caption(), QStringLiteral("捕捉此页"));
    QVERIFY(FSnap->captureButton->font().bold());
    QVERIFY(FSnap->progressBar->Smooth());
}

void tst_SnapForm::hiddenCapture() {
    FMain->cropHeightSpin->setValue(700);
    FBrowser->SetPageSize(QSize(1009, 3000));
    StartHidden(QStringLiteral("http://example.test/"));
    QCOMPARE(FBrowser->ViewSize(), QSize(1024, 768));
    QVERIFY(FBrowser->Quiet());
    FBrowser->FinishLoad();

    QVERIFY(FSnap->FCaptured);
    QVERIFY(!FSnap->isVisible());
    QVERIFY(FMessages.isEmpty());
    const QImage saved = LoadWorkingPicture(FMain->FWorkingPictureName);
    QCOMPARE(saved.size(), QSize(1009, 3000));
    for (const QPoint p : {QPoint(0, 0), QPoint(1008, 0), QPoint(500, 1500), QPoint(1008, 2999)})
        QCOMPARE(saved.pixel(p) & 0xFFFFFF, FakeBrowser::PagePixel(p.x(), p.y()) & 0xFFFFFF);
    QCOMPARE(FMain->pictureSizeLabel->text(), QStringLiteral("1009 x 3000"));
    QCOMPARE(FMain->bmpSizeLabel->text(), BmpSizeLabel(1009, 3000));
    QCOMPARE(FMain->cropHeightSpin->MaxValue(), 3000);
    QCOMPARE(FMain->thumbnailCropHeightSpin->MaxValue(), 3000);
    QCOMPARE(FMain->cropHeightSpin->Value(), 768); // set by Start, not by the capture
    QCOMPARE(FMain->previewImage->pixmap().size(), QSize(140, 160));
    QCOMPARE(FBrowser->Navigations().last(), QStringLiteral("about:blank"));
    QVERIFY(FMain->statusLabel->text().isEmpty());
    QVERIFY(FMain->progressBar->isHidden());
    QVERIFY(!FMain->picturePage->isHidden());
    QCOMPARE(FMain->FPage, 2);
    // closing the window ran Start new page first
    QCOMPARE(FMain->addressEdit->text(), MainWindow::DefaultStartAddress());
}

// A page that never finishes: the busy cursor shows from the load on, and Esc or the stop
// button end the capture and bring back the address as it was typed.
void tst_SnapForm::stoppedWhileTheLoadHangs_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("the stop button") << false;
}

void tst_SnapForm::stoppedWhileTheLoadHangs() {
    QFETCH(bool, escape);
    FMain->show();
    StartHidden(QStringLiteral("http://hangs.test/"));
    QVERIFY(QGuiApplication::overrideCursor());
    QVERIFY(FMain->stopCaptureButton->isVisible());
    if (escape) {
        FMain->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(FMain));
        QTest::keyClick(FMain, Qt::Key_Escape);
    } else
        QTest::mouseClick(FMain->stopCaptureButton, Qt::LeftButton);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(FMain->FPage, 1);
    QCOMPARE(FMain->addressEdit->text(), QStringLiteral("http://hangs.test/"));
    QVERIFY(FMain->progressBar->isHidden());
    QVERIFY(FMain->stopCaptureButton->isHidden());
    FBrowser->FinishLoad(); // too late: nothing is captured
    QVERIFY(!FSnap->FCaptured);
    QVERIFY(FMessages.isEmpty());
}

void tst_SnapForm::noSecondCapture() {
    FBrowser->SetPageSize(QSize(1009, 1000));
    StartHidden(QStringLiteral("http://example.test/"));
    FBrowser->FinishLoad();
    const int renderings = FBrowser->Renderings();
    QVERIFY(renderings > 0);
    FBrowser->FinishLoad(); // the blank page, or anything else, completing later
    QCOMPARE(FBrowser->Renderings(), renderings);
}

void tst_SnapForm::noDocumentNoCapture() {
    StartHidden(QStringLiteral("http://example.test/"));
    FBrowser->SetDocument(false);
    FSnap->CapturePage();
    QCOMPARE(FBrowser->Renderings(), 0);
    QVERIFY(!FSnap->FCaptured);
    QVERIFY(FMessages.isEmpty());
    QVERIFY(!WorkingFileExists());
}

void tst_SnapForm::failedCaptureWritesNothing_data() {
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("number");
    QTest::newRow("metrics") << int(FakeBrowser::Call::Metrics) << 1;
    QTest::newRow("paint") << int(FakeBrowser::Call::Paint) << 2;
    QTest::newRow("scroll") << int(FakeBrowser::Call::Scroll) << 3;
}

void tst_SnapForm::failedCaptureWritesNothing() {
    QFETCH(int, call);
    QFETCH(int, number);
    FBrowser->SetPageSize(QSize(1009, 5000));
    StartHidden(QStringLiteral("http://example.test/"));
    FBrowser->FailOn(FakeBrowser::Call(call), number, QStringLiteral("The engine went away"));
    const QString label9 = FMain->pictureSizeLabel->text();
    FBrowser->FinishLoad();
    QCOMPARE(FMessages, QStringList{QStringLiteral("The engine went away.")});
    QVERIFY(!WorkingFileExists());
    QVERIFY(!FSnap->FCaptured);
    QVERIFY(!FSnap->isVisible()); // nothing left shown out of sight
    QCOMPARE(FMain->pictureSizeLabel->text(), label9);
    QCOMPARE(FMain->cropHeightSpin->MaxValue(), 3000);
}

void tst_SnapForm::failedLoadReturnsToAddressPage() {
    StartHidden(QStringLiteral("http://127.0.0.1:9/"));
    FBrowser->FailLoad(QStringLiteral("Connection refused"));
    QCOMPARE(FMessages, QStringList{QStringLiteral(
                            "Could not load http://127.0.0.1:9/: Connection refused.")});
    QVERIFY(!FSnap->isVisible());
    QCOMPARE(FMain->FPage, 1);
    QVERIFY(!FMain->addressPage->isHidden());
    QCOMPARE(FBrowser->Renderings(), 0);
    FBrowser->FinishLoad(); // an error page completing afterwards is no page either
    QCOMPARE(FBrowser->Renderings(), 0);
}

void tst_SnapForm::progressAndStatusReachBothWindows() {
    emit FBrowser->ProgressChange(30, 200);
    for (StyledProgressBar* bar : {FMain->progressBar, FSnap->progressBar}) {
        QCOMPARE(bar->Max(), 200);
        QCOMPARE(bar->Position(), 30);
    }
    emit FBrowser->ProgressChange(-1, 100);
    QCOMPARE(FMain->progressBar->Position(), 0);
    QCOMPARE(FSnap->progressBar->Position(), 0);
    emit FBrowser->StatusTextChange(QStringLiteral("完成"));
    QCOMPARE(FMain->statusLabel->text(), QStringLiteral("完成"));
    QCOMPARE(FSnap->statusLabel->text(), QStringLiteral("完成"));
}

void tst_SnapForm::browsingHandlers() {
    FBrowser->Navigate(QStringLiteral("http://example.test/after-redirect"));
    emit FBrowser->NavigateComplete();
    QCOMPARE(FSnap->addressEdit->text(), QStringLiteral("http://example.test/after-redirect"));
    FSnap->addressEdit->setText(QStringLiteral("http://example.test/typed"));
    QTest::keyClick(FSnap->addressEdit, Qt::Key_Return);
    QCOMPARE(FBrowser->Navigations().last(), QStringLiteral("http://example.test/typed"));
    QTest::keyClick(FSnap->addressEdit, Qt::Key_A);
    QCOMPARE(FBrowser->Navigations().size(), 2);
    FSnap->stopButton->click();
    QCOMPARE(FBrowser->Stops(), 1);
    FSnap->refreshButton->click();
    QCOMPARE(FBrowser->Refreshes(), 1);
}

void tst_SnapForm::visibleCaptureAtChosenResolution() {
    FMain->showBrowserWindow = true;
    FMain->resolution800Radio->setChecked(true);
    FBrowser->SetPageSize(QSize(785, 2000));
    FMain->addressEdit->setText(QStringLiteral("http://example.test/"));
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        const auto closeOnFailure = qScopeGuard([&] {
            if (!checked)
                FSnap->close(); // a failed check must not leave the modal loop running
        });
        QVERIFY(FSnap->isVisible());
        QVERIFY(FSnap->isModal());
        QVERIFY(!FSnap->testAttribute(Qt::WA_DontShowOnScreen));
        QCOMPARE(FBrowser->ViewSize(), QSize(780, 457));
        QVERIFY(!FBrowser->Quiet());
        FSnap->addressEdit->setText(QStringLiteral("http://example.test/"));
        QTest::keyClick(FSnap->addressEdit, Qt::Key_Return);
        QCOMPARE(FBrowser->Stops(), 0); // Enter is not also a click on a default button
        FBrowser->FinishLoad();         // completions never capture in this mode
        QCOMPARE(FBrowser->Renderings(), 0);
        checked = true;
        FSnap->captureButton->click();
    });
    FMain->StartClick();
    QVERIFY(checked);
    QVERIFY(!FSnap->isVisible());
    QVERIFY(FSnap->FCaptured);
    QCOMPARE(FBrowser->ViewSize(), QSize(800, 600));
    QCOMPARE(LoadWorkingPicture(FMain->FWorkingPictureName).size(), QSize(785, 2000));
    QCOMPARE(FMain->pictureSizeLabel->text(), QStringLiteral("785 x 2000"));
    QCOMPARE(FMain->FPage, 2);
    QVERIFY(!FMain->picturePage->isHidden());
    // capturing with the button does not run Start new page
    QCOMPARE(FMain->addressEdit->text(), QStringLiteral("http://example.test/"));
    QCOMPARE(FSnap->pageBrowser->Widget(), nullptr);
    QCOMPARE(FSnap->findChild<QWidget*>("pageBrowser")->parentWidget(), FSnap);
}

void tst_SnapForm::visibleCloseReturnsToAddressPage() {
    FMain->showBrowserWindow = true;
    FMain->addressEdit->setText(QStringLiteral("http://example.test/"));
    QTimer::singleShot(0, this, [&] { QTest::keyClick(FSnap, Qt::Key_Escape); });
    FMain->StartClick();
    QVERIFY(!FSnap->isVisible());
    QVERIFY(!FSnap->FCaptured);
    QCOMPARE(FMain->FPage, 1);
    QCOMPARE(FMain->addressEdit->text(), MainWindow::DefaultStartAddress());
    QCOMPARE(FBrowser->Navigations().last(), QStringLiteral("about:blank"));
}

// The window must never stay hidden while modal: after the error it comes back, browsing size.
void tst_SnapForm::failedButtonCaptureShowsWindowAgain() {
    FMain->showBrowserWindow = true;
    FBrowser->SetPageSize(QSize(1009, 4000));
    FBrowser->FailOn(FakeBrowser::Call::Paint, 2, QStringLiteral("Painting failed"));
    bool shownAgain = false;
    QTimer::singleShot(0, this, [&] {
        FBrowser->FinishLoad();
        FSnap->captureButton->click();
        QTimer::singleShot(0, this, [&] {
            const auto close = qScopeGuard([&] { FSnap->close(); });
            shownAgain = FSnap->isVisible() && QApplication::activeModalWidget() == FSnap;
            QCOMPARE(FBrowser->ViewSize(), QSize(780, 457));
            QVERIFY(!FSnap->FButtonCapture);
        });
    });
    FMain->StartClick();
    QVERIFY(shownAgain);
    QCOMPARE(FMessages, QStringList{QStringLiteral("Painting failed.")});
    QVERIFY(!FSnap->isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(!WorkingFileExists());
    QCOMPARE(FMain->FPage, 1); // closed without a capture: Start new page
}

QTEST_MAIN(tst_SnapForm)
#include "tst_snapform.moc"
