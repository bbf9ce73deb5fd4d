#include "tools/course_compiler/course_kit.h"
#include "tools/course_compiler/movies.h"

namespace course {

swf::MovieBuilder closingMovie()
{
    constexpr int kFrames = 36; // three seconds
    swf::MovieBuilder movie({.version = 6, .width = 800, .height = 600, .frame_rate = 12});
    placeBackground(movie, 800, 600, {0x10, 0x10, 0x18});

    swf::ShapeBuilder goodbye;
    addText(goodbye, QStringLiteral("再见"), {.pixelSize = 120, .color = {0xf2, 0xc1, 0x4e}, .align = Align::Center},
            QPointF(400, 290));
    const std::uint16_t hanzi = movie.shape(goodbye);
    const std::uint16_t words = defineTextBlock(
        movie, {QStringLiteral("zàijiàn"), QStringLiteral("¡Hasta pronto!"), QString(),
                QStringLiteral("Gracias por estudiar con Lumavo.")},
        {.pixelSize = 28, .color = {0xf0, 0xf0, 0xf0}, .align = Align::Center}, QPointF(400, 360), 40);

    movie.place(words, 3);
    for (int frame = 0; frame < kFrames; ++frame) {
        swf::ColorTransform fade;
        fade.a_mult = std::min(1.0, (frame + 1) / 18.0);
        swf::PlaceOptions options{.depth = 2, .color_transform = fade};
        if (frame == 0)
            options.character = hanzi;
        movie.place(options);
        // The program ends when the movie says it has finished.
        if (frame == kFrames - 1)
            movie.actions(swf::ActionAssembler().fscommand("SalirVB", "").stop());
        movie.show_frame();
    }
    return movie;
}

} // namespace course
