#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "grid/core/DedOzovedUrad.h"
#include "platform/automation/ComObj.h"
#include "platform/automation/Xlsx.h"
#include "platform/vcl/Forms.h"
#include "tests/support/Fixtures.h"
#include "tests/grid/views/GridFileTest.h"

namespace fs = std::filesystem;
using namespace gridfiletest;

namespace {

const String ProgID = u"Excel.Application";

// Every server instance made while it lives, so a test can see whether
// the grid quit the one it started.
class TServerLog {
public:
    TServerLog()
    {
        RegisterOleClass(ProgID, [this] {
            TComPtr<IDispatch> App = ExcelApplicationFactory();
            Made.emplace_back(App.get(), true);
            return App;
        });
    }
    ~TServerLog() { RegisterOleClass(ProgID, ExcelApplicationFactory); }
    // A server that quit has no workbook open.
    static int OpenBooks(const Variant& App) { return DispPath(App, { u"WorkBooks", u"Count" }).AsInteger(); }

    std::vector<Variant> Made;
};

// A workbook opened by a server of the test's own.
struct TOpened {
    Variant App = CreateOleObject(ProgID);
    Variant Book;
    explicit TOpened(const fs::path& File) { Book = DispCall(DispGet(App, u"WorkBooks"), u"Open", { P(File) }); }
    ~TOpened() { DispCall(App, u"Quit"); }
    Variant Sheet(const String& Name) const { return DispGet(DispGet(Book, u"WorkSheets"), u"Item", { Name }); }
    Variant Active() const { return DispGet(Book, u"ActiveSheet"); }
};

String UsedAddress(const Variant& Sheet) { return DispPath(Sheet, { u"UsedRange", u"Address" }).AsString(); }
Variant Cell(const Variant& Sheet, const String& Address)
{
    return DispGet(DispGet(Sheet, u"Range", { Address }), u"Value");
}
void PutCell(const Variant& Sheet, const String& Address, const Variant& Value)
{
    DispPut(DispGet(Sheet, u"Range", { Address }), u"Value", Value);
}

struct ExcelGrid : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    testsupport::TempDir Dir;

    void SetUp() override
    {
        G.SetFixedRows(0);
        G.SetFixedCols(0);
    }

    void Fill(int Cols, int Rows)
    {
        G.SetColCount(Cols);
        G.SetRowCount(Rows);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                G.SetCells(c, r, u"r" + IntToStr(r) + u"c" + IntToStr(c));
    }

    // A workbook made by a server of the test's own: sheets by name, with
    // cells (address, value). The cells go into the saved file through a
    // second opening, which keeps error values as the file format has them.
    fs::path MakeBook(const std::string& Name,
        const std::vector<std::pair<String, std::vector<std::pair<String, Variant>>>>& Sheets)
    {
        const fs::path File = Dir / Name;
        {
            Variant App = CreateOleObject(ProgID);
            Variant Book = DispCall(DispGet(App, u"WorkBooks"), u"Add");
            for (std::size_t i = 0; i < Sheets.size(); ++i) {
                Variant Sheet = i == 0 ? DispGet(DispGet(Book, u"Sheets"), u"Item", { 1 })
                                       : DispCall(DispGet(Book, u"WorkSheets"), u"Add");
                DispPut(Sheet, u"Name", Sheets[i].first);
            }
            DispCall(Book, u"SaveAs", { P(File) });
            DispCall(App, u"Quit");
        }
        TOpened Book(File);
        for (const auto& [SheetName, Cells] : Sheets)
            for (const auto& [Address, Value] : Cells)
                PutCell(Book.Sheet(SheetName), Address, Value);
        DispCall(Book.Book, u"Save");
        return File;
    }
};

} // namespace

TEST_F(ExcelGrid, NewWorkbookFromA1AndTheStartedServerQuits)
{
    TServerLog Log;
    Fill(3, 2);
    G.SetCells(1, 1, u"0800 123 456");
    G.SetCells(2, 1, u"two\r\nlines");
    const fs::path File = Dir / "new.xlsx";
    G.SaveToXLS(P(File), false);

    ASSERT_EQ(Log.Made.size(), 1u);
    EXPECT_EQ(TServerLog::OpenBooks(Log.Made[0]), 0) << "the server started for the save has quit";
    TOpened Book(File);
    const Variant Sheet = Book.Active();
    EXPECT_EQ(UsedAddress(Sheet), u"$A$1:$C$2");
    EXPECT_EQ(Cell(Sheet, u"A1").AsString(), u"r0c0");
    EXPECT_EQ(Cell(Sheet, u"B2").AsString(), u"0800 123 456");
    // CR LF arrives as LF.
    EXPECT_EQ(Cell(Sheet, u"C2").AsString(), u"two\nlines");
}

