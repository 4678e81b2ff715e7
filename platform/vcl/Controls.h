#pragma once
// The control framework: TControl (position, alignment, appearance, input
// events), TWinControl (a window of its own, focus, tab order, dialog keys,
// windowless children), TCustomControl (a canvas to paint on),
// TGraphicControl (windowless, painted by its parent) and
// TScrollingWinControl. Messages reach a control through its replaceable
// WindowProc and are dispatched by id through the class chain: each class's
// Dispatch handles its own ids and hands the rest to its parent class's,
// ending in DefaultHandler.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "platform/win/WinUser.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TDragObject;

// ---- messages ----

struct TMessage {
    UINT Msg { 0 };
    WPARAM WParam { 0 };
    LPARAM LParam { 0 };
    LRESULT Result { 0 };
};
using TWndMethod = std::function<void(TMessage&)>;

// A key message as shortcut handlers see it.
struct TWMKey {
    UINT Msg { 0 };
    WORD CharCode { 0 };
    LPARAM KeyData { 0 };
    LRESULT Result { 0 };
};

// Framework messages carry the platform's numbers: callers send them by value.
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
inline constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
inline constexpr UINT CM_CANCELMODE = CM_BASE + 4;
inline constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
inline constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
inline constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr UINT CM_HITTEST = CM_BASE + 10;
inline constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
inline constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
inline constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
inline constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
inline constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
inline constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr UINT CM_ENTER = CM_BASE + 26;
inline constexpr UINT CM_EXIT = CM_BASE + 27;
inline constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
inline constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
inline constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
inline constexpr UINT CM_RELEASE = CM_BASE + 33;
inline constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr UINT CM_WININICHANGE = CM_BASE + 37;
inline constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
inline constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
inline constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
inline constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
inline constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
inline constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
inline constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
inline constexpr UINT CM_GETDATALINK = CM_BASE + 45;
inline constexpr UINT CM_CHILDKEY = CM_BASE + 46;
inline constexpr UINT CM_DRAG = CM_BASE + 47;
inline constexpr UINT CM_HINTSHOW = CM_BASE + 48;
inline constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
inline constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
inline constexpr UINT CM_RECREATEWND = CM_BASE + 51;
inline constexpr UINT CM_INVALIDATE = CM_BASE + 52;
inline constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
inline constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
inline constexpr UINT CM_CHANGED = CM_BASE + 55;
inline constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
inline constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
inline constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
inline constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
inline constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
inline constexpr UINT CM_ISSHORTCUT = CM_BASE + 68;
inline constexpr UINT CM_MOUSEACTIVATE = CM_BASE + 75;
inline constexpr UINT CM_DOUBLEBUFFEREDCHANGED = CM_BASE + 79;
inline constexpr UINT CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 80;
inline constexpr UINT CM_STYLECHANGED = CM_BASE + 81;

// Notifications a parent reflects back to the child that sent them.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + 0x002F;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
inline constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
inline constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
inline constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
inline constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
inline constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
inline constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
inline constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// Hint information a control may change in its CM_HINTSHOW handler
// (LParam points at it).
struct THintInfo {
    class TControl* HintControl { nullptr };
    TPoint HintPos;
    int HintMaxWidth { 0 };
    TColor HintColor { 0 };
    TRect CursorRect;
    TPoint CursorPos;
    int ReshowTimeout { 0 };
    int HideTimeout { 0 };
    String HintStr;
    void* HintData { nullptr };
    // Set by the control for a hint that needs a window of its own kind;
    // empty: the application's window made from HintWindowClass.
    std::function<class THintWindow*(TComponent* AOwner)> HintWindowClass;
};

