#pragma once
// The look of a drop-down's header and footer strips: visibility, height,
// gradient, border, a mini-HTML caption with an image, and a collection of
// buttons. Every drop-down editor owns one of each; so does the grid's
// ControlLook, which copies them into the drop-down editors it shows. The
// strips themselves (the controls that paint these settings) belong to the
// drop-down library. DrawGradient is the banded gradient both paint with.

#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Graphics.h"

enum TGradientDirection { gdHorizontal, gdVertical };
QT_ENUM(TGradientDirection, gdHorizontal, gdVertical)
enum TButtonAlignment { baLeft, baRight };
QT_ENUM(TButtonAlignment, baLeft, baRight)

namespace LumDropDown {

// Steps bands (0 counts as 1) from FromColor to ToColor; neighbouring bands
// overlap by a pixel so no gap shows when a band is narrower than a pixel.
void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps);

} // namespace LumDropDown

// ---- buttons ----

// A button of a header strip. A width or height of 0 leaves the size to the
// button's content. Caption, Enabled and Width changes tell the collection.
class THeaderButton : public TCollectionItem {
    QT_CLASS(THeaderButton, TCollectionItem)
public:
    explicit THeaderButton(TCollection* Collection = nullptr) : TCollectionItem(Collection) { }
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);

protected:
    void ButtonChanged();

private:
    String FCaption;
    int FImageIndex { -1 };
    bool FEnabled { true };
    int FHeight { 0 };
    int FWidth { 0 };
};

// A footer button also closes the drop-down by its modal result.
class TFooterButton : public THeaderButton {
    QT_CLASS(TFooterButton, THeaderButton)
public:
    explicit TFooterButton(TCollection* Collection = nullptr) : THeaderButton(Collection) { }
    void Assign(TPersistent* Source) override;

    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

private:
    TModalResult FModalResult { mrNone };
};

// The buttons of a strip; OnChange hears about caption, enabled and width
// changes of an item.
class THeaderButtons : public TOwnedCollection {
    QT_CLASS(THeaderButtons, TOwnedCollection)
public:
    explicit THeaderButtons(TPersistent* AOwner = nullptr, TClass ItemClass = THeaderButton::StaticClassInfo())
        : TOwnedCollection(AOwner, ItemClass)
    {
    }
    THeaderButton* Add() { return static_cast<THeaderButton*>(TCollection::Add()); }
    THeaderButton* Insert(int Index) { return static_cast<THeaderButton*>(TCollection::Insert(Index)); }
    THeaderButton* GetItems(int Index) const { return static_cast<THeaderButton*>(GetItem(Index)); }
    void SetItems(int Index, THeaderButton* Value) { GetItem(Index)->Assign(Value); }
    void ButtonChanged()
    {
        if (OnChange)
            OnChange(this);
    }
    TNotifyEvent OnChange;
};

class TFooterButtons : public THeaderButtons {
    QT_CLASS(TFooterButtons, THeaderButtons)
public:
    explicit TFooterButtons(TPersistent* AOwner = nullptr) : THeaderButtons(AOwner, TFooterButton::StaticClassInfo()) { }
    TFooterButton* Add() { return static_cast<TFooterButton*>(TCollection::Add()); }
    TFooterButton* Insert(int Index) { return static_cast<TFooterButton*>(TCollection::Insert(Index)); }
    TFooterButton* GetItems(int Index) const { return static_cast<TFooterButton*>(GetItem(Index)); }
    void SetItems(int Index, TFooterButton* Value) { GetItem(Index)->Assign(Value); }
};

// ---- appearances ----

// What header and footer share. Only Visible (when it changes) fires
// OnChange; the other setters store without notice, Font and Buttons copy.
class TStripAppearance : public TPersistent {
    QT_CLASS(TStripAppearance, TPersistent)
public:
    ~TStripAppearance() override;

    TPersistent* GetOwner() override { return FOwner; }

    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { FBorderWidth = Value; }
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    // Mini-HTML.
    const String& GetCaption() const { return FCaption; }
    virtual void SetCaption(const String& Value) { FCaption = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { FColorTo = Value; }
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { FBorderColor = Value; }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TGradientDirection GetGradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { FGradientDirection = Value; }
    TButtonAlignment GetButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TButtonAlignment Value) { FButtonAlignment = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnButtonsChanged;

protected:
    TStripAppearance(TComponent* AOwner, std::unique_ptr<THeaderButtons> Buttons);
    // Color, ColorTo, BorderColor, GradientDirection and Font.
    void CopyColors(const TStripAppearance& Source);
    void Changed();

    TComponent* FOwner { nullptr };
    bool FVisible { true };
    int FHeight { 22 };
    int FBorderWidth { 1 };
    int FImageIndex { -1 };
    String FCaption;
    TColor FColorTo { TColor(0xFFFFFF) };
    TColor FColor { TColor(0xC0C0C0) };
    TColor FBorderColor { TColor(0) };
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<THeaderButtons> FButtons;
    TGradientDirection FGradientDirection { gdVertical };
    TButtonAlignment FButtonAlignment { baRight };
};

class THeaderAppearance : public TStripAppearance {
    QT_CLASS(THeaderAppearance, TStripAppearance)
public:
    explicit THeaderAppearance(TComponent* AOwner = nullptr);

    THeaderButtons* GetButtons() const { return FButtons.get(); }
    void SetButtons(THeaderButtons* Value) { FButtons->Assign(Value); }

    // From another header appearance only; anything else is ignored.
    void Assign(TPersistent* Source) override;
    void AssignColors(TPersistent* Source);
};

class TFooterAppearance : public TStripAppearance {
    QT_CLASS(TFooterAppearance, TStripAppearance)
public:
    explicit TFooterAppearance(TComponent* AOwner = nullptr);

    TFooterButtons* GetButtons() const { return static_cast<TFooterButtons*>(FButtons.get()); }
    void SetButtons(TFooterButtons* Value) { FButtons->Assign(Value); }
    bool GetSizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value) { FSizeGrip = Value; }
    // Always tells OnChange.
    void SetCaption(const String& Value) override;

    // From another footer appearance only; anything else is ignored.
    void Assign(TPersistent* Source) override;
    void AssignColors(TPersistent* Source);

private:
    bool FSizeGrip { true };
};
