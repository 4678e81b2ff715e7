#include "graphics/LumGraphicsStyles.h"

#include <memory>

QT_PUBLISHED(TLumGraphicsStyles)

namespace {

constexpr int SampleSize = 200;

TCustomStyleServices* Active()
{
    return TStyleManager::ActiveStyle();
}

// The colour of the element drawn at 200 x 200, two pixels inside the top or
// the bottom edge at the middle column.
TColor SampleElement(const TThemedElementDetails& ADetails, bool ABottom)
{
    TBitmap bitmap(SampleSize, SampleSize);
    TCanvas* canvas = bitmap.GetCanvas();
    Active()->DrawElement(canvas->GetHandle(), ADetails, TRect { 0, 0, SampleSize, SampleSize }, nullptr, 0);
    return canvas->GetPixel(SampleSize / 2, ABottom ? SampleSize - 2 : 2);
}

TColor ElementColor(const TThemedElementDetails& ADetails, TElementColor AKind, TColor AStart = clNone)
{
    TColor color = AStart;
    Active()->GetElementColor(ADetails, AKind, color);
    return color;
}

// Hands the colour back and answers whether it is one.
bool Answer(TColor AValue, TColor& AColor)
{
    AColor = AValue;
    return AValue != clNone;
}

} // namespace

TColor TLumGraphicsStyles::GetElementTopColor(const TThemedElementDetails& ADetails)
{
    return SampleElement(ADetails, false);
}

TColor TLumGraphicsStyles::GetElementBottomColor(const TThemedElementDetails& ADetails)
{
    return SampleElement(ADetails, true);
}

bool TLumGraphicsStyles::StyleServicesEnabled()
{
    TCustomStyleServices* style = Active();
    return style && style->GetEnabled() && style->GetName() != u"Windows";
}

bool TLumGraphicsStyles::GetStyleBackgroundFillColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    const auto details = Active()->GetElementDetails(tgCellNormal);
    TColor c = ElementColor(details, ecFillColor);
    if (c == clNone)
        c = GetElementTopColor(details);
    return Answer(c, AColor);
}

bool TLumGraphicsStyles::GetStyleBackgroundFillColorTo(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    const auto details = Active()->GetElementDetails(tgGradientCellNormal);
    TColor c = ElementColor(details, ecFillColor);
    if (c == clNone)
        c = GetElementBottomColor(details);
    return Answer(c, AColor);
}

bool TLumGraphicsStyles::GetStyleAlternativeBackgroundFillColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(GetElementTopColor(Active()->GetElementDetails(teBackgroundNormal)), AColor);
}

bool TLumGraphicsStyles::GetStyleAlternativeBackgroundFillColorTo(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(ElementColor(Active()->GetElementDetails(teBackgroundNormal), ecGradientColor1), AColor);
}

bool TLumGraphicsStyles::GetStyleBackgroundStrokeColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(ElementColor(Active()->GetElementDetails(tgCellNormal), ecBorderColor), AColor);
}

bool TLumGraphicsStyles::GetStyleLineFillColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(ElementColor(Active()->GetElementDetails(tgCellNormal), ecBorderColor), AColor);
}

bool TLumGraphicsStyles::GetStyleHeaderFillColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(GetElementTopColor(Active()->GetElementDetails(tgFixedCellNormal)), AColor);
}

bool TLumGraphicsStyles::GetStyleHeaderFillColorTo(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(GetElementBottomColor(Active()->GetElementDetails(tgFixedCellNormal)), AColor);
}

bool TLumGraphicsStyles::GetStyleHeaderStrokeColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(ElementColor(Active()->GetElementDetails(tgFixedCellNormal), ecBorderColor), AColor);
}

bool TLumGraphicsStyles::GetStyleSelectionFillColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(GetElementTopColor(Active()->GetElementDetails(tgCellSelected)), AColor);
}

bool TLumGraphicsStyles::GetStyleSelectionFillColorTo(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(GetElementBottomColor(Active()->GetElementDetails(tgCellSelected)), AColor);
}

bool TLumGraphicsStyles::GetStyleTextFontColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    AColor = 0;
    return Answer(ElementColor(Active()->GetElementDetails(tgCellNormal), ecTextColor), AColor);
}

bool TLumGraphicsStyles::GetStyleAlternativeTextFontColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    AColor = 0;
    return Answer(ElementColor(Active()->GetElementDetails(tgCellSelected), ecTextColor), AColor);
}

bool TLumGraphicsStyles::GetStyleDefaultButtonFillColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(GetElementTopColor(Active()->GetElementDetails(tcbButtonNormal)), AColor);
}

bool TLumGraphicsStyles::GetStyleDefaultButtonStrokeColor(TColor& AColor)
{
    if (!StyleServicesEnabled())
        return false;
    return Answer(ElementColor(Active()->GetElementDetails(tcbButtonNormal), ecBorderColor), AColor);
}