// ---- value types ----

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
QT_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
QT_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = Set<TAnchorKind>;
// Border styles of forms; controls with a border use the first two.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
QT_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
QT_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
QT_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = Set<TShiftStateItem>;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
QT_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)
enum TStyleElement { seFont, seClient, seBorder };
QT_ENUM(TStyleElement, seFont, seClient, seBorder)
using TStyleElements = Set<TStyleElement>;
enum TDragMode { dmManual, dmAutomatic };
QT_ENUM(TDragMode, dmManual, dmAutomatic)
// Whether dragging a control moves data or docks the control; docking is
// never started here, the value is kept for the forms that set it.
enum TDragKind { dkDrag, dkDock };
QT_ENUM(TDragKind, dkDrag, dkDock)
// The sides a windowed control's bevel is drawn on and its look; kept and
// streamed, the control's frame does not show them.
enum TBevelEdge { beLeft, beTop, beRight, beBottom };
QT_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom)
using TBevelEdges = Set<TBevelEdge>;
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
QT_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
// The answer to a click on an inactive window: the values after maDefault
// are the window system's MA_ACTIVATE ... MA_NOACTIVATEANDEAT.
enum TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };
QT_ENUM(TMouseActivate, maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat)
enum TInteractiveGesture { igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap };
QT_ENUM(TInteractiveGesture, igZoom, igPan, igRotate, igTwoFingerTap, igPressAndTap)
using TInteractiveGestures = Set<TInteractiveGesture>;
enum TInteractiveGestureOption {
    igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia, igoPanGutter, igoParentPassthrough
};
QT_ENUM(TInteractiveGestureOption, igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia,
    igoPanGutter, igoParentPassthrough)
using TInteractiveGestureOptions = Set<TInteractiveGestureOption>;
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
    csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking, csDesignerHide, csPanning, csRecreating,
    csAligning, csGlassPaint, csPrintClient
};
using TControlState = Set<TControlStateItem>;
enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground,
    csPannable, csAlignWithMargins, csGestures
};
using TControlStyle = Set<TControlStyleItem>;

// Cursor identifiers: negative numbers are the built-in shapes.
using TCursor = std::int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSize = -22;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char16_t& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
class TDragDockObject;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TMouseActivateEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y,
    int HitTest, TMouseActivate& MouseActivate)>;
// A touch gesture as the window system reports it (none is reported here).
struct TGestureEventInfo {
    int GestureID { 0 };
    TPoint Location;
    int Flags { 0 };
    double Angle { 0 };
    int Distance { 0 };
    TPoint TapLocation;
};
using TGestureEvent = std::function<void(TObject* Sender, const TGestureEventInfo& EventInfo, bool& Handled)>;

