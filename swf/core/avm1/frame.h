#pragma once

#include <memory>
#include <string>
#include <vector>

#include "swf/core/avm1/interpreter.h"

namespace swf::avm1 {

// One activation: a timeline block or a function call.
struct Frame {
    std::shared_ptr<const ActionBlock> block;
    std::shared_ptr<const std::vector<std::string>> pool;
    int version = 6;
    Scope* scope = nullptr;        // the scope chain in force (with and tellTarget add to it)
    Scope* base_scope = nullptr;   // the chain before any tellTarget
    Object* this_obj = nullptr;
    bool this_visible = true;      // GetVariable("this") answers this_obj
    Object* target = nullptr;      // the clip actions without a target path act on
    Object* original_target = nullptr;
    Object* locals = nullptr;      // a function's local variables; null for timeline code
    FunctionObject* callee = nullptr;
    Object* arguments = nullptr;
    Object* super_obj = nullptr;
    std::vector<Value> registers;
    size_t stack_base = 0;
    Value return_value;
};

// Runs a script function's body; the interpreter's call() comes here.
Value run_function(Interpreter& in, FunctionObject* fn, Object* this_obj, std::span<const Value> args, Object* super_obj);
// Runs a timeline block.
void run_block(Interpreter& in, std::shared_ptr<const ActionBlock> block, Object* clip);

// The builtins, installed on the global object by the interpreter.
void install_object_builtins(Interpreter& in);
void install_function_builtins(Interpreter& in);
void install_array_builtins(Interpreter& in);
void install_string_builtins(Interpreter& in);
void install_number_builtins(Interpreter& in);
void install_math_builtins(Interpreter& in);
void install_date_builtins(Interpreter& in);
void install_global_functions(Interpreter& in);
void install_clip_builtins(Interpreter& in);
void install_text_format_builtins(Interpreter& in);
void install_player_builtins(Interpreter& in);
void install_xml_builtins(Interpreter& in);

// Shared helpers of the builtins.
FunctionObject* add_method(Interpreter& in, Object* target, std::string_view name, NativeFn fn, uint32_t flags = prop::DontEnum);
FunctionObject* add_class(Interpreter& in, std::string_view name, NativeFn ctor, Object* prototype);

}  // namespace swf::avm1
