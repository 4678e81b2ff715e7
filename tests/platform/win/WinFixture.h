#pragma once
// A headless window session for tests: a recording window class, a fake
// device-context factory that paints solid colours through the real clip,
// and a log of the messages windows receive.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win/Headless.h"
#include "platform/win/Window.h"

struct TLogged {
    std::string window;
    UINT message { 0 };
    WPARAM wParam { 0 };
    LPARAM lParam { 0 };
    friend bool operator==(const TLogged&, const TLogged&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const TLogged& m)
{
    return os << m.window << ":0x" << std::hex << m.message << "(" << m.wParam << "," << m.lParam << ")" << std::dec;
}

class TFakeDCFactory : public IDeviceContextFactory {
public:
    HDC CreateWindowDC(const TPaintTarget& target) override
    {
        HDC dc = reinterpret_cast<HDC>(++m_next);
        m_live[dc] = target;
        Created.push_back(target);
        return dc;
    }
    void ReleaseWindowDC(HDC dc) override { m_live.erase(dc); }
    const TPaintTarget* Target(HDC dc) const
    {
        auto it = m_live.find(dc);
        return it == m_live.end() ? nullptr : &it->second;
    }
    // Paints every pixel the DC may touch.
    void Fill(HDC dc, std::uint32_t argb) const
    {
        const TPaintTarget* t = Target(dc);
        if (!t)
            return;
        for (const TRect& r : t->Clip.Rects())
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    std::memcpy(t->Buffer.Data + y * t->Buffer.Stride + x * 4, &argb, 4);
    }
    size_t LiveCount() const { return m_live.size(); }
    std::vector<TPaintTarget> Created;

private:
    std::uintptr_t m_next { 0x100 };
    std::map<HDC, TPaintTarget> m_live;
};

class WinTest : public ::testing::Test {
protected:
    using THandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    static WinTest*& Current()
    {
        static WinTest* t = nullptr;
        return t;
    }

    void SetUp() override
    {
        Current() = this;
        SetDeviceContextFactory(&Factory);
        WNDCLASSEX wc;
        wc.lpfnWndProc = &Proc;
        wc.lpszClassName = u"TestWindow";
        RegisterClassEx(wc);
        wc.style = CS_DBLCLKS;
        wc.lpszClassName = u"TestDblClk";
        RegisterClassEx(wc);
    }

    void TearDown() override
    {
        Session.reset();
        UnregisterClass(u"TestWindow");
        UnregisterClass(u"TestDblClk");
        SetDeviceContextFactory(nullptr);
        Current() = nullptr;
    }

    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        WinTest* t = Current();
        if (t && !t->m_pendingName.empty() && !t->m_names.count(h)) {
            t->m_names[h] = t->m_pendingName;
            t->m_pendingName.clear();
        }
        if (t && t->m_names.count(h) && t->Watched(m))
            t->Log.push_back({ t->m_names[h], m, w, l });
        if (t) {
            if (auto it = t->Handlers.find(h); it != t->Handlers.end())
                if (auto r = it->second(h, m, w, l))
                    return *r;
            if (m == WM_PAINT && t->m_colours.count(h)) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, ps);
                t->Factory.Fill(dc, t->m_colours[h]);
                EndPaint(h, ps);
                return 0;
            }
        }
        return DefWindowProc(h, m, w, l);
    }

    bool Watched(UINT m) const { return Watch.empty() || std::find(Watch.begin(), Watch.end(), m) != Watch.end(); }

    HWND Make(const std::string& name, DWORD style, TRect r, HWND parent = nullptr, DWORD exStyle = 0,
        const char16_t* cls = u"TestWindow")
    {
        m_pendingName = name;
        HWND h = CreateWindowEx(exStyle, cls, u"", style, r.Left, r.Top, r.Width(), r.Height(), parent,
            reinterpret_cast<HMENU>(m_names.size() + 1), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        m_pendingName.clear();
        m_names[h] = name;
        return h;
    }

    void Colour(HWND h, std::uint32_t argb) { m_colours[h] = argb; }
    std::string Name(HWND h) { return m_names.count(h) ? m_names[h] : "?"; }
    int Pump() { return Headless::PumpUntilIdle(); }

    std::uint32_t PixelAt(HWND top, TPoint p)
    {
        TPixelBuffer b = GetWindowBuffer(top);
        if (!b.Data || p.X < 0 || p.Y < 0 || p.X >= b.Width || p.Y >= b.Height)
            return 0;
        std::uint32_t v;
        std::memcpy(&v, b.Data + p.Y * b.Stride + p.X * 4, 4);
        return v;
    }

    TFakeDCFactory Factory;
    std::unique_ptr<THeadlessSession> Session { std::make_unique<THeadlessSession>() };
    std::vector<TLogged> Log;
    std::vector<UINT> Watch;
    std::map<HWND, THandler> Handlers;

private:
    std::map<HWND, std::string> m_names;
    std::string m_pendingName;
    std::map<HWND, std::uint32_t> m_colours;
};
