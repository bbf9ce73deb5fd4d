// Hostile and broken scripts end cleanly, and the heap frees what nothing reaches.
#include <gtest/gtest.h>

#include "tests/swf/avm1/script_fixture.h"

using namespace avm1_test;
using swf::ActionCode;

namespace {

swf::avm1::Limits small_limits()
{
    swf::avm1::Limits limits;
    limits.max_actions = 100'000;
    return limits;
}

TEST(Limits, EndlessLoopIsStoppedAndTheNextBlockRuns)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr, small_limits());
    Asm loop;
    auto top = loop.new_label();
    loop.bind(top).jump(top);
    EXPECT_FALSE(in.run(block(loop, 6), 0));
    EXPECT_EQ(in.last_error(), "too many actions");

    Asm next;
    next.push("still running").trace();
    EXPECT_TRUE(in.run(block(next, 6), 0));
    EXPECT_EQ(joined(host.lines), "still running\n");
}

TEST(Limits, EndlessRecursionIsStopped)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr, small_limits());
    Asm body;
    call_function(body, "f", 0);
    Asm a;
    a.define_function("f", {}, body);
    call_function(a, "f", 0);
    a.push("after").trace();
    EXPECT_FALSE(in.run(block(a, 6), 0));
    EXPECT_EQ(in.last_error(), "recursion too deep");
    EXPECT_TRUE(host.lines.empty());
}

TEST(Limits, PrototypeLoopStopsTheScript)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr, small_limits());
    Asm a;
    a.push({"a", 0}).op(ActionCode::InitObject).set_variable();
    a.push("a").get_variable().push("__proto__").push("a").get_variable().op(ActionCode::SetMember);
    a.push("a").get_variable().push("missing").op(ActionCode::GetMember).trace();
    EXPECT_FALSE(in.run(block(a, 6), 0));
    EXPECT_TRUE(host.lines.empty());
}

struct BrokenBlock {
    const char* name;
    std::vector<uint8_t> tail;  // appended after a trace of "before"
};

class Broken : public testing::TestWithParam<BrokenBlock> {};

TEST_P(Broken, EndsTheBlockQuietly)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr, small_limits());
    Asm a;
    a.push("before").trace();
    auto b = std::make_shared<swf::avm1::ActionBlock>();
    b->code = a.bytes(false);
    b->code.insert(b->code.end(), GetParam().tail.begin(), GetParam().tail.end());
    b->version = 6;
    in.run(b, 0);
    EXPECT_EQ(joined(host.lines), "before\n");

    Asm next;
    next.push("next").trace();
    EXPECT_TRUE(in.run(block(next, 6), 0));
}

INSTANTIATE_TEST_SUITE_P(Blocks, Broken, testing::Values(
    BrokenBlock{"JumpOutOfTheBlock", {0x99, 0x02, 0x00, 0x00, 0x70, 0x96, 0x06, 0x00, 0x00, 'n', 'o', 0x00, 0x26}},
    BrokenBlock{"RecordLongerThanTheBlock", {0x96, 0xFF, 0x00, 0x00, 'x'}},
    BrokenBlock{"UnterminatedPushString", {0x96, 0x03, 0x00, 0x00, 'a', 'b', 0x26}},
    BrokenBlock{"FunctionBodyPastTheEnd", {0x9B, 0x05, 0x00, 'f', 0x00, 0x00, 0x00, 0xFF}}),
    [](const testing::TestParamInfo<BrokenBlock>& info) { return std::string(info.param.name); });

TEST(Heap, CollectionFreesUnreachableObjectsAndKeepsGlobals)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr);
    in.collect_garbage();
    size_t baseline = in.heap_size();

    // A loop making garbage, and one object kept in a global variable.
    Asm a;
    a.push({"i", 0}).set_variable();
    auto top = a.new_label(), done = a.new_label();
    a.bind(top).push("i").get_variable().push(1000).op(ActionCode::Less2).op(ActionCode::Not).if_true(done);
    a.push({"x", 1, 1}).op(ActionCode::InitArray).pop();
    a.push("i").get_variable().op(ActionCode::Increment).push("i").op(ActionCode::StackSwap).set_variable();
    a.jump(top).bind(done);
    a.push({"kept", "v", "alive", 1}).op(ActionCode::InitObject).set_variable();
    ASSERT_TRUE(in.run(block(a, 6), 0));
    EXPECT_GT(in.heap_size(), baseline + 1000);

    in.collect_garbage();
    EXPECT_LT(in.heap_size(), baseline + 20);

    Asm check;
    check.push("kept").get_variable().push("v").op(ActionCode::GetMember).trace();
    ASSERT_TRUE(in.run(block(check, 6), 0));
    EXPECT_EQ(joined(host.lines), "alive\n");
}

TEST(Heap, IntervalsRunByTheHostClockAndKeepTheirCallback)
{
    RecordingHost host;
    swf::avm1::Interpreter in(host, nullptr);
    Asm body;
    body.push("tick").trace();
    Asm a;
    a.push({100}).define_function("", {}, body);
    call_function(a, "setInterval", 2);
    a.push("id").op(ActionCode::StackSwap).set_variable();
    ASSERT_TRUE(in.run(block(a, 6), 0));
    in.collect_garbage();

    host.now = 50;
    in.tick_timers();
    host.now = 100;
    in.tick_timers();
    host.now = 200;
    in.tick_timers();
    EXPECT_EQ(joined(host.lines), "tick\ntick\n");

    Asm clear;
    clear.push("id").get_variable();
    call_function(clear, "clearInterval", 1);
    ASSERT_TRUE(in.run(block(clear, 6), 0));
    host.now = 1000;
    in.tick_timers();
    EXPECT_EQ(host.lines.size(), 2u);
}

}  // namespace
