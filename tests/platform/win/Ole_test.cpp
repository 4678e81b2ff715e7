#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win/Clipboard.h"
#include "platform/win/Ole.h"

namespace {

FORMATETC Format(CLIPFORMAT cf, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT, LONG index = -1)
{
    FORMATETC f;
    f.cfFormat = cf;
    f.tymed = tymed;
    f.dwAspect = aspect;
    f.lindex = index;
    return f;
}

HGLOBAL Block(const std::vector<std::uint8_t>& bytes)
{
    HGLOBAL h = GlobalAlloc(GHND, bytes.size());
    if (!bytes.empty())
        std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

std::vector<std::uint8_t> Bytes(HGLOBAL h)
{
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(h));
    std::vector<std::uint8_t> v(p, p + GlobalSize(h));
    GlobalUnlock(h);
    return v;
}

std::vector<CLIPFORMAT> Formats(const FORMATETC* f, ULONG n)
{
    std::vector<CLIPFORMAT> v;
    for (ULONG i = 0; i < n; ++i)
        v.push_back(f[i].cfFormat);
    return v;
}

} // namespace

TEST(Ole, EnumeratorStepsSkipsResetsAndClones)
{
    const FORMATETC list[] = { Format(CF_TEXT), Format(CF_UNICODETEXT), Format(0xC001), Format(CF_HDROP) };
    IEnumFORMATETC* raw = nullptr;
    ASSERT_EQ(SHCreateStdEnumFmtEtc(4, list, &raw), S_OK);
    TComPtr<IEnumFORMATETC> e = TComPtr<IEnumFORMATETC>::Adopt(raw);

    FORMATETC got[4];
    ULONG n = 99;
    EXPECT_EQ(e->Next(1, got, &n), S_OK);
    EXPECT_EQ(Formats(got, n), (std::vector<CLIPFORMAT> { CF_TEXT }));
    EXPECT_EQ(e->Skip(1), S_OK);
    // A clone continues from the same place, independently.
    IEnumFORMATETC* cloneRaw = nullptr;
    ASSERT_EQ(e->Clone(&cloneRaw), S_OK);
    TComPtr<IEnumFORMATETC> clone = TComPtr<IEnumFORMATETC>::Adopt(cloneRaw);
    EXPECT_EQ(e->Next(4, got, &n), S_FALSE); // fewer than asked
    EXPECT_EQ(Formats(got, n), (std::vector<CLIPFORMAT> { 0xC001, CF_HDROP }));
    EXPECT_EQ(e->Next(1, got, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(clone->Next(2, got, &n), S_OK);
    EXPECT_EQ(Formats(got, n), (std::vector<CLIPFORMAT> { 0xC001, CF_HDROP }));
    // Skipping past the end stops there.
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Skip(3), S_OK);
    EXPECT_EQ(clone->Skip(2), S_FALSE);
    EXPECT_EQ(clone->Next(1, got, &n), S_FALSE);
    EXPECT_EQ(clone->Reset(), S_OK);
    EXPECT_EQ(clone->Next(4, got, nullptr), S_OK);
    EXPECT_EQ(got[3].ptd, nullptr);
    EXPECT_EQ(got[3].tymed, TYMED_HGLOBAL);
    EXPECT_EQ(e->Next(1, nullptr, &n), E_INVALIDARG);
}

TEST(Ole, DataObjectHandsOutCopiesOfWhatItOffers)
{
    TComPtr<TDataObject> data(new TDataObject);
    const FORMATETC text = Format(CF_UNICODETEXT);
    HGLOBAL given = Block({ 'h', 0, 'i', 0, 0, 0 });
    STGMEDIUM m;
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = given;
    // Without release the caller keeps its block.
    ASSERT_EQ(data->SetData(&text, &m, FALSE), S_OK);
    EXPECT_EQ(m.hGlobal, given);
    EXPECT_EQ(GlobalFree(given), nullptr);

    struct TCase {
        const char* What;
        FORMATETC Format;
        HRESULT Expected;
    };
    const TCase cases[] = {
        { "offered", text, S_OK },
        { "any set of media that includes global memory", Format(CF_UNICODETEXT, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK },
        { "another medium", Format(CF_UNICODETEXT, TYMED_ISTREAM), DV_E_FORMATETC },
        { "another aspect", Format(CF_UNICODETEXT, TYMED_HGLOBAL, DVASPECT_ICON), DV_E_FORMATETC },
        { "a page index", Format(CF_UNICODETEXT, TYMED_HGLOBAL, DVASPECT_CONTENT, 0), DV_E_FORMATETC },
        { "another format", Format(CF_TEXT), DV_E_FORMATETC },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(data->QueryGetData(&c.Format), c.Expected);
        STGMEDIUM out;
        EXPECT_EQ(data->GetData(&c.Format, &out), c.Expected);
        if (c.Expected != S_OK)
            continue;
        // A fresh block each time, owned by the receiver.
        EXPECT_EQ(out.tymed, TYMED_HGLOBAL);
        EXPECT_EQ(out.pUnkForRelease, nullptr);
        EXPECT_EQ(Bytes(out.hGlobal), (std::vector<std::uint8_t> { 'h', 0, 'i', 0, 0, 0 }));
        STGMEDIUM again;
        ASSERT_EQ(data->GetData(&c.Format, &again), S_OK);
        EXPECT_NE(again.hGlobal, out.hGlobal);
        ReleaseStgMedium(&out);
        ReleaseStgMedium(&again);
    }

    // Setting a format again replaces it; with release the object takes the medium.
    m.hGlobal = Block({ 'x', 0, 0, 0 });
    ASSERT_EQ(data->SetData(&text, &m, TRUE), S_OK);
    EXPECT_EQ(m.hGlobal, nullptr);
    STGMEDIUM out;
    ASSERT_EQ(data->GetData(&text, &out), S_OK);
    EXPECT_EQ(Bytes(out.hGlobal).size(), 4u);
    ReleaseStgMedium(&out);
    const FORMATETC stream = Format(CF_TEXT, TYMED_ISTREAM);
    EXPECT_EQ(data->SetData(&stream, &m, TRUE), DV_E_FORMATETC);

    IEnumFORMATETC* e = nullptr;
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &e), E_NOTIMPL);
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &e), S_OK);
    FORMATETC listed[2];
    ULONG n = 0;
    EXPECT_EQ(e->Next(2, listed, &n), S_FALSE);
    EXPECT_EQ(Formats(listed, n), (std::vector<CLIPFORMAT> { CF_UNICODETEXT }));
    e->Release();
    FORMATETC canonical;
    EXPECT_EQ(data->GetCanonicalFormatEtc(&text, &canonical), E_NOTIMPL);
    EXPECT_EQ(canonical.ptd, nullptr);
    DWORD connection = 0;
    EXPECT_EQ(data->DAdvise(&text, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data->DUnadvise(connection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data->EnumDAdvise(nullptr), OLE_E_ADVISENOTSUPPORTED);
    IInterface* asUnknown = nullptr;
    ASSERT_EQ(data->QueryInterface(IInterface::IID, reinterpret_cast<void**>(&asUnknown)), S_OK);
    asUnknown->Release();
    void* none = nullptr;
    EXPECT_EQ(data->QueryInterface(IDropTarget::IID, &none), E_NOINTERFACE);
}

TEST(Ole, ReleaseStgMediumFreesTheBlockOnlyWithoutAReleaseObject)
{
    STGMEDIUM plain;
    plain.tymed = TYMED_HGLOBAL;
    plain.hGlobal = Block({ 1, 2, 3 });
    HGLOBAL freed = plain.hGlobal;
    ReleaseStgMedium(&plain);
    EXPECT_EQ(plain.hGlobal, nullptr);
    EXPECT_EQ(GlobalSize(freed), 0u); // no longer a live block

    TComPtr<TDataObject> owner(new TDataObject);
    STGMEDIUM lent;
    lent.tymed = TYMED_HGLOBAL;
    lent.hGlobal = Block({ 4, 5 });
    lent.pUnkForRelease = owner.get();
    owner->AddRef();
    HGLOBAL kept = lent.hGlobal;
    ReleaseStgMedium(&lent);
    EXPECT_EQ(owner->GetRefCount(), 1);
    EXPECT_EQ(GlobalSize(kept), 2u);
    GlobalFree(kept);
    ReleaseStgMedium(nullptr);
}

TEST(Ole, FileListsRoundTripInBothCharacterWidths)
{
    const std::vector<String> names { u"/home/u/data.csv", u"/tmp/Book 1.xls", u"/tmp/donn\u00e9es/\u65e5\u672c.txt" };
    for (bool wide : { true, false }) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        HGLOBAL block = CreateDropFiles(names, wide, { 12, 34 }, true);
        ASSERT_NE(block, nullptr);
        std::vector<String> read;
        DROPFILES header;
        ASSERT_EQ(ReadDropFiles(block, read, &header), S_OK);
        EXPECT_EQ(read, names);
        EXPECT_EQ(header.pFiles, 20u);
        EXPECT_EQ(header.pt, TPoint(12, 34));
        EXPECT_TRUE(header.fNC);
        EXPECT_EQ(bool(header.fWide), wide);
        // The list ends with an empty name right at the end of the block.
        const auto bytes = Bytes(block);
        const std::size_t unit = wide ? 2 : 1;
        EXPECT_EQ(std::count(bytes.end() - std::ptrdiff_t(2 * unit), bytes.end(), 0), std::ptrdiff_t(2 * unit));
        GlobalFree(block);

        HGLOBAL empty = CreateDropFiles({}, wide);
        ASSERT_EQ(ReadDropFiles(empty, read), S_OK);
        EXPECT_TRUE(read.empty());
        GlobalFree(empty);
    }
    // A name that would end the list early is refused.
    EXPECT_EQ(CreateDropFiles({ u"a", u"" }, true), nullptr);
    EXPECT_EQ(CreateDropFiles({ String(u"a\0b", 3) }, false), nullptr);
}

