// The player core driven as a host drives it: ticks, host gotos, mouse input and fscommands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/player.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/movie_builder.h"

using namespace swf;

namespace {

struct Host {
    std::vector<std::string> commands;
    std::function<void(const std::string&)> on_command;

    std::shared_ptr<Player> load(const MovieBuilder& movie, PlayerLimits limits = {})
    {
        PlayerHost host;
        host.fscommand = [this](const std::string& command, const std::string& args) {
            commands.push_back(args.empty() ? command : command + " " + args);
            if (on_command)
                on_command(command);
        };
        auto player = Player::create(host, limits);
        std::string error;
        EXPECT_TRUE(player->load(movie.bytes(), &error)) << error;
        return player;
    }
};

ActionAssembler say(const std::string& command)
{
    ActionAssembler a;
    a.fscommand(command, "");
    return a;
}

std::uint16_t square(MovieBuilder& m, Rgba color = {255, 0, 0}, double size = 20)
{
    ShapeBuilder s;
    s.fill(color).rect(0, 0, size, size);
    return m.shape(s);
}

// "depth:character@x,y" for every object of the root, to compare display lists.
std::string describe(const MovieClip& clip)
{
    std::string out;
    for (const auto& [depth, child] : clip.children()) {
        out += std::to_string(depth) + ":" + std::to_string(child->character() ? child->character()->id : 0) + "@"
            + std::to_string(int(child->matrix.tx)) + "," + std::to_string(int(child->matrix.ty)) + " ";
        if (const MovieClip* inner = const_cast<DisplayObject&>(*child).as_clip())
            out += "[" + describe(*inner) + "] ";
    }
    return out;
}

// Four frames that place, move, replace and remove objects.
MovieBuilder changing_movie()
{
    MovieBuilder m;
    std::uint16_t a = square(m), b = square(m, {0, 255, 0});
    m.place(a, 1, at_pixels(0, 0)).place(b, 2, at_pixels(50, 0)).show_frame();
    m.move(1, at_pixels(10, 10)).show_frame();
    m.remove(2).place(b, 3, at_pixels(5, 5)).show_frame();
    m.remove(1).place(a, 2, at_pixels(1, 1)).show_frame();
    return m;
}

} // namespace

TEST(PlayerTimeline, FirstFrameIsBuiltAtLoadAndItsActionsRunOnTheFirstTick)
{
    MovieBuilder m;
    m.place(square(m), 1).actions(say("first")).show_frame();
    Host host;
    auto player = host.load(m);
    EXPECT_EQ(player->root()->children().size(), 1u);
    EXPECT_TRUE(host.commands.empty());
    player->tick();
    EXPECT_EQ(host.commands, std::vector<std::string>{"first"});
}

TEST(PlayerTimeline, PlaysStopsAndLoopsAtTheEnd)
{
    MovieBuilder m;
    m.actions(say("f0")).show_frame();
    m.actions(say("f1")).show_frame();
    m.actions(say("f2")).show_frame();
    Host host;
    auto player = host.load(m);
    for (int i = 0; i < 5; ++i)
        player->tick();
    EXPECT_EQ(host.commands, (std::vector<std::string>{"f0", "f1", "f2", "f0", "f1"}));
    player->stop();
    player->tick();
    EXPECT_EQ(player->current_frame(), 1);
    player->play();
    player->tick();
    EXPECT_EQ(player->current_frame(), 2);
}

TEST(PlayerTimeline, StopActionHoldsTheFrame)
{
    MovieBuilder m;
    m.show_frame();
    m.actions(ActionAssembler().stop().fscommand("stopped", "")).show_frame();
    m.actions(say("never")).show_frame();
    Host host;
    auto player = host.load(m);
    for (int i = 0; i < 6; ++i)
        player->tick();
    EXPECT_EQ(player->current_frame(), 1);
    EXPECT_EQ(host.commands, std::vector<std::string>{"stopped"});
}

