#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Backend.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

std::vector<std::string> g_events;

// A focusable windowed control that logs its focus and key events.
class TBox : public TCustomControl {
public:
    TBox(TComponent* owner, TWinControl* parent, const char* name, TRect bounds) : TCustomControl(owner), m_name(name)
    {
        SetTabStop(true);
        SetBoundsRect(bounds);
        SetParent(parent);
        OnEnter = [this](TObject*) { g_events.push_back("enter " + m_name); };
        OnExit = [this](TObject*) { g_events.push_back("exit " + m_name); };
        OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
            if (key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU)
                g_events.push_back("key " + m_name + " " + std::to_string(key));
        };
    }
    LRESULT DlgCode { 0 };
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_GETDLGCODE) {
            m.Result = DlgCode;
            return;
        }
        TCustomControl::Dispatch(m);
    }

private:
    std::string m_name;
};

// A button-like control: the Enter key clicks the default one and Esc the
// cancel one, through the dialog-key broadcast.
class TDialogButton : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    bool Default { false };
    bool Cancel { false };
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CM_DIALOGKEY && ((m.WParam == VK_RETURN && Default) || (m.WParam == VK_ESCAPE && Cancel))) {
            Click();
            m.Result = 1;
            return;
        }
        if (m.Msg == CM_DIALOGCHAR && IsAccel(WORD(m.WParam), GetCaption())) {
            Click();
            m.Result = 1;
            return;
        }
        TGraphicControl::Dispatch(m);
    }
};

// A windowless control that paints its whole canvas and a marker pixel.
class TPainted : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TColor Fill { 0x0000FF };
    void Paint() override
    {
        TCanvas* c = GetCanvas();
        c->GetBrush()->SetColor(Fill);
        c->FillRect(TRect(-500, -500, 2000, 2000)); // the clip keeps it inside
        c->GetBrush()->SetColor(0xFF0000);
        c->FillRect(TRect(0, 0, 1, 1));
    }
};

class VclUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        g_events.clear();
        Application->SetHintPause(500);
        Application->SetHintHidePause(2500);
        Application->OnException = nullptr;
    }
    void TearDown() override
    {
        Application->CancelHint();
        Application->OnException = nullptr;
    }
    static void Pump() { Application->ProcessMessages(); }
    void PassTime(UInt64 ms)
    {
        // Timers fire in due order; key and mouse messages take the
        // application's path.
        Pump();
        session.PassTime(ms);
        Pump();
    }
    std::unique_ptr<TForm> ShownForm()
    {
        auto f = std::make_unique<TForm>(nullptr);
        f->SetBounds(100, 100, 400, 300);
        f->SetPosition(poDesigned);
        return f;
    }
    // Colour of a client pixel of a control as the screen shows it (RGB).
    static std::uint32_t PixelAt(TControl* c, TPoint client)
    {
        Pump();
        const TPoint s = c->ClientToScreen(client);
        return Headless::ScreenPixel(s) & 0xFFFFFF;
    }

    THeadlessSession session;
};

TEST_F(VclUi, TabAndShiftTabMoveTheFocusInTabOrderSkippingDisabledControls)
{
    auto form = ShownForm();
    TBox* a = new TBox(form.get(), form.get(), "a", { 10, 10, 60, 30 });
    TBox* b = new TBox(form.get(), form.get(), "b", { 10, 40, 60, 60 });
    TBox* c = new TBox(form.get(), form.get(), "c", { 10, 70, 60, 90 });
    TBox* d = new TBox(form.get(), form.get(), "d", { 10, 100, 60, 120 });
    c->SetTabOrder(0); // order: c, a, b, d
    b->SetEnabled(false);
    d->SetTabStop(false);
    form->Show();
    Pump();
    EXPECT_EQ(form->GetActiveControl(), c);
    EXPECT_TRUE(c->Focused());

    struct TStep {
        bool Shift;
        TBox* Expected;
    };
    const TStep steps[] = { { false, a }, { false, c }, { true, a }, { true, c }, { true, a } };
    for (const TStep& s : steps) {
        Headless::Key(VK_TAB, s.Shift);
        Pump();
        EXPECT_TRUE(s.Expected->Focused());
        EXPECT_EQ(Screen->GetActiveControl(), s.Expected);
    }
    EXPECT_EQ(g_events, (std::vector<std::string> { "enter c", "exit c", "enter a", "exit a", "enter c", "exit c",
                             "enter a", "exit a", "enter c", "exit c", "enter a" }));
}

