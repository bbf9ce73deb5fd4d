#include "swf/core/player.h"

#include <algorithm>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/script/basic_actions.h"

namespace swf {

std::shared_ptr<Player> Player::create(PlayerHost host, PlayerLimits limits, EngineFactory engine)
{
    return std::shared_ptr<Player>(new Player(std::move(host), limits, std::move(engine)));
}

Player::Player(PlayerHost host, PlayerLimits limits, EngineFactory engine)
    : m_host(std::move(host)), m_limits(limits), m_engine_factory(std::move(engine))
{
}

Player::~Player()
{
    m_closed = true;
    m_root.reset();
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
    m_engine = m_engine_factory ? m_engine_factory(*this) : std::make_unique<script::BasicActions>(*this);
    m_root = std::make_unique<MovieClip>(*this, nullptr, m_library->root);
    m_root->name = "_level0";
    m_root->enter_first_frame();
    return true;
}

void Player::close()
{
    m_closed = true;
    m_host = {};
    m_queue.clear();
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

std::unique_ptr<DisplayObject> Player::instantiate(std::uint16_t character_id, const MovieClip* parent)
{
    if (!m_library || m_objects.size() >= m_limits.max_display_objects)
        return nullptr;
    int nesting = 0;
    for (const DisplayObject* p = parent; p; p = p->parent())
        ++nesting;
    if (nesting >= m_limits.max_clip_nesting)
        return nullptr;
    const Character* c = m_library->find(character_id);
    if (!c && character_id != 0)
        return nullptr;
    if (!c)
        return std::make_unique<MovieClip>(*this, nullptr, nullptr);
    switch (c->type) {
    case CharacterType::Sprite:
        return std::make_unique<MovieClip>(*this, c, static_cast<const SpriteCharacter*>(c)->timeline);
    case CharacterType::Button: {
        auto button = std::make_unique<ButtonInstance>(*this, static_cast<const ButtonCharacter*>(c));
        button->build_children();
        return button;
    }
    case CharacterType::Font:
    case CharacterType::Sound: return nullptr;
    default: return std::make_unique<GraphicInstance>(*this, c);
    }
}

void Player::queue_actions(const DisplayObject& context, Bytes code, ActionOrigin origin, std::uint32_t event)
{
    if (m_closed || m_queue.size() >= m_limits.max_queued_blocks)
        return;
    m_queue.push_back({context.id(), code, origin, event});
}

void Player::queue_clip_event(DisplayObject& object, std::uint32_t event)
{
    for (const ClipAction& action : object.clip_actions)
        if (action.events & event)
            queue_actions(object, action.actions, ActionOrigin::ClipEvent, event);
}

void Player::start_budget()
{
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
    while (!m_queue.empty() && !m_closed) {
        if (m_budget_spent) {
            // A script ran away: drop what is left of this tick; the movie goes on.
            m_queue.clear();
            break;
        }
        ActionBlock block = m_queue.front();
        m_queue.pop_front();
        DisplayObject* object = find(block.context);
        if (!object)
            continue;
        MovieClip* clip = object->as_clip() ? object->as_clip() : object->parent();
        if (!clip)
            continue;
        m_engine->run(block, *clip);
    }
}

void Player::dispatch_clip_event(DisplayObject& object, std::uint32_t event)
{
    std::vector<std::uint64_t> ids{object.id()};
    // Breadth-first over the tree, collecting ids so removals cannot disturb the walk.
    for (std::size_t i = 0; i < ids.size(); ++i) {
        DisplayObject* o = find(ids[i]);
        if (!o)
            continue;
        if (MovieClip* clip = o->as_clip())
            for (const auto& [depth, child] : clip->children())
                ids.push_back(child->id());
    }
    for (std::uint64_t id : ids)
        if (DisplayObject* o = find(id); o && !o->clip_actions.empty())
            queue_clip_event(*o, event);
}

void Player::tick()
{
    if (m_closed || !m_root)
        return;
    auto self = shared_from_this(); // the host may drop us from inside a callback
    start_budget();
    if (!m_started || m_enter_pending) {
        // The first frame (or one the host moved to) is entered: run its actions.
        m_started = true;
        m_enter_pending = false;
    } else {
        ++m_ticks;
        m_root->advance();
        dispatch_clip_event(*m_root, ClipEnterFrame);
    }
    run_queue();
    if (!m_closed && m_engine)
        m_engine->after_tick();
}

void Player::goto_frame(int frame)
{
    if (m_closed || !m_root)
        return;
    // Actions queued for the frame being left never ran; the new frame's run on the next tick.
    m_queue.clear();
    m_root->goto_frame(frame, m_root->playing());
    m_enter_pending = true;
}

void Player::play()
{
    if (m_root)
        m_root->play();
}

void Player::stop()
{
    if (m_root)
        m_root->stop();
}

bool Player::playing() const
{
    return m_root && m_root->playing();
}

int Player::current_frame() const
{
    return m_root ? m_root->current_frame() : 0;
}

int Player::frame_count() const
{
    return m_root ? m_root->frame_count() : 0;
}

// ---- Input ----

namespace {

ButtonInstance* find_button(const DisplayObject& object, Point parent_point)
{
    if (!object.visible)
        return nullptr;
    bool invertible = true;
    Point local = object.matrix.inverted(&invertible).apply(parent_point);
    if (!invertible)
        return nullptr;
    if (object.kind() == DisplayObject::Kind::Button) {
        const auto& button = static_cast<const ButtonInstance&>(object);
        return button.hit_test(local) ? const_cast<ButtonInstance*>(&button) : nullptr;
    }
    if (object.kind() != DisplayObject::Kind::MovieClip)
        return nullptr;
    const auto& children = static_cast<const MovieClip&>(object).children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (ButtonInstance* hit = find_button(*it->second, local))
            return hit;
    return nullptr;
}

} // namespace

ButtonInstance* Player::button_at(Point stage_point) const
{
    if (!m_root)
        return nullptr;
    return find_button(*m_root, stage_point);
}

void Player::set_button_state(ButtonInstance& button, int new_state, std::uint16_t condition)
{
    button.set_mouse_state(static_cast<ButtonInstance::MouseState>(new_state));
    MovieClip* parent = button.parent();
    if (!parent)
        return;
    for (const ButtonAction& action : button.button().def.actions)
        if (action.conditions & condition)
            queue_actions(*parent, action.actions, ActionOrigin::Button, condition);
}

void Player::update_hover()
{
    using S = ButtonInstance::MouseState;
    ButtonInstance* hit = button_at(m_mouse);
    std::uint64_t hit_id = hit ? hit->id() : 0;
    if (m_mouse_down && m_pressed) {
        auto* pressed = static_cast<ButtonInstance*>(find(m_pressed));
        if (!pressed) {
            m_pressed = 0;
        } else if (hit_id == m_pressed && pressed->mouse_state() == S::OutDown) {
            set_button_state(*pressed, int(S::OverDown), OutDownToOverDown);
        } else if (hit_id != m_pressed && pressed->mouse_state() == S::OverDown) {
            set_button_state(*pressed, int(S::OutDown), OverDownToOutDown);
        }
        m_hover = hit_id == m_pressed ? hit_id : 0;
        return;
    }
    if (hit_id == m_hover)
        return;
    if (auto* old = static_cast<ButtonInstance*>(find(m_hover)))
        set_button_state(*old, int(S::Idle), OverUpToIdle);
    m_hover = hit_id;
    if (hit && !m_mouse_down)
        set_button_state(*hit, int(S::OverUp), IdleToOverUp);
}

void Player::mouse_move(Point p)
{
    if (m_closed || !m_root)
        return;
    auto self = shared_from_this();
    start_budget();
    m_mouse = p;
    update_drag();
    update_hover();
    dispatch_clip_event(*m_root, ClipMouseMove);
    run_queue();
}

void Player::mouse_down(Point p)
{
    if (m_closed || !m_root)
        return;
    auto self = shared_from_this();
    start_budget();
    m_mouse = p;
    update_hover();
    m_mouse_down = true;
    if (auto* button = static_cast<ButtonInstance*>(find(m_hover))) {
        m_pressed = m_hover;
        set_button_state(*button, int(ButtonInstance::MouseState::OverDown), OverUpToOverDown);
    }
    dispatch_clip_event(*m_root, ClipMouseDown);
    run_queue();
}

void Player::mouse_up(Point p)
{
    if (m_closed || !m_root)
        return;
    auto self = shared_from_this();
    start_budget();
    m_mouse = p;
    update_hover();
    m_mouse_down = false;
    if (auto* pressed = static_cast<ButtonInstance*>(find(m_pressed))) {
        using S = ButtonInstance::MouseState;
        if (pressed->mouse_state() == S::OverDown)
            set_button_state(*pressed, int(S::OverUp), OverDownToOverUp);
        else
            set_button_state(*pressed, int(S::Idle), OutDownToIdle);
    }
    m_pressed = 0;
    m_hover = 0;
    if (DisplayObject* still = button_at(m_mouse); still && still->kind() == DisplayObject::Kind::Button) {
        auto* button = static_cast<ButtonInstance*>(still);
        m_hover = button->id();
        if (button->mouse_state() == ButtonInstance::MouseState::Idle)
            set_button_state(*button, int(ButtonInstance::MouseState::OverUp), IdleToOverUp);
    }
    dispatch_clip_event(*m_root, ClipMouseUp);
    run_queue();
}

void Player::key_down(int key)
{
    if (m_closed || !m_root || key <= 0 || key > 127)
        return;
    auto self = shared_from_this();
    start_budget();
    // Button key conditions fire for every button on the stage.
    std::vector<std::uint64_t> ids{m_root->id()};
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
    dispatch_clip_event(*m_root, ClipKeyDown);
    run_queue();
}

bool Player::hand_cursor() const
{
    if (m_closed)
        return false;
    return find(m_hover) != nullptr || (m_mouse_down && find(m_pressed) != nullptr && m_hover == m_pressed);
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
