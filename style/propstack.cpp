// The builder's style stack: pushing derives a new entry from its parent and the style list; popping an
// element re-derives the entries that were opened inside it.

#include "style/propstack.h"

#include "style/stylelist.h"

TProperties& TPropStack::PushProps(const std::string& tag, const std::string& cls, const std::string& id,
                                   TProperties* inlineStyle, const std::string& title, const std::string& pseudo)
{
    std::unique_ptr<TProperties> props;
    if (FSpare.empty()) {
        props = std::make_unique<TProperties>();
    } else {
        props = std::move(FSpare.back());
        FSpare.pop_back();
        props->Reset();
    }
    TProperties& parent = Top();
    props->Inherit(tag, parent);
    TProperties& added = *Add(std::move(props));
    if (Styles)
        added.Combine(*Styles, tag, cls, id, pseudo, title, inlineStyle, Count() - 1);
    return added;
}

void TPropStack::PopTag(const std::string& tag)
{
    int j = Count() - 1;
    while (j >= 1 && (*this)[j]->ElemTag != tag)
        --j;
    if (j < 1)
        return;
    if ((*this)[j]->GetBorderStyle() != bssNone && OnCloseInline)
        OnCloseInline(*(*this)[j]);
    Recycle(j);
    if (j >= 2 && Styles)
        for (int k = j; k < Count(); ++k)
            (*this)[k]->Refresh(*(*this)[k - 1], *Styles, k);
}

void TPropStack::PopTop()
{
    if (Count() > 1)
        Recycle(Count() - 1);
}

void TPropStack::Recycle(int index)
{
    std::unique_ptr<TProperties> props = Extract(index);
    if (FSpare.size() < 64)
        FSpare.push_back(std::move(props));
}
