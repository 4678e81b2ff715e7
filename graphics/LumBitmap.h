#pragma once
// The picture used for textures, images and icons throughout the library:
// any registered format, SVG included, with loaders from streams, resources,
// files and web addresses; and sets of bitmaps for different display scales.

#include <memory>

#include "graphics/LumSVGBitmap.h"
#include "platform/rtl/Collection.h"
#include "platform/vcl/Graphics.h"

class TLumBitmap : public TPicture {
    QT_CLASS(TLumBitmap, TPicture)
public:
    TLumBitmap();

    // The graphic is an SVG picture with elements.
    virtual bool HasSVG() const;
    TLumSVGImport* GetSVG() const;

    static std::unique_ptr<TLumBitmap> CreateFromStream(TStream& AStream);
    static std::unique_ptr<TLumBitmap> CreateFromResource(const String& AResourceName, HINSTANCE AInstance = {});
    // Nothing happens when the module has no such resource.
    void LoadFromResource(const String& AResourceName, HINSTANCE AInstance = {});
    // http(s) addresses are downloaded (a failed download leaves the picture
    // as it was); anything else is a file name.
    void LoadFromURL(const String& AURL);
};

class TLumScaledBitmap : public TCollectionItem {
    QT_CLASS(TLumScaledBitmap, TCollectionItem)
public:
    explicit TLumScaledBitmap(TCollection* Collection = nullptr);
    void Assign(TPersistent* Source) override;

    TLumBitmap* GetBitmap() const { return FBitmap.get(); }
    void SetBitmap(TLumBitmap* Value);
    const String& GetBitmapName() const { return FBitmapName; }
    void SetBitmapName(const String& Value);
    float GetScale() const { return FScale; }
    void SetScale(float Value);
    bool IsScaleStored() const { return FScale != 1.0f; }

private:
    std::unique_ptr<TLumBitmap> FBitmap;
    float FScale { 1 };
    String FBitmapName;
};

class TLumScaledBitmaps : public TOwnedCollection {
    QT_CLASS(TLumScaledBitmaps, TOwnedCollection)
public:
    explicit TLumScaledBitmaps(TPersistent* AOwner = nullptr);

    TLumScaledBitmap* Add(float Scale = 1);
    TLumScaledBitmap* AddBitmap(TLumBitmap* Bitmap, float Scale = 1);
    TLumScaledBitmap* AddDrawBitmap(TGraphic* Bitmap, float Scale = 1);
    TLumScaledBitmap* AddBitmapFromFile(const String& FileName, float Scale = 1);
    TLumScaledBitmap* AddBitmapFromResource(const String& ResourceName, float Scale = 1);
    TLumScaledBitmap* AddBitmapFromResource(const String& ResourceName, HINSTANCE AInstance, float Scale);
    TLumScaledBitmap* AddBitmapName(const String& BitmapName, float Scale = 1);
    TLumScaledBitmap* Insert(int Index);
    TLumScaledBitmap* Insert(int Index, float Scale);
    TLumScaledBitmap* GetItems(int Index) const { return static_cast<TLumScaledBitmap*>(GetItem(Index)); }

    // The item of exactly that scale, else the one of the largest positive
    // scale (the first of equals); nullptr when there is none.
    TLumScaledBitmap* GetItemByScale(float Scale) const;
    TLumBitmap* GetBitmapByScale(float Scale) const;
    TLumBitmap* GetBitmaps(float Scale) const { return GetBitmapByScale(Scale); }
    // Copies the bitmap into the item of exactly that scale, adding one when
    // there is none: a nearest-scale fallback would overwrite another scale.
    void SetBitmaps(float Scale, TLumBitmap* Value);

    void Update(TCollectionItem* Item) override;
    TNotifyEvent OnChange;
};
