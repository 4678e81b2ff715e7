#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumRirEvozDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

using namespace DuzEzirezUderArirOver;

namespace {

struct RirEvozDropDown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumRirEvozDropDown* D { nullptr };
    int Selects { 0 };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 400);
        D = new TLumRirEvozDropDown(Form.get());
        D->SetParent(Form.get());
        D->SetBounds(20, 20, 200, 22);
        D->OnSelect = [this](TObject*) { ++Selects; };
        D->GetColumns()->Add()->SetHeader(u"Name");
        D->GetColumns()->Add()->SetHeader(u"Colour");
        Fill({ u"Apple", u"Banana", u"Cherry" });
        Form->Show();
        D->SetFocus();
        Pump();
    }
    void Fill(std::initializer_list<String> Names)
    {
        D->BeginUpdate();
        D->GetItems()->Clear();
        int i = 0;
        for (const String& Name : Names) {
            TDropDownItem* Item = D->GetItems()->Add();
            Item->GetText()->Add(Name);
            Item->GetText()->Add(u"c" + IntToStr(i++));
        }
        D->EndUpdate();
    }
    static void Pump() { Application->ProcessMessages(); }
    void Type(const String& Text)
    {
        Headless::Type(Text);
        Pump();
    }
    void Key(WORD K)
    {
        Headless::Key(K);
        Pump();
    }
    void Open()
    {
        D->ShowDropDown();
        Pump();
        ASSERT_TRUE(D->GetDroppedDown());
    }
    DOdoZedAvud* G() const { return D->GetColGrid(); }
    int ObjectAt(int Row) const { return int(reinterpret_cast<std::intptr_t>(G()->GetObjects(0, Row))); }
    TPoint CellCentre(int c, int r) const
    {
        const TRect R = G()->CellRect(c, r);
        return G()->ClientToScreen(TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2));
    }
    String Selected() const
    {
        return D->GetEditText().substr(std::size_t(D->GetSelStart()), std::size_t(D->GetSelLength()));
    }
    void SortByColumn0Descending()
    {
        G()->GetSortSettings()->SetColumn(0);
        G()->GetSortSettings()->SetDirection(sdDescending);
        G()->QSort();
    }
};

} // namespace

// ---- the embedded grid ----

TEST_F(RirEvozDropDown, ItemsFillTheGridAndTheirIndexFollowsASort)
{
    D->GetColumns()->GetItem(1)->SetColumnType(ctImage);
    Open();
    ASSERT_EQ(G()->GetRowCount(), 4);
    EXPECT_EQ(G()->GetCells(0, 0), u"Name");
    EXPECT_EQ(G()->GetCells(1, 0), u"Colour");
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(ObjectAt(r), r - 1);
    SortByColumn0Descending();
    EXPECT_EQ(G()->GetCells(0, 1), u"Cherry");
    EXPECT_EQ(ObjectAt(1), 2);
    EXPECT_EQ(ObjectAt(3), 0);
    EXPECT_EQ(D->ItemIndexOfRow(1), 2);
    EXPECT_EQ(D->RowOfItemIndex(0), 3);
}

TEST_F(RirEvozDropDown, SizesAutoSizeAndWordWrapColumns)
{
    Fill({ u"", u"", u"" });
    for (TDropDownItem* Item : *D->GetItems())
        Item->GetText()->SetStrings(1, u"x");
    D->GetColumns()->GetItem(0)->SetAutoSize(true);
    D->GetColumns()->GetItem(1)->SetWordwrap(true);
    D->SetColumnSizeWithDropDown(false);
    Open();
    EXPECT_EQ(G()->GetColWidths(0), 0);
    for (int r = 1; r < G()->GetRowCount(); ++r)
        EXPECT_GE(G()->GetRowHeights(r), 24) << r;
}

TEST_F(RirEvozDropDown, ClicksOnTheHeaderOrACheckBoxPickNothing)
{
    D->SetItemIndex(0);
    Open();
    G()->AddCheckBox(1, 2, false, false);
    Headless::Click(CellCentre(0, 0));
    Pump();
    EXPECT_EQ(Selects, 0);
    Headless::Click(CellCentre(1, 2));
    Pump();
    EXPECT_EQ(Selects, 0);
    EXPECT_TRUE(D->GetDroppedDown());
    Headless::Click(CellCentre(0, 3));
    Pump();
    EXPECT_EQ(Selects, 1);
    EXPECT_FALSE(D->GetDroppedDown());
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(D->GetText(), u"Cherry");
}

