#include <gtest/gtest.h>

#include "grid/views/GridDataViewsImpl.h"
#include "tests/grid/views/GridViewsTest.h"

using namespace gridviewstest;

namespace {

struct FilterValues : TViewsGrid {
    void SetUp() override { G.SetFilterDropDownAuto(true); }
    TTexts List()
    {
        TTexts r;
        for (int i = 0; i < G.GetFilterList()->GetCount(); ++i)
            r.push_back(G.GetFilterList()->GetStrings(i));
        return r;
    }
};

TEST_F(FilterValues, DistinctValuesSortedWithTheClearEntryFirst)
{
    FillColumn({ u"10", u"9", u"a", u"", u"A", u" a " });
    EXPECT_TRUE(G.CollectFilterValues(0, false, false));
    EXPECT_EQ(List(), (TTexts { u"(All)", u"9", u"10", u"a", u"\t\"\"" }));
    // Case duplicates are listed once also for a case-sensitive list.
    G.GetFilterDropDown()->SetCaseSensitive(true);
    G.CollectFilterValues(0, false, false);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"9", u"10", u"a", u"\t\"\"" }));
    // Unsorted, in order found; the first only.
    G.GetFilterDropDown()->SetSorted(false);
    G.CollectFilterValues(0, false, false);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"10", u"9", u"a", u"\t\"\"" }));
    G.CollectFilterValues(0, true, false);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"10" }));
    // A column outside the grid has no values.
    G.CollectFilterValues(5, false, false);
    EXPECT_EQ(List(), (TTexts { u"(All)" }));
    // Without FilterDropDownAuto only the handler fills the list.
    G.SetFilterDropDownAuto(false);
    G.OnGetColumnFilter = [](TObject*, int Column, TStrings* L) { L->Add(u"col" + IntToStr(Column)); };
    EXPECT_TRUE(G.CollectFilterValues(0, false, false));
    EXPECT_EQ(List(), (TTexts { u"col0" }));
}

TEST(FilterValueOrder, NumbersByValueElseLogicalText)
{
    struct {
        String A, B;
        int Expected;
    } const Cases[] = {
        { u"9", u"10", -1 }, { u"10", u"9", 1 }, { u"2.50", u"2.5", 0 }, { u"-1", u"0", -1 },
        { u"file9", u"file10", -1 }, { u"b", u"A", 1 }, { u"10", u"a", -1 }, { u"\t\"\"", u"a", 1 },
        { u"z", u"\t\"\"", -1 },
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(StringToUtf8(Case.A + u" " + Case.B));
        const int r = TGridDataViews::CompareFilterValues(Case.A, Case.B);
        EXPECT_EQ((r > 0) - (r < 0), Case.Expected);
    }
}







TEST_F(FilterValues, RowsOutOfViewAddTheirValues)
{
    FillColumn({ u"a", u"b", u"c" });
    G.GetFilter()->Add(0, u"a", foNONE);
    G.SetFilterActive(true);
    G.GetFilterDropDown()->SetSorted(false);
    G.CollectFilterValues(0, false, false);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"a", u"b", u"c" }));
    G.SetFilterIncremental(true);
    G.CollectFilterValues(0, false, false);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"a" }));
    G.CollectFilterValues(0, false, true);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"a", u"b", u"c" }));
}

TEST_F(FilterValues, FilterRowAndFilterEditSettings)
{
    FillColumn({ u"a", u"b", u"c" });
    G.SetFixedRows(2);
    G.SetFilterDropDownRow(1);
    EXPECT_EQ(G.GetFilterDropDownRow(), 1);
    G.SetFilterDropDownRow(2);
    EXPECT_EQ(G.GetFilterDropDownRow(), 1);

    FillColumn({ u"a", u"b" });
    G.GetColumnHeaders()->Add(u"Name");
    G.GetFilterEdit()->SetEnabled(true);
    G.SetCellEx(0, 0, u"a*");
    G.GetFilter()->Add(0, u"a*", foNONE);
    G.SetFilterActive(true);
    G.GetFilterEdit()->SetEnabled(false);
    EXPECT_FALSE(G.GetFilterActive());
    EXPECT_EQ(G.GetFilter()->GetCount(), 0);
    EXPECT_EQ(G.GetGridCell(0, 0), u"Name");
    EXPECT_EQ(Col(0), (TTexts { u"a", u"b" }));
}

} // namespace
