#pragma once
// Text edits: TCustomEdit (single-line and multi-line editing over a list of
// lines, selection, caret, clipboard, one-level undo, the edit messages),
// TEdit and TButtonedEdit. The editing behaviour sits in DefaultHandler, the
// place of the window class's procedure, so a subclass that handles a
// message (WM_CHAR, WM_PASTE, EM_SETSEL, ...) before passing it on can filter
// or replace it.

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

// Edit messages.
inline constexpr UINT EM_GETSEL = 0x00B0;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_GETRECT = 0x00B2;
inline constexpr UINT EM_SETRECT = 0x00B3;
inline constexpr UINT EM_SETRECTNP = 0x00B4;
inline constexpr UINT EM_SCROLL = 0x00B5;
inline constexpr UINT EM_LINESCROLL = 0x00B6;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_LINEINDEX = 0x00BB;
inline constexpr UINT EM_LINELENGTH = 0x00C1;
inline constexpr UINT EM_REPLACESEL = 0x00C2;
inline constexpr UINT EM_GETLINE = 0x00C4;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_LINEFROMCHAR = 0x00C9;
inline constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
inline constexpr UINT EM_POSFROMCHAR = 0x00D6;
inline constexpr UINT EM_CHARFROMPOS = 0x00D7;
inline constexpr UINT EM_SETCUEBANNER = 0x1501;
inline constexpr UINT EM_GETCUEBANNER = 0x1502;
inline constexpr UINT EM_SHOWBALLOONTIP = 0x1503;
inline constexpr UINT EM_HIDEBALLOONTIP = 0x1504;

// Edit styles.
inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_UPPERCASE = 0x0008;
inline constexpr DWORD ES_LOWERCASE = 0x0010;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_NOHIDESEL = 0x0100;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;
inline constexpr DWORD ES_NUMBER = 0x2000;

// Edit notifications (high word of WM_COMMAND's WParam).
inline constexpr WORD EN_SETFOCUS = 0x0100;
inline constexpr WORD EN_KILLFOCUS = 0x0200;
inline constexpr WORD EN_CHANGE = 0x0300;
inline constexpr WORD EN_UPDATE = 0x0400;
inline constexpr WORD EN_MAXTEXT = 0x0501;

// Balloon tip icons and the EM_SHOWBALLOONTIP structure.
inline constexpr int TTI_NONE = 0;
inline constexpr int TTI_INFO = 1;
inline constexpr int TTI_WARNING = 2;
inline constexpr int TTI_ERROR = 3;
struct EDITBALLOONTIP {
    DWORD cbStruct { sizeof(EDITBALLOONTIP) };
    const char16_t* pszTitle { nullptr };
    const char16_t* pszText { nullptr };
    int ttiIcon { TTI_NONE };
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
QT_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

class THintWindow;

class TCustomEdit : public TWinControl {
    QT_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner = nullptr);
    ~TCustomEdit() override;

