#pragma once

#include <cstdint>

#include "swf/parser/reader.h"

namespace swf {

class MovieClip;

// Why an action block runs.
enum class ActionOrigin : std::uint8_t { Frame, InitAction, Button, ClipEvent };

struct ActionBlock {
    std::uint64_t context = 0; // the object whose timeline the code belongs to (its id)
    Bytes code;                // views the movie's bytes, alive as long as the player's library
    ActionOrigin origin = ActionOrigin::Frame;
    std::uint32_t event = 0;   // ClipEvent bits or ButtonCondition bits that triggered it
};

// Runs action blocks for a player. The player asks it to run each queued block in the
// context of a movie clip (its timeline: the button's parent for button actions). A script
// engine must call Player::spend_action() for each action it executes and stop the block when
// that answers false or when Player::closed() becomes true (the host may drop the movie from
// inside an fscommand).
class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;
    virtual void run(const ActionBlock& block, MovieClip& context) = 0;
    // Called after each tick's scripts have run (a place to collect garbage).
    virtual void after_tick() {}
};

} // namespace swf
