// The filter row's value lists: what BuildFilterList fills, checks, sizes
// and places, how OnFilterShow refuses, and how the two list controls close
// and hand a choice to the data views (the recording double stands in for
// them; the tests fill FilterList themselves).

#include <gtest/gtest.h>

#include <memory>

#include "GridDataViewsDouble.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridFilterList.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

// Synthetic input, then everything it caused.
void Press(WORD Key, bool Shift = false, bool Ctrl = false)
{
    Headless::Key(Key, Shift, Ctrl);
    Headless::PumpUntilIdle();
}
void ClickAt(TPoint Screen)
{
    Headless::Click(Screen);
    Headless::PumpUntilIdle();
}

// A 400 x 250 grid of 5 columns and 10 rows on a shown form, its data views
// recorded.
struct FilterListGrid : ::testing::Test {
    THeadlessSession Session;
    TRecordingDataViewsScope Views;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Form->Show();
        Application->ProcessMessages();
    }
    void Fill(std::initializer_list<const char16_t*> Entries)
    {
        Grid->GetFilterList()->SetSorted(false);
        Grid->GetFilterList()->Clear();
        for (const char16_t* E : Entries)
            Grid->GetFilterList()->Add(E);
    }
    void AddCondition(int Column, const String& FriendlyName)
    {
        TFilterData* F = Grid->GetFilter()->Add();
        F->SetColumn(Column);
        F->SetFriendlyName(FriendlyName);
    }
    TPoint Screen(TControl* C, TPoint P) { return C->ClientToScreen(P); }
};

} // namespace

TEST_F(FilterListGrid, ListsAreMadeHiddenWithTheGridAsOwnerAndParent)
{
    for (TCustomListBox* L :
        { static_cast<TCustomListBox*>(Grid->GetDropList()), static_cast<TCustomListBox*>(Grid->GetDropCheckList()) }) {
        ASSERT_NE(L, nullptr);
        EXPECT_EQ(L->GetOwner(), Grid);
        EXPECT_EQ(L->GetParent(), Grid);
        EXPECT_FALSE(L->GetVisible());
        EXPECT_EQ(L->GetWidth(), 0);
        EXPECT_EQ(L->GetHeight(), 0);
    }
}

TEST_F(FilterListGrid, CheckListChecksTheValuesTheColumnsConditionsHold)
{
    Grid->SetFilterDropDownCheck(true);
    Grid->GetFilterDropDown()->SetTextChecked(u"Checked");
    Grid->GetFilterDropDown()->SetTextUnChecked(u"Unchecked");
    Grid->SetCheckTrue(u"Y");
    Fill({ u"New York\t\"New York\"", u"Paris", u"San Jose\t\"San Jose\"", u"Rome", u"Checked", u"Unchecked",
        u"\t\"\"" });
    // Column 2's conditions: one the list built (names as shown), one set
    // by hand with a quoted value, and a check box's stored value.
    AddCondition(2, u"Paris|New York");
    AddCondition(2, u"\"San Jose\"");
    AddCondition(2, u"Y");
    AddCondition(3, u"Rome"); // another column's condition checks nothing here
    Grid->SetFilterCol(2);
    Grid->BuildFilterList(2, 0);

    TDropCheckList* L = Grid->GetDropCheckList();
    ASSERT_EQ(L->GetCount(), 7);
    struct Case {
        int Index;
        const char16_t* Text;
        bool Checked;
    };
    const Case Cases[] = { { 0, u"New York", true }, { 1, u"Paris", true }, { 2, u"San Jose", true },
        { 3, u"Rome", false }, { 4, u"Checked", true }, { 5, u"Unchecked", false }, { 6, u"", false } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Index);
        EXPECT_EQ(L->GetItems()->GetStrings(C.Index), String(C.Text));
        EXPECT_EQ(L->GetChecked(C.Index), C.Checked);
    }
    EXPECT_TRUE(L->GetVisible());
    EXPECT_FALSE(Grid->GetDropList()->GetVisible());
}

TEST_F(FilterListGrid, CheckTextsStandForCheckValuesOnlyWhenSet)
{
    // Without check texts an empty cell's entry is not the checked value.
    Grid->SetFilterDropDownCheck(true);
    Grid->SetCheckTrue(u"Y");
    Fill({ u"\t\"\"", u"Y" });
    AddCondition(1, u"Y");
    Grid->SetFilterCol(1);
    Grid->BuildFilterList(1, 0);
    EXPECT_FALSE(Grid->GetDropCheckList()->GetChecked(0));
    EXPECT_TRUE(Grid->GetDropCheckList()->GetChecked(1));
}

