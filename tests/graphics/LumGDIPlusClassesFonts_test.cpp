#include <gtest/gtest.h>

#include <vector>

#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesGraphics.h"
#include "tests/graphics/GdipTestSupport.h"
#include "tests/platform/gdi/PixelProbe.h"

using namespace LumGDIPlusClasses;

namespace {

using FontWrapperTest = GdipWrapperTest;

int FromDCCalls = 0, FromLogfontCalls = 0, CollectionCalls = 0;
std::vector<const void*> FontFamilies;
const char16_t* NameToWrite = u"";
int NameUnits = 0;
Status (*RealCreateFont)(const void*, float, int, int, void**) = nullptr;

Status CountFromDC(HDC, void**) { ++FromDCCalls; return Ok; }
Status CountFromLogfontW(HDC, const LOGFONTW*, void**) { ++FromLogfontCalls; return Ok; }
Status CountFromLogfontA(HDC, const LOGFONTA*, void**) { ++FromLogfontCalls; return Ok; }
Status FamilyNotFound(const char16_t*, void*, void** family) { *family = nullptr; return FontFamilyNotFound; }
Status RecordCreateFont(const void* family, float size, int style, int unit, void** font)
{
    FontFamilies.push_back(family);
    return RealCreateFont(family, size, style, unit, font);
}
Status FailFirstCreateFont(const void* family, float size, int style, int unit, void** font)
{
    FontFamilies.push_back(family);
    if (FontFamilies.size() == 1)
        return GenericError;
    return RealCreateFont(family, size, style, unit, font);
}
// Fills the whole buffer the library is given, without a terminating NUL of its own.
Status WriteFamilyName(const void*, char16_t* name, WORD)
{
    for (int i = 0; i < NameUnits; ++i)
        name[i] = NameToWrite[i];
    return Ok;
}
Status CountFamilyList(void*, int, void**, int*) { ++CollectionCalls; return Ok; }
Status ThreeFamilies(void*, int* count) { *count = 3; return Ok; }
Status FailCloneFormat(const void*, void** clone) { *clone = nullptr; return OutOfMemory; }

String FamilyNameOf(TGPFont& font)
{
    TGPFontFamily family;
    EXPECT_EQ(font.GetFamily(&family), Ok);
    String name;
    family.GetFamilyName(name);
    return name;
}

TEST_F(FontWrapperTest, AFontOfAnUnknownFamilyIsMadeWithTheGenericSansSerifFamily)
{
    TGPFontFamily* sans = TGPFontFamily::GenericSansSerif();
    ASSERT_NE(sans, nullptr);
    ASSERT_EQ(sans->lastResult, Ok);
    String sansName;
    ASSERT_EQ(sans->GetFamilyName(sansName), Ok);

    TGPFont unknown(u"No Such Family 4711", 10, FontStyleRegular, UnitPoint);
    EXPECT_EQ(unknown.GetLastStatus(), Ok);
    EXPECT_TRUE(unknown.IsAvailable());
    EXPECT_EQ(FamilyNameOf(unknown), sansName);

    // When the library reports the name missing, the generic family's handle is used.
    RealCreateFont = GdiplusApi.GdipCreateFont.Fn;
    FontFamilies.clear();
    {
        TGdipEntryOverride missing(GdiplusApi.GdipCreateFontFamilyFromName, &FamilyNotFound);
        TGdipEntryOverride record(GdiplusApi.GdipCreateFont, &RecordCreateFont);
        TGPFont font(u"Whatever", 10, FontStyleBold, UnitPoint);
        EXPECT_EQ(font.GetLastStatus(), Ok);
        EXPECT_EQ(font.GetStyle(), FontStyleBold);
    }
    EXPECT_EQ(FontFamilies, std::vector<const void*> { sans->nativeFamily });

    // When making the font with the found family fails, it is made with the generic one.
    FontFamilies.clear();
    {
        TGdipEntryOverride failFirst(GdiplusApi.GdipCreateFont, &FailFirstCreateFont);
        TGPFont font(u"Courier New", 10, FontStyleRegular, UnitPoint);
        EXPECT_EQ(font.GetLastStatus(), Ok);
        EXPECT_TRUE(font.IsAvailable());
    }
    ASSERT_EQ(FontFamilies.size(), 2u);
    EXPECT_NE(FontFamilies[0], sans->nativeFamily);
    EXPECT_EQ(FontFamilies[1], sans->nativeFamily);
}

TEST_F(FontWrapperTest, AFontKnowsItsSizeUnitStyleAndHeight)
{
    TGPFont font(u"Arial", 12, FontStyleItalic, UnitPixel);
    ASSERT_EQ(font.GetLastStatus(), Ok);
    EXPECT_FLOAT_EQ(font.GetSize(), 12.f);
    EXPECT_EQ(font.GetUnit(), UnitPixel);
    EXPECT_EQ(font.GetStyle(), FontStyleItalic);
    EXPECT_GT(font.GetHeight(96.f), 12.f);
    EXPECT_FALSE(FamilyNameOf(font).empty());
    TMemDC dc(4, 4);
    TGPGraphics g(dc.DC);
    LOGFONTW logfont;
    logfont.lfHeight = 99;
    ASSERT_EQ(font.GetLogFontW(&g, logfont), Ok);
    EXPECT_NE(logfont.lfItalic, 0);
    auto copy = font.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_FLOAT_EQ(copy->GetSize(), 12.f);
}

TEST_F(FontWrapperTest, FontStatusIsNotResetByReadingIt)
{
    TGPFont font(static_cast<const TGPFontFamily*>(nullptr), 10);
    EXPECT_FALSE(font.IsAvailable());
    const Status first = font.GetLastStatus();
    EXPECT_NE(first, Ok);
    EXPECT_EQ(font.GetLastStatus(), first);
    EXPECT_EQ(font.GetFamily(nullptr), InvalidParameter);
    EXPECT_EQ(font.GetLastStatus(), InvalidParameter);

    TGPFontFamily empty;
    EXPECT_FALSE(empty.IsAvailable());
    EXPECT_FALSE(empty.IsStyleAvailable(FontStyleRegular));
    EXPECT_NE(empty.GetLastStatus(), Ok);
    EXPECT_EQ(empty.GetLastStatus(), Ok);
}

TEST_F(FontWrapperTest, AFontFromAGdiFontReadsItsLogicalFontOnlyWhenThereIsOne)
{
    TMemDC dc(4, 4);
    LOGFONTW logfont;
    logfont.lfHeight = -16;
    const char16_t face[] = u"Arial";
    std::copy(std::begin(face), std::end(face), logfont.lfFaceName);
    HFONT hfont = CreateFontIndirectW(&logfont);
    ASSERT_NE(hfont, nullptr);
    struct TCase {
        HFONT Font;
        int FromDC, FromLogfont;
    };
    const TCase cases[] = { { nullptr, 1, 0 }, { hfont, 0, 1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FromDC);
        FromDCCalls = FromLogfontCalls = 0;
        TGdipEntryOverride dcCount(GdiplusApi.GdipCreateFontFromDC, &CountFromDC);
        TGdipEntryOverride wCount(GdiplusApi.GdipCreateFontFromLogfontW, &CountFromLogfontW);
        TGdipEntryOverride aCount(GdiplusApi.GdipCreateFontFromLogfontA, &CountFromLogfontA);
        TGPFont font(dc.DC, c.Font);
        EXPECT_EQ(FromDCCalls, c.FromDC);
        EXPECT_EQ(FromLogfontCalls, c.FromLogfont);
    }
    TGPFont real(dc.DC, hfont);
    EXPECT_EQ(real.GetLastStatus(), Ok);
    EXPECT_TRUE(real.IsAvailable());
    DeleteObject(hfont);
}

TEST_F(FontWrapperTest, FamilyNamesStopAtTheFirstNulAndAtThirtyTwoUnits)
{
    TGPFontFamily family(u"Arial");
    ASSERT_EQ(family.GetLastStatus(), Ok);
    struct TCase {
        const char16_t* Written;
        int Units;
        String Expected;
    };
    const TCase cases[] = {
        { u"ab\0cd", 5, u"ab" },
        { u"abcdefghijklmnopqrstuvwxyz012345", 32, u"abcdefghijklmnopqrstuvwxyz012345" },
        { u"\0bc", 3, u"" },
    };
    TGdipEntryOverride write(GdiplusApi.GdipGetFamilyName, &WriteFamilyName);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Units);
        NameToWrite = c.Written;
        NameUnits = c.Units;
        String name = u"stale";
        EXPECT_EQ(family.GetFamilyName(name), Ok);
        EXPECT_EQ(name, c.Expected);
    }
}

