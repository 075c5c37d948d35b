#pragma once
// Window messages, virtual-key codes and keyboard/mouse state as the program's code knows them from
// Windows. Private messages posted to a control are delivered on the UI thread, in the order they were
// posted, after the handler that posted them has returned.

#include <cstdint>

#include "platform/types.h"

namespace platform {

class Control;

constexpr unsigned WM_USER = 0x400;

struct Message
{
    unsigned Msg = 0;
    std::intptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

// Queues msg for control; it reaches control's OnMessage (through Control::WndMessage) later, FIFO.
// A message for a control that is destroyed before delivery is dropped.
void PostMessage(Control* control, unsigned msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);

// Virtual-key codes.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21; // Page Up
constexpr int VK_NEXT = 0x22;  // Page Down
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70; // .. VK_F24 = 0x87
constexpr int VK_F3 = 0x72;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;

// The state of a key or mouse button now: negative (high bit set) while it is down. Mouse buttons
// come from the last mouse event the program saw; keys from the keyboard modifiers.
short GetKeyState(int virtualKey);

// The mouse position in screen coordinates.
Point GetCursorPos();

} // namespace platform
