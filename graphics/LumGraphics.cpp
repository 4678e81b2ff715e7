#include "graphics/LumGraphics.h"

#include <cctype>

#include "graphics/LumBitmap.h"
#include "graphics/LumGeometry.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TLumGraphics, QT_PROP_RO(Fill), QT_PROP_RO(Stroke), QT_PROP_RO(Font),
    QT_PROP(OptimizedHTMLDrawing), QT_PROP_T(HighlightColor, u"TColor"), QT_PROP_T(HighlightTextColor, u"TColor"),
    QT_PROP(HighlightFontStyle), QT_PROP_T(URLColor, u"TColor"), QT_PROP(URLUnderline))

namespace {

// Raises the re-entry counter of the state setters for one call, also when
// the context raises.
class BlockUpdateGuard {
public:
    explicit BlockUpdateGuard(int& ACounter) : FCounter(ACounter) { ++FCounter; }
    ~BlockUpdateGuard() { --FCounter; }
    BlockUpdateGuard(const BlockUpdateGuard&) = delete;
    BlockUpdateGuard& operator=(const BlockUpdateGuard&) = delete;

private:
    int& FCounter;
};

TRectF ToRectF(const TRect& R) { return { float(R.Left), float(R.Top), float(R.Right), float(R.Bottom) }; }

TRectF ToRectF(double ALeft, double ATop, double ARight, double ABottom)
{
    return { float(ALeft), float(ATop), float(ARight), float(ABottom) };
}

TPointF ToPointF(const TPoint& P) { return { float(P.X), float(P.Y) }; }

} // namespace

// ---- construction ----

TLumGraphics::TLumGraphics(TCanvas* ACanvas, bool ANative) : FActiveCanvas(ACanvas), FNative(ANative)
{
    CreateContext(ANative ? NativeContextClass() : GeneralContextClass(), 1, 1);
    CreateStateObjects();
    FHighlightColor = 0xFF0000;
    FHighlightTextColor = 0xFFFFFF;
    InitializeState();
}

TLumGraphics::TLumGraphics(BitmapCanvasTag, int AWidth, int AHeight, bool ANative) : FNative(ANative)
{
    FBitmap = std::make_unique<TBitmap>(std::max(AWidth, 0), std::max(AHeight, 0));
    FActiveCanvas = FBitmap->GetCanvas();
    CreateContext(ANative ? NativeContextClass() : GeneralContextClass(), float(AWidth), float(AHeight));
    CreateStateObjects();
    InitializeState();
}

std::unique_ptr<TLumGraphics> TLumGraphics::CreateNative(TCanvas* ACanvas)
{
    return std::make_unique<TLumGraphics>(ACanvas, true);
}

std::unique_ptr<TLumGraphics> TLumGraphics::CreateBitmapCanvas(int AWidth, int AHeight, bool ANative, bool)
{
    return std::unique_ptr<TLumGraphics>(new TLumGraphics(BitmapCanvasTag {}, AWidth, AHeight, ANative));
}

std::unique_ptr<TLumGraphics> TLumGraphics::CreateNativeBitmapCanvas(int AWidth, int AHeight)
{
    return CreateBitmapCanvas(AWidth, AHeight, true, true);
}

TLumGraphics::~TLumGraphics()
{
    FContextNative.reset();
    FContextGeneral.reset();
    FFont.reset();
    FFill->OnChanged = nullptr;
    FFill.reset();
    FStroke->OnChanged = nullptr;
    FStroke.reset();
    FPictureContainer = nullptr;
    FImageList = nullptr;
    FBitmap.reset();
}

void TLumGraphics::CreateContext(TLumGraphicsContextClass AClass, float AWidth, float AHeight)
{
    auto context = AClass(this, FActiveCanvas);
    context->SetSize(AWidth, AHeight);
    (FNative ? FContextNative : FContextGeneral) = std::move(context);
}

void TLumGraphics::CreateStateObjects()
{
    FFill = std::make_unique<TLumGraphicsFill>(gfkSolid, 0xFFFFFF, 0x808080, gcNull, gcNull);
    FFill->OnChanged = [this](TObject* Sender) { FillChanged(Sender); };
    FStroke = std::make_unique<TLumGraphicsStroke>(gskSolid, 0xC0C0C0);
    FStroke->OnChanged = [this](TObject* Sender) { StrokeChanged(Sender); };
    FFont = std::make_unique<TLumGraphicsFont>();
    FFont->OnChanged = [this](TObject* Sender) { FontChanged(Sender); };
}

