// Edit links, headless: a plain edit serving as the grid's editor of
// edCustom cells, in the cell or in a pop-up form; the keys it keeps or
// hands back, Escape, refused validation, Tab to the next cell, the
// pop-up's place and two grids sharing one link.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/EditLink.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

// A link whose control is a plain edit.
class TEditBoxLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    TEdit* Edit { nullptr };
    TWinControl* LastParent { nullptr };
    int Created { 0 };

    TWinControl* GetEditControl() override { return Edit; }
    void CreateEditor(TWinControl* AParent) override
    {
        LastParent = AParent;
        if (!Edit) {
            Edit = new TEdit(this);
            ++Created;
            Edit->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) { EditKeyDown(Sender, Key, Shift); };
        }
        Edit->SetParent(AParent);
    }
    void DestroyEditor() override
    {
        delete Edit;
        Edit = nullptr;
    }
    String GetEditorValue() override { return Edit ? Edit->GetText() : String(); }
    void SetEditorValue(const String& S) override
    {
        if (Edit)
            Edit->SetText(S);
    }
};

struct LinkGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    std::unique_ptr<TEditBoxLink> Link;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Link = std::make_unique<TEditBoxLink>(nullptr);
        Grid = MakeGrid(10);
        Form->Show();
        Application->ProcessMessages();
    }
    TDedOzovedUrad* MakeGrid(int Top)
    {
        auto* G = new TDedOzovedUrad(Form.get());
        G->SetParent(Form.get());
        G->SetBounds(10, Top, 500, 200);
        G->SetColCount(5);
        G->SetRowCount(8);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 5; ++c)
                G->SetCells(c, r, u"c" + IntToStr(c) + u"r" + IntToStr(r));
        G->SetOptions(G->GetOptions() + TGridOptions { goEditing });
        G->SetDefaultEditor(edCustom);
        G->SetEditLink(Link.get());
        return G;
    }
    void Open(TDedOzovedUrad* G, int c, int r)
    {
        G->SetFocus();
        G->MoveColRow(c, r, true, true);
        Headless::PumpUntilIdle();
        G->ShowInplaceEdit();
        Headless::PumpUntilIdle();
    }
    void Open(int c, int r) { Open(Grid, c, r); }
    // The user replaces the edit's text, then presses Key.
    void TypeAndPress(const String& Text, WORD Key, bool Shift = false)
    {
        Link->Edit->SetText(Text);
        Headless::Key(Key, Shift);
        Headless::PumpUntilIdle();
    }
    bool EditShows() { return Link->Edit && Link->Edit->GetVisible() && Link->Edit->GetEnabled(); }
};

} // namespace

TEST_F(LinkGrid, TheLinkEditsTheCellInPlace)
{
    Open(2, 3);
    ASSERT_NE(Link->Edit, nullptr);
    EXPECT_EQ(Link->LastParent, Grid);
    EXPECT_EQ(Link->GetGrid(), Grid);
    EXPECT_EQ(Link->GetEditCell(), TPoint(2, 3));
    EXPECT_EQ(Link->Edit->GetText(), u"c2r3");
    EXPECT_TRUE(Link->Edit->Focused());
    EXPECT_TRUE(Link->GetSubClassed());
    EXPECT_EQ(Grid->GetCellEditor(), Link->Edit);
    const TRect Cell = Grid->CellRect(2, 3);
    EXPECT_EQ(Link->Edit->GetLeft(), Cell.Left);
    EXPECT_EQ(Link->Edit->GetWidth(), Cell.Right - Cell.Left - Grid->GetGridLineWidth());

    // Under goTabs the grid's window procedure asks for the grid's keys.
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
    EXPECT_EQ(Link->Edit->Perform(WM_GETDLGCODE, 0, 0) & 0x83, 0x83);

    Grid->HideInplaceEdit();
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_FALSE(Link->GetSubClassed());
    EXPECT_FALSE(Link->Edit->GetVisible());
    EXPECT_EQ(Grid->GetCells(2, 3), u"c2r3");
}

