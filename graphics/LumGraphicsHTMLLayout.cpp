#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "foundation/VuzErazs.h"
#include "graphics/LumBitmap.h"
#include "graphics/LumGeometry.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsHTML.h"
#include "platform/vcl/ImgList.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

String ReplaceAll(StringView s, StringView what, StringView with)
{
    return StringReplace(s, what, with, rfReplaceAll);
}

constexpr float MeasureExtent = 10000;

// The text between the first pair of double quotes after NAME in the
// upper-cased tag, taken from the tag as written.
bool AttributeValue(StringView tag, StringView upper, StringView name, String& value)
{
    auto at = upper.find(name);
    if (at == StringView::npos)
        return false;
    auto open = upper.find(u'"', at + name.size());
    if (open == StringView::npos)
        return false;
    auto close = upper.find(u'"', open + 1);
    if (close == StringView::npos)
        return false;
    value = String(tag.substr(open + 1, close - open - 1));
    return true;
}

bool AttributeNumber(StringView tag, StringView upper, StringView name, float& number)
{
    String text;
    if (!AttributeValue(tag, upper, name, text))
        return false;
    double v = 0;
    if (!TryStrToFloat(Trim(text), v) || !std::isfinite(v))
        return false;
    number = float(v);
    return true;
}

TColor AttributeColor(StringView tag, StringView upper, StringView name, TColor fallback)
{
    String text;
    if (!AttributeValue(tag, upper, name, text) || text.empty())
        return fallback;
    try {
        if (text[0] == u'#')
            return TLumGraphics::HTMLToColor(text);
        return TLumGraphics::TextToColor(StrLower(text));
    } catch (const Exception&) {
        return fallback;
    }
}

// What a line's markup sets, kept so the paint pass starts where the
// measure pass started.
struct TTextState {
    TColor TextColor { -1 };
    TColor Background { -1 };
    TColor ParagraphColor { -1 };
    bool Anchor { false };
    String AnchorRef;
    int AnchorIndex { -1 };
    float AnchorStart { 0 };
    int ListLevel { 0 };
    bool Subscript { false };
    bool Superscript { false };
    bool Shadow { false };
    bool Hidden { false };
    bool Error { false };
    TLumGraphicsTextAlign Align { gtaLeading };
    float Indent { 0 };
    // Font name, size and colour to restore at </FONT>.
    String SavedFontName;
    int SavedFontHeight { 0 };
    TColor SavedTextColor { -1 };
    TColor SavedBackground { -1 };
    TFontStyles SavedStyles;
};

struct TLineMetrics {
    float Width { 0 };
    float Height { 0 };
    bool Script { false };
    std::size_t End { 0 };
};

class THTMLLayout {
public:
    THTMLLayout(TLumGraphics& AGraphics, const TRectF& ARect, const TLumGraphicsHTMLOptions& AOptions)
        : G(AGraphics), Rect(ARect), O(AOptions)
    {
        EntryFont.Assign(G.GetFont());
        Font.Assign(G.GetFont());
        EntryFillColor = G.GetFill()->GetColor();
        EntryFillKind = G.GetFill()->GetKind();
        EntryStrokeColor = G.GetStroke()->GetColor();
        EntryStrokeKind = G.GetStroke()->GetKind();
    }

    ~THTMLLayout()
    {
        G.SetFillColor(EntryFillColor);
        G.SetFillKind(EntryFillKind);
        G.SetStrokeColor(EntryStrokeColor);
        G.SetStrokeKind(EntryStrokeKind);
        G.SetFont(&EntryFont);
    }

