// The grid's answer to the platform's hint request (CM_HINTSHOW): where the
// hint goes for comments, anchors and large texts, which text it shows,
// when the application is asked, and its colour.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/HTMLHintWindow.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

struct HintGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    int Asked = 0;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Grid->SetHintColor(TColor(0x12AB34));
        Grid->OnGridHint = [this](TObject*, int, int, String&) { ++Asked; };
        Form->Show();
        Application->ProcessMessages();
    }
    // The hint request for the pointer at P (grid client coordinates).
    THintInfo Ask(TPoint P, const String& Initial = u"initial")
    {
        THintInfo Info;
        Info.HintControl = Grid;
        Info.CursorPos = P;
        Info.HintPos = { -1, -1 };
        Info.HintStr = Initial;
        Grid->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
        return Info;
    }
    TPoint Inside(int ACol, int ARow, int dx = 3, int dy = 3)
    {
        const TRect r = Grid->CellRect(ACol, ARow);
        return { r.Left + dx, r.Top + dy };
    }
    TPoint OnScreen(TPoint P) { return Grid->ClientToScreen(P); }
};

} // namespace

TEST_F(HintGrid, CommentGoesToTheCellsTopRightCorner)
{
    Grid->AddComment(2, 3, u"a note");
    const THintInfo Info = Ask(Inside(2, 3));
    const TRect r = Grid->CellRect(2, 3);
    EXPECT_EQ(Info.HintStr, u"a note");
    EXPECT_EQ(Info.HintPos, OnScreen({ r.Right, r.Top }));
    EXPECT_EQ(Grid->GetLastHintPos(), TPoint(2, 3));

    // A plain cell: the hint goes below the cell at the pointer's x.
    const THintInfo Plain = Ask(Inside(1, 2, 7, 3));
    EXPECT_EQ(Plain.HintStr, u"initial");
    EXPECT_EQ(Plain.HintPos, OnScreen({ Grid->CellRect(1, 2).Left + 7, Grid->CellRect(1, 2).Bottom + 6 }));
}

TEST_F(HintGrid, AnchorHintShowsTheAnchorsTitleOrItselfNextToThePointer)
{
    Grid->SetAnchorHint(true);
    Grid->SetColWidths(1, 200);
    Grid->SetCells(1, 1, u"<a href=\"http://x.example/\" title=\"Go there\">link</a>");
    Grid->SetCells(1, 2, u"<a href=\"http://y.example/\">link</a>");
    String Seen;
    Grid->OnAnchorHint = [&](TObject*, int ARow, int ACol, String& Anchor) {
        Seen = Anchor;
        EXPECT_EQ(ACol, 1);
        if (ARow == 2)
            Anchor = u"changed";
    };
    const TPoint P = Inside(1, 1, 6, 8);
    const THintInfo Info = Ask(P);
    EXPECT_EQ(Seen, u"Go there");
    EXPECT_EQ(Info.HintStr, u"Go there");
    EXPECT_EQ(Info.HintPos, OnScreen({ P.X + 8, P.Y - 16 }));
    EXPECT_EQ(Grid->GetLastAnchorHint(), u"Go there");

    const THintInfo Own = Ask(Inside(1, 2, 6, 8));
    EXPECT_EQ(Seen, u"http://y.example/");
    EXPECT_EQ(Own.HintStr, u"changed");

    // Off the anchor (past the text) no anchor hint.
    Seen.clear();
    Ask(Inside(1, 1, 180, 8));
    EXPECT_TRUE(Seen.empty());
}

