#include "dropdown/LumDropDownInput.h"

#include <algorithm>
#include <cmath>

#include "dropdown/LumDropDownRoutines.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/WinUser.h"

namespace LumDropDown {

namespace {

constexpr Char Backspace = 8, Tab = 9, LineFeed = 10, Return = 13, Escape = 27;

bool IsDigit(Char Ch) { return Ch >= u'0' && Ch <= u'9'; }
bool IsHexLetter(Char Ch) { return (Ch >= u'A' && Ch <= u'F') || (Ch >= u'a' && Ch <= u'f'); }
bool IsAsciiLetter(Char Ch) { return (Ch >= u'A' && Ch <= u'Z') || (Ch >= u'a' && Ch <= u'z'); }
bool Contains(const String& S, Char Ch) { return S.find(Ch) != String::npos; }

// The 1-based Delete of the text routines: a start outside the text removes nothing.
String DeleteAt(String S, int Index, int Count)
{
    if (Index < 1 || Index > int(S.size()) || Count <= 0)
        return S;
    S.erase(std::size_t(Index - 1), std::size_t(std::min(Count, int(S.size()) - Index + 1)));
    return S;
}

// The 1-based Copy of the text routines: a start below 1 counts from 1.
String CopyAt(const String& S, int Index, int Count)
{
    Index = std::max(Index, 1);
    if (Index > int(S.size()) || Count <= 0)
        return String();
    return S.substr(std::size_t(Index - 1), std::size_t(Count));
}

// A float reduced to a whole number without undefined behaviour.
Int64 TruncToInt64(double V)
{
    if (!std::isfinite(V))
        return 0;
    if (V >= 9.2e18)
        return INT64_MAX;
    if (V <= -9.2e18)
        return INT64_MIN;
    return Int64(std::trunc(V));
}

String HexText(Int64 V) { return HexOfBits(UInt64(V), 1); }

String FormatOf(short Precision, Char Letter)
{
    if (Precision < 0)
        return u"%g";
    return u"%." + IntToStr(Precision) + String(1, Letter);
}

// A plain decimal number: an optional sign, digits, an optional "." and digits.
bool ReadPlainDecimal(const String& S, double& Value)
{
    std::size_t i = 0;
    if (i < S.size() && (S[i] == u'-' || S[i] == u'+'))
        ++i;
    bool Digits = false, Point = false;
    for (; i < S.size(); ++i) {
        if (IsDigit(S[i]))
            Digits = true;
        else if (S[i] == u'.' && !Point)
            Point = true;
        else
            return false;
    }
    if (!Digits)
        return false;
    TFormatSettings Invariant = ProcessFormatSettings();
    Invariant.DecimalSeparator = u'.';
    Invariant.ThousandSeparator = 0;
    return TryStrToFloat(S, Value, Invariant);
}

} // namespace

// ---- number values ----

int ClassifyNumber(const String& S)
{
    if (S.empty())
        return 2;
    const Char Dec = DecimalSeparatorChar(), Th = ThousandSeparatorChar();
    bool Integer = true, Float = true, Hex = true;
    int PreviousGroup = -1, Minus = 0, Decimals = 0;
    for (int i = 1; i <= int(S.size()); ++i) {
        const Char Ch = S[std::size_t(i - 1)];
        if (Ch != u'-' && !IsDigit(Ch))
            Integer = false;
        if (Ch != u',' && Ch != u'-' && Ch != u'.' && !IsDigit(Ch))
            Float = false;
        if (Ch != u'-' && !IsDigit(Ch) && !IsHexLetter(Ch))
            Hex = false;
        if (Ch == Th) {
            if (i - PreviousGroup < 3)
                Float = false;
            PreviousGroup = i;
        }
        Decimals += Ch == Dec;
        Minus += Ch == u'-';
    }
    int Kind = 2;
    if (Hex && !Integer)
        Kind = 5;
    else if (Integer)
        Kind = 0;
    else if (Float)
        Kind = 1;
    if (Minus > 1 || Decimals > 1)
        Kind = 2;
    return Kind;
}

int DecimalPosition(const TInputSettings& Settings, const String& S)
{
    String T = S;
    std::erase(T, ThousandSeparatorChar());
    const std::size_t At = T.find(DecimalSeparatorChar());
    int Pos = At == String::npos ? int(T.size()) + 1 : int(At) + 1;
    const bool NumberKind
        = Settings.EditType == etNumeric || Settings.EditType == etFloat || Settings.EditType == etMoney;
    if (Settings.Signed && NumberKind && Contains(S, u'-'))
        --Pos;
    return Pos;
}

bool PrecisionReached(const TInputSettings& Settings, const String& Value, int Caret)
{
    const int k = Caret - int(Settings.Prefix.size());
    if (Settings.Precision <= 0 || int(Value.size()) - k > Settings.Precision)
        return false;
    const std::size_t Sep = Value.find(DecimalSeparatorChar());
    if (Sep == String::npos)
        return false;
    return k >= int(Sep) + 1 && int(Value.size()) - int(Sep) - 1 >= Settings.Precision;
}

bool SeparatorTooClose(const TInputSettings& Settings, const String& Value, int Caret)
{
    const Char Th = ThousandSeparatorChar();
    String T = Value;
    if (!Contains(T, Th))
        return false;
    int b = Caret - int(Settings.Prefix.size());
    int m = int(T.size());
    for (std::size_t At = T.find(Th); At != String::npos; At = T.find(Th)) {
        const int i = int(At) + 1;
        const int Distance = std::abs(i - b);
        m = std::min(m, Distance);
        if (Distance < 3)
            return true;
        if (b > i)
            b -= i;
        T.erase(0, std::size_t(i));
    }
    return m > 3;
}

bool IsSignKey(const TInputSettings& Settings, Char Ch)
{
    const bool NumberKind
        = Settings.EditType == etNumeric || Settings.EditType == etFloat || Settings.EditType == etMoney;
    return Settings.Signed && NumberKind && Ch == u'-';
}

double StringToFloat(const String& S)
{
    double Value = 0;
    if (!TryStrToFloat(RemoveThousandSeparators(S), Value) || !std::isfinite(Value))
        return 0;
    return Value;
}

String FormatValueText(const TInputSettings& Settings, const String& Value)
{
    String V = Value;
    const TDropDownEditType Kind = Settings.EditType;
    if (V.empty() && (Kind == etNumeric || Kind == etFloat || Kind == etMoney || Kind == etHex))
        V = u"0";
    if (Settings.Precision > 0 && !V.empty() && V != u"Error") {
        if (Kind == etMoney)
            V = Format(FormatOf(Settings.Precision, u'n'), { StringToFloat(V) });
        else if (Kind == etFloat)
            V = Format(FormatOf(Settings.Precision, u'f'), { StringToFloat(V) });
    }
    if (Kind == etHex)
        V = AnsiUpperCase(V);
    return V;
}

double ValueToFloat(const TInputSettings& Settings, const String& Value)
{
    switch (Settings.EditType) {
    case etString: {
        double V = 0;
        return ReadPlainDecimal(Value, V) ? V : 0;
    }
    case etNumeric:
    case etFloat:
    case etValidChars:
        if (Value.empty() || Value == u"Error" || Value == u"-")
            return 0;
        return StringToFloat(Value);
    case etMoney: {
        String V = RemoveThousandSeparators(Value);
        if (!V.empty() && V.back() == DecimalSeparatorChar())
            V.pop_back();
        if (V.empty() || V == u"-")
            return 0;
        return StringToFloat(V);
    }
    case etHex: {
        double V = 0;
        for (Char Ch : Value)
            V = V * 16 + HexDigitValue(Ch);
        return V;
    }
    default:
        return 0;
    }
}

String ValueOfWindowText(const TInputSettings& Settings, const String& Text)
{
    String S = Text;
    if (!Settings.Prefix.empty() && S.starts_with(Settings.Prefix))
        S.erase(0, Settings.Prefix.size());
    // Only a suffix that is there is removed: typing over a selection or a
    // paste may leave the text without it, and its last characters are value.
    if (!Settings.Suffix.empty() && S.ends_with(Settings.Suffix))
        S.erase(S.size() - Settings.Suffix.size());
    return S;
}

// ---- selection ----

void TDropDownInput::SelectAll()
{
    if (S.Prefix.empty() && S.Suffix.empty())
        H.SetSel(0, int(H.WindowText().size()));
    else
        H.SetSel(P(), E());
}

void TDropDownInput::SelectBeforeDecimal()
{
    const std::size_t At = Value().find(DecimalSeparatorChar());
    const int Pos = At == String::npos ? P() : P() + int(At);
    H.SetSel(Pos, Pos);
}

void TDropDownInput::SelectAfterDecimal()
{
    const std::size_t At = Value().find(DecimalSeparatorChar());
    const int Pos = At == String::npos ? P() : P() + int(At) + 1;
    H.SetSel(Pos, Pos);
}

int TDropDownInput::IntegerPartEnd()
{
    const String V = Value();
    const std::size_t At = V.find(DecimalSeparatorChar());
    if (At != String::npos)
        return P() + int(At) + 1;
    return P() + int(V.size()) + int(S.Suffix.size()) + 1;
}

// ---- values ----

void TDropDownInput::RewriteValue(const String& V) { H.SetWindowText(S.Prefix + V + S.Suffix); }

void TDropDownInput::MarkIfWindowModified()
{
    if (H.WindowModified())
        MarkModified();
}

void TDropDownInput::SetFloatValue(double V)
{
    switch (S.EditType) {
    case etString:
    case etFloat:
    case etValidChars:
        H.SetText(Format(FormatOf(S.Precision, u'f'), { V }));
        break;
    case etNumeric:
        H.SetText(Format(FormatOf(S.Precision, u'n'), { V }));
        break;
    case etMoney:
        H.SetText(Format(FormatOf(S.Precision, u'f'), { V }));
        ReformatMoney();
        break;
    case etHex:
        H.SetText(HexText(TruncToInt64(V)));
        break;
    default:
        break;
    }
    MarkModified();
}

void TDropDownInput::SetIntValue(Int64 I)
{
    switch (S.EditType) {
    case etNumeric:
    case etFloat:
        H.SetText(IntToStr(I));
        break;
    case etMoney:
        H.SetText(IntToStr(I));
        ReformatMoney();
        break;
    case etHex:
        H.SetText(HexText(I));
        break;
    default:
        break;
    }
    MarkModified();
}

void TDropDownInput::ReformatMoney()
{
    const String V = Value();
    if (V.empty())
        return;
    const Char Dec = DecimalSeparatorChar();
    String Rest = V, Sign;
    if (Rest.front() == u'-') {
        Sign = u"-";
        Rest.erase(0, 1);
    }
    const std::size_t At = Rest.find(Dec);
    const String Fraction = At == String::npos ? String() : Rest.substr(At, 255);
    const double Whole = std::trunc(std::fabs(ValueToFloat(S, V)));
    String Integer = Format(S.AutoThousandSeparator ? u"%n" : u"%f", { std::isfinite(Whole) ? Whole : 0.0 });
    if (const std::size_t Cut = Integer.find(Dec); Cut != String::npos)
        Integer.erase(Cut);
    const String NewValue = Sign + Integer + Fraction;
    const int Caret = H.SelStart();
    if (NewValue != V) {
        // The rewrite announces itself once more than the keystroke did.
        H.SetBlockChange(true);
        RewriteValue(NewValue);
    }
    const int Moved = std::clamp(Caret + int(NewValue.size()) - int(V.size()), P(), P() + int(NewValue.size()));
    H.SetSel(Moved, Moved);
}

// ---- keys ----

void TDropDownInput::ToggleDropDown()
{
    if (H.DroppedDown())
        H.HideDropDown(false);
    else
        H.ShowDropDown();
}

void TDropDownInput::KeyDownMessage(WORD& Key, TShiftState Shift, LPARAM KeyData)
{
    const bool Ctrl = H.KeyHeld(VK_CONTROL);
    if (H.KeyHeld(VK_MENU) && (Key == VK_UP || Key == VK_DOWN))
        ToggleDropDown();

    if (!Typeable() && S.Enabled) {
        if (!S.ReadOnly) {
            if (Key == VK_RETURN) {
                if (S.ReturnIsTab && S.Visible)
                    H.PostKeyToSelf(VK_TAB);
                else
                    H.HideDropDown(false);
            } else if (Key == VK_ESCAPE) {
                H.HideDropDown(true);
            } else if (Key == VK_F4) {
                ToggleDropDown();
            }
        }
        switch (Key) {
        case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME:
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
            H.DefaultKeyDown(Key);
            break;
        default:
            Key = 0;
            break;
        }
        return;
    }

    if (Ctrl && Key == u'A' && KeyData == 0x00100001)
        SelectAll();
    if (Ctrl && (Key == VK_TAB || Key == VK_RETURN)) {
        H.DefaultKeyDown(Key);
        return;
    }
    if (Key == VK_RETURN && S.ReturnIsTab) {
        Key = VK_TAB;
        if (S.Visible)
            H.PostKeyToSelf(VK_TAB);
    }
    const int SelStart = H.SelStart(), SelEnd = SelStart + H.SelLength();
    if (Key == VK_RIGHT && !S.Suffix.empty() && SelEnd >= E()) {
        Key = 0;
        return;
    }
    if (Key == VK_DELETE && !S.Suffix.empty()) {
        if (SelEnd >= E() && H.SelLength() == 0) {
            Key = 0;
            return;
        }
        MarkModified();
    }
    if (Key == VK_LEFT && !S.Prefix.empty() && SelEnd <= P()) {
        Key = 0;
        return;
    }
    if (Key == VK_END && !S.Suffix.empty()) {
        if (Shift.Contains(ssShift))
            H.SetSel(SelStart, E());
        else
            H.SetSel(E(), E());
        Key = 0;
        return;
    }
    if (Key == VK_HOME && !S.Prefix.empty()) {
        if (Shift.Contains(ssShift))
            H.SetSel(E(), P());
        else
            H.SetSel(P(), P());
        Key = 0;
        return;
    }
    if (Key == VK_BACK && !S.Prefix.empty()) {
        if (SelStart <= P() + 1) {
            Key = 0;
            return;
        }
        MarkModified();
    }
    if (Key == VK_DELETE && SelStart >= P()) {
        const String V = Value();
        const int From = SelStart - P() + 1;
        const String Predicted = DeleteAt(V, From, H.SelLength() > 0 ? H.SelLength() : 1);
        if (S.LengthLimit > 0 && DecimalPosition(S, Predicted) - 1 > S.LengthLimit) {
            Key = 0;
            return;
        }
        MarkModified();
    }

    H.DefaultKeyDown(Key);

    if (Key == VK_DELETE && S.EditType == etMoney)
        ReformatMoney();
    if (!S.Prefix.empty() && H.SelStart() < P())
        H.SetSel(P(), P());
    if (Key == VK_RETURN)
        H.HideDropDown(false);
    else if (Key == VK_ESCAPE)
        H.HideDropDown(true);
    else if (Key == VK_F4)
        ToggleDropDown();
}

void TDropDownInput::KeyDownEvent(WORD Key, TShiftState Shift)
{
    if (Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN))
        ToggleDropDown();
}

