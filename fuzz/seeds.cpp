// Writes a handful of small, valid movies as the fuzzer's starting corpus.
#include <cstdio>
#include <string>

#include "swf/parser/buttons.h"
#include "swf/writer/movie_builder.h"

using namespace swf;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    int written = 0;
    auto save = [&](const MovieBuilder& m, const char* name) {
        written += m.save(dir + "/" + name) ? 1 : 0;
    };

    for (bool compressed : {false, true}) {
        MovieOptions o;
        o.compressed = compressed;
        MovieBuilder m(o);
        m.background({1, 2, 3});
        ShapeBuilder s;
        s.fill({255, 0, 0, 128}).rect(0, 0, 10, 10).no_fill().line(1, {0, 0, 0}).move_to(0, 0).curve_to(5, 5, 10, 0);
        s.radial_gradient({{0, {0, 0, 0}}, {255, {255, 255, 255}}}, {5, 5}, 5).circle(5, 5, 4);
        std::uint16_t shape = m.shape(s);
        SpriteBuilder sprite;
        sprite.place(shape, 1).actions(ActionAssembler().stop()).show_frame().remove(1).show_frame();
        std::uint16_t clip = m.sprite(sprite);
        ButtonBuilder b;
        b.state(ButtonRecord::Up | ButtonRecord::HitTest, shape).on(OverDownToOverUp, ActionAssembler().fscommand("x", "y"));
        PlaceOptions named;
        named.character = clip;
        named.depth = 2;
        named.name = "clip";
        named.clip_depth = 4;
        m.place(shape, 1).place(named).place(m.button(b), 3, at_pixels(1, 1));
        ActionAssembler a;
        auto label = a.new_label();
        a.constant_pool({"a", "b"}).push({"a", 1, 2.5, true}).if_true(label).set_target("clip").play().bind(label);
        a.define_function("f", {"p"}, ActionAssembler().push("p").get_variable().trace());
        m.actions(a).label("one").show_frame();
        m.actions(ActionAssembler().goto_label("one").goto_frame(0)).show_frame();
        save(m, compressed ? "compressed.swf" : "plain.swf");
    }
    {
        MovieBuilder m;
        FontBuilder font("f");
        ShapeBuilder glyph(1);
        glyph.fill({0, 0, 0}).rect(0, -700, 500, 700);
        font.glyph('A', glyph, 600);
        std::uint16_t id = m.font(font);
        m.place(m.text(id, font, "AA", 12, {0, 0, 0}, 0, 20), 1);
        m.place(m.bitmap(2, 2, {1, 2, 3, 255, 4, 5, 6, 128, 7, 8, 9, 0, 10, 11, 12, 255}), 2);
        m.start_sound(m.sound({0, 1000, -1000, 0}, 11025, false));
        save(m, "media.swf");
    }
    std::printf("%d seed movies in %s\n", written, dir.c_str());
    return written == 3 ? 0 : 1;
}
