#include "platform/vcl/ComCtrls.h"

#include <array>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Window.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

class Bars : public SimpleControls {
protected:
    static bool HasTextPixel(TControl* c, TRect area, TColor background)
    {
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x)
                if (PixelAt(c, { x, y }) != background)
                    return true;
        return false;
    }
};

// Records where it was asked to pop up instead of running a menu loop.
class TRecordingPopup : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int X, int Y) override { Points.push_back({ X, Y }); }
    std::vector<TPoint> Points;
};

TPoint Centre(TControl* c) { return { c->GetWidth() / 2, c->GetHeight() / 2 }; }

} // namespace

TEST_F(Bars, CheckButtonsToggleGroupsStayExclusiveAndDisabledButtonsIgnoreClicks)
{
    auto form = MakeForm(500, 200);
    auto* bar = Add<TToolBar>(form.get(), form.get(), { 0, 0, 500, 30 });
    std::vector<TToolButton*> b;
    int clicks[6] {};
    for (int i = 0; i < 6; ++i) {
        auto* button = new TToolButton(form.get());
        button->SetParent(bar);
        button->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
        b.push_back(button);
    }
    for (int i = 0; i < 3; ++i) {
        b[std::size_t(i)]->SetStyle(tbsCheck);
        b[std::size_t(i)]->SetGrouped(true);
    }
    b[3]->SetStyle(tbsSeparator);
    b[4]->SetStyle(tbsCheck);
    b[5]->SetEnabled(false);
    form->Show();

    // Buttons line up left to right; a separator is narrow.
    EXPECT_EQ(b[1]->GetLeft(), b[0]->GetLeft() + b[0]->GetWidth());
    EXPECT_EQ(b[3]->GetWidth(), 8);
    EXPECT_EQ(b[4]->GetLeft(), b[3]->GetLeft() + 8);

    struct Step {
        int click;
        std::array<bool, 5> down;
    };
    const Step steps[] = {
        { 0, { true, false, false, false, false } },
        { 1, { false, true, false, false, false } },
        { 1, { false, true, false, false, false } }, // the down button of the group stays down
        { 4, { false, true, false, false, true } },  // the separator ends the group
        { 4, { false, true, false, false, false } },
        { 5, { false, true, false, false, false } },
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.click);
        ClickAt(b[std::size_t(s.click)], Centre(b[std::size_t(s.click)]));
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(b[std::size_t(i)]->GetDown(), s.down[std::size_t(i)]) << "button " << i;
    }
    EXPECT_EQ(clicks[1], 2);
    EXPECT_EQ(clicks[5], 0);

    // With AllowAllUp the group may end with nothing down.
    b[1]->SetAllowAllUp(true);
    ClickAt(b[1], Centre(b[1]));
    EXPECT_FALSE(b[1]->GetDown());
}

TEST_F(Bars, DropDownButtonShowsItsMenuUnderTheButtonOnlyFromTheArrow)
{
    auto form = MakeForm();
    auto* bar = Add<TToolBar>(form.get(), form.get(), { 0, 0, 300, 30 });
    TRecordingPopup menu(form.get());
    auto* button = new TToolButton(form.get());
    button->SetParent(bar);
    button->SetStyle(tbsDropDown);
    button->SetDropdownMenu(&menu);
    int clicks = 0, dropDowns = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    button->OnDropDown = [&](TObject*) { ++dropDowns; };
    form->Show();
    ASSERT_GT(button->GetWidth(), bar->GetButtonWidth());

    ClickAt(button, { 4, 5 });
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(menu.Points.empty());

    const TRect arrow = button->DropDownRect();
    ClickAt(button, { arrow.Left + arrow.Width() / 2, 5 });
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dropDowns, 1);
    ASSERT_EQ(menu.Points.size(), 1u);
    EXPECT_EQ(menu.Points[0], button->ClientToScreen({ 0, button->GetHeight() }));

    // A menu freed elsewhere is forgotten.
    auto* temporary = new TRecordingPopup(form.get());
    button->SetDropdownMenu(temporary);
    delete temporary;
    EXPECT_EQ(button->GetDropdownMenu(), nullptr);
    ClickAt(button, { arrow.Left + arrow.Width() / 2, 5 });
    EXPECT_EQ(dropDowns, 2);
}

