// The search bar's actions over real data views: typing searches (or
// narrows the rows down), find-next and find-previous step through the
// matches and the result label counts them.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/SearchPanel.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

namespace {

struct SearchBar : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 700, 400);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 600, 300);
        Grid->SetColCount(4);
        Grid->SetRowCount(12);
        Form->Show();
        Footer()->SetShowResults(true);
        Footer()->SetVisible(true);
        Application->ProcessMessages();
    }
    TSearchPanel* Panel() { return Grid->GetSearchPanel(); }
    TSearchFooter* Footer() { return Grid->GetSearchFooter(); }
    void Type(const String& Text)
    {
        Panel()->GetEditControl()->SetText(Text);
        Headless::PumpUntilIdle();
    }
    void Next() { Panel()->OnForwardClick(Panel()); }
    void Previous() { Panel()->OnBackwardClick(Panel()); }
    String Result() { return Panel()->GetResultLabel()->GetCaption(); }
    TPoint Focus() { return { Grid->GetCol(), Grid->GetRow() }; }
    // "key" in seven cells; down the columns: (1,2), (1,5), (1,9), (2,3),
    // (2,7), (3,1), (3,11).
    void FillSeven()
    {
        for (TPoint p : { TPoint { 1, 2 }, TPoint { 1, 5 }, TPoint { 1, 9 }, TPoint { 2, 3 }, TPoint { 2, 7 },
                 TPoint { 3, 1 }, TPoint { 3, 11 } })
            Grid->SetCells(p.X, p.Y, u"a key " + IntToStr(p.Y));
    }
};

} // namespace

TEST_F(SearchBar, TypingCountsAndSteppingMovesThroughTheMatches)
{
    FillSeven();
    Type(u"KEY");
    EXPECT_EQ(Result(), u"(1 of 7)");
    EXPECT_EQ(Focus(), (TPoint { 1, 2 }));
    EXPECT_TRUE(Panel()->GetForwardButton()->GetEnabled());
    for (int i = 0; i < 3; ++i)
        Next();
    EXPECT_EQ(Result(), u"(4 of 7)");
    EXPECT_EQ(Focus(), (TPoint { 2, 3 }));
    EXPECT_EQ(Grid->GetSearchCell(), (TPoint { 2, 3 }));
    // Past the last match the search starts over at the first.
    for (int i = 0; i < 4; ++i)
        Next();
    EXPECT_EQ(Result(), u"(1 of 7)");
    EXPECT_EQ(Focus(), (TPoint { 1, 2 }));
    // Back from the first to the last shows the total.
    Previous();
    EXPECT_EQ(Result(), u"(7 of 7)");
    EXPECT_EQ(Focus(), (TPoint { 3, 11 }));
    // Nothing found: error colours, empty label.
    Type(u"nothing");
    EXPECT_EQ(Result(), u"");
    EXPECT_EQ(Panel()->GetEditControl()->GetColor(), Footer()->GetSearchErrorColor());
    Type(u"");
    EXPECT_EQ(Panel()->GetEditControl()->GetColor(), Footer()->GetSearchColor());
    EXPECT_FALSE(Panel()->GetForwardButton()->GetEnabled());
}

TEST_F(SearchBar, AHandlerMayStopTheWrap)
{
    FillSeven();
    std::vector<TSearchAction> Actions;
    Grid->OnSearchFooterAction = [&](TObject*, const String&, int, int, TSearchAction A) { Actions.push_back(A); };
    Grid->OnSearchFooterSearchEnd = [](TObject*, bool& Continue) { Continue = false; };
    Type(u"key");
    for (int i = 0; i < 6; ++i)
        Next();
    EXPECT_EQ(Result(), u"(7 of 7)");
    Next();
    EXPECT_EQ(Grid->GetSearchCell(), (TPoint { -1, -1 }));
    EXPECT_EQ(Focus(), (TPoint { 3, 11 }));
    EXPECT_EQ(Result(), u"(7 of 7)");
    EXPECT_EQ(Actions.front(), saFindFirst);
    EXPECT_EQ(Actions.back(), saFindNext);
    EXPECT_EQ(Actions.size(), 8u);
}

