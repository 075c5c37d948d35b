// Reading TABLE markup: rows and cells (implied where missing), captions, column specifications, head,
// body and foot groups (the foot moved after the body), and content that stands between cells, which
// goes into the flow before the table. Tables nest by recursion through the cells' body loops.

#include "reader/tablereader.h"

#include <algorithm>

#include "layout/section.h"
#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "reader/builder.h"
#include "core/attributes.h"
#include "style/conversions.h"

// ---------------------------------------------------------------- TCellManager

int TCellManager::FindColNum(int row) const
{
    for (std::size_t c = 0; c < FBusyUntil.size(); ++c)
        if (FBusyUntil[c] <= row)
            return int(c);
    return -1;
}

void TCellManager::AddCell(int row, TCellObj& cell)
{
    const int d = FindColNum(row);
    if (d < 0)
        return;
    const int span = std::max(1, cell.ColSpan);
    int taken = 0;
    while (taken < span && std::size_t(d + taken) < FBusyUntil.size() && FBusyUntil[std::size_t(d + taken)] <= row)
        ++taken;
    if (taken < span)
        cell.ColSpan -= span - taken;
    const int until = row + std::max(1, cell.RowSpan);
    for (int c = d; c < d + taken; ++c)
        FBusyUntil[std::size_t(c)] = std::max(FBusyUntil[std::size_t(c)], until);
}

// ---------------------------------------------------------------- the table reader

namespace {

constexpr int MaxColumnSpecs = 1000;  // COL descriptions kept per table

const SymbolSet& CellTerminators()
{
    static const SymbolSet set{TableEndSy, TDSy, TDEndSy, TRSy, TREndSy, THSy, THEndSy, CaptionSy, CaptionEndSy,
                               ColSy, ColGroupSy};
    return set;
}

}  // namespace

// The state of one table read; nested tables are read by their own instances.
class TTableReader {
public:
    explicit TTableReader(THtmlBuilder& b) : B(b) {}
    void Read();

private:
    struct ColumnDefaults {
        int Width = 0;
        bool Percent = false;
        std::string Align;
        std::uint8_t VAlign = AlignNone;
        int Span = 1;
    };

    // Everything after the rows: the footer moved last, the table (with its caption) added to the flow,
    // the builder's state restored; readNext consumes the end tag.
    void Finish(bool readNext);
    void EndCell();
    void EndRow();
    void BeginRow(TAttributeList* attributes);
    void ReadCell();
    void ReadCaption();
    void ReadColumns();
    void ReadColumnAttributes(ColumnDefaults& d) const;
    void Group(Symbol sy);
    void PopTo(int index);
    int RowsSoFar() const { return int(Table->Rows.size() + Footers.size()); }

    THtmlBuilder& B;
    ThtmlTable* Table = nullptr;
    std::unique_ptr<TTableBlock> TableBlock;
    TAttributeList TableAttrs;  // the TABLE tag's, for a caption wrapper
    bool SavedNoBreak = false;
    int SavedListLevel = 0;
    int TableStackIndex = 0;    // the table's entry on the property stack
    std::unique_ptr<TBlock> Caption;
    bool CaptionTop = true;
    TCellBasic* OuterCell = nullptr;
    std::unique_ptr<TCellList> Row;
    int RowKind = 1;  // 0 head, 1 body, 2 foot
    AlignmentType RowVAlign = AlignMiddle;
    int RowMark = 0;
    std::unique_ptr<TCellObj> CellObj;
    int GroupMark = 1 << 30;
    std::vector<std::unique_ptr<TCellList>> Footers;
    bool ColumnsAllowed = true;
    std::unique_ptr<TCellManager> Manager;
};

void THtmlBuilder::DoTable(const SymbolSet&)
{
    TTableReader(*this).Read();
}

void TTableReader::PopTo(int index)
{
    while (B.PropStack.Count() - 1 > index && B.PropStack.Count() > 1)
        B.PropStack.PopTop();
}

