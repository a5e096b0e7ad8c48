// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/PageScript.h"

#include "common/VistrelError.h"

#include <QColor>

namespace {

// Installed once a capture: what the capture changes on the page, and how it undoes it. Every
// change is an inline style with "important", which no rule of the page can override, saved
// first so that the page gets its own inline styles back afterwards. Fixed ::before and ::after
// boxes have no inline style: an attribute of the capture's own on their element and a style
// sheet adopted by its document or shadow root hide them, and go with the capture.
const char* const Installer = R"js(
(() => {
  const old = window.vistrelCapture;
  if (old && old.ready) { old.keep = KEEP; return true; }
  const V = window.vistrelCapture = { ready: true, keep: KEEP, mark: null, frame: null };
  const saved = new Map();
  const fixed = new Set();
  const flowed = new Set();
  let dirty = true;
  const observer = new MutationObserver(() => { dirty = true; });
  observer.observe(document, { subtree: true, childList: true, attributes: true,
    attributeFilter: ['class', 'style', 'id', 'hidden', 'open'] });
  const hide = { opacity: '0', transition: 'none' };
  const sheets = new Map(); // document or shadow root -> the sheet adopted there
  const pseudos = new WeakMap(); // element -> { before, after } entries kept across scans
  const marked = new Set();
  const hiding = (which) => 'vistrel-hide-' + which;
  function pseudoOf(el, which) {
    let of = pseudos.get(el);
    if (!of) pseudos.set(el, of = {});
    return of[which] || (of[which] = { el, which });
  }
  function adoptSheet(root) {
    if (sheets.has(root) || !root.adoptedStyleSheets) return;
    const sheet = new CSSStyleSheet();
    sheet.replaceSync(['before', 'after'].map((w) => '[' + hiding(w) + ']::' + w +
      ' { opacity: 0 !important; transition: none !important; }').join('\n'));
    root.adoptedStyleSheets = [...root.adoptedStyleSheets, sheet];
    sheets.set(root, sheet);
  }
  function conceal(x) {
    if (!x.which) return override(x, hide);
    adoptSheet(x.el.getRootNode());
    x.el.setAttribute(hiding(x.which), '');
    marked.add(x);
  }
  function reveal(x) {
    if (!x.which) return restore(x, Object.keys(hide));
    x.el.removeAttribute(hiding(x.which));
    marked.delete(x);
  }
  // A pseudo-element has no client rect: its box comes from its used values.
  function box(x) {
    if (!x.which) return x.getBoundingClientRect();
    const s = getComputedStyle(x.el, '::' + x.which);
    const n = (v) => parseFloat(v) || 0;
    const content = s.boxSizing !== 'border-box';
    const width = n(s.width) + (content ? n(s.paddingLeft) + n(s.paddingRight) +
      n(s.borderLeftWidth) + n(s.borderRightWidth) : 0);
    const height = n(s.height) + (content ? n(s.paddingTop) + n(s.paddingBottom) +
      n(s.borderTopWidth) + n(s.borderBottomWidth) : 0);
    const left = n(s.left), top = n(s.top);
    return { left, top, width, height, right: left + width, bottom: top + height };
  }
  const flow = { position: 'relative', top: 'auto', right: 'auto', bottom: 'auto', left: 'auto' };

  function override(el, props) {
    let kept = saved.get(el);
    if (!kept) saved.set(el, kept = {});
    for (const p in props) {
      if (!(p in kept)) kept[p] = [el.style.getPropertyValue(p), el.style.getPropertyPriority(p)];
      el.style.setProperty(p, props[p], 'important');
    }
  }
  function restore(el, names) {
    const kept = saved.get(el);
    if (!kept) return;
    for (const p of names || Object.keys(kept)) {
      if (!(p in kept)) continue;
      if (kept[p][0]) el.style.setProperty(p, kept[p][0], kept[p][1]);
      else el.style.removeProperty(p);
      delete kept[p];
    }
    if (!Object.keys(kept).length) saved.delete(el);
  }
  const page = () => document.scrollingElement || document.documentElement;
  const up = (el) => el.parentElement || (el.getRootNode && el.getRootNode().host) || null;
  // A transformed or filtered ancestor holds a fixed element: it scrolls with the page.
  function scrollsWithPage(el, self) {
    for (let a = self ? el : up(el); a; a = up(a)) {
      const s = getComputedStyle(a);
      if (s.transform !== 'none' || s.perspective !== 'none' || s.filter !== 'none' ||
          /transform|perspective|filter/.test(s.willChange) ||
          /paint|layout|strict|content/.test(s.contain)) return true;
    }
    return false;
  }
  function elements() {
    const all = [];
    const walk = (root) => {
      for (const el of root.querySelectorAll('*')) {
        all.push(el);
        if (el.shadowRoot) walk(el.shadowRoot);
      }
    };
    walk(document);
    return all;
  }
  function scan() {
    const now = new Set();
    for (const el of elements()) {
      if (el === V.mark || flowed.has(el)) continue;
      const position = getComputedStyle(el).position;
      if (position === 'sticky') {
        flowed.add(el);
        override(el, flow);
      } else if (position === 'fixed' && !scrollsWithPage(el)) {
        now.add(el);
      }
      for (const which of ['before', 'after'])
        if (getComputedStyle(el, '::' + which).position === 'fixed' && !scrollsWithPage(el, true))
          now.add(pseudoOf(el, which));
    }
    for (const x of fixed) if (!now.has(x)) reveal(x);
    fixed.clear();
    for (const x of now) {
      let inside = false;
      for (let a = x.which ? x.el : up(x); a && !inside; a = up(a)) inside = now.has(a);
      if (inside) reveal(x);
      else fixed.add(x);
    }
    dirty = false;
  }
  // Where a person sees a fixed element: a header on the first screen, a bar at the bottom
  // or a button in a corner on the screen that reaches that edge of the page.
  function home(item, at, rtl) {
    const r = box(item);
    const w = page().clientWidth;
    const h = page().clientHeight;
    const bottom = r.height < 0.75 * h && r.top + r.bottom > h;
    const right = r.width < 0.75 * w && r.left + r.right > w;
    const left = r.width < 0.75 * w && r.left + r.right < w;
    const x = right ? at.right : left ? at.left : rtl ? at.right : at.left;
    return x && (bottom ? at.bottom : at.top);
  }
  V.apply = () => {
    if (V.keep) return [];
    if (dirty) scan();
    const e = page();
    const rtl = getComputedStyle(e).direction === 'rtl';
    const spanX = e.scrollWidth - e.clientWidth;
    const left = rtl ? -spanX : 0;
    const at = { left: scrollX <= left, right: scrollX >= left + spanX, top: scrollY <= 0,
      bottom: scrollY >= e.scrollHeight - e.clientHeight };
    const shown = [];
    for (const x of fixed) {
      if (home(x, at, rtl)) {
        reveal(x);
        const r = box(x);
        shown.push([Math.floor(r.left), Math.floor(r.top), Math.ceil(r.right), Math.ceil(r.bottom)]);
      } else {
        conceal(x);
      }
    }
    return shown;
  };
  V.markWith = (first, second, mx, my) => {
    let m = V.mark;
    if (!m) m = V.mark = document.createElement('vistrel-screen-mark');
    m.style.cssText = 'all: initial !important; display: block !important;' +
      ' position: fixed !important; left: ' + mx + 'px !important; top: ' + my + 'px !important;' +
      ' width: 2px !important; height: 4px !important; margin: 0 !important;' +
      ' padding: 0 !important; box-sizing: content-box !important;' +
      ' border-left: 2px solid ' + first + ' !important;' +
      ' background: ' + second + ' !important; z-index: 2147483647 !important;' +
      ' opacity: 1 !important; visibility: visible !important; transform: none !important;';
    if (m.parentNode !== document.documentElement || m.nextSibling)
      document.documentElement.appendChild(m);
    const r = m.getBoundingClientRect();
    return r.left === mx && r.top === my && document.elementFromPoint(mx, my) === m;
  };
  V.client = () => [page().clientWidth, page().clientHeight, V.frame ? V.frame.shown : []];
  // The mark goes where the page left of keepX and above keepY is painted already.
  V.screen = (x, y, first, second, keepX, keepY) => {
    const before = V.client();
    scrollTo({ left: x, top: y, behavior: 'instant' });
    const within = (v, most) => Math.max(0, Math.min(Math.floor(v), most));
    const mx = within(keepX - 4 - scrollX, page().clientWidth - 4);
    const my = within(keepY - 4 - scrollY, page().clientHeight - 4);
    const frame = V.frame = { ran: false, placed: false, shown: [] };
    // After the page's own scroll handlers, in the frame that paints this position.
    requestAnimationFrame(() => {
      try {
        frame.shown = V.apply();
        frame.placed = V.markWith(first, second, mx, my);
      } finally {
        observer.takeRecords();
        frame.ran = true;
      }
    });
    return [scrollX, scrollY, mx, my, ...before];
  };
  const pending = () => [...document.images].filter((i) => !i.complete).length;
  V.lazyHints = () => pending() > 0 || !!document.querySelector(
    'img[loading=lazy], iframe[loading=lazy], [data-src], [data-srcset], [data-lazy],' +
    ' [data-lazy-src], [data-original], [data-bg], .lazyload, .lazy');
  // Two frames at each position: the engine and the page's observers see what came into view.
  V.lazyStep = (y) => {
    scrollTo({ left: scrollX, top: y, behavior: 'instant' });
    V.ticked = false;
    requestAnimationFrame(() => requestAnimationFrame(() => { V.ticked = true; }));
    return [scrollY, page().scrollHeight, page().clientHeight];
  };
  V.lazyState = () => [!!V.ticked, pending()];
  V.unmark = () => {
    if (V.mark) V.mark.remove();
    observer.takeRecords();
  };
  V.finish = () => {
    observer.disconnect();
    if (V.mark) V.mark.remove();
    for (const el of [...saved.keys()]) restore(el);
    for (const x of [...marked]) reveal(x);
    for (const [root, sheet] of sheets)
      root.adoptedStyleSheets = root.adoptedStyleSheets.filter((s) => s !== sheet);
    delete window.vistrelCapture;
  };
  // A page that snaps its scrolling would move each screen off the place it was scrolled to.
  for (const el of [document.documentElement, document.body])
    if (el) override(el, { 'scroll-snap-type': 'none' });
  return true;
})()
)js";

