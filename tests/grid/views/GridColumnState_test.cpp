#include <gtest/gtest.h>

#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;
using namespace gridfiletest;

namespace {

// Five columns "A".."E", 10..50 wide, no fixed lines.
struct TFiveColumns {
    TDedOzovedUrad G { nullptr };

    TFiveColumns()
    {
        G.SetFixedRows(0);
        G.SetFixedCols(0);
        G.SetRowCount(1);
        G.SetColCount(5);
        for (int c = 0; c < 5; ++c) {
            G.SetCellEx(c, 0, String(1, Char(u'A' + c)));
            G.SetColWidths(c, 10 * (c + 1));
        }
    }

    // What the user sees: the texts and widths of the display columns.
    String Shown()
    {
        String S;
        for (int c = 0; c < G.GetColCount(); ++c)
            S += G.GetCellEx(G.RealColIndex(TDisplayCol(c)).Value, 0) + IntToStr(G.GetColWidths(c)) + u' ';
        return S;
    }
};

struct ColumnState : ::testing::Test, TFiveColumns {
    testsupport::TempDir Dir;

    void UseIni(const fs::path& File, const String& Section = u"cols")
    {
        G.GetColumnSize()->SetLocation(clIniFile);
        G.GetColumnSize()->SetKey(P(File));
        G.GetColumnSize()->SetSection(Section);
    }
};

} // namespace

TEST_F(ColumnState, StringOfPlainAndHiddenColumns)
{
    TDedOzovedUrad Plain { nullptr };
    Plain.SetColCount(3);
    Plain.SetDefaultColWidth(64);
    EXPECT_EQ(Plain.ColumnStatesToString(), u"3#64,64,64#0,1,2#1,1,1");

    G.SetDefaultColWidth(64);
    for (int c = 0; c < 5; ++c)
        G.SetColWidths(c, 10 * (c + 1));
    G.HideColumn(2);
    EXPECT_EQ(G.ColumnStatesToString(), u"5#10,20,40,50,64#0,1,2,3,4#1,1,0,1,1");
}

TEST_F(ColumnState, RoundTripKeepsWidthsOrderAndHiddenColumns)
{
    G.MoveColumn(4, 1);
    G.MoveColumn(0, 3);
    G.HideColumn(2);
    const String Before = Shown();
    const String State = G.ColumnStatesToString();
    ASSERT_EQ(Before, u"E50 B20 A10 D40 ");

    // Applied to the same grid nothing changes...
    G.StringToColumnStates(State);
    EXPECT_EQ(Shown(), Before);
    EXPECT_TRUE(G.IsHiddenColumn(2));
    EXPECT_EQ(G.ColumnStatesToString(), State);

    // ...and a grid made afresh takes the same arrangement, which a later
    // ResetColumnOrder undoes.
    TFiveColumns Other;
    Other.G.StringToColumnStates(State);
    EXPECT_EQ(Other.Shown(), Before);
    Other.G.ResetColumnOrder();
    EXPECT_EQ(Other.Shown(), u"A10 B20 C30 D40 E50 ");
}

TEST_F(ColumnState, ZeroWidthSuppressesTheColumn)
{
    G.StringToColumnStates(u"5#11,0,33,44,55#0,1,2,3,4#1,1,1,1,1");
    EXPECT_EQ(G.GetColWidths(1), 0);
    EXPECT_TRUE(G.IsSuppressedColumn(1));
    G.UnSuppressColumn(1);
    EXPECT_EQ(G.GetColWidths(1), 20);
    EXPECT_EQ(G.GetColWidths(4), 55);
    // A text without "#" is no state at all.
    G.StringToColumnStates(u"garbage");
    EXPECT_EQ(G.GetColCount(), 5);
}

TEST_F(ColumnState, MalformedStringsChangeNothing)
{
    G.MoveColumn(4, 0);
    G.HideColumn(1);
    const String Before = Shown();
    const String State = G.ColumnStatesToString();
    const char16_t* Bad[] = {
        u"5#1,2,3,4,5#0,1,2,3,4",             // three parts
        u"5#1,2,3,4,5#0,1,2,3,4#1,1,1,1,1#x", // five parts
        u"x#1,2,3,4,5#0,1,2,3,4#1,1,1,1,1",   // no count
        u"0###",                              // no columns
        u"5#1,2,3,4#0,1,2,3,4#1,1,1,1,1",     // a width short
        u"5#1,2,w,4,5#0,1,2,3,4#1,1,1,1,1",   // a width no number
        u"5#1,2,-3,4,5#0,1,2,3,4#1,1,1,1,1",  // a negative width
        u"5#1,2,3,4,5#0,1,1,3,4#1,1,1,1,1",   // a column twice in the order
        u"5#1,2,3,4,5#0,1,2,3,7#1,1,1,1,1",   // a column the grid cannot have
        u"5#1,2,3,4,5#0,1,,3,4#1,1,1,1,1",    // an empty order entry
        u"5#1,2,3,4,5#0,1,2,3,4#1,1,1,1",     // a flag short
        u"5#1,2,3,4,5#0,1,2,3,4#1,1,2,1,1",   // a flag neither 0 nor 1
    };
    for (const char16_t* Text : Bad) {
        SCOPED_TRACE(StringToUtf8(Text));
        EXPECT_THROW(G.StringToColumnStates(Text), ERirEvozError);
        EXPECT_EQ(Shown(), Before);
        EXPECT_EQ(G.ColumnStatesToString(), State);
    }
    // -1 entries of the order are passed over.
    G.StringToColumnStates(u"5#1,2,3,4,5#-1,0,1,2,3,4#1,1,1,1,1");
    EXPECT_EQ(G.GetColCount(), 5);
}

