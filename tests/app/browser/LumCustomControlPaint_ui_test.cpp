#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/browser/LumCustomControl.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsStyles.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Headless.h"

namespace {

constexpr TColor Black = 0x000000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Yellow = 0x00FFFF;

// Logs the pipeline's steps and marks what it draws: Draw fills a square
// in DrawColor, the after-draw handler one in AfterColor.
class TPainter : public TLumCustomControl {
public:
    TPainter(TComponent* owner, TWinControl* parent, TRect bounds) : TLumCustomControl(owner)
    {
        SetBoundsRect(bounds);
        SetParent(parent);
        OnBeforeDraw = [this](TObject*, TLumGraphics*, TRectF r, bool& defaultDraw) {
            Log.push_back("before");
            Rects.push_back(r);
            defaultDraw = !SuppressDefault;
        };
        OnAfterDraw = [this](TObject*, TLumGraphics* g, TRectF r) {
            Log.push_back("after");
            Rects.push_back(r);
            Mark(g, r.Left + 30, r.Top + 5, AfterColor);
        };
    }
    void SetBuffered(bool v) { FBufferedPainting = v; }
    void SetNative(bool v) { FNativeCanvas = v; }

    void Draw(TLumGraphics* g, TRectF r) override
    {
        Log.push_back(IsExporting() ? "draw exporting" : "draw");
        Rects.push_back(r);
        LocalRects.push_back(GetLocalRect());
        Mark(g, r.Left + 5, r.Top + 5, DrawColor);
    }
    void BeforeExport() override { Log.push_back("before export"); }
    void AfterExport() override { Log.push_back("after export"); }
    void UpdateCheckBoxBitmaps() override
    {
        ++CheckBoxBuilds;
        TLumCustomControl::UpdateCheckBoxBitmaps();
    }
    void UpdateRadioButtonBitmaps() override
    {
        ++RadioBuilds;
        TLumCustomControl::UpdateRadioButtonBitmaps();
    }
    void UpdateButtonBitmaps(int AWidth, int AHeight) override
    {
        ++ButtonBuilds;
        TLumCustomControl::UpdateButtonBitmaps(AWidth, AHeight);
    }

    static void Mark(TLumGraphics* g, float x, float y, TColor color)
    {
        g->SetStrokeKind(gskNone);
        g->SetFillKind(gfkSolid);
        g->SetFillColor(color);
        g->DrawRectangle(RectF(x, y, x + 10, y + 10));
    }

    bool SuppressDefault { false };
    TColor DrawColor { Green };
    TColor AfterColor { Blue };
    std::vector<std::string> Log;
    std::vector<TRectF> Rects;
    std::vector<TRectF> LocalRects;
    int CheckBoxBuilds { 0 };
    int RadioBuilds { 0 };
    int ButtonBuilds { 0 };
};

class LumControlPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetPosition(poDesigned);
    }
    void TearDown() override
    {
        form.reset();
        TStyleManager::SetStyle(u"Windows");
    }

    TPainter* NewPainter(TRect bounds = { 10, 10, 70, 50 })
    {
        return new TPainter(form.get(), form.get(), bounds);
    }
    // The control painted through its paint message onto a bitmap of its
    // size cleared to black.
    static std::unique_ptr<TBitmap> Snapshot(TWinControl* c)
    {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(std::max(1, c->GetWidth()), std::max(1, c->GetHeight()));
        b->GetCanvas()->GetBrush()->SetColor(Black);
        b->GetCanvas()->FillRect(TRect(0, 0, b->GetWidth(), b->GetHeight()));
        c->PaintTo(b->GetCanvas()->GetHandle(), 0, 0);
        return b;
    }
    static TColor Pixel(TBitmap& b, int x, int y) { return b.GetCanvas()->GetPixel(x, y) & 0xFFFFFF; }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
};

