// Quarrytide: a web browser that captures business listings into CSV.
#include <cfenv>
#include <memory>

#include "app/AppVersion.h"
#include "app/EmailHarvest.h"
#include "app/MainWindow.h"
#include "app/SplashAdvance.h"
#include "app/SplashScreen.h"
#include "app/browser/LumWinWebBrowser.h"
#include "dropdown/GridEditorRegistration.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumSVGDocument.h"

namespace {

constexpr UINT SendChange = 0x0002;

// What the menu and tool bar units do for the whole run: menus open without
// animation in our own window manager (the desktop's settings are never
// touched), the setting is put back at the end; the window messages of the
// tool bars are registered though nothing sends them.
class TMenuUnits {
public:
    TMenuUnits()
    {
        BOOL animation = FALSE;
        if (SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation, 0))
            m_animation = animation != FALSE;
        SystemParametersInfo(SPI_SETMENUANIMATION, 0, nullptr, SendChange);
        MaskFloatingPointExceptions();
        for (const char16_t* name : { u"ClearHintControl", u"SBDRAWIMAGE", u"TBCompactWinHide", u"TBSetAeroVista",
                 u"TBPSetIgnoreALT", u"TBFUpdateContextMenu", u"TBSetMetro", u"TBRevertMetro", u"TBSetOffice2013",
                 u"TBShowShortCutHint" })
            RegisterWindowMessage(name);
    }
    ~TMenuUnits()
    {
        SystemParametersInfo(SPI_SETMENUANIMATION, 0, m_animation ? reinterpret_cast<void*>(1) : nullptr, SendChange);
    }
    TMenuUnits(const TMenuUnits&) = delete;
    TMenuUnits& operator=(const TMenuUnits&) = delete;

    // Floating-point errors give infinities and NaNs, never a trap, for the
    // whole run.
    static void MaskFloatingPointExceptions() { fedisableexcept(FE_ALL_EXCEPT); }

private:
    bool m_animation { false };
};

} // namespace

int main(int argc, char** argv)
{
    TMenuUnits menuUnits;
    // The main window's unit: the same floating-point state once more.
    TMenuUnits::MaskFloatingPointExceptions();

    Application->Initialize();
    Application->SetTitle(AppTitle);
    InstallDeviceContextFactory();
    InstallDialogs();
    InstallEmailHarvest(SplashScreenFactory());
    RegisterLumWinWebBrowserService();
    RegisterLumSVGDocuments();
    RegisterGridDropDownEditors();
    RegisterGridDateTimeEditor();
    TStyleManager::TrySetStyle(u"Amethyst Kamri", true);

    TfrmMyBrowser* frmMyBrowser = nullptr;
    Application->CreateForm(frmMyBrowser);
    // An address on the command line opens as if typed in the address bar.
    if (argc > 1 && frmMyBrowser) {
        frmMyBrowser->edURL->SetText(Utf8ToString(argv[1]));
        frmMyBrowser->btnGoClick(frmMyBrowser->btnGo);
    }
    TfrmSplashScreen* frmSplashScreen = nullptr;
    Application->CreateForm(frmSplashScreen);
    TfSplashAdvance* fSplashAdvance = nullptr;
    Application->CreateForm(fSplashAdvance);
    Application->Run();
    return 0;
}
