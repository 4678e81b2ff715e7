#include "grid/core/GridDragDrop.h"

#include <cstring>

#include "grid/core/GridSettings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Clipboard.h"
#include "platform/win/DragDrop.h"

QT_PUBLISHED(TDOUDropTarget)
QT_PUBLISHED(TDOUDropSource)
QT_PUBLISHED(TSourceDataObject)
QT_PUBLISHED(TSourceEnumFormatEtc)

const TDragDropFormats& DragDropFormats()
{
    static const TDragDropFormats Formats = [] {
        TDragDropFormats F;
        F.RTF = CLIPFORMAT(RegisterClipboardFormat(u"Rich Text Format"));
        F.Col = CLIPFORMAT(RegisterClipboardFormat(u"Grid Column"));
        F.GridCells = CLIPFORMAT(RegisterClipboardFormat(u"TDedOzovedUrad Cells"));
        F.URL = CLIPFORMAT(RegisterClipboardFormat(u"UniformResourceLocator"));
        F.FileContents = CLIPFORMAT(RegisterClipboardFormat(u"FileContents") | 0x8000);
        F.FileGroupDescriptor = CLIPFORMAT(RegisterClipboardFormat(u"FileGroupDescriptor") | 0x8000);
        F.FileGroupDescriptorW = CLIPFORMAT(RegisterClipboardFormat(u"FileGroupDescriptorW") | 0x8000);
        return F;
    }();
    return Formats;
}

