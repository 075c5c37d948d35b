// Cells and the document root: stacking, painting, hit-test order, failing items, document-wide lists.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "images/gifimage.h"
#include "layout/cells.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/msgbox.h"
#include "images/imagecache.h"
#include "platform/timer.h"
#include "platform/types.h"
#include "core/seltext.h"

namespace {

// A box of fixed height holding a fixed number of characters; it records what was asked of it.
class FakeItem : public TSectionBase {
public:
    FakeItem(int height, int chars = 0, std::string name = {}) : Chars(chars), Name(std::move(name))
    {
        SectionHeight = height;
    }

    int Chars;
    std::string Name;
    bool FailLayout = false;
    bool AnswerLink = false;
    bool IsCollapsed = false;
    bool FlowBlock = false;
    bool ParaSpace = false;
    int FloatHeight = 0;  // places a left float of this height at its top
    std::vector<std::string>* Log = nullptr;

    int Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int w, int ah, int bh, IndentManager* im, int& mw,
               int& cursor) override
    {
        if (FailLayout)
            throw EProcessError("cannot lay out " + Name);
        int h = TSectionBase::Layout(c, X, Y, rx, ry, w, ah, bh, im, mw, cursor);
        if (FloatHeight && im)
            im->AddFloatImage(Y, true, 10, FloatHeight, 0, 0);
        mw = w + Chars;  // something to take the maximum of
        cursor += Chars;
        CharCount = Chars;
        LaidOutX = X;
        return h;
    }
    int Paint(platform::Canvas* c, const platform::Rect& r, IndentManager* im, int X, int rx, int ry) override
    {
        if (Log)
            Log->push_back("paint " + Name);
        return TSectionBase::Paint(c, r, im, X, rx, ry);
    }
    bool LinkAt(platform::Canvas*, int, int, TUrlTarget*&, TFormControlObj*&, std::string& title) override
    {
        if (Log)
            Log->push_back("link " + Name);
        if (AnswerLink)
            title = Name;
        return AnswerLink;
    }
    int DocPosOf(int sourceIndex, bool) override { return sourceIndex == SourceIndex ? StartCursor : -1; }
    bool CursorPoint(platform::Canvas*, int pos, int& X, int& Y) override
    {
        if (pos < StartCursor || pos >= StartCursor + CharCount)
            return false;
        X = pos - StartCursor;
        Y = YPosition;
        return true;
    }
    bool CharAt(int pos, char16_t& ch, TIDObject*&) override
    {
        if (Log)
            Log->push_back("charat " + Name);
        ch = u'x';
        return pos >= StartCursor && pos < StartCursor + CharCount;
    }
    void CopySelection() override
    {
        int from = std::max(StartCursor, Root->SelStart);
        int to = std::min(StartCursor + CharCount, Root->SelEnd);
        std::u16string text(std::size_t(std::max(0, to - from)), char16_t(u'a' + Name[0] - 'a'));
        Root->SelectionSink->Put(text.data(), int(text.size()));
    }
    bool Collapsed() const override { return IsCollapsed; }
    bool IsFlowBlock() const override { return FlowBlock; }
    bool DropBottomMargin() override
    {
        bool had = ParaSpace;
        ParaSpace = false;
        return had;
    }

    int SourceIndex = -100;
    int LaidOutX = -1;
};

// A block-like item whose content is a nested cell: nesting depth follows the chain.
class FakeNest : public TSectionBase {
public:
    explicit FakeNest(TSectionList* root) : Content(root) {}
    TBlockCell Content;
    int Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int w, int ah, int bh, IndentManager* im, int& mw,
               int& cursor) override
    {
        TSectionBase::Layout(c, X, Y, rx, ry, w, ah, bh, im, mw, cursor);
        Content.IndentMgr = im;
        SectionHeight = Content.LayoutBlockCell(c, X, Y, rx, ry, w, ah, bh, mw, cursor);
        return SectionHeight;
    }
};

class RecordingBoxes : public platform::MessageBoxService {
public:
    explicit RecordingBoxes(std::vector<std::u16string>* texts) : Texts(texts) {}
    int Show(const platform::MessageBoxRequest& r) override
    {
        Texts->push_back(r.Text);
        return platform::IDOK;
    }
    std::vector<std::u16string>* Texts;
};

