// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormFixture.h"

#include "capture/CaptureSession.h"
#include "gui/ClickableImage.h"
#include "gui/HelpLinks.h"
#include "gui/UrlOpener.h"
#include "gui/widgets/ColorButton.h"
#include "gui/widgets/FlatSpinBox.h"
#include "gui/widgets/GradientCheckBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"
#include "gui/widgets/StyledProgressBar.h"
#include "output/BmpFile.h"
#include "output/WorkingPicture.h"
#include "png/PngWriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

namespace {

QWidget* FrontPage(MainWindow& form) {
    for (QWidget* page : {form.addressPage, form.picturePage, form.thumbnailPage, form.settingsPage,
                          form.helpPage}) {
        if (page->isVisibleTo(&form)) {
            return page;
        }
    }
    return nullptr;
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheAddressPage() {
        MainFormFixture f;
        f.show();
        QCOMPARE(f.main->FPage, 1);
        QCOMPARE(FrontPage(*f.main), f.main->addressPage);
        QVERIFY(QRegularExpression(
                    QStringLiteral(
                        "^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"))
                    .match(f.main->FWorkingPictureName)
                    .hasMatch());
        // the pages take turns in one place inside the window
        for (QWidget* page :
             {f.main->picturePage, f.main->thumbnailPage, f.main->settingsPage, f.main->helpPage}) {
            QCOMPARE(page->geometry(), f.main->addressPage->geometry());
        }
        QVERIFY(f.main->rect().contains(f.main->addressPage->geometry()));
        QVERIFY(!f.main->progressBar->isVisible());
        QVERIFY(f.messages.isEmpty());
    }

    void menuReturnsToTheRecordedPage() {
        MainFormFixture f;
        f.show();
        f.main->MakeThumbnailClick();
        QCOMPARE(f.main->FPage, 3);
        QTest::mouseClick(f.main->menuSettingsImage, Qt::LeftButton);
        QCOMPARE(FrontPage(*f.main), f.main->settingsPage);
        QVERIFY(f.main->menuSettingsLabel->font().bold());
        QVERIFY(!f.main->menuCaptureLabel->font().bold());
        QCOMPARE(f.main->FPage, 3);
        QTest::mouseClick(f.main->menuCaptureImage, Qt::LeftButton);
        QCOMPARE(FrontPage(*f.main), f.main->thumbnailPage);
        QVERIFY(f.main->menuCaptureLabel->font().bold());
    }

    // With no program to show it, the manual's link says so and where the file is.
    void manualThatCannotBeOpenedSaysWhere() {
        MainFormFixture f;
        f.show();
        QList<QUrl> asked;
        SetUrlOpener([&asked](const QUrl& url) {
            asked << url;
            return false;
        });
        QTest::mouseClick(f.main->menuHelpImage, Qt::LeftButton);
        QTest::mouseClick(f.main->manualButton, Qt::LeftButton);
        SetUrlOpener({});
        QCOMPARE(asked, QList<QUrl>{QUrl::fromLocalFile(ManualPath())});
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().contains(ManualPath()), qPrintable(f.messages.first()));
    }

    void helpPageShowsTheEngineVersion() {
        MainFormFixture f;
        f.show();
        QTest::mouseClick(f.main->menuHelpImage, Qt::LeftButton);
        QCOMPARE(FrontPage(*f.main), f.main->helpPage);
        QVERIFY(f.main->embeddedEngineVersionLabel->text().startsWith(
            QStringLiteral("Internet Explorer 版本号:  ")));
        QVERIFY(f.main->embeddedEngineVersionLabel->text().size() > 26);
        // The headless Chromium's line: a version, or the package that is missing.
        const QString chromium = f.main->chromiumVersionLabel->text();
        QVERIFY2(chromium.contains(QRegularExpression(
                     QStringLiteral("^Chromium \\(后台截图\\) 版本号:  (\\d+\\.[\\d.]+|未安装 "
                                    "\\(chromium-headless-shell\\))$"))),
                 qPrintable(chromium));
        QVERIFY(f.main->menuHelpLabel->font().bold());
    }