    TLumGraphicsHTMLResult Run(const String& AHTML);

private:
    float TextHeight() { return MeasureRun(u"gh").Y; }
    TPointF MeasureRun(const String& AText);
    // One pass over the line from `from`: measures and, with APlace, also
    // places, hit-tests and (when painting) draws.
    // The place pass stops where the measure pass ended (AStop); only the
    // measure pass decides where the line breaks (at ARight).
    TLineMetrics ProcessLine(const String& s, std::size_t from, std::size_t AStop, bool APlace, float AX, float ARight,
        float ATop, float AHeight, bool AScript);
    // One handler per tag letter; HandleTag picks it.
    void HandleTag(StringView tag, bool APlace, float& x, float top, float height, TLineMetrics& m, bool& endLine);
    void AnchorTag(StringView tag, bool closing, bool APlace, float& x, float top, float height);
    void BreakBodyOrBoldTag(StringView tag, const String& upper, StringView name, bool closing, bool APlace,
        bool& endLine);
    void ControlTag(StringView tag, const String& upper, bool closing, bool APlace, float& x, float top, float height,
        TLineMetrics& m);
    void FontTag(StringView tag, const String& upper, bool closing);
    void RuleOrHighlightTag(StringView tag, const String& upper, StringView name, bool closing, bool APlace, float top,
        float height, bool& endLine);
    void ImageIndentOrItalicTag(StringView tag, const String& upper, StringView name, bool closing, bool APlace,
        float& x, float top, float height, TLineMetrics& m, bool& endLine);
    void ImageTag(StringView tag, const String& upper, bool APlace, float& x, float top, float height, TLineMetrics& m,
        bool& endLine);
    void ListItemTag(StringView tag, const String& upper, bool closing, bool APlace, float& x, float top, float height,
        bool& endLine);
    void OffsetTag(StringView tag, const String& upper, StringView name, bool closing, float& x);
    void ParagraphTag(StringView tag, const String& upper, StringView name, bool closing, bool& endLine);
    void StrikeScriptOrShadowTag(StringView name, bool closing, TLineMetrics& m);
    void ListOrUnderlineTag(StringView name, bool closing, bool& endLine);
    void SetStyle(TFontStyle style, bool on)
    {
        const TFontStyles st = Font.GetStyle();
        Font.SetStyle(on ? st + style : st - style);
        ApplyFont();
    }
    void PlaceRun(const String& text, float x, float top, float height, bool script, const TPointF& size);
    void ApplyFont() { G.SetFont(&Font); }
    bool HitsBand(float left, float right, float top, float bottom) const
    {
        return O.HitPoint.X >= left && O.HitPoint.X < right && O.HitPoint.Y >= top && O.HitPoint.Y < bottom;
    }
    TPicture* FindPicture(const String& ASource, std::unique_ptr<TLumBitmap>& AOwned);
    void DrawBodyPictures(StringView tag, StringView upper);

    TLumGraphics& G;
    TRectF Rect;
    const TLumGraphicsHTMLOptions& O;
    TLumGraphicsFont EntryFont;
    TLumGraphicsFont Font;
    TColor EntryFillColor { -1 };
    TLumGraphicsFillKind EntryFillKind { gfkNone };
    TColor EntryStrokeColor { -1 };
    TLumGraphicsStrokeKind EntryStrokeKind { gskNone };
    TTextState St;
    TLumGraphicsHTMLResult R;
    float LineStart { 0 };
    float LineRight { 0 };
    // Pictures floating at the left and right edges, while lines run beside them.
    TRectF FloatLeft {};
    TRectF FloatRight {};
    bool BreakBefore { false };
    String LinePlain;
};

TPointF THTMLLayout::MeasureRun(const String& AText)
{
    TRectF r = G.CalculateText(AText, TRectF { 0, 0, MeasureExtent, MeasureExtent }, false, false);
    return { r.Right - r.Left, r.Bottom - r.Top };
}

TPicture* THTMLLayout::FindPicture(const String& ASource, std::unique_ptr<TLumBitmap>& AOwned)
{
    String upper = StrUpper(ASource);
    if (upper.starts_with(u"FILE://")) {
        String file = ASource.substr(7);
        if (!FileExists(file))
            return nullptr;
        AOwned = std::make_unique<TLumBitmap>();
        try {
            AOwned->LoadFromFile(file);
        } catch (const Exception&) {
            return nullptr;
        }
        return AOwned.get();
    }
    if (upper.starts_with(u"DATA:")) {
        auto comma = upper.find(u"BASE64,");
        if (comma == String::npos)
            return nullptr;
        AOwned = std::make_unique<TLumBitmap>();
        try {
            TVuzErazs::LoadBitmapFromBase64(StringView(ASource).substr(comma + 7), AOwned.get());
        } catch (const Exception&) {
            return nullptr;
        }
        return AOwned.get();
    }
    if (upper.starts_with(u"IDX:")) {
        TCustomImageList* images = G.GetImageList();
        int index = StrToIntDef(Trim(ASource.substr(4)), -1);
        if (!images || index < 0 || index >= images->GetCount())
            return nullptr;
        TBitmap image;
        if (!images->GetBitmap(index, &image))
            return nullptr;
        AOwned = std::make_unique<TLumBitmap>();
        AOwned->Assign(&image);
        return AOwned.get();
    }
    if (ASource.find(u':') != String::npos || !G.GetPictureContainer())
        return nullptr;
    return G.GetPictureContainer()->FindBitmap(ASource);
}

