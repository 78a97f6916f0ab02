// The card window's pictures: the command column's icons, the four navigation arrows and the three
// pictures beside the field groups. The help and exit icons are the main menu's.
// Regenerate with `cmake --build build --target artwork`.
#include "resources/tools/Artwork.h"

#include "resources/tools/ArtKit.h"

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

void sparkle(QPainter& p, QPointF centre, qreal radius)
{
    QPainterPath star;
    for (int i = 0; i < 8; ++i) {
        const qreal r = (i % 2 == 0) ? radius : radius * 0.38;
        const QPointF pt = centre + QLineF::fromPolar(r, 90 + i * 45).p2();
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(ink::orangeDark, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), ink::orangeLight,
                        ink::orange));
    p.drawPath(star);
}

QImage nuovo()
{
    return icon(32, [](QPainter& p) {
        const QRectF area = page(p, QRectF(5, 2, 20, 27), 7);
        textLines(p, QRectF(area.left(), area.top() + 2, area.width(), area.height()), 4, 4, ink::blueLight);
        sparkle(p, QPointF(24, 23), 7.5);
    });
}

QImage salva()
{
    return icon(32, [](QPainter& p) {
        QPainterPath body;
        body.moveTo(4, 4);
        body.lineTo(24, 4);
        body.lineTo(28, 8);
        body.lineTo(28, 28);
        body.lineTo(4, 28);
        body.closeSubpath();
        p.setPen(QPen(ink::navyDark, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(vertical(QRectF(4, 4, 24, 24), ink::blue.lighter(115), ink::navy));
        p.drawPath(body);
        p.setBrush(vertical(QRectF(9, 4, 13, 9), ink::steelLight, ink::steel));
        p.drawRect(QRectF(9, 4, 13, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(ink::navy);
        p.drawRect(QRectF(17, 5.5, 3, 6));
        p.setPen(QPen(ink::navyDark, 1));
        p.setBrush(ink::paper);
        p.drawRoundedRect(QRectF(7.5, 16, 17, 10), 1.5, 1.5);
        textLines(p, QRectF(10, 19, 12, 6), 2, 3.5, ink::orange);
    });
}

void magnifier(QPainter& p, QPointF centre, qreal radius, qreal handle)
{
    p.save();
    p.setPen(QPen(ink::navyDark, radius * 0.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF start = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(start, start + QPointF(handle, handle));
    p.setPen(QPen(ink::orange, radius * 0.36, Qt::SolidLine, Qt::RoundCap));
    const QPointF grip = start + QPointF(handle * 0.35, handle * 0.35);
    p.drawLine(grip, start + QPointF(handle, handle));
    QRadialGradient glass(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.2);
    glass.setColorAt(0, QColor(255, 255, 255, 235));
    glass.setColorAt(1, ink::blueLight);
    p.setPen(QPen(ink::navy, radius * 0.28));
    p.setBrush(glass);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

QImage trova()
{
    return icon(32, [](QPainter& p) { magnifier(p, QPointF(13, 13), 8.5, 10); });
}

QImage excel()
{
    return icon(32, [](QPainter& p) {
        sheet(p, QRectF(2.5, 5, 20, 22), 3, 5);
        arrow(p, QPointF(15, 19), QPointF(31, 19), 5.5, ink::orange);
    });
}

QImage esportaDisco()
{
    return icon(32, [](QPainter& p) {
        cylinder(p, QRectF(4, 3, 19, 25), ink::blue);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(23, 22.5), 8.5, 8.5);
        arcArrow(p, QRectF(18.5, 18, 9, 9), 90, -280, 3.2, ink::orange);
    });
}

QImage elimina()
{
    return icon(32, [](QPainter& p) {
        const QRectF bin(7, 9, 16, 20);
        QPainterPath body;
        body.moveTo(bin.topLeft());
        body.lineTo(bin.topRight());
        body.lineTo(bin.right() - 1.5, bin.bottom());
        body.lineTo(bin.left() + 1.5, bin.bottom());
        body.closeSubpath();
        p.setPen(QPen(ink::navyDark, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(vertical(bin, ink::blueLight, ink::blue));
        p.drawPath(body);
        p.setPen(QPen(ink::paper, 1.4, Qt::SolidLine, Qt::RoundCap));
        for (qreal x : {11.0, 15.0, 19.0})
            p.drawLine(QPointF(x, 12.5), QPointF(x, 26));
        p.setPen(QPen(ink::navyDark, 1.2));
        p.setBrush(vertical(QRectF(5, 5, 20, 4), ink::steelLight, ink::steel));
        p.drawRoundedRect(QRectF(5, 5.5, 20, 3.5), 1, 1);
        p.drawRoundedRect(QRectF(12, 3, 6, 2.5), 1, 1);
        badge(p, QRectF(17.5, 17.5, 13.5, 13.5), ink::red);
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(21.5, 21.5), QPointF(27, 27));
        p.drawLine(QPointF(27, 21.5), QPointF(21.5, 27));
    });
}

// Navigation arrows: a blue disc with a white triangle, and a bar for the first and last card.
QImage navigation(bool forward, bool toEnd)
{
    return icon(32, [=](QPainter& p) {
        badge(p, QRectF(1, 1, 30, 30), ink::blue);
        p.save();
        if (!forward) {
            p.translate(32, 0);
            p.scale(-1, 1);
        }
        const qreal shift = toEnd ? -2.5 : 0;
        QPainterPath tri;
        tri.moveTo(12 + shift, 8.5);
        tri.lineTo(23 + shift, 16);
        tri.lineTo(12 + shift, 23.5);
        tri.closeSubpath();
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawPath(tri);
        if (toEnd)
            p.drawRoundedRect(QRectF(22.5, 8.5, 3, 15), 1, 1);
        p.restore();
    });
}

QImage decoPersona()
{
    return icon(48, [](QPainter& p) {
        groundShadow(p, QRectF(4, 38, 42, 8), 50);
        const QRectF card(3, 8, 42, 31);
        p.setPen(QPen(ink::navyDark, 1.3));
        p.setBrush(vertical(card, ink::paper, ink::bluePale));
        p.drawRoundedRect(card, 4, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(ink::blue);
        p.drawRoundedRect(QRectF(card.left() + 0.7, card.top() + 0.7, card.width() - 1.4, 6), 3, 3);
        p.drawRect(QRectF(card.left() + 0.7, card.top() + 4, card.width() - 1.4, 3));
        const QRectF photo(8, 17, 15, 17);
        p.setPen(QPen(ink::navy, 1));
        p.setBrush(ink::paper);
        p.drawRect(photo);
        p.save();
        p.setClipRect(photo);
        person(p, photo.adjusted(0.5, 1, -0.5, 2), ink::orange);
        p.restore();
        textLines(p, QRectF(27, 20, 14, 12), 3, 5, ink::navy.lighter(160));
    });
}

QImage decoTelefono()
{
    return icon(48, [](QPainter& p) {
        // Handset: two round ends joined by a curved grip.
        QPainterPath handset;
        handset.moveTo(9, 6);
        handset.cubicTo(4, 8, 3, 16, 8, 26);
        handset.cubicTo(13, 36, 20, 42, 29, 42);
        handset.lineTo(33, 34);
        handset.lineTo(25, 29);
        handset.lineTo(21, 33);
        handset.cubicTo(17, 30, 14, 25, 13, 20);
        handset.lineTo(18, 17);
        handset.lineTo(14, 8);
        handset.closeSubpath();
        p.setPen(QPen(ink::navyDark, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(vertical(QRectF(3, 6, 30, 36), ink::blue.lighter(120), ink::navy));
        p.drawPath(handset);
        badge(p, QRectF(26, 3, 20, 20), ink::orange);
        p.setPen(Qt::white);
        p.setFont(font(15, QFont::Bold));
        p.drawText(QRectF(26, 2.5, 20, 20), Qt::AlignCenter, QStringLiteral("@"));
    });
}

QImage decoDocumento()
{
    return icon(48, [](QPainter& p) {
        groundShadow(p, QRectF(6, 40, 36, 7), 50);
        const QRectF area = page(p, QRectF(7, 3, 30, 40), 9);
        textLines(p, QRectF(area.left(), area.top() + 3, area.width(), area.height()), 5, 5, ink::blueLight);
        // The round office stamp that validates the document.
        const QPointF c(33, 32);
        p.setPen(QPen(ink::orangeDark, 1.3));
        p.setBrush(QColor(0xF3, 0x8B, 0x1C, 220));
        p.drawEllipse(c, 11, 11);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 8.3, 8.3);
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(c + QPointF(-4, 0.5));
        tick.lineTo(c + QPointF(-1, 3.5));
        tick.lineTo(c + QPointF(4.5, -3.5));
        p.drawPath(tick);
    });
}

} // namespace

bool drawCardArtwork(const QString& folder)
{
    bool ok = true;
    ok &= savePng(nuovo(), folder, QStringLiteral("icon_nuovo.png"));
    ok &= savePng(salva(), folder, QStringLiteral("icon_salva.png"));
    ok &= savePng(trova(), folder, QStringLiteral("icon_trova.png"));
    ok &= savePng(excel(), folder, QStringLiteral("icon_excel.png"));
    ok &= savePng(esportaDisco(), folder, QStringLiteral("icon_esporta.png"));
    ok &= savePng(elimina(), folder, QStringLiteral("icon_elimina.png"));
    ok &= savePng(navigation(false, true), folder, QStringLiteral("icon_primo.png"));
    ok &= savePng(navigation(false, false), folder, QStringLiteral("icon_indietro.png"));
    ok &= savePng(navigation(true, false), folder, QStringLiteral("icon_avanti.png"));
    ok &= savePng(navigation(true, true), folder, QStringLiteral("icon_ultimo.png"));
    ok &= savePng(decoPersona(), folder, QStringLiteral("deco_persona.png"));
    ok &= savePng(decoTelefono(), folder, QStringLiteral("deco_telefono.png"));
    ok &= savePng(decoDocumento(), folder, QStringLiteral("deco_documento.png"));
    return ok;
}

} // namespace art
