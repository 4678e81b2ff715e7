#include <gtest/gtest.h>

#include "dropdown/LumDropDown.h"
#include "grid/core/GridPainters.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"

using namespace LumDropDown;

namespace {

struct Surface {
    TBitmap Bitmap;
    Surface(int w, int h)
    {
        Bitmap.SetSize(w, h);
        Bitmap.GetCanvas()->GetBrush()->SetColor(clWhite);
        Bitmap.GetCanvas()->FillRect(TRect(0, 0, w, h));
    }
    TCanvas* Canvas() { return Bitmap.GetCanvas(); }
    TColor At(int x, int y) { return Canvas()->GetPixel(x, y) & 0xFFFFFF; }
};

struct FormWithDropDown : ::testing::Test {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TLumDropDown* Edit = nullptr;
    void SetUp() override
    {
        Form->SetBounds(0, 0, 500, 400);
        Edit = new TLumDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(150, 100, 120, 21);
        Form->HandleNeeded();
        Edit->SetLabelCaption(u"Weight");
    }
};

} // namespace

TEST_F(FormWithDropDown, LabelPlacements)
{
    TLabel* Label = Edit->GetLabel();
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->GetParent(), Form.get());
    EXPECT_EQ(Label->GetFocusControl(), Edit);
    const int h = Label->GetHeight(), lw = Label->GetWidth();
    ASSERT_GT(lw, 0);
    const int w = lw;  // the label sizes itself to its caption
    const int L = 150, T = 100, W = 120, H = 21, M = 4;
    struct Case {
        TLabelPosition position;
        int top, left;
    };
    const Case cases[] = {
        { lpLeftTop, T, L - w - M },
        { lpLeftCenter, T + (H - h) / 2, L - w - M },
        { lpLeftBottom, T + H - h, L - w - M },
        { lpTopLeft, T - h - M, L },
        { lpBottomLeft, T + H + M, L },
        { lpLeftTopLeft, T, L - M },
        { lpLeftCenterLeft, T + (H - h) / 2, L - M },
        { lpLeftBottomLeft, T + H - h, L - M },
        { lpTopCenter, T - h - M, L + (W - lw) / 2 },
        { lpBottomCenter, T + H + M, L + (W - lw) / 2 },
        { lpRightTop, T, L + W + M },
        { lpRightCenter, T + (H - h) / 2, L + W + M },
        { lpRighBottom, T + H - h, L + W + M },
        { lpTopRight, T - h - M, L + W - lw },
        { lpBottomRight, T + H + M, L + W - lw },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        Edit->SetLabelPosition(c.position);
        EXPECT_EQ(Label->GetTop(), c.top);
        EXPECT_EQ(Label->GetLeft(), c.left);
    }

    // Moving the edit moves the label with it.
    Edit->SetLabelPosition(lpRightTop);
    Edit->SetLabelMargin(10);
    Edit->SetBounds(50, 60, 100, 21);
    EXPECT_EQ(Label->GetLeft(), 50 + 100 + 10);
    EXPECT_EQ(Label->GetTop(), 60);
}

TEST_F(FormWithDropDown, LabelFollowsTheEdit)
{
    TLabel* Label = Edit->GetLabel();
    ASSERT_NE(Label, nullptr);
    Edit->SetVisible(false);
    EXPECT_FALSE(Label->GetVisible());
    Edit->SetVisible(true);
    EXPECT_TRUE(Label->GetVisible());

    Edit->SetEnabled(false);
    EXPECT_FALSE(Label->GetEnabled());
    Edit->SetEnabled(true);
    EXPECT_TRUE(Label->GetEnabled());
    Edit->SetLabelAlwaysEnabled(true);
    Edit->SetEnabled(false);
    EXPECT_TRUE(Label->GetEnabled());

    int clicks = 0;
    Edit->OnLabelClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Edit);
        ++clicks;
    };
    Label->OnClick(Label);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormWithDropDown, ChangeScaleGrowsTheLabelFont)
{
    Edit->GetLabelFont()->SetHeight(-12);
    EXPECT_EQ(Edit->GetButton()->GetBWidth(), 16);  // a new edit's button is one narrower than the setting
    Edit->ChangeScale(3, 2);
    EXPECT_EQ(Edit->GetLabelFont()->GetHeight(), -18);
    EXPECT_EQ(Edit->GetLabel()->GetFont()->GetHeight(), -18);
    EXPECT_EQ(Edit->GetDropDownButtonWidth(), 17);  // the setting stays unscaled
    // Rescaling applies the setting at the form's scale (1.0 on an unscaled form).
    EXPECT_EQ(Edit->GetButton()->GetBWidth(), 17);
    EXPECT_EQ(Edit->GetButton()->GetWidth(), 17);
}

