#include "grid/core/LumInplaceEdit.h"

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumInplaceEdit, QT_PROP(LengthLimit), QT_PROP(VAlign), QT_PROP(WordWrap))

using GridGuards::TValueGuard;

namespace {

constexpr Char CharCtrlA = 1;
constexpr Char CharCtrlC = 3;
constexpr Char CharBackspace = 8;
constexpr Char CharTab = 9;
constexpr Char CharLineFeed = 10;
constexpr Char CharEnter = 13;
constexpr Char CharCtrlV = 22;
constexpr Char CharCtrlX = 24;
constexpr Char CharEsc = 27;
// Bit 22 of a key's data is bit 6 of its scan code: set for the keypad's
// decimal key (0x53), clear for the main "." key (0x34).
constexpr LPARAM KeypadDecimalBit = LPARAM(1) << 22;

bool IsDigit(Char Ch) { return Ch >= u'0' && Ch <= u'9'; }

bool Contains(const String& S, Char Ch) { return S.find(Ch) != String::npos; }

// The kinds whose Enter may make a line break under LineFeedOnEnter.
bool IsLineKind(TEditorType Kind)
{
    switch (Kind) {
    case edNormal: case edCapital: case edMixedCase: case edLowerCase: case edUpperCase: case edValidChars:
        return true;
    default:
        return false;
    }
}

bool InValidChars(TDedOzovedUrad* Grid, Char Ch)
{
    const String& Valid = Grid->GetValidChars();
    if (!Valid.empty())
        return Contains(Valid, Ch);
    return Ch < 256 && Grid->GetValidCharSet().test(Ch);
}

} // namespace

TLumInplaceEdit::TLumInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner)
{
    FGrid = dynamic_cast<TDedOzovedUrad*>(AOwner);
}

TDedOzovedUrad* TLumInplaceEdit::Grid() const
{
    return FGrid ? FGrid : dynamic_cast<TDedOzovedUrad*>(m_grid);
}

void TLumInplaceEdit::SetVAlign(bool Value)
{
    if (FValign == Value)
        return;
    FValign = Value;
    // Our edit takes the right alignment on the live window: making the
    // window again while the grid loads it would lose the focus it is
    // about to get.
    if (HandleAllocated()) {
        if (Value)
            SetAlignment(taRightJustify);
        else if (GetAlignment() == taRightJustify)
            SetAlignment(taLeftJustify);
    }
}

void TLumInplaceEdit::SetWordWrap(bool Value)
{
    if (FWordWrap == Value)
        return;
    FWordWrap = Value;
    if (HandleAllocated())
        RecreateWnd();
}

// ---- window ----

void TLumInplaceEdit::CreateParams(TCreateParams& Params)
{
    TInplaceEdit::CreateParams(Params);
    if (auto* G = dynamic_cast<TDedOzovedUrad*>(GetParent()))
        FGrid = G;
    TDedOzovedUrad* G = Grid();
    if (!G)
        return;
    FWordWrap = G->GetWordWrap();
    // A cell's text may hold line breaks: the editor is a multi-line edit.
    Params.Style |= ES_MULTILINE;
    if (FValign)
        Params.Style |= ES_RIGHT;
    if (G->GetEditControl() == edPassword) {
        Params.Style |= ES_PASSWORD;
        Params.Style &= ~ES_MULTILINE;
    } else if (FWordWrap) {
        Params.Style &= ~ES_AUTOHSCROLL;
    }
    Params.Style |= ES_WANTRETURN;
    GotKey = false;
    Workmode = true;
}

void TLumInplaceEdit::CreateWnd()
{
    TInplaceEdit::CreateWnd();
    TDedOzovedUrad* G = Grid();
    if (!G)
        return;
    if (G->GetEditControl() == edPassword)
        Perform(EM_SETPASSWORDCHAR, WPARAM(G->GetPasswordChar()), 0);
    if (FEditProp) {
        FEditProp = false;
        SendMessage(GetHandle(), GridUnit().WM_GRIDEDITPROP, 0, 0);
    }
    FLengthLimit = G->GetMaxEditLength();
}

