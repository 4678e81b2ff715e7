#include "dropdown/LumColorSelectors.h"

#include <algorithm>

#include "platform/gdi/Codecs.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumCustomColorSelectorPanel)
QT_PUBLISHED(TLumColorCubePanel)
QT_PUBLISHED(TLumColorSpectrumPanel)
QT_PUBLISHED(TColorBoxItem, QT_PROP_T(Color, u"TColor"), QT_PROP(ColorBoxPos))
QT_PUBLISHED(TColorBoxItems)
QT_PUBLISHED(TColorBoxAppearance, QT_PROP_T(BorderColor, u"TColor"), QT_PROP_T(OuterBorderColorHot, u"TColor"),
    QT_PROP_T(InnerBorderColorHot, u"TColor"), QT_PROP_T(OuterBorderColorSelected, u"TColor"),
    QT_PROP_T(InnerBorderColorSelected, u"TColor"))
QT_PUBLISHED(TCustomColorSelector)

namespace {

// Colours below are written as #RRGGBB, the way designers quote them.
constexpr TColor Hex(std::uint32_t rrggbb)
{
    return TColor(((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16));
}

constexpr std::uint32_t CubeColors[TLumColorCubePanel::CellCount] = {
    0x003366, 0x336699, 0x3366CC, 0x003399, 0x000099, 0x0000CC, 0x000066,
    0x006666, 0x006699, 0x0099CC, 0x0066CC, 0x0033CC, 0x0000FF, 0x3333FF, 0x333399,
    0x008080, 0x009999, 0x33CCCC, 0x00CCFF, 0x0099FF, 0x0066FF, 0x3366FF, 0x3333CC, 0x666699,
    0x339966, 0x00CC99, 0x00FFCC, 0x00FFFF, 0x33CCFF, 0x3399FF, 0x6699FF, 0x6666FF, 0x6600FF, 0x6600CC,
    0x339933, 0x00CC66, 0x00FF99, 0x66FFCC, 0x66FFFF, 0x66CCFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9900FF,
    0x006600, 0x00CC00, 0x00FF00, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCECFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC00FF,
    0x9900CC,
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
    0xCC00CC, 0x660066,
    0x336600, 0x009900, 0x66FF33, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF33CC, 0xCC0099,
    0x800080,
    0x333300, 0x669900, 0x99FF33, 0xCCFF66, 0xFFFF99, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xCC3399, 0x990099,
    0x666633, 0x99CC00, 0xCCFF33, 0xFFFF66, 0xFFCC66, 0xFF9966, 0xFF7C80, 0xFF0066, 0xD60093, 0x993366,
    0x808000, 0xCCCC00, 0xFFFF00, 0xFFCC00, 0xFF9933, 0xFF6600, 0xFF5050, 0xCC0066, 0x660033,
    0x996633, 0xCC9900, 0xFF9900, 0xCC6600, 0xFF3300, 0xFF0000, 0xCC0000, 0x990033,
    0x663300, 0x996600, 0xCC3300, 0x993300, 0x990000, 0x800000, 0xA50021,
};

constexpr std::uint32_t PaletteColors[6][10] = {
    { 0xFFFFFF, 0x000000, 0xEEECE1, 0x1F497D, 0x4F81BD, 0xC0504D, 0x9BBB59, 0x8064A2, 0x4BACC6, 0xF79646 },
    { 0xF2F2F2, 0x7F7F7F, 0xDDD9C3, 0xC2CEDA, 0xDBE5F1, 0xF2DCDB, 0xEBF1DD, 0xE5E0EC, 0xDBEEF3, 0xFDEADA },
    { 0xD8D8D8, 0x595959, 0xC4BD97, 0x8DB3E2, 0xB8CCE4, 0xE5B9B7, 0xD7E3BC, 0xCCC1D9, 0xB7DDE8, 0xFBD5B5 },
    { 0xBFBFBF, 0x3F3F3F, 0x938953, 0x548DD4, 0x95B3D7, 0xD99694, 0xC3D69B, 0xB2A2C7, 0x92CDDC, 0xFAC08F },
    { 0xA5A5A5, 0x262626, 0x494429, 0x17365D, 0x366092, 0x953734, 0x76923C, 0x5F497A, 0x31859B, 0xE36C09 },
    { 0x7F7F7F, 0x0C0C0C, 0x1D1B10, 0x0F243E, 0x244061, 0x632423, 0x4F6128, 0x3F3151, 0x205867, 0x974806 },
};
constexpr TItemPos PaletteRowPos[6] = { ipStandAlone, ipTop, ipMiddle, ipMiddle, ipMiddle, ipBottom };

// The colour pointer cursor, read once from its resource; null when the
// resource cannot be read (the picture then shows the default cursor).
HCURSOR ColorPointerCursor()
{
    static HCURSOR cursor = [] () -> HCURSOR {
        try {
            TResourceStream stream(nullptr, u"ZID_POINTER", RT_CURSOR);
            const TImage image = DecodeImage(static_cast<const std::uint8_t*>(stream.GetMemory()),
                std::size_t(stream.GetSize()));
            const TImageFrame& f = image.Frames.front();
            return CreateCursorFromPixels(f.Width, f.Height, f.Hotspot.X, f.Hotspot.Y, f.Pixels.data());
        } catch (const Exception&) {
            return nullptr;
        }
    }();
    return cursor;
}

} // namespace

// ---- TLumColorCubePanel ----

TLumColorCubePanel::TLumColorCubePanel(TComponent* AOwner) : TLumCustomColorSelectorPanel(AOwner)
{
    InitCubeCells();
    SetShowRGBHint(true);
}

TLumColorCubePanel::~TLumColorCubePanel() = default;

void TLumColorCubePanel::InitCubeCells()
{
    FCubeSize = TPoint(6, 3);
    int Index = 1;
    for (int Row = 1; Row <= 13; ++Row) {
        const int Count = Row <= 7 ? 6 + Row : 20 - Row;
        const int X0 = Row <= 7 ? 55 - FCubeSize.X * (Row - 1) : 19 + FCubeSize.X * (Row - 7);
        for (int c = 0; c < Count; ++c, ++Index) {
            FCubeCells[std::size_t(Index)].X = X0 + c * 2 * FCubeSize.X;
            FCubeCells[std::size_t(Index)].Y = 20 + 10 * (Row - 1);
            FCubeCells[std::size_t(Index)].Color = Hex(CubeColors[Index - 1]);
        }
    }
}

void TLumColorCubePanel::ResetCube()
{
    FHotIndex = -1;
    SetHeight(160);
    SetWidth(182);
}

void TLumColorCubePanel::SetShowRGBHint(bool Value)
{
    FShowRGBHint = Value;
    SetShowHint(Value);
}

TColor TLumColorCubePanel::GetCubeCellColor(int Index) const
{
    return ValidCell(Index) ? FCubeCells[std::size_t(Index)].Color : clNone;
}

void TLumColorCubePanel::SetCubeCellColor(int Index, TColor Value)
{
    if (ValidCell(Index))
        FCubeCells[std::size_t(Index)].Color = Value;
}

TPoint TLumColorCubePanel::GetCubeCellCenter(int Index) const
{
    if (!ValidCell(Index))
        return TPoint(-1, -1);
    return TPoint(FCubeCells[std::size_t(Index)].X, FCubeCells[std::size_t(Index)].Y);
}

void TLumColorCubePanel::SelectColor(TColor Color, int Index)
{
    FSelectedColor = Color;
    if (ValidCell(Index)) {
        FSelectedIndex = Index;
        return;
    }
    FSelectedIndex = -1;
    for (int i = 1; i <= CellCount; ++i)
        if (FCubeCells[std::size_t(i)].Color == Color) {
            FSelectedIndex = i;
            break;
        }
}

int TLumColorCubePanel::CubeCellAtPos(int X, int Y) const
{
    const int R2 = FCubeSize.X * FCubeSize.X;
    for (int i = 1; i <= CellCount; ++i) {
        const int dx = FCubeCells[std::size_t(i)].X - X;
        const int dy = FCubeCells[std::size_t(i)].Y - Y;
        if (dx * dx + dy * dy <= R2)
            return i;
    }
    return -1;
}

void TLumColorCubePanel::DrawHexagon(TCanvas* Canvas, TPoint C, int w, int q)
{
    Canvas->Polygon({ TPoint(C.X - w, C.Y - q), TPoint(C.X, C.Y - 2 * q), TPoint(C.X + w, C.Y - q),
        TPoint(C.X + w, C.Y + q), TPoint(C.X, C.Y + 2 * q), TPoint(C.X - w, C.Y + q) });
}

void TLumColorCubePanel::DrawCubeCell(int Index)
{
    // Cells are drawn straight onto the window; without one there is nothing to draw on.
    if (!ValidCell(Index) || !HandleAllocated())
        return;
    TCanvas* Canvas = GetCanvas();
    const TCubeCell& Cell = FCubeCells[std::size_t(Index)];
    Canvas->GetPen()->SetColor(Cell.Color);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Cell.Color);
    DrawHexagon(Canvas, TPoint(Cell.X, Cell.Y), FCubeSize.X, FCubeSize.Y);
    if (Index == FHotIndex)
        DrawHotFrame();
    if (Index == FSelectedIndex)
        DrawSelectedFrame();
}

