#pragma once
// The tooltip window class ("tooltips_class32") driven by TTM_* messages,
// which shows a tool's text after the pointer rests on it and tells the
// tool's window with TTN_* notifications; with TTS_BALLOON it takes the
// balloon shape with a stem pointing at the spot. TBalloonHint shows one
// such balloon on demand.

#include <memory>

#include "platform/vcl/Edits.h"
#include "platform/vcl/StdCtrls.h"

inline constexpr const char16_t* TOOLTIPS_CLASS = u"tooltips_class32";

// Window styles.
inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;
inline constexpr DWORD TTS_NOANIMATE = 0x10;
inline constexpr DWORD TTS_NOFADE = 0x20;
inline constexpr DWORD TTS_BALLOON = 0x40;
inline constexpr DWORD TTS_CLOSE = 0x80;

// Tool flags.
inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_CENTERTIP = 0x0002;
inline constexpr UINT TTF_RTLREADING = 0x0004;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
inline constexpr UINT TTF_TRACK = 0x0020;
inline constexpr UINT TTF_ABSOLUTE = 0x0080;
inline constexpr UINT TTF_TRANSPARENT = 0x0100;
inline constexpr UINT TTF_PARSELINKS = 0x1000;
inline constexpr UINT TTF_DI_SETITEM = 0x8000;

// Delay kinds of TTM_SETDELAYTIME.
inline constexpr WPARAM TTDT_AUTOMATIC = 0;
inline constexpr WPARAM TTDT_RESHOW = 1;
inline constexpr WPARAM TTDT_AUTOPOP = 2;
inline constexpr WPARAM TTDT_INITIAL = 3;

// Title icons: TTI_NONE .. TTI_ERROR, shared with the edit's balloon tips.

// Messages (the UTF-16 forms).
inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_TRACKACTIVATE = WM_USER + 17;
inline constexpr UINT TTM_TRACKPOSITION = WM_USER + 18;
inline constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
inline constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
inline constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
inline constexpr UINT TTM_GETTIPBKCOLOR = WM_USER + 22;
inline constexpr UINT TTM_GETTIPTEXTCOLOR = WM_USER + 23;
inline constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;
inline constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
inline constexpr UINT TTM_POP = WM_USER + 28;
inline constexpr UINT TTM_UPDATE = WM_USER + 29;
inline constexpr UINT TTM_SETTITLE = WM_USER + 33;
inline constexpr UINT TTM_POPUP = WM_USER + 34;
inline constexpr UINT TTM_ADDTOOL = WM_USER + 50;
inline constexpr UINT TTM_DELTOOL = WM_USER + 51;
inline constexpr UINT TTM_NEWTOOLRECT = WM_USER + 52;
inline constexpr UINT TTM_GETTOOLINFO = WM_USER + 53;
inline constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 57;


inline constexpr UINT TTN_FIRST = 0u - 520u;
inline constexpr UINT TTN_GETDISPINFO = TTN_FIRST - 10;
inline constexpr UINT TTN_NEEDTEXT = TTN_GETDISPINFO;
inline constexpr UINT TTN_SHOW = TTN_FIRST - 1;
inline constexpr UINT TTN_POP = TTN_FIRST - 2;

// The text of a tool is asked for with TTN_GETDISPINFO when it is this.
inline char16_t* const LPSTR_TEXTCALLBACK = reinterpret_cast<char16_t*>(-1);

struct TOOLINFO {
    UINT cbSize { 48 };
    UINT uFlags { 0 };
    HWND hwnd { nullptr };
    UINT_PTR uId { 0 };
    RECT rect {};
    HINSTANCE hinst { nullptr };
    char16_t* lpszText { nullptr };
    LPARAM lParam { 0 };
    void* lpReserved { nullptr };
};
using TToolInfo = TOOLINFO;

// TTN_GETDISPINFO: the handler writes into szText or points lpszText at its
// own text (kept alive until the message returns).
struct NMTTDISPINFO {
    NMHDR hdr;
    char16_t* lpszText { nullptr };
    char16_t szText[80] {};
    HINSTANCE hinst { nullptr };
    UINT uFlags { 0 };
    LPARAM lParam { 0 };
};

// Registers the tooltip window class (done by the first tooltip made
// through CreateToolTipWindow or TBalloonHint; call it before creating one
// with CreateWindowEx by class name).
void RegisterToolTipClass();
// A tooltip window owned by `Owner` with the given TTS_* styles.
HWND CreateToolTipWindow(HWND Owner, DWORD Style);

// ---- balloon hint ----

enum TBalloonHintStyle { bhsBalloon, bhsStandard };
QT_ENUM(TBalloonHintStyle, bhsBalloon, bhsStandard)

class TBalloonHint : public TComponent {
    QT_CLASS(TBalloonHint, TComponent)
public:
    explicit TBalloonHint(TComponent* AOwner = nullptr);
    ~TBalloonHint() override;

    const String& GetTitle() const { return m_title; }
    void SetTitle(const String& v) { m_title = v; }
    const String& GetDescription() const { return m_description; }
    void SetDescription(const String& v) { m_description = v; }
    TBalloonHintStyle GetStyle() const { return m_style; }
    void SetStyle(TBalloonHintStyle v);
    // Milliseconds before the balloon hides by itself; 0 keeps it up.
    int GetHideAfter() const { return m_hideAfter; }
    void SetHideAfter(int v) { m_hideAfter = v; }
    int GetDelay() const { return m_delay; }
    void SetDelay(int v) { m_delay = v; }

    // Shows the balloon with its stem at a screen point, under a control,
    // or under the middle of a screen rectangle's bottom edge.
    void ShowHint(TPoint Point);
    void ShowHint(TControl* Control);
    void ShowHint(TRect Rect);
    void HideHint();
    bool GetShowing() const;
    // The tooltip window behind the balloon (null until first shown).
    HWND GetHandle() const { return m_handle; }

private:
    void EnsureWindow();
    String m_title;
    String m_description;
    TBalloonHintStyle m_style { bhsBalloon };
    int m_hideAfter { -1 };
    int m_delay { 500 };
    HWND m_handle { nullptr };
    String m_shownText;
};
