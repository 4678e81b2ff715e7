#include "dropdown/LumCalculatorDropdown.h"

#include <cmath>

#include <unicode/uchar.h>

#include "dropdown/LumDropDownForm.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumCalculatorDropdown, QT_PROP(Precision), QT_PROP(CalcButtonAppearance),
    QT_PROP(ShowThousandSeparator))

namespace {

enum TCalcOp { opNone = -1, opAdd = 0, opMultiply = 1, opSubtract = 2, opDivide = 3 };

constexpr Char Backspace = 8;

bool IsNumericChar(Char Ch)
{
    if (Ch >= u'0' && Ch <= u'9')
        return true;
    // Other digits and numbers of the Unicode number categories.
    return Ch > 0x7F && (U_GET_GC_MASK(UChar32(Ch)) & U_GC_N_MASK) != 0;
}

} // namespace

TLumCalculatorDropdown::TLumCalculatorDropdown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FCalcButtonAppearance(std::make_unique<TButtonAppearance>())
{
    FDropDownColor = TColor(0xFFFFFF);
    SetDropDownWidth(230);
    GetDropDownHeader()->SetVisible(false);
    GetDropDownFooter()->SetVisible(false);
    SetEditType(etValidChars);
    SetValidChars(u"0123456789,.C+-*/=");
    SetPrecision(2);
    SetSigned(true);
}

TLumCalculatorDropdown::~TLumCalculatorDropdown() = default;

// ---- the display ----

void TLumCalculatorDropdown::SetDisplay(const String& Value)
{
    SetRawText(GetPrefix() + Value + GetSuffix());
}

long double TLumCalculatorDropdown::ReadDisplay()
{
    String S = Display();
    const Char Thousand = FormatSettings.ThousandSeparator;
    std::erase(S, Thousand);
    return StrToFloat(S);
}

void TLumCalculatorDropdown::ZeroIfEmptyOrError()
{
    const String S = Display();
    if (S.empty() || S == u"Error")
        SetDisplay(u"0");
}

double TLumCalculatorDropdown::GetValue()
{
    if (Display().empty())
        SetDisplay(u"0");
    try {
        return double(ReadDisplay());
    } catch (const EConvertError&) {
        return 0;
    }
}

void TLumCalculatorDropdown::SetValue(double Value) { SetDisplay(FloatToStr(Value)); }

void TLumCalculatorDropdown::SetShowThousandSeparator(bool Value)
{
    if (Value == FShowThousandSeparator)
        return;
    const double Current = GetValue();
    FShowThousandSeparator = Value;
    SetEditType(Value ? etMoney : etFloat);
    ShowNumber(Current);
}

// ---- arithmetic ----

void TLumCalculatorDropdown::Calculate()
{
    ZeroIfEmptyOrError();
    const long double X = ReadDisplay();  // a display that does not convert abandons the step
    try {
        switch (FPrevop) {
        case opAdd: FPrevval += X; break;
        case opMultiply: FPrevval *= X; break;
        case opSubtract: FPrevval -= X; break;
        case opDivide:
            if (X == 0) {
                FPrevval = 0;
                SetDisplay(u"Error");
                return;
            }
            FPrevval /= X;
            break;
        default: FPrevval = ReadDisplay(); break;
        }
    } catch (const Exception&) {
        FPrevval = 0;
    }
    ShowNumber(FPrevval);
    FNewval = true;
}

void TLumCalculatorDropdown::ApplyOperator(int Op)
{
    Calculate();
    FPrevop = Op;
}

void TLumCalculatorDropdown::CalcResult()
{
    Calculate();
    if (Display().empty())
        SetDisplay(u"0");
    FPrevop = opNone;
    if (Display() != u"Error")
        FPrevval = ReadDisplay();
}

void TLumCalculatorDropdown::Percent()
{
    ZeroIfEmptyOrError();
    SetDisplay(FloatToStr(double(FPrevval * ReadDisplay() / 100)));
}

// ---- the keypad ----

