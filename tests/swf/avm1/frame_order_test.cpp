// The order in which a playing movie runs its scripts: frame actions, new clips' first frames,
// clip events and init actions, as Flash Player runs them.
#include <gtest/gtest.h>

#include "tests/swf/avm1/movie_fixture.h"

using namespace movie_test;
using swf::ActionCode;
using swf::MovieBuilder;
using swf::SpriteBuilder;
using swf::TagCode;

namespace {

// A one-frame sprite whose frame says `text`.
std::uint16_t talking_sprite(MovieBuilder& m, const std::string& text)
{
    SpriteBuilder s;
    Asm a;
    say(a, text).stop();
    s.place(square(m), 1).actions(a).show_frame();
    return m.sprite(s);
}

// A two-frame sprite that says its frame and name in each frame and stops on the second.
std::uint16_t two_frame_sprite(MovieBuilder& m)
{
    SpriteBuilder s;
    Asm f0, f1;
    say_name(f0, "f0 ");
    say_name(f1, "f1 ").stop();
    s.place(square(m), 1).actions(f0).show_frame().actions(f1).show_frame();
    return m.sprite(s);
}

struct OrderCase {
    const char* name;
    std::function<void(MovieBuilder&)> build;
    int ticks;
    const char* expected;
};

std::ostream& operator<<(std::ostream& os, const OrderCase& c) { return os << c.name; }

class FrameOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(FrameOrder, ScriptsRunInFlashPlayersOrder)
{
    MovieBuilder m;
    GetParam().build(m);
    Playing run(m);
    EXPECT_EQ(run.play(GetParam().ticks), GetParam().expected);
}

const OrderCase kOrder[] = {
    {"AClipPlacedBeforeTheFrameScriptShowsItsFirstFrameFirst",
     [](MovieBuilder& m) {
         std::uint16_t child = talking_sprite(m, "child");
         Asm a;
         say(a, "parent").stop();
         m.place(child, 1).actions(a).show_frame();
     },
     1, "child\nparent\n"},
    {"AFrameScriptWrittenBeforeThePlacementRunsFirst",
     [](MovieBuilder& m) {
         std::uint16_t child = talking_sprite(m, "child");
         Asm a;
         say(a, "parent").stop();
         m.actions(a).place(child, 1).show_frame();
     },
     1, "parent\nchild\n"},
    {"AGotoRunsTheTargetFramesScriptBeforeTheClipsItMakes",
     [](MovieBuilder& m) {
         std::uint16_t child = talking_sprite(m, "child");
         Asm go, target;
         go.goto_frame(2);
         say(target, "target").stop();
         m.actions(go).show_frame().show_frame().place(child, 1).actions(target).show_frame();
     },
     1, "target\nchild\n"},
    {"NewerClipsPlayFirstAndTheRootLast",
     [](MovieBuilder& m) {
         std::uint16_t clip = two_frame_sprite(m);
         Asm root;
         say(root, "root f1").stop();
         m.place({.depth = 1, .character = clip, .name = "older"});
         m.place({.depth = 2, .character = clip, .name = "newer"});
         m.show_frame().actions(root).show_frame();
     },
     2, "f0 older\nf0 newer\nf1 newer\nf1 older\nroot f1\n"},
    {"GotoBelowTheFirstFrameDoesNothingAndPastTheLastSkipsTheScript",
     [](MovieBuilder& m) {
         SpriteBuilder s;
         for (int f = 1; f <= 3; ++f) {
             Asm a;
             say(a, "script " + std::to_string(f)).stop();
             s.actions(a).show_frame();
         }
         m.place({.depth = 1, .character = m.sprite(s), .name = "s"});
         Asm a;
         for (int frame : {0, 99}) {
             a.push({frame, 1}).push("s").get_variable().push("gotoAndStop").op(ActionCode::CallMethod).pop();
             a.push("s").get_variable().push("_currentframe").op(ActionCode::GetMember).trace();
         }
         a.stop();
         m.actions(a).show_frame();
     },
     1, "script 1\n1\n3\n"},
    {"EnterFrameComesBeforeTheClipsFrameAndLoadBeforeItsFirstFrame",
     [](MovieBuilder& m) {
         std::uint16_t clip = two_frame_sprite(m);
         Asm load, enter;
         say(load, "load");
         say(enter, "enter");
         m.tag(TagCode::PlaceObject2, place_with_events(1, clip, "c", {{swf::ClipLoad, load}, {swf::ClipEnterFrame, enter}}));
         Asm stop;
         stop.stop();
         m.actions(stop).show_frame();
     },
     2, "load\nf0 c\nenter\nf1 c\n"},
    {"UnloadRunsWhenTheTimelineTakesTheClipAway",
     [](MovieBuilder& m) {
         std::uint16_t clip = talking_sprite(m, "child");
         Asm unload, root;
         say(unload, "unload");
         say(root, "root f1").stop();
         m.tag(TagCode::PlaceObject2, place_with_events(1, clip, "c", {{swf::ClipUnload, unload}}));
         m.show_frame().remove(1).actions(root).show_frame();
     },
     2, "child\nunload\nroot f1\n"},
    {"InitActionsRunBeforeTheFrameScriptAndOnlyOnce",
     [](MovieBuilder& m) {
         std::uint16_t sprite = talking_sprite(m, "sprite");
         Asm frame, init, second;
         say(frame, "frame");
         say(init, "init");
         std::vector<std::uint8_t> body{static_cast<std::uint8_t>(sprite), static_cast<std::uint8_t>(sprite >> 8)};
         std::vector<std::uint8_t> code = init.bytes();
         body.insert(body.end(), code.begin(), code.end());
         m.actions(frame).tag(TagCode::DoInitAction, body).show_frame();
         say(second, "second");
         m.actions(second).show_frame();
     },
     3, "init\nframe\nsecond\nframe\n"},
    {"ButtonContentsAreNamedClipsWhoseParentIsTheButton",
     [](MovieBuilder& m) {
         SpriteBuilder inside;
         Asm a;
         a.push("this").get_variable().trace();
         a.push("_parent").get_variable().op(ActionCode::TypeOf).trace();
         a.push("_parent").get_variable().push("_name").op(ActionCode::GetMember).trace().stop();
         inside.place(square(m), 1).actions(a).show_frame();
         std::uint16_t sprite = m.sprite(inside);
         swf::ButtonBuilder b;
         b.state(swf::ButtonRecord::Up | swf::ButtonRecord::HitTest, sprite);
         m.place(m.button(b), 1);
         Asm stop;
         stop.stop();
         m.actions(stop).show_frame();
     },
     1, "_level0.instance1.instance2\nobject\ninstance1\n"},
};

INSTANTIATE_TEST_SUITE_P(Movies, FrameOrder, testing::ValuesIn(kOrder),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