class Animated : public TIDObject, public TAnimationClient {
public:
    int VerticalPos() override { return 0; }
    void RestartAnimation(bool start) override { Started = start; Frame = 0; }
    void AdvanceAnimation() override { ++Frame; }
    int CurrentFrame() const override { return Frame; }
    bool Started = false;
    int Frame = 0;
};

class SectionListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Previous = platform::SetMessageBoxService(std::make_unique<RecordingBoxes>(&Boxes));
    }
    void TearDown() override { platform::SetMessageBoxService(std::move(Previous)); }

    FakeItem* Add(TCellBasic& cell, int height, int chars, const std::string& name)
    {
        auto item = std::make_unique<FakeItem>(height, chars, name);
        item->Log = &Log;
        FakeItem* p = item.get();
        cell.AddItem(std::move(item), 0);
        return p;
    }
    int LayoutRoot(int width = 300)
    {
        int maxWidth = 0;
        int cursor = 0;
        return Root.Layout(nullptr, 0, width, 0, 0, maxWidth, cursor);
    }

    TSectionList Root{nullptr, nullptr};
    std::vector<std::string> Log;
    std::vector<std::u16string> Boxes;
    std::unique_ptr<platform::MessageBoxService> Previous;
};

}  // namespace

TEST_F(SectionListTest, CellStacksItemsAndCountsPositions)
{
    TCell cell(&Root);
    FakeItem* a = Add(cell, 10, 3, "a");
    FakeItem* b = Add(cell, 20, 0, "b");
    FakeItem* c = Add(cell, 30, 5, "c");
    int maxWidth = -1;
    int cursor = 7;
    EXPECT_EQ(cell.LayoutCell(nullptr, 5, 200, 0, 0, maxWidth, cursor), 60);
    EXPECT_EQ(a->YPosition, 5);
    EXPECT_EQ(b->YPosition, 15);
    EXPECT_EQ(c->YPosition, 35);
    EXPECT_EQ(c->DrawBottom, 65);
    EXPECT_EQ(b->StartCursor, 10);
    EXPECT_EQ(c->StartCursor, 10);
    EXPECT_EQ(cursor, 15);
    EXPECT_EQ(cell.StartCursor, 7);
    EXPECT_EQ(cell.CharCount, 8);
    EXPECT_EQ(maxWidth, 205);
    EXPECT_EQ(a->Root, &Root);
    EXPECT_EQ(a->LaidOutX, 0);
}

TEST_F(SectionListTest, CellIsAsTallAsItsLowestFloat)
{
    TCell cell(&Root);
    Add(cell, 10, 0, "a")->FloatHeight = 80;
    int maxWidth = 0;
    int cursor = 0;
    EXPECT_EQ(cell.LayoutCell(nullptr, 100, 200, 0, 0, maxWidth, cursor), 80);
    // Only the float holds an edge record; the cell's own edges are the manager's base edges.
    EXPECT_EQ(cell.IndentMgr->LeftList.size(), 1u);
    EXPECT_TRUE(cell.IndentMgr->RightList.empty());
    EXPECT_EQ(cell.IndentMgr->RightSide(150), 200);
}

TEST_F(SectionListTest, BlockCellPassesOriginAndKeepsExtent)
{
    TBlockCell cell(&Root);
    IndentManager im;
    cell.IndentMgr = &im;
    FakeItem* a = Add(cell, 10, 0, "a");
    Add(cell, 20, 0, "b");
    int maxWidth = 0;
    int cursor = 0;
    EXPECT_EQ(cell.LayoutBlockCell(nullptr, 40, 100, 3, 4, 150, 0, 0, maxWidth, cursor), 30);
    EXPECT_EQ(a->LaidOutX, 40);
    EXPECT_EQ(cell.CellHeight, 30);
    EXPECT_EQ(cell.DrawTop, 100);
    EXPECT_EQ(cell.DrawBottom, 130);
    EXPECT_EQ(cell.ContentBottom, 130);
    EXPECT_EQ(maxWidth, 150);
    cell.HideOverflow = true;
    Add(cell, 5, 900, "wide");
    cell.LayoutBlockCell(nullptr, 0, 0, 0, 0, 150, 0, 0, maxWidth, cursor);
    EXPECT_EQ(maxWidth, 150);
}

