// The main menu's pictures: title band, slogan band, the three function pictures and their captions,
// and the four small round icons. Sizes are the places the menu gives them.
// Regenerate with `cmake --build build --target artwork`.
#include "resources/tools/Artwork.h"

#include "resources/tools/ArtKit.h"

#include <QtMath>

namespace art {

namespace {

void face(QPainter& p, const QRectF& head)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink::navyDark);
    const qreal eyeY = head.top() + head.height() * 0.55;
    const qreal r = head.width() * 0.055;
    p.drawEllipse(QPointF(head.center().x() - head.width() * 0.18, eyeY), r, r * 1.2);
    p.drawEllipse(QPointF(head.center().x() + head.width() * 0.18, eyeY), r, r * 1.2);
    p.setBrush(QColor(0xF2, 0x9A, 0x8C, 150));
    p.drawEllipse(QPointF(head.center().x() - head.width() * 0.3, eyeY + head.height() * 0.13), r * 1.6, r);
    p.drawEllipse(QPointF(head.center().x() + head.width() * 0.3, eyeY + head.height() * 0.13), r * 1.6, r);
    p.setPen(QPen(ink::navyDark, head.width() * 0.045, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF smile(head.center().x() - head.width() * 0.16, eyeY, head.width() * 0.32, head.height() * 0.24);
    p.drawArc(smile, 200 * 16, 140 * 16);
    p.restore();
}

QImage persona()
{
    QImage img = canvas(100, 110);
    QPainter p;
    begin(p, img);
    groundShadow(p, QRectF(14, 98, 72, 10));
    const QRectF figure(12, 4, 76, 100);
    person(p, figure, ink::blue);
    const QRectF head(figure.center().x() - 76 * 0.22, figure.top() + 100 * 0.06, 76 * 0.44, 100 * 0.48);
    face(p, head);
    // Collar and a name badge: the owner of the address book.
    p.setPen(QPen(ink::navyDark, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink::paper);
    QPainterPath collar;
    collar.moveTo(42, 60);
    collar.lineTo(50, 70);
    collar.lineTo(58, 60);
    collar.lineTo(54, 58);
    collar.lineTo(50, 63);
    collar.lineTo(46, 58);
    collar.closeSubpath();
    p.drawPath(collar);
    p.setBrush(vertical(QRectF(58, 74, 20, 14), ink::orangeLight, ink::orange));
    p.drawRoundedRect(QRectF(58, 74, 20, 14), 2.5, 2.5);
    p.setPen(QPen(ink::paper, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(62, 79), QPointF(74, 79));
    p.drawLine(QPointF(62, 83), QPointF(70, 83));
    return img;
}

QImage titolo()
{
    QImage img = canvas(486, 100, Qt::white);
    QPainter p;
    begin(p, img);
    const QString word = QStringLiteral("Carnetto");
    const QFont big = font(66, QFont::Black);
    const QString version = QStringLiteral("4.0");
    const QFont small = font(34, QFont::Bold);
    const qreal wordW = textWidth(word, big);
    const qreal badgeW = textWidth(version, small) + 22;
    const qreal gap = 14;
    const qreal left = (486 - wordW - gap - badgeW) / 2;
    const qreal baseline = 70;
    const QPainterPath text = textPath(word, big, QPointF(left, baseline));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1C, 0x2F, 0x5E, 45));
    p.drawPath(text.translated(3, 4));
    QLinearGradient fill(0, baseline - 52, 0, baseline + 4);
    fill.setColorAt(0, ink::blue.lighter(120));
    fill.setColorAt(0.55, ink::blue);
    fill.setColorAt(1, ink::navy);
    p.setPen(QPen(ink::navyDark, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(text);

    // The orange swoosh under the word, rising to the version badge.
    QPainterPath swoosh;
    swoosh.moveTo(left + 4, baseline + 13);
    swoosh.cubicTo(left + wordW * 0.35, baseline + 22, left + wordW * 0.75, baseline + 16, left + wordW + gap,
                   baseline - 2);
    swoosh.cubicTo(left + wordW * 0.75, baseline + 11, left + wordW * 0.35, baseline + 15, left + 4, baseline + 13);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::orange);
    p.drawPath(swoosh);

    const QRectF badgeRect(left + wordW + gap, baseline - 46, badgeW, 44);
    p.save();
    p.translate(badgeRect.center());
    p.rotate(-6);
    p.translate(-badgeRect.center());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(badgeRect.translated(2, 3), 10, 10);
    p.setPen(QPen(ink::orangeDark, 1.4));
    p.setBrush(vertical(badgeRect, ink::orangeLight, ink::orange));
    p.drawRoundedRect(badgeRect, 10, 10);
    p.setPen(Qt::white);
    p.setFont(small);
    p.drawText(badgeRect.translated(0, 1), Qt::AlignCenter, version);
    p.restore();
    return img;
}

// Draws runs of text one after another on a common baseline, each in its own colour.
void colouredRuns(QPainter& p, const QList<QPair<QString, QColor>>& runs, const QFont& f, QPointF baseline)
{
    qreal x = baseline.x();
    for (const auto& run : runs) {
        p.setPen(Qt::NoPen);
        p.setBrush(run.second);
        p.drawPath(textPath(run.first, f, QPointF(x, baseline.y())));
        x += textWidth(run.first, f);
    }
}

qreal runsWidth(const QList<QPair<QString, QColor>>& runs, const QFont& f)
{
    QString all;
    for (const auto& run : runs)
        all += run.first;
    return textWidth(all, f);
}

QImage sottotitolo()
{
    QImage img = canvas(399, 32);
    QPainter p;
    begin(p, img);
    const QList<QPair<QString, QColor>> runs{{QStringLiteral("La rubrica da portare "), ink::blue},
                                             {QStringLiteral("a spasso!"), ink::orange}};
    const QFont f = fittedFont(QStringLiteral("La rubrica da portare a spasso!"), 391, 23, QFont::Bold, true);
    colouredRuns(p, runs, f, QPointF((399 - runsWidth(runs, f)) / 2, 23));
    return img;
}

QImage pendrive()
{
    QImage img = canvas(110, 110);
    QPainter p;
    begin(p, img);
    groundShadow(p, QRectF(14, 88, 84, 14), 55);
    p.translate(55, 52);
    p.rotate(-38);
    const QRectF body(-36, -15, 58, 30);
    const QRectF plug(22, -10, 22, 20);
    p.setPen(QPen(ink::navyDark, 1.4));
    p.setBrush(vertical(plug, ink::steelLight, ink::steel));
    p.drawRect(plug);
    p.setBrush(ink::navy);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(30, -6, 5, 4));
    p.drawRect(QRectF(30, 2, 5, 4));
    p.setPen(QPen(ink::navyDark, 1.4));
    p.setBrush(vertical(body, ink::blueLight, ink::blue.darker(115)));
    p.drawRoundedRect(body, 7, 7);
    // Key ring eyelet at the back.
    p.setPen(QPen(ink::orangeDark, 3.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(-44, 0), 7, 7);
    p.setPen(QPen(ink::navyDark, 1.4));
    p.setBrush(vertical(QRectF(-36, -9, 8, 18), ink::orangeLight, ink::orange));
    p.drawRoundedRect(QRectF(-38, -9, 8, 18), 3, 3);
    const QRectF label(-24, -9, 38, 18);
    p.setBrush(ink::paper);
    p.drawRoundedRect(label, 3, 3);
    p.setPen(ink::navy);
    p.setFont(font(11, QFont::Bold));
    p.drawText(label, Qt::AlignCenter, QStringLiteral("4.0"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3F, 0xE0, 0x6A));
    p.drawEllipse(QPointF(17, -9.5), 1.8, 1.8);
    return img;
}

QImage slogan()
{
    QImage img = canvas(607, 43, Qt::white);
    QPainter p;
    begin(p, img);
    const QList<QPair<QString, QColor>> runs{{QStringLiteral("I tuoi contatti "), ink::navy},
                                             {QStringLiteral("sempre con te"), ink::orange},
                                             {QStringLiteral(", su qualsiasi computer"), ink::navy}};
    const QFont f =
        fittedFont(QStringLiteral("I tuoi contatti sempre con te, su qualsiasi computer"), 560, 23, QFont::Bold);
    const qreal w = runsWidth(runs, f);
    const qreal left = (607 - w) / 2;
    // Small blue dots frame the sentence like quotation marks.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 1 ? ink::orange : ink::blueLight);
        p.drawEllipse(QPointF(left - 26 + i * 7, 22), 2.4, 2.4);
        p.drawEllipse(QPointF(left + w + 12 + i * 7, 22), 2.4, 2.4);
    }
    colouredRuns(p, runs, f, QPointF(left, 29));
    return img;
}

QImage roundIcon(const QColor& base, const std::function<void(QPainter&)>& glyph)
{
    QImage img = canvas(32, 32);
    QPainter p;
    begin(p, img);
    badge(p, QRectF(1, 1, 30, 30), base);
    glyph(p);
    return img;
}

QImage iconInfo()
{
    return roundIcon(ink::blue, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.6, 2.6);
        p.drawRoundedRect(QRectF(13.6, 13.5, 4.8, 12), 1.5, 1.5);
        p.drawRoundedRect(QRectF(11.5, 13.5, 5, 2.4), 1, 1);
        p.drawRoundedRect(QRectF(11.5, 23.5, 9, 2.6), 1, 1);
    });
}