// Shift state from the mouse key flags of a mouse message, and from the
// keyboard now.
TShiftState KeysToShiftState(WORD Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState GetKeyShiftState();
// The window-system cursor for a cursor id (Screen's registry).
HCURSOR CursorHandle(TCursor c);

// ---- touch ----

// A control's touch settings. No touch gestures reach the program here, so
// they only keep their values and stream with the control.
class TTouchManager : public TPersistent {
    QT_CLASS(TTouchManager, TPersistent)
public:
    TInteractiveGestures GetInteractiveGestures() const { return m_gestures; }
    void SetInteractiveGestures(TInteractiveGestures v) { m_gestures = v; }
    TInteractiveGestureOptions GetInteractiveGestureOptions() const { return m_options; }
    void SetInteractiveGestureOptions(TInteractiveGestureOptions v) { m_options = v; }
    bool GetParentTabletOptions() const { return m_parentTabletOptions; }
    void SetParentTabletOptions(bool v) { m_parentTabletOptions = v; }
    void Assign(TPersistent* Source) override;

private:
    TInteractiveGestures m_gestures { igPan, igPressAndTap };
    TInteractiveGestureOptions m_options { igoPanSingleFingerHorizontal, igoPanSingleFingerVertical, igoPanInertia,
        igoPanGutter, igoParentPassthrough };
    bool m_parentTabletOptions { true };
};

// ---- margins, padding, constraints ----

class TControl;

// Four distances around a control or inside a container.
class TMargins : public TPersistent {
    QT_CLASS(TMargins, TPersistent)
public:
    explicit TMargins(TControl* Control = nullptr, int Default = 3);
    int GetLeft() const { return m_left; }
    int GetTop() const { return m_top; }
    int GetRight() const { return m_right; }
    int GetBottom() const { return m_bottom; }
    void SetLeft(int v) { SetBounds(v, m_top, m_right, m_bottom); }
    void SetTop(int v) { SetBounds(m_left, v, m_right, m_bottom); }
    void SetRight(int v) { SetBounds(m_left, m_top, v, m_bottom); }
    void SetBottom(int v) { SetBounds(m_left, m_top, m_right, v); }
    void SetBounds(int ALeft, int ATop, int ARight, int ABottom);
    TControl* GetControl() const { return m_control; }
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    TControl* m_control { nullptr };
    int m_left { 3 };
    int m_top { 3 };
    int m_right { 3 };
    int m_bottom { 3 };
};

class TPadding : public TMargins {
    QT_CLASS(TPadding, TMargins)
public:
    explicit TPadding(TControl* Control = nullptr) : TMargins(Control, 0) { }
};

// Minimum and maximum size; 0 means no limit.
class TSizeConstraints : public TPersistent {
    QT_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* Control = nullptr) : m_control(Control) { }
    int GetMinWidth() const { return m_minWidth; }
    int GetMinHeight() const { return m_minHeight; }
    int GetMaxWidth() const { return m_maxWidth; }
    int GetMaxHeight() const { return m_maxHeight; }
    void SetMinWidth(int v);
    void SetMinHeight(int v);
    void SetMaxWidth(int v);
    void SetMaxHeight(int v);
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TControl* m_control { nullptr };
    int m_minWidth { 0 };
    int m_minHeight { 0 };
    int m_maxWidth { 0 };
    int m_maxHeight { 0 };
};

// ---- TControl ----

