// The grid as an OLE drop target and drag source, driven through the
// platform's drag loop with synthetic input: where dropped text, files and
// columns land, the drop marks, the drag of the selection between grids,
// and the drop target's registration with the grid's window.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridOverlays.h"
#include "grid/views/GridDataViewsImpl.h"
#include "grid/views/io/GridOleDrop.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Clipboard.h"
#include "platform/win/DragDrop.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

using gridfiletest::P;

namespace {

TComPtr<TDataObject> DataWith(CLIPFORMAT Format, HGLOBAL Block)
{
    TComPtr<TDataObject> D(new TDataObject);
    FORMATETC F;
    F.cfFormat = Format;
    STGMEDIUM M;
    M.tymed = TYMED_HGLOBAL;
    M.hGlobal = Block;
    EXPECT_EQ(D->SetData(&F, &M, TRUE), S_OK);
    return D;
}

TComPtr<TDataObject> TextData(const String& Text)
{
    const String Z = Text + u'\0';
    HGLOBAL H = GlobalAlloc(GHND, Z.size() * 2);
    std::memcpy(GlobalLock(H), Z.data(), Z.size() * 2);
    GlobalUnlock(H);
    return DataWith(CF_UNICODETEXT, H);
}

TComPtr<TDataObject> FileData(const std::vector<String>& Files)
{
    return DataWith(CF_HDROP, CreateDropFiles(Files, true));
}

bool Shown(TWinControl* W) { return W && W->HandleAllocated() && IsWindowVisible(W->GetHandle()); }

// Two grids of 5 columns of 60 and 10 rows of 20 pixels (one fixed row and
// column) side by side on a shown form; grid A takes drops.
struct GridOleDrop : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* A = nullptr;
    TDedOzovedUrad* B = nullptr;
    std::vector<std::string> Events;

    TDedOzovedUrad* MakeGrid(int Left)
    {
        auto* G = new TDedOzovedUrad(Form.get());
        G->SetParent(Form.get());
        G->SetBounds(Left, 10, 320, 230);
        G->SetDefaultColWidth(60);
        G->SetDefaultRowHeight(20);
        G->SetColCount(5);
        G->SetRowCount(10);
        return G;
    }
    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(50, 50, 720, 320);
        A = MakeGrid(10);
        B = MakeGrid(370);
        Form->Show();
        Application->ProcessMessages();
        A->GetDragDropSettings()->SetOleDropTarget(true);
        A->OnOleDropped = [this](TObject*, TGridRect R) {
            Events.push_back("dropped " + std::to_string(R.Left) + "," + std::to_string(R.Top) + ","
                + std::to_string(R.Right) + "," + std::to_string(R.Bottom));
        };
    }
    void TearDown() override { Form.reset(); }

    // A screen point DX, DY inside a cell of a grid.
    TPoint OnCell(TDedOzovedUrad* G, int c, int r, int DX = 5, int DY = 5)
    {
        const TRect R = G->CellRect(c, r);
        return G->ClientToScreen(TPoint(R.Left + DX, R.Top + DY));
    }
    // Queues a press on the bare form, a move to `To` and a release there;
    // the drag loop takes them.
    void QueueDragTo(TPoint To, TPoint From = {})
    {
        Session.PassTime(2000);
        if (From == TPoint())
            From = Form->ClientToScreen(TPoint(350, 260));
        Headless::MouseDown(From);
        Headless::PumpUntilIdle();
        Headless::MouseMove(TPoint(To.X - 3, To.Y - 3));
        Headless::MouseMove(To);
        Headless::MouseUp(To);
    }
    DWORD Drop(IDataObject* Data, TPoint To, HRESULT Expected = DRAGDROP_S_DROP)
    {
        QueueDragTo(To);
        TComPtr<TDOUDropSource> Source(new TDOUDropSource);
        DWORD Effect = 0;
        EXPECT_EQ(DoDragDrop(Data, Source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &Effect), Expected);
        Headless::PumpUntilIdle();
        return Effect;
    }
    std::vector<String> Row(TDedOzovedUrad* G, int r)
    {
        std::vector<String> Out;
        for (int c = 0; c < G->GetColCount(); ++c)
            Out.push_back(G->GetCellEx(c, r));
        return Out;
    }
};

} // namespace

