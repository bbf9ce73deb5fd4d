#include "tools/course_compiler/course_kit.h"
#include "tools/course_compiler/movies.h"

namespace course {

swf::MovieBuilder startMovie()
{
    constexpr int kFadeFrames = 12;
    const Palette palette{{0x7a, 0x10, 0x10}, {0x5c, 0x0b, 0x0b}, {0xc8, 0x8a, 0x12}, {0xff, 0xf4, 0xd6}};
    swf::MovieBuilder movie({.version = 6, .width = 352, .height = 288, .frame_rate = 12});
    placeBackground(movie, 352, 288, palette.background);

    swf::ShapeBuilder seal;
    seal.fill(palette.panel);
    addRoundedRect(seal, QRectF(16, 16, 320, 256), 18);
    seal.no_fill().line(2, palette.accent);
    addRoundedRect(seal, QRectF(24, 24, 304, 240), 14);
    const std::uint16_t card = movie.shape(seal);

    swf::ShapeBuilder hanzi;
    addText(hanzi, QStringLiteral("学中文"), {.pixelSize = 64, .color = {0xf2, 0xc1, 0x4e}, .align = Align::Center},
            QPointF(176, 104));
    const std::uint16_t title = movie.shape(hanzi);

    const std::uint16_t words = defineTextBlock(
        movie, {QStringLiteral("Lumavo"), QStringLiteral("Curso de chino mandarín"), QStringLiteral("xué Zhōngwén")},
        {.pixelSize = 18, .color = palette.text, .align = Align::Center}, QPointF(176, 146), 24);

    const std::uint16_t enter =
        defineButton(movie, {QStringLiteral("Entrar"), QRectF(116, 222, 120, 36), command("IrYEntrar")}, palette,
                     {.pixelSize = 18, .bold = true});

    movie.place(card, 2).place(words, 4).place(enter, 5);
    // The characters fade in over the first second, then the movie waits on its last frame.
    for (int frame = 0; frame < kFadeFrames; ++frame) {
        swf::ColorTransform fade;
        fade.a_mult = (frame + 1) / double(kFadeFrames);
        swf::PlaceOptions options{.depth = 3, .color_transform = fade};
        if (frame == 0)
            options.character = title;
        movie.place(options);
        if (frame == kFadeFrames - 1)
            movie.actions(swf::ActionAssembler().stop());
        movie.show_frame();
    }
    return movie;
}

} // namespace course
