#include "richtext/GDIPPicture.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/gdi/Codecs.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/PngImage.h"

using namespace LumGDIP;

// ---- SVG documents ----

namespace {

std::mutex g_factoryLock;
TLumSVGDocumentFactory& Factory()
{
    static TLumSVGDocumentFactory factory;
    return factory;
}

std::unique_ptr<ILumSVGDocument> NewSVGDocument()
{
    std::lock_guard lock(g_factoryLock);
    return Factory() ? Factory()() : nullptr;
}

// Every byte from the stream's position to its end.
TBytes RemainingBytes(TStream& stream)
{
    TBytes bytes;
    std::uint8_t buffer[65536];
    for (Int64 n; (n = stream.Read(buffer, sizeof buffer)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    return bytes;
}

void ReplaceBytes(TMemoryStream& target, const TBytes& bytes)
{
    target.Clear();
    if (!bytes.empty())
        target.WriteBuffer(bytes.data(), Int64(bytes.size()));
    target.SetPosition(0);
}

TBytes StreamBytes(TMemoryStream& stream)
{
    const auto* p = static_cast<const std::uint8_t*>(stream.GetMemory());
    return p ? TBytes(p, p + stream.GetSize()) : TBytes {};
}

} // namespace

void SetLumSVGDocumentFactory(TLumSVGDocumentFactory factory)
{
    std::lock_guard lock(g_factoryLock);
    Factory() = std::move(factory);
}

QT_PUBLISHED(TGDIPSVGPicture)

TGDIPSVGPicture::TGDIPSVGPicture() : FSVG(NewSVGDocument()) { }
TGDIPSVGPicture::~TGDIPSVGPicture() = default;

bool TGDIPSVGPicture::HasSVG() const
{
    if (FSVG)
        return FSVG->HasElements();
    return const_cast<TMemoryStream&>(FStream).GetSize() > 0;
}

TBytes TGDIPSVGPicture::GetSVGSource() { return StreamBytes(FStream); }

void TGDIPSVGPicture::Parse(bool raise)
{
    if (!FSVG)
        return;
    FSVG->Clear();
    FStream.SetPosition(0);
    try {
        FSVG->LoadFromStream(FStream);
    } catch (...) {
        if (raise)
            throw;
    }
    FStream.SetPosition(0);
}

void TGDIPSVGPicture::SVGLoadFromFile(const String& fileName)
{
    FStream.Clear();
    FStream.LoadFromFile(fileName);
    Parse(true);
    Changed();
}

void TGDIPSVGPicture::SVGLoadFromStream(TStream& stream)
{
    // Bad SVG text leaves the picture without a document; the change is reported anyway.
    try {
        FFileName.clear();
        ReplaceBytes(FStream, RemainingBytes(stream));
        Parse(false);
    } catch (const Exception&) {
    }
    Changed();
}

void TGDIPSVGPicture::SVGSaveToStream(TStream& stream)
{
    const TBytes bytes = StreamBytes(FStream);
    if (!bytes.empty())
        stream.WriteBuffer(bytes);
}

void TGDIPSVGPicture::SVGReadData(TStream& stream)
{
    std::int32_t length = 0;
    stream.ReadBuffer(&length, 4);
    if (length < 0 || length > stream.GetSize() - stream.GetPosition())
        throw EReadError(u"Stream read error");
    TBytes bytes;
    stream.ReadBuffer(bytes, length);
    ReplaceBytes(FStream, bytes);
    Parse(true);
}

void TGDIPSVGPicture::SVGWriteData(TStream& stream)
{
    const TBytes bytes = StreamBytes(FStream);
    const std::int32_t length = std::int32_t(bytes.size());
    stream.WriteBuffer(&length, 4);
    if (!bytes.empty())
        stream.WriteBuffer(bytes);
}

void TGDIPSVGPicture::SVGAssign(TGDIPSVGPicture* source)
{
    if (!source || source == this)
        return;
    try {
        if (FSVG)
            FSVG->Clear();
        ReplaceBytes(FStream, StreamBytes(source->FStream));
        Parse(false);
    } catch (const Exception&) {
    }
    Changed();
}

void TGDIPSVGPicture::SVGDraw(TCanvas* canvas, const TRect& rect)
{
    if (FSVG && FSVG->HasElements() && canvas)
        FSVG->Draw(canvas, TRectF(float(rect.Left), float(rect.Top), float(rect.Right), float(rect.Bottom)));
}

void TGDIPSVGPicture::SVGDraw(TGPGraphics* graphics, float x, float y, float w, float h)
{
    if (!graphics || !FSVG || !FSVG->HasElements())
        return;
    HDC dc = graphics->GetHDC();
    if (!dc)
        return;
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        FSVG->Draw(&canvas, TRectF(x, y, x + w, y + h));
        canvas.SetHandle(nullptr);
    }
    graphics->ReleaseHDC(dc);
}

int TGDIPSVGPicture::SVGWidth() const
{
    if (!FSVG)
        return 0;
    const TRectF v = FSVG->GetViewRect();
    return int(RoundHalfEven(double(v.Right - v.Left)));
}

int TGDIPSVGPicture::SVGHeight() const
{
    if (!FSVG)
        return 0;
    const TRectF v = FSVG->GetViewRect();
    return int(RoundHalfEven(double(v.Bottom - v.Top)));
}

void TGDIPSVGPicture::ClearSVG()
{
    if (FSVG)
        FSVG->Clear();
    FStream.Clear();
    FFileName.clear();
}

// ---- image headers ----

namespace {

// Bounded reads over a stream: every read past the end fails.
class THeaderReader {
public:
    explicit THeaderReader(TStream& s) : FStream(s) { }
    bool Byte(std::uint8_t& b) { return FStream.Read(&b, 1) == 1; }
    bool Bytes(std::uint8_t* p, int n) { return FStream.Read(p, n) == n; }
    bool BE16(std::uint32_t& v)
    {
        std::uint8_t b[2];
        if (!Bytes(b, 2))
            return false;
        v = (std::uint32_t(b[0]) << 8) | b[1];
        return true;
    }
    bool Skip(Int64 n)
    {
        const Int64 target = FStream.GetPosition() + n;
        if (n < 0 || target > FStream.GetSize())
            return false;
        return FStream.Seek(target, soBeginning) == target;
    }
    bool At(Int64 pos, std::uint8_t* p, int n) { return pos >= 0 && FStream.Seek(pos, soBeginning) == pos && Bytes(p, n); }

private:
    TStream& FStream;
};

std::uint32_t LE32(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24); }
std::uint32_t BE32(const std::uint8_t* p) { return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]); }
std::uint32_t LE16(const std::uint8_t* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }

// A signed 32-bit field as a size: its magnitude, refused when it does not fit.
bool Magnitude(std::uint32_t raw, int& out)
{
    const std::int64_t v = std::int64_t(std::int32_t(raw));
    const std::int64_t m = v < 0 ? -v : v;
    if (m > INT_MAX)
        return false;
    out = int(m);
    return true;
}

bool JpegSize(THeaderReader& r, int& w, int& h)
{
    std::uint8_t sig[2];
    if (!r.Bytes(sig, 2) || sig[0] != 0xFF || sig[1] != 0xD8)
        return false;
    std::uint8_t b = 0;
    if (!r.Byte(b))
        return false;
    while (b == 0xFF) {
        std::uint8_t m = 0;
        if (!r.Byte(m))
            return false;
        if (m == 0xFF)
            continue;
        if (m == 0xC0 || m == 0xC1 || m == 0xC2) {
            std::uint32_t hh = 0, ww = 0;
            if (!r.Skip(3) || !r.BE16(hh) || !r.BE16(ww))
                return false;
            w = int(ww);
            h = int(hh);
            return true;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            if (!r.Byte(b))
                return false;
            continue;
        }
        std::uint32_t length = 0;
        // A length below 2 would step backwards and never end.
        if (!r.BE16(length) || length < 2 || !r.Skip(Int64(length) - 2) || !r.Byte(b))
            return false;
    }
    return false;
}

bool PngSize(THeaderReader& r, int& w, int& h)
{
    static constexpr std::uint8_t sig[8] = { 0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A };
    std::uint8_t head[24];
    if (!r.Bytes(head, 24) || !std::equal(sig, sig + 8, head))
        return false;
    const std::uint32_t ww = BE32(head + 16), hh = BE32(head + 20);
    if (ww > INT_MAX || hh > INT_MAX)
        return false;
    w = int(ww);
    h = int(hh);
    return true;
}

bool BmpSize(THeaderReader& r, int& w, int& h)
{
    std::uint8_t head[26];
    if (!r.Bytes(head, 26) || head[0] != 'B' || head[1] != 'M')
        return false;
    // A negative height marks a top-down bitmap.
    return Magnitude(LE32(head + 18), w) && Magnitude(LE32(head + 22), h);
}

