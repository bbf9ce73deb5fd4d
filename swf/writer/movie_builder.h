#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/parser/bitmaps.h"
#include "swf/parser/buttons.h"
#include "swf/parser/sounds.h"
#include "swf/parser/text.h"
#include "swf/parser/tag_codes.h"
#include "swf/parser/types.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/shape_builder.h"

namespace swf {

struct PlaceOptions {
    std::uint16_t depth = 1;
    std::optional<std::uint16_t> character; // absent: modify what is at the depth
    bool replace = false;                    // with a character: swap the one at the depth
    std::optional<Matrix> matrix;            // twips
    std::optional<ColorTransform> color_transform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clip_depth;
};

// A translation by whole pixels, the common placement.
inline Matrix at_pixels(double x, double y) { return {1, 0, 0, 1, x * 20, y * 20}; }

// The control tags of a timeline: the movie's own, or a sprite's.
class Timeline {
public:
    // PlaceObject2 of a new character at a free depth (players ignore it on a taken one).
    Timeline& place(std::uint16_t character, std::uint16_t depth, const Matrix& matrix = {});
    Timeline& place(const PlaceOptions& options);
    Timeline& move(std::uint16_t depth, const Matrix& matrix);
    Timeline& remove(std::uint16_t depth); // RemoveObject2
    Timeline& label(std::string_view name);
    Timeline& actions(const ActionAssembler& code);
    Timeline& start_sound(std::uint16_t sound_id, std::uint16_t loops = 1, bool stop = false);
    // StartSound with every field of the sound info (the flags say which are written).
    Timeline& start_sound(std::uint16_t sound_id, const SoundInfo& info);
    // The timeline's stream format: SoundStreamHead for ADPCM and MP3, SoundStreamHead2 otherwise.
    Timeline& stream_head(const SoundStreamHead& head);
    // One frame's stream data, as the format stores it (MP3: sample count, seek, frames).
    Timeline& stream_block(const std::vector<std::uint8_t>& data);
    Timeline& show_frame();
    Timeline& tag(TagCode code, const std::vector<std::uint8_t>& body);
    Timeline& tag(std::uint16_t code, const std::vector<std::uint8_t>& body);

    int frame_count() const { return m_frames; }

protected:
    // The tag stream with its frames closed: an unfinished last frame gets its ShowFrame.
    std::vector<std::uint8_t> closed_stream() const;

    std::vector<std::uint8_t> m_stream;
    int m_frames = 0;
    bool m_frame_open = false;
};

class SpriteBuilder : public Timeline {
    friend class MovieBuilder;
};

// A button's state records and its actions per transition.
class ButtonBuilder {
public:
    // `states` combines ButtonRecord::Up, Over, Down, HitTest.
    ButtonBuilder& state(std::uint8_t states, std::uint16_t character, const Matrix& matrix = {}, std::uint16_t depth = 1,
                         const ColorTransform& color_transform = {});
    // Actions for a combination of ButtonCondition bits (e.g. OverDownToOverUp, the release).
    ButtonBuilder& on(std::uint16_t conditions, const ActionAssembler& code, std::uint8_t key_code = 0);
    ButtonBuilder& track_as_menu(bool menu = true);
    // Version 1 writes a DefineButton: its single action block is the one for the release.
    ButtonBuilder& version(int v);

private:
    friend class MovieBuilder;
    struct Record {
        std::uint8_t states;
        std::uint16_t character, depth;
        Matrix matrix;
        ColorTransform color_transform;
    };
    struct Action {
        std::uint16_t conditions;
        std::uint8_t key;
        std::vector<std::uint8_t> code;
    };
    std::vector<Record> m_records;
    std::vector<Action> m_actions;
    bool m_menu = false;
    int m_version = 2;
};

// Glyph outlines in the 1024-unit em square (y grows downwards, baseline at 0).
class FontBuilder {
public:
    explicit FontBuilder(std::string name) : m_name(std::move(name)) {}
    // The outline must be built with ShapeBuilder(1) (em units) and its fill set.
    FontBuilder& glyph(std::uint16_t code, const ShapeBuilder& outline, std::int16_t advance);

