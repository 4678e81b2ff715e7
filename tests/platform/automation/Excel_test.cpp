// The dispatch core and the Excel-shaped object model, driven the way the
// grid drives them: by name, through Variants.

#include <gtest/gtest.h>

#include "platform/automation/ComObj.h"
#include "platform/automation/Xlsx.h"
#include "tests/platform/automation/XlsxTestKit.h"
#include "tests/support/Fixtures.h"

using namespace xlsxtest;

namespace {

const String ProgID = u"Excel.Application";

Variant NewApp() { return CreateOleObject(ProgID); }

Variant AddBook(const Variant& app) { return DispCall(DispGet(app, u"WorkBooks"), u"Add"); }

Variant FirstSheet(const Variant& book) { return DispGet(DispGet(book, u"Sheets"), u"", { 1 }); }

String UsedAddress(const Variant& sheet) { return DispGet(DispGet(sheet, u"UsedRange"), u"Address").AsString(); }

void PutRange(const Variant& sheet, const String& address, const Variant& value)
{
    DispPut(DispGet(sheet, u"Range", { address }), u"Value", value);
}

Variant GetRange(const Variant& sheet, const String& address)
{
    return DispGet(DispGet(sheet, u"Range", { address }), u"Value");
}

template<class F>
String OleMessage(F&& f)
{
    try {
        f();
    } catch (const EOleException& e) {
        return e.Message;
    }
    return u"(no exception)";
}

} // namespace

TEST(ExcelAddress, ColumnLettersBothWays)
{
    const std::pair<int, const char16_t*> table[] = { { 1, u"A" }, { 26, u"Z" }, { 27, u"AA" }, { 52, u"AZ" },
        { 53, u"BA" }, { 702, u"ZZ" }, { 703, u"AAA" }, { 16384, u"XFD" } };
    for (const auto& [n, letters] : table) {
        SCOPED_TRACE(n);
        EXPECT_EQ(ColumnLetters(n), letters);
        EXPECT_EQ(ColumnNumber(letters), n);
        EXPECT_EQ(ColumnNumber(StrLower(letters)), n);
    }
    EXPECT_EQ(ColumnNumber(u"XFE"), 0);
    EXPECT_EQ(ColumnLetters(16385), u"");

    TRangeRef r;
    ASSERT_TRUE(ParseRangeRef(u"$B$2:$D$4", r));
    EXPECT_EQ(r, (TRangeRef { 2, 2, 4, 4 }));
    EXPECT_EQ(RangeAddress(r), u"$B$2:$D$4");
    ASSERT_TRUE(ParseRangeRef(u"$C$5", r));
    EXPECT_EQ(RangeAddress(r), u"$C$5");
    ASSERT_TRUE(ParseRangeRef(u"XFD1048576", r));
    EXPECT_EQ(r, (TRangeRef { 1048576, 16384, 1048576, 16384 }));
    for (const char16_t* bad : { u"XFE1", u"A1048577", u"A0", u"1A", u"A", u"A1:", u"$$A1" }) {
        SCOPED_TRACE(StringToUtf8(bad));
        EXPECT_FALSE(ParseRangeRef(bad, r));
    }
}

