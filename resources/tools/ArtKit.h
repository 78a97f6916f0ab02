// Drawing helpers shared by the artwork generator: one palette, one font family, a few shapes that
// every picture reuses, so the icons of all windows look like one family.
// Regenerate the pictures with `cmake --build build --target artwork`.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace art {

namespace ink {
inline const QColor navy{0x1C, 0x2F, 0x5E};
inline const QColor navyDark{0x12, 0x1F, 0x40};
inline const QColor blue{0x2E, 0x6B, 0xD1};
inline const QColor blueLight{0x7F, 0xAE, 0xEE};
inline const QColor bluePale{0xDC, 0xE9, 0xFB};
inline const QColor orange{0xF3, 0x8B, 0x1C};
inline const QColor orangeDark{0xC8, 0x65, 0x0A};
inline const QColor orangeLight{0xFF, 0xC0, 0x6B};
inline const QColor paper{0xFF, 0xFF, 0xFF};
inline const QColor paperShade{0xE6, 0xEC, 0xF4};
inline const QColor steel{0x9A, 0xA6, 0xB8};
inline const QColor steelLight{0xD5, 0xDB, 0xE4};
inline const QColor skin{0xF6, 0xCB, 0xA4};
inline const QColor skinShade{0xE2, 0xA9, 0x7E};
inline const QColor red{0xD6, 0x3A, 0x2F};
inline const QColor green{0x2E, 0x9E, 0x5B};
} // namespace ink

// A transparent canvas, or one filled with a background, ready for anti-aliased drawing.
QImage canvas(int width, int height, const QColor& background = Qt::transparent);
void begin(QPainter& p, QImage& image);

// The interface's family, with the substitutes fontconfig is likely to have.
QFont font(qreal pixelSize, int weight = QFont::Normal, bool italic = false);
// Largest font not above pixelSize whose text fits the width.
QFont fittedFont(const QString& text, qreal width, qreal pixelSize, int weight = QFont::Normal, bool italic = false);
// Draws text as a path, so it can take a gradient and an outline.
QPainterPath textPath(const QString& text, const QFont& font, QPointF baseline);
qreal textWidth(const QString& text, const QFont& font);

QLinearGradient vertical(const QRectF& rect, const QColor& top, const QColor& bottom);
// Soft elliptic shadow under an object standing on a panel.
void groundShadow(QPainter& p, const QRectF& rect, int alpha = 60);
// Round badge used by the small icons: a gradient disc with a darker rim.
void badge(QPainter& p, const QRectF& rect, const QColor& base);
// Sheet of paper with a folded top-right corner; returns the writable area.
QRectF page(QPainter& p, const QRectF& rect, qreal fold);
// A few grey text lines inside a rectangle.
void textLines(QPainter& p, const QRectF& area, int count, qreal gap, const QColor& colour = ink::steel);
// Spreadsheet: white sheet, blue header row, grid lines.
void sheet(QPainter& p, const QRectF& rect, int columns, int rows);
// Fat arrow along a straight line, head at `to`.
void arrow(QPainter& p, QPointF from, QPointF to, qreal width, const QColor& fill);
// Circular arrow (an arc of `span` degrees starting at `start`, counter-clockwise).
void arcArrow(QPainter& p, const QRectF& rect, qreal start, qreal span, qreal width, const QColor& fill);
// Head and shoulders of a person inside rect.
void person(QPainter& p, const QRectF& rect, const QColor& shirt, const QColor& hair = ink::navyDark);
// Cylinder, as drives and archives are drawn.
void cylinder(QPainter& p, const QRectF& rect, const QColor& base);

// Closed envelope with its flap, as the e-mail icons draw it.
void envelope(QPainter& p, const QRectF& r);
// "Carnetto" with its "4.0" badge, as the help, credits and About pictures write it; and its width.
void carnettoWordmark(QPainter& p, QPointF baseline, qreal size, const QColor& top, const QColor& bottom,
                      const QColor& outline);
qreal wordmarkWidth(qreal size);

bool savePng(const QImage& image, const QString& folder, const QString& name);
// JPEG has no alpha: the picture is flattened onto `background` first.
bool saveJpeg(const QImage& image, const QString& folder, const QString& name, const QColor& background = Qt::white);

} // namespace art
