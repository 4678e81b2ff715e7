#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/edit/DedOzovedUradCheck.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Sets the separators and date format for one test and restores them after.
class TSeparators {
public:
    TSeparators(Char Decimal, Char Thousand) : FSaved(FormatSettings)
    {
        FormatSettings.DecimalSeparator = Decimal;
        FormatSettings.ThousandSeparator = Thousand;
        FormatSettings.DateSeparator = u'/';
        FormatSettings.TimeSeparator = u':';
        FormatSettings.ShortDateFormat = u"dd/MM/yyyy";
        FormatSettings.ShortTimeFormat = u"hh:nn";
        FormatSettings.LongTimeFormat = u"hh:nn:ss";
    }
    ~TSeparators() { FormatSettings = FSaved; }

private:
    TFormatSettings FSaved;
};

// A grid of 5 x 4 with one fixed row and column.
struct TSmallGrid {
    TDedOzovedUrad G { nullptr };
    TSmallGrid()
    {
        G.SetColCount(5);
        G.SetRowCount(4);
        G.SetFixedCols(1);
        G.SetFixedRows(1);
    }
};

// Corrects to upper case; a text "stop" ends a range check.
struct TUpperChecker : TDedOzovedUradCheck {
    using TDedOzovedUradCheck::TDedOzovedUradCheck;
    int Checked { 0 };
    String Correct(int, int, const String& s) override
    {
        ++Checked;
        SetLastResult(s == u"stop" ? mrCancel : mrOk);
        return UpperCase(s);
    }
};

} // namespace

// ---- integers and floats ----

TEST(GridTyped, IntsReadTheTextAsTheLocaleWritesIt)
{
    struct TCase {
        Char Decimal, Thousand;
        const char16_t* Text;
        int Expected; // -999: raises
    };
    // "1,5" and "2.500" with a comma decimal read as the locale means them.
    const TCase Cases[] = {
        { u',', u'.', u"1,5", 2 },
        { u',', u'.', u"2,5", 2 },
        { u',', u'.', u"2.500", 2500 },
        { u',', u'.', u"-1.234,6", -1235 },
        { u'.', u',', u"2.5", 2 },
        { u'.', u',', u"3.5", 4 },
        { u'.', u',', u"1,234", 1234 },
        { u'.', u',', u" 42 ", 42 },
        { u'.', u',', u"<b>12</b>", 12 },
        { u'.', u',', u"", 0 },
        { u'.', u',', u"-", 0 },
        { u'.', u',', u"abc", -999 },
        { u',', u' ', u"7.5", -999 },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Text));
        TSeparators Locale(C.Decimal, C.Thousand);
        TSmallGrid S;
        S.G.SetCellEx(1, 1, C.Text);
        if (C.Expected == -999)
            EXPECT_THROW(S.G.GetInts(1, 1), ERirEvozError);
        else
            EXPECT_EQ(S.G.GetInts(1, 1), C.Expected);
    }
}

TEST(GridTyped, AllIntsTakesPlainIntegersOnly)
{
    TSeparators Locale(u'.', u',');
    TSmallGrid S;
    S.G.SetCellsEx(1, 1, u"<b>12</b>");
    EXPECT_THROW(S.G.GetAllInts(1, 1), ERirEvozError);
    S.G.SetAllInts(2, 2, -17);
    EXPECT_EQ(S.G.GetCellsEx(2, 2), u"-17");
    EXPECT_EQ(S.G.GetAllInts(2, 2), -17);
}

TEST(GridTyped, FloatsReadBothLocalesAndRoundTrip)
{
    {
        TSeparators Locale(u',', u'.');
        TSmallGrid S;
        S.G.SetCellEx(1, 1, u"1.234,50");
        EXPECT_DOUBLE_EQ(S.G.GetFloats(1, 1), 1234.5);
        S.G.SetCellEx(1, 2, u"<b>3,25</b>");
        EXPECT_DOUBLE_EQ(S.G.GetFloats(1, 2), 3.25);
        S.G.SetFloats(2, 1, 1.5);
        EXPECT_DOUBLE_EQ(S.G.GetFloats(2, 1), 1.5);
        S.G.SetCellEx(2, 2, u"");
        EXPECT_DOUBLE_EQ(S.G.GetFloats(2, 2), 0);
    }
    {
        TSeparators Locale(u'.', u',');
        TSmallGrid S;
        S.G.SetCellsEx(1, 1, u"1,234.5");
        EXPECT_DOUBLE_EQ(S.G.GetAllFloats(1, 1), 1234.5);
        S.G.SetAllFloats(2, 1, -0.25);
        EXPECT_EQ(S.G.GetCellsEx(2, 1), u"-0.25");
        S.G.SetCellEx(3, 1, u"1.2.3");
        EXPECT_THROW(S.G.GetFloats(3, 1), ERirEvozError);
    }
}

