#pragma once
// The typed field of a drop-down edit: which keys and characters each edit
// kind takes, the fences that keep the caret inside the value between the
// prefix and the suffix, signs, decimal separators, money grouping, the
// clipboard and focus rules, and the number values of the numeric kinds.
//
// The rules work on an edit through IDropDownInputHost, so they can be run
// over a plain text model in tests; the drop-down edit is their host.

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"
#include <functional>

#include "platform/vcl/Controls.h"

enum TDropDownEditType {
    etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase, etPassword, etMoney, etRange, etHex,
    etAlphaNumeric, etValidChars
};
QT_ENUM(TDropDownEditType, etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase, etPassword, etMoney,
    etRange, etHex, etAlphaNumeric, etValidChars)

namespace LumDropDown {

// The settings of the edit the rules read. Positions are 0-based in the
// window text, which is Prefix + value + Suffix.
struct TInputSettings {
    TDropDownEditType EditType { etString };
    String Prefix;
    String Suffix;
    String ValidChars;
    short Precision { 0 };
    short LengthLimit { 0 };
    bool Signed { false };
    bool AutoThousandSeparator { true };
    bool ExcelStyleDecimalSeparator { false };
    bool AllowNumericNullValue { false };
    bool DefaultHandling { true };
    bool CanUndo { true };
    bool ReturnIsTab { false };
    bool EditorEnabled { true };
    bool Enabled { true };
    bool ReadOnly { false };
    bool Visible { true };
    bool AutoSelect { true };
    int MaxLength { 0 };
    // The edit sits in a parent window, on a form, and whether that form
    // previews keys.
    bool HasParent { true };
    bool HasParentForm { true };
    bool FormPreviewsKeys { false };
};

// What the rules ask of the edit around them.
class IDropDownInputHost {
public:
    virtual ~IDropDownInputHost() = default;
    virtual String WindowText() = 0;
    // A rewrite by the rules: the change is announced, the modified flag kept.
    virtual void SetWindowText(const String& Text) = 0;
    virtual int SelStart() = 0;
    virtual int SelLength() = 0;
    virtual void SetSel(int Anchor, int Caret) = 0;
    // The edit window's own modified flag.
    virtual bool WindowModified() = 0;
    virtual bool IsModified() = 0;
    virtual void SetModifiedFlag(bool Value) = 0;
    // The formatting text setter of the drop-down.
    virtual void SetText(const String& Value) = 0;
    // The edit's own handling of a key or character (may change or clear it).
    virtual void DefaultKeyDown(WORD& Key) = 0;
    virtual void DefaultChar(Char& Ch) = 0;
    // The physical key state.
    virtual bool KeyHeld(int VirtualKey) = 0;
    virtual bool DroppedDown() = 0;
    virtual void ShowDropDown() = 0;
    virtual void HideDropDown(bool Cancel) = 0;
    // A posted key-down of Key to the edit itself.
    virtual void PostKeyToSelf(WORD Key) = 0;
    // A posted key message (WM_KEYDOWN or WM_KEYUP) to the parent window.
    virtual void PostKeyToParent(UINT Msg, WORD Key) = 0;
    virtual bool ParentHasFocus() = 0;
    virtual void KeyPressEvent(Char& Key) = 0;
    // The change event, once.
    virtual void Change() = 0;
    // The next change notification of the edit window is swallowed.
    virtual bool GetBlockChange() = 0;
    virtual void SetBlockChange(bool Value) = 0;
    virtual double NumericDefaultValue() = 0;
};

// ---- number values (pure) ----

// 0 integer, 1 float, 5 hexadecimal, 2 anything else.
int ClassifyNumber(const String& S);
// The 1-based place of the decimal separator once thousand separators are
// gone, Length + 1 without one; one less for a signed number kind holding "-".
int DecimalPosition(const TInputSettings& Settings, const String& S);
bool PrecisionReached(const TInputSettings& Settings, const String& Value, int Caret);
// A separator may be typed only exactly three characters from the nearest
// group separator.
bool SeparatorTooClose(const TInputSettings& Settings, const String& Value, int Caret);
bool IsSignKey(const TInputSettings& Settings, Char Ch);
// A value as the text setter shows it (zero for an empty number, fixed
// decimals, upper-case hexadecimal), without prefix and suffix.
String FormatValueText(const TInputSettings& Settings, const String& Value);
// The value as a number; 0 when it does not convert.
double ValueToFloat(const TInputSettings& Settings, const String& Value);
// The locale's number with its thousand separators; 0 when it does not convert.
double StringToFloat(const String& S);
// The value text of a window text: without the prefix and suffix, each
// removed only when the text carries it.
String ValueOfWindowText(const TInputSettings& Settings, const String& Text);

// The rules for one edit; cheap to make for each message.
class TDropDownInput {
public:
    TDropDownInput(const TInputSettings& Settings, IDropDownInputHost& Host) : S(Settings), H(Host) { }

    // ---- messages ----
    void KeyDownMessage(WORD& Key, TShiftState Shift, LPARAM KeyData);
    // After the edit's own key-down handling of a dynamic key call.
    void KeyDownEvent(WORD Key, TShiftState Shift);
    // Returns the message result.
    LRESULT CharMessage(Char& Ch, LPARAM KeyData);
    // The framework's question whether the edit wants Tab, Return or Escape;
    // Inherited gives the framework's own answer. Answered is false when
    // the edit has no form to answer.
    LRESULT WantSpecialKey(WORD Key, const std::function<LRESULT(WORD)>& Inherited, bool& Answered);
    void SetFocusRules();
    void KillFocusRules();
    // True when a left press lands in the selection of a focused typeable
    // edit and is to be ignored.
    bool PressInsideSelection(int CharIndex, bool Focused);
    // The caret fences after a left release.
    void ReleaseFences();
    // Answers whether the cut or copy may go ahead.
    bool AllowCut(const std::function<bool(const String&)>& Event);
    bool AllowCopy(const std::function<bool(const String&)>& Event);
    void Paste(const String& Clip, const std::function<bool(const String&)>& Event);

    // ---- selection ----
    void SelectAll();
    void SelectBeforeDecimal();
    void SelectAfterDecimal();

    // ---- values ----
    String Value() { return ValueOfWindowText(S, H.WindowText()); }
    double GetFloatValue() { return ValueToFloat(S, Value()); }
    void SetFloatValue(double V);
    void SetIntValue(Int64 I);
    void ReformatMoney();
    int IntegerPartEnd();

private:
    int P() const { return int(S.Prefix.size()); }
    int E() { return P() + int(Value().size()); }
    bool Typeable() const { return S.EditorEnabled; }
    bool NumberKind() const { return S.EditType == etNumeric || S.EditType == etFloat || S.EditType == etMoney; }
    void MarkModified() { H.SetModifiedFlag(true); }
    void MarkIfWindowModified();
    // Writes Prefix + Value + Suffix.
    void RewriteValue(const String& Value);
    void ToggleDropDown();
    // Removes or puts a leading minus; the caret stays with its character.
    void ToggleSign();
    // The filters of each kind; a dropped character becomes 0.
    void KindFilter(Char& Ch);
    void FloatFilter(Char& Ch);
    void MoneyFilter(Char& Ch);
    // Steps shared by the float and money kinds: true when they took the character.
    bool SeparatorAndPrecisionRules(Char& Ch);

    const TInputSettings& S;
    IDropDownInputHost& H;
};

} // namespace LumDropDown
