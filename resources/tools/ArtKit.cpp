// Regenerate the pictures with `cmake --build build --target artwork`.
#include "resources/tools/ArtKit.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QtMath>
#include <cmath>
#include <cstdio>

namespace art {

QImage canvas(int width, int height, const QColor& background)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

void begin(QPainter& p, QImage& image)
{
    p.begin(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

QFont font(qreal pixelSize, int weight, bool italic)
{
    QFont f;
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(qRound(pixelSize));
    f.setWeight(QFont::Weight(weight));
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

qreal textWidth(const QString& text, const QFont& f)
{
    return QFontMetricsF(f).horizontalAdvance(text);
}

QFont fittedFont(const QString& text, qreal width, qreal pixelSize, int weight, bool italic)
{
    QFont f = font(pixelSize, weight, italic);
    while (pixelSize > 6 && textWidth(text, f) > width) {
        pixelSize -= 0.5;
        f = font(pixelSize, weight, italic);
    }
    return f;
}

QPainterPath textPath(const QString& text, const QFont& f, QPointF baseline)
{
    QPainterPath path;
    path.addText(baseline, f, text);
    return path;
}

QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(rect.topLeft(), rect.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void groundShadow(QPainter& p, const QRectF& rect, int alpha)
{
    QRadialGradient g(rect.center(), rect.width() / 2);
    g.setColorAt(0, QColor(0, 0, 0, alpha));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.translate(rect.center());
    p.scale(1, rect.height() / rect.width());
    p.translate(-rect.center());
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(rect.center(), rect.width() / 2, rect.width() / 2);
    p.restore();
}

void badge(QPainter& p, const QRectF& rect, const QColor& base)
{
    p.save();
    p.setPen(QPen(base.darker(150), 1.2));
    p.setBrush(vertical(rect, base.lighter(135), base.darker(112)));
    p.drawEllipse(rect.adjusted(0.6, 0.6, -0.6, -0.6));
    // A soft highlight on the upper half gives the flat disc a little volume.
    QRectF shine(rect.left() + rect.width() * 0.18, rect.top() + rect.height() * 0.08, rect.width() * 0.64,
                 rect.height() * 0.42);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(shine, QColor(255, 255, 255, 110), QColor(255, 255, 255, 0)));
    p.drawEllipse(shine);
    p.restore();
}

QRectF page(QPainter& p, const QRectF& rect, qreal fold)
{
    QPainterPath body;
    body.moveTo(rect.topLeft());
    body.lineTo(rect.right() - fold, rect.top());
    body.lineTo(rect.right(), rect.top() + fold);
    body.lineTo(rect.bottomRight());
    body.lineTo(rect.bottomLeft());
    body.closeSubpath();
    p.save();
    p.setPen(QPen(ink::navy, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(rect, ink::paper, ink::paperShade));
    p.drawPath(body);
    QPainterPath corner;
    corner.moveTo(rect.right() - fold, rect.top());
    corner.lineTo(rect.right() - fold, rect.top() + fold);
    corner.lineTo(rect.right(), rect.top() + fold);
    corner.closeSubpath();
    p.setBrush(ink::steelLight);
    p.drawPath(corner);
    p.restore();
    const qreal margin = qMax<qreal>(2.5, rect.width() * 0.16);
    return rect.adjusted(margin, fold + 1.5, -margin, -margin * 0.8);
}

void textLines(QPainter& p, const QRectF& area, int count, qreal gap, const QColor& colour)
{
    p.save();
    p.setPen(QPen(colour, qMax<qreal>(1.0, gap * 0.45), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        const qreal y = area.top() + i * gap;
        const qreal end = (i % 3 == 2) ? area.left() + area.width() * 0.65 : area.right();
        p.drawLine(QPointF(area.left(), y), QPointF(end, y));
    }
    p.restore();
}

void sheet(QPainter& p, const QRectF& rect, int columns, int rows)
{
    p.save();
    p.setPen(QPen(ink::navy, 1.2));
    p.setBrush(ink::paper);
    p.drawRoundedRect(rect, 1.5, 1.5);
    const qreal cw = rect.width() / columns;
    const qreal rh = rect.height() / rows;
    p.setPen(Qt::NoPen);
    p.setBrush(ink::blue);
    p.drawRect(QRectF(rect.left() + 0.6, rect.top() + 0.6, rect.width() - 1.2, rh));
    p.setBrush(ink::bluePale);
    p.drawRect(QRectF(rect.left() + 0.6, rect.top() + rh, cw, rect.height() - rh - 0.6));
    p.setPen(QPen(ink::steel, 0.8));
    for (int c = 1; c < columns; ++c)
        p.drawLine(QPointF(rect.left() + c * cw, rect.top() + rh), QPointF(rect.left() + c * cw, rect.bottom()));
    for (int r = 2; r < rows + 1; ++r)
        p.drawLine(QPointF(rect.left(), rect.top() + r * rh), QPointF(rect.right(), rect.top() + r * rh));
    p.setPen(QPen(ink::navy, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(rect, 1.5, 1.5);
    p.restore();
}

void arrow(QPainter& p, QPointF from, QPointF to, qreal width, const QColor& fill)
{
    const QLineF line(from, to);
    const qreal head = width * 1.9;
    p.save();
    p.translate(from);
    p.rotate(-line.angle());
    const qreal len = line.length();
    QPainterPath path;
    path.moveTo(0, -width / 2);
    path.lineTo(len - head, -width / 2);
    path.lineTo(len - head, -width);
    path.lineTo(len, 0);
    path.lineTo(len - head, width);
    path.lineTo(len - head, width / 2);
    path.lineTo(0, width / 2);
    path.closeSubpath();
    p.setPen(QPen(fill.darker(140), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient g(0, -width, 0, width);
    g.setColorAt(0, fill.lighter(125));
    g.setColorAt(1, fill.darker(108));
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

void arcArrow(QPainter& p, const QRectF& rect, qreal start, qreal span, qreal width, const QColor& fill)
{
    const QPointF c = rect.center();
    const qreal r = rect.width() / 2;
    const QRectF outer(c.x() - r - width / 2, c.y() - r - width / 2, 2 * r + width, 2 * r + width);
    const QRectF inner(c.x() - r + width / 2, c.y() - r + width / 2, 2 * r - width, 2 * r - width);
    const qreal headSpan = std::copysign(qRadiansToDegrees(width * 1.6 / r), span);
    const qreal bodySpan = span - headSpan;
    QPainterPath path;
    path.arcMoveTo(outer, start);
    path.arcTo(outer, start, bodySpan);
    const qreal endDeg = start + bodySpan;
    const qreal endRad = qDegreesToRadians(endDeg);
    const QPointF dir(std::cos(endRad), -std::sin(endRad));
    const QPointF outerTip = c + dir * (r + width);
    const qreal tipRad = qDegreesToRadians(start + span);
    const QPointF tip = c + QPointF(std::cos(tipRad), -std::sin(tipRad)) * r;
    path.lineTo(outerTip);
    path.lineTo(tip);
    path.lineTo(c + dir * (r - width));
    path.arcTo(inner, endDeg, -bodySpan);
    path.closeSubpath();
    p.save();
    p.setPen(QPen(fill.darker(140), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(outer, fill.lighter(125), fill.darker(108)));
    p.drawPath(path);
    p.restore();
}

void person(QPainter& p, const QRectF& rect, const QColor& shirt, const QColor& hair)
{
    const qreal w = rect.width();
    const qreal h = rect.height();
    p.save();
    p.setPen(QPen(ink::navyDark, qMax<qreal>(0.8, w * 0.02)));
    QPainterPath body;
    const QRectF shoulders(rect.left(), rect.top() + h * 0.56, w, h * 0.88);
    body.moveTo(shoulders.left(), rect.bottom());
    body.cubicTo(shoulders.left(), shoulders.top() + h * 0.05, shoulders.left() + w * 0.12, shoulders.top(),
                 shoulders.center().x(), shoulders.top());
    body.cubicTo(shoulders.right() - w * 0.12, shoulders.top(), shoulders.right(), shoulders.top() + h * 0.05,
                 shoulders.right(), rect.bottom());
    body.closeSubpath();
    p.setBrush(vertical(shoulders, shirt.lighter(118), shirt.darker(110)));
    p.drawPath(body);
    const QRectF neck(rect.center().x() - w * 0.1, rect.top() + h * 0.48, w * 0.2, h * 0.14);
    p.setBrush(ink::skinShade);
    p.drawRoundedRect(neck, w * 0.04, w * 0.04);
    const QRectF head(rect.center().x() - w * 0.22, rect.top() + h * 0.06, w * 0.44, h * 0.48);
    p.setBrush(vertical(head, ink::skin.lighter(104), ink::skin));
    p.drawEllipse(head);
    QPainterPath hairPath;
    hairPath.moveTo(head.left() - w * 0.01, head.center().y() + h * 0.01);
    hairPath.cubicTo(head.left() - w * 0.03, head.top() - h * 0.06, head.right() + w * 0.05, head.top() - h * 0.07,
                     head.right() + w * 0.01, head.center().y() + h * 0.01);
    hairPath.cubicTo(head.right() - w * 0.04, head.top() + h * 0.1, head.left() + w * 0.16, head.top() + h * 0.14,
                     head.left() - w * 0.01, head.center().y() + h * 0.01);
    p.setBrush(hair);
    p.drawPath(hairPath);
    p.restore();
}

void cylinder(QPainter& p, const QRectF& rect, const QColor& base)
{
    const qreal capH = rect.height() * 0.26;
    QPainterPath body;
    const QRectF top(rect.left(), rect.top(), rect.width(), capH);
    const QRectF bottom(rect.left(), rect.bottom() - capH, rect.width(), capH);
    body.moveTo(rect.left(), rect.top() + capH / 2);
    body.lineTo(rect.left(), rect.bottom() - capH / 2);
    body.arcTo(bottom, 180, 180);
    body.lineTo(rect.right(), rect.top() + capH / 2);
    body.arcTo(top, 0, -180);
    body.closeSubpath();
    p.save();
    QLinearGradient g(rect.topLeft(), rect.topRight());
    g.setColorAt(0, base.darker(115));
    g.setColorAt(0.35, base.lighter(135));
    g.setColorAt(1, base.darker(125));
    p.setPen(QPen(ink::navyDark, qMax<qreal>(1.0, rect.width() * 0.03)));
    p.setBrush(g);
    p.drawPath(body);
    p.setBrush(base.lighter(150));
    p.drawEllipse(top);
    p.setPen(QPen(base.lighter(160), qMax<qreal>(0.8, rect.width() * 0.02)));
    p.setBrush(Qt::NoBrush);
    for (qreal f : {0.42, 0.68}) {
        const QRectF band(rect.left(), rect.top() + rect.height() * f - capH / 2, rect.width(), capH);
        p.drawArc(band.adjusted(1, 0, -1, 0), 200 * 16, 140 * 16);
    }
    p.restore();
}

void envelope(QPainter& p, const QRectF& r)
{
    const qreal pen = qMax<qreal>(0.9, r.width() / 26);
    p.save();
    p.setPen(QPen(ink::navyDark, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(r, ink::paper, ink::paperShade));
    p.drawRoundedRect(r, pen * 1.5, pen * 1.5);
    QPainterPath flap;
    flap.moveTo(r.topLeft() + QPointF(pen, pen));
    flap.lineTo(r.center().x(), r.top() + r.height() * 0.58);
    flap.lineTo(r.topRight() + QPointF(-pen, pen));
    p.setBrush(ink::bluePale);
    p.drawPath(flap);
    p.restore();
}

void carnettoWordmark(QPainter& p, QPointF baseline, qreal size, const QColor& top, const QColor& bottom,
                      const QColor& outline)
{
    const QString word = QStringLiteral("Carnetto");
    const QFont big = font(size, QFont::Black);
    const QFont small = font(size * 0.5, QFont::Bold);
    const QPainterPath text = textPath(word, big, baseline);
    QLinearGradient fill(0, baseline.y() - size * 0.8, 0, baseline.y());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(outline, qMax<qreal>(1.0, size / 40), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(text);
    const QString version = QStringLiteral("4.0");
    const qreal x = baseline.x() + textWidth(word, big) + size * 0.18;
    const QRectF badgeRect(x, baseline.y() - size * 0.68, textWidth(version, small) + size * 0.32, size * 0.66);
    p.save();
    p.translate(badgeRect.center());
    p.rotate(-6);
    p.translate(-badgeRect.center());
    p.setPen(QPen(ink::orangeDark, 1.2));
    p.setBrush(vertical(badgeRect, ink::orangeLight, ink::orange));
    p.drawRoundedRect(badgeRect, size * 0.14, size * 0.14);
    p.setPen(Qt::white);
    p.setFont(small);
    p.drawText(badgeRect.translated(0, 1), Qt::AlignCenter, version);
    p.restore();
}

qreal wordmarkWidth(qreal size)
{
    return textWidth(QStringLiteral("Carnetto"), font(size, QFont::Black)) + size * 0.18 +
           textWidth(QStringLiteral("4.0"), font(size * 0.5, QFont::Bold)) + size * 0.32;
}

bool savePng(const QImage& image, const QString& folder, const QString& name)
{
    QImageWriter writer(QDir(folder).filePath(name), "png");
    const bool ok = writer.write(image.convertToFormat(QImage::Format_ARGB32));
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(writer.errorString()));
    return ok;
}

bool saveJpeg(const QImage& image, const QString& folder, const QString& name, const QColor& background)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(background);
    QPainter p(&flat);
    p.drawImage(0, 0, image);
    p.end();
    QImageWriter writer(QDir(folder).filePath(name), "jpeg");
    writer.setQuality(92);
    writer.setOptimizedWrite(true);
    const bool ok = writer.write(flat);
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(writer.errorString()));
    return ok;
}

} // namespace art