TEST_F(LumControlPaint, BackgroundIsTheFillInTheControlsColourInsideTheStroke)
{
    const TColor btnFace = ColorToRGB(clBtnFace) & 0xFFFFFF;
    struct TCase {
        const char* Name;
        bool Buffered;
        bool Native;
        TLumGraphicsFillKind FillKind;
        TColor FillColor;
        TColor ControlColor; // clNone: left as the fill made it
        TLumGraphicsStrokeKind StrokeKind;
        TColor StrokeColor;
        TColor Inside;
        TColor Edge;
    };
    const TCase cases[] = {
        { "defaults", false, false, gfkSolid, 0xFFFFFF, clNone, gskSolid, 0xC0C0C0, 0xFFFFFF, 0xC0C0C0 },
        { "fill colour", false, false, gfkSolid, Green, clNone, gskSolid, Red, Green, Red },
        { "control colour wins", false, false, gfkSolid, Green, Yellow, gskSolid, Red, Yellow, Red },
        { "no stroke", false, false, gfkSolid, Green, clNone, gskNone, Red, Green, Green },
        { "nothing: the erased face", false, false, gfkNone, Green, clNone, gskNone, Red, btnFace, btnFace },
        { "buffered", true, false, gfkSolid, Green, clNone, gskSolid, Red, Green, Red },
        { "native", false, true, gfkSolid, Green, clNone, gskSolid, Red, Green, Red },
        { "native buffered", true, true, gfkSolid, Yellow, clNone, gskSolid, Blue, Yellow, Blue },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TPainter* p = NewPainter();
        p->DrawColor = clNone;
        p->AfterColor = clNone;
        p->SetBuffered(c.Buffered);
        p->SetNative(c.Native);
        p->GetFill()->SetKind(c.FillKind);
        p->GetFill()->SetColor(c.FillColor);
        if (c.ControlColor != clNone)
            p->SetColor(c.ControlColor);
        p->GetStroke()->SetKind(c.StrokeKind);
        p->GetStroke()->SetColor(c.StrokeColor);
        auto shot = Snapshot(p);
        EXPECT_EQ(Pixel(*shot, 30, 20), c.Inside);
        EXPECT_EQ(Pixel(*shot, 0, 20), c.Edge);
        EXPECT_EQ(Pixel(*shot, 59, 39), c.Edge);
        delete p;
    }
}

TEST_F(LumControlPaint, BeforeDrawSeesTheWholeRectangleAndCanSuppressTheRest)
{
    struct TCase {
        bool Buffered;
        bool Suppress;
        std::vector<std::string> Log;
    };
    const TCase cases[] = {
        { false, false, { "before", "draw", "after" } },
        { true, false, { "before", "draw", "after" } },
        { false, true, { "before" } },
        { true, true, { "before" } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "buffered " << c.Buffered << " suppress " << c.Suppress);
        TPainter* p = NewPainter();
        p->GetStroke()->SetColor(Red);
        p->SetBuffered(c.Buffered);
        p->SuppressDefault = c.Suppress;
        auto shot = Snapshot(p);
        EXPECT_EQ(p->Log, c.Log);
        for (const TRectF& r : p->Rects)
            EXPECT_EQ(r, RectF(0, 0, 60, 40));
        // What the steps drew reaches the control, the marks over the background.
        EXPECT_EQ(Pixel(*shot, 0, 20), c.Suppress ? TColor(0xFFFFFF) : Red);
        EXPECT_EQ(Pixel(*shot, 10, 10), c.Suppress ? TColor(0xFFFFFF) : Green);
        EXPECT_EQ(Pixel(*shot, 35, 10), c.Suppress ? TColor(0xFFFFFF) : Blue);
        delete p;
    }
}

TEST_F(LumControlPaint, BlockInvalidateLeavesOnlyTheErasedBackground)
{
    TPainter* p = NewPainter();
    p->GetStroke()->SetColor(Red);
    p->SetBlockInvalidate(true);
    auto shot = Snapshot(p);
    EXPECT_TRUE(p->Log.empty());
    EXPECT_EQ(Pixel(*shot, 0, 20), 0xFFFFFFu);
    p->SetBlockInvalidate(false);
    shot = Snapshot(p);
    EXPECT_EQ(Pixel(*shot, 0, 20), Red);
}

TEST_F(LumControlPaint, AnEmptyControlStillRunsThePipeline)
{
    for (bool buffered : { false, true }) {
        SCOPED_TRACE(buffered);
        TPainter* p = NewPainter({ 5, 5, 5, 5 });
        p->SetBuffered(buffered);
        Snapshot(p);
        EXPECT_EQ(p->Log, (std::vector<std::string> { "before", "draw", "after" }));
        ASSERT_FALSE(p->Rects.empty());
        EXPECT_EQ(p->Rects.front(), RectF(0, 0, 0, 0));
        delete p;
    }
}

TEST_F(LumControlPaint, AFailingDrawPassesOutAndTheNextPaintWorks)
{
    TPainter* p = NewPainter();
    p->SetBuffered(true);
    p->GetStroke()->SetColor(Red);
    p->OnAfterDraw = [](TObject*, TLumGraphics*, TRectF) { throw Exception(u"draw failed"); };
    std::vector<String> reported;
    Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(e.GetMessage()); };
    Snapshot(p);
    Application->OnException = nullptr;
    EXPECT_EQ(reported, std::vector<String> { u"draw failed" });
    p->OnAfterDraw = nullptr;
    auto shot = Snapshot(p);
    EXPECT_EQ(Pixel(*shot, 0, 20), Red);
}

