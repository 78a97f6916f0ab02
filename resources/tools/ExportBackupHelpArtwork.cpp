// Pictures of the export, backup and help windows.
// Regenerate with `cmake --build build --target artwork`.
#include "resources/tools/Artwork.h"

#include "resources/tools/ArtKit.h"

#include <functional>

namespace art {

namespace {

const QColor kHelpNavy(0, 0, 128); // the help window's own background

QImage icon(int size, const std::function<void(QPainter&)>& draw)
{
    QImage img = canvas(size, size);
    QPainter p;
    begin(p, img);
    draw(p);
    return img;
}

QImage persone()
{
    return icon(32, [](QPainter& p) {
        person(p, QRectF(13, 1, 18, 24), ink::orange);
        person(p, QRectF(2, 6, 21, 27), ink::blue);
    });
}

QImage aziende()
{
    return icon(32, [](QPainter& p) {
        const QRectF tower(6, 3, 15, 27);
        const QRectF wing(19, 13, 9, 17);
        p.setPen(QPen(ink::navyDark, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(vertical(wing, ink::steelLight, ink::steel));
        p.drawRect(wing);
        p.setBrush(vertical(tower, ink::blue.lighter(115), ink::navy));
        p.drawRect(tower);
        p.setPen(Qt::NoPen);
        p.setBrush(ink::blueLight);
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawRect(QRectF(8.5 + col * 4, 5.5 + row * 4.2, 2.4, 2.6));
        p.setBrush(ink::navy);
        for (int row = 0; row < 3; ++row)
            p.drawRect(QRectF(22, 16 + row * 4, 3.5, 2.2));
        p.setBrush(ink::orange);
        p.drawRect(QRectF(11.5, 26, 4, 4));
    });
}

QImage email()
{
    return icon(32, [](QPainter& p) {
        envelope(p, QRectF(2, 7, 24, 18));
        badge(p, QRectF(17, 15, 15, 15), ink::orange);
        p.setPen(Qt::white);
        p.setFont(font(11, QFont::Bold));
        p.drawText(QRectF(17, 14.5, 15, 15), Qt::AlignCenter, QStringLiteral("@"));
    });
}

QImage tutti()
{
    return icon(32, [](QPainter& p) {
        for (int i = 2; i >= 0; --i) {
            const QRectF card(3 + i * 3, 4 + i * 4.5, 21, 15);
            p.setPen(QPen(ink::navyDark, 1.1));
            p.setBrush(i == 0 ? ink::paper : (i == 1 ? ink::bluePale : ink::blueLight));
            p.drawRoundedRect(card, 2, 2);
        }
        person(p, QRectF(5, 6, 8, 10), ink::orange);
        textLines(p, QRectF(14.5, 9, 7, 6), 2, 3.6, ink::navy.lighter(160));
    });
}

void tag(QPainter& p, const QRectF& r, const QString& text, const QColor& base)
{
    p.save();
    p.setPen(QPen(base.darker(140), 1));
    p.setBrush(vertical(r, base.lighter(120), base));
    p.drawRoundedRect(r, 2, 2);
    p.setPen(Qt::white);
    p.setFont(fittedFont(text, r.width() - 2, r.height() - 1, QFont::Bold));
    p.drawText(r, Qt::AlignCenter, text);
    p.restore();
}

QImage exportExcel()
{
    return icon(32, [](QPainter& p) {
        sheet(p, QRectF(2.5, 2.5, 24, 24), 3, 5);
        tag(p, QRectF(12, 19, 19, 11), QStringLiteral("XLS"), ink::green);
    });
}

QImage exportCsv()
{
    return icon(32, [](QPainter& p) {
        const QRectF area = page(p, QRectF(4, 2, 21, 27), 7);
        // Rows of values with the separators standing out between them.
        for (int row = 0; row < 3; ++row) {
            const qreal y = area.top() + 1.5 + row * 4;
            p.setPen(QPen(ink::navy.lighter(150), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(area.left(), y), QPointF(area.left() + 3, y));
            p.drawLine(QPointF(area.left() + 6.5, y), QPointF(area.left() + 9.5, y));
            p.setPen(Qt::NoPen);
            p.setBrush(ink::orangeDark);
            p.drawEllipse(QPointF(area.left() + 4.8, y + 0.6), 0.9, 1.1);
            if (area.width() > 12)
                p.drawEllipse(QPointF(area.left() + 11.3, y + 0.6), 0.9, 1.1);
        }
        tag(p, QRectF(12, 19, 19, 11), QStringLiteral("CSV"), ink::orange);
    });
}

void drive(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(ink::navyDark, 1.6));
    p.setBrush(vertical(r, ink::orangeLight, ink::orange.darker(108)));
    p.drawRoundedRect(r, 7, 7);
    p.setBrush(ink::navy);
    p.drawRoundedRect(QRectF(r.left() + 9, r.bottom() - 13, r.width() - 18, 4), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3F, 0xE0, 0x6A));
    p.drawEllipse(QPointF(r.right() - 8, r.top() + 8), 2.2, 2.2);
}

// The backup window's two section pictures: the archive going onto a drive, and coming back.
QImage bakSection(bool restore)
{
    return icon(96, [=](QPainter& p) {
        groundShadow(p, QRectF(6, 80, 86, 13), 55);
        cylinder(p, QRectF(8, 24, 36, 60), ink::blue);
        drive(p, QRectF(54, 44, 38, 40));
        if (restore)
            arcArrow(p, QRectF(34, 10, 40, 40), 20, 140, 7, ink::blue);
        else
            arcArrow(p, QRectF(30, 10, 40, 40), 160, -140, 7, ink::orange);
    });
}

QImage helpLogo()
{
    QImage img = canvas(543, 42, kHelpNavy);
    QPainter p;
    begin(p, img);
    const QRectF band(0.5, 0.5, 542, 41);
    QLinearGradient g(band.topLeft(), band.topRight());
    g.setColorAt(0, ink::blue);
    g.setColorAt(1, kHelpNavy);
    p.setPen(QPen(ink::blueLight, 1));
    p.setBrush(g);
    p.drawRoundedRect(band, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::orange);
    p.drawRect(QRectF(8, 36, 527, 2));
    badge(p, QRectF(8, 5, 27, 27), ink::orange);
    p.setPen(Qt::white);
    p.setFont(font(19, QFont::Black));
    p.drawText(QRectF(8, 4.5, 27, 27), Qt::AlignCenter, QStringLiteral("?"));
    carnettoWordmark(p, QPointF(46, 28), 24, Qt::white, ink::bluePale, ink::navyDark);
    const QFont f = font(17, QFont::Bold, true);
    const QString title = QStringLiteral("Guida in linea");
    p.setPen(ink::bluePale);
    p.setFont(f);
    p.drawText(QPointF(535 - textWidth(title, f) - 6, 27), title);
    return img;
}

} // namespace

bool drawExportBackupHelpArtwork(const QString& folder)
{
    bool ok = true;
    ok &= savePng(persone(), folder, QStringLiteral("icon_persone.png"));
    ok &= savePng(aziende(), folder, QStringLiteral("icon_aziende.png"));
    ok &= savePng(email(), folder, QStringLiteral("icon_email.png"));
    ok &= savePng(tutti(), folder, QStringLiteral("icon_tutti.png"));
    ok &= savePng(exportExcel(), folder, QStringLiteral("icon_export_excel.png"));
    ok &= savePng(exportCsv(), folder, QStringLiteral("icon_export_csv.png"));
    ok &= savePng(bakSection(false), folder, QStringLiteral("bak_backup.png"));
    ok &= savePng(bakSection(true), folder, QStringLiteral("bak_restore.png"));
    ok &= saveJpeg(helpLogo(), folder, QStringLiteral("help_logo.jpg"), kHelpNavy);
    return ok;
}

} // namespace art
