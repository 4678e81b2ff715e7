#pragma once
// A headless session for the simple controls: a form, synthetic input
// through the window layer, and pixel probes in TColor form. Every test ends
// with the plain style active.

#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Headless.h"

class SimpleControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        TStyleManager::SetStyle(u"Windows");
    }
    void TearDown() override { TStyleManager::SetStyle(u"Windows"); }

    static void Pump() { Application->ProcessMessages(); }

    std::unique_ptr<TForm> MakeForm(int w = 400, int h = 300)
    {
        auto f = std::make_unique<TForm>(nullptr);
        f->SetPosition(poDesigned);
        f->SetBounds(100, 100, w, h);
        f->SetColor(clBtnFace);
        return f;
    }

    template<class C>
    static C* Add(TForm* form, TWinControl* parent, TRect bounds)
    {
        auto* c = new C(form);
        c->SetBoundsRect(bounds);
        c->SetParent(parent);
        return c;
    }

    // What the screen shows at a client point of the control, as a TColor.
    static TColor PixelAt(TControl* c, TPoint client)
    {
        Pump();
        const std::uint32_t argb = Headless::ScreenPixel(c->ClientToScreen(client));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }

    static void ClickAt(TControl* c, TPoint client)
    {
        Headless::Click(c->ClientToScreen(client));
        Pump();
    }

    THeadlessSession session;
};
