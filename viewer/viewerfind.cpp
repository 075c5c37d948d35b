// Find in page: searches the document's text from the selection, selects the match and scrolls it into view.

#include <algorithm>

#include "layout/sectionlist.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "platform/scrollbar.h"
#include "viewer/htmlviewer.h"

using namespace platform;

namespace {
// Beyond the last character of any document: a backward search from here covers everything.
constexpr int DocumentEnd = 999999999;
}

TFindResult THTMLViewer::FindEx(const std::u16string& text, bool matchCase, bool reverse)
{
    if (text.empty() || !FSectionList)
        return TFindResult::NotFound;
    std::u16string what = text;
    if (!matchCase)
        WideLowerInPlace(what);  // the sections compare lower-cased text with it
    const int length = int(what.size());
    const bool selected = SelLength() > 0;
    int found = -1;
    bool wrapped = false;
    if (!reverse) {
        // After the start of the selection, so the current match is passed over; else from the caret.
        const int from = selected ? SelStart() + 1 : std::max(0, FCaretPos);
        found = FSectionList->FindText(from, what, matchCase);
        if (found < 0 && from > 0) {
            found = FSectionList->FindText(0, what, matchCase);
            wrapped = found >= 0;
        }
    } else {
        // Matches that end before the end of the selected one; else before the caret (the end when none).
        const int from = selected ? SelStart() + length - 1 : (FCaretPos > 0 ? FCaretPos : DocumentEnd);
        found = FSectionList->FindTextBackward(from, what, matchCase);
        if (found < 0 && from < DocumentEnd) {
            found = FSectionList->FindTextBackward(DocumentEnd, what, matchCase);
            wrapped = found >= 0;
        }
    }
    if (found < 0)
        return TFindResult::NotFound;

    FSectionList->SelStart = found;
    FSectionList->SelEnd = found + length;
    FCaretPos = found + length;
    EnsurePaintedPositions();
    int x = 0;
    int y = 0;
    if (FSectionList->CursorPoint(FMeasureCanvas.get(), found, x, y)) {
        // A match outside the view is brought to a third of the way down, where the eye looks first.
        const int top = FVScrollBar->Position();
        const int height = FPaintPanel->Height();
        if (y < top || y + 24 > top + height)
            ScrollTo(y - height / 3);
    }
    FPaintPanel->Invalidate();
    return wrapped ? TFindResult::Wrapped : TFindResult::Found;
}

bool THTMLViewer::FindKey(int& key, TShiftState shift)
{
    TFindRequest request;
    if (key == 'F' && (shift & (ssCtrl | ssShift | ssAlt)) == ssCtrl)
        request = TFindRequest::Open;
    else if (key == VK_F3 && !(shift & (ssCtrl | ssAlt)))
        request = (shift & ssShift) ? TFindRequest::Previous : TFindRequest::Next;
    else
        return false;
    key = 0;
    if (OnFindRequest)
        OnFindRequest(this, request);
    return true;
}
