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

class TLumFormStyler : public TComponent {
    QT_CLASS(TLumFormStyler, TComponent)
public:
    explicit TLumFormStyler(TComponent* AOwner);
    ~TLumFormStyler() override;

    void Assign(TPersistent* Source) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Restyles the owner form or frame with Style (when Enabled).
    void ApplyStyle();
    void ApplyStyleToForm(TCustomForm* Form, ROZEVizer AStyle);
    void ApplyStyleToFrame(TFrame* Frame, ROZEVizer AStyle);
    void ApplyColorTonesToForm(TCustomForm* Form, const TColorTones& ATones);
    void ApplyColorTonesToFrame(TFrame* Frame, const TColorTones& ATones);
    // Switches to the Metro look (Style becomes tsCustom) and pushes the tones.
    void SetColorTones(const TColorTones& ATones);
    // The styles offered for choosing, each with its style as the item's object.
    static std::unique_ptr<TStringList> GetStyles();
    void HandleStyleSelect(TObject* Sender);
    int GetVersionNr() const;

    ROZEVizer GetStyle() const { return FStyle; }
    void SetStyle(ROZEVizer Value);
    TLumAppStyler* GetAppStyle() const { return FAppStyle; }
    void SetAppStyle(TLumAppStyler* Value);
    bool GetAutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    TMetroStyle GetMetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(TMetroStyle Value);
    bool GetMetro() const { return FMetro; }
    void SetMetro(bool Value);
    TColor GetMetroTextColor() const { return FMetroTextColor; }
    void SetMetroTextColor(TColor Value);
    TColor GetMetroColor() const { return FMetroColor; }
    void SetMetroColor(TColor Value);
    const TColorTones& GetTones() const { return FTones; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TCustomComboBox* GetComboBox() const { return FComboBox; }
    void SetComboBox(TCustomComboBox* Value);
    TColor GetAppColor() const { return FAppColor; }
    void SetAppColor(TColor Value);
    String GetVersion() const;
    void SetVersion(const String&) { }
    LumAppStyler::TThemeNotifierWindow* GetNotifierWindow() const { return FNotifier; }

    TNotifyEvent OnChange;
    TApplyStyleEvent OnApplyStyle;
    TApplyStyleEvent OnApplyColorTones;
    TAppliedStyleEvent OnAppliedStyle;
    TAppliedStyleEvent OnAppliedColorTones;

protected:
    // Rebuilds the tones from the Metro settings and pushes them.
    virtual void ApplyMetroTones();
    virtual void DoChange();

private:
    friend class TLumAppStyler;
    void ThemeChanged();
    void LeaveComboBox();
    void StyleComponent(TComponent* AComponent, ROZEVizer AStyle);
    void TonesComponent(TComponent* AComponent, const TColorTones& ATones);
    bool Designing() const;
    bool Loading() const;

    ROZEVizer FStyle { tsCustom };
    TLumAppStyler* FAppStyle { nullptr };
    bool FAutoThemeAdapt { false };
    LumAppStyler::TThemeNotifierWindow* FNotifier { nullptr };
    TMetroStyle FMetroStyle { msLight };
    bool FMetro { false };
    TColor FMetroTextColor { clBlack };
    TColor FMetroColor { clHighlight };
    TColorTones FTones;
    bool FEnabled { true };
    TCustomComboBox* FComboBox { nullptr };
    TColor FAppColor { 0 };
};

class TLumAppStyler : public TComponent {
    QT_CLASS(TLumAppStyler, TComponent)
public:
    explicit TLumAppStyler(TComponent* AOwner);
    // Leaves every registered form styler without an application styler.
    ~TLumAppStyler() override;

    void Assign(TPersistent* Source) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Hands the style settings to every registered form styler (when Enabled).
    void ApplyStyle();
    void RegisterFormStyler(TLumFormStyler* AFormStyler);
    void UnRegisterFormStyler(TLumFormStyler* AFormStyler);
    void SetColorTones(const TColorTones& ATones);
    int GetVersionNr() const;

    const std::vector<TLumFormStyler*>& GetForms() const { return FForms; }
    const TColorTones& GetTones() const { return FTones; }
    ROZEVizer GetStyle() const { return FStyle; }
    void SetStyle(ROZEVizer Value);
    bool GetAutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    TMetroStyle GetMetroStyle() const { return FMetroStyle; }
    void SetMetroStyle(TMetroStyle Value);
    bool GetMetro() const { return FMetro; }
    void SetMetro(bool Value);
    TColor GetMetroTextColor() const { return FMetroTextColor; }
    void SetMetroTextColor(TColor Value);
    TColor GetMetroColor() const { return FMetroColor; }
    void SetMetroColor(TColor Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TColor GetAppColor() const { return FAppColor; }
    void SetAppColor(TColor Value);
    String GetVersion() const;
    void SetVersion(const String&) { }
    LumAppStyler::TThemeNotifierWindow* GetNotifierWindow() const { return FNotifier; }

    TNotifyEvent OnChange;

protected:
    virtual void ApplyMetroTones();
    virtual void DoChange();

private:
    void ThemeChanged();
    bool Designing() const;
    bool Loading() const;

    TColorTones FTones { ZeroTones() };
    std::vector<TLumFormStyler*> FForms;
    ROZEVizer FStyle { tsCustom };
    bool FAutoThemeAdapt { false };
    LumAppStyler::TThemeNotifierWindow* FNotifier { nullptr };
    TMetroStyle FMetroStyle { msLight };
    bool FMetro { false };
    TColor FMetroTextColor { clBlack };
    TColor FMetroColor { clHighlight };
    bool FEnabled { true };
    TColor FAppColor { clNone };

    static constexpr TColorTones ZeroTones()
    {
        constexpr TColorTone zero { 0, 0, 0 };
        return { zero, zero, zero, zero, zero };
    }
};
