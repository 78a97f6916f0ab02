// The main menu's animated strip is read byte by byte, because the menu relies on details that a
// decoder silently forgives (interlacing, disposal, the exact palette, the loop count); then it is
// decoded the way the menu plays it. The pictures the windows place at fixed sizes are checked too.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMovie>
#include <QTest>

namespace {

constexpr int kWidth = 451;
constexpr int kHeight = 10;
constexpr int kFrames = 9;
constexpr int kSquarePitch = 10;

struct ControlExtension
{
    int disposal = -1;
    bool userInput = false;
    bool transparent = false;
    int delay = -1;
};

struct Frame
{
    bool hasControl = false;
    ControlExtension control;
    int left = -1, top = -1, width = -1, height = -1;
    bool interlaced = false;
    bool localTable = false;
    int minCodeSize = -1;
};

// The blocks of a GIF file as they follow one another; `error` names the first thing that does
// not fit the format, `trailerAt` the offset of the ';' that ends it.
struct GifLayout
{
    QByteArray signature;
    int screenWidth = 0, screenHeight = 0;
    bool globalTable = false;
    int globalEntries = 0;
    QList<QRgb> palette;
    int loopExtensions = 0;
    int loopCount = -1;
    bool loopBeforeFirstImage = false;
    QList<Frame> frames;
    qsizetype trailerAt = -1;
    QString error;
};

int word(const QByteArray& b, qsizetype at)
{
    return quint8(b.at(at)) | (quint8(b.at(at + 1)) << 8);
}

// Skips a chain of data sub-blocks; returns the offset after the terminator, or -1.
qsizetype skipSubBlocks(const QByteArray& b, qsizetype at)
{
    while (at < b.size()) {
        const int len = quint8(b.at(at));
        at += 1 + len;
        if (len == 0)
            return at <= b.size() ? at : -1;
    }
    return -1;
}

bool readApplicationExtension(const QByteArray& b, qsizetype& at, GifLayout& gif)
{
    if (at + 19 > b.size())
        return false;
    if (quint8(b.at(at)) == 11 && b.mid(at + 1, 11) == "NETSCAPE2.0" && quint8(b.at(at + 12)) == 3 &&
        quint8(b.at(at + 13)) == 1) {
        ++gif.loopExtensions;
        gif.loopCount = word(b, at + 14);
        gif.loopBeforeFirstImage = gif.frames.isEmpty();
    }
    at = skipSubBlocks(b, at);
    return at > 0;
}

bool readControlExtension(const QByteArray& b, qsizetype& at, ControlExtension& gce)
{
    if (at + 6 > b.size() || quint8(b.at(at)) != 4 || quint8(b.at(at + 5)) != 0)
        return false;
    const int packed = quint8(b.at(at + 1));
    gce.disposal = (packed >> 2) & 7;
    gce.userInput = packed & 2;
    gce.transparent = packed & 1;
    gce.delay = word(b, at + 2);
    at += 6;
    return true;
}

bool readImage(const QByteArray& b, qsizetype& at, Frame& frame)
{
    if (at + 10 > b.size())
        return false;
    frame.left = word(b, at);
    frame.top = word(b, at + 2);
    frame.width = word(b, at + 4);
    frame.height = word(b, at + 6);
    const int packed = quint8(b.at(at + 8));
    frame.localTable = packed & 0x80;
    frame.interlaced = packed & 0x40;
    at += 9;
    if (frame.localTable)
        at += 3 * (2 << (packed & 7));
    frame.minCodeSize = quint8(b.at(at));
    at = skipSubBlocks(b, at + 1);
    return at > 0;
}

GifLayout parseGif(const QByteArray& b)
{
    GifLayout gif;
    if (b.size() < 13) {
        gif.error = QStringLiteral("shorter than a header");
        return gif;
    }
    gif.signature = b.left(6);
    gif.screenWidth = word(b, 6);
    gif.screenHeight = word(b, 8);
    const int packed = quint8(b.at(10));
    gif.globalTable = packed & 0x80;
    gif.globalEntries = gif.globalTable ? 2 << (packed & 7) : 0;
    qsizetype at = 13;
    for (int i = 0; i < gif.globalEntries && at + 3 <= b.size(); ++i, at += 3)
        gif.palette << qRgb(quint8(b.at(at)), quint8(b.at(at + 1)), quint8(b.at(at + 2)));
    bool pendingControl = false;
    ControlExtension control;
    while (at < b.size() && gif.error.isEmpty()) {
        const quint8 introducer = quint8(b.at(at++));
        if (introducer == 0x3B) {
            gif.trailerAt = at - 1;
            break;
        }
        if (introducer == 0x2C) {
            Frame frame;
            frame.hasControl = pendingControl;
            frame.control = control;
            pendingControl = false;
            if (!readImage(b, at, frame))
                gif.error = QStringLiteral("truncated image at %1").arg(at);
            gif.frames << frame;
        } else if (introducer == 0x21 && at < b.size()) {
            const quint8 label = quint8(b.at(at++));
            bool ok = true;
            if (label == 0xF9) {
                ok = !pendingControl && readControlExtension(b, at, control);
                pendingControl = true;
            } else if (label == 0xFF) {
                ok = readApplicationExtension(b, at, gif);
            } else {
                at = skipSubBlocks(b, at);
                ok = at > 0;
            }
            if (!ok)
                gif.error = QStringLiteral("bad extension 0x%1").arg(label, 2, 16, QLatin1Char('0'));
        } else {
            gif.error = QStringLiteral("unknown block 0x%1 at %2").arg(introducer, 2, 16, QLatin1Char('0')).arg(at - 1);
        }
    }
    return gif;
}

QByteArray stripBytes()
{
    QFile file(QStringLiteral(":/RESNAME"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QList<QImage> decodeFrames(const QByteArray& bytes, QList<int>* delays = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QList<QImage> frames;
    QImage image;
    while (reader.read(&image)) {
        frames << image.convertToFormat(QImage::Format_RGB32);
        if (delays)
            *delays << reader.nextImageDelay();
    }
    return frames;
}

} // namespace

class TestStrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void screenAndPalette_data();
    void screenAndPalette();
    void loopsForever();
    void framesAreFullSizeInterlacedAndTimed();
    void endsWithTrailer();
    void decodesToNineFrames();
    void shadingMovesOneSquarePerFrame();
    void stillPictureIsTheFirstFrame();
    void picturesHaveTheirPlaceSizes_data();
    void picturesHaveTheirPlaceSizes();
    void everyGeneratedPictureIsRegistered();
    void spriteIsAFlagInsideItsTransparentKey();

private:
    QByteArray m_bytes;
    GifLayout m_gif;
};

void TestStrip::initTestCase()
{
    m_bytes = stripBytes();
    QVERIFY2(!m_bytes.isEmpty(), "the resource :/RESNAME is missing or empty");
    m_gif = parseGif(m_bytes);
    QVERIFY2(m_gif.error.isEmpty(), qPrintable(m_gif.error));
}

void TestStrip::screenAndPalette_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QRgb>("colour");
    const QList<QRgb> expected{qRgb(0, 0, 0),      qRgb(0, 0, 255),     qRgb(0, 51, 255),    qRgb(51, 51, 255),
                               qRgb(51, 102, 255), qRgb(102, 102, 255), qRgb(153, 153, 255), qRgb(204, 204, 255)};
    for (int i = 0; i < expected.size(); ++i)
        QTest::addRow("entry %d", i) << i << expected.at(i);
}

void TestStrip::screenAndPalette()
{
    QFETCH(int, index);
    QFETCH(QRgb, colour);
    QCOMPARE(m_gif.signature, QByteArray("GIF89a"));
    QCOMPARE(m_gif.screenWidth, kWidth);
    QCOMPARE(m_gif.screenHeight, kHeight);
    QVERIFY(m_gif.globalTable);
    QCOMPARE(m_gif.globalEntries, 8);
    QCOMPARE(m_gif.palette.size(), 8);
    QCOMPARE(QColor(m_gif.palette.at(index)), QColor(colour));
}

void TestStrip::loopsForever()
{
    QCOMPARE(m_gif.loopExtensions, 1);
    QCOMPARE(m_gif.loopCount, 0);
    QVERIFY2(m_gif.loopBeforeFirstImage, "a looping extension after the first image is ignored by some players");
}

void TestStrip::framesAreFullSizeInterlacedAndTimed()
{
    QCOMPARE(m_gif.frames.size(), kFrames);
    for (int i = 0; i < m_gif.frames.size(); ++i) {
        const Frame& f = m_gif.frames.at(i);
        const QByteArray where = "frame " + QByteArray::number(i);
        QVERIFY2(f.left == 0 && f.top == 0 && f.width == kWidth && f.height == kHeight, where.constData());
        QVERIFY2(f.interlaced, where.constData());
        QVERIFY2(!f.localTable, where.constData());
        QVERIFY2(f.minCodeSize == 3, where.constData());
        QVERIFY2(f.hasControl, QByteArray(where + " has no graphic control extension").constData());
        QVERIFY2(f.control.delay == 5, where.constData());
        QVERIFY2(f.control.disposal == 1, where.constData());
        QVERIFY2(!f.control.transparent, where.constData());
        QVERIFY2(!f.control.userInput, where.constData());
    }
}

void TestStrip::endsWithTrailer()
{
    QCOMPARE(m_gif.trailerAt, m_bytes.size() - 1);
}

void TestStrip::decodesToNineFrames()
{
    QBuffer buffer(&m_bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QMovie movie(&buffer, "gif");
    QVERIFY(movie.isValid());
    QCOMPARE(movie.frameCount(), kFrames);
    QCOMPARE(movie.loopCount(), -1);
    QVERIFY(movie.jumpToFrame(0));
    QCOMPARE(movie.currentImage().size(), QSize(kWidth, kHeight));

    QList<int> delays;
    const QList<QImage> frames = decodeFrames(m_bytes, &delays);
    QCOMPARE(frames.size(), kFrames);
    for (int i = 0; i < frames.size(); ++i) {
        QCOMPARE(frames.at(i).size(), QSize(kWidth, kHeight));
        QCOMPARE(delays.at(i), 50);
        for (int j = 0; j < i; ++j)
            QVERIFY2(frames.at(i) != frames.at(j),
                     qPrintable(QStringLiteral("frames %1 and %2 are equal").arg(j).arg(i)));
    }
}

// Each frame is its predecessor moved right by one square, and the last one leads back into the
// first, so the loop has no visible seam. A wrong interlaced row order breaks this too.
void TestStrip::shadingMovesOneSquarePerFrame()
{
    const QList<QImage> frames = decodeFrames(m_bytes);
    QCOMPARE(frames.size(), kFrames);
    const QSet<QRgb> palette(m_gif.palette.begin(), m_gif.palette.end());
    for (int i = 0; i < kFrames; ++i) {
        const QImage& now = frames.at(i);
        const QImage& next = frames.at((i + 1) % kFrames);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x + kSquarePitch < kWidth; ++x) {
                if (next.pixel(x + kSquarePitch, y) != now.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("frame %1 at %2,%3 did not move on").arg(i).arg(x).arg(y)));
                if (!palette.contains(now.pixel(x, y) | 0xFF000000u))
                    QFAIL("a decoded pixel is not a palette colour");
            }
        }
    }
}

