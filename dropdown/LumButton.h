#pragma once
// The small painted push button of the drop-down header and footer. It
// draws over its parent's background in the colours of a shared button
// appearance, shows an image and a one-line caption, tracks hover, press and
// focus, and closes its drop-down by its modal result. It can also latch
// (a check button) and form groups with one button down.

#include "dropdown/LumButtonAppearance.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

class TCustomImageList;
class TLumCustomDropDown;
class TTimer;

enum TLumButtonStyle { tasButton, tasCheck };
QT_ENUM(TLumButtonStyle, tasButton, tasCheck)
enum TLumButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };
QT_ENUM(TLumButtonState, absUp, absDisabled, absDown, absDropDown, absExclusive)

class TLumButton : public TCustomControl {
    QT_CLASS(TLumButton, TCustomControl)
public:
    explicit TLumButton(TComponent* AOwner = nullptr);
    ~TLumButton() override;

    TLumButtonAppearance* GetAppearance() const { return FAppearance; }
    // Shared, not owned: without one the button paints only its parent's background.
    void SetAppearance(TLumButtonAppearance* Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TLumCustomDropDown* GetLumDropDown() const { return FLumDropDown; }
    void SetLumDropDown(TLumCustomDropDown* Value);
    TLumButtonStyle GetStyle() const { return FStyle; }
    void SetStyle(TLumButtonStyle Value) { FStyle = Value; }
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool GetDown() const { return FDown; }
    void SetDown(bool Value);
    TLumButtonState GetState() const { return FState; }
    bool GetMouseInControl() const { return FMouseInControl; }

    // Width and height from the caption and the image.
    void SizeToContent();
    // Closes the drop-down by the modal result, then fires OnClick unless
    // the click came from the keyboard.
    void Click() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

protected:
    void Paint() override;
    virtual void DrawButton(TCanvas* Canvas);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;

private:
    void PaintParentBackground(TCanvas* Canvas);
    void UnHotTimerTick();
    void UpdateTracking();
    void UpdateExclusive();
    void ButtonPressed(int Group, TLumButton* Sender);
    void RepaintNow();

    int FGroupIndex { 0 };
    bool FDown { false };
    bool FAllowAllUp { false };
    int FOffSet { 4 };
    bool FMouseInControl { false };
    bool FHot { false };
    TLumButtonStyle FStyle { tasButton };
    TLumButtonState FState { absUp };
    bool FMouseDownInControl { false };
    bool FGrouped { true };
    bool FDragging { false };
    bool FPropHot { false };
    TTimer* FUnHotTimer { nullptr };
    bool FInitialDown { false };
    bool FInternalClick { false };
    TLumButtonAppearance* FAppearance { nullptr };
    TCustomImageList* FImages { nullptr };
    int FImageIndex { -1 };
    TModalResult FModalResult { mrNone };
    TLumCustomDropDown* FLumDropDown { nullptr };
};
