// One cell's text in a particular form: the focus cell's, the in-place
// editor's, without markup, its links, its form-control values, its lines;
// the header texts of the first row and column; the automatic merging of
// chosen columns; and the column order kept while columns move.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumInplaceEdit.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

// ---- the focus cell and the editor's text ----

String TDedOzovedUrad::GetCurrentCell()
{
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    return FVirtualEdit ? GetCellEx(Base.X, Base.Y) : String(GetGridCell(Base.X, Base.Y));
}

void TDedOzovedUrad::SetCurrentCell(const String& Value)
{
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    SetCellEx(Base.X, Base.Y, Value);
}

String TDedOzovedUrad::CurrentCellDisplayText()
{
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    return GetCellEx(Base.X, Base.Y);
}

String TDedOzovedUrad::CellRawText(int ACol, int ARow) { return GetGridCell(ACol, ARow); }

void TDedOzovedUrad::StoreCurrentCellText(const String& Value)
{
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    SetEditText(DisplColIndex(TRealCol(Base.X)).Value, Base.Y, Value);
}

String TDedOzovedUrad::GetEditText(int ACol, int ARow)
{
    // Loading the editor is no edit of the user's.
    FNoEditChange = true;
    struct TLower {
        bool& Flag;
        ~TLower() { Flag = false; }
    } Lower { FNoEditChange };
    int Col = DisplayToRealCol(TDisplayCol(ACol)).Value;
    int Row = ARow;
    // The text editor shows a right-aligned cell right-aligned; an editor
    // control reading the text leaves it alone.
    if (TLumInplaceEdit* Edit = GetNormalEdit(); Edit && !FGetEditTextAlign)
        Edit->SetVAlign(TAlignment(ResolveCellAlignment(Col, Row) & 0xFF) == taRightJustify);
    ResolveBaseCell(Col, Row, Col, Row);
    const String Text = TBaseGrid::GetEditText(Col, Row);
    return GetEditWithTags() ? Text : VovHTMLE::HTMLToPlainText(Text);
}

void TDedOzovedUrad::SetEditText(int ACol, int ARow, const String& Value)
{
    int Col = DisplayToRealCol(TDisplayCol(ACol)).Value;
    int Row = ARow;
    ResolveBaseCell(Col, Row, Col, Row);
    TBaseGrid::SetEditText(Col, Row, Value);
}

void TDedOzovedUrad::CellTextChanged(int ACol, int ARow)
{
    if (GetCellType(ACol, ARow) != ctScrollbar)
        return;
    const int Shown = DisplColIndex(TRealCol(ACol)).Value;
    TSize Text;
    MeasureCellText(Shown, ACol, ARow, false, GetWordWrap(), false, Text);
    SetCellScrollBarRange(ACol, ARow, GetRowHeights(ARow), Text.cy);
}

// ---- text forms ----

String TDedOzovedUrad::GetStrippedCells(int c, int r)
{
    const String Text = GetCellEx(c, r);
    if (Text.find(u"{\\") != String::npos) {
        TLumRichEdit* Rich = GetRichEdit();
        CellToRich(c, r, Rich);
        return Rich->GetText();
    }
    return VovHTMLE::HTMLToPlainText(Text);
}

// ---- headers ----

void TDedOzovedUrad::ShowColumnHeaders()
{
    if (GetFixedRows() <= 0)
        return;
    const int Count = std::min(FColumnHeaders->GetCount(), TotalColCount());
    for (int i = 0; i < Count; ++i)
        SetCellEx(i, 0, VuzEraz::EscapedNewlineToCR(FColumnHeaders->GetStrings(i)));
}

void TDedOzovedUrad::ShowRowHeaders()
{
    if (GetFixedCols() <= 0)
        return;
    const int Count = std::min(FRowHeaders->GetCount(), GetRowCount());
    for (int i = 0; i < Count; ++i)
        SetCellEx(0, i, VuzEraz::EscapedNewlineToCR(FRowHeaders->GetStrings(i)));
}

void TDedOzovedUrad::ClearColumnHeaders()
{
    for (int c = 0; c < GetColCount(); ++c)
        SetCellEx(c, 0, String());
}

void TDedOzovedUrad::ClearRowHeaders()
{
    for (int r = 0; r < GetRowCount(); ++r)
        SetCellEx(0, r, String());
}

void TDedOzovedUrad::SetColumnHeaders(TStrings* Value)
{
    FColumnHeaders->Assign(Value);
    if (GetFixedRows() > 0)
        ClearColumnHeaders();
    ShowColumnHeaders();
}

void TDedOzovedUrad::SetRowHeaders(TStrings* Value)
{
    FRowHeaders->Assign(Value);
    if (IsDesigning() && GetFixedCols() > 0)
        ClearRowHeaders();
    ShowRowHeaders();
}

int TDedOzovedUrad::GetLinesInCell(int c, int r) { return VuzEraz::CountLines(GetCellEx(c, r), true); }

