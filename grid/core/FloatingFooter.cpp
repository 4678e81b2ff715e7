#include "grid/core/FloatingFooter.h"

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridHTML.h"
#include "grid/core/GridUtils.h"
#include "grid/core/LumRichEdit.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ToolTips.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

QT_PUBLISHED(TFloatingFooter, QT_PROP(Visible), QT_PROP_T(Color, u"TColor"), QT_PROP(FooterStyle), QT_PROP(Column),
    QT_PROP(CustomTemplate), QT_PROP(CalculateHiddenRows), QT_PROP(ShowHint), QT_PROP_T(BorderColor, u"TColor"))
QT_PUBLISHED(TFooterPanel)

namespace {

// Balloon text limits: the tooltip shows at most this much.
constexpr std::size_t MaxBalloonText = 2048;
constexpr std::size_t MaxBalloonTitle = 100;
constexpr int BalloonMaxWidth = 300;
// Balloon icon 1 is "information"; the tooltip's own title icon is 3.
constexpr int BalloonInfoIcon = 1;
constexpr int ToolTipTitleIcon = 3;

bool IsGlossyLook(TGridLook Look) { return Look == glSoft || Look == glZID || Look == glXP || Look == glVista; }

} // namespace

// ---- TFloatingFooter ----

bool TFloatingFooter::Running() const { return FGrid && !FGrid->IsDesigning(); }

int TFloatingFooter::StripHeight() const
{
    const double Scale = FGrid ? FGrid->GetDPIScale() : 1.0;
    return std::max(0, int(RoundHalfEven((FHeight - 1) * Scale)));
}

void TFloatingFooter::Invalidate()
{
    if (FGrid && FGrid->FFooterPanel)
        FGrid->FFooterPanel->Invalidate();
}

void TFloatingFooter::SetHeight(int Value)
{
    FHeight = Value;
    if (FGrid && FGrid->FFooterPanel && Value > 0)
        FGrid->FFooterPanel->SetHeight(StripHeight());
}

void TFloatingFooter::SetColor(TColor Value)
{
    FColor = Value;
    Invalidate();
}

void TFloatingFooter::SetColumn(int Value)
{
    FColumn = Value;
    Invalidate();
}

void TFloatingFooter::SetCustomTemplate(const String& Value)
{
    FCustomTemplate = Value;
    Invalidate();
}

void TFloatingFooter::SetBorderColor(TColor Value)
{
    if (FBorderColor == Value)
        return;
    FBorderColor = Value;
    Invalidate();
}

void TFloatingFooter::SetShowHint(bool Value)
{
    FShowHint = Value;
    if (FGrid && FGrid->FFooterPanel)
        FGrid->FFooterPanel->SetShowHint(Value);
}

void TFloatingFooter::ApplyExtraRow()
{
    if (!FGrid)
        return;
    if ((FFooterStyle == fsFixedLastRow || !FVisible) && FDidInc) {
        FGrid->SetRowCount(FGrid->GetRowCount() - 1);
        FDidInc = false;
    } else if (FFooterStyle != fsFixedLastRow && FVisible && !FDidInc) {
        FGrid->SetRowCount(FGrid->GetRowCount() + 1);
        FDidInc = true;
    }
}

void TFloatingFooter::ApplyFixedLastRow()
{
    if (!FGrid)
        return;
    const bool LastRow = FVisible && FFooterStyle == fsFixedLastRow;
    FGrid->SetFixedFooters(LastRow ? 1 : 0);
    FGrid->SetHideLastRow(LastRow);
}

void TFloatingFooter::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    if (!FGrid)
        return;
    if (TFooterPanel* Panel = FGrid->FFooterPanel) {
        Panel->SetHeight(Value ? StripHeight() : 0);
        Panel->SetVisible(Value);
    }
    if (Running()) {
        ApplyExtraRow();
        if (FGrid->GetFixedRows() > 0)
            FGrid->SetFixedRowAlways(true);
    }
    ApplyFixedLastRow();
    FGrid->FooterChanged();
    FGrid->Invalidate();
}

