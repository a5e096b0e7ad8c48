// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestPictures.h"
#include "common/VistrelError.h"
#include "output/JpegEncoder.h"

#include <QtTest>

#include <cmath>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct DecodeError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void DecodeFailed(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<DecodeError*>(cinfo->err)->jump, 1);
}

// What libjpeg's own decoder reports of a file.
struct Decoded {
    bool ok = false;
    int components = 0;
    int sampling[3][2] = {};
    bool jfif = false;
    int lumaTable[DCTSIZE2] = {};
    QImage picture;
};

bool DecodeInto(jpeg_decompress_struct& cinfo, const QByteArray& jpeg, Decoded& d) {
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;
    d.components = cinfo.num_components;
    for (int c = 0; c < qMin(3, cinfo.num_components); ++c) {
        d.sampling[c][0] = cinfo.comp_info[c].h_samp_factor;
        d.sampling[c][1] = cinfo.comp_info[c].v_samp_factor;
    }
    d.jfif = cinfo.saw_JFIF_marker;
    for (int i = 0; i < DCTSIZE2 && cinfo.quant_tbl_ptrs[0]; ++i)
        d.lumaTable[i] = cinfo.quant_tbl_ptrs[0]->quantval[i];
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    d.picture = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB888);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = d.picture.scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

Decoded Decode(const QByteArray& jpeg) {
    Decoded d;
    DecodeError err;
    jpeg_decompress_struct cinfo = {};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = DecodeFailed;
    if (setjmp(err.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        d.ok = DecodeInto(cinfo, jpeg, d);
    }
    jpeg_destroy_decompress(&cinfo);
    return d;
}

// The frame markers between SOI and the first scan, in order.
QList<int> FrameMarkers(const QByteArray& jpeg) {
    QList<int> markers;
    int at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const int marker = uchar(jpeg[at + 1]);
        markers << marker;
        if (marker == 0xDA)
            break;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return markers;
}

double Psnr(const QImage& a, const QImage& b) {
    double squares = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < a.width() * 3; ++i)
            squares += double(p[i] - q[i]) * (p[i] - q[i]);
    }
    const double mse = squares / (double(a.width()) * a.height() * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Gradients and a soft diagonal: what a screenshot's smooth parts look like.
QImage SmoothPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(255 * x / width);
            row[3 * x + 1] = uchar(255 * y / height);
            row[3 * x + 2] = uchar(128 + 100 * std::sin((x + y) / 40.0));
        }
    }
    return picture;
}

QString EncodeError(const QImage& picture) {
    try {
        EncodeJpeg(picture, 85);
    } catch (const VistrelError& error) {
        return error.message();
    }
    return QString();
}

// ITU-T T.81 Annex K, table K.1, first row (natural order).
const int AnnexKLumaRow[8] = {16, 11, 10, 16, 24, 40, 51, 61};

} // namespace

class TestJpegEncoder : public QObject {
    Q_OBJECT
private slots:
    void fileLayout_data();
    void fileLayout();
    void quality_data();
    void quality();
    void qualityOutOfRange_data();
    void qualityOutOfRange();
    void quantisationTables();
    void pixelFormatDoesNotMatter();
    void sideLimit_data();
    void sideLimit();
    void emptyPicture();
};

void TestJpegEncoder::fileLayout_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1 x 1") << QSize(1, 1);
    QTest::newRow("16 x 16") << QSize(16, 16);
    QTest::newRow("17 x 9, padded rows") << QSize(17, 9);
    QTest::newRow("1023 x 5") << QSize(1023, 5);
    QTest::newRow("65500 x 1") << QSize(65500, 1);
}

void TestJpegEncoder::fileLayout() {
    QFETCH(QSize, size);
    const QByteArray jpeg = EncodeJpeg(PatternPicture(size.width(), size.height()), 85);
    QCOMPARE(jpeg.left(2), QByteArray("\xFF\xD8"));
    QCOMPARE(jpeg.right(2), QByteArray("\xFF\xD9"));
    const QList<int> markers = FrameMarkers(jpeg);
    QCOMPARE(markers.value(0), 0xE0); // JFIF APP0 first
    QVERIFY(markers.contains(0xC0));  // baseline
    for (int sof : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA})
        QVERIFY(!markers.contains(sof));
    QCOMPARE(markers.last(), 0xDA);
    const Decoded d = Decode(jpeg);
    QVERIFY(d.ok);
    QVERIFY(d.jfif);
    QCOMPARE(d.picture.size(), size);
    QCOMPARE(d.components, 3);
    QCOMPARE(d.sampling[0][0], 2);
    QCOMPARE(d.sampling[0][1], 2);
    for (int c = 1; c < 3; ++c) {
        QCOMPARE(d.sampling[c][0], 1);
        QCOMPARE(d.sampling[c][1], 1);
    }
}

