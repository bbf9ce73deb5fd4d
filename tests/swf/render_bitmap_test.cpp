// Bitmap fills drawn offscreen: lossless bitmaps in every pixel format, JPEG bitmaps of all three
// kinds (shared tables, stray markers, an alpha plane), repeating and clipped fills, smoothing,
// colour transforms, and damaged image data that must draw nothing.
#include "tests/swf/render_fixture.h"

#include <QBuffer>

using namespace swf;
using namespace render_test;

namespace {

// A shape covering x, y .. x + w, y + h (pixels) filled with the bitmap at `scale` stage pixels
// per bitmap pixel, its corner at x, y.
std::uint16_t bitmap_rect(MovieBuilder& m, std::uint16_t bitmap, double x, double y, double w, double h, double scale,
                          bool clipped = false, bool smoothed = false)
{
    ShapeBuilder s;
    s.bitmap_fill(bitmap, Matrix{scale * 20, 0, 0, scale * 20, x * 20, y * 20}, clipped, smoothed).rect(x, y, w, h);
    return m.shape(s);
}

// A JPEG of `image` as an encoder writes it.
std::vector<std::uint8_t> encode_jpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", 100));
    return {bytes.begin(), bytes.end()};
}

// Splits a JPEG into its encoding tables (DQT, DHT) and the rest, each a stream of its own
// with start and end markers, as DefineBits and JPEGTables store them.
std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>> split_tables(const std::vector<std::uint8_t>& jpeg)
{
    std::vector<std::uint8_t> tables{0xFF, 0xD8}, image{0xFF, 0xD8};
    std::size_t i = 2;
    while (i + 4 <= jpeg.size()) {
        std::uint8_t marker = jpeg[i + 1];
        std::size_t length = (std::size_t(jpeg[i + 2]) << 8) | jpeg[i + 3];
        if (marker == 0xDA) {
            image.insert(image.end(), jpeg.begin() + std::ptrdiff_t(i), jpeg.end());
            break;
        }
        auto& out = marker == 0xDB || marker == 0xC4 ? tables : image;
        out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(i), jpeg.begin() + std::ptrdiff_t(i + 2 + length));
        i += 2 + length;
    }
    tables.insert(tables.end(), {0xFF, 0xD9});
    return {tables, image};
}

// 16 x 16: red on the left half, blue on the right.
QImage two_halves()
{
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, x < 8 ? kRed : kBlue);
    return image;
}

std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

struct LosslessCase {
    const char* name;
    LosslessData data;
    QRgb first, second, third; // the first three pixels of the first row, drawn over grey
};

class LosslessFormats : public testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessFormats, PixelsComeOutInTheirColours)
{
    MovieBuilder m = grey_stage(60, 20);
    m.place(bitmap_rect(m, m.bitmap(GetParam().data), 0, 0, 30, 10, 10), 1).show_frame();
    QImage image = draw(m, QSize(60, 20));
    const LosslessCase& c = GetParam();
    EXPECT_TRUE(near(image.pixel(5, 5), c.first, 3)) << describe(image.pixel(5, 5));
    EXPECT_TRUE(near(image.pixel(15, 5), c.second, 3)) << describe(image.pixel(15, 5));
    EXPECT_TRUE(near(image.pixel(25, 5), c.third, 3)) << describe(image.pixel(25, 5));
    EXPECT_EQ(image.pixel(45, 15), kGrey);
}

// Colour-mapped rows are padded to 4 bytes: a width of 3 shows a wrong reading at once.
INSTANTIATE_TEST_SUITE_P(
    Render, LosslessFormats,
    testing::Values(
        LosslessCase{"colour_mapped",
                     {DefineBitsLossless::ColorMapped8, false, 3, 2, 3,
                      {255, 0, 0, 0, 255, 0, 0, 0, 255, /* rows */ 0, 1, 2, 0, 2, 1, 0, 0}},
                     kRed, kGreen, kBlue},
        LosslessCase{"colour_mapped_alpha",
                     {DefineBitsLossless::ColorMapped8, true, 3, 1, 2,
                      {128, 0, 0, 128, 0, 0, 0, 0, /* row */ 0, 1, 0, 0}},
                     qRgb(192, 64, 64), kGrey, qRgb(192, 64, 64)},
        LosslessCase{"rgb15", {DefineBitsLossless::Rgb15, false, 3, 1, 0, {0x7C, 0x00, 0x03, 0xE0, 0x00, 0x1F, 0, 0}},
                     kRed, kGreen, kBlue},
        LosslessCase{"rgb24",
                     {DefineBitsLossless::Rgb24, false, 3, 1, 0, {0, 255, 0, 0, 0, 0, 255, 0, 0, 10, 20, 30}},
                     kRed, kGreen, qRgb(10, 20, 30)},
        LosslessCase{"argb_premultiplied",
                     {DefineBitsLossless::Rgb24, true, 3, 1, 0, {255, 255, 0, 0, 128, 0, 128, 0, 0, 0, 0, 0}},
                     kRed, qRgb(64, 192, 64), kGrey}),
    [](const auto& info) { return std::string(info.param.name); });