QString CssColor(QRgb rgb) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(qRed(rgb)).arg(qGreen(rgb)).arg(qBlue(rgb));
}

} // namespace

namespace PageScript {

QString Install(bool keepFixed) {
    return QString::fromUtf8(Installer).replace(
        QLatin1String("KEEP"), keepFixed ? QLatin1String("true") : QLatin1String("false"));
}

QString Screen(const QPoint& position, QRgb first, QRgb second, const QPoint& painted) {
    return QStringLiteral("vistrelCapture.screen(%1, %2, '%3', '%4', %5, %6)")
        .arg(position.x())
        .arg(position.y())
        .arg(CssColor(first), CssColor(second))
        .arg(painted.x())
        .arg(painted.y());
}

QString FrameState() {
    return QStringLiteral("(f => f ? [f.ran, f.placed] : [false, false])(vistrelCapture.frame)");
}

QString ClientSize() {
    return QStringLiteral("vistrelCapture.client()");
}

QString Unmark() {
    return QStringLiteral("vistrelCapture.unmark(); true");
}

QString Finish() {
    return QStringLiteral("window.vistrelCapture ? (vistrelCapture.finish(), true) : true");
}

QString MetaRefresh() {
    return QStringLiteral(R"js((() => {
  const m = document.querySelector('meta[http-equiv="refresh" i]');
  const r = /^\s*(\d+(?:\.\d*)?)\s*[;,]\s*(?:url\s*=\s*)?['"]?([^'"]*)/i
    .exec(m ? m.getAttribute('content') || '' : '');
  if (!r || !r[2].trim()) return [];
  const to = new URL(r[2].trim(), document.baseURI), here = new URL(location.href);
  to.hash = here.hash = '';
  return to.href === here.href ? [] : [parseFloat(r[1]), to.href];
})())js");
}

