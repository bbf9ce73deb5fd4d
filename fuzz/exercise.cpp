#include "fuzz/exercise.h"

#include <vector>

#include "swf/core/player.h"
#include "swf/parser/actions.h"
#include "swf/parser/bitmaps.h"
#include "swf/parser/buttons.h"
#include "swf/parser/control_tags.h"
#include "swf/parser/shapes.h"
#include "swf/parser/sounds.h"
#include "swf/parser/tag_codes.h"
#include "swf/parser/text.h"

namespace swf::fuzz {
namespace {

void decode_actions(Bytes code)
{
    ActionBlockDecode block = decode_action_block(code);
    for (const ActionRecord& record : block.records) {
        ActionOperands operands;
        decode_operands(record, operands);
    }
}

void decode_tag(const Tag& tag, std::uint8_t version, int nesting)
{
    switch (static_cast<TagCode>(tag.code)) {
    case TagCode::DefineShape:
    case TagCode::DefineShape2:
    case TagCode::DefineShape3:
    case TagCode::DefineShape4: {
        DefineShape d;
        decode_define_shape(tag, d);
        break;
    }
    case TagCode::DefineMorphShape: {
        DefineMorphShape d;
        decode_define_morph_shape(tag, d);
        break;
    }
    case TagCode::PlaceObject:
    case TagCode::PlaceObject2: {
        PlaceObject d;
        if (decode_place_object(tag, version, d))
            for (const ClipAction& a : d.clip_actions)
                decode_actions(a.actions);
        break;
    }
    case TagCode::DoAction: decode_actions(tag.body); break;
    case TagCode::DoInitAction: {
        DoInitAction d;
        if (decode_do_init_action(tag, d))
            decode_actions(d.actions);
        break;
    }
    case TagCode::DefineButton:
    case TagCode::DefineButton2: {
        DefineButton d;
        if (decode_define_button(tag, d))
            for (const ButtonAction& a : d.actions)
                decode_actions(a.actions);
        break;
    }
    case TagCode::DefineButtonSound: {
        DefineButtonSound d;
        decode_define_button_sound(tag, d);
        break;
    }
    case TagCode::DefineFont:
    case TagCode::DefineFont2: {
        DefineFont d;
        decode_define_font(tag, d);
        break;
    }
    case TagCode::DefineFontInfo:
    case TagCode::DefineFontInfo2: {
        DefineFontInfo d;
        decode_define_font_info(tag, d);
        break;
    }
    case TagCode::DefineText:
    case TagCode::DefineText2: {
        DefineText d;
        decode_define_text(tag, d);
        break;
    }
    case TagCode::DefineEditText: {
        DefineEditText d;
        decode_define_edit_text(tag, d);
        break;
    }
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsLossless2: {
        DefineBitsLossless d;
        DecodedBitmap out;
        if (decode_define_bits_lossless(tag, d))
            decode_lossless_pixels(d, out, nullptr, 1u << 20);
        break;
    }
    case TagCode::DefineSound: {
        DefineSound d;
        decode_define_sound(tag, d);
        break;
    }
    case TagCode::StartSound: {
        StartSound d;
        decode_start_sound(tag, d);
        break;
    }
    case TagCode::SoundStreamHead:
    case TagCode::SoundStreamHead2: {
        SoundStreamHead d;
        decode_sound_stream_head(tag, d);
        break;
    }
    case TagCode::ExportAssets: {
        std::vector<ExportedAsset> d;
        decode_export_assets(tag, d);
        break;
    }
    case TagCode::ImportAssets: {
        ImportAssets d;
        decode_import_assets(tag, d);
        break;
    }
    case TagCode::DefineSprite: {
        DefineSprite d;
        if (nesting < 4 && decode_define_sprite(tag, d))
            for (const Tag& inner : d.tags)
                decode_tag(inner, version, nesting + 1);
        break;
    }
    default: break;
    }
}

} // namespace

void exercise(std::span<const std::uint8_t> data)
{
    ParseLimits limits;
    limits.max_file_length = 4u << 20; // keep each run small
    ParseResult parsed = parse_movie(std::vector<std::uint8_t>(data.begin(), data.end()), limits);
    if (!parsed.movie)
        return;
    for (const Tag& tag : parsed.movie->tags)
        decode_tag(tag, parsed.movie->header.version, 0);

    PlayerLimits player_limits;
    player_limits.max_actions_per_tick = 20000;
    player_limits.max_display_objects = 2000;
    std::shared_ptr<Player> player = Player::create({}, player_limits);
    if (!player->load(parsed.movie))
        return;
    Rect stage = player->stage();
    Point centre{(stage.x_min + stage.x_max) / 2.0, (stage.y_min + stage.y_max) / 2.0};
    for (int frame = 0; frame < 4; ++frame) {
        player->tick();
        player->mouse_move(centre);
        player->mouse_down(centre);
        player->mouse_up(centre);
        player->key_down(KeyEnter);
    }
    player->goto_frame(player->frame_count() - 1);
    player->tick();
    player->goto_frame(0);
    player->tick();
}

} // namespace swf::fuzz
