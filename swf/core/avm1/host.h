#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swf/core/avm1/value.h"

namespace swf::avm1 {

// A display object as the interpreter names it. The display tree hands them out and never
// reuses one while the movie lives; 0 is "no clip".
using ClipId = uint64_t;

// The numbered clip properties of GetProperty/SetProperty, in their SWF order.
enum class ClipProperty : uint8_t {
    X, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation,
    Target, FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime, Quality,
    XMouse, YMouse,
};
constexpr int kClipPropertyCount = 22;
// "_x" → X, case-insensitively; nullopt for other names.
std::optional<ClipProperty> clip_property_by_name(std::string_view name);
const char* clip_property_name(ClipProperty p);

enum class ClipKind : uint8_t { MovieClip, Button, TextField };

// The properties of a text field that are not clip properties.
enum class TextProperty : uint8_t {
    Text, HtmlText, Html, Variable, Scroll, MaxScroll, BottomScroll, HScroll, MaxHScroll, TextWidth, TextHeight,
    Length, Multiline, WordWrap, Password, Selectable, Border, Background, BorderColor, BackgroundColor, TextColor,
    AutoSize, Type, MaxChars, EmbedFonts,
};

struct Rect {
    double left, top, right, bottom;
};

// What a TextFormat says of a run of a text field; an absent member differs within the run
// (reading) or is left as it is (writing).
struct TextFormatValues {
    std::optional<std::string> font, align;
    std::optional<double> size, color; // pixels, 0xRRGGBB
    std::optional<bool> bold, italic, underline;
    std::optional<double> left_margin, right_margin, indent, leading; // pixels
};

// The seam to the display tree: the player core implements it. Frames are counted from 0.
// Every call must tolerate a clip that has meanwhile been removed (answer 0, nothing or a
// default); none may run scripts synchronously.
class DisplayTree {
public:
    virtual ~DisplayTree() = default;

    virtual ClipId level(int n) = 0;          // _levelN, 0 when that level is empty
    virtual ClipId parent(ClipId clip) = 0;   // 0 for a level's root
    virtual ClipId child_by_name(ClipId clip, std::string_view name, bool case_sensitive) = 0;
    // Names of the scriptable children, lowest depth first.
    virtual std::vector<std::string> child_names(ClipId clip) { return {}; }
    virtual bool alive(ClipId clip) = 0;
    virtual ClipKind kind(ClipId clip) = 0;
    virtual int swf_version(ClipId clip) = 0;  // of the movie that defines it

    // Numbers for the numeric properties; strings for _target, _name, _droptarget, _url,
    // _quality. A script's value comes as it is: the tree converts it (and ignores
    // undefined, null and NaN where Flash Player does).
    virtual Value get_property(ClipId clip, ClipProperty p) = 0;
    virtual void set_property(ClipId clip, ClipProperty p, const Value& v) = 0;

    virtual void goto_frame(ClipId clip, int frame, bool play) = 0;
    // A frame label, or a frame number written as text; false when there is no such frame.
    virtual bool goto_label(ClipId clip, std::string_view label, bool play) = 0;
    virtual void play(ClipId clip) = 0;
    virtual void stop(ClipId clip) = 0;
    virtual void next_frame(ClipId clip) = 0;
    virtual void prev_frame(ClipId clip) = 0;

    virtual ClipId duplicate(ClipId clip, std::string_view name, int depth) = 0;
    virtual void remove(ClipId clip) = 0;
    virtual ClipId attach(ClipId parent, std::string_view export_name, std::string_view name, int depth) = 0;
    virtual ClipId create_empty(ClipId parent, std::string_view name, int depth) = 0;
    virtual ClipId create_text_field(ClipId parent, std::string_view name, int depth, const Rect& bounds) = 0;
    virtual int depth(ClipId clip) = 0;
    virtual void swap_depths(ClipId clip, int depth) = 0;
    virtual ClipId at_depth(ClipId parent, int depth) = 0;