bool TiffSize(THeaderReader& r, int& w, int& h)
{
    std::uint8_t head[8];
    if (!r.Bytes(head, 8) || head[0] != 'I' || head[1] != 'I')
        return false;
    const Int64 ifd = LE32(head + 4);
    std::uint8_t countBytes[2];
    if (!r.At(ifd, countBytes, 2))
        return false;
    const std::uint32_t count = LE16(countBytes);
    bool haveW = false, haveH = false;
    for (std::uint32_t i = 0; i < count && !(haveW && haveH); ++i) {
        std::uint8_t e[12];
        if (!r.Bytes(e, 12))
            return false;
        const std::uint32_t tag = LE16(e);
        if (tag == 256)
            haveW = Magnitude(LE32(e + 8), w);
        else if (tag == 257)
            haveH = Magnitude(LE32(e + 8), h);
    }
    return haveW && haveH;
}

bool GifSize(THeaderReader& r, int& w, int& h)
{
    std::uint8_t head[20];
    if (!r.Bytes(head, 20) || head[0] != 'G' || head[1] != 'I' || head[2] != 'F')
        return false;
    Int64 pos = 13;
    if (head[10] & 0x80)
        pos += 3 * (Int64(1) << ((head[10] & 7) + 1));
    std::uint8_t b = 0;
    if (!r.At(pos, &b, 1))
        return false;
    while (b != 0x2C)
        if (!r.Byte(b))
            return false;
    std::uint8_t desc[8];
    if (!r.Bytes(desc, 8))
        return false;
    w = int(LE16(desc + 4));
    h = int(LE16(desc + 6));
    return true;
}

} // namespace

bool ReadImageHeaderSize(TStream& stream, const String& ext, int& width, int& height)
{
    width = height = 0;
    THeaderReader r(stream);
    int w = 0, h = 0;
    bool ok = false;
    if (ext == u".JPG" || ext == u".JPEG")
        ok = JpegSize(r, w, h);
    else if (ext == u".PNG")
        ok = PngSize(r, w, h);
    else if (ext == u".BMP")
        ok = BmpSize(r, w, h);
    else if (ext == u".TIFF" || ext == u".TIF")
        ok = TiffSize(r, w, h);
    else if (ext == u".GIF")
        ok = GifSize(r, w, h);
    if (ok) {
        width = w;
        height = h;
    }
    return ok;
}

namespace {

// Reads up to n bytes at the position and puts the position back.
int Peek(TStream& stream, std::uint8_t* p, int n)
{
    const Int64 pos = stream.GetPosition();
    const int got = int(stream.Read(p, n));
    stream.Seek(pos, soBeginning);
    return got;
}

} // namespace

bool IsImageSignature(TStream& stream)
{
    struct TSignature {
        int Count;
        std::uint8_t Bytes[4];
    };
    static constexpr TSignature table[] = {
        { 3, { 0x47, 0x49, 0x46 } }, { 2, { 0x42, 0x4D } }, { 4, { 0x89, 0x50, 0x4E, 0x47 } },
        { 3, { 0x49, 0x49, 0x2A } }, { 3, { 0x4D, 0x4D, 0x00 } }, { 4, { 0xFF, 0xD8, 0xFF, 0xE0 } },
        { 4, { 0xFF, 0xD8, 0xFF, 0xE1 } }, { 4, { 0xFF, 0xD8, 0xFF, 0xDB } }, { 4, { 0x00, 0x00, 0x01, 0x00 } },
        { 4, { 0x00, 0x00, 0x00, 0x00 } },
    };
    std::uint8_t head[4];
    if (Peek(stream, head, 4) < 4)
        return false;
    return std::any_of(std::begin(table), std::end(table),
        [&](const TSignature& s) { return std::equal(s.Bytes, s.Bytes + s.Count, head); });
}

bool IsSVGFormData(TStream& stream)
{
    const Int64 pos = stream.GetPosition();
    const Int64 rest = stream.GetSize() - pos;
    std::uint8_t head[4];
    if (rest < 5 || Peek(stream, head, 4) < 4 || Int64(LE32(head)) != rest - 4)
        return false;
    // Text: no NUL bytes, and some markup.
    stream.Seek(pos + 4, soBeginning);
    const TBytes body = RemainingBytes(stream);
    stream.Seek(pos, soBeginning);
    return std::find(body.begin(), body.end(), 0) == body.end() && std::find(body.begin(), body.end(), '<') != body.end();
}

