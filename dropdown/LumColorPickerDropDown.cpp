#include "dropdown/LumColorPickerDropDown.h"

#include <algorithm>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumDropDownRoutines.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/Timers.h"
#include "platform/vcl/WebColors.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

QT_PUBLISHED(TColorItem, QT_PROP(Caption), QT_PROP_T(Color, u"TColor"), QT_PROP(Hint))
QT_PUBLISHED(TColorItems)
QT_PUBLISHED(TLumColorPickerDropDown, QT_PROP(Columns), QT_PROP(Layout), QT_PROP(Colors), QT_PROP(ItemIndex),
    QT_PROP(ColorBoxWidth), QT_PROP(ColorBoxHeight), QT_PROP(ColorSelectionStyle), QT_PROP(ShowText),
    QT_PROP(ItemAppearance), QT_PROP(ColorValueText), QT_PROP_T(ColorBoxBorderColor, u"TColor"))

// ---- TColorItem ----

void TColorItem::Changed()
{
    auto* Items = dynamic_cast<TColorItems*>(GetCollection());
    if (Items && Items->OnChange)
        Items->OnChange(Items);
}

void TColorItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TColorItem::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Changed();
}

void TColorItem::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TColorItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(Other->FCaption);
    SetColor(Other->FColor);
    FEnabled = Other->FEnabled;
    FHint = Other->FHint;
}

// ---- TLumColorPickerDropDown ----

TLumColorPickerDropDown::TLumColorPickerDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FColors(std::make_unique<TColorItems>(this))
    , FItemAppearance(std::make_unique<TItemAppearance>(this))
{
    // Editing the list does not touch an open selector: EndUpdate does.
    FColors->OnChange = [](TObject*) { };
    FKeyTimer = new TTimer(this);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](TObject*) {
        FKeyTimer->SetEnabled(false);
        FCurSearch.clear();
    };
    SetAutoSize(false);
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetDropDownHeight(200);
    GetDropDownHeader()->SetVisible(false);
    GetDropDownFooter()->SetVisible(false);
    SetCursor(crArrow);
}

TLumColorPickerDropDown::~TLumColorPickerDropDown()
{
    if (FKeyTimer)
        FKeyTimer->SetEnabled(false);
}

void TLumColorPickerDropDown::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        CopyColorsToSelector();
}

void TLumColorPickerDropDown::AddDefaultColors()
{
    struct Entry {
        const char16_t* Caption;
        TColor Color;
    };
    static const Entry Defaults[] = {
        { u"Black", TColor(0x000000) }, { u"Maroon", TColor(0x000080) }, { u"Green", TColor(0x008000) },
        { u"Olive", TColor(0x008080) }, { u"Navy", TColor(0x800000) }, { u"Purple", TColor(0x800080) },
        { u"Teal", TColor(0x808000) }, { u"Gray", TColor(0x808080) }, { u"Silver", TColor(0xC0C0C0) },
        { u"Red", TColor(0x0000FF) }, { u"Lime", TColor(0x00FF00) }, { u"Yellow", TColor(0x00FFFF) },
        { u"Blue", TColor(0xFF0000) }, { u"Fuchsia", TColor(0xFF00FF) }, { u"Aqua", TColor(0xFFFF00) },
        { u"White", TColor(0xFFFFFF) },
    };
    FColors->Clear();
    for (const Entry& e : Defaults) {
        TColorItem* Item = FColors->Add();
        Item->SetCaption(e.Caption);
        Item->SetColor(e.Color);
    }
}

void TLumColorPickerDropDown::SetItemIndex(int Value)
{
    // Below -1 or past the end names no entry.
    if (Value >= FColors->GetCount() || Value < -1)
        return;
    FItemIndex = Value;
    if (Value >= 0)
        FSelectedColor = FColors->GetItem(Value)->GetColor();
    Invalidate();
    if (OnSelect)
        OnSelect(this);
}

void TLumColorPickerDropDown::SetSelectedColor(TColor Value)
{
    if (Value == FSelectedColor)
        return;
    FSelectedColor = ColorToRGB(Value);
    int Found = -1;
    for (int i = 0; i < FColors->GetCount(); ++i)
        if (ColorToRGB(FColors->GetItem(i)->GetColor()) == FSelectedColor) {
            Found = i;
            break;
        }
    SetItemIndex(Found);
    Invalidate();
}

