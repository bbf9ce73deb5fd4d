// Shapes drawn offscreen: the stage mapping, fills on both sides of edges, gradients, lines,
// morph shapes, transforms, colour transforms and masks.
#include "tests/swf/render_fixture.h"

#include "swf/writer/bit_writer.h"

using namespace swf;
using namespace render_test;

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

// A focal gradient starts its first colour at the focus, not at the centre.
TEST(Render, FocalGradientStartsAtItsFocus)
{
    MovieBuilder m = grey_stage(100, 100);
    ShapeBuilder s;
    s.focal_gradient({{0, {255, 0, 0}}, {255, {0, 0, 255}}}, {50, 50}, 50, 0.8).rect(0, 0, 100, 100);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(100, 100));
    QRgb focus = image.pixel(90, 50), centre = image.pixel(50, 50), rim = image.pixel(3, 50);
    EXPECT_GT(qRed(focus), 220) << describe(focus);
    EXPECT_NEAR(qRed(centre), 140, 30) << describe(centre); // 0.8 r from the focus, 1.8 r to the rim
    EXPECT_GT(qBlue(rim), 220) << describe(rim);
}

TEST(Render, RadialGradientRunsFromCentreToRim)
{
    MovieBuilder m = grey_stage(100, 100);
    ShapeBuilder s;
    s.radial_gradient({{0, {255, 255, 255}}, {255, {0, 0, 0}}}, {50, 50}, 50).rect(0, 0, 100, 100);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(100, 100));
    EXPECT_GT(qRed(image.pixel(50, 50)), 245);
    EXPECT_NEAR(qRed(image.pixel(75, 50)), 128, 10);
    EXPECT_LT(qRed(image.pixel(99, 50)), 10);
    EXPECT_LT(qRed(image.pixel(2, 2)), 10); // beyond the rim the last colour goes on
}

struct CapCase {
    LineStyle::Cap cap;
    bool past_end;   // a pixel 3 px beyond the line's end, on its axis
    bool beside_end; // 4 px beyond and 4 px aside: only a square cap reaches it
};

class LineCaps : public testing::TestWithParam<CapCase> {};

TEST_P(LineCaps, EndsOfAThickLine)
{
    MovieBuilder m = grey_stage(100, 40);
    LineStyle l;
    l.width = 10 * 20;
    l.color = {0, 0, 255};
    l.start_cap = l.end_cap = GetParam().cap;
    ShapeBuilder s;
    s.line(l).move_to(20, 20).line_to(80, 20);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(100, 40));
    EXPECT_EQ(image.pixel(50, 20), kBlue);
    EXPECT_EQ(image.pixel(16, 20) == kBlue, GetParam().past_end);
    EXPECT_EQ(image.pixel(83, 20) == kBlue, GetParam().past_end);
    EXPECT_EQ(image.pixel(15, 16) == kBlue, GetParam().beside_end);
}

INSTANTIATE_TEST_SUITE_P(Render, LineCaps,
                         testing::Values(CapCase{LineStyle::RoundCap, true, false}, CapCase{LineStyle::NoCap, false, false},
                                         CapCase{LineStyle::SquareCap, true, true}));

// Lines thinner than a pixel on screen are drawn one pixel wide rather than vanishing.
TEST(Render, ThinLinesStayVisible)
{
    MovieBuilder m = grey_stage(200, 200);
    ShapeBuilder s;
    s.line(0, {255, 0, 0}).move_to(10, 100).line_to(190, 100); // a hairline
    s.line(0.5, {0, 0, 255}).move_to(100, 10).line_to(100, 190);
    m.place(m.shape(s), 1).show_frame();
    QImage image = draw(m, QSize(100, 100)); // scale 0.5
    EXPECT_GT(marked_pixels(image, QRect(10, 48, 20, 4), kGrey), 15);
    EXPECT_GT(marked_pixels(image, QRect(48, 10, 4, 20), kGrey), 15);
}

