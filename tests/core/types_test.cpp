// Attribute lookups, the text buffers, named positions, link data, selection sinks and image maps.

#include <gtest/gtest.h>

#include "core/attributes.h"
#include "core/charcollection.h"
#include "core/idobjects.h"
#include "core/mapitem.h"
#include "core/seltext.h"
#include "core/tokenobj.h"
#include "core/urltarget.h"

namespace {

std::unique_ptr<TAttribute> Attr(Symbol s, const std::string& name, const std::string& value, int num = 0)
{
    return std::make_unique<TAttribute>(s, 1251, value, name, num);
}

TEST(AttributeList, LookupsAnswerTheFirstAttributeAndKeysAreNormalised)
{
    TAttributeList list;
    list.Add(Attr(HrefSy, "HREF", "first"));
    list.Add(Attr(ClassSy, "CLASS", "  Warn   big Warn "));
    list.Add(Attr(HrefSy, "HREF", "second"));
    list.Add(Attr(IDSy, "ID", "Main"));
    list.Add(Attr(TitleSy, "TITLE", "Tip"));

    TAttribute* a = nullptr;
    ASSERT_TRUE(list.Lookup(HrefSy, a));
    EXPECT_EQ(a->StrValue, "first");
    EXPECT_FALSE(list.Lookup(SrcSy, a));
    EXPECT_EQ(list.ClassKey(), "big.warn");
    EXPECT_EQ(list.IdKey(), "main");
    EXPECT_EQ(list.TitleText(), "Tip");
    EXPECT_EQ(list.ToStringList(), (std::vector<std::string>{"HREF=first", "CLASS=  Warn   big Warn ",
                                                             "HREF=second", "ID=Main", "TITLE=Tip"}));

    list.Reset();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IdKey(), "");  // the cache went with the attributes
    list.Add(Attr(ClassSy, "CLASS", "Foo"));
    EXPECT_EQ(list.ClassKey(), "foo");
}

TEST(AttributeList, InlineStyleIsKeptUntilATagWithStyleReplacesIt)
{
    static int alive = 0;
    TAttributeList list;
    std::vector<std::string> parsed;
    list.StyleParser = [&](const std::string& text) {
        parsed.push_back(text);
        ++alive;
        // Any non-null object will do: the list only holds and frees it through the given deleter.
        return TOwnedProperties(reinterpret_cast<TProperties*>(new int(1)), [](TProperties* p) {
            --alive;
            delete reinterpret_cast<int*>(p);
        });
    };
    list.Add(Attr(StyleSy, "STYLE", "color: red"));
    TProperties* first = list.InlineStyle();
    ASSERT_NE(first, nullptr);
    list.Reset();
    list.Add(Attr(BSy, "B", ""));
    EXPECT_EQ(list.InlineStyle(), nullptr);
    EXPECT_EQ(list.HeldProperties(), first);  // not freed by a tag without STYLE
    EXPECT_EQ(alive, 1);
    list.Reset();
    list.Add(Attr(StyleSy, "STYLE", "x"));
    list.InlineStyle();
    EXPECT_EQ(alive, 1);  // the earlier properties were freed
    EXPECT_EQ(parsed, (std::vector<std::string>{"color: red", "x"}));
}

TEST(TextBuffers, GrowInStepsOfFiftyAndKeepSourceIndices)
{
    TokenObj t;
    EXPECT_EQ(t.Capacity(), 300);
    for (int i = 0; i < 300; ++i)
        t.AppendChar(char16_t('a' + i % 26), i * 2);
    EXPECT_EQ(t.Capacity(), 300);
    t.AppendChar(u'z', 7);
    EXPECT_EQ(t.Capacity(), 350);
    EXPECT_EQ(t.Text().size(), 301u);
    EXPECT_EQ(t.Text()[300], u'z');
    t.AppendChar(u'!', 8);
    EXPECT_EQ(t.Text().back(), u'!');  // the cache is rebuilt after an append
    EXPECT_EQ(t.IndexAt(299), 598);
    t.Reset();
    EXPECT_EQ(t.Count(), 0);
    EXPECT_TRUE(t.Text().empty());

    TCharCollection a, b;
    EXPECT_EQ(a.Capacity(), 300);
    for (int i = 0; i < 301; ++i)
        a.Append('x', i);
    EXPECT_EQ(a.Capacity(), 350);
    b.Append('y', 1000);
    b.Append('z', 1001);
    a.AppendCollection(b);
    EXPECT_EQ(a.Length(), 303);
    EXPECT_EQ(a.Bytes().substr(300), "xyz");
    EXPECT_EQ(a.Indices()[302], 1001);
}

