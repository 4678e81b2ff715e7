#include "platform/vcl/ToolTips.h"

#include "platform/gdi/WindowRegions.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win/Window.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

// A panel that answers the tooltip's text request and logs its notifications.
class TTipPanel : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<UINT> Codes;
    String Text { u"Cell text" };
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_NOTIFY) {
            auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
            Codes.push_back(header->code);
            if (header->code == TTN_GETDISPINFO)
                reinterpret_cast<NMTTDISPINFO*>(Message.LParam)->lpszText = Text.data();
            return;
        }
        TPanel::Dispatch(Message);
    }
};

class ToolTips : public SimpleControls {
protected:
    // A balloon tooltip set up the way the grid does it.
    HWND MakeBalloon(TWinControl* tool)
    {
        RegisterToolTipClass();
        HWND tip = CreateWindowEx(0, u"Tooltips_Class32", String(), TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
            int(0x80000000), int(0x80000000), int(0x80000000), int(0x80000000), tool->GetHandle(), nullptr, nullptr,
            nullptr);
        TOOLINFO ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = tool->GetHandle();
        ti.uId = reinterpret_cast<UINT_PTR>(tool->GetHandle());
        ti.rect = tool->GetClientRect();
        ti.lpszText = LPSTR_TEXTCALLBACK;
        EXPECT_TRUE(SendMessage(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
        String title = u"ToolTipText";
        SendMessage(tip, TTM_SETTITLE, 3, reinterpret_cast<LPARAM>(title.c_str()));
        return tip;
    }
    static TRect WindowRect(HWND h)
    {
        RECT r;
        GetWindowRect(h, r);
        return r;
    }
};

} // namespace

TEST_F(ToolTips, ABalloonAppearsAfterTheDelayWithTheTextAskedForAndPopsAfterItsTime)
{
    auto form = MakeForm();
    auto* panel = Add<TTipPanel>(form.get(), form.get(), { 20, 20, 200, 100 });
    form->Show();
    HWND tip = MakeBalloon(panel);
    ASSERT_NE(tip, nullptr);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 300);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2000);
    SendMessage(tip, TTM_SETTIPBKCOLOR, RGB(0, 0, 255), 0);
    SendMessage(tip, TTM_SETMAXTIPWIDTH, 0, 300);

    const TPoint spot = panel->ClientToScreen({ 50, 40 });
    Headless::MouseMove(spot);
    session.PassTime(200);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_TRUE(panel->Codes.empty());
    session.PassTime(150);
    ASSERT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(panel->Codes, (std::vector<UINT> { TTN_GETDISPINFO, TTN_SHOW }));
    // The stem points at the pointer; the body hangs below it.
    const TRect r = WindowRect(tip);
    EXPECT_EQ(r.Top, spot.Y);
    EXPECT_GT(r.Left, spot.X - 40);
    EXPECT_LT(r.Left, spot.X);
    // Balloon shape: the corners are cut away, the body shows the colour.
    const auto region = GetWindowRegion(tip);
    ASSERT_TRUE(region.has_value());
    EXPECT_FALSE(region->Contains(0, r.Height() - 1));
    EXPECT_TRUE(region->Contains(r.Width() / 2, r.Height() / 2));
    Pump();
    EXPECT_EQ(Headless::ScreenPixel({ r.Left + r.Width() - 6, r.Top + r.Height() / 2 }) & 0xFFFFFF, 0x0000FFu);
    // A tooltip never takes the mouse or the activation.
    EXPECT_EQ(WindowFromPoint(TPoint { r.Left + r.Width() / 2, r.Top + r.Height() / 2 }), panel->GetHandle());
    EXPECT_EQ(GetActiveWindow(), form->GetHandle());

    session.PassTime(2100);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(panel->Codes.back(), TTN_POP);
    DestroyWindow(tip);
}

TEST_F(ToolTips, LeavingTheToolOrAPressHidesTheTipAndAnEmptyTextShowsNone)
{
    auto form = MakeForm();
    auto* panel = Add<TTipPanel>(form.get(), form.get(), { 20, 20, 200, 100 });
    auto* other = Add<TPanel>(form.get(), form.get(), { 220, 20, 300, 100 });
    form->Show();
    HWND tip = MakeBalloon(panel);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);

    Headless::MouseMove(panel->ClientToScreen({ 30, 30 }));
    session.PassTime(150);
    ASSERT_TRUE(IsWindowVisible(tip));
    Headless::MouseMove(other->ClientToScreen({ 10, 10 }));
    session.PassTime(150);
    EXPECT_FALSE(IsWindowVisible(tip));

    Headless::MouseMove(panel->ClientToScreen({ 30, 30 }));
    session.PassTime(150);
    ASSERT_TRUE(IsWindowVisible(tip));
    Headless::MouseDown(panel->ClientToScreen({ 30, 30 }));
    Pump();
    EXPECT_FALSE(IsWindowVisible(tip));
    Headless::MouseUp(panel->ClientToScreen({ 30, 30 }));
    Pump();

    Headless::MouseMove(other->ClientToScreen({ 10, 10 }));
    session.PassTime(150);
    panel->Text.clear();
    panel->Codes.clear();
    Headless::MouseMove(panel->ClientToScreen({ 30, 30 }));
    session.PassTime(150);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(panel->Codes, (std::vector<UINT> { TTN_GETDISPINFO }));

    // TTM_POP hides a tip that is up.
    panel->Text = u"again";
    Headless::MouseMove(other->ClientToScreen({ 10, 10 }));
    session.PassTime(150);
    Headless::MouseMove(panel->ClientToScreen({ 30, 30 }));
    session.PassTime(150);
    ASSERT_TRUE(IsWindowVisible(tip));
    SendMessage(tip, TTM_POP, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip));
    DestroyWindow(tip);
}

