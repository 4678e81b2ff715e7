// Workbooks against an independent spreadsheet program: LibreOffice makes a
// real .xlsx from a flat ODF fixture for our reader and patcher, and exports
// CSV of what we saved. Each run costs seconds, so this stays one test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/automation/ComObj.h"
#include "platform/automation/Xlsx.h"
#include "tests/platform/automation/XlsxTestKit.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Office.h"

using namespace xlsxtest;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}


} // namespace

TEST(ExcelOffice, RealWorkbooksReadPatchAndExport)
{
    testsupport::TempDir dir;
    testsupport::TOfficeProfile office;
    ASSERT_TRUE(office.Convert("xlsx", dir.path(), { testsupport::FixturesDir() / "workbooks" / "two_sheets.fods" }))
        << "LibreOffice (scripts/setup installs libreoffice-calc-nogui) could not convert the fixture";
    const fs::path made = dir / "two_sheets.xlsx";
    ASSERT_TRUE(fs::exists(made));
    const TParts original = ReadZip(made);

    // Our reader on what another program wrote.
    Variant app = CreateOleObject(u"Excel.Application");
    Variant book = DispCall(DispGet(app, u"WorkBooks"), u"Open", { S8(made) });
    Variant sheets = DispGet(book, u"WorkSheets");
    ASSERT_EQ(DispGet(sheets, u"Count").AsInteger(), 2);
    EXPECT_EQ(DispPath(book, { u"ActiveSheet", u"Name" }).AsString(), u"Cover");
    Variant data = DispGet(sheets, u"Item", { 2 });
    EXPECT_EQ(DispGet(data, u"Name").AsString(), u"Data");
    EXPECT_EQ(DispGet(DispGet(data, u"UsedRange"), u"Address").AsString(), u"$A$1:$D$4");
    Variant block = DispGet(DispGet(data, u"UsedRange"), u"Value");
    EXPECT_EQ(block.GetElement({ 2, 1 }).AsString(), u"Harbour Plumbing");
    EXPECT_EQ(block.GetElement({ 2, 4 }).AsDouble(), 42);  // the cached formula value
    EXPECT_EQ(VarType(block.GetElement({ 2, 3 })), varDate);
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd", block.GetElement({ 2, 3 }).AsDate()), u"2024-02-29");
    EXPECT_EQ(block.GetElement({ 4, 1 }).AsString(), u"Merged note");

    // A block into sheet 2; every part that need not change stays as it was.
    DispPut(DispGet(data, u"Range", { u"A3:B3" }), u"Value", Block({ { u"Kent Street Electrics", u"7" } }));
    DispCall(book, u"Save");
    DispCall(app, u"Quit");
    const TParts after = ReadZip(made);
    ASSERT_EQ(after.size(), original.size());
    for (const auto& [name, bytes] : original) {
        SCOPED_TRACE(name);
        // The workbook part only gains the order to recalculate.
        if (name == "xl/worksheets/sheet2.xml" || name == "xl/workbook.xml")
            continue;
        EXPECT_TRUE(after.at(name) == bytes);
    }
    const std::string& sheet = after.at("xl/worksheets/sheet2.xml");
    for (const char* kept : { R"(<c r="B2" s="2" t="n"><v>21</v></c>)", R"(<f aca="false">B3*2</f>)",
             R"(<c r="B3" s="2"><v>7</v></c>)", R"(<mergeCell ref="A4:B4"/>)", R"(<c r="C3" s="3" t="n"><v>45235</v></c>)" })
        EXPECT_NE(sheet.find(kept), std::string::npos) << kept;
    EXPECT_NE(after.at("xl/workbook.xml").find("fullCalcOnLoad=\"1\""), std::string::npos);

    // Our own new workbook, with the texts that are easy to lose.
    const std::vector<String> texts = { u"007", u"Zürich — Straße", u"東京 🏙 𝄞", u"line one\nline two", u"_x0041_",
        u"  padded  ", u"&<>\"' ]]>", u"=SUM(A1)", u"-33.8688", u"0800 123 456" };
    auto own = TXlsxWorkbook::CreateNew();
    std::vector<std::vector<Variant>> rows;
    for (const String& t : texts)
        rows.push_back({ Variant(t) });
    own->WriteBlock(*own->Sheets[0], 1, 1, rows);
    own->SaveAs(S8(dir / "own.xlsx"));

    const fs::path csv = dir / "csv";
    fs::create_directories(csv);
    ASSERT_TRUE(office.Convert(testsupport::OfficeCsvAllSheets, csv, { dir / "two_sheets.xlsx", dir / "own.xlsx" }));
    const auto cover = testsupport::ParseCsv(ReadFile(csv / "two_sheets-Cover.csv"));
    ASSERT_EQ(cover.size(), 1u);
    EXPECT_EQ(cover[0][0], "Listings");
    const auto exported = testsupport::ParseCsv(ReadFile(csv / "two_sheets-Data.csv"));
    ASSERT_EQ(exported.size(), 4u);
    EXPECT_EQ(exported[1], (std::vector<std::string> { "Harbour Plumbing", "21", "2024-02-29", "42" }));
    // The new values, and the formula over them recalculated.
    EXPECT_EQ(exported[2], (std::vector<std::string> { "Kent Street Electrics", "7", "2023-11-05", "14" }));
    EXPECT_EQ(exported[3][0], "Merged note");

    const auto ownCsv = testsupport::ParseCsv(ReadFile(csv / "own-Sheet1.csv"));
    ASSERT_EQ(ownCsv.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ownCsv[i][0], StringToUtf8(texts[i]));
    }
}
