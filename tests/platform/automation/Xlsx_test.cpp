// .xlsx files: texts through both save roads, what the reader understands,
// what a patched save keeps, and how bad files and failed saves end.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

#include "platform/automation/ComObj.h"
#include "platform/automation/Xlsx.h"
#include "tests/platform/automation/XlsxTestKit.h"
#include "tests/support/Fixtures.h"

using namespace xlsxtest;
namespace fs = std::filesystem;

namespace {

const std::vector<String>& AwkwardTexts()
{
    static const std::vector<String> texts = { u"007", u"Zürich — Straße", u"東京 🏙 𝄞", u"line one\nline two",
        String(u"bell\u0001here"), u"_x0041_", u"_x005F_", u"  padded  ", u"&<>\"' ]]>", String(u"cr\rhere"),
        u"tab\there", u"=SUM(A1)", u"TRUE", String(XlsxMaxCellText, u'z') };
    return texts;
}

std::shared_ptr<TXlsxWorkbook> Open(const fs::path& p) { return TXlsxWorkbook::Open(S8(p)); }

Variant ValueAt(const TXlsxWorkbook& book, int sheet, int row, int col)
{
    return book.Sheets[std::size_t(sheet)]->Value(row, col, book.Date1904);
}

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::vector<Variant>> Column(const std::vector<String>& texts)
{
    std::vector<std::vector<Variant>> rows;
    for (const String& t : texts)
        rows.push_back({ Variant(t) });
    return rows;
}

// A package with styles, a formula and its calculation chain, a merged
// area, column widths and an element we do not know.
TParts RichPackage()
{
    const std::string sheet1 = SheetXml(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><v>2</v></c></row>)");
    const std::string sheet2 = SheetXml(
        R"(<row r="1" spans="1:4"><c r="A1" s="3" t="s"><v>1</v></c><c r="B1" s="3"><v>10</v></c><c r="C1"><f>B1*2</f><v>20</v></c></row>)"
        R"(<row r="2"><c r="A2" s="1"><v>45000</v></c><c r="B2" s="3"><v>5</v></c><c r="D2" s="2"><v>45001.25</v></c></row>)"
        R"(<row r="4"><c r="A4" t="b"><v>1</v></c><c r="B4" t="e"><v>#DIV/0!</v></c></row>)",
        R"(<dimension ref="A1:D4"/><sheetViews><sheetView workbookViewId="0"><selection activeCell="B2" sqref="B2"/></sheetView></sheetViews><cols><col min="1" max="1" width="30" customWidth="1"/></cols>)",
        R"(<mergeCells count="1"><mergeCell ref="A6:B7"/></mergeCells><extLst><ext uri="{0000}"><x14:thing xmlns:x14="urn:example">kept</x14:thing></ext></extLst>)");
    TParts p = MinimalPackage({ { "First", sheet1 }, { "Second", sheet2 } },
        R"(<si><t>alpha</t></si><si><r><t>be</t></r><r><rPr><b/></rPr><t>ta</t></r><rPh><t>ignored</t></rPh></si>)",
        R"(<definedNames><definedName name="_xlnm.Print_Area" localSheetId="1">Second!$A$1:$D$4</definedName></definedNames><calcPr calcId="191029"/>)");
    p["xl/calcChain.xml"] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="C1" i="2"/></calcChain>)";
    p["xl/_rels/workbook.xml.rels"].insert(p["xl/_rels/workbook.xml.rels"].find("</Relationships>"),
        R"(<Relationship Id="rId102" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/>)");
    p["[Content_Types].xml"].insert(p["[Content_Types].xml"].find("</Types>"),
        R"(<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/>)");
    p["docProps/custom.xml"] = "<unknown>bytes we never read</unknown>";
    p["xl/workbook.xml"].replace(p["xl/workbook.xml"].find("activeTab=\"0\""), 13, "activeTab=\"1\"");
    return p;
}

} // namespace

