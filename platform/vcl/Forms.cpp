#include "platform/vcl/Forms.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fontconfig/fontconfig.h>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/HintWindow.h"
#include "platform/win/Input.h"
#include "platform/win/SdlBackend.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace {

std::unique_ptr<TApplication> g_application;
std::unique_ptr<TScreen> g_screen;
std::unique_ptr<TMouse> g_mouse;
bool g_atExitRegistered = false;

// The objects go before the window system's own state does.
void DestroyGlobals()
{
    g_application.reset();
    g_screen.reset();
    g_mouse.reset();
}

void EnsureAtExit()
{
    if (g_atExitRegistered)
        return;
    g_atExitRegistered = true;
    GetDesktopWindow(); // the window system's state exists before our handler
    std::atexit(DestroyGlobals);
}

constexpr UINT_PTR HintTimerId = 1;

// Turns the controls of other forms off while a modal form runs, and back on.
class TTaskWindowsDisabler {
public:
    explicit TTaskWindowsDisabler(TCustomForm* modal)
    {
        for (int i = 0; i < Screen->GetFormCount(); ++i) {
            TCustomForm* f = Screen->GetForms(i);
            if (f == modal || !f->HandleAllocated())
                continue;
            HWND h = f->GetHandle();
            if (IsWindowVisible(h) && IsWindowEnabled(h)) {
                EnableWindow(h, false);
                m_windows.push_back(h);
            }
        }
    }
    ~TTaskWindowsDisabler()
    {
        for (HWND h : m_windows)
            if (IsWindow(h))
                EnableWindow(h, true);
    }

private:
    std::vector<HWND> m_windows;
};

} // namespace

template<>
TApplication* TGlobalRef<TApplication>::Get() const
{
    if (!g_application) {
        EnsureAtExit();
        g_application = std::make_unique<TApplication>();
    }
    return g_application.get();
}
template<>
TGlobalRef<TApplication>::operator bool() const { return g_application != nullptr; }

template<>
TScreen* TGlobalRef<TScreen>::Get() const
{
    if (!g_screen) {
        EnsureAtExit();
        g_screen = std::make_unique<TScreen>();
    }
    return g_screen.get();
}
template<>
TGlobalRef<TScreen>::operator bool() const { return g_screen != nullptr; }

template<>
TMouse* TGlobalRef<TMouse>::Get() const
{
    if (!g_mouse)
        g_mouse = std::make_unique<TMouse>();
    return g_mouse.get();
}
template<>
TGlobalRef<TMouse>::operator bool() const { return g_mouse != nullptr; }

TGlobalRef<TApplication> Application;
TGlobalRef<TScreen> Screen;
TGlobalRef<TMouse> Mouse;

String GetShortHint(const String& Hint)
{
    const auto bar = Hint.find(u'|');
    return bar == String::npos ? Hint : Hint.substr(0, bar);
}

String GetLongHint(const String& Hint)
{
    const auto bar = Hint.find(u'|');
    return bar == String::npos ? Hint : Hint.substr(bar + 1);
}

// ---- TMonitor ----

QT_PUBLISHED(TMonitor)

TRect TMonitor::GetBoundsRect() const
{
    MONITORINFO info;
    if (GetMonitorInfo(m_handle, info))
        return info.rcMonitor;
    return {};
}

TRect TMonitor::GetWorkareaRect() const
{
    MONITORINFO info;
    if (GetMonitorInfo(m_handle, info))
        return info.rcWork;
    return {};
}

bool TMonitor::GetPrimary() const
{
    MONITORINFO info;
    return GetMonitorInfo(m_handle, info) && (info.dwFlags & MONITORINFOF_PRIMARY);
}

// ---- TCustomForm ----

QT_PUBLISHED(TGlassFrame, QT_PROP(Enabled), QT_PROP(Left), QT_PROP(Top), QT_PROP(Right), QT_PROP(Bottom),
    QT_PROP(SheetOfGlass))

