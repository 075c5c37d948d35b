#pragma once
// The attributes of the tag just read, and the lookups the builder makes on them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/freelist.h"
#include "core/symbols.h"

class TProperties;

// One attribute of one tag; immutable after construction.
class TAttribute {
public:
    TAttribute(Symbol sym, int codePage, std::string strValue, std::string attrName, int numValue)
        : Sym(sym), AttrName(std::move(attrName)), NumValue(numValue), StrValue(std::move(strValue)),
          CodePage(codePage)
    {
    }

    const Symbol Sym;            // OtherAttribute for a name the reader does not know
    const std::string AttrName;  // as read, upper case
    const int NumValue;
    const std::string StrValue;  // character references already decoded
    const int CodePage;          // the document's code page when the attribute was read
};

// The properties parsed from a STYLE attribute. The reader does not link the style code, so the style
// side hands over the deleter together with the object.
using TPropertiesDeleter = void (*)(TProperties*);
using TOwnedProperties = std::unique_ptr<TProperties, TPropertiesDeleter>;
// Parses the text of a STYLE attribute into new properties (the inline-style parser of the style code).
using TInlineStyleParser = std::function<TOwnedProperties(const std::string& styleText)>;

class TAttributeList : public TFreeList<TAttribute> {
public:
    TAttributeList();
    ~TAttributeList() override;

    // Set by whoever builds documents; without it InlineStyle answers nothing.
    TInlineStyleParser StyleParser;

    // Clears the cached ID and frees every attribute; the held inline properties stay.
    void Reset();
    // The first attribute, in source order, with the symbol; nullptr when there is none.
    TAttribute* Find(Symbol sym) const;
    bool Lookup(Symbol sym, TAttribute*& attr) const
    {
        attr = Find(sym);
        return attr != nullptr;
    }
    // One "NAME=value" entry per attribute, in source order.
    std::vector<std::string> ToStringList() const;
    // The CLASS value as a style key: lower case, several classes sorted and joined by ".".
    std::string ClassKey() const;
    // The lower-cased ID value (cached until Reset); empty when there is none.
    std::string IdKey();
    // The TITLE value, or empty.
    std::string TitleText() const;
    // The parsed STYLE attribute of this tag (owned by the list), or nullptr when the tag has none; the
    // properties of an earlier tag are kept until a later tag with a STYLE attribute replaces them.
    TProperties* InlineStyle();
    TProperties* HeldProperties() const { return FProps.get(); }

private:
    TOwnedProperties FProps;
    std::string FIdKey;
};

// Joins the lines of a string list with CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
