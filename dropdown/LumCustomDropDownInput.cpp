// The drop-down edit as the host of its input rules: the key, character,
// special-key, focus, mouse and clipboard messages go through the rules,
// and the rules reach the edit window through TInputHost.

#include <algorithm>

#include "dropdown/LumCustomDropDown.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// The text on the clipboard, empty when there is none.
String ClipboardText(HWND Owner)
{
    String Text;
    if (!OpenClipboard(Owner))
        return Text;
    if (HANDLE H = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* P = static_cast<const char16_t*>(GlobalLock(H))) {
            const std::size_t N = GlobalSize(H) / sizeof(char16_t);
            Text.assign(P, std::find(P, P + N, u'\0'));
            GlobalUnlock(H);
        }
    }
    CloseClipboard();
    return Text;
}

// Sets a flag for one scope.
struct FlagGuard {
    bool& Flag;
    bool Saved;
    explicit FlagGuard(bool& F, bool Value = true) : Flag(F), Saved(F) { Flag = Value; }
    ~FlagGuard() { Flag = Saved; }
};

} // namespace

class TLumCustomDropDown::TInputHost : public LumDropDown::IDropDownInputHost {
public:
    // Message is the key or character message being handled, for the edit's
    // own handling of it.
    TInputHost(TLumCustomDropDown& Edit, TMessage* Message = nullptr) : E(Edit), M(Message) { }

    String WindowText() override { return E.GetEditText(); }
    void SetWindowText(const String& Text) override
    {
        const bool Modified = E.GetModified();
        E.TCustomMaskEdit::SetEditText(Text);
        E.SetModified(Modified);
    }
    int SelStart() override { return E.GetSelStart(); }
    int SelLength() override { return E.GetSelLength(); }
    void SetSel(int Anchor, int Caret) override { E.SetSel(Anchor, Caret); }
    bool WindowModified() override { return E.GetModified(); }
    bool IsModified() override { return E.FIsModified; }
    void SetModifiedFlag(bool Value) override { E.SetModifiedFlag(Value); }
    void SetText(const String& Value) override { E.SetText(Value); }
    void DefaultKeyDown(WORD& Key) override
    {
        if (!M)
            return;
        M->WParam = Key;
        E.TCustomMaskEdit::Dispatch(*M);
        Key = WORD(M->WParam);
    }
    void DefaultChar(Char& Ch) override
    {
        if (!M || Ch == 0)
            return;
        M->WParam = Ch;
        E.TCustomMaskEdit::Dispatch(*M);
        Ch = Char(M->WParam);
    }
    bool KeyHeld(int VirtualKey) override { return GetKeyState(VirtualKey) < 0; }
    bool DroppedDown() override { return E.FDroppedDown; }
    void ShowDropDown() override { E.ShowDropDown(); }
    void HideDropDown(bool Cancel) override { E.HideDropDown(Cancel); }
    void PostKeyToSelf(WORD Key) override
    {
        if (E.HandleAllocated())
            PostMessage(E.GetHandle(), WM_KEYDOWN, Key, 0);
    }
    void PostKeyToParent(UINT Msg, WORD Key) override
    {
        if (E.GetParent() && E.GetParent()->HandleAllocated())
            PostMessage(E.GetParent()->GetHandle(), Msg, Key, 0);
    }
    bool ParentHasFocus() override
    {
        return E.GetParent() && E.GetParent()->HandleAllocated() && ::GetFocus() == E.GetParent()->GetHandle();
    }
    void KeyPressEvent(Char& Key) override
    {
        if (E.OnKeyPress)
            E.OnKeyPress(&E, Key);
    }
    void Change() override { E.Change(); }
    bool GetBlockChange() override { return E.FBlockChange; }
    void SetBlockChange(bool Value) override { E.FBlockChange = Value; }
    double NumericDefaultValue() override { return E.NumericDefaultValue(); }

private:
    TLumCustomDropDown& E;
    TMessage* M;
};

