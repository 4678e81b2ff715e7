#pragma once
// The scrolling grid of items the image, detail and colour drop-downs show:
// items of one size in a fixed number of columns, each a caption with a
// picture, a list image or a colour box, with a hot and a selected item
// painted from an appearance with four colour presets. Keys are the host's:
// it forwards them to the select and hot operations.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemLayout.h"
#include "graphics/LumOwnedCollection.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Graphics.h"

class TCustomImageList;
class TLumCustomItemSelector;

enum TSelectorType { stImage, stColor };
QT_ENUM(TSelectorType, stImage, stColor)

using TDrawItemsEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;
using TDrawItemEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TRect R, int Index)>;
using TItemSizeEvent = std::function<void(TObject* Sender, TSize& ASize)>;

class TSelectorItem : public TCollectionItem {
    QT_CLASS(TSelectorItem, TCollectionItem)
public:
    explicit TSelectorItem(TCollection* Collection = nullptr);
    ~TSelectorItem() override;
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TPicture* GetImage() const { return FImage.get(); }
    void SetImage(TPicture* Value) { FImage->Assign(Value); }
    const String& GetHint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    const TRect& GetRect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }
    // A picture that is there wins over the list image.
    bool HasPicture() const;

private:
    void Changed();

    String FCaption;
    int FImageIndex { -1 };
    // A disabled item can be neither hot nor selected.
    bool FEnabled { true };
    TColor FColor { clNone };
    std::unique_ptr<TPicture> FImage;
    TRect FRect;
    String FHint;
};

class TSelectorItems : public TLumOwnedCollection<TSelectorItem> {
    QT_CLASS(TSelectorItems, TOwnedCollection)
public:
    explicit TSelectorItems(TPersistent* AOwner);

    TSelectorItem* Add() { return static_cast<TSelectorItem*>(TCollection::Add()); }
    TSelectorItem* Insert(int Index) { return static_cast<TSelectorItem*>(TCollection::Insert(Index)); }
    TSelectorItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TSelectorItem* Value) { GetItem(Index)->Assign(Value); }
    TSelectorItem* operator[](int Index) const { return GetItem(Index); }

    // Fired when an item's caption, colour or image index changes (adding
    // and removing items fire nothing: hosts re-arrange after filling).
    TNotifyEvent OnChange;
};

// The hot and selected looks of the selector's items.
class TItemAppearance : public TPersistent {
    QT_CLASS(TItemAppearance, TPersistent)
public:
    explicit TItemAppearance(TPersistent* AOwner = nullptr);
    ~TItemAppearance() override;
    void Assign(TPersistent* Source) override;

    TSelectionColorStyle GetColorStyle() const { return FColorStyle; }
    // The named styles overwrite the twelve preset colours; scCustom keeps them.
    void SetColorStyle(TSelectionColorStyle Value);

#define LUM_ITEM_COLOR(Name)                              \
    TColor Get##Name() const { return F##Name; }          \
    void Set##Name(TColor Value) { F##Name = Value; }
    LUM_ITEM_COLOR(ColorMirrorHotTo)
    LUM_ITEM_COLOR(BorderColor)
    LUM_ITEM_COLOR(ColorMirrorHot)
    LUM_ITEM_COLOR(ColorSelectedTo)
    LUM_ITEM_COLOR(ColorSelected)
    LUM_ITEM_COLOR(EdgeColor)
    LUM_ITEM_COLOR(ColorHotTo)
    LUM_ITEM_COLOR(BorderColorBottom)
    LUM_ITEM_COLOR(ColorHot)
    LUM_ITEM_COLOR(BorderColorTop)
    LUM_ITEM_COLOR(ColorMirrorSelectedTo)
    LUM_ITEM_COLOR(ColorMirrorSelected)
    LUM_ITEM_COLOR(ColorSelectedText)
    LUM_ITEM_COLOR(ColorHotText)
    LUM_ITEM_COLOR(BorderColorHot)
    LUM_ITEM_COLOR(BorderColorSelected)
#undef LUM_ITEM_COLOR
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }

    TPersistent* FOwner { nullptr };
    TNotifyEvent OnChange;

private:
    TColor FColorMirrorHotTo { clNone };
    TColor FBorderColor { clNone };
    TColor FColorMirrorHot { clNone };
    TColor FColorSelectedTo { clNone };
    TColor FColorSelected { clNone };
    TColor FEdgeColor { clNone };
    TColor FColorHotTo { clNone };
    TColor FBorderColorBottom { clNone };
    TColor FColorHot { clNone };
    TColor FBorderColorTop { clNone };
    TColor FColorMirrorSelectedTo { clNone };
    TColor FColorMirrorSelected { clNone };
    TColor FColorSelectedText { clBlack };
    TColor FColorHotText { clBlack };
    TSelectionColorStyle FColorStyle { scCustom };
    std::unique_ptr<TFont> FFont;
    TColor FBorderColorHot { clNone };
    TColor FBorderColorSelected { clNone };
};

