#include "platform/vcl/Edits.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

// The edit control's message handling: what it answers itself (Dispatch)
// and the editing it does once subclasses have seen a message
// (DefaultHandler), one named handler per group of messages.

void TCustomEdit::DoEnter()
{
    if (m_autoSelect && !m_clickFocusing && !IsMultiLine())
        SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL | (IsMultiLine() ? DLGC_WANTALLKEYS : 0);
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && !GetComponentState().Contains(csDestroying))
            Change();
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        if (!Focused() && CanFocus()) {
            m_clickFocusing = true;
            struct Reset { bool& f; ~Reset() { f = false; } } reset { m_clickFocusing };
            SetFocus();
        }
        HideBalloon();
        m_mouseSelecting = true;
        m_wordSelecting = Message.Msg == WM_LBUTTONDBLCLK;
        if (m_wordSelecting) {
            const int at = CharFromPos(p).Char;
            m_wordAnchorStart = WordStartAt(at);
            m_wordAnchorEnd = WordEndAt(at);
            SetSel(m_wordAnchorStart, m_wordAnchorEnd);
        } else {
            MouseSelect(p, (Message.WParam & MK_SHIFT) != 0);
        }
        TWinControl::Dispatch(Message);
        return;
    }
    case WM_MOUSEMOVE:
        if (m_mouseSelecting && (Message.WParam & MK_LBUTTON))
            MouseSelect({ GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam) }, true);
        TWinControl::Dispatch(Message);
        return;
    case WM_LBUTTONUP:
        m_mouseSelecting = false;
        m_wordSelecting = false;
        TWinControl::Dispatch(Message);
        return;
    case WM_SETFOCUS:
        TWinControl::Dispatch(Message);
        Invalidate();
        if (m_handle && StyledElement(this, seBorder))
            RedrawWindow(m_handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case WM_KILLFOCUS:
        m_mouseSelecting = false;
        m_wordSelecting = false;
        HideBalloon();
        TWinControl::Dispatch(Message);
        Invalidate();
        if (m_handle && StyledElement(this, seBorder))
            RedrawWindow(m_handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case WM_SIZE:
        LayoutChanged();
        TWinControl::Dispatch(Message);
        return;
    case CM_FONTCHANGED:
        m_lineHeight = 0;
        m_charWidths.clear();
        LayoutChanged();
        TWinControl::Dispatch(Message);
        AdjustHeight();
        return;
    case CM_ENABLEDCHANGED:
        TWinControl::Dispatch(Message);
        Invalidate();
        return;
    case WM_NCPAINT:
        if (m_borderStyle == bsSingle && StyledElement(this, seBorder)) {
            PaintStyledBorder();
            Message.Result = 0;
            return;
        }
        TWinControl::Dispatch(Message);
        return;
    case CM_STYLECHANGED:
        TWinControl::Dispatch(Message);
        if (m_handle)
            RedrawWindow(m_handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case CM_CTL3DCHANGED:
        // The 3-D look picks the frame style, which only a new window takes.
        TWinControl::Dispatch(Message);
        if (m_borderStyle == bsSingle)
            RecreateWnd();
        return;
    default:
        TWinControl::Dispatch(Message);
    }
}

namespace {

// The control characters WM_CHAR brings for the editing keys.
constexpr Char CtrlA_SelectAll = 0x01;
constexpr Char CtrlC_Copy = 0x03;
constexpr Char Backspace = 0x08;
constexpr Char CtrlV_Paste = 0x16;
constexpr Char CtrlX_Cut = 0x18;
constexpr Char CtrlZ_Undo = 0x1A;
constexpr Char CtrlBackspace_DeleteWord = 0x7F;

} // namespace

void TCustomEdit::DefaultHandler(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT: case WM_GETTEXT: case WM_GETTEXTLENGTH:
        TextMessage(Message);
        return;
    case WM_KEYDOWN:
        HideBalloon();
        EditKey(WORD(Message.WParam), GetKeyShiftState());
        Message.Result = 0;
        return;
    case WM_CHAR:
        HideBalloon();
        CharMessage(Char(Message.WParam));
        Message.Result = 0;
        return;
    case WM_CUT: case WM_COPY: case WM_PASTE: case WM_CLEAR:
    case WM_UNDO: case EM_UNDO: case EM_CANUNDO: case EM_EMPTYUNDOBUFFER:
        ClipboardMessage(Message);
        return;
    case EM_GETSEL: case EM_SETSEL: case EM_REPLACESEL:
    case EM_GETRECT: case EM_SETRECT: case EM_SETRECTNP:
    case EM_GETMODIFY: case EM_SETMODIFY: case EM_LIMITTEXT: case EM_GETLIMITTEXT:
    case EM_SETPASSWORDCHAR: case EM_GETPASSWORDCHAR: case EM_SETREADONLY:
        SelectionAndStateMessage(Message);
        return;
    case EM_GETLINECOUNT: case EM_LINEINDEX: case EM_LINELENGTH: case EM_LINEFROMCHAR: case EM_GETLINE:
    case EM_POSFROMCHAR: case EM_CHARFROMPOS:
        LineMessage(Message);
        return;
    case EM_GETFIRSTVISIBLELINE: case EM_LINESCROLL: case EM_SCROLL: case EM_SCROLLCARET:
        ScrollMessage(Message);
        return;
    case EM_SETCUEBANNER: case EM_GETCUEBANNER: case EM_SHOWBALLOONTIP: case EM_HIDEBALLOONTIP:
        HintMessage(Message);
        return;
    default:
        TWinControl::DefaultHandler(Message);
    }
}

