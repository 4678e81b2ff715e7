#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

constexpr TColor Border = TColor(0x0000C0);

struct Strips : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumDropDown* DropDown { nullptr };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        DropDown = new TLumDropDown(Form.get());
        DropDown->SetParent(Form.get());
        DropDown->SetBounds(10, 250, 100, 21);
        for (TStripAppearance* A : { static_cast<TStripAppearance*>(DropDown->GetDropDownHeader()),
                 static_cast<TStripAppearance*>(DropDown->GetDropDownFooter()) }) {
            A->SetColor(0xFFFFFF);
            A->SetColorTo(clNone);
            A->SetBorderColor(Border);
        }
        Form->Show();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    template<class T>
    T* Make(int Top)
    {
        auto* S = new T(Form.get());
        S->SetParent(Form.get());
        S->SetBounds(10, Top, 300, 22);
        S->SetLumDropDown(DropDown);
        S->InitButtons();
        Pump();
        return S;
    }
    static TColor At(TControl* C, int X, int Y)
    {
        Pump();
        const std::uint32_t Argb = Headless::ScreenPixel(C->ClientToScreen({ X, Y }));
        return TColor(((Argb >> 16) & 0xFF) | (Argb & 0xFF00) | ((Argb & 0xFF) << 16));
    }
    static int Count(TControl* C, TColor Colour)
    {
        int N = 0;
        for (int Y = 0; Y < C->GetHeight(); ++Y)
            for (int X = 0; X < C->GetWidth(); ++X)
                N += At(C, X, Y) == Colour;
        return N;
    }
};

} // namespace

TEST_F(Strips, BorderTowardsTheContent)
{
    const TColor Light = LumDropDown::BlendColor(Border, clWhite, 20);
    TLumHeader* H = Make<TLumHeader>(10);
    TLumFooter* F = Make<TLumFooter>(60);
    F->GetAppearance()->SetSizeGrip(false);
    F->Invalidate();
    // The window draws a border of its own: only the line towards the content.
    EXPECT_EQ(At(H, 150, 21), Border);
    EXPECT_EQ(At(H, 150, 0), Light);
    EXPECT_EQ(At(H, 0, 10), Light);
    EXPECT_EQ(At(H, 150, 10), clWhite);
    EXPECT_EQ(At(F, 150, 0), Border);
    EXPECT_EQ(At(F, 150, 21), Light);
    EXPECT_EQ(At(F, 299, 10), Light);

    // Without the window's border the strips draw all four sides.
    DropDown->SetDropDownBorderColor(clNone);
    H->Invalidate();
    F->Invalidate();
    EXPECT_EQ(At(H, 0, 10), Border);
    EXPECT_EQ(At(H, 150, 0), Border);
    EXPECT_EQ(At(H, 299, 10), Border);
    EXPECT_EQ(At(H, 1, 10), Light);
    EXPECT_EQ(At(F, 150, 21), Border);
    EXPECT_EQ(At(F, 0, 10), Border);
}

TEST_F(Strips, DrawBackGroundEventPaintsAlone)
{
    TCustomImageList Images(8, 8);
    TBitmap Red;
    Red.SetSize(8, 8);
    Red.GetCanvas()->GetBrush()->SetColor(clRed);
    Red.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    Images.Add(&Red, nullptr);
    DropDown->SetImages(&Images);
    DropDown->GetDropDownHeader()->SetImageIndex(0);
    DropDown->GetDropDownHeader()->SetCaption(u"<b>Colours</b>");
    TLumHeader* H = Make<TLumHeader>(10);
    EXPECT_GT(Count(H, clRed), 30);  // the image shows...
    EXPECT_EQ(At(H, 150, 21), Border);

    H->OnDrawBackGround = [](TObject*, TCanvas* Canvas, TRect R) {
        Canvas->GetBrush()->SetColor(clLime);
        Canvas->FillRect(R);
    };
    H->Invalidate();
    EXPECT_EQ(Count(H, clLime), 300 * 22);  // ...but the event paints everything
}

