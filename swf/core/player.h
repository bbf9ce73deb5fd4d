#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/core/characters.h"
#include "swf/core/script_engine.h"
#include "swf/core/sound_events.h"
#include "swf/core/text_field.h"
#include "swf/parser/types.h"

namespace swf {

class DisplayObject;
class MovieClip;
class ButtonInstance;

// What a hostile or broken movie may use up before the player stops it.
struct PlayerLimits {
    std::uint32_t max_actions_per_tick = 1'000'000; // all scripts of one tick or input event
    std::chrono::milliseconds max_script_time{15000}; // likewise, wall time, as Flash players allow
    std::size_t max_display_objects = 100'000;
    int max_clip_nesting = 64;      // clips inside clips when instantiating
    std::size_t max_queued_blocks = 100'000;
    int max_sprite_nesting = 16;    // DefineSprite inside DefineSprite while loading
    std::size_t max_loads_per_tick = 64; // files a movie may ask for in one tick
    int max_levels = 64;            // _level0 .. _level63
};

// What the player reports to its host. Called only while the player ticks or handles input.
struct PlayerHost {
    std::function<void(const std::string& command, const std::string& args)> fscommand;
    std::function<void(const std::string& line)> trace;
    // The bytes of a file the movie asks for (loadMovie, loadVariables, XML.load, LoadVars),
    // by the URL as the movie wrote it; nullopt when there is none or it is not allowed. The
    // player asks on the tick after the request and delivers the result then, as Flash
    // delivers loads on a later frame. Without it every load fails.
    std::function<std::optional<std::vector<std::uint8_t>>(const std::string& url)> fetch;
};

// Key codes of button key conditions (printable keys use their ASCII code).
enum SwfKey : int {
    KeyLeft = 1, KeyRight = 2, KeyHome = 3, KeyEnd = 4, KeyInsert = 5, KeyDelete = 6, KeyBackspace = 8,
    KeyEnter = 13, KeyUp = 14, KeyDown = 15, KeyPageUp = 16, KeyPageDown = 17, KeyTab = 18, KeyEscape = 19,
};

// A file a script asked for, delivered on a later tick.
struct LoadRequest {
    enum class Kind : std::uint8_t { Movie, Variables, Data };
    Kind kind = Kind::Movie;
    std::string url;        // empty with Movie: unload the target
    std::uint64_t target = 0; // Movie, Variables: the clip (0 when a level is named)
    int level = -1;         // Movie, Variables: the level, when no clip is named
    std::uint64_t ticket = 0; // Data: the script engine's handle for the requester
};

// Plays one movie: its display tree, timelines, buttons and scripts. Coordinates are twips of
// the stage. The host drives it: tick() at the frame rate and the input calls; none of the
// host calls runs a script or calls back before returning, except tick() and input.
class Player : public std::enable_shared_from_this<Player> {
public:
    using EngineFactory = std::function<std::unique_ptr<ScriptEngine>(Player&)>;

    // `engine` builds the script engine; the default runs ActionScript 1 and 2 (AVM1).
    static std::shared_ptr<Player> create(PlayerHost host = {}, PlayerLimits limits = {}, EngineFactory engine = {});
    ~Player();

    // Loads a whole file; false (and the reason) if it is not a playable movie. The first
    // frame's display list is built at once; its actions run on the first tick.
    bool load(std::vector<std::uint8_t> file, std::string* error = nullptr);
    bool load(std::shared_ptr<const Movie> movie, std::string* error = nullptr);
    // Stops for good: no more scripts, no host callbacks. Safe from inside a callback.
    void close();
    bool closed() const { return m_closed; }
    bool has_movie() const { return root() != nullptr; }

    // The movie in _level0 (a movie loaded into level 0 replaces it).
    const Library* library() const { return m_library.get(); }
    // Shared, for caches that must keep the characters they point at alive.
    std::shared_ptr<const Library> shared_library() const { return m_library; }
    std::uint8_t swf_version() const;
    Rect stage() const;
    Rgba background() const;
    double frame_rate() const; // frames per second, at least 1
    std::uint64_t tick_count() const { return m_ticks; }
    // The movie's clock: milliseconds of play, by ticks at the frame rate.
    double time_ms() const;

    // ---- Host operations ----
    void tick();
    // Root timeline: frames from 0. goto_frame moves at once; the frame's actions run on the next tick.
    void goto_frame(int frame);
    void play();
    void stop();
    bool playing() const;
    int current_frame() const;
    int frame_count() const;

    void mouse_move(Point stage_point);
    void mouse_down(Point stage_point);
    void mouse_up(Point stage_point);
    void key_down(int swf_key);
    void key_up(int swf_key);
    Point mouse_position() const { return m_mouse; }
    bool mouse_pressed() const { return m_mouse_down; }
    bool key_pressed(int swf_key) const { return m_keys.count(swf_key) != 0; }
    int last_key() const { return m_last_key; }
    // Whether the pointer is over an active button (the view shows a pointing hand).
    bool hand_cursor() const;
    // The user changed the text of an input field (the host edits it): its variable follows.
    void text_edited(TextField& field);

