#pragma once

#include <cstdint>
#include <vector>

#include "swf/parser/movie.h"
#include "swf/parser/sounds.h"
#include "swf/parser/types.h"

namespace swf {

// Button transition conditions of DefineButton2 action records.
enum ButtonCondition : std::uint16_t {
    IdleToOverUp = 0x0001, OverUpToIdle = 0x0002, OverUpToOverDown = 0x0004, OverDownToOverUp = 0x0008,
    OverDownToOutDown = 0x0010, OutDownToOverDown = 0x0020, OutDownToIdle = 0x0040, IdleToOverDown = 0x0080,
    OverDownToIdle = 0x0100,
};

struct ButtonRecord {
    enum States : std::uint8_t { Up = 0x01, Over = 0x02, Down = 0x04, HitTest = 0x08 };
    std::uint8_t states = 0;
    std::uint16_t character = 0;
    std::uint16_t depth = 0;
    Matrix matrix;
    ColorTransform color_transform; // DefineButton2 only
};

struct ButtonAction {
    std::uint16_t conditions = 0; // ButtonCondition bits
    std::uint8_t key_code = 0;    // a key press condition (0 none)
    Bytes actions;
};

struct DefineButton {
    std::uint16_t id = 0;
    int version = 1;
    bool track_as_menu = false;
    std::vector<ButtonRecord> records;
    // DefineButton: one block, run on release (OverDownToOverUp). DefineButton2: per condition.
    std::vector<ButtonAction> actions;
};

struct DefineButtonCxform {
    std::uint16_t id = 0;
    ColorTransform color_transform;
};

struct DefineButtonSound {
    std::uint16_t id = 0;
    // OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp
    std::uint16_t sound[4] = {};
    SoundInfo info[4];
};

bool decode_define_button(const Tag& tag, DefineButton& out); // both versions
bool decode_define_button_cxform(const Tag& tag, DefineButtonCxform& out);
bool decode_define_button_sound(const Tag& tag, DefineButtonSound& out);

} // namespace swf
