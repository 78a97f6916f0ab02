// Pictures of the credits and About windows: the credits background, the flag sprite that flies over it,
// the portrait, the vertical logo, the information artwork and the two link icons.
// Regenerate with `cmake --build build --target artwork`.
#include "resources/tools/Artwork.h"

#include "resources/tools/ArtKit.h"

#include <QFontMetricsF>
#include <QRandomGenerator>
#include <QtMath>
#include <functional>

namespace art {

namespace {

QImage icon(int size, const std::function<void(QPainter&)>& draw)
{
    QImage img = canvas(size, size);
    QPainter p;
    begin(p, img);
    draw(p);
    return img;
}

void stars(QPainter& p, const QSize& size, int count, quint32 seed)
{
    // A fixed seed keeps the regenerated picture identical from run to run.
    QRandomGenerator rng(seed);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(rng.bounded(size.width()), rng.bounded(size.height()));
        const qreal r = 0.4 + rng.bounded(1.0);
        p.setBrush(QColor(200, 215, 255, 60 + rng.bounded(150)));
        p.drawEllipse(at, r, r);
    }
}

QImage creditsBackground()
{
    QImage img = canvas(591, 356, Qt::black);
    QPainter p;
    begin(p, img);
    QRadialGradient sky(QPointF(295, 150), 360);
    sky.setColorAt(0, QColor(0x1A, 0x3A, 0x7A));
    sky.setColorAt(0.6, QColor(0x0B, 0x17, 0x3A));
    sky.setColorAt(1, Qt::black);
    p.fillRect(img.rect(), sky);
    stars(p, img.size(), 140, 20240501);
    // Two soft orbits, the track the flags fly along.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7F, 0xAE, 0xEE, 60), 1.2));
    p.drawEllipse(QPointF(295, 175), 270, 120);
    p.setPen(QPen(QColor(0xF3, 0x8B, 0x1C, 70), 1.2));
    p.drawEllipse(QPointF(295, 175), 230, 95);

    const qreal size = 64;
    carnettoWordmark(p, QPointF((591 - wordmarkWidth(size)) / 2, 150), size, Qt::white, ink::blueLight, ink::navyDark);
    const QFont by = font(16, QFont::Normal, true);
    p.setFont(by);
    p.setPen(ink::bluePale);
    p.drawText(QRectF(0, 178, 591, 24), Qt::AlignHCenter, QStringLiteral("Software by"));
    const QFont maker = font(30, QFont::Bold);
    const QPainterPath name = textPath(QStringLiteral("Studio Carnetto"), maker,
                                       QPointF((591 - textWidth(QStringLiteral("Studio Carnetto"), maker)) / 2, 238));
    p.setPen(QPen(ink::orangeDark, 1));
    p.setBrush(vertical(name.boundingRect(), ink::orangeLight, ink::orange));
    p.drawPath(name);
    p.setFont(font(12, QFont::Normal, true));
    p.setPen(QColor(0xB8, 0xC8, 0xE8));
    p.drawText(QRectF(0, 300, 591, 18), Qt::AlignHCenter, QStringLiteral("La rubrica da portare a spasso!"));
    p.setFont(font(11));
    p.setPen(QColor(0x8A, 0x9B, 0xC0));
    p.drawText(QRectF(0, 322, 591, 18), Qt::AlignHCenter,
               QStringLiteral("Fai clic per visitare il sito Internet dell'autore"));
    return img;
}

// The flag flies over the credits: vertical green, white and red bands with a gentle wave of light,
// framed by one pixel of pure blue that the renderer treats as transparent. No pixel inside the
// frame may be that blue.
QImage spriteFlag()
{
    QImage img(108, 60, QImage::Format_RGB888);
    img.fill(QColor(0, 0, 255));
    const QColor bands[3] = {QColor(0x00, 0x92, 0x46), QColor(0xF4, 0xF5, 0xF0), QColor(0xCE, 0x2B, 0x37)};
    const int inner = 106;
    for (int x = 1; x <= inner; ++x) {
        const int band = qMin(2, (x - 1) * 3 / inner);
        const qreal light = 0.9 + 0.1 * std::sin((x - 1) * 2 * M_PI / 53.0);
        for (int y = 1; y <= 58; ++y) {
            const qreal l = light - 0.05 * std::abs(y - 29.5) / 29.5;
            const QColor c = bands[band];
            img.setPixelColor(x, y,
                              QColor(qBound(0, qRound(c.red() * l), 255), qBound(0, qRound(c.green() * l), 255),
                                     qBound(0, qRound(c.blue() * l), 255)));
        }
    }
    return img;
}

QImage portrait()
{
    QImage img = canvas(103, 93);
    QPainter p;
    begin(p, img);
    p.fillRect(img.rect(), vertical(QRectF(img.rect()), ink::bluePale, ink::blueLight));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(20, 14), 30, 22);
    const QRectF figure(18, 6, 67, 92);
    person(p, figure, ink::navy.lighter(130), QColor(0x5A, 0x3A, 0x22));
    const QRectF head(figure.center().x() - 67 * 0.22, figure.top() + 92 * 0.06, 67 * 0.44, 92 * 0.48);
    p.setBrush(ink::navyDark);
    const qreal eyeY = head.top() + head.height() * 0.55;
    p.drawEllipse(QPointF(head.center().x() - 5.3, eyeY), 1.7, 2.1);
    p.drawEllipse(QPointF(head.center().x() + 5.3, eyeY), 1.7, 2.1);
    p.setPen(QPen(ink::navyDark, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(head.center().x() - 5, eyeY, 10, 7), 200 * 16, 140 * 16);
    // Round glasses: the maker's trademark.
    p.setPen(QPen(ink::navyDark, 1.1));
    p.drawEllipse(QPointF(head.center().x() - 5.3, eyeY), 4.3, 4.3);
    p.drawEllipse(QPointF(head.center().x() + 5.3, eyeY), 4.3, 4.3);
    p.setPen(QPen(ink::orange, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(51.5, 66), QPointF(51.5, 93));
    p.setPen(QPen(ink::navyDark, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 102, 92));
    return img;
}

QImage verticalLogo()
{
    QImage img = canvas(20, 227, ink::navy);
    QPainter p;
    begin(p, img);
    p.fillRect(img.rect(), vertical(QRectF(img.rect()), ink::navy, ink::blue));
    p.translate(0, 227);
    p.rotate(-90);
    const QFont f = fittedFont(QStringLiteral("CARNETTO 4.0"), 180, 14, QFont::Black);
    const QString word = QStringLiteral("CARNETTO ");
    const qreal w = textWidth(QStringLiteral("CARNETTO 4.0"), f);
    const qreal x = (227 - w) / 2 + 8;
    const QFontMetricsF m(f);
    const qreal baseline = (20 + m.ascent() - m.descent()) / 2;
    p.setPen(Qt::white);
    p.setFont(f);
    p.drawText(QPointF(x, baseline), word);
    p.setPen(ink::orangeLight);
    p.drawText(QPointF(x + textWidth(word, f), baseline), QStringLiteral("4.0"));
    p.setPen(Qt::NoPen);
    p.setBrush(ink::orange);
    p.drawEllipse(QPointF(x - 10, 10), 3.2, 3.2);
    return img;
}

QImage webIcon(int size)
{
    return icon(size, [=](QPainter& p) {
        const QRectF r(0.6, 0.6, size - 1.2, size - 1.2);
        const qreal pen = size / 14.0;
        p.setPen(QPen(ink::navyDark, pen));
        p.setBrush(vertical(r, ink::blueLight, ink::blue));
        p.drawEllipse(r);
        p.setPen(QPen(Qt::white, pen * 0.9));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(r.center().x() - r.width() * 0.22, r.top(), r.width() * 0.44, r.height()));
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
    });
}

QImage mailIcon()
{
    return icon(16, [](QPainter& p) { envelope(p, QRectF(0.7, 2.7, 14.6, 10.6)); });
}

void infoLine(QPainter& p, qreal& y, const QString& text, const QFont& f, const QColor& colour, qreal left)
{
    p.setFont(f);
    p.setPen(colour);
    p.drawText(QPointF(left, y), text);
    y += QFontMetricsF(f).height() + 2;
}

// The About window's information area; the portrait and the vertical logo are placed over its
// quiet left column.
QImage infoArtwork()
{
    QImage img = canvas(419, 359, Qt::white);
    QPainter p;
    begin(p, img);
    p.fillRect(img.rect(), vertical(QRectF(img.rect()), ink::paper, ink::bluePale));
    p.fillRect(QRectF(0, 0, 112, 359), vertical(QRectF(0, 0, 112, 359), ink::bluePale, ink::blueLight));
    p.setPen(QPen(ink::orange, 2));
    p.drawLine(QPointF(112, 0), QPointF(112, 359));
    const qreal left = 126;
    carnettoWordmark(p, QPointF(left, 48), 36, ink::blue.lighter(110), ink::navy, ink::navyDark);
    qreal y = 76;
    infoLine(p, y, QStringLiteral("La rubrica da portare a spasso!"), font(13, QFont::Bold, true), ink::orangeDark,
             left);
    y += 10;
    const QFont body = font(11);
    const QColor text = ink::navyDark;
    for (const QString& line :
         {QStringLiteral("Rubrica dei contatti portatile:"), QStringLiteral("copiala su una chiavetta USB insieme"),
          QStringLiteral("al suo archivio e usala su qualsiasi"), QStringLiteral("computer, senza installazione.")})
        infoLine(p, y, line, body, text, left);
    y += 10;
    const QFont bullet = font(11, QFont::Bold);
    for (const QString& line :
         {QStringLiteral("Schede con 16 campi"), QStringLiteral("Ricerca e stampa dell'elenco"),
          QStringLiteral("Esportazione in Excel e .CSV"), QStringLiteral("Controllo codice fiscale e partita IVA"),
          QStringLiteral("Backup e ripristino dell'archivio")}) {
        p.setPen(Qt::NoPen);
        p.setBrush(ink::orange);
        p.drawEllipse(QPointF(left + 4, y - 4), 3, 3);
        infoLine(p, y, line, bullet, ink::navy, left + 14);
    }
    y = 330;
    infoLine(p, y, QStringLiteral("Versione 4.0 - Studio Carnetto"), font(11, QFont::Normal, true),
             ink::steel.darker(130), left);
    return img;
}

bool saveSprite(const QImage& image, const QString& folder)
{
    // 24 bits per pixel: the credits renderer reads three-byte pixels from the scan lines.
    return image.save(folder + QStringLiteral("/sprite_bandiera.bmp"), "BMP");
}

} // namespace

bool drawCreditsInfoArtwork(const QString& folder)
{
    bool ok = true;
    ok &= saveJpeg(creditsBackground(), folder, QStringLiteral("credits_sfondo.jpg"), Qt::black);
    ok &= saveSprite(spriteFlag(), folder);
    ok &= saveJpeg(portrait(), folder, QStringLiteral("info_autore.jpg"));
    ok &= savePng(verticalLogo(), folder, QStringLiteral("info_logo.png"));
    ok &= savePng(mailIcon(), folder, QStringLiteral("icon_email16.png"));
    ok &= savePng(webIcon(12), folder, QStringLiteral("icon_web12.png"));
    ok &= saveJpeg(infoArtwork(), folder, QStringLiteral("info_sfondo.jpg"));
    return ok;
}

} // namespace art
