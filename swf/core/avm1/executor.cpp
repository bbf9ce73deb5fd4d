// The action loop: decodes action records straight from the block's bytes, so jumps and
// function bodies are plain byte offsets into it.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "swf/core/avm1/clip_object.h"
#include "swf/core/avm1/frame.h"
#include "swf/core/avm1/text.h"

namespace swf::avm1 {

namespace {

// Reads operands without ever going past their record.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool bad() const { return bad_; }
    bool at_end() const { return pos_ >= size_; }
    uint8_t u8() { return need(1) ? data_[pos_++] : 0; }
    uint16_t u16()
    {
        if (!need(2)) return 0;
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    uint32_t u32()
    {
        if (!need(4)) return 0;
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | data_[pos_ + static_cast<size_t>(i)];
        pos_ += 4;
        return v;
    }
    float f32()
    {
        uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    double f64()
    {
        // Push stores a double as its high 32 bits first, each half little-endian.
        uint64_t high = u32();
        uint64_t low = u32();
        uint64_t bits = (high << 32) | low;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    std::string str()
    {
        size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != 0) ++pos_;
        if (pos_ >= size_) {
            bad_ = true;
            return std::string(reinterpret_cast<const char*>(data_ + start), size_ - start);
        }
        std::string s(reinterpret_cast<const char*>(data_ + start), pos_ - start);
        ++pos_;
        return s;
    }

private:
    bool need(size_t n)
    {
        if (pos_ + n > size_) {
            bad_ = true;
            pos_ = size_;
            return false;
        }
        return true;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool bad_ = false;
};

// Ends the current block quietly: a malformed record.
struct BlockEnd {};

// The object `super` names: methods are looked up above `home`, and run on `this_obj`.
class SuperObject : public Object {
public:
    SuperObject(Object* home, Object* this_obj) : Object(home ? home->proto() : nullptr), home(home), this_obj(this_obj) {}
    // `super` stands for the prototype above `home`: its __proto__ is that object's.
    bool get_special(Interpreter&, std::string_view name, Value& out) override
    {
        if (!equals_ignore_case(name, "__proto__")) return false;
        out = proto() ? Value(proto()->proto()) : Value();
        return true;
    }
    void trace(Tracer& t) override
    {
        Object::trace(t);
        t.mark(home);
        t.mark(this_obj);
    }
    Object* home;
    Object* this_obj;
};

bool is_name(std::string_view a, std::string_view b, bool cs) { return cs ? a == b : equals_ignore_case(a, b); }

// "_level3" → 3.
std::optional<int> level_number(std::string_view target)
{
    if (target.size() <= 6 || !equals_ignore_case(target.substr(0, 6), "_level")) return std::nullopt;
    int n = 0;
    for (char c : target.substr(6)) {
        if (c < '0' || c > '9' || n > 100000) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

struct Executor {
    Interpreter& in;
    Frame& f;
    const std::vector<uint8_t>& code;

    Executor(Interpreter& in, Frame& f) : in(in), f(f), code(f.block->code) {}

    enum class Exit { Done, Jump, Return };
    struct Result {
        Exit exit;
        uint32_t target = 0;
    };

    // ---- stack ----
    void push(Value v)
    {
        if (in.stack_.size() >= in.limits_.max_stack) throw ScriptAbort{"stack overflow"};
        in.stack_.push_back(std::move(v));
    }
    // An empty stack gives undefined, as in Flash Player.
    Value pop()
    {
        if (in.stack_.size() <= f.stack_base) return Value();
        Value v = std::move(in.stack_.back());
        in.stack_.pop_back();
        return v;
    }
    double pop_number() { return in.to_number(pop()); }
    std::string pop_string() { return in.to_string(pop()); }
    std::vector<Value> pop_args()
    {
        double n = pop_number();
        size_t count = std::isnan(n) || n < 0 ? 0 : static_cast<size_t>(std::min(n, 1e9));
        count = std::min(count, in.stack_.size() - f.stack_base);
        std::vector<Value> args;
        args.reserve(count);
        for (size_t i = 0; i < count; ++i) args.push_back(pop());
        return args;
    }
    bool cs() const { return f.version >= 7; }

    // ---- targets and variables ----
    ClipId clip_id(Object* o) const { return in.clip_of(o); }

    Object* root_of(Object* start)
    {
        DisplayTree* tree = in.display();
        ClipId c = clip_id(start);
        if (!tree || !c) {
            c = clip_id(f.original_target);
            if (!c) return nullptr;
        }
        for (int i = 0; i < 10000 && tree->parent(c); ++i) c = tree->parent(c);
        return in.clip_object(c);
    }

    Object* parent_of(Object* o)
    {
        DisplayTree* tree = in.display();
        ClipId c = clip_id(o);
        if (!tree || !c) return nullptr;
        ClipId p = tree->parent(c);
        return p ? in.clip_object(p) : nullptr;
    }

    std::optional<Object*> special_segment(std::string_view seg, Object* current)
    {
        if (seg == "..") return parent_of(current);
        if (is_name(seg, "_parent", cs())) return parent_of(current);
        if (is_name(seg, "_root", cs())) return root_of(current);
        if (is_name(seg, "this", cs())) return f.this_visible ? f.this_obj : scope_target();
        if (f.version >= 6 && is_name(seg, "_global", cs())) return in.global();
        if (seg.size() > 6 && equals_ignore_case(seg.substr(0, 6), "_level")) {
            std::string_view digits = seg.substr(6);
            int n = 0;
            for (char c : digits) {
                if (c < '0' || c > '9') return std::nullopt;
                n = n * 10 + (c - '0');
                if (n > 100000) return nullptr;
            }
            if (!in.display()) return nullptr;
            ClipId level = in.display()->level(n);
            return level ? in.clip_object(level) : nullptr;
        }
        return std::nullopt;
    }

    // A target path in slash or dot syntax, relative to `start` unless it begins at a root.
    Object* resolve_path(std::string_view path, Object* start, bool first_in_scope)
    {
        if (path.empty()) return start;
        Object* current = start;
        size_t i = 0;
        if (path[0] == '/') {
            current = root_of(start);
            i = 1;
        }
        bool first = true;
        while (i < path.size() && current) {
            size_t j = path.find_first_of("/.", i);
            // ".." is a segment of its own in slash syntax.
            if (path.compare(i, 2, "..") == 0) j = i + 2;
            if (j == std::string_view::npos) j = path.size();
            std::string_view seg = path.substr(i, j - i);
            i = j + 1;
            if (seg.empty()) continue;
            in.charge(1);
            if (auto special = special_segment(seg, current)) {
                current = *special;
            } else if (first && first_in_scope && path[0] != '/') {
                current = get_variable_plain(seg).object();
            } else {
                current = in.get(current, seg).object();
            }
            first = false;
        }
        return current;
    }

    Object* scope_target() const
    {
        for (Scope* s = f.scope; s; s = s->parent)
            if (s->kind == Scope::Kind::Target) return s->object;
        return f.target;
    }

    Value get_variable_plain(std::string_view name)
    {
        if (is_name(name, "this", cs())) return f.this_visible ? Value(f.this_obj) : Value(scope_target());
        if (auto special = special_segment(name, f.target); special && name != "..") return Value(*special);
        int depth = 0;
        for (Scope* s = f.scope; s && depth < 10000; s = s->parent, ++depth) {
            // Flash 4 movies have timeline variables only: no global object.
            if (s->kind == Scope::Kind::Global && f.version < 5) break;
            if (in.has_property(s->object, name)) return in.get(s->object, name);
        }
        return Value();
    }

    // Splits "path:var" and "a.b.var" into the object and the variable's name.
    bool split_path(std::string_view name, Object*& obj, std::string_view& var)
    {
        size_t colon = name.rfind(':');
        if (colon != std::string_view::npos) {
            obj = resolve_path(name.substr(0, colon), f.target, true);
            var = name.substr(colon + 1);
            return true;
        }
        size_t dot = name.rfind('.');
        if (dot != std::string_view::npos && dot > 0 && dot + 1 < name.size() && name.find('/') == std::string_view::npos) {
            obj = resolve_path(name.substr(0, dot), f.target, true);
            var = name.substr(dot + 1);
            return true;
        }
        return false;
    }

    Value get_variable(std::string_view name)
    {
        Object* obj;
        std::string_view var;
        if (split_path(name, obj, var)) {
            if (!obj) return Value();
            if (auto special = special_segment(var, obj)) return Value(*special);
            return in.get(obj, var);
        }
        if (name.find('/') != std::string_view::npos) return resolve_path(name, f.target, false);
        return get_variable_plain(name);
    }

    void set_variable(std::string_view name, const Value& v)
    {
        Object* obj;
        std::string_view var;
        if (split_path(name, obj, var)) {
            if (obj) in.set(obj, var, v);
            return;
        }
        int depth = 0;
        for (Scope* s = f.scope; s && depth < 10000; s = s->parent, ++depth) {
            if (s->kind == Scope::Kind::Global) break;
            if (in.has_property(s->object, name)) {
                in.set(s->object, name, v);
                return;
            }
        }
        in.set(scope_target() ? scope_target() : in.global(), name, v);
    }

    // DefineLocal, and DefineLocal2 (`declare`: make the variable without changing it).
    void define_local(std::string_view name, const Value& v, bool declare = false)
    {
        // Timeline code may name a variable by path; a function's locals take any name as
        // it is written.
        Object* obj;
        std::string_view var;
        if (!f.locals && split_path(name, obj, var)) {
            if (!obj) return;
            if (!declare) in.set(obj, var, v);
            else if (!obj->properties().find(var, cs())) obj->properties().add(var);
            return;
        }
        // Timeline code without a clip keeps its variables on the global object.
        Object* holder = f.locals ? f.locals : scope_target();
        if (!holder) holder = in.global();
        if (Property* p = holder->properties().find(name, cs())) {
            if (!declare) p->value = v;
            return;
        }
        if (!declare && holder->set_special(in, name, v)) return;
        holder->properties().add(name).value = declare ? Value() : v;
    }

    // ---- calls ----
    Value call_value(const Value& fn, Object* this_obj, std::span<const Value> args, Object* super_home)
    {
        auto* func = dynamic_cast<FunctionObject*>(fn.object());
        if (!func) return Value();
        if (!func->script) return in.call(fn, this_obj, args);
        if (++in.depth_ > in.limits_.max_call_depth) {
            --in.depth_;
            throw ScriptAbort{"recursion too deep"};
        }
        struct Leave {
            int& d;
            ~Leave() { --d; }
        } leave{in.depth_};
        return run_function(in, func, this_obj, args, super_home);
    }

    // The object that holds `name` along obj's prototype chain.
    Object* holder_of(Object* obj, std::string_view name)
    {
        Object* o = obj;
        for (int d = 0; o && d < in.limits_.max_proto_depth; ++d, o = o->proto())
            if (in.has_own_property(o, name)) return o;
        return nullptr;
    }

    void call_method()
    {
        Value name = pop();
        Value target = pop();
        std::vector<Value> args = pop_args();
        std::string method = name.is_undefined() ? std::string() : in.to_string(name);
        if (auto* sup = dynamic_cast<SuperObject*>(target.object())) {
            if (method.empty()) {
                // super(...): the constructor of the class above.
                Value ctor = in.get(sup->home, "__constructor__");
                push(call_value(ctor, sup->this_obj, args, sup->home ? sup->home->proto() : nullptr));
                return;
            }
            Object* start = sup->home ? sup->home->proto() : nullptr;
            Value fn = in.get(start, method);
            push(call_value(fn, sup->this_obj, args, holder_of(start, method)));
            return;
        }
        if (method.empty()) {
            push(call_value(target, nullptr, args, nullptr));
            return;
        }
        Object* obj = target.is_object() ? target.object() : in.to_object(target);
        if (!obj) {
            push(Value());
            return;
        }
        Value fn = in.get_or_resolve(obj, method);
        push(call_value(fn, obj, args, holder_of(obj, method)));
    }

    void new_object(const Value& ctor, std::span<const Value> args)
    {
        auto* fn = dynamic_cast<FunctionObject*>(ctor.object());
        if (!fn) {
            push(Value());
            return;
        }
        if (fn->native) {
            push(in.construct(ctor, args));
            return;
        }
        Object* proto = in.get(fn, "prototype").object();
        Object* obj = in.make<Object>(proto ? proto : in.protos.object);
        obj->define("__constructor__", fn, prop::DontEnum);
        if (f.version < 7) obj->define("constructor", fn, prop::DontEnum);
        call_value(ctor, obj, args, proto);
        push(obj);
    }

    // ---- functions ----
    void define_function(Reader& r, uint32_t body_start, uint32_t& next, bool v2)
    {
        ScriptFunctionInfo info;
        info.block = f.block;
        info.constant_pool = f.pool;
        info.version = f.version;
        info.v2 = v2;
        info.name = r.str();
        uint16_t nparams = r.u16();
        if (v2) {
            info.register_count = r.u8();
            info.flags = r.u16();
        }
        for (uint16_t i = 0; i < nparams && !r.bad(); ++i) {
            ScriptFunctionInfo::Param p;
            if (v2) p.register_index = r.u8();
            p.name = r.str();
            info.params.push_back(std::move(p));
        }
        uint16_t size = r.u16();
        if (r.bad()) throw BlockEnd{};
        info.start = body_start;
        info.size = std::min<uint32_t>(size, static_cast<uint32_t>(code.size()) - std::min<uint32_t>(body_start, static_cast<uint32_t>(code.size())));
        next = body_start + info.size;
        std::string name = info.name;
        Scope* scope = f.version >= 6 ? f.scope : nullptr;
        auto* fn = in.make<FunctionObject>(in.protos.function, std::move(info), scope, scope_target());
        Object* proto = in.new_object();
        proto->define("constructor", fn, prop::DontEnum);
        fn->define("prototype", proto, prop::DontEnum);
        if (name.empty()) push(fn);
        else define_local(name, fn);
    }

    // ---- the loop ----
    Result run_range(uint32_t start, uint32_t end)
    {
        uint32_t pc = start;
        for (;;) {
            if (pc == end) return {Exit::Done};
            if (pc < start || pc > end) return {Exit::Jump, pc};
            in.charge(1);
            uint8_t op = code[pc];
            if (op == 0) return {Exit::Done};
            uint32_t operands = pc + 1;
            uint32_t length = 0;
            if (op >= 0x80) {
                if (pc + 3 > end) throw BlockEnd{};
                length = static_cast<uint32_t>(code[pc + 1] | (code[pc + 2] << 8));
                operands = pc + 3;
            }
            uint32_t next = operands + length;
            if (next > end) throw BlockEnd{};
            Reader r(code.data() + operands, length);
            std::optional<Result> exit = step(op, r, next);
            if (exit) {
                if (exit->exit == Exit::Return) return *exit;
                if (exit->exit == Exit::Jump) {
                    pc = exit->target;
                    continue;
                }
                return *exit;
            }
            pc = next;
        }
    }

    std::optional<Result> step(uint8_t op, Reader& r, uint32_t& next);
    std::optional<Result> run_try(Reader& r, uint32_t& next);
    std::optional<Result> run_with(Reader& r, uint32_t& next);
    void push_values(Reader& r);
    void goto_frame2(Reader& r);
    // tellTarget: `t`, or back to the original target; a target that is not there makes the
    // level's root the target, as Flash Player 6 and older do.
    void set_target(Object* t, bool reset);
    // GetURL and GetURL2: fscommands, loadMovie and loadVariables (into clips or levels);
    // other URLs go to the host, which opens nothing.
    void get_url(std::string_view url, std::string_view target, uint8_t flags);
    Value super_object(Object* home);
};

Value Executor::super_object(Object* home)
{
    if (!home) return Value();
    return in.make<SuperObject>(home, f.this_obj);
}

void Executor::push_values(Reader& r)
{
    while (!r.at_end()) {
        uint8_t type = r.u8();
        switch (type) {
        case 0: push(r.str()); break;
        case 1: push(static_cast<double>(r.f32())); break;
        case 2: push(Null{}); break;
        case 3: push(Value()); break;
        case 4: {
            uint8_t reg = r.u8();
            push(reg < f.registers.size() ? f.registers[reg] : Value());
            break;
        }
        case 5: push(r.u8() != 0); break;
        case 6: push(r.f64()); break;
        case 7: push(static_cast<double>(static_cast<int32_t>(r.u32()))); break;
        case 8:
        case 9: {
            size_t index = type == 8 ? r.u8() : r.u16();
            if (f.pool && index < f.pool->size()) push((*f.pool)[index]);
            else push(Value());
            break;
        }
        default: throw BlockEnd{};
        }
        if (r.bad()) throw BlockEnd{};
    }
}

void Executor::get_url(std::string_view url, std::string_view target, uint8_t flags)
{
    if (url.size() >= 10 && equals_ignore_case(url.substr(0, 10), "fscommand:")) {
        in.host().fscommand(url.substr(10), target);
        return;
    }
    int method = flags & 3;
    bool load_variables = flags & 0x80;
    bool into_clip = flags & 0x40;
    LoadTarget where;
    if (auto level = level_number(target)) {
        where.level = *level;
    } else if (into_clip || load_variables) {
        where.clip = clip_id(resolve_path(target, f.target, true));
        if (!where.clip) return;
    } else {
        in.host().get_url(url, target, method);
        return;
    }
    if (load_variables) in.host().load_variables(url, where, method);
    else in.host().load_movie(url, where, method);
}

void Executor::set_target(Object* t, bool reset)
{
    if (reset) {
        f.target = f.original_target;
        f.scope = f.base_scope;
        return;
    }
    if (!t) t = root_of(f.original_target);
    if (!t) t = f.original_target;
    f.target = t;
    // On a timeline the target takes the timeline's place: its variables are out of reach.
    Scope* below = f.base_scope;
    if (!f.locals && below && below->kind == Scope::Kind::Target) below = below->parent;
    f.scope = t ? in.make<Scope>(Scope::Kind::Target, t, below) : f.base_scope;
}

void Executor::goto_frame2(Reader& r)
{
    uint8_t flags = r.u8();
    int bias = (flags & 2) ? r.u16() : 0;
    bool play = flags & 1;
    Value frame = pop();
    DisplayTree* tree = in.display();
    Object* target = f.target;
    if (!tree) return;
    if (frame.is_string()) {
        std::string_view s = frame.string();
        size_t colon = s.rfind(':');
        if (colon != std::string_view::npos) {
            target = resolve_path(s.substr(0, colon), f.target, true);
            s = s.substr(colon + 1);
        }
        ClipId c = clip_id(target);
        if (!c) return;
        double n = string_to_number(s, f.version);
        if (std::isnan(n) || s.empty()) tree->goto_label(c, s, play);
        else if (n >= 1) tree->goto_frame(c, static_cast<int>(std::min(n, 1e9)) - 1 + bias, play);
        return;
    }
    // Frames count from 1; smaller numbers do nothing.
    ClipId c = clip_id(target);
    double n = in.to_number(frame);
    if (!c || std::isnan(n) || n < 1) return;
    tree->goto_frame(c, static_cast<int>(std::min(n, 1e9)) - 1 + bias, play);
}

std::optional<Executor::Result> Executor::run_with(Reader& r, uint32_t& next)
{
    uint16_t size = r.u16();
    Value v = pop();
    Object* obj = in.to_object(v);
    uint32_t body_end = std::min<uint32_t>(next + size, static_cast<uint32_t>(code.size()));
    if (!obj) {
        return Result{Exit::Jump, body_end};
    }
    if (++in.depth_ > in.limits_.max_call_depth) throw ScriptAbort{"blocks nested too deep"};
    Scope* saved = f.scope;
    f.scope = in.make<Scope>(Scope::Kind::With, obj, saved);
    Result res{Exit::Done};
    try {
        res = run_range(next, body_end);
    } catch (...) {
        f.scope = saved;
        --in.depth_;
        throw;
    }
    f.scope = saved;
    --in.depth_;
    if (res.exit == Exit::Done) return Result{Exit::Jump, body_end};
    return res;
}

std::optional<Executor::Result> Executor::run_try(Reader& r, uint32_t& next)
{
    uint8_t flags = r.u8();
    uint32_t try_size = r.u16(), catch_size = r.u16(), finally_size = r.u16();
    bool has_catch = flags & 1, has_finally = flags & 2, in_register = flags & 4;
    std::string catch_name;
    uint8_t catch_register = 0;
    if (in_register) catch_register = r.u8();
    else catch_name = r.str();
    uint32_t limit = static_cast<uint32_t>(code.size());
    uint32_t try_start = next;
    uint32_t catch_start = std::min(limit, try_start + try_size);
    uint32_t finally_start = std::min(limit, catch_start + catch_size);
    uint32_t after = std::min(limit, finally_start + finally_size);
    if (++in.depth_ > in.limits_.max_call_depth) throw ScriptAbort{"blocks nested too deep"};
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{in.depth_};

    size_t stack_height = in.stack_.size();
    Scope* scope = f.scope;
    Result res{Exit::Done};
    std::optional<ScriptThrow> pending;
    try {
        res = run_range(try_start, catch_start);
    } catch (ScriptThrow& thrown) {
        in.stack_.resize(std::max(stack_height, f.stack_base));
        f.scope = scope;
        if (has_catch) {
            if (in_register) {
                if (catch_register < f.registers.size()) f.registers[catch_register] = thrown.value;
            } else {
                define_local(catch_name, thrown.value);
            }
            try {
                res = run_range(catch_start, finally_start);
            } catch (ScriptThrow& again) {
                if (!has_finally) throw;
                pending = again;
                in.stack_.resize(std::max(stack_height, f.stack_base));
                f.scope = scope;
            }
        } else {
            pending = thrown;
        }
    }
    if (has_finally) {
        Result fin = run_range(finally_start, after);
        if (fin.exit != Exit::Done) return fin;
    }
    if (pending) throw *pending;
    if (res.exit == Exit::Done) return Result{Exit::Jump, after};
    return res;
}

Value run_function(Interpreter& in, FunctionObject* fn, Object* this_obj, std::span<const Value> args, Object* super_home)
{
    const ScriptFunctionInfo& info = *fn->script;
    Frame f;
    f.block = info.block;
    f.pool = info.constant_pool;
    f.version = info.version;
    f.callee = fn;
    f.this_obj = this_obj;
    f.locals = in.make<Object>(nullptr);
    f.stack_base = in.stack_.size();
    Frame* caller = in.frames_.empty() ? nullptr : in.frames_.back();

    Object* target = fn->target;
    if (info.version < 6) {
        // Flash 5 functions have no closure: their timeline is `this` when it is a clip,
        // otherwise the one that defined them.
        if (this_obj && this_obj->object_class() == ObjectClass::Clip) target = this_obj;
        Scope* global = in.make<Scope>(Scope::Kind::Global, in.global(), nullptr);
        Scope* timeline = target ? in.make<Scope>(Scope::Kind::Target, target, global) : global;
        f.scope = in.make<Scope>(Scope::Kind::Local, f.locals, timeline);
    } else {
        Scope* parent = fn->scope;
        if (!parent) parent = in.make<Scope>(Scope::Kind::Global, in.global(), nullptr);
        f.scope = in.make<Scope>(Scope::Kind::Local, f.locals, parent);
    }
    f.base_scope = f.scope;
    f.target = f.original_target = target;

    auto* arguments = in.make<ArrayObject>(in.protos.array, ObjectClass::Arguments);
    for (const Value& a : args) arguments->push(a);
    arguments->define("callee", fn);
    arguments->define("caller", caller && caller->callee ? Value(caller->callee) : Value(Null{}));
    f.arguments = arguments;

    enum : uint16_t {
        PreloadThis = 1, SuppressThis = 2, PreloadArguments = 4, SuppressArguments = 8,
        PreloadSuper = 16, SuppressSuper = 32, PreloadRoot = 64, PreloadParent = 128, PreloadGlobal = 256,
    };
    Executor ex(in, f);
    auto super_value = [&] { return ex.super_object(super_home ? super_home : (this_obj ? this_obj->proto() : nullptr)); };
    if (info.v2) {
        f.registers.assign(std::max<size_t>(info.register_count, 1), Value());
        uint16_t fl = info.flags;
        size_t reg = 1;
        auto preload = [&](Value v) {
            if (reg < f.registers.size()) f.registers[reg] = std::move(v);
            ++reg;
        };
        if (fl & PreloadThis) preload(this_obj);
        if (fl & PreloadArguments) preload(arguments);
        if (fl & PreloadSuper) preload(super_value());
        if (fl & PreloadRoot) preload(ex.root_of(target));
        if (fl & PreloadParent) preload(ex.parent_of(target));
        if (fl & PreloadGlobal) preload(in.global());
        f.this_visible = !(fl & (PreloadThis | SuppressThis));
        if (!(fl & (PreloadArguments | SuppressArguments))) f.locals->define("arguments", arguments, 0);
        if (!(fl & (PreloadSuper | SuppressSuper))) f.locals->define("super", super_value(), 0);
    } else {
        f.registers.assign(4, Value());
        f.locals->define("arguments", arguments, 0);
        f.locals->define("super", super_value(), 0);
    }
    for (size_t i = 0; i < info.params.size(); ++i) {
        const auto& p = info.params[i];
        Value v = i < args.size() ? args[i] : Value();
        if (info.v2 && p.register_index != 0) {
            if (p.register_index < f.registers.size()) f.registers[p.register_index] = v;
        } else {
            f.locals->properties().add(p.name).value = v;
        }
    }

    int saved_version = in.version_;
    in.version_ = f.version;
    in.frames_.push_back(&f);
    struct Restore {
        Interpreter& in;
        int version;
        size_t base;
        ~Restore()
        {
            in.frames_.pop_back();
            in.version_ = version;
            if (in.stack_.size() > base) in.stack_.resize(base);
        }
    } restore{in, saved_version, f.stack_base};
    uint32_t end = std::min<uint32_t>(info.start + info.size, static_cast<uint32_t>(f.block->code.size()));
    try {
        ex.run_range(info.start, end);
    } catch (const BlockEnd&) {
    }
    return f.return_value;
}

void run_block(Interpreter& in, std::shared_ptr<const ActionBlock> block, Object* clip)
{
    Frame f;
    f.block = block;
    f.version = block->version;
    f.this_obj = clip;
    f.target = f.original_target = clip;
    Scope* global = in.make<Scope>(Scope::Kind::Global, in.global(), nullptr);
    f.scope = f.base_scope = clip ? in.make<Scope>(Scope::Kind::Target, clip, global) : global;
    f.registers.assign(4, Value());
    f.stack_base = in.stack_.size();
    int saved_version = in.version_;
    in.version_ = f.version;
    in.frames_.push_back(&f);
    struct Restore {
        Interpreter& in;
        int version;
        size_t base;
        ~Restore()
        {
            in.frames_.pop_back();
            in.version_ = version;
            if (in.stack_.size() > base) in.stack_.resize(base);
        }
    } restore{in, saved_version, f.stack_base};
    Executor ex(in, f);
    try {
        ex.run_range(0, static_cast<uint32_t>(block->code.size()));
    } catch (const BlockEnd&) {
    }
}

ClipId Interpreter::clip_of(Object* obj) const
{
    auto* clip = dynamic_cast<ClipObject*>(obj);
    return clip ? clip->clip : 0;
}

Object* Interpreter::current_target() const { return frames_.empty() ? nullptr : frames_.back()->target; }

bool Interpreter::find_variable(ClipId base, std::string_view path, Object*& holder, std::string& name)
{
    static const auto empty = std::make_shared<const ActionBlock>();
    Object* clip = clip_object(base);
    if (!clip || path.empty()) return false;
    Frame f;
    f.block = empty;
    f.version = display_ ? display_->swf_version(base) : version_;
    f.this_obj = f.target = f.original_target = clip;
    f.scope = f.base_scope = make<Scope>(Scope::Kind::Target, clip, make<Scope>(Scope::Kind::Global, global_, nullptr));
    bool found = false;
    guard(f.version, [&] {
        Executor ex(*this, f);
        Object* obj = clip;
        std::string_view var = path;
        if (ex.split_path(path, obj, var) && !obj) return;
        holder = obj;
        name = std::string(var);
        found = true;
    });
    return found;
}

Object* Interpreter::resolve_target(std::string_view path)
{
    if (frames_.empty()) return nullptr;
    Executor ex(*this, *frames_.back());
    return ex.resolve_path(path, frames_.back()->target, true);
}

std::string Interpreter::clip_target_path(ClipId clip, bool slash)
{
    if (!display_ || !clip || !display_->alive(clip)) return {};
    std::vector<std::string> names;
    ClipId c = clip;
    for (int i = 0; i < 10000 && display_->parent(c); ++i) {
        Value name = display_->get_property(c, ClipProperty::Name);
        names.push_back(name.is_string() ? name.string() : std::string());
        c = display_->parent(c);
    }
    std::string out;
    if (slash) {
        if (names.empty()) return "/";
        for (auto it = names.rbegin(); it != names.rend(); ++it) out += "/" + *it;
        return out;
    }
    int level = 0;
    for (int n = 0; n < 1000; ++n)
        if (display_->level(n) == c) {
            level = n;
            break;
        }
    out = "_level" + std::to_string(level);
    for (auto it = names.rbegin(); it != names.rend(); ++it) out += "." + *it;
    return out;
}

}  // namespace swf::avm1


namespace swf::avm1 {

namespace {

double to_integer(double d) { return std::isnan(d) ? 0 : std::trunc(d); }

}  // namespace

std::optional<Executor::Result> Executor::step(uint8_t op, Reader& r, uint32_t& next)
{
    DisplayTree* tree = in.display();
    auto target_clip = [&] { return clip_id(f.target); };
    auto boolean = [&](bool b) { push(Value(b)); };
    switch (op) {
    // ---- SWF 3: the timeline ----
    case 0x04: if (tree && target_clip()) tree->next_frame(target_clip()); break;
    case 0x05: if (tree && target_clip()) tree->prev_frame(target_clip()); break;
    case 0x06: if (tree && target_clip()) tree->play(target_clip()); break;
    case 0x07: if (tree && target_clip()) tree->stop(target_clip()); break;
    case 0x08: break;  // ToggleQuality
    case 0x09: in.host().stop_sounds(); break;
    case 0x81: {
        int frame = r.u16();
        if (tree && target_clip()) tree->goto_frame(target_clip(), frame, false);
        break;
    }
    case 0x83: {
        std::string url = r.str();
        std::string target = r.str();
        get_url(url, target, 0);
        break;
    }
    case 0x8A: {  // WaitForFrame: every frame of a movie in memory is loaded
        r.u16();
        r.u8();
        break;
    }
    case 0x8D: pop(); r.u8(); break;
    case 0x8B: {
        std::string path = r.str();
        if (path.empty()) set_target(nullptr, true);
        else set_target(resolve_path(path, f.original_target, false), false);
        break;
    }
    case 0x20: {
        Value v = pop();
        if (v.is_object() && clip_id(v.object())) {
            set_target(v.object(), false);
        } else {
            std::string path = in.to_string(v);
            if (path.empty()) set_target(nullptr, true);
            else set_target(resolve_path(path, f.original_target, true), false);
        }
        break;
    }
    case 0x8C: {
        std::string label = r.str();
        if (tree && target_clip()) tree->goto_label(target_clip(), label, false);
        break;
    }
    // ---- SWF 4: arithmetic, strings, variables ----
    case 0x0A: { Value vb = pop(); double a = pop_number(); double b = in.to_number(vb); push(a + b); break; }
    case 0x0B: { Value vb = pop(); double a = pop_number(); double b = in.to_number(vb); push(a - b); break; }
    case 0x0C: { Value vb = pop(); double a = pop_number(); double b = in.to_number(vb); push(a * b); break; }
    case 0x0D: {
        Value vb = pop();
        double a = pop_number();
        double b = in.to_number(vb);
        if (b == 0 && f.version < 5) push("#ERROR#");
        else push(a / b);
        break;
    }
    // Equals converts its second operand first, Less its first.
    case 0x0E: { double b = pop_number(); double a = pop_number(); boolean(a == b); break; }
    case 0x0F: { Value vb = pop(); double a = pop_number(); double b = in.to_number(vb); boolean(a < b); break; }
    case 0x10: { bool b = to_boolean(pop(), f.version); bool a = to_boolean(pop(), f.version); boolean(a && b); break; }
    case 0x11: { bool b = to_boolean(pop(), f.version); bool a = to_boolean(pop(), f.version); boolean(a || b); break; }
    case 0x12: boolean(!to_boolean(pop(), f.version)); break;
    case 0x13: { Value vb = pop(); std::string a = pop_string(); std::string b = in.to_string(vb); boolean(a == b); break; }
    case 0x14: push(static_cast<double>(pop_string().size())); break;
    case 0x31: push(static_cast<double>(decode_chars(pop_string(), f.version).size())); break;
    case 0x15:
    case 0x35: {
        double count = to_integer(pop_number());
        double index = to_integer(pop_number());
        std::string s = pop_string();
        int version = op == 0x35 ? f.version : 5;
        auto chars = decode_chars(s, version);
        double from = std::max(0.0, index - 1);
        if (from > static_cast<double>(chars.size())) from = static_cast<double>(chars.size());
        double to = count < 0 ? static_cast<double>(chars.size()) : std::min(static_cast<double>(chars.size()), from + count);
        push(encode_chars(chars, static_cast<size_t>(from), static_cast<size_t>(to), version));
        break;
    }
    case 0x17: pop(); break;
    case 0x18: push(static_cast<double>(to_int32(pop_number()))); break; // int() wraps to 32 bits
    case 0x1C: {
        std::string name = pop_string();
        push(get_variable(name));
        break;
    }
    case 0x1D: {
        Value v = pop();
        std::string name = pop_string();
        set_variable(name, v);
        break;
    }
    case 0x21: {
        Value vb = pop();
        std::string a = pop_string();
        std::string b = in.to_string(vb);
        in.check_string(a.size() + b.size());
        push(a + b);
        break;
    }
    case 0x22: {
        double index = pop_number();
        Value t = pop();
        Object* obj = t.is_object() ? t.object() : resolve_path(in.to_string(t), f.target, true);
        ClipId c = clip_id(obj);
        int i = std::isnan(index) ? -1 : static_cast<int>(index);
        if (!tree || !c || i < 0 || i >= kClipPropertyCount) {
            push(Value());
            break;
        }
        auto p = static_cast<ClipProperty>(i);
        if (p == ClipProperty::Target) push(in.clip_target_path(c, true));
        else push(tree->get_property(c, p));
        break;
    }
    case 0x23: {
        Value v = pop();
        double index = pop_number();
        Value t = pop();
        Object* obj = t.is_object() ? t.object() : resolve_path(in.to_string(t), f.target, true);
        int i = std::isnan(index) ? -1 : static_cast<int>(index);
        if (obj && i >= 0 && i < kClipPropertyCount) obj->set_special(in, clip_property_name(static_cast<ClipProperty>(i)), v);
        break;
    }
    case 0x24: {
        double depth = pop_number();
        std::string name = pop_string();
        Value source = pop();
        Object* obj = source.is_object() ? source.object() : resolve_path(in.to_string(source), f.target, true);
        // The action counts depths as the timeline does: script depth 0 is timeline depth 16384.
        double script_depth = std::clamp(to_integer(depth) - 16384, -2147483648.0, 2147483647.0);
        if (tree && clip_id(obj))
            in.construct_new_clip(tree->duplicate(clip_id(obj), name, static_cast<int>(script_depth)));
        break;
    }
    case 0x25: {
        Value t = pop();
        Object* obj = t.is_object() ? t.object() : resolve_path(in.to_string(t), f.target, true);
        if (tree && clip_id(obj)) tree->remove(clip_id(obj));
        break;
    }
    case 0x26: {
        Value v = pop();
        std::string line = v.is_undefined() ? std::string("undefined") : in.to_string(v);
        // Strings of SWF 5 and older movies are in the system's code page.
        in.host().trace(f.version < 6 ? windows_1252_to_utf8(line) : line);
        break;
    }
    case 0x27: {
        Value t = pop();
        bool lock = to_boolean(pop(), f.version);
        bool constrain = to_boolean(pop(), f.version);
        std::optional<Rect> rect;
        if (constrain) {
            double bottom = pop_number(), right = pop_number(), top = pop_number(), left = pop_number();
            rect = Rect{left, top, right, bottom};
        }
        Object* obj = t.is_object() ? t.object() : resolve_path(in.to_string(t), f.target, true);
        if (tree && clip_id(obj)) tree->start_drag(clip_id(obj), lock, rect);
        break;
    }
    case 0x28: if (tree) tree->stop_drag(); break;
    case 0x29: { Value vb = pop(); std::string a = pop_string(); std::string b = in.to_string(vb); boolean(a < b); break; }
    case 0x68: { Value vb = pop(); std::string a = pop_string(); std::string b = in.to_string(vb); boolean(a > b); break; }
    case 0x30: {
        double max = to_integer(pop_number());
        push(max <= 0 ? 0.0 : std::floor(in.host().random() * max));
        break;
    }
    case 0x32:
    case 0x36: {
        auto chars = decode_chars(pop_string(), op == 0x36 ? f.version : 5);
        push(chars.empty() ? 0.0 : static_cast<double>(chars[0]));
        break;
    }
    case 0x33:
    case 0x37: {
        auto c = static_cast<uint32_t>(to_uint32(pop_number()));
        if (op == 0x33) c &= 0xFF;
        push(c == 0 ? std::string() : encode_char(c, op == 0x37 ? f.version : 5));
        break;
    }
    case 0x34: push(std::floor(in.host().time_ms())); break;
    case 0x96: push_values(r); break;
    case 0x99: {
        int16_t offset = r.s16();
        return Result{Exit::Jump, static_cast<uint32_t>(static_cast<int64_t>(next) + offset)};
    }
    case 0x9D: {
        int16_t offset = r.s16();
        if (to_boolean(pop(), f.version)) return Result{Exit::Jump, static_cast<uint32_t>(static_cast<int64_t>(next) + offset)};
        break;
    }
    case 0x9E: {  // Call: run a frame's actions; the timeline owns those
        pop();
        break;
    }
    case 0x9A: {
        uint8_t flags = r.u8();
        std::string target = pop_string();
        std::string url = pop_string();
        get_url(url, target, flags);
        break;
    }
    case 0x9F: goto_frame2(r); break;
    // ---- SWF 5: objects ----
    case 0x3A: {
        std::string name = pop_string();
        Value obj = pop();
        boolean(in.delete_property(obj.object(), name));
        break;
    }
    case 0x3B: {
        std::string name = pop_string();
        bool done = false;
        for (Scope* s = f.scope; s; s = s->parent) {
            if (in.has_own_property(s->object, name)) {
                done = in.delete_property(s->object, name);
                break;
            }
        }
        boolean(done);
        break;
    }
    case 0x3C: {
        Value v = pop();
        std::string name = pop_string();
        define_local(name, v);
        break;
    }
    case 0x41: define_local(pop_string(), Value(), true); break;
    case 0x3D: {
        std::string name = pop_string();
        std::vector<Value> args = pop_args();
        Value fn = get_variable(name);
        if (auto* sup = dynamic_cast<SuperObject*>(fn.object())) {
            // super(...): the constructor of the class above.
            Value ctor = in.get(sup->home, "__constructor__");
            push(call_value(ctor, sup->this_obj, args, sup->home ? sup->home->proto() : nullptr));
            break;
        }
        Object* this_obj = nullptr;
        Object* obj;
        std::string_view var;
        if (split_path(name, obj, var)) this_obj = obj;
        else {
            for (Scope* s = f.scope; s; s = s->parent) {
                // `this` is the object that holds the function, unless that is the global one.
                if (in.has_property(s->object, name)) {
                    if (s->kind != Scope::Kind::Global) this_obj = s->object;
                    break;
                }
            }
            if (!this_obj) this_obj = scope_target();
        }
        push(call_value(fn, this_obj, args, nullptr));
        break;
    }
    case 0x52: call_method(); break;
    case 0x3E: {
        f.return_value = pop();
        return Result{Exit::Return};
    }
    case 0x3F: { Value vb = pop(); double a = pop_number(); double b = in.to_number(vb); push(std::fmod(a, b)); break; }
    case 0x40: {
        std::string name = pop_string();
        std::vector<Value> args = pop_args();
        new_object(get_variable(name), args);
        break;
    }
    case 0x53: {
        Value name = pop();
        Value obj = pop();
        std::vector<Value> args = pop_args();
        std::string method = name.is_undefined() ? std::string() : in.to_string(name);
        if (method.empty()) new_object(obj, args);
        else new_object(in.get_member(obj, method), args);
        break;
    }
    case 0x42: {
        std::vector<Value> elements = pop_args();
        ArrayObject* arr = in.new_array();
        for (auto& e : elements) arr->push(std::move(e));
        push(arr);
        break;
    }
    case 0x43: {
        double n = pop_number();
        size_t count = std::isnan(n) || n < 0 ? 0 : static_cast<size_t>(std::min(n, 1e9));
        Object* obj = in.new_object();
        for (size_t i = 0; i < count; ++i) {
            Value v = pop();
            std::string name = pop_string();
            in.set(obj, name, v);
        }
        push(obj);
        break;
    }
    case 0x44: push(in.type_of(pop())); break;
    case 0x45: {
        Value v = pop();
        ClipId c = clip_id(v.object());
        push(c ? Value(in.clip_target_path(c, false)) : Value());
        break;
    }
    case 0x46:
    case 0x55: {
        Value v = pop();
        Object* obj = op == 0x46 ? get_variable(in.to_string(v)).object() : v.object();
        push(Null{});
        if (obj) {
            std::vector<std::string> names = in.enumerate(obj);
            for (auto it = names.rbegin(); it != names.rend(); ++it) push(*it);
        }
        break;
    }
    case 0x47: {
        Value vb = pop();
        Value a = in.to_primitive(pop());
        Value b = in.to_primitive(vb);
        if (a.is_string() || b.is_string()) {
            std::string sa = in.to_string(a), sb = in.to_string(b);
            in.check_string(sa.size() + sb.size());
            push(sa + sb);
        } else {
            push(in.to_number(a) + in.to_number(b));
        }
        break;
    }
    case 0x48: {
        Value b = pop();
        Value a = pop();
        push(in.less_than(a, b));
        break;
    }
    case 0x67: {
        Value b = pop();
        Value a = pop();
        push(in.less_than(b, a));
        break;
    }
    case 0x49: {
        Value b = pop();
        Value a = pop();
        boolean(in.equals(a, b));
        break;
    }
    case 0x66: {
        Value b = pop();
        Value a = pop();
        boolean(a.strict_equals(b));
        break;
    }
    case 0x4A: push(pop_number()); break;
    case 0x4B: push(pop_string()); break;
    case 0x4C: {
        Value top = pop();
        push(top);
        push(top);
        break;
    }
    case 0x4D: {
        Value b = pop();
        Value a = pop();
        push(b);
        push(a);
        break;
    }
    case 0x4E: {
        Value name = pop();
        Value obj = pop();
        push(in.get_member(obj, in.to_string(name)));
        break;
    }
    case 0x4F: {
        Value v = pop();
        Value name = pop();
        Value obj = pop();
        if (obj.is_object()) in.set(obj.object(), in.to_string(name), v);
        break;
    }
    case 0x50: push(pop_number() + 1); break;
    case 0x51: push(pop_number() - 1); break;
    case 0x54: {
        Value ctor = pop();
        Value obj = pop();
        boolean(obj.is_object() && in.instance_of(obj.object(), ctor.object()));
        break;
    }
    case 0x60: { Value vb = pop(); int32_t a = to_int32(pop_number()); int32_t b = to_int32(in.to_number(vb)); push(static_cast<double>(a & b)); break; }
    case 0x61: { Value vb = pop(); int32_t a = to_int32(pop_number()); int32_t b = to_int32(in.to_number(vb)); push(static_cast<double>(a | b)); break; }
    case 0x62: { Value vb = pop(); int32_t a = to_int32(pop_number()); int32_t b = to_int32(in.to_number(vb)); push(static_cast<double>(a ^ b)); break; }
    case 0x63: {
        uint32_t b = to_uint32(pop_number()) & 31;
        int32_t a = to_int32(pop_number());
        push(static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(a) << b)));
        break;
    }
    case 0x64: { uint32_t b = to_uint32(pop_number()) & 31; int32_t a = to_int32(pop_number()); push(static_cast<double>(a >> b)); break; }
    case 0x65: { uint32_t b = to_uint32(pop_number()) & 31; uint32_t a = to_uint32(pop_number()); push(static_cast<double>(a >> b)); break; }
    case 0x87: {
        uint8_t reg = r.u8();
        Value top = in.stack_.size() > f.stack_base ? in.stack_.back() : Value();
        if (reg < f.registers.size()) f.registers[reg] = top;
        break;
    }
    case 0x88: {
        uint16_t count = r.u16();
        auto pool = std::make_shared<std::vector<std::string>>();
        for (uint16_t i = 0; i < count && !r.at_end(); ++i) pool->push_back(r.str());
        f.pool = std::move(pool);
        break;
    }
    case 0x94: return run_with(r, next);
    case 0x9B: define_function(r, next, next, false); break;
    case 0x8E: define_function(r, next, next, true); break;
    // ---- SWF 6 ----
    case 0x2A: throw ScriptThrow{pop()};
    case 0x8F: return run_try(r, next);
    case 0x2B: {
        Value obj = pop();
        Value ctor = pop();
        push(obj.is_object() && in.instance_of(obj.object(), ctor.object()) ? obj : Value(Null{}));
        break;
    }
    case 0x2C: {
        Value ctor = pop();
        std::vector<Value> interfaces = pop_args();
        Object* proto = in.get(ctor.object(), "prototype").object();
        if (proto) {
            ArrayObject* list = in.new_array();
            for (auto& i : interfaces) list->push(i);
            proto->define("__implements__", list);
        }
        break;
    }
    case 0x69: {
        Value super_ctor = pop();
        Value sub_ctor = pop();
        Object* super_proto = in.get(super_ctor.object(), "prototype").object();
        if (!sub_ctor.object() || !super_proto) break;
        Object* proto = in.make<Object>(super_proto);
        proto->define("__constructor__", super_ctor, prop::DontEnum);
        proto->define("constructor", super_ctor, prop::DontEnum);
        in.set(sub_ctor.object(), "prototype", proto);
        break;
    }
    default:
        break;  // an unknown action is skipped by its length
    }
    if (r.bad()) throw BlockEnd{};
    return std::nullopt;
}

}  // namespace swf::avm1
