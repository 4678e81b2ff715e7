#include "platform/vcl/Splitter.h"

#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

using Splitters = SimpleControls;

} // namespace

// Left panel | splitter | client panel, the results-panel layout turned round.
TEST_F(Splitters, DraggingResizesTheNeighbourWithinMinSizeOnBothSides)
{
    struct Case {
        TResizeStyle style;
        int dragBy;
        int expectedWidth;
    };
    const Case cases[] = {
        { rsUpdate, 50, 150 },
        { rsPattern, -40, 60 },
        { rsLine, -200, 30 },  // MinSize of the panel
        { rsUpdate, 600, 362 }, // leaves MinSize to the client panel: 400 - 5 - 3 - 30
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        auto form = MakeForm(400, 200);
        form->SetClientWidth(400);
        auto* left = Add<TPanel>(form.get(), form.get(), { 0, 0, 100, 200 });
        left->SetAlign(alLeft);
        auto* splitter = Add<TSplitter>(form.get(), form.get(), { 100, 0, 103, 200 });
        splitter->SetAlign(alLeft);
        splitter->SetResizeStyle(c.style);
        auto* edge = Add<TPanel>(form.get(), form.get(), { 395, 0, 400, 200 });
        edge->SetAlign(alRight);
        auto* rest = Add<TPanel>(form.get(), form.get(), { 0, 0, 10, 10 });
        rest->SetAlign(alClient);
        int moved = 0;
        splitter->OnMoved = [&](TObject*) { ++moved; };
        form->Show();
        Pump();
        ASSERT_EQ(splitter->GetLeft(), 100);
        ASSERT_EQ(splitter->FindControl(), left);

        const TPoint from = splitter->ClientToScreen({ 1, 50 });
        Headless::MouseDown(from);
        Pump();
        for (int step = 1; step <= 4; ++step) {
            Headless::MouseMove({ from.X + c.dragBy * step / 4, from.Y });
            Pump();
            if (step == 2) {
                // Live resizing only with rsUpdate.
                EXPECT_EQ(left->GetWidth() != 100, c.style == rsUpdate);
            }
        }
        Headless::MouseUp({ from.X + c.dragBy, from.Y });
        Pump();
        EXPECT_EQ(left->GetWidth(), c.expectedWidth);
        EXPECT_EQ(splitter->GetLeft(), c.expectedWidth);
        EXPECT_EQ(moved, 1);
        EXPECT_GE(rest->GetWidth(), splitter->GetMinSize());
    }
}

TEST_F(Splitters, OnCanResizeMayRefuseAndAClickWithoutMovingReportsNothing)
{
    auto form = MakeForm(400, 200);
    auto* top = Add<TPanel>(form.get(), form.get(), { 0, 0, 400, 80 });
    top->SetAlign(alTop);
    auto* splitter = Add<TSplitter>(form.get(), form.get(), { 0, 80, 400, 83 });
    splitter->SetAlign(alTop);
    splitter->SetHeight(3); // made for alLeft, it took the full height
    splitter->SetResizeStyle(rsUpdate);
    auto* rest = Add<TPanel>(form.get(), form.get(), { 0, 0, 10, 10 });
    rest->SetAlign(alClient);
    int moved = 0;
    splitter->OnMoved = [&](TObject*) { ++moved; };
    splitter->OnCanResize = [](TObject*, int& NewSize, bool& Accept) { Accept = NewSize <= 100; };
    form->Show();
    Pump();
    ASSERT_EQ(splitter->FindControl(), top);
    ClickAt(splitter, { 50, 1 });
    EXPECT_EQ(moved, 0);
    const TPoint from = splitter->ClientToScreen({ 50, 1 });
    Headless::Drag(from, { from.X, from.Y + 15 });
    Pump();
    EXPECT_EQ(top->GetHeight(), 95);
    Headless::Drag({ from.X, from.Y + 15 }, { from.X, from.Y + 60 });
    Pump();
    EXPECT_EQ(top->GetHeight(), 95); // 140 refused
    EXPECT_EQ(moved, 1);
}
