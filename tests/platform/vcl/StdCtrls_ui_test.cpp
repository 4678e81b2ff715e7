#include <string>
#include <vector>

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

using StdCtrlsUi = SimpleControls;

TEST_F(StdCtrlsUi, ButtonClicksByMouseSpaceEnterEscapeAndAccelerator)
{
    auto form = MakeForm();
    auto* ok = Add<TButton>(form.get(), form.get(), { 10, 10, 85, 35 });
    ok->SetCaption(u"&Save");
    ok->SetDefault(true);
    auto* cancel = Add<TButton>(form.get(), form.get(), { 100, 10, 175, 35 });
    cancel->SetCaption(u"Cancel");
    cancel->SetCancel(true);
    auto* other = Add<TButton>(form.get(), form.get(), { 190, 10, 265, 35 });
    other->SetCaption(u"Other");
    std::vector<std::string> clicks;
    ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
    cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
    other->OnClick = [&](TObject*) { clicks.push_back("other"); };
    auto* edit = Add<TCustomControl>(form.get(), form.get(), { 10, 60, 100, 80 });
    edit->SetTabStop(true);
    form->Show();
    edit->SetFocus();
    Pump();

    struct TStep {
        const char* What;
        std::function<void()> Do;
        std::vector<std::string> Expected;
    };
    const TStep steps[] = {
        { "mouse click", [&] { ClickAt(other, { 30, 12 }); }, { "other" } },
        { "press inside, release outside", [&] {
             Headless::MouseDown(other->ClientToScreen({ 10, 10 }));
             Headless::MouseUp(other->ClientToScreen({ 10, 100 }));
             Pump();
         }, {} },
        // The focused button answers Enter, not the default one.
        { "enter on focused button", [&] { Headless::Key(VK_RETURN); Pump(); }, { "other" } },
        { "space on focused button", [&] { Headless::Key(VK_SPACE); Pump(); }, { "other" } },
        { "enter elsewhere reaches the default", [&] { edit->SetFocus(); Headless::Key(VK_RETURN); Pump(); }, { "ok" } },
        { "escape reaches the cancel button", [&] { Headless::Key(VK_ESCAPE); Pump(); }, { "cancel" } },
        { "alt+accelerator", [&] { Headless::Key('S', false, false, true); Pump(); }, { "ok" } },
        { "disabled default ignores enter", [&] { ok->SetEnabled(false); Headless::Key(VK_RETURN); Pump(); }, {} },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.What);
        clicks.clear();
        s.Do();
        EXPECT_EQ(clicks, s.Expected);
    }
}

TEST_F(StdCtrlsUi, ModalResultOfAButtonClosesAModalForm)
{
    auto form = MakeForm();
    auto* yes = Add<TButton>(form.get(), form.get(), { 10, 10, 85, 35 });
    yes->SetModalResult(mrYes);
    bool clicked = false;
    yes->OnClick = [&](TObject*) {
        // The form's result is set before OnClick runs.
        EXPECT_EQ(form->GetModalResult(), mrYes);
        clicked = true;
    };
    form->Show();
    Pump();
    ClickAt(yes, { 20, 10 });
    EXPECT_TRUE(clicked);
    EXPECT_EQ(form->GetModalResult(), mrYes);
}

TEST_F(StdCtrlsUi, CheckBoxCyclesItsStatesAndReportsEveryChange)
{
    struct TCase {
        bool AllowGrayed;
        std::vector<TCheckBoxState> After; // states after successive clicks
    };
    const TCase cases[] = {
        { false, { cbChecked, cbUnchecked, cbChecked } },
        { true, { cbGrayed, cbChecked, cbUnchecked, cbGrayed } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.AllowGrayed);
        auto form = MakeForm();
        auto* box = Add<TCheckBox>(form.get(), form.get(), { 10, 10, 150, 27 });
        box->SetCaption(u"Remember");
        box->SetAllowGrayed(c.AllowGrayed);
        int clicks = 0;
        box->OnClick = [&](TObject*) { ++clicks; };
        form->Show();
        Pump();
        for (std::size_t i = 0; i < c.After.size(); ++i) {
            if (i % 2 == 0)
                ClickAt(box, { 5, 8 });
            else {
                box->SetFocus();
                Headless::Key(VK_SPACE);
                Pump();
            }
            EXPECT_EQ(box->GetState(), c.After[i]);
        }
        EXPECT_EQ(clicks, int(c.After.size()));
        // Setting the same state again is no change and no click.
        box->SetState(box->GetState());
        EXPECT_EQ(clicks, int(c.After.size()));
        box->SetChecked(!box->GetChecked());
        EXPECT_EQ(clicks, int(c.After.size()) + 1);
    }
}

