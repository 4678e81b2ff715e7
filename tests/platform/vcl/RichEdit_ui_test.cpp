#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/Codecs.h"
#include "platform/gdi/Printer.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/RichEdit.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"
#include "tests/support/Fixtures.h"

namespace {

// Red "RED", blue "BLUE" at 20 points, then a right-aligned red line.
const char* const kTwoLines = R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl ;\red255\green0\blue0;\red0\green0\blue255;})"
                              R"(\f0\fs40\cf1 RED \cf2 BLUE\par\qr\cf1 right})";

// A parent that records the notifications its children send.
class TNotifyPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<UINT> Codes;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_NOTIFY && m.LParam)
            Codes.push_back(reinterpret_cast<const NMHDR*>(m.LParam)->code);
        TCustomControl::Dispatch(m);
    }
};

// A white 32-bit bitmap selected into a memory device context.
struct TBitmapDC {
    TBitmapDC(int W, int H) : Width(W), Height(H)
    {
        DC = CreateCompatibleDC(nullptr);
        BITMAPINFO bi {};
        bi.bmiHeader.biWidth = W;
        bi.bmiHeader.biHeight = -H;
        bi.bmiHeader.biBitCount = 32;
        Bitmap = CreateDIBSection(DC, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
        Old = SelectObject(DC, Bitmap);
        PatBlt(DC, 0, 0, W, H, WHITENESS);
    }
    ~TBitmapDC()
    {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    // Pixels of colour `C` in a device rectangle.
    int Count(COLORREF C, TRect R) const
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += (GetPixel(DC, x, y) & 0xFFFFFF) == C;
        return n;
    }
    // Pixels that are not white.
    int Ink(TRect R) const
    {
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                n += (GetPixel(DC, x, y) & 0xFFFFFF) != 0xFFFFFF;
        return n;
    }
    // The topmost row with ink in a column band.
    int FirstInkRow(int Left, int Right) const
    {
        for (int y = 0; y < Height; ++y)
            for (int x = Left; x < Right; ++x)
                if ((GetPixel(DC, x, y) & 0xFFFFFF) != 0xFFFFFF)
                    return y;
        return -1;
    }
    int Width, Height;
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
};

class RichEditUi : public SimpleControls {
protected:
    void SetUp() override
    {
        SimpleControls::SetUp();
        form = MakeForm(500, 300);
        panel = Add<TNotifyPanel>(form.get(), form.get(), TRect(0, 0, 480, 280));
        edit = Add<TRichEdit>(form.get(), panel, TRect(10, 10, 310, 110));
        edit->SetBorderStyle(bsNone);
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        form.reset();
        SimpleControls::TearDown();
    }
    // EM_FORMATRANGE of the whole text into a pixel rectangle of a 96 dpi DC.
    LRESULT Format(HDC DC, TRect Px, bool Render, int From = 0, int To = -1, RECT* Used = nullptr)
    {
        FORMATRANGE fr;
        fr.hdc = fr.hdcTarget = DC;
        fr.rc = TRect(Px.Left * 15, Px.Top * 15, Px.Right * 15, Px.Bottom * 15);
        fr.rcPage = fr.rc;
        fr.chrg.cpMin = From;
        fr.chrg.cpMax = To;
        const LRESULT r = edit->Perform(EM_FORMATRANGE, Render, reinterpret_cast<LPARAM>(&fr));
        if (Used)
            *Used = fr.rc;
        return r;
    }
    void Load(const std::string& Rtf)
    {
        TStringStream s(Utf8ToString(Rtf));
        edit->GetLines()->LoadFromStream(s);
    }
    std::unique_ptr<TForm> form;
    TNotifyPanel* panel { nullptr };
    TRichEdit* edit { nullptr };
};

TEST_F(RichEditUi, FormatRangeDrawsRunsWithTheirColoursAndAlignment)
{
    Load(kTwoLines);
    ASSERT_EQ(edit->GetText(), u"RED BLUE\r\nright");
    TBitmapDC bmp(300, 100);
    const TRect rc(10, 10, 290, 90);
    EXPECT_EQ(Format(bmp.DC, rc, false), 15) << "measuring answers the end";
    EXPECT_EQ(bmp.Ink(TRect(0, 0, 300, 100)), 0) << "measuring draws nothing";
    RECT used {};
    EXPECT_EQ(Format(bmp.DC, rc, true, 0, -1, &used), 15);
    EXPECT_GT(used.Bottom, used.Top + 15 * 40) << "two lines of 20 points";
    EXPECT_LT(used.Bottom, used.Top + 15 * 80);
    edit->Perform(EM_FORMATRANGE, 0, 0);
    // Line 1: red then blue from the left; line 2: red at the right.
    EXPECT_GT(bmp.Count(RGB(255, 0, 0), TRect(10, 10, 60, 45)), 20);
    EXPECT_GT(bmp.Count(RGB(0, 0, 255), TRect(60, 10, 150, 45)), 20);
    EXPECT_EQ(bmp.Count(RGB(0, 0, 255), TRect(10, 10, 55, 45)), 0);
    EXPECT_GT(bmp.Count(RGB(255, 0, 0), TRect(220, 45, 290, 85)), 20);
    EXPECT_EQ(bmp.Ink(TRect(10, 45, 150, 90)), 0);
    // No background: outside the glyphs the bitmap stays white.
    EXPECT_EQ(bmp.Ink(TRect(0, 0, 10, 100)), 0);
    EXPECT_EQ(bmp.Ink(TRect(290, 0, 300, 100)), 0);
}

TEST_F(RichEditUi, FormatRangeAnswersTheFirstCharacterNotDrawn)
{
    Load(kTwoLines);
    TBitmapDC bmp(300, 100);
    // Room for one line: the second starts after "RED BLUE" and its break.
    EXPECT_EQ(Format(bmp.DC, TRect(10, 10, 290, 45), true), 10);
    EXPECT_EQ(bmp.Ink(TRect(0, 45, 300, 100)), 0);
    // The rest, from there.
    TBitmapDC rest(300, 100);
    EXPECT_EQ(Format(rest.DC, TRect(10, 10, 290, 45), true, 10), 15);
    EXPECT_GT(rest.Count(RGB(255, 0, 0), TRect(220, 10, 290, 45)), 20);
    // A range that ends early draws only its characters.
    TBitmapDC part(300, 100);
    EXPECT_EQ(Format(part.DC, TRect(10, 10, 290, 90), true, 0, 3), 3);
    EXPECT_GT(part.Count(RGB(255, 0, 0), TRect(10, 10, 60, 45)), 20);
    EXPECT_EQ(part.Count(RGB(0, 0, 255), TRect(0, 0, 300, 100)), 0);
    // Without word wrap a narrow rectangle clips instead of wrapping.
    edit->SetWordWrap(false);
    TBitmapDC narrow(300, 100);
    EXPECT_EQ(Format(narrow.DC, TRect(10, 10, 40, 90), true), 15);
    EXPECT_EQ(narrow.Ink(TRect(40, 0, 300, 100)), 0);
}

TEST_F(RichEditUi, FormatRangeUsesDevicePixelsWhateverTheMapping)
{
    Load(kTwoLines);
    TBitmapDC plain(300, 100), mapped(300, 100);
    Format(plain.DC, TRect(10, 10, 290, 90), true);
    SetMapMode(mapped.DC, MM_LOMETRIC);
    SetViewportOrgEx(mapped.DC, 40, 30, nullptr);
    Format(mapped.DC, TRect(10, 10, 290, 90), true);
    EXPECT_EQ(GetMapMode(mapped.DC), MM_LOMETRIC) << "the mapping is restored";
    POINT origin {};
    GetViewportOrgEx(mapped.DC, &origin);
    EXPECT_EQ(origin.X, 40);
    // Pixels are compared in device units.
    SetMapMode(mapped.DC, MM_TEXT);
    SetViewportOrgEx(mapped.DC, 0, 0, nullptr);
    EXPECT_GT(plain.Ink(TRect(0, 0, 300, 100)), 100);
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 300; x += 3)
            ASSERT_EQ(GetPixel(plain.DC, x, y), GetPixel(mapped.DC, x, y)) << x << "," << y;
}

