#include <vector>

#include "foundation/VuzErazs.h"
#include "graphics/LumGraphics.h"
#include "platform/rtl/MathUtils.h"

namespace {

// Text counts as markup when it holds a closing or self-closing tag or a
// line break tag in any letter case.
bool IsMarkup(const String& AText)
{
    return AText.find(u"</") != String::npos || AText.find(u"/>") != String::npos
        || StrUpper(AText).find(u"<BR>") != String::npos;
}

// The "<BR/>" written exactly as at its first place when the optimised
// line-by-line path applies, else empty.
String OptimizedLineBreak(bool AOptimized, const String& AText)
{
    if (!AOptimized || !TVuzErazs::IsHTML(AText))
        return {};
    const size_t at = StrUpper(AText).find(u"<BR/>");
    return at == String::npos ? String() : AText.substr(at, 5);
}

// The lines between the separators; a separator at the very end opens no
// further line.
std::vector<String> SplitLines(const String& AText, const String& ASeparator)
{
    std::vector<String> lines;
    size_t start = 0;
    while (true) {
        const size_t at = AText.find(ASeparator, start);
        if (at == String::npos) {
            if (start < AText.size())
                lines.push_back(AText.substr(start));
            break;
        }
        lines.push_back(AText.substr(start, at - start));
        start = at + ASeparator.size();
    }
    return lines;
}

TRectF ToRectF(const TRect& R) { return { float(R.Left), float(R.Top), float(R.Right), float(R.Bottom) }; }

TRect RoundRect(const TRectF& R)
{
    return { RoundToInt(R.Left), RoundToInt(R.Top), RoundToInt(R.Right), RoundToInt(R.Bottom) };
}

constexpr TRectF MeasureArea { 0, 0, 10000, 10000 };

} // namespace

TLumGraphicsHTMLCall TLumGraphics::MakeHTMLCall(const String& AText, const TRectF& ARect, bool AWordWrapping) const
{
    TLumGraphicsHTMLCall call;
    call.Text = AText;
    call.Rect = ARect;
    call.WordWrap = AWordWrapping;
    return call;
}

// ---- measuring ----

TRectF TLumGraphics::CalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping, bool ASupportHTML)
{
    const String lineBreak = OptimizedLineBreak(FOptimizedHTMLDrawing, AText);
    if (lineBreak.empty())
        return InternalCalculateText(AText, ARect, AWordWrapping, ASupportHTML);
    float height = 0;
    for (const String& line : SplitLines(AText, lineBreak)) {
        const TRectF r = InternalCalculateText(line, ARect, AWordWrapping, ASupportHTML);
        height += r.Height();
    }
    TRectF result = ARect;
    result.Bottom = ARect.Top + height;
    return result;
}

TRectF TLumGraphics::InternalCalculateText(const String& AText, const TRectF& ARect, bool AWordWrapping,
    bool ASupportHTML)
{
    TRectF result = ARect;
    if (RoundHalfEven(ARect.Width()) <= 0) {
        result.Bottom = result.Top;
        return result;
    }
    if (AText.empty())
        return { ARect.Left, ARect.Top, ARect.Left, ARect.Top };
    if (!ASupportHTML || !IsMarkup(AText)) {
        result = GetContext()->CalculateText(AText, ARect, AWordWrapping);
        result.Bottom += 1;
        return result;
    }
    TLumGraphicsHTMLCall call = MakeHTMLCall(AText, ARect, AWordWrapping);
    call.Measure = true;
    RenderGraphicsHTML(*this, call);
    result.Right = ARect.Left + call.Width;
    result.Bottom = ARect.Top + call.Height + 1;
    return result;
}

TSizeF TLumGraphics::CalculateTextSize(const String& AText, const TRectF& ARect, bool AWordWrapping,
    bool ASupportHTML)
{
    const TRectF r = CalculateText(AText, ARect, AWordWrapping, ASupportHTML);
    return { r.Width(), r.Height() };
}

float TLumGraphics::CalculateTextWidth(const String& AText, const TRectF& ARect, bool AWordWrapping,
    bool ASupportHTML)
{
    return CalculateText(AText, ARect, AWordWrapping, ASupportHTML).Width();
}

float TLumGraphics::CalculateTextHeight(const String& AText, const TRectF& ARect, bool AWordWrapping,
    bool ASupportHTML)
{
    return CalculateText(AText, ARect, AWordWrapping, ASupportHTML).Height();
}