String TLumColorPickerDropDown::GetSelectedColorText()
{
    if (FColorSelectionStyle == csList && FItemIndex >= 0 && FItemIndex < FColors->GetCount())
        return FColors->GetItem(FItemIndex)->GetCaption();
    const TColor c = ColorToRGB(FSelectedColor);
    const unsigned r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    switch (FColorValueText) {
    case cvtNone: return String();
    case cvtHex: return IntToHex(std::uint32_t(FSelectedColor), 6);
    case cvtWebName: return ColorToWebColorName(c);
    case cvtRGB:
        return u"Red:" + IntToStr(r) + u",Green:" + IntToStr(g) + u",Blue:" + IntToStr(b);
    case cvtHTML: return u"#" + IntToHex(r, 2) + IntToHex(g, 2) + IntToHex(b, 2);
    }
    return String();
}

void TLumColorPickerDropDown::SetColorBoxWidth(int Value)
{
    if (FColorBoxWidth == Value)
        return;
    FColorBoxWidth = Value;
    Invalidate();
}

void TLumColorPickerDropDown::SetColorBoxHeight(int Value)
{
    if (FColorBoxHeight == Value)
        return;
    FColorBoxHeight = Value;
    Invalidate();
}

void TLumColorPickerDropDown::SetColorBoxBorderColor(TColor Value)
{
    if (FColorBoxBorderColor == Value)
        return;
    FColorBoxBorderColor = Value;
    Invalidate();
}

void TLumColorPickerDropDown::SetShowText(bool Value)
{
    if (FShowText == Value)
        return;
    FShowText = Value;
    Invalidate();
}

void TLumColorPickerDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    TLumCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(FItemAppearance.get(), AStyle);
}

void TLumColorPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle Style)
{
    TLumCustomDropDown::SetSelectionColorStyle(Style);
    if (FItemSelector)
        FItemSelector->GetItemAppearance()->SetColorStyle(Style);
}

void TLumColorPickerDropDown::CopyColorsToSelector()
{
    if (!FItemSelector)
        return;
    TSelectorItems* Items = FItemSelector->GetItems();
    Items->Clear();
    for (TColorItem* Entry : *FColors) {
        TSelectorItem* Item = Items->Add();
        Item->SetCaption(Entry->GetCaption());
        Item->SetColor(Entry->GetColor());
        Item->SetHint(Entry->GetHint());
    }
}

void TLumColorPickerDropDown::ConfigureListSelector()
{
    if (!FItemSelector)
        return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(FColumns);
    FItemSelector->SetImages(GetImages());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(GetDropDownColor());
    CopyColorsToSelector();
    FItemSelector->SetColorBoxHeight(FColorBoxHeight);
    FItemSelector->SetColorBoxWidth(FColorBoxWidth);
    FItemSelector->SetItemAppearance(FItemAppearance.get());
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject* Sender) { ListItemSelected(Sender); };
    FItemSelector->SetShowHint(GetShowHint());
}

namespace {
template<class C>
C* MakeContent(TLumColorPickerDropDown* Picker, TWinControl* Window, TColor Color)
{
    auto* Control = new C(Picker);
    Control->SetParent(Window);
    Control->SetLeft(0);
    Control->SetTop(0);
    Control->SetColor(Color);
    return Control;
}
} // namespace

