// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliChecks.h"

#include "CliPages.h"
#include "settings/SettingsValues.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>

#include <array>

namespace CliChecks {

namespace {

// What the program itself would save on a first start.
constexpr std::array<quint32, SettingsValues::Count> Defaults = {2, 85, 1, 160, 180, 10,  0,
                                                                 0, 1,  0, 0,   0,   768, 768};

QString FormatOfSuffix(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"jpg" ? QStringLiteral("jpeg") : suffix;
}

QString SizeText(const QSize& size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

} // namespace

QMap<QString, quint32> SettingsWith(const QString& overrides) {
    QMap<QString, quint32> values;
    for (int i = 0; i < SettingsValues::Count; ++i) {
        values.insert(QString::fromLatin1(SettingsValues::Names[i]), Defaults[i]);
    }
    for (const QString& item : overrides.split(u';', Qt::SkipEmptyParts)) {
        const QStringList pair = item.split(u'=');
        values.insert(pair.at(0), pair.at(1).toUInt(nullptr, 0));
    }
    return values;
}

QString SettingsFile(const ProgramSandbox& sandbox) {
    return sandbox.configHome() + QStringLiteral("/vistrel-pro/") +
           QString::fromLatin1(SettingsValues::RootName) + QStringLiteral(".reg");
}

void WriteSettings(const ProgramSandbox& sandbox, const QMap<QString, quint32>& values) {
    QByteArray text = "Windows Registry Editor Version 5.00\n\n[" +
                      QByteArray(SettingsValues::RootName) + SettingsValues::KeyPath + "]\n";
    // In the order the program reads them, as a file it wrote itself would have them.
    QStringList names;
    for (const char* name : SettingsValues::Names)
        names << QString::fromLatin1(name);
    for (const QString& name : values.keys())
        if (!names.contains(name))
            names << name; // values kept beside the table, such as Capture_Engine
    for (const QString& name : names) {
        text += '"' + name.toLatin1() +
                "\"=dword:" + QByteArray::number(values.value(name), 16).rightJustified(8, '0') +
                '\n';
    }
    QDir().mkpath(QFileInfo(SettingsFile(sandbox)).path());
    QFile file(SettingsFile(sandbox));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text + '\n');
    }
}

QMap<QString, quint32> ReadSettings(const ProgramSandbox& sandbox) {
    static const QRegularExpression line(QStringLiteral("^\"([^\"]+)\"=dword:([0-9a-fA-F]{8})$"),
                                         QRegularExpression::MultilineOption);
    QFile file(SettingsFile(sandbox));
    QMap<QString, quint32> values;
    if (!file.open(QIODevice::ReadOnly)) {
        return values;
    }
    const QString text = QString::fromUtf8(file.readAll()).remove(u'\r');
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        values.insert(match.captured(1), match.captured(2).toUInt(nullptr, 16));
    }
    return values;
}

QSet<QString> WrittenFiles(const ProgramSandbox& sandbox) {
    const QDir root(sandbox.path());
    const QSet<QString> own{QStringLiteral("config"), QStringLiteral("data"),
                            QStringLiteral("tmp")};
    QSet<QString> files;
    QDirIterator it(sandbox.path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = root.relativeFilePath(it.next());
        if (!own.contains(relative.section(u'/', 0, 0))) {
            files.insert(relative);
        }
    }
    return files;
}

QStringList WorkingPicturesLeft(const ProgramSandbox& sandbox) {
    return QDir(sandbox.tempDir()).entryList({QStringLiteral("{*}")}, QDir::Files | QDir::Hidden);
}

QString CheckPicture(const QString& path, const QString& size) {
    QImageReader reader(path);
    reader.setAutoDetectImageFormat(true);
    const QString format = QString::fromLatin1(reader.format());
    const QImage image = reader.read();
    if (image.isNull()) {
        return QStringLiteral("%1: not a picture (%2)").arg(path, reader.errorString());
    }
    if (format != FormatOfSuffix(path)) {
        return QStringLiteral("%1: written as %2").arg(path, format);
    }
    if (SizeText(image.size()) != size) {
        return QStringLiteral("%1: %2, expected %3").arg(path, SizeText(image.size()), size);
    }
    return {};
}

QString CheckSpot(const QString& folder, const QString& spot) {
    static const QRegularExpression form(QStringLiteral("^(.+)@(-?\\d+),(-?\\d+)=(\\w+)$"));
    const QRegularExpressionMatch match = form.match(spot);
    if (!match.hasMatch() || !CliPages::Colours().contains(match.captured(4))) {
        return QStringLiteral("bad spot %1").arg(spot);
    }
    const QString path = QDir(folder).filePath(match.captured(1));
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
    if (image.isNull()) {
        return QStringLiteral("%1: no picture").arg(spot);
    }
    int x = match.captured(2).toInt();
    int y = match.captured(3).toInt();
    x = x < 0 ? image.width() + x : x;
    y = y < 0 ? image.height() + y : y;
    if (!image.rect().contains(x, y)) {
        return QStringLiteral("%1: outside the %2 picture").arg(spot, SizeText(image.size()));
    }
    const QColor want = CliPages::Colours().value(match.captured(4));
    const QColor seen = image.pixelColor(x, y);
    // JPEG moves solid colours a little; the other formats keep every value.
    const int tolerance = FormatOfSuffix(path) == u"jpeg" ? 12 : 0;
    if (qAbs(seen.red() - want.red()) > tolerance ||
        qAbs(seen.green() - want.green()) > tolerance ||
        qAbs(seen.blue() - want.blue()) > tolerance) {
        return QStringLiteral("%1: is %2").arg(spot, seen.name());
    }
    return {};
}

QStringList ProgramLines(const QByteArray& standardError) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(standardError).split(u'\n')) {
        if (line.startsWith(QLatin1String("vistrel-pro: "))) {
            lines << line;
        }
    }
    return lines;
}

QString CheckLines(const QStringList& lines, const QStringList& patterns) {
    const QString seen = lines.isEmpty() ? QStringLiteral("(none)") : lines.join(u'\n');
    if (lines.size() != patterns.size()) {
        return QStringLiteral("%1 program lines on stderr, expected %2:\n%3")
            .arg(lines.size())
            .arg(patterns.size())
            .arg(seen);
    }
    for (int i = 0; i < lines.size(); ++i) {
        const QString& pattern = patterns.at(i);
        const bool same = pattern.startsWith(u'=')
                              ? lines.at(i) == pattern.mid(1)
                              : QRegularExpression(QRegularExpression::anchoredPattern(pattern))
                                    .match(lines.at(i))
                                    .hasMatch();
        if (!same) {
            return QStringLiteral("line %1 is\n  %2\nexpected\n  %3")
                .arg(i + 1)
                .arg(lines.at(i), pattern);
        }
    }
    return {};
}

QStringList ProfilesLeftBy(qint64 pid, const ProgramSandbox& sandbox) {
    QStringList left;
    for (const QString& parent : {QStringLiteral("/tmp"), sandbox.tempDir()}) {
        const QDir folder(parent);
        for (const QString& name : folder.entryList({QStringLiteral("vistrel-chromium-*")},
                                                    QDir::Dirs | QDir::Hidden)) {
            QFile owner(folder.filePath(name) + QStringLiteral("/vistrel-owner.pid"));
            if (owner.open(QIODevice::ReadOnly) && owner.readAll().trimmed().toLongLong() == pid)
                left << folder.filePath(name);
        }
    }
    return left;
}

} // namespace CliChecks
