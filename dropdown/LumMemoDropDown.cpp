#include "dropdown/LumMemoDropDown.h"

#include "dropdown/LumDropDownForm.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Memo.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TLumMemoDropDown, QT_PROP(MemoText), QT_PROP(MemoReadOnly), QT_PROP(MemoScrollBars),
    QT_PROP(MemoPopup), QT_PROP(AutoDrop), QT_EVENT(OnMemoChange))

namespace {

// Sets a flag for a scope; an exception cannot leave it set.
struct TFlagGuard {
    bool& Flag;
    bool Saved;
    TFlagGuard(bool& F, bool Value) : Flag(F), Saved(F) { Flag = Value; }
    ~TFlagGuard() { Flag = Saved; }
};

} // namespace

TLumMemoDropDown::TLumMemoDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FMemoText(std::make_unique<TStringList>())
{
    FMemoText->OnChange = [this](TObject*) { ShowFirstLine(); };
}

TLumMemoDropDown::~TLumMemoDropDown()
{
    FMemoText->OnChange = nullptr;
}

TStrings* TLumMemoDropDown::GetMemoText() const
{
    if (FMemo)
        return FMemo->GetLines();
    return FMemoText.get();
}

void TLumMemoDropDown::SetMemoText(TStrings* Value)
{
    FMemoText->Assign(Value);
    if (FMemo)
        FMemo->GetLines()->Assign(Value);
}

void TLumMemoDropDown::SetMemoReadOnly(bool Value)
{
    FMemoReadOnly = Value;
    if (FMemo && GetDroppedDown())
        FMemo->SetReadOnly(Value);
}

void TLumMemoDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (!FMemo) {
        FMemo = new TMemo(this);
        FMemo->SetParent(GetDropDownForm());
        FMemo->SetHeight(100);
        FMemo->SetBorderStyle(bsNone);
        FMemo->SetWantTabs(true);
        FMemo->SetTabStop(true);
        FMemo->GetLines()->Assign(FMemoText.get());
        FMemo->OnChange = [this](TObject* Sender) { MemoChange(Sender); };
    }
    SetControl(FMemo);
}

void TLumMemoDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    if (GetDropDownForm())
        GetDropDownForm()->SetCancelOnDeActivate(false);
    FLinesAtOpen = FMemoText->GetText();
    if (!FMemo)
        return;
    FMemo->SetPopupMenu(FMemoPopup);
    FMemo->SetMaxLength(GetMaxLength());
    FMemo->SetScrollBars(FMemoScrollBars);
    FMemo->SetReadOnly(FMemoReadOnly);
    FMemo->SetFont(GetFont());
}

void TLumMemoDropDown::AfterDropDown()
{
    TLumCustomDropDown::AfterDropDown();
    if (FMemo)
        FMemo->SetFont(GetFont());
}

void TLumMemoDropDown::DoEnter()
{
    TLumCustomDropDown::DoEnter();
    if (FAutoDrop && !GetDroppedDown())
        ShowDropDown();
}

void TLumMemoDropDown::DoHideDropDown(bool Cancel)
{
    // The focus coming back to the edit must not open the window again.
    TFlagGuard NoDrop(FAutoDrop, false);
    if (Cancel) {
        if (FMemo)
            FMemo->GetLines()->SetText(FLinesAtOpen);
        FMemoText->SetText(FLinesAtOpen);
        // The edit gets its opening text back; the lines are already theirs.
        TFlagGuard Keep(FInternalUpdate, true);
        TLumCustomDropDown::DoHideDropDown(Cancel);
        return;
    }
    TLumCustomDropDown::DoHideDropDown(Cancel);
}

void TLumMemoDropDown::DropDownHidden()
{
    TLumCustomDropDown::DropDownHidden();
    if (FMemo)
        FMemoText->Assign(FMemo->GetLines());
    ShowFirstLine();
    SetSel(0, 0);
}

void TLumMemoDropDown::MemoChange(TObject*)
{
    FMemoText->Assign(FMemo->GetLines());
    if (OnMemoChange)
        OnMemoChange(this);
}

int TLumMemoDropDown::TextAreaWidth()
{
    if (!HandleAllocated())
        return GetClientWidth();
    RECT R {};
    SendMessage(GetHandle(), EM_GETRECT, 0, LPARAM(&R));
    return R.Right - R.Left;
}

void TLumMemoDropDown::ShowFirstLine()
{
    String Shown;
    if (FMemoText->GetCount() > 0) {
        Shown = FMemoText->GetStrings(0);
        if (!GetEditorEnabled()) {
            HDC DC = GetDC(nullptr);
            HGDIOBJ Old = SelectObject(DC, GetFont()->GetHandle());
            auto Width = [&](const String& S) {
                SIZE Sz {};
                GetTextExtentPoint32W(DC, S.c_str(), int(S.size()), &Sz);
                return int(Sz.cx);
            };
            const int Area = TextAreaWidth();
            if (Width(Shown) < Area) {
                if (FMemoText->GetCount() > 1)
                    Shown += u"...";
            } else {
                for (std::size_t Keep = Shown.size(); Keep-- > 0;) {
                    const String Cut = Shown.substr(0, Keep) + u"...";
                    if (Width(Cut) < Area) {
                        Shown = Cut;
                        break;
                    }
                }
            }
            SelectObject(DC, Old);
            ReleaseDC(nullptr, DC);
        }
    }
    TFlagGuard Internal(FInternalUpdate, true);
    SetRawText(Shown);
}

void TLumMemoDropDown::Change()
{
    if (!FInternalUpdate) {
        const String Text = GetText();
        TNotifyEvent Saved = std::move(FMemoText->OnChange);
        FMemoText->OnChange = nullptr;
        if (FMemo)
            FMemo->GetLines()->SetText(Text);
        FMemoText->SetText(Text);
        FMemoText->OnChange = std::move(Saved);
    }
    TLumCustomDropDown::Change();
}

// Keys typed in the memo stay there, but for Esc, F4 and Alt keys; Tab
// leaves the memo for the edit.
void TLumMemoDropDown::ControlKeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_TAB) {
        Key = 0;
        HideDropDown(false);
        SelectAll();
        return;
    }
    if (Key == u'A' && Shift.Contains(ssCtrl) && FMemo) {
        FMemo->SelectAll();
        return;
    }
    if (Key == VK_ESCAPE || Key == VK_F4 || Shift.Contains(ssAlt))
        TLumCustomDropDown::ControlKeyDown(Key, Shift);
}

void TLumMemoDropDown::ControlKeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_ESCAPE || Key == VK_F4 || Shift.Contains(ssAlt))
        TLumCustomDropDown::ControlKeyUp(Key, Shift);
}

void TLumMemoDropDown::ControlKeyPress(Char& Key)
{
    if (Key == u'\t') {
        Key = 0;
        SelectAll();
        return;
    }
    if (Key == 27 || GetKeyState(VK_MENU) < 0)
        TLumCustomDropDown::ControlKeyPress(Key);
}
