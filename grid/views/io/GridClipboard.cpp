// The grid on the clipboard: copy and cut as TAB/CR LF text, the rich text
// of one cell, the private cell format and an HTML table; paste of the
// same forms back, with the "smart" fill of a larger selection.
//
// Text travels so that every cell comes back as it was: a text with a line
// break is quoted, its inner quotes doubled and its CR LF written as LF;
// the paste removes the quotes, collapses doubled ones and turns LF back
// into CR LF.

#include <cstring>
#include <deque>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "grid/core/RirEvozUndoRedo.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"

using namespace VuzEraz;

namespace {

UINT RTFFormat()
{
    static const UINT F = RegisterClipboardFormat(u"Rich Text Format");
    return F;
}

UINT HTMLFormat()
{
    static const UINT F = RegisterClipboardFormat(u"HTML Format");
    return F;
}

UINT CellsFormat() { return GridUnit().CF_GRIDCELLS; }

HWND ClipOwner(TDedOzovedUrad& G) { return G.HandleAllocated() ? G.GetHandle() : nullptr; }

// One opening of the clipboard; a clipboard that cannot be opened raises.
class TClipboardOpen {
public:
    explicit TClipboardOpen(HWND Owner)
    {
        if (!OpenClipboard(Owner))
            throw Exception(u"Cannot open clipboard");
    }
    ~TClipboardOpen() { CloseClipboard(); }
    TClipboardOpen(const TClipboardOpen&) = delete;
    TClipboardOpen& operator=(const TClipboardOpen&) = delete;
};

// A movable block holding the bytes; freed again unless the clipboard
// takes it.
class TBlock {
public:
    TBlock(const void* Data, std::size_t Size, std::size_t Room = 0)
        : FMem(GlobalAlloc(GMEM_MOVEABLE, std::max(Size, Room)))
    {
        if (!FMem)
            throw EOutOfMemory(u"Out of memory");
        if (Size) {
            std::memcpy(GlobalLock(FMem), Data, Size);
            GlobalUnlock(FMem);
        }
    }
    ~TBlock()
    {
        if (FMem)
            GlobalFree(FMem);
    }
    TBlock(TBlock&& Other) noexcept : FMem(Other.FMem) { Other.FMem = nullptr; }
    TBlock(const TBlock&) = delete;
    TBlock& operator=(const TBlock&) = delete;
    HGLOBAL Handle() const { return FMem; }
    // Hands the block to the clipboard under Format.
    void SetAs(UINT Format)
    {
        if (!SetClipboardData(Format, FMem))
            throw Exception(u"Cannot set clipboard data");
        FMem = nullptr;
    }

private:
    HGLOBAL FMem;
};

// The text and a NUL.
TBlock WideBlock(const String& Text)
{
    TBlock B(nullptr, 0, (Text.size() + 1) * 2);
    Char* p = static_cast<Char*>(GlobalLock(B.Handle()));
    std::memcpy(p, Text.data(), Text.size() * 2);
    p[Text.size()] = 0;
    GlobalUnlock(B.Handle());
    return B;
}

// The clipboard text: emptied first, as a new content.
void SetClipboardText(HWND Owner, const String& Text)
{
    TClipboardOpen Open(Owner);
    EmptyClipboard();
    WideBlock(Text).SetAs(CF_UNICODETEXT);
}

// The bytes of a block on the clipboard (which must be open).
bool ClipboardBytes(UINT Format, std::vector<std::uint8_t>& Bytes)
{
    HANDLE h = GetClipboardData(Format);
    if (!h)
        return false;
    const void* p = GlobalLock(h);
    if (!p)
        return false;
    const std::size_t n = GlobalSize(h);
    Bytes.assign(static_cast<const std::uint8_t*>(p), static_cast<const std::uint8_t*>(p) + n);
    GlobalUnlock(h);
    return true;
}

String WideText(const std::vector<std::uint8_t>& Bytes)
{
    String s(Bytes.size() / 2, u'\0');
    std::memcpy(s.data(), Bytes.data(), s.size() * 2);
    const std::size_t z = s.find(u'\0');
    return z == String::npos ? s : s.substr(0, z);
}

// Appends a cell text as a clipboard field: quoted when it holds a line
// break, inner quotes doubled, each break as LF (in the Excel form as
// character 11).
void AppendClipField(String& Out, StringView Text, bool HasBreak, bool ExcelForm)
{
    if (!HasBreak) {
        Out += Text;
        return;
    }
    Out += u'"';
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char c = Text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n')
                ++i;
            Out += ExcelForm ? Char(11) : u'\n';
        } else if (c == u'"') {
            Out += u"\"\"";
        } else {
            Out += c;
        }
    }
    Out += u'"';
}

