#include "fuzz/play.h"

#include "swf/audio/movie_sound.h"
#include "swf/core/player.h"
#include "swf/render/renderer.h"

#include <QImage>

namespace swf::fuzz {

void play(std::span<const std::uint8_t> data)
{
    constexpr int kFrames = 12;
    if (data.size() > (4u << 20)) // keep each run small
        return;
    PlayerLimits limits;
    limits.max_actions_per_tick = 20000;
    limits.max_script_time = std::chrono::milliseconds(500);
    limits.max_display_objects = 2000;
    PlayerHost host;
    host.fetch = [](const std::string&) { return std::nullopt; };
    std::shared_ptr<Player> player = Player::create(host, limits);
    audio::OfflineAudio sound(player);
    if (!player->load(std::vector<std::uint8_t>(data.begin(), data.end())))
        return;

    Renderer renderer;
    const Rect stage = player->stage();
    const Point centre{(stage.x_min + stage.x_max) / 2.0, (stage.y_min + stage.y_max) / 2.0};
    const Point corner{double(stage.x_min), double(stage.y_min)};
    for (int frame = 0; frame < kFrames; ++frame) {
        player->tick();
        sound.render_frame();
        if (frame % 4 == 0)
            renderer.render_image(*player, QSize(64, 48));
        player->mouse_move(frame % 2 ? centre : corner);
        player->mouse_down(centre);
        player->mouse_up(centre);
        const int key = frame % 3 == 0 ? int(KeyEnter) : int('a');
        player->key_down(key);
        player->key_up(key);
    }
}

} // namespace swf::fuzz