// Shapes defined in a later style block (new styles mid-shape) keep their own fills and
// lines, drawn above the earlier ones.
TEST(Render, NewStylesMidShapeDrawAboveTheEarlierOnes)
{
    MovieBuilder m = grey_stage(100, 50);
    BitWriter w;
    std::uint16_t id = m.allocate_id();
    w.u16(id);
    w.rect({0, 2000, 0, 1000});
    w.u8(1);
    w.u8(0x00);
    w.rgb({255, 0, 0});
    w.u8(0);
    w.ub(4, 1);
    w.ub(4, 0);
    auto square = [&w](int size) {
        w.ub(2, 3); // edge, straight, 14 bits, horizontal
        w.ub(4, 12);
        w.ub(2, 0);
        w.sb(14, size);
        w.ub(2, 3);
        w.ub(4, 12);
        w.ub(2, 1);
        w.sb(14, size);
        w.ub(2, 3);
        w.ub(4, 12);
        w.ub(2, 0);
        w.sb(14, -size);
        w.ub(2, 3);
        w.ub(4, 12);
        w.ub(2, 1);
        w.sb(14, -size);
    };
    // Red square 0..1000 twips with fill 1 on the right (clockwise).
    w.ub(1, 0);
    w.ub(5, 0x05); // fill1 + move
    w.ub(5, 14);
    w.sb(14, 0);
    w.sb(14, 0);
    w.ub(1, 1); // fill 1
    square(1000);
    // New styles: one green fill, and a square overlapping the red one.
    w.ub(1, 0);
    w.ub(5, 0x15); // new styles + fill1 + move
    w.ub(5, 14);
    w.sb(14, 500);
    w.sb(14, 0);
    w.ub(1, 1); // fill 1 of the new styles, written with the old bit count
    w.u8(1);
    w.u8(0x00);
    w.rgb({0, 255, 0});
    w.u8(0);
    w.ub(4, 1);
    w.ub(4, 0);
    square(1000);
    w.ub(6, 0);
    m.tag(TagCode::DefineShape, w.take());
    m.place(id, 1).show_frame();
    QImage image = draw(m, QSize(100, 50));
    EXPECT_EQ(image.pixel(10, 25), kRed);
    EXPECT_EQ(image.pixel(40, 25), kGreen); // both squares: the new layer is on top
    EXPECT_EQ(image.pixel(60, 25), kGreen);
    EXPECT_EQ(image.pixel(90, 25), kGrey);
}

struct MorphCase {
    std::uint16_t ratio;
    int covered_from, covered_to; // x range of the bar, pixels
    QRgb color;
};

class MorphRatios : public testing::TestWithParam<MorphCase> {};

// A bar slides from x 0..40 to 60..100 and turns from red to blue; its top edge bows from
// straight to curved.
TEST_P(MorphRatios, EdgesAndFillsAreBlended)
{
    MovieBuilder m = grey_stage(100, 40);
    ShapeBuilder start, end;
    start.fill({255, 0, 0, 255}).move_to(0, 10).line_to(40, 10).line_to(40, 30).line_to(0, 30).close();
    end.fill({0, 0, 255, 255}).move_to(60, 10).curve_to(80, 0, 100, 10).line_to(100, 30).line_to(60, 30).close();
    PlaceOptions o;
    o.character = m.morph_shape(start, end);
    o.ratio = GetParam().ratio;
    m.place(o).show_frame();
    QImage image = draw(m, QSize(100, 40));
    const MorphCase& c = GetParam();
    int middle = (c.covered_from + c.covered_to) / 2;
    EXPECT_TRUE(near(image.pixel(middle, 20), c.color, 3)) << describe(image.pixel(middle, 20));
    EXPECT_EQ(image.pixel(c.covered_from + 2, 20), image.pixel(middle, 20));
    EXPECT_EQ(image.pixel(c.covered_to - 2, 20), image.pixel(middle, 20));
    if (c.covered_from >= 3) {
        EXPECT_EQ(image.pixel(c.covered_from - 3, 20), kGrey);
    }
    if (c.covered_to + 3 < 100) {
        EXPECT_EQ(image.pixel(c.covered_to + 3, 20), kGrey);
    }
    if (c.ratio == 65535) {
        EXPECT_NE(image.pixel(80, 8), kGrey); // under the curve's top
    }
}

INSTANTIATE_TEST_SUITE_P(Render, MorphRatios,
                         testing::Values(MorphCase{0, 0, 40, kRed}, MorphCase{32768, 30, 70, qRgb(128, 0, 127)},
                                         MorphCase{65535, 60, 100, kBlue}));

