#include "app/BitmapFile.h"
#include "app/TImageArray.h"

#include <QBuffer>
#include <QTest>

#include <cmath>
#include <numbers>

namespace {

const QString kSprite = QStringLiteral(CARNETTO_IMAGES_DIR "/sprite_bandiera.bmp");
constexpr QRgb kKey = 0xFF0000FF; // pure blue

// A picture whose every pixel says where it comes from, with the key colour at the bottom left.
QImage numbered(int width, int height, QImage::Format format = QImage::Format_BGR888)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(x * 2 + 1, y * 3 + 1, (x + y) % 200 + 20));
    img.setPixel(0, height - 1, kKey);
    return img.convertToFormat(format);
}

QImage indexed(int width, int height)
{
    QImage img(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table << qRgb(i, 255 - i, (i * 7) % 256);
    img.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, uint((x * 11 + y * 5) % 256));
    return img;
}

TImageArray loaded(const QImage& picture)
{
    TImageArray array;
    const bool ok = array.LoadFromBitmap(picture);
    Q_ASSERT(ok);
    return array;
}

QRgb colourAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000;
}

} // namespace

class TestTImageArray : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theSpriteArtworkIsA24BitFlagInABlueFrame()
    {
        const QImage sprite = readBitmap(kSprite);
        QCOMPARE(sprite.size(), QSize(108, 60));
        QCOMPARE(sprite.format(), QImage::Format_BGR888);
        const TImageArray array = loaded(sprite);
        QCOMPARE(array.PixelFormat, TImageArray::TPixelFormat::pf24bit);
        QCOMPARE(array.TransparentColor | 0xFF000000, kKey);
        for (int x = 0; x < 108; ++x) {
            QCOMPARE(array.pixelColor(x, 0), kKey);
            QCOMPARE(array.pixelColor(x, 59), kKey);
        }
        for (int y = 0; y < 60; ++y) {
            QCOMPARE(array.pixelColor(0, y), kKey);
            QCOMPARE(array.pixelColor(107, y), kKey);
        }
        // Inside the frame no pixel is the key, or the flag would get holes. Green, white, red from the left.
        for (int x = 1; x < 107; ++x)
            for (int y = 1; y < 59; ++y)
                QVERIFY(array.pixelColor(x, y) != kKey);
        const QColor left(array.pixelColor(10, 30)), middle(array.pixelColor(54, 30)), right(array.pixelColor(97, 30));
        QVERIFY(left.green() > left.red() && left.green() > left.blue());
        QVERIFY(middle.red() > 180 && middle.green() > 180 && middle.blue() > 180);
        QVERIFY(right.red() > right.green() && right.red() > right.blue());
    }

    void angleZeroAtScaleOneIsAnExactCopy_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<bool>("mirror");
        QTest::newRow("24-bit") << numbered(9, 6) << false;
        QTest::newRow("24-bit mirrored") << numbered(9, 6) << true;
        QTest::newRow("24-bit in RGB order") << numbered(9, 6, QImage::Format_RGB888) << false;
        QTest::newRow("8-bit") << indexed(7, 5) << false;
        QTest::newRow("8-bit mirrored") << indexed(7, 5) << true;
        QTest::newRow("the flag mirrored") << readBitmap(kSprite) << true;
    }

    void angleZeroAtScaleOneIsAnExactCopy()
    {
        QFETCH(QImage, picture);
        QFETCH(bool, mirror);
        const TImageArray array = loaded(picture);
        QImage target;
        const QPoint landing =
            array.DrawRotated(target, QPoint(picture.width() / 2, picture.height() / 2), 0.0f, 1.0f, mirror);
        QCOMPARE(target.size(), picture.size());
        QCOMPARE(landing, QPoint(picture.width() / 2, picture.height() / 2));
        const int w = picture.width();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < w; ++x)
                QCOMPARE(colourAt(target, x, y), colourAt(picture, mirror ? w - 1 - x : x, y));
    }

    void aQuarterTurnIsHWideAndWHigh_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::newRow("flag") << readBitmap(kSprite);
        QTest::newRow("numbered") << numbered(20, 12);
    }

    void aQuarterTurnIsHWideAndWHigh()
    {
        QFETCH(QImage, picture);
        const int w = picture.width();
        const int h = picture.height();
        const TImageArray array = loaded(picture);
        QImage target;
        const QPoint landing =
            array.DrawRotated(target, QPoint(w / 2, h / 2), float(std::numbers::pi / 2), 1.0f, false);
        QCOMPARE(target.size(), QSize(h, w));
        QCOMPARE(landing, QPoint(h / 2, w / 2));
        // Every pixel comes from the picture: column x of the result is row x of the picture, read backwards.
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < h; ++x)
                QCOMPARE(colourAt(target, x, y), colourAt(picture, w - 1 - y, x));
    }

    void theCornersOfARotatedFlagAreTheKey_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<float>("scale");
        QTest::addColumn<bool>("mirror");
        const float angles[] = {0.3f, 1.0f, float(std::numbers::pi / 4), 2.0f, 3.0f, 4.0f, 5.5f, 6.2f};
        const float scales[] = {100.0f / 361, 0.5f, 1.0f, 2.0f, 100.0f / 45};
        for (float angle : angles)
            for (float scale : scales)
                QTest::addRow("%.2f at %.2f", angle, scale) << angle << scale << (angle > 3);
    }

    void theCornersOfARotatedFlagAreTheKey()
    {
        QFETCH(float, angle);
        QFETCH(float, scale);
        QFETCH(bool, mirror);
        const TImageArray array = loaded(readBitmap(kSprite));
        QImage target;
        array.DrawRotated(target, QPoint(54, 30), angle, scale, mirror);
        QVERIFY(!target.isNull());
        const int r = target.width() - 1;
        const int b = target.height() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
            QCOMPARE(colourAt(target, corner.x(), corner.y()), kKey);
        // From full size up, every source pixel of the frame is sampled, so the box's edges, which touch the
        // flag only at its corners, touch only its blue frame: the whole border is key. (Below full size the
        // sampling can step over the frame.)
        if (scale < 1.0f)
            return;
        for (int x = 0; x <= r; ++x) {
            QCOMPARE(colourAt(target, x, 0), kKey);
            QCOMPARE(colourAt(target, x, b), kKey);
        }
        for (int y = 0; y <= b; ++y) {
            QCOMPARE(colourAt(target, 0, y), kKey);
            QCOMPARE(colourAt(target, r, y), kKey);
        }
    }

    // Every pixel is the one the mapping names, computed here the plain way (lrint per coordinate, every
    // column): the rendering takes shortcuts (columns that cannot meet the picture are filled without mapping
    // them, rounding without the C library), and none of them may move a pixel.
    void everyPixelFollowsTheMapping_data()
    {
        QTest::addColumn<bool>("eight");
        QTest::addColumn<bool>("mirror");
        QTest::newRow("24-bit") << false << false;
        QTest::newRow("24-bit mirrored") << false << true;
        QTest::newRow("8-bit") << true << false;
    }

    void everyPixelFollowsTheMapping()
    {
        QFETCH(bool, eight);
        QFETCH(bool, mirror);
        const TImageArray array = loaded(eight ? indexed(37, 21) : numbered(108, 60));
        const int W = array.Width;
        const int H = array.Height;
        QImage target;
        // Angles a hair off the axes, where a row meets the picture over a few columns or runs along its edge.
        const float angles[] = {1e-6f,
                                0.01f,
                                float(std::numbers::pi / 2) - 1e-6f,
                                float(std::numbers::pi / 2),
                                1.0f,
                                float(std::numbers::pi),
                                4.2f,
                                float(3 * std::numbers::pi / 2),
                                6.28f};
        for (const float angle : angles) {
            for (const float scale : {100.0f / 361, 0.5f, 1.0f, 1.37f, 100.0f / 45}) {
                array.DrawRotated(target, QPoint(W / 2, H / 2), angle, scale, mirror);
                const float sinA = float(std::sin(double(angle)));
                const float cosA = float(std::cos(double(angle)));
                const float inv = float(1.0 / double(scale));
                const int NW = target.width();
                const int NH = target.height();
                for (int y = 0; y < NH; ++y) {
                    const double ty = 2 * y - (NH - 1);
                    for (int x = 0; x < NW; ++x) {
                        const double tx = 2 * x - (NW - 1);
                        int sx = int((W - 1 + std::lrint((tx * cosA - ty * sinA) * inv)) / 2);
                        const int sy = int((H - 1 + std::lrint((tx * sinA + ty * cosA) * inv)) / 2);
                        if (mirror)
                            sx = W - 1 - sx;
                        const bool inside = sx >= 0 && sx < W && sy >= 0 && sy < H;
                        const QRgb expected = inside ? array.pixelColor(sx, sy) : array.pixelColor(0, H - 1);
                        if (colourAt(target, x, y) != (expected | 0xFF000000))
                            QFAIL(qPrintable(
                                QStringLiteral("angle %1, scale %2: pixel %3,%4").arg(angle).arg(scale).arg(x).arg(y)));
                    }
                }
            }
        }
    }

    void theSizeOfTheResult_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QSize>("size");
        // |round(H sin s)| + |round(W cos s)| by |round(W sin s)| + |round(H cos s)|, halves to even.
        QTest::newRow("depth 50") << 0.0f << 2.0f << QSize(216, 120);
        QTest::newRow("half") << 0.0f << 0.5f << QSize(54, 30);
        QTest::newRow("quarter: 27 x 15") << 0.0f << 0.25f << QSize(27, 15);
        QTest::newRow("half a turn") << float(std::numbers::pi) << 1.0f << QSize(108, 60);
        // 60 sin(pi/6) = 30, 108 cos(pi/6) = 93.53; 108 sin = 54, 60 cos = 51.96
        QTest::newRow("30 degrees") << float(std::numbers::pi / 6) << 1.0f << QSize(30 + 94, 54 + 52);
        // At 1/8 scale 60 x 0.125 = 7.5 rounds to 8 and 108 x 0.125 = 13.5 to 14: both even.
        QTest::newRow("halves to even") << 0.0f << 0.125f << QSize(14, 8);
        QTest::newRow("halves to even, down") << 0.0f << 0.375f << QSize(40, 22);
    }

    void theSizeOfTheResult()
    {
        QFETCH(float, angle);
        QFETCH(float, scale);
        QFETCH(QSize, size);
        const TImageArray array = loaded(readBitmap(kSprite));
        QImage target;
        array.DrawRotated(target, QPoint(54, 30), angle, scale, false);
        QCOMPARE(target.size(), size);
    }

    void aHotSpotLandsOnItsOwnPixel_data()
    {
        QTest::addColumn<QPoint>("hotSpot");
        QTest::addColumn<float>("angle");
        QTest::addColumn<float>("scale");
        QTest::addColumn<bool>("mirror");
        for (const QPoint spot : {QPoint(5, 4), QPoint(30, 10), QPoint(8, 25)}) {
            for (float angle : {0.0f, 0.7f, 2.5f, 4.4f}) {
                for (bool mirror : {false, true})
                    QTest::addRow("(%d,%d) at %.1f%s", spot.x(), spot.y(), angle, mirror ? " mirrored" : "")
                        << spot << angle << 1.0f << mirror;
                QTest::addRow("(%d,%d) at %.1f, twice the size", spot.x(), spot.y(), angle)
                    << spot << angle << 2.0f << false;
            }
        }
    }

    // The landing point of a hot spot other than the centre follows the same mapping: the pixel found there
    // shows the hot spot's neighbourhood.
    void aHotSpotLandsOnItsOwnPixel()
    {
        QFETCH(QPoint, hotSpot);
        QFETCH(float, angle);
        QFETCH(float, scale);
        QFETCH(bool, mirror);
        QImage picture(40, 30, QImage::Format_BGR888);
        picture.fill(qRgb(200, 200, 200));
        const QRgb mark = qRgb(250, 20, 20);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                picture.setPixel(hotSpot.x() + dx, hotSpot.y() + dy, mark);
        picture.setPixel(0, 29, kKey);
        const TImageArray array = loaded(picture);
        QImage target;
        const QPoint p = array.DrawRotated(target, hotSpot, angle, scale, mirror);
        QVERIFY(target.rect().contains(p));
        QCOMPARE(colourAt(target, p.x(), p.y()), mark | 0xFF000000);
    }

    void theCentreLandsOnTheResultsCentre_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<float>("scale");
        QTest::newRow("still") << 0.0f << 1.25f;
        QTest::newRow("turned") << 1.1f << 0.75f;
        QTest::newRow("near") << 5.0f << 2.0f;
    }

    void theCentreLandsOnTheResultsCentre()
    {
        QFETCH(float, angle);
        QFETCH(float, scale);
        const TImageArray array = loaded(readBitmap(kSprite));
        QImage target;
        const QPoint p = array.DrawRotated(target, QPoint(54, 30), angle, scale, true);
        QCOMPARE(p, QPoint(target.width() / 2, target.height() / 2));
    }

    void onlyEightAndTwentyFourBitPicturesAreTaken_data()
    {
        QTest::addColumn<QImage>("picture");
        QImage mono(16, 8, QImage::Format_Mono);
        mono.fill(1);
        QImage rgb32(16, 8, QImage::Format_RGB32);
        rgb32.fill(Qt::red);
        QTest::newRow("32-bit") << rgb32;
        QTest::newRow("32-bit with alpha") << rgb32.convertToFormat(QImage::Format_ARGB32);
        QTest::newRow("1-bit") << mono;
        QTest::newRow("16-bit") << rgb32.convertToFormat(QImage::Format_RGB16);
        QTest::newRow("no picture") << QImage();
    }

    void onlyEightAndTwentyFourBitPicturesAreTaken()
    {
        QFETCH(QImage, picture);
        TImageArray array = loaded(numbered(9, 6));
        const auto pixels = array.Pixels24;
        const QRgb key = array.TransparentColor;
        QStringList messages;
        QVERIFY(!array.LoadFromBitmap(picture, [&](const QString& m) { messages << m; }));
        QCOMPARE(messages, QStringList{"only 8 bit and 24 bit bitmaps are allowed"});
        QCOMPARE(array.Width, 9);
        QCOMPARE(array.Height, 6);
        QCOMPARE(array.PixelFormat, TImageArray::TPixelFormat::pf24bit);
        QCOMPARE(array.TransparentColor, key);
        QVERIFY(array.Pixels24 == pixels);
        QVERIFY(array.Pixels8.empty());
    }

    void bitmapFilesKeepTheirDepth_data()
    {
        QTest::addColumn<QImage::Format>("stored");
        QTest::addColumn<QImage::Format>("read");
        QTest::addColumn<bool>("taken");
        QTest::newRow("24-bit") << QImage::Format_RGB32 << QImage::Format_BGR888 << true;
        QTest::newRow("8-bit") << QImage::Format_Indexed8 << QImage::Format_Indexed8 << true;
        QTest::newRow("1-bit") << QImage::Format_Mono << QImage::Format_Mono << false;
    }

    void bitmapFilesKeepTheirDepth()
    {
        QFETCH(QImage::Format, stored);
        QFETCH(QImage::Format, read);
        QFETCH(bool, taken);
        QImage picture = stored == QImage::Format_Indexed8 ? indexed(12, 7) : numbered(12, 7, QImage::Format_RGB32);
        if (stored == QImage::Format_Mono)
            picture = picture.convertToFormat(QImage::Format_Mono);
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(picture.save(&buffer, "BMP"));
        const QImage back = bitmapFromData(data);
        QCOMPARE(back.format(), read);
        TImageArray array;
        QCOMPARE(array.LoadFromBitmap(back), taken);
    }

    void an8BitPictureKeepsItsPaletteAndKey()
    {
        const QImage picture = indexed(7, 5);
        TImageArray array = loaded(numbered(7, 5)); // the same size, the other format first
        QVERIFY(array.LoadFromBitmap(picture));
        QCOMPARE(array.PixelFormat, TImageArray::TPixelFormat::pf8bit);
        QCOMPARE(array.Palette, picture.colorTable());
        QCOMPARE(array.TransparentColor, picture.pixel(0, 4));
        QCOMPARE(int(array.Pixels8.size()), 7);
        QCOMPARE(int(array.Pixels8[6].size()), 5);
        QCOMPARE(array.Pixels8[6][4], std::uint8_t((6 * 11 + 4 * 5) % 256));
        QImage target;
        array.DrawRotated(target, QPoint(3, 2), 0.9f, 1.5f, false);
        QCOMPARE(target.format(), QImage::Format_Indexed8);
        QCOMPARE(target.colorTable(), picture.colorTable());
        QCOMPARE(target.pixel(0, 0), picture.pixel(0, 4));
    }

    void widthAndHeightGrowTheCurrentArray()
    {
        TImageArray array;
        QCOMPARE(array.Width, 0);
        QCOMPARE(array.Height, 0);
        array.SetHeight(4);
        QVERIFY(array.Pixels24.empty());
        array.SetWidth(3);
        QCOMPARE(int(array.Pixels24.size()), 3);
        QCOMPARE(int(array.Pixels24[2].size()), 4);
        array.SetHeight(2);
        for (const auto& column : array.Pixels24)
            QCOMPARE(int(column.size()), 2);
        QVERIFY(array.Pixels8.empty());
    }

    void anEmptyArrayDrawsNothing()
    {
        const TImageArray array;
        QImage target(5, 5, QImage::Format_BGR888);
        QCOMPARE(array.DrawRotated(target, QPoint(0, 0), 1.0f, 1.0f, false), QPoint(0, 0));
        QVERIFY(target.isNull());
    }
};

QTEST_GUILESS_MAIN(TestTImageArray)
#include "TestTImageArray.moc"