void TLumColorPickerDropDown::PrepareListSelector()
{
    if (FItemSelector || !GetDropDownForm())
        return;
    FItemSelector = MakeContent<TLumCustomItemSelector>(this, GetDropDownForm(), GetDropDownColor());
    FItemSelector->SetSelectorType(stColor);
    FItemSelector->SetHeight(150);
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TLumColorPickerDropDown::PrepareColorSelector()
{
    if (!FColorSelector && GetDropDownForm()) {
        FColorSelector = MakeContent<TCustomColorSelector>(this, GetDropDownForm(), GetDropDownColor());
        FColorSelector->LoadDefaultPalette();
    }
    if (FColorSelector) {
        FColorSelector->ArrangeColorBoxes();
        SetControl(FColorSelector);
    }
}

void TLumColorPickerDropDown::PrepareCubePanel()
{
    if (!FColorCubePanel && GetDropDownForm()) {
        FColorCubePanel = MakeContent<TLumColorCubePanel>(this, GetDropDownForm(), GetDropDownColor());
        FColorCubePanel->SetHeight(160);
    }
    if (FColorCubePanel)
        SetControl(FColorCubePanel);
}

void TLumColorPickerDropDown::PrepareSpectrumPanel()
{
    if (!FSpectrumPanel && GetDropDownForm())
        FSpectrumPanel = MakeContent<TLumColorSpectrumPanel>(this, GetDropDownForm(), GetDropDownColor());
    if (FSpectrumPanel)
        SetControl(FSpectrumPanel);
}

void TLumColorPickerDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    switch (FColorSelectionStyle) {
    case csList: PrepareListSelector(); break;
    case csDiscrete: PrepareColorSelector(); break;
    case csColorCube: PrepareCubePanel(); break;
    case csSpectrum: PrepareSpectrumPanel(); break;
    }
}

TControl* TLumColorPickerDropDown::Content() const
{
    switch (FColorSelectionStyle) {
    case csList: return FItemSelector;
    case csDiscrete: return FColorSelector;
    case csColorCube: return FColorCubePanel;
    case csSpectrum: return FSpectrumPanel;
    }
    return nullptr;
}

void TLumColorPickerDropDown::PrepareStyle(bool Opening)
{
    auto Hide = [](TControl* c) {
        if (c)
            c->SetVisible(false);
    };
    switch (FColorSelectionStyle) {
    case csList:
        PrepareListSelector();
        if (!FItemSelector)
            break;
        if (!Opening) {
            Hide(FColorCubePanel);
            Hide(FSpectrumPanel);
            Hide(FColorSelector);
            FItemSelector->SetVisible(true);
        }
        SetControl(FItemSelector);
        ConfigureListSelector();
        if (OnDrawColor)
            FItemSelector->OnDrawItem = [this](TObject*, TCanvas* Canvas, TRect R, int Index) {
                OnDrawColor(this, Canvas, R, Index);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
        FOldItemIndex = FItemIndex;
        if (!Opening)
            SizeListWindow();
        break;
    case csDiscrete:
        PrepareColorSelector();
        if (!FColorSelector)
            break;
        if (!Opening)
            FColorSelector->SetAlign(alNone);
        Hide(FItemSelector);
        Hide(FSpectrumPanel);
        Hide(FColorCubePanel);
        FColorSelector->SetSelectedColor(FSelectedColor);
        FColorSelector->ArrangeColorBoxes();
        FColorSelector->OnItemSelect = [this](TObject* Sender) { DiscreteColorSelected(Sender); };
        FColorSelector->SetItemColorStyle(GetSelectionColorStyle());
        FColorSelector->SetVisible(true);
        break;
    case csColorCube:
        PrepareCubePanel();
        if (!FColorCubePanel)
            break;
        if (!Opening)
            FColorCubePanel->SetAlign(alNone);
        Hide(FItemSelector);
        Hide(FSpectrumPanel);
        Hide(FColorSelector);
        FColorCubePanel->SetSelectedColor(FSelectedColor);
        FColorCubePanel->InitCubeCells();
        if (Opening)
            FColorCubePanel->ResetCube();
        FColorCubePanel->OnSelect = [this](TObject* Sender) { CubeColorSelected(Sender); };
        FColorCubePanel->SetVisible(true);
        if (!Opening)
            FColorCubePanel->ResetCube();
        break;
    case csSpectrum:
        PrepareSpectrumPanel();
        if (!FSpectrumPanel)
            break;
        if (!Opening)
            FSpectrumPanel->SetAlign(alNone);
        Hide(FItemSelector);
        Hide(FColorCubePanel);
        Hide(FColorSelector);
        FSpectrumPanel->SetSelectedColor(FSelectedColor);
        FSpectrumPanel->LayoutSpectrum();
        FSpectrumPanel->OnSelect = [this](TObject* Sender) { SpectrumColorSelected(Sender); };
        FSpectrumPanel->SetVisible(true);
        break;
    }
    FOldSelectedColor = FSelectedColor;
}

void TLumColorPickerDropDown::SizeListWindow()
{
    if (!FItemSelector || !GetDropDownForm())
        return;
    FItemSelector->SetAlign(alNone);
    TSize Size;
    FItemSelector->GetPanelSize(Size);
    if (GetDropDownWidth() < 1)
        FItemSelector->SetWidth(Size.cx);
    if (GetDropDownHeight() < 1)
        FItemSelector->SetHeight(Size.cy);
    TLumCustomDropDown::UpdateDropDownSize();
    if (FItemSelector->GetVertScrollBar()->IsScrollBarVisible())
        GetDropDownForm()->SetWidth(GetDropDownForm()->GetWidth() + GetSystemMetrics(SM_CXVSCROLL));
}

void TLumColorPickerDropDown::SizePanelWindow()
{
    TDropDownForm* Form = GetDropDownForm();
    if (!Form)
        return;
    TControl* C = Content();
    const bool Visible = C && C->GetVisible();
    const int B = GetDropDownBorderWidth();
    Form->SetWidth(Visible ? C->GetWidth() + 2 * B : GetWidth());
    int H = 2 * B;
    if (GetDropDownHeader()->GetVisible())
        H += GetDropDownHeader()->GetHeight();
    if (GetDropDownFooter()->GetVisible())
        H += GetDropDownFooter()->GetHeight();
    if (Visible)
        H += C->GetHeight();
    Form->SetHeight(H);
}

void TLumColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle Value)
{
    if (FColorSelectionStyle == Value)
        return;
    FColorSelectionStyle = Value;
    ForgetUserSize();
    if (GetComponentState().Contains(csDesigning))
        return;
    PrepareStyle(false);
    if (FColorSelectionStyle != csList) {
        if (TControl* C = Content()) {
            C->SetAlign(alNone);
            SizePanelWindow();
            C->SetAlign(alClient);
        }
    } else if (FItemSelector) {
        FItemSelector->SetAlign(alClient);
    }
    if (GetDropDownForm())
        GetDropDownForm()->Invalidate();
}

void TLumColorPickerDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    PrepareStyle(true);
}

void TLumColorPickerDropDown::UpdateDropDownSize()
{
    if (FColorSelectionStyle != csList) {
        TControl* C = Content();
        const TAlign Old = C ? C->GetAlign() : alNone;
        if (C)
            C->SetAlign(alNone);
        SizePanelWindow();
        if (C)
            C->SetAlign(Old);
    } else if (FItemSelector) {
        SizeListWindow();
    } else {
        TLumCustomDropDown::UpdateDropDownSize();
    }
}

void TLumColorPickerDropDown::PlaceDropDownControl()
{
    TLumCustomDropDown::PlaceDropDownControl();
    if (FColorSelectionStyle != csList && GetDropDownForm())
        GetDropDownForm()->SetSizeable(false);
}

void TLumColorPickerDropDown::DoHideDropDown(bool Cancel)
{
    TLumCustomDropDown::DoHideDropDown(Cancel);
    if (!Cancel)
        return;
    if (FColorSelectionStyle == csList && FItemSelector)
        SetItemIndex(FOldItemIndex);
    else if (FColorSelectionStyle == csDiscrete && FColorSelector)
        FColorSelector->SetSelectedColor(FOldSelectedColor);
    // Arrow keys and the wheel moved the colour while the window was open;
    // a cancelled close brings back the colour it had when it opened, even
    // where no entry or box held that colour.
    if (FSelectedColor != FOldSelectedColor) {
        FSelectedColor = FOldSelectedColor;
        if (FColorSelectionStyle == csDiscrete && FColorSelector)
            FColorSelector->SetSelectedColor(FOldSelectedColor);
        Invalidate();
    }
}

void TLumColorPickerDropDown::DropDownFormDestroyed()
{
    FItemSelector = nullptr;
    FColorCubePanel = nullptr;
    FSpectrumPanel = nullptr;
    FColorSelector = nullptr;
}

void TLumColorPickerDropDown::Loaded()
{
    TLumCustomDropDown::Loaded();
    CopyColorsToSelector();
    ConfigureListSelector();
    const TColorSelectionStyle Stored = FColorSelectionStyle;
    SetColorSelectionStyle(Stored == csList ? csDiscrete : csList);
    SetColorSelectionStyle(Stored);
}

