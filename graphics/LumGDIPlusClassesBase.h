#pragma once
// What every wrapper class of the run-time bound GDI+ set shares.
//
// - Each class owns one native object (an untyped pointer, field native...)
//   and keeps the last error in a status field (lastResult; lastError for
//   string formats). Nothing raises: every failure is a Status returned or
//   recorded.
// - RecordStatus keeps the latest error: a status other than Ok overwrites
//   the field, Ok leaves it alone. GetLastStatus returns the field and resets
//   it to Ok (fonts and font collections do not reset).
// - A constructor stores its creation status in the field unconditionally.
// - A wrapper argument is turned into its native handle. Optional arguments
//   may be null and pass a null handle; a required one that is null answers
//   InvalidParameter (recorded) without calling the library.
// - A query starts from its start value and returns it when the call fails.
// - Objects a method hands out (Clone, From..., GetBrush, ...) come as
//   std::unique_ptr and are the caller's; null when none was made. The
//   cached generic font families and string formats belong to the unit.
// - Every wrapper must be gone before FinalizeGdiplusUnit shuts GDI+ down.

#include <memory>

#include "graphics/LumGDIPlusApi.h"

namespace LumGDIPlusClasses {

using namespace LumGDIPlusApi;

class TGPGraphics;
class TGPGraphicsPath;
class TGPMatrix;
class TGPRegion;
class TGPPen;
class TGPCustomLineCap;
class TGPImageAttributes;
class TGPCachedBitmap;
class TGPFontFamily;
class TGPFontCollection;
class TGPFont;
class TGPStringFormat;
class TGPImage;
class TGPBitmap;
class TGPBrush;
class TGPSolidBrush;
class TGPTextureBrush;
class TGPLinearGradientBrush;
class TGPHatchBrush;
class TGPPathGradientBrush;

// Keeps the latest error in `field` and returns `status` unchanged.
inline Status RecordStatus(Status& field, Status status)
{
    if (status != Ok)
        field = status;
    return status;
}

// Returns `field` and resets it to Ok.
inline Status TakeStatus(Status& field)
{
    const Status status = field;
    field = Ok;
    return status;
}

// A query: lets the library write a value that starts at `start`, and gives
// the start value back when the call fails.
template <class T, class Entry, class... A> T QueryValue(Status& field, T start, const Entry& entry, A... args)
{
    T value = start;
    return RecordStatus(field, entry(args..., &value)) == Ok ? value : start;
}

// The unit's start and end: binds the flat API and starts GDI+ (not when the
// module is a loadable library); at the end frees the cached generic objects,
// shuts GDI+ down and unbinds. The first wrapper made starts the unit when
// nothing did; the process's end finishes it.
void InitializeGdiplusUnit(bool moduleIsLibrary = false);
void FinalizeGdiplusUnit();
bool GdiplusUnitInitialized();
void EnsureGdiplusUnit();

} // namespace LumGDIPlusClasses
