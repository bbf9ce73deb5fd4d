#include "swf/core/script/avm1_engine.h"

#include <chrono>
#include <algorithm>
#include <cmath>
#include <ctime>

#include "swf/core/movie_clip.h"
#include "swf/core/player.h"
#include "swf/core/script/text_encoding.h"
#include "swf/parser/control_tags.h"

namespace swf::script {
namespace {

const char* method_of(std::uint32_t event)
{
    switch (event) {
    case ClipLoad: return "onLoad";
    case ClipEnterFrame: return "onEnterFrame";
    case ClipUnload: return "onUnload";
    case ClipMouseMove: return "onMouseMove";
    case ClipMouseDown: return "onMouseDown";
    case ClipMouseUp: return "onMouseUp";
    case ClipKeyDown: return "onKeyDown";
    case ClipKeyUp: return "onKeyUp";
    case ClipData: return "onData";
    case ClipPress: return "onPress";
    case ClipRelease: return "onRelease";
    case ClipReleaseOutside: return "onReleaseOutside";
    case ClipRollOver: return "onRollOver";
    case ClipRollOut: return "onRollOut";
    case ClipDragOver: return "onDragOver";
    case ClipDragOut: return "onDragOut";
    default: return nullptr;
    }
}

constexpr const char* kMouseHandlers[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                          "onRollOut", "onDragOver", "onDragOut"};

avm1::Limits limits_for(const Player& player)
{
    avm1::Limits limits;
    limits.max_actions = player.limits().max_actions_per_tick;
    limits.max_time = player.limits().max_script_time;
    return limits;
}

} // namespace

Avm1Engine::Avm1Engine(Player& player)
    : m_player(player), m_display(player, m_raw),
      m_in(std::make_unique<avm1::Interpreter>(static_cast<avm1::Host&>(*this), &m_display, limits_for(player)))
{
    m_raw = m_in.get();
}

Avm1Engine::~Avm1Engine()
{
    m_raw = nullptr;
}

void Avm1Engine::run(const ActionBlock& block)
{
    switch (block.origin) {
    case ActionOrigin::Method:
    case ActionOrigin::Unload:
        if (block.code.empty()) {
            call_handler(block);
            return;
        }
        break;
    case ActionOrigin::Construct: construct(block); return;
    case ActionOrigin::Broadcast: broadcast(block.event); return;
    default: break;
    }
    auto code = std::make_shared<avm1::ActionBlock>();
    code->code.assign(block.code.begin(), block.code.end());
    code->version = block.version;
    m_in->run(code, block.context);
}

void Avm1Engine::call_handler(const ActionBlock& block)
{
    const char* name = method_of(block.event);
    if (!name)
        return;
    avm1::Object* obj = m_in->existing_clip_object(block.context);
    if (!obj) {
        // Without a script object only a handler on the class's prototype can answer.
        DisplayObject* o = m_player.find(block.context);
        if (!o || block.origin == ActionOrigin::Unload)
            return;
        avm1::Object* proto = o->kind() == DisplayObject::Kind::Button ? m_in->protos.button
                              : o->as_text_field()                      ? m_in->protos.text_field
                                                                        : m_in->protos.movie_clip;
        if (!m_in->has_property(proto, name))
            return;
        obj = m_in->clip_object(block.context);
    }
    // A clip's key handlers need the focus.
    if ((block.event == ClipKeyDown || block.event == ClipKeyUp) && m_display.focus() != block.context)
        return;
    m_in->call_method(obj, name, {});
}

void Avm1Engine::construct(const ActionBlock& block)
{
    DisplayObject* o = m_player.find(block.context);
    if (!o || !o->character() || !o->library())
        return;
    for (const auto& [name, id] : o->library()->exports) {
        if (id != o->character()->id)
            continue;
        if (avm1::FunctionObject* ctor = m_in->registered_class(name)) {
            avm1::Object* obj = m_in->clip_object(block.context);
            // A clip a script made was constructed then.
            if (!m_in->has_own_property(obj, "__constructor__"))
                m_in->construct_as(obj, ctor);
            return;
        }
    }
}

bool Avm1Engine::handles_mouse(const DisplayObject& object)
{
    avm1::Object* obj = m_in->existing_clip_object(object.id());
    if (!obj)
        return false;
    for (const char* name : kMouseHandlers)
        if (m_in->has_property(obj, name))
            return true;
    return false;
}

void Avm1Engine::text_field_created(DisplayObject& field)
{
    if (TextField* f = field.as_text_field())
        m_display.bind(*f);
}

void Avm1Engine::text_field_edited(DisplayObject& field)
{
    if (TextField* f = field.as_text_field())
        m_display.field_edited(*f);
}

void Avm1Engine::variables_loaded(DisplayObject& target, const std::string& text)
{
    m_in->load_variables_into(m_in->clip_object(target.id()), decode_loaded(text), target.swf_version());
}

void Avm1Engine::data_loaded(std::uint64_t ticket, const std::optional<std::string>& text)
{
    auto it = m_receivers.find(ticket);
    if (it == m_receivers.end())
        return;
    avm1::Object* receiver = it->second;
    m_receivers.erase(it);
    m_in->remove_root(receiver);
    std::optional<std::string> decoded;
    if (text)
        decoded = decode_loaded(*text);
    m_in->deliver_data(receiver, decoded);
}

void Avm1Engine::broadcast(std::uint32_t event)
{
    const char* name = method_of(event);
    bool key = event == ClipKeyDown || event == ClipKeyUp;
    if (name)
        m_in->broadcast(key ? "Key" : "Mouse", name);
}

void Avm1Engine::run_timers()
{
    m_in->tick_timers();
}

void Avm1Engine::after_tick()
{
    m_display.refresh_bound_fields();
    // Collect when the heap has grown well past what survived the last collection.
    if (m_in->heap_size() > 2 * m_heap_after_collect + 4096) {
        m_in->collect_garbage();
        m_heap_after_collect = m_in->heap_size();
    }
}

std::string Avm1Engine::decode_loaded(const std::string& bytes)
{
    bool codepage = m_in->system_uses_codepage();
    return decode_text(bytes, codepage);
}

// ---- avm1::Host ----

void Avm1Engine::trace(std::string_view line)
{
    m_player.raise_trace(std::string(line));
}

void Avm1Engine::fscommand(std::string_view command, std::string_view args)
{
    m_player.raise_fscommand(std::string(command), std::string(args));
}

void Avm1Engine::get_url(std::string_view, std::string_view, int)
{
    // Movies never open pages or start programs.
}

void Avm1Engine::load_movie(std::string_view url, avm1::LoadTarget target, int)
{
    m_player.request_load({LoadRequest::Kind::Movie, std::string(url), target.clip, target.level, 0});
}

void Avm1Engine::load_variables(std::string_view url, avm1::LoadTarget target, int)
{
    if (url.empty())
        return;
    m_player.request_load({LoadRequest::Kind::Variables, std::string(url), target.clip, target.level, 0});
}

void Avm1Engine::load_data(std::string_view url, avm1::Object* receiver)
{
    if (!receiver)
        return;
    std::uint64_t ticket = m_next_ticket++;
    m_in->add_root(receiver);
    m_receivers[ticket] = receiver;
    m_player.request_load({LoadRequest::Kind::Data, std::string(url), 0, -1, ticket});
}

void Avm1Engine::stop_sounds()
{
    m_player.sound_events().stop_all();
}

namespace {

// The sound exported as `name` from the movie of `owner` (0: the level 0 movie).
std::pair<std::shared_ptr<const Library>, const SoundCharacter*> exported_sound(Player& player, avm1::ClipId owner,
                                                                                std::string_view name)
{
    DisplayObject* o = owner ? player.find(owner) : player.root();
    std::shared_ptr<const Library> movie = o ? owning_library(*o) : nullptr;
    if (!movie)
        return {};
    auto it = movie->exports.find(lower_ascii(name));
    const Character* c = it == movie->exports.end() ? nullptr : movie->find(it->second);
    if (!c || c->type != CharacterType::Sound)
        return {};
    return {movie, static_cast<const SoundCharacter*>(c)};
}

} // namespace

void Avm1Engine::sound_start(avm1::ClipId owner, std::string_view name, double offset, int loops)
{
    auto [movie, sound] = exported_sound(m_player, owner, name);
    SoundInfo info;
    if (offset > 0) {
        info.has_in_point = true;
        info.in_point = static_cast<std::uint32_t>(std::min(offset * 44100, 4.0e9));
    }
    if (loops > 1) {
        info.has_loops = true;
        info.loop_count = static_cast<std::uint16_t>(std::min(loops, 65535));
    }
    m_player.sound_events().start(owner, movie, sound, info);
}

void Avm1Engine::sound_stop(avm1::ClipId owner, std::string_view name)
{
    if (name.empty()) {
        m_player.sound_events().stop_all();
        return;
    }
    auto [movie, sound] = exported_sound(m_player, owner, name);
    SoundInfo info;
    info.sync_stop = true;
    m_player.sound_events().start(owner, movie, sound, info);
}

void Avm1Engine::sound_transform(avm1::ClipId owner, const std::array<double, 4>& matrix)
{
    m_player.sound_events().transform(owner, matrix);
}

bool Avm1Engine::spend_action()
{
    return m_player.spend_action();
}

double Avm1Engine::time_ms()
{
    return m_player.time_ms();
}

double Avm1Engine::random()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
}

double Avm1Engine::utc_now_ms()
{
    using namespace std::chrono;
    return double(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double Avm1Engine::local_offset_ms(double utc_ms)
{
    if (!std::isfinite(utc_ms))
        return 0;
    std::time_t t = static_cast<std::time_t>(utc_ms / 1000);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    return double(local.tm_gmtoff) * 1000;
}

} // namespace swf::script
