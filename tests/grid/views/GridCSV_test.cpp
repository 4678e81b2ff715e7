#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/FileUtils.h"
#include "tests/support/Fixtures.h"
#include "tests/grid/views/GridFileTest.h"

namespace fs = std::filesystem;
using namespace gridfiletest;

namespace {

using TTable = std::vector<std::vector<String>>;

constexpr Char CurrencySign = u'\u00A4';

String FromUtf8(const std::string& Utf8) { return Utf8ToString(Utf8); }
// A grid the way the program's results view has it: no fixed lines.
struct CsvGrid : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    testsupport::TempDir Dir;

    void SetUp() override
    {
        G.SetFixedRows(0);
        G.SetFixedCols(0);
        G.SetColCount(1);
    }

    void Load(const String& Text, int MaxRows = 0, int IgnoreRows = 0)
    {
        TStringStream Stream(Text, TEncoding::UTF8());
        G.LoadFromCSVStream(Stream, MaxRows, IgnoreRows);
    }

    // Rows x columns of the stored texts.
    TTable Cells() const
    {
        TTable t(std::size_t(G.GetRowCount()));
        for (int r = 0; r < G.GetRowCount(); ++r)
            for (int c = 0; c < G.GetColCount(); ++c)
                t[std::size_t(r)].push_back(G.GetGridCell(c, r));
        return t;
    }

    // The first Cols cells of each row.
    TTable Cells(int Cols) const
    {
        TTable t = Cells();
        for (auto& Row : t)
            Row.resize(std::size_t(Cols));
        return t;
    }

    void Fill(const TTable& Rows)
    {
        G.SetRowCount(int(Rows.size()));
        G.SetColCount(int(Rows[0].size()));
        for (std::size_t r = 0; r < Rows.size(); ++r)
            for (std::size_t c = 0; c < Rows[r].size(); ++c)
                G.SetCells(int(c), int(r), Rows[r][c]);
    }
};

// ISO 8859-1, which the runtime library does not offer itself.
class TLatin1Encoding : public TEncoding {
public:
    TBytes GetPreamble() const override { return {}; }
    String EncodingName() const override { return u"iso-8859-1"; }
    int CodePage() const override { return 28591; }

protected:
    TBytes Encode(StringView s) const override
    {
        TBytes b;
        for (Char c : s)
            b.push_back(c < 256 ? std::uint8_t(c) : std::uint8_t('?'));
        return b;
    }
    String Decode(const std::uint8_t* d, std::size_t n) const override { return String(d, d + n); }
};

} // namespace

// The results view's road: the separator between quoted fields becomes
// character 164, which is also the grid's delimiter.
TEST_F(CsvGrid, ApplicationRoadLoadsQuotedFieldsAndCutsTheRows)
{
    G.SetColCount(25);
    G.SetRowCount(50);
    G.SetFixedFooters(1);
    G.SetCells(3, 40, u"old");
    G.SetDelimiter(CurrencySign);
    const String Sep = String(u"\"") + CurrencySign + u"\"";
    const String Text = u"\"Harbour Plumbing" + Sep + u"12 Kent St, Sydney NSW 2000" + Sep + u"0800 123 456\"\r\n"
        + u"\"Café Zürich" + Sep + Sep + u"a@b.example, c@d.example\"\r\n";
    Load(Text, 2, -1);

    EXPECT_EQ(G.GetDelimiter(), CurrencySign);
    EXPECT_EQ(G.GetColCount(), 25);
    EXPECT_EQ(G.GetRowCount(), 2 + 1) << "two records and the footer row";
    EXPECT_EQ(G.GetFixedFooters(), 1);
    EXPECT_EQ(Cells(3), (TTable { { u"Harbour Plumbing", u"12 Kent St, Sydney NSW 2000", u"0800 123 456" },
                            { u"Café Zürich", u"", u"a@b.example, c@d.example" }, { u"", u"", u"" } }));
}

