#include "app/TImageArray.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Round half to even, the default rounding mode of the floating-point unit, as lrint rounds; but without a call
// into the C library for each of the two per pixel. Adding 1.5 * 2^52 leaves no bits below the unit, so the
// addition itself rounds, in the current mode, and taking it away again is exact: for |value| < 2^51, where
// doubles are computed as doubles (not in the wider x87 registers).
inline long roundEven(double value)
{
#if FLT_EVAL_METHOD == 0
    constexpr double kUnit = 6755399441055744.0;
    return long((value + kUnit) - kUnit);
#else
    return std::lrint(value);
#endif
}

bool is24bit(QImage::Format format)
{
    return format == QImage::Format_BGR888 || format == QImage::Format_RGB888;
}

// The columns x of a rotated row (ty = 2y - (NH - 1)) whose mapped source point can lie on the picture:
// |u| <= W and |v| <= H, with u = (tx cos - ty sin) / scale and v = (tx sin + ty cos) / scale for
// tx = 2x - (NW - 1), widened by two source pixels against rounding. An empty span has first > last.
std::pair<int, int> rowSpan(int ty, int NW, int W, int H, float sinA, float cosA, float inv)
{
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    bool none = false;
    // Narrows [lo, hi] to the tx where |a tx + b| <= limit.
    auto narrow = [&lo, &hi, &none](double a, double b, double limit) {
        if (a == 0) {
            none = none || std::abs(b) > limit;
            return;
        }
        double from = (-limit - b) / a;
        double to = (limit - b) / a;
        if (from > to)
            std::swap(from, to);
        lo = std::max(lo, from);
        hi = std::min(hi, to);
    };
    narrow(double(cosA) * inv, -double(ty) * sinA * inv, W + 2.0);
    narrow(double(sinA) * inv, double(ty) * cosA * inv, H + 2.0);
    if (none || !(lo <= hi))
        return {0, -1};
    const int first = int(std::max(0.0, std::floor((lo + NW - 1) / 2) - 1));
    const int last = int(std::min(double(NW - 1), std::ceil((hi + NW - 1) / 2) + 1));
    return {first, last};
}

// from ... to - 1 := value. Three-byte pixels are copied in doubling blocks rather than one by one.
template <typename Pixel> void fillRun(Pixel* from, Pixel* to, const Pixel& value)
{
    const std::ptrdiff_t count = to - from;
    if (count <= 0)
        return;
    if constexpr (sizeof(Pixel) == 1) {
        std::memset(from, value, size_t(count));
    } else {
        *from = value;
        for (std::ptrdiff_t done = 1; done < count; done *= 2)
            std::memcpy(from + done, from, sizeof(Pixel) * size_t(std::min(done, count - done)));
    }
}

