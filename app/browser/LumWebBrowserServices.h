#pragma once
// The process-wide registry of platform services the browser control asks
// for its platform browser, and the factory base of the browser service.
// Keys are a service identity's canonical text ("{XXXXXXXX-...}", upper-case
// hexadecimal), compared exactly.

#include <memory>
#include <vector>

#include "app/browser/LumWebBrowser.h"

class ILumWebBrowserService : public virtual IInterface {
public:
    QT_INTERFACE_ID("{94C7BF89-2B0A-40DF-8C24-B393CEB91389}");
    virtual TComPtr<ILumCustomWebBrowser> CreateWebBrowser(TLumCustomWebBrowser* AValue) = 0;
    virtual void DeleteCookies() = 0;
    virtual void DestroyWebBrowser(const TComPtr<ILumCustomWebBrowser>& AValue) = 0;

protected:
    ~ILumWebBrowserService() = default;
};

// The canonical registry text of an identity.
String LumGUIDToString(const TGUID& AGUID);

// The interface I of an object, with a reference of its own; null when the
// object does not answer I's identity.
template<class I>
TComPtr<I> LumQueryInterface(IInterface* AObject)
{
    void* found = nullptr;
    if (!AObject || AObject->QueryInterface(I::IID, &found) != S_OK || !found)
        return nullptr;
    return TComPtr<I>::Adopt(static_cast<I*>(found));
}

// Holds a reference to every browser it created until DestroyWebBrowser.
class TLumWebBrowserFactoryService : public TInterfacedObject, public ILumWebBrowserService {
    QT_CLASS(TLumWebBrowserFactoryService, TInterfacedObject)
    QT_INTERFACES(ILumWebBrowserService)
public:
    TLumWebBrowserFactoryService() = default;
    TComPtr<ILumCustomWebBrowser> CreateWebBrowser(TLumCustomWebBrowser* AValue) override;
    void DestroyWebBrowser(const TComPtr<ILumCustomWebBrowser>& AValue) override;
    int GetWebBrowserCount() const { return int(FWebBrowsers.size()); }

protected:
    virtual TComPtr<ILumCustomWebBrowser> DoCreateWebBrowser(TLumCustomWebBrowser* AValue) = 0;

private:
    std::vector<TComPtr<ILumCustomWebBrowser>> FWebBrowsers;
};

class TLumWebBrowserPlatformServicesService : public TObject {
public:
    TLumWebBrowserPlatformServicesService(const String& AGUID, const TComPtr<IInterface>& AInterface)
        : FInterface(AInterface), FGUID(AGUID)
    {
    }
    const TComPtr<IInterface>& GetInterface() const { return FInterface; }
    const String& GetGUID() const { return FGUID; }

private:
    TComPtr<IInterface> FInterface;
    String FGUID;
};

class TLumWebBrowserPlatformServicesList {
public:
    int Count() const { return int(FItems.size()); }
    void Add(std::unique_ptr<TLumWebBrowserPlatformServicesService> AItem) { FItems.push_back(std::move(AItem)); }
    // The first entry with the key wins.
    bool ContainsKey(const String& AGUID) const;
    TComPtr<IInterface> GetValue(const String& AGUID) const;
    // Removes the last entry with the key.
    void RemoveByGUID(const String& AGUID);

private:
    std::vector<std::unique_ptr<TLumWebBrowserPlatformServicesService>> FItems;
};

class TLumWebBrowserPlatformServices {
public:
    // The registry, made on first use; null once the browser unit has ended.
    static TLumWebBrowserPlatformServices* Current();
    // Frees the registry (releasing its services) and refuses a new one.
    static void Finalize();
    // Allows a registry again after Finalize.
    static void Reopen();

    int Count() const { return FServicesList.Count(); }
    // Adds nothing when the key is taken or the service does not answer the
    // identity.
    void AddPlatformService(const TGUID& AServiceGUID, const TComPtr<IInterface>& AService);
    void RemovePlatformService(const TGUID& AServiceGUID);
    // The first service under the key when it answers the identity; null
    // otherwise.
    TComPtr<IInterface> GetPlatformService(const TGUID& AServiceGUID);
    bool SupportsPlatformService(const TGUID& AServiceGUID);
    // AService: the first service under the key when it answers the identity,
    // else null; the result tells which.
    bool SupportsPlatformService(const TGUID& AServiceGUID, TComPtr<IInterface>& AService);

private:
    TLumWebBrowserPlatformServicesList FServicesList;
};

// The browser service for controls: the registered one, or null.
TComPtr<ILumWebBrowserService> LumWebBrowserService();
