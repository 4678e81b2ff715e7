#pragma once
// The single-line edit with a drop-down button that every drop-down editor
// derives from: a typed value text between a prefix and a suffix, a caption
// label beside the edit, the button, and the drop-down window with its
// header, content and footer. The editors override the virtual operations
// below.

#include <memory>

#include "dropdown/LumButtonAppearance.h"
#include "dropdown/LumDropDownInput.h"
#include "platform/vcl/Mask.h"
#include "platform/vcl/StdCtrls.h"
#include "richtext/LumStyles.h"

class TCustomImageList;
class TDropDownEditButton;
class TDropDownForm;

enum TDropPosition { dpAuto, dpDown, dpUp };
QT_ENUM(TDropPosition, dpAuto, dpDown, dpUp)

enum TSelectionColorStyle { scCustom, scOffice2007, scWindowsVista, scWindows7 };
QT_ENUM(TSelectionColorStyle, scCustom, scOffice2007, scWindowsVista, scWindows7)

enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom, lpTopRight, lpBottomRight
};
QT_ENUM(TLabelPosition, lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft,
    lpLeftCenterLeft, lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom,
    lpTopRight, lpBottomRight)

using TDropDownEvent = std::function<void(TObject* Sender, bool& acceptdrop)>;
using TDropUpEvent = std::function<void(TObject* Sender, bool Cancelled)>;
using TGetDropDownPosEvent = std::function<void(TObject* Sender, TPoint& Pos)>;
using TClipboardEvent = std::function<void(TObject* Sender, const String& value, bool& allow)>;
using TDropDownButtonItemClick = std::function<void(TObject* Sender, int ButtonIndex)>;
using TDrawBackGroundEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect)>;
using TGetTextEvent = std::function<void(TObject* Sender, String& Text)>;

class TLumCustomDropDown : public TCustomMaskEdit, public ILumStyle, public ILumTones {
    QT_CLASS(TLumCustomDropDown, TCustomMaskEdit)
    QT_INTERFACES(ILumStyle, ILumTones)
    friend class TDropDownEditButton;
    friend class TLumDropDownSpeedButton;
    friend class TDropDownForm;
public:
    explicit TLumCustomDropDown(TComponent* AOwner = nullptr);
    ~TLumCustomDropDown() override;

    void Assign(TPersistent* Source) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;

    // ---- value text ----
    // The window text without the prefix and suffix, each removed only when
    // the text carries it.
    String GetText();
    // Formats and shows a value between prefix and suffix; resets the modified state.
    virtual void SetText(const String& Value);
    // Shows a text as it is: no prefix, suffix or formatting.
    void SetRawText(const String& Value) { TCustomMaskEdit::SetEditText(Value); }
    void SetModifiedFlag(bool Value);
    bool IsModified() const { return FIsModified; }
    // The locale's number with its thousand separators; 0 when it does not convert.
    static double StringToFloat(const String& S) { return LumDropDown::StringToFloat(S); }

    // ---- number values ----
    // 0 integer, 1 float, 5 hexadecimal, 2 anything else.
    static int ClassifyNumber(const String& S) { return LumDropDown::ClassifyNumber(S); }
    double GetFloatValue();
    void SetFloatValue(double Value);
    void SetIntValue(Int64 Value);
    // Groups the digits of a money value, keeping the caret with its digit.
    void ReformatMoney();
    // The character index under a client point.
    int CharFromPos(int X, int Y);

    // ---- selection and the drop-down ----
    // The value, between prefix and suffix.
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();
    void ShowDropDown();
    void HideDropDown(bool CancelChanges);

