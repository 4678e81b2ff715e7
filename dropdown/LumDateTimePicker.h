#pragma once
// The date/time pickers of the drop-down family. TCustomDateTimePicker is
// the platform picker with a flat look (a one-pixel outline, a border frame
// in a chosen colour, a "metro" button), hover tracking of the button
// strip, auto-tab from field to field and a Tab rule for the grid.
// TLumDateTimePicker edits a date, a time of day or both (an embedded time
// picker holds the time of day), with a null date, a time window, a caption
// label and a validation balloon.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"

class TLabel;
class TLumToolTip;
class TLumToolTipWindow;

// The message number every picker (and the grid) posts to run the auto-tab
// check after the common control has taken a typed digit.
UINT DTPShiftFocusMessage();

class TCustomDateTimePicker : public TDateTimePicker {
    QT_CLASS(TCustomDateTimePicker, TDateTimePicker)
public:
    explicit TCustomDateTimePicker(TComponent* AOwner = nullptr);

    // ---- the environment, asked when called ----
    // Common controls of version 6 or later (an unreadable version counts).
    static bool IsComCtl6();
    // The platform generation with the name-based locale calls.
    static bool HasLocaleInfoEx();
    // Themed common controls and a theme active.
    bool ThemeActive() const;
    static bool IsMouseButtonDown();
    // The theme library's IsThemeActive: -1 when the library lacks it, else
    // 1 with a theme active and 0 without.
    static int ThemeLibraryState();
    // The form's scale against 96 pixels per inch, by the height of a "0".
    float GetFormDPIScale();
    // The size of one line of text in the font.
    TSize MeasureText(const String& Text, TFont* Font);
    // The size DrawText gives the text in the font within Bounds (DT_CALCRECT).
    static TSize CalcTextRect(HDC DC, TFont* Font, const String& Text, const TRect& Bounds, UINT Flags);
    // Moves the focus to the next control of the form (visible pickers only).
    void FocusNextControl();
    void RedrawBorderFrame();
    void DrawBorderFrame(HDC DC);

    bool GetAutoTab() const { return FAutoTab; }
    bool GetAutoTabToNext() const { return FAutoTabToNext; }
    bool GetMetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(bool Value);
    // Metro mode: the metro look on a picker of its own.
    bool MetroMode() const { return FMetroStyle && !IsEmbedded(); }
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    bool GetButtonHover() const { return FButtonHover; }
    bool GetMouseInControl() const { return FMouseInControl; }
    int GetButtonWidth() const { return FButtonWidth; }
    bool GetIsThemed() const { return FIsThemed; }
    // The embedded time part of a date-and-time picker.
    bool GetIsTimePicker() const { return FIsTimePicker; }
    void SetIsTimePicker(bool Value) { FIsTimePicker = Value; }
    // Tab handling for the grid's date-and-time editor (see WM_GETDLGCODE).
    bool GetGridTabhandling() const { return FGridTabhandling; }
    void SetGridTabhandling(bool Value) { FGridTabhandling = Value; }

    void Dispatch(TMessage& Message) override;

    // ---- operations a descendant may replace, in contract order ----
    // After a typed digit: moves the caret on, or the focus.
    virtual void CheckAutoTab();
    virtual void SetAutoTab(bool Value) { FAutoTab = Value; }
    virtual void SetAutoTabToNext(bool Value) { FAutoTabToNext = Value; }
    // An embedded picker frames its parent and has no metro button.
    virtual bool IsEmbedded() const { return true; }
    virtual void SetBorderStyle(TBorderStyle Value);

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    TColor GetBorderColor() const { return FBorderColor; }
    // Stores a changed colour and repaints the frame.
    void SetBorderColor(TColor Value);
    TColor GetButtonColor() const { return FButtonColor; }
    void SetButtonColor(TColor Value) { FButtonColor = Value; Invalidate(); }
    TColor GetButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(TColor Value) { FButtonColorHot = Value; }
    TColor GetButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(TColor Value) { FButtonColorDown = Value; }
    TColor GetButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(TColor Value) { FButtonTextColor = Value; Invalidate(); }
    TColor GetButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(TColor Value) { FButtonTextColorHot = Value; }
    TColor GetButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(TColor Value) { FButtonTextColorDown = Value; }
    TColor GetButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(TColor Value) { FButtonBorderColor = Value; Invalidate(); }