struct JpegCase {
    const char* name;
    int version;
    bool tables;                       // DefineBits with the tables in JPEGTables
    bool stray_markers;                // an end and a start marker before the data, as old tools wrote
    bool tables_inside;                // the tables as a stream of their own before the image
};

class JpegBitmaps : public testing::TestWithParam<JpegCase> {};

TEST_P(JpegBitmaps, DecodeInEveryForm)
{
    const JpegCase& c = GetParam();
    MovieBuilder m = grey_stage(40, 20);
    std::vector<std::uint8_t> jpeg = encode_jpeg(two_halves());
    auto [tables, image] = split_tables(jpeg);
    std::vector<std::uint8_t> data = jpeg;
    if (c.tables) {
        m.jpeg_tables(tables);
        data = image;
    } else if (c.tables_inside) {
        data = tables + image;
    }
    if (c.stray_markers)
        data = std::vector<std::uint8_t>{0xFF, 0xD9, 0xFF, 0xD8} + data;
    m.place(bitmap_rect(m, m.jpeg(data, c.version), 0, 0, 32, 16, 2), 1).show_frame();
    QImage drawn = draw(m, QSize(40, 20));
    EXPECT_TRUE(near(drawn.pixel(4, 8), kRed, 24)) << describe(drawn.pixel(4, 8));
    EXPECT_TRUE(near(drawn.pixel(28, 8), kBlue, 24)) << describe(drawn.pixel(28, 8));
    EXPECT_EQ(drawn.pixel(36, 8), kGrey);
}