void TFloatingFooter::SetFooterStyle(TFooterStyle Value)
{
    FFooterStyle = Value;
    if (!FGrid)
        return;
    if (Running())
        ApplyExtraRow();
    ApplyFixedLastRow();
    FGrid->Invalidate();
    Invalidate();
}

TColumnCalcType TFloatingFooter::GetColumnCalc(int c)
{
    if (!FGrid)
        return acNONE;
    const int r = FGrid->GetRowCount() - 1;
    if (c < 0 || r < 0 || !FGrid->HasCellProperties(c, r))
        return acNONE;
    return FGrid->GetCellProperties(c, r)->GetCalcType();
}

void TFloatingFooter::SetColumnCalc(int c, TColumnCalcType Value)
{
    if (!FGrid || c < 0 || FGrid->GetRowCount() < 1)
        return;
    FGrid->GetCellProperties(c, FGrid->GetRowCount() - 1)->SetCalcType(Value);
    FGrid->CalcFooter(c);
}

void TFloatingFooter::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TFloatingFooter*>(Source);
    if (!S)
        return;
    FCalculateHiddenRows = S->FCalculateHiddenRows;
    FColor = S->FColor;
    FColumn = S->FColumn;
    FCustomTemplate = S->FCustomTemplate;
    FFooterStyle = S->FFooterStyle;
    SetVisible(S->FVisible);
    // The fixed-last-row state follows the copied pair, also when Visible
    // itself did not change.
    ApplyFixedLastRow();
    SetShowHint(S->FShowHint);
}

// ---- template and balloon text ----

namespace RirEvoz {

String ExpandFooterTemplate(const String& Template, int ColCount, const std::function<String(int)>& CellText)
{
    String Result;
    std::size_t Pos = 0;
    for (;;) {
        const std::size_t Tag = Template.find(u"<#", Pos);
        if (Tag == String::npos)
            break;
        const std::size_t Close = Template.find(u'>', Tag + 2);
        if (Close == String::npos)
            break;
        Result.append(Template, Pos, Tag - Pos);
        // A column number: decimal digits only, within the grid's columns.
        const StringView Digits(Template.data() + Tag + 2, Close - Tag - 2);
        long long n = -1;
        if (!Digits.empty() && Digits.size() <= 9
            && std::all_of(Digits.begin(), Digits.end(), [](Char ch) { return ch >= u'0' && ch <= u'9'; })) {
            n = 0;
            for (Char ch : Digits)
                n = n * 10 + (ch - u'0');
        }
        if (n >= 0 && n < ColCount)
            Result += CellText(int(n));
        Pos = Close + 1;
    }
    Result.append(Template, Pos, String::npos);
    return Result;
}

String BalloonText(const String& Text)
{
    String Result = Text;
    std::replace(Result.begin(), Result.end(), u'\t', u' ');
    std::size_t Start = 0;
    while (Start < Text.size() && (Text[Start] == u'\t' || Text[Start] == u'\n' || Text[Start] == u'\r'))
        ++Start;
    Result.erase(0, Start);
    if (Result.size() > MaxBalloonText)
        Result = Result.substr(0, MaxBalloonText - 3) + u"...";
    return Result;
}

String BalloonTitle(const String& Title)
{
    if (Title.size() > MaxBalloonTitle)
        return Title.substr(0, MaxBalloonTitle - 3) + u"...";
    return Title;
}

} // namespace RirEvoz

// ---- TFooterPanel ----

TFooterPanel::TFooterPanel(TComponent* AOwner)
    : TCustomPanel(AOwner)
    , FGrid(dynamic_cast<TDedOzovedUrad*>(AOwner))
{
    SetBevelOuter(bvNone);
    SetShowCaption(false);
}

TFooterPanel::~TFooterPanel()
{
    if (FToolTip)
        DestroyWindow(FToolTip);
}