TEST_F(CsvGrid, DelimiterIsGuessedFromTheFirstTwoLinesAndForgotten)
{
    struct Case {
        const char16_t* Text;
        TTable Expected;
    };
    const Case Cases[] = {
        { u"a;b;c\r\nd;e;f", { { u"a", u"b", u"c" }, { u"d", u"e", u"f" } } },
        // No candidate counts the same in both lines: the larger count wins.
        { u"a,b\r\nc;d;e", { { u"a,b", u"", u"" }, { u"c", u"d", u"e" } } },
        { u"one|line|only", { { u"one", u"line", u"only" } } },
        // Separators inside quotes do not count.
        { u"\"x;y;z\",1\r\n\"u;v;w\",2", { { u"x;y;z", u"1" }, { u"u;v;w", u"2" } } },
        { u"a\tb\nc\td", { { u"a", u"b" }, { u"c", u"d" } } },
        { u"plain\r\ntext", { { u"plain" }, { u"text" } } },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        TDedOzovedUrad Grid(nullptr);
        Grid.SetFixedRows(0);
        Grid.SetFixedCols(0);
        Grid.SetColCount(1);
        TStringStream Stream(c.Text, TEncoding::UTF8());
        Grid.LoadFromCSVStream(Stream);
        EXPECT_EQ(Grid.GetDelimiter(), Char(0));
        ASSERT_EQ(Grid.GetRowCount(), int(c.Expected.size()));
        ASSERT_EQ(Grid.GetColCount(), int(c.Expected[0].size()));
        for (int r = 0; r < Grid.GetRowCount(); ++r)
            for (int col = 0; col < Grid.GetColCount(); ++col)
                EXPECT_EQ(Grid.GetGridCell(col, r), c.Expected[std::size_t(r)][std::size_t(col)]) << r << "," << col;
    }
}

TEST_F(CsvGrid, FieldsAreSplitUnquotedAndTrimmed)
{
    struct Case {
        const char16_t* Line;
        bool Trim;
        std::vector<String> Expected;
    };
    const Case Cases[] = {
        { u"a,\"b,c\",d", true, { u"a", u"b,c", u"d" } },
        { u"\"he said \"\"hi\"\"\",x", true, { u"he said \"hi\"", u"x" } },
        { u"x,\"\"\"\"", true, { u"x", u"\"" } },
        // No closing quote: an empty cell, and the line goes on.
        { u"\"open,b,c", true, { u"", u"b", u"c" } },
        // Text between a closing quote and the delimiter is dropped.
        { u"x,\"y\"z,w", true, { u"x", u"y", u"w" } },
        { u"\"a,b\"tail", true, { u"a,b" } },
        { u" a,  b , c", true, { u"a", u"b ", u"c" } },
        // The last field loses its leading spaces either way.
        { u" a,  b , c", false, { u" a", u"  b ", u"c" } },
        { u"a,b,", true, { u"a", u"b" } },
        { u"tab\v2,x", true, { u"tab\r\n2", u"x" } },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(StringToUtf8(c.Line));
        TDedOzovedUrad Grid(nullptr);
        Grid.SetFixedRows(0);
        Grid.SetFixedCols(0);
        Grid.SetColCount(1);
        Grid.SetDelimiter(u',');
        Grid.SetCSVTrimSpaces(c.Trim);
        TStringStream Stream(c.Line, TEncoding::UTF8());
        Grid.LoadFromCSVStream(Stream);
        ASSERT_EQ(Grid.GetRowCount(), 1);
        ASSERT_EQ(Grid.GetColCount(), int(c.Expected.size()));
        for (int col = 0; col < Grid.GetColCount(); ++col)
            EXPECT_EQ(Grid.GetGridCell(col, 0), c.Expected[std::size_t(col)]) << col;
    }
}

TEST_F(CsvGrid, RecordsWithAnOpenQuoteAreJoinedOnlyWhenAsked)
{
    G.SetDelimiter(u',');
    const String Text = u"1,\"two\r\nlines\",3\r\n4,5,6\r\n";
    Load(Text);
    EXPECT_EQ(Cells(), (TTable { { u"1", u"two\r\nlines", u"3" }, { u"4", u"5", u"6" } }));

    G.SetCSVMultilineCellImport(false);
    Load(Text);
    ASSERT_EQ(G.GetRowCount(), 3);
    EXPECT_EQ(G.GetGridCell(1, 0), u"two");
    EXPECT_EQ(G.GetGridCell(0, 1), u"lines\"");
    EXPECT_EQ(G.GetGridCell(0, 2), u"4");
}