void TCustomEdit::CharMessage(Char ch)
{
    switch (ch) {
    case CtrlA_SelectAll: SelectAll(); return;
    case CtrlC_Copy: Perform(WM_COPY); return;
    case CtrlV_Paste: Perform(WM_PASTE); return;
    case CtrlX_Cut: Perform(WM_CUT); return;
    case CtrlZ_Undo: Perform(WM_UNDO); return;
    case Backspace: DeleteBack(); return;
    case CtrlBackspace_DeleteWord:
        if (!GetReadOnly())
            ReplaceRange(GetSelLength() ? GetSelStart() : WordStart(m_caret), GetSelLength() ? GetSelStart() + GetSelLength() : m_caret, String(), true);
        return;
    case u'\r':
    case u'\n':
        if (IsMultiLine() && !GetReadOnly()) {
            m_typing = true;
            struct Reset { bool& f; ~Reset() { f = false; } } reset { m_typing };
            ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), u"\r\n", true);
        }
        return;
    case u'\t':
        if (IsMultiLine())
            TypeChar(ch);
        return;
    default:
        if (ch >= 0x20)
            TypeChar(ch);
        return;
    }
}

// Backspace: the selection, or the character (a whole surrogate pair, or
// the line break) before the caret.
void TCustomEdit::DeleteBack()
{
    if (GetReadOnly()) {
        MessageBeep(MB_OK);
    } else if (GetSelLength()) {
        ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(), true);
    } else if (m_caret > 0) {
        const int line = LineOfOffset(m_caret);
        int from = m_caret - 1;
        if (line > 0 && m_caret == LineStart(line))
            from = m_caret - 2;
        else if (from > 0 && IsLowSurrogate(FullText()[std::size_t(from)]))
            --from;
        ReplaceRange(from, m_caret, String(), true);
    }
}

void TCustomEdit::ClipboardMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CUT: DoCopy(true); return;
    case WM_COPY: DoCopy(false); return;
    case WM_PASTE: DoPaste(); return;
    case WM_CLEAR:
        if (!GetReadOnly())
            ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(), true);
        return;
    case WM_UNDO:
    case EM_UNDO:
        Message.Result = m_undo.valid && !GetReadOnly();
        DoUndo();
        return;
    case EM_CANUNDO: Message.Result = m_undo.valid; return;
    case EM_EMPTYUNDOBUFFER: m_undo.Reset(); return;
    }
}

void TCustomEdit::SelectionAndStateMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_GETSEL: {
        const int a = GetSelStart(), b = a + GetSelLength();
        if (w)
            *reinterpret_cast<DWORD*>(w) = DWORD(a);
        if (l)
            *reinterpret_cast<DWORD*>(l) = DWORD(b);
        Message.Result = LRESULT(MAKELONG(WORD(std::min(a, 0xFFFF)), WORD(std::min(b, 0xFFFF))));
        return;
    }
    case EM_SETSEL:
        SetSel(int(std::intptr_t(w)), int(l));
        return;
    case EM_REPLACESEL: {
        const String text = l ? String(reinterpret_cast<const char16_t*>(l)) : String();
        const int a = GetSelStart(), b = a + GetSelLength();
        ReplaceRange(a, b, text, true);
        // WParam FALSE: the replacement cannot be undone.
        if (!w)
            m_undo.Reset();
        return;
    }
    case EM_GETRECT:
        if (l)
            *reinterpret_cast<RECT*>(l) = FormatRect();
        return;
    case EM_SETRECT:
    case EM_SETRECTNP:
        if (l)
            m_formatRect = TRect(*reinterpret_cast<const RECT*>(l));
        else
            m_formatRect.reset();
        LayoutChanged();
        if (Message.Msg == EM_SETRECT)
            Invalidate();
        return;
    case EM_GETMODIFY: Message.Result = m_modified; return;
    case EM_SETMODIFY: m_modified = w != 0; return;
    case EM_LIMITTEXT: SetMaxLength(int(w)); return;
    case EM_GETLIMITTEXT: Message.Result = m_maxLength > 0 ? m_maxLength : 0x7FFFFFFE; return;
    case EM_SETPASSWORDCHAR: SetPasswordChar(Char(w)); return;
    case EM_GETPASSWORDCHAR: Message.Result = m_passwordChar; return;
    case EM_SETREADONLY: SetStyleBit(ES_READONLY, w != 0); Message.Result = TRUE; return;
    }
}

