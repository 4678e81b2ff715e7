// Printing the grid for real: a three-page grid printed into a PDF file,
// turned into PNG pages with pdftoppm and probed where the engine said it
// drew; and page 2 of the preview painted by a headless form.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/views/print/GridPrintJob.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Printers.h"
#include "platform/win/Headless.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

using namespace gridfiletest;

namespace {

constexpr int Dpi = 96;

int Px(int Tenths) { return Tenths * Dpi / 254; }

// Whether any pixel of the box is dark.
bool AnyDark(TCanvas* C, int X0, int Y0, int X1, int Y1)
{
    for (int y = Y0; y <= Y1; ++y)
        for (int x = X0; x <= X1; ++x) {
            const TColor P = C->GetPixel(x, y);
            if ((P & 0xFF) < 0x80 && ((P >> 8) & 0xFF) < 0x80 && ((P >> 16) & 0xFF) < 0x80)
                return true;
        }
    return false;
}

// A form whose paint handler may draw on its canvas.
struct TPreviewForm : TForm {
    using TForm::TForm;
    using TCustomForm::GetCanvas;
};

struct TPrintedGrid : ::testing::Test {
    THeadlessSession Session;
    TDedOzovedUrad G { nullptr };
    std::vector<TGridPrintOp> Ops;
    testsupport::TempDir Dir;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        G.SetColCount(3);
        G.SetRowCount(150);
        G.SetFixedRows(1);
        G.SetFixedCols(0);
        for (int c = 0; c < 3; ++c) {
            G.SetCellEx(c, 0, u"Head" + IntToStr(c));
            for (int r = 1; r < 150; ++r)
                G.SetCellEx(c, r, u"Cell" + IntToStr(c) + u"x" + IntToStr(r));
        }
        TPrintSettings* S = G.GetPrintSettings();
        S->GetFont()->SetName(u"Arial");
        S->GetFont()->SetSize(10);
        S->SetPageNr(DedOzovedUrad::ppBottomCenter);
        S->SetRepeatFixedRows(true);
        SetGridPrintRecorder([this](const TGridPrintOp& Op) { Ops.push_back(Op); });
    }
    void TearDown() override { SetGridPrintRecorder({}); }

    const TGridPrintOp* Find(const String& Text, int Page)
    {
        for (const auto& Op : Ops)
            if (Op.Kind == TGridPrintOp::opText && Op.Page == Page && Op.Text == Text)
                return &Op;
        return nullptr;
    }
    const TGridPrintOp* LineOn(int Page)
    {
        for (const auto& Op : Ops)
            if (Op.Kind == TGridPrintOp::opLine && Op.Page == Page && Op.R.Left == Op.R.Right
                && Op.R.Left > 100)
                return &Op;
        return nullptr;
    }
    // Text drawn at a recorded place (x, y = its top), offset to the page's corner.
    void ExpectText(TCanvas* C, const TGridPrintOp* Op, TPoint Corner)
    {
        ASSERT_NE(Op, nullptr);
        const int X = Corner.X + Px(Op->R.Left), Y = Corner.Y + Px(-Op->R.Top);
        EXPECT_TRUE(AnyDark(C, X, Y, X + 30, Y + 14)) << StringToUtf8(Op->Text) << " at " << X << "," << Y;
    }
    void ExpectLine(TCanvas* C, const TGridPrintOp* Op, TPoint Corner)
    {
        ASSERT_NE(Op, nullptr);
        const int X = Corner.X + Px(Op->R.Left), Y = Corner.Y + Px(-(Op->R.Top + Op->R.Bottom) / 2);
        EXPECT_TRUE(AnyDark(C, X - 1, Y, X + 1, Y)) << "line at " << X << "," << Y;
        EXPECT_FALSE(AnyDark(C, X + 6, Y, X + 6, Y)) << "beside the line";
    }
};

TEST_F(TPrintedGrid, PrintWritesAPdfWhosePagesShowTextBordersAndPageNumbers)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    auto Old = SetPrinter(std::make_unique<TPrinter>());
    Printer()->SetOutputFile(P(Dir / "grid.pdf"));
    G.Print();
    SetPrinter(std::move(Old));
    ASSERT_EQ(G.GetPrintNrOfPages(), 3);
    const std::string Cmd = "pdftoppm -r " + std::to_string(Dpi) + " -png '" + (Dir / "grid.pdf").string() + "' '"
        + (Dir / "page").string() + "'";
    ASSERT_EQ(std::system(Cmd.c_str()), 0);
    for (int Page = 1; Page <= 3; ++Page) {
        SCOPED_TRACE(Page);
        const auto File = Dir / ("page-" + std::to_string(Page) + ".png");
        ASSERT_TRUE(std::filesystem::exists(File));
        TPicture Pic;
        Pic.LoadFromFile(P(File));
        TBitmap Bmp;
        Bmp.SetSize(Pic.GetGraphic()->GetWidth(), Pic.GetGraphic()->GetHeight());
        Bmp.GetCanvas()->Draw(0, 0, Pic.GetGraphic());
        EXPECT_NEAR(Bmp.GetWidth(), 794, 2);
        TCanvas* C = Bmp.GetCanvas();
        ExpectText(C, Find(u"Head1", Page), {});
        ExpectText(C, Find(u"  " + IntToStr(Page) + u"/3 ", Page), {});
        ExpectLine(C, LineOn(Page), {});
        EXPECT_FALSE(AnyDark(C, 2, 2, 30, 30)) << "the corner stays blank";
    }
}

TEST_F(TPrintedGrid, PreviewPaintsPageTwoInAFormsPaintHandler)
{
    TPreviewForm Form(nullptr);
    Form.SetPosition(poDesigned);
    Form.SetBounds(0, 0, 900, 1200);
    Form.SetColor(clWhite);
    const TPoint Corner(20, 10);
    Form.OnPaint = [&](TObject*) {
        G.SetPreviewPage(2);
        G.PrintPreview(Form.GetCanvas(), TRect(Corner.X, Corner.Y, Corner.X + 794, Corner.Y + 1123));
    };
    Form.Show();
    Headless::PumpUntilIdle();
    ASSERT_EQ(G.GetPrintNrOfPages(), 3);
    TBitmap Shot;
    Shot.SetSize(Form.GetClientWidth(), Form.GetClientHeight());
    Form.PaintTo(Shot.GetCanvas()->GetHandle(), 0, 0);
    TCanvas* C = Shot.GetCanvas();
    ExpectText(C, Find(u"Head1", 2), Corner);
    ExpectText(C, Find(u"  2/3 ", 2), Corner);
    ExpectLine(C, LineOn(2), Corner);
    EXPECT_EQ(Find(u"Head1", 1), nullptr) << "only page 2 is drawn";
}

} // namespace