QT_PUBLISHED(TCustomForm, QT_PROP(BorderStyle), QT_PROP(BorderIcons), QT_PROP(FormStyle), QT_PROP(Position),
    QT_PROP(WindowState), QT_PROP(KeyPreview), QT_PROP(ActiveControl), QT_PROP(AlphaBlend), QT_PROP(AlphaBlendValue),
    QT_PROP(TransparentColor), QT_PROP_T(TransparentColorValue, u"TColor"), QT_PROP(GlassFrame),
    QT_PROP(PixelsPerInch), QT_PROP(Scaled), QT_EVENT(OnCreate), QT_EVENT(OnDestroy), QT_EVENT(OnShow),
    QT_EVENT(OnHide), QT_EVENT_T(OnClose, u"TCloseEvent"), QT_EVENT_T(OnCloseQuery, u"TCloseQueryEvent"),
    QT_EVENT(OnActivate), QT_EVENT(OnDeactivate), QT_EVENT(OnPaint), QT_EVENT_T(OnShortCut, u"TShortCutEvent"))
QT_PUBLISHED(TForm)
QT_PUBLISHED(TFrame)

TCustomForm::TCustomForm(TComponent* AOwner)
    : TScrollingWinControl(AOwner), m_glassFrame(std::make_unique<TGlassFrame>()), m_canvas(std::make_unique<TControlCanvas>())
{
    m_visible = false;
    m_parentColor = false;
    m_parentFont = false;
    m_color = clBtnFace;
    GetBrush()->SetColor(m_color);
    m_width = 320;
    m_height = 240;
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks };
    m_canvas->SetControl(this);
    Screen->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Destroying();
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            Application->HandleException(this);
        }
    }
    m_canvas->FreeHandle();
    if (Screen)
        Screen->RemoveForm(this);
    if (Application && Application->GetMainForm() == this)
        Application->SetMainForm(nullptr);
    DestroyHandle();
}

void TCustomForm::AfterConstruction()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    switch (m_borderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: Params.Style |= WS_POPUP | WS_CAPTION; Params.ExStyle |= WS_EX_DLGMODALFRAME; break;
    case bsToolWindow: Params.Style |= WS_CAPTION; Params.ExStyle |= WS_EX_TOOLWINDOW; break;
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; Params.ExStyle |= WS_EX_TOOLWINDOW; break;
    }
    if (m_borderStyle != bsNone) {
        if (m_borderIcons.Contains(biSystemMenu))
            Params.Style |= WS_SYSMENU;
        const bool boxes = m_borderStyle == bsSingle || m_borderStyle == bsSizeable;
        if (boxes && m_borderIcons.Contains(biMinimize))
            Params.Style |= WS_MINIMIZEBOX;
        if (boxes && m_borderIcons.Contains(biMaximize))
            Params.Style |= WS_MAXIMIZEBOX;
        if (m_borderIcons.Contains(biHelp))
            Params.ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (m_formStyle == fsStayOnTop)
        Params.ExStyle |= WS_EX_TOPMOST;
    if (!m_enabled)
        Params.Style |= WS_DISABLED;
    Params.WndParent = nullptr;
    if (auto* owner = dynamic_cast<TCustomForm*>(GetOwner()); owner && owner->HandleAllocated())
        Params.WndParent = owner->m_handle;
}

void TCustomForm::CreateWnd()
{
    TScrollingWinControl::CreateWnd();
    UpdateLayered();
}

TRect TCustomForm::GetClientRect()
{
    if (!m_handle && !GetComponentState().Contains(csDestroying))
        HandleNeeded();
    return TScrollingWinControl::GetClientRect();
}

