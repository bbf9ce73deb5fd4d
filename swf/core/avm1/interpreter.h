#pragma once

#include <chrono>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/core/avm1/heap.h"
#include "swf/core/avm1/host.h"
#include "swf/core/avm1/object.h"
#include "swf/core/avm1/value.h"

namespace swf::avm1 {

// The bytes of one DoAction, DoInitAction, button or clip-event action list, and the SWF version
// of the movie they come from. Functions defined in it keep it alive.
struct ActionBlock {
    std::vector<uint8_t> code;
    int version = 6;
};

// The player version scripts see ($version, getVersion(), System.capabilities.version).
inline constexpr const char* kPlayerVersion = "WIN 6,0,79,0";

struct Limits {
    uint64_t max_actions = 50'000'000;      // per run() or event call, across nested calls
    std::chrono::milliseconds max_time{15'000};
    int max_call_depth = 256;               // function calls, with and try blocks together
    size_t max_stack = 1u << 20;            // values on the operand stack
    size_t max_cells = 8u << 20;            // objects and scopes on the heap
    size_t max_string = 16u << 20;          // bytes in one string
    int max_proto_depth = 256;              // __proto__ links followed in one lookup
};

// A script error that ends the running code: a limit was reached or the code is broken.
struct ScriptAbort {
    std::string reason;
};

// A value thrown by `throw`, unwinding until a try block catches it.
struct ScriptThrow {
    Value value;
};

class ClipObject;
struct Frame;

class Interpreter {
public:
    Interpreter(Host& host, DisplayTree* display, Limits limits = {});
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Runs an action block in the context of a clip (its timeline scope, `this` = the clip).
    // Returns false when the block was stopped by an error or a limit.
    bool run(std::shared_ptr<const ActionBlock> block, ClipId clip);
    // Calls obj[name](args) if it is a function, for events such as onEnterFrame.
    bool call_method(Object* obj, std::string_view name, std::span<const Value> args, Value* result = nullptr);
    // Runs setInterval callbacks whose time has come, by the host's clock.
    void tick_timers();
    // Frees every object the roots no longer reach. Call it only while no script runs.
    size_t collect_garbage();
    size_t heap_size() const { return heap_.size(); }
    const std::string& last_error() const { return last_error_; }

    // The AVM1 object of a display object (made on first use), the one made already if any,
    // and the tree's notice that it has left the stage.
    Object* clip_object(ClipId clip);
    Object* existing_clip_object(ClipId clip) const;
    void clip_removed(ClipId clip);
    // Runs host work that may call scripts (getters, setters) as `version` code, catching
    // script errors; inside a running script it simply runs.
    bool guard(int version, const std::function<void()>& body);

    // The variable a path names from a clip's timeline ("v", "a.b.v", "/a/b:v", "_root.v"):
    // the object holding it and its name. False when the path names no object.
    bool find_variable(ClipId base, std::string_view path, Object*& holder, std::string& name);
    // Object.registerClass: the constructor registered for a library symbol, and a clip
    // turned into an instance of it (prototype set, constructor run on it).
    FunctionObject* registered_class(std::string_view export_name) const;
    void construct_as(Object* obj, FunctionObject* ctor);
    // A clip a script has just attached or duplicated becomes an instance of its symbol's
    // class at once, before the script goes on.
    void construct_new_clip(ClipId clip);
    // "a=1&b=two" (URL-encoded) set as variables of `target`.
    void load_variables_into(Object* target, std::string_view text, int version);
    // A loaded text for XML.load or LoadVars.load: the receiver's onData(text), or
    // onData(undefined) when the load failed.
    void deliver_data(Object* receiver, const std::optional<std::string>& text);
    // Calls `method` on every listener of the global broadcaster `name` (Key, Mouse, Stage).
    void broadcast(std::string_view name, std::string_view method, std::span<const Value> args = {});
    // System.useCodepage.
    bool system_uses_codepage();
    // Extra roots the host holds (counted).
    void add_root(Object* obj);
    void remove_root(Object* obj);

    // Everything below is for the builtins and the action loop.
    Host& host() { return host_; }
    DisplayTree* display() { return display_; }
    Heap& heap() { return heap_; }
    const Limits& limits() const { return limits_; }
    Object* global() { return global_; }
    int version() const { return version_; }
    bool case_sensitive() const { return version_ >= 7; }

