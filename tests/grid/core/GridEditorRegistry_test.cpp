#include <gtest/gtest.h>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "platform/vcl/StdCtrls.h"

TEST(GridEditorRegistry, RegistersCreatesReplacesAndUnregistersPerKind)
{
    TDedOzovedUrad Grid(nullptr);
    EXPECT_FALSE(GridEditorRegistry::IsRegistered(edMemoDropDown));
    EXPECT_EQ(GridEditorRegistry::Create(edMemoDropDown, &Grid), nullptr);

    std::vector<TDedOzovedUrad*> Asked;
    GridEditorRegistry::Register(edMemoDropDown, [&](TDedOzovedUrad* G) -> TWinControl* {
        Asked.push_back(G);
        return new TEdit(G);
    });
    EXPECT_TRUE(GridEditorRegistry::IsRegistered(edMemoDropDown));
    EXPECT_FALSE(GridEditorRegistry::IsRegistered(edCalculatorDropDown));
    TWinControl* Made = GridEditorRegistry::Create(edMemoDropDown, &Grid);
    ASSERT_NE(dynamic_cast<TEdit*>(Made), nullptr);
    EXPECT_EQ(Made->GetOwner(), &Grid);
    EXPECT_EQ(Asked, std::vector<TDedOzovedUrad*> { &Grid });

    // A second registration replaces the first.
    GridEditorRegistry::Register(
        edMemoDropDown, [](TDedOzovedUrad* G) -> TWinControl* { return new TMemo(G); });
    EXPECT_NE(dynamic_cast<TMemo*>(GridEditorRegistry::Create(edMemoDropDown, &Grid)), nullptr);
    EXPECT_EQ(Asked.size(), 1u);

    GridEditorRegistry::Unregister(edMemoDropDown);
    EXPECT_FALSE(GridEditorRegistry::IsRegistered(edMemoDropDown));
    EXPECT_EQ(GridEditorRegistry::Create(edMemoDropDown, &Grid), nullptr);
}

// The grid's getters make their control once, through the registry, and
// answer nil for a kind nobody registered.
TEST(GridEditorRegistry, TheGridsGettersAskItOnce)
{
    TDedOzovedUrad Grid(nullptr);
    EXPECT_EQ(Grid.GetMemoDropDown(), nullptr);
    EXPECT_EQ(Grid.GetDateAndTimePicker(), nullptr);
    int Made = 0;
    GridEditorRegistry::Register(edDateTimeEdit, [&](TDedOzovedUrad*) -> TWinControl* {
        ++Made;
        return new TEdit(nullptr);  // an owner-less control: the grid takes it
    });
    TWinControl* Picker = Grid.GetDateAndTimePicker();
    ASSERT_NE(Picker, nullptr);
    EXPECT_EQ(Grid.GetDateAndTimePicker(), Picker);
    EXPECT_EQ(Made, 1);
    EXPECT_EQ(Picker->GetOwner(), &Grid);
    EXPECT_EQ(Picker->GetParent(), &Grid);
    EXPECT_FALSE(Picker->GetVisible());
    EXPECT_FALSE(Picker->GetEnabled());
    GridEditorRegistry::Unregister(edDateTimeEdit);
    // Freed by its owner: the grid forgets it.
    delete Picker;
    EXPECT_EQ(Grid.GetDateAndTimePicker(), nullptr);
}
