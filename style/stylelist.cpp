#include "style/stylelist.h"

#include <algorithm>

#include "style/propstack.h"

TStyleList::TStyleList() = default;
TStyleList::~TStyleList() = default;

void TStyleList::Clear()
{
    FLinkFonts.clear();
    FContext.clear();
    FEntries.clear();
    DefaultProps = nullptr;
    SequenceNo = 10;
    FContextOrder = 0;
    LinkHover = false;
}

TProperties& TStyleList::AddObject(const std::string& key, std::unique_ptr<TProperties> props)
{
    FLinkFonts.clear();
    props->ElemTag = key;
    TProperties* raw = props.get();
    FEntries.emplace(key, std::move(props));  // after the rules already under key
    if (key.find(' ') != std::string::npos)
        AddContextRule(key, raw);
    return *raw;
}

TProperties& TStyleList::AddDuplicate(const std::string& key, const TProperties& props)
{
    FLinkFonts.clear();
    auto p = std::make_unique<TProperties>();
    p->CopySlots(props);
    return AddObject(key, std::move(p));
}

TSelectorPiece TStyleList::SplitPiece(std::string_view piece)
{
    TSelectorPiece r;
    std::string s(piece);
    std::size_t colon = s.find(':');
    if (colon != std::string::npos) {
        r.Pseudo = s.substr(colon + 1);
        s.erase(colon);
    }
    std::size_t hash = s.find('#');
    if (hash != std::string::npos) {
        r.Id = s.substr(hash + 1);
        s.erase(hash);
    }
    std::size_t dot = s.find('.');
    if (dot != std::string::npos) {
        r.Class = s.substr(dot + 1);
        s.erase(dot);
    }
    r.Tag = s;
    return r;
}

void TStyleList::AddContextRule(const std::string& key, TProperties* props)
{
    FLinkFonts.clear();
    // At most 10 pieces; a longer key keeps the rest in its last piece, which then never matches.
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t blank = words.size() == 9 ? std::string::npos : key.find(' ', start);
        if (blank == std::string::npos) {
            words.push_back(key.substr(start));
            break;
        }
        words.push_back(key.substr(start, blank - start));
        start = blank + 1;
    }
    ContextRule rule;
    rule.First = words[0];
    rule.AncestorCount = int(words.size()) - 1;
    // The second piece starts with the ancestor count followed by the sequence number.
    std::string& second = words[1];
    std::size_t digits = 0;
    while (digits < second.size() && second[digits] >= '0' && second[digits] <= '9')
        ++digits;
    std::string countText = std::to_string(rule.AncestorCount);
    std::string seqText = second.substr(0, digits);
    if (StartsWith(seqText, countText) && seqText.size() > countText.size())
        seqText.erase(0, countText.size());
    rule.Sequence = 0;
    for (char c : seqText.substr(0, 15))
        rule.Sequence = rule.Sequence * 10 + (c - '0');
    second.erase(0, digits);
    for (const std::string& w : words)
        rule.Pieces.push_back(SplitPiece(w));
    rule.Props = props;
    rule.Order = FContextOrder++;
    FContext.insert(std::move(rule));
}

void TStyleList::RememberLinkFonts(const std::string& key, const TFontInfoArray& fonts)
{
    // A page with very many differently styled links would otherwise grow this without end.
    if (FLinkFonts.size() >= 4096)
        FLinkFonts.clear();
    FLinkFonts.emplace(key, fonts);
}

std::string TStyleList::NextSequence() { return std::to_string(SequenceNo++); }

void TStyleList::SetLinkStateColor(std::string_view state, TColor colour)
{
    FLinkFonts.clear();
    if (TProperties* p = Find("::" + std::string(state)))
        p->Values[piColor] = TPropValue::FromInt(static_cast<std::int32_t>(colour));
}

TProperties* TStyleList::ModifyTarget(const std::string& key, std::unique_ptr<TProperties>& created)
{
    if (TProperties* p = Find(key))
        return p;
    created = std::make_unique<TProperties>();
    return created.get();
}

void TStyleList::AddModifyProp(const std::string& key, std::string_view name, std::string_view value)
{
    FLinkFonts.clear();
    int index = PropertyIndex(name);
    if (index < 0)
        return;
    std::unique_ptr<TProperties> created;
    TProperties* p = ModifyTarget(key, created);
    if (index == piColor) {
        TColor c;
        if (ParseColor(value, false, c)) {
            if (key == ":link") {
                SetLinkStateColor("hover", c);
                SetLinkStateColor("visited", c);
            } else if (key == ":visited") {
                SetLinkStateColor("hover", c);
            }
            p->Values[piColor] = TPropValue::FromInt(static_cast<std::int32_t>(c));
        }
    } else {
        AssignPropertyText(*p, index, value, false);
    }
    if (created)
        AddObject(key, std::move(created));
    if (key.find(":hover") != std::string::npos) {
        LinkHover = true;
        if (OnLinkHover)
            OnLinkHover();
    }
    if (key == "a")
        AddModifyProp("::link", name, value);
}

// ---- Combine ----

void TStyleList::ApplyKey(TProperties& p, std::string_view key) const
{
    ForEachUnder(key, [&](const TProperties& rule) { p.MergeRule(rule); });
}

namespace {
bool PieceMatches(const TSelectorPiece& piece, const std::string& tag, const std::string& cls, const std::string& id,
                  const std::string& pseudo)
{
    return (piece.Tag.empty() || piece.Tag == tag) && (piece.Class.empty() || piece.Class == cls) &&
           (piece.Id.empty() || piece.Id == id) && (piece.Pseudo.empty() || piece.Pseudo == pseudo);
}
}  // namespace

