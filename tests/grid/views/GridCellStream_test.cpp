#include <gtest/gtest.h>

#include <cstring>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/views/GridFileTest.h"

using namespace gridfiletest;

namespace {

using TTable = std::vector<std::vector<String>>;

struct CellStream : TTextGridTest {
    TTable Texts(TDedOzovedUrad& Grid)
    {
        TTable t(std::size_t(Grid.GetRowCount()), std::vector<String>(std::size_t(Grid.GetColCount())));
        for (int r = 0; r < Grid.GetRowCount(); ++r)
            for (int c = 0; c < Grid.GetColCount(); ++c)
                t[r][c] = Grid.GetCellEx(c, r);
        return t;
    }
    static void Plain(TDedOzovedUrad& Grid)
    {
        Grid.SetFixedRows(0);
        Grid.SetFixedCols(0);
    }
};

std::vector<std::string> FileLines(const std::string& Bytes)
{
    std::vector<std::string> r;
    std::size_t s = 0;
    while (s < Bytes.size()) {
        std::size_t e = Bytes.find("\r\n", s);
        if (e == std::string::npos)
            e = Bytes.size();
        r.push_back(Bytes.substr(s, e - s));
        s = e + 2;
    }
    return r;
}

TEST_F(CellStream, GridTextFileKeepsTextsAndWidths)
{
    Fill({ { u"a", u"", u"c" }, { u"d", u"e", u"f" } });
    G.SetColWidths(1, 77);
    const auto Path = Dir / "g.txt";
    G.SaveToFile(P(Path));
    const auto Lines = FileLines(ReadBytes(Path));
    ASSERT_EQ(Lines.size(), 9u); // counts, three widths, five cells
    EXPECT_EQ(Lines[0], "3,2");
    EXPECT_EQ(Lines[2], "cw 1,77");
    EXPECT_EQ(Lines[4], "0,0,a");

    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.LoadFromFile(P(Path));
    EXPECT_EQ(Texts(H), Texts(G));
    EXPECT_EQ(H.GetColWidths(1), 77);
}

// Every text comes back as it was, whatever control characters it holds;
// without Multilinecells only the first line.
TEST_F(CellStream, MultiLineTextsComeBackAsTheyWere)
{
    const std::vector<String> Cases = { u"a\r\nb", u"x\ty\r\nz", String(u"p\x08q\x01r\r\n", 8), u"lone\nLF",
        u"lone\rCR", String(u"\x02start", 6), u"tab\tonly", u"\"quoted\"" };
    for (bool Multi : { true, false }) {
        Fill({ Cases });
        const auto Path = Dir / "m.txt";
        G.SaveToFile(P(Path), true);
        TDedOzovedUrad H { nullptr };
        Plain(H);
        H.SetMultilinecells(Multi);
        H.LoadFromFile(P(Path));
        for (std::size_t i = 0; i < Cases.size(); ++i) {
            SCOPED_TRACE(StringToUtf8(Cases[i]) + (Multi ? " multi" : " single"));
            String Expected = Cases[i];
            if (!Multi)
                Expected = Expected.substr(0, Expected.find_first_of(u"\r\n"));
            EXPECT_EQ(H.GetCellEx(int(i), 0), Expected);
        }
    }
}

TEST_F(CellStream, TextStreamLeavesFollowingDataInTheStream)
{
    Fill({ { u"a", u"b" }, { u"c", u"d\r\ne" } });
    TMemoryStream M;
    G.SaveToStream(M);
    const String Tail = u"tail";
    M.WriteBuffer(Tail.data(), Int64(Tail.size() * 2));
    M.SetPosition(0);
    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.SetMultilinecells(true);
    H.LoadFromStream(M);
    EXPECT_EQ(Texts(H), Texts(G));
    String Rest(4, u'\0');
    M.ReadBuffer(Rest.data(), 8);
    EXPECT_EQ(Rest, Tail);
}

TEST_F(CellStream, AssignCellsCopiesTheCells)
{
    Fill({ { u"1", u"2" }, { u"3", u"4" } });
    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.AssignCells(&G);
    EXPECT_EQ(Texts(H), Texts(G));
}

TEST_F(CellStream, RectangleLandsAtThePointAndFullGridResizes)
{
    G.SetColCount(8);
    G.SetRowCount(10);
    G.SetFixedRows(0);
    G.SetFixedCols(0);
    G.SetCellEx(5, 7, u"x");
    G.SetCellEx(6, 8, u"y");
    G.SetColWidths(6, 91);
    {
        TMemoryStream M;
        G.SaveRectToBinStream(TRect(5, 7, 6, 8), M, false);
        M.SetPosition(0);
        TDedOzovedUrad H { nullptr };
        Plain(H);
        H.SetColCount(3);
        H.SetRowCount(3);
        H.LoadAtPointFromBinStream(TPoint(0, 0), M);
        EXPECT_EQ(H.GetCellEx(0, 0), u"x");
        EXPECT_EQ(H.GetCellEx(1, 1), u"y");
        EXPECT_EQ(H.GetColCount(), 3);
    }
    {
        const auto Path = Dir / "g.bin";
        G.SaveToBinFile(P(Path));
        TDedOzovedUrad H { nullptr };
        Plain(H);
        H.LoadFromBinFile(P(Path));
        EXPECT_EQ(H.GetColCount(), 8);
        EXPECT_EQ(H.GetRowCount(), 10);
        EXPECT_EQ(H.GetCellEx(5, 7), u"x");
        EXPECT_EQ(H.GetColWidths(6), 91);
    }
}

TEST_F(CellStream, PropertiesBitmapAndCommentTravel)
{
    Fill({ { u"a", u"b" } });
    G.GetCellProperties(0, 0)->SetBrushColor(clRed);
    G.GetCellProperties(0, 0)->SetFontSize(-16);
    TBitmap Bmp;
    Bmp.SetSize(5, 3);
    Bmp.GetCanvas()->SetPixel(1, 1, clBlue);
    G.AddBitmap(1, 0, &Bmp, false, haRight, vaCenter);
    G.AddComment(1, 0, u"note");
    G.GetCellGraphic(1, 0)->SetCommentColor(clGreen);
    // A picture the grid made itself from other data is not carried.
    G.SetRowCount(2);
    G.CreateBitmap(0, 1, false, haLeft, vaTop)->SetSize(2, 2);

    TMemoryStream M;
    G.SaveRectToBinStream(TRect(0, 0, 1, 1), M, false);
    M.SetPosition(0);
    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.SetColCount(2);
    H.SetRowCount(2);
    H.LoadAtPointFromBinStream(TPoint(0, 0), M);
    ASSERT_TRUE(H.HasCellProperties(0, 0));
    EXPECT_EQ(H.GetCellProperties(0, 0)->GetBrushColor(), clRed);
    EXPECT_EQ(H.GetCellProperties(0, 0)->GetFontSize(), -16);
    TBitmap* Got = H.GetBitmap(1, 0);
    ASSERT_NE(Got, nullptr);
    EXPECT_EQ(Got->GetWidth(), 5);
    EXPECT_EQ(Got->GetHeight(), 3);
    EXPECT_EQ(Got->GetCanvas()->GetPixel(1, 1), clBlue);
    EXPECT_EQ(H.GetCellGraphic(1, 0)->GetCellHAlign(), haRight);
    EXPECT_EQ(H.GetComment(1, 0), u"note");
    EXPECT_EQ(H.GetCellGraphic(1, 0)->GetCommentColor(), clGreen);
    EXPECT_EQ(H.GetBitmap(0, 1), nullptr);
}

// A check box the program put in a cell travels; the row check box the
// grid shows by itself in column 0 does not.
TEST_F(CellStream, OnlyCheckBoxesOfTheCellsTravel)
{
    Fill({ { u"", u"" } });
    G.GetMouseActions()->SetHotmailRowSelect(true);
    G.AddCheckBox(1, 0, true, false);
    ASSERT_NE(G.GetCellGraphic(0, 0), nullptr);
    TMemoryStream M;
    G.SaveRectToBinStream(TRect(0, 0, 1, 0), M, false);
    M.SetPosition(0);
    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.SetColCount(2);
    H.LoadAtPointFromBinStream(TPoint(0, 0), M);
    EXPECT_EQ(H.GetCellGraphic(0, 0), nullptr);
    ASSERT_TRUE(H.HasCheckBox(1, 0));
    bool State = false;
    H.GetCheckBoxState(1, 0, State);
    EXPECT_TRUE(State);
}

TEST_F(CellStream, NumbersTravelInvariantAcrossLocales)
{
    TFormatSettings Saved = ProcessFormatSettings();
    ProcessFormatSettings().DecimalSeparator = u',';
    ProcessFormatSettings().ThousandSeparator = u'.';
    Fill({ { u"1,5", u"text" } });
    TMemoryStream M;
    G.SaveRectToBinStream(TRect(0, 0, 1, 0), M, false);
    const std::string Bytes(static_cast<const char*>(M.GetMemory()), std::size_t(M.GetSize()));
    const String Invariant = u"1.5";
    EXPECT_NE(Bytes.find(std::string(reinterpret_cast<const char*>(Invariant.data()), 6)), std::string::npos);
    M.SetPosition(0);
    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.SetColCount(2);
    H.LoadAtPointFromBinStream(TPoint(0, 0), M);
    EXPECT_EQ(H.GetCellEx(0, 0), u"1,5");
    ProcessFormatSettings() = Saved;
}

// Rows past 65,535 keep their places.
TEST_F(CellStream, HundredThousandRowsRoundTrip)
{
    G.SetFixedRows(0);
    G.SetFixedCols(0);
    G.SetColCount(2);
    G.SetRowCount(100000);
    for (int r = 0; r < 100000; r += 999)
        G.SetCellEx(1, r, IntToStr(r));
    TMemoryStream M;
    G.SaveRectToBinStream(TRect(0, 0, 1, 99999), M, false);
    M.SetPosition(0);
    TDedOzovedUrad H { nullptr };
    Plain(H);
    H.SetColCount(2);
    H.SetRowCount(100000);
    H.LoadAtPointFromBinStream(TPoint(0, 0), M);
    for (int r : { 0, 65934, 99900 })
        EXPECT_EQ(H.GetCellEx(1, r), IntToStr(r)) << r;
    EXPECT_EQ(H.GetCellEx(1, 65934 - 65536), u"");
}

TEST_F(CellStream, OneRowFileReportsProgressWithoutDividingByZero)
{
    Fill({ { u"only" } });
    const auto Path = Dir / "one.txt";
    G.SaveToFile(P(Path));
    TDedOzovedUrad H { nullptr };
    Plain(H);
    std::vector<int> Progress;
    H.OnFileProgress = [&](TObject*, std::int16_t p) { Progress.push_back(p); };
    H.LoadFromFile(P(Path));
    EXPECT_EQ(H.GetCellEx(0, 0), u"only");
    EXPECT_FALSE(Progress.empty());
}

// Damaged and foreign input is refused with the grid as it was.
TEST_F(CellStream, MalformedInputIsRefusedAndChangesNothing)
{
    Fill({ { u"a", u"b" }, { u"c", u"d" } });
    TMemoryStream Good;
    G.SaveRectToBinStream(TRect(0, 0, 1, 1), Good, false);
    const std::string Bytes(static_cast<const char*>(Good.GetMemory()), std::size_t(Good.GetSize()));
    auto Foreign = Bytes;
    const String Cls = u"TGridCellIO";
    const std::string ClsBytes(reinterpret_cast<const char*>(Cls.data()), Cls.size() * 2);
    const String Evil = u"TGridCellXX";
    Foreign.replace(Foreign.find(ClsBytes), ClsBytes.size(),
        std::string(reinterpret_cast<const char*>(Evil.data()), Evil.size() * 2));
    auto Oversized = Bytes;
    // ColCount is the first property of the first record: make it huge.
    const std::size_t At = Oversized.find("ColCount") + 8 + 1;
    const std::int64_t Huge = 99999999;
    std::memcpy(&Oversized[At], &Huge, 8);
    // The last cell record alone: the stream ends at a record's end.
    const std::size_t LastCell = Bytes.rfind(ClsBytes) - 2;
    const std::vector<std::pair<const char*, std::string>> Streams = { { "truncated", Bytes.substr(0, Bytes.size() - 7) },
        { "last record missing", Bytes.substr(0, LastCell) },
        { "foreign class", Foreign }, { "oversized count", Oversized }, { "empty", std::string() },
        { "noise", std::string(64, '\x7f') } };
    for (const auto& [Name, Data] : Streams) {
        SCOPED_TRACE(Name);
        TDedOzovedUrad H { nullptr };
        Plain(H);
        H.SetColCount(2);
        H.SetRowCount(2);
        H.SetCellEx(0, 0, u"keep");
        TMemoryStream M;
        if (!Data.empty())
            M.WriteBuffer(Data.data(), Int64(Data.size()));
        M.SetPosition(0);
        EXPECT_THROW(H.LoadAtPointFromBinStream(TPoint(0, 0), M), ERirEvozError);
        EXPECT_EQ(H.GetCellEx(0, 0), u"keep");
        EXPECT_EQ(H.GetCellEx(1, 1), u"");
    }
    for (const char* Text : { "99999999,99999999\r\n0,0,x\r\n", "-1,2\r\n", "x,y\r\n", "" }) {
        SCOPED_TRACE(Text);
        const auto Path = Dir / "bad.txt";
        WriteBytes(Path, Text);
        TDedOzovedUrad H { nullptr };
        Plain(H);
        H.SetColCount(2);
        H.SetRowCount(2);
        H.SetCellEx(0, 0, u"keep");
        EXPECT_THROW(H.LoadFromFile(P(Path)), ERirEvozError);
        EXPECT_EQ(H.GetCellEx(0, 0), u"keep");
        EXPECT_EQ(H.GetRowCount(), 2);
    }
    TMemoryStream T;
    const String Count = u"99999999,99999999\r\n";
    T.WriteBuffer(Count.data(), Int64(Count.size() * 2));
    T.SetPosition(0);
    EXPECT_THROW(G.LoadFromStream(T), ERirEvozError);
    EXPECT_EQ(G.GetRowCount(), 2);
}

} // namespace
