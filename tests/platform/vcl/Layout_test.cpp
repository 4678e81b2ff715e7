#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Menus.h"

namespace {

std::string Str(const TRect& r)
{
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Width()) + "x"
        + std::to_string(r.Height());
}

struct TChild {
    TAlign Align;
    TRect Bounds;          // where the control starts
    TRect Expected;        // where alignment puts it
    bool Visible { true };
    bool WithMargins { false };
    int MaxWidth { 0 };
};

struct TLayoutCase {
    const char* Name;
    int Padding;
    std::vector<TChild> Children;
};

TEST(Layout, AlignmentPlacesChildrenInOrderTopBottomLeftRightClient)
{
    const TLayoutCase cases[] = {
        { "one of each", 0,
            { { alClient, { 0, 0, 5, 5 }, { 30, 10, 190, 80 } },
                { alTop, { 0, 0, 5, 10 }, { 0, 0, 200, 10 } },
                { alBottom, { 0, 0, 5, 20 }, { 0, 80, 200, 100 } },
                { alLeft, { 0, 0, 30, 5 }, { 0, 10, 30, 80 } },
                { alRight, { 0, 0, 10, 5 }, { 190, 10, 200, 80 } } } },
        { "two tops keep their vertical order", 0,
            { { alTop, { 0, 50, 5, 60 }, { 0, 20, 200, 30 } },
                { alTop, { 0, 5, 5, 25 }, { 0, 0, 200, 20 } } } },
        { "two rights: the rightmost stays outside", 0,
            { { alRight, { 100, 0, 110, 5 }, { 170, 0, 180, 100 } },
                { alRight, { 150, 0, 170, 5 }, { 180, 0, 200, 100 } } } },
        { "margins around aligned controls", 0,
            { { alTop, { 0, 0, 5, 10 }, { 3, 3, 197, 13 }, true, true },
                { alClient, { 0, 0, 5, 5 }, { 3, 19, 197, 97 }, true, true } } },
        { "padding of the container", 5, { { alClient, { 0, 0, 5, 5 }, { 5, 5, 195, 95 } } } },
        { "a hidden control takes no room", 0,
            { { alTop, { 0, 0, 5, 30 }, { 0, 0, 5, 30 }, false },
                { alClient, { 0, 0, 5, 5 }, { 0, 0, 200, 100 } } } },
        { "constraints limit a client control", 0,
            { { alClient, { 0, 0, 5, 5 }, { 0, 0, 50, 100 }, true, false, 50 } } },
        { "a left control wider than the room leaves none for the client", 0,
            { { alLeft, { 0, 0, 250, 5 }, { 0, 0, 250, 100 } },
                { alClient, { 0, 0, 5, 5 }, { 200, 0, 200, 100 } } } },
    };
    for (const TLayoutCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TWinControl parent(nullptr);
        parent.SetBounds(0, 0, 200, 100);
        parent.GetPadding()->SetBounds(c.Padding, c.Padding, c.Padding, c.Padding);
        std::vector<std::unique_ptr<TControl>> kids;
        parent.DisableAlign();
        for (const TChild& k : c.Children) {
            auto ctl = std::make_unique<TControl>(nullptr);
            ctl->SetBoundsRect(k.Bounds);
            ctl->SetVisible(k.Visible);
            ctl->SetAlignWithMargins(k.WithMargins);
            ctl->GetConstraints()->SetMaxWidth(k.MaxWidth);
            ctl->SetAlign(k.Align);
            ctl->SetParent(&parent);
            kids.push_back(std::move(ctl));
        }
        parent.EnableAlign();
        for (std::size_t i = 0; i < kids.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(Str(kids[i]->GetBoundsRect()), Str(c.Children[i].Expected));
        }
        for (auto& k : kids)
            k->SetParent(nullptr);
    }
}

