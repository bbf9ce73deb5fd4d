// Movies the player fuzzer once broke must now play, draw and sound without trouble.
#include "fuzz/play.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(PlayerFuzzFindings, PlayWithoutCrashing)
{
    const std::filesystem::path dir = std::filesystem::path(LUMAVO_SWF_FIXTURES) / "fuzz_player";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().filename().string());
        swf::fuzz::play(data);
    }
}

} // namespace
