// Movies drawn offscreen: the stage mapping, fills on both sides of edges, transforms, masks.
#include <gtest/gtest.h>

#include <QImage>

#include "swf/core/player.h"
#include "swf/render/renderer.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/movie_builder.h"

using namespace swf;

namespace {

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kGrey = qRgb(128, 128, 128);

QImage draw(const MovieBuilder& movie, QSize size, int ticks = 0)
{
    auto player = Player::create();
    std::string error;
    EXPECT_TRUE(player->load(movie.bytes(), &error)) << error;
    for (int i = 0; i < ticks; ++i)
        player->tick();
    Renderer renderer;
    return renderer.render_image(*player, size).convertToFormat(QImage::Format_RGB32);
}

MovieBuilder grey_stage(double w, double h)
{
    MovieOptions o;
    o.width = w;
    o.height = h;
    MovieBuilder m(o);
    m.background({128, 128, 128});
    return m;
}

} // namespace

// "Show all": one scale, centred; the background fills the bars at the sides too.
TEST(Render, StageIsShownWholeAndCentred)
{
    MovieBuilder m = grey_stage(100, 100);
    ShapeBuilder s;
    s.fill({255, 0, 0}).rect(10, 10, 40, 40);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(400, 200)); // scale 2, stage at x 100..300
    EXPECT_EQ(image.pixel(5, 100), kGrey);    // bar beside the stage
    EXPECT_EQ(image.pixel(395, 100), kGrey);
    EXPECT_EQ(image.pixel(100 + 2 * 30, 2 * 30), kRed);
    EXPECT_EQ(image.pixel(100 + 2 * 5, 2 * 5), kGrey);
    EXPECT_EQ(image.pixel(100 + 2 * 55, 2 * 30), kGrey);
}

// Two squares share an edge that has red on one side and green on the other; the green
// square is written with its fill on the left of every edge.
TEST(Render, FillsOnBothSidesOfEdgesMakeClosedAreas)
{
    MovieBuilder m = grey_stage(100, 50);
    BitWriter w;
    std::uint16_t id = m.allocate_id();
    w.u16(id);
    w.rect({0, 2000, 0, 1000});
    w.u8(2);
    w.u8(0x00);
    w.rgb({255, 0, 0});
    w.u8(0x00);
    w.rgb({0, 255, 0});
    w.u8(0);
    w.ub(4, 2); // fill bits
    w.ub(4, 0); // line bits
    auto style = [&w](bool move, int x, int y, int fill0, int fill1) {
        w.ub(1, 0);
        w.ub(1, 0); // new styles
        w.ub(1, 0); // line
        w.ub(1, 1); // fill 1
        w.ub(1, 1); // fill 0
        w.ub(1, move);
        if (move) {
            w.ub(5, 14);
            w.sb(14, x);
            w.sb(14, y);
        }
        w.ub(2, fill0);
        w.ub(2, fill1);
    };
    auto edge = [&w](int dx, int dy) {
        w.ub(2, 3); // edge, straight
        w.ub(4, 12);
        w.ub(1, 0); // not general
        w.ub(1, dx == 0); // vertical
        w.sb(14, dx == 0 ? dy : dx);
    };
    style(true, 0, 0, 0, 1);
    edge(1000, 0);
    style(false, 0, 0, 2, 1); // the shared edge
    edge(0, 1000);
    style(false, 0, 0, 0, 1);
    edge(-1000, 0);
    edge(0, -1000);
    style(true, 1000, 1000, 2, 0);
    edge(1000, 0);
    edge(0, -1000);
    edge(-1000, 0);
    w.ub(6, 0);
    m.tag(TagCode::DefineShape, w.take());
    m.place(id, 1).show_frame();
    QImage image = draw(m, QSize(100, 50));
    EXPECT_EQ(image.pixel(25, 25), kRed);
    EXPECT_EQ(image.pixel(75, 25), kGreen);
    EXPECT_EQ(image.pixel(48, 25), kRed);
    EXPECT_EQ(image.pixel(52, 25), kGreen);
}

TEST(Render, HolesCurvesAndLines)
{
    MovieBuilder m = grey_stage(200, 100);
    ShapeBuilder s;
    s.fill({0, 0, 255}).rect(0, 0, 100, 100).rect(25, 25, 50, 50); // a frame: the inner square is a hole
    s.fill({255, 0, 0}).circle(150, 50, 40);
    s.no_fill().line(6, {0, 255, 0}).move_to(100, 95).line_to(200, 95);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(200, 100));
    EXPECT_EQ(image.pixel(10, 50), kBlue);
    EXPECT_EQ(image.pixel(50, 50), kGrey);
    EXPECT_EQ(image.pixel(150, 50), kRed);
    EXPECT_EQ(image.pixel(150 + 37, 50), kRed);  // inside the curved outline
    EXPECT_EQ(image.pixel(150 + 32, 50 - 32), kGrey); // outside it, inside the bounding box
    EXPECT_EQ(image.pixel(120, 95), kGreen);
    EXPECT_EQ(image.pixel(120, 90), kGrey); // the line is 6 pixels wide, centred
}

