#include <gtest/gtest.h>

#include <memory>

#include "grid/core/CellPainters.h"
#include "grid/core/GridPainters.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"

using namespace VuzEraz;

TEST(CellPaintersUi, ErrorUnderlineMarksOnlyTheWrongCharacters)
{
    THeadlessSession session;
    InstallDeviceContextFactory();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 100);
    auto* meter = new TEdit(form.get());
    meter->SetVisible(false);
    meter->SetParent(form.get());
    meter->SetBorderStyle(bsNone);

    const String text = u"abc defg hij";
    const TRect cell(10, 10, 210, 30);
    meter->SetBounds(cell.Left, cell.Top, cell.Width(), cell.Height());
    meter->SetText(text);
    const auto xOf = [&](int i) { return cell.Left + std::int16_t(LOWORD(meter->Perform(EM_POSFROMCHAR, i, 0))); };
    const int defStart = xOf(4), defEnd = xOf(8);

    TBitmap b(300, 60);
    FillRectColor(b.GetCanvas(), TRect(0, 0, 300, 60), TColor(0xFFFFFF));
    DrawErrorUnderline(meter, b.GetCanvas(), text, cell, 12, 4, 4);
    auto redIn = [&](int x0, int x1) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 0; y < 60; ++y)
                n += (b.GetCanvas()->GetPixel(x, y) & 0xFFFFFF) == TColor(0x0000FF);
        return n;
    };
    EXPECT_GT(redIn(defStart, defEnd), 0);
    EXPECT_EQ(redIn(0, defStart - 1), 0) << "nothing under \"abc \"";
    EXPECT_EQ(redIn(defEnd + 6, 300), 0) << "nothing under \"hij\"";

    // A range that runs to the end of the text stops 4 pixels past it.
    FillRectColor(b.GetCanvas(), TRect(0, 0, 300, 60), TColor(0xFFFFFF));
    DrawErrorUnderline(meter, b.GetCanvas(), text, cell, 12, 9, 10);
    EXPECT_GT(redIn(xOf(9), xOf(12)), 0);
    EXPECT_EQ(redIn(xOf(12) + 12, 300), 0);
    // Nothing to mark, nothing drawn.
    FillRectColor(b.GetCanvas(), TRect(0, 0, 300, 60), TColor(0xFFFFFF));
    DrawErrorUnderline(meter, b.GetCanvas(), text, cell, 12, 2, 0);
    EXPECT_EQ(redIn(0, 300), 0);
}
