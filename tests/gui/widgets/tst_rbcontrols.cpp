// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/GradientCheckBox.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/GradientStyle.h"

#include <QGroupBox>
#include <QtTest>

class TestRbControls : public QObject {
    Q_OBJECT

    // The wizard's layout in small: three resolution buttons on one panel, two size buttons
    // in a group box inside another panel.
    struct Groups {
        QWidget page;
        QWidget* panel = new QWidget(&page);
        QGroupBox* group = new QGroupBox(panel);
        GradientRadioButton* res[3];
        GradientRadioButton* size[2];
        Groups() {
            for (int i = 0; i < 3; ++i) {
                res[i] = new GradientRadioButton(&page);
                res[i]->setGeometry(0, i * 20, 100, 18);
            }
            for (int i = 0; i < 2; ++i) {
                size[i] = new GradientRadioButton(group);
                size[i]->setGeometry(0, i * 20, 100, 18);
            }
            res[1]->setChecked(true);
            size[0]->setChecked(true);
        }
    };

private slots:
    void selectingFromCodeTouchesOnlyTheParent() {
        Groups g;
        QSignalSpy sizeClicked(g.size[1], &QAbstractButton::clicked);
        g.size[1]->setChecked(true);
        QVERIFY(g.size[1]->Checked());
        QVERIFY(!g.size[0]->Checked());
        QVERIFY(g.res[1]->Checked());
        QCOMPARE(sizeClicked.count(), 0);
    }

    void clickSelectsAndFires_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("clicks");
        QTest::newRow("another button") << 0 << 1;
        QTest::newRow("the selected button") << 1 << 1;
    }
    void clickSelectsAndFires() {
        QFETCH(int, index);
        QFETCH(int, clicks);
        Groups g;
        QSignalSpy clicked(g.res[index], &QAbstractButton::clicked);
        QTest::mouseClick(g.res[index], Qt::LeftButton, {}, QPoint(50, 9));
        QCOMPARE(clicked.count(), clicks);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(g.res[i]->Checked(), i == index);
        }
        QVERIFY(g.size[0]->Checked());
    }

    void clickInANestedGroupLeavesTheOuterGroup() {
        Groups g;
        QTest::mouseClick(g.size[1], Qt::LeftButton, {}, QPoint(50, 9));
        QVERIFY(g.size[1]->Checked());
        QVERIFY(!g.size[0]->Checked());
        QVERIFY(g.res[1]->Checked());
    }

    void arrowKeysMoveWithinTheParent() {
        Groups g;
        g.page.resize(200, 200);
        g.page.show();
        QVERIFY(QTest::qWaitForWindowActive(&g.page));
        g.res[1]->setFocus();
        QSignalSpy clicked(g.res[2], &QAbstractButton::clicked);
        QTest::keyClick(g.res[1], Qt::Key_Down);
        QVERIFY(g.res[2]->Checked());
        QVERIFY(!g.res[1]->Checked());
        QCOMPARE(clicked.count(), 1);
        QVERIFY(g.res[2]->hasFocus());
        g.res[0]->setEnabled(false);
        QTest::keyClick(g.res[2], Qt::Key_Down);
        QVERIFY(g.res[1]->Checked());
        QVERIFY(g.size[0]->Checked());
    }

    void clearingFromCodeLeavesNoneSelected() {
        Groups g;
        g.res[1]->setChecked(false);
        for (auto* b : g.res) {
            QVERIFY(!b->Checked());
        }
        g.res[2]->setChecked(true);
        QVERIFY(g.res[2]->Checked());
        QVERIFY(!g.res[1]->Checked());
    }

    void checkBoxHandlerSeesNewState() {
        GradientCheckBox box;
        box.resize(100, 18);
        bool seen = true;
        int calls = 0;
        connect(&box, &QAbstractButton::clicked, &box, [&] {
            seen = box.Checked();
            ++calls;
        });
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(calls, 1);
        QCOMPARE(seen, true);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(calls, 2);
        QCOMPARE(seen, false);
        box.setChecked(true);
        QCOMPARE(calls, 2);
    }

    void disabledBoxesFireNothing() {
        GradientCheckBox box;
        GradientRadioButton radio;
        box.resize(100, 18);
        radio.resize(100, 18);
        box.setEnabled(false);
        radio.setEnabled(false);
        QSignalSpy boxClicked(&box, &QAbstractButton::clicked);
        QSignalSpy radioClicked(&radio, &QAbstractButton::clicked);
        QTest::mouseClick(&box, Qt::LeftButton);
        QTest::mouseClick(&radio, Qt::LeftButton);
        QCOMPARE(boxClicked.count() + radioClicked.count(), 0);
        QVERIFY(!box.Checked());
        QVERIFY(!radio.Checked());
    }

    void styleManagerChangesTheLook() {
        GradientStyle manager;
        GradientCheckBox box;
        box.resize(60, 18);
        box.setChecked(true);
        box.setStyleManager(&manager);
        QCOMPARE(box.StyleManager(), &manager);
        const QImage before = box.grab().toImage();
        manager.setCheckColor(Qt::red);
        QVERIFY(box.grab().toImage() != before);
    }

    void deletedStyleManagerFallsBackSafely() {
        GradientRadioButton radio;
        radio.resize(60, 18);
        {
            GradientStyle manager;
            radio.setStyleManager(&manager);
        }
        QVERIFY(!radio.grab().isNull());
    }
};

QTEST_MAIN(TestRbControls)
#include "tst_rbcontrols.moc"
