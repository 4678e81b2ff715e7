#pragma once
// The rich edit: a memo whose characters carry fonts, sizes, styles,
// colours and a raised or lowered baseline, and whose paragraphs carry an
// alignment. Its content is read from and written to RTF through Lines
// (PlainText off), rendered into any device context with EM_FORMATRANGE and
// measured for its parent with EN_REQUESTRESIZE.
//
// Offsets (SelStart, character ranges) count a paragraph break as two
// characters, as the memo's text does.

#include <memory>
#include <vector>

#include "platform/vcl/Memo.h"
#include "platform/vcl/RichLayout.h"

// Rich edit messages.
inline constexpr UINT EM_EXGETSEL = WM_USER + 52;
inline constexpr UINT EM_EXSETSEL = WM_USER + 55;
inline constexpr UINT EM_FORMATRANGE = WM_USER + 57;
inline constexpr UINT EM_GETCHARFORMAT = WM_USER + 58;
inline constexpr UINT EM_GETEVENTMASK = WM_USER + 59;
inline constexpr UINT EM_REQUESTRESIZE = WM_USER + 65;
inline constexpr UINT EM_SETCHARFORMAT = WM_USER + 68;
inline constexpr UINT EM_SETEVENTMASK = WM_USER + 69;
inline constexpr UINT EM_GETTEXTRANGE = WM_USER + 75;

// Notifications (WM_NOTIFY codes) and the event mask that enables them.
inline constexpr UINT EN_REQUESTRESIZE = 0x0701;
inline constexpr UINT EN_SELCHANGE = 0x0702;
inline constexpr DWORD ENM_NONE = 0;
inline constexpr DWORD ENM_CHANGE = 0x00000001;
inline constexpr DWORD ENM_UPDATE = 0x00000002;
inline constexpr DWORD ENM_SCROLL = 0x00000004;
inline constexpr DWORD ENM_KEYEVENTS = 0x00010000;
inline constexpr DWORD ENM_MOUSEEVENTS = 0x00020000;
inline constexpr DWORD ENM_REQUESTRESIZE = 0x00040000;
inline constexpr DWORD ENM_SELCHANGE = 0x00080000;

// EM_SETCHARFORMAT / EM_GETCHARFORMAT.
inline constexpr WPARAM SCF_DEFAULT = 0x0000;
inline constexpr WPARAM SCF_SELECTION = 0x0001;
inline constexpr WPARAM SCF_WORD = 0x0002;
inline constexpr WPARAM SCF_ALL = 0x0004;
inline constexpr DWORD CFM_BOLD = 0x00000001;
inline constexpr DWORD CFM_ITALIC = 0x00000002;
inline constexpr DWORD CFM_UNDERLINE = 0x00000004;
inline constexpr DWORD CFM_STRIKEOUT = 0x00000008;
inline constexpr DWORD CFM_PROTECTED = 0x00000010;
inline constexpr DWORD CFM_LINK = 0x00000020;
inline constexpr DWORD CFM_CHARSET = 0x08000000;
inline constexpr DWORD CFM_OFFSET = 0x10000000;
inline constexpr DWORD CFM_FACE = 0x20000000;
inline constexpr DWORD CFM_COLOR = 0x40000000;
inline constexpr DWORD CFM_SIZE = 0x80000000;
inline constexpr DWORD CFE_BOLD = 0x00000001;
inline constexpr DWORD CFE_ITALIC = 0x00000002;
inline constexpr DWORD CFE_UNDERLINE = 0x00000004;
inline constexpr DWORD CFE_STRIKEOUT = 0x00000008;
inline constexpr DWORD CFE_AUTOCOLOR = 0x40000000;

struct CHARFORMATW {
    UINT cbSize { sizeof(CHARFORMATW) };
    DWORD dwMask { 0 };
    DWORD dwEffects { 0 };
    LONG yHeight { 0 };  // twips
    LONG yOffset { 0 };  // twips, up is positive
    COLORREF crTextColor { 0 };
    BYTE bCharSet { DEFAULT_CHARSET };
    BYTE bPitchAndFamily { 0 };
    char16_t szFaceName[LF_FACESIZE] {};
};
using CHARFORMAT = CHARFORMATW;