void TestJpegEncoder::quality_data() {
    QTest::addColumn<int>("quality");
    QTest::addColumn<double>("minimumPsnr");
    QTest::newRow("85") << 85 << 30.0;
    QTest::newRow("100") << 100 << 38.0;
    QTest::newRow("50") << 50 << 28.0;
}

void TestJpegEncoder::quality() {
    QFETCH(int, quality);
    QFETCH(double, minimumPsnr);
    // An odd width and a picture that is not symmetric: flipped, shifted or swapped rows and
    // channels would ruin the match.
    const QImage picture = SmoothPicture(301, 203);
    const Decoded d = Decode(EncodeJpeg(picture, quality));
    QVERIFY(d.ok);
    const double psnr = Psnr(picture, d.picture);
    QVERIFY2(psnr > minimumPsnr, qPrintable(QString::number(psnr)));
}

void TestJpegEncoder::qualityOutOfRange_data() {
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("sameAs");
    QTest::newRow("0 acts as 1") << 0 << 1;
    QTest::newRow("-7 acts as 1") << -7 << 1;
    QTest::newRow("101 acts as 100") << 101 << 100;
}

void TestJpegEncoder::qualityOutOfRange() {
    QFETCH(int, quality);
    QFETCH(int, sameAs);
    const QImage picture = SmoothPicture(64, 48);
    QCOMPARE(EncodeJpeg(picture, quality), EncodeJpeg(picture, sameAs));
    QVERIFY(EncodeJpeg(picture, 50) != EncodeJpeg(picture, sameAs));
}

void TestJpegEncoder::quantisationTables() {
    const QImage picture = SmoothPicture(16, 16);
    const Decoded standard = Decode(EncodeJpeg(picture, 50));
    for (int i = 0; i < 8; ++i)
        QCOMPARE(standard.lumaTable[i], AnnexKLumaRow[i]);
    const Decoded best = Decode(EncodeJpeg(picture, 100));
    for (int i = 0; i < DCTSIZE2; ++i)
        QCOMPARE(best.lumaTable[i], 1);
    const Decoded worst = Decode(EncodeJpeg(picture, 1));
    QCOMPARE(worst.lumaTable[0], 255); // force-baseline caps the scaled entries at 255
}

void TestJpegEncoder::pixelFormatDoesNotMatter() {
    const QImage picture = PatternPicture(33, 17);
    const QByteArray rgb888 = EncodeJpeg(picture, 85);
    QCOMPARE(EncodeJpeg(picture.convertToFormat(QImage::Format_RGB32), 85), rgb888);
    QCOMPARE(EncodeJpeg(picture.convertToFormat(QImage::Format_ARGB32), 85), rgb888);
}

void TestJpegEncoder::sideLimit_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("65501 wide") << QSize(65501, 1);
    QTest::newRow("65501 high") << QSize(1, 65501);
}

void TestJpegEncoder::sideLimit() {
    QFETCH(QSize, size);
    const QString message = EncodeError(FilledPicture(size.width(), size.height(), 0xFFFFFF));
    QVERIFY2(message.contains(QStringLiteral("65500")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())),
             qPrintable(message));
    // The encoder is still usable afterwards.
    QVERIFY(Decode(EncodeJpeg(PatternPicture(8, 8), 85)).ok);
}

void TestJpegEncoder::emptyPicture() {
    QVERIFY(!EncodeError(QImage()).isEmpty());
    QVERIFY(!EncodeError(QImage(0, 10, QImage::Format_RGB888)).isEmpty());
}

QTEST_GUILESS_MAIN(TestJpegEncoder)
#include "tst_jpegencoder.moc"
