#include "dropdown/LumCustomDropDown.h"

#include "dropdown/LumDropDownButton.h"
#include "dropdown/LumDropDownForm.h"
#include "grid/core/GridPainters.h"
#include "grid/core/GridPlatform.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumCustomDropDown, QT_PROP(EditorEnabled), QT_PROP(DropDownEnabled), QT_PROP(DropDownWidth),
    QT_PROP(DropDownHeight), QT_PROP_T(DropDownColor, u"TColor"), QT_PROP_T(DropDownColorTo, u"TColor"),
    QT_PROP_T(DropDownBorderColor, u"TColor"), QT_PROP(DropDownBorderWidth), QT_PROP(DropDownShadow),
    QT_PROP(DropDownSizeable), QT_PROP(DropPosition), QT_PROP(DropDownButtonWidth), QT_PROP(DropDownButtonHint),
    QT_PROP(DropDownButtonGlyph), QT_PROP(Precision),
    QT_PROP_T(BorderColor, u"TColor"), QT_PROP_T(FocusBorderColor, u"TColor"), QT_PROP(DisabledBorder),
    QT_PROP_T(SelectionColor, u"TColor"), QT_PROP_T(SelectionColorTo, u"TColor"), QT_PROP(SelectionColorStyle),
    QT_PROP(EmptyText), QT_PROP(EmptyTextStyle), QT_PROP(EmptyTextFocused), QT_PROP(ReturnIsTab),
    QT_PROP(LabelCaption), QT_PROP(LabelPosition), QT_PROP(LabelMargin), QT_PROP(LabelTransparent),
    QT_PROP(LabelAlwaysEnabled), QT_PROP(LabelFont), QT_PROP(ButtonAppearance), QT_PROP(DropDownHeader),
    QT_PROP(DropDownFooter), QT_PROP(Images), QT_PROP(UIStyle), QT_PROP(Version), QT_EVENT(OnAfterDropDown),
    QT_EVENT(OnBeforeDropDown), QT_EVENT(OnDropDown), QT_EVENT(OnBeforeDropUp), QT_EVENT(OnDropUp),
    QT_EVENT(OnDropDownHeaderButtonClick), QT_EVENT(OnDropDownFooterButtonClick), QT_EVENT(OnDrawHeader),
    QT_EVENT(OnDrawFooter), QT_EVENT(OnGetHeaderText), QT_EVENT(OnGetFooterText), QT_EVENT(OnLabelClick),
    QT_EVENT(OnLabelDblClick), QT_EVENT(OnGetDropDownPos))

// The properties are published on the base so that the events bind to its members.
QT_PUBLISHED(TLumDropDown)
QT_PUBLISHED(TLumControlDropDown, QT_PROP(Control))

TLumCustomDropDown::TLumCustomDropDown(TComponent* AOwner)
    : TCustomMaskEdit(AOwner)
    , FDropDownHeader(std::make_unique<THeaderAppearance>(this))
    , FButtonAppearance(std::make_unique<TLumButtonAppearance>())
    , FDropDownFooter(std::make_unique<TFooterAppearance>(this))
    , FLabelFont(std::make_unique<TFont>())
{
    FIsThemed = GridPlatform::ComCtl32MajorVersion >= 6;
    SetBounds(GetLeft(), GetTop(), 200, 21);
    FDropDownHeader->OnChange = [this](TObject*) { HeaderChanged(); };
    FDropDownHeader->OnButtonsChanged = [this](TObject*) { HeaderChanged(); };
    FDropDownFooter->OnChange = [this](TObject*) { FooterChanged(); };
    FDropDownFooter->OnButtonsChanged = [this](TObject*) { FooterChanged(); };
    FLabelFont->Assign(GetFont());
    FLabelFont->OnChange = [this](TObject* Sender) { LabelFontChanged(Sender); };
    SetControlStyle(GetControlStyle() + csDoubleClicks);
    if (!GetComponentState().Contains(csDesigning))
        MakeDropDownForm();
    TLumCustomDropDown::CreateEditButton();
}

