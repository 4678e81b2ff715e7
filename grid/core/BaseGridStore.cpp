// The base grid's cell store: text access with display hooks, the cell
// properties kept in the object slots, and their freeing.

#include "grid/core/BaseGrid.h"

#include "grid/core/GridUtils.h"
#include "platform/gdi/DrawText.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TCellProperties, QT_PROP_RO(OwnerCol), QT_PROP_RO(OwnerRow), QT_PROP(BrushStyle),
    QT_PROP_T(BrushColor, u"TColor"), QT_PROP_T(BrushColorTo, u"TColor"), QT_PROP(FontSize),
    QT_PROP_T(FontColor, u"TColor"), QT_PROP(FontStyle), QT_PROP(CellSpanY), QT_PROP(CellSpanX), QT_PROP(BorderWidth),
    QT_PROP_T(BorderColor, u"TColor"), QT_PROP(Alignment), QT_PROP(VAlignment), QT_PROP(WordWrap), QT_PROP(IsBaseCell),
    QT_PROP(NodeLevel), QT_PROP(Editor), QT_PROP(FontName), QT_PROP(ReadOnly), QT_PROP(GradientDirection),
    QT_PROP(Control), QT_PROP(CellObject))
QT_PUBLISHED(TObjStringGrid)
QT_PUBLISHED(TBaseGrid, QT_PROP(ActiveRowShow), QT_PROP_T(ActiveRowColor, u"TColor"), QT_PROP(DefaultDrawing),
    QT_PROP(GridLineWidth), QT_PROP_T(GridLineColor, u"TColor"), QT_PROP_T(GridFixedLineColor, u"TColor"),
    QT_PROP(GridFixedLineWidth), QT_PROP(HoverRow), QT_PROP_T(HoverRowColor, u"TColor"),
    QT_PROP_T(HoverRowColorTo, u"TColor"), QT_PROP(HoverRowCells), QT_EVENT_T(OnGetDisplText, u"TGetDisplTextEvent"),
    QT_EVENT_T(OnGetDisplWideText, u"TGetDisplWideTextEvent"))

namespace {

// Raises a flag for one scope; an exception cannot leave it set.
struct TFlagGuard {
    bool& flag;
    explicit TFlagGuard(bool& f) : flag(f) { flag = true; }
    ~TFlagGuard() { flag = false; }
};

} // namespace

// ---- TCellProperties ----

TCellProperties::TCellProperties(TBaseGrid* AOwner, int ACol, int ARow) : FOwnerGrid(AOwner), FOwnerCol(ACol), FOwnerRow(ARow)
{
    if (FOwnerGrid) {
        FOwnerGrid->FHasCellProps = true;
        FWordWrap = FOwnerGrid->GetWordWrap();
    }
}

void TCellProperties::RepaintOwnerCell()
{
    if (FOwnerGrid)
        FOwnerGrid->RepaintCell(FOwnerCol, FOwnerRow);
}

void TCellProperties::SetBrushColor(TColor v)
{
    FBrushColor = v;
    RepaintOwnerCell();
}

void TCellProperties::SetBrushColorTo(TColor v)
{
    FBrushColorTo = v;
    RepaintOwnerCell();
}

void TCellProperties::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    RepaintOwnerCell();
}

void TCellProperties::SetWordWrap(bool v)
{
    FWordWrap = v;
    RepaintOwnerCell();
}

TPoint TCellProperties::GetBaseCell(int c, int r) const
{
    if (!FIsBaseCell && FCellSpanX != -1 && GetCellSpanY() >= 0)
        return { c - FCellSpanX, r - GetCellSpanY() };
    return { c, r };
}