DWORD KeyStateEffect(DWORD KeyState, DWORD Effect)
{
    if (KeyState & MK_CONTROL)
        return DROPEFFECT_COPY;
    return (Effect & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

// ---- TEnumFormats ----

TEnumFormats::TEnumFormats(IDataObject* ADataObject)
{
    DragDropFormats();
    SetDataObject(ADataObject);
}

TEnumFormats::~TEnumFormats() = default;

void TEnumFormats::SetDataObject(IDataObject* Value)
{
    FDataObject = TComPtr<IDataObject>(Value);
    FEnum.reset();
    IEnumFORMATETC* E = nullptr;
    if (!Value || Value->EnumFormatEtc(DATADIR_GET, &E) != S_OK || !E)
        throw EAssertionFailed(u"Cannot get the format enumerator");
    FEnum = TComPtr<IEnumFORMATETC>::Adopt(E);
    Reset();
}

bool TEnumFormats::Reset()
{
    FValid = false;
    FCount = 0;
    if (!FEnum)
        return false;
    return FEnum->Reset() == S_OK;
}

bool TEnumFormats::Next()
{
    if (!FEnum)
        return false;
    ULONG Fetched = 0;
    FORMATETC F;
    FValid = FEnum->Next(1, &F, &Fetched) == S_OK && Fetched == 1;
    if (FValid) {
        FormatEtc = F;
        ++FCount;
    }
    return FValid;
}

bool TEnumFormats::HasFormat(CLIPFORMAT ClipFormat)
{
    Reset();
    while (Next())
        if (FormatEtc.cfFormat == ClipFormat)
            return true;
    return false;
}

HGLOBAL TEnumFormats::Handle(DWORD Tymed)
{
    if (!FValid || !(FormatEtc.tymed & Tymed) || !FDataObject)
        return nullptr;
    FORMATETC F = FormatEtc;
    F.tymed = Tymed;
    STGMEDIUM M;
    if (FDataObject->GetData(&F, &M) != S_OK)
        return nullptr;
    if (M.tymed != TYMED_HGLOBAL || !M.hGlobal) {
        ReleaseStgMedium(&M);
        return nullptr;
    }
    // The medium may belong to the giver (a release object): hand the
    // caller a copy of its own.
    HGLOBAL Copy = HGLOBAL(OleDuplicateData(M.hGlobal, F.cfFormat, 0));
    ReleaseStgMedium(&M);
    return Copy;
}

bool TEnumFormats::Fetch(CLIPFORMAT Format, std::vector<std::uint8_t>& Bytes)
{
    Bytes.clear();
    if (!HasFormat(Format))
        return false;
    HGLOBAL Block = GlobalHandle();
    if (!Block)
        return false;
    const std::size_t Size = GlobalSize(Block);
    if (const void* P = GlobalLock(Block)) {
        Bytes.assign(static_cast<const std::uint8_t*>(P), static_cast<const std::uint8_t*>(P) + Size);
        GlobalUnlock(Block);
    }
    GlobalFree(Block);
    return true;
}

namespace {

// UTF-16 text up to its first NUL, within the bytes present (an odd last
// byte is no character).
String WideText(const std::vector<std::uint8_t>& Bytes)
{
    String S(Bytes.size() / 2, u'\0');
    if (!S.empty())
        std::memcpy(S.data(), Bytes.data(), S.size() * 2);
    return S.substr(0, S.find(u'\0'));
}

String AnsiText(const std::vector<std::uint8_t>& Bytes)
{
    std::size_t N = 0;
    while (N < Bytes.size() && Bytes[N] != 0)
        ++N;
    return AnsiToString(std::string_view(reinterpret_cast<const char*>(Bytes.data()), N));
}

} // namespace

String TEnumFormats::Text()
{
    std::vector<std::uint8_t> B;
    return Fetch(CF_UNICODETEXT, B) ? WideText(B) : String();
}

String TEnumFormats::RTF()
{
    std::vector<std::uint8_t> B;
    return Fetch(DragDropFormats().RTF, B) ? AnsiText(B) : String();
}

String TEnumFormats::URI()
{
    std::vector<std::uint8_t> B;
    // Through the ANSI code page, as the URL format travels.
    return Fetch(DragDropFormats().URL, B) ? AnsiToString(StringToAnsi(WideText(B))) : String();
}

int TEnumFormats::Col()
{
    std::vector<std::uint8_t> B;
    if (!Fetch(DragDropFormats().Col, B) || B.size() < 4)
        return -1;
    std::int32_t V = 0;
    std::memcpy(&V, B.data(), 4);
    return V;
}

std::unique_ptr<TMemoryStream> TEnumFormats::Stream()
{
    std::vector<std::uint8_t> B;
    if (!Fetch(DragDropFormats().GridCells, B) || B.size() < 8)
        return nullptr;
    std::int32_t N = 0;
    std::memcpy(&N, B.data(), 4);
    if (N < 0 || std::size_t(N) > B.size() - 8)
        return nullptr;
    auto S = std::make_unique<TMemoryStream>();
    if (N > 0)
        S->Write(B.data() + 8, N);
    S->SetPosition(0);
    return S;
}

TStringList* TEnumFormats::Files()
{
    FFiles->Clear();
    if (!HasFile())
        return FFiles.get();
    HGLOBAL Block = GlobalHandle();
    if (!Block)
        return FFiles.get();
    std::vector<String> Names;
    if (ReadDropFiles(Block, Names) == S_OK)
        for (const String& N : Names)
            FFiles->Add(N);
    GlobalFree(Block);
    return FFiles.get();
}

// ---- TDOUDropTarget ----

HRESULT TDOUDropTarget::DragEnter(IDataObject* DataObj, DWORD grfKeyState, POINTL pt, DWORD* dwEffect)
{
    (void)pt;
    FIsURI = false;
    FOk = false;
    FDropFormats = {};
    try {
        TEnumFormats F(DataObj);
        const bool Text = F.HasText(), File = F.HasFile(), RTF = F.HasRTF(), Col = F.HasCol(), URL = F.HasURL(),
                   Cells = F.HasGridCells();
        FOk = (Text && AcceptText) || (File && AcceptFiles) || (RTF && RTFDropEnabled() && AcceptText)
            || (Col && AcceptCols) || (URL && AcceptURLs) || Cells;
        if (Text)
            FDropFormats.Include(dfText);
        if (File)
            FDropFormats.Include(dfFile);
        if (RTF)
            FDropFormats.Include(dfRTF);
        if (Col)
            FDropFormats.Include(dfCol);
        if (URL && AcceptURLs) {
            FDropFormats.Include(dfURL);
            FDropFormats.Include(dfURI);
        }
        if (Cells)
            FDropFormats.Include(dfGridCells);
    } catch (const EAssertionFailed&) {
        // An object without formats offers nothing to accept.
    }
    if (dwEffect) {
        if (!FOk)
            *dwEffect = DROPEFFECT_NONE;
        else if (FDropFormats.Contains(dfURI)) {
            *dwEffect = DROPEFFECT_LINK;
            FIsURI = true;
        } else
            *dwEffect = KeyStateEffect(grfKeyState, *dwEffect);
    }
    DragMouseEnter();
    return S_OK;
}

HRESULT TDOUDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* dwEffect)
{
    DWORD Effect = DROPEFFECT_NONE;
    if (FOk)
        Effect = FIsURI ? DROPEFFECT_LINK : KeyStateEffect(grfKeyState, dwEffect ? *dwEffect : 0);
    bool Allow = Effect != DROPEFFECT_NONE;
    DragMouseMove(pt, Allow, FDropFormats);
    if (!Allow)
        Effect = DROPEFFECT_NONE;
    if (dwEffect)
        *dwEffect = Effect;
    return S_OK;
}

HRESULT TDOUDropTarget::DragLeave()
{
    FIsURI = false;
    DragMouseLeave();
    return S_OK;
}

HRESULT TDOUDropTarget::Drop(IDataObject* DataObj, DWORD grfKeyState, POINTL pt, DWORD* dwEffect)
{
    DWORD Effect = dwEffect ? *dwEffect : 0;
    if (!FOk) {
        if (dwEffect)
            *dwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    try {
        TEnumFormats F(DataObj);
        if (F.HasURL() && AcceptURLs) {
            DropURL(pt, F.Text());
        } else if (F.HasCol()) {
            DropCol(pt, F.Col());
        } else {
            // A cell block whose size does not hold together is no cells.
            std::unique_ptr<TMemoryStream> Cells = F.HasGridCells() && AcceptsCellStreams() ? F.Stream() : nullptr;
            if (Cells)
                DropStream(pt, std::move(Cells));
            else if (F.HasRTF() && RTFDropEnabled() && AcceptText)
                DropRTF(pt, F.RTF());
            else if (F.HasText() && AcceptText) {
                if (!DropText(pt, F.Text()))
                    Effect = DROPEFFECT_NONE;
            }
            // Files and addresses only where they are accepted (a refused
            // text still lets an accepted file list through).
            if (F.HasFile() && AcceptFiles)
                DropFiles(pt, F.Files());
            if (F.HasURL() && AcceptURLs)
                DropURL(pt, F.Text());
        }
    } catch (const EAssertionFailed&) {
        Effect = DROPEFFECT_NONE;
    } catch (const Exception&) {
        // A hook that failed (a dropped file that cannot be read) is
        // reported like any failure of an event; the drop had no effect.
        Effect = DROPEFFECT_NONE;
        if (Application)
            Application->HandleException(this);
    }
    if (Effect != DROPEFFECT_NONE)
        Effect = KeyStateEffect(grfKeyState, Effect);
    if (dwEffect)
        *dwEffect = Effect;
    return S_OK;
}

// ---- TDOUDropSource ----

HRESULT TDOUDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState)
{
    QueryDrag();
    if (fEscapePressed) {
        DragStopped();
        return DRAGDROP_S_CANCEL;
    }
    if (!(grfKeyState & MK_LBUTTON)) {
        DragStopped();
        return DRAGDROP_S_DROP;
    }
    return S_OK;
}

HRESULT TDOUDropSource::GiveFeedback(DWORD dwEffect)
{
    FNoAccept = dwEffect == DROPEFFECT_NONE;
    CurrentEffect(dwEffect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---- TSourceDataObject ----

TSourceDataObject::TSourceDataObject(const String& Text, const String& RTF, int Col, TStream* Stream)
    : FText(Text), FRTF(RTF), FCol(Col), FStream(Stream)
{
    DragDropFormats();
}

HRESULT TSourceDataObject::QueryGetData(const FORMATETC* format)
{
    if (!format || format->dwAspect != DVASPECT_CONTENT || format->tymed != TYMED_HGLOBAL)
        return DV_E_FORMATETC;
    const TDragDropFormats& D = DragDropFormats();
    const CLIPFORMAT F = format->cfFormat;
    if ((F == CF_TEXT || F == CF_UNICODETEXT) && !FText.empty())
        return S_OK;
    if (F == D.RTF && !FText.empty() && RTFDropEnabled())
        return S_OK;
    if (F == D.GridCells && FStream)
        return S_OK;
    if (F == D.Col && FCol != -1)
        return S_OK;
    return DV_E_FORMATETC;
}

namespace {

HGLOBAL BlockOf(const void* Data, std::size_t Size, std::size_t Extra)
{
    HGLOBAL Block = GlobalAlloc(GHND, Size + Extra);
    if (!Block)
        return nullptr;
    if (Size > 0) {
        void* P = GlobalLock(Block);
        if (!P) {
            GlobalFree(Block);
            return nullptr;
        }
        std::memcpy(P, Data, Size);
        GlobalUnlock(Block);
    }
    return Block;
}

} // namespace

HGLOBAL TSourceDataObject::MakeBlock(CLIPFORMAT Format) const
{
    const TDragDropFormats& D = DragDropFormats();
    if (Format == CF_TEXT || Format == D.RTF) {
        // Sized from the encoded bytes, so characters of several bytes fit.
        const std::string Bytes = StringToAnsi(Format == CF_TEXT ? FText : FRTF);
        return BlockOf(Bytes.data(), Bytes.size(), 1);
    }
    if (Format == CF_UNICODETEXT)
        return BlockOf(FText.data(), FText.size() * 2, 2);
    if (Format == D.Col) {
        const std::int32_t V = FCol;
        return BlockOf(&V, 4, 0);
    }
    if (Format == D.GridCells) {
        const Int64 Size = FStream->GetSize();
        if (Size < 0 || Size > 0x7FFFFFF0)
            return nullptr;
        std::vector<std::uint8_t> Bytes(std::size_t(Size) + 8, 0);
        const std::int32_t N = std::int32_t(Size);
        std::memcpy(Bytes.data(), &N, 4);
        const Int64 Old = FStream->GetPosition();
        FStream->SetPosition(0);
        const Int64 Read = Size > 0 ? FStream->Read(Bytes.data() + 8, Size) : 0;
        FStream->SetPosition(Old);
        if (Read != Size)
            return nullptr;
        return BlockOf(Bytes.data(), Bytes.size(), 0);
    }
    return nullptr;
}

HRESULT TSourceDataObject::GetData(const FORMATETC* format, STGMEDIUM* medium)
{
    if (!medium || QueryGetData(format) != S_OK)
        return DV_E_FORMATETC;
    HGLOBAL Block = MakeBlock(format->cfFormat);
    if (!Block)
        return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = Block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT TSourceDataObject::GetDataHere(const FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const FORMATETC*, FORMATETC* canonical)
{
    if (canonical)
        canonical->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::SetData(const FORMATETC*, STGMEDIUM*, BOOL) { return DV_E_FORMATETC; }

HRESULT TSourceDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** result)
{
    if (!result)
        return E_INVALIDARG;
    *result = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    auto* E = new TSourceEnumFormatEtc(FCol != -1, FStream != nullptr);
    E->AddRef();
    *result = E;
    return S_OK;
}

HRESULT TSourceDataObject::DAdvise(const FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TSourceDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TSourceDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

// ---- TSourceEnumFormatEtc ----

std::vector<CLIPFORMAT> TSourceEnumFormatEtc::Formats() const
{
    const TDragDropFormats& D = DragDropFormats();
    std::vector<CLIPFORMAT> F { CF_TEXT, CF_UNICODETEXT, D.RTF };
    if (FHasCol)
        F.push_back(D.Col);
    if (FHasGridCells)
        F.push_back(D.GridCells);
    return F;
}

HRESULT TSourceEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    if (fetched)
        *fetched = 0;
    if (count > 0 && !formats)
        return E_INVALIDARG;
    const std::vector<CLIPFORMAT> F = Formats();
    ULONG n = 0;
    while (n < count && std::size_t(FIndex) < F.size()) {
        FORMATETC& E = formats[n++];
        E = FORMATETC();
        E.cfFormat = F[std::size_t(FIndex++)];
        E.ptd = nullptr;
        E.dwAspect = DVASPECT_CONTENT;
        E.lindex = -1;
        E.tymed = TYMED_HGLOBAL;
    }
    if (fetched)
        *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Skip(ULONG count)
{
    const int Size = int(Formats().size());
    if (ULONG(Size - FIndex) < count) {
        FIndex = Size;
        return S_FALSE;
    }
    FIndex += int(count);
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Reset()
{
    FIndex = 0;
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(IEnumFORMATETC** result)
{
    if (!result)
        return E_INVALIDARG;
    auto* E = new TSourceEnumFormatEtc(FHasCol, FHasGridCells, FIndex);
    E->AddRef();
    *result = E;
    return S_OK;
}

// ---- starting a drag ----

namespace {

HRESULT RunDrag(TDOUDropSource* DropSource, TSourceDataObject* Data, DWORD OKEffects, DWORD& Effect)
{
    TComPtr<TSourceDataObject> Hold(Data);
    TComPtr<TDOUDropSource> Source(DropSource);
    const HRESULT Result = DoDragDrop(Data, DropSource, OKEffects, &Effect);
    if (DropSource && DropSource->GetNoAccept())
        return DRAGDROP_S_CANCEL;
    return Result;
}

} // namespace

HRESULT StartTextDrag(TDOUDropSource* DropSource, const String& Text, const String& RTF, TStream* Stream,
    DWORD OKEffects, DWORD& Effect)
{
    return RunDrag(DropSource, new TSourceDataObject(Text, RTF, -1, Stream), OKEffects, Effect);
}

HRESULT StartColumnDrag(TDOUDropSource* DropSource, int Column, DWORD OKEffects, DWORD& Effect)
{
    return RunDrag(DropSource, new TSourceDataObject(String(), String(), Column, nullptr), OKEffects, Effect);
}
