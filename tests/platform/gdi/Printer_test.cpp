#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gdi/Codecs.h"
#include "platform/gdi/Printer.h"
#include "tests/support/Fixtures.h"

namespace {

TEST(Printer, PageGeometryFollowsPaperAndOrientation)
{
    struct Case {
        short orientation;
        int width, height;
    };
    const Case cases[] = {
        { DMORIENT_PORTRAIT, 4961, 7016 },
        { DMORIENT_LANDSCAPE, 7016, 4961 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        TPrinterSettings s;
        s.Orientation = c.orientation;
        HDC dc = CreatePrinterDC(s);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 600);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.width);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.height);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), c.width);
        EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
        EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
        EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), c.orientation == DMORIENT_PORTRAIT ? 210 : 297);
        DeleteDC(dc);
    }
    EXPECT_EQ(DeviceCapabilities(u"PDF", nullptr, DC_ORIENTATION, nullptr, nullptr), 90);
    TPrinterSettings bad;
    bad.PaperWidth = 0;
    EXPECT_EQ(CreatePrinterDC(bad), nullptr);
}

TEST(Printer, DocumentStateIsChecked)
{
    testsupport::TempDir dir;
    TPrinterSettings s;
    s.OutputFile = Utf8ToString((dir / "aborted.pdf").string());
    HDC dc = CreatePrinterDC(s);
    EXPECT_EQ(StartPage(dc), SP_ERROR); // no document yet
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    EXPECT_EQ(StartDoc(dc, nullptr), SP_ERROR);
    EXPECT_EQ(EndPage(dc), SP_ERROR); // no page yet
    ASSERT_EQ(StartPage(dc), 1);
    Rectangle(dc, 0, 0, 100, 100);
    EXPECT_EQ(AbortDoc(dc), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "aborted.pdf"));
    // Raster-only calls have nothing to read on paper.
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    DeleteDC(dc);

    TPrinterSettings none;
    HDC nowhere = CreatePrinterDC(none);
    EXPECT_EQ(StartDoc(nowhere, nullptr), SP_ERROR); // neither a file nor a printer
    DeleteDC(nowhere);
}

// Prints two pages and looks at them through pdftoppm.
TEST(Printer, TwoPagePdfRendersWhatWasDrawn)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm is not installed";
    testsupport::TempDir dir;
    const auto pdf = dir / "out.pdf";
    TPrinterSettings s;
    s.OutputFile = Utf8ToString(pdf.string());
    HDC dc = CreatePrinterDC(s);
    DOCINFOW doc;
    doc.lpszDocName = u"Two pages";
    ASSERT_GT(StartDoc(dc, &doc), 0);

    ASSERT_EQ(StartPage(dc), 1);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 600, 600, 1800, 1800); // one to three inches
    HFONT font = CreateFont(-200, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Arial");
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    TextOut(dc, 600, 3000, u"Printed text", 12);
    SetROP2(dc, R2_XORPEN); // painted plainly on paper
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(dc, blue);
    Rectangle(dc, 3000, 600, 3600, 1200);
    EXPECT_FALSE(FloodFill(dc, 10, 10, RGB(0, 0, 0)));
    ASSERT_EQ(EndPage(dc), 1);

    ASSERT_EQ(StartPage(dc), 1);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SetROP2(dc, R2_COPYPEN);
    const RECT r { 2400, 4800, 4200, 6600 };
    FillRect(dc, &r, red);
    // Hatches print as hatches: stripes of ink and background.
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    const RECT h { 600, 4800, 1800, 6000 };
    FillRect(dc, &h, hatch);
    ASSERT_EQ(EndPage(dc), 1);
    ASSERT_EQ(EndDoc(dc), 1);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteDC(dc);
    for (HGDIOBJ o : { HGDIOBJ(font), HGDIOBJ(blue), HGDIOBJ(red), HGDIOBJ(hatch) })
        DeleteObject(o);

    // 60 dots per inch: one tenth of the printer's units.
    const std::string cmd = "pdftoppm -r 60 -png '" + pdf.string() + "' '" + (dir / "page").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const TImage p1 = LoadImageFile(Utf8ToString((dir / "page-1.png").string()));
    const TImage p2 = LoadImageFile(Utf8ToString((dir / "page-2.png").string()));
    ASSERT_FALSE(std::filesystem::exists(dir / "page-3.png"));
    const auto& a = p1.Frames[0];
    const auto& b = p2.Frames[0];
    EXPECT_NEAR(a.Width, 496, 1);
    EXPECT_NEAR(a.Height, 702, 1);
    const auto rgb = [](const TImageFrame& f, int x, int y) { return f.At(x, y) & 0xFFFFFF; };
    EXPECT_EQ(rgb(a, 120, 120), 0x000000u);
    EXPECT_EQ(rgb(a, 50, 50), 0xFFFFFFu);
    EXPECT_EQ(rgb(a, 330, 90), 0x0000FFu);
    EXPECT_EQ(rgb(a, 120, 400), 0xFFFFFFu);
    // The text leaves ink on its line.
    int ink = 0;
    for (int y = 300; y < 325; ++y)
        for (int x = 60; x < 200; ++x)
            ink += rgb(a, x, y) != 0xFFFFFFu;
    EXPECT_GT(ink, 50);
    EXPECT_EQ(rgb(b, 330, 570), 0xFF0000u);
    // One hatch row every 8 printer pixels is finer than 60 dots per inch
    // shows: the area comes out as a mixture of both colours.
    const std::uint32_t mixed = rgb(b, 120, 540);
    EXPECT_NE(mixed, 0x00FF00u);
    EXPECT_NE(mixed, 0x000000u);
    EXPECT_GT((mixed >> 8) & 0xFF, 0x40u);
    EXPECT_EQ(rgb(b, 120, 120), 0xFFFFFFu);
}

} // namespace
