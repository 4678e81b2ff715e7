#include "grid/core/GridSettings.h"

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDataViews.h"
#include "grid/core/GridPublish.h"

#define GRID_PUBLISH_BOOL(N, V) QT_PROP(N),

QT_PUBLISHED(TColorSetting, QT_PROP_T(TextColor, u"TColor"), QT_PROP_T(BkgColor, u"TColor"))
QT_PUBLISHED(TAutoColor, QT_PROP(NegativeNumber), QT_PROP(PositiveNumber))
QT_PUBLISHED(TGridProgressAppearance, GRID_PROGRESS_PROPS(GRID_PUBLISH_PROP) QT_EVENT(OnChange))
QT_PUBLISHED(TBalloonSettings, QT_PROP(Enable), QT_PROP_T(TextColor, u"TColor"),
    QT_PROP_T(BackgroundColor, u"TColor"), QT_PROP(InitialDelay), QT_PROP(ReshowDelay), QT_PROP(AutoHideDelay),
    QT_PROP(ShowCell), QT_PROP(Transparency))
QT_PUBLISHED(TShowModified, QT_PROP(Enabled), QT_PROP_T(Color, u"TColor"))
QT_PUBLISHED(TDragScrollDelays, QT_PROP(InitialDelay), QT_PROP(RepeatDelay))
QT_PUBLISHED(TDragScrollMargins, QT_PROP(TopMargin), QT_PROP(BottomMargin), QT_PROP(LeftMargin), QT_PROP(RightMargin))
QT_PUBLISHED(TDragScrollOptions, QT_PROP(Active), QT_PROP(Delays), QT_PROP(Margins))
QT_PUBLISHED(THoverButtonsCollectionItem, QT_PROP(Caption), QT_PROP(Hint), QT_PROP(Enabled), QT_PROP(Flat),
    QT_PROP(ImageIndex), QT_PROP(Picture), QT_PROP(Tag), QT_PROP(Width))
QT_PUBLISHED(THoverButtonsCollection)
QT_PUBLISHED(THoverButtons, QT_PROP(Enabled), QT_PROP(Buttons), QT_PROP(Column), QT_PROP(Position), QT_PROP(Rows),
    QT_PROP(MoveActiveRow))
QT_PUBLISHED(TDragDropSettings, QT_PROP(OleDropTarget), QT_PROP(OleDropRTF),
    GRID_DRAGDROP_PLAIN(GRID_PUBLISH_BOOL))

// ---- TColorSetting / TAutoColor ----

void TColorSetting::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TColorSetting::SetTextColor(TColor Value)
{
    if (FTextColor == Value)
        return;
    FTextColor = Value;
    Changed();
}

void TColorSetting::SetBkgColor(TColor Value)
{
    if (FBkgColor == Value)
        return;
    FBkgColor = Value;
    Changed();
}

void TColorSetting::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TColorSetting*>(Source)) {
        FTextColor = S->FTextColor;
        FBkgColor = S->FBkgColor;
    }
}

TAutoColor::TAutoColor()
    : FNegativeNumber(std::make_unique<TColorSetting>())
    , FPositiveNumber(std::make_unique<TColorSetting>())
{
    FNegativeNumber->OnChange = [this](TObject*) { Changed(); };
    FPositiveNumber->OnChange = [this](TObject*) { Changed(); };
}

TAutoColor::~TAutoColor() = default;

void TAutoColor::Changed()
{
    if (OnChange)
        OnChange(this);
}

bool TAutoColor::HasColors() const
{
    for (const TColorSetting* S : { FNegativeNumber.get(), FPositiveNumber.get() })
        if (S->GetTextColor() != clNone || S->GetBkgColor() != clNone)
            return true;
    return false;
}

void TAutoColor::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TAutoColor*>(Source)) {
        FNegativeNumber->Assign(S->FNegativeNumber.get());
        FPositiveNumber->Assign(S->FPositiveNumber.get());
    }
}

// ---- TGridProgressAppearance ----

void TGridProgressAppearance::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGridProgressAppearance::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TGridProgressAppearance*>(Source);
    if (!S)
        return;
#define GRID_PROGRESS_COPY(T, N, V) F##N = S->F##N;
    GRID_PROGRESS_PROPS(GRID_PROGRESS_COPY)
    GRID_PROGRESS_PUBLIC(GRID_PROGRESS_COPY)
#undef GRID_PROGRESS_COPY
    Changed();
}

// ---- TBalloonSettings ----