TEST_F(FontWrapperTest, FontCollectionsCheckTheirArgumentsAndKeepEveryStatus)
{
    TGPFontCollection collection;
    TGPFontFamily a, b;
    TGPFontFamily* families[] = { &a, &b };
    int found = -1;
    {
        CollectionCalls = 0;
        TGdipEntryOverride count(GdiplusApi.GdipGetFontCollectionFamilyList, &CountFamilyList);
        EXPECT_EQ(collection.GetFamilies(0, families, found), InvalidParameter);
        EXPECT_EQ(collection.GetFamilies(3, families, found), InvalidParameter);
        EXPECT_EQ(CollectionCalls, 0);
        EXPECT_EQ(collection.GetLastStatus(), InvalidParameter);
        EXPECT_EQ(collection.GetLastStatus(), InvalidParameter);
    }
    {
        TGdipEntryOverride three(GdiplusApi.GdipGetFontCollectionFamilyCount, &ThreeFamilies);
        EXPECT_EQ(collection.GetFamilyCount(), 3);
        EXPECT_EQ(collection.GetLastStatus(), Ok);
    }

    // The installed fonts, handed in by the caller.
    ASSERT_EQ(GdiplusApi.GdipNewInstalledFontCollection(&collection.nativeFontCollection), Ok);
    ASSERT_GE(collection.GetFamilyCount(), 2);
    ASSERT_EQ(collection.GetFamilies(2, families, found), Ok);
    EXPECT_EQ(found, 2);
    String first, second;
    EXPECT_EQ(a.GetFamilyName(first), Ok);
    EXPECT_EQ(b.GetFamilyName(second), Ok);
    EXPECT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_GT(a.GetEmHeight(FontStyleRegular), 0);
}