TEST_F(Bars, CaptionsWidenButtonsAndWrapStartsARowThatAutoSizeMakesRoomFor)
{
    auto form = MakeForm(600, 300);
    auto* bar = Add<TToolBar>(form.get(), form.get(), { 0, 0, 600, 30 });
    bar->SetAutoSize(true);
    auto* wide = new TToolButton(form.get());
    wide->SetParent(bar);
    wide->SetCaption(u"A rather long caption");
    auto* next = new TToolButton(form.get());
    next->SetParent(bar);
    next->SetCaption(u"x");
    form->Show();
    EXPECT_EQ(wide->GetWidth(), bar->GetButtonWidth()); // captions hidden
    const int oneRow = bar->GetHeight();

    bar->SetShowCaptions(true);
    EXPECT_GT(wide->GetWidth(), 100);
    EXPECT_EQ(next->GetLeft(), wide->GetWidth());
    EXPECT_EQ(next->GetTop(), 0);

    wide->SetWrap(true);
    EXPECT_EQ(next->GetLeft(), 0);
    EXPECT_EQ(next->GetTop(), wide->GetHeight());
    EXPECT_EQ(bar->GetHeight(), 2 * wide->GetHeight());
    EXPECT_GT(bar->GetHeight(), oneRow);

    // A hidden button leaves no gap.
    wide->SetVisible(false);
    EXPECT_EQ(next->GetLeft(), 0);
    EXPECT_EQ(next->GetTop(), 0);
}

TEST_F(Bars, ADownButtonLooksSunkenAndAFlatIdleButtonShowsNoEdge)
{
    auto form = MakeForm();
    auto* bar = Add<TToolBar>(form.get(), form.get(), { 0, 0, 300, 30 });
    auto* idle = new TToolButton(form.get());
    idle->SetParent(bar);
    auto* down = new TToolButton(form.get());
    down->SetParent(bar);
    down->SetStyle(tbsCheck);
    down->SetDown(true);
    form->Show();
    EXPECT_EQ(PixelAt(idle, { 0, 0 }), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(down, { 0, 0 }), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(down, { down->GetWidth() - 1, down->GetHeight() - 1 }), ColorToRGB(clBtnHighlight));
}

TEST_F(Bars, StatusPanelsLieSideBySideAndTheLastReachesTheEdge)
{
    auto form = MakeForm(1000, 300);
    form->SetBorderStyle(bsSingle); // no size grip
    auto* bar = Add<TStatusBar>(form.get(), form.get(), { 0, 0, 1000, 19 });
    const int widths[] = { 250, 200, 250, 50, 50 };
    for (int w : widths)
        bar->GetPanels()->Add()->SetWidth(w);
    form->Show();
    EXPECT_EQ(bar->GetAlign(), alBottom);
    const int client = bar->GetClientWidth();
    struct Expect {
        int index, left, right;
    };
    const Expect expected[] = { { 0, 0, 250 }, { 1, 250, 450 }, { 2, 450, 700 }, { 3, 700, 750 }, { 4, 750, client } };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(bar->PanelRect(e.index).Left, e.left);
        EXPECT_EQ(bar->PanelRect(e.index).Right, e.right);
    }
    EXPECT_EQ(bar->PanelAt({ 460, 10 }), 2);
    EXPECT_TRUE(bar->PanelRect(5).IsEmpty());

    // Alignment places the text: right-aligned text stays off the left part.
    TStatusPanel* first = bar->GetPanels()->GetItem(0);
    first->SetAlignment(taRightJustify);
    first->SetText(u"WWWW");
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_TRUE(HasTextPixel(bar, { 200, 4, 246, 16 }, face));
    EXPECT_FALSE(HasTextPixel(bar, { 4, 4, 150, 16 }, face));

    // The simple panel replaces the panels.
    bar->SetSimplePanel(true);
    bar->SetSimpleText(u"WWWW");
    EXPECT_TRUE(HasTextPixel(bar, { 2, 4, 40, 16 }, face));
    EXPECT_FALSE(HasTextPixel(bar, { 200, 4, 246, 16 }, face));
}

