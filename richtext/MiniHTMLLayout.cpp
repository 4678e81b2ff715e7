// The layout engine behind DrawHTMLText: the text is cut into lines; each
// line is interpreted twice by DrawHTMLLine, once measuring (which decides
// where the line ends and returns its markup) and once painting that markup
// in a rectangle moved for alignment and indent.

#include "richtext/MiniHTML.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImgList.h"
#include "richtext/MiniHTMLMarkup.h"
#include "richtext/PictureContainer.h"

namespace VovHTMLE {

namespace {

constexpr UINT BaseDrawFlags = 0x268; // external leading, expand tabs, single line, bottom
constexpr int ListIndent = 12;

bool ReadWinXPOrLater()
{
    OSVERSIONINFO info {};
    if (!GetVersionEx(info))
        return false;
    return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion != 0);
}

const bool WinXPOrLater = ReadWinXPOrLater();

// Right-to-left reading is offered only where the user's locale is one of the
// Middle-East languages.
bool SystemHasMiddleEastLocale()
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* v = std::getenv(name);
        if (v && *v) {
            const std::string s(v);
            for (const char* lang : { "ar", "he", "fa", "ur", "yi" })
                if (s.rfind(lang, 0) == 0 && (s.size() == 2 || s[2] == '_' || s[2] == '.'))
                    return true;
            return false;
        }
    }
    return false;
}

int RoundToInt(double v) { return int(RoundHalfEven(v)); }

TTextFormat FlagsToTextFormat(UINT flags)
{
    TTextFormat f;
    for (int i = int(tfBottom); i <= int(tfComposited); ++i) {
        const auto tf = TTextFormats(i);
        const UINT bit = TextFormatToFlags(TTextFormat { tf });
        if (bit != 0 && (flags & bit) == bit)
            f.Include(tf);
    }
    return f;
}

// Every change of a font makes the platform build it afresh, so a font that
// already looks the same is left alone.
void TakeFont(TFont* target, TFont* source)
{
    if (target->GetName() == source->GetName() && target->GetHeight() == source->GetHeight()
        && target->GetStyle() == source->GetStyle() && target->GetCharset() == source->GetCharset()
        && target->GetPitch() == source->GetPitch() && target->GetOrientation() == source->GetOrientation()
        && target->GetQuality() == source->GetQuality() && target->GetPixelsPerInch() == source->GetPixelsPerInch()) {
        target->SetColor(source->GetColor());
        return;
    }
    target->Assign(source);
}

// Tags add or remove one style and keep the others.
void SetFontStyle(TFont* font, TFontStyle style, bool on)
{
    auto st = font->GetStyle();
    if (on)
        st.Include(style);
    else
        st.Exclude(style);
    font->SetStyle(st);
}

enum class TPictureSource { None, ImageList, Graphic };

struct TResolvedPicture {
    TPictureSource Source { TPictureSource::None };
    int ImageIndex { -1 };
    TGraphic* Graphic { nullptr };
    int Width { 0 };
    int Height { 0 };
};

// The state of one DrawHTMLText call, shared by both passes and carried from
// line to line.
class THTMLEngine {
public:
    // Parameters.
    TCanvas* Canvas { nullptr };
    TCustomImageList* Images { nullptr };
    int X { 0 }, Y { 0 };
    int FocusAnchor { -1 }, HoverAnchor { 0 }, ShadowOffset { 0 };
    bool LocateOnly { false }, MeasureOnly { false }, Printing { false }, KeepColors { false };
    bool BlinkOn { true }, HoverOnlyAnchors { false }, WordWrap { true }, ControlDown { false };
    String DownControlID;
    double PrintFactor { 1.0 };
    TColor AnchorColor { clBlue }, HoverBkColor { clNone }, HoverFontColor { clNone }, ShadowColor { clGray };
    THTMLPictureCache* PictureCache { nullptr };
    TPictureContainer* PictureContainer { nullptr };
    HWND ThemeWindow { nullptr };
    float DPIScale { 1.0f };
    int BiDiMode { 0 };
    String LocateID;

    // Outputs.
    String HitAnchor, StrippedText, FocusAnchorHref, HitAnchorTitle;
    int XSize { 0 }, YSize { 0 }, AnchorCount { 0 }, HitAnchorIndex { -1 };
    TRect HitAnchorRect {}, ControlRect {};
    String ControlID, ControlValue, ControlType;

    bool Run(const String& markup, const TRect& rect);
    // Font, pen and brush as they were when the call began.
    void RestoreCanvas();

private:
    // ---- line loop ----
    String DrawHTMLLine(String& text, const TRect& r, bool measuring, bool secondPass);
    void TakeTextPiece(String& text, const TRect& r, bool measuring);
    void InterpretTag(const String& tag, bool closing, const TRect& r, bool measuring, bool secondPass);
    void OpeningTag(const String& tag, const String& upper, const TRect& r, bool measuring, bool secondPass);
    void ClosingTag(const String& upper, const TRect& r, bool measuring);

    // ---- items ----
    void AnchorStart(const String& tag, const String& upper, const TRect& r, bool measuring);
    void AnchorEnd(const TRect& r, bool measuring);
    void FontTag(const String& tag, const String& upper, bool measuring);
    void BodyTag(const String& upper, bool measuring);
    void ParagraphTag(const String& upper, const TRect& r, bool measuring, bool secondPass);
    void PictureTag(const String& tag, const String& upper, const TRect& r, bool measuring);
    void ListItemTag(const String& tag, const String& upper, const TRect& r, bool measuring);
    void ControlTag(const String& tag, const String& upper, const TRect& r, bool measuring);
    void IndentTag(const String& upper, bool measuring);
    void EmojiTag(const String& tag, const TRect& r, bool measuring);
    void RotationTag(const String& upper);
    void EndRotation();

    // ---- drawing helpers ----
    TResolvedPicture ResolvePicture(const String& source, bool allowIndex);
    void DrawPicture(const TResolvedPicture& pic, const TRect& box, bool explicitSize);
    void DrawErrorZigzag(int left, int right, int bottom);
    void DrawFocusRectangle(TRect r);
    void DrawControl(const String& type, const String& value, const String& id, int W, int H, int b,
        int lineHeight, int& boxW, int& boxH);
    void SetTextBk(TColor c);
    TColor TextBk() const;
    int GHHeight() { return Canvas->TextHeight(u"gh"); }
    int DrawTextIn(TRect& r, const String& s, UINT flags);
    bool Themed() const { return FThemed; }

    // Call-wide.
    TRect R {};
    UINT FDrawFlags { BaseDrawFlags };
    bool FRtlReading { false };
    bool FThemed { false };
    std::unique_ptr<TFont> FStartFont, FMeasureFont, FPaintFont;
    TColor FStartPenColor { clBlack };
    int FStartPenWidth { 1 };
    TColor FStartBrushColor { clWhite };
    TBrushStyle FStartBrushStyle { bsSolid };
    TColor FStartTextColor { clBlack };

    // Marks.
    struct TMarks {
        bool InAnchor { false };
        String Href, Title;
        int AnchorNumber { 0 };
        bool Error { false }, Hidden { false }, Shadow { false }, Highlight { false };
    } M;
    bool FSuperscript { false }, FSubscript { false };
    bool FParaBk { false };
    bool FDecorated { false };
    TColor FHoverSavedBk { clNone }, FHoverSavedText { clBlack };
    TColor FFontSavedBk { clNone }, FParaSavedBk { clNone }, FHiSavedBk { clNone }, FHiSavedText { clBlack };

