#include <gtest/gtest.h>

#include <cstring>

#include "richtext/ThemeLoaders.h"

namespace {

// Every pointer of the table, in declaration order, with its name.
std::vector<std::pair<const char*, bool>> Bound(const TThemeLibrary& lib)
{
    std::vector<std::pair<const char*, bool>> out;
#define QT_ENTRY(name) out.push_back({ #name, lib.name != nullptr });
    QT_ENTRY(OpenThemeData) QT_ENTRY(OpenThemeDataForDpi) QT_ENTRY(CloseThemeData) QT_ENTRY(DrawThemeBackground)
    QT_ENTRY(DrawThemeText) QT_ENTRY(GetThemeBackgroundContentRect) QT_ENTRY(GetThemeBackgroundExtent)
    QT_ENTRY(GetThemeTextExtent) QT_ENTRY(GetThemeTextMetrics) QT_ENTRY(GetThemeBackgroundRegion)
    QT_ENTRY(HitTestThemeBackground) QT_ENTRY(DrawThemeEdge) QT_ENTRY(DrawThemeIcon) QT_ENTRY(IsThemePartDefined)
    QT_ENTRY(IsThemeBackgroundPartiallyTransparent) QT_ENTRY(GetThemeColor) QT_ENTRY(GetThemeMetric)
    QT_ENTRY(GetThemeString) QT_ENTRY(GetThemeBool) QT_ENTRY(GetThemeInt) QT_ENTRY(GetThemeEnumValue)
    QT_ENTRY(GetThemePosition) QT_ENTRY(GetThemeFont) QT_ENTRY(GetThemeRect) QT_ENTRY(GetThemeMargins)
    QT_ENTRY(GetThemeIntList) QT_ENTRY(SetWindowTheme) QT_ENTRY(GetThemeFilename) QT_ENTRY(GetThemeSysColor)
    QT_ENTRY(GetThemeSysColorBrush) QT_ENTRY(GetThemeSysBool) QT_ENTRY(GetThemeSysSize) QT_ENTRY(GetThemeSysFont)
    QT_ENTRY(GetThemeSysString) QT_ENTRY(GetThemeSysInt) QT_ENTRY(IsThemeActive) QT_ENTRY(IsAppThemed)
    QT_ENTRY(GetWindowTheme) QT_ENTRY(GetThemePartSize) QT_ENTRY(EnableThemeDialogTexture)
    QT_ENTRY(IsThemeDialogTextureEnabled) QT_ENTRY(GetThemeAppProperties) QT_ENTRY(SetThemeAppProperties)
    QT_ENTRY(GetCurrentThemeName) QT_ENTRY(GetThemeDocumentationProperty) QT_ENTRY(DrawThemeParentBackground)
    QT_ENTRY(EnableTheming)
#undef QT_ENTRY
    return out;
}

int BoundCount(const TThemeLibrary& lib)
{
    int n = 0;
    for (auto [name, bound] : Bound(lib))
        n += bound;
    return n;
}

std::vector<TModuleExport> ExportsWithout(const char* missing)
{
    std::vector<TModuleExport> exports = ThemeModuleExports();
    std::erase_if(exports, [missing](const TModuleExport& e) { return std::strcmp(e.Name, missing) == 0; });
    return exports;
}

struct TUnit {
    const char* Name;
    const TThemeLibrary& (*Table)();
    void (*Init)();
    void (*Free)();
    int Functions;
};

const TUnit Units[] = {
    { "LumXPVS", LumXPVS::ThemeLibrary, LumXPVS::InitThemeLibrary, LumXPVS::FreeThemeLibrary, 47 },
    { "ATXPVS", ATXPVS::ThemeLibrary, ATXPVS::InitThemeLibrary, ATXPVS::FreeThemeLibrary, 45 },
};

// Each test swaps the library's exports; the platform's own come back after.
class ThemeLoadersTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        RegisterModule(u"UXTHEME.DLL", ThemeModuleExports());
        for (const TUnit& u : Units) {
            u.Free();
            u.Init();
        }
    }
};

} // namespace