TEST(Layout, ResizingTheParentRealignsAndMovesAnchoredControls)
{
    struct TCase {
        const char* Name;
        TAnchors Anchors;
        TRect Expected; // after the parent grows from 200x100 to 300x160
    };
    const TCase cases[] = {
        { "left top stays", { akLeft, akTop }, { 20, 10, 70, 30 } },
        { "left and right stretch", { akLeft, akTop, akRight }, { 20, 10, 170, 30 } },
        { "right and bottom move", { akRight, akBottom }, { 120, 70, 170, 90 } },
        { "all four stretch both ways", { akLeft, akTop, akRight, akBottom }, { 20, 10, 170, 90 } },
        { "none keeps the centre in proportion", {}, { 43, 22, 93, 42 } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TWinControl parent(nullptr);
        parent.SetBounds(0, 0, 200, 100);
        TControl child(nullptr);
        child.SetBounds(20, 10, 50, 20);
        child.SetParent(&parent);
        child.SetAnchors(c.Anchors);
        TControl top(nullptr);
        top.SetHeight(15);
        top.SetAlign(alTop);
        top.SetParent(&parent);
        parent.SetBounds(0, 0, 300, 160);
        EXPECT_EQ(Str(child.GetBoundsRect()), Str(c.Expected));
        EXPECT_EQ(Str(top.GetBoundsRect()), Str(TRect(0, 0, 300, 15)));
        // Shrinking back returns to the first place: the rules are not drifted.
        parent.SetBounds(0, 0, 200, 100);
        EXPECT_EQ(Str(child.GetBoundsRect()), Str(TRect(20, 10, 70, 30)));
        child.SetParent(nullptr);
        top.SetParent(nullptr);
    }
}

TEST(Layout, ChangeScaleScalesEdgesAndRoundsHalvesAwayFromZero)
{
    struct TCase {
        int M, D;
        TRect Bounds;
        TRect Expected;
        int FontHeight, ExpectedFontHeight;
        int Margin, ExpectedMargin;
    };
    const TCase cases[] = {
        // Left 3*1.5 = 4.5 rounds to 5, right edge (3+5)*1.5 = 12: width 7.
        { 3, 2, { 3, 1, 8, 6 }, { 5, 2, 12, 9 }, -11, -17, 3, 5 },
        { 144, 96, { 10, 10, 110, 40 }, { 15, 15, 165, 60 }, -12, -18, 3, 5 },
        { 96, 144, { 15, 15, 165, 60 }, { 10, 10, 110, 40 }, -18, -12, 5, 3 },
        { 5, 4, { 1, 1, 2, 2 }, { 1, 1, 3, 3 }, 13, 16, 0, 0 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.M) + "/" + std::to_string(c.D));
        TControl ctl(nullptr);
        ctl.SetBoundsRect(c.Bounds);
        ctl.SetParentFont(false);
        ctl.GetFont()->SetHeight(c.FontHeight);
        ctl.GetMargins()->SetBounds(c.Margin, c.Margin, c.Margin, c.Margin);
        ctl.ChangeScale(c.M, c.D, true);
        EXPECT_EQ(Str(ctl.GetBoundsRect()), Str(c.Expected));
        EXPECT_EQ(ctl.GetFont()->GetHeight(), c.ExpectedFontHeight);
        EXPECT_EQ(ctl.GetMargins()->GetLeft(), c.ExpectedMargin);
        EXPECT_EQ(ctl.GetCurrentPPI(), 96 * c.M / c.D);
    }
}

TEST(Layout, ChangeScaleOfAContainerScalesChildrenButLeavesParentFontsToTheParent)
{
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 100, 100);
    parent.GetFont()->SetHeight(-12);
    TControl child(nullptr);
    child.SetBounds(10, 10, 20, 20);
    child.SetParent(&parent);
    ASSERT_TRUE(child.GetParentFont());
    parent.ScaleForPPI(192);
    EXPECT_EQ(Str(child.GetBoundsRect()), Str(TRect(20, 20, 60, 60)));
    EXPECT_EQ(parent.GetFont()->GetHeight(), -24);
    // The child follows its parent's font instead of scaling its own twice.
    EXPECT_EQ(child.GetFont()->GetHeight(), -24);
    EXPECT_EQ(child.GetCurrentPPI(), 192);
    child.SetParent(nullptr);
}

