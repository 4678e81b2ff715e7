#include "platform/vcl/GIFImg.h"

#include <gif_lib.h>

#include <algorithm>
#include <map>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/GraphicStreams.h"

using namespace vcl_detail;

QT_PUBLISHED(TGIFImage)

namespace {

bool IsGif(const TBytes& bytes)
{
    return StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6);
}

int WriteToBytes(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<TBytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// One frame as a GIF: an exact palette when the picture has at most 255
// colours, otherwise one quantised to 255; palette entry 255 is transparent
// and takes every pixel that is less than half opaque.
TBytes EncodeGif(const TImageFrame& frame)
{
    constexpr int transparentIndex = 255;
    const std::size_t n = frame.Pixels.size();
    std::vector<GifByteType> indexes(n, transparentIndex);
    std::vector<GifColorType> palette(256);
    std::map<std::uint32_t, int> exact;
    bool fits = true;
    bool anyTransparent = false;
    for (std::uint32_t px : frame.Pixels) {
        if ((px >> 24) < 128) {
            anyTransparent = true;
            continue;
        }
        if (exact.size() < transparentIndex)
            exact.emplace(px & 0xFFFFFF, 0);
        else if (!exact.contains(px & 0xFFFFFF)) {
            fits = false;
            break;
        }
    }
    if (fits) {
        int i = 0;
        for (auto& [rgb, index] : exact) {
            index = i;
            palette[std::size_t(i)] = { GifByteType(rgb >> 16), GifByteType(rgb >> 8), GifByteType(rgb) };
            ++i;
        }
        for (std::size_t p = 0; p < n; ++p)
            if ((frame.Pixels[p] >> 24) >= 128)
                indexes[p] = GifByteType(exact[frame.Pixels[p] & 0xFFFFFF]);
    } else {
        std::vector<GifByteType> r(n), g(n), b(n);
        for (std::size_t p = 0; p < n; ++p) {
            r[p] = GifByteType(frame.Pixels[p] >> 16);
            g[p] = GifByteType(frame.Pixels[p] >> 8);
            b[p] = GifByteType(frame.Pixels[p]);
        }
        int size = transparentIndex;
        if (GifQuantizeBuffer(unsigned(frame.Width), unsigned(frame.Height), &size, r.data(), g.data(), b.data(),
                indexes.data(), palette.data()) == GIF_ERROR)
            throw EInvalidGraphic(u"Cannot reduce the image to 256 colours");
        for (std::size_t p = 0; p < n; ++p)
            if ((frame.Pixels[p] >> 24) < 128)
                indexes[p] = transparentIndex;
    }

    TBytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToBytes, &error);
    if (!gif)
        throw EInvalidGraphic(u"Cannot write GIF image");
    ColorMapObject* map = GifMakeMapObject(256, palette.data());
    bool ok = map && EGifPutScreenDesc(gif, frame.Width, frame.Height, 8, 0, map) == GIF_OK;
    if (ok && anyTransparent) {
        GraphicsControlBlock gcb;
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        const std::size_t len = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, frame.Width, frame.Height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < frame.Height; ++y)
        ok = EGifPutLine(gif, indexes.data() + std::size_t(y) * std::size_t(frame.Width), frame.Width) == GIF_OK;
    if (map)
        GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    if (!ok)
        throw EInvalidGraphic(u"Cannot write GIF image");
    return out;
}

} // namespace

int TGIFImage::GetWidth() const
{
    return GetEmpty() ? 0 : FImage.Frames.front().Width;
}

int TGIFImage::GetHeight() const
{
    return GetEmpty() ? 0 : FImage.Frames.front().Height;
}

void TGIFImage::SetWidth(int value)
{
    if (value != GetWidth())
        throw EInvalidGraphicOperation(u"Cannot change the size of a GIF image");
}

void TGIFImage::SetHeight(int value)
{
    if (value != GetHeight())
        throw EInvalidGraphicOperation(u"Cannot change the size of a GIF image");
}

bool TGIFImage::GetTransparent() const
{
    for (const auto& f : FImage.Frames)
        if (std::any_of(f.Pixels.begin(), f.Pixels.end(), [](std::uint32_t p) { return (p >> 24) != 255; }))
            return true;
    return false;
}

const TImageFrame& TGIFImage::GetFrame(int index) const
{
    if (index < 0 || index >= GetFrameCount())
        throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
    return FImage.Frames[std::size_t(index)];
}

void TGIFImage::SetFrameIndex(int value)
{
    if (value < 0 || value >= GetFrameCount() || value == FFrameIndex)
        return;
    FFrameIndex = value;
    Changed();
}

TImageFrame TGIFImage::GetImageFrame()
{
    return GetEmpty() ? TImageFrame {} : FImage.Frames[std::size_t(FFrameIndex)];
}

void TGIFImage::Assign(TPersistent* source)
{
    if (!source) {
        FImage = {};
        FOriginal.clear();
        FFrameIndex = 0;
        Changed();
        return;
    }
    if (auto* gif = dynamic_cast<TGIFImage*>(source)) {
        if (gif == this)
            return;
        FImage = gif->FImage;
        FOriginal = gif->FOriginal;
        FFrameIndex = gif->FFrameIndex;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        TImage image;
        image.Format = TImageFormat::Gif;
        TImageFrame frame = g->GetImageFrame();
        if (!frame.Pixels.empty())
            image.Frames.push_back(std::move(frame));
        FImage = std::move(image);
        FOriginal.clear();
        FFrameIndex = 0;
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        Assign(p->GetGraphic());
        return;
    }
    TGraphic::Assign(source);
}

void TGIFImage::Draw(TCanvas* canvas, const TRect& r)
{
    if (!canvas || GetEmpty())
        return;
    DrawFrame(canvas->GetHandle(), r, FImage.Frames[std::size_t(FFrameIndex)], 255);
}

bool TGIFImage::CanLoadFromStream(TStream& stream)
{
    return IsGif(PeekBytes(stream, 6));
}

void TGIFImage::LoadFromStream(TStream& stream)
{
    TBytes bytes = ReadRest(stream);
    if (!IsGif(bytes))
        throw EInvalidGraphic(u"GIF image is not valid");
    FImage = Decode(bytes);
    FOriginal = std::move(bytes);
    FFrameIndex = 0;
    Changed();
}

void TGIFImage::SaveToStream(TStream& stream)
{
    if (!FOriginal.empty()) {
        WriteBytes(stream, FOriginal);
        return;
    }
    if (!GetEmpty())
        WriteBytes(stream, EncodeGif(FImage.Frames.front()));
}
