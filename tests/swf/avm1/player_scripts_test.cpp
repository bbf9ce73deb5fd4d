// Scripts in a playing movie: what they see of clips and text fields, the player's clock,
// its budget and its garbage collection.
#include <gtest/gtest.h>

#include "swf/core/script/avm1_engine.h"
#include "tests/swf/avm1/movie_fixture.h"

using namespace movie_test;
using swf::ActionCode;
using swf::MovieBuilder;
using swf::SpriteBuilder;

namespace {

// obj.prop
Asm& get(Asm& a, const std::string& obj, const std::string& prop)
{
    return a.push(obj).get_variable().push(prop).op(ActionCode::GetMember);
}

// obj.prop = value
Asm& set(Asm& a, const std::string& obj, const std::string& prop, V value)
{
    return a.push(obj).get_variable().push({prop, value}).op(ActionCode::SetMember);
}

// obj.method(args) with the arguments given in order.
Asm& call(Asm& a, const std::string& obj, const std::string& method, std::vector<V> args)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        a.push(*it);
    return a.push(static_cast<int>(args.size())).push(obj).get_variable().push(method).op(ActionCode::CallMethod);
}

TEST(TextFields, AVariableAndItsFieldFollowEachOther)
{
    MovieBuilder m;
    // Frame 0: `shown` exists before its field appears; frame 1 places fields for it and for
    // a missing variable, and for one whose field is empty.
    Asm first;
    first.push({"shown", "from script"}).set_variable();
    m.actions(first).show_frame();
    m.place({.depth = 1, .character = edit_text(m, "shown", "initial", 200, 40), .name = "a"});
    m.place({.depth = 2, .character = edit_text(m, "missing", "from field", 200, 40), .name = "b"});
    m.place({.depth = 3, .character = edit_text(m, "empty", "", 200, 40), .name = "c"});
    Asm second;
    get(second, "a", "text").trace();
    second.push("missing").get_variable().trace();
    second.push("empty").get_variable().op(ActionCode::TypeOf).trace();
    set(second, "b", "text", "typed");
    second.push("missing").get_variable().trace();
    second.push({"shown", "changed"}).set_variable();
    get(second, "a", "text").trace();
    get(second, "a", "variable").trace();
    get(second, "c", "variable").trace();
    // Binding to another missing variable gives it the movie's text, not the typed one.
    set(second, "b", "variable", "other");
    second.push("other").get_variable().trace();
    second.stop();
    m.actions(second).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(2), "from script\nfrom field\nundefined\ntyped\nchanged\nshown\nempty\nfrom field\n");
}

TEST(TextFields, HtmlTextReadsAsPlainTextAndScrollStaysInRange)
{
    MovieBuilder m;
    m.place({.depth = 1, .character = edit_text(m, "", "", 100, 30), .name = "t"});
    Asm a;
    set(a, "t", "html", true);
    set(a, "t", "htmlText", "<p>one &amp; two</p><p><b>th</b>ree</p>");
    get(a, "t", "text").trace();
    get(a, "t", "htmlText").trace();
    set(a, "t", "text", "a b c d e f g h i j k l m n o p q r s t u v w x y z a b c d e f g h i j k l m n o p");
    get(a, "t", "maxscroll").push(1).op(ActionCode::Greater).trace();
    set(a, "t", "scroll", -5);
    get(a, "t", "scroll").trace();
    set(a, "t", "scroll", 1e9);
    get(a, "t", "scroll").push("t").get_variable().push("maxscroll").op(ActionCode::GetMember).op(ActionCode::Equals2).trace();
    a.stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "one & two\rthree\n"
                           "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
                           "LETTERSPACING=\"0\" KERNING=\"0\">one &amp; two</FONT></P>"
                           "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
                           "LETTERSPACING=\"0\" KERNING=\"0\"><B>th</B>ree</FONT></P>\n"
                           "true\n1\ntrue\n");
}