TEST_F(SectionListTest, PaintWalksEveryItemInOrderAndAnswersTheLastBottom)
{
    TCell empty(&Root);
    EXPECT_EQ(empty.PaintCell(nullptr, {0, 0, 100, 100}, 100, 0, 42, 0, 0), 42);

    Add(Root, 10, 0, "a");
    Add(Root, 25, 0, "b");
    LayoutRoot();
    EXPECT_EQ(Root.PaintCell(nullptr, {0, 0, 300, 5}, 300, 0, 0, 0, 0), 35);
    EXPECT_EQ(Log, (std::vector<std::string>{"paint a", "paint b"}));
}

TEST_F(SectionListTest, DeferredDrawsComeAfterTheItems)
{
    struct Deferred : TDeferredDraw {
        std::vector<std::string>* Log;
        void DrawDeferred(platform::Canvas*) override { Log->push_back("float"); }
    } floating;
    floating.Log = &Log;
    struct Queuer : FakeItem {
        using FakeItem::FakeItem;
        TDeferredDraw* Queue = nullptr;
        int Paint(platform::Canvas* c, const platform::Rect& r, IndentManager* im, int X, int rx, int ry) override
        {
            Root->DrawList.push_back(Queue);
            return FakeItem::Paint(c, r, im, X, rx, ry);
        }
    };
    auto q = std::make_unique<Queuer>(10, 0, "q");
    q->Log = &Log;
    q->Queue = &floating;
    Root.AddItem(std::move(q), 0);
    Add(Root, 10, 0, "text");
    LayoutRoot();
    Root.PaintCell(nullptr, {0, 0, 300, 300}, 300, 0, 0, 0, 0);
    EXPECT_EQ(Log, (std::vector<std::string>{"paint q", "paint text", "float"}));
}

TEST_F(SectionListTest, HitTestsAskOnlyItemsAtTheYInOrderAndFirstYesWins)
{
    FakeItem* a = Add(Root, 10, 0, "a");
    FakeItem* b = Add(Root, 10, 0, "b");
    FakeItem* c = Add(Root, 10, 0, "c");
    LayoutRoot();
    // b hangs over a's range; both answer yes, a comes first in the list.
    b->DrawTop = 0;
    a->AnswerLink = b->AnswerLink = c->AnswerLink = true;
    TUrlTarget* link = nullptr;
    TFormControlObj* control = nullptr;
    std::string title;
    EXPECT_TRUE(Root.LinkAt(nullptr, 1, 5, link, control, title));
    EXPECT_EQ(title, "a");
    EXPECT_EQ(Log, (std::vector<std::string>{"link a"}));

    Log.clear();
    a->AnswerLink = false;
    EXPECT_TRUE(Root.LinkAt(nullptr, 1, 5, link, control, title));
    EXPECT_EQ(title, "b");
    EXPECT_EQ(Log, (std::vector<std::string>{"link a", "link b"}));

    // Y = 20 is c's top: DrawBottom is exclusive, so b is not asked.
    Log.clear();
    EXPECT_TRUE(Root.LinkAt(nullptr, 1, 20, link, control, title));
    EXPECT_EQ(Log, (std::vector<std::string>{"link c"}));

    Log.clear();
    EXPECT_FALSE(Root.LinkAt(nullptr, 1, 30, link, control, title));
    EXPECT_TRUE(Log.empty());
}

TEST_F(SectionListTest, FailingItemIsReportedDroppedAndLayoutGoesOn)
{
    Add(Root, 10, 2, "a");
    FakeItem* bad = Add(Root, 50, 0, "bad");
    bad->FailLayout = true;
    FakeItem* c = Add(Root, 30, 1, "c");
    EXPECT_EQ(LayoutRoot(), 40);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], u"cannot lay out bad");
    ASSERT_EQ(Root.Count(), 2);
    EXPECT_EQ(Root[1], c);
    EXPECT_EQ(c->YPosition, 10);
    EXPECT_EQ(Root.CharCount, 3);
    // Positions were registered without the dropped item.
    EXPECT_EQ(Root.PositionList.size(), 2u);
}

TEST_F(SectionListTest, OtherFailuresPassOn)
{
    struct Throws : FakeItem {
        using FakeItem::FakeItem;
        int Layout(platform::Canvas*, int, int, int, int, int, int, int, IndentManager*, int&, int&) override
        {
            throw std::runtime_error("other");
        }
    };
    Root.AddItem(std::make_unique<Throws>(10), 0);
    EXPECT_THROW(LayoutRoot(), std::runtime_error);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Root.Count(), 1);
}