void TestStrip::stillPictureIsTheFirstFrame()
{
    QImageReader reader(QStringLiteral(":/images/animata_still.bmp"));
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage still = reader.read();
    QVERIFY2(!still.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(still.size(), QSize(kWidth, kHeight));
    QCOMPARE(still.format(), QImage::Format_Indexed8);
    QCOMPARE(still.colorCount(), 8);
    const QList<QImage> frames = decodeFrames(m_bytes);
    QVERIFY(!frames.isEmpty());
    QCOMPARE(still.convertToFormat(QImage::Format_RGB32), frames.first());
}

void TestStrip::picturesHaveTheirPlaceSizes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    const QList<QPair<QString, QSize>> pictures{
        // main menu: the band pictures have fixed places, the round icons are 32 x 32
        {QStringLiteral("titolo.jpg"), {486, 100}},
        {QStringLiteral("sottotitolo.png"), {399, 32}},
        {QStringLiteral("slogan.jpg"), {607, 43}},
        {QStringLiteral("persona.png"), {100, 110}},
        {QStringLiteral("pendrive.png"), {110, 110}},
        {QStringLiteral("contatti.jpg"), {119, 95}},
        {QStringLiteral("tit_contatti.png"), {148, 23}},
        {QStringLiteral("backup.jpg"), {218, 127}},
        {QStringLiteral("tit_backup.png"), {142, 23}},
        {QStringLiteral("esporta.jpg"), {96, 111}},
        {QStringLiteral("tit_esporta.png"), {156, 25}},
        {QStringLiteral("icon_info.png"), {32, 32}},
        {QStringLiteral("icon_guida.png"), {32, 32}},
        {QStringLiteral("icon_copyright.png"), {32, 32}},
        {QStringLiteral("icon_esci.png"), {32, 32}},
        // card window
        {QStringLiteral("icon_nuovo.png"), {32, 32}},
        {QStringLiteral("icon_salva.png"), {32, 32}},
        {QStringLiteral("icon_trova.png"), {32, 32}},
        {QStringLiteral("icon_excel.png"), {32, 32}},
        {QStringLiteral("icon_esporta.png"), {32, 32}},
        {QStringLiteral("icon_elimina.png"), {32, 32}},
        {QStringLiteral("icon_primo.png"), {32, 32}},
        {QStringLiteral("icon_indietro.png"), {32, 32}},
        {QStringLiteral("icon_avanti.png"), {32, 32}},
        {QStringLiteral("icon_ultimo.png"), {32, 32}},
        {QStringLiteral("deco_persona.png"), {48, 48}},
        {QStringLiteral("deco_telefono.png"), {48, 48}},
        {QStringLiteral("deco_documento.png"), {48, 48}},
        // export window
        {QStringLiteral("icon_persone.png"), {32, 32}},
        {QStringLiteral("icon_aziende.png"), {32, 32}},
        {QStringLiteral("icon_email.png"), {32, 32}},
        {QStringLiteral("icon_tutti.png"), {32, 32}},
        {QStringLiteral("icon_export_excel.png"), {32, 32}},
        {QStringLiteral("icon_export_csv.png"), {32, 32}},
        // backup, help, credits and About windows
        {QStringLiteral("bak_backup.png"), {96, 96}},
        {QStringLiteral("bak_restore.png"), {96, 96}},
        {QStringLiteral("help_logo.jpg"), {543, 42}},
        {QStringLiteral("credits_sfondo.jpg"), {591, 356}},
        {QStringLiteral("sprite_bandiera.bmp"), {108, 60}},
        {QStringLiteral("info_autore.jpg"), {103, 93}},
        {QStringLiteral("info_logo.png"), {20, 227}},
        {QStringLiteral("info_sfondo.jpg"), {419, 359}},
        {QStringLiteral("icon_email16.png"), {16, 16}},
        {QStringLiteral("icon_web12.png"), {12, 12}},
    };
    for (const auto& [name, size] : pictures)
        QTest::newRow(qPrintable(name)) << QStringLiteral(":/images/") + name << size;
}

