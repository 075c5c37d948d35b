#pragma once
// Where a formatted document may be cut into pages. The document is walked once: every text line (with
// the pictures that hang from it) is a band that a cut must not go through, a block that asks to be kept
// whole is one band, and PAGE elements and blocks with page-break-before or -after force a cut. Pages are
// then cut as low as the page height allows without going through a band; a band taller than a page is
// cut where the page ends.

#include <functional>
#include <vector>

class TSectionList;
class TCellBasic;
class TSectionBase;
class ThtmlTable;

// A page: the document rows [Top, Bottom), below the rows [RepeatTop, RepeatBottom) repeated at its top
// (the head rows of a table that goes on from the page before; none when equal).
struct TPageSpan {
    int Top = 0;
    int Bottom = 0;
    int RepeatTop = 0;
    int RepeatBottom = 0;
    int RepeatHeight() const { return RepeatBottom - RepeatTop; }
    int Height() const { return RepeatHeight() + Bottom - Top; }
};

class TPageBreaks {
public:
    // Collects the bands and forced cuts of a formatted document; bands taller than pageHeight cannot
    // be kept whole and are left out.
    TPageBreaks(TSectionList& root, int pageHeight,
                std::function<bool(TSectionBase& item, TPageBreaks& breaks)> itemHook = nullptr);
    // Cuts [0, documentHeight) into pages; an empty document is one empty page.
    std::vector<TPageSpan> Cut(int documentHeight);

    // A band that no cut may go through (document rows [top, bottom)).
    void AddBand(int top, int bottom);
    // A cut the document asks for at document row y.
    void AddForced(int y);
    // Rows [top, bottom) (a table's head rows) that are repeated at the top of every page that starts
    // after them and before itemBottom (the end of the table).
    void AddRepeat(int top, int bottom, int itemBottom);
    // Items the walk does not know (tables until they tell their rows) may be told here; true when the
    // hook took the item.
    std::function<bool(TSectionBase& item, TPageBreaks& breaks)> ItemHook;

    const std::vector<TPageSpan>& Bands() const { return FBands; }
    const std::vector<int>& Forced() const { return FForced; }

private:
    void CollectCell(const TCellBasic& cell, int depth);
    void CollectItem(TSectionBase& item, int depth);
    void CollectTable(ThtmlTable& table, int depth);
    void Normalise();
    struct Repeat {
        int Top, Bottom, ItemBottom;
    };

    int FPageHeight;
    bool FNormalised = false;
    std::vector<Repeat> FRepeats;
    std::vector<TPageSpan> FBands;  // after Normalise: disjoint, sorted
    std::vector<int> FForced;       // after Normalise: sorted, unique
};
