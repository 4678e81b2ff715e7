#include "platform/rtl/Clock.h"

#include <chrono>
#include <thread>

namespace {

class TSystemClock : public IClock {
public:
    UInt64 NowMs() override
    {
        using namespace std::chrono;
        return UInt64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void Sleep(DWORD ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TSystemClock g_system;
std::atomic<IClock*> g_clock { nullptr };

} // namespace

void SetClock(IClock* clock)
{
    g_clock.store(clock);
}

IClock& GetClock()
{
    IClock* c = g_clock.load();
    return c ? *c : g_system;
}

DWORD GetTickCount()
{
    return DWORD(GetClock().NowMs() & 0xFFFFFFFFu);
}

UInt64 GetTickCount64()
{
    return GetClock().NowMs();
}

void Sleep(DWORD ms)
{
    GetClock().Sleep(ms);
}