    void set_text_metrics(std::shared_ptr<const TextMetrics> metrics);
    const TextMetrics& text_metrics() const { return *m_text_metrics; }

    // ---- The display tree, for the renderer and scripts ----
    MovieClip* root() const { return level(0); }
    MovieClip* level(int n) const;
    const std::map<int, std::unique_ptr<MovieClip>>& levels() const { return m_levels; }
    DisplayObject* find(std::uint64_t id) const;
    const PlayerLimits& limits() const { return m_limits; }
    ScriptEngine* engine() const { return m_engine.get(); }

    // Creates an instance of a character of `parent`'s movie (not yet on a display list);
    // null if unknown or a limit is hit.
    std::unique_ptr<DisplayObject> instantiate(std::uint16_t character_id, const DisplayObject& parent);
    // An object has just been put on a display list: it gets a name if it has none, its
    // class, load event and first frame.
    void object_created(DisplayObject& object);
    // An object has left its display list: its subtree's unload events are queued, and it
    // lives on, off the stage, until this tick's scripts have run, so its unload handlers
    // still find it.
    void retire(std::unique_ptr<DisplayObject> object);
    // Whether the object is on one of the levels (not retired).
    bool on_stage(const DisplayObject& object) const;
    void add_clip(std::uint64_t id) { m_clips.push_back(id); }

    void queue_actions(const DisplayObject& context, Bytes code, ActionOrigin origin, std::uint32_t event = 0);
    // A DoInitAction tag: runs before the frame's other actions, once per sprite.
    void queue_init_action(const DisplayObject& context, const Tag& tag);
    // The object's clip actions for `event`, then its handler method (onEnterFrame, ...).
    void queue_clip_event(DisplayObject& object, std::uint32_t event);
    void queue_method(DisplayObject& object, ActionOrigin origin, std::uint32_t event);

    // For script engines: count one action; false when this tick's budget is spent.
    bool spend_action();
    void raise_fscommand(const std::string& command, const std::string& args);
    void raise_trace(const std::string& line);
    void start_drag(DisplayObject& object, bool lock_center, std::optional<Rect> constraint);
    void stop_drag();
    std::uint64_t drag_target() const { return m_drag; }
    // Asks for a file; it arrives on a later tick (see PlayerHost::fetch).
    void request_load(LoadRequest request);
    // What the movie asked of the sound output since the audio side last looked.
    SoundEvents& sound_events() { return m_sound_events; }

    // Registry of live objects (called by DisplayObject).
    std::uint64_t register_object(DisplayObject* object);
    void unregister_object(std::uint64_t id);
    std::size_t object_count() const { return m_objects.size(); }

private:
    Player(PlayerHost host, PlayerLimits limits, EngineFactory engine);
    void start_budget();
    void run_queue();
    void run_loads();
    void load_movie(const LoadRequest& request, std::vector<std::uint8_t> bytes);
    void install_level(int level, std::shared_ptr<const Library> movie);
    void enter_frame();
    void dispatch_to_all(std::uint32_t event);
    DisplayObject* button_at(Point stage_point) const;
    DisplayObject* find_button(DisplayObject& object, Point parent_point) const;
    bool acts_as_button(DisplayObject& object) const;
    void button_event(DisplayObject& object, int new_state, std::uint16_t condition, std::uint32_t clip_event);
    void update_hover();
    void update_drag();
    void input_done();
    void queue_unload_events(DisplayObject& object);
    void queue_broadcast(std::uint32_t event);

    PlayerHost m_host;
    PlayerLimits m_limits;
    SoundEvents m_sound_events;
    EngineFactory m_engine_factory;
    std::unique_ptr<ScriptEngine> m_engine;
    std::shared_ptr<const Library> m_library;
    std::map<int, std::unique_ptr<MovieClip>> m_levels;
    std::unordered_map<std::uint64_t, DisplayObject*> m_objects;
    std::vector<std::uint64_t> m_clips; // every clip made, oldest first: the frame order
    std::uint64_t m_next_id = 1;
    std::uint64_t m_instance_names = 0;
    std::deque<ActionBlock> m_init_queue;
    std::deque<ActionBlock> m_queue;
    std::vector<std::unique_ptr<DisplayObject>> m_retired;
    bool m_scripts_running = false; // inside tick() or an input call
    std::set<std::pair<const Library*, std::uint16_t>> m_init_done;
    std::vector<LoadRequest> m_loads;
    std::shared_ptr<const TextMetrics> m_text_metrics;
    std::uint64_t m_ticks = 0;
    bool m_started = false;
    bool m_closed = false;
    bool m_enter_pending = false;

    std::uint32_t m_actions_left = 0;
    std::chrono::steady_clock::time_point m_budget_deadline;
    bool m_budget_spent = false;

    Point m_mouse;
    bool m_mouse_down = false;
    std::set<int> m_keys;
    int m_last_key = 0;
    std::uint64_t m_hover = 0;   // button under the pointer
    std::uint64_t m_pressed = 0; // button that took the press
    std::uint64_t m_drag = 0;
    bool m_drag_lock = false;
    Point m_drag_offset;
    std::optional<Rect> m_drag_constraint;
};

} // namespace swf