template<class F>
void TLumColorPickerDropDown::Internal(F&& Step)
{
    const bool Old = FInternalCall;
    FInternalCall = true;
    struct Reset {
        bool& Flag;
        bool Value;
        ~Reset() { Flag = Value; }
    } Guard { FInternalCall, Old };
    Step();
}

void TLumColorPickerDropDown::ListItemSelected(TObject*)
{
    if (!FItemSelector)
        return;
    SetItemIndex(FItemSelector->GetItemIndex());
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TLumColorPickerDropDown::DiscreteColorSelected(TObject*)
{
    if (!FColorSelector)
        return;
    SetSelectedColor(FColorSelector->GetSelectedColor());
    SetItemIndex(-1);
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TLumColorPickerDropDown::CubeColorSelected(TObject*)
{
    SetSelectedColor(FColorCubePanel->GetSelectedColor());
    SetItemIndex(-1);
    DoHideDropDown(false);
}

void TLumColorPickerDropDown::SpectrumColorSelected(TObject*)
{
    SetSelectedColor(FSpectrumPanel->GetSelectedColor());
    SetItemIndex(-1);
    DoHideDropDown(false);
}

void TLumColorPickerDropDown::DoWheelDown()
{
    if (!GetEnabled() || GetReadOnly())
        return;
    const bool Open = GetDroppedDown();
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (Open)
            FItemSelector->HotNext();
        else
            Internal([&] { FItemSelector->SelectNext(); });
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (Open)
            FColorSelector->HotNext();
        else
            Internal([&] { FColorSelector->SelectNext(); });
    }
}

void TLumColorPickerDropDown::DoWheelUp()
{
    if (!GetEnabled() || GetReadOnly())
        return;
    const bool Open = GetDroppedDown();
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (Open)
            FItemSelector->HotPrevious();
        else
            Internal([&] { FItemSelector->SelectPrevious(); });
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (Open)
            FColorSelector->HotPrevious();
        else
            Internal([&] { FColorSelector->SelectPrevious(); });
    }
}

void TLumColorPickerDropDown::KeyDownMessage(TMessage& Message)
{
    const WORD K = WORD(Message.WParam);
    const bool Open = GetDroppedDown();
    bool Handled = false;
    if (GetEnabled() && Open && K == VK_RETURN) {
        if (FColorSelectionStyle == csList && FItemSelector && FItemSelector->GetItemHot() >= 0) {
            FItemSelector->SetItemIndex(FItemSelector->GetItemHot());
            Handled = true;
        } else if (FColorSelectionStyle == csDiscrete && FColorSelector && FColorSelector->GetItemHot() >= 0) {
            FColorSelector->SetItemIndex(FColorSelector->GetItemHot());
            Handled = true;
        }
    }
    if (!((K >= VK_PRIOR && K <= VK_HOME) || K == VK_UP || K == VK_DOWN))
        TLumCustomDropDown::Dispatch(Message);
    const bool Alt = GetKeyState(VK_MENU) < 0;
    const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    if (!GetEnabled() || Alt)
        return;
    if (FColorSelectionStyle == csList && FItemSelector) {
        TLumCustomItemSelector* S = FItemSelector;
        const int Count = FColors->GetCount();
        auto SelectAndScroll = [&](int v) {
            Internal([&] { S->SetItemIndex(v); });
            S->ScrollItemInView(v);
        };
        switch (K) {
        case VK_RETURN:
            if (!Handled && OnSelect)
                OnSelect(this);
            break;
        case VK_PRIOR:
        case VK_NEXT: {
            if (S->GetItems()->GetCount() != Count)
                ConfigureListSelector();
            const int n = S->GetVisibleItemCount();
            if (n < 1)
                break;
            int v;
            if (K == VK_PRIOR) {
                v = S->GetItemIndex() - n;
                if (v <= 0)
                    v = 0;
            } else {
                v = std::min(S->GetItemIndex() + n, Count - 1);
            }
            SelectAndScroll(v);
            break;
        }
        case VK_END:
            if (Open)
                Internal([&] { S->SelectLast(); });
            else
                SetItemIndex(Count - 1);
            break;
        case VK_HOME:
            if (Open)
                Internal([&] { S->SelectFirst(); });
            else if (Count > 0)
                SetItemIndex(0);
            break;
        case VK_LEFT:
            if (!GetEditorEnabled() && Open)
                Internal([&] { S->SelectPrevious(); });
            break;
        case VK_RIGHT:
            if (!GetEditorEnabled() && Open)
                Internal([&] { S->SelectNext(); });
            break;
        case VK_UP:
        case VK_DOWN:
            if (Open) {
                const int Step = K == VK_UP ? -FColumns : FColumns;
                const int v = S->GetItemIndex() < 0 ? 0 : S->GetItemIndex() + Step;
                if (v >= 0 && v < S->GetItems()->GetCount())
                    SelectAndScroll(v);
            } else if (K == VK_UP) {
                const int v = FItemIndex < 0 ? 0 : FItemIndex - 1;
                if (v >= 0 && v < Count)
                    SetItemIndex(v);
            } else {
                const int v = FItemIndex < 0 ? 0 : FItemIndex + 1;
                if (v < Count)
                    SetItemIndex(v);
            }
            break;
        default:
            if (Ctrl)
                break;
            FCurSearch += Char(K);
            Internal([&] { S->LookupItem(FCurSearch); });
            SetItemIndex(S->GetItemIndex());
            if (!FKeyTimer->GetEnabled())
                FKeyTimer->SetEnabled(true);
            break;
        }
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        Internal([&] { FColorSelector->HandleNavigationKey(K, GetEditorEnabled(), Open); });
        if (K == VK_RETURN && !Handled && OnSelect)
            OnSelect(this);
    }
}