// ---- characters ----

void TDropDownInput::ToggleSign()
{
    const String V = Value();
    const int Caret = H.SelStart();
    if (!V.empty() && V.front() == u'-') {
        RewriteValue(V.substr(1));
        const int To = std::max(P(), Caret - 1);
        H.SetSel(To, To);
    } else {
        RewriteValue(u"-" + V);
        H.SetSel(Caret + 1, Caret + 1);
    }
}

LRESULT TDropDownInput::CharMessage(Char& Ch, LPARAM KeyData)
{
    if (!Typeable()) {
        Ch = 0;
        return 0;
    }
    const Char Dec = DecimalSeparatorChar();
    const bool Ctrl = H.KeyHeld(VK_CONTROL);
    const String Before = H.WindowText();
    {
        const String V = Value();
        if (!Ctrl && H.SelLength() == int(V.size()) && !V.empty())
            H.SetBlockChange(true);
    }
    // A character that changed nothing leaves no notification to swallow:
    // the flag must not cost a later change its announcement.
    struct Unblock {
        IDropDownInputHost& Host;
        const String& Before;
        ~Unblock()
        {
            if (Host.GetBlockChange() && Host.WindowText() == Before)
                Host.SetBlockChange(false);
        }
    } Guard { H, Before };

    if (Ctrl && Ch == Return) {
        Ch = 0;
        return 1;
    }
    if (Ch == Return) {
        Char Key = Return;
        H.KeyPressEvent(Key);
        Ch = 0;
        if (!S.DefaultHandling && S.HasParent) {
            H.PostKeyToParent(WM_KEYDOWN, VK_RETURN);
            if (S.FormPreviewsKeys) {
                Char Again = Return;
                H.DefaultChar(Again);
            } else {
                H.PostKeyToParent(WM_KEYUP, VK_RETURN);
            }
        }
        return 0;
    }
    if (Ch == Escape && !S.DefaultHandling && S.HasParent) {
        if (S.FormPreviewsKeys) {
            H.DefaultChar(Ch);
            return 0;
        }
        H.PostKeyToParent(WM_KEYDOWN, VK_ESCAPE);
        H.PostKeyToParent(WM_KEYUP, VK_ESCAPE);
    }
    if (Ch == Escape && !S.CanUndo) {
        H.DefaultChar(Ch);
        return 0;
    }
    if (Ctrl && (Ch == 3 || Ch == 22 || Ch == 24)) {
        H.DefaultChar(Ch);
        return 0;
    }
    if (S.ExcelStyleDecimalSeparator && (Ch == u'.' || Ch == u',') && (KeyData & 0x00400000))
        Ch = Dec;
    if (Ch == Backspace && !S.Prefix.empty() && H.SelStart() <= P() && H.SelLength() == 0) {
        Ch = 0;
        return 0;
    }
    if (S.LengthLimit > 0 && DecimalPosition(S, Value()) > S.LengthLimit && H.SelLength() == 0
        && H.SelStart() < IntegerPartEnd() && Ch != Backspace && Ch != Dec && !IsSignKey(S, Ch)) {
        Ch = 0;
        return 0;
    }
    if (Ch == Backspace) {
        const String V = Value();
        const int From = H.SelStart() - P();
        const String Predicted = DeleteAt(V, From, H.SelLength() > 0 ? H.SelLength() : 1);
        H.DefaultChar(Ch);
        MarkIfWindowModified();
        if (Value().empty() && !Predicted.empty())
            H.Change();
        return 0;
    }
    if (Ch == LineFeed) {
        Ch = 0;
        return 0;
    }
    if (Ch == u'-' && NumberKind() && !S.Signed) {
        Ch = 0;
        return 0;
    }
    KindFilter(Ch);
    MarkIfWindowModified();
    return 0;
}