TEST_F(ThemeLoadersTest, BothUnitsAreLoadedAtStartWithTheirOwnLists)
{
    for (const TUnit& u : Units) {
        SCOPED_TRACE(u.Name);
        const TThemeLibrary& lib = u.Table();
        ASSERT_TRUE(lib.Loaded);
        EXPECT_NE(lib.Module, nullptr);
        EXPECT_EQ(BoundCount(lib), u.Functions);
        // The pointers reach the platform's answers: no theme is active.
        EXPECT_EQ(lib.IsThemeActive(), FALSE);
        EXPECT_EQ(lib.OpenThemeData(nullptr, u"BUTTON"), nullptr);
    }
    EXPECT_EQ(ATXPVS::ThemeLibrary().OpenThemeDataForDpi, nullptr);
    EXPECT_EQ(ATXPVS::ThemeLibrary().GetThemePartSize, nullptr);
    EXPECT_NE(LumXPVS::ThemeLibrary().Module, nullptr);
}

TEST_F(ThemeLoadersTest, LoadingAgainLoadsNothingNewAndFreeEmptiesTheTable)
{
    for (const TUnit& u : Units)
        u.Free();
    for (const TUnit& u : Units) {
        SCOPED_TRACE(u.Name);
        u.Init();
        const HMODULE module = u.Table().Module;
        u.Init();
        EXPECT_EQ(u.Table().Module, module);
        u.Free();
        EXPECT_FALSE(u.Table().Loaded);
        EXPECT_EQ(u.Table().Module, nullptr);
        EXPECT_EQ(BoundCount(u.Table()), 0);
        // The one free undid the only load: the library is no longer loaded.
        EXPECT_EQ(GetProcAddress(module, "IsThemeActive"), nullptr);
    }
}

TEST_F(ThemeLoadersTest, ALibraryWithoutTheDpiFunctionStillLoads)
{
    RegisterModule(u"UXTHEME.DLL", ExportsWithout("OpenThemeDataForDpi"));
    LumXPVS::FreeThemeLibrary();
    LumXPVS::InitThemeLibrary();
    const TThemeLibrary& lib = LumXPVS::ThemeLibrary();
    EXPECT_TRUE(lib.Loaded);
    EXPECT_EQ(lib.OpenThemeDataForDpi, nullptr);
    EXPECT_EQ(BoundCount(lib), 46);
}

TEST_F(ThemeLoadersTest, AMissingFunctionIsReportedAndLeavesTheUnitUnbound)
{
    struct Case {
        const char* Missing;
        const TUnit& Unit;
    };
    const Case cases[] = {
        { "OpenThemeData", Units[0] },
        { "EnableTheming", Units[0] },
        { "GetThemePartSize", Units[0] },
        { "DrawThemeEdge", Units[1] },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Missing);
        RegisterModule(u"UXTHEME.DLL", ExportsWithout(c.Missing));
        c.Unit.Free();
        try {
            c.Unit.Init();
            ADD_FAILURE() << "no assertion failure";
        } catch (const EAssertionFailed& e) {
            const String msg = e.GetMessage();
            EXPECT_EQ(msg.rfind(u"Assertion failure (", 0), 0u);
            EXPECT_NE(msg.find(S(c.Unit.Name)), String::npos);
        }
        EXPECT_FALSE(c.Unit.Table().Loaded);
        EXPECT_EQ(c.Unit.Table().Module, nullptr);
        EXPECT_EQ(BoundCount(c.Unit.Table()), 0);
    }
}

TEST_F(ThemeLoadersTest, WithoutTheLibraryBothUnitsStayEmptyAndSilent)
{
    UnregisterModule(u"UXTHEME.DLL");
    for (const TUnit& u : Units) {
        SCOPED_TRACE(u.Name);
        u.Free();
        EXPECT_NO_THROW(u.Init());
        EXPECT_FALSE(u.Table().Loaded);
        EXPECT_EQ(BoundCount(u.Table()), 0);
        EXPECT_NO_THROW(u.Free());
    }
    // ATXPVS never binds the two functions its list lacks, whatever the library has.
    RegisterModule(u"UXTHEME.DLL", ThemeModuleExports());
    ATXPVS::InitThemeLibrary();
    EXPECT_EQ(BoundCount(ATXPVS::ThemeLibrary()), 45);
}
