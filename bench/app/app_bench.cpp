// The course shell's own costs, each against a baseline measured in the same run:
// - loading a 26 MB stored module (write it beside the program, load it into the player,
//   delete it) against copying the same bytes to a file;
// - opening the main window (its whole load sequence) against showing an empty window of the
//   same size, and the splash's hand-over to the main window against its 500 ms timer alone.
#include "app/course_state.h"
#include "app/form1.h"
#include "app/form3.h"
#include "platform/program_folder.h"
#include "platform/stored_resources.h"
#include "swf/writer/movie_builder.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

void ensureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "app_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// An empty program folder the benchmarks run in.
const QTemporaryDir& programFolder()
{
    static QTemporaryDir folder;
    platform::setProgramFolder(folder.path());
    return folder;
}

// A 26 MB course module, stored the way the program stores its modules: a long sound and a few
// shapes, followed by two bytes past the movie's end.
const std::vector<std::uint8_t>& bigModule()
{
    static const std::vector<std::uint8_t> bytes = [] {
        swf::MovieBuilder movie({.version = 6, .width = 800, .height = 600, .frame_rate = 24});
        std::vector<std::int16_t> samples(13'000'000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>((i * 2654435761u) >> 16);
        movie.sound(samples, 44100, true);
        swf::ShapeBuilder shape;
        shape.fill({200, 40, 40}).rect(100, 100, 600, 400);
        const std::uint16_t id = movie.shape(shape);
        for (int frame = 0; frame < 20; ++frame)
            movie.place(id, 1, swf::at_pixels(frame, 0)).show_frame();
        std::vector<std::uint8_t> data = movie.bytes();
        data.insert(data.end(), 2, 0);
        return data;
    }();
    return bytes;
}

void registerBigModule()
{
    static const bool registered = [] {
        static const platform::StoredResourceEntry entry{"PINYIN", 105, bigModule().data(),
                                                         bigModule().data() + bigModule().size()};
        return platform::registerStoredResources(std::span(&entry, 1));
    }();
    (void)registered;
}

void BM_LoadModule26MB(benchmark::State& state)
{
    ensureApplication();
    programFolder();
    registerBigModule();
    app::Form3 form(false);
    app::CurrentSection = 2;
    for (auto _ : state)
        form.C_LoadModule(105, QStringLiteral("PinYin"));
    state.SetBytesProcessed(state.iterations() * std::int64_t(bigModule().size()));
}
BENCHMARK(BM_LoadModule26MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyBytesToFile26MB(benchmark::State& state)
{
    const QString path = programFolder().filePath(QStringLiteral("copy.dat"));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(reinterpret_cast<const char*>(bigModule().data()), qint64(bigModule().size()));
        file.close();
        QFile::remove(path);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bigModule().size()));
}
BENCHMARK(BM_CopyBytesToFile26MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MainWindowOpen(benchmark::State& state)
{
    ensureApplication();
    programFolder();
    for (auto _ : state) {
        app::Form3 form(false);
        form.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_MainWindowOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EmptyWindowOpen(benchmark::State& state)
{
    ensureApplication();
    for (auto _ : state) {
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.resize(800, 600);
        window.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_EmptyWindowOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SplashToMainWindow(benchmark::State& state)
{
    ensureApplication();
    programFolder();
    for (auto _ : state) {
        app::Form1 splash;
        splash.show();
        QEventLoop loop;
        QWidget* main = nullptr;
        QObject::connect(&splash, &app::Form1::mainWindowShown, &loop, [&](QWidget* window) {
            main = window;
            loop.quit();
        });
        loop.exec();
        state.PauseTiming();
        delete main;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SplashToMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SplashTimerAlone(benchmark::State& state)
{
    ensureApplication();
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
BENCHMARK(BM_SplashTimerAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
