#include "tests/swf/avm1/script_fixture.h"

namespace avm1_test {

std::shared_ptr<const swf::avm1::ActionBlock> block(const Asm& code, int version)
{
    auto b = std::make_shared<swf::avm1::ActionBlock>();
    b->code = code.bytes();
    b->version = version;
    return b;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
}

void call_method(Asm& a, std::string_view object, std::string_view method, int argc)
{
    a.push({argc, std::string(object)}).get_variable().push(std::string(method)).op(swf::ActionCode::CallMethod);
}

void call_function(Asm& a, std::string_view name, int argc)
{
    a.push({argc, std::string(name)}).op(swf::ActionCode::CallFunction);
}

}  // namespace avm1_test