bool TCustomForm::IsShowing() const
{
    return m_visible && m_handle && IsWindowVisible(m_handle);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons v)
{
    if (v == m_borderIcons)
        return;
    m_borderIcons = v;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v)
{
    if (v == m_formStyle)
        return;
    m_formStyle = v;
    if (m_handle)
        SetWindowPos(m_handle, v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
            SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState v)
{
    if (v == m_windowState)
        return;
    m_windowState = v;
    if (m_handle && IsWindowVisible(m_handle))
        ShowWindow(m_handle, v == wsMaximized ? SW_MAXIMIZE : v == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::SetAlphaBlend(bool v)
{
    m_alphaBlend = v;
    UpdateLayered();
}

void TCustomForm::SetAlphaBlendValue(Byte v)
{
    m_alphaBlendValue = v;
    UpdateLayered();
}

void TCustomForm::SetTransparentColor(bool v)
{
    m_transparentColor = v;
    UpdateLayered();
}

void TCustomForm::SetTransparentColorValue(TColor v)
{
    m_transparentColorValue = v;
    UpdateLayered();
}

void TCustomForm::UpdateLayered()
{
    if (!m_handle)
        return;
    const LONG ex = GetWindowLong(m_handle, GWL_EXSTYLE);
    if (!m_alphaBlend && !m_transparentColor) {
        if (ex & LONG(WS_EX_LAYERED))
            SetWindowLong(m_handle, GWL_EXSTYLE, ex & ~LONG(WS_EX_LAYERED));
        return;
    }
    if (!(ex & LONG(WS_EX_LAYERED)))
        SetWindowLong(m_handle, GWL_EXSTYLE, ex | LONG(WS_EX_LAYERED));
    DWORD flags = 0;
    if (m_alphaBlend) flags |= LWA_ALPHA;
    if (m_transparentColor) flags |= LWA_COLORKEY;
    SetLayeredWindowAttributes(m_handle, COLORREF(ColorToRGB(m_transparentColorValue)), m_alphaBlendValue, flags);
}

void TCustomForm::SetPixelsPerInch(int v)
{
    if (v > 0)
        m_pixelsPerInch = v;
}

TMonitor* TCustomForm::GetMonitor()
{
    return Screen->MonitorFromWindow(m_handle);
}

void TCustomForm::SetActiveControl(TWinControl* v)
{
    if (v == m_activeControl)
        return;
    if (v && (!ContainsControl(v) || (m_visible && !v->CanFocus())))
        throw EInvalidOperation(u"Cannot focus a disabled or invisible window");
    m_activeControl = v;
    if (m_active && v && v->GetHandle() && GetFocus() != v->GetHandle())
        ::SetFocus(v->GetHandle());
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    const bool wasActive = m_active;
    SetActiveControl(Control);
    if (!wasActive && m_visible && m_enabled)
        SetFocus();
    else if (m_active && Control && GetFocus() != Control->GetHandle())
        ::SetFocus(Control->GetHandle());
}

void TCustomForm::SetFocus()
{
    if (!m_visible || !m_enabled)
        throw EInvalidOperation(u"Cannot focus a disabled or invisible window");
    HandleNeeded();
    if (!m_active)
        SetActiveWindow(m_handle);
    if (m_activeControl && m_activeControl->CanFocus())
        ::SetFocus(m_activeControl->GetHandle());
    else if (GetFocus() != m_handle && !(m_focusedControl && GetFocus() == m_focusedControl->m_handle))
        ::SetFocus(m_handle);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control)
{
    if (Control == this)
        Control = nullptr;
    if (Control == m_focusedControl) {
        m_activeControl = Control;
        Screen->SetActive(this, Control);
        return true;
    }
    TWinControl* old = m_focusedControl;
    m_focusedControl = Control;
    if (Control)
        m_activeControl = Control;
    Screen->SetActive(this, Control);
    // Leave every container of the old control that does not hold the new one.
    for (TWinControl* c = old; c && c != this && !(Control && c->ContainsControl(Control)); c = c->m_parent) {
        c->Perform(CM_EXIT);
        if (m_focusedControl != Control)
            return false; // a handler moved the focus on
    }
    std::vector<TWinControl*> enter;
    for (TWinControl* c = Control; c && c != this && !(old && c->ContainsControl(old)); c = c->m_parent)
        enter.push_back(c);
    for (auto it = enter.rbegin(); it != enter.rend(); ++it) {
        (*it)->Perform(CM_ENTER);
        if (m_focusedControl != Control)
            return false;
    }
    TMessage changed { CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control), 0 };
    Broadcast(changed);
    return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing)
{
    if (Removing && Control->ContainsControl(m_focusedControl))
        m_focusedControl = Control->m_parent == this ? nullptr : Control->m_parent;
    if (Control->ContainsControl(m_activeControl))
        m_activeControl = nullptr;
    if (m_handle && Control->HandleAllocated() && IsChild(Control->m_handle, GetFocus()) )
        ::SetFocus(m_handle);
    else if (m_handle && Control->HandleAllocated() && GetFocus() == Control->m_handle)
        ::SetFocus(m_handle);
}

void TCustomForm::ControlRemoved(TControl* Control)
{
    auto* w = dynamic_cast<TWinControl*>(Control);
    if (!w)
        return;
    if (w->ContainsControl(m_activeControl))
        m_activeControl = nullptr;
    if (w->ContainsControl(m_focusedControl))
        m_focusedControl = nullptr;
    if (Screen && w->ContainsControl(Screen->m_activeControl))
        Screen->m_activeControl = nullptr;
}

void TCustomForm::ControlHidden(TWinControl* Control)
{
    if (Control->ContainsControl(m_focusedControl) || Control->ContainsControl(m_activeControl))
        DefocusControl(Control, false);
}

void TCustomForm::SendCancelMode(TControl* Sender)
{
    if (m_active && m_activeControl)
        m_activeControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

bool TCustomForm::IsShortCut(TWMKey& Message)
{
    bool handled = false;
    if (OnShortCut)
        OnShortCut(Message, handled);
    return handled;
}

void TCustomForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide()
{
    SetVisible(false);
}

void TCustomForm::BringToFront()
{
    if (m_handle && IsWindowVisible(m_handle))
        SetWindowPos(m_handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Close()
{
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application && Application->GetMainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: ReleaseForm(); break;
    default: break;
    }
}

void TCustomForm::ReleaseForm()
{
    PostMessage(Application->GetHandle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

TModalResult TCustomForm::ShowModal()
{
    if (m_visible || !m_enabled || m_modal)
        throw EInvalidOperation(u"Cannot make a visible window modal");
    Application->CancelHint();
    SetCaptureControl(nullptr);
    struct ModalGuard {
        TCustomForm& f;
        explicit ModalGuard(TCustomForm& form) : f(form) { f.m_modal = true; }
        ~ModalGuard() { f.m_modal = false; }
    } guard(*this);
    TTaskWindowsDisabler disabler(this);
    m_modalResult = mrNone;
    Show();
    try {
        for (;;) {
            Application->HandleMessage();
            if (Application->GetTerminated()) {
                m_modalResult = mrCancel;
                break;
            }
            if (m_modalResult != mrNone) {
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    action = caHide;
                    DoClose(action);
                }
                if (action == caNone) {
                    m_modalResult = mrNone;
                    continue;
                }
                if (action == caFree)
                    ReleaseForm();
                break;
            }
        }
    } catch (...) {
        Hide();
        throw;
    }
    Hide();
    return m_modalResult;
}

void TCustomForm::PlaceByPosition()
{
    const TRect screen = Screen->GetWorkAreaRect();
    auto centreOver = [&](const TRect& r) {
        SetBounds(r.Left + (r.Width() - m_width) / 2, r.Top + (r.Height() - m_height) / 2, m_width, m_height);
    };
    TCustomForm* main = Application->GetMainForm();
    switch (m_position) {
    case poScreenCenter:
    case poDesktopCenter:
        centreOver(Screen->GetDesktopRect());
        break;
    case poMainFormCenter:
        if (main && main != this && main->HandleAllocated())
            centreOver(main->GetBoundsRect());
        else
            centreOver(screen);
        break;
    case poOwnerFormCenter:
        if (auto* owner = dynamic_cast<TCustomForm*>(GetOwner()); owner && owner->HandleAllocated())
            centreOver(owner->GetBoundsRect());
        else if (main && main != this && main->HandleAllocated())
            centreOver(main->GetBoundsRect());
        else
            centreOver(screen);
        break;
    default:
        break;
    }
}

void TCustomForm::ShowWindowNow(bool show)
{
    if (m_showingNow)
        return;
    m_showingNow = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_showingNow };
    if (show) {
        HandleNeeded();
        if (!m_placed) {
            m_placed = true;
            PlaceByPosition();
        }
        DoShow();
        if (!m_activeControl)
            m_activeControl = FindNextControl(nullptr, true, true, false);
        ShowWindow(m_handle, m_windowState == wsMaximized ? SW_SHOWMAXIMIZED
                : m_windowState == wsMinimized             ? SW_SHOWMINIMIZED
                                                           : SW_SHOWNORMAL);
        UpdateShowing();
    } else {
        DoHide();
        if (m_handle)
            ShowWindow(m_handle, SW_HIDE);
        UpdateShowing();
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Activate()
{
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::Paint()
{
    if (OnPaint)
        OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC)
{
    m_canvas->FreeHandle();
    m_canvas->Lock();
    struct Done {
        TControlCanvas& c;
        ~Done()
        {
            c.SetHandle(nullptr);
            c.Unlock();
        }
    } done { *m_canvas };
    m_canvas->SetHandle(DC);
    Paint();
}

void TCustomForm::WMActivate(TMessage& Message)
{
    const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
    if (active == m_active && !active)
        return;
    m_active = active;
    if (active) {
        if (!m_activeControl || !m_activeControl->CanFocus())
            m_activeControl = FindNextControl(nullptr, true, true, false);
        Screen->SetActive(this, m_activeControl);
        if (m_activeControl)
            ::SetFocus(m_activeControl->GetHandle());
        else
            ::SetFocus(m_handle);
        Activate();
    } else {
        Application->CancelHint();
        Deactivate();
    }
}

void TCustomForm::WMClose(TMessage&)
{
    Close();
}

void TCustomForm::CMDialogKey(TMessage& Message)
{
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.WParam) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(m_activeControl, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
            if (m_activeControl && m_activeControl->m_parent) {
                m_activeControl->m_parent->SelectNext(m_activeControl,
                    Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default:
            break;
        }
    }
    Broadcast(Message);
}

void TCustomForm::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_CLOSE: WMClose(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_VISIBLECHANGED:
        ShowWindowNow(m_visible);
        return;
    case CM_ENABLEDCHANGED:
        if (m_handle)
            EnableWindow(m_handle, m_enabled);
        return;
    case CM_TEXTCHANGED:
        return;
    case WM_SIZE:
        if (m_handle)
            m_windowState = IsZoomed(m_handle) ? wsMaximized : IsIconic(m_handle) ? wsMinimized : wsNormal;
        TScrollingWinControl::Dispatch(Message);
        return;
    case WM_GETMINMAXINFO:
        // The desktop may size the window only within the constraints (the
        // client area is the whole window: the desktop draws the frame).
        if (auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam)) {
            const TSizeConstraints* c = GetConstraints();
            if (c->GetMinWidth() > 0)
                info->ptMinTrackSize.X = c->GetMinWidth();
            if (c->GetMinHeight() > 0)
                info->ptMinTrackSize.Y = c->GetMinHeight();
            if (c->GetMaxWidth() > 0)
                info->ptMaxTrackSize.X = c->GetMaxWidth();
            if (c->GetMaxHeight() > 0)
                info->ptMaxTrackSize.Y = c->GetMaxHeight();
        }
        Message.Result = 0;
        return;
    default:
        TScrollingWinControl::Dispatch(Message);
    }
}

TFrame::TFrame(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    m_controlStyle = { csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks };
    m_width = 320;
    m_height = 240;
}

// ---- TApplication ----

QT_PUBLISHED(TApplication)

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    m_title = Utf8ToString(std::filesystem::path(StringToUtf8(GetExeName())).stem().string());
}

TApplication::~TApplication()
{
    m_hintWindow.reset();
    Destroying();
    DestroyComponents();
    if (m_handle && IsWindow(m_handle))
        DestroyWindow(m_handle);
}

void TApplication::Initialize()
{
    InitWindowSystem();
    // The back end chosen now must outlive the forms: clean up ahead of it
    // at exit (handlers registered later run earlier).
    GetWindowBackend();
    std::atexit(DestroyGlobals);
    InstallDeviceContextFactory();
    InitFonts();
    // Waits that pump messages take the application's path, so dialog keys
    // and shortcuts work inside them too.
    SetProcessMessagesHook([] { Application->ProcessMessages(); });
}

void TApplication::FormCreated(TCustomForm* f)
{
    if (!m_mainForm)
        m_mainForm = f;
    f->AfterConstruction();
}

LRESULT TApplication::AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!Application)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    TApplication* app = Application;
    try {
        switch (msg) {
        case WM_TIMER:
            if (wParam == HintTimerId)
                app->HintTimerExpired();
            return 0;
        case CM_RELEASE: {
            // Only a form that still exists is freed.
            auto* f = reinterpret_cast<TCustomForm*>(lParam);
            for (int i = 0; i < Screen->GetFormCount(); ++i)
                if (Screen->GetForms(i) == f) {
                    delete f;
                    break;
                }
            return 0;
        }
        default:
            break;
        }
    } catch (...) {
        app->HandleException(app);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND TApplication::GetHandle()
{
    if (m_handle && IsWindow(m_handle))
        return m_handle;
    WNDCLASSEX existing;
    if (!GetClassInfoEx(u"TApplication", existing)) {
        WNDCLASSEX wc;
        wc.lpfnWndProc = &TApplication::AppWindowProc;
        wc.lpszClassName = u"TApplication";
        RegisterClassEx(wc);
    }
    m_handle = CreateWindowEx(WS_EX_TOOLWINDOW, u"TApplication", m_title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
        nullptr, nullptr);
    return m_handle;
}

String TApplication::GetExeName() const
{
    std::error_code ec;
    const auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? String() : Utf8ToString(p.string());
}

void TApplication::BringToFront()
{
    if (m_mainForm && m_mainForm->HandleAllocated())
        SetForegroundWindow(m_mainForm->GetHandle());
}

void TApplication::Run()
{
    m_running = true;
    struct Reset { bool& f; ~Reset() { f = false; } } reset { m_running };
    if (m_mainForm && m_showMainForm) {
        try {
            m_mainForm->Show();
        } catch (...) {
            HandleException(this);
        }
    }
    while (!m_terminated)
        HandleMessage();
}

void TApplication::Terminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        m_terminated = true;
        return true;
    }
    try {
        bool handled = false;
        if (OnMessage)
            OnMessage(Msg, handled);
        if (!handled && !IsKeyMsg(Msg)) {
            TranslateMessage(Msg);
            DispatchMessage(Msg);
        }
    } catch (...) {
        HandleException(this);
    }
    FreeDeviceContexts();
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
    CheckSynchronize();
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg))
        Idle();
}

