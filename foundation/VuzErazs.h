#pragma once
// Class functions shared by the whole component library: text search and
// markup, JSON string escaping, Base64/hex/URL encodings, number text with a
// fixed '.', filter expressions, dates and character sets. Positions are
// 1-based, as everywhere in the library's text routines.

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/String.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"

class TStream;
class TStrings;
class TStringList;
class TMemoryStream;
class TResourceStream;
class TPicture;
class TFont;
class TComponent;
class TControl;
class TCustomForm;
class TLumBitmap;

// Told the file name and whether the user confirmed, after a file dialog.
using TVuzErazsFileCallBackEvent = std::function<void(const String& AFileName, bool AResult)>;

// Characters in insertion order, duplicates allowed; membership is exact.
using TVuzErazsCharSet = std::vector<Char>;

class TVuzErazs {
public:
    TVuzErazs() = delete;

    // ---- Text search ----
    // Position of `su` in `s` with ASCII letters compared case-insensitively; 0 when absent.
    static int IPos(StringView su, StringView s);
    // Replaces the first case-insensitive occurrence of `Srch` in `Dest`.
    static bool TagReplaceString(StringView Srch, StringView Repl, String& Dest);
    static int VarPos(StringView ASubValue, StringView AValue, int& AResult);
    static int VarPosNoCase(StringView ASubValue, StringView AValue, int& AResult);
    // The character at `Index`, or NUL outside the text.
    static Char CharInStr(StringView s, int Index);
    // Index of the first element equal to `AText` ignoring ASCII case, except
    // that entity-like names (accent words) must match exactly; -1 when none.
    static int IndexOfTextInArray(StringView AText, std::span<const String> AValues);
    static int GetMarkupIndex(StringView Markup);
    // The character of the 1-based markup pair `Value`; empty outside the table.
    static String GetSpecialChar(int Value);

    // ---- Markup ----
    static String FixMarkup(StringView su, bool SpecialChars = true);
    static String UnFixMarkup(StringView su, bool SpecialChars = true, bool SpecialCharsOnly = false);
    static bool IsHTML(StringView AValue);
    static bool IsHTMLUnicode(StringView AValue) { return IsHTML(AValue); }
    static String HTMLStrip(StringView AHTML);

    // ---- JSON string escaping ----
    static String EscapeString(StringView AValue);
    static String UnescapeString(StringView AValue);

    // ---- Base64 (RFC 4648 alphabet; AURL: "-" "_" and no padding) ----
    static String SaveStreamToBase64(TStream& AStream, bool AURL = false);
    static TBytes Decode64ToBytes(StringView AValue, bool AURL = false);
    static void LoadStreamFromBase64(StringView ABase64, TStream& AStream, bool AURL = false);

    // ---- Hexadecimal ----
    static String SaveStreamToHexStr(TStream& AStream);
    static TBytes HexStrToBytes(StringView AValue);
    static void LoadStreamFromHexStr(StringView AHexStr, TStream& AStream);

    // ---- URL encoding ----
    static String URLEncode(StringView AURL);
    static String URLDecode(StringView AURL);

    // ---- Number text with '.' as decimal and ',' as thousand separator ----
    static String FloatToStrDot(double AValue);
    static double StrToFloatDot(StringView AValue);
    static bool TryStrToFloatDot(StringView AValue, double& AResult);
    // Removes the process-wide thousand separator.
    static String StripThousandSep(StringView ps);

    // Reversible scrambling of 8-bit text.
    static String EnDeCrypt(StringView AValue);

