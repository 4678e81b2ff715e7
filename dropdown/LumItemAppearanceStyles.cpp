#include "dropdown/LumCustomDropDown.h"
#include "dropdown/LumItemSelector.h"

// The hot and selected item colours each style of the shared style
// enumeration gives the item lists of the picker drop-downs.

namespace {

// "Leave the value as it is".
constexpr TColor Keep = TColor(0xFFFFFFFF);

struct ItemStyleColors {
    TColor Hot, HotTo, MirrorHot, MirrorHotTo, BorderHot, Sel, SelTo, MirrorSel, MirrorSelTo, BorderSel, Border,
        BorderTop, BorderBottom, Edge, SelText, Font;
};

constexpr TColor C(unsigned v) { return TColor(v); }

const ItemStyleColors Office2003 { C(0xEBFDFF), C(0xACECFF), C(0x59DAFF), C(0xA4E9FF), Keep, C(0xAAD9FF),
    C(0x6EBBFF), C(0x42AEFE), C(0x7AE1FE), Keep, C(0x42AEFE), clNone, clNone, clNone, Keep, Keep };
const ItemStyleColors Office2003Classic { C(0xD2BDB6), C(0xD2BDB6), clNone, clNone, Keep, C(0xB59285), C(0xB59285),
    clNone, clNone, Keep, C(0x808080), clNone, clNone, clNone, Keep, Keep };
const ItemStyleColors Office2007 { C(0xEBFDFF), C(0xACECFF), C(0x59DAFF), C(0xA4E9FF), Keep, C(0xAAD9FF),
    C(0x6EBBFF), C(0x42AEFE), C(0x7AE1FE), Keep, C(0x42AEFE), C(0xF4FEFF), C(0xCAF8FF), C(0xC3D9DF), Keep, Keep };
const ItemStyleColors WindowsXP { C(0xEFD3C6), C(0xEFD3C6), clNone, clNone, Keep, clHighlight, clNone, clNone, clNone,
    Keep, clHighlight, clNone, clNone, clNone, clHighlightText, Keep };
const ItemStyleColors WindowsVista { C(0xFFFDF9), C(0xFFFAF0), clNone, clNone, Keep, C(0xFEF9F0), C(0xFDF0D7), clNone,
    clNone, Keep, C(0xFEDF9A), C(0xFDFBF6), C(0xFDF5E7), C(0xFCEDCB), Keep, Keep };
const ItemStyleColors Windows7 { C(0xFDFBFA), C(0xFDF3EB), clNone, clNone, Keep, C(0xFCEBDC), C(0xFCDBC1), clNone,
    clNone, Keep, C(0xCEA27D), C(0xFDF4EB), C(0xFDEADB), C(0xE0C5AE), Keep, Keep };
const ItemStyleColors Terminal { C(0xC0C0C0), C(0xC0C0C0), clNone, clNone, Keep, clHighlight, clNone, clNone, clNone,
    Keep, C(0x808080), clNone, clNone, clNone, clHighlightText, Keep };
const ItemStyleColors Office2010 { C(0xD9F9FD), C(0x8AE3FD), C(0x8AE3FD), C(0xD9F9FD), Keep, C(0x7BEEFF),
    C(0x6CD0FF), C(0x6CD0FF), C(0x7BEEFF), Keep, C(0x308AC2), clNone, clNone, clNone, C(0x000000), Keep };
const ItemStyleColors Office2010Black { C(0xD9F9FD), C(0x8AE3FD), C(0x8AE3FD), C(0xD9F9FD), C(0x58CAF1),
    C(0x7BEEFF), C(0x6CD0FF), C(0x6CD0FF), C(0x7BEEFF), C(0x308AC2), Keep, clNone, clNone, clNone, C(0x000000),
    Keep };
const ItemStyleColors Windows8 { C(0xF7EFE8), C(0xF7EFE8), C(0xF7EFE8), C(0xF7EFE8), C(0xF9CEA4), C(0xF7E0C9),
    clNone, clNone, clNone, C(0xE4A262), Keep, Keep, Keep, Keep, Keep, Keep };
const ItemStyleColors Office2013 { C(0xFCF0E4), C(0xFCF0E4), clNone, clNone, C(0xEAB47E), C(0xFCE2C8), clNone,
    clNone, clNone, C(0xE59D56), Keep, Keep, Keep, Keep, Keep, Keep };
const ItemStyleColors Office2016White { C(0xF2E1D5), clNone, clNone, clNone, C(0xF2E1D5), C(0xE3BDA3), clNone,
    clNone, clNone, C(0xE3BDA3), Keep, Keep, Keep, Keep, Keep, Keep };
const ItemStyleColors Office2016Gray { C(0xF2E1D5), C(0xF2E1D5), clNone, clNone, C(0xF2E1D5), C(0xE3BDA3), clNone,
    clNone, clNone, C(0xE3BDA3), Keep, Keep, Keep, Keep, Keep, Keep };
const ItemStyleColors Office2016Black { C(0x6A6A6A), C(0x6A6A6A), clNone, clNone, C(0x6A6A6A), C(0x444444), clNone,
    clNone, clNone, C(0x444444), Keep, Keep, Keep, Keep, Keep, C(0xFFFFFF) };
const ItemStyleColors Office2019Gray { C(0x969696), clNone, clNone, clNone, C(0xB8BBBE), C(0x656565), clNone,
    clNone, clNone, C(0x656565), Keep, Keep, Keep, Keep, Keep, Keep };
const ItemStyleColors Office2019Black { C(0x505050), C(0x505050), clNone, clNone, C(0x505050), C(0x828282), clNone,
    clNone, clNone, C(0x828282), Keep, Keep, Keep, Keep, Keep, C(0xF0F0F0) };

const ItemStyleColors* ItemColorsOf(ROZEVizer Style)
{
    switch (Style) {
    case tsOffice2003Blue: case tsOffice2003Silver: case tsOffice2003Olive: case tsWhidbey: return &Office2003;
    case tsOffice2003Classic: return &Office2003Classic;
    case tsOffice2007Luna: case tsOffice2007Obsidian: case tsOffice2007Silver: return &Office2007;
    case tsWindowsXP: return &WindowsXP;
    case tsWindowsVista: return &WindowsVista;
    case tsWindows7: return &Windows7;
    case tsTerminal: return &Terminal;
    case tsOffice2010Blue: case tsOffice2010Silver: return &Office2010;
    case tsOffice2010Black: return &Office2010Black;
    case tsWindows8: case tsWindows10: return &Windows8;
    case tsOffice2013White: case tsOffice2013LightGray: case tsOffice2013Gray: return &Office2013;
    case tsOffice2016White: case tsOffice2019White: return &Office2016White;
    case tsOffice2016Gray: return &Office2016Gray;
    case tsOffice2016Black: return &Office2016Black;
    case tsOffice2019Gray: return &Office2019Gray;
    case tsOffice2019Black: return &Office2019Black;
    case tsCustom: break;
    }
    return nullptr;
}

} // namespace

