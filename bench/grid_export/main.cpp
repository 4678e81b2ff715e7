// The grid's other formats at listing scale: 100,000 rows of 15 listing
// fields, one row in ten with a field of two lines. Writers: SaveToXML,
// SaveToJSON and SaveToFixed against SaveToCSV of the same grid. Loads:
// LoadFromXML of the XML written, against a bare libxml2 pass that parses
// the file and copies every field's text into a table; LoadFromMDBSQL of
// the cells as a SQLite table, against a bare sqlite3 loop that steps the
// same query and copies every field into a table.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/IntList.h"
#include "platform/rtl/FileUtils.h"
#include "platform/vcl/Forms.h"

namespace {

// GRID_EXPORT_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_EXPORT_ROWS") ? std::atoi(std::getenv("GRID_EXPORT_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kReps = 3;

using Table = std::vector<std::vector<std::u16string>>;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

template<class F>
double Best(F&& Run)
{
    double Best = 1e30;
    for (int i = 0; i < kReps; ++i) {
        const auto t = std::chrono::steady_clock::now();
        Run();
        Best = std::min(Best, Seconds(t));
    }
    return Best;
}

// The bare XML pass: every field element's text of every record.
Table ReadXMLBare(const std::string& File)
{
    Table T;
    xmlDocPtr Doc = xmlReadFile(File.c_str(), nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_HUGE);
    if (!Doc)
        return T;
    for (xmlNodePtr Rec = xmlDocGetRootElement(Doc)->children; Rec; Rec = Rec->next) {
        if (Rec->type != XML_ELEMENT_NODE)
            continue;
        std::vector<std::u16string>& Row = T.emplace_back();
        Row.reserve(kCols);
        for (xmlNodePtr Field = Rec->children; Field; Field = Field->next) {
            if (Field->type != XML_ELEMENT_NODE)
                continue;
            xmlChar* Text = xmlNodeGetContent(Field);
            Row.push_back(Utf8ToString(reinterpret_cast<const char*>(Text)));
            xmlFree(Text);
        }
    }
    xmlFreeDoc(Doc);
    return T;
}

// The bare SQLite pass: the query stepped, every column's text copied.
Table ReadSQLiteBare(const std::string& File, const char* Sql)
{
    Table T;
    sqlite3* Db = nullptr;
    sqlite3_open_v2(File.c_str(), &Db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* Stmt = nullptr;
    sqlite3_prepare_v2(Db, Sql, -1, &Stmt, nullptr);
    const int n = sqlite3_column_count(Stmt);
    while (sqlite3_step(Stmt) == SQLITE_ROW) {
        std::vector<std::u16string>& Row = T.emplace_back();
        Row.reserve(std::size_t(n));
        for (int i = 0; i < n; ++i) {
            const auto* Text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, i));
            Row.push_back(Text ? Utf8ToString(Text) : std::u16string());
        }
    }
    sqlite3_finalize(Stmt);
    sqlite3_close(Db);
    return T;
}