QImage iconGuida()
{
    return roundIcon(ink::orange, [](QPainter& p) {
        QPainterPath q;
        q.moveTo(11.2, 12.4);
        q.cubicTo(11.2, 6.5, 21, 6.2, 21, 12);
        q.cubicTo(21, 16, 16, 16, 16, 19.8);
        p.setPen(QPen(Qt::white, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(q);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 25), 2.3, 2.3);
    });
}

QImage iconCopyright()
{
    return roundIcon(ink::navy.lighter(130), [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1.8));
        p.drawEllipse(QPointF(16, 16), 10, 10);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(11, 11, 10, 10), 45 * 16, 270 * 16);
    });
}

// Two arrows chasing each other round: the same cards here and on the server.
QImage iconSincronizza()
{
    return roundIcon(ink::green, [](QPainter& p) {
        arcArrow(p, QRectF(8, 8, 16, 16), 200, -170, 3.2, Qt::white);
        arcArrow(p, QRectF(8, 8, 16, 16), 20, -170, 3.2, Qt::white);
    });
}

QImage iconEsci()
{
    QImage img = canvas(32, 32);
    QPainter p;
    begin(p, img);
    // Door frame, the door swung open towards the viewer, and the way out.
    p.setPen(QPen(ink::navyDark, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(QRectF(4, 3, 16, 26), ink::navy.lighter(140), ink::navy));
    p.drawRect(QRectF(4, 3, 16, 26));
    QPainterPath door;
    door.moveTo(4, 3);
    door.lineTo(13, 6);
    door.lineTo(13, 31);
    door.lineTo(4, 29);
    door.closeSubpath();
    p.setBrush(vertical(QRectF(4, 3, 9, 28), ink::blueLight, ink::blue));
    p.drawPath(door);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::orangeLight);
    p.drawEllipse(QPointF(11, 18), 1.3, 1.3);
    arrow(p, QPointF(15, 16), QPointF(31, 16), 6, ink::orange);
    return img;
}