TEST_F(LumControlPaint, ExportDrawsTheContentIntoTheCallersGraphicsWithoutBackground)
{
    TPainter* p = NewPainter();
    p->GetStroke()->SetColor(Red);
    p->GetFill()->SetColor(Yellow);
    auto g = TLumGraphics::CreateBitmapCanvas(100, 80, false, false);
    TCanvas* canvas = g->GetCanvas();
    canvas->GetBrush()->SetColor(Black);
    canvas->FillRect(TRect(0, 0, 100, 80));
    g->BeginScene();
    const TRectF target = RectF(20, 30, 90, 70);
    p->Export(g.get(), target);
    g->EndScene();
    g->GetContext()->Render();

    EXPECT_EQ(p->Log, (std::vector<std::string> { "before export", "draw exporting", "after export" }));
    EXPECT_EQ(p->Rects, std::vector<TRectF> { target });
    EXPECT_EQ(p->LocalRects, std::vector<TRectF> { target });
    EXPECT_FALSE(p->IsExporting());
    // The content at the target's origin; no background, no stroke, no
    // after-draw mark.
    EXPECT_EQ(canvas->GetPixel(30, 40) & 0xFFFFFF, Green);
    EXPECT_EQ(canvas->GetPixel(20, 50) & 0xFFFFFF, Black);
    EXPECT_EQ(canvas->GetPixel(60, 40) & 0xFFFFFF, Black);
    EXPECT_EQ(canvas->GetPixel(10, 10) & 0xFFFFFF, Black);
}

// The frame control drawn with AFlags on a bitmap of that size cleared to
// the pictures' transparent colour.
std::unique_ptr<TBitmap> FramePicture(int w, int h, UINT flags, TColor background = 0xFFFFFE)
{
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->GetCanvas()->GetBrush()->SetColor(background);
    b->GetCanvas()->FillRect(TRect(0, 0, w, h));
    RECT r(0, 0, w, h);
    DrawFrameControl(b->GetCanvas()->GetHandle(), &r, DFC_BUTTON, flags);
    return b;
}

// Pixels of APicture that differ from AExpected (all of them when the sizes differ).
int DifferingPixels(TPicture* APicture, TBitmap& AExpected)
{
    auto* bitmap = APicture ? dynamic_cast<TBitmap*>(APicture->GetGraphic()) : nullptr;
    if (!bitmap || bitmap->GetWidth() != AExpected.GetWidth() || bitmap->GetHeight() != AExpected.GetHeight())
        return AExpected.GetWidth() * AExpected.GetHeight() + 1;
    int n = 0;
    for (int y = 0; y < AExpected.GetHeight(); ++y)
        for (int x = 0; x < AExpected.GetWidth(); ++x)
            n += (bitmap->GetCanvas()->GetPixel(x, y) & 0xFFFFFF) != (AExpected.GetCanvas()->GetPixel(x, y) & 0xFFFFFF);
    return n;
}

TEST_F(LumControlPaint, StatePicturesAreTheFrameControlsOfTheirState)
{
    TPainter* p = NewPainter();
    struct TCase {
        const char* Kind;
        bool Checked; // down for buttons
        bool Focused;
        bool Enabled;
        UINT Flags;
    };
    const TCase cases[] = {
        { "check", false, false, true, 0 },
        { "check", true, false, true, 1024 },
        { "check", false, true, true, 4096 },
        { "check", true, true, true, 5120 },
        { "check", false, false, false, 256 },
        { "check", true, false, false, 1280 },
        { "check", true, true, false, 1280 },
        { "radio", false, false, true, 4 },
        { "radio", true, false, true, 1028 },
        { "radio", false, true, true, 4100 },
        { "radio", true, true, true, 5124 },
        { "radio", false, false, false, 260 },
        { "radio", true, false, false, 1284 },
        { "radio", false, true, false, 260 },
        { "button", false, false, true, 16 },
        { "button", true, false, true, 528 },
        { "button", false, true, true, 4112 },
        { "button", true, true, true, 4624 },
        { "button", false, false, false, 272 },
        { "button", true, true, false, 272 },
    };
    std::set<TPicture*> distinct;
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Kind << " checked/down " << c.Checked << " focused " << c.Focused
                                        << " enabled " << c.Enabled);
        const std::string kind = c.Kind;
        TPicture* picture = kind == "check" ? p->GetCheckBoxBitmap(c.Checked, c.Focused, c.Enabled)
            : kind == "radio"               ? p->GetRadioButtonBitmap(c.Checked, c.Focused, c.Enabled)
                                            : p->GetButtonBitmap(40, 20, c.Checked, c.Focused, c.Enabled);
        ASSERT_NE(picture, nullptr);
        distinct.insert(picture);
        const bool button = kind == "button";
        auto expected = FramePicture(button ? 40 : 16, button ? 20 : 16, c.Flags);
        EXPECT_EQ(DifferingPixels(picture, *expected), 0);
        auto* bitmap = dynamic_cast<TBitmap*>(picture->GetGraphic());
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->GetPixelFormat(), pf24bit);
        EXPECT_TRUE(bitmap->GetTransparent());
        EXPECT_EQ(bitmap->GetTransparentMode(), tmFixed);
        EXPECT_EQ(bitmap->GetTransparentColor(), TColor(0xFFFFFE));
    }
    // Seventeen pictures, one per state.
    EXPECT_EQ(distinct.size(), 17u);
}