void TFooterPanel::CreateWnd()
{
    TCustomPanel::CreateWnd();
    if (!FGrid)
        return;
    TFloatingFooter* Footer = FGrid->GetFloatingFooter();
    SetHeight(Footer->GetVisible() ? Footer->GetHeight() : 0);
    if (FGrid->OnCreatedFloatingFooter)
        FGrid->OnCreatedFloatingFooter(FGrid);
    if (FGrid->GetBalloon()->GetEnable())
        InitBalloon();
}

std::vector<TFooterPanel::TSlot> TFooterPanel::Slots()
{
    std::vector<TSlot> Result;
    if (!FGrid)
        return Result;
    int x = 0;
    for (int c = 0; c < FGrid->GetFixedCols() && c < FGrid->GetColCount(); ++c) {
        Result.push_back({ c, x, FGrid->GetColWidths(c), true });
        x += FGrid->GetColWidths(c);
    }
    for (int c = std::max(FGrid->GetLeftCol(), FGrid->GetFixedCols()); c < FGrid->GetColCount(); ++c) {
        Result.push_back({ c, x, FGrid->GetColWidths(c), false });
        x += FGrid->GetColWidths(c);
    }
    return Result;
}

int TFooterPanel::PaintedWidth()
{
    int Width = 0;
    for (const TSlot& S : Slots())
        Width += S.Width;
    return Width;
}

int TFooterPanel::ColumnAt(int X)
{
    const std::vector<TSlot> All = Slots();
    for (const TSlot& S : All)
        if (X >= S.Left && X < S.Left + S.Width)
            return S.Col;
    if (All.empty())
        return -1;
    // Left of the strip: the first column; beyond the painted part: the last.
    return X < 0 ? All.front().Col : All.back().Col;
}

void TFooterPanel::MouseToCell(int X, int /*Y*/, int& C, int& R)
{
    R = FGrid ? FGrid->GetRowCount() - 1 : -1;
    C = ColumnAt(X);
}

TRect TFooterPanel::Mirror(const TRect& R)
{
    if (!FGrid || !FGrid->UseRightToLeftAlignment())
        return R;
    const int W = GetClientWidth();
    return TRect(W - R.Right, R.Top, W - R.Left, R.Bottom);
}

void TFooterPanel::PaintCell(TCanvas* Canvas, int ACol, int ARow, TRect R, bool UseEvent)
{
    if (UseEvent && FGrid->OnPaintFooter) {
        FGrid->OnPaintFooter(this, ACol, R, Canvas);
        return;
    }
    FGrid->DrawGridCell(Canvas, ACol, ARow, R, TGridDrawState { gdFixed });
}

