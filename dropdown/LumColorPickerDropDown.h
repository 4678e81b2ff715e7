#pragma once
// A drop-down edit whose value is a colour: the edit shows a colour box and
// the colour's text, the window a list of named colours, a palette of boxes,
// a honeycomb cube or a spectrum.

#include <memory>

#include "dropdown/LumColorSelectors.h"
#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemSelector.h"

class TTimer;

enum TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };
QT_ENUM(TColorSelectionStyle, csList, csDiscrete, csColorCube, csSpectrum)
enum TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };
QT_ENUM(TColorValueText, cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML)

using TOnDrawSelectedItem = std::function<void(TObject* Sender, TCanvas* Canvas, TRect& R)>;

class TColorItem : public TCollectionItem {
    QT_CLASS(TColorItem, TCollectionItem)
public:
    explicit TColorItem(TCollection* Collection = nullptr) : TCollectionItem(Collection) { }
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    const String& GetHint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }

private:
    void Changed();

    String FCaption;
    TColor FColor { clNone };
    bool FEnabled { true };
    TRect FRect;
    String FHint;
};

class TColorItems : public TLumOwnedCollection<TColorItem> {
    QT_CLASS(TColorItems, TOwnedCollection)
public:
    explicit TColorItems(TPersistent* AOwner) : TLumOwnedCollection<TColorItem>(AOwner) { }

    TColorItem* Add() { return static_cast<TColorItem*>(TCollection::Add()); }
    TColorItem* Insert(int Index) { return static_cast<TColorItem*>(TCollection::Insert(Index)); }
    TColorItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TColorItem* Value) { GetItem(Index)->Assign(Value); }
    TColorItem* operator[](int Index) const { return GetItem(Index); }

    TNotifyEvent OnChange;
};

class TLumColorPickerDropDown : public TLumCustomDropDown {
    QT_CLASS(TLumColorPickerDropDown, TLumCustomDropDown)
public:
    explicit TLumColorPickerDropDown(TComponent* AOwner = nullptr);
    ~TLumColorPickerDropDown() override;

    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // The sixteen basic named colours; the selector follows at EndUpdate or opening.
    void AddDefaultColors();

    TColor GetSelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(TColor Value);
    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    TColorSelectionStyle GetColorSelectionStyle() const { return FColorSelectionStyle; }
    void SetColorSelectionStyle(TColorSelectionStyle Value);
    TColorValueText GetColorValueText() const { return FColorValueText; }
    void SetColorValueText(TColorValueText Value) { FColorValueText = Value; Invalidate(); }
    TColorItems* GetColors() const { return FColors.get(); }
    void SetColors(TColorItems* Value) { FColors->Assign(Value); }
    int GetColumns() const { return FColumns; }
    void SetColumns(int Value) { FColumns = Value; }
    TItemLayout GetLayout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    int GetColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    int GetColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    TColor GetColorBoxBorderColor() const { return FColorBoxBorderColor; }
    void SetColorBoxBorderColor(TColor Value);
    bool GetShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TItemAppearance* GetItemAppearance() const { return FItemAppearance.get(); }
    void SetItemAppearance(TItemAppearance* Value) { FItemAppearance->Assign(Value); }
    TCustomColorSelector* GetColorPanel() const { return FColorSelector; }
    TLumColorCubePanel* GetCubePanel() const { return FColorCubePanel; }
    TLumColorSpectrumPanel* GetSpectrumPanel() const { return FSpectrumPanel; }
    TLumCustomItemSelector* GetItemSelector() const { return FItemSelector; }

    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedColor;
    TDrawItemEvent OnDrawColor;

    void CopyColorsToSelector();
    void ConfigureListSelector();
    void SetComponentStyle(ROZEVizer AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Style) override;
    void Dispatch(TMessage& Message) override;

    // ---- operations a descendant may replace, in contract order ----
    virtual void PrepareListSelector();
    virtual void PrepareCubePanel();
    virtual void PrepareSpectrumPanel();
    virtual void PrepareColorSelector();
    // The entry's caption in the list, else the colour in ColorValueText's form.
    virtual String GetSelectedColorText();

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void DropDownFormDestroyed() override;
    void DoWheelDown() override;
    void DoWheelUp() override;
    void DrawFocusedText() override;

protected:
    void Loaded() override;

private:
    // Prepares the current style's content; Opening skips what only a
    // style change does (sizing and showing the list).
    void PrepareStyle(bool Opening);
    void SizeListWindow();
    void SizePanelWindow();
    void ListItemSelected(TObject* Sender);
    void DiscreteColorSelected(TObject* Sender);
    void CubeColorSelected(TObject* Sender);
    void SpectrumColorSelected(TObject* Sender);
    void KeyDownMessage(TMessage& Message);
    void PaintSelectedColor();
    // A selection the picker makes itself in its content: it does not close.
    template<class F> void Internal(F&& Step);
    TControl* Content() const;

    int FUpdateCount { 0 };
    TLumCustomItemSelector* FItemSelector { nullptr };
    TLumColorCubePanel* FColorCubePanel { nullptr };
    TLumColorSpectrumPanel* FSpectrumPanel { nullptr };
    TCustomColorSelector* FColorSelector { nullptr };
    int FColumns { 1 };
    TItemLayout FLayout { ilCaptionRight };
    std::unique_ptr<TColorItems> FColors;
    int FItemIndex { -1 };
    int FColorBoxWidth { 14 };
    int FColorBoxHeight { 14 };
    TColorSelectionStyle FColorSelectionStyle { csList };
    TColor FSelectedColor { clNone };
    bool FShowText { true };
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall { false };
    TTimer* FKeyTimer { nullptr };
    String FCurSearch;
    int FOldItemIndex { -1 };
    TColor FOldSelectedColor { clNone };
    TColorValueText FColorValueText { cvtNone };
    TColor FColorBoxBorderColor { clBlack };
};