void TCellProperties::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TCellProperties*>(Source);
    if (!s || s == this)
        return;
    FIsBaseCell = s->FIsBaseCell;
    FCellSpanX = s->FCellSpanX;
    FCellSpanY = s->GetCellSpanY();
    FOwnerRow = s->FOwnerRow;
    FOwnerCol = s->FOwnerCol;
    FObject = s->FObject;
    FAlignment = s->FAlignment;
    FBorderColor = s->FBorderColor;
    FBorderWidth = s->FBorderWidth;
    FBrushColor = s->FBrushColor;
    FBrushStyle = s->FBrushStyle;
    FFontColor = s->FFontColor;
    FFontStyle = s->FFontStyle;
    FFontName = s->FFontName;
    FFontHeight = s->FFontHeight;
    FReadOnly = s->FReadOnly;
    FEditor = s->FEditor;
    FVAlignment = s->FVAlignment;
    FWordWrap = s->FWordWrap;
    FNodeLevel = s->FNodeLevel;
    FControl = s->FControl;
    FMergeCollaps = s->FMergeCollaps;
}

// ---- TBaseGrid: life ----

TBaseGrid::TBaseGrid(TComponent* AOwner) : TObjStringGrid(AOwner)
{
    // The grid draws its own lines and cells.
    TCustomGrid::SetGridLineWidth(0);
    TCustomGrid::SetDefaultDrawing(false);
    FDefFont = std::make_unique<TFont>();
    FDefBrush = std::make_unique<TBrush>();
}

TBaseGrid::~TBaseGrid()
{
    IncludeComponentState(csDestroying);
    FDefFont.reset();
    FDefBrush.reset();
    // Every stored slot, also beyond the counts: cells of rows and columns
    // cut off by a shrink keep their properties in the store.
    for (int r = 0; r < GetStoredRowCount(); ++r)
        for (int c = 0; c < GetStoredColCount(r); ++c)
            if (auto* p = dynamic_cast<TCellProperties*>(GetStoredObject(c, r)))
                FreeSlot(c, r, p);
}

void TBaseGrid::FreeSlot(int c, int r, TCellProperties* p)
{
    // Only what the grid made; a graphic object handed in stays its giver's.
    if (p->GetOwnsGraphicObject())
        delete p->GetGraphicObject();
    delete p;
    SetStoredObject(c, r, nullptr);
}

// ---- look ----

void TBaseGrid::SetDefaultDrawing(bool v)
{
    FDefaultDrawing = v;
    TCustomGrid::SetDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int v)
{
    FGridLineWidth = v;
    TCustomGrid::SetGridLineWidth(0);
    Invalidate();
}

// ---- cell properties ----

TCellProperties* TBaseGrid::PropertiesAt(int c, int r) const
{
    if (c < 0 || r < 0 || c >= TotalColCount())
        return nullptr;
    return dynamic_cast<TCellProperties*>(GetStoredObject(c, r));
}

bool TBaseGrid::HasCellProperties(int c, int r) const
{
    return c >= 0 && c < TotalColCount() && r >= 0 && GetStoredObject(c, r) != nullptr;
}

TCellProperties* TBaseGrid::GetCellProperties(int c, int r)
{
    // The slot itself, also beyond the column count, so a second call never
    // replaces (and loses) the first object.
    if (auto* p = dynamic_cast<TCellProperties*>(GetStoredObject(c, r)))
        return p;
    return CreateCellProperties(c, r);
}

TCellProperties* TBaseGrid::CreateCellProperties(int c, int r)
{
    if (c < 0 || r < 0)
        throw EGridException(u"Grid index out of range");
    auto* p = new TCellProperties(this, c, r);
    p->FAlignment = DefaultCellAlignment();
    SetStoredObject(c, r, p);
    ApplyCellDefaults(c, r, p);
    return p;
}

TCellProperties* TBaseGrid::NewCellProperties(int c, int r)
{
    auto p = std::make_unique<TCellProperties>(this, c, r);
    p->FAlignment = DefaultCellAlignment();
    ApplyCellDefaults(c, r, p.get());
    return p.release();
}