TEST(Layout, ParentColorAndFontFollowTheParentUntilSetOnTheChild)
{
    TWinControl parent(nullptr);
    TControl child(nullptr);
    child.SetParent(&parent);
    parent.SetColor(0x123456);
    EXPECT_EQ(child.GetColor(), 0x123456);
    child.SetColor(0x00FF00);
    EXPECT_FALSE(child.GetParentColor());
    parent.SetColor(0x654321);
    EXPECT_EQ(child.GetColor(), 0x00FF00);
    child.SetParentColor(true);
    EXPECT_EQ(child.GetColor(), 0x654321);

    parent.GetFont()->SetHeight(-20);
    EXPECT_EQ(child.GetFont()->GetHeight(), -20);
    child.GetFont()->SetHeight(-9);
    EXPECT_FALSE(child.GetParentFont());
    parent.GetFont()->SetHeight(-30);
    EXPECT_EQ(child.GetFont()->GetHeight(), -9);
    child.SetParent(nullptr);
}

// ---- dispatch through the class chain ----

std::vector<std::string> g_log;

class TBaseCtl : public TWinControl {
public:
    using TWinControl::TWinControl;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_USER + 1) {
            g_log.push_back("base");
            m.Result = 7;
            return;
        }
        TWinControl::Dispatch(m);
    }
    void DefaultHandler(TMessage& m) override
    {
        g_log.push_back("default " + std::to_string(m.Msg - WM_USER));
        TWinControl::DefaultHandler(m);
    }
};

class TDerivedCtl : public TBaseCtl {
public:
    using TBaseCtl::TBaseCtl;
    void Dispatch(TMessage& m) override
    {
        switch (m.Msg) {
        case WM_USER + 1:
            g_log.push_back("derived");
            TBaseCtl::Dispatch(m); // inherited
            m.Result += 1;
            return;
        case WM_USER + 2:
            g_log.push_back("derived2");
            TBaseCtl::Dispatch(m); // no ancestor handles it: the default handler
            return;
        default:
            TBaseCtl::Dispatch(m);
        }
    }
};

TEST(Dispatch, MessagesRunThroughTheClassChainAndFallBackToTheDefaultHandler)
{
    TDerivedCtl ctl(nullptr);
    struct TCase {
        UINT Msg;
        std::vector<std::string> Log;
        LRESULT Result;
    };
    const TCase cases[] = {
        { WM_USER + 1, { "derived", "base" }, 8 },
        { WM_USER + 2, { "derived2", "default 2" }, 0 },
        { WM_USER + 3, { "default 3" }, 0 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Msg - WM_USER);
        g_log.clear();
        EXPECT_EQ(ctl.Perform(c.Msg), c.Result);
        EXPECT_EQ(g_log, c.Log);
    }
}

TEST(Dispatch, AReplacedWindowProcSeesMessagesFirstAndMayPassThemOn)
{
    TDerivedCtl ctl(nullptr);
    TWndMethod old = ctl.WindowProc;
    ctl.WindowProc = [&](TMessage& m) {
        g_log.push_back("hook");
        if (m.Msg == WM_USER + 1)
            old(m);
    };
    g_log.clear();
    EXPECT_EQ(ctl.Perform(WM_USER + 1), 8);
    EXPECT_EQ(ctl.Perform(WM_USER + 2), 0);
    EXPECT_EQ(g_log, (std::vector<std::string> { "hook", "derived", "base", "hook" }));
}

TEST(Dispatch, FrameworkMessagesKeepTheirNumbers)
{
    // Callers send these by value.
    EXPECT_EQ(CM_CANCELMODE, 0xB004u);
    EXPECT_EQ(CM_BUTTONPRESSED, 0xB018u);
    EXPECT_EQ(CM_MOUSEWHEEL, 0xB043u);
    EXPECT_EQ(CN_COMMAND, 0xBD11u);
}