void THTMLLayout::DrawBodyPictures(StringView tag, StringView upper)
{
    String src;
    std::unique_ptr<TLumBitmap> owned;
    if (AttributeValue(tag, upper, u"BACKGROUND", src))
        if (TPicture* pic = FindPicture(src, owned); pic && pic->GetWidth() > 0 && pic->GetHeight() > 0) {
            const float w = float(pic->GetWidth()), h = float(pic->GetHeight());
            auto state = G.SaveState(true);
            G.ClipRect(Rect);
            for (float y = Rect.Top; y < Rect.Bottom; y += h)
                for (float x = Rect.Left; x < Rect.Right; x += w)
                    G.DrawBitmap(TRectF { x, y, x + w, y + h }, pic, false, false, false, false);
            G.RestoreState(std::move(state), true);
        }
    if (AttributeValue(tag, upper, u"BGTOPLEFT", src))
        if (TPicture* pic = FindPicture(src, owned))
            G.DrawBitmap(Rect.Left, Rect.Top, pic);
    if (AttributeValue(tag, upper, u"BGTOPRIGHT", src))
        if (TPicture* pic = FindPicture(src, owned))
            G.DrawBitmap(Rect.Right - float(pic->GetWidth()), Rect.Top, pic);
}

void THTMLLayout::PlaceRun(const String& text, float x, float top, float height, bool script, const TPointF& size)
{
    float quarter = size.Y / 4;
    float y = top + height - size.Y - (script ? quarter : 0);
    if (St.Superscript)
        y -= quarter;
    else if (St.Subscript)
        y += quarter;
    TRectF box { x, y, x + size.X, y + size.Y };

    if (St.Anchor && HitsBand(box.Left, box.Right, top, top + height)) {
        R.Anchor = St.AnchorRef;
        R.Hit = true;
    }
    if (!O.Paint)
        return;
    if (St.Background != -1) {
        float band = TextHeight();
        G.SetFillKind(gfkSolid);
        G.SetFillColor(St.Background);
        G.SetStrokeKind(gskNone);
        G.DrawRectangle(TRectF { x, y + size.Y - band, x + size.X, y + size.Y });
        St.Background = -1;
    }
    if (St.Shadow) {
        G.SetFontColor(O.ShadowColor);
        G.DrawText(OffsetRectF(box, O.ShadowOffset, O.ShadowOffset), text, false, gtaLeading, gtaLeading, gttNone,
            0, -1, -1, false);
    }
    G.SetFontColor(St.TextColor != -1 ? St.TextColor : Font.GetColor());
    G.DrawText(box, text, false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, false);
    G.SetFontColor(Font.GetColor());
    if (St.Error) {
        G.SetStrokeKind(gskSolid);
        G.SetStrokeColor(0x0000FF);
        G.SetStrokeWidth(1);
        float base = box.Bottom;
        bool up = false;
        for (float px = box.Left; px < box.Right; px += 2, up = !up)
            G.DrawLine(TPointF { px, base - (up ? 0 : 2) }, TPointF { px + 2, base - (up ? 2 : 0) });
    }
}

void THTMLLayout::HandleTag(StringView tag, bool APlace, float& x, float top, float height, TLineMetrics& m,
    bool& endLine)
{
    // `tag` is the text between "<" and ">".
    if (tag.empty())
        return;
    String upper = StrUpper(tag);
    bool closing = upper[0] == u'/';
    StringView name = StringView(upper).substr(closing ? 1 : 0);
    if (name.empty())
        return;
    switch (name[0]) {
    case u'A': AnchorTag(tag, closing, APlace, x, top, height); return;
    case u'B': BreakBodyOrBoldTag(tag, upper, name, closing, APlace, endLine); return;
    case u'C': ControlTag(tag, upper, closing, APlace, x, top, height, m); return;
    case u'E': St.Error = !closing; return;
    case u'F': FontTag(tag, upper, closing); return;
    case u'H': RuleOrHighlightTag(tag, upper, name, closing, APlace, top, height, endLine); return;
    case u'I': ImageIndentOrItalicTag(tag, upper, name, closing, APlace, x, top, height, m, endLine); return;
    case u'L': ListItemTag(tag, upper, closing, APlace, x, top, height, endLine); return;
    case u'O': OffsetTag(tag, upper, name, closing, x); return;
    case u'P': ParagraphTag(tag, upper, name, closing, endLine); return;
    case u'S': StrikeScriptOrShadowTag(name, closing, m); return;
    case u'U': ListOrUnderlineTag(name, closing, endLine); return;
    case u'Z': St.Hidden = !closing; return;
    default:
        return; // unknown tags, the internal emoji tag among them, are passed over
    }
}