// A field's text in runs: setTextFormat over a range, getTextFormat answering null where the
// range mixes formats, and setNewTextFormat for the text set next.
TEST(TextFields, TextFormatReadsAndSetsRunsOfCharacters)
{
    MovieBuilder m;
    Asm a;
    call(a, "this", "createTextField", {"tf", 1, 0, 0, 200, 30}).pop();
    set(a, "tf", "text", "hello world");
    a.push({"b", 0, "TextFormat"}).op(ActionCode::NewObject).set_variable();
    set(a, "b", "bold", true);
    set(a, "b", "color", 0xFF0000);
    a.push("b").get_variable().push({5, 0, 3}).push("tf").get_variable().push("setTextFormat").op(ActionCode::CallMethod).pop();
    auto read = [&](std::vector<V> range, const std::string& member) {
        call(a, "tf", "getTextFormat", range).push(member).op(ActionCode::GetMember).trace();
    };
    read({0, 5}, "bold");
    read({0, 5}, "color");
    read({}, "bold");
    read({6}, "bold");
    read({1, 1}, "bold");
    read({}, "font");
    read({}, "size");
    a.push({16, "Arial", 2, "TextFormat"}).op(ActionCode::NewObject);
    a.push(1).push("tf").get_variable().push("setNewTextFormat").op(ActionCode::CallMethod).pop();
    set(a, "tf", "text", "new");
    read({}, "font");
    read({}, "size");
    a.stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "true\n16711680\nnull\nfalse\nnull\nTimes New Roman\n12\nArial\n16\n");
}

struct PropertyCase {
    const char* property;
    V value;
    const char* read_back;
};

std::ostream& operator<<(std::ostream& os, const PropertyCase& c) { return os << c.property; }

class ClipProperties : public testing::TestWithParam<PropertyCase> {};

// A clip at (10, 20), 20 pixels square, visible: set one property, read it back.
TEST_P(ClipProperties, KeepFlashPlayersUnitsAndRounding)
{
    MovieBuilder m;
    SpriteBuilder s;
    s.place(square(m), 1).show_frame();
    m.place({.depth = 1, .character = m.sprite(s), .matrix = swf::at_pixels(10, 20), .name = "c"});
    Asm a;
    set(a, "c", GetParam().property, GetParam().value);
    get(a, "c", GetParam().property).trace().stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), std::string(GetParam().read_back) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Values, ClipProperties,
    testing::Values(PropertyCase{"_x", 10.123, "10.1"}, // whole twips
                    PropertyCase{"_x", V::undefined(), "10"}, PropertyCase{"_y", "abc", "20"},
                    PropertyCase{"_alpha", 33.3, "33.203125"}, // 8.8 fixed point
                    PropertyCase{"_rotation", 370, "10"}, PropertyCase{"_rotation", -190, "170"},
                    PropertyCase{"_xscale", -50, "-50"}, PropertyCase{"_width", 40, "40"},
                    PropertyCase{"_visible", 0, "false"}, PropertyCase{"_visible", "no number", "true"},
                    PropertyCase{"_visible", V::null(), "true"}, PropertyCase{"_currentframe", 5, "1"}),
    [](const auto& info) { return std::string(info.param.property + 1) + "_" + std::to_string(info.index); });

TEST(ScriptClips, AttachDuplicateAndRemoveRunTheirEvents)
{
    MovieBuilder m;
    SpriteBuilder s;
    s.place(square(m), 1).show_frame();
    std::uint16_t sprite = m.sprite(s);
    export_as(m, sprite, "Box");
    Asm a;
    call(a, "this", "attachMovie", {"Box", "one", 5}).trace();
    Asm unload;
    unload.push("unload ").push("this").get_variable().push("_name").op(ActionCode::GetMember).op(ActionCode::Add2).trace();
    a.push("one").get_variable().push("onUnload").define_function("", {}, unload).op(ActionCode::SetMember);
    call(a, "one", "duplicateMovieClip", {"two", 6}).trace();
    call(a, "two", "getDepth", {}).trace();
    call(a, "one", "swapDepths", {10}).pop();
    call(a, "one", "getDepth", {}).trace();
    call(a, "this", "createEmptyMovieClip", {"holder", 1}).push("_name").op(ActionCode::GetMember).trace();
    call(a, "one", "removeMovieClip", {}).pop();
    a.push("one").get_variable().op(ActionCode::TypeOf).trace();
    say(a, "end of frame").stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "_level0.one\n_level0.two\n6\n10\nholder\nundefined\nend of frame\nunload one\n");
}

