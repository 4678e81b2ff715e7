#include "richtext/LumSVGDocument.h"

#include <gtest/gtest.h>

#include "graphics/LumSVGBitmap.h"
#include "richtext/GDIPPicture.h"

namespace {

class SVGEngine : public ::testing::Test {
protected:
    void SetUp() override { RegisterLumSVGDocuments(); }
    void TearDown() override
    {
        SetLumSVGImportFactory(nullptr);
        SetLumSVGDocumentFactory(nullptr);
    }

    static void Write(TMemoryStream& AStream, const std::string& AText)
    {
        AStream.WriteBuffer(AText.data(), Int64(AText.size()));
        AStream.SetPosition(0);
    }
};

} // namespace

TEST_F(SVGEngine, BothPictureKindsParseAndDrawThroughTheEngine)
{
    const std::string text = "<svg viewBox='0 0 40 20'><rect width='40' height='20' fill='red'/></svg>";

    TLumSVGBitmap picture;
    TMemoryStream source;
    Write(source, text);
    picture.LoadFromStream(source);
    ASSERT_TRUE(picture.HasSVG());
    EXPECT_EQ(picture.GetSVG()->GetViewRect(), TRectF(0, 0, 40, 20));

    TBitmap target;
    target.SetSize(40, 20);
    target.GetCanvas()->GetBrush()->SetColor(0xFFFFFF);
    target.GetCanvas()->FillRect({ 0, 0, 40, 20 });
    picture.Draw(target.GetCanvas(), TRect(0, 0, 40, 20));
    EXPECT_EQ(target.GetCanvas()->GetPixel(20, 10) & 0xFFFFFF, TColor(0x0000FF));

    LumGDIP::TLumGDIPPicture gdip;
    TMemoryStream again;
    Write(again, text);
    gdip.LoadFromStream(again);
    ASSERT_NE(gdip.GetSVG(), nullptr);
    EXPECT_TRUE(gdip.GetSVG()->HasElements());
    EXPECT_EQ(gdip.GetSVG()->GetViewRect(), TRectF(0, 0, 40, 20));

    // Bad text leaves an empty picture, never an exception out of the load.
    TMemoryStream bad;
    Write(bad, "<svg><rect>");
    picture.LoadFromStream(bad);
    EXPECT_FALSE(picture.HasSVG());
}
