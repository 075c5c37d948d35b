// Content edges around floats and block edges.
#include <gtest/gtest.h>

#include "layout/indentmanager.h"

namespace {
TBlock* FakeBlock(int n) { return reinterpret_cast<TBlock*>(std::uintptr_t(0x1000 * n)); }
}  // namespace

TEST(IndentManager, LeftFloatHoldsTheEdgeForItsHeightOnly)
{
    IndentManager m;
    m.Reset(10, 500);
    int x = m.AddFloatImage(20, true, 100, 50, 0, 0);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(m.LeftIndent(19), 10);
    EXPECT_EQ(m.LeftIndent(20), 110);
    EXPECT_EQ(m.LeftIndent(69), 110);
    EXPECT_EQ(m.LeftIndent(70), 10);
    EXPECT_EQ(m.ImageBottom(), 70);
    EXPECT_EQ(m.NextWiderY(30), 70);
    int l, r;
    m.ClearY(l, r);
    EXPECT_EQ(l, 71);
    EXPECT_EQ(r, 0);
}

TEST(IndentManager, FloatsStackSideBySideAndRightFloatsStayInTheCell)
{
    IndentManager m;
    m.Reset(100, 600);  // a cell from 100 to 600
    m.AddFloatImage(0, true, 50, 40, 5, 5);                // occupies 100..160
    EXPECT_EQ(m.AddFloatImage(0, true, 30, 10, 0, 0), 60);  // next to it
    EXPECT_EQ(m.LeftIndent(5), 190);
    int x = m.AddFloatImage(0, false, 80, 20, 0, 0);
    EXPECT_EQ(x + m.LfEdge, 520);  // drawn at LfEdge + X
    EXPECT_EQ(m.RightSide(10), 520);
    EXPECT_EQ(m.RightSide(20), 600);
    EXPECT_EQ(m.NextWiderY(0), 10);  // the smaller bottom of both sides
}

TEST(IndentManager, NoFloats)
{
    IndentManager m;
    m.Reset(0, 300);
    int l, r;
    m.ClearY(l, r);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(m.NextWiderY(42), 42);
    EXPECT_EQ(m.ImageBottom(), 0);
    EXPECT_EQ(m.RightSide(0), 300);
}

TEST(IndentManager, BlockRecordsCountOnlyForTheirBlock)
{
    IndentManager m;
    m.Reset(0, 400);
    m.CurrentBlock = FakeBlock(1);
    int left = m.SetLeft(30, 0);
    int right = m.SetRight(350, 0);
    EXPECT_EQ(m.LeftIndent(100), 30);
    EXPECT_EQ(m.RightSide(100), 350);
    m.CurrentBlock = FakeBlock(2);
    EXPECT_EQ(m.LeftIndent(100), 0);
    EXPECT_EQ(m.RightSide(100), 400);
    m.CurrentBlock = FakeBlock(1);
    m.FreeRight(right);
    m.FreeLeft(left);
    EXPECT_EQ(m.LeftIndent(100), 0);
    m.FreeLeft(7);  // out of range: ignored
    EXPECT_EQ(m.ImageBottom(), 0);  // block records are no floats
}

TEST(IndentManager, FloatingBlocks)
{
    IndentManager m;
    m.Reset(20, 420);
    m.AddFloatBlock(0, 120, true, 30);
    EXPECT_EQ(m.LeftIndent(10), 120);
    m.AddFloatBlock(0, 100, false, 60);
    EXPECT_EQ(m.RightSide(10), 320);
    EXPECT_EQ(m.NextWiderY(0), 30);
    m.Clear();
    EXPECT_EQ(m.LeftIndent(10), 20);
}
