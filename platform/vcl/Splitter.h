#pragma once
// A bar between two aligned controls that the user drags to resize the
// control on one side of it.

#include <algorithm>
#include <functional>

#include "platform/vcl/Controls.h"

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
QT_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

class TSplitter : public TGraphicControl {
    QT_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* AOwner = nullptr);

    // The smallest size either neighbour may get.
    int GetMinSize() const { return m_minSize; }
    void SetMinSize(int v) { m_minSize = std::max(1, v); }
    TResizeStyle GetResizeStyle() const { return m_resizeStyle; }
    void SetResizeStyle(TResizeStyle v) { m_resizeStyle = v; }
    bool GetAutoSnap() const { return m_autoSnap; }
    void SetAutoSnap(bool v) { m_autoSnap = v; }
    // The control the splitter resizes: the neighbour aligned the same way
    // whose edge touches the splitter.
    TControl* FindControl() const;

    TCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;

private:
    bool Horizontal() const { return m_align == alTop || m_align == alBottom; }
    // The size the control would get with the pointer at `Pos` (parent
    // coordinates), kept between MinSize and what leaves MinSize for the rest.
    int SizeForPointer(TPoint Pos) const;
    // The room left for the other side: the parent's client extent minus
    // every aligned control but the one being resized and this splitter.
    int MaxSize() const;
    void ApplySize(int Size);
    void DrawLine();

    int m_minSize { 30 };
    TResizeStyle m_resizeStyle { rsPattern };
    bool m_autoSnap { false };
    TControl* m_control { nullptr };
    TPoint m_downPos;
    int m_startSize { 0 };
    int m_newSize { 0 };
    bool m_dragging { false };
    bool m_lineVisible { false };
    TRect m_lineRect;
};