void TLumColorCubePanel::DrawCubeCells()
{
    for (int i = 1; i <= CellCount; ++i)
        DrawCubeCell(i);
}

void TLumColorCubePanel::DrawCellFrame(int Index, TColor Outer, TColor Inner)
{
    if (!ValidCell(Index) || !HandleAllocated())
        return;
    TCanvas* Canvas = GetCanvas();
    const TPoint C(FCubeCells[std::size_t(Index)].X, FCubeCells[std::size_t(Index)].Y);
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetPen()->SetColor(Outer);
    DrawHexagon(Canvas, C, FCubeSize.X - 1, FCubeSize.Y);
    Canvas->GetPen()->SetColor(Inner);
    DrawHexagon(Canvas, C, FCubeSize.X - 2, FCubeSize.Y - 1);
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TLumColorCubePanel::DrawHotFrame()
{
    DrawCellFrame(FHotIndex, Hex(0xFF0000), Hex(0xFFFFFF));
}

void TLumColorCubePanel::DrawSelectedFrame()
{
    DrawCellFrame(FSelectedIndex, Hex(0x000000), Hex(0xFFFFFF));
}

void TLumColorCubePanel::Paint()
{
    TLumCustomColorSelectorPanel::Paint();
    DrawCubeCells();
}

void TLumColorCubePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomColorSelectorPanel::MouseDown(Button, Shift, X, Y);
    const int i = CubeCellAtPos(X, Y);
    if (i < 1)
        return;
    if (ValidCell(FSelectedIndex)) {
        const int Old = FSelectedIndex;
        FSelectedIndex = -1;
        DrawCubeCell(Old);
    }
    SelectColor(FCubeCells[std::size_t(i)].Color, i);
    DrawCubeCell(i);
    if (OnSelect)
        OnSelect(this);
}

void TLumColorCubePanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TLumCustomColorSelectorPanel::MouseMove(Shift, X, Y);
    const int i = CubeCellAtPos(X, Y);
    if (i >= 1 && i != FHotIndex) {
        const int Old = FHotIndex;
        FHotIndex = -1;
        DrawCubeCell(Old);
        FHotIndex = i;
        DrawCubeCell(i);
        if (FShowRGBHint) {
            const TColor c = FCubeCells[std::size_t(i)].Color;
            SetHint(Format(u"Red: %d,  Green: %d,  Blue: %d",
                { int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)) }));
            Application->CancelHint();
        }
    } else if (i < 1 && FShowRGBHint) {
        // Between cells the hint goes, but the hot cell keeps its frame.
        SetHint(String());
        Application->CancelHint();
    }
}

void TLumColorCubePanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    ShouldHide();
}

// ---- TLumColorSpectrumPanel ----

TLumColorSpectrumPanel::TLumColorSpectrumPanel(TComponent* AOwner) : TLumCustomColorSelectorPanel(AOwner)
{
    FSpectrumImage = new ExtCtrls::TImage(this);
    FSpectrumImage->SetParent(this);
    FSpectrumImage->SetBounds(0, 0, 128, 128);
    {
        TBitmap Spectrum;
        Spectrum.LoadFromResourceName(nullptr, u"ZID_SPECTRUM");
        FSpectrumImage->GetPicture()->Assign(&Spectrum);
    }
    FSpectrumImage->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        SpectrumImageMouseMove(Sender, Shift, X, Y);
    };
    FSpectrumImage->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        SpectrumImageMouseDown(Sender, Button, Shift, X, Y);
    };
    FSpectrumImage->OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        SpectrumImageMouseUp(Sender, Button, Shift, X, Y);
    };
    FHotColor = clNone;
    FSelectedColor = clWhite;
    if (HCURSOR Pointer = ColorPointerCursor())
        Screen->SetCursors(crColorPointer, Pointer);
    FSpectrumImage->SetCursor(crColorPointer);
}

