#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "grid/edit/VovEdit.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

class EditBtnUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetPosition(poDesigned);
        edit = new TVovEditBtn(form.get());
        edit->SetBounds(10, 10, 120, 24);
        edit->SetParent(form.get());
        units = new TVovUnitEditBtn(form.get());
        units->SetBounds(10, 50, 120, 24);
        units->SetParent(form.get());
        units->OnClickBtn = [this](TObject* Sender) { senders.push_back(Sender); };
        edit->OnClickBtn = [this](TObject* Sender) { senders.push_back(Sender); };
    }
    void TearDown() override { form.reset(); }
    static void Pump() { Application->ProcessMessages(); }
    void Show()
    {
        form->Show();
        Pump();
    }
    TPoint ButtonCentre(TVovEditBtn* e)
    {
        TLumSpeedButton* b = e->GetButton()->GetButton();
        return b->ClientToScreen({ b->GetWidth() / 2, b->GetHeight() / 2 });
    }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
    TVovEditBtn* edit {};
    TVovUnitEditBtn* units {};
    std::vector<TObject*> senders;
};

} // namespace

TEST_F(EditBtnUi, TextAndUnitTakesTheLongestUnitAtTheEnd)
{
    struct Case {
        std::vector<const char16_t*> Units;
        const char16_t* Value;
        const char16_t* Text;
        const char16_t* Unit;
    };
    const Case cases[] = {
        { { u"kg", u"g" }, u"12kg", u"12", u"kg" },
        { { u"g", u"kg" }, u"12kg", u"12", u"kg" },   // not "12k" and "g"
        { { u"g", u"kg" }, u"12g", u"12", u"g" },
        { { u"m", u"cm", u"mm" }, u"3.5mm", u"3.5", u"mm" },
        { { u"kg" }, u"kg", u"", u"kg" },             // the unit alone
        { { u"kg" }, u"12KG", u"old", u"lb" },        // case counts: nothing changes
        { { u"kg" }, u"12", u"old", u"lb" },
        { { u"", u"kg" }, u"12", u"old", u"lb" },     // an empty unit never matches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Value));
        TStringList list;
        for (const char16_t* u : c.Units)
            list.Add(u);
        units->SetUnits(&list);
        units->SetText(u"old");
        units->SetUnitID(u"lb");
        units->SetTextAndUnit(c.Value);
        EXPECT_EQ(StringToUtf8(units->GetText()), StringToUtf8(c.Text));
        EXPECT_EQ(StringToUtf8(units->GetUnitID()), StringToUtf8(c.Unit));
        EXPECT_EQ(StringToUtf8(units->GetTextAndUnit()), StringToUtf8(String(c.Text) + c.Unit));
    }
    units->SetUnits(nullptr); // ignored
    EXPECT_EQ(units->GetUnits()->GetCount(), 2);
}

TEST_F(EditBtnUi, F4ClicksTheButtonButNotWithAltOrCtrl)
{
    form->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; }; // Alt+F4 closes forms
    Show();
    edit->SetFocus();
    Pump();
    Headless::Key(VK_F4);
    Pump();
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], edit); // F4 reports the edit itself
    Headless::Key(VK_F4, false, false, true);
    Headless::Key(VK_F4, false, true, false);
    Pump();
    EXPECT_EQ(senders.size(), 1u);

    // With the editor disabled typing is ignored, F4 still clicks.
    edit->SetEditorEnabled(false);
    edit->SetText(u"5");
    edit->SetSelStart(1);
    Headless::Type(u"78");
    Headless::Key(VK_F4);
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "5");
    EXPECT_EQ(senders.size(), 2u);
}

