#include "app/browser/LumCustomControl.h"

#include <algorithm>
#include <vector>

#include "app/browser/LumUndoManager.h"
#include "foundation/VuzErazs.h"
#include "graphics/LumGraphicsDefaults.h"
#include "graphics/LumGraphicsStyles.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"

namespace {

// Runs a closing step however the scope is left.
template<class F>
class TScopeExit {
public:
    explicit TScopeExit(F f) : m_f(std::move(f)) { }
    ~TScopeExit() { m_f(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    F m_f;
};

TPoint RoundedPoint(TPointF p) { return { RoundToInt(p.X), RoundToInt(p.Y) }; }

} // namespace

// ---- TLumCustomControlBaseCommon ----

QT_PUBLISHED(TLumCustomControlBaseCommon)

TLumCustomControlBaseCommon::TLumCustomControlBaseCommon(TComponent* AOwner) : TCustomControl(AOwner) { }

void TLumCustomControlBaseCommon::AfterConstruction()
{
    if (FConstructed)
        return;
    FConstructed = true;
    RunConstructionSteps();
}

void TLumCustomControlBaseCommon::RunConstructionSteps()
{
    InitializeStyle();
}

void TLumCustomControlBaseCommon::CreateWnd()
{
    // A control made with plain `new` still gets its overrides before it shows.
    AfterConstruction();
    TCustomControl::CreateWnd();
}

String TLumCustomControlBaseCommon::GetDocURL()
{
    return u"https://www.quarrytide.example/documentation";
}

String TLumCustomControlBaseCommon::GetTipsURL()
{
    return u"https://www.quarrytide.example/tips";
}

void TLumCustomControlBaseCommon::SetAdaptToStyle(bool Value)
{
    FAdaptToStyle = Value;
    UpdateStyle();
}

int TLumCustomControlBaseCommon::ScaleResourceValue(int Value) const
{
    return TVuzErazs::MulDivInt(Value, RoundToInt(double(FResourceScaleFactor) * 100), 100);
}

int TLumCustomControlBaseCommon::ScalePaintValue(int Value) const
{
    return TVuzErazs::MulDivInt(Value, RoundToInt(double(FPaintScaleFactor) * 100), 100);
}

void TLumCustomControlBaseCommon::SetControlMargins(float ALeft, float ATop, float ARight, float ABottom)
{
    SetAlignWithMargins(true);
    GetMargins()->SetBounds(RoundToInt(ALeft), RoundToInt(ATop), RoundToInt(ARight), RoundToInt(ABottom));
}

void TLumCustomControlBaseCommon::GetControlMargins(float& ALeft, float& ATop, float& ARight, float& ABottom) const
{
    if (!GetAlignWithMargins())
        return;
    const TMargins* m = GetMargins();
    ALeft = float(m->GetLeft());
    ATop = float(m->GetTop());
    ARight = float(m->GetRight());
    ABottom = float(m->GetBottom());
}

TLumControlAlignment TLumCustomControlBaseCommon::GetControlAlignment() const
{
    using enum TLumControlAlignment;
    switch (GetAlign()) {
    case alTop: return caTop;
    case alBottom: return caBottom;
    case alLeft: return caLeft;
    case alRight: return caRight;
    case alClient: return caClient;
    default: return caNone;
    }
}

void TLumCustomControlBaseCommon::SetControlAlignment(TLumControlAlignment Value)
{
    static constexpr TAlign aligns[] = { alNone, alTop, alBottom, alLeft, alRight, alClient };
    const auto index = std::size_t(Value);
    if (index < std::size(aligns))
        SetAlign(aligns[index]);
}

bool TLumCustomControlBaseCommon::CanFocus() const
{
    return TCustomControl::CanFocus() && FAllowFocus;
}

void TLumCustomControlBaseCommon::ChangeScale(int M, int D, bool isDpiChange)
{
    TCustomControl::ChangeScale(M, D, isDpiChange);
    const float scale = TVuzErazs::GetDPIScale(this, 96);
    FResourceScaleFactor = scale;
    FPaintScaleFactor = scale;
    ChangeDPIScale(M, D);
}

TPointF TLumCustomControlBaseCommon::GetMouseClientPos()
{
    return ConvertScreenToClient(TVuzErazs::GetMousePos());
}

TPointF TLumCustomControlBaseCommon::ConvertScreenToClient(TPointF APoint)
{
    const TPoint p = ScreenToClient(RoundedPoint(APoint));
    return { float(p.X), float(p.Y) };
}

TPointF TLumCustomControlBaseCommon::ConvertClientToScreen(TPointF APoint)
{
    const TPoint p = ClientToScreen(RoundedPoint(APoint));
    return { float(p.X), float(p.Y) };
}

void TLumCustomControlBaseCommon::InitializeStyle()
{
    TLumGraphics::SetDefaultGraphicColorsFromStyle();
}

void TLumCustomControlBaseCommon::CancelHint()
{
    if (Application)
        Application->CancelHint();
}

void TLumCustomControlBaseCommon::UpdateStyle()
{
    InitializeStyle();
    ClearStateBitmaps();
    if (GetAdaptToStyle()) {
        FAdaptedToStyle = true;
        ApplyStyle();
    } else if (FAdaptedToStyle) {
        ResetToDefaultStyle();
        FAdaptedToStyle = false;
    }
    Invalidate();
}

// ---- TLumCustomControlBase ----

QT_PUBLISHED(TLumCustomControlBase)

TLumCustomControlBase::TLumCustomControlBase(TComponent* AOwner) : TLumCustomControlBaseCommon(AOwner)
{
    SetDoubleBuffered(true);
    m_controlStyle.Include(csAcceptsControls);
}

TRectF TLumCustomControlBase::GetLocalRect()
{
    return RectF(0, 0, float(GetWidth()), float(GetHeight()));
}

void TLumCustomControlBase::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomControlBaseCommon::MouseDown(Button, Shift, X, Y);
    HandleMouseDown(Button, Shift, float(X), float(Y));
    if (OnInternalMouseDown)
        OnInternalMouseDown(this);
}

void TLumCustomControlBase::MouseMove(TShiftState Shift, int X, int Y)
{
    TLumCustomControlBaseCommon::MouseMove(Shift, X, Y);
    HandleMouseMove(Shift, float(X), float(Y));
    if (OnInternalMouseMove)
        OnInternalMouseMove(this);
}

void TLumCustomControlBase::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TLumCustomControlBaseCommon::MouseUp(Button, Shift, X, Y);
    HandleMouseUp(Button, Shift, float(X), float(Y));
    if (OnInternalMouseUp)
        OnInternalMouseUp(this);
}

