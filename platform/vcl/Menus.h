#pragma once
// Keyboard shortcuts (a virtual key with modifier bits in one 16-bit value,
// and its text form "Ctrl+S"), menu items, the main menu bar and pop-up
// menus with their modal menu loop.

#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"

using TShortCut = std::uint16_t;
inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// Modifiers in the order Shift, Ctrl, Alt, then the key's name; empty for a
// key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse, ignoring case and blanks around '+'; 0 for text that names
// no key.
TShortCut TextToShortCut(const String& Text);
// The shortcut a key message makes with the modifiers held now.
TShortCut ShortCutFromMessage(const TWMKey& Message);

// ---- menus ----

class TCustomImageList;
class TMenu;
class TMenuBar;

enum TMenuAutoFlag { maAutomatic, maManual, maParent };
QT_ENUM(TMenuAutoFlag, maAutomatic, maManual, maParent)
enum TPopupAlignment { paLeft, paRight, paCenter };
QT_ENUM(TPopupAlignment, paLeft, paRight, paCenter)

QT_DECLARE_EXCEPTION(EMenuError, Exception);

// One command of a menu, and the list of the commands under it.
class TMenuItem : public TComponent {
    QT_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner = nullptr);
    ~TMenuItem() override;

    const String& GetCaption() const { return m_caption; }
    void SetCaption(const String& v);
    // A caption of "-" makes a separator line.
    bool IsLine() const { return m_caption == u"-"; }
    bool GetChecked() const { return m_checked; }
    // Checking a radio item unchecks the others of its group.
    void SetChecked(bool v);
    bool GetRadioItem() const { return m_radioItem; }
    void SetRadioItem(bool v) { m_radioItem = v; Changed(); }
    Byte GetGroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(Byte v) { m_groupIndex = v; }
    bool GetEnabled() const { return m_enabled; }
    void SetEnabled(bool v);
    bool GetVisible() const { return m_visible; }
    void SetVisible(bool v);
    bool GetDefault() const { return m_default; }
    void SetDefault(bool v);
    TShortCut GetShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut v) { m_shortCut = v; Changed(); }
    int GetImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int v) { m_imageIndex = v; Changed(); }
    const String& GetHint() const { return m_hint; }
    void SetHint(const String& v) { m_hint = v; }
    TMenuAutoFlag GetAutoHotkeys() const { return m_autoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag v) { m_autoHotkeys = v; }
    // The image list of the item's menu (or of the nearest parent that has one).
    TCustomImageList* GetImages() const;
    void SetSubMenuImages(TCustomImageList* v) { m_subMenuImages = v; Changed(); }

    int GetCount() const { return int(m_items.size()); }
    TMenuItem* GetItems(int Index) const;
    TMenuItem* operator[](int Index) const { return GetItems(Index); }
    TMenuItem* GetParent() const { return m_parentItem; }
    int GetMenuIndex() const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Deletes the item at Index (the item is destroyed).
    void Delete(int Index);
    // Takes the item out without destroying it.
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The child whose caption is `ACaption` (ignoring '&' and case).
    TMenuItem* Find(const String& ACaption) const;
    TMenu* GetMenu() const;
    // The caption as shown: with '&' marks added when AutoHotkeys asks.
    String DisplayCaption() const;

    // OnClick, and the radio/auto-check rules.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    friend class TMenu;
    void Changed();
    TCustomImageList* ImagesOfParent() const;

    String m_caption;
    bool m_checked { false };
    bool m_radioItem { false };
    Byte m_groupIndex { 0 };
    bool m_enabled { true };
    bool m_visible { true };
    bool m_default { false };
    TShortCut m_shortCut { 0 };
    int m_imageIndex { -1 };
    String m_hint;
    TMenuAutoFlag m_autoHotkeys { maParent };
    TCustomImageList* m_subMenuImages { nullptr };
    std::vector<TMenuItem*> m_items;
    TMenuItem* m_parentItem { nullptr };
    TMenu* m_menu { nullptr };
};

