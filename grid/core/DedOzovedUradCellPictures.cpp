// Pictures and indicators in cells: bitmaps, pictures, file pictures, icons,
// image-list images, rotated text, progress bars and pies, range
// indicators, shapes, ratings, cell scroll bars, error markers, comments
// and objects that draw themselves. Each kind is one Add..., Create... where
// the cell owns the picture, Remove... and its queries.

#include "grid/core/CellPainters.h"
#include "grid/core/DedOzovedUrad.h"
#include "richtext/PictureContainer.h"

// ---- bitmaps, pictures, icons ----

void TDedOzovedUrad::AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(ACol, ARow)->SetBitmap(ABmp, Transparent, hal, val);
}

TBitmap* TDedOzovedUrad::CreateBitmap(int ACol, int ARow, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    auto* Bmp = new TBitmap;
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetBitmap(Bmp, transparent, hal, val);
    G->SetCellCreated(true);
    return Bmp;
}

TBitmap* TDedOzovedUrad::GetBitmap(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctBitmap ? G->GetCellBitmap() : nullptr;
}

void TDedOzovedUrad::RemoveBitmap(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctBitmap); }

void TDedOzovedUrad::AddPicture(int ACol, int ARow, TPicture* APicture, bool transparent, TStretchMode stretchmode,
    int padding, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(ACol, ARow)->SetPicture(APicture, transparent, stretchmode, padding, hal, val);
}

TPicture* TDedOzovedUrad::CreatePicture(int ACol, int ARow, bool transparent, TStretchMode stretchmode, int padding,
    TCellHAlign hal, TCellVAlign val)
{
    auto* Pic = new TPicture;
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetPicture(Pic, transparent, stretchmode, padding, hal, val);
    G->SetCellCreated(true);
    return Pic;
}

TPicture* TDedOzovedUrad::GetPicture(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctPicture ? G->GetCellPicture() : nullptr;
}

void TDedOzovedUrad::RemovePicture(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctPicture); }

void TDedOzovedUrad::AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent,
    TStretchMode stretchmode, int padding, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(ACol, ARow)->SetFilePicture(AFilePicture, Transparent, stretchmode, padding, hal, val);
}

TFilePicture* TDedOzovedUrad::CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode,
    int padding, TCellHAlign hal, TCellVAlign val)
{
    auto* Pic = new TFilePicture;
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetFilePicture(Pic, Transparent, StretchMode, padding, hal, val);
    G->SetCellCreated(true);
    return Pic;
}

TFilePicture* TDedOzovedUrad::GetFilePicture(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctFilePicture ? G->GetCellFilePicture() : nullptr;
}

void TDedOzovedUrad::RemoveFilePicture(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctFilePicture); }

void TDedOzovedUrad::AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(ACol, ARow)->SetIcon(AIcon, hal, val);
}

TIcon* TDedOzovedUrad::CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val)
{
    auto* Icon = new TIcon;
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetIcon(Icon, hal, val);
    G->SetCellCreated(true);
    return Icon;
}

void TDedOzovedUrad::RemoveIcon(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctIcon); }

// ---- image-list images ----

void TDedOzovedUrad::AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val)
{
    if (!GetGridImages())
        return;
    CreateCellGraphic(ACol, ARow)->SetImageIdx(Aidx, hal, val);
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
}

bool TDedOzovedUrad::GetImageIdx(int ACol, int ARow, int& idx)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!GetGridImages() || !G || G->GetCellType() != ctImageList)
        return false;
    idx = G->GetCellIndex();
    return true;
}

void TDedOzovedUrad::SetImageIdx(int ACol, int ARow, int Idx)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (GetGridImages() && G && G->GetCellType() == ctImageList)
        G->SetCellIndex(Idx);
}

void TDedOzovedUrad::RemoveImageIdx(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctImageList); }

void TDedOzovedUrad::AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val)
{
    if (!GetGridImages())
        return;
    CreateCellGraphic(ACol, ARow)->SetDataImage(Aidx, hal, val);
    if (GetCellEx(ACol, ARow).empty())
        SetInts(ACol, ARow, Aidx);
}

void TDedOzovedUrad::RemoveDataImage(int ACol, int ARow)
{
    if (RemoveCellGraphic(ACol, ARow, ctDataImage))
        SetCellEx(ACol, ARow, String());
}

