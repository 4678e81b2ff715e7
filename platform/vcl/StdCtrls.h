#pragma once
// Standard controls: labels, push buttons, check boxes, radio buttons,
// group boxes and scroll bars, painted classic or in the active visual
// style. The alignment types here are shared by every control with text.

#include <functional>

#include "platform/vcl/Forms.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
QT_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
using TLeftRight = TAlignment;
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
QT_ENUM(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter)
enum TTextLayout { tlTop, tlCenter, tlBottom };
QT_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
QT_ENUM(TEllipsisPosition, epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis)
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
QT_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
enum TScrollBarKind { sbHorizontal, sbVertical };
QT_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
QT_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll)

using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// Whether the active visual style paints `Element` of this control.
bool StyledElement(const TControl* Control, TStyleElement Element);
// A colour as the control shows it (RGB): through the active style when it
// paints `Element` of the control, else through the classic colour table.
TColor ControlColorToRGB(const TControl* Control, TColor Color, TStyleElement Element = seClient);

// ---- label ----

class TCustomLabel : public TGraphicControl {
    QT_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner = nullptr);

    TAlignment GetAlignment() const { return m_alignment; }
    void SetAlignment(TAlignment v);
    TTextLayout GetLayout() const { return m_layout; }
    void SetLayout(TTextLayout v);
    bool GetWordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v);
    bool GetTransparent() const { return m_transparent; }
    void SetTransparent(bool v);
    bool GetShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool v);
    TEllipsisPosition GetEllipsisPosition() const { return m_ellipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition v);
    TWinControl* GetFocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* v);
    // Accepted; the window system draws no glow.
    int GetGlowSize() const { return m_glowSize; }
    void SetGlowSize(int v) { m_glowSize = v; }
    void SetAutoSize(bool v) override;

    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    // Resizes to the text when AutoSize is on, keeping the anchored edge.
    void AdjustBounds();
    // The DrawText flags of the current settings.
    UINT TextFlags() const;
    // Draws the caption in `R`, or with DT_CALCRECT measures it into `R`.
    void DoDrawText(HDC DC, TRect& R, UINT Flags);

private:
    TAlignment m_alignment { taLeftJustify };
    TTextLayout m_layout { tlTop };
    bool m_wordWrap { false };
    bool m_transparent { false };
    bool m_showAccelChar { true };
    TEllipsisPosition m_ellipsisPosition { epNone };
    TWinControl* m_focusControl { nullptr };
    int m_glowSize { 0 };
};

class TLabel : public TCustomLabel {
    QT_CLASS(TLabel, TCustomLabel)
public:
    using TCustomLabel::TCustomLabel;
};

// ---- buttons ----

// A windowed control with a caption that can be clicked from the keyboard.
class TButtonControl : public TCustomControl {
    QT_CLASS(TButtonControl, TCustomControl)
public:
    explicit TButtonControl(TComponent* AOwner = nullptr);
    bool GetWordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v);
    void Dispatch(TMessage& Message) override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    // What a click by mouse, space bar or accelerator does.
    virtual void ButtonClicked() { Click(); }
    // Pressed look: the mouse is down inside, or the space bar is held.
    bool IsPressed() const { return m_mousePressed || m_spacePressed; }
    bool IsHot() const { return m_hot; }
    void SetPressedState(bool mouse, bool space);

private:
    bool m_wordWrap { false };
    bool m_hot { false };
    bool m_mousePressed { false };
    bool m_spacePressed { false };
};

class TButton : public TButtonControl {
    QT_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner = nullptr);

    bool GetDefault() const { return m_default; }
    void SetDefault(bool v);
    bool GetCancel() const { return m_cancel; }
    void SetCancel(bool v) { m_cancel = v; }
    TModalResult GetModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult v) { m_modalResult = v; }
    // Sets the form's ModalResult (when the button has one), then OnClick.
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;

private:
    // The default button answers Enter unless another button has the focus;
    // a focused button answers it itself.
    bool m_active { false };
    bool m_default { false };
    bool m_cancel { false };
    TModalResult m_modalResult { 0 };
};

class TCustomCheckBox : public TButtonControl {
    QT_CLASS(TCustomCheckBox, TButtonControl)
public:
    explicit TCustomCheckBox(TComponent* AOwner = nullptr);

