#include "platform/rtl/Modules.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/rtl/SysUtils.h"

namespace {

struct TModule {
    String FileName;
    std::vector<TModuleExport> Exports;
    int LoadCount { 0 };
};

struct TModules {
    std::mutex Lock;
    // Keyed by the upper-case file name; modules are never freed, so a
    // handle stays a valid address while the program runs.
    std::map<String, std::unique_ptr<TModule>> ByName;
};

TModules& Modules()
{
    static TModules* modules = new TModules; // lives through exit-time destruction
    return *modules;
}

TModule* Loaded(TModules& m, HMODULE module)
{
    for (auto& [name, mod] : m.ByName)
        if (HMODULE(mod.get()) == module)
            return mod->LoadCount > 0 ? mod.get() : nullptr;
    return nullptr;
}

} // namespace

void RegisterModule(const String& fileName, std::vector<TModuleExport> exports)
{
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    auto& mod = m.ByName[UpperCase(fileName)];
    if (!mod)
        mod = std::make_unique<TModule>();
    mod->FileName = fileName;
    mod->Exports = std::move(exports);
}

void UnregisterModule(const String& fileName)
{
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    auto it = m.ByName.find(UpperCase(fileName));
    if (it == m.ByName.end())
        return;
    it->second->Exports.clear();
    it->second->FileName.clear();
}

HMODULE LoadLibrary(const String& fileName)
{
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    auto it = m.ByName.find(UpperCase(fileName));
    if (it == m.ByName.end() || it->second->FileName.empty())
        return nullptr;
    ++it->second->LoadCount;
    return HMODULE(it->second.get());
}

FARPROC GetProcAddress(HMODULE module, const char* procName)
{
    if (!procName)
        return nullptr;
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    if (TModule* mod = Loaded(m, module))
        for (const TModuleExport& e : mod->Exports)
            if (std::strcmp(e.Name, procName) == 0)
                return e.Proc;
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    TModules& m = Modules();
    std::lock_guard lock(m.Lock);
    TModule* mod = Loaded(m, module);
    if (!mod)
        return FALSE;
    --mod->LoadCount;
    return TRUE;
}
