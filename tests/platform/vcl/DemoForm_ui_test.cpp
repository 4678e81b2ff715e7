// A form holding every standard control, shown on a real display through the
// SDL back end (a private Xvfb when there is no display), in the plain style
// and two visual styles. Each picture is written as a PNG for people to look
// at: $QT_TEST_OUTPUT_DIR, else test-output/ in the working directory.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/gdi/Codecs.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/CheckLst.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComCtrls_TrackBar.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Backend.h"
#include "platform/win/Headless.h"
#include "platform/win/SdlBackend.h"
#include "platform/win/Window.h"
#include "tests/support/Limits.h"
#include "tests/support/PrivateDisplay.h"

namespace {

constexpr int DemoWidth = 640;
constexpr int DemoHeight = 520;

std::filesystem::path OutputDir()
{
    const char* env = std::getenv("QT_TEST_OUTPUT_DIR");
    std::filesystem::path dir = env && *env ? std::filesystem::path(env) : std::filesystem::current_path() / "test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

template<class C>
C* Put(TForm* form, TWinControl* parent, TRect r, const char16_t* caption = nullptr)
{
    auto* c = new C(form);
    c->SetBoundsRect(r);
    if (caption)
        c->SetCaption(caption);
    c->SetParent(parent);
    return c;
}

// A 16 x 16 glyph strip of two images: a diamond, and its disabled grey.
void MakeGlyph(TBitmap& b, TColor colour)
{
    b.SetSize(32, 16);
    TCanvas* c = b.GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect({ 0, 0, 32, 16 });
    for (int i = 0; i < 2; ++i) {
        c->GetBrush()->SetColor(i == 0 ? colour : clGray);
        c->GetPen()->SetColor(i == 0 ? colour : clGray);
        c->Polygon({ { 16 * i + 8, 2 }, { 16 * i + 14, 8 }, { 16 * i + 8, 14 }, { 16 * i + 2, 8 } });
    }
}

// Builds the demo on `f` and answers its title panel.
TPanel* BuildDemo(TForm* f)
{
    f->SetBorderStyle(bsNone);
    f->SetPosition(poDesigned);
    f->SetBounds(20, 20, DemoWidth, DemoHeight);
    f->GetFont()->SetName(u"Tahoma");

    // The menu bar first, so it stands above the title.
    auto* menu = new TMainMenu(f);
    for (const char16_t* caption : { u"&File", u"&View", u"&Appearance", u"&Help" }) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(caption);
        menu->GetItems()->Add(item);
    }

    auto* tools = Put<TToolBar>(f, f, { 0, 0, 640, 26 });
    tools->SetShowCaptions(true);
    tools->SetFlat(true);
    tools->SetButtonHeight(22);
    tools->SetButtonWidth(60);
    int x = 0;
    for (const char16_t* caption : { u"GoBack", u"Stop", u"Forward", u"-", u"50%" }) {
        auto* b = new TToolButton(f);
        b->SetLeft(x);
        x += 60;
        if (String(caption) == u"-")
            b->SetStyle(tbsSeparator);
        else
            b->SetCaption(caption);
        if (String(caption) == u"50%") {
            b->SetStyle(tbsCheck);
            b->SetDown(true);
        }
        b->SetParent(tools);
    }

    auto* title = Put<TPanel>(f, f, { 0, 0, 640, 32 }, u"Standard controls");
    title->SetAlign(alTop);
    title->GetFont()->SetStyle({ fsBold });

    // The background panel shows the style's face colour where the form's
    // own background would not.
    auto* back = Put<TPanel>(f, f, { 0, 32, 640, 440 }, u"");
    back->SetAlign(alClient);
    back->SetBevelOuter(bvNone);

    auto* left = Put<TGroupBox>(f, back, { 8, 8, 312, 260 }, u"&Buttons");
    auto* ok = Put<TButton>(f, left, { 12, 24, 100, 50 }, u"&OK");
    ok->SetDefault(true);
    Put<TButton>(f, left, { 108, 24, 196, 50 }, u"Cancel");
    auto* off = Put<TButton>(f, left, { 204, 24, 292, 50 }, u"Disabled");
    off->SetEnabled(false);
    auto* check = Put<TCheckBox>(f, left, { 12, 62, 150, 80 }, u"Checked");
    check->SetChecked(true);
    auto* grey = Put<TCheckBox>(f, left, { 150, 62, 292, 80 }, u"Grayed");
    grey->SetAllowGrayed(true);
    grey->SetState(cbGrayed);
    Put<TRadioButton>(f, left, { 12, 86, 150, 104 }, u"Radio one")->SetChecked(true);
    Put<TRadioButton>(f, left, { 150, 86, 292, 104 }, u"Radio two");
    TBitmap glyph;
    MakeGlyph(glyph, clGreen);
    for (int i = 0; i < 3; ++i) {
        auto* sb = Put<TSpeedButton>(f, left, { 12 + 28 * i, 114, 37 + 28 * i, 139 });
        sb->SetGlyph(&glyph);
        sb->SetNumGlyphs(2);
        sb->SetGroupIndex(1);
        if (i == 1)
            sb->SetDown(true);
    }
    auto* flat = Put<TSpeedButton>(f, left, { 100, 114, 196, 139 }, u"Flat");
    flat->SetFlat(true);
    flat->SetGlyph(&glyph);
    flat->SetNumGlyphs(2);
    auto* label = new TLabel(f);
    label->SetAutoSize(false);
    label->SetBoundsRect({ 12, 150, 292, 168 });
    label->SetParent(left);
    label->SetEllipsisPosition(epEndEllipsis);
    label->SetCaption(u"A label with an ellipsis when the text does not fit the width it has");
    Put<TScrollBar>(f, left, { 12, 176, 292, 193 })->SetParams(30, 0, 100);
    auto* track = Put<TTrackBar>(f, left, { 12, 200, 292, 240 });
    track->SetPosition(4);

    auto* right = Put<TPanel>(f, back, { 320, 8, 632, 260 }, u"");
    right->SetBevelOuter(bvLowered);
    right->SetBevelInner(bvRaised);
    right->SetBorderWidth(2);
    auto* edit = Put<TEdit>(f, right, { 12, 12, 200, 34 });
    edit->SetText(u"An edit box");
    auto* memo = Put<TMemo>(f, right, { 12, 42, 200, 130 });
    memo->GetLines()->Add(u"\"Cafe\",\"1 Main St\",\"Sydney\"");
    memo->GetLines()->Add(u"\"Bakery\",\"2 High St\",\"Perth\"");
    auto* vbar = Put<TScrollBar>(f, right, { 206, 12, 223, 130 });
    vbar->SetKind(sbVertical);
    vbar->SetBounds(206, 12, 17, 118);
    vbar->SetPageSize(20);
    vbar->SetPosition(40);
    auto* shape = Put<TShape>(f, right, { 232, 12, 296, 60 });
    shape->SetShape(stRoundRect);
    shape->GetBrush()->SetColor(clSkyBlue);
    auto* circle = Put<TShape>(f, right, { 232, 70, 296, 130 });
    circle->SetShape(stCircle);
    circle->GetBrush()->SetColor(clCream);
    auto* bevel = Put<TBevel>(f, right, { 12, 140, 290, 142 });
    bevel->SetShape(bsTopLine);
    auto* image = Put<ExtCtrls::TImage>(f, right, { 12, 150, 290, 236 });
    TBitmap picture(64, 16);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 16; ++y)
            picture.GetCanvas()->SetPixel(x, y, TColor(RGB(BYTE(x * 4), BYTE(128 + y * 8), BYTE(255 - x * 4))));
    image->GetPicture()->SetGraphic(&picture);
    image->SetStretch(true);