    // ---- Character sets ----
    static TVuzErazsCharSet CreateCharSet(StringView AValue);
    static TVuzErazsCharSet NumericCharSet();
    static TVuzErazsCharSet AlphaCharSet();
    static TVuzErazsCharSet AddCharSet(const TVuzErazsCharSet& ACharSet1, const TVuzErazsCharSet& ACharSet2);
    static TVuzErazsCharSet SubCharSet(const TVuzErazsCharSet& ACharSet1, const TVuzErazsCharSet& ACharSet2);
    static bool CharInSet(Char ch, const TVuzErazsCharSet& ACharSet);
    // First character of `AValue` in the set outside double quotes; NUL and
    // spos = -1 when there is none.
    static Char FirstChar(const TVuzErazsCharSet& ACharset, StringView AValue, int& spos);
    // Position of the ")" that closes the first "("; 0 when there is none.
    static int ClosingParenthesis(StringView s1);
    static String StripLogicSpaces(StringView AValue);
    static void Split(Char ADelimiter, const String& AInput, TStrings& AStrings, bool AClearEmptyStrings = false);

    // ---- Filter expressions ----
    // The settings give the thousand separator and the date format; the
    // process-wide ones unless a caller passes its own.
    static bool MatchStrEx(StringView AValue1, StringView AValue2, bool ACaseSensitive,
        const TFormatSettings& fs = ProcessFormatSettings());
    static bool MatchStr(StringView AValue1, StringView AValue2, bool ACaseSensitive,
        const TFormatSettings& fs = ProcessFormatSettings());
    static bool Matches(StringView s0a, StringView s1a, const TFormatSettings& fs = ProcessFormatSettings());
    static bool Matches(const Char* s0a, const Char* s1a, const TFormatSettings& fs = ProcessFormatSettings());
    // A date in the order of the short date format, optionally followed by a
    // blank and a time.
    static bool IsDate(StringView AValue, TDateTime& ADate, const TFormatSettings& fs = ProcessFormatSettings());

    // ---- Pictures as text (no text for a picture without graphic) ----
    static String SaveBitmapToBase64(TPicture* ABitmap, bool AURL = false);
    // A data-URL prefix up to ";base64," is skipped.
    static void LoadBitmapFromBase64(StringView ABase64, TPicture* ABitmap, bool AURL = false);
    static String SaveBitmapToHexStr(TPicture* ABitmap);
    // Unknown bytes leave the picture unchanged.
    static void LoadBitmapFromHexStr(StringView AHexStr, TPicture* ABitmap);
    // A new picture loaded from the text. The picture class lives in the
    // graphics library, which registers the two factories when it is linked
    // in; with none registered these raise Exception. The pointer carries its
    // deleter, as this library cannot see the class.
    using TLumBitmapPtr = std::unique_ptr<TLumBitmap, void (*)(TLumBitmap*)>;
    static TLumBitmapPtr CreateBitmapFromBase64(StringView ABase64, bool AURL = false);
    static TLumBitmapPtr CreateBitmapFromHexStr(StringView AHexStr);
    using TBitmapFromBase64 = std::function<TLumBitmapPtr(StringView ABase64, bool AURL)>;
    using TBitmapFromHexStr = std::function<TLumBitmapPtr(StringView AHexStr)>;
    static void RegisterBitmapFactories(TBitmapFromBase64 AFromBase64, TBitmapFromHexStr AFromHexStr);

    // ---- Images ----
    // The extension of the image format whose signature the first four
    // bytes carry; empty when none matches or fewer than four bytes exist.
    // The stream's position is restored.
    static String GetImageType(TStream& AData, bool AResetPosition);
    static String GetImageType(TPicture& ABitmap, bool AResetPosition);
    // The picture class of the bytes' format; false for unknown or empty data.
    static bool FindGraphicClass(const void* Buffer, Int64 BufferSize, TClass& GraphicClass);
    // The picture as JPEG (a JPEG picture's own bytes); nullptr when the
    // format is unknown. AQuality is 0.01..1 (else ERangeError).
    static std::unique_ptr<TMemoryStream> ConvertBitmapToJPEGStream(TPicture* ABitmap, float AQuality,
        TColor ABackgroundColor);
    // The body of an image answer, positioned after the data; empty when the
    // answer is not an image.
    static std::unique_ptr<TMemoryStream> DownloadImage(const String& AURL);
    static std::unique_ptr<TResourceStream> GetResourceStream(const String& AResourceName, HINSTANCE AInstance);
    static std::unique_ptr<TResourceStream> GetResourceStream(const String& AResourceName);
    static HINSTANCE GetHInstance();

