#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumMultiColumnDropDown.h"
#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

using namespace LumMultiColumnDropDown;

namespace {

struct MultiColumn : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumMultiColumnDropDown* D { nullptr };
    int Selects { 0 };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 400);
        D = new TLumMultiColumnDropDown(Form.get());
        D->SetParent(Form.get());
        D->SetBounds(20, 20, 200, 22);
        D->OnSelect = [this](TObject*) { ++Selects; };
        for (const char16_t* h : { u"Name", u"Colour", u"Price" })
            D->GetColumns()->Add()->SetHeader(h);
        Fill({ { u"Apple", u"Red", u"1" }, { u"Apricot", u"Orange", u"2" }, { u"Banana", u"Yellow", u"3" } });
        Form->Show();
        D->SetFocus();
        Pump();
    }
    void Fill(std::initializer_list<std::initializer_list<const char16_t*>> Rows)
    {
        D->BeginUpdate();
        D->GetItems()->Clear();
        for (const auto& Row : Rows) {
            TDropDownItem* Item = D->GetItems()->Add();
            for (const char16_t* Cell : Row)
                Item->GetText()->Add(Cell);
        }
        D->EndUpdate();
    }
    static void Pump() { Application->ProcessMessages(); }
    void Type(const String& Text)
    {
        Headless::Type(Text);
        Pump();
    }
    void Key(WORD K)
    {
        Headless::Key(K);
        Pump();
    }
    void Open()
    {
        D->ShowDropDown();
        Pump();
        ASSERT_TRUE(D->GetDroppedDown());
    }
    String Selected() const { return D->GetEditText().substr(std::size_t(D->GetSelStart()), std::size_t(D->GetSelLength())); }
    TColor PixelAt(TControl* C, int x, int y)
    {
        const std::uint32_t argb = Headless::ScreenPixel(C->ClientToScreen({ x, y }));
        return TColor(((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16));
    }
};

} // namespace

TEST_F(MultiColumn, TypingInTheEditCompletesFromTheLookupColumn)
{
    Type(u"ap");
    EXPECT_EQ(D->GetText(), u"apple");  // the typed part keeps its case
    EXPECT_EQ(Selected(), u"ple");
    EXPECT_EQ(D->GetItemIndex(), 0);
    Type(u"r");
    EXPECT_EQ(D->GetText(), u"apricot");
    EXPECT_EQ(Selected(), u"icot");
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetItemIndex(u"Apricot"), 1);
    EXPECT_EQ(D->GetItemIndex(u"apricot"), -1);

    // Return takes the lookup list's spelling.
    D->SetRawText(u"BANANA");
    Key(VK_RETURN);
    EXPECT_EQ(D->GetText(), u"Banana");
    EXPECT_EQ(D->GetItemIndex(), 2);

    // An index at the count is ignored; a negative one empties the text.
    D->SetItemIndex(3);
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(D->GetText(), u"Banana");
    D->SetItemIndex(-1);
    EXPECT_EQ(D->GetText(), u"");
}

TEST_F(MultiColumn, IncrementalLookupTranslatesTheKeys)
{
    D->SetLookupIncr(true);
    Type(u"ap");
    EXPECT_EQ(D->GetText(), u"apple");
    EXPECT_EQ(D->GetItemIndex(), 0);
}

TEST_F(MultiColumn, ALongLookupTextIsCompletedWhole)
{
    const String Long = u"Ch" + String(298, u'e');
    Fill({ { u"Apple" }, { Long.c_str() } });
    Type(u"ch");
    EXPECT_EQ(D->GetText().size(), 300u);
    EXPECT_EQ(D->GetItemIndex(), 1);
}