void TLumGraphics::InitializeState()
{
    FURLColor = 0xFF0000;
    FURLUnderline = true;
    SetFill(FFill.get());
    SetStroke(FStroke.get());
    SetFont(FFont.get());
}

void TLumGraphics::FillChanged(TObject*) { SetFill(FFill.get()); }
void TLumGraphics::StrokeChanged(TObject*) { SetStroke(FStroke.get()); }
void TLumGraphics::FontChanged(TObject*) { SetFont(FFont.get()); }

void TLumGraphics::Assign(TLumGraphics* ASource)
{
    if (!ASource || ASource == this)
        return;
    FFill->BeginUpdate();
    FFill->Assign(ASource->GetFill());
    FFill->EndUpdate();
    FStroke->BeginUpdate();
    FStroke->Assign(ASource->GetStroke());
    FStroke->EndUpdate();
    FFont->BeginUpdate();
    FFont->AssignSource(ASource->GetFont());
    FFont->EndUpdate();
}

// ---- scene, printing, pens, transform ----

void TLumGraphics::BeginScene() { GetContext()->BeginScene(); }
void TLumGraphics::EndScene() { GetContext()->EndScene(); }
void TLumGraphics::BeginPrinting() { GetContext()->BeginPrinting(); }
void TLumGraphics::EndPrinting() { GetContext()->EndPrinting(); }
void TLumGraphics::StartSpecialPen() { GetContext()->StartSpecialPen(); }
void TLumGraphics::StopSpecialPen() { GetContext()->StopSpecialPen(); }
TLumGraphicsMatrix TLumGraphics::GetMatrix() { return GetContext()->GetMatrix(); }
void TLumGraphics::SetMatrix(const TLumGraphicsMatrix& AMatrix) { GetContext()->SetMatrix(AMatrix); }

// ---- state ----
// The owned objects echo their change back through these setters; the
// counter stops that echo. The own object is never assigned from itself.

void TLumGraphics::SetFill(TLumGraphicsFill* AFill)
{
    if (FBlockUpdate > 0 || !AFill)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFill(AFill);
    if (AFill != FFill.get())
        FFill->Assign(AFill);
}

void TLumGraphics::SetFillKind(TLumGraphicsFillKind AKind)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFillKind(AKind);
    FFill->SetKind(AKind);
}

void TLumGraphics::SetFillColor(TColor AColor)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFillColor(AColor);
    FFill->SetColor(AColor);
}

void TLumGraphics::SetStroke(TLumGraphicsStroke* AStroke)
{
    if (FBlockUpdate > 0 || !AStroke)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetStroke(AStroke);
    if (AStroke != FStroke.get())
        FStroke->Assign(AStroke);
}

void TLumGraphics::SetStrokeKind(TLumGraphicsStrokeKind AKind)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetStrokeKind(AKind);
    FStroke->SetKind(AKind);
}

void TLumGraphics::SetStrokeColor(TColor AColor)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetStrokeColor(AColor);
    FStroke->SetColor(AColor);
}

void TLumGraphics::SetStrokeWidth(float AWidth)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetStrokeWidth(AWidth);
    FStroke->SetWidth(AWidth);
}

void TLumGraphics::SetFont(TLumGraphicsFont* AFont)
{
    if (FBlockUpdate > 0 || !AFont)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFont(AFont);
    if (AFont != FFont.get())
        FFont->AssignSource(AFont);
}

void TLumGraphics::SetFontColor(TColor AColor)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFontColor(AColor);
    FFont->SetColor(AColor);
}

void TLumGraphics::SetFontName(const String& AName)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFontName(AName);
    FFont->SetName(AName);
}

void TLumGraphics::SetFontSize(int ASize)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFontSize(ASize);
    FFont->SetSize(ASize);
}

