// Workbooks through the "Excel.Application" automation server: the save
// range goes out as one block of texts, a sheet's used range comes in cell
// by cell through DoLoadCell, and the sheet names of a workbook are listed.
// Every call shows the hourglass and gives the server back on every path:
// a server started here quits, and the cursor comes back as it was.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/automation/ComObj.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace {

const String ExcelProgID = u"Excel.Application";

// What one worksheet holds.
constexpr int MaxSheetColumns = 16384;
constexpr int MaxSheetRows = 1048576;

// A1 column letters: 1 "A" .. 26 "Z", 27 "AA" .. 702 "ZZ", 703 "AAA" ..
// 16384 "XFD".
String ColumnLetters(int Col)
{
    String s;
    while (Col > 0) {
        --Col;
        s.insert(s.begin(), Char(u'A' + Col % 26));
        Col /= 26;
    }
    return s;
}

// The number of column letters ("A" 1, "AA" 27, "XFD" 16384); 0 when the
// text is not one to three letters.
int ColumnNumber(StringView Letters)
{
    if (Letters.empty() || Letters.size() > 3)
        return 0;
    int n = 0;
    for (Char ch : Letters) {
        if (ch >= u'a' && ch <= u'z')
            ch = Char(ch - u'a' + u'A');
        if (ch < u'A' || ch > u'Z')
            return 0;
        n = n * 26 + (ch - u'A' + 1);
    }
    return n;
}

bool ReadNumber(StringView Text, int& Value)
{
    if (Text.empty() || Text.size() > 9)
        return false;
    Value = 0;
    for (Char ch : Text) {
        if (ch < u'0' || ch > u'9')
            return false;
        Value = Value * 10 + (ch - u'0');
    }
    return Value > 0;
}

struct TSheetArea {
    int Col1 { 1 }, Row1 { 1 }, Col2 { 1 }, Row2 { 1 };
};

// One corner of an absolute address: "$B$2" or "B$2". False when its
// letters or its number cannot be read.
bool ParseCorner(StringView Part, int& Col, int& Row)
{
    if (!Part.empty() && Part[0] == u'$')
        Part.remove_prefix(1);
    const std::size_t Dollar = Part.find(u'$');
    if (Dollar == StringView::npos)
        return false;
    Col = ColumnNumber(Part.substr(0, Dollar));
    return Col > 0 && ReadNumber(Part.substr(Dollar + 1), Row);
}

// The used range's address ("$B$2:$D$4", "$C$5", or whole rows "$1:$5")
// as columns and rows; false when a part cannot be read.
bool ParseUsedAddress(StringView Address, TSheetArea& Area)
{
    const std::size_t Colon = Address.find(u':');
    if (Colon == StringView::npos) {
        if (Address.find(u'$') == StringView::npos) {
            Area = {};
            return true;
        }
        if (!ParseCorner(Address, Area.Col1, Area.Row1))
            return false;
        Area.Col2 = Area.Col1;
        Area.Row2 = Area.Row1;
        return true;
    }
    StringView First = Address.substr(0, Colon);
    StringView Last = Address.substr(Colon + 1);
    if (!First.empty() && First[0] == u'$')
        First.remove_prefix(1);
    if (First.find(u'$') == StringView::npos) {
        // Whole rows.
        if (!Last.empty() && Last[0] == u'$')
            Last.remove_prefix(1);
        Area.Col1 = 1;
        Area.Col2 = 256;
        return ReadNumber(First, Area.Row1) && ReadNumber(Last, Area.Row2);
    }
    return ParseCorner(First, Area.Col1, Area.Row1) && ParseCorner(Last, Area.Col2, Area.Row2);
}

// The hourglass for the length of one call.
class THourGlass {
public:
    THourGlass() : FOld(Screen->GetCursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(FOld); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor FOld;
};

// The server for one call: a workbook opened for reading is closed
// unsaved, and an instance started here quits, however the call ends.
class TExcelSession {
public:
    // Attach: a running instance when there is one.
    explicit TExcelSession(bool Attach)
    {
        if (Attach) {
            try {
                App = GetActiveOleObject(ExcelProgID);
                return;
            } catch (const Exception&) {
            }
        }
        try {
            App = CreateOleObject(ExcelProgID);
        } catch (const Exception&) {
            throw ERirEvozError(u"Excel OLE server not found");
        }
        FStarted = true;
    }
    ~TExcelSession()
    {
        try {
            if (!OpenedBook.IsEmpty())
                DispCall(OpenedBook, u"Close", { Variant(false) });
        } catch (...) {
        }
        try {
            if (FStarted)
                DispCall(App, u"Quit");
        } catch (...) {
        }
    }
    TExcelSession(const TExcelSession&) = delete;
    TExcelSession& operator=(const TExcelSession&) = delete;