void TDedOzovedUrad::AddDataPicture(int ACol, int ARow, const String& AName, TCellHAlign hal, TCellVAlign val)
{
    if (!GetPictureContainer())
        return;
    CreateCellGraphic(ACol, ARow)->SetDataPicture(hal, val);
    if (GetCellEx(ACol, ARow).empty())
        SetCellEx(ACol, ARow, AName);
}

void TDedOzovedUrad::RemoveDataPicture(int ACol, int ARow)
{
    if (RemoveCellGraphic(ACol, ARow, ctDataPicture))
        SetCellEx(ACol, ARow, String());
}

TIntList* TDedOzovedUrad::AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val)
{
    if (!GetGridImages())
        return nullptr;
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetMultiImage(ACol, ARow, Dir, hal, val, [this](TObject*, int c, int r) {
        if (!IsDestroying())
            RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
    });
    return G->GetCellImages();
}

void TDedOzovedUrad::RemoveMultiImage(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctImages); }

// ---- rotated text ----

void TDedOzovedUrad::AddRotated(int ACol, int ARow, short AAngle, const String& s)
{
    CreateCellGraphic(ACol, ARow)->SetAngle(AAngle);
    SetCellEx(ACol, ARow, s);
}

void TDedOzovedUrad::SetRotated(int ACol, int ARow, short AAngle)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        G = CreateCellGraphic(ACol, ARow);
    // The old kind's pictures, lists and balloon go with it.
    G->ReleaseKind();
    G->SetAngle(AAngle);
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
}

bool TDedOzovedUrad::IsRotated(int ACol, int ARow, int& Angle)
{
    Angle = 0;
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctRotated)
        return false;
    Angle = G->GetCellAngle();
    return true;
}

void TDedOzovedUrad::RemoveRotated(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctRotated); }

// ---- progress bars and indicators ----

namespace {

void SetProgressKind(TCellGraphic* G, TColor FG, TColor BK, const TCellProgressData& Text, int Min, int Max)
{
    G->SetCellType(ctProgress);
    G->SetCellColor(FG);
    G->SetCellColorTo(BK);
    G->SetCellProgress(Text);
    G->SetCellRange({ Min, Max });
    G->SetCellHAlign(haLeft);
    G->SetCellVAlign(vaTop);
}

} // namespace

void TDedOzovedUrad::AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor)
{
    SetProgressKind(CreateCellGraphic(ACol, ARow), FGColor, BKColor, {}, 0, 100);
    if (GetAutoNumAlign())
        SetAlignments(ACol, ARow, taRightJustify);
}

void TDedOzovedUrad::AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
    TColor BKTextColor)
{
    TCellProgressData Text;
    Text.TextColor = FGTextColor;
    Text.BkTextColor = BKTextColor;
    Text.UseText = true;
    SetProgressKind(CreateCellGraphic(ACol, ARow), FGColor, BKColor, Text, 0, 100);
    if (GetAutoNumAlign())
        SetAlignments(ACol, ARow, taRightJustify);
}

void TDedOzovedUrad::AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
    TColor BKTextColor, const String& Fmt, int Min, int Max, double Scale)
{
    TCellProgressData Text;
    Text.TextColor = FGTextColor;
    Text.BkTextColor = BKTextColor;
    Text.Format = Fmt;
    Text.Scale = Scale;
    Text.UseText = true;
    SetProgressKind(CreateCellGraphic(ACol, ARow), FGColor, BKColor, Text, Min, Max);
    if (GetAutoNumAlign())
        SetAlignments(ACol, ARow, taRightJustify);
}

void TDedOzovedUrad::RemoveProgress(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctProgress); }

void TDedOzovedUrad::AddLumProgress(int ACol, int ARow, int Min, int Max)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctXPProgress);
    G->SetCellRange({ Min, Max });
    G->SetCellHAlign(haLeft);
    G->SetCellVAlign(vaTop);
}

void TDedOzovedUrad::RemoveLumProgress(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctXPProgress); }

void TDedOzovedUrad::AddProgressPie(int ACol, int ARow, TColor Color, int Value)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctProgressPie);
    G->SetCellColor(Color);
    G->SetCellAngle(Value);
    G->SetCellHAlign(haBeforeText);
    G->SetCellVAlign(vaTop);
}