TEST_F(RirEvozDropDown, TheWheelMovesWithoutConfirming)
{
    struct Case {
        const char* Name;
        bool ByReturn;
        bool ByClickOutside;
        String Text;
    };
    for (const Case& C : { Case { "Esc", false, false, u"Apple" }, Case { "click outside", false, true, u"Apple" },
             Case { "Return", true, false, String() } }) {
        SCOPED_TRACE(C.Name);
        D->SetItemIndex(0);
        Open();
        Headless::Wheel(-120, CellCentre(0, 1));
        Pump();
        ASSERT_GT(G()->GetRow(), 1);
        // Return picks the row the wheel reached.
        const String Expected = C.ByReturn ? G()->GetCells(0, G()->GetRow()) : C.Text;
        if (C.ByReturn)
            Key(VK_RETURN);
        else if (C.ByClickOutside)
            Headless::Click(Form->ClientToScreen(TPoint(400, 300)));
        else
            Key(VK_ESCAPE);
        Pump();
        EXPECT_FALSE(D->GetDroppedDown());
        EXPECT_EQ(D->GetText(), Expected);
        D->SetFocus();
        Pump();
    }
}

TEST_F(RirEvozDropDown, WindowsXPSelectsInTheHighlightColours)
{
    D->SetUIStyle(tsWindowsXP);
    Open();
    EXPECT_EQ(G()->GetSelectionColor(), clHighlight);
    EXPECT_EQ(G()->GetSelectionTextColor(), clHighlightText);
    EXPECT_EQ(D->GetLineColor(), TColor(0xC0C0C0));
    EXPECT_EQ(D->GetFixedLineColor(), TColor(0));
}

TEST_F(RirEvozDropDown, TheGridsEventsReachTheOnGridEvents)
{
    D->GetColumns()->GetItem(1)->SetAlignment(taRightJustify);
    std::vector<String> Heard;
    D->OnGridGetAlignment = [&](TObject* Sender, int, int ACol, TAlignment& HAlign, TVAlignment&) {
        Heard.push_back(u"align " + IntToStr(ACol) + (HAlign == taRightJustify ? u" right" : u" left")
            + (Sender == G() ? u" grid" : u""));
    };
    D->OnGridTopLeftChanged = [&](TObject* Sender) { Heard.push_back(Sender == D ? u"top-left drop-down" : u"top-left"); };
    D->OnGridRightClickCell = [&](TObject*, int ARow, int ACol) {
        Heard.push_back(u"right " + IntToStr(ACol) + u"," + IntToStr(ARow));
    };
    Open();
    // Painting the opened grid asked for alignments already.
    ASSERT_FALSE(Heard.empty());
    Heard.clear();
    TAlignment HAlign = taLeftJustify;
    TVAlignment VAlign {};
    G()->OnGetAlignment(G(), 1, 1, HAlign, VAlign);
    G()->OnTopLeftChanged(G());
    G()->OnRightClickCell(G(), 2, 1);
    EXPECT_EQ(Heard, (std::vector<String> { u"align 1 right grid", u"top-left drop-down", u"right 1,2" }));
}

// ---- the drop-down ----

TEST_F(RirEvozDropDown, TypingLooksUpAndCompletes)
{
    Type(u"b");
    EXPECT_EQ(D->GetText(), u"Banana");
    EXPECT_EQ(Selected(), u"anana");
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_GE(Selects, 1);
    EXPECT_EQ(D->GetLookupEntry(), u"b");
}

TEST_F(RirEvozDropDown, APrefixWithoutAMatchIsCutAtTheCaret)
{
    Type(u"bx");
    EXPECT_EQ(D->GetText(), u"Bx");
    EXPECT_EQ(D->GetSelStart(), 2);
}

TEST_F(RirEvozDropDown, SetItemIndexOutsideTheItems)
{
    D->SetItemIndex(1);
    D->SetItemIndex(5);
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetText(), u"Banana");
    D->SetItemIndex(-1);
    EXPECT_EQ(D->GetItemIndex(), -1);
    EXPECT_EQ(D->GetText(), u"");
}

TEST_F(RirEvozDropDown, ASortedGridKeepsTheItemAndTypingFindsItsRow)
{
    D->SetSorting(gsSingleColumn);
    D->SetItemIndex(0);
    Open();
    ASSERT_EQ(G()->GetRow(), 1);
    // A header click: the grid asks, sorts, then reports the click.
    bool DoSort = true;
    G()->OnCanSort(G(), 0, DoSort);
    SortByColumn0Descending();
    G()->OnClickSort(G(), 0);
    EXPECT_EQ(G()->GetRow(), 3);
    EXPECT_EQ(D->GetItemIndex(), 0);
    EXPECT_EQ(D->GetText(), u"Apple");
    // Typing in the open grid lands on the typed item's row, not on item
    // index + fixed rows.
    Type(u"c");
    EXPECT_EQ(G()->GetRow(), 1);
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(D->GetText(), u"Cherry");
}

