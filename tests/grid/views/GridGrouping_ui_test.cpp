// Grouping on a shown grid: input that arrives while Group runs waits until
// the grid is grouped.

#include <gtest/gtest.h>

#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

TEST(GroupingOnScreen, AClickQueuedDuringGroupLandsAfterIt)
{
    THeadlessSession Session;
    InstallDeviceContextFactory();
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetPosition(poDesigned);
    Form->SetBounds(100, 100, 640, 480);
    auto* Grid = new TDedOzovedUrad(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(10, 10, 500, 400);
    Grid->SetColCount(3);
    Grid->SetRowCount(601);
    for (int r = 1; r < 601; ++r) {
        Grid->SetCells(1, r, u"k" + IntToStr(r / 10));
        Grid->SetCells(2, r, IntToStr(r));
    }
    Form->Show();
    Application->ProcessMessages();

    int Clicks = 0;
    int GroupColumnAtClick = 0;
    int RowCountAtClick = 0;
    Grid->OnClickCell = [&](TObject*, int, int) {
        ++Clicks;
        GroupColumnAtClick = Grid->GetGroupColumn();
        RowCountAtClick = Grid->GetRowCount();
    };
    const TRect Cell = Grid->CellRect(1, 3);
    const LPARAM At = MAKELPARAM(Cell.Left + 3, Cell.Top + 3);
    PostMessage(Grid->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
    PostMessage(Grid->GetHandle(), WM_LBUTTONUP, 0, At);

    Grid->Group(1);
    EXPECT_EQ(Clicks, 0);
    const int Grouped = Grid->GetRowCount();
    EXPECT_EQ(Grouped, 601 + 61);

    Headless::PumpUntilIdle();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(GroupColumnAtClick, 1);
    EXPECT_EQ(RowCountAtClick, Grouped);
}