TEST_F(GridOleDrop, MeasuresDroppedTextAsThePasteLaysItOut)
{
    struct TCase {
        const char* Text;
        int W, H;
    };
    const TCase Cases[] = {
        { "a\tb\r\nc\td\r\n", 2, 1 }, { "a\tb\r\nc\td", 2, 1 }, { "one", 1, 0 }, { "a\r\n\r\nb\t\tc", 3, 1 },
        { "a\rb\rc", 1, 2 }, { "", 0, 0 },
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.Text);
        int W = -1, H = -1;
        MeasureClipboardText(Utf8ToString(c.Text), W, H);
        EXPECT_EQ(W, c.W);
        EXPECT_EQ(H, c.H);
    }
}

TEST_F(GridOleDrop, DroppedTextPastesAtTheCellAndSelectsIt)
{
    // Dropped text lands as a paste does: in an editable grid.
    A->SetOptions(A->GetOptions() + TGridOptions { goEditing });
    auto D = TextData(u"a\tb\r\nc\td\r\n");
    EXPECT_EQ(Drop(D.get(), OnCell(A, 2, 3)), DROPEFFECT_MOVE);
    EXPECT_EQ(A->GetCellEx(2, 3), u"a");
    EXPECT_EQ(A->GetCellEx(3, 3), u"b");
    EXPECT_EQ(A->GetCellEx(2, 4), u"c");
    EXPECT_EQ(A->GetCellEx(3, 4), u"d");
    EXPECT_EQ(A->GetSelection(), (TGridRect { 2, 3, 3, 4 }));
    EXPECT_EQ(Events, std::vector<std::string> { "dropped 2,3,3,4" });
    EXPECT_FALSE(Shown(A->ArwL));

    // A refusing OnOleDrop leaves the grid alone and the drop has no effect.
    Events.clear();
    A->OnOleDrop = [](TObject*, int, int, const String&, bool& Allow) { Allow = false; };
    auto E = TextData(u"x");
    EXPECT_EQ(Drop(E.get(), OnCell(A, 1, 1)), DROPEFFECT_NONE);
    EXPECT_EQ(A->GetCellEx(1, 1), u"");
    EXPECT_TRUE(Events.empty());
}

TEST_F(GridOleDrop, WholeRowsAppendBelowTheLastRowOnly)
{
    A->SetOptions(A->GetOptions() + TGridOptions { goEditing });
    A->SetFixedCols(0);
    A->SetRowCount(4);
    TDragDropSettings& S = *A->GetDragDropSettings();
    S.SetOleEntireRows(true);
    S.SetOleAppendRows(true);
    S.SetOleInsertRows(true);
    const TRect Last = A->CellRect(1, 3);
    // To the right of the cells, above the last row's bottom: nothing.
    auto D = TextData(u"x\ty\r\n");
    const TPoint Right = A->ClientToScreen(TPoint(A->CellRect(4, 3).Right + 5, Last.Top + 5));
    Drop(D.get(), Right);
    EXPECT_EQ(A->GetRowCount(), 4);
    // Below the last row: a new row after it.
    const TPoint Below = A->ClientToScreen(TPoint(Last.Left + 5, Last.Bottom + 10));
    Drop(D.get(), Below);
    EXPECT_EQ(A->GetRowCount(), 5);
    EXPECT_EQ(Row(A, 4), (std::vector<String> { u"x", u"y", u"", u"", u"" }));
    // On a row: inserted there, the row below moves down.
    A->SetCellEx(1, 2, u"kept");
    Drop(D.get(), OnCell(A, 3, 2));
    EXPECT_EQ(A->GetRowCount(), 6);
    EXPECT_EQ(A->GetCellEx(0, 2), u"x");
    EXPECT_EQ(A->GetCellEx(1, 3), u"kept");
}

