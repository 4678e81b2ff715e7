#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"
#include "richtext/LumAppStyler.h"
#include "tests/richtext/ThemeRegistry_support.h"

namespace {

// Every styling call, as "name:kind style[ colour]", in call order.
std::vector<String> g_calls;

String Num(std::intptr_t v)
{
    return IntToStr(Int64(v));
}

// Stands in for the grid: both style entries and the tones.
class TFakeGrid : public TComponent, public ILumStyleEx, public ILumTones {
public:
    explicit TFakeGrid(TComponent* AOwner, const String& name) : TComponent(AOwner) { SetName(name); }
    void SetComponentStyle(ROZEVizer AStyle) override { g_calls.push_back(GetName() + u":style " + Num(AStyle)); }
    void SetComponentStyleAndAppColor(ROZEVizer AStyle, TColor AppColor) override
    {
        g_calls.push_back(GetName() + u":ex " + Num(AStyle) + u" " + Num(AppColor));
    }
    void SetColorTones(const TColorTones& ATones) override
    {
        g_calls.push_back(GetName() + u":tones " + Num(ATones.Selected.BrushColor));
    }
};

// Stands in for a drop-down editor: the plain style entry and the tones.
class TFakeDropDown : public TComponent, public ILumStyle, public ILumTones {
public:
    explicit TFakeDropDown(TComponent* AOwner, const String& name) : TComponent(AOwner) { SetName(name); }
    void SetComponentStyle(ROZEVizer AStyle) override { g_calls.push_back(GetName() + u":style " + Num(AStyle)); }
    void SetColorTones(const TColorTones& ATones) override
    {
        g_calls.push_back(GetName() + u":tones " + Num(ATones.Selected.BrushColor));
    }
};

// A frame that takes styles itself, to show when it is visited.
class TStyledFrame : public TFrame, public ILumStyle {
public:
    explicit TStyledFrame(TComponent* AOwner, const String& name) : TFrame(AOwner) { SetName(name); }
    void SetComponentStyle(ROZEVizer AStyle) override { g_calls.push_back(GetName() + u":style " + Num(AStyle)); }
};

class AppStylerUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(10, 10, 300, 200);
    }
    void TearDown() override { g_calls.clear(); }

    // form: a, F(x, G(y), z), b
    void BuildNestedForm()
    {
        new TFakeGrid(form.get(), u"a");
        auto* f = new TStyledFrame(form.get(), u"F");
        new TFakeDropDown(f, u"x");
        auto* g = new TStyledFrame(f, u"G");
        new TFakeDropDown(g, u"y");
        new TFakeDropDown(f, u"z");
        new TFakeDropDown(form.get(), u"b");
    }

    TPrivateRegistry registry;
    THeadlessSession session;
    std::unique_ptr<TForm> form;
};

TEST_F(AppStylerUi, StylingAFormColoursItAndReachesComponentsAndFramesInOrder)
{
    BuildNestedForm();
    auto* styler = new TLumFormStyler(form.get());
    int changes = 0;
    styler->OnChange = [&](TObject*) { ++changes; };
    styler->SetStyle(tsOffice2019Gray);
    EXPECT_EQ(form->GetColor(), TColor(0x666666));
    // A frame on the form is walked before its own entry; inside frames
    // a nested frame comes after its own entry.
    EXPECT_EQ(g_calls, (std::vector<String> { u"a:ex 25 0", u"x:style 25", u"G:style 25", u"y:style 25",
                           u"z:style 25", u"F:style 25", u"b:style 25" }));
    EXPECT_EQ(changes, 1);

    const struct {
        ROZEVizer style;
        TColor colour;
    } colours[] = {
        { tsOffice2013White, clWhite }, { tsOffice2016White, clWhite }, { tsOffice2013LightGray, 0xC0C0C0 },
        { tsOffice2013Gray, 0x808080 }, { tsOffice2016Gray, 0x808080 }, { tsOffice2016Black, clBlack },
        { tsOffice2019Black, clBlack }, { tsWindows10, clBtnFace }, { tsOffice2007Luna, clBtnFace },
    };
    for (const auto& c : colours) {
        SCOPED_TRACE(int(c.style));
        styler->SetStyle(c.style);
        EXPECT_EQ(form->GetColor(), c.colour);
    }

    // tsCustom applies nothing; the accent colour re-applies the style.
    g_calls.clear();
    styler->SetStyle(tsCustom);
    EXPECT_TRUE(g_calls.empty());
    styler->SetStyle(tsOffice2016Gray);
    g_calls.clear();
    styler->SetAppColor(0xE29E00);
    EXPECT_EQ(g_calls.front(), u"a:ex 22 " + Num(0xE29E00));
}