QImage contatti()
{
    QImage img = canvas(119, 95, Qt::white);
    QPainter p;
    begin(p, img);
    groundShadow(p, QRectF(10, 80, 100, 13), 60);
    p.translate(58, 46);
    p.rotate(-5);
    const QRectF cover(-34, -38, 66, 78);
    // Pages peeking out at the side, then the cover.
    p.setPen(QPen(ink::steel, 1));
    p.setBrush(ink::paper);
    p.drawRoundedRect(cover.adjusted(6, 3, 4, 3), 4, 4);
    p.setPen(QPen(ink::navyDark, 1.4));
    p.setBrush(vertical(cover, ink::blue, ink::navy));
    p.drawRoundedRect(cover, 5, 5);
    const QList<QString> tabs{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    p.setFont(font(9, QFont::Bold));
    for (int i = 0; i < tabs.size(); ++i) {
        const QRectF tab(cover.right() + 1, cover.top() + 8 + i * 17, 11, 14);
        p.setPen(QPen(ink::orangeDark, 1));
        p.setBrush(i == 0 ? ink::orange : ink::orangeLight);
        p.drawRoundedRect(tab, 2.5, 2.5);
        p.setPen(i == 0 ? Qt::white : ink::navy);
        p.drawText(tab.adjusted(0, 0, 1, 0), Qt::AlignCenter, tabs[i]);
    }
    for (int i = 0; i < 6; ++i) {
        const qreal y = cover.top() + 9 + i * 12;
        p.setPen(QPen(ink::steel.darker(110), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(cover.left() - 4, y), QPointF(cover.left() + 5, y));
    }
    const QRectF label(cover.left() + 11, cover.top() + 12, 44, 52);
    p.setPen(QPen(ink::navyDark, 1));
    p.setBrush(ink::paper);
    p.drawRoundedRect(label, 3, 3);
    person(p, QRectF(label.left() + 9, label.top() + 3, 26, 30), ink::orange);
    textLines(p, QRectF(label.left() + 7, label.top() + 39, 30, 10), 2, 6, ink::blueLight);
    return img;
}

QImage caption(const QString& word, int width, int height)
{
    QImage img = canvas(width, height);
    QPainter p;
    begin(p, img);
    const QFont f = fittedFont(word, width - 6, height - 4, QFont::Bold);
    const qreal w = textWidth(word, f);
    const QFontMetricsF m(f);
    const qreal baseline = (height + m.ascent() - m.descent()) / 2.0;
    const QPainterPath text = textPath(word, f, QPointF((width - w) / 2, baseline));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1C, 0x2F, 0x5E, 40));
    p.drawPath(text.translated(1.2, 1.4));
    QLinearGradient fill(0, baseline - m.ascent(), 0, baseline);
    fill.setColorAt(0, ink::blue);
    fill.setColorAt(1, ink::navy);
    p.setBrush(fill);
    p.drawPath(text);
    return img;
}