TEST_F(StdCtrlsUi, RadioButtonsOfOneParentExcludeEachOtherAndArrowsSelect)
{
    auto form = MakeForm();
    auto* group = Add<TGroupBox>(form.get(), form.get(), { 10, 10, 200, 130 });
    group->SetCaption(u"Interval");
    std::vector<TRadioButton*> radios;
    for (int i = 0; i < 3; ++i)
        radios.push_back(Add<TRadioButton>(form.get(), group, { 10, 20 + 25 * i, 150, 37 + 25 * i }));
    auto* outside = Add<TRadioButton>(form.get(), form.get(), { 220, 20, 350, 37 });
    outside->SetChecked(true);
    int clicks = 0;
    for (TRadioButton* r : radios)
        r->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Pump();

    auto checked = [&] {
        std::vector<bool> v;
        for (TRadioButton* r : radios)
            v.push_back(r->GetChecked());
        return v;
    };
    ClickAt(radios[1], { 5, 8 });
    EXPECT_EQ(checked(), (std::vector<bool> { false, true, false }));
    EXPECT_TRUE(outside->GetChecked()); // another parent, another group
    ClickAt(radios[1], { 5, 8 });       // already checked: no change
    EXPECT_EQ(clicks, 1);
    Headless::Key(VK_DOWN);
    Pump();
    EXPECT_EQ(checked(), (std::vector<bool> { false, false, true }));
    EXPECT_TRUE(radios[2]->Focused());
    radios[0]->SetChecked(true);
    EXPECT_EQ(checked(), (std::vector<bool> { true, false, false }));
    EXPECT_EQ(clicks, 3);
    // Only the checked button is a tab stop.
    EXPECT_TRUE(radios[0]->GetTabStop());
    EXPECT_FALSE(radios[2]->GetTabStop());
}

TEST_F(StdCtrlsUi, LabelSizesItselfToItsCaption)
{
    auto form = MakeForm();
    auto* label = Add<TLabel>(form.get(), form.get(), { 200, 10, 265, 27 });
    label->SetCaption(u"Hi");
    const int shortWidth = label->GetWidth();
    const int lineHeight = label->GetHeight();
    label->SetCaption(u"A much longer caption here");
    EXPECT_GT(label->GetWidth(), shortWidth * 4);
    EXPECT_EQ(label->GetHeight(), lineHeight);
    EXPECT_EQ(label->GetLeft(), 200);

    // Right-aligned labels keep their right edge.
    label->SetAlignment(taRightJustify);
    const int right = label->GetLeft() + label->GetWidth();
    label->SetCaption(u"Hi");
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);
    EXPECT_EQ(label->GetWidth(), shortWidth);

    // Word wrap keeps the width and grows downwards.
    label->SetAlignment(taLeftJustify);
    label->SetWordWrap(true);
    label->SetWidth(60);
    label->SetCaption(u"one two three four five six");
    EXPECT_EQ(label->GetWidth(), 60);
    EXPECT_GE(label->GetHeight(), 3 * lineHeight);

    // Without AutoSize nothing moves.
    label->SetAutoSize(false);
    label->SetCaption(u"x");
    EXPECT_EQ(label->GetWidth(), 60);
    EXPECT_GE(label->GetHeight(), 3 * lineHeight);
}

TEST_F(StdCtrlsUi, LabelAcceleratorFocusesItsControlAndTheCaptionIsPainted)
{
    auto form = MakeForm();
    form->SetColor(clWhite);
    auto* label = Add<TLabel>(form.get(), form.get(), { 10, 10, 60, 27 });
    label->GetFont()->SetColor(clBlack);
    label->GetFont()->SetSize(14);
    label->SetCaption(u"&Name");
    auto* target = Add<TButton>(form.get(), form.get(), { 100, 10, 175, 35 });
    auto* first = Add<TButton>(form.get(), form.get(), { 100, 50, 175, 75 });
    label->SetFocusControl(target);
    form->Show();
    first->SetFocus();
    Pump();
    Headless::Key('N', false, false, true);
    Pump();
    EXPECT_TRUE(target->Focused());

    int dark = 0;
    for (int x = 0; x < label->GetWidth(); ++x)
        for (int y = 0; y < label->GetHeight(); ++y)
            if (PixelAt(label, { x, y }) == clBlack)
                ++dark;
    EXPECT_GT(dark, 20);
    // A freed focus control is forgotten.
    delete target;
    EXPECT_EQ(label->GetFocusControl(), nullptr);
}