TEST(GridTyped, FloatFormatAsksTheHandlerOnlyWhenItSaysFloat)
{
    TSmallGrid S;
    EXPECT_EQ(S.G.GetFloatFormat(1, 1), u"%.2f");
    S.G.OnGetFloatFormat = [](TObject*, int ACol, int, bool& IsFloat, String& Format) {
        Format = u"%.4f";
        IsFloat = ACol == 2;
    };
    EXPECT_EQ(S.G.GetFloatFormat(1, 1), u"%.2f");
    EXPECT_EQ(S.G.GetFloatFormat(2, 1), u"%.4f");
}

// ---- dates and times ----

TEST(GridTyped, DatesAndTimes)
{
    TSeparators Locale(u'.', u',');
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetShowNullDates(false);
    G.SetCellEx(1, 1, u"x");
    G.SetDates(1, 1, 0);
    EXPECT_EQ(G.GetCellEx(1, 1), u"");
    G.SetDateTimes(1, 1, 0);
    EXPECT_EQ(G.GetCellEx(1, 1), u"");
    G.SetShowNullDates(true);
    G.SetDates(1, 1, 0);
    EXPECT_EQ(G.GetCellEx(1, 1), u"30/12/1899");

    const TDateTime Day = EncodeDate(2024, 3, 5);
    G.SetDates(2, 1, Day);
    EXPECT_EQ(G.GetCellEx(2, 1), u"05/03/2024");
    EXPECT_DOUBLE_EQ(G.GetDates(2, 1), Day);

    const TDateTime Time = EncodeTime(13, 7, 9, 0);
    G.SetTimes(3, 1, Time);
    EXPECT_EQ(G.GetCellEx(3, 1), u"13:07:09");
    EXPECT_NEAR(G.GetTimes(3, 1), Time, 1e-9);

    G.SetDateTimes(4, 1, Day + EncodeTime(8, 30, 0, 0));
    EXPECT_EQ(G.GetCellEx(4, 1), u"05/03/2024 08:30");
    EXPECT_NEAR(G.GetDateTimes(4, 1), Day + EncodeTime(8, 30, 0, 0), 1e-9);

    // Failed reads: dates and times raise, date-times read 0.
    G.SetCellEx(1, 2, u"no date");
    EXPECT_THROW(G.GetDates(1, 2), EConvertError);
    EXPECT_THROW(G.GetTimes(1, 2), EConvertError);
    EXPECT_EQ(G.GetDateTimes(1, 2), 0);
    EXPECT_EQ(G.GetCellEx(1, 2), u"no date");
}

// ---- highlighting and marking ----

TEST(GridTyped, MarkAndUnmarkRoundTrip)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetCellEx(0, 0, u"ab");
    G.SetCellEx(1, 1, u"xAbx");
    G.SetCellEx(2, 1, u"none");
    G.MarkInGrid(false, false, u"ab");
    EXPECT_EQ(G.GetCellEx(1, 1), u"x<E>Ab</E>x");
    EXPECT_EQ(G.GetCellEx(2, 1), u"none");
    EXPECT_EQ(G.GetCellEx(0, 0), u"ab"); // a fixed cell is left alone
    G.UnMarkInGrid(false);
    EXPECT_EQ(G.GetCellEx(1, 1), u"xAbx");

    // Case counts with DoCase; the fixed cells join with DoFixed.
    G.HilightInGrid(true, true, u"ab", false);
    EXPECT_EQ(G.GetCellEx(0, 0), u"<HI>ab</HI>");
    EXPECT_EQ(G.GetCellEx(1, 1), u"xAbx");
    G.UnHilightInGrid(true);
    EXPECT_EQ(G.GetCellEx(0, 0), u"ab");
}

TEST(GridTyped, UnhighlightingWritesEntitiesAsCharacters)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetCellEx(1, 1, u"R&amp;D <b>team</b>");
    G.SetCellEx(1, 2, u"R&amp;D <b>team</b>");
    G.HilightInCol(false, false, 1, u"team", false);
    EXPECT_NE(G.GetCellEx(1, 1).find(u"<HI>"), String::npos);
    G.UnHilightInCol(false, 1);
    EXPECT_EQ(G.GetCellEx(1, 1), u"R&D <b>team</b>");
    EXPECT_EQ(G.GetCellEx(1, 2), u"R&D <b>team</b>");
}