void TDropDownInput::KindFilter(Char& Ch)
{
    switch (S.EditType) {
    case etString:
    case etPassword:
        MarkModified();
        H.DefaultChar(Ch);
        return;
    case etNumeric:
        if (Ch == u'-') {
            if (H.SelLength() == int(Value().size())) {
                RewriteValue(u"-");
                H.SetSel(P() + 1, P() + 1);
            } else {
                ToggleSign();
            }
            MarkModified();
            Ch = 0;
            return;
        }
        if (Ch == Tab || IsDigit(Ch) || H.KeyHeld(VK_CONTROL))
            H.DefaultChar(Ch);
        else
            Ch = 0;
        return;
    case etFloat:
        FloatFilter(Ch);
        return;
    case etMoney:
        MoneyFilter(Ch);
        return;
    case etUppercase:
        Ch = AnsiUpperCase(String(1, Ch))[0];
        H.DefaultChar(Ch);
        return;
    case etLowerCase:
        Ch = AnsiLowerCase(String(1, Ch))[0];
        H.DefaultChar(Ch);
        return;
    case etMixedCase: {
        const int Caret = H.SelStart();
        H.DefaultChar(Ch);
        if (Ch != 0) {
            RewriteValue(VuzEraz::CapitalizeNames(Value()));
            H.SetSel(Caret + 1, Caret + 1);
        }
        return;
    }
    case etRange: {
        const bool Separator = IsRangeSeparator(Ch);
        if (!(Ch == Backspace || Ch == Tab || Ch == Return || Separator || IsDigit(Ch))) {
            Ch = 0;
            return;
        }
        if (Separator) {
            const String T = H.WindowText();
            const int Caret = H.SelStart();
            const bool Before = Caret > 0 && Caret - 1 < int(T.size()) && IsRangeSeparator(T[std::size_t(Caret - 1)]);
            const bool After = Caret < int(T.size()) && IsRangeSeparator(T[std::size_t(Caret)]);
            if (Caret <= P() || Before || After) {
                Ch = 0;
                return;
            }
        }
        MarkModified();
        H.DefaultChar(Ch);
        return;
    }
    case etHex:
        if (Ch == Backspace || Ch == Tab || Ch == Return || Ch == u'-' || IsDigit(Ch) || IsHexLetter(Ch)) {
            MarkModified();
            H.DefaultChar(Ch);
        } else {
            Ch = 0;
        }
        return;
    case etAlphaNumeric:
        if (Ch == Backspace || Ch == Tab || Ch == Return || IsDigit(Ch) || IsAsciiLetter(Ch)) {
            MarkModified();
            H.DefaultChar(Ch);
        } else {
            Ch = 0;
        }
        return;
    case etValidChars:
        if (Contains(S.ValidChars, Ch) || Ch == Backspace) {
            MarkModified();
            H.DefaultChar(Ch);
        } else {
            Ch = 0;
        }
        return;
    }
}

