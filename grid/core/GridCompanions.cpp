#include "grid/core/GridCompanions.h"

#include "grid/core/DedOzovedUrad.h"

QT_PUBLISHED(TGridItem, QT_PROP(Idx), QT_PROP(Height), QT_PROP(Items), QT_PROP(Level))
QT_PUBLISHED(TBackGround, QT_PROP(Top), QT_PROP(Left), QT_PROP(Display), QT_PROP(Cells),
    QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(Color, u"TColor"), QT_PROP(Bitmap))
QT_PUBLISHED(TGridChangeNotifier)

TGridItem::TGridItem(TCollection* Collection)
    : TCollectionItem(Collection)
    , FItems(std::make_unique<TStringList>())
{
}

TGridItem::~TGridItem() = default;

TBackGround::TBackGround(TDedOzovedUrad* AGrid)
    : FGrid(AGrid)
    , FBitmap(std::make_unique<TBitmap>())
{
}

TBackGround::~TBackGround() = default;

void TBackGround::InvalidateGrid()
{
    if (FGrid)
        FGrid->Invalidate();
}

void TBackGround::SetBitmap(TBitmap* Value)
{
    FBitmap->Assign(Value);
    InvalidateGrid();
}

void TBackGround::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TBackGround*>(Source);
    if (!S)
        return;
    FTop = S->FTop;
    FLeft = S->FLeft;
    FDisplay = S->FDisplay;
    FBitmap->Assign(S->FBitmap.get());
    FBackgroundCells = S->FBackgroundCells;
    FColor = S->FColor;
    FColorTo = S->FColorTo;
}
