// The grid family's OLE drag and drop: what a drop target accepts and hands
// to its hooks, what a drag's data object offers, how dropped blocks are
// read (and refused when they contradict their size), and drags through the
// platform's drag loop driven by synthetic input.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/GridDragDrop.h"
#include "grid/core/GridSettings.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Clipboard.h"
#include "platform/win/DragDrop.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

using TBytes8 = std::vector<std::uint8_t>;

TBytes8 Wide(const String& s, bool Terminated = true)
{
    TBytes8 B(s.size() * 2);
    std::memcpy(B.data(), s.data(), B.size());
    if (Terminated)
        B.insert(B.end(), { 0, 0 });
    return B;
}

TBytes8 Int32(std::int32_t V, const TBytes8& Tail = {})
{
    TBytes8 B(4);
    std::memcpy(B.data(), &V, 4);
    B.insert(B.end(), Tail.begin(), Tail.end());
    return B;
}

// A data object offering each (format, bytes) pair as a global memory block.
TComPtr<TDataObject> DataWith(const std::vector<std::pair<CLIPFORMAT, TBytes8>>& Blocks)
{
    TComPtr<TDataObject> D(new TDataObject);
    for (const auto& [Format, Bytes] : Blocks) {
        HGLOBAL H = GlobalAlloc(GHND, Bytes.size());
        if (!Bytes.empty()) {
            std::memcpy(GlobalLock(H), Bytes.data(), Bytes.size());
            GlobalUnlock(H);
        }
        FORMATETC F;
        F.cfFormat = Format;
        STGMEDIUM M;
        M.tymed = TYMED_HGLOBAL;
        M.hGlobal = H;
        EXPECT_EQ(D->SetData(&F, &M, TRUE), S_OK);
    }
    return D;
}

TBytes8 FileList(const std::vector<String>& Files)
{
    HGLOBAL H = CreateDropFiles(Files, true);
    TBytes8 B(GlobalSize(H));
    std::memcpy(B.data(), GlobalLock(H), B.size());
    GlobalUnlock(H);
    GlobalFree(H);
    return B;
}

// Logs every hook call.
struct TLogTarget : TDOUDropTarget {
    std::vector<std::string> Log;
    bool TextAnswer = true;
    bool DropText(TPoint, const String& s) override
    {
        Log.push_back("text " + StringToUtf8(s));
        return TextAnswer;
    }
    void DropStream(TPoint, std::unique_ptr<TMemoryStream> ms) override
    {
        std::string Bytes(std::size_t(ms->GetSize()), '\0');
        ms->Read(Bytes.data(), ms->GetSize());
        Log.push_back("stream " + Bytes);
    }
    void DropCol(TPoint, int Col) override { Log.push_back("col " + std::to_string(Col)); }
    void DropRTF(TPoint, const String& s) override { Log.push_back("rtf " + StringToUtf8(s)); }
    void DropFiles(TPoint, TStrings* Files) override { Log.push_back("files " + StringToUtf8(Files->GetCommaText())); }
    void DropURL(TPoint, const String& s) override { Log.push_back("url " + StringToUtf8(s)); }
    void DragMouseEnter() override { Log.push_back("enter"); }
    void DragMouseLeave() override { Log.push_back("leave"); }
};

struct TRtfScope {
    bool Old = RTFDropEnabled();
    explicit TRtfScope(bool On) { EnableRTFDrop(On); }
    ~TRtfScope() { EnableRTFDrop(Old); }
};

struct GridDragDrop : ::testing::Test {
    THeadlessSession Session;
    const TDragDropFormats& F = DragDropFormats();
    void SetUp() override { OleInitialize(); }
    void TearDown() override { OleUninitialize(); }
};

} // namespace