TEST(LumDropDownDrawing, Gradient)
{
    // No steps: one band of the first colour.
    Surface one(20, 10);
    DrawGradient(one.Canvas(), 0x0000FF, 0xFF0000, true, TRect(0, 0, 20, 10), 0);
    EXPECT_EQ(one.At(0, 5), TColor(0x0000FF));
    EXPECT_EQ(one.At(18, 5), TColor(0x0000FF));

    // 80 steps over 40 pixels: bands overlap, the colour climbs, no gap shows.
    Surface many(40, 10);
    DrawGradient(many.Canvas(), 0x000000, 0x0000FF, true, TRect(0, 0, 40, 10), 80);
    EXPECT_LE(many.At(0, 5), TColor(4));  // later bands overlap the first pixel
    EXPECT_GT(many.At(38, 5) & 0xFF, 0xF0u);
    for (int x = 1; x < 39; ++x)
        EXPECT_GE(many.At(x, 5) & 0xFF, many.At(x - 1, 5) & 0xFF) << x;
    EXPECT_EQ(many.At(20, 5) >> 8, 0u);  // only red moves

    Surface vertical(10, 40);
    DrawGradient(vertical.Canvas(), 0xFF0000, 0x000000, false, TRect(0, 0, 10, 40), 80);
    EXPECT_GE(vertical.At(5, 0), TColor(0xF80000));
    EXPECT_LT(vertical.At(5, 38), TColor(0x100000));
}

TEST(LumDropDownDrawing, Background)
{
    Surface s(30, 20);
    DrawBackground(s.Canvas(), TRect(0, 0, 30, 20), 0x00FF00, clNone, gdHorizontal, 0x0000FF, 1);
    EXPECT_EQ(s.At(0, 0), TColor(0x0000FF));
    EXPECT_EQ(s.At(29, 19), TColor(0x0000FF));
    EXPECT_EQ(s.At(10, 10), TColor(0x00FF00));

    Surface g(30, 20);
    DrawBackground(g.Canvas(), TRect(0, 0, 30, 20), 0x000000, 0xFFFFFF, gdVertical, clNone, 1);
    EXPECT_LT(g.At(10, 0) & 0xFF, 0x10u);
    EXPECT_GT(g.At(10, 18) & 0xFF, 0xE0u);

    DrawBackground(nullptr, TRect(0, 0, 30, 20), 0, 0, gdVertical, 0, 1);  // nothing, no crash
}

TEST(LumDropDownDrawing, ImageAndText)
{
    TCustomImageList images(8, 8);
    TBitmap red;
    red.SetSize(8, 8);
    red.GetCanvas()->GetBrush()->SetColor(0x0000FF);
    red.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    images.Add(&red, nullptr);

    auto InkColumns = [](Surface& s, int from, int to) {
        int first = -1;
        for (int x = from; x < to && first < 0; ++x)
            for (int y = 0; y < 20; ++y)
                if (s.At(x, y) == TColor(0))
                    first = x;
        return first;
    };

    Surface with(100, 20);
    with.Canvas()->GetFont()->SetColor(clBlack);
    with.Canvas()->GetBrush()->SetStyle(bsClear);
    DrawImageAndText(with.Canvas(), TRect(0, 0, 100, 20), u"Item", 0, &images);
    EXPECT_EQ(with.At(4, 6), TColor(0x0000FF));  // (Left + 4, Top + (20 - 8) / 2)
    EXPECT_EQ(with.At(3, 6), TColor(0xFFFFFF));
    const int textStart = InkColumns(with, 0, 100);
    EXPECT_GE(textStart, 16);   // text starts after the image, left aligned
    EXPECT_LT(textStart, 22);

    Surface without(100, 20);
    without.Canvas()->GetFont()->SetColor(clBlack);
    without.Canvas()->GetBrush()->SetStyle(bsClear);
    DrawImageAndText(without.Canvas(), TRect(0, 0, 100, 20), u"Item", -1, &images);
    EXPECT_GT(InkColumns(without, 0, 100), 30);  // centred
}

