#include "graphics/LumGDIPlusClassesFonts.h"

#include <algorithm>
#include <vector>

#include "graphics/GdipFontNames.h"
#include "graphics/LumGDIPlusClassesGraphics.h"

namespace LumGDIPlusClasses {

namespace {

// The unit's cached generic objects, made on first use.
TGPFontFamily* g_genericSansSerif = nullptr;
TGPFontFamily* g_genericSerif = nullptr;
TGPFontFamily* g_genericMonospace = nullptr;
TGPStringFormat* g_genericTypographic = nullptr;
TGPStringFormat* g_genericDefault = nullptr;

constexpr int FamilyNameLength = 32;

} // namespace

// ---- TGPFontFamily ----

TGPFontFamily::TGPFontFamily(const String& name, const TGPFontCollection* fontCollection)
{
    lastResult = GdiplusApi.GdipCreateFontFamilyFromName(name.c_str(),
        fontCollection ? fontCollection->nativeFontCollection : nullptr, &nativeFamily);
    if (lastResult != Ok || fontCollection)
        return;
    // The library answers an unknown name with its closest match; a name
    // that is not installed must read as not found, so that fonts fall back
    // to the generic sans-serif family.
    String found;
    if (GetFamilyName(found) == Ok && !IsGdipFamilyOfName(found, name)) {
        GdiplusApi.GdipDeleteFontFamily(nativeFamily);
        nativeFamily = nullptr;
        lastResult = FontFamilyNotFound;
    }
}

TGPFontFamily::TGPFontFamily(void* nativeOrig, Status status) : nativeFamily(nativeOrig), lastResult(status) { }

TGPFontFamily::~TGPFontFamily() { GdiplusApi.GdipDeleteFontFamily(nativeFamily); }

namespace {

using TGenericFamilyFunction = decltype(GdiplusApi.GdipGetGenericFontFamilySansSerif);

TGPFontFamily* CachedGenericFamily(TGPFontFamily*& cache, const TGenericFamilyFunction& get)
{
    if (cache)
        return cache;
    cache = new TGPFontFamily();
    if (!cache)
        return nullptr;
    void* family = nullptr;
    cache->lastResult = get(&family);
    cache->nativeFamily = family;
    return cache;
}

} // namespace

TGPFontFamily* TGPFontFamily::GenericSansSerif()
{
    return CachedGenericFamily(g_genericSansSerif, GdiplusApi.GdipGetGenericFontFamilySansSerif);
}

TGPFontFamily* TGPFontFamily::GenericSerif()
{
    return CachedGenericFamily(g_genericSerif, GdiplusApi.GdipGetGenericFontFamilySerif);
}

TGPFontFamily* TGPFontFamily::GenericMonospace()
{
    return CachedGenericFamily(g_genericMonospace, GdiplusApi.GdipGetGenericFontFamilyMonospace);
}

Status TGPFontFamily::GetFamilyName(String& name, WORD language)
{
    name.clear();
    // One unit more than the library may fill, so the text always ends.
    char16_t buffer[FamilyNameLength + 1] {};
    const Status status = SetStatus(GdiplusApi.GdipGetFamilyName(nativeFamily, buffer, language));
    name.assign(buffer, std::find(buffer, buffer + FamilyNameLength, u'\0'));
    return status;
}

std::unique_ptr<TGPFontFamily> TGPFontFamily::Clone()
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneFontFamily(nativeFamily, &clone));
    return std::unique_ptr<TGPFontFamily>(new TGPFontFamily(clone, lastResult));
}

bool TGPFontFamily::IsStyleAvailable(int style)
{
    BOOL available = FALSE;
    if (SetStatus(GdiplusApi.GdipIsStyleAvailable(nativeFamily, style, &available)) != Ok)
        return false;
    return available != FALSE;
}

WORD TGPFontFamily::GetEmHeight(int style)
{
    return QueryValue(lastResult, WORD(0), GdiplusApi.GdipGetEmHeight, nativeFamily, style);
}

WORD TGPFontFamily::GetCellAscent(int style)
{
    return QueryValue(lastResult, WORD(0), GdiplusApi.GdipGetCellAscent, nativeFamily, style);
}

WORD TGPFontFamily::GetCellDescent(int style)
{
    return QueryValue(lastResult, WORD(0), GdiplusApi.GdipGetCellDescent, nativeFamily, style);
}

