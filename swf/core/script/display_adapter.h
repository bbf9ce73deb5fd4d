#pragma once

#include "swf/core/avm1/host.h"
#include "swf/core/avm1/interpreter.h"

namespace swf {
class DisplayObject;
class MovieClip;
class Player;
class TextField;
}

namespace swf::script {

// The player's display objects as the interpreter sees them: clip ids are display object ids,
// properties are in pixels, degrees and percent with Flash's rounding, depths are script
// depths (timeline depth - 16384).
class DisplayAdapter : public avm1::DisplayTree {
public:
    DisplayAdapter(Player& player, avm1::Interpreter*& interpreter) : m_player(player), m_in(interpreter) {}

    avm1::ClipId level(int n) override;
    avm1::ClipId parent(avm1::ClipId clip) override;
    avm1::ClipId child_by_name(avm1::ClipId clip, std::string_view name, bool case_sensitive) override;
    std::vector<std::string> child_names(avm1::ClipId clip) override;
    bool alive(avm1::ClipId clip) override;
    avm1::ClipKind kind(avm1::ClipId clip) override;
    int swf_version(avm1::ClipId clip) override;

    avm1::Value get_property(avm1::ClipId clip, avm1::ClipProperty p) override;
    void set_property(avm1::ClipId clip, avm1::ClipProperty p, const avm1::Value& v) override;

    void goto_frame(avm1::ClipId clip, int frame, bool play) override;
    bool goto_label(avm1::ClipId clip, std::string_view label, bool play) override;
    void play(avm1::ClipId clip) override;
    void stop(avm1::ClipId clip) override;
    void next_frame(avm1::ClipId clip) override;
    void prev_frame(avm1::ClipId clip) override;

    avm1::ClipId duplicate(avm1::ClipId clip, std::string_view name, int depth) override;
    void remove(avm1::ClipId clip) override;
    avm1::ClipId attach(avm1::ClipId parent, std::string_view export_name, std::string_view name, int depth) override;
    avm1::ClipId create_empty(avm1::ClipId parent, std::string_view name, int depth) override;
    avm1::ClipId create_text_field(avm1::ClipId parent, std::string_view name, int depth, const avm1::Rect& bounds) override;
    int depth(avm1::ClipId clip) override;
    void swap_depths(avm1::ClipId clip, int depth) override;
    avm1::ClipId at_depth(avm1::ClipId parent, int depth) override;

    void start_drag(avm1::ClipId clip, bool lock_center, const std::optional<avm1::Rect>& bounds) override;
    void stop_drag() override;
    bool hit_test_point(avm1::ClipId clip, double x, double y, bool shape) override;
    bool hit_test_clip(avm1::ClipId clip, avm1::ClipId other) override;
    void local_to_global(avm1::ClipId clip, double& x, double& y) override;
    void global_to_local(avm1::ClipId clip, double& x, double& y) override;
    avm1::Rect bounds(avm1::ClipId clip, avm1::ClipId space) override;
    double bytes_loaded(avm1::ClipId clip) override;
    double bytes_total(avm1::ClipId clip) override;

    std::string static_text(avm1::ClipId clip) override;
    std::string export_name(avm1::ClipId clip) override;
    avm1::Value text_property(avm1::ClipId field, avm1::TextProperty p) override;
    void set_text_property(avm1::ClipId field, avm1::TextProperty p, const avm1::Value& v) override;
    avm1::TextFormatValues text_format(avm1::ClipId field, int begin, int end) override;
    void set_text_format(avm1::ClipId field, int begin, int end, const avm1::TextFormatValues& f) override;
    std::array<double, 8> color_transform(avm1::ClipId clip) override;
    void set_color_transform(avm1::ClipId clip, const std::array<double, 8>& t) override;
    avm1::Rect stage_rect() override;
    bool key_down(int code) override;
    int last_key() override;
    avm1::ClipId focus() override { return m_focus; }
    bool set_focus(avm1::ClipId clip) override;

    // Text fields with a variable: binding when they appear, showing the variable each frame.
    void bind(TextField& field);
    void refresh_bound_fields();
    // Typed text goes into the field's variable.
    void field_edited(TextField& field);

private:
    DisplayObject* find(avm1::ClipId clip) const;
    // What a script sets: a number (nothing for undefined, null and NaN), or a flag.
    std::optional<double> number_of(const avm1::Value& v);
    std::optional<bool> flag_of(const avm1::Value& v);
    void set_size(DisplayObject& o, bool width, double pixels);
    MovieClip* find_clip(avm1::ClipId clip) const;
    TextField* find_field(avm1::ClipId clip) const;
    // The bound variable's holder and name, when the holder exists.
    bool bound_variable(TextField& field, avm1::Object*& holder, std::string& name);
    void set_field_text(TextField& field, const std::string& text, bool html);

    Player& m_player;
    avm1::Interpreter*& m_in;
    avm1::ClipId m_focus = 0;
    double m_focus_rect = 1;   // _focusrect, shared by every clip in SWF 5
    double m_sound_buffer = 5; // _soundbuftime
    std::string m_quality = "HIGH";
};

} // namespace swf::script
