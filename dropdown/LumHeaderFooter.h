#pragma once
// The header and footer strips of the drop-down window: a gradient or solid
// background, a border towards the content, an image and a mini-HTML
// caption, and a row of buttons built from the drop-down's button list.
// Header buttons report their clicks; footer buttons also close the
// drop-down by their modal result, and the footer may show a size grip that
// resizes the window.

#include <memory>

#include "dropdown/LumButton.h"
#include "dropdown/LumCustomDropDown.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/rtl/Collections.h"
#include "platform/vcl/Controls.h"

class TCustomImageList;

// The list of the buttons a strip made; indexes are checked on both ends.
class TDbgList : public TList<> {
    QT_CLASS(TDbgList, TList<>)
public:
    // Exception "Index out of bounds in list read access" outside the list.
    void* GetItemsEx(int Index) const;
    // Exception "Index out of bounds in list write access" outside the list.
    void SetItemsEx(int Index, void* Value);
    // Empties the list and appends every item of List.
    void AssignList(const TList<>& List);
};

// What header and footer share.
class TLumDropDownStrip : public TCustomControl {
    QT_CLASS(TLumDropDownStrip, TCustomControl)
public:
    ~TLumDropDownStrip() override;

    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TLumCustomDropDown* GetLumDropDown() const { return FLumDropDown; }
    // Links the strip to its drop-down: the images and a copy of its look.
    virtual void SetLumDropDown(TLumCustomDropDown* Value);
    // The buttons of the linked drop-down's look; null when not linked.
    virtual THeaderButtons* GetButtons() const = 0;
    virtual TStripAppearance* GetStripAppearance() const = 0;
    // Builds the buttons when linked.
    void InitButtons();
    int GetButtonCount() const { return FButtonList.GetCount(); }
    TLumButton* GetButton(int Index) const { return static_cast<TLumButton*>(FButtonList.GetItemsEx(Index)); }
    const TDbgList& GetButtonList() const { return FButtonList; }

    // The room of the buttons, and of the caption beside them.
    virtual TRect GetButtonsRect();
    int GetButtonsHeight() { return GetButtonsRect().Height(); }
    TRect GetCaptionRect();

    TDrawBackGroundEvent OnDrawBackGround;
    TGetTextEvent OnGetText;

    void Notification(TComponent* AComponent, TOperation Operation) override;

    // ---- operations in contract order ----
    virtual void CreateButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();

protected:
    explicit TLumDropDownStrip(TComponent* AOwner);
    void Paint() override;
    void Resize() override;
    // The visibility and the unscaled height of the own look.
    void AppearanceChanged();
    void ButtonClick(TObject* Sender);
    virtual bool IsFooter() const = 0;
    // The linked drop-down's look of this strip.
    virtual TStripAppearance* DropDownAppearance() const = 0;
    float Scale();

    TCustomImageList* FImages { nullptr };
    TLumCustomDropDown* FLumDropDown { nullptr };
    TDbgList FButtonList;
};

class TLumHeader : public TLumDropDownStrip {
    QT_CLASS(TLumHeader, TLumDropDownStrip)
public:
    explicit TLumHeader(TComponent* AOwner = nullptr);

    THeaderAppearance* GetAppearance() const { return FAppearance.get(); }
    void SetAppearance(THeaderAppearance* Value) { FAppearance->Assign(Value); }
    THeaderButtons* GetButtons() const override;
    TStripAppearance* GetStripAppearance() const override { return FAppearance.get(); }

protected:
    bool IsFooter() const override { return false; }
    TStripAppearance* DropDownAppearance() const override;

private:
    std::unique_ptr<THeaderAppearance> FAppearance;
};

class TLumFooter : public TLumDropDownStrip {
    QT_CLASS(TLumFooter, TLumDropDownStrip)
public:
    explicit TLumFooter(TComponent* AOwner = nullptr);

    TFooterAppearance* GetAppearance() const { return FAppearance.get(); }
    void SetAppearance(TFooterAppearance* Value) { FAppearance->Assign(Value); }
    THeaderButtons* GetButtons() const override;
    TStripAppearance* GetStripAppearance() const override { return FAppearance.get(); }
    TRect GetButtonsRect() override;
    // The look asks for a grip and the drop-down may be sized.
    bool HasSizeGrip() const;
    void DrawSizeGrip(TCanvas* Canvas, const TRect& G);

protected:
    bool IsFooter() const override { return true; }
    TStripAppearance* DropDownAppearance() const override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool InGripZone(int X, int Y) const;
    void RestoreCursor();

    std::unique_ptr<TFooterAppearance> FAppearance;
    TCursor FOldCursor { crDefault };
};