WORD TGPFontFamily::GetLineSpacing(int style)
{
    return QueryValue(lastResult, WORD(0), GdiplusApi.GdipGetLineSpacing, nativeFamily, style);
}

// ---- TGPFontCollection ----

int TGPFontCollection::GetFamilyCount()
{
    int count = 0;
    SetStatus(GdiplusApi.GdipGetFontCollectionFamilyCount(nativeFontCollection, &count));
    return count;
}

Status TGPFontCollection::GetFamilies(int numSought, std::span<TGPFontFamily* const> gpfamilies, int& numFound)
{
    if (numSought < 1 || gpfamilies.size() < std::size_t(numSought))
        return SetStatus(InvalidParameter);
    numFound = 0;
    std::vector<void*> handles;
    try {
        handles.assign(std::size_t(numSought), nullptr);
    } catch (const std::bad_alloc&) {
        return SetStatus(OutOfMemory);
    }
    const Status status = SetStatus(
        GdiplusApi.GdipGetFontCollectionFamilyList(nativeFontCollection, numSought, handles.data(), &numFound));
    if (status != Ok)
        return status;
    numFound = std::clamp(numFound, 0, numSought);
    for (int i = 0; i < numFound; ++i) {
        void* listed = handles[std::size_t(i)];
        if (TGPFontFamily* family = gpfamilies[std::size_t(i)]) {
            // The clone replaces what the object held.
            void* clone = nullptr;
            GdiplusApi.GdipCloneFontFamily(listed, &clone);
            GdiplusApi.GdipDeleteFontFamily(family->nativeFamily);
            family->nativeFamily = clone;
        }
        // The library hands out a family object of its own for each entry.
        GdiplusApi.GdipDeleteFontFamily(listed);
    }
    return status;
}

// ---- TGPFont ----

TGPFont::TGPFont(HDC hdc) { lastResult = GdiplusApi.GdipCreateFontFromDC(hdc, &nativeFont); }

TGPFont::TGPFont(HDC hdc, const LOGFONTA* logfont)
{
    lastResult = logfont ? GdiplusApi.GdipCreateFontFromLogfontA(hdc, logfont, &nativeFont)
                         : GdiplusApi.GdipCreateFontFromDC(hdc, &nativeFont);
}

TGPFont::TGPFont(HDC hdc, const LOGFONTW* logfont)
{
    lastResult = logfont ? GdiplusApi.GdipCreateFontFromLogfontW(hdc, logfont, &nativeFont)
                         : GdiplusApi.GdipCreateFontFromDC(hdc, &nativeFont);
}

TGPFont::TGPFont(HDC hdc, HFONT hfont)
{
    if (!hfont) {
        lastResult = GdiplusApi.GdipCreateFontFromDC(hdc, &nativeFont);
        return;
    }
    // The wide record keeps face names the narrow one cannot hold.
    LOGFONTW logfont;
    if (GetObjectW(hfont, int(sizeof logfont), &logfont) == int(sizeof logfont))
        lastResult = GdiplusApi.GdipCreateFontFromLogfontW(hdc, &logfont, &nativeFont);
    else
        lastResult = GdiplusApi.GdipCreateFontFromDC(hdc, &nativeFont);
}

TGPFont::TGPFont(const TGPFontFamily* family, float emSize, int style, Unit_ unit_)
{
    lastResult = GdiplusApi.GdipCreateFont(family ? family->nativeFamily : nullptr, emSize, style, unit_, &nativeFont);
}

TGPFont::TGPFont(const String& familyName, float emSize, int style, Unit_ unit_,
    const TGPFontCollection* fontCollection)
{
    TGPFontFamily family(familyName, fontCollection);
    void* handle = family.nativeFamily;
    lastResult = family.GetLastStatus();
    TGPFontFamily* generic = nullptr;
    if (lastResult != Ok) {
        generic = TGPFontFamily::GenericSansSerif();
        lastResult = generic ? generic->lastResult : OutOfMemory;
        if (lastResult != Ok)
            return;
        handle = generic->nativeFamily;
    }
    lastResult = GdiplusApi.GdipCreateFont(handle, emSize, style, unit_, &nativeFont);
    if (lastResult != Ok) {
        generic = TGPFontFamily::GenericSansSerif();
        lastResult = generic ? generic->lastResult : OutOfMemory;
        if (lastResult == Ok)
            lastResult = GdiplusApi.GdipCreateFont(generic->nativeFamily, emSize, style, unit_, &nativeFont);
    }
}