LumDropDown::TInputSettings TLumCustomDropDown::InputSettings() const
{
    LumDropDown::TInputSettings S;
    S.EditType = FEditType;
    S.Prefix = FPrefix;
    S.Suffix = FSuffix;
    S.ValidChars = FValidChars;
    S.Precision = FPrecision;
    S.LengthLimit = FLengthLimit;
    S.Signed = FSigned;
    S.AutoThousandSeparator = FAutoThousandSeparator;
    S.ExcelStyleDecimalSeparator = FExcelStyleDecimalSeparator;
    S.AllowNumericNullValue = FAllowNumericNullValue;
    S.DefaultHandling = FDefaultHandling;
    S.CanUndo = FCanUndo;
    S.ReturnIsTab = FReturnIsTab;
    S.EditorEnabled = FEditorEnabled;
    S.Enabled = GetEnabled();
    S.ReadOnly = GetReadOnly();
    S.Visible = GetVisible();
    S.AutoSelect = GetAutoSelect();
    S.MaxLength = GetMaxLength();
    S.HasParent = GetParent() != nullptr;
    TCustomForm* Form = GetParentForm(const_cast<TLumCustomDropDown*>(this));
    S.HasParentForm = Form != nullptr;
    S.FormPreviewsKeys = Form && Form->GetKeyPreview();
    return S;
}

// ---- values and selection ----

double TLumCustomDropDown::GetFloatValue()
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    return LumDropDown::TDropDownInput(S, Host).GetFloatValue();
}

void TLumCustomDropDown::SetFloatValue(double Value)
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).SetFloatValue(Value);
}

void TLumCustomDropDown::SetIntValue(Int64 Value)
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).SetIntValue(Value);
}

void TLumCustomDropDown::ReformatMoney()
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).ReformatMoney();
}

void TLumCustomDropDown::SelectAll()
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).SelectAll();
}

void TLumCustomDropDown::SelectBeforeDecimal()
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).SelectBeforeDecimal();
}

void TLumCustomDropDown::SelectAfterDecimal()
{
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).SelectAfterDecimal();
}

int TLumCustomDropDown::CharFromPos(int X, int Y)
{
    if (!HandleAllocated())
        return 0;
    return LOWORD(Perform(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(X), WORD(Y))));
}

void TLumCustomDropDown::SetEditType(TDropDownEditType Value)
{
    if (Value == FEditType)
        return;
    FEditType = Value;
    if (Value == etPassword) {
        SetPasswordChar(u'*');
        FCanUndo = false;
        if (HandleAllocated())
            RecreateWnd();
    } else {
        SetPasswordChar(0);
    }
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput Rules(S, Host);
    const int Kind = ClassifyNumber(GetText());
    if (Value == etNumeric && Kind != 0)
        Rules.SetIntValue(0);
    else if ((Value == etFloat || Value == etMoney) && Kind > 1)
        Rules.SetFloatValue(0);
    else if (Value == etHex && Kind != 0 && Kind != 5)
        Rules.SetIntValue(0);
}

void TLumCustomDropDown::SetPrecision(short Value)
{
    if (Value == FPrecision)
        return;
    if (FEditType != etString && FEditType != etFloat && FEditType != etMoney && FEditType != etValidChars)
        return;
    FPrecision = Value;
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput Rules(S, Host);
    if (ClassifyNumber(GetText()) > 1)
        Rules.SetFloatValue(0);
    else
        Rules.SetFloatValue(Rules.GetFloatValue());
}

// ---- messages ----

void TLumCustomDropDown::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomMaskEdit::KeyDown(Key, Shift);
    const auto S = InputSettings();
    TInputHost Host(*this);
    LumDropDown::TDropDownInput(S, Host).KeyDownEvent(Key, Shift);
}

void TLumCustomDropDown::KeyPress(Char& Key)
{
    TCustomMaskEdit::KeyPress(Key);
    if (Key == u'\r')
        Key = 0;
}

void TLumCustomDropDown::DefaultHandler(TMessage& Message)
{
    // Typing over the whole value is announced as a deletion and an
    // insertion; the rules swallow the first announcement, so the change
    // event fires once for the keystroke.
    if (Message.Msg == WM_CHAR && FBlockChange && GetSelLength() > 0 && Char(Message.WParam) >= 0x20 && !GetReadOnly()
        && HandleAllocated())
        ReplaceRange(GetSelStart(), GetSelStart() + GetSelLength(), String(), true);
    TCustomMaskEdit::DefaultHandler(Message);
}