void TBaseGrid::ApplyCellDefaults(int c, int r, TCellProperties* p)
{
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = p->FAlignment;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    TCellGradientDirection gd = GradientVertical;
    GetCellDefaults(c, r, FDefFont.get(), FDefBrush.get(), colorTo, mirror, mirrorTo, ha, va, ww, gd);
    // The look the cell has now, stored without repainting.
    p->FCalcType = acNONE;
    p->FAlignment = ha;
    p->FVAlignment = va;
    p->FWordWrap = ww;
    p->FFontName = FDefFont->GetName();
    p->FFontHeight = FDefFont->GetHeight();
    p->FFontStyle = FDefFont->GetStyle();
    p->FFontColor = FDefFont->GetColor();
    p->FBrushColor = FDefBrush->GetColor();
    p->FBrushColorTo = colorTo;
    p->FGradientDirection = gd;
}

void TBaseGrid::GetCellDefaults(int, int, TFont* AFont, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
    TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW, TCellGradientDirection& GD)
{
    AFont->Assign(GetFont());
    ABrush->SetColor(GetColor());
    AColorTo = AMirrorColor = AMirrorColorTo = clNone;
    HA = DefaultCellAlignment();
    VA = vtaTop;
    WW = FWordWrap;
    GD = GradientVertical;
}

void TBaseGrid::SetCellProperties(int c, int r, TCellProperties* Value)
{
    TObject* old = GetStoredObject(c, r);
    if (old == Value)
        return; // freeing it would leave the slot dangling
    delete old;
    SetStoredObject(c, r, Value);
}

void TBaseGrid::FreeCellProperties(int c, int r)
{
    if (auto* p = PropertiesAt(c, r)) {
        delete p;
        SetStoredObject(c, r, nullptr);
    }
}

void TBaseGrid::FreeCellPropertiesRange(int FromCol, int FromRow, int ToCol, int ToRow)
{
    if (!FHasCellProps)
        return;
    for (int r = FromRow; r <= ToRow; ++r) {
        for (int c = FromCol; c <= ToCol; ++c) {
            if (TCellProperties* p = PropertiesAt(c, r))
                FreeSlot(c, r, p);
        }
    }
}

void TBaseGrid::ResetCellProperties(int c, int r)
{
    std::unique_ptr<TCellProperties> old(PropertiesAt(c, r));
    if (!old)
        return;
    // Out of the slot first, so the new look is not taken from the old one.
    SetStoredObject(c, r, nullptr);
    TCellProperties* fresh = NewCellProperties(c, r);
    fresh->FIsBaseCell = old->FIsBaseCell;
    fresh->FCellSpanX = old->FCellSpanX;
    fresh->FCellSpanY = old->FCellSpanY;
    fresh->FMergeCollaps = old->FMergeCollaps;
    SetStoredObject(c, r, fresh);
}

void TBaseGrid::FreeAllCellProperties()
{
    FreeCellPropertiesRange(0, 0, GetColCount() - 1, GetRowCount() - 1);
}

// ---- text ----

String TBaseGrid::GetCellEx(int c, int r)
{
    // One look-up for the text and the properties; a covered cell of a
    // merged area reads its base instead.
    TObject* slot = nullptr;
    const String* text = &GetStoredCellAndObject(c, r, slot);
    if (slot && c < TotalColCount())
        if (const auto* p = dynamic_cast<const TCellProperties*>(slot); p && !p->GetIsBaseCell()) {
            const TPoint base = p->GetBaseCell(c, r);
            c = base.X;
            r = base.Y;
            text = &GetStoredCell(c, r);
        }
    String value = *text;
    if (r < FNormalRowCount) {
        FormatDisplayText(c, r, value);
        if (OnGetDisplWideText) {
            String wide = VuzEraz::DecodeWideCellText(value);
            FormatDisplayWideText(c, r, wide);
            value = VuzEraz::EncodeWideCellText(wide);
        }
    }
    return value;
}

void TBaseGrid::SetCellEx(int c, int r, const String& Value)
{
    if (const TCellProperties* p = PropertiesAt(c, r)) {
        const TPoint base = p->GetBaseCell(c, r);
        SetStoredCell(base.X, base.Y, Value);
        CellTextChanged(base.X, base.Y);
        if (GetParent())
            RepaintCell(c, r);
    } else {
        TFlagGuard guard(FEditCellSet);
        TStringGrid::SetCells(c, r, Value);
    }
    if (FHideLastRow && r == GetRowCount() - 1)
        FooterChanged();
}

