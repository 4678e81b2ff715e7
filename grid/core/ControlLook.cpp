#include "grid/core/ControlLook.h"

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPublish.h"

#define GRID_LOOK_PUBLISH_COLOR(N, V) QT_PROP_T(N, u"TColor"),

QT_PUBLISHED(TControlLook, GRID_CONTROLLOOK_PLAIN(GRID_PUBLISH_PROP) GRID_CONTROLLOOK_REPAINT(GRID_PUBLISH_PROP)
        GRID_CONTROLLOOK_ONCHANGE(GRID_PUBLISH_PROP) GRID_CONTROLLOOK_GRADIENTS(GRID_LOOK_PUBLISH_COLOR)
            QT_PROP(CheckSize),
    QT_PROP(ProgressHeight), QT_PROP(CheckedGlyph), QT_PROP(GrayedGlyph), QT_PROP(UnCheckedGlyph),
    QT_PROP(RadioOnGlyph), QT_PROP(RadioOffGlyph), QT_PROP(DropDownHeader), QT_PROP(DropDownFooter))

TControlLook::TControlLook(TDedOzovedUrad* AOwner)
    : FGrid(AOwner)
    , FCheckedGlyph(std::make_unique<TBitmap>())
    , FGrayedGlyph(std::make_unique<TBitmap>())
    , FUnCheckedGlyph(std::make_unique<TBitmap>())
    , FRadioOnGlyph(std::make_unique<TBitmap>())
    , FRadioOffGlyph(std::make_unique<TBitmap>())
    , FDropDownHeader(std::make_unique<THeaderAppearance>(AOwner))
    , FDropDownFooter(std::make_unique<TFooterAppearance>(AOwner))
{
    Init();
}

TControlLook::~TControlLook() = default;

void TControlLook::Init()
{
    FColor = TColor(0);
    FCommentColor = TColor(0x0000FF);
    FProgressBorderColor = TColor(0x808080);
#define GRID_LOOK_RESET(N, V) F##N = V;
    GRID_CONTROLLOOK_GRADIENTS(GRID_LOOK_RESET)
#undef GRID_LOOK_RESET
}

void TControlLook::InvalidateGrid()
{
    if (FGrid)
        FGrid->Invalidate();
}

void TControlLook::SetGlyph(TBitmap& Glyph, TBitmap* Value)
{
    Glyph.Assign(Value);
    InvalidateGrid();
}

void TControlLook::SetProgressHeight(int Value)
{
    if (Value < 0)
        return;
    FProgressHeight = Value;
    InvalidateGrid();
}

// A gradient colour goes into the grid's copy, which the fixed-cell painter
// reads. The main colours of a state pass only when set; mirror colours
// always pass, so clearing one also clears the painted mirror half.
#define GRID_LOOK_GRADIENT_SETTER(N, GridField, Always)   \
    void TControlLook::Set##N(TColor v)                   \
    {                                                     \
        F##N = v;                                         \
        if (FGrid && ((Always) || v != clNone))           \
            FGrid->GridField = v;                         \
    }
GRID_LOOK_GRADIENT_SETTER(FixedGradientFrom, FLumGradFrom, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientTo, FLumGradTo, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientMirrorFrom, FLumGradMirrorFrom, true)
GRID_LOOK_GRADIENT_SETTER(FixedGradientMirrorTo, FLumGradMirrorTo, true)
GRID_LOOK_GRADIENT_SETTER(FixedGradientHoverFrom, FLumGradHoverFrom, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientHoverTo, FLumGradHoverTo, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientHoverMirrorFrom, FLumGradHoverMirrorFrom, true)
GRID_LOOK_GRADIENT_SETTER(FixedGradientHoverMirrorTo, FLumGradHoverMirrorTo, true)
GRID_LOOK_GRADIENT_SETTER(FixedGradientHoverBorder, FLumGradHoverBorder, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientDownFrom, FLumGradDownFrom, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientDownTo, FLumGradDownTo, false)
GRID_LOOK_GRADIENT_SETTER(FixedGradientDownMirrorFrom, FLumGradDownMirrorFrom, true)
GRID_LOOK_GRADIENT_SETTER(FixedGradientDownMirrorTo, FLumGradDownMirrorTo, true)
GRID_LOOK_GRADIENT_SETTER(FixedGradientDownBorder, FLumGradDownBorder, false)
#undef GRID_LOOK_GRADIENT_SETTER

void TControlLook::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TControlLook*>(Source);
    if (!S)
        return;
    FButtonPrefix = S->FButtonPrefix;
    FCheckSize = S->GetCheckSize();
    FRadioSize = S->FRadioSize;
    FControlStyle = S->FControlStyle;
    FCheckedGlyph->Assign(S->FCheckedGlyph.get());
    FGrayedGlyph->Assign(S->FGrayedGlyph.get());
    FUnCheckedGlyph->Assign(S->FUnCheckedGlyph.get());
    FRadioOnGlyph->Assign(S->FRadioOnGlyph.get());
    FRadioOffGlyph->Assign(S->FRadioOffGlyph.get());
    FProgressMarginX = S->FProgressMarginX;
    FProgressMarginY = S->FProgressMarginY;
    FProgressHeight = S->FProgressHeight;
    FProgressBorderColor = S->FProgressBorderColor;
    FProgressXP = S->FProgressXP;
    FCommentColor = S->FCommentColor;
    FColor = S->FColor;
    FCheckAlwaysActive = S->FCheckAlwaysActive;
    FRadioAlwaysActive = S->FRadioAlwaysActive;
    // Each gradient colour lands on the property of the same name.
#define GRID_LOOK_COPY(N, V) F##N = S->F##N;
    GRID_CONTROLLOOK_GRADIENTS(GRID_LOOK_COPY)
#undef GRID_LOOK_COPY
    FDropDownAlwaysVisible = S->FDropDownAlwaysVisible;
    FSpinButtonsAlwaysVisible = S->FSpinButtonsAlwaysVisible;
    FDropDownCount = S->FDropDownCount;
    FDropDownFooter->Assign(S->FDropDownFooter.get());
    FDropDownHeader->Assign(S->FDropDownHeader.get());
    FHintMaxWidth = S->FHintMaxWidth;
    FDropDownButtonWidth = S->FDropDownButtonWidth;
    FRadioRange = S->FRadioRange;
}