// What one pass over a cell text finds.
struct TTextMarks {
    bool Break { false };
    bool TagEnd { false }; // "</"
    bool Rich { false };   // "{\"
};

TTextMarks ScanText(StringView t)
{
    TTextMarks m;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const Char c = t[i];
        if (c > u'{')
            continue;
        if (c == u'\r' || c == u'\n')
            m.Break = true;
        else if (c == u'<' && i + 1 < t.size() && t[i + 1] == u'/')
            m.TagEnd = true;
        else if (c == u'{' && i + 1 < t.size() && t[i + 1] == u'\\')
            m.Rich = true;
    }
    return m;
}

// ---- the text of a paste ----

// Fields are views into the pasted text, or into Owned for those the
// split had to change (quoted fields, breaks written as character 11).
struct TClipLine {
    std::vector<StringView> Fields;
    bool Broken { false }; // a line break ends it
    bool Empty { true };   // no character at all
};

// Inner line breaks of a quoted field (LF, character 11) as CR LF.
String FieldLineBreaks(StringView s)
{
    String r;
    r.reserve(s.size() + 4);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Char c = s[i];
        if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') {
            r += u"\r\n";
            ++i;
        } else if (c == u'\n' || c == 11 || c == u'\r') {
            r += u"\r\n";
        } else {
            r += c;
        }
    }
    return r;
}

// Lines of TAB-separated fields. CR, CR LF and, outside quotes, LF end a
// line; a field that starts with a double quote runs to its closing quote
// (doubled quotes inside stand for one) and may hold line breaks. An
// opening quote that is never closed is an ordinary character.
std::vector<TClipLine> SplitClipText(StringView T, std::deque<String>& Owned)
{
    std::vector<TClipLine> Lines;
    TClipLine Line;
    std::size_t i = 0;
    const std::size_t n = T.size();
    while (true) {
        // One field.
        StringView Field;
        bool Quoted = false;
        if (i < n && T[i] == u'"') {
            String Inner;
            std::size_t j = i + 1;
            bool Closed = false;
            while (j < n) {
                if (T[j] == u'"') {
                    if (j + 1 < n && T[j + 1] == u'"') {
                        Inner += u'"';
                        j += 2;
                        continue;
                    }
                    Closed = true;
                    ++j;
                    break;
                }
                Inner += T[j++];
            }
            if (Closed && (j >= n || T[j] == u'\t' || T[j] == u'\r' || T[j] == u'\n')) {
                Owned.push_back(FieldLineBreaks(Inner));
                Field = Owned.back();
                Quoted = true;
                i = j;
            }
        }
        if (!Quoted) {
            const std::size_t s = i;
            while (i < n && T[i] != u'\t' && T[i] != u'\r' && T[i] != u'\n')
                ++i;
            Field = T.substr(s, i - s);
            // Characters 11 stand for line breaks inside a cell.
            if (Field.find(Char(11)) != StringView::npos) {
                Owned.push_back(FieldLineBreaks(Field));
                Field = Owned.back();
            }
        }
        if (Quoted || !Field.empty())
            Line.Empty = false;
        Line.Fields.push_back(Field);
        if (i >= n) {
            Lines.push_back(std::move(Line));
            break;
        }
        if (T[i] == u'\t') {
            Line.Empty = false;
            ++i;
            continue;
        }
        // A line break.
        if (T[i] == u'\r' && i + 1 < n && T[i + 1] == u'\n')
            ++i;
        ++i;
        Line.Broken = true;
        Line.Empty = false;
        Lines.push_back(std::move(Line));
        Line = TClipLine();
        if (i >= n) {
            // The empty remainder after a final line break.
            Lines.push_back(TClipLine());
            break;
        }
    }
    return Lines;
}

bool IsDateLike(const String& s, const TFormatSettings& fs)
{
    if (s.find(fs.TimeSeparator) != String::npos)
        return true;
    const std::size_t a = s.find(fs.DateSeparator, 1);
    return a != String::npos && s.find(fs.DateSeparator, a + 1) != String::npos;
}

} // namespace

// ---- the data views' entries ----

void TGridDataViews::CopySelectionToClipboard() { G.CopySelectionToClipboard(); }
void TGridDataViews::CutSelectionToClipboard() { G.CutSelectionToClipboard(); }
void TGridDataViews::PasteSelectionFromClipboard() { G.PasteSelectionFromClipboard(); }

