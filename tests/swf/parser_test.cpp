// The parser against real movies from the writer and against damaged files.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>

#include "fuzz/exercise.h"
#include "swf/parser/actions.h"
#include "swf/parser/bitmaps.h"
#include "swf/parser/buttons.h"
#include "swf/parser/control_tags.h"
#include "swf/parser/movie.h"
#include "swf/parser/shapes.h"
#include "swf/parser/tag_codes.h"
#include "swf/parser/text.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/movie_builder.h"

using namespace swf;

namespace {

using ByteVector = std::vector<std::uint8_t>;

ByteVector small_movie(bool compressed = false)
{
    MovieOptions o;
    o.compressed = compressed;
    o.width = 320;
    o.height = 240;
    o.frame_rate = 24.5;
    MovieBuilder m(o);
    m.background({10, 20, 30});
    ShapeBuilder s;
    s.fill({255, 0, 0}).rect(0, 0, 10, 10);
    m.place(m.shape(s), 1);
    m.show_frame();
    m.show_frame();
    return m.bytes();
}

void set_u32(ByteVector& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A movie whose only tag is given raw.
ByteVector movie_with_tag(std::uint16_t code, const ByteVector& body, std::uint8_t version = 6)
{
    MovieOptions o;
    o.version = version;
    MovieBuilder m(o);
    m.tag(code, body);
    return m.bytes();
}

const Tag* first_tag(const Movie& movie, TagCode code)
{
    for (const Tag& t : movie.tags)
        if (t.code == static_cast<std::uint16_t>(code))
            return &t;
    return nullptr;
}

} // namespace

TEST(ParserHeader, ReadsWhatTheWriterWrote)
{
    for (bool compressed : {false, true}) {
        ParseResult r = parse_movie(small_movie(compressed));
        ASSERT_TRUE(r.movie) << r.error;
        const Header& h = r.movie->header;
        EXPECT_EQ(h.compressed, compressed);
        EXPECT_EQ(h.version, 6);
        EXPECT_EQ(h.stage, (Rect{0, 6400, 0, 4800}));
        EXPECT_DOUBLE_EQ(h.frame_rate, 24.5);
        EXPECT_EQ(h.frame_count, 2);
        EXPECT_EQ(h.file_length, r.movie->data.size());
        std::vector<std::uint16_t> codes;
        for (const Tag& t : r.movie->tags)
            codes.push_back(t.code);
        EXPECT_EQ(codes, (std::vector<std::uint16_t>{9, 2, 26, 1, 1}));
        EXPECT_TRUE(r.movie->warnings.empty());
    }
}

struct DamagedFile {
    const char* name;
    ByteVector (*make)();
    const char* reason; // part of the error
};

class ParserRefuses : public testing::TestWithParam<DamagedFile> {};

TEST_P(ParserRefuses, WithAReason)
{
    ParseResult r = parse_movie(GetParam().make());
    EXPECT_FALSE(r.movie);
    EXPECT_NE(r.error.find(GetParam().reason), std::string::npos) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    DamagedFiles, ParserRefuses,
    testing::Values(
        DamagedFile{"empty", [] { return ByteVector{}; }, "too short"},
        DamagedFile{"truncated_header", [] { return ByteVector{'F', 'W', 'S', 6, 30}; }, "too short"},
        DamagedFile{"header_cut_inside_rect",
                    [] {
                        ByteVector b = small_movie();
                        b.resize(10);
                        set_u32(b, 4, 10);
                        return b;
                    },
                    "absurd file length"},
        DamagedFile{"wrong_signature",
                    [] {
                        ByteVector b = small_movie();
                        b[0] = 'G';
                        return b;
                    },
                    "wrong signature"},
        DamagedFile{"png_file", [] { return ByteVector{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0}; }, "wrong signature"},
        DamagedFile{"lzma", [] {
                        ByteVector b = small_movie();
                        b[0] = 'Z';
                        return b;
                    },
                    "LZMA"},
        DamagedFile{"file_truncated",
                    [] {
                        ByteVector b = small_movie();
                        b.resize(b.size() - 5);
                        return b;
                    },
                    "truncated"},
        DamagedFile{"absurd_length",
                    [] {
                        ByteVector b = small_movie();
                        set_u32(b, 4, 0xFFFFFFF0u);
                        return b;
                    },
                    "absurd file length"},
        DamagedFile{"compressed_absurd_length",
                    [] {
                        ByteVector b = small_movie(true);
                        set_u32(b, 4, 200u << 20);
                        return b;
                    },
                    "absurd file length"},
        DamagedFile{"compressed_length_more_than_delivered",
                    [] {
                        ByteVector b = small_movie(true);
                        set_u32(b, 4, 5000);
                        return b;
                    },
                    "ends early"},
        DamagedFile{"broken_zlib",
                    [] {
                        ByteVector b = small_movie(true);
                        for (std::size_t i = 10; i < b.size(); ++i)
                            b[i] ^= 0x5A;
                        return b;
                    },
                    "damaged"},
        DamagedFile{"zlib_cut_short",
                    [] {
                        ByteVector b = small_movie(true);
                        b.resize(b.size() / 2);
                        return b;
                    },
                    "ends early"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParserTagStream, TagRunningPastTheEndKeepsWhatCameBefore)
{
    ByteVector b = small_movie();
    // The End tag's header (last two bytes) becomes a long header claiming a huge body.
    b.resize(b.size() - 2);
    for (std::uint8_t v : {0x3F, 0x00, 0xFF, 0xFF, 0xFF, 0x7F})
        b.push_back(v);
    set_u32(b, 4, static_cast<std::uint32_t>(b.size()));
    ParseResult r = parse_movie(b);
    ASSERT_TRUE(r.movie) << r.error;
    EXPECT_EQ(r.movie->tags.size(), 5u);
    ASSERT_EQ(r.movie->warnings.size(), 1u);
    EXPECT_NE(r.movie->warnings[0].find("runs past the end"), std::string::npos);
}

TEST(ParserTagStream, EveryTagOfVersionsOneToSixHasAName)
{
    for (std::uint16_t code : {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 22, 23, 24, 26,
                               28, 32, 33, 34, 35, 36, 37, 39, 43, 45, 46, 48, 56, 57, 58, 59, 60, 61, 62, 64, 65, 66})
        EXPECT_FALSE(tag_name(code).empty()) << code;
    EXPECT_TRUE(tag_name(200).empty());
}

// Count fields that claim far more items than the bytes could hold fail quickly and cleanly.
TEST(ParserTags, HugeCountsInTinyTagsAreRefused)
{
    struct Case {
        TagCode code;
        ByteVector body;
    } cases[] = {
        // DefineShape2: id, empty rect, extended fill count 0xFFFF of gradients with nothing behind.
        {TagCode::DefineShape2, {1, 0, 0x00, 0xFF, 0xFF, 0xFF, 0x10}},
        // DefineButton2 whose action offset points past the tag.
        {TagCode::DefineButton2, {1, 0, 0, 0xFF, 0x7F, 0}},
        // DefineFont2 claiming 65535 glyphs.
        {TagCode::DefineFont2, {1, 0, 0x08, 0, 1, 'A', 0xFF, 0xFF, 0, 0}},
        // DefineBitsLossless of 65535 x 65535 pixels from four bytes.
        {TagCode::DefineBitsLossless, {1, 0, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C, 3, 0}},
    };
    for (const Case& c : cases) {
        ParseResult r = parse_movie(movie_with_tag(static_cast<std::uint16_t>(c.code), c.body));
        ASSERT_TRUE(r.movie) << r.error;
        const Tag* tag = first_tag(*r.movie, c.code);
        ASSERT_TRUE(tag);
        switch (c.code) {
        case TagCode::DefineShape2: {
            DefineShape shape;
            EXPECT_FALSE(decode_define_shape(*tag, shape));
            EXPECT_LE(shape.shape.fills.size(), c.body.size());
            break;
        }
        case TagCode::DefineButton2: {
            DefineButton button;
            EXPECT_FALSE(decode_define_button(*tag, button));
            break;
        }
        case TagCode::DefineFont2: {
            DefineFont font;
            EXPECT_FALSE(decode_define_font(*tag, font));
            break;
        }
        default: {
            DefineBitsLossless bits;
            ASSERT_TRUE(decode_define_bits_lossless(*tag, bits));
            DecodedBitmap out;
            std::string error;
            EXPECT_FALSE(decode_lossless_pixels(bits, out, &error));
            EXPECT_FALSE(error.empty());
            EXPECT_TRUE(out.pixels.empty());
        }
        }
    }
    // A constant pool claiming 65535 strings in three bytes.
    ByteVector pool{0x88, 3, 0, 0xFF, 0xFF, 'a', 0};
    ActionBlockDecode block = decode_action_block(pool);
    ASSERT_EQ(block.records.size(), 1u);
    ActionOperands ops;
    EXPECT_FALSE(decode_operands(block.records[0], ops));
}

TEST(ParserActions, DecodesEveryPushTypeAndBranchTargets)
{
    ActionAssembler a;
    auto end = a.new_label();
    a.constant_pool({"alpha", "beta"});
    a.push({"text", 2.5, 7, true, ActionAssembler::Value::null(), ActionAssembler::Value::undefined(),
            ActionAssembler::Value::reg(3), ActionAssembler::Value::constant(1), ActionAssembler::Value::constant(300),
            ActionAssembler::Value::float32(0.5f)});
    a.if_true(end).goto_frame(4).get_url("FSCommand:go", "now").bind(end).stop();
    ByteVector code = a.bytes();

    ActionBlockDecode block = decode_action_block(code);
    ASSERT_TRUE(block.complete);
    ASSERT_EQ(block.records.size(), 6u);

    ActionOperands ops;
    ASSERT_TRUE(decode_operands(block.records[1], ops));
    const auto& values = std::get<PushOp>(ops).values;
    ASSERT_EQ(values.size(), 10u);
    using T = PushValue::Type;
    EXPECT_EQ(values[0].string, "text");
    EXPECT_EQ(values[1].type, T::Double);
    EXPECT_DOUBLE_EQ(values[1].number, 2.5);
    EXPECT_EQ(values[2].integer, 7);
    EXPECT_EQ(values[3].type, T::Boolean);
    EXPECT_EQ(values[3].integer, 1);
    EXPECT_EQ(values[4].type, T::Null);
    EXPECT_EQ(values[5].type, T::Undefined);
    EXPECT_EQ(values[6].type, T::Register);
    EXPECT_EQ(values[6].integer, 3);
    EXPECT_EQ(values[7].type, T::Constant8);
    EXPECT_EQ(values[8].type, T::Constant16);
    EXPECT_EQ(values[8].integer, 300);
    EXPECT_EQ(values[9].type, T::Float);
    EXPECT_FLOAT_EQ(static_cast<float>(values[9].number), 0.5f);

    const ActionRecord& branch = block.records[2];
    ASSERT_TRUE(decode_operands(branch, ops));
    std::uint32_t target = branch.end() + std::get<BranchOp>(ops).offset;
    EXPECT_EQ(find_action_at(block.records, target, static_cast<std::uint32_t>(code.size())), 5);
    EXPECT_EQ(find_action_at(block.records, target - 1, static_cast<std::uint32_t>(code.size())), -1);

    ASSERT_TRUE(decode_operands(block.records[4], ops));
    EXPECT_EQ(std::get<GetUrlOp>(ops).url, "FSCommand:go");
    EXPECT_EQ(std::get<GetUrlOp>(ops).target, "now");
}

TEST(ParserActions, DecodesFunctionsAndExceptionBlocks)
{
    BitWriter f2;
    f2.string("area");
    f2.u16(2);
    f2.u8(4);
    f2.u16(DefineFunction2Op::PreloadThis | DefineFunction2Op::PreloadGlobal);
    f2.u8(1);
    f2.string("w");
    f2.u8(2);
    f2.string("h");
    f2.u16(1);
    BitWriter tr;
    tr.u8(0x07); // catch in register, finally, catch
    tr.u16(1);
    tr.u16(2);
    tr.u16(3);
    tr.u8(5);
    ActionAssembler a;
    a.op(ActionCode::DefineFunction2, f2.take()).op(ActionCode::Return);
    a.op(ActionCode::Try, tr.take());
    a.define_function("f", {"x"}, ActionAssembler().push("x").get_variable().op(ActionCode::Return));
    ByteVector code = a.bytes();
    ActionBlockDecode block = decode_action_block(code);
    ASSERT_GE(block.records.size(), 4u);

    ActionOperands ops;
    ASSERT_TRUE(decode_operands(block.records[0], ops));
    const auto& fn2 = std::get<DefineFunction2Op>(ops);
    EXPECT_EQ(fn2.name, "area");
    EXPECT_EQ(fn2.register_count, 4);
    EXPECT_EQ(fn2.flags, DefineFunction2Op::PreloadThis | DefineFunction2Op::PreloadGlobal);
    ASSERT_EQ(fn2.params.size(), 2u);
    EXPECT_EQ(fn2.params[1].reg, 2);
    EXPECT_EQ(fn2.params[1].name, "h");
    EXPECT_EQ(fn2.code_size, 1);

    ASSERT_TRUE(decode_operands(block.records[2], ops));
    const auto& t = std::get<TryOp>(ops);
    EXPECT_TRUE(t.has_catch && t.has_finally && t.catch_in_register);
    EXPECT_EQ(t.catch_register, 5);
    EXPECT_EQ(t.finally_size, 3);

    ASSERT_TRUE(decode_operands(block.records[3], ops));
    const auto& fn = std::get<DefineFunctionOp>(ops);
    EXPECT_EQ(fn.name, "f");
    EXPECT_EQ(fn.params, std::vector<std::string_view>{"x"});
    // The body (Push, GetVariable, Return) follows the record.
    EXPECT_EQ(fn.code_size, block.records[6].end() - block.records[4].offset);
}

TEST(ParserActions, RecordPastTheBlockEndsDecoding)
{
    ByteVector code{0x06, 0x96, 0x20, 0x00, 0x00};
    ActionBlockDecode block = decode_action_block(code);
    EXPECT_FALSE(block.complete);
    EXPECT_EQ(block.records.size(), 1u);
    EXPECT_FALSE(block.error.empty());
}

// Clip event flags are 16 bits wide in SWF 5 and 32 bits from SWF 6.
TEST(ParserControlTags, PlaceObject2ClipActionsFollowTheVersion)
{
    for (std::uint8_t version : {5, 6}) {
        bool wide = version >= 6;
        BitWriter w;
        w.u8(0x80 | 0x02); // clip actions, character
        w.u16(3);
        w.u16(9);
        w.u16(0);
        auto flags = [&](std::uint32_t v) { wide ? w.u32(v) : w.u16(static_cast<std::uint16_t>(v)); };
        flags(ClipLoad | ClipEnterFrame);
        flags(ClipEnterFrame);
        w.u32(2);
        w.u8(0x06);
        w.u8(0);
        flags(ClipLoad);
        w.u32(1);
        w.u8(0);
        flags(0);
        Tag tag{static_cast<std::uint16_t>(TagCode::PlaceObject2), {}, 0, false};
        ByteVector body = w.take();
        tag.body = body;
        PlaceObject place;
        ASSERT_TRUE(decode_place_object(tag, version, place)) << int(version);
        EXPECT_EQ(place.depth, 3);
        EXPECT_EQ(place.character, 9);
        EXPECT_EQ(place.all_clip_events, ClipLoad | ClipEnterFrame);
        ASSERT_EQ(place.clip_actions.size(), 2u);
        EXPECT_EQ(place.clip_actions[0].events, ClipEnterFrame);
        EXPECT_EQ(place.clip_actions[0].actions.size(), 2u);
        EXPECT_EQ(place.clip_actions[1].events, ClipLoad);
        // Read with the other width, the same bytes do not make sense.
        PlaceObject wrong;
        EXPECT_FALSE(decode_place_object(tag, wide ? 5 : 6, wrong) && wrong.clip_actions.size() == 2);
    }
}

TEST(ParserControlTags, PlaceObject2FieldsFromTheWriter)
{
    MovieBuilder m;
    PlaceOptions o;
    o.depth = 7;
    o.character = 3;
    o.matrix = Matrix{2, 0.5, -0.5, 1.5, 200, -40};
    o.color_transform = ColorTransform{0.5, 1, 1, 0.25, 10, -20, 0, 0};
    o.ratio = 9;
    o.name = "box";
    o.clip_depth = 12;
    m.place(o);
    ParseResult r = parse_movie(m.bytes());
    ASSERT_TRUE(r.movie);
    PlaceObject place;
    ASSERT_TRUE(decode_place_object(*first_tag(*r.movie, TagCode::PlaceObject2), 6, place));
    EXPECT_EQ(place.depth, 7);
    EXPECT_FALSE(place.move);
    EXPECT_EQ(place.character, 3);
    EXPECT_EQ(*place.matrix, *o.matrix);
    EXPECT_EQ(*place.color_transform, *o.color_transform);
    EXPECT_EQ(place.ratio, 9);
    EXPECT_EQ(place.name, "box");
    EXPECT_EQ(place.clip_depth, 12);

    MovieBuilder swap;
    PlaceOptions change;
    change.depth = 2;
    change.character = 5;
    change.replace = true;
    swap.place(change).move(2, Matrix{});
    ParseResult s = parse_movie(swap.bytes());
    ASSERT_TRUE(s.movie);
    PlaceObject replaced, moved;
    ASSERT_TRUE(decode_place_object(s.movie->tags[0], 6, replaced));
    ASSERT_TRUE(decode_place_object(s.movie->tags[1], 6, moved));
    EXPECT_TRUE(replaced.move);
    EXPECT_EQ(replaced.character, 5);
    EXPECT_TRUE(moved.move);
    EXPECT_FALSE(moved.character);
}

TEST(ParserShapes, RecordsAndStylesFromTheWriter)
{
    MovieBuilder m;
    ShapeBuilder s;
    s.fill({1, 2, 3, 128}).rect(0, 0, 10, 5).no_fill().line(1.5, {4, 5, 6}).move_to(0, 0).curve_to(5, -5, 10, 0);
    s.linear_gradient({{0, {255, 0, 0}}, {255, {0, 0, 255}}}, {0, 0}, {10, 0}).rect(20, 0, 5, 5);
    m.shape(s);
    ParseResult r = parse_movie(m.bytes());
    ASSERT_TRUE(r.movie);
    DefineShape shape;
    ASSERT_TRUE(decode_define_shape(*first_tag(*r.movie, TagCode::DefineShape3), shape));
    EXPECT_EQ(shape.version, 3);
    ASSERT_EQ(shape.shape.fills.size(), 2u);
    EXPECT_EQ(shape.shape.fills[0].color, (Rgba{1, 2, 3, 128}));
    EXPECT_EQ(shape.shape.fills[1].type, FillStyle::Type::LinearGradient);
    EXPECT_EQ(shape.shape.fills[1].gradient.stops.size(), 2u);
    ASSERT_EQ(shape.shape.lines.size(), 1u);
    EXPECT_EQ(shape.shape.lines[0].width, 30);
    int edges = 0, curves = 0;
    for (const ShapeRecord& rec : shape.shape.records)
        if (const Edge* e = std::get_if<Edge>(&rec)) {
            ++edges;
            curves += e->curved;
        }
    EXPECT_EQ(edges, 9);
    EXPECT_EQ(curves, 1);
    const auto& first = std::get<StyleChange>(shape.shape.records[0]);
    EXPECT_TRUE(first.has_move);
    EXPECT_EQ(first.fill1, 1u); // the rectangle runs clockwise: its fill is on the right
}

TEST(ParserButtons, ConditionActionsAndStates)
{
    MovieBuilder m;
    ButtonBuilder b;
    b.state(ButtonRecord::Up | ButtonRecord::HitTest, 1).state(ButtonRecord::Over, 2, {}, 2);
    b.on(OverDownToOverUp, ActionAssembler().play()).on(IdleToOverUp | OverUpToIdle, ActionAssembler().stop(), 'k');
    m.button(b);
    ParseResult r = parse_movie(m.bytes());
    ASSERT_TRUE(r.movie);
    DefineButton button;
    ASSERT_TRUE(decode_define_button(*first_tag(*r.movie, TagCode::DefineButton2), button));
    ASSERT_EQ(button.records.size(), 2u);
    EXPECT_EQ(button.records[0].states, ButtonRecord::Up | ButtonRecord::HitTest);
    EXPECT_EQ(button.records[1].depth, 2);
    ASSERT_EQ(button.actions.size(), 2u);
    EXPECT_EQ(button.actions[0].conditions, OverDownToOverUp);
    EXPECT_EQ(button.actions[1].conditions, IdleToOverUp | OverUpToIdle);
    EXPECT_EQ(button.actions[1].key_code, 'k');
    EXPECT_EQ(button.actions[0].actions[0], static_cast<std::uint8_t>(ActionCode::Play));
}

namespace {

ByteVector deflate(const ByteVector& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    ByteVector out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

} // namespace

struct LosslessCase {
    const char* name;
    int version;
    DefineBitsLossless::Format format;
    unsigned table;
    ByteVector raw; // uncompressed: colour table, then rows
    std::vector<std::uint32_t> expected; // 2 x 1 pixels, premultiplied ARGB
};

class ParserLossless : public testing::TestWithParam<LosslessCase> {};

TEST_P(ParserLossless, DecodesEveryColourFormat)
{
    const LosslessCase& c = GetParam();
    DefineBitsLossless bits;
    bits.version = c.version;
    bits.format = c.format;
    bits.width = 2;
    bits.height = 1;
    bits.color_table_size = c.table;
    ByteVector compressed = deflate(c.raw);
    bits.zlib_data = compressed;
    DecodedBitmap out;
    std::string error;
    ASSERT_TRUE(decode_lossless_pixels(bits, out, &error)) << error;
    EXPECT_EQ(out.pixels, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ParserLossless,
    testing::Values(
        LosslessCase{"colormapped", 1, DefineBitsLossless::ColorMapped8, 2,
                     {255, 0, 0, 0, 0, 255, /* rows padded to 4 */ 1, 0, 0, 0},
                     {0xFF0000FFu, 0xFFFF0000u}},
        LosslessCase{"colormapped_alpha", 2, DefineBitsLossless::ColorMapped8, 2,
                     {128, 0, 0, 128, 0, 0, 0, 0, 0, 1, 0, 0},
                     {0x80800000u, 0x00000000u}},
        LosslessCase{"rgb15", 1, DefineBitsLossless::Rgb15, 0, {0x7C, 0x00, 0x03, 0xE0}, {0xFFFF0000u, 0xFF00FF00u}},
        LosslessCase{"rgb24", 1, DefineBitsLossless::Rgb24, 0, {0, 1, 2, 3, 0, 250, 251, 252}, {0xFF010203u, 0xFFFAFBFCu}},
        LosslessCase{"argb", 2, DefineBitsLossless::Rgb24, 0, {255, 1, 2, 3, 64, 64, 32, 0}, {0xFF010203u, 0x40402000u}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParserLosslessDamage, TruncatedPixelDataIsRefused)
{
    DefineBitsLossless bits;
    bits.format = DefineBitsLossless::Rgb24;
    bits.width = 4;
    bits.height = 4;
    ByteVector compressed = deflate(ByteVector(20, 7)); // 64 bytes needed
    bits.zlib_data = compressed;
    DecodedBitmap out;
    EXPECT_FALSE(decode_lossless_pixels(bits, out));
}

// Inputs that once crashed or hung the parser (kept by the fuzzer) must now parse cleanly.
TEST(ParserFuzzFindings, ReplayWithoutCrashing)
{
    std::filesystem::path dir = std::filesystem::path(LUMAVO_SWF_FIXTURES) / "fuzz";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        ByteVector data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        fuzz::exercise(data);
    }
}
