// Text drawn offscreen: static text from embedded fonts (DefineFont2, and DefineFont with its
// info), edit text with embedded glyphs or system fonts (Latin and Chinese), alignment and
// margins, HTML formats, borders, word wrap and scrolling, and damaged fonts.
#include "tests/swf/render_fixture.h"

#include "swf/core/movie_clip.h"
#include "swf/core/text_field.h"
#include "swf/writer/bit_writer.h"

using namespace swf;
using namespace render_test;

namespace {

// Glyphs in the 1024-unit em square: "I" a bar, "O" a square ring, and a space.
FontBuilder blocky()
{
    FontBuilder font("Blocky");
    ShapeBuilder i(1), o(1), space(1);
    i.fill({0, 0, 0}).rect(100, -700, 300, 700);
    o.fill({0, 0, 0}).rect(50, -700, 600, 700).rect(200, -550, 300, 400);
    font.glyph('I', i, 500).glyph('O', o, 700).glyph(' ', space, 300);
    return font;
}

DefineEditText field(Rect bounds_px, double height_px, const char* text)
{
    DefineEditText d;
    d.bounds = {bounds_px.x_min * 20, bounds_px.x_max * 20, bounds_px.y_min * 20, bounds_px.y_max * 20};
    d.font_height = static_cast<std::uint16_t>(height_px * 20);
    d.color = Rgba{0, 0, 0, 255};
    d.initial_text = text;
    d.read_only = true;
    return d;
}

// The x of the leftmost and rightmost marked pixels of the row band, -1 if none.
std::pair<int, int> ink_span(const QImage& image, int top, int bottom, QRgb background)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (marked_pixels(image, QRect(x, top, 1, bottom - top), background) > 0) {
            if (first < 0)
                first = x;
            last = x;
        }
    return {first, last};
}

TextField* first_field(const Player& player)
{
    for (const auto& [depth, child] : player.root()->children())
        if (TextField* f = child->as_text_field())
            return f;
    return nullptr;
}

} // namespace

struct StaticCase {
    const char* name;
    bool font_with_info; // DefineFont + DefineFontInfo rather than DefineFont2
    Rgba color;
    QRgb drawn;
};

class StaticText : public testing::TestWithParam<StaticCase> {};

// "IO" 100 px high from x 10 on the baseline y 80: the bar spans x 20..49, the ring x 64..122
// with its hole at x 78..107, y 26..65.
TEST_P(StaticText, GlyphsFromAnEmbeddedFont)
{
    MovieBuilder m = grey_stage(200, 100);
    FontBuilder font = blocky();
    std::uint16_t id = GetParam().font_with_info ? m.font_with_info(font) : m.font(font);
    m.place(m.text(id, font, "IO", 100, GetParam().color, 10, 80), 1).show_frame();
    QImage image = draw(m, QSize(200, 100));
    EXPECT_TRUE(near(image.pixel(35, 50), GetParam().drawn, 2)) << describe(image.pixel(35, 50));
    EXPECT_TRUE(near(image.pixel(70, 45), GetParam().drawn, 2));
    EXPECT_EQ(image.pixel(93, 45), kGrey); // the hole
    EXPECT_EQ(image.pixel(55, 50), kGrey); // between the glyphs
    EXPECT_EQ(image.pixel(150, 50), kGrey);
}

INSTANTIATE_TEST_SUITE_P(Render, StaticText,
                         testing::Values(StaticCase{"font2", false, {0, 0, 255, 255}, kBlue},
                                         StaticCase{"font_with_info", true, {0, 0, 255, 255}, kBlue},
                                         StaticCase{"translucent", false, {255, 255, 255, 128}, qRgb(192, 192, 192)}),
                         [](const auto& info) { return std::string(info.param.name); });

struct AlignCase {
    const char* name;
    std::uint8_t align;
    std::uint16_t left_margin; // twips
    int ink_from, ink_to;      // expected x span of "IO" at 40 px, within 2 px
};

class EditTextAlignment : public testing::TestWithParam<AlignCase> {};

TEST_P(EditTextAlignment, EmbeddedGlyphsAreAlignedInTheField)
{
    MovieBuilder m = grey_stage(200, 60);
    FontBuilder font = blocky();
    DefineEditText d = field({0, 200, 0, 60}, 40, "IO");
    d.font_id = m.font(font);
    d.use_outlines = true;
    d.has_layout = true;
    d.align = GetParam().align;
    d.left_margin = GetParam().left_margin;
    m.place(m.edit_text(d), 1).show_frame();
    auto [from, to] = ink_span(draw(m, QSize(200, 60)), 5, 40, kGrey);
    EXPECT_NEAR(from, GetParam().ink_from, 2);
    EXPECT_NEAR(to, GetParam().ink_to, 2);
}

