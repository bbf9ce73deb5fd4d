#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "swf/core/player.h"
#include "swf/writer/movie_builder.h"

namespace movie_test {

using Asm = swf::ActionAssembler;
using V = Asm::Value;

struct ClipEventCode {
    std::uint32_t events;
    Asm code;
};

// PlaceObject2 of `character` at `depth`, named, with onClipEvent handlers (SWF 6 layout):
// the writer has no helper for clip actions.
std::vector<std::uint8_t> place_with_events(std::uint16_t depth, std::uint16_t character, const std::string& name,
                                            const std::vector<ClipEventCode>& events);

// A 20-pixel square shape.
std::uint16_t square(swf::MovieBuilder& m);

// A DefineEditText without an embedded font: multiline, word-wrapped, 12 pixels high.
std::uint16_t edit_text(swf::MovieBuilder& m, const std::string& variable, const std::string& text,
                        double width, double height, bool html = false);

// Exports a character under a name (attachMovie).
void export_as(swf::MovieBuilder& m, std::uint16_t character, const std::string& name);

// trace(text)
Asm& say(Asm& a, const std::string& text);
// trace(text + this._name)
Asm& say_name(Asm& a, const std::string& text);

// A player with a host that records trace lines and fscommands ("fscommand name args").
struct Playing {
    std::vector<std::string> lines;
    std::shared_ptr<swf::Player> player;
    std::function<void(const std::string&)> on_command;

    explicit Playing(const swf::MovieBuilder& movie, swf::PlayerLimits limits = {}, swf::PlayerHost host = {});
    // Ticks, then answers the lines recorded so far, joined with newlines, and forgets them.
    std::string play(int ticks);
};

} // namespace movie_test
