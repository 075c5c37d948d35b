// Fonts: from properties to platform fonts with metrics, link looks, font runs and their lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/controls.h"
#include "style/fontobj.h"
#include "style/properties.h"
#include "style/sheetparser.h"

namespace {

std::unique_ptr<TProperties> Props(const char* style, double points = 12)
{
    auto p = std::make_unique<TProperties>();
    p->FallbackFont = "Fallback Face";
    p->Values[piColor] = TPropValue::FromInt(0x123456);
    p->Values[piFontFamily] = TPropValue::FromText("arial");
    p->Values[piFontSize] = TPropValue::FromReal(points);
    ParseStyleAttribute(style, *p);
    if (p->Values[piFontSize].IsText())
        p->Values[piFontSize] = TPropValue::FromReal(SizeToPoints(p->Values[piFontSize].Text(), points));
    return p;
}

TEST(FontInfoTest, FamiliesWeightsAndDecorations)
{
    ThtFontInfo info;
    Props("font-family: \"Courier New\", monospace")->GetFontInfo(info);
    EXPECT_EQ(info.iName, "Courier New");
    Props("font-family: nosuchface, 'times new roman'")->GetFontInfo(info);
    EXPECT_TRUE(SameText(info.iName, "Times New Roman"));
    Props("font-family: sans-serif")->GetFontInfo(info);
    EXPECT_EQ(info.iName, "Arial");
    Props("font-family: nosuchface, otherface")->GetFontInfo(info);
    EXPECT_EQ(info.iName, "Fallback Face");

    Props("font-weight: 600")->GetFontInfo(info);
    EXPECT_TRUE(info.iStyle & fsBold);
    Props("font-weight: 599")->GetFontInfo(info);
    EXPECT_FALSE(info.iStyle & fsBold);
    Props("font-weight: bolder")->GetFontInfo(info);
    EXPECT_TRUE(info.iStyle & fsBold);
    Props("font-weight: lighter")->GetFontInfo(info);
    EXPECT_FALSE(info.iStyle & fsBold);
    Props("font-style: oblique; text-decoration: line-through")->GetFontInfo(info);
    EXPECT_EQ(info.iStyle, fsItalic | fsStrikeOut);
    Props("text-decoration: underline")->GetFontInfo(info);
    EXPECT_EQ(info.iStyle, fsUnderline);
    EXPECT_EQ(info.iColor, 0x123456u);
    EXPECT_DOUBLE_EQ(info.iSize, 12);
}

TEST(GetFontTest, HeightMetricsAndEmHeight)
{
    auto p = Props("");
    std::unique_ptr<TMyFont> f = p->GetFont();
    EXPECT_EQ(f->Height, -16);  // 12 points at 96 pixels per inch
    EXPECT_EQ(f->Name, "Arial");
    EXPECT_GT(f->tmHeight, 16);
    EXPECT_GT(f->tmDescent, 0);
    EXPECT_GT(f->tmAveCharWidth, 0);
    EXPECT_GE(f->tmMaxCharWidth, f->tmAveCharWidth);
    EXPECT_EQ(p->EmHeight, 16);
    EXPECT_EQ(p->ExHeight, 8);
    EXPECT_EQ(f->CharExtra, 0);
    // Each call hands out an independent copy of the cached font.
    std::unique_ptr<TMyFont> g = p->GetFont();
    EXPECT_NE(f.get(), g.get());
    f->Height = -99;
    EXPECT_EQ(p->GetFont()->Height, -16);

    auto spaced = Props("letter-spacing: 0.5em");
    EXPECT_EQ(spaced->GetFont()->CharExtra, 8);
    auto normal = Props("letter-spacing: normal");
    EXPECT_EQ(normal->GetFont()->CharExtra, 0);

    auto huge = Props("font-size: 1e9pt");  // "e9pt" is no unit: the default size
    EXPECT_EQ(huge->GetFont()->Height, -16);
    auto big = Props("", 1e300);
    EXPECT_EQ(big->GetFont()->Height, -platform::Round(10000.0 * 96 / 72));
}

TEST(GetFontTest, CharsetOfTheFont)
{
    auto p = Props("");
    p->AssignCharset(204);
    auto f = p->GetFont();
    EXPECT_EQ(f->Charset, 204);
    EXPECT_EQ(f->tmCharset, 204);
    auto d = Props("");
    d->Charset = 1;
    auto g = d->GetFont();
    EXPECT_EQ(g->Charset, 1);
    EXPECT_EQ(g->tmCharset, 204);  // the default set realises as the system's

    auto symbol = Props("font-family: nosuchface");
    symbol->FallbackFont = "Symbol";
    symbol->AssignCharset(204);
    auto s = symbol->GetFont();
    EXPECT_EQ(s->Name, "Symbol");
    EXPECT_EQ(s->Charset, 2);  // a symbol font keeps its set whatever the document's
}

// A document root stand-in that records what runs tell it.
class Owner : public TFontRunOwner {
public:
    std::vector<TFontObj*> runs;
    std::map<std::string, TFontObj*> tabOrder;
    std::vector<std::pair<TFontObj*, TFontObj*>> removed;
    platform::Control* area = nullptr;
    TFontObj* focused = nullptr;
    int keys = 0;

