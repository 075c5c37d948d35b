// IMG and PANEL read into the flow: placeholders among the characters, in paragraphs, links and
// preformatted text, with their attributes and their element's style.

#include <gtest/gtest.h>

#include <string>

#include "layout/blocks.h"
#include "layout/imageobj.h"
#include "layout/panelobj.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/codepage.h"
#include "reader/builder.h"

namespace {

class ImageReaderTest : public ::testing::Test {
protected:
    void Build(const std::string& html)
    {
        Root.Clear();
        Root.SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                      platform::DEFAULT_CHARSET, 5, 10);
        Builder.ParseHtml(html, Root, Host);
        All.clear();
        Collect(Root);
    }
    void Collect(const TCellBasic& cell)
    {
        for (const auto& item : cell) {
            if (auto* s = dynamic_cast<TSection*>(item.get()))
                All.push_back(s);
            else if (auto* b = dynamic_cast<TBlock*>(item.get()))
                Collect(*b->MyCell);
        }
    }
    // A section's text with placeholders shown as '#'.
    static std::string Text(const TSection* s)
    {
        std::u16string t = s->Text;
        for (char16_t& c : t)
            c = c == ImgPan ? u'#' : c;
        return platform::WideToMultiByte(platform::CP_UTF8, t);
    }

    TSectionList Root{nullptr, nullptr};
    THtmlBuilder Builder;
    THtmlHost Host;
    std::vector<TSection*> All;
};

}  // namespace

TEST_F(ImageReaderTest, PicturesStandAmongTheCharacters)
{
    Build("<p>one <img src=a.gif alt='Alt text\r\n' title=Tip name=pic> two <a href=x><img src=b.gif "
          "usemap='#Map' ismap border=3></a></p>");
    ASSERT_EQ(All.size(), 1u);
    EXPECT_EQ(Text(All[0]), "one # two # ");
    ASSERT_EQ(All[0]->Images.Count(), 2);
    auto* a = dynamic_cast<TImageObj*>(All[0]->Images[0]);
    auto* b = dynamic_cast<TImageObj*>(All[0]->Images[1]);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->Pos, 4);
    EXPECT_EQ(a->Source, "a.gif");
    EXPECT_EQ(a->AltText, "Alt text");
    EXPECT_EQ(a->Title, "Tip");
    EXPECT_EQ(Root.IDNames->Find("pic"), a);
    EXPECT_EQ(b->MapName, "MAP");
    EXPECT_TRUE(b->IsMap);
    EXPECT_EQ(b->BorderSize, 3);
    int index = 0;
    TFontObj* run = All[0]->Fonts.GetFontObjAt(b->Pos, index);
    ASSERT_TRUE(run);
    EXPECT_TRUE(run->IsLink()) << "the picture stands in the link's run";
}

TEST_F(ImageReaderTest, StyleOfTheElementAppliesToThePicture)
{
    Build("<style>img.f { float: right; margin-left: 7px } img#v { vertical-align: middle }</style>"
          "<img class=f src=a.gif><img id=v src=a.gif align=top><img src=a.gif style='height:40%'>");
    ASSERT_FALSE(All.empty());
    TSection* s = All.back();
    ASSERT_EQ(s->Images.Count(), 3);
    EXPECT_EQ(s->Images[0]->VertAlign, AlignRight);
    EXPECT_EQ(s->Images[0]->HSpaceL, 7);
    EXPECT_EQ(s->Images[0]->HSpaceR, 3);
    EXPECT_EQ(s->Images[1]->VertAlign, AlignMiddle) << "style wins over the attribute";
    EXPECT_TRUE(s->Images[2]->PercentHeight);
    EXPECT_EQ(s->Images[2]->SpecHeight, 40);
}

TEST_F(ImageReaderTest, PreformattedTextKeepsReadingAfterAPicture)
{
    Build("<pre>ab<img src=a.gif>cd\nef<panel name=p>gh</pre>after");
    std::string all;
    for (TSection* s : All)
        all += "[" + Text(s) + "]";
    EXPECT_NE(all.find("ab#cd"), std::string::npos) << all;
    EXPECT_NE(all.find("ef#gh"), std::string::npos) << all;
    EXPECT_NE(all.find("after"), std::string::npos) << all;
}
