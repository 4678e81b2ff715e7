#pragma once
// Late-bound automation from the caller's side: servers are created by
// ProgID from a table of factories (or taken from the running-object list),
// and their members are read, written and called by name on the Variant that
// holds them. TAutoDispatch is the base of our own servers: a class lists its
// member names once and answers calls in one virtual method.

#include <functional>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "platform/automation/OleAuto.h"

QT_DECLARE_EXCEPTION(EOleError, Exception);

// A failure of the automation layer itself: no such server, no such member,
// wrong argument count. ErrorCode is the result code of the failed step.
class EOleSysError : public EOleError {
public:
    EOleSysError(const String& message, HRESULT errorCode) : EOleError(message), ErrorCode(errorCode) { }
    String ClassName() const override { return u"EOleSysError"; }
    HRESULT ErrorCode;
};

// A member of a server raised: Message is the member's own text.
class EOleException : public EOleSysError {
public:
    EOleException(const String& message, HRESULT errorCode, String source)
        : EOleSysError(message, errorCode), Source(std::move(source)) { }
    String ClassName() const override { return u"EOleException"; }
    String Source;
};

inline constexpr HRESULT CO_E_CLASSSTRING = HRESULT(0x800401F3u);
inline constexpr HRESULT MK_E_UNAVAILABLE = HRESULT(0x800401E3u);

// ---- servers by ProgID

// Makes a new instance of a server.
using TOleFactory = std::function<TComPtr<IDispatch>()>;

// The ProgID table (names compared ignoring case). "Excel.Application",
// "Microsoft.XMLDOM", "word.application", "ADODB.Connection" and
// "ADODB.RecordSet" are
// there from the start; tests may remove one to see "server not found".
void RegisterOleClass(const String& progID, TOleFactory factory);
void UnregisterOleClass(const String& progID);

// A new instance of the server (varDispatch); raises EOleSysError
// "Invalid class string" when the ProgID is not in the table.
Variant CreateOleObject(const String& progID);

// The running-object list: instances registered under their ProgID. The
// program registers nothing, so GetActiveOleObject raises EOleSysError
// "Operation unavailable" unless a caller (a test) registered one.
void RegisterActiveObject(const String& progID, IDispatch* object);
void RevokeActiveObject(const String& progID);
Variant GetActiveOleObject(const String& progID);

// ---- members by name

// Reads a property, or an indexed property with `args` (in call order). An
// empty name is the default member: DispGet(sheets, u"", {1}) is Sheets[1].
Variant DispGet(const Variant& object, const String& name, std::initializer_list<Variant> args = {});
// Writes a property (indexed with `args`).
void DispPut(const Variant& object, const String& name, const Variant& value,
    std::initializer_list<Variant> args = {});
// Calls a method; its result, or Empty.
Variant DispCall(const Variant& object, const String& name, std::initializer_list<Variant> args = {});

// Chained reads: DispPath(app, {u"ActiveCell", u"Row"}).
Variant DispPath(const Variant& object, std::initializer_list<String> names);

// ---- our own servers

// A dispatch object whose members are named in a table: the DISPID of a
// member is its index in Names() plus one (0 is the default member, when
// the class names one in DefaultMember()). Invoke hands the arguments over
// in call order and turns a raised Exception into DISP_E_EXCEPTION with the
// message as the description.
class TAutoDispatch : public TInterfacedObject, public IDispatch {
    QT_CLASS(TAutoDispatch, TInterfacedObject)
    QT_INTERFACES(IDispatch)
public:
    HRESULT GetTypeInfoCount(UINT& count) override;
    HRESULT GetTypeInfo(UINT index, LCID locale, IInterface** typeInfo) override;
    HRESULT GetIDsOfNames(const TGUID& iid, std::span<const String> names, LCID locale,
        std::span<DISPID> dispIds) override;
    HRESULT Invoke(DISPID dispId, const TGUID& iid, LCID locale, WORD flags, const DISPPARAMS& params,
        Variant* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // A new reference held by a variant.
    static Variant AsVariant(TAutoDispatch* object);

protected:
    // The member names; a name's position plus one is its DISPID.
    virtual std::span<const StringView> Names() const = 0;
    // The DISPID that DISPID_VALUE stands for; 0 when there is no default member.
    virtual DISPID DefaultMember() const { return 0; }
    // Answers one call. `value` is the assigned value of a property put,
    // nullptr otherwise. Raise for a failure; the message reaches the caller.
    virtual Variant DoInvoke(DISPID id, WORD flags, std::span<const Variant> args, const Variant* value) = 0;
    // The server name put into EXCEPINFO's Source.
    virtual String SourceName() const { return u"Automation server"; }
};

// A new server object of type T, held by a variant.
template<class T, class... A>
Variant MakeDispatch(A&&... args)
{
    return TAutoDispatch::AsVariant(new T(std::forward<A>(args)...));
}

// Helpers for DoInvoke.
void RequireArgs(std::span<const Variant> args, std::size_t count);
bool IsPut(WORD flags);