TEST_F(GridOleDrop, DroppedFilesLoadOrFireTheirEvents)
{
    testsupport::TempDir Dir;
    gridfiletest::WriteBytes(Dir / "data.csv", "\"n1\",\"n2\"\r\n\"v1\",\"v2\"\r\n");
    {
        TDedOzovedUrad Book(nullptr);
        Book.SetColCount(2);
        Book.SetRowCount(2);
        Book.SetCellEx(0, 0, u"b0");
        Book.SetCellEx(1, 1, u"b1");
        Book.SaveToXLS(P(Dir / "book.xlsx"));
    }
    std::vector<std::string> Seen;
    A->OnOleDropFile = [&](TObject*, int, int, const String& F, bool&) { Seen.push_back("file " + StringToUtf8(F)); };
    A->OnOleDropFiles = [&](TObject*, int ARow, int ACol, TStrings* Files) {
        Seen.push_back("files " + std::to_string(Files->GetCount()) + " at " + std::to_string(ACol) + ","
            + std::to_string(ARow));
    };
    auto Csv = FileData({ P(Dir / "data.csv") });
    Drop(Csv.get(), OnCell(A, 1, 1));
    EXPECT_EQ(Row(A, 1), (std::vector<String> { u"v1", u"v2", u"", u"", u"" }));

    auto Book = FileData({ P(Dir / "book.xlsx") });
    Drop(Book.get(), OnCell(A, 1, 1));
    EXPECT_EQ(A->GetCellEx(0, 0), u"b0");
    EXPECT_EQ(A->GetCellEx(1, 1), u"b1");
    EXPECT_EQ(Seen, (std::vector<std::string> { "file " + StringToUtf8(P(Dir / "data.csv")),
                         "file " + StringToUtf8(P(Dir / "book.xlsx")) }));

    // A file that cannot be read is reported; the grid keeps its cells.
    std::vector<std::string> Errors;
    auto OldHandler = Application->OnException;
    Application->OnException = [&](TObject*, const Exception& E) { Errors.push_back(StringToUtf8(E.GetMessage())); };
    auto Missing = FileData({ P(Dir / "missing.csv") });
    EXPECT_EQ(Drop(Missing.get(), OnCell(A, 1, 1)), DROPEFFECT_NONE);
    Application->OnException = OldHandler;
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(A->GetCellEx(1, 1), u"b1");

    A->SetColCount(5);
    A->SetRowCount(10);
    Seen.clear();
    auto Two = FileData({ P(Dir / "data.csv"), P(Dir / "book.xlsx") });
    Drop(Two.get(), OnCell(A, 2, 3));
    EXPECT_EQ(Seen, std::vector<std::string> { "files 2 at 2,3" });

    // With files switched off nothing is loaded (the drag is refused).
    A->GetDragDropSettings()->SetOleAcceptFiles(false);
    A->SetCellEx(1, 1, u"mine");
    Seen.clear();
    Drop(Csv.get(), OnCell(A, 1, 1));
    EXPECT_EQ(A->GetCellEx(1, 1), u"mine");
    EXPECT_TRUE(Seen.empty());
}

