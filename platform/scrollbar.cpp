#include "platform/scrollbar.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "platform/errors.h"
#include "platform/qt/widget_control.h"
#include "platform/sysvalues.h"

namespace platform {

struct ScrollBar::Data
{
    TScrollBarKind kind = sbHorizontal;
    ScrollInfo info; // nTrackPos unused here
    int trackPos = 0;
    int small = 1;
    int large = 1;
    bool disabledForNoScroll = false;
    int updates = 0;
    QScrollBar* bar = nullptr;
};

namespace {

QScrollBar* MakeBar(Control* parent, TScrollBarKind kind)
{
    // Owned by the control (deleted through the deferred queue).
    return new QScrollBar(kind == sbVertical ? Qt::Vertical : Qt::Horizontal,
                          parent ? WidgetOf(parent) : nullptr);
}

int LargestPosition(const ScrollInfo& i)
{
    const int page = std::max(i.nPage - 1, 0);
    return std::max(i.nMin, i.nMax - page);
}

} // namespace

ScrollBar::ScrollBar(Control* parent, TScrollBarKind kind)
    : Control(parent, MakeBar(parent, kind)), s(std::make_unique<Data>())
{
    s->kind = kind;
    s->bar = static_cast<QScrollBar*>(WidgetOf(this));
    Impl& d = Internal();
    d.paintsItself = false;
    s->bar->setAttribute(Qt::WA_OpaquePaintEvent, false);
    s->bar->setFocusPolicy(Qt::NoFocus);
    s->bar->setTracking(true);
    s->bar->setRange(0, 100);
    QObject::connect(s->bar, &QAbstractSlider::actionTriggered, s->bar, [this](int action) {
        // Program code runs here: the platform's error boundary applies as for events.
        DispatchScope scope;
        CallGuarded([&] {
            int code = -1;
            switch (action) {
            case QAbstractSlider::SliderSingleStepAdd:
                code = SB_LINEDOWN;
                break;
            case QAbstractSlider::SliderSingleStepSub:
                code = SB_LINEUP;
                break;
            case QAbstractSlider::SliderPageStepAdd:
                code = SB_PAGEDOWN;
                break;
            case QAbstractSlider::SliderPageStepSub:
                code = SB_PAGEUP;
                break;
            case QAbstractSlider::SliderToMinimum:
                code = SB_TOP;
                break;
            case QAbstractSlider::SliderToMaximum:
                code = SB_BOTTOM;
                break;
            case QAbstractSlider::SliderMove:
                code = SB_THUMBTRACK;
                break;
            default:
                break;
            }
            if (code < 0)
                return;
            AliveToken alive(*this);
            const int track = s->bar->sliderPosition();
            ScrollMessage(code, track);
            // Qt applies its own idea of the action after this signal: make it ours.
            if (alive)
                s->bar->setSliderPosition(s->info.nPos);
        });
    });
    QObject::connect(s->bar, &QAbstractSlider::sliderReleased, s->bar, [this] {
        DispatchScope scope;
        CallGuarded([&] {
            AliveToken alive(*this);
            ScrollMessage(SB_THUMBPOSITION, s->bar->sliderPosition());
            if (alive)
                ScrollMessage(SB_ENDSCROLL, s->info.nPos);
        });
    });
    const int thickness = SysValues().ScrollBarThickness;
    if (kind == sbVertical)
        SetBounds(0, 0, thickness, 121);
    else
        SetBounds(0, 0, 121, thickness);
}

ScrollBar::~ScrollBar()
{
    if (s->bar)
        QObject::disconnect(s->bar, nullptr, s->bar, nullptr);
}

TScrollBarKind ScrollBar::Kind() const
{
    return s->kind;
}

void ScrollBar::SetKind(TScrollBarKind kind)
{
    if (kind == s->kind)
        return;
    s->kind = kind;
    s->bar->setOrientation(kind == sbVertical ? Qt::Vertical : Qt::Horizontal);
    SetBounds(Left(), Top(), Height(), Width());
}

int ScrollBar::Min() const
{
    return s->info.nMin;
}
int ScrollBar::Max() const
{
    return s->info.nMax;
}
int ScrollBar::PageSize() const
{
    return s->info.nPage;
}
int ScrollBar::Position() const
{
    return s->info.nPos;
}
int ScrollBar::MaxPosition() const
{
    return LargestPosition(s->info);
}

void ScrollBar::SetMin(int value)
{
    SetScrollInfo(value, std::max(value, Max()), PageSize(), Position());
}
void ScrollBar::SetMax(int value)
{
    SetScrollInfo(std::min(Min(), value), value, PageSize(), Position());
}
void ScrollBar::SetPageSize(int value)
{
    SetScrollInfo(Min(), Max(), value, Position());
}
void ScrollBar::SetPosition(int value)
{
    SetScrollInfo(Min(), Max(), PageSize(), value);
}
void ScrollBar::SetParams(int position, int min, int max)
{
    SetScrollInfo(min, max, PageSize(), position);
}

int ScrollBar::SmallChange() const
{
    return s->small;
}

void ScrollBar::SetSmallChange(int value)
{
    s->small = value;
    s->bar->setSingleStep(std::max(1, value));
}

int ScrollBar::LargeChange() const
{
    return s->large;
}

void ScrollBar::SetLargeChange(int value)
{
    s->large = value;
    if (s->info.nPage <= 0)
        s->bar->setPageStep(std::max(1, value));
}

bool ScrollBar::SetScrollInfo(int min, int max, int page, int pos, bool disableNoScroll)
{
    ScrollInfo next;
    next.nMin = min;
    next.nMax = std::max(min, max);
    // The page is cut to the range's length (computed wide: the range may span all 32 bits).
    const long long length = static_cast<long long>(next.nMax) - next.nMin + 1;
    next.nPage = static_cast<int>(std::clamp<long long>(page, 0, length));
    next.nPos = std::clamp(pos, next.nMin, LargestPosition(next));
    const bool noScroll = LargestPosition(next) <= next.nMin;
    const bool disable = disableNoScroll && noScroll;
    if (next == s->info && disable == s->disabledForNoScroll)
        return false;
    const int oldPos = s->info.nPos;
    s->info = next;
    ++s->updates;
    {
        const QSignalBlocker block(s->bar);
        s->bar->setRange(next.nMin, LargestPosition(next));
        s->bar->setPageStep(next.nPage > 0 ? next.nPage : std::max(1, s->large));
        s->bar->setValue(next.nPos);
    }
    if (disable != s->disabledForNoScroll) {
        s->disabledForNoScroll = disable;
        s->bar->setEnabled(!disable);
    }
    if (next.nPos != oldPos && OnChange)
        OnChange(this);
    return true;
}

ScrollInfo ScrollBar::GetScrollInfo() const
{
    ScrollInfo i = s->info;
    i.nTrackPos = s->trackPos;
    return i;
}

int ScrollBar::ScrollInfoUpdates() const
{
    return s->updates;
}

void ScrollBar::ScrollMessage(int code, int trackPos)
{
    s->trackPos = trackPos;
    long long pos = Position();
    switch (code) {
    case SB_LINEUP:
        pos -= s->small;
        break;
    case SB_LINEDOWN:
        pos += s->small;
        break;
    case SB_PAGEUP:
        pos -= s->large;
        break;
    case SB_PAGEDOWN:
        pos += s->large;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = trackPos;
        break;
    case SB_TOP:
        pos = Min();
        break;
    case SB_BOTTOM:
        pos = MaxPosition();
        break;
    default:
        break;
    }
    int position = static_cast<int>(std::clamp<long long>(pos, Min(), MaxPosition()));
    AliveToken alive(*this);
    Scroll(code, position);
    if (alive)
        SetPosition(position);
}

void ScrollBar::Scroll(int code, int& position)
{
    if (OnScroll)
        OnScroll(this, code, position);
}

} // namespace platform