TLumCustomDropDown::~TLumCustomDropDown()
{
    // The button and the window go first, and the edit no longer reaches
    // for them; the window's events must not call into a half-gone edit.
    TDropDownEditButton* Button = FButton;
    FButton = nullptr;
    delete Button;
    if (TDropDownForm* Form = FDropDownForm) {
        FDropDownForm = nullptr;
        Form->OnHide = nullptr;
        Form->OnDestroy = nullptr;
        Form->OnSize = nullptr;
        Form->OnSizing = nullptr;
        delete Form;
    }
}

void TLumCustomDropDown::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    // Multi-line lets the formatting rectangle be narrowed to keep the text
    // clear of the button.
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

// ---- value text ----

String TLumCustomDropDown::GetText() { return LumDropDown::ValueOfWindowText(InputSettings(), GetEditText()); }

void TLumCustomDropDown::SetText(const String& Value)
{
    const String V = LumDropDown::FormatValueText(InputSettings(), Value);
    TCustomMaskEdit::SetEditText(FPrefix + V + FSuffix);
    FOldText = V;
    SetModifiedFlag(false);
}

void TLumCustomDropDown::SetModifiedFlag(bool Value)
{
    if (GetComponentState().Contains(csLoading) || !FEditorEnabled || GetReadOnly())
        return;
    SetModified(Value);
    FIsModified = Value;
}

// ---- properties ----

void TLumCustomDropDown::SetEditorEnabled(bool Value)
{
    FEditorEnabled = Value;
    // A pure selector takes a double click as a second single click.
    SetControlStyle(Value ? GetControlStyle() + csDoubleClicks : GetControlStyle() - csDoubleClicks);
}

void TLumCustomDropDown::SetDropDownWidth(int Value)
{
    FDropDownWidth = Value;
    ForgetUserSize();
}

void TLumCustomDropDown::SetDropDownHeight(int Value)
{
    if (Value < 0)
        return;
    FDropDownHeight = Value;
    ForgetUserSize();
}

void TLumCustomDropDown::SetSelectionColor(TColor Value)
{
    FSelectionColor = Value;
    FSelectionColorStyle = scCustom;
}

void TLumCustomDropDown::SetEmptyText(const String& Value)
{
    FEmptyText = Value;
    Invalidate();
}

void TLumCustomDropDown::SetEmptyTextStyle(TFontStyles Value)
{
    FEmptyTextStyle = Value;
    Invalidate();
}

void TLumCustomDropDown::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (FFocusControl)
        FFocusControl->FreeNotification(this);
}

void TLumCustomDropDown::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
}

String TLumCustomDropDown::GetVersion() const
{
    const unsigned V = unsigned(const_cast<TLumCustomDropDown*>(this)->GetVersionNr());
    return IntToStr(V >> 24) + u"." + IntToStr((V >> 16) & 0xFF) + u"." + IntToStr((V >> 8) & 0xFF) + u"."
        + IntToStr(V & 0xFF);
}

void TLumCustomDropDown::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TLumCustomDropDown*>(Source);
    if (!S) {
        TCustomMaskEdit::Assign(Source);
        return;
    }
    FFocusDraw = S->FFocusDraw;
    FForceShadow = S->FForceShadow;
    SetDropDownEnabled(S->FDropDownEnabled);
    FDropDownColor = S->FDropDownColor;
    FDropDownColorTo = S->FDropDownColorTo;
    FDropDownGradient = S->FDropDownGradient;
    FDropDownBorderColor = S->FDropDownBorderColor;
    FDropDownBorderWidth = S->FDropDownBorderWidth;
    FDropDownShadow = S->FDropDownShadow;
    SetDropDownWidth(S->FDropDownWidth);
    SetDropDownHeight(S->FDropDownHeight);
    FDropDownSizeable = S->FDropDownSizeable;
    FEditType = S->FEditType;
    FReturnIsTab = S->FReturnIsTab;
    FLengthLimit = S->FLengthLimit;
    FPrecision = S->FPrecision;
    FPrefix = S->FPrefix;
    FSuffix = S->FSuffix;
    FDefaultHandling = S->FDefaultHandling;
    FCanUndo = S->FCanUndo;
    FExcelStyleDecimalSeparator = S->FExcelStyleDecimalSeparator;
    FValidChars = S->FValidChars;
    FSigned = S->FSigned;
    FAutoThousandSeparator = S->FAutoThousandSeparator;
    FButtonAppearance->Assign(S->FButtonAppearance.get());
    FDropDownHeader->Assign(S->FDropDownHeader.get());
    FDropDownFooter->Assign(S->FDropDownFooter.get());
    FDropPosition = S->FDropPosition;
    SetDropDownButtonWidth(S->FButtonWidth);
    SetDropDownButtonHint(S->FButtonHint);
    SetEditorEnabled(S->FEditorEnabled);
    SetDropDownButtonGlyph(S->GetDropDownButtonGlyph());
    SetDropDownButtonCaption(S->GetDropDownButtonCaption());
    SetImages(S->FImages);
    FSelectionColorStyle = S->FSelectionColorStyle;
    FSelectionColor = S->FSelectionColor;
    FSelectionColorTo = S->FSelectionColorTo;
}

void TLumCustomDropDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages) {
        FImages = nullptr;
        Invalidate();
    }
    // A content that is being freed is only forgotten: it is past being
    // hidden or re-aligned.
    if (AComponent == FControl)
        FControl = nullptr;
    if (AComponent == FFocusControl)
        FFocusControl = nullptr;
    if (AComponent == FLabel)
        FLabel = nullptr;
    if (AComponent == FButton)
        FButton = nullptr;
    if (AComponent == FDropDownForm)
        FDropDownForm = nullptr;
}

// ---- caption label ----

String TLumCustomDropDown::GetLabelCaption() const { return FLabel ? FLabel->GetCaption() : String(); }

void TLumCustomDropDown::CreateLabel()
{
    FLabel = new TLabel(this);
    FLabel->SetParent(GetParent());
    FLabel->SetFocusControl(this);
    FLabel->GetFont()->Assign(FLabelFont.get());
    FLabel->SetParentFont(GetParentFont());
    FLabel->OnClick = [this](TObject*) { LabelClick(); };
    FLabel->OnDblClick = [this](TObject*) { LabelDblClick(); };
}

void TLumCustomDropDown::SetLabelCaption(const String& Value)
{
    if (!FLabel)
        CreateLabel();
    FLabel->SetCaption(Value);
    UpdateLabel();
}

void TLumCustomDropDown::SetLabelPosition(TLabelPosition Value)
{
    FLabelPosition = Value;
    UpdateLabel();
}

void TLumCustomDropDown::SetLabelMargin(int Value)
{
    FLabelMargin = Value;
    UpdateLabel();
}

void TLumCustomDropDown::SetLabelTransparent(bool Value)
{
    FLabelTransparent = Value;
    UpdateLabel();
}

void TLumCustomDropDown::SetLabelAlwaysEnabled(bool Value)
{
    FLabelAlwaysEnabled = Value;
    if (FLabel)
        FLabel->SetEnabled(Value || GetEnabled());
}

void TLumCustomDropDown::SetLabelFont(TFont* Value)
{
    if (!GetParentFont())
        FLabelFont->Assign(Value);
}

void TLumCustomDropDown::LabelFontChanged(TObject*)
{
    if (FLblUpdate)
        return;
    if (FLabel)
        FLabel->GetFont()->Assign(FLabelFont.get());
    UpdateLabel();
}

