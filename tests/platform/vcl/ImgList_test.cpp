#include <gtest/gtest.h>

#include "platform/vcl/ImgList.h"

namespace {

constexpr TColor Magenta = 0xFF00FF;

// A strip of `count` 4 x 4 images, image i filled with colours[i].
std::unique_ptr<TBitmap> Strip(const std::vector<TColor>& colours)
{
    auto b = std::make_unique<TBitmap>(int(colours.size()) * 4, 4);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        b->GetCanvas()->GetBrush()->SetColor(colours[i]);
        b->GetCanvas()->FillRect(Bounds(int(i) * 4, 0, 4, 4));
    }
    return b;
}

std::unique_ptr<TBitmap> White(int w, int h)
{
    auto b = std::make_unique<TBitmap>(w, h);
    b->GetCanvas()->GetBrush()->SetColor(clWhite);
    b->GetCanvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

} // namespace

TEST(ImageList, AddCutsStripsIntoImagesOfTheListWidth)
{
    TImageList list(4, 4);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(list.Add(Strip({ clRed, clLime, clBlue }).get(), nullptr), 0);
    EXPECT_EQ(list.Add(Strip({ clYellow }).get(), nullptr), 3);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list.GetImage(1).At(0, 0), 0xFF00FF00u);
    EXPECT_EQ(list.GetImage(3).At(3, 3), 0xFFFFFF00u);

    // Narrower than one image: nothing is added.
    TBitmap narrow(3, 4);
    EXPECT_EQ(list.Add(&narrow, nullptr), -1);
    EXPECT_EQ(list.GetCount(), 4);

    list.Delete(0);
    EXPECT_EQ(list.GetImage(0).At(0, 0), 0xFF00FF00u);
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_THROW(list.GetImage(-1), EListError);

    list.SetWidth(8);
    EXPECT_EQ(list.GetCount(), 0) << "a new size empties the list";
}

TEST(ImageList, MasksMakePixelsTransparent)
{
    auto image = Strip({ clRed });
    image->GetCanvas()->SetPixel(1, 1, Magenta);
    auto mask = White(4, 4);
    mask->GetCanvas()->GetBrush()->SetColor(clBlack);
    mask->GetCanvas()->FillRect(Rect(0, 0, 2, 4));

    TImageList list(4, 4);
    const int byColour = list.AddMasked(image.get(), Magenta);
    const int byMask = list.Add(image.get(), mask.get());
    const struct {
        int Index;
        TPoint Clear;
        TPoint Solid;
    } cases[] = { { byColour, { 1, 1 }, { 2, 2 } }, { byMask, { 3, 0 }, { 0, 0 } } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Index);
        auto target = White(4, 4);
        list.Draw(target->GetCanvas(), 0, 0, c.Index);
        EXPECT_EQ(target->GetCanvas()->GetPixel(c.Clear.X, c.Clear.Y), clWhite);
        EXPECT_EQ(target->GetCanvas()->GetPixel(c.Solid.X, c.Solid.Y), clRed);
    }

    // Without masking every pixel is drawn.
    TImageList opaque(4, 4);
    opaque.SetMasked(false);
    opaque.AddMasked(image.get(), Magenta);
    auto target = White(4, 4);
    opaque.Draw(target->GetCanvas(), 0, 0, 0);
    EXPECT_EQ(target->GetCanvas()->GetPixel(1, 1), Magenta);
}

TEST(ImageList, GreyedImagesAreEmbossedInButtonColours)
{
    TImageList list(4, 4);
    auto image = Strip({ clRed });
    image->GetCanvas()->GetBrush()->SetColor(Magenta);
    image->GetCanvas()->FillRect(Rect(2, 0, 4, 4));
    list.AddMasked(image.get(), Magenta);
    auto target = White(6, 6);
    list.Draw(target->GetCanvas(), 1, 1, 0, false);
    TCanvas* c = target->GetCanvas();
    EXPECT_EQ(c->GetPixel(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c->GetPixel(3, 2), ColorToRGB(clBtnHighlight)) << "the highlight shows right of the shape";
    EXPECT_EQ(c->GetPixel(4, 2), clWhite);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_NE(c->GetPixel(x, y), clRed) << x << "," << y;
}

TEST(ImageList, ColourDepthDecidesWhetherAlphaIsKept)
{
    TImageFrame f;
    f.Width = 4;
    f.Height = 4;
    f.Pixels.assign(16, 0x60FF0000);
    f.Pixels[0] = 0xA0FF0000;
    TBitmap half;
    half.SetImageFrame(f);
    const struct {
        TColorDepth Depth;
        std::uint32_t First;
        std::uint32_t Rest;
    } cases[] = { { cd32Bit, 0xA0FF0000, 0x60FF0000 }, { cd24Bit, 0xFFFF0000, 0x00FF0000 },
        { cdDeviceDependent, 0xFFFF0000, 0x00FF0000 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Depth));
        TImageList list(4, 4);
        list.SetColorDepth(c.Depth);
        list.Add(&half, nullptr);
        EXPECT_EQ(list.GetImage(0).At(0, 0), c.First);
        EXPECT_EQ(list.GetImage(0).At(1, 0), c.Rest);
    }
}

TEST(ImageList, GetBitmapCopiesOneImageWithItsTransparency)
{
    TImageList list(4, 4);
    list.SetColorDepth(cd32Bit);
    auto image = Strip({ clRed, clBlue });
    image->GetCanvas()->SetPixel(4, 0, Magenta);
    list.AddMasked(image.get(), Magenta);
    TBitmap out;
    ASSERT_TRUE(list.GetBitmap(1, &out));
    EXPECT_EQ(out.GetWidth(), 4);
    EXPECT_EQ(out.GetPixelFormat(), pf32bit);
    EXPECT_EQ(out.GetImageFrame().At(0, 0) >> 24, 0u);
    EXPECT_EQ(out.GetImageFrame().At(1, 0), 0xFF0000FFu);
    EXPECT_FALSE(list.GetBitmap(2, &out));
}
