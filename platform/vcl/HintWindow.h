#pragma once
// The small pop-up window that shows a control's hint, and the process-wide
// factory the application makes hint windows with (replace it to change
// their look everywhere).

#include <functional>

#include "platform/vcl/Controls.h"

class THintWindow : public TCustomControl {
    QT_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* AOwner = nullptr);
    // Shows `AHint` in `Rect` (screen coordinates) without taking the focus.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    virtual void ActivateHintData(TRect Rect, const String& AHint, void* AData);
    // The window rectangle at (0, 0) that shows `AHint` wrapped at `MaxWidth`.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    // Hides the window and gives its handle back.
    void ReleaseHandle();
    bool IsHintShowing() const { return m_handle && IsWindowVisibleNow(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    bool IsWindowVisibleNow() const;
    static constexpr int TextMargin = 2;
};

using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;
extern THintWindowClass HintWindowClass;
