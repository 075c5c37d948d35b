// Elements the builder hands to readers of their own: META (character sets and the meta event), LINK
// (linked style sheets), SCRIPT (text for the host), client-side image maps, OBJECT, and the content of
// SELECT and TEXTAREA, which never becomes page text.

#include <algorithm>

#include "layout/panelobj.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "reader/builder.h"

#include "layout/panelobj.h"
#include "core/mapitem.h"
#include "style/conversions.h"
#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

struct CharsetName {
    const char* Name;
    int Charset;
};

// Searched in this order: the first fragment found anywhere in the text decides ("iso-8859-15" thus
// finds "8859-1").
constexpr CharsetName CharsetNames[] = {
    {"1252", 0},       {"8859-1", 0},      {"1253", 161},      {"8859-7", 161},     {"1250", 238},
    {"8859-2", 31},    {"1251", 204},      {"8859-5", 204},    {"koi", 204},        {"866", 204},
    {"1254", 162},     {"8859-3", 162},    {"8859-9", 162},    {"1257", 186},       {"8859-4", 186},
    {"932", 128},      {"949", 129},       {"936", 134},       {"950", 136},        {"1255", 177},
    {"1256", 178},     {"1258", 163},      {"874", 222},       {"ansi", 0},         {"default", 1},
    {"symbol", 2},     {"shiftjis", 128},  {"shift_jis", 128}, {"x-sjis", 128},     {"hangeul", 129},
    {"gb2312", 134},   {"big5", 136},      {"oem", 255},       {"johab", 130},      {"hebrew", 177},
    {"arabic", 178},   {"greek", 161},     {"turkish", 162},   {"vietnamese", 163}, {"thai", 222},
    {"easteurope", 238}, {"russian", 204}, {"euc-kr", 129},    {"5601", 129},       {"euc-jp", 30},
    {"8859-15", 0},
};
static_assert(std::size(CharsetNames) == 46);

std::string AttrText(const TAttributeList& attrs, Symbol sy)
{
    TAttribute* a = attrs.Find(sy);
    return a ? a->StrValue : std::string();
}

// The folder of an address: up to its last "/" after the host part, without the query.
std::string UrlFolder(std::string url)
{
    std::size_t q = url.find('?');
    if (q != std::string::npos)
        url.erase(q);
    std::size_t hostStart = url.find("://");
    hostStart = hostStart == std::string::npos ? 0 : hostStart + 3;
    std::size_t slash = url.rfind('/');
    if (slash == std::string::npos || slash < hostStart)
        return url + "/";
    return url.substr(0, slash + 1);
}

// A linked sheet is for the screen when its MEDIA list is absent or empty, or names "screen" or "all".
bool LinkMediaForScreen(const TAttributeList& attrs)
{
    for (const auto& a : attrs) {
        if (a->AttrName != "MEDIA")
            continue;
        const std::string media = LowerCase(a->StrValue);
        if (Contains(media, "screen"))
            return true;
        bool empty = true;
        std::size_t start = 0;
        while (start <= media.size()) {
            const std::size_t comma = media.find(',', start);
            const std::size_t length = comma == std::string::npos ? std::string::npos : comma - start;
            const std::string medium = platform::TrimBlanks(media.substr(start, length));
            if (medium == "all")
                return true;
            empty = empty && medium.empty();
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
        return empty;
    }
    return true;
}

}  // namespace

bool CharsetLookup(const std::string& text, int& charset)
{
    const std::string lower = LowerCase(text);
    for (const CharsetName& entry : CharsetNames)
        if (lower.find(entry.Name) != std::string::npos) {
            charset = entry.Charset;
            return true;
        }
    return false;
}

bool THtmlBuilder::ApplyCharsetDeclaration(const std::string& text)
{
    int charset = 0;
    bool found = true;
    if (CharsetLookup(text, charset)) {
        if (charset == 30) {
            Sc.ConvertEucJp();
            charset = 128;
        }
        Top().AssignCharset(charset);
    } else if (Contains(LowerCase(text), "utf-8")) {
        Top().AssignUTF8();
    } else {
        found = false;
    }
    Sc.DocCodePage = Top().CodePage;
    return found;
}

