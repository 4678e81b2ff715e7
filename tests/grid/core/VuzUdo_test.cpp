#include <gtest/gtest.h>

#include <functional>

#include "grid/core/VuzUdo.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Grids.h"

namespace {

// Initial values as the published properties report them.
TEST(BehaviourSettings, InitialValues)
{
    TNavigation nav;
    TMouseActions mouse;
    TSearchFooter footer;
    TSearchFooter designed(nullptr, true);
    TBands bands;
    struct TCase {
        TObject* Object;
        const char16_t* Prop;
        std::int64_t Expected;
    };
    const TCase ords[] = {
        { &nav, u"AllowInsertRow", 0 }, { &nav, u"TabToNextAtEnd", 0 }, { &nav, u"AdvanceOnEnterLoop", 1 },
        { &nav, u"SkipDisabledRows", 1 }, { &nav, u"AdvanceDirection", adLeftRight },
        { &nav, u"HomeEndKey", heFirstLastColumn }, { &nav, u"KeepScrollOnSort", 0 },
        { &mouse, u"AllColumnSize", 0 }, { &mouse, u"TouchScroll", 0 }, { &mouse, u"PreciseNodeClick", 1 },
        { &mouse, u"AutoSizeColOnDblClick", 1 }, { &mouse, u"WheelIncrement", 0 },
        { &mouse, u"FixedRowsEditor", fceEdit }, { &mouse, u"WheelActive", waFocus },
        { &footer, u"AutoSearch", 1 }, { &footer, u"Color", 0xFFFFFF }, { &footer, u"ColorTo", std::int64_t(0xFF00000F) },
        { &footer, u"SearchColumn", -1 }, { &footer, u"SearchErrorColor", 0x0000FF },
        { &footer, u"SearchColor", std::int64_t(0xFF000005) }, { &footer, u"SearchTextColor", std::int64_t(0xFF000008) },
        { &footer, u"ShowResults", 0 }, { &footer, u"Visible", 0 }, { &footer, u"IgnoreHTML", 1 },
        { &bands, u"Active", 0 }, { &bands, u"PrimaryColor", std::int64_t(0xFF000018) }, { &bands, u"PrimaryLength", 1 },
        { &bands, u"SecondaryColor", std::int64_t(0xFF000005) },
    };
    for (const TCase& k : ords) {
        SCOPED_TRACE(StringToUtf8(k.Prop));
        PPropInfo prop = GetPropInfo(k.Object, k.Prop);
        ASSERT_NE(prop, nullptr);
        EXPECT_EQ(std::uint32_t(GetOrdProp(k.Object, prop)), std::uint32_t(k.Expected));
    }
    EXPECT_EQ(bands.GetTotalLength(), 2);
    EXPECT_EQ(footer.GetResultFormat(), u"(%d of %d)");
    EXPECT_EQ(footer.GetFindNextCaption(), u"");
    EXPECT_EQ(designed.GetFindNextCaption(), u"Find &next");
    EXPECT_EQ(designed.GetHintHighlight(), u"Highlight occurrences");
    EXPECT_EQ(mouse.GetFixedComboValues()->GetCount(), 0);
    // Every property of the lists is published.
    EXPECT_EQ(GetPropList(&nav).size(), 50u);
    EXPECT_EQ(GetPropList(&mouse).size(), 47u);
    EXPECT_EQ(GetPropList(&footer).size(), 37u); // and the published OnChange
    EXPECT_EQ(PropType(&footer, u"OnChange"), tkMethod);
    TSyncGrid sync;
    EXPECT_EQ(GetPropList(&sync).size(), 7u);
    EXPECT_EQ(PropType(&sync, u"Grid"), tkClass);
}

TEST(BehaviourSettings, SetterSideEffects)
{
    TNavigation nav;
    int navChanges = 0;
    nav.OnChange = [&](TObject*) { ++navChanges; };
    nav.SetAdvanceDirection(adTopBottom);
    nav.SetAdvanceDirection(adTopBottom);
    nav.SetAdvanceInsert(true);
    EXPECT_EQ(navChanges, 2);
    nav.SetAdvanceAuto(true);
    EXPECT_TRUE(nav.GetAdvanceOnEnter());
    nav.SetAdvanceAuto(false);
    EXPECT_TRUE(nav.GetAdvanceOnEnter());
    EXPECT_EQ(navChanges, 2);

    TMouseActions mouse;
    int invalidates = 0, disables = 0, changes = 0;
    mouse.OnInvalidate = [&](TObject*) { ++invalidates; };
    mouse.OnDisableEdit = [&](TObject*) { ++disables; };
    mouse.OnChange = [&](TObject*) { ++changes; };
    mouse.SetHotmailRowSelect(false);
    EXPECT_EQ(invalidates, 1);
    EXPECT_FALSE(mouse.GetDisjunctRowSelect());
    EXPECT_FALSE(mouse.GetCheckAllCheck());
    mouse.SetHotmailRowSelect(true);
    EXPECT_EQ(invalidates, 2);
    EXPECT_TRUE(mouse.GetDisjunctRowSelect());
    EXPECT_TRUE(mouse.GetCheckAllCheck());
    mouse.SetEditOnDblClickOnly(false);
    mouse.SetEditOnDblClickOnly(true);
    EXPECT_EQ(disables, 1);
    mouse.SetWheelAction(waScroll);
    mouse.SetWheelAction(waScroll);
    EXPECT_EQ(changes, 1);
    // At run time the disjunct modes combine; under a designer they exclude.
    mouse.SetDisjunctColSelect(true);
    EXPECT_TRUE(mouse.GetDisjunctRowSelect());
    mouse.OnIsDesigning = [](TObject*, bool& d) { d = true; };
    mouse.SetDisjunctCellSelect(true);
    EXPECT_FALSE(mouse.GetDisjunctRowSelect());
    EXPECT_FALSE(mouse.GetDisjunctColSelect());
    mouse.SetDisjunctRowSelectDirect(true);
    EXPECT_TRUE(mouse.GetDisjunctCellSelect());

    TSearchFooter footer;
    int footerChanges = 0;
    footer.OnChange = [&](TObject*) { ++footerChanges; };
    struct TStep { const char* Name; std::function<void()> Do; int Changes; };
    const TStep steps[] = {
        { "colour, same value still notifies", [&] { footer.SetColor(footer.GetColor()); }, 1 },
        { "caption", [&] { footer.SetHintClose(u"x"); }, 1 },
        { "search colour unchanged", [&] { footer.SetSearchColor(footer.GetSearchColor()); }, 0 },
        { "visible", [&] { footer.SetVisible(true); }, 1 },
        { "auto search", [&] { footer.SetAutoSearch(true); }, 0 },
        { "plain field", [&] { footer.SetSearchColumn(3); }, 0 },
        { "font", [&] { TFont f; f.SetName(u"Arial"); footer.SetFont(&f); }, 1 },
        { "owned font changed", [&] { footer.GetFont()->SetSize(20); }, 1 },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Name);
        footerChanges = 0;
        s.Do();
        EXPECT_EQ(footerChanges, s.Changes);
    }
    footer.SetLastSearch(u"abc");
    footer.SetAutoSearch(true);
    EXPECT_EQ(footer.GetLastSearch(), u"");