TEST(ExcelTypedInput, NumbersOnlyWhenTheyReadBackAsWritten)
{
    struct Case {
        const char16_t* Text;
        bool Number;
    };
    const Case cases[] = { { u"2000", true }, { u"-33.8688", true }, { u"0.5", true }, { u"0800", false },
        { u"+61", false }, { u"1e5", false }, { u" 12", false }, { u"12 ", false }, { u"1,234", false },
        { u"12345678901234567", false }, { u"NaN", false }, { u"INF", false }, { u"2024-01-31", false },
        { u"31/01/2024", false }, { u"TRUE", false }, { u"=1+1", false }, { u".5", false }, { u"5.", false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        const Variant v = TypedInput(c.Text);
        EXPECT_EQ(!VarIsStr(v), c.Number);
        EXPECT_EQ(VarToStr(v), c.Text);
    }
    EXPECT_TRUE(TypedInput(u"").IsEmpty());
}

TEST(ExcelDispatch, ServerTableAndRunningObjects)
{
    // Nothing runs until someone registers it.
    try {
        GetActiveOleObject(ProgID);
        FAIL() << "no running instance expected";
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode, MK_E_UNAVAILABLE);
    }
    Variant app = NewApp();
    EXPECT_EQ(DispGet(DispGet(app, u"workbooks"), u"COUNT").AsInteger(), 0);

    RegisterActiveObject(ProgID, VarToDispatch(app));
    Variant running = GetActiveOleObject(u"excel.APPLICATION");
    EXPECT_EQ(VarToDispatch(running), VarToDispatch(app));
    RevokeActiveObject(ProgID);
    EXPECT_THROW(GetActiveOleObject(ProgID), EOleSysError);

    UnregisterOleClass(ProgID);
    try {
        CreateOleObject(ProgID);
        ADD_FAILURE() << "the server should be gone";
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode, CO_E_CLASSSTRING);
    }
    RegisterOleClass(ProgID, ExcelApplicationFactory);
    EXPECT_NO_THROW(NewApp());

    // Unknown members are the automation layer's error, not the member's.
    try {
        DispGet(app, u"NoSuchMember");
        ADD_FAILURE();
    } catch (const EOleException&) {
        ADD_FAILURE() << "an unknown name is no member failure";
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode, DISP_E_UNKNOWNNAME);
    }
}

namespace {

// A server whose members fail the way library code does.
class TFailingServer : public TAutoDispatch {
protected:
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Memory", u"Range" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant*) override
    {
        if (id == 1)
            throw std::bad_alloc();
        return Variant(std::vector<int>().at(3));
    }
    String SourceName() const override { return u"Failing"; }
};

} // namespace

TEST(ExcelDispatch, ForeignExceptionsArriveAsMemberFailures)
{
    const Variant server = TAutoDispatch::AsVariant(new TFailingServer);
    struct TCase {
        const char16_t* Member;
        HRESULT Code;
    };
    for (const TCase c : { TCase { u"Memory", E_OUTOFMEMORY }, TCase { u"Range", DISP_E_EXCEPTION } }) {
        SCOPED_TRACE(StringToUtf8(c.Member));
        try {
            DispCall(server, c.Member);
            ADD_FAILURE() << "no failure";
        } catch (const EOleException& e) {
            EXPECT_EQ(e.ErrorCode, c.Code);
            EXPECT_EQ(e.Source, u"Failing");
            EXPECT_FALSE(e.Message.empty());
        }
    }
}

