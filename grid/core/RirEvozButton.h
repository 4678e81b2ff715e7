#pragma once
// The grid family's windowless speed button: a caption with up to four
// glyphs, flat and rounded gradient looks, a two-state check style, grouped
// exclusive buttons, an optional drop-down part and colour presets that can
// follow the desktop's colour scheme. The grid's search panel places such
// buttons; any form can use them.

#include <memory>

#include "platform/vcl/Buttons.h"
#include "platform/vcl/Menus.h"

enum TRirEvozButtonStyle { tasButton, tasCheck };
QT_ENUM(TRirEvozButtonStyle, tasButton, tasCheck)

class TRirEvozButton : public TGraphicControl {
    QT_CLASS(TRirEvozButton, TGraphicControl)
public:
    explicit TRirEvozButton(TComponent* AOwner = nullptr);
    ~TRirEvozButton() override;

    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    bool GetAutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool GetAutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool v) { FAutoXPStyle = v; }
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor GetBorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(TColor v) { FBorderDownColor = v; }
    TColor GetBorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(TColor v) { FBorderHotColor = v; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor v);
    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    TColor GetColorHot() const { return FColorHot; }
    void SetColorHot(TColor v) { FColorHot = v; }
    TColor GetColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor v) { FColorHotTo = v; }
    TColor GetColorDown() const { return FColorDown; }
    void SetColorDown(TColor v) { FColorDown = v; }
    TColor GetColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor v) { FColorDownTo = v; }
    TColor GetColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor v);
    TColor GetColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor v);
    bool GetDown() const { return FDown; }
    // A check-style button takes any value; otherwise only a grouped button
    // goes down, and comes up again only when the group allows all up.
    void SetDown(bool v);
    bool GetDropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool v);
    TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* v);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool v);
    // Copies; with no disabled glyph yet, a grey copy becomes that glyph.
    TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* v);
    TBitmap* GetGlyphHot() const { return FGlyphHot.get(); }
    void SetGlyphHot(TBitmap* v) { FGlyphHot->Assign(v); }
    TBitmap* GetGlyphDown() const { return FGlyphDown.get(); }
    void SetGlyphDown(TBitmap* v) { FGlyphDown->Assign(v); }
    TBitmap* GetGlyphDisabled() const { return FGlyphDisabled.get(); }
    void SetGlyphDisabled(TBitmap* v) { FGlyphDisabled->Assign(v); }
    // The drop shadow drawn under a hot glyph.
    TBitmap* GetGlyphShade() const { return FGlyphShade.get(); }
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout v);
    // -1 centres; smaller values are refused.
    int GetMargin() const { return FMargin; }
    void SetMargin(int v);
    bool GetRounded() const { return FRounded; }
    void SetRounded(bool v);
    bool GetShaded() const { return FShaded; }
    void SetShaded(bool v);
    bool GetShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int v);
    TRirEvozButtonStyle GetStyle() const { return FStyle; }
    void SetStyle(TRirEvozButtonStyle v);
    // Applies colour preset 0..6; other values change nothing.
    int GetLook() const { return FLook; }
    void SetLook(int v);

    TButtonState GetState() const { return FState; }
    bool GetMouseInControl() const { return FMouseInControl; }
    bool GetTransparent() const { return FTransparent; }

    TNotifyEvent OnDropDown;

    void Click() override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Where the glyph and the caption go in `Client` for the layout
    // settings (the standard speed button's rules).
    void CalcLayout(const TRect& Client, TSize Glyph, TSize Text, TPoint& GlyphPos, TPoint& TextPos) const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool Designing() const { return GetComponentState().Contains(csDesigning); }
    // Tells the other buttons of the group about this one.
    void UpdateExclusive();
    // Sends the button its own enter or leave notification for where the
    // pointer is now.
    void UpdateTracking();
    void ThemeAdapt();
    void BuildShade();
    // Paint steps.
    TRect PaintFlatBackground(TButtonState State, bool Hot);
    TRect PaintButtonFrame(TButtonState State, bool Hot, TColor& TextColor);
    void PaintContent(TRect Content, TButtonState State, bool Hot, TColor TextColor);
    void DrawGradient(TColor From, TColor To, TColor Border, const TRect& R);

    bool FAllowAllUp { false };
    bool FAutoThemeAdapt { false };
    bool FAutoXPStyle { false };
    TColor FBorderColor { clNone };
    TColor FBorderDownColor { clNone };
    TColor FBorderHotColor { clNone };
    TColor FColor { clBtnFace };
    TColor FColorTo { clNone };
    TColor FColorHot { TColor(0xCAC7C7) };
    TColor FColorHotTo { clNone };
    TColor FColorDown { TColor(0xD8D3D2) };
    TColor FColorDownTo { clNone };
    TColor FColorChecked { TColor(0x808080) };
    TColor FColorCheckedTo { clNone };
    bool FDown { false };
    bool FDropDownButton { false };
    TPopupMenu* FDropDownMenu { nullptr };
    bool FFlat { true };
    std::unique_ptr<TBitmap> FGlyph;
    std::unique_ptr<TBitmap> FGlyphHot;
    std::unique_ptr<TBitmap> FGlyphDown;
    std::unique_ptr<TBitmap> FGlyphDisabled;
    std::unique_ptr<TBitmap> FGlyphShade;
    int FGroupIndex { 0 };
    TButtonLayout FLayout { blGlyphLeft };
    int FMargin { -1 };
    bool FRounded { false };
    bool FShaded { true };
    bool FShowCaption { true };
    int FSpacing { 4 };
    TRirEvozButtonStyle FStyle { tasButton };
    int FLook { 0 };
    TButtonState FState { bsUp };
    bool FMouseInControl { false };
    bool FDragging { false };
    bool FTransparent { true };
    bool FIsComCtl6 { false };
};
