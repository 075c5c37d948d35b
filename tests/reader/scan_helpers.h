#pragma once
// Runs the scanner over a string and records every token, so tests can assert on whole streams.

#include <string>
#include <vector>

#include "reader/scanner.h"

struct ScannedAttr {
    Symbol Sym;
    std::string Name;
    std::string Value;
    int Num;
    int CodePage;
};

struct ScannedToken {
    Symbol Sy;
    int Level = 0;
    int TagStart = 0;
    std::vector<ScannedAttr> Attrs;
    std::u16string Text;
    std::vector<int> Indices;

    const ScannedAttr* Attr(Symbol s) const
    {
        for (const auto& a : Attrs)
            if (a.Sym == s)
                return &a;
        return nullptr;
    }
};

struct ScanResult {
    std::vector<ScannedToken> Tokens;
    std::string Error;  // message of an EParseError that ended the scan

    // The text of all text tokens joined.
    std::u16string Text() const
    {
        std::u16string t;
        for (const auto& k : Tokens)
            if (k.Sy == TextSy)
                t += k.Text;
        return t;
    }
    std::vector<int> Indices() const
    {
        std::vector<int> v;
        for (const auto& k : Tokens)
            if (k.Sy == TextSy)
                v.insert(v.end(), k.Indices.begin(), k.Indices.end());
        return v;
    }
    // Symbols other than text and the end of input.
    std::vector<Symbol> Tags() const
    {
        std::vector<Symbol> v;
        for (const auto& k : Tokens)
            if (k.Sy != TextSy && k.Sy != EofSy)
                v.push_back(k.Sy);
        return v;
    }
};

inline void Record(THtmlScanner& s, ScanResult& r)
{
    ScannedToken t;
    t.Sy = s.Sy;
    t.Level = s.HeadingLevel;
    t.TagStart = s.TagStartPos;
    if (s.Sy == TextSy) {
        t.Text = s.Token.Text();
        t.Indices.assign(s.Token.Indices(), s.Token.Indices() + s.Token.Count());
    } else if (s.Sy != EofSy) {
        for (const auto& a : *s.Attributes())
            t.Attrs.push_back({a->Sym, a->AttrName, a->StrValue, a->NumValue, a->CodePage});
    }
    r.Tokens.push_back(std::move(t));
}

// Scans to the end of input (or the first parse error); the scanner may be prepared by the caller.
inline ScanResult ScanWith(THtmlScanner& s, std::string doc, int codePage = 1251)
{
    ScanResult r;
    s.StartParse(std::move(doc), codePage);
    try {
        s.ReadChar();
        do {
            s.Next();
            Record(s, r);
        } while (s.Sy != EofSy);
    } catch (const EParseError& e) {
        r.Error = e.what();
    }
    return r;
}

inline ScanResult Scan(std::string doc, int codePage = 1251)
{
    THtmlScanner s;
    return ScanWith(s, std::move(doc), codePage);
}
