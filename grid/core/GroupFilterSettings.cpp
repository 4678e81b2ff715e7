#include "grid/core/GroupFilterSettings.h"

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPublish.h"


QT_PUBLISHED(TGrouping, GRID_GROUPING_PROPS(GRID_PUBLISH_PROP))
QT_PUBLISHED(TFilterDropDown, QT_PROP(AutoSize), QT_PROP(CaseSensitive), QT_PROP_T(Color, u"TColor"),
    QT_PROP(ColumnWidth), QT_PROP(Font), QT_PROP(Glyph), QT_PROP(GlyphActive), QT_PROP(Height), QT_PROP(Width),
    QT_PROP(IgnoreHTML), QT_PROP(Method), QT_PROP(Sorted), QT_PROP(TextChecked), QT_PROP(TextUnChecked))
QT_PUBLISHED(TFilterEdit, QT_PROP(Enabled), QT_PROP(Row), QT_PROP_T(Color, u"TColor"), QT_PROP(Columns),
    QT_PROP(CaseSensitive), QT_PROP(AutoHotKey), QT_PROP(TypeNames))

// ---- TGrouping ----

void TGrouping::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TGrouping*>(Source);
    if (!S)
        return;
    FGroupCountFormat = S->FGroupCountFormat;
    FHeaderColor = S->FHeaderColor;
    FHeaderColorTo = S->FHeaderColorTo;
    FHeaderTextColor = S->FHeaderTextColor;
    FHeaderUnderline = S->FHeaderUnderline;
    FMergeHeader = S->FMergeHeader;
    FMergeSummary = S->FMergeSummary;
    FShowGroupCount = S->FShowGroupCount;
    FSummaryColor = S->FSummaryColor;
    FSummaryColorTo = S->FSummaryColorTo;
    FSummaryTextColor = S->FSummaryTextColor;
    FSummaryLine = S->FSummaryLine;
    FAutoCheckGroup = S->FAutoCheckGroup;
    FAutoSelectGroup = S->FAutoSelectGroup;
}

// ---- TFilterDropDown ----

TFilterDropDown::TFilterDropDown(bool Designing)
    : FFont(std::make_unique<TFont>())
    , FGlyph(std::make_unique<TBitmap>())
    , FGlyphActive(std::make_unique<TBitmap>())
{
    if (Designing) {
        FTextChecked = u"Checked";
        FTextUnChecked = u"Unchecked";
    }
}

TFilterDropDown::~TFilterDropDown() = default;

void TFilterDropDown::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TFilterDropDown::SetGlyph(TBitmap* Value)
{
    FGlyph->Assign(Value);
    Changed();
}

void TFilterDropDown::SetGlyphActive(TBitmap* Value)
{
    FGlyphActive->Assign(Value);
    Changed();
}

void TFilterDropDown::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TFilterDropDown*>(Source);
    if (!S)
        return;
    FCaseSensitive = S->FCaseSensitive;
    FColor = S->FColor;
    FColumnWidth = S->FColumnWidth;
    FFont->Assign(S->FFont.get());
    FHeight = S->FHeight;
    FWidth = S->FWidth;
    FGlyph->Assign(S->FGlyph.get());
    FGlyphActive->Assign(S->FGlyphActive.get());
    FTextChecked = S->FTextChecked;
    FTextUnChecked = S->FTextUnChecked;
    FIgnoreHTML = S->FIgnoreHTML;
    FMethod = S->FMethod;
}

// ---- TFilterEdit ----

TFilterEdit::TFilterEdit(TDedOzovedUrad* AOwner)
    : FOwner(AOwner)
    , FTypeNames(std::make_unique<TStringList>())
{
    for (const char16_t* Name : { u"Starts with", u"Ends with", u"Contains", u"Not contains", u"Equal", u"Not equal",
             u"Larger than", u"Smaller than", u"Clear" })
        FTypeNames->Add(Name);
}

TFilterEdit::~TFilterEdit() = default;

TPersistent* TFilterEdit::GetOwner() { return FOwner; }

void TFilterEdit::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    if (FOwner)
        FOwner->FilterEditEnabledChanged();
}

void TFilterEdit::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TFilterEdit*>(Source);
    if (!S)
        return;
    FRow = S->FRow;
    FColor = S->FColor;
    FColumns = S->FColumns;
    FCaseSensitive = S->FCaseSensitive;
    FAutoHotKey = S->FAutoHotKey;
    FTypeNames->Assign(S->FTypeNames.get());
    SetEnabled(S->FEnabled);
}