TEST(GridTyped, CoveredCellsOfAMergedAreaAreSkipped)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetCellEx(2, 1, u"ab");
    G.MergeCells(1, 1, 2, 1);
    G.SetCellEx(1, 1, u"ab");
    G.MarkInRow(false, false, 1, u"ab");
    EXPECT_EQ(G.GetCellEx(1, 1), u"<E>ab</E>");
    EXPECT_EQ(G.GetGridCell(2, 1), u"ab");
}

// ---- checking ----

TEST(GridTyped, CheckingCorrectsThroughTheCheckerAndStopsWhenItSays)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    EXPECT_TRUE(G.CheckGrid(false)); // without a checker

    TUpperChecker Checker(nullptr);
    Checker.SetUseCorrect(true);
    G.SetCellChecker(&Checker);
    EXPECT_EQ(Checker.GetGrid(), &G);

    G.SetCellEx(1, 1, u"ABC");
    EXPECT_TRUE(G.CheckCell(1, 1));
    G.SetCellEx(2, 1, u"abc");
    EXPECT_FALSE(G.CheckCell(2, 1));
    EXPECT_EQ(G.GetCellEx(2, 1), u"ABC");

    // Row by row; the cell after "stop" is not checked.
    G.SetCellEx(3, 1, u"stop");
    G.SetCellEx(4, 1, u"late");
    Checker.Checked = 0;
    EXPECT_FALSE(G.CheckRow(false, 1));
    EXPECT_EQ(Checker.Checked, 3);
    EXPECT_EQ(G.GetCellEx(3, 1), u"STOP");
    EXPECT_EQ(G.GetCellEx(4, 1), u"late");
}

TEST(GridTyped, ACheckerThatGoesIsForgotten)
{
    TSmallGrid S;
    auto Checker = std::make_unique<TUpperChecker>(nullptr);
    S.G.SetCellChecker(Checker.get());
    Checker.reset();
    EXPECT_EQ(S.G.GetCellChecker(), nullptr);
    EXPECT_TRUE(S.G.CheckCell(1, 1));
}

// ---- fills, print layout, version ----

TEST(GridTyped, LinearFillWritesColumnColonRowIntoTheDataCells)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(5);
    G.SetRowCount(10);
    G.SetFixedCols(1);
    G.SetFixedRows(1);
    G.LinearFill(false);
    EXPECT_EQ(G.GetCellEx(1, 1), u"1:1");
    EXPECT_EQ(G.GetCellEx(2, 5), u"2:5");
    EXPECT_EQ(G.GetCellEx(4, 9), u"4:9");
    EXPECT_EQ(G.GetCellEx(0, 5), u"");
    EXPECT_EQ(G.GetCellEx(3, 0), u"");

    G.TextFill(true, u"t");
    EXPECT_EQ(G.GetCellEx(0, 0), u"t");
    G.FormatFill(false, u"%d-%d");
    EXPECT_EQ(G.GetCellEx(3, 7), u"3-7");
    G.RandomFill(false, 10);
    for (int r = 1; r < 10; ++r)
        for (int c = 1; c < 5; ++c) {
            const int V = G.GetInts(c, r);
            EXPECT_TRUE(V >= 0 && V < 10) << V;
        }
}

TEST(GridTyped, PrintColumnsOutOfRangeRaise)
{
    TSmallGrid S;
    EXPECT_THROW(S.G.GetPrintColWidth(-1), ERirEvozError);
    EXPECT_THROW(S.G.GetPrintColOffset(5), ERirEvozError);
    EXPECT_NO_THROW(S.G.GetPrintColWidth(4));
}

TEST(GridTyped, VersionTextJoinsTheFourBytes)
{
    struct TVersioned : TDedOzovedUrad {
        using TDedOzovedUrad::TDedOzovedUrad;
        unsigned GetVersionNr() override { return 0x02090A01; }
    } G(nullptr);
    EXPECT_EQ(G.GetVersionString(), u"2.9.10.1 Oct, 2022");
    TDedOzovedUrad Plain(nullptr);
    EXPECT_EQ(Plain.GetVersionNr(), 134676736u);
    EXPECT_EQ(Plain.GetVersionString(), u"8.7.1.0 Oct, 2022");
}