// tellTarget on a timeline swaps the timeline for the target: the target's variables are seen
// and set, the timeline's are not, until the target is reset.
TEST(ScriptClips, TellTargetTakesTheTimelinesPlaceInTheScope)
{
    MovieBuilder m;
    Asm a;
    a.push({"rv", "root"}).set_variable();
    call(a, "this", "createEmptyMovieClip", {"k1", 1}).pop();
    set(a, "k1", "kv", "kid");
    a.set_target("k1");
    a.push("kv").get_variable().trace();
    a.push("rv").get_variable().trace();
    a.push({"nv", "new"}).set_variable();
    a.set_target("");
    get(a, "k1", "nv").trace();
    a.push("rv").get_variable().trace();
    a.push("nv").get_variable().trace().stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "kid\nundefined\nnew\nroot\nundefined\n");
}

// attachMovie and duplicateMovieClip run the registered class's constructor before they
// return (after the init object's properties are set), and only then.
TEST(ScriptClips, RegisteredClassesConstructAttachedClipsAtOnce)
{
    MovieBuilder m;
    SpriteBuilder s;
    s.place(square(m), 1).show_frame();
    export_as(m, m.sprite(s), "Box");
    Asm ctor;
    ctor.push("ctor ").push("this").get_variable().push("foo").op(ActionCode::GetMember).op(ActionCode::Add2).trace();
    Asm a;
    a.define_function("Cls", {}, ctor);
    a.push("Cls").get_variable().push({"prototype", 0, "MovieClip"}).op(ActionCode::NewObject).op(ActionCode::SetMember);
    a.push("Cls").get_variable().push({"Box", 2, "Object"}).get_variable().push("registerClass").op(ActionCode::CallMethod).pop();
    a.push({"foo", "init", 1}).op(ActionCode::InitObject).push({5, "one", "Box", 4, "this"}).get_variable();
    a.push("attachMovie").op(ActionCode::CallMethod).pop();
    say(a, "after attach");
    call(a, "one", "duplicateMovieClip", {"two", 6}).pop();
    say(a, "after duplicate").stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(2), "ctor init\nafter attach\nctor \nafter duplicate\n");
}

// duplicateMovieClip() compiles to CloneSprite with 16384 added to the depth: the action takes
// timeline depths, as PlaceObject does.
TEST(ScriptClips, CloneSpriteCountsDepthsFromTheTimeline)
{
    MovieBuilder m;
    SpriteBuilder s;
    s.place(square(m), 1).show_frame();
    export_as(m, m.sprite(s), "Box");
    Asm a;
    call(a, "this", "attachMovie", {"Box", "one", 5}).pop();
    a.push({"one", "two", 16384 + 30}).op(ActionCode::CloneSprite);
    call(a, "two", "getDepth", {}).trace();
    a.push({"one", "three", 16384 - 3}).op(ActionCode::CloneSprite);
    call(a, "three", "getDepth", {}).trace().stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "30\n-3\n");
}

TEST(ScriptClips, ForInListsVariablesThenTheVersionThenNamedChildren)
{
    MovieBuilder m;
    SpriteBuilder s;
    s.place(square(m), 1).show_frame();
    std::uint16_t sprite = m.sprite(s);
    m.place({.depth = 1, .character = sprite, .name = "low"});
    m.place({.depth = 2, .character = sprite, .name = "high"});
    m.place({.depth = 3, .character = square(m)}); // a shape has no name to list
    Asm a;
    a.push({"first", 1}).set_variable().push({"second", 2}).set_variable();
    auto loop = a.new_label(), done = a.new_label();
    a.push("this").get_variable().op(ActionCode::Enumerate2);
    a.bind(loop).store_register(0).push(V::null()).op(ActionCode::Equals2).if_true(done);
    a.push(V::reg(0)).trace().jump(loop).bind(done).stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "second\nfirst\n$version\nhigh\nlow\n");
}

