#pragma once
// The base of the library's newer custom controls, in three levels over the
// framework's custom control:
//   TLumCustomControlBaseCommon  scale factors, style adaptation, product
//                                information, float-coordinate input hooks;
//   TLumCustomControlBase        framework events and messages routed to the
//                                hooks, hit testing, hints, focus rules;
//   TLumCustomControl            fill and stroke, JSON settings with property
//                                filters, undo manager, the paint entry.
//
// Overrides of InitializeStyle and InitializeControl cannot run from a C++
// constructor, so they run in AfterConstruction: LumCreateControl<T>(...)
// calls it, and a control made with plain `new` gets it at the latest when
// its window is created.

#include <memory>

#include "foundation/LumPersistence.h"
#include "graphics/LumBitmap.h"
#include "graphics/LumGraphicsTypes.h"
#include "platform/vcl/Controls.h"

class TLumGraphics;
class TLumUndoManager;

// Scoped: the form's close actions take caNone too.
enum class TLumControlAlignment { caNone, caTop, caBottom, caLeft, caRight, caClient };
QT_ENUM(TLumControlAlignment, caNone, caTop, caBottom, caLeft, caRight, caClient)

using TLumCustomControlBeforeDrawEvent
    = std::function<void(TObject* Sender, TLumGraphics* AGraphics, TRectF ARect, bool& ADefaultDraw)>;
using TLumCustomControlAfterDrawEvent = std::function<void(TObject* Sender, TLumGraphics* AGraphics, TRectF ARect)>;
using TLumCustomControlCanSavePropertyEvent = std::function<void(
    TObject* Sender, TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanSave)>;
using TLumCustomControlCanLoadPropertyEvent = std::function<void(
    TObject* Sender, TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanLoad)>;

class ILumProductInfo : public virtual IInterface {
public:
    QT_INTERFACE_ID("{C53329EA-7B3A-4507-AD9E-88ACD6A85054}");
    virtual String GetVersion() = 0;
    virtual String GetDocURL() = 0;
    virtual String GetTipsURL() = 0;

protected:
    ~ILumProductInfo() = default;
};

class ILumAdaptToStyleEx : public virtual IInterface {
public:
    QT_INTERFACE_ID("{3EFF288D-3927-4E86-8E9D-EF684B501C9E}");
    virtual bool GetAdaptToStyle() = 0;
    virtual void SetAdaptToStyle(bool Value) = 0;

protected:
    ~ILumAdaptToStyleEx() = default;
};

class ILumGraphicsExport : public virtual IInterface {
public:
    QT_INTERFACE_ID("{481CA803-8B50-4545-B212-57AC0D065D09}");
    virtual void Export(TLumGraphics* AGraphics, TRectF ARect) = 0;

protected:
    ~ILumGraphicsExport() = default;
};

// ---- common level ----

class TLumCustomControlBaseCommon : public TCustomControl, public ILumProductInfo, public ILumAdaptToStyleEx {
    QT_CLASS(TLumCustomControlBaseCommon, TCustomControl)
    QT_INTERFACES(ILumProductInfo, ILumAdaptToStyleEx)
public:
    explicit TLumCustomControlBaseCommon(TComponent* AOwner = nullptr);

    // The second half of construction, where overrides run; once only.
    void AfterConstruction();

    String GetVersion() override { return {}; }
    String GetDocURL() override;
    String GetTipsURL() override;
    bool GetAdaptToStyle() override { return FAdaptToStyle; }
    void SetAdaptToStyle(bool Value) override;

    int ScaleResourceValue(int Value) const;
    double ScaleResourceValue(double Value) const { return Value * FResourceScaleFactor; }
    int ScalePaintValue(int Value) const;
    double ScalePaintValue(double Value) const { return Value * FPaintScaleFactor; }
    void SetControlMargins(float ALeft, float ATop, float ARight, float ABottom);
    // Leaves the variables alone unless the control aligns with margins.
    void GetControlMargins(float& ALeft, float& ATop, float& ARight, float& ABottom) const;

    bool GetAllowFocus() const { return FAllowFocus; }
    void SetAllowFocus(bool Value) { FAllowFocus = Value; }
    TLumControlAlignment GetControlAlignment() const;
    void SetControlAlignment(TLumControlAlignment Value);
    float GetResourceScaleFactor() const { return FResourceScaleFactor; }
    void SetResourceScaleFactor(float Value) { FResourceScaleFactor = Value; }
    float GetPaintScaleFactor() const { return FPaintScaleFactor; }
    void SetPaintScaleFactor(float Value) { FPaintScaleFactor = Value; }
    int GetDesigntimeFormPixelsPerInch() const { return FDesigntimeFormPixelsPerInch; }
    bool GetAdaptedToStyle() const { return FAdaptedToStyle; }

