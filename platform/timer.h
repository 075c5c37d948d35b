#pragma once
// Window timers: ticks arrive on the UI thread as messages do. A timer runs while it is Enabled, its
// Interval is above 0 and OnTimer is set. Setting Interval on a running timer restarts the wait. The
// timing is precise (no coalescing), so short animation intervals hold.

#include <functional>
#include <memory>

namespace platform {

class Timer;
using TTimerEvent = std::function<void(Timer* Sender)>;

class Timer
{
public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int Interval() const; // milliseconds, 1000 at start
    void SetInterval(int milliseconds);
    bool Enabled() const; // true at start
    void SetEnabled(bool value);

    // Exceptions escaping it go to the standard error report; the timer keeps running.
    TTimerEvent OnTimer;

    // Number of ticks delivered so far.
    int TickCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
