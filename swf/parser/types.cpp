#include "swf/parser/types.h"

#include <algorithm>
#include <cmath>

namespace swf {

Matrix Matrix::operator*(const Matrix& m) const
{
    return {a * m.a + c * m.b,       b * m.a + d * m.b,       a * m.c + c * m.d,
            b * m.c + d * m.d,       a * m.tx + c * m.ty + tx, b * m.tx + d * m.ty + ty};
}

Matrix Matrix::inverted(bool* invertible) const
{
    double det = a * d - b * c;
    bool ok = std::isfinite(det) && std::abs(det) > 1e-12;
    if (invertible)
        *invertible = ok;
    if (!ok)
        return {};
    Matrix m{d / det, -b / det, -c / det, a / det, 0, 0};
    m.tx = -(m.a * tx + m.c * ty);
    m.ty = -(m.b * tx + m.d * ty);
    return m;
}

static std::uint8_t channel(double value)
{
    if (!(value > 0))
        return 0;
    return value >= 255 ? 255 : static_cast<std::uint8_t>(value);
}

Rgba ColorTransform::apply(Rgba c) const
{
    return {channel(c.r * r_mult + r_add), channel(c.g * g_mult + g_add), channel(c.b * b_mult + b_add),
            channel(c.a * a_mult + a_add)};
}

ColorTransform ColorTransform::operator*(const ColorTransform& in) const
{
    return {r_mult * in.r_mult,          g_mult * in.g_mult,          b_mult * in.b_mult,
            a_mult * in.a_mult,          r_mult * in.r_add + r_add,   g_mult * in.g_add + g_add,
            b_mult * in.b_add + b_add,   a_mult * in.a_add + a_add};
}

Rgba read_rgb(Reader& r)
{
    Rgba c;
    c.r = r.u8();
    c.g = r.u8();
    c.b = r.u8();
    return c;
}

Rgba read_rgba(Reader& r)
{
    Rgba c = read_rgb(r);
    c.a = r.u8();
    return c;
}

Rect read_rect(Reader& r)
{
    unsigned bits = r.ub(5);
    Rect rect;
    rect.x_min = r.sb(bits);
    rect.x_max = r.sb(bits);
    rect.y_min = r.sb(bits);
    rect.y_max = r.sb(bits);
    r.align();
    return rect;
}

Matrix read_matrix(Reader& r)
{
    Matrix m;
    if (r.flag()) {
        unsigned bits = r.ub(5);
        m.a = r.fb(bits);
        m.d = r.fb(bits);
    }
    if (r.flag()) {
        unsigned bits = r.ub(5);
        m.b = r.fb(bits);
        m.c = r.fb(bits);
    }
    unsigned bits = r.ub(5);
    m.tx = r.sb(bits);
    m.ty = r.sb(bits);
    r.align();
    return m;
}

ColorTransform read_cxform(Reader& r, bool with_alpha)
{
    ColorTransform cx;
    bool has_add = r.flag();
    bool has_mult = r.flag();
    unsigned bits = r.ub(4);
    if (has_mult) {
        cx.r_mult = r.sb(bits) / 256.0;
        cx.g_mult = r.sb(bits) / 256.0;
        cx.b_mult = r.sb(bits) / 256.0;
        if (with_alpha)
            cx.a_mult = r.sb(bits) / 256.0;
    }
    if (has_add) {
        cx.r_add = r.sb(bits);
        cx.g_add = r.sb(bits);
        cx.b_add = r.sb(bits);
        if (with_alpha)
            cx.a_add = r.sb(bits);
    }
    r.align();
    return cx;
}

} // namespace swf
