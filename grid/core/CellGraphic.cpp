// The cell object record, its setters per kind and the fitting of pictures.

#include "grid/core/CellGraphic.h"

#include "grid/core/CellPainters.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StringList.h"

QT_PUBLISHED(TBaseCellGraphic, QT_PROP(CellType), QT_PROP(CellVAlign), QT_PROP(CellHAlign), QT_PROP(CellIndex),
    QT_PROP(CellTransparent), QT_PROP(CellCreated), QT_PROP(CellBoolean), QT_PROP(CellAngle), QT_PROP(CellValue),
    QT_PROP(CellErrFrom), QT_PROP(CellErrLen), QT_PROP(CellText), QT_PROP(CellCheckBoxState))
QT_PUBLISHED(TCellGraphic, QT_PROP(CellComment), QT_PROP_T(CommentColor, u"TColor"))

TBaseCellGraphic::~TBaseCellGraphic() { ReleaseOwned(); }

void TBaseCellGraphic::ReleaseOwned()
{
    if (FCellCreated) {
        // An image list's change handler may speak to a grid that is going.
        if (auto* List = dynamic_cast<TIntList*>(FCellObject))
            List->OnChange = nullptr;
        delete FCellObject;
        delete FCellIcon;
    }
    FCellObject = nullptr;
    FCellIcon = nullptr;
    FCellCreated = false;
}

void TBaseCellGraphic::ReplaceObject(TObject* AObject, TIcon* AIcon)
{
    // An object installed again stays owned; anything else the record made goes.
    const bool Keep = FCellCreated && ((AObject && AObject == FCellObject) || (AIcon && AIcon == FCellIcon));
    if (FCellCreated) {
        if (FCellObject != AObject)
            delete FCellObject;
        if (FCellIcon != AIcon)
            delete FCellIcon;
    }
    FCellObject = AObject;
    FCellIcon = AIcon;
    FCellCreated = Keep;
}

void TBaseCellGraphic::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TBaseCellGraphic*>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    if (S == this)
        return;
    FCellType = S->FCellType;
    FCellVAlign = S->FCellVAlign;
    FCellHAlign = S->FCellHAlign;
    FCellIndex = S->FCellIndex;
    FCellTransparent = S->FCellTransparent;
    FCellValue = S->FCellValue;
    FCellAngle = S->FCellAngle;
    FCellBoolean = S->FCellBoolean;
    FCellErrFrom = S->FCellErrFrom;
    FCellErrLen = S->FCellErrLen;
    FCellText = S->FCellText;
    FCellRange = S->FCellRange;
    FCellProgress = S->FCellProgress;
    FCellNode = S->FCellNode;
    FCellRadioGroup = S->FCellRadioGroup;
}

TBitmap* TBaseCellGraphic::GetCellBitmap() const { return dynamic_cast<TBitmap*>(FCellObject); }
TPicture* TBaseCellGraphic::GetCellPicture() const { return dynamic_cast<TPicture*>(FCellObject); }
TFilePicture* TBaseCellGraphic::GetCellFilePicture() const { return dynamic_cast<TFilePicture*>(FCellObject); }
TStrings* TBaseCellGraphic::GetCellRadioItems() const { return dynamic_cast<TStrings*>(FCellObject); }
TIntList* TBaseCellGraphic::GetCellImages() const { return dynamic_cast<TIntList*>(FCellObject); }
IGridCellObject* TBaseCellGraphic::GetCellInterface() const { return dynamic_cast<IGridCellObject*>(FCellObject); }

void TBaseCellGraphic::SetCellBalloon(const String& Title, const String& Text, int Icon)
{
    FCellBalloon = std::make_unique<TCellBalloonData>(TCellBalloonData { Title, Text, Icon });
}

// ---- setters per kind ----