    // ---- DPI and fonts ----
    static float GetDPIScale(TComponent* AOwner = nullptr, int ADefaultDPI = 96);
    static bool IsHighDPIScale(TComponent* AOwner = nullptr, int ADefaultDPI = 96);
    static void ScaleForDPI(TControl* AControl, int ADPI);
    static void ScaleForCurrentDPI(TCustomForm* AForm);
    // -1 for a zero denominator; rounds half away from zero.
    static int MulDivInt(int nNumber, int nNumerator, int nDenominator);
    static float MulDivSingle(int nNumber, int nNumerator, int nDenominator);
    // ASize in pixels at 96 DPI; the height for the scaled DPI.
    static void SetFontSize(TFont* AFont, float ASize, float AScaleFactor);
    static void GetFonts(TStringList& FontList);

    // ---- Forms, paths, shell ----
    static TCustomForm* GetOwnerForm(TComponent* AComponent);
    static TCustomForm* GetParentForm(TControl* AControl);
    static String GetTempPath();
    static String GetAppPath();
    static String GetDocumentsPath();
    static String AddBackslash(const String& AValue);
    static String AddForwardslash(const String& AValue);
    // Opens with the desktop's handler (xdg-open), the target as one argument.
    static void OpenFile(const String& AFile, TControl* AControlReference = nullptr);
    static void OpenURL(const String& AURL);
    // An information message with an OK button; the dialog result.
    static int Message(const String& AMessage);
    // ADialogType and AButtons are the message dialog's TMessageDialogType and the
    // bits of its TMessageDialogButtons.
    static int Message(const String& AMessage, int ADialogType, std::uint64_t AButtons, int AHelpContext);
    // A file-open dialog (the file must exist) starting in ADefaultFolder or
    // the documents folder; true and the chosen file when confirmed.
    static bool SelectFile(String& AFileName, const String& ADefaultFolder = {}, const String& AFilter = {},
        const TVuzErazsFileCallBackEvent& ACallBack = nullptr);
    // A file-save dialog with the overwrite prompt, proposing AFileName; a
    // chosen name without extension takes the proposed name's extension.
    static bool SaveFile(String& AFileName, const String& AFilter = {},
        const TVuzErazsFileCallBackEvent& ACallBack = nullptr);
    // To the debug output (standard error).
    static void Log(const String& AMessage);
    // A new component of the same class with the same published properties,
    // no owner and no name.
    static std::unique_ptr<TComponent> Clone(TComponent* AComponent);
    static TPointF GetMousePos();
    // Seconds since 1970-01-01 (64-bit) as a UTC date and time.
    static TDateTime EpochToDateTime(const String& AEpoch);
    static String FormatBytesAsString(double ASize);

    // ---- Version text ----
    static Word MakeWordFromBytes(Byte AHigh, Byte ALow) { return Word((AHigh << 8) | ALow); }
    static std::uint32_t MakeLongFromWords(Word AHigh, Word ALow) { return (std::uint32_t(AHigh) << 16) | ALow; }
    static Word GetHiWord(std::uint32_t AValue) { return Word(AValue >> 16); }
    static Word GetLoWord(std::uint32_t AValue) { return Word(AValue & 0xFFFF); }
    static String FormatVersionNumber(Byte AMajor, Byte AMinor, Byte ARelease, Byte ABuild);
};

// Clipboard formats registered at start-up.
extern Word CF_RICHEDITORTEXT;
extern Word CF_LUMCLIPBOARDSTREAM;
extern Word CF_RTF;
extern Word CF_HTML;
extern Word CF_LUMBITMAP;