void TLumCustomControlBase::DblClick()
{
    TLumCustomControlBaseCommon::DblClick();
    const TPointF p = GetMouseClientPos();
    HandleDblClick(p.X, p.Y);
    if (OnInternalDblClick)
        OnInternalDblClick(this);
}

void TLumCustomControlBase::KeyPress(char16_t& Key)
{
    TLumCustomControlBaseCommon::KeyPress(Key);
    HandleKeyPress(Key);
}

void TLumCustomControlBase::KeyDown(WORD& Key, TShiftState Shift)
{
    TLumCustomControlBaseCommon::KeyDown(Key, Shift);
    HandleKeyDownFirst(Key, Shift);
    HandleKeyDown(Key, Shift);
    if (Key == VK_TAB)
        FocusNextSibling(!Shift.Contains(ssShift));
}

void TLumCustomControlBase::KeyUp(WORD& Key, TShiftState Shift)
{
    TLumCustomControlBaseCommon::KeyUp(Key, Shift);
    HandleKeyUp(Key, Shift);
}

void TLumCustomControlBase::FocusNextSibling(bool GoForward)
{
    TWinControl* parent = GetParent();
    if (!parent)
        return;
    std::vector<TWinControl*> siblings;
    for (int i = 0; i < parent->GetControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(parent->GetControl(i)))
            siblings.push_back(w);
    std::stable_sort(siblings.begin(), siblings.end(),
        [](TWinControl* a, TWinControl* b) { return a->GetTabOrder() < b->GetTabOrder(); });
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end())
        return;
    const int n = int(siblings.size());
    const int start = int(self - siblings.begin());
    // Round the list once, wrapping past either end, stopping short of this control.
    for (int step = 1; step < n; ++step) {
        const int index = ((GoForward ? start + step : start - step) % n + n) % n;
        TWinControl* candidate = siblings[std::size_t(index)];
        if (candidate->GetTabStop() && candidate->CanFocus()) {
            candidate->SetFocus();
            return;
        }
    }
}