void TFooterPanel::PaintFixedLastRow(TCanvas* Canvas, int Painted)
{
    const TRect Client = GetClientRect();
    Canvas->GetPen()->SetColor(FGrid->GetFloatingFooter()->GetColor());
    Canvas->GetBrush()->SetColor(FGrid->GetFloatingFooter()->GetColor());
    Canvas->FillRect(Mirror(TRect(0, 0, Painted, Client.Bottom)));
    Canvas->GetBrush()->SetColor(FGrid->GetColor());
    Canvas->FillRect(Mirror(TRect(Painted, 0, std::max(Painted, Client.Right), Client.Bottom)));

    const TGridOptions Options = FGrid->GetOptions();
    const bool Glossy = IsGlossyLook(FGrid->GetLook()) && !FGrid->GetFlat();
    const int Row = FGrid->GetRowCount() - 1;
    const std::vector<TSlot> All = Slots();

    // Column separators.
    for (const TSlot& S : All) {
        if (!S.Fixed && S.Width <= 0)
            continue;
        if (Options.Contains(goFixedVertLine) && Glossy) {
            Canvas->GetPen()->SetColor(clWhite);
            const TRect L = Mirror(TRect(S.Left, 0, S.Left + 1, Client.Bottom));
            Canvas->MoveTo(L.Left, Client.Bottom - 1);
            Canvas->LineTo(L.Left, -1);
        }
        const int Right = S.Left + S.Width - 1;
        TColor LineColor = FGrid->GetGridLineColor();
        if (!S.Fixed && FGrid->GetLook() != glVista)
            LineColor = TColor(0x808080);
        Canvas->GetPen()->SetColor(LineColor);
        if (Options.Contains(goFixedHorzLine)) {
            const TRect T = Mirror(TRect(S.Left, 0, Right + 1, 1));
            Canvas->MoveTo(T.Left, 0);
            Canvas->LineTo(T.Right, 0);
        }
        if (Options.Contains(goFixedVertLine)) {
            const TRect V = Mirror(TRect(Right, 0, Right + 1, Client.Bottom));
            Canvas->MoveTo(V.Left, 0);
            Canvas->LineTo(V.Left, Client.Bottom);
        }
    }

    // Cells, left to right whatever the reading order of the grid.
    if (Row < 0)
        return;
    for (const TSlot& S : All) {
        if (!S.Fixed && S.Width <= 0)
            continue;
        const TRealCol Real = FGrid->RealColIndex(TDisplayCol(S.Col));
        if (!FGrid->IsBaseCell(Real.Value, Row))
            continue;
        int Right = S.Left + S.Width - 1;
        if (FGrid->IsMergedCell(Real.Value, Row)) {
            const TPoint Span = FGrid->CellSpan(Real.Value, Row);
            for (int c = S.Col + 1; c <= S.Col + Span.X && c < FGrid->GetColCount(); ++c)
                Right += FGrid->GetColWidths(c);
        }
        TRect Slot(S.Left, 1, Right, Client.Bottom);
        if (Glossy && Options.Contains(goFixedHorzLine))
            ++Slot.Left;
        else if (!S.Fixed)
            ++Slot.Right;
        Slot = Mirror(Slot);
        if (!S.Fixed) {
            TBrush Brush;
            TFont Font;
            Brush.SetColor(clNone);
            if (FGrid->OnGetCellColor)
                FGrid->OnGetCellColor(FGrid, Row, Real.Value, TGridDrawState { gdFixed }, &Brush, &Font);
            if (Brush.GetColor() != clNone) {
                Canvas->GetBrush()->SetColor(Brush.GetColor());
                Canvas->FillRect(Slot);
            }
            if (FGrid->HasCellProperties(Real.Value, Row)) {
                const TColor Own = FGrid->GetCellProperties(Real.Value, Row)->GetBrushColor();
                if (Own != clNone) {
                    Canvas->GetBrush()->SetColor(Own);
                    Canvas->FillRect(Slot);
                }
            }
        }
        PaintCell(Canvas, S.Col, Row, Slot, !S.Fixed);
    }
}

void TFooterPanel::PaintPreviewFrame(TCanvas* Canvas, int Painted)
{
    const TRect Client = GetClientRect();
    Canvas->GetBrush()->SetColor(FGrid->GetFloatingFooter()->GetColor());
    Canvas->FillRect(Mirror(TRect(0, 0, Painted, Client.Bottom)));
    const TRect F = Mirror(TRect(0, 0, Painted, Client.Bottom));
    Canvas->GetPen()->SetColor(clWhite);
    Canvas->MoveTo(F.Left, F.Bottom - 1);
    Canvas->LineTo(F.Left, F.Top);
    Canvas->LineTo(F.Right - 1, F.Top);
    Canvas->GetPen()->SetColor(TColor(0x808080));
    Canvas->LineTo(F.Right - 1, F.Bottom - 1);
    Canvas->LineTo(F.Left, F.Bottom - 1);
}

void TFooterPanel::PaintColumnPreview(TCanvas* Canvas, int Painted)
{
    const TRect Client = GetClientRect();
    PaintPreviewFrame(Canvas, Painted);
    const TColor SelectionText = FGrid->GetSelectionTextColor();
    FGrid->FSelectionTextColor = TColor(0);
    const int Column = FGrid->GetFloatingFooter()->GetColumn();
    PaintCell(Canvas, Column, FGrid->GetRow(), Mirror(TRect(0, 0, Painted, Client.Bottom)), true);
    FGrid->FSelectionTextColor = SelectionText;
    Canvas->GetBrush()->SetColor(FGrid->GetColor());
    Canvas->FillRect(Mirror(TRect(Painted, 0, std::max(Painted, Client.Right), Client.Bottom)));
}