    bool CanFocus() const override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;

    virtual bool HandleDesignHitTest(TPointF /*APoint*/) { return false; }
    virtual TPointF GetMouseClientPos();
    virtual TPointF ConvertScreenToClient(TPointF APoint);
    virtual TPointF ConvertClientToScreen(TPointF APoint);
    virtual void ChangeDPIScale(int /*M*/, int /*D*/) { }
    virtual void ClearStateBitmaps() = 0;
    // Refreshes the drawing API's default colours from the active style.
    virtual void InitializeStyle();
    virtual void CancelHint();
    virtual void DoBeginDrag() { BeginDrag(true); }
    virtual void ApplyStyle() { }
    virtual void ResetToDefaultStyle() { }
    // Runs the style steps again and applies or resets the style colours.
    void UpdateStyle();

    virtual void HandleMouseLeave() { }
    virtual void HandleMouseEnter() { }
    virtual void HandleMouseDown(TMouseButton, TShiftState, float /*X*/, float /*Y*/) { }
    virtual void HandleMouseMove(TShiftState, float /*X*/, float /*Y*/) { }
    virtual void HandleDblClick(float /*X*/, float /*Y*/) { }
    virtual void HandleMouseUp(TMouseButton, TShiftState, float /*X*/, float /*Y*/) { }
    virtual void HandleKeyPress(char16_t& /*Key*/) { }
    virtual void HandleKeyDown(WORD& /*Key*/, TShiftState) { }
    virtual void HandleKeyDownFirst(WORD& /*Key*/, TShiftState) { }
    virtual void HandleKeyUp(WORD& /*Key*/, TShiftState) { }
    virtual void HandleMouseWheel(TShiftState, int /*WheelDelta*/, bool& /*Handled*/) { }
    virtual void HandleDragOver(TObject* /*Source*/, TPointF /*APoint*/, bool& /*Accept*/) { }
    virtual void HandleDragDrop(TObject* /*Source*/, TPointF /*APoint*/) { }

    TNotifyEvent OnInternalDblClick;
    TNotifyEvent OnInternalMouseDown;
    TNotifyEvent OnInternalMouseMove;
    TNotifyEvent OnInternalMouseUp;

protected:
    // InitializeStyle here; descendants add their own steps after it.
    virtual void RunConstructionSteps();
    void CreateWnd() override;

    float FResourceScaleFactor { 1.0f };
    float FPaintScaleFactor { 1.0f };
    int FDesigntimeFormPixelsPerInch { 96 };
    bool FAllowFocus { true };
    bool FAllowGetChildren { false };
    bool FAdaptToStyle { false };
    bool FAdaptedToStyle { false };
    bool FTransparent { false };
    bool FBufferedPainting { false };
    bool FNativeCanvas { false };
    bool FAntiAliasing { true };
    bool FOptimizedHTMLDrawing { true };
    bool FShowAcceleratorChar { true };
    TLumGraphicsTextQuality FTextQuality { gtqAntiAliasing };

private:
    bool FConstructed { false };
};

// ---- base level ----

class TLumCustomControlBase : public TLumCustomControlBaseCommon {
    QT_CLASS(TLumCustomControlBase, TLumCustomControlBaseCommon)
public:
    explicit TLumCustomControlBase(TComponent* AOwner = nullptr);

    bool GetStored() const { return FStored; }
    void SetStored(bool Value) { FStored = Value; }
    bool GetHitTest() const { return FHitTest; }
    void SetHitTest(bool Value) { FHitTest = Value; }

    virtual TRectF GetLocalRect();
    virtual String GetHintString() { return {}; }
    virtual bool HasHint() { return false; }
    virtual void BeginUpdate() { }
    virtual void EndUpdate() { }

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void KeyPress(char16_t& Key) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Dispatch(TMessage& Message) override;

protected:
    // Tab moves among the parent's own children; Shift+Tab goes back.
    void FocusNextSibling(bool GoForward);

    bool FStored { true };
    bool FHitTest { true };
};

// ---- control level ----

