// How a page's character set is found: <meta charset>, the content-type META, the XML declaration, the
// byte-order mark, and UTF-8 pages that declare nothing; the shipped Windows-1251 pages read as before.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "layout/blocks.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "reader/builder.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::u16string& text) { return platform::WideToMultiByte(platform::CP_UTF8, text); }

// The text of every section without its trailing blanks, in document order, separated by "|".
void CollectText(const TCellBasic& cell, std::string& out)
{
    for (const auto& item : cell) {
        if (auto* block = dynamic_cast<TBlock*>(item.get())) {
            CollectText(*block->MyCell, out);
        } else if (auto* section = dynamic_cast<TSection*>(item.get()); section && !section->Text.empty()) {
            std::u16string text = section->Text;
            while (!text.empty() && text.back() == u' ')
                text.pop_back();  // the blank a section ends with
            if (!out.empty())
                out += '|';
            out += Utf8(text);
        }
    }
}

class CharsetTest : public ::testing::Test {
protected:
    CharsetTest() : Root(nullptr, nullptr) {}

    // Builds the page with the viewer's defaults (the default character set is the system's, 1251) and
    // answers its text as UTF-8.
    std::string Text(const std::string& html)
    {
        Root.Clear();
        Root.SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                      platform::DEFAULT_CHARSET, 5, 10);
        Builder.ParseHtml(html, Root, Host);
        std::string out;
        CollectText(Root, out);
        return out;
    }

    TSectionList Root;
    THtmlBuilder Builder;
    THtmlHost Host;
};

// "Книга — it’s" in UTF-8, and the same words in Windows-1251 where they exist there.
const std::string BookUtf8 = "\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0 \xE2\x80\x94 it\xE2\x80\x99s";
const std::string Book = "Книга — it’s";
const std::string Book1251 = "\xCA\xED\xE8\xE3\xE0 \x97 it\x92s";

TEST_F(CharsetTest, MetaCharsetReadsLikeTheContentTypeDeclaration)
{
    // The byte FF at the end makes the page invalid UTF-8: only the declaration can select UTF-8 here.
    EXPECT_EQ(Text("<html><head><meta charset=\"utf-8\"></head><body><p>" + BookUtf8 + "</p>x\xFF"),
              Book + "|x\xEF\xBF\xBD");
    for (const char* meta : {"<META CHARSET='UTF-8'>", "<meta charset = ' utf-8 ' >", "<meta charset=Utf-8>",
                             "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"})
        EXPECT_EQ(Text(std::string(meta) + "<p>" + BookUtf8 + "\xFF"), Book + "\xEF\xBF\xBD") << meta;
    // Any charset of the lookup: ISO-8859-1 reads E9 as é where 1251 reads й.
    EXPECT_EQ(Text("<meta charset=iso-8859-1><p>caf\xE9"), "café");
    EXPECT_EQ(Text("<p>caf\xE9"), "cafй");
    // A meta without a character set changes nothing and is still reported.
    std::string reported;
    Host.OnMeta = [&](const std::string& eq, const std::string& name, const std::string& content) {
        reported += "[" + eq + "," + name + "," + content + "]";
    };
    EXPECT_EQ(Text("<meta charset=utf-8><meta name=author content=x><p>caf\xE9"), "caf\xEF\xBF\xBD");
    EXPECT_EQ(reported, "[,,][,author,x]");
}

TEST_F(CharsetTest, AByteOrderMarkWinsOverEveryDeclaration)
{
    EXPECT_EQ(Text("\xEF\xBB\xBF<meta charset=windows-1251><p>" + BookUtf8), Book);
    EXPECT_EQ(Text("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1251\"?><p>" + BookUtf8), Book);
}

