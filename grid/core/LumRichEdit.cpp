#include "grid/core/LumRichEdit.h"

#include "grid/core/DedOzovedUrad.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumRichEdit, QT_PROP_RO(ReqHeight), QT_PROP_RO(ReqWidth))

TLumRichEdit::TLumRichEdit(TComponent* AOwner)
    : TRichEdit(AOwner)
    , FGrid(dynamic_cast<TDedOzovedUrad*>(AOwner))
{
}

void TLumRichEdit::SetSelOffset(LONG Twips)
{
    CHARFORMAT2W Format;
    Format.dwMask = CFM_OFFSET;
    Format.yOffset = Twips;
    Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
}

LONG TLumRichEdit::SelOffset()
{
    CHARFORMAT2W Format;
    Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
    return Format.yOffset;
}

void TLumRichEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TRichEdit::Dispatch(Message);
        Message.Result |= DLGC_WANTTAB;
        return;
    case WM_KILLFOCUS:
        if (FGrid && FGrid->InvokedFocusChange)
            return;
        if (FGrid && FGrid->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == FGrid->GetHandle())
            FGrid->HideInplaceEdit();
        break;
    default:
        break;
    }
    TRichEdit::Dispatch(Message);
}

void TLumRichEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TRichEdit::KeyDown(Key, Shift);
    if (!FGrid)
        return;
    if (Key == VK_TAB && FGrid->GetOptions().Contains(goTabs)) {
        FGrid->SetFocus();
        FGrid->Perform(WM_KEYDOWN, Key, 0);
        FGrid->ShowInplaceEdit();
    } else if ((Key == VK_UP || Key == VK_DOWN) && !FGrid->GetWordWrap() && !FGrid->GetMultilinecells()) {
        FGrid->SetFocus();
        FGrid->Perform(WM_KEYDOWN, Key, 0);
    }
}

void TLumRichEdit::RequestSize(const TRect& Rect)
{
    // The in-place editor first: asking for the grid's measuring rich edit
    // makes it.
    if (FGrid && FGrid->IsInplaceRichEdit(this)) {
        if (FGrid->GetSizeWhileTyping()->GetHeight() && !FLocked) {
            const int H = Rect.Height();
            const int Row = FGrid->GetRow();
            const TRect Cell = FGrid->CellRect(FGrid->GetCol(), Row);
            if (FGrid->GetRowHeights(Row) < H + 5 && Cell.Top + H + 5 < FGrid->GetHeight()) {
                SetHeight(H + 9);
                FGrid->SetRowHeights(Row, H + 10);
                if (FGrid->OnEndRowSize)
                    FGrid->OnEndRowSize(FGrid, Row);
            }
        }
    } else if (FGrid && this == FGrid->GetRichEdit()) {
        FReqWidth = Rect.Width();
        FReqHeight = Rect.Height();
    }
    TRichEdit::RequestSize(Rect);
}
