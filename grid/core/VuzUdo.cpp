#include "grid/core/VuzUdo.h"

#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Grids.h"

#define VUZ_PUBLISH(T, N, V) QT_PROP(N),
#define VUZ_COPY(T, N, V) F##N = s->F##N;

QT_PUBLISHED(TNavigation, VUZ_NAVIGATION_PLAIN(VUZ_PUBLISH) QT_PROP(AdvanceDirection), QT_PROP(AdvanceInsert),
    QT_PROP(AdvanceAuto))
QT_PUBLISHED(TMouseActions, VUZ_MOUSEACTIONS_PLAIN(VUZ_PUBLISH) QT_PROP(WheelAction), QT_PROP(HotmailRowSelect),
    QT_PROP(EditOnDblClickOnly), QT_PROP(DisjunctRowSelect), QT_PROP(DisjunctColSelect), QT_PROP(DisjunctCellSelect),
    QT_PROP(FixedComboValues))
QT_PUBLISHED(TSearchFooter, QT_PROP(AlwaysHighLight), QT_PROP(AutoSearch), QT_PROP_T(Color, u"TColor"),
    QT_PROP_T(ColorTo, u"TColor"), QT_PROP(FindNextCaption), QT_PROP(FindPrevCaption), QT_PROP(Font), QT_PROP(HighLight),
    QT_PROP(HighLightCaption), QT_PROP(HintClose), QT_PROP(HintFindNext), QT_PROP(HintFindPrev), QT_PROP(HintHighlight),
    QT_PROP(IgnoreHTML), QT_PROP(IgnoreAccents), QT_PROP(MatchCaseCaption), QT_PROP(ResultFormat),
    QT_PROP(SearchActiveColumnOnly), QT_PROP(SearchColumn), QT_PROP(SearchMatchStart), QT_PROP(SearchFixedCells),
    QT_PROP(SearchHiddenRows), QT_PROP_T(SearchColor, u"TColor"), QT_PROP_T(SearchTextColor, u"TColor"),
    QT_PROP_T(SearchErrorColor, u"TColor"), QT_PROP_T(SearchErrorTextColor, u"TColor"), QT_PROP(SearchDirection),
    QT_PROP(SearchFromFocusCell), QT_PROP(SearchType), QT_PROP(ShowClose), QT_PROP(ShowFindNext), QT_PROP(ShowFindPrev),
    QT_PROP(ShowHighLight), QT_PROP(ShowResults), QT_PROP(ShowMatchCase), QT_PROP(Visible), QT_EVENT(OnChange))
QT_PUBLISHED(TBands, QT_PROP(Active), QT_PROP_T(PrimaryColor, u"TColor"), QT_PROP(PrimaryLength),
    QT_PROP_T(SecondaryColor, u"TColor"), QT_PROP(SecondaryLength), QT_PROP(Print), QT_EVENT(OnChange))
QT_PUBLISHED(TSyncGrid, QT_PROP(Grid), VUZ_SYNCGRID_PLAIN(VUZ_PUBLISH))
QT_PUBLISHED(TFocusHelper, QT_PROP(Enabled))

// ---- TNavigation ----

void TNavigation::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TNavigation::SetAdvanceDirection(TAdvanceDirection v)
{
    if (v == FAdvanceDirection)
        return;
    FAdvanceDirection = v;
    Changed();
}

void TNavigation::SetAdvanceInsert(bool v)
{
    if (v == FAdvanceInsert)
        return;
    FAdvanceInsert = v;
    Changed();
}

void TNavigation::SetAdvanceAuto(bool v)
{
    if (v == FAdvanceAuto)
        return;
    FAdvanceAuto = v;
    if (v)
        FAdvanceOnEnter = true;
}

void TNavigation::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TNavigation*>(Source);
    if (!s || s == this)
        return;
    const bool keepScroll = FKeepScrollOnSort;
    VUZ_NAVIGATION_PLAIN(VUZ_COPY)
    FKeepScrollOnSort = keepScroll;
    FAdvanceDirection = s->FAdvanceDirection;
    FAdvanceInsert = s->FAdvanceInsert;
    FAdvanceAuto = s->FAdvanceAuto;
}

// ---- TMouseActions ----

TMouseActions::TMouseActions() : FFixedComboValues(std::make_unique<TStringList>()) { }
TMouseActions::~TMouseActions() = default;

void TMouseActions::SetWheelAction(TWheelAction v)
{
    if (v == FWheelAction)
        return;
    FWheelAction = v;
    if (OnChange)
        OnChange(this);
}

void TMouseActions::SetHotmailRowSelect(bool v)
{
    FHotmailRowSelect = v;
    if (v) {
        FDisjunctRowSelect = true;
        FCheckAllCheck = true;
    }
    if (OnInvalidate)
        OnInvalidate(this);
}

void TMouseActions::SetEditOnDblClickOnly(bool v)
{
    FEditOnDblClickOnly = v;
    if (v && OnDisableEdit)
        OnDisableEdit(this);
}

bool TMouseActions::IsDesigning()
{
    bool designing = false;
    if (OnIsDesigning)
        OnIsDesigning(this, designing);
    return designing;
}