TEST_F(HintGrid, LargeTextHintCoversTheTruncatedCellsTopLeftCorner)
{
    Grid->SetHintShowLargeText(true);
    Grid->SetColWidths(2, 30);
    Grid->SetCells(2, 1, u"a text far too long for thirty pixels");
    Grid->SetCells(2, 2, u"ok");
    struct Case {
        THintPos Where;
        int Row;
        bool Large;
    };
    const Case Cases[] = { { hpCell, 1, true }, { hpCursor, 1, true }, { hpCell, 2, false } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << int(C.Where) << " row " << C.Row);
        Grid->SetHintShowLargeTextPos(C.Where);
        const TPoint P = Inside(2, C.Row, 4, 5);
        const THintInfo Info = Ask(P);
        const TRect r = Grid->CellRect(2, C.Row);
        EXPECT_EQ(Info.HintStr, C.Large ? Grid->GetCells(2, C.Row) : String(u"initial"));
        const TPoint Expected = C.Large && C.Where == hpCell ? TPoint(r.Left, r.Top) : TPoint(P.X, r.Bottom + 6);
        EXPECT_EQ(Info.HintPos, OnScreen(Expected));
    }
}

TEST_F(HintGrid, ShowCellsGivesTheTextWithoutMarkupUnlessHTMLHint)
{
    Grid->SetHintShowCells(true);
    Grid->SetCells(1, 1, u"<b>bold</b> text");
    EXPECT_EQ(Ask(Inside(1, 1)).HintStr, u"bold text");
    EXPECT_EQ(Ask(Inside(1, 1)).HintPos, OnScreen({ Inside(1, 1).X, Grid->CellRect(1, 1).Top }));
    // A fixed cell is no normal cell: its text is not the hint.
    Grid->SetCells(0, 1, u"fixed");
    EXPECT_EQ(Ask(Inside(0, 1)).HintStr, u"initial");

    // With HTMLHint the markup stays, and the hint window shows mini-HTML.
    Grid->SetHTMLHint(true);
    const THintInfo Info = Ask(Inside(1, 1));
    EXPECT_EQ(Info.HintStr, u"<b>bold</b> text");
    ASSERT_TRUE(bool(Info.HintWindowClass));
    std::unique_ptr<THintWindow> Window(Info.HintWindowClass(nullptr));
    EXPECT_NE(dynamic_cast<THTMLHintWindow*>(Window.get()), nullptr);
    EXPECT_EQ(Info.HintData, Grid);
    Grid->SetUseInternalHintClass(false);
    EXPECT_FALSE(bool(Ask(Inside(1, 1)).HintWindowClass));
}

TEST_F(HintGrid, FooterRowOfAFloatingFooterDoesNotAskTheApplication)
{
    Grid->GetFloatingFooter()->SetVisible(true);
    Grid->SetRowCount(6);
    ASSERT_LT(Grid->CellRect(1, 5).Bottom, Grid->GetClientHeight());
    Asked = 0;
    Ask(Inside(1, 5));
    EXPECT_EQ(Asked, 0);
    Ask(Inside(1, 4));
    EXPECT_EQ(Asked, 1);
}

TEST_F(HintGrid, MergedCellReportsItsBaseCell)
{
    Grid->MergeCells(1, 1, 2, 2);
    Ask(Inside(2, 2));
    EXPECT_EQ(Grid->GetLastHintPos(), TPoint(1, 1));
}

TEST_F(HintGrid, HintColourIsHintColorEverywhere)
{
    Grid->SetColCount(2);
    Grid->SetRowCount(2);
    Grid->AddComment(1, 1, u"note");
    const TPoint Points[] = { Inside(1, 1), Inside(0, 0), { 390, 240 } }; // the last outside every cell
    for (const TPoint& P : Points) {
        SCOPED_TRACE(testing::Message() << P.X << "," << P.Y);
        EXPECT_EQ(Ask(P).HintColor, TColor(0x12AB34));
    }
    // Outside the cells the application is asked for (-1, -1).
    int Col = 0, Row = 0;
    Grid->OnGridHint = [&](TObject*, int ARow, int ACol, String&) {
        Row = ARow;
        Col = ACol;
    };
    Ask({ 390, 240 });
    EXPECT_EQ(Col, -1);
    EXPECT_EQ(Row, -1);
}

TEST_F(HintGrid, HintMaxWidthLimitsTheHintWhenPositive)
{
    EXPECT_EQ(Ask(Inside(1, 1)).HintMaxWidth, 0);
    Grid->GetControlLook()->SetHintMaxWidth(120);
    EXPECT_EQ(Ask(Inside(1, 1)).HintMaxWidth, 120);
}
