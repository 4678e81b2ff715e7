// The search panel: its child controls, their first placement, painting
// and the relays from the children to the panel's events.

#include "grid/core/SearchPanel.h"

#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumDropDownAppearance.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"

QT_PUBLISHED(TSearchPanel, QT_PROP_T(ColorTo, u"TColor"), QT_EVENT(OnBackwardClick), QT_EVENT(OnEditChange),
    QT_EVENT(OnForwardClick), QT_EVENT_T(OnHighlightClick, u"TNotifyEvent"), QT_EVENT(OnMatchCaseClick),
    QT_EVENT(OnExitClick))

namespace {

constexpr TColor GlyphKey = TColor(0xFF00FF); // the see-through colour of the glyphs

enum class TGlyph { ArrowDown, ArrowUp, Close, Marker };

// Our own 16 x 16 pictures for the buttons (14 x 14 for the close cross),
// keyed on their bottom-left colour.
std::unique_ptr<TBitmap> DrawGlyph(TGlyph Kind, TColor Ink)
{
    const int Size = Kind == TGlyph::Close ? 14 : 16;
    auto B = std::make_unique<TBitmap>(Size, Size);
    TCanvas* C = B->GetCanvas();
    C->GetBrush()->SetColor(GlyphKey);
    C->FillRect(TRect(0, 0, Size, Size));
    C->GetPen()->SetColor(Ink);
    C->GetBrush()->SetColor(Ink);
    switch (Kind) {
    case TGlyph::ArrowDown: C->Polygon({ { 3, 5 }, { 12, 5 }, { 7, 11 } }); break;
    case TGlyph::ArrowUp: C->Polygon({ { 3, 10 }, { 12, 10 }, { 7, 4 } }); break;
    case TGlyph::Close:
        for (int d = 0; d < 2; ++d) {
            C->MoveTo(3 + d, 3);
            C->LineTo(11 + d, 11);
            C->MoveTo(10 + d, 3);
            C->LineTo(2 + d, 11);
        }
        break;
    case TGlyph::Marker:
        C->GetBrush()->SetColor(TColor(0x00FFFF)); // yellow
        C->Rectangle(2, 4, 14, 12);
        C->MoveTo(5, 8);
        C->LineTo(11, 8);
        break;
    }
    B->SetTransparent(true);
    return B;
}

TRirEvozButton* MakeButton(TSearchPanel* Panel)
{
    auto* Button = new TRirEvozButton(Panel);
    Button->SetParent(Panel);
    Button->SetParentFont(true);
    return Button;
}

} // namespace

TSearchPanel::TSearchPanel(TComponent* AOwner) : TPanel(AOwner)
{
    FGrid = dynamic_cast<TDedOzovedUrad*>(AOwner);
    if (!FGrid)
        throw EInvalidCast(u"Invalid class typecast");
    SetShowCaption(false);
    SetBevelOuter(bvNone);

    FEdit = new TRetEdit(this);
    FEdit->SetParent(this);
    FEdit->SetParentFont(true);
    FEdit->OnChange = [this](TObject* Sender) { EditChanged(Sender); };
    FEdit->OnReturn = [this](TObject*) { FForwardButton->Click(); };
    FEdit->OnCtrlReturn = [this](TObject*) { FBackwardButton->Click(); };
    FExitButton = MakeButton(this);
    FExitButton->OnClick = [this](TObject*) {
        if (OnExitClick)
            OnExitClick(this);
    };
    FForwardButton = MakeButton(this);
    FForwardButton->OnClick = [this](TObject*) {
        if (OnForwardClick)
            OnForwardClick(this);
    };
    FBackwardButton = MakeButton(this);
    FBackwardButton->OnClick = [this](TObject*) {
        if (OnBackwardClick)
            OnBackwardClick(this);
    };
    FHiliteButton = MakeButton(this);
    FHiliteButton->OnClick = [this](TObject*) {
        if (OnHighlightClick)
            OnHighlightClick(this);
    };
    FMatchCase = new TLumCheckBox(this);
    FMatchCase->SetParent(this);
    FMatchCase->OnClick = [this](TObject*) {
        if (OnMatchCaseClick)
            OnMatchCaseClick(this);
    };
    FResultLabel = new TLabel(this);
    FResultLabel->SetParent(this);
    MakeGlyphs();
}

TSearchPanel::~TSearchPanel() = default;

