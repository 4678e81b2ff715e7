#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridDataViewsDouble.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Menus.h"
#include "platform/win/WinUser.h"
#include "richtext/MiniHTML.h"

namespace {

struct CountingNotifier : TGridChangeNotifier {
    using TGridChangeNotifier::TGridChangeNotifier;
    int Calls { 0 };
    void CellsChanged(const TRect&) override { ++Calls; }
};

struct Listener : TInterfacedObject, ITDedOzovedUradSelect {
    bool* Gone;
    explicit Listener(bool* G) : Gone(G) { }
    ~Listener() override { *Gone = true; }
    HRESULT QueryInterface(const TGUID& iid, void** obj) override
    {
        return TInterfacedObject::QueryInterface(iid, obj);
    }
    int AddRef() override { return TInterfacedObject::AddRef(); }
    int Release() override { return TInterfacedObject::Release(); }
    void SelectionChange(int, int) override { }
};

} // namespace

TEST(GridHooks, RegisterNotifierTwiceListsItOnce)
{
    TDedOzovedUrad G(nullptr);
    CountingNotifier N(nullptr);
    G.RegisterNotifier(&N);
    G.RegisterNotifier(&N);
    EXPECT_EQ(G.GetNotifiers().size(), 1u);
    G.CellsChanged(TRect(0, 0, 1, 1));
    EXPECT_EQ(N.Calls, 1);
    G.UnRegisterNotifier(&N);
    G.CellsChanged(TRect(0, 0, 1, 1));
    EXPECT_EQ(N.Calls, 1);
}

// ftClear empties the filter cell and leaves a disabled ftContains
// condition; the filter goes off and on again through the data views.
TEST(GridHooks, ApplyFilterEditAppliesTheTypedCondition)
{
    TRecordingDataViewsScope Views;
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(5);
    G.GetFilterEdit()->SetRow(0);
    std::vector<std::string> Events;
    G.OnBeforeFilter = [&](TObject*) { Events.push_back("before"); };
    G.OnFilterDone = [&](TObject*) { Events.push_back("done"); };
    G.OnFilterEditUpdate = [&](TObject*, int ACol, const String& Condition, TFilterType Type) {
        Events.push_back(
            "update " + std::to_string(ACol) + " '" + StringToUtf8(Condition) + "' " + std::to_string(int(Type)));
    };

    G.SetCells(1, 0, u"abc");
    G.ApplyFilterEdit(1, ftClear);
    EXPECT_EQ(G.GetCells(1, 0), u"");
    ASSERT_TRUE(G.GetFilter()->HasFilter(1));
    TFilterData* Condition = G.GetFilter()->GetColFilter(1);
    EXPECT_EQ(Condition->GetFilterType(), ftContains);
    EXPECT_FALSE(Condition->GetEnabled());
    EXPECT_EQ(Views.Log->Calls, (std::vector<std::string> { "SetFilterActive(0)", "SetFilterActive(1)" }));
    EXPECT_EQ(Events, (std::vector<std::string> { "update 1 '' 2", "before", "done" }));

    // A typed text with a type: the existing condition takes both.
    G.SetCells(1, 0, u"x");
    G.GetFilterEdit()->SetCaseSensitive(false);
    G.ApplyFilterEdit(1, ftStartsWith);
    EXPECT_EQ(G.GetFilter()->GetCount(), 1);
    EXPECT_TRUE(Condition->GetEnabled());
    EXPECT_EQ(Condition->GetFilterType(), ftStartsWith);
    EXPECT_FALSE(Condition->GetCaseSensitive());

    // A handler that clears the flag leaves the filtering to the application.
    Events.clear();
    Views.Log->Calls.clear();
    G.OnFilterEditUpdate = [&](TObject*, int, const String&, TFilterType) { G.SetDoAutoEditFilter(false); };
    G.SetCells(2, 0, u"y");
    G.ApplyFilterEdit(2, ftNone);
    EXPECT_EQ(Views.Log->Calls, std::vector<std::string> { "SetFilterActive(0)" });
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(G.GetEditFilterCondition(), u"y");
    EXPECT_EQ(G.GetEditFilterColumn(), 2);
    EXPECT_EQ(G.GetEditFilterType(), ftContains);
}

