#include "platform/timer.h"

#include <QTimer>

#include "platform/errors.h"
#include "platform/qt/widget_control.h"

namespace platform {

struct Timer::Impl
{
    QTimer* timer = nullptr; // owned; handed to the deferred queue if freed during its own tick
    int interval = 1000;
    bool enabled = true;
    bool inTick = false;
    int ticks = 0;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

namespace {

void Apply(QTimer* timer, bool run, int interval)
{
    if (!run) {
        timer->stop();
        return;
    }
    // start() restarts a running timer: a new interval counts from now.
    timer->start(interval);
}

} // namespace

Timer::Timer() : d(std::make_unique<Impl>())
{
    d->timer = new QTimer;
    d->timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(d->timer, &QTimer::timeout, d->timer, [this, alive = std::weak_ptr<bool>(d->alive)] {
        if (alive.expired())
            return;
        if (!OnTimer)
            return;
        DispatchScope scope;
        d->inTick = true;
        ++d->ticks;
        CallGuarded([this] { OnTimer(this); });
        if (!alive.expired())
            d->inTick = false;
    });
    Apply(d->timer, d->enabled, d->interval);
}

Timer::~Timer()
{
    d->alive.reset();
    d->timer->stop();
    if (d->inTick)
        DeferDeleteObject(d->timer);
    else
        delete d->timer;
}

int Timer::Interval() const
{
    return d->interval;
}

void Timer::SetInterval(int milliseconds)
{
    d->interval = milliseconds;
    Apply(d->timer, d->enabled && milliseconds > 0, milliseconds);
}

bool Timer::Enabled() const
{
    return d->enabled;
}

void Timer::SetEnabled(bool value)
{
    if (d->enabled == value)
        return;
    d->enabled = value;
    Apply(d->timer, value && d->interval > 0, d->interval);
}

int Timer::TickCount() const
{
    return d->ticks;
}

} // namespace platform
