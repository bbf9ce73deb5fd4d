// lumavo-swf: plays a movie headless, as fast as it can, and prints what it says.
//
//   lumavo-swf FILE --frames N [--fscommands] [--input EVENTS.json] [--png DIR] [--wav OUT.wav]
//
// Each trace() line goes to stdout as Flash Player writes it to its log; --fscommands adds
// "fscommand: <command> <args>" lines; --png writes every frame as DIR/frame_NNNNN.png; --wav
// writes the movie's sound of the frames played (N frames last N / frame rate seconds) as
// 44.1 kHz 16-bit stereo. The fscommand "quit" ends the run. Files the movie loads come from
// its own folder.
//
// --input plays simulated input, a JSON array of events: {"type": "Wait"} plays one frame;
// "MouseMove", "MouseDown", "MouseUp" take "pos": [x, y] in stage pixels; "KeyDown" and
// "KeyUp" take "key" ("Tab", "Enter", "Left", "A", ...). After the events the remaining
// frames play without input.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cstdio>
#include <iostream>
#include <string>

#include "swf/audio/movie_sound.h"
#include "swf/audio/wav.h"
#include "swf/core/local_files.h"
#include "swf/core/player.h"
#include "swf/parser/movie.h"
#include "swf/render/device_fonts.h"
#include "swf/render/renderer.h"