bool TDropDownInput::SeparatorAndPrecisionRules(Char& Ch)
{
    const Char Dec = DecimalSeparatorChar(), Th = ThousandSeparatorChar();
    const String V = Value();
    const int Caret = H.SelStart();
    if ((Ch == Th || Ch == Dec) && SeparatorTooClose(S, V, Caret)) {
        Ch = 0;
        return true;
    }
    if (PrecisionReached(S, V, Caret) && (IsDigit(Ch) || Ch == Dec) && H.SelLength() == 0) {
        const std::size_t Sep = V.find(Dec);
        const bool AfterSeparator = Sep != String::npos && Caret - P() > int(Sep);
        if (IsDigit(Ch) && AfterSeparator && Caret < E()) {
            H.SetSel(Caret, Caret + 1);  // the digit overwrites the next one
        } else {
            Ch = 0;
            return true;
        }
    }
    if (Ch == Dec && V.empty() && Caret == P()) {
        RewriteValue(u"0" + String(1, Dec));
        H.SetSel(P() + 2, P() + 2);
        MarkModified();
        Ch = 0;
        return true;
    }
    if (Ch == u'-' && H.SelLength() == 0) {
        ToggleSign();
        Ch = 0;
        return true;
    }
    return false;
}

void TDropDownInput::FloatFilter(Char& Ch)
{
    const Char Dec = DecimalSeparatorChar(), Th = ThousandSeparatorChar();
    if ((Ch == u',' || Ch == u'.') && Ch != Dec && Ch != Th) {
        Ch = 0;
        return;
    }
    if (!(Ch == Tab || Ch == u',' || Ch == u'-' || Ch == u'.' || IsDigit(Ch))) {
        Ch = 0;
        return;
    }
    if (Ch == Dec) {
        const String Selected = H.WindowText().substr(
            std::size_t(std::min<int>(H.SelStart(), int(H.WindowText().size()))), std::size_t(H.SelLength()));
        const String V = Value();
        if (!Contains(Selected, Dec) && (Contains(V, Dec) || S.Precision == 0)) {
            if (S.Precision > 0)
                SelectAfterDecimal();
            Ch = 0;
            return;
        }
    }
    if (SeparatorAndPrecisionRules(Ch))
        return;
    H.DefaultChar(Ch);
}