void TDedOzovedUrad::SetProgressPie(int ACol, int ARow, int Value)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctProgressPie)
        return;
    G->SetCellAngle(Value);
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
}

void TDedOzovedUrad::RemoveProgressPie(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctProgressPie); }

void TDedOzovedUrad::AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor,
    bool ShowValue)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctRangeIndicator);
    G->SetCellIndex(Range);
    G->SetCellColor(NegColor);
    G->SetCellColorTo(PosColor);
    G->SetCellBoolean(ShowValue);
    G->SetCellHAlign(haLeft);
    G->SetCellVAlign(vaTop);
}

void TDedOzovedUrad::RemoveRangeIndicator(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctRangeIndicator); }

void TDedOzovedUrad::AddShape(int ACol, int ARow, int Shape, TColor FillColor, TColor LineColor, TCellHAlign hal,
    TCellVAlign val)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctShape);
    G->SetCellAngle(Shape);
    G->SetCellColor(FillColor);
    G->SetCellColorTo(LineColor);
    G->SetCellHAlign(hal);
    G->SetCellVAlign(val);
}

void TDedOzovedUrad::SetShapeColor(int ACol, int ARow, TColor FillColor)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (G && G->GetCellType() == ctShape)
        G->SetCellColor(FillColor);
}

TColor TDedOzovedUrad::GetShapeColor(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctShape ? G->GetCellColor() : clNone;
}

void TDedOzovedUrad::RemoveShape(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctShape); }

void TDedOzovedUrad::AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctRating);
    G->SetCellAngle(Scale);
    G->SetCellColor(FillColor);
    G->SetCellColorTo(EmptyColor);
    G->SetCellHAlign(haFull);
    G->SetCellVAlign(vaTop);
}

void TDedOzovedUrad::RemoveRating(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctRating); }

// ---- cell scroll bars ----

void TDedOzovedUrad::AddScrollBar(int ACol, int ARow, bool AutoRange)
{
    TCellGraphic* G = CreateCellGraphic(ACol, ARow);
    G->SetCellType(ctScrollbar);
    G->SetCellIndex(0);
    G->SetCellAngle(0);
    G->SetCellRange({ 0, 100 });
    G->SetCellBoolean(AutoRange);
    if (AutoRange)
        CellTextChanged(ACol, ARow);
}

bool TDedOzovedUrad::HasAutoRangeScrollBar(int ACol, int ARow)
{
    if (!HasScrollBar(ACol, ARow))
        return false;
    const TPoint B = BaseCell(ACol, ARow);
    const TCellGraphic* G = GetCellGraphic(B.X, B.Y);
    return G && G->GetCellBoolean();
}

void TDedOzovedUrad::RemoveScrollBar(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctScrollbar); }

namespace {

TCellGraphic* ScrollBarOf(TDedOzovedUrad* Grid, int ACol, int ARow)
{
    if (!Grid->HasScrollBar(ACol, ARow))
        return nullptr;
    const TPoint B = Grid->BaseCell(ACol, ARow);
    return Grid->GetCellGraphic(B.X, B.Y);
}

} // namespace

void TDedOzovedUrad::SetScrollPosition(int ACol, int ARow, int Position)
{
    if (TCellGraphic* G = ScrollBarOf(this, ACol, ARow)) {
        G->SetCellIndex(Position);
        RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
    }
}

int TDedOzovedUrad::GetScrollPosition(int ACol, int ARow)
{
    const TCellGraphic* G = ScrollBarOf(this, ACol, ARow);
    return G ? G->GetCellIndex() : -1;
}

void TDedOzovedUrad::SetScrollProp(int ACol, int ARow, TScrollProp Prop)
{
    if (TCellGraphic* G = ScrollBarOf(this, ACol, ARow)) {
        G->SetCellAngle(Prop.PageSize);
        G->SetCellRange({ 0, Prop.Range });
    }
}

TScrollProp TDedOzovedUrad::GetScrollProp(int ACol, int ARow)
{
    const TCellGraphic* G = ScrollBarOf(this, ACol, ARow);
    if (!G)
        return { -1, -1 };
    return { G->GetCellAngle(), G->GetCellRange().Max };
}

void TDedOzovedUrad::SetCellScrollBarRange(int ACol, int ARow, int Page, int Range)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G || G->GetCellType() != ctScrollbar || !G->GetCellBoolean())
        return;
    G->SetCellAngle(Page);
    G->SetCellRange({ 0, Range });
}