TEST_F(CsvGrid, JavaFormTravelsLineBreaksAsTildeAndEmptyCellsAsCaret)
{
    G.SetJavaCSV(true);
    G.SetDelimiter(u',');
    Load(u"a,^,b~c\r\n");
    EXPECT_EQ(Cells(), (TTable { { u"a", u"", u"b\r\nc" } }));

    Fill({ { u"", u"x\r\ny", u"lf\nonly", u"p,q" } });
    const fs::path File = Dir / "java.csv";
    G.SaveToCSV(P(File), false);
    EXPECT_EQ(ReadBytes(File), "^,x~y,lf~only,\"p,q\"\r\n");
    G.LoadFromCSV(P(File));
    EXPECT_EQ(Cells(), (TTable { { u"", u"x\r\ny", u"lf\r\nonly", u"p,q" } }));
}

TEST_F(CsvGrid, IgnoredLinesAndMaxRows)
{
    struct Case {
        const char16_t* Text;
        int MaxRows, IgnoreRows;
        std::vector<String> FirstColumn;
    };
    const Case Cases[] = {
        { u"1\r\n2", 0, 2, { u"1", u"2" } },        // as many lines as ignored: none ignored
        { u"1\r\n2\r\n3", 0, 1, { u"2", u"3" } },
        { u"1\r\n2\r\n3", 0, -1, { u"1", u"2", u"3" } },
        { u"1\r\n2\r\n3", 2, 0, { u"1", u"2" } },
        { u"1\r\n2\r\n3", 1, 1, { u"2" } },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(StringToUtf8(c.Text) + " max " + std::to_string(c.MaxRows) + " ignore "
            + std::to_string(c.IgnoreRows));
        G.SetRowCount(10);
        for (int r = 0; r < 10; ++r)
            G.SetCells(0, r, u"old");
        G.SetFixedFooters(1);
        Load(c.Text, c.MaxRows, c.IgnoreRows);
        // Earlier rows beyond the records are cut off; the footer row stays.
        ASSERT_EQ(G.GetRowCount(), int(c.FirstColumn.size()) + 1);
        for (std::size_t r = 0; r < c.FirstColumn.size(); ++r)
            EXPECT_EQ(G.GetGridCell(0, int(r)), c.FirstColumn[r]);
    }
}

TEST_F(CsvGrid, NoLineRaisesFileIsEmptyButAnEmptyFileLoadsNothing)
{
    G.SetCells(0, 0, u"kept");
    try {
        Load(String());
        ADD_FAILURE() << "no exception";
    } catch (const ERirEvozError&) {
        ADD_FAILURE() << "not the general exception class";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"File is empty");
    }
    EXPECT_EQ(G.GetGridCell(0, 0), u"kept");
    EXPECT_EQ(G.GetUpdateCount(), 0);

    const fs::path Empty = Dir / "empty.csv";
    WriteBytes(Empty, "");
    G.LoadFromCSV(P(Empty));
    G.InsertFromCSV(P(Empty));
    EXPECT_EQ(G.GetGridCell(0, 0), u"kept");
    EXPECT_THROW(G.LoadFromCSV(P(Empty), TEncoding::UTF8()), Exception);
    EXPECT_THROW(G.LoadFromCSV(P(Dir / "missing.csv")), EFOpenError);
}

TEST_F(CsvGrid, WriterQuotesWhatWouldNotComeBack)
{
    struct Case {
        const char16_t* Cell;
        bool AlwaysQuotes, QuoteQuotes, Multiline;
        const char* Written;
    };
    const Case Cases[] = {
        { u"", false, true, false, "\"\"" },
        { u"plain", false, true, false, "plain" },
        { u"a\"b", false, true, false, "\"a\"\"b\"" },
        { u"a,b", false, true, false, "\"a,b\"" },
        { u"a,\"b", false, true, false, "\"a,\"\"b\"" },
        { u"l1\r\nl2", false, true, false, "\"l1\vl2\"" },
        { u"l1\nl2", false, true, false, "\"l1\vl2\"" },
        { u"l1\r\nl2", false, true, true, "\"l1\r\nl2\"" },
        { u"q\"\r\nl2", false, true, false, "\"q\"\"\nl2\"" },
        { u" lead", false, true, false, "\" lead\"" },
        { u"x", true, true, false, "\"x\"" },
        { u"a\"b", true, false, false, "a\"b" },
        { u"", true, true, false, "\"\"" },
    };
    const fs::path File = Dir / "cell.csv";
    for (const Case& c : Cases) {
        SCOPED_TRACE(StringToUtf8(c.Cell));
        Fill({ { c.Cell } });
        G.SetAlwaysQuotes(c.AlwaysQuotes);
        G.SetQuoteQuoteCells(c.QuoteQuotes);
        G.SetMultilinecells(c.Multiline);
        G.SaveToCSV(P(File), false);
        EXPECT_EQ(ReadBytes(File), std::string(c.Written) + "\r\n");
    }
}

