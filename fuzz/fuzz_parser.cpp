// libFuzzer entry point: every input goes through the parser, the library and a short play.
#include <cstddef>
#include <cstdint>

#include "fuzz/exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    swf::fuzz::exercise({data, size});
    return 0;
}