void TTableReader::Read()
{
    if (B.TableLevel + 1 > THtmlBuilder::MaxTableDepth || !B.Unconstrained()) {
        // Too deep: the tag is dropped and what it held is read as content of the cell around it.
        B.Next();
        return;
    }
    ++B.TableLevel;
    ++B.OpenConstructs;
    if (B.InHref)
        B.DoAEnd();
    B.SectionAdd();
    OuterCell = B.CurrentCell;
    SavedNoBreak = B.NoBreak;
    SavedListLevel = B.ListLevel;
    B.CurrentCell = nullptr;

    const TPropValue& outerAlign = B.Top().Values[piTextAlign];
    const std::uint8_t enclosing = outerAlign.TextIs("center") ? 2 : outerAlign.TextIs("right") ? 3 : 0;

    B.Push("table");
    TAttributeList* attrs = B.Sc.Attributes();
    auto table = std::make_unique<ThtmlTable>(B.MasterList, attrs, B.Top());
    Table = table.get();
    TableBlock = std::make_unique<TTableBlock>(B.MasterList, attrs, std::move(table), OuterCell, B.Top());
    if (TableBlock->TableAlign != 2 && !TableBlock->IsFloating())
        TableBlock->TableAlign = enclosing;
    // The wrapper that stacks a caption with the table is made only when a caption came: it takes the
    // TABLE tag's attributes and the table's style, kept until then.
    TableStackIndex = B.PropStack.Count() - 1;
    for (const auto& a : *attrs)
        TableAttrs.Add(std::make_unique<TAttribute>(a->Sym, a->CodePage, a->StrValue, a->AttrName, a->NumValue));

    // A failure while reading (the reader ends the parse with it) still leaves what was read of the table
    // in the document, so that nothing it holds is freed behind the document's back.
    try {
        B.Next();
        while (B.Sc.Sy != TableEndSy && B.Sc.Sy != CaptionEndSy && B.Sc.Sy != EofSy) {
            const Symbol sy = B.Sc.Sy;
            switch (sy) {
            case TDSy:
            case THSy: ReadCell(); break;
            case TDEndSy:
            case THEndSy:
                EndCell();
                B.Next();
                break;
            case TRSy:
                EndRow();
                BeginRow(B.Sc.Attributes());
                B.Next();
                break;
            case TREndSy:
                EndRow();
                B.Next();
                break;
            case CaptionSy: ReadCaption(); break;
            case ColGroupSy:
            case ColSy:
                ReadColumns();
                if (!Manager && Table->ColSpecs)
                    Manager = std::make_unique<TCellManager>(int(Table->ColSpecs->size()));
                break;
            case THeadSy:
            case TBodySy:
            case TFootSy:
            case THeadEndSy:
            case TBodyEndSy:
            case TFootEndSy:
                Group(sy);
                B.Next();
                break;
            case OtherSy: B.Next(); break;
            default:
                if (sy == TextSy && B.Sc.Token.Count() == 1 && B.Sc.Token.CharAt(0) == u' ') {
                    B.Next();
                    break;
                }
                // Content between cells goes into the flow before the table.
                B.CurrentCell = OuterCell;
                B.DoBody(CellTerminators());
                B.SectionAdd();
                B.CurrentCell = nullptr;
                break;
            }
        }
    } catch (...) {
        if (CellObj) {
            // The open cell keeps what its unfinished constructs read.
            B.SectionAdd();
            B.CurrentCell = CellObj->Cell.get();
        }
        Finish(false);
        throw;
    }
    Finish(true);
}

void TTableReader::Finish(bool readNext)
{
    if (B.InHref)
        B.DoAEnd();
    EndCell();
    EndRow();
    if (GroupMark < B.PropStack.Count())
        PopTo(GroupMark);
    for (auto& row : Footers)
        Table->Rows.push_back(std::move(row));
    Footers.clear();

    B.CurrentCell = OuterCell;
    if (OuterCell) {
        if (Caption) {
            TProperties& tableProps = TableStackIndex < B.PropStack.Count() ? *B.PropStack[TableStackIndex] : B.Top();
            auto wrapper = std::make_unique<TTableAndCaptionBlock>(B.MasterList, &TableAttrs, TableBlock.get(),
                                                                   OuterCell, tableProps);
            TBlock* captionBlock = Caption.get();
            wrapper->SetCaption(captionBlock);
            Caption->OwnerCell = wrapper->MyCell.get();
            TableBlock->OwnerCell = wrapper->MyCell.get();
            TableBlock->OwnerBlock = wrapper.get();
            if (CaptionTop) {
                wrapper->MyCell->Add(std::move(Caption));
                wrapper->MyCell->Add(std::move(TableBlock));
                wrapper->TableIndex = 1;
            } else {
                wrapper->MyCell->Add(std::move(TableBlock));
                wrapper->MyCell->Add(std::move(Caption));
                wrapper->TableIndex = 0;
            }
            for (int i = 0; i < wrapper->MyCell->Count(); ++i)
                (*wrapper->MyCell)[i]->Root = B.MasterList;
            OuterCell->AddItem(std::move(wrapper), B.Sc.TagStartPos);
        } else {
            OuterCell->AddItem(std::move(TableBlock), B.Sc.TagStartPos);
        }
    }
    if (TableBlock)
        TableBlock->Withdraw();
    if (Caption)
        Caption->Withdraw();
    B.PopTag("table");
    B.NoBreak = SavedNoBreak;
    B.MasterList->NoBreak = SavedNoBreak;
    B.ListLevel = SavedListLevel;
    --B.OpenConstructs;
    --B.TableLevel;
    if (readNext)
        B.Next();
}