    // Counters.
    int FPictures { 0 }, FHitPicture { -1 };
    int FListLevel { 0 }, FListNumber { 0 };
    bool FNumbered { false };
    int FPaintAnchorCount { 0 }, FPaintListLevel { 0 };

    // Paragraph.
    int FAlignment { 0 }, FIndent { 0 };
    double FLineHeightFactor { 1.0 };

    // Floats.
    int FFloatLeft { 0 }, FFloatRight { 0 }, FFloatBottom { 0 };
    int FFloatPara { 0 };
    int FFloatParaLeft { 0 }, FFloatParaTop { 0 };

    // Focus rectangle and anchor rectangle under construction.
    bool FFocusOpen { false };
    TPoint FFocusStart {};
    int FAnchorStartWidth { 0 }, FAnchorStartTop { 0 }, FAnchorStartLine { 0 };
    bool FAnchorRectPending { false };
    int FLineNumber { 0 };

    // Rotation.
    HFONT FRotatedFont { nullptr };

    // Per line.
    int FLineHeight { 0 }, FMinHeight { 0 }, FSupExtra { 0 }, FSubExtra { 0 }, FRaise { 0 };
    // Per pass.
    int FWidth { 0 }, FTrailingSpace { 0 }, FPen { 0 };
    bool FLineBreak { false }, FStop { false }, FListItemOnLine { false };
    String FLineText, FLineMarkup;
    int FTextBottom { 0 };
    bool FPassTextAnchorHit { false }, FPassItemHit { false };
};

// ---- call set-up and line loop ----

bool THTMLEngine::Run(const String& markup, const TRect& rect)
{
    TFont* font = Canvas->GetFont();
    FStartPenColor = Canvas->GetPen()->GetColor();
    FStartPenWidth = Canvas->GetPen()->GetWidth();
    FStartBrushColor = Canvas->GetBrush()->GetColor();
    FStartBrushStyle = Canvas->GetBrush()->GetStyle();
    FStartTextColor = font->GetColor();
    FStartFont = std::make_unique<TFont>();
    FStartFont->Assign(font);
    FMeasureFont = std::make_unique<TFont>();
    FMeasureFont->Assign(font);
    FPaintFont = std::make_unique<TFont>();
    FPaintFont->Assign(font);
    SetTextBk(clNone);
    SetBkMode(Canvas->GetHandle(), TRANSPARENT);

    FDrawFlags = BaseDrawFlags;
    if (BiDiMode != 0 && SystemHasMiddleEastLocale()) {
        if (BiDiMode == 1)
            FDrawFlags ^= DT_RIGHT;
        FDrawFlags |= DT_RTLREADING;
        FRtlReading = true;
    }
    if (!WordWrap)
        FDrawFlags |= DT_END_ELLIPSIS;
    FThemed = WinXPOrLater && IsThemeActive();
    PrintFactor = std::max(PrintFactor, 1.0);

    String text = PrepareHTMLText(markup);
    R = rect;
    R.Left += 1;
    TRect L = R;
    bool result = false;

    while (!text.empty()) {
        // 1.
        TakeFont(Canvas->GetFont(), FMeasureFont.get());
        const TMarks saved = M;
        const int picturesBefore = FPictures;
        FSuperscript = FSubscript = false;
        FSupExtra = FSubExtra = FRaise = 0;
        FLineHeight = FMinHeight = GHHeight();
        ++FLineNumber;
        // 2.
        const std::size_t before = text.size();
        String lineMarkup = DrawHTMLLine(text, L, true, false);
        const int lineWidth = FWidth;
        // The painting pass goes over the same markup again from the same
        // marks; a call that only measures carries them on to the next line.
        if (!MeasureOnly)
            M = saved;
        FMeasureFont->Assign(Canvas->GetFont());
        // 3.
        FLineHeight = RoundToInt(FLineHeight * FLineHeightFactor);
        // 4.
        TRect P = L;
        if (FAlignment == 1 && L.Right - lineWidth > L.Left)
            P.Left = L.Right - lineWidth;
        else if (FAlignment == 2 && L.Right - L.Left - lineWidth > 0)
            P.Left = L.Left + (L.Right - L.Left - lineWidth) / 2;
        P.Left += FIndent;
        P.Bottom = L.Top + FLineHeight + FSubExtra + FSupExtra;
        // 5.
        if (!MeasureOnly) {
            TakeFont(Canvas->GetFont(), FPaintFont.get());
            AnchorCount = FPaintAnchorCount;
            FListLevel = FPaintListLevel;
            FPictures = picturesBefore;
            DrawHTMLLine(lineMarkup, P, LocateOnly, true);
            FPaintAnchorCount = AnchorCount;
            FPaintListLevel = FListLevel;
            L.Left = R.Left + FFloatLeft;
            L.Right = R.Right - FFloatRight;
            if (R.Top + FFloatBottom < P.Top) {
                FFloatLeft = FFloatRight = FFloatBottom = 0;
                L.Left = R.Left;
                L.Right = R.Right;
            }
            if (FPassItemHit)
                result = true;
            if (FPassTextAnchorHit) {
                const int gh = GHHeight();
                if (Y > P.Bottom - FRaise - gh && Y < P.Bottom - FRaise)
                    result = true;
            }
            FPaintFont->Assign(Canvas->GetFont());
        }
        // 6.
        if (FFloatPara != 0) {
            L.Left = FFloatParaLeft;
            L.Top = FFloatParaTop;
            FFloatPara = 0;
        } else {
            const int advance = FLineHeight + FSubExtra + FSupExtra;
            L.Top += advance;
            YSize += advance;
        }
        // 7.
        if (!MeasureOnly && L.Top + FMinHeight > L.Bottom)
            break;
        // A line that took nothing up would be laid out for ever.
        if (text.size() == before)
            break;
    }

    RestoreCanvas();
    if (YSize == 0)
        YSize = GHHeight();
    return MeasureOnly ? false : result;
}

void THTMLEngine::RestoreCanvas()
{
    if (!FStartFont)
        return;
    EndRotation();
    TakeFont(Canvas->GetFont(), FStartFont.get());
    Canvas->GetPen()->SetColor(FStartPenColor);
    Canvas->GetPen()->SetWidth(FStartPenWidth);
    Canvas->GetBrush()->SetColor(FStartBrushColor);
    Canvas->GetBrush()->SetStyle(FStartBrushStyle);
}

// ---- one pass over one line ----

