// BRIDGE: stand-ins until the index map and cell queries land.

#include "grid/core/DedOzovedUrad.h"

#include "platform/rtl/Streams.h"
#include "platform/vcl/RichEdit.h"

void TDedOzovedUrad::ApplyZoom(TFont* AFont) const
{
    const int Size = AFont->GetSize();
    if (GetZoomFactor() != 0 && Size > 0)
        AFont->SetSize(std::max(1, Size + GetZoomFactor()));
}

bool TDedOzovedUrad::HasCellFilterEdit(int ACol, int ARow)
{
    return FFilterEdit->GetEnabled() && ARow == FFilterEdit->GetRow() && ACol >= GetFixedCols();
}

void TDedOzovedUrad::CellToRich(int Col, int Row, TCustomRichEdit* Richeditor)
{
    const String Text = GetCellEx(Col, Row);
    if (Text.empty()) {
        Richeditor->Clear();
        return;
    }
    TStringStream Stream(Text);
    Richeditor->GetLines()->LoadFromStream(Stream);
}