TEST_F(EditBtnUi, MouseReleaseClicksTheButtonAndFocusesTheEdit)
{
    Show();
    units->SetFocus();
    Pump();
    const TPoint at = ButtonCentre(edit);
    Headless::MouseDown(at);
    Pump();
    EXPECT_TRUE(senders.empty()); // the press alone does not click
    Headless::MouseMove({ at.X + 60, at.Y + 60 });
    Headless::MouseUp({ at.X + 60, at.Y + 60 });
    Pump();
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], edit->GetButton()); // released away from it: still a click
    EXPECT_TRUE(edit->Focused());

    // The right button does nothing; nor does a button without a handler.
    Headless::Click(at, 1);
    Pump();
    EXPECT_EQ(senders.size(), 1u);
    edit->GetButton()->OnClick = nullptr;
    Headless::Click(at);
    Pump();
    EXPECT_EQ(senders.size(), 1u);
}

TEST_F(EditBtnUi, UnitMenuChoosesTheUnit)
{
    TStringList list;
    list.Add(u"g");
    list.Add(u"kg");
    units->SetUnits(&list);
    units->SetUnitID(u"g");
    std::vector<String> changes;
    units->OnUnitChanged = [&](TObject* Sender, const String& NewUnit) {
        EXPECT_EQ(Sender, units);
        changes.push_back(NewUnit);
    };
    Show();
    units->SetFocus();
    Pump();
    // Once the menu waits, its place is noted and the second item is chosen.
    TRect menuRect;
    TTimer soon(nullptr);
    soon.SetInterval(50);
    soon.OnTimer = [&](TObject*) {
        soon.SetEnabled(false);
        RECT r {};
        GetWindowRect(OpenMenuWindow(0), r);
        menuRect = TRect(r);
        Headless::Key(VK_DOWN);
        Headless::Key(VK_DOWN);
        Headless::Key(VK_RETURN);
    };
    Headless::Click(ButtonCentre(units));
    Pump();
    EXPECT_EQ(menuRect.TopLeft(), units->ClientToScreen({ units->GetClientWidth() - 15, units->GetClientHeight() }));
    EXPECT_EQ(OpenMenuWindow(0), nullptr);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], units); // the unit edit reports itself, not its button
    EXPECT_EQ(StringToUtf8(units->GetUnitID()), "kg");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(StringToUtf8(changes[0]), "kg");

    // Choosing the current unit again fires nothing; numbers beyond the list
    // and edit notifications are not choices.
    units->Perform(WM_COMMAND, 2, 0);
    units->Perform(WM_COMMAND, 3, 0);
    units->Perform(WM_COMMAND, MAKEWPARAM(1, EN_CHANGE), 0);
    EXPECT_EQ(StringToUtf8(units->GetUnitID()), "kg");
    units->Perform(WM_COMMAND, 1, 0);
    EXPECT_EQ(StringToUtf8(units->GetUnitID()), "g");
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(EditBtnUi, ButtonLayoutAndEditRect)
{
    Show();
    TVovEditButton* b = edit->GetButton();
    ASSERT_EQ(b->GetParent(), edit);
    const int H = edit->GetHeight();
    EXPECT_EQ(b->GetBoundsRect(), TRect(120 - 18 - 5, 0, 120 - 5, H - 5));
    EXPECT_EQ(b->GetButton()->GetBoundsRect(), TRect(0, 0, 18, H - 5)); // the speed button fills it
    RECT r {};
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(TRect(r), TRect(1, 1, edit->GetClientWidth() - 23, edit->GetClientHeight() + 1));

    edit->SetButtonAlign(btnLeft);
    edit->SetButtonWidth(22);
    EXPECT_EQ(b->GetBoundsRect(), TRect(5, 0, 27, H - 5));
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Left, 23);
    EXPECT_EQ(r.Right, edit->GetClientWidth() - 3);

    // A unit edit keeps room for the unit beside the button.
    units->SetUnitSpace(30);
    units->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Right, units->GetClientWidth() - (18 + 30 + 5) - 3);

    edit->SetHeight(4);
    EXPECT_EQ(edit->GetHeight(), edit->GetMinHeight());
}

