#pragma once
// Bars and page controls: tool bars with tool buttons, cool bars with bands
// that host controls, the status bar with its panels, and the page control
// with its tab sheets.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"

class TPopupMenu;

// ---- tool bar ----

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton };
QT_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider, tbsTextButton)

class TToolBar;

class TToolButton : public TGraphicControl {
    QT_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* AOwner = nullptr);
    ~TToolButton() override;

    TToolButtonStyle GetStyle() const { return m_style; }
    void SetStyle(TToolButtonStyle v);
    int GetImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int v);
    bool GetDown() const { return m_down; }
    void SetDown(bool v);
    bool GetGrouped() const { return m_grouped; }
    void SetGrouped(bool v) { m_grouped = v; }
    bool GetAllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool v) { m_allowAllUp = v; }
    bool GetWrap() const { return m_wrap; }
    void SetWrap(bool v);
    bool GetIndeterminate() const { return m_indeterminate; }
    void SetIndeterminate(bool v);
    TPopupMenu* GetDropdownMenu() const { return m_dropdownMenu; }
    void SetDropdownMenu(TPopupMenu* v);
    TToolBar* GetToolBar() const;
    int GetIndex() const;
    // The arrow part of a drop-down button, in client coordinates.
    TRect DropDownRect();
    // Shows the drop-down menu under the button; true when there was one.
    bool CheckMenuDropdown();
    bool IsHot() const { return m_hot; }
    bool IsPressed() const { return m_pressed; }

    void Click() override;
    void SetParent(TWinControl* AParent) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;

    // Runs when the arrow part of a drop-down button is pressed, before the
    // menu is shown.
    TNotifyEvent OnDropDown;

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TToolBar;
    bool IsSeparator() const { return m_style == tbsSeparator || m_style == tbsDivider; }
    // Releases the other down buttons of this button's group.
    void UpdateGroup();
    void Changed();

    TToolButtonStyle m_style { tbsButton };
    int m_imageIndex { -1 };
    bool m_down { false };
    bool m_grouped { false };
    bool m_allowAllUp { false };
    bool m_wrap { false };
    bool m_indeterminate { false };
    TPopupMenu* m_dropdownMenu { nullptr };
    bool m_hot { false };
    bool m_pressed { false };
    bool m_arrowPressed { false };
};

class TToolBar : public TCustomControl {
    QT_CLASS(TToolBar, TCustomControl)
public:
    explicit TToolBar(TComponent* AOwner = nullptr);
    ~TToolBar() override;

    int GetButtonCount() const { return int(m_buttons.size()); }
    TToolButton* GetButtons(int i) const { return m_buttons.at(std::size_t(i)); }
    int GetButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int v);
    int GetButtonHeight() const { return m_buttonHeight; }
    void SetButtonHeight(int v);
    bool GetShowCaptions() const { return m_showCaptions; }
    void SetShowCaptions(bool v);
    bool GetFlat() const { return m_flat; }
    void SetFlat(bool v);
    // Captions to the right of the images instead of below them.
    bool GetList() const { return m_list; }
    void SetList(bool v);
    bool GetWrapable() const { return m_wrapable; }
    void SetWrapable(bool v);
    int GetIndent() const { return m_indent; }
    void SetIndent(int v);
    TCustomImageList* GetImages() const { return m_images; }
    void SetImages(TCustomImageList* v);
    TCustomImageList* GetDisabledImages() const { return m_disabledImages; }
    void SetDisabledImages(TCustomImageList* v);
    TCustomImageList* GetHotImages() const { return m_hotImages; }
    void SetHotImages(TCustomImageList* v);
    void SetAutoSize(bool v) override;

    // Places the buttons in rows; with AutoSize the bar takes their height.
    void ArrangeButtons();
    // The size a button needs with the bar's settings.
    TSize ButtonExtent(TToolButton* Button);

    void InsertButton(TToolButton* Button);
    void RemoveButton(TToolButton* Button);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
    std::vector<TToolButton*> m_buttons;
    int m_buttonWidth { 23 };
    int m_buttonHeight { 22 };
    bool m_showCaptions { false };
    bool m_flat { true };
    bool m_list { false };
    bool m_wrapable { true };
    int m_indent { 0 };
    TCustomImageList* m_images { nullptr };
    TCustomImageList* m_disabledImages { nullptr };
    TCustomImageList* m_hotImages { nullptr };
    bool m_arranging { false };
    int m_rowsHeight { 0 };
};

