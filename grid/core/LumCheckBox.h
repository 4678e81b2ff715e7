#pragma once
// The grid family's owner-painted three-state check box: optional
// transparency over its parent, the box on the left or right and at the top,
// middle or bottom, an ellipsis caption, read-only mode and Return as Tab.
// The grid's search panel uses it for its options; any form can use it.

#include <memory>

#include "platform/vcl/StdCtrls.h"

class TLumCheckBox : public TCustomControl {
    QT_CLASS(TLumCheckBox, TCustomControl)
public:
    explicit TLumCheckBox(TComponent* AOwner = nullptr);
    ~TLumCheckBox() override;

    TLeftRight GetAlignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);
    TTextLayout GetButtonVertAlign() const { return FButtonVertAlign; }
    void SetButtonVertAlign(TTextLayout v);
    bool GetChecked() const { return FState == cbChecked; }
    void SetChecked(bool v);
    bool GetEllipsis() const { return FEllipsis; }
    void SetEllipsis(bool v);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool GetReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    TCheckBoxState GetState() const { return FState; }
    void SetState(TCheckBoxState v);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool v);
    // The pressed look while the mouse or the space bar holds the box.
    bool GetDown() const { return FDown; }
    void SetDown(bool v) { FDown = v; }
    // Keeps the parent's background in a bitmap instead of asking the
    // parent to paint it on every paint.
    bool GetTransparentChaching() const { return FTransparentChaching; }
    void SetTransparentChaching(bool v) { FTransparentChaching = v; }

    // Unless read-only, flips between checked and unchecked.
    virtual void Toggle();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;

    // Where the box and the caption go at a DPI scale.
    TRect BoxRect(double Scale) const;
    int CaptionLeft(double Scale) const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    // The scale the control paints at (its form's monitor).
    virtual double CurrentDPIScale();

private:
    static bool ThemedDrawingAvailable();
    void InvalidateBoxColumn();
    void InvalidateCorner(bool Erase);
    void PaintParentBackground(HDC DC);
    void PaintBackground();
    void PaintBox(const TRect& Box, TColor& TextColor);
    void ToggleAndClick();

    TLeftRight FAlignment { taLeftJustify };
    TTextLayout FButtonVertAlign { tlTop };
    bool FEllipsis { false };
    bool FReadOnly { false };
    bool FReturnIsTab { false };
    TCheckBoxState FState { cbUnchecked };
    bool FTransparent { false };
    bool FDown { false };
    bool FTransparentChaching { false };
    bool FFocused { false };
    bool FHot { false };
    bool FMouseDown { false };
    std::unique_ptr<TBitmap> FBackground;
    bool FBackgroundValid { false };
    double FDPIScale { 1.0 };
    bool FIsWinXP { false };
};