    int GetMaxLength() const { return m_maxLength; }
    // 0: no limit. Limits what the user types or pastes, not Text.
    void SetMaxLength(int v);
    bool GetReadOnly() const { return (m_es & ES_READONLY) != 0; }
    void SetReadOnly(bool v);
    Char GetPasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(Char v);
    TEditCharCase GetCharCase() const { return m_charCase; }
    // Converts the present text too.
    void SetCharCase(TEditCharCase v);
    bool GetNumbersOnly() const { return (m_es & ES_NUMBER) != 0; }
    void SetNumbersOnly(bool v) { SetStyleBit(ES_NUMBER, v); }
    bool GetAutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool v) { m_autoSelect = v; }
    bool GetHideSelection() const { return (m_es & ES_NOHIDESEL) == 0; }
    void SetHideSelection(bool v) { SetStyleBit(ES_NOHIDESEL, !v); }
    TAlignment GetAlignment() const { return m_alignment; }
    void SetAlignment(TAlignment v);
    TBorderStyle GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle v);
    const String& GetTextHint() const { return m_textHint; }
    void SetTextHint(const String& v);
    bool GetModified() const { return m_modified; }
    void SetModified(bool v) { m_modified = v; }

    int GetSelStart() const { return std::min(m_anchor, m_caret); }
    // Moves the caret, collapsing the selection.
    void SetSelStart(int v) { SetSel(v, v); }
    int GetSelLength() const { return std::abs(m_caret - m_anchor); }
    void SetSelLength(int v) { SetSel(GetSelStart(), GetSelStart() + std::max(0, v)); }
    String GetSelText() const;
    // Replaces the selection as the user would (undoable), without the
    // length limit.
    void SetSelText(const String& v);
    // Selection from `Anchor` to `Caret` (clamped; the caret end moves).
    void SetSel(int Anchor, int Caret);
    void SelectAll() { SetSel(0, TextLength()); }
    void ClearSelection() { Perform(WM_CLEAR); }
    void CopyToClipboard() { Perform(WM_COPY); }
    void CutToClipboard() { Perform(WM_CUT); }
    void PasteFromClipboard() { Perform(WM_PASTE); }
    void Undo() { Perform(WM_UNDO); }
    bool GetCanUndo() const { return m_undo.valid; }
    void ClearUndo() { m_undo.Reset(); }
    void Clear() { SetText(String()); }
    int GetTextLen() const { return TextLength(); }
    // On by default: a bordered single-line edit takes its font's height.
    void SetAutoSize(bool v) override;

    // Index of the character nearest to a client point (line and char in
    // full width, unlike EM_CHARFROMPOS's 16-bit halves).
    struct TCharPos {
        int Char { 0 };
        int Line { 0 };
    };
    TCharPos CharFromPos(TPoint ClientPos);
    // Client position of the caret before character `Index`.
    TPoint PosFromChar(int Index);

    // The balloon shown by EM_SHOWBALLOONTIP, while it shows.
    bool BalloonShowing() const;
    const String& GetBalloonTitle() const { return m_balloonTitle; }
    const String& GetBalloonText() const { return m_balloonText; }

    TNotifyEvent OnChange;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void PaintWindow(HDC DC) override;
    // OnChange; reached through EN_CHANGE reflected by the parent.
    virtual void Change();
    void DoEnter() override;

    // ---- the text model: lines are the storage, the text is derived ----
    bool IsMultiLine() const { return (m_es & ES_MULTILINE) != 0; }
    int LineCount() const { return int(m_lines.size()); }
    const String& LineText(int Line) const { return m_lines[std::size_t(Line)]; }
    int LineStart(int Line) const;
    int LineLength(int Line) const { return int(m_lines[std::size_t(Line)].size()); }
    // Whether the line holds printable ASCII only (cached per line).
    bool LinePlain(int Line) const;
    // The first line changed since the last call (INT_MAX: none), for
    // indexes kept over the lines.
    int TakeFirstChangedLine()
    {
        const int l = m_firstChanged;
        m_firstChanged = INT_MAX;
        return l;
    }
    // The line holding character offset `Offset` (a line break belongs to
    // the line it ends).
    int LineOfOffset(int Offset) const;
    int TextLength() const;
    const String& FullText() const;
    // Replaces characters [Start, End) by `S` in offsets of the full text
    // (CR LF counts two). `User` edits are undoable, limited by MaxLength
    // and case-converted; code edits clear the undo buffer. Answers
    // whether anything changed.
    bool ReplaceRange(int Start, int End, String S, bool User);
    // Line-level changes for a memo's Lines: cost depends on the line, not
    // on the size of the text.
    void InsertLines(int Index, const std::vector<String>& Lines);
    void DeleteLine(int Index);
    void PutLine(int Index, const String& S);
    void SetAllLines(std::vector<String> Lines);
    // Code changes go through one door: the change notification, a repaint.
    void TextChangedByCode();
    // A multi-line edit without ES_AUTOHSCROLL wraps at the formatting
    // rectangle's width.
    bool Wraps() const;
    void SetStyleBit(DWORD Bit, bool On);
    void AdjustHeight();
    // Rows and widths must be measured again.
    void LayoutChanged();
    DWORD EditStyle() const { return m_es; }
    // The formatting rectangle (client coordinates).
    TRect FormatRect();
    // Room the scroll bars of a memo take from the client area.
    virtual TRect TextArea();
    // Called when the scroll position or the layout changed.
    virtual void ScrollChanged() { }
    int TopRow() const { return m_topRow; }
    void SetTopRow(int Row);
    int ScrollX() const { return m_scrollX; }
    void SetScrollX(int X);
    int RowCount();
    // The height of every row.
    virtual int LineHeight();
    int VisibleRows();
    // The widest line in pixels (for the horizontal scroll range).
    int WidestLine();
    // Asks for the caret to be brought into view; settled lazily.
    void ScrollCaret();
    void ApplyPendingScroll();

    // Characters [Start, Start + OldLength) of the full text became
    // NewLength others (line breaks count two). Called once per change,
    // before the change is announced, for data kept beside the text.
    virtual void TextReplaced(int /*Start*/, int /*OldLength*/, int /*NewLength*/) { }
    // Caret positions before each character of [Start, End) of a line and
    // after its end, relative to the row's left end.
    virtual std::vector<int> RowCaretXs(HDC DC, int Line, int Start, int End);

    struct TRow {
        int Line { 0 };
        int Start { 0 };
        int End { 0 };
    };
    // Paints one row of text with its selection at client y `Y`.
    virtual void PaintRow(HDC DC, const TRow& Row, int Y, const TRect& Area);
    // Left end of a row of line `Line` `Width` pixels wide, after
    // alignment and scrolling.
    virtual int RowX(int Width, int Line);
    TRow RowAt(int Row);
    int RowOfOffset(int Offset);
    // Whether the selection is shown (focused or HideSelection off).
    bool SelectionShown() const { return Focused() || (m_es & ES_NOHIDESEL); }