TRectF TLumGraphics::CalculateText(const String& AText) { return CalculateText(AText, MeasureArea, false, true); }
TSizeF TLumGraphics::CalculateTextSize(const String& AText)
{
    return CalculateTextSize(AText, MeasureArea, false, true);
}
float TLumGraphics::CalculateTextWidth(const String& AText) { return CalculateTextWidth(AText, MeasureArea, false, true); }
float TLumGraphics::CalculateTextHeight(const String& AText)
{
    return CalculateTextHeight(AText, MeasureArea, false, true);
}

TRect TLumGraphics::CalculateText(const String& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML)
{
    return RoundRect(CalculateText(AText, ToRectF(ARect), AWordWrapping, ASupportHTML));
}

TSize TLumGraphics::CalculateTextSize(const String& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML)
{
    const TSizeF size = CalculateTextSize(AText, ToRectF(ARect), AWordWrapping, ASupportHTML);
    return { RoundToInt(size.cx), RoundToInt(size.cy) };
}

int TLumGraphics::CalculateTextWidth(const String& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML)
{
    return RoundToInt(CalculateTextWidth(AText, ToRectF(ARect), AWordWrapping, ASupportHTML));
}

int TLumGraphics::CalculateTextHeight(const String& AText, const TRect& ARect, bool AWordWrapping, bool ASupportHTML)
{
    return RoundToInt(CalculateTextHeight(AText, ToRectF(ARect), AWordWrapping, ASupportHTML));
}

TRect TLumGraphics::CalculateTextInt(const String& AText) { return RoundRect(CalculateText(AText)); }

TSize TLumGraphics::CalculateTextSizeInt(const String& AText)
{
    const TSizeF size = CalculateTextSize(AText);
    return { RoundToInt(size.cx), RoundToInt(size.cy) };
}

int TLumGraphics::CalculateTextWidthInt(const String& AText) { return RoundToInt(CalculateTextWidth(AText)); }
int TLumGraphics::CalculateTextHeightInt(const String& AText) { return RoundToInt(CalculateTextHeight(AText)); }

// ---- drawing ----

String TLumGraphics::DrawText(const TRectF& ARect, const String& AText, String& AControlID, String& AControlValue,
    String& AControlType, bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign,
    TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth,
    float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    const String lineBreak = ATestAnchor ? String() : OptimizedLineBreak(FOptimizedHTMLDrawing, AText);
    if (lineBreak.empty())
        return InternalDrawText(ARect, AText, AControlID, AControlValue, AControlType, AWordWrapping,
            AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor,
            AX, AY);
    TRectF running = ARect;
    for (const String& line : SplitLines(AText, lineBreak)) {
        const TRectF r = CalculateText(line, running, AWordWrapping, ASupportHTML);
        InternalDrawText(TRectF(r.Left, r.Top, r.Right + 1, r.Bottom), line, AControlID, AControlValue,
            AControlType, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight,
            ASupportHTML, ATestAnchor, AX, AY);
        running.Top += r.Height();
        running.Bottom += r.Height();
    }
    return {};
}