void TBalloonSettings::SetEnable(bool Value)
{
    if (FEnable == Value)
        return;
    FEnable = Value;
    if (OnEnableChange)
        OnEnableChange(this);
}

void TBalloonSettings::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TBalloonSettings*>(Source);
    if (!S)
        return;
    FTextColor = S->FTextColor;
    FBackgroundColor = S->FBackgroundColor;
    FInitialDelay = S->FInitialDelay;
    FAutoHideDelay = S->FAutoHideDelay;
    FReshowDelay = S->FReshowDelay;
    FEnable = S->FEnable;
    FShowCell = S->FShowCell;
}

// ---- TShowModified ----

void TShowModified::SetColor(TColor Value)
{
    FColor = Value;
    if (OnChange)
        OnChange(this);
}

void TShowModified::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TShowModified*>(Source)) {
        FColor = S->FColor;
        FEnabled = S->FEnabled;
    }
}

// ---- TDragScrollOptions ----

void TDragScrollDelays::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TDragScrollDelays*>(Source)) {
        FInitialDelay = S->FInitialDelay;
        FRepeatDelay = S->FRepeatDelay;
    }
}

void TDragScrollMargins::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TDragScrollMargins*>(Source)) {
        FTopMargin = S->FTopMargin;
        FBottomMargin = S->FBottomMargin;
        FLeftMargin = S->FLeftMargin;
        FRightMargin = S->FRightMargin;
    }
}

TDragScrollOptions::TDragScrollOptions()
    : FDelays(std::make_unique<TDragScrollDelays>())
    , FMargins(std::make_unique<TDragScrollMargins>())
{
}

TDragScrollOptions::~TDragScrollOptions() = default;

void TDragScrollOptions::Assign(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TDragScrollOptions*>(Source)) {
        FMargins->Assign(S->FMargins.get());
        FDelays->Assign(S->FDelays.get());
        FActive = S->FActive;
    }
}

// ---- THoverButtons ----

THoverButtonsCollectionItem::THoverButtonsCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection)
    , FPicture(std::make_unique<TPicture>())
{
}

THoverButtonsCollectionItem::~THoverButtonsCollectionItem() = default;

void THoverButtonsCollectionItem::SetPicture(TPicture* Value)
{
    FPicture->Assign(Value);
    Changed(false);
}

void THoverButtonsCollectionItem::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<THoverButtonsCollectionItem*>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    FTag = S->FTag;
    SetFlat(S->FFlat);
    SetEnabled(S->FEnabled);
    SetCaption(S->FCaption);
    SetHint(S->FHint);
    SetPicture(S->FPicture.get());
    FWidth = S->FWidth;
}

THoverButtons::THoverButtons(TPersistent* AOwner)
    : FOwner(AOwner)
    , FButtons(std::make_unique<THoverButtonsCollection>(this))
{
}

THoverButtons::~THoverButtons() = default;

void THoverButtons::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<THoverButtons*>(Source);
    if (!S)
        return;
    FEnabled = S->FEnabled;
    FButtons->Assign(S->FButtons.get());
    FColumn = S->FColumn;
    FPosition = S->FPosition;
    FRows = S->FRows;
    FMoveActiveRow = S->FMoveActiveRow;
}

// ---- TDragDropSettings ----

namespace {

bool RTFDrop = false;

} // namespace

void EnableRTFDrop(bool Value) { RTFDrop = Value; }
bool RTFDropEnabled() { return RTFDrop; }

void TDragDropSettings::SetOleDropTarget(bool Value)
{
    if (FOleDropTarget == Value)
        return;
    FOleDropTarget = Value;
    if (!FOwner || FOwner->GetComponentState().Contains(csDesigning))
        return;
    if (Value)
        FOwner->FOleDropTargetAssigned = FOwner->DataViews().RegisterDropTarget();
    else if (FOwner->FOleDropTargetAssigned)
        FOwner->DataViews().RevokeDropTarget();
}

void TDragDropSettings::SetOleDropRTF(bool Value)
{
    FOleDropRTF = Value;
    EnableRTFDrop(Value);
}

void TDragDropSettings::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TDragDropSettings*>(Source);
    if (!S)
        return;
#define GRID_DRAGDROP_COPY(N, V) F##N = S->F##N;
    GRID_DRAGDROP_PLAIN(GRID_DRAGDROP_COPY)
#undef GRID_DRAGDROP_COPY
    FOleColumnPicker = S->FOleColumnPicker;
    SetOleDropRTF(S->FOleDropRTF);
    SetOleDropTarget(S->FOleDropTarget);
}