TEST(Dispatch, TextGoesThroughTheTextMessages)
{
    TControl ctl(nullptr);
    int changed = 0;
    TWndMethod old = ctl.WindowProc;
    ctl.WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_TEXTCHANGED)
            ++changed;
        old(m);
    };
    ctl.SetCaption(u"Hello");
    EXPECT_EQ(ctl.GetText(), u"Hello");
    ctl.SetText(u"Hello");
    EXPECT_EQ(changed, 1); // the same text again changes nothing
    char16_t buf[4];
    EXPECT_EQ(ctl.Perform(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_EQ(String(buf), u"Hel");
}

TEST(Dispatch, PublishedPropertiesCarryThePlatformTypeNames)
{
    TControl ctl(nullptr);
    SetOrdProp(&ctl, u"Color", 0x0000FF);
    EXPECT_EQ(ctl.GetColor(), 0x0000FF);
    EXPECT_EQ(GetPropInfo(&ctl, u"Color")->PropType->Name, u"TColor");
    SetEnumProp(&ctl, u"Align", u"alClient");
    EXPECT_EQ(ctl.GetAlign(), alClient);
    SetStrProp(&ctl, u"Caption", u"x");
    EXPECT_EQ(ctl.GetCaption(), u"x");
    EXPECT_EQ(GetSetProp(&ctl, u"Anchors"), u"akLeft,akTop,akRight,akBottom");
    for (const char16_t* name : { u"Left", u"Top", u"Width", u"Height", u"Font", u"Visible", u"Enabled", u"Hint",
             u"ShowHint", u"Tag", u"OnClick" }) {
        SCOPED_TRACE(StringToUtf8(name));
        EXPECT_NE(GetPropInfo(&ctl, name), nullptr);
    }
}

// ---- shortcuts ----

TEST(ShortCuts, TextAndValueConvertBothWays)
{
    struct TCase {
        const char16_t* Text;
        TShortCut Value;
        const char16_t* Canonical; // ShortCutToText of Value
    };
    const TCase cases[] = {
        { u"Ctrl+S", TShortCut(scCtrl | 'S'), u"Ctrl+S" },
        { u"Shift+F5", TShortCut(scShift | VK_F5), u"Shift+F5" },
        { u"Ctrl+Alt+Del", TShortCut(scCtrl | scAlt | VK_DELETE), u"Ctrl+Alt+Del" },
        { u"alt + ctrl + del", TShortCut(scCtrl | scAlt | VK_DELETE), u"Ctrl+Alt+Del" },
        { u"Enter", VK_RETURN, u"Enter" },
        { u"F12", VK_F12, u"F12" },
        { u"Ctrl+", scNone, u"" },
        { u"Ctrl+Banana", scNone, u"" },
        { u"", scNone, u"" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        EXPECT_EQ(TextToShortCut(c.Text), c.Value);
        EXPECT_EQ(ShortCutToText(c.Value), String(c.Canonical));
    }
    WORD key = 0;
    TShiftState shift;
    ShortCutToKey(ShortCut('K', { ssCtrl, ssShift }), key, shift);
    EXPECT_EQ(key, 'K');
    EXPECT_EQ(shift, (TShiftState { ssCtrl, ssShift }));
}

TEST(ShortCuts, AcceleratorIsTheCharacterAfterASingleAmpersand)
{
    struct TCase {
        WORD Key;
        const char16_t* Text;
        bool Expected;
    };
    const TCase cases[] = {
        { 'F', u"&File", true }, { 'f', u"&File", true }, { 'I', u"&File", false },
        { 'B', u"Fish && &Bread", true }, { 'F', u"Fish && &Bread", false }, { 'X', u"Text", false },
        { 'X', u"Trailing&", false },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text));
        EXPECT_EQ(IsAccel(c.Key, c.Text), c.Expected);
    }
}

} // namespace