// ---- copy ----

String TDedOzovedUrad::BuildSelectionText(const TGridRect& R, bool HonourDisjunct)
{
    FClipTopLeft = TPoint(R.Left, R.Top);
    const bool Several = R.Bottom > R.Top;
    struct TNotify {
        TDedOzovedUrad& G;
        bool On;
        ~TNotify()
        {
            if (On)
                G.ExportNotification(esExportDone, -1);
        }
    } Done { *this, Several };
    if (Several)
        ExportNotification(esExportStart, -1);
    const bool SubRange = R.Top > GetFixedRows() || R.Bottom < GetRowCount() - GetFixedFooters() - 1;
    const bool RowDisjunct
        = HonourDisjunct && FMouseActions->GetDisjunctRowSelect() && !FMouseActions->GetDisjunctColSelect();
    const bool ColDisjunct = HonourDisjunct && FMouseActions->GetDisjunctColSelect();
    const bool Excel = FExcelClipboardFormat;
    const bool KeepTags = FNavigation->GetCopyHTMLTagsToClipboard();
    String Result;
    for (int r = R.Top; r <= R.Bottom; ++r) {
        // After the first row the text's size is known well enough.
        if (r == R.Top + 1 && Several)
            Result.reserve(Result.size() * std::size_t(R.Bottom - R.Top + 1) * 11 / 10);
        if (Several)
            ExportNotification(SubRange ? esExportSelRow : esExportNewRow, r);
        if (RowDisjunct) {
            const int Flag = FMouseActions->GetRowSelectPersistent() ? RealRowIndex(TDisplayRow(r)).Value : r;
            if (!IsCellRowSelected(Flag))
                continue;
        }
        for (int c = R.Left; c <= R.Right; ++c) {
            if (ColDisjunct && !IsCellColSelected(c))
                continue;
            const int RC = DisplayToRealCol(TDisplayCol(c)).Value;
            String Text = SaveCell(RC, r);
            if (Text.starts_with(u"|\\"))
                Text = DecodeWideCellText(Text);
            TTextMarks M = ScanText(Text);
            if (!KeepTags && M.TagEnd) {
                Text = GetStrippedCells(RC, r);
                M = ScanText(Text);
            } else if (M.Rich) {
                TLumRichEdit* Rich = GetRichEdit();
                CellToRich(RC, r, Rich);
                Text = Rich->GetText();
                M = ScanText(Text);
            }
            AppendClipField(Result, Text, M.Break, Excel);
            if (c != R.Right)
                Result += u'\t';
        }
        if (Several) {
            ExportNotification(esExportNewRow, r);
            Result += u"\r\n";
        }
    }
    return Result;
}

String TDedOzovedUrad::GetSelectionAsText() { return BuildSelectionText(GetSelection(), false); }

void TDedOzovedUrad::CopySelectionFormats(const TGridRect& R, bool HonourDisjunct)
{
    SetClipboardText(ClipOwner(*this), BuildSelectionText(R, HonourDisjunct));
    if (FNavigation->GetAllowRTFClipboard())
        CopyRTFCell(R.Left, R.Top);
    if (FNavigation->GetAllowFmtClipboard())
        CopyCellsFormat(R);
}

void TDedOzovedUrad::CopyRTFCell(int ACol, int ARow)
{
    const String Text = GetCellEx(DisplayToRealCol(TDisplayCol(ACol)).Value, ARow);
    if (Text.find(u"{\\") == String::npos)
        return;
    TBlock Block = WideBlock(Text);
    if (!OpenClipboard(ClipOwner(*this)))
        return;
    try {
        Block.SetAs(RTFFormat());
    } catch (...) {
        CloseClipboard();
        throw;
    }
    CloseClipboard();
}

void TDedOzovedUrad::CopyCellsFormat(const TGridRect& R)
{
    TMemoryStream M;
    SaveRectToBinStream(TRect(R.Left, R.Top, R.Right, R.Bottom), M, false);
    TBlock Block(M.GetMemory(), std::size_t(M.GetSize()));
    TClipboardOpen Open(ClipOwner(*this));
    Block.SetAs(CellsFormat());
}

namespace {
TGridRect SaveRange(TDedOzovedUrad& G)
{
    TGridRect R;
    R.Left = G.GetSaveStartCol();
    R.Top = G.GetSaveStartRow();
    R.Right = G.GetSaveEndCol();
    R.Bottom = G.GetSaveEndRow();
    return R;
}
} // namespace

void TDedOzovedUrad::CopyToClipBoard()
{
    CopySelectionFormats(SaveRange(*this), false);
    FClipLastOp = coCopy;
}

