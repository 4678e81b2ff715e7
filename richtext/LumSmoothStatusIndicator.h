#pragma once
// A small windowless control showing a rounded status badge with a caption,
// such as a running count.

#include <memory>

#include "platform/vcl/Controls.h"
#include "richtext/GDIPProgress.h"

class TLumSmoothStatusIndicator : public TGraphicControl {
    QT_CLASS(TLumSmoothStatusIndicator, TGraphicControl)
public:
    explicit TLumSmoothStatusIndicator(TComponent* AOwner = nullptr);
    ~TLumSmoothStatusIndicator() override;
    // Copies caption, appearance and auto size from another indicator.
    void Assign(TPersistent* Source) override;

    const String& GetCaption() const { return FCaption; }
    // Only a different text is stored (and repaints).
    void SetCaption(const String& value);
    String GetVersion() const { return u"1.0.1.1"; }
    void SetVersion(const String&) { }
    TGDIPStatus* GetAppearance() const { return FAppearance.get(); }
    void SetAppearance(TGDIPStatus* value) { FAppearance->Assign(value); }
    bool GetAutoSize() const { return TGraphicControl::GetAutoSize(); }
    void SetAutoSize(bool value) override;

    void Resize() override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;

protected:
    void Paint() override;

private:
    // Takes the appearance's size when auto-sizing, then repaints.
    void UpdateIndicator();

    String FCaption { u"0" };
    std::unique_ptr<TGDIPStatus> FAppearance;
    bool FSizing { false };
};
