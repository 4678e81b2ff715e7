// The grid's date-and-time cell editor, headless: registered for the
// grid's edDateTimeEdit cells, loaded from the cell, stored with the time
// part's time, Tab from the date part into the time part and out of the
// cell, and Esc restoring the value of the edit's start.

#include <gtest/gtest.h>

#include <memory>

#include "dropdown/GridDateTimePicker.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

struct GridDateTime : ::testing::Test {
    THeadlessSession Session;
    TFormatSettings Saved { FormatSettings };
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        FormatSettings = TFormatSettings::Invariant();
        RegisterGridDateTimeEditor();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 600, 300);
        Grid->SetColCount(4);
        Grid->SetRowCount(5);
        Grid->SetColWidths(1, 200);
        Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing, goTabs });
        Grid->SetDefaultEditor(edDateTimeEdit);
        Form->Show();
        Pump();
    }
    void TearDown() override
    {
        Form.reset();
        GridEditorRegistry::Unregister(edDateTimeEdit);
        FormatSettings = Saved;
    }
    static void Pump() { Headless::PumpUntilIdle(); }
    static void Press(WORD Vk, bool Shift = false)
    {
        Headless::Key(Vk, Shift);
        Pump();
    }
    TGridDateTimePicker* Open(int c, int r, const String& Text)
    {
        Grid->SetCells(c, r, Text);
        Grid->MoveColRow(c, r + 1, true, true);
        Grid->MoveColRow(c, r, true, true);
        Grid->SetFocus();
        Pump();
        Grid->ShowInplaceEdit();
        Pump();
        return dynamic_cast<TGridDateTimePicker*>(Grid->GetDateAndTimePicker());
    }
    std::string Cell(int c, int r) { return StringToUtf8(Grid->GetCells(c, r)); }
};

} // namespace

TEST_F(GridDateTime, OpensOnTheCellsValueAndStoresTheMergedDateAndTime)
{
    const TDateTime Start = EncodeDateTime(2024, 3, 15, 9, 30, 0, 0);
    TGridDateTimePicker* P = Open(1, 1, GridDateTimeEditing::CellText(Start));
    ASSERT_NE(P, nullptr);
    EXPECT_TRUE(P->GetVisible());
    EXPECT_EQ(P->GetKind(), dkDateTime);
    ASSERT_NE(P->GetTimePicker(), nullptr);
    EXPECT_EQ(P->GetDateTime(), Start);
    EXPECT_EQ(Grid->GetOriginalDateTime(), Start);
    // The time part's time goes into the cell with the date.
    P->GetTimePicker()->SetTime(EncodeTime(17, 45, 0, 0));
    Grid->HideInplaceEdit();
    EXPECT_EQ(Cell(1, 1), StringToUtf8(GridDateTimeEditing::CellText(EncodeDateTime(2024, 3, 15, 17, 45, 0, 0))));
}

TEST_F(GridDateTime, EscRestoresTheStartValueTimeOfDayIncluded)
{
    const TDateTime Start = EncodeDateTime(2024, 3, 15, 9, 30, 0, 0);
    TGridDateTimePicker* P = Open(1, 1, GridDateTimeEditing::CellText(Start));
    ASSERT_NE(P, nullptr);
    P->SetDateTime(EncodeDateTime(2025, 1, 1, 11, 0, 0, 0));
    P->SetFocus();
    Pump();
    Press(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Cell(1, 1), StringToUtf8(GridDateTimeEditing::CellText(Start)));
}

TEST_F(GridDateTime, TabGoesFromTheDatePartToTheTimePartThenLeavesTheCell)
{
    TGridDateTimePicker* P = Open(1, 1, GridDateTimeEditing::CellText(EncodeDateTime(2024, 3, 15, 9, 30, 0, 0)));
    ASSERT_NE(P, nullptr);
    P->SetFocus();
    Pump();
    ASSERT_TRUE(P->Focused());
    Press(VK_TAB);
    EXPECT_TRUE(P->TimePartFocused());
    EXPECT_TRUE(Grid->EditMode);
    // Out of the time part: the cell is stored and Tab moves on (the next
    // cell's editor may open there).
    Press(VK_TAB);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Cell(1, 1), StringToUtf8(GridDateTimeEditing::CellText(EncodeDateTime(2024, 3, 15, 9, 30, 0, 0))));
}
