#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "swf/parser/movie.h"
#include "swf/parser/types.h"

namespace swf {

// Clip event flags of PlaceObject2 clip actions (16 bits in SWF 5, 32 bits from SWF 6).
enum ClipEvent : std::uint32_t {
    ClipLoad = 0x1, ClipEnterFrame = 0x2, ClipUnload = 0x4, ClipMouseMove = 0x8, ClipMouseDown = 0x10,
    ClipMouseUp = 0x20, ClipKeyDown = 0x40, ClipKeyUp = 0x80, ClipData = 0x100, ClipInitialize = 0x200,
    ClipPress = 0x400, ClipRelease = 0x800, ClipReleaseOutside = 0x1000, ClipRollOver = 0x2000,
    ClipRollOut = 0x4000, ClipDragOver = 0x8000, ClipDragOut = 0x10000, ClipKeyPress = 0x20000,
    ClipConstruct = 0x40000,
};

struct ClipAction {
    std::uint32_t events = 0;
    std::uint8_t key_code = 0; // ClipKeyPress only
    Bytes actions;
};

// PlaceObject and PlaceObject2 (the former always has a character and a matrix).
struct PlaceObject {
    std::uint16_t depth = 0;
    bool move = false; // modifies the object already at this depth
    std::optional<std::uint16_t> character;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> color_transform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string_view> name;
    std::optional<std::uint16_t> clip_depth;
    std::uint32_t all_clip_events = 0;
    std::vector<ClipAction> clip_actions;
};

struct RemoveObject {
    std::uint16_t depth = 0;
    std::optional<std::uint16_t> character; // RemoveObject (version 1) names it
};

struct ExportedAsset {
    std::uint16_t id = 0;
    std::string_view name;
};

struct ImportAssets {
    std::string_view url;
    std::vector<ExportedAsset> assets;
};

struct ScriptLimits {
    std::uint16_t max_recursion_depth = 0;
    std::uint16_t timeout_seconds = 0;
};

struct SetTabIndex {
    std::uint16_t depth = 0, tab_index = 0;
};

struct DoInitAction {
    std::uint16_t sprite_id = 0;
    Bytes actions;
};

struct DefineSprite {
    std::uint16_t id = 0;
    std::uint16_t frame_count = 0;
    std::vector<Tag> tags; // the sprite's own control tags (End excluded)
};

struct DefineVideoStream {
    std::uint16_t id = 0, frame_count = 0, width = 0, height = 0;
    std::uint8_t deblocking = 0, codec = 0;
    bool smoothing = false;
};

struct VideoFrame {
    std::uint16_t stream_id = 0, frame = 0;
    Bytes data;
};

bool decode_place_object(const Tag& tag, std::uint8_t swf_version, PlaceObject& out); // both versions
bool decode_remove_object(const Tag& tag, RemoveObject& out);                          // both versions
bool decode_background_color(const Tag& tag, Rgba& out);
bool decode_frame_label(const Tag& tag, std::string_view& name, bool* named_anchor = nullptr);
bool decode_do_action(const Tag& tag, Bytes& actions);
bool decode_do_init_action(const Tag& tag, DoInitAction& out);
bool decode_export_assets(const Tag& tag, std::vector<ExportedAsset>& out);
bool decode_import_assets(const Tag& tag, ImportAssets& out);
// Protect, EnableDebugger and EnableDebugger2: the (MD5-hashed) password, if any.
bool decode_password(const Tag& tag, std::string_view& password);
bool decode_script_limits(const Tag& tag, ScriptLimits& out);
bool decode_set_tab_index(const Tag& tag, SetTabIndex& out);
bool decode_define_video_stream(const Tag& tag, DefineVideoStream& out);
bool decode_video_frame(const Tag& tag, VideoFrame& out);
bool decode_define_sprite(const Tag& tag, DefineSprite& out, std::vector<std::string>* warnings = nullptr);

} // namespace swf
