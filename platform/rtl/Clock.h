#pragma once
// Time as the program sees it: the millisecond tick counters and Sleep all
// read one replaceable clock, so tests can run timer logic on virtual time.

#include <atomic>
#include <cstdint>

#include "platform/rtl/Types.h"

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since an arbitrary fixed start.
    virtual UInt64 NowMs() = 0;
    virtual void Sleep(DWORD ms) = 0;
    // A virtual clock only moves when told to; waits for a due time then
    // advance the clock instead of blocking.
    virtual bool IsVirtual() const { return false; }
};

// A clock that stands still until advanced; Sleep advances it.
class TManualClock : public IClock {
public:
    explicit TManualClock(UInt64 startMs = 0) : m_now(startMs) { }
    UInt64 NowMs() override { return m_now.load(); }
    void Sleep(DWORD ms) override { PassTime(ms); }
    bool IsVirtual() const override { return true; }
    void PassTime(UInt64 ms) { m_now.fetch_add(ms); }
    void Set(UInt64 ms) { m_now.store(ms); }

private:
    std::atomic<UInt64> m_now { 0 };
};

// Installs `clock` (not owned); nullptr restores the system clock.
void SetClock(IClock* clock);
IClock& GetClock();

// Replaces the clock for one scope (tests).
class TClockOverride {
public:
    explicit TClockOverride(IClock& clock) { SetClock(&clock); }
    ~TClockOverride() { SetClock(nullptr); }
    TClockOverride(const TClockOverride&) = delete;
    TClockOverride& operator=(const TClockOverride&) = delete;
};

// Milliseconds, wrapping around every 2^32 ms (about 49.7 days); compare
// two readings by their unsigned difference.
DWORD GetTickCount();
UInt64 GetTickCount64();
void Sleep(DWORD ms);
