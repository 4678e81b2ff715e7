#pragma once
// OLE drag and drop for the grid family: a drop target that looks at what is
// dragged over a window and hands the dropped data to virtual hooks, a drop
// source, the data object a drag offers (plain and Unicode text, RTF, a
// column index, the grid's cell stream) with its format enumerator, and a
// reader of the formats of a dropped data object.
//
// Dropped data comes from other programs: every block is copied out and read
// within its own size, and a block whose contents contradict its size is
// treated as absent.

#include <memory>
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/win/Ole.h"

enum TDropFormat { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells, dfURI, dfFileContents };
using TDropFormats = Set<TDropFormat>;

// The registered clipboard formats of drag and drop, registered on first use.
struct TDragDropFormats {
    CLIPFORMAT RTF { 0 };
    CLIPFORMAT Col { 0 };
    CLIPFORMAT GridCells { 0 };
    // Registered once and used as both the URL and the URI format.
    CLIPFORMAT URL { 0 };
    CLIPFORMAT FileContents { 0 };
    CLIPFORMAT FileGroupDescriptor { 0 };
    CLIPFORMAT FileGroupDescriptorW { 0 };
};
const TDragDropFormats& DragDropFormats();

// Ctrl held copies; otherwise move when `Effect` allows it, else copy.
DWORD KeyStateEffect(DWORD KeyState, DWORD Effect);

// ---- reading a dropped data object ----

class TEnumFormats {
public:
    explicit TEnumFormats(IDataObject* ADataObject);
    ~TEnumFormats();

    IDataObject* GetDataObject() const { return FDataObject.get(); }
    // Fetches the object's enumerator of "get" formats (EAssertionFailed
    // "Cannot get the format enumerator" when it has none), then Reset.
    void SetDataObject(IDataObject* Value);

    bool Reset();
    bool Next();
    bool HasFormat(CLIPFORMAT ClipFormat);
    // A copy of the current entry's data in global memory, when the entry
    // is valid and offers `Tymed`; nullptr otherwise. The caller frees it.
    HGLOBAL Handle(DWORD Tymed);
    HGLOBAL GlobalHandle() { return Handle(TYMED_HGLOBAL); }

    bool GetValid() const { return FValid; }
    int GetCount() const { return FCount; }
    DWORD GetAspect() const { return FormatEtc.dwAspect; }
    void SetAspect(DWORD Value) { FormatEtc.dwAspect = Value; }
    CLIPFORMAT GetFormat() const { return FormatEtc.cfFormat; }
    void SetFormat(CLIPFORMAT Value) { FormatEtc.cfFormat = Value; }
    LONG GetIndex() const { return FormatEtc.lindex; }
    void SetIndex(LONG Value) { FormatEtc.lindex = Value; }
    DWORD GetMedium() const { return FormatEtc.tymed; }
    void SetMedium(DWORD Value) { FormatEtc.tymed = Value; }

    bool HasText() { return HasFormat(CF_UNICODETEXT); }
    bool HasFile() { return HasFormat(CF_HDROP); }
    bool HasRTF() { return HasFormat(DragDropFormats().RTF); }
    bool HasCol() { return HasFormat(DragDropFormats().Col); }
    bool HasURL() { return HasFormat(DragDropFormats().URL); }
    bool HasURI() { return HasFormat(DragDropFormats().URL); }
    bool HasGridCells() { return HasFormat(DragDropFormats().GridCells); }
    bool HasFileContents() { return false; }

    // The Unicode text up to its first NUL or the end of the block.
    String Text();
    // The RTF format read as ANSI text.
    String RTF();
    // The URL format read as UTF-16.
    String URI();
    // The column of a column drag; -1 when absent or shorter than 4 bytes.
    int Col();
    // The cell stream (positioned at 0); nullptr when absent or when its
    // stated size is negative or runs past the block.
    std::unique_ptr<TMemoryStream> Stream();
    // The names of the file list; empty when absent or malformed.
    TStringList* Files();

private:
    // The bytes of the first entry with `Format`; false when absent.
    bool Fetch(CLIPFORMAT Format, std::vector<std::uint8_t>& Bytes);

    TComPtr<IDataObject> FDataObject;
    TComPtr<IEnumFORMATETC> FEnum;
    FORMATETC FormatEtc;
    bool FValid { false };
    int FCount { 0 };
    std::unique_ptr<TStringList> FFiles { std::make_unique<TStringList>() };
};

// ---- the drop target ----