TEST_F(VclUi, ArrowKeysMoveAmongSiblingsAndEnterAndEscReachDefaultAndCancelButtons)
{
    auto form = ShownForm();
    auto* panel = new TCustomControl(form.get());
    panel->SetBounds(0, 0, 200, 200);
    panel->SetParent(form.get());
    TBox* a = new TBox(form.get(), panel, "a", { 10, 10, 60, 30 });
    TBox* b = new TBox(form.get(), panel, "b", { 10, 40, 60, 60 });
    int ok = 0, cancel = 0;
    auto* okButton = new TDialogButton(form.get());
    okButton->Default = true;
    okButton->OnClick = [&](TObject*) { ++ok; };
    okButton->SetParent(form.get());
    auto* cancelButton = new TDialogButton(form.get());
    cancelButton->Cancel = true;
    cancelButton->OnClick = [&](TObject*) { ++cancel; };
    cancelButton->SetParent(panel);
    form->Show();
    a->SetFocus();
    Pump();
    ASSERT_TRUE(a->Focused());

    Headless::Key(VK_DOWN);
    Pump();
    EXPECT_TRUE(b->Focused());
    Headless::Key(VK_RETURN);
    Headless::Key(VK_ESCAPE);
    Pump();
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(cancel, 1);
    // Alt with the marked letter of a caption is that control's accelerator.
    okButton->SetCaption(u"&Save");
    Headless::Key('S', false, false, true);
    Pump();
    EXPECT_EQ(ok, 2);

    // A control that wants every key keeps Enter and the arrows for itself.
    b->DlgCode = DLGC_WANTALLKEYS | DLGC_WANTARROWS;
    g_events.clear();
    Headless::Key(VK_RETURN);
    Headless::Key(VK_UP);
    Pump();
    EXPECT_EQ(ok, 2);
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(g_events, (std::vector<std::string> { "key b 13", "key b 38" }));
}

TEST_F(VclUi, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst)
{
    struct TCase {
        bool Preview;
        WORD Key;
        std::vector<std::string> Expected;
    };
    const TCase cases[] = {
        { true, 'A', { "form 65" } },              // the form takes it
        { true, 'B', { "form 66", "key box 66" } }, // the form looks and passes it on
        { false, 'A', { "key box 65" } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Key);
        auto form = ShownForm();
        TBox* box = new TBox(form.get(), form.get(), "box", { 10, 10, 60, 30 });
        form->SetKeyPreview(c.Preview);
        form->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
            g_events.push_back("form " + std::to_string(key));
            if (key == 'A')
                key = 0;
        };
        form->Show();
        Pump();
        ASSERT_TRUE(box->Focused());
        g_events.clear();
        Headless::Key(c.Key);
        Pump();
        EXPECT_EQ(g_events, c.Expected);
    }
}

TEST_F(VclUi, AWindowlessControlPaintsAtItsOffsetInsideItsOwnClip)
{
    auto form = ShownForm();
    form->SetColor(0x00FF00);
    auto* holder = new TCustomControl(form.get());
    holder->SetBounds(20, 30, 200, 150);
    holder->SetColor(0xFFFFFF);
    holder->SetParent(form.get());
    auto* painted = new TPainted(form.get());
    painted->SetBounds(10, 20, 30, 40);
    painted->SetParent(holder);
    form->Show();
    struct TProbe {
        TPoint Point; // in the holder
        std::uint32_t Rgb;
    };
    const TProbe probes[] = {
        { { 10, 20 }, 0x0000FF }, // the control's own (0, 0)
        { { 11, 21 }, 0xFF0000 }, // its fill, red in the low byte of TColor
        { { 39, 59 }, 0xFF0000 }, // its last pixel
        { { 40, 40 }, 0xFFFFFF }, // right of it: the holder
        { { 20, 60 }, 0xFFFFFF }, // below it
        { { 9, 30 }, 0xFFFFFF },  // left of it
        { { 20, 19 }, 0xFFFFFF }, // above it
    };
    for (const TProbe& p : probes) {
        SCOPED_TRACE(std::to_string(p.Point.X) + "," + std::to_string(p.Point.Y));
        EXPECT_EQ(PixelAt(holder, p.Point), p.Rgb);
    }
    // Double buffering paints the same picture.
    holder->SetDoubleBuffered(true);
    painted->Fill = 0x00FFFF;
    holder->Invalidate();
    EXPECT_EQ(PixelAt(holder, { 12, 22 }), 0xFFFF00u);
    EXPECT_EQ(PixelAt(holder, { 9, 30 }), 0xFFFFFFu);
}

