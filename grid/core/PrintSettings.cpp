#include "grid/core/PrintSettings.h"

// Orientation is left out: the platform's printer orientation has no type
// information to publish it with.
QT_PUBLISHED(TPrintSettings, QT_PROP(Time), QT_PROP(Date), QT_PROP(PageNr), QT_PROP(PageNumSep), QT_PROP(DateFormat),
    QT_PROP(Title), QT_PROP(Font), QT_PROP(HeaderFont), QT_PROP(FooterFont), QT_PROP(Borders), QT_PROP(BorderStyle),
    QT_PROP(TitleText), QT_PROP(TitleLines), QT_PROP(Centered), QT_PROP(RepeatFixedRows), QT_PROP(RepeatFixedCols),
    QT_PROP(FooterSize), QT_PROP(HeaderSize), QT_PROP(LeftSize), QT_PROP(RightSize), QT_PROP(ColumnSpacing),
    QT_PROP(RowSpacing), QT_PROP(TitleSpacing), QT_PROP(PagePrefix), QT_PROP(PageSuffix), QT_PROP(FixedHeight),
    QT_PROP(UseFixedHeight), QT_PROP(FixedWidth), QT_PROP(UseFixedWidth), QT_PROP(FitToPage), QT_PROP(NoAutoSize),
    QT_PROP(PrintGraphics), QT_PROP(JobName), QT_PROP(NoAutoSizeRow), QT_PROP(PageNumberOffset),
    QT_PROP(MaxPagesOffset), QT_PROP(FixedFont), QT_PROP(UseDisplayFont), QT_PROP(UseDefaultOrientation),
    QT_PROP_T(BorderColor, u"TColor"))

TPrintSettings::TPrintSettings(TPersistent* AOwner)
    : FOwner(AOwner)
    , FFont(std::make_unique<TFont>())
    , FHeaderFont(std::make_unique<TFont>())
    , FFooterFont(std::make_unique<TFont>())
    , FTitleLines(std::make_unique<TStringList>())
    , FFixedFont(std::make_unique<TFont>())
{
}

TPrintSettings::~TPrintSettings() = default;

void TPrintSettings::SetTitleLines(TStrings* Value)
{
    if (Value)
        FTitleLines->Assign(Value);
}

void TPrintSettings::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TPrintSettings*>(Source);
    if (!S)
        throw EInvalidCast(u"Invalid class typecast");
#define GRID_PRINT_COPY(T, N, V) F##N = S->F##N;
    GRID_PRINT_PROPS(GRID_PRINT_COPY)
#undef GRID_PRINT_COPY
    FPrintComments = S->FPrintComments;
    FFont->Assign(S->FFont.get());
    FHeaderFont->Assign(S->FHeaderFont.get());
    FFooterFont->Assign(S->FFooterFont.get());
    FFixedFont->Assign(S->FFixedFont.get());
    FTitleLines->Assign(S->FTitleLines.get());
}