// A running server with a workbook open: the block goes into its active
// sheet from the active cell's row, and the server keeps running.
TEST_F(ExcelGrid, RunningServerTakesTheBlockAtItsActiveRow)
{
    Variant App = CreateOleObject(ProgID);
    Variant Book = DispCall(DispGet(App, u"WorkBooks"), u"Add");
    Variant Sheet = DispGet(DispGet(Book, u"Sheets"), u"Item", { 1 });
    PutCell(Sheet, u"A1", Variant(u"header"));
    DispCall(DispGet(Sheet, u"Range", { u"C5" }), u"Activate");
    RegisterActiveObject(ProgID, VarToDispatch(App));

    Fill(2, 3);
    const fs::path File = Dir / "running.xlsx";
    G.SaveToXLS(P(File), false);
    RevokeActiveObject(ProgID);
    EXPECT_EQ(TServerLog::OpenBooks(App), 1) << "the running server keeps its workbook";
    DispCall(App, u"Quit");

    TOpened Saved(File);
    EXPECT_EQ(UsedAddress(Saved.Active()), u"$A$1:$B$7");
    EXPECT_EQ(Cell(Saved.Active(), u"A1").AsString(), u"header");
    EXPECT_EQ(Cell(Saved.Active(), u"A5").AsString(), u"r0c0");
    EXPECT_EQ(Cell(Saved.Active(), u"B7").AsString(), u"r2c1");
}

TEST_F(ExcelGrid, ColumnLettersPastZ)
{
    struct Case {
        int Cols;
        const char16_t* Address;
    };
    const Case Cases[] = { { 1, u"$A$1" }, { 26, u"$A$1:$Z$1" }, { 27, u"$A$1:$AA$1" }, { 52, u"$A$1:$AZ$1" },
        { 53, u"$A$1:$BA$1" }, { 702, u"$A$1:$ZZ$1" }, { 703, u"$A$1:$AAA$1" }, { 16384, u"$A$1:$XFD$1" } };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Cols);
        Fill(c.Cols, 1);
        const fs::path File = Dir / ("cols" + std::to_string(c.Cols) + ".xlsx");
        G.SaveToXLS(P(File), false);
        {
            TOpened Book(File);
            EXPECT_EQ(UsedAddress(Book.Active()), c.Address);
        }
        // And back: the last column comes home to the last grid column.
        TDedOzovedUrad Back(nullptr);
        Back.LoadFromXLS(P(File));
        EXPECT_EQ(Back.GetColCount(), c.Cols);
        EXPECT_EQ(Back.GetGridCell(c.Cols - 1, 0), u"r0c" + IntToStr(c.Cols - 1));
    }
    // A range wider than a worksheet is refused before anything is written.
    G.SetColCount(16385);
    EXPECT_THROW(G.SaveToXLS(P(Dir / "wide.xlsx"), false), ERirEvozError);
    EXPECT_FALSE(fs::exists(Dir / "wide.xlsx"));
}