    std::vector<TFontObj*>& LinkRuns() override { return runs; }
    int TabOrderCount() const override { return int(tabOrder.size()); }
    void AddTabOrder(const std::string& key, TFontObj* run) override { tabOrder[key] = run; }
    platform::Control* PaintArea() override { return area; }
    void LinkFocused(TFontObj* run) override { focused = run; }
    void InvalidatePaintArea() override {}
    void LinkKeyDown(TFontObj*, int&, platform::TShiftState) override { ++keys; }
    void RunRemoved(TFontObj* run, TFontObj* survivor) override
    {
        removed.emplace_back(run, survivor);
        runs.erase(std::remove(runs.begin(), runs.end(), run), runs.end());
        for (auto& [key, r] : tabOrder)
            if (r == run)
                r = survivor;
    }
};

std::unique_ptr<TFontObj> LinkRun(int pos, int id, const char* url = "x.html")
{
    auto p = Props("");
    auto run = std::make_unique<TFontObj>(nullptr, pos, p->GetFont());
    run->UrlTarget->Url = url;
    run->UrlTarget->ID = id;
    run->PrepareLinkFonts();
    for (int i = 0; i < 4; ++i) {
        ThtFontInfo& info = (*run->LinkFonts)[i];
        p->GetFontInfo(info);
        info.iColor = TColor(i + 1);
    }
    (*run->LinkFonts)[TFontInfoArray::HoverIndex].iStyle |= fsUnderline;
    (*run->LinkFonts)[TFontInfoArray::VisitedHoverIndex].iStyle |= fsItalic;
    return run;
}

TEST(FontObjTest, LinkLooks)
{
    auto run = LinkRun(0, 1);
    EXPECT_EQ(run->Overhang, 0);
    EXPECT_EQ(run->FontHeight, run->TheFont->tmHeight + run->TheFont->tmExternalLeading);
    run->SetHover(true);
    EXPECT_EQ(run->TheFont->Color, 3u);
    EXPECT_TRUE(run->TheFont->Style & fsUnderline);
    run->SetVisited(true);
    EXPECT_EQ(run->TheFont->Color, 4u);  // visited and hovered
    EXPECT_EQ(run->Overhang, run->TheFont->tmHeight / 10);
    run->SetHover(false);
    EXPECT_EQ(run->TheFont->Color, 2u);
    EXPECT_EQ(run->Overhang, 0);
    run->SetVisited(false);
    EXPECT_EQ(run->TheFont->Color, 1u);

    run->SetHover(true);
    TFontObj copy(nullptr, *run);
    EXPECT_EQ(copy.TheFont->Color, 1u);  // a copy shows the plain link look
    EXPECT_FALSE(copy.LinkFonts);
    EXPECT_EQ(copy.URL(), "x.html");
    EXPECT_EQ(copy.LinkId(), 1);
}

TEST(FontObjTest, AllHoversFollowOneLink)
{
    auto a = LinkRun(0, 1), b = LinkRun(3, 2), c = LinkRun(5, 2), d = LinkRun(8, 3);
    std::vector<TFontObj*> runs{a.get(), b.get(), c.get(), d.get()};
    c->SetAllHovers(runs, true);
    EXPECT_FALSE(a->Hover);
    EXPECT_TRUE(b->Hover);
    EXPECT_TRUE(c->Hover);
    EXPECT_FALSE(d->Hover);
}

TEST(FontListTest, LookupsByPosition)
{
    TFontList list;
    auto p = Props("");
    list.Add(std::make_unique<TFontObj>(nullptr, 0, p->GetFont()));
    list.Add(std::make_unique<TFontObj>(nullptr, 5, Props("font-style: italic")->GetFont()));
    int index, overhang;
    EXPECT_EQ(list.GetFontObjAt(4, index), list[0]);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(list.GetFontObjAt(5, index), list[1]);
    EXPECT_EQ(list.GetFontAt(100, overhang), list[1]->TheFont.get());
    EXPECT_EQ(overhang, list[1]->TheFont->tmHeight / 10);
    EXPECT_EQ(list.GetFontCountAt(2, 20), 3);
    EXPECT_EQ(list.GetFontCountAt(7, 20), 13);

    TFontList copy(nullptr, list);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy[1]->Pos, 5);
}

