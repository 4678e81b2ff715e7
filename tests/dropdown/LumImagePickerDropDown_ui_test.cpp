#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumImagePickerDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

struct ImagePicker : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumImagePickerDropDown* P { nullptr };
    int Changes { 0 };
    int Selects { 0 };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 320, 240);
        P = new TLumImagePickerDropDown(Form.get());
        P->SetBounds(10, 10, 180, 22);
        P->SetParent(Form.get());
        P->OnChange = [this](TObject*) { ++Changes; };
        P->OnSelect = [this](TObject* Sender) {
            EXPECT_EQ(Sender, P);
            ++Selects;
        };
        Form->Show();
        Application->ProcessMessages();
    }
    // Items with captions and image indexes 0..n-1.
    void AddItems(std::initializer_list<const char16_t*> Captions)
    {
        int i = 0;
        for (const char16_t* c : Captions) {
            TImageItem* Item = P->GetItems()->Add();
            Item->SetCaption(c);
            Item->SetImageIndex(i++);
        }
    }
    void Key(WORD K)
    {
        P->Perform(WM_KEYDOWN, K, 0);
        Application->ProcessMessages();
    }
    void Reset() { Changes = Selects = 0; }
    TDropDownForm* Window() const { return P->GetDropDownForm(); }
};

} // namespace

TEST_F(ImagePicker, ImageIndexAndItemIndexSelect)
{
    AddItems({ u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j" });
    EXPECT_EQ(P->GetImageIndex(), -1);
    P->SetImageIndex(5);
    EXPECT_EQ(P->GetItemIndex(), 5);
    EXPECT_EQ(P->GetImageIndex(), 5);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Selects, 1);
    // No item with that image: the selection goes.
    P->SetImageIndex(42);
    EXPECT_EQ(P->GetItemIndex(), -1);
    EXPECT_EQ(P->GetImageIndex(), -1);

    P->SetItemIndex(3);
    Reset();
    struct Case {
        int write, expected, events;
    };
    const Case cases[] = {
        { 10, 3, 0 },  // the item count: ignored
        { 3, 3, 0 },   // unchanged
        { -1, -1, 1 }, // clears, and reports it
        { -5, -1, 0 }, // already clear
        { 9, 9, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.write);
        Reset();
        P->SetItemIndex(c.write);
        EXPECT_EQ(P->GetItemIndex(), c.expected);
        EXPECT_EQ(Changes, c.events);
        EXPECT_EQ(Selects, c.events);
    }
}

TEST_F(ImagePicker, KeysMoveWithoutClosingAndEscapeRestores)
{
    AddItems({ u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j" });
    P->SetItemIndex(2);
    P->ShowDropDown();
    ASSERT_TRUE(P->GetDroppedDown());
    Reset();
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(P->GetItemIndex(), 4);
    EXPECT_TRUE(Window()->GetVisible());
    // Page Down pages from the open list's selection, which the arrows left
    // at the item selected at opening, and does not close it either.
    TLumCustomItemSelector* S = P->GetItemSelector();
    ASSERT_EQ(S->GetItemIndex(), 2);
    const int n = S->GetVisibleItemCount();
    ASSERT_GE(n, 1);
    Key(VK_NEXT);
    EXPECT_EQ(P->GetItemIndex(), std::min(2 + n, 9));
    EXPECT_TRUE(Window()->GetVisible());
    Reset();
    Key(VK_ESCAPE);
    EXPECT_FALSE(Window()->GetVisible());
    EXPECT_EQ(P->GetItemIndex(), 2);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Selects, 1);

    // A click on an item selects it and closes.
    P->ShowDropDown();
    ASSERT_TRUE(Window()->GetVisible());
    TCustomItemSelector* Panel = S->GetItemSelectorPanel();
    TRect R;
    Panel->GetItemRect(1, R);
    Panel->MouseDown(mbLeft, {}, R.Left + 2, R.Top + 2);
    EXPECT_FALSE(Window()->GetVisible());
    EXPECT_EQ(P->GetItemIndex(), 1);

    // Closed: Home, End and the arrows move the picker's own selection.
    const struct {
        WORD key;
        int expected;
    } closed[] = { { VK_END, 9 }, { VK_DOWN, 9 }, { VK_HOME, 0 }, { VK_UP, 0 }, { VK_DOWN, 1 } };
    for (const auto& c : closed) {
        SCOPED_TRACE(c.key);
        Key(c.key);
        EXPECT_EQ(P->GetItemIndex(), c.expected);
        EXPECT_FALSE(P->GetDroppedDown());
    }
}

TEST_F(ImagePicker, TypingSelectsByCaptionWithinHalfASecond)
{
    AddItems({ u"Apple", u"Banana", u"Blueberry", u"Cherry" });
    Key('B');
    EXPECT_EQ(P->GetItemIndex(), 1);
    Session.PassTime(300);
    Key('L');
    EXPECT_EQ(P->GetItemIndex(), 2);  // "BL"
    // Half a second after the first key the search starts anew.
    Session.PassTime(300);
    Key('C');
    EXPECT_EQ(P->GetItemIndex(), 3);  // "C", not "BLC"
}

TEST_F(ImagePicker, FolderItemsLoadPicturesFromRegularFilesOnly)
{
    const String Dir = IncludeTrailingPathDelimiter(GetPrivateTempDirectory() + u"imagepicker");
    ForceDirectories(Dir);
    {
        TBitmap Bmp(8, 8);
        Bmp.GetCanvas()->GetBrush()->SetColor(clRed);
        Bmp.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
        Bmp.SaveToFile(Dir + u"red.bmp");
    }
    {
        TFileStream Text(Dir + u"notes.txt", fmCreate);
        Text.WriteBuffer("no picture", 10);
    }
    CreateDir(Dir + u"sub");
    // Opening a pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo(StringToUtf8(Dir + u"pipe").c_str(), 0600), 0);

    P->AddImagesFromFolder(Dir + u"*", true);
    // ".", "..", the picture, the text, the folder and the pipe.
    ASSERT_EQ(P->GetItems()->GetCount(), 6);
    int Pictures = 0;
    for (TImageItem* Item : *P->GetItems()) {
        SCOPED_TRACE(StringToUtf8(Item->GetCaption()));
        TGraphic* G = Item->GetImage()->GetGraphic();
        if (G && !G->Empty()) {
            ++Pictures;
            EXPECT_EQ(Item->GetCaption(), u"red.bmp");
            P->SetItemIndex(Item->GetIndex());
        }
        // Folders and the pipe are never opened, so never named.
        for (const char16_t* Skipped : { u".", u"..", u"sub", u"pipe" })
            EXPECT_NE(Item->GetCaption(), Skipped);
    }
    EXPECT_EQ(Pictures, 1);

    // The selected picture stands centred in the edit's text area.
    RECT Loc {};
    P->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Loc));
    P->Invalidate();
    Application->ProcessMessages();
    const TPoint Centre = P->ClientToScreen({ (Loc.Left + Loc.Right) / 2, (Loc.Top + Loc.Bottom) / 2 });
    const std::uint32_t argb = Headless::ScreenPixel(Centre);
    EXPECT_EQ(argb & 0xFFFFFF, 0xFF0000u);

    DeleteFile(Dir + u"red.bmp");
    DeleteFile(Dir + u"notes.txt");
    DeleteFile(Dir + u"pipe");
    RemoveDir(Dir + u"sub");
    RemoveDir(Dir);
}