TGPFont::TGPFont(void* font, Status status) : nativeFont(font), lastResult(status) { }

TGPFont::~TGPFont() { GdiplusApi.GdipDeleteFont(nativeFont); }

std::unique_ptr<TGPFont> TGPFont::Clone()
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneFont(nativeFont, &clone));
    return std::unique_ptr<TGPFont>(new TGPFont(clone, lastResult));
}

Status TGPFont::GetLogFontA(const TGPGraphics* g, LOGFONTA& logfontA)
{
    logfontA.lfHeight = 0;
    return SetStatus(GdiplusApi.GdipGetLogFontA(nativeFont, g ? g->nativeGraphics : nullptr, &logfontA));
}

Status TGPFont::GetLogFontW(const TGPGraphics* g, LOGFONTW& logfontW)
{
    logfontW.lfHeight = 0;
    return SetStatus(GdiplusApi.GdipGetLogFontW(nativeFont, g ? g->nativeGraphics : nullptr, &logfontW));
}

int TGPFont::GetStyle()
{
    return QueryValue(lastResult, 0, GdiplusApi.GdipGetFontStyle, nativeFont);
}

float TGPFont::GetSize()
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetFontSize, nativeFont);
}

Unit_ TGPFont::GetUnit()
{
    return QueryValue(lastResult, UnitWorld, GdiplusApi.GdipGetFontUnit, nativeFont);
}

float TGPFont::GetHeight(const TGPGraphics* graphics)
{
    void* g = graphics ? graphics->nativeGraphics : nullptr;
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetFontHeight, nativeFont, g);
}

float TGPFont::GetHeight(float dpi)
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetFontHeightGivenDPI, nativeFont, dpi);
}

Status TGPFont::GetFamily(TGPFontFamily* family)
{
    if (!family)
        return SetStatus(InvalidParameter);
    void* handle = nullptr;
    const Status status = GdiplusApi.GdipGetFamily(nativeFont, &handle);
    // The family object owns what it is given: its old handle goes.
    if (status == Ok) {
        GdiplusApi.GdipDeleteFontFamily(family->nativeFamily);
        family->nativeFamily = handle;
    }
    RecordStatus(family->lastResult, status);
    return SetStatus(status);
}

// ---- TGPStringFormat ----

TGPStringFormat::TGPStringFormat(int formatFlags, WORD language)
{
    lastError = GdiplusApi.GdipCreateStringFormat(formatFlags, language, &nativeFormat);
}

TGPStringFormat::TGPStringFormat(const TGPStringFormat* format)
{
    lastError = GdiplusApi.GdipCloneStringFormat(format ? format->nativeFormat : nullptr, &nativeFormat);
}

TGPStringFormat::TGPStringFormat(void* clonedStringFormat, Status status)
    : nativeFormat(clonedStringFormat)
    , lastError(status)
{
}

TGPStringFormat::~TGPStringFormat() { GdiplusApi.GdipDeleteStringFormat(nativeFormat); }

namespace {

using TGenericFormatFunction = decltype(GdiplusApi.GdipStringFormatGetGenericDefault);

} // namespace

// Friend-free access to the protected constructor for the cache.
class TGenericStringFormat : public TGPStringFormat {
public:
    TGenericStringFormat() : TGPStringFormat(nullptr, Ok) { }
};

namespace {

TGPStringFormat* CachedGenericFormat(TGPStringFormat*& cache, const TGenericFormatFunction& get)
{
    if (cache)
        return cache;
    cache = new TGenericStringFormat();
    if (!cache)
        return nullptr;
    void* format = nullptr;
    cache->lastError = get(&format);
    cache->nativeFormat = format;
    return cache;
}

} // namespace

TGPStringFormat* TGPStringFormat::GenericDefault()
{
    return CachedGenericFormat(g_genericDefault, GdiplusApi.GdipStringFormatGetGenericDefault);
}

