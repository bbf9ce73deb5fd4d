#include "swf/core/script/display_adapter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/core/avm1/text.h"
#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/player.h"

namespace swf::script {
namespace {

using avm1::ClipId;
using avm1::ClipProperty;
using avm1::TextProperty;
using avm1::Value;

constexpr int kDepthOffset = 16384;
constexpr int kMaxDepth = 2130690045; // the highest depth a script may use, plus the offset

// Flash keeps positions in whole twips.
double to_twips(double pixels)
{
    return std::trunc(pixels * 20);
}

// Bounds of `object` in the space of its ancestor `space` (null: the stage), twips.
swf::Rect bounds_in(const DisplayObject& object, const DisplayObject* space)
{
    swf::Rect local = object.local_bounds();
    if (local == swf::Rect{})
        return {};
    Matrix to_space = object.global_matrix();
    if (space)
        to_space = space->global_matrix().inverted() * to_space;
    Point corners[4] = {to_space.apply({double(local.x_min), double(local.y_min)}),
                        to_space.apply({double(local.x_max), double(local.y_min)}),
                        to_space.apply({double(local.x_min), double(local.y_max)}),
                        to_space.apply({double(local.x_max), double(local.y_max)})};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return {std::int32_t(std::lround(x0)), std::int32_t(std::lround(x1)), std::int32_t(std::lround(y0)),
            std::int32_t(std::lround(y1))};
}

// Bounds in the object's parent space, as _width and _height measure them.
swf::Rect parent_bounds(const DisplayObject& object)
{
    return bounds_in(object, object.parent());
}

double clamp_rotation(double degrees)
{
    degrees = std::fmod(degrees, 360.0);
    if (degrees > 180)
        degrees -= 360;
    else if (degrees < -180)
        degrees += 360;
    return degrees;
}

// The characters of HTML text without its tags (paragraphs and breaks as "\r").
std::string plain_text(std::string_view html)
{
    std::string out;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            std::size_t end = html.find('>', i);
            std::string tag = lower_ascii(html.substr(i + 1, end == std::string_view::npos ? 0 : end - i - 1));
            if (tag == "br" || tag == "br/" || tag == "/p")
                out += '\r';
            if (end == std::string_view::npos)
                break;
            i = end;
            continue;
        }
        if (html[i] == '&') {
            static const std::pair<std::string_view, char> entities[] = {
                {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
            bool matched = false;
            for (const auto& [entity, c] : entities)
                if (html.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size() - 1;
                    matched = true;
                    break;
                }
            if (matched)
                continue;
        }
        out += html[i];
    }
    if (!out.empty() && out.back() == '\r')
        out.pop_back();
    return out;
}

std::uint32_t to_rgb(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<std::uint32_t>(avm1::to_uint32(v) & 0xFFFFFF);
}

} // namespace

DisplayObject* DisplayAdapter::find(ClipId clip) const
{
    return clip ? m_player.find(clip) : nullptr;
}

MovieClip* DisplayAdapter::find_clip(ClipId clip) const
{
    DisplayObject* o = find(clip);
    return o ? o->as_clip() : nullptr;
}

TextField* DisplayAdapter::find_field(ClipId clip) const
{
    DisplayObject* o = find(clip);
    return o ? o->as_text_field() : nullptr;
}

ClipId DisplayAdapter::level(int n)
{
    MovieClip* root = m_player.level(n);
    return root ? root->id() : 0;
}

ClipId DisplayAdapter::parent(ClipId clip)
{
    DisplayObject* o = find(clip);
    return o && o->parent() ? o->parent()->id() : 0;
}

ClipId DisplayAdapter::child_by_name(ClipId clip, std::string_view name, bool case_sensitive)
{
    DisplayObject* o = find(clip);
    if (!o)
        return 0;
    if (MovieClip* c = o->as_clip()) {
        DisplayObject* child = c->child_by_name(name, case_sensitive);
        return child ? child->id() : 0;
    }
    if (o->kind() == DisplayObject::Kind::Button) {
        std::string wanted = lower_ascii(name);
        for (const auto& [depth, child] : static_cast<ButtonInstance*>(o)->children())
            if (child->scriptable() && (case_sensitive ? child->name == name : lower_ascii(child->name) == wanted))
                return child->id();
    }
    return 0;
}

std::vector<std::string> DisplayAdapter::child_names(ClipId clip)
{
    std::vector<std::string> names;
    MovieClip* c = find_clip(clip);
    if (!c)
        return names;
    for (const auto& [depth, child] : c->children())
        if (child->scriptable() && !child->name.empty())
            names.push_back(child->name);
    return names;
}

bool DisplayAdapter::alive(ClipId clip)
{
    return find(clip) != nullptr;
}

avm1::ClipKind DisplayAdapter::kind(ClipId clip)
{
    DisplayObject* o = find(clip);
    if (!o)
        return avm1::ClipKind::MovieClip;
    if (o->kind() == DisplayObject::Kind::Button)
        return avm1::ClipKind::Button;
    if (o->as_text_field())
        return avm1::ClipKind::TextField;
    return avm1::ClipKind::MovieClip;
}

int DisplayAdapter::swf_version(ClipId clip)
{
    DisplayObject* o = find(clip);
    return o ? o->swf_version() : m_player.swf_version();
}

Value DisplayAdapter::get_property(ClipId clip, ClipProperty p)
{
    DisplayObject* o = find(clip);
    if (!o)
        return Value();
    MovieClip* c = o->as_clip();
    switch (p) {
    case ClipProperty::X: return o->matrix.tx / 20;
    case ClipProperty::Y: return o->matrix.ty / 20;
    case ClipProperty::XScale: return o->x_scale() * 100;
    case ClipProperty::YScale: return o->y_scale() * 100;
    case ClipProperty::CurrentFrame: return c ? Value(c->current_frame() + 1) : Value();
    case ClipProperty::TotalFrames:
    case ClipProperty::FramesLoaded: return c ? Value(c->frame_count()) : Value();
    case ClipProperty::Alpha: return o->color_transform.a_mult * 100;
    case ClipProperty::Visible: return o->visible;
    case ClipProperty::Width: return parent_bounds(*o).width() / 20.0;
    case ClipProperty::Height: return parent_bounds(*o).height() / 20.0;
    case ClipProperty::Rotation: return o->rotation();
    case ClipProperty::Target: return o->slash_path();
    case ClipProperty::Name: return o->name;
    case ClipProperty::DropTarget: return std::string();
    case ClipProperty::Url: return std::string();
    case ClipProperty::HighQuality: return m_quality == "LOW" ? 0 : m_quality == "MEDIUM" ? 2 : 1;
    case ClipProperty::FocusRect: return m_focus_rect;
    case ClipProperty::SoundBufTime: return m_sound_buffer;
    case ClipProperty::Quality: return m_quality;
    case ClipProperty::XMouse:
    case ClipProperty::YMouse: {
        Point mouse = o->global_matrix().inverted().apply(m_player.mouse_position());
        return (p == ClipProperty::XMouse ? mouse.x : mouse.y) / 20;
    }
    }
    return Value();
}

std::optional<double> DisplayAdapter::number_of(const Value& v)
{
    if (v.is_nullish() || !m_in)
        return std::nullopt;
    double n = m_in->to_number(v);
    return std::isnan(n) ? std::nullopt : std::optional<double>(n);
}

std::optional<bool> DisplayAdapter::flag_of(const Value& v)
{
    // As Flash Player reads _visible and _focusrect: undefined, null and what is no number
    // change nothing; a number counts as true unless it is zero; an object is its valueOf,
    // or false.
    if (v.is_nullish() || !m_in)
        return std::nullopt;
    if (v.is_boolean())
        return v.boolean();
    Value primitive = v;
    if (v.is_object()) {
        auto* value_of = dynamic_cast<avm1::FunctionObject*>(m_in->get(v.object(), "valueOf").object());
        primitive = value_of ? m_in->call(value_of, v.object(), {}) : Value();
        if (primitive.is_object() || primitive.is_nullish())
            return false;
        if (primitive.is_boolean())
            return primitive.boolean();
    }
    double n = m_in->to_number(primitive);
    if (std::isnan(n))
        return std::nullopt;
    return n != 0;
}

void DisplayAdapter::set_property(ClipId clip, ClipProperty p, const Value& v)
{
    DisplayObject* o = find(clip);
    if (!o || !m_in)
        return;
    switch (p) {
    case ClipProperty::Name:
        if (o->parent())
            o->name = m_in->to_string(v);
        return;
    case ClipProperty::Quality: {
        std::string q = lower_ascii(m_in->to_string(v));
        if (q == "low" || q == "medium" || q == "high" || q == "best")
            m_quality = q == "low" ? "LOW" : q == "medium" ? "MEDIUM" : q == "high" ? "HIGH" : "BEST";
        return;
    }
    case ClipProperty::Visible:
        if (std::optional<bool> flag = flag_of(v))
            o->visible = *flag;
        return;
    case ClipProperty::FocusRect:
        if (std::optional<bool> flag = flag_of(v))
            m_focus_rect = *flag ? 1 : 0;
        return;
    default: break;
    }
    std::optional<double> number = number_of(v);
    if (!number)
        return;
    double n = *number;
    switch (p) {
    case ClipProperty::X:
    case ClipProperty::Y:
        if (std::isfinite(n)) {
            (p == ClipProperty::X ? o->matrix.tx : o->matrix.ty) = to_twips(n);
            o->moved_by_script = true;
        }
        break;
    case ClipProperty::XScale: o->set_x_scale(n / 100); break;
    case ClipProperty::YScale: o->set_y_scale(n / 100); break;
    case ClipProperty::Alpha:
        o->color_transform.a_mult = std::isfinite(n) ? std::trunc(n / 100 * 256) / 256 : 0;
        o->moved_by_script = true;
        break;
    case ClipProperty::Width:
    case ClipProperty::Height:
        if (std::isfinite(n))
            set_size(*o, p == ClipProperty::Width, n);
        break;
    case ClipProperty::Rotation:
        if (std::isfinite(n))
            o->set_rotation(clamp_rotation(n));
        break;
    case ClipProperty::HighQuality: m_quality = n >= 2 ? "BEST" : n >= 1 ? "HIGH" : "LOW"; break;
    case ClipProperty::SoundBufTime: m_sound_buffer = std::trunc(n); break;
    default: break;
    }
}

void DisplayAdapter::set_size(DisplayObject& o, bool width, double pixels)
{
    // Flash Player scales the object's own bounds to the size asked for along the axis it
    // names and, for a rotated object, mixes in the other axis by the angle: the parent-space
    // size comes out exact only without rotation.
    swf::Rect local = o.local_bounds();
    double along = (width ? local.width() : local.height()) / 20.0;
    double across = (width ? local.height() : local.width()) / 20.0;
    if (along == 0 || across == 0)
        return;
    double aspect = across / along;
    double target_along = pixels / along, target_across = pixels / across;
    double angle = o.rotation() * std::numbers::pi / 180;
    double cos = std::fabs(std::cos(angle)), sin = std::fabs(std::sin(angle));
    double previous_along = width ? o.x_scale() : o.y_scale();
    double previous_across = width ? o.y_scale() : o.x_scale();
    double new_along = aspect * (cos * target_along + sin * target_across) / ((cos + aspect * sin) * (aspect * cos + sin));
    double new_across = (sin * previous_along + aspect * cos * previous_across) / (aspect * cos + sin);
    o.set_x_scale(width ? new_along : new_across);
    o.set_y_scale(width ? new_across : new_along);
}

void DisplayAdapter::goto_frame(ClipId clip, int frame, bool play)
{
    if (MovieClip* c = find_clip(clip))
        c->goto_frame(frame, play);
}

bool DisplayAdapter::goto_label(ClipId clip, std::string_view label, bool play)
{
    MovieClip* c = find_clip(clip);
    if (!c)
        return false;
    if (c->goto_label(label, play))
        return true;
    // A frame number written as text.
    if (!label.empty() && std::all_of(label.begin(), label.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        c->goto_frame(std::atoi(std::string(label).c_str()) - 1, play);
        return true;
    }
    return false;
}

void DisplayAdapter::play(ClipId clip)
{
    if (MovieClip* c = find_clip(clip))
        c->play();
}

void DisplayAdapter::stop(ClipId clip)
{
    if (MovieClip* c = find_clip(clip))
        c->stop();
}

void DisplayAdapter::next_frame(ClipId clip)
{
    if (MovieClip* c = find_clip(clip))
        c->next_frame();
}

void DisplayAdapter::prev_frame(ClipId clip)
{
    if (MovieClip* c = find_clip(clip))
        c->prev_frame();
}

ClipId DisplayAdapter::duplicate(ClipId clip, std::string_view name, int depth)
{
    MovieClip* c = find_clip(clip);
    if (!c || !c->parent() || depth < -kDepthOffset || depth > kMaxDepth - kDepthOffset)
        return 0;
    MovieClip* copy = c->duplicate(std::string(name), depth + kDepthOffset);
    return copy ? copy->id() : 0;
}

void DisplayAdapter::remove(ClipId clip)
{
    DisplayObject* o = find(clip);
    // Only what scripts placed (or moved to a script depth) can be removed by a script.
    if (!o || !o->parent() || !o->parent()->as_clip() || o->depth < kDepthOffset)
        return;
    o->parent()->as_clip()->remove_child(o->depth);
}

ClipId DisplayAdapter::attach(ClipId parent_clip, std::string_view export_name, std::string_view name, int depth)
{
    MovieClip* c = find_clip(parent_clip);
    if (!c || !c->library() || depth < -kDepthOffset || depth > kMaxDepth - kDepthOffset)
        return 0;
    const auto& exports = c->library()->exports;
    auto it = exports.find(lower_ascii(export_name));
    if (it == exports.end())
        return 0;
    const Character* character = c->library()->find(it->second);
    if (!character || character->type != CharacterType::Sprite)
        return 0;
    DisplayObject* child = c->attach(it->second, std::string(name), depth + kDepthOffset);
    return child ? child->id() : 0;
}

ClipId DisplayAdapter::create_empty(ClipId parent_clip, std::string_view name, int depth)
{
    MovieClip* c = find_clip(parent_clip);
    if (!c || depth < -kDepthOffset || depth > kMaxDepth - kDepthOffset)
        return 0;
    MovieClip* child = c->create_empty_child(std::string(name), depth + kDepthOffset);
    return child ? child->id() : 0;
}

ClipId DisplayAdapter::create_text_field(ClipId parent_clip, std::string_view name, int depth, const avm1::Rect& r)
{
    MovieClip* c = find_clip(parent_clip);
    if (!c || depth < -kDepthOffset || depth > kMaxDepth - kDepthOffset)
        return 0;
    auto twips = [](double v) { return std::isfinite(v) ? std::int32_t(std::clamp(to_twips(v), -1e9, 1e9)) : 0; };
    swf::Rect bounds{0, std::max(0, twips(r.right - r.left)), 0, std::max(0, twips(r.bottom - r.top))};
    DisplayObject* child = c->create_text_field(std::string(name), depth + kDepthOffset, bounds);
    if (!child)
        return 0;
    child->matrix.tx = twips(r.left);
    child->matrix.ty = twips(r.top);
    return child->id();
}

int DisplayAdapter::depth(ClipId clip)
{
    DisplayObject* o = find(clip);
    return o ? o->depth - kDepthOffset : 0;
}

void DisplayAdapter::swap_depths(ClipId clip, int new_depth)
{
    DisplayObject* o = find(clip);
    if (!o || !o->parent() || !o->parent()->as_clip() || new_depth < -kDepthOffset || new_depth > kMaxDepth - kDepthOffset)
        return;
    o->parent()->as_clip()->swap_child_depth(o->depth, new_depth + kDepthOffset);
}

ClipId DisplayAdapter::at_depth(ClipId parent_clip, int depth)
{
    MovieClip* c = find_clip(parent_clip);
    DisplayObject* child = c ? c->child_at_depth(depth + kDepthOffset) : nullptr;
    return child && child->scriptable() ? child->id() : 0;
}

void DisplayAdapter::start_drag(ClipId clip, bool lock_center, const std::optional<avm1::Rect>& r)
{
    DisplayObject* o = find(clip);
    if (!o)
        return;
    std::optional<swf::Rect> constraint;
    if (r) {
        auto twips = [](double v) { return std::isfinite(v) ? std::int32_t(std::clamp(to_twips(v), -1e9, 1e9)) : 0; };
        constraint = swf::Rect{twips(std::min(r->left, r->right)), twips(std::max(r->left, r->right)),
                               twips(std::min(r->top, r->bottom)), twips(std::max(r->top, r->bottom))};
    }
    m_player.start_drag(*o, lock_center, constraint);
}

void DisplayAdapter::stop_drag()
{
    m_player.stop_drag();
}

bool DisplayAdapter::hit_test_point(ClipId clip, double x, double y, bool shape)
{
    DisplayObject* o = find(clip);
    if (!o)
        return false;
    Point stage{x * 20, y * 20};
    if (shape) {
        bool invertible = true;
        Point local = o->global_matrix().inverted(&invertible).apply(stage);
        return invertible && o->hit_test(local);
    }
    swf::Rect b = bounds_in(*o, nullptr);
    return stage.x >= b.x_min && stage.x <= b.x_max && stage.y >= b.y_min && stage.y <= b.y_max;
}

bool DisplayAdapter::hit_test_clip(ClipId clip, ClipId other)
{
    DisplayObject* a = find(clip);
    DisplayObject* b = find(other);
    if (!a || !b)
        return false;
    swf::Rect ra = bounds_in(*a, nullptr), rb = bounds_in(*b, nullptr);
    if (ra == swf::Rect{} || rb == swf::Rect{})
        return false;
    return ra.x_min <= rb.x_max && rb.x_min <= ra.x_max && ra.y_min <= rb.y_max && rb.y_min <= ra.y_max;
}

void DisplayAdapter::local_to_global(ClipId clip, double& x, double& y)
{
    DisplayObject* o = find(clip);
    if (!o)
        return;
    Point p = o->global_matrix().apply({x * 20, y * 20});
    x = p.x / 20;
    y = p.y / 20;
}

void DisplayAdapter::global_to_local(ClipId clip, double& x, double& y)
{
    DisplayObject* o = find(clip);
    if (!o)
        return;
    Point p = o->global_matrix().inverted().apply({x * 20, y * 20});
    x = p.x / 20;
    y = p.y / 20;
}

avm1::Rect DisplayAdapter::bounds(ClipId clip, ClipId space)
{
    DisplayObject* o = find(clip);
    if (!o)
        return {};
    DisplayObject* in = space ? find(space) : o;
    swf::Rect r = in == o ? o->local_bounds() : bounds_in(*o, in);
    if (r == swf::Rect{})
        return {6710886.35, 6710886.35, 6710886.35, 6710886.35}; // what Flash reports for nothing drawn
    return {r.x_min / 20.0, r.y_min / 20.0, r.x_max / 20.0, r.y_max / 20.0};
}

double DisplayAdapter::bytes_loaded(ClipId clip)
{
    return bytes_total(clip);
}

double DisplayAdapter::bytes_total(ClipId clip)
{
    DisplayObject* o = find(clip);
    if (!o || !o->library() || !o->library()->movie)
        return 0;
    return double(o->library()->movie->header.file_length);
}

std::array<double, 8> DisplayAdapter::color_transform(ClipId clip)
{
    DisplayObject* o = find(clip);
    if (!o)
        return {100, 0, 100, 0, 100, 0, 100, 0};
    const ColorTransform& c = o->color_transform;
    return {c.r_mult * 100, c.r_add, c.g_mult * 100, c.g_add, c.b_mult * 100, c.b_add, c.a_mult * 100, c.a_add};
}

void DisplayAdapter::set_color_transform(ClipId clip, const std::array<double, 8>& t)
{
    DisplayObject* o = find(clip);
    if (!o)
        return;
    // Multipliers are 8.8 fixed point and offsets whole numbers, as the format keeps them.
    auto mult = [](double percent) { return std::isfinite(percent) ? std::trunc(percent / 100 * 256) / 256 : 0.0; };
    auto add = [](double v) { return std::isfinite(v) ? std::clamp(std::trunc(v), -32768.0, 32767.0) : 0.0; };
    ColorTransform& c = o->color_transform;
    c = {mult(t[0]), mult(t[2]), mult(t[4]), mult(t[6]), add(t[1]), add(t[3]), add(t[5]), add(t[7])};
    o->moved_by_script = true;
}

avm1::Rect DisplayAdapter::stage_rect()
{
    swf::Rect s = m_player.stage();
    return {0, 0, s.width() / 20.0, s.height() / 20.0};
}

bool DisplayAdapter::key_down(int code)
{
    return m_player.key_pressed(code);
}

int DisplayAdapter::last_key()
{
    return m_player.last_key();
}

bool DisplayAdapter::set_focus(ClipId clip)
{
    DisplayObject* o = find(clip);
    if (clip && !o)
        return false;
    m_focus = clip;
    return true;
}

// ---- Text fields ----

bool DisplayAdapter::bound_variable(TextField& field, avm1::Object*& holder, std::string& name)
{
    if (field.variable.empty() || !field.parent() || !m_in)
        return false;
    return m_in->find_variable(field.parent()->id(), field.variable, holder, name) && holder;
}

void DisplayAdapter::bind(TextField& field)
{
    avm1::Object* holder = nullptr;
    std::string name;
    if (!bound_variable(field, holder, name))
        return;
    avm1::Interpreter& in = *m_in;
    in.guard(field.swf_version(), [&] {
        // An existing variable shows in the field; otherwise the text the movie gave the
        // field (not what a script put in it since) sets it.
        const EditTextCharacter* edit = field.edit();
        std::string initial = edit && edit->def.initial_text ? std::string(*edit->def.initial_text) : std::string();
        if (in.has_property(holder, name)) {
            set_field_text(field, in.to_string(in.get(holder, name)), false);
        } else if (!initial.empty()) {
            in.set(holder, name, Value(field.html ? plain_text(initial) : initial));
        }
    });
}

void DisplayAdapter::field_edited(TextField& field)
{
    avm1::Object* holder = nullptr;
    std::string name;
    if (!bound_variable(field, holder, name))
        return;
    avm1::Interpreter& in = *m_in;
    in.guard(field.swf_version(), [&] { in.set(holder, name, Value(field.text())); });
}

void DisplayAdapter::refresh_bound_fields()
{
    if (!m_in)
        return;
    std::vector<std::uint64_t> ids;
    for (const auto& [n, root] : m_player.levels())
        ids.push_back(root->id());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        DisplayObject* o = find(ids[i]);
        if (!o)
            continue;
        if (MovieClip* c = o->as_clip()) {
            for (const auto& [depth, child] : c->children())
                ids.push_back(child->id());
            continue;
        }
        TextField* field = o->as_text_field();
        avm1::Object* holder = nullptr;
        std::string name;
        if (!field || !bound_variable(*field, holder, name))
            continue;
        avm1::Interpreter& in = *m_in;
        in.guard(field->swf_version(), [&] {
            if (in.has_property(holder, name))
                set_field_text(*field, in.to_string(in.get(holder, name)), false);
        });
    }
}

void DisplayAdapter::set_field_text(TextField& field, const std::string& text, bool html)
{
    if (html && field.html)
        field.set_html_text(text);
    else
        field.set_text(text);
}

std::string DisplayAdapter::export_name(ClipId clip)
{
    DisplayObject* o = find(clip);
    if (!o || !o->character() || !o->library())
        return {};
    for (const auto& [name, id] : o->library()->exports)
        if (id == o->character()->id)
            return name;
    return {};
}

std::string DisplayAdapter::static_text(ClipId clip)
{
    MovieClip* c = find_clip(clip);
    if (!c || !c->library())
        return {};
    std::string out;
    for (const auto& [depth, child] : c->children()) {
        const Character* character = child->character();
        if (!character || character->type != CharacterType::Text)
            continue;
        const FontCharacter* font = nullptr;
        for (const TextRecord& record : static_cast<const TextCharacter*>(character)->def.records) {
            if (record.font_id) {
                const Character* f = c->library()->find(*record.font_id);
                font = f && f->type == CharacterType::Font ? static_cast<const FontCharacter*>(f) : nullptr;
            }
            // Glyph indexes become characters through the font's code table.
            const std::vector<std::uint16_t>* codes = !font                      ? nullptr
                                                      : !font->def.codes.empty() ? &font->def.codes
                                                      : font->info               ? &font->info->codes
                                                                                 : nullptr;
            for (const GlyphEntry& glyph : record.glyphs)
                if (codes && glyph.index < codes->size())
                    out += avm1::encode_char((*codes)[glyph.index], 6);
        }
    }
    return out;
}

Value DisplayAdapter::text_property(ClipId clip, TextProperty p)
{
    TextField* f = find_field(clip);
    if (!f)
        return Value();
    switch (p) {
    case TextProperty::Text: {
        // A variable on a clip is read through; other holders only set the field.
        avm1::Object* holder = nullptr;
        std::string name;
        if (bound_variable(*f, holder, name) && m_in->clip_of(holder) && m_in->has_property(holder, name))
            return m_in->to_string(m_in->get(holder, name));
        return f->text();
    }
    case TextProperty::HtmlText: return f->html_text();
    case TextProperty::Html: return f->html;
    case TextProperty::Variable:
        if (f->variable.empty())
            return Value(avm1::Null{});
        return f->variable;
    case TextProperty::Scroll: return f->scroll();
    case TextProperty::MaxScroll: return f->max_scroll();
    case TextProperty::BottomScroll: return f->bottom_scroll();
    case TextProperty::HScroll: return f->hscroll();
    case TextProperty::MaxHScroll: return f->max_hscroll();
    case TextProperty::TextWidth: return f->text_width();
    case TextProperty::TextHeight: return f->text_height();
    case TextProperty::Length: {
        avm1::Value shown = text_property(clip, TextProperty::Text);
        return double(avm1::decode_chars(shown.is_string() ? shown.string() : std::string(), 6).size());
    }
    case TextProperty::Multiline: return f->multiline;
    case TextProperty::WordWrap: return f->word_wrap;
    case TextProperty::Password: return f->password;
    case TextProperty::Selectable: return f->selectable;
    case TextProperty::Border: return f->border;
    case TextProperty::Background: return f->background;
    case TextProperty::BorderColor: return double(f->border_color);
    case TextProperty::BackgroundColor: return double(f->background_color);
    case TextProperty::TextColor: return double(f->text_color);
    case TextProperty::AutoSize: return f->auto_size;
    case TextProperty::Type: return f->read_only ? "dynamic" : "input";
    case TextProperty::MaxChars: return f->max_chars > 0 ? Value(f->max_chars) : Value(avm1::Null{});
    case TextProperty::EmbedFonts: return f->embed_fonts;
    }
    return Value();
}

void DisplayAdapter::set_text_property(ClipId clip, TextProperty p, const Value& v)
{
    TextField* f = find_field(clip);
    if (!f || !m_in)
        return;
    avm1::Interpreter& in = *m_in;
    auto flag = [&] { return avm1::to_boolean(v, f->swf_version()); };
    auto scroll_value = [&] {
        // Flash subtracts one in 32-bit arithmetic before clamping, so the lowest integer
        // wraps round to the highest.
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(avm1::to_int32(in.to_number(v))) - 1u);
    };
    switch (p) {
    case TextProperty::Text:
    case TextProperty::HtmlText: {
        std::string text = in.to_string(v);
        set_field_text(*f, text, p == TextProperty::HtmlText);
        avm1::Object* holder = nullptr;
        std::string name;
        if (bound_variable(*f, holder, name))
            in.set(holder, name, Value(p == TextProperty::HtmlText ? f->text() : text));
        break;
    }
    case TextProperty::Html: f->html = flag(); break;
    case TextProperty::Variable:
        f->variable = v.is_nullish() ? std::string() : in.to_string(v);
        bind(*f);
        break;
    case TextProperty::Scroll: {
        std::int32_t s = scroll_value();
        f->set_scroll(s < 0 ? 1 : s >= f->max_scroll() ? f->max_scroll() : s + 1);
        break;
    }
    case TextProperty::HScroll: {
        double n = in.to_number(v);
        std::int32_t s = avm1::to_int32(n);
        f->set_hscroll(s < 0 ? 0 : s);
        break;
    }
    case TextProperty::Multiline: f->multiline = flag(); break;
    case TextProperty::WordWrap: f->word_wrap = flag(); break;
    case TextProperty::Password: f->password = flag(); break;
    case TextProperty::Selectable: f->selectable = flag(); break;
    case TextProperty::Border: f->border = flag(); break;
    case TextProperty::Background: f->background = flag(); break;
    case TextProperty::BorderColor: f->border_color = to_rgb(in.to_number(v)); break;
    case TextProperty::BackgroundColor: f->background_color = to_rgb(in.to_number(v)); break;
    case TextProperty::TextColor: f->text_color = to_rgb(in.to_number(v)); break;
    case TextProperty::AutoSize:
        if (v.is_boolean())
            f->auto_size = v.boolean() ? "left" : "none";
        else if (v.is_string()) {
            std::string a = lower_ascii(v.string());
            if (a == "left" || a == "right" || a == "center" || a == "none")
                f->auto_size = a;
        }
        break;
    case TextProperty::Type:
        if (v.is_string()) {
            std::string t = lower_ascii(v.string());
            if (t == "input" || t == "dynamic")
                f->read_only = t == "dynamic";
        }
        break;
    case TextProperty::MaxChars: {
        double n = in.to_number(v);
        f->max_chars = std::isfinite(n) && n > 0 ? int(std::min(n, 1e9)) : 0;
        break;
    }
    case TextProperty::EmbedFonts: f->embed_fonts = flag(); break;
    default: break; // read-only
    }
}