void TDedOzovedUrad::CopySelectionToClipboard()
{
    ExpandSelectionToMerges();
    const bool Fmt = FNavigation->GetAllowFmtClipboard();
    if (FMouseActions->GetDisjunctRowSelect()) {
        if (Fmt) {
            CopySelectionFormats(GetSelection(), false);
        } else {
            TGridRect R;
            R.Left = GetFixedCols();
            R.Top = GetSaveStartRow();
            R.Right = GetColCount() - GetFixedRightCols() - 1;
            R.Bottom = GetSaveEndRow();
            CopySelectionFormats(R, true);
        }
    } else if (!FMouseActions->GetDisjunctColSelect() || Fmt) {
        CopySelectionFormats(GetSelection(), false);
    } else {
        CopySelectionFormats(SaveRange(*this), true);
    }
    FClipLastOp = coCopy;
}

void TDedOzovedUrad::CutToClipboard()
{
    const TGridRect R = SaveRange(*this);
    CopySelectionFormats(R, false);
    const bool Always = FNavigation->GetAllowClipboardAlways();
    for (int r = R.Top; r <= R.Bottom; ++r)
        for (int c = R.Left; c <= R.Right; ++c) {
            const int RC = DisplayToRealCol(TDisplayCol(c)).Value;
            if (Always || IsEditable(RC, r))
                SetCellEx(RC, r, String());
        }
    if (GetShowModified()->GetEnabled())
        for (int r = R.Top; r <= R.Bottom; ++r)
            SetRowModified(r, true);
    if (FNavigation->GetClipboardCutAction() == caRemove && GetOptions().Contains(goRowSelect))
        RemoveRows(R.Top, R.Bottom - R.Top + 1);
    FClipLastOp = coCut;
}

void TDedOzovedUrad::CutSelectionToClipboard()
{
    const TGridRect Sel = GetSelection();
    CopySelectionToClipboard();
    const bool Persistent = FMouseActions->GetRowSelectPersistent();
    const bool Always = FNavigation->GetAllowClipboardAlways();
    if (FMouseActions->GetDisjunctRowSelect()) {
        for (int r = GetFixedRows(); r < GetRowCount(); ++r)
            if (IsCellRowSelected(Persistent ? RealRowIndex(TDisplayRow(r)).Value : r)) {
                ClearRows(r, 1);
                if (GetShowModified()->GetEnabled())
                    SetRowModified(r, true);
            }
    } else if (FMouseActions->GetDisjunctColSelect()) {
        for (int c = GetFixedCols(); c < GetColCount(); ++c)
            if (IsCellColSelected(c))
                ClearCols(c, 1);
    } else {
        const TGridRect S = GetSelection();
        TRirEvozUndoRedo* Undo = GetUndoRedo();
        if (Undo)
            Undo->StartSequence();
        try {
            for (int r = S.Top; r <= S.Bottom; ++r)
                for (int c = S.Left; c <= S.Right; ++c) {
                    const int RC = RealColIndex(TDisplayCol(c)).Value;
                    if (!Always && !IsEditable(RC, r))
                        continue;
                    if (Undo)
                        Undo->RegisterChange(RC, r, GetCellEx(RC, r), String());
                    SetCellEx(RC, r, String());
                }
        } catch (...) {
            if (Undo)
                Undo->StopSequence();
            throw;
        }
        if (Undo)
            Undo->StopSequence();
        if (GetShowModified()->GetEnabled())
            for (int r = S.Top; r <= S.Bottom; ++r)
                SetRowModified(r, true);
        if (FNavigation->GetAllowFmtClipboard())
            FreeCellPropertiesRange(S.Left, S.Top, S.Right, S.Bottom);
    }
    FClipLastOp = coCut;
    CellsChanged(TRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom));
    if (FNavigation->GetClipboardCutAction() == caRemove && GetOptions().Contains(goRowSelect)) {
        if (FMouseActions->GetDisjunctRowSelect()) {
            TIntList Rows;
            for (int r = GetFixedRows(); r < GetRowCount(); ++r)
                if (IsCellRowSelected(Persistent ? RealRowIndex(TDisplayRow(r)).Value : r))
                    Rows.Add(r);
            for (int i = 0; i < Rows.Count(); ++i)
                SetRowSelect(Persistent ? RealRowIndex(TDisplayRow(Rows[i])).Value : Rows[i], false);
            RemoveRowList(&Rows);
        } else {
            const TGridRect S = GetSelection();
            RemoveRows(S.Top, S.Bottom - S.Top + 1);
        }
    }
    if (NumHiddenColumns() > 0)
        Invalidate();
}

