// The filter lists' choices over real data views: a chosen value, or the
// checked values of the check list, become the column's condition and the
// filter is applied. The lists live on a headless form.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridFilterList.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

using TTexts = std::vector<String>;

std::unique_ptr<TForm> MakeForm()
{
    InstallDeviceContextFactory();
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetPosition(poDesigned);
    Form->SetBounds(100, 100, 600, 400);
    return Form;
}

TDedOzovedUrad& MakeGrid(TForm& Form)
{
    auto* Grid = new TDedOzovedUrad(&Form);
    Grid->SetParent(&Form);
    Grid->SetBounds(10, 10, 500, 300);
    Grid->SetFilterDropDownAuto(true);
    Form.Show();
    return *Grid;
}

struct FilterLists : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form { MakeForm() };
    TDedOzovedUrad& G { MakeGrid(*Form) };

    // One column of texts under a header row.
    void FillColumn(const TTexts& Texts)
    {
        G.SetColCount(1);
        G.SetRowCount(int(Texts.size()) + 1);
        G.SetFixedRows(1);
        G.SetFixedCols(0);
        for (int r = 0; r < int(Texts.size()); ++r)
            G.SetCellEx(0, r + 1, Texts[std::size_t(r)]);
    }
    void Fill(const std::vector<TTexts>& Rows)
    {
        G.SetColCount(int(Rows[0].size()));
        G.SetRowCount(int(Rows.size()) + 1);
        G.SetFixedRows(1);
        G.SetFixedCols(0);
        for (int r = 0; r < int(Rows.size()); ++r)
            for (int c = 0; c < int(Rows[std::size_t(r)].size()); ++c)
                G.SetCellEx(c, r + 1, Rows[std::size_t(r)][std::size_t(c)]);
    }
    TTexts List()
    {
        TTexts r;
        for (int i = 0; i < G.GetFilterList()->GetCount(); ++i)
            r.push_back(G.GetFilterList()->GetStrings(i));
        return r;
    }
    TTexts Items(TCustomListBox* L)
    {
        TTexts r;
        for (int i = 0; i < L->GetItems()->GetCount(); ++i)
            r.push_back(L->GetItems()->GetStrings(i));
        return r;
    }
    int IndexOf(TCustomListBox* L, const String& Text)
    {
        const int i = L->GetItems()->IndexOf(Text);
        EXPECT_GE(i, 0) << StringToUtf8(Text);
        return i;
    }
    // Opens the column's single-choice list and chooses the shown text.
    void Choose(int Col, const String& Text)
    {
        G.ShowFilterDropDown(Col);
        TDropList* L = G.GetDropList();
        L->OnSelect(L, IndexOf(L, Text));
    }
    // Opens the column's check list (unless it is open) and toggles one item.
    void Toggle(int Col, const String& Text, bool Checked)
    {
        TDropCheckList* L = G.GetDropCheckList();
        if (G.GetFilterCol() != Col)
            G.ShowFilterDropDown(Col);
        const int i = IndexOf(L, Text);
        L->SetChecked(i, Checked);
        L->SetItemIndex(i);
        L->OnSelect(L, i);
    }
    // Column Col of the rows in view.
    TTexts Shown(int Col = 0)
    {
        TTexts r;
        for (int i = G.GetFixedRows(); i < G.GetRowCount(); ++i)
            if (G.GetRowHeights(i) > 0)
                r.push_back(G.GetGridCell(Col, i));
        return r;
    }
};

} // namespace

TEST_F(FilterLists, TheListShowsTheValuesBeforeTheirConditions)
{
    FillColumn({ u"10", u"9", u"a", u"", u"a", u"New York" });
    G.ShowFilterDropDown(0);
    EXPECT_EQ(Items(G.GetDropList()), (TTexts { u"(All)", u"9", u"10", u"a", u"New York", u"" }));
}

TEST_F(FilterLists, ValuesTheExpressionWouldReadFilterTheirOwnRows)
{
    FillColumn({ u"New York", u"York", u"a|b", u"a", u"b", u"R&D", u"R", u">5", u"7", u"=x", u"x" });
    G.CollectFilterValues(0, false, false);
    EXPECT_GE(G.GetFilterList()->IndexOf(u"New York\t\"New York\""), 0);
    for (const String& v : { String(u"New York"), String(u"a|b"), String(u"R&D"), String(u">5"), String(u"=x") }) {
        SCOPED_TRACE(StringToUtf8(v));
        G.SetFilterActive(false);
        G.GetFilter()->Clear();
        Choose(0, v);
        EXPECT_EQ(Shown(), (TTexts { v }));
        EXPECT_TRUE(G.GetFilterActive());
        EXPECT_EQ(G.GetFilterCol(), -1);
    }
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetCondition(), u"\"=x\"");
    // The check list joins them with "|" and each still stands for itself.
    G.SetFilterActive(false);
    G.GetFilter()->Clear();
    G.SetFilterDropDownCheck(true);
    Toggle(0, u"a|b", true);
    Toggle(0, u">5", true);
    Toggle(0, u"R&D", true);
    EXPECT_EQ(Shown(), (TTexts { u"a|b", u"R&D", u">5" }));
    EXPECT_EQ(G.GetFilter()->GetCount(), 1);
    // Opened again, the list checks exactly those values.
    G.ShowFilterDropDown(0);
    TDropCheckList* L = G.GetDropCheckList();
    TTexts Checked;
    for (int i = 0; i < L->GetItems()->GetCount(); ++i)
        if (L->GetChecked(i))
            Checked.push_back(L->GetItems()->GetStrings(i));
    std::sort(Checked.begin(), Checked.end());
    EXPECT_EQ(Checked, (TTexts { u">5", u"R&D", u"a|b" }));
}

