#include <gtest/gtest.h>

#include "grid/core/DedOzovedUrad.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

// Three columns and four rows with sizes of their own, a cell with its own
// font, row limits and one hidden row.
struct TScaledGrid {
    TDedOzovedUrad G { nullptr };
    float Announced { 0 };
    int Announcements { 0 };

    TScaledGrid()
    {
        G.SetColCount(3);
        G.SetRowCount(5);
        G.SetDefaultRowHeight(20);
        for (int c = 0; c < 3; ++c)
            G.SetColWidths(c, 25 + 10 * c);
        for (int r = 0; r < 5; ++r)
            G.SetRowHeights(r, 20 + r);
        G.SetMinRowHeight(10);
        G.SetMaxRowHeight(60);
        G.GetCellProperties(1, 1)->SetFontSize(-13);
        G.HideRow(4);
        G.OnChangeScale = [this](TObject*, float NewScale) {
            Announced = NewScale;
            ++Announcements;
        };
    }
    int HiddenRowHeight() { return static_cast<TGridItem*>(G.GetGridItems()->GetItem(0))->GetHeight(); }
};

} // namespace

TEST(GridScale, ChangeScaleScalesSizesAndOnADPIChangeFonts)
{
    const struct {
        int M, D;
        bool Dpi;
        int Col0, Col2, Row3, DefaultRow, MinRow, MaxRow, Hidden, FontHeight, Announcements;
    } Cases[] = {
        { 2, 1, true, 50, 90, 46, 40, 20, 120, 48, -26, 1 },
        { 2, 1, false, 50, 90, 46, 40, 20, 120, 48, -13, 1 },
        { 1, 1, true, 25, 45, 23, 20, 10, 60, 24, -13, 0 },
        { 3, 2, false, 38, 68, 34, 30, 15, 90, 36, -13, 1 }, // 37.5 and 67.5: halves to even
    };
    for (const auto& c : Cases) {
        SCOPED_TRACE(testing::Message() << c.M << "/" << c.D << (c.Dpi ? " DPI" : ""));
        TScaledGrid S;
        S.G.ChangeScale(c.M, c.D, c.Dpi);
        EXPECT_EQ(S.G.GetColWidths(0), c.Col0);
        EXPECT_EQ(S.G.GetColWidths(2), c.Col2);
        EXPECT_EQ(S.G.GetRowHeights(3), c.Row3);
        EXPECT_EQ(S.G.GetDefaultRowHeight(), c.DefaultRow);
        EXPECT_EQ(S.G.GetMinRowHeight(), c.MinRow);
        EXPECT_EQ(S.G.GetMaxRowHeight(), c.MaxRow);
        EXPECT_EQ(S.HiddenRowHeight(), c.Hidden);
        EXPECT_EQ(S.G.GetCellProperties(1, 1)->GetFontSize(), c.FontHeight);
        EXPECT_EQ(S.Announcements, c.Announcements);
        if (c.Announcements)
            EXPECT_FLOAT_EQ(S.Announced, float(S.G.GetDPIScale()));
    }
}

TEST(GridScale, CellToRealReadsTheNumberACellShows)
{
    LocaleGuard Locale(LocaleGuard::DotDecimal);
    TDedOzovedUrad G { nullptr };
    G.SetColCount(3);
    G.SetRowCount(3);
    const struct {
        const char16_t* Text;
        double Value;
    } Numbers[] = { { u"", 0 }, { u"1,234.50", 1234.5 }, { u"(12)", -12 }, { u"-0.25", -0.25 },
        { u"$ 7", 7 }, { u"1.5e3", 1500 }, { u"12 kg", 12 } };
    for (const auto& n : Numbers) {
        SCOPED_TRACE(StringToUtf8(n.Text));
        G.SetCellEx(1, 2, n.Text);
        EXPECT_DOUBLE_EQ(G.CellToReal(1, 2), n.Value);
    }
    const struct {
        const char16_t* Text;
        const char16_t* Message;
    } Errors[] = { { u"12-5", u"Error at position: 3 in Cell [1, 2]." },
        { u"abc", u"Error at position: 1 in Cell [1, 2]." }, { u"4e", u"Error at position: 3 in Cell [1, 2]." } };
    for (const auto& e : Errors) {
        SCOPED_TRACE(StringToUtf8(e.Text));
        G.SetCellEx(1, 2, e.Text);
        try {
            G.CellToReal(1, 2);
            ADD_FAILURE();
        } catch (const ERirEvozError& E) {
            EXPECT_EQ(E.Message, e.Message);
        }
        EXPECT_EQ(G.GetCellEx(1, 2), e.Text);
    }
}