TEST_F(MultiColumn, TypingInTheOpenList)
{
    Open();
    DOdoZedAvud* L = D->GetList();
    ASSERT_NE(L, nullptr);
    EXPECT_TRUE(L->Focused());
    Type(u"b");
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(L->GetRow(), 3);
    EXPECT_EQ(D->GetText(), u"Banana");
    EXPECT_EQ(Selected(), u"anana");
    EXPECT_EQ(D->GetLookupEntry(), u"b");
    Type(u"x");  // neither "bx" nor "x"
    EXPECT_EQ(D->GetLookupEntry(), u"");
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_TRUE(D->GetDroppedDown());
    Type(u"a");
    EXPECT_EQ(D->GetItemIndex(), 0);

    // Return chooses the current row and closes.
    Selects = 0;
    Key(VK_DOWN);
    EXPECT_EQ(L->GetRow(), 2);
    Key(VK_RETURN);
    EXPECT_FALSE(D->GetDroppedDown());
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetText(), u"Apricot");
    EXPECT_GE(Selects, 1);

    // Escape brings back the item the window opened with.
    Open();
    Key(VK_DOWN);
    EXPECT_EQ(D->GetItemIndex(), 2);
    Key(VK_ESCAPE);
    EXPECT_FALSE(D->GetDroppedDown());
    EXPECT_EQ(D->GetItemIndex(), 1);
    EXPECT_EQ(D->GetText(), u"Apricot");
}

TEST_F(MultiColumn, AClickOnARowChoosesItAndCloses)
{
    Open();
    DOdoZedAvud* L = D->GetList();
    const TRect R = L->CellRect(1, 3);
    Headless::Click(L->ClientToScreen(TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2)));
    Pump();
    EXPECT_FALSE(D->GetDroppedDown());
    EXPECT_EQ(D->GetItemIndex(), 2);
    EXPECT_EQ(D->GetText(), u"Banana");
}

TEST_F(MultiColumn, DropDownHeightHoldsWholeRows)
{
    D->SetDropDownSizeable(false);
    D->GetDropDownHeader()->SetVisible(false);
    D->GetDropDownFooter()->SetVisible(false);
    struct Case {
        int rowHeight, requested, result;
    };
    const Case cases[] = {
        { 22, 200, 2 + 25 + 7 * 22 },
        { 30, 200, 2 + 25 + 5 * 30 },
        { 0, 200, 200 },   // no rows to count: left as it is
        { -5, 200, 200 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rowHeight);
        D->SetDropDownRowHeight(c.rowHeight);
        int H = c.requested;
        D->AdjustDropDownHeight(H);
        EXPECT_EQ(H, c.result);
    }
    // A sizeable window keeps what it is given.
    D->SetDropDownSizeable(true);
    D->SetDropDownRowHeight(22);
    int H = 200;
    D->AdjustDropDownHeight(H);
    EXPECT_EQ(H, 200);
}

TEST_F(MultiColumn, ColumnsStretchToTheWindow)
{
    D->SetDropDownAutoWidth(false);
    D->SetDropDownWidth(200);
    Open();
    ASSERT_EQ(D->GetDropDownForm()->GetWidth(), 200);
    DOdoZedAvud* L = D->GetList();
    ASSERT_TRUE(L->AllRowsVisible());
    EXPECT_EQ(L->GetColWidths(0), 66);
    EXPECT_EQ(L->GetColWidths(1), 66);
    EXPECT_EQ(L->GetColWidths(2), 67);
    EXPECT_EQ(L->GetRowHeights(0), 25);
    EXPECT_EQ(L->GetRowHeights(1), 22);

    // With the automatic width the window is as wide as the columns.
    D->HideDropDown(false);
    D->ForgetUserSize();
    D->SetDropDownWidth(0);
    D->SetDropDownAutoWidth(true);
    D->SetColumnSizeWithDropDown(false);
    Open();
    EXPECT_EQ(L->GetTotalWidth(), 240);
    EXPECT_EQ(D->GetDropDownForm()->GetWidth(), 240 + 2 * D->GetDropDownBorderWidth());
}

TEST_F(MultiColumn, EmptyListAndAutoSizedColumns)
{
    D->GetItems()->Clear();
    D->GetColumns()->GetItem(0)->SetAutoSize(true);
    Open();
    DOdoZedAvud* L = D->GetList();
    EXPECT_EQ(L->GetRowCount(), 2);  // one empty data row
    EXPECT_EQ(L->GetColumns()->GetItem(0)->GetWidth(), 80);  // no items: the width stays
    D->HideDropDown(false);

    // Items without texts in the column: the header's width + 6.
    Fill({ { u"" }, { u"" } });
    D->SetColumnSizeWithDropDown(false);
    Open();
    TCanvas* C = L->GetCanvas();
    C->GetFont()->Assign(D->GetColumns()->GetItem(0)->GetFont());
    EXPECT_EQ(L->GetColumns()->GetItem(0)->GetWidth(), C->TextWidth(u"Name") + 6);
    EXPECT_EQ(L->GetColWidths(0), C->TextWidth(u"Name") + 6);
}