    auto* lower = Put<TPanel>(f, back, { 8, 268, 632, 382 }, u"");
    lower->SetBevelWidth(2);
    auto* combo = Put<TComboBox>(f, lower, { 12, 12, 160, 36 });
    for (const char16_t* item : { u"1 second", u"3 seconds", u"5 seconds" })
        combo->GetItems()->Add(item);
    combo->SetItemIndex(1);
    auto* list = Put<TListBox>(f, lower, { 170, 12, 300, 102 });
    for (const char16_t* item : { u"Restaurants", u"Plumbers", u"Electricians", u"Florists" })
        list->GetItems()->Add(item);
    list->SetItemIndex(1);
    auto* checks = Put<TCheckListBox>(f, lower, { 310, 12, 440, 102 });
    for (const char16_t* item : { u"Name", u"Address", u"Phone", u"E-mail" })
        checks->GetItems()->Add(item);
    checks->SetChecked(0, true);
    checks->SetChecked(2, true);


    auto* pages = Put<TPageControl>(f, lower, { 450, 8, 610, 104 });
    for (const char16_t* caption : { u"WebBrowser", u"Results" }) {
        auto* sheet = new TTabSheet(f);
        sheet->SetPageControl(pages);
        sheet->SetCaption(caption);
    }
    Put<TLabel>(f, pages->GetPages(0), { 8, 8, 100, 24 }, u"A tab sheet");