// Which keys stay in the control and which commit and move: a table over
// the link's switches.
TEST_F(LinkGrid, KeysAreKeptOrCommitted)
{
    struct Case {
        const char* Name;
        WORD Key;
        void (TEditLink::*Want)(bool);
        bool Committed;
        TPoint FocusAfter;
    };
    const Case Cases[] = {
        { "Down commits and moves", VK_DOWN, nullptr, true, { 1, 2 } },
        { "Down kept", VK_DOWN, &TEditLink::SetWantKeyUpDown, false, { 1, 1 } },
        { "Return commits and advances", VK_RETURN, nullptr, true, { 2, 1 } },
        { "Return kept", VK_RETURN, &TEditLink::SetWantKeyReturn, false, { 1, 1 } },
        { "Right kept", VK_RIGHT, &TEditLink::SetWantKeyLeftRight, false, { 1, 1 } },
        { "Home kept", VK_HOME, &TEditLink::SetWantKeyHomeEnd, false, { 1, 1 } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Link = std::make_unique<TEditBoxLink>(nullptr);
        Grid->SetEditLink(Link.get());
        Grid->GetNavigation()->SetAdvanceOnEnter(true);
        Grid->GetNavigation()->SetAdvanceDirection(adLeftRight);
        if (C.Want)
            (Link.get()->*C.Want)(true);
        Grid->SetCells(1, 1, u"old");
        Open(1, 1);
        TypeAndPress(u"new", C.Key);
        EXPECT_EQ(Grid->GetCells(1, 1), C.Committed ? u"new" : u"old");
        EXPECT_EQ(TPoint(Grid->GetCol(), Grid->GetRow()), C.FocusAfter);
        EXPECT_EQ(Grid->EditMode, !C.Committed);
        Grid->HideInplaceEdit();
        Headless::PumpUntilIdle();
    }
}

TEST_F(LinkGrid, EscapeRestoresTheTextFromBeforeTheEdit)
{
    Open(1, 2);
    TypeAndPress(u"changed", VK_ESCAPE);
    EXPECT_EQ(Grid->GetCells(1, 2), u"c1r2");
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(TPoint(Grid->GetCol(), Grid->GetRow()), TPoint(1, 2));
}

TEST_F(LinkGrid, RefusedValidationKeepsTheEditorOpen)
{
    Grid->OnCellValidate = [](TObject*, int, int, String& Value, bool& Valid) { Valid = Value != u"bad"; };
    Open(1, 1);
    TypeAndPress(u"bad", VK_RETURN);
    EXPECT_EQ(Grid->GetCells(1, 1), u"c1r1");
    EXPECT_EQ(TPoint(Grid->GetCol(), Grid->GetRow()), TPoint(1, 1));
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_TRUE(EditShows());
    EXPECT_EQ(Link->Edit->GetText(), u"c1r1");

    // The accepted value is stored; the link's editor comes back once on
    // the cell that refused, and the next Return moves on.
    TypeAndPress(u"good", VK_RETURN);
    EXPECT_EQ(Grid->GetCells(1, 1), u"good");
    EXPECT_TRUE(Grid->GetLastValidation());
    EXPECT_EQ(TPoint(Grid->GetCol(), Grid->GetRow()), TPoint(1, 1));
    Headless::Key(VK_RETURN);
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Grid->GetCells(1, 1), u"good");
}

TEST_F(LinkGrid, TabToNextAtEndOpensTheEditorOnTheNextCell)
{
    Grid->GetNavigation()->SetTabToNextAtEnd(true);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
    Grid->AddCheckBox(3, 1, false, false);
    Open(1, 1);
    TypeAndPress(u"one", VK_TAB);
    EXPECT_EQ(Grid->GetCells(1, 1), u"one");
    EXPECT_EQ(TPoint(Grid->GetCol(), Grid->GetRow()), TPoint(2, 1));
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Link->GetEditCell(), TPoint(2, 1));
    EXPECT_EQ(Link->Edit->GetText(), u"c2r1");

    // The next cell holds a check box: the focus moves, no editor opens.
    TypeAndPress(u"two", VK_TAB);
    EXPECT_EQ(Grid->GetCells(2, 1), u"two");
    EXPECT_EQ(TPoint(Grid->GetCol(), Grid->GetRow()), TPoint(3, 1));
    EXPECT_FALSE(Grid->EditMode);
}

TEST_F(LinkGrid, PopupOpensAtTheCellOrAtTheGivenScreenPlace)
{
    Link->SetEditStyle(esPopup);
    Link->SetPopupWidth(120);
    Link->SetPopupHeight(60);
    struct Case {
        int Left, Top;
        bool CellX, CellY;
    };
    const Case Cases[] = { { -1, -1, true, true }, { -1, 200, true, false }, { 300, -1, false, true },
        { 300, 200, false, false } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Left << "/" << C.Top);
        Link->SetPopupLeft(C.Left);
        Link->SetPopupTop(C.Top);
        Open(1, 2);
        TForm* Popup = Link->GetPopupForm();
        ASSERT_NE(Popup, nullptr);
        EXPECT_EQ(Popup->GetOwner(), Link.get());
        EXPECT_EQ(Link->LastParent, Popup);
        const TRect Cell = Grid->CellRect(1, 2);
        const TPoint CellOnScreen = Grid->ClientToScreen(TPoint(Cell.Left, Cell.Top));
        EXPECT_EQ(Popup->GetLeft(), C.CellX ? CellOnScreen.X : 300);
        EXPECT_EQ(Popup->GetTop(), C.CellY ? CellOnScreen.Y : 200);
        EXPECT_EQ(Popup->GetWidth(), 120);
        EXPECT_EQ(Popup->GetHeight(), 60);
        EXPECT_EQ(Link->Edit->GetText(), u"c1r2");

        TypeAndPress(u"popped", VK_RETURN);
        EXPECT_EQ(Grid->GetCells(1, 2), u"popped");
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_EQ(Link->Edit, nullptr); // the pop-up's editor goes with it
        EXPECT_FALSE(Popup->GetVisible());
        Grid->SetCells(1, 2, u"c1r2");
    }
}