void TLumCustomControlBase::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    TLumCustomControlBaseCommon::DragOver(Source, X, Y, State, Accept);
    HandleDragOver(Source, PointF(float(X), float(Y)), Accept);
}

void TLumCustomControlBase::DragDrop(TObject* Source, int X, int Y)
{
    TLumCustomControlBaseCommon::DragDrop(Source, X, Y);
    HandleDragDrop(Source, PointF(float(X), float(Y)));
}

void TLumCustomControlBase::MouseEnter()
{
    TLumCustomControlBaseCommon::MouseEnter();
    HandleMouseEnter();
}

void TLumCustomControlBase::MouseLeave()
{
    TLumCustomControlBaseCommon::MouseLeave();
    HandleMouseLeave();
}

void TLumCustomControlBase::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEWHEEL: {
        TLumCustomControlBaseCommon::Dispatch(Message);
        bool handled = Message.Result > 0;
        TShiftState shift;
        const TShiftState keys = GetKeyShiftState();
        for (TShiftStateItem s : { ssShift, ssAlt, ssCtrl })
            if (keys.Contains(s))
                shift.Include(s);
        HandleMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(Message.WParam), handled);
        Message.Result = handled ? 1 : 0;
        return;
    }
    case CM_FOCUSCHANGED:
        TLumCustomControlBaseCommon::Dispatch(Message);
        Invalidate();
        return;
    case CM_STYLECHANGED:
        TLumCustomControlBaseCommon::Dispatch(Message);
        UpdateStyle();
        return;
    case CM_HINTSHOW:
        TLumCustomControlBaseCommon::Dispatch(Message);
        if (auto* info = reinterpret_cast<THintInfo*>(Message.LParam); info && HasHint()) {
            info->HintStr = GetHintString();
            info->ReshowTimeout = 0;
        }
        return;
    case CM_DESIGNHITTEST:
        if (HandleDesignHitTest(GetMouseClientPos()))
            Message.Result = 1;
        else
            TLumCustomControlBaseCommon::Dispatch(Message);
        return;
    case WM_NCHITTEST:
        if (!FHitTest)
            Message.Result = HTTRANSPARENT;
        else
            TLumCustomControlBaseCommon::Dispatch(Message);
        return;
    case WM_GETDLGCODE:
        // A tab stop leaves Tab to the form; any other control moves the
        // focus itself (KeyDown).
        Message.Result = GetTabStop() ? DLGC_WANTARROWS | DLGC_WANTALLKEYS
                                      : DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
        return;
    default:
        TLumCustomControlBaseCommon::Dispatch(Message);
    }
}

// ---- TLumCustomControl ----

QT_PUBLISHED(TLumCustomControl, QT_PROP(AdaptToStyle), QT_PROP(AllowFocus), QT_PROP(ShowAcceleratorChar),
    QT_EVENT_T(OnBeforeDraw, u"TLumCustomControlBeforeDrawEvent"),
    QT_EVENT_T(OnAfterDraw, u"TLumCustomControlAfterDrawEvent"),
    QT_EVENT_T(OnCanSaveProperty, u"TLumCustomControlCanSavePropertyEvent"),
    QT_EVENT_T(OnCanLoadProperty, u"TLumCustomControlCanLoadPropertyEvent"))