// Rows of the rotated rendering, two at a time: row y and its opposite, row NH - 1 - y. Turning about the
// centre, pixel x of the one and pixel NW - 1 - x of the other have opposite doubled coordinates, and so
// opposite mapped offsets: the differences, products and rounding to nearest are all symmetric in sign, so
// one mapping names both source pixels. A pixel is on the picture exactly when its opposite is: with
// truncation toward zero, (W - 1 + ru) div 2 lies in 0 ... W - 1 exactly when -W <= ru <= W, and likewise
// for rows. column[sx] is source column sx, already mirrored when asked (the bounds are the same either way).
template <typename Pixel> struct RowPair
{
    const Pixel* const* column;
    const double* txCos;
    const double* txSin;
    double tySin;
    double tyCos;
    double inv;
    int W;
    int H;
    int NW;
    Pixel fill;

    // Column x of line, and column NW - 1 - x of opposite unless there is none (the middle row of an odd
    // height is its own opposite, and is mapped whole).
    void one(Pixel* line, Pixel* opposite, int x) const
    {
        const long ru = roundEven((txCos[x] - tySin) * inv);
        const long rv = roundEven((txSin[x] + tyCos) * inv);
        if (-W <= ru && ru <= W && -H <= rv && rv <= H) {
            line[x] = column[(W - 1 + ru) / 2][(H - 1 + rv) / 2];
            if (opposite)
                opposite[NW - 1 - x] = column[(W - 1 - ru) / 2][(H - 1 - rv) / 2];
        } else {
            line[x] = fill;
            if (opposite)
                opposite[NW - 1 - x] = fill;
        }
    }

    void run(Pixel* line, Pixel* opposite, int first, int last) const
    {
        int x = first;
#if defined(__SSE2__)
        if (opposite) {
            // Four columns at a time. The products and sums are the same double operations as one(); the packed
            // conversion rounds in the current mode, half to even, as roundEven does; (a + (a < 0)) >> 1 is a
            // division by two that truncates toward zero. Off the picture the indices are taken as 0, 0 and the
            // fill is chosen from a table of two, so the edges of the picture cost no mispredicted branches.
            const __m128d vTySin = _mm_set1_pd(tySin);
            const __m128d vTyCos = _mm_set1_pd(tyCos);
            const __m128d vInv = _mm_set1_pd(inv);
            const __m128i wLast = _mm_set1_epi32(W - 1);
            const __m128i hLast = _mm_set1_epi32(H - 1);
            const __m128i wBelow = _mm_set1_epi32(-W - 1);
            const __m128i wAbove = _mm_set1_epi32(W + 1);
            const __m128i hBelow = _mm_set1_epi32(-H - 1);
            const __m128i hAbove = _mm_set1_epi32(H + 1);
            const auto half = [](__m128i a) { return _mm_srai_epi32(_mm_add_epi32(a, _mm_srli_epi32(a, 31)), 1); };
            alignas(16) int sx[4];
            alignas(16) int sy[4];
            alignas(16) int ox[4];
            alignas(16) int oy[4];
            alignas(16) int on[4];
            for (; x + 3 <= last; x += 4) {
                const __m128d u0 = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(txCos + x), vTySin), vInv);
                const __m128d u1 = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(txCos + x + 2), vTySin), vInv);
                const __m128d v0 = _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(txSin + x), vTyCos), vInv);
                const __m128d v1 = _mm_mul_pd(_mm_add_pd(_mm_loadu_pd(txSin + x + 2), vTyCos), vInv);
                const __m128i u = _mm_unpacklo_epi64(_mm_cvtpd_epi32(u0), _mm_cvtpd_epi32(u1));
                const __m128i v = _mm_unpacklo_epi64(_mm_cvtpd_epi32(v0), _mm_cvtpd_epi32(v1));
                const __m128i inside =
                    _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi32(u, wBelow), _mm_cmplt_epi32(u, wAbove)),
                                  _mm_and_si128(_mm_cmpgt_epi32(v, hBelow), _mm_cmplt_epi32(v, hAbove)));
                _mm_store_si128(reinterpret_cast<__m128i*>(sx), _mm_and_si128(half(_mm_add_epi32(wLast, u)), inside));
                _mm_store_si128(reinterpret_cast<__m128i*>(sy), _mm_and_si128(half(_mm_add_epi32(hLast, v)), inside));
                _mm_store_si128(reinterpret_cast<__m128i*>(ox), _mm_and_si128(half(_mm_sub_epi32(wLast, u)), inside));
                _mm_store_si128(reinterpret_cast<__m128i*>(oy), _mm_and_si128(half(_mm_sub_epi32(hLast, v)), inside));
                _mm_store_si128(reinterpret_cast<__m128i*>(on), _mm_srli_epi32(inside, 31));
                for (int k = 0; k < 4; ++k) {
                    const Pixel* here[2] = {&fill, &column[sx[k]][sy[k]]};
                    const Pixel* there[2] = {&fill, &column[ox[k]][oy[k]]};
                    line[x + k] = *here[on[k]];
                    opposite[NW - 1 - (x + k)] = *there[on[k]];
                }
            }
        }
#endif
        for (; x <= last; ++x)
            one(line, opposite, x);
    }
};

