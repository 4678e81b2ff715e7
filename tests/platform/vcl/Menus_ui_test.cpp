#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/Edits.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

class MenusUi : public SimpleControls {
protected:
    // An item that records its name in `clicked` when run.
    TMenuItem* Item(TComponent* owner, TMenuItem* parent, const char16_t* caption, const char* name = nullptr)
    {
        auto* i = new TMenuItem(owner);
        i->SetCaption(caption);
        const std::string n = name ? name : "";
        i->OnClick = [this, n](TObject*) { clicked.push_back(n); };
        parent->Add(i);
        return i;
    }
    // Runs `action` once, shortly after the menu loop started waiting.
    void Soon(std::function<void()> action)
    {
        timer = std::make_unique<TTimer>(nullptr);
        timer->SetInterval(50);
        timer->OnTimer = [this, action](TObject*) {
            timer->SetEnabled(false);
            action();
        };
    }
    static void Keys(std::initializer_list<WORD> keys)
    {
        for (WORD k : keys)
            Headless::Key(k);
    }
    std::vector<std::string> clicked;
    std::unique_ptr<TTimer> timer;
};

TEST_F(MenusUi, PopupMenuChosenByKeys)
{
    auto form = MakeForm();
    form->Show();
    Pump();
    TPopupMenu menu(form.get());
    Item(form.get(), menu.GetItems(), u"&Open", "open");
    Item(form.get(), menu.GetItems(), u"-");
    Item(form.get(), menu.GetItems(), u"&Save", "save");
    // Opening a submenu runs its item, which may fill it afresh.
    TMenuItem* more = Item(form.get(), menu.GetItems(), u"&More", "more");
    Item(form.get(), more, u"&Alpha", "alpha");
    Item(form.get(), more, u"&Beta", "beta");
    TMenuItem* exitItem = Item(form.get(), menu.GetItems(), u"E&xit", "exit");
    exitItem->SetEnabled(false);
    std::vector<std::string> events;
    menu.OnPopup = [&](TObject*) { events.push_back("popup"); };
    menu.OnClose = [&](TObject*) { events.push_back(OpenMenuWindow(0) ? "close while shown" : "close"); };

    struct TCase {
        const char* What;
        std::vector<WORD> Keys;
        std::vector<std::string> Clicked;
    };
    // Every sequence ends in Escape so a wrong step cannot leave the loop
    // waiting; keys left over go to the form.
    const TCase cases[] = {
        { "down enter takes the first", { VK_DOWN, VK_RETURN }, { "open" } },
        { "the separator is skipped", { VK_DOWN, VK_DOWN, VK_RETURN }, { "save" } },
        { "up wraps to the last; a disabled item does nothing", { VK_UP, VK_RETURN, VK_ESCAPE }, {} },
        { "accelerator", { 'S' }, { "save" } },
        { "accelerator of a disabled item", { 'X', VK_ESCAPE }, {} },
        { "submenu by accelerator, then down", { 'M', VK_DOWN, VK_RETURN }, { "more", "beta" } },
        { "submenu by right, left closes it only", { VK_UP, VK_UP, VK_RIGHT, VK_LEFT, VK_UP, VK_RETURN }, { "more", "save" } },
        { "escape", { VK_DOWN, VK_ESCAPE }, {} },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        clicked.clear();
        events.clear();
        for (WORD k : c.Keys)
            Headless::Key(k);
        menu.Popup(200, 150);
        Pump();
        EXPECT_EQ(clicked, c.Clicked);
        EXPECT_EQ(events, (std::vector<std::string> { "popup", "close" }));
        EXPECT_EQ(OpenMenuWindow(0), nullptr);
    }
}

TEST_F(MenusUi, PopupMenuChosenByAClickWithoutTakingActivation)
{
    auto form = MakeForm();
    form->Show();
    Pump();
    TPopupMenu menu(form.get());
    Item(form.get(), menu.GetItems(), u"One", "one");
    Item(form.get(), menu.GetItems(), u"Two", "two");
    bool activeWhileOpen = false;
    Soon([&] {
        activeWhileOpen = GetActiveWindow() == form->GetHandle() && OpenMenuWindow(0) != nullptr;
        const TRect r = OpenMenuItemRect(0, 1);
        const TPoint at { r.Left + 10, r.Top + r.Height() / 2 };
        Headless::MouseMove(at);
        Headless::Click(at);
    });
    menu.Popup(200, 150);
    EXPECT_TRUE(activeWhileOpen);
    EXPECT_EQ(clicked, (std::vector<std::string> { "two" }));

    // A press outside the menu dismisses it.
    clicked.clear();
    Soon([&] { Headless::Click(form->ClientToScreen({ 5, 250 })); });
    menu.Popup(200, 150);
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(OpenMenuWindow(0), nullptr);
}