TEST_F(GridDragDrop, DragEnterAcceptsByFormatAndSwitch)
{
    TRtfScope Rtf(true);
    const auto Text = std::make_pair(CLIPFORMAT(CF_UNICODETEXT), Wide(u"x"));
    const auto Files = std::make_pair(CLIPFORMAT(CF_HDROP), FileList({ u"/tmp/a" }));
    const auto Url = std::make_pair(F.URL, Wide(u"http://x"));
    const auto Col = std::make_pair(F.Col, Int32(3));
    const auto Cells = std::make_pair(F.GridCells, Int32(1, { 0, 0, 0, 0, 'c' }));
    const auto Rtf1 = std::make_pair(F.RTF, TBytes8 { '{', '}', 0 });
    struct TCase {
        const char* What;
        std::vector<std::pair<CLIPFORMAT, TBytes8>> Blocks;
        bool AcceptText, AcceptFiles, AcceptURLs, AcceptCols;
        DWORD Keys, Effect;
        TDropFormats Formats;
    };
    const TCase Cases[] = {
        { "text, move allowed", { Text }, true, true, true, false, 0, DROPEFFECT_MOVE, { dfText } },
        { "text with Ctrl", { Text }, true, true, true, false, MK_CONTROL, DROPEFFECT_COPY, { dfText } },
        { "text refused", { Text }, false, true, true, false, 0, DROPEFFECT_NONE, { dfText } },
        { "only files, files refused", { Files }, true, false, true, false, 0, DROPEFFECT_NONE, { dfFile } },
        { "files", { Files }, false, true, false, false, 0, DROPEFFECT_MOVE, { dfFile } },
        { "a URL links whatever the keys", { Url, Text }, true, true, true, false, MK_CONTROL, DROPEFFECT_LINK,
            { dfText, dfURL, dfURI } },
        { "a URL refused stays text", { Url, Text }, true, true, false, false, 0, DROPEFFECT_MOVE, { dfText } },
        { "column refused", { Col }, true, true, true, false, 0, DROPEFFECT_NONE, { dfCol } },
        { "column accepted", { Col }, true, true, true, true, 0, DROPEFFECT_MOVE, { dfCol } },
        { "cells with every switch off", { Cells }, false, false, false, false, 0, DROPEFFECT_MOVE, { dfGridCells } },
        { "RTF needs text accepted", { Rtf1 }, false, true, true, true, 0, DROPEFFECT_NONE, { dfRTF } },
        { "RTF", { Rtf1 }, true, false, false, false, 0, DROPEFFECT_MOVE, { dfRTF } },
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.What);
        TComPtr<TLogTarget> T(new TLogTarget);
        T->AcceptText = c.AcceptText;
        T->AcceptFiles = c.AcceptFiles;
        T->AcceptURLs = c.AcceptURLs;
        T->AcceptCols = c.AcceptCols;
        auto D = DataWith(c.Blocks);
        DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(T->DragEnter(D.get(), c.Keys, { 5, 5 }, &Effect), S_OK);
        EXPECT_EQ(Effect, c.Effect);
        EXPECT_EQ(T->GetDropFormats(), c.Formats);
        // DragOver answers the same.
        Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        T->DragOver(c.Keys, { 6, 6 }, &Effect);
        EXPECT_EQ(Effect, c.Effect);
        EXPECT_EQ(T->Log, std::vector<std::string> { "enter" });
    }
}

TEST_F(GridDragDrop, DropRunsTheFirstMatchingHookThenAcceptedFilesAndAddresses)
{
    TRtfScope Rtf(false);
    const auto Text = std::make_pair(CLIPFORMAT(CF_UNICODETEXT), Wide(u"t"));
    const auto Files = std::make_pair(CLIPFORMAT(CF_HDROP), FileList({ u"/tmp/a", u"/tmp/b" }));
    const auto Url = std::make_pair(F.URL, Wide(u"http://x"));
    const auto Col = std::make_pair(F.Col, Int32(2));
    const auto Cells = std::make_pair(F.GridCells, Int32(2, { 0, 0, 0, 0, 'a', 'b' }));
    struct TCase {
        const char* What;
        std::vector<std::pair<CLIPFORMAT, TBytes8>> Blocks;
        bool AcceptFiles, AcceptURLs, TextAnswer;
        std::vector<std::string> Log;
        DWORD Effect;
    };
    const TCase Cases[] = {
        { "URL and text: only the URL, from the text", { Url, Text, Files }, true, true, true, { "url t" },
            DROPEFFECT_MOVE },
        { "column before anything else", { Col, Text, Cells }, true, true, true, { "col 2" }, DROPEFFECT_MOVE },
        { "cells before text, then files", { Text, Cells, Files }, true, true, true,
            { "stream ab", "files /tmp/a,/tmp/b" }, DROPEFFECT_MOVE },
        { "a refused text lets the files through", { Text, Files }, true, true, false,
            { "text t", "files /tmp/a,/tmp/b" }, DROPEFFECT_NONE },
        { "files refused", { Text, Files }, false, true, true, { "text t" }, DROPEFFECT_MOVE },
        { "URL refused: neither URL nor link", { Url, Text }, true, false, true, { "text t" }, DROPEFFECT_MOVE },
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.What);
        TComPtr<TLogTarget> T(new TLogTarget);
        T->AcceptFiles = c.AcceptFiles;
        T->AcceptURLs = c.AcceptURLs;
        T->AcceptCols = true;
        T->TextAnswer = c.TextAnswer;
        auto D = DataWith(c.Blocks);
        DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        T->DragEnter(D.get(), 0, { 1, 1 }, &Effect);
        T->Log.clear();
        Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(T->Drop(D.get(), 0, { 1, 1 }, &Effect), S_OK);
        EXPECT_EQ(T->Log, c.Log);
        EXPECT_EQ(Effect, c.Effect);
    }
    // Without acceptance at the enter nothing runs.
    TComPtr<TLogTarget> T(new TLogTarget);
    T->AcceptFiles = false;
    auto D = DataWith({ Files });
    DWORD Effect = DROPEFFECT_COPY;
    T->DragEnter(D.get(), 0, { 1, 1 }, &Effect);
    T->Drop(D.get(), 0, { 1, 1 }, &Effect);
    EXPECT_EQ(Effect, DROPEFFECT_NONE);
    EXPECT_EQ(T->Log, std::vector<std::string> { "enter" });
}