void TTableReader::BeginRow(TAttributeList* attributes)
{
    RowMark = B.PropStack.Count() - 1;
    if (attributes) {
        B.Push("tr");
        std::string align;
        if (B.TakeAlign(align))
            B.SetTextAlign(align);
    } else {
        B.PushPlain("tr");
    }
    Row = std::make_unique<TCellList>(attributes, &B.Top());
    RowVAlign = AlignMiddle;
    if (attributes)
        if (TAttribute* v = attributes->Find(VAlignSy)) {
            const std::string s = LowerCase(v->StrValue);
            RowVAlign = s == "top" || s == "baseline" ? AlignTop : s == "bottom" ? AlignBottom : AlignMiddle;
        }
}

void TTableReader::ReadCell()
{
    const Symbol sy = B.Sc.Sy;
    ColumnsAllowed = false;
    if (B.InHref)
        B.DoAEnd();
    B.ListLevel = 0;
    if (Row) {
        EndCell();
        PopTo(RowMark + 1);
    } else {
        BeginRow(nullptr);
    }
    TAttributeList* attrs = B.Sc.Attributes();
    B.Push(sy == THSy ? "th" : "td");
    AlignmentType vAlign = RowVAlign;
    if (TAttribute* v = attrs->Find(VAlignSy)) {
        const std::string s = LowerCase(v->StrValue);
        if (s == "top" || s == "baseline")
            vAlign = AlignTop;
        else if (s == "middle")
            vAlign = AlignMiddle;
        else if (s == "bottom")
            vAlign = AlignBottom;
    }
    if (Manager && Table->ColSpecs) {
        const int col = Manager->FindColNum(RowsSoFar());
        if (col >= 0 && col < int(Table->ColSpecs->size())) {
            const TColObj& column = (*Table->ColSpecs)[std::size_t(col)];
            if (!column.Align.empty())
                B.SetTextAlign(column.Align);
            if (column.VAlign != AlignNone)
                vAlign = AlignmentType(column.VAlign);
        }
    }
    std::string align;
    if (B.TakeAlign(align))
        B.SetTextAlign(align);
    if (B.Top().Values[piTextAlign].TextIs("none") || !B.Top().Values[piTextAlign].IsText())
        B.SetTextAlign(sy == THSy ? "center" : "left");
    CellObj = std::make_unique<TCellObj>(B.MasterList, B.Top(), attrs, vAlign);
    B.CurrentCell = CellObj->Cell.get();
    const bool pixelWidth = CellObj->SpecWidth > 0 && !CellObj->SpecWidthPercent;
    B.NoBreak = attrs->Find(NoWrapSy) && !pixelWidth;
    B.MasterList->NoBreak = B.NoBreak;
    B.SkipBlanks();
    B.Next();
    ++B.OpenConstructs;
    B.DoBody(CellTerminators());
    --B.OpenConstructs;
}

void TTableReader::EndCell()
{
    if (!CellObj)
        return;
    B.SectionAdd();
    if (Row && B.CurrentCell == CellObj->Cell.get()) {
        CellObj->Cell->DropLastBottomMargin();
        if (Manager)
            Manager->AddCell(RowsSoFar(), *CellObj);
        Row->AddCell(std::move(CellObj));
    } else {
        CellObj->Cell->WithdrawItems();
        CellObj.reset();
    }
    CellObj.reset();
    B.CurrentCell = nullptr;
}

