#pragma once
// The pictures mini-HTML markup refers to: THTMLPicture keeps an image
// file's bytes (or SVG source), draws through GDI+ and knows the frames of an
// animated GIF; THTMLPictureCache holds the pictures made on demand for
// picture addresses; TPictureContainer holds named pictures for a form.

#include <functional>
#include <memory>
#include <vector>

#include "graphics/LumGraphicsPictureSource.h"
#include "graphics/LumOwnedCollection.h"
#include "graphics/LumSVGBitmap.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Threads.h"
#include "platform/vcl/Graphics.h"

class TControl;

using TDownloadProgressEvent = std::function<void(TObject* Sender, DWORD dwSize, DWORD dwTotSize)>;
using TDownloadCancelEvent = std::function<void(TObject* Sender, bool& Cancel)>;
using TDownloadCompleteEvent = std::function<void(TObject* Sender)>;
using TDownloadErrorEvent = std::function<void(TObject* Sender, const String& err)>;

class THTMLPicture : public TLumSVGBitmap {
    QT_CLASS(THTMLPicture, TLumSVGBitmap)
public:
    THTMLPicture();
    ~THTMLPicture() override;

    void Assign(TPersistent* Source) override;
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) override;
    // SVG through the SVG document; raster data stretched into Rect (a GIF
    // shows its first frame).
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() const override;
    int GetHeight() const override;
    int GetWidth() const override;
    // The size follows from the data.
    void SetHeight(int) override { }
    void SetWidth(int) override { }
    // A file that is not a known image is read as SVG; a failure leaves the
    // picture empty and raises nothing.
    void LoadFromFile(const String& FileName) override;
    void LoadFromStream(TStream& Stream) override;
    // The SVG source when SVG is held, else the data bytes unchanged.
    void SaveToStream(TStream& Stream) override;
    TImageFrame GetImageFrame() override;
    bool HasSVG() const override;

    virtual void DrawSVG(TCanvas* ACanvas, int X, int Y, int W, int H);

    // An RCDATA resource; nothing when it does not exist.
    void LoadFromResourceName(HINSTANCE Instance, const String& ResName);
    // A numbered RCDATA resource; a missing one raises EResNotFound.
    void LoadFromResourceID(HINSTANCE Instance, int ResID);
    // "RES://name" and "FILE://path" (prefixes in any case) load at once and
    // set ID to the address; any other address is remembered in ID (when not
    // Asynch) or handed to a download worker (when Asynch).
    void LoadFromURL(const String& url);

    // The delay of frame i (1-based) in hundredths of a second; -1 when the
    // data is not a GIF or has no such frame.
    int GetFrameTime(int i);
    int GetMaxWidth() const { return GetWidth(); }
    int GetMaxHeight() const { return GetHeight(); }
    int GetFrame() const { return FFrame; }
    void SetFrame(int Value);
    // Advance or go back one frame, wrapping; neither refreshes nor notifies.
    void FrameNext();
    void FramePrev();
    // One 100 ms animation tick; true when the picture moved to another frame.
    bool Step();

    // -1 when the data is not a GIF; else the number of frames (each a
    // graphic control extension right before an image descriptor), counted once.
    int GetFrameCount();
    bool GetIsGIF() const;
    Word GetFrameXPos() const { return FFrameXPos; }
    Word GetFrameYPos() const { return FFrameYPos; }

    bool GetStretch() const { return FStretched; }
    void SetStretch(bool Value) { FStretched = Value; }
    const String& GetID() const { return FID; }
    void SetID(const String& Value) { FID = Value; }
    bool GetIsDB() const { return FIsDB; }
    void SetIsDB(bool Value) { FIsDB = Value; }
    bool GetAsynch() const { return FAsynch; }
    void SetAsynch(bool Value) { FAsynch = Value; }
    bool GetBusy() const { return FThreadBusy; }
    const String& GetURL() const { return FURL; }

    TNotifyEvent OnFrameChange;
    TDownloadProgressEvent OnDownLoadProgress;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadErrorEvent OnDownLoadError;

private:
    // Width, height and the current frame's offset from the data.
    void RefreshFrame();
    // Takes raster bytes (dropping SVG) or, for anything else, SVG source.
    void TakeRasterData(TStream& Stream);
    void TakeSVGSource(TStream& Stream);
    void ClearSVG();
    void ClearData();
    // Finds the frames of GIF data once: FFrameCount and where each frame's
    // graphic control extension starts.
    void CountFrames();
    // Forgets what was derived from the data when the data changes.
    void DataChanged();
    bool DataIsEmpty() { return FDatastream.GetSize() == 0; }

    TMemoryStream FDatastream;
    bool FIsEmpty { true };
    bool FStretched { false };
    String FURL;
    String FID;
    int FHeight { 0 };
    int FWidth { 0 };
    bool FIsDB { false };
    bool FAsynch { true };
    bool FThreadBusy { false };
    int FFrame { 1 };
    int FFrameCount { -1 };
    std::vector<Int64> FFramePositions;
    Word FFrameXPos { 0 };
    Word FFrameYPos { 0 };
    int FNextCount { -1 };
    int FTimerCount { -1 };
    // Whether SVG source is held (rather than raster bytes).
    bool FHoldsSVG { false };
    // The decoded size is kept while the data stays the same; data that
    // failed to decode is not decoded again at every tick or paint.
    bool FSizeKnown { false };
    bool FUndecodable { false };
};