void TLumCustomDropDown::UpdateLabel()
{
    if (!FLabel)
        return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->GetFont()->Assign(FParentFnt ? GetFont() : FLabelFont.get());
    if (FLabel->GetParent() != GetParent())
        FLabel->SetParent(GetParent());

    int W = 0;
    if (FLabel->GetParent() && FLabel->GetParent()->HandleAllocated()) {
        TBitmap Measure;
        Measure.SetSize(1, 1);
        Measure.GetCanvas()->GetFont()->Assign(FLabel->GetFont());
        TRect R(0, 0, 1000, 255);
        String Caption = FLabel->GetCaption();
        Measure.GetCanvas()->TextRect(R, Caption, { tfCalcRect, tfHidePrefix });
        W = R.Width();
    }
    const int L = GetLeft(), T = GetTop(), Wd = GetWidth(), Ht = GetHeight(), M = FLabelMargin;
    const int h = FLabel->GetHeight(), lw = FLabel->GetWidth();
    int Top = T, Left = L;
    switch (FLabelPosition) {
    case lpLeftTop: Top = T; Left = L - W - M; break;
    case lpLeftCenter: Top = T + (Ht - h) / 2; Left = L - W - M; break;
    case lpLeftBottom: Top = T + Ht - h; Left = L - W - M; break;
    case lpTopLeft: Top = T - h - M; Left = L; break;
    case lpBottomLeft: Top = T + Ht + M; Left = L; break;
    case lpLeftTopLeft: Top = T; Left = L - M; break;
    case lpLeftCenterLeft: Top = T + (Ht - h) / 2; Left = L - M; break;
    case lpLeftBottomLeft: Top = T + Ht - h; Left = L - M; break;
    case lpTopCenter: Top = T - h - M; Left = L + (Wd - lw) / 2; break;
    case lpBottomCenter: Top = T + Ht + M; Left = L + (Wd - lw) / 2; break;
    case lpRightTop: Top = T; Left = L + Wd + M; break;
    case lpRightCenter: Top = T + (Ht - h) / 2; Left = L + Wd + M; break;
    case lpRighBottom: Top = T + Ht - h; Left = L + Wd + M; break;
    case lpTopRight: Top = T - h - M; Left = L + Wd - lw; break;
    case lpBottomRight: Top = T + Ht + M; Left = L + Wd - lw; break;
    }
    FLabel->SetTop(Top);
    FLabel->SetLeft(Left);
    FLabel->SetVisible(GetVisible());
}

void TLumCustomDropDown::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomMaskEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabel && FLabel->GetParent())
        UpdateLabel();
}

void TLumCustomDropDown::Dispatch(TMessage& Message)
{
    if (PaintMessage(Message) || InputMessage(Message))
        return;
    switch (Message.Msg) {
    case CN_COMMAND:
        // A rewrite of the whole value announces itself once too often.
        if (HIWORD(Message.WParam) == EN_CHANGE && FBlockChange) {
            FBlockChange = false;
            return;
        }
        break;
    default:
        break;
    }
    TCustomMaskEdit::Dispatch(Message);
    switch (Message.Msg) {
    case WM_SIZE:
        ResizeControl();
        break;
    case CM_VISIBLECHANGED:
        if (FLabel && !FLabel->GetCaption().empty())
            FLabel->SetVisible(GetVisible());
        break;
    case CM_PARENTFONTCHANGED:
        if (FLabel && GetParentFont()) {
            FLabel->GetFont()->Assign(GetFont());
            UpdateLabel();
        }
        break;
    case CM_FONTCHANGED:
        if (HandleAllocated())
            SetEditRect();
        break;
    default:
        break;
    }
}

void TLumCustomDropDown::ChangeScale(int M, int D, bool isDpiChange)
{
    TCustomMaskEdit::ChangeScale(M, D, isDpiChange);
    FDPIScale = float(ScaleFactorForControl(this, nullptr));
    if (FButton)
        FButton->SetBWidth(int(RoundHalfEven(FButtonWidth * FDPIScale)));
    ResizeControl();
    {
        struct Guard {
            bool& Flag;
            ~Guard() { Flag = false; }
        } G { FLblUpdate = true };
        FLabelFont->SetHeight(MulDiv(FLabelFont->GetHeight(), M, D));
    }
    if (FLabel)
        FLabel->GetFont()->Assign(FLabelFont.get());
    UpdateLabel();
}

void TLumCustomDropDown::Loaded()
{
    TCustomMaskEdit::Loaded();
    FParentFnt = GetParentFont();
    SetEditRect();
    ResizeControl();
    if (FButton)
        FButton->SetEnabled(GetEnabled());
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(GetEnabled());
    UpdateLabel();
}

void TLumCustomDropDown::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    NeedDropDownContent();
    SetEditRect();
    UpdateLabel();
}

// ---- virtual operations with a base behaviour ----

void TLumCustomDropDown::LabelClick()
{
    if (OnLabelClick)
        OnLabelClick(this);
}

void TLumCustomDropDown::LabelDblClick()
{
    if (OnLabelDblClick)
        OnLabelDblClick(this);
}