    // A typed digit with AutoTab on: the common part of the auto-tab step.
    void AutoTabDigit(TMessage& Message);
    void DrawFlatBorder(HDC DC);
    void DrawMetroButton(HDC DC);
    // The painting after the platform's client painting.
    void PaintOver();

    TBorderStyle FBorderStyle { bsNone };
    TColor FBorderColor { TColor(0) };
    bool FIsThemed { false };
    TColor FButtonColorDown { clNone };
    TColor FButtonBorderColor { clNone };
    TColor FButtonTextColor { clNone };
    TColor FButtonTextColorHot { clNone };
    TColor FButtonColor { clNone };
    TColor FButtonColorHot { clNone };
    TColor FButtonTextColorDown { clNone };
    int FButtonWidth { 0 };
    bool FButtonHover { false };
    bool FMouseInControl { false };
    bool FIsWinXP { false };
    bool FMetroStyle { false };
    bool FAutoTab { false };
    bool FAutoTabToNext { true };
    Word Fh { 0 };
    Word Fm { 0 };
    Word Fs { 0 };
    Word Fms { 0 };
    bool FIsTimePicker { false };
    bool FGridTabhandling { false };
    String FLast2Keys;
    String FLast4Keys;

private:
    // The pen colour of the flat outline.
    TColor OutlineColor();
    void DrawOutline(HDC DC, TColor Color, bool Inner);
};

enum TLumDateTimeKind { dkDate, dkTime, dkDateTime };
QT_ENUM(TLumDateTimeKind, dkDate, dkTime, dkDateTime)

using TLumUserInputEvent = TDTParseInputEvent;

class TLumDateTimePicker : public TCustomDateTimePicker {
    QT_CLASS(TLumDateTimePicker, TCustomDateTimePicker)
public:
    explicit TLumDateTimePicker(TComponent* AOwner = nullptr);
    // Frees the balloon first: it gives this picker its border colour back.
    ~TLumDateTimePicker() override;

    // ---- values ----
    TLumDateTimeKind GetKind() const { return FKind; }
    void SetKind(TLumDateTimeKind Value);
    // The date of the picker with the time of day of the time part.
    TDateTime GetDateTime();
    TDate GetDate() const { return TDateTimePicker::GetDate(); }
    // Keeps the time of day.
    void SetDate(TDate Value);
    TTime GetTime() const;
    void SetTime(TTime Value);
    const String& GetFormat() const { return TDateTimePicker::GetFormat(); }
    void SetFormat(const String& Value);
    const String& GetTimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const String& Value);
    TTime GetMinTime() const { return FMinTime; }
    void SetMinTime(TTime Value) { FMinTime = Value; }
    TTime GetMaxTime() const { return FMaxTime; }
    void SetMaxTime(TTime Value) { FMaxTime = Value; }
    TDateTime GetNullDateDate() const { return FNullDateDate; }
    void SetNullDateDate(TDateTime Value) { FNullDateDate = Value; }
    const String& GetNullDateFormat() const { return FNullDateFormat; }
    void SetNullDateFormat(const String& Value) { FNullDateFormat = Value; }
    bool GetNullDateIsToday() const { return FNullDateIsToday; }
    void SetNullDateIsToday(bool Value) { FNullDateIsToday = Value; }
    bool GetTabStop() const { return TDateTimePicker::GetTabStop(); }
    void SetTabStop(bool Value);
    TLumToolTip* GetToolTip() const { return FToolTip; }
    void SetToolTip(TLumToolTip* Value);
    TCustomDateTimePicker* GetTimePicker() const { return FTimePicker; }
    TLumToolTipWindow* GetToolTipWindow() const { return FToolTipWindow; }
    virtual int GetVersionNr() const { return 0x01030606; }
    String GetVersion() const;
    void SetVersion(const String&) { }

    // ---- looks ----
    using TCustomDateTimePicker::GetBorderColor;
    using TCustomDateTimePicker::SetBorderColor;
    using TCustomDateTimePicker::GetButtonColor;
    using TCustomDateTimePicker::SetButtonColor;
    using TCustomDateTimePicker::GetButtonColorHot;
    using TCustomDateTimePicker::SetButtonColorHot;
    using TCustomDateTimePicker::GetButtonColorDown;
    using TCustomDateTimePicker::SetButtonColorDown;
    using TCustomDateTimePicker::GetButtonTextColor;
    using TCustomDateTimePicker::SetButtonTextColor;
    using TCustomDateTimePicker::GetButtonTextColorHot;
    using TCustomDateTimePicker::SetButtonTextColorHot;
    using TCustomDateTimePicker::GetButtonTextColorDown;
    using TCustomDateTimePicker::SetButtonTextColorDown;
    using TCustomDateTimePicker::GetButtonBorderColor;
    using TCustomDateTimePicker::SetButtonBorderColor;

    // ---- caption label ----
    TLabel* GetPickerLabel() const { return FLabel; }
    String GetLabelCaption() const;
    void SetLabelCaption(const String& Value);
    TFont* GetLabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(TFont* Value);
    TLabelPosition GetLabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition Value);
    int GetLabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int Value);
    bool GetLabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool Value);
    bool GetFocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool Value) { FFocusLabel = Value; }
    bool GetLabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool Value);

    // ---- validation balloon ----
    // Shows the text in a balloon beside the picker, with ToolTip's looks.
    void ShowValidation(const String& AText);
    void HideValidation();

    TNotifyEvent OnTimeChange;
    TNotifyEvent OnCheckClick;
    TNotifyEvent OnLabelClick;
    TNotifyEvent OnLabelDblClick;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(TWinControl* AParent) override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;

    // ---- operations a descendant may replace, in contract order ----
    void CheckAutoTab() override;
    void SetAutoTab(bool Value) override;
    void SetAutoTabToNext(bool Value) override;
    bool IsEmbedded() const override { return false; }
    void SetBorderStyle(TBorderStyle Value) override;
    virtual void DoCheckClick();
    virtual void DoChange();
    virtual void DoClick();
    void SetDateTime(TDateTime Value) override;
    virtual void TimePickerKeyPress(TObject* Sender, Char& Key) { (void)Sender; (void)Key; }

