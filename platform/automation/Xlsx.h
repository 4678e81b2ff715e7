#pragma once
// Workbooks as .xlsx files: the cell store behind the Excel-shaped automation
// server, A1 addresses, the typed-input rule, and the three file roads: new
// workbooks are written with libxlsxwriter, opened ones are read by our own
// reader over libzip + libxml2 and saved as a patched copy in which every
// part and cell that was not written stays as it was.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/ComObj.h"
#include "platform/rtl/Variant.h"

// A workbook file that cannot be read (damaged, not a workbook, binary or
// encrypted), or a save that failed.
QT_DECLARE_EXCEPTION(EXlsxError, EOleError);

inline constexpr int XlsxMaxRows = 1048576;
inline constexpr int XlsxMaxCols = 16384;
inline constexpr int XlsxMaxCellText = 32767;

// What reading an untrusted file may cost. Sizes are counted while a part is
// inflated, never taken from the zip headers.
struct TXlsxLimits {
    std::uint64_t MaxPartBytes { std::uint64_t(1) << 30 };
    std::uint64_t MaxCells { 50'000'000 };
    // The texts of all cells together (a shared string counts each time a
    // cell uses it).
    std::uint64_t MaxTextBytes { std::uint64_t(2) << 30 };
};
// The process-wide limits (tests lower them).
TXlsxLimits& XlsxReadLimits();

// ---- addresses (rows and columns from 1)

struct TCellRef {
    int Row { 0 };
    int Col { 0 };
    bool operator==(const TCellRef&) const = default;
};

struct TRangeRef {
    int Row1 { 0 }, Col1 { 0 }, Row2 { 0 }, Col2 { 0 };
    bool operator==(const TRangeRef&) const = default;
    int RowCount() const { return Row2 - Row1 + 1; }
    int ColCount() const { return Col2 - Col1 + 1; }
    bool Contains(int row, int col) const { return row >= Row1 && row <= Row2 && col >= Col1 && col <= Col2; }
    bool Contains(const TRangeRef& r) const { return Contains(r.Row1, r.Col1) && Contains(r.Row2, r.Col2); }
    bool Intersects(const TRangeRef& r) const
    {
        return r.Row1 <= Row2 && r.Row2 >= Row1 && r.Col1 <= Col2 && r.Col2 >= Col1;
    }
};

// "A".."XFD" for 1..16384; empty outside.
String ColumnLetters(int col);
// 1..16384 for "A".."XFD" in any letter case; 0 for anything else.
int ColumnNumber(StringView letters);
// "B2", "$B$2", "b2" (dollar signs optional); false outside A1..XFD1048576.
bool ParseCellRef(StringView text, TCellRef& ref);
// "B2:D4" (corners in any order) or a single cell.
bool ParseRangeRef(StringView text, TRangeRef& ref);
String CellAddress(int row, int col, bool absolute);
// "$B$2:$D$4", or "$C$5" for one cell.
String RangeAddress(const TRangeRef& r, bool absolute = true);

// The value a typed text becomes: a number when the text is finite and the
// variant-to-text rules write that number as the same text; otherwise the
// text itself (dates, "TRUE" and "=..." stay texts). "" gives Empty.
Variant TypedInput(const String& text);

// The error values of cells, as the automation server hands them out
// (varError with the server's codes: #N/A is 0x800A07FA).
Variant CellErrorVariant(StringView errorText);
String CellErrorText(const Variant& v);

// ---- the cell store

// A cell. The texts of text and error cells live in their row's text store,
// so a sheet of a million texts needs a few allocations per row, not one per
// cell.
struct TXlsxCell {
    enum TKind : std::uint8_t { ckEmpty, ckNumber, ckText, ckBoolean, ckError, ckDate };

    int Col { 0 };
    TKind Kind { ckEmpty };
    bool Written { false };  // set by a write since the last save
    bool Formula { false };  // the opened file holds a formula here
    struct TTextPos {
        std::uint32_t At;    // where the text starts in the row's store
        std::uint32_t Size;  // its length in bytes
    };
    union {
        double Number { 0 };  // ckNumber, ckDate (serial days), ckBoolean (0/1)
        TTextPos Text;        // ckText, ckError ("#N/A")
    };
};
static_assert(sizeof(TXlsxCell) == 16, "a cell stays two words");

// The cells of one row, sorted by column, and the UTF-8 texts of its text
// and error cells, each followed by a NUL.
class TXlsxRow {
public:
    std::vector<TXlsxCell> Cells;

