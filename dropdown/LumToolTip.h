#pragma once
// A shaped message beside a control: a balloon with a pointer towards the
// control, or a rounded rectangle, painted anti-aliased over a copy of the
// form behind it. TLumToolTip holds the look; TLumToolTipWindow measures,
// shapes, places and paints one message, and while shown gives the control
// (when it publishes "BorderColor") the balloon's border colour.

#include <memory>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"

class TCustomImageList;

enum TLumToolTipPosition { ttTopRight, ttTopLeft, ttTopCenter, ttRight, ttBottomLeft, ttBottomCenter, ttBottomRight,
    ttCustom };
QT_ENUM(TLumToolTipPosition, ttTopRight, ttTopLeft, ttTopCenter, ttRight, ttBottomLeft, ttBottomCenter,
    ttBottomRight, ttCustom)
enum TLumToolTipShape { tsBalloon, tsRectangle };
QT_ENUM(TLumToolTipShape, tsBalloon, tsRectangle)

class TLumToolTip : public TComponent {
    QT_CLASS(TLumToolTip, TComponent)
public:
    explicit TLumToolTip(TComponent* AOwner = nullptr);
    ~TLumToolTip() override;
    // Copies every setting from another tooltip; other sources are ignored.
    void Assign(TPersistent* Source) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int GetMaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColor GetControlBorderColor() const { return FControlBorderColor; }
    void SetControlBorderColor(TColor Value) { FControlBorderColor = Value; }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    int GetX() const { return FX; }
    void SetX(int Value) { FX = Value; }
    int GetY() const { return FY; }
    void SetY(int Value) { FY = Value; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    TLumToolTipPosition GetPosition() const { return FPosition; }
    void SetPosition(TLumToolTipPosition Value) { FPosition = Value; }
    int GetRounding() const { return FRounding; }
    void SetRounding(int Value) { FRounding = Value; }
    TLumToolTipShape GetShape() const { return FShape; }
    void SetShape(TLumToolTipShape Value) { FShape = Value; }
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value) { FMargin = Value; }
    virtual int GetVersionNr() const { return 0x01000003; }
    String GetVersion() const;
    void SetVersion(const String&) { }

private:
    TColor FBorderColor { clRed };
    TCustomImageList* FImages { nullptr };
    int FMaxWidth { 0 };
    TColor FColor { clRed };
    TColor FControlBorderColor { clRed };
    std::unique_ptr<TFont> FFont;
    int FX { 0 };
    int FY { 0 };
    int FImageIndex { -1 };
    TLumToolTipPosition FPosition { ttRight };
    int FRounding { 2 };
    TLumToolTipShape FShape { tsBalloon };
    int FMargin { 0 };
};

class TLumToolTipWindow : public TCustomControl {
    QT_CLASS(TLumToolTipWindow, TCustomControl)
public:
    explicit TLumToolTipWindow(TComponent* AOwner = nullptr);
    // Gives the control its own border colour back.
    ~TLumToolTipWindow() override;

    // Parents the window on the control's form, sizes, shapes and places it
    // and shows it; without ToolTip the window's own settings are used.
    void Show(TControl* Control, TLumToolTip* ToolTip);
    // The window is hidden by freeing it.
    void Hide() { }

    const String& GetText() const { return FText; }
    void SetText(const String& Value);
    TControl* GetControl() const { return FControl; }
    TLumToolTip* GetToolTip() const { return FToolTip; }
    // The settings in force: those given to Show, else the window's own.
    TLumToolTip* Settings() const { return FToolTip ? FToolTip : FInternalToolTip.get(); }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;

    // ---- operations a descendant may replace, in contract order ----
    virtual void UpdateSize();
    virtual void UpdatePosition();

protected:
    void CreateWnd() override;
    void Paint() override;

private:
    bool IsBalloon() const { return Settings()->GetShape() == tsBalloon; }
    void UpdateRegion();
    void WMPaint(TMessage& Message);
    void PaintParentBackground(HDC DC);
    void SetControl(TControl* Value);
    void SetToolTip(TLumToolTip* Value);

    std::unique_ptr<TLumToolTip> FInternalToolTip;
    TControl* FControl { nullptr };
    String FText;
    TLumToolTip* FToolTip { nullptr };
    bool FBorderSet { false };
    TColor FOldBorderColor { clNone };
};
