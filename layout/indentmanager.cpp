#include "layout/indentmanager.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int OpenBottom = 9999999;

// The smallest bottom of the float records of a list that lies below Y, or INT_MAX when none does.
int NextFloatBottom(const std::vector<std::unique_ptr<IndentRec>>& list, int Y)
{
    int best = INT_MAX;
    for (const auto& r : list)
        if (r->Block == nullptr && r->YBottom > Y)
            best = std::min(best, r->YBottom);
    return best;
}

int LargestFloatBottom(const std::vector<std::unique_ptr<IndentRec>>& list)
{
    int best = -1;
    for (const auto& r : list)
        if (r->Block == nullptr)
            best = std::max(best, r->YBottom);
    return best;
}

}  // namespace

void IndentManagerBasic::Clear()
{
    LeftList.clear();
    RightList.clear();
    CurrentBlock = nullptr;
}

void IndentManagerBasic::Reset(int left, int right)
{
    LfEdge = left;
    RtEdge = right;
    CurrentBlock = nullptr;
}

int IndentManagerBasic::LeftIndent(int Y) const
{
    int edge = 0;
    for (const auto& r : LeftList)
        if (Applies(*r, Y))
            edge = std::max(edge, r->Edge);
    return edge + LfEdge;
}

int IndentManagerBasic::RightSide(int Y) const
{
    bool found = false;
    int edge = INT_MAX;
    for (const auto& r : RightList)
        if (Applies(*r, Y)) {
            edge = std::min(edge, r->Edge);
            found = true;
        }
    return found ? edge + LfEdge : RtEdge;
}

int IndentManagerBasic::SetLeft(int X, int Y)
{
    LeftList.push_back(std::make_unique<IndentRec>(IndentRec{X, Y, OpenBottom, CurrentBlock, false}));
    return int(LeftList.size()) - 1;
}

int IndentManagerBasic::SetRight(int X, int Y)
{
    RightList.push_back(std::make_unique<IndentRec>(IndentRec{X, Y, OpenBottom, CurrentBlock, false}));
    return int(RightList.size()) - 1;
}

void IndentManagerBasic::FreeLeft(int index)
{
    if (index >= 0 && index < int(LeftList.size()))
        LeftList.erase(LeftList.begin() + index);
}

void IndentManagerBasic::FreeRight(int index)
{
    if (index >= 0 && index < int(RightList.size()))
        RightList.erase(RightList.begin() + index);
}

int IndentManagerBasic::ImageBottom() const
{
    return std::max(0, std::max(LargestFloatBottom(LeftList), LargestFloatBottom(RightList)));
}

void IndentManagerBasic::ClearY(int& left, int& right) const
{
    left = LargestFloatBottom(LeftList) + 1;
    right = LargestFloatBottom(RightList) + 1;
}

int IndentManagerBasic::NextWiderY(int Y) const
{
    int l = NextFloatBottom(LeftList, Y);
    int r = NextFloatBottom(RightList, Y);
    if (l == INT_MAX && r == INT_MAX)
        return Y;
    return std::min(l, r);
}

int IndentManagerBasic::AddFloatImage(int Y, bool leftSide, int width, int height, int hspace, int vspace)
{
    const int W = width + 2 * hspace;
    const int bottom = Y + height + 2 * vspace;
    if (leftSide) {
        const int X = LeftIndent(Y);
        LeftList.push_back(std::make_unique<IndentRec>(IndentRec{X + W - LfEdge, Y, bottom, nullptr, false}));
        return X + hspace - LfEdge;
    }
    // Right records and the returned X are kept relative to LfEdge like the left ones, so that a cell that
    // does not start at 0 gets its right floats inside it.
    const int E = RightSide(Y) - LfEdge;
    RightList.push_back(std::make_unique<IndentRec>(IndentRec{E - W, Y, bottom, nullptr, false}));
    return E - W + hspace;
}

void IndentManagerBasic::AddFloatBlock(int Y, int edge, bool leftSide, int height)
{
    if (leftSide)
        LeftList.push_back(std::make_unique<IndentRec>(IndentRec{edge - LfEdge, Y, Y + height, nullptr, true}));
    else
        RightList.push_back(
            std::make_unique<IndentRec>(IndentRec{RightSide(Y) - LfEdge - edge, Y, Y + height, nullptr, true}));
}