String THTMLEngine::DrawHTMLLine(String& text, const TRect& r, bool measuring, bool secondPass)
{
    // 1.
    FTextBottom = r.Bottom - FSubExtra;
    FWidth = FTrailingSpace = 0;
    FPen = r.Left;
    FLineBreak = FStop = FListItemOnLine = false;
    FLineText.clear();
    FLineMarkup.clear();
    FPassTextAnchorHit = FPassItemHit = false;
    TRect line = r;
    // 2.
    if (!measuring && FParaBk) {
        Canvas->GetPen()->SetColor(TextBk());
        Canvas->GetBrush()->SetColor(TextBk());
        Canvas->Rectangle(R.Left, r.Top, R.Right, r.Top + FLineHeight);
        SetTextBk(TextBk());
    }
    // 3.
    while (!text.empty() && !FLineBreak && !FStop) {
        if (text[0] != u'<') {
            const std::size_t before = text.size();
            TakeTextPiece(text, line, measuring);
            if (text.size() == before)
                break;
            continue;
        }
        // 4. A tag.
        if (text.size() <= 2) {
            text.clear();
            break;
        }
        const std::size_t gt = text.find(u'>');
        const String tag = gt == String::npos ? text : text.substr(0, gt + 1);
        if (!FLineBreak && text.size() >= 3) {
            const bool closing = tag.size() > 1 && tag[1] == u'/' && text.size() > 3;
            InterpretTag(tag, closing, line, measuring, secondPass);
        }
        if (gt == String::npos) {
            text.clear();
            break;
        }
        if (FStop)
            break;
        FLineMarkup += tag;
        text.erase(0, gt + 1);
    }
    // 4.
    FWidth -= FTrailingSpace;
    XSize = std::max(XSize, FWidth);
    if (!measuring && FFocusOpen) {
        DrawFocusRectangle(TRect { FFocusStart.X, FFocusStart.Y, FPen, FTextBottom });
        FFocusStart = TPoint { r.Left + 1, FTextBottom };
    }
    return FLineMarkup;
}

void THTMLEngine::TakeTextPiece(String& text, const TRect& r, bool measuring)
{
    // 1.
    const std::size_t lt = text.find(u'<');
    std::size_t n;
    if (WordWrap) {
        const std::size_t sp = text.find(u' ');
        n = (sp != String::npos && (lt == String::npos || sp < lt)) ? sp + 1 : (lt == String::npos ? text.size() : lt);
    } else {
        n = lt == String::npos ? text.size() : lt;
    }
    const String piece = text.substr(0, n);
    // 2.
    const String conv = ConvertPieceEntities(piece);
    // 3.
    if (n == 0)
        return;
    const int h = Canvas->TextHeight(conv);
    if (FSubscript)
        FSubExtra = std::max(FSubExtra, h / 4);
    if (FSuperscript)
        FSupExtra = std::max(FSupExtra, h / 4);
    FLineHeight = std::max(FLineHeight, h);
    StrippedText += conv;
    if (M.Hidden) {
        text.erase(0, n);
        return;
    }
    const int lineWidth = r.Right - r.Left;
    int w = 0;
    if (measuring) {
        TRect cr { r.Left, r.Top, r.Right, r.Bottom };
        DrawTextIn(cr, conv, FDrawFlags | DT_CALCRECT);
        w = cr.Right - cr.Left;
        FWidth += w;
        const int mirroredX = FRtlReading ? r.Right - X : X;
        if (X - r.Left >= FWidth - w && mirroredX - r.Left <= FWidth && M.InAnchor) {
            FPassTextAnchorHit = true;
            if (Y > r.Top) {
                HitAnchor = M.Href;
                HitAnchorTitle = M.Title;
                FAnchorRectPending = true;
            }
        }
    } else {
        TRect pr { FPen, r.Top, r.Right, FTextBottom };
        if (FSuperscript)
            pr.Bottom -= FSupExtra;
        if (FSubscript)
            pr.Bottom += FSubExtra;
        pr.Bottom -= FRaise;
        pr.Top = std::min(pr.Top, pr.Bottom - h);
        if (M.Shadow) {
            const TColor c = Canvas->GetFont()->GetColor();
            Canvas->GetFont()->SetColor(ShadowColor);
            TRect sr = pr;
            sr.Left += ShadowOffset;
            sr.Right += ShadowOffset;
            sr.Top += ShadowOffset;
            sr.Bottom += ShadowOffset;
            DrawTextIn(sr, conv, FDrawFlags);
            Canvas->GetFont()->SetColor(c);
        }
        TRect dr = pr;
        DrawTextIn(dr, conv, FDrawFlags);
        TRect cr = pr;
        DrawTextIn(cr, conv, FDrawFlags | DT_CALCRECT);
        const int pw = cr.Right - cr.Left;
        if (M.InAnchor && FFocusOpen)
            FocusAnchorHref = M.Href;
        if (M.Error)
            DrawErrorZigzag(pr.Left, pr.Left + pw, FTextBottom);
        FPen += pw;
    }
    // Fit test.
    const bool fits = FWidth < lineWidth || (measuring ? w >= lineWidth : 0 >= lineWidth)
        || (!FLineText.empty() && FLineText.back() != u' ');
    const bool firstText = FLineText.empty();
    FLineText += conv;
    if (fits || !WordWrap) {
        FLineMarkup += piece;
        text.erase(0, n);
        FTrailingSpace = (!conv.empty() && conv.back() == u' ' && conv.size() == piece.size())
            ? Canvas->TextWidth(u" ")
            : 0;
        if (measuring && !WordWrap && !fits && !firstText)
            text.clear();
    } else {
        FWidth -= w;
        FStop = true;
    }
}

// ---- tags ----

void THTMLEngine::InterpretTag(const String& tag, bool closing, const TRect& r, bool measuring, bool secondPass)
{
    const String upper = StrUpper(tag);
    if (closing)
        ClosingTag(upper, r, measuring);
    else
        OpeningTag(tag, upper, r, measuring, secondPass);
}

void THTMLEngine::OpeningTag(const String& tag, const String& upper, const TRect& r, bool measuring, bool secondPass)
{
    const Char c1 = upper.size() > 1 ? upper[1] : 0;
    const Char c2 = upper.size() > 2 ? upper[2] : 0;
    TFont* font = Canvas->GetFont();
    const bool painting = !measuring;
    auto addStyle = [font](TFontStyle s) { SetFontStyle(font, s, true); };
    switch (c1) {
    case u'A':
        AnchorStart(tag, upper, r, measuring);
        break;
    case u'B':
        if (c2 == u'>') {
            addStyle(fsBold);
        } else if (c2 == u'R') {
            FLineBreak = true;
            StrippedText += u'\r';
        } else if (c2 == u'L') {
            if (!BlinkOn)
                font->SetColor(FStartBrushColor);
        } else if (c2 == u'O') {
            BodyTag(upper, measuring);
        }
        break;
    case u'C':
        ControlTag(tag, upper, r, measuring);
        break;
    case u'E':
        if (c2 == u'>')
            M.Error = true;
        break;
    case u'F':
        FontTag(tag, upper, measuring);
        break;
    case u'H':
        if (c2 == u'I') {
            if (painting) {
                M.Highlight = true;
                FHiSavedText = font->GetColor();
                FHiSavedBk = TextBk();
                font->SetColor(HTMLHighlightTextColor());
                SetTextBk(HTMLHighlightBkColor());
            }
        } else if (c2 == u'R') {
            FLineBreak = true;
            if (painting) {
                const String col = AttributeValue(upper, u"COLOR");
                TPen* pen = Canvas->GetPen();
                const TColor oldPen = pen->GetColor();
                pen->SetColor(col.empty() ? clBlack : HTMLColor(col));
                Canvas->MoveTo(r.Left, FTextBottom);
                Canvas->LineTo(r.Right, FTextBottom);
                pen->SetColor(oldPen);
            }
        }
        break;
    case u'I':
        if (c2 == u'>')
            addStyle(fsItalic);
        else if (c2 == u'N')
            IndentTag(upper, measuring);
        else if (c2 == u'M')
            PictureTag(tag, upper, r, measuring);
        break;
    case u'J':
        EmojiTag(tag, r, measuring);
        break;
    case u'L':
        if (c2 == u'I')
            ListItemTag(tag, upper, r, measuring);
        break;
    case u'O':
    case u'U':
        if (c1 == u'U' && c2 == u'>') {
            addStyle(fsUnderline);
            break;
        }
        if (c2 == u'L') {
            if (!FLineText.empty() || FWidth > 0)
                FLineBreak = true;
            if (painting) {
                ++FListLevel;
                FNumbered = c1 == u'O';
                if (FNumbered)
                    FListNumber = 1;
            }
        }
        break;
    case u'P':
        ParagraphTag(upper, r, measuring, secondPass);
        break;
    case u'R':
        RotationTag(upper);
        break;
    case u'S':
        if (c2 == u'>' || c2 == u'T') {
            addStyle(fsStrikeOut);
        } else if (c2 == u'H') {
            M.Shadow = true;
        } else if (upper == u"<SUB>") {
            FSubscript = true;
        } else if (upper == u"<SUP>") {
            FSuperscript = true;
        } else if (c2 == u'P') {
            const String style = AttributeValue(upper, u"STYLE");
            TColor c;
            if (style.starts_with(u"BACKGROUND-COLOR:#") && ReadHexRGB(StringView(style).substr(18), c)) {
                FFontSavedBk = TextBk();
                SetTextBk(c);
            }
        }
        break;
    case u'Z':
        M.Hidden = true;
        break;
    default:
        break;
    }
}