TEST_F(SectionListTest, DeepNestingIsRefusedNotOverflowed)
{
    // Far deeper than any document the builder lets through.
    auto top = std::make_unique<FakeNest>(&Root);
    TBlockCell* cell = &top->Content;
    for (int i = 0; i < MaxCellNesting + 50; ++i) {
        auto nest = std::make_unique<FakeNest>(&Root);
        TBlockCell* inner = &nest->Content;
        cell->AddItem(std::move(nest), 0);
        cell = inner;
    }
    Root.AddItem(std::move(top), 0);
    Add(Root, 10, 0, "after");
    EXPECT_EQ(LayoutRoot(), 10);
    EXPECT_EQ(Boxes.size(), 1u);  // the innermost refused item is reported once and dropped
    EXPECT_EQ(Root.Count(), 2);
}

TEST_F(SectionListTest, FindItemAtYTakesTheLastItemAtOrAboveY)
{
    Add(Root, 10, 0, "a");
    Add(Root, 20, 0, "b");
    Add(Root, 30, 0, "c");
    LayoutRoot();
    int y = -1;
    int index = -1;
    EXPECT_EQ(Root.FindItemAtY(15, y, index), Root[1]);
    EXPECT_EQ(y, 10);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(Root.FindItemAtY(30, y, index), Root[2]);
    EXPECT_EQ(Root.FindItemAtY(0, y, index), Root[0]);
    EXPECT_EQ(Root.FindItemAtY(-1, y, index), nullptr);
}