struct CHARFORMAT2W : CHARFORMATW {
    CHARFORMAT2W() { cbSize = sizeof(CHARFORMAT2W); }
    WORD wWeight { 0 };
    short sSpacing { 0 };
    COLORREF crBackColor { 0 };
    DWORD lcid { 0 };
    DWORD dwReserved { 0 };
    short sStyle { 0 };
    WORD wKerning { 0 };
    BYTE bUnderlineType { 0 };
    BYTE bAnimation { 0 };
    BYTE bRevAuthor { 0 };
    BYTE bUnderlineColor { 0 };
};
using CHARFORMAT2 = CHARFORMAT2W;

struct CHARRANGE {
    LONG cpMin { 0 };
    LONG cpMax { 0 }; // -1: to the end
};

struct TEXTRANGEW {
    CHARRANGE chrg;
    char16_t* lpstrText { nullptr };
};

// EM_FORMATRANGE: rectangles in twips of the rendering device.
struct FORMATRANGE {
    HDC hdc { nullptr };
    HDC hdcTarget { nullptr };
    RECT rc {};
    RECT rcPage {};
    CHARRANGE chrg;
};

struct REQRESIZE {
    NMHDR nmhdr;
    RECT rc {};
};

struct SELCHANGE {
    NMHDR nmhdr;
    CHARRANGE chrg;
    WORD seltyp { 0 };
};

class TCustomRichEdit;

enum TAttributeType { atSelected, atDefaultText };

// A view of the character format of the selection (SelAttributes) or of
// the default format (DefAttributes). Reading a property of a mixed
// selection gives the format of its first character.
class TTextAttributes : public TPersistent {
    QT_CLASS(TTextAttributes, TPersistent)
public:
    TTextAttributes(TCustomRichEdit* Edit, TAttributeType Type) : m_edit(Edit), m_type(Type) { }
    String GetName() const;
    void SetName(const String& v);
    int GetSize() const;
    void SetSize(int v);
    // Pixels at the screen's resolution; negative values as for a font.
    int GetHeight() const;
    void SetHeight(int v);
    TFontStyles GetStyle() const;
    void SetStyle(TFontStyles v);
    TColor GetColor() const;
    void SetColor(TColor v);
    void Assign(TPersistent* Source) override;
    // Writes the font's face, size, style and colour in one change.
    void AssignTo(TPersistent* Dest) const;

private:
    CHARFORMAT2W Get() const;
    void Set(const CHARFORMAT2W& F);
    TCustomRichEdit* m_edit;
    TAttributeType m_type;
};

// Lines of a rich edit: loading and saving go through RTF unless the
// edit's PlainText is set.
class TRichEditStrings : public TMemoStrings {
    QT_CLASS(TRichEditStrings, TMemoStrings)
public:
    explicit TRichEditStrings(TCustomRichEdit* Edit);
    void LoadFromStream(TStream& Stream, TEncoding* Encoding = nullptr) override;
    void SaveToStream(TStream& Stream, TEncoding* Encoding = nullptr) const override;

private:
    TCustomRichEdit* m_rich;
};

class TCustomRichEdit : public TCustomMemo {
    QT_CLASS(TCustomRichEdit, TCustomMemo)
public:
    explicit TCustomRichEdit(TComponent* AOwner = nullptr);
    ~TCustomRichEdit() override;

