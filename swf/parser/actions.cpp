#include "swf/parser/actions.h"

#include <algorithm>

namespace swf {

ActionBlockDecode decode_action_block(Bytes block)
{
    ActionBlockDecode result;
    Reader r(block);
    while (!r.at_end()) {
        ActionRecord record;
        record.offset = static_cast<std::uint32_t>(r.position());
        record.code = r.u8();
        if (record.code == 0) {
            result.complete = true;
            return result;
        }
        if (record.code >= 0x80) {
            std::uint16_t length = r.u16();
            record.operands = r.bytes(length);
            if (!r.ok()) {
                result.error = "an action record runs past the end of the block";
                return result;
            }
            record.size = 3u + length;
        } else {
            record.size = 1;
        }
        result.records.push_back(record);
    }
    result.complete = true;
    return result;
}

long find_action_at(const std::vector<ActionRecord>& records, std::uint32_t offset, std::uint32_t block_size)
{
    auto it = std::lower_bound(records.begin(), records.end(), offset,
                               [](const ActionRecord& rec, std::uint32_t value) { return rec.offset < value; });
    if (it != records.end() && it->offset == offset)
        return static_cast<long>(it - records.begin());
    if (it == records.end() && (offset == block_size || (!records.empty() && offset == records.back().end())))
        return static_cast<long>(records.size());
    return -1;
}

namespace {

bool decode_push(Reader& r, PushOp& op)
{
    while (!r.at_end()) {
        PushValue v;
        std::uint8_t type = r.u8();
        if (type > 9)
            return false;
        v.type = static_cast<PushValue::Type>(type);
        switch (v.type) {
        case PushValue::Type::String: v.string = r.string(); break;
        case PushValue::Type::Float: v.number = r.f32(); break;
        case PushValue::Type::Null:
        case PushValue::Type::Undefined: break;
        case PushValue::Type::Register:
        case PushValue::Type::Boolean:
        case PushValue::Type::Constant8: v.integer = r.u8(); break;
        case PushValue::Type::Double: v.number = r.swf_double(); break;
        case PushValue::Type::Integer: v.integer = r.s32(); break;
        case PushValue::Type::Constant16: v.integer = r.u16(); break;
        }
        if (!r.ok())
            return false;
        op.values.push_back(v);
    }
    return true;
}

} // namespace

bool decode_operands(const ActionRecord& record, ActionOperands& out)
{
    Reader r(record.operands);
    switch (static_cast<ActionCode>(record.code)) {
    case ActionCode::GotoFrame: out = GotoFrameOp{r.u16()}; break;
    case ActionCode::GetURL: {
        GetUrlOp op;
        op.url = r.string();
        op.target = r.string();
        out = op;
        break;
    }
    case ActionCode::WaitForFrame: {
        WaitForFrameOp op;
        op.frame = r.u16();
        op.skip = r.u8();
        out = op;
        break;
    }
    case ActionCode::SetTarget: out = SetTargetOp{r.string()}; break;
    case ActionCode::GotoLabel: out = GotoLabelOp{r.string()}; break;
    case ActionCode::WaitForFrame2: out = WaitForFrame2Op{r.u8()}; break;
    case ActionCode::Push: {
        PushOp op;
        // Each value takes at least one byte, so the count is bounded by the operand length.
        op.values.reserve(std::min<std::size_t>(record.operands.size(), 64));
        if (!decode_push(r, op))
            return false;
        out = std::move(op);
        break;
    }
    case ActionCode::Jump:
    case ActionCode::If: out = BranchOp{r.s16()}; break;
    case ActionCode::GetURL2: {
        std::uint8_t flags = r.u8();
        GetUrl2Op op;
        op.send_method = flags >> 6;
        op.load_target = flags & 0x02;
        op.load_variables = flags & 0x01;
        out = op;
        break;
    }
    case ActionCode::GotoFrame2: {
        std::uint8_t flags = r.u8();
        GotoFrame2Op op;
        op.play = flags & 0x01;
        if (flags & 0x02)
            op.scene_bias = r.u16();
        out = op;
        break;
    }
    case ActionCode::ConstantPool: {
        ConstantPoolOp op;
        std::uint16_t count = r.u16();
        // A string takes at least its terminator: never reserve more than the bytes allow.
        op.constants.reserve(std::min<std::size_t>(count, r.remaining()));
        for (std::uint16_t i = 0; i < count && r.ok(); ++i)
            op.constants.push_back(r.string());
        out = std::move(op);
        break;
    }
    case ActionCode::StoreRegister: out = StoreRegisterOp{r.u8()}; break;
    case ActionCode::With: out = WithOp{r.u16()}; break;
    case ActionCode::DefineFunction: {
        DefineFunctionOp op;
        op.name = r.string();
        std::uint16_t count = r.u16();
        op.params.reserve(std::min<std::size_t>(count, r.remaining()));
        for (std::uint16_t i = 0; i < count && r.ok(); ++i)
            op.params.push_back(r.string());
        op.code_size = r.u16();
        out = std::move(op);
        break;
    }
    case ActionCode::DefineFunction2: {
        DefineFunction2Op op;
        op.name = r.string();
        std::uint16_t count = r.u16();
        op.register_count = r.u8();
        op.flags = r.u16();
        op.params.reserve(std::min<std::size_t>(count, r.remaining() / 2));
        for (std::uint16_t i = 0; i < count && r.ok(); ++i) {
            DefineFunction2Op::Param p;
            p.reg = r.u8();
            p.name = r.string();
            op.params.push_back(p);
        }
        op.code_size = r.u16();
        out = std::move(op);
        break;
    }
    case ActionCode::Try: {
        TryOp op;
        std::uint8_t flags = r.u8();
        op.catch_in_register = flags & 0x04;
        op.has_finally = flags & 0x02;
        op.has_catch = flags & 0x01;
        op.try_size = r.u16();
        op.catch_size = r.u16();
        op.finally_size = r.u16();
        if (op.catch_in_register)
            op.catch_register = r.u8();
        else
            op.catch_name = r.string();
        out = op;
        break;
    }
    default: out = NoOperands{}; break;
    }
    return r.ok();
}

std::string_view action_name(std::uint8_t code)
{
    switch (static_cast<ActionCode>(code)) {
#define SWF_ACTION_NAME(n) \
    case ActionCode::n: \
        return #n;
        SWF_ACTION_NAME(End) SWF_ACTION_NAME(NextFrame) SWF_ACTION_NAME(PrevFrame) SWF_ACTION_NAME(Play)
        SWF_ACTION_NAME(Stop) SWF_ACTION_NAME(ToggleQuality) SWF_ACTION_NAME(StopSounds) SWF_ACTION_NAME(GotoFrame)
        SWF_ACTION_NAME(GetURL) SWF_ACTION_NAME(WaitForFrame) SWF_ACTION_NAME(SetTarget) SWF_ACTION_NAME(GotoLabel)
        SWF_ACTION_NAME(Add) SWF_ACTION_NAME(Subtract) SWF_ACTION_NAME(Multiply) SWF_ACTION_NAME(Divide)
        SWF_ACTION_NAME(Equals) SWF_ACTION_NAME(Less) SWF_ACTION_NAME(And) SWF_ACTION_NAME(Or) SWF_ACTION_NAME(Not)
        SWF_ACTION_NAME(StringEquals) SWF_ACTION_NAME(StringLength) SWF_ACTION_NAME(StringExtract)
        SWF_ACTION_NAME(Pop) SWF_ACTION_NAME(ToInteger) SWF_ACTION_NAME(GetVariable) SWF_ACTION_NAME(SetVariable)
        SWF_ACTION_NAME(SetTarget2) SWF_ACTION_NAME(StringAdd) SWF_ACTION_NAME(GetProperty)
        SWF_ACTION_NAME(SetProperty) SWF_ACTION_NAME(CloneSprite) SWF_ACTION_NAME(RemoveSprite)
        SWF_ACTION_NAME(Trace) SWF_ACTION_NAME(StartDrag) SWF_ACTION_NAME(EndDrag) SWF_ACTION_NAME(StringLess)
        SWF_ACTION_NAME(RandomNumber) SWF_ACTION_NAME(MBStringLength) SWF_ACTION_NAME(CharToAscii)
        SWF_ACTION_NAME(AsciiToChar) SWF_ACTION_NAME(GetTime) SWF_ACTION_NAME(MBStringExtract)
        SWF_ACTION_NAME(MBCharToAscii) SWF_ACTION_NAME(MBAsciiToChar) SWF_ACTION_NAME(WaitForFrame2)
        SWF_ACTION_NAME(Push) SWF_ACTION_NAME(Jump) SWF_ACTION_NAME(GetURL2) SWF_ACTION_NAME(If)
        SWF_ACTION_NAME(Call) SWF_ACTION_NAME(GotoFrame2) SWF_ACTION_NAME(Delete) SWF_ACTION_NAME(Delete2)
        SWF_ACTION_NAME(DefineLocal) SWF_ACTION_NAME(CallFunction) SWF_ACTION_NAME(Return) SWF_ACTION_NAME(Modulo)
        SWF_ACTION_NAME(NewObject) SWF_ACTION_NAME(DefineLocal2) SWF_ACTION_NAME(InitArray)
        SWF_ACTION_NAME(InitObject) SWF_ACTION_NAME(TypeOf) SWF_ACTION_NAME(TargetPath) SWF_ACTION_NAME(Enumerate)
        SWF_ACTION_NAME(Add2) SWF_ACTION_NAME(Less2) SWF_ACTION_NAME(Equals2) SWF_ACTION_NAME(ToNumber)
        SWF_ACTION_NAME(ToString) SWF_ACTION_NAME(PushDuplicate) SWF_ACTION_NAME(StackSwap)
        SWF_ACTION_NAME(GetMember) SWF_ACTION_NAME(SetMember) SWF_ACTION_NAME(Increment) SWF_ACTION_NAME(Decrement)
        SWF_ACTION_NAME(CallMethod) SWF_ACTION_NAME(NewMethod) SWF_ACTION_NAME(BitAnd) SWF_ACTION_NAME(BitOr)
        SWF_ACTION_NAME(BitXor) SWF_ACTION_NAME(BitLShift) SWF_ACTION_NAME(BitRShift) SWF_ACTION_NAME(BitURShift)
        SWF_ACTION_NAME(StoreRegister) SWF_ACTION_NAME(ConstantPool) SWF_ACTION_NAME(With)
        SWF_ACTION_NAME(DefineFunction) SWF_ACTION_NAME(InstanceOf) SWF_ACTION_NAME(Enumerate2)
        SWF_ACTION_NAME(StrictEquals) SWF_ACTION_NAME(Greater) SWF_ACTION_NAME(StringGreater)
        SWF_ACTION_NAME(CastOp) SWF_ACTION_NAME(ImplementsOp) SWF_ACTION_NAME(Extends) SWF_ACTION_NAME(Throw)
        SWF_ACTION_NAME(DefineFunction2) SWF_ACTION_NAME(Try)
#undef SWF_ACTION_NAME
    }
    return {};
}

} // namespace swf