void TSearchPanel::MakeGlyphs()
{
    const TColor Ink = TColor(0x404040);
    const TColor Grey = TColor(0xA0A0A0);
    FForwardButton->SetGlyph(DrawGlyph(TGlyph::ArrowDown, Ink).get());
    FForwardButton->SetGlyphDisabled(DrawGlyph(TGlyph::ArrowDown, Grey).get());
    FBackwardButton->SetGlyph(DrawGlyph(TGlyph::ArrowUp, Ink).get());
    FBackwardButton->SetGlyphDisabled(DrawGlyph(TGlyph::ArrowUp, Grey).get());
    FExitButton->SetGlyph(DrawGlyph(TGlyph::Close, Ink).get());
    FExitButton->SetGlyphHot(DrawGlyph(TGlyph::Close, TColor(0x0000C0)).get());
    FExitButton->SetGlyphDown(DrawGlyph(TGlyph::Close, TColor(0x000080)).get());
    FHiliteButton->SetGlyph(DrawGlyph(TGlyph::Marker, Ink).get());
    FHiliteButton->SetGlyphDisabled(DrawGlyph(TGlyph::Marker, Grey).get());
}

void TSearchPanel::SetColorTo(TColor Value)
{
    FColorTo = Value;
    Invalidate();
}

void TSearchPanel::CreateWnd()
{
    TPanel::CreateWnd();
    Init();
}

void TSearchPanel::Init()
{
    const double Scale = FGrid->GetDPIScale();
    auto S = [Scale](int v) { return int(RoundHalfEven(v * Scale)); };

    FEdit->SetBounds(S(25), S(6), S(110), FEdit->GetHeight());

    auto PlaceButton = [&](TRirEvozButton* B, int Left, const String& Caption, const String& Hint) {
        B->SetBounds(S(Left), S(5), S(90), S(23));
        B->SetCaption(Caption);
        B->SetHint(Hint);
        B->SetShowHint(!Hint.empty());
        B->SetEnabled(false);
    };
    PlaceButton(FForwardButton, 140, FFindNextCaption, FHintFindNext);
    PlaceButton(FBackwardButton, 235, FFindPrevCaption, FHintFindPrev);
    PlaceButton(FHiliteButton, 330, FHighLightCaption, FHintHighlight);
    FHiliteButton->GetFont()->SetStyle(TFontStyles {});
    FHiliteButton->SetStyle(tasCheck);

    FExitButton->SetBounds(5, 7, 14, 14);
    FExitButton->SetCaption(String());
    FExitButton->SetHint(FHintClose);
    FExitButton->SetShowHint(!FHintClose.empty());

    FMatchCase->SetCaption(FMatchCaseCaption);
    const int CaptionWidth = FMatchCase->GetCanvas()->TextWidth(FMatchCaseCaption);
    FMatchCase->SetBounds(S(FHiliteButton->GetVisible() ? 425 : 330), S(6), CaptionWidth + 18, FMatchCase->GetHeight());

    FResultLabel->SetCaption(String());
    FResultLabel->SetAutoSize(true);
    FResultLabel->SetLayout(tlCenter);
    FResultLabel->SetBounds(FMatchCase->GetLeft() + FMatchCase->GetWidth() + 8, 10, FResultLabel->GetWidth(),
        FMatchCase->GetHeight());

    if (UseRightToLeftReading()) {
        for (TControl* C : std::vector<TControl*> { FEdit, FForwardButton, FBackwardButton, FHiliteButton })
            C->SetLeft(GetWidth() - C->GetWidth() - C->GetLeft());
        FExitButton->SetLeft(GetClientWidth() - FExitButton->GetWidth() - FExitButton->GetLeft());
    }
    FGrid->LayoutSearchPanel();
    if (FGrid->OnCreatedSearchFooter)
        FGrid->OnCreatedSearchFooter(FGrid);
}

void TSearchPanel::Paint()
{
    TPanel::Paint();
    TCanvas* C = GetCanvas();
    const TRect R = GetClientRect();
    if (FColorTo == clNone) {
        C->GetBrush()->SetColor(GetColor());
        C->GetPen()->SetColor(GetColor());
        C->Rectangle(R);
    } else {
        LumDropDown::DrawGradient(C, GetColor(), FColorTo, false, R, 32);
    }
    C->GetPen()->SetColor(FGrid->GetGridLineColor());
    C->MoveTo(0, 0);
    C->LineTo(GetWidth(), 0);
}

void TSearchPanel::EditChanged(TObject*)
{
    const bool HasText = !FEdit->GetText().empty();
    FForwardButton->SetEnabled(HasText);
    FBackwardButton->SetEnabled(HasText);
    FHiliteButton->SetEnabled(HasText);
    if (OnEditChange)
        OnEditChange(this);
}
