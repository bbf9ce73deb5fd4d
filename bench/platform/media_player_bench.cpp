// Cost of the music: rendering the densest course piece against the same synthesizer rendering
// a piece with nothing in it (its reverb and chorus still run). Rendered in 20 ms pieces, as an
// audio output pulls them. "realtime" is seconds of music per second of processor time.
#include "platform/media_player.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr double kPiece = 0.02;

void renderPiece(benchmark::State& state, const QString& path)
{
    platform::MediaPlayer player(false);
    player.settings.setVolume(100);
    player.settings.setPlayCount(99'999'999);
    player.setURL(path);
    player.controls.play();
    for (auto _ : state) {
        const auto samples = player.render(kPiece);
        benchmark::DoNotOptimize(samples.data());
    }
    state.counters["realtime"] = benchmark::Counter(double(state.iterations()) * kPiece, benchmark::Counter::kIsRate);
}

void BM_EmptyPiece(benchmark::State& state)
{
    // Ten seconds of nothing: header, and one track holding only its end.
    static const char kEmpty[] = "MThd\0\0\0\6\0\0\0\1\1\xE0"
                                 "MTrk\0\0\0\5\xCB\x00\xFF\x2F\x00";
    QTemporaryDir dir;
    QFile file(dir.filePath("empty.mid"));
    if (!file.open(QIODevice::WriteOnly) || file.write(kEmpty, sizeof kEmpty - 1) != qint64(sizeof kEmpty - 1)) {
        state.SkipWithError("cannot write the empty piece");
        return;
    }
    file.close();
    renderPiece(state, file.fileName());
}

void BM_CoursePiece(benchmark::State& state)
{
    renderPiece(state, QStringLiteral(LUMAVO_PROGRAM_DIR "/Midi/Anexos.mid"));
}

BENCHMARK(BM_EmptyPiece);
BENCHMARK(BM_CoursePiece);

} // namespace