// ---- shared picture steps ----

std::unique_ptr<TGPImage> DecodePictureBytes(TMemoryStream& data)
{
    const Int64 size = data.GetSize();
    if (size <= 0)
        return nullptr;
    IStream* stream = nullptr;
    try {
        if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) < 0 || !stream)
            return nullptr;
    } catch (const std::bad_alloc&) {
        throw Exception(u"Could not allocate memory for image");
    }
    ULONG written = 0;
    const bool complete = stream->Write(data.GetMemory(), ULONG(size), &written) >= 0 && Int64(written) == size;
    std::unique_ptr<TGPImage> image;
    if (complete) {
        stream->Seek(0, STREAM_SEEK_SET, nullptr);
        image = std::make_unique<TGPImage>(stream, false);
    }
    stream->Release();
    if (image && !image->nativeImage)
        return nullptr;
    return image;
}

TImageFrame FirstFrameOfBytes(TMemoryStream& data)
{
    try {
        TImage img = ::DecodeImage(StreamBytes(data));
        if (!img.Frames.empty())
            return std::move(img.Frames.front());
    } catch (const Exception&) {
    }
    return {};
}

std::unique_ptr<TBitmap> AutoTransparentBitmap(TMemoryStream& data)
{
    auto bmp = std::make_unique<TBitmap>();
    data.SetPosition(0);
    bmp->LoadFromStream(data);
    data.SetPosition(0);
    bmp->SetTransparentMode(tmAuto);
    bmp->SetTransparent(true);
    return bmp;
}

namespace {

// The graphics object's transform is kept around a temporary rotation: a
// reset would drop the device context's own origin.
class TSavedTransform {
public:
    explicit TSavedTransform(TGPGraphics& g) : FGraphics(g) { GdipGetWorldTransform(g.nativeGraphics, FMatrix.nativeMatrix); }
    ~TSavedTransform() { FGraphics.SetTransform(&FMatrix); }

private:
    TGPGraphics& FGraphics;
    TGPMatrix FMatrix;
};

bool StartsWithText(const String& s, StringView prefix)
{
    return s.size() >= prefix.size() && UpperCase(s.substr(0, prefix.size())) == prefix;
}

// Which loader a picture address asks for.
template <class Picture> void LoadPictureFromURL(Picture& p, const String& url)
{
    if (StartsWithText(url, u"RES://")) {
        const String name = url.substr(6);
        if (!name.empty())
            p.LoadFromResourceName(nullptr, name);
    } else if (StartsWithText(url, u"FILE://")) {
        p.LoadFromFile(url.substr(7));
    }
}

template <class Picture> void LoadPictureFromResourceName(Picture& p, HINSTANCE instance, const String& name)
{
    if (!FindResource(HMODULE(instance), name.c_str(), RT_RCDATA))
        return;
    TResourceStream stream(instance, name, RT_RCDATA);
    p.LoadFromStream(stream);
}

// The bytes of a framework graphic in its own file format.
bool GraphicBytes(TPersistent* source, TBytes& out)
{
    TGraphic* graphic = dynamic_cast<TGraphic*>(source);
    if (auto* picture = dynamic_cast<TPicture*>(source))
        graphic = picture->GetGraphic();
    if (!graphic)
        return false;
    TBytesStream stream;
    graphic->SaveToStream(stream);
    out.assign(stream.GetBytes().begin(), stream.GetBytes().begin() + stream.GetSize());
    return true;
}

TGDIPSVGPicture* SVGSourceOf(TPersistent* source)
{
    auto* svg = dynamic_cast<TGDIPSVGPicture*>(source);
    return svg && svg->HasSVG() ? svg : nullptr;
}

} // namespace

// ---- the image bytes both pictures keep ----

bool TGDIPSVGPicture::GetEmpty() const { return HasSVG() ? false : FIsEmpty; }
int TGDIPSVGPicture::GetWidth() const { return HasSVG() ? SVGWidth() : FWidth; }
int TGDIPSVGPicture::GetHeight() const { return HasSVG() ? SVGHeight() : FHeight; }