TEST_F(CharsetTest, TheXmlDeclarationGivesTheCharacterSet)
{
    const std::string page = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                             "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"x.dtd\">\n"
                             "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head>"
                             "<body><p>caf\xE9 cr\xE8me</p></body></html>";
    EXPECT_EQ(Text(page), "café crème");
    EXPECT_EQ(Text("<?xml version='1.0' encoding='UTF-8' ?><p>" + BookUtf8 + "\xFF"), Book + "\xEF\xBF\xBD");
    // Not at the very start, or without an encoding: no declaration.
    EXPECT_EQ(Text(" <?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><p>caf\xE9"), "cafй");
    EXPECT_EQ(Text("<?xml version=\"1.0\"?><p>caf\xE9"), "cafй");
    // A META further on switches the character set where it stands.
    EXPECT_EQ(Text("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><p>\xE9</p><meta charset=windows-1251><p>\xE9"),
              "é|й");
}

TEST_F(CharsetTest, UndeclaredUtf8IsReadAsUtf8)
{
    EXPECT_EQ(Text("<html><body><p>" + BookUtf8 + "</p></body></html>"), Book);
    // Undeclared Windows-1251 Cyrillic text stays 1251.
    EXPECT_EQ(Text("<html><body><p>" + Book1251 + "</p></body></html>"), Book);
    // ASCII alone has nothing to tell; an entity is no multi-byte character.
    EXPECT_EQ(Text("<p>plain &eacute;"), "plain é");
}

TEST_F(CharsetTest, ADeclarationWinsOverTheBytes)
{
    // UTF-8 bytes declared as windows-1251 read as 1251 ("Кн" becomes "РљРЅ").
    EXPECT_EQ(Text("<meta http-equiv=Content-Type content=\"text/html; charset=windows-1251\"><p>"
                   "\xD0\x9A\xD0\xBD"),
              "РљРЅ");
    EXPECT_EQ(Text("<meta charset=windows-1251><title>x</title><p>\xD0\x9A\xD0\xBD"), "РљРЅ");
    // Declared after the first text: the text before is UTF-8, the declaration counts from where it stands.
    EXPECT_EQ(Text("<p>\xD0\x9A\xD0\xBD</p><meta charset=windows-1251><p>\xD0\x9A\xD0\xBD"), "Кн|РљРЅ");
}

TEST_F(CharsetTest, ACutCharacterAtTheEndOfAnUndeclaredPage)
{
    // Forgiven at the very end: the page reads as UTF-8 and the cut character does not run past the text.
    const std::string text = Text("<p>" + BookUtf8 + " \xD0");
    EXPECT_EQ(text.substr(0, Book.size()), Book);
    EXPECT_LE(text.size(), Book.size() + 4);
    EXPECT_EQ(Text("<p>\xD0\x9A\xE2\x80"), "К\xEF\xBF\xBD\xEF\xBF\xBD");  // one replacement per cut byte
    // Without a whole multi-byte character before it nothing says UTF-8: 1251 as before.
    EXPECT_EQ(Text("<p>ab \xD0"), "ab Р");
    // Cut anywhere but at the end, the bytes are not UTF-8.
    EXPECT_EQ(Text("<p>\xD0\x9A\xD0 <b>x"), "Рљ\xD0\xA0 x");
}