TLumCustomControl::TLumCustomControl(TComponent* AOwner)
    : TLumCustomControlBase(AOwner),
      FFill(std::make_unique<TLumGraphicsFill>(gfkSolid, TColor(0xFFFFFF), TColor(0x808080), gcNull, gcNull)),
      FStroke(std::make_unique<TLumGraphicsStroke>(gskSolid, TColor(0xC0C0C0)))
{
    SetParentColor(false);
    SetColor(TColor(0xFFFFFF));
    SetTabStop(true);
    FFill->OnChanged = [this](TObject* Sender) { FillChanged(Sender); };
    FStroke->OnChanged = [this](TObject* Sender) { StrokeChanged(Sender); };
}

TLumCustomControl::~TLumCustomControl()
{
    FUndoManager.reset();
    FFill->OnChanged = nullptr;
    FStroke->OnChanged = nullptr;
}

void TLumCustomControl::RunConstructionSteps()
{
    TLumCustomControlBase::RunConstructionSteps();
    if (!IsDesignerForm())
        InitializeControl();
}

void TLumCustomControl::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TLumCustomControl*>(Source)) {
        FFill->Assign(other->FFill.get());
        FStroke->Assign(other->FStroke.get());
        return;
    }
    TLumCustomControlBase::Assign(Source);
}

// ---- settings ----

void TLumCustomControl::SaveSettingsToFile(const String& AFileName, bool AAppearanceOnly)
{
    FAppearancePersisting = AAppearanceOnly;
    TScopeExit restore([this] { FAppearancePersisting = false; });
    TLumPersistence::SaveSettingsToFile(this, AFileName);
}

void TLumCustomControl::SaveSettingsToStream(TStream& AStream, bool AAppearanceOnly)
{
    FAppearancePersisting = AAppearanceOnly;
    TScopeExit restore([this] { FAppearancePersisting = false; });
    TLumPersistence::SaveSettingsToStream(this, AStream);
}

void TLumCustomControl::LoadSettingsFromFile(const String& AFileName)
{
    BeginUpdate();
    {
        TScopeExit end([this] { EndUpdate(); });
        TLumPersistence::LoadSettingsFromFile(this, AFileName);
    }
    Invalidate();
}

void TLumCustomControl::LoadSettingsFromStream(TStream& AStream)
{
    BeginUpdate();
    {
        TScopeExit end([this] { EndUpdate(); });
        TLumPersistence::LoadSettingsFromStream(this, AStream);
    }
    Invalidate();
}

bool TLumCustomControl::StartsWritable(TObject* AObject, const String& APropertyName) const
{
    return AObject != this || TVuzErazs::IndexOfTextInArray(APropertyName, ExcludedControlProperties) < 0;
}

bool TLumCustomControl::CanWriteProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType)
{
    bool result = StartsWritable(AObject, APropertyName);
    if (FAppearancePersisting)
        result = result && IsAppearanceProperty(AObject, APropertyName, APropertyType);
    DoCanSaveProperty(AObject, APropertyName, APropertyType, result);
    return result;
}

bool TLumCustomControl::CanReadProperty(TObject* AObject, const String& APropertyName, TTypeKind APropertyType)
{
    bool result = StartsWritable(AObject, APropertyName);
    DoCanLoadProperty(AObject, APropertyName, APropertyType, result);
    return result;
}

bool TLumCustomControl::IsAppearanceProperty(TObject* AObject, const String& APropertyName, TTypeKind)
{
    PPropInfo prop = AObject ? GetPropInfo(AObject, APropertyName) : nullptr;
    if (!prop)
        return false;
    static const String appearanceTypes[]
        = { u"TAlphaColor", u"TColor", u"TGraphicsColor", u"TLumGraphicsFill", u"TLumGraphicsStroke" };
    const String typeName = TLumPersistence::GetPropInfoTypeName(prop);
    if (std::find(std::begin(appearanceTypes), std::end(appearanceTypes), typeName) != std::end(appearanceTypes))
        return true;
    return APropertyName.find(u"Appearance") != String::npos || APropertyName == u"Fill"
        || APropertyName == u"Stroke" || APropertyName == u"Font";
}