void TFooterPanel::PaintCustomPreview(TCanvas* Canvas, int Painted)
{
    const TRect Client = GetClientRect();
    PaintPreviewFrame(Canvas, Painted);
    const String& Template = FGrid->GetFloatingFooter()->GetCustomTemplate();
    Canvas->GetFont()->Assign(FGrid->GetFont());
    Canvas->GetBrush()->SetStyle(bsClear);
    const TRect T = Mirror(TRect(2, 2, Painted, Client.Bottom));
    if (FGrid->IsDesigning()) {
        Canvas->TextOut(T.Left, T.Top, Template);
        return;
    }
    const int Row = FGrid->GetRow();
    const String Text = RirEvoz::ExpandFooterTemplate(Template, FGrid->GetAllColCount(),
        [this, Row](int c) { return FGrid->GetCells(c, Row); });
    RirEvoz::THTMLTextSource Source;
    Source.Images = FGrid->GetGridImages();
    Source.PictureContainer = FGrid->GetPictureContainer();
    Source.PictureCache = FGrid->GetImageCache();
    Source.URLColor = FGrid->GetURLColor();
    Source.Window = HandleAllocated() ? GetHandle() : nullptr;
    Source.Scale = float(FGrid->GetDPIScale());
    RirEvoz::DrawGridHTML(Canvas, Text, T, Source, true);
}

void TFooterPanel::Paint()
{
    if (!FGrid)
        return;
    SetBiDiMode(FGrid->GetBiDiMode());
    TCanvas* Canvas = GetCanvas();
    const int Painted = PaintedWidth();
    TFloatingFooter* Footer = FGrid->GetFloatingFooter();
    switch (Footer->GetFooterStyle()) {
    case fsFixedLastRow: PaintFixedLastRow(Canvas, Painted); break;
    case fsColumnPreview: PaintColumnPreview(Canvas, Painted); break;
    case fsCustomPreview: PaintCustomPreview(Canvas, Painted); break;
    case fsCustomPaint:
        if (FGrid->OnPaintFooter)
            FGrid->OnPaintFooter(this, Footer->GetColumn(), Mirror(GetClientRect()), Canvas);
        break;
    }
    if (Footer->GetBorderColor() != clNone) {
        Canvas->GetPen()->SetColor(Footer->GetBorderColor());
        Canvas->MoveTo(0, 0);
        Canvas->LineTo(Painted, 0);
    }
}

void TFooterPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (!FGrid)
        return;
    int C = -1, R = -1;
    MouseToCell(X, Y, C, R);
    if (FGrid->OnClick)
        FGrid->OnClick(FGrid);
    if (FGrid->OnClickCell)
        FGrid->OnClickCell(FGrid, FGrid->GetRowCount() - 1, C);
}

void TFooterPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    if (!FGrid)
        return;
    const int Col = ColumnAt(X);
    if (FLastHintCol != -1 && Col != FLastHintCol)
        Application->CancelHint();
    if (FToolTip && FLastBalloonCell.X != -1) {
        const int Row = FGrid->GetRowCount() - 1;
        const TRealCol Real = FGrid->RealColIndex(TDisplayCol(Col));
        if (FGrid->BaseCell(Real.Value, Row) != FLastBalloonCell) {
            SendMessage(FToolTip, TTM_POP, 0, 0);
            FLastBalloonCell = TPoint(-1, -1);
        }
    }
}

void TFooterPanel::MouseLeave()
{
    TCustomPanel::MouseLeave();
    FLastHintCol = -1;
}

void TFooterPanel::HintShow(TMessage& Message)
{
    auto* Info = reinterpret_cast<THintInfo*>(Message.LParam);
    if (!Info || !FGrid)
        return;
    const int Col = ColumnAt(Info->CursorPos.X);
    if (FGrid->OnGridHint && Col >= 0)
        FGrid->OnGridHint(FGrid, FGrid->GetRowCount() - 1, Col, Info->HintStr);
    const bool Granted = FGrid->GetFloatingFooter()->GetShowHint();
    Message.Result = Granted ? 0 : 1;
    if (Granted)
        FLastHintCol = Col;
}