TEST(FontListTest, DecrementMergesRunsAndKeepsTheLinksFocusWindow)
{
    platform::PaintBox area(nullptr);
    Owner owner;
    owner.area = &area;
    TFontList list;
    // A link whose leading blank (position 0) is deleted: its two runs come to start at the same place.
    TFontObj* first = list.Add(LinkRun(0, 7));
    TFontObj* second = list.Add(LinkRun(1, 7));
    owner.runs = {first, second};
    first->CreateFocusWindow(owner, 2);
    second->CreateFocusWindow(owner, 2);  // one window per link
    ASSERT_TRUE(first->TabControl);
    EXPECT_FALSE(second->TabControl);
    ASSERT_EQ(owner.tabOrder.size(), 1u);
    EXPECT_EQ(owner.tabOrder.begin()->first, "00002000");
    second->SetLinkY(owner, 40);
    EXPECT_EQ(first->LinkY, 40);

    list.Decrement(0, &owner);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], second);
    EXPECT_EQ(second->Pos, 0);
    EXPECT_TRUE(second->TabControl);
    EXPECT_EQ(second->LinkY, 40);
    ASSERT_EQ(owner.removed.size(), 1u);
    EXPECT_EQ(owner.removed[0].second, second);
    EXPECT_EQ(owner.tabOrder.begin()->second, second);
    EXPECT_EQ(owner.runs, std::vector<TFontObj*>{second});

    // The moved window still drives the surviving run.
    second->TabControl->OnEnter(second->TabControl.get());
    EXPECT_TRUE(second->Active);
    EXPECT_EQ(owner.focused, second);
    int key = 13;
    second->TabControl->OnKeyDown(second->TabControl.get(), key, {});
    EXPECT_EQ(owner.keys, 1);
    second->TabControl->OnExit(second->TabControl.get());
    EXPECT_FALSE(second->Active);
}

TEST(FontObjTest, NoPaintAreaNoFocusWindow)
{
    Owner owner;
    auto run = LinkRun(0, 1);
    owner.runs = {run.get()};
    run->CreateFocusWindow(owner, 1);
    EXPECT_FALSE(run->TabControl);
    EXPECT_TRUE(owner.tabOrder.empty());
}

}  // namespace

namespace {

TEST(GetFontTest, TheRealisedFontFollowsChangedAttributes)
{
    TMyFont font;
    font.Name = "Arial";
    font.Height = -12;
    const int small = font.Handle().PixelSize();
    font.Height = -30;
    EXPECT_GT(font.Handle().PixelSize(), small);
    font.Style = fsBold;
    EXPECT_TRUE(font.Handle().Description().Bold());
    TMyFont copy = font;
    copy.Style = 0;
    EXPECT_FALSE(copy.Handle().Description().Bold());
    EXPECT_TRUE(font.Handle().Description().Bold());
}

}  // namespace