class TControl : public TComponent {
    QT_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner = nullptr);
    ~TControl() override;

    TWinControl* GetParent() const { return m_parent; }
    virtual void SetParent(TWinControl* AParent);
    // The window the control draws into: its own, or its parent's.
    virtual HWND GetParentHandle() const;

    int GetLeft() const { return m_left; }
    int GetTop() const { return m_top; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void SetLeft(int v) { SetBounds(v, m_top, m_width, m_height); }
    void SetTop(int v) { SetBounds(m_left, v, m_width, m_height); }
    void SetWidth(int v) { SetBounds(m_left, m_top, v, m_height); }
    void SetHeight(int v) { SetBounds(m_left, m_top, m_width, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect GetBoundsRect() const { return { m_left, m_top, m_left + m_width, m_top + m_height }; }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect GetClientRect();
    int GetClientWidth() { return GetClientRect().Width(); }
    int GetClientHeight() { return GetClientRect().Height(); }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    virtual TPoint GetClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr) const;
    TPoint ParentToClient(TPoint p, TWinControl* AParent = nullptr) const;

    TAlign GetAlign() const { return m_align; }
    void SetAlign(TAlign v);
    bool GetAlignWithMargins() const { return m_alignWithMargins; }
    void SetAlignWithMargins(bool v);
    TMargins* GetMargins() const { return m_margins.get(); }
    void SetMargins(TMargins* v) { m_margins->Assign(v); }
    TAnchors GetAnchors() const { return m_anchors; }
    void SetAnchors(TAnchors v);
    TSizeConstraints* GetConstraints() const { return m_constraints.get(); }
    void SetConstraints(TSizeConstraints* v) { m_constraints->Assign(v); }
    bool GetAutoSize() const { return m_autoSize; }
    virtual void SetAutoSize(bool v);

    bool GetVisible() const { return m_visible; }
    void SetVisible(bool v);
    void Show();
    void Hide() { SetVisible(false); }
    bool GetEnabled() const { return m_enabled; }
    virtual void SetEnabled(bool v);
    // Enabled here and in every parent.
    bool IsEnabledInChain() const;
    TColor GetColor() const { return m_color; }
    void SetColor(TColor v);
    bool GetParentColor() const { return m_parentColor; }
    void SetParentColor(bool v);
    TFont* GetFont() const { return m_font.get(); }
    void SetFont(TFont* v) { m_font->Assign(v); }
    bool GetParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);
    String GetText();
    void SetText(const String& v);
    String GetCaption() { return GetText(); }
    void SetCaption(const String& v) { SetText(v); }
    const String& GetHint() const { return m_hint; }
    void SetHint(const String& v) { m_hint = v; }
    bool GetShowHint() const { return m_showHint; }
    void SetShowHint(bool v);
    bool GetParentShowHint() const { return m_parentShowHint; }
    void SetParentShowHint(bool v);
    TCursor GetCursor() const { return m_cursor; }
    void SetCursor(TCursor v);
    TPopupMenu* GetPopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* v) { m_popupMenu = v; }
    TBiDiMode GetBiDiMode() const { return m_biDiMode; }
    void SetBiDiMode(TBiDiMode v);
    bool GetParentBiDiMode() const { return m_parentBiDiMode; }
    void SetParentBiDiMode(bool v);
    bool UseRightToLeftAlignment() const { return m_biDiMode == bdRightToLeft; }
    bool UseRightToLeftReading() const { return m_biDiMode != bdLeftToRight; }
    TStyleElements GetStyleElements() const { return m_styleElements; }
    void SetStyleElements(TStyleElements v);

    TDragMode GetDragMode() const { return m_dragMode; }
    void SetDragMode(TDragMode v) { m_dragMode = v; }
    TDragKind GetDragKind() const { return m_dragKind; }
    void SetDragKind(TDragKind v) { m_dragKind = v; }
    TTouchManager* GetTouch() const { return m_touch.get(); }
    void SetTouch(TTouchManager* v) { m_touch->Assign(v); }
    TCursor GetDragCursor() const { return m_dragCursor; }
    void SetDragCursor(TCursor v) { m_dragCursor = v; }
    // Starts a drag now, or once the mouse moved `Threshold` pixels (the
    // system drag distance when negative).
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const;
    void EndDrag(bool Drop);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);

    bool GetMouseCapture() const;
    void SetMouseCapture(bool v);

    void BringToFront();
    void SendToBack();

    virtual void Invalidate();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    virtual void Update();

    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // Replaceable entry of every message; WndProc by default.
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // Scales position, size, margins, constraints and (unless it follows
    // its parent) the font by M/D.
    virtual void ChangeScale(int M, int D, bool isDpiChange = false);
    void ScaleForPPI(int NewPPI);
    int GetCurrentPPI() const { return m_currentPPI; }

    TControlState GetControlState() const { return m_controlState; }
    void SetControlState(TControlState v) { m_controlState = v; }
    TControlStyle GetControlStyle() const { return m_controlStyle; }
    void SetControlStyle(TControlStyle v) { m_controlStyle = v; }
    bool IsShowing() const;
    virtual bool IsWindowed() const { return false; }

    // Events.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnResize;
    TContextPopupEvent OnContextPopup;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    // Fires when a click reaches a window that is not active (the windowed
    // control under the mouse, or its graphic child there); the answer
    // decides whether the window activates and whether the click is eaten.
    TMouseActivateEvent OnMouseActivate;
    // Kept for forms that set them: no gestures and no docking happen here.
    TGestureEvent OnGesture;
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;

    // Overridable steps behind the events.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    virtual void Resize();
    virtual void MouseEnter() { if (OnMouseEnter) OnMouseEnter(this); }
    virtual TMouseActivate MouseActivate(TMouseButton Button, TShiftState Shift, int X, int Y, int HitTest);
    virtual void MouseLeave() { if (OnMouseLeave) OnMouseLeave(this); }

    // Used by the container's layout.
    void RequestAlign();
    // Remembers where the control stands relative to its parent's edges,
    // so anchors can keep those distances.
    void UpdateAnchorRules();
    virtual void SetBoundsByAlign(int ALeft, int ATop, int AWidth, int AHeight);