void TDedOzovedUrad::CopyToClipBoardAsHTML()
{
    TGridRect R;
    R.Left = 0;
    R.Top = 0;
    R.Right = GetColCount() - 1;
    R.Bottom = GetRowCount() - 1;
    CopyRectToClipboardAsHTML(R);
}

void TDedOzovedUrad::CopyRectToClipboardAsHTML(const TGridRect& ARect)
{
    // Pictures go to the program's private folder, never to whatever the
    // current folder is; the page refers to them by absolute paths.
    String Dir = GetPrivateTempDirectory();
    if (!Dir.empty() && Dir.back() != u'/')
        Dir += u'/';
    String HTML = SaveRectToHTMLString(ARect, Dir);
    WrapClipboardHTML(HTML);
    const std::string Bytes = StringToUtf8(HTML);
    TBlock Block(Bytes.data(), Bytes.size());
    TClipboardOpen Open(ClipOwner(*this));
    EmptyClipboard();
    Block.SetAs(HTMLFormat());
    WideBlock(Utf8ToString(Bytes)).SetAs(CF_UNICODETEXT);
}

// ---- paste ----

int TDedOzovedUrad::PasteTextAt(int ACol, int ARow, const String& Text, int& Cols, int& Rows)
{
    Cols = 0;
    Rows = 0;
    const bool Always = FNavigation->GetAllowClipboardAlways();
    if (ACol < 0 || ARow < 0
        || !(GetOptions().Contains(goEditing) || Always || FMouseActions->GetRangeSelectAndEdit()))
        return 0;
    const int Extra = FSaveHiddenCells ? NumHiddenColumns() : 0;
    const bool ColGrow = FNavigation->GetAllowClipboardColGrow();
    const bool RowGrow = FNavigation->GetAllowClipboardRowGrow();
    const bool Insert = FNavigation->GetClipboardPasteAction() == paInsert;
    TFloatingFooter* Footer = GetFloatingFooter();
    const int FooterRows = Footer->GetVisible() && Footer->GetFooterStyle() == fsFixedLastRow ? 1 : 0;
    TRirEvozUndoRedo* Undo = GetUndoRedo();
    if (Undo)
        Undo->StartSequence();
    std::deque<String> Owned;
    const std::vector<TClipLine> Lines = SplitClipText(Text, Owned);
    // The rows and columns the lines need, grown at once rather than line
    // by line (the same grid in the end).
    if (!Insert) {
        std::size_t Widest = 0;
        for (const TClipLine& L : Lines)
            Widest = std::max(Widest, L.Fields.size());
        if (ColGrow && Widest > 0 && ACol + int(Widest) - 1 >= GetColCount() + Extra)
            SetColCount(ACol + int(Widest) - Extra);
        int LastRow = ARow;
        for (std::size_t i = 1; i < Lines.size(); ++i)
            if (!(i + 1 == Lines.size() && Lines[i].Empty))
                ++LastRow;
        if (RowGrow && LastRow >= GetRowCount() - FooterRows)
            SetRowCount(LastRow + 1 + FooterRows);
    }
    int n = 0, Counted = 0;
    int MaxC = -1, MaxR = -1;
    int r = ARow;
    // One repaint at the end, not one per cell.
    BeginUpdate();
    struct TEndUpdate {
        TDedOzovedUrad& G;
        ~TEndUpdate() { G.EndUpdate(); }
    } EndUpdateAtExit { *this };
    try {
        for (std::size_t li = 0; li < Lines.size(); ++li) {
            const TClipLine& L = Lines[li];
            ++Counted;
            ImportNotification(FPasteAll ? isImportNewRow : isImportSelRow, r);
            if (L.Empty && li + 1 == Lines.size() && li > 0) {
                ++n; // the empty remainder after a final line break
                break;
            }
            if (Insert && !L.Empty)
                InsertRows(r, 1);
            int c = ACol;
            for (std::size_t fi = 0; fi < L.Fields.size(); ++fi, ++c) {
                const bool Last = fi + 1 == L.Fields.size();
                if (Last && L.Fields[fi].empty() && !L.Broken)
                    continue;
                ++n;
                if (ColGrow && c >= GetColCount() + Extra)
                    SetColCount(c + 1 - Extra);
                if (c > GetColCount() - 1 + Extra || r >= GetRowCount())
                    continue;
                if (!Always && !IsEditable(DisplayToRealCol(TDisplayCol(c)).Value, r))
                    continue;
                String Field(L.Fields[fi]);
                bool Allow = true;
                const bool Wide = Field.starts_with(u"|\\");
                String W;
                if (Wide) {
                    W = DecodeWideCellText(Field);
                    if (OnClipboardBeforePasteWideCell)
                        OnClipboardBeforePasteWideCell(this, c, r, W, Allow);
                    Field = EncodeWideCellText(W);
                } else if (OnClipboardBeforePasteCell) {
                    OnClipboardBeforePasteCell(this, c, r, Field, Allow);
                }
                if (!Allow)
                    continue;
                PasteCell(c, r, Field);
                MaxC = std::max(MaxC, c);
                MaxR = std::max(MaxR, r);
                if (Wide) {
                    if (OnClipboardAfterPasteWideCell)
                        OnClipboardAfterPasteWideCell(this, c, r, W);
                } else if (OnClipboardAfterPasteCell) {
                    OnClipboardAfterPasteCell(this, c, r, Field);
                }
            }
            if (!L.Empty)
                Cols = int(L.Fields.size());
            // The next line goes to the next row when text follows.
            const bool More = li + 1 < Lines.size() && !(li + 2 == Lines.size() && Lines[li + 1].Empty);
            if (More) {
                ++r;
                if (RowGrow && !Insert && r == GetRowCount() - FooterRows)
                    SetRowCount(GetRowCount() + 1);
            }
        }
    } catch (...) {
        if (Undo)
            Undo->StopSequence();
        throw;
    }
    Rows = Counted - 1;
    if (Rows == 0 && Cols > 0)
        Rows = 1;
    if (Undo)
        Undo->StopSequence();
    NotifyCellsPasted(FClipTopLeft, TRect(ACol, ARow, MaxC, MaxR), FClipLastOp);
    if (MaxC >= 0)
        CellsChanged(TRect(DisplayToRealCol(TDisplayCol(ACol)).Value, ARow,
            DisplayToRealCol(TDisplayCol(MaxC)).Value, MaxR));
    return n;
}