void TApplication::Idle()
{
    bool done = true;
    try {
        if (OnIdle)
            OnIdle(this, done);
    } catch (...) {
        HandleException(this);
    }
    if (CheckSynchronize())
        done = false;
    if (done && !m_terminated)
        WaitMessage();
}

bool TApplication::IsKeyMsg(MSG& Msg)
{
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST)
        return false;
    HWND target = Msg.hwnd;
    if (!target || !TWinControl::FindControl(target))
        return false;
    return SendMessage(target, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TApplication::HandleException(TObject* Sender)
{
    std::exception_ptr p = std::current_exception();
    if (!p)
        return;
    auto report = [&](const Exception& e) {
        if (m_handlingException) {
            std::fprintf(stderr, "%s\n", e.what());
            return;
        }
        m_handlingException = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_handlingException };
        try {
            if (OnException)
                OnException(Sender, e);
            else
                ShowException(e);
        } catch (...) {
            std::fprintf(stderr, "%s\n", e.what());
        }
    };
    try {
        std::rethrow_exception(p);
    } catch (const EAbort&) {
        // A silent exception: nothing to report.
    } catch (const Exception& e) {
        report(e);
    } catch (const std::exception& e) {
        report(Exception(Utf8ToString(e.what())));
    } catch (...) {
        report(Exception(u"Unknown exception"));
    }
}

