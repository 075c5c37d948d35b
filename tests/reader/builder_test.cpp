// The document builder on real HTML: the tree it builds (blocks, sections, rules), the styles it hands
// over, the head elements and the host events, and hostile nesting.

#include <gtest/gtest.h>

#include <string>

#include "layout/blocks.h"
#include "layout/panelobj.h"
#include "layout/rules.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "reader/builder.h"
#include "style/stylelist.h"

namespace {

std::string Utf8(const std::u16string& text) { return platform::WideToMultiByte(platform::CP_UTF8, text); }

// The tree in one line: blocks by tag with their content in braces, text sections in quotes (line break
// "|", no-break space "~"), list items with their numbers.
std::string Tree(const TCellBasic& cell, int depth = 0)
{
    std::string out;
    if (depth > 50)
        return "...";
    for (const auto& itemPtr : cell) {
        TSectionBase* item = itemPtr.get();
        if (!out.empty())
            out += ' ';
        if (auto* li = dynamic_cast<TBlockLI*>(item)) {
            out += "li" + std::to_string(li->ListNumb) + "{" + Tree(*li->MyCell, depth + 1) + "}";
        } else if (auto* body = dynamic_cast<TBodyBlock*>(item)) {
            out += "body{" + Tree(*body->MyCell, depth + 1) + "}";
        } else if (dynamic_cast<THRBlock*>(item)) {
            out += "hr";
        } else if (auto* block = dynamic_cast<TBlock*>(item)) {
            out += block->TagClass.substr(0, block->TagClass.find('.')) + "{" + Tree(*block->MyCell, depth + 1) + "}";
        } else if (auto* section = dynamic_cast<TSection*>(item)) {
            std::u16string text = section->Text;
            for (char16_t& c : text)
                c = c == BrkCh ? u'|' : c == NbSpace ? u'~' : c == ImgPan ? u'#' : c;
            out += (dynamic_cast<TPreFormated*>(item) ? "pre'" : "'") + Utf8(text) + "'";
        } else if (dynamic_cast<TPage*>(item)) {
            out += "page";
        } else {
            out += "?";
        }
    }
    return out;
}

class BuilderTest : public ::testing::Test {
protected:
    BuilderTest() : Root(nullptr, nullptr), Canvas(Measure)
    {
        Root.SetFonts("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false,
                      true, platform::DEFAULT_CHARSET, 5, 10);
    }

    std::string Build(const std::string& html)
    {
        Root.Clear();
        Root.SetFonts("Times New Roman", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false,
                      true, platform::DEFAULT_CHARSET, 5, 10);
        Builder.ParseHtml(html, Root, Host);
        return Body();
    }

    // The body's content (the root holds the body block only).
    std::string Body()
    {
        if (Root.Count() != 1)
            return "root: " + Tree(Root);
        auto* body = dynamic_cast<TBodyBlock*>(Root[0]);
        return body ? Tree(*body->MyCell) : "no body";
    }

    TBlock* BodyBlock() { return dynamic_cast<TBlock*>(Root[0]); }

    int Format(int width)
    {
        int maxWidth = 0, cursor = 0;
        return Root.Layout(&Canvas, 0, width, 0, 0, maxWidth, cursor);
    }

    // The first text section found depth-first.
    static TSection* FirstSection(const TCellBasic& cell)
    {
        for (const auto& itemPtr : cell) {
        TSectionBase* item = itemPtr.get();
            if (auto* s = dynamic_cast<TSection*>(item))
                return s;
            if (auto* b = dynamic_cast<TBlock*>(item))
                if (TSection* s = FirstSection(*b->MyCell))
                    return s;
        }
        return nullptr;
    }

    TSectionList Root;
    THtmlBuilder Builder;
    THtmlHost Host;
    platform::Bitmap Measure{1, 1};
    platform::Canvas Canvas;
};

}  // namespace

TEST_F(BuilderTest, ParagraphsAndTheirRuns)
{
    EXPECT_EQ(Build("<P>a<P>b"), "p{'a '} p{'b '}");
    EXPECT_EQ(Build("<P><P></P><P class=x>x"), "p{'x '}");
    // A DIV ends the paragraph; the text after /DIV is in the enclosing cell.
    EXPECT_EQ(Build("<p>a<div>b</div>c"), "p{'a '} div{'b '} 'c '");
    EXPECT_EQ(Build("a<p>b</p>c"), "'a ' p{'b '} 'c '");
    // A single blank between tags makes no section.
    EXPECT_EQ(Build("<b> </b>"), "");
}

