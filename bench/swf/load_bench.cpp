// Time to read, parse and load a 26 MB movie, against a plain read of the same file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "swf/core/player.h"
#include "swf/parser/movie.h"
#include "swf/writer/movie_builder.h"

namespace {

// Large lossless bitmaps (noise, so zlib cannot shrink them), long PCM sounds and many shapes:
// about 26 MB, the size of the biggest course movies.
std::filesystem::path make_movie()
{
    swf::MovieOptions options;
    options.width = 800;
    options.height = 600;
    swf::MovieBuilder m(options);
    std::mt19937 random(42);
    for (int b = 0; b < 4; ++b) {
        std::vector<std::uint8_t> rgba(1000 * 1000 * 4);
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            std::uint32_t v = random();
            rgba[i] = v & 0xFF;
            rgba[i + 1] = (v >> 8) & 0xFF;
            rgba[i + 2] = (v >> 16) & 0xFF;
            rgba[i + 3] = 255;
        }
        m.place(m.bitmap(1000, 1000, rgba), static_cast<std::uint16_t>(1 + b));
    }
    std::vector<std::int16_t> pcm(22050 * 60);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(random());
    for (int s = 0; s < 4; ++s)
        m.sound(pcm, 22050, false);
    for (int i = 0; i < 20000; ++i) {
        swf::ShapeBuilder shape;
        shape.fill({std::uint8_t(i), 100, 200}).rect(i % 700, i % 500, 20, 10).line(1, {0, 0, 0}).circle(10, 10, 5 + i % 7);
        std::uint16_t id = m.shape(shape);
        if (i % 100 == 0)
            m.place(id, static_cast<std::uint16_t>(10 + i / 100));
    }
    m.show_frame();
    auto path = std::filesystem::temp_directory_path() / "lumavo_load_bench.swf";
    std::string error;
    if (!m.save(path.string(), &error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return path;
}

// Written before the benchmarks start, so no measurement includes it.
const std::filesystem::path g_movie = make_movie();

const std::filesystem::path& movie_path()
{
    return g_movie;
}

std::vector<std::uint8_t> read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> data(std::filesystem::file_size(path));
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return data;
}

void BM_ReadFile(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(read_file(movie_path()));
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(movie_path()));
}

void BM_ReadAndParse(benchmark::State& state)
{
    for (auto _ : state) {
        swf::ParseResult r = swf::parse_movie(read_file(movie_path()));
        if (!r.movie)
            state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(movie_path()));
}

// Parse, build every character and the first frame (shape edges are assembled when first drawn).
void BM_ReadAndLoad(benchmark::State& state)
{
    for (auto _ : state) {
        auto player = swf::Player::create();
        std::string error;
        if (!player->load(read_file(movie_path()), &error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(player);
    }
    state.SetBytesProcessed(state.iterations() * std::filesystem::file_size(movie_path()));
}

} // namespace

BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndLoad)->Unit(benchmark::kMillisecond);