INSTANTIATE_TEST_SUITE_P(Render, JpegBitmaps,
                         testing::Values(JpegCase{"jpeg2", 2, false, false, false},
                                         JpegCase{"jpeg2_stray_markers", 2, false, true, false},
                                         JpegCase{"jpeg2_tables_inside", 2, false, false, true},
                                         JpegCase{"bits_with_tables", 1, true, false, false},
                                         JpegCase{"bits_with_tables_stray_markers", 1, true, true, false},
                                         JpegCase{"jpeg3_without_alpha_plane", 3, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// DefineBitsJPEG3: the alpha plane makes the right half transparent and the left half opaque.
TEST(Render, JpegAlphaPlane)
{
    MovieBuilder m = grey_stage(40, 20);
    std::vector<std::uint8_t> alpha(16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            alpha[y * 16 + x] = x < 8 ? 255 : x < 12 ? 128 : 0;
    m.place(bitmap_rect(m, m.jpeg(encode_jpeg(two_halves()), 3, alpha), 0, 0, 32, 16, 2), 1).show_frame();
    QImage drawn = draw(m, QSize(40, 20));
    EXPECT_TRUE(near(drawn.pixel(4, 8), kRed, 24)) << describe(drawn.pixel(4, 8));
    EXPECT_TRUE(near(drawn.pixel(19, 8), qRgb(64, 64, 192), 24)) << describe(drawn.pixel(19, 8)); // half blue
    EXPECT_EQ(drawn.pixel(28, 8), kGrey);
}

// Repeating fills tile the bitmap over the shape; clipped fills show it once.
TEST(Render, RepeatingAndClippedFills)
{
    for (bool clipped : {false, true}) {
        MovieBuilder m = grey_stage(60, 10);
        std::uint16_t bitmap = m.bitmap(2, 1, {255, 0, 0, 255, 0, 0, 255, 255});
        m.place(bitmap_rect(m, bitmap, 0, 0, 60, 10, 10, clipped), 1).show_frame();
        QImage image = draw(m, QSize(60, 10));
        EXPECT_EQ(image.pixel(5, 5), kRed) << clipped;
        EXPECT_EQ(image.pixel(15, 5), kBlue) << clipped;
        EXPECT_EQ(image.pixel(25, 5), clipped ? kGrey : kRed);
        EXPECT_EQ(image.pixel(55, 5), clipped ? kGrey : kBlue);
    }
}

// A smoothed fill blends neighbouring bitmap pixels when scaled up; an unsmoothed one shows
// hard blocks.
TEST(Render, SmoothedAndHardBitmapFills)
{
    for (bool smoothed : {false, true}) {
        MovieBuilder m = grey_stage(40, 20);
        std::uint16_t bitmap = m.bitmap(2, 1, {0, 0, 0, 255, 255, 255, 255, 255});
        m.place(bitmap_rect(m, bitmap, 0, 0, 40, 20, 20, true, smoothed), 1).show_frame();
        QRgb edge = draw(m, QSize(40, 20)).pixel(18, 10);
        if (smoothed)
            EXPECT_GT(qRed(edge), 60) << describe(edge);
        else
            EXPECT_EQ(edge, qRgb(0, 0, 0));
    }
}

TEST(Render, ColourTransformsReachBitmapFills)
{
    struct Case {
        ColorTransform cx;
        QRgb expected;
    };
    for (const Case& c : {Case{{0.5, 1, 1, 1, 0, 0, 100, 0}, qRgb(100, 100, 100)}, // every channel
                          Case{{1, 1, 1, 0.5, 0, 0, 0, 0}, qRgb(164, 114, 64)}}) {   // a fade
        MovieBuilder m = grey_stage(20, 20);
        std::uint16_t bitmap = m.bitmap(1, 1, {200, 100, 0, 255});
        PlaceOptions o;
        o.character = bitmap_rect(m, bitmap, 0, 0, 20, 20, 20);
        o.color_transform = c.cx;
        m.place(o).show_frame();
        QRgb p = draw(m, QSize(20, 20)).pixel(10, 10);
        EXPECT_TRUE(near(p, c.expected, 3)) << describe(p) << " expected " << describe(c.expected);
    }
}

struct DamagedCase {
    const char* name;
    std::function<std::uint16_t(MovieBuilder&)> define; // the bitmap's id
};

class DamagedBitmaps : public testing::TestWithParam<DamagedCase> {};

// The fill draws nothing; the rest of the frame is drawn.
TEST_P(DamagedBitmaps, DrawNothing)
{
    MovieBuilder m = grey_stage(40, 20);
    std::uint16_t bitmap = GetParam().define(m);
    m.place(bitmap_rect(m, bitmap, 0, 0, 20, 20, 20), 1);
    ShapeBuilder red;
    red.fill({255, 0, 0}).rect(20, 0, 20, 20);
    m.place(m.shape(red), 2).show_frame();
    QImage image = draw(m, QSize(40, 20));
    EXPECT_EQ(image.pixel(10, 10), kGrey);
    EXPECT_EQ(image.pixel(30, 10), kRed);
}

INSTANTIATE_TEST_SUITE_P(
    Render, DamagedBitmaps,
    testing::Values(
        DamagedCase{"missing", [](MovieBuilder&) { return std::uint16_t(999); }},
        DamagedCase{"jpeg_garbage", [](MovieBuilder& m) { return m.jpeg({0xFF, 0xD8, 1, 2, 3, 4, 5, 0xFF, 0xD9}); }},
        DamagedCase{"jpeg_truncated",
                    [](MovieBuilder& m) {
                        std::vector<std::uint8_t> jpeg = encode_jpeg(two_halves());
                        jpeg.resize(jpeg.size() / 3);
                        return m.jpeg(jpeg);
                    }},
        DamagedCase{"jpeg_without_tables",
                    [](MovieBuilder& m) { return m.jpeg(split_tables(encode_jpeg(two_halves())).second, 1); }},
        DamagedCase{"jpeg3_short_alpha",
                    [](MovieBuilder& m) { return m.jpeg(encode_jpeg(two_halves()), 3, std::vector<std::uint8_t>(10, 255)); }},
        DamagedCase{"lossless_short_data",
                    [](MovieBuilder& m) {
                        return m.bitmap(LosslessData{DefineBitsLossless::Rgb24, false, 64, 64, 0, {1, 2, 3}});
                    }},
        DamagedCase{"lossless_huge", [](MovieBuilder& m) {
                        return m.bitmap(LosslessData{DefineBitsLossless::Rgb24, false, 65535, 65535, 0, std::vector<std::uint8_t>(4096)});
                    }}),
    [](const auto& info) { return std::string(info.param.name); });