TEST(XlsxFile, TextsSurviveBothSaveRoads)
{
    testsupport::TempDir dir;
    const auto& texts = AwkwardTexts();
    auto book = TXlsxWorkbook::CreateNew();
    book->WriteBlock(*book->Sheets[0], 1, 1, Column(texts));
    book->SaveAs(S8(dir / "new.xlsx"));

    auto opened = Open(dir / "new.xlsx");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ValueAt(*opened, 0, int(i) + 1, 1).AsString(), texts[i]);
    }
    // The patched road writes its own cells.
    opened->WriteBlock(*opened->Sheets[0], 1, 2, Column(texts));
    opened->SaveAs(S8(dir / "patched.xlsx"));
    auto again = Open(dir / "patched.xlsx");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ValueAt(*again, 0, int(i) + 1, 1).AsString(), texts[i]);
        EXPECT_EQ(ValueAt(*again, 0, int(i) + 1, 2).AsString(), texts[i]);
    }
    // Any name gets .xlsx content.
    book->SaveAs(S8(dir / "named.xls"));
    EXPECT_EQ(ReadFile(dir / "named.xls").substr(0, 2), "PK");
}

TEST(XlsxFile, ReaderUnderstandsWhatProducersWrite)
{
    testsupport::TempDir dir;
    const std::string data =
        R"(<row><c t="inlineStr"><is><t>in</t><rPh><t>x</t></rPh></is></c><c><v>1.5</v></c><c t="b"><v>0</v></c>)"
        R"(<c t="inlineStr"><is><t></t></is></c></row>)"
        R"(<row r="3"><c r="B3" t="str"><f>"a"&amp;"b"</f><v>ab</v></c><c t="d"><v>2024-02-29T06:00:00</v></c>)"
        R"(<c r="E3" t="e"><v>#N/A</v></c><c r="F3" s="1"><v>0</v></c><c r="G3" t="s"><v>0</v></c></row>)";
    TParts p = MinimalPackage({ { "Only", SheetXml(data) } }, R"(<si><t>A_x000D__x000A_B_x005F_x0041_</t></si>)",
        "");
    WriteZip(dir / "producers.xlsx", p);
    auto book = Open(dir / "producers.xlsx");
    EXPECT_EQ(ValueAt(*book, 0, 1, 1).AsString(), u"in");
    EXPECT_EQ(ValueAt(*book, 0, 1, 2).AsDouble(), 1.5);
    EXPECT_EQ(VarType(ValueAt(*book, 0, 1, 3)), varBoolean);
    EXPECT_EQ(VarType(ValueAt(*book, 0, 1, 4)), varUString);
    EXPECT_EQ(ValueAt(*book, 0, 1, 4).AsString(), u"");
    EXPECT_EQ(ValueAt(*book, 0, 3, 2).AsString(), u"ab");
    EXPECT_EQ(VarType(ValueAt(*book, 0, 3, 3)), varDate);
    EXPECT_DOUBLE_EQ(ValueAt(*book, 0, 3, 3).AsDouble(), 45351.25);
    EXPECT_EQ(VarType(ValueAt(*book, 0, 3, 5)), varError);
    EXPECT_EQ(ValueAt(*book, 0, 3, 6).AsDouble(), 0);  // 1900 system: day 0
    EXPECT_EQ(ValueAt(*book, 0, 3, 7).AsString(), u"A\r\nB_x0041_");
    EXPECT_TRUE(book->HasFormulas);

    // The 1904 system moves serial numbers by 1462 days.
    p["xl/workbook.xml"].replace(p["xl/workbook.xml"].find("<bookViews>"), 0, R"(<workbookPr date1904="1"/>)");
    WriteZip(dir / "1904.xlsx", p);
    auto b1904 = Open(dir / "1904.xlsx");
    EXPECT_EQ(ValueAt(*b1904, 0, 3, 6).AsDouble(), 1462);
    EXPECT_DOUBLE_EQ(ValueAt(*b1904, 0, 3, 3).AsDouble(), 45351.25);

    WriteZip(dir / "rich.xlsx", RichPackage());
    auto rich = Open(dir / "rich.xlsx");
    ASSERT_EQ(rich->Sheets.size(), 2u);
    EXPECT_EQ(rich->Sheets[1]->Name, u"Second");
    EXPECT_EQ(rich->ActiveSheet, 1);
    EXPECT_EQ(rich->Sheets[1]->ActiveCell, (TCellRef { 2, 2 }));
    EXPECT_EQ(ValueAt(*rich, 1, 1, 1).AsString(), u"beta");
    EXPECT_EQ(ValueAt(*rich, 1, 1, 3).AsDouble(), 20);
    EXPECT_EQ(VarType(ValueAt(*rich, 1, 2, 1)), varDate);
    EXPECT_EQ(VarType(ValueAt(*rich, 1, 2, 4)), varDate);  // custom format with a quoted "h"
    EXPECT_EQ(VarType(ValueAt(*rich, 1, 2, 2)), varDouble);
    EXPECT_EQ(ValueAt(*rich, 1, 4, 2).ErrorCode() & 0xFFFF, 2007);
}

