#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumColorSelectors.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"

namespace {

constexpr TColor Hex(std::uint32_t rrggbb)
{
    return TColor(((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16));
}

constexpr TColor FormColor = Hex(0xFFFF00);

struct SelectorForm : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 300, 260);
        Form->SetColor(FormColor);
    }
    template<class C>
    C* Place(int x, int y)
    {
        auto* c = new C(Form.get());
        c->SetLeft(x);
        c->SetTop(y);
        c->SetParent(Form.get());
        return c;
    }
    void ShowForm()
    {
        Form->Show();
        Application->ProcessMessages();
    }
    static TColor PixelAt(TControl* c, int x, int y)
    {
        Application->ProcessMessages();
        const std::uint32_t argb = Headless::ScreenPixel(c->ClientToScreen({ x, y }));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
    static void MoveTo(TControl* c, int x, int y)
    {
        Headless::MouseMove(c->ClientToScreen({ x, y }));
        Application->ProcessMessages();
    }
    static void ClickAt(TControl* c, int x, int y)
    {
        Headless::Click(c->ClientToScreen({ x, y }));
        Application->ProcessMessages();
    }
};

} // namespace

TEST_F(SelectorForm, CubeCellsAndTheirHotAndSelectedFrames)
{
    auto* Cube = Place<TLumColorCubePanel>(10, 10);
    Cube->ResetCube();
    Cube->SetColor(clWhite);
    ShowForm();

    // Cell 64 is white, so probe a coloured one: cell 1 at (55, 20).
    const TColor c1 = Hex(0x003366);
    EXPECT_EQ(PixelAt(Cube, 55, 20), c1);
    EXPECT_EQ(PixelAt(Cube, 55 - 6, 20), c1);      // the hexagon's left side
    EXPECT_EQ(PixelAt(Cube, 55, 20 - 6), c1);      // its top corner
    EXPECT_EQ(PixelAt(Cube, 3, 3), clWhite);        // the panel around the cells
    EXPECT_EQ(PixelAt(Cube, 91, 80), Hex(0xFFFFFF));
    EXPECT_EQ(PixelAt(Cube, 127, 140), Hex(0xA50021));

    // Hot: a red and a white hexagon inside the cell.
    MoveTo(Cube, 55, 20);
    EXPECT_EQ(Cube->GetHotIndex(), 1);
    EXPECT_EQ(PixelAt(Cube, 55 + 5, 20), clRed);
    EXPECT_EQ(PixelAt(Cube, 55 + 4, 20), clWhite);
    EXPECT_EQ(PixelAt(Cube, 55, 20), c1);

    // Between cells the hot frame stays where it was.
    MoveTo(Cube, 61, 23);
    EXPECT_EQ(PixelAt(Cube, 55 + 5, 20), clRed);

    // Another hot cell clears the first; a click selects with a black frame.
    MoveTo(Cube, 67, 20);
    EXPECT_EQ(PixelAt(Cube, 55 + 5, 20), c1);
    EXPECT_EQ(PixelAt(Cube, 67 + 5, 20), clRed);
    ClickAt(Cube, 67, 20);
    EXPECT_EQ(Cube->GetSelectedIndex(), 2);
    EXPECT_EQ(PixelAt(Cube, 67 + 5, 20), clBlack);   // selected wins over hot
    EXPECT_EQ(PixelAt(Cube, 67 + 4, 20), clWhite);

    // Selecting another cell by click redraws the old one plain.
    MoveTo(Cube, 79, 20);
    ClickAt(Cube, 79, 20);
    EXPECT_EQ(PixelAt(Cube, 67 + 5, 20), Hex(0x336699));
    EXPECT_EQ(PixelAt(Cube, 79 + 5, 20), clBlack);
}

