// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/DesktopEntry.h"

#include "common/SaveFileCommit.h"
#include "common/VistrelError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString kEntryName = QStringLiteral("vistrel-pro-open-with.desktop");
const QString kIconName = QStringLiteral("vistrel-pro");
const QString kIconFolder = QStringLiteral("icons/hicolor/48x48/apps");
constexpr int kIconSide = 48;
constexpr int kRefreshWaitMs = 30000;

bool HasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return true;
        }
    }
    return false;
}

// Quoting of the Exec key: inside double quotes, '"', '`', '$' and '\' take a backslash, and
// a literal '%' is doubled because field codes are expanded before the line is split.
QString QuotedExecArgument(const QString& argument) {
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (QStringLiteral("\"`$\\").contains(c)) {
            out += QLatin1Char('\\');
        }
        out += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return out + QLatin1Char('"');
}

// The desktop entry's string escapes apply to the whole value, on top of the Exec quoting.
QString EscapedValue(const QString& value) {
    QString out = value;
    return out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

void WriteAtomically(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (!WriteWholeFile(
            path,
            [&bytes](QIODevice& device) { WriteAll(device, bytes.constData(), bytes.size()); },
            &reason))
        throw VistrelError(QStringLiteral("cannot write %1: %2").arg(path, reason));
}

void RemoveFile(const QString& path) {
    QFile file(path);
    if (file.exists() && !file.remove()) {
        throw VistrelError(QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()));
    }
}

void MakeFolder(const QString& path) {
    if (!QDir().mkpath(path)) {
        throw VistrelError(QStringLiteral("cannot create folder %1").arg(path));
    }
}

} // namespace

DesktopEntry::DesktopEntry(const QString& programPath)
    : FProgramPath(programPath), FDataHome(DataHome()) {}

QString DesktopEntry::ProgramBesideTools() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../vistrel-pro"));
}

QString DesktopEntry::DataHome() {
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // The base-directory rules say a relative value is to be ignored.
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        return QDir::homePath() + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(base);
}

QString DesktopEntry::ApplicationsFolder() const {
    return FDataHome + QStringLiteral("/applications");
}

QString DesktopEntry::EntryPath() const {
    return ApplicationsFolder() + QLatin1Char('/') + kEntryName;
}

QString DesktopEntry::IconPath() const {
    return FDataHome + QLatin1Char('/') + kIconFolder + QLatin1Char('/') + kIconName +
           QStringLiteral(".png");
}

// A single unquoted "/u:%u": the address then arrives as one argument, which only fills the
// address box. Quoting it would put the field code inside quotes, which the rules leave
// undefined (GLib then passes the launcher's own quotes on as part of the address).
QString DesktopEntry::ExecLine() const {
    return EscapedValue(QuotedExecArgument(FProgramPath) + QStringLiteral(" /u:%u"));
}

QString DesktopEntry::Text() const {
    if (QDir::isRelativePath(FProgramPath) || HasControlCharacter(FProgramPath)) {
        throw VistrelError(
            QStringLiteral("program path cannot go into a desktop entry: %1").arg(FProgramPath));
    }
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.4\n"
                          "Name=Vistrel Pro\n"
                          "GenericName=Web Page Capture\n"
                          "Comment=Capture a whole web page into one picture file\n"
                          "Icon=%1\n"
                          "TryExec=%2\n"
                          "Exec=%3\n"
                          "Terminal=false\n"
                          "MimeType=text/html;application/xhtml+xml;"
                          "x-scheme-handler/http;x-scheme-handler/https;\n"
                          "Categories=Graphics;\n"
                          // offered in "Open With" only: the installed launcher is the menu's
                          "NoDisplay=true\n")
        .arg(kIconName, EscapedValue(FProgramPath), ExecLine());
}

void DesktopEntry::Install(const QImage& icon) const {
    if (!QFileInfo(FProgramPath).isExecutable()) {
        throw VistrelError(QStringLiteral("program not found: %1").arg(FProgramPath));
    }
    const QByteArray entry = Text().toUtf8();
    MakeFolder(QFileInfo(IconPath()).absolutePath());
    MakeFolder(ApplicationsFolder());
    QImage scaled = icon.isNull() ? DefaultIcon() : icon;
    if (scaled.size() != QSize(kIconSide, kIconSide)) {
        scaled = scaled.scaled(kIconSide, kIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (!WriteWholeFile(IconPath(), [&scaled](QIODevice& device) {
            if (!scaled.save(&device, "PNG"))
                throw VistrelError(device.errorString());
        }))
        throw VistrelError(QStringLiteral("cannot write %1").arg(IconPath()));
    // The entry last: it must never name an icon that is not there yet.
    WriteAtomically(EntryPath(), entry);
}

void DesktopEntry::Remove() const {
    RemoveFile(EntryPath());
    RemoveFile(IconPath());
    // Only folders the install could have made, and only when nothing else is left in them.
    for (QString folder = QFileInfo(IconPath()).absolutePath(); folder != FDataHome;
         folder = QFileInfo(folder).absolutePath()) {
        RemoveFolderIfEmpty(folder);
    }
    RemoveFolderIfEmpty(ApplicationsFolder());
}

void DesktopEntry::RemoveFolderIfEmpty(const QString& folder) const {
    QDir dir(folder);
    if (dir.exists() &&
        dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        dir.rmdir(folder);
    }
}

QString DesktopEntry::RefreshDatabase() const {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (tool.isEmpty() || !QFileInfo(ApplicationsFolder()).isDir()) {
        return {};
    }
    QProcess process;
    process.start(tool, {ApplicationsFolder()});
    if (!process.waitForFinished(kRefreshWaitMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("update-desktop-database did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString detail = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return QStringLiteral("update-desktop-database failed: %1")
            .arg(detail.section(QLatin1Char('\n'), 0, 0));
    }
    return {};
}

// A viewfinder around a tall page: the program turns a whole page into one picture.
QImage DesktopEntry::DefaultIcon() {
    QImage image(kIconSide, kIconSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 2, 0, 46);
    background.setColorAt(0, QColor(0x3b, 0x7d, 0xdd));
    background.setColorAt(1, QColor(0x1c, 0x4a, 0x9c));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);

    QPainterPath page;
    page.moveTo(16, 10);
    page.lineTo(28, 10);
    page.lineTo(33, 15);
    page.lineTo(33, 38);
    page.lineTo(16, 38);
    page.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.setBrush(QColor(0xc8, 0xd6, 0xea));
    painter.drawPolygon(QPolygonF({QPointF(28, 10), QPointF(28, 15), QPointF(33, 15)}));

    painter.setPen(QPen(QColor(0x8a, 0xa4, 0xc8), 1.5, Qt::SolidLine, Qt::RoundCap));
    for (int y = 19; y <= 34; y += 5) {
        painter.drawLine(QPointF(19, y), QPointF(y == 34 ? 25 : 30, y));
    }

    painter.setPen(QPen(QColor(0xff, 0xc8, 0x3d), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal lo = 8.5, hi = 39.5, arm = 7;
    for (const QPointF corner :
         {QPointF(lo, lo), QPointF(hi, lo), QPointF(lo, hi), QPointF(hi, hi)}) {
        const qreal dx = corner.x() == lo ? arm : -arm;
        const qreal dy = corner.y() == lo ? arm : -arm;
        painter.drawPolyline(QPolygonF({corner + QPointF(dx, 0), corner, corner + QPointF(0, dy)}));
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