TEST(XlsxFile, PatchedSaveKeepsWhatWasNotWritten)
{
    testsupport::TempDir dir;
    const TParts before = RichPackage();
    WriteZip(dir / "book.xlsx", before);

    // Only values: every part but the written sheet stays byte for byte.
    {
        auto book = Open(dir / "book.xlsx");
        book->WriteBlock(*book->Sheets[0], 1, 2, { { Variant(u"new") } });
        book->SaveAs(S8(dir / "values.xlsx"));
        const TParts after = ReadZip(dir / "values.xlsx");
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [name, bytes] : before) {
            SCOPED_TRACE(name);
            if (name != "xl/worksheets/sheet1.xml" && name != "xl/workbook.xml") {
                EXPECT_EQ(after.at(name), bytes);
            }
        }
        // Formulas elsewhere must be recalculated against the new values.
        EXPECT_NE(after.at("xl/workbook.xml").find("fullCalcOnLoad=\"1\""), std::string::npos);
        EXPECT_EQ(after.at("xl/worksheets/sheet1.xml"),
            SheetXml(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>new</t></is></c></row>)"));
    }

    // Over a styled cell and a formula, with a new row between old ones.
    auto book = Open(dir / "book.xlsx");
    book->WriteBlock(*book->Sheets[1], 2, 2, { { Variant(u"x"), Variant(u"7") }, { Variant(u"y"), Variant() } });
    book->WriteBlock(*book->Sheets[1], 1, 3, { { Variant(u"3") } });
    EXPECT_TRUE(book->FormulaOverwritten);
    book->SaveAs(S8(dir / "book.xlsx"));
    const TParts after = ReadZip(dir / "book.xlsx");
    EXPECT_EQ(after.count("xl/calcChain.xml"), 0u);
    EXPECT_EQ(after.at("xl/_rels/workbook.xml.rels").find("calcChain"), std::string::npos);
    EXPECT_EQ(after.at("[Content_Types].xml").find("calcChain"), std::string::npos);
    for (const char* same : { "xl/styles.xml", "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml", "docProps/custom.xml",
             "_rels/.rels" })
        EXPECT_EQ(after.at(same), before.at(same)) << same;
    const std::string& sheet = after.at("xl/worksheets/sheet2.xml");
    for (const char* kept : { R"(<c r="A1" s="3" t="s"><v>1</v></c>)", R"(<c r="A2" s="1"><v>45000</v></c>)",
             R"(<c r="D2" s="2"><v>45001.25</v></c>)", R"(<c r="B2" s="3" t="inlineStr"><is><t>x</t></is></c>)",
             R"(<c r="C2"><v>7</v></c>)", R"(<row r="3"><c r="B3" t="inlineStr"><is><t>y</t></is></c></row>)",
             R"(<mergeCells count="1"><mergeCell ref="A6:B7"/></mergeCells>)", R"(<x14:thing xmlns:x14="urn:example">kept</x14:thing>)",
             R"(<cols><col min="1" max="1" width="30" customWidth="1"/></cols>)", R"(<dimension ref="A1:D4"/>)",
             R"(<c r="C1"><v>3</v></c>)" })
        EXPECT_NE(sheet.find(kept), std::string::npos) << kept << "\n" << sheet;
    EXPECT_EQ(sheet.find("B1*2"), std::string::npos);

    auto reread = Open(dir / "book.xlsx");
    EXPECT_EQ(ValueAt(*reread, 1, 2, 2).AsString(), u"x");
    EXPECT_EQ(ValueAt(*reread, 1, 1, 2).AsDouble(), 10);
    EXPECT_EQ(VarType(ValueAt(*reread, 1, 2, 1)), varDate);
    EXPECT_FALSE(reread->HasFormulas);
}

