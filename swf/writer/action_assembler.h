#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "swf/parser/actions.h"

namespace swf {

// Builds an action block (the body of DoAction, a button condition or a clip event).
//
//   ActionAssembler a;
//   auto done = a.new_label();
//   a.push("x").get_variable().if_true(done).fscommand("quit", "").bind(done).stop();
//
// Jumps name labels; bytes() resolves them. Every method returns *this.
class ActionAssembler {
public:
    struct Label {
        int id = -1;
    };
    // One value of a Push action.
    struct Value {
        PushValue::Type type = PushValue::Type::Undefined;
        std::string string;
        double number = 0;
        std::int32_t integer = 0;

        Value(const char* s) : type(PushValue::Type::String), string(s) {}
        Value(std::string s) : type(PushValue::Type::String), string(std::move(s)) {}
        Value(double d) : type(PushValue::Type::Double), number(d) {}
        Value(int i) : type(PushValue::Type::Integer), integer(i) {}
        Value(bool b) : type(PushValue::Type::Boolean), integer(b ? 1 : 0) {}
        static Value null() { return Value(PushValue::Type::Null); }
        static Value undefined() { return Value(PushValue::Type::Undefined); }
        static Value reg(std::uint8_t n) { return Value(PushValue::Type::Register, n); }
        static Value constant(std::uint16_t index)
        {
            return Value(index < 256 ? PushValue::Type::Constant8 : PushValue::Type::Constant16, index);
        }
        static Value float32(float f)
        {
            Value v(PushValue::Type::Float);
            v.number = f;
            return v;
        }

    private:
        explicit Value(PushValue::Type t, std::int32_t i = 0) : type(t), integer(i) {}
    };

    // SWF 3
    ActionAssembler& play() { return op(ActionCode::Play); }
    ActionAssembler& stop() { return op(ActionCode::Stop); }
    ActionAssembler& next_frame() { return op(ActionCode::NextFrame); }
    ActionAssembler& prev_frame() { return op(ActionCode::PrevFrame); }
    ActionAssembler& toggle_quality() { return op(ActionCode::ToggleQuality); }
    ActionAssembler& stop_sounds() { return op(ActionCode::StopSounds); }
    ActionAssembler& goto_frame(std::uint16_t frame); // 0-based
    ActionAssembler& goto_label(std::string_view label);
    ActionAssembler& set_target(std::string_view target);
    ActionAssembler& get_url(std::string_view url, std::string_view target);
    ActionAssembler& fscommand(std::string_view command, std::string_view args) { return get_url("FSCommand:" + std::string(command), args); }
    ActionAssembler& wait_for_frame(std::uint16_t frame, std::uint8_t skip);

    // SWF 4 and later
    ActionAssembler& push(std::initializer_list<Value> values);
    ActionAssembler& push(const Value& value) { return push({value}); }
    ActionAssembler& get_variable() { return op(ActionCode::GetVariable); }
    ActionAssembler& set_variable() { return op(ActionCode::SetVariable); }
    ActionAssembler& trace() { return op(ActionCode::Trace); }
    ActionAssembler& pop() { return op(ActionCode::Pop); }
    ActionAssembler& get_url2(std::uint8_t send_method, bool load_target, bool load_variables);
    ActionAssembler& goto_frame2(bool play, std::uint16_t scene_bias = 0);
    ActionAssembler& wait_for_frame2(std::uint8_t skip);
    ActionAssembler& constant_pool(const std::vector<std::string>& constants);
    ActionAssembler& store_register(std::uint8_t reg);
    // DefineFunction with its body; `name` empty for a function literal left on the stack.
    ActionAssembler& define_function(std::string_view name, const std::vector<std::string>& params,
                                     const ActionAssembler& body);
    ActionAssembler& with(const ActionAssembler& body);

    // Labels and branches (Jump, If)
    Label new_label();
    ActionAssembler& bind(Label label);
    ActionAssembler& jump(Label label) { return branch(ActionCode::Jump, label); }
    ActionAssembler& if_true(Label label) { return branch(ActionCode::If, label); }

    // Any action by code: those without operands, or with operand bytes given raw.
    ActionAssembler& op(ActionCode code) { return op(static_cast<std::uint8_t>(code)); }
    ActionAssembler& op(std::uint8_t code);
    ActionAssembler& op(std::uint8_t code, const std::vector<std::uint8_t>& operands);
    ActionAssembler& op(ActionCode code, const std::vector<std::uint8_t>& operands)
    {
        return op(static_cast<std::uint8_t>(code), operands);
    }

    // The block with an End action; `with_end` false gives a function or With body.
    std::vector<std::uint8_t> bytes(bool with_end = true) const;

private:
    struct Fixup {
        std::size_t operand_at; // position of the 16-bit offset
        int label;
    };
    ActionAssembler& branch(ActionCode code, Label label);

    std::vector<std::uint8_t> m_code;
    std::vector<long> m_labels; // position of each label, -1 while unbound
    std::vector<Fixup> m_fixups;
};

} // namespace swf
