#include <gtest/gtest.h>

#include "grid/core/ControlList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

namespace {

class TestGraphic : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

} // namespace

TEST(LumControlList, ItemsNameCellsAndLeaveTheControlsAlone)
{
    TWinControl parent;
    TWinControl edit;
    TestGraphic label;
    edit.SetParent(&parent);
    label.SetParent(&parent);

    TLumControlList list;
    list.AddControl(1, 2, &edit);
    list.AddControl(3, 4, &label);
    list.AddControl(1, 2, &label);
    EXPECT_EQ(list.ControlIndex(1, 2), 0);
    EXPECT_EQ(list.ControlIndex(3, 4), 1);
    EXPECT_EQ(list.ControlIndex(2, 1), -1);
    EXPECT_EQ(list.GetControl(1)->GetControl(), &label);
    EXPECT_EQ(list.GetControl(1)->X, 3);
    EXPECT_THROW(list.GetControl(3), EListError);

    list.RemoveControl(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ControlIndex(1, 2), 1);
    EXPECT_EQ(edit.GetParent(), &parent);
    list.ClearControls();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(edit.GetParent(), &parent);
    EXPECT_EQ(label.GetParent(), &parent);
    EXPECT_EQ(parent.GetControlCount(), 2);
}

TEST(LumControlList, HasHandleLooksAtWindowedControlsOnly)
{
    TForm parent(nullptr);
    TWinControl edit;
    TestGraphic label;
    edit.SetParent(&parent);
    label.SetParent(&parent);
    TLumControlList list;
    list.AddControl(0, 1, &label);
    list.AddControl(0, 2, &edit);
    // The windowless label lives in its parent's window, which is not one of
    // the list's windows.
    EXPECT_FALSE(list.HasHandle(parent.GetHandle()));
    EXPECT_TRUE(list.HasHandle(edit.GetHandle()));
    EXPECT_FALSE(list.HasHandle(nullptr));
}
