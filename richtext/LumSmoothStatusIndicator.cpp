#include "richtext/LumSmoothStatusIndicator.h"

#include "platform/rtl/MathUtils.h"

using namespace LumGDIP;

QT_PUBLISHED(TLumSmoothStatusIndicator, QT_PROP(Caption), QT_PROP(Version), QT_PROP(Appearance), QT_PROP(AutoSize))

TLumSmoothStatusIndicator::TLumSmoothStatusIndicator(TComponent* AOwner)
    : TGraphicControl(AOwner), FAppearance(std::make_unique<TGDIPStatus>())
{
    SetBounds(GetLeft(), GetTop(), 24, 24);
    const TComponentState state = AOwner ? AOwner->GetComponentState() : GetComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csLoading) && !state.Contains(csReading)) {
        TGDIPFill* fill = FAppearance->GetFill();
        fill->SetColor(clRed);
        fill->SetGradientType(gtSolid);
        fill->SetBorderColor(0x808080);
        FAppearance->GetFont()->SetColor(clWhite);
    }
    FAppearance->OnChange = [this](TObject*) { UpdateIndicator(); };
}

TLumSmoothStatusIndicator::~TLumSmoothStatusIndicator()
{
    FAppearance->OnChange = nullptr;
}

void TLumSmoothStatusIndicator::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TLumSmoothStatusIndicator*>(Source);
    if (!s) {
        TGraphicControl::Assign(Source);
        return;
    }
    if (s == this)
        return;
    FCaption = s->FCaption;
    FAppearance->Assign(s->FAppearance.get());
    TGraphicControl::SetAutoSize(s->GetAutoSize());
    UpdateIndicator();
}

void TLumSmoothStatusIndicator::SetCaption(const String& value)
{
    if (FCaption == value)
        return;
    FCaption = value;
    UpdateIndicator();
}

void TLumSmoothStatusIndicator::SetAutoSize(bool value)
{
    if (value == GetAutoSize())
        return;
    TGraphicControl::SetAutoSize(value);
    UpdateIndicator();
}

void TLumSmoothStatusIndicator::UpdateIndicator()
{
    if (GetParent() && GetCanvas() && GetAutoSize() && !FSizing) {
        TGPGraphics g(GetCanvas()->GetHandle());
        FAppearance->CalculateSize(&g, FCaption, 1.0);
        FSizing = true;
        try {
            SetBounds(GetLeft(), GetTop(), FAppearance->GetWidth(), FAppearance->GetHeight());
        } catch (...) {
            FSizing = false;
            throw;
        }
        FSizing = false;
    }
    Invalidate();
}

void TLumSmoothStatusIndicator::Resize()
{
    TGraphicControl::Resize();
    if (!FSizing)
        UpdateIndicator();
}

void TLumSmoothStatusIndicator::ChangeScale(int M, int D, bool isDpiChange)
{
    TGraphicControl::ChangeScale(M, D, isDpiChange);
    const TComponentState state = GetComponentState();
    if (isDpiChange && !(state.Contains(csDesigning) && state.Contains(csLoading))) {
        TFont* font = FAppearance->GetFont();
        font->SetHeight(MulDiv(font->GetHeight(), M, D));
    }
}

void TLumSmoothStatusIndicator::Paint()
{
    TGPGraphics g(GetCanvas()->GetHandle());
    g.SetSmoothingMode(4); // anti-aliased
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    FAppearance->Draw(&g, 0, 0, GetWidth(), GetHeight(), GetAutoSize(), FCaption, 1.0);
}
