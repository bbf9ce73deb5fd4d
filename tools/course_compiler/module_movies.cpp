#include "tools/course_compiler/lessons.h"

namespace course {
namespace {

constexpr std::uint16_t kHeaderDepth = 2;
constexpr std::uint16_t kWatermarkDepth = 5;
constexpr std::uint16_t kHeadingDepth = 10;
constexpr std::uint16_t kLinesDepth = 11;
constexpr std::uint16_t kPageButtonDepth = 20; // and up, one per button of the page
constexpr std::uint16_t kPreviousDepth = 40;
constexpr std::uint16_t kNextDepth = 41;
constexpr std::uint16_t kNavigationDepth = 50; // and up

std::uint16_t defineHeader(swf::MovieBuilder& movie, const Lesson& lesson)
{
    swf::ShapeBuilder header;
    header.fill(lesson.palette.panel).rect(0, 0, 800, 100);
    header.fill(lesson.palette.accent).rect(0, 100, 800, 4);
    const TextStyle hanzi{.pixelSize = 56, .color = lesson.palette.accent};
    addText(header, lesson.hanzi, hanzi, QPointF(40, 72));
    const double titleX = 40 + textWidth(lesson.hanzi, hanzi) + 24;
    addText(header, lesson.title, {.pixelSize = 30, .color = lesson.palette.text, .bold = true}, QPointF(titleX, 64));
    addText(header, QStringLiteral("Lumavo · 中文课程"),
            {.pixelSize = 14, .color = lesson.palette.text, .align = Align::Right}, QPointF(770, 30));
    return movie.shape(header);
}

std::uint16_t defineWatermark(swf::MovieBuilder& movie, const Lesson& lesson)
{
    swf::ShapeBuilder shape;
    swf::Rgba color = lesson.palette.accent;
    color.a = 70;
    addText(shape, lesson.hanzi, {.pixelSize = 220, .color = color, .align = Align::Center}, QPointF(400, 400));
    return movie.shape(shape);
}

struct PageCharacters {
    std::uint16_t heading = 0;
    std::uint16_t lines = 0;
    std::vector<std::uint16_t> buttons;
};

PageCharacters definePage(swf::MovieBuilder& movie, const Lesson& lesson, const Page& page)
{
    const TextStyle body{.pixelSize = 22, .color = lesson.palette.text};
    PageCharacters characters;
    characters.heading = defineTextBlock(movie, {page.heading},
                                         {.pixelSize = 28, .color = lesson.palette.accent, .bold = true},
                                         QPointF(40, 160), 0);
    if (!page.lines.empty())
        characters.lines = defineTextBlock(movie, page.lines, body, QPointF(40, 214), 42);
    for (const ButtonSpec& button : page.buttons)
        characters.buttons.push_back(defineButton(movie, button, lesson.palette, {.pixelSize = 19}));
    return characters;
}

void placePage(swf::MovieBuilder& movie, const PageCharacters& page)
{
    movie.place(page.heading, kHeadingDepth);
    if (page.lines)
        movie.place(page.lines, kLinesDepth);
    for (std::size_t i = 0; i < page.buttons.size(); ++i)
        movie.place(page.buttons[i], static_cast<std::uint16_t>(kPageButtonDepth + i));
}

void removePage(swf::MovieBuilder& movie, const PageCharacters& page)
{
    movie.remove(kHeadingDepth);
    if (page.lines)
        movie.remove(kLinesDepth);
    for (std::size_t i = 0; i < page.buttons.size(); ++i)
        movie.remove(static_cast<std::uint16_t>(kPageButtonDepth + i));
}

void startFrame(swf::MovieBuilder& movie, const Lesson& lesson)
{
    swf::ActionAssembler code;
    for (const auto& [command, args] : lesson.startCommands)
        code.fscommand(command, args);
    movie.actions(code);
    movie.place(defineHeader(movie, lesson), kHeaderDepth);
    for (std::size_t i = 0; i < lesson.navigation.size(); ++i) {
        const std::uint16_t button = defineButton(movie, lesson.navigation[i], lesson.palette, {.pixelSize = 19});
        movie.place(button, static_cast<std::uint16_t>(kNavigationDepth + i));
    }
}

// The main index: its page shows at once while the large characters fade in behind it; the
// movie then rests on its last frame.
swf::MovieBuilder indexMovie(const Lesson& lesson)
{
    constexpr int kFadeFrames = 24;
    swf::MovieBuilder movie({.version = 6, .width = 800, .height = 600, .frame_rate = lesson.frameRate});
    placeBackground(movie, 800, 600, lesson.palette.background);
    startFrame(movie, lesson);
    const std::uint16_t watermark = defineWatermark(movie, lesson);
    placePage(movie, definePage(movie, lesson, lesson.pages.front()));
    for (int frame = 0; frame <= kFadeFrames; ++frame) {
        swf::ColorTransform fade;
        fade.a_mult = std::min(1.0, frame / double(kFadeFrames));
        swf::PlaceOptions options{.depth = kWatermarkDepth, .color_transform = fade};
        if (frame == 0)
            options.character = watermark;
        movie.place(options);
        if (frame == kFadeFrames)
            movie.actions(swf::ActionAssembler().stop());
        movie.show_frame();
    }
    return movie;
}

// A module: two frames of title, then one frame per page from frame 2 on, where the program
// starts it. Each page waits for the learner, who turns pages with its buttons.
swf::MovieBuilder pagedMovie(const Lesson& lesson)
{
    swf::MovieBuilder movie({.version = 6, .width = 800, .height = 600, .frame_rate = lesson.frameRate});
    placeBackground(movie, 800, 600, lesson.palette.background);
    startFrame(movie, lesson);
    movie.place(defineWatermark(movie, lesson), kWatermarkDepth);
    movie.show_frame();
    movie.show_frame();
    movie.remove(kWatermarkDepth);

    const Palette& palette = lesson.palette;
    const std::uint16_t previous = defineButton(
        movie, {QStringLiteral("◀ Anterior"), QRectF(560, 476, 108, 38), swf::ActionAssembler().prev_frame()}, palette,
        {.pixelSize = 17});
    const std::uint16_t next = defineButton(
        movie, {QStringLiteral("Siguiente ▶"), QRectF(680, 476, 108, 38), swf::ActionAssembler().next_frame()},
        palette, {.pixelSize = 17});

    std::vector<PageCharacters> pages;
    for (const Page& page : lesson.pages)
        pages.push_back(definePage(movie, lesson, page));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            removePage(movie, pages[i - 1]);
            if (i == 1)
                movie.place(previous, kPreviousDepth);
        }
        placePage(movie, pages[i]);
        if (i == 0 && pages.size() > 1)
            movie.place(next, kNextDepth);
        if (i + 1 == pages.size() && i > 0)
            movie.remove(kNextDepth);
        movie.actions(swf::ActionAssembler().stop());
        movie.show_frame();
    }
    return movie;
}

} // namespace

swf::MovieBuilder moduleMovie(Module module)
{
    const Lesson lesson = lessonFor(module);
    return module == Module::Index ? indexMovie(lesson) : pagedMovie(lesson);
}

} // namespace course