TEST_F(GridDragDrop, MalformedBlocksAreReadWithinTheirSizeOrRefused)
{
    TBytes8 BadList = FileList({ u"/tmp/a" });
    std::memset(BadList.data(), 0xFF, 4); // list offset far past the block
    TBytes8 Unterminated = FileList({ u"/tmp/a" });
    Unterminated.resize(Unterminated.size() - 4); // the end mark is cut off
    struct TCase {
        const char* What;
        std::vector<std::pair<CLIPFORMAT, TBytes8>> Blocks;
        String Text;
        int Col;
        int StreamSize; // -1: no stream
        int FileCount;
    };
    const TCase Cases[] = {
        { "text without its NUL", { { CLIPFORMAT(CF_UNICODETEXT), Wide(u"abc", false) } }, u"abc", -1, -1, 0 },
        { "text with an odd last byte", { { CLIPFORMAT(CF_UNICODETEXT), TBytes8 { 'a', 0, 'b' } } }, u"a", -1, -1, 0 },
        { "column shorter than 4 bytes", { { F.Col, TBytes8 { 1, 0 } } }, u"", -1, -1, 0 },
        { "cells longer than the block", { { F.GridCells, Int32(100, { 0, 0, 0, 0, 'x' }) } }, u"", -1, -1, 0 },
        { "cells of negative size", { { F.GridCells, Int32(-1, { 0, 0, 0, 0 }) } }, u"", -1, -1, 0 },
        { "cells without their header", { { F.GridCells, TBytes8 { 1, 0 } } }, u"", -1, -1, 0 },
        { "cells that fit", { { F.GridCells, Int32(2, { 0, 0, 0, 0, 'x', 'y', 'z' }) } }, u"", -1, 2, 0 },
        { "file list offset past the end", { { CLIPFORMAT(CF_HDROP), BadList } }, u"", -1, -1, 0 },
        { "file list without its end mark", { { CLIPFORMAT(CF_HDROP), Unterminated } }, u"", -1, -1, 0 },
        { "file list", { { CLIPFORMAT(CF_HDROP), FileList({ u"/a", u"/b" }) } }, u"", -1, -1, 2 },
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.What);
        auto D = DataWith(c.Blocks);
        TEnumFormats E(D.get());
        EXPECT_EQ(E.Text(), c.Text);
        EXPECT_EQ(E.Col(), c.Col);
        auto S = E.Stream();
        EXPECT_EQ(S ? int(S->GetSize()) : -1, c.StreamSize);
        EXPECT_EQ(E.Files()->GetCount(), c.FileCount);
    }
    // A drop of refused cells goes on as a drop of the text beside them.
    TComPtr<TLogTarget> T(new TLogTarget);
    auto D = DataWith(
        { { F.GridCells, Int32(100, { 0, 0, 0, 0 }) }, { CLIPFORMAT(CF_UNICODETEXT), Wide(u"plain") } });
    DWORD Effect = DROPEFFECT_COPY;
    T->DragEnter(D.get(), 0, {}, &Effect);
    T->Drop(D.get(), 0, {}, &Effect);
    EXPECT_EQ(T->Log.back(), "text plain");
}