TLumColorSpectrumPanel::~TLumColorSpectrumPanel()
{
    delete FSpectrumImage;
}

void TLumColorSpectrumPanel::LayoutSpectrum()
{
    SetHeight(174);
    SetWidth(150);
    FSpectrumImage->SetLeft((GetWidth() - FSpectrumImage->GetWidth()) / 2);
    FSpectrumImage->SetTop(10);
    const int L = FSpectrumImage->GetLeft(), T = FSpectrumImage->GetTop();
    const int W = FSpectrumImage->GetWidth(), H = FSpectrumImage->GetHeight();
    const int B = T + H;
    FSelectedRect = TRect(L - 1, B + 8, L + W / 2 - 2, B + 28);
    FHotRect = TRect(FSelectedRect.Right + 4, B + 8, L + W + 1, B + 28);
    FHotColor = clNone;
    Invalidate();
}

void TLumColorSpectrumPanel::DrawSample(const TRect& R, TColor Color)
{
    if (!HandleAllocated())
        return;
    TCanvas* Canvas = GetCanvas();
    Canvas->GetPen()->SetColor(Hex(0x808080));
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->Rectangle(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    Canvas->GetPen()->SetColor(clWhite);
    // No colour yet: only the white frame, the panel shows through.
    if (Color == clNone) {
        Canvas->Rectangle(R);
    } else {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(Color);
        Canvas->Rectangle(R);
    }
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TLumColorSpectrumPanel::DrawHotSample()
{
    DrawSample(FHotRect, FHotColor);
}

void TLumColorSpectrumPanel::DrawSelectedSample()
{
    DrawSample(FSelectedRect, FSelectedColor);
}

void TLumColorSpectrumPanel::Paint()
{
    TLumCustomColorSelectorPanel::Paint();
    TCanvas* Canvas = GetCanvas();
    const TRect R = FSpectrumImage->GetBoundsRect();
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->GetPen()->SetColor(clWhite);
    Canvas->Rectangle(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    Canvas->GetPen()->SetColor(Hex(0x808080));
    Canvas->Rectangle(R.Left - 2, R.Top - 2, R.Right + 2, R.Bottom + 2);
    Canvas->GetBrush()->SetStyle(bsSolid);
    DrawSelectedSample();
    DrawHotSample();
}

void TLumColorSpectrumPanel::SpectrumImageMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (!HandleAllocated())
        return;
    FHotColor = GetCanvas()->GetPixel(X + FSpectrumImage->GetLeft(), Y + FSpectrumImage->GetTop());
    DrawHotSample();
}

void TLumColorSpectrumPanel::SpectrumImageMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    SetSelectedColor(FHotColor);
    DrawSelectedSample();
    if (OnSelect)
        OnSelect(this);
}

void TLumColorSpectrumPanel::SpectrumImageMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    ShouldHide();
}

void TLumColorSpectrumPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    ShouldHide();
}

// ---- TColorBoxItem, TColorBoxItems, TColorBoxAppearance ----

TColorBoxItem::TColorBoxItem(TCollection* Collection) : TCollectionItem(Collection) { }

void TColorBoxItem::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    if (auto* Items = dynamic_cast<TColorBoxItems*>(GetCollection()); Items && Items->OnChange)
        Items->OnChange(Items);
}

void TColorBoxItem::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TColorBoxItem*>(Source)) {
        SetColor(Other->FColor);
        FEnabled = Other->FEnabled;
        return;
    }
    TCollectionItem::Assign(Source);
}

TColorBoxItems::TColorBoxItems(TPersistent* AOwner) : TLumOwnedCollection(AOwner) { }

