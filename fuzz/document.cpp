// libFuzzer target: an HTML text in, a built, formatted and painted document out — the builder, the
// layout of sections and blocks, the hit tests and painting over arbitrary input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "layout/sectionlist.h"
#include "platform/application.h"
#include "viewer/docrender.h"

namespace {
// Never destroyed: libFuzzer ends the process through exit(), after Qt's own global objects are gone, and
// tearing the application down then crashes inside Qt.
platform::Application* App = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    App = std::make_unique<platform::Application>(*argc, *argv).release();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 200000)
        return 0;
    DocumentRenderer doc;
    // The first byte picks the width, so narrow and wide layouts are both explored.
    const int width = size > 0 ? 1 + data[0] * 4 : 551;
    doc.Load(std::string(reinterpret_cast<const char*>(data), size));
    const int height = doc.Format(width);
    if (height < 0)
        std::abort();
    doc.Paint(0, 200);
    int XR = 0, YR = 0, caret = 0;
    bool inText = false;
    doc.Root().CursorAt(&doc.MeasureCanvas(), 20, 20, XR, YR, caret, inText);
    doc.Format(width / 2 + 1);
    return 0;
}
