// Copying another string grid: settings, layout, looks, then its cells.

#include "grid/core/DedOzovedUrad.h"

void TDedOzovedUrad::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TDedOzovedUrad*>(Source);
    if (!S || S == this)
        return;

    GetFont()->Assign(S->GetFont());
    SetActiveCellShow(S->FActiveCellShow);
    SetActiveCellColor(S->FActiveCellColor);
    SetActiveCellColorTo(S->FActiveCellColorTo);
    FActiveCellFont->Assign(S->FActiveCellFont.get());
    FAutoColor->Assign(S->FAutoColor.get());
    SetActiveRowShow(S->GetActiveRowShow());
    SetAlign(S->GetAlign());
    FFilterDropDown->Assign(S->FFilterDropDown.get());
    FAnchorHint = S->FAnchorHint;
    FAutoSize = S->FAutoSize;

    FMouseActions->Assign(S->FMouseActions.get());
    FNavigation->Assign(S->FNavigation.get());
    FGrouping->Assign(S->FGrouping.get());
    FSearchFooter->Assign(S->FSearchFooter.get());
    FFilter->Assign(S->FFilter.get());
    FBands->Assign(S->FBands.get());
    FBackGround->Assign(S->FBackGround.get());
    FCellNode->Assign(S->FCellNode.get());
    FSortSettings->Assign(S->FSortSettings.get());
    FDragScrollOptions->Assign(S->FDragScrollOptions.get());
    FDragDropSettings->Assign(S->FDragDropSettings.get());
    FProgressAppearance->Assign(S->FProgressAppearance.get());
    FColumnSize->Assign(S->FColumnSize.get());
    FSyncGrid->Assign(S->FSyncGrid.get());
    FFocusHelper->Assign(S->FFocusHelper.get());
    FFilterEdit->Assign(S->FFilterEdit.get());
    FHoverButtons->Assign(S->FHoverButtons.get());
    FShowModified->Assign(S->FShowModified.get());
    FControlLook->Assign(S->FControlLook.get());
    FBalloon->Assign(S->FBalloon.get());
    FOfficeHint->Assign(S->FOfficeHint.get());

    // Layout.
    SetFixedRowAlways(S->FFixedRowAlways);
    SetColCount(S->GetColCount());
    SetRowCount(S->GetRowCount());
    SetFixedRows(S->GetFixedRows());
    SetFixedCols(S->GetFixedCols());
    SetDefaultColWidth(S->GetDefaultColWidth());
    SetDefaultRowHeight(S->GetDefaultRowHeight());
    SetFixedRowHeight(S->FFixedRowHeight);
    SetFixedColWidth(S->GetFixedColWidth());
    FInvalidEntryTitle = S->FInvalidEntryTitle;
    FInvalidEntryIcon = S->FInvalidEntryIcon;
    FInvalidEntryText = S->FInvalidEntryText;
    SetOptions(S->GetOptions());
    for (int c = 0; c < GetColCount() && c < S->GetColCount(); ++c)
        SetColWidths(c, S->GetColWidths(c));
    FColumnHeaders->Assign(S->FColumnHeaders.get());
    for (int r = 0; r < GetRowCount() && r < S->GetRowCount(); ++r)
        SetRowHeights(r, S->GetRowHeights(r));

    // Scrolling.
    FScrollProportional = S->FScrollProportional;
    FScrollSynch = S->FScrollSynch;
    FScrollWidth = S->FScrollWidth;
    FScrollHints = S->FScrollHints;
    SetScrollBarAlways(S->FScrollBarAlways);
    SetScrollBars(S->GetScrollBars());
    FScrollColor = S->FScrollColor;
    SetScrollType(S->FScrollType);

    // Looks and behaviour.
    SetLook(S->FLook);
    SetBorderColor(S->FBorderColor);
    SetSelectionColor(S->FSelectionColor);
    SetSelectionColorTo(S->FSelectionColorTo);
    SetSelectionMirrorColor(S->FSelectionMirrorColor);
    SetSelectionMirrorColorTo(S->FSelectionMirrorColorTo);
    SetSelectionTextColor(S->FSelectionTextColor);
    SetSelectionRTFKeep(S->FSelectionRTFKeep);
    SetSelectionResizer(S->FSelectionResizer);
    FAutoFilterUpdate = S->FAutoFilterUpdate;
    SetAutoHideSelection(S->FAutoHideSelection);
    FAutoNumAlign = S->FAutoNumAlign;
    FAutoThemeAdapt = S->FAutoThemeAdapt;
    FDefaultEditor = S->FDefaultEditor;
    SetDisabledFontColor(S->FDisabledFontColor);
    FEditWithTags = S->FEditWithTags;
    SetEnableHTML(S->FEnableHTML);
    SetEnableBlink(S->FEnableBlink);
    FEnhRowColMove = S->FEnhRowColMove;
    FEnhTextSize = S->FEnhTextSize;
    FExcelStyleDecimalSeparator = S->FExcelStyleDecimalSeparator;
    FFilterDropDownAuto = S->FFilterDropDownAuto;
    FFilterDropDownMultiCol = S->FFilterDropDownMultiCol;
    FFilterDropDownCheck = S->FFilterDropDownCheck;
    FFilterDropDownColumns = S->FFilterDropDownColumns;
    FFilterDropDownClear = S->FFilterDropDownClear;
    FFilterDropDownCheckUnCheckAll = S->FFilterDropDownCheckUnCheckAll;
    SetFilterDropDownRow(S->FFilterDropDownRow);
    SetFixedAsButtons(S->FFixedAsButtons);
    SetFixedFooters(S->FFixedFooters);
    SetFixedRightCols(S->FFixedRightCols);
    SetGridLineColor(S->GetGridLineColor());
    SetGridLineWidth(S->GetGridLineWidth());
    SetHighlightColor(S->FHighlightColor);
    SetHighlightTextColor(S->FHighlightTextColor);
    FHintColor = S->FHintColor;
    FHintShowCells = S->FHintShowCells;
    FHintShowLargeText = S->FHintShowLargeText;
    FHintShowLargeTextPos = S->FHintShowLargeTextPos;
    FHintShowSizing = S->FHintShowSizing;
    FHovering = S->FHovering;
    SetHoverRow(S->GetHoverRow());
    SetHoverRowColor(S->GetHoverRowColor());
    SetHoverRowColorTo(S->GetHoverRowColorTo());
    FIntelliZoom = S->FIntelliZoom;
    FIntelliPan = S->FIntelliPan;
    SetIntegralHeight(S->FIntegralHeight);
    FHTMLHint = S->FHTMLHint;
    SetHTMLKeepLineBreak(S->FHTMLKeepLineBreak);
    FLookup = S->FLookup;
    FLookupCaseSensitive = S->FLookupCaseSensitive;
    FLookupHistory = S->FLookupHistory;
    FLookupItems->Assign(S->FLookupItems.get());
    FMaxComboLength = S->FMaxComboLength;
    FMaxEditLength = S->FMaxEditLength;
    FMultilinecells = S->FMultilinecells;

    AssignCells(S);
}

void TDedOzovedUrad::AssignCells(TPersistent* Source)
{
    auto* S = dynamic_cast<TDedOzovedUrad*>(Source);
    if (!S)
        return;
    TMemoryStream Stream;
    S->SaveToStream(Stream);
    Stream.SetPosition(0);
    LoadFromStream(Stream);
}
