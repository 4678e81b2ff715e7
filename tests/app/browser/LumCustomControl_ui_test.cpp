#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/browser/LumCustomControl.h"
#include "graphics/LumGraphicsDefaults.h"
#include "graphics/LumGraphicsStyles.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Headless.h"

namespace {

// Records what reaches the input hooks and the paint step.
class TRecorder : public TLumCustomControl {
public:
    TRecorder(TComponent* owner, TWinControl* parent, TRect bounds) : TLumCustomControl(owner)
    {
        SetBoundsRect(bounds);
        SetParent(parent);
        OnInternalMouseDown = [this](TObject*) { Log.push_back("internal down"); };
    }
    void HandleMouseDown(TMouseButton, TShiftState, float X, float Y) override
    {
        Log.push_back("down " + std::to_string(int(X)) + "," + std::to_string(int(Y)));
    }
    void HandleKeyDownFirst(WORD& Key, TShiftState) override { Log.push_back("first " + std::to_string(Key)); }
    void HandleKeyDown(WORD& Key, TShiftState) override { Log.push_back("key " + std::to_string(Key)); }
    void InitializeControl() override { ++Initialized; }
    void DrawControl() override { ++Draws; }

    std::vector<std::string> Log;
    int Initialized { 0 };
    int Draws { 0 };
};

// A plain focusable sibling.
class TBox : public TCustomControl {
public:
    TBox(TComponent* owner, TWinControl* parent, TRect bounds) : TCustomControl(owner)
    {
        SetTabStop(true);
        SetBoundsRect(bounds);
        SetParent(parent);
        OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++Clicks; };
    }
    int Clicks { 0 };
};

class LumControlUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        form->SetPosition(poDesigned);
    }
    void TearDown() override
    {
        form.reset();
        TStyleManager::SetStyle(u"Windows");
    }
    static void Pump() { Application->ProcessMessages(); }
    static TPoint Screen(TControl* c, TPoint p) { return c->ClientToScreen(p); }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
};

TEST_F(LumControlUi, TabIsTheFormsForATabStopAndTheControlsOwnOtherwise)
{
    TBox* first = new TBox(form.get(), form.get(), { 10, 10, 60, 30 });
    TRecorder* rec = new TRecorder(form.get(), form.get(), { 10, 40, 60, 60 });
    TBox* last = new TBox(form.get(), form.get(), { 10, 70, 60, 90 });
    form->Show();
    Pump();

    struct TCase {
        bool TabStop;
        bool Shift;
        TBox* Expected;
        bool ControlSawTab;
    };
    const TCase cases[] = {
        { true, false, last, false },
        { true, true, first, false },
        { false, false, last, true },
        { false, true, first, true },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "tab stop " << c.TabStop << " shift " << c.Shift);
        rec->SetTabStop(c.TabStop);
        rec->SetFocus();
        Pump();
        ASSERT_TRUE(rec->Focused());
        rec->Log.clear();
        Headless::Key(VK_TAB, c.Shift);
        Pump();
        EXPECT_TRUE(c.Expected->Focused());
        const bool sawTab = std::find(rec->Log.begin(), rec->Log.end(), "key 9") != rec->Log.end();
        EXPECT_EQ(sawTab, c.ControlSawTab);
    }

    // A control that may not take the focus is passed over.
    rec->SetTabStop(true);
    rec->SetAllowFocus(false);
    first->SetFocus();
    Pump();
    Headless::Key(VK_TAB);
    Pump();
    EXPECT_TRUE(last->Focused());
}

TEST_F(LumControlUi, WheelAndDoubleClickHooksGetTheFrameworksAnswerAndTheClientPosition)
{
    struct TWheeler : TRecorder {
        using TRecorder::TRecorder;
        void HandleMouseWheel(TShiftState Shift, int WheelDelta, bool& Handled) override
        {
            Log.push_back("wheel " + std::to_string(WheelDelta) + (Handled ? " handled" : "")
                + (Shift.Contains(ssCtrl) ? " ctrl" : ""));
        }
        void HandleDblClick(float X, float Y) override
        {
            Log.push_back("dbl " + std::to_string(int(X)) + "," + std::to_string(int(Y)));
        }
    };
    auto* rec = new TWheeler(form.get(), form.get(), { 10, 10, 110, 110 });
    form->Show();
    rec->SetFocus();
    Pump();

    bool frameworkHandles = false;
    rec->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) { handled = frameworkHandles; };
    Headless::Wheel(-120, Screen(rec, { 20, 20 }));
    Pump();
    frameworkHandles = true;
    Headless::Wheel(120, Screen(rec, { 20, 20 }));
    Pump();
    EXPECT_EQ(rec->Log, (std::vector<std::string> { "wheel -120", "wheel 120 handled" }));

    rec->Log.clear();
    Headless::DoubleClick(Screen(rec, { 31, 42 }));
    Pump();
    EXPECT_NE(std::find(rec->Log.begin(), rec->Log.end(), "dbl 31,42"), rec->Log.end());
}