void TLumGraphics::SetFontStyles(TFontStyles AStyle)
{
    if (FBlockUpdate > 0)
        return;
    BlockUpdateGuard guard(FBlockUpdate);
    GetContext()->SetFontStyles(AStyle);
    FFont->SetStyle(AStyle);
}

std::unique_ptr<TLumGraphicsSaveState> TLumGraphics::SaveState(bool ACanvasOnly)
{
    auto state = std::make_unique<TLumGraphicsSaveState>();
    if (!ACanvasOnly) {
        state->SetFill(FFill.get());
        state->SetStroke(FStroke.get());
        state->SetFont(FFont.get());
    }
    GetContext()->SaveState(state.get());
    return state;
}

void TLumGraphics::RestoreState(std::unique_ptr<TLumGraphicsSaveState> AState, bool ACanvasOnly)
{
    if (!AState)
        return;
    if (!ACanvasOnly) {
        SetFill(AState->GetFill());
        SetStroke(AState->GetStroke());
        SetFont(AState->GetFont());
    }
    GetContext()->RestoreState(AState.get());
}

// ---- shapes ----

bool TLumGraphics::IsFillVisible() const
{
    return (FFill->GetColor() != gcNull && FFill->GetKind() != gfkNone) || FFill->GetKind() == gfkTexture;
}

bool TLumGraphics::IsStrokeVisible() const
{
    return FStroke->GetColor() != gcNull && FStroke->GetKind() != gskNone;
}

void TLumGraphics::DrawLine(const TPointF& AFromPoint, const TPointF& AToPoint,
    TLumGraphicsModifyPointMode AModifyPointModeFrom, TLumGraphicsModifyPointMode AModifyPointModeTo)
{
    if (IsStrokeVisible())
        GetContext()->DrawLine(FStroke.get(), AFromPoint, AToPoint, AModifyPointModeFrom, AModifyPointModeTo);
}

void TLumGraphics::DrawLine(const TPoint& AFromPoint, const TPoint& AToPoint,
    TLumGraphicsModifyPointMode AModifyPointModeFrom, TLumGraphicsModifyPointMode AModifyPointModeTo)
{
    DrawLine(ToPointF(AFromPoint), ToPointF(AToPoint), AModifyPointModeFrom, AModifyPointModeTo);
}

void TLumGraphics::DrawPolygon(const TLumGraphicsPathPolygon& APolygon)
{
    if (IsFillVisible()) {
        if (FFill->GetKind() == gfkTexture) {
            TLumGraphicsPath path;
            path.AddPolygon(APolygon);
            DrawTexture(path.GetBounds());
        } else {
            GetContext()->FillPolygon(FFill.get(), APolygon);
        }
    }
    if (IsStrokeVisible())
        GetContext()->DrawPolygon(FStroke.get(), APolygon);
}

void TLumGraphics::DrawPolyline(const TLumGraphicsPathPolygon& APolyline)
{
    if (IsFillVisible())
        GetContext()->FillPolyline(FFill.get(), APolyline);
    if (IsStrokeVisible())
        GetContext()->DrawPolyline(FStroke.get(), APolyline);
}

void TLumGraphics::DrawPath(const TLumGraphicsPath* APath, TLumGraphicsPathDrawMode APathMode)
{
    if (!APath)
        return;
    if (IsFillVisible()) {
        if (FFill->GetKind() == gfkTexture)
            DrawTexture(APath->GetBounds());
        else
            GetContext()->FillPath(FFill.get(), APath, APathMode);
    }
    if (IsStrokeVisible())
        GetContext()->DrawPath(FStroke.get(), APath, APathMode);
}

void TLumGraphics::DrawArc(const TPointF& ACenter, const TPointF& ARadius, float AStartAngle, float ASweepAngle)
{
    // An arc draws its texture only when the fill has a colour; a texture
    // fill without one is not handed on as a plain fill either.
    if (FFill->GetKind() == gfkTexture) {
        if (FFill->GetColor() != gcNull) {
            TLumGraphicsPath path;
            path.AddArc(ACenter, ARadius, AStartAngle, ASweepAngle);
            DrawTexture(path.GetBounds());
        }
    } else if (IsFillVisible()) {
        GetContext()->FillArc(FFill.get(), ACenter, ARadius, AStartAngle, ASweepAngle);
    }
    if (IsStrokeVisible())
        GetContext()->DrawArc(FStroke.get(), ACenter, ARadius, AStartAngle, ASweepAngle);
}

