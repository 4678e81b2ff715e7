#pragma once
// Forms (top-level windows holding controls), frames, the application
// object with its message loop, hints and exception reporting, the screen
// (forms, cursors, fonts, monitors) and the mouse.

#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Controls.h"

class THintWindow;
class TStrings;

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
QT_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = Set<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
QT_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
QT_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter)
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
QT_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
enum TCloseAction { caNone, caHide, caFree, caMinimize };

// Message box buttons and answers.
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_ICONSTOP = 0x00000010;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrClose = 8;
inline constexpr TModalResult mrHelp = 9;
inline constexpr TModalResult mrTryAgain = 10;
inline constexpr TModalResult mrContinue = 11;
inline constexpr TModalResult mrAll = 12;
inline constexpr TModalResult mrNoToAll = 13;
inline constexpr TModalResult mrYesToAll = 14;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TWMKey& Msg, bool& Handled)>;

// Accepted for compatibility; the window system draws no glass.
class TGlassFrame : public TPersistent {
    QT_CLASS(TGlassFrame, TPersistent)
public:
    bool GetEnabled() const { return m_enabled; }
    void SetEnabled(bool v) { m_enabled = v; }
    bool GetSheetOfGlass() const { return m_sheetOfGlass; }
    void SetSheetOfGlass(bool v) { m_sheetOfGlass = v; }
    int GetLeft() const { return m_left; }
    void SetLeft(int v) { m_left = v; }
    int GetTop() const { return m_top; }
    void SetTop(int v) { m_top = v; }
    int GetRight() const { return m_right; }
    void SetRight(int v) { m_right = v; }
    int GetBottom() const { return m_bottom; }
    void SetBottom(int v) { m_bottom = v; }

private:
    bool m_enabled { false };
    bool m_sheetOfGlass { false };
    int m_left { 0 };
    int m_top { 0 };
    int m_right { 0 };
    int m_bottom { 0 };
};

class TMonitor : public TObject {
    QT_CLASS(TMonitor, TObject)
public:
    HMONITOR GetHandle() const { return m_handle; }
    int GetMonitorNum() const { return m_num; }
    TRect GetBoundsRect() const;
    TRect GetWorkareaRect() const;
    int GetLeft() const { return GetBoundsRect().Left; }
    int GetTop() const { return GetBoundsRect().Top; }
    int GetWidth() const { return GetBoundsRect().Width(); }
    int GetHeight() const { return GetBoundsRect().Height(); }
    bool GetPrimary() const;
    int GetPixelsPerInch() const { return 96; }

private:
    friend class TScreen;
    HMONITOR m_handle { nullptr };
    int m_num { 0 };
};

// ---- forms ----