TEST_F(SectionListTest, PositionQueries)
{
    FakeItem* a = Add(Root, 10, 4, "a");
    FakeItem* b = Add(Root, 10, 4, "b");
    a->SourceIndex = 7;
    b->SourceIndex = 7;
    LayoutRoot();
    EXPECT_EQ(Root.DocPosOf(7, false), 0);
    EXPECT_EQ(Root.DocPosOf(7, true), 4);
    // No item knows the index: the end of the document, never -1.
    EXPECT_EQ(Root.DocPosOf(99, false), 8);

    int x = 0;
    int y = 0;
    ASSERT_TRUE(Root.CursorPoint(nullptr, 5, x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 10);
    ASSERT_TRUE(Root.CursorPoint(nullptr, 8, x, y));
    EXPECT_EQ(x, 3 + 15);
    ASSERT_TRUE(Root.CursorPoint(nullptr, 1000, x, y));
    EXPECT_EQ(x, 3 + 15);

    char16_t ch = 0;
    TIDObject* obj = nullptr;
    Log.clear();
    EXPECT_FALSE(Root.CharAt(9, ch, obj));
    EXPECT_FALSE(Root.CharAt(-1, ch, obj));
    EXPECT_TRUE(Log.empty());
    EXPECT_TRUE(Root.CharAt(4, ch, obj));
}

TEST_F(SectionListTest, SelectionIsGatheredFromTheItemsItCovers)
{
    Add(Root, 10, 4, "a");
    Add(Root, 10, 4, "b");
    Add(Root, 10, 4, "c");
    LayoutRoot();
    EXPECT_EQ(Root.SelectedLength(), 0);
    Root.SelStart = 2;
    Root.SelEnd = 6;
    EXPECT_EQ(Root.SelectedLength(), 4);
    char16_t buffer[16];
    EXPECT_EQ(Root.SelectedText(buffer, 16), 5);
    EXPECT_EQ(std::u16string(buffer), u"aabb");
    EXPECT_EQ(Root.SelectionSink, nullptr);

    Root.SelStart = Root.SelEnd = 0;
    buffer[0] = u'z';
    EXPECT_EQ(Root.SelectedText(buffer, 16), 1);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(SectionListTest, CollapsedItemIsWithdrawnAndNotAdded)
{
    auto item = std::make_unique<FakeItem>(0);
    item->IsCollapsed = true;
    Root.IDNames->AddName("here", item.get());
    Root.AddItem(std::move(item), 0);
    EXPECT_EQ(Root.Count(), 0);
    EXPECT_EQ(Root.IDNames->Find("here"), nullptr);
    Root.AddItem(nullptr, 0);
    EXPECT_EQ(Root.Count(), 0);
}

TEST_F(SectionListTest, RemovedRunLeavesEveryList)
{
    auto* run = reinterpret_cast<TFontObj*>(std::uintptr_t(0x1000));
    auto* survivor = reinterpret_cast<TFontObj*>(std::uintptr_t(0x2000));
    auto* other = reinterpret_cast<TFontObj*>(std::uintptr_t(0x3000));
    Root.LinkRuns() = {run, other};
    Root.AddTabOrder("1", run);
    Root.AddTabOrder("2", other);
    Root.RunRemoved(run, survivor);
    EXPECT_EQ(Root.LinkRuns(), std::vector<TFontObj*>{other});
    EXPECT_EQ(Root.TabOrder.begin()->second.Run, survivor);
    Root.RunRemoved(other, nullptr);
    EXPECT_EQ(Root.TabOrderCount(), 1);
    Root.LinkRuns().clear();
    Root.TabOrder.clear();
}

TEST_F(SectionListTest, DropLastBottomMarginLooksAtTheLastFlowBlock)
{
    EXPECT_FALSE(Root.DropLastBottomMargin());
    FakeItem* block = Add(Root, 10, 0, "block");
    block->FlowBlock = true;
    block->ParaSpace = true;
    Add(Root, 10, 0, "text");
    EXPECT_TRUE(Root.DropLastBottomMargin());
    EXPECT_FALSE(Root.DropLastBottomMargin());
}

TEST_F(SectionListTest, AnimationTimerRunsOnlyWithAnimatedImages)
{
    Add(Root, 10, 0, "a");
    LayoutRoot();
    ASSERT_NE(Root.AnimationTimer(), nullptr);
    EXPECT_FALSE(Root.AnimationTimer()->Enabled());

    Animated shown;
    Animated hidden;
    Root.AnimatedImages = {&shown, &hidden};
    LayoutRoot();
    EXPECT_TRUE(shown.Started);
    EXPECT_TRUE(Root.AnimationTimer()->Enabled());
    EXPECT_EQ(Root.AnimationTimer()->Interval(), 50);

    Root.PaintCell(nullptr, {0, 0, 100, 100}, 100, 0, 0, 0, 0);
    shown.ShownInPass = true;  // as a drawn picture marks itself
    Root.AnimationTick();
    EXPECT_EQ(shown.Frame, 1);
    EXPECT_EQ(hidden.Frame, 0);
    EXPECT_EQ(Root.AnimationTimer()->Interval(), 40);

    Root.ObjectRemoved(&hidden);
    EXPECT_EQ(Root.AnimatedImages.size(), 1u);
    Root.Clear();
    EXPECT_EQ(Root.AnimationTimer(), nullptr);
    EXPECT_EQ(Root.Count(), 0);
}

TEST_F(SectionListTest, DefaultsScrollingAndClearing)
{
    std::vector<platform::TColor> backgrounds;
    Root.OnBackgroundChange = [&](TSectionList*, platform::TColor c) { backgrounds.push_back(c); };
    Root.SetFonts("Serif", std::string(40, 'm'), 12, 0, 0xFF, 0x800080, 0xFF00, 0xFFFFFF, true, true, 0, 8, 10);
    EXPECT_EQ(Root.PreFontName.size(), 32u);
    EXPECT_EQ(Root.VisitedColor, 0x800080u);
    EXPECT_TRUE(Root.LinkHover);
    EXPECT_EQ(backgrounds, std::vector<platform::TColor>{0xFFFFFF});

    int marked = 0;
    Root.OnMarkControlsUnshown = [&] { ++marked; };
    Root.ScrollTo(120);
    EXPECT_EQ(Root.YOffset, 120);
    EXPECT_TRUE(Root.YOffsetChanged);
    EXPECT_EQ(marked, 1);
    Root.PaintCell(nullptr, {0, 0, 10, 10}, 10, 0, 0, 0, 0);
    EXPECT_FALSE(Root.YOffsetChanged);

    FakeItem* a = Add(Root, 10, 3, "a");
    Root.IDNames->AddName("top", a);
    LayoutRoot();
    Root.SelStart = 1;
    Root.SelEnd = 2;
    int generation = Root.Generation;
    Root.Clear();
    EXPECT_EQ(Root.Generation, generation + 1);
    EXPECT_EQ(Root.IDNames->Count(), 0);
    EXPECT_TRUE(Root.PositionList.empty());
    EXPECT_EQ(Root.SelEnd, 0);
    EXPECT_EQ(Root.Count(), 0);
}

TEST_F(SectionListTest, PicturesAreRequestedOnceAndThenComeFromTheCache)
{
    TStringBitmapList cache;
    Root.ImageCache = &cache;
    int requests = 0;
    Root.OnBitmapRequest = [&](TSectionList*, const std::string& name, std::unique_ptr<platform::Bitmap>& bitmap,
                               platform::TColor& colour) {
        ++requests;
        if (name.find("none") != std::string::npos)
            return;
        bitmap = std::make_unique<platform::Bitmap>(4, 3);
        if (name.find("keyed") != std::string::npos)
            colour = 0xFFFFFF;
    };
    TTranspType transp = NotTransp;
    bool delayed = true;
    bool fromCache = true;
    platform::Bitmap* mask = nullptr;
    TPictureObject* first = Root.RequestImage(" pic.bmp ", transp, delayed, fromCache, mask);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(delayed);
    EXPECT_FALSE(fromCache);
    EXPECT_EQ(mask, nullptr);
    // The key ignores case and surrounding blanks.
    EXPECT_EQ(Root.RequestImage("PIC.BMP", transp, delayed, fromCache, mask), first);
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(requests, 1);

    // Asking for lower-left transparency later makes the mask then.
    transp = LLCorner;
    Root.RequestImage("pic.bmp", transp, delayed, fromCache, mask);
    EXPECT_NE(mask, nullptr);

    transp = NotTransp;
    ASSERT_NE(Root.RequestImage("keyed.bmp", transp, delayed, fromCache, mask), nullptr);
    EXPECT_EQ(transp, TrGif);
    EXPECT_NE(mask, nullptr);
    // The cached entry keeps its transparency for the next user.
    transp = NotTransp;
    Root.RequestImage("keyed.bmp", transp, delayed, fromCache, mask);
    EXPECT_EQ(transp, TrGif);

    EXPECT_EQ(Root.RequestImage("none.bmp", transp, delayed, fromCache, mask), nullptr);
    EXPECT_EQ(Root.RequestImage("", transp, delayed, fromCache, mask), nullptr);
}

TEST_F(SectionListTest, BackgroundPictureLoadsOnceAndIsReleasedOnClear)
{
    TStringBitmapList cache;
    Root.ImageCache = &cache;
    Root.OnBitmapRequest = [&](TSectionList*, const std::string&, std::unique_ptr<platform::Bitmap>& bitmap,
                               platform::TColor&) { bitmap = std::make_unique<platform::Bitmap>(2, 2); };
    Root.SetBackgroundImage("back.png", {});
    Root.LoadBackgroundImage();
    ASSERT_NE(Root.BackgroundImage, nullptr);
    EXPECT_TRUE(Root.BackgroundLoaded);
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Objects(0)->UsageCount, 1);
    Root.Clear();
    EXPECT_EQ(Root.BackgroundImage, nullptr);
    EXPECT_FALSE(Root.BackgroundLoaded);
    EXPECT_EQ(cache.Objects(0)->UsageCount, 0);

    Root.ShowImages = false;
    Root.SetBackgroundImage("back.png", {});
    Root.LoadBackgroundImage();
    EXPECT_EQ(Root.BackgroundImage, nullptr);
    EXPECT_FALSE(Root.BackgroundLoaded);
}

TEST_F(SectionListTest, InlineRecordsConvertToDocumentPositionsOnDemand)
{
    FakeItem* a = Add(Root, 10, 4, "a");
    FakeItem* b = Add(Root, 10, 4, "b");
    a->SourceIndex = 100;
    b->SourceIndex = 200;
    LayoutRoot();
    Root.Inlines->Add(std::make_unique<InlineRec>(InlineRec{100, 200}));
    Root.Inlines->Add(std::make_unique<InlineRec>(InlineRec{200, 200}));
    Root.Inlines->Add(std::make_unique<InlineRec>(InlineRec{100, 999}));
    EXPECT_EQ(Root.Inlines->InlineStart(0), 0);
    EXPECT_EQ(Root.Inlines->InlineEnd(0), 4);
    // An empty element still covers one position.
    EXPECT_EQ(Root.Inlines->InlineStart(1), 3);
    EXPECT_EQ(Root.Inlines->InlineEnd(1), 4);
    // A source index no item knows maps to the end of the document.
    EXPECT_EQ(Root.Inlines->InlineEnd(2), 8);
    EXPECT_EQ(Root.Inlines->InlineStart(3), 99999999);
    EXPECT_EQ(Root.Inlines->InlineEnd(-1), 99999999);
    // Layout asks for conversion again.
    b->SourceIndex = -1;
    LayoutRoot();
    EXPECT_EQ(Root.Inlines->InlineEnd(0), 8);
}

TEST_F(SectionListTest, GifFilesLoadAnimatedOrAsTransparentBitmaps)
{
    TStringBitmapList cache;
    Root.ImageCache = &cache;
    const std::string images = std::string(VEXA_SOURCE_DIR) + "/content/Info/images/";
    TTranspType transp = NotTransp;
    bool delayed = false;
    bool fromCache = false;
    platform::Bitmap* mask = nullptr;

    TPictureObject* animated = Root.RequestImage(images + "cup_anim.gif", transp, delayed, fromCache, mask);
    ASSERT_NE(animated, nullptr);
    ASSERT_NE(animated->Gif(), nullptr);
    EXPECT_TRUE(animated->Gif()->IsAnimated());
    EXPECT_EQ(animated->Gif()->NumFrames(), 4);
    EXPECT_EQ(mask, nullptr);

    transp = NotTransp;
    TPictureObject* still = Root.RequestImage(images + "cup.gif", transp, delayed, fromCache, mask);
    ASSERT_NE(still, nullptr);
    ASSERT_NE(still->Bitmap(), nullptr);
    EXPECT_EQ(still->Bitmap()->Width(), 32);
    EXPECT_EQ(transp, TrGif);  // its transparency comes with its own mask
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->Width(), 32);

    EXPECT_EQ(Root.RequestImage(images + "missing.gif", transp, delayed, fromCache, mask), nullptr);
}

