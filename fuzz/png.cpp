// libFuzzer target: the PNG decoder and its bitmap, the image loader's transparent-colour probe and the
// loader itself over arbitrary bytes, drawn; aborts when an answer breaks an invariant. Only the decoder's
// own exception may come out of the decoder.

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
    if (!vexatest::ExercisePng(data, size, target.GetCanvas()).empty() ||
        !vexatest::ExerciseLoader(data, size, target.GetCanvas()).empty())
        std::abort();
    return 0;
}
