#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/CheckLst.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Backend.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

class ListsUi : public SimpleControls {
protected:
    // A shown form with a combo box holding `lines`, focused.
    TComboBox* MakeCombo(TForm* form, TComboBoxStyle style, std::initializer_list<const char16_t*> lines)
    {
        auto* combo = Add<TComboBox>(form, form, { 10, 10, 160, 30 });
        combo->SetStyle(style);
        for (const char16_t* s : lines)
            combo->GetItems()->Add(s);
        form->Show();
        combo->SetFocus();
        Pump();
        return combo;
    }
    // The CBN_ codes the combo sends its parent, in order.
    void RecordNotifications(TForm* form, TComboBox* combo)
    {
        TWndMethod old = form->WindowProc;
        form->WindowProc = [this, old, combo](TMessage& m) {
            if (m.Msg == WM_COMMAND && reinterpret_cast<HWND>(m.LParam) == combo->GetHandle())
                codes.push_back(HIWORD(m.WParam));
            old(m);
        };
    }
    static void Keys(std::initializer_list<WORD> keys)
    {
        for (WORD k : keys)
            Headless::Key(k);
        Pump();
    }
    std::vector<int> codes;
};

TEST_F(ListsUi, ComboKeysWithTheListClosedStepThroughTheLines)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDownList, { u"one", u"two", u"three", u"four" });
    int changes = 0, selects = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->OnSelect = [&](TObject*) { ++selects; };
    struct TCase {
        const char* What;
        std::vector<WORD> Keys;
        int Index;
        int Changes;
    };
    const TCase cases[] = {
        { "down from nothing takes the first", { VK_DOWN }, 0, 1 },
        { "down twice", { VK_DOWN, VK_DOWN }, 2, 2 },
        { "end", { VK_END }, 3, 1 },
        { "down at the end stays, no change", { VK_DOWN }, 3, 0 },
        { "home", { VK_HOME }, 0, 1 },
        { "up at the top stays", { VK_UP }, 0, 0 },
        { "right steps like down", { VK_RIGHT }, 1, 1 },
        { "page down stops at the end", { VK_NEXT }, 3, 1 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        changes = selects = 0;
        for (WORD k : c.Keys)
            Headless::Key(k);
        Pump();
        EXPECT_EQ(combo->GetItemIndex(), c.Index);
        EXPECT_EQ(changes, c.Changes);
        EXPECT_EQ(selects, c.Changes);
        EXPECT_FALSE(combo->GetDroppedDown());
    }
    EXPECT_EQ(combo->GetText(), u"four");
}

TEST_F(ListsUi, ComboKeysWithTheListOpenMoveAndEnterAcceptsEscapeRestores)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDownList, { u"one", u"two", u"three", u"four" });
    combo->SetItemIndex(1);
    RecordNotifications(form.get(), combo);
    std::vector<std::string> events;
    combo->OnDropDown = [&](TObject*) { events.push_back("drop"); };
    combo->OnCloseUp = [&](TObject*) { events.push_back("close"); };
    combo->OnChange = [&](TObject*) { events.push_back("change " + std::to_string(combo->GetItemIndex())); };

    Headless::Key(VK_DOWN, false, false, true);
    Pump();
    ASSERT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetListControl()->GetHotIndex(), 1);
    Keys({ VK_DOWN, VK_DOWN });
    EXPECT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetItemIndex(), 3);
    Keys({ VK_RETURN });
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetItemIndex(), 3);
    EXPECT_EQ(events, (std::vector<std::string> { "drop", "change 2", "change 3", "close" }));
    EXPECT_EQ(codes, (std::vector<int> { CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP }));

    // Escape gives back the line selected when the list opened.
    events.clear();
    codes.clear();
    Keys({ VK_F4, VK_UP, VK_UP, VK_ESCAPE });
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetItemIndex(), 3);
    EXPECT_EQ(combo->GetText(), u"four");
    EXPECT_EQ(codes.back(), CBN_CLOSEUP);
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_SELENDCANCEL), codes.end());
}

