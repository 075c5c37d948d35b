#pragma once
// The standard error report: an exception that escapes an event handler (paint, mouse, key, focus, timer,
// posted message, form creation) is caught where the platform dispatches the event and shown to the user;
// the message loop then goes on. The report is a replaceable service so that tests can record it.

#include <exception>
#include <memory>
#include <string>

namespace platform {

class ErrorReportService
{
public:
    virtual ~ErrorReportService() = default;
    // message is the exception's message (UTF-8 or system-code-page text).
    virtual void Report(const std::string& message) = 0;
};

// The service in force; the default one shows a message box (through the message-box service).
ErrorReportService& ErrorReport();
// Replaces the service; nullptr restores the default. Returns the previous custom service, if any.
std::unique_ptr<ErrorReportService> SetErrorReportService(std::unique_ptr<ErrorReportService> service);

// The message of any exception: what() of std::exception, a fixed text for anything else.
std::string ExceptionMessage(const std::exception_ptr& error);

// Shows the exception being handled (call from a catch block) through the report service. Never throws.
void HandleException() noexcept;
void HandleException(const std::exception_ptr& error) noexcept;

// Runs f and reports anything it throws; for every entry from the event loop into program code.
template <class F>
void CallGuarded(F&& f) noexcept
{
    try {
        f();
    } catch (...) {
        HandleException();
    }
}

} // namespace platform
