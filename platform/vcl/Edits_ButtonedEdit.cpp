#include "platform/vcl/Edits.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

// The edit with image buttons at its left and right ends, which take their
// width from the edit's text area.

void TEditButton::SetVisible(bool v)
{
    if (v == m_visible)
        return;
    m_visible = v;
    m_edit->ButtonsChanged();
}

void TEditButton::SetEnabled(bool v)
{
    if (v == m_enabled)
        return;
    m_enabled = v;
    m_edit->Invalidate();
}

void TEditButton::SetImageIndex(int v)
{
    if (v == m_imageIndex)
        return;
    m_imageIndex = v;
    m_edit->Invalidate();
}

TButtonedEdit::TButtonedEdit(TComponent* AOwner)
    : TCustomEdit(AOwner)
    , m_left(std::make_unique<TEditButton>(this, TEditButton::bpLeft))
    , m_right(std::make_unique<TEditButton>(this, TEditButton::bpRight))
{
}

TButtonedEdit::~TButtonedEdit()
{
    if (m_images)
        m_images->RemoveFreeNotification(this);
}

void TButtonedEdit::SetImages(TCustomImageList* v)
{
    if (v == m_images)
        return;
    if (m_images)
        m_images->RemoveFreeNotification(this);
    m_images = v;
    if (m_images)
        m_images->FreeNotification(this);
    ButtonsChanged();
}

void TButtonedEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == m_images) {
        m_images = nullptr;
        ButtonsChanged();
    }
}

int TButtonedEdit::ButtonWidth() const
{
    return (m_images ? m_images->GetWidth() : 16) + 4;
}

TRect TButtonedEdit::ButtonRect(const TEditButton* Button)
{
    if (!Button || !Button->m_visible)
        return {};
    const TRect c = GetClientRect();
    if (Button->m_position == TEditButton::bpLeft)
        return { c.Left, c.Top, c.Left + ButtonWidth(), c.Bottom };
    return { c.Right - ButtonWidth(), c.Top, c.Right, c.Bottom };
}

TRect TButtonedEdit::TextArea()
{
    TRect r = GetClientRect();
    if (m_left->m_visible)
        r.Left += ButtonWidth();
    if (m_right->m_visible)
        r.Right -= ButtonWidth();
    return r;
}

void TButtonedEdit::ButtonsChanged()
{
    LayoutChanged();
    Invalidate();
}

TEditButton* TButtonedEdit::ButtonAt(TPoint P)
{
    for (TEditButton* b : { m_left.get(), m_right.get() })
        if (b->m_visible && ButtonRect(b).Contains(P))
            return b;
    return nullptr;
}

void TButtonedEdit::PaintWindow(HDC DC)
{
    TCustomEdit::PaintWindow(DC);
    for (TEditButton* b : { m_left.get(), m_right.get() }) {
        if (!b->m_visible)
            continue;
        const TRect r = ButtonRect(b);
        if (!m_images)
            continue;
        int index = b->m_imageIndex;
        if (!b->m_enabled && b->m_disabledImageIndex >= 0)
            index = b->m_disabledImageIndex;
        else if (b->m_pressed && b->m_pressedImageIndex >= 0)
            index = b->m_pressedImageIndex;
        else if (b->m_hot && b->m_hotImageIndex >= 0)
            index = b->m_hotImageIndex;
        if (index < 0 || index >= m_images->GetCount())
            continue;
        TCanvas canvas;
        canvas.SetHandle(DC);
        const int x = r.Left + (r.Width() - m_images->GetWidth()) / 2 + (b->m_pressed ? 1 : 0);
        const int y = r.Top + (r.Height() - m_images->GetHeight()) / 2 + (b->m_pressed ? 1 : 0);
        m_images->Draw(&canvas, x, y, index, b->m_enabled && GetEnabled());
        canvas.SetHandle(nullptr);
    }
}

void TButtonedEdit::Dispatch(TMessage& Message)
{
    const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (TEditButton* b = ButtonAt(p)) {
            if (b->m_enabled) {
                m_down = b;
                b->m_pressed = true;
                SetMouseCapture(true);
                Invalidate();
            }
            return;
        }
        break;
    case WM_MOUSEMOVE:
        if (m_down) {
            const bool over = ButtonAt(p) == m_down;
            if (over != m_down->m_pressed) {
                m_down->m_pressed = over;
                Invalidate();
            }
            return;
        }
        for (TEditButton* b : { m_left.get(), m_right.get() }) {
            const bool hot = ButtonAt(p) == b;
            if (hot != b->m_hot) {
                b->m_hot = hot;
                Invalidate();
            }
        }
        break;
    case WM_LBUTTONUP:
        if (TEditButton* b = m_down) {
            m_down = nullptr;
            SetMouseCapture(false);
            const bool clicked = b->m_pressed;
            b->m_pressed = false;
            Invalidate();
            if (clicked) {
                if (b == m_left.get() && OnLeftButtonClick)
                    OnLeftButtonClick(this);
                else if (b == m_right.get() && OnRightButtonClick)
                    OnRightButtonClick(this);
            }
            return;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(std::uintptr_t(Message.LParam)) == HTCLIENT) {
            POINT sp {};
            GetCursorPos(sp);
            if (ButtonAt(ScreenToClient(sp))) {
                ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
                Message.Result = TRUE;
                return;
            }
        }
        break;
    default:
        break;
    }
    TCustomEdit::Dispatch(Message);
}