protected:
    virtual void Paint() { }
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    void AdjustSize();
    void ConstrainSize(int& w, int& h) const;
    virtual void VisibleChanging() { }
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    void SendCancelMode(TControl* Sender);
    void AnchorToParent(TSize oldClient, TSize newClient);
    void ScaleMarginsAndConstraints(int M, int D);
    void FontChanged(TObject*);
    void ParentFontChanged();
    void ParentColorChanged();
    bool IsControlOver(TPoint client) const;

    // Message handlers.
    void WMMouse(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMMouseWheel(TMessage& Message);
    void CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

    friend class TWinControl;
    friend class TControlDragger;

    TWinControl* m_parent { nullptr };
    int m_left { 0 };
    int m_top { 0 };
    int m_width { 0 };
    int m_height { 0 };
    TAlign m_align { alNone };
    bool m_alignWithMargins { false };
    std::unique_ptr<TMargins> m_margins;
    TAnchors m_anchors { akLeft, akTop };
    // Distances to the parent's client edges when last placed by hand.
    TRect m_anchorRules;
    bool m_anchorRulesValid { false };
    std::unique_ptr<TSizeConstraints> m_constraints;
    bool m_autoSize { false };
    bool m_visible { true };
    bool m_enabled { true };
    TColor m_color { TColor(0xFF00000F) }; // clBtnFace
    bool m_parentColor { true };
    std::unique_ptr<TFont> m_font;
    bool m_parentFont { true };
    String m_text;
    String m_hint;
    bool m_showHint { false };
    bool m_parentShowHint { true };
    TCursor m_cursor { crDefault };
    TPopupMenu* m_popupMenu { nullptr };
    TBiDiMode m_biDiMode { bdLeftToRight };
    bool m_parentBiDiMode { true };
    TStyleElements m_styleElements { seFont, seClient, seBorder };
    TDragMode m_dragMode { dmManual };
    TDragKind m_dragKind { dkDrag };
    std::unique_ptr<TTouchManager> m_touch { std::make_unique<TTouchManager>() };
    TCursor m_dragCursor { crDrag };
    int m_currentPPI { 96 };
    TControlState m_controlState;
    TControlStyle m_controlStyle { csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks };
    bool m_updatingFont { false };
    bool m_mouseInControl { false };
};

// A drag object handed to OnStartDrag; the framework's default one
// carries the control being dragged.
class TDragObject : public TObject {
    QT_CLASS(TDragObject, TObject)
public:
    TControl* Control { nullptr };
    TPoint DragPos;
    bool Dropped { false };
};

// The drag object of a docking drag (never started here).
class TDragDockObject : public TDragObject {
    QT_CLASS(TDragDockObject, TDragObject)
};

// ---- TWinControl ----

struct TCreateParams {
    String Caption;
    DWORD Style { 0 };
    DWORD ExStyle { 0 };
    int X { 0 };
    int Y { 0 };
    int Width { 0 };
    int Height { 0 };
    HWND WndParent { nullptr };
    void* Param { nullptr };
    UINT WindowClassStyle { CS_DBLCLKS };
    String WinClassName;
};