TEST_F(GridOleDrop, ColumnDragsGoToHeadersWithTwoMarks)
{
    auto* Target = TGridDataViews::Of(*A)->GetDropTarget();
    ASSERT_NE(Target, nullptr);
    TComPtr<TSourceDataObject> Col(new TSourceDataObject(String(), String(), 2, nullptr));
    DWORD Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    Target->DragEnter(Col.get(), MK_LBUTTON, OnCell(A, 3, 0), &Effect);
    struct TCase {
        const char* What;
        int c, r;
        bool Allowed;
    };
    for (const TCase& c : { TCase { "data row", 3, 2, false }, TCase { "header", 3, 0, true },
             TCase { "fixed column header", 0, 0, false } }) {
        SCOPED_TRACE(c.What);
        Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        Target->DragOver(MK_LBUTTON, OnCell(A, c.c, c.r), &Effect);
        EXPECT_EQ(Effect != DROPEFFECT_NONE, c.Allowed);
        EXPECT_EQ(Shown(A->ArwD), c.Allowed);
        EXPECT_EQ(Shown(A->ArwU), c.Allowed);
        EXPECT_FALSE(Shown(A->ArwL));
    }
    const TRect R = A->CellRect(3, 0);
    RECT Down {}, Up {};
    GetWindowRect(A->ArwD->GetHandle(), Down);
    GetWindowRect(A->ArwU->GetHandle(), Up);
    EXPECT_EQ(TPoint(Down.Left, Down.Top), A->ClientToScreen(TPoint(R.Left, R.Top - 8)));
    EXPECT_EQ(TPoint(Up.Left, Up.Top), A->ClientToScreen(TPoint(R.Left, R.Bottom)));

    // Dropped on the header with reordering on: column 2 moves to 3.
    A->GetDragDropSettings()->SetOleColumnReorder(true);
    for (int c = 0; c < 5; ++c)
        A->SetCellEx(c, 0, u"h" + IntToStr(c));
    int Dropped = -1;
    A->OnOleDropCol = [&](TObject*, int, int, int DropCol) { Dropped = DropCol; };
    Effect = DROPEFFECT_MOVE;
    Target->Drop(Col.get(), MK_LBUTTON, OnCell(A, 3, 0), &Effect);
    EXPECT_EQ(Dropped, 2);
    EXPECT_EQ(A->GetCellEx(3, 0), u"h2");
    EXPECT_FALSE(Shown(A->ArwD));
    Target->DragLeave();
}

TEST_F(GridOleDrop, DraggingTheSelectionMovesOrCopiesItToAnotherGrid)
{
    B->GetDragDropSettings()->SetOleDropTarget(true);
    B->SetOptions(B->GetOptions() + TGridOptions { goEditing });
    struct TCase {
        const char* What;
        bool CopyAlways;
        bool Escape;
        String SourceAfter;
        String TargetAfter;
        std::vector<std::string> Events;
        bool Cells = false; // the grid's own cell format travels too
    };
    const TCase Cases[] = {
        { "move", false, false, u"", u"s11", { "start 1,1", "stop 2" } },
        { "copy always", true, false, u"s11", u"s11", { "start 1,1", "stop 2" } },
        { "escape", false, true, u"s11", u"", { "start 1,1" } },
        { "move with the cells", false, false, u"", u"s11", { "start 1,1", "stop 2" }, true },
    };
    for (const TCase& c : Cases) {
        SCOPED_TRACE(c.What);
        A->Clear();
        B->Clear();
        for (int r = 1; r < 3; ++r)
            for (int col = 1; col < 3; ++col)
                A->SetCellEx(col, r, u"s" + IntToStr(col) + IntToStr(r));
        A->SetColors(1, 1, clRed);
        A->GetNavigation()->SetAllowFmtClipboard(c.Cells);
        A->SetSelection({ 1, 1, 2, 2 });
        A->GetDragDropSettings()->SetOleDropSource(true);
        A->GetDragDropSettings()->SetOleCopyAlways(c.CopyAlways);
        std::vector<std::string> Log;
        A->OnOleDragStart = [&](TObject*, int ARow, int ACol) {
            Log.push_back("start " + std::to_string(ACol) + "," + std::to_string(ARow));
        };
        A->OnOleDragStop = [&](TObject*, int Effect) { Log.push_back("stop " + std::to_string(Effect)); };

        const TPoint To = OnCell(B, 2, 3);
        Session.PassTime(2000); // no double click with the press before
        Headless::MouseDown(OnCell(A, 1, 1));
        Headless::PumpUntilIdle();
        Headless::MouseMove(OnCell(A, 1, 1, 20, 10));
        Headless::MouseMove(To);
        if (c.Escape)
            Headless::Key(VK_ESCAPE);
        Headless::MouseUp(To);
        A->RunSelectionDrag(1, 1, OnCell(A, 1, 1), false);
        Headless::PumpUntilIdle();

        EXPECT_EQ(Log, c.Events);
        EXPECT_EQ(A->GetCellEx(1, 1), c.SourceAfter);
        EXPECT_EQ(A->GetCellEx(2, 2), c.SourceAfter.empty() ? u"" : u"s22");
        EXPECT_EQ(B->GetCellEx(2, 3), c.TargetAfter);
        EXPECT_EQ(B->GetCellEx(3, 4), c.TargetAfter.empty() ? u"" : u"s22");
        // Text carries no looks; the cell stream carries the cell's colour.
        EXPECT_EQ(B->GetColors(2, 3) == clRed, c.Cells);
        ReleaseCapture();
    }
}