TEST_F(AppStylerUi, ApplyHandlersCanSkipOneComponent)
{
    new TFakeGrid(form.get(), u"a");
    new TFakeDropDown(form.get(), u"b");
    auto* styler = new TLumFormStyler(form.get());
    std::vector<String> applied;
    styler->OnApplyStyle = [](TObject*, TComponent* c, bool& allow) { allow = c->GetName() != u"a"; };
    styler->OnAppliedStyle = [&](TObject*, TComponent* c) { applied.push_back(c->GetName()); };
    styler->SetStyle(tsOffice2010Blue);
    EXPECT_EQ(g_calls, (std::vector<String> { u"b:style 13" }));
    EXPECT_EQ(applied, (std::vector<String> { u"b" }));

    // Disabled: nothing is applied until it is enabled again.
    g_calls.clear();
    styler->SetEnabled(false);
    styler->SetStyle(tsOffice2010Black);
    EXPECT_TRUE(g_calls.empty());
    styler->SetEnabled(true);
    EXPECT_EQ(g_calls, (std::vector<String> { u"b:style 15" }));
}

TEST_F(AppStylerUi, MetroTonesArePushedOnlyWhileTheStyleIsCustom)
{
    BuildNestedForm();
    auto* styler = new TLumFormStyler(form.get());
    styler->SetStyle(tsOffice2016White);
    g_calls.clear();
    styler->SetMetroColor(0x0000FF);
    styler->SetMetro(true);
    TColorTones expected;
    MetroColorTones(true, 0x0000FF, 0, expected);
    EXPECT_EQ(styler->GetTones(), expected);
    EXPECT_TRUE(g_calls.empty());

    styler->SetStyle(tsCustom);
    styler->SetMetroColor(0x00FF00);
    // Tones go to everything with ILumTones, in the same walk order.
    EXPECT_EQ(g_calls, (std::vector<String> { u"a:tones 65280", u"x:tones 65280", u"y:tones 65280",
                           u"z:tones 65280", u"b:tones 65280" }));
}

TEST_F(AppStylerUi, TheComboBoxOffersTheStylesAndCustomLeavesControlsAlone)
{
    new TFakeGrid(form.get(), u"a");
    auto* combo = new TComboBox(form.get());
    combo->SetParent(form.get());
    auto* styler = new TLumFormStyler(form.get());
    styler->SetStyle(tsOffice2013Gray);
    styler->SetComboBox(combo);
    TStrings* items = combo->GetItems();
    ASSERT_EQ(items->GetCount(), 26);
    EXPECT_EQ(items->GetStrings(17), u"Office 2013 Light gray");
    EXPECT_EQ(items->GetStrings(25), u"Custom");
    for (int i = 0; i < items->GetCount(); ++i)
        EXPECT_NE(reinterpret_cast<std::intptr_t>(items->GetObjects(i)), std::intptr_t(tsWhidbey));
    EXPECT_EQ(combo->GetStyle(), csDropDownList);
    EXPECT_EQ(combo->GetItemIndex(), 18);

    g_calls.clear();
    combo->SetItemIndex(25);
    combo->OnSelect(combo);
    EXPECT_EQ(styler->GetStyle(), tsCustom);
    EXPECT_TRUE(g_calls.empty());
    combo->SetItemIndex(3);
    combo->OnSelect(combo);
    EXPECT_EQ(g_calls, (std::vector<String> { u"a:ex 3 0" }));

    // The combo box outlives its styler: its selection no longer reaches it.
    delete styler;
    EXPECT_FALSE(combo->OnSelect);
}

TEST_F(AppStylerUi, LoadingAppliesTheStoredStyleOnce)
{
    new TFakeGrid(form.get(), u"a");
    auto* styler = new TLumFormStyler(form.get());
    styler->IncludeComponentState(csLoading);
    styler->SetStyle(tsOffice2007Silver);
    EXPECT_TRUE(g_calls.empty());
    styler->Loaded();
    EXPECT_EQ(g_calls, (std::vector<String> { u"a:ex 9 0" }));
}

