// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Pages whose every row says what it is: an element with data-code="content" or "element" and
// data-rows="n" (data-first="k" to go on numbering from k) is filled by a canvas whose rows
// have red and green = the row's number and blue = whose row it is. Elements inside open shadow
// roots are filled too. With data-pseudo="before" (or "after") the rows are its pseudo-element's
// background instead, up to 4096 of them.
namespace CodedPage {

QString Html(const QString& body);

// The numbers of the rows of one kind that the picture shows in column x, top to bottom, and
// the picture row of the first of them (-1 for none).
struct Rows {
    QList<int> Numbers;
    int FirstAt = -1;
};
Rows ContentRows(const QImage& picture, int x);
Rows ElementRows(const QImage& picture, int x);

// "" when `rows` are 0, 1, ... count - 1, each once and in order.
QString Sequence(const Rows& rows, int count);

} // namespace CodedPage
