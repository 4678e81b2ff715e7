#include <gtest/gtest.h>

#include <sqlite3.h>

#include "grid/core/DedOzovedUrad.h"
#include "platform/automation/ADODB.h"
#include "platform/automation/ComObj.h"
#include "platform/automation/Word.h"
#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;

namespace {

String P(const fs::path& Path) { return Utf8ToString(Path.string()); }

void Exec(const fs::path& File, const char* Sql)
{
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(File.c_str(), &Db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(Db, Sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(Db);
    sqlite3_close(Db);
}

// The grid's table of a Word document, read back through the server.
std::vector<std::vector<String>> TableOf(const fs::path& File, int Index)
{
    Variant App = CreateOleObject(u"word.application");
    Variant Doc = DispCall(DispGet(App, u"Documents"), u"Open", { P(File) });
    Variant Table = DispGet(DispGet(Doc, u"Tables"), u"", { Index });
    std::vector<std::vector<String>> Rows;
    for (int r = 1; r <= DispGet(Table, u"RowCount").AsInteger(); ++r) {
        Rows.emplace_back();
        for (int c = 1; c <= DispGet(Table, u"ColumnCount").AsInteger(); ++c)
            Rows.back().push_back(DispPath(DispCall(Table, u"Cell", { r, c }), { u"Range", u"Text" }).AsString());
    }
    return Rows;
}

struct WordGrid : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    testsupport::TempDir Dir;

    void SetUp() override
    {
        G.SetFixedRows(1);
        G.SetFixedCols(0);
        G.SetRowCount(2);
        G.SetColCount(2);
        G.SetCellEx(0, 0, u"Name");
        G.SetCellEx(1, 0, u"Qty");
        G.SetCellEx(0, 1, u"Ace & Co");
        G.SetCellEx(1, 1, u"12");
    }
};

} // namespace

TEST_F(WordGrid, NewDocumentHoldsTheWholeGrid)
{
    G.SaveToDOC(P(Dir / "grid.doc"), true);
    const std::vector<std::vector<String>> Want { { u"Name", u"Qty" }, { u"Ace & Co", u"12" } };
    EXPECT_EQ(TableOf(Dir / "grid.doc", 1), Want);
}

TEST_F(WordGrid, AppendsAndLeavesNoServerRunning)
{
    G.SaveToDOC(P(Dir / "grid.docx"), true);
    G.SetCellEx(1, 1, u"13");
    G.AppendToDoc(P(Dir / "grid.docx"), u"NoSuchMark");
    EXPECT_EQ(TableOf(Dir / "grid.docx", 2)[1][1], u"13");
    EXPECT_EQ(TableOf(Dir / "grid.docx", 1)[1][1], u"12");
    EXPECT_THROW(GetActiveOleObject(u"word.application"), EOleSysError);

    // Without a server the export says so.
    UnregisterOleClass(u"word.application");
    try {
        G.SaveToDOC(P(Dir / "none.docx"), true);
        ADD_FAILURE();
    } catch (const ERirEvozError& E) {
        EXPECT_EQ(E.Message, u"Word OLE server not found");
    }
    RegisterOleClass(u"word.application", WordApplicationFactory);
}

TEST_F(WordGrid, RunningWordKeepsItsDocument)
{
    // A registered running instance with a document open: the table goes to
    // the start of that document, which stays open there.
    Variant App = CreateOleObject(u"word.application");
    Variant Doc = DispCall(DispGet(App, u"Documents"), u"Add");
    DispCall(DispGet(App, u"Selection"), u"TypeText", { String(u"Existing text") });
    RegisterActiveObject(u"word.application", VarToDispatch(App));
    G.OnGetAlignment = [](TObject*, int, int ACol, TAlignment& HA, TVAlignment&) {
        if (ACol == 1)
            HA = taRightJustify;
    };
    G.SaveToDOC(P(Dir / "running.docx"), false);
    RevokeActiveObject(u"word.application");
    EXPECT_EQ(DispGet(DispGet(App, u"Documents"), u"Count").AsInteger(), 1);
    EXPECT_EQ(DispPath(Doc, { u"Tables", u"Count" }).AsInteger(), 1);
    Variant Cell = DispGet(DispCall(DispGet(DispGet(Doc, u"Tables"), u"", { 1 }), u"Cell", { 2, 2 }), u"Range");
    EXPECT_EQ(DispPath(Cell, { u"ParagraphFormat", u"Alignment" }).AsInteger(), 2);
    EXPECT_EQ(TableOf(Dir / "running.docx", 1)[1][0], u"Ace & Co");
}

TEST(AccessGrid, QueryFillsFieldsAndRecords)
{
    testsupport::TempDir Dir;
    const fs::path File = Dir / "shops.mdb";
    Exec(File, "CREATE TABLE shops(name TEXT, staff INTEGER, note TEXT);"
               "INSERT INTO shops VALUES('Ace', 3, 'x'), ('Bay', NULL, '');");
    TDedOzovedUrad G { nullptr };
    G.SetFixedRows(1);
    G.SetFixedCols(1);
    G.SetRowCount(5);
    G.LoadFromMDBTable(P(File), u"shops");
    EXPECT_EQ(G.GetColCount(), 4);
    EXPECT_EQ(G.GetRowCount(), 3);
    const struct {
        int Col, Row;
        const char16_t* Text;
    } Cells[] = { { 1, 0, u"name" }, { 2, 0, u"staff" }, { 3, 0, u"note" }, { 1, 1, u"Ace" }, { 2, 1, u"3" },
        { 3, 1, u"x" }, { 1, 2, u"Bay" }, { 2, 2, u"" }, { 3, 2, u"" } };
    for (const auto& c : Cells) {
        SCOPED_TRACE(testing::Message() << c.Col << "," << c.Row);
        EXPECT_EQ(G.GetCellEx(c.Col, c.Row), c.Text);
    }
    EXPECT_THROW(G.LoadFromMDBSQL(P(File), u"SELEKT 1"), EOleException);
    EXPECT_THROW(G.LoadFromMDBSQL(P(Dir / "missing.mdb"), u"SELECT 1"), EOleException);
    EXPECT_FALSE(fs::exists(Dir / "missing.mdb"));
}

namespace {

// A record set that cannot tell how many records it holds (RecordCount -1),
// as some providers answer; everything else is the real one's.
class TCountlessRecordSet : public TAutoDispatch {
public:
    TCountlessRecordSet() : FReal(Variant(ADORecordSetFactory().get(), true)) { }

protected:
    enum { idActiveConnection = 1, idOpen, idClose, idFields, idRecordCount, idEof, idMoveNext };
    std::span<const StringView> Names() const override
    {
        static const StringView names[]
            = { u"ActiveConnection", u"Open", u"Close", u"Fields", u"RecordCount", u"Eof", u"MoveNext" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        switch (id) {
        case idActiveConnection:
            if (value)
                DispPut(FReal, u"ActiveConnection", *value);
            return {};
        case idOpen: return DispCall(FReal, u"Open", { args[0] });
        case idClose: return DispCall(FReal, u"Close");
        case idFields: return DispGet(FReal, u"Fields");
        case idRecordCount: return Variant(-1);
        case idEof: return DispGet(FReal, u"Eof");
        case idMoveNext: return DispCall(FReal, u"MoveNext");
        }
        return {};
    }

private:
    Variant FReal;
};

} // namespace

TEST(AccessGrid, WithoutARecordCountTheGridGrowsPerRecordAndNeverShrinks)
{
    testsupport::TempDir Dir;
    const fs::path File = Dir / "shops.db";
    Exec(File, "CREATE TABLE shops(name TEXT, note TEXT);"
               "INSERT INTO shops VALUES('Ace', 'x'), ('Bay', NULL), ('Cove', 'z');");
    RegisterOleClass(u"ADODB.RecordSet", [] { return TComPtr<IDispatch>(new TCountlessRecordSet()); });
    const struct {
        int RowsBefore, RowsAfter;
    } Cases[] = { { 2, 4 }, { 10, 10 } };
    for (const auto& c : Cases) {
        SCOPED_TRACE(c.RowsBefore);
        TDedOzovedUrad G { nullptr };
        G.SetFixedRows(1);
        G.SetFixedCols(0);
        G.SetRowCount(c.RowsBefore);
        G.LoadFromMDBSQL(P(File), u"SELECT name, note FROM shops ORDER BY name");
        EXPECT_EQ(G.GetRowCount(), c.RowsAfter);
        EXPECT_EQ(G.GetCellEx(0, 0), u"name");
        EXPECT_EQ(G.GetCellEx(0, 3), u"Cove");
        EXPECT_EQ(G.GetCellEx(1, 2), u"");
        EXPECT_EQ(G.GetCellEx(1, 3), u"z");
    }
    RegisterOleClass(u"ADODB.RecordSet", ADORecordSetFactory);
}
