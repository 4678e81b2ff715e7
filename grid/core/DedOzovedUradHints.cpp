// The grid's answer to the platform's hint request: comments, anchor
// hints of mini-HTML links, cell texts and the full text of cells too
// small for it, placed at the cell, with the application's last word.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "grid/core/HTMLHintWindow.h"
#include "richtext/MiniHTML.h"

namespace {

// Whether the anchor under Cursor in the mini-HTML text laid out in R has a
// hint: its own title, or else the anchor itself.
bool AnchorAt(TDedOzovedUrad& Grid, const String& Text, const TRect& R, TPoint Cursor, String& Hint)
{
    String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
    TRect HitRect, ControlRect;
    const bool Hit = VovHTMLE::DrawHTMLText(Grid.GetCanvas(), Text, R, Grid.GetGridImages(), Cursor.X, Cursor.Y, -1,
        -1, 1, true, false, false, false, false, false, true, false, u"", 1.0, Grid.GetURLColor(), clNone, clNone,
        TColor(0x808080), HitAnchor, Stripped, FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect,
        ControlRect, ControlID, ControlValue, ControlType, Grid.GetImageCache(), Grid.GetPictureContainer(),
        Grid.HandleAllocated() ? Grid.GetHandle() : nullptr, float(Grid.GetDPIScale()), 0);
    if (!Hit || HitAnchor.empty())
        return false;
    Hint = Title.empty() ? HitAnchor : Title;
    return true;
}

} // namespace

void TDedOzovedUrad::BuildCellHint(String& HintStr, THintInfo& HintInfo)
{
    const TPoint Cursor = HintInfo.CursorPos;
    int ACol = -1, ARow = -1;
    MouseToCell(Cursor.X, Cursor.Y, ACol, ARow);
    if (FControlLook->GetHintMaxWidth() > 0)
        HintInfo.HintMaxWidth = FControlLook->GetHintMaxWidth();

    if (ACol < 0 || ARow < 0) {
        String Wide;
        GetCellHint(-1, -1, HintStr, Wide);
        HintInfo.HintColor = GetHintColor();
        return;
    }

    ResolveBaseCell(ACol, ARow, ACol, ARow);
    FLastHintPos = TPoint(ACol, ARow);
    const TRect r = CellRect(ACol, ARow);
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    const String Text = GetCellEx(RealCol, ARow);
    const int Kind = VuzEraz::DetectTextKind(Text, GetEnableHTML());
    const bool Wide = Kind == 5;

    TPoint Pos(Cursor.X, r.Bottom + 6);
    String Comment;
    if (IsComment(RealCol, ARow, Comment)) {
        HintStr = Comment;
        Pos = TPoint(r.Right, r.Top);
    }

    String Anchor;
    if (Kind == 1 && GetAnchorHint() && AnchorAt(*this, Text, r, Cursor, Anchor)) {
        if (OnAnchorHint)
            OnAnchorHint(this, ARow, RealCol, Anchor);
        FLastAnchorHint = Anchor;
        HintStr = Anchor;
        Pos = TPoint(Cursor.X + 8, Cursor.Y - 16);
    }

    const bool NormalCell = ACol >= GetFixedCols() && ACol < GetColCount() - FFixedRightCols && ARow >= GetFixedRows()
        && ARow < GetRowCount() - FFixedFooters;
    if (GetHintShowCells() && NormalCell) {
        Pos.Y = r.Top;
        HintStr = Wide ? GetWideCells(ACol, ARow) : GetHTMLHint() ? Text : GetStrippedCells(ACol, ARow);
    }

    TSize Size;
    {
        // Measured as the cell is sized, without the enhanced text sizing.
        GridGuards::TValueGuard<bool> Plain(FEnhTextSize, false);
        MeasureCellText(ACol, RealCol, ARow, true, false, false, Size);
    }
    if (GetHintShowLargeText() && (Size.cx > r.Width() || Size.cy > r.Height())) {
        if (GetHintShowLargeTextPos() == hpCell)
            Pos = TPoint(r.Left, r.Top);
        HintStr = (Wide || GetHTMLHint() || Kind != 1) ? Text : GetStrippedCells(ACol, ARow);
    }

    const bool FooterRow = FFloatingFooter->GetVisible() && ARow == GetRowCount() - 1;
    if (!FooterRow) {
        String WideHint;
        GetCellHint(ACol, ARow, HintStr, WideHint);
    }

    const int HintKind = VuzEraz::DetectTextKind(HintStr, true);
    if ((HintKind == 1 || HintKind == 5) && GetUseInternalHintClass()) {
        HintInfo.HintWindowClass = [](TComponent* AOwner) -> THintWindow* { return new THTMLHintWindow(AOwner); };
        HintInfo.HintData = this;
    }
    HintInfo.HintPos = ClientToScreen(Pos);
    HintInfo.HintColor = GetHintColor();
}