namespace {

// A 2 x 1 24-bit BMP: a red and a blue pixel.
TImageStream TwoPixelBmp()
{
    TImageStream b = {'B', 'M'};
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto put16 = [&](std::uint16_t v) {
        b.push_back(std::uint8_t(v));
        b.push_back(std::uint8_t(v >> 8));
    };
    put32(54 + 8);
    put32(0);
    put32(54);
    put32(40);
    put32(2);
    put32(1);
    put16(1);
    put16(24);
    put32(0);
    put32(8);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (std::uint8_t v : {0, 0, 255, 255, 0, 0, 0, 0})  // BGR red, BGR blue, row padding
        b.push_back(v);
    return b;
}

TEST(SectionListImages, HostSuppliedDataWaitingAndFiles)
{
    TSectionList root(nullptr, nullptr);
    TStringBitmapList cache;
    root.ImageCache = &cache;
    const TImageStream bmp = TwoPixelBmp();
    std::vector<std::string> asked;
    root.OnImageRequest = [&](TSectionList*, const std::string& name, const TImageStream*& stream) {
        asked.push_back(name);
        if (name == "later.png")
            stream = &WaitStream();
        else if (name == "data.bmp")
            stream = &bmp;
    };
    root.OnExpandName = [](const std::string& name) { return "/nonexistent/" + name; };

    TTranspType transp = NotTransp;
    bool delayed = false, fromCache = false;
    platform::Bitmap* mask = nullptr;
    TPictureObject* picture = root.RequestImage("data.bmp", transp, delayed, fromCache, mask);
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(picture->Bitmap(), nullptr);
    EXPECT_EQ(picture->Bitmap()->Width(), 2);
    EXPECT_FALSE(delayed);
    // The second request comes from the cache without asking the host again.
    EXPECT_EQ(root.RequestImage("data.bmp", transp, delayed, fromCache, mask), picture);
    EXPECT_TRUE(fromCache);
    EXPECT_EQ(asked.size(), 1u);

    EXPECT_EQ(root.RequestImage("later.png", transp, delayed, fromCache, mask), nullptr);
    EXPECT_TRUE(delayed);
    // No stream: the file of the expanded name is read (here missing: no picture, not delayed).
    EXPECT_EQ(root.RequestImage("file.png", transp, delayed, fromCache, mask), nullptr);
    EXPECT_FALSE(delayed);
}

}  // namespace