TEST_F(ColumnState, WidthsInAnIniFileAtTheirDPIScale)
{
    const fs::path File = Dir / "grid.ini";
    UseIni(File, String());
    G.WriteColSizes();
    EXPECT_FALSE(fs::exists(File)) << "no section, nothing written";

    UseIni(File);
    G.SetColWidths(0, 96);
    G.WriteColSizes(1.5);
    TMemIniFile Ini(P(File));
    EXPECT_EQ(Ini.ReadString(u"cols", u"Col0", String()), u"64");
    EXPECT_EQ(Ini.ReadString(u"cols", u"Col4", String()), u"33");

    // Back at 1.5: 64 gives 96; a column without its key is scaled as it is.
    Ini.DeleteKey(u"cols", u"Col1");
    Ini.UpdateFile();
    G.SetColWidths(0, 10);
    G.SetColWidths(1, 40);
    G.ReadColSizes(1.5);
    EXPECT_EQ(G.GetColWidths(0), 96);
    EXPECT_EQ(G.GetColWidths(1), 60);
    EXPECT_EQ(G.GetColWidths(4), 50); // 33 * 1.5 = 49.5, halves to even
}

TEST_F(ColumnState, WidthsAndPositionsInTheRegistry)
{
    G.GetColumnSize()->SetLocation(clRegistry);
    G.GetColumnSize()->SetKey(u"Software\\GridTest");
    G.GetColumnSize()->SetSection(u"Columns");
    G.MoveColumn(4, 0);
    G.WriteColSizes(1.0);
    G.SaveColPositions();
    {
        TRegistry Reg;
        ASSERT_TRUE(Reg.OpenKeyReadOnly(u"Software\\GridTest\\Columns"));
        EXPECT_EQ(Reg.ReadInteger(u"Col0"), 50);
        EXPECT_EQ(Reg.ReadInteger(u"Pos0"), 4);
    }
    const String Arranged = Shown();

    TFiveColumns Other;
    Other.G.GetColumnSize()->Assign(G.GetColumnSize());
    Other.G.LoadColPositions();
    Other.G.ReadColSizes(1.0);
    EXPECT_EQ(Other.Shown(), Arranged);
}

TEST_F(ColumnState, StoredPositionsThatAreMissingOrDamagedLeaveTheOrder)
{
    const fs::path File = Dir / "pos.ini";
    UseIni(File);
    G.HideColumn(3);
    const String Before = Shown();
    const struct {
        const char* Name;
        const char* Section;
    } Cases[] = {
        { "no Pos0", "[cols]\nPos1=0\n" },
        { "a column twice", "[cols]\nPos0=1\nPos1=1\nPos2=0\nPos3=3\nPos4=4\n" },
        { "a column beyond the grid", "[cols]\nPos0=9\nPos1=1\nPos2=0\nPos3=3\nPos4=4\n" },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        WriteBytes(File, Case.Section);
        G.LoadColPositions();
        EXPECT_EQ(Shown(), Before);
        EXPECT_TRUE(G.IsHiddenColumn(3));
    }
    WriteBytes(File, "[cols]\nPos0=1\nPos1=0\nPos2=2\nPos3=3\nPos4=4\n");
    G.LoadColPositions();
    EXPECT_EQ(Shown(), u"B20 A10 C30 E50 ");
    EXPECT_TRUE(G.IsHiddenColumn(3));
}

// The grid's own SaveColSizes/LoadColSizes go through its data views; a grid
// that saves its widths when it goes keeps them for the next one, and one
// whose store cannot be written still goes quietly.
TEST_F(ColumnState, TheGridSavesItsWidthsWhenItGoes)
{
    const fs::path File = Dir / "widths.ini";
    {
        TDedOzovedUrad Saved { nullptr };
        Saved.SetColCount(3);
        Saved.GetColumnSize()->SetLocation(clIniFile);
        Saved.GetColumnSize()->SetKey(P(File));
        Saved.GetColumnSize()->SetSection(u"cols");
        Saved.GetColumnSize()->SetSave(true);
        Saved.SetColWidths(1, 77);
    }
    TDedOzovedUrad Next { nullptr };
    Next.SetColCount(3);
    Next.GetColumnSize()->SetLocation(clIniFile);
    Next.GetColumnSize()->SetKey(P(File));
    Next.GetColumnSize()->SetSection(u"cols");
    Next.LoadColSizes();
    EXPECT_EQ(Next.GetColWidths(1), 77);

    auto Unwritable = std::make_unique<TDedOzovedUrad>(nullptr);
    Unwritable->GetColumnSize()->SetLocation(clIniFile);
    Unwritable->GetColumnSize()->SetKey(P(Dir / "missing-folder" / "widths.ini"));
    Unwritable->GetColumnSize()->SetSection(u"cols");
    Unwritable->GetColumnSize()->SetSave(true);
    EXPECT_THROW(Unwritable->SaveColSizes(), Exception);
    EXPECT_NO_THROW(Unwritable.reset());
}