TEST(XlsxFile, PatchedSaveAddsAndRenamesSheets)
{
    testsupport::TempDir dir;
    WriteZip(dir / "book.xlsx", RichPackage());
    Variant app = CreateOleObject(u"Excel.Application");
    Variant book = DispCall(DispGet(app, u"WorkBooks"), u"Open", { S8(dir / "book.xlsx") });
    Variant added = DispCall(DispGet(book, u"WorkSheets"), u"Add");  // before "Second", the active sheet
    DispPut(added, u"Name", Variant(u"Added"));
    DispPut(DispGet(added, u"Range", { u"A1:B1" }), u"Value", Block({ { u"n", u"42" } }));
    DispPut(DispGet(DispGet(book, u"Sheets"), u"", { 1 }), u"Name", Variant(u"Renamed"));
    DispCall(book, u"Save");
    DispCall(book, u"Close", { false });

    auto reread = Open(dir / "book.xlsx");
    ASSERT_EQ(reread->Sheets.size(), 3u);
    EXPECT_EQ(reread->Sheets[0]->Name, u"Renamed");
    EXPECT_EQ(reread->Sheets[1]->Name, u"Added");
    EXPECT_EQ(reread->Sheets[2]->Name, u"Second");
    EXPECT_EQ(reread->ActiveSheet, 1);
    EXPECT_EQ(ValueAt(*reread, 1, 1, 2).AsDouble(), 42);
    EXPECT_EQ(ValueAt(*reread, 2, 1, 3).AsDouble(), 20);
    const std::string wb = ReadZip(dir / "book.xlsx").at("xl/workbook.xml");
    EXPECT_NE(wb.find("localSheetId=\"2\""), std::string::npos) << wb;

    // A second save of the saved file goes on from the new package.
    reread->WriteBlock(*reread->Sheets[1], 2, 1, { { Variant(u"again") } });
    reread->SaveAs(S8(dir / "book.xlsx"));
    auto third = Open(dir / "book.xlsx");
    EXPECT_EQ(ValueAt(*third, 1, 1, 1).AsString(), u"n");
    EXPECT_EQ(ValueAt(*third, 1, 2, 1).AsString(), u"again");
}

TEST(XlsxFile, FormulasAreNotCutInTwo)
{
    testsupport::TempDir dir;
    const std::string data = R"(<row r="1"><c r="A1"><f t="array" ref="A1:A2">ROW(A1:A2)</f><v>1</v></c><c r="B1"><f t="shared" ref="B1:B3" si="0">A1*2</f><v>2</v></c></row>)"
                             R"(<row r="2"><c r="A2"><v>2</v></c><c r="B2"><f t="shared" si="0"/><v>4</v></c></row>)";
    WriteZip(dir / "f.xlsx", MinimalPackage({ { "F", SheetXml(data) } }));
    auto book = Open(dir / "f.xlsx");
    TXlsxSheet& sheet = *book->Sheets[0];
    struct Case {
        TRangeRef Block;
        bool Refused;
    };
    const Case cases[] = { { { 2, 1, 2, 2 }, true }, { { 1, 2, 1, 2 }, true }, { { 2, 2, 3, 2 }, false },
        { { 1, 1, 2, 1 }, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(RangeAddress(c.Block, false)));
        std::vector<std::vector<Variant>> values(std::size_t(c.Block.RowCount()),
            std::vector<Variant>(std::size_t(c.Block.ColCount()), Variant(u"9")));
        if (c.Refused) {
            EXPECT_THROW(book->WriteBlock(sheet, c.Block.Row1, c.Block.Col1, values), EXlsxError);
            EXPECT_FALSE(sheet.Find(c.Block.Row1, c.Block.Col1)->Written);
        } else {
            EXPECT_NO_THROW(book->WriteBlock(sheet, c.Block.Row1, c.Block.Col1, values));
        }
    }
}

