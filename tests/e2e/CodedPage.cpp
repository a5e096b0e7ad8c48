// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodedPage.h"

namespace {

constexpr int ContentBlue = 0x33;
constexpr int ElementBlue = 0xcc;

CodedPage::Rows RowsOf(const QImage& picture, int x, int blue) {
    CodedPage::Rows rows;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb pixel = picture.pixel(x, y);
        if (qBlue(pixel) != blue)
            continue;
        if (rows.FirstAt < 0)
            rows.FirstAt = y;
        rows.Numbers << (qRed(pixel) | qGreen(pixel) << 8);
    }
    return rows;
}

} // namespace

namespace CodedPage {

QString Html(const QString& body) {
    return QStringLiteral(R"(<!DOCTYPE html><html><head><meta charset="utf-8"><style>
html, body { margin: 0; padding: 0; background: #fff; } canvas { display: block; }
html { overflow-y: scroll; }
</style></head><body>%1<script>
(function () {
  const fill = (el) => {
    const rows = +el.dataset.rows, first = +(el.dataset.first || 0);
    const blue = el.dataset.code === 'content' ? %2 : %3;
    const w = +(el.dataset.width || el.clientWidth || 1);
    for (let top = 0; top < rows; top += 4096) {
      const h = Math.min(4096, rows - top);
      const canvas = document.createElement('canvas');
      canvas.width = w; canvas.height = h;
      const ctx = canvas.getContext('2d');
      const image = ctx.createImageData(w, h);
      for (let y = 0, i = 0; y < h; y++) {
        const n = first + top + y;
        for (let x = 0; x < w; x++, i += 4) {
          image.data[i] = n & 255; image.data[i + 1] = (n >> 8) & 255;
          image.data[i + 2] = blue; image.data[i + 3] = 255;
        }
      }
      ctx.putImageData(image, 0, 0);
      if (el.dataset.pseudo) { // the rows paint its ::before or ::after instead
        const style = document.createElement('style');
        style.textContent = '[data-pseudo]::' + el.dataset.pseudo + ' { background: url(' +
          canvas.toDataURL() + ') no-repeat; }';
        document.head.appendChild(style);
        return;
      }
      el.appendChild(canvas);
    }
  };
  const walk = (root) => root.querySelectorAll('*').forEach((el) => {
    if (el.dataset && el.dataset.code) fill(el);
    if (el.shadowRoot) walk(el.shadowRoot);
  });
  walk(document);
})();
</script></body></html>
)")
        .arg(body)
        .arg(ContentBlue)
        .arg(ElementBlue);
}

Rows ContentRows(const QImage& picture, int x) {
    return RowsOf(picture, x, ContentBlue);
}

Rows ElementRows(const QImage& picture, int x) {
    return RowsOf(picture, x, ElementBlue);
}

QString Sequence(const Rows& rows, int count) {
    for (int i = 0; i < rows.Numbers.size(); ++i)
        if (i >= count || rows.Numbers.at(i) != i)
            return QStringLiteral("picture row %1 shows row %2 where row %3 belongs")
                .arg(rows.FirstAt + i)
                .arg(rows.Numbers.at(i))
                .arg(i);
    if (rows.Numbers.size() != count)
        return QStringLiteral("%1 of %2 rows").arg(rows.Numbers.size()).arg(count);
    return QString();
}

} // namespace CodedPage
