#pragma once
// Panels, images, shapes and bevels.

#include <memory>

#include "platform/vcl/StdCtrls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
QT_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
using TPanelBevel = TBevelCut;
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
QT_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
enum TBevelStyle { bsLowered, bsRaised };
QT_ENUM(TBevelStyle, bsLowered, bsRaised)
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
QT_ENUM(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)

// ---- panel ----

class TCustomPanel : public TCustomControl {
    QT_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner = nullptr);

    TAlignment GetAlignment() const { return m_alignment; }
    void SetAlignment(TAlignment v);
    TVerticalAlignment GetVerticalAlignment() const { return m_verticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment v);
    TBevelCut GetBevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut GetBevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int GetBevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int v);
    TBorderStyle GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle v);
    // Under a visual style the panel shows its parent's background.
    bool GetParentBackground() const { return m_parentBackground; }
    void SetParentBackground(bool v);
    bool GetShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool v);
    bool GetFullRepaint() const { return m_fullRepaint; }
    void SetFullRepaint(bool v) { m_fullRepaint = v; }

    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    // Pixels the bevels and border take on each side.
    int FrameDepth() const;

private:
    TAlignment m_alignment { taCenter };
    TVerticalAlignment m_verticalAlignment { taVerticalCenter };
    TBevelCut m_bevelInner { bvNone };
    TBevelCut m_bevelOuter { bvRaised };
    int m_bevelWidth { 1 };
    TBorderStyle m_borderStyle { bsNone };
    bool m_parentBackground { true };
    bool m_showCaption { true };
    bool m_fullRepaint { true };
};

class TPanel : public TCustomPanel {
    QT_CLASS(TPanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
};

// ---- image ----

// The drawing layer's decoded-image record is also called TImage, so the
// control lives in this unit's namespace.
namespace ExtCtrls {

class TImage : public TGraphicControl {
    QT_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner = nullptr);
    ~TImage() override;

    TPicture* GetPicture() const { return m_picture.get(); }
    void SetPicture(TPicture* v) { m_picture->Assign(v); }
    bool GetStretch() const { return m_stretch; }
    void SetStretch(bool v);
    bool GetCenter() const { return m_center; }
    void SetCenter(bool v);
    // Keeps the picture's aspect; shrinks a picture larger than the control
    // and, with Stretch, enlarges a smaller one.
    bool GetProportional() const { return m_proportional; }
    void SetProportional(bool v);
    bool GetTransparent() const { return m_transparent; }
    void SetTransparent(bool v);
    // Where the picture lands in the client area.
    TRect DestRect();

    TNotifyEvent OnProgress;

protected:
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void PictureChanged(TObject* Sender);

private:
    std::unique_ptr<TPicture> m_picture;
    bool m_stretch { false };
    bool m_center { false };
    bool m_proportional { false };
    bool m_transparent { false };
};

} // namespace ExtCtrls

// ---- shape ----

class TShape : public TGraphicControl {
    QT_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* AOwner = nullptr);
    ~TShape() override;

    TShapeType GetShape() const { return m_shape; }
    void SetShape(TShapeType v);
    TPen* GetPen() const { return m_pen.get(); }
    void SetPen(TPen* v) { m_pen->Assign(v); }
    TBrush* GetBrush() const { return m_brush.get(); }
    void SetBrush(TBrush* v) { m_brush->Assign(v); }

protected:
    void Paint() override;

private:
    TShapeType m_shape { stRectangle };
    std::unique_ptr<TPen> m_pen;
    std::unique_ptr<TBrush> m_brush;
};

// ---- bevel ----

class TBevel : public TGraphicControl {
    QT_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner = nullptr);

    TBevelShape GetShape() const { return m_shape; }
    void SetShape(TBevelShape v);
    TBevelStyle GetStyle() const { return m_style; }
    void SetStyle(TBevelStyle v);
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;

private:
    TBevelShape m_shape { bsBox };
    TBevelStyle m_style { bsLowered };
};