    std::string_view Text(const TXlsxCell& c) const { return { FTexts.data() + c.Text.At, c.Text.Size }; }
    // The same, NUL-terminated.
    const char* CText(const TXlsxCell& c) const { return FTexts.c_str() + c.Text.At; }
    // Gives the cell (one of Cells) this text; the old one's room is reused
    // when the new text fits, and the store is compacted when more than half
    // of it is left over from overwritten texts.
    void SetText(TXlsxCell& c, std::string_view utf8);
    void SetText(TXlsxCell& c, StringView text);
    // The cell holds no text any more (its room is left over).
    void DropText(TXlsxCell& c);
    void ReserveTexts(std::size_t bytes) { FTexts.reserve(bytes); }
    std::size_t TextBytes() const { return FTexts.size(); }
    Variant ValueOf(const TXlsxCell& c, bool date1904) const;
    // The cell at `col`, made when missing.
    TXlsxCell& At(int col);
    const TXlsxCell* Find(int col) const;
    bool empty() const { return Cells.empty(); }

private:
    void Compact();
    void MakeRoom(std::size_t bytes);
    std::string FTexts;
    std::size_t FUnused { 0 };  // bytes of texts no cell refers to any more
};

struct TSharedFormula {
    TCellRef Master;
    TRangeRef Area;
};

class TXlsxSheet {
public:
    using TRow = TXlsxRow;

    String Name;
    std::map<int, TRow> Rows;
    TCellRef ActiveCell { 1, 1 };

    // What the opened file holds; empty for a sheet added since.
    String PartName;
    String RelId;
    String OriginalName;
    bool ChartSheet { false };  // kept as it is; holds no cells
    std::vector<TRangeRef> ArrayFormulas;
    std::vector<TSharedFormula> SharedFormulas;
    bool Modified { false };

    const TXlsxCell* Find(int row, int col) const;
    // The cell's value (Empty when there is none).
    Variant Value(int row, int col, bool date1904) const;
    // The bounding box of cells with a value; Row1 == 0 when there is none.
    TRangeRef UsedRange() const;
    std::uint64_t CellCount() const;
};

class TXlsxWorkbook {
public:
    std::vector<std::shared_ptr<TXlsxSheet>> Sheets;
    int ActiveSheet { 0 };
    bool Date1904 { false };

    // The file the workbook was opened from or last saved to; empty for new.
    String FileName;
    // The package the opened file came from; empty when it was made here.
    String SourceFile;
    bool FormulaOverwritten { false };
    bool HasFormulas { false };
    // No change since it was made, opened or saved.
    bool Saved { true };
    // Closed or dropped by Quit; its automation objects refuse every call.
    bool Closed { false };

    // Where the opened package keeps its parts.
    struct TPackage {
        String WorkbookPart;  // "xl/workbook.xml"
        String WorkbookRels;  // "xl/_rels/workbook.xml.rels"
        int OriginalActiveTab { 0 };
        // Set by a patched save for the sheets added since the file was read.
        std::vector<String> NewPartNames, NewRelIds;
    } Package;

    // A new workbook with one sheet "Sheet1".
    static std::shared_ptr<TXlsxWorkbook> CreateNew();
    // Reads a file; raises EXlsxError with a clear message when it cannot.
    static std::shared_ptr<TXlsxWorkbook> Open(const String& fileName);

    // Writes the workbook to fileName through a temporary file beside it,
    // renamed over the target once complete; on failure the old file stays
    // and nothing is left behind. A workbook made here goes through
    // libxlsxwriter, an opened one as a patched copy of its package.
    void SaveAs(const String& fileName);

    // Checks and writes a block of values (rows first) with its first cell
    // at (row, col); raises before anything is written when a limit or a
    // formula rule is broken.
    void WriteBlock(TXlsxSheet& sheet, int row, int col, const std::vector<std::vector<Variant>>& values);

    // A name that is valid and unused by other sheets; raises otherwise.
    void CheckSheetName(const String& name, const TXlsxSheet* self) const;
    // "SheetN" with the first free N.
    String NextSheetName() const;

private:
    void SaveNew(const String& tempFile) const;
    void SavePatched(const String& tempFile);
    void AfterSave(const String& fileName);
};

// The "Excel.Application" automation server over this store: a new instance.
TComPtr<IDispatch> ExcelApplicationFactory();

// ---- pieces shared by the reader, the writers and the benchmark

// Why a part of a zip package could not be read whole.
enum class TZipPartFault { None, CannotOpen, DoesNotInflate, TooLarge };
// Inflates the part at `index` into `out`, refusing more than
// XlsxReadLimits().MaxPartBytes; `out` holds what was read before a fault.
TZipPartFault InflateZipPart(struct zip* archive, std::int64_t index, std::string& out);
// A zip entry inflated in full, counted against the part-size limit.
std::string ReadZipPart(struct zip* archive, std::int64_t index, const String& fileName);
// Text of an inline or shared string with "_xHHHH_" escapes decoded.
String DecodeXlsxEscapes(String text);
// The same over UTF-8, appended to `out`.
void AppendDecodedXlsxText(std::string& out, std::string_view utf8);
// The character code of an "_xHHHH_" escape starting at i, or -1.
int XlsxEscapeAt(StringView text, std::size_t i);
int XlsxEscapeAt(std::string_view text, std::size_t i);
// UTF-8 text as element content of a cell: XML-escaped, with control
// characters (and literal "_xHHHH_" texts) written as "_xHHHH_" escapes.
std::string EncodeCellText(std::string_view utf8);