    template <typename T, typename... Args>
    T* make(Args&&... args)
    {
        if (heap_.size() >= limits_.max_cells) throw ScriptAbort{"too many objects"};
        return heap_.make<T>(std::forward<Args>(args)...);
    }
    Object* new_object();
    ArrayObject* new_array();
    FunctionObject* new_native(NativeFn fn, std::string name = {}, Object* prototype = nullptr);

    // Conversions that may call valueOf/toString.
    // valueOf first (what Add2 and the comparisons use); clips give their target path.
    Value to_primitive(const Value& v);
    double to_number(const Value& v);
    std::string to_string(const Value& v);
    Object* to_object(const Value& v);
    std::string type_of(const Value& v);

    // Property access with the prototype chain, getters and setters, version and case rules.
    Value get_member(const Value& target, std::string_view name);
    Value get(Object* obj, std::string_view name);
    // get(), but a property that is nowhere on the chain comes from the object's __resolve(name).
    Value get_or_resolve(Object* obj, std::string_view name);
    void set(Object* obj, std::string_view name, const Value& v);
    bool has_property(Object* obj, std::string_view name);
    bool has_own_property(Object* obj, std::string_view name);
    bool delete_property(Object* obj, std::string_view name);
    Property* find_own(Object* obj, std::string_view name);
    std::vector<std::string> enumerate(Object* obj);
    bool instance_of(Object* obj, Object* ctor);

    Value call(const Value& fn, Object* this_obj, std::span<const Value> args);
    Value construct(const Value& ctor, std::span<const Value> args);
    // Runs native loops' work against the action budget.
    void charge(uint64_t actions);
    void check_string(size_t size) const;

    // Comparison and equality as the actions define them.
    bool equals(const Value& a, const Value& b);            // Equals2 (SWF 5+)
    Value less_than(const Value& a, const Value& b);        // Less2: true, false or undefined

    // Builtin prototypes and constructors.
    struct Protos {
        Object* object = nullptr;
        Object* function = nullptr;
        Object* array = nullptr;
        Object* string = nullptr;
        Object* number = nullptr;
        Object* boolean = nullptr;
        Object* date = nullptr;
        Object* movie_clip = nullptr;
        Object* button = nullptr;
        Object* text_field = nullptr;
        Object* text_format = nullptr;
        Object* error = nullptr;
        FunctionObject* object_ctor = nullptr;
        FunctionObject* array_ctor = nullptr;
    } protos;

    // Path resolution for targets and variables ("/a/b:c", "_root.a", "_parent", "..").
    Object* resolve_target(std::string_view path);
    ClipId clip_of(Object* obj) const;
    Object* current_target() const;
    std::string clip_target_path(ClipId clip, bool slash);

    struct Interval {
        Value fn;
        Object* this_obj;
        std::string method;
        std::vector<Value> args;
        double interval_ms;
        double next_ms;
    };
    std::unordered_map<int32_t, Interval>& intervals() { return intervals_; }
    int32_t next_interval_id() { return ++last_interval_id_; }
    std::unordered_map<std::string, FunctionObject*>& class_registry() { return classes_; }
    // Builtins by number, for ASnative(table, index).
    std::vector<NativeFn>& native_table(int table) { return native_tables_[table]; }

private:
    friend struct Executor;

    void install_builtins();
    bool clip_reads_as_path(Object* obj);
    void mark_roots(Tracer& tracer);
    bool run_guarded(const std::function<void()>& body);

    Host& host_;
    DisplayTree* display_;
    Limits limits_;
    Heap heap_;
    Object* global_ = nullptr;
    int version_ = 6;
    std::unordered_map<ClipId, ClipObject*> clips_;
    std::unordered_map<Object*, int> roots_;
    std::unordered_map<int32_t, Interval> intervals_;
    int32_t last_interval_id_ = 0;
    std::unordered_map<std::string, FunctionObject*> classes_;  // lower-cased symbol name
    std::unordered_map<int, std::vector<NativeFn>> native_tables_;
    std::string last_error_;

    // The state of the running code.
    std::vector<Value> stack_;
    std::vector<Frame*> frames_;
    int depth_ = 0;
    uint64_t actions_ = 0;
    std::chrono::steady_clock::time_point started_;
    bool running_ = false;

    friend Value run_function(Interpreter&, FunctionObject*, Object*, std::span<const Value>, Object*);
    friend void run_block(Interpreter&, std::shared_ptr<const ActionBlock>, Object*);
};

}  // namespace swf::avm1