void TLumInplaceEdit::LoadCellLook()
{
    TDedOzovedUrad* G = Grid();
    if (!G) {
        TInplaceEdit::LoadCellLook();
        return;
    }
    // The platform editor's load, with the text read first: reading it
    // ends the grid's own no-change bracket, and loading the text is no
    // edit of the user's.
    const int Col = G->GetCol(), Row = G->GetRow();
    const String Mask = G->GetEditMask(Col, Row);
    const String Text = G->GetEditText(Col, Row);
    {
        TValueGuard<bool> NoChange(G->FNoEditChange, true);
        SetEditMask(Mask);
        SetText(Text);
        SetMaxLength(G->GetEditLimit());
        SelectAll();
    }
    ApplyCellLook();
    FColE = G->GetCol();
    FColR = G->GetRealCol();
    FRowE = G->GetRow();
    FEditProp = true;
    if (HandleAllocated())
        PostMessage(GetHandle(), GridUnit().WM_GRIDEDITPROP, 0, 0);
}

void TLumInplaceEdit::ApplyCellLook()
{
    TDedOzovedUrad* G = Grid();
    TBrush Brush;
    TFont Font;
    TColor ColorTo = clNone, MirrorColor = clNone, MirrorColorTo = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = G->GetWordWrap();
    TCellGradientDirection GD {};
    TGridDrawState State;
    G->GetVisualProperties(G->GetCol(), G->GetRow(), State, false, false, true, &Brush, ColorTo, MirrorColor,
        MirrorColorTo, &Font, HA, VA, WW, GD);
    if (Brush.GetColor() != clNone)
        SetColor(Brush.GetColor());
    GetFont()->Assign(&Font);
    SetAlignment(HA);
}

void TLumInplaceEdit::AfterBoundsChange()
{
    TInplaceEdit::AfterBoundsChange();
    FGotFocus = false;
    PlaceEditor();
}

void TLumInplaceEdit::PlaceEditor()
{
    TDedOzovedUrad* G = Grid();
    if (!G || !HandleAllocated())
        return;
    const TRect R = G->CellRect(G->GetCol(), G->GetRow());
    if (R.IsEmpty())
        return; // the focus cell is out of view
    const int LineWidth = G->GetGridLineWidth();
    const int Inset = LineWidth >= 2 ? LineWidth / 2 + 1 : 1;
    SetBounds(R.Left, R.Top, R.Width() - Inset, R.Height() - Inset);
    int Offset = 1;
    if (!FWordWrap && G->GetVAlignment() != vtaTop) {
        TBitmap Measure;
        Measure.GetCanvas()->GetFont()->Assign(GetFont());
        const int TextH = Measure.GetCanvas()->TextHeight(u"gh");
        const int CellH = R.Height();
        if (G->GetVAlignment() == vtaCenter)
            Offset = (CellH - (TextH + 2)) / 2;
        else if (G->GetVAlignment() == vtaBottom)
            Offset = CellH - TextH - 4;
    }
    TRect Format(3, Offset + 2, GetWidth() - 4, GetHeight());
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
    if (LineWidth > 1)
        G->Invalidate();
    if (G->Focused())
        SetFocus();
}

// ---- messages ----

