#include "swf/core/display_object.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/player.h"

namespace swf {

DisplayObject::DisplayObject(Player& player, Kind kind, const Character* character, const Library* library)
    : m_player(player), m_kind(kind), m_character(character), m_library(library), m_id(player.register_object(this))
{
}

DisplayObject::~DisplayObject()
{
    m_player.unregister_object(m_id);
}

std::uint8_t DisplayObject::swf_version() const
{
    return m_library && m_library->movie ? m_library->movie->header.version : 0;
}

MovieClip* DisplayObject::as_clip()
{
    return m_kind == Kind::MovieClip ? static_cast<MovieClip*>(this) : nullptr;
}

const MovieClip* DisplayObject::as_clip() const
{
    return m_kind == Kind::MovieClip ? static_cast<const MovieClip*>(this) : nullptr;
}

bool DisplayObject::scriptable() const
{
    return m_kind != Kind::Graphic || const_cast<DisplayObject*>(this)->as_text_field();
}

Matrix DisplayObject::global_matrix() const
{
    Matrix m = matrix;
    for (const DisplayObject* p = m_parent; p; p = p->m_parent)
        m = p->matrix * m;
    return m;
}

ColorTransform DisplayObject::global_color_transform() const
{
    ColorTransform c = color_transform;
    for (const DisplayObject* p = m_parent; p; p = p->m_parent)
        c = p->color_transform * c;
    return c;
}

const DisplayObject* DisplayObject::level_root() const
{
    const DisplayObject* o = this;
    while (o->m_parent)
        o = o->m_parent;
    return o;
}

std::string DisplayObject::slash_path() const
{
    if (!m_parent)
        return "/";
    std::string path;
    for (const DisplayObject* o = this; o->m_parent; o = o->m_parent)
        path = "/" + o->name + path;
    return path;
}

std::string DisplayObject::dot_path() const
{
    std::string path;
    const DisplayObject* o = this;
    for (; o->m_parent; o = o->m_parent)
        path = "." + o->name + path;
    return "_level" + std::to_string(std::max(o->level, 0)) + path;
}

Rect DisplayObject::local_bounds() const
{
    return {};
}

bool DisplayObject::hit_test(Point) const
{
    return false;
}

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

} // namespace

DisplayObject::Kept DisplayObject::kept() const
{
    if (m_kept)
        return *m_kept;
    double x_angle = std::atan2(matrix.b, matrix.a);
    double y_angle = std::atan2(-matrix.c, matrix.d);
    return {std::hypot(matrix.a, matrix.b), std::hypot(matrix.c, matrix.d), x_angle * kDegrees, y_angle - x_angle};
}

void DisplayObject::apply(const Kept& k)
{
    double x_angle = k.rotation / kDegrees;
    double y_angle = x_angle + k.skew;
    matrix.a = k.x_scale * std::cos(x_angle);
    matrix.b = k.x_scale * std::sin(x_angle);
    matrix.c = -k.y_scale * std::sin(y_angle);
    matrix.d = k.y_scale * std::cos(y_angle);
    m_kept = k;
    moved_by_script = true;
}

double DisplayObject::x_scale() const
{
    return kept().x_scale;
}

double DisplayObject::y_scale() const
{
    return kept().y_scale;
}

double DisplayObject::rotation() const
{
    return kept().rotation;
}

void DisplayObject::set_x_scale(double scale)
{
    Kept k = kept();
    k.x_scale = scale;
    apply(k);
}

void DisplayObject::set_y_scale(double scale)
{
    Kept k = kept();
    k.y_scale = scale;
    apply(k);
}

void DisplayObject::set_rotation(double degrees)
{
    Kept k = kept();
    k.rotation = degrees;
    apply(k);
}

Rect GraphicInstance::local_bounds() const
{
    return character_bounds(*library(), character());
}

bool GraphicInstance::hit_test(Point local) const
{
    return character_hit(*library(), character(), local);
}

} // namespace swf
