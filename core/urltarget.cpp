#include "core/urltarget.h"

#include "core/attributes.h"

namespace {

int LinkCounter = 0;

}  // namespace

TUrlTarget::TUrlTarget() : utText(std::make_unique<TutText>()) {}

TUrlTarget::~TUrlTarget() = default;

int TUrlTarget::LastLinkId()
{
    return LinkCounter;
}

void TUrlTarget::SetLink(const std::string& url, const std::string& target, const TAttributeList& list,
                         int start)
{
    Url = url;
    Target = target;
    ++LinkCounter;
    ID = LinkCounter;
    utText->Start = start;
    Attr = JoinLines(list.ToStringList());
}

void TUrlTarget::CopyFrom(const TUrlTarget& other)
{
    Url = other.Url;
    Target = other.Target;
    ID = other.ID;
    TabIndex = other.TabIndex;
    Attr = other.Attr;
    utText->Start = other.utText->Start;
    utText->Last = other.utText->Last;
}

void TUrlTarget::Reset()
{
    Url.clear();
    Target.clear();
    Attr.clear();
    ID = 0;
    TabIndex = 0;
    utText->Start = -1;
    utText->Last = -1;
}
