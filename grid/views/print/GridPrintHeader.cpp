// The printed page header and footer: time, date, page number and title in
// the six places above and below the grid, a title of several lines or in
// markup; and the engine's drawing calls, which a recorder can follow.

#include "grid/views/print/GridPrintJob.h"

#include <climits>

#include "grid/core/GridUtils.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/MiniHTML.h"

namespace {

bool IsLeft(int P) { return P == DedOzovedUrad::ppTopLeft || P == DedOzovedUrad::ppBottomLeft; }
bool IsTopPos(int P) { return P >= DedOzovedUrad::ppTopLeft && P <= DedOzovedUrad::ppTopCenter; }
bool IsBottomPos(int P) { return P >= DedOzovedUrad::ppBottomLeft && P <= DedOzovedUrad::ppBottomCenter; }

// A text joined to a slot: in front at the left places, behind elsewhere.
void Join(String& Slot, int Pos, const String& Text)
{
    Slot = IsLeft(Pos) ? Text + u" " + Slot : Slot + u" " + Text;
}

// The same, but either alone when the other is empty.
void JoinOrAlone(String& Slot, int Pos, const String& Text)
{
    if (Slot.empty())
        Slot = Text;
    else if (!Text.empty())
        Join(Slot, Pos, Text);
}

} // namespace

String TGridPrintJob::PageNumberText()
{
    String N;
    if (MultiColPages) {
        N = IntToStr(RowPageNr) + u"-" + IntToStr(ColPageNr);
        if (G.OnPrintGetPageNum)
            G.OnPrintGetPageNum(&G, RowPageNr, ColPageNr, N);
        return N;
    }
    N = IntToStr(PagesDone + 1 + S().GetPageNumberOffset());
    // Without a counting pass the total is unknown and left out.
    if (!S().GetPageNumSep().empty() && Pages > 1 && !PageUnknown())
        N += S().GetPageNumSep() + IntToStr(Pages + S().GetMaxPagesOffset());
    if (G.OnPrintGetPageNum)
        G.OnPrintGetPageNum(&G, PagesDone + 1, ColPageNr, N);
    return N;
}

void TGridPrintJob::ComposeHeaderTexts(String (&Slots)[7], String& HTMLTitle)
{
    for (String& s : Slots)
        s.clear();
    HTMLTitle.clear();
    const TDateTime Now = P().Now ? P().Now() : ::Now();
    if (const int Pos = S().GetTime())
        Join(Slots[Pos], Pos, FormatDateTime(u"hh:nn", Now));
    if (const int Pos = S().GetDate())
        Join(Slots[Pos], Pos, FormatDateTime(S().GetDateFormat(), Now));
    if (const int Pos = S().GetPageNr()) {
        const String Number = S().GetPagePrefix() + u" " + PageNumberText() + u" " + S().GetPageSuffix();
        Join(Slots[Pos], Pos, Number);
    }
    if (const int Pos = S().GetTitle()) {
        const TStringList* Lines = S().GetTitleLines();
        if (!S().GetTitleText().empty()) {
            JoinOrAlone(Slots[Pos], Pos, S().GetTitleText());
        } else if (Lines->GetCount() > 0) {
            const String Joined = Lines->GetText();
            if (VuzEraz::DetectTextKind(Joined, G.GetEnableHTML()) == 1)
                HTMLTitle = Joined;
            else
                JoinOrAlone(Slots[Pos], Pos, Lines->GetStrings(0));
        }
    }
}

// The marked-up title's height in page units (0.1 mm), measured in a box
// as wide as the title may print.
int TGridPrintJob::MarkedUpTitleHeight(const String& Markup)
{
    TRect Box(S().GetLeftSize(), 0, W - S().GetRightSize() - 20, -1000);
    int Height = 0;
    TFont Keep;
    Keep.Assign(Canvas->GetFont());
    InDeviceUnits(Box, [&] {
        const HDC DC = Canvas->GetHandle();
        const int PPI = std::max(1, GetDeviceCaps(DC, LOGPIXELSY));
        Canvas->GetFont()->Assign(S().GetHeaderFont());
        Canvas->GetFont()->SetPixelsPerInch(PPI);
        Canvas->GetFont()->SetSize(S().GetHeaderFont()->GetSize());
        String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
        int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
        TRect HitRect, ControlRect;
        VovHTMLE::DrawHTMLText(Canvas, Markup, TRect(Box.Left, Box.Top, Box.Right, Box.Top + 0xFFFF),
            G.GetGridImages(), -1, -1, -1, -1, 1, false, true, true, false, false, false, true, false, String(), d,
            G.GetURLColor(), clNone, clNone, TColor(0x808080), HitAnchor, Stripped, FocusHref, Title, XSize, YSize,
            AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue, ControlType, G.GetImageCache(),
            G.GetPictureContainer(), nullptr, 1.0f, 0);
        Height = int(RoundHalfEven(YSize * 254.0 / PPI));
    });
    Canvas->GetFont()->Assign(&Keep);
    return Height;
}

