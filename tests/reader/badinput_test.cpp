// Hostile and broken input: everything scans to an end, in time proportional to the input, with every
// character paired with a source index inside the document.

#include <gtest/gtest.h>

#include <random>

#include "scan_helpers.h"

namespace {

// Scans without keeping the tokens; answers the number of tokens and checks every text index.
struct Summary {
    long long Tokens = 0;
    long long TextTokens = 0;
    long long Chars = 0;
    bool ReachedEnd = false;
    std::string Error;
};

Summary ScanSummary(std::string doc, int codePage = 1251)
{
    const long long size = (long long)doc.size();
    Summary sum;
    THtmlScanner s;
    s.StartParse(std::move(doc), codePage);
    try {
        s.ReadChar();
        do {
            s.Next();
            ++sum.Tokens;
            if (s.Sy == TextSy) {
                ++sum.TextTokens;
                sum.Chars += s.Token.Count();
                for (int i = 0; i < s.Token.Count(); ++i) {
                    const int index = s.Token.IndexAt(i);
                    if (index < 0 || index >= size) {
                        ADD_FAILURE() << "index " << index << " outside the document";
                        return sum;
                    }
                }
            }
        } while (s.Sy != EofSy);
        sum.ReachedEnd = true;
    } catch (const EParseError& e) {
        sum.Error = e.what();
    }
    return sum;
}

TEST(BadInput, FiveMegabytesOfLessThanSigns)
{
    Summary s = ScanSummary(std::string(5 * 1024 * 1024, '<'));
    EXPECT_EQ(s.TextTokens, 5 * 1024 * 1024);  // each '<' is a text token of its own
    EXPECT_TRUE(s.Error.empty());
}

TEST(BadInput, UnterminatedCommentsQuotesAndDeclarations)
{
    Summary c = ScanSummary("<p>text<!--" + std::string(1 << 20, 'x'));
    EXPECT_EQ(c.Error, "Open Comment at End of HTML File");
    EXPECT_EQ(c.Chars, 4);

    ScanResult q = Scan("<img alt='" + std::string(1 << 20, 'y'));
    ASSERT_EQ(q.Tokens.size(), 2u);
    EXPECT_EQ(q.Tokens[0].Attrs[0].Value.size(), std::size_t(1 << 20));
    EXPECT_EQ(q.Tokens[1].Sy, EofSy);

    EXPECT_EQ(ScanSummary("<!DOCTYPE" + std::string(100000, ' ')).Error, "Open Comment at End of HTML File");
}

TEST(BadInput, MegabyteAttributeValuesAndNames)
{
    const std::string big(1 << 20, 'v');
    ScanResult r = Scan("<a href=\"" + big + "\" title=" + big + " " + std::string(1 << 20, 'n') + "=1>t");
    ASSERT_EQ(r.Tokens[0].Attrs.size(), 3u);
    EXPECT_EQ(r.Tokens[0].Attrs[0].Value, big);
    EXPECT_EQ(r.Tokens[0].Attrs[1].Value, big);
    EXPECT_EQ(r.Tokens[0].Attrs[2].Sym, OtherAttribute);
    EXPECT_EQ(r.Text(), u"t");
}

TEST(BadInput, AHundredThousandNestedUnknownTags)
{
    std::string doc;
    for (int i = 0; i < 100000; ++i)
        doc += "<x" + std::to_string(i) + " a=b>";
    doc += "deep";
    for (int i = 0; i < 100000; ++i)
        doc += "</x>";
    Summary s = ScanSummary(doc);
    EXPECT_EQ(s.Tokens, 200000 + 2);
    EXPECT_EQ(s.Chars, 4);
}

TEST(BadInput, LongRunsOfTextAndReferences)
{
    // One text run of two million characters: the buffers grow without quadratic copying.
    Summary s = ScanSummary(std::string(2 * 1000 * 1000, 'a'));
    EXPECT_EQ(s.Chars, 2 * 1000 * 1000);
    Summary refs = ScanSummary([] {
        std::string d;
        for (int i = 0; i < 100000; ++i)
            d += "&#x&#&amp&#99999999999999999999999&zzzzzzzzzzzzzzzzz ";
        return d;
    }());
    EXPECT_TRUE(refs.Error.empty());
    EXPECT_GT(refs.Chars, 100000);
}

TEST(BadInput, RandomBytesUnderEveryKindOfPage)
{
    std::mt19937 rng(12345);
    for (int codePage : {1251, 65001, 932, 950}) {
        for (int round = 0; round < 20; ++round) {
            std::string doc(20000, '\0');
            for (char& c : doc) {
                unsigned v = rng() % 64;
                // Mostly markup characters and high bytes, so that tags, references and comments occur.
                static const char markup[] = "<>&#;=\"' !-/%xXaA0\r\n\t";
                c = v < sizeof markup - 1 ? markup[v] : char(rng() % 256);
                if (c >= 1 && c <= 8)
                    c = 'q';
            }
            Summary s = ScanSummary(doc, codePage);
            EXPECT_TRUE(s.ReachedEnd || !s.Error.empty());
        }
    }
}

TEST(BadInput, FilesCutInTheMiddleOfACharacter)
{
    ScanResult u = Scan("\xEF\xBB\xBF<b>\xD0\x96\xE2\x82");
    EXPECT_EQ(u.Text(), u"\u0416\uFFFD\uFFFD");
    EXPECT_EQ(u.Indices(), (std::vector<int>{6, 8, 9}));
    ScanResult j = Scan("\x82\xA0\x82", 932);
    EXPECT_EQ(j.Text(), u"\u3042\uFFFD");
    EXPECT_EQ(j.Indices(), (std::vector<int>{0, 2}));
    // JIS escape cut off at the end, and a JIS document ending in the middle of a pair.
    EXPECT_EQ(Scan("a\x1B$B$").Text().size(), 2u);
    EXPECT_TRUE(Scan("\x1B$B\x1B").Error.empty());
}

}  // namespace
