// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/ColorButton.h"
#include "gui/widgets/ColorPalettePopup.h"

#include <QToolButton>
// Mouse clicks travel through the windows, so the open palette sees presses outside itself
// as a user's would.
#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>
#include <set>

namespace {

// Stands in for the colour dialog: remembers what it was preset to and answers as told.
struct DialogStub {
    QColor initial;
    int calls = 0;
    std::optional<QColor> answer;
    void install() {
        ColorButton::ColorDialogHook = [this](const QColor& c, QWidget*) {
            initial = c;
            ++calls;
            return answer;
        };
    }
    ~DialogStub() { ColorButton::ColorDialogHook = nullptr; }
};

QToolButton* Entry(ColorButton& button, const QString& name) {
    return button.findChild<QToolButton*>(name);
}

QColor FaceColour(ColorButton& button) {
    const QImage img = button.grab().toImage();
    return QColor(img.pixel(12, button.height() / 2));
}

} // namespace

class TestOfficeColorButton : public QObject {
    Q_OBJECT
private slots:
    void init() {
        FButton = std::make_unique<ColorButton>();
        FButton->resize(48, 23);
        FButton->show();
        QVERIFY(QTest::qWaitForWindowExposed(FButton.get()));
    }
    void cleanup() { FButton.reset(); }

    void startsBlackWithItsCaptions() {
        QCOMPARE(FButton->SelectedColor(), quint32(0));
        QCOMPARE(FButton->AutoCaption(), QString::fromUtf8("自动"));
        QCOMPARE(FButton->OtherCaption(), QString::fromUtf8("其他颜色..."));
        QCOMPARE(Entry(*FButton, "AutoEntry")->text(), QString::fromUtf8("自动"));
        FButton->setOtherCaption("More...");
        QCOMPARE(Entry(*FButton, "OtherEntry")->text(), QString("More..."));
    }

    void paletteHasFortyPresets() {
        for (int i = 0; i < ColorPalettePopup::PresetCount; ++i) {
            QVERIFY2(Entry(*FButton, QString("ColorEntry%1").arg(i)),
                     qPrintable(QString::number(i)));
        }
        QVERIFY(!Entry(*FButton, "ColorEntry40"));
        const auto& c = ColorPalettePopup::PresetColors();
        QCOMPARE(std::set<quint32>(c.begin(), c.end()).size(), size_t(40));
    }

    void clickDropsThePalette() {
        QVERIFY(!FButton->Palette()->isVisible());
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QVERIFY(FButton->Palette()->isVisible());
    }

    void secondClickOnTheButtonClosesThePalette() {
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QVERIFY(FButton->Palette()->isVisible());
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QVERIFY(!FButton->Palette()->isVisible());
    }

    void pickingSetsAndFires_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("automatic") << "AutoEntry" << quint32(536870912);
        QTest::newRow("black") << "ColorEntry0" << quint32(0x000000);
        QTest::newRow("red is 255") << "ColorEntry16" << quint32(0x0000ff);
        QTest::newRow("blue is red-low") << "ColorEntry13" << quint32(0xff0000);
        QTest::newRow("orange FF6600") << "ColorEntry9" << quint32(0x0066ff);
        QTest::newRow("white") << "ColorEntry39" << quint32(0xffffff);
    }
    void pickingSetsAndFires() {
        QFETCH(QString, entry);
        QFETCH(quint32, expected);
        FButton->setSelectedColor(0x123456);
        QSignalSpy picked(FButton.get(), &ColorButton::colorPicked);
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QTest::mouseClick(Entry(*FButton, entry), Qt::LeftButton);
        QCOMPARE(FButton->SelectedColor(), expected);
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).value<quint32>(), expected);
        QVERIFY(!FButton->Palette()->isVisible());
    }

    void faceShowsTheColour_data() {
        QTest::addColumn<quint32>("colorRef");
        QTest::addColumn<QColor>("face");
        QTest::newRow("red") << quint32(0x0000ff) << QColor(255, 0, 0);
        QTest::newRow("blue") << quint32(0xff0000) << QColor(0, 0, 255);
        QTest::newRow("automatic shows black") << quint32(536870912) << QColor(0, 0, 0);
    }
    void faceShowsTheColour() {
        QFETCH(quint32, colorRef);
        QFETCH(QColor, face);
        QSignalSpy picked(FButton.get(), &ColorButton::colorPicked);
        FButton->setSelectedColor(colorRef);
        QCOMPARE(FButton->SelectedColor(), colorRef);
        QCOMPARE(FaceColour(*FButton), face);
        QCOMPARE(picked.count(), 0);
    }

    void otherColoursThroughTheDialog_data() {
        QTest::addColumn<quint32>("current");
        QTest::addColumn<QColor>("preset");
        QTest::newRow("from a colour") << quint32(0x336699) << QColor(0x99, 0x66, 0x33);
        QTest::newRow("from automatic") << quint32(536870912) << QColor(0, 0, 0);
    }
    void otherColoursThroughTheDialog() {
        QFETCH(quint32, current);
        QFETCH(QColor, preset);
        DialogStub dialog;
        dialog.answer = QColor(0x12, 0x34, 0x56);
        dialog.install();
        FButton->setSelectedColor(current);
        QSignalSpy picked(FButton.get(), &ColorButton::colorPicked);
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QTest::mouseClick(Entry(*FButton, "OtherEntry"), Qt::LeftButton);
        QCOMPARE(dialog.calls, 1);
        QCOMPARE(dialog.initial, preset);
        QCOMPARE(FButton->SelectedColor(), quint32(0x563412));
        QCOMPARE(picked.count(), 1);
        QCOMPARE(FaceColour(*FButton), QColor(0x12, 0x34, 0x56));
    }

    void cancelledDialogKeepsTheColour() {
        DialogStub dialog;
        dialog.install();
        FButton->setSelectedColor(0x00ff00);
        QSignalSpy picked(FButton.get(), &ColorButton::colorPicked);
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QTest::mouseClick(Entry(*FButton, "OtherEntry"), Qt::LeftButton);
        QCOMPARE(dialog.calls, 1);
        QCOMPARE(FButton->SelectedColor(), quint32(0x00ff00));
        QCOMPARE(picked.count(), 0);
    }

    void disabledBlocksThePalette() {
        FButton->setEnabled(false);
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QTest::keyClick(FButton.get(), Qt::Key_Space);
        FButton->showPalette();
        QVERIFY(!FButton->Palette()->isVisible());
    }

    void disablingClosesAnOpenPalette() {
        QTest::mouseClick(FButton.get(), Qt::LeftButton);
        QVERIFY(FButton->Palette()->isVisible());
        FButton->setEnabled(false);
        QVERIFY(!FButton->Palette()->isVisible());
    }

    void disabledFaceIsWashedOut() {
        FButton->setSelectedColor(0x0000ff);
        FButton->setEnabled(false);
        QVERIFY(FaceColour(*FButton) != QColor(255, 0, 0));
    }

private:
    std::unique_ptr<ColorButton> FButton;
};

QTEST_MAIN(TestOfficeColorButton)
#include "tst_tjvofficecolorbutton.moc"
