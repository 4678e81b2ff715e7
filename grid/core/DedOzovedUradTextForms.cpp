// One cell's text in a particular form: the focus cell's, the in-place
// editor's, without markup, its links, its form-control values, its lines;
// the header texts of the first row and column; the automatic merging of
// chosen columns; and the column order kept while columns move.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "richtext/MiniHTML.h"

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
