// Small routines of the string grid's unit: the locale's separators and
// formats, the natural text order, a grid rectangle, a window made
// transparent to the mouse, a library's file version, and keeping the focus
// window of the focused grid in place when top-level windows move.

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Window.h"

Char LocaleTimeSeparator() { return FormatSettings.TimeSeparator; }
Char LocaleDateSeparator() { return FormatSettings.DateSeparator; }
Char LocaleThousandSeparator() { return FormatSettings.ThousandSeparator; }
Char LocaleDecimalSeparator() { return FormatSettings.DecimalSeparator; }
String LocaleShortDateFormat() { return FormatSettings.ShortDateFormat; }
String LocaleShortTimeFormat() { return FormatSettings.ShortTimeFormat; }
String LocaleLongTimeFormat() { return FormatSettings.LongTimeFormat; }
String LocaleCurrencyString() { return FormatSettings.CurrencyString; }

int NaturalCompareText(const String& S1, const String& S2) { return StrCmpLogicalW(S1, S2); }

TGridRect MakeGridRect(int ALeft, int ATop, int ARight, int ABottom) { return { ALeft, ATop, ARight, ABottom }; }

void SetWindowTransparent(HWND Handle)
{
    if (!Handle)
        return;
    SetWindowLongPtr(Handle, GWL_EXSTYLE, GetWindowLongPtr(Handle, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
}

int GetDllFileVersion(const String& FileName)
{
    DWORD Handle = 0;
    const DWORD Size = GetFileVersionInfoSize(FileName, &Handle);
    if (Size == 0)
        return -1;
    std::vector<Byte> Block(Size);
    if (!GetFileVersionInfo(FileName, Handle, Size, Block.data()))
        return -1;
    void* Fixed = nullptr;
    UINT Length = 0;
    if (!VerQueryValue(Block.data(), u"\\", &Fixed, &Length) || !Fixed || Length < sizeof(VS_FIXEDFILEINFO))
        return -1;
    const auto* Info = static_cast<const VS_FIXEDFILEINFO*>(Fixed);
    if (Info->dwSignature != VS_FFI_SIGNATURE)
        return -1;
    return int(Info->dwFileVersionMS);
}

// ---- the focus window follows its form ----

namespace {

TDedOzovedUrad* FocusWindowGrid = nullptr;
UINT_PTR FocusWindowSubscription = 0;

} // namespace

void FocusWindowHookProc(HWND)
{
    if (FocusWindowGrid)
        FocusWindowGrid->PlaceFocusWindow();
}

void InstallFocusWindowHook()
{
    if (FocusWindowSubscription == 0)
        FocusWindowSubscription = SubscribeTopLevelMoved(&FocusWindowHookProc);
}

void RemoveFocusWindowHook()
{
    if (FocusWindowSubscription != 0)
        UnsubscribeTopLevelMoved(FocusWindowSubscription);
    FocusWindowSubscription = 0;
}

bool FocusWindowHookInstalled() { return FocusWindowSubscription != 0; }

void SetFocusWindowGrid(TDedOzovedUrad* Grid) { FocusWindowGrid = Grid; }

TDedOzovedUrad* GetFocusWindowGrid() { return FocusWindowGrid; }