void THTMLLayout::AnchorTag(StringView tag, bool closing, bool APlace, float& x, float top, float height)
{
    if (closing) {
        if (St.Anchor && APlace) {
            if (R.Anchor == St.AnchorRef && HitsBand(St.AnchorStart, x, top, top + height)) {
                R.HoverRect = TRectF { St.AnchorStart, top, x, top + height };
                R.HoverAnchor = St.AnchorIndex;
            }
            if (St.AnchorIndex == O.FocusAnchor + 1 && O.FocusAnchor >= 0)
                R.FocusAnchor = St.AnchorRef;
        }
        St.Anchor = false;
        St.TextColor = St.SavedTextColor;
        Font.SetStyle(Font.GetStyle() - fsUnderline);
        ApplyFont();
    } else {
        St.Anchor = true;
        St.AnchorIndex = R.AnchorCount;
        if (APlace)
            ++R.AnchorCount;
        St.AnchorStart = x;
        St.AnchorRef.clear();
        if (auto q1 = tag.find(u'"'); q1 != StringView::npos)
            if (auto q2 = tag.find(u'"', q1 + 1); q2 != StringView::npos)
                St.AnchorRef = String(tag.substr(q1 + 1, q2 - q1 - 1));
        St.SavedTextColor = St.TextColor;
        bool hovered = O.HoverAnchor == St.AnchorIndex;
        St.TextColor = hovered && O.HoverFontColor != -1 ? O.HoverFontColor : G.GetURLColor();
        if (hovered && O.HoverColor != -1)
            St.Background = O.HoverColor;
        if (G.GetURLUnderline() && (O.HoverAnchor < 0 || hovered))
            SetStyle(fsUnderline, true);
    }
}

void THTMLLayout::BreakBodyOrBoldTag(StringView tag, const String& upper, StringView name, bool closing, bool APlace,
    bool& endLine)
{
    if (!closing && name.starts_with(u"BR")) {
        endLine = true;
        LinePlain += u"\r";
    } else if (!closing && name.starts_with(u"BO")) {
        if (APlace && O.Paint) {
            TColor bg = AttributeColor(tag, upper, u"BGCOLOR", -1);
            String to;
            if (bg != -1 && !AttributeValue(tag, upper, u"BGCOLORTO", to)) {
                G.SetFillKind(gfkSolid);
                G.SetFillColor(bg);
                G.SetStrokeKind(gskNone);
                G.DrawRectangle(Rect);
            } else if (bg != -1) {
                G.SetStrokeColor(bg);
            }
            DrawBodyPictures(tag, upper);
        }
    } else if (name.starts_with(u"B") && (name.size() == 1 || name[1] == u' ')) {
        SetStyle(fsBold, !closing);
    }
}