TEST_F(GridDragDrop, TheDragsDataObjectOffersItsFormatsInOrderAsGlobalMemoryOnly)
{
    TRtfScope Rtf(true);
    const String Text = u"Z\u00fcrich \u65e5\u672c"; // 2- and 3-byte UTF-8 characters
    TMemoryStream Cells;
    Cells.Write("cells!", 6);
    struct TCase {
        const char* What;
        int Col;
        TStream* Stream;
        std::vector<CLIPFORMAT> Formats;
    };
    const TCase Cases[] = {
        { "text only", -1, nullptr, { CF_TEXT, CF_UNICODETEXT, F.RTF } },
        { "with a column", 4, nullptr, { CF_TEXT, CF_UNICODETEXT, F.RTF, F.Col } },
        { "cells come last", 4, &Cells, { CF_TEXT, CF_UNICODETEXT, F.RTF, F.Col, F.GridCells } },
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.What);
        TComPtr<TSourceDataObject> D(new TSourceDataObject(Text, u"{\\rtf1 \u00e9}", c.Col, c.Stream));
        IEnumFORMATETC* Raw = nullptr;
        ASSERT_EQ(D->EnumFormatEtc(DATADIR_GET, &Raw), S_OK);
        auto E = TComPtr<IEnumFORMATETC>::Adopt(Raw);
        std::vector<FORMATETC> Got(8);
        ULONG N = 0;
        EXPECT_EQ(E->Next(8, Got.data(), &N), S_FALSE);
        ASSERT_EQ(N, c.Formats.size());
        for (ULONG i = 0; i < N; ++i) {
            EXPECT_EQ(Got[i].cfFormat, c.Formats[i]);
            EXPECT_EQ(Got[i].ptd, nullptr);
            EXPECT_EQ(Got[i].dwAspect, DVASPECT_CONTENT);
            EXPECT_EQ(Got[i].lindex, -1);
            EXPECT_EQ(Got[i].tymed, TYMED_HGLOBAL);
        }
        // Skip past the end, Reset, and a clone keeps the position.
        EXPECT_EQ(E->Reset(), S_OK);
        EXPECT_EQ(E->Skip(1), S_OK);
        IEnumFORMATETC* CloneRaw = nullptr;
        ASSERT_EQ(E->Clone(&CloneRaw), S_OK);
        auto Clone = TComPtr<IEnumFORMATETC>::Adopt(CloneRaw);
        FORMATETC One;
        EXPECT_EQ(Clone->Next(1, &One, nullptr), S_OK);
        EXPECT_EQ(One.cfFormat, CF_UNICODETEXT);
        EXPECT_EQ(E->Skip(10), S_FALSE);
        EXPECT_EQ(E->Next(1, &One, nullptr), S_FALSE);

        FORMATETC Q;
        Q.cfFormat = F.GridCells;
        EXPECT_EQ(D->QueryGetData(&Q), c.Stream ? S_OK : DV_E_FORMATETC);
        Q.cfFormat = F.Col;
        EXPECT_EQ(D->QueryGetData(&Q), c.Col != -1 ? S_OK : DV_E_FORMATETC);
    }

    TComPtr<TSourceDataObject> D(new TSourceDataObject(Text, u"{\\rtf1 \u00e9}", -1, &Cells));
    FORMATETC Q;
    Q.cfFormat = CF_TEXT;
    Q.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    EXPECT_EQ(D->QueryGetData(&Q), DV_E_FORMATETC);
    Q.tymed = TYMED_HGLOBAL;
    Q.dwAspect = DVASPECT_ICON;
    EXPECT_EQ(D->QueryGetData(&Q), DV_E_FORMATETC);
    IEnumFORMATETC* None = nullptr;
    EXPECT_EQ(D->EnumFormatEtc(DATADIR_SET, &None), E_NOTIMPL);
    EXPECT_EQ(D->DAdvise(&Q, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);

    // Each block holds exactly its encoded bytes and a terminator.
    auto Block = [&](CLIPFORMAT Format) {
        FORMATETC G;
        G.cfFormat = Format;
        STGMEDIUM M;
        EXPECT_EQ(D->GetData(&G, &M), S_OK);
        TBytes8 B(GlobalSize(M.hGlobal));
        std::memcpy(B.data(), GlobalLock(M.hGlobal), B.size());
        GlobalUnlock(M.hGlobal);
        ReleaseStgMedium(&M);
        return B;
    };
    const std::string Utf8 = StringToUtf8(Text);
    TBytes8 Ansi(Utf8.begin(), Utf8.end());
    Ansi.push_back(0);
    EXPECT_EQ(Block(CF_TEXT), Ansi);
    EXPECT_EQ(Block(CF_UNICODETEXT), Wide(Text));
    const std::string RtfUtf8 = StringToUtf8(u"{\\rtf1 \u00e9}");
    TBytes8 RtfBytes(RtfUtf8.begin(), RtfUtf8.end());
    RtfBytes.push_back(0);
    EXPECT_EQ(Block(F.RTF), RtfBytes);
    EXPECT_EQ(Block(F.GridCells), Int32(6, { 0, 0, 0, 0, 'c', 'e', 'l', 'l', 's', '!' }));

    // The cell block comes back as the same stream, and the text as the same text.
    TEnumFormats E(D.get());
    auto S = E.Stream();
    ASSERT_TRUE(S);
    std::string Back(6, '\0');
    S->Read(Back.data(), 6);
    EXPECT_EQ(Back, "cells!");
    EXPECT_EQ(E.Text(), Text);
    EXPECT_EQ(E.RTF(), u"{\\rtf1 \u00e9}");
}

