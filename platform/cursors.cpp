#include "platform/cursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <vector>

#include "platform/qt/widget_cursors.h"

namespace platform {

namespace {

struct ScreenEntry
{
    TCursor cursor;
    bool applied; // whether an override cursor was set for it (there may be no GUI yet)
};

std::vector<ScreenEntry>& ScreenStack()
{
    static std::vector<ScreenEntry> stack;
    return stack;
}

QPixmap BlankCursorPixmap()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    return pm;
}

// A hand with the index finger up, hot spot at the finger tip.
QCursor DrawHand()
{
    QPixmap pm = BlankCursorPixmap();
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const QPolygon hand({QPoint(6, 1), QPoint(9, 1), QPoint(9, 8), QPoint(17, 9), QPoint(18, 18),
                         QPoint(15, 22), QPoint(6, 22), QPoint(1, 13), QPoint(3, 11), QPoint(6, 14)});
    p.drawPolygon(hand);
    p.drawLine(11, 9, 11, 14);
    p.drawLine(14, 9, 14, 14);
    return QCursor(pm, 7, 1);
}

// An I-beam two pixels thick, for text that can be selected.
QCursor DrawThickIBeam()
{
    QPixmap pm = BlankCursorPixmap();
    QPainter p(&pm);
    p.fillRect(QRect(12, 3, 8, 2), Qt::black);
    p.fillRect(QRect(12, 25, 8, 2), Qt::black);
    p.fillRect(QRect(15, 5, 2, 20), Qt::black);
    return QCursor(pm, 16, 15);
}

// The auto-scroll cursors: a dot with arrows up, down or both.
QCursor DrawScrollCursor(bool up, bool down)
{
    QPixmap pm = BlankCursorPixmap();
    QPainter p(&pm);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::black);
    p.drawEllipse(QRect(13, 13, 6, 6));
    if (up)
        p.drawPolygon(QPolygon({QPoint(16, 2), QPoint(23, 10), QPoint(9, 10)}));
    if (down)
        p.drawPolygon(QPolygon({QPoint(16, 30), QPoint(23, 22), QPoint(9, 22)}));
    return QCursor(pm, 16, 16);
}

} // namespace

bool IsKnownCursor(TCursor cursor)
{
    if (cursor >= HandCursor && cursor <= DownOnlyCursor)
        return true;
    switch (cursor) {
    case crDefault:
    case crNone:
    case crArrow:
    case crCross:
    case crIBeam:
    case crSizeNESW:
    case crSizeNS:
    case crSizeNWSE:
    case crSizeWE:
    case crUpArrow:
    case crHourGlass:
    case crHSplit:
    case crVSplit:
    case crNo:
    case crAppStart:
    case crHandPoint:
    case crSizeAll:
        return true;
    default:
        return false;
    }
}

QCursor QtCursor(TCursor cursor)
{
    switch (cursor) {
    case HandCursor: {
        static const QCursor c = DrawHand();
        return c;
    }
    case ThickIBeamCursor: {
        static const QCursor c = DrawThickIBeam();
        return c;
    }
    case UpDownCursor: {
        static const QCursor c = DrawScrollCursor(true, true);
        return c;
    }
    case UpOnlyCursor: {
        static const QCursor c = DrawScrollCursor(true, false);
        return c;
    }
    case DownOnlyCursor: {
        static const QCursor c = DrawScrollCursor(false, true);
        return c;
    }
    case crNone:
        return QCursor(Qt::BlankCursor);
    case crCross:
        return QCursor(Qt::CrossCursor);
    case crIBeam:
        return QCursor(Qt::IBeamCursor);
    case crSizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS:
        return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE:
        return QCursor(Qt::SizeHorCursor);
    case crUpArrow:
        return QCursor(Qt::UpArrowCursor);
    case crHourGlass:
        return QCursor(Qt::WaitCursor);
    case crHSplit:
        return QCursor(Qt::SplitHCursor);
    case crVSplit:
        return QCursor(Qt::SplitVCursor);
    case crNo:
        return QCursor(Qt::ForbiddenCursor);
    case crAppStart:
        return QCursor(Qt::BusyCursor);
    case crHandPoint:
        return QCursor(Qt::PointingHandCursor);
    case crSizeAll:
        return QCursor(Qt::SizeAllCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

ScreenCursor::ScreenCursor(TCursor cursor)
{
    const bool apply = qGuiApp != nullptr;
    ScreenStack().push_back(ScreenEntry{cursor, apply});
    if (apply)
        QGuiApplication::setOverrideCursor(QtCursor(cursor));
}

ScreenCursor::~ScreenCursor()
{
    if (ScreenStack().empty())
        return;
    const ScreenEntry entry = ScreenStack().back();
    ScreenStack().pop_back();
    if (entry.applied && qGuiApp)
        QGuiApplication::restoreOverrideCursor();
}

TCursor CurrentScreenCursor()
{
    return ScreenStack().empty() ? crDefault : ScreenStack().back().cursor;
}

} // namespace platform
