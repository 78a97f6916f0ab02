#include "app/BitmapFile.h"
#include "app/SplashAnimation.h"

#include <QTest>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

const QString kSprite = QStringLiteral(CARNETTO_IMAGES_DIR "/sprite_bandiera.bmp");
const QString kBackground = QStringLiteral(CARNETTO_IMAGES_DIR "/credits_sfondo.jpg");
constexpr QRgb kKey = 0xFF0000FF;

// Answers from a script and writes down what was asked, so the order of the draws can be checked.
class ScriptedRandom final : public SpriteRandom
{
public:
    QList<int> integers; // the next answers of below(), 0 once used up
    QList<double> reals; // the next answers of real(), 0.5 once used up
    QStringList asked;

    int below(int n) override
    {
        asked << QStringLiteral("below %1").arg(n);
        return integers.isEmpty() ? 0 : integers.takeFirst();
    }
    double real() override
    {
        asked << QStringLiteral("real");
        return reals.isEmpty() ? 0.5 : reals.takeFirst();
    }
};

QImage greyBackground()
{
    QImage img(591, 356, QImage::Format_RGB32);
    img.fill(qRgb(90, 90, 90));
    return img;
}

std::unique_ptr<SplashAnimation> animation(std::unique_ptr<SpriteRandom> random, const QImage& back = greyBackground())
{
    const QImage sprite = readBitmap(kSprite);
    return std::make_unique<SplashAnimation>(back, sprite, sprite.size(), std::move(random));
}

std::unique_ptr<SplashAnimation> withOneFlag(ScriptedRandom*& script)
{
    auto random = std::make_unique<ScriptedRandom>();
    script = random.get();
    auto a = animation(std::move(random));
    a->Sprites.resize(1);
    script->asked.clear();
    return a;
}

} // namespace