// "IO" at 40 px: 46.9 px of advances, ink from 3.9 px after the start to 2 px before the end.
INSTANTIATE_TEST_SUITE_P(Render, EditTextAlignment,
                         testing::Values(AlignCase{"left", 0, 0, 6, 47}, AlignCase{"left_margin", 0, 400, 26, 67},
                                         AlignCase{"right", 1, 0, 155, 196}, AlignCase{"centre", 2, 0, 80, 121}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DeviceCase {
    const char* name;
    const char* font;
    const char* text;
};

class DeviceFonts : public testing::TestWithParam<DeviceCase> {};

// Text in fonts the movie names but does not embed is drawn with the system's fonts, inside
// the field only. Two different Chinese characters must not come out as the same box.
TEST_P(DeviceFonts, LatinAndChineseTextIsDrawn)
{
    auto image_of = [](const char* font_name, const char* text) {
        MovieBuilder m = grey_stage(200, 40);
        DefineEditText d = field({0, 200, 0, 40}, 24, text);
        d.font_id = m.font(FontBuilder(font_name));
        m.place(m.edit_text(d), 1).show_frame();
        return draw(m, QSize(200, 40));
    };
    QImage image = image_of(GetParam().font, GetParam().text);
    EXPECT_GT(marked_pixels(image, QRect(0, 0, 200, 40), kGrey), 60);
    EXPECT_EQ(marked_pixels(image, QRect(120, 0, 80, 40), kGrey), 0); // short texts end early
    if (std::string(GetParam().text) == "你") {
        QImage other = image_of(GetParam().font, "好");
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                differing += near(image.pixel(x, y), other.pixel(x, y), 60) ? 0 : 1;
        EXPECT_GT(differing, 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Render, DeviceFonts,
                         testing::Values(DeviceCase{"sans", "_sans", "Hola"}, DeviceCase{"serif", "_serif", "Hola"},
                                         DeviceCase{"typewriter", "_typewriter", "Hola"},
                                         DeviceCase{"arial", "Arial", "Hola"}, DeviceCase{"unknown", "NoSuchFont", "Hola"},
                                         DeviceCase{"chinese_in_sans", "_sans", "你"},
                                         DeviceCase{"chinese_font", "宋体", "你"}),
                         [](const auto& info) { return std::string(info.param.name); });

// HTML text: colours, bold and sizes per run.
TEST(Render, HtmlFormatsRuns)
{
    auto image_of = [](const char* html) {
        MovieBuilder m = grey_stage(300, 60);
        DefineEditText d = field({0, 300, 0, 60}, 20, html);
        d.font_id = m.font(FontBuilder("_sans"));
        d.html = true;
        m.place(m.edit_text(d), 1).show_frame();
        return draw(m, QSize(300, 60));
    };
    QImage colours = image_of("<p><font color=\"#FF0000\">MMMM</font><font color=\"#0000FF\">MMMM</font></p>");
    auto count = [&colours](QRect area, QRgb c) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += near(colours.pixel(x, y), c, 30) ? 1 : 0;
        return n;
    };
    int half = (ink_span(colours, 0, 60, kGrey).first + ink_span(colours, 0, 60, kGrey).second) / 2;
    EXPECT_GT(count(QRect(0, 0, half, 60), kRed), 20);
    EXPECT_EQ(count(QRect(0, 0, half - 2, 60), kBlue), 0);
    EXPECT_GT(count(QRect(half, 0, 300 - half, 60), kBlue), 20);

    int plain = marked_pixels(image_of("mmmm"), QRect(0, 0, 300, 60), kGrey);
    EXPECT_GT(marked_pixels(image_of("<b>mmmm</b>"), QRect(0, 0, 300, 60), kGrey), plain * 6 / 5);
    EXPECT_GT(marked_pixels(image_of("<font size=\"40\">mmmm</font>"), QRect(0, 0, 300, 60), kGrey), plain * 3);
    EXPECT_GT(ink_span(image_of("<font face=\"_typewriter\">iiii</font>"), 0, 60, kGrey).second,
              ink_span(image_of("iiii"), 0, 60, kGrey).second + 10);
}

// A field with a border has a white background and a black frame.
TEST(Render, BorderAndBackground)
{
    MovieBuilder m = grey_stage(100, 50);
    DefineEditText d = field({10, 90, 10, 40}, 12, "");
    d.font_id = m.font(FontBuilder("_sans"));
    d.border = true;
    m.place(m.edit_text(d), 1).show_frame();
    QImage image = draw(m, QSize(100, 50));
    EXPECT_EQ(image.pixel(50, 25), kWhite);
    EXPECT_LT(qRed(image.pixel(10, 25)), 90);
    EXPECT_LT(qRed(image.pixel(50, 10)), 90);
    EXPECT_EQ(image.pixel(5, 25), kGrey);
}

// "II II II" wraps into three lines of 20 px in a narrow field that shows two; scrolled down a
// line, the second (blue) line is at the top and the third below it.
TEST(Render, WordWrapAndScroll)
{
    MovieBuilder m = grey_stage(40, 50);
    FontBuilder font = blocky();
    DefineEditText d = field({0, 40, 0, 50}, 20,
                             "<font color=\"#FF0000\">II</font> <font color=\"#0000FF\">II</font> "
                             "<font color=\"#00FF00\">II</font>");
    d.font_id = m.font(font);
    d.use_outlines = true;
    d.html = d.multiline = d.word_wrap = true;
    m.place(m.edit_text(d), 1).show_frame();
    auto player = load(m.bytes());
    QImage image = draw(*player, QSize(40, 50));
    EXPECT_EQ(image.pixel(6, 10), kRed);
    EXPECT_EQ(image.pixel(6, 30), kBlue);
    TextField* f = first_field(*player);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->max_scroll(), 2);
    f->set_scroll(2);
    image = draw(*player, QSize(40, 50));
    EXPECT_EQ(image.pixel(6, 10), kBlue);
    EXPECT_EQ(image.pixel(6, 30), kGreen);
}

struct DamagedFontCase {
    const char* name;
    std::function<void(MovieBuilder&)> place; // puts something that cannot be drawn at depth 1
};

class DamagedFonts : public testing::TestWithParam<DamagedFontCase> {};

// What cannot be drawn draws nothing; the red square beside it is drawn.
TEST_P(DamagedFonts, DrawNothing)
{
    MovieBuilder m = grey_stage(100, 50);
    GetParam().place(m);
    ShapeBuilder red;
    red.fill({255, 0, 0}).rect(80, 0, 20, 50);
    m.place(m.shape(red), 2).show_frame();
    QImage image = draw(m, QSize(100, 50));
    EXPECT_EQ(marked_pixels(image, QRect(0, 0, 75, 50), kGrey), 0);
    EXPECT_EQ(image.pixel(90, 25), kRed);
}

namespace {

// DefineText of one record in font `font_id` with the given glyph indexes.
std::uint16_t raw_text(MovieBuilder& m, std::uint16_t font_id, const std::vector<std::uint8_t>& glyphs)
{
    std::uint16_t id = m.allocate_id();
    BitWriter w;
    w.u16(id);
    w.rect({0, 2000, 0, 1000});
    w.matrix({});
    w.u8(8);  // glyph bits
    w.u8(16); // advance bits
    w.u8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
    w.u16(font_id);
    w.rgb({0, 0, 0});
    w.s16(100);
    w.s16(800);
    w.u16(800);
    w.u8(static_cast<std::uint8_t>(glyphs.size()));
    for (std::uint8_t g : glyphs) {
        w.ub(8, g);
        w.sb(16, 400);
    }
    w.align();
    w.u8(0);
    m.tag(TagCode::DefineText, w.take());
    return id;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Render, DamagedFonts,
    testing::Values(
        DamagedFontCase{"missing_font", [](MovieBuilder& m) { m.place(raw_text(m, 999, {0, 1}), 1); }},
        DamagedFontCase{"glyph_out_of_range",
                        [](MovieBuilder& m) { m.place(raw_text(m, m.font(blocky()), {7, 200}), 1); }},
        DamagedFontCase{"damaged_glyph_table",
                        [](MovieBuilder& m) {
                            std::uint16_t font = m.allocate_id();
                            BitWriter w;
                            w.u16(font);
                            w.u8(0x04); // wide codes
                            w.u8(0);
                            w.u8(1);
                            w.u8('X');
                            w.u16(2);          // two glyphs
                            w.u16(6);          // offsets...
                            w.u16(60000);      // ... far beyond the data
                            w.u16(60010);
                            w.bytes({1, 2, 3});
                            m.tag(TagCode::DefineFont2, w.take());
                            m.place(raw_text(m, font, {0, 1}), 1);
                        }},
        DamagedFontCase{"edit_text_with_missing_embedded_font",
                        [](MovieBuilder& m) {
                            DefineEditText d = field({0, 70, 0, 50}, 20, "IOIO");
                            d.font_id = 999;
                            d.use_outlines = true;
                            m.place(m.edit_text(d), 1);
                        }}),
    [](const auto& info) { return std::string(info.param.name); });
