// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's artwork into resources/artwork. Run it after changing a picture:
//   build/tools/artwork/make-artwork resources/artwork
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

const QColor kBlueDark(22, 64, 120);
const QColor kBlue(44, 110, 190);
const QColor kBlueLight(120, 170, 230);
const QColor kOrange(240, 140, 40);

// The words drawn into the pictures, in each language of the windows.
struct Words {
    const char* suffix; // of the file names
    QString tagline;
    QString pixels;
    QString address;
};

const Words kChinese{"", QStringLiteral("整页网页截图"), QStringLiteral("像素"),
                     QStringLiteral("地址:")};
const Words kEnglish{"_en", QStringLiteral("Whole web pages in one picture"),
                     QStringLiteral("pixels"), QStringLiteral("URL:")};

QFont Font(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Save(const QImage& image, const QString& folder, const char* name, const char* suffix = "") {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name) + QLatin1String(suffix) +
                         QStringLiteral(".png");
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
}

// The logo: a page with a folded corner, its lower half under a blue capture frame.
void DrawLogo(QPainter& p, const QRectF& box) {
    const qreal u = box.width() / 48.0;
    p.save();
    p.translate(box.topLeft());
    p.scale(u, u);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(10, 4);
    page.lineTo(30, 4);
    page.lineTo(40, 14);
    page.lineTo(40, 44);
    page.lineTo(10, 44);
    page.closeSubpath();
    QLinearGradient paper(0, 4, 0, 44);
    paper.setColorAt(0, Qt::white);
    paper.setColorAt(1, QColor(226, 234, 244));
    p.setPen(QPen(QColor(90, 110, 140), 1.2));
    p.setBrush(paper);
    p.drawPath(page);
    p.setBrush(QColor(200, 212, 228));
    p.drawPolygon(QPolygonF({QPointF(30, 4), QPointF(30, 14), QPointF(40, 14)}));
    p.setPen(QPen(QColor(150, 165, 190), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int y = 18; y <= 38; y += 5) {
        p.drawLine(QPointF(15, y), QPointF(y == 18 ? 26 : 35, y));
    }
    p.setPen(QPen(kOrange, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPolygonF corners[] = {
        {QPointF(4, 12), QPointF(4, 4), QPointF(12, 4)},
        {QPointF(36, 46), QPointF(44, 46), QPointF(44, 38)},
        {QPointF(4, 38), QPointF(4, 46), QPointF(12, 46)},
        {QPointF(36, 4), QPointF(44, 4), QPointF(44, 12)},
    };
    for (const QPolygonF& corner : corners) {
        p.drawPolyline(corner);
    }
    p.restore();
}

void DrawGear(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath gear;
    const QPointF c(24, 24);
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i - 0.5) * M_PI / teeth, a1 = (i + 0.5) * M_PI / teeth;
        const double r = (i % 2 == 0) ? 21 : 16;
        const QPointF p0 = c + QPointF(r * std::cos(a0), r * std::sin(a0));
        const QPointF p1 = c + QPointF(r * std::cos(a1), r * std::sin(a1));
        if (i == 0) {
            gear.moveTo(p0);
        } else {
            gear.lineTo(p0);
        }
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 7, 7);
    QLinearGradient metal(0, 3, 0, 45);
    metal.setColorAt(0, QColor(150, 170, 195));
    metal.setColorAt(1, QColor(70, 90, 120));
    p.setPen(QPen(QColor(50, 65, 90), 1.2));
    p.setBrush(metal);
    p.drawPath(gear.subtracted(hole));
}

void DrawHelp(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient ball(QPointF(18, 16), 30);
    ball.setColorAt(0, kBlueLight);
    ball.setColorAt(1, kBlueDark);
    p.setPen(QPen(kBlueDark.darker(130), 1.2));
    p.setBrush(ball);
    p.drawEllipse(QRectF(4, 4, 40, 40));
    p.setPen(Qt::white);
    p.setFont(Font(30, true));
    p.drawText(QRectF(4, 3, 40, 40), Qt::AlignCenter, QStringLiteral("?"));
}

QImage MenuIcon(void (*draw)(QPainter&)) {
    QImage image = Canvas(48, 48);
    QPainter p(&image);
    draw(p);
    return image;
}

void DrawCaptureIcon(QPainter& p) {
    DrawLogo(p, QRectF(0, 0, 48, 48));
}

QImage Background(const Words& words) {
    QImage image(727, 430, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 430);
    body.setColorAt(0, QColor(236, 242, 250));
    body.setColorAt(1, QColor(214, 225, 240));
    p.fillRect(image.rect(), body);
    QLinearGradient header(0, 0, 727, 75);
    header.setColorAt(0, kBlueDark);
    header.setColorAt(1, kBlue);
    p.fillRect(QRect(0, 0, 727, 75), header);
    p.fillRect(QRect(0, 73, 727, 2), kOrange);
    DrawLogo(p, QRectF(22, 12, 52, 52));
    p.setPen(Qt::white);
    p.setFont(Font(30, true));
    p.drawText(QPoint(84, 42), QStringLiteral("Vistrel Pro"));
    p.setPen(QColor(200, 220, 250));
    p.setFont(Font(13));
    p.drawText(QPoint(280, 40), words.tagline);
    // menu column
    QLinearGradient menu(0, 75, 150, 75);
    menu.setColorAt(0, QColor(226, 235, 248));
    menu.setColorAt(1, QColor(206, 220, 240));
    p.fillRect(QRect(0, 75, 150, 333), menu);
    p.fillRect(QRect(150, 75, 1, 333), QColor(170, 188, 215));
    // the pages' well
    p.setPen(QPen(QColor(170, 188, 215), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(152.5, 77.5, 562, 331), 4, 4);
    // status bar
    QLinearGradient status(0, 410, 0, 430);
    status.setColorAt(0, QColor(232, 236, 242));
    status.setColorAt(1, QColor(208, 214, 224));
    p.fillRect(QRect(0, 410, 727, 20), status);
    p.fillRect(QRect(0, 410, 727, 1), QColor(170, 180, 196));
    return image;
}

void PageBase(QPainter& p, const QImage& image) {
    QLinearGradient g(0, 0, 0, image.height());
    g.setColorAt(0, QColor(250, 252, 255));
    g.setColorAt(1, QColor(238, 243, 250));
    p.fillRect(image.rect(), g);
}

// A thin rule under a page heading.
void Rule(QPainter& p, int y) {
    p.fillRect(QRect(18, y, 521, 1), QColor(214, 224, 238));
}

QImage PlainPage() {
    QImage image(557, 326, QImage::Format_RGB32);
    QPainter p(&image);
    PageBase(p, image);
    return image;
}

void DrawMonitor(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(80, 95, 120), 1.2));
    p.setBrush(QColor(60, 70, 90));
    p.drawRoundedRect(r, 2, 2);
    QLinearGradient glass(r.topLeft(), r.bottomRight());
    glass.setColorAt(0, kBlueLight);
    glass.setColorAt(1, kBlue);
    p.setBrush(glass);
    p.setPen(Qt::NoPen);
    p.drawRect(r.adjusted(2, 2, -2, -2));
    p.setBrush(QColor(80, 95, 120));
    p.drawRect(QRectF(r.center().x() - 3, r.bottom(), 6, 3));
    p.drawRect(QRectF(r.center().x() - 8, r.bottom() + 3, 16, 2));
}