namespace {

// The text of a META tag that names its character set: the content of a content-type declaration, else
// the CHARSET attribute (the short form pages use today); empty when the tag declares none.
std::string MetaCharsetText(const TAttributeList& attrs, bool& present)
{
    present = true;
    if (SameText(AttrText(attrs, HttpEqSy), "content-type"))
        return AttrText(attrs, ContentSy);
    if (const TAttribute* charset = attrs.Find(CharSetSy))
        return charset->StrValue;
    present = false;
    return {};
}

bool NamesCharset(const std::string& text)
{
    int charset = 0;
    return CharsetLookup(text, charset) || Contains(LowerCase(text), "utf-8");
}

}  // namespace

bool THtmlBuilder::MetaDeclaresCharset() const
{
    bool present = false;
    const std::string text = MetaCharsetText(*Sc.Attributes(), present);
    return present && NamesCharset(text);
}

void THtmlBuilder::ReadXmlDeclaration()
{
    if (!Sc.Utf8Fixed && Host.IsViewer && !Sc.XmlEncoding.empty())
        ApplyCharsetDeclaration(Sc.XmlEncoding);
}

// A page without a byte-order mark and without a declaration before its first text is read as UTF-8 when
// its bytes are UTF-8 with at least one multi-byte character. Windows-1251 text is practically never
// valid UTF-8: its letters are bytes C0..FF, and a lead byte C2..DF must be followed by a byte 80..BF,
// which a 1251 letter never is, so the first Cyrillic word of such a page fails the test. A declaration
// later in the page still switches the character set where it stands.
void THtmlBuilder::TakeUndeclaredUtf8(bool declaredBeforeText)
{
    if (Sc.Utf8Fixed || Sc.JapaneseConverted || !Host.IsViewer || declaredBeforeText)
        return;
    if (!Sc.XmlEncoding.empty() && NamesCharset(Sc.XmlEncoding))
        return;
    if (Top().CodePage == platform::CP_UTF8 || !Sc.DocumentLooksUtf8())
        return;
    Top().AssignUTF8();
    Sc.DocCodePage = Top().CodePage;
}

void THtmlBuilder::DoMeta()
{
    TAttributeList& attrs = *Sc.Attributes();
    const std::string httpEq = AttrText(attrs, HttpEqSy);
    const std::string name = AttrText(attrs, NameSy);
    const std::string content = AttrText(attrs, ContentSy);
    bool present = false;
    const std::string declared = MetaCharsetText(attrs, present);
    if (!Sc.Utf8Fixed && Host.IsViewer && present)
        ApplyCharsetDeclaration(declared);
    if (Host.OnMeta)
        Host.OnMeta(httpEq, name, content);
    Next();
}

void THtmlBuilder::DoLinkElement()
{
    TAttributeList& attrs = *Sc.Attributes();
    const std::string href = AttrText(attrs, HrefSy);
    const std::string rel = AttrText(attrs, RelSy);
    const std::string rev = AttrText(attrs, RevSy);
    if (SameText(rel, "stylesheet") && !href.empty() && LinkMediaForScreen(attrs)) {
        try {
            std::string sheet;
            std::string base;
            bool have = false;
            auto readFile = [&](const std::string& file) {
                if (!file.empty() && platform::FileExists(file)) {
                    sheet = platform::ReadFileString(file);
                    base = platform::ExtractFilePath(file);
                    have = true;
                }
            };
            if (Host.OnStreamRequest) {
                std::string name = href;
                if (Host.ExpandName) {
                    name = Host.ExpandName(href);
                    base = UrlFolder(name);
                }
                have = Host.OnStreamRequest(name, sheet);
                if (!have && !Host.ExpandName && Host.HtmlExpandFilename)
                    readFile(Host.HtmlExpandFilename(href));
            } else if (Host.HtmlExpandFilename) {
                readFile(Host.HtmlExpandFilename(href));
            }
            if (have && !sheet.empty())
                ParseStyleSheetText(*MasterList->Styles, sheet, base);
        } catch (const std::exception&) {
            // A sheet that cannot be read or parsed is left out; the page still shows.
        }
    }
    if (Host.OnLink)
        Host.OnLink(rel, rev, href);
    Next();
}