class TCustomForm : public TScrollingWinControl {
    QT_CLASS(TCustomForm, TScrollingWinControl)
public:
    explicit TCustomForm(TComponent* AOwner = nullptr);
    // The named constructor of a form built in code (no stored layout).
    TCustomForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner) { (void)Dummy; }
    ~TCustomForm() override;
    // Runs OnCreate; the application calls it for forms it creates.
    virtual void AfterConstruction();

    TFormBorderStyle GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons GetBorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons v);
    TFormStyle GetFormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle v);
    TPosition GetPosition() const { return m_position; }
    void SetPosition(TPosition v) { m_position = v; }
    TWindowState GetWindowState() const { return m_windowState; }
    void SetWindowState(TWindowState v);
    bool GetKeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool v) { m_keyPreview = v; }
    TWinControl* GetActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* v);
    bool GetActive() const { return m_active; }
    TModalResult GetModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult v) { m_modalResult = v; }
    bool GetAlphaBlend() const { return m_alphaBlend; }
    void SetAlphaBlend(bool v);
    Byte GetAlphaBlendValue() const { return m_alphaBlendValue; }
    void SetAlphaBlendValue(Byte v);
    bool GetTransparentColor() const { return m_transparentColor; }
    void SetTransparentColor(bool v);
    TColor GetTransparentColorValue() const { return m_transparentColorValue; }
    void SetTransparentColorValue(TColor v);
    TGlassFrame* GetGlassFrame() const { return m_glassFrame.get(); }
    void SetGlassFrame(TGlassFrame* v) { (void)v; }
    int GetPixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int v);
    bool GetScaled() const { return m_scaled; }
    void SetScaled(bool v) { m_scaled = v; }
    TMonitor* GetMonitor();
    bool IsShowing() const;
    bool GetModal() const { return m_modal; }

    void Show();
    void Hide();
    void Close();
    bool CloseQuery();
    // Destroys the form once the messages being handled are done (the
    // name Release belongs to the component's interface count).
    void ReleaseForm();
    TModalResult ShowModal();
    void BringToFront();

    // Focus bookkeeping of the controls inside.
    void FocusControl(TWinControl* Control);
    bool SetFocusedControl(TWinControl* Control);
    TWinControl* GetFocusedControl() const { return m_focusedControl; }
    void DefocusControl(TWinControl* Control, bool Removing);
    void ControlRemoved(TControl* Control);
    void ControlHidden(TWinControl* Control);
    void SendCancelMode(TControl* Sender);
    virtual bool IsShortCut(TWMKey& Message);

    // The client area of the window, which the form makes on first use so
    // layout sees the real frame.
    TRect GetClientRect() override;
    void Dispatch(TMessage& Message) override;
    void SetFocus() override;
    bool CanFocus() const override { return m_visible && m_enabled; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TShortCutEvent OnShortCut;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void PaintWindow(HDC DC) override;
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void Paint() override;
    TCanvas* GetCanvas() const { return m_canvas.get(); }
    void UpdateWindowPlacement();
    void PlaceByPosition();
    void UpdateLayered();
    void ShowWindowNow(bool show);

    void WMActivate(TMessage& Message);
    void WMClose(TMessage& Message);
    void CMDialogKey(TMessage& Message);

private:
    friend class TApplication;
    TFormBorderStyle m_borderStyle { bsSizeable };
    TBorderIcons m_borderIcons { biSystemMenu, biMinimize, biMaximize };
    TFormStyle m_formStyle { fsNormal };
    TPosition m_position { poDefaultPosOnly };
    TWindowState m_windowState { wsNormal };
    bool m_keyPreview { false };
    TWinControl* m_activeControl { nullptr };
    TWinControl* m_focusedControl { nullptr };
    bool m_active { false };
    TModalResult m_modalResult { mrNone };
    bool m_modal { false };
    bool m_alphaBlend { false };
    Byte m_alphaBlendValue { 255 };
    bool m_transparentColor { false };
    TColor m_transparentColorValue { 0 };
    std::unique_ptr<TGlassFrame> m_glassFrame;
    int m_pixelsPerInch { 96 };
    bool m_scaled { true };
    bool m_placed { false };
    bool m_showingNow { false };
    std::unique_ptr<TControlCanvas> m_canvas;
    std::unique_ptr<TMonitor> m_monitor;
};

class TForm : public TCustomForm {
    QT_CLASS(TForm, TCustomForm)
public:
    using TCustomForm::TCustomForm;
};

// A container of controls designed once and placed on forms.
class TFrame : public TScrollingWinControl {
    QT_CLASS(TFrame, TScrollingWinControl)
public:
    explicit TFrame(TComponent* AOwner = nullptr);
};

// ---- application ----

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;

class TApplication : public TComponent {
    QT_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;

    // Picks the window back end (a desktop when there is one) and the
    // drawing layer.
    void Initialize();
    // Creates a form owned by the application; the first becomes MainForm.
    template<class F>
    F* CreateForm(F*& Reference)
    {
        F* f = new F(this);
        Reference = f;
        FormCreated(f);
        return f;
    }
    void Run();
    void Terminate();
    bool GetTerminated() const { return m_terminated; }
    void ProcessMessages();
    void HandleMessage();
    TCustomForm* GetMainForm() const { return m_mainForm; }
    void SetMainForm(TCustomForm* f) { m_mainForm = f; }
    bool GetShowMainForm() const { return m_showMainForm; }
    void SetShowMainForm(bool v) { m_showMainForm = v; }
    // A hidden window that owns the forms and takes the application's timers.
    HWND GetHandle();
    const String& GetTitle() const { return m_title; }
    void SetTitle(const String& v) { m_title = v; }
    String GetExeName() const;
    void BringToFront();
    // Shows a message and answers the button chosen (IDOK, IDCANCEL, ...).
    int MessageBox(const String& Text, const String& Caption, UINT Flags = 0);
    // Replaces the message box (the dialogs layer installs its own).
    std::function<int(const String& Text, const String& Caption, UINT Flags)> MessageBoxHandler;

    // Reports the exception being handled (call inside a catch block).
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);

    // Hints.
    const String& GetHint() const { return m_hint; }
    void SetHint(const String& v);
    bool GetShowHint() const { return m_showHint; }
    void SetShowHint(bool v);
    int GetHintPause() const { return m_hintPause; }
    void SetHintPause(int v) { m_hintPause = v; }
    int GetHintHidePause() const { return m_hintHidePause; }
    void SetHintHidePause(int v) { m_hintHidePause = v; }
    int GetHintShortPause() const { return m_hintShortPause; }
    void SetHintShortPause(int v) { m_hintShortPause = v; }
    TColor GetHintColor() const { return m_hintColor; }
    void SetHintColor(TColor v) { m_hintColor = v; }
    void CancelHint();
    void ActivateHint(TPoint CursorPos);
    THintWindow* GetHintWindow() const { return m_hintWindow.get(); }

    // Called by the controls.
    void HintMouseMessage(TControl* Control, TMessage& Message);
    void MouseControlChanged(TControl* Control);
    void ControlDestroyed(TControl* Control);
    bool IsKeyMsg(MSG& Msg);

    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    TMessageEvent OnMessage;

