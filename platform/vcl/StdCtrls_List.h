#pragma once
// List boxes and combo boxes. Both keep their lines in a TListItems whose
// owner keeps the selection right as lines come and go. The combo box's list
// is a pop-up that never takes activation: the focus stays in the combo (or
// its edit) and the combo routes keys and the captured mouse to the list.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/StdCtrls.h"

// Combo box messages and notifications (numbers of the window system).
inline constexpr UINT CB_GETEDITSEL = 0x0140;
inline constexpr UINT CB_LIMITTEXT = 0x0141;
inline constexpr UINT CB_SETEDITSEL = 0x0142;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_FINDSTRING = 0x014C;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
inline constexpr UINT CB_SETITEMHEIGHT = 0x0153;
inline constexpr UINT CB_GETITEMHEIGHT = 0x0154;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
inline constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
inline constexpr UINT CB_GETTOPINDEX = 0x015B;
inline constexpr UINT CB_SETTOPINDEX = 0x015C;
inline constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
inline constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
inline constexpr UINT CB_GETCOMBOBOXINFO = 0x0164;
inline constexpr LRESULT CB_ERR = -1;

inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_DBLCLK = 2;
inline constexpr WORD CBN_SETFOCUS = 3;
inline constexpr WORD CBN_KILLFOCUS = 4;
inline constexpr WORD CBN_EDITCHANGE = 5;
inline constexpr WORD CBN_EDITUPDATE = 6;
inline constexpr WORD CBN_DROPDOWN = 7;
inline constexpr WORD CBN_CLOSEUP = 8;
inline constexpr WORD CBN_SELENDOK = 9;
inline constexpr WORD CBN_SELENDCANCEL = 10;

inline constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
inline constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;

struct COMBOBOXINFO {
    DWORD cbSize { sizeof(COMBOBOXINFO) };
    RECT rcItem {};
    RECT rcButton {};
    DWORD stateButton { 0 };
    HWND hwndCombo { nullptr };
    HWND hwndItem { nullptr };
    HWND hwndList { nullptr };
};
// Fills `Info` for the combo box `Combo`; false when it is none.
bool GetComboBoxInfo(HWND Combo, COMBOBOXINFO* Info);

enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = Set<TOwnerDrawStateItem>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

// What a list's lines tell their control.
class IListItemsOwner {
public:
    virtual ~IListItemsOwner() = default;
    virtual void ItemInserted(int Index) = 0;
    virtual void ItemDeleted(int Index) = 0;
    virtual void ItemsCleared() = 0;
    virtual void ItemsChanged() = 0;
    virtual bool ItemsSorted() const = 0;
};

// The lines of a list box or combo box, with an object each. A sorted
// owner gets new lines at their sorted place.
class TListItems : public TStrings {
    QT_CLASS(TListItems, TStrings)
public:
    explicit TListItems(IListItemsOwner* Owner = nullptr) : m_owner(Owner) { }
    int GetCount() const override { return int(m_items.size()); }
    int Add(const String& s) override { return AddObject(s, nullptr); }
    int AddObject(const String& s, TObject* obj) override;
    void Insert(int index, const String& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    // Sorts the lines in place (the owner became sorted).
    void Sort();

protected:
    String Get(int index) const override;
    void Put(int index, const String& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;

private:
    struct Item {
        String Text;
        TObject* Object { nullptr };
    };
    void CheckIndex(int index, bool insert = false) const;
    void InsertItem(int index, const String& s, TObject* obj);
    IListItemsOwner* m_owner { nullptr };
    std::vector<Item> m_items;
};

// ---- list box ----

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
QT_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw)

class TCustomListBox : public TCustomControl, public IListItemsOwner {
    QT_CLASS(TCustomListBox, TCustomControl)
public:
    explicit TCustomListBox(TComponent* AOwner = nullptr);
    ~TCustomListBox() override;