TEST_F(FilterListGrid, PlainListShowsTheDisplayTextsWithTheFirstSelected)
{
    Fill({ u"(All)", u"New York\t\"New York\"", u"10" });
    Grid->SetFilterCol(1);
    Grid->BuildFilterList(1, 0);
    TDropList* L = Grid->GetDropList();
    ASSERT_EQ(L->GetCount(), 3);
    EXPECT_EQ(L->GetItems()->GetStrings(1), u"New York");
    EXPECT_EQ(L->GetItemIndex(), 0);
    EXPECT_TRUE(L->GetVisible());
    EXPECT_TRUE(L->Focused());
    // Without AutoSize the list takes the settings' size, under the button.
    const TRect r = Grid->CellRect(1, 0);
    EXPECT_EQ(L->GetWidth(), 150);
    EXPECT_EQ(L->GetHeight(), 150);
    EXPECT_EQ(L->GetTop(), r.Top + 16);
    EXPECT_EQ(L->GetLeft(), r.Right - 16);
}

TEST_F(FilterListGrid, AutoSizeFitsTheEntriesAndScrollsWhenTheGridIsTooLow)
{
    Grid->GetFilterDropDown()->SetAutoSize(true);
    const int Edge = GetSystemMetrics(SM_CXEDGE);
    for (bool Check : { false, true }) {
        SCOPED_TRACE(Check);
        Grid->SetFilterDropDownCheck(Check);
        TCustomListBox* L = Check ? static_cast<TCustomListBox*>(Grid->GetDropCheckList())
                                  : static_cast<TCustomListBox*>(Grid->GetDropList());
        const int Margin = Check ? 24 : 8;

        // Three values fit: as high as the items, as wide as the widest.
        Fill({ u"a", u"a much longer value", u"b" });
        Grid->BuildFilterList(1, 0);
        const int Widest = L->GetCanvas()->TextWidth(u"a much longer value") + Margin;
        EXPECT_EQ(L->GetHeight(), 2 * GetSystemMetrics(SM_CYEDGE) + 3 * L->GetItemHeight());
        EXPECT_EQ(L->GetWidth(), 2 * Edge + Widest);

        // A hundred values: the grid's height below row 0, and the vertical
        // scroll bar's width more.
        Grid->GetFilterList()->Clear();
        for (int i = 0; i < 100; ++i)
            Grid->GetFilterList()->Add(u"v" + IntToStr(i));
        Grid->GetFilterList()->Add(u"a much longer value");
        Grid->BuildFilterList(1, 0);
        EXPECT_EQ(L->GetHeight(), Grid->GetHeight() - Grid->GetRowHeights(0));
        EXPECT_EQ(L->GetWidth(), 2 * Edge + Widest + GetSystemMetrics(SM_CXVSCROLL));
    }
}

TEST_F(FilterListGrid, AutoSizeLeavesRoomForTheHorizontalScrollBarWhenColumnsAreOutOfView)
{
    Grid->GetFilterDropDown()->SetAutoSize(true);
    Grid->SetColCount(30);
    ASSERT_LT(Grid->GetVisibleColCount() + Grid->GetFixedCols(), Grid->GetColCount());
    Grid->GetFilterList()->Clear();
    for (int i = 0; i < 100; ++i)
        Grid->GetFilterList()->Add(u"v" + IntToStr(i));
    Grid->BuildFilterList(1, 0);
    EXPECT_EQ(Grid->GetDropList()->GetHeight(),
        Grid->GetHeight() - Grid->GetRowHeights(0) - GetSystemMetrics(SM_CYHSCROLL));
}

TEST_F(FilterListGrid, ListPastTheRightEdgeAlignsWithTheHeaderCellAndNeverStartsLeftOfZero)
{
    struct Case {
        int Col;
        int Width;
        int Left; // -1: the header cell's right edge less the width
    };
    const Case Cases[] = { { 4, 150, -1 }, { 4, 1000, 0 } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Width);
        Grid->GetFilterDropDown()->SetWidth(C.Width);
        Fill({ u"x" });
        Grid->BuildFilterList(C.Col, 0);
        const int Expected = C.Left < 0 ? Grid->CellRect(C.Col, 0).Right - C.Width : C.Left;
        EXPECT_EQ(Grid->GetDropList()->GetLeft(), Expected);
    }
    // A list that fits stays under the button.
    Grid->GetFilterDropDown()->SetWidth(50);
    Grid->BuildFilterList(1, 0);
    EXPECT_EQ(Grid->GetDropList()->GetLeft(), Grid->CellRect(1, 0).Right - 16);
    // ColumnWidth: as wide as the column and aligned with it.
    Grid->GetFilterDropDown()->SetColumnWidth(true);
    Grid->BuildFilterList(2, 0);
    EXPECT_EQ(Grid->GetDropList()->GetLeft(), Grid->CellRect(2, 0).Left);
    EXPECT_EQ(Grid->GetDropList()->GetWidth(), Grid->CellRect(2, 0).Width());
}

TEST_F(FilterListGrid, OnFilterShowRefusalKeepsTheFilledListHidden)
{
    int AskedFor = -1;
    Grid->OnFilterShow = [&](TObject*, int ACol, bool& Allow) {
        AskedFor = ACol;
        Allow = false;
    };
    Fill({ u"a", u"b" });
    Grid->BuildFilterList(3, 0);
    EXPECT_EQ(AskedFor, 3);
    EXPECT_EQ(Grid->GetDropList()->GetCount(), 2);
    EXPECT_FALSE(Grid->GetDropList()->GetVisible());
}