TEST_F(SelectorForm, SpectrumSamplesTheColourUnderThePointer)
{
    auto* Spectrum = Place<TLumColorSpectrumPanel>(10, 10);
    Spectrum->SetColor(Hex(0x404040));
    Spectrum->LayoutSpectrum();
    EXPECT_EQ(Spectrum->GetWidth(), 150);
    EXPECT_EQ(Spectrum->GetHeight(), 174);
    ExtCtrls::TImage* Image = Spectrum->GetSpectrumImage();
    EXPECT_EQ(Image->GetBoundsRect(), TRect(11, 10, 139, 138));
    EXPECT_EQ(Spectrum->GetSelectedRect(), TRect(10, 146, 73, 166));
    EXPECT_EQ(Spectrum->GetHotRect(), TRect(77, 146, 140, 166));
    EXPECT_EQ(Spectrum->GetHotColor(), clNone);
    EXPECT_EQ(Image->GetCursor(), crColorPointer);
    EXPECT_NE(Screen->GetCursors(crColorPointer), Screen->GetCursors(crDefault));
    ShowForm();

    // The picture: white at the top, full colour in the middle, black at the bottom.
    EXPECT_EQ(PixelAt(Spectrum, 11, 10), clWhite);
    EXPECT_EQ(PixelAt(Spectrum, 11, 10 + 64), clRed);
    EXPECT_EQ(PixelAt(Spectrum, 11, 137), clBlack);
    EXPECT_EQ(PixelAt(Spectrum, 10, 50), clWhite);          // frames around it
    EXPECT_EQ(PixelAt(Spectrum, 9, 50), Hex(0x808080));
    // Before any move the hot sample shows no colour, the selected one white.
    EXPECT_EQ(PixelAt(Spectrum, 100, 156), Hex(0x404040));
    EXPECT_EQ(PixelAt(Spectrum, 40, 156), clWhite);

    int selects = 0, hides = 0;
    Spectrum->OnSelect = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Spectrum);
        ++selects;
    };
    Spectrum->FOnShouldHide = [&](TObject*) { ++hides; };

    const TColor Blue = PixelAt(Spectrum, 11 + 85, 10 + 64);
    EXPECT_GT(Blue & 0xFF0000, Blue & 0xFF);  // two thirds round: blue
    MoveTo(Spectrum, 11 + 85, 10 + 64);
    EXPECT_EQ(Spectrum->GetHotColor(), Blue);
    EXPECT_EQ(PixelAt(Spectrum, 100, 156), Blue);
    ClickAt(Spectrum, 11 + 85, 10 + 64);
    EXPECT_EQ(Spectrum->GetSelectedColor(), Blue);
    EXPECT_EQ(PixelAt(Spectrum, 40, 156), Blue);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(hides, 1);

    // A release on the panel beside the picture also asks to hide.
    ClickAt(Spectrum, 5, 5);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(hides, 2);
}

TEST_F(SelectorForm, SpectrumClickBeforeAnyMoveSelectsNoColour)
{
    auto* Spectrum = Place<TLumColorSpectrumPanel>(10, 10);
    Spectrum->LayoutSpectrum();
    Spectrum->GetSpectrumImage()->MouseDown(mbLeft, {}, 5, 5);
    EXPECT_EQ(Spectrum->GetSelectedColor(), clNone);
}

TEST_F(SelectorForm, BoxFramesFollowTheirPlaceInTheStrip)
{
    auto* S = Place<TCustomColorSelector>(10, 10);
    S->LoadDefaultPalette();
    S->GetColorBoxAppearance()->SetBorderColor(clBlack);
    ShowForm();
    EXPECT_EQ(S->GetColor(), FormColor);  // the selector takes its parent's colour

    // Column 3 (#1F497D, then shades): boxes from x = 52 to 64.
    const int L = 52, R = 64, M = 58;
    struct Case {
        const char* what;
        int x, y;
        TColor color;
    };
    const Case cases[] = {
        { "stand-alone: top", M, 4, clBlack },
        { "stand-alone: inside", M, 10, Hex(0x1F497D) },
        { "stand-alone: bottom", M, 16, clBlack },
        { "stand-alone: right", R, 10, clBlack },
        { "gap below the stand-alone row", M, 18, FormColor },
        { "top box: top", M, 20, clBlack },
        { "top box: left", L, 25, clBlack },
        { "top box: right", R, 25, clBlack },
        { "open bottom: the next shade starts", M, 32, Hex(0x8DB3E2) },
        { "middle box: left", L, 38, clBlack },
        { "middle box: right", R, 38, clBlack },
        { "middle box: no top line", M, 44, Hex(0x548DD4) },
        { "bottom box: bottom", M, 80, clBlack },
        { "bottom box: right", R, 75, clBlack },
        { "bottom box: corner", R, 80, clBlack },
        { "below the strip", M, 82, FormColor },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PixelAt(S, c.x, c.y), c.color);
    }
}

TEST_F(SelectorForm, HotAndSelectedBoxesAreFramedTwice)
{
    auto* S = Place<TCustomColorSelector>(10, 10);
    S->LoadDefaultPalette();
    ShowForm();
    const TColorBoxAppearance& A = *S->GetColorBoxAppearance();

    // Box 13 of the strips: (52, 20)-(64, 32).
    MoveTo(S, 58, 25);
    EXPECT_EQ(S->GetItemHot(), 13);
    EXPECT_EQ(PixelAt(S, 52, 25), A.GetOuterBorderColorHot());
    EXPECT_EQ(PixelAt(S, 53, 25), A.GetInnerBorderColorHot());
    EXPECT_EQ(PixelAt(S, 58, 25), Hex(0xC2CEDA));

    ClickAt(S, 58, 25);
    EXPECT_EQ(S->GetItemIndex(), 13);
    EXPECT_EQ(PixelAt(S, 52, 25), A.GetOuterBorderColorSelected());
    EXPECT_EQ(PixelAt(S, 53, 25), A.GetInnerBorderColorSelected());

    // Hot moves on; the selected frame stays, the old hot frame goes.
    MoveTo(S, 74, 25);
    EXPECT_EQ(PixelAt(S, 52, 25), A.GetOuterBorderColorSelected());
    S->SetItemIndex(0);
    EXPECT_EQ(PixelAt(S, 52, 25), A.GetBorderColor());
    MoveTo(S, 200, 150);  // off the selector: the hot box clears
    EXPECT_EQ(S->GetItemHot(), -1);
    EXPECT_EQ(PixelAt(S, 68, 25), A.GetBorderColor());
}
