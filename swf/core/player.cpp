#include "swf/core/player.h"

#include <algorithm>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/script/avm1_engine.h"
#include "swf/parser/tag_codes.h"

namespace swf {
namespace {

constexpr std::uint32_t kMouseClipEvents = ClipPress | ClipRelease | ClipReleaseOutside | ClipRollOver | ClipRollOut
                                           | ClipDragOver | ClipDragOut;

} // namespace

std::shared_ptr<Player> Player::create(PlayerHost host, PlayerLimits limits, EngineFactory engine)
{
    return std::shared_ptr<Player>(new Player(std::move(host), limits, std::move(engine)));
}

Player::Player(PlayerHost host, PlayerLimits limits, EngineFactory engine)
    : m_host(std::move(host)), m_limits(limits), m_engine_factory(std::move(engine)),
      m_text_metrics(std::make_shared<TextMetrics>())
{
}

Player::~Player()
{
    m_closed = true;
    m_retired.clear();
    m_levels.clear();
    m_engine.reset();
}

bool Player::load(std::vector<std::uint8_t> file, std::string* error)
{
    ParseResult parsed = parse_movie(std::move(file));
    if (!parsed.movie) {
        if (error)
            *error = parsed.error;
        return false;
    }
    return load(parsed.movie, error);
}

bool Player::load(std::shared_ptr<const Movie> movie, std::string* error)
{
    if (m_closed || m_library) {
        if (error)
            *error = "a player plays one movie; create another";
        return false;
    }
    LibraryLimits library_limits;
    library_limits.max_sprite_nesting = m_limits.max_sprite_nesting;
    m_library = build_library(std::move(movie), library_limits);
    m_engine = m_engine_factory ? m_engine_factory(*this) : std::make_unique<script::Avm1Engine>(*this);
    auto root = std::make_unique<MovieClip>(*this, nullptr, m_library->root, m_library.get());
    root->own_library(m_library);
    root->level = 0;
    MovieClip* raw = root.get();
    m_levels[0] = std::move(root);
    raw->enter_first_frame();
    return true;
}

void Player::close()
{
    m_closed = true;
    m_host = {};
    m_queue.clear();
    m_init_queue.clear();
    m_loads.clear();
}

std::uint8_t Player::swf_version() const
{
    return m_library ? m_library->movie->header.version : 0;
}

Rect Player::stage() const
{
    return m_library ? m_library->movie->header.stage : Rect{};
}

Rgba Player::background() const
{
    return m_library ? m_library->background : Rgba{255, 255, 255, 255};
}

double Player::frame_rate() const
{
    double rate = m_library ? m_library->movie->header.frame_rate : 0;
    return std::clamp(rate, 1.0, 120.0);
}

double Player::time_ms() const
{
    return double(m_ticks) * 1000.0 / frame_rate();
}

void Player::set_text_metrics(std::shared_ptr<const TextMetrics> metrics)
{
    m_text_metrics = metrics ? std::move(metrics) : std::make_shared<TextMetrics>();
}

MovieClip* Player::level(int n) const
{
    auto it = m_levels.find(n);
    return it == m_levels.end() ? nullptr : it->second.get();
}

std::uint64_t Player::register_object(DisplayObject* object)
{
    std::uint64_t id = m_next_id++;
    m_objects.emplace(id, object);
    return id;
}

void Player::unregister_object(std::uint64_t id)
{
    m_objects.erase(id);
}

DisplayObject* Player::find(std::uint64_t id) const
{
    auto it = m_objects.find(id);
    return it == m_objects.end() ? nullptr : it->second;
}

std::unique_ptr<DisplayObject> Player::instantiate(std::uint16_t character_id, const DisplayObject& parent)
{
    const Library* library = parent.library();
    if (!library || m_objects.size() >= m_limits.max_display_objects)
        return nullptr;
    int nesting = 0;
    for (const DisplayObject* p = &parent; p; p = p->parent())
        ++nesting;
    if (nesting >= m_limits.max_clip_nesting)
        return nullptr;
    const Character* c = library->find(character_id);
    if (!c && character_id != 0)
        return nullptr;
    if (!c)
        return std::make_unique<MovieClip>(*this, nullptr, nullptr, library);
    switch (c->type) {
    case CharacterType::Sprite:
        return std::make_unique<MovieClip>(*this, c, static_cast<const SpriteCharacter*>(c)->timeline, library);
    case CharacterType::Button:
        return std::make_unique<ButtonInstance>(*this, static_cast<const ButtonCharacter*>(c), library);
    case CharacterType::EditText:
        return std::make_unique<TextField>(*this, static_cast<const EditTextCharacter*>(c), library, Rect{});
    case CharacterType::Font:
    case CharacterType::Sound: return nullptr;
    default: return std::make_unique<GraphicInstance>(*this, c, library);
    }
}

void Player::object_created(DisplayObject& object)
{
    if (object.name.empty() && object.scriptable())
        object.name = "instance" + std::to_string(++m_instance_names);
    if (object.kind() != DisplayObject::Kind::Graphic) {
        queue_clip_event(object, ClipInitialize);
        queue_method(object, ActionOrigin::Construct, ClipConstruct);
        queue_clip_event(object, ClipConstruct);
        queue_clip_event(object, ClipLoad);
    }
    if (MovieClip* clip = object.as_clip())
        clip->enter_first_frame();
    else if (object.kind() == DisplayObject::Kind::Button)
        static_cast<ButtonInstance&>(object).build_children();
    else if (object.as_text_field() && m_engine)
        m_engine->text_field_created(object);
}

void Player::retire(std::unique_ptr<DisplayObject> object)
{
    if (!object)
        return;
    queue_unload_events(*object);
    object->orphan();
    // Outside a tick or input no script can look at it any more.
    if (!m_closed && m_scripts_running)
        m_retired.push_back(std::move(object));
}

void Player::queue_unload_events(DisplayObject& object)
{
    if (m_closed)
        return;
    if (m_drag == object.id())
        m_drag = 0;
    if (object.scriptable() && object.kind() != DisplayObject::Kind::Graphic) {
        for (const ClipAction& action : object.clip_actions)
            if (action.events & ClipUnload)
                queue_actions(object, action.actions, ActionOrigin::Unload, ClipUnload);
        queue_method(object, ActionOrigin::Unload, ClipUnload);
    }
    const DisplayList* children = nullptr;
    if (MovieClip* clip = object.as_clip())
        children = &clip->children();
    else if (object.kind() == DisplayObject::Kind::Button)
        children = &static_cast<ButtonInstance&>(object).children();
    if (children)
        for (const auto& [depth, child] : *children)
            queue_unload_events(*child);
}

bool Player::on_stage(const DisplayObject& object) const
{
    const DisplayObject* root = object.level_root();
    return root->level >= 0 && level(root->level) == root;
}

void Player::queue_actions(const DisplayObject& context, Bytes code, ActionOrigin origin, std::uint32_t event)
{
    if (m_closed || m_queue.size() >= m_limits.max_queued_blocks)
        return;
    const Library* library = context.library();
    std::shared_ptr<const Library> movie = m_library.get() == library ? m_library : nullptr;
    if (!movie)
        for (const DisplayObject* o = &context; o && !movie; o = o->parent())
            if (const MovieClip* clip = o->as_clip(); clip && clip->owned_library().get() == library)
                movie = clip->owned_library();
    m_queue.push_back({context.id(), code, origin, event, movie, context.swf_version()});
}

void Player::queue_init_action(const DisplayObject& context, const Tag& tag)
{
    DoInitAction init;
    if (m_closed || !decode_do_init_action(tag, init) || m_init_queue.size() >= m_limits.max_queued_blocks)
        return;
    if (!m_init_done.insert({context.library(), init.sprite_id}).second)
        return;
    queue_actions(context, init.actions, ActionOrigin::InitAction);
    if (!m_queue.empty() && m_queue.back().origin == ActionOrigin::InitAction) {
        m_init_queue.push_back(std::move(m_queue.back()));
        m_queue.pop_back();
    }
}

void Player::queue_clip_event(DisplayObject& object, std::uint32_t event)
{
    for (const ClipAction& action : object.clip_actions)
        if (action.events & event && (event != ClipKeyPress || action.key_code == m_last_key))
            queue_actions(object, action.actions, ActionOrigin::ClipEvent, event);
    if (event != ClipInitialize && event != ClipConstruct)
        queue_method(object, ActionOrigin::Method, event);
}

void Player::queue_method(DisplayObject& object, ActionOrigin origin, std::uint32_t event)
{
    if (m_closed || m_queue.size() >= m_limits.max_queued_blocks || !object.scriptable())
        return;
    m_queue.push_back({object.id(), {}, origin, event, nullptr, object.swf_version()});
}

void Player::start_budget()
{
    m_scripts_running = true;
    m_actions_left = m_limits.max_actions_per_tick;
    m_budget_deadline = std::chrono::steady_clock::now() + m_limits.max_script_time;
    m_budget_spent = false;
}

bool Player::spend_action()
{
    if (m_closed || m_budget_spent)
        return false;
    if (m_actions_left == 0) {
        m_budget_spent = true;
        return false;
    }
    --m_actions_left;
    if ((m_actions_left & 0xFF) == 0 && std::chrono::steady_clock::now() > m_budget_deadline) {
        m_budget_spent = true;
        return false;
    }
    return true;
}

void Player::run_queue()
{
    while (!m_closed && m_engine) {
        if (m_budget_spent) {
            // A script ran away: drop what is left of this tick; the movie goes on.
            m_queue.clear();
            m_init_queue.clear();
            break;
        }
        std::deque<ActionBlock>& queue = m_init_queue.empty() ? m_queue : m_init_queue;
        if (queue.empty())
            break;
        ActionBlock block = std::move(queue.front());
        queue.pop_front();
        if (block.origin != ActionOrigin::Unload && block.origin != ActionOrigin::Broadcast && !find(block.context))
            continue;
        m_engine->run(block);
    }
}

void Player::enter_frame()
{
    // Newest clips first, the level roots last; a clip made during the pass waits for the
    // next one.
    std::size_t count = m_clips.size();
    for (std::size_t i = count; i-- > 0 && !m_closed;) {
        DisplayObject* o = find(m_clips[i]);
        MovieClip* clip = o ? o->as_clip() : nullptr;
        if (!clip || !on_stage(*clip))
            continue;
        queue_clip_event(*clip, ClipEnterFrame);
        clip->advance();
    }
    std::size_t live = 0;
    for (std::uint64_t id : m_clips)
        live += find(id) != nullptr;
    if (live * 2 < m_clips.size())
        std::erase_if(m_clips, [this](std::uint64_t id) { return find(id) == nullptr; });
}

void Player::tick()
{
    if (m_closed || !root())
        return;
    auto self = shared_from_this(); // the host may drop us from inside a callback
    start_budget();
    if (!m_started || m_enter_pending) {
        // The first frame (or one the host moved to) is entered: run its actions.
        m_started = true;
        m_enter_pending = false;
    } else {
        ++m_ticks;
        run_loads();
        if (m_engine && !m_closed)
            m_engine->run_timers();
        run_queue();
        if (!root() || m_closed)
            return;
        enter_frame();
    }
    run_queue();
    if (m_closed || !m_engine)
        return;
    m_engine->after_tick();
    m_retired.clear();
    m_scripts_running = false;
}

void Player::goto_frame(int frame)
{
    if (m_closed || !root())
        return;
    // Actions queued for the frame being left never ran; the new frame's run on the next tick.
    // Going to the frame the movie is already on keeps that frame's own actions waiting.
    if (std::clamp(frame, 0, std::max(root()->frame_count() - 1, 0)) != root()->current_frame()) {
        m_queue.clear();
        m_init_queue.clear();
    }
    root()->goto_frame(frame, root()->playing());
    m_enter_pending = true;
}

void Player::play()
{
    if (root())
        root()->play();
}

void Player::stop()
{
    if (root())
        root()->stop();
}

bool Player::playing() const
{
    return root() && root()->playing();
}

int Player::current_frame() const
{
    return root() ? root()->current_frame() : 0;
}

int Player::frame_count() const
{
    return root() ? root()->frame_count() : 0;
}

// ---- Loading ----

void Player::request_load(LoadRequest request)
{
    if (m_closed || m_loads.size() >= m_limits.max_loads_per_tick)
        return;
    m_loads.push_back(std::move(request));
}

void Player::run_loads()
{
    std::vector<LoadRequest> loads = std::move(m_loads);
    m_loads.clear();
    for (LoadRequest& request : loads) {
        if (m_closed)
            return;
        std::optional<std::vector<std::uint8_t>> bytes;
        if (!request.url.empty() && m_host.fetch)
            bytes = m_host.fetch(request.url);
        switch (request.kind) {
        case LoadRequest::Kind::Movie:
            if (request.url.empty() || bytes)
                load_movie(request, bytes ? std::move(*bytes) : std::vector<std::uint8_t>{});
            break;
        case LoadRequest::Kind::Variables: {
            DisplayObject* target = request.target ? find(request.target) : level(request.level);
            if (target && bytes && m_engine) {
                m_engine->variables_loaded(*target, std::string(bytes->begin(), bytes->end()));
                if (DisplayObject* again = request.target ? find(request.target) : level(request.level))
                    queue_clip_event(*again, ClipData);
            }
            break;
        }
        case LoadRequest::Kind::Data:
            if (m_engine)
                m_engine->data_loaded(request.ticket, bytes ? std::optional<std::string>(std::string(bytes->begin(), bytes->end()))
                                                            : std::nullopt);
            break;
        }
    }
}

void Player::load_movie(const LoadRequest& request, std::vector<std::uint8_t> bytes)
{
    std::shared_ptr<const Library> movie;
    if (!bytes.empty()) {
        ParseResult parsed = parse_movie(std::move(bytes));
        if (!parsed.movie)
            return; // Flash leaves the target as it was when the file is not a movie
        LibraryLimits library_limits;
        library_limits.max_sprite_nesting = m_limits.max_sprite_nesting;
        movie = build_library(parsed.movie, library_limits);
    }
    int level = request.level;
    if (request.target) {
        DisplayObject* o = find(request.target);
        MovieClip* clip = o ? o->as_clip() : nullptr;
        if (!clip)
            return;
        if (clip->parent()) {
            // Into a clip: it keeps its place, name and clip events, and plays the movie.
            std::uint64_t id = clip->id();
            clip->replace_movie(movie ? movie : std::make_shared<Library>());
            if (DisplayObject* again = find(id); again && movie)
                queue_clip_event(*again, ClipLoad);
            return;
        }
        level = clip->level; // a level's root: the level is replaced, or emptied
    }
    install_level(level, movie);
}

void Player::install_level(int level, std::shared_ptr<const Library> movie)
{
    if (level < 0 || level >= m_limits.max_levels)
        return;
    if (auto it = m_levels.find(level); it != m_levels.end()) {
        std::unique_ptr<MovieClip> old = std::move(it->second);
        m_levels.erase(it);
        retire(std::move(old));
    }
    if (!movie)
        return;
    if (level == 0) {
        m_library = movie;
        // What the old movie queued belongs to it.
        m_queue.clear();
        m_init_queue.clear();
    }
    auto root = std::make_unique<MovieClip>(*this, nullptr, movie->root, movie.get());
    root->own_library(movie);
    root->level = level;
    MovieClip* raw = root.get();
    m_levels[level] = std::move(root);
    raw->enter_first_frame();
}

// ---- Input ----

bool Player::acts_as_button(DisplayObject& object) const
{
    if (object.kind() == DisplayObject::Kind::Button)
        return true;
    if (!object.as_clip())
        return false;
    for (const ClipAction& action : object.clip_actions)
        if (action.events & kMouseClipEvents)
            return true;
    return m_engine && m_engine->handles_mouse(object);
}

DisplayObject* Player::find_button(DisplayObject& object, Point parent_point) const
{
    if (!object.visible)
        return nullptr;
    bool invertible = true;
    Point local = object.matrix.inverted(&invertible).apply(parent_point);
    if (!invertible)
        return nullptr;
    if (acts_as_button(object))
        return object.hit_test(local) ? &object : nullptr;
    MovieClip* clip = object.as_clip();
    if (!clip)
        return nullptr;
    const DisplayList& children = clip->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (DisplayObject* hit = find_button(*it->second, local))
            return hit;
    return nullptr;
}

DisplayObject* Player::button_at(Point stage_point) const
{
    for (auto it = m_levels.rbegin(); it != m_levels.rend(); ++it)
        if (DisplayObject* hit = find_button(*it->second, stage_point))
            return hit;
    return nullptr;
}

void Player::button_event(DisplayObject& object, int new_state, std::uint16_t condition, std::uint32_t clip_event)
{
    if (object.kind() == DisplayObject::Kind::Button) {
        auto& button = static_cast<ButtonInstance&>(object);
        button.set_mouse_state(static_cast<ButtonInstance::MouseState>(new_state));
        if (DisplayObject* parent = button.parent())
            for (const ButtonAction& action : button.button().def.actions)
                if (action.conditions & condition)
                    queue_actions(*parent, action.actions, ActionOrigin::Button, condition);
        if (clip_event)
            queue_method(button, ActionOrigin::Method, clip_event);
        return;
    }
    if (clip_event)
        queue_clip_event(object, clip_event);
}

namespace {

bool tracks_as_menu(const DisplayObject& object)
{
    return object.kind() == DisplayObject::Kind::Button
        && static_cast<const ButtonInstance&>(object).button().def.track_as_menu;
}

} // namespace

void Player::update_hover()
{
    using S = ButtonInstance::MouseState;
    DisplayObject* hit = button_at(m_mouse);
    std::uint64_t hit_id = hit ? hit->id() : 0;
    if (m_mouse_down) {
        DisplayObject* pressed = find(m_pressed);
        if (!pressed) {
            m_pressed = 0;
        } else if (hit_id == m_pressed && m_hover != m_pressed) {
            button_event(*pressed, int(S::OverDown), OutDownToOverDown, ClipDragOver);
        } else if (hit_id != m_pressed && m_hover == m_pressed) {
            // A menu button lets the press go when the pointer leaves it; others keep it.
            if (tracks_as_menu(*pressed)) {
                button_event(*pressed, int(S::Idle), OverDownToIdle, ClipDragOut);
                m_pressed = 0;
                m_hover = 0;
            } else {
                button_event(*pressed, int(S::OutDown), OverDownToOutDown, ClipDragOut);
            }
        }
        // ... and a menu button the pressed pointer comes onto takes the press.
        if (!m_pressed && hit && tracks_as_menu(*hit)) {
            m_pressed = hit_id;
            button_event(*hit, int(S::OverDown), IdleToOverDown, ClipDragOver);
        }
        if (m_pressed) {
            m_hover = hit_id == m_pressed ? hit_id : 0;
            return;
        }
    }
    if (hit_id == m_hover)
        return;
    if (DisplayObject* old = find(m_hover))
        button_event(*old, int(S::Idle), OverUpToIdle, ClipRollOut);
    m_hover = hit_id;
    if (hit && !m_mouse_down)
        button_event(*hit, int(S::OverUp), IdleToOverUp, ClipRollOver);
}

void Player::dispatch_to_all(std::uint32_t event)
{
    for (std::size_t i = m_clips.size(); i-- > 0;)
        if (DisplayObject* o = find(m_clips[i]); o && on_stage(*o))
            queue_clip_event(*o, event);
}

void Player::input_done()
{
    run_queue();
    m_retired.clear();
    m_scripts_running = false;
}

void Player::queue_broadcast(std::uint32_t event)
{
    if (!m_closed && m_queue.size() < m_limits.max_queued_blocks)
        m_queue.push_back({0, {}, ActionOrigin::Broadcast, event, nullptr, swf_version()});
}

// Input reaches the clips' handlers first, then the Mouse and Key listeners, then buttons.

void Player::mouse_move(Point p)
{
    if (m_closed || !root())
        return;
    auto self = shared_from_this();
    start_budget();
    m_mouse = p;
    update_drag();
    dispatch_to_all(ClipMouseMove);
    queue_broadcast(ClipMouseMove);
    update_hover();
    input_done();
}

void Player::mouse_down(Point p)
{
    if (m_closed || !root())
        return;
    auto self = shared_from_this();
    start_budget();
    m_mouse = p;
    update_hover();
    m_mouse_down = true;
    dispatch_to_all(ClipMouseDown);
    queue_broadcast(ClipMouseDown);
    if (DisplayObject* button = find(m_hover)) {
        m_pressed = m_hover;
        button_event(*button, int(ButtonInstance::MouseState::OverDown), OverUpToOverDown, ClipPress);
    }
    input_done();
}

void Player::mouse_up(Point p)
{
    if (m_closed || !root())
        return;
    auto self = shared_from_this();
    start_budget();
    m_mouse = p;
    update_hover();
    m_mouse_down = false;
    dispatch_to_all(ClipMouseUp);
    queue_broadcast(ClipMouseUp);
    if (DisplayObject* pressed = find(m_pressed)) {
        using S = ButtonInstance::MouseState;
        if (m_hover == m_pressed)
            button_event(*pressed, int(S::OverUp), OverDownToOverUp, ClipRelease);
        else
            button_event(*pressed, int(S::Idle), OutDownToIdle, ClipReleaseOutside);
    }
    bool was_over = m_pressed && m_hover == m_pressed;
    m_pressed = 0;
    m_hover = 0;
    if (DisplayObject* still = button_at(m_mouse)) {
        m_hover = still->id();
        if (!was_over)
            button_event(*still, int(ButtonInstance::MouseState::OverUp), IdleToOverUp, ClipRollOver);
    }
    input_done();
}

void Player::key_down(int key)
{
    if (m_closed || !root() || key <= 0 || key > 255)
        return;
    auto self = shared_from_this();
    start_budget();
    m_keys.insert(key);
    m_last_key = key;
    dispatch_to_all(ClipKeyDown);
    dispatch_to_all(ClipKeyPress);
    queue_broadcast(ClipKeyDown);
    // Button key conditions fire for every button on the stage.
    std::vector<std::uint64_t> ids;
    for (const auto& [n, level_root] : m_levels)
        ids.push_back(level_root->id());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        DisplayObject* o = find(ids[i]);
        if (!o)
            continue;
        if (MovieClip* clip = o->as_clip()) {
            for (const auto& [depth, child] : clip->children())
                ids.push_back(child->id());
        } else if (o->kind() == DisplayObject::Kind::Button && o->parent()) {
            for (const ButtonAction& action : static_cast<ButtonInstance*>(o)->button().def.actions)
                if (action.key_code == key)
                    queue_actions(*o->parent(), action.actions, ActionOrigin::Button, 0);
        }
    }
    input_done();
}

