#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/core/shape_geometry.h"
#include "swf/parser/bitmaps.h"
#include "swf/parser/buttons.h"
#include "swf/parser/control_tags.h"
#include "swf/parser/movie.h"
#include "swf/parser/shapes.h"
#include "swf/parser/sounds.h"
#include "swf/parser/text.h"

namespace swf {

// A timeline's frames (the root's or a sprite's): each frame's control tags in file order.
struct TimelineDef {
    std::vector<std::vector<Tag>> frames;
    std::map<std::string, int> labels; // lower-cased label → frame (0-based)

    int frame_count() const { return static_cast<int>(frames.size()); }
    // Frame of a label, compared without regard to case; -1 if none.
    int frame_of_label(std::string_view label) const;
};

enum class CharacterType : std::uint8_t { Shape, MorphShape, Sprite, Button, Font, Text, EditText, Bitmap, Sound, Video };

struct Character {
    explicit Character(CharacterType t, std::uint16_t character_id) : type(t), id(character_id) {}
    virtual ~Character() = default;
    const CharacterType type;
    const std::uint16_t id;
};

struct ShapeCharacter : Character {
    // `def` is the definition as read from `tag` of `movie`, less its styles and records: those
    // are read again from the tag when the shape is first drawn or hit, so a movie of many
    // shapes holds each one only in its file until it shows it.
    ShapeCharacter(DefineShape d, const Tag& tag, std::shared_ptr<const Movie> movie);
    DefineShape def;
    // The edges assembled into paths, built on first use (drawing or hit testing).
    const ShapeGeometry& geometry() const;

private:
    Tag m_tag;
    std::shared_ptr<const Movie> m_movie; // keeps the tag's bytes
    mutable std::once_flag m_built;
    mutable ShapeGeometry m_geometry;
};

struct MorphShapeCharacter : Character {
    explicit MorphShapeCharacter(DefineMorphShape d) : Character(CharacterType::MorphShape, d.id), def(std::move(d)) {}
    DefineMorphShape def;
};

struct SpriteCharacter : Character {
    SpriteCharacter(std::uint16_t id, std::shared_ptr<const TimelineDef> t)
        : Character(CharacterType::Sprite, id), timeline(std::move(t))
    {
    }
    std::shared_ptr<const TimelineDef> timeline;
};

struct ButtonCharacter : Character {
    explicit ButtonCharacter(DefineButton d) : Character(CharacterType::Button, d.id), def(std::move(d)) {}
    DefineButton def;
    std::optional<ColorTransform> cxform; // DefineButtonCxform (version 1 buttons)
    std::optional<DefineButtonSound> sounds;
};

struct FontCharacter : Character {
    explicit FontCharacter(DefineFont d) : Character(CharacterType::Font, d.id), def(std::move(d)) {}
    DefineFont def;
    std::optional<DefineFontInfo> info; // DefineFontInfo/2 for a version 1 font
};

struct TextCharacter : Character {
    explicit TextCharacter(DefineText d) : Character(CharacterType::Text, d.id), def(std::move(d)) {}
    DefineText def;
};

struct EditTextCharacter : Character {
    explicit EditTextCharacter(DefineEditText d) : Character(CharacterType::EditText, d.id), def(std::move(d)) {}
    DefineEditText def;
};

struct BitmapCharacter : Character {
    explicit BitmapCharacter(std::uint16_t id) : Character(CharacterType::Bitmap, id) {}
    std::optional<DefineBitsJpeg> jpeg;
    Bytes jpeg_tables; // for DefineBits (version 1)
    std::optional<DefineBitsLossless> lossless;
};

struct SoundCharacter : Character {
    explicit SoundCharacter(DefineSound d) : Character(CharacterType::Sound, d.id), def(d) {}
    DefineSound def;
};

struct VideoCharacter : Character {
    explicit VideoCharacter(DefineVideoStream d) : Character(CharacterType::Video, d.id), def(d) {}
    DefineVideoStream def;
};

// Every character of a movie, its exported names and the root timeline. Characters view the
// movie's bytes, which the library keeps alive.
struct Library {
    std::shared_ptr<const Movie> movie;
    std::unordered_map<std::uint16_t, std::shared_ptr<const Character>> characters;
    std::map<std::string, std::uint16_t> exports; // lower-cased export name → character id
    std::shared_ptr<const TimelineDef> root;
    Rgba background{255, 255, 255, 255};
    std::vector<std::string> warnings;

    const Character* find(std::uint16_t id) const;
};

struct LibraryLimits {
    int max_sprite_nesting = 16; // DefineSprite inside DefineSprite (the format allows none)
};

// Reads every definition of the movie (also those inside sprites) into a library and splits
// the root and sprite tag streams into frames. Damaged definitions are skipped with a warning.
std::shared_ptr<Library> build_library(std::shared_ptr<const Movie> movie, const LibraryLimits& limits = {});

std::string lower_ascii(std::string_view s);

} // namespace swf
