#include "grid/core/GridCompanions.h"

#include "grid/core/DedOzovedUrad.h"

QT_PUBLISHED(TGridItemCells)
QT_PUBLISHED(TGridItem, QT_PROP(Idx), QT_PROP(Height), QT_PROP(Items), QT_PROP(Level))
QT_PUBLISHED(TBackGround, QT_PROP(Top), QT_PROP(Left), QT_PROP(Display), QT_PROP(Cells),
    QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(Color, u"TColor"), QT_PROP(Bitmap))
QT_PUBLISHED(TGridChangeNotifier)

TGridItem::TGridItem(TCollection* Collection)
    : TCollectionItem(Collection)
{
}

TStrings* TGridItem::GetItems() const
{
    if (!FItemsView)
        FItemsView = std::make_unique<TGridItemCells>(const_cast<TStringGrid::TStoredRow&>(FCells));
    return FItemsView.get();
}

void TGridItemCells::Check(int index, int Limit) const
{
    if (index < 0 || index >= Limit)
        Error(u"List index out of bounds (%d)", index);
}

void TGridItemCells::Insert(int index, const String& s)
{
    Check(index, GetCount() + 1);
    FRow.insert(FRow.begin() + index, TStringGrid::TCellSlot { s, nullptr });
}

void TGridItemCells::Delete(int index)
{
    Check(index, GetCount());
    FRow.erase(FRow.begin() + index);
}

String TGridItemCells::Get(int index) const
{
    Check(index, GetCount());
    return FRow[std::size_t(index)].Text;
}

void TGridItemCells::Put(int index, const String& s)
{
    Check(index, GetCount());
    FRow[std::size_t(index)].Text = s;
}

TObject* TGridItemCells::GetObject(int index) const
{
    Check(index, GetCount());
    return FRow[std::size_t(index)].Object;
}

void TGridItemCells::PutObject(int index, TObject* obj)
{
    Check(index, GetCount());
    FRow[std::size_t(index)].Object = obj;
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