    TStrings* GetItems() const { return m_items.get(); }
    void SetItems(TStrings* v) { m_items->Assign(v); }
    int GetCount() const { return m_items->GetCount(); }
    int GetItemIndex() const { return m_itemIndex; }
    // Selects the line (only it, with MultiSelect); -1 clears.
    void SetItemIndex(int v);
    bool GetMultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool v);
    bool GetExtendedSelect() const { return m_extendedSelect; }
    void SetExtendedSelect(bool v) { m_extendedSelect = v; }
    bool GetSelected(int Index) const;
    void SetSelected(int Index, bool v);
    int GetSelCount() const;
    void ClearSelection();
    void SelectAll();
    int GetTopIndex() const { return m_topIndex; }
    void SetTopIndex(int v);
    int GetItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int v);
    TListBoxStyle GetStyle() const { return m_style; }
    void SetStyle(TListBoxStyle v);
    bool GetSorted() const { return m_sorted; }
    void SetSorted(bool v);
    TBorderStyle GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle v);
    // The line at a client point; -1 outside the lines.
    int ItemAtPos(TPoint Pos, bool Existing = true) const;
    TRect ItemRect(int Index) const;
    void Clear() { m_items->Clear(); }

    TDrawItemEvent OnDrawItem;

    void Dispatch(TMessage& Message) override;

    // IListItemsOwner
    void ItemInserted(int Index) override;
    void ItemDeleted(int Index) override;
    void ItemsCleared() override;
    void ItemsChanged() override { Invalidate(); }
    bool ItemsSorted() const override { return m_sorted; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    // Draws one line; the owner-draw styles hand it to OnDrawItem.
    virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
    // A click on a line (a check list box toggles its box here).
    virtual void ItemClicked(int Index, int X) { (void)Index; (void)X; }
    int VisibleRows() const;
    int ScrollBarWidth() const;
    bool ScrollBarShown() const;
    TRect LinesRect() const;
    // Moves the focus (and the selection) to `Index` as the user would.
    void MoveFocusTo(int Index, TShiftState Shift);
    void MakeVisible(int Index);
    void SelectionChanged();

    std::unique_ptr<TListItems> m_items;
    std::vector<bool> m_selected; // MultiSelect only
    int m_itemIndex { -1 };
    int m_anchor { -1 };
    int m_topIndex { 0 };
    int m_itemHeight { 16 };
    bool m_multiSelect { false };
    bool m_extendedSelect { true };
    TListBoxStyle m_style { lbStandard };
    bool m_sorted { false };
    TBorderStyle m_borderStyle { bsSingle };
    String m_typed;
    UInt64 m_typedAt { 0 };
};

class TListBox : public TCustomListBox {
    QT_CLASS(TListBox, TCustomListBox)
public:
    using TCustomListBox::TCustomListBox;
};

// ---- combo box ----

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
QT_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

class TCustomComboBox;

// The edit inside an editable combo box: keys that belong to the list go to
// the combo.
class TComboBoxEdit : public TCustomEdit {
    QT_CLASS(TComboBoxEdit, TCustomEdit)
public:
    explicit TComboBoxEdit(TCustomComboBox* Combo);
    void Dispatch(TMessage& Message) override;

private:
    TCustomComboBox* m_combo { nullptr };
};

// The list of a combo box: a pop-up without activation, or a child for
// csSimple.
class TComboBoxList : public TCustomControl {
    QT_CLASS(TComboBoxList, TCustomControl)
public:
    explicit TComboBoxList(TCustomComboBox* Combo);
    int GetHotIndex() const { return m_hot; }
    void SetHotIndex(int v);
    int GetTopIndex() const { return m_top; }
    void SetTopIndex(int v);
    int ItemAtPos(TPoint Pos) const;
    int VisibleRows() const;
    void MakeVisible(int Index);
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    friend class TCustomComboBox;
    TCustomComboBox* m_combo { nullptr };
    int m_hot { -1 };
    int m_top { 0 };
};