QString LazyHints() {
    return QStringLiteral("vistrelCapture.lazyHints()");
}

QString LazyStep(int y) {
    return QStringLiteral("vistrelCapture.lazyStep(%1)").arg(y);
}

QString LazyState() {
    return QStringLiteral("vistrelCapture.lazyState()");
}

// A right-to-left page scrolls to negative x: its left edge is as far left as it goes.
QString Metrics() {
    return QStringLiteral(
        "(() => { const e = document.scrollingElement || document.documentElement;"
        " const x = scrollX, y = scrollY;"
        " scrollTo({left: -1e7, top: y, behavior: 'instant'});"
        " const left = Math.min(0, scrollX);"
        " scrollTo({left: x, top: y, behavior: 'instant'});"
        " return e ? [innerWidth, innerHeight, e.clientWidth, e.clientHeight,"
        " e.scrollWidth, e.scrollHeight, scrollX, scrollY, left]"
        " : [innerWidth, innerHeight, innerWidth, innerHeight,"
        " innerWidth, innerHeight, scrollX, scrollY, left]; })()");
}

DocumentMetrics MetricsFrom(const QVariant& answer) {
    const QList<int> n = Numbers(answer, 9, QStringLiteral("metrics"));
    return DocumentMetrics{QSize(n[0], n[1]), QSize(n[2], n[3]), QSize(n[4], n[5]),
                           QPoint(n[6], n[7]), QPoint(n[8], 0)};
}

QString ScrollTo(const QPoint& position) {
    return QStringLiteral("window.scrollTo({left: %1, top: %2, behavior: 'instant'});"
                          " [scrollX, scrollY]")
        .arg(position.x())
        .arg(position.y());
}

QString ViewSize() {
    return QStringLiteral("[innerWidth, innerHeight]");
}

QList<int> Numbers(const QVariant& answer, int count, const QString& what) {
    const QVariantList values = answer.toList();
    if (values.size() != count)
        throw VistrelError(QStringLiteral("The page gave no %1").arg(what));
    QList<int> numbers;
    for (const QVariant& value : values) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            throw VistrelError(QStringLiteral("The page gave no %1").arg(what));
        numbers << qRound(number);
    }
    return numbers;
}

} // namespace PageScript