int TDedOzovedUrad::PasteFromClipboardFormats(int ACol, int ARow, int& Cols, int& Rows)
{
    Cols = 0;
    Rows = 0;
    std::vector<std::uint8_t> Bytes;
    if (UsesCellsClipboardFormat() && IsClipboardFormatAvailable(CellsFormat())) {
        bool Got;
        {
            TClipboardOpen Open(ClipOwner(*this));
            Got = ClipboardBytes(CellsFormat(), Bytes);
        }
        if (!Got)
            return 0;
        BeginClipboardPaste();
        struct TEnd {
            TDedOzovedUrad& G;
            ~TEnd() { G.EndClipboardPaste(); }
        } End { *this };
        TMemoryStream M;
        if (!Bytes.empty())
            M.WriteBuffer(Bytes.data(), Int64(Bytes.size()));
        M.SetPosition(0);
        return PasteCellStream(ACol, ARow, M, Cols, Rows);
    }
    if (FNavigation->GetAllowRTFClipboard() && IsClipboardFormatAvailable(RTFFormat())) {
        {
            TClipboardOpen Open(ClipOwner(*this));
            ClipboardBytes(RTFFormat(), Bytes);
        }
        const String Text = WideText(Bytes);
        if (IsEditable(DisplayToRealCol(TDisplayCol(ACol)).Value, ARow))
            PasteCell(ACol, ARow, Text);
        Cols = 1;
        Rows = 1;
        return 0;
    }
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return 0;
    {
        TClipboardOpen Open(ClipOwner(*this));
        if (!ClipboardBytes(CF_UNICODETEXT, Bytes))
            return 0;
    }
    const String Text = WideText(Bytes);
    return Text.empty() ? 0 : PasteTextAt(ACol, ARow, Text, Cols, Rows);
}

void TDedOzovedUrad::PasteFromClipboard()
{
    ImportNotification(isImportStart, -1);
    FPasteAll = true;
    struct TReset {
        bool& F;
        ~TReset() { F = false; }
    } Reset { FPasteAll };
    int Cols = 0, Rows = 0;
    const int C0 = GetSaveStartCol(), R0 = GetSaveStartRow();
    PasteFromClipboardFormats(C0, R0, Cols, Rows);
    ImportNotification(isImportDone, -1);
    TGridRect R;
    R.Left = C0;
    R.Top = R0;
    R.Right = C0 + Cols - 1;
    R.Bottom = R0 + Rows - 1;
    DoClipboardPasteDone(R);
    CalcFooter(-1);
}