void THTMLLayout::ControlTag(StringView tag, const String& upper, bool closing, bool APlace, float& x, float top,
    float height, TLineMetrics& m)
{
    if (!closing) {
        String type, value, id;
        AttributeValue(tag, upper, u"TYPE=", type);
        AttributeValue(tag, upper, u"VALUE=", value);
        AttributeValue(tag, upper, u"ID=", id);
        type = StrUpper(type);
        float width = 0, cheight = 0;
        bool hasWidth = AttributeNumber(tag, upper, u"WIDTH=", width) && width > 0;
        AttributeNumber(tag, upper, u"HEIGHT=", cheight);
        bool box = type == u"CHECK" || type == u"RADIO";
        if (!box && !hasWidth)
            return;
        float lineMin = box ? 16 : 23;
        if (cheight - 2 > 25)
            lineMin = cheight - 2;
        m.Height = std::max(m.Height, lineMin);
        float w = box ? std::nearbyint(16 * O.Scale) + 2 + 1 : width;
        if (APlace) {
            TRectF cr;
            if (box) {
                float side = std::nearbyint(16 * O.Scale) + 2;
                float cy = top + (height - side) / 2;
                cr = TRectF { x + 1, cy, x + 1 + side, cy + side };
            } else {
                float cy = top + (height - 22) / 2;
                cr = TRectF { x + 2, cy, x + width - 2, cy + 22 };
            }
            bool on = HitsBand(cr.Left, cr.Right, cr.Top, cr.Bottom);
            if (on) {
                R.Hit = true;
                R.Anchor = u"ctrl";
                R.ControlID = id;
                R.ControlValue = value;
                R.ControlType = type;
            }
            if (O.Paint) {
                bool focused = !id.empty() && id == O.FocusedControlID;
                if (type == u"CHECK")
                    G.DrawCheckBox(cr, StrUpper(value) == u"TRUE", focused, true, O.Scale);
                else if (type == u"RADIO")
                    G.DrawRadioButton(cr, StrUpper(value) == u"TRUE", focused, true, O.Scale);
                else if (type == u"BUTTON") {
                    G.DrawButton(cr, on, focused, true, false, O.Scale);
                    G.DrawText(cr, value, false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, false);
                }
                ApplyFont();
            }
        }
        x += w;
    }
}

void THTMLLayout::FontTag(StringView tag, const String& upper, bool closing)
{
    if (closing) {
        Font.SetName(St.SavedFontName);
        Font.SetHeight(St.SavedFontHeight);
        St.TextColor = St.SavedTextColor;
        St.Background = St.SavedBackground;
        ApplyFont();
    } else {
        St.SavedFontName = Font.GetName();
        St.SavedFontHeight = Font.GetHeight();
        St.SavedTextColor = St.TextColor;
        St.SavedBackground = St.Background;
        String face;
        if (AttributeValue(tag, upper, u"FACE", face) && !face.empty())
            Font.SetName(face);
        St.TextColor = AttributeColor(tag, upper, u" COLOR", St.TextColor);
        St.Background = AttributeColor(tag, upper, u"BGCOLOR", St.Background);
        float size = 0;
        if (AttributeNumber(tag, upper, u" SIZE", size) && size > 0 && size < 1000) {
            static constexpr float Sizes[] = { 8, 10, 12, 14, 16 };
            if (size >= 1 && size <= 5 && size == std::floor(size))
                size = Sizes[int(size) - 1];
            TVuzErazs::SetFontSize(&Font, size, 1);
        }
        String style;
        if (AttributeValue(tag, upper, u"STYLE", style)) {
            String su = StrUpper(style);
            if (auto fs = su.find(u"FONT-SIZE:"); fs != String::npos) {
                auto pt = su.find(u"PT", fs);
                double v = 0;
                if (pt != String::npos && TryStrToFloat(Trim(su.substr(fs + 10, pt - fs - 10)), v) && v > 0
                    && v < 1000)
                    TVuzErazs::SetFontSize(&Font, float(v), 1);
            }
        }
        ApplyFont();
    }
}

void THTMLLayout::RuleOrHighlightTag(StringView tag, const String& upper, StringView name, bool closing, bool APlace,
    float top, float height, bool& endLine)
{
    if (!closing && name.starts_with(u"HR")) {
        endLine = true;
        if (APlace && O.Paint) {
            G.SetStrokeKind(gskSolid);
            G.SetStrokeWidth(1);
            G.SetStrokeColor(AttributeColor(tag, upper, u"COLOR", 0));
            float y = top + height + 1;
            G.DrawLine(TPointF { Rect.Left, y }, TPointF { Rect.Right, y });
        }
    } else if (closing || name.starts_with(u"HI")) {
        if (closing) {
            Font.SetStyle(St.SavedStyles);
            St.TextColor = St.SavedTextColor;
            St.Background = St.SavedBackground;
        } else {
            St.SavedStyles = Font.GetStyle();
            St.SavedTextColor = St.TextColor;
            St.SavedBackground = St.Background;
            Font.SetStyle(G.GetHighlightFontStyle());
            St.TextColor = G.GetHighlightTextColor();
            St.Background = G.GetHighlightColor();
        }
        ApplyFont();
    }
}