TEST_F(RichEditUi, SelectionFormatsRenderAndOffsetsRaiseAndLowerText)
{
    // Three runs of the same letters: plain, raised green, lowered blue.
    Load(R"({\rtf1\fs40 xxxx xxxx xxxx})");
    auto format = [&](int from, int to, TColor colour, int twips) {
        edit->SetSel(from, to);
        edit->GetSelAttributes()->SetColor(colour);
        CHARFORMAT2W f;
        f.dwMask = CFM_OFFSET;
        f.yOffset = twips;
        EXPECT_EQ(edit->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f)), 1);
    };
    // 80 twips are 4 points: 5 pixels at 96 dots per inch.
    format(5, 9, TColor(RGB(0, 160, 0)), 80);
    format(10, 14, TColor(RGB(0, 0, 255)), -80);
    TBitmapDC bmp(400, 100);
    Format(bmp.DC, TRect(0, 0, 400, 100), true);
    auto top = [&](COLORREF c) {
        for (int y = 0; y < 100; ++y)
            if (bmp.Count(c, TRect(0, y, 400, y + 1)))
                return y;
        return -1;
    };
    const int normal = top(0), raised = top(RGB(0, 160, 0)), lowered = top(RGB(0, 0, 255));
    ASSERT_GE(normal, 0);
    ASSERT_GE(raised, 0);
    ASSERT_GE(lowered, 0);
    EXPECT_NEAR(normal - raised, 5, 1);
    EXPECT_NEAR(lowered - normal, 5, 1);
}