void TFooterPanel::InitBalloon()
{
    if (FBalloonInit || !FGrid)
        return;
    FToolTip = CreateToolTipWindow(GetHandle(), TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON);
    if (!FToolTip)
        return;
    SetWindowPos(FToolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFO Tool;
    Tool.uFlags = TTF_SUBCLASS;
    Tool.hwnd = GetHandle();
    Tool.uId = 0;
    Tool.rect = GetClientRect();
    Tool.lpszText = LPSTR_TEXTCALLBACK;
    SendMessage(FToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&Tool));
    static const char16_t Title[] = u"ToolTipText";
    SendMessage(FToolTip, TTM_SETTITLE, ToolTipTitleIcon, reinterpret_cast<LPARAM>(Title));
    FBalloonInit = true;
    FGrid->BalloonInitSettings(FToolTip);
}

void TFooterPanel::BalloonTextRequest(TMessage& Message)
{
    auto* Info = reinterpret_cast<NMTTDISPINFO*>(Message.LParam);
    TPoint P = ScreenToClient(Mouse->GetCursorPos());
    int Col = -1, Row = -1;
    MouseToCell(P.X, P.Y, Col, Row);
    const bool Valid = Col >= 0 && Row >= 0;

    TBalloonSettings* Settings = FGrid->GetBalloon();
    String Title = u" ";
    String Text;
    int Icon = BalloonInfoIcon;
    TPoint Base(-1, -1);
    if (Valid) {
        const TRealCol Real = FGrid->RealColIndex(TDisplayCol(Col));
        Base = FGrid->BaseCell(Real.Value, Row);
        const String Cell = FGrid->GetCells(Base.X, Base.Y);
        switch (VuzEraz::DetectTextKind(Cell, FGrid->GetEnableHTML())) {
        case 1: Text = VovHTMLE::HTMLToPlainText(Cell); break;
        case 2:
            FGrid->CellToRich(Base.X, Base.Y, FGrid->GetRichEdit());
            Text = FGrid->GetRichEdit()->GetText();
            break;
        case 5: Text = VuzEraz::DecodeWideCellText(Cell); break;
        default: Text = Cell; break;
        }
        Text = RirEvoz::BalloonText(Text);
    }
    if (!Settings->GetShowCell()) {
        Title.clear();
        Text.clear();
    }
    if (Valid) {
        FGrid->IsBalloon(Base.X, Base.Y, Title, Text, Icon);
        if (FGrid->OnCellBalloon)
            FGrid->OnCellBalloon(FGrid, Base.X, Base.Y, Title, Text, Icon);
    }
    FLastBalloonCell = Base;
    Title = RirEvoz::BalloonTitle(Title);

    FToolTipText = Text;
    if (Info)
        Info->lpszText = FToolTipText.data();
    SendMessage(FToolTip, TTM_SETMAXTIPWIDTH, 0, BalloonMaxWidth);
    if (Settings->GetTextColor() != clNone)
        SendMessage(FToolTip, TTM_SETTIPTEXTCOLOR, WPARAM(ColorToRGB(Settings->GetTextColor())), 0);
    if (Settings->GetBackgroundColor() != clNone)
        SendMessage(FToolTip, TTM_SETTIPBKCOLOR, WPARAM(ColorToRGB(Settings->GetBackgroundColor())), 0);
    SendMessage(FToolTip, TTM_SETTITLE, WPARAM(Icon), reinterpret_cast<LPARAM>(Title.c_str()));
}

void TFooterPanel::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_HINTSHOW:
        HintShow(Message);
        return;
    case WM_NOTIFY: {
        const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (FGrid && FToolTip && Header && Header->hwndFrom == FToolTip && Header->code == TTN_GETDISPINFO) {
            BalloonTextRequest(Message);
            return;
        }
        break;
    }
    default:
        break;
    }
    TCustomPanel::Dispatch(Message);
}