void THTMLLayout::ImageIndentOrItalicTag(StringView tag, const String& upper, StringView name, bool closing,
    bool APlace, float& x, float top, float height, TLineMetrics& m, bool& endLine)
{
    if (closing) {
        SetStyle(fsItalic, false);
    } else if (name.starts_with(u"IND")) {
        float to = 0;
        if (AttributeNumber(tag, upper, u"X", to) && Rect.Left + to > x)
            x = Rect.Left + to;
    } else if (name.starts_with(u"IMG")) {
        ImageTag(tag, upper, APlace, x, top, height, m, endLine);
    } else if (name.size() == 1 || name[1] == u' ') {
        SetStyle(fsItalic, true);
    }
}

void THTMLLayout::ImageTag(StringView tag, const String& upper, bool APlace, float& x, float top, float height,
    TLineMetrics& m, bool& endLine)
{
    String src, align;
    AttributeValue(tag, upper, u"SRC", src);
    std::unique_ptr<TLumBitmap> owned;
    TPicture* pic = src.empty() ? nullptr : FindPicture(src, owned);
    if (!pic || PictureIsEmpty(pic))
        return;
    float w = float(pic->GetWidth()), h = float(pic->GetHeight());
    AttributeNumber(tag, upper, u"WIDTH", w);
    AttributeNumber(tag, upper, u"HEIGHT", h);
    if (w <= 0 || h <= 0)
        return;
    String side;
    AttributeValue(tag, upper, u"FLOAT", side);
    side = StrUpper(side);
    if (side == u"LEFT" || side == u"RIGHT") {
        // A floating picture takes the edge from this line down to its
        // bottom; the text runs beside it.
        const bool left = side == u"LEFT";
        if (left && x <= LineStart)
            x += w + 2;
        else if (!left)
            LineRight = std::min(LineRight, Rect.Right - w - 2);
        if (APlace) {
            const float fx = left ? Rect.Left : Rect.Right - w;
            (left ? FloatLeft : FloatRight) = TRectF { fx, top, fx + w + (left ? 2.0f : 0.0f), top + h };
            if (O.Paint)
                G.DrawBitmap(TRectF { fx, top, fx + w, top + h }, pic, false, true, false, false);
        }
        return;
    }
    if (!APlace && x > LineStart && x + w > LineRight) {
        endLine = BreakBefore = true;
        return;
    }
    if (upper.find(u"WRAP") == String::npos)
        m.Height = std::max(m.Height, h);
    if (APlace) {
        float y = top + height - h;
        if (upper.find(u"\"TOP") != String::npos)
            y = top;
        else if (upper.find(u"\"MIDDLE") != String::npos)
            y = top + (height - h) / 2;
        TRectF box { x, y, x + w, y + h };
        if (HitsBand(box.Left, box.Right, box.Top, box.Bottom)) {
            if (St.Anchor) {
                R.Anchor = St.AnchorRef;
                R.Hit = true;
            }
            AttributeValue(tag, upper, u"ALT", R.HoverAlt);
        }
        if (O.Paint)
            G.DrawBitmap(box, pic, false, true, false, false);
    }
    x += w + 2;
}

void THTMLLayout::ListItemTag(StringView tag, const String& upper, bool closing, bool APlace, float& x, float top,
    float height, bool& endLine)
{
    if (closing) {
        endLine = true;
    } else {
        if (x > LineStart && !APlace) {
            endLine = BreakBefore = true;
            return;
        }
        int level = std::max(St.ListLevel, 1);
        float bulletX = Rect.Left + level * 12 - 12;
        if (APlace && O.Paint) {
            String type;
            AttributeValue(tag, upper, u"TYPE", type);
            type = StrUpper(type);
            TColor c = AttributeColor(tag, upper, u"COLOR", Font.GetColor());
            float th = TextHeight();
            float d = th / 3;
            TRectF b { bulletX, top + height - th / 2 - d / 2, bulletX + d, top + height - th / 2 + d / 2 };
            if (type == u"SQUARE" || type == u"CIRCLE") {
                G.SetFillKind(gfkSolid);
                G.SetFillColor(c);
                G.SetStrokeKind(gskNone);
                if (type == u"SQUARE")
                    G.DrawRectangle(b);
                else
                    G.DrawEllipse(b);
            } else {
                TFontStyles keep = Font.GetStyle();
                Font.SetStyle({});
                ApplyFont();
                String mark = level % 2 ? u"\u2022" : u"o";
                TPointF sz = MeasureRun(mark);
                G.DrawText(TRectF { bulletX, top + height - sz.Y, bulletX + sz.X, top + height }, mark, false,
                    gtaLeading, gtaLeading, gttNone, 0, -1, -1, false);
                Font.SetStyle(keep);
                ApplyFont();
            }
        }
        x = std::max(x, Rect.Left + level * 12);
    }
}