TEST_F(ListsUi, TheDropDownListNeverTakesActivationOrFocus)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDown, { u"alpha", u"beta", u"gamma" });
    HWND edit = combo->GetEditControl()->GetHandle();
    ASSERT_EQ(GetFocus(), edit);
    int deactivations = 0;
    form->OnDeactivate = [&](TObject*) { ++deactivations; };

    ClickAt(combo, { combo->ButtonRect().Left + 3, 5 });
    ASSERT_TRUE(combo->GetDroppedDown());
    HWND list = combo->GetListControl()->GetHandle();
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_TRUE(GetWindowLongPtr(list, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), form->GetHandle());
    EXPECT_EQ(GetFocus(), edit);

    // A click on the second line lands in the list, not in the form.
    TComboBoxList* l = combo->GetListControl();
    const TPoint line = l->ClientToScreen({ 10, combo->GetItemHeight() + combo->GetItemHeight() / 2 });
    Headless::MouseMove(line);
    Headless::Click(line);
    Pump();
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_EQ(combo->GetText(), u"beta");
    EXPECT_EQ(GetActiveWindow(), form->GetHandle());
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(deactivations, 0);

    // A press outside closes the list without choosing.
    ClickAt(combo, { combo->ButtonRect().Left + 3, 5 });
    ASSERT_TRUE(combo->GetDroppedDown());
    ClickAt(form.get(), { 300, 250 });
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(combo->GetItemIndex(), 1);
}

TEST_F(ListsUi, ComboTypeAheadAndWheel)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDownList, { u"Apple", u"Banana", u"Blueberry", u"Cherry", u"Cranberry" });
    struct TCase {
        const char* What;
        const char16_t* Typed;
        UInt64 PauseBefore;
        const char16_t* Expected;
    };
    const TCase cases[] = {
        { "first letter", u"b", 0, u"Banana" },
        { "same letter again steps on", u"b", 0, u"Blueberry" },
        { "and wraps among those lines", u"b", 0, u"Banana" },
        { "after a pause a prefix", u"cr", 2000, u"Cranberry" },
        { "no match keeps the line", u"z", 2000, u"Cranberry" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        session.PassTime(c.PauseBefore);
        Headless::Type(c.Typed);
        Pump();
        EXPECT_EQ(combo->GetText(), c.Expected);
    }
    const TPoint over = combo->ClientToScreen({ 20, 5 });
    Headless::MouseMove(over);
    Headless::Wheel(120, over);
    Pump();
    EXPECT_EQ(combo->GetText(), u"Cherry");
    Headless::Wheel(-240, over);
    Pump();
    EXPECT_EQ(combo->GetText(), u"Cranberry"); // one line per notch, kept in range
}

TEST_F(ListsUi, EditableComboReportsEditChangesAndMatchesLines)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDown, { u"red", u"green" });
    combo->SetAutoComplete(false);
    RecordNotifications(form.get(), combo);
    std::vector<String> seen;
    combo->OnChange = [&](TObject*) { seen.push_back(combo->GetText()); };
    Headless::Type(u"gre");
    Pump();
    EXPECT_EQ(seen, (std::vector<String> { u"g", u"gr", u"gre" }));
    EXPECT_EQ(combo->GetItemIndex(), -1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_EDITCHANGE), 3);
    Headless::Type(u"en");
    Pump();
    EXPECT_EQ(combo->GetItemIndex(), 1);
    // Code sets the text without change notifications.
    seen.clear();
    combo->SetItemIndex(0);
    EXPECT_EQ(combo->GetText(), u"red");
    EXPECT_TRUE(seen.empty());
}

TEST_F(ListsUi, EditableComboCompletesTypedTextFromItsLines)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDown, { u"Berlin", u"Bern", u"Bonn" });
    std::vector<String> seen;
    combo->OnChange = [&](TObject*) { seen.push_back(combo->GetText()); };
    struct TCase {
        const char* What;
        std::function<void()> Do;
        const char16_t* Text;
        int SelStart;
        int SelLength;
        int Index;
    };
    const TCase cases[] = {
        { "a prefix completes to the first line", [] { Headless::Type(u"be"); }, u"Berlin", 2, 4, 0 },
        { "the next letter replaces the completion", [] { Headless::Type(u"rn"); }, u"Bern", 4, 0, 1 },
        { "deleting does not complete again", [] { Headless::Key(VK_BACK); }, u"Ber", 3, 0, -1 },
        { "no line starts so: the text stays", [] { Headless::Type(u"x"); }, u"Berx", 4, 0, -1 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        seen.clear();
        c.Do();
        Pump();
        EXPECT_EQ(combo->GetText(), c.Text);
        EXPECT_EQ(combo->GetSelStart(), c.SelStart);
        EXPECT_EQ(combo->GetSelLength(), c.SelLength);
        EXPECT_EQ(combo->GetItemIndex(), c.Index);
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), c.Text); // OnChange sees the completed text
    }
}