void TApplication::ShowException(const Exception& E)
{
    String text = E.Message;
    if (!text.empty() && text.back() > u'.')
        text += u'.';
    MessageBox(text, m_title, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const String& Text, const String& Caption, UINT Flags)
{
    if (MessageBoxHandler)
        return MessageBoxHandler(Text, Caption, Flags);
    // Without a dialog layer the message goes to the error stream and the
    // first button answers.
    std::fprintf(stderr, "%s: %s\n", StringToUtf8(Caption).c_str(), StringToUtf8(Text).c_str());
    switch (Flags & 0x0F) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL: case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

// ---- hints ----

void TApplication::SetHint(const String& v)
{
    if (v == m_hint)
        return;
    m_hint = v;
    try {
        if (OnHint)
            OnHint(this);
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::SetShowHint(bool v)
{
    m_showHint = v;
    if (!v) {
        CancelHint();
        // Switched on again, the hint window is made anew from
        // HintWindowClass (a changed class takes effect that way).
        m_hintWindow.reset();
    }
}

void TApplication::StartHintTimer(UINT ms, int kind)
{
    m_hintTimerKind = kind;
    SetTimer(GetHandle(), HintTimerId, std::max<UINT>(ms, 1), nullptr);
}

void TApplication::StopHintTimer()
{
    if (m_hintTimerKind && m_handle)
        KillTimer(m_handle, HintTimerId);
    m_hintTimerKind = 0;
}

void TApplication::CancelHint()
{
    StopHintTimer();
    if (m_hintWindow && m_hintWindow->HandleAllocated())
        m_hintWindow->ReleaseHandle();
    m_hintShownFor = nullptr;
}

static TControl* FindHintControl(TControl* c)
{
    for (; c; c = c->GetParent())
        if (c->GetShowHint() && !c->GetHint().empty())
            return c;
    return nullptr;
}

void TApplication::MouseControlChanged(TControl* Control)
{
    SetHint(Control ? GetLongHint([&] {
        for (TControl* c = Control; c; c = c->GetParent())
            if (!c->GetHint().empty())
                return c->GetHint();
        return String();
    }()) : String());
    TControl* hinted = FindHintControl(Control);
    if (hinted == m_hintControl)
        return;
    const bool wasShowing = m_hintShownFor != nullptr;
    CancelHint();
    m_hintControl = hinted;
    if (hinted && m_showHint)
        StartHintTimer(wasShowing ? m_hintShortPause : m_hintPause, 1);
}

void TApplication::HintMouseMessage(TControl*, TMessage&)
{
    if (m_hintShownFor) {
        POINT p;
        GetCursorPos(p);
        if (!m_hintCursorRect.Contains({ p.X, p.Y }))
            CancelHint();
    }
}

void TApplication::ControlDestroyed(TControl* Control)
{
    if (m_hintControl == Control)
        m_hintControl = nullptr;
    if (m_hintShownFor == Control)
        CancelHint();
}

void TApplication::ActivateHint(TPoint CursorPos)
{
    TControl* control = m_hintControl;
    if (!control || !m_showHint)
        return;
    THintInfo info;
    info.HintControl = control;
    info.HintPos = { CursorPos.X, CursorPos.Y + 20 };
    info.HintMaxWidth = Screen->GetWidth();
    info.HintColor = m_hintColor;
    const TPoint origin = control->ClientToScreen({ 0, 0 });
    info.CursorRect = { origin.X, origin.Y, origin.X + control->GetWidth(), origin.Y + control->GetHeight() };
    info.CursorPos = control->ScreenToClient(CursorPos);
    info.HideTimeout = m_hintHidePause;
    info.HintStr = GetShortHint(control->GetHint());
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (!canShow || info.HintStr.empty())
        return;
    // A window of another kind than the one kept (a control's own kind, or
    // back to the application's) is made anew for this hint.
    const bool OwnKind = bool(info.HintWindowClass);
    if (!m_hintWindow || OwnKind || m_hintWindowOwnKind) {
        m_hintWindow.reset((OwnKind ? info.HintWindowClass : HintWindowClass)(nullptr));
        m_hintWindowOwnKind = OwnKind;
    }
    m_hintWindow->SetColor(info.HintColor);
    TRect r = m_hintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    r = { info.HintPos.X, info.HintPos.Y, info.HintPos.X + r.Width(), info.HintPos.Y + r.Height() };
    m_hintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    m_hintShownFor = control;
    m_hintCursorRect = info.CursorRect;
    if (info.HideTimeout > 0)
        StartHintTimer(UINT(info.HideTimeout), 2);
}

void TApplication::HintTimerExpired()
{
    const int kind = m_hintTimerKind;
    StopHintTimer();
    if (kind == 1) {
        POINT p;
        GetCursorPos(p);
        ActivateHint({ p.X, p.Y });
    } else if (kind == 2) {
        CancelHint();
    }
}

// ---- TScreen ----

QT_PUBLISHED(TScreen)

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner)
{
    m_monitor.m_handle = ::MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY);
}

TScreen::~TScreen() = default;

void TScreen::RemoveForm(TCustomForm* f)
{
    m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), f), m_forms.end());
    if (m_activeForm == f) {
        m_activeForm = nullptr;
        m_activeControl = nullptr;
    }
}