void THtmlBuilder::DoScript()
{
    // The current character is the ">" of the SCRIPT tag.
    TAttributeList& attrs = *Sc.Attributes();
    const std::string language = AttrText(attrs, LanguageSy);
    const std::string name = AttrText(attrs, NameSy);
    Sc.RawMode = true;
    std::string content;
    std::string lowered;
    bool ended = false;
    for (Sc.RawChar(); Sc.Ch != 0; Sc.RawChar()) {
        const char c = char(Sc.Ch);
        if (c == '\r') {
            content += "\r\n";
            lowered += "\r\n";
            continue;
        }
        content += c;
        lowered += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if (c == '>') {
            // "</script" with at most six more characters before this ">".
            const std::size_t from = lowered.size() > 15 ? lowered.size() - 15 : 0;
            std::size_t p = lowered.rfind("</script", std::string::npos);
            if (p != std::string::npos && p >= from && lowered.size() - 1 - (p + 8) <= 6) {
                content.erase(p);
                ended = true;
                break;
            }
        }
    }
    Sc.RawMode = false;
    if (ended)
        Sc.ReadChar();
    if (Host.OnScript)
        Host.OnScript(name, language, content);
}

void THtmlBuilder::DoMap(bool readNext)
{
    auto map = std::make_unique<TMapItem>();
    map->MapName = platform::UpperAscii(AttrText(*Sc.Attributes(), NameSy));
    int others = 0;
    bool closed = false;
    for (;;) {
        Next();
        const Symbol sy = Sc.Sy;
        if (sy == MapEndSy) {
            closed = true;
            break;
        }
        if (sy == EofSy)
            break;
        if (sy == AreaSy) {
            map->AddRegion(*Sc.Attributes());
        } else if (sy != TextSy) {
            if (others == 3)
                break;
            ++others;
        }
    }
    if (closed)
        MasterList->Maps.Add(std::move(map));
    if (readNext)
        Next();
}

void THtmlBuilder::DoObject(bool inPre)
{
    // Without a host that fills panels the tag is ignored and its fallback content read as content.
    if (!Host.OnObjectTag) {
        if (!inPre)
            Next();
        return;
    }
    TAttributeList& attrs = *Sc.Attributes();
    const std::vector<std::string> attributes = attrs.ToStringList();
    const int tagStart = Sc.TagStartPos;
    EnsureSection();
    Push("object", "");
    auto panel = std::make_unique<TPanelObj>(MasterList, false, &attrs);
    panel->TakeStyle(Top());
    // The PARAM tags that follow, each "NAME=VALUE" (or "NAME" without a value); the place before each
    // token is kept, so that inside PRE the token that ends the list can be read again as characters.
    std::vector<std::string> params;
    auto blankText = [this] {
        for (int i = 0; i < Sc.Token.Count(); ++i)
            if (Sc.Token.CharAt(i) != u' ')
                return false;
        return true;
    };
    TScanPlace before = Sc.SavePlace();
    Next();
    while (Sc.Sy == ParamSy || (Sc.Sy == TextSy && blankText())) {
        if (Sc.Sy == ParamSy) {
            const TAttributeList& p = *Sc.Attributes();
            if (const TAttribute* name = p.Find(NameSy)) {
                std::string entry = name->StrValue;
                if (const TAttribute* value = p.Find(ValueSy))
                    entry += "=" + value->StrValue;
                params.push_back(std::move(entry));
            }
        }
        before = Sc.SavePlace();
        Next();
    }
    bool wantPanel = false;
    Host.OnObjectTag(panel->Panel.get(), attributes, params, wantPanel);
    if (wantPanel) {
        OpenInline();
        Section->AddObject(std::move(panel), tagStart);
        PopTag("object");
        while (Sc.Sy != ObjectEndSy && Sc.Sy != EofSy)
            Next();
        return;
    }
    panel.reset();  // leaves the root's panel list and tells the host
    PopTag("object");
    if (inPre)
        Sc.RestorePlace(before);
}
