#pragma once

#include "swf/core/avm1/host.h"
#include "swf/core/avm1/object.h"

namespace swf::avm1 {

// The script object of a display object: it holds the clip's timeline variables, and its
// numbered properties (_x, _alpha, ...) and child clips come from the display tree.
class ClipObject : public Object {
public:
    ClipObject(Object* proto, ClipId clip) : Object(proto, ObjectClass::Clip), clip(clip) {}

    bool get_special(Interpreter& in, std::string_view name, Value& out) override;
    bool set_special(Interpreter& in, std::string_view name, const Value& v) override;
    void special_keys(Interpreter& in, std::vector<std::string>& out) override;

    ClipId clip;
};

}  // namespace swf::avm1