class TWinControl : public TControl {
    QT_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner = nullptr);
    ~TWinControl() override;

    // The window, created on first use (a child needs its parent's window).
    HWND GetHandle();
    bool HandleAllocated() const { return m_handle != nullptr; }
    void HandleNeeded();
    void RecreateWnd();
    // The control that owns window `h`, or null.
    static TWinControl* FindControl(HWND h);
    bool IsWindowed() const override { return true; }
    HWND GetParentHandle() const override { return m_handle; }
    // For a windowed control without a parent control: the window its
    // window is a child of.
    HWND GetParentWindow() const { return m_parentWindow; }
    void SetParentWindow(HWND h) { m_parentWindow = h; }

    bool GetTabStop() const { return m_tabStop; }
    void SetTabStop(bool v);
    int GetTabOrder() const;
    void SetTabOrder(int v);
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    bool ContainsControl(const TControl* c) const;

    int GetControlCount() const { return int(m_controls.size()); }
    TControl* GetControl(int i) const { return m_controls.at(std::size_t(i)); }
    // The child under `Pos` (client coordinates), the topmost first.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false, bool AllLevels = false);
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    // Tab order of this container and its descendants, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // Sends `Message` to every child until one answers with a result.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    bool GetDoubleBuffered() const { return m_doubleBuffered; }
    void SetDoubleBuffered(bool v);
    bool GetParentDoubleBuffered() const { return m_parentDoubleBuffered; }
    void SetParentDoubleBuffered(bool v);
    int GetBorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int v);
    bool GetCtl3D() const { return m_ctl3D; }
    void SetCtl3D(bool v);
    bool GetParentCtl3D() const { return m_parentCtl3D; }
    void SetParentCtl3D(bool v) { m_parentCtl3D = v; }
    TPadding* GetPadding() const { return m_padding.get(); }
    void SetPadding(TPadding* v) { m_padding->Assign(v); }
    TBevelEdges GetBevelEdges() const { return m_bevelEdges; }
    void SetBevelEdges(TBevelEdges v) { m_bevelEdges = v; }
    TBevelKind GetBevelKind() const { return m_bevelKind; }
    void SetBevelKind(TBevelKind v) { m_bevelKind = v; }
    TBrush* GetBrush() const { return m_brush.get(); }

    // Paints the control and its children onto `DC` at (X, Y).
    void PaintTo(HDC DC, int X, int Y);
    void DisableAlign() { ++m_alignLevel; }
    void EnableAlign();
    void Realign();

    TRect GetClientRect() override;
    TPoint GetClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char16_t& Key);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void DoEnter();
    virtual void DoExit();
    // True when the key message was consumed (the form's key preview
    // included).
    bool DoKeyDown(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    bool DoKeyUp(TMessage& Message);

    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect);
    // Places an alCustom child; the default leaves it where it is.
    virtual void CustomAlignPosition(TControl*, int& /*NewLeft*/, int& /*NewTop*/, int& /*NewWidth*/, int& /*NewHeight*/, TRect& /*AlignRect*/) { }

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void CreateHandle();
    void DestroyHandle();
    virtual void PaintWindow(HDC DC);
    void PaintHandler(TMessage& Message);
    void PaintControls(HDC DC, TControl* First);
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void UpdateBoundsFromWindow();
    void UpdateShowing();
    // Routes a mouse message of this window to the windowless child under
    // the pointer (or the one holding the capture); true when it did.
    bool IsControlMouseMsg(TMessage& Message);
    void TrackMouseControl(TPoint client);
    void AlignChildren();

    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMKey(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMScroll(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMMouseLeave(TMessage& Message);
    void WMMouseActivate(TMessage& Message);
    void WMGetDlgCode(TMessage& Message) { Message.Result = 0; }
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    void CMEnter(TMessage&) { DoEnter(); }
    void CMExit(TMessage&) { DoExit(); }
    void CMFocusChanged(TMessage& Message);
    void CMDialogKey(TMessage& Message) { Broadcast(Message); }
    void CMDialogChar(TMessage& Message) { Broadcast(Message); }

    friend class TControl;
    friend class TCustomForm;
    friend LRESULT ControlWindowProc(HWND, UINT, WPARAM, LPARAM);

    HWND m_handle { nullptr };
    HWND m_parentWindow { nullptr };
    std::vector<TControl*> m_controls; // z-order: last painted on top
    std::vector<TWinControl*> m_tabList;
    bool m_tabStop { false };
    bool m_doubleBuffered { false };
    bool m_parentDoubleBuffered { true };
    int m_borderWidth { 0 };
    bool m_ctl3D { true };
    bool m_parentCtl3D { true };
    TBevelEdges m_bevelEdges { beLeft, beTop, beRight, beBottom };
    TBevelKind m_bevelKind { bkNone };
    std::unique_ptr<TPadding> m_padding;
    std::unique_ptr<TBrush> m_brush;
    int m_alignLevel { 0 };
    bool m_realigning { false };
    bool m_updatingBounds { false };
    TSize m_lastClientSize;
    bool m_showing { false };
};

// Whether `Key` is the character marked with '&' in `Text` (the
// accelerator), compared without case.
bool IsAccel(WORD Key, const String& Text);

// A canvas bound to a control: outside painting it draws through a device
// context of the control's window, made on first use.
class TControlCanvas : public TCanvas {
    QT_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* GetControl() const { return m_control; }
    void SetControl(TControl* c);
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* m_control { nullptr };
    HDC m_dc { nullptr };
    HWND m_window { nullptr };
};

class TCustomControl : public TWinControl {
    QT_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner = nullptr);
    ~TCustomControl() override;
    TCanvas* GetCanvas() const { return m_canvas.get(); }

protected:
    void Paint() override { }
    void PaintWindow(HDC DC) override;
    void DestroyWnd() override;

private:
    std::unique_ptr<TControlCanvas> m_canvas;
};

