#pragma once
// The combo box of the grid family: the platform combo box with an optional
// flat look, colour overrides for its border and drop-down button, focus
// colours, and a caption label beside it that it places and keeps in step.
// The grid's cell and form-control combos derive from it.

#include <memory>

#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrls_List.h"

// The drop-down editors have a label position type of their own (with two
// more places); the unit's name keeps the two apart.
namespace VovCombo {
enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom
};
QT_ENUM(TLabelPosition, lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft,
    lpLeftCenterLeft, lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom)
} // namespace VovCombo

class TVovCustomCombo : public TCustomComboBox {
    QT_CLASS(TVovCustomCombo, TCustomComboBox)
public:
    using TLabelPosition = VovCombo::TLabelPosition;

    explicit TVovCustomCombo(TComponent* AOwner = nullptr);
    ~TVovCustomCombo() override;

    bool GetAutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool v) { FAutoFocus = v; }
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor GetFocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor v) { FFocusBorderColor = v; }
    bool GetFocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool v) { FFocusBorder = v; }
    bool GetDisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v) { FDisabledBorder = v; }
    int GetButtonWidth() const { return FButtonWidth; }
    // Only 14 to 32 is taken.
    void SetButtonWidth(int v);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool v);
    TColor GetFlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(TColor v);
    bool GetFlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool v);
    // Stored; the painting does not read it.
    bool GetEtched() const { return FEtched; }
    void SetEtched(bool v);
    TColor GetFocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor v) { FFocusColor = v; }
    bool GetFocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool v) { FFocusLabel = v; }
    TColor GetColor() const { return TControl::GetColor(); }
    // A colour set while loading is also the loaded colour.
    void SetColor(TColor v);
    int GetDropWidth() const { return FDropWidth; }
    void SetDropWidth(int v);
    void SetEnabled(bool v) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // ---- caption label ----
    String GetLabelCaption() const;
    // The first caption creates the label.
    void SetLabelCaption(const String& v);
    TLabelPosition GetLabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    int GetLabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v);
    bool GetLabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    bool GetLabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    TFont* GetLabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(TFont* v) { FLabelFont->Assign(v); }
    TLabel* GetComboLabel() const { return FLabel; }

    // Colours of a self-drawn drop-down button (clNone: not used).
    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { FButtonColor = v; Invalidate(); }
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { FButtonColorHot = v; }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { FButtonColorDown = v; }
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { FButtonTextColor = v; }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { FButtonTextColorDown = v; }
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { FButtonBorderColor = v; }
    // Set by the owner: a themed system (repaint on mouse enter and leave).
    bool GetIsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; }
    // Set by the owning grid for its editor combo: the system draws it.
    bool GetIsVista() const { return FIsVista; }
    void SetIsVista(bool v) { FIsVista = v; }
    bool GetButtonHover() const { return FButtonHover; }
    bool GetMouseInControl() const { return FMouseInControl; }

    // The list closed.
    TNotifyEvent OnDropUp;

    // Selects the item equal to `AString`; nothing changes when there is none.
    void SelectItem(const String& AString);
    // Frames the window as the look asks (border colours or the flat look).
    void DrawBorders();

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool ThemesActive() const;
    bool HasFocus() const;
    bool NeedsOwnPaint() const;
    bool MouseButtonDown() const;
    // Paints the drop-down button; answers the area kept from the field.
    TRect DrawButton(HDC DC);
    void DrawFlatBorders(HDC DC, TRect R);
    void DrawClientEdge();
    void CreateLabel();
    void UpdateLabel();
    void LabelFontChanged(TObject*);
    void FocusGained();
    // Invalidates the client area and the window's edge.
    void RepaintWithFrame();
    void FocusLost();
    int LabelTextWidth();

    bool FAutoFocus { false };
    TColor FBorderColor { clNone };
    TColor FFocusBorderColor { clNone };
    bool FFocusBorder { false };
    bool FDisabledBorder { true };
    int FButtonWidth { 19 };
    bool FFlat { false };
    TColor FFlatLineColor { clNone };
    bool FFlatParentColor { true };
    bool FEtched { false };
    TColor FFocusColor { clNone };
    bool FFocusLabel { false };
    int FDropWidth { 0 };
    TLabel* FLabel { nullptr };
    TLabelPosition FLabelPosition { VovCombo::lpLeftTop };
    int FLabelMargin { 4 };
    bool FLabelTransparent { false };
    bool FLabelAlwaysEnabled { false };
    std::unique_ptr<TFont> FLabelFont;
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonColorDown { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
    TColor FButtonBorderColor { clNone };
    bool FIsWinXP { false };
    bool FIsVista { false };
    bool FIsThemed { false };
    bool FMouseInControl { false };
    bool FButtonHover { false };
    bool FHasFocus { false };
    bool FFrameDrawn { false };
    TColor FLoadedColor { clWindow };
    TColor FOldColor { clNone };
    bool FOldParentColor { false };
    TColor FNormalColor { clNone };
};

class TVovComboBox : public TVovCustomCombo {
    QT_CLASS(TVovComboBox, TVovCustomCombo)
public:
    using TVovCustomCombo::TVovCustomCombo;
};
