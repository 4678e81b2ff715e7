#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesImages.h"

using namespace LumGDIPlusClasses;

namespace {

// A stand-in library: exports the functions of `Exports` by name, records
// every look-up and every call in `Calls`.
std::vector<std::string> Calls;
std::vector<std::string> LookedUp;
bool LibraryPresent = true;
GdiplusStartupInput SeenInput;
int FreedLibraries = 0;

HMODULE FakeLoad() { return LibraryPresent ? reinterpret_cast<HMODULE>(std::uintptr_t(0x1000)) : nullptr; }
void FakeFree(HMODULE) { ++FreedLibraries; Calls.push_back("FreeLibrary"); }

void* FakeAlloc(std::size_t size) { return std::malloc(size); }
void FakeGdipFree(void* p) { std::free(p); }
Status FakeStartup(std::uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    Calls.push_back(output ? "GdiplusStartup+output" : "GdiplusStartup");
    SeenInput = *input;
    *token = 77;
    return Ok;
}
void FakeShutdown(std::uintptr_t token) { Calls.push_back("GdiplusShutdown " + std::to_string(token)); }

// Generic objects: distinct fake handles, named when deleted.
char SansHandle, SerifHandle, MonoHandle, TypoHandle, DefaultHandle;
std::string HandleName(void* h)
{
    if (h == &SansHandle) return "sans";
    if (h == &SerifHandle) return "serif";
    if (h == &MonoHandle) return "mono";
    if (h == &TypoHandle) return "typographic";
    if (h == &DefaultHandle) return "default";
    return h ? "other" : "null";
}
Status FakeSans(void** f) { *f = &SansHandle; return Ok; }
Status FakeSerif(void** f) { *f = &SerifHandle; return Ok; }
Status FakeMono(void** f) { *f = &MonoHandle; return Ok; }
Status FakeTypo(void** f) { *f = &TypoHandle; return Ok; }
Status FakeDefault(void** f) { *f = &DefaultHandle; return Ok; }
Status FakeDeleteFamily(void* f) { Calls.push_back("DeleteFontFamily " + HandleName(f)); return Ok; }
Status FakeDeleteFormat(void* f) { Calls.push_back("DeleteStringFormat " + HandleName(f)); return Ok; }

struct TExport {
    const char* Name;
    void* Fn;
};
const TExport Exports[] = {
    { "GdipAlloc", reinterpret_cast<void*>(&FakeAlloc) },
    { "GdipFree", reinterpret_cast<void*>(&FakeGdipFree) },
    { "GdiplusStartup", reinterpret_cast<void*>(&FakeStartup) },
    { "GdiplusShutdown", reinterpret_cast<void*>(&FakeShutdown) },
    { "GdipGetGenericFontFamilySansSerif", reinterpret_cast<void*>(&FakeSans) },
    { "GdipGetGenericFontFamilySerif", reinterpret_cast<void*>(&FakeSerif) },
    { "GdipGetGenericFontFamilyMonospace", reinterpret_cast<void*>(&FakeMono) },
    { "GdipStringFormatGetGenericTypographic", reinterpret_cast<void*>(&FakeTypo) },
    { "GdipStringFormatGetGenericDefault", reinterpret_cast<void*>(&FakeDefault) },
    { "GdipDeleteFontFamily", reinterpret_cast<void*>(&FakeDeleteFamily) },
    { "GdipDeleteStringFormat", reinterpret_cast<void*>(&FakeDeleteFormat) },
};

void* FakeGetProc(HMODULE, const char* name)
{
    LookedUp.push_back(name);
    for (const auto& e : Exports)
        if (std::strcmp(e.Name, name) == 0)
            return e.Fn;
    return nullptr;
}

int BoundEntries()
{
    int n = 0;
    for (int i = 0; i < GdiplusApiEntryCount; ++i)
        n += GdiplusApiEntryBound(i) ? 1 : 0;
    return n;
}

// Runs each test against the stand-in library and gives the process's own
// binding back afterwards.
class GdiplusBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FinalizeGdiplusUnit();
        Calls.clear();
        LookedUp.clear();
        LibraryPresent = true;
        FreedLibraries = 0;
        SeenInput = {};
        TGdiplusLoader loader;
        loader.LoadLibrary = &FakeLoad;
        loader.GetProcAddress = &FakeGetProc;
        loader.FreeLibrary = &FakeFree;
        SetGdiplusLoader(loader);
    }
    void TearDown() override
    {
        FinalizeGdiplusUnit();
        SetGdiplusLoader(DefaultGdiplusLoader());
    }
};

TEST_F(GdiplusBindingTest, EveryExportedNameIsLookedUpOnceInTableOrderAndMissingOnesStayNull)
{
    ASSERT_EQ(GdiplusApiEntryCount, 594);
    const std::set<std::string> unique(GdiplusApiEntryNames, GdiplusApiEntryNames + GdiplusApiEntryCount);
    EXPECT_EQ(unique.size(), std::size_t(GdiplusApiEntryCount));

    BindGdiplusApi();
    EXPECT_NE(GdiplusModule(), nullptr);
    ASSERT_EQ(LookedUp.size(), std::size_t(GdiplusApiEntryCount));
    for (int i = 0; i < GdiplusApiEntryCount; ++i)
        EXPECT_EQ(LookedUp[std::size_t(i)], GdiplusApiEntryNames[i]);
    EXPECT_EQ(BoundEntries(), int(std::size(Exports)));
    EXPECT_TRUE(bool(GdiplusApi.GdipAlloc));
    EXPECT_FALSE(bool(GdiplusApi.GdipCreatePath));
    // A call through an entry the library lacks answers instead of crashing.
    void* path = nullptr;
    EXPECT_EQ(GdiplusApi.GdipCreatePath(FillModeAlternate, &path), GdiplusNotInitialized);

    UnbindGdiplusApi();
    EXPECT_EQ(GdiplusModule(), nullptr);
    EXPECT_EQ(BoundEntries(), 0);
    EXPECT_EQ(FreedLibraries, 1);
    UnbindGdiplusApi(); // a second unbind frees nothing
    EXPECT_EQ(FreedLibraries, 1);
}