namespace {

int usage(const char* why)
{
    std::cerr << "lumavo-swf: " << why << "\n"
              << "usage: lumavo-swf FILE --frames N [--fscommands] [--input EVENTS.json] [--png DIR] [--wav OUT.wav]\n";
    return 2;
}

// Flash Player ends each trace with a newline and turns the line breaks inside it into
// newlines as well.
std::string trace_line(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out + '\n';
}

// A key name of the input file as the player's key code (0 if unknown).
int key_code(const QString& name)
{
    static const std::pair<const char*, int> named[] = {
        {"left", swf::KeyLeft}, {"right", swf::KeyRight}, {"home", swf::KeyHome}, {"end", swf::KeyEnd},
        {"insert", swf::KeyInsert}, {"delete", swf::KeyDelete}, {"backspace", swf::KeyBackspace},
        {"enter", swf::KeyEnter}, {"return", swf::KeyEnter}, {"up", swf::KeyUp}, {"down", swf::KeyDown},
        {"pageup", swf::KeyPageUp}, {"pagedown", swf::KeyPageDown}, {"tab", swf::KeyTab},
        {"escape", swf::KeyEscape}, {"space", ' '}};
    QString lower = name.toLower();
    for (const auto& [n, code] : named)
        if (lower == QLatin1String(n))
            return code;
    if (name.size() == 1 && name[0].unicode() < 128)
        return name[0].toLower().unicode();
    return 0;
}

struct InputEvent {
    QString type;
    swf::Point pos;
    int key = 0;
};

bool read_events(const QString& path, std::vector<InputEvent>& events, std::string& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path.toStdString();
        return false;
    }
    QJsonParseError parse;
    QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isArray()) {
        error = path.toStdString() + ": not a JSON array of events";
        return false;
    }
    for (const QJsonValue& v : doc.array()) {
        QJsonObject o = v.toObject();
        InputEvent e;
        e.type = o.value("type").toString();
        QJsonArray pos = o.value("pos").toArray();
        e.pos = {pos.at(0).toDouble() * 20, pos.at(1).toDouble() * 20};
        e.key = key_code(o.value("key").toString());
        events.push_back(e);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QString file, png_dir, input_file, wav_path;
    long frames = -1;
    bool print_fscommands = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            char* end = nullptr;
            frames = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || frames < 0)
                return usage("--frames needs a whole number");
        } else if (arg == "--fscommands") {
            print_fscommands = true;
        } else if (arg == "--png" && i + 1 < argc) {
            png_dir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--input" && i + 1 < argc) {
            input_file = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--wav" && i + 1 < argc) {
            wav_path = QString::fromLocal8Bit(argv[++i]);
        } else if (!arg.empty() && arg[0] != '-' && file.isEmpty()) {
            file = QString::fromLocal8Bit(argv[i]);
        } else {
            return usage(("unknown argument " + arg).c_str());
        }
    }
    if (file.isEmpty())
        return usage("no movie file given");
    if (frames < 0)
        return usage("--frames N is required");

    // Drawing needs a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::vector<std::uint8_t> bytes;
    std::string read_error;
    if (!swf::read_movie_file(QFile::encodeName(file).toStdString(), bytes, read_error)) {
        std::cerr << "lumavo-swf: " << file.toStdString() << ": " << read_error << "\n";
        return 1;
    }
    if (!png_dir.isEmpty() && !QDir().mkpath(png_dir)) {
        std::cerr << "lumavo-swf: cannot create " << png_dir.toStdString() << "\n";
        return 1;
    }
    std::vector<InputEvent> events;
    std::string input_error;
    if (!input_file.isEmpty() && !read_events(input_file, events, input_error)) {
        std::cerr << "lumavo-swf: " << input_error << "\n";
        return 1;
    }

    bool quit = false;
    std::shared_ptr<swf::Player> player;
    swf::PlayerHost host;
    host.trace = [](const std::string& line) { std::cout << trace_line(line) << std::flush; };
    host.fscommand = [&](const std::string& command, const std::string& args) {
        if (print_fscommands)
            std::cout << "fscommand: " << command << (args.empty() ? "" : " ") << args << '\n' << std::flush;
        if (command == "quit") {
            quit = true;
            player->close();
        }
    };
    swf::LocalFiles files(QFileInfo(file).absolutePath().toStdString());
    host.fetch = [&files](const std::string& url) { return files.read(url); };
    player = swf::Player::create(host);
    player->set_text_metrics(swf::device_text_metrics()); // text laid out as it is drawn
    std::optional<swf::audio::OfflineAudio> audio;
    if (!wav_path.isEmpty())
        audio.emplace(player);
    std::string error;
    if (!player->load(std::move(bytes), &error)) {
        std::cerr << "lumavo-swf: " << file.toStdString() << ": " << error << "\n";
        return 1;
    }

    swf::Renderer renderer;
    swf::Rect stage = player->stage();
    QSize size(std::max(1, stage.width() / 20), std::max(1, stage.height() / 20));
    std::size_t next_event = 0;
    for (long frame = 1; frame <= frames && !quit; ++frame) {
        // The input before this frame: up to the next Wait.
        for (; next_event < events.size() && !quit; ++next_event) {
            const InputEvent& e = events[next_event];
            if (e.type == "Wait") {
                ++next_event;
                break;
            }
            if (e.type == "MouseMove")
                player->mouse_move(e.pos);
            else if (e.type == "MouseDown")
                player->mouse_down(e.pos);
            else if (e.type == "MouseUp")
                player->mouse_up(e.pos);
            else if (e.type == "KeyDown" && e.key)
                player->key_down(e.key);
            else if (e.type == "KeyUp" && e.key)
                player->key_up(e.key);
        }
        if (quit)
            break;
        player->tick();
        if (audio)
            audio->render_frame();
        if (!png_dir.isEmpty()) {
            QString name = QStringLiteral("%1/frame_%2.png").arg(png_dir).arg(frame, 5, 10, QLatin1Char('0'));
            if (!renderer.render_image(*player, size).save(name)) {
                std::cerr << "lumavo-swf: cannot write " << name.toStdString() << "\n";
                return 1;
            }
        }
    }
    if (audio) {
        std::vector<std::uint8_t> wav = swf::audio::wav_file(audio->samples(), 2, swf::audio::kOutputRate);
        QSaveFile out(wav_path);
        if (!out.open(QIODevice::WriteOnly) || out.write(reinterpret_cast<const char*>(wav.data()), qint64(wav.size())) != qint64(wav.size())
            || !out.commit()) {
            std::cerr << "lumavo-swf: cannot write " << wav_path.toStdString() << ": " << out.errorString().toStdString() << "\n";
            return 1;
        }
    }
    return 0;
}
