#include "swf/writer/action_assembler.h"

#include <stdexcept>

#include "swf/writer/bit_writer.h"

namespace swf {

ActionAssembler& ActionAssembler::op(std::uint8_t code)
{
    m_code.push_back(code);
    return *this;
}

ActionAssembler& ActionAssembler::op(std::uint8_t code, const std::vector<std::uint8_t>& operands)
{
    if (operands.size() > 0xFFFF)
        throw std::length_error("action operands longer than 65535 bytes");
    m_code.push_back(code);
    m_code.push_back(operands.size() & 0xFF);
    m_code.push_back(operands.size() >> 8);
    m_code.insert(m_code.end(), operands.begin(), operands.end());
    return *this;
}

ActionAssembler& ActionAssembler::goto_frame(std::uint16_t frame)
{
    BitWriter w;
    w.u16(frame);
    return op(ActionCode::GotoFrame, w.take());
}

ActionAssembler& ActionAssembler::goto_label(std::string_view label)
{
    BitWriter w;
    w.string(label);
    return op(ActionCode::GotoLabel, w.take());
}

ActionAssembler& ActionAssembler::set_target(std::string_view target)
{
    BitWriter w;
    w.string(target);
    return op(ActionCode::SetTarget, w.take());
}

ActionAssembler& ActionAssembler::get_url(std::string_view url, std::string_view target)
{
    BitWriter w;
    w.string(url);
    w.string(target);
    return op(ActionCode::GetURL, w.take());
}

ActionAssembler& ActionAssembler::wait_for_frame(std::uint16_t frame, std::uint8_t skip)
{
    BitWriter w;
    w.u16(frame);
    w.u8(skip);
    return op(ActionCode::WaitForFrame, w.take());
}

ActionAssembler& ActionAssembler::push(std::initializer_list<Value> values)
{
    BitWriter w;
    for (const Value& v : values) {
        w.u8(static_cast<std::uint8_t>(v.type));
        switch (v.type) {
        case PushValue::Type::String: w.string(v.string); break;
        case PushValue::Type::Float: w.f32(static_cast<float>(v.number)); break;
        case PushValue::Type::Null:
        case PushValue::Type::Undefined: break;
        case PushValue::Type::Register:
        case PushValue::Type::Boolean:
        case PushValue::Type::Constant8: w.u8(static_cast<std::uint8_t>(v.integer)); break;
        case PushValue::Type::Double: w.swf_double(v.number); break;
        case PushValue::Type::Integer: w.u32(static_cast<std::uint32_t>(v.integer)); break;
        case PushValue::Type::Constant16: w.u16(static_cast<std::uint16_t>(v.integer)); break;
        }
    }
    return op(ActionCode::Push, w.take());
}

ActionAssembler& ActionAssembler::get_url2(std::uint8_t send_method, bool load_target, bool load_variables)
{
    return op(ActionCode::GetURL2,
              {static_cast<std::uint8_t>((send_method << 6) | (load_target ? 2 : 0) | (load_variables ? 1 : 0))});
}

ActionAssembler& ActionAssembler::goto_frame2(bool play, std::uint16_t scene_bias)
{
    BitWriter w;
    w.u8(static_cast<std::uint8_t>((scene_bias ? 2 : 0) | (play ? 1 : 0)));
    if (scene_bias)
        w.u16(scene_bias);
    return op(ActionCode::GotoFrame2, w.take());
}

ActionAssembler& ActionAssembler::wait_for_frame2(std::uint8_t skip)
{
    return op(ActionCode::WaitForFrame2, {skip});
}

ActionAssembler& ActionAssembler::constant_pool(const std::vector<std::string>& constants)
{
    BitWriter w;
    w.u16(static_cast<std::uint16_t>(constants.size()));
    for (const std::string& c : constants)
        w.string(c);
    return op(ActionCode::ConstantPool, w.take());
}

ActionAssembler& ActionAssembler::store_register(std::uint8_t reg)
{
    return op(ActionCode::StoreRegister, {reg});
}

ActionAssembler& ActionAssembler::define_function(std::string_view name, const std::vector<std::string>& params,
                                                  const ActionAssembler& body)
{
    std::vector<std::uint8_t> code = body.bytes(false);
    BitWriter w;
    w.string(name);
    w.u16(static_cast<std::uint16_t>(params.size()));
    for (const std::string& p : params)
        w.string(p);
    w.u16(static_cast<std::uint16_t>(code.size()));
    op(ActionCode::DefineFunction, w.take());
    m_code.insert(m_code.end(), code.begin(), code.end());
    return *this;
}

ActionAssembler& ActionAssembler::with(const ActionAssembler& body)
{
    std::vector<std::uint8_t> code = body.bytes(false);
    BitWriter w;
    w.u16(static_cast<std::uint16_t>(code.size()));
    op(ActionCode::With, w.take());
    m_code.insert(m_code.end(), code.begin(), code.end());
    return *this;
}

ActionAssembler::Label ActionAssembler::new_label()
{
    m_labels.push_back(-1);
    return Label{static_cast<int>(m_labels.size() - 1)};
}

ActionAssembler& ActionAssembler::bind(Label label)
{
    m_labels.at(label.id) = static_cast<long>(m_code.size());
    return *this;
}

ActionAssembler& ActionAssembler::branch(ActionCode code, Label label)
{
    op(code, {0, 0});
    m_fixups.push_back({m_code.size() - 2, label.id});
    return *this;
}

std::vector<std::uint8_t> ActionAssembler::bytes(bool with_end) const
{
    std::vector<std::uint8_t> out = m_code;
    for (const Fixup& f : m_fixups) {
        long target = m_labels.at(f.label);
        if (target < 0)
            throw std::logic_error("jump to a label that was never bound");
        long offset = target - static_cast<long>(f.operand_at + 2);
        if (offset < -32768 || offset > 32767)
            throw std::length_error("jump too far for a 16-bit offset");
        out[f.operand_at] = static_cast<std::uint8_t>(offset & 0xFF);
        out[f.operand_at + 1] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
    }
    if (with_end)
        out.push_back(0);
    return out;
}

} // namespace swf