TEST(PlayerTimeline, HostGotoMovesAtOnceAndRunsTheFrameOnTheNextTick)
{
    MovieBuilder m;
    m.actions(say("f0")).show_frame();
    m.actions(say("f1")).show_frame();
    m.actions(ActionAssembler().stop().fscommand("f2", "")).show_frame();
    Host host;
    auto player = host.load(m);
    player->goto_frame(2);
    EXPECT_EQ(player->current_frame(), 2);
    EXPECT_TRUE(host.commands.empty());
    player->tick();
    EXPECT_EQ(host.commands, std::vector<std::string>{"f2"});
    player->goto_frame(99); // beyond the end: the last frame
    EXPECT_EQ(player->current_frame(), 2);
}

class PlayerGoto : public testing::TestWithParam<int> {};

// Going back rebuilds the display list so it equals having played to that frame.
TEST_P(PlayerGoto, BackwardEqualsPlayedForward)
{
    int target = GetParam();
    Host host;
    auto played = host.load(changing_movie());
    played->tick();
    for (int i = 0; i < target; ++i)
        played->tick();
    ASSERT_EQ(played->current_frame(), target);

    auto jumped = host.load(changing_movie());
    jumped->goto_frame(3);
    jumped->goto_frame(target);
    EXPECT_EQ(describe(*jumped->root()), describe(*played->root()));

    auto forward = host.load(changing_movie());
    forward->goto_frame(target);
    EXPECT_EQ(describe(*forward->root()), describe(*played->root()));
}

INSTANTIATE_TEST_SUITE_P(Frames, PlayerGoto, testing::Values(0, 1, 2, 3));

TEST(PlayerTimeline, ObjectsThatStayKeepTheirInstanceAcrossALoop)
{
    MovieBuilder m;
    SpriteBuilder spin;
    spin.show_frame().show_frame().show_frame();
    std::uint16_t sprite = m.sprite(spin);
    m.place(sprite, 1).show_frame().show_frame();
    Host host;
    auto player = host.load(m);
    player->tick();
    std::uint64_t id = player->root()->child_at_depth(1)->id();
    player->tick();
    player->tick(); // the root loops to frame 0, which places the same sprite at the same depth
    EXPECT_EQ(player->current_frame(), 0);
    ASSERT_TRUE(player->root()->child_at_depth(1));
    EXPECT_EQ(player->root()->child_at_depth(1)->id(), id);
    EXPECT_EQ(player->root()->child_at_depth(1)->as_clip()->current_frame(), 2);
}

TEST(PlayerScripts, ParentFrameActionsRunBeforeANewChildsFirstFrame)
{
    MovieBuilder m;
    SpriteBuilder child;
    child.actions(say("child")).show_frame();
    std::uint16_t sprite = m.sprite(child);
    // Actions before the placement, as authoring tools write a frame: the tags act in order.
    m.actions(say("parent")).place(sprite, 1).show_frame();
    Host host;
    auto player = host.load(m);
    player->tick();
    EXPECT_EQ(host.commands, (std::vector<std::string>{"parent", "child"}));
}

TEST(PlayerScripts, SetTargetAndLabelsReachChildClips)
{
    MovieBuilder m;
    SpriteBuilder child;
    child.show_frame().label("end").actions(say("child at end")).show_frame().show_frame();
    std::uint16_t sprite = m.sprite(child);
    PlaceOptions o;
    o.character = sprite;
    o.depth = 1;
    o.name = "Box";
    m.place(o);
    m.actions(ActionAssembler().set_target("box").goto_label("END").stop().set_target("").fscommand("root", "")).show_frame();
    m.show_frame();
    Host host;
    auto player = host.load(m);
    player->tick();
    MovieClip* box = player->root()->child_by_name("box", false)->as_clip();
    EXPECT_EQ(box->current_frame(), 1);
    EXPECT_FALSE(box->playing());
    EXPECT_TRUE(player->root()->playing());
    EXPECT_EQ(host.commands, (std::vector<std::string>{"root", "child at end"}));
}

struct UrlCase {
    const char* url;
    const char* target;
    const char* expected; // what reaches the host, "" for nothing
};

class PlayerGetUrl : public testing::TestWithParam<UrlCase> {};