private:
    struct TUndo {
        bool valid { false };
        int start { 0 };
        int insertedLength { 0 };
        String removed;
        bool typing { false };
        void Reset()
        {
            valid = false;
            removed.clear();
        }
        void Set(int Start, int InsertedLength, const String& Removed, bool Typing)
        {
            valid = true;
            start = Start;
            insertedLength = InsertedLength;
            removed = Removed;
            typing = Typing;
        }
    };
    friend class TMemoStrings;

    // Line `Line` changed (or was inserted or removed there): cached
    // starts, flags and the text from it on must be computed again.
    void InvalidateFrom(int Line);
    const std::vector<TRow>& WrappedRows();
    String Shown(const String& S) const;
    std::vector<int> CaretXs(HDC DC, const String& S);
    // The character of row `Row` nearest to client x `X`.
    int CharInRow(int Row, int X);
    void Notify(WORD Code);
    void DoUndo();
    void DoCopy(bool Cut);
    void DoPaste();
    // DefaultHandler's message groups.
    void TextMessage(TMessage& Message);
    void CharMessage(Char Ch);
    void DeleteBack();
    void ClipboardMessage(TMessage& Message);
    void SelectionAndStateMessage(TMessage& Message);
    void LineMessage(TMessage& Message);
    void ScrollMessage(TMessage& Message);
    void HintMessage(TMessage& Message);
    void TypeChar(Char Ch);
    void EditKey(WORD Key, TShiftState Shift);
    void MoveCaret(int To, bool Extend);
    // Word steps of Ctrl+arrows, and the word a double click selects.
    int WordStart(int Offset) const;
    int WordEnd(int Offset) const;
    int WordStartAt(int Offset) const;
    int WordEndAt(int Offset) const;
    void MouseSelect(TPoint P, bool Extend);
    void PaintStyledBorder();
    void ShowBalloon(const EDITBALLOONTIP& Tip);
    void HideBalloon();
    void NormaliseLines();

    std::vector<String> m_lines { String() };
    mutable std::vector<int> m_lineStart { 0 };
    mutable std::size_t m_startsValid { 1 };
    mutable std::vector<std::uint8_t> m_plain;
    mutable std::size_t m_plainValid { 0 };
    int m_firstChanged { 0 };
    mutable String m_textCache;
    mutable bool m_textCacheValid { true };
    std::vector<TRow> m_rows;
    bool m_rowsValid { false };
    int m_rowsWidth { -1 };
    int m_widest { -1 };
    int m_measuredUpTo { 0 };
    std::unordered_map<Char, int> m_charWidths;
    bool m_scrollCaretPending { false };
    bool m_typing { false };
    bool m_clickFocusing { false };

    DWORD m_es { ES_AUTOHSCROLL };
    int m_anchor { 0 };
    int m_caret { 0 };
    int m_maxLength { 0 };
    Char m_passwordChar { 0 };
    TEditCharCase m_charCase { ecNormal };
    bool m_autoSelect { true };
    TAlignment m_alignment { taLeftJustify };
    TBorderStyle m_borderStyle { bsSingle };
    String m_textHint;
    bool m_modified { false };
    TUndo m_undo;
    std::optional<TRect> m_formatRect;
    int m_topRow { 0 };
    int m_scrollX { 0 };
    int m_lineHeight { 0 };
    bool m_mouseSelecting { false };
    bool m_wordSelecting { false };
    int m_wordAnchorStart { 0 };
    int m_wordAnchorEnd { 0 };
    String m_balloonTitle;
    String m_balloonText;
    std::unique_ptr<THintWindow> m_balloon;
};

