#include <string>
#include <vector>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/ComCtrls_TrackBar.h"
#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

using ExtCtrlsUi = SimpleControls;
using ExtCtrls::TImage;

TEST_F(ExtCtrlsUi, PanelBevelsAndBorderFrameTheClientArea)
{
    struct TCase {
        TBevelCut Outer, Inner;
        int BevelWidth, BorderWidth;
        TBorderStyle Border;
        int Inset;              // client area shrink on each side
        TColor TopLeft, Bottom; // pixels (0, 0) and (w-1, h-1)
    };
    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor shadow = ColorToRGB(clBtnShadow);
    const TColor face = ColorToRGB(clBtnFace);
    const TCase cases[] = {
        { bvRaised, bvNone, 1, 0, bsNone, 1, light, shadow },
        { bvLowered, bvNone, 1, 0, bsNone, 1, shadow, light },
        { bvNone, bvNone, 1, 0, bsNone, 0, face, face },
        { bvRaised, bvLowered, 2, 3, bsNone, 7, light, shadow },
        { bvNone, bvRaised, 1, 0, bsSingle, 2, ColorToRGB(clWindowFrame), ColorToRGB(clWindowFrame) },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Inset));
        auto form = MakeForm();
        auto* panel = Add<TPanel>(form.get(), form.get(), { 10, 10, 110, 70 });
        panel->SetBevelOuter(c.Outer);
        panel->SetBevelInner(c.Inner);
        panel->SetBevelWidth(c.BevelWidth);
        panel->SetBorderWidth(c.BorderWidth);
        panel->SetBorderStyle(c.Border);
        panel->SetCaption(u"");
        auto* child = Add<TPanel>(form.get(), panel, { 0, 0, 10, 10 });
        child->SetAlign(alClient);
        child->SetBevelOuter(bvNone);
        form->Show();
        Pump();
        EXPECT_EQ(child->GetBoundsRect(), TRect(c.Inset, c.Inset, 100 - c.Inset, 60 - c.Inset));
        EXPECT_EQ(PixelAt(panel, { 0, 0 }), c.TopLeft);
        EXPECT_EQ(PixelAt(panel, { 99, 59 }), c.Bottom);
    }
}

TEST_F(ExtCtrlsUi, PanelCaptionFollowsItsAlignment)
{
    struct TCase {
        TAlignment Align;
        int InkLeft, InkRight; // where the caption's ink may lie
    };
    const TCase cases[] = { { taLeftJustify, 0, 60 }, { taCenter, 60, 140 }, { taRightJustify, 140, 200 } };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.Align));
        auto form = MakeForm();
        auto* panel = Add<TPanel>(form.get(), form.get(), { 0, 0, 200, 40 });
        panel->GetFont()->SetColor(clBlack);
        panel->SetCaption(u"Data");
        panel->SetAlignment(c.Align);
        form->Show();
        int first = -1, last = -1;
        for (int x = 2; x < 198; ++x)
            for (int y = 2; y < 38; ++y)
                if (PixelAt(panel, { x, y }) == clBlack) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
        ASSERT_GE(first, 0);
        EXPECT_GE(first, c.InkLeft);
        EXPECT_LE(last, c.InkRight);
    }
}

TEST_F(ExtCtrlsUi, ImagePlacesItsPictureByStretchProportionalAndCenter)
{
    struct TCase {
        int PicW, PicH;
        bool Stretch, Proportional, Center;
        TRect Expected; // in a 100 x 80 image
    };
    const TCase cases[] = {
        { 40, 20, false, false, false, { 0, 0, 40, 20 } },
        { 40, 20, false, false, true, { 30, 30, 70, 50 } },
        { 40, 20, true, false, false, { 0, 0, 100, 80 } },
        { 40, 20, true, true, false, { 0, 0, 100, 50 } },
        { 40, 20, false, true, false, { 0, 0, 40, 20 } },  // small pictures keep their size
        { 200, 100, false, true, true, { 0, 15, 100, 65 } }, // large ones shrink
        { 50, 200, false, true, true, { 40, 0, 60, 80 } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.PicW) + "x" + std::to_string(c.PicH) + " " + std::to_string(c.Stretch)
            + std::to_string(c.Proportional) + std::to_string(c.Center));
        auto form = MakeForm();
        form->SetColor(clWhite);
        auto* image = Add<TImage>(form.get(), form.get(), { 10, 10, 110, 90 });
        TBitmap pic(c.PicW, c.PicH);
        pic.GetCanvas()->GetBrush()->SetColor(clRed);
        pic.GetCanvas()->FillRect({ 0, 0, c.PicW, c.PicH });
        image->GetPicture()->SetGraphic(&pic);
        image->SetStretch(c.Stretch);
        image->SetProportional(c.Proportional);
        image->SetCenter(c.Center);
        form->Show();
        EXPECT_EQ(image->DestRect(), c.Expected);
        const TRect& e = c.Expected;
        EXPECT_EQ(PixelAt(image, { e.Left, e.Top }), clRed);
        EXPECT_EQ(PixelAt(image, { e.Right - 1, e.Bottom - 1 }), clRed);
        if (e.Right < 100) {
            EXPECT_EQ(PixelAt(image, { e.Right, e.Top }), clWhite);
        }
        if (e.Top > 0) {
            EXPECT_EQ(PixelAt(image, { e.Left, e.Top - 1 }), clWhite);
        }
    }
}

