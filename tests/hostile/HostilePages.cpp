// SPDX-License-Identifier: GPL-3.0-or-later
#include "HostilePages.h"

#include "cli/CliPages.h"

namespace HostilePages {

namespace {

const char* const Head = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><style>"
                         "html, body { margin: 0; padding: 0; background: #fff; }"
                         " div { margin: 0; padding: 0; border: 0; }";

// The same colour as RowColour, in the page.
const char* const AddRows = R"(<script>
function addRows(from, to) {
  const rows = document.createDocumentFragment();
  for (let y = from; y < to; y++) {
    const row = document.createElement('div');
    row.style.cssText = 'height: 1px; background: rgb(' + (y & 255) + ',' + ((y >> 8) & 255) +
                        ',' + (128 | ((y >> 16) & 127)) + ')';
    rows.appendChild(row);
  }
  document.getElementById('rows').appendChild(rows);
}
</script>)";

QByteArray Css(const char* colour) {
    return CliPages::Colours().value(QString::fromLatin1(colour)).name().toLatin1();
}

QByteArray Page(const QByteArray& style, const QByteArray& body) {
    return Head + style + "</style></head><body>" + body + "</body></html>\n";
}

} // namespace

QRgb RowColour(int y) {
    return qRgb(y & 255, (y >> 8) & 255, 128 | ((y >> 16) & 127));
}

QByteArray RowsHtml(int rows, const QByteArray& style, const QByteArray& script,
                    const QByteArray& before, int firstRow) {
    return Page(style, before + AddRows + "<div id=\"rows\"></div><script>addRows(" +
                           QByteArray::number(firstRow) + ", " + QByteArray::number(rows) +
                           ");</script><script>" + script + "</script>");
}

QByteArray SwappingBandsHtml(const QByteArray& counterScript, const QByteArray& script,
                             const QByteArray& head) {
    const QByteArray body = "<script>" + counterScript + "\nconst colours = ['" + Css("b1") +
                            "', '" + Css("b2") + "', '" + Css("b3") + "', '" + Css("b4") +
                            "'];\nif (n % 2) colours.reverse();\nfor (const colour of colours) {\n"
                            "  const band = document.createElement('div');\n"
                            "  band.style.cssText = 'height: " +
                            QByteArray::number(CliPages::BandHeight) +
                            "px; background: ' + colour;\n  document.body.appendChild(band);\n}\n" +
                            script + "</script>";
    return Head + QByteArray("</style>") + head + "</head><body>" + body + "</body></html>\n";
}

QByteArray PopupStormHtml() {
    return CliPages::BandsHtml(R"(<script>
for (let i = 0; i < 300; i++) window.open('/popup?' + i, '_blank', 'width=300,height=200');
for (let i = 0; i < 100; i++) {
  const link = document.createElement('a');
  link.href = '/popup?link' + i;
  link.target = '_blank';
  document.body.appendChild(link);
  link.click();
}
setInterval(() => { for (let i = 0; i < 20; i++) window.open('/popup?timer'); }, 1);
addEventListener('scroll', () => window.open('/popup?scroll'));
</script>)");
}

QByteArray DialogStormHtml() {
    return CliPages::BandsHtml(R"(<script>
let said = false;
for (let i = 0; i < 300; i++) {
  alert('alert ' + i);
  said = confirm('confirm ' + i) || prompt('prompt ' + i, 'default') !== null || said;
}
if (said) {
  const red = document.createElement('div');
  red.style.cssText = 'height: 100px; background: #f00';
  document.body.prepend(red);
}
setInterval(() => { alert('again'); confirm('again'); prompt('again'); }, 1);
addEventListener('scroll', () => alert('scrolled'));
addEventListener('beforeunload', (event) => {
  for (let i = 0; i < 1000; i++) { alert('leaving'); confirm('leaving'); prompt('leaving'); }
  event.preventDefault();
  event.returnValue = 'stay';
  return 'stay';
});
addEventListener('unload', () => { for (let i = 0; i < 1000; i++) alert('gone'); });
</script>)");
}

QByteArray PrintHtml() {
    return CliPages::BandsHtml(R"(<script>
print();
setInterval(() => print(), 5);
addEventListener('load', () => { for (let i = 0; i < 50; i++) print(); });
addEventListener('scroll', () => print());
</script>)");
}

QByteArray DownloadLinksHtml() {
    return CliPages::BandsHtml(R"(<script>
for (const [href, download] of [['/file.bin', true], ['/attached.html', false]]) {
  const link = document.createElement('a');
  link.href = href;
  if (download) link.download = 'file.bin';
  document.body.appendChild(link);
  link.click();
}
</script>)");
}

QByteArray HeaderHtml(const QByteArray& position) {
    const QByteArray header =
        "<div style=\"position: " + position +
        "; top: 0; left: 0; right: 0; height: " + QByteArray::number(HeaderHeight) +
        "px; background: " + Css("teal") + "; z-index: 1\"></div>";
    // A fixed header takes no room; a sticky one does, and the rows start below it.
    const int firstRow = position == "sticky" ? HeaderHeight : 0;
    return RowsHtml(3000, {}, {}, header, firstRow);
}

} // namespace HostilePages
