#pragma once
// A shown grid for the mouse tests, with presses and releases that go
// through the window's message path as real input does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Backend.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

// Records the hooks the press calls into other parts of the grid.
struct MouseGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    std::vector<std::string> FixedEdits;
    void EditFixedCell(int ACol, int ARow, bool FilterEdit) override
    {
        FixedEdits.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (FilterEdit ? " filter" : ""));
    }
    using TDedOzovedUrad::MouseDown;
};

// A grid of 5 columns of 90 and 20 rows of 24 pixels in 460 x 250 client
// pixels on a shown form.
struct MouseDownTest : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    MouseGrid* Grid = nullptr;
    std::vector<std::string> Clicks;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new MouseGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 460, 250);
        Grid->SetDefaultColWidth(90);
        Grid->SetDefaultRowHeight(24);
        Grid->SetColCount(5);
        Grid->SetRowCount(20);
        Form->Show();
        Application->ProcessMessages();
        Grid->OnClickCell = [this](TObject*, int ARow, int ACol) {
            Clicks.push_back(std::to_string(ACol) + "," + std::to_string(ARow));
        };
    }
    TPoint Screen(int X, int Y) { return Grid->ClientToScreen(TPoint(X, Y)); }
    // A point inside a cell, DX / DY pixels from its top-left corner.
    TPoint In(int c, int r, int DX, int DY)
    {
        const TRect R = Grid->CellRect(c, r);
        return TPoint(R.Left + DX, R.Top + DY);
    }
    // Presses far apart in time, so that none pairs with the one before
    // into a double click.
    void Press(TPoint Client)
    {
        Session.PassTime(2000);
        Headless::MouseDown(Screen(Client.X, Client.Y));
        Headless::PumpUntilIdle();
    }
    void Release(TPoint Client)
    {
        Headless::MouseUp(Screen(Client.X, Client.Y));
        Headless::PumpUntilIdle();
    }
    void Click(TPoint Client)
    {
        Press(Client);
        Release(Client);
    }
    // Holds a modifier key around the press.
    void PressWith(WORD Vk, TPoint Client)
    {
        InjectKey(Vk, true);
        Headless::PumpUntilIdle();
        Press(Client);
        InjectKey(Vk, false);
        Headless::PumpUntilIdle();
    }
};