class TEdit : public TCustomEdit {
    QT_CLASS(TEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
};

// ---- buttoned edit ----

class TButtonedEdit;

// One of the two image buttons inside a TButtonedEdit.
class TEditButton : public TPersistent {
    QT_CLASS(TEditButton, TPersistent)
public:
    enum TButtonPosition { bpLeft, bpRight };
    TEditButton(TButtonedEdit* Edit, TButtonPosition Position) : m_edit(Edit), m_position(Position) { }
    bool GetVisible() const { return m_visible; }
    void SetVisible(bool v);
    bool GetEnabled() const { return m_enabled; }
    void SetEnabled(bool v);
    int GetImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int v);
    int GetHotImageIndex() const { return m_hotImageIndex; }
    void SetHotImageIndex(int v) { m_hotImageIndex = v; }
    int GetPressedImageIndex() const { return m_pressedImageIndex; }
    void SetPressedImageIndex(int v) { m_pressedImageIndex = v; }
    int GetDisabledImageIndex() const { return m_disabledImageIndex; }
    void SetDisabledImageIndex(int v) { m_disabledImageIndex = v; }
    const String& GetHint() const { return m_hint; }
    void SetHint(const String& v) { m_hint = v; }
    TButtonPosition GetPosition() const { return m_position; }

private:
    friend class TButtonedEdit;
    TButtonedEdit* m_edit { nullptr };
    TButtonPosition m_position { bpRight };
    bool m_visible { false };
    bool m_enabled { true };
    int m_imageIndex { -1 };
    int m_hotImageIndex { -1 };
    int m_pressedImageIndex { -1 };
    int m_disabledImageIndex { -1 };
    String m_hint;
    bool m_pressed { false };
    bool m_hot { false };
};

// An edit with an image button at either end; the text area shrinks to
// leave them room.
class TButtonedEdit : public TCustomEdit {
    QT_CLASS(TButtonedEdit, TCustomEdit)
public:
    explicit TButtonedEdit(TComponent* AOwner = nullptr);
    ~TButtonedEdit() override;
    TCustomImageList* GetImages() const { return m_images; }
    void SetImages(TCustomImageList* v);
    TEditButton* GetLeftButton() const { return m_left.get(); }
    TEditButton* GetRightButton() const { return m_right.get(); }
    // The button's rectangle in client coordinates (empty when hidden).
    TRect ButtonRect(const TEditButton* Button);

    TNotifyEvent OnLeftButtonClick;
    TNotifyEvent OnRightButtonClick;

    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    friend class TEditButton;
    TRect TextArea() override;
    void PaintWindow(HDC DC) override;
    void ButtonsChanged();

private:
    TEditButton* ButtonAt(TPoint P);
    int ButtonWidth() const;
    TCustomImageList* m_images { nullptr };
    std::unique_ptr<TEditButton> m_left;
    std::unique_ptr<TEditButton> m_right;
    TEditButton* m_down { nullptr };
};
