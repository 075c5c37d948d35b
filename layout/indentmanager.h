#pragma once
// The left and right content edges of a cell at every document height, given the blocks being laid out and
// the floats placed so far. Every line of text asks it where it may go.

#include <memory>
#include <vector>

class TBlock;

struct IndentRec {
    int Edge = 0;     // an X, relative to the cell's left edge
    int YTop = 0;     // the record applies for YTop <= Y < YBottom
    int YBottom = 0;
    TBlock* Block = nullptr;  // the block that made the record; none for floats
    bool IsFloat = false;     // made by a floating block
};

class IndentManagerBasic {
public:
    virtual ~IndentManagerBasic() = default;

    int Width = 0;       // width available to the cell
    int PaintWidth = 0;  // set before painting
    std::vector<std::unique_ptr<IndentRec>> LeftList;
    std::vector<std::unique_ptr<IndentRec>> RightList;
    TBlock* CurrentBlock = nullptr;
    int LfEdge = 0;
    int RtEdge = 0;

    void Clear();
    void Reset(int left, int right);
    int LeftIndent(int Y) const;
    int RightSide(int Y) const;
    int SetLeft(int X, int Y);
    int SetRight(int X, int Y);
    void FreeLeft(int index);
    void FreeRight(int index);
    int ImageBottom() const;
    void ClearY(int& left, int& right) const;
    int NextWiderY(int Y) const;

    // Places a picture floating at Y. width/height are its size; hspace/vspace its spaces on each side.
    // Returns the X where the picture itself goes, relative to LfEdge.
    int AddFloatImage(int Y, bool leftSide, int width, int height, int hspace, int vspace);
    void AddFloatBlock(int Y, int edge, bool leftSide, int height);

private:
    bool Applies(const IndentRec& r, int Y) const
    {
        return r.YTop <= Y && Y < r.YBottom && (r.Block == nullptr || r.Block == CurrentBlock);
    }
};

class IndentManager : public IndentManagerBasic {};
