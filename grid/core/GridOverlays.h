#pragma once
// Windows the grid shows outside its own client area: the soft focus glow
// around the focused cell (a layered pop-up fed with a blurred, premultiplied
// picture) and the four arrows that mark where a dragged column or row will
// land. Also the bitmap routines that make the glow's picture.

#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Graphics.h"

// The disabled, topmost tool pop-up that carries the glow's pixels.
class TGridFocusWindow : public TCustomControl {
    QT_CLASS(TGridFocusWindow, TCustomControl)
public:
    explicit TGridFocusWindow(TComponent* AOwner = nullptr);

    // Shows the glow around a cell given in screen coordinates, without
    // taking the activation.
    void ShowAround(const TRect& CellOnScreen);
    void HideGlow();

protected:
    void CreateParams(TCreateParams& Params) override;
};

// A 32-bit picture with straight opacity kept apart; MergeMask turns a
// grey mask and a colour picture into premultiplied pixels.
class TGridAlphaMask : public TBitmap {
    QT_CLASS(TGridAlphaMask, TBitmap)
public:
    TGridAlphaMask();
    void Assign(TPersistent* Source) override;
    // Alpha from the mask's red channel, colours from Bitmap, premultiplied.
    // Nothing happens unless both are 24-bit pictures of the same size.
    void MergeMask(TBitmap* Mask, TBitmap* Bitmap, TColor Color);

    Byte Opacity { 255 };
};

enum TArrowDirection { arrUp, arrDown, arrLeft, arrRight };
QT_ENUM(TArrowDirection, arrUp, arrDown, arrLeft, arrRight)

// A small arrow-shaped pop-up (a 10 x 10 polygon region) in one colour.
class TArrowWindow : public TPanel {
    QT_CLASS(TArrowWindow, TPanel)
public:
    explicit TArrowWindow(TComponent* AOwner = nullptr);
    void Init(TWinControl* AOwner, TArrowDirection Direction);
    TArrowDirection GetDir() const { return FDir; }
    // The seven corners of the arrow for a direction.
    static void ArrowPoints(TArrowDirection Direction, POINT (&Points)[7]);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;

private:
    TArrowDirection FDir { arrUp };
};

namespace VuzUdo {

// A black 24-bit picture with a white rounded frame, blurred by Radius.
void MakeGlowMask(TBitmap* Bitmap, int Width, int Height, int Radius, int Roundness, int PenWidth);
// A separable Gaussian blur of a 24-bit picture for frame-like pictures:
// rows and columns more than 20 pixels inside repeat row and column 15.
// A radius of 0 or less leaves the picture alone.
void GaussianBlur(TBitmap* Bitmap, int Radius);

// The blur's kernel: its reach (1..10) and weights for offsets -10..10.
struct TGaussianKernel {
    int Size { 0 };
    float Weights[21] {};
};
TGaussianKernel MakeGaussianKernel(int Radius);

} // namespace VuzUdo

namespace VuzEraz {

// The layered-window calls the glow needs; the picture is a premultiplied
// 32-bit bitmap.
bool DynUpdateLayeredWindow(HWND Window, const POINT* Position, const SIZE* Size, TBitmap* Image, BYTE Alpha);
bool DynSetLayeredWindowAttributes(HWND Window, COLORREF Key, BYTE Alpha, DWORD Flags);

} // namespace VuzEraz