class TestSplashAnimation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theStartDrawsItsRandomNumbersInOrder()
    {
        auto random = std::make_unique<ScriptedRandom>();
        ScriptedRandom* script = random.get();
        // Flag 1: X, Y, Z, the three signs; then the angle and the spin.
        script->integers = {7, 11, 13, 1, 0, 1};
        script->reals = {0.25, 0.75};
        const auto a = animation(std::move(random));

        QStringList expected;
        for (int i = 0; i < 5; ++i)
            expected << "below 375"
                     << "below 236"
                     << "below 306"
                     << "below 2"
                     << "below 2"
                     << "below 2"
                     << "real"
                     << "real";
        QCOMPARE(script->asked, expected);
        const TSprite& first = a->Sprites[0];
        QCOMPARE(first.X, 108 + 7);
        QCOMPARE(first.Y, 60 + 11);
        QCOMPARE(first.Z, 50 + 13);
        QCOMPARE(first.DX, 1);
        QCOMPARE(first.DY, -1);
        QCOMPARE(first.DZ, 1);
        QCOMPARE(first.Angle, float(0.25 * 2 * std::numbers::pi));
        QCOMPARE(first.Spin, float(0.75 * 0.4 - 0.2));
        QCOMPARE(a->DepthMax, 356);
        QCOMPARE(a->SpriteWidth, 108);
        QCOMPARE(a->SpriteHeight, 60);
        // Buffer starts as the background.
        QCOMPARE(a->Buffer, a->Background);
        QCOMPARE(a->Buffer.format(), QImage::Format_RGB888);
    }

    void theStartWithASeededGenerator_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 42u, 2026u, 31337u, 4000000000u})
            QTest::addRow("seed %u", seed) << seed;
    }

    void theStartWithASeededGenerator()
    {
        QFETCH(quint32, seed);
        const auto a = animation(std::make_unique<ClockRandom>(seed), readBitmap(kBackground));
        QCOMPARE(a->BackWidth, 591);
        QCOMPARE(a->BackHeight, 356);
        QCOMPARE(int(a->Sprites.size()), 5);
        for (int i = 0; i < 5; ++i) {
            const TSprite& s = a->Sprites[i];
            const int k = i + 1;
            QCOMPARE(s.Scale, k / 4.0f);
            QCOMPARE(std::abs(s.DX), k);
            QCOMPARE(std::abs(s.DY), k);
            QCOMPARE(std::abs(s.DZ), k);
            QCOMPARE(s.Mirror, i == 0 || i == 2 || i == 4);
            QVERIFY2(s.X >= 108 && s.X <= 482, qPrintable(QString::number(s.X)));
            QVERIFY2(s.Y >= 60 && s.Y <= 295, qPrintable(QString::number(s.Y)));
            QVERIFY2(s.Z >= 50 && s.Z <= 355, qPrintable(QString::number(s.Z)));
            QVERIFY(s.Angle >= 0 && s.Angle < float(2 * std::numbers::pi));
            QVERIFY(s.Spin >= -0.2f && s.Spin < 0.2f);
        }
    }

    // One flag, one step: where it is, how it moves, at which depth; what it is afterwards.
    void aStepBouncesAndTurns_data()
    {
        QTest::addColumn<QList<int>>("before"); // X, Y, Z, DX, DY, DZ
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<bool>("newSpin");
        // Depth 100: scale 1, r = 61; X lies within 53 ... 538, Y within 53 ... 303.
        QTest::newRow("free flight") << QList<int>{300, 200, 100, 3, -2, 1} << QList<int>{303, 198, 101, 3, -2, 1}
                                     << false;
        QTest::newRow("right edge") << QList<int>{536, 200, 100, 5, 1, 1} << QList<int>{538, 201, 101, -5, 1, 1}
                                    << true;
        QTest::newRow("right edge, exactly")
            << QList<int>{533, 200, 100, 5, 1, 1} << QList<int>{538, 201, 101, 5, 1, 1} << false;
        QTest::newRow("left edge") << QList<int>{55, 200, 100, -4, 1, 1} << QList<int>{53, 201, 101, 4, 1, 1} << true;
        QTest::newRow("bottom edge") << QList<int>{300, 302, 100, 1, 3, 1} << QList<int>{301, 303, 101, 1, -3, 1}
                                     << true;
        QTest::newRow("top edge") << QList<int>{300, 54, 100, 1, -2, 1} << QList<int>{301, 53, 101, 1, 2, 1} << true;
        // The depth overshoots by one step and stays there; the scale of the step is the one before.
        QTest::newRow("too far") << QList<int>{300, 200, 354, 1, 1, 4} << QList<int>{301, 201, 358, 1, 1, -4} << true;
        QTest::newRow("too near") << QList<int>{300, 200, 52, 1, 1, -5} << QList<int>{301, 201, 47, 1, 1, 5} << true;
        QTest::newRow("depth at the far end")
            << QList<int>{300, 200, 355, 1, 1, 1} << QList<int>{301, 201, 356, 1, 1, 1} << false;
        QTest::newRow("depth at the near end")
            << QList<int>{300, 200, 51, 1, 1, -1} << QList<int>{301, 201, 50, 1, 1, -1} << false;
    }

    void aStepBouncesAndTurns()
    {
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        QFETCH(bool, newSpin);
        ScriptedRandom* script = nullptr;
        auto a = withOneFlag(script);
        TSprite& s = a->Sprites[0];
        s = {before[0], before[1], before[2], before[3], before[4], before[5], 1.0f, 0.1f, 0.5f, false};
        script->reals = {0.0};
        a->step();
        QCOMPARE(QList<int>({s.X, s.Y, s.Z, s.DX, s.DY, s.DZ}), after);
        QCOMPARE(s.Scale, float(100.0 / before[2]));
        QCOMPARE(s.Spin, newSpin ? -0.2f : 0.1f);
        QCOMPARE(s.Angle, newSpin ? 0.8f : 1.1f);
    }

    void aFlagAtDepthFiftyIsDrawnAtScaleTwo()
    {
        ScriptedRandom* script = nullptr;
        auto a = withOneFlag(script);
        a->Sprites[0] = {295, 178, 50, 1, 1, 1, 0.5f, 0.0f, 1.0f, false};
        a->step();
        QCOMPARE(a->Sprites[0].Scale, 2.0f);
        QCOMPARE(a->radius(2.0f), 123);
        QCOMPARE(a->radius(100.0f / 45), 137);
        QCOMPARE(a->radius(100.0f / 361), 17);
    }

    void theSpinWrapsRoundATurn_data()
    {
        QTest::addColumn<float>("angle");
        QTest::addColumn<float>("spin");
        QTest::addColumn<float>("expected");
        const double twoPi = 2 * std::numbers::pi;
        QTest::newRow("past a turn") << 6.2f << 0.15f << float(double(6.2f + 0.15f) - twoPi);
        QTest::newRow("below nought") << 0.05f << -0.15f << float(double(0.05f - 0.15f) + twoPi);
        QTest::newRow("within") << 3.0f << -0.1f << 2.9f;
    }

    void theSpinWrapsRoundATurn()
    {
        QFETCH(float, angle);
        QFETCH(float, spin);
        QFETCH(float, expected);
        ScriptedRandom* script = nullptr;
        auto a = withOneFlag(script);
        a->Sprites[0] = {300, 200, 100, 1, 1, 1, angle, spin, 1.0f, false};
        a->step();
        QCOMPARE(a->Sprites[0].Angle, expected);
        QVERIFY(script->asked.isEmpty());
    }

    void aThousandStepsKeepEveryFlagWithinTheMargin_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {3u, 77u, 65536u, 123456789u})
            QTest::addRow("seed %u", seed) << seed;
    }

    void aThousandStepsKeepEveryFlagWithinTheMargin()
    {
        QFETCH(quint32, seed);
        auto a = animation(std::make_unique<ClockRandom>(seed));
        int turns = 0;
        for (int step = 0; step < 1000; ++step) {
            const QList<int> before = {a->Sprites[0].DZ, a->Sprites[4].DZ};
            a->step();
            turns += int(before != QList<int>{a->Sprites[0].DZ, a->Sprites[4].DZ});
            for (const TSprite& s : a->Sprites) {
                const int r = a->radius(s.Scale);
                if (s.X - r < -8 || s.X + r > 591 + 8 || s.Y - r < -8 || s.Y + r > 356 + 8 || s.Z < 45 || s.Z > 361 ||
                    s.Angle < 0.0f || double(s.Angle) > 2 * std::numbers::pi + 1e-6)
                    QFAIL(qPrintable(QStringLiteral("step %1: X %2, Y %3, Z %4, r %5, angle %6")
                                         .arg(step)
                                         .arg(s.X)
                                         .arg(s.Y)
                                         .arg(s.Z)
                                         .arg(r)
                                         .arg(s.Angle)));
            }
        }
        QVERIFY(turns > 0);
    }

    // The flags leave no trail and never show their frame: after each step every pixel outside the boxes the
    // next step restores is the background's, and no pixel is the key blue.
    void theFrameIsComposedCleanly()
    {
        auto a = animation(std::make_unique<ClockRandom>(99u));
        for (int step = 0; step < 200; ++step) {
            a->step();
            QImage mask(591, 356, QImage::Format_Grayscale8);
            mask.fill(0);
            for (const QRect& box : a->drawnRects())
                for (int y = box.top(); y <= box.bottom(); ++y)
                    for (int x = box.left(); x <= box.right(); ++x)
                        mask.scanLine(y)[x] = 1;
            int drawn = 0;
            for (int y = 0; y < 356; ++y) {
                const uchar* buffer = a->Buffer.constScanLine(y);
                const uchar* back = a->Background.constScanLine(y);
                for (int x = 0; x < 591; ++x) {
                    const uchar* p = buffer + 3 * x;
                    if (p[0] == 0 && p[1] == 0 && p[2] == 255)
                        QFAIL(qPrintable(QStringLiteral("key at %1,%2, step %3").arg(x).arg(y).arg(step)));
                    const bool same = std::equal(p, p + 3, back + 3 * x);
                    if (!same && !mask.constScanLine(y)[x])
                        QFAIL(qPrintable(QStringLiteral("trail at %1,%2, step %3").arg(x).arg(y).arg(step)));
                    drawn += int(!same);
                }
            }
            QVERIFY(drawn > 0);
        }
    }

    // A hidden window's flags only move; once drawn again they stand exactly where drawing every step would
    // have put them, on a frame with no trace of where they were, and only their boxes differ from the
    // background.
    void movingUndrawnThenDrawingCatchesUp_data()
    {
        QTest::addColumn<int>("hidden");
        QTest::addColumn<int>("shownAfter"); // steps once shown again; 0: composed on showing
        QTest::newRow("one step hidden, composed") << 1 << 0;
        QTest::newRow("long hidden, composed") << 157 << 0;
        QTest::newRow("long hidden, then steps") << 157 << 3;
        QTest::newRow("never hidden") << 0 << 4;
    }

    void movingUndrawnThenDrawingCatchesUp()
    {
        QFETCH(int, hidden);
        QFETCH(int, shownAfter);
        const QImage back = readBitmap(kBackground);
        auto drawn = animation(std::make_unique<ClockRandom>(7u), back);
        auto undrawn = animation(std::make_unique<ClockRandom>(7u), back);
        for (int i = 0; i < 20; ++i) {
            drawn->step();
            undrawn->step();
        }
        for (int i = 0; i < hidden; ++i) {
            drawn->step();
            undrawn->advance();
        }
        QCOMPARE(undrawn->isBehind(), hidden > 0);
        if (shownAfter == 0)
            undrawn->compose();
        for (int i = 0; i < shownAfter; ++i) {
            drawn->step();
            undrawn->step();
        }
        QVERIFY(!undrawn->isBehind());
        for (int i = 0; i < SplashAnimation::SpriteCount; ++i) {
            QCOMPARE(undrawn->Sprites[i].X, drawn->Sprites[i].X);
            QCOMPARE(undrawn->Sprites[i].Angle, drawn->Sprites[i].Angle);
        }
        QVERIFY(undrawn->Buffer == drawn->Buffer);
        QImage outside = undrawn->Buffer;
        for (const QRect& r : undrawn->drawnRects())
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(outside.scanLine(y) + 3 * r.left(), undrawn->Background.constScanLine(y) + 3 * r.left(),
                            3 * r.width());
        QVERIFY(outside == undrawn->Background);
    }

    void aRefusedSpriteIsReportedAndNoFlagIsDrawn()
    {
        QImage sprite = readBitmap(kSprite).convertToFormat(QImage::Format_RGB32);
        QStringList messages;
        SplashAnimation a(greyBackground(), sprite, sprite.size(), std::make_unique<ClockRandom>(5u),
                          [&](const QString& m) { messages << m; });
        QCOMPARE(messages, QStringList{"only 8 bit and 24 bit bitmaps are allowed"});
        for (int step = 0; step < 20; ++step)
            a.step();
        QCOMPARE(a.Buffer, a.Background);
    }
};

QTEST_GUILESS_MAIN(TestSplashAnimation)
#include "TestSplashAnimation.moc"
