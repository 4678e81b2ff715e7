#pragma once
// The track bar: a thumb moved along a channel with tick marks.

#include "platform/vcl/StdCtrls.h"

enum TTrackBarOrientation { trHorizontal, trVertical };
QT_ENUM(TTrackBarOrientation, trHorizontal, trVertical)
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
QT_ENUM(TTickMark, tmBottomRight, tmTopLeft, tmBoth)
enum TTickStyle { tsNone, tsAuto, tsManual };
QT_ENUM(TTickStyle, tsNone, tsAuto, tsManual)

class TTrackBar : public TCustomControl {
    QT_CLASS(TTrackBar, TCustomControl)
public:
    explicit TTrackBar(TComponent* AOwner = nullptr);

    int GetMin() const { return m_min; }
    // A minimum above the maximum (or the reverse) is ignored.
    void SetMin(int v);
    int GetMax() const { return m_max; }
    void SetMax(int v);
    int GetPosition() const { return m_position; }
    // Kept inside [Min, Max]; OnChange when it moved.
    void SetPosition(int v);
    int GetFrequency() const { return m_frequency; }
    void SetFrequency(int v);
    int GetPageSize() const { return m_pageSize; }
    void SetPageSize(int v) { m_pageSize = v; }
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int v) { m_lineSize = v; }
    TTrackBarOrientation GetOrientation() const { return m_orientation; }
    void SetOrientation(TTrackBarOrientation v);
    TTickMark GetTickMarks() const { return m_tickMarks; }
    void SetTickMarks(TTickMark v);
    TTickStyle GetTickStyle() const { return m_tickStyle; }
    void SetTickStyle(TTickStyle v);
    int GetThumbLength() const { return m_thumbLength; }
    void SetThumbLength(int v);
    bool GetSliderVisible() const { return m_sliderVisible; }
    void SetSliderVisible(bool v);
    // The thumb's rectangle in client coordinates.
    TRect ThumbRect();

    TNotifyEvent OnChange;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    virtual void Changed();

private:
    bool Horizontal() const { return m_orientation == trHorizontal; }
    // Pixels along the bar where Min and Max sit.
    void ChannelExtent(int& first, int& last);
    int PixelOf(int position);
    int PositionAt(int along);
    // Across the bar: where the thumb starts and how deep it is.
    void ThumbAcross(int& start, int& depth);

    int m_min { 0 };
    int m_max { 10 };
    int m_position { 0 };
    int m_frequency { 1 };
    int m_pageSize { 2 };
    int m_lineSize { 1 };
    TTrackBarOrientation m_orientation { trHorizontal };
    TTickMark m_tickMarks { tmBottomRight };
    TTickStyle m_tickStyle { tsAuto };
    int m_thumbLength { 20 };
    bool m_sliderVisible { true };
    bool m_dragging { false };
    int m_dragOffset { 0 };
    bool m_hot { false };
};
