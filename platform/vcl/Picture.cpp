#include <algorithm>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/GIFImg.h"
#include "platform/vcl/GraphicStreams.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/JPEG.h"
#include "platform/vcl/PngImage.h"
#include "platform/vcl/WICImage.h"

namespace {

struct TFileFormat {
    String Extension; // lower case, no dot
    String Description;
    TGraphicClass GraphicClass { nullptr };
    TCanLoadFromStream CanLoad { nullptr };
};

struct TFormatRegistry {
    std::mutex Lock;
    std::vector<TFileFormat> Formats;
};

String NormalExtension(const String& extension)
{
    String e = extension;
    if (!e.empty() && e.front() == u'.')
        e.erase(0, 1);
    return StrLower(e);
}

void AddFormat(TFormatRegistry& r, const String& ext, const String& desc, TGraphicClass cls, TCanLoadFromStream probe)
{
    r.Formats.push_back({ NormalExtension(ext), desc, cls, probe });
}

// The registry with the formats of this library, made on first use so that
// other libraries may register theirs from their own start-up code.
TFormatRegistry& Registry()
{
    static TFormatRegistry* r = [] {
        auto* reg = new TFormatRegistry;
        AddFormat(*reg, u"bmp", u"Bitmaps", TBitmap::StaticClassInfo(), &TBitmap::CanLoadFromStream);
        AddFormat(*reg, u"ico", u"Icons", TIcon::StaticClassInfo(), &TIcon::CanLoadFromStream);
        AddFormat(*reg, u"cur", u"Cursors", TIcon::StaticClassInfo(), &TIcon::CanLoadFromStream);
        AddFormat(*reg, u"png", u"Portable Network Graphics", TPngImage::StaticClassInfo(), &TPngImage::CanLoadFromStream);
        AddFormat(*reg, u"jpg", u"JPEG Image File", TJPEGImage::StaticClassInfo(), &TJPEGImage::CanLoadFromStream);
        AddFormat(*reg, u"jpeg", u"JPEG Image File", TJPEGImage::StaticClassInfo(), &TJPEGImage::CanLoadFromStream);
        AddFormat(*reg, u"jpe", u"JPEG Image File", TJPEGImage::StaticClassInfo(), &TJPEGImage::CanLoadFromStream);
        AddFormat(*reg, u"jfif", u"JPEG Image File", TJPEGImage::StaticClassInfo(), &TJPEGImage::CanLoadFromStream);
        AddFormat(*reg, u"gif", u"GIF Image", TGIFImage::StaticClassInfo(), &TGIFImage::CanLoadFromStream);
        AddFormat(*reg, u"tif", u"TIFF Image", TWICImage::StaticClassInfo(), &TWICImage::CanLoadFromStream);
        AddFormat(*reg, u"tiff", u"TIFF Image", TWICImage::StaticClassInfo(), &TWICImage::CanLoadFromStream);
        return reg;
    }();
    return *r;
}

std::vector<TFileFormat> Snapshot()
{
    auto& r = Registry();
    std::lock_guard guard(r.Lock);
    return r.Formats;
}

} // namespace

QT_PUBLISHED(TPicture)

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const String& extension, const String& description, TGraphicClass graphicClass,
    TCanLoadFromStream canLoad)
{
    if (!graphicClass || NormalExtension(extension).empty())
        throw EInvalidGraphic(u"A picture format needs an extension and a graphic class");
    auto& r = Registry();
    std::lock_guard guard(r.Lock);
    AddFormat(r, extension, description, graphicClass, canLoad);
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass)
{
    auto& r = Registry();
    std::lock_guard guard(r.Lock);
    std::erase_if(r.Formats, [&](const TFileFormat& f) { return f.GraphicClass == graphicClass; });
}

TGraphicClass TPicture::FindGraphicClassByExtension(const String& extension)
{
    const String ext = NormalExtension(extension);
    for (const auto& f : Snapshot())
        if (f.Extension == ext)
            return f.GraphicClass;
    return nullptr;
}

TGraphicClass TPicture::FindGraphicClassByStream(TStream& stream)
{
    const Int64 pos = stream.GetPosition();
    for (const auto& f : Snapshot()) {
        if (!f.CanLoad)
            continue;
        const bool claims = f.CanLoad(stream);
        stream.SetPosition(pos);
        if (claims)
            return f.GraphicClass;
    }
    return nullptr;
}

String TPicture::GraphicFilter(TGraphicClass graphicClass)
{
    String allMasks, parts;
    int count = 0;
    for (const auto& f : Snapshot()) {
        if (graphicClass && !f.GraphicClass->InheritsFrom(graphicClass))
            continue;
        const String mask = u"*." + f.Extension;
        allMasks += (allMasks.empty() ? u"" : u";") + mask;
        parts += u"|" + f.Description + u" (" + mask + u")|" + mask;
        ++count;
    }
    if (count == 0)
        return {};
    if (count == 1)
        return parts.substr(1);
    return u"All (" + allMasks + u")|" + allMasks + parts;
}

std::unique_ptr<TGraphic> TPicture::NewGraphic(TGraphicClass graphicClass)
{
    TObject* obj = graphicClass ? graphicClass->Create() : nullptr;
    auto* g = dynamic_cast<TGraphic*>(obj);
    if (!g) {
        delete obj;
        throw EInvalidGraphic(u"Cannot create a picture of this format");
    }
    return std::unique_ptr<TGraphic>(g);
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic)
{
    FGraphic = std::move(graphic);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject* sender) { Changed(sender); };
    Changed(this);
}

void TPicture::Changed(TObject*)
{
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(TGraphic* value)
{
    if (value == FGraphic.get())
        return;
    if (!value) {
        TakeGraphic(nullptr);
        return;
    }
    auto copy = NewGraphic(value->ClassType());
    copy->Assign(value);
    TakeGraphic(std::move(copy));
}

TBitmap* TPicture::GetBitmap()
{
    if (!dynamic_cast<TBitmap*>(FGraphic.get()))
        TakeGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::GetIcon()
{
    if (!dynamic_cast<TIcon*>(FGraphic.get()))
        TakeGraphic(std::make_unique<TIcon>());
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* source)
{
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        SetGraphic(p->GetGraphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

void TPicture::LoadFromStream(TStream& stream)
{
    TGraphicClass cls = FindGraphicClassByStream(stream);
    if (!cls)
        throw EInvalidGraphic(u"Unknown picture format");
    auto graphic = NewGraphic(cls);
    graphic->LoadFromStream(stream);
    TakeGraphic(std::move(graphic));
}

void TPicture::LoadFromFile(const String& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    // The bytes decide; the extension only names a format no probe recognises.
    TGraphicClass cls = FindGraphicClassByStream(stream);
    if (!cls) {
        const String ext = ExtractFileExt(fileName);
        cls = FindGraphicClassByExtension(ext);
        if (!cls)
            throw EInvalidGraphic(u"Unknown picture file extension (" + ext + u")");
    }
    auto graphic = NewGraphic(cls);
    graphic->LoadFromStream(stream);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToStream(TStream& stream)
{
    if (FGraphic)
        FGraphic->SaveToStream(stream);
}

void TPicture::SaveToFile(const String& fileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(fileName);
}
