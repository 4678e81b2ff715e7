// Small services of the grid: the balloon tooltip window that shows cell
// balloons, the colours taken from the active visual style, the version,
// the data binder a data source fills the grid through, and the handlers
// the grid attaches to its editors.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridOverlays.h"
#include "grid/edit/VovCombo.h"
#include "grid/edit/VovEdit.h"
#include "grid/edit/VovSpinEdit.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ToolTips.h"
#include "platform/win/Window.h"

namespace {

// 8.7.1.0
constexpr unsigned kVersionNr = 0x08070100;
constexpr const char16_t* kVersionDate = u"Oct, 2022";

// The style's grid elements: normal, selected and fixed cell.
constexpr TThemedGrid kNormalCell = tgCellNormal;
constexpr TThemedGrid kSelectedCell = tgCellSelected;
constexpr TThemedGrid kFixedCell = tgFixedCellNormal;

bool StyleColor(TCustomStyleServices* Style, TThemedGrid Element, TElementColor Kind, TColor& Color)
{
    TColor C = clNone;
    if (!Style->GetElementColor(Style->GetElementDetails(Element), Kind, C) || C == clNone)
        return false;
    Color = C;
    return true;
}

} // namespace

// ---- balloon window ----

void TDedOzovedUrad::BalloonInit()
{
    if (FBalloonCreated)
        return;
    FBalloonCreated = true;
    RegisterToolTipClass();
    const HWND Owner = HandleAllocated() ? GetHandle() : nullptr;
    FHToolTip = CreateWindowEx(0, TOOLTIPS_CLASS, String(), TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Owner, nullptr, nullptr, nullptr);
    if (FHToolTip)
        SetWindowPos(FHToolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    RECT Client {};
    if (FHToolTip && Owner && ::GetClientRect(Owner, Client)) {
        TOOLINFO Tool;
        Tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        Tool.hwnd = Owner;
        Tool.uId = reinterpret_cast<UINT_PTR>(Owner);
        Tool.rect = Client;
        Tool.lpszText = LPSTR_TEXTCALLBACK;
        SendMessage(FHToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&Tool));
        // The title goes over in a buffer of its own, as the tooltip copies it.
        char16_t Title[256] {};
        const std::u16string_view Text = u"ToolTipText";
        std::copy(Text.begin(), Text.end(), Title);
        SendMessage(FHToolTip, TTM_SETTITLE, WPARAM(TTI_ERROR), reinterpret_cast<LPARAM>(Title));
    }
    BalloonInitSettings(FHToolTip);
}

void TDedOzovedUrad::BalloonInitSettings(HWND ToolTip)
{
    if (!ToolTip)
        return;
    auto Delay = [ToolTip](WPARAM Kind, int Value) {
        if (Value != -1)
            SendMessage(ToolTip, TTM_SETDELAYTIME, Kind, LPARAM(Value));
    };
    Delay(TTDT_INITIAL, FBalloon->GetInitialDelay());
    Delay(TTDT_RESHOW, FBalloon->GetReshowDelay());
    Delay(TTDT_AUTOPOP, FBalloon->GetAutoHideDelay());
    const Byte t = FBalloon->GetTransparency();
    if (t > 0) {
        SetWindowLong(ToolTip, GWL_EXSTYLE, GetWindowLong(ToolTip, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));
        // The tooltip paints itself: only its opacity is set here, no
        // picture is handed over.
        VuzEraz::DynSetLayeredWindowAttributes(ToolTip, 0, Byte(255 - t), LWA_ALPHA);
    }
}

void TDedOzovedUrad::BalloonDone()
{
    // The window may already be gone with its owner.
    if (FBalloonCreated && FHToolTip && IsWindow(FHToolTip))
        DestroyWindow(FHToolTip);
    FHToolTip = nullptr;
    FBalloonCreated = false;
}

// ---- style colours ----

void TDedOzovedUrad::ResetDefaultColors()
{
    SetColor(clWindow);
    SetGridLineColor(TColor(0xC0C0C0));
    SetGridFixedLineColor(TColor(0x808080));
    FFixedFont->SetColor(clWindowText);
    SetSelectionTextColor(clWindowText);
    SetOptions(GetOptions() + TGridOptions { goFixedVertLine, goFixedHorzLine });
    if (!GetParentFont())
        GetFont()->SetColor(TColor(0));
}