void TMouseActions::ClearOtherDisjunct(bool& keep)
{
    if (!keep || !IsDesigning())
        return;
    for (bool* f : { &FDisjunctRowSelect, &FDisjunctColSelect, &FDisjunctCellSelect })
        if (f != &keep)
            *f = false;
}

void TMouseActions::SetDisjunctRowSelect(bool v)
{
    FDisjunctRowSelect = v;
    ClearOtherDisjunct(FDisjunctRowSelect);
}

void TMouseActions::SetDisjunctColSelect(bool v)
{
    FDisjunctColSelect = v;
    ClearOtherDisjunct(FDisjunctColSelect);
}

void TMouseActions::SetDisjunctCellSelect(bool v)
{
    FDisjunctCellSelect = v;
    ClearOtherDisjunct(FDisjunctCellSelect);
}

void TMouseActions::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TMouseActions*>(Source);
    if (!s || s == this)
        return;
    const bool keepSizeFixedRow = FSizeFixedRow;
    VUZ_MOUSEACTIONS_PLAIN(VUZ_COPY)
    FSizeFixedRow = keepSizeFixedRow;
    FWheelAction = s->FWheelAction;
    FDisjunctRowSelect = s->FDisjunctRowSelect;
    FDisjunctColSelect = s->FDisjunctColSelect;
    FDisjunctCellSelect = s->FDisjunctCellSelect;
}

// ---- TSearchFooter ----

TSearchFooter::TSearchFooter(TPersistent* AOwner, bool InitDesign) : FOwner(AOwner), FFont(std::make_unique<TFont>())
{
    if (InitDesign) {
        FFindNextCaption = u"Find &next";
        FFindPrevCaption = u"Find &previous";
        FHighLightCaption = u"Highlight";
        FHintClose = u"Close";
        FHintFindNext = u"Find next occurrence";
        FHintFindPrev = u"Find previous occurrence";
        FHintHighlight = u"Highlight occurrences";
        FMatchCaseCaption = u"Match case";
    }
    FFont->OnChange = [this](TObject*) { Changed(); };
}

TSearchFooter::~TSearchFooter() = default;

void TSearchFooter::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSearchFooter::SetAutoSearch(bool v)
{
    FAutoSearch = v;
    FLastSearch.clear();
}

void TSearchFooter::SetFont(TFont* v)
{
    {
        auto notify = std::move(FFont->OnChange);
        FFont->OnChange = nullptr;
        FFont->Assign(v);
        FFont->OnChange = std::move(notify);
    }
    Changed();
}

void TSearchFooter::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSearchFooter*>(Source);
    if (!s || s == this)
        return;
    const bool keepFixed = FSearchFixedCells;
    VUZ_SEARCHFOOTER_PLAIN(VUZ_COPY)
    VUZ_SEARCHFOOTER_ALWAYS(VUZ_COPY)
    VUZ_SEARCHFOOTER_ONCHANGE(VUZ_COPY)
    FSearchFixedCells = keepFixed;
    // The owned font is updated without telling anyone.
    auto notify = std::move(FFont->OnChange);
    FFont->OnChange = nullptr;
    FFont->Assign(s->FFont.get());
    FFont->OnChange = std::move(notify);
}

// ---- TBands ----

void TBands::ChangedWhileActive()
{
    if (FActive && OnChange)
        OnChange(this);
}

void TBands::SetActive(bool v)
{
    if (v == FActive)
        return;
    FActive = v;
    if (OnChange)
        OnChange(this);
}

void TBands::SetPrimaryColor(TColor v)
{
    if (v == FPrimaryColor)
        return;
    FPrimaryColor = v;
    ChangedWhileActive();
}

void TBands::SetSecondaryColor(TColor v)
{
    if (v == FSecondaryColor)
        return;
    FSecondaryColor = v;
    ChangedWhileActive();
}

void TBands::SetPrimaryLength(int v)
{
    if (v == FPrimaryLength)
        return;
    FPrimaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    ChangedWhileActive();
}

void TBands::SetSecondaryLength(int v)
{
    if (v == FSecondaryLength)
        return;
    FSecondaryLength = v;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    ChangedWhileActive();
}

void TBands::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TBands*>(Source);
    if (!s || s == this)
        return;
    FActive = s->FActive;
    FPrimaryColor = s->FPrimaryColor;
    FSecondaryColor = s->FSecondaryColor;
    FPrimaryLength = s->FPrimaryLength;
    FSecondaryLength = s->FSecondaryLength;
    FPrint = s->FPrint;
    FTotalLength = FPrimaryLength + FSecondaryLength;
}

// ---- TSyncGrid, TFocusHelper ----

void TSyncGrid::SetGrid(TStringGrid* v)
{
    if (v && v == FOwner)
        return;
    if (FGrid == v)
        return;
    // The owning grid hears when the partner goes, and forgets it.
    if (FGrid && FOwner)
        FGrid->RemoveFreeNotification(FOwner);
    FGrid = v;
    if (FGrid && FOwner)
        FGrid->FreeNotification(FOwner);
}

void TSyncGrid::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSyncGrid*>(Source);
    if (!s || s == this)
        return;
    SetGrid(s->FGrid);
    VUZ_SYNCGRID_PLAIN(VUZ_COPY)
}

void TFocusHelper::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TFocusHelper*>(Source))
        FEnabled = s->FEnabled;
}