TEST_F(ToolTips, SettingsAnswerBackAndLongTextWrapsAtTheMaximumWidth)
{
    auto form = MakeForm();
    auto* panel = Add<TTipPanel>(form.get(), form.get(), { 20, 20, 200, 100 });
    form->Show();
    HWND tip = MakeBalloon(panel);
    struct Delay {
        WPARAM kind;
        int set;
        LRESULT read;
    };
    const Delay delays[] = { { TTDT_INITIAL, 700, 700 }, { TTDT_RESHOW, 90, 90 }, { TTDT_AUTOPOP, 9000, 9000 } };
    for (const Delay& d : delays) {
        SCOPED_TRACE(d.kind);
        SendMessage(tip, TTM_SETDELAYTIME, d.kind, d.set);
        EXPECT_EQ(SendMessage(tip, TTM_GETDELAYTIME, d.kind, 0), d.read);
    }
    EXPECT_EQ(SendMessage(tip, TTM_SETMAXTIPWIDTH, 0, 300), -1);
    EXPECT_EQ(SendMessage(tip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
    SendMessage(tip, TTM_SETTIPTEXTCOLOR, RGB(1, 2, 3), 0);
    EXPECT_EQ(COLORREF(SendMessage(tip, TTM_GETTIPTEXTCOLOR, 0, 0)), RGB(1, 2, 3));
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

    panel->Text = String(600, u'w');
    for (int i = 10; i < 600; i += 11)
        panel->Text[std::size_t(i)] = u' ';
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 10);
    Headless::MouseMove(panel->ClientToScreen({ 30, 30 }));
    session.PassTime(50);
    ASSERT_TRUE(IsWindowVisible(tip));
    const TRect r = WindowRect(tip);
    EXPECT_LE(r.Width(), 300 + 40);
    EXPECT_GT(r.Height(), 80);

    // Deleting the tool hides its tip; the panel keeps working.
    TOOLINFO ti;
    ti.hwnd = panel->GetHandle();
    ti.uId = reinterpret_cast<UINT_PTR>(panel->GetHandle());
    SendMessage(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_EQ(SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    DestroyWindow(tip);
    int clicks = 0;
    panel->OnClick = [&](TObject*) { ++clicks; };
    ClickAt(panel, { 30, 30 });
    EXPECT_EQ(clicks, 1);
}

TEST_F(ToolTips, ToolDestroyedBeforeItsTipLeavesNothingDangling)
{
    auto form = MakeForm();
    auto* panel = Add<TTipPanel>(form.get(), form.get(), { 20, 20, 200, 100 });
    form->Show();
    HWND tip = MakeBalloon(panel);
    SendMessage(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 100);
    Headless::MouseMove(panel->ClientToScreen({ 30, 30 }));
    session.PassTime(150);
    ASSERT_TRUE(IsWindowVisible(tip));
    delete panel;
    session.PassTime(500);
    Headless::MouseMove({ 150, 150 });
    session.PassTime(500);
    EXPECT_FALSE(IsWindowVisible(tip));
    DestroyWindow(tip);
}

TEST_F(ToolTips, BalloonHintPointsAtTheControlAndHidesByItselfOrOnRequest)
{
    auto form = MakeForm();
    auto* edit = Add<TPanel>(form.get(), form.get(), { 40, 40, 200, 64 });
    form->Show();
    TBalloonHint hint(form.get());
    hint.SetTitle(u"Invalid entry");
    hint.SetDescription(u"Enter a number of seconds.");
    hint.SetHideAfter(1000);
    hint.ShowHint(edit);
    Pump();
    ASSERT_TRUE(hint.GetShowing());
    const TPoint stem = edit->ClientToScreen({ edit->GetWidth() / 2, edit->GetHeight() });
    const TRect r = WindowRect(hint.GetHandle());
    EXPECT_EQ(r.Top, stem.Y);
    EXPECT_TRUE(GetWindowRegion(hint.GetHandle())->Contains(stem.X - r.Left, 1));
    session.PassTime(1100);
    EXPECT_FALSE(hint.GetShowing());

    hint.SetHideAfter(-1);
    hint.ShowHint(TPoint { 300, 300 });
    session.PassTime(20000);
    EXPECT_TRUE(hint.GetShowing());
    hint.HideHint();
    EXPECT_FALSE(hint.GetShowing());

    // The standard style is a plain rectangle.
    hint.SetStyle(bhsStandard);
    hint.ShowHint(TPoint { 300, 300 });
    EXPECT_TRUE(hint.GetShowing());
    EXPECT_FALSE(GetWindowRegion(hint.GetHandle()).has_value());
}
