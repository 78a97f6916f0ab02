#include "app/SplashAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

} // namespace

SplashAnimation::SplashAnimation(const QImage& backImage, const QImage& spriteImage, QSize spriteSize,
                                 std::unique_ptr<SpriteRandom> random, const TImageArray::Reporter& report)
    : m_random(std::move(random))
{
    // Buffer is composed by copying bytes out of Background, so both hold three-byte pixels; in red, green,
    // blue order, which Qt draws onto a window several times faster than blue, green, red.
    Background = backImage.convertToFormat(QImage::Format_RGB888);
    Images.LoadFromBitmap(spriteImage, report);
    BackWidth = Background.width();
    BackHeight = Background.height();
    DepthMax = Background.height();
    SpriteWidth = spriteSize.width();
    SpriteHeight = spriteSize.height();
    m_diagonal = std::sqrt(double(SpriteWidth) * SpriteWidth + double(SpriteHeight) * SpriteHeight);

    Sprites.resize(SpriteCount);
    for (int i = 0; i < SpriteCount; ++i) {
        const int k = i + 1;
        TSprite& s = Sprites[i];
        s.X = SpriteWidth + m_random->below(BackWidth - 2 * SpriteWidth);
        s.Y = SpriteHeight + m_random->below(BackHeight - 2 * SpriteHeight);
        s.Z = DepthMin + m_random->below(DepthMax - DepthMin);
        s.DX = k * (m_random->below(2) * 2 - 1);
        s.DY = k * (m_random->below(2) * 2 - 1);
        s.DZ = k * (m_random->below(2) * 2 - 1);
        s.Angle = float(m_random->real() * 2 * std::numbers::pi);
        s.Spin = newSpin();
        s.Scale = float(k) / 4;
        s.Mirror = i % 2 == 0;
    }

    Buffer = Background.copy();
}

float SplashAnimation::newSpin()
{
    return float(m_random->real() * 0.4 - 0.2);
}

int SplashAnimation::radius(float scale) const
{
    return int(m_diagonal * scale / 2);
}

void SplashAnimation::bounce(TSprite& sprite, std::int32_t& position, std::int32_t& delta, int r, std::int32_t extent)
{
    position += delta;
    if (position > extent - r + EdgeMargin) {
        delta = -delta;
        sprite.Spin = newSpin();
        position = extent - r + EdgeMargin;
    }
    if (position < r - EdgeMargin) {
        delta = -delta;
        sprite.Spin = newSpin();
        position = r - EdgeMargin;
    }
}

// A plain copy from Background to the same place in Buffer; right and bottom edges exclusive, clipped to
// the picture (a flag may stand over an edge).
void SplashAnimation::restore(int left, int top, int right, int bottom)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, int(BackWidth));
    bottom = std::min(bottom, int(BackHeight));
    if (left >= right || top >= bottom)
        return;
    const qsizetype bytes = qsizetype(right - left) * 3;
    const uchar* from = Background.constBits();
    uchar* to = Buffer.bits();
    const qsizetype fromStride = Background.bytesPerLine();
    const qsizetype toStride = Buffer.bytesPerLine();
    for (int y = top; y < bottom; ++y)
        std::memcpy(to + y * toStride + left * 3, from + y * fromStride + left * 3, bytes);
}

// SpriteBitmap onto Buffer with its top-left corner at (left, top), leaving out the key colour.
void SplashAnimation::drawSprite(int left, int top)
{
    const int x0 = std::max(0, -left);
    const int y0 = std::max(0, -top);
    const int x1 = std::min(SpriteBitmap.width(), int(BackWidth) - left);
    const int y1 = std::min(SpriteBitmap.height(), int(BackHeight) - top);
    if (x0 >= x1 || y0 >= y1)
        return;
    const QRgb key = Images.TransparentColor;
    const uchar keyB = uchar(qBlue(key));
    const uchar keyG = uchar(qGreen(key));
    const uchar keyR = uchar(qRed(key));
    uchar* const buffer = Buffer.bits();
    const qsizetype stride = Buffer.bytesPerLine();
    const bool eight = SpriteBitmap.format() == QImage::Format_Indexed8;
    const QList<QRgb> palette = eight ? SpriteBitmap.colorTable() : QList<QRgb>();
    for (int y = y0; y < y1; ++y) {
        const uchar* from = SpriteBitmap.constScanLine(y);
        uchar* to = buffer + (top + y) * stride + left * 3;
        if (eight) {
            for (int x = x0; x < x1; ++x) {
                const QRgb c = palette.value(from[x]);
                if ((c & RGB_MASK) == (key & RGB_MASK))
                    continue;
                to[3 * x] = uchar(qRed(c));
                to[3 * x + 1] = uchar(qGreen(c));
                to[3 * x + 2] = uchar(qBlue(c));
            }
        } else {
            // The rendered flag holds blue, green, red; Buffer red, green, blue.
            for (int x = x0; x < x1; ++x) {
                const uchar* p = from + 3 * x;
                // One test for the three bytes.
                if (((p[0] ^ keyB) | (p[1] ^ keyG) | (p[2] ^ keyR)) == 0)
                    continue;
                uchar* d = to + 3 * x;
                d[0] = p[2];
                d[1] = p[1];
                d[2] = p[0];
            }
        }
    }
}

void SplashAnimation::step()
{
    if (m_behind) {
        advance();
        compose();
        return;
    }
    // Only the boxes the flags were drawn in differ from the background: they are all there is to restore.
    // (The square of a flag's radius would be larger, and would miss a pixel or two of a flag drawn near it.)
    for (const QRect& box : m_drawn)
        restore(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    for (TSprite& s : Sprites)
        move(s);
    drawSprites();
}

void SplashAnimation::advance()
{
    for (TSprite& s : Sprites)
        move(s);
    m_behind = true;
}

void SplashAnimation::compose()
{
    restore(0, 0, BackWidth, BackHeight);
    drawSprites();
    m_behind = false;
}

void SplashAnimation::move(TSprite& s)
{
    // The scale comes from the depth before this step's depth change.
    s.Scale = float(100.0 / s.Z);
    const int r = radius(s.Scale);
    bounce(s, s.X, s.DX, r, BackWidth);
    bounce(s, s.Y, s.DY, r, BackHeight);

    s.Z += s.DZ;
    // The depth turns back but is not clamped: an overshoot lasts one step.
    if (s.Z > DepthMax || s.Z < DepthMin) {
        s.DZ = -s.DZ;
        s.Spin = newSpin();
    }

    float angle = s.Angle + s.Spin;
    if (double(angle) > kTwoPi)
        angle = float(double(angle) - kTwoPi);
    if (angle < 0.0f)
        angle = float(double(angle) + kTwoPi);
    s.Angle = angle;
}

// In index order, so that a higher index is drawn over a lower one. Drawing draws no random numbers, so the
// flags move the same whether they are drawn or not.
void SplashAnimation::drawSprites()
{
    const QPoint hotSpot(SpriteWidth / 2, SpriteHeight / 2);
    m_drawn.assign(Sprites.size(), QRect());
    for (size_t i = 0; i < Sprites.size(); ++i) {
        const TSprite& s = Sprites[i];
        if (radius(s.Scale) == 0)
            continue;
        const QPoint p = Images.DrawRotated(SpriteBitmap, hotSpot, s.Angle, s.Scale, s.Mirror);
        if (SpriteBitmap.isNull())
            continue;
        const QPoint corner(s.X - p.x(), s.Y - p.y());
        drawSprite(corner.x(), corner.y());
        m_drawn[i] = QRect(corner, SpriteBitmap.size()) & Buffer.rect();
    }
}