TokenObj Convert(const std::string& bytes, int codePage, int firstIndex = 0)
{
    TCharCollection c;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        c.Append(bytes[i], firstIndex + int(i));
    TokenObj t;
    t.AppendBytes(c, codePage);
    return t;
}

std::vector<int> IndicesOf(const TokenObj& t)
{
    return std::vector<int>(t.Indices(), t.Indices() + t.Count());
}

TEST(TextBuffers, Utf8PairsEveryUnitWithTheFirstByteOfItsCharacter)
{
    TokenObj t = Convert("a\xC3\xA9", 65001);
    EXPECT_EQ(t.Text(), u"a\u00E9");
    EXPECT_EQ(IndicesOf(t), (std::vector<int>{0, 1}));

    // A four-byte character gives two units with the same index; the character after it is not shifted.
    t = Convert("\xF0\x9F\x98\x80" "a", 65001, 10);
    EXPECT_EQ(t.Text(), u"\U0001F600a");
    EXPECT_EQ(IndicesOf(t), (std::vector<int>{10, 10, 14}));

    // A lead byte followed by ASCII: one replacement for the lead byte, the ASCII keeps its own index.
    t = Convert("\xE2" "ab\xC3", 65001);
    EXPECT_EQ(t.Text(), u"\uFFFDab\uFFFD");
    EXPECT_EQ(IndicesOf(t), (std::vector<int>{0, 1, 2, 3}));
}

TEST(TextBuffers, DoubleBytePagesPairUnitsWithTheirLeadBytes)
{
    // Shift-JIS: "a", HIRAGANA A (82 A0), "b", and a lead byte cut off at the end.
    TokenObj t = Convert("a\x82\xA0" "b\x82", 932, 5);
    EXPECT_EQ(t.Text(), u"a\u3042b\uFFFD");
    EXPECT_EQ(IndicesOf(t), (std::vector<int>{5, 6, 8, 9}));
}

class FakeLocator : public TLineLocator {
public:
    bool FindLineOfCharPos(int charPos, int& y) override
    {
        if (charPos > 100)
            return false;
        y = charPos * 10;
        return true;
    }
};

class Other : public TIDObject {
public:
    int VerticalPos() override { return 77; }
};

TEST(IDNameList, NamesIgnoreCaseAndTheLaterEntryWins)
{
    FakeLocator locator;
    TIDNameList names(&locator);
    names.AddCharPos("Top", 5);
    names.AddCharPos("TOP", 9);
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(names.Strings(0), "TOP");
    EXPECT_EQ(names.Find("top")->VerticalPos(), 90);
    names.AddCharPos("far", 500);
    EXPECT_EQ(names.Find("FAR")->VerticalPos(), 0);  // no line holds it

    Other other;
    names.AddName("x", &other);
    names.AddCharPos("a", 1);
    EXPECT_EQ(names.Strings(0), "a");  // kept sorted
    names.AddCharPos("X", 3);          // replaces a foreign object without freeing it
    EXPECT_NE(names.Find("x"), &other);
    names.AddName("y", &other);
    names.RemoveObject(&other);
    EXPECT_EQ(names.IndexOf("y"), -1);
    names.Reset();
    EXPECT_EQ(names.Count(), 0);
    EXPECT_EQ(other.VerticalPos(), 77);
}

struct LinkRun {
    TUrlTarget Url;
};