TEST_F(LumControlPaint, PicturesFollowTheResourceScale)
{
    struct TCase {
        float Scale;
        int ButtonWidth;
        int ButtonHeight;
        int Box;
        TSize Button;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const TCase cases[] = {
        { 1.5f, 40, 20, 24, { 60, 30 } },
        { 1.25f, 30, 10, 20, { 38, 12 } }, // 37.5 and 12.5 to the even neighbour
        { 2.0f, -5, 0, 32, { 0, 0 } },     // no size: empty pictures, no failure
        { nan, 40, 20, 0, { 0, 0 } },
        { -1.0f, 40, 20, 0, { 0, 0 } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Scale);
        TPainter* p = NewPainter();
        p->SetResourceScaleFactor(c.Scale);
        p->ClearStateBitmaps();
        for (TPicture* picture : { p->GetCheckBoxBitmap(false, false, true), p->GetRadioButtonBitmap(true, true, true) }) {
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->GetWidth(), c.Box);
            EXPECT_EQ(picture->GetHeight(), c.Box);
        }
        TPicture* button = p->GetButtonBitmap(c.ButtonWidth, c.ButtonHeight, false, false, true);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetWidth(), c.Button.cx);
        EXPECT_EQ(button->GetHeight(), c.Button.cy);
        delete p;
    }
}

TEST_F(LumControlPaint, AButtonPictureStaysValidUntilAnotherSizeIsAskedFor)
{
    TPainter* p = NewPainter();
    TPicture* normal = p->GetButtonBitmap(40, 20, false, false, true);
    TPicture* down = p->GetButtonBitmap(40, 20, true, false, true);
    // One build for both: the first picture is still alive and drawn for its state.
    EXPECT_EQ(p->ButtonBuilds, 1);
    EXPECT_EQ(p->GetButtonBitmap(40, 20, false, false, true), normal);
    EXPECT_EQ(DifferingPixels(normal, *FramePicture(40, 20, DFCS_BUTTONPUSH)), 0);
    EXPECT_EQ(DifferingPixels(down, *FramePicture(40, 20, DFCS_BUTTONPUSH | DFCS_PUSHED)), 0);
    TPicture* wide = p->GetButtonBitmap(50, 20, false, false, true);
    EXPECT_EQ(p->ButtonBuilds, 2);
    EXPECT_EQ(wide->GetWidth(), 50);
}

TEST_F(LumControlPaint, PicturesAreRebuiltWithTheWindowTheScaleAndTheStyle)
{
    TPainter* p = NewPainter();
    ASSERT_TRUE(p->HandleAllocated());
    EXPECT_EQ(p->CheckBoxBuilds, 1);
    EXPECT_EQ(p->RadioBuilds, 1);
    // Built already: asking builds nothing.
    p->GetCheckBoxBitmap(true, false, true);
    EXPECT_EQ(p->CheckBoxBuilds, 1);

    p->ChangeScale(3, 2, true);
    EXPECT_EQ(p->CheckBoxBuilds, 2);
    EXPECT_EQ(p->RadioBuilds, 2);
    form->IncludeComponentState(csLoading);
    p->ChangeScale(2, 3, true);
    form->ExcludeComponentState(csLoading);
    EXPECT_EQ(p->CheckBoxBuilds, 2);

    // A style change drops the pictures; the next request builds them in
    // the style's transparent colour.
    TStyleManager::SetStyle(u"Cyan Night");
    TColor styled = 0;
    ASSERT_TRUE(TLumGraphicsStyles::GetStyleBackgroundFillColorTo(styled));
    EXPECT_EQ(p->GetBitmapBackgroundColor(), styled);
    p->SetAdaptToStyle(true);
    auto* bitmap = dynamic_cast<TBitmap*>(p->GetCheckBoxBitmap(true, false, true)->GetGraphic());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(p->CheckBoxBuilds, 3);
    EXPECT_EQ(bitmap->GetTransparentColor(), styled);
    EXPECT_EQ(DifferingPixels(p->GetCheckBoxBitmap(true, false, true), *FramePicture(16, 16, DFCS_CHECKED, styled)), 0);
}

} // namespace
