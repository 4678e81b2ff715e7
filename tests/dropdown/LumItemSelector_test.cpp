#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemSelector.h"
#include "platform/vcl/ImgList.h"

namespace {

struct ItemSelector : ::testing::Test {
    TLumCustomItemSelector S { nullptr };
    std::vector<int> Selected;

    void SetUp() override
    {
        S.OnItemSelect = [this](TObject* Sender) {
            EXPECT_EQ(Sender, &S);
            Selected.push_back(S.GetItemIndex());
        };
    }
    // Colour boxes without captions: every item is 22 x 22.
    void AddColourItems(int Count)
    {
        S.SetSelectorType(stColor);
        for (int i = 0; i < Count; ++i)
            S.GetItems()->Add()->SetColor(TColor(i));
        S.UpdateSelectorPanel();
    }
    void AddCaptions(std::initializer_list<const char16_t*> Captions)
    {
        for (const char16_t* c : Captions)
            S.GetItems()->Add()->SetCaption(c);
        S.UpdateSelectorPanel();
    }
    TCustomItemSelector* Panel() const { return S.GetItemSelectorPanel(); }
};

} // namespace

TEST_F(ItemSelector, PanelSizeFollowsItemsAndColumns)
{
    TSize Size;
    S.GetPanelSize(Size);
    EXPECT_EQ(Size, TSize(100, 50));

    AddColourItems(5);
    S.SetColumns(2);
    // Three rows of 22, two columns of 22, margins of 2 all round.
    S.GetPanelSize(Size);
    EXPECT_EQ(Size, TSize(2 + 2 * 22 + 2, 2 + 3 * 22 + 2));
    TRect R;
    Panel()->GetItemRect(4, R);
    EXPECT_EQ(R, TRect(2, 46, 24, 68));
    Panel()->GetItemRect(5, R);
    EXPECT_EQ(R, TRect(-1, -1, -1, -1));
    EXPECT_EQ(Panel()->ItemAtPos(30, 30), 3);
    EXPECT_EQ(Panel()->ItemAtPos(30, 70), -1);

    for (int Columns : { 0, -1 }) {
        SCOPED_TRACE(Columns);
        S.SetColumns(Columns);
        EXPECT_EQ(S.GetColumns(), 2);
        S.GetPanelSize(Size);
        EXPECT_EQ(Size.cy, 70);
    }

    S.GetItems()->Clear();
    S.UpdateSelectorPanel();
    S.GetPanelSize(Size);
    EXPECT_EQ(Size, TSize(100, 50));
}

TEST_F(ItemSelector, ItemSizeByLayoutAndContent)
{
    TImageList Images(32, 24);
    S.SetImages(&Images);
    TSelectorItem* Item = S.GetItems()->Add();
    Item->SetImageIndex(0);
    S.UpdateSelectorPanel();
    TRect R;
    Panel()->GetItemRect(0, R);
    EXPECT_EQ(R, TRect(2, 2, 2 + 32 + 8, 2 + 24 + 8));

    // A picture wins over the list image.
    TBitmap Picture(10, 6);
    Item->GetImage()->SetGraphic(&Picture);
    S.UpdateSelectorPanel();
    Panel()->GetItemRect(0, R);
    EXPECT_EQ(R, TRect(2, 2, 2 + 10 + 8, 2 + 6 + 8));

    // A caption adds its width plus 4 and the gap beside a picture, or its
    // height and the gap below one.
    Item->SetCaption(u"Caption");
    TSize Size;
    Panel()->GetItemRect(0, R);
    const int Beside = R.Width();
    ASSERT_GT(Beside, 10 + 8 + 4 + 4);
    S.SetItemLayout(ilCaptionBottom);
    S.UpdateSelectorPanel();
    Panel()->GetItemRect(0, R);
    EXPECT_EQ(R.Width(), Beside - 10 - 4);
    EXPECT_GT(R.Height(), 6 + 8 + 4);

    // Removing the list re-arranges.
    S.SetImages(nullptr);
    EXPECT_EQ(S.GetImages(), nullptr);
}