TEST_F(MenusUi, RightClickOpensTheControlsPopupMenu)
{
    auto form = MakeForm();
    auto* panel = Add<TCustomControl>(form.get(), form.get(), { 10, 10, 200, 100 });
    TPopupMenu menu(form.get());
    Item(form.get(), menu.GetItems(), u"Copy", "copy");
    panel->SetPopupMenu(&menu);
    form->Show();
    Pump();
    Soon([] { Keys({ VK_DOWN, VK_RETURN }); });
    Headless::Click(panel->ClientToScreen({ 20, 20 }), 1);
    Pump();
    EXPECT_EQ(clicked, (std::vector<std::string> { "copy" }));
    EXPECT_EQ(menu.GetPopupComponent(), panel);
}

TEST_F(MenusUi, MainMenuBarByAltAcceleratorF10AndShortcut)
{
    auto form = MakeForm();
    TMainMenu menu(form.get());
    TMenuItem* file = Item(form.get(), menu.GetItems(), u"&File", "file");
    Item(form.get(), file, u"&New", "new");
    TMenuItem* save = Item(form.get(), file, u"&Save", "save");
    save->SetShortCut(ShortCut('S', TShiftState { ssCtrl }));
    TMenuItem* edit = Item(form.get(), menu.GetItems(), u"&Edit", "edit");
    Item(form.get(), edit, u"&Copy", "copy");
    auto* field = Add<TEdit>(form.get(), form.get(), { 10, 40, 200, 60 });
    form->Show();
    field->SetFocus();
    Pump();

    TMenuBar* bar = menu.GetMenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetTop(), 0);
    EXPECT_EQ(bar->GetWidth(), form->GetClientWidth());
    EXPECT_GT(bar->GetHeight(), 0);

    struct TCase {
        const char* What;
        std::function<void()> Do;
        std::vector<std::string> Clicked;
    };
    const TCase cases[] = {
        { "shortcut while an edit has the focus", [] { Headless::Key('S', false, true); }, { "save" } },
        { "alt+accelerator opens the menu on its first item", [] { Headless::Key('F', false, false, true); Keys({ VK_DOWN, VK_RETURN }); }, { "file", "save" } },
        { "f10 then arrows across the bar", [] { Headless::Key(VK_F10); Keys({ VK_RIGHT, VK_RETURN, VK_RETURN }); }, { "edit", "copy" } },
        { "alt alone, then the keys", [this] {
             Headless::Key(VK_MENU);
             Pump();
             Soon([] { Keys({ VK_DOWN, VK_RETURN }); });
         }, { "file", "new" } },
        { "a disabled item's shortcut does nothing", [&] { save->SetEnabled(false); Headless::Key('S', false, true); }, {} },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        clicked.clear();
        c.Do();
        Pump(); // through the application, which offers keys as shortcuts first
        session.PassTime(200);
        EXPECT_EQ(clicked, c.Clicked);
        EXPECT_EQ(OpenMenuWindow(0), nullptr);
        EXPECT_EQ(bar->GetHotIndex(), -1);
    }
    EXPECT_EQ(field->GetText(), u""); // no key reached the edit
    EXPECT_EQ(GetFocus(), field->GetHandle());
}

TEST_F(MenusUi, ItemsTreeRadioGroupsAndAutomaticHotkeys)
{
    TPopupMenu menu(nullptr);
    TMenuItem* root = menu.GetItems();
    TMenuItem* a = Item(nullptr, root, u"File");
    TMenuItem* b = Item(nullptr, root, u"Fix");
    TMenuItem* c = Item(nullptr, root, u"&Edit");
    TMenuItem* d = Item(nullptr, root, u"-");
    EXPECT_EQ(a->DisplayCaption(), u"&File");
    EXPECT_EQ(b->DisplayCaption(), u"F&ix");
    EXPECT_EQ(c->DisplayCaption(), u"&Edit");
    EXPECT_EQ(d->DisplayCaption(), u"-");
    menu.SetAutoHotkeys(maManual);
    EXPECT_EQ(b->DisplayCaption(), u"Fix");

    for (TMenuItem* i : { a, b, c })
        i->SetRadioItem(true);
    c->SetGroupIndex(1);
    c->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(c->GetChecked()); // another group

    EXPECT_EQ(root->Find(u"e&dit"), c);
    EXPECT_THROW(a->Add(a), EMenuError);
    EXPECT_THROW(root->Add(b), EMenuError); // already in a menu
    root->Delete(root->IndexOf(d));
    EXPECT_EQ(root->GetCount(), 3);
    delete b; // an item leaves its parent when destroyed
    EXPECT_EQ(root->GetCount(), 2);
    EXPECT_EQ(root->GetItems(1), c);
}

} // namespace