    auto* status = Put<TStatusBar>(f, f, { 0, 490, 640, 510 });
    for (const auto& [text, width] : { std::pair { u"Ready", 250 }, std::pair { u"v. 2.0", 200 } }) {
        TStatusPanel* panel = status->GetPanels()->Add();
        panel->SetText(text);
        panel->SetWidth(width);
    }
    status->SetAlign(alBottom);
    return title;
}

void SavePng(const std::vector<std::uint32_t>& pixels, int w, int h, const std::filesystem::path& file)
{
    TImageFrame frame;
    frame.Width = w;
    frame.Height = h;
    frame.Pixels = pixels;
    for (auto& p : frame.Pixels)
        p |= 0xFF000000u;
    const TBytes bytes = EncodePng(frame);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Client pixel of the back buffer as 0xRRGGBB.
std::uint32_t BufferPixel(HWND top, int x, int y)
{
    const TPixelBuffer b = GetWindowBuffer(top);
    std::uint32_t v = 0;
    std::memcpy(&v, b.Data + y * b.Stride + x * 4, 4);
    return v & 0xFFFFFF;
}

} // namespace

TEST(DemoForm, EveryControlShowsOnTheDisplayInThePlainStyleAndTwoVisualStyles)
{
    testsupport::TPrivateDisplay display(1024, 768);
    std::unique_ptr<IWindowBackend> sdl = CreateSdlBackend();
    if (!sdl)
        GTEST_SKIP() << "no display can be opened";
    SetWindowBackend(sdl.get());
    InstallMessageLoopHooks();
    InstallDeviceContextFactory();
    const std::filesystem::path dir = OutputDir();
    {
        TForm form(nullptr);
        TPanel* title = BuildDemo(&form);
        form.Show();
        // Points to compare between the display and what was painted: the
        // default button, a check box glyph, the title panel, the memo.
        const TPoint probes[] = { { 40, 77 }, { 30, 111 }, { 400, 16 }, { 420, 120 }, { 320, 460 }, { 100, 510 } };
        std::uint32_t titleColour[3] = {};
        const char16_t* styles[] = { u"Windows", u"Luna", u"Cyan Night" };
        for (int s = 0; s < 3; ++s) {
            SCOPED_TRACE(StringToUtf8(styles[s]));
            TStyleManager::SetStyle(styles[s]);
            std::vector<std::uint32_t> pixels;
            int width = 0, height = 0;
            bool same = false;
            const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
            while (!same && std::chrono::steady_clock::now() < deadline) {
                Application->ProcessMessages();
                if (ReadDisplayedPixels(form.GetHandle(), pixels, width, height) && width == DemoWidth && height == DemoHeight) {
                    same = true;
                    for (TPoint p : probes)
                        same = same
                            && (pixels[std::size_t(p.Y) * DemoWidth + std::size_t(p.X)] & 0xFFFFFF)
                                == BufferPixel(form.GetHandle(), p.X, p.Y);
                }
                if (!same)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            ASSERT_TRUE(same) << "the display never showed the painted form (" << width << "x" << height << ")";
            const TPoint t { title->GetLeft() + 600, title->GetTop() + 16 };
            titleColour[s] = pixels[std::size_t(t.Y) * DemoWidth + std::size_t(t.X)] & 0xFFFFFF;
            std::string name = StringToUtf8(styles[s]);
            for (char& c : name)
                c = c == ' ' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
            const std::filesystem::path file = dir / ("demo-form-" + name + ".png");
            SavePng(pixels, width, height, file);
            const TImage back = LoadImageFile(Utf8ToString(file.string()));
            ASSERT_EQ(back.Frames.size(), 1u);
            EXPECT_EQ(back.Frames[0].Width, DemoWidth);
            EXPECT_EQ(back.Frames[0].Height, DemoHeight);
            std::cout << "demo form written to " << file.string() << "\n";
        }
        // Each style paints the title panel in its own face colour.
        EXPECT_NE(titleColour[0], titleColour[1]);
        EXPECT_NE(titleColour[1], titleColour[2]);
        TStyleManager::SetStyle(u"Windows");
    }
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetWindowBackend(nullptr);
    sdl.reset();
}
