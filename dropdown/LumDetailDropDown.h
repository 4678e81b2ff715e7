#pragma once
// A drop-down edit over a list of detail items: each a caption, mini-HTML
// notes under it and a picture or a list image. The edit shows the selected
// caption and completes what is typed from the first caption that begins
// with it; keys and the wheel move the selection, in the list while it is
// open and in the edit while it is closed.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemLayout.h"
#include "dropdown/LumItemSelector.h"
#include "graphics/LumOwnedCollection.h"

class TTimer;

using TOnDrawSelectedItem = std::function<void(TObject* Sender, TCanvas* Canvas, TRect& R)>;

class TDetailItem : public TCollectionItem {
    QT_CLASS(TDetailItem, TCollectionItem)
public:
    explicit TDetailItem(TCollection* Collection = nullptr);
    ~TDetailItem() override;
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TPicture* GetImage() const { return FImage.get(); }
    void SetImage(TPicture* Value);
    const String& GetNotes() const { return FNotes; }
    void SetNotes(const String& Value) { FNotes = Value; }
    TObject* GetItemObject() const { return FItemObject; }
    void SetItemObject(TObject* Value) { FItemObject = Value; }
    int GetTag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

private:
    void Changed();

    String FCaption;
    int FImageIndex { -1 };
    bool FEnabled { true };
    std::unique_ptr<TPicture> FImage;
    String FNotes;
    TObject* FItemObject { nullptr };
    int FTag { 0 };
};

class TDetailItems : public TLumOwnedCollection<TDetailItem> {
    QT_CLASS(TDetailItems, TOwnedCollection)
public:
    explicit TDetailItems(TPersistent* AOwner) : TLumOwnedCollection<TDetailItem>(AOwner) { }

    TDetailItem* Add() { return static_cast<TDetailItem*>(TCollection::Add()); }
    TDetailItem* Insert(int Index) { return static_cast<TDetailItem*>(TCollection::Insert(Index)); }
    TDetailItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TDetailItem* Value) { GetItem(Index)->Assign(Value); }
    TDetailItem* operator[](int Index) const { return GetItem(Index); }
    // The first item whose caption is exactly AValue (case-sensitive); -1 when none.
    int IndexOf(const String& AValue) const;

    TNotifyEvent OnChange;
};

class TLumDetailDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumDetailDropDown, TLumCustomDropDown)
public:
    explicit TLumDetailDropDown(TComponent* AOwner = nullptr);
    ~TLumDetailDropDown() override;

    int GetItemIndex() const { return FItemIndex; }
    // Shows the item's caption, selected whole, and fires OnSelect; -1
    // clears the text silently; the same index or one out of range does nothing.
    void SetItemIndex(int Value);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    TDetailItems* GetItems() const { return FItems.get(); }
    void SetItems(TDetailItems* Value) { FItems->Assign(Value); }
    TItemLayout GetLayout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TItemAppearance* GetItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    TFont* GetCaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(TFont* Value) { FCaptionFont->Assign(Value); }
    TFont* GetNotesFont() const { return FNotesFont.get(); }
    void SetNotesFont(TFont* Value) { FNotesFont->Assign(Value); }
    TVerticalAlignment GetImageVAlign() const { return FImageVAlign; }
    void SetImageVAlign(TVerticalAlignment Value) { FImageVAlign = Value; }
    TLumCustomItemSelector* GetItemSelector() const { return FItemSelector; }
    // The lookup word typed while the open list has the keys.
    const String& GetCurSearch() const { return FCurSearch; }

    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedImage;

    void Dispatch(TMessage& Message) override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;
    void SetSelectionColorStyle(TSelectionColorStyle Style) override;
    void SetComponentStyle(ROZEVizer AStyle) override;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownResized() override;
    void DoWheelDown() override;
    void DoWheelUp() override;

    // The grid's detail editor calls these too.
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;

private:
    void UpdateSelector();
    void ItemSelectorSelect(TObject* Sender);
    void GetDetailItemSize(TSize& Size);
    void DrawDetailItem(TCanvas* Canvas, TRect Rc, int Index);
    void KeyDownMessage(TMessage& Message);
    // Moves the list's selection without closing the window.
    void MoveList(int Index);
    template<class F> void Internal(F&& Step);

    TLumCustomItemSelector* FItemSelector { nullptr };
    TItemLayout FLayout { ilCaptionRight };
    std::unique_ptr<TDetailItems> FItems;
    int FItemIndex { -1 };
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall { false };
    TTimer* FKeyTimer { nullptr };
    String FCurSearch;
    int FOldItemIndex { -1 };
    int FItemHeight { 22 };
    std::unique_ptr<TFont> FCaptionFont;
    std::unique_ptr<TFont> FNotesFont;
    bool FWorkMode { true };
    bool FItemChange { false };
    int FItemIdx { -1 };
    int FItemSel { 0 };
    TVerticalAlignment FImageVAlign { taVerticalCenter };
    float FDPIScale { 1.0f };
};