TEST(UrlTarget, SetLinkNumbersLinksAndSetEndPosStopsAtAnotherLink)
{
    TAttributeList list;
    list.Add(Attr(HrefSy, "HREF", "a.html"));
    list.Add(Attr(TargetSy, "TARGET", "main"));
    TUrlTarget link;
    link.SetLink("a.html", "main", list, 12);
    const int id = link.ID;
    EXPECT_EQ(id, TUrlTarget::LastLinkId());
    EXPECT_EQ(link.StartPos(), 12);
    EXPECT_EQ(link.Attr, "HREF=a.html\r\nTARGET=main");

    TUrlTarget next;
    next.SetLink("b.html", "", list, 20);
    EXPECT_EQ(next.ID, id + 1);

    LinkRun runs[4];
    runs[0].Url.CopyFrom(link);
    runs[1].Url.CopyFrom(next);
    runs[2].Url.CopyFrom(next);
    runs[3].Url.CopyFrom(next);
    runs[1].Url.ID = id;  // an earlier link in between
    std::vector<LinkRun*> list2 = {&runs[0], &runs[1], &runs[2], &runs[3]};
    next.SetEndPos(list2, [](LinkRun* r) { return &r->Url; }, 40);
    EXPECT_EQ(next.EndPos(), 40);
    EXPECT_EQ(runs[3].Url.EndPos(), 40);
    EXPECT_EQ(runs[2].Url.EndPos(), 40);
    EXPECT_EQ(runs[1].Url.EndPos(), -1);
    EXPECT_EQ(runs[0].Url.EndPos(), -1);

    next.Reset();
    EXPECT_EQ(next.ID, 0);
    EXPECT_EQ(next.StartPos(), -1);
    EXPECT_TRUE(next.Url.empty());
    std::vector<LinkRun*> none;
    next.SetEndPos(none, [](LinkRun* r) { return &r->Url; }, 3);
    EXPECT_EQ(next.EndPos(), 3);
}

TEST(SelText, CounterNeverCountsLessThanTheCopierWrites)
{
    const char16_t text[] = u"ab\x08" "c\x02" "d\x04" "ef";
    SelTextCount count;
    count.PutLine(text, 9);
    EXPECT_EQ(count.Finish(), 7 + 2);  // a b 8 c d e f, CR LF

    char16_t buf[5];
    SelTextBuf copy(buf, 5);
    copy.Put(u"123456", 6);
    EXPECT_EQ(copy.Finish(), 5);
    EXPECT_EQ(std::u16string(buf), u"1234");

    char16_t big[20];
    SelTextBuf all(big, 20);
    all.Put(text, 9);
    EXPECT_EQ(all.Finish(), 7);
    EXPECT_EQ(std::u16string(big), u"abcdef");
}

std::unique_ptr<TAttributeList> AreaList(std::initializer_list<std::pair<Symbol, std::string>> attrs)
{
    auto list = std::make_unique<TAttributeList>();
    for (const auto& [s, v] : attrs)
        list->Add(Attr(s, "X", v));
    return list;
}
#define AreaAttrs(...) (*AreaList(__VA_ARGS__))

TEST(MapItem, ShapesHaveTheirEdgesAndTooFewNumbersAddNothing)
{
    TMapItem map;
    map.AddRegion(AreaAttrs({{ShapeSy, "CIRCLE"}, {CoordsSy, "10, 10, 5"}, {HrefSy, "c"}}));
    map.AddRegion(AreaAttrs({{ShapeSy, "poly"}, {CoordsSy, "1,2,3,4,5"}, {HrefSy, "p"}}));
    map.AddRegion(AreaAttrs({{CoordsSy, " 0 0,10 ,10 "}, {HrefSy, "r"}, {TitleSy, "T"}, {TargetSy, "f"}}));
    ASSERT_EQ(map.AreaCount(), 2);
    EXPECT_EQ(map.AreaAt(0).Region.Box, platform::MakeRect(5, 5, 16, 16));
    EXPECT_EQ(map.AreaAt(1).Region.Box, platform::MakeRect(0, 0, 11, 11));

    std::unique_ptr<TUrlTarget> url;
    std::string title;
    ASSERT_TRUE(map.HitTest(10, 10, url, title));
    EXPECT_EQ(url->Url, "c");
    EXPECT_FALSE(map.HitTest(5, 5, url, title) && url->Url == "c");  // box corner is outside the circle
    ASSERT_TRUE(map.HitTest(0, 10, url, title));
    EXPECT_EQ(url->Url, "r");
    EXPECT_EQ(url->Target, "f");
    EXPECT_EQ(title, "T");
    EXPECT_FALSE(map.HitTest(11, 0, url, title));  // right edge is outside

    TMapItem poly;
    poly.AddRegion(AreaAttrs({{ShapeSy, "polygon"}, {CoordsSy, "0,0 20,0 0,20 7"}, {HrefSy, "t"}}));
    ASSERT_EQ(poly.AreaCount(), 1);
    EXPECT_EQ(poly.AreaAt(0).Region.Points.size(), 3u);
    EXPECT_TRUE(poly.HitTest(2, 2, url, title));
    EXPECT_FALSE(poly.HitTest(15, 15, url, title));
}