TEST_F(StdCtrlsUi, ScrollBarMovesByLinePageAndThumbAndReportsEachStep)
{
    auto form = MakeForm();
    auto* bar = Add<TScrollBar>(form.get(), form.get(), { 10, 10, 210, 27 });
    bar->SetParams(0, 0, 100);
    bar->SetSmallChange(5);
    bar->SetLargeChange(20);
    bar->SetPageSize(10);
    std::vector<std::pair<TScrollCode, int>> scrolls;
    bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) { scrolls.push_back({ code, pos }); };
    form->Show();
    bar->SetFocus();
    Pump();

    struct TStep {
        const char* What;
        std::function<void()> Do;
        int Position;
        TScrollCode FirstCode;
    };
    const TStep steps[] = {
        { "right arrow button", [&] { ClickAt(bar, { 195, 8 }); }, 5, scLineDown },
        { "left arrow button", [&] { ClickAt(bar, { 3, 8 }); }, 0, scLineUp },
        { "left arrow at the start", [&] { ClickAt(bar, { 3, 8 }); }, 0, scLineUp },
        { "track right of the thumb", [&] { ClickAt(bar, { 150, 8 }); }, 20, scPageDown },
        { "key End", [&] { Headless::Key(VK_END); Pump(); }, 91, scBottom }, // Max - PageSize + 1
        { "key Page Up", [&] { Headless::Key(VK_PRIOR); Pump(); }, 71, scPageUp },
        { "key Home", [&] { Headless::Key(VK_HOME); Pump(); }, 0, scTop },
        { "key Right", [&] { Headless::Key(VK_RIGHT); Pump(); }, 5, scLineDown },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.What);
        scrolls.clear();
        s.Do();
        EXPECT_EQ(bar->GetPosition(), s.Position);
        ASSERT_GE(scrolls.size(), 2u);
        EXPECT_EQ(scrolls.front().first, s.FirstCode);
        EXPECT_EQ(scrolls.front().second, s.Position);
        EXPECT_EQ(scrolls.back().first, scEndScroll);
    }

    // Dragging the thumb to the far end tracks, then lands on the last position.
    scrolls.clear();
    // Arrows are 17 pixels; at position 5 the 16-pixel thumb starts at 25.
    const int thumbX = 30;
    Headless::Drag(bar->ClientToScreen({ thumbX, 8 }), bar->ClientToScreen({ 400, 8 }), 6);
    Pump();
    EXPECT_EQ(bar->GetPosition(), 91);
    ASSERT_GE(scrolls.size(), 3u);
    EXPECT_EQ(scrolls[scrolls.size() - 2].first, scPosition);
    EXPECT_TRUE(std::any_of(scrolls.begin(), scrolls.end(), [](auto& s) { return s.first == scTrack; }));

    // OnScroll may redirect the position.
    bar->OnScroll = [](TObject*, TScrollCode, int& pos) { pos = 42; };
    Headless::Key(VK_HOME);
    Pump();
    EXPECT_EQ(bar->GetPosition(), 42);
}

TEST_F(StdCtrlsUi, AHeldScrollBarArrowOrTrackKeepsScrolling)
{
    auto form = MakeForm();
    auto* bar = Add<TScrollBar>(form.get(), form.get(), { 10, 10, 210, 27 });
    bar->SetPageSize(10);
    bar->SetLargeChange(10);
    form->Show();
    Pump();
    struct TCase {
        const char* What;
        int Start;
        TPoint Press;
        std::vector<std::pair<UInt64, int>> Steps; // time held so far, position then
    };
    const TCase cases[] = {
        // One step at once, the next after a pause, then one per beat.
        { "right arrow", 0, { 195, 8 }, { { 0, 1 }, { 399, 1 }, { 400, 2 }, { 450, 3 }, { 600, 6 } } },
        // Paging stops when the thumb reaches the pointer: at position 20
        // the 16-pixel thumb covers x = 49..64.
        { "track", 0, { 60, 8 }, { { 0, 10 }, { 400, 20 }, { 450, 20 }, { 1000, 20 } } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        bar->SetPosition(c.Start);
        Headless::MouseDown(bar->ClientToScreen(c.Press));
        Pump();
        UInt64 held = 0;
        for (const auto& [at, pos] : c.Steps) {
            session.PassTime(at - held);
            held = at;
            Pump();
            EXPECT_EQ(bar->GetPosition(), pos) << "after " << at << " ms";
        }
        Headless::MouseUp(bar->ClientToScreen(c.Press));
        Pump();
        const int stopped = bar->GetPosition();
        session.PassTime(500);
        Pump();
        EXPECT_EQ(bar->GetPosition(), stopped);
    }
}

TEST_F(StdCtrlsUi, ScrollBarRefusesRangesThatDoNotHoldThePage)
{
    TScrollBar bar;
    bar.SetPageSize(10);
    int changes = 0;
    bar.OnChange = [&](TObject*) { ++changes; };
    EXPECT_THROW(bar.SetParams(0, 10, 5), EInvalidOperation);
    EXPECT_THROW(bar.SetMax(5), EInvalidOperation); // range 0..5 holds no page of 10
    EXPECT_THROW(bar.SetPageSize(102), EInvalidOperation);
    EXPECT_EQ(bar.GetMax(), 100);
    bar.SetPosition(1000);
    EXPECT_EQ(bar.GetPosition(), 91);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.GetPosition(), 0);
    bar.SetMin(50);
    EXPECT_EQ(bar.GetPosition(), 50);
    EXPECT_EQ(changes, 3);
}