TEST(ExcelModel, NewWorkbookSheetsAndUsedRange)
{
    Variant app = NewApp();
    Variant book = AddBook(app);
    Variant sheets = DispGet(book, u"Sheets");
    ASSERT_EQ(DispGet(sheets, u"Count").AsInteger(), 1);
    Variant sheet = DispGet(sheets, u"", { 1 });
    EXPECT_EQ(DispGet(sheet, u"Name").AsString(), u"Sheet1");
    EXPECT_EQ(DispPath(app, { u"ActiveCell", u"Row" }).AsInteger(), 1);
    EXPECT_EQ(UsedAddress(sheet), u"$A$1");

    PutRange(sheet, u"C5", Variant(u"x"));
    EXPECT_EQ(UsedAddress(sheet), u"$C$5");
    PutRange(sheet, u"B2:D4", Block({ { u"1", u"2", u"3" }, { u"4", u"", u"6" }, { u"7", u"8", u"9" } }));
    EXPECT_EQ(UsedAddress(sheet), u"$B$2:$D$5");
    PutRange(sheet, u"C5", Variant(u""));
    EXPECT_EQ(UsedAddress(sheet), u"$B$2:$D$4");
    Variant used = DispGet(sheet, u"UsedRange");
    EXPECT_EQ(DispPath(used, { u"Rows", u"Count" }).AsInteger(), 3);
    EXPECT_EQ(DispPath(used, { u"Columns", u"Count" }).AsInteger(), 3);
    Variant block = DispGet(used, u"Value");
    ASSERT_EQ(VarArrayDimCount(block), 2);
    EXPECT_EQ(VarArrayLowBound(block, 1), 1);
    EXPECT_EQ(VarArrayHighBound(block, 2), 3);
    EXPECT_EQ(block.GetElement({ 1, 3 }).AsDouble(), 3);
    EXPECT_TRUE(block.GetElement({ 2, 2 }).IsEmpty());
    // Cells of a range count from its first cell; the sheet's Rows.Cells from A1.
    EXPECT_EQ(DispGet(DispGet(used, u"Cells", { 3, 1 }), u"Value").AsDouble(), 7);
    EXPECT_EQ(DispGet(DispCall(DispGet(sheet, u"Rows"), u"Cells", { 3, 4 }), u"Value").AsDouble(), 6);
    EXPECT_EQ(DispGet(DispGet(sheet, u"Rows"), u"Count").AsInteger(), 1048576);

    // Names are case-insensitive; collections count from 1.
    EXPECT_EQ(DispGet(DispGet(book, u"WORKSHEETS"), u"count").AsInteger(), 1);
    EXPECT_EQ(OleMessage([&] { DispGet(sheets, u"", { 0 }); }), u"Sheet index 0 is out of range (1 to 1)");
    EXPECT_THROW(DispGet(DispGet(book, u"worksheets"), u"Item", { 2 }), EOleException);
}

TEST(ExcelModel, AddedSheetsGoBeforeTheActiveOneAndNamesAreChecked)
{
    Variant app = NewApp();
    Variant book = AddBook(app);
    Variant sheets = DispGet(book, u"WorkSheets");
    Variant added = DispCall(sheets, u"Add");
    EXPECT_EQ(DispGet(added, u"Name").AsString(), u"Sheet2");
    EXPECT_EQ(DispGet(DispGet(sheets, u"Item", { 1 }), u"Name").AsString(), u"Sheet2");
    EXPECT_EQ(DispPath(book, { u"ActiveSheet", u"Name" }).AsString(), u"Sheet2");
    EXPECT_EQ(DispGet(DispGet(sheets, u"Item", { 2 }), u"Name").AsString(), u"Sheet1");

    for (const char16_t* bad : { u"", u"a:b", u"a/b", u"[x]", u"'quoted'", u"sheet1", u"History",
             u"0123456789012345678901234567890123" }) {
        SCOPED_TRACE(StringToUtf8(bad));
        EXPECT_THROW(DispPut(added, u"Name", Variant(String(bad))), EOleException);
    }
    EXPECT_EQ(DispGet(added, u"Name").AsString(), u"Sheet2");
    DispPut(added, u"Name", Variant(u"Listings"));
    EXPECT_EQ(DispGet(DispGet(sheets, u"", { u"LISTINGS" }), u"Index").AsInteger(), 1);
}

