// libFuzzer target: a movie loaded and played for a dozen frames, drawn and mixed.
#include "fuzz/play.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Drawing text needs a GUI application, never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    swf::fuzz::play({data, size});
    return 0;
}
