#include "grid/core/GridCompanions.h"

#include <cstddef>
#include <mutex>
#include <vector>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

#include "grid/core/DedOzovedUrad.h"

QT_PUBLISHED(TGridItemCells)
QT_PUBLISHED(TGridItem, QT_PROP(Idx), QT_PROP(Height), QT_PROP(Items), QT_PROP(Level))
QT_PUBLISHED(TBackGround, QT_PROP(Top), QT_PROP(Left), QT_PROP(Display), QT_PROP(Cells),
    QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(Color, u"TColor"), QT_PROP(Bitmap))
QT_PUBLISHED(TGridChangeNotifier)

namespace {

// Blocks of one item size, handed out from a free list; a chunk of them is
// taken from the heap when the list runs dry and is never given back. Under
// the address sanitizer a free block is poisoned, so a use after delete is
// still caught.
class TItemPool {
public:
    void* Take()
    {
        std::lock_guard Lock(FMutex);
        if (!FFree) {
            constexpr std::size_t PerChunk = 1024;
            auto* Chunk = static_cast<TBlock*>(::operator new(PerChunk * sizeof(TBlock)));
            FChunks.push_back(Chunk);
            for (std::size_t i = 0; i < PerChunk; ++i)
                Chunk[i].Next = i + 1 < PerChunk ? &Chunk[i + 1] : nullptr;
            POOL_POISON(Chunk, PerChunk * sizeof(TBlock));
            FFree = Chunk;
        }
        TBlock* Block = FFree;
        POOL_UNPOISON(Block, sizeof(TBlock));
        FFree = Block->Next;
        return Block;
    }
    void Give(void* Block)
    {
        std::lock_guard Lock(FMutex);
        auto* B = static_cast<TBlock*>(Block);
        B->Next = FFree;
        FFree = B;
        POOL_POISON(B, sizeof(TBlock));
    }

private:
    union TBlock {
        TBlock* Next;
        alignas(TGridItem) std::byte Item[sizeof(TGridItem)];
    };
    std::mutex FMutex;
    TBlock* FFree { nullptr };
    // Every chunk, so a leak checker that does not read poisoned free
    // blocks still sees the chunks as held.
    std::vector<TBlock*> FChunks;
};

// Outlives every grid, the static ones included.
TItemPool& ItemPool()
{
    static TItemPool* Pool = new TItemPool;
    return *Pool;
}

} // namespace

void* TGridItem::operator new(std::size_t Size)
{
    // A derived item class with fields of its own takes the heap's blocks.
    return Size == sizeof(TGridItem) ? ItemPool().Take() : ::operator new(Size);
}

void TGridItem::operator delete(void* Block, std::size_t Size)
{
    if (!Block)
        return;
    if (Size == sizeof(TGridItem))
        ItemPool().Give(Block);
    else
        ::operator delete(Block);
}

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
