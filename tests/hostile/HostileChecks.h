// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSet>
#include <QString>

class ProgramSandbox;

// What a picture of a hostile page must show, and what a run may leave behind. Each returns
// "" when all is well, else what is wrong.
namespace HostileChecks {

// Every row the band it lies in (CliPages::BandsHtml), top to bottom; with either, the
// reverse order too, as long as the whole picture is one of them.
QString CheckBands(const QImage& picture, bool either);
// Every row of a row-coded page, at its left edge, its middle and its right edge.
QString CheckRows(const QImage& picture);
// A row-coded page under a header that every screen shows at its top, as the capture pastes
// the screens: one below the other, each later one over the earlier.
QString CheckHeaderInEveryScreen(const QImage& picture, int headerHeight, int clientHeight,
                                 int step);

// Every file in the sandbox, hidden ones too, other than the settings file the program keeps
// and the files expected: nothing may be written anywhere else.
QString CheckOnlyFiles(const ProgramSandbox& sandbox, const QSet<QString>& expected);

} // namespace HostileChecks
