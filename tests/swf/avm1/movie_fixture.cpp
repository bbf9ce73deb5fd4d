#include "tests/swf/avm1/movie_fixture.h"

#include <gtest/gtest.h>

#include "swf/writer/bit_writer.h"

namespace movie_test {
namespace {

void put16(std::vector<std::uint8_t>& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back((v >> (8 * i)) & 0xFF);
}

} // namespace

std::vector<std::uint8_t> place_with_events(std::uint16_t depth, std::uint16_t character, const std::string& name,
                                            const std::vector<ClipEventCode>& events)
{
    std::vector<std::uint8_t> b;
    std::uint8_t flags = 0x02 | 0x04 | (name.empty() ? 0 : 0x20) | (events.empty() ? 0 : 0x80);
    b.push_back(flags);
    put16(b, depth);
    put16(b, character);
    b.push_back(0); // identity matrix
    if (!name.empty()) {
        b.insert(b.end(), name.begin(), name.end());
        b.push_back(0);
    }
    if (!events.empty()) {
        put16(b, 0);
        std::uint32_t all = 0;
        for (const ClipEventCode& e : events)
            all |= e.events;
        put32(b, all);
        for (const ClipEventCode& e : events) {
            std::vector<std::uint8_t> code = e.code.bytes();
            put32(b, e.events);
            put32(b, static_cast<std::uint32_t>(code.size()));
            b.insert(b.end(), code.begin(), code.end());
        }
        put32(b, 0);
    }
    return b;
}

std::uint16_t square(swf::MovieBuilder& m)
{
    swf::ShapeBuilder s;
    s.fill({255, 0, 0}).rect(0, 0, 20, 20);
    return m.shape(s);
}

std::uint16_t edit_text(swf::MovieBuilder& m, const std::string& variable, const std::string& text, double width,
                        double height, bool html)
{
    std::uint16_t id = m.allocate_id();
    swf::BitWriter w;
    w.u16(id);
    w.rect({0, std::int32_t(width * 20), 0, std::int32_t(height * 20)});
    w.u8(0x80 | 0x40 | 0x20); // has text, word wrap, multiline
    w.u8(html ? 0x02 : 0x00);
    w.string(variable);
    w.string(text);
    m.tag(swf::TagCode::DefineEditText, w.take());
    return id;
}

void export_as(swf::MovieBuilder& m, std::uint16_t character, const std::string& name)
{
    swf::BitWriter w;
    w.u16(1);
    w.u16(character);
    w.string(name);
    m.tag(swf::TagCode::ExportAssets, w.take());
}

Asm& say(Asm& a, const std::string& text)
{
    return a.push(text).trace();
}

Asm& say_name(Asm& a, const std::string& text)
{
    a.push(text).push({"", 13}).op(swf::ActionCode::GetProperty).op(swf::ActionCode::Add2).trace();
    return a;
}

Playing::Playing(const swf::MovieBuilder& movie, swf::PlayerLimits limits, swf::PlayerHost host)
{
    host.trace = [this](const std::string& line) { lines.push_back(line); };
    host.fscommand = [this](const std::string& command, const std::string& args) {
        lines.push_back("fscommand " + command + (args.empty() ? "" : " " + args));
        if (on_command)
            on_command(command);
    };
    player = swf::Player::create(std::move(host), limits);
    std::string error;
    EXPECT_TRUE(player->load(movie.bytes(), &error)) << error;
}

std::string Playing::play(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        player->tick();
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    lines.clear();
    return out;
}

} // namespace movie_test
