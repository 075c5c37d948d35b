// libFuzzer target: the GIF decoder over arbitrary bytes, the strip it composes and the animated picture
// built from it, stepped and drawn; aborts when an answer breaks an invariant of the decoder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/headless.h"
#include "platform/bitmap.h"
#include "tests/support/exercise_picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    return fuzz::StartHeadlessApplication(argc, argv);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::Bitmap target(64, 48);
    if (!vexatest::ExerciseGif(data, size, target.GetCanvas()).empty())
        std::abort();
    return 0;
}
