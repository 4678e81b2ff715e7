#pragma once
// An edit link lets any control serve as the grid's in-place editor: a
// component derived from TEditLink is assigned to the grid's EditLink, and
// a cell whose editor kind is edCustom is edited through it. The link
// creates, fills and reads its control through the hooks below; the base
// class places the control on the cell or in a pop-up form, hands the
// grid's keys back to the grid and writes the value.

#include "platform/rtl/Classes.h"
#include "platform/vcl/Controls.h"

class TDedOzovedUrad;
class TForm;
class TFont;

enum TEditStyle { esInplace, esPopup };
QT_ENUM(TEditStyle, esInplace, esPopup)

class TEditLink : public TComponent {
    QT_CLASS(TEditLink, TComponent)
public:
    explicit TEditLink(TComponent* AOwner = nullptr);
    ~TEditLink() override;

    // The grid that showed the link last.
    TDedOzovedUrad* GetGrid() const { return FOwner; }
    TPoint GetEditCell() const { return FEditCell; }

    bool GetWantKeyLeftRight() const { return FWantKeyLeftRight; }
    void SetWantKeyLeftRight(bool Value) { FWantKeyLeftRight = Value; }
    bool GetWantKeyUpDown() const { return FWantKeyUpDown; }
    void SetWantKeyUpDown(bool Value) { FWantKeyUpDown = Value; }
    bool GetWantKeyHomeEnd() const { return FWantKeyHomeEnd; }
    void SetWantKeyHomeEnd(bool Value) { FWantKeyHomeEnd = Value; }
    bool GetWantKeyPriorNext() const { return FWantKeyPriorNext; }
    void SetWantKeyPriorNext(bool Value) { FWantKeyPriorNext = Value; }
    bool GetWantKeyReturn() const { return FWantKeyReturn; }
    void SetWantKeyReturn(bool Value) { FWantKeyReturn = Value; }
    bool GetWantKeyEscape() const { return FWantKeyEscape; }
    void SetWantKeyEscape(bool Value) { FWantKeyEscape = Value; }
    TEditStyle GetEditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle Value) { FEditStyle = Value; }
    int GetPopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int Value) { FPopupWidth = Value; }
    int GetPopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int Value) { FPopupHeight = Value; }
    // -1: at the cell.
    int GetPopupLeft() const { return FPopupLeft; }
    void SetPopupLeft(int Value) { FPopupLeft = Value; }
    int GetPopupTop() const { return FPopupTop; }
    void SetPopupTop(int Value) { FPopupTop = Value; }
    bool GetAutoPopupWidth() const { return FAutoPopupWidth; }
    void SetAutoPopupWidth(bool Value) { FAutoPopupWidth = Value; }
    int GetTag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }
    bool GetDropDown() const { return FDropDown; }
    void SetDropDown(bool Value) { FDropDown = Value; }
    bool GetWantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool GetWantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool GetWantHTML() const { return FWantHTML; }
    void SetWantHTML(bool Value) { FWantHTML = Value; }
    bool GetKeepFocus() const { return FKeepFocus; }
    void SetKeepFocus(bool Value) { FKeepFocus = Value; }
    // The pop-up form while one is shown; the link owns it.
    TForm* GetPopupForm() const { return FPopupForm; }
    bool GetSubClassed() const { return FSubClassed; }

    // ---- hooks of a concrete link (the base versions do nothing) ----
    virtual void EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual TWinControl* GetEditControl() { return nullptr; }
    virtual void CreateEditor(TWinControl* /*AParent*/) { }
    virtual void DestroyEditor() { }
    virtual void HideEditor();
    virtual void SetFocus(bool Value);
    virtual void SetRect(TRect R);
    virtual void SetVisible(bool Value);
    virtual void SetProperties() { }
    virtual void SetCellProps(TColor /*AColor*/, TFont* /*AFont*/) { }
    virtual String GetEditorValue() { return String(); }
    virtual void SetEditorValue(const String& /*S*/) { }

    // ---- what the base class does for a link ----
    // Gives the control its own window procedure back and hides it.
    void RestoreWinProc();
    TWinControl* GetParent();
    String GetCellValue();
    void SetCellValue(const String& S);
    void EditExit(TObject* Sender);
    // The pop-up form lost the activation.
    void FormExit(TObject* Sender);

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TDedOzovedUrad;
    // The grid showing the link (set by the grid each time it shows it).
    void Attach(TDedOzovedUrad* AGrid, TPoint ACell);
    // The pop-up form, made once per pop-up and owned by the link; placed
    // at P (screen) and sized W x H.
    TForm* PopupFormAt(TPoint P, int W, int H, double Scale);
    void FreePopupForm();
    // Marks a focus move the link makes itself.
    void FocusGrid();

    TDedOzovedUrad* FOwner { nullptr };
    bool FWantKeyLeftRight { false };
    bool FWantKeyUpDown { false };
    bool FWantKeyHomeEnd { false };
    bool FWantKeyPriorNext { false };
    bool FWantKeyReturn { false };
    bool FWantKeyEscape { false };
    TEditStyle FEditStyle { esInplace };
    TForm* FPopupForm { nullptr };
    int FPopupWidth { 0 };
    int FPopupHeight { 0 };
    bool FForcedExit { false };
    TPoint FEditCell { -1, -1 };
    int FTag { 0 };
    bool FAutoPopupWidth { false };
    int FPopupLeft { -1 };
    int FPopupTop { -1 };
    bool FSubClassed { false };
    bool FWantReturns { false };
    bool FWantTabs { false };
    bool FWantHTML { false };
    bool FKeepFocus { false };
    bool FDropDown { false };
    // The control's own window procedure while the grid's stands in.
    TWndMethod FSavedWinProc;
    TWinControl* FSubClassedControl { nullptr };
};