TEST(LumDropDownDrawing, TransparentBitmap)
{
    TBitmap source;
    source.SetSize(6, 6);
    source.GetCanvas()->GetBrush()->SetColor(0xFF00FF);  // the key, at the top-left pixel
    source.GetCanvas()->FillRect(TRect(0, 0, 6, 6));
    source.GetCanvas()->GetBrush()->SetColor(0x00FF00);
    source.GetCanvas()->FillRect(TRect(2, 2, 4, 4));
    Surface s(10, 10);
    DrawTransparentBitmap(s.Canvas(), &source, 0x808080, TRect(2, 2, 8, 8));
    EXPECT_EQ(s.At(2, 2), TColor(0x808080));
    EXPECT_EQ(s.At(4, 4), TColor(0x00FF00));
    EXPECT_EQ(s.At(1, 1), TColor(0xFFFFFF));
}

TEST(LumDropDownDrawing, SelectionPresets)
{
    struct Case {
        TSelectionColorStyle style;
        TColor outer, innerCorner;
    };
    const Case cases[] = {
        { scOffice2007, 0x8DD7D3, 0xC3D9DF },
        { scWindowsVista, 0xFDDE99, 0xFCEDCB },
        { scWindows7, 0xCEA27D, 0xE0C5AE },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TLumDropDown d;
        d.SetSelectionColorStyle(c.style);
        Surface s(40, 20);
        d.DrawSelection(s.Canvas(), TRect(0, 0, 40, 20), VuzEraz::seBoth, 0x123456);
        EXPECT_EQ(s.At(0, 0), TColor(0x123456));    // the corner takes the caller's colour
        EXPECT_EQ(s.At(1, 0), c.innerCorner);
        EXPECT_EQ(s.At(10, 0), c.outer);
        EXPECT_EQ(s.At(0, 8), c.outer);
    }
    TLumDropDown custom;
    custom.SetSelectionColor(0x00FF00);
    Surface s(20, 10);
    custom.DrawSelection(s.Canvas(), TRect(0, 0, 20, 10), VuzEraz::seBoth, clRed);
    EXPECT_EQ(s.At(0, 0), TColor(0x00FF00));
    EXPECT_EQ(s.At(19, 9), TColor(0x00FF00));
}

TEST(LumDropDownDrawing, PaintCtrlsPaintsGraphicChildren)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 100, 60);
    TLabel* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetTransparent(false);
    label->SetColor(0x0000FF);
    label->SetCaption(u"  ");
    label->SetBounds(10, 10, 30, 20);
    form.HandleNeeded();

    Surface s(100, 60);
    PaintCtrls(&form, s.Canvas()->GetHandle(), nullptr);
    EXPECT_EQ(s.At(15, 15), TColor(0x0000FF));
    EXPECT_EQ(s.At(60, 40), TColor(0xFFFFFF));
    PaintCtrls(nullptr, s.Canvas()->GetHandle(), nullptr);  // nothing, no crash
}

TEST(LumDropDownDrawing, HTMLCaption)
{
    Surface s(200, 30);
    s.Canvas()->GetFont()->SetColor(clBlack);
    TSize size(5, 5);
    DrawHTMLCaption(s.Canvas(), u"", TRect(0, 0, 200, 30), size, 1.0f, nullptr, true, nullptr);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);

    // Measuring lays out without painting.
    DrawHTMLCaption(s.Canvas(), u"<b>Bold</b> text", TRect(0, 0, 200, 30), size, 1.0f, nullptr, false, nullptr);
    EXPECT_GT(size.cx, 20);
    EXPECT_GT(size.cy, 5);
    bool ink = false;
    for (int x = 0; x < 200 && !ink; ++x)
        for (int y = 0; y < 30; ++y)
            ink |= s.At(x, y) != TColor(0xFFFFFF);
    EXPECT_FALSE(ink);

    DrawHTMLCaption(s.Canvas(), u"<b>Bold</b> text", TRect(0, 0, 200, 30), size, 1.0f, nullptr, true, nullptr);
    for (int x = 0; x < 200 && !ink; ++x)
        for (int y = 0; y < 30; ++y)
            ink |= s.At(x, y) != TColor(0xFFFFFF);
    EXPECT_TRUE(ink);
}