TEST_F(SearchBar, SearchColumnIsSteppedDownWhateverTheDirection)
{
    FillSeven();
    Grid->SetCells(2, 1, u"key");
    Footer()->SetSearchColumn(2);
    Footer()->SetSearchDirection(sdLeftRight);
    Type(u"key");
    EXPECT_EQ(Result(), u"(1 of 3)");
    EXPECT_EQ(Focus(), (TPoint { 2, 1 }));
    Next();
    EXPECT_EQ(Focus(), (TPoint { 2, 3 }));
    Next();
    EXPECT_EQ(Focus(), (TPoint { 2, 7 }));
    EXPECT_EQ(Result(), u"(3 of 3)");
}

// The active column only, walking along the rows: the count ends and the
// steps go down the focus column.
TEST_F(SearchBar, ActiveColumnOnlyWithResultsEnds)
{
    FillSeven();
    Footer()->SetSearchActiveColumnOnly(true);
    Footer()->SetSearchDirection(sdLeftRight);
    Grid->SetCol(1);
    Type(u"key");
    EXPECT_EQ(Result(), u"(1 of 3)");
    Next();
    EXPECT_EQ(Focus(), (TPoint { 1, 5 }));
}

// Typing and stepping compare alike: a match that needs the accents
// stripped is counted and reached, and so is one in a hidden row.
TEST_F(SearchBar, SteppingUsesTheMatchFlagsOfTyping)
{
    Grid->SetCells(1, 2, u"cafe");
    Grid->SetCells(1, 4, u"<b>caf</b>\u00E9");
    Grid->SetCells(1, 6, u"CAFE");
    Footer()->SetIgnoreAccents(true);
    Type(u"caf\u00E9");
    EXPECT_EQ(Result(), u"(1 of 3)");
    Next();
    EXPECT_EQ(Focus(), (TPoint { 1, 4 }));
    Next();
    EXPECT_EQ(Focus(), (TPoint { 1, 6 }));
    EXPECT_EQ(Result(), u"(3 of 3)");

    Footer()->SetIgnoreAccents(false);
    Grid->HideRow(4);
    Footer()->SetSearchHiddenRows(true);
    Type(u"cafe");
    EXPECT_EQ(Result(), u"(1 of 2)");
    Next();
    // Real row 6 is display row 5 while row 4 is hidden.
    EXPECT_EQ(Grid->GetSearchCell(), (TPoint { 1, 6 }));
    EXPECT_EQ(Focus(), (TPoint { 1, 5 }));
    EXPECT_EQ(Result(), u"(2 of 2)");
}

TEST_F(SearchBar, NarrowDownKeepsTheFocusAndMatchesCaseOnlyWhenAsked)
{
    for (int r = 1; r < 12; ++r)
        Grid->SetCells(1, r, r % 3 == 0 ? u"Apple" : u"pear");
    Grid->SetCells(1, 5, u"\u00C1PPLE");
    Footer()->SetSearchType(VuzUdo::stNarrowDown);
    Footer()->SetSearchColumn(1);
    Grid->FocusCell(2, 7);
    const TPoint Before = Focus();
    Type(u"apple");
    EXPECT_EQ(Grid->GetRowCount(), 1 + 4);
    EXPECT_EQ(Focus().X, Before.X);
    Panel()->GetMatchCase()->SetChecked(true);
    Type(u"Apple");
    EXPECT_EQ(Grid->GetRowCount(), 1 + 3);
    Type(u"");
    EXPECT_EQ(Grid->GetRowCount(), 12);
}

TEST_F(SearchBar, FromTheFocusCellTheSearchStartsAfterIt)
{
    FillSeven();
    Footer()->SetShowResults(false);
    Footer()->SetSearchFromFocusCell(true);
    Grid->FocusCell(2, 3);
    Type(u"key");
    EXPECT_EQ(Focus(), (TPoint { 2, 7 }));
    EXPECT_EQ(Result(), u"");
    Next();
    EXPECT_EQ(Focus(), (TPoint { 3, 1 }));
    Previous();
    EXPECT_EQ(Focus(), (TPoint { 2, 7 }));
}