TEST_F(RichEditUi, OffsetAndFormatsRoundTripThroughMessagesAndRtf)
{
    edit->SetText(u"H2O x2");
    struct TCase {
        int From, To, Twips;
    };
    const TCase cases[] = { { 1, 2, -40 }, { 5, 6, 40 }, { 0, 1, 0 } };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Twips);
        edit->SetSel(c.From, c.To);
        CHARFORMAT2W f;
        f.dwMask = CFM_OFFSET;
        f.yOffset = c.Twips;
        edit->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        CHARFORMAT2W r;
        const LRESULT mask = edit->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&r));
        EXPECT_TRUE(mask & CFM_OFFSET);
        EXPECT_EQ(r.yOffset, c.Twips);
    }
    // Over mixed offsets the offset is not consistent.
    edit->SetSel(0, 3);
    CHARFORMAT2W mixed;
    EXPECT_FALSE(edit->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&mixed)) & CFM_OFFSET);
    // A short CHARFORMAT is served too, within its size.
    CHARFORMATW small;
    edit->SetSel(1, 2);
    edit->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&small));
    EXPECT_EQ(small.cbSize, sizeof(CHARFORMATW));
    EXPECT_EQ(small.yOffset, -40);

    edit->SetSel(0, 1);
    edit->GetSelAttributes()->SetStyle(TFontStyles { fsBold });
    edit->GetSelAttributes()->SetName(u"Courier New");
    edit->GetSelAttributes()->SetSize(14);

    TStringStream saved;
    edit->GetLines()->SaveToStream(saved);
    const std::string rtf = StringToUtf8(saved.GetDataString());
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    edit->Clear();
    EXPECT_EQ(edit->GetText(), u"");
    Load(rtf);
    EXPECT_EQ(edit->GetText(), u"H2O x2");
    const int expected[] = { 0, -40, 0, 0, 0, 40 };
    for (int i = 0; i < 6; ++i) {
        edit->SetSel(i, i + 1);
        CHARFORMAT2W r;
        edit->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(r.yOffset, expected[i]) << i;
    }
    edit->SetSel(0, 1);
    EXPECT_EQ(edit->GetSelAttributes()->GetName(), u"Courier New");
    EXPECT_EQ(edit->GetSelAttributes()->GetSize(), 14);
    EXPECT_TRUE(edit->GetSelAttributes()->GetStyle().Contains(fsBold));
    edit->SetSel(1, 2);
    EXPECT_FALSE(edit->GetSelAttributes()->GetStyle().Contains(fsBold));
}