void THTMLEngine::ClosingTag(const String& upper, const TRect& r, bool measuring)
{
    const Char c1 = upper.size() > 2 ? upper[2] : 0;
    const Char c2 = upper.size() > 3 ? upper[3] : 0;
    TFont* font = Canvas->GetFont();
    const bool painting = !measuring;
    auto removeStyle = [font](TFontStyle s) { SetFontStyle(font, s, false); };
    switch (c1) {
    case u'A':
        AnchorEnd(r, measuring);
        break;
    case u'B':
        if (c2 == u'>')
            removeStyle(fsBold);
        else
            font->SetColor(FStartTextColor);
        break;
    case u'E':
        M.Error = false;
        break;
    case u'F':
        font->SetName(FStartFont->GetName());
        font->SetSize(FStartFont->GetSize());
        if (painting && !KeepColors) {
            font->SetColor(FStartTextColor);
            SetTextBk(FFontSavedBk);
        }
        break;
    case u'H':
        if (M.Highlight) {
            font->SetColor(FHiSavedText);
            SetTextBk(FHiSavedBk);
            M.Highlight = false;
        }
        break;
    case u'I':
        removeStyle(fsItalic);
        break;
    case u'L':
        FLineBreak = true;
        break;
    case u'O':
        if (painting) {
            FListLevel = std::max(0, FListLevel - 1);
            FNumbered = false;
        }
        break;
    case u'P':
        FLineBreak = true;
        if (FParaBk) {
            FParaBk = false;
            if (painting)
                SetTextBk(FParaSavedBk);
        }
        if (painting) {
            FAlignment = 0;
            FLineHeightFactor = 1.0;
        }
        break;
    case u'R':
        EndRotation();
        break;
    case u'S':
        if (c2 == u'>' || c2 == u'T') {
            removeStyle(fsStrikeOut);
        } else if (c2 == u'U') {
            FSubscript = FSuperscript = false;
        } else if (c2 == u'P') {
            Canvas->GetBrush()->SetColor(FFontSavedBk);
            Canvas->GetBrush()->SetStyle(bsClear);
        } else if (c2 == u'H') {
            M.Shadow = false;
        }
        break;
    case u'U':
        if (c2 == u'L') {
            if (painting && FListLevel > 0)
                --FListLevel;
            else if (FListLevel == 0)
                removeStyle(fsUnderline);
        } else {
            removeStyle(fsUnderline);
        }
        break;
    case u'Z':
        M.Hidden = false;
        break;
    default:
        break;
    }
}

// ---- anchors ----

void THTMLEngine::AnchorStart(const String& tag, const String& upper, const TRect& r, bool measuring)
{
    TFont* font = Canvas->GetFont();
    const int n = ++AnchorCount;
    M.AnchorNumber = n;
    M.Href = AttributeValue(tag, upper, u"HREF");
    M.Title = AttributeValue(tag, upper, u"TITLE");
    M.InAnchor = !M.Href.empty();
    FAnchorRectPending = false;
    FAnchorStartWidth = FWidth;
    FAnchorStartTop = r.Top;
    FAnchorStartLine = FLineNumber;
    const bool hovered = HoverOnlyAnchors && n == HoverAnchor;
    if (!measuring) {
        FDecorated = !HoverOnlyAnchors || n == HoverAnchor;
        if (FDecorated) {
            SetFontStyle(font, fsUnderline, true);
            FHoverSavedBk = TextBk();
            FHoverSavedText = font->GetColor();
            if (HoverBkColor != clNone)
                SetTextBk(HoverBkColor);
            if (HoverFontColor != clNone)
                font->SetColor(HoverFontColor);
        }
    }
    if (!KeepColors && !(hovered && HoverFontColor != clNone))
        font->SetColor(AnchorColor);
    if (!measuring && n == FocusAnchor + 1) {
        FFocusOpen = true;
        FFocusStart = TPoint { FPen, r.Top };
    }
}

void THTMLEngine::AnchorEnd(const TRect& r, bool measuring)
{
    TFont* font = Canvas->GetFont();
    if (!measuring && FDecorated) {
        SetFontStyle(font, fsUnderline, false);
        SetTextBk(FHoverSavedBk);
        font->SetColor(FHoverSavedText);
        FDecorated = false;
    }
    if (!KeepColors)
        font->SetColor(FStartTextColor);
    if (!measuring && FFocusOpen && M.AnchorNumber == FocusAnchor + 1) {
        const int bottom = FTextBottom - FRaise;
        DrawFocusRectangle(TRect { FFocusStart.X, bottom - GHHeight(), FPen, bottom });
        FFocusOpen = false;
    }
    if (measuring && FAnchorRectPending) {
        const bool sameLine = FAnchorStartLine == FLineNumber;
        HitAnchorRect = TRect { sameLine ? r.Left + FAnchorStartWidth : r.Left, sameLine ? FAnchorStartTop : r.Top,
            r.Left + FWidth, FTextBottom };
        HitAnchorIndex = M.AnchorNumber;
        FAnchorRectPending = false;
    }
    M.InAnchor = false;
}

// ---- fonts, body, paragraphs ----

void THTMLEngine::FontTag(const String& tag, const String& upper, bool measuring)
{
    TFont* font = Canvas->GetFont();
    const String face = AttributeValue(upper, u"FACE");
    if (!face.empty())
        font->SetName(face);
    if (upper.find(u" COLOR") != String::npos && !KeepColors)
        font->SetColor(HTMLColor(AttributeValue(tag, upper, u" COLOR")));
    if (!measuring && !KeepColors && upper.find(u"BGCOLOR") != String::npos) {
        FFontSavedBk = TextBk();
        SetTextBk(HTMLColor(AttributeValue(tag, upper, u"BGCOLOR")));
    }
    int size = 0;
    if (upper.find(u"STYLE") != String::npos) {
        const String style = AttributeValue(upper, u"STYLE");
        const std::size_t pt = style.find(u"PT");
        if (style.starts_with(u"FONT-SIZE:") && pt != String::npos && pt >= 10)
            ReadAttributeNumber(Trim(StringView(style).substr(10, pt - 10)), size);
    } else if (const std::size_t p = upper.find(u"SIZE"); p != String::npos) {
        std::size_t eq = upper.find(u'=', p);
        if (eq != String::npos) {
            ++eq;
            if (eq < upper.size() && upper[eq] == u'"')
                ++eq;
            ReadAttributeNumber(StringView(upper).substr(eq), size);
            static constexpr int Sizes[] = { 8, 10, 12, 14, 16 };
            if (size >= 1 && size <= 5)
                size = Sizes[size - 1];
        }
    }
    // A size of zero or below would make a font without glyphs.
    if (size > 0)
        font->SetSize(std::min(size, 1000));
}