TEST_F(VclUi, MouseInputOfAWindowlessControlArrivesInItsOwnCoordinates)
{
    auto form = ShownForm();
    auto* target = new TPainted(form.get());
    target->SetBounds(50, 60, 40, 30);
    target->SetParent(form.get());
    std::vector<std::string> log;
    target->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
        log.push_back("down " + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    target->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    target->OnClick = [&](TObject*) { log.push_back("click"); };
    target->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
    target->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
    form->Show();
    Pump();
    const TPoint inside = target->ClientToScreen({ 5, 7 });
    Headless::MouseMove(inside);
    Headless::Click(inside);
    Pump();
    // Pressed inside, released outside: no click, but the up still comes
    // to the control holding the capture.
    Headless::MouseDown(inside);
    Pump();
    Headless::MouseMove(target->ClientToScreen({ 100, 7 }));
    Headless::MouseUp(target->ClientToScreen({ 100, 7 }));
    Pump();
    EXPECT_EQ(log, (std::vector<std::string> { "enter", "down 0 5,7", "click", "up 5,7", "down 0 5,7", "leave",
                       "up 100,7" }));
}

TEST_F(VclUi, AModalFormEndsWhenAPostedClickSetsModalResult)
{
    auto owner = ShownForm();
    owner->Show();
    auto dialog = ShownForm();
    auto* button = new TCustomControl(dialog.get());
    button->SetBounds(10, 10, 80, 25);
    button->SetParent(dialog.get());
    int closeQueries = 0;
    std::vector<std::string> log;
    button->OnClick = [&](TObject*) { dialog->SetModalResult(mrOk); };
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++closeQueries > 1; };
    dialog->OnShow = [&](TObject*) { log.push_back(IsWindowEnabled(owner->GetHandle()) ? "owner on" : "owner off"); };
    dialog->OnClose = [&](TObject*, TCloseAction& action) {
        log.push_back("close");
        EXPECT_EQ(action, caHide);
    };
    // Two clicks wait in the queue: the first is refused by OnCloseQuery.
    HWND h = button->GetHandle();
    for (int i = 0; i < 2; ++i) {
        PostMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessage(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(closeQueries, 2);
    EXPECT_EQ(log, (std::vector<std::string> { "owner off", "close" }));
    EXPECT_FALSE(dialog->GetVisible());
    EXPECT_TRUE(IsWindowEnabled(owner->GetHandle()));
    EXPECT_THROW(owner->ShowModal(), EInvalidOperation); // already visible
}

TEST_F(VclUi, TimersFollowTheInjectedClock)
{
    TTimer timer(nullptr);
    std::vector<UInt64> ticks;
    const UInt64 start = session.Clock().NowMs();
    timer.OnTimer = [&](TObject*) { ticks.push_back(session.Clock().NowMs() - start); };
    timer.SetInterval(100);
    PassTime(350);
    EXPECT_EQ(ticks, (std::vector<UInt64> { 100, 200, 300 }));
    timer.SetEnabled(false);
    PassTime(500);
    EXPECT_EQ(ticks.size(), 3u);
    timer.SetInterval(40);
    timer.SetEnabled(true); // restarts from now: 850 + 40
    PassTime(100);
    EXPECT_EQ(ticks, (std::vector<UInt64> { 100, 200, 300, 890, 930 }));
    timer.SetInterval(0); // no interval: no timer
    PassTime(200);
    EXPECT_EQ(ticks.size(), 5u);
}

TEST_F(VclUi, AnExceptionInAnEventHandlerIsReportedAndTheLoopGoesOn)
{
    std::vector<std::string> reported;
    Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(StringToUtf8(e.Message)); };
    auto form = ShownForm();
    auto* target = new TPainted(form.get());
    target->SetBounds(10, 10, 40, 30);
    target->SetParent(form.get());
    int clicks = 0;
    target->OnClick = [&](TObject*) {
        if (++clicks == 1)
            throw EConvertError(u"bad click");
    };
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        throw EAbort(u"silent"); // an abort is never reported
    };
    form->Show();
    Pump();
    const TPoint p = target->ClientToScreen({ 3, 3 });
    Headless::Click(p);
    PassTime(600); // the timer fires; the next click is no double click
    Headless::Click(p);
    Pump();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(reported, (std::vector<std::string> { "bad click" }));
}