namespace {

// A shown form with a logging target registered on it; drags are driven by
// input queued before the drag loop starts.
struct GridDragLoop : GridDragDrop {
    std::unique_ptr<TForm> Form;
    TComPtr<TLogTarget> Target { new TLogTarget };
    void SetUp() override
    {
        GridDragDrop::SetUp();
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 300, 200);
        Form->Show();
        Application->ProcessMessages();
        ASSERT_EQ(RegisterDragDrop(Form->GetHandle(), Target.get()), S_OK);
    }
    void TearDown() override
    {
        RevokeDragDrop(Form->GetHandle());
        Form.reset();
        GridDragDrop::TearDown();
    }
    TPoint At(int X, int Y) { return Form->ClientToScreen(TPoint(X, Y)); }
    void Press(TPoint Screen)
    {
        Headless::MouseDown(Screen);
        Headless::PumpUntilIdle();
    }
};

} // namespace

TEST_F(GridDragLoop, TextAndCellsTravelThroughTheDragLoop)
{
    TMemoryStream Cells;
    Cells.Write("\x01\x02\x03", 3);
    Press(At(20, 20));
    Headless::MouseMove(At(40, 40));
    Headless::MouseUp(At(60, 50));
    TComPtr<TDOUDropSource> Source(new TDOUDropSource);
    DWORD Effect = 0;
    EXPECT_EQ(StartTextDrag(Source.get(), u"\u00e9t\u00e9", u"", &Cells, DROPEFFECT_COPY | DROPEFFECT_MOVE, Effect),
        DRAGDROP_S_DROP);
    EXPECT_EQ(Effect, DROPEFFECT_MOVE);
    EXPECT_EQ(Target->Log, (std::vector<std::string> { "enter", "stream \x01\x02\x03" }));
    // The caller's stream is left as it was.
    EXPECT_EQ(Cells.GetSize(), 3);
}

TEST_F(GridDragLoop, EscapeOrNoTakerCancels)
{
    struct TCase {
        const char* What;
        bool Escape;
        bool Refuse;
    };
    for (const TCase c : { TCase { "escape", true, false }, TCase { "nobody takes it", false, true } }) {
        SCOPED_TRACE(c.What);
        Target->Log.clear();
        // A column drag also lists the text formats (empty), so a refusing
        // target refuses text too.
        Target->AcceptCols = !c.Refuse;
        Target->AcceptText = !c.Refuse;
        Press(At(20, 20));
        Headless::MouseMove(At(30, 30));
        if (c.Escape)
            Headless::Key(VK_ESCAPE);
        Headless::MouseUp(At(40, 40));
        TComPtr<TDOUDropSource> Source(new TDOUDropSource);
        DWORD Effect = 0;
        EXPECT_EQ(StartColumnDrag(Source.get(), 3, DROPEFFECT_COPY | DROPEFFECT_MOVE, Effect), DRAGDROP_S_CANCEL);
        EXPECT_EQ(Effect, DROPEFFECT_NONE);
        EXPECT_EQ(std::count(Target->Log.begin(), Target->Log.end(), "col 3"), 0);
        Headless::PumpUntilIdle();
        ReleaseCapture();
    }
}