TEST(MapItem, FirstAreaUnderThePointDecidesEvenWithoutHref)
{
    TMapItem map;
    map.AddRegion(AreaAttrs({{HrefSy, "x"}, {NoHrefSy, ""}, {CoordsSy, "0,0,10,10"}}));
    map.AddRegion(AreaAttrs({{HrefSy, "y"}, {CoordsSy, "0,0,20,20"}}));
    std::unique_ptr<TUrlTarget> url;
    std::string title;
    EXPECT_FALSE(map.HitTest(5, 5, url, title));
    EXPECT_TRUE(map.HitTest(15, 15, url, title));
    EXPECT_EQ(url->Url, "y");
}

TEST(MapItem, CoordinatesAndAreasAreBounded)
{
    EXPECT_EQ(ParseCoords("1,x,3"), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ(ParseCoords("99999999999999999999,2147483647,-5"), (std::vector<int>{0, 0, -5}));
    EXPECT_EQ(ParseCoords("123456789012345678901234"), (std::vector<int>{0}));
    std::string many;
    for (int i = 0; i < 400; ++i)
        many += "1,";
    EXPECT_EQ(ParseCoords(many).size(), 301u);

    TMapItem map;
    for (int i = 0; i < 1005; ++i)
        map.AddRegion(AreaAttrs({{CoordsSy, "0,0,1,1"}, {HrefSy, "h"}}));
    EXPECT_EQ(map.AreaCount(), 1000);
    // A circle at the limit of the coordinates neither overflows nor allocates per pixel.
    TMapItem huge;
    huge.AddRegion(AreaAttrs({{ShapeSy, "circ"}, {CoordsSy, "1000000,1000000,1000000"}, {HrefSy, "h"}}));
    std::unique_ptr<TUrlTarget> url;
    std::string title;
    EXPECT_TRUE(huge.HitTest(1000000, 1000000, url, title));
}

}  // namespace

namespace {

TEST(Symbols, TablesGiveTheFixedNumbers)
{
    EXPECT_EQ(LookupStartTag("P"), PSy);
    EXPECT_EQ(int(LookupEndTag("P")), 5);
    EXPECT_EQ(int(LookupStartTag("OBJECT")), 214);
    EXPECT_EQ(int(LookupEndTag("OBJECT")), 215);
    EXPECT_EQ(LookupEndTag("LI"), OtherSy);  // start tag only
    EXPECT_EQ(LookupEndTag("BR"), OtherSy);
    EXPECT_EQ(LookupStartTag("p"), OtherSy);  // names arrive upper-cased
    EXPECT_EQ(int(LookupStartTag("READONLY")), 217);
    EXPECT_EQ(LookupAttribute("READONLY"), LookupStartTag("READONLY"));
    EXPECT_EQ(LookupAttribute("TITLE"), TitleSy);
    EXPECT_EQ(LookupAttribute("TEXT"), TextSy);
    EXPECT_EQ(int(LookupAttribute("HTTP-EQUIV")), 171);
    EXPECT_EQ(int(LookupAttribute("LEFTMARGIN")), 205);
    EXPECT_EQ(LookupAttribute("ONMOUSEOVER"), OtherAttribute);
    EXPECT_EQ(int(EolSy), 218);
    EXPECT_EQ(SymbolName(PEndSy), "/P");
    EXPECT_EQ(SymbolName(HrefSy), "HREF=");
    EXPECT_EQ(SymbolName(SpanSy), "SPAN");
    EXPECT_EQ(SymbolName(Symbol(68)), "(unused 68)");
}

}  // namespace
