#pragma once
// TTimer: calls OnTimer every Interval milliseconds while Enabled, through
// the window system's timers (so it follows the injected clock in tests).

#include "platform/rtl/Classes.h"
#include "platform/win/WinUser.h"

class TTimer : public TComponent {
    QT_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner = nullptr);
    ~TTimer() override;

    bool GetEnabled() const { return m_enabled; }
    void SetEnabled(bool v);
    UINT GetInterval() const { return m_interval; }
    void SetInterval(UINT v);
    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    static LRESULT TimerWindowProc(HWND, UINT, WPARAM, LPARAM);
    void UpdateTimer();

    bool m_enabled { true };
    UINT m_interval { 1000 };
    UINT_PTR m_id { 0 };
    bool m_running { false };
};