void TColorBoxAppearance::SetDefaultColors()
{
    FBorderColor = Hex(0xC5C5C5);
    FOuterBorderColorHot = Hex(0xF29436);
    FInnerBorderColorHot = Hex(0xFFE294);
    FOuterBorderColorSelected = Hex(0xFF0000);
    FInnerBorderColorSelected = Hex(0xFFE294);
}

void TColorBoxAppearance::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TColorBoxAppearance*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    FBorderColor = Other->FBorderColor;
    FOuterBorderColorHot = Other->FOuterBorderColorHot;
    FInnerBorderColorHot = Other->FInnerBorderColorHot;
    FOuterBorderColorSelected = Other->FOuterBorderColorSelected;
    FInnerBorderColorSelected = Other->FInnerBorderColorSelected;
}

// ---- TCustomColorSelector ----

TCustomColorSelector::TCustomColorSelector(TComponent* AOwner)
    : TLumCustomColorSelectorPanel(AOwner)
    , FColorBoxAppearance(std::make_unique<TColorBoxAppearance>())
    , FItems(std::make_unique<TColorBoxItems>(this))
{
    SetParentColor(true);
    ArrangeColorBoxes();
}

TCustomColorSelector::~TCustomColorSelector() = default;

void TCustomColorSelector::LoadDefaultPalette()
{
    FItems->BeginUpdate();
    FItems->Clear();
    for (int Row = 0; Row < 6; ++Row)
        for (std::uint32_t Color : PaletteColors[Row]) {
            TColorBoxItem* Item = FItems->Add();
            Item->SetColor(Hex(Color));
            Item->SetColorBoxPos(PaletteRowPos[Row]);
        }
    FItems->EndUpdate();
    FItemIndex = -1;
    FItemHot = -1;
    // A palette without rectangles could be neither hit nor drawn.
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColumns(int Value)
{
    if (FColumns == Value)
        return;
    FColumns = Value;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColumnGap(int Value)
{
    if (FColumnGap == Value)
        return;
    FColumnGap = Value;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColorBoxHeight(int Value)
{
    if (FColorBoxHeight == Value)
        return;
    FColorBoxHeight = Value;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetColorBoxWidth(int Value)
{
    if (FColorBoxWidth == Value)
        return;
    FColorBoxWidth = Value;
    ArrangeColorBoxes();
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle Value)
{
    if (FItemColorStyle == Value)
        return;
    FItemColorStyle = Value;
    if (Value == scOffice2007 || Value == scWindowsVista || Value == scWindows7)
        FColorBoxAppearance->SetDefaultColors();
}

void TCustomColorSelector::GetBoxesRect(TRect& R)
{
    R = GetClientRect();
    R.Left += FOffSetX;
    R.Right -= FOffSetX;
    R.Top += FOffSetY;
    R.Bottom -= FOffSetY;
}

void TCustomColorSelector::GetColorBoxSize(TSize& Size)
{
    Size = TSize(FColorBoxWidth, FColorBoxHeight);
}

void TCustomColorSelector::ArrangeColorBoxes()
{
    const int Count = FItems->GetCount();
    if (Count == 0) {
        SetHeight(50);
        SetWidth(100);
        return;
    }
    FItemHot = -1;
    TSize Size;
    GetColorBoxSize(Size);
    const int w = Size.cx, h = Size.cy;
    TRect R;
    GetBoxesRect(R);
    const int x0 = R.Left, y0 = R.Top;
    int x = x0, y = y0, k = 0, m = 0;
    bool Gap = false;
    for (int i = 0; i < Count; ++i) {
        TColorBoxItem* Item = FItems->GetItem(i);
        Item->SetRect(TRect(x, y, x + w, y + h));
        ++k;
        if (i == Count - 1)
            break;
        // A stand-alone row keeps a gap below it, apart from the strips.
        if (Item->GetColorBoxPos() == ipStandAlone)
            Gap = true;
        if (k < FColumns) {
            x += w + FColumnGap;
        } else {
            y += h + (Gap ? FColumnGap : 0);
            Gap = false;
            m = std::max(m, x);
            x = x0;
            k = 0;
        }
    }
    SetHeight(y + h + y0);
    SetWidth(std::max(x, m) + w + x0 + 1);
}

void TCustomColorSelector::GetColorBoxRect(int Index, TRect& R) const
{
    R = InList(Index) ? FItems->GetItem(Index)->GetRect() : TRect(-1, -1, -1, -1);
}

int TCustomColorSelector::ColorBoxAtPos(int X, int Y) const
{
    for (int i = 0; i < FItems->GetCount(); ++i)
        if (FItems->GetItem(i)->GetRect().Contains(TPoint(X, Y)))
            return i;
    return -1;
}

void TCustomColorSelector::InvalidateColorBox(int Index)
{
    if (!InList(Index) || !HandleAllocated())
        return;
    const TRect R = FItems->GetItem(Index)->GetRect();
    const RECT r { R.Left, R.Top, R.Right, R.Bottom };
    InvalidateRect(GetHandle(), &r, true);
}

void TCustomColorSelector::DrawColorBox(int Index, TCanvas* Canvas)
{
    if (!InList(Index) || !Canvas)
        return;
    TColorBoxItem* Item = FItems->GetItem(Index);
    TRect R = Item->GetRect();
    if (R.Left < 0 && R.Right < 0)
        return;
    const TColorBoxAppearance& A = *FColorBoxAppearance;
    TColor Outer = A.GetBorderColor(), Inner = clNone;
    bool Highlighted = false;
    if (Index == FItemHot) {
        Outer = A.GetOuterBorderColorHot();
        Inner = A.GetInnerBorderColorHot();
        Highlighted = true;
    }
    if (Index == FItemIndex) {
        Outer = A.GetOuterBorderColorSelected();
        Inner = A.GetInnerBorderColorSelected();
        Highlighted = true;
    }
    if (Item->GetColor() != clNone) {
        Canvas->GetPen()->SetColor(Item->GetColor());
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(Item->GetColor());
        Canvas->Rectangle(R);
    }
    if (Highlighted) {
        Canvas->GetBrush()->SetStyle(bsClear);
        if (Outer != clNone) {
            Canvas->GetPen()->SetColor(Outer);
            Canvas->Rectangle(R);
            R.Inflate(-1, -1);
        }
        if (Inner != clNone) {
            Canvas->GetPen()->SetColor(Inner);
            Canvas->Rectangle(R);
        }
        Canvas->GetBrush()->SetStyle(bsSolid);
        return;
    }
    Canvas->GetPen()->SetColor(Outer);
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    switch (Item->GetColorBoxPos()) {
    case ipStandAlone:
        Canvas->MoveTo(L, B);
        Canvas->LineTo(L, T);
        Canvas->LineTo(Rt, T);
        Canvas->LineTo(Rt, B);
        Canvas->LineTo(L, B);
        break;
    case ipTop:
        Canvas->MoveTo(L, B);
        Canvas->LineTo(L, T);
        Canvas->LineTo(Rt, T);
        Canvas->LineTo(Rt, B);
        break;
    case ipMiddle:
        Canvas->MoveTo(L, T);
        Canvas->LineTo(L, B);
        Canvas->MoveTo(Rt, T);
        Canvas->LineTo(Rt, B);
        break;
    case ipBottom:
        Canvas->MoveTo(L, T);
        Canvas->LineTo(L, B);
        Canvas->LineTo(Rt, B);
        Canvas->MoveTo(Rt, T);
        Canvas->LineTo(Rt, B + 1);
        break;
    }
}

void TCustomColorSelector::DrawColorBoxes(TCanvas* Canvas)
{
    for (int i = 0; i < FItems->GetCount(); ++i)
        DrawColorBox(i, Canvas);
}

void TCustomColorSelector::Paint()
{
    TLumCustomColorSelectorPanel::Paint();
    DrawColorBoxes(GetCanvas());
}

void TCustomColorSelector::SetItemIndex(int Value)
{
    // Only a box of the list (or none) can be selected, and never a disabled one.
    if (Value < -1 || Value >= FItems->GetCount() || Disabled(Value))
        return;
    if (FItemIndex >= 0 && Value != FItemIndex) {
        const int Old = FItemIndex;
        FItemIndex = -1;
        InvalidateColorBox(Old);
    }
    FItemIndex = Value;
    if (Value >= 0) {
        FSelectedColor = FItems->GetItem(Value)->GetColor();
        if (HandleAllocated())
            DrawColorBox(Value, GetCanvas());
        if (OnItemSelect)
            OnItemSelect(this);
    }
}

void TCustomColorSelector::SetItemHot(int Value)
{
    if (Value == FItemHot || Value < -1 || Value >= FItems->GetCount() || Disabled(Value))
        return;
    if (FItemHot >= 0) {
        const int Old = FItemHot;
        FItemHot = -1;
        InvalidateColorBox(Old);
    }
    FItemHot = Value;
    if (Value >= 0 && HandleAllocated())
        DrawColorBox(Value, GetCanvas());
}

void TCustomColorSelector::SelectFirst()
{
    if (FItems->GetCount() > 0)
        SetItemIndex(0);
}

void TCustomColorSelector::SelectLast()
{
    if (FItems->GetCount() > 0)
        SetItemIndex(FItems->GetCount() - 1);
}

void TCustomColorSelector::SelectNext()
{
    const int Next = FItemIndex < 0 ? 0 : FItemIndex + 1;
    if (InList(Next))
        SetItemIndex(Next);
}

void TCustomColorSelector::SelectPrevious()
{
    if (FItemIndex - 1 >= 0)
        SetItemIndex(FItemIndex - 1);
}

void TCustomColorSelector::HotNext()
{
    const int Next = FItemHot < 0 ? 0 : FItemHot + 1;
    if (InList(Next))
        SetItemHot(Next);
}

void TCustomColorSelector::HotPrevious()
{
    if (FItemHot - 1 >= 0)
        SetItemHot(FItemHot - 1);
}

void TCustomColorSelector::SetSelectedColor(TColor Value)
{
    if (Value == FSelectedColor)
        return;
    FSelectedColor = Value;
    if (Value == clNone)
        SetItemIndex(-1);
    for (int i = 0; i < FItems->GetCount(); ++i)
        if (FItems->GetItem(i)->GetColor() == Value) {
            SetItemIndex(i);
            return;
        }
    SetItemIndex(-1);
}

void TCustomColorSelector::HandleNavigationKey(WORD Key, bool EditorEnabled, bool DroppedDown)
{
    if (!GetEnabled() || Key < VK_PRIOR || Key > VK_DOWN)
        return;
    // With a typeable edit and no drop-down, Left and Right move the caret.
    const bool ArrowsMoveCaret = EditorEnabled && !DroppedDown;
    switch (Key) {
    case VK_PRIOR:
    case VK_HOME:
        SelectFirst();
        break;
    case VK_NEXT:
    case VK_END:
        SelectLast();
        break;
    case VK_LEFT:
        if (!ArrowsMoveCaret)
            SelectPrevious();
        break;
    case VK_RIGHT:
        if (!ArrowsMoveCaret)
            SelectNext();
        break;
    case VK_UP:
        if (DroppedDown) {
            const int Above = FItemIndex < 0 ? 0 : FItemIndex - FColumns;
            if (InList(Above))
                SetItemIndex(Above);
        } else {
            SelectPrevious();
        }
        break;
    case VK_DOWN:
        if (DroppedDown) {
            const int Below = FItemIndex < 0 ? 0 : FItemIndex + FColumns;
            if (InList(Below))
                SetItemIndex(Below);
        } else {
            SelectNext();
        }
        break;
    }
}

void TCustomColorSelector::MouseMove(TShiftState Shift, int X, int Y)
{
    TLumCustomColorSelectorPanel::MouseMove(Shift, X, Y);
    const int i = ColorBoxAtPos(X, Y);
    if (i < 0) {
        if (FItemHot >= 0)
            SetItemHot(-1);
    } else if (i != FItemHot) {
        SetItemHot(Disabled(i) ? -1 : i);
    }
}

void TCustomColorSelector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    const int i = ColorBoxAtPos(X, Y);
    if (i >= 0 && !Disabled(i))
        SetItemIndex(i);
}

void TCustomColorSelector::MouseLeave()
{
    TLumCustomColorSelectorPanel::MouseLeave();
    SetItemHot(-1);
}