    bool GetPlainText() const { return m_plainText; }
    void SetPlainText(bool v) { m_plainText = v; }
    TTextAttributes* GetSelAttributes() const { return m_selAttributes.get(); }
    void SetSelAttributes(TTextAttributes* v) { m_selAttributes->Assign(v); }
    TTextAttributes* GetDefAttributes() const { return m_defAttributes.get(); }
    void SetDefAttributes(TTextAttributes* v) { m_defAttributes->Assign(v); }
    // Changing word wrap asks the parent for a new size.
    void SetWordWrap(bool v);
    // As the edit's, announcing the new selection.
    void SetSel(int Anchor, int Caret)
    {
        TCustomMemo::SetSel(Anchor, Caret);
        CheckSelection();
    }
    void SetSelStart(int v) { SetSel(v, v); }
    void SetSelLength(int v) { SetSel(GetSelStart(), GetSelStart() + std::max(0, v)); }
    void SelectAll() { SetSel(0, GetTextLen()); }

    // The whole content as data, and replacing it (one change event).
    TRichDocument GetDocument() const;
    void SetDocument(const TRichDocument& Doc);
    // RTF of the content; loading plain text when the bytes are not RTF.
    std::string GetRtf() const { return WriteRtf(GetDocument()); }
    void SetRtf(const std::string& Bytes);

    // The size the text needs at the current width (without word wrap:
    // the widest line), in pixels.
    TSize RequiredSize();

    TNotifyEvent OnSelectionChange;
    std::function<void(TObject* Sender, const TRect& Rect)> OnResizeRequest;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void TextReplaced(int Start, int OldLength, int NewLength) override;
    std::vector<int> RowCaretXs(HDC DC, int Line, int Start, int End) override;
    void PaintRow(HDC DC, const TRow& Row, int Y, const TRect& Area) override;
    int LineHeight() override;
    int RowX(int Width, int Line) override;
    virtual void SelectionChange();
    // EN_REQUESTRESIZE reached the control (reflected through its parent).
    virtual void RequestSize(const TRect& Rect);

private:
    // One character's (or the end mark's) format and, on a paragraph's
    // break or the end, the paragraph's alignment and break kind.
    struct TCell {
        std::uint16_t Format { 0 };
        TRichAlignment Align { raLeft };
        bool Soft { false };
        bool operator==(const TCell&) const = default;
    };

    std::uint16_t Intern(const TRichCharFormat& F);
    TRichCharFormat FontFormat() const;
    // The format new text takes at `Offset`.
    TCell CellForInsert(int Offset) const;
    void ContentChanged();
    void NotifyResize();
    void CheckSelection();
    void ApplyFormat(int From, int To, const CHARFORMAT2W& F);
    CHARFORMAT2W ReadFormat(int From, int To, bool Default) const;
    LRESULT FormatRange(bool Render, const FORMATRANGE* Range);
    const TRichDocument& Snapshot() const;
    TRichFonts& ScreenFonts();

    bool m_plainText { false };
    std::unique_ptr<TTextAttributes> m_selAttributes;
    std::unique_ptr<TTextAttributes> m_defAttributes;
    std::vector<TRichCharFormat> m_formats { TRichCharFormat {} }; // [0]: the default format
    std::vector<TCell> m_cells { TCell {} };                       // one per offset, plus the end mark
    std::optional<TCell> m_insertCell;                              // format chosen for the caret
    DWORD m_eventMask { 0 };
    int m_loading { 0 };
    int m_lastSelStart { 0 };
    int m_lastSelLength { 0 };
    mutable std::optional<TRichDocument> m_snapshot;
    std::unique_ptr<TRichFonts> m_screenFonts;
    std::vector<std::vector<int>> m_lineXs; // caret positions per line, empty = not measured
    int m_lineHeight { 0 };
    int m_lineAscent { 0 };
    // Layout kept between EM_FORMATRANGE calls until one with no range.
    struct TRangeCache {
        std::unique_ptr<TRichFonts> Fonts;
        TRichLayout Layout;
        int Width { 0 };
        int Bottom { 0 };
    };
    std::unique_ptr<TRangeCache> m_rangeCache;
};

class TRichEdit : public TCustomRichEdit {
    QT_CLASS(TRichEdit, TCustomRichEdit)
public:
    using TCustomRichEdit::TCustomRichEdit;
};