TEST_F(RichEditUi, RequestResizeReportsTheTextSize)
{
    std::vector<TRect> asked;
    edit->OnResizeRequest = [&](TObject*, const TRect& r) { asked.push_back(r); };
    edit->Perform(EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    edit->SetWordWrap(false);
    Load(R"({\rtf1\fs20 short\par a much longer second line of text})");
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(panel->Codes.back(), EN_REQUESTRESIZE) << "sent to the parent as WM_NOTIFY";
    const TRect twoLines = asked.back();
    EXPECT_GT(twoLines.Width(), 200) << "the longest line, wider than the control allows";
    EXPECT_NEAR(twoLines.Height(), 2 * 15, 6);

    // Word wrap at the control's width: more lines, the control's width.
    asked.clear();
    edit->SetWidth(120);
    edit->SetWordWrap(true);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().Width(), 120);
    EXPECT_GT(asked.back().Height(), twoLines.Height() + 10);

    // A bigger font, and an explicit request, ask again.
    asked.clear();
    edit->SelectAll();
    edit->GetSelAttributes()->SetSize(20);
    ASSERT_FALSE(asked.empty());
    const int bigger = asked.back().Height();
    EXPECT_GT(bigger, twoLines.Height() * 2);
    asked.clear();
    edit->Perform(EM_REQUESTRESIZE);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked.back().Height(), bigger);

    // Without the event mask nothing is asked.
    edit->Perform(EM_SETEVENTMASK, 0, 0);
    asked.clear();
    edit->SetText(u"x");
    edit->Perform(EM_REQUESTRESIZE);
    EXPECT_TRUE(asked.empty());
}

TEST_F(RichEditUi, EditingContinuesTheFormatAroundTheCaret)
{
    Load(R"({\rtf1\fs20 ab{\b cd}ef\par\qc centred})");
    int changes = 0, selections = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->OnSelectionChange = [&](TObject*) { ++selections; };
    edit->SetFocus();
    Pump();
    edit->SetSelStart(3); // inside the bold run
    EXPECT_GT(selections, 0);
    Headless::Type(u"X");
    Pump();
    EXPECT_EQ(edit->GetText(), u"abcXdef\r\ncentred");
    EXPECT_GT(changes, 0);
    edit->SetSel(3, 4);
    EXPECT_TRUE(edit->GetSelAttributes()->GetStyle().Contains(fsBold));
    // A new paragraph inside the centred one stays centred.
    edit->SetSelStart(int(edit->GetText().size()) - 3);
    Headless::Key(VK_RETURN);
    Pump();
    const TRichDocument doc = edit->GetDocument();
    ASSERT_EQ(doc.Paragraphs.size(), 3u);
    EXPECT_EQ(doc.Paragraphs[1].Alignment, raCenter);
    EXPECT_EQ(doc.Paragraphs[2].Alignment, raCenter);
    EXPECT_EQ(doc.Paragraphs[0].Alignment, raLeft);
    // Plain text in and out through Lines.
    edit->SetPlainText(true);
    TStringStream plain;
    edit->GetLines()->SaveToStream(plain);
    EXPECT_EQ(plain.GetDataString(), u"abcXdef\r\ncent\r\nred\r\n");
}

TEST_F(RichEditUi, ContentSurvivesWindowRecreation)
{
    Load(kTwoLines);
    const std::string before = edit->GetRtf();
    edit->RecreateWnd();
    Pump();
    ASSERT_TRUE(edit->HandleAllocated());
    EXPECT_EQ(edit->GetRtf(), before);
    EXPECT_EQ(edit->GetText(), u"RED BLUE\r\nright");
}

