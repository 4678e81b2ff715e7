// Workbooks at listing scale: SaveToXLS and LoadFromXLS of a grid of
// 100,000 rows of 15 listing texts through the "Excel.Application" server.
// In the same run the reference drives the same server with the same calls
// on the same values held in a std::vector table: a new workbook, the block
// into its first sheet, SaveAs, Quit; and Open, the used range's values
// turned into texts, Close, Quit.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/automation/ComObj.h"
#include "platform/rtl/FileUtils.h"
#include "platform/vcl/Forms.h"

namespace {

// GRID_XLSX_ROWS=n runs on n rows (for a profiler).
const int kRows = std::getenv("GRID_XLSX_ROWS") ? std::atoi(std::getenv("GRID_XLSX_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kReps = 3;
const String ProgID = u"Excel.Application";

using Table = std::vector<std::vector<String>>;

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The fields of a captured listing, varied by row: texts, a postcode and
// coordinates that the server takes as numbers, a "0800" number it keeps
// as text.
String ListingField(int Col, int Row)
{
    static const char* const Names[] = { "Smith & Sons Plumbing", "Harbour View Dental", "Café Zürich",
        "Northside Electrical", "Blue Gum Florist" };
    const std::string r = std::to_string(Row);
    std::string s;
    switch (Col) {
    case 0: s = Names[Row % 5]; break;
    case 1: s = "Plumbers & Gas Fitters"; break;
    case 2: s = "Level 3, " + std::to_string(10 + Row % 90) + " Kent Street"; break;
    case 3: s = "Millers Point"; break;
    case 4: s = "NSW"; break;
    case 5: s = std::to_string(2000 + Row % 900); break;
    case 6: s = "(02) 9" + std::to_string(1000000 + Row % 8999999); break;
    case 7: s = "0800 " + std::to_string(100000 + Row * 7 % 899999); break;
    case 8: s = "info@listing" + r + ".example.com"; break;
    case 9: s = "https://www.listing" + r + ".example.com/"; break;
    case 10: s = "https://www.directory.example/listing/" + r; break;
    case 11: s = "-33.8" + std::to_string(600 + Row % 300); break;
    case 12: s = "151.20" + std::to_string(10 + Row % 90); break;
    case 13: s = Row % 10 == 0 ? "Open today\n8am - 5pm" : "Open today 8am - 5pm"; break;
    default: s = "0" + std::to_string(800 + Row % 100); break;
    }
    return Utf8ToString(s);
}

String ColumnLetters(int Col)
{
    String s;
    for (; Col > 0; Col = (Col - 1) / 26)
        s.insert(s.begin(), Char(u'A' + (Col - 1) % 26));
    return s;
}

void SaveReference(const Table& T, const String& File)
{
    Variant App = CreateOleObject(ProgID);
    Variant Book = DispCall(DispGet(App, u"WorkBooks"), u"Add");
    Variant Sheet = DispGet(DispGet(Book, u"Sheets"), u"Item", { 1 });
    const int Rows = int(T.size()), Cols = int(T[0].size());
    Variant Block = VarArrayCreate({ 1, Rows, 1, Cols }, varVariant);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            Block.PutElement({ r + 1, c + 1 }, Variant(T[std::size_t(r)][std::size_t(c)]));
    const String Address = u"A1:" + ColumnLetters(Cols) + IntToStr(Rows);
    DispPut(DispGet(Sheet, u"Range", { Address }), u"Value", Block);
    DispCall(Book, u"SaveAs", { File });
    DispCall(App, u"Quit");
}

Table LoadReference(const String& File)
{
    Variant App = CreateOleObject(ProgID);
    Variant Book = DispCall(DispGet(App, u"WorkBooks"), u"Open", { File });
    Variant Sheet = DispGet(Book, u"ActiveSheet");
    const Variant Used = DispGet(Sheet, u"UsedRange");
    const String Address = StringReplace(DispGet(Used, u"Address").AsString(), u"$", u"", rfReplaceAll);
    const Variant Block = DispGet(DispGet(Sheet, u"Range", { Address }), u"Value");
    Table T(std::size_t(Block.HighBound(1) - Block.LowBound(1) + 1));
    for (int r = Block.LowBound(1); r <= Block.HighBound(1); ++r) {
        auto& Row = T[std::size_t(r - Block.LowBound(1))];
        for (int c = Block.LowBound(2); c <= Block.HighBound(2); ++c) {
            const Variant V = Block.GetElement({ r, c });
            Row.push_back(V.IsEmpty() ? String() : VarToStr(V));
        }
    }
    DispCall(Book, u"Close", { Variant(false) });
    DispCall(App, u"Quit");
    return T;
}

void Report(const char* What, double Grid, double Ref, bool Same)
{
    std::printf("%-12s grid %8.1f ms   the server alone %8.1f ms   ratio %5.2f (goal <= 1.2)%s\n", What, Grid * 1000,
        Ref * 1000, Grid / Ref, Same ? "" : "  RESULTS DIFFER");
}

} // namespace

int main()
{
    std::printf("A grid of %d rows of %d listing texts (best of %d runs)\n", kRows, kCols, kReps);
    Table Cells(static_cast<std::size_t>(kRows));
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            Cells[std::size_t(r)].push_back(ListingField(c, r));

    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 1280, 800);
    auto* Grid = new TDedOzovedUrad(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, 1200, 700);
    Form->HandleNeeded();
    Grid->SetFixedRows(0);
    Grid->SetFixedCols(0);
    Grid->SetColCount(kCols);
    Grid->SetRowCount(kRows);
    Grid->BeginUpdate();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            Grid->SetCells(c, r, Cells[std::size_t(r)][std::size_t(c)]);
    Grid->EndUpdate();

    const String Folder = GetPrivateTempDirectory();
    const String GridFile = Folder + u"grid.xlsx";
    const String RefFile = Folder + u"reference.xlsx";

    double GridSave = 1e30, RefSave = 1e30;
    for (int i = 0; i < kReps; ++i) {
        auto t = std::chrono::steady_clock::now();
        SaveReference(Cells, RefFile);
        RefSave = std::min(RefSave, Seconds(t));
        t = std::chrono::steady_clock::now();
        Grid->SaveToXLS(GridFile, false);
        GridSave = std::min(GridSave, Seconds(t));
    }

    double GridLoad = 1e30, RefLoad = 1e30;
    Table Back;
    auto Loaded = std::make_unique<TDedOzovedUrad>(Form.get());
    for (int i = 0; i < kReps; ++i) {
        Back.clear();
        auto t = std::chrono::steady_clock::now();
        Back = LoadReference(RefFile);
        RefLoad = std::min(RefLoad, Seconds(t));
        Loaded->Clear();
        t = std::chrono::steady_clock::now();
        Loaded->LoadFromXLS(GridFile);
        GridLoad = std::min(GridLoad, Seconds(t));
    }
    // Both roads give every text back.
    bool Same = Back == Cells && Loaded->GetRowCount() == kRows && Loaded->GetColCount() == kCols;
    for (int r = 0; Same && r < kRows; ++r)
        for (int c = 0; Same && c < kCols; ++c)
            Same = Loaded->GetCells(c, r) == Cells[std::size_t(r)][std::size_t(c)];
    Report("SaveToXLS", GridSave, RefSave, true);
    Report("LoadFromXLS", GridLoad, RefLoad, Same);
    DeleteFile(GridFile);
    DeleteFile(RefFile);
    return 0;
}
