#include "richtext/PictureContainer.h"

#include <algorithm>

#include "foundation/VuzErazs.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Controls.h"
#include "richtext/GDIPPicture.h"

using namespace LumGDIP;

QT_PUBLISHED(THTMLPicture)
QT_PUBLISHED(TPictureItem, QT_PROP(Picture), QT_PROP(Name), QT_PROP_T(Tag, u"NativeInt"))
QT_PUBLISHED(TPictureCollection)
QT_PUBLISHED(TPictureContainer, QT_PROP(Items), QT_PROP(Version), QT_EVENT(OnChange))

namespace {

const Byte* Bytes(TMemoryStream& s) { return static_cast<const Byte*>(s.GetMemory()); }

// A little-endian 16-bit word at p, 0 where the data ends before it.
Word WordAt(TMemoryStream& s, Int64 p)
{
    if (p < 0 || p + 2 > s.GetSize())
        return 0;
    return Word(Bytes(s)[p] | (Bytes(s)[p + 1] << 8));
}

bool HasPrefix(const String& s, StringView prefix)
{
    return s.size() >= prefix.size() && AnsiSameText(StringView(s).substr(0, prefix.size()), prefix);
}

bool IsKnownImage(TStream& Stream) { return !TVuzErazs::GetImageType(Stream, false).empty(); }

// Frames are counted in 32 bits; beyond that the counters start again from
// the same relation instead of overflowing.
constexpr int CounterLimit = 100'000'000;

} // namespace

// ---- THTMLPicture ----

THTMLPicture::THTMLPicture() { FTransparent = true; }

THTMLPicture::~THTMLPicture() = default;

bool THTMLPicture::HasSVG() const { return FHoldsSVG; }

bool THTMLPicture::GetEmpty() const { return FHoldsSVG ? Inherited::GetEmpty() : FIsEmpty; }

int THTMLPicture::GetWidth() const { return FHoldsSVG ? Inherited::GetWidth() : FWidth; }

int THTMLPicture::GetHeight() const { return FHoldsSVG ? Inherited::GetHeight() : FHeight; }

void THTMLPicture::DataChanged()
{
    FFrameCount = -1;
    FFramePositions.clear();
    FNextCount = -1;
    FTimerCount = -1;
    FSizeKnown = false;
    FUndecodable = false;
}

void THTMLPicture::ClearSVG()
{
    GetSVG()->Clear();
    GetSourceStream().Clear();
    FHoldsSVG = false;
}

void THTMLPicture::ClearData()
{
    FDatastream.Clear();
    DataChanged();
}

void THTMLPicture::TakeRasterData(TStream& Stream)
{
    ClearSVG();
    FDatastream.Clear();
    const Int64 remaining = Stream.GetSize() - Stream.GetPosition();
    if (remaining > 0)
        FDatastream.CopyFrom(Stream, remaining);
    FDatastream.SetPosition(0);
    DataChanged();
}

void THTMLPicture::TakeSVGSource(TStream& Stream)
{
    ClearData();
    TMemoryStream& source = GetSourceStream();
    GetSVG()->Clear();
    source.Clear();
    const Int64 remaining = Stream.GetSize() - Stream.GetPosition();
    if (remaining > 0)
        source.CopyFrom(Stream, remaining);
    FHoldsSVG = source.GetSize() > 0;
    source.SetPosition(0);
    try {
        GetSVG()->LoadFromStream(source);
    } catch (const Exception&) {
        // Bad SVG text keeps its source (saved unchanged) and draws what parsed.
    }
}

void THTMLPicture::LoadFromFile(const String& FileName)
{
    try {
        TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
        if (IsKnownImage(file))
            TakeRasterData(file);
        else
            TakeSVGSource(file);
        FIsEmpty = DataIsEmpty() && !FHoldsSVG;
        RefreshFrame();
    } catch (const Exception&) {
        // A file that cannot be read leaves no half of an older picture behind.
        ClearSVG();
        ClearData();
        FIsEmpty = true;
    }
    Changed();
}

void THTMLPicture::LoadFromStream(TStream& Stream)
{
    if (IsKnownImage(Stream))
        TakeRasterData(Stream);
    else
        TakeSVGSource(Stream);
    FIsEmpty = DataIsEmpty() && !FHoldsSVG;
    RefreshFrame();
    Changed();
}

void THTMLPicture::ReadData(TStream& Stream)
{
    if (!IsSVGFormData(Stream) && IsKnownImage(Stream)) {
        TakeRasterData(Stream);
    } else {
        ClearData();
        Inherited::ReadData(Stream);
        FHoldsSVG = GetSourceStream().GetSize() > 0;
    }
    FIsEmpty = DataIsEmpty() && !FHoldsSVG;
    RefreshFrame();
}

