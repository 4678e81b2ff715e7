#pragma once
// The look of the controls the grid draws inside cells (check boxes, radio
// buttons, buttons, editor drop-down and spin buttons, progress bars, comment
// marks), the header and footer of its drop-down editors, and the gradient
// colours of fixed cells in their normal, hovered and pressed states.
//
// The fixed-cell painter reads the grid's own copy of the fourteen gradient
// colours; the gradient setters here pass values on to that copy.

#include <memory>

#include "grid/core/LumDropDownAppearance.h"
#include "platform/vcl/Graphics.h"

class TDedOzovedUrad;

namespace RirEvoz {
// Drawing style of check boxes and radio buttons.
enum TControlStyle { csClassic, csFlat, csWinXP, csKestrel, csZID, csGlyph, csTheme };
QT_ENUM(TControlStyle, csClassic, csFlat, csWinXP, csKestrel, csZID, csGlyph, csTheme)
} // namespace RirEvoz

// The grid's look presets.
enum TGridLook { glStandard, glSoft, glClassic, glZID, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
QT_ENUM(TGridLook, glStandard, glSoft, glClassic, glZID, glXP, glListView, glVista, glWin7, glOffice2007, glCustom)

// Plain fields: stored without a repaint.
#define GRID_CONTROLLOOK_PLAIN(X)                                                                   \
    X(bool, ButtonPrefix, false) X(bool, CheckAlwaysActive, false) X(bool, RadioAlwaysActive, false) \
    X(bool, FixedDropDownButton, false) X(int, DropDownCount, 8) X(int, HintMaxWidth, 0)             \
    X(TColor, ProgressBorderColor, TColor(0x808080))
// Stored and repainted on every write.
#define GRID_CONTROLLOOK_REPAINT(X)                                                               \
    X(TColor, Color, TColor(0)) X(TColor, CommentColor, TColor(0x0000FF)) X(int, RadioSize, 10)    \
    X(bool, FlatButton, false) X(bool, NoDisabledCheckRadioLook, false)                            \
    X(bool, NoDisabledButtonLook, false) X(bool, SpinButtonsAlwaysVisible, false)                  \
    X(int, ProgressMarginX, 2) X(int, ProgressMarginY, 2) X(bool, ProgressXP, false)
// Stored and repainted when the value changes.
#define GRID_CONTROLLOOK_ONCHANGE(X)                                                              \
    X(RirEvoz::TControlStyle, ControlStyle, RirEvoz::csTheme) X(bool, DropDownAlwaysVisible, false) \
    X(int, DropDownButtonWidth, 16) X(bool, RadioRange, false)
// The fourteen fixed-cell gradient colours with their initial values.
#define GRID_CONTROLLOOK_GRADIENTS(X)                                                             \
    X(FixedGradientFrom, clNone) X(FixedGradientTo, clNone)                                       \
    X(FixedGradientMirrorFrom, clNone) X(FixedGradientMirrorTo, clNone)                           \
    X(FixedGradientHoverFrom, TColor(0xFFFFFF)) X(FixedGradientHoverTo, TColor(0x808080))         \
    X(FixedGradientHoverMirrorFrom, clNone) X(FixedGradientHoverMirrorTo, clNone)                 \
    X(FixedGradientHoverBorder, TColor(0xC0C0C0))                                                 \
    X(FixedGradientDownFrom, TColor(0xC0C0C0)) X(FixedGradientDownTo, TColor(0x808080))           \
    X(FixedGradientDownMirrorFrom, clNone) X(FixedGradientDownMirrorTo, clNone)                   \
    X(FixedGradientDownBorder, TColor(0x808080))

class TControlLook : public TPersistent {
    QT_CLASS(TControlLook, TPersistent)

#define GRID_LOOK_PLAIN_FIELD(T, N, V)             \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v) { F##N = v; }                 \
                                                   \
private:                                           \
    T F##N { V };
#define GRID_LOOK_REPAINT_FIELD(T, N, V)           \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v)                               \
    {                                              \
        F##N = v;                                  \
        InvalidateGrid();                          \
    }                                              \
                                                   \
private:                                           \
    T F##N { V };
#define GRID_LOOK_ONCHANGE_FIELD(T, N, V)          \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v)                               \
    {                                              \
        if (F##N == v)                             \
            return;                                \
        F##N = v;                                  \
        InvalidateGrid();                          \
    }                                              \
                                                   \
private:                                           \
    T F##N { V };
#define GRID_LOOK_GRADIENT_FIELD(N, V)             \
public:                                            \
    TColor Get##N() const { return F##N; }         \
    void Set##N(TColor v);                         \
                                                   \
private:                                           \
    TColor F##N { V };

    GRID_CONTROLLOOK_PLAIN(GRID_LOOK_PLAIN_FIELD)
    GRID_CONTROLLOOK_REPAINT(GRID_LOOK_REPAINT_FIELD)
    GRID_CONTROLLOOK_ONCHANGE(GRID_LOOK_ONCHANGE_FIELD)
    GRID_CONTROLLOOK_GRADIENTS(GRID_LOOK_GRADIENT_FIELD)

#undef GRID_LOOK_PLAIN_FIELD
#undef GRID_LOOK_REPAINT_FIELD
#undef GRID_LOOK_ONCHANGE_FIELD
#undef GRID_LOOK_GRADIENT_FIELD

public:
    // The header and footer appearances are owned by the grid as component
    // owner, as every drop-down's are.
    explicit TControlLook(TDedOzovedUrad* AOwner = nullptr);
    ~TControlLook() override;

    // Resets the colours and the fourteen gradient colours to their initial
    // values without telling the grid.
    void Init();
    // Everything but FlatButton, the two no-disabled-look switches and
    // FixedDropDownButton; the grid's gradient copy is left alone.
    void Assign(TPersistent* Source) override;

    // 16 while ControlStyle is csZID, whatever is stored.
    int GetCheckSize() const { return FControlStyle == RirEvoz::csZID ? 16 : FCheckSize; }
    void SetCheckSize(int Value)
    {
        FCheckSize = Value;
        InvalidateGrid();
    }
    int GetProgressHeight() const { return FProgressHeight; }
    // 0: the cell height less the margins; negative values are refused.
    void SetProgressHeight(int Value);

    // Check box and radio glyphs of the glyph style; the setters copy.
    TBitmap* GetCheckedGlyph() const { return FCheckedGlyph.get(); }
    void SetCheckedGlyph(TBitmap* Value) { SetGlyph(*FCheckedGlyph, Value); }
    TBitmap* GetGrayedGlyph() const { return FGrayedGlyph.get(); }
    void SetGrayedGlyph(TBitmap* Value) { SetGlyph(*FGrayedGlyph, Value); }
    TBitmap* GetUnCheckedGlyph() const { return FUnCheckedGlyph.get(); }
    void SetUnCheckedGlyph(TBitmap* Value) { SetGlyph(*FUnCheckedGlyph, Value); }
    TBitmap* GetRadioOnGlyph() const { return FRadioOnGlyph.get(); }
    void SetRadioOnGlyph(TBitmap* Value) { SetGlyph(*FRadioOnGlyph, Value); }
    TBitmap* GetRadioOffGlyph() const { return FRadioOffGlyph.get(); }
    void SetRadioOffGlyph(TBitmap* Value) { SetGlyph(*FRadioOffGlyph, Value); }

    // Copied into the drop-down editors the grid shows; the setters copy.
    THeaderAppearance* GetDropDownHeader() const { return FDropDownHeader.get(); }
    void SetDropDownHeader(THeaderAppearance* Value) { FDropDownHeader->Assign(Value); }
    TFooterAppearance* GetDropDownFooter() const { return FDropDownFooter.get(); }
    void SetDropDownFooter(TFooterAppearance* Value) { FDropDownFooter->Assign(Value); }

    TDedOzovedUrad* GetGrid() const { return FGrid; }

private:
    void InvalidateGrid();
    void SetGlyph(TBitmap& Glyph, TBitmap* Value);

    TDedOzovedUrad* FGrid { nullptr };
    int FCheckSize { 15 };
    int FProgressHeight { 0 };
    std::unique_ptr<TBitmap> FCheckedGlyph;
    std::unique_ptr<TBitmap> FGrayedGlyph;
    std::unique_ptr<TBitmap> FUnCheckedGlyph;
    std::unique_ptr<TBitmap> FRadioOnGlyph;
    std::unique_ptr<TBitmap> FRadioOffGlyph;
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
};