    void singleArgument_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("address");
        QTest::newRow("/u fills the box") << "/u:http://127.0.0.1/x"
                                          << "http://127.0.0.1/x";
        QTest::newRow("any separator") << "/u=file:///tmp/a b.html"
                                       << "file:///tmp/a b.html";
        QTest::newRow("/p alone is ignored") << "/p:shot.png" << MainWindow::DefaultStartAddress();
        QTest::newRow("upper case is not /u")
            << "/U:http://x/" << MainWindow::DefaultStartAddress();
    }
    void singleArgument() {
        QFETCH(QString, argument);
        QFETCH(QString, address);
        MainFormFixture f({argument});
        f.show();
        QCOMPARE(f.main->addressEdit->text(), address);
        QCOMPARE(f.main->FPage, 1);
        QVERIFY(f.browser->Navigations().isEmpty());
    }

    void thumbnailEnableRules() {
        MainFormFixture f;
        f.show();
        f.main->MakeThumbnailClick();
        QVERIFY(!f.main->thumbnailPercentSpin->isEnabled());
        QVERIFY(f.main->thumbnailWidthSpin->isEnabled());
        QTest::mouseClick(f.main->thumbnailByPercentRadio, Qt::LeftButton);
        QVERIFY(f.main->thumbnailPercentSpin->isEnabled());
        QVERIFY(!f.main->thumbnailWidthSpin->isEnabled());
        QVERIFY(!f.main->thumbnailHeightSpin->isEnabled());
        // A picture-size choice changes nothing but its own state.
        QTest::mouseClick(f.main->thumbnailSourceCropRadio, Qt::LeftButton);
        QVERIFY(f.main->thumbnailSourceCropRadio->Checked());
        QVERIFY(f.main->thumbnailPercentSpin->isEnabled());
        QVERIFY(f.main->thumbnailByPercentRadio->Checked());
        QVERIFY(!f.main->thumbnailColorButton->isEnabled());
        QTest::mouseClick(f.main->thumbnailBorderCheck, Qt::LeftButton);
        QVERIFY(f.main->thumbnailColorButton->isEnabled());
        QTest::mouseClick(f.main->thumbnailSmoothCheck, Qt::LeftButton);
        QVERIFY(f.main->thumbnailColorButton->isEnabled());
    }

    void radioGroupsArePerParent() {
        MainFormFixture f;
        f.main->thumbnailByPercentRadio->setChecked(true);
        QVERIFY(!f.main->thumbnailBySizeRadio->Checked());
        QVERIFY(f.main->resolution1024Radio->Checked());
        QVERIFY(f.main->thumbnailSourceFullRadio->Checked());
        QVERIFY(f.main->pictureFullRadio->Checked());
        f.main->resolution800Radio->setChecked(true);
        QVERIFY(!f.main->resolution1024Radio->Checked());
        QVERIFY(f.main->thumbnailByPercentRadio->Checked());
    }

    void startSizesTheBrowserAndCropHeights_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QSize>("browser");
        QTest::addColumn<int>("crop");
        QTest::newRow("1280 x 1024") << 1 << QSize(1280, 1024) << 1024;
        QTest::newRow("1024 x 768") << 2 << QSize(1024, 768) << 768;
        QTest::newRow("800 x 600") << 3 << QSize(800, 600) << 600;
    }
    void startSizesTheBrowserAndCropHeights() {
        QFETCH(int, choice);
        QFETCH(QSize, browser);
        QFETCH(int, crop);
        MainFormFixture f;
        f.show();
        GradientRadioButton* buttons[] = {f.main->resolution1280Radio, f.main->resolution1024Radio,
                                          f.main->resolution800Radio};
        buttons[choice - 1]->setChecked(true);
        f.main->cropHeightSpin->setValue(5);
        f.main->addressEdit->setText(QStringLiteral("http://127.0.0.1:9/"));
        QTest::keyClick(f.main->addressEdit, Qt::Key_Return);
        QCOMPARE(f.browser->ViewSize(), browser);
        QCOMPARE(f.browser->Navigations().value(0), QStringLiteral("http://127.0.0.1:9/"));
        QCOMPARE(f.snap->addressEdit->text(), QStringLiteral("http://127.0.0.1:9/"));
        QCOMPARE(f.main->cropHeightSpin->Value(), crop);
        QCOMPARE(f.main->thumbnailCropHeightSpin->Value(), crop);
        QCOMPARE(f.main->FPage, 2);
        QCOMPARE(FrontPage(*f.main), f.main->addressPage);
        QVERIFY(f.main->progressBar->isVisible());
    }

    // Start with an address the browser cannot use says so and starts nothing.
    void unusableAddressStartsNothing_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "Please type the address of a web page.";
        QTest::newRow("blanks") << "   "
                                << "Please type the address of a web page.";
        QTest::newRow("script") << "javascript:alert(1)"
                                << "The browser cannot open \"javascript\" addresses: "
                                   "javascript:alert(1)"; // ')' takes no full stop
        QTest::newRow("mail") << "mailto:a@example.org"
                              << "The browser cannot open \"mailto\" addresses: "
                                 "mailto:a@example.org.";
    }
    void unusableAddressStartsNothing() {
        QFETCH(QString, address);
        MainFormFixture f;
        f.show();
        f.main->addressEdit->setText(address);
        f.main->startButton->click();
        QTEST(f.messages.join(u'|'), "message");
        QVERIFY(f.browser->Navigations().isEmpty());
        QVERIFY(!f.snap->isVisible());
        QCOMPARE(f.main->FPage, 1);
        QVERIFY(!f.main->progressBar->isVisible());
    }

    // The capture's progress follows the load's in the bar; the status says what happens.
    void captureShowsItsProgress() {
        MainFormFixture f;
        f.show();
        QStringList statuses;
        QList<int> positions;
        connect(&f.snap->Session(), &CaptureSession::ScreensProgress, f.main.get(), [&] {
            statuses << f.main->statusLabel->text();
            positions << f.main->progressBar->Position();
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        });
        f.capture(QSize(1009, 3000));
        QCOMPARE(positions, (QList<int>{1, 2, 3, 4, 5})); // 729 rows a step, the last at 2232
        QCOMPARE(statuses.last(), QStringLiteral("正在截取整个网页: 第 5 屏, 共 5 屏"));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void captureFillsTheResultPage() {
        MainFormFixture f;
        f.show();
        f.capture(QSize(1009, 3200));
        QCOMPARE(FrontPage(*f.main), f.main->picturePage);
        QCOMPARE(f.main->pictureSizeLabel->text(), QStringLiteral("1009 x 3200"));
        QCOMPARE(f.main->bmpSizeLabel->text(), QStringLiteral("BMP:9463 KB"));
        QCOMPARE(f.main->cropHeightSpin->MaxValue(), 3200);
        QCOMPARE(f.main->thumbnailCropHeightSpin->MaxValue(), 3200);
        QCOMPARE(f.main->cropHeightSpin->Value(), 768);
        QVERIFY(!f.main->previewImage->pixmap().isNull());
        QCOMPARE(f.main->previewImage->pixmap().size(), QSize(140, 160));
        // The capture window's close ran Start new page before the result page came forward.
        QCOMPARE(f.main->addressEdit->text(), MainWindow::DefaultStartAddress());
        QCOMPARE(f.browser->Navigations().last(), QStringLiteral("about:blank"));
        QVERIFY(f.main->statusLabel->text().isEmpty());
        QVERIFY(!f.main->progressBar->isVisible());
        const QImage picture = LoadWorkingPicture(f.main->FWorkingPictureName);
        QCOMPARE(picture.size(), QSize(1009, 3200));
        QCOMPARE(picture.pixel(1008, 3199), FakeBrowser::PagePixel(1008, 3199));
        QVERIFY(f.messages.isEmpty());
    }

    void secondCaptureOfATallerPageKeepsTheClampedCrop() {
        MainFormFixture f;
        f.show();
        f.capture(QSize(1009, 900));
        QCOMPARE(f.main->cropHeightSpin->MaxValue(), 900);
        QCOMPARE(f.main->cropHeightSpin->Value(), 768);
        // The larger screen's height is clamped to the last picture's height.
        f.main->resolution1280Radio->setChecked(true);
        f.capture(QSize(1264, 2000));
        QCOMPARE(f.main->cropHeightSpin->Value(), 900);
        QCOMPARE(f.main->thumbnailCropHeightSpin->Value(), 900);
        QCOMPARE(f.main->cropHeightSpin->MaxValue(), 2000);
    }

    void failedLoadReturnsToTheAddressPage() {
        MainFormFixture f;
        f.show();
        f.main->addressEdit->setText(QStringLiteral("http://127.0.0.1:9/"));
        f.main->StartClick();
        f.browser->FailLoad(QStringLiteral("connection refused"));
        QTRY_COMPARE(f.main->FPage, 1);
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages.first().contains(QStringLiteral("connection refused")),
                 qPrintable(f.messages.first()));
        QVERIFY(!QFile::exists(WorkingPicturePath(f.main->FWorkingPictureName)));
        QCOMPARE(FrontPage(*f.main), f.main->addressPage);
    }

    void startNewPageResetsTheWizard() {
        MainFormFixture f;
        f.show();
        f.capture(QSize(1009, 900));
        f.main->MakeThumbnailClick();
        f.main->statusLabel->setText(QStringLiteral("x"));
        QTest::mouseClick(f.main->startNewPageFromThumbnailButton, Qt::LeftButton);
        QCOMPARE(f.main->FPage, 1);
        QCOMPARE(FrontPage(*f.main), f.main->addressPage);
        QCOMPARE(f.main->startButton->caption(), QStringLiteral("开始(&T)"));
        QVERIFY(f.main->statusLabel->text().isEmpty());
        QCOMPARE(f.browser->Navigations().last(), QStringLiteral("about:blank"));
        QVERIFY(QFile::exists(WorkingPicturePath(f.main->FWorkingPictureName)));
    }

    void saveButtonsWriteTheCroppedPicture_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("filter");
        QTest::newRow("BMP") << "savePictureBmpButton"
                             << "BMP位图 (*.bmp)|bmp";
        QTest::newRow("PNG") << "savePicturePngButton"
                             << "PNG 文件(*.PNG)|png";
        QTest::newRow("JPEG") << "savePictureJpegButton"
                              << "JPEG 图象文件 (*.jpg)|jpg";
    }
    void saveButtonsWriteTheCroppedPicture() {
        QFETCH(QString, button);
        QFETCH(QString, filter);
        MainFormFixture f;
        f.show();
        f.capture(QSize(1009, 3000));
        f.main->pictureCropRadio->setChecked(true);
        f.main->cropHeightSpin->setValue(1000);
        f.nextSaveName = f.temp.filePath(QStringLiteral("saved"));
        QTest::mouseClick(f.main->findChild<StyledButton*>(button), Qt::LeftButton);
        QCOMPARE(f.saveRequests, QStringList{QStringLiteral("Webpage|") + filter});
        QImage written;
        if (button == QLatin1String("savePictureBmpButton")) {
            written = ReadBmp(f.nextSaveName);
        } else {
            QVERIFY(written.load(f.nextSaveName));
        }
        QCOMPARE(written.size(), QSize(1009, 1000));
        QCOMPARE(f.main->bmpSizeLabel->text(), QStringLiteral("BMP:8872 KB"));
        QVERIFY(f.messages.isEmpty());
    }

    void cancelledSaveWritesNothing() {
        MainFormFixture f;
        f.show();
        f.capture(QSize(1009, 800));
        f.nextSaveName.clear();
        f.main->SavePicturePngClick();
        QCOMPARE(f.saveRequests.size(), 1);
        QCOMPARE(QDir(f.temp.path()).entryList(QDir::Files).size(), 1); // the working picture
    }

    void previewWithoutCaptureIsReported() {
        MainFormFixture f;
        f.show();
        QTest::mouseClick(f.main->findChild<StyledButton*>(QStringLiteral("previewPictureButton")),
                          Qt::LeftButton);
        QCOMPARE(f.messages.size(), 1);
        QVERIFY(f.messages.first().endsWith(QLatin1Char('.')));
    }

    void thumbnailButtonsProposeTheThumbName() {
        MainFormFixture f;
        f.show();
        f.capture(QSize(1009, 3000));
        f.main->MakeThumbnailClick();
        f.nextSaveName = f.temp.filePath(QStringLiteral("thumb.png"));
        QTest::mouseClick(f.main->saveThumbnailPngButton, Qt::LeftButton);
        QCOMPARE(f.saveRequests.last().section(QLatin1Char('|'), 0, 0),
                 QStringLiteral("Webpage_thumb"));
        QImage thumb;
        QVERIFY(thumb.load(f.nextSaveName));
        QCOMPARE(thumb.size(), QSize(160, 180));
        f.nextSaveName.clear();
        f.main->SavePicturePngClick();
        QCOMPARE(f.saveRequests.last().section(QLatin1Char('|'), 0, 0), QStringLiteral("Webpage"));
    }

    void closeRemovesTheWorkingPicture() {
        MainFormFixture f;
        f.show();
        const QString path = WorkingPicturePath(f.main->FWorkingPictureName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        f.main->close();
        QVERIFY(!QFile::exists(path));
        QVERIFY(f.messages.isEmpty());
    }

    void closeWithoutPictureShowsNothing() {
        MainFormFixture f;
        f.show();
        f.main->close();
        QVERIFY(f.messages.isEmpty());
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