void THTMLPicture::SaveToStream(TStream& Stream)
{
    if (FHoldsSVG)
        Inherited::SaveToStream(Stream);
    else if (!DataIsEmpty())
        Stream.WriteBuffer(FDatastream.GetMemory(), FDatastream.GetSize());
}

void THTMLPicture::WriteData(TStream& Stream)
{
    if (FHoldsSVG)
        Inherited::WriteData(Stream);
    else
        SaveToStream(Stream);
}

TImageFrame THTMLPicture::GetImageFrame()
{
    if (FHoldsSVG)
        return Inherited::GetImageFrame();
    return FIsEmpty ? TImageFrame {} : FirstFrameOfBytes(FDatastream);
}

void THTMLPicture::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    FIsEmpty = true;
    FFrameCount = -1;
    FNextCount = -1;
    FTimerCount = -1;
    SetFrame(1);
    if (!Source) {
        ClearSVG();
        ClearData();
        Changed();
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        Source = picture->GetGraphic();
        if (!Source) {
            Assign(nullptr);
            return;
        }
    }
    if (auto* html = dynamic_cast<THTMLPicture*>(Source)) {
        FStretched = html->FStretched;
        FFrame = html->FFrame;
        FID = html->FID;
        if (html->FHoldsSVG) {
            ClearData();
            html->GetSourceStream().SetPosition(0);
            TakeSVGSource(html->GetSourceStream());
        } else {
            html->FDatastream.SetPosition(0);
            TakeRasterData(html->FDatastream);
        }
        // Only a source that holds something makes this picture non-empty.
        FIsEmpty = DataIsEmpty() && !FHoldsSVG;
        RefreshFrame();
        Changed();
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        TMemoryStream stream;
        graphic->SaveToStream(stream);
        stream.SetPosition(0);
        LoadFromStream(stream);
        return;
    }
    Inherited::Assign(Source);
}

