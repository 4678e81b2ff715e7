#include "richtext/LumAppStyler.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"

namespace {

constexpr int StylerVersionNr = 33816577;

bool HasState(const TComponent* c, TComponentStateItem s)
{
    return c->GetComponentState().Contains(s);
}

} // namespace

// ---- LumAppStyler::TThemeNotifierWindow ----

namespace LumAppStyler {

QT_PUBLISHED(TThemeNotifierWindow)

void TThemeNotifierWindow::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_THEMECHANGED && OnThemeChange)
        OnThemeChange(this);
    TWinControl::WndProc(Message);
}

} // namespace LumAppStyler

// ---- TLumCustomStyler ----

QT_PUBLISHED(TLumCustomStyler, QT_PROP_T(AppColor, u"TColor"), QT_PROP(AutoThemeAdapt), QT_PROP(Enabled),
    QT_PROP(Metro), QT_PROP_T(MetroColor, u"TColor"), QT_PROP_T(MetroTextColor, u"TColor"), QT_PROP(MetroStyle),
    QT_PROP(Style), QT_PROP(Version), QT_EVENT(OnChange))

TLumCustomStyler::TLumCustomStyler(TComponent* AOwner, TWinControl* NotifierParent, TColor AppColor)
    : TComponent(AOwner), FAppColor(AppColor)
{
    if (Designing())
        return;
    FNotifier = new LumAppStyler::TThemeNotifierWindow(this);
    FNotifier->SetVisible(false);
    if (NotifierParent)
        FNotifier->SetParent(NotifierParent);
    FNotifier->OnThemeChange = [this](TObject*) { ThemeChanged(); };
}

bool TLumCustomStyler::Designing() const
{
    return IsDesigning(this);
}

bool TLumCustomStyler::Loading() const
{
    return HasState(this, csLoading);
}

int TLumCustomStyler::GetVersionNr() const
{
    return StylerVersionNr;
}

String TLumCustomStyler::GetVersion() const
{
    const auto v = unsigned(GetVersionNr());
    return IntToStr(Int64(v >> 24)) + u"." + IntToStr(Int64((v >> 16) & 0xFF)) + u"." + IntToStr(Int64((v >> 8) & 0xFF))
        + u"." + IntToStr(Int64(v & 0xFF));
}

void TLumCustomStyler::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TLumCustomStyler::ThemeChanged()
{
    if (FAutoThemeAdapt)
        SetStyle(StyleFromSystemTheme(false));
}

void TLumCustomStyler::SetAutoThemeAdapt(bool Value)
{
    FAutoThemeAdapt = Value;
    ThemeChanged();
}

void TLumCustomStyler::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    if (FEnabled)
        ApplyStyle();
}

void TLumCustomStyler::SetMetro(bool Value)
{
    if (FMetro == Value)
        return;
    FMetro = Value;
    ApplyMetroTones();
}

void TLumCustomStyler::SetMetroColor(TColor Value)
{
    if (FMetroColor == Value)
        return;
    FMetroColor = Value;
    ApplyMetroTones();
}

void TLumCustomStyler::SetMetroStyle(TMetroStyle Value)
{
    if (FMetroStyle == Value)
        return;
    FMetroStyle = Value;
    ApplyMetroTones();
}

void TLumCustomStyler::SetMetroTextColor(TColor Value)
{
    if (FMetroTextColor == Value)
        return;
    FMetroTextColor = Value;
    ApplyMetroTones();
}

// ---- TLumFormStyler ----

QT_PUBLISHED(TLumFormStyler, QT_PROP(AppStyle), QT_PROP(ComboBox), QT_EVENT(OnApplyStyle), QT_EVENT(OnAppliedStyle),
    QT_EVENT(OnApplyColorTones), QT_EVENT(OnAppliedColorTones))

namespace {

// The hidden window's parent: the first windowed control up the owner chain.
TWinControl* FirstWindowedOwner(TComponent* AOwner)
{
    for (TComponent* o = AOwner; o; o = o->GetOwner())
        if (auto* w = dynamic_cast<TWinControl*>(o))
            return w;
    return nullptr;
}

// A styler newly dropped in the designer starts with an accent colour.
TColor InitialAppColor(TComponent* AOwner)
{
    const bool dropped = IsDesigning(AOwner) && !HasState(AOwner, csLoading) && !HasState(AOwner, csReading);
    return dropped ? TColor(0xE29E00) : TColor(0);
}

} // namespace

