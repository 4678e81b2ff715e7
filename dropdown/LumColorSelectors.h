#pragma once
// The colour picker's drop-down contents: a honeycomb of 127 colour cells,
// a spectrum picture with hot and selected samples, and a grid of colour
// boxes with hot tracking, keyboard navigation and framed column strips.

#include <array>
#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "graphics/LumOwnedCollection.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ExtCtrls.h"

// Where a colour box stands in a framed column strip.
enum TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };
QT_ENUM(TItemPos, ipStandAlone, ipTop, ipMiddle, ipBottom)

// The cursor number the spectrum's picture shows.
constexpr TCursor crColorPointer = TCursor(54);

class TLumCustomColorSelectorPanel : public TCustomControl {
    QT_CLASS(TLumCustomColorSelectorPanel, TCustomControl)
public:
    using TCustomControl::TCustomControl;

    // Raised when a mouse button is released over the panel, so a host can
    // close its drop-down; nothing here sets it.
    TNotifyEvent FOnShouldHide;

protected:
    void ShouldHide()
    {
        if (FOnShouldHide)
            FOnShouldHide(this);
    }
};

class TLumColorCubePanel : public TLumCustomColorSelectorPanel {
    QT_CLASS(TLumColorCubePanel, TLumCustomColorSelectorPanel)
public:
    static constexpr int CellCount = 127;

    explicit TLumColorCubePanel(TComponent* AOwner = nullptr);
    ~TLumColorCubePanel() override;

    void InitCubeCells();
    // No hot cell, and the cube's own size (182 x 160).
    void ResetCube();
    // Index 1..127 selects that cell; any other index selects the first cell
    // of that colour, or none. Nothing is repainted.
    void SelectColor(TColor Color, int Index);
    // The first cell whose circle holds the point; -1 when none does.
    int CubeCellAtPos(int X, int Y) const;

    void DrawCubeCell(int Index);
    void DrawCubeCells();
    void DrawHexagon(TCanvas* Canvas, TPoint Center, int HalfWidth, int QuarterHeight);
    void DrawHotFrame();
    void DrawSelectedFrame();

    TColor GetSelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value) { SelectColor(Value, -1); }
    bool GetShowRGBHint() const { return FShowRGBHint; }
    void SetShowRGBHint(bool Value);
    // clNone for an index outside 1..127.
    TColor GetCubeCellColor(int Index) const;
    // Ignored for an index outside 1..127; nothing is repainted.
    void SetCubeCellColor(int Index, TColor Value);
    TPoint GetCubeCellCenter(int Index) const;
    int GetSelectedIndex() const { return FSelectedIndex; }
    int GetHotIndex() const { return FHotIndex; }

    TNotifyEvent OnSelect;

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    void Paint() override;

private:
    struct TCubeCell {
        int X { 0 };
        int Y { 0 };
        TColor Color { clNone };
    };
    static bool ValidCell(int Index) { return Index >= 1 && Index <= CellCount; }
    void DrawCellFrame(int Index, TColor Outer, TColor Inner);

    // Cell 0 is unused, so cells keep their numbers 1..127.
    std::array<TCubeCell, CellCount + 1> FCubeCells {};
    TPoint FCubeSize { 6, 3 };
    TColor FSelectedColor { clNone };
    int FSelectedIndex { -1 };
    int FHotIndex { -1 };
    bool FShowRGBHint { true };
};

class TLumColorSpectrumPanel : public TLumCustomColorSelectorPanel {
    QT_CLASS(TLumColorSpectrumPanel, TLumCustomColorSelectorPanel)
public:
    explicit TLumColorSpectrumPanel(TComponent* AOwner = nullptr);
    ~TLumColorSpectrumPanel() override;

    // The panel's size, the picture's place and the two samples; the hot
    // sample starts empty.
    void LayoutSpectrum();
    void DrawHotSample();
    void DrawSelectedSample();

    TColor GetSelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value) { FSelectedColor = Value; }
    TColor GetHotColor() const { return FHotColor; }
    TRect GetHotRect() const { return FHotRect; }
    TRect GetSelectedRect() const { return FSelectedRect; }
    ExtCtrls::TImage* GetSpectrumImage() const { return FSpectrumImage; }

    TNotifyEvent OnSelect;

    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
    void Paint() override;

private:
    void SpectrumImageMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void SpectrumImageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void SpectrumImageMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void DrawSample(const TRect& R, TColor Color);

    ExtCtrls::TImage* FSpectrumImage { nullptr };
    TColor FHotColor { clNone };
    TColor FSelectedColor { clWhite };
    TRect FHotRect;
    TRect FSelectedRect;
};

class TColorBoxItem : public TCollectionItem {
    QT_CLASS(TColorBoxItem, TCollectionItem)
public:
    explicit TColorBoxItem(TCollection* Collection = nullptr);
    void Assign(TPersistent* Source) override;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TItemPos GetColorBoxPos() const { return FColorBoxPos; }
    void SetColorBoxPos(TItemPos Value) { FColorBoxPos = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    const TRect& GetRect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }

private:
    TColor FColor { clNone };
    // A disabled box can be neither hot nor selected.
    bool FEnabled { true };
    TRect FRect;
    TItemPos FColorBoxPos { ipStandAlone };
};

