#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDetailDropDown.h"
#include "dropdown/LumDropDownForm.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

struct DetailDropDown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumDetailDropDown* D { nullptr };
    int Selects { 0 };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 400);
        D = new TLumDetailDropDown(Form.get());
        D->SetParent(Form.get());
        D->SetBounds(20, 20, 200, 22);
        D->OnSelect = [this](TObject*) { ++Selects; };
        Items({ u"Apple", u"Apricot", u"Banana" });
        Form->Show();
        D->SetFocus();
        Pump();
    }
    void Items(std::initializer_list<String> Captions)
    {
        D->GetItems()->Clear();
        for (const String& c : Captions)
            D->GetItems()->Add()->SetCaption(c);
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
    String Selected() const { return D->GetEditText().substr(std::size_t(D->GetSelStart()), std::size_t(D->GetSelLength())); }
};

} // namespace

TEST_F(DetailDropDown, TypingCompletesTheFirstCaption)
{
    Type(u"a");
    EXPECT_EQ(D->GetText(), u"apple");  // typed case kept, the rest the caption's
    EXPECT_EQ(D->GetSelStart(), 1);
    EXPECT_EQ(Selected(), u"pple");
    EXPECT_EQ(D->GetItemIndex(), 0);
    EXPECT_EQ(Selects, 0);

    Type(u"pr");
    EXPECT_EQ(D->GetText(), u"apricot");
    EXPECT_EQ(Selected(), u"icot");
    EXPECT_EQ(D->GetItemIndex(), 1);

    // Backspace takes the tail away and does not complete again.
    Key(VK_BACK);
    EXPECT_EQ(D->GetText(), u"apr");
    EXPECT_EQ(D->GetItemIndex(), 1);

    // Nothing begins with z: the text is what was typed, the index stays.
    D->SetSel(0, 3);
    Type(u"z");
    EXPECT_EQ(D->GetText(), u"z");
    EXPECT_EQ(D->GetSelStart(), 1);
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(Selects, 0);
}

TEST_F(DetailDropDown, ALongCaptionIsCompletedWhole)
{
    const String Long = u"Lo" + String(298, u'n');
    Items({ u"Apple", Long });
    Type(u"lo");
    EXPECT_EQ(D->GetText().size(), 300u);
    EXPECT_EQ(D->GetItemIndex(), 1);
    // Return finds the item under its whole caption (typed case aside).
    D->SetItemIndex(0);
    D->SetRawText(Long);
    Key(VK_RETURN);
    EXPECT_EQ(D->GetItemIndex(), 1);
}

TEST_F(DetailDropDown, ReturnFindsOnlyTheExactCaption)
{
    D->SetItemIndex(0);
    Selects = 0;
    D->SetRawText(u"apricot");
    Key(VK_RETURN);
    EXPECT_EQ(D->GetItemIndex(), 0);
    EXPECT_EQ(Selects, 0);
    D->SetRawText(u"Apricot");
    Key(VK_RETURN);
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetText(), u"Apricot");
    EXPECT_EQ(Selects, 1);
}

TEST_F(DetailDropDown, SettingAndSteppingTheIndex)
{
    struct Case {
        const char* what;
        int from, to;
        int index;
        const char16_t* text;
        int selects;
    };
    const Case cases[] = {
        { "an item", -1, 2, 2, u"Banana", 1 },
        { "the same again", 2, 2, 2, u"Banana", 0 },
        { "the count", 2, 3, 2, u"Banana", 0 },
        { "below -1", 2, -2, 2, u"Banana", 0 },
        { "-1 clears silently", 2, -1, -1, u"", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        D->SetItemIndex(c.from);
        Selects = 0;
        D->SetItemIndex(c.to);
        EXPECT_EQ(D->GetItemIndex(), c.index);
        EXPECT_EQ(D->GetText(), String(c.text));
        EXPECT_EQ(Selects, c.selects);
    }
    D->SetItemIndex(1);
    EXPECT_EQ(D->GetSelStart(), 0);
    EXPECT_EQ(D->GetSelLength(), 7);  // selected whole

    D->SetItemIndex(-1);
    D->SelectPrevious();
    EXPECT_EQ(D->GetItemIndex(), 0);
    D->SelectPrevious();
    EXPECT_EQ(D->GetItemIndex(), 0);
    D->SelectLast();
    D->SelectNext();
    EXPECT_EQ(D->GetItemIndex(), 2);
    // Closed, Up and Down step the edit's own index.
    Key(VK_UP);
    EXPECT_EQ(D->GetItemIndex(), 1);
}

TEST_F(DetailDropDown, TheOpenListMovesWithTheKeysAndAClickCloses)
{
    D->SetItemIndex(0);
    D->ShowDropDown();
    Pump();
    ASSERT_TRUE(D->GetDroppedDown());
    TLumCustomItemSelector* S = D->GetItemSelector();
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(S->GetItems()->GetCount(), 3);
    EXPECT_EQ(S->GetItemIndex(), 0);
    EXPECT_TRUE(S->Focused());

    Selects = 0;
    Key(VK_DOWN);
    EXPECT_TRUE(D->GetDroppedDown());
    EXPECT_EQ(S->GetItemIndex(), 1);
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetText(), u"Apricot");
    EXPECT_EQ(Selects, 1);

    // A click on an item selects it and closes.
    TRect R;
    S->GetItemSelectorPanel()->GetItemRect(2, R);
    Headless::Click(S->GetItemSelectorPanel()->ClientToScreen(TPoint(R.Left + 5, (R.Top + R.Bottom) / 2)));
    Pump();
    EXPECT_FALSE(D->GetDroppedDown());
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(D->GetText(), u"Banana");

    // Escape brings back the index the window opened with.
    D->ShowDropDown();
    Pump();
    Key(VK_UP);
    EXPECT_EQ(D->GetItemIndex(), 1);
    Key(VK_ESCAPE);
    EXPECT_FALSE(D->GetDroppedDown());
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(D->GetText(), u"Banana");
}