// ---- cool bar ----

class TCoolBar;

// One band of a cool bar: a gripper, an optional text and a hosted control.
class TCoolBand : public TCollectionItem {
    QT_CLASS(TCoolBand, TCollectionItem)
public:
    explicit TCoolBand(TCollection* Collection = nullptr);
    ~TCoolBand() override;
    TWinControl* GetControl() const { return m_control; }
    void SetControl(TWinControl* v);
    const String& GetText() const { return m_text; }
    void SetText(const String& v);
    int GetWidth() const { return m_width; }
    void SetWidth(int v);
    int GetMinHeight() const { return m_minHeight; }
    void SetMinHeight(int v);
    // Starts a new row.
    bool GetBreak() const { return m_break; }
    void SetBreak(bool v);
    bool GetVisible() const { return m_visible; }
    void SetVisible(bool v);
    TCoolBar* GetCoolBar() const;
    // Where the band lies in the bar (client coordinates) after layout.
    TRect GetBandRect() const { return m_bandRect; }
    String GetDisplayName() const override { return m_text.empty() ? ClassName() : m_text; }
    void Assign(TPersistent* Source) override;

private:
    friend class TCoolBar;
    TWinControl* m_control { nullptr };
    String m_text;
    int m_width { 0 };
    int m_minHeight { 25 };
    bool m_break { true };
    bool m_visible { true };
    TRect m_bandRect;
};

class TCoolBands : public TOwnedCollection {
    QT_CLASS(TCoolBands, TOwnedCollection)
public:
    explicit TCoolBands(TCoolBar* Owner);
    TCoolBand* GetItem(int i) const { return static_cast<TCoolBand*>(TCollection::GetItem(i)); }
    TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
    // The band hosting `Control`, or null.
    TCoolBand* FindBand(TControl* Control) const;
    void Update(TCollectionItem* Item) override;

private:
    TCoolBar* m_coolBar { nullptr };
};

class TCoolBar : public TCustomControl {
    QT_CLASS(TCoolBar, TCustomControl)
public:
    explicit TCoolBar(TComponent* AOwner = nullptr);
    ~TCoolBar() override;
    TCoolBands* GetBands() const { return m_bands.get(); }
    void SetBands(TCoolBands* v) { m_bands->Assign(v); }
    bool GetShowText() const { return m_showText; }
    void SetShowText(bool v);
    bool GetFixedSize() const { return m_fixedSize; }
    void SetFixedSize(bool v) { m_fixedSize = v; }

    // Lays the bands out in rows and places their controls.
    void ArrangeBands();
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
    static constexpr int GripperWidth = 10;
    int TextWidth(const String& Text);
    std::unique_ptr<TCoolBands> m_bands;
    bool m_showText { true };
    bool m_fixedSize { false };
    bool m_arranging { false };
    int m_rowsHeight { 0 };
};

// ---- status bar ----

enum TStatusPanelStyle { psText, psOwnerDraw };
QT_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
QT_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusBar;

class TStatusPanel : public TCollectionItem {
    QT_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* Collection = nullptr);
    const String& GetText() const { return m_text; }
    void SetText(const String& v);
    int GetWidth() const { return m_width; }
    void SetWidth(int v);
    TAlignment GetAlignment() const { return m_alignment; }
    void SetAlignment(TAlignment v);
    TStatusPanelStyle GetStyle() const { return m_style; }
    void SetStyle(TStatusPanelStyle v);
    TStatusPanelBevel GetBevel() const { return m_bevel; }
    void SetBevel(TStatusPanelBevel v);
    String GetDisplayName() const override { return m_text.empty() ? ClassName() : m_text; }
    void Assign(TPersistent* Source) override;

private:
    String m_text;
    int m_width { 50 };
    TAlignment m_alignment { taLeftJustify };
    TStatusPanelStyle m_style { psText };
    TStatusPanelBevel m_bevel { pbLowered };
};

