// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ControlScript.h"

#include "common/VistrelError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QRandomGenerator>

#include <cmath>

namespace {

// A text as a JavaScript string literal.
QString Quoted(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString WithSelector(const char* script, const QString& selector) {
    return QString::fromLatin1(script).replace(QLatin1String("SELECTOR"), Quoted(selector));
}

} // namespace

namespace ControlScript {

QString ElementShown(const QString& selector) {
    return WithSelector(R"js((() => {
  let el;
  try { el = document.querySelector(SELECTOR); } catch (e) { return String(e.message); }
  if (!el) return false;
  const r = el.getBoundingClientRect();
  return r.width > 0 || r.height > 0;
})())js",
                        selector);
}

// On a line of its own: a comment at the expression's end does not swallow the rest.
QString Truthy(const QString& expression) {
    return QStringLiteral("Promise.resolve((\n%1\n)).then((v) => !!v)").arg(expression);
}

QString Hide(const QStringList& selectors) {
    QStringList quoted;
    for (const QString& selector : selectors)
        quoted << Quoted(selector);
    return QStringLiteral(R"js((() => {
  const selectors = [%1];
  for (const s of selectors) {
    try { document.querySelector(s); } catch (e) { return 'not a selector: ' + s; }
  }
  const sheet = new CSSStyleSheet();
  sheet.replaceSync(selectors.map((s) => s + ' { display: none !important; }').join('\n'));
  document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
  window.vistrelHidden = sheet;
  return true;
})())js")
        .arg(quoted.join(u','));
}

QString Unhide() {
    return QStringLiteral(R"js((() => {
  const sheet = window.vistrelHidden;
  if (sheet) document.adoptedStyleSheets = document.adoptedStyleSheets.filter((s) => s !== sheet);
  window.vistrelHidden = null;
  return true;
})())js");
}

QString ElementBox(const QString& selector) {
    return WithSelector(R"js((() => {
  let el;
  try { el = document.querySelector(SELECTOR); } catch (e) { return String(e.message); }
  if (!el) return [];
  const r = el.getBoundingClientRect();
  return [r.left + scrollX, r.top + scrollY, r.width, r.height];
})())js",
                        selector);
}

QRect BoxFrom(const QVariant& answer, const QString& selector) {
    if (answer.typeId() == QMetaType::QString)
        throw VistrelError(
            QStringLiteral("%1 is not a selector: %2").arg(selector, answer.toString()));
    const QVariantList box = answer.toList();
    if (box.size() != 4)
        return {};
    // Every pixel the box touches, also in part.
    const int left = int(std::floor(box[0].toDouble()));
    const int top = int(std::floor(box[1].toDouble()));
    const int right = int(std::ceil(box[0].toDouble() + box[2].toDouble()));
    const int bottom = int(std::ceil(box[1].toDouble() + box[3].toDouble()));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QString Facts() {
    return QStringLiteral("[location.href, document.title]");
}

QString OutcomeKey() {
    return QStringLiteral("vistrelOutcome%1").arg(QRandomGenerator::global()->generate());
}

QString StartInPage(const QString& script, const QString& key) {
    return QStringLiteral(R"js((() => {
  const key = %1;
  const plain = (v) => (v === null || ['string', 'number', 'boolean'].includes(typeof v))
      ? v : (v === undefined ? null : true);
  const text = (e) => String(e);
  try {
    const v = (0, eval)(%2);
    if (!v || typeof v.then !== 'function') return { value: plain(v) };
    window[key] = { pending: true };
    v.then((r) => { window[key] = { value: plain(r) }; }, (e) => { window[key] = { error: text(e) }; });
    return { pending: true };
  } catch (e) { return { error: text(e) }; }
})())js")
        .arg(Quoted(key), Quoted(script));
}

QString OutcomeInPage(const QString& key) {
    return QStringLiteral(R"js((() => {
  const o = window[%1];
  if (o && !o.pending) delete window[%1];
  return o || { error: 'the page lost what its script gave' };
})())js")
        .arg(Quoted(key));
}

} // namespace ControlScript