void THTMLPicture::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (!ACanvas)
        return;
    if (FHoldsSVG) {
        Inherited::Draw(ACanvas, Rect);
        return;
    }
    if (FIsEmpty || FUndecodable)
        return;
    // Painting never raises: a picture that cannot be decoded draws nothing.
    try {
        auto image = DecodePictureBytes(FDatastream);
        if (!image) {
            FUndecodable = true;
            return;
        }
        if (image->GetFormat() == ifBMP) {
            auto bmp = AutoTransparentBitmap(FDatastream);
            bmp->SetTransparent(GetTransparent());
            ACanvas->StretchDraw(Rect, bmp.get());
            return;
        }
        TGPGraphics graphics(ACanvas->GetHandle());
        // Stretching blends edge pixels outward; the picture keeps to its box.
        TGPRegion box(TGPRectF { float(Rect.Left), float(Rect.Top), float(Rect.Width()), float(Rect.Height()) });
        graphics.SetClip(&box, CombineModeIntersect);
        graphics.DrawImageRect(image.get(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    } catch (const Exception&) {
    }
}

void THTMLPicture::DrawSVG(TCanvas* ACanvas, int X, int Y, int W, int H)
{
    if (ACanvas && FHoldsSVG)
        GetSVG()->Draw(ACanvas, TRectF(float(X), float(Y), float(X) + float(W), float(Y) + float(H)), true);
}

void THTMLPicture::LoadFromResourceName(HINSTANCE Instance, const String& ResName)
{
    if (!FindResource(HMODULE(Instance), ResName.c_str(), RT_RCDATA))
        return;
    TResourceStream stream(Instance, ResName, RT_RCDATA);
    LoadFromStream(stream);
}

void THTMLPicture::LoadFromResourceID(HINSTANCE Instance, int ResID)
{
    auto stream = TResourceStream::CreateFromID(Instance, ResID, RT_RCDATA);
    LoadFromStream(*stream);
}

void THTMLPicture::LoadFromURL(const String& url)
{
    if (HasPrefix(url, u"RES://")) {
        FID = url;
        const String name = url.substr(6);
        if (!name.empty())
            LoadFromResourceName(nullptr, name);
    } else if (HasPrefix(url, u"FILE://")) {
        FID = url;
        LoadFromFile(url.substr(7));
    } else if (!FAsynch) {
        FURL = url;
        FID = url;
    } else if (!FThreadBusy) {
        FURL = url;
        FThreadBusy = true;
        TDownLoadThread::Start(this);
    }
}

bool THTMLPicture::GetIsGIF() const
{
    auto& data = const_cast<TMemoryStream&>(FDatastream);
    return data.GetSize() >= 5 && std::equal(Bytes(data), Bytes(data) + 4, "GIF8");
}

void THTMLPicture::CountFrames()
{
    FFramePositions.clear();
    const Byte* b = Bytes(FDatastream);
    const Int64 size = FDatastream.GetSize();
    // A graphic control extension (21 F9 04, five bytes) right before an
    // image descriptor (2C).
    for (Int64 p = 0; p + 9 < size; ++p)
        if (b[p] == 0x21 && b[p + 1] == 0xF9 && b[p + 2] == 4 && b[p + 8] == 0x2C)
            FFramePositions.push_back(p);
    FFrameCount = int(FFramePositions.size());
}

int THTMLPicture::GetFrameCount()
{
    if (!GetIsGIF())
        return -1;
    if (FFrameCount < 0)
        CountFrames();
    return FFrameCount;
}

int THTMLPicture::GetFrameTime(int i)
{
    if (GetFrameCount() < 0 || i < 1 || i > FFrameCount)
        return -1;
    return WordAt(FDatastream, FFramePositions[std::size_t(i - 1)] + 4);
}

void THTMLPicture::RefreshFrame()
{
    if (FHoldsSVG || DataIsEmpty())
        return;
    FFrameXPos = 0;
    FFrameYPos = 0;
    // Frames are known only once counted; until then the picture stays at its origin.
    if (GetIsGIF() && FFrameCount >= 1 && FFrame >= 1 && FFrame <= FFrameCount) {
        const Int64 descriptor = FFramePositions[std::size_t(FFrame - 1)] + 8;
        FFrameXPos = WordAt(FDatastream, descriptor + 1);
        FFrameYPos = WordAt(FDatastream, descriptor + 3);
    }
    if (FSizeKnown)
        return;
    FWidth = 0;
    FHeight = 0;
    if (FUndecodable)
        return;
    auto image = DecodePictureBytes(FDatastream);
    if (!image) {
        FUndecodable = true;
        return;
    }
    FWidth = int(image->GetWidth());
    FHeight = int(image->GetHeight());
    FSizeKnown = true;
}

void THTMLPicture::SetFrame(int Value)
{
    FFrame = Value;
    if (DataIsEmpty())
        return;
    RefreshFrame();
    if (OnFrameChange)
        OnFrameChange(this);
}

void THTMLPicture::FrameNext()
{
    FFrame = FFrame >= FFrameCount ? 1 : FFrame + 1;
}

void THTMLPicture::FramePrev()
{
    // Without counted frames there is nothing to go back to.
    FFrame = FFrame > 1 ? FFrame - 1 : std::max(FFrameCount, 1);
}

bool THTMLPicture::Step()
{
    if (FFrameCount < 2 || FIsEmpty)
        return false;
    if (FNextCount == -1)
        FNextCount = std::max(GetFrameTime(FFrame), 0);
    if (FTimerCount >= CounterLimit) {
        const int rebase = FTimerCount / 2;
        FTimerCount -= rebase;
        FNextCount -= rebase * 10;
    }
    if (Int64(FTimerCount) * 10 < FNextCount) {
        ++FTimerCount;
        return false;
    }
    FrameNext();
    RefreshFrame();
    FNextCount += std::max(GetFrameTime(FFrame), 0);
    ++FTimerCount;
    return true;
}

// ---- TDownLoadThread ----

void TDownLoadThread::Start(THTMLPicture* aHTMLPicture)
{
    auto* thread = new TDownLoadThread(aHTMLPicture);
    thread->SetFreeOnTerminate(true);
    try {
        thread->TThread::Start();
    } catch (...) {
        delete thread;
        throw;
    }
}

// ---- THTMLPictureCache ----

THTMLPictureCache::~THTMLPictureCache() { ClearPictures(); }

THTMLPicture* THTMLPictureCache::AddPicture()
{
    FItems.push_back(std::make_unique<THTMLPicture>());
    return FItems.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const String& ID) const
{
    for (const auto& p : FItems)
        if (p && p->GetID() == ID)
            return p.get();
    return nullptr;
}

void THTMLPictureCache::ClearPictures() { FItems.clear(); }

bool THTMLPictureCache::Animate()
{
    bool changed = false;
    for (const auto& p : FItems)
        changed = (p && p->Step()) || changed;
    return changed;
}

THTMLPicture* THTMLPictureCache::GetPicture(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        RaiseListIndexError(Index);
    return FItems[std::size_t(Index)].get();
}

void THTMLPictureCache::SetPicture(int Index, THTMLPicture* Value)
{
    if (GetPicture(Index) == Value)
        return;
    // Owning one picture twice would free it twice.
    if (Value && std::any_of(FItems.begin(), FItems.end(), [Value](const auto& p) { return p.get() == Value; }))
        throw EListError(u"The picture is already in the cache");
    FItems[std::size_t(Index)].reset(Value);
}

// ---- TPictureItem ----

TPictureItem::TPictureItem(TCollection* Collection) : TCollectionItem(Collection) { }

TPictureItem::~TPictureItem() = default;

std::unique_ptr<TGraphic> TPictureItem::CreatePicture() { return std::make_unique<THTMLPicture>(); }

TGraphic* TPictureItem::GetPicture()
{
    // Made on first use, so a descendant's CreatePicture is the one called.
    if (!FPicture)
        FPicture = CreatePicture();
    return FPicture.get();
}

void TPictureItem::SetPicture(TGraphic* Value)
{
    if (Value != GetPicture())
        GetPicture()->Assign(Value);
}

void TPictureItem::Assign(TPersistent* Source)
{
    auto* item = dynamic_cast<TPictureItem*>(Source);
    if (!item) {
        Inherited::Assign(Source);
        return;
    }
    FName = item->FName;
    FTag = item->FTag;
    SetPicture(item->GetPicture());
}

TPictureContainer* TPictureItem::Container() const
{
    return GetCollection() ? dynamic_cast<TPictureContainer*>(GetCollection()->GetOwner()) : nullptr;
}

TPicture* TPictureItem::Bitmap()
{
    TPictureContainer* container = Container();
    return container ? container->ScratchPictureOf(GetPicture()) : nullptr;
}

// ---- TPictureCollection ----

TPictureCollection::TPictureCollection(TComponent* AOwner) : TLumOwnedCollection(AOwner) { }

bool TPictureCollection::Animate()
{
    bool changed = false;
    for (TPictureItem* item : *this)
        if (auto* picture = dynamic_cast<THTMLPicture*>(item->GetPicture()))
            changed = picture->Step() || changed;
    return changed;
}

// ---- TPictureContainer ----

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner)
    , FItems(CreateItems())
{
}