class TDOUDropTarget : public TInterfacedObject, public IDropTarget {
    QT_CLASS(TDOUDropTarget, TInterfacedObject)
    QT_INTERFACES(IDropTarget)
public:
    TDOUDropTarget() = default;

    HRESULT DragEnter(IDataObject* DataObj, DWORD grfKeyState, POINTL pt, DWORD* dwEffect) override;
    HRESULT DragOver(DWORD grfKeyState, POINTL pt, DWORD* dwEffect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* DataObj, DWORD grfKeyState, POINTL pt, DWORD* dwEffect) override;

    // Hooks, in the order of the slots; all do nothing here. A False answer
    // of DropText refuses the drop. Points are screen points.
    virtual bool DropText(TPoint /*pt*/, const String& /*s*/) { return true; }
    // The stream belongs to the hook.
    virtual void DropStream(TPoint /*pt*/, std::unique_ptr<TMemoryStream> /*ms*/) { }
    virtual void DropCol(TPoint /*pt*/, int /*Col*/) { }
    virtual void DropRTF(TPoint /*pt*/, const String& /*s*/) { }
    virtual void DropFiles(TPoint /*pt*/, TStrings* /*Files*/) { }
    virtual void DropFileContents(TPoint /*pt*/) { }
    virtual void DropURL(TPoint /*pt*/, const String& /*s*/) { }
    virtual void DragMouseMove(TPoint /*pt*/, bool& /*Allow*/, TDropFormats /*DropFormats*/) { }
    virtual void DragMouseEnter() { }
    virtual void DragMouseLeave() { }

    bool AcceptText { true };
    bool AcceptFiles { true };
    bool AcceptURLs { true };
    bool AcceptCols { false };
    TDropFormats GetDropFormats() const { return FDropFormats; }

protected:
    // Whether dropped cell streams go to DropStream; without, a drop of
    // cells is taken as the text beside them.
    virtual bool AcceptsCellStreams() const { return true; }
    TDropFormats FDropFormats;
    bool FOk { false };
    bool FIsURI { false };
};

// ---- the drop source ----

class TDOUDropSource : public TInterfacedObject, public IDropSource {
    QT_CLASS(TDOUDropSource, TInterfacedObject)
    QT_INTERFACES(IDropSource)
public:
    TDOUDropSource() = default;

    HRESULT QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
    HRESULT GiveFeedback(DWORD dwEffect) override;

    virtual void CurrentEffect(DWORD /*dwEffect*/) { }
    virtual void QueryDrag() { }
    virtual void DragStopped() { }

    // The last feedback carried no effect.
    bool GetNoAccept() const { return FNoAccept; }

private:
    bool FNoAccept { false };
};

// ---- the data object of a drag ----

class TSourceDataObject : public TInterfacedObject, public IDataObject {
    QT_CLASS(TSourceDataObject, TInterfacedObject)
    QT_INTERFACES(IDataObject)
public:
    // `Col` -1: no column. `Stream` may be null; the caller keeps it and
    // frees it after the drag.
    TSourceDataObject(const String& Text, const String& RTF, int Col, TStream* Stream);

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
    HGLOBAL MakeBlock(CLIPFORMAT Format) const;
    String FText;
    String FRTF;
    int FCol { -1 };
    TStream* FStream { nullptr };
};

// The formats a TSourceDataObject offers, in order: CF_TEXT,
// CF_UNICODETEXT, RTF, then the column when there is one and the cells when
// there are some (always last).
class TSourceEnumFormatEtc : public TInterfacedObject, public IEnumFORMATETC {
    QT_CLASS(TSourceEnumFormatEtc, TInterfacedObject)
    QT_INTERFACES(IEnumFORMATETC)
public:
    TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, int Index = 0)
        : FIndex(Index), FHasCol(HasCol), FHasGridCells(HasGridCells)
    {
    }

    HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumFORMATETC** result) override;

private:
    std::vector<CLIPFORMAT> Formats() const;
    int FIndex { 0 };
    bool FHasCol { false };
    bool FHasGridCells { false };
};

// ---- starting a drag ----

// Runs the drag loop over a data object with the texts and the stream (may
// be null). DRAGDROP_S_CANCEL when the source's last feedback had no
// effect, else the loop's result.
HRESULT StartTextDrag(TDOUDropSource* DropSource, const String& Text, const String& RTF, TStream* Stream,
    DWORD OKEffects, DWORD& Effect);
HRESULT StartColumnDrag(TDOUDropSource* DropSource, int Column, DWORD OKEffects, DWORD& Effect);