TEST(XlsxFile, BadFilesGetAClearError)
{
    testsupport::TempDir dir;
    fs::create_directories(dir / "cases");
    const std::string secret = (dir / "secret.txt").string();
    std::ofstream(secret) << "TOP-SECRET";
    const std::string hugeSheet = SheetXml("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" + std::string(3 << 20, ' '));

    struct Case {
        const char* Name;
        std::function<void(const fs::path&)> Make;
        const char16_t* Message;
    };
    const Case cases[] = {
        { "damaged zip", [](const fs::path& p) { std::ofstream(p) << "PK\x03\x04 this is no zip at all"; }, u"is damaged" },
        { "truncated", [&](const fs::path& p) {
             WriteZip(p, RichPackage());
             fs::resize_file(p, fs::file_size(p) / 2);
         }, u"is damaged" },
        { "binary xls", [](const fs::path& p) { std::ofstream(p) << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest"; }, u"binary .xls" },
        { "plain text", [](const fs::path& p) { std::ofstream(p) << "a,b,c\n"; }, u"is not an .xlsx workbook" },
        { "zip but no workbook", [](const fs::path& p) { WriteZip(p, { { "readme.txt", "hello" } }); }, u"no .xlsx workbook" },
        { "zip bomb", [&](const fs::path& p) { WriteZip(p, MinimalPackage({ { "Bomb", hugeSheet } })); }, u"too large" },
        { "external entity", [&](const fs::path& p) {
             WriteZip(p, MinimalPackage({ { "E", "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY x SYSTEM \"file://" + secret
                 + "\">]><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&x;</t></is></c></row></sheetData></worksheet>" } }));
         }, u"declares a document type" },
        { "shared string out of range", [](const fs::path& p) {
             WriteZip(p, MinimalPackage({ { "S", SheetXml(R"(<row r="1"><c r="A1" t="s"><v>5</v></c></row>)") } }, "<si><t>only</t></si>"));
         }, u"shared string 5" },
        { "cell beyond XFD", [](const fs::path& p) {
             WriteZip(p, MinimalPackage({ { "S", SheetXml(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)") } }));
         }, u"outside A1:XFD1048576" },
        { "row beyond the last", [](const fs::path& p) {
             WriteZip(p, MinimalPackage({ { "S", SheetXml(R"(<row r="1048577"><c><v>1</v></c></row>)") } }));
         }, u"outside 1..1048576" },
        { "missing", [](const fs::path&) {}, u"Cannot open the workbook" },
        { "shared string repeated past the text cap", [](const fs::path& p) {
             std::string row = "<row r=\"1\">";
             for (int i = 0; i < 600; ++i)
                 row += "<c t=\"s\"><v>0</v></c>";
             WriteZip(p, MinimalPackage({ { "S", SheetXml(row + "</row>") } }, "<si><t>" + std::string(2000, 'w') + "</t></si>"));
         }, u"texts add up to more than" },
    };
    const auto saved = XlsxReadLimits();
    XlsxReadLimits().MaxPartBytes = 1 << 20;
    XlsxReadLimits().MaxTextBytes = 1 << 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path file = dir / "cases" / (std::string(c.Name) + ".xlsx");
        c.Make(file);
        try {
            TXlsxWorkbook::Open(S8(file));
            ADD_FAILURE() << "opened";
        } catch (const EXlsxError& e) {
            EXPECT_NE(e.Message.find(c.Message), String::npos) << e.what();
            EXPECT_EQ(e.Message.find(u"TOP-SECRET"), String::npos);
        }
    }
    XlsxReadLimits() = saved;

    // Through the server the member's text arrives as an EOleException.
    Variant app = CreateOleObject(u"Excel.Application");
    try {
        DispCall(DispGet(app, u"WorkBooks"), u"Open", { S8(dir / "cases" / "binary xls.xlsx") });
        ADD_FAILURE();
    } catch (const EOleException& e) {
        EXPECT_NE(e.Message.find(u"binary .xls"), String::npos);
        EXPECT_EQ(e.Source, u"Excel");
    }
}

// A row keeps its texts in one store: cells overwritten again and again
// reuse or give back their room, and the other cells keep theirs.
TEST(XlsxFile, OverwrittenCellsLeaveTheRowsOtherTextsIntact)
{
    auto book = TXlsxWorkbook::CreateNew();
    TXlsxSheet& sheet = *book->Sheets[0];
    const std::vector<Variant> row { Variant(u"first"), Variant(u"middle"), Variant(u"\u00e9t\u00e9 last") };
    book->WriteBlock(sheet, 2, 1, { row });
    const String big(3000, u'b');
    struct TCase {
        const char* What;
        Variant Value;
    };
    const TCase writes[] = {
        { "shorter", Variant(u"mid") }, { "longer", Variant(big) }, { "number", Variant(u"42") },
        { "text again", Variant(u"back") }, { "error", Variant::FromError(int(0x800A07FA)) }, { "empty", Variant(u"") },
    };
    for (int round = 0; round < 200; ++round)
        for (const TCase& w : writes) {
            SCOPED_TRACE(w.What);
            book->WriteBlock(sheet, 2, 2, { { w.Value } });
            const Variant back = sheet.Value(2, 2, false);
            if (VarIsStr(w.Value) && w.Value.AsString() == u"42")
                EXPECT_EQ(back.AsDouble(), 42);
            else if (VarType(w.Value) == varError)
                EXPECT_EQ(back.ErrorCode(), w.Value.ErrorCode());
            else
                EXPECT_EQ(back.AsString(), w.Value.AsString());
            EXPECT_EQ(sheet.Value(2, 1, false).AsString(), u"first");
            EXPECT_EQ(sheet.Value(2, 3, false).AsString(), u"\u00e9t\u00e9 last");
            if (::testing::Test::HasFailure())
                return;
        }
    // Two hundred rounds of a 3000-character text left no pile behind.
    EXPECT_LT(sheet.Rows.at(2).TextBytes(), std::size_t(16384));
}

TEST(XlsxFile, FailedSaveLeavesTheOldFileAndNothingElse)
{
    testsupport::TempDir dir;
    const fs::path target = dir / "kept.xlsx";
    auto small = TXlsxWorkbook::CreateNew();
    small->WriteBlock(*small->Sheets[0], 1, 1, { { Variant(u"old") } });
    small->SaveAs(S8(target));
    const std::string old = ReadFile(target);

    // Writes that fail half-way: the file-size limit stops both roads.
    auto big = TXlsxWorkbook::CreateNew();
    std::vector<std::vector<Variant>> rows;
    for (int i = 0; i < 20000; ++i)  // texts that do not compress away
        rows.push_back({ Variant(IntToStr(i * 7919 % 10007) + u"x" + IntToStr(i * 104729 % 99991)), Variant(IntToStr(i)) });
    big->WriteBlock(*big->Sheets[0], 1, 1, rows);
    for (bool patched : { false, true }) {
        SCOPED_TRACE(patched ? "patched" : "new");
        auto opened = Open(target);
        opened->WriteBlock(*opened->Sheets[0], 1, 1, rows);
        TXlsxWorkbook* book = patched ? opened.get() : big.get();
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small_limit = saved;
        small_limit.rlim_cur = 64 * 1024;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small_limit), 0);
        EXPECT_THROW(book->SaveAs(S8(target)), EXlsxError);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_TRUE(ReadFile(target) == old);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }

    // A folder that cannot be written (root writes anywhere, so only others see this).
    if (geteuid() != 0) {
        fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_THROW(small->SaveAs(S8(target)), EXlsxError);
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_TRUE(ReadFile(target) == old);
    }
    EXPECT_THROW(small->SaveAs(S8(dir / "no such folder" / "x.xlsx")), EXlsxError);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}