void TDedOzovedUrad::ApplyStyleColors(bool Force)
{
    const bool WasStyled = FUseVCLStyles;
    FUseVCLStyles = false;
    FUseScrollStyles = false;
    const bool S = GetStyleElements().Contains(seClient) && FUseStyleServices;
    TCustomStyleServices* Style = StyleServices();
    const bool StyleActive = Style && Style->GetEnabled() && TStyleManager::IsCustomStyleActive();

    if (StyleActive && FUseStyleServices) {
        FUseVCLStyles = S;
        FUseScrollStyles = true;
        if (!S && WasStyled)
            ResetDefaultColors();
        if (S) {
            TColor C = clNone;
            if (StyleColor(Style, kNormalCell, ecFillColor, C))
                SetColor(C);
            if (StyleColor(Style, kNormalCell, ecBorderColor, C))
                SetGridLineColor(C);
            if (StyleColor(Style, kFixedCell, ecBorderColor, C))
                SetGridFixedLineColor(C);
            SetOptions(GetOptions() - TGridOptions { goFixedVertLine, goFixedHorzLine });
            if (StyleColor(Style, kNormalCell, ecTextColor, C))
                GetFont()->SetColor(C);
            if (GetStyleElements().Contains(seFont) && StyleColor(Style, kSelectedCell, ecTextColor, C))
                SetSelectionTextColor(C);
            if (StyleColor(Style, kFixedCell, ecTextColor, C))
                FFixedFont->SetColor(C);
            if (StyleColor(Style, kFixedCell, ecFillColor, C)) {
                FSearchFooter->SetColor(C);
                FSearchFooter->SetColorTo(C);
            }
        }
    } else if (Force) {
        ResetDefaultColors();
    }

    if (S && Force) {
        const TColor Brush = GetColor();
        const TColor FontColor = GetFont()->GetColor();
        for (int c = 0; c < GetAllColCount(); ++c)
            for (int r = 0; r < GetRowCount(); ++r)
                if (HasCellProperties(c, r)) {
                    TCellProperties* Props = GetCellProperties(c, r);
                    Props->SetBrushColor(Brush);
                    Props->SetFontColor(FontColor);
                }
    }
}

// ---- version ----

unsigned TDedOzovedUrad::GetVersionNr() { return kVersionNr; }

String TDedOzovedUrad::GetVersionString()
{
    const unsigned V = GetVersionNr();
    return IntToStr((V >> 24) & 0xFF) + u"." + IntToStr((V >> 16) & 0xFF) + u"." + IntToStr((V >> 8) & 0xFF) + u"."
        + IntToStr(V & 0xFF) + u" " + kVersionDate;
}

// ---- small queries ----

TCanvas* TDedOzovedUrad::GetFooterCanvas() { return FFooterPanel ? FFooterPanel->GetCanvas() : nullptr; }

// ---- data binder ----

void TDedOzovedUrad::SetDataColumnCount(int N) { SetColCount(N + GetFixedCols() + FFixedRightCols); }

void TDedOzovedUrad::SetDataRowCount(int N) { SetRowCount(N + GetFixedRows() + FFixedFooters); }

int TDedOzovedUrad::GetDataRowCount() { return GetRowCount() - GetFixedRows() - FFixedFooters; }

void TDedOzovedUrad::ClearData()
{
    if (!TBaseGrid::IsDestroying())
        Clear();
}

void TDedOzovedUrad::SetDataCell(int ACol, int ARow, const String& Value)
{
    SetCellEx(ACol + GetFixedCols(), ARow + GetFixedRows(), Value);
}

void TDedOzovedUrad::SetDataHeader(int ACol, const String& Value) { SetCellEx(ACol + GetFixedCols(), 0, Value); }

// ---- handlers attached to the editors ----

void TDedOzovedUrad::UnitChanged(TObject* Sender, const String& NewUnit)
{
    if (OnUnitChanged)
        OnUnitChanged(Sender, GetCol(), GetRow(), NewUnit);
}

void TDedOzovedUrad::DropDownHeaderButtonClick(TObject* Sender, int ButtonIndex)
{
    if (OnDropDownHeaderButtonClick)
        OnDropDownHeaderButtonClick(Sender, GetCol(), GetRow(), ButtonIndex);
}

void TDedOzovedUrad::DropDownFooterButtonClick(TObject* Sender, int ButtonIndex)
{
    if (OnDropDownFooterButtonClick)
        OnDropDownFooterButtonClick(Sender, GetCol(), GetRow(), ButtonIndex);
}

void TDedOzovedUrad::MemoDropDownChange(TStrings* Lines)
{
    if (Lines)
        SetEditText(GetCol(), GetRow(), Lines->GetText());
}

// ---- colour tones on the editors ----

void TDedOzovedUrad::ToneGridEditors(const TColorTones& ATones)
{
    auto ToneButton = [&ATones](auto* Button) {
        if (!Button)
            return;
        Button->SetButtonColor(ATones.Background.BrushColor);
        Button->SetButtonColorHot(ATones.Hover.BrushColor);
        Button->SetButtonColorDown(ATones.Selected.BrushColor);
        Button->SetButtonBorderColor(ATones.Background.BorderColor);
    };
    if (auto* Edit = dynamic_cast<TVovEditBtn*>(FEditBtn))
        ToneButton(Edit->GetButton());
    if (auto* Spin = dynamic_cast<TVovSpinEdit*>(FEditSpin))
        ToneButton(Spin->GetButton());
    if (auto* Combo = dynamic_cast<TVovCustomCombo*>(FEditCombo)) {
        ToneButton(Combo);
        Combo->SetBorderColor(GetColor());
        Combo->SetFlat(true);
    }
}
