#include "swf/core/display_object.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/player.h"

namespace swf {

DisplayObject::DisplayObject(Player& player, Kind kind, const Character* character)
    : m_player(player), m_kind(kind), m_character(character), m_id(player.register_object(this))
{
}

DisplayObject::~DisplayObject()
{
    m_player.unregister_object(m_id);
}

MovieClip* DisplayObject::as_clip()
{
    return m_kind == Kind::MovieClip ? static_cast<MovieClip*>(this) : nullptr;
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
    for (const DisplayObject* o = this; o->m_parent; o = o->m_parent)
        path = "." + o->name + path;
    return "_level0" + path;
}

Rect DisplayObject::local_bounds() const
{
    return {};
}

bool DisplayObject::hit_test(Point) const
{
    return false;
}

double DisplayObject::x_scale() const
{
    return std::hypot(matrix.a, matrix.b);
}

double DisplayObject::y_scale() const
{
    return std::hypot(matrix.c, matrix.d);
}

double DisplayObject::rotation() const
{
    return std::atan2(matrix.b, matrix.a) * 180 / std::numbers::pi;
}

void DisplayObject::set_x_scale(double scale)
{
    double current = x_scale();
    double angle = std::atan2(matrix.b, matrix.a);
    if (current == 0) {
        matrix.a = scale * std::cos(angle);
        matrix.b = scale * std::sin(angle);
    } else {
        matrix.a *= scale / current;
        matrix.b *= scale / current;
    }
    moved_by_script = true;
}

void DisplayObject::set_y_scale(double scale)
{
    double current = y_scale();
    double angle = std::atan2(-matrix.c, matrix.d);
    if (current == 0) {
        matrix.c = -scale * std::sin(angle);
        matrix.d = scale * std::cos(angle);
    } else {
        matrix.c *= scale / current;
        matrix.d *= scale / current;
    }
    moved_by_script = true;
}

void DisplayObject::set_rotation(double degrees)
{
    double sx = x_scale(), sy = y_scale();
    double r = degrees * std::numbers::pi / 180;
    matrix.a = sx * std::cos(r);
    matrix.b = sx * std::sin(r);
    matrix.c = -sy * std::sin(r);
    matrix.d = sy * std::cos(r);
    moved_by_script = true;
}

Rect GraphicInstance::local_bounds() const
{
    return character_bounds(*player().library(), character());
}

bool GraphicInstance::hit_test(Point local) const
{
    return character_hit(*player().library(), character(), local);
}

} // namespace swf