void TGridPrintJob::DrawMarkedUpTitle(const String& Markup, TRect Box)
{
    TFont Keep;
    Keep.Assign(Canvas->GetFont());
    InDeviceUnits(Box, [&] {
        const int PPI = std::max(1, GetDeviceCaps(Canvas->GetHandle(), LOGPIXELSY));
        Canvas->GetFont()->Assign(S().GetHeaderFont());
        Canvas->GetFont()->SetPixelsPerInch(PPI);
        Canvas->GetFont()->SetSize(S().GetHeaderFont()->GetSize());
        String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
        int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
        TRect HitRect, ControlRect;
        VovHTMLE::DrawHTMLText(Canvas, Markup, Box, G.GetGridImages(), -1, -1, -1, -1, 1, false, false, true, false,
            false, false, true, false, String(), d, G.GetURLColor(), clNone, clNone, TColor(0x808080), HitAnchor,
            Stripped, FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID,
            ControlValue, ControlType, G.GetImageCache(), G.GetPictureContainer(), nullptr, 1.0f, 0);
    });
    Canvas->GetFont()->Assign(&Keep);
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opText;
    Op.R = Box;
    Op.Text = Markup;
    Record(Op);
}

int TGridPrintJob::DrawHeaderFooter()
{
    if (!Drawing() || !PageInRange(PagesDone + 1))
        return 0;
    P().Fontscalefactor = f;
    String Slots[7], HTMLTitle;
    ComposeHeaderTexts(Slots, HTMLTitle);

    TFont SavedFont;
    SavedFont.Assign(Canvas->GetFont());
    TBrush SavedBrush;
    SavedBrush.Assign(Canvas->GetBrush());
    Canvas->GetBrush()->SetStyle(bsClear);

    const int Title = S().GetTitle();
    const TStringList* Lines = S().GetTitleLines();
    const bool ExtraLines = HTMLTitle.empty() && S().GetTitleText().empty() && Lines->GetCount() > 1;
    auto XOf = [&](int Pos, const String& Text) {
        const int tw = Canvas->TextWidth(Text);
        switch (Pos) {
        case DedOzovedUrad::ppTopLeft:
        case DedOzovedUrad::ppBottomLeft: return S().GetLeftSize();
        case DedOzovedUrad::ppTopRight:
        case DedOzovedUrad::ppBottomRight: return W - tw - S().GetRightSize() - 20;
        default: return (W - tw) / 2;
        }
    };
    int Result = 0;

    // Header.
    Canvas->GetFont()->Assign(S().GetHeaderFont());
    Canvas->GetFont()->SetHeight(G.MapFontHeight(S().GetHeaderFont()->GetSize()));
    for (int Pos = DedOzovedUrad::ppTopLeft; Pos <= DedOzovedUrad::ppTopCenter; ++Pos)
        if (!Slots[Pos].empty())
            OutText(XOf(Pos, Slots[Pos]), -hs, Slots[Pos]);
    if (IsTopPos(Title) && ExtraLines) {
        const int h = Canvas->TextHeight(u"gh");
        for (int k = 1; k < Lines->GetCount(); ++k)
            OutText(XOf(Title, Lines->GetStrings(k)), -hs - k * h, Lines->GetStrings(k));
        Result = (Lines->GetCount() - 1) * h;
    }
    if (IsTopPos(Title) && !HTMLTitle.empty()) {
        const int p = MarkedUpTitleHeight(HTMLTitle);
        Result = p;
        DrawMarkedUpTitle(HTMLTitle, TRect(S().GetLeftSize(), -hs, W - S().GetRightSize() - 20, -hs - p));
    }

    // Footer.
    Canvas->GetFont()->Assign(S().GetFooterFont());
    Canvas->GetFont()->SetHeight(G.MapFontHeight(S().GetFooterFont()->GetSize()));
    const int FooterTop = H + hf + g + fs;
    for (int Pos = DedOzovedUrad::ppBottomLeft; Pos <= DedOzovedUrad::ppBottomCenter; ++Pos)
        if (!Slots[Pos].empty())
            OutText(XOf(Pos, Slots[Pos]), FooterTop, Slots[Pos]);
    if (IsBottomPos(Title) && ExtraLines) {
        const int h = Canvas->TextHeight(u"gh");
        for (int k = 1; k < Lines->GetCount(); ++k)
            OutText(XOf(Title, Lines->GetStrings(k)), FooterTop - k * h, Lines->GetStrings(k));
        Result = (Lines->GetCount() - 1) * h;
    }
    if (IsBottomPos(Title) && !HTMLTitle.empty())
        DrawMarkedUpTitle(HTMLTitle, TRect(S().GetLeftSize(), H + S().GetFooterSize(), W, H));

    Canvas->GetFont()->Assign(&SavedFont);
    Canvas->GetBrush()->Assign(&SavedBrush);
    return Result;
}