class TMenu : public TComponent {
    QT_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner = nullptr);
    ~TMenu() override;
    TMenuItem* GetItems() const { return m_items.get(); }
    TCustomImageList* GetImages() const { return m_images; }
    void SetImages(TCustomImageList* v);
    TMenuAutoFlag GetAutoHotkeys() const { return m_autoHotkeys; }
    void SetAutoHotkeys(TMenuAutoFlag v) { m_autoHotkeys = v; MenuChanged(); }
    // Runs the visible, enabled item whose ShortCut the key message makes;
    // true when one ran.
    bool IsShortCut(TWMKey& Message);
    // The item with that shortcut, searching the whole tree.
    TMenuItem* FindItemByShortCut(TShortCut ShortCut) const;
    virtual void MenuChanged() { }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> m_items;
    TCustomImageList* m_images { nullptr };
    TMenuAutoFlag m_autoHotkeys { maAutomatic };
};

// The menu bar of the form that owns it: a strip at the top of the form,
// opened by a click, by Alt or F10 and the arrows, by Alt and an
// accelerator; item shortcuts work anywhere in the form.
class TMainMenu : public TMenu {
    QT_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner = nullptr);
    ~TMainMenu() override;
    // Places the bar on `Form` (done on creation when the owner is a form).
    void AttachTo(TCustomForm* Form);
    TCustomForm* GetForm() const { return m_form; }
    TMenuBar* GetMenuBar() const { return m_bar; }
    void MenuChanged() override;
    // Alt was pressed alone: once it is released, the bar takes the keys.
    void AltCheck();

private:
    void FormMessage(TMessage& Message);
    TCustomForm* m_form { nullptr };
    TMenuBar* m_bar { nullptr };
    TWndMethod m_oldFormProc;
    bool m_altArmed { false };
    UINT_PTR m_altTimer { 0 };
};

class TPopupMenu : public TMenu {
    QT_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner = nullptr);
    TPopupAlignment GetAlignment() const { return m_alignment; }
    void SetAlignment(TPopupAlignment v) { m_alignment = v; }
    bool GetAutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool v) { m_autoPopup = v; }
    // The control the menu was last opened for.
    TComponent* GetPopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(TComponent* v) { m_popupComponent = v; }
    TPoint GetPopupPoint() const { return m_popupPoint; }
    // Shows the menu at a screen point and runs the menu loop until an
    // item is chosen or the menu is dismissed; the chosen item's OnClick
    // runs after the menu closed.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

private:
    TPopupAlignment m_alignment { paLeft };
    bool m_autoPopup { true };
    TComponent* m_popupComponent { nullptr };
    TPoint m_popupPoint;
};

// The strip a main menu paints at the top of its form.
class TMenuBar : public TCustomControl {
    QT_CLASS(TMenuBar, TCustomControl)
public:
    TMenuBar(TComponent* AOwner, TMainMenu* Menu);
    int GetHotIndex() const { return m_hot; }
    void SetHotIndex(int v);
    bool GetPushed() const { return m_pushed; }
    void SetPushed(bool v);
    // Screen rectangle of a top-level item; empty for a hidden one.
    TRect ItemRect(int Index);
    int ItemAtPos(TPoint Client);
    TMainMenu* GetMenu() const { return m_menu; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TMainMenu;
    void LayoutItems();
    TMainMenu* m_menu { nullptr };
    std::vector<TRect> m_itemRects;
    int m_hot { -1 };
    bool m_pushed { false };
};

// Runs the menu loop for the bar of `Menu` with top item `Index` open (or
// only selected when `Open` is false); answers the item chosen, already run.
TMenuItem* TrackMenuBar(TMainMenu* Menu, int Index, bool Open);
// The menu window open at the given depth while a loop runs (0 the first
// pop-up), or null (tests look at the open menus with these two).
HWND OpenMenuWindow(int Depth);
// Screen rectangle of child `Index` in the menu window open at `Depth`;
// empty when there is none.
TRect OpenMenuItemRect(int Depth, int Index);