TEST_F(GridOleDrop, TheDropTargetFollowsTheSwitchAndTheWindow)
{
    HWND H = A->GetHandle();
    EXPECT_TRUE(A->GetOleDropTargetAssigned());
    // The window is taken: a second registration fails.
    TComPtr<TDOUDropTarget> Other(new TDOUDropTarget);
    EXPECT_EQ(RegisterDragDrop(H, Other.get()), DRAGDROP_E_ALREADYREGISTERED);

    // Switching on twice registers once; off revokes.
    A->GetDragDropSettings()->SetOleDropTarget(true);
    A->GetDragDropSettings()->SetOleDropTarget(false);
    EXPECT_EQ(RegisterDragDrop(H, Other.get()), S_OK);

    // A failed registration (the window is taken) leaves the flag off, and
    // switching off then revokes nothing of the other's.
    A->GetDragDropSettings()->SetOleDropTarget(true);
    EXPECT_TRUE(A->GetDragDropSettings()->GetOleDropTarget());
    EXPECT_FALSE(A->GetOleDropTargetAssigned());
    A->GetDragDropSettings()->SetOleDropTarget(false);
    EXPECT_EQ(RegisterDragDrop(H, Other.get()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RevokeDragDrop(H), S_OK);

    // A new window registers anew; its destruction lets go.
    A->GetDragDropSettings()->SetOleDropTarget(true);
    ASSERT_TRUE(A->GetOleDropTargetAssigned());
    A->RecreateWnd();
    Headless::PumpUntilIdle();
    const HWND H2 = A->GetHandle();
    EXPECT_TRUE(A->GetOleDropTargetAssigned());
    EXPECT_EQ(RegisterDragDrop(H2, Other.get()), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_NE(TGridDataViews::Of(*A)->GetDropTarget(), nullptr);
    SendMessage(H2, WM_DESTROY, 0, 0);
    EXPECT_EQ(TGridDataViews::Of(*A)->GetDropTarget(), nullptr);
    EXPECT_EQ(RegisterDragDrop(H2, Other.get()), S_OK);
    RevokeDragDrop(H2);

    // A grid being designed only stores the switch.
    TDedOzovedUrad Designed(nullptr);
    Designed.SetDesigning(true);
    Designed.GetDragDropSettings()->SetOleDropTarget(true);
    EXPECT_TRUE(Designed.GetDragDropSettings()->GetOleDropTarget());
    EXPECT_FALSE(Designed.GetOleDropTargetAssigned());
}

TEST_F(GridOleDrop, DesktopFilesReachTheGrid)
{
    std::vector<std::string> Seen;
    A->OnOleDropFiles = [&](TObject*, int ARow, int ACol, TStrings* Files) {
        Seen.push_back(std::to_string(Files->GetCount()) + " at " + std::to_string(ACol) + "," + std::to_string(ARow));
    };
    const HWND Top = Form->GetHandle();
    InjectDropBegin(Top);
    InjectDropFile(Top, u"/tmp/one.txt");
    InjectDropFile(Top, u"/tmp/two.txt");
    InjectDropComplete(Top, OnCell(A, 2, 4));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Seen, std::vector<std::string> { "2 at 2,4" });
}

namespace {

// A cell-stream reader of the test's own: the stream's bytes are the text
// of rows "a,b" joined by ';', its head says how many.
struct TStreamTarget : TGridDropTarget {
    using TGridDropTarget::TGridDropTarget;
    std::vector<std::string> Loads;
    bool ReadStreamHead(TStream& Stream, int& RowCount, int& ColCount, String& RowHeights) override
    {
        std::string Bytes(std::size_t(Stream.GetSize()), '\0');
        Stream.Read(Bytes.data(), Stream.GetSize());
        RowCount = int(std::count(Bytes.begin(), Bytes.end(), ';')) + 1;
        ColCount = 2;
        RowHeights = u"30,x";
        return true;
    }
    void LoadStreamAt(int ACol, int ARow, TStream&) override
    {
        Loads.push_back(std::to_string(ACol) + "," + std::to_string(ARow));
    }
};

} // namespace

TEST_F(GridOleDrop, DroppedCellsMakeRoomAndTellTheSourceHowFarItMoved)
{
    TDragDropSettings& S = *A->GetDragDropSettings();
    S.SetOleInsertRows(true);
    S.SetSourceY(5);
    TComPtr<TStreamTarget> T(new TStreamTarget(A));
    auto Stream = std::make_unique<TMemoryStream>();
    Stream->Write("a,b;c,d", 7);
    A->SetCellEx(1, 2, u"below");
    T->DropStream(OnCell(A, 3, 2), std::move(Stream));
    // Two rows inserted at row 2 above the source rows, which moved by 2;
    // the first takes its height, the second's is no number.
    EXPECT_EQ(A->GetRowCount(), 12);
    EXPECT_EQ(A->GetCellEx(1, 4), u"below");
    EXPECT_EQ(S.GetDeltaY(), 2);
    EXPECT_EQ(T->Loads, std::vector<std::string> { "3,2" });
    EXPECT_EQ(A->GetRowHeights(2), 30);
    EXPECT_EQ(A->GetRowHeights(3), 20);
    EXPECT_EQ(Events.size(), 1u);

    // The grid's own target checks a dropped cell block whole before
    // anything lands: one that is no sound stream changes nothing, even
    // with a text beside it.
    auto D = TextData(u"as text");
    const std::uint8_t Cells[] = { 1, 0, 0, 0, 0, 0, 0, 0, 'c' };
    HGLOBAL H = GlobalAlloc(GHND, sizeof Cells);
    std::memcpy(GlobalLock(H), Cells, sizeof Cells);
    GlobalUnlock(H);
    FORMATETC F;
    F.cfFormat = DragDropFormats().GridCells;
    STGMEDIUM M;
    M.tymed = TYMED_HGLOBAL;
    M.hGlobal = H;
    ASSERT_EQ(D->SetData(&F, &M, TRUE), S_OK);
    const int Rows = A->GetRowCount();
    Drop(D.get(), OnCell(A, 1, 1));
    EXPECT_EQ(A->GetCellEx(1, 1), u"");
    EXPECT_EQ(A->GetRowCount(), Rows);
}

TEST_F(GridOleDrop, RowsMovedUpInsideTheGridLeaveNoCopyBehind)
{
    A->SetRowCount(6);
    for (int r = 1; r < 6; ++r)
        A->SetCellEx(1, r, u"r" + IntToStr(r));
    A->SetOptions(A->GetOptions() + TGridOptions { goEditing });
    TDragDropSettings& S = *A->GetDragDropSettings();
    S.SetOleDropSource(true);
    S.SetOleEntireRows(true);
    S.SetOleInsertRows(true);
    S.SetOleRemoveRows(true);
    A->SetOptions(A->GetOptions() + TGridOptions { goRowSelect });
    A->SetSelection({ 1, 4, 4, 4 });

    const TPoint To = OnCell(A, 2, 2);
    Session.PassTime(2000);
    Headless::MouseDown(OnCell(A, 1, 4));
    Headless::PumpUntilIdle();
    Headless::MouseMove(OnCell(A, 1, 4, 20, 10));
    Headless::MouseMove(To);
    Headless::MouseUp(To);
    A->RunSelectionDrag(1, 4, OnCell(A, 1, 4), false);
    Headless::PumpUntilIdle();
    ReleaseCapture();

    std::vector<String> Col;
    for (int r = 1; r < A->GetRowCount(); ++r)
        Col.push_back(A->GetCellEx(1, r));
    EXPECT_EQ(Col, (std::vector<String> { u"r1", u"r4", u"r2", u"r3", u"r5" }));
}