TEST(ExcelModel, ValueKindsAndLimits)
{
    Variant app = NewApp();
    Variant sheet = FirstSheet(AddBook(app));
    PutRange(sheet, u"A1", Variant(true));
    PutRange(sheet, u"A2", Variant::FromDate(45000.5));
    PutRange(sheet, u"A3", CellErrorVariant(u"#N/A"));
    PutRange(sheet, u"A4", Variant(u"0800"));
    EXPECT_EQ(VarType(GetRange(sheet, u"A1")), varBoolean);
    EXPECT_EQ(VarType(GetRange(sheet, u"A2")), varDate);
    EXPECT_EQ(GetRange(sheet, u"A2").AsDouble(), 45000.5);
    EXPECT_EQ(VarType(GetRange(sheet, u"A3")), varError);
    EXPECT_EQ(GetRange(sheet, u"A3").ErrorCode(), std::int32_t(0x800A07FAu));
    EXPECT_EQ(GetRange(sheet, u"A4").AsString(), u"0800");

    // One over a limit raises, and nothing of the block is written.
    const String longest(XlsxMaxCellText, u'x');
    PutRange(sheet, u"B1", Variant(longest));
    EXPECT_EQ(GetRange(sheet, u"B1").AsString().size(), longest.size());
    EXPECT_THROW(PutRange(sheet, u"C1:C2", Block({ { u"kept out" }, { longest + u"y" } })), EOleException);
    EXPECT_TRUE(GetRange(sheet, u"C1").IsEmpty());
    EXPECT_THROW(DispGet(sheet, u"Range", { u"A1048577" }), EOleException);
    EXPECT_THROW(DispGet(sheet, u"Range", { u"XFE1" }), EOleException);
    EXPECT_NO_THROW(PutRange(sheet, u"XFD1048576", Variant(u"corner")));
    EXPECT_EQ(UsedAddress(sheet), u"$A$1:$XFD$1048576");

    auto book = TXlsxWorkbook::CreateNew();
    EXPECT_THROW(book->WriteBlock(*book->Sheets[0], 1048576, 1, { { Variant(1) }, { Variant(2) } }), EXlsxError);
    EXPECT_THROW(book->WriteBlock(*book->Sheets[0], 1, 16384, { { Variant(1), Variant(2) } }), EXlsxError);
}

TEST(ExcelModel, RunningInstanceWritesAtItsActiveCellRow)
{
    testsupport::TempDir dir;
    // The grid attaches to a running server and writes from the active cell's row.
    Variant app = NewApp();
    Variant book = AddBook(app);
    DispCall(DispCall(FirstSheet(book), u"Range", { u"C5" }), u"Activate");
    RegisterActiveObject(ProgID, VarToDispatch(app));

    Variant running = GetActiveOleObject(ProgID);
    const int row = DispPath(running, { u"ActiveCell", u"Row" }).AsInteger();
    EXPECT_EQ(row, 5);
    Variant active = DispPath(running, { u"ActiveWorkBook", u"ActiveSheet" });
    PutRange(active, u"A" + IntToStr(row) + u":B" + IntToStr(row + 1), Block({ { u"a", u"1" }, { u"b", u"2" } }));
    Variant activeBook = DispGet(running, u"ActiveWorkBook");
    EXPECT_FALSE(DispGet(activeBook, u"Saved").AsBoolean());
    const String file = S8(dir / "running.xlsx");
    DispCall(activeBook, u"SaveAs", { file });
    EXPECT_TRUE(DispGet(activeBook, u"Saved").AsBoolean());
    RevokeActiveObject(ProgID);

    // The workbook stays open in the running server.
    EXPECT_EQ(DispPath(app, { u"WorkBooks", u"Count" }).AsInteger(), 1);
    Variant reader = NewApp();
    Variant opened = DispCall(DispGet(reader, u"WorkBooks"), u"Open", { file });
    Variant sheet = DispGet(opened, u"ActiveSheet");
    EXPECT_EQ(UsedAddress(sheet), u"$A$5:$B$6");
    EXPECT_EQ(VarType(GetRange(sheet, u"B6")), varDouble);
    EXPECT_EQ(GetRange(sheet, u"A6").AsString(), u"b");
    EXPECT_EQ(DispPath(reader, { u"ActiveCell", u"Row" }).AsInteger(), 5);
    DispCall(opened, u"Close", { false });
    DispCall(reader, u"Quit");
    EXPECT_THROW(DispGet(sheet, u"Name"), EOleException);
}

TEST(ExcelModel, SaveWithoutAFileAndQuitDropsUnsavedWork)
{
    testsupport::TempDir dir;
    Variant app = NewApp();
    Variant book = AddBook(app);
    PutRange(FirstSheet(book), u"A1", Variant(u"x"));
    EXPECT_THROW(DispCall(book, u"Save"), EOleException);
    EXPECT_THROW(DispCall(book, u"Close", { true }), EOleException);
    DispCall(app, u"Quit");
    EXPECT_EQ(DispPath(app, { u"WorkBooks", u"Count" }).AsInteger(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}