TEST_F(VclUi, HintsShowAfterThePauseAndHideAfterTheHidePause)
{
    auto form = ShownForm();
    auto* target = new TPainted(form.get());
    target->SetBounds(10, 10, 60, 30);
    target->SetHint(u"Save|Saves the listing");
    target->SetShowHint(true);
    target->SetParent(form.get());
    String shownText;
    target->WindowProc = [old = target->WindowProc, &shownText](TMessage& m) {
        if (m.Msg == CM_HINTSHOW)
            shownText = reinterpret_cast<THintInfo*>(m.LParam)->HintStr;
        old(m);
    };
    int hintEvents = 0;
    Application->OnHint = [&](TObject*) { ++hintEvents; };
    form->Show();
    Pump();
    Headless::MouseMove(target->ClientToScreen({ 5, 5 }));
    Pump();
    EXPECT_EQ(Application->GetHint(), u"Saves the listing");
    EXPECT_EQ(hintEvents, 1);
    PassTime(400);
    THintWindow* hint = Application->GetHintWindow();
    EXPECT_TRUE(!hint || !hint->IsHintShowing());
    PassTime(150);
    hint = Application->GetHintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->IsHintShowing());
    EXPECT_EQ(hint->GetCaption(), u"Save");
    EXPECT_EQ(shownText, u"Save");
    PassTime(2600);
    EXPECT_FALSE(hint->IsHintShowing());
    Application->OnHint = nullptr;
}

TEST_F(VclUi, AControlMayShowItsHintInAWindowOfItsOwnKind)
{
    struct TOwnHintWindow : THintWindow {
        using THintWindow::THintWindow;
    };
    auto form = ShownForm();
    auto* own = new TPainted(form.get());
    own->SetBounds(10, 10, 60, 30);
    own->SetHint(u"own");
    own->SetShowHint(true);
    own->SetParent(form.get());
    own->WindowProc = [old = own->WindowProc](TMessage& m) {
        if (m.Msg == CM_HINTSHOW)
            reinterpret_cast<THintInfo*>(m.LParam)->HintWindowClass
                = [](TComponent* AOwner) -> THintWindow* { return new TOwnHintWindow(AOwner); };
        old(m);
    };
    auto* plain = new TPainted(form.get());
    plain->SetBounds(200, 10, 60, 30);
    plain->SetHint(u"plain");
    plain->SetShowHint(true);
    plain->SetParent(form.get());
    form->Show();
    Pump();
    struct TStep {
        TControl* Control;
        bool Own;
    };
    for (const TStep& s : { TStep { own, true }, TStep { plain, false }, TStep { own, true } }) {
        Headless::MouseMove(s.Control->ClientToScreen({ 5, 5 }));
        Pump();
        PassTime(600);
        THintWindow* hint = Application->GetHintWindow();
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->IsHintShowing());
        EXPECT_EQ(dynamic_cast<TOwnHintWindow*>(hint) != nullptr, s.Own);
        EXPECT_EQ(hint->GetCaption(), s.Own ? u"own" : u"plain");
    }
}

