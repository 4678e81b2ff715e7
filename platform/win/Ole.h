#pragma once
// The component-object side of drag and drop: the data-object, format
// enumerator, drop-source and drop-target interfaces with their structures
// and result codes, OLE's per-thread start-up count, storage media over
// global memory blocks, a data object of our own, and the file-list block
// (CF_HDROP) with a builder and a checked reader.

#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/win/WinUser.h"

using IUnknown = IInterface;
using CLIPFORMAT = WORD;
// Screen points of the drag interfaces.
using POINTL = TPoint;
// Printer descriptions are never carried: a FORMATETC's `ptd` stays null.
struct DVTARGETDEVICE;
class IAdviseSink;
class IEnumSTATDATA;

// Result codes.
inline constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HRESULT(0x80040003u);
inline constexpr HRESULT CO_E_NOTINITIALIZED = HRESULT(0x800401F0u);
inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = HRESULT(0x80040100u);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = HRESULT(0x80040101u);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = HRESULT(0x80040102u);

// Drop effects.
inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;
inline constexpr DWORD DROPEFFECT_SCROLL = 0x80000000u;

// The Alt key in a drag's key state (the other MK_* flags are the mouse
// messages' own).
inline constexpr DWORD MK_ALT = 0x0020;

// Aspects, directions and storage media.
inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD DVASPECT_THUMBNAIL = 2;
inline constexpr DWORD DVASPECT_ICON = 4;
inline constexpr DWORD DVASPECT_DOCPRINT = 8;
inline constexpr DWORD DATADIR_GET = 1;
inline constexpr DWORD DATADIR_SET = 2;
inline constexpr DWORD TYMED_NULL = 0;
inline constexpr DWORD TYMED_HGLOBAL = 1;
inline constexpr DWORD TYMED_FILE = 2;
inline constexpr DWORD TYMED_ISTREAM = 4;
inline constexpr DWORD TYMED_ISTORAGE = 8;
inline constexpr DWORD TYMED_GDI = 16;
inline constexpr DWORD TYMED_MFPICT = 32;
inline constexpr DWORD TYMED_ENHMF = 64;

struct FORMATETC {
    CLIPFORMAT cfFormat { 0 };
    DVTARGETDEVICE* ptd { nullptr };
    DWORD dwAspect { DVASPECT_CONTENT };
    LONG lindex { -1 };
    DWORD tymed { TYMED_HGLOBAL };
};

// Data handed over in a medium. Only global memory blocks are carried; the
// other TYMED_* kinds exist as values for callers that name them.
struct STGMEDIUM {
    DWORD tymed { TYMED_NULL };
    HGLOBAL hGlobal { nullptr };
    // When set, releasing the medium releases this object instead of
    // freeing the block (the giver keeps the block).
    IUnknown* pUnkForRelease { nullptr };
};

// Frees the medium's block (or releases its release object) and empties it.
void ReleaseStgMedium(STGMEDIUM* medium);
// A new block with a copy of a block's bytes; nullptr when `source` is not a
// live block. Only global memory is duplicated, whatever the format.
HANDLE OleDuplicateData(HANDLE source, CLIPFORMAT format, UINT flags);

// OLE for the calling thread: counted, so each OleInitialize (S_OK the first
// time, S_FALSE after) is matched by one OleUninitialize. Drop-target
// registration and the drag loop need it (CO_E_NOTINITIALIZED otherwise).
HRESULT OleInitialize(void* reserved = nullptr);
void OleUninitialize();

// ---- Interfaces -------------------------------------------------------------------

class IEnumFORMATETC : public virtual IInterface {
public:
    QT_INTERFACE_ID("{00000103-0000-0000-C000-000000000046}");
    // S_OK when all `count` entries were delivered, else S_FALSE.
    virtual HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
    // S_FALSE (stopping at the end) when the skip passes the end.
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    // A new enumerator at the same position.
    virtual HRESULT Clone(IEnumFORMATETC** result) = 0;

protected:
    ~IEnumFORMATETC() = default;
};

