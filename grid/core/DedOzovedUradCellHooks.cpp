// The text of a cell on its way into or out of a file.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "richtext/MiniHTML.h"

void TDedOzovedUrad::DoLoadCell(int ACol, int ARow, const String& Value)
{
    if (!OnLoadCell) {
        SetGridCell(ACol, ARow, Value);
        return;
    }
    String Text = Value;
    OnLoadCell(this, ACol, ARow, Text);
    SetGridCell(ACol, ARow, Text);
}

String TDedOzovedUrad::SaveCell(int ACol, int ARow)
{
    String Value = GetSaveVirtCells() ? GetFormattedCell(ACol, ARow) : GetGridCell(ACol, ARow);
    if (!GetSaveMergedCells() && !IsBaseCell(ACol, ARow))
        Value.clear();
    if (Value.empty()) {
        // A plain or three-state check box keeps its state in its object:
        // written as the check texts ("-" for the third state).
        const int Real = RealRowIndex(TDisplayRow(ARow)).Value;
        if (const TCellGraphic* G = ObjectByRealRow(ACol, Real)) {
            if (G->GetCellType() == ctCheckBox)
                Value = G->GetCellBoolean() ? GetCheckTrueText(ACol, ARow) : GetCheckFalseText(ACol, ARow);
            else if (G->GetCellType() == ctTriStateCheckBox)
                switch (G->GetCellCheckBoxState()) {
                case cbUnchecked: Value = GetCheckFalseText(ACol, ARow); break;
                case cbChecked: Value = GetCheckTrueText(ACol, ARow); break;
                default: Value = u"-"; break;
                }
        }
    }
    switch (VuzEraz::DetectTextKind(Value, GetEnableHTML())) {
    case 1:
        if (!GetSaveWithHTML())
            Value = VovHTMLE::HTMLToPlainText(Value);
        break;
    case 2:
        if (GetSaveWithRTF()) {
            std::erase(Value, Char(u'\r'));
            std::erase(Value, Char(u'\n'));
        } else {
            TLumRichEdit* Rich = GetRichEdit();
            CellToRich(ACol, ARow, Rich);
            Value = Rich->GetText();
        }
        break;
    default: break;
    }
    if (OnSaveCell)
        OnSaveCell(this, ACol, ARow, Value);
    return Value;
}