class TStatusPanels : public TOwnedCollection {
    QT_CLASS(TStatusPanels, TOwnedCollection)
public:
    explicit TStatusPanels(TStatusBar* Owner);
    TStatusPanel* GetItem(int i) const { return static_cast<TStatusPanel*>(TCollection::GetItem(i)); }
    TStatusPanel* operator[](int i) const { return GetItem(i); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* m_statusBar { nullptr };
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TCustomControl {
    QT_CLASS(TStatusBar, TCustomControl)
public:
    explicit TStatusBar(TComponent* AOwner = nullptr);
    ~TStatusBar() override;

    TStatusPanels* GetPanels() const { return m_panels.get(); }
    void SetPanels(TStatusPanels* v) { m_panels->Assign(v); }
    // One panel across the whole bar showing SimpleText.
    bool GetSimplePanel() const { return m_simplePanel; }
    void SetSimplePanel(bool v);
    const String& GetSimpleText() const { return m_simpleText; }
    void SetSimpleText(const String& v);
    bool GetSizeGrip() const { return m_sizeGrip; }
    void SetSizeGrip(bool v);
    // Whether child controls may be placed on the bar.
    bool GetAcceptsControls() const { return m_controlStyle.Contains(csAcceptsControls); }
    void SetAcceptsControls(bool v);
    // A panel's rectangle in client coordinates; the last panel reaches the
    // right edge (short of the size grip).
    TRect PanelRect(int Index);
    // The panel under a client point, -1 for none.
    int PanelAt(TPoint P);

    void Dispatch(TMessage& Message) override;
    void PanelsChanged();

    TDrawPanelEvent OnDrawPanel;

protected:
    void Paint() override;
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
    bool ShowsSizeGrip() const;
    TRect GripRect();
    std::unique_ptr<TStatusPanels> m_panels;
    bool m_simplePanel { false };
    String m_simpleText;
    bool m_sizeGrip { true };
};

// ---- page control ----

class TPageControl;

class TTabSheet : public TCustomControl {
    QT_CLASS(TTabSheet, TCustomControl)
public:
    explicit TTabSheet(TComponent* AOwner = nullptr);
    ~TTabSheet() override;
    TPageControl* GetPageControl() const { return m_pageControl; }
    void SetPageControl(TPageControl* v);
    int GetPageIndex() const;
    void SetPageIndex(int v);
    bool GetTabVisible() const { return m_tabVisible; }
    void SetTabVisible(bool v);
    // Index among the visible tabs, -1 when the tab is hidden.
    int GetTabIndex() const;
    int GetImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int v);
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;

private:
    friend class TPageControl;
    TPageControl* m_pageControl { nullptr };
    bool m_tabVisible { true };
    int m_imageIndex { -1 };
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TCustomControl {
    QT_CLASS(TPageControl, TCustomControl)
public:
    explicit TPageControl(TComponent* AOwner = nullptr);
    ~TPageControl() override;

    int GetPageCount() const { return int(m_pages.size()); }
    TTabSheet* GetPages(int i) const { return m_pages.at(std::size_t(i)); }
    TTabSheet* GetActivePage() const { return m_activePage; }
    void SetActivePage(TTabSheet* v);
    int GetActivePageIndex() const;
    void SetActivePageIndex(int v);
    // Index of the active tab among the visible tabs.
    int GetTabIndex() const { return m_activePage ? m_activePage->GetTabIndex() : -1; }
    TCustomImageList* GetImages() const { return m_images; }
    void SetImages(TCustomImageList* v);
    // The next (or previous) page with a visible tab after `CurrentPage`.
    TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible);
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    // Tab rectangles in client coordinates (visible tabs only, by tab index).
    TRect TabRect(int TabIndex);
    int IndexOfTabAt(int X, int Y);
    int GetTabHeight();

    void AdjustClientRect(TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    virtual bool CanChange();
    virtual void Change();
    // A change the user asked for: OnChanging may refuse it.
    void ChangeActivePageByUser(TTabSheet* Page);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void ShowActivePage();
    std::vector<TTabSheet*> VisibleTabs() const;
    std::vector<TTabSheet*> m_pages;
    TTabSheet* m_activePage { nullptr };
    TCustomImageList* m_images { nullptr };
};