TEST_F(RichEditUi, PaintsFormatsAndKeepsAnUnfocusedSelectionWhenAsked)
{
    Load(R"({\rtf1{\colortbl ;\red255\green0\blue0;}\fs40\cf1 WWWW})");
    Pump();
    int red = 0;
    for (int x = 0; x < 80; ++x)
        for (int y = 0; y < 30; y += 2)
            red += PixelAt(edit, TPoint(x, y)) == TColor(RGB(255, 0, 0));
    EXPECT_GT(red, 10);
    edit->SetHideSelection(false);
    edit->SetSel(0, 2);
    panel->SetFocus();
    Pump();
    int highlight = 0;
    for (int x = 0; x < 80; ++x)
        highlight += PixelAt(edit, TPoint(x, 3)) == TColor(ColorToRGB(clHighlight));
    EXPECT_GT(highlight, 10);
}

TEST_F(RichEditUi, TransparentWindowLetsTheMousePass)
{
    const TPoint inside = edit->ClientToScreen(TPoint(20, 20));
    EXPECT_EQ(WindowFromPoint(inside), edit->GetHandle());
    SetWindowLong(edit->GetHandle(), GWL_EXSTYLE, GetWindowLong(edit->GetHandle(), GWL_EXSTYLE) | LONG(WS_EX_TRANSPARENT));
    EXPECT_EQ(WindowFromPoint(inside), panel->GetHandle());
}

// Printing: the same runs on a 600 dpi PDF page, looked at through pdftoppm.
TEST_F(RichEditUi, FormatRangeIntoAPdfPage)
{
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm is not installed";
    Load(kTwoLines);
    testsupport::TempDir dir;
    TPrinterSettings s;
    s.OutputFile = Utf8ToString((dir / "rich.pdf").string());
    HDC dc = CreatePrinterDC(s);
    ASSERT_NE(dc, nullptr);
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    ASSERT_EQ(StartPage(dc), 1);
    // One to four inches across, one inch down, in twips.
    FORMATRANGE fr;
    fr.hdc = fr.hdcTarget = dc;
    fr.rc = TRect(1440, 1440, 4 * 1440, 3 * 1440);
    fr.rcPage = fr.rc;
    fr.chrg.cpMax = -1;
    EXPECT_EQ(edit->Perform(EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&fr)), 15);
    edit->Perform(EM_FORMATRANGE, 0, 0);
    ASSERT_EQ(EndPage(dc), 1);
    ASSERT_EQ(EndDoc(dc), 1);
    DeleteDC(dc);
    const std::string cmd = "pdftoppm -r 96 -png '" + (dir / "rich.pdf").string() + "' '" + (dir / "page").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const TImage page = LoadImageFile(Utf8ToString((dir / "page-1.png").string()));
    const auto& f = page.Frames[0];
    auto count = [&](auto pred, TRect r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += pred(f.At(x, y) & 0xFFFFFF);
        return n;
    };
    // Reddish ink and bluish ink, allowing for anti-aliasing.
    auto red = [](std::uint32_t c) { return ((c >> 16) & 0xFF) > 180 && (c & 0xFF) < 100 && ((c >> 8) & 0xFF) < 100; };
    auto blue = [](std::uint32_t c) { return (c & 0xFF) > 180 && ((c >> 16) & 0xFF) < 100; };
    // At 96 dpi the rectangle is (96, 96)-(384, 288); line 1 is 20 points.
    EXPECT_GT(count(red, TRect(96, 96, 150, 130)), 20);
    EXPECT_GT(count(blue, TRect(150, 96, 250, 130)), 20);
    EXPECT_GT(count(red, TRect(320, 126, 384, 165)), 20) << "right-aligned second line";
    EXPECT_EQ(count(red, TRect(0, 0, 90, 400)), 0);
}

} // namespace