class TCustomComboBox : public TCustomControl, public IListItemsOwner {
    QT_CLASS(TCustomComboBox, TCustomControl)
public:
    explicit TCustomComboBox(TComponent* AOwner = nullptr);
    ~TCustomComboBox() override;

    TComboBoxStyle GetStyle() const { return m_style; }
    void SetStyle(TComboBoxStyle v);
    TStrings* GetItems() const { return m_items.get(); }
    void SetItems(TStrings* v) { m_items->Assign(v); }
    int GetItemIndex() const { return m_itemIndex; }
    // Selects a line without notifications; the text follows it.
    void SetItemIndex(int v);
    String GetText();
    void SetText(const String& v);
    int GetDropDownCount() const { return m_dropDownCount; }
    void SetDropDownCount(int v) { m_dropDownCount = std::max(1, v); }
    bool GetDroppedDown() const { return m_droppedDown; }
    void SetDroppedDown(bool v);
    int GetItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int v);
    // Width of the drop-down list; never narrower than the combo.
    int GetDroppedWidth() const { return std::max(m_droppedWidth, m_width); }
    void SetDroppedWidth(int v) { m_droppedWidth = std::max(0, v); }
    bool GetAutoComplete() const { return m_autoComplete; }
    void SetAutoComplete(bool v) { m_autoComplete = v; }
    bool GetSorted() const { return m_sorted; }
    void SetSorted(bool v);
    int GetMaxLength() const { return m_maxLength; }
    void SetMaxLength(int v);
    int GetSelStart();
    void SetSelStart(int v);
    int GetSelLength();
    void SetSelLength(int v);
    void SelectAll();
    void Clear();
    // The edit of an editable style (null for the list styles).
    TCustomEdit* GetEditControl() const { return m_edit; }
    TComboBoxList* GetListControl() const { return m_list.get(); }
    TRect ButtonRect() const;
    int GetEditHeight() const { return m_editHeight; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;

    void Dispatch(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetFocus() override;

    // IListItemsOwner
    void ItemInserted(int Index) override;
    void ItemDeleted(int Index) override;
    void ItemsCleared() override;
    void ItemsChanged() override;
    bool ItemsSorted() const override { return m_sorted; }

    // Keys of the combo and its edit: true when used.
    bool ComboKey(WORD Key, TShiftState Shift);
    void DrawListItem(TCanvas* Canvas, int Index, TRect Rect, TOwnerDrawState State);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyPress(char16_t& Key) override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();

private:
    friend class TComboBoxList;
    friend class TComboBoxEdit;
    bool IsEditable() const { return m_style == csDropDown || m_style == csSimple; }
    bool HasPopupList() const { return m_style != csSimple; }
    void Notify(WORD Code);
    void CNCommand(TMessage& Message);
    void LayoutChildren();
    void RebuildEdit();
    // The user picked line `Index`: the text follows, then the change
    // notifications.
    void SelectByUser(int Index);
    void OpenList();
    void CloseList(bool Accept);
    void EditChanged();
    void TypeAhead(char16_t Ch);
    void HandleMouse(TMessage& Message);
    LRESULT HandleComboMessage(TMessage& Message);

    std::unique_ptr<TListItems> m_items;
    std::unique_ptr<TComboBoxList> m_list;
    TComboBoxEdit* m_edit { nullptr };
    TComboBoxStyle m_style { csDropDown };
    int m_itemIndex { -1 };
    int m_dropDownCount { 8 };
    bool m_droppedDown { false };
    int m_itemHeight { 16 };
    int m_editHeight { 18 };
    int m_droppedWidth { 0 };
    bool m_autoComplete { true };
    bool m_sorted { false };
    int m_maxLength { 0 };
    String m_listText; // the text of the list styles
    int m_indexAtDrop { -1 };
    bool m_buttonPressed { false };
    bool m_settingText { false };
    bool m_typing { false };
    bool m_openedByPress { false };
    String m_typed;
    UInt64 m_typedAt { 0 };
};

class TComboBox : public TCustomComboBox {
    QT_CLASS(TComboBox, TCustomComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};
