#pragma once

#include <QColor>
#include <QTransform>

#include "swf/parser/types.h"

namespace swf {

inline QTransform to_qt(const Matrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

inline QColor to_qt(Rgba c)
{
    return QColor(c.r, c.g, c.b, c.a);
}

inline QColor to_qt(Rgba c, const ColorTransform& cx)
{
    return to_qt(cx.apply(c));
}

inline bool is_identity(const ColorTransform& cx)
{
    return cx == ColorTransform{};
}

} // namespace swf