// The rotated rendering (not at angle 0) for either pixel type.
template <typename Pixel>
void renderRotated(uchar* row0, qsizetype stride, int NW, int NH, const std::vector<std::vector<Pixel>>& columns,
                   float sinA, float cosA, float inv, bool mirror)
{
    const int W = int(columns.size());
    const int H = int(columns.front().size());
    std::vector<const Pixel*> column(static_cast<size_t>(W));
    for (int sx = 0; sx < W; ++sx)
        column[size_t(sx)] = columns[size_t(mirror ? W - 1 - sx : sx)].data();
    // tx cos and tx sin of every column, worked out once: the products of a small integer and a float are
    // exact in a double, so these are the very values the mapping computes.
    std::vector<double> txCos(static_cast<size_t>(NW));
    std::vector<double> txSin(static_cast<size_t>(NW));
    for (int x = 0; x < NW; ++x) {
        const int tx = 2 * x - (NW - 1);
        txCos[size_t(x)] = double(tx) * cosA;
        txSin[size_t(x)] = double(tx) * sinA;
    }
    RowPair<Pixel> rows{column.data(), txCos.data(), txSin.data(), 0, 0, double(inv), W, H, NW, columns[0][H - 1]};
    for (int y = 0; y <= (NH - 1) / 2; ++y) {
        auto* line = reinterpret_cast<Pixel*>(row0 + y * stride);
        const int oppositeRow = NH - 1 - y;
        auto* opposite = oppositeRow != y ? reinterpret_cast<Pixel*>(row0 + oppositeRow * stride) : nullptr;
        const int ty = 2 * y - (NH - 1);
        rows.tySin = double(ty) * sinA;
        rows.tyCos = double(ty) * cosA;
        // Only the columns where the row can meet the picture are mapped; the rest is key, and so is the
        // mirror image of the rest in the opposite row.
        const auto [first, last] = rowSpan(ty, NW, W, H, sinA, cosA, inv);
        fillRun(line, line + first, rows.fill);
        fillRun(line + last + 1, line + NW, rows.fill);
        if (opposite) {
            fillRun(opposite, opposite + (NW - 1 - last), rows.fill);
            fillRun(opposite + (NW - first), opposite + NW, rows.fill);
        }
        rows.run(line, opposite, first, last);
    }
}

template <typename Column> void fit(std::vector<Column>& columns, int width, int height)
{
    columns.resize(width);
    for (Column& column : columns)
        column.resize(height);
}

} // namespace

QString TImageArray::unsupportedFormatMessage()
{
    return QStringLiteral("only 8 bit and 24 bit bitmaps are allowed");
}

QString TImageArray::tooLargeMessage()
{
    return QStringLiteral("bitmaps wider or higher than 32767 pixels are not allowed");
}

void TImageArray::SetWidth(std::int16_t n)
{
    if (n == Width)
        return;
    if (n < 0)
        n = 0;
    if (PixelFormat == TPixelFormat::pf8bit)
        Pixels8.resize(n, std::vector<std::uint8_t>(Height));
    else
        Pixels24.resize(n, std::vector<Pixel24>(Height));
    Width = n;
}

void TImageArray::SetHeight(std::int16_t n)
{
    if (n == Height)
        return;
    if (n < 0)
        n = 0;
    Height = n;
    if (PixelFormat == TPixelFormat::pf8bit) {
        for (auto& column : Pixels8)
            column.resize(n);
    } else {
        for (auto& column : Pixels24)
            column.resize(n);
    }
}

bool TImageArray::LoadFromBitmap(const QImage& bitmap, const Reporter& report)
{
    const QImage::Format format = bitmap.format();
    if (format != QImage::Format_Indexed8 && !is24bit(format)) {
        if (report)
            report(unsupportedFormatMessage());
        return false;
    }
    // The sizes are 16-bit: a larger picture would wrap round to a negative size.
    if (bitmap.width() > std::numeric_limits<std::int16_t>::max() ||
        bitmap.height() > std::numeric_limits<std::int16_t>::max()) {
        if (report)
            report(tooLargeMessage());
        return false;
    }

    PixelFormat = format == QImage::Format_Indexed8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
    SetWidth(std::int16_t(bitmap.width()));
    SetHeight(std::int16_t(bitmap.height()));
    // SetWidth and SetHeight size only the current format's array, and only when the size changes: after a
    // change of format at the same size the new array would still be empty. It gets its full size here, and
    // the other format's pixels are let go.
    if (PixelFormat == TPixelFormat::pf8bit) {
        fit(Pixels8, Width, Height);
        Pixels24.clear();
    } else {
        fit(Pixels24, Width, Height);
        Pixels8.clear();
    }

    TransparentColor = bitmap.pixel(0, Height - 1);
    const bool rgbOrder = format == QImage::Format_RGB888;
    for (int y = 0; y < Height; ++y) {
        const uchar* line = bitmap.constScanLine(y);
        if (PixelFormat == TPixelFormat::pf8bit) {
            for (int x = 0; x < Width; ++x)
                Pixels8[x][y] = line[x];
        } else {
            for (int x = 0; x < Width; ++x) {
                const uchar* p = line + 3 * x;
                Pixels24[x][y] = rgbOrder ? Pixel24{p[2], p[1], p[0]} : Pixel24{p[0], p[1], p[2]};
            }
        }
    }
    if (PixelFormat == TPixelFormat::pf8bit)
        Palette = bitmap.colorTable();
    else
        Palette.clear();
    return true;
}

