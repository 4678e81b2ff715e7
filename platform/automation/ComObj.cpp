#include "platform/automation/ComObj.h"

#include <map>
#include <mutex>

#include "platform/rtl/SysUtils.h"

TComPtr<IDispatch> ExcelApplicationFactory();
TComPtr<IDispatch> XMLDOMDocumentFactory();
TComPtr<IDispatch> WordApplicationFactory();
TComPtr<IDispatch> ADOConnectionFactory();
TComPtr<IDispatch> ADORecordSetFactory();

QT_PUBLISHED(TAutoDispatch)

namespace {

struct TServerTables {
    TServerTables()
    {
        Classes[u"excel.application"] = ExcelApplicationFactory;
        Classes[u"microsoft.xmldom"] = XMLDOMDocumentFactory;
        Classes[u"word.application"] = WordApplicationFactory;
        Classes[u"adodb.connection"] = ADOConnectionFactory;
        Classes[u"adodb.recordset"] = ADORecordSetFactory;
    }

    std::mutex Lock;
    std::map<String, TOleFactory> Classes;
    std::map<String, TComPtr<IDispatch>> Running;
};

TServerTables& Tables()
{
    static TServerTables tables;
    return tables;
}

String Key(const String& progID) { return AnsiLowerCase(Trim(progID)); }

IDispatch* RequireDispatch(const Variant& object, const String& name)
{
    IDispatch* d = VarToDispatch(object);
    if (!d)
        throw EOleError(u"Variant does not reference an automation object (member '" + name + u"')");
    return d;
}

Variant InvokeByName(const Variant& object, const String& name, WORD flags, std::initializer_list<Variant> args,
    const Variant* value)
{
    IDispatch* d = RequireDispatch(object, name);
    DISPID id = DISPID_VALUE;
    if (!name.empty()) {
        HRESULT hr = d->GetIDsOfNames(GUID_NULL, std::span<const String>(&name, 1), LOCALE_USER_DEFAULT,
            std::span<DISPID>(&id, 1));
        if (FAILED(hr))
            throw EOleSysError(u"Method '" + name + u"' not supported by automation object", hr);
    }
    DISPPARAMS params;
    if (value) {
        params.Args.push_back(*value);
        params.NamedArgs.push_back(DISPID_PROPERTYPUT);
    }
    // Last argument first.
    for (auto it = std::rbegin(args); it != std::rend(args); ++it)
        params.Args.push_back(*it);
    Variant result;
    EXCEPINFO info;
    HRESULT hr = d->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, flags, params, value ? nullptr : &result, &info,
        nullptr);
    if (hr == DISP_E_EXCEPTION)
        throw EOleException(info.Description, info.SCode ? info.SCode : hr, info.Source);
    if (hr == DISP_E_MEMBERNOTFOUND)
        throw EOleSysError(u"Member '" + name + u"' not found", hr);
    if (hr == DISP_E_BADPARAMCOUNT)
        throw EOleSysError(u"Invalid number of parameters for '" + name + u"'", hr);
    if (FAILED(hr))
        throw EOleSysError(u"Automation call '" + name + u"' failed", hr);
    return result;
}

} // namespace

void RegisterOleClass(const String& progID, TOleFactory factory)
{
    auto& t = Tables();
    std::lock_guard guard(t.Lock);
    t.Classes[Key(progID)] = std::move(factory);
}

void UnregisterOleClass(const String& progID)
{
    auto& t = Tables();
    std::lock_guard guard(t.Lock);
    t.Classes.erase(Key(progID));
}

Variant CreateOleObject(const String& progID)
{
    TOleFactory factory;
    {
        auto& t = Tables();
        std::lock_guard guard(t.Lock);
        auto it = t.Classes.find(Key(progID));
        if (it != t.Classes.end())
            factory = it->second;
    }
    if (!factory)
        throw EOleSysError(u"Invalid class string", CO_E_CLASSSTRING);
    TComPtr<IDispatch> object = factory();
    if (!object)
        throw EOleSysError(u"The server \"" + progID + u"\" could not be started", E_FAIL);
    return Variant(object.get(), true);
}

void RegisterActiveObject(const String& progID, IDispatch* object)
{
    auto& t = Tables();
    std::lock_guard guard(t.Lock);
    t.Running[Key(progID)] = TComPtr<IDispatch>(object);
}

void RevokeActiveObject(const String& progID)
{
    TComPtr<IDispatch> gone;
    auto& t = Tables();
    std::lock_guard guard(t.Lock);
    auto it = t.Running.find(Key(progID));
    if (it != t.Running.end()) {
        gone = std::move(it->second);
        t.Running.erase(it);
    }
}

