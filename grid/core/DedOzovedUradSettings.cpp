// The string grid's published properties and the setters that do more
// than store.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridPublish.h"
#include "grid/core/RirEvozPopup.h"
#include "platform/vcl/ImgList.h"
#include "richtext/MiniHTML.h"
#include "richtext/PictureContainer.h"


QT_PUBLISHED(TDedOzovedUrad, GRID_PLAIN_PROPS(GRID_PUBLISH_PROP) GRID_LOOK_PROPS(GRID_PUBLISH_PROP) QT_PROP(ColCount),
    QT_PROP(RowCount), QT_PROP(FixedCols), QT_PROP(FixedRows), QT_PROP(DefaultRowHeight), QT_PROP(FixedRightCols),
    QT_PROP(FixedFooters), QT_PROP(FixedRowAlways), QT_PROP(FixedColAlways), QT_PROP(FixedRowHeight),
    QT_PROP(FixedColWidth), QT_PROP(IntegralHeight), QT_PROP(SizeWithForm), QT_PROP(AutoSize), QT_PROP(WordWrap),
    QT_PROP(Cursor), QT_PROP(BorderStyle), QT_PROP(Look), QT_PROP(UIStyle), QT_PROP_T(BorderColor, u"TColor"),
    QT_PROP(SelectionColorMixerFactor), QT_PROP(ShowSelection), QT_PROP(HTMLKeepLineBreak), QT_PROP(ScrollType),
    QT_PROP(ScrollBarAlways), QT_PROP(ScrollWidth), QT_PROP(FilterActive), QT_PROP(FilterDropDownRow),
    QT_PROP(FixedFont), QT_PROP(ActiveCellFont), QT_PROP(GridImages), QT_PROP(PictureContainer), QT_PROP(AutoColor),
    QT_PROP_T(HighlightColor, u"TColor"), QT_PROP_T(HighlightTextColor, u"TColor"), QT_PROP(AutoThemeAdapt),
    QT_PROP(FocusHelper), QT_PROP(SearchFooter), QT_PROP(FloatingFooter), QT_PROP(SortSettings),
    QT_PROP(DragDropSettings), QT_PROP(DragScrollOptions), QT_PROP(ControlLook), QT_PROP(Navigation),
    QT_PROP(ColumnSize), QT_PROP(CellNode), QT_PROP(Bands), QT_PROP(MouseActions), QT_PROP(Grouping),
    QT_PROP(ColumnHeaders), QT_PROP(RowHeaders), QT_PROP(LookupItems), QT_PROP(BackGround),
    QT_PROP(ProgressAppearance), QT_PROP(SyncGrid), QT_PROP(Filter), QT_PROP(Balloon), QT_PROP(ShowModified),
    QT_PROP(OfficeHint), QT_PROP(FilterDropDown), QT_PROP(FilterEdit), QT_PROP(HoverButtons),
    QT_PROP(RowIndicator), QT_PROP_T(URLColor, u"TColor"), QT_PROP(URLFull), QT_PROP_T(ScrollColor, u"TColor"),
    QT_PROP(ScrollProportional), QT_PROP(ScrollHints), QT_PROP(MaxEditLength), QT_PROP(VAlignment), QT_PROP(Flat),
    QT_PROP(CellChecker), QT_PROP(PopupToolBar))

// ---- dimensions ----

void TDedOzovedUrad::SetFixedRightCols(int Value)
{
    FFixedRightCols = Value;
    Invalidate();
}

void TDedOzovedUrad::SetFixedFooters(int Value)
{
    FFixedFooters = Value;
    Invalidate();
}

void TDedOzovedUrad::SetFixedRowHeight(int Value)
{
    FFixedRowHeight = Value;
    if (IsLoading())
        return;
    for (int r = 0; r < GetFixedRows() && r < GetRowCount(); ++r)
        SetRowHeights(r, Value);
}

void TDedOzovedUrad::SetFixedColWidth(int Value)
{
    if (IsLoading() || Value == GetDefaultColWidth())
        return;
    for (int c = 0; c < GetFixedCols() && c < GetColCount(); ++c)
        SetColWidths(c, Value);
}

void TDedOzovedUrad::SetIntegralHeight(bool Value)
{
    FIntegralHeight = Value;
    SetBounds(GetLeft(), GetTop(), GetWidth(), GetHeight());
}

void TDedOzovedUrad::SetSizeWithForm(bool Value)
{
    if (FSizeWithForm == Value)
        return;
    FSizeWithForm = Value;
    SetAnchors(TAnchors { akLeft, akTop, akRight, akBottom });
}

void TDedOzovedUrad::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    if (Value && !IsLoading())
        AutoSizeColumns(false, 10);
}

void TDedOzovedUrad::SetWordWrap(bool Value)
{
    TBaseGrid::SetWordWrap(Value);
    FGridWordWrap = Value;
    if (FUpdateCount == 0)
        Invalidate();
}

void TDedOzovedUrad::SetCursor(TCursor Value)
{
    TBaseGrid::SetCursor(Value);
    FOldCursor = Value;
}

void TDedOzovedUrad::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RecreateWnd();
}

// ---- look ----

void TDedOzovedUrad::SetBorderColor(TColor Value)
{
    FBorderColor = Value;
    if (GetParent() && GetParent()->HandleAllocated())
        DrawNonClientBorder();
}

void TDedOzovedUrad::SetSelectionColorMixerFactor(int Value)
{
    if (Value == FSelectionColorMixerFactor)
        return;
    FSelectionColorMixerFactor = std::clamp(Value, 0, 100);
    Invalidate();
}

void TDedOzovedUrad::SetShowSelection(bool Value)
{
    if (Value == FShowSelection)
        return;
    FShowSelection = Value;
    FShowSel = Value;
    Invalidate();
}

void TDedOzovedUrad::SetHTMLKeepLineBreak(bool Value)
{
    FHTMLKeepLineBreak = Value;
    VovHTMLE::SetHTMLKeepLineBreak(Value);
}

void TDedOzovedUrad::SetScrollBarAlways(TScrollBarAlways Value)
{
    FScrollBarAlways = Value;
    ApplyScrollBarAlways(false);
}

void TDedOzovedUrad::SetFilterDropDownRow(int Value)
{
    if (Value < 0 || Value >= GetFixedRows())
        return;
    FFilterDropDownRow = Value;
    Invalidate();
}

void TDedOzovedUrad::SetGridImages(TCustomImageList* Value)
{
    FGridImages = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

void TDedOzovedUrad::SetPictureContainer(TPictureContainer* Value)
{
    FPictureContainer = Value;
    if (Value)
        Value->FreeNotification(this);
    Invalidate();
}

// ---- notifiers ----

void TDedOzovedUrad::RegisterNotifier(TGridChangeNotifier* ANotifier)
{
    if (!ANotifier || std::find(FNotifierList.begin(), FNotifierList.end(), ANotifier) != FNotifierList.end())
        return;
    FNotifierList.push_back(ANotifier);
    // A notifier freed while registered leaves the list by itself.
    ANotifier->FreeNotification(this);
}

void TDedOzovedUrad::UnRegisterNotifier(TGridChangeNotifier* ANotifier)
{
    std::erase(FNotifierList, ANotifier);
}
