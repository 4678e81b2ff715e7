#include "platform/vcl/ImgList.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/GraphicStreams.h"

using namespace vcl_detail;

QT_PUBLISHED(TCustomImageList)
QT_PUBLISHED(TImageList,
    QT_PROP_T(BkColor, u"TColor"),
    QT_PROP(ColorDepth),
    QT_PROP(Height),
    QT_PROP(Masked),
    QT_PROP(Width))

namespace {

TImageFrame Scaled(const TImageFrame& src, int width, int height)
{
    TImageFrame out;
    out.Width = width;
    out.Height = height;
    out.Pixels.assign(std::size_t(width) * std::size_t(height), 0);
    if (src.Pixels.empty())
        return out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.At(x, y) = src.At(int(Int64(x) * src.Width / width), int(Int64(y) * src.Height / height));
    return out;
}

} // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) { }

TCustomImageList::TCustomImageList(int width, int height, TComponent* AOwner) : TComponent(AOwner)
{
    FWidth = std::max(width, 1);
    FHeight = std::max(height, 1);
}

void TCustomImageList::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomImageList::SetSize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == FWidth && height == FHeight)
        return;
    FWidth = width;
    FHeight = height;
    FImages.clear();
    Change();
}

void TCustomImageList::SetMasked(bool value)
{
    if (value == FMasked)
        return;
    FMasked = value;
    Change();
}

void TCustomImageList::SetBkColor(TColor value)
{
    if (value == FBkColor)
        return;
    FBkColor = value;
    Change();
}

void TCustomImageList::SetColorDepth(TColorDepth value)
{
    if (value == FColorDepth)
        return;
    FColorDepth = value;
    Change();
}

void TCustomImageList::CheckIndex(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
}

const TImageFrame& TCustomImageList::GetImage(int index) const
{
    CheckIndex(index);
    return FImages[std::size_t(index)];
}

// Cuts a strip into list-sized images; rows beyond the list's height are
// dropped and missing rows stay transparent.
std::vector<TImageFrame> TCustomImageList::SliceImages(TImageFrame source) const
{
    std::vector<TImageFrame> images;
    if (FColorDepth != cd32Bit)
        for (auto& px : source.Pixels)
            px = (px >> 24) >= 128 ? px | 0xFF000000u : px & 0xFFFFFF;
    // Transparent pixels keep their colour, which an unmasked list shows.
    if (!FMasked)
        for (auto& px : source.Pixels)
            px |= 0xFF000000u;
    const int count = source.Width / FWidth;
    for (int i = 0; i < count; ++i) {
        TImageFrame f;
        f.Width = FWidth;
        f.Height = FHeight;
        f.Pixels.assign(std::size_t(FWidth) * std::size_t(FHeight), 0);
        for (int y = 0; y < std::min(FHeight, source.Height); ++y)
            for (int x = 0; x < FWidth; ++x)
                f.At(x, y) = source.At(i * FWidth + x, y);
        images.push_back(std::move(f));
    }
    return images;
}

int TCustomImageList::AddFrames(std::vector<TImageFrame> images)
{
    if (images.empty())
        return -1;
    const int first = GetCount();
    for (auto& f : images)
        FImages.push_back(std::move(f));
    Change();
    return first;
}

namespace {

TImageFrame WithMask(TBitmap* image, TBitmap* mask)
{
    TImageFrame frame = image->GetImageFrame();
    if (mask && !mask->Empty()) {
        const TImageFrame m = mask->GetImageFrame();
        for (int y = 0; y < std::min(frame.Height, m.Height); ++y)
            for (int x = 0; x < std::min(frame.Width, m.Width); ++x)
                if ((m.At(x, y) & 0xFFFFFF) == 0xFFFFFF)
                    frame.At(x, y) &= 0xFFFFFF;
    }
    return frame;
}

} // namespace

int TCustomImageList::Add(TBitmap* image, TBitmap* mask)
{
    if (!image || image->Empty())
        return -1;
    return AddFrames(SliceImages(WithMask(image, mask)));
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor)
{
    if (!image || image->Empty())
        return -1;
    TImageFrame frame = image->GetImageFrame();
    const TColor c = maskColor == clDefault ? image->GetTransparentColor() : maskColor;
    const COLORREF key = COLORREF(ColorToRGB(c)) & 0xFFFFFF;
    for (auto& px : frame.Pixels)
        if (PixelRGB(px) == key)
            px &= 0xFFFFFF;
    return AddFrames(SliceImages(std::move(frame)));
}

int TCustomImageList::AddIcon(TIcon* image)
{
    if (!image || image->Empty())
        return -1;
    return AddFrames(SliceImages(Scaled(image->GetImageFrame(), FWidth, FHeight)));
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask)
{
    CheckIndex(index);
    if (!image || image->Empty())
        return;
    auto images = SliceImages(WithMask(image, mask));
    if (images.empty())
        return;
    FImages[std::size_t(index)] = std::move(images.front());
    Change();
}

void TCustomImageList::Delete(int index)
{
    CheckIndex(index);
    FImages.erase(FImages.begin() + index);
    Change();
}

void TCustomImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Change();
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled)
{
    if (!canvas || index < 0 || index >= GetCount())
        return;
    HDC dc = canvas->GetHandle();
    if (FBkColor != clNone) {
        HBRUSH b = CreateSolidBrush(COLORREF(ColorToRGB(FBkColor)) & 0xFFFFFF);
        const TRect r = Bounds(x, y, FWidth, FHeight);
        ::FillRect(dc, &r, b);
        DeleteObject(b);
    }
    const TImageFrame& image = FImages[std::size_t(index)];
    if (enabled) {
        DrawFrame(dc, Bounds(x, y, FWidth, FHeight), image, 255);
        return;
    }
    // The shape in the highlight colour one pixel down and right, under the
    // same shape in the shadow colour.
    auto opaque = [](TColor c) { return 0xFF000000u | ((PixelRGB(std::uint32_t(ColorToRGB(c))) & 0xFFFFFF)); };
    const std::uint32_t highlight = opaque(clBtnHighlight), shadow = opaque(clBtnShadow);
    TImageFrame greyed;
    greyed.Width = FWidth + 1;
    greyed.Height = FHeight + 1;
    greyed.Pixels.assign(std::size_t(greyed.Width) * std::size_t(greyed.Height), 0);
    for (int py = 0; py < FHeight; ++py)
        for (int px = 0; px < FWidth; ++px)
            if ((image.At(px, py) >> 24) >= 128)
                greyed.At(px + 1, py + 1) = highlight;
    for (int py = 0; py < FHeight; ++py)
        for (int px = 0; px < FWidth; ++px)
            if ((image.At(px, py) >> 24) >= 128)
                greyed.At(px, py) = shadow;
    DrawFrame(dc, Bounds(x, y, greyed.Width, greyed.Height), greyed, 255);
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image)
{
    if (!image || index < 0 || index >= GetCount())
        return false;
    image->SetPixelFormat(pf32bit);
    image->SetAlphaFormat(afDefined);
    image->SetImageFrame(FImages[std::size_t(index)]);
    return true;
}