void TLumCalculatorDropdown::ButtonClick(TObject*, int Index)
{
    if (!FLumButtonPanel || Index < 0 || Index >= FLumButtonPanel->GetButtons()->GetCount())
        return;
    const int Tag = FLumButtonPanel->GetButtons()->GetItem(Index)->GetTag();
    BeforeCalcAction();
    if ((Tag >= 10 && Tag <= 14) || (Tag >= 16 && Tag <= 18))
        FDecim = 0;
    const bool Extends = (Tag >= 0 && Tag <= 9) || Tag == 14 || Tag == 15;
    if (Extends && GetMaxLength() > 0 && int(Display().size()) == GetMaxLength())
        return;

    const Char Dec = FormatSettings.DecimalSeparator;
    if (Tag >= 0 && Tag <= 9) {
        if ((GetFloatValue() == 0 && FDecim == 0) || FNewval) {
            SetDisplay(String(1, Char(u'0' + Tag)));
            FNewval = false;
        } else {
            const double V = GetFloatValue();
            const double D = Tag;
            double N;
            if (FDecim == 0) {
                N = V < 0 ? V * 10 - D : V * 10 + D;
            } else {
                N = V < 0 ? V - D / FDecim : V + D / FDecim;
                FDecim *= 10;
            }
            ShowNumber(N);
        }
    } else {
        switch (Tag) {
        case 10: ApplyOperator(opAdd); break;
        case 11: ApplyOperator(opSubtract); break;
        case 12: ApplyOperator(opMultiply); break;
        case 13: ApplyOperator(opDivide); break;
        case 14: {
            const String S = Display();
            SetDisplay(S.find(u'-') != String::npos ? S.substr(1) : u"-" + S);
            break;
        }
        case 15:
            if (Display().find(Dec) == String::npos)
                SetDisplay(Display() + Dec);
            FDecim = 10;
            if (FNewval)
                SetDisplay(u"0");
            FNewval = false;
            break;
        case 16: case 30: case 32:
            SetDisplay(u"0");
            FPrevval = 0;
            FPrevop = opNone;
            break;
        case 17: CalcResult(); break;
        case 18: Percent(); break;
        case 31:
            if (FPrevop == opNone) {
                String S = FloatToStr(GetFloatValue());
                S.pop_back();
                SetDisplay(S);
            }
            break;
        case 33: FMVal = 0; break;
        case 34: ShowNumber(FMVal); break;
        // The memory reads the display as the arithmetic does, so a grouped
        // display stores its number.
        case 35: FMVal = ReadDisplay(); break;
        case 36: FMVal += ReadDisplay(); break;
        case 37: {
            const double V = GetFloatValue();
            if (V < 0)
                SetDisplay(u"Error");
            else
                ShowNumber(std::sqrt(V));
            break;
        }
        case 38: {
            const double V = GetFloatValue();
            if (V == 0)
                SetDisplay(u"Error");
            else
                ShowNumber(1 / V);
            break;
        }
        default: break;
        }
    }
    SetModifiedFlag(true);
}

// ---- typed characters ----

void TLumCalculatorDropdown::PlaceCaretAfterFirst()
{
    const int At = int(GetPrefix().size()) + 1;
    SetSel(At, At);
}

void TLumCalculatorDropdown::KeyPress(Char& Key)
{
    const Char Dec = FormatSettings.DecimalSeparator;
    const Char Thousand = FormatSettings.ThousandSeparator;
    switch (Key) {
    case u'\r': case u'=': CalcResult(); Key = 0; return;
    case u'%': Percent(); Key = 0; return;
    case u'*': ApplyOperator(opMultiply); Key = 0; return;
    case u'+': ApplyOperator(opAdd); Key = 0; return;
    case u'/': ApplyOperator(opDivide); Key = 0; return;
    case u'-':
        if (GetSelStart() > int(GetPrefix().size())) {
            ApplyOperator(opSubtract);
            Key = 0;
            return;
        }
        break;
    case u'C': case u'c':
        SetDisplay(u"0");
        FNewval = true;
        FPrevop = opNone;
        Key = 0;
        return;
    default: break;
    }
    const bool Numeric = IsNumericChar(Key);
    if (!Numeric && Key != Dec && Key != Backspace && Key != u'-') {
        Key = 0;
        return;
    }
    const String S = Display();
    if ((S == u"0" || FNewval) && S != u"-" && Numeric) {
        SetDisplay(String(1, Key));
        Key = 0;
        PlaceCaretAfterFirst();
        FNewval = false;
        return;
    }
    if (S.size() == 1 && Key == Backspace) {
        SetDisplay(u"0");
        Key = 0;
        PlaceCaretAfterFirst();
        return;
    }
    if (Key == Thousand || (Key == Dec && S.find(Dec) != String::npos)) {
        Key = 0;
        return;
    }
    TLumCustomDropDown::KeyPress(Key);
}

void TLumCalculatorDropdown::Dispatch(TMessage& Message)
{
    // Return never reaches the key-press step of the edit's input rules, so
    // the calculator takes it here as the equals key.
    if (Message.Msg == WM_CHAR && Char(Message.WParam) == u'\r' && !GetReadOnly()) {
        CalcResult();
        SetModifiedFlag(true);
    }
    if (Message.Msg == WM_SETFOCUS && GetAutoSelect() && GetKeyState(VK_LBUTTON) >= 0)
        SelectAll();
    TLumCustomDropDown::Dispatch(Message);
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_DELETE)
        ZeroIfEmptyOrError();
}

// ---- the drop-down window ----

void TLumCalculatorDropdown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (FLumButtonPanel)
        return;
    FLumButtonPanel = new TCustomButtonPanel(this);
    FLumButtonPanel->SetParent(GetDropDownForm());
    FLumButtonPanel->SetLumDropDown(this);
    FLumButtonPanel->SetHeight(150);
    FLumButtonPanel->BuildButtons();
    SetControl(FLumButtonPanel);
    FLumButtonPanel->OnButtonClick = [this](TObject* Sender, int Index) { ButtonClick(Sender, Index); };
}