// The worker started for an asynchronous picture address. It frees itself
// when it ends and touches nothing: no download happens.
class TDownLoadThread : public TThread {
public:
    // Starts the worker at once; the caller must not touch it afterwards.
    static void Start(THTMLPicture* aHTMLPicture);
    THTMLPicture* HTMLPicture { nullptr };

protected:
    void Execute() override { }

private:
    explicit TDownLoadThread(THTMLPicture* aHTMLPicture) : HTMLPicture(aHTMLPicture) { }
};

// The pictures the markup engine made for picture addresses; owns them.
class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    ~THTMLPictureCache();
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    THTMLPicture* AddPicture();
    // The first picture whose ID equals ID exactly (letter case counts).
    THTMLPicture* FindPicture(const String& ID) const;
    void ClearPictures();
    // Steps every picture; true when any changed frame.
    bool Animate();

    int GetCount() const { return int(FItems.size()); }
    int Count() const { return GetCount(); }
    // Raises EListError for an index out of range.
    THTMLPicture* GetPicture(int Index) const;
    // Replaces (and frees) the picture at Index with Value, which the cache then owns.
    void SetPicture(int Index, THTMLPicture* Value);
    THTMLPicture* operator[](int Index) const { return GetPicture(Index); }

private:
    std::vector<std::unique_ptr<THTMLPicture>> FItems;
};

class TPictureContainer;

class TPictureItem : public TCollectionItem {
    QT_CLASS(TPictureItem, TCollectionItem)
public:
    explicit TPictureItem(TCollection* Collection = nullptr);
    ~TPictureItem() override;
    // Source must be a picture item: copies name, tag and picture.
    void Assign(TPersistent* Source) override;

    TGraphic* GetPicture();
    void SetPicture(TGraphic* Value);
    const String& GetName() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    std::intptr_t GetTag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }
    String GetDisplayName() const override { return FName.empty() ? Inherited::GetDisplayName() : FName; }

    // The picture as a platform picture, held by the container until its
    // next Bitmap/FindBitmap; nullptr without a container.
    TPicture* Bitmap();
    TPictureContainer* Container() const;

protected:
    virtual std::unique_ptr<TGraphic> CreatePicture();

private:
    std::unique_ptr<TGraphic> FPicture;
    std::intptr_t FTag { 0 };
    String FName;
};

class TPictureCollection : public TLumOwnedCollection<TPictureItem> {
    QT_CLASS(TPictureCollection, TOwnedCollection)
public:
    explicit TPictureCollection(TComponent* AOwner);

    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    TPictureItem* Insert(int Index) { return static_cast<TPictureItem*>(TCollection::Insert(Index)); }
    TPictureItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TPictureItem* Value) { GetItem(Index)->Assign(Value); }
    TPictureItem* operator[](int Index) const { return GetItem(Index); }
    // Steps every item's picture that can animate; true when any changed frame.
    bool Animate();
};

class TPictureContainer : public TComponent, public TLumGraphicsPictureSource {
    QT_CLASS(TPictureContainer, TComponent)
public:
    explicit TPictureContainer(TComponent* AOwner = nullptr);
    ~TPictureContainer() override;

    TPictureCollection* GetItems() const { return FItems.get(); }
    // Copies the items of Value (the container keeps its own collection).
    void SetItems(TPictureCollection* Value);
    // The version number as "a.b.c.d", highest byte first.
    String GetVersion() const;
    void SetVersion(const String&) { }

    // The picture of the first item named s (ignoring case); owned by the item.
    virtual TGraphic* FindPicture(const String& s);
    // A platform picture copied from the first item named s (ignoring case),
    // valid until the next FindBitmap or Bitmap call or the container's end.
    TPicture* FindBitmap(const String& s) override;
    // Invalidates every registered control, then fires OnChange.
    virtual void Changed();
    virtual int GetVersionNr() const;

    // Listed once per call; a control leaving is taken out of the list.
    void RegisterControl(TControl* AControl);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    const std::vector<TControl*>& GetControls() const { return FControls; }

    TNotifyEvent OnChange;

protected:
    virtual std::unique_ptr<TPictureCollection> CreateItems();

private:
    friend class TPictureItem;
    // Replaces the scratch picture by a copy of graphic.
    TPicture* ScratchPictureOf(TGraphic* graphic);
    TPictureItem* FindItem(const String& s) const;
    void CopyItemsFrom(TPictureCollection* Value);

    std::vector<TControl*> FControls;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TPictureCollection> FItems;
};