TEST_F(ItemSelector, SelectionAndHotSkipDisabledItems)
{
    AddColourItems(4);
    S.GetItems()->GetItem(1)->SetEnabled(false);

    S.SelectNext();
    EXPECT_EQ(S.GetItemIndex(), 0);
    S.SelectNext();  // onto the disabled item: the move stops
    EXPECT_EQ(S.GetItemIndex(), 0);
    S.SetItemIndex(1);
    EXPECT_EQ(S.GetItemIndex(), 0);

    TRect R;
    Panel()->GetItemRect(1, R);
    Panel()->MouseDown(mbLeft, {}, R.Left + 3, R.Top + 3);
    EXPECT_EQ(S.GetItemIndex(), 0);
    Panel()->MouseMove({}, R.Left + 3, R.Top + 3);
    EXPECT_EQ(S.GetItemHot(), -1);
    Panel()->SetItemHot(1);
    EXPECT_EQ(S.GetItemHot(), -1);
    S.HotNext();
    EXPECT_EQ(S.GetItemHot(), 0);
    S.HotNext();
    EXPECT_EQ(S.GetItemHot(), 0);

    Panel()->GetItemRect(2, R);
    Panel()->MouseMove({}, R.Left + 3, R.Top + 3);
    EXPECT_EQ(S.GetItemHot(), 2);
    Panel()->MouseDown(mbRight, {}, R.Left + 3, R.Top + 3);
    EXPECT_EQ(S.GetItemIndex(), 2);
    Panel()->MouseLeave();
    EXPECT_EQ(S.GetItemHot(), -1);

    // Re-arranging clears the hot item.
    S.HotNext();
    EXPECT_EQ(S.GetItemHot(), 0);
    S.UpdateSelectorPanel();
    EXPECT_EQ(S.GetItemHot(), -1);

    EXPECT_EQ(Selected, (std::vector<int> { 0, 2 }));
}

TEST_F(ItemSelector, SettingTheIndexFiresOnlyForItemsThatExist)
{
    AddColourItems(3);
    S.SetItemIndex(2);
    S.SetItemIndex(2);  // again: fires again
    EXPECT_EQ(Selected, (std::vector<int> { 2, 2 }));

    // An index past either end is not an item: nothing changes, nothing fires.
    for (int Bad : { 3, 4, -2 }) {
        SCOPED_TRACE(Bad);
        S.SetItemIndex(Bad);
        EXPECT_EQ(S.GetItemIndex(), 2);
    }
    S.SetItemIndex(-1);  // clears without firing
    EXPECT_EQ(S.GetItemIndex(), -1);
    EXPECT_EQ(Selected.size(), 2u);

    S.SelectPrevious();
    EXPECT_EQ(S.GetItemIndex(), 0);
    S.SelectPrevious();
    EXPECT_EQ(S.GetItemIndex(), 0);
    S.SelectLast();
    EXPECT_EQ(S.GetItemIndex(), 2);
    S.SelectNext();
    EXPECT_EQ(S.GetItemIndex(), 2);
    S.SelectFirst();
    EXPECT_EQ(S.GetItemIndex(), 0);
}

TEST_F(ItemSelector, LookupMatchesPlainUpperCasedCaptionStarts)
{
    EXPECT_FALSE(S.LookupItem(u"A"));
    AddCaptions({ u"<b>Black</b>", u"  blue", u"Red", u"Brown" });

    EXPECT_TRUE(S.LookupItem(u"B"));
    EXPECT_EQ(S.GetItemIndex(), 0);
    EXPECT_TRUE(S.LookupItem(u"BL"));  // the selected item is skipped in the first pass
    EXPECT_EQ(S.GetItemIndex(), 1);
    EXPECT_TRUE(S.LookupItem(u"BR"));
    EXPECT_EQ(S.GetItemIndex(), 3);
    EXPECT_FALSE(S.LookupItem(u""));
    EXPECT_FALSE(S.LookupItem(u"X"));

    // Selection on the only match: the second pass selects it again, unless
    // it is item 0 (the first pass already started there).
    S.SetItemIndex(2);
    Selected.clear();
    EXPECT_TRUE(S.LookupItem(u"RED"));
    EXPECT_EQ(S.GetItemIndex(), 2);
    EXPECT_EQ(Selected, (std::vector<int> { 2 }));
    S.SetItemIndex(0);
    EXPECT_FALSE(S.LookupItem(u"BLA"));
    EXPECT_EQ(S.GetItemIndex(), 0);
}