void TLumCustomControl::DoCanSaveProperty(
    TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanSave)
{
    if (OnCanSaveProperty)
        OnCanSaveProperty(this, AObject, APropertyName, APropertyType, ACanSave);
}

void TLumCustomControl::DoCanLoadProperty(
    TObject* AObject, const String& APropertyName, TTypeKind APropertyType, bool& ACanLoad)
{
    if (OnCanLoadProperty)
        OnCanLoadProperty(this, AObject, APropertyName, APropertyType, ACanLoad);
}

// ---- background ----

void TLumCustomControl::DisableBackground()
{
    FFill->SetKind(gfkNone);
    FStroke->SetKind(gskNone);
    SetColor(clBtnFace);
    SetParentColor(false);
}

void TLumCustomControl::EnableBackground()
{
    FFill->SetKind(gfkSolid);
    FStroke->SetKind(gskSolid);
}

void TLumCustomControl::FillChanged(TObject*)
{
    const TLumGraphicsFillKind kind = FFill->GetKind();
    if (kind == gfkNone || kind == gfkTexture || FFill->GetColor() == gcNull)
        SetColor(clBtnFace);
    else
        SetColor(FFill->GetColor());
    Invalidate();
}

void TLumCustomControl::StrokeChanged(TObject*)
{
    Invalidate();
}

void TLumCustomControl::ApplyStyle()
{
    TColor c = 0;
    if (TLumGraphicsStyles::GetStyleBackgroundFillColor(c))
        FFill->SetColor(c);
    if (TLumGraphicsStyles::GetStyleLineFillColor(c))
        FStroke->SetColor(c);
}

void TLumCustomControl::ResetToDefaultStyle()
{
    FFill->SetColor(TColor(0xFFFFFF));
    FStroke->SetColor(TColor(0xC0C0C0));
}

// ---- geometry, export, painting ----

TRectF TLumCustomControl::GetLocalRect()
{
    return FExporting ? FExportRect : TLumCustomControlBase::GetLocalRect();
}

TRectF TLumCustomControl::GetDrawRect()
{
    return GetLocalRect();
}

void TLumCustomControl::Export(TLumGraphics* AGraphics, TRectF ARect)
{
    {
        FExporting = true;
        FExportRect = ARect;
        TScopeExit done([this] { FExporting = false; });
        BeforeExport();
        Draw(AGraphics, ARect);
    }
    AfterExport();
}

void TLumCustomControl::CaptureMouse()
{
    SetMouseCapture(true);
}

void TLumCustomControl::ReleaseMouse()
{
    SetMouseCapture(false);
}

void TLumCustomControl::DoBeforeDraw(TLumGraphics* AGraphics, TRectF ARect, bool& ADefaultDraw)
{
    if (OnBeforeDraw)
        OnBeforeDraw(this, AGraphics, ARect, ADefaultDraw);
}

void TLumCustomControl::DoAfterDraw(TLumGraphics* AGraphics, TRectF ARect)
{
    if (OnAfterDraw)
        OnAfterDraw(this, AGraphics, ARect);
}

void TLumCustomControl::Paint()
{
    TLumCustomControlBase::Paint();
    if (!FBlockInvalidate)
        DrawControl();
}

void TLumCustomControl::Resize()
{
    TLumCustomControlBase::Resize();
    UpdateControlAfterResize();
}

void TLumCustomControl::SetEnabled(bool v)
{
    TLumCustomControlBase::SetEnabled(v);
    Invalidate();
}

// ---- component state ----

bool TLumCustomControl::IsLoading()
{
    return GetOwner() && GetOwner()->GetComponentState().Contains(csLoading);
}

bool TLumCustomControl::IsReading()
{
    return GetOwner() && GetOwner()->GetComponentState().Contains(csReading);
}

bool TLumCustomControl::IsDesignTime()
{
    return GetOwner() && IsDesigning() && !IsReading() && !IsLoading();
}

TLumUndoManager* TLumCustomControl::GetUndoManager()
{
    if (!FUndoManager)
        FUndoManager = std::make_unique<TLumUndoManager>(this);
    return FUndoManager.get();
}
