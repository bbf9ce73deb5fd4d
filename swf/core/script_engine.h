#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "swf/parser/reader.h"

namespace swf {

class DisplayObject;
struct Library;

// Why a queued entry runs.
enum class ActionOrigin : std::uint8_t {
    Frame,       // DoAction of a timeline frame
    InitAction,  // DoInitAction
    Button,      // a button's condition actions (the context is the button's parent)
    ClipEvent,   // onClipEvent/on(...) actions of a placed clip
    Method,      // the handler method for `event` (onEnterFrame, onPress, ...)
    Construct,   // a new clip: the class registered for its symbol, before its load event
    Unload,      // a clip left the stage: its onClipEvent(unload) actions or onUnload method
    Broadcast,   // the Mouse or Key listeners for `event` (no context)
};

struct ActionBlock {
    std::uint64_t context = 0; // the object whose timeline the code belongs to (its id)
    Bytes code;                // views the movie's bytes, which `movie` keeps alive
    ActionOrigin origin = ActionOrigin::Frame;
    std::uint32_t event = 0;   // ClipEvent bits or ButtonCondition bits that triggered it
    std::shared_ptr<const Library> movie;
    int version = 0;           // SWF version of the code's movie
};

// Runs action blocks for a player. The player queues work while it builds frames and handles
// input, and hands each entry over in order. A script engine must call Player::spend_action()
// for each action it executes and stop when that answers false or when Player::closed()
// becomes true (the host may drop the movie from inside an fscommand). Unload entries name
// an object that has left the stage and Broadcast entries none; every other entry's context
// is alive when it runs.
class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;
    virtual void run(const ActionBlock& block) = 0;
    // Whether the object has script handlers for mouse events, so it acts as a button.
    virtual bool handles_mouse(const DisplayObject&) { return false; }
    // A text field joined the stage: bind its variable.
    virtual void text_field_created(DisplayObject&) {}
    // The user changed an input field's text: its variable follows.
    virtual void text_field_edited(DisplayObject&) {}
    // Variables loaded for a clip ("a=1&b=2"), or a Data request's answer (nullopt: failed).
    virtual void variables_loaded(DisplayObject&, const std::string&) {}
    virtual void data_loaded(std::uint64_t, const std::optional<std::string>&) {}
    // Before a frame is entered: the timers (setInterval) that are due by then.
    virtual void run_timers() {}
    // Called after each tick's scripts have run: text fields, garbage.
    virtual void after_tick() {}
};

} // namespace swf