void TLumInplaceEdit::Dispatch(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    if (!G) {
        TInplaceEdit::Dispatch(Message);
        return;
    }
    if (Message.Msg == GridUnit().WM_GRIDEDITPROP && Message.Msg != 0) {
        ApplyCellLook();
        G->DoGetEditorProp(G->GetRealCol(), G->GetRow(), nullptr);
        AfterBoundsChange();
        return;
    }
    switch (Message.Msg) {
    case WM_SYSKEYDOWN:
        if (Message.WParam == VK_BACK)
            FAltBack = true;
        break;
    case WM_SYSKEYUP:
        if (Message.WParam == VK_BACK)
            FAltBack = false;
        break;
    case WM_CHAR:
        if (CharFilter(Message))
            return;
        break;
    case WM_KEYDOWN:
        if (KeyDownMessage(Message))
            return;
        break;
    case WM_KEYUP:
        KeyUpMessage(Message);
        return;
    case WM_PASTE:
        Paste();
        return;
    case WM_COPY: case WM_CUT:
        ClipboardCopyOrCut(Message);
        return;
    case WM_SETFOCUS:
        FocusGained(Message);
        return;
    case WM_KILLFOCUS:
        FocusLost(Message);
        return;
    case WM_LBUTTONDBLCLK:
        TInplaceEdit::Dispatch(Message);
        if (G->OnDblClickCell)
            G->OnDblClickCell(G, G->GetRow(), G->GetCol());
        return;
    case WM_GETDLGCODE:
        TInplaceEdit::Dispatch(Message);
        if (G->WantsEditorTab())
            Message.Result |= DLGC_WANTTAB;
        return;
    case CM_WANTSPECIALKEY:
        TInplaceEdit::Dispatch(Message);
        if (Message.WParam == VK_TAB && G->WantsEditorTab())
            Message.Result = 1;
        return;
    default:
        break;
    }
    TInplaceEdit::Dispatch(Message);
}

// ---- typed characters ----

bool TLumInplaceEdit::CharFilter(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    TNavigation* Nav = G->GetNavigation();
    Char Ch = Char(Message.WParam);
    const bool CtrlHeld = GetKeyState(VK_CONTROL) < 0;

    if (Ch == u'.'
        && (G->GetForceDecimalSeparator()
            || (G->GetExcelStyleDecimalSeparator() && (Message.LParam & KeypadDecimalBit) != 0)))
        Ch = VuzEraz::DecimalSeparatorChar();
    if (Ch == CharCtrlA)
        return true; // the key-down selected all
    if (Ch == CharLineFeed && CtrlHeld
        && !(Nav->GetAllowCtrlEnter() && (G->GetWordWrap() || G->GetMultilinecells())))
        return true;
    if (FLengthLimit > 0 && GetTextLen() >= FLengthLimit && GetSelLength() == 0 && Ch != CharBackspace
        && Ch != CharEsc && Ch != CharEnter)
        return true; // full: dropped without a beep

    const TEditorType Kind = G->GetEditControl();
    if (Ch == CharEnter && IsLineKind(Kind) && Nav->GetLineFeedOnEnter()) {
        // A line break: straight to the edit, past the key press that
        // would take Enter as the end of the edit.
        Message.WParam = Ch;
        DefaultHandler(Message);
        return true;
    }

    const int OldCaret = GetSelStart();
    if (KindAcceptsChar(Ch, CtrlHeld)) {
        Message.WParam = Ch;
        TInplaceEdit::Dispatch(Message);
        if (Kind == edMixedCase) {
            const String Text = GetText();
            const String Named = VuzEraz::CapitalizeNames(Text);
            if (Named != Text) {
                SetText(Named);
                SetSelStart(OldCaret + 1);
            }
        }
    }

    // A typed character that filled the text moves on. Enter and the other
    // control characters do their own moving (or none): counting them
    // here would advance twice.
    const int MaxLen = G->GetMaxEditLength();
    if (Ch >= 32 && GetVisible() && Nav->GetAdvanceAuto() && Nav->GetAdvanceOnEnter() && MaxLen > 0
        && GetTextLen() == MaxLen && GetSelLength() == 0 && GetSelStart() == GetTextLen()) {
        char16_t Enter = CharEnter;
        G->KeyPress(Enter);
    }
    return true;
}