void TDedOzovedUrad::PasteSelectionFromClipboard()
{
    ImportNotification(isImportStart, -1);
    FPasteAll = false;
    int Cols = 0, Rows = 0;
    ExpandSelectionToMerges();
    const TGridRect Sel = GetSelection();
    const bool RowSel = GetOptions().Contains(goRowSelect);
    const int n = PasteFromClipboardFormats(RowSel ? GetFixedCols() : Sel.Left, Sel.Top, Cols, Rows);
    if (!FNavigation->GetAllowSmartClipboard()) {
        ImportNotification(isImportDone, -1);
        if (Cols > 0 && Rows > 0) {
            TGridRect R;
            R.Left = Sel.Left;
            R.Top = Sel.Top;
            R.Right = Sel.Left + Cols - 1;
            R.Bottom = Sel.Top + Rows - 1;
            DoClipboardPasteDone(R);
            CalcFooter(-1);
        }
        return;
    }
    const int Area = (Sel.Bottom - Sel.Top + 1) * (Sel.Right - Sel.Left + 1);
    if (n >= Area) {
        ImportNotification(isImportDone, -1);
        return;
    }
    const bool Always = FNavigation->GetAllowClipboardAlways();
    auto Editable = [&](int c, int r) { return Always || IsEditable(DisplayToRealCol(TDisplayCol(c)).Value, r); };
    // One value through the paste events into a cell.
    auto Put = [&](int c, int r, String Value) {
        bool Allow = true;
        if (OnClipboardBeforePasteCell)
            OnClipboardBeforePasteCell(this, c, r, Value, Allow);
        if (!Allow)
            return;
        PasteCell(c, r, Value);
        NotifyCellsPasted(FClipTopLeft, TRect(c, r, c, r), coCopy);
        if (OnClipboardAfterPasteCell)
            OnClipboardAfterPasteCell(this, c, r, Value);
    };
    const TRect SelRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
    BeginClipboardPaste();
    if (n == 1 && Area > 1) {
        const int RC = DisplayToRealCol(TDisplayCol(Sel.Left)).Value;
        String Value = GetCellEx(RC, Sel.Top);
        if (HasCheckBox(RC, Sel.Top)) {
            bool State = false;
            GetCheckBoxState(RC, Sel.Top, State);
            Value = State ? GetCheckTrue() : GetCheckFalse();
        }
        for (int r = Sel.Top; r <= Sel.Bottom; ++r)
            for (int c = Sel.Left; c <= Sel.Right; ++c)
                if ((c != Sel.Left || r != Sel.Top) && Editable(c, r))
                    Put(c, r, Value);
    }
    EndClipboardPaste();
    const bool OneCol = Sel.Left == Sel.Right, OneRow = Sel.Top == Sel.Bottom;
    if (n > 1 && (OneCol || OneRow)) {
        const int RC = DisplayToRealCol(TDisplayCol(Sel.Left)).Value;
        const String First = GetCellEx(RC, Sel.Top);
        const String Second = OneCol ? GetCellEx(RC, Sel.Top + 1)
                                     : GetCellEx(DisplayToRealCol(TDisplayCol(Sel.Left + 1)).Value, Sel.Top);
        const TFormatSettings& FS = ProcessFormatSettings();
        // The cells of the selection in order.
        std::vector<TPoint> Cells;
        for (int c = Sel.Left; c <= Sel.Right; ++c)
            for (int r = Sel.Top; r <= Sel.Bottom; ++r)
                Cells.emplace_back(c, r);
        auto Series = [&](auto&& Text, auto&& NextValue) {
            for (const TPoint& P : Cells) {
                if (Editable(P.X, P.Y))
                    Put(P.X, P.Y, Text());
                NextValue();
            }
        };
        bool Done = true;
        try {
            if (IsDateLike(First, FS) && IsDateLike(Second, FS)) {
                TDateTime V = StrToDateTime(First, FS);
                const TDateTime D2 = StrToDateTime(Second, FS);
                Word y1, m1, d1, y2, m2, d2;
                DecodeDate(V, y1, m1, d1);
                DecodeDate(D2, y2, m2, d2);
                const double Diff = double(D2) - double(V);
                const bool TimeOnly = First.find(FS.DateSeparator) == String::npos;
                const int dy = int(y2) - int(y1), dm = int(m2) - int(m1), dd = int(d2) - int(d1);
                Series([&] { return TimeOnly ? FormatDateTime(FS.LongTimeFormat, V, FS) : DateToStr(V, FS); },
                    [&] {
                        if (dy == 0 && dm == 0 && dd != 0)
                            V = TDateTime(double(V) + dd);
                        else if (dy != 0 && dm == 0 && dd == 0)
                            V = IncMonth(V, 12 * dy);
                        else if (dm != 0 && dd == 0 && (dy == 0 || dy * 12 + dm != 0))
                            V = IncMonth(V, dy * 12 + dm);
                        else
                            V = TDateTime(double(V) + Diff);
                    });
            } else if (First.find(FS.DecimalSeparator) != String::npos
                || Second.find(FS.DecimalSeparator) != String::npos) {
                double V = StrToFloat(First, FS);
                const double Step = StrToFloat(Second, FS) - V;
                Series([&] { return Format(GetFloatFormat(), { V }, FS); }, [&] { V += Step; });
            } else if (int a, b; TryStrToInt(First, a) && TryStrToInt(Second, b)) {
                Int64 V = a;
                const Int64 Step = Int64(b) - a;
                Series([&] { return IntToStr(V); }, [&] { V += Step; });
            } else {
                Done = false;
            }
        } catch (const EConvertError&) {
            // A text that is no date or number ends the series where it is.
        }
        if (Done) {
            CellsChanged(SelRect);
            return;
        }
        const int k = n - 1;
        if (OneCol) {
            for (int r = Sel.Top + k; r <= Sel.Bottom; ++r)
                if (Editable(Sel.Left, r))
                    Put(Sel.Left, r, GetCellEx(RC, r - k));
            NotifyCellsPasted(TPoint(Sel.Left, Sel.Top), TRect(Sel.Left, Sel.Top + k, Sel.Left, Sel.Bottom), coCopy);
        } else {
            for (int c = Sel.Left + k; c <= Sel.Right; ++c)
                if (Editable(c, Sel.Top))
                    Put(c, Sel.Top, GetCellEx(DisplayToRealCol(TDisplayCol(c - k)).Value, Sel.Top));
            NotifyCellsPasted(TPoint(Sel.Left, Sel.Top), TRect(Sel.Left + k, Sel.Top, Sel.Right, Sel.Bottom), coCopy);
        }
    }
    if (!OneCol && !OneRow) {
        // A block repeated down and across the selection.
        int C2 = 0, R2 = 0;
        if (Rows == 1) {
            for (int r = Sel.Top + 1; r <= Sel.Bottom; ++r)
                PasteFromClipboardFormats(Sel.Left, r, C2, R2);
            SetSelection(Sel);
        }
        if (Cols == 1) {
            for (int c = Sel.Left + 1; c <= Sel.Right; ++c)
                PasteFromClipboardFormats(c, Sel.Top, C2, R2);
            SetSelection(Sel);
        }
    }
    ImportNotification(isImportDone, -1);
    CellsChanged(SelRect);
    DoClipboardPasteDone(Sel);
    CalcFooter(-1);
}