void TLumCustomDropDown::BeforeDropDown()
{
    if (OnBeforeDropDown)
        OnBeforeDropDown(this);
}

void TLumCustomDropDown::FormMouseWheelDown(TShiftState, TPoint, bool&) { DoWheelDown(); }
void TLumCustomDropDown::FormMouseWheelUp(TShiftState, TPoint, bool&) { DoWheelUp(); }

void TLumCustomDropDown::FormKeyPress(Char& Key)
{
    if (HandleAllocated())
        SendMessage(GetHandle(), WM_CHAR, WPARAM(Key), 0);
}

void TLumCustomDropDown::FormKeyDown(WORD& Key, TShiftState)
{
    if (HandleAllocated())
        SendMessage(GetHandle(), WM_KEYDOWN, WPARAM(Key), 0);
}

void TLumCustomDropDown::FormKeyUp(WORD& Key, TShiftState)
{
    if (HandleAllocated())
        SendMessage(GetHandle(), WM_KEYUP, WPARAM(Key), 0);
}

void TLumCustomDropDown::ControlKeyDown(WORD& Key, TShiftState Shift) { FormKeyDown(Key, Shift); }
void TLumCustomDropDown::ControlKeyUp(WORD& Key, TShiftState Shift) { FormKeyUp(Key, Shift); }
void TLumCustomDropDown::ControlKeyPress(Char& Key) { FormKeyPress(Key); }

// ---- looks ----

void TLumCustomDropDown::SetSelectionColorStyle(TSelectionColorStyle AStyle)
{
    FSelectionColorStyle = AStyle;
    switch (AStyle) {
    case scOffice2007: FSelectionColor = 0xD7FFFD; FSelectionColorTo = 0x58D4FC; break;
    case scWindowsVista: FSelectionColor = 0xFDF8F1; FSelectionColorTo = 0xFCEFD5; break;
    case scWindows7: FSelectionColor = 0xFCEBDC; FSelectionColorTo = 0xFCDBC1; break;
    case scCustom: break;
    }
}

void TLumCustomDropDown::DrawSelection(TCanvas* Canvas, const TRect& R, int EndKind, TColor CornerColor)
{
    struct Preset {
        TColor InnerCorner, Outer, LowerInner, UpperInner, MirrorTo, Mirror;
    };
    static const Preset Presets[] = {
        { 0xC3D9DF, 0x8DD7D3, 0xCAF8FF, 0xF4FEFF, 0xB3F1FC, 0x58D4FC },  // scOffice2007
        { 0xFCEDCB, 0xFDDE99, 0xFDF5E7, 0xFDFBF6, clNone, clNone },      // scWindowsVista
        { 0xE0C5AE, 0xCEA27D, 0xFDEADB, 0xFDF4EB, clNone, clNone },      // scWindows7
    };
    if (FSelectionColorStyle == scCustom) {
        Canvas->GetPen()->SetColor(FSelectionColor);
        Canvas->GetBrush()->SetColor(FSelectionColor);
        Canvas->FillRect(R);
        return;
    }
    const Preset& P = Presets[FSelectionColorStyle - scOffice2007];
    VuzEraz::DrawRoundedSelection(Canvas, FSelectionColor, FSelectionColorTo, P.Mirror, P.MirrorTo, P.UpperInner,
        P.LowerInner, P.Outer, P.InnerCorner, CornerColor, R, EndKind);
}

void TLumCustomDropDown::DrawGradientBackground(TCanvas* Canvas, TColor FromColor, TGradientDirection Direction,
    const TRect& R, int Steps, TColor ToColor)
{
    LumDropDown::DrawGradient(Canvas, FromColor, ToColor, Direction == gdHorizontal, R, Steps);
}

void TLumCustomDropDown::SetColorTones(const TColorTones& ATones)
{
    if (FButton) {
        FButton->SetButtonColor(ATones.Background.BrushColor);
        FButton->SetButtonColorHot(ATones.Hover.BrushColor);
        FButton->SetButtonColorDown(ATones.Selected.BrushColor);
        FButton->SetButtonBorderColor(ATones.Background.BorderColor);
    }
    SetBorderColor(ATones.Background.BorderColor);
}