TEST_F(EditBtnUi, ButtonColourAndUnitText)
{
    edit->GetButton()->SetButtonColor(TColor(0x0000FF));
    edit->GetButton()->SetButtonColorDown(TColor(0xFF0000));
    TStringList list;
    list.Add(u"kg");
    units->SetUnits(&list);
    units->SetTextAndUnit(u"5kg");
    units->SetColor(clWhite);
    units->GetFont()->SetColor(clBlack);
    Show();
    TLumSpeedButton* sb = edit->GetButton()->GetButton();
    const TPoint origin = sb->ClientToScreen({ 0, 0 });
    EXPECT_EQ(Headless::ScreenPixel({ origin.X + 2, origin.Y + 2 }) & 0xFFFFFF, 0xFF0000u);
    EXPECT_TRUE(sb->GetFlat()); // a coloured button is flat
    Headless::MouseDown(ButtonCentre(edit));
    Pump();
    EXPECT_EQ(Headless::ScreenPixel({ origin.X + 2, origin.Y + 2 }) & 0xFFFFFF, 0x0000FFu);
    Headless::MouseUp(ButtonCentre(edit));
    Pump();

    // The unit text stands left of the button, in the font's colour.
    const int cw = units->GetClientWidth(), bw = units->GetButtonWidth();
    const TPoint left = units->ClientToScreen({ cw - bw - 3 - units->GetUnitSpace(), 2 });
    int dark = 0;
    for (int y = 0; y < units->GetClientHeight() - 2; ++y)
        for (int x = 0; x < units->GetUnitSpace(); ++x)
            if ((Headless::ScreenPixel({ left.X + x, left.Y + y }) & 0xFFFFFF) < 0x404040)
                ++dark;
    EXPECT_GT(dark, 5);
    units->SetUnitID(u"");
    Pump();
    dark = 0;
    for (int y = 0; y < units->GetClientHeight() - 2; ++y)
        for (int x = 0; x < units->GetUnitSpace(); ++x)
            if ((Headless::ScreenPixel({ left.X + x, left.Y + y }) & 0xFFFFFF) < 0x404040)
                ++dark;
    EXPECT_EQ(dark, 0);
}

TEST_F(EditBtnUi, MaskedTextIsKeptWithoutAnError)
{
    Show();
    edit->SetEditMask(u"00/00;1;_");
    edit->SetFocus();
    Pump();
    Headless::Type(u"1");
    Pump();
    int pos = -1;
    EXPECT_FALSE(edit->Validate(edit->GetEditText(), pos));
    EXPECT_EQ(pos, 1);
    units->SetFocus(); // leaving with an incomplete text raises nothing
    Pump();
    EXPECT_TRUE(units->Focused());
    EXPECT_EQ(StringToUtf8(edit->GetEditText()), "1_/__");
}

TEST(VovSpeedButton, ShowsTheImageCentred)
{
    THeadlessSession session;
    InstallDeviceContextFactory();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 200, 100);
    form->SetPosition(poDesigned);
    auto* images = new TImageList(form.get());
    images->SetWidth(8);
    images->SetHeight(8);
    TBitmap red(8, 8);
    red.GetCanvas()->GetBrush()->SetColor(TColor(0x0000FF));
    red.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    images->Add(&red, nullptr);
    auto* button = new TVovSpeedButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 24, 24);
    button->SetImages(images);
    form->Show();
    Application->ProcessMessages();
    const TPoint centre = button->ClientToScreen({ 12, 12 });
    EXPECT_NE(Headless::ScreenPixel(centre) & 0xFFFFFF, 0xFF0000u); // no index yet
    button->SetImageIndex(0);
    Application->ProcessMessages();
    EXPECT_EQ(Headless::ScreenPixel(centre) & 0xFFFFFF, 0xFF0000u);
    EXPECT_NE(Headless::ScreenPixel(button->ClientToScreen({ 5, 12 })) & 0xFFFFFF, 0xFF0000u);
    delete images; // the button forgets it
    EXPECT_EQ(button->GetImages(), nullptr);
    Application->ProcessMessages();
}
