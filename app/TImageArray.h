#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRgb>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// A picture kept column by column, that renders rotated, scaled and mirrored copies of itself into another
// picture; what lies outside the picture in the copy takes the colour of its bottom-left pixel, the
// transparent key. Plain code with no window: a refused picture is reported through a callback.
//
// "8-bit" is QImage::Format_Indexed8; "24-bit" is Format_BGR888 or Format_RGB888 (held as blue, green, red,
// the order of a Windows scan line). Every other format is refused.
class TImageArray
{
public:
    enum class TPixelFormat : std::uint8_t { pf8bit, pf24bit };
    using Pixel24 = std::array<std::uint8_t, 3>; // blue, green, red
    using Reporter = std::function<void(const QString&)>;

    std::int16_t Width = 0;
    std::int16_t Height = 0;
    TPixelFormat PixelFormat = TPixelFormat::pf24bit;
    QRgb TransparentColor = 0;
    std::vector<std::vector<std::uint8_t>> Pixels8; // [column][row]
    std::vector<std::vector<Pixel24>> Pixels24;     // [column][row]
    QList<QRgb> Palette;

    void SetWidth(std::int16_t n);
    void SetHeight(std::int16_t n);

    // Takes the pixels of an 8-bit or 24-bit picture. Any other picture is reported and leaves the array as
    // it was; so does one too large for 16-bit sizes. False when refused.
    bool LoadFromBitmap(const QImage& bitmap, const Reporter& report = {});

    // Renders the held picture into target (which takes the held format and the size of the rotated
    // bounding box) and returns the point of target on which the source point hotSpot lands.
    QPoint DrawRotated(QImage& target, QPoint hotSpot, float angle, float scale, bool mirror) const;

    // The QImage format DrawRotated gives its target.
    QImage::Format targetFormat() const;
    // The colour of the held pixel at column x, row y.
    QRgb pixelColor(int x, int y) const;

    static QString unsupportedFormatMessage();
    static QString tooLargeMessage();
};