avm1::TextFormatValues DisplayAdapter::text_format(ClipId clip, int begin, int end)
{
    TextField* f = find_field(clip);
    if (!f)
        return {};
    std::size_t length = f->chars().size();
    TextField::RunFormat run;
    if (begin < 0)
        run = f->format(0, 0);
    else if (begin < end)
        // Past the end of the text: the last character's format.
        run = begin >= int(length) && length > 0 ? f->format(length - 1, length) : f->format(begin, end);
    avm1::TextFormatValues out;
    out.font = run.font;
    if (run.size)
        out.size = *run.size / 20;
    if (run.color)
        out.color = double(*run.color);
    out.bold = run.bold;
    out.italic = run.italic;
    out.underline = run.underline;
    // Paragraph settings are the field's own.
    static const char* const kAlign[] = {"left", "right", "center", "justify"};
    const DefineEditText* def = f->edit() ? &f->edit()->def : nullptr;
    out.align = kAlign[def && def->align < 4 ? def->align : 0];
    out.left_margin = def ? def->left_margin / 20.0 : 0;
    out.right_margin = def ? def->right_margin / 20.0 : 0;
    out.indent = def ? def->indent / 20.0 : 0;
    out.leading = def ? def->leading / 20.0 : 0;
    return out;
}

void DisplayAdapter::set_text_format(ClipId clip, int begin, int end, const avm1::TextFormatValues& v)
{
    TextField* f = find_field(clip);
    if (!f)
        return;
    TextField::RunFormat run;
    run.font = v.font;
    if (v.size && std::isfinite(*v.size))
        run.size = std::clamp(std::round(*v.size), 0.0, 1000.0) * 20;
    if (v.color && std::isfinite(*v.color))
        run.color = std::uint32_t(avm1::to_int32(*v.color)) & 0xFFFFFF;
    run.bold = v.bold;
    run.italic = v.italic;
    run.underline = v.underline;
    if (begin < 0) {
        // New text: the field's size and colour, and the rest as its own.
        if (run.size)
            f->font_size = *run.size;
        if (run.color)
            f->text_color = *run.color;
        for (auto [from, to] : {std::pair{&run.bold, &f->new_text.bold}, std::pair{&run.italic, &f->new_text.italic},
                                std::pair{&run.underline, &f->new_text.underline}})
            if (*from)
                *to = *from;
        if (run.font)
            f->new_text.font = run.font;
        return;
    }
    f->set_format(std::size_t(std::max(begin, 0)), std::size_t(std::max(end, 0)), run);
}

} // namespace swf::script
