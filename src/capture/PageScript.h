// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/DocumentMetrics.h"

#include <QList>
#include <QPoint>
#include <QRgb>
#include <QString>
#include <QVariant>

// The scripts a capture runs in the page. Install() first; the others use what it leaves.
namespace PageScript {

// From now on sticky elements stay where the page's flow puts them, and each screen shows an
// element fixed to the view only where a person sees it (unless keepFixed: every screen then
// shows the page as it looks there).
QString Install(bool keepFixed);
// Scrolls to `position` and answers where it got and where in the view the mark goes, followed
// by what ClientSize answered just before the scroll. In the frame that paints there, fixed
// elements are shown or hidden for that screen and a mark of the two colours (2 x 4 pixels of
// `first`, then of `second`) is put where the page left of painted.x() and above painted.y() is
// painted already: 4 pixels left and above that point, within the view.
QString Screen(const QPoint& position, QRgb first, QRgb second, const QPoint& painted);
// [ran, placed]: whether that frame's work has run, and the mark is where it should be and on
// top of everything.
QString FrameState();
// [clientWidth, clientHeight, [[left, top, right, bottom] of every fixed element the last
// screen shows]].
QString ClientSize();
QString Unmark();
// Gives the page back everything the capture changed.
QString Finish();

// [seconds, address] of a meta refresh that sends the page to another address; [] for none.
QString MetaRefresh();

// Whether the page may load content only once it comes into view.
QString LazyHints();
// Scrolls to `y`: [scrollY, scrollHeight, clientHeight].
QString LazyStep(int y);
// [two frames have passed since the last step, images still loading].
QString LazyState();

// What both engines ask of every page, and read from the answers.
QString Metrics();
DocumentMetrics MetricsFrom(const QVariant& answer);
// Scrolls there: [scrollX, scrollY].
QString ScrollTo(const QPoint& position);
// [innerWidth, innerHeight].
QString ViewSize();
// `count` numbers, rounded; throws VistrelError naming `what` when the answer is not that.
QList<int> Numbers(const QVariant& answer, int count, const QString& what);

} // namespace PageScript