    TBands bands;
    int bandChanges = 0;
    bands.OnChange = [&](TObject*) { ++bandChanges; };
    bands.SetPrimaryLength(3);
    bands.SetPrimaryColor(clRed);
    EXPECT_EQ(bands.GetTotalLength(), 4);
    EXPECT_EQ(bandChanges, 0);
    bands.SetActive(true);
    bands.SetSecondaryLength(2);
    bands.SetSecondaryLength(2);
    EXPECT_EQ(bands.GetTotalLength(), 5);
    EXPECT_EQ(bandChanges, 2);

    TStringGrid owner, other;
    TSyncGrid sync(&owner);
    sync.SetGrid(&other);
    sync.SetGrid(&owner);
    EXPECT_EQ(sync.GetGrid(), &other);
}

TEST(BehaviourSettings, AssignCopiesAllButTheExcludedFields)
{
    TNavigation navSrc, nav;
    navSrc.SetAllowInsertRow(true);
    navSrc.SetKeepScrollOnSort(true);
    navSrc.SetAdvanceDirection(adTopBottomInCol);
    int notes = 0;
    nav.OnChange = [&](TObject*) { ++notes; };
    nav.Assign(&navSrc);
    EXPECT_TRUE(nav.GetAllowInsertRow());
    EXPECT_FALSE(nav.GetKeepScrollOnSort());
    EXPECT_EQ(nav.GetAdvanceDirection(), adTopBottomInCol);
    EXPECT_EQ(notes, 0);

    TMouseActions mouseSrc, mouse;
    mouseSrc.SetDirectEdit(true);
    mouseSrc.SetEditOnDblClickOnly(true);
    mouseSrc.SetHotmailRowSelect(true);
    mouseSrc.SetSizeFixedRow(true);
    mouseSrc.SetSizeFixedCol(true);
    mouseSrc.GetFixedComboValues()->Add(u"a");
    mouse.Assign(&mouseSrc);
    struct TCase { const char* Name; bool Got, Expected; };
    const TCase mouseCases[] = {
        { "DirectEdit", mouse.GetDirectEdit(), true },
        { "DisjunctRowSelect", mouse.GetDisjunctRowSelect(), true },
        { "SizeFixedCol", mouse.GetSizeFixedCol(), true },
        { "EditOnDblClickOnly", mouse.GetEditOnDblClickOnly(), false },
        { "HotmailRowSelect", mouse.GetHotmailRowSelect(), false },
        { "SizeFixedRow", mouse.GetSizeFixedRow(), false },
        { "FixedComboValues", mouse.GetFixedComboValues()->GetCount() > 0, false },
    };
    for (const TCase& k : mouseCases) {
        SCOPED_TRACE(k.Name);
        EXPECT_EQ(k.Got, k.Expected);
    }

    TSearchFooter footerSrc, footer;
    footerSrc.SetAutoSearch(false);
    footerSrc.SetSearchFixedCells(true);
    footerSrc.SetSearchHiddenRows(true);
    footerSrc.SetHintFindNext(u"next");
    footerSrc.GetFont()->SetName(u"Courier New");
    footer.Assign(&footerSrc);
    EXPECT_TRUE(footer.GetAutoSearch());
    EXPECT_FALSE(footer.GetSearchFixedCells());
    EXPECT_TRUE(footer.GetSearchHiddenRows());
    EXPECT_EQ(footer.GetHintFindNext(), u"next");
    EXPECT_EQ(footer.GetFont()->GetName(), u"Courier New");
    EXPECT_NE(footer.GetFont(), footerSrc.GetFont());

    TBands bandsSrc, bands;
    bandsSrc.SetPrimaryLength(2);
    bandsSrc.SetSecondaryLength(5);
    bands.Assign(&bandsSrc);
    EXPECT_EQ(bands.GetTotalLength(), 7);

    TStringGrid owner, other;
    TSyncGrid syncSrc(&other), sync(&owner);
    syncSrc.SetMoveRow(true);
    syncSrc.SetGrid(&owner);
    sync.Assign(&syncSrc); // the source follows our owner: ignored here
    EXPECT_EQ(sync.GetGrid(), nullptr);
    EXPECT_TRUE(sync.GetMoveRow());

    TFocusHelper helperSrc, helper;
    helperSrc.SetEnabled(true);
    helper.Assign(&helperSrc);
    EXPECT_TRUE(helper.GetEnabled());
    // Another class: nothing happens.
    helper.SetEnabled(false);
    helper.Assign(&bands);
    EXPECT_FALSE(helper.GetEnabled());
}

} // namespace