void TDropDownInput::MoneyFilter(Char& Ch)
{
    const Char Dec = DecimalSeparatorChar();
    if (Ch == Dec) {
        const String V = Value();
        if (Contains(V, Dec) || S.Precision == 0) {
            if (S.Precision > 0) {
                if (H.SelLength() == int(V.size()) && !V.empty())
                    H.SetText(u"0" + String(1, Dec) + u"0");
                SelectAfterDecimal();
            }
            Ch = 0;
            return;
        }
    }
    if (!(Ch == Tab || Ch == u'-' || IsDigit(Ch) || Ch == Dec)) {
        Ch = 0;
        return;
    }
    if (SeparatorAndPrecisionRules(Ch))
        return;
    const Char Typed = Ch;
    H.DefaultChar(Ch);
    const String V = Value();
    if (Ch != 0 && !V.empty() && V != u"-" && Typed != Dec) {
        MarkIfWindowModified();
        ReformatMoney();
    }
}

// ---- the framework's special keys ----

LRESULT TDropDownInput::WantSpecialKey(WORD Key, const std::function<LRESULT(WORD)>& Inherited, bool& Answered)
{
    Answered = S.HasParentForm;
    if (!Answered)
        return 0;
    const WORD Original = Key;
    if (Key == VK_ESCAPE && S.CanUndo && !S.FormPreviewsKeys) {
        SelectAll();
        H.SetModifiedFlag(false);
        Key = 0;
        if (S.HasParent && S.DefaultHandling) {
            H.PostKeyToParent(WM_KEYDOWN, VK_ESCAPE);
            H.PostKeyToParent(WM_KEYUP, VK_ESCAPE);
        }
    }
    if (Key == VK_RETURN && S.DefaultHandling && !S.FormPreviewsKeys && H.ParentHasFocus()) {
        H.PostKeyToParent(WM_KEYDOWN, VK_RETURN);
        H.PostKeyToParent(WM_KEYUP, VK_RETURN);
    }
    LRESULT Result = Inherited(Key);
    // An open drop-down takes Escape for itself, so the form's cancel
    // button does not react to it.
    if (Original == VK_ESCAPE && H.DroppedDown())
        Result = 1;
    return Result;
}