void Player::key_up(int key)
{
    if (m_closed || !root() || key <= 0 || key > 255)
        return;
    auto self = shared_from_this();
    start_budget();
    m_keys.erase(key);
    dispatch_to_all(ClipKeyUp);
    queue_broadcast(ClipKeyUp);
    input_done();
}

bool Player::hand_cursor() const
{
    if (m_closed)
        return false;
    return find(m_hover) != nullptr || (m_mouse_down && find(m_pressed) != nullptr && m_hover == m_pressed);
}

void Player::text_edited(TextField& field)
{
    if (m_closed || !root())
        return;
    auto self = shared_from_this();
    start_budget();
    if (m_engine)
        m_engine->text_field_edited(field);
    input_done();
}

// ---- Scripts ----

void Player::raise_fscommand(const std::string& command, const std::string& args)
{
    if (m_closed || !m_host.fscommand)
        return;
    auto callback = m_host.fscommand; // the host may close us (and clear m_host) inside
    callback(command, args);
}

void Player::raise_trace(const std::string& line)
{
    if (m_closed || !m_host.trace)
        return;
    auto callback = m_host.trace;
    callback(line);
}

void Player::start_drag(DisplayObject& object, bool lock_center, std::optional<Rect> constraint)
{
    m_drag = object.id();
    m_drag_lock = lock_center;
    m_drag_constraint = constraint;
    Matrix parent = object.parent() ? object.parent()->global_matrix() : Matrix{};
    Point mouse = parent.inverted().apply(m_mouse);
    m_drag_offset = lock_center ? Point{} : Point{object.matrix.tx - mouse.x, object.matrix.ty - mouse.y};
    update_drag();
}

void Player::stop_drag()
{
    m_drag = 0;
}

void Player::update_drag()
{
    DisplayObject* object = find(m_drag);
    if (!object) {
        m_drag = 0;
        return;
    }
    Matrix parent = object->parent() ? object->parent()->global_matrix() : Matrix{};
    Point mouse = parent.inverted().apply(m_mouse);
    double x = mouse.x + m_drag_offset.x, y = mouse.y + m_drag_offset.y;
    if (m_drag_constraint) {
        x = std::clamp(x, double(m_drag_constraint->x_min), double(std::max(m_drag_constraint->x_min, m_drag_constraint->x_max)));
        y = std::clamp(y, double(m_drag_constraint->y_min), double(std::max(m_drag_constraint->y_min, m_drag_constraint->y_max)));
    }
    object->matrix.tx = x;
    object->matrix.ty = y;
    object->moved_by_script = true;
}

} // namespace swf
