#include "tools/course_compiler/course_kit.h"

#include "swf/parser/buttons.h"

namespace course {
namespace {

swf::Rgba lighter(swf::Rgba c, int amount)
{
    auto up = [amount](std::uint8_t v) { return static_cast<std::uint8_t>(std::min(255, v + amount)); };
    return {up(c.r), up(c.g), up(c.b), c.a};
}

swf::Rgba darker(swf::Rgba c, int amount)
{
    auto down = [amount](std::uint8_t v) { return static_cast<std::uint8_t>(std::max(0, v - amount)); };
    return {down(c.r), down(c.g), down(c.b), c.a};
}

std::uint16_t plate(swf::MovieBuilder& movie, const QRectF& box, swf::Rgba color)
{
    swf::ShapeBuilder shape;
    shape.fill(color);
    addRoundedRect(shape, box, std::min(box.height() / 2, 10.0));
    return movie.shape(shape);
}

} // namespace

swf::ActionAssembler command(const char* command, const char* args)
{
    swf::ActionAssembler code;
    code.fscommand(command, args);
    return code;
}

void placeBackground(swf::MovieBuilder& movie, double width, double height, swf::Rgba color)
{
    movie.background(color);
    swf::ShapeBuilder stage;
    stage.fill(color).rect(0, 0, width, height);
    movie.place(movie.shape(stage), 1);
}

void addRoundedRect(swf::ShapeBuilder& shape, const QRectF& box, double radius)
{
    const double l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    shape.move_to(l + radius, t)
        .line_to(r - radius, t)
        .curve_to(r, t, r, t + radius)
        .line_to(r, b - radius)
        .curve_to(r, b, r - radius, b)
        .line_to(l + radius, b)
        .curve_to(l, b, l, b - radius)
        .line_to(l, t + radius)
        .curve_to(l, t, l + radius, t)
        .close();
}

std::uint16_t defineButton(swf::MovieBuilder& movie, const ButtonSpec& button, const Palette& palette,
                           const TextStyle& captionStyle)
{
    const std::uint16_t up = plate(movie, button.box, palette.accent);
    const std::uint16_t over = plate(movie, button.box, lighter(palette.accent, 40));
    const std::uint16_t down = plate(movie, button.box.translated(0, 1), darker(palette.accent, 30));

    TextStyle style = captionStyle;
    style.align = Align::Center;
    style.color = palette.buttonText;
    swf::ShapeBuilder captionShape;
    const QPointF baseline(button.box.center().x(), button.box.center().y() + style.pixelSize * 0.36);
    addText(captionShape, button.caption, style, baseline);
    const std::uint16_t caption = movie.shape(captionShape);

    swf::ButtonBuilder builder;
    builder.state(swf::ButtonRecord::Up, up, {}, 1)
        .state(swf::ButtonRecord::Over, over, {}, 1)
        .state(swf::ButtonRecord::Down | swf::ButtonRecord::HitTest, down, {}, 1)
        .state(swf::ButtonRecord::Up | swf::ButtonRecord::Over, caption, {}, 2)
        .state(swf::ButtonRecord::Down, caption, swf::at_pixels(0, 1), 2);
    builder.on(swf::OverDownToOverUp, button.onRelease);
    return movie.button(builder);
}

std::uint16_t defineTextBlock(swf::MovieBuilder& movie, const std::vector<QString>& lines, const TextStyle& style,
                              QPointF firstBaseline, double lineHeight)
{
    swf::ShapeBuilder shape;
    QPointF baseline = firstBaseline;
    for (const QString& line : lines) {
        if (!line.isEmpty())
            addText(shape, line, style, baseline);
        baseline.ry() += lineHeight;
    }
    return movie.shape(shape);
}

} // namespace course
