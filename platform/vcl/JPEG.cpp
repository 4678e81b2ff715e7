#include "platform/vcl/JPEG.h"

#include <algorithm>

#include "platform/vcl/GraphicStreams.h"

using namespace vcl_detail;

QT_PUBLISHED(TJPEGImage)

void TJPEGImage::Assign(TPersistent* source)
{
    if (!source) {
        FImage = {};
        FData.clear();
        Changed();
        return;
    }
    if (auto* j = dynamic_cast<TJPEGImage*>(source)) {
        if (j == this)
            return;
        FImage = j->FImage;
        FData = j->FData;
        FCompressionQuality = j->FCompressionQuality;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        TImageFrame image = g->GetImageFrame();
        // JPEG has no transparency: blend onto white.
        for (auto& px : image.Pixels) {
            const std::uint32_t a = px >> 24;
            if (a == 255)
                continue;
            auto mix = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            px = 0xFF000000u | (mix((px >> 16) & 0xFF) << 16) | (mix((px >> 8) & 0xFF) << 8) | mix(px & 0xFF);
        }
        FImage = std::move(image);
        FData.clear();
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        Assign(p->GetGraphic());
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::SetWidth(int value)
{
    if (value != GetWidth())
        throw EInvalidGraphicOperation(u"Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int value)
{
    if (value != GetHeight())
        throw EInvalidGraphicOperation(u"Cannot change the size of a JPEG image");
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange value)
{
    FCompressionQuality = std::clamp(value, 1, 100);
}

void TJPEGImage::Compress()
{
    if (GetEmpty())
        return;
    try {
        FData = EncodeJpeg(FImage, FCompressionQuality);
    } catch (const EImageError& e) {
        throw EInvalidGraphic(e.Message);
    }
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r)
{
    if (!canvas || GetEmpty())
        return;
    DrawFrame(canvas->GetHandle(), r, FImage, 255);
}

bool TJPEGImage::CanLoadFromStream(TStream& stream)
{
    return StartsWith(PeekBytes(stream, 3), "\xFF\xD8\xFF", 3);
}

void TJPEGImage::LoadFromStream(TStream& stream)
{
    TBytes bytes = ReadRest(stream);
    if (!StartsWith(bytes, "\xFF\xD8\xFF", 3))
        throw EInvalidGraphic(u"JPEG image is not valid");
    TImage image = Decode(bytes);
    FImage = std::move(image.Frames.front());
    FData = std::move(bytes);
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream)
{
    if (GetEmpty())
        return;
    if (FData.empty())
        Compress();
    WriteBytes(stream, FData);
}