TEST_F(AppStylerUi, AutoThemeAdaptFollowsTheOfficeTheme)
{
    TPrivateRegistry::WriteString(u"Software\\Microsoft\\Office\\16.0\\Common", u"UI Theme", u"4");
    new TFakeGrid(form.get(), u"a");
    auto* styler = new TLumFormStyler(form.get());
    styler->SetAutoThemeAdapt(true);
    EXPECT_EQ(styler->GetStyle(), tsOffice2019Black);
    EXPECT_EQ(form->GetColor(), clBlack);

    // A theme change reaches it through its hidden window.
    TPrivateRegistry::WriteString(u"Software\\Microsoft\\Office\\16.0\\Common", u"UI Theme", u"3");
    SendMessage(styler->GetNotifierWindow()->GetHandle(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(styler->GetStyle(), tsOffice2019Gray);
    EXPECT_EQ(g_calls.back(), u"a:ex 25 0");
}

TEST_F(AppStylerUi, TheApplicationStylerDrivesItsFormStylers)
{
    new TFakeGrid(form.get(), u"a");
    auto other = std::make_unique<TForm>(nullptr);
    new TFakeDropDown(other.get(), u"b");
    auto app = std::make_unique<TLumAppStyler>(nullptr);
    auto* s1 = new TLumFormStyler(form.get());
    auto* s2 = new TLumFormStyler(other.get());
    s1->SetAppStyle(app.get());
    s2->SetAppStyle(app.get());
    s2->SetAppStyle(app.get());
    EXPECT_EQ(app->GetForms().size(), 2u);

    app->SetStyle(tsOffice2013White);
    EXPECT_EQ(s1->GetStyle(), tsOffice2013White);
    EXPECT_EQ(s1->GetAppColor(), clNone);
    EXPECT_EQ(g_calls, (std::vector<String> { u"a:ex 17 " + Num(clNone), u"b:style 17" }));

    // Tones: Metro on, style custom, the selected colour as Metro colour;
    // a white background means light, black dark, anything else keeps it.
    const struct {
        TColor background;
        TMetroStyle before;
        TMetroStyle after;
    } cases[] = {
        { clWhite, msDark, msLight },
        { clBlack, msLight, msDark },
        { 0x336699, msDark, msDark },
        { 0x336699, msLight, msLight },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.background);
        app->SetMetroStyle(c.before);
        g_calls.clear();
        TColorTones tones;
        MetroColorTones(true, 0x112233, 0, tones);
        tones.Background.BrushColor = c.background;
        app->SetColorTones(tones);
        EXPECT_EQ(app->GetMetroStyle(), c.after);
        EXPECT_TRUE(app->GetMetro());
        EXPECT_EQ(app->GetStyle(), tsCustom);
        EXPECT_EQ(app->GetMetroColor(), TColor(0x112233));
        EXPECT_EQ(app->GetTones(), tones);
        EXPECT_EQ(g_calls, (std::vector<String> { u"a:tones " + Num(0x112233), u"b:tones " + Num(0x112233) }));
    }
}

TEST_F(AppStylerUi, FormStylersLeaveTheirApplicationStylerCleanly)
{
    auto first = std::make_unique<TLumAppStyler>(nullptr);
    auto second = std::make_unique<TLumAppStyler>(nullptr);
    second->SetStyle(tsOffice2016Gray);
    auto* styler = new TLumFormStyler(form.get());
    styler->SetAppStyle(first.get());
    styler->SetAppStyle(second.get());
    EXPECT_EQ(styler->GetStyle(), tsOffice2016Gray);
    // Moving on leaves the first list, so freeing the styler leaves no
    // stale entry behind in either.
    EXPECT_TRUE(first->GetForms().empty());
    delete styler;
    EXPECT_TRUE(second->GetForms().empty());
    first->SetStyle(tsOffice2019White);
    second->SetStyle(tsOffice2019White);

    // The application styler going first leaves its form stylers without one.
    auto* a = new TLumFormStyler(form.get());
    a->SetAppStyle(first.get());
    first.reset();
    EXPECT_EQ(a->GetAppStyle(), nullptr);
}

TEST_F(AppStylerUi, FormStylerStyleReadsTheStyleOfTheControlsForm)
{
    auto* panel = new TWinControl(form.get());
    panel->SetParent(form.get());
    auto* edit = new TWinControl(form.get());
    edit->SetParent(panel);
    TComponent loose;
    EXPECT_EQ(FormStylerStyle(edit, tsWindows7), tsWindows7);

    auto* disabled = new TLumFormStyler(form.get());
    disabled->SetStyle(tsOffice2003Olive);
    disabled->SetEnabled(false);
    auto* custom = new TLumFormStyler(form.get());
    (void)custom;
    auto* styler = new TLumFormStyler(form.get());
    styler->SetStyle(tsTerminal);

    const struct {
        TComponent* component;
        ROZEVizer expected;
    } cases[] = {
        { edit, tsTerminal }, { form.get(), tsTerminal }, { &loose, tsWindows7 }, { nullptr, tsWindows7 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.component ? c.component->ClassName() : String(u"none")));
        EXPECT_EQ(FormStylerStyle(c.component, tsWindows7), c.expected);
    }
}

TEST_F(AppStylerUi, VersionAndAssign)
{
    TLumFormStyler a(nullptr), b(nullptr);
    EXPECT_EQ(a.GetVersionNr(), 33816577);
    EXPECT_EQ(a.GetVersion(), u"2.4.0.1");
    a.SetVersion(u"9.9");
    EXPECT_EQ(a.GetVersion(), u"2.4.0.1");
    EXPECT_EQ(TLumAppStyler(nullptr).GetVersion(), u"2.4.0.1");
    b.SetStyle(tsOffice2010Silver);
    a.Assign(&b);
    EXPECT_EQ(a.GetStyle(), tsOffice2010Silver);
}

TEST_F(AppStylerUi, StyleServicesCountAsActiveOnlyForANamedStyle)
{
    EXPECT_FALSE(IsVCLStyleActive());
    TStyleManager::SetStyle(u"Amethyst Kamri");
    EXPECT_TRUE(IsVCLStyleActive());
    EXPECT_TRUE(IsVCLStyleActive(TStyleManager::Style(u"Cyan Dusk")));
    // Disabled services (the plain style) never count.
    EXPECT_FALSE(IsVCLStyleActive(TStyleManager::SystemStyle()));
    TStyleManager::SetStyle(u"Windows");
    EXPECT_FALSE(IsVCLStyleActive(TStyleManager::Style(u"Cyan Dusk")));
}

} // namespace