void TDedOzovedUrad::SetSelectionAsText(const String& Value)
{
    const TGridRect Sel = GetSelection();
    TFloatingFooter* Footer = GetFloatingFooter();
    const int FooterRows = Footer->GetVisible() && Footer->GetFooterStyle() == fsFixedLastRow ? 1 : 0;
    std::deque<String> Owned;
    const std::vector<TClipLine> Lines = SplitClipText(Value, Owned);
    int r = Sel.Top, MaxC = Sel.Left, MaxR = Sel.Top;
    for (std::size_t li = 0; li < Lines.size(); ++li) {
        const TClipLine& L = Lines[li];
        if (L.Empty && li + 1 == Lines.size() && li > 0)
            break;
        int c = Sel.Left;
        for (std::size_t fi = 0; fi < L.Fields.size(); ++fi, ++c) {
            const bool Last = fi + 1 == L.Fields.size();
            if (Last && L.Fields[fi].empty() && !L.Broken)
                continue;
            if (c >= GetColCount())
                SetColCount(c + 1);
            SetGridCell(c, r, String(L.Fields[fi]));
            MaxC = std::max(MaxC, c);
            MaxR = std::max(MaxR, r);
        }
        const bool More = li + 1 < Lines.size() && !(li + 2 == Lines.size() && Lines[li + 1].Empty);
        if (More) {
            ++r;
            if (r == GetRowCount() - FooterRows)
                SetRowCount(GetRowCount() + 1);
        }
    }
    CellsChanged(TRect(DisplayToRealCol(TDisplayCol(Sel.Left)).Value, Sel.Top,
        DisplayToRealCol(TDisplayCol(MaxC)).Value, MaxR));
    Invalidate();
}
