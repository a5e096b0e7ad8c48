// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineUnderTest.h"
#include "capture/EngineSetup.h"
#include "engines/chromium/ChromiumBrowser.h"
#include "engines/webengine/WebEngineBrowser.h"
#include "support/Awaited.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// Pages measure in the generic font families as they do in Chromium on the same system: each
// family is the font fontconfig matches for the name Chromium asks for. A web font sets text as
// wide as the same face installed on the system, as in the desktop browser.
class tst_BrowserFonts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void genericFamilies_data();
    void genericFamilies();
    void webFontAsWideAsInstalled_data();
    void webFontAsWideAsInstalled();

private:
    QSizeF Measure(const QString& fontFamily, int pixels = 20);

    QTemporaryDir FFolder;
    QWidget* FHost = nullptr;
    Browser* FBrowser = nullptr;
};

namespace {

std::string Engine = "qt";
// The test font: the installed Liberation Serif, cut down and renamed.
const QString WebFont = QStringLiteral("Vistrel Test Serif");

// fontconfig's own command-line answer, kept apart from the library calls under test.
QString FcMatch(const QString& name) {
    QProcess match;
    match.start(QStringLiteral("fc-match"),
                {QStringLiteral("-f"), QStringLiteral("%{family[0]}"), name});
    if (!match.waitForFinished(10000) || match.exitCode() != 0)
        return {};
    return QString::fromUtf8(match.readAllStandardOutput());
}

QString Quoted(const QString& family) {
    return QLatin1Char('"') + family + QLatin1Char('"');
}

} // namespace