TLumFormStyler::TLumFormStyler(TComponent* AOwner)
    : TLumCustomStyler(AOwner, FirstWindowedOwner(AOwner), InitialAppColor(AOwner))
{
    DefaultColorTones(FTones);
}

TLumFormStyler::~TLumFormStyler()
{
    Destroying();
    if (FAppStyle && !Designing())
        FAppStyle->UnRegisterFormStyler(this);
    LeaveComboBox();
}

// The combo box outlives this styler or moves on to another: its selection
// event must no longer reach here.
void TLumFormStyler::LeaveComboBox()
{
    if (!FComboBox)
        return;
    FComboBox->OnSelect = nullptr;
    FComboBox->RemoveFreeNotification(this);
    FComboBox = nullptr;
}

void TLumFormStyler::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TLumFormStyler*>(Source)) {
        SetAutoThemeAdapt(other->FAutoThemeAdapt);
        SetStyle(other->FStyle);
        return;
    }
    TLumCustomStyler::Assign(Source);
}

void TLumFormStyler::Loaded()
{
    TLumCustomStyler::Loaded();
    if (!Designing()) {
        if (FAppStyle) {
            SetStyle(FAppStyle->GetStyle());
            FTones = FAppStyle->GetTones();
            SetMetro(FAppStyle->GetMetro());
            SetMetroStyle(FAppStyle->GetMetroStyle());
            SetMetroTextColor(FAppStyle->GetMetroTextColor());
            SetMetroColor(FAppStyle->GetMetroColor());
        } else {
            // Through tsCustom and back, so the loaded style is applied once.
            const ROZEVizer loaded = FStyle;
            SetStyle(tsCustom);
            SetStyle(loaded);
        }
        if (FMetro)
            SetColorTones(FTones);
        ThemeChanged();
    }
}

void TLumFormStyler::Notification(TComponent* AComponent, TOperation Operation)
{
    TLumCustomStyler::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FAppStyle)
        FAppStyle = nullptr;
    if (AComponent == FComboBox)
        FComboBox = nullptr;
}

void TLumFormStyler::StyleComponent(TComponent* AComponent, ROZEVizer AStyle)
{
    auto* ex = Supports<ILumStyleEx>(AComponent);
    auto* plain = ex ? nullptr : Supports<ILumStyle>(AComponent);
    if (!ex && !plain)
        return;
    bool allow = true;
    if (OnApplyStyle)
        OnApplyStyle(this, AComponent, allow);
    if (!allow)
        return;
    if (ex)
        ex->SetComponentStyleAndAppColor(AStyle, FAppColor);
    else
        plain->SetComponentStyle(AStyle);
    if (OnAppliedStyle)
        OnAppliedStyle(this, AComponent);
}

void TLumFormStyler::TonesComponent(TComponent* AComponent, const TColorTones& ATones)
{
    auto* tones = Supports<ILumTones>(AComponent);
    if (!tones)
        return;
    bool allow = true;
    if (OnApplyColorTones)
        OnApplyColorTones(this, AComponent, allow);
    if (!allow)
        return;
    tones->SetColorTones(ATones);
    if (OnAppliedColorTones)
        OnAppliedColorTones(this, AComponent);
}

void TLumFormStyler::ApplyStyleToForm(TCustomForm* Form, ROZEVizer AStyle)
{
    if (!Form)
        return;
    switch (AStyle) {
    case tsOffice2013White:
    case tsOffice2016White:
    case tsOffice2019White: Form->SetColor(clWhite); break;
    case tsOffice2013LightGray: Form->SetColor(0xC0C0C0); break;
    case tsOffice2013Gray:
    case tsOffice2016Gray: Form->SetColor(0x808080); break;
    case tsOffice2016Black:
    case tsOffice2019Black: Form->SetColor(clBlack); break;
    case tsOffice2019Gray: Form->SetColor(0x666666); break;
    default: Form->SetColor(clBtnFace); break;
    }
    StyleComponent(Form, AStyle);
    // The count is read afresh each round: a handler may add or free components.
    for (int i = 0; i < Form->GetComponentCount(); ++i) {
        TComponent* c = Form->GetComponent(i);
        if (auto* frame = dynamic_cast<TFrame*>(c))
            ApplyStyleToFrame(frame, AStyle);
        if (i < Form->GetComponentCount() && Form->GetComponent(i) == c)
            StyleComponent(c, AStyle);
    }
}