TEST_F(BuilderTest, HeadingsAndCentre)
{
    Build("<H2><CENTER>x</H2>y");
    auto* headingBlock = dynamic_cast<TBlock*>((*BodyBlock()->MyCell)[0]);
    ASSERT_NE(headingBlock, nullptr);
    TSection* heading = FirstSection(*headingBlock->MyCell);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->Justify, 2);
    EXPECT_EQ(Body(), "h2{'x '} 'y '");

    EXPECT_EQ(Build("<H2>x<CENTER>y</CENTER>z"), "h2{'x '} 'y ' 'z '");
    auto* centred = dynamic_cast<TSection*>((*BodyBlock()->MyCell)[1]);
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(centred->Justify, 2);
    auto* after = dynamic_cast<TSection*>((*BodyBlock()->MyCell)[2]);
    EXPECT_EQ(after->Justify, 1);
    // A level outside 1..6 is ignored.
    EXPECT_EQ(Build("<h7>x</h7>"), "'x '");
}

TEST_F(BuilderTest, ListsNumberTheirItems)
{
    EXPECT_EQ(Build("<UL><LI>a<LI>b</UL>"), "ul{li1{'a '} li2{'b '}}");
    EXPECT_EQ(Build("<OL START=5><LI>a<LI VALUE=9>b<LI>c</OL>"), "ol{li5{'a '} li9{'b '} li10{'c '}}");
    EXPECT_EQ(Build("<UL></UL>after"), "ul{} 'after '");
    // An empty item keeps its marker line.
    EXPECT_EQ(Build("<UL><LI><LI>b</UL>"), "ul{li1{'~ '} li2{'b '}}");
    EXPECT_EQ(Build("<DL><DT>t<DD>d</DL>"), "dl{li1{'t '} li2{'d '}}");
    EXPECT_EQ(Build("<UL><LI>a<UL><LI>b</UL><LI>c</UL>"), "ul{li1{'a ' ul{li1{'b '}}} li2{'c '}}");
    // Numbers in attributes are limited, so a huge start cannot wrap round.
    Build("<OL START=2147483647><LI>a<LI>b</OL>");
    EXPECT_EQ(Body(), "ol{li1000000{'a '} li1000001{'b '}}");
}

TEST_F(BuilderTest, BreaksRulesAndPages)
{
    // The break ends the section, which drops it as its last character.
    EXPECT_EQ(Build("a<br>b"), "'a ' 'b '");
    EXPECT_EQ(Build("<br>b"), "'|' 'b '");
    Build("a<br clear=all>b");
    EXPECT_EQ(Body(), "'a ' 'b '");
    auto* second = dynamic_cast<TSection*>((*BodyBlock()->MyCell)[1]);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->ClearMode, 3);
    EXPECT_EQ(Build("a<hr size=5>b<page>c"), "'a ' hr 'b ' page 'c '");
}

TEST_F(BuilderTest, PreformattedTextKeepsItsBlanks)
{
    EXPECT_EQ(Build("<pre>a  b\nc</pre>d"), "pre{pre'a  b ' pre'c '} 'd '");
    EXPECT_EQ(Build("<pre>x <b>y</b>&lt;z</pre>"), "pre{pre'x y<z '}");
    // Plain text: one preformatted section per line, nothing is markup.
    Root.Clear();
    Builder.ParseText("<b>a</b>\n  c", Root, Host);
    EXPECT_EQ(Body(), "pre'<b>a</b> ' pre'  c '");
}

TEST_F(BuilderTest, FontSizesFollowTheBaseFont)
{
    auto heightOf = [&](const std::string& html) {
        Build(html);
        TSection* s = FirstSection(*BodyBlock()->MyCell);
        return s ? s->Fonts[0]->TheFont->Height : 0;
    };
    EXPECT_EQ(heightOf("<font size=+1>x</font>"), heightOf("<span style='font-size:14pt'>x</span>"));
    EXPECT_EQ(heightOf("<font size=9>x</font>"), heightOf("<span style='font-size:36pt'>x</span>"));
    EXPECT_EQ(heightOf("<basefont size=5><font size=-1>x</font>"), heightOf("<span style='font-size:14pt'>x</span>"));
}