// The value after `name` and one more character (an opening quote skipped),
// cut at the first semicolon, apostrophe or double quote.
String BodyStyleValue(const String& upper, StringView name)
{
    const std::size_t p = upper.find(name);
    if (p == String::npos)
        return {};
    std::size_t from = p + name.size() + 1;
    if (from < upper.size() && upper[from] == u'"')
        ++from;
    if (from >= upper.size())
        return {};
    const std::size_t end = upper.find_first_of(u";'\"", from);
    return upper.substr(from, end == String::npos ? String::npos : end - from);
}

void THTMLEngine::BodyTag(const String& upper, bool measuring)
{
    TFont* font = Canvas->GetFont();
    const String family = BodyStyleValue(upper, u"FONT-FAMILY");
    if (!family.empty())
        font->SetName(family);
    String size = BodyStyleValue(upper, u"FONT-SIZE");
    if (size.find(u"PT") != String::npos && size.size() >= 2)
        size.resize(size.size() - 2);
    int pt = 0;
    if (!size.empty() && ReadAttributeNumber(size, pt) && pt > 0)
        font->SetSize(std::min(pt, 1000));
    const String style = BodyStyleValue(upper, u"FONT-STYLE");
    if (style == u"BOLD")
        font->SetStyle(TFontStyles { fsBold });
    else if (style == u"ITALIC")
        font->SetStyle(TFontStyles { fsItalic });
    if (measuring)
        return;
    const String background = AttributeValue(upper, u"BACKGROUND");
    if (!background.empty()) {
        const TResolvedPicture pic = ResolvePicture(background, false);
        if (pic.Source == TPictureSource::Graphic && pic.Width > 0 && pic.Height > 0) {
            HDC dc = Canvas->GetHandle();
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
            for (int y = R.Top; y < R.Bottom; y += pic.Height)
                for (int x = R.Left; x < R.Right; x += pic.Width)
                    Canvas->StretchDraw(TRect { x, y, x + pic.Width, y + pic.Height }, pic.Graphic);
            RestoreDC(dc, saved);
        }
    }
    if (upper.find(u"BGCOLOR") != String::npos) {
        const String value = AttributeValue(upper, u"BGCOLOR");
        TColor c;
        if (value.find(u"CL") != String::npos) {
            String name = StrLower(value);
            name.erase(0, name.find(u"cl") + 2);
            if (LookupHTMLColorName(name, c))
                SetTextBk(c);
        } else if (value.starts_with(u'#') && ReadHexRGB(StringView(value).substr(1), c)) {
            SetTextBk(c);
        }
        const TColor fill = Canvas->GetBrush()->GetColor();
        if (fill != clNone) {
            Canvas->GetPen()->SetColor(fill);
            Canvas->GetBrush()->SetColor(fill);
            Canvas->Rectangle(R);
            SetTextBk(TextBk());
        }
    }
}

double ParseLineHeightFactor(String value)
{
    std::replace(value.begin(), value.end(), u',', u'.');
    value = Trim(value);
    double whole = 0, frac = 0, scale = 1;
    bool dot = false, any = false;
    for (Char c : value) {
        if (c == u'.' && !dot) {
            dot = true;
        } else if (c >= u'0' && c <= u'9') {
            any = true;
            if (dot)
                frac += (c - u'0') * (scale /= 10);
            else
                whole = std::min(whole * 10 + (c - u'0'), 1e6);
        } else {
            return 1.0;
        }
    }
    const double f = whole + frac;
    // Zero and nonsense give single spacing; huge factors are capped so that
    // a line height stays a sane number of pixels.
    return (!any || f <= 0) ? 1.0 : std::min(f, 100.0);
}

void THTMLEngine::ParagraphTag(const String& upper, const TRect& r, bool measuring, bool secondPass)
{
    if (upper.find(u"ALIGN") != String::npos) {
        const String align = AttributeValue(upper, u"ALIGN");
        if (align.find(u"RIGHT") != String::npos)
            FAlignment = 1;
        if (align.find(u"LEFT") != String::npos)
            FAlignment = 0;
        if (align.find(u"CENTER") != String::npos)
            FAlignment = 2;
    }
    if (upper.find(u"INDENT") != String::npos) {
        int n = 0;
        ReadAttributeNumber(AttributeValue(upper, u"INDENT"), n);
        FIndent = std::clamp(n, -100000, 100000);
    }
    if (upper.find(u"LINE-HEIGHT") != String::npos)
        FLineHeightFactor = ParseLineHeightFactor(AttributeValue(upper, u"LINE-HEIGHT"));
    if (upper.find(u"FLOAT") != String::npos && !secondPass) {
        const String f = AttributeValue(upper, u"FLOAT");
        FFloatPara = f == u"LEFT" ? 1 : f == u"RIGHT" ? 2 : 0;
        FFloatParaLeft = r.Left;
        FFloatParaTop = r.Top;
    }
    if (!measuring && upper.find(u"BGCOLOR") != String::npos) {
        const TColor c = HTMLColor(AttributeValue(upper, u"BGCOLOR"));
        if (!FParaBk)
            FParaSavedBk = TextBk();
        Canvas->GetPen()->SetColor(c);
        Canvas->GetBrush()->SetColor(c);
        Canvas->Rectangle(R.Left, r.Top, R.Right, FTextBottom);
        SetTextBk(c);
        FParaBk = true;
    }
}

// ---- pictures ----

TResolvedPicture THTMLEngine::ResolvePicture(const String& source, bool allowIndex)
{
    TResolvedPicture pic;
    const String upper = StrUpper(source);
    if (allowIndex && upper.starts_with(u"IDX:")) {
        int n = -1;
        ReadAttributeNumber(StringView(upper).substr(4), n);
        if (Images && n >= 0 && n < Images->GetCount()) {
            pic.Source = TPictureSource::ImageList;
            pic.ImageIndex = n;
            pic.Width = Images->GetWidth();
            pic.Height = Images->GetHeight();
        }
    }
    // "SSYS:" and "LSYS:" name pictures of the desktop's system image list,
    // which this platform does not have: they are left out like missing ones.
    TGraphic* graphic = nullptr;
    if (source.find(u':') == String::npos && PictureContainer)
        graphic = PictureContainer->FindPicture(source);
    if (source.find(u"://") != String::npos && PictureCache) {
        graphic = PictureCache->FindPicture(source);
        if (!graphic) {
            THTMLPicture* p = PictureCache->AddPicture();
            p->SetAsynch(false);
            p->LoadFromURL(source);
            graphic = PictureCache->FindPicture(source);
        }
    }
    if (graphic && !graphic->Empty()) {
        pic.Source = TPictureSource::Graphic;
        pic.Graphic = graphic;
        pic.Width = graphic->GetWidth();
        pic.Height = graphic->GetHeight();
        if (auto* hp = dynamic_cast<THTMLPicture*>(graphic)) {
            pic.Width = hp->GetMaxWidth();
            pic.Height = hp->GetMaxHeight();
        }
    }
    return pic;
}