// ---- drawing calls ----

void TGridPrintJob::InDeviceUnits(TRect& R, const std::function<void()>& Draw)
{
    const HDC DC = Canvas->GetHandle();
    POINT C[2] = { { R.Left, R.Top }, { R.Right, R.Bottom } };
    LPtoDP(DC, C, 2);
    R = TRect(std::min(C[0].X, C[1].X), std::min(C[0].Y, C[1].Y), std::max(C[0].X, C[1].X),
        std::max(C[0].Y, C[1].Y));
    const int Saved = SaveDC(DC);
    SetMapMode(DC, MM_TEXT);
    SetViewportOrgEx(DC, 0, 0, nullptr);
    SetWindowOrgEx(DC, 0, 0, nullptr);
    Canvas->Refresh();
    try {
        Draw();
    } catch (...) {
        RestoreDC(DC, Saved);
        Canvas->Refresh();
        throw;
    }
    RestoreDC(DC, Saved);
    Canvas->Refresh();
}

void TGridPrintJob::OutText(int x, int y, const String& Text)
{
    Canvas->TextOut(x, y, Text);
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opText;
    Op.R = TRect(x, y, x, y);
    Op.Text = Text;
    Op.Color = Canvas->GetFont()->GetColor();
    Op.Width = Canvas->GetFont()->GetHeight();
    Op.Escapement = Canvas->GetFont()->GetOrientation();
    Record(Op);
}

void TGridPrintJob::OutTextRect(TRect Clip, int x, int y, const String& Text)
{
    Canvas->TextRect(Clip, x, y, Text);
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opText;
    Op.R = TRect(x, y, x, y);
    Op.Text = Text;
    Op.Color = Canvas->GetFont()->GetColor();
    Op.Width = Canvas->GetFont()->GetHeight();
    Op.Escapement = Canvas->GetFont()->GetOrientation();
    Record(Op);
}

void TGridPrintJob::OutDrawText(TRect R, const String& Text, UINT Format)
{
    RECT Rc = R;
    String T = Text;
    DrawText(Canvas->GetHandle(), T, &Rc, Format);
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opText;
    Op.R = R;
    Op.Text = Text;
    Op.Color = Canvas->GetFont()->GetColor();
    Op.Width = Canvas->GetFont()->GetHeight();
    Record(Op);
}

void TGridPrintJob::OutLine(int x0, int y0, int x1, int y1)
{
    Canvas->MoveTo(x0, y0);
    Canvas->LineTo(x1, y1);
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opLine;
    Op.R = TRect(x0, y0, x1, y1);
    Op.Color = Canvas->GetPen()->GetColor();
    Op.Width = Canvas->GetPen()->GetWidth();
    Record(Op);
}

void TGridPrintJob::OutFill(TRect R, TColor Color)
{
    TBrush Saved;
    Saved.Assign(Canvas->GetBrush());
    Canvas->GetBrush()->SetColor(Color);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->FillRect(R);
    Canvas->GetBrush()->Assign(&Saved);
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opFill;
    Op.R = R;
    Op.Color = Color;
    Record(Op);
}

void TGridPrintJob::OutGraphic(TRect R, const char* Kind)
{
    TGridPrintOp Op;
    Op.Kind = TGridPrintOp::opGraphic;
    Op.R = R;
    for (const char* p = Kind; *p; ++p)
        Op.Text += Char(*p);
    Record(Op);
}