void THTMLLayout::OffsetTag(StringView tag, const String& upper, StringView name, bool closing, float& x)
{
    if (!closing && name.starts_with(u"OF")) {
        float to = 0;
        if (AttributeNumber(tag, upper, u"X", to))
            x = Rect.Left + to;
    }
}

void THTMLLayout::ParagraphTag(StringView tag, const String& upper, StringView name, bool closing, bool& endLine)
{
    if (closing) {
        endLine = true;
        St.ParagraphColor = -1;
    } else if (name.size() == 1 || name[1] == u' ') {
        String align;
        if (AttributeValue(tag, upper, u"ALIGN", align)) {
            align = StrUpper(align);
            St.Align = align == u"RIGHT" ? gtaTrailing : align == u"CENTER" ? gtaCenter : gtaLeading;
        }
        float indent = 0;
        if (AttributeNumber(tag, upper, u"INDENT", indent))
            St.Indent = indent;
        St.ParagraphColor = AttributeColor(tag, upper, u"BGCOLOR", -1);
    }
}

void THTMLLayout::StrikeScriptOrShadowTag(StringView name, bool closing, TLineMetrics& m)
{
    if (closing) {
        if (name.size() > 1 && name[1] == u'U')
            St.Subscript = St.Superscript = false;
        else if (name.size() > 1 && name[1] == u'H')
            St.Shadow = false;
        else
            SetStyle(fsStrikeOut, false);
    } else if (name.starts_with(u"SUB")) {
        St.Subscript = true;
        m.Script = true;
    } else if (name.starts_with(u"SUP")) {
        St.Superscript = true;
        m.Script = true;
    } else if (name.starts_with(u"SH")) {
        St.Shadow = true;
    } else if (name.size() == 1 || name[1] == u' ') {
        SetStyle(fsStrikeOut, true);
    }
}

void THTMLLayout::ListOrUnderlineTag(StringView name, bool closing, bool& endLine)
{
    if (name.size() > 1 && name[1] == u'L') {
        if (closing)
            St.ListLevel = std::max(0, St.ListLevel - 1);
        else
            ++St.ListLevel;
        endLine = !closing;
    } else if (name.size() == 1 || name[1] == u' ') {
        SetStyle(fsUnderline, !closing);
    }
}

TLineMetrics THTMLLayout::ProcessLine(const String& s, std::size_t from, std::size_t AStop, bool APlace, float AX,
    float ARight, float ATop, float AHeight, bool AScript)
{
    TLineMetrics m;
    m.Height = TextHeight();
    float x = AX;
    std::size_t p = from;
    bool endLine = false;
    BreakBefore = false;
    LineStart = AX;
    LineRight = ARight;
    while (p < AStop && !endLine) {
        if (s[p] == u'<') {
            auto close = s.find(u'>', p);
            if (close == String::npos) {
                p = s.size(); // an unterminated tag ends the line's processing
                break;
            }
            HandleTag(StringView(s).substr(p + 1, close - p - 1), APlace, x, ATop, AHeight, m, endLine);
            if (BreakBefore) {
                // The tag (a second list item, a picture that does not fit) begins the next line.
                BreakBefore = false;
                break;
            }
            p = close + 1;
            continue;
        }
        std::size_t end = std::min(s.find(u'<', p), AStop);
        if (O.WordWrapping) {
            std::size_t blank = s.find(u' ', p);
            if (blank != String::npos && blank < end)
                end = blank + 1;
        }
        String raw = s.substr(p, end - p);
        String text = ReplaceAll(ReplaceAll(ReplaceAll(raw, u"&nbsp;", u" "), u"&lt;", u"<"), u"&gt;",
            u">");
        if (!APlace)
            LinePlain += text;
        if (St.Hidden) {
            p = end;
            continue;
        }
        TPointF size = MeasureRun(text);
        if (!APlace && O.WordWrapping && x + size.X > LineRight && x > AX) {
            // With word wrapping the word that does not fit waits for the next line;
            // trailing blanks do not count against the width.
            String word = text;
            while (!word.empty() && word.back() == u' ')
                word.pop_back();
            if (x + MeasureRun(word).X > LineRight) {
                LinePlain.resize(LinePlain.size() - text.size());
                break;
            }
        }
        if (APlace)
            PlaceRun(text, x, ATop, AHeight, AScript, size);
        x += size.X;
        m.Height = std::max(m.Height, size.Y);
        m.Width = x - AX;
        p = end;
    }
    m.End = p;
    m.Width = std::max(m.Width, x - AX);
    return m;
}