TEST_F(Strips, ButtonsOnTheRightCutTheCaption)
{
    THeaderButtons* Items = DropDown->GetDropDownHeader()->GetButtons();
    Items->Add()->SetCaption(u"First");
    THeaderButton* Tall = Items->Add();
    Tall->SetCaption(u"Second");
    Tall->SetHeight(40);
    DropDown->GetDropDownHeader()->SetCaption(u"A caption long enough to reach the buttons and beyond them");
    int Clicked = -1;
    DropDown->OnDropDownHeaderButtonClick = [&](TObject* Sender, int Index) {
        EXPECT_EQ(Sender, DropDown);
        Clicked = Index;
    };
    TLumHeader* H = Make<TLumHeader>(10);
    ASSERT_EQ(H->GetButtonCount(), 2);
    TLumButton* B0 = H->GetButton(0);
    TLumButton* B1 = H->GetButton(1);
    EXPECT_EQ(B0->GetLeft() + B0->GetWidth(), 300 - 2);  // button 0 at the right edge
    EXPECT_EQ(B1->GetLeft() + B1->GetWidth(), B0->GetLeft());
    EXPECT_EQ(B1->GetHeight(), 22 - 5);  // 40 is more than the strip holds
    EXPECT_EQ(H->GetCaptionRect().Right, B1->GetLeft() - 2);
    EXPECT_EQ(B0->GetAppearance(), DropDown->GetButtonAppearance());
    // The caption stops short of the buttons.
    bool Ink = false;
    for (int X = H->GetCaptionRect().Right; X < B1->GetLeft(); ++X)
        for (int Y = 3; Y < 18; ++Y)
            Ink |= At(H, X, Y) != clWhite;
    EXPECT_FALSE(Ink);

    Headless::Click(B1->ClientToScreen({ 3, 3 }));
    Pump();
    EXPECT_EQ(Clicked, 1);

    // Left-aligned buttons go from the left in list order.
    DropDown->GetDropDownHeader()->SetButtonAlignment(baLeft);
    H->SetLumDropDown(DropDown);
    H->InitButtons();
    EXPECT_EQ(H->GetButton(0)->GetLeft(), 2);
    EXPECT_EQ(H->GetButton(1)->GetLeft(), 2 + H->GetButton(0)->GetWidth());
}

TEST_F(Strips, FooterGripOnlyForASizeableDropDown)
{
    DropDown->GetDropDownFooter()->GetButtons()->Add()->SetCaption(u"OK");
    TLumFooter* F = Make<TLumFooter>(60);
    ASSERT_TRUE(F->HasSizeGrip());
    EXPECT_EQ(F->GetButton(0)->GetLeft() + F->GetButton(0)->GetWidth(), 300 - 14);
    // The grip's lowest right dot: white at (L + 13, B - 4), the border colour up and left of it.
    const int L = 300 - 1 - 16, B = 22;
    EXPECT_EQ(At(F, L + 14, B - 3), clWhite);
    EXPECT_EQ(At(F, L + 12, B - 5), Border);

    DropDown->SetDropDownSizeable(false);
    F->SetLumDropDown(DropDown);
    F->InitButtons();
    F->Invalidate();
    EXPECT_FALSE(F->HasSizeGrip());
    EXPECT_EQ(F->GetButton(0)->GetLeft() + F->GetButton(0)->GetWidth(), 300 - 2);
    EXPECT_NE(At(F, L + 12, B - 5), Border);
}

TEST_F(Strips, LinkingCopiesTheLook)
{
    DropDown->GetDropDownHeader()->SetHeight(30);
    TLumHeader* H = Make<TLumHeader>(10);
    EXPECT_EQ(H->GetAppearance()->GetHeight(), 30);
    EXPECT_EQ(H->GetHeight(), 22);  // the height follows the look only when it changes visibility
    EXPECT_EQ(H->GetButtons(), DropDown->GetDropDownHeader()->GetButtons());
    DropDown->GetDropDownHeader()->SetVisible(false);
    H->SetLumDropDown(DropDown);
    EXPECT_FALSE(H->GetVisible());
    EXPECT_EQ(H->GetHeight(), 30);
    H->SetLumDropDown(nullptr);
    EXPECT_EQ(H->GetButtons(), nullptr);
    EXPECT_EQ(H->GetImages(), nullptr);

    TLumFooter* F = Make<TLumFooter>(60);
    for (TLumDropDownStrip* Strip : { static_cast<TLumDropDownStrip*>(H), static_cast<TLumDropDownStrip*>(F) })
        for (const char16_t* Name : { u"Appearance", u"Images", u"Buttons", u"OnDrawBackGround", u"OnGetText" }) {
            SCOPED_TRACE(StringToUtf8(String(Name)));
            EXPECT_NE(GetPropInfo(Strip, Name), nullptr);
        }
}

TEST(DbgList, IndexesAreCheckedOnBothEnds)
{
    TDbgList List;
    int a = 1, b = 2;
    List.Add(&a);
    EXPECT_EQ(List.GetItemsEx(0), &a);
    List.SetItemsEx(0, &b);
    EXPECT_EQ(List.GetItemsEx(0), &b);
    for (int Index : { -1, 1, 5 }) {
        SCOPED_TRACE(Index);
        try {
            List.GetItemsEx(Index);
            ADD_FAILURE() << "read did not raise";
        } catch (const Exception& E) {
            EXPECT_EQ(E.GetMessage(), u"Index out of bounds in list read access");
        }
        try {
            List.SetItemsEx(Index, &a);
            ADD_FAILURE() << "write did not raise";
        } catch (const Exception& E) {
            EXPECT_EQ(E.GetMessage(), u"Index out of bounds in list write access");
        }
    }
    TList<> Other;
    Other.Add(&a);
    Other.Add(&b);
    List.AssignList(Other);
    EXPECT_EQ(List.GetCount(), 2);
    EXPECT_EQ(List.GetItemsEx(1), &b);
}