TEST(Ole, MalformedFileListsAreRefused)
{
    auto header = [](DWORD offset, bool wide) {
        std::vector<std::uint8_t> b(20, 0);
        std::memcpy(b.data(), &offset, 4);
        b[16] = wide ? 1 : 0;
        return b;
    };
    auto with = [](std::vector<std::uint8_t> b, std::initializer_list<std::uint8_t> tail) {
        b.insert(b.end(), tail);
        return b;
    };
    struct TCase {
        const char* What;
        std::vector<std::uint8_t> Bytes;
    };
    const TCase cases[] = {
        { "shorter than the header", std::vector<std::uint8_t>(19, 0) },
        { "list offset inside the header", with(header(8, false), { 'a', 0, 0 }) },
        { "list offset past the block", with(header(40, false), { 'a', 0, 0 }) },
        { "no room for the list", header(20, false) },
        { "a name without its terminator", with(header(20, false), { 'a', 'b' }) },
        { "no empty name to end the list", with(header(20, false), { 'a', 0 }) },
        { "a wide name cut in half", with(header(20, true), { 'a', 0, 'b' }) },
        { "a wide list without its end mark", with(header(20, true), { 'a', 0, 0, 0, 0 }) },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        HGLOBAL block = Block(c.Bytes);
        std::vector<String> files { u"left over" };
        EXPECT_EQ(ReadDropFiles(block, files), E_INVALIDARG);
        EXPECT_TRUE(files.empty());
        GlobalFree(block);
    }
    std::vector<String> files;
    HGLOBAL dead = Block(with(header(20, false), { 'a', 0, 0 }));
    EXPECT_EQ(ReadDropFiles(dead, files), S_OK);
    GlobalFree(dead);
    EXPECT_EQ(ReadDropFiles(dead, files), E_INVALIDARG);
}