std::unique_ptr<TGPImage> TGDIPSVGPicture::DecodeImage()
{
    // Bytes that failed once are not handed to the decoder at every paint.
    if (FIsEmpty || FUndecodable)
        return nullptr;
    auto image = DecodePictureBytes(FDatastream);
    FUndecodable = !image && FDatastream.GetSize() > 0;
    return image;
}

void TGDIPSVGPicture::SaveToStream(TStream& stream)
{
    if (HasSVG())
        SVGSaveToStream(stream);
    else if (FDatastream.GetSize() > 0)
        stream.WriteBuffer(FDatastream.GetMemory(), FDatastream.GetSize());
}

void TGDIPSVGPicture::WriteData(TStream& stream)
{
    if (HasSVG())
        SVGWriteData(stream);
    else
        SaveToStream(stream);
}

TImageFrame TGDIPSVGPicture::GetImageFrame() { return HasSVG() || FIsEmpty ? TImageFrame {} : FirstFrameOfBytes(FDatastream); }

void TGDIPSVGPicture::LoadFromResourceName(HINSTANCE instance, const String& resName)
{
    LoadPictureFromResourceName(*this, instance, resName);
}

void TGDIPSVGPicture::LoadFromResourceID(HINSTANCE instance, int resID)
{
    auto stream = TResourceStream::CreateFromID(instance, resID, RT_RCDATA);
    LoadFromStream(*stream);
}

void TGDIPSVGPicture::LoadFromURL(const String& url) { LoadPictureFromURL(*this, url); }