void tst_BrowserFonts::initTestCase() {
    QVERIFY(FFolder.isValid());
    QVERIFY2(!FcMatch(QStringLiteral("serif")).isEmpty(), "fc-match does not answer");
    const QString font = QFINDTESTDATA("fonts/VistrelTestSerif.woff2");
    QVERIFY(QFile::copy(font, FFolder.filePath(QStringLiteral("web.woff2"))));
    QFile page(FFolder.filePath(QStringLiteral("fonts.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<!DOCTYPE html><style>@font-face { font-family: '" + WebFont.toUtf8() +
               "'; src: url(web.woff2) format('woff2') }</style><body>"
               "<span style=\"font-family: '" +
               WebFont.toUtf8() + "'\">loaded</span>");
    page.close();
    // The browser's user reads the page when the program runs as root.
    QFile::setPermissions(FFolder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
    for (const char* name : {"fonts.html", "web.woff2"})
        QFile::setPermissions(FFolder.filePath(QLatin1String(name)),
                              QFileDevice::ReadOwner | QFileDevice::ReadOther);
    FHost = new QWidget;
    FHost->setAttribute(Qt::WA_DontShowOnScreen);
    FHost->resize(1024, 768);
    FBrowser = EngineUnderTest::NewBrowser(Engine, FHost);
    FHost->show();
    QSignalSpy done(FBrowser, &Browser::DocumentComplete);
    FBrowser->Navigate(QUrl::fromLocalFile(page.fileName()).toString());
    QVERIFY(done.wait(30000));
    const QString loaded = QStringLiteral("document.fonts.check(\"16px '%1'\")").arg(WebFont);
    QTRY_VERIFY_WITH_TIMEOUT(Awaited(FBrowser->RunScript(loaded)).toBool(), 10000);
}

void tst_BrowserFonts::cleanupTestCase() {
    delete FHost;
}

QSizeF tst_BrowserFonts::Measure(const QString& fontFamily, int pixels) {
    const QByteArray family = QJsonDocument(QJsonArray{fontFamily}).toJson(QJsonDocument::Compact);
    const QVariantList box =
        Awaited(FBrowser->RunScript(
                    QStringLiteral("(() => { const text = document.createElement('span');"
                                   " text.style.cssText = 'white-space: pre; font-size: %1px';"
                                   " text.style.fontFamily = %2[0];"
                                   " text.textContent = 'The quick brown fox jumps over the"
                                   " lazy dog 0123456789';"
                                   " document.body.appendChild(text);"
                                   " const box = text.getBoundingClientRect(); text.remove();"
                                   " return [box.width, box.height]; })()")
                        .arg(pixels)
                        .arg(QString::fromUtf8(family))))
            .toList();
    return QSizeF(box.value(0).toDouble(), box.value(1).toDouble());
}

void tst_BrowserFonts::genericFamilies_data() {
    QTest::addColumn<QString>("fontFamily");
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("chromiumAsks");

    const QString times = QStringLiteral("Times New Roman");
    QTest::newRow("none named") << QString() << int(QWebEngineSettings::StandardFont) << times;
    QTest::newRow("serif") << "serif" << int(QWebEngineSettings::SerifFont) << times;
    QTest::newRow("sans-serif") << "sans-serif" << int(QWebEngineSettings::SansSerifFont)
                                << "Arial";
    QTest::newRow("monospace") << "monospace" << int(QWebEngineSettings::FixedFont) << "Monospace";
    QTest::newRow("cursive") << "cursive" << int(QWebEngineSettings::CursiveFont)
                             << "Comic Sans MS";
    QTest::newRow("fantasy") << "fantasy" << int(QWebEngineSettings::FantasyFont) << "Impact";
    QTest::newRow("missing, then serif")
        << "\"NoSuchFont\", serif" << int(QWebEngineSettings::SerifFont) << times;
    QTest::newRow("missing, then sans-serif")
        << "\"NoSuchFont\", sans-serif" << int(QWebEngineSettings::SansSerifFont) << "Arial";
    QTest::newRow("missing alone")
        << "\"NoSuchFont\"" << int(QWebEngineSettings::StandardFont) << times;
}

void tst_BrowserFonts::genericFamilies() {
    QFETCH(QString, fontFamily);
    QFETCH(int, setting);
    QFETCH(QString, chromiumAsks);
    QString expected = FcMatch(chromiumAsks);
    // Chromium takes no look-alike for its cursive and fantasy fonts: without them it uses
    // its standard font.
    if (chromiumAsks == QLatin1String("Comic Sans MS") || chromiumAsks == QLatin1String("Impact"))
        if (expected != chromiumAsks)
            expected = FcMatch(QStringLiteral("Times New Roman"));
    QVERIFY(!expected.isEmpty());

    const QSizeF measured = Measure(fontFamily);
    QVERIFY(!measured.isEmpty());
    QCOMPARE(measured, Measure(Quoted(expected)));
    if (Engine != "qt")
        return;
    // The profile keeps the engine's own choice, which pages measured in before.
    const QString engines = QWebEngineProfile::defaultProfile()->settings()->fontFamily(
        QWebEngineSettings::FontFamily(setting));
    if (engines.compare(expected, Qt::CaseInsensitive) != 0)
        QVERIFY2(measured != Measure(Quoted(engines)), qPrintable(engines + " = " + expected));
}

// Hinted fully, as the headless shell does by default, a 16 px line of it is 6 px narrower.
void tst_BrowserFonts::webFontAsWideAsInstalled_data() {
    QTest::addColumn<int>("pixels");
    for (const int pixels : {13, 14, 16, 20})
        QTest::addRow("%d px", pixels) << pixels;
}

void tst_BrowserFonts::webFontAsWideAsInstalled() {
    QFETCH(int, pixels);
    const QSizeF installed = Measure(QStringLiteral("'Liberation Serif'"), pixels);
    const QSizeF web = Measure(Quoted(WebFont), pixels);
    QVERIFY(!installed.isEmpty());
    QVERIFY2(qAbs(web.width() - installed.width()) < 1.0,
             qPrintable(QStringLiteral("%1 against %2").arg(web.width()).arg(installed.width())));
    QCOMPARE(web.height(), installed.height());
}

// "-engine chromium" runs the same checks on headless Chromium.
int main(int argc, char** argv) {
    std::vector<char*> arguments(argv, argv + argc);
    Engine = EngineUnderTest::Take(arguments);
    argc = int(arguments.size());
    argv = arguments.data();
    PrepareBrowserEngine(EngineUse::Unattended);
    QApplication app(argc, argv);
    tst_BrowserFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser_fonts.moc"
