#pragma once
// The exception classes of the system. Every failure carries a message; named descendants let
// callers catch the kinds they recover from.

#include <stdexcept>
#include <string>

namespace platform {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

#define VEXA_DECLARE_EXCEPTION(Name, Base)                                   \
    class Name : public Base {                                               \
    public:                                                                  \
        explicit Name(const std::string& message) : Base(message) {}         \
    };

VEXA_DECLARE_EXCEPTION(EInOutError, Exception)
VEXA_DECLARE_EXCEPTION(EFOpenError, Exception)
VEXA_DECLARE_EXCEPTION(EOutOfResources, Exception)
VEXA_DECLARE_EXCEPTION(EOutOfMemory, Exception)
VEXA_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)
VEXA_DECLARE_EXCEPTION(EInvalidOperation, Exception)

}  // namespace platform
