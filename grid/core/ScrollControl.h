#pragma once
// Three small windows of the string grid: the thin scroll indicator that
// replaces the scroll bars of the ssMetro scroll type, the pop-up image of
// a header cell the user drags, and a pop-up form that never becomes the
// active window (the hover buttons, the image of dragged cells).

#include "platform/vcl/Forms.h"

class TDedOzovedUrad;

enum TScrollDirection { sdVertical, sdHorizontal };
QT_ENUM(TScrollDirection, sdVertical, sdHorizontal)

// Shows the part of the rows (or columns) in view as a thumb; a press
// beside the thumb pages, dragging the thumb scrolls. It works only as a
// child of a string grid and is transparent over it.
class TScrollControl : public TCustomControl {
    QT_CLASS(TScrollControl, TCustomControl)
public:
    explicit TScrollControl(TComponent* AOwner = nullptr);

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    int GetScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int Value) { FScrollWidth = Value; }
    TScrollDirection GetDirection() const { return FDirection; }
    void SetDirection(TScrollDirection Value) { FDirection = Value; }

    // The grid this control belongs to, or nothing.
    TDedOzovedUrad* ParentGrid() const;
    // The track: the control's length less the fixed lines at both ends.
    int TrackLength() const;
    // Pixels of the fixed rows (columns) at the start.
    int FixedExtent() const;
    // The thumb's start and length in the control's coordinates.
    void GetThumb(int& Pos, int& Len) const;
    // Whether anything is scrolled out, so that a thumb shows.
    bool HasThumb() const;
    bool GetDownOnScroller() const { return FDownOnScroller; }

    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    // The grid paints itself under the control into DC.
    void PaintParentInto(HDC DC);

    TColor FColor { TColor(0xC0C0C0) };
    int FScrollWidth { 4 };
    TScrollDirection FDirection { sdVertical };
    bool FDownOnScroller { false };
    int FDownPos { 0 };
    int FDownRow { 0 };
};

// The caption of a dragged header cell, drawn with the cell's look.
class THeaderDragButton : public TCustomControl {
    QT_CLASS(THeaderDragButton, TCustomControl)
public:
    explicit THeaderDragButton(TComponent* AOwner = nullptr);

    TDedOzovedUrad* GetGrid() const { return FGrid; }
    void SetGrid(TDedOzovedUrad* Value) { FGrid = Value; }
    const String& GetCaption() const { return FCaption; }
    void SetCaption(const String& Value);
    // Stored only: the look comes from the grid's header cell.
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    TDedOzovedUrad* FGrid { nullptr };
    String FCaption;
    bool FFlat { false };
};

// A pop-up owned by its owner's window that clicks never activate.
// Enabled, it takes input; otherwise it is a disabled, bordered window.
class TNoActiveForm : public TForm {
    QT_CLASS(TNoActiveForm, TForm)
public:
    explicit TNoActiveForm(TComponent* AOwner = nullptr, bool AEnabled = false);
    bool GetInputEnabled() const { return FEnabled; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    bool FEnabled { false };
};