TEST_F(VclUi, DraggingAControlDropsItOnAnAcceptingTarget)
{
    auto form = ShownForm();
    auto* source = new TPainted(form.get());
    source->SetBounds(10, 10, 40, 30);
    source->SetDragMode(dmAutomatic);
    source->SetParent(form.get());
    auto* target = new TBox(form.get(), form.get(), "target", { 200, 10, 300, 110 });
    std::vector<std::string> log;
    target->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState, bool& accept) { accept = src == source; };
    target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        log.push_back(std::string(src == source ? "drop source " : "drop ? ") + std::to_string(x) + "," + std::to_string(y));
    };
    source->OnEndDrag = [&](TObject*, TObject* t, int, int) { log.push_back(t == target ? "end on target" : "end nowhere"); };
    Mouse->SetDragImmediate(false);
    form->Show();
    Pump();
    // A short wiggle stays below the threshold: no drag starts.
    Headless::Drag(source->ClientToScreen({ 5, 5 }), source->ClientToScreen({ 7, 6 }), 2);
    Pump();
    EXPECT_TRUE(log.empty());
    Headless::Drag(source->ClientToScreen({ 5, 5 }), target->ClientToScreen({ 20, 30 }), 6);
    Pump();
    EXPECT_EQ(log, (std::vector<std::string> { "drop source 20,30", "end on target" }));
    Mouse->SetDragImmediate(true);
}

TEST_F(VclUi, TheWheelGoesToTheFocusedControlAndUpToParentsThatTakeIt)
{
    auto form = ShownForm();
    TBox* box = new TBox(form.get(), form.get(), "box", { 10, 10, 60, 30 });
    std::vector<std::string> log;
    bool boxTakes = false;
    box->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        log.push_back("box down");
        handled = boxTakes;
    };
    form->OnMouseWheel = [&](TObject*, TShiftState shift, int delta, TPoint, bool& handled) {
        log.push_back("form " + std::to_string(delta) + (shift.Contains(ssCtrl) ? " ctrl" : ""));
        handled = true;
    };
    form->Show();
    Pump();
    ASSERT_TRUE(box->Focused());
    const TPoint p = box->ClientToScreen({ 2, 2 });
    Headless::Wheel(-WHEEL_DELTA, p);
    Pump();
    boxTakes = true;
    Headless::Wheel(-WHEEL_DELTA, p);
    Pump();
    EXPECT_EQ(log, (std::vector<std::string> { "box down", "form -120", "box down" }));
}

TEST_F(VclUi, ShortCutsReachTheFormBeforeTheFocusedControl)
{
    auto form = ShownForm();
    TBox* box = new TBox(form.get(), form.get(), "box", { 10, 10, 60, 30 });
    int saves = 0;
    form->OnShortCut = [&](TWMKey& msg, bool& handled) {
        if (msg.CharCode == 'S' && GetKeyState(VK_CONTROL) < 0) {
            ++saves;
            handled = true;
        }
    };
    form->Show();
    Pump();
    ASSERT_TRUE(box->Focused());
    g_events.clear();
    Headless::Key('S', false, true);
    Headless::Key('T', false, true);
    Pump();
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(g_events, (std::vector<std::string> { "key box 84" }));
}

TEST_F(VclUi, ACanvasMeasuresOutsidePaintingAndScrollingMovesChildren)
{
    auto form = ShownForm();
    auto* custom = new TCustomControl(form.get());
    custom->SetBounds(0, 0, 100, 50);
    custom->SetParent(form.get());
    EXPECT_GT(custom->GetCanvas()->TextWidth(u"Hello"), 10);
    EXPECT_GT(custom->GetCanvas()->TextHeight(u"Hello"), 5);

    auto* child = new TControl(form.get());
    child->SetBounds(10, 500, 20, 20);
    child->SetParent(form.get());
    form->Show();
    Pump();
    TControlScrollBar* vert = form->GetVertScrollBar();
    EXPECT_EQ(vert->GetRange(), 520);
    EXPECT_TRUE(vert->IsScrollBarVisible());
    vert->SetPosition(100);
    EXPECT_EQ(child->GetTop(), 400);
    EXPECT_EQ(custom->GetTop(), -100);
    vert->SetPosition(100000); // clamped to the range
    EXPECT_EQ(vert->GetPosition(), 520 - form->GetClientHeight());
    form->ScrollInView(custom);
    EXPECT_EQ(custom->GetTop(), 0);
}

