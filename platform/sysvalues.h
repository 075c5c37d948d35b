#pragma once
// The system values the program reads, from one fixed table rather than the host desktop, so that pages
// look the same everywhere: 96 DPI, scroll bars 17 pixels thick, 3 wheel lines, a true-colour display,
// the classic system colours, Cyrillic as the realised default character set.

#include "platform/types.h"

namespace platform {

struct SystemValues {
    int PixelsPerInch = 96;
    int ScrollBarThickness = 17;  // SM_CXVSCROLL / SM_CYHSCROLL
    int WheelScrollLines = 3;     // SPI_GETWHEELSCROLLLINES
    int ColorDepth = 32;          // bits per pixel of the display
    int DefaultCharset = 204;     // what DEFAULT_CHARSET realises as (Cyrillic)
    int SymbolCharset = 2;
    int AnsiCodePage = 1251;
    int OemCodePage = 866;
    int MacCodePage = 10007;
    bool IsWin95 = false;
    bool IsWin32Platform = false;  // the old 16/32-bit hybrid platform
};

const SystemValues& SysValues();
// Tests may change the table (for example the display depth); returns the old values.
SystemValues SetSysValues(const SystemValues& values);

// The display's colour class: 4 for 4 bits or fewer, 8 for 5..8, else 24.
int DisplayColorClass();

// The classic value of a system colour index; black for an index outside the table.
TColor GetSysColor(int index);

}  // namespace platform