void TLumFormStyler::ApplyStyleToFrame(TFrame* Frame, ROZEVizer AStyle)
{
    if (!Frame)
        return;
    for (int i = 0; i < Frame->GetComponentCount(); ++i) {
        TComponent* c = Frame->GetComponent(i);
        StyleComponent(c, AStyle);
        if (i < Frame->GetComponentCount() && Frame->GetComponent(i) == c)
            if (auto* frame = dynamic_cast<TFrame*>(c))
                ApplyStyleToFrame(frame, AStyle);
    }
}

void TLumFormStyler::ApplyColorTonesToForm(TCustomForm* Form, const TColorTones& ATones)
{
    if (!Form)
        return;
    TonesComponent(Form, ATones);
    for (int i = 0; i < Form->GetComponentCount(); ++i) {
        TComponent* c = Form->GetComponent(i);
        if (auto* frame = dynamic_cast<TFrame*>(c))
            ApplyColorTonesToFrame(frame, ATones);
        if (i < Form->GetComponentCount() && Form->GetComponent(i) == c)
            TonesComponent(c, ATones);
    }
}

void TLumFormStyler::ApplyColorTonesToFrame(TFrame* Frame, const TColorTones& ATones)
{
    if (!Frame)
        return;
    for (int i = 0; i < Frame->GetComponentCount(); ++i) {
        TComponent* c = Frame->GetComponent(i);
        TonesComponent(c, ATones);
        if (i < Frame->GetComponentCount() && Frame->GetComponent(i) == c)
            if (auto* frame = dynamic_cast<TFrame*>(c))
                ApplyColorTonesToFrame(frame, ATones);
    }
}

void TLumFormStyler::ApplyStyle()
{
    if (!FEnabled)
        return;
    TComponent* owner = GetOwner();
    if (auto* form = dynamic_cast<TCustomForm*>(owner))
        ApplyStyleToForm(form, FStyle);
    else if (auto* frame = dynamic_cast<TFrame*>(owner))
        ApplyStyleToFrame(frame, FStyle);
    DoChange();
}

void TLumFormStyler::SetColorTones(const TColorTones& ATones)
{
    FMetro = true;
    FStyle = tsCustom;
    TComponent* owner = GetOwner();
    if (auto* form = dynamic_cast<TCustomForm*>(owner))
        ApplyColorTonesToForm(form, ATones);
    else if (auto* frame = dynamic_cast<TFrame*>(owner))
        ApplyColorTonesToFrame(frame, ATones);
}

void TLumFormStyler::ApplyMetroTones()
{
    if (!FEnabled)
        return;
    MetroColorTones(FMetroStyle == msLight, FMetroColor, FMetroTextColor, FTones);
    if (FStyle == tsCustom && FMetro)
        SetColorTones(FTones);
}

void TLumFormStyler::SetStyle(ROZEVizer Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (FStyle == tsCustom || Loading())
        return;
    ApplyStyle();
}

void TLumFormStyler::SetAppColor(TColor Value)
{
    if (FAppColor == Value)
        return;
    FAppColor = Value;
    if (FStyle == tsCustom || Loading())
        return;
    ApplyStyle();
}

// Switching Metro off leaves the tones as they are.
void TLumFormStyler::SetMetro(bool Value)
{
    if (FMetro == Value)
        return;
    FMetro = Value;
    if (FMetro)
        ApplyMetroTones();
}