TEST_F(Bars, OwnerDrawnPanelIsPaintedByTheHandlerAndAChildControlLivesOnTheBar)
{
    auto form = MakeForm(600, 300);
    auto* bar = Add<TStatusBar>(form.get(), form.get(), { 0, 0, 600, 22 });
    for (int i = 0; i < 3; ++i)
        bar->GetPanels()->Add()->SetWidth(150);
    bar->GetPanels()->GetItem(1)->SetStyle(psOwnerDraw);
    std::vector<TRect> drawn;
    bar->OnDrawPanel = [&](TStatusBar* sb, TStatusPanel* panel, const TRect& r) {
        EXPECT_EQ(panel->GetIndex(), 1);
        drawn.push_back(r);
        sb->GetCanvas()->GetBrush()->SetColor(clRed);
        sb->GetCanvas()->FillRect(r);
    };
    form->Show();
    Pump();
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(bar->PanelRect(1).Contains(drawn.back().TopLeft()));
    EXPECT_EQ(PixelAt(bar, { 225, 10 }), clRed);

    // A control hosted in the third panel shows there and takes clicks.
    EXPECT_TRUE(bar->GetAcceptsControls());
    auto* hosted = new TPanel(form.get());
    hosted->SetParent(bar);
    hosted->SetBevelOuter(bvNone);
    hosted->SetParentBackground(false);
    hosted->SetColor(clLime);
    const TRect third = bar->PanelRect(2);
    hosted->SetBounds(third.Left + 2, 3, 60, 16);
    int clicks = 0;
    hosted->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(PixelAt(bar, { third.Left + 20, 10 }), clLime);
    ClickAt(bar, { third.Left + 20, 10 });
    EXPECT_EQ(clicks, 1);
}

TEST_F(Bars, PageControlChangesPagesOnTabClicksWithEventsAndSkipsHiddenTabs)
{
    auto form = MakeForm(400, 300);
    auto* pc = Add<TPageControl>(form.get(), form.get(), { 10, 10, 380, 250 });
    std::vector<TTabSheet*> sheets;
    const char16_t* captions[] = { u"First", u"Second", u"Third" };
    for (const char16_t* c : captions) {
        auto* sheet = new TTabSheet(form.get());
        sheet->SetPageControl(pc);
        sheet->SetCaption(c);
        sheets.push_back(sheet);
    }
    std::vector<std::string> log;
    bool allow = true;
    pc->OnChanging = [&](TObject*, bool& AllowChange) {
        log.push_back("changing " + std::to_string(pc->GetActivePageIndex()));
        AllowChange = allow;
    };
    pc->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(pc->GetActivePageIndex())); };
    form->Show();
    EXPECT_EQ(pc->GetPageCount(), 3);
    EXPECT_EQ(pc->GetActivePage(), sheets[0]);
    EXPECT_TRUE(sheets[0]->GetVisible());
    EXPECT_FALSE(sheets[1]->GetVisible());
    // The sheet fills the area below the tabs.
    EXPECT_GT(sheets[0]->GetTop(), pc->GetTabHeight());
    EXPECT_GT(sheets[0]->GetWidth(), 360);

    auto clickTab = [&](int tab) {
        const TRect r = pc->TabRect(tab);
        ClickAt(pc, { r.Left + r.Width() / 2, r.Top + r.Height() / 2 });
    };
    clickTab(2);
    EXPECT_EQ(log, (std::vector<std::string> { "changing 0", "change 2" }));
    EXPECT_EQ(pc->GetActivePage(), sheets[2]);
    EXPECT_TRUE(sheets[2]->GetVisible());
    EXPECT_FALSE(sheets[0]->GetVisible());

    log.clear();
    allow = false;
    clickTab(1);
    EXPECT_EQ(log, (std::vector<std::string> { "changing 2" }));
    EXPECT_EQ(pc->GetActivePage(), sheets[2]);
    allow = true;

    // Changes made in code raise no events.
    log.clear();
    pc->SetActivePageIndex(0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(pc->GetTabIndex(), 0);

    // A hidden tab leaves the strip: the second tab position is now "Third".
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(sheets[2]->GetTabIndex(), 1);
    clickTab(1);
    EXPECT_EQ(pc->GetActivePage(), sheets[2]);
    // Hiding the active tab activates the next visible one; Ctrl+Tab cycles
    // over visible tabs only.
    sheets[2]->SetTabVisible(false);
    EXPECT_EQ(pc->GetActivePage(), sheets[0]);
    sheets[2]->SetTabVisible(true);
    pc->SetFocus();
    Headless::Key(VK_TAB, false, true);
    Pump();
    EXPECT_EQ(pc->GetActivePage(), sheets[2]);

    // Freeing the active sheet leaves a valid active page.
    delete sheets[2];
    EXPECT_EQ(pc->GetPageCount(), 2);
    EXPECT_EQ(pc->GetActivePage(), sheets[0]);
}