TEST_F(BuilderTest, LinksAndAnchors)
{
    Build("<a name=#Top>t</a><a href=one.htm>1<a href=two.htm>2</a>");
    EXPECT_GE(Root.IDNames->IndexOf("TOP"), 0);
    ASSERT_EQ(Root.FLinkRuns.size(), 2u);
    EXPECT_EQ(Root.FLinkRuns[0]->URL(), "one.htm");
    EXPECT_EQ(Root.FLinkRuns[1]->URL(), "two.htm");
    EXPECT_NE(Root.FLinkRuns[0]->LinkId(), Root.FLinkRuns[1]->LinkId());
    EXPECT_GE(Root.FLinkRuns[0]->UrlTarget->EndPos(), 0);

    std::string many;
    for (int i = 0; i < 401; ++i)
        many += "<a href=x" + std::to_string(i) + ".htm>x</a> ";
    Build(many);
    EXPECT_TRUE(Root.ManyLinks);
    Build("<a href=x>x</a>");
    EXPECT_FALSE(Root.ManyLinks);
}

TEST_F(BuilderTest, BodyTagRules)
{
    // Text before BODY in the first section is dropped; a later BODY is ignored.
    EXPECT_EQ(Build("abc<body bgcolor=#ff0000>def"), "'def '");
    EXPECT_EQ(platform::ColorToRGB(Root.Background) & 0xFFFFFF, 0x0000FFu);
    Build("<p>x</p><body bgcolor=#00ff00>y");
    EXPECT_NE(platform::ColorToRGB(Root.Background) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(BuilderTest, HeadElementsAndHostEvents)
{
    std::string metaEq, metaContent, script, linkRel, linkHref;
    Host.OnMeta = [&](const std::string& eq, const std::string&, const std::string& content) {
        metaEq = eq;
        metaContent = content;
    };
    Host.OnScript = [&](const std::string&, const std::string&, const std::string& text) { script = text; };
    Host.OnLink = [&](const std::string& rel, const std::string&, const std::string& href) {
        linkRel = rel;
        linkHref = href;
    };
    EXPECT_EQ(Build("<head><title>T&amp;1</title><meta http-equiv=refresh content=\"5; url=x.htm\">"
                    "<link rel=StyleSheet href=\"\"><script>if (a<b) x();\n</Script >y"),
              "'y '");
    EXPECT_EQ(Builder.Title, "T&1");
    EXPECT_EQ(metaEq, "refresh");
    EXPECT_EQ(metaContent, "5; url=x.htm");
    EXPECT_EQ(linkRel, "StyleSheet");
    EXPECT_EQ(linkHref, "");
    EXPECT_EQ(script, "if (a<b) x();\r\n");

    // A style element styles what follows; select and textarea content never becomes text, only their
    // controls stand in the line.
    Build("<style>p { text-align: center }</style><p>x<select><option>o1<option selected>o2</select>"
          "<textarea>a < b</TEXTAREA>z");
    EXPECT_EQ(Body(), "p{'x\x2\x2z '}");
    EXPECT_EQ(FirstSection(*BodyBlock()->MyCell)->Justify, 2);

    Build("<base href=http://h/d/ target=main>");
    EXPECT_EQ(Builder.Base, "http://h/d/");
    EXPECT_EQ(Builder.BaseTarget, "main");
}

TEST_F(BuilderTest, MetaCharsetAndMaps)
{
    Build("\xC0");
    TSection* s = FirstSection(*BodyBlock()->MyCell);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Text[0], u'\u0410');  // the system code page, 1251
    Build("<meta http-equiv=Content-Type content=\"text/html; charset=iso-8859-1\">\xC0");
    s = FirstSection(*BodyBlock()->MyCell);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Text[0], u'\u00C0');
    int charset = -1;
    EXPECT_TRUE(CharsetLookup("ISO-8859-15", charset));
    EXPECT_EQ(charset, 0);
    EXPECT_TRUE(CharsetLookup("koi8-r", charset));
    EXPECT_EQ(charset, 204);
    EXPECT_FALSE(CharsetLookup("utf-8", charset));

    Build("<map name=m><area href=a coords=0,0,5,5><b><i><u></map>");
    EXPECT_EQ(Root.Maps.Count(), 1);
    Build("<map name=m><area href=a coords=0,0,5,5><b><i><u><s></map>");
    EXPECT_EQ(Root.Maps.Count(), 0);
}