// ---- focus and mouse ----

void TDropDownInput::SetFocusRules()
{
    if (!Typeable())
        return;
    if (S.AutoSelect)
        SelectAll();
    else if (S.EditType == etFloat || S.EditType == etMoney)
        SelectBeforeDecimal();
}

void TDropDownInput::KillFocusRules()
{
    const String V = Value();
    const bool FloatKind = S.EditType == etFloat || S.EditType == etMoney;
    if (S.Precision > 0 && FloatKind && (!V.empty() || !S.AllowNumericNullValue)) {
        const bool Was = H.IsModified();
        SetFloatValue(GetFloatValue());
        H.SetModifiedFlag(Was);
    } else if (S.EditType == etNumeric && V.empty() && !S.AllowNumericNullValue) {
        H.SetText(IntToStr(TruncToInt64(H.NumericDefaultValue())));
    } else if (FloatKind && V.empty() && !S.AllowNumericNullValue) {
        SetFloatValue(0);
    }
}

bool TDropDownInput::PressInsideSelection(int CharIndex, bool Focused)
{
    if (!Typeable() || !Focused || H.SelLength() == 0)
        return false;
    return CharIndex >= H.SelStart() && CharIndex <= H.SelStart() + H.SelLength();
}

void TDropDownInput::ReleaseFences()
{
    if (!S.Prefix.empty() && H.SelStart() < P()) {
        SelectAll();
        return;
    }
    if (!S.Suffix.empty()) {
        const int End = E(), Start = H.SelStart();
        if (Start > End)
            H.SetSel(End, End);
        else if (Start + H.SelLength() > End)
            H.SetSel(Start, End);
    }
}