class TGraphicControl : public TControl {
    QT_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner = nullptr);
    ~TGraphicControl() override;
    TCanvas* GetCanvas() const { return m_canvas.get(); }
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override { }
    void WMPaint(TMessage& Message);

private:
    std::unique_ptr<TControlCanvas> m_canvas;
};

// A scroll bar of a scrolling container: its range follows the children.
class TControlScrollBar : public TPersistent {
    QT_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(class TScrollingWinControl* Control, bool Horizontal) : m_control(Control), m_horizontal(Horizontal) { }
    int GetPosition() const { return m_position; }
    void SetPosition(int v);
    int GetRange() const { return m_range; }
    void SetRange(int v);
    bool GetVisible() const { return m_visible; }
    void SetVisible(bool v);
    int GetIncrement() const { return m_increment; }
    void SetIncrement(int v) { m_increment = v; }
    bool IsScrollBarVisible() const;
    int ScrollPos() const { return IsScrollBarVisible() ? m_position : 0; }

private:
    friend class TScrollingWinControl;
    TScrollingWinControl* m_control { nullptr };
    bool m_horizontal { false };
    int m_position { 0 };
    int m_range { 0 };
    bool m_visible { true };
    int m_increment { 8 };
};

class TScrollingWinControl : public TWinControl {
    QT_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* AOwner = nullptr);
    ~TScrollingWinControl() override;
    TControlScrollBar* GetHorzScrollBar() const { return m_horz.get(); }
    TControlScrollBar* GetVertScrollBar() const { return m_vert.get(); }
    bool GetAutoScroll() const { return m_autoScroll; }
    void SetAutoScroll(bool v);
    // Moves every child by (DeltaX, DeltaY) and scrolls the window's pixels.
    void ScrollBy(int DeltaX, int DeltaY);
    void ScrollInView(TControl* AControl);
    void Dispatch(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void AdjustClientRect(TRect& Rect) override;

protected:
    friend class TControlScrollBar;
    void UpdateScrollBars();

private:
    void WMScrollBar(TMessage& Message, bool Horizontal);
    std::unique_ptr<TControlScrollBar> m_horz;
    std::unique_ptr<TControlScrollBar> m_vert;
    bool m_autoScroll { true };
    bool m_updatingScroll { false };
};

// Shows a control's PopupMenu at a screen point when its context popup
// was not handled; the menus unit installs it. Answers whether it showed.
extern std::function<bool(TPopupMenu* Menu, TControl* Control, TPoint ScreenPos)> PopupMenuHook;

// Gives back the device contexts control canvases took outside painting
// (the application does it after every message).
void FreeDeviceContexts();

// The control whose mouse input is captured (windowless ones included).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* c);
// The control under the mouse pointer that last got CM_MOUSEENTER.
TControl* GetMouseControl();
// The form that holds `Control`, or null.
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);
// The control at a screen point (windowless children included).
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