bool TLumCustomDropDown::InputMessage(TMessage& Message)
{
    const bool Designing = GetComponentState().Contains(csDesigning);
    const bool Loading = GetComponentState().Contains(csLoading);
    switch (Message.Msg) {
    case WM_KEYDOWN: {
        if (Designing)
            return false;
        WORD Key = WORD(Message.WParam);
        const auto S = InputSettings();
        TInputHost Host(*this, &Message);
        LumDropDown::TDropDownInput(S, Host).KeyDownMessage(Key, KeyDataToShiftState(Message.LParam), Message.LParam);
        Message.WParam = Key;
        Message.Result = 0;
        return true;
    }
    case WM_CHAR: {
        Char Ch = Char(Message.WParam);
        const auto S = InputSettings();
        TInputHost Host(*this, &Message);
        Message.Result = LumDropDown::TDropDownInput(S, Host).CharMessage(Ch, Message.LParam);
        Message.WParam = Ch;
        return true;
    }
    case CM_WANTSPECIALKEY: {
        const auto S = InputSettings();
        TInputHost Host(*this);
        bool Answered = false;
        const LRESULT Result = LumDropDown::TDropDownInput(S, Host).WantSpecialKey(
            WORD(Message.WParam),
            [&](WORD Key) {
                TMessage Inner = Message;
                Inner.WParam = Key;
                Inner.Result = 0;
                TCustomMaskEdit::Dispatch(Inner);
                return Inner.Result;
            },
            Answered);
        Message.Result = Answered ? Result : 0;
        return true;
    }
    case WM_SETFOCUS: {
        if (Loading)
            return false;
        TCustomMaskEdit::Dispatch(Message);
        if (FEditorEnabled) {
            const auto S = InputSettings();
            TInputHost Host(*this);
            LumDropDown::TDropDownInput(S, Host).SetFocusRules();
        } else {
            // The highlight of the focused text covers the caret.
            Invalidate();
        }
        return true;
    }
    case WM_KILLFOCUS: {
        if (Loading)
            return false;
        {
            const auto S = InputSettings();
            TInputHost Host(*this);
            LumDropDown::TDropDownInput(S, Host).KillFocusRules();
        }
        TCustomMaskEdit::Dispatch(Message);
        if ((!FEmptyText.empty() && GetText().empty()) || !FEditorEnabled)
            Invalidate();
        return true;
    }
    case WM_LBUTTONDOWN: {
        if (!FEditorEnabled) {
            TCustomMaskEdit::Dispatch(Message);
            DropDownButtonClick(this);
            return true;
        }
        const auto S = InputSettings();
        TInputHost Host(*this);
        const int At = CharFromPos(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        if (LumDropDown::TDropDownInput(S, Host).PressInsideSelection(At, Focused())) {
            FButtonDown = true;
            return true;
        }
        return false;
    }
    case WM_LBUTTONUP: {
        if (!FEditorEnabled || GetReadOnly())
            DrawFocusedText();
        if (FButtonDown) {
            const int At = CharFromPos(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
            SetSel(At, At);
        }
        FButtonDown = false;
        TCustomMaskEdit::Dispatch(Message);
        const auto S = InputSettings();
        TInputHost Host(*this);
        LumDropDown::TDropDownInput(S, Host).ReleaseFences();
        return true;
    }
    case WM_CUT: {
        const auto S = InputSettings();
        TInputHost Host(*this);
        const bool Allowed = LumDropDown::TDropDownInput(S, Host).AllowCut([this](const String& Part) {
            bool Allow = true;
            if (FOnClipboardCut)
                FOnClipboardCut(this, Part, Allow);
            return Allow;
        });
        if (Allowed) {
            FlagGuard Cutting(FBlockCopy);
            TCustomMaskEdit::Dispatch(Message);
        }
        return true;
    }
    case WM_COPY: {
        if (FOnClipboardCopy && !FBlockCopy) {
            const auto S = InputSettings();
            TInputHost Host(*this);
            const bool Allowed = LumDropDown::TDropDownInput(S, Host).AllowCopy([this](const String& Part) {
                bool Allow = true;
                FOnClipboardCopy(this, Part, Allow);
                return Allow;
            });
            if (!Allowed)
                return true;
        }
        return false;
    }
    case WM_PASTE: {
        if (GetReadOnly() || !IsClipboardFormatAvailable(CF_UNICODETEXT))
            return true;
        const auto S = InputSettings();
        TInputHost Host(*this);
        LumDropDown::TDropDownInput(S, Host).Paste(ClipboardText(GetHandle()), [this](const String& Predicted) {
            bool Allow = true;
            if (FOnClipboardPaste)
                FOnClipboardPaste(this, Predicted, Allow);
            return Allow;
        });
        return true;
    }
    default:
        return false;
    }
}