String TLumGraphics::DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
    String& AControlID, String& AControlValue, String& AControlType, bool AWordWrapping,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming,
    float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    return DrawText(TRectF(float(ALeft), float(ATop), float(ARight), float(ABottom)), AText, AControlID,
        AControlValue, AControlType, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth,
        AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(const TRect& ARect, const String& AText, String& AControlID, String& AControlValue,
    String& AControlType, bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign,
    TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth,
    float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    return DrawText(ToRectF(ARect), AText, AControlID, AControlValue, AControlType, AWordWrapping, AHorizontalAlign,
        AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(int ALeft, int ATop, int ARight, int ABottom, const String& AText, String& AControlID,
    String& AControlValue, String& AControlType, bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign,
    TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth,
    float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    return DrawText(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), AText, AControlID, AControlValue, AControlType,
        AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML,
        ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(const TRectF& ARect, const String& AText, bool AWordWrapping,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming,
    float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    String id, value, type;
    return DrawText(ARect, AText, id, value, type, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle,
        AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(double ALeft, double ATop, double ARight, double ABottom, const String& AText,
    bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign,
    TLumGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML,
    bool ATestAnchor, float AX, float AY)
{
    return DrawText(TRectF(float(ALeft), float(ATop), float(ARight), float(ABottom)), AText, AWordWrapping,
        AHorizontalAlign, AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(const TRect& ARect, const String& AText, bool AWordWrapping,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming,
    float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    return DrawText(ToRectF(ARect), AText, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle,
        AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(int ALeft, int ATop, int ARight, int ABottom, const String& AText, bool AWordWrapping,
    TLumGraphicsTextAlign AHorizontalAlign, TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming,
    float AAngle, float AMinWidth, float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    return DrawText(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), AText, AWordWrapping, AHorizontalAlign,
        AVerticalAlign, ATrimming, AAngle, AMinWidth, AMinHeight, ASupportHTML, ATestAnchor, AX, AY);
}

String TLumGraphics::DrawText(const TPointF& APoint, const String& AText, float AAngle, bool ASupportHTML,
    bool ATestAnchor, float AX, float AY)
{
    return DrawText(TRectF(APoint.X, APoint.Y, APoint.X + 10000, APoint.Y + 10000), AText, false, gtaLeading,
        gtaLeading, gttNone, AAngle, -1, -1, ASupportHTML, ATestAnchor, AX, AY);
}

namespace {

// Puts the context's fill colour and text angle back however the text
// drawing ends.
class TextStateGuard {
public:
    TextStateGuard(TLumGraphicsContext* AContext, float AAngle)
        : FContext(AContext), FAngle(AAngle), FFillColor(AContext->GetFillColor())
    {
    }
    ~TextStateGuard()
    {
        FContext->ResetTextAngle(FAngle);
        FContext->SetFillColor(FFillColor);
    }
    TextStateGuard(const TextStateGuard&) = delete;
    TextStateGuard& operator=(const TextStateGuard&) = delete;

private:
    TLumGraphicsContext* FContext;
    float FAngle;
    TColor FFillColor;
};

float AlignOffset(TLumGraphicsTextAlign AAlign, float AFree)
{
    switch (AAlign) {
    case gtaCenter:
        return AFree / 2;
    case gtaTrailing:
        return AFree;
    case gtaLeading:
        break;
    }
    return 0;
}

} // namespace

String TLumGraphics::InternalDrawText(const TRectF& ARect, const String& AText, String& AControlID,
    String& AControlValue, String& AControlType, bool AWordWrapping, TLumGraphicsTextAlign AHorizontalAlign,
    TLumGraphicsTextAlign AVerticalAlign, TLumGraphicsTextTrimming ATrimming, float AAngle, float AMinWidth,
    float AMinHeight, bool ASupportHTML, bool ATestAnchor, float AX, float AY)
{
    TLumGraphicsContext* context = GetContext();
    TextStateGuard restore(context, AAngle);
    context->SetFillColor(FFont->GetColor());

    TRectF r = ARect;
    if (AMinHeight > -1 && AMinHeight > r.Height())
        r.Bottom = r.Top + AMinHeight;
    if (AMinWidth > -1 && AMinWidth > r.Width())
        r.Right = r.Left + AMinWidth;
    r = context->SetTextAngle(r, AAngle);

    String result;
    if (ASupportHTML && IsMarkup(AText)) {
        TLumGraphicsHTMLCall measure = MakeHTMLCall(AText, r, AWordWrapping);
        measure.Measure = true;
        RenderGraphicsHTML(*this, measure);
        const float w = measure.Width + 1;
        const float h = measure.Height + 1;
        TRectF target = r;
        if (!AWordWrapping || measure.LineCount < 2) {
            const float x = r.Left + AlignOffset(AHorizontalAlign, r.Width() - w);
            const float y = r.Top + AlignOffset(AVerticalAlign, r.Height() - h);
            target = TRectF(x, y, x + w, y + h);
        }
        auto state = SaveState(true);
        ClipRect(r);
        TLumGraphicsHTMLCall paint = MakeHTMLCall(AText, target, AWordWrapping);
        paint.TestAnchor = ATestAnchor;
        paint.HitPoint = TPoint(RoundToInt(AX), RoundToInt(AY));
        const bool hit = RenderGraphicsHTML(*this, paint);
        RestoreState(std::move(state), true);
        AControlID = paint.ControlID;
        AControlValue = paint.ControlValue;
        AControlType = paint.ControlType;
        if (hit)
            result = paint.Anchor;
    } else if (!ATestAnchor) {
        context->DrawText(AText, r, AWordWrapping, AHorizontalAlign, AVerticalAlign, ATrimming, AAngle);
    }
    return result;
}

String TLumGraphics::ApplyHilight(const String& AText, const String& AHilight, const String& ATag, bool ADoCase)
{
    return GraphicsHTMLHilight(AText, AHilight, ATag, ADoCase);
}