class IDataObject : public virtual IInterface {
public:
    QT_INTERFACE_ID("{0000010E-0000-0000-C000-000000000046}");
    // The medium's block belongs to the receiver, who releases it with
    // ReleaseStgMedium.
    virtual HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC* format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC* format, FORMATETC* canonical) = 0;
    // With `release` the object takes the medium over (and releases it).
    virtual HRESULT SetData(const FORMATETC* format, STGMEDIUM* medium, BOOL release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** result) = 0;
    virtual HRESULT DAdvise(const FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** result) = 0;

protected:
    ~IDataObject() = default;
};

class IDropSource : public virtual IInterface {
public:
    QT_INTERFACE_ID("{00000121-0000-0000-C000-000000000046}");
    // S_OK goes on; DRAGDROP_S_DROP drops, DRAGDROP_S_CANCEL cancels; any
    // other answer ends the drag with that result.
    virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS lets the loop show its cursor for `effect`.
    virtual HRESULT GiveFeedback(DWORD effect) = 0;

protected:
    ~IDropSource() = default;
};

// `point` is in screen coordinates; `effect` comes in as the effects the
// source allows and goes out as the target's answer.
class IDropTarget : public virtual IInterface {
public:
    QT_INTERFACE_ID("{00000122-0000-0000-C000-000000000046}");
    virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

protected:
    ~IDropTarget() = default;
};

// An enumerator over a copy of `formats` (their target devices are not
// carried). The new enumerator holds one reference for the caller.
HRESULT SHCreateStdEnumFmtEtc(UINT count, const FORMATETC* formats, IEnumFORMATETC** result);

// A data object over global memory blocks, filled with SetData: it keeps a
// copy of each block (one per format, the last set wins) and hands a fresh
// copy to every GetData. Only the content aspect, index -1 and global memory
// are offered; advise connections are not supported.
class TDataObject : public TInterfacedObject, public IDataObject {
    QT_CLASS(TDataObject, TInterfacedObject)
    QT_INTERFACES(IDataObject)
public:
    TDataObject() = default;
    ~TDataObject() override;

    HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT GetDataHere(const FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT QueryGetData(const FORMATETC* format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC* format, FORMATETC* canonical) override;
    HRESULT SetData(const FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** result) override;
    HRESULT DAdvise(const FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT DUnadvise(DWORD connection) override;
    HRESULT EnumDAdvise(IEnumSTATDATA** result) override;

private:
    struct TEntry {
        FORMATETC Format;
        HGLOBAL Block { nullptr };
    };
    const TEntry* Offered(const FORMATETC* format) const;
    std::vector<TEntry> m_entries;
};

// ---- File lists (CF_HDROP) ---------------------------------------------------------

// The header of a file-list block; the names follow at offset `pFiles`, each
// zero-terminated, and an empty name ends the list. They are UTF-16 when
// `fWide` is set, else in the ANSI code page (UTF-8 here).
struct DROPFILES {
    DWORD pFiles { 0 };
    POINT pt;
    BOOL fNC { FALSE };
    BOOL fWide { FALSE };
};
static_assert(sizeof(DROPFILES) == 20, "the file-list header is 20 bytes");

// A movable, zeroed block holding `files`; nullptr when a name is empty or
// holds a NUL character (either would end the list early).
HGLOBAL CreateDropFiles(const std::vector<String>& files, bool wide, POINT point = {}, bool nonClient = false);
// Reads a file-list block. A handle that is not a live block, a block
// shorter than its header, a list offset inside the header or past the end
// of the block, and a name or end mark running past the end are refused with
// E_INVALIDARG; `files` is then left empty. `header` (optional) receives the
// block's header.
HRESULT ReadDropFiles(HGLOBAL block, std::vector<String>& files, DROPFILES* header = nullptr);