TEST_P(PlayerGetUrl, OnlyFscommandsReachTheHost)
{
    MovieBuilder m;
    m.actions(ActionAssembler().get_url(GetParam().url, GetParam().target).fscommand("next", "")).show_frame();
    Host host;
    auto player = host.load(m);
    player->tick();
    std::vector<std::string> expected;
    if (*GetParam().expected)
        expected.push_back(GetParam().expected);
    expected.push_back("next"); // the script goes on after the GetURL
    EXPECT_EQ(host.commands, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, PlayerGetUrl,
    testing::Values(UrlCase{"http://example.com/", "_blank", ""}, UrlCase{"javascript:alert(1)", "", ""},
                    UrlCase{"file:///bin/sh", "_self", ""}, UrlCase{"mailto:someone@example.com", "", ""},
                    UrlCase{"lesson2.swf", "_level1", ""}, UrlCase{"FSCommand:IrYEntrar", "arg 1", "IrYEntrar arg 1"},
                    UrlCase{"fscommand:quit", "", "quit"}));

namespace {

// A 100 x 100 pixel button at (100, 100) whose hit area is a square frame with a hole.
MovieBuilder button_movie()
{
    MovieBuilder m;
    ShapeBuilder ring;
    ring.fill({0, 0, 255}).rect(0, 0, 100, 100).rect(25, 25, 50, 50);
    std::uint16_t shape = m.shape(ring);
    ButtonBuilder b;
    b.state(ButtonRecord::Up | ButtonRecord::Over | ButtonRecord::Down | ButtonRecord::HitTest, shape);
    b.on(OverDownToOverUp, say("release")).on(OverUpToOverDown, say("press")).on(IdleToOverUp, say("over"));
    m.place(m.button(b), 1, at_pixels(100, 100)).show_frame();
    return m;
}

Point px(double x, double y)
{
    return {x * 20, y * 20};
}

} // namespace

TEST(PlayerButtons, ClickRunsTheReleaseActionsAndShowsTheHand)
{
    Host host;
    auto player = host.load(button_movie());
    player->tick();
    player->mouse_move(px(10, 10));
    EXPECT_FALSE(player->hand_cursor());
    player->mouse_move(px(110, 110));
    EXPECT_TRUE(player->hand_cursor());
    player->mouse_down(px(110, 110));
    player->mouse_up(px(110, 110));
    EXPECT_EQ(host.commands, (std::vector<std::string>{"over", "press", "release"}));
}

TEST(PlayerButtons, HoleInTheHitAreaAndReleaseOutsideDoNothing)
{
    Host host;
    auto player = host.load(button_movie());
    player->tick();
    player->mouse_move(px(150, 150)); // the hole (even-odd)
    EXPECT_FALSE(player->hand_cursor());
    player->mouse_down(px(150, 150));
    player->mouse_up(px(150, 150));
    EXPECT_TRUE(host.commands.empty());

    player->mouse_move(px(105, 105));
    player->mouse_down(px(105, 105));
    player->mouse_move(px(300, 300));
    player->mouse_up(px(300, 300));
    EXPECT_EQ(host.commands, (std::vector<std::string>{"over", "press"}));
}

TEST(PlayerButtons, ShowsTheStateOfTheMouse)
{
    MovieBuilder m;
    std::uint16_t up = square(m, {255, 0, 0}), over = square(m, {0, 255, 0}), down = square(m, {0, 0, 255});
    ButtonBuilder b;
    b.state(ButtonRecord::Up | ButtonRecord::HitTest, up).state(ButtonRecord::Over, over).state(ButtonRecord::Down, down);
    m.place(m.button(b), 1).show_frame();
    Host host;
    auto player = host.load(m);
    auto& button = static_cast<ButtonInstance&>(*player->root()->child_at_depth(1));
    auto shown = [&] { return button.children().begin()->second->character()->id; };
    EXPECT_EQ(shown(), up);
    player->mouse_move(px(5, 5));
    EXPECT_EQ(shown(), over);
    player->mouse_down(px(5, 5));
    EXPECT_EQ(shown(), down);
    player->mouse_up(px(5, 5));
    EXPECT_EQ(shown(), over);
    player->mouse_move(px(50, 50));
    EXPECT_EQ(shown(), up);
}

TEST(PlayerButtons, KeyConditionsFire)
{
    MovieBuilder m;
    ButtonBuilder b;
    b.state(ButtonRecord::Up | ButtonRecord::HitTest, square(m));
    b.on(0, say("enter"), KeyEnter).on(0, say("a"), 'a');
    m.place(m.button(b), 1).show_frame();
    Host host;
    auto player = host.load(m);
    player->key_down(KeyEnter);
    player->key_down('b');
    player->key_down('a');
    EXPECT_EQ(host.commands, (std::vector<std::string>{"enter", "a"}));
}

TEST(PlayerLimits, EndlessGotoLoopIsCutAndTheMovieGoesOn)
{
    MovieBuilder m;
    m.actions(ActionAssembler().goto_frame(1)).show_frame();
    m.actions(ActionAssembler().goto_frame(0)).show_frame();
    PlayerLimits limits;
    limits.max_actions_per_tick = 5000;
    Host host;
    auto player = host.load(m, limits);
    player->tick();
    player->tick();
    EXPECT_LT(player->current_frame(), 2);
}

TEST(PlayerLimits, SpriteThatContainsItselfStopsAtTheLimits)
{
    MovieBuilder m;
    std::uint16_t self = m.allocate_id();
    // A DefineSprite that places itself twice, written by hand (the builder cannot name an id
    // before defining it).
    BitWriter w;
    w.u16(self);
    w.u16(1);
    for (std::uint16_t depth : {1, 2}) {
        w.u16((static_cast<std::uint16_t>(TagCode::PlaceObject2) << 6) | 5);
        w.u8(0x02);
        w.u16(depth);
        w.u16(self);
    }
    w.u16(static_cast<std::uint16_t>(TagCode::ShowFrame) << 6);
    w.u16(0);
    m.tag(TagCode::DefineSprite, w.take());
    m.place(self, 1).show_frame();
    PlayerLimits limits;
    limits.max_display_objects = 500;
    Host host;
    auto player = host.load(m, limits);
    player->tick();
    player->tick();
    EXPECT_LE(player->object_count(), 500u);
}

TEST(PlayerReentrancy, ClosingFromInsideAnFscommandEndsTheScript)
{
    MovieBuilder m;
    m.actions(ActionAssembler().fscommand("swap", "").fscommand("after", "")).show_frame();
    m.actions(say("frame 1")).show_frame();
    Host host;
    std::shared_ptr<Player> player = host.load(m);
    host.on_command = [&](const std::string& command) {
        if (command == "swap") {
            player->close();
            player.reset(); // the host drops its only reference while the script runs
        }
    };
    std::shared_ptr<Player> running = player;
    running->tick();
    EXPECT_EQ(host.commands, std::vector<std::string>{"swap"});
    EXPECT_FALSE(player);
    running->tick();
    EXPECT_EQ(host.commands.size(), 1u);
}

TEST(PlayerClips, DuplicateAndRemoveByScriptLeaveTheTimelineAlone)
{
    MovieBuilder m;
    SpriteBuilder child;
    child.place(square(m), 1).show_frame();
    PlaceOptions o;
    o.character = m.sprite(child);
    o.depth = 1;
    o.name = "a";
    m.place(o).show_frame().show_frame();
    Host host;
    auto player = host.load(m);
    MovieClip* a = player->root()->child_by_name("a", true)->as_clip();
    MovieClip* copy = a->duplicate("b", 16384 + 5);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->slash_path(), "/b");
    EXPECT_EQ(copy->dot_path(), "_level0.b");
    EXPECT_EQ(copy->children().size(), 1u);
    player->tick();
    player->tick();
    player->tick(); // loop: the timeline rebuilds its own objects only
    EXPECT_TRUE(player->root()->child_by_name("B", false));
    std::uint64_t id = copy->id();
    copy->remove_from_parent();
    EXPECT_EQ(player->find(id), nullptr);
    EXPECT_TRUE(player->root()->child_by_name("a", true));
}
