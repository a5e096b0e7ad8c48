// SPDX-License-Identifier: GPL-3.0-or-later
// The batch run's own rules, without a browser: its lines, options, shares, report lines, the
// memory budget and the resume decision.
#include "cli/BatchBudget.h"
#include "cli/BatchLines.h"
#include "cli/BatchOptions.h"
#include "cli/BatchReport.h"
#include "cli/BatchResume.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// "index:arg|arg" for each line, joined by " / ".
QString Describe(const QList<BatchLine>& lines) {
    QStringList items;
    for (const BatchLine& line : lines)
        items << QStringLiteral("%1:%2").arg(line.index).arg(line.arguments.join(u'|'));
    return items.join(QStringLiteral(" / "));
}

void Touch(const QString& path, const QDateTime& time) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close(); // a later flush would set the time again
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT

private slots:
    void lines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blank and comment lines keep their index")
            << "# list\n\n/u:a /p:a.png\n   \n  # indented\n/u:b /p:b.png"
            << "2:/u:a|/p:a.png / 5:/u:b|/p:b.png";
        QTest::newRow("quotes hold spaces, CRLF ends") << "\"/p:My Shots/a.png\" /u:x\r\n/u:y\r\n"
                                                       << "0:/p:My Shots/a.png|/u:x / 1:/u:y";
        QTest::newRow("an empty quoted pair is no line") << "\"\"\n\"\" /u:z"
                                                         << "1:/u:z";
        QTest::newRow("a # inside a line is part of it") << "/u:a#b /p:#1.png"
                                                         << "0:/u:a#b|/p:#1.png";
        QTest::newRow("a NUL does not cut the line short")
            << QStringLiteral("/u:a") + QChar(0) + QStringLiteral("/p:a.png") << "0:/u:a|/p:a.png";
        QTest::newRow("tabs separate, no final newline") << "\t/u:a\t/p:a.bmp"
                                                         << "0:/u:a|/p:a.bmp";
        QTest::newRow("byte order mark")
            << QChar(0xFEFF) + QStringLiteral("/u:a /p:a.png") << "0:/u:a|/p:a.png";
        QTest::newRow("empty file") << ""
                                    << "";
    }
    void lines() {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Describe(ReadBatchLines(text)), expected);
    }

    void shard_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("taken"); // of indices 0..6, or "-" when refused
        QTest::newRow("1/1 takes all") << "1/1"
                                       << "0123456";
        QTest::newRow("1/3") << "1/3"
                             << "036";
        QTest::newRow("3/3") << "3/3"
                             << "25";
        QTest::newRow("K over N") << "4/3"
                                  << "-";
        QTest::newRow("N zero") << "1/0"
                                << "-";
        QTest::newRow("negative") << "-1/2"
                                  << "-";
        QTest::newRow("too many digits") << "1/99999999999"
                                         << "-";
    }
    void shard() {
        QFETCH(QString, text);
        QFETCH(QString, taken);
        const auto shard = ReadBatchShard(text);
        QString indices = shard ? QString() : QStringLiteral("-");
        for (int i = 0; shard && i < 7; ++i) {
            if (shard->Takes(i))
                indices += QString::number(i);
        }
        QCOMPARE(indices, taken);
    }

    void options_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected"); // "file jobs resume K/N", or "error: <part>"
        QTest::newRow("file only") << QStringList{"--batch", "l.txt"} << "l.txt 0 0 1/1";
        QTest::newRow("all, both forms")
            << QStringList{"--jobs=3", "--batch=-", "--resume", "--shard", "2/4"} << "- 3 1 2/4";
        QTest::newRow("last one wins")
            << QStringList{"--batch", "a", "--batch", "b"} << "b 0 0 1/1";
        QTest::newRow("a capture switch")
            << QStringList{"--batch", "l.txt", "/p:a.png"} << "error: /p:a.png is not an option";
        QTest::newRow("no --batch value, file missing")
            << QStringList{"--batch=", "--resume"} << "error: --batch needs a file name";
        QTest::newRow("jobs zero") << QStringList{"--batch", "l", "--jobs", "0"}
                                   << "error: --jobs takes a number from 1 to 64";
        QTest::newRow("jobs too many")
            << QStringList{"--batch", "l", "--jobs=65"} << "error: --jobs takes";
        QTest::newRow("bad shard")
            << QStringList{"--batch", "l", "--shard=3/2"} << "error: --shard takes K/N";
        QTest::newRow("resume with a value")
            << QStringList{"--batch", "l", "--resume=1"} << "error: --resume=1 is not an option";
        QTest::newRow("a capture's long options are kept for every line, as given")
            << QStringList{"--delay", "500", "--batch", "l", "--hide=.ad", "--reduced-motion"}
            << "l 0 0 1/1 --delay|500|--hide=.ad|--reduced-motion";
        QTest::newRow("a default's value is checked at once")
            << QStringList{"--batch", "l", "--scale", "5"} << "error: --scale takes 1, 1.5";
        QTest::newRow("a default's value missing")
            << QStringList{"--batch", "l", "--size"} << "error: --size needs a value";
        QTest::newRow("an unknown long option")
            << QStringList{"--batch", "l", "--wait=1"} << "error: unknown option --wait";
        QTest::newRow("a default's file is read at once")
            << QStringList{"--batch", "l", "--cookies", "/nonexistent/c.txt"}
            << "error: --cookies: cannot read /nonexistent/c.txt";
        QTest::newRow("--json: the run reports JSON already")
            << QStringList{"--json", "--batch", "l"} << "error: --json is for a single run";
    }
    void options() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QVERIFY(IsBatchRun(arguments));
        const BatchOptionsRead read = ReadBatchOptions(arguments);
        const BatchOptions& o = read.options;
        const QString got =
            read.error.isEmpty()
                ? QStringLiteral("%1 %2 %3 %4/%5")
                          .arg(o.file)
                          .arg(o.jobs)
                          .arg(o.resume)
                          .arg(o.shard.part)
                          .arg(o.shard.parts) +
                      (o.lineDefaults.isEmpty() ? QString() : u' ' + o.lineDefaults.join(u'|'))
                : QStringLiteral("error: ") + read.error;
        QVERIFY2(got.startsWith(expected), qPrintable(got));
    }

    void notBatch() {
        QVERIFY(!IsBatchRun({"/u:x", "/p:--batch"}));
        QVERIFY(!IsBatchRun({"--batches", "x"}));
        QVERIFY(!IsBatchRun({"/u:x", "--script", "--batch", "/p:a.png"})); // a script's text
        QVERIFY(IsBatchRun({"--script=x", "--batch", "f"}));
    }

    // Every field, in order, and a message and address that need escaping stay one line.
    void reportLine() {
        BatchOutcome outcome{
            7,
            QStringLiteral("http://h/\"q\"\n页"),
            {QStringLiteral("a b.png"), QStringLiteral("t.jpg")},
            BatchStatus::Failed,
            5,
            QStringLiteral("disk \\ full\t"),
            QSize(1009, 2000),
            1234,
            {QStringLiteral("https://h/after"), 404, QStringLiteral("Not \"found\"")}};
        const QByteArray line = BatchReportLine(outcome);
        QVERIFY(line.endsWith('\n'));
        QCOMPARE(line.count('\n'), 1);
        QVERIFY2(line.startsWith("{\"line\":7,\"address\":"), line.constData());
        QJsonParseError error{};
        const QJsonObject o = QJsonDocument::fromJson(line, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o.keys().size(), 12);
        QCOMPARE(o.value("address").toString(), outcome.address);
        QCOMPARE(o.value("files").toVariant().toStringList(), outcome.files);
        QCOMPARE(o.value("status").toString(), QStringLiteral("failed"));
        QCOMPARE(o.value("exit").toInt(), 5);
        QCOMPARE(o.value("message").toString(), outcome.message);
        QCOMPARE(o.value("width").toInt(), 1009);
        QCOMPARE(o.value("height").toInt(), 2000);
        QCOMPARE(o.value("ms").toInt(), 1234);
        QCOMPARE(o.value("final_address").toString(), outcome.page.finalAddress);
        QCOMPARE(o.value("http_status").toInt(), 404);
        QCOMPARE(o.value("title").toString(), outcome.page.title);
        // a single run's report: the same line but for its number
        const QByteArray run = RunReportLine(outcome);
        QCOMPARE(run, "{" + line.mid(line.indexOf("\"address\"")));
        const QByteArray nothing = BatchReportLine(BatchOutcome{});
        QVERIFY2(nothing.contains("\"status\":\"ok\"") && nothing.contains("\"width\":0"),
                 nothing.constData());
    }

    void budget_data() {
        QTest::addColumn<int>("cores");
        QTest::addColumn<qint64>("available");
        QTest::addColumn<int>("expected");
        const qint64 page = BatchBytesPerPage(QSize(1024, 768));
        QTest::newRow("cores decide") << 2 << 100 * page << 2;
        QTest::newRow("memory decides") << 16 << 2 * 3 * page + 1 << 3;
        QTest::newRow("too little memory still runs one") << 8 << qint64(0) << 1;
        QTest::newRow("unknown memory") << 4 << qint64(-1) << 1;
        QTest::newRow("no cores reported") << 0 << 100 * page << 1;
    }
    void budget() {
        QFETCH(int, cores);
        QFETCH(qint64, available);
        QFETCH(int, expected);
        QCOMPARE(BatchJobsAllowed(cores, available, QSize(1024, 768)), expected);
    }

    void resume_data() {
        QTest::addColumn<QStringList>("files"); // name=n: made n seconds after the batch file
        QTest::addColumn<bool>("written");
        QTest::newRow("all newer") << QStringList{"a.png=5", "a_thumb.png=6"} << true;
        QTest::newRow("one older") << QStringList{"a.png=5", "a_thumb.png=-5"} << false;
        QTest::newRow("same time is not newer") << QStringList{"a.png=0"} << false;
        QTest::newRow("one missing") << QStringList{"a.png=5", "missing.png"} << false;
        QTest::newRow("no files") << QStringList{} << false;
        QTest::newRow("a folder of that name") << QStringList{"dir/"} << false;
    }
    void resume() {
        QFETCH(QStringList, files);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QDateTime batch = QDateTime::currentDateTime().addSecs(-100);
        QStringList names;
        for (const QString& item : files) {
            const QString name = dir.filePath(item.section(u'=', 0, 0));
            names << name;
            if (item.endsWith(u'/'))
                QVERIFY(QDir().mkpath(name));
            else if (item.contains(u'='))
                Touch(name, batch.addSecs(item.section(u'=', 1).toInt()));
        }
        QCOMPARE(BatchLineWritten(names, batch), written);
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batchlines.moc"
