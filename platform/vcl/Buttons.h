#pragma once
// The speed button: a windowless button with a glyph, which can stay down
// alone or as one of a group.

#include <memory>

#include "platform/vcl/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
QT_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
QT_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
using TNumGlyphs = int;

class TSpeedButton : public TGraphicControl {
    QT_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner = nullptr);
    ~TSpeedButton() override;

    // The glyph strip: NumGlyphs images side by side (up, disabled, pressed,
    // down); its bottom-left pixel's colour is transparent.
    TBitmap* GetGlyph() const { return m_glyph.get(); }
    void SetGlyph(TBitmap* v);
    TNumGlyphs GetNumGlyphs() const { return m_numGlyphs; }
    // 1 to 4; other values are ignored.
    void SetNumGlyphs(TNumGlyphs v);
    bool GetFlat() const { return m_flat; }
    void SetFlat(bool v);
    int GetGroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int v);
    bool GetDown() const { return m_down; }
    // Only a grouped button stays down; raising the down button of a group
    // that does not allow all up is refused. Going down raises the others.
    void SetDown(bool v);
    bool GetAllowAllUp() const { return m_allowAllUp; }
    // Shared by every button of the group.
    void SetAllowAllUp(bool v);
    TButtonLayout GetLayout() const { return m_layout; }
    void SetLayout(TButtonLayout v);
    // -1 centres glyph and caption together.
    int GetMargin() const { return m_margin; }
    void SetMargin(int v);
    // -1 spreads the free room evenly.
    int GetSpacing() const { return m_spacing; }
    void SetSpacing(int v);
    bool GetTransparent() const { return m_transparent; }
    void SetTransparent(bool v);
    TButtonState GetState() const { return m_state; }

    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    // Tells the other buttons of the group that this one went down.
    void UpdateExclusive();
    // Where the glyph and the caption go in `client`.
    void CalcLayout(const TRect& client, TSize glyph, TSize text, TPoint& glyphPos, TPoint& textPos) const;
    // The image of the glyph strip for the current state, or null.
    std::unique_ptr<TBitmap> GlyphFor(TButtonState state);

    std::unique_ptr<TBitmap> m_glyph;
    TNumGlyphs m_numGlyphs { 1 };
    bool m_flat { false };
    int m_groupIndex { 0 };
    bool m_down { false };
    bool m_allowAllUp { false };
    TButtonLayout m_layout { blGlyphLeft };
    int m_margin { -1 };
    int m_spacing { 4 };
    bool m_transparent { true };
    TButtonState m_state { bsUp };
    bool m_dragging { false };
    bool m_hot { false };
};
