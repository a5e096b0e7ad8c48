// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QRgb>

// Pages that misbehave, and the row-coded pages whose pictures can be checked row by row.
namespace HostilePages {

// Row y of a row-coded page: its own colour for every row up to 2^23.
QRgb RowColour(int y);

// 1 px rows from firstRow to rows - 1, each in RowColour(y) with y its place on the page:
// before (markup above the rows, firstRow px tall), style (CSS), script (run after the rows;
// addRows(from, to) adds more).
QByteArray RowsHtml(int rows, const QByteArray& style = {}, const QByteArray& script = {},
                    const QByteArray& before = {}, int firstRow = 0);

// The four bands of CliPages::BandsHtml, top to bottom, or bottom to top when the page's
// counter (counterScript sets `n`) is odd: a picture made of two documents shows both orders.
QByteArray SwappingBandsHtml(const QByteArray& counterScript, const QByteArray& script,
                             const QByteArray& head = {});

// Pop-ups from window.open in a loop and on a timer, and target=_blank links clicked.
QByteArray PopupStormHtml();
// alert, confirm and prompt in loops, on a timer and in beforeunload; a "yes" or an answer
// to a prompt would add a red band at the top.
QByteArray DialogStormHtml();
QByteArray PrintHtml();
// A page that clicks a download link and a link to a file served as an attachment.
QByteArray DownloadLinksHtml();
// A header 40 px tall in "teal", fixed or sticky at the top, above rows to 3000.
QByteArray HeaderHtml(const QByteArray& position);

inline constexpr int HeaderHeight = 40;

} // namespace HostilePages
