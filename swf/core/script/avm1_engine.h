#pragma once

#include <memory>
#include <random>
#include <unordered_map>

#include "swf/core/avm1/interpreter.h"
#include "swf/core/script/display_adapter.h"
#include "swf/core/script_engine.h"

namespace swf {
class Player;
}

namespace swf::script {

// The player's script engine: the AVM1 interpreter, with the player's display tree and the
// player as its host. Trace lines and fscommands go to the player's host; loads become the
// player's load requests; every other URL does nothing.
class Avm1Engine : public ScriptEngine, private avm1::Host {
public:
    explicit Avm1Engine(Player& player);
    ~Avm1Engine() override;

    void run(const ActionBlock& block) override;
    bool handles_mouse(const DisplayObject& object) override;
    void text_field_created(DisplayObject& field) override;
    void text_field_edited(DisplayObject& field) override;
    void variables_loaded(DisplayObject& target, const std::string& text) override;
    void data_loaded(std::uint64_t ticket, const std::optional<std::string>& text) override;
    void run_timers() override;
    void after_tick() override;

    avm1::Interpreter& interpreter() { return *m_in; }

private:
    // avm1::Host
    void trace(std::string_view line) override;
    void fscommand(std::string_view command, std::string_view args) override;
    void get_url(std::string_view url, std::string_view target, int method) override;
    void load_movie(std::string_view url, avm1::LoadTarget target, int method) override;
    void load_variables(std::string_view url, avm1::LoadTarget target, int method) override;
    void load_data(std::string_view url, avm1::Object* receiver) override;
    void stop_sounds() override;
    void sound_start(avm1::ClipId owner, std::string_view name, double offset, int loops) override;
    void sound_stop(avm1::ClipId owner, std::string_view name) override;
    void sound_transform(avm1::ClipId owner, const std::array<double, 4>& matrix) override;
    bool spend_action() override;
    double time_ms() override;
    double random() override;
    double utc_now_ms() override;
    double local_offset_ms(double utc_ms) override;

    void construct(const ActionBlock& block);
    void call_handler(const ActionBlock& block);
    void broadcast(std::uint32_t event);
    // Text a movie loaded, as the scripts see it: UTF-8, or the system code page when the
    // movie asked for it (System.useCodepage).
    std::string decode_loaded(const std::string& bytes);

    Player& m_player;
    avm1::Interpreter* m_raw = nullptr; // for the adapter, which is built first
    DisplayAdapter m_display;
    std::unique_ptr<avm1::Interpreter> m_in;
    std::unordered_map<std::uint64_t, avm1::Object*> m_receivers;
    std::uint64_t m_next_ticket = 1;
    std::size_t m_heap_after_collect = 0;
    std::mt19937 m_random{std::random_device{}()};
};

} // namespace swf::script