void TLumFormStyler::SetAppStyle(TLumAppStyler* Value)
{
    TLumAppStyler* old = FAppStyle;
    if (old && old != Value) {
        // Leaving the old list too: it would otherwise keep a pointer to this
        // styler past its destruction.
        old->UnRegisterFormStyler(this);
        old->RemoveFreeNotification(this);
    }
    FAppStyle = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    if (!Loading())
        SetStyle(Value->GetStyle());
    if (!Designing())
        Value->RegisterFormStyler(this);
}

void TLumFormStyler::SetComboBox(TCustomComboBox* Value)
{
    if (FComboBox != Value)
        LeaveComboBox();
    FComboBox = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Value->GetItems()->Assign(GetStyles().get());
    Value->OnSelect = [this](TObject* Sender) { HandleStyleSelect(Sender); };
    Value->SetStyle(csDropDownList);
    TStrings* items = Value->GetItems();
    for (int i = 0; i < items->GetCount(); ++i)
        if (reinterpret_cast<std::intptr_t>(items->GetObjects(i)) == std::intptr_t(FStyle)) {
            Value->SetItemIndex(i);
            break;
        }
}

void TLumFormStyler::HandleStyleSelect(TObject*)
{
    if (!FComboBox)
        return;
    const int index = FComboBox->GetItemIndex();
    if (index < 0 || index >= FComboBox->GetItems()->GetCount())
        return;
    const auto value = reinterpret_cast<std::intptr_t>(FComboBox->GetItems()->GetObjects(index));
    // An item whose object is no style is ignored.
    if (value >= tsOffice2003Blue && value <= tsOffice2019Black)
        SetStyle(ROZEVizer(value));
}

std::unique_ptr<TStringList> TLumFormStyler::GetStyles()
{
    static const struct {
        const Char* Text;
        ROZEVizer Style;
    } styles[] = {
        { u"Office 2003 Blue", tsOffice2003Blue }, { u"Office 2003 Silver", tsOffice2003Silver },
        { u"Office 2003 Olive", tsOffice2003Olive }, { u"Office 2003 Classic", tsOffice2003Classic },
        { u"Office 2007 Blue", tsOffice2007Luna }, { u"Office 2007 Silver", tsOffice2007Silver },
        { u"Office 2007 Black", tsOffice2007Obsidian }, { u"Windows XP", tsWindowsXP },
        { u"Windows Vista", tsWindowsVista }, { u"Windows 7", tsWindows7 }, { u"Windows 8", tsWindows8 },
        { u"Windows 10", tsWindows10 }, { u"Terminal", tsTerminal }, { u"Office 2010 Blue", tsOffice2010Blue },
        { u"Office 2010 Silver", tsOffice2010Silver }, { u"Office 2010 Black", tsOffice2010Black },
        { u"Office 2013 White", tsOffice2013White }, { u"Office 2013 Light gray", tsOffice2013LightGray },
        { u"Office 2013 Gray", tsOffice2013Gray }, { u"Office 2016 White", tsOffice2016White },
        { u"Office 2016 Gray", tsOffice2016Gray }, { u"Office 2016 Black", tsOffice2016Black },
        { u"Office 2019 White", tsOffice2019White }, { u"Office 2019 Gray", tsOffice2019Gray },
        { u"Office 2019 Black", tsOffice2019Black }, { u"Custom", tsCustom },
    };
    auto list = std::make_unique<TStringList>();
    for (const auto& s : styles)
        list->AddObject(s.Text, reinterpret_cast<TObject*>(std::intptr_t(s.Style)));
    return list;
}

// ---- TLumAppStyler ----

QT_PUBLISHED(TLumAppStyler)

namespace {

TWinControl* MainFormNow()
{
    return Application ? Application->GetMainForm() : nullptr;
}

} // namespace

TLumAppStyler::TLumAppStyler(TComponent* AOwner) : TLumCustomStyler(AOwner, MainFormNow(), clNone) { }

TLumAppStyler::~TLumAppStyler()
{
    Destroying();
    // Emptied first, so the form stylers' own unregistering finds nothing.
    const std::vector<TLumFormStyler*> forms = std::exchange(FForms, {});
    for (TLumFormStyler* f : forms) {
        f->FAppStyle = nullptr;
        RemoveFreeNotification(f);
    }
}