private:
    void FormCreated(TCustomForm* f);
    bool ProcessMessage(MSG& Msg);
    void Idle();
    void HintTimerExpired();
    void StartHintTimer(UINT ms, int kind);
    void StopHintTimer();
    static LRESULT AppWindowProc(HWND, UINT, WPARAM, LPARAM);

    TCustomForm* m_mainForm { nullptr };
    bool m_terminated { false };
    bool m_running { false };
    bool m_showMainForm { true };
    bool m_handlingException { false };
    HWND m_handle { nullptr };
    String m_title;
    String m_hint;
    bool m_showHint { true };
    int m_hintPause { 500 };
    int m_hintHidePause { 2500 };
    int m_hintShortPause { 50 };
    TColor m_hintColor { clInfoBk };
    std::unique_ptr<THintWindow> m_hintWindow;
    bool m_hintWindowOwnKind { false }; // m_hintWindow came from a control's class
    TControl* m_hintControl { nullptr };
    TControl* m_hintShownFor { nullptr };
    int m_hintTimerKind { 0 }; // 0 none, 1 show, 2 hide
    TRect m_hintCursorRect;
};

// ---- screen ----

class TScreen : public TComponent {
    QT_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner = nullptr);
    ~TScreen() override;

    int GetFormCount() const { return int(m_forms.size()); }
    TCustomForm* GetForms(int i) const { return m_forms.at(std::size_t(i)); }
    TCustomForm* GetActiveForm() const { return m_activeForm; }
    TWinControl* GetActiveControl() const { return m_activeControl; }
    // The cursor shown over every form (crDefault: each control's own).
    TCursor GetCursor() const { return m_cursor; }
    void SetCursor(TCursor v);
    HCURSOR GetCursors(TCursor Index) const;
    void SetCursors(TCursor Index, HCURSOR Handle);
    // Font families installed, sorted.
    const std::vector<String>& GetFonts();
    int GetWidth() const;
    int GetHeight() const;
    TRect GetWorkAreaRect() const;
    int GetWorkAreaWidth() const { return GetWorkAreaRect().Width(); }
    int GetWorkAreaHeight() const { return GetWorkAreaRect().Height(); }
    TRect GetDesktopRect() const;
    int GetMonitorCount() const { return 1; }
    TMonitor* GetMonitors(int i);
    TMonitor* MonitorFromPoint(TPoint p);
    TMonitor* MonitorFromWindow(HWND h);
    int GetPixelsPerInch() const { return 96; }

    TNotifyEvent OnActiveControlChange;
    TNotifyEvent OnActiveFormChange;

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* f) { m_forms.push_back(f); }
    void RemoveForm(TCustomForm* f);
    void SetActive(TCustomForm* f, TWinControl* c);

    std::vector<TCustomForm*> m_forms;
    TCustomForm* m_activeForm { nullptr };
    TWinControl* m_activeControl { nullptr };
    TCursor m_cursor { crDefault };
    std::vector<std::pair<TCursor, HCURSOR>> m_cursors;
    std::vector<String> m_fonts;
    TMonitor m_monitor;
};

class TMouse {
public:
    TPoint GetCursorPos() const;
    void SetCursorPos(TPoint p);
    int GetDragThreshold() const { return m_dragThreshold; }
    void SetDragThreshold(int v) { m_dragThreshold = v; }
    bool GetDragImmediate() const { return m_dragImmediate; }
    void SetDragImmediate(bool v) { m_dragImmediate = v; }
    int GetWheelScrollLines() const;
    TControl* GetCapture() const { return GetCaptureControl(); }
    bool GetMousePresent() const { return true; }

private:
    int m_dragThreshold { 5 };
    bool m_dragImmediate { true };
};

// The process-wide objects, made on first use.
template<class T>
class TGlobalRef {
public:
    T* operator->() const { return Get(); }
    operator T*() const { return Get(); }
    // Whether the object exists already (asking does not make it).
    explicit operator bool() const;
    T* Get() const;
};
extern TGlobalRef<TApplication> Application;
extern TGlobalRef<TScreen> Screen;
extern TGlobalRef<TMouse> Mouse;

// The parts of a hint "short|long": before and after the bar.
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);
