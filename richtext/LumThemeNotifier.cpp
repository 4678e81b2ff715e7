#include "richtext/LumThemeNotifier.h"

#include <algorithm>
#include <set>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

namespace {

TThemeNotifier* g_sharedNotifier = nullptr;

// Posted messages are read after the worker may be gone, so the key path
// they point to lives for the whole process (there are only a few).
const Char* InternedKeyPath(const String& path)
{
    static std::mutex lock;
    static std::set<String> paths;
    std::lock_guard g(lock);
    return paths.insert(path).first->c_str();
}

} // namespace

// ---- THandleList ----

void THandleList::CheckIndex(std::size_t Index, std::size_t Limit) const
{
    if (Index >= Limit)
        throw EListError(u"List index out of bounds (" + IntToStr(Int64(Index)) + u")");
}

void THandleList::Add(HWND Value)
{
    std::lock_guard g(FLock);
    FItems.push_back(Value);
}

void THandleList::Insert(int Index, HWND Value)
{
    std::lock_guard g(FLock);
    CheckIndex(std::size_t(Index), FItems.size() + 1);
    FItems.insert(FItems.begin() + Index, Value);
}

void THandleList::Delete(int Index)
{
    std::lock_guard g(FLock);
    CheckIndex(std::size_t(Index), FItems.size());
    FItems.erase(FItems.begin() + Index);
}

void THandleList::DeleteValue(HWND Value)
{
    std::lock_guard g(FLock);
    if (auto it = std::find(FItems.begin(), FItems.end(), Value); it != FItems.end())
        FItems.erase(it);
}

bool THandleList::HasValue(HWND Value) const
{
    std::lock_guard g(FLock);
    return std::find(FItems.begin(), FItems.end(), Value) != FItems.end();
}

HWND THandleList::GetInteger(int Index) const
{
    std::lock_guard g(FLock);
    CheckIndex(std::size_t(Index), FItems.size());
    return FItems[std::size_t(Index)];
}

void THandleList::SetInteger(int Index, HWND Value)
{
    std::lock_guard g(FLock);
    CheckIndex(std::size_t(Index), FItems.size());
    FItems[std::size_t(Index)] = Value;
}

int THandleList::GetCount() const
{
    std::lock_guard g(FLock);
    return int(FItems.size());
}

std::vector<HWND> THandleList::Snapshot() const
{
    std::lock_guard g(FLock);
    return FItems;
}

// ---- TRegMonitorThread ----

TRegMonitorThread::TRegMonitorThread() = default;

TRegMonitorThread::~TRegMonitorThread()
{
    Stop();
    if (GetStarted())
        WaitFor();
    // The watch refers to the event: end it before the event goes.
    FReg->CloseKey();
}

void TRegMonitorThread::Stop()
{
    Terminate();
    FEvent->SetEvent();
}

DWORD TRegMonitorThread::GetFilter()
{
    if (FFilter == 0)
        FFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES | REG_NOTIFY_CHANGE_LAST_SET
            | REG_NOTIFY_CHANGE_SECURITY;
    return FFilter;
}

void TRegMonitorThread::ArmNotification()
{
    RegNotifyChangeKeyValue(FReg->GetCurrentKey(), 1, GetFilter(), FEvent.get(), 1);
}

void TRegMonitorThread::NotifyWindows()
{
    const auto wParam = WPARAM(reinterpret_cast<std::uintptr_t>(FRootKey));
    const auto lParam = LPARAM(reinterpret_cast<std::intptr_t>(InternedKeyPath(FKey)));
    if (FWnd)
        PostMessage(FWnd, WM_OFFICETHEMECHANGED, wParam, lParam);
    for (HWND h : FWinList.Snapshot())
        PostMessage(h, WM_OFFICETHEMECHANGED, wParam, lParam);
}

void TRegMonitorThread::Execute()
{
    FReg->SetRootKey(FRootKey);
    if (!FReg->OpenKeyReadOnly(FKey))
        throw Exception(u"Unable to open registry key " + FKey);
    ArmNotification();
    while (!GetTerminated()) {
        if (FEvent->WaitFor(INFINITE) != TWaitResult::wrSignaled)
            continue;
        if (GetTerminated())
            break;
        // Re-armed before the windows hear of it, so a change made while
        // they restyle starts the next round instead of going unseen.
        FEvent->ResetEvent();
        ArmNotification();
        NotifyWindows();
    }
    FReg->CloseKey();
}

// ---- LumStyleIF::TThemeNotifierWindow ----

namespace LumStyleIF {

QT_PUBLISHED(TThemeNotifierWindow)

void TThemeNotifierWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_OFFICETHEMECHANGED && OnOfficeThemeChange)
        OnOfficeThemeChange(this);
    TWinControl::WndProc(Message);
}

} // namespace LumStyleIF

// ---- TThemeNotifier ----

QT_PUBLISHED(TThemeNotifier, QT_EVENT(OnOfficeThemeChange))

TThemeNotifier::TThemeNotifier(TComponent* AOwner) : TComponent(AOwner)
{
    if (IsDesigning(this))
        return;
    static const Char* const keys[] = { u"Software\\Microsoft\\Office\\12.0\\Common",
        u"Software\\Microsoft\\Office\\14.0\\Common", u"Software\\Microsoft\\Office\\15.0\\Common",
        u"Software\\Microsoft\\Office\\16.0\\Common" };
    const int version = InstalledOfficeVersion();
    if (version < 1 || version > 4)
        return;
    auto* parent = dynamic_cast<TWinControl*>(AOwner);
    if (!parent)
        throw EInvalidCast(u"Invalid class typecast");
    FNotifier = new LumStyleIF::TThemeNotifierWindow(this);
    FNotifier->SetVisible(false);
    FNotifier->SetParent(parent);
    FNotifier->OnOfficeThemeChange = [this](TObject*) { OfficeThemeChanged(); };

    auto thread = std::make_unique<TRegMonitorThread>();
    thread->SetWnd(FNotifier->GetHandle());
    thread->SetFilter(REG_NOTIFY_CHANGE_LAST_SET);
    thread->SetKey(keys[version - 1]);
    thread->SetRootKey(HKEY_CURRENT_USER);
    thread->SetWatchSub(true);
    thread->Start();
    RegMonitorThread = std::move(thread);
}

TThemeNotifier::~TThemeNotifier()
{
    Destroying();
    RegMonitorThread.reset();
    if (g_sharedNotifier == this)
        g_sharedNotifier = nullptr;
}

void TThemeNotifier::RegisterWindow(HWND Hwnd)
{
    if (!RegMonitorThread)
        return;
    THandleList* list = RegMonitorThread->GetWinList();
    if (!list->HasValue(Hwnd))
        list->Add(Hwnd);
}

void TThemeNotifier::UnRegisterWindow(HWND Hwnd)
{
    if (RegMonitorThread)
        RegMonitorThread->GetWinList()->DeleteValue(Hwnd);
}

void TThemeNotifier::OfficeThemeChanged()
{
    if (OnOfficeThemeChange)
        OnOfficeThemeChange(this);
}

TThemeNotifier* SharedThemeNotifier(TComponent* AOwner)
{
    if (g_sharedNotifier)
        return g_sharedNotifier;
    TComponent* owner = AOwner;
    if (Application) {
        TCustomForm* main = Application->GetMainForm();
        if (main && main->HandleAllocated())
            owner = main;
    }
    g_sharedNotifier = new TThemeNotifier(owner);
    return g_sharedNotifier;
}