class TLumCustomControl : public TLumCustomControlBase,
                          public ILumPersistence,
                          public ILumGraphicsExport,
                          public TLumJSONMethods<TLumCustomControl> {
    QT_CLASS(TLumCustomControl, TLumCustomControlBase)
    QT_INTERFACES(ILumPersistence, ILumGraphicsExport)
public:
    explicit TLumCustomControl(TComponent* AOwner = nullptr);
    ~TLumCustomControl() override;

    void Assign(TPersistent* Source) override;
    String GetVersion() override { return {}; }

    // ---- settings ----
    void SaveSettingsToFile(const String& AFileName, bool AAppearanceOnly = false) override;
    void LoadSettingsFromFile(const String& AFileName) override;
    void SaveSettingsToStream(TStream& AStream, bool AAppearanceOnly = false) override;
    void LoadSettingsFromStream(TStream& AStream) override;
    bool CanWriteProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) override;
    bool CanReadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType) override;
    // A colour, fill, stroke, font or "...Appearance..." property of AObject.
    virtual bool IsAppearanceProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType);
    bool GetAppearancePersisting() const { return FAppearancePersisting; }

    // ---- background ----
    TLumGraphicsFill* GetFill() const { return FFill.get(); }
    void SetFill(TLumGraphicsFill* Value) { FFill->Assign(Value); }
    TLumGraphicsStroke* GetStroke() const { return FStroke.get(); }
    void SetStroke(TLumGraphicsStroke* Value) { FStroke->Assign(Value); }
    void DisableBackground();
    void EnableBackground();
    void DisableFill() { FFill->SetKind(gfkNone); }
    void EnableFill() { FFill->SetKind(gfkSolid); }
    void DisableStroke() { FStroke->SetKind(gskNone); }
    void EnableStroke() { FStroke->SetKind(gskSolid); }

    // ---- geometry and export ----
    TPointF LocalToScreen(TPointF APoint) { return ConvertClientToScreen(APoint); }
    TPointF ScreenToLocal(TPointF APoint) { return ConvertScreenToClient(APoint); }
    TRectF GetLocalRect() override;
    virtual TRectF GetContentRect() { return GetDrawRect(); }
    virtual TRectF GetDrawRect();
    bool IsExporting() const { return FExporting; }
    void Export(TLumGraphics* AGraphics, TRectF ARect) override;
    virtual void BeforeExport() { }
    virtual void AfterExport() { }
    virtual void CaptureMouse();
    virtual void ReleaseMouse();

    // ---- component state ----
    bool IsDesignTime();
    bool IsLoading();
    bool IsReading();
    bool IsDesigning() const { return GetComponentState().Contains(csDesigning); }
    bool IsDesignerForm() const { return IsDesigning(); }
    bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }

    // ---- caller's data and the rest ----
    void* GetDataPointer() const { return FDataPointer; }
    void SetDataPointer(void* Value) { FDataPointer = Value; }
    bool GetDataBoolean() const { return FDataBoolean; }
    void SetDataBoolean(bool Value) { FDataBoolean = Value; }
    TObject* GetDataObject() const { return FDataObject; }
    void SetDataObject(TObject* Value) { FDataObject = Value; }
    const String& GetDataString() const { return FDataString; }
    void SetDataString(const String& Value) { FDataString = Value; }
    NativeInt GetDataInteger() const { return FDataInteger; }
    void SetDataInteger(NativeInt Value) { FDataInteger = Value; }
    // Made on first use, for this control.
    TLumUndoManager* GetUndoManager();
    bool GetBlockInvalidate() const { return FBlockInvalidate; }
    void SetBlockInvalidate(bool Value) { FBlockInvalidate = Value; }
    bool GetShowAcceleratorChar() const { return FShowAcceleratorChar; }
    void SetShowAcceleratorChar(bool Value) { FShowAcceleratorChar = Value; }

    // ---- state pictures ----
    // The pictures stay the control's: callers draw them and never free them.
    // Check-box and radio pictures are built when any of the kind is missing.
    TPicture* GetCheckBoxBitmap(bool AChecked, bool AFocused, bool AEnabled);
    TPicture* GetRadioButtonBitmap(bool AChecked, bool AFocused, bool AEnabled);
    // Push-button pictures are rebuilt whenever the size differs from the
    // last build, so a picture handed out stays valid for same-size calls.
    TPicture* GetButtonBitmap(int AWidth, int AHeight, bool ADown, bool AFocused, bool AEnabled);
    virtual void UpdateCheckBoxBitmaps();
    virtual void UpdateRadioButtonBitmaps();
    virtual void UpdateButtonBitmaps(int AWidth, int AHeight);
    // The colour the state pictures treat as transparent.
    virtual TColor GetBitmapBackgroundColor();
    void ClearStateBitmaps() override;

    void ApplyStyle() override;
    void ResetToDefaultStyle() override;
    void SetEnabled(bool v) override;
    void ChangeDPIScale(int M, int D) override;

    TLumCustomControlBeforeDrawEvent OnBeforeDraw;
    TLumCustomControlAfterDrawEvent OnAfterDraw;
    TLumCustomControlCanSavePropertyEvent OnCanSaveProperty;
    TLumCustomControlCanLoadPropertyEvent OnCanLoadProperty;