TEST_F(LumControlUi, MouseInputReachesTheHooksUnlessHitTestingIsOff)
{
    TBox* below = new TBox(form.get(), form.get(), { 10, 10, 110, 110 });
    TRecorder* rec = new TRecorder(form.get(), form.get(), { 10, 10, 110, 110 });
    form->Show();
    Pump();

    Headless::Click(Screen(rec, { 7, 9 }));
    Pump();
    EXPECT_EQ(rec->Log, (std::vector<std::string> { "down 7,9", "internal down" }));
    EXPECT_EQ(below->Clicks, 0);

    rec->Log.clear();
    rec->SetHitTest(false);
    Headless::Click(Screen(rec, { 7, 9 }));
    Pump();
    EXPECT_TRUE(rec->Log.empty());
    EXPECT_EQ(below->Clicks, 1);
}

TEST_F(LumControlUi, BlockInvalidateSkipsThePaintStep)
{
    TRecorder* rec = new TRecorder(form.get(), form.get(), { 10, 10, 110, 110 });
    form->Show();
    Pump();
    ASSERT_GT(rec->Draws, 0);

    const int before = rec->Draws;
    rec->SetBlockInvalidate(true);
    rec->Repaint();
    Pump();
    EXPECT_EQ(rec->Draws, before);

    rec->SetBlockInvalidate(false);
    rec->Repaint();
    Pump();
    EXPECT_GT(rec->Draws, before);
}

TEST_F(LumControlUi, AControlMadeWithNewIsInitialisedWhenItsWindowIsMade)
{
    TRecorder* rec = new TRecorder(form.get(), nullptr, { 10, 10, 50, 50 });
    EXPECT_EQ(rec->Initialized, 0);
    rec->SetParent(form.get());
    rec->HandleNeeded();
    EXPECT_EQ(rec->Initialized, 1);
    rec->RecreateWnd();
    rec->HandleNeeded();
    EXPECT_EQ(rec->Initialized, 1);
}

TEST_F(LumControlUi, AdaptingControlsFollowTheStyleAndGoBackToTheirDefaults)
{
    TRecorder* adapting = new TRecorder(form.get(), form.get(), { 10, 10, 50, 50 });
    TRecorder* plain = new TRecorder(form.get(), form.get(), { 60, 10, 100, 50 });
    adapting->SetAdaptToStyle(true);
    form->Show();
    Pump();

    TColor lastFill = 0, lastStroke = 0;
    for (const char16_t* name : { u"Cyan Night", u"Light" }) {
        SCOPED_TRACE(StringToUtf8(name));
        TStyleManager::SetStyle(name);
        TColor fill = 0, line = 0, background = 0;
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleBackgroundFillColor(fill));
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleLineFillColor(line));
        EXPECT_EQ(adapting->GetFill()->GetColor(), fill);
        EXPECT_EQ(adapting->GetStroke()->GetColor(), line);
        EXPECT_EQ(adapting->GetColor(), fill);
        EXPECT_TRUE(adapting->GetAdaptedToStyle());
        EXPECT_EQ(plain->GetFill()->GetColor(), TColor(0xFFFFFF));
        EXPECT_EQ(plain->GetStroke()->GetColor(), TColor(0xC0C0C0));
        // The shared default colours follow the style as well.
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleBackgroundFillColor(background));
        EXPECT_EQ(DefaultBackgroundFillColor, background);
        EXPECT_NE(fill, lastFill);
        lastFill = fill;
        lastStroke = line;
    }

    // The plain style answers no colour: what was applied stays.
    TStyleManager::SetStyle(u"Windows");
    EXPECT_EQ(adapting->GetFill()->GetColor(), lastFill);
    EXPECT_EQ(adapting->GetStroke()->GetColor(), lastStroke);
    EXPECT_EQ(DefaultBackgroundFillColor, TColor(0xFFFFFF));

    adapting->SetAdaptToStyle(false);
    EXPECT_FALSE(adapting->GetAdaptedToStyle());
    EXPECT_EQ(adapting->GetFill()->GetColor(), TColor(0xFFFFFF));
    EXPECT_EQ(adapting->GetStroke()->GetColor(), TColor(0xC0C0C0));
}

} // namespace
