#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/core/avm1/heap.h"
#include "swf/core/avm1/value.h"

namespace swf::avm1 {

class Interpreter;
class FunctionObject;

// Property attributes as ASSetPropFlags sets them. The upper bits hide a property from
// movies of some SWF versions.
namespace prop {
enum : uint32_t {
    DontEnum = 1,
    DontDelete = 2,
    ReadOnly = 4,
    OnlySwf6Up = 0x80,
    IgnoreSwf6 = 0x100,
    OnlySwf7Up = 0x400,
    OnlySwf8Up = 0x1000,
    OnlySwf9Up = 0x2000,
    OnlySwf10Up = 0x4000,
};
}
bool property_visible(uint32_t flags, int version);

struct Property {
    std::string name;
    Value value;
    FunctionObject* getter = nullptr;
    FunctionObject* setter = nullptr;
    uint32_t flags = 0;
    int32_t next_same_key = -1;  // next property whose name differs only in case
    bool alive = true;
};

// Properties in creation order, found by name with or without regard to case (SWF 7 and later
// compare case; older movies do not).
class PropertyMap {
public:
    Property* find(std::string_view name, bool case_sensitive);
    Property& add(std::string_view name);
    bool erase(std::string_view name, bool case_sensitive);
    template <typename F>
    void for_each(F&& f)
    {
        for (Property& p : props_)
            if (p.alive) f(p);
    }
    size_t size() const { return props_.size() - dead_; }

private:
    void rebuild_index();

    std::vector<Property> props_;
    std::unordered_map<std::string, int32_t> index_;  // lowercased name → first property
    size_t dead_ = 0;
};

enum class ObjectClass : uint8_t { Object, Function, Array, String, Number, Boolean, Date, Clip, Arguments };

class Object : public Cell {
public:
    explicit Object(Object* proto, ObjectClass cls = ObjectClass::Object) : proto_(proto), class_(cls) {}

    ObjectClass object_class() const { return class_; }
    Object* proto() const { return proto_; }
    void set_proto(Object* proto) { proto_ = proto; }
    PropertyMap& properties() { return props_; }

    // Own data property without setters, flags or version checks: for building builtins.
    void define(std::string_view name, Value value, uint32_t flags = prop::DontEnum);

    // Hooks for objects whose properties are not all in the map (array elements, clip
    // properties). They see the name as written and the version of the running code.
    virtual bool get_special(Interpreter&, std::string_view, Value&) { return false; }
    virtual bool set_special(Interpreter&, std::string_view, const Value&) { return false; }
    virtual bool delete_special(Interpreter&, std::string_view) { return false; }
    virtual void special_keys(Interpreter&, std::vector<std::string>&) {}

    void trace(Tracer& tracer) override;

    // Hidden state any builtin may keep (watch callbacks).
    struct Watch {
        FunctionObject* callback;
        Value user_data;
    };
    std::unordered_map<std::string, Watch>& watches();

protected:
    PropertyMap props_;

private:
    Object* proto_;
    ObjectClass class_;
    std::unique_ptr<std::unordered_map<std::string, Watch>> watches_;
};

// Boxed String, Number and Boolean objects, and any object carrying a primitive (Date's time).
class PrimitiveObject : public Object {
public:
    PrimitiveObject(Object* proto, ObjectClass cls, Value primitive) : Object(proto, cls), primitive(std::move(primitive)) {}
    bool get_special(Interpreter& in, std::string_view name, Value& out) override;
    Value primitive;
};

class ArrayObject : public Object {
public:
    static constexpr size_t kMaxDense = 1u << 24;

    explicit ArrayObject(Object* proto, ObjectClass cls = ObjectClass::Array) : Object(proto, cls) {}

    size_t length() const { return elements_.size(); }
    void set_length(size_t n) { elements_.resize(std::min(n, kMaxDense)); }
    Value at(size_t i) const { return i < elements_.size() && elements_[i] ? *elements_[i] : Value(); }
    bool has(size_t i) const { return i < elements_.size() && elements_[i].has_value(); }
    void set(size_t i, Value v);
    void push(Value v) { if (elements_.size() < kMaxDense) elements_.emplace_back(std::move(v)); }
    std::vector<std::optional<Value>>& elements() { return elements_; }

    bool get_special(Interpreter& in, std::string_view name, Value& out) override;
    bool set_special(Interpreter& in, std::string_view name, const Value& v) override;
    bool delete_special(Interpreter& in, std::string_view name) override;
    void special_keys(Interpreter& in, std::vector<std::string>& out) override;
    void trace(Tracer& tracer) override;

    // The index a property name denotes, if it is a canonical array index.
    static std::optional<size_t> index_of(std::string_view name);

private:
    std::vector<std::optional<Value>> elements_;
};

class Scope;
struct ActionBlock;

struct CallArgs {
    Object* this_obj = nullptr;
    std::span<const Value> args;
    FunctionObject* callee = nullptr;
    bool constructing = false;
    const Value& operator[](size_t i) const
    {
        static const Value undefined;
        return i < args.size() ? args[i] : undefined;
    }
    size_t size() const { return args.size(); }
};

using NativeFn = Value (*)(Interpreter&, const CallArgs&);

// What DefineFunction and DefineFunction2 describe.
struct ScriptFunctionInfo {
    std::shared_ptr<const ActionBlock> block;
    std::shared_ptr<const std::vector<std::string>> constant_pool;
    uint32_t start = 0;  // body offset in the block
    uint32_t size = 0;
    std::string name;
    struct Param {
        std::string name;
        uint8_t register_index = 0;  // 0: an ordinary local variable
    };
    std::vector<Param> params;
    bool v2 = false;
    uint8_t register_count = 0;
    uint16_t flags = 0;  // DefineFunction2's preload and suppress flags
    int version = 6;
};

class FunctionObject : public Object {
public:
    FunctionObject(Object* proto, NativeFn native, std::string name = {})
        : Object(proto, ObjectClass::Function), native(native), native_name(std::move(name)) {}
    FunctionObject(Object* proto, ScriptFunctionInfo info, Scope* scope, Object* target)
        : Object(proto, ObjectClass::Function), script(std::make_shared<ScriptFunctionInfo>(std::move(info))),
          scope(scope), target(target) {}

    void trace(Tracer& tracer) override;

    NativeFn native = nullptr;
    std::string native_name;
    std::shared_ptr<const ScriptFunctionInfo> script;
    Scope* scope = nullptr;     // the scope chain it was defined in
    Object* target = nullptr;   // the clip whose timeline defined it
    // For natives that are a method of a constructor's prototype and need extra state.
    Value bound;
};

class Scope : public Cell {
public:
    enum class Kind : uint8_t { Global, Target, Local, With };
    Scope(Kind kind, Object* object, Scope* parent) : kind(kind), object(object), parent(parent) {}
    void trace(Tracer& tracer) override;

    Kind kind;
    Object* object;
    Scope* parent;
};

}  // namespace swf::avm1