TEST_F(CsvGrid, EncodingsOnTheWayOutAndIn)
{
    Fill({ { u"Café", u"x" } });
    const fs::path File = Dir / "enc.csv";
    G.SaveToCSV(P(File), true);
    EXPECT_EQ(ReadBytes(File), "\xEF\xBB\xBF" "Caf\xC3\xA9,x\r\n");
    G.SaveToCSV(P(File), false);
    EXPECT_EQ(ReadBytes(File), "Caf?,x\r\n");
    G.SetCSVLineBreak(u"\n");
    G.SaveToCSV(P(File), TEncoding::Unicode());
    EXPECT_EQ(ReadBytes(File), std::string("\xFF\xFE" "C\0a\0f\0\xE9\0,\0x\0\n\0", 16));

    // Read back by its byte-order mark.
    G.SetCells(0, 0, u"");
    G.LoadFromCSV(P(File));
    EXPECT_EQ(G.GetGridCell(0, 0), u"Café");

    // A file in an encoding without a mark, named by the caller, is decoded once.
    TLatin1Encoding Latin1;
    WriteBytes(File, "Caf\xE9,na\xEFve\r\n\xA4,\xFF\r\n");
    G.LoadFromCSV(P(File), &Latin1);
    EXPECT_EQ(Cells(), (TTable { { u"Café", u"naïve" }, { u"\u00A4", u"\u00FF" } }));
    G.InsertFromCSV(P(File), &Latin1);
    EXPECT_EQ(G.GetGridCell(1, 3), u"\u00FF");
}

// Whatever a cell holds comes back from the file; line breaks come back
// as CR LF.
TEST_F(CsvGrid, WriteThenReadGivesEveryTextBack)
{
    const std::vector<String> Texts = { u"plain", u"a,b", u"say \"hi\"", u"\"", u"\"\"", u"a\"\"b", u"line1\r\nline2",
        u"lf\nonly", u"cr\ronly", u"trailing\r", u"say \"hi\"\nthere", u"\u00A4 sign \u00A4", u"ctl\x01\x1F\tend",
        FromUtf8("\xF0\x9F\x8F\x99 \xF0\x9D\x84\x9E \xE6\x9D\xB1"), u" lead", u"trail ", u"", u",", u";",
        u"\"quoted, with comma\"", u"~^", u"a\u00A4\"b" };
    const auto Normalized = [](const String& t) {
        String r;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t[i] == u'\r' || t[i] == u'\n') {
                r += u"\r\n";
                if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
                    ++i;
            } else
                r += t[i];
        }
        return r;
    };
    const int n = int(Texts.size());
    TTable Rows;
    // Each text as first, middle and last field of a record.
    for (int i = 0; i < n; ++i)
        Rows.push_back({ Texts[std::size_t(i)], Texts[std::size_t((i + 1) % n)], Texts[std::size_t((i + 2) % n)] });
    for (Char Delimiter : { u',', CurrencySign }) {
        SCOPED_TRACE(int(Delimiter));
        Fill(Rows);
        G.SetDelimiter(Delimiter);
        const fs::path File = Dir / "round.csv";
        G.SaveToCSV(P(File), true);
        const auto ExpectRowsBack = [&](const std::function<void()>& LoadBack) {
            G.SetRowCount(1);
            G.SetColCount(1);
            G.SetCells(0, 0, u"");
            LoadBack();
            ASSERT_EQ(G.GetRowCount(), n);
            ASSERT_EQ(G.GetColCount(), 3);
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < 3; ++c)
                    EXPECT_EQ(G.GetGridCell(c, r), Normalized(Rows[std::size_t(r)][std::size_t(c)])) << r << "," << c;
        };
        ExpectRowsBack([&] { G.LoadFromCSV(P(File)); });
        // The same bytes from memory, read from the stream's position on.
        const std::string Skipped = "not this line\r\n";
        const std::string Bytes = Skipped + ReadBytes(File);
        TBytesStream Stream(TBytes(Bytes.begin(), Bytes.end()));
        Stream.Seek(Int64(Skipped.size()), TSeekOrigin::soBeginning);
        ExpectRowsBack([&] { G.LoadFromCSVStream(Stream, 0, 0); });
        EXPECT_EQ(Stream.GetPosition(), Int64(Bytes.size()));
    }
}