TEST_F(ExtCtrlsUi, AutoSizedImageTakesThePictureSize)
{
    TImage image;
    image.SetAutoSize(true);
    TBitmap pic(33, 21);
    image.GetPicture()->SetGraphic(&pic);
    EXPECT_EQ(image.GetWidth(), 33);
    EXPECT_EQ(image.GetHeight(), 21);
    image.SetAutoSize(false);
    TBitmap bigger(50, 50);
    image.GetPicture()->SetGraphic(&bigger);
    EXPECT_EQ(image.GetWidth(), 33);
}

TEST_F(ExtCtrlsUi, ShapesAndBevelsDrawTheirOutlines)
{
    auto form = MakeForm();
    form->SetColor(clWhite);
    struct TShapeCase {
        TShapeType Type;
        TColor Corner, Middle; // at (3, 3) and the centre of a 60 x 40 shape
    };
    const TShapeCase shapes[] = {
        { stRectangle, clBlue, clBlue },
        { stEllipse, clWhite, clBlue },
        { stSquare, clWhite, clBlue }, // the 40 x 40 square stands in the middle
        { stCircle, clWhite, clBlue },
    };
    for (const TShapeCase& c : shapes) {
        SCOPED_TRACE(int(c.Type));
        auto* shape = Add<TShape>(form.get(), form.get(), { 10, 10, 70, 50 });
        shape->SetShape(c.Type);
        shape->GetBrush()->SetColor(clBlue);
        shape->GetPen()->SetColor(clBlue);
        form->Show();
        EXPECT_EQ(PixelAt(shape, { 3, 3 }), c.Corner);
        EXPECT_EQ(PixelAt(shape, { 30, 20 }), c.Middle);
        delete shape;
    }

    const TColor light = ColorToRGB(clBtnHighlight);
    const TColor shadow = ColorToRGB(clBtnShadow);
    struct TBevelCase {
        TBevelShape Shape;
        TBevelStyle Style;
        TPoint A, B;
        TColor AColor, BColor;
    };
    const TBevelCase bevels[] = {
        { bsBox, bsLowered, { 0, 5 }, { 49, 5 }, shadow, light },
        { bsBox, bsRaised, { 5, 0 }, { 5, 29 }, light, shadow },
        { bsTopLine, bsLowered, { 5, 0 }, { 5, 1 }, shadow, light },
        { bsBottomLine, bsLowered, { 5, 28 }, { 5, 29 }, shadow, light },
        { bsLeftLine, bsRaised, { 0, 5 }, { 1, 5 }, light, shadow },
        { bsRightLine, bsRaised, { 48, 5 }, { 49, 5 }, light, shadow },
        { bsFrame, bsLowered, { 0, 5 }, { 1, 5 }, shadow, light },
        { bsSpacer, bsLowered, { 0, 0 }, { 5, 5 }, clWhite, clWhite },
    };
    for (const TBevelCase& c : bevels) {
        SCOPED_TRACE(int(c.Shape) * 10 + int(c.Style));
        auto* bevel = Add<TBevel>(form.get(), form.get(), { 100, 10, 150, 40 });
        bevel->SetShape(c.Shape);
        bevel->SetStyle(c.Style);
        EXPECT_EQ(PixelAt(bevel, c.A), c.AColor);
        EXPECT_EQ(PixelAt(bevel, c.B), c.BColor);
        EXPECT_EQ(PixelAt(bevel, { 25, 15 }), clWhite);
        delete bevel;
    }
}

TEST_F(ExtCtrlsUi, TrackBarFollowsKeysClicksAndTheDraggedThumb)
{
    auto form = MakeForm();
    auto* bar = Add<TTrackBar>(form.get(), form.get(), { 10, 10, 210, 45 });
    bar->SetMax(20);
    bar->SetPageSize(5);
    bar->SetPosition(10);
    std::vector<int> changes;
    bar->OnChange = [&](TObject*) { changes.push_back(bar->GetPosition()); };
    form->Show();
    bar->SetFocus();
    Pump();

    struct TStep {
        const char* What;
        std::function<void()> Do;
        int Position;
    };
    const TStep steps[] = {
        { "right", [] { Headless::Key(VK_RIGHT); }, 11 },
        { "page down", [] { Headless::Key(VK_NEXT); }, 16 },
        { "end", [] { Headless::Key(VK_END); }, 20 },
        { "right at the end", [] { Headless::Key(VK_RIGHT); }, 20 },
        { "home", [] { Headless::Key(VK_HOME); }, 0 },
        { "click right of the thumb", [&] { Headless::Click(bar->ClientToScreen({ 180, 14 })); }, 5 },
        { "click left of the thumb", [&] { Headless::Click(bar->ClientToScreen({ 12, 14 })); }, 0 },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.What);
        s.Do();
        Pump();
        EXPECT_EQ(bar->GetPosition(), s.Position);
    }
    EXPECT_EQ(changes, (std::vector<int> { 11, 16, 20, 0, 5, 0 }));

    const TRect thumb = bar->ThumbRect();
    const TPoint grab { (thumb.Left + thumb.Right) / 2, (thumb.Top + thumb.Bottom) / 2 };
    Headless::Drag(bar->ClientToScreen(grab), bar->ClientToScreen({ 500, grab.Y }), 8);
    Pump();
    EXPECT_EQ(bar->GetPosition(), 20);
    Headless::Drag(bar->ClientToScreen({ bar->ThumbRect().Left + 5, grab.Y }), bar->ClientToScreen({ 100, grab.Y }), 8);
    Pump();
    EXPECT_EQ(bar->GetPosition(), 10); // the middle of the channel

    bar->SetMin(30); // above the maximum: ignored
    EXPECT_EQ(bar->GetMin(), 0);
    bar->SetMax(4);
    EXPECT_EQ(bar->GetPosition(), 4);
}