TEST_F(FilterListGrid, ShowFilterDropDownCollectsTheRealColumnsValues)
{
    Grid->HideColumn(1);
    Views.Log->CollectFilterValuesAnswer = true;
    Grid->ShowFilterDropDown(1); // display column 1 is real column 2
    EXPECT_EQ(Grid->GetFilterCol(), 2);
    EXPECT_TRUE(Views.Log->Saw("CollectFilterValues(2)"));
}

TEST_F(FilterListGrid, PlainListReturnAndReleaseChooseEscapeCloses)
{
    Fill({ u"a", u"b", u"c" });
    TDropList* L = Grid->GetDropList();

    Grid->BuildFilterList(1, 0);
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_FALSE(L->GetVisible());
    EXPECT_EQ(Views.Log->Count("ApplySelectedFilterValue"), 1);

    Grid->BuildFilterList(1, 0);
    ClickAt(Screen(L, { 10, 3 }));
    EXPECT_FALSE(L->GetVisible());
    EXPECT_EQ(Views.Log->Count("ApplySelectedFilterValue"), 2);

    Grid->BuildFilterList(1, 0);
    Press(VK_ESCAPE);
    EXPECT_FALSE(L->GetVisible());
    EXPECT_EQ(Views.Log->Count("ApplySelectedFilterValue"), 2);
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(FilterListGrid, CheckListStaysOpenWhileCheckingAndEscapeCloses)
{
    Grid->SetFilterDropDownCheck(true);
    Fill({ u"a", u"b", u"c" });
    TDropCheckList* L = Grid->GetDropCheckList();
    int Selected = -1;
    Grid->BuildFilterList(1, 0);
    L->OnSelect = [&](TObject*, int Index) { Selected = Index; };
    Press(VK_DOWN); // no item is current yet: the first becomes it
    Press(VK_SPACE);
    EXPECT_EQ(Selected, 0);
    EXPECT_TRUE(L->GetChecked(0));
    ClickAt(Screen(L, { 5, L->GetItemHeight() + 3 })); // the second item's box
    EXPECT_EQ(Selected, 1);
    EXPECT_TRUE(L->GetChecked(1));
    EXPECT_TRUE(L->GetVisible());
    Press(VK_ESCAPE);
    EXPECT_FALSE(L->GetVisible());
    EXPECT_TRUE(Grid->Focused());
}

TEST_F(FilterListGrid, CancelModeClosesOnlyWithThePointerAwayFromTheList)
{
    int Closed = -2;
    Grid->OnFilterClose = [&](TObject* Sender, int ACol) {
        EXPECT_EQ(Sender, Grid);
        Closed = ACol;
    };
    Fill({ u"a", u"b" });
    struct Case {
        bool Check;
        TPoint Pointer; // in the list's client coordinates
        bool Closes;
    };
    const Case Cases[] = {
        { false, { 5, 5 }, false },   // over the list
        { false, { 5, -10 }, false }, // over the button above the plain list
        { true, { 5, -10 }, true },   // the check list has no such margin
        { false, { 5, 400 }, true },  // far below
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Check << " " << C.Pointer.Y);
        Grid->SetFilterDropDownCheck(C.Check);
        Grid->SetFilterCol(3);
        Closed = -2;
        Grid->BuildFilterList(3, 0);
        TCustomListBox* L = C.Check ? static_cast<TCustomListBox*>(Grid->GetDropCheckList())
                                    : static_cast<TCustomListBox*>(Grid->GetDropList());
        Headless::MouseMove(Screen(L, C.Pointer));
        L->Perform(CM_CANCELMODE, 0, 0);
        EXPECT_EQ(L->GetVisible(), !C.Closes);
        EXPECT_EQ(Closed, C.Closes ? 3 : -2);
        EXPECT_EQ(Grid->GetFilterCol(), C.Closes ? -1 : 3);
    }
}

TEST_F(FilterListGrid, AReleaseElsewhereClosesTheOpenList)
{
    std::vector<int> Closed;
    Grid->OnFilterClose = [&](TObject*, int ACol) { Closed.push_back(ACol); };
    Fill({ u"a", u"b" });
    for (bool Check : { false, true }) {
        SCOPED_TRACE(Check);
        Closed.clear();
        Grid->SetFilterDropDownCheck(Check);
        Grid->SetFilterCol(3);
        Grid->BuildFilterList(3, 0);
        TCustomListBox* L = Check ? static_cast<TCustomListBox*>(Grid->GetDropCheckList())
                                  : static_cast<TCustomListBox*>(Grid->GetDropList());
        ASSERT_TRUE(L->GetVisible());
        const TRect R = Grid->CellRect(2, 3);
        Grid->MouseUp(mbLeft, TShiftState(), R.Left + 10, R.Top + 5);
        EXPECT_FALSE(L->GetVisible());
        EXPECT_EQ(Closed, std::vector<int> { 3 });
        EXPECT_EQ(Grid->GetFilterCol(), -1);
    }
}