TEST_F(VclUi, NotificationsOfChildWindowsComeBackToThemReflected)
{
    auto form = ShownForm();
    std::vector<std::string> log;
    auto* child = new TCustomControl(form.get());
    child->SetParent(form.get());
    child->WindowProc = [&, old = child->WindowProc](TMessage& m) {
        if (m.Msg == CN_COMMAND || m.Msg == CN_VSCROLL)
            log.push_back((m.Msg == CN_COMMAND ? "command " : "vscroll ") + std::to_string(m.WParam));
        old(m);
    };
    const LPARAM from = reinterpret_cast<LPARAM>(child->GetHandle());
    SendMessage(form->GetHandle(), WM_COMMAND, 0x0300, from);
    SendMessage(form->GetHandle(), WM_VSCROLL, 1, from);
    SendMessage(form->GetHandle(), WM_COMMAND, 7, 0); // a menu command: not reflected
    EXPECT_EQ(log, (std::vector<std::string> { "command 768", "vscroll 1" }));
}

TEST_F(VclUi, AnchorsOfAFormKeepTheDistanceToTheRealClientEdge)
{
    auto form = ShownForm();
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    auto* right = new TControl(form.get());
    right->SetBounds(250, 170, 40, 20);
    right->SetAnchors({ akRight, akBottom });
    right->SetParent(form.get());
    form->Show();
    Pump();
    EXPECT_EQ(form->GetClientWidth(), 300);
    EXPECT_EQ(right->GetLeft(), 250);
    form->SetWidth(form->GetWidth() + 50);
    form->SetHeight(form->GetHeight() + 10);
    EXPECT_EQ(right->GetLeft(), 300);
    EXPECT_EQ(right->GetTop(), 180);
}

TEST_F(VclUi, ARightClickAsksForAContextPopupThatParentsMayTake)
{
    auto form = ShownForm();
    auto* target = new TPainted(form.get());
    target->SetBounds(50, 60, 40, 30);
    target->SetParent(form.get());
    TBox* box = new TBox(form.get(), form.get(), "box", { 200, 10, 260, 40 });
    std::vector<std::string> log;
    bool targetTakes = true;
    target->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
        log.push_back("target " + std::to_string(p.X) + "," + std::to_string(p.Y));
        handled = targetTakes;
    };
    form->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
        log.push_back("form " + std::to_string(p.X) + "," + std::to_string(p.Y));
        handled = true;
    };
    form->Show();
    Pump();
    Headless::Click(target->ClientToScreen({ 4, 6 }), 1);
    Pump();
    targetTakes = false;
    Headless::Click(target->ClientToScreen({ 4, 6 }), 1);
    Pump();
    // From the keyboard: no pointer position, and the unhandled request
    // goes up to the parent window.
    ASSERT_TRUE(box->Focused());
    Headless::Key(VK_APPS);
    Pump();
    EXPECT_EQ(log, (std::vector<std::string> { "target 4,6", "target 4,6", "form 54,66", "form -1,-1" }));
}

TEST_F(VclUi, PaintToDrawsAControlAndItsChildrenOntoAnotherContext)
{
    auto form = ShownForm();
    auto* holder = new TCustomControl(form.get());
    holder->SetBounds(0, 0, 100, 80);
    holder->SetColor(0xFFFFFF);
    holder->SetParent(form.get());
    auto* windowless = new TPainted(form.get());
    windowless->SetBounds(10, 10, 20, 20);
    windowless->SetParent(holder);
    auto* inner = new TCustomControl(form.get());
    inner->SetBounds(50, 40, 30, 30);
    inner->SetColor(0x00FF00);
    inner->SetParent(holder);
    TBitmap bmp;
    bmp.SetSize(140, 120);
    bmp.GetCanvas()->GetBrush()->SetColor(0x000000);
    bmp.GetCanvas()->FillRect(TRect(0, 0, 140, 120));
    holder->PaintTo(bmp.GetCanvas()->GetHandle(), 20, 30);
    TCanvas* c = bmp.GetCanvas();
    EXPECT_EQ(c->GetPixel(10, 10), 0x000000);  // outside: untouched
    EXPECT_EQ(c->GetPixel(25, 35), 0xFFFFFF);  // the holder's background
    EXPECT_EQ(c->GetPixel(30, 40), 0xFF0000);  // the windowless child's corner marker
    EXPECT_EQ(c->GetPixel(35, 45), 0x0000FF);  // its fill
    EXPECT_EQ(c->GetPixel(75, 75), 0x00FF00);  // the windowed child
    EXPECT_EQ(c->GetPixel(125, 75), 0x000000); // right of the holder
}