TEST(Utf8Check, ValidityRules)
{
    EXPECT_TRUE(IsMultibyteUtf8("a\xC3\xA9"));
    EXPECT_TRUE(IsMultibyteUtf8("\xF0\x9F\x98\x80 and more ascii after it"));
    EXPECT_TRUE(IsMultibyteUtf8("\xEF\xBF\xBF\xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsMultibyteUtf8(""));
    EXPECT_FALSE(IsMultibyteUtf8("only ascii, long enough to take the eight-byte steps"));
    EXPECT_FALSE(IsMultibyteUtf8("\xC0\x80"));          // overlong
    EXPECT_FALSE(IsMultibyteUtf8("\xC1\xBF"));          // overlong
    EXPECT_FALSE(IsMultibyteUtf8("\xE0\x80\x80"));      // overlong
    EXPECT_FALSE(IsMultibyteUtf8("\xF0\x80\x80\x80"));  // overlong
    EXPECT_FALSE(IsMultibyteUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(IsMultibyteUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsMultibyteUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(IsMultibyteUtf8("\x80"));              // a continuation without a lead
    EXPECT_FALSE(IsMultibyteUtf8("\xC3\xA9\xC3"  "a"));  // a cut character before the end
    EXPECT_TRUE(IsMultibyteUtf8("\xC3\xA9\xE2\x80"));   // cut at the very end
    EXPECT_FALSE(IsMultibyteUtf8("\xE2\x80"));          // and nothing whole before it
    EXPECT_FALSE(IsMultibyteUtf8(Book1251));
}

// The rules written out plainly, one character at a time, to hold the word-wise check against.
bool ReferenceUtf8(const std::string& text)
{
    bool multibyte = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned c = static_cast<unsigned char>(text[i]);
        int n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (n == 0)
            return false;
        if (i + std::size_t(n) > text.size()) {
            for (std::size_t j = i + 1; j < text.size(); ++j)
                if ((static_cast<unsigned char>(text[j]) & 0xC0) != 0x80)
                    return false;
            // A cut character at the end: its first continuation must still be allowed.
            if (i + 1 < text.size()) {
                const unsigned b = static_cast<unsigned char>(text[i + 1]);
                if ((c == 0xE0 && b < 0xA0) || (c == 0xED && b > 0x9F) || (c == 0xF0 && b < 0x90) ||
                    (c == 0xF4 && b > 0x8F))
                    return false;
            }
            return multibyte;
        }
        unsigned cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < n; ++k) {
            const unsigned b = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if ((b & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (b & 0x3F);
        }
        if ((n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        multibyte |= n > 1;
        i += std::size_t(n);
    }
    return multibyte;
}

TEST(Utf8Check, WordBoundariesAgreeWithTheCharacterRules)
{
    // Pieces that put leads, continuations and bad bytes at every place of the eight-byte words.
    const char* const pieces[] = {"a", " ", "\xD0\x9A", "\xC2\x80", "\xDF\xBF", "\xE2\x80\x94", "\xF0\x9F\x98\x80",
                                  "\xC0\x80", "\xC1", "\x80", "\xBF", "\xD0", "\xE0\x9F\xBF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xFF", "\xE2\x80"};
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        const int count = int(next() % 24);
        const bool cleanOnly = round % 2 == 0;  // half the texts use valid pieces only
        for (int i = 0; i < count; ++i)
            text += pieces[next() % (cleanOnly ? 7 : std::size(pieces))];
        ASSERT_EQ(IsMultibyteUtf8(text), ReferenceUtf8(text)) << ::testing::PrintToString(text);
    }
}

TEST(Utf8Check, XmlDeclarationEncoding)
{
    EXPECT_EQ(XmlDeclarationEncoding("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>"), "ISO-8859-1");
    EXPECT_EQ(XmlDeclarationEncoding("<?xml version='1.0' encoding = 'koi8-r' standalone='yes'?>"), "koi8-r");
    EXPECT_EQ(XmlDeclarationEncoding("<?xml version=\"1.0\"?>"), "");
    EXPECT_EQ(XmlDeclarationEncoding("<?xml encoding=\"x\""), "");  // never closed
    EXPECT_EQ(XmlDeclarationEncoding("<?xml-stylesheet href=\"a\" encoding=\"b\"?>"), "");
    EXPECT_EQ(XmlDeclarationEncoding("<?xml encoding=\"" + std::string(2000, 'a') + "\"?>"), "");
}

TEST_F(CharsetTest, ShippedWindows1251PagesReadAsBefore)
{
    // Every shipped page is 1251 text; none of them is taken for UTF-8, and each reads the same whether or
    // not character-set declarations apply (the default character set is 1251 too).
    const fs::path info = fs::path(VEXA_SOURCE_DIR) / "content" / "Info";
    int pages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(info)) {
        if (entry.path().extension() != ".html")
            continue;
        ++pages;
        const std::string bytes = platform::ReadFileString(entry.path().string());
        EXPECT_FALSE(IsMultibyteUtf8(bytes)) << entry.path();
        Host.IsViewer = true;
        const std::string declared = Text(bytes);
        Host.IsViewer = false;
        const std::string plain = Text(bytes);
        EXPECT_EQ(declared, plain) << entry.path();
        EXPECT_EQ(declared.find("\xEF\xBF\xBD"), std::string::npos) << entry.path();
    }
    EXPECT_GE(pages, 20);
}

}  // namespace