    TCheckBoxState GetState() const { return m_state; }
    // A change fires OnClick, whoever makes it.
    void SetState(TCheckBoxState v);
    bool GetChecked() const { return m_state == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    bool GetAllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool v) { m_allowGrayed = v; }
    // Which side of the box the caption stands on.
    TLeftRight GetAlignment() const { return m_alignment; }
    void SetAlignment(TLeftRight v);
    // Unchecked -> grayed (when allowed) or checked; grayed -> checked;
    // checked -> unchecked.
    virtual void Toggle();

protected:
    void Paint() override;
    void ButtonClicked() override { Toggle(); }

private:
    TCheckBoxState m_state { cbUnchecked };
    bool m_allowGrayed { false };
    TLeftRight m_alignment { taRightJustify };
};

class TCheckBox : public TCustomCheckBox {
    QT_CLASS(TCheckBox, TCustomCheckBox)
public:
    using TCustomCheckBox::TCustomCheckBox;
};

class TRadioButton : public TButtonControl {
    QT_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner = nullptr);
    bool GetChecked() const { return m_checked; }
    // Checking unchecks the other radio buttons of the same parent and fires
    // OnClick.
    void SetChecked(bool v);
    TLeftRight GetAlignment() const { return m_alignment; }
    void SetAlignment(TLeftRight v);

protected:
    void Paint() override;
    void ButtonClicked() override { SetChecked(true); }
    void DoEnter() override;

private:
    bool m_checked { false };
    TLeftRight m_alignment { taRightJustify };
};

// ---- group box ----

class TCustomGroupBox : public TCustomControl {
    QT_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner = nullptr);
    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
    QT_CLASS(TGroupBox, TCustomGroupBox)
public:
    using TCustomGroupBox::TCustomGroupBox;
};

// ---- scroll bar ----

class TScrollBar : public TCustomControl {
    QT_CLASS(TScrollBar, TCustomControl)
public:
    explicit TScrollBar(TComponent* AOwner = nullptr);
    ~TScrollBar() override;

    TScrollBarKind GetKind() const { return m_kind; }
    void SetKind(TScrollBarKind v);
    int GetMin() const { return m_min; }
    void SetMin(int v) { SetParams(m_position, v, m_max); }
    int GetMax() const { return m_max; }
    void SetMax(int v) { SetParams(m_position, m_min, v); }
    int GetPosition() const { return m_position; }
    void SetPosition(int v) { SetParams(v, m_min, m_max); }
    int GetPageSize() const { return m_pageSize; }
    // EInvalidOperation when larger than the range.
    void SetPageSize(int v);
    int GetSmallChange() const { return m_smallChange; }
    void SetSmallChange(int v) { m_smallChange = v; }
    int GetLargeChange() const { return m_largeChange; }
    void SetLargeChange(int v) { m_largeChange = v; }
    // EInvalidOperation when AMax < AMin or the page does not fit; the
    // position is kept inside the range. OnChange when it moved.
    void SetParams(int APosition, int AMin, int AMax);
    // The largest position the thumb can reach.
    int MaxPosition() const;

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // OnScroll may change the position it is told before it is taken.
    virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);
    virtual void Change();

private:
    enum class THit { None, Less, More, PageLess, PageMore, Thumb };
    void DoScroll(TScrollCode Code);
    // Held on an arrow or the track, the bar keeps scrolling: a first pause,
    // then a quicker beat, while the pointer stays on the part pressed.
    void RepeatScroll();
    void StopRepeat();
    bool Horizontal() const { return m_kind == sbHorizontal; }
    int ArrowSize();
    // Track between the arrows (along the bar's length) and the thumb in it.
    void TrackExtent(int& start, int& length);
    void ThumbExtent(int& start, int& length);
    THit HitAt(TPoint p);
    int AlongOf(TPoint p) const { return Horizontal() ? p.X : p.Y; }

    TScrollBarKind m_kind { sbHorizontal };
    int m_min { 0 };
    int m_max { 100 };
    int m_position { 0 };
    int m_pageSize { 0 };
    int m_smallChange { 1 };
    int m_largeChange { 1 };
    THit m_pressed { THit::None };
    int m_dragOffset { 0 };
    int m_trackPos { 0 };
    bool m_repeating { false };
    TPoint m_pressPoint;
};
