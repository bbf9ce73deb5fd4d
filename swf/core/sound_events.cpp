#include "swf/core/sound_events.h"

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/player.h"
#include "swf/parser/tag_codes.h"

namespace swf {

void SoundEvents::enable(bool on)
{
    m_enabled = on;
    if (!on)
        m_pending.clear();
}

void SoundEvents::push(SoundEvent event)
{
    if (m_enabled && m_pending.size() < kMaxPending)
        m_pending.push_back(std::move(event));
}

void SoundEvents::frame_entered(const DisplayObject& clip, const TimelineDef& timeline, int frame, bool jumped)
{
    if (!m_enabled || frame < 0 || frame >= timeline.frame_count())
        return;
    std::shared_ptr<const Library> movie;
    for (const Tag& tag : timeline.frames[frame]) {
        bool start = tag.code == static_cast<std::uint16_t>(TagCode::StartSound);
        bool block = tag.code == static_cast<std::uint16_t>(TagCode::SoundStreamBlock);
        if (!start && !block)
            continue;
        if (!movie && !(movie = owning_library(clip)))
            return;
        SoundEvent e;
        e.clip = clip.id();
        e.movie = movie;
        if (start) {
            StartSound s;
            if (!decode_start_sound(tag, s))
                continue;
            const Character* c = movie->find(s.id);
            if (!c || c->type != CharacterType::Sound)
                continue;
            e.sound = static_cast<const SoundCharacter*>(c);
            e.info = std::move(s.info);
        } else {
            e.kind = SoundEvent::Kind::StreamBlock;
            e.timeline = &timeline;
            e.frame = frame;
            e.block = tag.body;
            e.jumped = jumped;
        }
        push(std::move(e));
    }
}

void SoundEvents::button_state_changed(const DisplayObject& button, int from, int to)
{
    using S = ButtonInstance::MouseState;
    if (!m_enabled || button.kind() != DisplayObject::Kind::Button)
        return;
    auto is = [&](S a, S b) { return from == int(a) && to == int(b); };
    int transition = is(S::OverUp, S::Idle)       ? 0
                     : is(S::Idle, S::OverUp)     ? 1
                     : is(S::OverUp, S::OverDown) ? 2
                     : is(S::OverDown, S::OverUp) ? 3
                                                  : -1;
    const auto& sounds = static_cast<const ButtonInstance&>(button).button().sounds;
    if (transition < 0 || !sounds || sounds->sound[transition] == 0)
        return;
    std::shared_ptr<const Library> movie = owning_library(button);
    const Character* c = movie ? movie->find(sounds->sound[transition]) : nullptr;
    if (!c || c->type != CharacterType::Sound)
        return;
    SoundEvent e;
    e.clip = button.id();
    e.movie = std::move(movie);
    e.sound = static_cast<const SoundCharacter*>(c);
    e.info = sounds->info[transition];
    push(std::move(e));
}

void SoundEvents::stop_all()
{
    if (!m_enabled)
        return;
    // Whatever waits to start would be stopped at once: it need not wait.
    m_pending.clear();
    SoundEvent e;
    e.kind = SoundEvent::Kind::StopAll;
    m_pending.push_back(std::move(e));
}

void SoundEvents::start(std::uint64_t owner, std::shared_ptr<const Library> movie, const SoundCharacter* sound,
                        SoundInfo info)
{
    if (!m_enabled || !movie || !sound)
        return;
    SoundEvent e;
    e.clip = owner;
    e.movie = std::move(movie);
    e.sound = sound;
    e.info = std::move(info);
    push(std::move(e));
}

void SoundEvents::transform(std::uint64_t owner, const std::array<double, 4>& matrix)
{
    SoundEvent e;
    e.kind = SoundEvent::Kind::Transform;
    e.clip = owner;
    e.matrix = matrix;
    push(std::move(e));
}

std::vector<SoundEvent> SoundEvents::take()
{
    std::vector<SoundEvent> out = std::move(m_pending);
    m_pending.clear();
    return out;
}

std::optional<SoundStreamHead> stream_head(const TimelineDef& timeline, int frame)
{
    std::optional<SoundStreamHead> found;
    for (int f = 0; f <= frame && f < timeline.frame_count(); ++f)
        for (const Tag& tag : timeline.frames[f]) {
            SoundStreamHead head;
            if (decode_sound_stream_head(tag, head))
                found = head;
        }
    return found;
}

std::shared_ptr<const Library> owning_library(const DisplayObject& object)
{
    for (const DisplayObject* o = &object; o; o = o->parent())
        if (const MovieClip* clip = o->as_clip(); clip && clip->owned_library().get() == object.library())
            return clip->owned_library();
    std::shared_ptr<const Library> level0 = object.player().shared_library();
    return level0.get() == object.library() ? level0 : nullptr;
}

} // namespace swf
