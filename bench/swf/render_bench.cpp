// Drawing a full 800 x 600 stage of many shapes against filling it with one colour (as frames
// follow each other, and with every shape at a new size so no earlier pixels can be reused),
// and one timeline step that moves 200 placed objects against a step on an empty stage.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

#include "swf/core/player.h"
#include "swf/render/renderer.h"
#include "swf/writer/movie_builder.h"

namespace {

// The renderer needs a GUI application (fonts); offscreen, so no display is needed.
QGuiApplication& application()
{
    static int argc = 1;
    static char name[] = "swf_render_bench";
    static char* argv[] = {name, nullptr};
    static bool platform = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    (void)platform;
    return app;
}

std::shared_ptr<swf::Player> load(const swf::MovieBuilder& movie)
{
    application();
    auto player = swf::Player::create();
    std::string error;
    if (!player->load(movie.bytes(), &error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return player;
}

// 400 objects over the stage, as a busy lesson page has them: outlined rectangles, circles
// with gradients, curved strokes, nested in a few sprites with colour transforms.
swf::MovieBuilder shape_heavy_frame()
{
    swf::MovieOptions o;
    o.width = 800;
    o.height = 600;
    swf::MovieBuilder m(o);
    m.background({255, 255, 240});
    swf::SpriteBuilder group;
    for (int i = 0; i < 100; ++i) {
        swf::ShapeBuilder s;
        std::uint8_t c = std::uint8_t(i * 2);
        switch (i % 4) {
        case 0: s.fill({c, 80, 160}).line(1, {0, 0, 0}).rect(0, 0, 60, 30); break;
        case 1: s.radial_gradient({{0, {255, 255, 255}}, {255, {c, 0, 90}}}, {20, 20}, 20).circle(20, 20, 20); break;
        case 2: s.line(3, {c, 120, 0}).move_to(0, 0).curve_to(30, -30, 60, 0).curve_to(90, 30, 120, 0); break;
        default: s.linear_gradient({{0, {c, 200, 0}}, {255, {0, 0, c}}}, {0, 0}, {80, 0}).rect(0, 0, 80, 40); break;
        }
        group.place(m.shape(s), std::uint16_t(i + 1), swf::at_pixels((i * 37) % 360, (i * 53) % 260));
    }
    group.show_frame();
    std::uint16_t sprite = m.sprite(group);
    for (int g = 0; g < 4; ++g) {
        swf::PlaceOptions p;
        p.character = sprite;
        p.depth = std::uint16_t(g + 1);
        p.matrix = swf::at_pixels((g % 2) * 400, (g / 2) * 300);
        if (g == 3)
            p.color_transform = swf::ColorTransform{0.5, 0.8, 1, 0.9, 20, 0, 0, 0};
        m.place(p);
    }
    m.show_frame();
    return m;
}

void BM_FillStageWithOneColour(benchmark::State& state)
{
    application();
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor(255, 255, 240));
        painter.end();
        benchmark::DoNotOptimize(image.bits());
    }
}

void BM_DrawShapeHeavyStage(benchmark::State& state)
{
    auto player = load(shape_heavy_frame());
    swf::Renderer renderer;
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        renderer.render(painter, *player, QRectF(0, 0, 800, 600));
        painter.end();
        benchmark::DoNotOptimize(image.bits());
    }
}

// The stage drawn a pixel smaller or larger each time: every shape at a new scale.
void BM_DrawShapeHeavyStageRescaled(benchmark::State& state)
{
    auto player = load(shape_heavy_frame());
    swf::Renderer renderer;
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        QPainter painter(&image);
        double shrink = ++step % 64;
        renderer.render(painter, *player, QRectF(0, 0, 800 - shrink, 600 - shrink * 0.75));
        painter.end();
        benchmark::DoNotOptimize(image.bits());
    }
}

// Two frames, looping: the second moves every object, the first puts them back.
swf::MovieBuilder moving_objects(int count)
{
    swf::MovieOptions o;
    o.width = 800;
    o.height = 600;
    swf::MovieBuilder m(o);
    swf::ShapeBuilder s;
    s.fill({200, 0, 0}).rect(0, 0, 10, 10);
    std::uint16_t shape = m.shape(s);
    for (int i = 0; i < count; ++i)
        m.place(shape, std::uint16_t(i + 1), swf::at_pixels(i % 80 * 10, i / 80 * 10));
    m.show_frame();
    for (int i = 0; i < count; ++i)
        m.move(std::uint16_t(i + 1), swf::at_pixels(i % 80 * 10 + 5, i / 80 * 10));
    m.show_frame();
    return m;
}

void BM_TimelineStep(benchmark::State& state)
{
    auto player = load(moving_objects(int(state.range(0))));
    for (auto _ : state)
        player->tick();
}

} // namespace

BENCHMARK(BM_FillStageWithOneColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawShapeHeavyStage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawShapeHeavyStageRescaled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimelineStep)->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);