void TLumCustomDropDown::ApplyItemAppearanceStyle(TItemAppearance* Appearance, ROZEVizer AStyle)
{
    FLumStyle = AStyle;
    if (!Appearance || AStyle == tsCustom)
        return;
    Appearance->SetBorderColorHot(clNone);
    Appearance->SetBorderColorSelected(clNone);
    Appearance->SetColorSelectedText(TColor(0));
    Appearance->SetColorHotText(TColor(0));
    Appearance->GetFont()->SetColor(TColor(0));
    const ItemStyleColors* Row = ItemColorsOf(AStyle);
    if (!Row)
        return;
    auto Put = [](TColor Value, auto Setter) {
        if (Value != Keep)
            Setter(Value);
    };
    TItemAppearance* A = Appearance;
    Put(Row->Hot, [A](TColor v) { A->SetColorHot(v); });
    Put(Row->HotTo, [A](TColor v) { A->SetColorHotTo(v); });
    Put(Row->MirrorHot, [A](TColor v) { A->SetColorMirrorHot(v); });
    Put(Row->MirrorHotTo, [A](TColor v) { A->SetColorMirrorHotTo(v); });
    Put(Row->BorderHot, [A](TColor v) { A->SetBorderColorHot(v); });
    Put(Row->Sel, [A](TColor v) { A->SetColorSelected(v); });
    Put(Row->SelTo, [A](TColor v) { A->SetColorSelectedTo(v); });
    Put(Row->MirrorSel, [A](TColor v) { A->SetColorMirrorSelected(v); });
    Put(Row->MirrorSelTo, [A](TColor v) { A->SetColorMirrorSelectedTo(v); });
    Put(Row->BorderSel, [A](TColor v) { A->SetBorderColorSelected(v); });
    Put(Row->Border, [A](TColor v) { A->SetBorderColor(v); });
    Put(Row->BorderTop, [A](TColor v) { A->SetBorderColorTop(v); });
    Put(Row->BorderBottom, [A](TColor v) { A->SetBorderColorBottom(v); });
    Put(Row->Edge, [A](TColor v) { A->SetEdgeColor(v); });
    Put(Row->SelText, [A](TColor v) { A->SetColorSelectedText(v); });
    Put(Row->Font, [A](TColor v) { A->GetFont()->SetColor(v); });
}