TEST_F(StdCtrlsUi, GroupBoxPlacesChildrenBelowItsCaptionAndItsAcceleratorEntersIt)
{
    auto form = MakeForm();
    auto* group = Add<TGroupBox>(form.get(), form.get(), { 10, 10, 200, 120 });
    group->SetCaption(u"&Options");
    auto* inner = Add<TCheckBox>(form.get(), group, { 0, 0, 100, 17 });
    inner->SetAlign(alTop);
    auto* before = Add<TButton>(form.get(), form.get(), { 250, 10, 320, 35 });
    form->Show();
    before->SetFocus();
    Pump();
    EXPECT_GT(inner->GetTop(), 8); // below the caption line
    EXPECT_GT(inner->GetLeft(), 0);
    EXPECT_LT(inner->GetWidth(), group->GetWidth());
    Headless::Key('O', false, false, true);
    Pump();
    EXPECT_TRUE(inner->Focused());
}

// A style change reaches every control of every form and repaints: the
// colours on screen become the style's.
TEST_F(StdCtrlsUi, AStyleSwitchRepaintsEveryFormInItsColours)
{
    auto form = MakeForm();
    auto* panel = Add<TPanel>(form.get(), form.get(), { 10, 10, 210, 110 });
    panel->SetCaption(u"");
    auto* button = Add<TButton>(form.get(), panel, { 10, 10, 85, 35 });
    auto* box = Add<TCheckBox>(form.get(), panel, { 10, 50, 150, 67 });
    form->Show();
    Pump();
    const HWND before = button->GetHandle();
    EXPECT_EQ(PixelAt(panel, { 100, 80 }), ColorToRGB(clBtnFace));
    const TColor classicButton = PixelAt(button, { 37, 20 });
    const TColor classicBox = PixelAt(box, { 6, 8 });

    for (const char16_t* name : { u"Cyan Night", u"Luna" }) {
        SCOPED_TRACE(StringToUtf8(name));
        TStyleManager::SetStyle(name);
        TCustomStyleServices* s = StyleServices();
        EXPECT_EQ(PixelAt(panel, { 100, 80 }), s->GetSystemColor(clBtnFace));
        EXPECT_EQ(PixelAt(form.get(), { 300, 200 }), s->GetSystemColor(clBtnFace)); // the form's own background
        EXPECT_NE(PixelAt(button, { 37, 20 }), classicButton);
        TColor boxFill = clNone;
        s->GetElementColor(s->GetElementDetails(tbCheckBoxUncheckedNormal), ecFillColor, boxFill);
        EXPECT_EQ(PixelAt(box, { 6, 8 }), boxFill);
    }
    TStyleManager::SetStyle(u"Windows");
    EXPECT_EQ(PixelAt(panel, { 100, 80 }), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(form.get(), { 300, 200 }), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(button, { 37, 20 }), classicButton);
    EXPECT_EQ(PixelAt(box, { 6, 8 }), classicBox);
    EXPECT_EQ(button->GetHandle(), before); // not re-created
}

// Controls that opt out of the style's client colours keep the classic look.
TEST_F(StdCtrlsUi, StyleElementsDecideWhatTheStylePaints)
{
    auto form = MakeForm();
    auto* styled = Add<TPanel>(form.get(), form.get(), { 10, 10, 110, 60 });
    auto* plain = Add<TPanel>(form.get(), form.get(), { 120, 10, 220, 60 });
    plain->SetStyleElements({ seFont, seBorder });
    styled->SetParentBackground(false);
    plain->SetParentBackground(false);
    form->Show();
    TStyleManager::SetStyle(u"Amethyst Kamri");
    EXPECT_EQ(PixelAt(styled, { 50, 25 }), StyleServices()->GetSystemColor(clBtnFace));
    EXPECT_EQ(PixelAt(plain, { 50, 25 }), ColorToRGB(clBtnFace));
}

} // namespace