TEST_F(RirEvozDropDown, ALongLookupTextCompletesWhole)
{
    const String Long = u"L" + String(299, u'o');
    Fill({ u"Apple", Long });
    Type(u"l");
    EXPECT_EQ(D->GetText().size(), 300u);
    EXPECT_EQ(D->GetItemIndex(), 1);
}

TEST_F(RirEvozDropDown, AdjustDropDownHeightShowsWholeRows)
{
    D->GetDropDownHeader()->SetVisible(false);
    D->GetDropDownFooter()->SetVisible(false);
    int H = 200;
    D->AdjustDropDownHeight(H);
    EXPECT_EQ(H, 185);
    D->SetDropDownRowHeight(0);
    H = 200;
    D->AdjustDropDownHeight(H);
    EXPECT_EQ(H, 200);
}

TEST_F(RirEvozDropDown, SizeColumnsToDropDownSpreadsTheWidth)
{
    struct Case {
        std::vector<int> Widths;
        int Window;
        std::vector<int> Expected;
    };
    for (const Case& C : { Case { { 80, 80, 80 }, 241, { 80, 80, 80 } }, Case { { 100, 100 }, 350, { 174, 174 } } }) {
        D->SetDropDownAutoWidth(false);
        D->GetColumns()->Clear();
        for (int w : C.Widths)
            D->GetColumns()->Add()->SetWidth(w);
        Open();
        D->GetDropDownForm()->SetWidth(C.Window);
        D->SizeColumnsToDropDown();
        for (std::size_t i = 0; i < C.Expected.size(); ++i)
            EXPECT_EQ(G()->GetColWidths(int(i)), C.Expected[i]) << C.Window << " column " << i;
        D->HideDropDown(true);
        Pump();
    }
}

TEST_F(RirEvozDropDown, TheGridFindsTheDropDownThatSizesItsColumns)
{
    auto* Sizing = dynamic_cast<IGridDropDownSizing*>(G()->GetParent()->GetOwner());
    ASSERT_NE(Sizing, nullptr);
    EXPECT_TRUE(Sizing->GetColumnSizeWithDropDown());
    D->SetColumnSizeWithDropDown(false);
    EXPECT_FALSE(Sizing->GetColumnSizeWithDropDown());
}

TEST_F(RirEvozDropDown, PageDownStepsTenOrToTheLast)
{
    D->BeginUpdate();
    D->GetItems()->Clear();
    for (int i = 0; i < 15; ++i)
        D->GetItems()->Add()->GetText()->Add(u"item" + IntToStr(i));
    D->EndUpdate();
    for (auto [From, To] : { std::pair { 2, 12 }, { 8, 14 } }) {
        D->SetItemIndex(From);
        D->SelectPageDown();
        EXPECT_EQ(D->GetItemIndex(), To) << From;
    }
}

TEST_F(RirEvozDropDown, NarrowDownNarrowsAndClears)
{
    Fill({ u"Apple", u"Apricot", u"Banana" });
    D->SetLookupMethod(lmNarrowDown);
    Open();
    Char C = u'a';
    D->ControlKeyPress(C);
    C = u'p';
    D->ControlKeyPress(C);
    EXPECT_EQ(G()->GetRowCount(), 3);
    EXPECT_EQ(G()->GetCells(0, 1), u"Apple");
    EXPECT_EQ(G()->GetRow(), 1);
    // The finished narrow-down cleared the entry; a Backspace clears the filter.
    EXPECT_EQ(D->GetLookupEntry(), u"");
    EXPECT_EQ(D->LookupChar(Char(8)), -1);
    D->LookupChar(Char(' '));
    EXPECT_EQ(G()->GetRowCount(), 4);
}

TEST_F(RirEvozDropDown, GridSelectCountsAllFixedRows)
{
    D->SetUseItems(false);
    Open();
    G()->SetRowCount(5);
    G()->SetFixedRows(2);
    for (int r = 2; r < 5; ++r)
        G()->SetCells(0, r, u"row" + IntToStr(r));
    G()->SetRow(3);
    G()->SetConfirmSelection(true);
    D->GridSelect(G());
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetText(), u"row3");
    EXPECT_FALSE(D->GetDroppedDown());
}
