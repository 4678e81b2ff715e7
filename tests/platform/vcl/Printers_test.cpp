#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Printers.h"

namespace {

namespace fs = std::filesystem;

struct PrinterJob : ::testing::Test {
    fs::path Dir;
    TPrinter P;

    void SetUp() override
    {
        std::string Tmpl = (fs::temp_directory_path() / "printers-XXXXXX").string();
        ASSERT_NE(mkdtemp(Tmpl.data()), nullptr);
        Dir = Tmpl;
    }
    void TearDown() override
    {
        std::error_code Ec;
        fs::remove_all(Dir, Ec);
    }
    static bool Have(const char* Tool)
    {
        const std::string Cmd = std::string("command -v ") + Tool + " >/dev/null 2>&1";
        return std::system(Cmd.c_str()) == 0;
    }
    static std::string Run(const std::string& Cmd)
    {
        std::string Out;
        if (FILE* F = popen(Cmd.c_str(), "r")) {
            char Buf[512];
            while (std::fgets(Buf, sizeof Buf, F))
                Out += Buf;
            pclose(F);
        }
        return Out;
    }
    static std::string Field(const std::string& Info, const std::string& Name)
    {
        const auto At = Info.find(Name + ":");
        if (At == std::string::npos)
            return {};
        auto From = Info.find_first_not_of(' ', At + Name.size() + 1);
        return Info.substr(From, Info.find('\n', From) - From);
    }
};

} // namespace

TEST_F(PrinterJob, WritesAMultiPagePdf)
{
    const fs::path File = Dir / "job.pdf";
    P.SetOutputFile(S(File.string()));
    P.SetTitle(u"Listing");
    EXPECT_EQ(P.GetPageWidth(), 4961);   // A4 at 600 dpi
    EXPECT_EQ(P.GetPageHeight(), 7016);
    P.BeginDoc();
    ASSERT_TRUE(P.GetPrinting());
    for (int Page = 1; Page <= 3; ++Page) {
        if (Page > 1)
            P.NewPage();
        EXPECT_EQ(P.GetPageNumber(), Page);
        TCanvas* C = P.GetCanvas();
        C->GetBrush()->SetColor(clBlack);
        // A black block whose place tells the pages apart.
        C->FillRect(TRect(600 * Page, 600, 600 * Page + 600, 1200));
        C->GetBrush()->SetStyle(bsClear);
        C->GetFont()->SetSize(12);
        C->TextOut(600, 2000, u"Page " + IntToStr(Page));
    }
    P.EndDoc();
    EXPECT_FALSE(P.GetPrinting());
    ASSERT_TRUE(fs::exists(File));
    std::ifstream In(File, std::ios::binary);
    std::string Head(5, '\0');
    In.read(Head.data(), 5);
    EXPECT_EQ(Head, "%PDF-");

    if (!Have("pdfinfo") || !Have("pdftoppm"))
        GTEST_SKIP() << "poppler-utils are not installed";
    const std::string Info = Run("pdfinfo '" + File.string() + "'");
    EXPECT_EQ(Field(Info, "Pages"), "3");
    EXPECT_EQ(Field(Info, "Title"), "Listing");
    EXPECT_NE(Field(Info, "Page size").find("(A4)"), std::string::npos) << Info;

    // Page 2 at 60 dpi: its block covers x 120..180, y 60..120; page 1's place stays white.
    const fs::path Png = Dir / "page";
    Run("pdftoppm -r 60 -gray -f 2 -l 2 '" + File.string() + "' '" + Png.string() + "'");
    fs::path Pgm;
    for (const auto& E : fs::directory_iterator(Dir))
        if (E.path().extension() == ".pgm")
            Pgm = E.path();
    ASSERT_FALSE(Pgm.empty());
    std::ifstream Img(Pgm, std::ios::binary);
    std::string Magic;
    int W = 0, H = 0, Max = 0;
    Img >> Magic >> W >> H >> Max;
    Img.get();
    std::string Pixels(std::size_t(W) * H, '\0');
    Img.read(Pixels.data(), std::streamsize(Pixels.size()));
    auto At = [&](int X, int Y) { return int(static_cast<unsigned char>(Pixels[std::size_t(Y) * W + X])); };
    EXPECT_EQ(Magic, "P5");
    EXPECT_LT(At(150, 90), 64);   // this page's block
    EXPECT_GT(At(90, 90), 192);   // where page 1 had its block
    EXPECT_GT(At(210, 90), 192);  // where page 3 has its block
}

TEST_F(PrinterJob, NeedsAFileOrAPrinter)
{
    EXPECT_THROW(P.BeginDoc(), EPrinter);
    EXPECT_FALSE(P.GetPrinting());
    P.SetPrinterName(u"PDF");  // the file printer still needs a file
    EXPECT_THROW(P.BeginDoc(), EPrinter);
    EXPECT_THROW(P.NewPage(), EPrinter);
    EXPECT_THROW(P.EndDoc(), EPrinter);
}

TEST_F(PrinterJob, AbortWritesNothingAndSettingsWaitForTheEnd)
{
    const fs::path File = Dir / "dropped.pdf";
    P.SetOutputFile(S(File.string()));
    P.SetOrientation(poLandscape);
    EXPECT_EQ(P.GetPageWidth(), 7016);
    P.BeginDoc();
    EXPECT_EQ(P.GetPageWidth(), 7016);
    EXPECT_EQ(P.GetPageHeight(), 4961);
    EXPECT_THROW(P.BeginDoc(), EPrinter);
    EXPECT_THROW(P.SetOrientation(poPortrait), EPrinter);
    EXPECT_THROW(P.SetOutputFile(u"other.pdf"), EPrinter);
    P.GetCanvas()->TextOut(100, 100, u"gone");
    P.Abort();
    EXPECT_TRUE(P.GetAborted());
    EXPECT_FALSE(P.GetPrinting());
    EXPECT_FALSE(fs::exists(File));

    // The printer is ready for the next document.
    P.BeginDoc();
    P.EndDoc();
    EXPECT_TRUE(fs::exists(File));
}

TEST(Printers, ProgramPrinterIsReplaceable)
{
    TPrinter* First = Printer();
    EXPECT_EQ(Printer(), First);
    auto Old = SetPrinter(std::make_unique<TPrinter>());
    EXPECT_EQ(Old.get(), First);
    EXPECT_NE(Printer(), First);
    SetPrinter(std::move(Old));
    EXPECT_EQ(Printer(), First);
}