TPictureContainer::~TPictureContainer()
{
    Destroying();
    FControls.clear();
}

std::unique_ptr<TPictureCollection> TPictureContainer::CreateItems()
{
    return std::make_unique<TPictureCollection>(this);
}

void TPictureContainer::SetItems(TPictureCollection* Value)
{
    // The container keeps its own collection: a collection handed over stays
    // its giver's, and only its items are copied.
    if (Value && Value != FItems.get())
        FItems->Assign(Value);
}

int TPictureContainer::GetVersionNr() const
{
    return int((2u << 24) | (1u << 16) | (1u << 8) | 0u);
}

String TPictureContainer::GetVersion() const
{
    const auto v = std::uint32_t(GetVersionNr());
    return IntToStr(int(v >> 24)) + u"." + IntToStr(int((v >> 16) & 0xFF)) + u"." + IntToStr(int((v >> 8) & 0xFF)) + u"."
        + IntToStr(int(v & 0xFF));
}

TPictureItem* TPictureContainer::FindItem(const String& s) const
{
    for (TPictureItem* item : *FItems)
        if (AnsiSameText(item->GetName(), s))
            return item;
    return nullptr;
}

TGraphic* TPictureContainer::FindPicture(const String& s)
{
    TPictureItem* item = FindItem(s);
    return item ? item->GetPicture() : nullptr;
}

TPicture* TPictureContainer::ScratchPictureOf(TGraphic* graphic)
{
    FPicture.reset();
    FPicture = std::make_unique<TPicture>();
    FPicture->SetGraphic(graphic);
    return FPicture.get();
}

TPicture* TPictureContainer::FindBitmap(const String& s)
{
    FPicture.reset();
    TPictureItem* item = FindItem(s);
    return item ? ScratchPictureOf(item->GetPicture()) : nullptr;
}

void TPictureContainer::Changed()
{
    // A control repainting may register or leave; walk a copy.
    const std::vector<TControl*> controls = FControls;
    for (TControl* control : controls)
        if (std::find(FControls.begin(), FControls.end(), control) != FControls.end())
            control->Invalidate();
    if (OnChange)
        OnChange(this);
}

void TPictureContainer::RegisterControl(TControl* AControl)
{
    if (!AControl)
        return;
    FControls.push_back(AControl);
    // A control on another form would otherwise go unnoticed when freed.
    AControl->FreeNotification(this);
}

void TPictureContainer::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove)
        std::erase_if(FControls, [AComponent](TControl* c) { return static_cast<TComponent*>(c) == AComponent; });
    Inherited::Notification(AComponent, Operation);
}