void TLumGraphics::DrawArc(const TPoint& ACenter, const TPoint& ARadius, int AStartAngle, int ASweepAngle)
{
    DrawArc(ToPointF(ACenter), ToPointF(ARadius), float(AStartAngle), float(ASweepAngle));
}

void TLumGraphics::DrawRectangle(const TRectF& ARect, TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ARect, AllSides(), AModifyRectMode);
}

void TLumGraphics::DrawRectangle(const TRectF& ARect, TLumGraphicsSides ASides,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    if (IsFillVisible()) {
        if (FFill->GetKind() == gfkTexture)
            DrawTexture(ARect);
        else
            GetContext()->FillRect(FFill.get(), ARect, AModifyRectMode);
    }
    if (IsStrokeVisible())
        GetContext()->DrawRect(FStroke.get(), ARect, ASides, AModifyRectMode);
}

void TLumGraphics::DrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ToRectF(ALeft, ATop, ARight, ABottom), AllSides(), AModifyRectMode);
}

void TLumGraphics::DrawRectangle(double ALeft, double ATop, double ARight, double ABottom, TLumGraphicsSides ASides,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ToRectF(ALeft, ATop, ARight, ABottom), ASides, AModifyRectMode);
}

void TLumGraphics::DrawRectangle(int ALeft, int ATop, int ARight, int ABottom,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), AllSides(), AModifyRectMode);
}

void TLumGraphics::DrawRectangle(int ALeft, int ATop, int ARight, int ABottom, TLumGraphicsSides ASides,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), ASides, AModifyRectMode);
}

void TLumGraphics::DrawRectangle(const TRect& ARect, TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ToRectF(ARect), AllSides(), AModifyRectMode);
}

void TLumGraphics::DrawRectangle(const TRect& ARect, TLumGraphicsSides ASides,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRectangle(ToRectF(ARect), ASides, AModifyRectMode);
}

void TLumGraphics::DrawRoundRectangle(const TRectF& ARect, int ARounding, TLumGraphicsCorners ACorners,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    if (IsFillVisible()) {
        if (FFill->GetKind() == gfkTexture) {
            TLumGraphicsPath path;
            AddRoundRectPath(path, ARect, float(ARounding), ACorners);
            DrawTexture(path.GetBounds());
        } else {
            GetContext()->FillRoundRect(FFill.get(), ARect, float(ARounding), ACorners, AModifyRectMode);
        }
    }
    if (IsStrokeVisible())
        GetContext()->DrawRoundRect(FStroke.get(), ARect, float(ARounding), ACorners, AModifyRectMode);
}

void TLumGraphics::DrawRoundRectangle(double ALeft, double ATop, double ARight, double ABottom, int ARounding,
    TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawRoundRectangle(ToRectF(ALeft, ATop, ARight, ABottom), ARounding, ACorners, AModifyRectMode);
}

void TLumGraphics::DrawRoundRectangle(int ALeft, int ATop, int ARight, int ABottom, int ARounding,
    TLumGraphicsCorners ACorners, TLumGraphicsModifyRectMode)
{
    DrawRoundRectangle(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), ARounding, ACorners, gcrmShrinkAll);
}

void TLumGraphics::DrawRoundRectangle(const TRect& ARect, int ARounding, TLumGraphicsCorners ACorners,
    TLumGraphicsModifyRectMode)
{
    DrawRoundRectangle(ToRectF(ARect), ARounding, ACorners, gcrmShrinkAll);
}

void TLumGraphics::DrawEllipse(const TRectF& ARect, TLumGraphicsModifyRectMode AModifyRectMode)
{
    if (IsFillVisible()) {
        if (FFill->GetKind() == gfkTexture)
            DrawTexture(ARect);
        else
            GetContext()->FillEllipse(FFill.get(), ARect, AModifyRectMode);
    }
    if (IsStrokeVisible())
        GetContext()->DrawEllipse(FStroke.get(), ARect, AModifyRectMode);
}

void TLumGraphics::DrawEllipse(double ALeft, double ATop, double ARight, double ABottom,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawEllipse(ToRectF(ALeft, ATop, ARight, ABottom), AModifyRectMode);
}

