#pragma once
// A windowed progress bar painted through a TGDIPProgress appearance. Position
// changes ease towards the new value, a light glow runs along the filled
// part, and the marquee style shows an endless running glow instead of a
// value. It can look transparent over its parent and follows the
// application's styles through ILumStyle and ILumTones.

#include <functional>
#include <memory>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Timers.h"
#include "richtext/GDIPProgress.h"
#include "richtext/LumStyles.h"

enum TProgressBarStyle { pbstNormal, pbstMarquee };
QT_ENUM(TProgressBarStyle, pbstNormal, pbstMarquee)

using TLumSmoothProgressBarPositionChanged = std::function<void(TObject* Sender, double Value)>;

class TLumSmoothProgressBar : public TCustomControl, public ILumStyle, public ILumTones {
    QT_CLASS(TLumSmoothProgressBar, TCustomControl)
    QT_INTERFACES(ILumStyle, ILumTones)
public:
    explicit TLumSmoothProgressBar(TComponent* AOwner = nullptr);
    ~TLumSmoothProgressBar() override;
    // Copies the settings and the shown position from another bar.
    void Assign(TPersistent* Source) override;

    void Next() { SetPosition(FPositionTo + FStep); }
    void Next(double AStep) { SetPosition(FPositionTo + AStep); }
    void Previous() { SetPosition(FPositionTo - FStep); }
    void Previous(double AStep) { SetPosition(FPositionTo - AStep); }
    void GoToStart() { SetPosition(FMinimum); }
    void GoToEnd() { SetPosition(FMaximum); }
    void GoToValue(double AValue) { SetPosition(AValue); }
    bool AnimationInProgress() const;

    void SetComponentStyle(ROZEVizer AStyle) override;
    ROZEVizer GetComponentStyle() const { return FLumStyle; }
    void SetColorTones(const TColorTones& ATones) override;
    void SaveToTheme(const String&) { }
    void LoadFromTheme(const String&) { }
    String GetThemeID() const { return ClassName(); }

    double GetStep() const { return FStep; }
    void SetStep(double value)
    {
        FStep = value;
        Invalidate();
    }
    double GetMinimum() const { return FMinimum; }
    void SetMinimum(double value);
    double GetMaximum() const { return FMaximum; }
    void SetMaximum(double value);
    // The shown position; setting it starts the animation towards the value.
    double GetPosition() const { return FPosition; }
    void SetPosition(double value);
    // The target of the running animation.
    double GetNextPosition() const { return FPositionTo; }
    bool GetGlowAnimation() const { return FGlowAnimation; }
    void SetGlowAnimation(bool value);
    bool GetProgressAnimation() const { return FProgressAnimation; }
    void SetProgressAnimation(bool value);
    TGDIPProgress* GetAppearance() const { return FAppearance.get(); }
    void SetAppearance(TGDIPProgress* value) { FAppearance->Assign(value); }
    String GetVersion() const { return u"1.10.1.2"; }
    void SetVersion(const String&) { }
    TProgressBarStyle GetStyle() const { return FStyle; }
    void SetStyle(TProgressBarStyle value);
    int GetMarqueeInterval() const { return FMarqueeInterval; }
    void SetMarqueeInterval(int value);
    TColor GetMarqueeColor() const { return FMarqueeColor; }
    void SetMarqueeColor(TColor value);
    int GetMarqueeSize() const { return FMarqueeSize; }
    void SetMarqueeSize(int value);
    TGDIPProgressDirection GetDirection() const { return FDirection; }
    void SetDirection(TGDIPProgressDirection value);
    ROZEVizer GetUIStyle() const { return FLumStyle; }
    void SetUIStyle(ROZEVizer value) { SetComponentStyle(value); }

    // Where the running glow peaks, in pixels along the bar.
    double GetGlowPos() const { return FGlowPos; }
    TTimer* GetAnimationTimer() const { return FAnimationTimer.get(); }
    TTimer* GetMarqueeTimer() const { return FMarqueeTimer.get(); }

    void Resize() override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;
    void Dispatch(TMessage& Message) override;

    TGDIPProgressDrawValueEvent OnDrawValue;
    TNotifyEvent OnChange;
    TLumSmoothProgressBarPositionChanged OnPositionChanged;

protected:
    void Paint() override;

private:
    bool ProgressAnimationActive() const;
    bool GlowAnimationActive() const;
    double LimitedPosition(double value) const;
    void KeepPositionInRange();
    TRect BarRect() const { return { 0, 0, GetWidth(), GetHeight() }; }
    // Length of the filled part along the bar's direction.
    float ProgressExtent() const;
    void ShowPosition(double value);
    void PositionChanged(double value);
    void AnimationTimerTick();
    void MarqueeTimerTick();
    // Moves the animation a fifteenth of the remaining way to the target.
    void AnimateProgress();
    void StepGlow();
    void DrawGlow(LumGDIP::TGPGraphics& g);
    // Whether the framework's ordinary painting covers every pixel.
    bool PaintsOpaque() const;
    void WMPaint(TMessage& Message);
    // Lets the parent paint its background into DC under the bar.
    void PaintParentBackground(HDC DC);

    double FStep { 10 };
    double FMinimum { 0 };
    double FMaximum { 100 };
    double FPosition { 0 };
    double FPositionTo { 0 };
    double FPositionTemp { 0 };
    bool FAnimate { false };
    bool FGlowAnimation { true };
    bool FProgressAnimation { true };
    double FGlowPos { -40 };
    int FGlowCount { 3000 };
    TProgressBarStyle FStyle { pbstNormal };
    int FMarqueeInterval { 10 };
    TColor FMarqueeColor { 0x00FF00 };
    int FMarqueeSize { 60 };
    TGDIPProgressDirection FDirection { pbdHorizontal };
    TRect FRect;
    ROZEVizer FLumStyle { tsCustom };
    std::unique_ptr<TGDIPProgress> FAppearance;
    std::unique_ptr<TTimer> FAnimationTimer;
    std::unique_ptr<TTimer> FMarqueeTimer;
};
