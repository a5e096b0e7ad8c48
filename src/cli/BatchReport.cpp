// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QPair>

namespace {

QString StatusName(BatchStatus status) {
    switch (status) {
    case BatchStatus::Ok:
        return QStringLiteral("ok");
    case BatchStatus::Skipped:
        return QStringLiteral("skipped");
    case BatchStatus::Failed:
        break;
    }
    return QStringLiteral("failed");
}

// Keys in the order a reader scans them, which QJsonObject (sorted by key) would not keep.
QByteArray ReportLine(const BatchOutcome& outcome, bool numbered) {
    const bool sized = outcome.size.isValid();
    const QList<QPair<const char*, QJsonValue>> fields{
        {"line", outcome.line},
        {"address", outcome.address},
        {"files", QJsonArray::fromStringList(outcome.files)},
        {"status", StatusName(outcome.status)},
        {"exit", outcome.exitStatus},
        {"message", outcome.message},
        {"width", sized ? outcome.size.width() : 0},
        {"height", sized ? outcome.size.height() : 0},
        {"ms", outcome.milliseconds},
        {"final_address", outcome.page.finalAddress},
        {"http_status", outcome.page.httpStatus},
        {"title", outcome.page.title},
    };
    QByteArray line = "{";
    for (const auto& [key, value] : fields) {
        if (!numbered && qstrcmp(key, "line") == 0)
            continue;
        const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        if (line.size() > 1)
            line += ',';
        line += '"' + QByteArray(key) + "\":" + wrapped.mid(1, wrapped.size() - 2);
    }
    return line + "}\n";
}

} // namespace

QByteArray BatchReportLine(const BatchOutcome& outcome) {
    return ReportLine(outcome, true);
}

QByteArray RunReportLine(const BatchOutcome& outcome) {
    return ReportLine(outcome, false);
}

QString BatchProgressText(int done, int total, int failed, qint64 elapsedMs) {
    const qint64 perMinute = elapsedMs > 0 ? done * qint64(60000) / elapsedMs : 0;
    return QStringLiteral("%1 of %2 done, %3 failed, %4 pages a minute")
        .arg(done)
        .arg(total)
        .arg(failed)
        .arg(perMinute);
}