void TBaseCellGraphic::SetBitmap(TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val)
{
    ReplaceObject(ABmp, nullptr);
    FCellType = ctBitmap;
    FCellTransparent = Transparent;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetIcon(TIcon* AIcon, TCellHAlign hal, TCellVAlign val)
{
    ReplaceObject(nullptr, AIcon);
    FCellType = ctIcon;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val)
{
    FCellType = ctImageList;
    FCellIndex = idx;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetDataImage(int idx, TCellHAlign hal, TCellVAlign val)
{
    FCellType = ctDataImage;
    FCellIndex = idx;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetDataPicture(TCellHAlign hal, TCellVAlign val)
{
    FCellType = ctDataPicture;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val,
    TImageChangeEvent Notifier)
{
    auto List = std::make_unique<TIntList>(Col, Row);
    List->OnChange = std::move(Notifier);
    ReplaceObject(List.release(), nullptr);
    FCellCreated = true;
    FCellType = ctImages;
    FCellBoolean = dir == 0;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetPicture(TPicture* APicture, bool Transparent, TStretchMode StretchMode, int padding,
    TCellHAlign hal, TCellVAlign val)
{
    ReplaceObject(APicture, nullptr);
    FCellType = ctPicture;
    FCellTransparent = Transparent;
    FCellAngle = int(StretchMode);
    FCellIndex = padding;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetFilePicture(TFilePicture* APicture, bool Transparent, TStretchMode StretchMode,
    int padding, TCellHAlign hal, TCellVAlign val)
{
    ReplaceObject(APicture, nullptr);
    FCellType = ctFilePicture;
    FCellTransparent = Transparent;
    FCellAngle = int(StretchMode);
    FCellIndex = padding;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val)
{
    FCellType = Data ? ctDataCheckBox : ctCheckBox;
    FCellAngle = 0;
    FCellBoolean = Value;
    FCellTransparent = Flat;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val)
{
    FCellType = ctTriStateCheckBox;
    FCellCheckBoxState = Value;
    FCellBoolean = false;
    FCellTransparent = Flat;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val,
    TRadioButtonGroup Group)
{
    FCellType = ctRadioButton;
    FCellBoolean = Value;
    FCellTransparent = Flat;
    FCellHAlign = hal;
    FCellVAlign = val;
    FCellRadioGroup = Group;
}

void TBaseCellGraphic::SetButton(int bw, int bh, const String& caption, TCellHAlign hal, TCellVAlign val)
{
    FCellType = ctButton;
    FCellIndex = int((unsigned(bh) << 16) | (unsigned(bw) & 0xFFFFu));
    FCellBoolean = false;
    FCellText = caption;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TBaseCellGraphic::SetBitButton(int bw, int bh, const String& caption, TBitmap* Glyph, TCellHAlign hal,
    TCellVAlign val)
{
    SetButton(bw, bh, caption, hal, val);
    ReplaceObject(Glyph, nullptr);
    FCellType = ctBitButton;
}

void TBaseCellGraphic::SetAngle(short AAngle)
{
    int Angle = AAngle;
    while (Angle < 0)
        Angle += 360;
    while (Angle > 360)
        Angle -= 360;
    FCellType = ctRotated;
    FCellAngle = Angle;
}

void TBaseCellGraphic::SetInterfacedCell(TObject* AObject)
{
    ReplaceObject(AObject, nullptr);
    FCellType = ctInterface;
}

void TBaseCellGraphic::SetNode(const TCellNodeData& Node)
{
    FCellType = ctNode;
    FCellNode = Node;
}

void TBaseCellGraphic::SetRadio(TStrings* Items, bool Owned, bool Horizontal, int Index)
{
    ReplaceObject(Items, nullptr);
    FCellCreated = Owned && Items;
    FCellType = ctRadio;
    FCellBoolean = Horizontal;
    FCellIndex = Index;
    FCellAngle = Items && !Owned ? Items->GetCount() : 0;
}

void TBaseCellGraphic::ReleaseKind()
{
    ReleaseOwned();
    FCellBalloon.reset();
}

// ---- picture fitting ----

TPoint TBaseCellGraphic::NaturalPictureSize(TGraphic* Graph) const
{
    switch (FCellType) {
    case ctPicture:
        if (const TPicture* P = GetCellPicture())
            return TPoint(P->GetWidth(), P->GetHeight());
        break;
    case ctFilePicture:
        if (const TFilePicture* P = GetCellFilePicture())
            return TPoint(P->GetWidth(), P->GetHeight());
        break;
    case ctDataPicture:
        if (Graph)
            return TPoint(Graph->GetWidth(), Graph->GetHeight());
        break;
    default: break;
    }
    return TPoint(0, 0);
}

void TBaseCellGraphic::GetPictureSize(int cw, int rh, TGraphic* Graph, bool /*hastext*/, TPoint& Result) const
{
    if (FCellType != ctPicture && FCellType != ctFilePicture && FCellType != ctDataPicture)
        return;
    const TPoint Natural = NaturalPictureSize(Graph);
    const int w = Natural.X, h = Natural.Y;
    const int a = cw - FCellIndex, b = rh - FCellIndex;
    double fx = w < 1 ? 1.0 : double(a) / w;
    double fy = h < 1 ? 1.0 : double(b) / h;
    auto Aspect = [&] {
        if (fx < fy)
            Result = TPoint(a, int(RoundHalfEven(h * fx)));
        else
            Result = TPoint(int(RoundHalfEven(w * fy)), b);
    };
    switch (TStretchMode(FCellAngle)) {
    case Stretch: Result = TPoint(a, b); break;
    case StretchWithAspectRatio: Aspect(); break;
    case Shrink: Result = (w > a || h > b) ? TPoint(a, b) : TPoint(w, h); break;
    case ShrinkWithAspectRatio:
        if (w <= a && h <= b) {
            Result = TPoint(w, h);
        } else {
            fx = std::min(fx, 1.0);
            fy = std::min(fy, 1.0);
            Aspect();
        }
        break;
    default: Result = TPoint(w, h); break;
    }
}

// ---- TCellGraphic ----

void TCellGraphic::Assign(TPersistent* Source)
{
    TBaseCellGraphic::Assign(Source);
    if (auto* S = dynamic_cast<TCellGraphic*>(Source)) {
        FCellComment = S->FCellComment;
        FCommentColor = S->FCommentColor;
    }
}
