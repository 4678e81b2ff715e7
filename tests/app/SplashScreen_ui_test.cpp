#include "app/SplashScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/EmailHarvest.h"
#include "app/YellowPagesAUentry.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Headless.h"
#include "tests/support/HttpServer.h"

namespace {

class SplashScreenUi : public ::testing::Test {
protected:
    void SetUp() override { InstallDeviceContextFactory(); }
    static void Pump() { Application->ProcessMessages(); }

    // Whether anything but the form's background shows inside the control.
    static bool ShowsInk(TfrmSplashScreen& form, TControl* c)
    {
        Pump();
        const std::uint32_t background = Headless::ScreenPixel(form.ClientToScreen({ form.GetClientWidth() - 4, 4 }));
        for (int y = 0; y < c->GetHeight(); ++y)
            for (int x = 0; x < c->GetWidth(); ++x)
                if (Headless::ScreenPixel(c->ClientToScreen({ x, y })) != background)
                    return true;
        return false;
    }

    THeadlessSession session;
};

TEST_F(SplashScreenUi, DesignStateAndPublishedComponents)
{
    TfrmSplashScreen popup(nullptr);
    EXPECT_EQ(popup.GetCaption(), u"QTX-SplashScreen");
    EXPECT_EQ(popup.GetFormStyle(), fsStayOnTop);
    EXPECT_EQ(popup.GetPosition(), poDesktopCenter);
    EXPECT_EQ(popup.GetBorderStyle(), bsDialog);
    EXPECT_TRUE(popup.GetBorderIcons().Empty());
    EXPECT_FALSE(popup.GetVisible());
    // The fields are the form's named components.
    struct Part {
        const char16_t* name;
        TComponent* field;
    } const parts[] = {
        { u"Image1", popup.Image1 }, { u"lblTitle", popup.lblTitle }, { u"lblMessages", popup.lblMessages },
        { u"lbURL", popup.lbURL }, { u"mmEmails", popup.mmEmails },
    };
    for (const Part& p : parts) {
        SCOPED_TRACE(StringToUtf8(p.name));
        ASSERT_NE(p.field, nullptr);
        EXPECT_EQ(popup.FindComponent(p.name), p.field);
    }
    EXPECT_EQ(popup.lblTitle->GetCaption(), u"Quarrytide [QTX]");
    EXPECT_EQ(popup.lblMessages->GetCaption(), u"Initializing...");
    EXPECT_EQ(popup.lbURL->GetCaption(), u"Initializing...");
    EXPECT_EQ(popup.mmEmails->GetText(), u"");
    EXPECT_FALSE(popup.mmEmails->GetEnabled());
    EXPECT_EQ(popup.mmEmails->GetAlign(), alBottom);
    // The auto-sized picture takes its own size at the top left.
    EXPECT_EQ(popup.Image1->GetBoundsRect(), TRect(0, 0, 119, 135));
}

TEST_F(SplashScreenUi, ShowsItsTextsAndAClickHidesIt)
{
    TfrmSplashScreen form(Application.Get());
    IStatusPopup& popup = form;
    popup.SetTitle(u"Data tunnels");
    popup.SetMessages(u"Data tunnel #1.\rPlease be patient!");
    const String longUrl = u"Now visiting: \rhttp://www.a-business-with-a-very-long-name.example/and/a/deep/page.html";
    popup.SetURL(longUrl);
    popup.SetEmails(u"Info@Acme.example\r\n");
    popup.Show();
    Pump();
    EXPECT_TRUE(form.GetVisible());
    EXPECT_TRUE(form.IsShowing());
    EXPECT_EQ(form.lblTitle->GetCaption(), u"Data tunnels");
    EXPECT_EQ(form.lblMessages->GetCaption(), u"Data tunnel #1.\rPlease be patient!");
    EXPECT_EQ(form.lbURL->GetCaption(), longUrl);
    // Addresses are shown in lower case.
    EXPECT_EQ(form.mmEmails->GetText(), u"info@acme.example\r\n");
    // A long address wraps inside the label rather than growing it past the form.
    EXPECT_EQ(form.lbURL->GetWidth(), 202);
    EXPECT_EQ(form.lbURL->GetHeight(), 45);
    EXPECT_LE(form.lbURL->GetLeft() + form.lbURL->GetWidth(), form.GetClientWidth());
    // A text is painted, and an emptied text is painted away.
    EXPECT_TRUE(ShowsInk(form, form.lblMessages));
    popup.SetMessages(u"");
    EXPECT_FALSE(ShowsInk(form, form.lblMessages));
    EXPECT_TRUE(ShowsInk(form, form.lbURL));

    // A click on the form itself (beside the texts, above the memo) hides it.
    Headless::Click(form.ClientToScreen({ form.GetClientWidth() - 10, 10 }));
    Pump();
    EXPECT_FALSE(form.GetVisible());
    EXPECT_FALSE(form.IsShowing());

    // It can be shown again with new texts, and hidden through the interface.
    popup.SetMessages(u"The page is loading...");
    popup.Show();
    Pump();
    EXPECT_TRUE(form.IsShowing());
    EXPECT_EQ(form.lblMessages->GetCaption(), u"The page is loading...");
    popup.Hide();
    Pump();
    EXPECT_FALSE(form.IsShowing());
}

// Forwards to a real pop-up and notes what it shows after each call.
class SnapshotPopup final : public IStatusPopup {
public:
    SnapshotPopup(std::unique_ptr<IStatusPopup> inner, std::vector<std::string>& log)
        : m_form(dynamic_cast<TfrmSplashScreen*>(inner.get())), m_inner(std::move(inner)), m_log(log)
    {
    }
    void SetTitle(const String& t) override { m_inner->SetTitle(t); }
    void SetMessages(const String& t) override { m_inner->SetMessages(t); }
    void SetURL(const String& t) override { m_inner->SetURL(t); }
    void SetEmails(const String& t) override
    {
        m_inner->SetEmails(t);
        Note();
    }
    void Show() override
    {
        m_inner->Show();
        Note();
    }
    void Hide() override { m_inner->Hide(); }
    TfrmSplashScreen* Form() const { return m_form; }

private:
    void Note()
    {
        m_log.push_back(std::string(m_form->IsShowing() ? "shown" : "hidden") + " | "
            + StringToUtf8(m_form->lblTitle->GetCaption()) + " | " + StringToUtf8(m_form->lblMessages->GetCaption())
            + " | " + StringToUtf8(m_form->lbURL->GetCaption()) + " | " + StringToUtf8(m_form->mmEmails->GetText()));
    }