TEST_F(GdiplusBindingTest, AMissingLibraryLeavesEveryEntryNullAndNeverStartsOrStops)
{
    LibraryPresent = false;
    InitializeGdiplusUnit();
    EXPECT_EQ(GdiplusModule(), nullptr);
    EXPECT_TRUE(LookedUp.empty());
    EXPECT_EQ(BoundEntries(), 0);
    // The start-up input is written all the same.
    EXPECT_EQ(GdiplusStartupInputRecord().GdiplusVersion, 1u);

    // Wrappers cannot be made on the heap; on the stack they report the missing library.
    EXPECT_EQ(std::unique_ptr<TGPImageAttributes>(new TGPImageAttributes()), nullptr);
    TGPImageAttributes attributes;
    EXPECT_EQ(attributes.GetLastStatus(), GdiplusNotInitialized);
    EXPECT_EQ(attributes.SetGamma(1.5f), GdiplusNotInitialized);

    FinalizeGdiplusUnit();
    EXPECT_TRUE(Calls.empty());
}

TEST_F(GdiplusBindingTest, TheUnitStartsOnceAndFreesCachedObjectsBeforeShutdownBeforeUnbinding)
{
    InitializeGdiplusUnit();
    InitializeGdiplusUnit();
    ASSERT_EQ(Calls, std::vector<std::string> { "GdiplusStartup" });
    EXPECT_EQ(SeenInput.GdiplusVersion, 1u);
    EXPECT_EQ(SeenInput.DebugEventCallback, nullptr);
    EXPECT_EQ(SeenInput.SuppressBackgroundThread, FALSE);
    EXPECT_EQ(SeenInput.SuppressExternalCodecs, FALSE);

    // Made in another order than they are freed; each twice gives the same object.
    TGPStringFormat* typographic = TGPStringFormat::GenericTypographic();
    EXPECT_EQ(TGPStringFormat::GenericDefault(), TGPStringFormat::GenericDefault());
    EXPECT_EQ(TGPFontFamily::GenericMonospace(), TGPFontFamily::GenericMonospace());
    TGPFontFamily* sans = TGPFontFamily::GenericSansSerif();
    EXPECT_EQ(TGPFontFamily::GenericSansSerif(), sans);
    EXPECT_EQ(TGPStringFormat::GenericTypographic(), typographic);
    EXPECT_EQ(sans->nativeFamily, &SansHandle);
    EXPECT_EQ(typographic->nativeFormat, &TypoHandle);
    TGPFontFamily::GenericSerif();

    Calls.clear();
    FinalizeGdiplusUnit();
    const std::vector<std::string> expected { "DeleteFontFamily sans", "DeleteFontFamily serif",
        "DeleteFontFamily mono", "DeleteStringFormat typographic", "DeleteStringFormat default",
        "GdiplusShutdown 77", "FreeLibrary" };
    EXPECT_EQ(Calls, expected);
    EXPECT_FALSE(GdiplusUnitInitialized());
}

TEST_F(GdiplusBindingTest, AModuleLoadedAsALibraryBindsAndUnbindsButNeverStartsOrStopsGdiplus)
{
    InitializeGdiplusUnit(true);
    EXPECT_NE(GdiplusModule(), nullptr);
    EXPECT_GT(BoundEntries(), 0);
    TGPFontFamily::GenericSerif();
    FinalizeGdiplusUnit();
    EXPECT_EQ(Calls, (std::vector<std::string> { "DeleteFontFamily serif", "FreeLibrary" }));
    EXPECT_EQ(GdiplusModule(), nullptr);
}

TEST(GdiplusApiRecords, ColoursAndRecordLayoutsMatchTheLibrary)
{
    struct TColorCase {
        std::uint8_t A, R, G, B;
        ARGB Expected;
    };
    const TColorCase colors[] = {
        { 255, 0, 0, 255, 0xFF0000FFu }, // opaque pure blue
        { 0, 255, 255, 255, 0x00FFFFFFu }, // fully transparent white
        { 0x12, 0x34, 0x56, 0x78, 0x12345678u },
    };
    for (const auto& c : colors) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(MakeColor(c.A, c.R, c.G, c.B), c.Expected);
    }
    constexpr TGPRectF r = MakeRect(1, 2, 3, 4);
    EXPECT_EQ(r.X + r.Y * 10 + r.Width * 100 + r.Height * 1000, 4321);

    // The address of Count is handed over as the library's path data record.
    EXPECT_EQ(offsetof(TPathData, Count), 0u);
    EXPECT_EQ(offsetof(TPathData, Points), sizeof(void*));
    EXPECT_EQ(offsetof(TPathData, Types), 2 * sizeof(void*));
    EXPECT_EQ(sizeof(TGPRectF), 16u);
    EXPECT_EQ(sizeof(TGPRect), 16u);
    EXPECT_EQ(sizeof(TGPPointF), 8u);
    EXPECT_EQ(sizeof(Status), 4u);
    EXPECT_EQ(int(PropertyNotSupported), 20);
    EXPECT_EQ(int(HatchStyleTotal), 53);
    EXPECT_EQ(int(ColorAdjustTypeAny), 6);
}

} // namespace