// ---- error markers ----

void TDedOzovedUrad::AddMarker(int ACol, int ARow, int ErrPos, int ErrLen)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G) {
        G = CreateCellGraphic(ACol, ARow);
        G->SetCellType(ctEmpty);
    }
    G->SetCellErrFrom(ErrPos);
    G->SetCellErrLen(ErrLen);
    RepaintCell(DisplColIndex(TRealCol(ACol)).Value, ARow);
}

void TDedOzovedUrad::RemoveMarker(int ACol, int ARow)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return;
    if (G->GetCellType() == ctEmpty && G->GetCellComment().empty()) {
        FreeCellGraphic(ACol, ARow);
        return;
    }
    G->SetCellErrFrom(0);
    G->SetCellErrLen(0);
}

void TDedOzovedUrad::RemoveAllMarkers()
{
    for (int c = 0; c < GetColCount(); ++c)
        for (int r = 0; r < GetRowCount(); ++r)
            RemoveMarker(c, r);
}

void TDedOzovedUrad::GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    ErrPos = G ? G->GetCellErrFrom() : 0;
    ErrLen = G ? G->GetCellErrLen() : 0;
}

// ---- comments ----

void TDedOzovedUrad::AddComment(int ACol, int ARow, const String& Comment)
{
    AddColorComment(ACol, ARow, Comment, FControlLook->GetCommentColor());
}

void TDedOzovedUrad::AddColorComment(int ACol, int ARow, const String& Comment, TColor Color)
{
    TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G) {
        G = CreateCellGraphic(ACol, ARow);
        G->SetCellType(ctNone);
    }
    G->SetCellComment(Comment);
    G->SetCommentColor(Color);
}

void TDedOzovedUrad::SetComment(int ACol, int ARow, const String& Value)
{
    if (TCellGraphic* G = GetCellGraphic(ACol, ARow))
        G->SetCellComment(Value);
    else
        AddComment(ACol, ARow, Value);
}

String TDedOzovedUrad::GetComment(int ACol, int ARow)
{
    String Comment;
    IsComment(ACol, ARow, Comment);
    return Comment;
}

bool TDedOzovedUrad::IsComment(int ACol, int ARow, String& comment)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    if (!G)
        return false;
    if (!G->GetCellComment().empty())
        comment = G->GetCellComment();
    if (G->GetCellType() == ctPicture && !G->GetCellText().empty()) {
        comment = G->GetCellText();
        return true;
    }
    return !G->GetCellComment().empty();
}

void TDedOzovedUrad::RemoveComment(int ACol, int ARow)
{
    if (TCellGraphic* G = GetCellGraphic(ACol, ARow))
        G->SetCellComment(String());
}

void TDedOzovedUrad::RemoveAllComments()
{
    for (int c = 0; c < GetColCount(); ++c)
        for (int r = 0; r < GetRowCount(); ++r)
            RemoveComment(c, r);
    Invalidate();
}

// ---- objects that draw themselves ----

void TDedOzovedUrad::AddInterfacedCell(int ACol, int ARow, TObject* AObject)
{
    CreateCellGraphic(ACol, ARow)->SetInterfacedCell(AObject);
}

TObject* TDedOzovedUrad::GetInterfacedCell(int ACol, int ARow)
{
    const TCellGraphic* G = GetCellGraphic(ACol, ARow);
    return G && G->GetCellType() == ctInterface ? G->GetCellObject() : nullptr;
}

void TDedOzovedUrad::RemoveInterfacedCell(int ACol, int ARow) { RemoveCellGraphic(ACol, ARow, ctInterface); }

// ---- dispatchers ----

void TDedOzovedUrad::ProgressColors(int ACol, int ARow, TColor& ColorFG, TColor& ColorBK, TColor& TextColorFG,
    TColor& TextColorBK)
{
    if (OnProgressColor)
        OnProgressColor(this, ACol, ARow, ColorFG, ColorBK, TextColorFG, TextColorBK);
}

bool TDedOzovedUrad::RatingChanging(int ACol, int ARow, double& NewRate)
{
    bool Allow = true;
    if (OnRatingChange)
        OnRatingChange(this, ACol, ARow, NewRate, Allow);
    return Allow;
}
