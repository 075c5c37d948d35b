#pragma once
// What a user can do to a page, done without a window: built, formatted at a width, painted at the top and
// in the middle, hit-tested at a few points, searched, selected whole and copied. The no-crash sweep over
// hostile pages and the document fuzz target both run it, so a crasher of one replays in the other.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/urltarget.h"
#include "layout/sectionlist.h"
#include "viewer/docrender.h"

namespace vexatest {

// Formats doc at width and uses it; answers the document height.
inline int ExerciseFormatted(DocumentRenderer& doc, int width)
{
    const int height = doc.Format(width);
    doc.Paint(0, 200);
    if (height > 400)
        doc.Paint(height / 2, 200);
    TSectionList& root = doc.Root();
    platform::Canvas* canvas = &doc.MeasureCanvas();
    const int w = std::max(width, 1);
    const int points[][2] = {{0, 0}, {5, 5}, {w / 2, 20}, {w - 1, height / 2}, {w / 3, std::max(height - 1, 0)}};
    for (const auto& p : points) {
        int XR = 0, YR = 0, caret = 0;
        bool inText = false;
        root.CursorAt(canvas, p[0], p[1], XR, YR, caret, inText);
        TUrlTarget* link = nullptr;
        TFormControlObj* control = nullptr;
        std::string title;
        root.LinkAt(canvas, p[0], p[1], link, control, title);
        std::unique_ptr<TUrlTarget> owner(link);  // LinkAt hands over a copy of the link's target
    }
    root.FindText(0, u"a", false);
    root.FindTextBackward(1000000, u"A", true);
    root.SelStart = 0;
    root.SelEnd = 1000000;
    std::vector<char16_t> text(std::size_t(std::clamp(root.SelectedLength(), 0, 4000000)) + 1);
    root.SelectedText(text.data(), int(text.size()));
    root.SelStart = root.SelEnd = 0;
    return height;
}

inline void ExercisePage(const std::string& html, const std::vector<int>& widths)
{
    DocumentRenderer doc;
    doc.Load(html);
    for (int width : widths)
        ExerciseFormatted(doc, width);
}

}  // namespace vexatest