QImage backup()
{
    QImage img = canvas(218, 127, Qt::white);
    QPainter p;
    begin(p, img);
    groundShadow(p, QRectF(8, 104, 78, 16), 60);
    groundShadow(p, QRectF(132, 104, 80, 16), 60);
    cylinder(p, QRectF(18, 30, 58, 80), ink::blue);
    // The external drive that receives the copy.
    const QRectF drive(136, 44, 72, 64);
    p.setPen(QPen(ink::navyDark, 1.6));
    p.setBrush(vertical(drive, ink::orangeLight, ink::orange.darker(108)));
    p.drawRoundedRect(drive, 8, 8);
    p.setBrush(ink::navy);
    p.drawRoundedRect(QRectF(drive.left() + 12, drive.bottom() - 17, drive.width() - 24, 5), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3F, 0xE0, 0x6A));
    p.drawEllipse(QPointF(drive.right() - 10, drive.top() + 10), 2.6, 2.6);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(drive.left() + 5, drive.top() + 5, drive.width() * 0.55, 10), 4, 4);
    // Copy out along the top, restore back along the bottom.
    arcArrow(p, QRectF(80, 30, 58, 58), 160, -140, 8, ink::orange);
    arcArrow(p, QRectF(80, 36, 58, 58), -20, -140, 8, ink::blue);
    return img;
}

QImage esporta()
{
    QImage img = canvas(96, 111, Qt::white);
    QPainter p;
    begin(p, img);
    groundShadow(p, QRectF(20, 96, 72, 12), 55);
    const QRectF paper(6, 4, 50, 64);
    const QRectF area = page(p, paper, 13);
    textLines(p, QRectF(area.left(), area.top() + 4, area.width(), area.height()), 6, 7, ink::blueLight);
    sheet(p, QRectF(34, 56, 56, 46), 4, 5);
    arcArrow(p, QRectF(52, 14, 36, 36), 125, -160, 7, ink::orange);
    return img;
}

} // namespace

bool drawMenuArtwork(const QString& folder)
{
    bool ok = true;
    ok &= savePng(persona(), folder, QStringLiteral("persona.png"));
    ok &= saveJpeg(titolo(), folder, QStringLiteral("titolo.jpg"));
    ok &= savePng(sottotitolo(), folder, QStringLiteral("sottotitolo.png"));
    ok &= savePng(pendrive(), folder, QStringLiteral("pendrive.png"));
    ok &= saveJpeg(slogan(), folder, QStringLiteral("slogan.jpg"));
    ok &= savePng(iconInfo(), folder, QStringLiteral("icon_info.png"));
    ok &= savePng(iconGuida(), folder, QStringLiteral("icon_guida.png"));
    ok &= savePng(iconCopyright(), folder, QStringLiteral("icon_copyright.png"));
    ok &= savePng(iconEsci(), folder, QStringLiteral("icon_esci.png"));
    ok &= savePng(iconSincronizza(), folder, QStringLiteral("icon_sincronizza.png"));
    ok &= saveJpeg(contatti(), folder, QStringLiteral("contatti.jpg"));
    ok &= savePng(caption(QStringLiteral("Contatti"), 148, 23), folder, QStringLiteral("tit_contatti.png"));
    ok &= saveJpeg(backup(), folder, QStringLiteral("backup.jpg"));
    ok &= savePng(caption(QStringLiteral("Backup"), 142, 23), folder, QStringLiteral("tit_backup.png"));
    ok &= saveJpeg(esporta(), folder, QStringLiteral("esporta.jpg"));
    ok &= savePng(caption(QStringLiteral("Esporta"), 156, 25), folder, QStringLiteral("tit_esporta.png"));
    return ok;
}

} // namespace art