Variant GetActiveOleObject(const String& progID)
{
    auto& t = Tables();
    std::lock_guard guard(t.Lock);
    if (!t.Classes.count(Key(progID)))
        throw EOleSysError(u"Invalid class string", CO_E_CLASSSTRING);
    auto it = t.Running.find(Key(progID));
    if (it == t.Running.end())
        throw EOleSysError(u"Operation unavailable", MK_E_UNAVAILABLE);
    return Variant(it->second.get(), true);
}

Variant DispGet(const Variant& object, const String& name, std::initializer_list<Variant> args)
{
    return InvokeByName(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, nullptr);
}

void DispPut(const Variant& object, const String& name, const Variant& value, std::initializer_list<Variant> args)
{
    InvokeByName(object, name, DISPATCH_PROPERTYPUT, args, &value);
}

Variant DispCall(const Variant& object, const String& name, std::initializer_list<Variant> args)
{
    return InvokeByName(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, nullptr);
}

Variant DispPath(const Variant& object, std::initializer_list<String> names)
{
    Variant v = object;
    for (const String& name : names)
        v = DispGet(v, name);
    return v;
}

// ---- TAutoDispatch

HRESULT TAutoDispatch::GetTypeInfoCount(UINT& count)
{
    count = 0;
    return S_OK;
}

HRESULT TAutoDispatch::GetTypeInfo(UINT, LCID, IInterface** typeInfo)
{
    if (typeInfo)
        *typeInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT TAutoDispatch::GetIDsOfNames(const TGUID&, std::span<const String> names, LCID, std::span<DISPID> dispIds)
{
    if (names.empty() || dispIds.size() < names.size())
        return E_POINTER;
    std::fill(dispIds.begin(), dispIds.end(), DISPID_UNKNOWN);
    auto table = Names();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (SameText(table[i], names[0])) {
            dispIds[0] = DISPID(i + 1);
            // Named arguments are not offered.
            return names.size() == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    return DISP_E_UNKNOWNNAME;
}

HRESULT TAutoDispatch::Invoke(DISPID dispId, const TGUID&, LCID, WORD flags, const DISPPARAMS& params,
    Variant* result, EXCEPINFO* excepInfo, UINT*)
{
    if (dispId == DISPID_VALUE)
        dispId = DefaultMember();
    if (dispId <= 0 || std::size_t(dispId) > Names().size())
        return DISP_E_MEMBERNOTFOUND;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const std::size_t named = params.NamedArgs.size();
    if (put && (named != 1 || params.NamedArgs[0] != DISPID_PROPERTYPUT || params.Args.empty()))
        return DISP_E_BADPARAMCOUNT;
    if (!put && named != 0)
        return DISP_E_BADPARAMCOUNT;
    std::vector<Variant> args(params.Args.rbegin(), params.Args.rend() - std::ptrdiff_t(named));
    try {
        Variant r = DoInvoke(dispId, flags, args, put ? &params.Args[0] : nullptr);
        if (result)
            *result = std::move(r);
        return S_OK;
    } catch (const EOleSysError& e) {
        if (excepInfo) {
            excepInfo->Clear();
            excepInfo->Source = SourceName();
            excepInfo->Description = e.Message;
            excepInfo->SCode = e.ErrorCode;
        }
        return DISP_E_EXCEPTION;
    } catch (const Exception& e) {
        if (excepInfo) {
            excepInfo->Clear();
            excepInfo->Source = SourceName();
            excepInfo->Description = e.Message;
            excepInfo->SCode = DISP_E_EXCEPTION;
        }
        return DISP_E_EXCEPTION;
    } catch (const std::exception& e) {
        // Library failures (memory, containers) reach the caller as the
        // member's failure too, never as a foreign exception.
        if (excepInfo) {
            excepInfo->Clear();
            excepInfo->Source = SourceName();
            const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
            excepInfo->Description = memory ? String(u"Out of memory") : Utf8ToString(e.what());
            excepInfo->SCode = memory ? E_OUTOFMEMORY : DISP_E_EXCEPTION;
        }
        return DISP_E_EXCEPTION;
    }
}

Variant TAutoDispatch::AsVariant(TAutoDispatch* object) { return Variant(static_cast<IDispatch*>(object), true); }

void RequireArgs(std::span<const Variant> args, std::size_t count)
{
    if (args.size() < count)
        throw EOleSysError(u"Invalid number of parameters", DISP_E_BADPARAMCOUNT);
}

bool IsPut(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