bool TDedOzovedUrad::HasHyperlink(int i, int j) { return VuzEraz::HasURLPrefix(GetCellEx(i, j)); }

bool TDedOzovedUrad::HasHTMLForm(int ACol, int ARow) { return VovHTMLE::ContainsHTMLControl(GetCellEx(ACol, ARow)); }

namespace {

// Where the first link starts in the lower-cased text, and where it ends:
// before a double quote, else before a single quote, else at the end.
bool FindLink(const String& Lower, std::size_t& From, std::size_t& To, bool& ByDoubleQuote)
{
    static const char16_t* const Prefixes[]
        = { u"file://", u"http://", u"https://", u"ftp://", u"ftps://", u"nntp://", u"mailto:" };
    for (const char16_t* Prefix : Prefixes) {
        From = Lower.find(Prefix);
        if (From == String::npos)
            continue;
        To = Lower.find(u'"', From);
        ByDoubleQuote = To != String::npos;
        if (!ByDoubleQuote)
            To = Lower.find(u'\'', From);
        if (To == String::npos)
            To = Lower.size();
        return true;
    }
    return false;
}

} // namespace

String TDedOzovedUrad::GetHyperlink(int c, int r)
{
    const String Lower = LowerCase(GetCellEx(c, r));
    std::size_t From = 0, To = 0;
    bool ByDoubleQuote = false;
    return FindLink(Lower, From, To, ByDoubleQuote) ? Lower.substr(From, To - From) : String();
}

void TDedOzovedUrad::GetHyperlinkDetails(int i, int j, String& URL, String& Text)
{
    const String Cell = GetCellEx(i, j);
    std::size_t From = 0, To = 0;
    bool ByDoubleQuote = false;
    if (!FindLink(LowerCase(Cell), From, To, ByDoubleQuote))
        return;
    URL = Cell.substr(From, To - From);
    if (!ByDoubleQuote)
        return;
    // The anchor text of a link tag: between the tag's ">" and the next "<".
    const std::size_t Open = Cell.find(u'>', To);
    if (Open == String::npos)
        return;
    const std::size_t Close = Cell.find(u'<', Open + 1);
    Text = Cell.substr(Open + 1, (Close == String::npos ? Cell.size() : Close) - Open - 1);
}

String TDedOzovedUrad::GetControlValues(int c, int r, const String& ID)
{
    String Value;
    if (!VovHTMLE::GetHTMLControlValue(GetCellEx(c, r), ID, Value))
        return String();
    return Value;
}

void TDedOzovedUrad::SetControlValues(int c, int r, const String& ID, const String& Value)
{
    String Text = GetCellEx(c, r);
    if (VovHTMLE::SetHTMLControlValue(Text, ID, Value))
        SetCellEx(c, r, Text);
}

void TDedOzovedUrad::RichToCell(int Col, int Row, TCustomRichEdit* Richeditor)
{
    SetCellEx(Col, Row, RichToString(Richeditor));
}

// ---- merged columns and column order ----

void TDedOzovedUrad::MergedColumnsChanged()
{
    for (int c = 0; c < GetColCount(); ++c)
        SplitColumnCells(c);
    for (int i = 0; i < FMergedColumns->Count(); ++i)
        MergeColumnCells(FMergedColumns->GetInteger(i), i == 0);
}

void TDedOzovedUrad::SetColumnOrder()
{
    FColumnOrder->Clear();
    FSuppressColSizes->Clear();
    for (int c = 0; c < GetColCount(); ++c) {
        FColumnOrder->Add(c);
        FSuppressColSizes->Add(GetColWidths(c));
    }
}

int TDedOzovedUrad::ColumnAtPosition(int ACol)
{
    if (FColumnOrder->Count() == 0) {
        SetColumnOrder();
        if (FColumnOrder->Count() == 0)
            return ACol;
    }
    if (ACol < 0 || ACol >= FColumnOrder->Count())
        return ACol;
    int Column = FColumnOrder->GetInteger(ACol);
    if (FGroupColumn != -1 && Column >= FGroupColumn)
        ++Column;
    return Column;
}

int TDedOzovedUrad::ColumnByHeader(const String& AValue)
{
    for (int c = 0; c < TotalColCount(); ++c)
        if (GetCellsEx(c, 0) == AValue)
            return c;
    return -1;
}

void TDedOzovedUrad::ResetColumnOrder()
{
    UnHideColumnsAll();
    if (FColumnOrder->Count() == 0) {
        SetColumnOrder();
        return;
    }
    // An order that never settles (a damaged list naming a column twice)
    // gets no more passes than there are columns.
    const int Columns = GetColCount();
    for (int Pass = 0; Pass < Columns; ++Pass) {
        bool Moved = false;
        for (int i = 0; i < Columns && i < FColumnOrder->Count(); ++i) {
            const int Target = FColumnOrder->GetInteger(i);
            if (Target < i && Target >= 0) {
                MoveColumn(i, Target);
                Moved = true;
            }
        }
        if (!Moved)
            break;
    }
}