    TfrmSplashScreen* m_form { nullptr };
    std::unique_ptr<IStatusPopup> m_inner;
    std::vector<std::string>& m_log;
};

TEST_F(SplashScreenUi, TheHarvestShowsItsStepsOnAPopupOwnedByTheApplication)
{
    testsupport::HttpServer site;
    site.Route("/acme", [](const testsupport::HttpRequest&) {
        testsupport::HttpResponse r;
        r.Body = "<html><body>Write to Sales@Acme.EXAMPLE</body></html>";
        return r;
    });
    const std::string url = site.BaseUrl() + "/acme";

    std::vector<std::string> log;
    const TStatusPopupFactory makeForm = SplashScreenFactory();
    TfrmSplashScreen* form = nullptr;
    // The program entry's own pop-up is owned by the application as well.
    TfrmSplashScreen entryPopup(Application.Get());
    const int before = Application->GetComponentCount();
    TYellowPagesAUentry entry(u"");
    entry.SetfHTTP(Utf8ToString(url));
    HarvestEmails(entry, [&]() -> std::unique_ptr<IStatusPopup> {
        auto popup = std::make_unique<SnapshotPopup>(makeForm(), log);
        form = popup->Form();
        EXPECT_NE(form, nullptr);
        EXPECT_EQ(form->GetOwner(), Application.Get());
        EXPECT_EQ(Application->GetComponentCount(), before + 1);
        EXPECT_NE(form->GetName(), entryPopup.GetName());
        return popup;
    });
    EXPECT_EQ(log, (std::vector<std::string> {
                       "shown | QTX url central | Initializing... | Analyzing page data... | ",
                       "shown | Data tunnels | Data tunnel #1.\rPlease be patient! | Now visiting: \r" + url
                           + " | sales@acme.example\r\n",
                       "shown | Data tunnels | Data tunnel #2.\rPlease be more patient! | Now visiting: \r" + url
                           + " | sales@acme.example\r\n",
                   }));
    EXPECT_EQ(StringToUtf8(entry.GetfEmail()), "Sales@Acme.EXAMPLE");
    // The pop-up is freed when the harvest ends.
    EXPECT_EQ(Application->GetComponentCount(), before);
}

} // namespace
