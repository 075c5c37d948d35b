// Pictures and panels in the flow: IMG and PANEL tags become objects standing among the characters of the
// current text section, styled by their element.

#include <memory>

#include "layout/imageobj.h"
#include "layout/panelobj.h"
#include "layout/section.h"
#include "reader/builder.h"

void THtmlBuilder::DoImage(bool pre)
{
    const Symbol sy = Sc.Sy;
    TAttributeList* attrs = Sc.Attributes();
    const int tagStart = Sc.TagStartPos;
    EnsureSection();
    const std::string tag = sy == PanelSy ? "panel" : "img";
    Push(tag);
    if (!pre)
        OpenInline(false);
    if (sy == PanelSy) {
        auto panel = std::make_unique<TPanelObj>(MasterList, false, attrs);
        panel->TakeStyle(Top());
        Section->AddObject(std::move(panel), tagStart);
    } else {
        auto image = std::make_unique<TImageObj>(MasterList, attrs, 0);
        image->MyCell = CurrentCell;
        image->ApplyStyle(Top());
        Section->AddObject(std::move(image), tagStart);
    }
    PopTag(tag);
    if (!pre)
        Next();
}