void TLumColorPickerDropDown::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN && !GetComponentState().Contains(csDesigning)) {
        KeyDownMessage(Message);
        return;
    }
    TLumCustomDropDown::Dispatch(Message);
    if (Message.Msg == WM_PAINT)
        PaintSelectedColor();
}

void TLumColorPickerDropDown::DrawFocusedText()
{
    TLumCustomDropDown::DrawFocusedText();
    PaintSelectedColor();
}

void TLumColorPickerDropDown::PaintSelectedColor()
{
    if (!HandleAllocated())
        return;
    HDC DC = GetWindowDC(GetHandle());
    if (!DC)
        return;
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    TRect R(1, 1, GetWidth() - GetDropDownButtonWidth() - 2, GetHeight() - 2);
    const bool Focused = ::GetFocus() == GetHandle();
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, &Canvas, R);
    } else if (FSelectedColor != clNone) {
        const TColor Back = GetEditorEnabled() || !Focused ? GetColor() : clHighlight;
        Canvas.GetPen()->SetColor(Back);
        Canvas.GetBrush()->SetColor(Back);
        Canvas.Rectangle(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
        const int L = R.Left + 4, T = (GetHeight() - FColorBoxHeight) / 2 + R.Top;
        const TRect Box(L, T, L + FColorBoxWidth, T + FColorBoxHeight);
        Canvas.GetPen()->SetColor(FColorBoxBorderColor);
        Canvas.GetBrush()->SetColor(FSelectedColor);
        Canvas.Rectangle(Box);
        if (FShowText) {
            Canvas.GetFont()->Assign(GetFont());
            if (IsVCLStyleActive())
                Canvas.GetFont()->SetColor(StyleServices()->GetSystemColor(clWindowText));
            if (!GetEditorEnabled() && Focused)
                Canvas.GetFont()->SetColor(clHighlightText);
            const String Text = GetSelectedColorText();
            TRect T2(Box.Right + 4, R.Top, R.Right, R.Bottom);
            if (Focused) {
                Canvas.GetBrush()->SetColor(clHighlight);
            } else {
                Canvas.GetBrush()->SetColor(GetColor());
                Canvas.GetBrush()->SetStyle(bsClear);
            }
            if (Text.find(u"</") != String::npos) {
                TSize Size;
                LumDropDown::DrawHTMLCaption(&Canvas, Text, T2, Size, GetDPIScale(), GetHandle(), true, GetImages());
            } else {
                DrawText(Canvas.GetHandle(), Text.c_str(), int(Text.size()), &T2,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
            }
        }
    }
    Canvas.SetHandle(HDC());
    ReleaseDC(GetHandle(), DC);
}