void TTableReader::EndRow()
{
    if (B.InHref)
        B.DoAEnd();
    if (!Row)
        return;
    EndCell();
    Row->RowPart = RowKind == 2 ? 2 : RowKind == 0 ? 1 : 0;
    if (RowKind == 2)
        Footers.push_back(std::move(Row));
    else
        Table->Rows.push_back(std::move(Row));
    Row.reset();
    PopTo(RowMark);
}

void TTableReader::Group(Symbol sy)
{
    EndRow();
    if (GroupMark < B.PropStack.Count())
        PopTo(GroupMark);
    GroupMark = B.PropStack.Count() - 1;
    switch (sy) {
    case THeadSy:
        if (Table->Rows.empty() && Footers.empty()) {
            RowKind = 0;
            B.Push("thead");
        } else {
            RowKind = 1;
        }
        break;
    case TBodySy:
        RowKind = 1;
        B.Push("tbody");
        break;
    case TFootSy:
        RowKind = 2;
        B.Push("tfoot");
        break;
    default: RowKind = 1; break;
    }
}

void TTableReader::ReadCaption()
{
    if (B.InHref)
        B.DoAEnd();
    B.NoBreak = false;
    B.MasterList->NoBreak = false;
    EndCell();
    TAttributeList* attrs = B.Sc.Attributes();
    if (TAttribute* a = attrs->Find(AlignSy))
        CaptionTop = LowerCase(a->StrValue) != "bottom";
    B.Push("caption");
    if (!Caption)
        Caption = std::make_unique<TBlock>(B.MasterList, attrs, nullptr, B.Top());
    B.CurrentCell = Caption->MyCell.get();
    B.Next();
    ++B.OpenConstructs;
    B.DoBody(CellTerminators());
    --B.OpenConstructs;
    B.SectionAdd();
    B.PopTag("caption");
    B.Section.Discard();
    B.CurrentCell = nullptr;
    if (B.Sc.Sy == CaptionEndSy)
        B.Next();
}

void TTableReader::ReadColumnAttributes(ColumnDefaults& d) const
{
    for (const auto& a : *B.Sc.Attributes()) {
        switch (a->Sym) {
        case AlignSy: {
            const AlignmentType t = AlignFromText(a->StrValue);
            if (t == AlignMiddle || t == AlignLeft || t == AlignRight || t == AlignJustify) {
                d.Align = LowerCase(a->StrValue);
                if (d.Align == "middle")
                    d.Align = "center";
            }
            break;
        }
        case VAlignSy: {
            const AlignmentType t = AlignFromText(a->StrValue);
            if (t == AlignTop || t == AlignMiddle || t == AlignBaseline || t == AlignBottom)
                d.VAlign = t;
            break;
        }
        case WidthSy:
            if (a->StrValue.find('%') == std::string::npos) {
                d.Width = std::clamp(a->NumValue, 0, 1000000);
                d.Percent = false;
            } else {
                d.Percent = true;
                if (a->NumValue >= 1 && a->NumValue <= 100)
                    d.Width = a->NumValue * 10;
            }
            break;
        case SpanSy: d.Span = std::max(1, a->NumValue); break;
        default: break;
        }
    }
}

void TTableReader::ReadColumns()
{
    ColumnDefaults defaults;
    if (B.Sc.Sy == ColGroupSy) {
        if (ColumnsAllowed)
            ReadColumnAttributes(defaults);
        B.SkipBlanks();
        B.Next();
    }
    while (B.Sc.Sy == ColSy) {
        if (ColumnsAllowed) {
            ColumnDefaults col = defaults;
            col.Span = 1;
            ReadColumnAttributes(col);
            const int have = Table->ColSpecs ? int(Table->ColSpecs->size()) : 0;
            const int n = std::min({col.Span, 100, MaxColumnSpecs - have});
            for (int i = 0; i < n; ++i)
                Table->AddColumnSpec(col.Width, col.Percent, col.Align, col.VAlign);
        }
        B.SkipBlanks();
        B.Next();
    }
    if (B.Sc.Sy == ColGroupEndSy)
        B.Next();
}
