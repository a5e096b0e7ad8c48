// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>

// What the capture needs to know about the document as it is laid out now, in document pixels.
struct DocumentMetrics {
    QSize Viewport; // the whole view, scroll bars included
    QSize Client;   // the part of the view that shows the page (no scroll bars)
    QSize Page;     // the scrollable size of the whole page
    QPoint Scroll;  // where the view's top left corner is on the page
    // The scroll position that shows the page's top left corner: negative x where a
    // right-to-left page scrolls to the left of its start.
    QPoint Origin;
};