void THTMLEngine::DrawPicture(const TResolvedPicture& pic, const TRect& box, bool explicitSize)
{
    if (pic.Source == TPictureSource::ImageList) {
        if (!Printing) {
            Images->Draw(Canvas, box.Left, box.Top, pic.ImageIndex);
            return;
        }
        TBitmap copy;
        if (Images->GetBitmap(pic.ImageIndex, &copy)) {
            const TRect r { box.Left, box.Top, box.Left + RoundToInt(pic.Width * PrintFactor),
                box.Top + RoundToInt(pic.Height * PrintFactor) };
            Canvas->StretchDraw(r, &copy);
        }
        return;
    }
    auto* hp = dynamic_cast<THTMLPicture*>(pic.Graphic);
    if (hp && explicitSize)
        hp->SetStretch(true);
    if (hp && !explicitSize && hp->GetFrameCount() > 1) {
        TPen* pen = Canvas->GetPen();
        TBrush* brush = Canvas->GetBrush();
        const TColor oldPen = pen->GetColor();
        const TColor oldBrush = TextBk();
        pen->SetColor(FStartBrushColor);
        brush->SetColor(FStartBrushColor);
        Canvas->Rectangle(box.Left, box.Top, box.Left + hp->GetMaxWidth(), box.Top + hp->GetMaxHeight());
        pen->SetColor(oldPen);
        SetTextBk(oldBrush);
        const int x = box.Left + hp->GetFrameXPos(), y = box.Top + hp->GetFrameYPos();
        Canvas->StretchDraw(TRect { x, y, x + box.Right - box.Left, y + box.Bottom - box.Top }, hp);
        return;
    }
    Canvas->StretchDraw(box, pic.Graphic);
}

void THTMLEngine::PictureTag(const String& tag, const String& upper, const TRect& r, bool measuring)
{
    const int number = ++FPictures;
    // Addresses keep their letter case: file names on this platform are
    // case-sensitive, and container names are compared without case anyway.
    String source = AttributeValue(tag, upper, u"SRC");
    const String alt = AttributeValue(tag, upper, u"ALT");
    if (FHitPicture == number && !alt.empty())
        source = alt;
    const TResolvedPicture pic = ResolvePicture(source, true);
    int w = pic.Width, h = pic.Height;
    bool explicitSize = false;
    if (pic.Source == TPictureSource::Graphic) {
        int wv = 0, hv = 0;
        const bool hasW = upper.find(u"WIDTH") != String::npos;
        const bool hasH = upper.find(u"HEIGHT") != String::npos;
        if (hasW)
            ReadAttributeNumber(AttributeValue(upper, u"WIDTH"), wv);
        if (hasH)
            ReadAttributeNumber(AttributeValue(upper, u"HEIGHT"), hv);
        wv = std::clamp(wv, 0, 100000);
        hv = std::clamp(hv, 0, 100000);
        explicitSize = hasW || hasH;
        if (hasW && hasH) {
            w = RoundToInt(wv * DPIScale);
            h = RoundToInt(hv * DPIScale);
        } else if (hasW) {
            w = RoundToInt(wv * DPIScale);
            h = pic.Width > 0 ? RoundToInt(double(pic.Height) * w / pic.Width) : 0;
        } else if (hasH) {
            h = RoundToInt(hv * DPIScale);
            w = pic.Height > 0 ? RoundToInt(double(pic.Width) * h / pic.Height) : 0;
        } else {
            w = RoundToInt(pic.Width * DPIScale);
            h = RoundToInt(pic.Height * DPIScale);
        }
    }
    if (pic.Source == TPictureSource::None) {
        FWidth += 2;
        FPen += 2;
        return;
    }
    const int lineWidth = r.Right - r.Left;
    if (FWidth + w > lineWidth && w < lineWidth) {
        // The picture starts the next line; it is counted there again.
        --FPictures;
        FStop = true;
        return;
    }
    if (M.InAnchor && X - r.Left > FWidth && X - r.Left < FWidth + w && Y > r.Top && Y < r.Top + h) {
        HitAnchor = M.Href;
        HitAnchorTitle = M.Title;
        FHitPicture = number;
        FPassItemHit = true;
    }
    FLineHeight = std::max(FLineHeight, h);
    const int gh = GHHeight();
    if (upper.find(u"ALIGN") != String::npos) {
        if (upper.find(u"\"TOP") != String::npos)
            FRaise = std::max(0, FLineHeight - gh);
        else if (upper.find(u"\"MIDDLE") != String::npos)
            FRaise = std::max(0, FLineHeight - gh) / 2;
    }
    if (upper.find(u"WRAP") != String::npos) {
        FLineHeight = gh;
        FRaise = 0;
    }
    const String floating = AttributeValue(upper, u"FLOAT");
    if (floating == u"LEFT" || floating == u"RIGHT") {
        FRaise = std::max(0, FLineHeight - gh);
        if (floating == u"LEFT")
            FFloatLeft = w + 2;
        else
            FFloatRight = w + 2;
        FFloatBottom = h;
    }
    if (!measuring)
        DrawPicture(pic, TRect { FPen, r.Top, FPen + w, r.Top + h }, explicitSize);
    if (floating == u"LEFT" || floating == u"RIGHT") {
        if (!measuring)
            FLineHeight = gh;
        if (floating == u"RIGHT")
            FWidth = R.Right;
    }
    FWidth += w + 2;
    FPen += w + 2;
}

// ---- lists ----

void THTMLEngine::ListItemTag(const String& tag, const String& upper, const TRect& r, bool measuring)
{
    if (FListItemOnLine) {
        FStop = true;
        return;
    }
    FListItemOnLine = true;
    FWidth += FListLevel * ListIndent;
    FPen += FListLevel * ListIndent - ListIndent;
    if (!measuring && !M.Hidden) {
        TFont* font = Canvas->GetFont();
        const String type = AttributeValue(upper, u"TYPE");
        const String colorValue = AttributeValue(upper, u"COLOR");
        const TColor color = colorValue.empty() ? font->GetColor() : HTMLColor(colorValue);
        if (type == u"SQUARE" || type == u"CIRCLE") {
            TPen* pen = Canvas->GetPen();
            const TColor oldPen = pen->GetColor();
            const TColor oldBk = TextBk();
            pen->SetColor(color);
            Canvas->GetBrush()->SetColor(color);
            const TRect b { FPen, r.Top + 2, FPen + 8, r.Top + 10 };
            if (type == u"SQUARE")
                Canvas->Rectangle(b);
            else
                Canvas->Ellipse(b);
            pen->SetColor(oldPen);
            SetTextBk(oldBk);
        } else if (type == u"IMAGE") {
            const TResolvedPicture pic = ResolvePicture(AttributeValue(tag, upper, u"NAME"), false);
            if (pic.Source == TPictureSource::Graphic) {
                Canvas->StretchDraw(TRect { FPen, r.Top + 2, FPen + pic.Width, r.Top + 2 + pic.Height }, pic.Graphic);
                if (pic.Width > ListIndent)
                    FPen += pic.Width - ListIndent;
            }
        } else if (type.empty()) {
            const TFontName oldName = font->GetName();
            const TColor oldColor = font->GetColor();
            font->SetName(u"Symbol");
            if (!colorValue.empty())
                font->SetColor(color);
            String bullet;
            if (FNumbered) {
                bullet = IntToStr(FListNumber++) + u". ";
            } else {
                bullet = (FListLevel % 2 == 1) ? String(u"\u00B7") : String(u"o");
            }
            Canvas->TextOut(FPen, r.Top, bullet);
            if (FNumbered)
                FPen += Canvas->TextWidth(bullet) - ListIndent;
            font->SetName(oldName);
            font->SetColor(oldColor);
        }
        if (!type.empty())
            SetTextBk(clNone);
    }
    FPen += ListIndent;
}

