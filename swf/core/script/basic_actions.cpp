#include "swf/core/script/basic_actions.h"

#include "swf/core/movie_clip.h"
#include "swf/core/player.h"
#include "swf/core/target_path.h"
#include "swf/parser/actions.h"

namespace swf::script {
namespace {

bool starts_with_fscommand(std::string_view url)
{
    constexpr std::string_view prefix = "fscommand:";
    if (url.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = url[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

} // namespace

void BasicActions::run(const ActionBlock& block, MovieClip& context)
{
    ActionBlockDecode decoded = decode_action_block(block.code);
    const std::uint64_t original = context.id();
    std::uint64_t target = original;
    int skip = 0;
    for (const ActionRecord& record : decoded.records) {
        if (!m_player.spend_action())
            return;
        if (skip > 0) {
            --skip;
            continue;
        }
        ActionOperands operands;
        if (!decode_operands(record, operands))
            return; // damaged operands end the block
        DisplayObject* object = m_player.find(target);
        MovieClip* clip = object ? object->as_clip() : nullptr;
        switch (static_cast<ActionCode>(record.code)) {
        case ActionCode::Play:
            if (clip)
                clip->play();
            break;
        case ActionCode::Stop:
            if (clip)
                clip->stop();
            break;
        case ActionCode::NextFrame:
            if (clip)
                clip->next_frame();
            break;
        case ActionCode::PrevFrame:
            if (clip)
                clip->prev_frame();
            break;
        case ActionCode::GotoFrame:
            if (clip)
                clip->goto_frame(std::get<GotoFrameOp>(operands).frame, clip->playing());
            break;
        case ActionCode::GotoLabel:
            if (clip)
                clip->goto_label(std::get<GotoLabelOp>(operands).label, clip->playing());
            break;
        case ActionCode::SetTarget: {
            std::string_view path = std::get<SetTargetOp>(operands).target;
            DisplayObject* origin = m_player.find(original);
            DisplayObject* found = path.empty() || !origin ? origin : resolve_target(*origin->as_clip(), path);
            target = found ? found->id() : 0;
            break;
        }
        case ActionCode::WaitForFrame:
            // The whole movie is in memory: every frame is loaded, nothing is skipped.
            break;
        case ActionCode::GetURL: {
            const GetUrlOp& op = std::get<GetUrlOp>(operands);
            if (starts_with_fscommand(op.url))
                m_player.raise_fscommand(std::string(op.url.substr(10)), std::string(op.target));
            break;
        }
        default: break;
        }
        if (m_player.closed())
            return;
    }
}

} // namespace swf::script
