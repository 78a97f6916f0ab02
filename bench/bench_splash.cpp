// One step of the credits animation with its five flags: the squares under them restored, each flag
// moved, rendered rotated and scaled, and drawn onto the frame. The second benchmark adds the copy of the
// frame onto a window-sized surface, as the shown window paints it.
#include "BenchMain.h"
#include "app/BitmapFile.h"
#include "app/SplashAnimation.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<SplashAnimation> credits()
{
    const QImage sprite = readBitmap(QStringLiteral(":/images/sprite_bandiera.bmp"));
    auto animation = std::make_unique<SplashAnimation>(readBitmap(QStringLiteral(":/images/credits_sfondo.jpg")),
                                                       sprite, sprite.size(), std::make_unique<ClockRandom>(2026u));
    // Past the start, so the flags are spread over their depths.
    for (int i = 0; i < 200; ++i)
        animation->step();
    return animation;
}

void BM_PassoAnimazione(benchmark::State& state)
{
    const auto animation = credits();
    if (animation->Images.Width == 0) {
        state.SkipWithError("the pictures are missing");
        return;
    }
    for (auto _ : state) {
        animation->step();
        benchmark::DoNotOptimize(animation->Buffer.constBits());
    }
}
BENCHMARK(BM_PassoAnimazione)->Unit(benchmark::kMicrosecond);

void BM_PassoEDisegno(benchmark::State& state)
{
    const auto animation = credits();
    QImage window(591, 356, QImage::Format_RGB32);
    for (auto _ : state) {
        animation->step();
        QPainter painter(&window);
        painter.drawImage(0, 0, animation->Buffer);
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
    }
}
BENCHMARK(BM_PassoEDisegno)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return eseguiBenchmark<QGuiApplication>(argc, argv);
}