void TLumAppStyler::Notification(TComponent* AComponent, TOperation Operation)
{
    TLumCustomStyler::Notification(AComponent, Operation);
    if (Operation == opRemove)
        std::erase(FForms, AComponent);
}

void TLumAppStyler::Assign(TPersistent* Source)
{
    if (auto* other = dynamic_cast<TLumAppStyler*>(Source)) {
        SetStyle(other->FStyle);
        SetAutoThemeAdapt(other->FAutoThemeAdapt);
        return;
    }
    TLumCustomStyler::Assign(Source);
}

void TLumAppStyler::Loaded()
{
    TLumCustomStyler::Loaded();
    if (!Designing() && FAutoThemeAdapt)
        ThemeChanged();
}

template<class F>
void TLumAppStyler::ForEachFormStyler(F f)
{
    const std::vector<TLumFormStyler*> forms = FForms;
    for (TLumFormStyler* styler : forms)
        if (std::find(FForms.begin(), FForms.end(), styler) != FForms.end())
            f(styler);
}

void TLumAppStyler::ApplyStyle()
{
    if (!FEnabled)
        return;
    ForEachFormStyler([this](TLumFormStyler* f) {
        f->SetMetro(FMetro);
        f->SetMetroStyle(FMetroStyle);
        f->SetMetroColor(FMetroColor);
        f->SetMetroTextColor(FMetroTextColor);
        f->SetAppColor(FAppColor);
        f->SetStyle(FStyle);
        f->SetAppColor(FAppColor);
    });
    DoChange();
}

void TLumAppStyler::RegisterFormStyler(TLumFormStyler* AFormStyler)
{
    if (AFormStyler && std::find(FForms.begin(), FForms.end(), AFormStyler) == FForms.end())
        FForms.push_back(AFormStyler);
}

void TLumAppStyler::UnRegisterFormStyler(TLumFormStyler* AFormStyler)
{
    std::erase(FForms, AFormStyler);
}

void TLumAppStyler::SetColorTones(const TColorTones& ATones)
{
    FTones = ATones;
    FMetro = true;
    FStyle = tsCustom;
    FMetroColor = ATones.Selected.BrushColor;
    if (ATones.Background.BrushColor == clWhite)
        FMetroStyle = msLight;
    else if (ATones.Background.BrushColor == clBlack)
        FMetroStyle = msDark;
    if (!Loading() && !Designing())
        ForEachFormStyler([&](TLumFormStyler* f) { f->SetColorTones(ATones); });
    DoChange();
}

void TLumAppStyler::ApplyMetroTones()
{
    TColorTones tones;
    MetroColorTones(FMetroStyle == msLight, FMetroColor, FMetroTextColor, tones);
    if (FStyle != tsCustom || !FMetro)
        return;
    if (!Loading() && !Designing())
        ForEachFormStyler([&](TLumFormStyler* f) { f->SetColorTones(tones); });
    DoChange();
}

void TLumAppStyler::SetStyle(ROZEVizer Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    if (Loading() || Designing())
        return;
    ApplyStyle();
}

void TLumAppStyler::SetAppColor(TColor Value)
{
    FAppColor = Value;
    if (!Loading() && !Designing())
        ForEachFormStyler([this](TLumFormStyler* f) {
            f->SetStyle(FStyle);
            f->SetAppColor(FAppColor);
        });
    DoChange();
}

// ---- FormStylerStyle ----

ROZEVizer FormStylerStyle(TComponent* Component, ROZEVizer Default)
{
    if (!Component)
        return Default;
    TCustomForm* form = dynamic_cast<TCustomForm*>(Component);
    if (!form) {
        auto* control = dynamic_cast<TControl*>(Component);
        if (!control)
            return Default;
        form = GetParentForm(control);
        if (!form)
            return Default;
    }
    for (int i = 0; i < form->GetComponentCount(); ++i)
        if (auto* styler = dynamic_cast<TLumFormStyler*>(form->GetComponent(i)))
            if (styler->GetEnabled() && styler->GetStyle() != tsCustom)
                return styler->GetStyle();
    return Default;
}