void TLumGraphics::DrawEllipse(int ALeft, int ATop, int ARight, int ABottom,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawEllipse(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), AModifyRectMode);
}

void TLumGraphics::DrawEllipse(const TRect& ARect, TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawEllipse(ToRectF(ARect), AModifyRectMode);
}

void TLumGraphics::DrawFocusRectangle(const TRectF& ARect, TColor AColor, TLumGraphicsModifyRectMode AModifyRectMode)
{
    GetContext()->DrawFocusRectangle(FStroke.get(), ARect, AColor, AModifyRectMode);
}

void TLumGraphics::DrawFocusRectangle(double ALeft, double ATop, double ARight, double ABottom, TColor AColor,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawFocusRectangle(ToRectF(ALeft, ATop, ARight, ABottom), AColor, AModifyRectMode);
}

void TLumGraphics::DrawFocusRectangle(int ALeft, int ATop, int ARight, int ABottom, TColor AColor,
    TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawFocusRectangle(ToRectF(Rect(ALeft, ATop, ARight, ABottom)), AColor, AModifyRectMode);
}

void TLumGraphics::DrawFocusRectangle(const TRect& ARect, TColor AColor, TLumGraphicsModifyRectMode AModifyRectMode)
{
    DrawFocusRectangle(ToRectF(ARect), AColor, AModifyRectMode);
}

void TLumGraphics::DrawFocusPath(const TLumGraphicsPath* APath, TColor AColor)
{
    if (APath)
        GetContext()->DrawFocusPath(FStroke.get(), APath, AColor);
}

void TLumGraphics::ClipRect(const TRectF& ARect) { GetContext()->ClipRect(ARect); }
void TLumGraphics::ClipRect(const TRect& ARect) { ClipRect(ToRectF(ARect)); }

// The fill's picture laid into ARect by the fill's texture mode.
void TLumGraphics::DrawTexture(const TRectF& ARect)
{
    TLumBitmap* texture = FFill->GetTexture();
    if (!texture || texture->GetGraphic() == nullptr || texture->GetGraphic()->GetEmpty())
        return;
    const float w = float(texture->GetWidth());
    const float h = float(texture->GetHeight());
    if (w <= 0 || h <= 0)
        return;
    const TRectF source(0, 0, w, h);
    switch (FFill->GetTextureMode()) {
    case gtmOriginal: {
        const TRectF target = RectFIntersect(TRectF(ARect.Left, ARect.Top, ARect.Left + w, ARect.Top + h), ARect);
        DrawBitmapPart(TRectF(0, 0, target.Width(), target.Height()), target, texture, false, false, false, false);
        break;
    }
    case gtmFit:
        DrawBitmapPart(source, SnapRectFToPixel(RectFFit(source, ARect), false, 1), texture, false, true, false,
            false);
        break;
    case gtmStretch:
        DrawBitmapPart(source, ARect, texture, false, true, false, false);
        break;
    case gtmCenter:
        DrawBitmapPart(source, SnapRectFToPixel(RectFCenterAt(source, ARect), false, 1), texture, true, false, true,
            false);
        break;
    case gtmTile: {
        if (ARect.IsEmpty())
            break;
        const Int64 cols = Trunc(ARect.Width() / w);
        const Int64 rows = Trunc(ARect.Height() / h);
        // Whole tiles keep their natural size; the clip keeps the last
        // column and row inside the filled rectangle.
        auto state = SaveState(true);
        ClipRect(ARect);
        for (Int64 i = 0; i <= cols + 1; ++i) {
            for (Int64 j = 0; j <= rows + 1; ++j) {
                const TRectF tile(ARect.Left + float(i) * w, ARect.Top + float(j) * h, ARect.Left + float(i + 1) * w,
                    ARect.Top + float(j + 1) * h);
                const TRectF part = RectFIntersect(tile, ARect);
                if (part.IsEmpty())
                    continue;
                DrawBitmap(double(tile.Left), double(tile.Top), double(tile.Left + part.Width()),
                    double(tile.Top + part.Height()), texture, false, false, false, false);
            }
        }
        RestoreState(std::move(state), true);
        break;
    }
    }
}