TEST_F(BuilderTest, HostileNestingIsBounded)
{
    for (const char* tag : {"<div>", "<ul><li>", "<blockquote>", "<center>", "<p><div>", "<h1><div>"}) {
        std::string html;
        for (int i = 0; i < 20000; ++i)
            html += tag;
        html += "end";
        Build(html);
        EXPECT_GT(Format(551), 0) << tag;
    }
    std::string unclosed;
    for (int i = 0; i < 3000; ++i)
        unclosed += "<b><i><font size=7><a href=x><span>";
    Build(unclosed + "text");
    EXPECT_GT(Format(300), 0);
}

TEST_F(BuilderTest, LinkStatesFollowContextAndLaterSheets)
{
    // Links that look alike share their derived states; context and later style rules still tell apart.
    Build("<style>p.warm a:hover {color:#ff0000} a:visited {color:#00ff00}</style>"
          "<p class=warm><a href=1>one</a></p><p><a href=2>two</a></p><p class=warm><a href=3>three</a></p>"
          "<style>a:hover {color:#0000ff}</style><p><a href=4>four</a></p>");
    ASSERT_EQ(Root.FLinkRuns.size(), 4u);
    auto hover = [&](int i) { return (*Root.FLinkRuns[std::size_t(i)]->LinkFonts)[TFontInfoArray::HoverIndex].iColor; };
    auto visited = [&](int i) {
        return (*Root.FLinkRuns[std::size_t(i)]->LinkFonts)[TFontInfoArray::VisitedIndex].iColor;
    };
    EXPECT_EQ(hover(0) & 0xFFFFFF, 0x0000FFu);  // colours as 0x00BBGGRR: red
    EXPECT_EQ(hover(2), hover(0));
    EXPECT_NE(hover(1), hover(0)) << "the rule applies inside p.warm only";
    EXPECT_EQ(hover(3) & 0xFFFFFF, 0xFF0000u) << "a sheet read later counts for later links";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(visited(i) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(BuilderTest, ObjectsAndTheirPanels)
{
    // Without a host that fills panels the fallback content is read (a PARAM ends the paragraph).
    EXPECT_EQ(Build("<p>a<object data=x.swf><param name=p value=1>fallback</object>b"), "p{'a '} 'fallbackb '");

    std::vector<std::string> attributes, params, created, destroyed;
    bool want = true;
    Host.OnObjectTag = [&](platform::Control* panel, const std::vector<std::string>& a,
                           const std::vector<std::string>& p, bool& wantPanel) {
        EXPECT_NE(panel, nullptr);
        attributes = a;
        params = p;
        wantPanel = want;
    };
    Root.OnPanelCreate = [&](TSectionList*, const std::string& name, platform::Control*, const std::string& src,
                             const std::string& type) { created.push_back(name + "|" + src + "|" + type); };
    Root.OnPanelDestroy = [&](TSectionList*, const std::string& name, platform::Control*) {
        destroyed.push_back(name);
    };
    const std::string page = "<p>a<object name=Movie src=m.swf type=video width=120 height=40>"
                             "<param name=x value=1> <param name=y><param value=lost>fallback</object>b";
    EXPECT_EQ(Build(page), "p{'a#b '}");
    EXPECT_EQ(params, (std::vector<std::string>{"x=1", "y"}));
    EXPECT_FALSE(attributes.empty());
    EXPECT_EQ(created, (std::vector<std::string>{"Movie|m.swf|video"}));
    ASSERT_EQ(Root.Panels.size(), 1u);
    Format(400);
    EXPECT_EQ(Root.Panels[0]->ObjWidth, 120);
    EXPECT_EQ(Root.Panels[0]->ObjHeight, 40);
    TSection* s = FirstSection(*BodyBlock()->MyCell);
    ASSERT_NE(s, nullptr);
    EXPECT_GE(s->Lines[0]->LineHeight(), 40) << "the panel stands in the line";

    // A panel the host does not want is freed at once, and the fallback content read, also inside PRE.
    want = false;
    created.clear();
    destroyed.clear();
    EXPECT_EQ(Build(page), "p{'afallbackb '}");
    EXPECT_EQ(created.size(), 1u);
    // The earlier document's panel went with it; the refused one goes at once.
    EXPECT_EQ(destroyed, (std::vector<std::string>{"Movie", "Movie"}));
    EXPECT_TRUE(Root.Panels.empty());
    EXPECT_EQ(Build("<pre>a<object><param name=p>b</object>c</pre>"), "pre{pre'abc '}");
    Root.Clear();
    Root.OnPanelCreate = nullptr;
    Root.OnPanelDestroy = nullptr;
}
