// lumavo-swf: plays a movie headless, as fast as it can, and prints what it says.
//
//   lumavo-swf FILE --frames N [--fscommands] [--png DIR]
//
// Each trace() line goes to stdout as it is; --fscommands adds "fscommand: <command> <args>"
// lines; --png writes every frame as DIR/frame_NNNNN.png. The fscommand "quit" ends the run.
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <iostream>
#include <string>

#include "swf/core/player.h"
#include "swf/render/renderer.h"

namespace {

int usage(const char* why)
{
    std::cerr << "lumavo-swf: " << why << "\n"
              << "usage: lumavo-swf FILE --frames N [--fscommands] [--png DIR]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QString file, png_dir;
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
        } else if (arg == "--wav") {
            std::cerr << "lumavo-swf: --wav is not available: this build has no sound output\n";
            return 2;
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

    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        std::cerr << "lumavo-swf: cannot read " << file.toStdString() << "\n";
        return 1;
    }
    QByteArray bytes = in.readAll();
    if (!png_dir.isEmpty() && !QDir().mkpath(png_dir)) {
        std::cerr << "lumavo-swf: cannot create " << png_dir.toStdString() << "\n";
        return 1;
    }

    bool quit = false;
    std::shared_ptr<swf::Player> player;
    swf::PlayerHost host;
    host.trace = [](const std::string& line) { std::cout << line << '\n' << std::flush; };
    host.fscommand = [&](const std::string& command, const std::string& args) {
        if (print_fscommands)
            std::cout << "fscommand: " << command << (args.empty() ? "" : " ") << args << '\n' << std::flush;
        if (command == "quit") {
            quit = true;
            player->close();
        }
    };
    player = swf::Player::create(host);
    std::string error;
    if (!player->load(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), &error)) {
        std::cerr << "lumavo-swf: " << file.toStdString() << ": " << error << "\n";
        return 1;
    }

    swf::Renderer renderer;
    swf::Rect stage = player->stage();
    QSize size(std::max(1, stage.width() / 20), std::max(1, stage.height() / 20));
    for (long frame = 1; frame <= frames && !quit; ++frame) {
        player->tick();
        if (!png_dir.isEmpty()) {
            QString name = QStringLiteral("%1/frame_%2.png").arg(png_dir).arg(frame, 5, 10, QLatin1Char('0'));
            if (!renderer.render_image(*player, size).save(name)) {
                std::cerr << "lumavo-swf: cannot write " << name.toStdString() << "\n";
                return 1;
            }
        }
    }
    return 0;
}
