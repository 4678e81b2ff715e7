#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumTrackBarDropDown.h"
#include "platform/vcl/ComCtrls_TrackBar.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

struct TrackDropDown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumTrackBarDropDown* Edit { nullptr };
    TEdit* Other { nullptr };
    int TrackChanges { 0 };

    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TLumTrackBarDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 40, 200, 21);
        Edit->OnTrackChange = [this](TObject*) { ++TrackChanges; };
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 200, 100, 21);
        Form->Show();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    TPoint EditPoint(int X) { return Edit->ClientToScreen(TPoint(X, 10)); }
};

} // namespace

TEST_F(TrackDropDown, TextFollowsTheTrackBar)
{
    EXPECT_EQ(Edit->GetText(), u"");  // nothing until the bar first moves
    ASSERT_NE(Edit->GetTrackBar(), nullptr);
    Edit->SetPosition(4);
    EXPECT_EQ(Edit->GetText(), u"4");
    EXPECT_EQ(TrackChanges, 1);
    Edit->SetPosition(25);  // the bar clamps
    EXPECT_EQ(Edit->GetPosition(), 10);
    EXPECT_EQ(Edit->GetText(), u"10");

    Edit->ShowDropDown();
    Pump();
    ASSERT_TRUE(Edit->GetDroppedDown());
    Edit->GetTrackBar()->SetPosition(6);
    EXPECT_EQ(Edit->GetText(), u"6");
    // A click elsewhere closes the window and keeps the value.
    Headless::Click(Other->ClientToScreen(TPoint(5, 5)));
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_EQ(Edit->GetText(), u"6");
    EXPECT_EQ(Edit->GetPosition(), 6);
}

TEST_F(TrackDropDown, UpAndDownStepWithinTheRange)
{
    Edit->SetFocus();
    Pump();
    struct Case {
        int Start;
        WORD Key;
        int Expected;
    };
    const Case Cases[] = { { 5, VK_DOWN, 6 }, { 5, VK_UP, 4 }, { 10, VK_DOWN, 10 }, { 0, VK_UP, 0 } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Start * 100 + C.Key);
        Edit->SetPosition(C.Start);
        Headless::Key(C.Key);
        Pump();
        EXPECT_EQ(Edit->GetPosition(), C.Expected);
    }
}

TEST_F(TrackDropDown, TypedTextMovesTheBar)
{
    Edit->SetEditorEnabled(true);
    Edit->SetPosition(3);
    Edit->SetFocus();
    Pump();
    Edit->SelectAll();
    Headless::Type(u"7");
    Pump();
    EXPECT_EQ(Edit->GetPosition(), 7);
    EXPECT_EQ(Edit->GetTrackBar()->GetPosition(), 7);
    // Eleven digits are no integer: the position stays.
    Edit->SetRawText(u"12345678901");
    EXPECT_EQ(Edit->GetPosition(), 7);
    // An emptied edit stands for Min.
    Edit->SetMin(2);
    Edit->SetRawText(u"");
    EXPECT_EQ(Edit->GetPosition(), 2);
}

TEST_F(TrackDropDown, DraggingOverTheEdit)
{
    struct Case {
        int PageSize;
        int Moves;  // pixels per move event, four events
        int Expected;
    };
    const Case Cases[] = { { 2, 5, 2 + 4 * 2 }, { 2, 1, 2 }, { 0, 1, 2 + 4 } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.PageSize * 10 + C.Moves);
        Edit->SetPosition(2);
        Edit->SetPageSize(C.PageSize);
        Headless::MouseDown(EditPoint(40));
        for (int i = 1; i <= 4; ++i)
            Headless::MouseMove(EditPoint(40 + i * C.Moves));
        Headless::MouseUp(EditPoint(40 + 4 * C.Moves));
        Pump();
        EXPECT_EQ(Edit->GetPosition(), std::min(C.Expected, 10));
        if (Edit->GetDroppedDown())
            Edit->HideDropDown(false);
        Pump();
    }
}