TEST(Render, MatricesAndColourTransformsApplyDownTheTree)
{
    MovieBuilder m = grey_stage(200, 100);
    ShapeBuilder s;
    s.fill({255, 0, 0}).rect(0, 0, 10, 10);
    std::uint16_t shape = m.shape(s);
    SpriteBuilder inner;
    inner.place(shape, 1, Matrix{2, 0, 0, 2, 0, 0}).show_frame(); // 20 x 20
    std::uint16_t sprite = m.sprite(inner);
    PlaceOptions o;
    o.character = sprite;
    o.depth = 1;
    o.matrix = Matrix{1, 0, 0, 1, 100 * 20, 40 * 20};
    o.color_transform = ColorTransform{0, 1, 1, 1, 0, 0, 255, 0}; // red off, blue full
    m.place(o).show_frame();
    QImage image = draw(m, QSize(200, 100));
    EXPECT_EQ(image.pixel(110, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(125, 50), kGrey);
    EXPECT_EQ(image.pixel(95, 50), kGrey);
}

TEST(Render, ClipDepthMasksTheLayersAboveIt)
{
    MovieBuilder m = grey_stage(100, 100);
    ShapeBuilder mask, big;
    mask.fill({0, 0, 0}).rect(0, 0, 50, 100);
    big.fill({255, 0, 0}).rect(0, 0, 100, 100);
    PlaceOptions o;
    o.character = m.shape(mask);
    o.depth = 1;
    o.clip_depth = 2;
    m.place(o);
    std::uint16_t red = m.shape(big);
    m.place(red, 2);
    ShapeBuilder above;
    above.fill({0, 0, 255}).rect(0, 80, 100, 20);
    m.place(m.shape(above), 3).show_frame();
    QImage image = draw(m, QSize(100, 100));
    EXPECT_EQ(image.pixel(25, 50), kRed);   // masked in
    EXPECT_EQ(image.pixel(75, 50), kGrey);  // masked out; the mask itself is not drawn
    EXPECT_EQ(image.pixel(75, 90), kBlue);  // above the masked range
}

TEST(Render, GradientRunsBetweenItsStops)
{
    MovieBuilder m = grey_stage(100, 10);
    ShapeBuilder s;
    s.linear_gradient({{0, {255, 0, 0}}, {255, {0, 0, 255}}}, {0, 0}, {100, 0}).rect(0, 0, 100, 10);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(100, 10));
    EXPECT_GT(qRed(image.pixel(2, 5)), 240);
    EXPECT_GT(qBlue(image.pixel(97, 5)), 240);
    EXPECT_NEAR(qRed(image.pixel(50, 5)), 128, 12);
}

// Stops blend channel by channel with their alpha: halfway from opaque yellow to transparent
// black is half-transparent dark yellow, which darkens white to about (191, 191, 128).
TEST(Render, GradientBlendsAlphaWithTheColour)
{
    MovieOptions o;
    o.width = 100;
    o.height = 10;
    MovieBuilder m(o);
    m.background({255, 255, 255});
    ShapeBuilder s;
    s.linear_gradient({{0, {255, 255, 0, 255}}, {255, {0, 0, 0, 0}}}, {0, 0}, {100, 0}).rect(0, 0, 100, 10);
    m.place(m.shape(s), 1).show_frame();
    QRgb middle = draw(m, QSize(100, 10)).pixel(50, 5);
    EXPECT_NEAR(qRed(middle), 191, 12);
    EXPECT_NEAR(qBlue(middle), 128, 12);
}

TEST(Render, TimelineChangesShowAfterTicks)
{
    MovieBuilder m = grey_stage(10, 10);
    ShapeBuilder s;
    s.fill({255, 0, 0}).rect(0, 0, 10, 10);
    m.place(m.shape(s), 1).show_frame();
    m.remove(1).show_frame();
    EXPECT_EQ(draw(m, QSize(10, 10), 1).pixel(5, 5), kRed);
    EXPECT_EQ(draw(m, QSize(10, 10), 2).pixel(5, 5), kGrey);
}
