#pragma once
// Scroll bars with the Windows model: a 32-bit range Min..Max, a page, and a position that can reach at
// most Max - Page + 1. The bar keeps the four values itself; SetScrollInfo sets all of them at once and
// does nothing when none changes; OnChange is raised only when the position really changes. The
// thickness is the system scroll-bar thickness, not the widget style's.

#include "platform/control.h"

namespace platform {

enum TScrollBarKind
{
    sbHorizontal,
    sbVertical
};

// Scroll codes (the horizontal names share the values).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

struct ScrollInfo
{
    int nMin = 0;
    int nMax = 100;
    int nPage = 0;
    int nPos = 0;
    int nTrackPos = 0; // the thumb's position during a drag (GetScrollInfo only)
    friend bool operator==(const ScrollInfo&, const ScrollInfo&) = default;
};

using TScrollEvent = std::function<void(Control* Sender, int ScrollCode, int& ScrollPos)>;

class ScrollBar : public Control
{
public:
    explicit ScrollBar(Control* parent, TScrollBarKind kind = sbHorizontal);
    ~ScrollBar() override;

    TScrollBarKind Kind() const;
    // Turns the bar; width and height are exchanged when the kind changes.
    void SetKind(TScrollBarKind kind);

    int Min() const;
    int Max() const;
    int PageSize() const;
    int Position() const;
    // The largest position: Max - Page + 1 (Max when there is no page), never below Min.
    int MaxPosition() const;
    void SetMin(int value);
    void SetMax(int value);
    void SetPageSize(int value);
    // Clamped to Min..MaxPosition(); OnChange when it changed.
    void SetPosition(int value);
    void SetParams(int position, int min, int max);
    int SmallChange() const;
    void SetSmallChange(int value);
    int LargeChange() const;
    void SetLargeChange(int value);

    // Sets all four values as one SetScrollInfo: the page is cut to the range, the position clamped.
    // disableNoScroll: when nothing can scroll, the bar is shown disabled (instead of a bar that does
    // nothing). Returns false, doing nothing, when the values equal the current ones.
    bool SetScrollInfo(int min, int max, int page, int pos, bool disableNoScroll = false);
    ScrollInfo GetScrollInfo() const;
    // How many SetScrollInfo calls changed something (the calls that reached the window).
    int ScrollInfoUpdates() const;

    // The scroll notification of a user action: computes the new position by code (lines by
    // SmallChange, pages by LargeChange, track and thumb position from trackPos, top/bottom), lets
    // Scroll adjust it, then sets it. A descendant may replace the whole handling.
    virtual void ScrollMessage(int code, int trackPos);
    // Raises OnScroll.
    virtual void Scroll(int code, int& position);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    struct Data;

private:
    std::unique_ptr<Data> s;
};

} // namespace platform
