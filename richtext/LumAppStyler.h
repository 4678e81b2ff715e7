#pragma once
// Whole-form styling. A TLumFormStyler on a form (or frame) pushes one style,
// or a set of colour tones, to every component of its owner that offers the
// styling interfaces, descending into frames. A TLumAppStyler hands a style,
// accent colour or tones to every form styler registered with it.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "richtext/LumStyles.h"

class TLumAppStyler;

using TApplyStyleEvent = std::function<void(TObject* Sender, TComponent* AComponent, bool& Allow)>;
using TAppliedStyleEvent = std::function<void(TObject* Sender, TComponent* AComponent)>;

namespace LumAppStyler {

// Invisible window that turns the platform's theme-changed message into an
// event.
class TThemeNotifierWindow : public TWinControl {
    QT_CLASS(TThemeNotifierWindow, TWinControl)
public:
    using TWinControl::TWinControl;
    TNotifyEvent OnThemeChange;

protected:
    void WndProc(TMessage& Message) override;
};

} // namespace LumAppStyler

// What both stylers share: the style, the Metro settings, the accent
// colour, the enabled switch, following the system theme and the change
// event. The setters named here behave the same in both.
class TLumCustomStyler : public TComponent {
    QT_CLASS(TLumCustomStyler, TComponent)
public:
    // Outside the designer makes the hidden theme window, parented to
    // `NotifierParent` (none: no parent).
    TLumCustomStyler(TComponent* AOwner, TWinControl* NotifierParent, TColor AppColor);

    virtual void ApplyStyle() = 0;
    int GetVersionNr() const;

    ROZEVizer GetStyle() const { return FStyle; }
    virtual void SetStyle(ROZEVizer Value) = 0;
    bool GetAutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    TMetroStyle GetMetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(TMetroStyle Value);
    bool GetMetro() const { return FMetro; }
    virtual void SetMetro(bool Value);
    TColor GetMetroTextColor() const { return FMetroTextColor; }
    void SetMetroTextColor(TColor Value);
    TColor GetMetroColor() const { return FMetroColor; }
    void SetMetroColor(TColor Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TColor GetAppColor() const { return FAppColor; }
    virtual void SetAppColor(TColor Value) = 0;
    String GetVersion() const;
    void SetVersion(const String&) { }
    LumAppStyler::TThemeNotifierWindow* GetNotifierWindow() const { return FNotifier; }

    TNotifyEvent OnChange;

protected:
    // Rebuilds the tones from the Metro settings and pushes them.
    virtual void ApplyMetroTones() = 0;
    virtual void DoChange();
    // Called by the hidden window, Loaded and the AutoThemeAdapt setter.
    void ThemeChanged();
    bool Designing() const;
    bool Loading() const;

    ROZEVizer FStyle { tsCustom };
    bool FAutoThemeAdapt { false };
    LumAppStyler::TThemeNotifierWindow* FNotifier { nullptr };
    TMetroStyle FMetroStyle { msLight };
    bool FMetro { false };
    TColor FMetroTextColor { clBlack };
    TColor FMetroColor { clHighlight };
    bool FEnabled { true };
    TColor FAppColor { 0 };
};

class TLumFormStyler : public TLumCustomStyler {
    QT_CLASS(TLumFormStyler, TLumCustomStyler)
public:
    explicit TLumFormStyler(TComponent* AOwner);
    ~TLumFormStyler() override;

    void Assign(TPersistent* Source) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Restyles the owner form or frame with Style (when Enabled).
    void ApplyStyle() override;
    void ApplyStyleToForm(TCustomForm* Form, ROZEVizer AStyle);
    void ApplyStyleToFrame(TFrame* Frame, ROZEVizer AStyle);
    void ApplyColorTonesToForm(TCustomForm* Form, const TColorTones& ATones);
    void ApplyColorTonesToFrame(TFrame* Frame, const TColorTones& ATones);
    // Switches to the Metro look (Style becomes tsCustom) and pushes the tones.
    void SetColorTones(const TColorTones& ATones);
    // The styles offered for choosing, each with its style as the item's object.
    static std::unique_ptr<TStringList> GetStyles();
    void HandleStyleSelect(TObject* Sender);

    void SetStyle(ROZEVizer Value) override;
    void SetAppColor(TColor Value) override;
    void SetMetro(bool Value) override;
    TLumAppStyler* GetAppStyle() const { return FAppStyle; }
    void SetAppStyle(TLumAppStyler* Value);
    const TColorTones& GetTones() const { return FTones; }
    TCustomComboBox* GetComboBox() const { return FComboBox; }
    void SetComboBox(TCustomComboBox* Value);

    TApplyStyleEvent OnApplyStyle;
    TApplyStyleEvent OnApplyColorTones;
    TAppliedStyleEvent OnAppliedStyle;
    TAppliedStyleEvent OnAppliedColorTones;

protected:
    void ApplyMetroTones() override;

private:
    friend class TLumAppStyler;
    void LeaveComboBox();
    void StyleComponent(TComponent* AComponent, ROZEVizer AStyle);
    void TonesComponent(TComponent* AComponent, const TColorTones& ATones);

    TLumAppStyler* FAppStyle { nullptr };
    TColorTones FTones;
    TCustomComboBox* FComboBox { nullptr };
};

class TLumAppStyler : public TLumCustomStyler {
    QT_CLASS(TLumAppStyler, TLumCustomStyler)
public:
    explicit TLumAppStyler(TComponent* AOwner);
    // Leaves every registered form styler without an application styler.
    ~TLumAppStyler() override;

    void Assign(TPersistent* Source) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Hands the style settings to every registered form styler (when Enabled).
    void ApplyStyle() override;
    void RegisterFormStyler(TLumFormStyler* AFormStyler);
    void UnRegisterFormStyler(TLumFormStyler* AFormStyler);
    void SetColorTones(const TColorTones& ATones);

    const std::vector<TLumFormStyler*>& GetForms() const { return FForms; }
    const TColorTones& GetTones() const { return FTones; }
    void SetStyle(ROZEVizer Value) override;
    void SetAppColor(TColor Value) override;

protected:
    void ApplyMetroTones() override;

private:
    // The registered form stylers still listed, in order: a styler's
    // handlers may register or unregister others meanwhile.
    template<class F>
    void ForEachFormStyler(F f);

    TColorTones FTones { { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 }, { 0, 0, 0 } };
    std::vector<TLumFormStyler*> FForms;
};
