// Movies drawn offscreen for the renderer's tests.
#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include <string>

#include "swf/core/player.h"
#include "swf/render/device_fonts.h"
#include "swf/render/renderer.h"
#include "swf/writer/movie_builder.h"

namespace render_test {

inline const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255),
                  kGrey = qRgb(128, 128, 128), kWhite = qRgb(255, 255, 255);

// A player with the movie loaded, measuring text with the system's fonts.
inline std::shared_ptr<swf::Player> load(const std::vector<std::uint8_t>& bytes)
{
    auto player = swf::Player::create();
    player->set_text_metrics(swf::device_text_metrics());
    std::string error;
    EXPECT_TRUE(player->load(bytes, &error)) << error;
    return player;
}

inline QImage draw(const swf::Player& player, QSize size)
{
    swf::Renderer renderer;
    return renderer.render_image(player, size).convertToFormat(QImage::Format_RGB32);
}

// The movie's first frame (or the frame after `ticks` ticks) drawn into `size` pixels.
inline QImage draw(const std::vector<std::uint8_t>& bytes, QSize size, int ticks = 0)
{
    auto player = load(bytes);
    for (int i = 0; i < ticks; ++i)
        player->tick();
    return draw(*player, size);
}

inline QImage draw(const swf::MovieBuilder& movie, QSize size, int ticks = 0)
{
    return draw(movie.bytes(), size, ticks);
}

// A stage of w × h pixels on a grey background.
inline swf::MovieBuilder grey_stage(double w, double h, std::uint8_t version = 6)
{
    swf::MovieOptions o;
    o.width = w;
    o.height = h;
    o.version = version;
    swf::MovieBuilder m(o);
    m.background({128, 128, 128});
    return m;
}

// Whether two colours differ by at most `tolerance` in every channel.
inline bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

inline std::string describe(QRgb c)
{
    return "(" + std::to_string(qRed(c)) + ", " + std::to_string(qGreen(c)) + ", " + std::to_string(qBlue(c)) + ")";
}

// Pixels in the rectangle that differ from `background` by more than a little.
inline int marked_pixels(const QImage& image, QRect area, QRgb background)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += near(image.pixel(x, y), background, 40) ? 0 : 1;
    return n;
}

} // namespace render_test
