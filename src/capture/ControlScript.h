// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>

// The scripts that carry out a capture's controls (waits, hidden elements, the element to take).
namespace ControlScript {

// In the capture's world: true once an element matches `selector` and has a box; a text naming
// the fault when the selector is not one.
QString ElementShown(const QString& selector);
// In the page's world: the expression's truthiness, once a promise it gives is settled.
QString Truthy(const QString& expression);
// In the capture's world: hides what the selectors match until Unhide; a text naming the first
// selector that is not one, else true.
QString Hide(const QStringList& selectors);
QString Unhide();
// In the capture's world: [left, top, width, height] of the element's box in the document, an
// empty list when nothing matches, a text naming the fault when the selector is not one.
QString ElementBox(const QString& selector);
// The answer of ElementBox: the box, or an invalid rect when nothing matched; throws
// VistrelError for a selector that is not one.
QRect BoxFrom(const QVariant& answer, const QString& selector);
// [address, title] of the document.
QString Facts();

// Where a script in the page's world leaves its outcome while a promise it gave is pending, for
// an engine that cannot await it: StartInPage runs the script, OutcomeInPage reads what it left.
// Both answer {value}, {error} or {pending: true}.
QString OutcomeKey();
QString StartInPage(const QString& script, const QString& key);
QString OutcomeInPage(const QString& key);

} // namespace ControlScript