TEST_F(ExtCtrlsUi, GroupedSpeedButtonsStayDownOneAtATime)
{
    auto form = MakeForm();
    std::vector<TSpeedButton*> buttons;
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        auto* b = Add<TSpeedButton>(form.get(), form.get(), { 10 + 30 * i, 10, 33 + 30 * i, 32 });
        b->SetGroupIndex(1);
        b->OnClick = [&](TObject*) { ++clicks; };
        buttons.push_back(b);
    }
    auto* plain = Add<TSpeedButton>(form.get(), form.get(), { 120, 10, 143, 32 });
    form->Show();
    Pump();
    auto downs = [&] {
        std::string s;
        for (TSpeedButton* b : buttons)
            s += b->GetDown() ? 'D' : 'u';
        return s;
    };
    struct TStep {
        int Click;
        bool AllowAllUp;
        const char* Expected;
    };
    const TStep steps[] = {
        { 0, false, "Duu" },
        { 1, false, "uDu" },
        { 1, false, "uDu" }, // the down button of the group cannot be raised
        { 1, true, "uuu" },  // unless all may be up
        { 2, true, "uuD" },
    };
    int expectedClicks = 0;
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Expected);
        buttons[0]->SetAllowAllUp(s.AllowAllUp); // shared by the group
        EXPECT_EQ(buttons[2]->GetAllowAllUp(), s.AllowAllUp);
        ClickAt(buttons[std::size_t(s.Click)], { 10, 10 });
        EXPECT_EQ(downs(), s.Expected);
        EXPECT_EQ(clicks, ++expectedClicks);
    }
    buttons[0]->SetDown(true);
    EXPECT_EQ(downs(), "Duu");

    ClickAt(plain, { 10, 10 });
    EXPECT_FALSE(plain->GetDown());
    plain->SetDown(true); // an ungrouped button never stays down
    EXPECT_FALSE(plain->GetDown());
    // Pressed outside and released outside: no click.
    Headless::MouseDown(plain->ClientToScreen({ 10, 10 }));
    Headless::MouseUp(plain->ClientToScreen({ 10, 100 }));
    Pump();
    EXPECT_EQ(clicks, expectedClicks);
}

TEST_F(ExtCtrlsUi, SpeedButtonShowsTheGlyphOfItsStateWithTheCornerColourTransparent)
{
    auto form = MakeForm();
    auto* b = Add<TSpeedButton>(form.get(), form.get(), { 10, 10, 40, 40 });
    TBitmap strip(32, 16);
    TCanvas* c = strip.GetCanvas();
    c->GetBrush()->SetColor(clRed);
    c->FillRect({ 0, 0, 16, 16 });
    c->GetBrush()->SetColor(clBlue);
    c->FillRect({ 16, 0, 32, 16 });
    c->GetBrush()->SetColor(clLime); // the transparent colour: bottom-left pixel
    c->FillRect({ 0, 12, 4, 16 });
    c->FillRect({ 16, 12, 20, 16 });
    b->SetGlyph(&strip);
    b->SetNumGlyphs(2);
    form->Show();
    // 16 x 16 glyph centred in 30 x 30: it starts at (7, 7).
    EXPECT_EQ(PixelAt(b, { 15, 15 }), clRed);
    EXPECT_EQ(PixelAt(b, { 8, 21 }), ColorToRGB(clBtnFace));
    b->SetEnabled(false);
    EXPECT_EQ(PixelAt(b, { 15, 15 }), clBlue);
    b->SetEnabled(true);
    Headless::MouseDown(b->ClientToScreen({ 15, 15 }));
    EXPECT_EQ(PixelAt(b, { 16, 16 }), clRed); // pressed: shifted one pixel
    EXPECT_EQ(b->GetState(), bsDown);
    Headless::MouseUp(b->ClientToScreen({ 15, 15 }));
    Pump();
    EXPECT_EQ(b->GetState(), bsUp);
}

} // namespace