// ---- form controls ----

void THTMLEngine::ControlTag(const String& tag, const String& upper, const TRect& r, bool measuring)
{
    const String widthValue = AttributeValue(upper, u"WIDTH=");
    if (widthValue.empty())
        return;
    const String type = AttributeValue(upper, u"TYPE=");
    const String id = AttributeValue(tag, upper, u"ID=");
    // The text preparation doubled every ampersand for prefix drawing; the
    // value the control reports and shows is the one the markup holds.
    const String value = ReplaceAll(UnescapeHTMLText(AttributeValue(tag, upper, u"VALUE="), true), u"&&", u"&");
    int wv = 0, hv = 25;
    ReadAttributeNumber(widthValue, wv);
    wv = std::clamp(wv, 0, 100000);
    int h = 0;
    if (ReadAttributeNumber(AttributeValue(upper, u"HEIGHT="), h))
        hv = std::clamp(h, 0, 100000);
    const float s = DPIScale;
    const int W = RoundToInt(wv * s), H = RoundToInt(hv * s);
    const int b = FTextBottom;
    const bool checkLike = type == u"CHECK" || type == u"RADIO";
    FLineHeight = RoundToInt((checkLike ? 16 : 23) * s);
    if (H > RoundToInt(25 * s))
        FLineHeight = H - 2;
    int boxW = W, boxH = H;
    if (type == u"EDIT" || type == u"PASSWORD" || type == u"MASK")
        boxH = GHHeight() + 10;
    else if (checkLike)
        boxW = boxH = RoundToInt(16 * s);
    else if (type == u"BUTTON")
        boxH = RoundToInt(24 * s);
    if (!measuring)
        DrawControl(type, value, id, W, H, b, FLineHeight, boxW, boxH);
    if (type == u"BUTTON" || type == u"COMBO")
        boxH = RoundToInt(25 * s);
    if (checkLike) {
        boxW = RoundToInt(16 * s * PrintFactor);
        boxH = RoundToInt(16 * s);
    }
    const bool onIt = X - r.Left > FWidth && X - r.Left < FWidth + boxW && Y > r.Top && Y < r.Top + boxH;
    if (onIt || (LocateOnly && id == LocateID)) {
        HitAnchor = u"ctrl";
        FHitPicture = FPictures;
        ControlRect = TRect { r.Left + FWidth, r.Top, r.Left + FWidth + boxW, r.Top + boxH };
        ControlValue = value;
        ControlID = id;
        ControlType = type;
        FPassItemHit = true;
    }
    const int lineWidth = r.Right - r.Left;
    if (FWidth + boxW > lineWidth && boxW < lineWidth) {
        FStop = true;
        return;
    }
    FWidth += boxW;
    FPen += boxW;
    FLineHeight = std::max(FLineHeight, boxH);
}

void THTMLEngine::DrawControl(const String& type, const String& value, const String& id, int W, int H, int b,
    int lineHeight, int& boxW, int& boxH)
{
    const float s = DPIScale;
    const int x = FPen;
    const bool hot = X > x - 2 && X < x - 2 + boxW && Y > b - boxH - 2 && Y < b - 2;
    TPen* pen = Canvas->GetPen();
    const TColor oldPen = pen->GetColor();
    const TColor oldBk = TextBk();
    pen->SetColor(Themed() ? TColor(0xB99D7F) : TColor(0x808080));
    auto themedPart = [&](const char16_t* cls, int part, int state, const TRect& rc) {
        HTHEME theme = OpenThemeData(ThemeWindow, cls);
        if (!theme)
            return false;
        const RECT rr = rc;
        DrawThemeBackground(theme, Canvas->GetHandle(), part, state, &rr, nullptr);
        CloseThemeData(theme);
        return true;
    };
    auto frame = [&](TRect rc, UINT kind, UINT state) {
        RECT rr = rc;
        DrawFrameControl(Canvas->GetHandle(), &rr, kind, state);
    };
    auto text = [&](TRect rc, const String& t, UINT flags) {
        SetTextBk(clNone);
        DrawTextIn(rc, t, flags | DT_SINGLELINE | DT_NOPREFIX);
    };
    const bool checked = StrUpper(value) == u"TRUE";
    if (type == u"EDIT" || type == u"PASSWORD" || type == u"MASK") {
        Canvas->GetBrush()->SetColor(clWhite);
        Canvas->Rectangle(x, b - lineHeight + 4, x + W, b + 2);
        const String shown = type == u"PASSWORD" ? String(value.size(), u'*') : value;
        text(TRect { x + 2, b - lineHeight + 4, x + W, b }, shown, DT_VCENTER);
    } else if (type == u"COMBO") {
        const int button = RoundToInt(18 * s);
        Canvas->GetBrush()->SetColor(clWhite);
        Canvas->Rectangle(x, b - lineHeight + 4, x + W, b + 1);
        text(TRect { x + 4, b - lineHeight + 4, x + W - button, b }, value, DT_VCENTER);
        const TRect br { x + W - button, b - lineHeight + 5, x + W - 1, b + 1 };
        if (!(Themed() && themedPart(u"combobox", 1, hot ? 2 : 1, br)))
            frame(br, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
    } else if (type == u"CHECK") {
        const TRect br { x + 2, b - boxH + 1, x + boxH - 1, b };
        if (!(Themed() && themedPart(u"button", 3, checked ? 5 : 1, br)))
            frame(br, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? UINT(DFCS_CHECKED) : 0u));
    } else if (type == u"RADIO") {
        const TRect br { x + 2, b - RoundToInt(14 * s), x + RoundToInt(14 * s), b };
        if (!(Themed() && themedPart(u"button", 2, checked ? 5 : 1, br)))
            frame(br, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | (checked ? UINT(DFCS_CHECKED) : 0u));
    } else if (type == u"BUTTON") {
        const bool down = ControlDown && DownControlID == id;
        const TRect br { x + 2, b - H, x + W - 2, b };
        if (!(Themed() && themedPart(u"button", 1, down ? 3 : hot ? 2 : 1, br)))
            frame(br, DFC_BUTTON, DFCS_BUTTONPUSH | (hot && down ? UINT(DFCS_PUSHED) : 0u));
        text(TRect { br.Left + 2, br.Top + 2, br.Right - 2, br.Bottom - 2 }, value, DT_CENTER | DT_VCENTER);
    }
    (void)boxW;
    pen->SetColor(oldPen);
    SetTextBk(oldBk);
}

// ---- indent, emoji, rotation ----