// The rule of the cell's editor kind: True when the character goes to the
// edit (perhaps changed), False when it is dropped (with a beep where the
// kind beeps).
bool TLumInplaceEdit::KindAcceptsChar(Char& Ch, bool CtrlHeld)
{
    TDedOzovedUrad* G = Grid();
    const String Text = GetText();
    const auto Beep = [] {
        MessageBeep(0);
        return false;
    };
    switch (G->GetEditControl()) {
    case edNumeric:
    case edPositiveNumeric: {
        if (CtrlHeld)
            return true;
        if (Ch == CharBackspace || Ch == CharTab || Ch == CharEnter || Ch == CharEsc || IsDigit(Ch))
            return true;
        if (Ch == u'-' && G->GetEditControl() == edNumeric) {
            if (Contains(Text, u'-'))
                return Beep();
            return GetSelStart() == 0 ? true : Beep();
        }
        return Beep();
    }
    case edFloat:
    case edPositiveFloat: {
        // A Ctrl-held character goes to the edit once, whichever rule
        // accepts it (Ctrl+H deletes one character).
        if (CtrlHeld)
            return true;
        const bool Signed = G->GetEditControl() == edFloat;
        if (!VuzEraz::IsNumericEditKey(Ch) || (Ch == u'-' && !Signed))
            return false;
        const String Sel = GetSelText();
        if (Ch == VuzEraz::DecimalSeparatorChar()) {
            String Rest = Text;
            Rest.erase(std::size_t(GetSelStart()), std::size_t(GetSelLength()));
            return !Contains(Rest, Ch);
        }
        if (Ch == VuzEraz::ThousandSeparatorChar())
            return false;
        if (Ch == u'-') {
            if ((GetSelStart() == 0 && !Contains(Text, u'-')) || Contains(Sel, u'-'))
                return true;
            return Beep();
        }
        return true;
    }
    case edCapital:
    case edUpperCase:
        Ch = AnsiUpperCase(String(1, Ch))[0];
        return true;
    case edLowerCase:
        Ch = AnsiLowerCase(String(1, Ch))[0];
        return true;
    case edValidChars:
        if (Ch == CharCtrlC || Ch == CharCtrlV || Ch == CharCtrlX)
            return true;
        if (InValidChars(G, Ch))
            return true;
        if (Ch == CharBackspace || Ch == CharLineFeed || Ch == CharEnter)
            return true;
        return Beep();
    default:
        return true;
    }
}

void TLumInplaceEdit::KeyPress(char16_t& Key)
{
    TDedOzovedUrad* G = Grid();
    if (!G) {
        TInplaceEdit::KeyPress(Key);
        return;
    }
    if (Key == CharEsc) {
        // Esc did its work on key-down (text restored, edit ended).
        Key = 0;
        return;
    }
    if (Key == CharEnter && !G->GetNavigation()->GetLineFeedOnEnter() && !G->ValidateCell(GetText())) {
        SetText(G->GetCurrentCell());
        Key = 0;
        return;
    }
    TInplaceEdit::KeyPress(Key);
    if (Key != 0 && G->GetNavigation()->GetAdvanceAuto() && IsMasked()) {
        int Blank = 0;
        const int Caret = GetSelStart();
        if (Validate(GetEditText(), Blank) && Caret >= GetTextLen()) {
            char16_t Enter = CharEnter;
            G->KeyPress(Enter);
        }
    }
}

// ---- keys ----

void TLumInplaceEdit::RestoreAfterRefusal(const String& OldCellText)
{
    TDedOzovedUrad* G = Grid();
    SetText(G->FNewCellText);
    if (G->GetNavigation()->GetEditSelectAll())
        SelectAll();
    else
        SetSelStart(GetTextLen());
    Invalidate();
    G->FOldCellText = OldCellText;
}

