#pragma once
// The calculator's keypad: a panel of push buttons laid out as a fixed
// six-column calculator, painted as gradient faces with a shine and an
// optional glow, that reports a completed click with the button's index.
// A button's meaning is its Tag; the panel does no arithmetic.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemLayout.h"
#include "graphics/LumOwnedCollection.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"

class TCustomImageList;
class TCustomEdit;

enum TButtonPanelType { plCalculator, plCustom };
QT_ENUM(TButtonPanelType, plCalculator, plCustom)

using TCalculatorButtonClickEvent = std::function<void(TObject* Sender, int Index)>;

class TCalcButtonItem : public TCollectionItem {
    QT_CLASS(TCalcButtonItem, TCollectionItem)
public:
    explicit TCalcButtonItem(TCollection* Collection = nullptr);
    ~TCalcButtonItem() override;
    // Copies caption, caption colour, tag, image index, picture, enabled
    // state and name; the special flag and the rectangle stay.
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    TPicture* GetImage() const { return FImage.get(); }
    void SetImage(TPicture* Value) { FImage->Assign(Value); }
    int GetTag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    TColor GetCaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(TColor Value) { FCaptionColor = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    const String& GetName() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    bool GetSpecial() const { return FSpecial; }
    void SetSpecial(bool Value) { FSpecial = Value; }
    TRect GetRect() const { return TRect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    void SetRect(int Left, int Top, int Width, int Height);

private:
    String FCaption;
    int FImageIndex { -1 };
    // A disabled button can be neither hot nor pressed.
    bool FEnabled { true };
    std::unique_ptr<TPicture> FImage;
    int FTag { 0 };
    int FHeight { 0 };
    int FLeft { 0 };
    int FWidth { 0 };
    int FTop { 0 };
    String FName;
    TColor FCaptionColor { TColor(0xFFFFFF) };
    bool FSpecial { false };
};

class TCalcButtonItems : public TLumOwnedCollection<TCalcButtonItem> {
    QT_CLASS(TCalcButtonItems, TOwnedCollection)
public:
    explicit TCalcButtonItems(TPersistent* AOwner);

    TCalcButtonItem* Add() { return static_cast<TCalcButtonItem*>(TCollection::Add()); }
    TCalcButtonItem* Insert(int Index) { return static_cast<TCalcButtonItem*>(TCollection::Insert(Index)); }
    TCalcButtonItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TCalcButtonItem* Value) { GetItem(Index)->Assign(Value); }
    TCalcButtonItem* operator[](int Index) const { return GetItem(Index); }
};

// The faces of the keypad's buttons in their normal, hot and pressed states.
class TButtonAppearance : public TPersistent {
    QT_CLASS(TButtonAppearance, TPersistent)
public:
    TButtonAppearance();
    ~TButtonAppearance() override;
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { Change(FBorderColor, Value); }
    TColor GetBorderColorHot() const { return FBorderColorHot; }
    void SetBorderColorHot(TColor Value) { Change(FBorderColorHot, Value); }
    TColor GetBorderColorDown() const { return FBorderColorDown; }
    void SetBorderColorDown(TColor Value) { Change(FBorderColorDown, Value); }
    TColor GetBorderColorChecked() const { return FBorderColorChecked; }
    void SetBorderColorChecked(TColor Value) { Change(FBorderColorChecked, Value); }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { Change(FColor, Value); }
    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Change(FColorTo, Value); }
    TColor GetColorDown() const { return FColorDown; }
    void SetColorDown(TColor Value) { Change(FColorDown, Value); }
    TColor GetColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(TColor Value) { Change(FColorDownTo, Value); }
    TColor GetColorHot() const { return FColorHot; }
    void SetColorHot(TColor Value) { Change(FColorHot, Value); }
    TColor GetColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(TColor Value) { Change(FColorHotTo, Value); }
    TColor GetColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(TColor Value) { Change(FColorCheckedTo, Value); }
    TColor GetColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor Value) { Change(FColorDisabled, Value); }
    TColor GetColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor Value) { Change(FColorDisabledTo, Value); }
    TColor GetColorChecked() const { return FColorChecked; }
    void SetColorChecked(TColor Value) { Change(FColorChecked, Value); }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value);
    // The shine and the glows are read at each paint and change silently.
    TColor GetShineColor() const { return FShineColor; }
    void SetShineColor(TColor Value) { FShineColor = Value; }
    TColor GetGlowColorHot() const { return FGlowColorHot; }
    void SetGlowColorHot(TColor Value) { FGlowColorHot = Value; }
    TColor GetGlowColorDown() const { return FGlowColorDown; }
    void SetGlowColorDown(TColor Value) { FGlowColorDown = Value; }
    TColor GetTextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { Change(FTextColor, Value); }
    TColor GetSpecialTextColor() const { return FSpecialTextColor; }
    void SetSpecialTextColor(TColor Value) { Change(FSpecialTextColor, Value); }