void TScreen::SetActive(TCustomForm* f, TWinControl* c)
{
    const bool formChanged = f != m_activeForm;
    const bool controlChanged = c != m_activeControl;
    m_activeForm = f;
    m_activeControl = c;
    if (formChanged) {
        // The active form moves to the front of the list.
        m_forms.erase(std::remove(m_forms.begin(), m_forms.end(), f), m_forms.end());
        m_forms.insert(m_forms.begin(), f);
        if (OnActiveFormChange)
            OnActiveFormChange(this);
    }
    if (controlChanged && OnActiveControlChange)
        OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor v)
{
    if (v == m_cursor)
        return;
    m_cursor = v;
    ::SetCursor(GetCursors(v == crDefault ? crArrow : v));
}

HCURSOR TScreen::GetCursors(TCursor Index) const
{
    for (const auto& [id, h] : m_cursors)
        if (id == Index)
            return h;
    UINT_PTR idc = IDC_ARROW;
    switch (Index) {
    case crNone: return nullptr;
    case crCross: idc = IDC_CROSS; break;
    case crIBeam: idc = IDC_IBEAM; break;
    case crSizeNESW: idc = IDC_SIZENESW; break;
    case crSizeNS: case crVSplit: idc = IDC_SIZENS; break;
    case crSizeNWSE: idc = IDC_SIZENWSE; break;
    case crSizeWE: case crHSplit: idc = IDC_SIZEWE; break;
    case crUpArrow: idc = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: idc = IDC_WAIT; break;
    case crNoDrop: case crNo: idc = IDC_NO; break;
    case crAppStart: idc = IDC_APPSTARTING; break;
    case crHelp: idc = IDC_HELP; break;
    case crHandPoint: idc = IDC_HAND; break;
    case crSizeAll: idc = IDC_SIZEALL; break;
    default: break;
    }
    return LoadCursor(nullptr, idc);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle)
{
    for (auto& [id, h] : m_cursors)
        if (id == Index) {
            h = Handle;
            return;
        }
    m_cursors.emplace_back(Index, Handle);
}

