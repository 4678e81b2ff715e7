#pragma once
// The drop-down window: a borderless top-most pop-up owned by its drop-down
// edit, holding the header, the editor's content and the footer. It closes
// itself when it loses activation, and remembers when that happened, so the
// press on the edit's button that took the activation away does not open it
// again.

#include "dropdown/LumHeaderFooter.h"
#include "platform/vcl/Forms.h"

class TLumCustomDropDown;

class TDropDownForm : public TForm {
    QT_CLASS(TDropDownForm, TForm)
public:
    explicit TDropDownForm(TComponent* AOwner = nullptr) : TDropDownForm(AOwner, 0) { }
    TDropDownForm(TComponent* AOwner, int Dummy);

    // The tick count of the last deactivation.
    DWORD GetDeActivateTime() const { return FDeActivate; }
    bool GetShadow() const { return FShadow; }
    void SetShadow(bool Value) { FShadow = Value; }
    TLumFooter* GetFooter() const { return FFooter; }
    TLumHeader* GetHeader() const { return FHeader; }
    TLumCustomDropDown* GetLumDropDown() const { return FLumDropDown; }
    void SetLumDropDown(TLumCustomDropDown* Value) { FLumDropDown = Value; }
    // The bottom-right 10 x 10 corner sizes the window.
    bool GetSizeable() const { return FSizeable; }
    void SetSizeable(bool Value) { FSizeable = Value; }
    bool GetCancelOnDeActivate() const { return FCancelOnDeActivate; }
    void SetCancelOnDeActivate(bool Value) { FCancelOnDeActivate = Value; }
    // While set, activation changes are left to the framework alone.
    bool GetBlockActivate() const { return FBlockActivate; }
    void SetBlockActivate(bool Value) { FBlockActivate = Value; }
    // A deactivation is being handled, or the focus went into a window the
    // form owns and the form stayed open.
    bool GetIsDeactivating() const { return FIsDeactivating; }
    void SetIsDeactivating(bool Value) { FIsDeactivating = Value; }

    // Creates, links, sizes and wires the header and footer.
    void InitializeAndUpdate();
    virtual void UpdateSize() { }

    TNotifyEvent OnSizing;
    TNotifyEvent OnSize;

    void Dispatch(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void DoHide() override;

private:
    void ActivationChanged(TMessage& Message);

    DWORD FDeActivate { 0 };
    bool FShadow { true };
    TLumFooter* FFooter { nullptr };
    TLumHeader* FHeader { nullptr };
    TLumCustomDropDown* FLumDropDown { nullptr };
    bool FSizeable { false };
    bool FCancelOnDeActivate { true };
    bool FBlockActivate { false };
    bool FIsDeactivating { false };
};
