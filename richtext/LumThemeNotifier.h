#pragma once
// Following the user's Office theme: a worker thread watches the Office
// "Common" registry key and posts WM_OFFICETHEMECHANGED to a hidden window
// and to every registered window, so restyling runs on the GUI thread.

#include <memory>
#include <mutex>
#include <vector>

#include "platform/rtl/Registry.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"
#include "richtext/LumStyles.h"

// Window handles, safe to change on the GUI thread while the worker walks
// them: every call takes the list's lock.
class THandleList {
public:
    void Add(HWND Value);
    void Insert(int Index, HWND Value);
    // Raises EListError for an index out of range.
    void Delete(int Index);
    // Removes the first equal entry, if any.
    void DeleteValue(HWND Value);
    bool HasValue(HWND Value) const;
    HWND GetInteger(int Index) const;
    void SetInteger(int Index, HWND Value);
    int GetCount() const;
    // A copy taken under the lock, for walking without holding it.
    std::vector<HWND> Snapshot() const;

private:
    void CheckIndex(std::size_t Index, std::size_t Limit) const;

    mutable std::mutex FLock;
    std::vector<HWND> FItems;
};

class TRegMonitorThread : public TThread {
public:
    TRegMonitorThread();
    // Stops the worker and waits for it.
    ~TRegMonitorThread() override;

    // Ends the wait at once; the loop then finishes.
    void Stop();

    const String& GetKey() const { return FKey; }
    void SetKey(const String& Value) { FKey = Value; }
    HKEY GetRootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value) { FRootKey = Value; }
    bool GetWatchSub() const { return FWatchSub; }
    void SetWatchSub(bool Value) { FWatchSub = Value; }
    // 0 reads as all four change kinds (15).
    DWORD GetFilter();
    void SetFilter(DWORD Value) { FFilter = Value; }
    HWND GetWnd() const { return FWnd; }
    void SetWnd(HWND Value) { FWnd = Value; }
    THandleList* GetWinList() { return &FWinList; }

protected:
    void Execute() override;

private:
    void ArmNotification();
    void NotifyWindows();

    std::unique_ptr<TRegistry> FReg { std::make_unique<TRegistry>(KEY_READ) };
    // Made before the thread starts, so Stop can always signal it.
    std::unique_ptr<TEvent> FEvent { std::make_unique<TEvent>(true, false, u"RegMonitorChange") };
    String FKey;
    HKEY FRootKey { HKEY_CURRENT_USER };
    // The watch always covers the whole subtree.
    bool FWatchSub { false };
    DWORD FFilter { 0 };
    HWND FWnd { nullptr };
    THandleList FWinList;
};

namespace LumStyleIF {

// Invisible window that turns WM_OFFICETHEMECHANGED into an event.
class TThemeNotifierWindow : public TWinControl {
    QT_CLASS(TThemeNotifierWindow, TWinControl)
public:
    using TWinControl::TWinControl;
    TNotifyEvent OnOfficeThemeChange;

protected:
    void WndProc(TMessage& Message) override;
};

} // namespace LumStyleIF

class TThemeNotifier : public TComponent {
    QT_CLASS(TThemeNotifier, TComponent)
public:
    // With Office 12 or later installed (and not designing), makes the
    // hidden window (parented to AOwner, which must then be a windowed
    // control: EInvalidCast otherwise) and starts the worker.
    explicit TThemeNotifier(TComponent* AOwner);
    ~TThemeNotifier() override;

    // Both do nothing when there is no worker.
    void RegisterWindow(HWND Hwnd);
    void UnRegisterWindow(HWND Hwnd);

    TRegMonitorThread* GetRegMonitorThread() const { return RegMonitorThread.get(); }
    LumStyleIF::TThemeNotifierWindow* GetNotifierWindow() const { return FNotifier; }

    TNotifyEvent OnOfficeThemeChange;

private:
    void OfficeThemeChanged();

    // Owned here and joined on destruction, so no one ever calls into a
    // worker that has already ended.
    std::unique_ptr<TRegMonitorThread> RegMonitorThread;
    LumStyleIF::TThemeNotifierWindow* FNotifier { nullptr };
};

// The process-wide notifier, made on first call (owned by the main form when
// its window exists, else by AOwner).
TThemeNotifier* SharedThemeNotifier(TComponent* AOwner);
