// The display-text hook (links in text, group counts), the link settings,
// the small event hooks other steps call, and the grid's auxiliary windows:
// the header drag image, the hover-button form and the metro scroll
// controls.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/core/ScrollControl.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Window.h"

namespace {

// Tried in this order; the first found is linked.
const char16_t* const LinkPrefixes[]
    = { u"HTTP://", u"WWW.", u"MAILTO:", u"HTTPS://", u"NNTP://", u"FILE://", u"FTP://" };

} // namespace

void TDedOzovedUrad::FormatDisplayText(int ACol, int ARow, String& Value)
{
    TBaseGrid::FormatDisplayText(ACol, ARow, Value);
    if (GetURLShowInText()) {
        for (const char16_t* Prefix : LinkPrefixes) {
            String Linked;
            if (VuzEraz::LinkifyURL(Value, Prefix, Linked)) {
                Value = Linked;
                break;
            }
        }
    }
    if (FGrouping->GetShowGroupCount() && ACol == 1 && IsNode(ARow)) {
        const int Count = FDataViews->GetNodeSpan(ARow) - FDataViews->GetSubNodeCount(ARow) - 1;
        const String& Fmt = FGrouping->GetGroupCountFormat();
        if (Fmt.empty()) {
            Value += u" (" + IntToStr(Count) + u")";
        } else {
            // A format that does not take the count leaves the text plain:
            // this runs for every read of the cell and while painting.
            try {
                Value += Format(Fmt, { TVarRec(Count) });
            } catch (const Exception&) {
            }
        }
    }
}

// ---- link settings ----

void TDedOzovedUrad::SetURLColor(TColor Value)
{
    if (Value == FURLColor)
        return;
    FURLColor = Value;
    if (GetURLShow())
        Invalidate();
}

void TDedOzovedUrad::SetURLFull(bool Value)
{
    FURLFull = Value;
    if (GetURLShow())
        Invalidate();
}

// ---- event hooks ----

void TDedOzovedUrad::CanAddRow(bool& CanAdd)
{
    if (OnCanAddRow)
        OnCanAddRow(this, CanAdd);
}

void TDedOzovedUrad::CanAddCol(bool& CanAdd)
{
    if (OnCanAddCol)
        OnCanAddCol(this, CanAdd);
}

void TDedOzovedUrad::CanInsertRow(int ARow, bool& CanInsert)
{
    if (OnCanInsertRow)
        OnCanInsertRow(this, ARow, CanInsert);
}

void TDedOzovedUrad::ColorSelected(TColor AColor, const String& AValue)
{
    if (OnColorSelect)
        OnColorSelect(this, GetCol(), GetRow(), AColor, AValue);
}

void TDedOzovedUrad::ImageSelected(int AIndex)
{
    if (OnImageSelect)
        OnImageSelect(this, GetCol(), GetRow(), AIndex);
}

void TDedOzovedUrad::RepaintActiveHeaders(int ACol1, int ARow1, int ACol2, int ARow2)
{
    for (const auto& [c, r] : { std::pair { ACol1, ARow1 }, std::pair { ACol2, ARow2 } }) {
        for (int f = 0; f < GetFixedRows(); ++f)
            RepaintCell(c, f);
        for (int f = 0; f < GetFixedCols(); ++f)
            RepaintCell(f, r);
    }
}

TCustomForm* TDedOzovedUrad::ParentFormOf(TControl* AControl)
{
    for (TControl* c = AControl; c; c = c->GetParent())
        if (auto* Form = dynamic_cast<TCustomForm*>(c))
            return Form;
    return nullptr;
}

// ---- auxiliary windows ----

void TDedOzovedUrad::HoverButtonsMouseLeave(TObject*)
{
    if (!FButtonForm)
        return;
    FButtonForm->SetVisible(false);
    // Shown without activation, the window may be up while the form does
    // not count itself visible.
    if (FButtonForm->HandleAllocated())
        ShowWindow(FButtonForm->GetHandle(), SW_HIDE);
}

void TDedOzovedUrad::CreateMetroScrollBars()
{
    const TScrollStyle Bars = GetScrollBars();
    auto Make = [this](TScrollDirection Direction, TAlign Align) {
        auto* Control = new TScrollControl(this);
        Control->SetDirection(Direction);
        Control->SetParent(this);
        Control->SetDoubleBuffered(true);
        if (Direction == sdVertical)
            Control->SetWidth(6);
        else
            Control->SetHeight(6);
        Control->SetAlign(Align);
        Control->SetVisible(true);
        return Control;
    };
    if ((Bars == ssVertical || Bars == ssBoth) && !vscrlctrl)
        vscrlctrl = Make(sdVertical, alRight);
    if ((Bars == ssHorizontal || Bars == ssBoth) && !hscrlctrl)
        hscrlctrl = Make(sdHorizontal, alBottom);
}

void TDedOzovedUrad::FreeMetroScrollControls()
{
    delete vscrlctrl;
    vscrlctrl = nullptr;
    delete hscrlctrl;
    hscrlctrl = nullptr;
}