void TBaseGrid::FormatDisplayText(int ACol, int ARow, String& Value)
{
    if (OnGetDisplText)
        OnGetDisplText(this, ACol, ARow, Value);
}

void TBaseGrid::FormatDisplayWideText(int ACol, int ARow, String& Value)
{
    if (OnGetDisplWideText)
        OnGetDisplWideText(this, ACol, ARow, Value);
}

// ---- objects ----

TObject* TBaseGrid::GetObjectEx(int c, int r) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    return p ? p->GetCellObject() : nullptr;
}

void TBaseGrid::SetObjectEx(int c, int r, TObject* Value)
{
    // The slot holds the properties whatever the text; no placeholder text
    // is needed to keep it.
    GetCellProperties(c, r)->SetCellObject(Value);
}

TObject* TBaseGrid::GetGraphicObjectEx(int c, int r) const
{
    return GraphicObjectOf(PropertiesAt(c, r));
}

void TBaseGrid::SetGraphicObjectEx(int c, int r, TObject* Value, bool GridOwned)
{
    if (IsDestroying()) {
        if (!Value)
            if (TCellProperties* p = PropertiesAt(c, r))
                p->SetGraphicObject(nullptr);
        return;
    }
    TCellProperties* p = dynamic_cast<TCellProperties*>(GetStoredObject(c, r));
    if (!p) {
        // Made like CreateCellProperties, but through the setters, which
        // repaint, and with a font and brush of its own.
        if (c < 0 || r < 0)
            throw EGridException(u"Grid index out of range");
        p = new TCellProperties(this, c, r);
        SetStoredObject(c, r, p);
        TFont font;
        TBrush brush;
        TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
        TAlignment ha = DefaultCellAlignment();
        TVAlignment va = vtaTop;
        bool ww = FWordWrap;
        TCellGradientDirection gd = GradientVertical;
        GetCellDefaults(c, r, &font, &brush, colorTo, mirror, mirrorTo, ha, va, ww, gd);
        p->SetCalcType(acNONE);
        p->SetAlignment(ha);
        p->SetVAlignment(va);
        p->SetWordWrap(ww);
        p->SetFontName(font.GetName());
        p->SetFontSize(font.GetHeight());
        p->SetFontStyle(font.GetStyle());
        p->SetFontColor(font.GetColor());
        p->SetBrushColor(brush.GetColor());
        p->SetBrushColorTo(colorTo);
        p->SetGradientDirection(gd);
    }
    p->SetGraphicObject(Value, GridOwned);
}

// ---- clearing ----

void TBaseGrid::ClearRowCells(int r)
{
    for (int c = 0; c < GetColCount(); ++c) {
        SetStoredObject(c, r, nullptr);
        SetCellEx(c, r, String());
    }
}

void TBaseGrid::ClearColCells(int c)
{
    for (int r = 0; r < GetRowCount(); ++r) {
        SetStoredObject(c, r, nullptr);
        SetCellEx(c, r, String());
    }
}

void TBaseGrid::ClearCell(int c, int r)
{
    SetCellEx(c, r, String());
    SetStoredObject(c, r, nullptr);
}

void TBaseGrid::RepaintCell(int c, int r)
{
    if (!HandleAllocated() || IsDestroying())
        return;
    const RECT rc = CellRect(c, r);
    if (!rc.IsEmpty())
        InvalidateRect(GetHandle(), &rc, true);
}

// ---- platform steps ----

bool TBaseGrid::SelectCell(int ACol, int ARow)
{
    const bool allowed = TObjStringGrid::SelectCell(ACol, ARow);
    if (UseRightToLeftAlignment()) {
        Invalidate();
    } else {
        RepaintCell(GetCol(), GetRow());
        RepaintCell(ACol, ARow);
    }
    return allowed;
}