bool TLumInplaceEdit::KeyDownMessage(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    TNavigation* Nav = G->GetNavigation();
    const WORD Key = WORD(Message.WParam);
    const TShiftState Shift = GetKeyShiftState();
    const bool Ctrl = Shift.Contains(ssCtrl);
    FOldSelStart = GetSelStart();
    FOldSelLength = GetSelLength();
    FArrDown = false;

    if (Key == VK_ESCAPE) {
        // Back to the text the edit began with; the edit ends storing it.
        // The key is done here: it reaches the inherited handling once.
        SetText(G->FCellCache);
        TInplaceEdit::Dispatch(Message);
        G->HideInplaceEdit();
        return true;
    }
    if (Key == 'A' && Ctrl && GetKeyState(VK_RMENU) >= 0) {
        SelectAll();
        return true;
    }
    const bool CtrlEnterBreaks = Nav->GetAllowCtrlEnter() && (G->GetWordWrap() || G->GetMultilinecells());
    if (Key == VK_RETURN && Ctrl && !CtrlEnterBreaks) {
        if (G->OnKeyDown) {
            WORD Enter = VK_RETURN;
            G->OnKeyDown(G, Enter, TShiftState { ssCtrl });
        }
        return true;
    }

    if (Key == VK_DOWN && Nav->GetAppendOnArrowDown() && G->GetRow() == G->GetRowCount() - 1)
        FArrDown = true;
    const String Old = G->FOldCellText;
    const String T = GetText();
    const int Caret = GetSelStart();
    const int Len = GetTextLen();
    bool CellLeft = false;

    if (Key == VK_TAB && G->WantsEditorTab()) {
        if (!G->ValidateCell(T)) {
            RestoreAfterRefusal(Old);
            if (G->OnKeyDown) {
                WORD Tab = VK_TAB;
                G->OnKeyDown(G, Tab, Shift);
            }
            return true;
        }
        SetText(G->FNewCellText);
        G->HideInplaceEdit();
        if (G->GetOptions().Contains(goTabs)) {
            WORD Tab = VK_TAB;
            G->KeyDown(Tab, Shift);
        } else {
            PostMessage(G->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
        }
        return true;
    }

    const bool AtStart = Caret == 0 && GetSelLength() == 0;
    const bool AtEnd = Caret >= Len && GetSelLength() == 0;
    if (((Key == VK_LEFT && AtStart) || (Key == VK_RIGHT && AtEnd)) && Shift.Contains(ssShift)
        && Nav->GetCursorWalkEditor()) {
        {
            TValueGuard<bool> Validating(G->FValidating, true);
            G->SetCurrentCell(T);
        }
        if (G->ValidateCell(T)) {
            SetText(G->FNewCellText);
            G->HideInplaceEdit();
            if (G->CanFocus())
                G->SetFocus();
        } else {
            RestoreAfterRefusal(Old);
            return true;
        }
    } else if ((Key == VK_UP || Key == VK_DOWN) && !Ctrl) {
        const int Line = int(Perform(EM_LINEFROMCHAR, WPARAM(Caret), 0));
        const int Lines = int(Perform(EM_GETLINECOUNT, 0, 0));
        if ((Key == VK_UP && Line == 0) || (Key == VK_DOWN && Line >= Lines - 1)) {
            {
                TValueGuard<bool> Validating(G->FValidating, true);
                G->SetCurrentCell(T);
            }
            if (!G->ValidateCell(T)) {
                RestoreAfterRefusal(Old);
                return true;
            }
            SetText(G->FNewCellText);
            CellLeft = true;
            if (Nav->GetAlwaysEdit() && Nav->GetSkipFixedCells()) {
                // The grid moves by the key (its own handling) and edits there.
                WORD Move = Key;
                G->KeyDown(Move, Shift);
                G->ShowInplaceEdit();
                return true;
            }
        }
    }

    if (Key == VK_RETURN && !Ctrl && !Nav->GetLineFeedOnEnter()) {
        if (!G->ValidateCell(T)) {
            RestoreAfterRefusal(Old);
            return true;
        }
        SetText(G->FNewCellText);
    }
    if ((Key == VK_HOME || Key == VK_END) && !Ctrl && !Shift.Contains(ssShift)) {
        SetSelStart(Key == VK_HOME ? 0 : GetTextLen());
        return true;
    }
    if (Key == VK_RETURN && Ctrl && Nav->GetLineFeedOnEnter()) {
        Perform(WM_CHAR, CharEnter, 0);
        return true;
    }
    TInplaceEdit::Dispatch(Message);
    if (CellLeft && G->GetMouseActions()->GetDisjunctRowSelect()) {
        G->ResetRowSelectList();
        G->SetRowSelect(G->GetRow(), true);
    }
    return true;
}

void TLumInplaceEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TDedOzovedUrad* G = Grid();
    if (!G) {
        TInplaceEdit::KeyDown(Key, Shift);
        return;
    }
    TNavigation* Nav = G->GetNavigation();
    FSelKeyDown = GetSelStart();
    FKeyDownKey = Key;
    FAllSelKeyDown = GetTextLen() > 0 && GetSelLength() == GetTextLen();
    Workmode = Key != VK_BACK && Key != VK_DELETE;
    if (Key == VK_RETURN && !Nav->GetAllowCtrlEnter() && (G->GetWordWrap() || G->GetMultilinecells()))
        G->FEditing = false;

    // Keys that stay in the editor: Up and Down between its lines, and
    // Left and Right while the cursor walk decides on key-up.
    bool Stay = false;
    if ((Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssCtrl)) {
        const int Line = int(Perform(EM_LINEFROMCHAR, WPARAM(GetSelStart()), 0));
        const int Lines = int(Perform(EM_GETLINECOUNT, 0, 0));
        Stay = (Key == VK_UP && Line > 0) || (Key == VK_DOWN && Line < Lines - 1);
    }
    if ((Key == VK_LEFT || Key == VK_RIGHT) && Nav->GetCursorWalkEditor() && !Shift.Contains(ssShift)
        && !Shift.Contains(ssCtrl))
        Stay = true;
    if (Stay) {
        TCustomMaskEdit::KeyDown(Key, Shift);
        return;
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TLumInplaceEdit::KeyUpMessage(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    TInplaceEdit::Dispatch(Message);
    if (FArrDown && !G->GetNavigation()->GetAlwaysEdit()) {
        FArrDown = false;
        G->HideInplaceEdit();
        int Row = G->GetRow();
        if (G->AppendRowAtEnd(Row))
            G->SetRow(G->GetRowCount() - 1);
    }
}

void TLumInplaceEdit::KeyUp(WORD& Key, TShiftState Shift)
{
    TDedOzovedUrad* G = Grid();
    if (G && G->GetNavigation()->GetCursorWalkEditor() && !Shift.Contains(ssShift) && Key == FKeyDownKey) {
        const bool NoSel = GetSelLength() == 0;
        if (Key == VK_LEFT && NoSel && GetSelStart() == 0 && FSelKeyDown == 0 && FOldSelLength == 0) {
            Key = 0;
            WalkOut(false);
            return;
        }
        const bool WasAtEnd = FOldSelLength == 0 && FSelKeyDown >= GetTextLen();
        if (Key == VK_RIGHT && (WasAtEnd || FAllSelKeyDown)) {
            Key = 0;
            WalkOut(true);
            return;
        }
    }
    TInplaceEdit::KeyUp(Key, Shift);
    DoChange();
}

bool TLumInplaceEdit::ValidateAndHide(const String& Text)
{
    TDedOzovedUrad* G = Grid();
    if (!G->ValidateCell(Text))
        return false;
    SetText(G->FNewCellText);
    G->HideInplaceEdit();
    return true;
}

// The cursor walk: Left at the start or Right at the end of the text
// validates and moves on to the next cell in that direction.
bool TLumInplaceEdit::WalkOut(bool Forward)
{
    TDedOzovedUrad* G = Grid();
    TNavigation* Nav = G->GetNavigation();
    const String Text = GetText();
    const int Col = G->GetCol(), Row = G->GetRow();
    const int Beside = G->ControlCellBeside(Col, Row, Forward);
    if (!ValidateAndHide(Text)) {
        SetText(Text);
        SelectAll();
        return false;
    }
    if (Beside >= 0) {
        G->SetCol(Beside);
        if (G->CanFocus())
            G->SetFocus();
        return true;
    }
    G->WalkAlongRow(Col, Row, Forward);
    if (!Nav->GetCursorWalkAlwaysEdit() && G->CanFocus())
        G->SetFocus();
    return true;
}

// ---- completion and change ----

void TLumInplaceEdit::DoChange()
{
    TDedOzovedUrad* G = Grid();
    if (!G || !Workmode || GetSelLength() != 0)
        return;
    TStringList* Items = G->GetLookupItems();
    if (!G->GetLookup() || !Items || Items->GetCount() == 0)
        return;
    const bool CaseSensitive = G->GetLookupCaseSensitive();
    const String Text = GetText();
    const int Caret = std::min(GetSelStart(), int(Text.size()));
    if (Caret == 0)
        return; // nothing typed to complete
    String Typed = Text.substr(0, std::size_t(Caret));
    if (!CaseSensitive)
        Typed = AnsiUpperCase(Typed);
    for (int i = 0; i < Items->GetCount(); ++i) {
        const String Item = Items->GetStrings(i);
        const String Cmp = CaseSensitive ? Item : AnsiUpperCase(Item);
        if (Cmp.size() < Typed.size() || Cmp.compare(0, Typed.size(), Typed) != 0)
            continue;
        // The typed characters stay as typed; the rest of the item (all of
        // it, however long) follows, selected.
        const String Completed = Text.substr(0, Typed.size()) + Item.substr(Typed.size());
        if (Completed != Text)
            SetText(Completed);
        SetSel(int(Typed.size()), int(Completed.size()));
        GotKey = false;
        return;
    }
}

void TLumInplaceEdit::Change()
{
    TInplaceEdit::Change();
    TDedOzovedUrad* G = Grid();
    if (!G)
        return;
    const String Text = GetText();
    G->FormulaEditing(!Text.empty() && Text[0] == u'=');
    if (!G->FNoEditChange && G->OnEditChange)
        G->OnEditChange(G, G->GetCol(), G->GetRow(), Text);
}

// ---- clipboard ----

void TLumInplaceEdit::ClipboardCopyOrCut(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    bool Allow = true;
    const TGridClipboardEvent& Event = Message.Msg == WM_COPY ? G->OnClipboardCopy : G->OnClipboardCut;
    if (Event)
        Event(this, Allow);
    if (Allow)
        TInplaceEdit::Dispatch(Message);
}

void TLumInplaceEdit::Paste()
{
    TDedOzovedUrad* G = Grid();
    String V;
    if (!OpenClipboard(GetHandle()))
        return;
    {
        struct TClose {
            ~TClose() { CloseClipboard(); }
        } Close;
        HANDLE H = GetClipboardData(CF_UNICODETEXT);
        if (!H)
            return; // no text to paste
        const auto* P = static_cast<const char16_t*>(GlobalLock(H));
        if (!P)
            return;
        const std::size_t N = GlobalSize(H) / sizeof(char16_t);
        V.assign(P, std::find(P, P + N, u'\0'));
        GlobalUnlock(H);
    }
    bool Allow = true;
    if (G->OnClipboardPaste)
        G->OnClipboardPaste(this, Allow);
    if (Allow && G->OnClipboardBeforePasteCell)
        G->OnClipboardBeforePasteCell(this, G->GetCol(), G->GetRow(), V, Allow);
    if (!Allow)
        return;
    if (FLengthLimit > 0 && int(V.size()) > FLengthLimit)
        return;
    // A line copied with its end: the end is no part of the value.
    const std::size_t FirstBreak = V.find(u"\r\n");
    if (FirstBreak != String::npos && FirstBreak + 2 == V.size())
        V.erase(FirstBreak);

    const String Text = GetText();
    const int SelStart = std::min(GetSelStart(), int(Text.size()));
    const int SelLength = std::min(GetSelLength(), int(Text.size()) - SelStart);
    String NewText = Text;
    NewText.replace(std::size_t(SelStart), std::size_t(SelLength), V);
    const int NewAnchor = SelLength > 0 ? SelStart : SelStart + int(V.size());
    const int NewCaret = SelStart + int(V.size());

    bool Taken = false;
    if (Fits(NewText)) {
        const TEditorType Kind = G->GetEditControl();
        switch (Kind) {
        case edNumeric:
        case edPositiveNumeric:
            Taken = VuzEraz::GetValueKind(NewText) == 0 && !(Kind == edPositiveNumeric && Contains(NewText, u'-'));
            break;
        case edFloat:
        case edPositiveFloat: {
            const unsigned ValueKind = VuzEraz::GetValueKind(NewText);
            Taken = ValueKind <= 1 && !(Kind == edPositiveFloat && Contains(NewText, u'-'));
            break;
        }
        case edMixedCase:
            NewText = VuzEraz::CapitalizeNames(NewText);
            Taken = true;
            break;
        case edLowerCase:
            NewText = AnsiLowerCase(NewText);
            Taken = true;
            break;
        case edUpperCase:
            NewText = AnsiUpperCase(NewText);
            Taken = true;
            break;
        case edValidChars:
            Taken = std::all_of(NewText.begin(), NewText.end(), [G](Char Ch) { return InValidChars(G, Ch); });
            break;
        default:
            Taken = true;
            break;
        }
    }
    if (Taken) {
        SetText(NewText);
        SetSel(NewAnchor, NewCaret);
    }
    G->StoreCurrentCellText(GetText());
    if (G->OnClipboardAfterPasteCell)
        G->OnClipboardAfterPasteCell(this, G->GetCol(), G->GetRow(), GetText());
}

// ---- focus ----

void TLumInplaceEdit::FocusGained(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    TInplaceEdit::Dispatch(Message);
    FGotFocus = true;
    G->FNoEditChange = false;
    FLengthLimit = G->GetMaxEditLength();
    SetMaxLength(FLengthLimit);
    if (IsMasked() && G->GetNavigation()->GetImproveMaskSel()) {
        SetSel(0, 1);
        return;
    }
    if (G->GetEditControl() == edPassword)
        Perform(EM_SETPASSWORDCHAR, WPARAM(G->GetPasswordChar()), 0);
    if (!G->GetNavigation()->GetEditSelectAll())
        SetSelStart(GetTextLen());
    if (G->LButFlg) {
        // The click that opened the editor puts the caret under the mouse.
        G->LButFlg = false;
        TPoint P;
        GetCursorPos(P);
        P = ScreenToClient(P);
        const LRESULT Pos = Perform(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(P.X), WORD(P.Y)));
        SetSelStart(int(LOWORD(Pos)));
    }
}

void TLumInplaceEdit::FocusLost(TMessage& Message)
{
    TDedOzovedUrad* G = Grid();
    G->FStartEditChar = 0;
    if (G->GetLookupHistory()) {
        TStringList* Items = G->GetLookupItems();
        const String Text = GetText();
        if (Items && Items->IndexOf(Text) < 0)
            Items->Add(Text);
    }
    TInplaceEdit::Dispatch(Message);
    if (FAltBack)
        return;

    G->FinishEditorEdit(FColR, FRowE);
    const HWND To = reinterpret_cast<HWND>(Message.WParam);
    if (To != G->GetHandle() && G->GetEditorMode()) {
        // The focus left for another window: the edit ends here, and its
        // text is validated on the way out (a refusal puts the old or
        // corrected text back before it is stored).
        // The focus stays where it went: the form gives it to the control
        // the user chose, and taking it back would only make that control
        // lose and regain it.
        const auto Finish = [G] {
            G->HideInplaceEdit();
            G->FEditing = false;
        };
        try {
            G->ValidateCell(GetText());
            if (!G->OnGetEditText) {
                TValueGuard<bool> NoChange(G->FNoEditChange, true);
                SetText(G->GetCurrentCell());
            }
        } catch (...) {
            Finish();
            throw;
        }
        Finish();
        G->SelectCell(FColE, FRowE);
    }
    // The editor shows the cell's text again once the edit is over. While
    // the edit runs (the grid itself took the focus) the typed text is not
    // stored yet and stays.
    if (!G->GetMouseActions()->GetDirectEdit() && !G->GetEditorMode()) {
        TValueGuard<bool> NoChange(G->FNoEditChange, true);
        SetText(G->GetCurrentCell());
    }
    if (FGotFocus) {
        FGotFocus = false;
        if (!G->GetEditCellSet())
            G->FinishEditorEdit(G->DisplayToRealCol(TDisplayCol(FColE)).Value, FRowE);
    }
}