// The ratio changes over the timeline; each step is drawn at its own ratio.
TEST(Render, MorphFollowsTheRatioOfEachFrame)
{
    MovieBuilder m = grey_stage(100, 20);
    ShapeBuilder start, end;
    start.fill({255, 0, 0}).rect(0, 0, 20, 20);
    end.fill({255, 0, 0}).rect(80, 0, 20, 20);
    std::uint16_t morph = m.morph_shape(start, end);
    PlaceOptions o;
    o.character = morph;
    o.ratio = 0;
    m.place(o).show_frame();
    PlaceOptions step;
    step.ratio = 65535;
    m.place(step).show_frame();
    EXPECT_EQ(draw(m, QSize(100, 20), 0).pixel(10, 10), kRed);
    QImage after = draw(m, QSize(100, 20), 2);
    EXPECT_EQ(after.pixel(10, 10), kGrey);
    EXPECT_EQ(after.pixel(90, 10), kRed);
}

struct CxCase {
    const char* name;
    ColorTransform parent, child;
    QRgb expected; // the shape's (200, 100, 50) over grey
};

class ColourTransforms : public testing::TestWithParam<CxCase> {};

TEST_P(ColourTransforms, MultiplyAndAddWithAndWithoutAlpha)
{
    MovieBuilder m = grey_stage(20, 20);
    ShapeBuilder s;
    s.fill({200, 100, 50}).rect(0, 0, 20, 20);
    SpriteBuilder inner;
    PlaceOptions child;
    child.character = m.shape(s);
    child.color_transform = GetParam().child;
    inner.place(child).show_frame();
    PlaceOptions parent;
    parent.character = m.sprite(inner);
    parent.color_transform = GetParam().parent;
    m.place(parent).show_frame();
    QRgb p = draw(m, QSize(20, 20)).pixel(10, 10);
    EXPECT_TRUE(near(p, GetParam().expected, 2)) << describe(p);
}

INSTANTIATE_TEST_SUITE_P(
    Render, ColourTransforms,
    testing::Values(CxCase{"identity", {}, {}, qRgb(200, 100, 50)},
                    CxCase{"multiply", {0.5, 0.5, 0.5, 1, 0, 0, 0, 0}, {}, qRgb(100, 50, 25)},
                    CxCase{"add", {}, {1, 1, 1, 1, 50, -100, 100, 0}, qRgb(250, 0, 150)},
                    CxCase{"clamped", {}, {2, 1, 1, 1, 0, 0, 0, 0}, qRgb(255, 100, 50)},
                    CxCase{"alpha_multiply", {1, 1, 1, 0.5, 0, 0, 0, 0}, {}, qRgb(164, 114, 89)},
                    CxCase{"alpha_add", {}, {1, 1, 1, 1, 0, 0, 0, -128}, qRgb(164, 114, 89)},
                    CxCase{"nested", {0.5, 0.5, 0.5, 1, 0, 0, 0, 0}, {1, 1, 1, 1, 20, 20, 20, 0}, qRgb(110, 60, 35)}),
    [](const auto& info) { return std::string(info.param.name); });

// Sprites inside sprites: each level's matrix applies to everything below it.
TEST(Render, NestedSpritesComposeTheirMatrices)
{
    MovieBuilder m = grey_stage(200, 200);
    ShapeBuilder s;
    s.fill({255, 0, 0}).rect(0, 0, 10, 10);
    SpriteBuilder inner;
    inner.place(m.shape(s), 1, at_pixels(10, 0)).show_frame(); // moved 10 px right
    std::uint16_t inner_id = m.sprite(inner);
    SpriteBuilder outer;
    outer.place(inner_id, 1, Matrix{2, 0, 0, 2, 0, 0}).show_frame(); // doubled: 20 x 20 at x 20
    std::uint16_t outer_id = m.sprite(outer);
    m.place(outer_id, 1, Matrix{0, 1, -1, 0, 100 * 20, 50 * 20}).show_frame(); // turned 90 degrees, at (100, 50)
    QImage image = draw(m, QSize(200, 200));
    // The square covers x 20..40, y 0..20 inside; turned, that is x -20..0, y 20..40 around (100, 50).
    EXPECT_EQ(image.pixel(90, 80), kRed);
    EXPECT_EQ(image.pixel(110, 80), kGrey);
    EXPECT_EQ(image.pixel(90, 60), kGrey);
}

