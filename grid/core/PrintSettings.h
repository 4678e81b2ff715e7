#pragma once
// The grid's print settings (PrintSettings): where the page header and
// footer put the date, time, page number and title, the fonts, borders,
// margins and spacings (0.1 mm), and how the print fits the page. Printing
// reads them; the grid stores them in an ini section and reads them back.

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Printers.h"

// The fill picture's placement shares these value names, so the grid's
// print positions live in the grid unit's namespace.
namespace DedOzovedUrad {
enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
QT_ENUM(TPrintPosition, ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter)
} // namespace DedOzovedUrad
using DedOzovedUrad::TPrintPosition;
enum TPrintBorders {
    pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal, pbCustom
};
QT_ENUM(TPrintBorders, pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical,
    pbAroundHorizontal, pbCustom)
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };
QT_ENUM(TFitToPage, fpNever, fpGrow, fpShrink, fpAlways, fpCustom)

// Published plain fields, in their declaration order.
#define GRID_PRINT_PROPS(X)                                                                                     \
    X(TPrintPosition, Time, DedOzovedUrad::ppNone) X(TPrintPosition, Date, DedOzovedUrad::ppNone)              \
    X(TPrintPosition, PageNr, DedOzovedUrad::ppNone) X(String, PageNumSep, u"/")                              \
    X(String, DateFormat, u"dd/mm/yyyy") X(TPrintPosition, Title, DedOzovedUrad::ppNone)                      \
    X(TPrintBorders, Borders, pbSingle) X(TPenStyle, BorderStyle, psSolid) X(String, TitleText, String())     \
    X(bool, Centered, true) X(bool, RepeatFixedRows, false) X(bool, RepeatFixedCols, false)                   \
    X(int, FooterSize, 0) X(int, HeaderSize, 0) X(int, LeftSize, 0) X(int, RightSize, 0)                      \
    X(int, ColumnSpacing, 0) X(int, RowSpacing, 0) X(int, TitleSpacing, 0)                                    \
    X(TPrinterOrientation, Orientation, poPortrait) X(String, PagePrefix, String())                           \
    X(String, PageSuffix, String()) X(int, FixedHeight, 0) X(bool, UseFixedHeight, false)                     \
    X(int, FixedWidth, 0) X(bool, UseFixedWidth, false) X(TFitToPage, FitToPage, fpNever)                     \
    X(bool, NoAutoSize, false) X(bool, PrintGraphics, false) X(String, JobName, String())                     \
    X(bool, NoAutoSizeRow, false) X(int, PageNumberOffset, 0) X(int, MaxPagesOffset, 0)                       \
    X(bool, UseDisplayFont, true) X(bool, UseDefaultOrientation, false) X(TColor, BorderColor, TColor(0))
// Public, not published.
#define GRID_PRINT_PUBLIC_PROPS(X)                                                                              \
    X(bool, FixedCellsAlways, false) X(bool, PrintComments, true) X(bool, ScaleHeader, true)                  \
    X(bool, ScaleFooter, true)

class TPrintSettings : public TPersistent {
    QT_CLASS(TPrintSettings, TPersistent)

#define GRID_PRINT_FIELD(T, N, V)                  \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v) { F##N = v; }                 \
                                                   \
private:                                           \
    T F##N { V };
    GRID_PRINT_PROPS(GRID_PRINT_FIELD)
    GRID_PRINT_PUBLIC_PROPS(GRID_PRINT_FIELD)
#undef GRID_PRINT_FIELD

public:
    explicit TPrintSettings(TPersistent* AOwner = nullptr);
    ~TPrintSettings() override;
    // From another TPrintSettings only (any other source raises
    // EInvalidCast): every published setting, fonts and title lines by
    // content, and PrintComments; FixedCellsAlways, ScaleHeader and
    // ScaleFooter stay.
    void Assign(TPersistent* Source) override;

    // The setters copy the font's content; nullptr changes nothing.
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { CopyFont(*FFont, Value); }
    TFont* GetFixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(TFont* Value) { CopyFont(*FFixedFont, Value); }
    TFont* GetHeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(TFont* Value) { CopyFont(*FHeaderFont, Value); }
    TFont* GetFooterFont() const { return FFooterFont.get(); }
    void SetFooterFont(TFont* Value) { CopyFont(*FFooterFont, Value); }
    // The setter copies the lines.
    TStringList* GetTitleLines() const { return FTitleLines.get(); }
    void SetTitleLines(TStrings* Value);
    TPersistent* GetOwner() const { return FOwner; }

private:
    static void CopyFont(TFont& Target, TFont* Source)
    {
        if (Source)
            Target.Assign(Source);
    }

    TPersistent* FOwner { nullptr };
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FHeaderFont;
    std::unique_ptr<TFont> FFooterFont;
    std::unique_ptr<TStringList> FTitleLines;
    std::unique_ptr<TFont> FFixedFont;
};
