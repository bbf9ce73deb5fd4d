#pragma once

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "swf/parser/reader.h"

namespace swf {

// Action codes of SWF 3 to 6 (codes 0x80 and above carry a 16-bit length and operands).
enum class ActionCode : std::uint8_t {
    End = 0x00,
    // SWF 3
    NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07, ToggleQuality = 0x08, StopSounds = 0x09,
    GotoFrame = 0x81, GetURL = 0x83, WaitForFrame = 0x8A, SetTarget = 0x8B, GotoLabel = 0x8C,
    // SWF 4
    Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C, Divide = 0x0D, Equals = 0x0E, Less = 0x0F, And = 0x10,
    Or = 0x11, Not = 0x12, StringEquals = 0x13, StringLength = 0x14, StringExtract = 0x15, Pop = 0x17,
    ToInteger = 0x18, GetVariable = 0x1C, SetVariable = 0x1D, SetTarget2 = 0x20, StringAdd = 0x21,
    GetProperty = 0x22, SetProperty = 0x23, CloneSprite = 0x24, RemoveSprite = 0x25, Trace = 0x26,
    StartDrag = 0x27, EndDrag = 0x28, StringLess = 0x29, RandomNumber = 0x30, MBStringLength = 0x31,
    CharToAscii = 0x32, AsciiToChar = 0x33, GetTime = 0x34, MBStringExtract = 0x35, MBCharToAscii = 0x36,
    MBAsciiToChar = 0x37, WaitForFrame2 = 0x8D, Push = 0x96, Jump = 0x99, GetURL2 = 0x9A, If = 0x9D,
    Call = 0x9E, GotoFrame2 = 0x9F,
    // SWF 5
    Delete = 0x3A, Delete2 = 0x3B, DefineLocal = 0x3C, CallFunction = 0x3D, Return = 0x3E, Modulo = 0x3F,
    NewObject = 0x40, DefineLocal2 = 0x41, InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44,
    TargetPath = 0x45, Enumerate = 0x46, Add2 = 0x47, Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A,
    ToString = 0x4B, PushDuplicate = 0x4C, StackSwap = 0x4D, GetMember = 0x4E, SetMember = 0x4F,
    Increment = 0x50, Decrement = 0x51, CallMethod = 0x52, NewMethod = 0x53, BitAnd = 0x60, BitOr = 0x61,
    BitXor = 0x62, BitLShift = 0x63, BitRShift = 0x64, BitURShift = 0x65, StoreRegister = 0x87,
    ConstantPool = 0x88, With = 0x94, DefineFunction = 0x9B,
    // SWF 6
    InstanceOf = 0x54, Enumerate2 = 0x55, StrictEquals = 0x66, Greater = 0x67, StringGreater = 0x68,
    // SWF 7 (decoded so that version 7 content does not derail the decoder)
    CastOp = 0x2B, ImplementsOp = 0x2C, Extends = 0x69, Throw = 0x2A, DefineFunction2 = 0x8E, Try = 0x8F,
};

// One action record: its code, its operand bytes, and where it sits in the block, so the
// interpreter can branch by byte offset.
struct ActionRecord {
    std::uint8_t code = 0;
    std::uint32_t offset = 0; // of the record's first byte, from the start of the block
    std::uint32_t size = 0;   // whole record: 1, or 3 + operand length
    Bytes operands;
    std::uint32_t end() const { return offset + size; }
};

struct ActionBlockDecode {
    std::vector<ActionRecord> records; // up to and without the End action
    bool complete = false;             // an End action (or the exact end of the data) closed it
    std::string_view error;            // why decoding stopped early, if it did
};

// Splits an action block into records (which view `block`: keep it alive). Stops at ActionEnd, at the end of the data, or at a
// record whose length runs past the data (which is reported).
ActionBlockDecode decode_action_block(Bytes block);
// Records of a temporary would dangle at once.
ActionBlockDecode decode_action_block(std::vector<std::uint8_t>&&) = delete;

// Index of the record starting at `offset`, or -1 (a branch to the block's end gives records.size()).
long find_action_at(const std::vector<ActionRecord>& records, std::uint32_t offset, std::uint32_t block_size);

// ---- Operands ----

struct PushValue {
    enum class Type : std::uint8_t {
        String = 0, Float = 1, Null = 2, Undefined = 3, Register = 4, Boolean = 5, Double = 6, Integer = 7,
        Constant8 = 8, Constant16 = 9,
    };
    Type type = Type::Undefined;
    std::string_view string; // String
    double number = 0;       // Float, Double
    std::int32_t integer = 0; // Integer, Register, Boolean, Constant8/16 (the pool index)
};

struct GotoFrameOp { std::uint16_t frame = 0; };
struct GetUrlOp { std::string_view url, target; };
struct WaitForFrameOp { std::uint16_t frame = 0; std::uint8_t skip = 0; };
struct SetTargetOp { std::string_view target; };
struct GotoLabelOp { std::string_view label; };
struct WaitForFrame2Op { std::uint8_t skip = 0; };
struct PushOp { std::vector<PushValue> values; };
struct BranchOp { std::int16_t offset = 0; }; // Jump, If: relative to the end of the record
struct GetUrl2Op {
    std::uint8_t send_method = 0; // 0 none, 1 GET, 2 POST
    bool load_target = false;     // target is a sprite path rather than a window
    bool load_variables = false;
};
struct GotoFrame2Op { bool play = false; std::uint16_t scene_bias = 0; };
struct ConstantPoolOp { std::vector<std::string_view> constants; };
struct StoreRegisterOp { std::uint8_t reg = 0; };
struct WithOp { std::uint16_t size = 0; };
struct DefineFunctionOp {
    std::string_view name;
    std::vector<std::string_view> params;
    std::uint16_t code_size = 0; // the body follows this record in the block
};
struct DefineFunction2Op {
    enum Flags : std::uint16_t {
        PreloadThis = 0x0001, SuppressThis = 0x0002, PreloadArguments = 0x0004, SuppressArguments = 0x0008,
        PreloadSuper = 0x0010, SuppressSuper = 0x0020, PreloadRoot = 0x0040, PreloadParent = 0x0080,
        PreloadGlobal = 0x0100,
    };
    struct Param { std::uint8_t reg = 0; std::string_view name; };
    std::string_view name;
    std::uint8_t register_count = 0;
    std::uint16_t flags = 0;
    std::vector<Param> params;
    std::uint16_t code_size = 0;
};
struct TryOp {
    bool has_catch = false, has_finally = false, catch_in_register = false;
    std::uint16_t try_size = 0, catch_size = 0, finally_size = 0;
    std::string_view catch_name;
    std::uint8_t catch_register = 0;
};
struct NoOperands {};

using ActionOperands = std::variant<NoOperands, GotoFrameOp, GetUrlOp, WaitForFrameOp, SetTargetOp, GotoLabelOp,
    WaitForFrame2Op, PushOp, BranchOp, GetUrl2Op, GotoFrame2Op, ConstantPoolOp, StoreRegisterOp, WithOp,
    DefineFunctionOp, DefineFunction2Op, TryOp>;

// Decodes a record's operands by its code. Returns false if they are damaged (too short,
// an unterminated string, an unknown push type); `out` is then unspecified.
bool decode_operands(const ActionRecord& record, ActionOperands& out);

std::string_view action_name(std::uint8_t code);

} // namespace swf
