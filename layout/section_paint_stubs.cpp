// TEMPORARY: minimal bodies so the engine links while section painting and hit tests are written.
#include "layout/section.h"

void TSection::CopySelection() {}
int TSection::Paint(platform::Canvas*, const platform::Rect&, IndentManager*, int X, int, int) { DrawX = X; return YDraw + SectionHeight; }
bool TSection::LinkAt(platform::Canvas*, int, int, TUrlTarget*&, TFormControlObj*&, std::string&) { return false; }
bool TSection::ObjectAt(int, int, TIDObject*&, int&, int&) { return false; }
int TSection::CursorAt(platform::Canvas*, int, int, int&, int&, int&, bool&) { return -1; }
int TSection::FindText(int, const std::u16string&, bool) { return -1; }
int TSection::FindTextBackward(int, const std::u16string&, bool) { return -1; }
int TSection::SourcePosOf(int) { return -1; }
int TSection::DocPosOf(int, bool) { return -1; }
bool TSection::CursorPoint(platform::Canvas*, int, int&, int&) { return false; }
bool TSection::CharAt(int, char16_t&, TIDObject*&) { return false; }
