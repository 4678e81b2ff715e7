#include <gtest/gtest.h>

#include <string>

#include "GridDataViewsDouble.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/IntList.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::string Shown(TDedOzovedUrad& G, int c, int r) { return StringToUtf8(G.GetCellEx(c, r)); }

} // namespace

TEST(GridDisplayText, TheFirstKnownLinkPrefixFoundBecomesALink)
{
    TDedOzovedUrad G(nullptr);
    G.SetCells(1, 1, u"see www.example.com");
    G.SetCells(1, 2, u"http://a.example and ftp://b.example");
    G.SetCells(1, 3, u"plain words");
    EXPECT_EQ(Shown(G, 1, 1), "see www.example.com"); // off by default
    G.SetURLShowInText(true);
    const std::string One = Shown(G, 1, 1);
    EXPECT_EQ(One.rfind("see <", 0), 0u) << One;
    EXPECT_NE(One.find("www.example.com</"), std::string::npos) << One;
    const std::string Two = Shown(G, 1, 2);
    EXPECT_NE(Two.find("a.example</"), std::string::npos) << Two;
    EXPECT_EQ(Two.find("b.example</"), std::string::npos) << Two;
    EXPECT_EQ(Shown(G, 1, 3), "plain words");
    // The stored text is left as it was.
    EXPECT_EQ(G.GetGridCell(1, 1), u"see www.example.com");
}

TEST(GridDisplayText, AGroupHeaderShowsItsRowCount)
{
    TRecordingDataViewsScope Views;
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[2] = 5;
    Views.Log->NodeSpans[8] = 6;
    Views.Log->SubNodeCounts[8] = 2;
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(12);
    G.SetCells(1, 2, u"Sydney");
    G.SetCells(1, 8, u"Perth");
    G.SetCells(2, 2, u"other column");
    G.SetCells(1, 3, u"not a node");
    G.GetGrouping()->SetShowGroupCount(true);
    EXPECT_EQ(Shown(G, 1, 2), "Sydney (4)");
    EXPECT_EQ(Shown(G, 1, 8), "Perth (3)");
    EXPECT_EQ(Shown(G, 2, 2), "other column");
    EXPECT_EQ(Shown(G, 1, 3), "not a node");

    G.GetGrouping()->SetGroupCountFormat(u" [%d]");
    EXPECT_EQ(Shown(G, 1, 2), "Sydney [4]");
    // A format that cannot take the count leaves the text without it.
    G.GetGrouping()->SetGroupCountFormat(u" [%s %s]");
    EXPECT_NO_THROW(EXPECT_EQ(Shown(G, 1, 2), "Sydney"));
}

// Rows removed while a filter is on go from the unfiltered grid; the
// filter comes back afterwards.
TEST(GridRowOps, RemovingRowsUnderAFilterRemovesThemUnfiltered)
{
    TRecordingDataViewsScope Views;
    TDedOzovedUrad G(nullptr);
    G.SetColCount(2);
    G.SetRowCount(8);
    G.SetFixedRows(1);
    for (int r = 0; r < 8; ++r)
        G.SetCells(1, r, (r % 2 ? u"odd" : u"even") + IntToStr(r));
    // The filter keeps the even rows.
    auto Filter = [&] {
        TIntList List;
        for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
            if (G.GetCells(1, r).starts_with(u"odd"))
                List.Add(r);
        G.HideRowList(&List);
        G.SetFilterActiveState(true);
    };
    Views.Log->OnSetFilterActive = [&](bool On) {
        if (On) {
            Filter();
            return;
        }
        G.UnHideRowList();
        G.SetFilterLevel(G.GetFilterLevel() - 1);
        G.SetFilterActiveState(false);
    };
    Filter();
    ASSERT_EQ(G.GetRowCount(), 4); // header, even2, even4, even6
    G.RemoveRows(2, 1);            // even4, real row 4
    EXPECT_TRUE(Views.Log->Saw("SetFilterActive(0)"));
    EXPECT_TRUE(G.GetFilterActive());
    std::string Rows;
    for (int r = 0; r < G.GetRowCount(); ++r)
        Rows += StringToUtf8(G.GetCells(1, r)) + " ";
    EXPECT_EQ(Rows, "even0 even2 even6 ");
    G.UnHideRowList();
    EXPECT_EQ(G.GetRowCount(), 7);
    EXPECT_EQ(G.GetCells(1, 4), u"odd5");
}

TEST(GridRowOps, AddRowKeepsAFixedLastFooterRowLast)
{
    TDedOzovedUrad G(nullptr);
    G.SetRowCount(4);
    G.GetFloatingFooter()->SetFooterStyle(fsFixedLastRow);
    G.GetFloatingFooter()->SetVisible(true);
    G.SetCells(1, 3, u"footer");
    G.SetCells(1, 2, u"last data");
    G.AddRow();
    EXPECT_EQ(G.GetRowCount(), 5);
    EXPECT_EQ(G.GetCells(1, 4), u"footer");
    EXPECT_EQ(G.GetCells(1, 3), u"");
    EXPECT_EQ(G.GetCells(1, 2), u"last data");

    G.GetFloatingFooter()->SetVisible(false);
    G.AddRow();
    EXPECT_EQ(G.GetRowCount(), 6);
    EXPECT_EQ(G.GetCells(1, 5), u"");
    EXPECT_EQ(G.GetCells(1, 4), u"footer");
}
