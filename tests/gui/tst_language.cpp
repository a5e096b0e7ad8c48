// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainFormFixture.h"

#include "gui/ClickableImage.h"
#include "gui/widgets/GradientRadioButton.h"
#include "gui/widgets/StyledButton.h"
#include "settings/RegistryKey.h"
#include "settings/SettingsValues.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QtTest>

namespace {

// CJK punctuation, kana and ideographs, and the full-width forms.
bool HasChinese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c.unicode() >= 0x3000 && c.unicode() <= 0x9fff) ||
               (c.unicode() >= 0xff00 && c.unicode() <= 0xffef);
    });
}

// Every text of a window a user reads (title, labels, buttons, group titles, tooltips), each
// with the widget's name and place.
QStringList ShownTexts(QWidget* window) {
    QStringList texts;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        QStringList own = {widget->isWindow() ? widget->windowTitle() : QString(),
                           widget->toolTip()};
        if (auto* label = qobject_cast<QLabel*>(widget))
            own << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            own << button->text();
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            own << box->title();
        own.removeAll(QString());
        for (const QString& text : own)
            texts << QStringLiteral("%1 %2,%3 %4x%5: %6")
                         .arg(widget->objectName())
                         .arg(widget->x())
                         .arg(widget->y())
                         .arg(widget->width())
                         .arg(widget->height())
                         .arg(text);
    }
    return texts;
}

// Sorted: a page brought to the front comes last among its window's children.
QStringList AllShownTexts(MainFormFixture& f) {
    QStringList texts =
        ShownTexts(f.main.get()) + ShownTexts(f.snap.get()) + ShownTexts(f.view.get());
    texts.sort();
    return texts;
}

// As a user does it: the settings page's choice, then its Save.
void ChooseLanguage(MainFormFixture& f, GradientRadioButton* choice) {
    f.main->MenuSettingsClick();
    QTest::mouseClick(choice, Qt::LeftButton);
    QTest::mouseClick(f.main->saveSettingsButton, Qt::LeftButton);
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    // Every page visited, a capture made and its save dialogs asked for.
    void englishLeavesNoChineseText() {
        MainFormFixture f;
        f.show();
        ChooseLanguage(f, f.main->englishLanguageRadio);
        QCOMPARE(f.messages, QStringList{QStringLiteral("Save successful.    ")});
        f.capture(QSize(1009, 3000));
        for (QAbstractButton* save : {f.main->savePictureBmpButton, f.main->savePicturePngButton,
                                      f.main->savePictureJpegButton})
            QTest::mouseClick(save, Qt::LeftButton);
        f.main->MakeThumbnailClick();
        f.main->MenuHelpClick();
        QStringList chinese;
        for (const QString& text : AllShownTexts(f) + f.saveRequests) {
            // the way back for those who read only Chinese
            if (HasChinese(text) && !text.startsWith(QLatin1String("chineseLanguageRadio ")))
                chinese << text;
        }
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('\n'))));
        QCOMPARE(f.main->menuSettingsLabel->text(), QStringLiteral("Settings"));
    }

    // The way back gives today's texts in today's places, dialogs' filters included.
    void chineseAgainIsAsBefore() {
        MainFormFixture f;
        f.show();
        const QStringList before = AllShownTexts(f);
        QCOMPARE(f.main->menuSettingsLabel->text(), QStringLiteral("设置"));
        ChooseLanguage(f, f.main->englishLanguageRadio);
        QVERIFY(AllShownTexts(f) != before);
        ChooseLanguage(f, f.main->chineseLanguageRadio);
        QCOMPARE(AllShownTexts(f), before);
    }

    // Qt's dialogs and buttons follow the language; the system's error texts in the program's
    // messages stay English.
    void qtTextsFollowOnlyInDialogs_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("ok");
        QTest::newRow("Chinese") << false << QStringLiteral("确定");
        QTest::newRow("English") << true << QStringLiteral("OK");
    }
    void qtTextsFollowOnlyInDialogs() {
        QFETCH(bool, english);
        QFETCH(QString, ok);
        if (!english && !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                       QStringLiteral("/qtbase_zh_CN.qm")))
            QSKIP("Qt's Chinese texts (qt6-translations-l10n) are not installed");
        MainFormFixture f;
        f.show();
        ChooseLanguage(f, english ? f.main->englishLanguageRadio : f.main->chineseLanguageRadio);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), ok);
        QCOMPARE(QCoreApplication::translate("QIODevice", "No space left on device"),
                 QStringLiteral("No space left on device"));
    }

    // Missing, of another type or of no known language: Chinese. The choice is taken at start.
    void savedLanguageIsTakenAtStart_data() {
        QTest::addColumn<QVariant>("stored"); // invalid: not in the file
        QTest::addColumn<bool>("english");
        QTest::newRow("missing") << QVariant() << false;
        QTest::newRow("zh") << QVariant(QStringLiteral("zh")) << false;
        QTest::newRow("en") << QVariant(QStringLiteral("en")) << true;
        QTest::newRow("no known language") << QVariant(QStringLiteral("EN")) << false;
        QTest::newRow("a number") << QVariant(1) << false;
    }
    void savedLanguageIsTakenAtStart() {
        QFETCH(QVariant, stored);
        QFETCH(bool, english);
        const QString name = QString::fromLatin1(SettingsValues::LanguageName);
        MainFormFixture f({}, [&] {
            RegistryKey key;
            key.CreateKey(SettingsKeyPath());
            key.OpenKey(SettingsKeyPath(), true);
            if (stored.typeId() == QMetaType::Int)
                key.WriteInteger(name, stored.toInt());
            else if (stored.isValid())
                key.WriteString(name, stored.toString());
        });
        f.show();
        QCOMPARE(f.main->englishLanguageRadio->Checked(), english);
        QCOMPARE(f.main->chineseLanguageRadio->Checked(), !english);
        QCOMPARE(f.snap->captureButton->text(),
                 english ? QStringLiteral("Capture page") : QStringLiteral("捕捉此页"));
        ChooseLanguage(f, english ? f.main->chineseLanguageRadio : f.main->englishLanguageRadio);
        RegistryKey key;
        key.OpenKey(SettingsKeyPath(), false);
        QCOMPARE(key.ReadString(name), english ? QStringLiteral("zh") : QStringLiteral("en"));
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
