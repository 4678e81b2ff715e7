#pragma once
// Edits with a button: TVovEditBtn, a mask edit with an embedded button at
// its right or left edge that fires an event (F4 clicks it too), and
// TVovUnitEditBtn, which shows a unit beside the value and lets the user
// pick the unit from a pop-up menu of the button. Also the button parts and
// TVovSpeedButton, a speed button showing an image-list image or a picture.
// Independent of the grid; the grid's edit-button editors descend from them.

#include <functional>
#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Mask.h"

enum TButtonAlign { btnRight, btnLeft };
QT_ENUM(TButtonAlign, btnRight, btnLeft)

class TVovEditButton;

// The speed button inside a TVovEditButton; paints with its owner's colours.
class TLumSpeedButton : public TSpeedButton {
    QT_CLASS(TLumSpeedButton, TSpeedButton)
public:
    explicit TLumSpeedButton(TComponent* AOwner = nullptr);

    bool GetIsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    // The pointer is over the button.
    bool GetHot() const { return FHot; }

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TVovEditButton* ButtonOwner() const;

    bool FIsWinXP { false };
    bool FHot { false };
};

// A windowed holder of one speed button that fills it. OnClick fires when
// the left button is released after a press on it, wherever the pointer
// is then; the focus then goes to FocusControl.
class TVovEditButton : public TWinControl {
    QT_CLASS(TVovEditButton, TWinControl)
public:
    explicit TVovEditButton(TComponent* AOwner = nullptr);

    TLumSpeedButton* GetButton() const { return FButton; }
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    bool GetFlat() const { return FButton->GetFlat(); }
    void SetFlat(bool v) { FButton->SetFlat(v); }
    TBitmap* GetGlyph() const { return FButton->GetGlyph(); }
    void SetGlyph(TBitmap* v) { FButton->SetGlyph(v); }
    TNumGlyphs GetNumGlyphs() const { return FButton->GetNumGlyphs(); }
    void SetNumGlyphs(TNumGlyphs v) { FButton->SetNumGlyphs(v); }
    String GetButtonCaption() { return FButton->GetCaption(); }
    void SetButtonCaption(const String& v) { FButton->SetCaption(v); }

    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor v) { FButtonColor = v; FButton->Invalidate(); }
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor v) { FButtonColorHot = v; FButton->Invalidate(); }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor v) { FButtonColorDown = v; FButton->Invalidate(); }
    // Stored; the caption is always black.
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor v) { FButtonTextColor = v; }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor v) { FButtonTextColorHot = v; }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor v) { FButtonTextColorDown = v; }
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor v) { FButtonBorderColor = v; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FillWithButton();
    void ButtonMouseDown(TMouseButton Button);
    void ButtonMouseUp(TMouseButton Button);

    TLumSpeedButton* FButton { nullptr };
    TWinControl* FFocusControl { nullptr };
    bool FPressed { false };
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonColorDown { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
    TColor FButtonBorderColor { clNone };
};

class TVovEditBtn : public TCustomMaskEdit {
    QT_CLASS(TVovEditBtn, TCustomMaskEdit)
public:
    explicit TVovEditBtn(TComponent* AOwner = nullptr);
    ~TVovEditBtn() override;

    TVovEditButton* GetButton() const { return FButton; }
    bool GetEditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool GetRightAlign() const { return FRightAlign; }
    void SetRightAlign(bool v);
    TButtonAlign GetButtonAlign() const { return FButtonAlign; }
    void SetButtonAlign(TButtonAlign v);
    int GetButtonWidth() const;
    void SetButtonWidth(int v);
    bool GetIsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    TBitmap* GetGlyph() const;
    void SetGlyph(TBitmap* v);
    String GetButtonCaption();
    void SetButtonCaption(const String& v);
    // The least height that shows the font.
    int GetMinHeight();

    TNotifyEvent OnClickBtn;

    bool Validate(const String& Value, int& Pos) override;
    // Checks a changed masked text without raising: an incomplete text is kept.
    void ValidateEdit() override;
    // Fires OnClickBtn with the given Sender: the button for a mouse click,
    // the edit for F4.
    virtual void ClickButton(TObject* Sender);

    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The embedded button never sizes the edit; the minimum height does.
    bool CanAutoSize(int&, int&) override { return false; }
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    // Leaves room for the button (and a unit) in the formatting rectangle.
    void SetEditRect();
    void PlaceButton();

    int FUnitSize { 0 };

private:
    TVovEditButton* FButton { nullptr };
    bool FEditorEnabled { true };
    bool FRightAlign { false };
    TButtonAlign FButtonAlign { btnRight };
    bool FIsWinXP { false };
};

using TUnitChangeEvent = std::function<void(TObject* Sender, const String& NewUnit)>;

class TVovUnitEditBtn : public TVovEditBtn {
    QT_CLASS(TVovUnitEditBtn, TVovEditBtn)
public:
    explicit TVovUnitEditBtn(TComponent* AOwner = nullptr);

    TStrings* GetUnits() const { return FUnits.get(); }
    // Copies the list; null is ignored.
    void SetUnits(TStrings* v);
    const String& GetUnitID() const { return FUnitID; }
    void SetUnitID(const String& v);
    int GetUnitSpace() const { return FUnitSpace; }
    void SetUnitSpace(int v);
    // The text followed by the unit. Written: the longest unit the value
    // ends with becomes UnitID and the rest the text; a value that ends
    // with no unit changes nothing.
    String GetTextAndUnit();
    void SetTextAndUnit(const String& v);

    TUnitChangeEvent OnUnitChanged;

    // Fires OnClickBtn with the edit as Sender, then offers the units in a
    // pop-up menu below the button; the choice comes back as WM_COMMAND.
    void ClickButton(TObject* Sender) override;
    void Dispatch(TMessage& Message) override;

protected:
    void PaintWindow(HDC DC) override;

private:
    std::unique_ptr<TStringList> FUnits;
    String FUnitID;
    int FUnitSpace { 20 };
};

// A speed button that shows an image of an image list, or a picture,
// centred over its face.
class TVovSpeedButton : public TSpeedButton {
    QT_CLASS(TVovSpeedButton, TSpeedButton)
public:
    explicit TVovSpeedButton(TComponent* AOwner = nullptr);
    ~TVovSpeedButton() override;

    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* v);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* v);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> FPicture;
    TCustomImageList* FImages { nullptr };
    int FImageIndex { -1 };
};
