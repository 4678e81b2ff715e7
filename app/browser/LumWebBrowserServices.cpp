#include "app/browser/LumWebBrowserServices.h"

#include <algorithm>

namespace {

std::unique_ptr<TLumWebBrowserPlatformServices>& Registry()
{
    static std::unique_ptr<TLumWebBrowserPlatformServices> registry;
    return registry;
}

bool& Finalized()
{
    static bool finalized = false;
    return finalized;
}

bool Answers(IInterface* AService, const TGUID& AGUID)
{
    void* found = nullptr;
    if (!AService || AService->QueryInterface(AGUID, &found) != S_OK || !found)
        return false;
    // The query counted a reference; give it back.
    AService->Release();
    return true;
}

} // namespace

String LumGUIDToString(const TGUID& AGUID) { return AGUID.ToString(); }

// ---- factory ----

QT_PUBLISHED(TLumWebBrowserFactoryService)

TComPtr<ILumCustomWebBrowser> TLumWebBrowserFactoryService::CreateWebBrowser(TLumCustomWebBrowser* AValue)
{
    TComPtr<ILumCustomWebBrowser> browser = DoCreateWebBrowser(AValue);
    if (browser)
        FWebBrowsers.push_back(browser);
    return browser;
}

void TLumWebBrowserFactoryService::DestroyWebBrowser(const TComPtr<ILumCustomWebBrowser>& AValue)
{
    if (!AValue)
        return;
    auto it = std::find(FWebBrowsers.begin(), FWebBrowsers.end(), AValue);
    if (it != FWebBrowsers.end())
        FWebBrowsers.erase(it);
}

// ---- entry list ----

bool TLumWebBrowserPlatformServicesList::ContainsKey(const String& AGUID) const
{
    return std::any_of(FItems.begin(), FItems.end(), [&](const auto& item) { return item->GetGUID() == AGUID; });
}

TComPtr<IInterface> TLumWebBrowserPlatformServicesList::GetValue(const String& AGUID) const
{
    for (const auto& item : FItems)
        if (item->GetGUID() == AGUID)
            return item->GetInterface();
    return nullptr;
}

void TLumWebBrowserPlatformServicesList::RemoveByGUID(const String& AGUID)
{
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
        if ((*it)->GetGUID() == AGUID) {
            FItems.erase(std::next(it).base());
            return;
        }
}

// ---- registry ----

TLumWebBrowserPlatformServices* TLumWebBrowserPlatformServices::Current()
{
    auto& registry = Registry();
    if (!registry && !Finalized())
        registry = std::make_unique<TLumWebBrowserPlatformServices>();
    return registry.get();
}

void TLumWebBrowserPlatformServices::Finalize()
{
    Finalized() = true;
    // Take it out first: releasing a service may ask for the registry.
    auto old = std::move(Registry());
    old.reset();
}

void TLumWebBrowserPlatformServices::Reopen() { Finalized() = false; }

void TLumWebBrowserPlatformServices::AddPlatformService(const TGUID& AServiceGUID, const TComPtr<IInterface>& AService)
{
    const String key = LumGUIDToString(AServiceGUID);
    if (FServicesList.ContainsKey(key) || !Answers(AService.get(), AServiceGUID))
        return;
    FServicesList.Add(std::make_unique<TLumWebBrowserPlatformServicesService>(key, AService));
}

void TLumWebBrowserPlatformServices::RemovePlatformService(const TGUID& AServiceGUID)
{
    FServicesList.RemoveByGUID(LumGUIDToString(AServiceGUID));
}

TComPtr<IInterface> TLumWebBrowserPlatformServices::GetPlatformService(const TGUID& AServiceGUID)
{
    TComPtr<IInterface> service = FServicesList.GetValue(LumGUIDToString(AServiceGUID));
    return Answers(service.get(), AServiceGUID) ? service : nullptr;
}

bool TLumWebBrowserPlatformServices::SupportsPlatformService(const TGUID& AServiceGUID)
{
    return FServicesList.ContainsKey(LumGUIDToString(AServiceGUID));
}

bool TLumWebBrowserPlatformServices::SupportsPlatformService(const TGUID& AServiceGUID, TComPtr<IInterface>& AService)
{
    AService = GetPlatformService(AServiceGUID);
    return bool(AService);
}

TComPtr<ILumWebBrowserService> LumWebBrowserService()
{
    auto* services = TLumWebBrowserPlatformServices::Current();
    TComPtr<IInterface> service;
    if (!services || !services->SupportsPlatformService(ILumWebBrowserService::IID, service))
        return nullptr;
    return LumQueryInterface<ILumWebBrowserService>(service.get());
}