// A mask clips everything up to its clip depth, also inside a sprite; a sprite can be a mask.
TEST(Render, SpritesMaskAndAreMasked)
{
    MovieBuilder m = grey_stage(100, 100);
    ShapeBuilder half, whole;
    half.fill({0, 0, 0}).rect(0, 0, 100, 50);
    whole.fill({0, 0, 255}).rect(0, 0, 100, 100);
    SpriteBuilder mask;
    mask.place(m.shape(half), 1).show_frame();
    std::uint16_t mask_id = m.sprite(mask);
    SpriteBuilder content;
    content.place(m.shape(whole), 1).show_frame();
    std::uint16_t content_id = m.sprite(content);
    PlaceOptions o;
    o.character = mask_id;
    o.depth = 1;
    o.clip_depth = 5;
    o.matrix = Matrix{1, 0, 0, 1, 0, 25 * 20};
    m.place(o);
    m.place(content_id, 2).show_frame();
    QImage image = draw(m, QSize(100, 100));
    EXPECT_EQ(image.pixel(50, 10), kGrey);
    EXPECT_EQ(image.pixel(50, 50), kBlue);
    EXPECT_EQ(image.pixel(50, 90), kGrey);
}

// A renderer that draws frame after frame copies the pixels of shapes that only moved or stayed;
// each frame must look as a fresh renderer draws it.
TEST(Render, KeptDrawingsLookLikeFreshOnes)
{
    MovieBuilder m = grey_stage(200, 100);
    ShapeBuilder moving, still, mask;
    moving.radial_gradient({{0, {255, 255, 0}}, {255, {0, 0, 255}}}, {10, 10}, 10).line(2, {0, 0, 0}).circle(10, 10, 10);
    still.fill({0, 160, 0}).line(1, {255, 255, 255}).rect(0, 0, 60, 40);
    mask.fill({0, 0, 0}).rect(0, 0, 120, 100);
    std::uint16_t moving_id = m.shape(moving), still_id = m.shape(still);
    PlaceOptions clip;
    clip.character = m.shape(mask);
    clip.depth = 1;
    clip.clip_depth = 3;
    m.place(clip);
    m.place(still_id, 2, at_pixels(20.5, 30.25));
    m.place(moving_id, 3, at_pixels(0, 20)).show_frame();
    for (int i = 1; i < 6; ++i)
        m.move(3, at_pixels(i * 23.3, 20 + i * 3.5)).show_frame();
    auto player = load(m.bytes());
    Renderer kept;
    for (int frame = 0; frame < 6; ++frame) {
        QImage a = kept.render_image(*player, QSize(200, 100)).convertToFormat(QImage::Format_RGB32);
        Renderer fresh;
        QImage b = fresh.render_image(*player, QSize(200, 100)).convertToFormat(QImage::Format_RGB32);
        int differing = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                differing += near(a.pixel(x, y), b.pixel(x, y), 2) ? 0 : 1;
        EXPECT_EQ(differing, 0) << "frame " << frame;
        player->tick();
    }
}

// Shapes a damaged or hostile movie may hold draw what they can, and the frame goes on.
TEST(Render, OddShapesDrawWithoutHarm)
{
    MovieBuilder m = grey_stage(100, 50);
    ShapeBuilder start, end, huge, flat;
    start.fill({0, 0, 255}).rect(0, 0, 40, 40);
    end.fill({0, 0, 255}).polygon({{0, 0}, {40, 0}, {20, 40}}); // fewer edges than the start
    huge.fill({0, 255, 0}).rect(-5e6, -5e6, 1e7, 1e7);
    flat.fill({0, 0, 0}).line(4, {0, 0, 0}).rect(10, 10, 20, 20);
    PlaceOptions morph;
    morph.character = m.morph_shape(start, end);
    morph.ratio = 30000;
    m.place(morph);
    PlaceOptions far;
    far.character = m.shape(huge);
    far.depth = 2;
    far.matrix = Matrix{1e-4, 0, 0, 1e-4, 0, 0};
    m.place(far);
    PlaceOptions squashed;
    squashed.character = m.shape(flat);
    squashed.depth = 3;
    squashed.matrix = Matrix{0, 0, 0, 0, 0, 0}; // scaled to nothing
    m.place(squashed);
    ShapeBuilder red;
    red.fill({255, 0, 0}).rect(80, 0, 20, 50);
    m.place(m.shape(red), 4).show_frame();
    QImage image = draw(m, QSize(100, 50), 1);
    EXPECT_EQ(image.pixel(90, 25), kRed);
}