TEST_F(DetailDropDown, PageDownMovesAWindowfulNeverPastTheLast)
{
    D->GetItems()->Clear();
    for (int i = 0; i < 20; ++i)
        D->GetItems()->Add()->SetCaption(u"Item " + IntToStr(i));
    D->GetDropDownHeader()->SetVisible(false);
    D->GetDropDownFooter()->SetVisible(false);
    D->SetDropDownHeight(6 * 22);
    D->SetItemIndex(0);
    D->ShowDropDown();
    Pump();
    TLumCustomItemSelector* S = D->GetItemSelector();
    // A page is the whole items the list shows.
    const int n = S->GetVisibleItemCount();
    ASSERT_GE(n, 3);
    ASSERT_LT(n, 8);
    Key(VK_NEXT);
    EXPECT_EQ(D->GetItemIndex(), n);
    for (int i = 0; i < 20 / n + 1; ++i)
        Key(VK_NEXT);
    EXPECT_EQ(D->GetItemIndex(), 19);
    EXPECT_TRUE(D->GetDroppedDown());
    Key(VK_PRIOR);
    EXPECT_EQ(D->GetItemIndex(), 19 - n);
}

TEST_F(DetailDropDown, TheLookupWordLastsHalfASecondFromItsFirstLetter)
{
    Items({ u"Apple", u"Banana", u"Blueberry", u"Cherry" });
    D->ShowDropDown();
    Pump();
    Key('B');
    EXPECT_EQ(D->GetCurSearch(), u"B");
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_TRUE(D->GetDroppedDown());
    Session.PassTime(300);
    Key('L');
    EXPECT_EQ(D->GetCurSearch(), u"BL");
    EXPECT_EQ(D->GetItemIndex(), 2);
    Session.PassTime(200);  // 500 ms after the B
    EXPECT_EQ(D->GetCurSearch(), u"");
    Key('C');
    EXPECT_EQ(D->GetItemIndex(), 3);
}

TEST_F(DetailDropDown, ItemsPaintTheirCaptionAndNotesOrTheHandler)
{
    D->GetItems()->GetItem(0)->SetNotes(u"<b>crisp</b> and red");
    D->SetItemHeight(40);
    D->GetCaptionFont()->SetColor(TColor(0x0000FF));
    D->ShowDropDown();
    Pump();
    TCustomItemSelector* Panel = D->GetItemSelector()->GetItemSelectorPanel();
    TRect R;
    Panel->GetItemRect(0, R);
    ASSERT_EQ(R.Height(), 40);
    Panel->Invalidate();
    Pump();
    // Some caption pixels in the caption colour on the item's upper half.
    int Red = 0;
    for (int y = R.Top; y < R.Top + 18; ++y)
        for (int x = R.Left; x < R.Left + 60; ++x) {
            const std::uint32_t c = Headless::ScreenPixel(Panel->ClientToScreen({ x, y })) & 0xFFFFFF;
            Red += c == 0xFF0000u;
        }
    EXPECT_GT(Red, 3);
    D->HideDropDown(false);

    // A handler paints every item instead.
    int Calls = 0;
    D->OnDrawSelectedImage = [&](TObject* Sender, TCanvas* Canvas, TRect&) {
        EXPECT_EQ(Sender, D);
        EXPECT_NE(Canvas, nullptr);
        ++Calls;
    };
    D->ShowDropDown();
    Pump();
    Panel->Invalidate();
    Pump();
    EXPECT_GE(Calls, 3);
}