TEST(ScriptClips, ATextSnapshotReadsTheClipsStaticText)
{
    MovieBuilder m;
    swf::FontBuilder font("Test");
    for (char c : std::string("Hio")) {
        swf::ShapeBuilder glyph(1);
        glyph.fill({0, 0, 0}).rect(0, -700, 500, 700);
        font.glyph(static_cast<std::uint16_t>(c), glyph, 600);
    }
    font.glyph(' ', swf::ShapeBuilder(1), 300);
    std::uint16_t font_id = m.font(font);
    SpriteBuilder s;
    s.place(m.text(font_id, font, "Hi oH", 20, {0, 0, 0}, 0, 20), 1).show_frame();
    m.place({.depth = 1, .character = m.sprite(s), .name = "page"});
    Asm a;
    call(a, "page", "getTextSnapshot", {}).store_register(1).pop();
    a.push({0, V::reg(1), "getCount"}).op(ActionCode::CallMethod).trace();
    a.push({3, 1, 2, V::reg(1), "getText"}).op(ActionCode::CallMethod).trace();
    a.push({false, "h", 1, 3, V::reg(1), "findText"}).op(ActionCode::CallMethod).trace();
    a.push({true, "h", 1, 3, V::reg(1), "findText"}).op(ActionCode::CallMethod).trace();
    a.stop();
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(1), "5\ni \n4\n-1\n");
}

TEST(PlayerClock, IntervalsAndGetTimerFollowTheFrames)
{
    MovieBuilder m({.frame_rate = 10});
    Asm every;
    every.push("frame ").push({0, "getTimer"}).op(ActionCode::CallFunction).op(ActionCode::Add2).trace();
    Asm tick;
    tick.push("calls").get_variable().op(ActionCode::Increment).store_register(0).push("calls").op(ActionCode::StackSwap).set_variable();
    tick.push("interval ").push(V::reg(0)).op(ActionCode::Add2).trace();
    auto keep = tick.new_label();
    tick.push(V::reg(0)).push(2).op(ActionCode::Less2).if_true(keep);
    tick.push("id").get_variable().push({1, "clearInterval"}).op(ActionCode::CallFunction).pop().bind(keep);
    Asm a;
    a.push({"calls", 0}).set_variable();
    a.push("id").push(200).define_function("", {}, tick).push({2, "setInterval"}).op(ActionCode::CallFunction).set_variable();
    a.push("this").get_variable().push("onEnterFrame").define_function("", {}, every).op(ActionCode::SetMember);
    m.actions(a).show_frame();
    Playing run(m);
    EXPECT_EQ(run.play(7), "frame 100\ninterval 1\nframe 200\nframe 300\ninterval 2\nframe 400\nframe 500\nframe 600\n");
}

TEST(PlayerBudget, AScriptThatNeverEndsIsStoppedAndTheMovieGoesOn)
{
    MovieBuilder m;
    Asm loop, next;
    auto top = loop.new_label();
    loop.bind(top).jump(top);
    say(next, "next frame").stop();
    m.actions(loop).show_frame().actions(next).show_frame();
    swf::PlayerLimits limits;
    limits.max_actions_per_tick = 10000;
    Playing run(m, limits);
    EXPECT_EQ(run.play(2), "next frame\n");
}

TEST(PlayerGarbage, ObjectsMadeEachFrameAreCollectedBetweenFrames)
{
    MovieBuilder m;
    // onEnterFrame makes 200 arrays that nothing keeps.
    Asm every;
    auto top = every.new_label(), done = every.new_label();
    every.push({"i", 0}).op(ActionCode::DefineLocal);
    every.bind(top).push("i").get_variable().push(200).op(ActionCode::Less2).op(ActionCode::Not).if_true(done);
    every.push({1, 2, 2}).op(ActionCode::InitArray).pop();
    every.push("i").get_variable().op(ActionCode::Increment).push("i").op(ActionCode::StackSwap).op(ActionCode::DefineLocal);
    every.jump(top).bind(done);
    Asm a;
    a.push("this").get_variable().push("onEnterFrame").define_function("", {}, every).op(ActionCode::SetMember);
    m.actions(a).show_frame();
    Playing run(m);
    run.play(1);
    auto* engine = dynamic_cast<swf::script::Avm1Engine*>(run.player->engine());
    ASSERT_TRUE(engine);
    std::size_t after_first = engine->interpreter().heap_size();
    run.play(100);
    EXPECT_LT(engine->interpreter().heap_size(), after_first + 10000); // 100 frames made 20000 arrays
}

} // namespace