TEST_F(LinkGrid, ThePopupFormIsTheLinksOwn)
{
    // A component of the application that happens to carry the name the
    // pop-up form once had is left alone.
    auto* Unrelated = new TForm(Application);
    Unrelated->SetName(u"gridformLink1");
    Link->SetName(u"Link1");
    Link->SetEditStyle(esPopup);
    Link->SetPopupWidth(80);
    Link->SetPopupHeight(40);
    Open(1, 1);
    TForm* Popup = Link->GetPopupForm();
    ASSERT_NE(Popup, nullptr);
    EXPECT_NE(Popup, Unrelated);
    EXPECT_EQ(Application->FindComponent(u"gridformLink1"), Unrelated);
    Grid->HideInplaceEdit();
    Headless::PumpUntilIdle();
    delete Unrelated;
}

TEST_F(LinkGrid, TwoGridsShareOneLink)
{
    TDedOzovedUrad* Second = MakeGrid(230);
    Headless::PumpUntilIdle();
    Open(Grid, 1, 1);
    EXPECT_EQ(Link->GetGrid(), Grid);
    TypeAndPress(u"first", VK_RETURN);

    Open(Second, 2, 2);
    EXPECT_EQ(Link->GetGrid(), Second);
    EXPECT_EQ(Link->LastParent, Second);
    EXPECT_EQ(Link->Created, 1);
    TypeAndPress(u"second", VK_RETURN);
    EXPECT_EQ(Grid->GetCells(1, 1), u"first");
    EXPECT_EQ(Second->GetCells(2, 2), u"second");
    EXPECT_EQ(Grid->GetCells(2, 2), u"c2r2");

    // A link that goes is forgotten by the grids.
    Link.reset();
    EXPECT_EQ(Grid->GetEditLink(), nullptr);
    EXPECT_EQ(Second->GetEditLink(), nullptr);
}

TEST_F(LinkGrid, DropDownButtonFollowsTheLink)
{
    EXPECT_FALSE(Grid->EditLinkDropDown());
    Link->SetDropDown(true);
    EXPECT_TRUE(Grid->EditLinkDropDown());
}

TEST_F(LinkGrid, KeepFocusSendsTheFocusBackToTheControl)
{
    Link->SetKeepFocus(true);
    Open(1, 1);
    ASSERT_TRUE(Link->Edit->Focused());
    // The grid itself takes the focus and is entered while the edit runs.
    ::SetFocus(Grid->GetHandle());
    Grid->Perform(CM_ENTER, 0, 0);
    Headless::PumpUntilIdle();
    EXPECT_TRUE(Link->Edit->Focused());
    EXPECT_TRUE(Grid->EditMode);

    Link->SetKeepFocus(false);
    ::SetFocus(Grid->GetHandle());
    Grid->Perform(CM_ENTER, 0, 0);
    EXPECT_FALSE(Link->Edit->Focused());
}

TEST(GridEditMask, StartsFromEditMaskAndTheEventMayChangeIt)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(3);
    EXPECT_EQ(G.GetEditMask(1, 1), u"");
    G.SetEditMask(u"999");
    EXPECT_EQ(G.GetEditMask(1, 1), u"999");
    G.OnGetEditMask = [](TObject*, int ACol, int, String& Value) {
        if (ACol == 2)
            Value += u"-00";
    };
    EXPECT_EQ(G.GetEditMask(1, 1), u"999");
    EXPECT_EQ(G.GetEditMask(2, 1), u"999-00");
}

// A grid that goes while its link edits leaves the link's control with its
// own window procedure and the link without a grid.
TEST_F(LinkGrid, AGridThatGoesReleasesTheLinksControl)
{
    Open(1, 1);
    ASSERT_TRUE(Link->GetSubClassed());
    TEdit* Edit = Link->Edit;
    Edit->SetParent(Form.get()); // the control outlives the grid
    delete Grid;
    Grid = nullptr;
    EXPECT_EQ(Link->GetGrid(), nullptr);
    EXPECT_FALSE(Link->GetSubClassed());
    // Reaches the edit's own procedure, not the freed grid's stand-in.
    Edit->Perform(WM_GETDLGCODE, 0, 0);
    WORD Key = VK_RETURN;
    Link->EditKeyDown(Edit, Key, TShiftState()); // no grid: nothing happens
    EXPECT_EQ(Key, VK_RETURN);
}
