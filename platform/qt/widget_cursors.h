#pragma once
// The Qt cursor of a cursor number (private to the platform layer).

#include <QCursor>

#include "platform/cursors.h"

namespace platform {

QCursor QtCursor(TCursor cursor);

} // namespace platform
