#pragma once
// Text wrappers: typefaces, sets of typefaces, fonts and string formats. A
// font made from a family name that is not found falls back to the generic
// sans-serif family; the three generic families and two generic formats are
// made once and belong to the unit until it finishes.

#include <span>

#include "graphics/LumGDIPlusClassesBase.h"
#include "platform/rtl/String.h"

namespace LumGDIPlusClasses {

class TGPFontFamily : public TGdiplusBase {
public:
    // No native object; status Ok.
    TGPFontFamily() = default;
    // The collection is optional (null: the installed fonts).
    explicit TGPFontFamily(const String& name, const TGPFontCollection* fontCollection = nullptr);
    TGPFontFamily(void* nativeOrig, Status status);
    ~TGPFontFamily() override;

    // The unit's cached families; callers must not free them.
    static TGPFontFamily* GenericSansSerif();
    static TGPFontFamily* GenericSerif();
    static TGPFontFamily* GenericMonospace();

    // At most 32 characters, up to the first NUL.
    Status GetFamilyName(String& name, WORD language = 0);
    std::unique_ptr<TGPFontFamily> Clone();
    bool IsAvailable() const { return nativeFamily != nullptr; }
    bool IsStyleAvailable(int style);
    WORD GetEmHeight(int style);
    WORD GetCellAscent(int style);
    WORD GetCellDescent(int style);
    WORD GetLineSpacing(int style);

    Status GetLastStatus() { return TakeStatus(lastResult); }

    void* nativeFamily { nullptr };
    Status lastResult { Ok };

protected:
    Status SetStatus(Status status) { return RecordStatus(lastResult, status); }
    void SetNative(void* family) { nativeFamily = family; }
};

// Makes no native collection and releases none: the handle is whatever a
// caller stores. Every status is kept, Ok included, and reading it does not
// reset it.
class TGPFontCollection : public TGdiplusBase {
public:
    TGPFontCollection() = default;
    ~TGPFontCollection() override = default;

    int GetFamilyCount();
    // Clones the first numFound families into the given objects' native
    // handles. numSought below 1, or fewer objects than sought, answers
    // InvalidParameter without a call.
    Status GetFamilies(int numSought, std::span<TGPFontFamily* const> gpfamilies, int& numFound);

    Status GetLastStatus() const { return lastResult; }

    void* nativeFontCollection { nullptr };
    Status lastResult { Ok };

protected:
    Status SetStatus(Status status) { return lastResult = status; }
    void SetNative(void* collection) { nativeFontCollection = collection; }
};

class TGPFont : public TGdiplusBase {
public:
    explicit TGPFont(HDC hdc);
    // A null logical font makes the font from the context instead.
    TGPFont(HDC hdc, const LOGFONTA* logfont);
    TGPFont(HDC hdc, const LOGFONTW* logfont);
    // A null font, or one that cannot be read, makes the font from the context.
    TGPFont(HDC hdc, HFONT hfont);
    // The family is optional.
    TGPFont(const TGPFontFamily* family, float emSize, int style = FontStyleRegular, Unit_ unit_ = UnitPoint);
    // Falls back to the generic sans-serif family when the name is not found.
    TGPFont(const String& familyName, float emSize, int style = FontStyleRegular, Unit_ unit_ = UnitPoint,
        const TGPFontCollection* fontCollection = nullptr);
    TGPFont(void* font, Status status);
    ~TGPFont() override;

    // A new font carrying this one's status field.
    std::unique_ptr<TGPFont> Clone();
    // The graphics is optional.
    Status GetLogFontA(const TGPGraphics* g, LOGFONTA& logfontA);
    Status GetLogFontW(const TGPGraphics* g, LOGFONTW& logfontW);
    bool IsAvailable() const { return nativeFont != nullptr; }
    int GetStyle();
    float GetSize();
    Unit_ GetUnit();
    // The graphics is optional.
    float GetHeight(const TGPGraphics* graphics);
    float GetHeight(float dpi);
    // Writes the font's family into the given family object's native handle.
    Status GetFamily(TGPFontFamily* family);

    // Does not reset the field.
    Status GetLastStatus() const { return lastResult; }

    void* nativeFont { nullptr };
    Status lastResult { Ok };

protected:
    Status SetStatus(Status status) { return RecordStatus(lastResult, status); }
    void SetNative(void* font) { nativeFont = font; }
};

class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(int formatFlags = 0, WORD language = 0);
    // A copy of the format (optional: null passes null to the library).
    explicit TGPStringFormat(const TGPStringFormat* format);
    ~TGPStringFormat() override;

    // The unit's cached formats; callers must not free them.
    static TGPStringFormat* GenericDefault();
    static TGPStringFormat* GenericTypographic();

    // Null on failure; this format's field takes the clone's status, Ok included.
    std::unique_ptr<TGPStringFormat> Clone();
    Status SetFormatFlags(int flags);
    int GetFormatFlags();
    Status SetAlignment(StringAlignment align);
    StringAlignment GetAlignment();
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment();
    Status SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
    HotkeyPrefix GetHotkeyPrefix();
    Status SetTabStops(float firstTabOffset, int count, const float* tabStops);
    int GetTabStopCount();
    Status GetTabStops(int count, float* firstTabOffset, float* tabStops);
    Status SetDigitSubstitution(WORD language, StringDigitSubstitute substitute);
    WORD GetDigitSubstitutionLanguage();
    StringDigitSubstitute GetDigitSubstitutionMethod();
    Status SetTrimming(StringTrimming trimming);
    StringTrimming GetTrimming();
    Status SetMeasurableCharacterRanges(int rangeCount, const CharacterRange* ranges);
    int GetMeasurableCharacterRangeCount();

    Status GetLastStatus() { return TakeStatus(lastError); }

    void* nativeFormat { nullptr };
    Status lastError { Ok };

protected:
    TGPStringFormat(void* clonedStringFormat, Status status);
    Status SetStatus(Status status) { return RecordStatus(lastError, status); }
    void SetNative(void* format) { nativeFormat = format; }
};

// Frees the cached generic families and formats that were made, in the
// order sans-serif, serif, monospace, typographic, default.
void FreeGenericFontObjects();

} // namespace LumGDIPlusClasses
