// SPDX-License-Identifier: GPL-3.0-or-later
#include "PixelPage.h"

#include <QDir>
#include <QFile>

namespace {

QRgb Pattern(int x, int y) {
    return qRgb(x & 255, y & 255, (((x >> 8) & 7) << 5) | ((y >> 8) & 31));
}

// Canvases of at most 4096 rows, stacked: one canvas cannot be as tall as the page.
QString DrawScript(const QSize& size, bool inverted, int block) {
    return QStringLiteral(R"(<script>
(function () {
  const W = %1, H = %2, INV = %3, B = %4;
  for (let top = 0; top < H; top += 4096) {
    const h = Math.min(4096, H - top);
    const canvas = document.createElement('canvas');
    canvas.width = W; canvas.height = h;
    const ctx = canvas.getContext('2d');
    const image = ctx.createImageData(W, h);
    const d = image.data;
    let i = 0;
    for (let y = top; y < top + h; y++) {
      for (let x = 0; x < W; x++) {
        const bx = x - x % B, by = y - y % B;
        const r = bx & 255, g = by & 255, b = (((bx >> 8) & 7) << 5) | ((by >> 8) & 31);
        d[i] = INV ? 255 - r : r; d[i + 1] = INV ? 255 - g : g; d[i + 2] = INV ? 255 - b : b;
        d[i + 3] = 255; i += 4;
      }
    }
    ctx.putImageData(image, 0, 0);
    document.body.appendChild(canvas);
  }
})();
</script>)")
        .arg(size.width())
        .arg(size.height())
        .arg(inverted ? 1 : 0)
        .arg(block);
}

QString Head(bool rightToLeft = false) {
    return QStringLiteral("<html%1><head>").arg(rightToLeft ? " dir=\"rtl\"" : "") +
           QStringLiteral("<meta charset=\"utf-8\"><style>"
                          "html, body { margin: 0; padding: 0; background: #fff; }"
                          " canvas { display: block; image-rendering: pixelated; }"
                          " iframe { position: absolute; border: 0; margin: 0; padding: 0; }"
                          "</style></head><body>");
}

} // namespace

QString PixelPage::Html(const QString& frameName, const QString& script) const {
    QString html = Quirks ? QString() : QStringLiteral("<!DOCTYPE html>\n");
    html += Head(RightToLeft) + DrawScript(Size, false, Block);
    if (!script.isEmpty())
        html += QStringLiteral("<script>%1</script>").arg(script);
    if (!Frame.isEmpty())
        html += QStringLiteral("<iframe src=\"%5\" scrolling=\"no\" style=\"left: %1px;"
                               " top: %2px; width: %3px; height: %4px\"></iframe>")
                    .arg(Frame.x())
                    .arg(Frame.y())
                    .arg(Frame.width())
                    .arg(Frame.height())
                    .arg(frameName);
    return html + QStringLiteral("</body></html>\n");
}

QString PixelPage::FrameHtml(const QSize& size) {
    return QStringLiteral("<!DOCTYPE html>\n") + Head() + DrawScript(size, true, 1) +
           QStringLiteral("</body></html>\n");
}

QString PixelPage::WriteTo(const QString& folder, const QString& name,
                           const QString& script) const {
    const auto write = [](const QString& path, const QString& text) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
    };
    const QString path = QDir(folder).filePath(name);
    const QString frameName = QStringLiteral("frame-") + name;
    write(path, Html(frameName, script));
    if (!Frame.isEmpty())
        write(QDir(folder).filePath(frameName), FrameHtml(Frame.size()));
    return path;
}

QRgb PixelPage::Expected(int x, int y) const {
    if (Frame.contains(x, y)) {
        const QRgb inner = Pattern(x - Frame.x(), y - Frame.y());
        return qRgb(255 - qRed(inner), 255 - qGreen(inner), 255 - qBlue(inner));
    }
    if (x >= Size.width() || y >= Size.height())
        return qRgb(255, 255, 255);
    return Pattern(x - x % Block, y - y % Block);
}

QString PixelPage::Compare(const QImage& picture, const QSize& layoutSize) const {
    const QSize pictureSize = (QSizeF(layoutSize) * Scale).toSize();
    const auto page = [this](int device) { return int(device / Scale); };
    if (picture.size() != pictureSize)
        return QStringLiteral("picture is %1 x %2, page %3 x %4")
            .arg(picture.width())
            .arg(picture.height())
            .arg(pictureSize.width())
            .arg(pictureSize.height());
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    int wrong = 0;
    QString first;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb want = Expected(page(x), page(y));
            if (line[3 * x] == qRed(want) && line[3 * x + 1] == qGreen(want) &&
                line[3 * x + 2] == qBlue(want))
                continue;
            if (wrong++ == 0)
                first = QStringLiteral("(%1, %2) is %3 %4 %5, page has %6 %7 %8")
                            .arg(x)
                            .arg(y)
                            .arg(line[3 * x])
                            .arg(line[3 * x + 1])
                            .arg(line[3 * x + 2])
                            .arg(qRed(want))
                            .arg(qGreen(want))
                            .arg(qBlue(want));
        }
    }
    return wrong ? QStringLiteral("%1 wrong pixels, first %2").arg(wrong).arg(first) : QString();
}