// Icons sit on silver and white panels, so a PNG that lost its transparency would show a box.
void TestStrip::picturesHaveTheirPlaceSizes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QImageReader reader(path);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
    QCOMPARE(image.size(), size);
    if (path.endsWith(QLatin1String(".png")) && !path.endsWith(QLatin1String("info_logo.png"))) {
        QVERIFY2(image.hasAlphaChannel(), qPrintable(path));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
}

// The generator writes into the source folder; a picture it draws but the build does not register
// would be missing from the program without any error.
void TestStrip::everyGeneratedPictureIsRegistered()
{
    const QDir source(QStringLiteral(CARNETTO_IMAGES_DIR));
    QVERIFY(source.exists());
    QCOMPARE(QDir(QStringLiteral(":/images")).entryList(QDir::Files, QDir::Name),
             source.entryList(QDir::Files, QDir::Name));
}

// The credits renderer keys transparency on the bottom-left pixel and reads three-byte scan lines.
void TestStrip::spriteIsAFlagInsideItsTransparentKey()
{
    QFile file(QStringLiteral(":/images/sprite_bandiera.bmp"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 30);
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(word(bytes, 28), 24);

    const QImage sprite = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(sprite.size(), QSize(108, 60));
    const QRgb key = qRgb(0, 0, 255);
    QCOMPARE(sprite.pixel(0, sprite.height() - 1), key);
    for (int y = 0; y < sprite.height(); ++y) {
        for (int x = 0; x < sprite.width(); ++x) {
            const bool border = x == 0 || y == 0 || x == sprite.width() - 1 || y == sprite.height() - 1;
            if (border != (sprite.pixel(x, y) == key))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 breaks the one-pixel blue frame").arg(x).arg(y)));
        }
    }
    const QColor green = sprite.pixelColor(18, 30);
    const QColor white = sprite.pixelColor(54, 30);
    const QColor red = sprite.pixelColor(90, 30);
    QVERIFY(green.green() > 2 * green.red() && green.green() > 2 * green.blue());
    QVERIFY(white.red() > 200 && white.green() > 200 && white.blue() > 200);
    QVERIFY(red.red() > 2 * red.green() && red.red() > 2 * red.blue());
}

QTEST_MAIN(TestStrip)
#include "TestStrip.moc"