void TLumCalculatorDropdown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    if (GetDropDownForm())
        GetDropDownForm()->SetCancelOnDeActivate(false);
    if (FLumButtonPanel) {
        FLumButtonPanel->SetButtonAppearance(FCalcButtonAppearance.get());
        FLumButtonPanel->SetColor(GetDropDownColor());
        FLumButtonPanel->LayoutButtons();
    }
    SetSigned(false);
    FNewval = true;
    FDecim = 0;
}

void TLumCalculatorDropdown::DoHideDropDown(bool Cancel)
{
    TLumCustomDropDown::DoHideDropDown(Cancel);
    SetSigned(true);
}

// Characters and keys typed while the keypad has the focus go to the edit,
// whose typed-character rules compute once; the window only decides when to
// close.
void TLumCalculatorDropdown::FormKeyPress(Char& Key)
{
    BeforeCalcAction();
    const Char Typed = Key;
    TLumCustomDropDown::FormKeyPress(Key);
    if (Typed == u'\r')
        HideDropDown(false);
    else if (Typed == u'&' && GetKeyState(VK_MENU) < 0)
        HideDropDown(true);
}

void TLumCalculatorDropdown::FormKeyDown(WORD& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_RETURN:
        // Equals runs with the character; the window closes after it.
        return;
    case VK_TAB:
        HideDropDown(false);
        return;
    default:
        TLumCustomDropDown::FormKeyDown(Key, Shift);
        return;
    }
}

// ---- styles ----

void TLumCalculatorDropdown::SetComponentStyle(ROZEVizer AStyle)
{
    TLumCustomDropDown::SetComponentStyle(AStyle);
    if (AStyle == tsCustom)
        return;
    TButtonAppearance* A = FCalcButtonAppearance.get();
    struct TRow {
        TColor Border, BorderHotDown, Color, ColorDown, ColorHot, GlowHot, Font, Text, Special;
    };
    static const TRow Rows[] = {
        { 0xABABAB, 0xF2E1D5, 0xFFFFFF, 0xE3BDA3, 0xF2E1D5, 0xFFFFFF, 0x444648, 0x444648, 0xB0784A },
        { 0x808080, 0x969696, 0xD4D4D4, 0x666666, 0x969696, 0xB8BBBE, 0xFFFFFF, 0x232425, 0x1E1F20 },
        { 0x686868, 0xB5B5B5, 0x444444, 0x828282, 0x686868, 0x3B3B3B, 0xFFFFFF, 0xF1F1F1, 0xFFFFFF },
    };
    if (AStyle == tsOffice2019White || AStyle == tsOffice2019Gray || AStyle == tsOffice2019Black) {
        const TRow& R = Rows[AStyle - tsOffice2019White];
        A->SetBorderColor(R.Border);
        A->SetBorderColorHot(R.BorderHotDown);
        A->SetBorderColorDown(R.BorderHotDown);
        A->SetColor(R.Color);
        A->SetColorTo(R.Color);
        A->SetColorDown(R.ColorDown);
        A->SetColorDownTo(R.ColorDown);
        A->SetColorHot(R.ColorHot);
        A->SetColorHotTo(R.ColorHot);
        A->SetGlowColorHot(R.GlowHot);
        A->SetGlowColorDown(clNone);
        A->GetFont()->SetColor(R.Font);
        A->SetTextColor(R.Text);
        A->SetSpecialTextColor(R.Special);
        A->SetShineColor(clNone);
        return;
    }
    const TLumButtonAppearance* B = GetButtonAppearance();
    A->SetBorderColor(B->GetBorderColor());
    A->SetBorderColorHot(B->GetBorderColorHot());
    A->SetBorderColorDown(B->GetBorderColorDown());
    A->SetColor(B->GetColor());
    A->SetColorTo(B->GetColorTo());
    A->SetColorDown(B->GetColorDown());
    A->SetColorDownTo(B->GetColorDownTo());
    A->SetColorHot(B->GetColorHot());
    A->SetColorHotTo(B->GetColorHotTo());
    A->GetFont()->SetColor(clWindowText);
    A->SetTextColor(TColor(0));
    A->SetSpecialTextColor(TColor(0x000080));
    A->SetShineColor(TColor(0xFFFFFF));
    if (AStyle == tsOffice2010Blue || AStyle == tsOffice2010Silver || AStyle == tsOffice2010Black) {
        A->SetGlowColorHot(B->GetColorHot());
        A->SetGlowColorDown(B->GetColorHot());
    } else {
        A->SetGlowColorDown(TColor(0xD5C244));
        A->SetGlowColorHot(B->GetColorDownTo());
    }
}