TEST_F(VclUi, FormsArePlacedByTheirPositionWhenFirstShown)
{
    auto owner = ShownForm();
    owner->SetBounds(100, 100, 400, 300);
    owner->Show();
    struct TCase {
        TPosition Position;
        bool Owned;
        TPoint Expected;
    };
    const TCase cases[] = {
        { poDesigned, false, { 7, 9 } },
        { poScreenCenter, false, { 540, 462 } }, // on the 1280 x 1024 screen
        { poDesktopCenter, false, { 540, 462 } },
        { poOwnerFormCenter, true, { 200, 200 } },
        { poMainFormCenter, false, { 540, 462 } }, // no main form: the screen
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Position));
        auto form = std::make_unique<TForm>(c.Owned ? owner.get() : nullptr);
        form->SetBounds(7, 9, 200, 100);
        form->SetPosition(c.Position);
        form->Show();
        EXPECT_EQ(form->GetLeft(), c.Expected.X);
        EXPECT_EQ(form->GetTop(), c.Expected.Y);
    }
}

TEST_F(VclUi, FormWindowAttributesFollowTheProperties)
{
    auto form = ShownForm();
    form->Show();
    HWND h = form->GetHandle();
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(128);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, LWA_ALPHA);
    form->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLong(h, GWL_EXSTYLE) & LONG(WS_EX_LAYERED));
    form->SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & LONG(WS_EX_TOPMOST));
    form->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(h));
    form->SetWindowState(wsNormal);
    EXPECT_FALSE(IsZoomed(h));
    // A new border style makes a new window with the new frame.
    form->SetBorderStyle(bsDialog);
    EXPECT_TRUE(GetWindowLong(form->GetHandle(), GWL_EXSTYLE) & LONG(WS_EX_DLGMODALFRAME));
    EXPECT_FALSE(GetWindowLong(form->GetHandle(), GWL_STYLE) & LONG(WS_THICKFRAME));
}

// A drop-down style window: a control of its own at screen coordinates.
class TPopup : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void CreateParams(TCreateParams& p) override
    {
        TCustomControl::CreateParams(p);
        p.Style = WS_POPUP | WS_BORDER;
        p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
        p.WndParent = nullptr;
    }
};

