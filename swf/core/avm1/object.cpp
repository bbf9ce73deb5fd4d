#include "swf/core/avm1/object.h"

#include "swf/core/avm1/interpreter.h"

namespace swf::avm1 {

bool property_visible(uint32_t flags, int version)
{
    uint32_t hidden = 0;
    if (version < 6) hidden = prop::OnlySwf6Up | prop::OnlySwf7Up | prop::OnlySwf8Up | prop::OnlySwf9Up | prop::OnlySwf10Up;
    else if (version == 6) hidden = prop::IgnoreSwf6 | prop::OnlySwf7Up | prop::OnlySwf8Up | prop::OnlySwf9Up | prop::OnlySwf10Up;
    else if (version == 7) hidden = prop::OnlySwf8Up | prop::OnlySwf9Up | prop::OnlySwf10Up;
    else if (version == 8) hidden = prop::OnlySwf9Up | prop::OnlySwf10Up;
    else if (version == 9) hidden = prop::OnlySwf10Up;
    return (flags & hidden) == 0;
}

Property* PropertyMap::find(std::string_view name, bool case_sensitive)
{
    auto it = index_.find(ascii_lower(name));
    if (it == index_.end()) return nullptr;
    for (int32_t i = it->second; i >= 0; i = props_[static_cast<size_t>(i)].next_same_key) {
        Property& p = props_[static_cast<size_t>(i)];
        if (!case_sensitive || p.name == name) return &p;
    }
    return nullptr;
}

Property& PropertyMap::add(std::string_view name)
{
    auto idx = static_cast<int32_t>(props_.size());
    Property& p = props_.emplace_back();
    p.name = std::string(name);
    auto [it, inserted] = index_.try_emplace(ascii_lower(name), idx);
    if (!inserted) {
        int32_t i = it->second;
        while (props_[static_cast<size_t>(i)].next_same_key >= 0) i = props_[static_cast<size_t>(i)].next_same_key;
        props_[static_cast<size_t>(i)].next_same_key = idx;
    }
    return p;
}

bool PropertyMap::erase(std::string_view name, bool case_sensitive)
{
    Property* p = find(name, case_sensitive);
    if (!p) return false;
    p->alive = false;
    p->value = Value();
    p->getter = p->setter = nullptr;
    ++dead_;
    if (dead_ > 16 && dead_ > props_.size() / 2) {
        std::erase_if(props_, [](const Property& q) { return !q.alive; });
        dead_ = 0;
    }
    rebuild_index();
    return true;
}

void PropertyMap::rebuild_index()
{
    index_.clear();
    std::unordered_map<std::string, int32_t> last;
    for (size_t i = 0; i < props_.size(); ++i) {
        Property& p = props_[i];
        p.next_same_key = -1;
        if (!p.alive) continue;
        std::string key = ascii_lower(p.name);
        auto idx = static_cast<int32_t>(i);
        auto [it, inserted] = index_.try_emplace(key, idx);
        if (!inserted) props_[static_cast<size_t>(last[key])].next_same_key = idx;
        last[key] = idx;
    }
}

void Object::define(std::string_view name, Value value, uint32_t flags)
{
    Property* p = props_.find(name, true);
    if (!p) p = &props_.add(name);
    p->value = std::move(value);
    p->flags = flags;
}

std::unordered_map<std::string, Object::Watch>& Object::watches()
{
    if (!watches_) watches_ = std::make_unique<std::unordered_map<std::string, Watch>>();
    return *watches_;
}

void Object::trace(Tracer& tracer)
{
    tracer.mark(proto_);
    props_.for_each([&](Property& p) {
        tracer.mark(p.value.object());
        tracer.mark(p.getter);
        tracer.mark(p.setter);
    });
    if (watches_)
        for (auto& [name, w] : *watches_) {
            tracer.mark(w.callback);
            tracer.mark(w.user_data.object());
        }
}

bool PrimitiveObject::get_special(Interpreter& in, std::string_view name, Value& out)
{
    if (object_class() == ObjectClass::String && primitive.is_string() && equals_ignore_case(name, "length") &&
        (in.case_sensitive() ? name == "length" : true)) {
        out = Value(static_cast<double>(primitive.string().size()));
        return true;
    }
    return false;
}

void ArrayObject::set(size_t i, Value v)
{
    if (i >= kMaxDense) return;
    if (i >= elements_.size()) elements_.resize(i + 1);
    elements_[i] = std::move(v);
}

std::optional<size_t> ArrayObject::index_of(std::string_view name)
{
    if (name.empty() || name.size() > 10) return std::nullopt;
    if (name.size() > 1 && name[0] == '0') return std::nullopt;
    size_t v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<size_t>(c - '0');
    }
    return v;
}

bool ArrayObject::get_special(Interpreter& in, std::string_view name, Value& out)
{
    if (auto i = index_of(name)) {
        if (!has(*i)) return false;
        out = at(*i);
        return true;
    }
    if (in.case_sensitive() ? name == "length" : equals_ignore_case(name, "length")) {
        out = Value(static_cast<double>(elements_.size()));
        return true;
    }
    return false;
}

bool ArrayObject::set_special(Interpreter& in, std::string_view name, const Value& v)
{
    if (auto i = index_of(name)) {
        if (*i >= kMaxDense) return false;
        set(*i, v);
        return true;
    }
    if (in.case_sensitive() ? name == "length" : equals_ignore_case(name, "length")) {
        double n = in.to_number(v);
        if (n >= 0 && n < static_cast<double>(kMaxDense)) set_length(static_cast<size_t>(n));
        return true;
    }
    return false;
}

bool ArrayObject::delete_special(Interpreter&, std::string_view name)
{
    if (auto i = index_of(name)) {
        if (!has(*i)) return false;
        elements_[*i].reset();
        return true;
    }
    return false;
}

void ArrayObject::special_keys(Interpreter&, std::vector<std::string>& out)
{
    for (size_t i = 0; i < elements_.size(); ++i)
        if (elements_[i]) out.push_back(std::to_string(i));
}

void ArrayObject::trace(Tracer& tracer)
{
    Object::trace(tracer);
    for (auto& e : elements_)
        if (e) tracer.mark(e->object());
}

void FunctionObject::trace(Tracer& tracer)
{
    Object::trace(tracer);
    tracer.mark(scope);
    tracer.mark(target);
    tracer.mark(bound.object());
}

void Scope::trace(Tracer& tracer)
{
    tracer.mark(object);
    tracer.mark(parent);
}

}  // namespace swf::avm1
