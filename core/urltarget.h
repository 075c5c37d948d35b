#pragma once
// The data of a link while it is read, and the copies that font runs of the link keep.

#include <memory>
#include <string>
#include <iterator>
#include <vector>

class TAttributeList;

// The character positions of a link's text; -1 when unset.
class TutText {
public:
    int Start = -1;
    int Last = -1;
};

class TUrlTarget {
public:
    TUrlTarget();
    ~TUrlTarget();
    TUrlTarget(const TUrlTarget&) = delete;
    TUrlTarget& operator=(const TUrlTarget&) = delete;

    std::string Url;
    std::string Target;
    int ID = 0;        // the link number
    std::string Attr;  // the link tag's attributes, "NAME=value" lines joined by CR LF
    std::unique_ptr<TutText> utText;
    int TabIndex = 0;

    void SetLink(const std::string& url, const std::string& target, const TAttributeList& list, int start);
    void CopyFrom(const TUrlTarget& other);
    void Reset();
    int StartPos() const { return utText->Start; }
    int EndPos() const { return utText->Last; }
    // Sets the end here and on the trailing runs of this link: walks the link runs from the last one
    // back and stops at the first run of another link. urlOf(run) gives the run's TUrlTarget copy.
    template <typename Runs, typename UrlOf>
    void SetEndPos(const Runs& linkRuns, UrlOf urlOf, int pos)
    {
        utText->Last = pos;
        for (auto it = std::rbegin(linkRuns); it != std::rend(linkRuns); ++it) {
            TUrlTarget* u = urlOf(*it);
            if (!u || u->ID != ID)
                break;
            u->utText->Last = pos;
        }
    }
    // The process-wide link counter (starts at 0 and never goes back).
    static int LastLinkId();
};