QImage AddressPage(const Words& words) {
    QImage image(557, 326, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PageBase(p, image);
    Rule(p, 42);
    Rule(p, 128);
    const struct {
        int y;
        double scale;
        const char* text;
    } rows[] = {{140, 1.0, "1280 x 1024"}, {176, 0.85, "1024 x 768"}, {212, 0.7, "800 x 600"}};
    p.setFont(Font(14));
    for (const auto& row : rows) {
        const double w = 26 * row.scale, h = 18 * row.scale;
        DrawMonitor(p, QRectF(74 + (26 - w) / 2, row.y + 1 + (18 - h) / 2 - 2, w, h));
        p.setPen(QColor(40, 50, 70));
        p.drawText(QPoint(112, row.y + 16), QString::fromLatin1(row.text));
        p.setPen(QColor(130, 140, 160));
        p.setFont(Font(12));
        p.drawText(QPoint(212, row.y + 16), words.pixels);
        p.setFont(Font(14));
    }
    p.setOpacity(0.08);
    DrawLogo(p, QRectF(380, 110, 150, 150));
    return image;
}

QImage HelpPage() {
    QImage image(557, 326, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PageBase(p, image);
    Rule(p, 42);
    p.setOpacity(0.10);
    DrawLogo(p, QRectF(330, 80, 200, 200));
    return image;
}

QImage Frame() {
    QImage image = Canvas(170, 190);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 4; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(QRectF(2 + i, 3 + i, 166 - 2 * i, 186 - 2 * i), 6, 6);
    }
    QLinearGradient g(0, 0, 0, 190);
    g.setColorAt(0, QColor(252, 253, 255));
    g.setColorAt(1, QColor(222, 230, 242));
    p.setPen(QPen(QColor(168, 182, 204), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 165, 185), 6, 6);
    return image;
}

QImage SnapBanner(const Words& words) {
    QImage image(780, 42, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 42);
    g.setColorAt(0, kBlue);
    g.setColorAt(1, kBlueDark);
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(0, 40, 780, 2), kOrange);
    DrawLogo(p, QRectF(6, 5, 30, 30));
    p.setPen(Qt::white);
    p.setFont(Font(13, true));
    p.drawText(QPoint(42, 25), words.address);
    p.setPen(QPen(QColor(20, 50, 100), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(76.5, 8.5, 420, 21), 3, 3);
    return image;
}

QImage SnapBottom() {
    QImage image(780, 23, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 23);
    g.setColorAt(0, QColor(232, 236, 242));
    g.setColorAt(1, QColor(208, 214, 224));
    p.fillRect(image.rect(), g);
    p.fillRect(QRect(0, 0, 780, 1), QColor(170, 180, 196));
    return image;
}

QImage Icon(int size) {
    QImage image = Canvas(size, size);
    QPainter p(&image);
    DrawLogo(p, QRectF(0, 0, size, size));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    for (const Words* words : {&kChinese, &kEnglish}) {
        Save(Background(*words), folder, "background", words->suffix);
        Save(AddressPage(*words), folder, "page_address", words->suffix);
        Save(SnapBanner(*words), folder, "snap_banner", words->suffix);
    }
    Save(MenuIcon(DrawCaptureIcon), folder, "menu_capture");
    Save(MenuIcon(DrawGear), folder, "menu_settings");
    Save(MenuIcon(DrawHelp), folder, "menu_help");
    Save(PlainPage(), folder, "page_plain");
    Save(HelpPage(), folder, "page_help");
    Save(Frame(), folder, "frame");
    Save(SnapBottom(), folder, "snap_bottom");
    Save(Icon(48), folder, "vistrel-pro-48");
    Save(Icon(256), folder, "vistrel-pro-256");
    return 0;
}