protected:
    void CreateWnd() override;
    void Loaded() override;
    void DoEnter() override;
    void DoExit() override;
    void Change() override;
    bool MsgSetDateTime(const SYSTEMTIME& Value) override;

private:
    void InternalSetDateTime(TDateTime Value);
    void CreateTimePicker();
    void UpdateTimePicker();
    void PlaceTimePicker();
    void TimePickerChanged(TObject* Sender);
    void RestoreFormats();
    void ApplyNullDateFormat();
    void CreatePickerLabel();
    void RefreshLabel();
    void PlaceLabel();
    void LabelFontChanged(TObject* Sender);
    bool Loading() const { return GetComponentState().Contains(csLoading); }
    bool Designing() const { return GetComponentState().Contains(csDesigning); }
    // The common control's notifications, reflected back to the picker.
    void Notify(TMessage& Message);
    void UserString(NMDATETIMESTRINGW& Info);

    float FDPIScale { 1.0f };
    TLumDateTimeKind FKind { dkDateTime };
    String FTimeFormat;
    // Year, month and day before the last typed digit.
    Word Fy { 0 };
    Word Fm { 0 };
    Word Fd { 0 };
    TLabel* FLabel { nullptr };
    std::unique_ptr<TFont> FLabelFont;
    TLabelPosition FLabelPosition { lpLeftTop };
    int FLabelMargin { 4 };
    bool FLabelTransparent { false };
    bool FFocusLabel { false };
    bool FLabelAlwaysEnabled { false };
    bool FParentFnt { false };
    bool FIgnoreTimePickerCheck { false };
    bool FFirstRun { true };
    bool FNullDateIsToday { false };
    bool FLblUpdate { false };
    int FLblFntHeight { 0 };
    String FNullDateFormat;
    TDateTime FNullDateDate { 0 };
    String FOriginalFormat;
    String FOriginalTimeFormat;
    // Today replaced the null date on entry and nothing changed it since.
    bool FInternalChangedFlag { false };
    bool FOldCheck { false };
    TTime FMaxTime { 0 };
    TTime FMinTime { 0 };
    TLumToolTip* FToolTip { nullptr };
    TLumToolTipWindow* FToolTipWindow { nullptr };
    bool FLabelFontEqual { true };
    TCustomDateTimePicker* FTimePicker { nullptr };
};
