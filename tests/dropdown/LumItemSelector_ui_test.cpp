#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumItemSelector.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"

namespace {

struct ItemSelectorForm : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumCustomItemSelector* S { nullptr };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 300, 260);
        S = new TLumCustomItemSelector(Form.get());
        S->SetBounds(10, 10, 220, 200);
        S->SetColor(clWhite);
        S->SetParent(Form.get());
    }
    void Show()
    {
        Form->Show();
        Application->ProcessMessages();
    }
    TCustomItemSelector* Panel() const { return S->GetItemSelectorPanel(); }
    TRect ItemRect(int Index) const
    {
        TRect R;
        Panel()->GetItemRect(Index, R);
        return R;
    }
    TColor PixelAt(int x, int y) const
    {
        Application->ProcessMessages();
        const std::uint32_t argb = Headless::ScreenPixel(Panel()->ClientToScreen({ x, y }));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
    void MoveTo(int x, int y) const
    {
        Headless::MouseMove(Panel()->ClientToScreen({ x, y }));
        Application->ProcessMessages();
    }
    static bool Dark(TColor c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }
};

} // namespace

TEST_F(ItemSelectorForm, HotItemLookFollowsTheHotBorderColour)
{
    S->SetSelectorType(stColor);
    S->OnItemSize = [](TObject*, TSize& Size) { Size = TSize(60, 30); };
    for (int i = 0; i < 3; ++i)
        S->GetItems()->Add()->SetColor(clBlue);
    S->UpdateSelectorPanel();
    Show();

    // Under the office preset a hot item gets the rounded selection: its
    // corner keeps the background and its top edge is the preset border.
    const TRect R = ItemRect(1);
    MoveTo(R.Left + 40, R.Top + 20);
    ASSERT_EQ(S->GetItemHot(), 1);
    EXPECT_EQ(PixelAt(R.Left, R.Top), clWhite);
    EXPECT_EQ(PixelAt(R.Left + 30, R.Top), TColor(0x8DD7D3));

    // With a hot border colour: a square 1-pixel frame round a gradient.
    S->GetItemAppearance()->SetBorderColorHot(clRed);
    Panel()->Invalidate();
    EXPECT_EQ(PixelAt(R.Left, R.Top), clRed);
    EXPECT_EQ(PixelAt(R.Right - 1, R.Bottom - 1), clRed);
    // Top to bottom from the hot colour (#FDFFD7) to its end colour (#FCD458).
    const TColor Upper = PixelAt(R.Left + 50, R.Top + 1), Lower = PixelAt(R.Left + 50, R.Bottom - 2);
    EXPECT_NEAR(GetBValue(Upper), 0xD7, 8);
    EXPECT_NEAR(GetBValue(Lower), 0x58, 8);
    EXPECT_NEAR(GetGValue(Lower), 0xD4, 4);
    // The other items keep the plain background round their boxes.
    EXPECT_EQ(PixelAt(ItemRect(0).Left + 1, ItemRect(0).Top + 1), clWhite);
    // The colour box sits at the inner margin.
    EXPECT_EQ(PixelAt(R.Left + 4, R.Top + 4), clBlack);
    EXPECT_EQ(PixelAt(R.Left + 6, R.Top + 6), clBlue);
}

TEST_F(ItemSelectorForm, PlainCaptionStartsAtTheInnerMarginVerticallyCentred)
{
    S->OnItemSize = [](TObject*, TSize& Size) { Size = TSize(120, 60); };
    S->GetItems()->Add()->SetCaption(u"HHHH");
    S->UpdateSelectorPanel();
    Show();

    const TRect R = ItemRect(0);
    int Left = R.Right, Top = R.Bottom, Bottom = R.Top;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (Dark(PixelAt(x, y))) {
                Left = std::min(Left, x);
                Top = std::min(Top, y);
                Bottom = std::max(Bottom, y);
            }
    ASSERT_LT(Left, R.Right) << "no caption drawn";
    // The glyphs start at the 4-pixel inner margin (a pixel of side bearing allowed).
    EXPECT_GE(Left, R.Left + 4);
    EXPECT_LE(Left, R.Left + 6);
    // Centred: about as much room above the glyphs as below them.
    const int Above = Top - R.Top, Below = R.Bottom - 1 - Bottom;
    EXPECT_GT(Above, 15);
    EXPECT_NEAR(Above, Below, 8);
}
