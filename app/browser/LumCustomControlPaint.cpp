// What the control base paints: the pipeline over the drawing API and the
// pictures of check boxes, radio buttons and push buttons in their states.

#include <memory>

#include "app/browser/LumCustomControl.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsStyles.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"

// One state picture: its field, how the theme draws it and how the classic
// frame-control drawing does.
struct TLumCustomControl::TStatePicture {
    std::unique_ptr<TLumBitmap> TLumCustomControl::*Picture;
    int ThemePart;
    int ThemeState;
    UINT FrameFlags;
};

namespace {

// The theme's button parts.
constexpr int BP_PUSHBUTTON = 1;
constexpr int BP_RADIOBUTTON = 2;
constexpr int BP_CHECKBOX = 3;

// A side of a state picture: round(ASize x AScale) pixels, none for a size
// that is not a number or not positive.
int ScaledPictureSide(int ASize, float AScale)
{
    const double side = double(ASize) * double(AScale);
    return side > 0 ? RoundToInt(side) : 0;
}

} // namespace

// ---- the paint pipeline ----

void TLumCustomControl::SetUpGraphics(TLumGraphics& AGraphics)
{
    AGraphics.SetOptimizedHTMLDrawing(FOptimizedHTMLDrawing);
    TLumGraphicsContext* context = AGraphics.GetContext();
    context->SetSize(float(GetWidth()), float(GetHeight()));
    context->SetAntiAliasing(FAntiAliasing);
    context->SetShowAcceleratorChar(FShowAcceleratorChar);
    context->SetTextQuality(FTextQuality);
}

void TLumCustomControl::DrawControl()
{
    // unique_ptr frees the drawing objects however drawing ends.
    std::unique_ptr<TLumGraphics> graphics;
    if (FBufferedPainting) {
        graphics = TLumGraphics::CreateBitmapCanvas(GetWidth(), GetHeight(), FNativeCanvas, true);
        // A new bitmap is black: start from what the canvas shows (the
        // erased background), so what the steps leave unpainted looks as it
        // does without the buffer instead of turning black.
        const TRect bounds(0, 0, GetWidth(), GetHeight());
        graphics->GetCanvas()->CopyRect(bounds, GetCanvas(), bounds);
        graphics->BeginScene();
    } else {
        graphics = std::make_unique<TLumGraphics>(GetCanvas(), FNativeCanvas);
    }
    SetUpGraphics(*graphics);

    const TRectF rect = RectF(0, 0, float(GetWidth()), float(GetHeight()));
    bool defaultDraw = true;
    DoBeforeDraw(graphics.get(), rect, defaultDraw);
    if (defaultDraw) {
        DrawBackground(graphics.get(), rect);
        Draw(graphics.get(), rect);
        DoAfterDraw(graphics.get(), rect);
    }
    if (FBufferedPainting)
        graphics->EndScene();
    graphics->GetContext()->Render();

    if (FBufferedPainting) {
        TLumBitmap picture;
        picture.Assign(graphics->GetBitmap());
        TLumGraphics onCanvas(GetCanvas(), false);
        SetUpGraphics(onCanvas);
        onCanvas.DrawBitmap(rect, &picture, true, false, true, false);
    }
}

void TLumCustomControl::DrawBackground(TLumGraphics* AGraphics, TRectF ARect)
{
    AGraphics->SetFill(FFill.get());
    AGraphics->SetFillColor(GetColor());
    AGraphics->SetStroke(FStroke.get());
    AGraphics->DrawRectangle(ARect, gcrmShrinkAll);
}

// ---- state pictures ----

TColor TLumCustomControl::GetBitmapBackgroundColor()
{
    TColor color = 0;
    if (TLumGraphicsStyles::GetStyleBackgroundFillColorTo(color))
        return color;
    return TColor(0xFFFFFE);
}