protected:
    void RunConstructionSteps() override;
    virtual void InitializeControl() { }
    virtual void UpdateControlAfterResize() { }
    // The paint pipeline over the drawing API; Paint skips it while
    // BlockInvalidate is set.
    virtual void DrawControl();
    virtual void DrawBackground(TLumGraphics* AGraphics, TRectF ARect);
    virtual void Draw(TLumGraphics* /*AGraphics*/, TRectF /*ARect*/) { }
    virtual void DoBeforeDraw(TLumGraphics* AGraphics, TRectF ARect, bool& ADefaultDraw);
    virtual void DoAfterDraw(TLumGraphics* AGraphics, TRectF ARect);
    virtual void DoCanSaveProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanSave);
    virtual void DoCanLoadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanLoad);

    void Paint() override;
    void Resize() override;
    void CreateWnd() override;

private:
    struct TStatePicture;
    // Draws each state of ATable on one scratch bitmap of that size and
    // keeps a copy of each in its field.
    void BuildStatePictures(const TStatePicture* ATable, std::size_t ACount, int AWidth, int AHeight);
    void DrawState(HDC ADC, const TRect& ARect, const TStatePicture& AState);
    // The picture for the state among a kind's six (unchecked, checked; their
    // focus and disabled pictures), built by AUpdate when any is missing.
    TPicture* GetCheckedStatePicture(std::unique_ptr<TLumBitmap>* const (&APictures)[6],
        void (TLumCustomControl::*AUpdate)(), bool AChecked, bool AFocused, bool AEnabled);
    // Applies the control's drawing settings to a drawing object's context.
    void SetUpGraphics(TLumGraphics& AGraphics);

    void FillChanged(TObject* Sender);
    void StrokeChanged(TObject* Sender);
    bool StartsWritable(TObject* AObject, const String& APropertyName) const;

    bool FBlockInvalidate { false };
    bool FAppearancePersisting { false };
    bool FExporting { false };
    TRectF FExportRect;
    std::unique_ptr<TLumBitmap> FCheckedChk;
    std::unique_ptr<TLumBitmap> FUnCheckedChk;
    std::unique_ptr<TLumBitmap> FCheckedFocusChk;
    std::unique_ptr<TLumBitmap> FUnCheckedFocusChk;
    std::unique_ptr<TLumBitmap> FCheckedDisabledChk;
    std::unique_ptr<TLumBitmap> FUnCheckedDisabledChk;
    std::unique_ptr<TLumBitmap> FCheckedRd;
    std::unique_ptr<TLumBitmap> FUnCheckedRd;
    std::unique_ptr<TLumBitmap> FCheckedFocusRd;
    std::unique_ptr<TLumBitmap> FUnCheckedFocusRd;
    std::unique_ptr<TLumBitmap> FCheckedDisabledRd;
    std::unique_ptr<TLumBitmap> FUnCheckedDisabledRd;
    std::unique_ptr<TLumBitmap> FDownBtn;
    std::unique_ptr<TLumBitmap> FNormalBtn;
    std::unique_ptr<TLumBitmap> FDownFocusBtn;
    std::unique_ptr<TLumBitmap> FNormalFocusBtn;
    std::unique_ptr<TLumBitmap> FNormalDisabledBtn;
    // Pixel size of the last push-button build.
    TSize FButtonBitmapSize;
    std::unique_ptr<TLumGraphicsFill> FFill;
    std::unique_ptr<TLumGraphicsStroke> FStroke;
    void* FDataPointer { nullptr };
    bool FDataBoolean { false };
    String FDataString;
    TObject* FDataObject { nullptr };
    NativeInt FDataInteger { 0 };
    std::unique_ptr<TLumUndoManager> FUndoManager;
};

// Makes a control and runs its second construction step.
template<class T, class... A>
T* LumCreateControl(A&&... Args)
{
    T* control = new T(std::forward<A>(Args)...);
    control->AfterConstruction();
    return control;
}