TEST_F(VclUi, APopUpControlShowsAtScreenCoordinatesWithoutTakingTheActivation)
{
    auto form = ShownForm();
    form->Show();
    Pump();
    TPopup popup(nullptr);
    popup.SetVisible(false);
    popup.SetBounds(300, 250, 120, 80);
    HWND h = popup.GetHandle();
    EXPECT_FALSE(IsWindowVisible(h));
    popup.SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(GetActiveWindow(), form->GetHandle());
    EXPECT_EQ(popup.ClientToScreen({ 0, 0 }).X, 301); // inside the border
    popup.SetBounds(310, 250, 120, 80);
    RECT r;
    GetWindowRect(h, r);
    EXPECT_EQ(r.Left, 310);
    popup.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST_F(VclUi, TheScreenKnowsFormsCursorsFontsAndTheWorkArea)
{
    auto a = ShownForm();
    auto b = ShownForm();
    a->Show();
    b->Show();
    Pump();
    EXPECT_EQ(Screen->GetActiveForm(), b.get());
    EXPECT_EQ(Screen->GetForms(0), b.get()); // the active form comes first
    a->SetFocus();
    EXPECT_EQ(Screen->GetActiveForm(), a.get());
    EXPECT_EQ(Screen->GetForms(0), a.get());

    EXPECT_EQ(GetCursorId(Screen->GetCursors(crHourGlass)), IDC_WAIT);
    EXPECT_EQ(GetCursorId(Screen->GetCursors(crHandPoint)), IDC_HAND);
    const std::uint32_t pixels[4] = { 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u };
    HCURSOR own = CreateCursorFromPixels(2, 2, 0, 0, pixels);
    Screen->SetCursors(8010, own);
    EXPECT_EQ(Screen->GetCursors(8010), own);

    session.Backend().SetWorkArea(TRect(0, 0, 1280, 990));
    EXPECT_EQ(Screen->GetWorkAreaRect(), TRect(0, 0, 1280, 990));
    EXPECT_EQ(Screen->GetWidth(), 1280);
    session.Backend().SetWorkArea(std::nullopt);

    const std::vector<String>& fonts = Screen->GetFonts();
    EXPECT_TRUE(std::is_sorted(fonts.begin(), fonts.end(),
        [](const String& x, const String& y) { return StrLower(x) < StrLower(y); }));
    EXPECT_NE(std::find(fonts.begin(), fonts.end(), u"DejaVu Sans"), fonts.end());
}

TEST_F(VclUi, OnMouseActivateDecidesWhetherAClickActivatesAnInactiveForm)
{
    auto active = ShownForm();
    auto inactive = ShownForm();
    inactive->SetBounds(520, 100, 300, 200);
    auto* box = new TBox(inactive.get(), inactive.get(), "box", { 10, 10, 110, 60 });
    auto* painted = new TPainted(inactive.get());
    painted->SetBounds(10, 100, 60, 40);
    painted->SetParent(inactive.get());
    inactive->Show();
    active->Show();
    Pump();
    ASSERT_EQ(GetActiveWindow(), active->GetHandle());

    std::vector<std::string> log;
    TMouseActivate answer = maNoActivateAndEat;
    auto record = [&](const char* who) {
        return [&, who](TObject*, TMouseButton b, TShiftState, int x, int y, int hit, TMouseActivate& ma) {
            log.push_back(std::string(who) + " " + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y)
                + (hit == HTCLIENT ? " client" : " other"));
            ma = answer;
        };
    };
    box->OnMouseActivate = record("box");
    painted->OnMouseActivate = record("painted");
    box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("box down"); };

    // Eaten and not activating: the form stays inactive and the press never arrives.
    Headless::Click(box->ClientToScreen({ 5, 6 }));
    Pump();
    EXPECT_EQ(GetActiveWindow(), active->GetHandle());
    // A windowless control under the mouse answers for its parent window.
    Headless::Click(painted->ClientToScreen({ 7, 8 }), 1);
    Pump();
    EXPECT_EQ(GetActiveWindow(), active->GetHandle());
    // The default answer: the window system activates and the press lands.
    answer = maDefault;
    Headless::Click(box->ClientToScreen({ 5, 6 }));
    Pump();
    EXPECT_EQ(GetActiveWindow(), inactive->GetHandle());
    EXPECT_EQ(log, (std::vector<std::string> { "box 0 5,6 client", "painted 1 7,8 client", "box 0 5,6 client",
                       "box down" }));
}

TEST_F(VclUi, IdleHandlersRunWhenTheQueueIsEmpty)
{
    int idle = 0;
    std::vector<std::string> reported;
    Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(StringToUtf8(e.Message)); };
    Application->OnIdle = [&](TObject*, bool& done) {
        done = false; // more idle work: the loop must not wait
        if (++idle == 2)
            throw Exception(u"idle failed");
    };
    Pump();
    Application->HandleMessage();
    Application->HandleMessage();
    Application->OnIdle = nullptr;
    EXPECT_EQ(idle, 2);
    EXPECT_EQ(reported, (std::vector<std::string> { "idle failed" }));
}

TEST_F(VclUi, ClosingTheMainFormEndsTheApplicationLoop)
{
    // Run in a child process: the application object is process-wide.
    EXPECT_EXIT(
        {
            setenv("QT_WINDOW_BACKEND", "headless", 1);
            Application->Initialize();
            TForm* main = nullptr;
            Application->CreateForm(main);
            main->SetCaption(u"Main");
            bool shown = false;
            main->OnShow = [&](TObject*) { shown = true; };
            auto* closer = new TTimer(main);
            closer->SetInterval(30);
            closer->OnTimer = [&](TObject*) { main->Close(); };
            Application->Run();
            std::exit(shown && Application->GetMainForm() == main ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}

} // namespace