TGPStringFormat* TGPStringFormat::GenericTypographic()
{
    return CachedGenericFormat(g_genericTypographic, GdiplusApi.GdipStringFormatGetGenericTypographic);
}

std::unique_ptr<TGPStringFormat> TGPStringFormat::Clone()
{
    void* clone = nullptr;
    lastError = GdiplusApi.GdipCloneStringFormat(nativeFormat, &clone);
    if (lastError != Ok)
        return nullptr;
    return std::unique_ptr<TGPStringFormat>(new TGPStringFormat(clone, Ok));
}

Status TGPStringFormat::SetFormatFlags(int flags)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatFlags(nativeFormat, flags));
}

int TGPStringFormat::GetFormatFlags()
{
    return QueryValue(lastError, 0, GdiplusApi.GdipGetStringFormatFlags, nativeFormat);
}

Status TGPStringFormat::SetAlignment(StringAlignment align)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatAlign(nativeFormat, align));
}

StringAlignment TGPStringFormat::GetAlignment()
{
    return QueryValue(lastError, StringAlignmentNear, GdiplusApi.GdipGetStringFormatAlign, nativeFormat);
}

Status TGPStringFormat::SetLineAlignment(StringAlignment align)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatLineAlign(nativeFormat, align));
}

StringAlignment TGPStringFormat::GetLineAlignment()
{
    return QueryValue(lastError, StringAlignmentNear, GdiplusApi.GdipGetStringFormatLineAlign, nativeFormat);
}

Status TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatHotkeyPrefix(nativeFormat, hotkeyPrefix));
}

HotkeyPrefix TGPStringFormat::GetHotkeyPrefix()
{
    int prefix = HotkeyPrefixNone;
    SetStatus(GdiplusApi.GdipGetStringFormatHotkeyPrefix(nativeFormat, &prefix));
    return HotkeyPrefix(prefix);
}

Status TGPStringFormat::SetTabStops(float firstTabOffset, int count, const float* tabStops)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatTabStops(nativeFormat, firstTabOffset, count, tabStops));
}

int TGPStringFormat::GetTabStopCount()
{
    return QueryValue(lastError, 0, GdiplusApi.GdipGetStringFormatTabStopCount, nativeFormat);
}

Status TGPStringFormat::GetTabStops(int count, float* firstTabOffset, float* tabStops)
{
    return SetStatus(GdiplusApi.GdipGetStringFormatTabStops(nativeFormat, count, firstTabOffset, tabStops));
}

Status TGPStringFormat::SetDigitSubstitution(WORD language, StringDigitSubstitute substitute)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatDigitSubstitution(nativeFormat, language, substitute));
}

WORD TGPStringFormat::GetDigitSubstitutionLanguage()
{
    WORD language = 0;
    SetStatus(GdiplusApi.GdipGetStringFormatDigitSubstitution(nativeFormat, &language, nullptr));
    return language;
}

StringDigitSubstitute TGPStringFormat::GetDigitSubstitutionMethod()
{
    return QueryValue(lastError, StringDigitSubstituteUser, GdiplusApi.GdipGetStringFormatDigitSubstitution, nativeFormat, nullptr);
}

Status TGPStringFormat::SetTrimming(StringTrimming trimming)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatTrimming(nativeFormat, trimming));
}

StringTrimming TGPStringFormat::GetTrimming()
{
    return QueryValue(lastError, StringTrimmingNone, GdiplusApi.GdipGetStringFormatTrimming, nativeFormat);
}

Status TGPStringFormat::SetMeasurableCharacterRanges(int rangeCount, const CharacterRange* ranges)
{
    return SetStatus(GdiplusApi.GdipSetStringFormatMeasurableCharacterRanges(nativeFormat, rangeCount, ranges));
}

int TGPStringFormat::GetMeasurableCharacterRangeCount()
{
    return QueryValue(lastError, 0, GdiplusApi.GdipGetStringFormatMeasurableCharacterRangeCount, nativeFormat);
}

void FreeGenericFontObjects()
{
    for (TGPFontFamily** family : { &g_genericSansSerif, &g_genericSerif, &g_genericMonospace }) {
        delete *family;
        *family = nullptr;
    }
    for (TGPStringFormat** format : { &g_genericTypographic, &g_genericDefault }) {
        delete *format;
        *format = nullptr;
    }
}

} // namespace LumGDIPlusClasses