void TStyleList::ScanContextual(TProperties& p, std::string_view lookup, const TSelectorPiece& element,
                                int stackIndex) const
{
    // The rules this scan can merge are those whose own selector begins with lookup and agrees with the
    // element in every piece it names: at most eight selectors, each found by binary search, so rules
    // about other classes or ids cost nothing. They are visited in key order.
    if (lookup.empty())
        return;
    std::string candidates[8];
    int n = 0;
    const bool hasC = !element.Class.empty(), hasI = !element.Id.empty(), hasP = !element.Pseudo.empty();
    for (int c = 0; c < (hasC && lookup[0] != ':' ? 2 : 1); ++c)
        for (int i = 0; i < (hasI && lookup[0] != ':' ? 2 : 1); ++i)
            for (int q = 0; q < (hasP ? 2 : 1); ++q) {
                std::string k(lookup);
                if (c && lookup[0] != '.')
                    k += "." + element.Class;
                if (i)
                    k += "#" + element.Id;
                if (q && lookup[0] != ':')
                    k += ":" + element.Pseudo;
                candidates[n++] = std::move(k);
            }
    std::sort(candidates, candidates + n, [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    n = int(std::unique(candidates, candidates + n) - candidates);

    for (int k = 0; k < n; ++k) {
        const std::string& first = candidates[k];
        auto [from, to] = FContext.equal_range(std::string_view(first));
        for (auto it = from; it != to; ++it) {
            const ContextRule& rule = *it;
            if (rule.Pieces.size() < 2 ||
                !PieceMatches(rule.Pieces[0], element.Tag, element.Class, element.Id, element.Pseudo))
                continue;
            if (!PropStack || stackIndex < 1)
                continue;
            std::size_t next = 1;
            for (int s = stackIndex - 1; s >= 1 && next < rule.Pieces.size(); --s) {
                const TProperties& a = *(*PropStack)[s];
                if (PieceMatches(rule.Pieces[next], a.ElemTag, a.ElemClass, a.ElemId, a.ElemPseudo))
                    ++next;
            }
            if (next == rule.Pieces.size())
                p.MergeRule(*rule.Props);
        }
    }
}

void TProperties::Combine(TStyleList& styles, const std::string& tag, const std::string& cls, const std::string& id,
                          const std::string& pseudo, const std::string& title, TProperties* inlineProps,
                          int stackIndex)
{
    if (stackIndex == -1)
        stackIndex = styles.PropStack ? styles.PropStack->Count() - 1 : NotOnStack;

    auto run = [&](const std::string& C, TProperties* inl) {
        const std::string& T = tag;
        const std::string& I = id;
        const std::string& P = pseudo;
        const TPropValue& fs = Values[piFontSize];
        double parentSize = fs.IsReal() && fs.Real() > 0 ? fs.Real() : DefaultPointSize;
        bool plain = P.empty() || (P != "hover" && P != "visited");
        if (T == "a" && !P.empty())
            styles.ApplyKey(*this, "::" + P);
        if (plain)
            styles.ApplyKey(*this, T);
        if (!P.empty())
            styles.ApplyKey(*this, ":" + P);
        if (plain && !C.empty()) {
            styles.ApplyKey(*this, "." + C);
            styles.ApplyKey(*this, T + "." + C);
        }
        if (!P.empty())
            styles.ApplyKey(*this, T + ":" + P);
        if (!C.empty() && !P.empty()) {
            styles.ApplyKey(*this, "." + C + ":" + P);
            styles.ApplyKey(*this, T + "." + C + ":" + P);
        }
        if (!I.empty()) {
            styles.ApplyKey(*this, "#" + I);
            styles.ApplyKey(*this, T + "#" + I);
            if (!C.empty())
                styles.ApplyKey(*this, "." + C + "#" + I);
            if (!P.empty()) {
                styles.ApplyKey(*this, "#" + I + ":" + P);
                styles.ApplyKey(*this, T + "#" + I + ":" + P);
            }
            if (!C.empty())
                styles.ApplyKey(*this, T + "." + C + "#" + I);
            styles.ApplyKey(*this, "." + C + "#" + I + ":" + P);
            styles.ApplyKey(*this, T + "." + C + "#" + I + ":" + P);
        }
        if (!styles.FContext.empty()) {
            TSelectorPiece element{T, C, I, P};
            styles.ScanContextual(*this, T, element, stackIndex);
            if (!C.empty())
                styles.ScanContextual(*this, "." + C, element, stackIndex);
            if (!P.empty())
                styles.ScanContextual(*this, ":" + P, element, stackIndex);
        }
        if (inl)
            MergeRule(*inl);
        const TPropValue& size = Values[piFontSize];
        if (size.IsText())
            Values[piFontSize] = TPropValue::FromReal(UsableSizeToPoints(size.Text(), parentSize));
    };

    std::size_t dot = cls.find('.');
    if (dot == std::string::npos) {
        run(cls, inlineProps);
    } else {
        std::size_t start = 0;
        while (dot != std::string::npos) {
            run(cls.substr(start, dot - start), nullptr);
            start = dot + 1;
            dot = cls.find('.', start);
        }
        run(cls.substr(start), inlineProps);
        run(cls, inlineProps);
    }

    ElemTag = tag;
    ElemClass = cls;
    ElemId = id;
    ElemPseudo = pseudo;
    InlineProps = inlineProps;
    if (!title.empty())
        ElemTitle = title;
    FontCache.reset();

    if (pseudo == "link") {
        if (!LinkFonts)
            LinkFonts = std::make_unique<TFontInfoArray>();
        ComputeLinkFonts(styles, stackIndex);
        HasLinkFonts = true;
    }
}