TEST_F(FilterLists, AHandlersConditionIsUsedAsLeft)
{
    FillColumn({ u"a b", u"a", u"b" });
    G.OnFilterSelect = [](TObject*, int, int, const String& Name, String& Condition) {
        EXPECT_EQ(Name, u"a b");
        Condition = u"a|b";
    };
    Choose(0, u"a b");
    EXPECT_EQ(Shown(), (TTexts { u"a", u"b" }));
}

TEST_F(FilterLists, ClearEntryRemovesTheConditions)
{
    Fill({ { u"a", u"x" }, { u"b", u"y" }, { u"a", u"y" } });
    Choose(0, u"a");
    EXPECT_EQ(Shown(), (TTexts { u"a", u"a" }));
    Choose(1, u"y");
    EXPECT_EQ(Shown(1), (TTexts { u"y" }));
    EXPECT_EQ(G.GetFilter()->GetCount(), 2);
    // (All) of one column keeps the other's condition ...
    Choose(1, u"(All)");
    EXPECT_EQ(G.GetFilter()->GetCount(), 1);
    EXPECT_EQ(Shown(), (TTexts { u"a", u"a" }));
    // ... and without FilterDropDownMultiCol empties the filter, which
    // stays active with every row in view.
    G.SetFilterDropDownMultiCol(false);
    Choose(0, u"(All)");
    EXPECT_EQ(G.GetFilter()->GetCount(), 0);
    EXPECT_TRUE(G.GetFilterActive());
    EXPECT_EQ(Shown(), (TTexts { u"a", u"b", u"a" }));
}

TEST_F(FilterLists, CheckListBuildsAnOrListUnlessAllAreChecked)
{
    FillColumn({ u"a", u"b", u"c", u"b" });
    G.SetFilterDropDownCheck(true);
    Toggle(0, u"a", true);
    Toggle(0, u"c", true);
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetCondition(), u"a|c");
    EXPECT_EQ(Shown(), (TTexts { u"a", u"c" }));
    // Checking the last unchecked item leaves no condition.
    Toggle(0, u"b", true);
    EXPECT_EQ(G.GetFilter()->GetCount(), 0);
    EXPECT_FALSE(G.GetFilterActive());
    Toggle(0, u"a", false);
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetCondition(), u"b|c");
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetOperation(), foNONE);
}

TEST_F(FilterLists, CheckAllEntryChecksAndUnchecksEveryItem)
{
    FillColumn({ u"a", u"b", u"c" });
    G.SetFilterDropDownCheck(true);
    G.SetFilterDropDownCheckUnCheckAll(u"(Select all)");
    G.ShowFilterDropDown(0);
    TDropCheckList* L = G.GetDropCheckList();
    EXPECT_EQ(Items(L), (TTexts { u"(Select all)", u"a", u"b", u"c" }));
    Toggle(0, u"b", true);
    // Checked while some were not: every item checked, every value listed.
    Toggle(0, u"(Select all)", true);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(L->GetChecked(i));
    ASSERT_EQ(G.GetFilter()->GetCount(), 1);
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetCondition(), u"a|b|c");
    // Unchecked while all were: every item unchecked, no condition.
    Toggle(0, u"(Select all)", false);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(L->GetChecked(i));
    EXPECT_EQ(G.GetFilter()->GetCount(), 0);
    // Unchecking one item unchecks the check-all entry.
    Toggle(0, u"(Select all)", true);
    Toggle(0, u"a", false);
    EXPECT_FALSE(L->GetChecked(0));
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetCondition(), u"b|c");
}

TEST_F(FilterLists, DataCheckBoxColumnOffersTheCheckTexts)
{
    FillColumn({ u"Y", u"N", u"Y" });
    G.AddCheckBoxColumn(0, false, true);
    G.GetFilterDropDown()->SetTextChecked(u"Checked");
    G.GetFilterDropDown()->SetTextUnChecked(u"Unchecked");
    G.CollectFilterValues(0, false, false);
    EXPECT_EQ(List(), (TTexts { u"(All)", u"Checked", u"Unchecked" }));
    Choose(0, u"Checked");
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetCondition(), u"Y");
    EXPECT_EQ(G.GetFilter()->GetItem(0)->GetFriendlyName(), u"Checked");
    EXPECT_EQ(Shown(), (TTexts { u"Y", u"Y" }));
}