    Variant App;
    // A workbook to close without saving when the session ends.
    Variant OpenedBook;

private:
    bool FStarted { false };
};

Variant SheetNamed(const Variant& Book, const String& Name)
{
    const Variant Sheets = DispGet(Book, u"WorkSheets");
    const int Count = DispGet(Sheets, u"Count").AsInteger();
    for (int i = 1; i <= Count; ++i) {
        Variant Sheet = DispGet(Sheets, u"Item", { i });
        if (DispGet(Sheet, u"Name").AsString() == Name)
            return Sheet;
    }
    return {};
}

// The text of a value read from a sheet. False for an error value (a cell
// showing #N/A) or an object: the grid cell is left as it is.
bool ValueText(const Variant& Value, String& Text)
{
    const TVarType Type = Value.VarType() & varTypeMask;
    if (Type == varError || Type == varDispatch || Type == varUnknown)
        return false;
    Text = Value.IsEmpty() ? String() : VarToStr(Value);
    return true;
}

} // namespace

void TDedOzovedUrad::SaveToXLS(const String& FileName, bool CreateNewSheet)
{
    WriteXLSSheet(FileName, String(), CreateNewSheet);
}

void TDedOzovedUrad::SaveToXLSSheet(const String& FileName, const String& SheetName)
{
    WriteXLSSheet(FileName, SheetName, false);
}

void TDedOzovedUrad::LoadFromXLS(const String& FileName) { ReadXLSSheet(FileName, String()); }

void TDedOzovedUrad::LoadFromXLSSheet(const String& FileName, const String& SheetName)
{
    ReadXLSSheet(FileName, SheetName);
}

void TDedOzovedUrad::WriteXLSSheet(const String& FileName, const String& SheetName, bool CreateNewSheet)
{
    const int StartRow = GetSaveStartRow();
    const int StartCol = GetSaveStartCol();
    const int Rows = GetRowCount() - StartRow;
    const int Cols = GetColCount() - StartCol;
    if (Cols > MaxSheetColumns || Rows > MaxSheetRows)
        throw ERirEvozError(u"The grid's " + IntToStr(std::max(Rows, 0)) + u" rows and " + IntToStr(std::max(Cols, 0))
            + u" columns do not fit in a worksheet");

    // The block first: nothing reaches the server before every cell's text
    // is known.
    Variant Block;
    if (Rows > 0 && Cols > 0) {
        ExportNotification(esExportStart, StartRow);
        Block = VarArrayCreate({ 1, Rows, 1, Cols }, varVariant);
        for (int r = StartRow; r < GetRowCount(); ++r) {
            ExportNotification(esExportNextRow, r);
            for (int c = StartCol; c < GetColCount(); ++c)
                Block.PutElement({ r - StartRow + 1, c - StartCol + 1 },
                    Variant(VuzEraz::RemoveCRChars(SaveCell(DisplayToRealCol(TDisplayCol(c)).Value, r))));
        }
        ExportNotification(esExportDone, -1);
    }

    THourGlass Wait;
    TExcelSession Excel(true);
    Variant Book, Sheet;
    int FirstRow = 1;
    bool SaveAs = true;
    const Variant Books = DispGet(Excel.App, u"WorkBooks");
    if (SheetName.empty()) {
        if (DispGet(Books, u"Count").AsInteger() == 0 || CreateNewSheet) {
            Book = DispCall(Books, u"Add");
            Sheet = DispGet(DispGet(Book, u"Sheets"), u"Item", { 1 });
        } else {
            // Into the workbook open in the running instance, from the row
            // of its active cell.
            Book = DispGet(Excel.App, u"ActiveWorkBook");
            Sheet = DispGet(Book, u"ActiveSheet");
            FirstRow = DispPath(Excel.App, { u"ActiveCell", u"Row" }).AsInteger();
        }
    } else {
        // A file that cannot be opened is never replaced by a new workbook:
        // the error goes to the caller and the file stays as it is.
        if (FileExists(FileName)) {
            Book = DispCall(Books, u"Open", { FileName });
            SaveAs = false;
        } else {
            Book = DispCall(Books, u"Add");
        }
        Sheet = SheetNamed(Book, SheetName);
        if (Sheet.IsEmpty()) {
            Sheet = DispCall(DispGet(Book, u"WorkSheets"), u"Add");
            DispPut(Sheet, u"Name", SheetName);
        }
    }

    if (!Block.IsEmpty()) {
        if (FirstRow < 1 || FirstRow > MaxSheetRows - Rows + 1)
            throw ERirEvozError(u"The grid's " + IntToStr(Rows) + u" rows do not fit in the worksheet from row "
                + IntToStr(FirstRow));
        const String Address = u"A" + IntToStr(FirstRow) + u":" + ColumnLetters(Cols) + IntToStr(FirstRow + Rows - 1);
        DispPut(DispGet(Sheet, u"Range", { Address }), u"Value", Block);
    }
    // A failed save is the caller's to hear about.
    if (SaveAs)
        DispCall(Book, u"SaveAs", { FileName });
    else
        DispCall(Book, u"Save");
}