private:
    void Change(TColor& Field, TColor Value);
    void Changed();

    TColor FBorderColor { TColor(0) };
    TColor FBorderColorHot { TColor(0) };
    TColor FBorderColorDown { TColor(0) };
    TColor FBorderColorChecked { clNone };
    TColor FColor { TColor(0x9A915F) };
    TColor FColorTo { TColor(0xB0A170) };
    TColor FColorDown { TColor(0x4B2F08) };
    TColor FColorDownTo { TColor(0xADB514) };
    TColor FColorHot { TColor(0x9F6F1C) };
    TColor FColorHotTo { TColor(0xD5C244) };
    TColor FColorCheckedTo { clNone };
    TColor FColorDisabled { clNone };
    TColor FColorDisabledTo { clNone };
    TColor FColorChecked { clNone };
    std::unique_ptr<TFont> FFont;
    TColor FShineColor { TColor(0xFFFFFF) };
    TColor FGlowColorHot { TColor(0xD5C244) };
    TColor FGlowColorDown { TColor(0xD5C244) };
    TColor FTextColor { TColor(0) };
    TColor FSpecialTextColor { TColor(0x000080) };
};

class TCustomButtonPanel : public TCustomControl {
    QT_CLASS(TCustomButtonPanel, TCustomControl)
public:
    explicit TCustomButtonPanel(TComponent* AOwner = nullptr);
    ~TCustomButtonPanel() override;

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

    // ---- operations a descendant may replace, in contract order ----
    virtual void DrawButton(int Index, TCanvas* Canvas);
    virtual void GetButtonArea(TRect& Rect);
    // The smallest button that fits every caption and picture; the layout
    // does not use it.
    virtual void GetMinButtonSize(int& Width, int& Height);
    virtual void ClearButtons();
    virtual void ResetButtons();
    // Adds the 28 calculator buttons to an empty calculator panel, then lays out.
    virtual void BuildButtons();
    virtual void LayoutButtons();
    // Repaints the button with room for its glow.
    virtual void InvalidateButton(int Index);
    virtual void ButtonClick(int Index);

    void SetButtonHot(int Index);
    void SetButtonDown(int Index);
    // (-1, -1, -1, -1) for an index outside the buttons.
    TRect GetButtonRect(int Index) const;
    // The first button holding the point, -1 when none does.
    int ButtonAtPos(int X, int Y) const;
    void DrawButtons(TCanvas* Canvas, bool IncludeHot);

    TCalcButtonItems* GetButtons() const { return FButtons.get(); }
    void SetButtons(TCalcButtonItems* Value) { FButtons->Assign(Value); }
    TItemLayout GetButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TItemLayout Value) { FButtonLayout = Value; }
    TSelectionColorStyle GetItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle Value) { FItemColorStyle = Value; }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomEdit* GetEdit() const { return FEdit; }
    void SetEdit(TCustomEdit* Value);
    TButtonPanelType GetButtonPanelType() const { return FButtonPanelType; }
    void SetButtonPanelType(TButtonPanelType Value);
    TButtonAppearance* GetButtonAppearance() const { return FButtonAppearance.get(); }
    void SetButtonAppearance(TButtonAppearance* Value) { FButtonAppearance->Assign(Value); }
    // The drop-down that hosts the panel; none when it stands alone on a form.
    TLumCustomDropDown* GetLumDropDown() const { return FLumDropDown; }
    void SetLumDropDown(TLumCustomDropDown* Value) { FLumDropDown = Value; }
    int GetButtonHot() const { return FButtonHot; }
    int GetButtonDown() const { return FButtonDown; }

    TCalculatorButtonClickEvent OnButtonClick;

protected:
    void Paint() override;

private:
    bool Usable(int Index) const;
    void DrawFace(TCanvas* Canvas, const TRect& R, TColor Border, TColor From, TColor To, TColor Glow);
    void AppearanceChanged(TObject* Sender);

    std::unique_ptr<TCalcButtonItems> FButtons;
    TItemLayout FButtonLayout { ilCaptionRight };
    TSelectionColorStyle FItemColorStyle { scCustom };
    int FButtonHot { -1 };
    int FOffSetX { 8 };
    int FOffSetY { 8 };
    int FButtonOffSetX { 4 };
    int FButtonOffSetY { 4 };
    TCustomImageList* FImages { nullptr };
    int FCaptionGap { 0 };
    TCustomEdit* FEdit { nullptr };
    TButtonPanelType FButtonPanelType { plCalculator };
    std::unique_ptr<TButtonAppearance> FButtonAppearance;
    int FButtonDown { -1 };
    TLumCustomDropDown* FLumDropDown { nullptr };
};