// A component the grid refers to forgets it when it goes.
TEST(GridHooks, RemovedComponentsAreForgotten)
{
    TDedOzovedUrad G(nullptr);
    auto* Partner = new TDedOzovedUrad(nullptr);
    G.GetSyncGrid()->SetGrid(Partner);
    auto* Menu = new TPopupMenu(nullptr);
    G.SetFixedDropDownMenu(Menu);
    delete Partner;
    delete Menu;
    EXPECT_EQ(G.GetSyncGrid()->GetGrid(), nullptr);
    EXPECT_EQ(G.GetFixedDropDownMenu(), nullptr);
}

TEST(GridHooks, SelectionListenerIsHeldUntilReleased)
{
    TDedOzovedUrad G(nullptr);
    bool Gone = false;
    G.RegisterSelListener(new Listener(&Gone));
    EXPECT_NE(G.GetSelListener(), nullptr);
    EXPECT_FALSE(Gone);
    G.UnRegisterSelListener(nullptr);
    EXPECT_TRUE(Gone);
    EXPECT_EQ(G.GetSelListener(), nullptr);
}

TEST(GridHooks, SmallHooksAndTheirEvents)
{
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(2);
    EXPECT_TRUE(G.DoBeforeEdit(1, 1));
    G.OnBeforeEdit = [](TObject*, int ARow, int ACol, bool& Allow) { Allow = ARow != 1 || ACol != 2; };
    EXPECT_FALSE(G.DoBeforeEdit(2, 1));
    EXPECT_TRUE(G.DoBeforeEdit(1, 2));
    EXPECT_EQ(G.SearchPanelHeight(), 34);
    EXPECT_EQ(G.DefaultCheckTrueText(), u"Y");

    // The only normal row is emptied, not deleted.
    G.SetCells(1, 1, u"keep?");
    std::vector<int> Deleted;
    G.OnAutoDeleteRow = [&](TObject*, int ARow) { Deleted.push_back(ARow); };
    G.DoAutoDeleteRow(1);
    EXPECT_EQ(G.GetRowCount(), 2);
    EXPECT_EQ(G.GetCells(1, 1), u"");
    G.DoAutoInsertRow(1);
    EXPECT_EQ(G.GetRowCount(), 3);
    G.DoAutoDeleteRow(2);
    EXPECT_EQ(G.GetRowCount(), 2);
    EXPECT_EQ(Deleted, (std::vector<int> { 1, 2 }));
}

TEST(GridHooks, LookSettersReachWhatTheyDrive)
{
    TDedOzovedUrad G(nullptr);
    const TColor OldBk = VovHTMLE::HTMLHighlightBkColor(), OldText = VovHTMLE::HTMLHighlightTextColor();
    G.SetHighlightColor(clRed);
    G.SetHighlightTextColor(clBlue);
    EXPECT_EQ(VovHTMLE::HTMLHighlightBkColor(), clRed);
    EXPECT_EQ(VovHTMLE::HTMLHighlightTextColor(), clBlue);
    VovHTMLE::SetHTMLHighlightColors(OldBk, OldText);

    G.SetAutoThemeAdapt(true);
    EXPECT_TRUE(G.GetSearchFooter()->GetAutoThemeAdapt());
    G.SetAutoThemeAdapt(false);
    EXPECT_FALSE(G.GetSearchFooter()->GetAutoThemeAdapt());

    // A missing font changes nothing.
    G.GetActiveCellFont()->SetName(u"Arial");
    G.SetActiveCellFont(nullptr);
    EXPECT_EQ(G.GetActiveCellFont()->GetName(), u"Arial");
}

// The grid asks for typed characters while type-ahead can use them, and
// gives up Tab while Ctrl is held.
TEST(GridHooks, DialogCodeFollowsTypeAheadAndTabs)
{
    TDedOzovedUrad G(nullptr);
    auto Code = [&] {
        TMessage M {};
        M.Msg = WM_GETDLGCODE;
        G.Dispatch(M);
        return M.Result;
    };
    G.SetOptions(G.GetOptions() - TGridOptions { goEditing } + TGridOptions { goTabs });
    EXPECT_EQ(Code() & DLGC_WANTCHARS, 0);
    EXPECT_NE(Code() & DLGC_WANTTAB, 0);
    G.GetNavigation()->SetAutoGotoWhenSorted(true);
    EXPECT_NE(Code() & DLGC_WANTCHARS, 0);
}
