#pragma once
// TStyleList: a document's style sheet. Every rule of the built-in default sheet, of style elements and
// of linked sheets is stored as a TProperties under a selector key; Combine (on TProperties) turns the
// rules into an element's properties by a fixed sequence of key lookups.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "style/properties.h"

class TPropStack;

// One simple selector of a contextual key, split into its pieces.
struct TSelectorPiece {
    std::string Tag, Class, Id, Pseudo;
};

class TStyleList {
public:
    TStyleList();
    ~TStyleList();
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    // The document builder's property stack while a document is read (not owned); contextual rules
    // match against it. Without a stack, contextual rules never match.
    TPropStack* PropStack = nullptr;
    // Set once a rule names the hover state (until Clear); OnLinkHover tells the document root, which then
    // shows links under the mouse.
    bool LinkHover = false;
    std::function<void()> OnLinkHover;

    int SequenceNo = 10;
    TProperties* DefaultProps = nullptr;

    void Clear();
    // Inserts under key (after rules already stored under it) and writes the key into ElemTag.
    TProperties& AddObject(const std::string& key, std::unique_ptr<TProperties> props);
    // Adds a new TProperties whose 58 slots are copied from props.
    TProperties& AddDuplicate(const std::string& key, const TProperties& props);
    // One declaration of a sheet rule: name is a property name, value its lower-case text.
    void AddModifyProp(const std::string& key, std::string_view name, std::string_view value);
    // state: "link", "visited" or "hover".
    void SetLinkStateColor(std::string_view state, TColor colour);
    std::string NextSequence();

    void LoadDefaults(const std::string& fontName, const std::string& preFontName, double pointSize,
                      TColor textColour, TColor linkColour, TColor visitedColour, TColor hoverColour,
                      bool linkUnderline, int charset, int marginHeight, int marginWidth);

    // ---- the sorted list ----
    int Count() const { return int(FEntries.size()); }
    // The first rule stored under key, or nullptr.
    TProperties* Find(std::string_view key) const
    {
        auto it = FEntries.find(key);
        return it == FEntries.end() ? nullptr : it->second.get();
    }
    // Every rule stored under exactly key, in list order.
    template <typename F>
    void ForEachUnder(std::string_view key, F&& f) const
    {
        auto [from, to] = FEntries.equal_range(key);
        for (auto it = from; it != to; ++it)
            f(*it->second);
    }
    // Every rule in key order: f(key, props).
    template <typename F>
    void ForEach(F&& f) const
    {
        for (const auto& [key, props] : FEntries)
            f(key, *props);
    }

    // Splits a simple selector into tag, class, id and pseudo-class.
    static TSelectorPiece SplitPiece(std::string_view piece);

    // Link states derived before, by TProperties::LinkFontKey; forgotten whenever a rule changes.
    const TFontInfoArray* FindLinkFonts(const std::string& key) const
    {
        auto it = FLinkFonts.find(key);
        return it == FLinkFonts.end() ? nullptr : &it->second;
    }
    void RememberLinkFonts(const std::string& key, const TFontInfoArray& fonts);

private:
    friend class TProperties;

    // Keys compare ignoring ASCII letter case; rules under one key keep the order they were added in.
    struct KeyLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
    };
    // A rule with ancestors, kept apart so that an element looks up only the rules whose own selector
    // agrees with it, ordered by ancestor count, then order of appearance.
    struct ContextRule {
        std::string First;  // the element's own simple selector
        int AncestorCount = 0;
        long long Sequence = 0;
        int Order = 0;
        std::vector<TSelectorPiece> Pieces;  // [0] the element, then ancestors nearest first
        TProperties* Props = nullptr;
    };
    struct ContextLess {
        using is_transparent = void;
        bool operator()(const ContextRule& a, const ContextRule& b) const
        {
            int c = CompareText(a.First, b.First);
            if (c != 0)
                return c < 0;
            if (a.AncestorCount != b.AncestorCount)
                return a.AncestorCount < b.AncestorCount;
            if (a.Sequence != b.Sequence)
                return a.Sequence < b.Sequence;
            return a.Order < b.Order;
        }
        bool operator()(const ContextRule& a, std::string_view b) const { return CompareText(a.First, b) < 0; }
        bool operator()(std::string_view a, const ContextRule& b) const { return CompareText(a, b.First) < 0; }
    };

    void AddContextRule(const std::string& key, TProperties* props);
    TProperties* ModifyTarget(const std::string& key, std::unique_ptr<TProperties>& created);

    // Combine helpers.
    void ApplyKey(TProperties& p, std::string_view key) const;
    void ScanContextual(TProperties& p, std::string_view lookup, const TSelectorPiece& element, int stackIndex) const;

    std::multimap<std::string, std::unique_ptr<TProperties>, KeyLess> FEntries;
    std::set<ContextRule, ContextLess> FContext;
    int FContextOrder = 0;
    std::unordered_map<std::string, TFontInfoArray> FLinkFonts;
};