// ---- hit tests ----

bool TLumGraphics::PointInRect(const TPointF& APoint, const TRectF& ARect)
{
    return APoint.X >= ARect.Left && APoint.X < ARect.Right && APoint.Y >= ARect.Top && APoint.Y < ARect.Bottom;
}

bool TLumGraphics::PointInRect(const TPoint& APoint, const TRect& ARect)
{
    return PointInRect(ToPointF(APoint), ToRectF(ARect));
}

bool TLumGraphics::PointInCircle(const TPointF& APoint, const TPointF& ACenter, float ARadius)
{
    if (!(ARadius > 0))
        return false;
    const double dx = (double(APoint.X) - ACenter.X) / ARadius;
    const double dy = (double(APoint.Y) - ACenter.Y) / ARadius;
    return dx * dx + dy * dy <= 1;
}

bool TLumGraphics::PointInPath(const TPointF& APoint, const TLumGraphicsPath* APath)
{
    return APath && APath->IsPointVisible(APoint);
}

bool TLumGraphics::PointInPath(const TPoint& APoint, const TLumGraphicsPath* APath)
{
    return PointInPath(ToPointF(APoint), APath);
}

bool TLumGraphics::PointInPolygon(const TPointF& APoint, const TLumGraphicsPathPolygon& APolygon)
{
    return ::PointInPolygon(APoint, APolygon);
}

bool TLumGraphics::PointInPolygon(const TPoint& APoint, const TLumGraphicsPathPolygon& APolygon)
{
    return ::PointInPolygon(ToPointF(APoint), APolygon);
}

// ---- colours ----

Byte TLumGraphics::GetColorRed(TColor AColor) { return Byte(ColorToRGB(AColor) & 0xFF); }
Byte TLumGraphics::GetColorGreen(TColor AColor) { return Byte((ColorToRGB(AColor) >> 8) & 0xFF); }
Byte TLumGraphics::GetColorBlue(TColor AColor) { return Byte((ColorToRGB(AColor) >> 16) & 0xFF); }

String TLumGraphics::ColorToHTML(TColor AColor)
{
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    String result = u"#";
    for (Byte channel : { GetColorRed(AColor), GetColorGreen(AColor), GetColorBlue(AColor) }) {
        result += Digits[channel >> 4];
        result += Digits[channel & 0xF];
    }
    return result;
}

namespace {

// Two hexadecimal digits (one doubled for the short form) read as "$" plus
// the digits; a sign, blank or other non-digit raises the conversion's error
// rather than being read along.
int HexChannel(const String& ADigits)
{
    const String text = u"$" + ADigits;
    for (char16_t c : ADigits) {
        if (c > 0x7F || !std::isxdigit(int(c)))
            throw EConvertError(u"'" + text + u"' is not a valid integer value");
    }
    return StrToInt(text);
}

String Part(const String& AText, size_t AStart, size_t ACount)
{
    return AStart < AText.size() ? AText.substr(AStart, ACount) : String();
}

} // namespace

TColor TLumGraphics::HTMLToColor(const String& AHTML)
{
    if (AHTML.empty())
        return gcNull;
    int r, g, b;
    if (AHTML.size() == 4) {
        r = HexChannel(String(2, AHTML[1]));
        g = HexChannel(String(2, AHTML[2]));
        b = HexChannel(String(2, AHTML[3]));
    } else {
        r = HexChannel(Part(AHTML, 1, 2));
        g = HexChannel(Part(AHTML, 3, 2));
        b = HexChannel(Part(AHTML, 5, 2));
    }
    return TColor(r + g * 256 + b * 65536);
}

TColor TLumGraphics::TextToColor(const String& AText)
{
    String name = StrLower(AText);
    for (StringView prefix : { StringView(u"cl"), StringView(u"cla"), StringView(u"gc") }) {
        if (name.starts_with(prefix))
            name.erase(0, prefix.size());
    }
    TStringList* list = GetNamedColorList();
    if (!list)
        return 0;
    const int index = list->IndexOf(name);
    if (index < 0)
        return 0;
    auto* color = dynamic_cast<TLumGraphicsColorObject*>(list->GetObjects(index));
    return color ? color->GetColor() : 0;
}