class TColorBoxItems : public TLumOwnedCollection<TColorBoxItem> {
    QT_CLASS(TColorBoxItems, TOwnedCollection)
public:
    explicit TColorBoxItems(TPersistent* AOwner);

    TColorBoxItem* Add() { return static_cast<TColorBoxItem*>(TCollection::Add()); }
    TColorBoxItem* Insert(int Index) { return static_cast<TColorBoxItem*>(TCollection::Insert(Index)); }
    TColorBoxItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TColorBoxItem* Value) { GetItem(Index)->Assign(Value); }
    TColorBoxItem* operator[](int Index) const { return GetItem(Index); }

    TNotifyEvent OnChange;
};

class TColorBoxAppearance : public TPersistent {
    QT_CLASS(TColorBoxAppearance, TPersistent)
public:
    TColorBoxAppearance() = default;
    void Assign(TPersistent* Source) override;
    // The constructor's colours (the office and Vista/7 selection styles look alike).
    void SetDefaultColors();

    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    TColor GetOuterBorderColorHot() const { return FOuterBorderColorHot; }
    void SetOuterBorderColorHot(TColor Value) { FOuterBorderColorHot = Value; }
    TColor GetInnerBorderColorHot() const { return FInnerBorderColorHot; }
    void SetInnerBorderColorHot(TColor Value) { FInnerBorderColorHot = Value; }
    TColor GetOuterBorderColorSelected() const { return FOuterBorderColorSelected; }
    void SetOuterBorderColorSelected(TColor Value) { FOuterBorderColorSelected = Value; }
    TColor GetInnerBorderColorSelected() const { return FInnerBorderColorSelected; }
    void SetInnerBorderColorSelected(TColor Value) { FInnerBorderColorSelected = Value; }

    // Never fired: the selector reads the colours at each paint.
    TNotifyEvent OnChange;

private:
    TColor FBorderColor { TColor(0xC5C5C5) };
    TColor FOuterBorderColorHot { TColor(0x3694F2) };
    TColor FInnerBorderColorHot { TColor(0x94E2FF) };
    TColor FOuterBorderColorSelected { TColor(0x0000FF) };
    TColor FInnerBorderColorSelected { TColor(0x94E2FF) };
};

class TCustomColorSelector : public TLumCustomColorSelectorPanel {
    QT_CLASS(TCustomColorSelector, TLumCustomColorSelectorPanel)
public:
    explicit TCustomColorSelector(TComponent* AOwner = nullptr);
    ~TCustomColorSelector() override;

    // Sixty theme colours in ten columns: a stand-alone row, then five
    // shades per column drawn as one framed strip.
    void LoadDefaultPalette();
    void GetColorBoxRect(int Index, TRect& R) const;
    // The first box holding the point, -1 when none does.
    int ColorBoxAtPos(int X, int Y) const;
    void DrawColorBoxes(TCanvas* Canvas);

    void SetItemIndex(int Value);
    void SetItemHot(int Value);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    void SetSelectedColor(TColor Value);
    // Keys 33 to 40 of the host edit: the host's EditorEnabled and whether
    // its drop-down is open decide how the arrows move.
    void HandleNavigationKey(WORD Key, bool EditorEnabled, bool DroppedDown);

    int GetItemIndex() const { return FItemIndex; }
    int GetItemHot() const { return FItemHot; }
    TColor GetSelectedColor() const { return FSelectedColor; }
    int GetColumns() const { return FColumns; }
    void SetColumns(int Value);
    int GetColumnGap() const { return FColumnGap; }
    void SetColumnGap(int Value);
    int GetColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    int GetColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    TColorBoxAppearance* GetColorBoxAppearance() const { return FColorBoxAppearance.get(); }
    void SetColorBoxAppearance(TColorBoxAppearance* Value) { FColorBoxAppearance->Assign(Value); }
    TColorBoxItems* GetItems() const { return FItems.get(); }
    void SetItems(TColorBoxItems* Value) { FItems->Assign(Value); }
    TSelectionColorStyle GetItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle Value);

    TNotifyEvent OnItemSelect;

    // ---- operations a descendant may replace, in contract order ----
    virtual void DrawColorBox(int Index, TCanvas* Canvas);
    virtual void GetBoxesRect(TRect& R);
    virtual void GetColorBoxSize(TSize& Size);
    virtual void ArrangeColorBoxes();
    virtual void InvalidateColorBox(int Index);

    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

protected:
    void Paint() override;

private:
    bool InList(int Index) const { return Index >= 0 && Index < FItems->GetCount(); }
    bool Disabled(int Index) const { return InList(Index) && !FItems->GetItem(Index)->GetEnabled(); }

    int FItemIndex { -1 };
    int FItemHot { -1 };
    int FOffSetX { 4 };
    int FOffSetY { 4 };
    int FColumns { 10 };
    int FColumnGap { 4 };
    int FColorBoxHeight { 12 };
    int FColorBoxWidth { 12 };
    std::unique_ptr<TColorBoxAppearance> FColorBoxAppearance;
    std::unique_ptr<TColorBoxItems> FItems;
    TSelectionColorStyle FItemColorStyle { scOffice2007 };
    TColor FSelectedColor { clNone };
};