TEST_F(ItemSelector, VisibleItemCount)
{
    EXPECT_EQ(S.GetVisibleItemCount(), 0);
    AddColourItems(10);
    S.SetColumns(2);
    S.SetBounds(0, 0, 200, 70);
    EXPECT_EQ(S.GetVisibleItemCount(), 70 / 22 * 2);

    // An item size handler that gives no height: nothing fits a page.
    S.OnItemSize = [](TObject*, TSize& Size) { Size = TSize(30, 0); };
    S.UpdateSelectorPanel();
    EXPECT_EQ(S.GetVisibleItemCount(), 0);
}

TEST(LumItemSelectorPanel, NeedsASelectorAsOwner)
{
    TComponent Owner(nullptr);
    EXPECT_THROW(TCustomItemSelector Panel(&Owner), Exception);
}

TEST(LumItemAppearance, PresetsAndAssign)
{
    TItemAppearance A;
    EXPECT_EQ(A.GetColorStyle(), scOffice2007);
    EXPECT_EQ(A.GetColorHot(), TColor(0xD7FFFD));
    EXPECT_EQ(A.GetColorMirrorSelectedTo(), TColor(0x68E3F9));
    EXPECT_EQ(A.GetBorderColorHot(), clNone);
    EXPECT_EQ(A.GetFont()->GetHeight(), -11);

    A.SetColorStyle(scWindows7);
    EXPECT_EQ(A.GetBorderColor(), TColor(0xCEA27D));
    EXPECT_EQ(A.GetColorMirrorHot(), clNone);
    A.SetColorHot(clRed);
    A.SetColorStyle(scCustom);  // keeps every colour
    EXPECT_EQ(A.GetColorHot(), clRed);

    // The source's named style, when it differs, brings its preset over the copied colours.
    TItemAppearance B;
    B.SetColorHot(clLime);
    B.SetBorderColorHot(clBlue);
    A.Assign(&B);
    EXPECT_EQ(A.GetColorStyle(), scOffice2007);
    EXPECT_EQ(A.GetColorHot(), TColor(0xD7FFFD));
    EXPECT_EQ(A.GetBorderColorHot(), clBlue);
    A.SetColorStyle(scOffice2007);
    A.Assign(&B);  // same style: the copied colour stays
    EXPECT_EQ(A.GetColorHot(), clLime);
}

TEST(LumItemAppearance, DropDownStylesGiveItemColours)
{
    TLumDropDown D(nullptr);
    TItemAppearance A;
    A.SetBorderColorHot(clRed);
    A.SetColorHotText(clRed);
    D.ApplyItemAppearanceStyle(&A, tsCustom);
    EXPECT_EQ(D.GetUIStyle(), tsCustom);
    EXPECT_EQ(A.GetBorderColorHot(), clRed);

    struct Case {
        ROZEVizer style;
        TColor hot, borderHot, selected, border, top, selText, font;
    };
    const Case cases[] = {
        { tsOffice2003Olive, TColor(0xEBFDFF), clNone, TColor(0xAAD9FF), TColor(0x42AEFE), clNone, TColor(0), TColor(0) },
        { tsWindowsXP, TColor(0xEFD3C6), clNone, clHighlight, clHighlight, clNone, clHighlightText, TColor(0) },
        { tsOffice2010Black, TColor(0xD9F9FD), TColor(0x58CAF1), TColor(0x7BEEFF), clHighlight, clNone, TColor(0),
            TColor(0) },
        { tsOffice2019Black, TColor(0x505050), TColor(0x505050), TColor(0x828282), clHighlight, clNone,
            TColor(0), TColor(0xF0F0F0) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.style));
        D.ApplyItemAppearanceStyle(&A, c.style);
        EXPECT_EQ(D.GetUIStyle(), c.style);
        EXPECT_EQ(A.GetColorHot(), c.hot);
        EXPECT_EQ(A.GetBorderColorHot(), c.borderHot);
        EXPECT_EQ(A.GetColorSelected(), c.selected);
        // A dash keeps the border the row before left.
        EXPECT_EQ(A.GetBorderColor(), c.border);
        EXPECT_EQ(A.GetBorderColorTop(), c.top);
        EXPECT_EQ(A.GetColorSelectedText(), c.selText);
        EXPECT_EQ(A.GetFont()->GetColor(), c.font);
        EXPECT_EQ(A.GetColorHotText(), TColor(0));
    }
    D.ApplyItemAppearanceStyle(nullptr, tsWindows7);
    EXPECT_EQ(D.GetUIStyle(), tsWindows7);
}