TEST_F(ListsUi, ComboMessagesAndInfo)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDown, { u"north", u"south" });
    combo->GetItems()->AddObject(u"east", reinterpret_cast<TObject*>(std::intptr_t(42)));
    HWND h = combo->GetHandle();
    char16_t buffer[16] {};
    EXPECT_EQ(SendMessage(h, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessage(h, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessage(h, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessage(h, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_EQ(String(buffer), u"east");
    EXPECT_EQ(SendMessage(h, CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
    EXPECT_EQ(SendMessage(h, CB_GETITEMDATA, 2, 0), 42);
    EXPECT_EQ(SendMessage(h, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(u"SOUTH")), 1);

    // The dropped width never falls below the combo's width.
    SendMessage(h, CB_SETDROPPEDWIDTH, 300, 0);
    EXPECT_EQ(SendMessage(h, CB_GETDROPPEDWIDTH, 0, 0), 300);
    SendMessage(h, CB_SETDROPPEDWIDTH, 20, 0);
    EXPECT_EQ(SendMessage(h, CB_GETDROPPEDWIDTH, 0, 0), combo->GetWidth());

    SendMessage(h, CB_SETITEMHEIGHT, 0, 25);
    EXPECT_EQ(combo->GetItemHeight(), 25);
    EXPECT_EQ(SendMessage(h, CB_SETITEMHEIGHT, 0, 0), CB_ERR);

    SendMessage(h, CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
    EXPECT_EQ(combo->GetSelStart(), 1);
    EXPECT_EQ(combo->GetSelLength(), 2);

    SendMessage(h, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_EQ(SendMessage(h, CB_GETDROPPEDSTATE, 0, 0), 1);
    SendMessage(h, CB_SHOWDROPDOWN, 0, 0);
    EXPECT_FALSE(combo->GetDroppedDown());

    COMBOBOXINFO info;
    ASSERT_TRUE(GetComboBoxInfo(h, &info));
    EXPECT_EQ(info.hwndCombo, h);
    EXPECT_EQ(info.hwndItem, combo->GetEditControl()->GetHandle());
    EXPECT_EQ(info.hwndList, combo->GetListControl()->GetHandle());
    EXPECT_EQ(TRect(info.rcButton), combo->ButtonRect());
    EXPECT_FALSE(GetComboBoxInfo(form->GetHandle(), &info));

    combo->SetStyle(csDropDownList);
    ASSERT_TRUE(GetComboBoxInfo(h, &info));
    EXPECT_EQ(info.hwndItem, nullptr);
    EXPECT_EQ(combo->GetText(), u"south"); // the selection survives the style change
}

TEST_F(ListsUi, SortedItemsAndDeletionsKeepTheSelectedLine)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csDropDownList, {});
    auto* list = Add<TListBox>(form.get(), form.get(), { 10, 50, 150, 150 });
    combo->SetSorted(true);
    list->SetSorted(true);
    for (const char16_t* s : { u"pear", u"Apple", u"fig", u"banana" }) {
        combo->GetItems()->Add(s);
        list->GetItems()->Add(s);
    }
    EXPECT_EQ(list->GetItems()->GetCommaText(), u"Apple,banana,fig,pear");
    EXPECT_EQ(combo->GetItems()->GetCommaText(), u"Apple,banana,fig,pear");
    combo->SetItemIndex(2);
    list->SetItemIndex(2);
    combo->GetItems()->Delete(0);
    list->GetItems()->Delete(0);
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_EQ(list->GetItemIndex(), 1);
    combo->GetItems()->Delete(1);
    list->GetItems()->Delete(1);
    EXPECT_EQ(combo->GetItemIndex(), -1);
    EXPECT_EQ(list->GetItemIndex(), -1);
    EXPECT_THROW(list->GetItems()->Delete(7), EStringListError);
}

TEST_F(ListsUi, ListBoxKeysClicksAndMultiSelect)
{
    auto form = MakeForm();
    auto* list = Add<TListBox>(form.get(), form.get(), { 10, 10, 150, 110 });
    for (int i = 0; i < 20; ++i)
        list->GetItems()->Add(u"line " + IntToStr(i));
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    list->SetFocus();
    Pump();
    const int h = list->GetItemHeight();
    struct TCase {
        const char* What;
        std::function<void()> Do;
        int Index;
        int Top;
        int Clicks;
    };
    const TCase cases[] = {
        { "down", [] { Headless::Key(VK_DOWN); }, 0, 0, 1 },
        { "end scrolls", [] { Headless::Key(VK_END); }, 19, 20 - list->GetClientHeight() / h, 1 },
        { "home", [] { Headless::Key(VK_HOME); }, 0, 0, 1 },
        { "click on the third line", [&] { Headless::Click(list->ClientToScreen({ 20, 2 * h + 2 })); }, 2, 0, 1 },
        { "down and up", [] { Headless::Key(VK_DOWN); Headless::Key(VK_UP); }, 2, 0, 2 },
        // "l" steps to the next line starting with it; the prefix then
        // searches from there and wraps round.
        { "typing finds a line", [] { Headless::Type(u"line 2"); }, 2, 0, 2 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        clicks = 0;
        c.Do();
        Pump();
        EXPECT_EQ(list->GetItemIndex(), c.Index);
        EXPECT_EQ(list->GetTopIndex(), c.Top);
        EXPECT_EQ(clicks, c.Clicks);
    }

    list->SetMultiSelect(true);
    list->SetItemIndex(1);
    Headless::Key(VK_DOWN, true);
    Headless::Key(VK_DOWN, true);
    Pump();
    EXPECT_EQ(list->GetSelCount(), 3);
    Headless::MouseDown(list->ClientToScreen({ 20, 5 * h + 2 }));
    Headless::MouseUp(list->ClientToScreen({ 20, 5 * h + 2 }));
    Pump();
    EXPECT_EQ(list->GetSelCount(), 1);
    EXPECT_TRUE(list->GetSelected(5));
    // Ctrl adds a line without dropping the others.
    InjectKey(VK_CONTROL, true);
    Headless::Click(list->ClientToScreen({ 20, 0 * h + 2 }));
    InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(list->GetSelCount(), 2);
    EXPECT_TRUE(list->GetSelected(0));
    EXPECT_TRUE(list->GetSelected(5));
}

TEST_F(ListsUi, OwnerDrawListBoxPaintsThroughTheEventAndStandardShowsTheSelection)
{
    auto form = MakeForm();
    auto* list = Add<TListBox>(form.get(), form.get(), { 10, 10, 150, 110 });
    list->GetItems()->SetCommaText(u"a,b,c");
    form->Show();
    list->SetItemIndex(1);
    const int h = list->GetItemHeight();
    EXPECT_EQ(PixelAt(list, { 100, h + h / 2 }), ColorToRGB(clHighlight));
    EXPECT_EQ(PixelAt(list, { 100, h / 2 }), ColorToRGB(clWindow));

    std::vector<std::pair<int, bool>> drawn;
    list->SetStyle(lbOwnerDrawFixed);
    list->OnDrawItem = [&](TWinControl*, int index, TRect r, TOwnerDrawState state) {
        drawn.push_back({ index, state.Contains(odSelected) });
        list->GetCanvas()->GetBrush()->SetColor(index == 2 ? clRed : clWindow);
        list->GetCanvas()->FillRect(r);
    };
    list->Invalidate();
    EXPECT_EQ(PixelAt(list, { 100, 2 * h + h / 2 }), clRed);
    EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>> { { 0, false }, { 1, true }, { 2, false } }));
}

TEST_F(ListsUi, CheckListBoxTogglesByClickAndSpace)
{
    auto form = MakeForm();
    auto* list = Add<TCheckListBox>(form.get(), form.get(), { 10, 10, 150, 110 });
    list->GetItems()->SetCommaText(u"a,b,c");
    int clickChecks = 0;
    list->OnClickCheck = [&](TObject*) { ++clickChecks; };
    form->Show();
    list->SetFocus();
    Pump();
    const int h = list->GetItemHeight();
    ClickAt(list, { 6, h + h / 2 });
    EXPECT_TRUE(list->GetChecked(1));
    ClickAt(list, { 80, h + h / 2 }); // on the text: selects only
    EXPECT_TRUE(list->GetChecked(1));
    Headless::Type(u" ");
    Pump();
    EXPECT_FALSE(list->GetChecked(1));
    EXPECT_EQ(clickChecks, 2);

    list->SetAllowGrayed(true);
    const TCheckBoxState cycle[] = { cbGrayed, cbChecked, cbUnchecked };
    for (TCheckBoxState s : cycle) {
        Headless::Type(u" ");
        Pump();
        EXPECT_EQ(list->GetState(1), s);
    }
    list->SetItemEnabled(0, false);
    ClickAt(list, { 6, h / 2 });
    EXPECT_EQ(list->GetState(0), cbUnchecked);
    // Checks follow their lines when lines are inserted before them.
    list->SetChecked(2, true);
    list->GetItems()->Insert(0, u"new");
    EXPECT_TRUE(list->GetChecked(3));
    EXPECT_FALSE(list->GetChecked(0));
}

TEST_F(ListsUi, OwnerDrawAndSimpleCombos)
{
    auto form = MakeForm();
    TComboBox* combo = MakeCombo(form.get(), csOwnerDrawFixed, { u"a", u"b", u"c" });
    combo->SetItemIndex(2);
    std::vector<std::pair<int, bool>> drawn; // index, drawn in the field
    combo->OnDrawItem = [&](TWinControl*, int index, TRect r, TOwnerDrawState state) {
        if (!state.Contains(odComboBoxEdit) || combo->GetDroppedDown() == false)
            drawn.push_back({ index, state.Contains(odComboBoxEdit) });
        combo->GetCanvas()->GetBrush()->SetColor(index == 1 ? clLime : clWindow);
        combo->GetCanvas()->FillRect(r);
    };
    combo->Invalidate();
    Pump();
    EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>> { { 2, true } }));
    drawn.clear();
    combo->SetDroppedDown(true);
    TComboBoxList* list = combo->GetListControl();
    EXPECT_EQ(PixelAt(list, { 10, combo->GetItemHeight() + 3 }), clLime);
    EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>> { { 0, false }, { 1, false }, { 2, false } }));
    combo->SetDroppedDown(false);

    // The simple style shows its list below the edit, always.
    auto* simple = new TComboBox(form.get());
    simple->SetStyle(csSimple);
    simple->SetBoundsRect({ 200, 10, 340, 150 });
    simple->SetParent(form.get());
    simple->GetItems()->SetCommaText(u"x,y,z");
    Pump();
    EXPECT_EQ(simple->GetHeight(), 140);
    EXPECT_TRUE(IsWindowVisible(simple->GetListControl()->GetHandle()));
    EXPECT_EQ(::GetParent(simple->GetListControl()->GetHandle()), simple->GetHandle());
    simple->SetDroppedDown(true);
    EXPECT_FALSE(simple->GetDroppedDown());
    ClickAt(simple->GetListControl(), { 10, simple->GetItemHeight() + 3 });
    EXPECT_EQ(simple->GetText(), u"y");
}

TEST_F(ListsUi, AStyleSwitchRepaintsListsInItsColours)
{
    auto form = MakeForm();
    auto* list = Add<TListBox>(form.get(), form.get(), { 10, 10, 150, 110 });
    list->GetItems()->SetCommaText(u"a,b");
    form->Show();
    list->SetItemIndex(0);
    const int h = list->GetItemHeight();
    const TColor classicBack = PixelAt(list, { 50, 3 * h });
    const TColor classicSelected = PixelAt(list, { 100, h / 2 });
    TStyleManager::SetStyle(u"Cyan Night");
    const TColor styledBack = PixelAt(list, { 50, 3 * h });
    const TColor styledSelected = PixelAt(list, { 100, h / 2 });
    EXPECT_EQ(styledBack, StyleColorToRGB(clWindow));
    EXPECT_EQ(styledSelected, StyleColorToRGB(clHighlight));
    EXPECT_NE(styledBack, classicBack);
    EXPECT_NE(styledSelected, classicSelected);
}

} // namespace
