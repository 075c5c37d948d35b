// Character references in text (with the position of their '&') and in attribute values (as bytes of
// the document's code page).

#include <gtest/gtest.h>

#include "reader/entities.h"
#include "scan_helpers.h"

namespace {

TEST(EntityTable, HoldsTheHtml4SetPlusApos)
{
    EXPECT_EQ(EntityCount(), 253);
    EXPECT_EQ(LookupEntity("amp"), 38);
    EXPECT_EQ(LookupEntity("AMP"), -1);
    EXPECT_EQ(LookupEntity("Aacute"), 193);
    EXPECT_EQ(LookupEntity("aacute"), 225);
    EXPECT_EQ(LookupEntity("apos"), 8217);
    EXPECT_EQ(LookupEntity("thetasym"), 977);
    EXPECT_EQ(LookupEntity("zwnj"), 8204);
    EXPECT_EQ(LookupEntity("euro"), 8364);
    EXPECT_EQ(LookupEntity(""), -1);
}

TEST(EntitiesInText, EveryFormDecodesWithThePositionOfItsAmpersand)
{
    struct Case {
        const char* Source;
        std::u16string Text;
    } cases[] = {
        {"&amp;", u"&"},
        {"&AMP;", u"&AMP;"},
        {"&#65;", u"A"},
        {"&#x41;", u"A"},
        {"&#X41", u"A"},
        {"&#150;", u"\u2013"},  // read through the page (1251)
        {"&#8211;", u"\u2013"},
        {"&apos;", u"\u2019"},
        {"&copy", u"\u00A9"},
        {"&nbsp;x", u"\u00A0x"},
        {"&#xZ", u"&xZ"},
        {"&#;", u"&;"},
        {"&#9;", u" "},
        {"&#1;", u"?"},
        {"&#0;", u"?"},
        {"&#128512;", u"\U0001F600"},
        {"&#xD800;", u"\uFFFD"},
        {"&#99999999999999999999;", u"\uFFFD"},
        {"&#x7FFFFFFFFFFF;", u"\uFFFD"},
        {"&unknownentity;", u"&unknownentity;"},
        {"& b", u"& b"},
        {"&;", u"&;"},
    };
    for (const Case& c : cases) {
        ScanResult r = Scan(std::string("x") + c.Source);
        EXPECT_EQ(r.Text(), u"x" + c.Text) << c.Source;
        ASSERT_GE(r.Indices().size(), 2u) << c.Source;
        EXPECT_EQ(r.Indices()[1], 1) << c.Source;  // the first decoded character stands at the '&'
    }
}

TEST(EntitiesInText, PositionsAfterAReferenceStayExact)
{
    ScanResult r = Scan("a&amp;b&#128512;c&bogus;d");
    EXPECT_EQ(r.Text(), u"a&b\U0001F600c&bogus;d");
    EXPECT_EQ(r.Indices(), (std::vector<int>{0, 1, 6, 7, 7, 16, 17, 18, 19, 20, 21, 22, 23, 24}));
}

TEST(EntitiesInValues, DecodeToBytesOfTheDocumentCodePage)
{
    ScanResult r = Scan("<a title=\"&#8364;&amp;&euro&euro;&#150;&#x41;&AMP;&#;&#xq&#1046;&#128512;&copy\" "
                        "alt=x&lt;y&#9;z&#2;>");
    const auto& a = r.Tokens[0].Attrs;
    EXPECT_EQ(a[0].Value, "\x88&&euro\x88\x96" "A&AMP;&#;&#xq\xC6?\xA9");
    EXPECT_EQ(a[1].Value, "x<y z?");

    // A UTF-8 document (byte-order mark) gets UTF-8 bytes.
    r = Scan("\xEF\xBB\xBF<p title='&#1046;&euro;'>");
    EXPECT_EQ(r.Tokens[0].Attrs[0].Value, "\xD0\x96\xE2\x82\xAC");
    EXPECT_EQ(r.Tokens[0].Attrs[0].CodePage, 65001);
}

TEST(EntitiesInValues, NarrowDecoderServesRawReaders)
{
    THtmlScanner s;
    s.StartParse("&eacute;&#8364;&zz", 1251);
    s.ReadChar();
    EXPECT_EQ(s.DecodeEntityNarrow(1252), "\xE9");
    EXPECT_EQ(s.DecodeEntityNarrow(0), "\x88");  // the system page
    EXPECT_EQ(s.DecodeEntityNarrow(0), "&zz");
    EXPECT_EQ(s.Ch, 0);
}

}  // namespace
