#include "graphics/LumBitmap.h"

#include "foundation/VuzErazs.h"

QT_PUBLISHED(TLumBitmap)
QT_PUBLISHED(TLumScaledBitmap, QT_PROP(Bitmap), QT_PROP(BitmapName), QT_PROP(Scale))
QT_PUBLISHED(TLumScaledBitmaps)

TLumBitmap::TLumBitmap()
{
    RegisterLumSVGBitmap();
}

bool TLumBitmap::HasSVG() const
{
    auto* svg = dynamic_cast<TLumSVGBitmap*>(GetGraphic());
    return svg && svg->HasSVG();
}

TLumSVGImport* TLumBitmap::GetSVG() const
{
    return HasSVG() ? static_cast<TLumSVGBitmap*>(GetGraphic())->GetSVG() : nullptr;
}

std::unique_ptr<TLumBitmap> TLumBitmap::CreateFromStream(TStream& AStream)
{
    auto bitmap = std::make_unique<TLumBitmap>();
    bitmap->LoadFromStream(AStream);
    return bitmap;
}

std::unique_ptr<TLumBitmap> TLumBitmap::CreateFromResource(const String& AResourceName, HINSTANCE AInstance)
{
    auto bitmap = std::make_unique<TLumBitmap>();
    bitmap->LoadFromResource(AResourceName, AInstance);
    return bitmap;
}

void TLumBitmap::LoadFromResource(const String& AResourceName, HINSTANCE AInstance)
{
    if (!AInstance)
        AInstance = TVuzErazs::GetHInstance();
    if (auto stream = TVuzErazs::GetResourceStream(AResourceName, AInstance))
        LoadFromStream(*stream);
}

void TLumBitmap::LoadFromURL(const String& AURL)
{
    if (StrUpper(AURL).starts_with(u"HTTP")) {
        std::unique_ptr<TMemoryStream> stream;
        try {
            stream = TVuzErazs::DownloadImage(AURL);
        } catch (const Exception&) {
            return; // a failed download leaves the picture as it was
        }
        if (stream && stream->GetSize() > 0) {
            stream->SetPosition(0);
            LoadFromStream(*stream);
        }
        return;
    }
    LoadFromFile(AURL);
}

// ---- scaled bitmaps ----

TLumScaledBitmap::TLumScaledBitmap(TCollection* Collection)
    : TCollectionItem(Collection)
    , FBitmap(std::make_unique<TLumBitmap>())
{
    FBitmap->OnChange = [this](TObject*) { Changed(false); };
}

void TLumScaledBitmap::Assign(TPersistent* Source)
{
    if (auto* item = dynamic_cast<TLumScaledBitmap*>(Source)) {
        SetBitmap(item->GetBitmap());
        SetBitmapName(item->FBitmapName);
        SetScale(item->FScale);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TLumScaledBitmap::SetBitmap(TLumBitmap* Value)
{
    if (Value == FBitmap.get())
        return;
    FBitmap->Assign(Value);
    Changed(false);
}

void TLumScaledBitmap::SetBitmapName(const String& Value)
{
    if (Value == FBitmapName)
        return;
    FBitmapName = Value;
    Changed(false);
}

void TLumScaledBitmap::SetScale(float Value)
{
    if (Value == FScale)
        return;
    FScale = Value;
    Changed(false);
}

TLumScaledBitmaps::TLumScaledBitmaps(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TLumScaledBitmap::StaticClassInfo())
{
}

void TLumScaledBitmaps::Update(TCollectionItem* Item)
{
    TOwnedCollection::Update(Item);
    if (OnChange)
        OnChange(this);
}

TLumScaledBitmap* TLumScaledBitmaps::Add(float Scale)
{
    auto* item = static_cast<TLumScaledBitmap*>(TCollection::Add());
    item->SetScale(Scale);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::AddBitmap(TLumBitmap* Bitmap, float Scale)
{
    TLumScaledBitmap* item = Add(Scale);
    item->GetBitmap()->Assign(Bitmap);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::AddDrawBitmap(TGraphic* Bitmap, float Scale)
{
    TLumScaledBitmap* item = Add(Scale);
    item->GetBitmap()->Assign(Bitmap);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::AddBitmapFromFile(const String& FileName, float Scale)
{
    TLumScaledBitmap* item = Add(Scale);
    item->GetBitmap()->LoadFromFile(FileName);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::AddBitmapFromResource(const String& ResourceName, float Scale)
{
    return AddBitmapFromResource(ResourceName, TVuzErazs::GetHInstance(), Scale);
}

TLumScaledBitmap* TLumScaledBitmaps::AddBitmapFromResource(const String& ResourceName, HINSTANCE AInstance, float Scale)
{
    TLumScaledBitmap* item = Add(Scale);
    item->GetBitmap()->LoadFromResource(ResourceName, AInstance);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::AddBitmapName(const String& BitmapName, float Scale)
{
    TLumScaledBitmap* item = Add(Scale);
    item->SetBitmapName(BitmapName);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::Insert(int Index)
{
    return static_cast<TLumScaledBitmap*>(TCollection::Insert(Index));
}

TLumScaledBitmap* TLumScaledBitmaps::Insert(int Index, float Scale)
{
    TLumScaledBitmap* item = Insert(Index);
    item->SetScale(Scale);
    return item;
}

TLumScaledBitmap* TLumScaledBitmaps::GetItemByScale(float Scale) const
{
    TLumScaledBitmap* largest = nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        auto* item = GetItems(i);
        if (item->GetScale() == Scale)
            return item;
        if (item->GetScale() > 0 && (!largest || item->GetScale() > largest->GetScale()))
            largest = item;
    }
    return largest;
}

TLumBitmap* TLumScaledBitmaps::GetBitmapByScale(float Scale) const
{
    TLumScaledBitmap* item = GetItemByScale(Scale);
    return item ? item->GetBitmap() : nullptr;
}

void TLumScaledBitmaps::SetBitmaps(float Scale, TLumBitmap* Value)
{
    TLumScaledBitmap* target = nullptr;
    for (int i = 0; i < GetCount() && !target; ++i)
        if (GetItems(i)->GetScale() == Scale)
            target = GetItems(i);
    if (!target)
        target = Add(Scale);
    target->SetBitmap(Value);
}

// ---- the utilities' pictures made from text ----

namespace {

// The utilities cannot name this class; they make their pictures from text
// through these factories, registered wherever this library is linked in.
TVuzErazs::TLumBitmapPtr NewLumBitmap()
{
    return { new TLumBitmap, [](TLumBitmap* bitmap) { delete bitmap; } };
}

const bool BitmapFactoriesRegistered = [] {
    TVuzErazs::RegisterBitmapFactories(
        [](StringView ABase64, bool AURL) {
            auto bitmap = NewLumBitmap();
            TVuzErazs::LoadBitmapFromBase64(ABase64, bitmap.get(), AURL);
            return bitmap;
        },
        [](StringView AHexStr) {
            auto bitmap = NewLumBitmap();
            TVuzErazs::LoadBitmapFromHexStr(AHexStr, bitmap.get());
            return bitmap;
        });
    return true;
}();

} // namespace