    // ---- properties ----
    bool GetEditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value);
    bool GetDropDownEnabled() const { return FDropDownEnabled; }
    // The button follows.
    void SetDropDownEnabled(bool Value);
    int GetDropDownWidth() const { return FDropDownWidth; }
    void SetDropDownWidth(int Value);
    int GetDropDownHeight() const { return FDropDownHeight; }
    void SetDropDownHeight(int Value);
    void ForgetUserSize() { FUserDropDownWidth = FUserDropDownHeight = -1; }
    TColor GetDropDownColor() const { return FDropDownColor; }
    void SetDropDownColor(TColor Value) { FDropDownColor = Value; }
    TColor GetDropDownColorTo() const { return FDropDownColorTo; }
    void SetDropDownColorTo(TColor Value) { FDropDownColorTo = Value; }
    TColor GetDropDownBorderColor() const { return FDropDownBorderColor; }
    void SetDropDownBorderColor(TColor Value) { FDropDownBorderColor = Value; }
    int GetDropDownBorderWidth() const { return FDropDownBorderWidth; }
    void SetDropDownBorderWidth(int Value) { FDropDownBorderWidth = Value; }
    bool GetDropDownShadow() const { return FDropDownShadow; }
    void SetDropDownShadow(bool Value) { FDropDownShadow = Value; }
    bool GetDropDownSizeable() const { return FDropDownSizeable; }
    void SetDropDownSizeable(bool Value) { FDropDownSizeable = Value; }
    TDropPosition GetDropPosition() const { return FDropPosition; }
    void SetDropPosition(TDropPosition Value) { FDropPosition = Value; }
    int GetDropDownButtonWidth() const { return FButtonWidth; }
    // The button takes the width at once; the setting stays unscaled.
    void SetDropDownButtonWidth(int Value);
    String GetDropDownButtonHint() const { return FButtonHint; }
    // The button shows hints only while the hint is not empty.
    void SetDropDownButtonHint(const String& Value);
    TBitmap* GetDropDownButtonGlyph() const;
    void SetDropDownButtonGlyph(TBitmap* Value);
    TDropDownEditButton* GetButton() const { return FButton; }
    TDropDownForm* GetDropDownForm() const { return FDropDownForm; }
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    TColor GetFocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(TColor Value) { FFocusBorderColor = Value; }
    bool GetDisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool Value);
    TColor GetSelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value);
    TColor GetSelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor Value) { FSelectionColorTo = Value; }
    TSelectionColorStyle GetSelectionColorStyle() const { return FSelectionColorStyle; }
    String GetEmptyText() const { return FEmptyText; }
    void SetEmptyText(const String& Value);
    TFontStyles GetEmptyTextStyle() const { return FEmptyTextStyle; }
    void SetEmptyTextStyle(TFontStyles Value);
    bool GetEmptyTextFocused() const { return FEmptyTextFocused; }
    void SetEmptyTextFocused(bool Value) { FEmptyTextFocused = Value; }
    bool GetReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TLumButtonAppearance* GetButtonAppearance() const { return FButtonAppearance.get(); }
    void SetButtonAppearance(TLumButtonAppearance* Value) { FButtonAppearance->Assign(Value); }
    THeaderAppearance* GetDropDownHeader() const { return FDropDownHeader.get(); }
    void SetDropDownHeader(THeaderAppearance* Value) { FDropDownHeader->Assign(Value); }
    TFooterAppearance* GetDropDownFooter() const { return FDropDownFooter.get(); }
    void SetDropDownFooter(TFooterAppearance* Value) { FDropDownFooter->Assign(Value); }
    ROZEVizer GetUIStyle() const { return FLumStyle; }
    void SetUIStyle(ROZEVizer Value) { SetComponentStyle(Value); }
    ROZEVizer GetComponentStyle() const { return FLumStyle; }
    String GetVersion() const;
    void SetVersion(const String&) { }
    bool GetDroppedDown() const { return FDroppedDown; }
    // The scale the drop-down window is sized and its strips drawn at.
    float GetDPIScale() const { return FDPIScale; }
    TRect GetEditRect() const { return FEditRect; }
    // The size the drop-down window has or will have: the window's own while
    // it exists and may be sized, else the fixed size, else the content's.
    TSize GetDropDownSize() const;

    // ---- caption label ----
    String GetLabelCaption() const;
    void SetLabelCaption(const String& Value);
    TLabelPosition GetLabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int GetLabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool GetLabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    bool GetLabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value);
    TFont* GetLabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(TFont* Value);
    TLabel* GetLabel() const { return FLabel; }

    // ---- events ----
    TNotifyEvent OnAfterDropDown, OnBeforeDropDown, OnBeforeDropUp, OnLabelClick, OnLabelDblClick;
    TDropDownEvent OnDropDown;
    TDropUpEvent OnDropUp;
    TGetDropDownPosEvent OnGetDropDownPos;
    // Passed on to the header and footer strips of the drop-down window.
    TDropDownButtonItemClick OnDropDownHeaderButtonClick, OnDropDownFooterButtonClick;
    TDrawBackGroundEvent OnDrawHeader, OnDrawFooter;
    TGetTextEvent OnGetHeaderText, OnGetFooterText;

    // ---- operations the editors override, in contract order ----
    virtual void LabelClick();
    virtual void LabelDblClick();
    virtual int GetVersionNr() { return 0x01050702; }
    // Makes the window once. Editors override it to make their content after
    // calling it; the override runs at window creation or the first opening.
    virtual void CreateDropDownForm();
    virtual void CreateEditButton();
    virtual void UpdateEditButton();
    virtual void BeforeDropDown();
    virtual void AdjustDropDownHeight(int& H) { (void)H; }
    virtual void AfterDropDown();
    virtual void DoShowDropDown();
    virtual void PlaceDropDownControl();
    virtual void UpdateDropDownSize();
    virtual void DoHideDropDown(bool Cancel);
    virtual void DropDownHidden();
    virtual void DropDownFormDestroyed() { }
    virtual void FormMouseWheelDown(TShiftState Shift, TPoint MousePos, bool& Handled);
    virtual void FormMouseWheelUp(TShiftState Shift, TPoint MousePos, bool& Handled);
    virtual void FormKeyPress(Char& Key);
    virtual void FormKeyDown(WORD& Key, TShiftState Shift);
    virtual void FormKeyUp(WORD& Key, TShiftState Shift);
    virtual void ControlKeyDown(WORD& Key, TShiftState Shift);
    virtual void ControlKeyUp(WORD& Key, TShiftState Shift);
    virtual void ControlKeyPress(Char& Key);
    virtual void DropDownResized() { }
    virtual void SpareHook() { }
    virtual void DoWheelDown() { }
    virtual void DoWheelUp() { }
    virtual void DrawFocusedText();
    virtual void DrawEmptyText();
    virtual double NumericDefaultValue() { return 0; }
    virtual void SetEditRect();
    virtual void ResizeControl();
    // SetText is the next slot (declared with the value text above).
    virtual void SetSelectionColorStyle(TSelectionColorStyle AStyle);
    virtual void DrawSelection(TCanvas* Canvas, const TRect& R, int EndKind, TColor CornerColor);
    virtual void DrawGradientBackground(TCanvas* Canvas, TColor FromColor, TGradientDirection Direction,
        const TRect& R, int Steps, TColor ToColor);
    void SetComponentStyle(ROZEVizer AStyle) override;
    void SetColorTones(const TColorTones& ATones) override;

    // ---- painting around the text ----
    // The font's height and a quarter of the smaller of it and the screen font's.
    int MinimumEditHeight();
    // The mouse is over the edit or the edit is the screen's active control.
    bool IsHot();
    // The one-pixel frame in the border, focus or disabled colour.
    void DrawBorders();
    void PaintBorder(HDC DC);
    void UpdateButtonFocus();
    // Reported by the button's left-button release.
    void DropDownButtonClick(TObject* Sender);

