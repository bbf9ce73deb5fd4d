#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "swf/parser/movie.h"
#include "swf/parser/types.h"

namespace swf {

struct GradientStop {
    std::uint8_t ratio = 0; // 0..255 along the gradient
    Rgba color;
};

struct Gradient {
    std::uint8_t spread = 0;        // 0 pad, 1 reflect, 2 repeat
    std::uint8_t interpolation = 0; // 0 normal RGB, 1 linear RGB
    std::vector<GradientStop> stops;
    double focal_point = 0; // focal radial gradients only, -1..1
};

struct FillStyle {
    enum class Type : std::uint8_t {
        Solid = 0x00, LinearGradient = 0x10, RadialGradient = 0x12, FocalGradient = 0x13,
        RepeatingBitmap = 0x40, ClippedBitmap = 0x41, RepeatingBitmapHard = 0x42, ClippedBitmapHard = 0x43,
    };
    Type type = Type::Solid;
    Rgba color;         // Solid
    Matrix matrix;      // gradients (the gradient square is -16384..16384 twips) and bitmaps
    Gradient gradient;  // gradients
    std::uint16_t bitmap_id = 0;

    bool is_gradient() const { return type == Type::LinearGradient || type == Type::RadialGradient || type == Type::FocalGradient; }
    bool is_bitmap() const { return static_cast<std::uint8_t>(type) >= 0x40; }
};

struct LineStyle {
    enum Cap : std::uint8_t { RoundCap = 0, NoCap = 1, SquareCap = 2 };
    enum Join : std::uint8_t { RoundJoin = 0, BevelJoin = 1, MiterJoin = 2 };
    std::uint16_t width = 0; // twips
    Rgba color;
    // The fields below come from the extended line style of DefineShape4.
    Cap start_cap = RoundCap, end_cap = RoundCap;
    Join join = RoundJoin;
    double miter_limit = 3;
    bool no_h_scale = false, no_v_scale = false, pixel_hinting = false, no_close = false;
    bool has_fill = false;
    FillStyle fill;
};

// Style arrays that replace the current ones part-way through a shape.
struct NewStyles {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
};

// A shape record that moves the pen and/or selects styles. Style indexes are 1-based into the
// current style arrays (0 = none); new styles replace those arrays for the records that follow.
// They are rare, so they are held apart: every record of a shape is as small as an edge.
struct StyleChange {
    bool has_move = false;
    std::int32_t move_x = 0, move_y = 0; // absolute, twips
    bool has_fill0 = false, has_fill1 = false, has_line = false;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    std::shared_ptr<const NewStyles> new_styles; // null: the arrays stay
};

// A straight edge (anchor delta only) or a quadratic curve (control, then anchor, each relative
// to the point before it).
struct Edge {
    bool curved = false;
    std::int32_t control_dx = 0, control_dy = 0;
    std::int32_t anchor_dx = 0, anchor_dy = 0;
};

using ShapeRecord = std::variant<StyleChange, Edge>;

struct Shape {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<ShapeRecord> records;
};

struct DefineShape {
    std::uint16_t id = 0;
    int version = 1; // DefineShape 1 to 4
    Rect bounds;
    Rect edge_bounds; // version 4
    bool uses_fill_winding_rule = false; // version 4: non-zero rather than even-odd
    Shape shape;
};

struct MorphFillStyle {
    FillStyle::Type type = FillStyle::Type::Solid;
    Rgba start_color, end_color;
    Matrix start_matrix, end_matrix;
    std::vector<GradientStop> start_stops, end_stops;
    std::uint16_t bitmap_id = 0;
};

struct MorphLineStyle {
    std::uint16_t start_width = 0, end_width = 0;
    Rgba start_color, end_color;
};

struct DefineMorphShape {
    std::uint16_t id = 0;
    Rect start_bounds, end_bounds;
    std::vector<MorphFillStyle> fills;
    std::vector<MorphLineStyle> lines;
    Shape start, end; // `end` has edges only; it shares the style changes of `start`
};

// Reads style arrays (when `with_styles`) and shape records up to the end record. `version`
// is the DefineShape version (1 to 4); glyphs and morph edges use 1 and no styles.
bool read_shape(Reader& r, int version, bool with_styles, Shape& out);
bool decode_define_shape(const Tag& tag, DefineShape& out);
bool decode_define_morph_shape(const Tag& tag, DefineMorphShape& out);

} // namespace swf
