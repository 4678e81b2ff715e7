#pragma once
// Painters of special cell contents, on screen and on paper: progress bars
// with one or more levels, pie indicators, centred value bars, shapes, the
// zigzag that marks wrong text, resource and alpha bitmaps, and pictures
// given by file name. They keep no state and leave the canvas's pen, brush
// and font as they set them. Painting never raises: empty or inverted
// ranges draw empty bars and a bad format shows the plain value.

#include "platform/vcl/Edits.h"
#include "platform/vcl/Graphics.h"

namespace VuzEraz {

enum TCellShape {
    csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp, csTriangleDown, csDiamond, csLineVert,
    csLineHorz, csRoundRect, csEllips, csSquare, csRoundSquare, csStar, csArrowUp, csArrowDown, csArrowLeft,
    csArrowRight, csHalfStar
};
QT_ENUM(TCellShape, csRectangle, csCircle, csTriangleLeft, csTriangleRight, csTriangleUp, csTriangleDown, csDiamond,
    csLineVert, csLineHorz, csRoundRect, csEllips, csSquare, csRoundSquare, csStar, csArrowUp, csArrowDown,
    csArrowLeft, csArrowRight, csHalfStar)

// What a multi-level progress bar looks like; the grid fills it from its
// progress appearance settings.
struct TMultiLevelProgressAppearance {
    TColor Level0Color { clNone }, Level0ColorTo { clNone };
    TColor Level1Color { clNone }, Level1ColorTo { clNone };
    TColor Level2Color { clNone }, Level2ColorTo { clNone };
    TColor Level3Color { clNone }, Level3ColorTo { clNone };
    int Level1Perc { 70 };
    int Level2Perc { 90 };
    TColor BorderColor { TColor(0) };
    bool ShowBorder { false };
    bool Stacked { false };
    bool ShowPercentage { true };
    TFont* Font { nullptr }; // not owned; the canvas's font when none
    TColor FontColor { TColor(0) };
    bool CompletionSmooth { true };
    bool ShowGradient { true };
    int Steps { 11 };
    TColor BackgroundColor { TColor(0xFFFFFF) };
    bool Vertical { false };
};

void DrawProgressBarCell(TCanvas* Canvas, TRect Rect, TColor Color, TColor FontColor, TColor ColorTo,
    TColor FontColorTo, double Value, int MarginX, int MarginY, double Min, double Max, double Divisor,
    const String& Format, TColor BorderColor, bool Print);
void DrawMultiLevelProgress(TCanvas* Canvas, TRect Rect, int Percent, const TMultiLevelProgressAppearance& Appearance);
void DrawPieIndicator(TCanvas* Canvas, TRect Rect, TColor FillColor, int Percent, bool Print);
void DrawCenteredValueBar(TCanvas* Canvas, TRect Rect, int Value, int Max, bool ShowValue, TColor NegativeColor,
    TColor PositiveColor);
void DrawCellShape(TCanvas* Canvas, int Left, int Top, int Width, int Height, int Shape, TColor BrushColor,
    TColor PenColor);
// A red zigzag under characters Start .. Start + Length - 1 (0-based) of a
// text shown in Rect. `Meter` is a hidden single-line edit the caller keeps
// for measuring character positions; it is moved to Rect and given Text.
void DrawErrorUnderline(TCustomEdit* Meter, TCanvas* Canvas, const String& Text, TRect Rect, int Offset, int Start,
    int Length);
void DrawAlphaBitmap(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap);
void DrawResourceBitmap(TCanvas* Canvas, TColor Color, TRect Rect, const String& ResName, double Scale);
void DrawBitmapScaled(TCanvas* Canvas, TBitmap* Bitmap, TColor Color, TRect Rect, double Scale);

// The percentage and text a progress cell shows (steps 2 and 3 of its paint).
void ProgressBarText(double Value, double Min, double Max, double Divisor, const String& Format, String& Text,
    int& Percent);

} // namespace VuzEraz

// A picture given by file name: loaded only to learn its size and to draw.
class TFilePicture : public TPersistent {
    QT_CLASS(TFilePicture, TPersistent)
public:
    const String& GetFilename() const { return FFilename; }
    // Loads the file, when there is one, to learn its size.
    void SetFilename(const String& v);
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void DrawPicture(TCanvas* Canvas, const TRect& R);
    void Assign(TPersistent* Source) override;

private:
    String FFilename;
    int FWidth { 0 };
    int FHeight { 0 };
};