TEST_F(MultiColumn, WrappedRowsGrowToTheirText)
{
    const String Long = u"a fairly long text that wraps over more than one line in the column";
    Fill({ { u"Apple" }, { Long.c_str() } });
    D->GetColumns()->GetItem(0)->SetWordwrap(true);
    D->SetColumnSizeWithDropDown(false);
    Open();
    DOdoZedAvud* L = D->GetList();
    TCanvas* C = L->GetCanvas();
    C->GetFont()->Assign(D->GetColumns()->GetItem(0)->GetFont());
    auto Measured = [&](const String& Text) {
        TRect R(0, 0, 80, 0);
        String T = Text;
        C->TextRect(R, T, TTextFormat { tfCalcRect, tfWordBreak, tfEditControl, tfNoPrefix, tfExpandTabs });
        return R.Height();
    };
    ASSERT_GT(Measured(Long), 2 * Measured(u"Apple"));
    EXPECT_EQ(L->GetRowHeights(1), std::max(24, Measured(u"Apple") + 6));
    EXPECT_EQ(L->GetRowHeights(2), Measured(Long) + 6);
    D->HideDropDown(false);

    // A taller default row keeps the rows that need less.
    D->SetDropDownRowHeight(30);
    Open();
    EXPECT_EQ(L->GetRowHeights(1), 30);
}

TEST_F(MultiColumn, HeaderFillAndSelectedRow)
{
    D->SetHeaderColor(TColor(0x00A0FF));
    D->SetHeaderColorTo(clNone);
    D->SetSelectionColorStyle(scCustom);
    D->SetSelectionColor(TColor(0x00FF00));
    D->SetSelectionColorTo(TColor(0x00FF00));
    D->SetItemIndex(1);
    Open();
    DOdoZedAvud* L = D->GetList();
    L->Invalidate();
    Pump();
    const TRect H = L->CellRect(1, 0);
    EXPECT_EQ(PixelAt(L, H.Left + 10, H.Top + 3), TColor(0x00A0FF));
    EXPECT_EQ(PixelAt(L, H.Left + 10, H.Bottom - 4), TColor(0x00A0FF));
    const TRect Row = L->CellRect(2, 3);
    EXPECT_EQ(PixelAt(L, Row.Right - 6, (Row.Top + Row.Bottom) / 2), TColor(0xFFFFFF));
    const TRect Chosen = L->CellRect(2, 2);
    EXPECT_NE(PixelAt(L, Chosen.Right - 6, (Chosen.Top + Chosen.Bottom) / 2), TColor(0xFFFFFF));

    // A gradient header differs from top to bottom.
    D->HideDropDown(false);
    D->SetHeaderColorTo(TColor(0x000000));
    Open();
    L->Invalidate();
    Pump();
    EXPECT_NE(PixelAt(L, H.Left + 10, H.Top + 2), PixelAt(L, H.Left + 10, H.Bottom - 3));
}

TEST_F(MultiColumn, StylesSetTheListColours)
{
    EXPECT_EQ(D->GetLineColor(), TColor(0xF1EDEB));
    EXPECT_EQ(D->GetFixedLineColor(), TColor(0xD1BBA4));
    D->SetComponentStyle(tsWindows7);
    EXPECT_EQ(D->GetSelectionColorStyle(), scWindows7);
    EXPECT_EQ(D->GetLineColor(), TColor(0xFBD6B8));  // the table's, after the selection style
    D->SetComponentStyle(tsOffice2019Black);
    EXPECT_EQ(D->GetSelectionColorStyle(), scCustom);
    EXPECT_EQ(D->GetSelectionColor(), TColor(0x505050));
    EXPECT_EQ(D->GetHeaderColorTo(), clNone);
    EXPECT_EQ(D->GetSelectionTextColor(), TColor(0xFFFFFF));
    EXPECT_EQ(D->GetHeaderFont()->GetColor(), TColor(0xFFFFFF));
    D->SetComponentStyle(tsOffice2003Silver);  // a dash keeps the header font colour
    EXPECT_EQ(D->GetHeaderFont()->GetColor(), TColor(0xFFFFFF));
    EXPECT_EQ(D->GetHeaderColor(), TColor(0xBDA4A5));
}