void TCustomEdit::LineMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_GETLINECOUNT: Message.Result = IsMultiLine() ? RowCount() : 1; return;
    case EM_LINEINDEX: {
        int row = int(std::intptr_t(w));
        if (row < 0)
            row = IsMultiLine() ? RowOfOffset(m_caret) : 0;
        if (row >= (IsMultiLine() ? RowCount() : 1)) {
            Message.Result = -1;
            return;
        }
        const TRow r = RowAt(row);
        Message.Result = LineStart(r.Line) + r.Start;
        return;
    }
    case EM_LINELENGTH: {
        const int index = int(std::intptr_t(w));
        if (index < 0) {
            // The unselected characters of the lines the selection touches.
            const int a = GetSelStart(), b = a + GetSelLength();
            const TRow ra = RowAt(IsMultiLine() ? RowOfOffset(a) : 0), rb = RowAt(IsMultiLine() ? RowOfOffset(b) : 0);
            Message.Result = (a - LineStart(ra.Line) - ra.Start) + (LineStart(rb.Line) + rb.End - b);
            return;
        }
        const TRow r = RowAt(IsMultiLine() ? RowOfOffset(index) : 0);
        Message.Result = r.End - r.Start;
        return;
    }
    case EM_LINEFROMCHAR: {
        int index = int(std::intptr_t(w));
        if (index < 0)
            index = GetSelStart();
        Message.Result = IsMultiLine() ? RowOfOffset(index) : 0;
        return;
    }
    case EM_GETLINE: {
        const int row = int(w);
        auto* buf = reinterpret_cast<char16_t*>(l);
        if (!buf || row < 0 || row >= (IsMultiLine() ? RowCount() : 1)) {
            Message.Result = 0;
            return;
        }
        // The first unit of the buffer holds its size.
        const std::size_t room = std::size_t(WORD(buf[0]));
        const TRow r = RowAt(row);
        const String part = LineText(r.Line).substr(std::size_t(r.Start), std::size_t(r.End - r.Start));
        const std::size_t n = std::min(room, part.size());
        std::copy_n(part.data(), n, buf);
        Message.Result = LRESULT(n);
        return;
    }
    case EM_POSFROMCHAR: {
        const int index = int(std::intptr_t(w));
        if (index < 0 || index > TextLength()) {
            Message.Result = -1;
            return;
        }
        const TPoint p = PosFromChar(index);
        Message.Result = MAKELRESULT(WORD(std::int16_t(p.X)), WORD(std::int16_t(p.Y)));
        return;
    }
    case EM_CHARFROMPOS: {
        const TCharPos p = CharFromPos({ GET_X_LPARAM(l), GET_Y_LPARAM(l) });
        Message.Result = MAKELRESULT(WORD(p.Char), WORD(p.Line));
        return;
    }
    }
}

void TCustomEdit::ScrollMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    switch (Message.Msg) {
    case EM_GETFIRSTVISIBLELINE:
        ApplyPendingScroll();
        Message.Result = IsMultiLine() ? m_topRow : 0;
        return;
    case EM_LINESCROLL:
        if (IsMultiLine()) {
            ApplyPendingScroll();
            SetTopRow(m_topRow + int(Message.LParam));
            if (!Wraps())
                SetScrollX(m_scrollX + int(std::intptr_t(w)) * 8);
            Message.Result = TRUE;
        }
        return;
    case EM_SCROLL:
        if (IsMultiLine()) {
            ApplyPendingScroll();
            const int before = m_topRow;
            switch (w) {
            case SB_LINEUP: SetTopRow(m_topRow - 1); break;
            case SB_LINEDOWN: SetTopRow(m_topRow + 1); break;
            case SB_PAGEUP: SetTopRow(m_topRow - VisibleRows()); break;
            case SB_PAGEDOWN: SetTopRow(m_topRow + VisibleRows()); break;
            default: break;
            }
            Message.Result = MAKELRESULT(WORD(m_topRow - before), TRUE);
        }
        return;
    case EM_SCROLLCARET:
        ScrollCaret();
        ApplyPendingScroll();
        Invalidate();
        return;
    }
}

void TCustomEdit::HintMessage(TMessage& Message)
{
    const WPARAM w = Message.WParam;
    const LPARAM l = Message.LParam;
    switch (Message.Msg) {
    case EM_SETCUEBANNER:
        SetTextHint(l ? String(reinterpret_cast<const char16_t*>(l)) : String());
        Message.Result = TRUE;
        return;
    case EM_GETCUEBANNER: {
        auto* buf = reinterpret_cast<char16_t*>(w);
        const std::size_t room = std::size_t(l);
        if (!buf || room == 0) {
            Message.Result = FALSE;
            return;
        }
        const std::size_t n = std::min(room - 1, m_textHint.size());
        std::copy_n(m_textHint.data(), n, buf);
        buf[n] = 0;
        Message.Result = TRUE;
        return;
    }
    case EM_SHOWBALLOONTIP:
        if (l)
            ShowBalloon(*reinterpret_cast<const EDITBALLOONTIP*>(l));
        Message.Result = l ? TRUE : FALSE;
        return;
    case EM_HIDEBALLOONTIP:
        HideBalloon();
        Message.Result = TRUE;
        return;
    }
}