const std::vector<String>& TScreen::GetFonts()
{
    if (!m_fonts.empty())
        return m_fonts;
    InitFonts();
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family)
                m_fonts.push_back(Utf8ToString(reinterpret_cast<const char*>(family)));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    std::sort(m_fonts.begin(), m_fonts.end(), [](const String& a, const String& b) { return StrLower(a) < StrLower(b); });
    m_fonts.erase(std::unique(m_fonts.begin(), m_fonts.end()), m_fonts.end());
    return m_fonts;
}

int TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::GetWorkAreaRect() const
{
    RECT r;
    if (SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0))
        return r;
    return { 0, 0, GetWidth(), GetHeight() };
}

TRect TScreen::GetDesktopRect() const
{
    return { GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) };
}

TMonitor* TScreen::GetMonitors(int i)
{
    if (i != 0)
        throw EListError(u"List index out of bounds (" + IntToStr(i) + u")");
    m_monitor.m_handle = ::MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY);
    return &m_monitor;
}

TMonitor* TScreen::MonitorFromPoint(TPoint p)
{
    (void)p;
    return GetMonitors(0);
}

TMonitor* TScreen::MonitorFromWindow(HWND h)
{
    (void)h;
    return GetMonitors(0);
}

// ---- TMouse ----

TPoint TMouse::GetCursorPos() const
{
    POINT p;
    ::GetCursorPos(p);
    return { p.X, p.Y };
}

void TMouse::SetCursorPos(TPoint p)
{
    ::SetCursorPos(p.X, p.Y);
}

int TMouse::GetWheelScrollLines() const
{
    UINT lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return int(lines);
}
