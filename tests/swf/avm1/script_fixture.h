#pragma once

#include <memory>
#include <string>
#include <vector>

#include "swf/core/avm1/interpreter.h"
#include "swf/writer/action_assembler.h"

namespace avm1_test {

// The host services a script sees, recording what it prints.
class RecordingHost : public swf::avm1::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    void fscommand(std::string_view command, std::string_view args) override
    {
        lines.push_back("fscommand " + std::string(command) + " " + std::string(args));
    }
    void get_url(std::string_view url, std::string_view, int) override { lines.push_back("url " + std::string(url)); }
    double time_ms() override { return now; }
    double random() override { return 0.25; }
    double utc_now_ms() override { return 0; }
    double local_offset_ms(double) override { return 0; }

    std::vector<std::string> lines;
    double now = 0;
};

using Asm = swf::ActionAssembler;

std::shared_ptr<const swf::avm1::ActionBlock> block(const Asm& code, int version);
std::string joined(const std::vector<std::string>& lines);

// Calls obj.method(args...) with the arguments already pushed in reverse order.
void call_method(Asm& a, std::string_view object, std::string_view method, int argc);
// Calls a global function by name with the arguments already pushed in reverse order.
void call_function(Asm& a, std::string_view name, int argc);

}  // namespace avm1_test