// ---- clipboard ----

bool TDropDownInput::AllowCut(const std::function<bool(const String&)>& Event)
{
    if (!Typeable() || S.ReadOnly)
        return false;
    return !Event || Event(CopyAt(Value(), H.SelStart() - P() + 1, H.SelLength()));
}

bool TDropDownInput::AllowCopy(const std::function<bool(const String&)>& Event)
{
    return !Event || Event(CopyAt(Value(), H.SelStart() - P() + 1, H.SelLength()));
}

void TDropDownInput::Paste(const String& Clip, const std::function<bool(const String&)>& Event)
{
    if (S.ReadOnly || Clip.empty())
        return;
    const String V = Value();
    const int SelLength = H.SelLength();
    const int Start = std::clamp(H.SelStart() - P(), 0, int(V.size()));
    const int Length = std::clamp(SelLength, 0, int(V.size()) - Start);
    const String Predicted = V.substr(0, std::size_t(Start)) + Clip + V.substr(std::size_t(Start + Length));
    const int AnchorAfter = SelLength > 0 ? P() + Start : P() + Start + int(Clip.size());
    const int CaretAfter = P() + Start + int(Clip.size());

    bool Allowed = !Event || Event(Predicted);
    if (Allowed && S.MaxLength > 0 && int(Clip.size()) + int(V.size()) - SelLength > S.MaxLength)
        Allowed = false;
    bool Pasted = false;
    if (Allowed) {
        const Char Dec = DecimalSeparatorChar();
        const int Kind = ClassifyNumber(Clip);
        auto AllChars = [&](auto Allowed) { return std::all_of(Clip.begin(), Clip.end(), Allowed); };
        switch (S.EditType) {
        case etString:
        case etPassword:
            H.SetText(Predicted);
            Pasted = true;
            break;
        case etNumeric:
            if (Kind == 0 && (S.Signed || !Contains(Clip, u'-'))) {
                H.SetText(Predicted);
                MarkModified();
                Pasted = true;
            }
            break;
        case etFloat:
        case etMoney:
            if ((Kind == 0 || Kind == 1) && !(S.Precision == 0 && Contains(Clip, Dec))
                && (S.Signed || !Contains(Clip, u'-'))) {
                H.SetText(Predicted);
                SetFloatValue(GetFloatValue());
                MarkModified();
                Pasted = true;
            }
            break;
        case etUppercase:
            H.SetText(AnsiUpperCase(Predicted));
            Pasted = true;
            break;
        case etLowerCase:
            H.SetText(AnsiLowerCase(Predicted));
            Pasted = true;
            break;
        case etMixedCase:
            H.SetText(VuzEraz::CapitalizeNames(Predicted));
            Pasted = true;
            break;
        case etAlphaNumeric:
            if (AllChars([](Char Ch) { return IsDigit(Ch) || IsAsciiLetter(Ch); })) {
                H.SetText(Predicted);
                MarkModified();
                Pasted = true;
            }
            break;
        case etValidChars:
            if (AllChars([&](Char Ch) { return Contains(S.ValidChars, Ch); })) {
                H.SetText(Predicted);
                MarkModified();
                Pasted = true;
            }
            break;
        case etRange:
        case etHex:
            break;
        }
    }
    if (S.EditType == etMoney && Value().size() > 3)
        SelectAll();
    else
        H.SetSel(AnchorAfter, CaretAfter);
    const bool TextKind = S.EditType == etString || S.EditType == etPassword || S.EditType == etUppercase
        || S.EditType == etLowerCase || S.EditType == etMixedCase;
    if (Pasted && TextKind)
        MarkModified();
}

} // namespace LumDropDown