void TDedOzovedUrad::ReadXLSSheet(const String& FileName, const String& SheetName)
{
    {
        THourGlass Wait;
        TExcelSession Excel(false);
        Excel.OpenedBook = DispCall(DispGet(Excel.App, u"WorkBooks"), u"Open", { FileName });
        Variant Sheet;
        if (SheetName.empty()) {
            Sheet = DispGet(Excel.OpenedBook, u"ActiveSheet");
        } else {
            Sheet = SheetNamed(Excel.OpenedBook, SheetName);
            if (Sheet.IsEmpty())
                throw ERirEvozError(u"Excel worksheet " + SheetName + u" not found");
        }

        const Variant Used = DispGet(Sheet, u"UsedRange");
        TSheetArea Area;
        if (!ParseUsedAddress(DispGet(Used, u"Address").AsString(), Area)) {
            Area.Col1 = Area.Row1 = 1;
            Area.Row2 = DispPath(Used, { u"Rows", u"Count" }).AsInteger();
            Area.Col2 = DispPath(Used, { u"Columns", u"Count" }).AsInteger();
        }

        BeginUpdate();
        struct TEndUpdate {
            TDedOzovedUrad& Grid;
            ~TEndUpdate() { Grid.EndUpdate(); }
        } EndBlock { *this };

        const int OldFixedCols = GetFixedCols();
        const int OldFixedRows = GetFixedRows();
        const int ColOffset = GetSaveFixedCells() || GetSaveFixedCols() ? 0 : OldFixedCols;
        const int RowOffset = GetSaveFixedCells() || GetSaveFixedRows() ? 0 : OldFixedRows;
        SetColCount(Area.Col2 - Area.Col1 + 1 + ColOffset);
        SetRowCount(Area.Row2 - Area.Row1 + 1 + RowOffset);
        if (GetFixedCols() != OldFixedCols && OldFixedCols < GetColCount())
            SetFixedCols(OldFixedCols);
        if (GetFixedRows() != OldFixedRows && OldFixedRows < GetRowCount())
            SetFixedRows(OldFixedRows);

        // Values that cannot be read or turned into text mean the file is
        // not what it should be; what a load handler raises stays its own.
        const auto Incorrect = [] { return Exception(u"Incorrect Excel file"); };
        String Text;
        if (Area.Col1 == Area.Col2 && Area.Row1 == Area.Row2) {
            Variant Value;
            bool Usable;
            try {
                Value = DispGet(DispGet(DispGet(Sheet, u"Rows"), u"Cells", { Area.Row1, Area.Col1 }), u"Value");
                Usable = ValueText(Value, Text);
            } catch (const Exception&) {
                throw Incorrect();
            }
            if (Usable)
                DoLoadCell(ColOffset, RowOffset, Text);
        } else {
            const String Address = ColumnLetters(Area.Col1) + IntToStr(Area.Row1) + u":" + ColumnLetters(Area.Col2)
                + IntToStr(Area.Row2);
            Variant Block;
            try {
                Block = DispGet(DispGet(Sheet, u"Range", { Address }), u"Value");
            } catch (const Exception&) {
                throw Incorrect();
            }
            if (!Block.IsArray() || Block.DimCount() != 2)
                throw Incorrect();
            const int RowLow = Block.LowBound(1), ColLow = Block.LowBound(2);
            const int BlockRows = std::min(Block.HighBound(1) - RowLow + 1, Area.Row2 - Area.Row1 + 1);
            const int BlockCols = std::min(Block.HighBound(2) - ColLow + 1, Area.Col2 - Area.Col1 + 1);
            for (int i = 0; i < BlockRows; ++i)
                for (int j = 0; j < BlockCols; ++j) {
                    Variant Value;
                    // Texts, most of a listing, go in without a copy of their own.
                    const String* Held = nullptr;
                    bool Usable;
                    try {
                        Value = Block.GetElement({ RowLow + i, ColLow + j });
                        Held = Value.StringValue();
                        Usable = Held || ValueText(Value, Text);
                    } catch (const Exception&) {
                        throw Incorrect();
                    }
                    if (Usable)
                        DoLoadCell(j + ColOffset, i + RowOffset, Held ? *Held : Text);
                }
        }
    }
    CellsChanged(TRect(0, 0, GetColCount(), GetRowCount()));
    CalcFooter(-1);
}

std::unique_ptr<TStringList> TDedOzovedUrad::GetXLSSheets(const String& FileName)
{
    THourGlass Wait;
    TExcelSession Excel(false);
    const Variant Book = DispCall(DispGet(Excel.App, u"WorkBooks"), u"Open", { FileName });
    auto Names = std::make_unique<TStringList>();
    const Variant Sheets = DispGet(Book, u"WorkSheets");
    const int Count = DispGet(Sheets, u"Count").AsInteger();
    for (int i = 1; i <= Count; ++i)
        Names->Add(DispGet(DispGet(Sheets, u"Item", { i }), u"Name").AsString());
    DispPut(Book, u"Saved", Variant(true));
    return Names;
}
