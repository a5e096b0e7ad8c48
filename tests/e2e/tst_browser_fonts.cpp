#include "capture/EngineSetup.h"
#include "capture/WebEngineBrowser.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QtTest>

#include <memory>

// Pages measure in the generic font families as they do in Chromium on the same system: each
// family is the font fontconfig matches for the name Chromium asks for.
class tst_BrowserFonts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void genericFamilies_data();
    void genericFamilies();

private:
    QSizeF Measure(const QString& fontFamily);

    QTemporaryDir FFolder;
    QWidget* FHost = nullptr;
    WebEngineBrowser* FBrowser = nullptr;
};

namespace {

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
    QFile page(FFolder.filePath(QStringLiteral("fonts.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<!DOCTYPE html><body><script>"
               "function measure(family) {"
               "  const text = document.createElement('span');"
               "  text.style.cssText = 'white-space: pre; font-size: 20px';"
               "  text.style.fontFamily = family;"
               "  text.textContent = 'The quick brown fox jumps over the lazy dog 0123456789';"
               "  document.body.appendChild(text);"
               "  const box = text.getBoundingClientRect();"
               "  text.remove();"
               "  return [box.width, box.height];"
               "}</script>");
    page.close();
    FHost = new QWidget;
    FHost->setAttribute(Qt::WA_DontShowOnScreen);
    FHost->resize(1024, 768);
    FBrowser = new WebEngineBrowser(FHost);
    FBrowser->View()->setParent(FHost);
    FHost->show();
    QSignalSpy done(FBrowser, &Browser::DocumentComplete);
    FBrowser->Navigate(QUrl::fromLocalFile(page.fileName()).toString());
    QVERIFY(done.wait(30000));
}

void tst_BrowserFonts::cleanupTestCase() {
    delete FHost;
}

QSizeF tst_BrowserFonts::Measure(const QString& fontFamily) {
    // shared: the answer may come after this function has given up waiting
    const auto answer = std::make_shared<QVariant>();
    const QByteArray argument =
        QJsonDocument(QJsonArray{fontFamily}).toJson(QJsonDocument::Compact);
    FBrowser->View()->page()->runJavaScript(
        QStringLiteral("measure(%1[0])").arg(QString::fromUtf8(argument)),
        [answer](const QVariant& result) { *answer = result; });
    if (!QTest::qWaitFor([&] { return answer->isValid(); }, 10000))
        return {};
    const QVariantList box = answer->toList();
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
    // The profile keeps the engine's own choice, which pages measured in before.
    const QString engines = QWebEngineProfile::defaultProfile()->settings()->fontFamily(
        QWebEngineSettings::FontFamily(setting));
    if (engines.compare(expected, Qt::CaseInsensitive) != 0)
        QVERIFY2(measured != Measure(Quoted(engines)), qPrintable(engines + " = " + expected));
}

int main(int argc, char** argv) {
    PrepareBrowserEngine(EngineUse::Unattended);
    QApplication app(argc, argv);
    tst_BrowserFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser_fonts.moc"
