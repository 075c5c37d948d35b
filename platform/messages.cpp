#include "platform/messages.h"

#include <QGuiApplication>

#include "platform/qt/widget_control.h"

namespace platform {

short GetKeyState(int virtualKey)
{
    constexpr short down = short(0x8000);
    auto buttonDown = [](Qt::MouseButton b) {
        return (LastMouseButtons() & b) || (QGuiApplication::mouseButtons() & b);
    };
    switch (virtualKey) {
    case VK_LBUTTON:
        return buttonDown(Qt::LeftButton) ? down : 0;
    case VK_RBUTTON:
        return buttonDown(Qt::RightButton) ? down : 0;
    case VK_MBUTTON:
        return buttonDown(Qt::MiddleButton) ? down : 0;
    case VK_SHIFT:
        return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) ? down : 0;
    case VK_CONTROL:
        return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) ? down : 0;
    case VK_MENU:
        return (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier) ? down : 0;
    default:
        return 0;
    }
}

Point GetCursorPos()
{
    const QPoint p = LastCursorPos();
    return Point{p.x(), p.y()};
}

} // namespace platform