    virtual void start_drag(ClipId clip, bool lock_center, const std::optional<Rect>& bounds) = 0;
    virtual void stop_drag() = 0;
    virtual bool hit_test_point(ClipId clip, double x, double y, bool shape) = 0;
    virtual bool hit_test_clip(ClipId clip, ClipId other) = 0;
    virtual void local_to_global(ClipId clip, double& x, double& y) = 0;
    virtual void global_to_local(ClipId clip, double& x, double& y) = 0;
    virtual Rect bounds(ClipId clip, ClipId space) = 0;
    virtual double bytes_loaded(ClipId clip) = 0;
    virtual double bytes_total(ClipId clip) = 0;

    // The static text (DefineText) a clip shows, in depth order, as UTF-8.
    virtual std::string static_text(ClipId clip) { return {}; }
    // A name the clip's symbol is exported under (what registerClass keys on), empty if none.
    virtual std::string export_name(ClipId clip) { return {}; }
    // Text fields: the tree converts what a script sets.
    virtual Value text_property(ClipId field, TextProperty p) { return Value(); }
    virtual void set_text_property(ClipId field, TextProperty p, const Value& v) {}
    // The format of a field's characters [begin, end) (end clamped to the text); a negative
    // begin: the format new text takes (of which a script sets the size and colour).
    virtual TextFormatValues text_format(ClipId field, int begin, int end) { return {}; }
    virtual void set_text_format(ClipId field, int begin, int end, const TextFormatValues& f) {}
    // The colour transform as Color.getTransform gives it: {ra, rb, ga, gb, ba, bb, aa, ab},
    // multipliers in percent, offsets in 0..255 units.
    virtual std::array<double, 8> color_transform(ClipId clip) { return {100, 0, 100, 0, 100, 0, 100, 0}; }
    virtual void set_color_transform(ClipId clip, const std::array<double, 8>& t) {}
    // The stage in pixels, the keyboard (codes as button key conditions use them) and the focus.
    virtual Rect stage_rect() { return {0, 0, 550, 400}; }
    virtual bool key_down(int code) { return false; }
    virtual int last_key() { return 0; }
    virtual ClipId focus() { return 0; }
    virtual bool set_focus(ClipId clip) { return false; }
};

// Where loadMovie and loadVariables put what they load: a clip, or a level by number.
struct LoadTarget {
    ClipId clip = 0;
    int level = -1;
};

// The player's services that are not the display tree.
class Host {
public:
    virtual ~Host() = default;
    virtual void trace(std::string_view line) = 0;
    virtual void fscommand(std::string_view command, std::string_view args) = 0;
    // Every other URL to a window; the host decides (this player ignores them).
    virtual void get_url(std::string_view url, std::string_view target, int method) = 0;
    // loadMovie and loadMovieNum (an empty URL unloads), loadVariables and loadVariablesNum.
    // They complete later; nothing happens when the host does not load files.
    virtual void load_movie(std::string_view url, LoadTarget target, int method) {}
    virtual void load_variables(std::string_view url, LoadTarget target, int method) {}
    // XML.load and LoadVars.load: the text arrives later through Interpreter::deliver_data,
    // the receiver stays alive until then.
    virtual void load_data(std::string_view url, Object* receiver) {}
    // StopSounds: every sound of the movie stops (a host without sound ignores it).
    virtual void stop_sounds() {}
    // Sound objects. `owner` is the clip a Sound was made for (0: the whole movie). start plays
    // the sound exported as `name` from the owner's movie, from `offset` seconds, `loops`
    // times; stop stops that sound, or every sound when `name` is empty; transform sets how
    // the owner's sounds (0: all sounds) reach the speakers, as setTransform's ll, lr, rr, rl.
    virtual void sound_start(ClipId owner, std::string_view name, double offset, int loops) {}
    virtual void sound_stop(ClipId owner, std::string_view name) {}
    virtual void sound_transform(ClipId owner, const std::array<double, 4>& matrix) {}
    // Counts one action against the host's budget; false ends the running script.
    virtual bool spend_action() { return true; }
    virtual double time_ms() = 0;          // since the movie started (GetTime)
    virtual double random() = 0;           // uniform in [0, 1)
    virtual double utc_now_ms() = 0;       // wall clock for Date
    virtual double local_offset_ms(double utc_ms) = 0;  // local time minus UTC at that moment
};

}  // namespace swf::avm1