    int index_of(std::uint16_t code) const; // -1 if absent
    std::int16_t advance(int index) const { return m_glyphs[index].advance; }

private:
    friend class MovieBuilder;
    struct Glyph {
        std::uint16_t code;
        ShapeBuilder outline;
        std::int16_t advance;
    };
    std::string m_name;
    std::vector<Glyph> m_glyphs;
};

// A DefineSound's fields; `data` as the tag stores it (MP3: the seek count, then the frames).
struct SoundData {
    SoundFormat format = SoundFormat::PcmLittleEndian;
    std::uint32_t rate = 22050; // 5512, 11025, 22050 or 44100
    bool sixteen_bit = true;
    bool stereo = false;
    std::uint32_t sample_count = 0; // per channel
    std::vector<std::uint8_t> data;
};

// A DefineBitsLossless/2 as the tag stores it, before compression: for format 3 the colour
// table (RGB, or RGBA with alpha) then rows of indexes padded to 4 bytes; for format 4 rows of
// 16-bit pixels padded to 4 bytes; for format 5 ARGB (XRGB without alpha) pixels.
struct LosslessData {
    DefineBitsLossless::Format format = DefineBitsLossless::Rgb24;
    bool alpha = false; // DefineBitsLossless2
    std::uint16_t width = 0, height = 0;
    unsigned color_table_size = 0; // format 3: entries, 1 to 256
    std::vector<std::uint8_t> data;
};

struct MovieOptions {
    std::uint8_t version = 6;
    double width = 550, height = 400; // pixels
    double frame_rate = 12;
    bool compressed = false; // CWS
};

// Builds a whole movie. Definition methods return the new character id; the timeline methods
// of the root (Timeline) add control tags in order.
class MovieBuilder : public Timeline {
public:
    explicit MovieBuilder(const MovieOptions& options = {});

    MovieBuilder& background(Rgba color);
    // DefineShape of the lowest version that holds the styles, or `version` (1 to 4).
    std::uint16_t shape(const ShapeBuilder& shape, int version = 0);
    // DefineMorphShape from two shapes built alike: the same figures with the same numbers of
    // segments, and fill and line styles of the same kinds in the same order.
    std::uint16_t morph_shape(const ShapeBuilder& start, const ShapeBuilder& end);
    std::uint16_t sprite(const SpriteBuilder& sprite);
    std::uint16_t button(const ButtonBuilder& button);
    // DefineFont2 with codes, advances and bounds.
    std::uint16_t font(const FontBuilder& font);
    // DefineText (DefineText2 when the colour has alpha) drawing `text` (one glyph per byte)
    // with `font`, which must be the FontBuilder defined as `font_id`. Position of the baseline
    // start and height in pixels.
    std::uint16_t text(std::uint16_t font_id, const FontBuilder& font, std::string_view text, double height,
                       Rgba color, double x, double y);
    // DefineBitsLossless (or Lossless2 when any pixel is not opaque) from straight RGBA bytes.
    std::uint16_t bitmap(std::uint16_t width, std::uint16_t height, const std::vector<std::uint8_t>& rgba);
    // DefineBitsLossless/2 in any pixel format, written as given.
    std::uint16_t bitmap(const LosslessData& bitmap);
    // JPEGTables: the encoding tables that DefineBits images use.
    void jpeg_tables(const std::vector<std::uint8_t>& tables);
    // JPEG data as the tag stores it: version 1 DefineBits (without tables), 2 DefineBitsJPEG2
    // (a whole JPEG), 3 DefineBitsJPEG3 with `alpha`, one byte per pixel (compressed here;
    // none: opaque).
    std::uint16_t jpeg(const std::vector<std::uint8_t>& data, int version = 2, const std::vector<std::uint8_t>& alpha = {});
    // DefineFont (glyph outlines only) followed by DefineFontInfo (name and codes), the
    // version 1 way of embedding a font.
    std::uint16_t font_with_info(const FontBuilder& font);
    // DefineEditText with the fields of `def` (its id is ignored); lengths are twips.
    std::uint16_t edit_text(const DefineEditText& def);
    // DefineSound of uncompressed little-endian 16-bit PCM; `samples` interleaved when stereo.
    std::uint16_t sound(const std::vector<std::int16_t>& samples, std::uint32_t rate, bool stereo);
    std::uint16_t sound(const SoundData& sound);
    // DefineButtonSound for a defined button (its `id` is ignored: `button_id` is written).
    void button_sound(std::uint16_t button_id, const DefineButtonSound& sounds);
    // The next free character id, for definitions written with tag().
    std::uint16_t allocate_id() { return m_next_id++; }

    std::vector<std::uint8_t> bytes() const;
    // Writes the movie to `path` through a temporary file beside it.
    bool save(const std::string& path, std::string* error = nullptr) const;

private:
    MovieOptions m_options;
    std::uint16_t m_next_id = 1;
};

} // namespace swf
