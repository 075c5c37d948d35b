// Default behaviour of document items: a fixed-height box that holds no text, links or objects.

#include "layout/sectionbase.h"

#include "layout/sectionlist.h"

void TSectionBase::Duplicate(TSectionList* newRoot, const TSectionBase& source)
{
    Root = newRoot;
    SectionHeight = source.SectionHeight;
    ZIndex = source.ZIndex;
}

int TSectionBase::Layout(platform::Canvas*, int, int Y, int, int, int, int, int, IndentManager*, int& maxWidth,
                         int& cursor)
{
    StartCursor = cursor;
    DrawHeight = SectionHeight;
    maxWidth = 0;
    YPosition = Y;
    DrawTop = Y;
    YDraw = Y;
    ContentBottom = Y + SectionHeight;
    DrawBottom = Y + DrawHeight;
    return SectionHeight;
}

int TSectionBase::Paint(platform::Canvas*, const platform::Rect&, IndentManager*, int, int, int)
{
    return YDraw + SectionHeight;
}

bool TSectionBase::LinkAt(platform::Canvas*, int, int, TUrlTarget*&, TFormControlObj*&, std::string&)
{
    return false;
}

bool TSectionBase::ObjectAt(int, int, TIDObject*&, int&, int&) { return false; }

int TSectionBase::CursorAt(platform::Canvas*, int, int, int&, int&, int&, bool&) { return NoPosition; }

int TSectionBase::FindText(int, const std::u16string&, bool) { return NoPosition; }

int TSectionBase::FindTextBackward(int, const std::u16string&, bool) { return NoPosition; }

int TSectionBase::SourcePosOf(int) { return NoPosition; }

int TSectionBase::DocPosOf(int, bool) { return NoPosition; }

bool TSectionBase::CursorPoint(platform::Canvas*, int, int&, int&) { return false; }

bool TSectionBase::CharAt(int, char16_t&, TIDObject*&) { return false; }

void TSectionBase::MeasureWidths(platform::Canvas*, int& minWidth, int& maxWidth)
{
    minWidth = 0;
    maxWidth = 0;
}

void TSectionBase::RegisterPosition()
{
    if (Root)
        Root->PositionList.push_back(this);
}

void TSectionBase::Withdraw()
{
    if (Root)
        Root->ObjectRemoved(this);
}
