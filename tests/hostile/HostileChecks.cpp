// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostileChecks.h"

#include "HostilePages.h"
#include "cli/CliChecks.h"
#include "cli/CliPages.h"
#include "support/ProgramSandbox.h"

#include <QDir>
#include <QDirIterator>
#include <QStringList>

#include <functional>

namespace HostileChecks {

namespace {

QString ColourText(QRgb colour) {
    return QStringLiteral("%1 %2 %3").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

// "" when every row shows its colour at the left edge, the middle and the right edge.
QString CheckEachRow(const QImage& picture, const std::function<QRgb(int)>& colourOf) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    int wrong = 0;
    QString first;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        const QRgb want = colourOf(y);
        for (const int x : {0, rgb.width() / 2, rgb.width() - 1}) {
            const QRgb seen = qRgb(line[3 * x], line[3 * x + 1], line[3 * x + 2]);
            if (seen == want)
                continue;
            if (wrong++ == 0)
                first = QStringLiteral("(%1, %2) is %3, expected %4")
                            .arg(x)
                            .arg(y)
                            .arg(ColourText(seen), ColourText(want));
        }
    }
    return wrong ? QStringLiteral("%1 wrong pixels, first %2").arg(wrong).arg(first) : QString();
}

QRgb Band(int y, bool reversed) {
    static const char* const names[] = {"b1", "b2", "b3", "b4"};
    const int band = qBound(0, y / CliPages::BandHeight, 3);
    return CliPages::Colours().value(QString::fromLatin1(names[reversed ? 3 - band : band])).rgb();
}

} // namespace

QString CheckBands(const QImage& picture, bool either) {
    const QString upright = CheckEachRow(picture, [](int y) { return Band(y, false); });
    if (upright.isEmpty() || !either)
        return upright;
    const QString reversed = CheckEachRow(picture, [](int y) { return Band(y, true); });
    return reversed.isEmpty()
               ? QString()
               : QStringLiteral("neither order: %1; reversed: %2").arg(upright, reversed);
}

QString CheckRows(const QImage& picture) {
    return CheckEachRow(picture, HostilePages::RowColour);
}

QString CheckHeaderInEveryScreen(const QImage& picture, int headerHeight, int clientHeight,
                                 int step) {
    QList<int> tops;
    for (int top = 0;;) {
        tops << top;
        const int next = qMin(top + step, picture.height() - clientHeight);
        if (top + clientHeight >= picture.height() || next <= top)
            break;
        top = next;
    }
    const QRgb header = CliPages::Colours().value(QStringLiteral("teal")).rgb();
    return CheckEachRow(picture, [&](int y) {
        // where screens overlap, the earlier one stays
        int shownBy = 0;
        for (const int top : tops) {
            if (top <= y && y < top + clientHeight) {
                shownBy = top;
                break;
            }
        }
        return y - shownBy < headerHeight ? header : HostilePages::RowColour(y);
    });
}

QString CheckOnlyFiles(const ProgramSandbox& sandbox, const QSet<QString>& expected) {
    const QDir root(sandbox.path());
    const QString settings = root.relativeFilePath(CliChecks::SettingsFile(sandbox));
    QStringList unexpected;
    QDirIterator it(sandbox.path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = root.relativeFilePath(it.next());
        if (relative != settings && !expected.contains(relative))
            unexpected << relative;
    }
    unexpected.sort();
    return unexpected.isEmpty()
               ? QString()
               : QStringLiteral("files nobody asked for: %1").arg(unexpected.join(u", "));
}

} // namespace HostileChecks
