#include "platform/vcl/PngImage.h"

#include <algorithm>

#include "platform/vcl/GraphicStreams.h"

using namespace vcl_detail;

QT_PUBLISHED(TPngImage)

void TPngImage::Assign(TPersistent* source)
{
    if (!source) {
        FImage = {};
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        if (g == this)
            return;
        TImageFrame image = g->GetImageFrame();
        // A bitmap drawn transparent by a colour key gives that colour up.
        auto* b = dynamic_cast<TBitmap*>(g);
        if (b && b->GetTransparent() && !b->SupportsPartialTransparency()) {
            const COLORREF key = COLORREF(ColorToRGB(b->GetTransparentColor())) & 0xFFFFFF;
            for (auto& px : image.Pixels)
                if (PixelRGB(px) == key)
                    px = 0;
        }
        FImage = std::move(image);
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        Assign(p->GetGraphic());
        return;
    }
    TGraphic::Assign(source);
}

void TPngImage::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FImage.Width && height == FImage.Height)
        return;
    TImageFrame resized;
    if (width > 0 && height > 0) {
        resized.Width = width;
        resized.Height = height;
        resized.Pixels.assign(std::size_t(width) * std::size_t(height), 0);
        for (int y = 0; y < std::min(height, FImage.Height); ++y)
            for (int x = 0; x < std::min(width, FImage.Width); ++x)
                resized.At(x, y) = FImage.At(x, y);
    }
    FImage = std::move(resized);
    Changed();
}

bool TPngImage::GetTransparent() const
{
    return std::any_of(FImage.Pixels.begin(), FImage.Pixels.end(), [](std::uint32_t p) { return (p >> 24) != 255; });
}

void TPngImage::Draw(TCanvas* canvas, const TRect& r)
{
    if (!canvas || GetEmpty())
        return;
    DrawFrame(canvas->GetHandle(), r, FImage, 255);
}

bool TPngImage::CanLoadFromStream(TStream& stream)
{
    return StartsWith(PeekBytes(stream, 8), "\x89PNG\r\n\x1a\n", 8);
}

void TPngImage::LoadFromStream(TStream& stream)
{
    const TBytes bytes = ReadRest(stream);
    if (!StartsWith(bytes, "\x89PNG\r\n\x1a\n", 8))
        throw EInvalidGraphic(u"The PNG image is not valid");
    TImage image = Decode(bytes);
    FImage = std::move(image.Frames.front());
    Changed();
}

void TPngImage::SaveToStream(TStream& stream)
{
    if (!GetEmpty())
        WriteBytes(stream, EncodePng(FImage));
}