TEST_F(FontWrapperTest, StringFormatClonesAndSettings)
{
    TGPStringFormat format(StringFormatFlagsNoWrap);
    ASSERT_EQ(format.GetLastStatus(), Ok);
    ASSERT_EQ(format.SetAlignment(StringAlignmentCenter), Ok);
    ASSERT_EQ(format.SetLineAlignment(StringAlignmentFar), Ok);
    ASSERT_EQ(format.SetTrimming(StringTrimmingEllipsisWord), Ok);
    ASSERT_EQ(format.SetHotkeyPrefix(HotkeyPrefixShow), Ok);
    const float tabs[] = { 20, 40 };
    ASSERT_EQ(format.SetTabStops(5, 2, tabs), Ok);

    format.lastError = GenericError; // an earlier error nobody read
    auto clone = format.Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(format.lastError, Ok);
    EXPECT_EQ(clone->GetLastStatus(), Ok);
    EXPECT_EQ(clone->GetFormatFlags(), StringFormatFlagsNoWrap);
    EXPECT_EQ(clone->GetAlignment(), StringAlignmentCenter);
    EXPECT_EQ(clone->GetLineAlignment(), StringAlignmentFar);
    EXPECT_EQ(clone->GetTrimming(), StringTrimmingEllipsisWord);
    EXPECT_EQ(clone->GetHotkeyPrefix(), HotkeyPrefixShow);
    ASSERT_EQ(clone->GetTabStopCount(), 2);
    float first = 0, read[2] = {};
    ASSERT_EQ(clone->GetTabStops(2, &first, read), Ok);
    EXPECT_EQ(first, 5.f);
    EXPECT_EQ(read[1], 40.f);

    {
        TGdipEntryOverride fail(GdiplusApi.GdipCloneStringFormat, &FailCloneFormat);
        EXPECT_EQ(format.Clone(), nullptr);
        EXPECT_EQ(format.GetLastStatus(), OutOfMemory);
    }
    TGPStringFormat copy(&format);
    EXPECT_EQ(copy.GetLastStatus(), Ok);
    EXPECT_EQ(copy.GetAlignment(), StringAlignmentCenter);
    EXPECT_EQ(TGPStringFormat::GenericTypographic(), TGPStringFormat::GenericTypographic());
    EXPECT_NE(TGPStringFormat::GenericTypographic()->nativeFormat, nullptr);
    EXPECT_NE(TGPStringFormat::GenericTypographic()->GetFormatFlags() & StringFormatFlagsNoFitBlackBox, 0);
}

} // namespace

namespace {

TEST_F(FontWrapperTest, FinishingTheUnitLeavesTheLibrarysGenericObjectsUsable)
{
    String before;
    ASSERT_EQ(TGPFontFamily::GenericSansSerif()->GetFamilyName(before), Ok);
    TGPStringFormat::GenericDefault();
    FinalizeGdiplusUnit();
    EXPECT_FALSE(GdiplusUnitInitialized());

    EnsureGdiplusUnit();
    TGPFontFamily* again = TGPFontFamily::GenericSansSerif();
    String after;
    ASSERT_EQ(again->GetFamilyName(after), Ok);
    EXPECT_EQ(after, before);
    TGPFont font(again, 9);
    EXPECT_EQ(font.GetLastStatus(), Ok);
    EXPECT_EQ(TGPStringFormat::GenericDefault()->GetLastStatus(), Ok);
}

} // namespace