QImage::Format TImageArray::targetFormat() const
{
    return PixelFormat == TPixelFormat::pf8bit ? QImage::Format_Indexed8 : QImage::Format_BGR888;
}

QRgb TImageArray::pixelColor(int x, int y) const
{
    if (PixelFormat == TPixelFormat::pf8bit)
        return Palette.value(Pixels8[x][y], qRgb(0, 0, 0));
    const Pixel24& p = Pixels24[x][y];
    return qRgb(p[2], p[1], p[0]);
}

QPoint TImageArray::DrawRotated(QImage& target, QPoint hotSpot, float angle, float scale, bool mirror) const
{
    const int W = Width;
    const int H = Height;
    const bool eight = PixelFormat == TPixelFormat::pf8bit;

    // An empty array (a refused picture) or a scale that is no scale renders nothing rather than reading a
    // key pixel that does not exist.
    if (W <= 0 || H <= 0 || !(scale > 0.0f) || !std::isfinite(scale)) {
        target = QImage();
        return {0, 0};
    }

    const float sinA = float(std::sin(double(angle)));
    const float cosA = float(std::cos(double(angle)));
    const float inv = float(1.0 / double(scale));

    const int NW = int(std::labs(roundEven(double(H) * sinA * scale)) + std::labs(roundEven(double(W) * cosA * scale)));
    const int NH = int(std::labs(roundEven(double(W) * sinA * scale)) + std::labs(roundEven(double(H) * cosA * scale)));

    if (target.format() != targetFormat() || target.width() != NW || target.height() != NH)
        target = NW > 0 && NH > 0 ? QImage(NW, NH, targetFormat()) : QImage();
    if (eight)
        target.setColorTable(Palette);
    if (target.isNull())
        return {NW / 2, NH / 2};

    // One detach, then every row through the first row's address and the line length.
    uchar* const row0 = target.bits();
    const qsizetype stride = target.bytesPerLine();

    if (angle == 0.0f) {
        for (int y = 0; y < NH; ++y) {
            uchar* line = row0 + y * stride;
            // Above scale 1 the product can round onto the last column plus one; it stays on the picture.
            const int sy = qMin(int(double(y) * inv), H - 1);
            for (int x = NW - 1; x >= 0; --x) {
                int sx = qMin(int(double(x) * inv), W - 1);
                if (mirror)
                    sx = W - 1 - sx;
                if (eight) {
                    line[x] = Pixels8[sx][sy];
                } else {
                    const Pixel24& p = Pixels24[sx][sy];
                    uchar* d = line + 3 * x;
                    d[0] = p[0];
                    d[1] = p[1];
                    d[2] = p[2];
                }
            }
        }
    } else {
        if (eight)
            renderRotated(row0, stride, NW, NH, Pixels8, sinA, cosA, inv, mirror);
        else
            renderRotated(row0, stride, NW, NH, Pixels24, sinA, cosA, inv, mirror);
    }

    if (hotSpot == QPoint(W / 2, H / 2))
        return {NW / 2, NH / 2};

    // Any other hot spot: the same mapping run backwards. The source column is mirrored first, because the
    // mapping mirrors the column it found.
    const int hx = mirror ? W - 1 - hotSpot.x() : hotSpot.x();
    const int hy = hotSpot.y();
    if (angle == 0.0f)
        return {int(std::ceil(double(hx) * scale)), int(std::ceil(double(hy) * scale))};
    const double sxd = 2.0 * hx - (W - 1);
    const double syd = 2.0 * hy - (H - 1);
    const double tx = (sxd * cosA + syd * sinA) * scale;
    const double ty = (-sxd * sinA + syd * cosA) * scale;
    return {int(std::floor((tx + NW - 1) / 2 + 0.5)), int(std::floor((ty + NH - 1) / 2 + 0.5))};
}