// A handler that raises stops the load: what was read stays, the grid's
// own state is back, and the caller gets the exception.
TEST_F(CsvGrid, LoadHandlerRaisingStopsTheLoadCleanly)
{
    G.SetRowCount(20);
    G.SetCells(0, 15, u"old");
    G.OnLoadCell = [](TObject*, int ACol, int ARow, String& Value) {
        if (ARow == 2 && ACol == 1)
            throw Exception(u"refused");
        Value += u"!";
    };
    try {
        Load(u"a;b\r\nc;d\r\ne;f\r\ng;h\r\n");
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"refused");
    }
    EXPECT_EQ(G.GetDelimiter(), Char(0));
    EXPECT_EQ(G.GetUpdateCount(), 0);
    EXPECT_EQ(Cells(), (TTable { { u"a!", u"b!" }, { u"c!", u"d!" }, { u"e!", u"" } }));
}

TEST_F(CsvGrid, SaveHandlerRaisingLeavesTheFileAsItWas)
{
    const fs::path File = Dir / "kept.csv";
    WriteBytes(File, "older\r\n");
    Fill({ { u"a", u"b" }, { u"c", u"d" } });
    G.OnSaveCell = [](TObject*, int ACol, int ARow, String&) {
        if (ACol == 1 && ARow == 1)
            throw Exception(u"refused");
    };
    EXPECT_THROW(G.SaveToCSV(P(File), true), Exception);
    EXPECT_EQ(ReadBytes(File), "older\r\n");
    EXPECT_EQ(G.GetUpdateCount(), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir.path()), fs::directory_iterator()), 1) << "no file left over";

    G.OnSaveCell = [](TObject*, int, int, String& Value) { Value = u"<" + Value + u">"; };
    G.SaveToCSV(P(File), false);
    EXPECT_EQ(ReadBytes(File), "<a>,<b>\r\n<c>,<d>\r\n");
    EXPECT_THROW(G.SaveToCSV(P(Dir / "no" / "such" / "folder.csv"), false), EFCreateError);
}

TEST_F(CsvGrid, AppendKeepsOlderLinesOrRefusesToDamageThem)
{
    const fs::path File = Dir / "append.csv";
    WriteBytes(File, "\xEF\xBB\xBF" "\"Zürich\",1\r\n");
    Fill({ { u"Bern", u"2" } });
    EXPECT_THROW(G.AppendToCSV(P(File), false), ERirEvozError);
    EXPECT_EQ(ReadBytes(File), "\xEF\xBB\xBF" "\"Zürich\",1\r\n");

    G.AppendToCSV(P(File), true);
    EXPECT_EQ(ReadBytes(File), "\xEF\xBB\xBF" "\"Zürich\",1\r\nBern,2\r\n");

    // Bytes that are no text in the encoding they are read in.
    WriteBytes(File, "Z\xFCrich,1\r\n");
    EXPECT_THROW(G.AppendToCSV(P(File), TEncoding::UTF8()), ERirEvozError);
    EXPECT_EQ(ReadBytes(File), "Z\xFCrich,1\r\n");

    G.AppendToCSV(P(Dir / "new.csv"), false);
    EXPECT_EQ(ReadBytes(Dir / "new.csv"), "Bern,2\r\n");
}

TEST_F(CsvGrid, ProgressInPercentAndInsertingAfterTheLastRow)
{
    std::vector<int> Reported;
    std::vector<int> RowCounts;
    G.OnFileProgress = [&](TObject*, std::int16_t Progress) {
        Reported.push_back(Progress);
        RowCounts.push_back(G.GetRowCount());
    };
    G.SetDelimiter(u',');
    Load(u"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
    EXPECT_EQ(Reported, (std::vector<int> { 12, 25, 38, 50, 62, 75, 88, 100 }));
    EXPECT_EQ(RowCounts.front(), 8) << "sized once before the first record";

    Reported.clear();
    Fill({ { u"only" } });
    G.SaveToCSV(P(Dir / "one.csv"), false);
    EXPECT_EQ(Reported, (std::vector<int> { 100 }));

    G.OnFileProgress = nullptr;
    const fs::path File = Dir / "more.csv";
    WriteBytes(File, "x,y\r\n");
    G.InsertFromCSV(P(File));
    EXPECT_EQ(Cells(), (TTable { { u"only", u"" }, { u"x", u"y" } }));
}