// The panel inside the scrolling window: sized to hold all items, it lays
// them out, paints them and follows the mouse.
class TCustomItemSelector : public TCustomControl {
    QT_CLASS(TCustomItemSelector, TCustomControl)
public:
    // AOwner must be the selector that scrolls the panel.
    explicit TCustomItemSelector(TComponent* AOwner);
    ~TCustomItemSelector() override;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    // Selects the next item whose plain caption starts with S (S upper-cased
    // by the caller); True when one was selected.
    bool LookupItem(const String& S);
    void GetItemRect(int Index, TRect& R) const;
    int ItemAtPos(int X, int Y) const;
    // Paints only the item's background (the hot or selected look).
    void DrawItemBackground(int Index, TCanvas* Canvas);

    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int GetItemHot() const { return FItemHot; }
    void SetItemHot(int Index);

    int GetColumns() const;
    TSelectorItems* GetItems() const;
    TSelectorType GetSelectorType() const;
    TItemLayout GetItemLayout() const;
    TCustomImageList* GetImages() const;
    TSelectionColorStyle GetItemColorStyle() const;
    TColor GetItemColorHot() const;
    TColor GetItemColorHotTo() const;
    TColor GetItemColorSelected() const;
    TColor GetItemColorSelectedTo() const;
    int GetColorBoxHeight() const;
    int GetColorBoxWidth() const;
    TLumCustomItemSelector* GetLumItemSelector() const { return FLumItemSelector; }

    TNotifyEvent OnItemSelect;

    // ---- operations a descendant may replace, in contract order ----
    virtual void DrawItem(int Index, TCanvas* Canvas);
    virtual void DrawItems(TCanvas* Canvas);
    virtual void GetItemsRect(TRect& R);
    virtual void GetItemSize(TSize& Size);
    virtual void InvalidateItem(int Index);
    virtual void ArrangeItems();

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

protected:
    void Paint() override;
    virtual void DrawItemBackgroundOnly(int Index, TCanvas* Canvas, bool Full);

private:
    bool InList(int Index) const;
    bool Disabled(int Index) const;
    double Scale();
    void SetCanvasFont(TCanvas* Canvas);
    void MeasureCaption(TCanvas* Canvas, const String& Caption, const TRect& R, TSize& Size, bool Paint);

    int FItemIndex { -1 };
    int FItemHot { -1 };
    int FOffSetX { 2 };
    int FOffSetY { 2 };
    int FItemOffSetX { 4 };
    int FItemOffSetY { 4 };
    int FCaptionGap { 4 };
    TLumCustomItemSelector* FLumItemSelector { nullptr };
};

class TLumCustomItemSelector : public TScrollingWinControl {
    QT_CLASS(TLumCustomItemSelector, TScrollingWinControl)
public:
    explicit TLumCustomItemSelector(TComponent* AOwner = nullptr);
    ~TLumCustomItemSelector() override;

    // Re-lays the items out; hosts call it after filling Items.
    void UpdateSelectorPanel();
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const String& S);
    void ScrollItemInView(int Index);
    // Whole items that fit in the window's height, times the columns; 0
    // when there is nothing to count or an item has no height.
    int GetVisibleItemCount();
    // The panel's size (100 x 50 without a panel): hosts size their window from it.
    void GetPanelSize(TSize& Size);

    TSelectorItems* GetItems() const { return FItems.get(); }
    void SetItems(TSelectorItems* Value) { FItems->Assign(Value); }
    TSelectorType GetSelectorType() const { return FSelectorType; }
    void SetSelectorType(TSelectorType Value);
    TItemLayout GetItemLayout() const { return FItemLayout; }
    void SetItemLayout(TItemLayout Value) { FItemLayout = Value; }
    int GetColumns() const { return FColumns; }
    void SetColumns(int Value);
    int GetColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    int GetColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TItemAppearance* GetItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    TCustomItemSelector* GetItemSelectorPanel() const { return FItemSelectorPanel; }
    int GetItemIndex() const;
    void SetItemIndex(int Value);
    int GetItemHot() const;

    TNotifyEvent OnItemSelect;
    TDrawItemsEvent OnBeforeDrawItems;
    TDrawItemsEvent OnAfterDrawItems;
    TDrawItemEvent OnDrawItem;
    TItemSizeEvent OnItemSize;

    void Dispatch(TMessage& Message) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintWindow(HDC DC) override;

private:
    void CreateSelectorPanel();
    void ItemsChanged(TObject* Sender);
    void PanelItemSelect(TObject* Sender);

    std::unique_ptr<TSelectorItems> FItems;
    TSelectorType FSelectorType { stImage };
    TItemLayout FItemLayout { ilCaptionRight };
    int FColumns { 1 };
    int FColorBoxWidth { 14 };
    int FColorBoxHeight { 14 };
    TCustomImageList* FImages { nullptr };
    TCustomItemSelector* FItemSelectorPanel { nullptr };
    std::unique_ptr<TItemAppearance> FItemAppearance;
};
