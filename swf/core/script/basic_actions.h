#pragma once

#include "swf/core/script_engine.h"

namespace swf {
class Player;
}

namespace swf::script {

// Runs the SWF 3 actions: Play, Stop, NextFrame, PrevFrame, GotoFrame, GotoLabel, SetTarget,
// WaitForFrame and GetURL. A GetURL to "FSCommand:<command>" raises the host's fscommand with
// the target as its argument; any other URL is ignored (movies never open anything). Actions
// of later versions are skipped.
class BasicActions : public ScriptEngine {
public:
    explicit BasicActions(Player& player) : m_player(player) {}
    void run(const ActionBlock& block, MovieClip& context) override;

private:
    Player& m_player;
};

} // namespace swf::script