void TGDIPSVGPicture::Assign(TPersistent* source)
{
    FIsEmpty = true;
    if (!source) {
        FDatastream.Clear();
        if (FEmptyAssignClearsSVG)
            ClearSVG();
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    TBytes bytes;
    if (auto* svg = SVGSourceOf(source)) {
        FDatastream.Clear();
        SVGAssign(svg);
    } else if (auto* same = dynamic_cast<TGDIPSVGPicture*>(source)) {
        ClearSVG();
        FUndecodable = false;
        ReplaceBytes(FDatastream, StreamBytes(same->FDatastream));
        FIsEmpty = FDatastream.GetSize() == 0;
    } else if (GraphicBytes(source, bytes)) {
        ClearSVG();
        FUndecodable = false;
        ReplaceBytes(FDatastream, bytes);
        FIsEmpty = false;
    }
    Changed();
    GetImageSizes();
}

void TGDIPSVGPicture::LoadImageOrSVGFile(const String& fileName)
{
    FUndecodable = false;
    FDatastream.LoadFromFile(fileName);
    FDatastream.SetPosition(0);
    if (IsImageSignature(FDatastream)) {
        ClearSVG();
    } else {
        FDatastream.Clear();
        SVGLoadFromFile(fileName);
    }
    FIsEmpty = false;
    if (OnClear)
        OnClear(this);
}

void TGDIPSVGPicture::LoadImageOrSVGStream(TStream& stream)
{
    if (IsImageSignature(stream)) {
        ClearSVG();
        FUndecodable = false;
        ReplaceBytes(FDatastream, RemainingBytes(stream));
    } else {
        FDatastream.Clear();
        SVGLoadFromStream(stream);
    }
    FIsEmpty = false;
}

bool TGDIPSVGPicture::GetImageSizes()
{
    if (HasSVG())
        return true;
    try {
        auto image = DecodeImage();
        if (!image)
            return false;
        FWidth = int(image->GetWidth());
        FHeight = int(image->GetHeight());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void TGDIPSVGPicture::DrawSVG(TGPGraphics* graphics, float x, float y, float w, float h) { SVGDraw(graphics, x, y, w, h); }

void TGDIPSVGPicture::CanvasDraw(TCanvas* canvas, const TRect& rect, TBitmapPaint bitmap, int angle)
{
    if (!canvas)
        return;
    if (HasSVG()) {
        SVGDraw(canvas, rect);
        return;
    }
    try {
        auto image = DecodeImage();
        if (!image)
            return;
        if (image->GetFormat() == ifBMP && bitmap != TBitmapPaint::AsImage) {
            auto bmp = AutoTransparentBitmap(FDatastream);
            if (bitmap == TBitmapPaint::Stretched)
                canvas->StretchDraw(rect, bmp.get());
            else
                canvas->Draw(rect.Left, rect.Top, bmp.get());
            return;
        }
        FWidth = int(image->GetWidth());
        FHeight = int(image->GetHeight());
        TGPGraphics graphics(canvas->GetHandle());
        std::optional<TSavedTransform> saved;
        if (angle != 0) {
            saved.emplace(graphics);
            TGPMatrix rotation;
            rotation.RotateAt(float(angle), TGPPointF { rect.Left + FWidth / 2.0f, rect.Top + FHeight / 2.0f });
            graphics.MultiplyTransform(&rotation, MatrixOrderPrepend);
        }
        graphics.DrawImageRect(image.get(), rect.Left, rect.Top, rect.Width(), rect.Height());
    } catch (const Exception&) {
    }
}

// ---- TLumGDIPPicture ----

namespace LumGDIP {

QT_PUBLISHED(TLumGDIPPicture)

TLumGDIPPicture::TLumGDIPPicture() { FTransparent = false; }
TLumGDIPPicture::~TLumGDIPPicture() = default;

void TLumGDIPPicture::LoadFromFile(const String& fileName)
{
    try {
        LoadImageOrSVGFile(fileName);
        GetImageSizesFromFileName(fileName);
        Changed();
    } catch (...) {
        FIsEmpty = true;
    }
}

void TLumGDIPPicture::LoadFromStream(TStream& stream)
{
    if (stream.GetSize() - stream.GetPosition() <= 0)
        return;
    LoadImageOrSVGStream(stream);
    GetImageSizes();
    Changed();
}

void TLumGDIPPicture::ReadData(TStream& stream)
{
    if (!IsSVGFormData(stream) && IsImageSignature(stream)) {
        ClearSVG();
        const TBytes bytes = RemainingBytes(stream);
        if (!bytes.empty()) {
            FUndecodable = false;
            ReplaceBytes(FDatastream, bytes);
            FIsEmpty = false;
            GetImageSizes();
        }
        return;
    }
    FDatastream.Clear();
    SVGReadData(stream);
}

bool TLumGDIPPicture::GetImageSizesFromFileName(const String& fileName)
{
    if (HasSVG())
        return true;
    if (FIsEmpty)
        return false;
    const auto dot = fileName.find_last_of(u'.');
    const String ext = dot == String::npos ? String() : UpperCase(fileName.substr(dot));
    try {
        TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
        const bool ok = ReadImageHeaderSize(file, ext, FWidth, FHeight);
        return ok;
    } catch (const Exception&) {
        FWidth = FHeight = 0;
        return false;
    }
}

void TLumGDIPPicture::Draw(TCanvas* canvas, const TRect& rect) { CanvasDraw(canvas, rect, TBitmapPaint::AtCorner); }

void TLumGDIPPicture::RecordImageInfo(const TGPImage& image)
{
    FHasAlpha = image.HasAlphaChannel();
    FHasPalette = image.HasPalette();
    FPixelDepth = int(image.GetPixelDepth());
    FPixelFormat = image.GetPixelFormat();
    FWidth = int(image.GetWidth());
    FHeight = int(image.GetHeight());
}

void TLumGDIPPicture::DrawDecoded(TGPGraphics* graphics, const TGPRectF& rect)
{
    auto image = DecodeImage();
    if (!image)
        return;
    RecordImageInfo(*image);
    if (image->GetFormat() == ifBMP && GetTransparent()) {
        ARGB key = MakeARGBFromColor(255, FBitmapTransparentColor);
        if (FBitmapTransparentMode == tmAuto) {
            ARGB pixel = 0;
            GdipBitmapGetPixel(static_cast<GpBitmap*>(image->nativeImage), 0, FHeight - 1, &pixel);
            key = pixel | 0xFF000000u;
        }
        TGPImageAttributes attributes;
        attributes.SetColorKey(key, key);
        graphics->DrawImage(image.get(), rect, 0, 0, float(FWidth), float(FHeight), UnitPixel, &attributes);
        return;
    }
    graphics->DrawImageRect(image.get(), rect);
}

void TLumGDIPPicture::GDIPDraw(TGPGraphics* graphics, const TRect& rect)
{
    if (!graphics)
        return;
    if (HasSVG()) {
        DrawSVG(graphics, float(rect.Left), float(rect.Top), float(rect.Width()), float(rect.Height()));
        return;
    }
    try {
        // Whole-pixel rectangles stay whole through the float form.
        DrawDecoded(graphics, TGPRectF { float(rect.Left), float(rect.Top), float(rect.Width()), float(rect.Height()) });
    } catch (const Exception&) {
    }
}

void TLumGDIPPicture::GDIPDraw(TGPGraphics* graphics, const TGPRectF& rect)
{
    if (!graphics || FDrawing)
        return;
    FDrawing = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset { FDrawing };
    if (HasSVG()) {
        DrawSVG(graphics, rect.X, rect.Y, rect.Width, rect.Height);
        return;
    }
    try {
        DrawDecoded(graphics, rect);
    } catch (const Exception&) {
    }
}

void TLumGDIPPicture::FillPath(TGPGraphics* graphics, const TGPGraphicsPath* path)
{
    if (!graphics)
        return;
    try {
        auto image = DecodeImage();
        if (!image)
            return;
        const TGPTextureBrush brush(image.get(), WrapModeTile);
        graphics->FillPath(&brush, path);
    } catch (const Exception&) {
    }
}

void TLumGDIPPicture::FillRect(TGPGraphics* graphics, const TGPRectF& r)
{
    if (!graphics)
        return;
    try {
        auto image = DecodeImage();
        if (!image)
            return;
        const TGPTextureBrush brush(image.get(), WrapModeTile);
        graphics->FillRectangle(&brush, r);
    } catch (const Exception&) {
    }
}

} // namespace LumGDIP

// ---- TGDIPPicture ----

QT_PUBLISHED(TGDIPPicture)

TGDIPPicture::TGDIPPicture() { FEmptyAssignClearsSVG = true; }
TGDIPPicture::~TGDIPPicture() = default;

void TGDIPPicture::LoadFromFile(const String& fileName)
{
    try {
        LoadImageOrSVGFile(fileName);
        FFileName = fileName;
        GetImageSizes();
        Changed();
    } catch (...) {
        FIsEmpty = true;
    }
}

void TGDIPPicture::LoadFromStream(TStream& stream)
{
    LoadImageOrSVGStream(stream);
    GetImageSizes();
    Changed();
}

void TGDIPPicture::ReadData(TStream& stream)
{
    if (!IsSVGFormData(stream) && IsImageSignature(stream)) {
        ClearSVG();
        FUndecodable = false;
        ReplaceBytes(FDatastream, RemainingBytes(stream));
    } else {
        FDatastream.Clear();
        SVGReadData(stream);
    }
    FIsEmpty = false;
}

void TGDIPPicture::Draw(TCanvas* canvas, const TRect& rect)
{
    CanvasDraw(canvas, rect, FTransparentBitmap ? TBitmapPaint::Stretched : TBitmapPaint::AsImage, FAngle);
}

void TGDIPPicture::DrawImage(TGPGraphics* graphics, int x, int y)
{
    if (!graphics)
        return;
    if (HasSVG()) {
        SVGDraw(graphics, float(x), float(y), float(GetWidth()), float(GetHeight()));
        return;
    }
    try {
        if (auto image = DecodeImage())
            graphics->DrawImage(image.get(), x, y);
    } catch (const Exception&) {
    }
}

void TGDIPPicture::DrawImageRect(TGPGraphics* graphics, int x, int y, int w, int h)
{
    if (!graphics)
        return;
    if (HasSVG()) {
        SVGDraw(graphics, float(x), float(y), float(w), float(h));
        return;
    }
    try {
        if (auto image = DecodeImage())
            graphics->DrawImageRect(image.get(), x, y, w, h);
    } catch (const Exception&) {
    }
}

TPictureFormat TGDIPPicture::GetPictureFormat()
{
    const TBytes b = StreamBytes(FDatastream);
    if (b.size() <= 43)
        return pfNone;
    const std::uint32_t w1 = LE16(b.data()), w2 = LE16(b.data() + 2);
    switch (w1) {
    case 0x4D42: return pfBMP;
    case 0xD8FF: return pfJPG;
    case 0x4949: return w2 == 42 ? pfTiff : pfNone;
    case 0x4D4D: return w2 == 0x2A00 ? pfTiff : pfNone;
    default: break;
    }
    static constexpr std::uint8_t png[8] = { 0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A };
    if (std::equal(png, png + 8, b.begin()))
        return pfPNG;
    const std::uint32_t first = LE32(b.data());
    if (first == 0x9AC6CDD7u || (first == 1 && LE32(b.data() + 40) == 0x464D4520u))
        return pfMetaFile;
    if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F')
        return pfGIF;
    if (w2 == 1)
        return pfICO;
    return pfNone;
}