void WriteSQLite(const Table& T, const std::string& File)
{
    std::remove(File.c_str());
    sqlite3* Db = nullptr;
    sqlite3_open(File.c_str(), &Db);
    std::string Create = "CREATE TABLE cells(";
    std::string Insert = "INSERT INTO cells VALUES(";
    for (int c = 0; c < kCols; ++c) {
        Create += (c ? ", f" : "f") + std::to_string(c) + " TEXT";
        Insert += c ? ", ?" : "?";
    }
    sqlite3_exec(Db, (Create + ")").c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(Db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* Stmt = nullptr;
    sqlite3_prepare_v2(Db, (Insert + ")").c_str(), -1, &Stmt, nullptr);
    for (const auto& Row : T) {
        for (int c = 0; c < kCols; ++c) {
            const std::string Text = StringToUtf8(Row[std::size_t(c)]);
            sqlite3_bind_text(Stmt, c + 1, Text.c_str(), int(Text.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(Stmt);
        sqlite3_reset(Stmt);
    }
    sqlite3_finalize(Stmt);
    sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(Db);
}

struct TBench {
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid { nullptr };
    Table Cells;

    TBench()
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 1280, 800);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 1200, 700);
        Form->HandleNeeded();
        Grid->SetFixedRows(0);
        Grid->SetFixedCols(0);
        Cells.resize(std::size_t(kRows));
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Cells[std::size_t(r)].push_back(benchrows::ExportField(c, r));
        Fill();
    }

    void Fill()
    {
        Grid->Clear();
        Grid->SetColCount(kCols);
        Grid->SetRowCount(kRows);
        Grid->BeginUpdate();
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                Grid->SetCellEx(c, r, Cells[std::size_t(r)][std::size_t(c)]);
        Grid->EndUpdate();
    }

    // Whether the grid holds exactly the table.
    bool Holds(const Table& T) const
    {
        if (Grid->GetRowCount() != int(T.size()))
            return false;
        for (std::size_t r = 0; r < T.size(); ++r)
            for (std::size_t c = 0; c < T[r].size(); ++c)
                if (Grid->GetCellEx(int(c), int(r)) != T[r][c])
                    return false;
        return true;
    }
};

void Report(const char* What, double Grid, const char* RefName, double Ref, double Goal, bool Same = true)
{
    std::printf("%-22s %9.1f ms   %-22s %9.1f ms   ratio %5.2f (goal <= %g)%s\n", What, Grid * 1000, RefName,
        Ref * 1000, Grid / Ref, Goal, Same ? "" : "  RESULTS DIFFER");
}

} // namespace

int main()
{
    std::printf("%d listing rows of %d fields, one in ten with a two-line field (best of %d runs)\n", kRows, kCols,
        kReps);
    xmlInitParser();
    TBench B;
    const String Folder = GetPrivateTempDirectory();
    const String CSV = Folder + u"grid.csv", XML = Folder + u"grid.xml", JSON = Folder + u"grid.json",
                 Fixed = Folder + u"grid.txt";
    const std::string DB = StringToUtf8(Folder + u"grid.db");

    const double CsvSave = Best([&] { B.Grid->SaveToCSV(CSV, true); });
    std::printf("%-22s %9.1f ms   (the writers' baseline)\n", "SaveToCSV", CsvSave * 1000);
    Report("SaveToXML", Best([&] { B.Grid->SaveToXML(XML, u"list", u"listing", nullptr); }), "SaveToCSV", CsvSave, 2);
    Report("SaveToJSON", Best([&] { B.Grid->SaveToJSON(JSON, u"listing", nullptr); }), "SaveToCSV", CsvSave, 2);
    Report("SaveToFixed", Best([&] {
        TIntList Positions;
        B.Grid->SaveToFixed(Fixed, &Positions);
    }),
        "SaveToCSV", CsvSave, 2);

    Table T;
    const double XmlBare = Best([&] { T = ReadXMLBare(StringToUtf8(XML)); });
    const bool XmlSame = T == B.Cells;
    const double XmlLoad = Best([&] {
        B.Grid->Clear();
        B.Grid->SetRowCount(1);
        B.Grid->LoadFromXML(XML);
    });
    Report("LoadFromXML", XmlLoad, "bare libxml2 pass", XmlBare, 3, XmlSame && B.Holds(B.Cells));

    WriteSQLite(B.Cells, DB);
    const char* Sql = "SELECT * FROM cells";
    const double SqlBare = Best([&] { T = ReadSQLiteBare(DB, Sql); });
    const bool SqlSame = T == B.Cells;
    const double SqlLoad = Best([&] {
        B.Grid->Clear();
        B.Grid->SetRowCount(1);
        B.Grid->LoadFromMDBSQL(Utf8ToString(DB), Utf8ToString(Sql));
    });
    Report("LoadFromMDBSQL", SqlLoad, "bare sqlite3 loop", SqlBare, 3, SqlSame && B.Holds(B.Cells));

    for (const String& File : { CSV, XML, JSON, Fixed, Utf8ToString(DB) })
        DeleteFile(File);
    xmlCleanupParser();
    return 0;
}
