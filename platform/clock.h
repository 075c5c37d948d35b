#pragma once
// A monotonic millisecond clock (the system's timeGetTime and tick count); compare with unsigned
// subtraction so that wrap-around is harmless.

#include <cstdint>

namespace platform {

std::uint32_t timeGetTime();
inline std::uint32_t GetTickCount() { return timeGetTime(); }

}  // namespace platform
