#pragma once
// A drop-down edit that picks one entry of a list of pictures: the window
// shows the items with their captions in an item selector, the edit the
// selected picture centred in its text area. Items hold pictures of their
// own (loaded from files) or name images of the drop-down's image list.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemSelector.h"

class TTimer;
class TLumImagePickerDropDown;

using TDrawSelectedImageEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TRect R)>;

class TImageItem : public TCollectionItem {
    QT_CLASS(TImageItem, TCollectionItem)
public:
    explicit TImageItem(TCollection* Collection = nullptr);
    ~TImageItem() override;
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TPicture* GetImage() const { return FImage.get(); }
    void SetImage(TPicture* Value) { FImage->Assign(Value); }
    const String& GetHint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }

private:
    void Changed();

    String FCaption;
    int FImageIndex { -1 };
    bool FEnabled { true };
    std::unique_ptr<TPicture> FImage;
    TRect FRect;
    String FHint;
};

class TImageItems : public TLumOwnedCollection<TImageItem> {
    QT_CLASS(TImageItems, TOwnedCollection)
public:
    explicit TImageItems(TPersistent* AOwner) : TLumOwnedCollection<TImageItem>(AOwner) { }

    TImageItem* Add() { return static_cast<TImageItem*>(TCollection::Add()); }
    TImageItem* Insert(int Index) { return static_cast<TImageItem*>(TCollection::Insert(Index)); }
    TImageItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TImageItem* Value) { GetItem(Index)->Assign(Value); }
    TImageItem* operator[](int Index) const { return GetItem(Index); }

    TNotifyEvent OnChange;
};

class TLumImagePickerDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumImagePickerDropDown, TLumCustomDropDown)
public:
    explicit TLumImagePickerDropDown(TComponent* AOwner = nullptr);
    ~TLumImagePickerDropDown() override;

    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The selected item's image index; -1 without a selection.
    int GetImageIndex() const;
    // Selects the first item with that image index, or nothing.
    void SetImageIndex(int Value);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    // One item per image of Images, captions empty.
    void AddImagesFromImageList();
    // One item per entry the folder's mask matches (AFolder is a folder
    // with a file mask); entries that hold no picture keep an empty one.
    void AddImagesFromFolder(const String& AFolder, bool SetImageCaption);

    int GetColumns() const { return FColumns; }
    void SetColumns(int Value) { FColumns = Value; }
    TItemLayout GetLayout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TImageItems* GetItems() const { return FItems.get(); }
    void SetItems(TImageItems* Value) { FItems->Assign(Value); }
    TItemAppearance* GetItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    TLumCustomItemSelector* GetItemSelector() const { return FItemSelector; }

    TNotifyEvent OnSelect;
    TDrawSelectedImageEvent OnDrawSelectedImage;
    TDrawItemEvent OnDrawItem;

    void SetComponentStyle(ROZEVizer AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Style) override;
    void Dispatch(TMessage& Message) override;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownFormDestroyed() override { FItemSelector = nullptr; }
    void DoWheelDown() override;
    void DoWheelUp() override;
    void DrawFocusedText() override;

private:
    // Brings the selector in line with the picker's items and settings.
    void SyncSelector();
    void SelectorItemSelect(TObject* Sender);
    void KeyDownMessage(TMessage& Message);
    void PaintSelectedImage();
    // A selection made by keys or the wheel: it does not close the window.
    template<class F> void Internal(F&& Step);

    TLumCustomItemSelector* FItemSelector { nullptr };
    int FColumns { 1 };
    TItemLayout FLayout { ilCaptionRight };
    std::unique_ptr<TImageItems> FItems;
    int FItemIndex { -1 };
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall { false };
    TTimer* FKeyTimer { nullptr };
    String FCurSearch;
    int FOldItemIndex { -1 };
};