protected:
    TDropDownEditType GetEditType() const { return FEditType; }
    // A new kind brings the value into its shape (0 when it does not fit).
    void SetEditType(TDropDownEditType Value);
    short GetPrecision() const { return FPrecision; }
    // Taken by the string, float, money and valid-characters kinds only; the
    // value is shown again with the new decimals.
    void SetPrecision(short Value);
    short GetLengthLimit() const { return FLengthLimit; }
    void SetLengthLimit(short Value) { FLengthLimit = Value; }
    String GetPrefix() const { return FPrefix; }
    void SetPrefix(const String& Value) { FPrefix = Value; }
    String GetSuffix() const { return FSuffix; }
    void SetSuffix(const String& Value) { FSuffix = Value; }
    bool GetSigned() const { return FSigned; }
    void SetSigned(bool Value) { FSigned = Value; }
    String GetValidChars() const { return FValidChars; }
    void SetValidChars(const String& Value) { FValidChars = Value; }
    bool GetAutoThousandSeparator() const { return FAutoThousandSeparator; }
    void SetAutoThousandSeparator(bool Value) { FAutoThousandSeparator = Value; }
    bool GetExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool Value) { FExcelStyleDecimalSeparator = Value; }
    bool GetAllowNumericNullValue() const { return FAllowNumericNullValue; }
    void SetAllowNumericNullValue(bool Value) { FAllowNumericNullValue = Value; }
    bool GetDefaultHandling() const { return FDefaultHandling; }
    void SetDefaultHandling(bool Value) { FDefaultHandling = Value; }
    bool GetCanUndo() const { return FCanUndo; }
    void SetCanUndo(bool Value) { FCanUndo = Value; }
    TGradientDirection GetDropDownGradient() const { return FDropDownGradient; }
    void SetDropDownGradient(TGradientDirection Value) { FDropDownGradient = Value; }
    TWinControl* GetFocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    TControl* GetControl() const { return FControl; }
    // Registers the content of the drop-down window: its designed size is
    // kept (at least the edit's width, less a scroll bar) and it stays hidden
    // until the window opens. The drop-down does not own it.
    void SetControl(TControl* Value);
    String GetDropDownButtonCaption() const;
    void SetDropDownButtonCaption(const String& Value);
    bool GetFocusDraw() const { return FFocusDraw; }
    void SetFocusDraw(bool Value) { FFocusDraw = Value; }
    TClipboardEvent GetOnClipboardCopy() const { return FOnClipboardCopy; }
    void SetOnClipboardCopy(TClipboardEvent Value) { FOnClipboardCopy = std::move(Value); }
    TClipboardEvent GetOnClipboardCut() const { return FOnClipboardCut; }
    void SetOnClipboardCut(TClipboardEvent Value) { FOnClipboardCut = std::move(Value); }
    TClipboardEvent GetOnClipboardPaste() const { return FOnClipboardPaste; }
    void SetOnClipboardPaste(TClipboardEvent Value) { FOnClipboardPaste = std::move(Value); }

    void Loaded() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void DefaultHandler(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;
    // The button sizes itself; the minimum height sizes the edit.
    bool CanAutoSize(int&, int&) override { return false; }
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The header or footer look changed (its buttons included).
    virtual void HeaderChanged();
    virtual void FooterChanged();
    void UpdateLabel();

    int FOrigCtrlH { 0 };
    int FOrigCtrlW { 0 };
    // Starts at 1: editors register their content, divided by it, before the window exists.
    float FDPIScale { 1.0f };
    bool FDesignTime { false };
    TLabel* FLabel { nullptr };
    bool FParentFnt { false };
    int FDropDownWidth { 0 };
    int FDropDownHeight { 0 };
    int FUserDropDownWidth { -1 };
    int FUserDropDownHeight { -1 };
    bool FEditorEnabled { true };
    TDropPosition FDropPosition { dpAuto };
    TCustomImageList* FImages { nullptr };
    bool FDropDownShadow { true };
    int FDropDownBorderWidth { 1 };
    String FButtonHint;
    TColor FDropDownColorTo { clNone };
    TColor FDropDownColor { TColor(0xFFFFFF) };
    TColor FDropDownBorderColor { TColor(0) };
    int FButtonWidth { 17 };
    bool FMouseInControl { false };
    TWinControl* FFocusControl { nullptr };
    std::unique_ptr<THeaderAppearance> FDropDownHeader;
    std::unique_ptr<TLumButtonAppearance> FButtonAppearance;
    std::unique_ptr<TFooterAppearance> FDropDownFooter;
    TControl* FControl { nullptr };
    TGradientDirection FDropDownGradient { gdHorizontal };
    bool FDropDownSizeable { true };
    TColor FSelectionColor { TColor(0) };
    TColor FSelectionColorTo { TColor(0) };
    TSelectionColorStyle FSelectionColorStyle { scCustom };
    TDropDownEditType FEditType { etString };
    short FLengthLimit { 0 };
    short FPrecision { 0 };
    String FPrefix;
    String FSuffix;
    bool FSigned { false };
    bool FReturnIsTab { false };
    bool FIsThemed { false };
    bool FBlockChange { false };
    bool FAllowNumericNullValue { false };
    bool FDefaultHandling { true };
    bool FCanUndo { true };
    bool FExcelStyleDecimalSeparator { false };
    String FValidChars;
    bool FBlockCopy { false };
    bool FDoShowBusy { false };
    TClipboardEvent FOnClipboardCopy, FOnClipboardPaste, FOnClipboardCut;
    bool FButtonDown { false };
    bool FAutoThousandSeparator { true };
    bool FIsModified { false };
    TRect FEditRect;
    bool FDropDownEnabled { true };
    bool FDroppedDown { false };
    bool FFocusDraw { true };
    bool FForceShadow { false };
    ROZEVizer FLumStyle { tsCustom };
    int FLabelMargin { 4 };
    TLabelPosition FLabelPosition { lpLeftTop };
    bool FLabelAlwaysEnabled { false };
    bool FLabelTransparent { false };
    std::unique_ptr<TFont> FLabelFont;
    TColor FBorderColor { clNone };
    TColor FFocusBorderColor { clNone };
    bool FDisabledBorder { true };
    bool FLblUpdate { false };
    TFontStyles FEmptyTextStyle;
    String FEmptyText;
    bool FEmptyTextFocused { false };
    TDropDownForm* FDropDownForm { nullptr };
    TDropDownEditButton* FButton { nullptr };
    String FOldText;

private:
    class TInputHost;
    friend class TInputHost;
    LumDropDown::TInputSettings InputSettings() const;
    // The edit's own message handling of the painting around the text, and
    // of the keys, characters, focus, mouse and clipboard by the input rules.
    bool PaintMessage(TMessage& Message);
    bool InputMessage(TMessage& Message);
    // The editors' content was asked for.
    bool FContentMade { false };
    void MakeDropDownForm();
    void NeedDropDownContent();
    void CreateLabel();
    void LabelFontChanged(TObject* Sender);
};

// The same control with its properties published.
class TLumDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumDropDown, TLumCustomDropDown)
public:
    using TLumCustomDropDown::TLumCustomDropDown;
    using TLumCustomDropDown::GetPrecision;
    using TLumCustomDropDown::SetPrecision;
};

// A drop-down whose window shows any control assigned to it.
class TLumControlDropDown : public TLumDropDown {
    QT_CLASS(TLumControlDropDown, TLumDropDown)
public:
    using TLumDropDown::TLumDropDown;
    using TLumCustomDropDown::GetControl;
    using TLumCustomDropDown::SetControl;

    void Loaded() override;
};