void THTMLEngine::IndentTag(const String& upper, bool measuring)
{
    const std::size_t x = upper.find(u'X');
    if (x == String::npos)
        return;
    const std::size_t q1 = upper.find(u'"', x + 2);
    const std::size_t q2 = q1 == String::npos ? String::npos : upper.find(u'"', q1 + 1);
    if (q2 == String::npos)
        return;
    int n = 0;
    if (!ReadAttributeNumber(StringView(upper).substr(q1 + 1, q2 - q1 - 1), n))
        return;
    n = std::clamp(n, -100000, 100000);
    int d;
    if (Printing)
        d = RoundToInt((measuring ? 3.0 : 1.0) * n * PrintFactor);
    else
        d = RoundToInt(n * DPIScale);
    FPen = R.Left + d;
    if (!Printing || measuring)
        FWidth = std::max(FWidth, d);
}

// Colour emoji have no renderer of their own here: the characters are drawn
// as text in the emoji family (the font configuration picks a colour font
// where one is installed), in the box and size colour emoji would take.
void THTMLEngine::EmojiTag(const String& tag, const TRect& r, bool measuring)
{
    if (M.Hidden)
        return;
    if (!measuring && tag.size() > 5) {
        const String emoji = Trim(StringView(tag).substr(3, tag.size() - 4));
        TFont* font = Canvas->GetFont();
        TFont saved;
        saved.Assign(font);
        const int px = RoundToInt(font->GetSize() * 96.0 / 72.0);
        font->SetName(u"Segoe UI Emoji");
        font->SetStyle(TFontStyles {});
        font->SetHeight(-std::abs(px));
        font->SetColor(clBlack);
        const TColor oldBk = TextBk();
        SetTextBk(clNone);
        TRect box { FPen, r.Top - 2, FPen + 100, r.Top + 100 };
        DrawTextIn(box, emoji, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SetTextBk(oldBk);
        font->Assign(&saved);
    }
    FPen += GHHeight();
}

void THTMLEngine::RotationTag(const String& upper)
{
    const std::size_t a = upper.find(u'A');
    if (a == String::npos)
        return;
    int deg = 0;
    ReadAttributeNumber(AttributeValue(upper, upper, u"A", a), deg);
    EndRotation();
    LOGFONTW lf = Canvas->GetFont()->GetLogFont();
    lf.lfEscapement = lf.lfOrientation = LONG((std::int64_t(deg) % 360) * 10);
    FRotatedFont = CreateFontIndirect(&lf);
    if (!FRotatedFont)
        return;
    Canvas->TextHeight(u"");
    SelectObject(Canvas->GetHandle(), FRotatedFont);
}

void THTMLEngine::EndRotation()
{
    if (!FRotatedFont)
        return;
    SelectObject(Canvas->GetHandle(), Canvas->GetFont()->GetHandle());
    DeleteObject(FRotatedFont);
    FRotatedFont = nullptr;
}

// ---- small drawing helpers ----

void THTMLEngine::DrawErrorZigzag(int left, int right, int bottom)
{
    TPen* pen = Canvas->GetPen();
    const TColor oldColor = pen->GetColor();
    const int oldWidth = pen->GetWidth();
    pen->SetColor(TColor(0x0000FF));
    pen->SetWidth(1);
    int x = left / 2 * 2;
    int offset = x % 4 == 0 ? 2 : 0;
    Canvas->MoveTo(x, bottom - 1 + offset);
    while (x < right) {
        offset = offset == 0 ? 2 : 0;
        Canvas->LineTo(x + 2, bottom - 1 + offset);
        x += 2;
    }
    pen->SetColor(oldColor);
    pen->SetWidth(oldWidth);
}

void THTMLEngine::DrawFocusRectangle(TRect r)
{
    r.Left -= 1;
    r.Right += 1;
    Canvas->DrawFocusRect(r);
}

void THTMLEngine::SetTextBk(TColor c)
{
    TBrush* brush = Canvas->GetBrush();
    brush->SetColor(c);
    if (c == clNone)
        brush->SetStyle(bsClear);
}

TColor THTMLEngine::TextBk() const
{
    const TBrush* brush = Canvas->GetBrush();
    return brush->GetStyle() == bsClear ? clNone : brush->GetColor();
}

int THTMLEngine::DrawTextIn(TRect& r, const String& s, UINT flags)
{
    String copy = s;
    Canvas->TextRect(r, copy, FlagsToTextFormat(flags));
    return r.Bottom - r.Top;
}

} // namespace

bool IsWinXPOrLater() { return WinXPOrLater; }

bool DrawHTMLText(TCanvas* Canvas, const String& Markup, const TRect& Rect, TCustomImageList* Images, int X, int Y,
    int FocusAnchor, int HoverAnchor, int ShadowOffset, bool LocateOnly, bool MeasureOnly, bool Printing,
    bool KeepColors, bool BlinkOn, bool HoverOnlyAnchors, bool WordWrap, bool ControlDown,
    const String& DownControlID, double PrintFactor, TColor AnchorColor, TColor HoverBkColor, TColor HoverFontColor,
    TColor ShadowColor, String& HitAnchor, String& StrippedText, String& FocusAnchorHref, String& HitAnchorTitle,
    int& XSize, int& YSize, int& AnchorCount, int& HitAnchorIndex, TRect& HitAnchorRect, TRect& ControlRect,
    String& ControlID, String& ControlValue, String& ControlType, THTMLPictureCache* PictureCache,
    TPictureContainer* PictureContainer, HWND ThemeWindow, float DPIScale, int BiDiMode)
{
    THTMLEngine e;
    e.Canvas = Canvas;
    e.Images = Images;
    e.X = X;
    e.Y = Y;
    e.FocusAnchor = FocusAnchor;
    e.HoverAnchor = HoverAnchor;
    e.ShadowOffset = ShadowOffset;
    e.LocateOnly = LocateOnly;
    e.MeasureOnly = MeasureOnly;
    e.Printing = Printing;
    e.KeepColors = KeepColors;
    e.BlinkOn = BlinkOn;
    e.HoverOnlyAnchors = HoverOnlyAnchors;
    e.WordWrap = WordWrap;
    e.ControlDown = ControlDown;
    e.DownControlID = DownControlID;
    e.PrintFactor = std::isfinite(PrintFactor) ? PrintFactor : 1.0;
    e.AnchorColor = AnchorColor;
    e.HoverBkColor = HoverBkColor;
    e.HoverFontColor = HoverFontColor;
    e.ShadowColor = ShadowColor;
    e.PictureCache = PictureCache;
    e.PictureContainer = PictureContainer;
    e.ThemeWindow = ThemeWindow;
    e.DPIScale = std::isfinite(DPIScale) && DPIScale > 0 ? DPIScale : 1.0f;
    e.BiDiMode = BiDiMode;
    e.LocateID = LocateOnly ? ControlID : String();
    e.HitAnchorRect = HitAnchorRect;
    if (LocateOnly)
        e.ControlID = ControlID;
    bool result = false;
    if (Canvas) {
        try {
            result = e.Run(Markup, Rect);
        } catch (...) {
            // Painting never raises; the canvas state is restored below.
            e.RestoreCanvas();
            result = false;
        }
    }
    HitAnchor = e.HitAnchor;
    StrippedText = e.StrippedText;
    FocusAnchorHref = e.FocusAnchorHref;
    HitAnchorTitle = e.HitAnchorTitle;
    XSize = e.XSize;
    YSize = e.YSize;
    AnchorCount = e.AnchorCount;
    HitAnchorIndex = e.HitAnchorIndex;
    HitAnchorRect = e.HitAnchorRect;
    ControlRect = e.ControlRect;
    ControlID = e.ControlID;
    ControlValue = e.ControlValue;
    ControlType = e.ControlType;
    return result;
}

} // namespace VovHTMLE
