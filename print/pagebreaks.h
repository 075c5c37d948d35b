#pragma once
// Where a formatted document may be cut into pages. The document is walked once: every text line (with
// the pictures that hang from it) is a band that a cut must not go through, a block that asks to be kept
// whole is one band, and PAGE elements and blocks with page-break-before or -after force a cut. Pages are
// then cut as low as the page height allows without going through a band; a band taller than a page is
// cut where the page ends.

#include <vector>

class TSectionList;
class TCellBasic;
class TSectionBase;

// A page: the document rows [Top, Bottom).
struct TPageSpan {
    int Top = 0;
    int Bottom = 0;
};

class TPageBreaks {
public:
    // Collects the bands and forced cuts of a formatted document; bands taller than pageHeight cannot
    // be kept whole and are left out.
    TPageBreaks(TSectionList& root, int pageHeight);
    // Cuts [0, documentHeight) into pages; an empty document is one empty page.
    std::vector<TPageSpan> Cut(int documentHeight) const;

    // A band that no cut may go through (document rows [top, bottom)).
    void AddBand(int top, int bottom);
    // A cut the document asks for at document row y.
    void AddForced(int y);

    const std::vector<TPageSpan>& Bands() const { return FBands; }
    const std::vector<int>& Forced() const { return FForced; }

private:
    void CollectCell(const TCellBasic& cell, int depth);
    void CollectItem(TSectionBase& item, int depth);
    void Normalise();

    int FPageHeight;
    std::vector<TPageSpan> FBands;  // after Normalise: disjoint, sorted
    std::vector<int> FForced;       // after Normalise: sorted, unique
};
