#pragma once

#include "app/SpriteRandom.h"
#include "app/TImageArray.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <memory>
#include <vector>

// One flying flag. The drawn size is 100 / Z times the artwork's size.
struct TSprite
{
    std::int32_t X = 0; // centre on the background, pixels
    std::int32_t Y = 0;
    std::int32_t Z = 0; // depth
    std::int32_t DX = 0;
    std::int32_t DY = 0;
    std::int32_t DZ = 0;
    float Angle = 0; // radians, kept in 0 ... 2 pi
    float Spin = 0;  // added to Angle at each step
    float Scale = 0; // the scale the flag was last drawn with
    bool Mirror = false;
};

// The credits animation without its window: the background, the frame the window shows (Buffer) and five
// flags that fly over it, bounce off the edges, come nearer and go farther, and spin. The window calls
// step() every 50 ms and paints Buffer.
class SplashAnimation
{
public:
    static constexpr int SpriteCount = 5;
    // How far a flag's enclosing circle may pass an edge of the background.
    static constexpr int EdgeMargin = 8;
    static constexpr int DepthMin = 50;

    // Builds the whole state from the background picture and the sprite picture; spriteSize is the size of
    // the control that shows the sprite picture. The random numbers of the start are drawn here, in their
    // fixed order. A sprite picture that is neither 8-bit nor 24-bit is reported and no flag is drawn.
    SplashAnimation(const QImage& backImage, const QImage& spriteImage, QSize spriteSize,
                    std::unique_ptr<SpriteRandom> random, const TImageArray::Reporter& report = {});

    // One step: the boxes the flags were drawn in back from Background, then each flag moved and drawn into
    // Buffer.
    void step();
    // The flags' movement of one step, without drawing: for a window nobody sees. Buffer is then behind the
    // flags until compose(); step() catches up by itself.
    void advance();
    // Buffer anew: the background with every flag drawn where it is now, the frame as many step() calls as
    // there were advance() calls would have composed it.
    void compose();
    // Whether Buffer is behind the flags (advance() was called since the frame was last composed).
    bool isBehind() const { return m_behind; }

    // Where each flag stands in Buffer as last drawn (its rendered box, within the background; empty when it
    // was not drawn). Every pixel of Buffer that is not the background's lies in one of them, so between two
    // frames only these places, before and after, change.
    const std::vector<QRect>& drawnRects() const { return m_drawn; }

    // Half the sprite's diagonal at this scale, truncated toward zero.
    int radius(float scale) const;

    QImage Background;   // never drawn on
    QImage Buffer;       // 24 bits (red, green, blue), the frame the window shows
    QImage SpriteBitmap; // each rendered flag, drawn onto Buffer without its key colour
    TImageArray Images;
    std::vector<TSprite> Sprites;
    std::int32_t BackWidth = 0;
    std::int32_t BackHeight = 0;
    std::int32_t DepthMax = 0;
    std::int32_t SpriteWidth = 0;
    std::int32_t SpriteHeight = 0;

private:
    float newSpin();
    void move(TSprite& sprite);
    void bounce(TSprite& sprite, std::int32_t& position, std::int32_t& delta, int r, std::int32_t extent);
    void drawSprites();
    void restore(int left, int top, int right, int bottom);
    void drawSprite(int left, int top);

    std::unique_ptr<SpriteRandom> m_random;
    double m_diagonal = 0;
    bool m_behind = false;
    std::vector<QRect> m_drawn;
};