void TLumCustomControl::DrawState(HDC ADC, const TRect& ARect, const TStatePicture& AState)
{
    RECT r = ARect;
    if (IsThemeActive() && HandleAllocated()) {
        const UINT dpi = UINT(std::max(1, RoundToInt(double(FResourceScaleFactor) * 96)));
        if (HTHEME theme = OpenThemeDataForDpi(GetHandle(), u"button", dpi)) {
            DrawThemeBackground(theme, ADC, AState.ThemePart, AState.ThemeState, &r, nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    DrawFrameControl(ADC, &r, DFC_BUTTON, AState.FrameFlags);
}

void TLumCustomControl::BuildStatePictures(const TStatePicture* ATable, std::size_t ACount, int AWidth, int AHeight)
{
    for (std::size_t i = 0; i < ACount; ++i)
        (this->*ATable[i].Picture).reset();

    const TColor background = GetBitmapBackgroundColor();
    TBitmap scratch;
    scratch.SetPixelFormat(pf24bit);
    scratch.SetSize(AWidth, AHeight);
    scratch.SetTransparent(true);
    scratch.SetTransparentMode(tmFixed);
    scratch.SetTransparentColor(background);
    const TRect bounds(0, 0, AWidth, AHeight);
    for (std::size_t i = 0; i < ACount; ++i) {
        TCanvas* canvas = scratch.GetCanvas();
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(background);
        canvas->FillRect(bounds);
        DrawState(canvas->GetHandle(), bounds, ATable[i]);
        auto picture = std::make_unique<TLumBitmap>();
        picture->Assign(&scratch);
        this->*ATable[i].Picture = std::move(picture);
    }
}

void TLumCustomControl::UpdateCheckBoxBitmaps()
{
    static constexpr TStatePicture table[] = {
        { &TLumCustomControl::FUnCheckedChk, BP_CHECKBOX, 1, DFCS_BUTTONCHECK },
        { &TLumCustomControl::FCheckedChk, BP_CHECKBOX, 5, DFCS_CHECKED },
        { &TLumCustomControl::FUnCheckedFocusChk, BP_CHECKBOX, 2, DFCS_HOT },
        { &TLumCustomControl::FCheckedFocusChk, BP_CHECKBOX, 6, DFCS_CHECKED | DFCS_HOT },
        { &TLumCustomControl::FUnCheckedDisabledChk, BP_CHECKBOX, 4, DFCS_INACTIVE },
        { &TLumCustomControl::FCheckedDisabledChk, BP_CHECKBOX, 8, DFCS_CHECKED | DFCS_INACTIVE },
    };
    const int side = ScaledPictureSide(16, FResourceScaleFactor);
    BuildStatePictures(table, std::size(table), side, side);
}

void TLumCustomControl::UpdateRadioButtonBitmaps()
{
    static constexpr TStatePicture table[] = {
        { &TLumCustomControl::FUnCheckedRd, BP_RADIOBUTTON, 1, DFCS_BUTTONRADIO },
        { &TLumCustomControl::FCheckedRd, BP_RADIOBUTTON, 5, DFCS_BUTTONRADIO | DFCS_CHECKED },
        { &TLumCustomControl::FUnCheckedFocusRd, BP_RADIOBUTTON, 2, DFCS_BUTTONRADIO | DFCS_HOT },
        { &TLumCustomControl::FCheckedFocusRd, BP_RADIOBUTTON, 6, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_HOT },
        { &TLumCustomControl::FUnCheckedDisabledRd, BP_RADIOBUTTON, 4, DFCS_BUTTONRADIO | DFCS_INACTIVE },
        { &TLumCustomControl::FCheckedDisabledRd, BP_RADIOBUTTON, 8,
            DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE },
    };
    const int side = ScaledPictureSide(16, FResourceScaleFactor);
    BuildStatePictures(table, std::size(table), side, side);
}

void TLumCustomControl::UpdateButtonBitmaps(int AWidth, int AHeight)
{
    static constexpr TStatePicture table[] = {
        { &TLumCustomControl::FNormalBtn, BP_PUSHBUTTON, 1, DFCS_BUTTONPUSH },
        { &TLumCustomControl::FDownBtn, BP_PUSHBUTTON, 3, DFCS_BUTTONPUSH | DFCS_PUSHED },
        { &TLumCustomControl::FNormalFocusBtn, BP_PUSHBUTTON, 2, DFCS_BUTTONPUSH | DFCS_HOT },
        { &TLumCustomControl::FDownFocusBtn, BP_PUSHBUTTON, 3, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_HOT },
        { &TLumCustomControl::FNormalDisabledBtn, BP_PUSHBUTTON, 4, DFCS_BUTTONPUSH | DFCS_INACTIVE },
    };
    FButtonBitmapSize = { ScaledPictureSide(AWidth, FResourceScaleFactor),
        ScaledPictureSide(AHeight, FResourceScaleFactor) };
    BuildStatePictures(table, std::size(table), FButtonBitmapSize.cx, FButtonBitmapSize.cy);
}

TPicture* TLumCustomControl::GetCheckedStatePicture(std::unique_ptr<TLumBitmap>* const (&APictures)[6],
    void (TLumCustomControl::*AUpdate)(), bool AChecked, bool AFocused, bool AEnabled)
{
    for (auto* picture : APictures)
        if (!*picture) {
            (this->*AUpdate)();
            break;
        }
    const int pair = !AEnabled ? 2 : AFocused ? 1 : 0;
    return APictures[pair * 2 + (AChecked ? 1 : 0)]->get();
}

TPicture* TLumCustomControl::GetCheckBoxBitmap(bool AChecked, bool AFocused, bool AEnabled)
{
    return GetCheckedStatePicture({ &FUnCheckedChk, &FCheckedChk, &FUnCheckedFocusChk, &FCheckedFocusChk,
                                      &FUnCheckedDisabledChk, &FCheckedDisabledChk },
        &TLumCustomControl::UpdateCheckBoxBitmaps, AChecked, AFocused, AEnabled);
}

TPicture* TLumCustomControl::GetRadioButtonBitmap(bool AChecked, bool AFocused, bool AEnabled)
{
    return GetCheckedStatePicture({ &FUnCheckedRd, &FCheckedRd, &FUnCheckedFocusRd, &FCheckedFocusRd,
                                      &FUnCheckedDisabledRd, &FCheckedDisabledRd },
        &TLumCustomControl::UpdateRadioButtonBitmaps, AChecked, AFocused, AEnabled);
}

TPicture* TLumCustomControl::GetButtonBitmap(int AWidth, int AHeight, bool ADown, bool AFocused, bool AEnabled)
{
    // Rebuilding on every call would free the picture an earlier call handed
    // out while its caller may still draw it.
    const TSize wanted { ScaledPictureSide(AWidth, FResourceScaleFactor),
        ScaledPictureSide(AHeight, FResourceScaleFactor) };
    if (!FDownBtn || !FNormalBtn || !FDownFocusBtn || !FNormalFocusBtn || !FNormalDisabledBtn
        || wanted.cx != FButtonBitmapSize.cx || wanted.cy != FButtonBitmapSize.cy)
        UpdateButtonBitmaps(AWidth, AHeight);
    if (!AEnabled)
        return FNormalDisabledBtn.get();
    if (ADown)
        return AFocused ? FDownFocusBtn.get() : FDownBtn.get();
    return AFocused ? FNormalFocusBtn.get() : FNormalBtn.get();
}

void TLumCustomControl::ClearStateBitmaps()
{
    for (auto* picture : { &FCheckedChk, &FUnCheckedChk, &FCheckedFocusChk, &FUnCheckedFocusChk,
             &FCheckedDisabledChk, &FUnCheckedDisabledChk, &FCheckedRd, &FUnCheckedRd, &FCheckedFocusRd,
             &FUnCheckedFocusRd, &FCheckedDisabledRd, &FUnCheckedDisabledRd, &FDownBtn, &FNormalBtn,
             &FDownFocusBtn, &FNormalFocusBtn, &FNormalDisabledBtn })
        picture->reset();
}

void TLumCustomControl::CreateWnd()
{
    TLumCustomControlBase::CreateWnd();
    UpdateCheckBoxBitmaps();
    UpdateRadioButtonBitmaps();
}

void TLumCustomControl::ChangeDPIScale(int M, int D)
{
    TLumCustomControlBase::ChangeDPIScale(M, D);
    if (!IsLoading()) {
        UpdateCheckBoxBitmaps();
        UpdateRadioButtonBitmaps();
    }
}
