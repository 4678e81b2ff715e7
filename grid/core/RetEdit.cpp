#include "grid/core/RetEdit.h"

#include "platform/win/Input.h"
#include "platform/win/WinUser.h"

QT_PUBLISHED(TRetEdit, QT_EVENT(OnReturn), QT_EVENT(OnCtrlReturn))

TRetEdit::TRetEdit(TComponent* AOwner) : TEdit(AOwner) { }

void TRetEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        // Return must reach the edit rather than the form's default button.
        TEdit::Dispatch(Message);
        Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_KEYDOWN:
        if (Message.WParam != VK_RETURN)
            break;
        // Neither Return nor Ctrl+Return goes on to the edit, handled or not.
        if (GetKeyState(VK_CONTROL) < 0) {
            if (OnCtrlReturn)
                OnCtrlReturn(this);
        } else if (OnReturn) {
            OnReturn(this);
        }
        return;
    case WM_CHAR:
        if (Message.WParam != 10 && Message.WParam != 13)
            break;
        // No line break is ever inserted; the key-press event still hears it.
        if (OnKeyPress) {
            char16_t Key = char16_t(Message.WParam);
            OnKeyPress(this, Key);
        }
        Message.Result = 0;
        return;
    default:
        break;
    }
    TEdit::Dispatch(Message);
}