TLumGraphicsHTMLResult THTMLLayout::Run(const String& AHTML)
{
    String s = PrepareGraphicsMarkup(AHTML);
    ApplyFont();
    float y = Rect.Top;
    bool anyLine = false;
    std::size_t p = 0;
    while (p < s.size()) {
        while (p < s.size() && s[p] == u' ')
            ++p;
        if (p >= s.size())
            break;
        TTextState startState = St;
        TLumGraphicsFont startFont;
        startFont.Assign(&Font);
        int anchorsBefore = R.AnchorCount;
        LinePlain.clear();

        float x0 = Rect.Left + St.Indent;
        float right = Rect.Right;
        if (y < FloatLeft.Bottom)
            x0 = std::max(x0, FloatLeft.Right);
        if (y < FloatRight.Bottom)
            right = std::min(right, FloatRight.Left);
        TLineMetrics m = ProcessLine(s, p, s.size(), false, x0, right, y, 0, false);
        if (m.End == p) {
            // Nothing consumed (a word wider than nothing): take one token so
            // the loop always advances.
            m.End = p + 1;
        }
        float height = m.Height + (m.Script ? m.Height / 4 : 0) + O.LineSpacing;
        if (y > Rect.Top && y >= Rect.Bottom && !O.FullHeight)
            break;
        R.PlainText += LinePlain;

        // Place (and paint) the same markup from the same starting state, in
        // the alignment and paragraph colour the line's own tags set.
        const TLumGraphicsTextAlign align = St.Align;
        const TColor band = St.ParagraphColor != -1 ? St.ParagraphColor : startState.ParagraphColor;
        St = startState;
        Font.Assign(&startFont);
        ApplyFont();
        R.AnchorCount = anchorsBefore;
        float free = right - x0 - m.Width;
        float x = x0;
        if (align == gtaTrailing)
            x += free;
        else if (align == gtaCenter)
            x += free / 2;
        if (O.Paint && band != -1) {
            G.SetFillKind(gfkSolid);
            G.SetFillColor(band);
            G.SetStrokeKind(gskNone);
            G.DrawRectangle(TRectF { Rect.Left, y, Rect.Right, y + height });
        }
        ProcessLine(s, p, m.End, true, x, x + (right - x0), y, height - O.LineSpacing, m.Script);

        R.Width = std::max(R.Width, m.Width + (x0 - Rect.Left));
        y += height;
        anyLine = true;
        ++R.LineCount;
        p = m.End;
    }
    R.Height = anyLine ? y - Rect.Top : TextHeight();
    return R;
}

} // namespace

TLumGraphicsHTMLResult LayoutGraphicsHTML(TLumGraphics& AGraphics, const String& AHTML, const TRectF& ARect,
    const TLumGraphicsHTMLOptions& AOptions)
{
    THTMLLayout layout(AGraphics, ARect, AOptions);
    return layout.Run(AHTML);
}

bool RenderGraphicsHTML(TLumGraphics& AGraphics, TLumGraphicsHTMLCall& ACall)
{
    TLumGraphicsHTMLOptions options;
    options.Paint = !ACall.Measure;
    options.FullHeight = ACall.Measure;
    options.WordWrapping = ACall.WordWrap;
    options.Scale = ACall.ScaleX;
    if (ACall.TestAnchor)
        options.HitPoint = TPointF { float(ACall.HitPoint.X), float(ACall.HitPoint.Y) };
    TLumGraphicsHTMLResult r = LayoutGraphicsHTML(AGraphics, ACall.Text, ACall.Rect, options);
    ACall.Width = r.Width;
    ACall.Height = r.Height;
    ACall.LineCount = r.LineCount;
    ACall.Hit = r.Hit;
    ACall.Anchor = r.Anchor;
    ACall.ControlID = r.ControlID;
    ACall.ControlValue = r.ControlValue;
    ACall.ControlType = r.ControlType;
    return r.Hit;
}