TEST_F(ExcelGrid, NamedSheetIsWrittenInPlaceOrAdded)
{
    const fs::path File = MakeBook("sheets.xlsx",
        { { u"Cover", { { u"B2", Variant(u"keep") } } },
            { u"Data", { { u"A1", Variant(u"old") }, { u"C3", Variant(u"old C3") } } } });
    Fill(2, 2);
    G.SaveToXLSSheet(P(File), u"Data");
    G.SetCells(0, 0, u"extra");
    G.SaveToXLSSheet(P(File), u"Extra");

    TOpened Book(File);
    const Variant Data = Book.Sheet(u"Data");
    EXPECT_EQ(Cell(Data, u"A1").AsString(), u"r0c0");
    EXPECT_EQ(Cell(Data, u"B2").AsString(), u"r1c1");
    EXPECT_EQ(Cell(Data, u"C3").AsString(), u"old C3");
    EXPECT_EQ(Cell(Book.Sheet(u"Cover"), u"B2").AsString(), u"keep");
    EXPECT_EQ(UsedAddress(Book.Sheet(u"Cover")), u"$B$2");
    EXPECT_EQ(Cell(Book.Sheet(u"Extra"), u"A1").AsString(), u"extra");
    // The names in the workbook's own order.
    auto Names = G.GetXLSSheets(P(File));
    const Variant Sheets = DispGet(Book.Book, u"WorkSheets");
    ASSERT_EQ(Names->GetCount(), 3);
    ASSERT_EQ(DispGet(Sheets, u"Count").AsInteger(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Names->GetStrings(i), DispGet(DispGet(Sheets, u"Item", { i + 1 }), u"Name").AsString());
    EXPECT_GE(Names->IndexOf(u"Extra"), 0);

    // A new file gets a new workbook with the named sheet.
    G.SaveToXLSSheet(P(Dir / "fresh.xlsx"), u"Listings");
    auto Fresh = G.GetXLSSheets(P(Dir / "fresh.xlsx"));
    EXPECT_GE(Fresh->IndexOf(u"Listings"), 0);
}

TEST_F(ExcelGrid, UsedRangeComesInFromTheFirstSavedCell)
{
    std::vector<std::pair<String, Variant>> Cells;
    for (const char16_t* a : { u"B2", u"C2", u"D2", u"B3", u"D3", u"B4", u"C4", u"D4" })
        Cells.emplace_back(a, Variant(String(a)));
    Cells.emplace_back(u"C3", CellErrorVariant(u"#N/A"));
    Cells.emplace_back(u"C4", Variant(42.5));
    const fs::path File = MakeBook("used.xlsx", { { u"Sheet1", Cells } });

    G.SetCells(1, 1, u"kept");
    G.LoadFromXLS(P(File));
    ASSERT_EQ(G.GetColCount(), 3);
    ASSERT_EQ(G.GetRowCount(), 3);
    EXPECT_EQ(G.GetGridCell(0, 0), u"B2");
    EXPECT_EQ(G.GetGridCell(2, 2), u"D4");
    EXPECT_EQ(G.GetGridCell(1, 2), u"42.5");
    EXPECT_EQ(G.GetGridCell(1, 1), u"kept") << "#N/A leaves the cell as it was";

    // Fixed lines that the save range leaves out keep their place.
    TDedOzovedUrad Fixed(nullptr);
    Fixed.SetSaveFixedCells(false);
    Fixed.SetFixedCols(1);
    Fixed.SetFixedRows(1);
    Fixed.OnLoadCell = [](TObject*, int, int, String& Value) { Value = u"<" + Value + u">"; };
    Fixed.LoadFromXLS(P(File));
    EXPECT_EQ(Fixed.GetColCount(), 4);
    EXPECT_EQ(Fixed.GetRowCount(), 4);
    EXPECT_EQ(Fixed.GetFixedCols(), 1);
    EXPECT_EQ(Fixed.GetFixedRows(), 1);
    EXPECT_EQ(Fixed.GetGridCell(1, 1), u"<B2>");
    EXPECT_EQ(Fixed.GetGridCell(3, 3), u"<D4>");

    const fs::path One = MakeBook("one.xlsx", { { u"Only", { { u"C5", Variant(u"single") } } } });
    G.LoadFromXLSSheet(P(One), u"Only");
    EXPECT_EQ(G.GetColCount(), 1);
    EXPECT_EQ(G.GetRowCount(), 1);
    EXPECT_EQ(G.GetGridCell(0, 0), u"single");
}

TEST_F(ExcelGrid, FailuresRaiseAndGiveTheServerAndCursorBack)
{
    Screen->SetCursor(crCross);
    Fill(2, 2);
    const fs::path Book = MakeBook("book.xlsx", { { u"Data", { { u"A1", Variant(u"x") } } } });
    {
        TServerLog Log;
        try {
            G.LoadFromXLSSheet(P(Book), u"Missing");
            ADD_FAILURE() << "no exception";
        } catch (const ERirEvozError& e) {
            EXPECT_EQ(e.Message, u"Excel worksheet Missing not found");
        }
        EXPECT_EQ(Screen->GetCursor(), crCross);
        ASSERT_EQ(Log.Made.size(), 1u);
        EXPECT_EQ(TServerLog::OpenBooks(Log.Made[0]), 0);

        // Not a workbook: the server's own error, after which it quits.
        const fs::path Junk = Dir / "junk.xlsx";
        std::ofstream(Junk) << "not a workbook";
        EXPECT_THROW(G.LoadFromXLS(P(Junk)), EOleError);
        EXPECT_THROW(G.GetXLSSheets(P(Junk)), EOleError);
        // An existing file that cannot be opened is not replaced.
        EXPECT_THROW(G.SaveToXLSSheet(P(Junk), u"Data"), EOleError);
        EXPECT_EQ(ReadBytes(Junk), "not a workbook");
        // A save that fails is reported, not swallowed.
        EXPECT_THROW(G.SaveToXLS(P(Dir / "no" / "folder.xlsx"), false), EOleError);
        for (const Variant& App : Log.Made)
            EXPECT_EQ(TServerLog::OpenBooks(App), 0);
        EXPECT_EQ(Log.Made.size(), 5u);
        EXPECT_EQ(Screen->GetCursor(), crCross);
    }

    UnregisterOleClass(ProgID);
    try {
        G.SaveToXLS(P(Dir / "none.xlsx"), false);
        ADD_FAILURE() << "no exception";
    } catch (const ERirEvozError& e) {
        EXPECT_EQ(e.Message, u"Excel OLE server not found");
    }
    EXPECT_THROW(G.LoadFromXLS(P(Book)), ERirEvozError);
    EXPECT_THROW(G.GetXLSSheets(P(Book)), ERirEvozError);
    RegisterOleClass(ProgID, ExcelApplicationFactory);
    EXPECT_EQ(Screen->GetCursor(), crCross);
    Screen->SetCursor(crDefault);
}
