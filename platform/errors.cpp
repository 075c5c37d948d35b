#include "platform/errors.h"

#include "platform/msgbox.h"

namespace platform {

namespace {

class MessageBoxErrorReport final : public ErrorReportService
{
public:
    void Report(const std::string& message) override
    {
        MessageBox(message, std::string("Error"), MB_OK | MB_ICONERROR);
    }
};

std::unique_ptr<ErrorReportService>& CustomReport()
{
    static std::unique_ptr<ErrorReportService> service;
    return service;
}

} // namespace

ErrorReportService& ErrorReport()
{
    static MessageBoxErrorReport standard;
    if (auto& custom = CustomReport())
        return *custom;
    return standard;
}

std::unique_ptr<ErrorReportService> SetErrorReportService(std::unique_ptr<ErrorReportService> service)
{
    auto old = std::move(CustomReport());
    CustomReport() = std::move(service);
    return old;
}

std::string ExceptionMessage(const std::exception_ptr& error)
{
    if (!error)
        return {};
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

void HandleException() noexcept
{
    HandleException(std::current_exception());
}

void HandleException(const std::exception_ptr& error) noexcept
{
    try {
        ErrorReport().Report(ExceptionMessage(error));
    } catch (...) {
        // A report that fails itself has nowhere left to go; the loop must go on.
    }
}

} // namespace platform
