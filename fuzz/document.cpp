// libFuzzer target: an HTML text in, a built, formatted and painted document out — the builder, the
// layout, painting, hit tests, search and copy over arbitrary input, as the hostile-page sweep does them.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz/headless.h"
#include "platform/testing.h"
#include "tests/support/exercise_page.h"
#include "viewer/docrender.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    return fuzz::StartHeadlessApplication(argc, argv);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 200000)
        return 0;
    DocumentRenderer doc;
    // The first byte picks the width, so narrow and wide layouts are both explored.
    const int width = size > 0 ? data[0] * 4 : 551;
    doc.Load(std::string(reinterpret_cast<const char*>(data), size));
    if (vexatest::ExerciseFormatted(doc, width) < 0)
        std::abort();
    vexatest::ExerciseFormatted(doc, width / 2 + 1);
    // Form controls free their windows when control returns to the event loop, which libFuzzer never does.
    platform::test::ProcessEvents();
    return 0;
}