TEST_F(Bars, CoolBandsHostControlsInRows)
{
    auto form = MakeForm(500, 300);
    auto* cool = Add<TCoolBar>(form.get(), form.get(), { 0, 0, 500, 80 });
    cool->SetAutoSize(true);
    auto* a = Add<TPanel>(form.get(), form.get(), { 0, 0, 100, 30 });
    auto* b = Add<TPanel>(form.get(), form.get(), { 0, 0, 100, 22 });
    auto* c = Add<TPanel>(form.get(), form.get(), { 0, 0, 100, 22 });
    TCoolBand* first = cool->GetBands()->Add();
    first->SetControl(a);
    first->SetWidth(200);
    TCoolBand* second = cool->GetBands()->Add();
    second->SetControl(b);
    second->SetBreak(false);
    TCoolBand* third = cool->GetBands()->Add();
    third->SetControl(c);
    third->SetText(u"Address");
    form->Show();

    EXPECT_EQ(a->GetParent(), cool);
    EXPECT_EQ(first->GetBandRect().Width(), 200);
    // The second band shares the first row and takes the rest of it.
    EXPECT_EQ(second->GetBandRect().Top, first->GetBandRect().Top);
    EXPECT_EQ(second->GetBandRect().Right, cool->GetClientWidth());
    EXPECT_EQ(b->GetLeft(), 200 + 10); // after the gripper
    // The third opens a row; its text pushes the control right.
    EXPECT_GE(third->GetBandRect().Top, a->GetHeight());
    EXPECT_GT(c->GetLeft(), 10 + 30);
    EXPECT_EQ(cool->GetHeight(), third->GetBandRect().Bottom);
    EXPECT_EQ(cool->GetBands()->FindBand(c), third);

    // Hiding a band removes its row.
    const int tall = cool->GetHeight();
    third->SetVisible(false);
    EXPECT_LT(cool->GetHeight(), tall);
    EXPECT_FALSE(c->GetVisible());
}

TEST_F(Bars, AStyleRecoloursTheStatusBarAndPageControl)
{
    auto form = MakeForm(400, 300);
    auto* pc = Add<TPageControl>(form.get(), form.get(), { 0, 0, 400, 200 });
    auto* sheet = new TTabSheet(form.get());
    sheet->SetPageControl(pc);
    sheet->SetCaption(u"Page");
    auto* bar = Add<TStatusBar>(form.get(), form.get(), { 0, 0, 400, 20 });
    bar->GetPanels()->Add()->SetWidth(100);
    form->Show();
    const TPoint inSheet { 50, 50 };
    const TPoint inBar { 150, 10 };
    const TColor classicSheet = PixelAt(sheet, inSheet);
    const TColor classicBar = PixelAt(bar, inBar);
    EXPECT_EQ(classicSheet, ColorToRGB(clBtnFace));
    TStyleManager::SetStyle(u"Cyan Night");
    EXPECT_NE(PixelAt(sheet, inSheet), classicSheet);
    EXPECT_NE(PixelAt(bar, inBar), classicBar);
    EXPECT_EQ(PixelAt(bar, inBar), StyleColorToRGB(clBtnFace));
}

TEST_F(Bars, TheSizeGripResizesASizeableForm)
{
    auto form = MakeForm(400, 300);
    auto* bar = Add<TStatusBar>(form.get(), form.get(), { 0, 0, 400, 20 });
    bar->GetPanels()->Add()->SetWidth(100);
    bar->GetPanels()->Add()->SetWidth(100);
    form->Show();
    Pump();
    // The last panel stops short of the grip.
    EXPECT_LT(bar->PanelRect(1).Right, bar->GetClientWidth());
    const TPoint grip = bar->ClientToScreen({ bar->GetClientWidth() - 3, bar->GetClientHeight() - 3 });
    Headless::Drag(grip, { grip.X + 40, grip.Y + 30 });
    Pump();
    RECT window;
    GetWindowRect(form->GetHandle(), window);
    EXPECT_EQ(window.Width(), 440);
    EXPECT_EQ(window.Height(), 330);
    EXPECT_EQ(form->GetWidth(), 440);
    EXPECT_EQ(form->GetHeight(), 330);

    bar->SetSizeGrip(false);
    EXPECT_EQ(bar->PanelRect(1).Right, bar->GetClientWidth());
}
