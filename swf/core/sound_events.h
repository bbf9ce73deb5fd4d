#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "swf/core/characters.h"

namespace swf {

class DisplayObject;

// What the timelines, buttons and scripts of a movie ask of the sound output, in the order
// they asked. The player only records them; the audio side takes them after each tick and
// input event, so sound never runs inside the player.
struct SoundEvent {
    enum class Kind : std::uint8_t {
        Start,       // an event sound: a frame's StartSound or a button transition's sound
        StreamBlock, // a frame's SoundStreamBlock, for the stream of the clip that entered it
        StopAll,     // StopSounds
        Transform,   // a Sound object's volume, pan or transform for its owner's sounds
    };
    Kind kind = Kind::Start;
    std::uint64_t clip = 0;               // the clip or button that raised it (Sound objects: their owner, 0 for the movie)
    std::shared_ptr<const Library> movie; // keeps the sound data and timelines alive
    // Start: the sound and how to play it.
    const SoundCharacter* sound = nullptr;
    SoundInfo info;
    // StreamBlock: the clip's timeline, the frame entered and its block. `jumped` when the
    // frame was reached by a goto (or a loop back): the stream starts again from this block.
    const TimelineDef* timeline = nullptr;
    int frame = 0;
    Bytes block;
    bool jumped = false;
    // Transform: setTransform's ll, lr, rr, rl in percent (lr: right input to left speaker).
    std::array<double, 4> matrix{100, 0, 100, 0};
};

// The sound events of one player. Nothing is recorded until a consumer enables it, so a
// player without sound output keeps no queue; a tick's worth is bounded as well.
class SoundEvents {
public:
    static constexpr std::size_t kMaxPending = 4096;

    void enable(bool on);
    bool enabled() const { return m_enabled; }

    // A clip has entered `frame` of its timeline: its StartSound and SoundStreamBlock tags.
    void frame_entered(const DisplayObject& clip, const TimelineDef& timeline, int frame, bool jumped);
    // A button's mouse state changed (ButtonInstance::MouseState values): the sound that
    // DefineButtonSound gives that transition, if any.
    void button_state_changed(const DisplayObject& button, int from, int to);
    void stop_all();
    // A Sound object: `owner` (0: the whole movie) starts `sound` of `movie` as `info` says
    // (a stop sound stops it); `transform` sets how the owner's sounds reach the speakers.
    void start(std::uint64_t owner, std::shared_ptr<const Library> movie, const SoundCharacter* sound, SoundInfo info);
    void transform(std::uint64_t owner, const std::array<double, 4>& matrix);

    std::vector<SoundEvent> take();

private:
    void push(SoundEvent event);

    std::vector<SoundEvent> m_pending;
    bool m_enabled = false;
};

// The stream format a timeline declares for `frame`: its last SoundStreamHead(2) at or
// before that frame.
std::optional<SoundStreamHead> stream_head(const TimelineDef& timeline, int frame);

// The library that owns `object`'s definitions, shared, so queued work can keep it alive.
std::shared_ptr<const Library> owning_library(const DisplayObject& object);

} // namespace swf
