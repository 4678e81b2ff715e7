// A rectangle of the grid as an HTML table: one style class per distinct
// cell look, merged cells as spans, links, and cell pictures as JPEG files
// beside the page. The clipboard's HTML copy uses the same text.
//
// With XHTML the output is well-formed XML: lower-case tags, empty
// elements closed, and "&#160;" in place of the HTML-only "&nbsp;".

#include <sys/stat.h>

#include "foundation/VuzErazs.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/JPEG.h"
#include "richtext/MiniHTML.h"

using namespace VuzEraz;

namespace {

constexpr TColor NoColor = TColor(2147483647);

// Markup characters of an attribute value.
String EscapeAttribute(StringView s)
{
    String r;
    r.reserve(s.size());
    for (Char c : s) {
        switch (c) {
        case u'&': r += u"&amp;"; break;
        case u'"': r += u"&quot;"; break;
        case u'<': r += u"&lt;"; break;
        case u'>': r += u"&gt;"; break;
        default: r += c;
        }
    }
    return r;
}

String ReplaceAll(const String& s, StringView From, StringView To)
{
    String r;
    std::size_t p = 0;
    while (true) {
        const std::size_t q = s.find(From, p);
        if (q == String::npos)
            break;
        r.append(s, p, q - p);
        r += To;
        p = q + From.size();
    }
    r.append(s, p, String::npos);
    return r;
}

// The markup characters as XML's own entities and every other character
// beyond ASCII by its number: named HTML entities are no XML.
String EscapeXML(StringView s)
{
    String r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Char c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            r += u"&#" + IntToStr(0x10000 + ((int(c) - 0xD800) << 10) + (int(s[i + 1]) - 0xDC00)) + u";";
            ++i;
        } else if (c > 127)
            r += u"&#" + IntToStr(int(c)) + u";";
        else if (c == u'&' || c == u'"' || c == u'<' || c == u'>')
            r += EscapeAttribute(StringView(&c, 1));
        else
            r += c;
    }
    return r;
}

bool IsBlank(StringView s)
{
    for (Char c : s)
        if (c > u' ')
            return false;
    return true;
}

bool MakeFolder(const String& Dir)
{
    if (Dir.empty() || DirectoryExists(Dir))
        return true;
    return ForceDirectories(Dir);
}

// One export: its style classes, its picture counter and its options.
struct THTMLWriter {
    TDedOzovedUrad& G;
    THTMLSettings& S;
    String Dir;
    bool X;
    std::vector<String> Styles;
    int Picture { 1 };

    String Space() const { return X ? u"&#160;" : u"&nbsp;"; }
    String Br() const { return X ? u"<br />" : u"<br>"; }

    int StyleClass(const String& Style)
    {
        for (std::size_t i = 0; i < Styles.size(); ++i)
            if (Styles[i] == Style)
                return int(i);
        Styles.push_back(Style);
        return int(Styles.size() - 1);
    }

    // Saves the picture as the next JPEG file; the image tag.
    String ImageTag(TGraphic* Graphic)
    {
        const String Folder = Dir + S.GetImageFolder();
        if (!MakeFolder(Folder))
            throw Exception(u"Cannot create " + Folder);
        const String Path = Folder + u"/" + S.GetImageBaseName() + IntToStr(Picture++) + u".jpg";
        if (auto* J = dynamic_cast<TJPEGImage*>(Graphic)) {
            J->SaveToFile(Path);
        } else {
            TBitmap Bmp;
            Bmp.SetSize(Graphic->GetWidth(), Graphic->GetHeight());
            Bmp.GetCanvas()->Draw(0, 0, Graphic);
            TJPEGImage Jpeg;
            Jpeg.Assign(&Bmp);
            Jpeg.SaveToFile(Path);
        }
        return u"<img src= \"file://" + EscapeAttribute(Path) + (X ? u"\" />" : u"\">");
    }

    // The cell text as HTML: escaped, spaces kept, line breaks and links.
    String CellText(const String& Raw, bool Header)
    {
        String t = Raw;
        if (S.GetConvertSpecialChars())
            t = X ? EscapeXML(t) : VovHTMLE::EscapeHTMLText(t, true);
        if (S.GetNonBreakingText())
            t = ReplaceAll(t, u" ", Space());
        t = ReplaceAll(ReplaceAll(t, u"\r\n", u"\r"), u"\r", Br());
        if (G.GetURLShow() && t.find(u"</") == String::npos) {
            const std::size_t Mail = Raw.find(u"mailto:");
            const std::size_t Web = t.find(u"://");
            if (Mail != String::npos)
                t = u"<a href=\"" + EscapeAttribute(Raw) + u"\">" + t.substr(std::min(t.size(), t.find(u"mailto:") + 7))
                    + u"</a>";
            else if (Web != String::npos)
                t = u"<a href=\"" + EscapeAttribute(Raw) + u"\">"
                    + (G.GetURLFull() ? t : t.substr(Web + 3, 255)) + u"</a>";
        }
        if (Header ? t.empty() : IsBlank(t))
            t = Space();
        return t;
    }

    String Style(int c, int r, bool Fixed)
    {
        TBrush Brush;
        TFont Font;
        Font.Assign(G.GetFont());
        Brush.SetColor(NoColor);
        Font.SetColor(NoColor);
        TGridDrawState State;
        if (Fixed)
            State.Include(gdFixed);
        TColor ColorTo = clNone, Mirror = clNone, MirrorTo = clNone;
        TAlignment HA = taLeftJustify;
        TVAlignment VA = vtaTop;
        bool WW = G.GetWordWrap();
        TCellGradientDirection GD {};
        G.GetVisualProperties(c, r, State, false, false, true, &Brush, ColorTo, Mirror, MirrorTo, &Font, HA, VA, WW, GD);
        TColor Back = Fixed ? G.GetFixedColor() : Brush.GetColor();
        std::vector<String> D;
        if (Back != NoColor && S.GetSaveColor())
            D.push_back(u"background-color: #" + ColorToHexRGB(ColorToRGB(Back)));
        if (Font.GetColor() != NoColor && S.GetSaveColor())
            D.push_back(u"color: #" + ColorToHexRGB(ColorToRGB(Font.GetColor())));
        D.push_back(u"font-size:" + IntToStr(Font.GetSize()) + u"pt");
        if (Font.GetStyle().Contains(fsItalic))
            D.push_back(u"font-style: italic");
        if (Font.GetStyle().Contains(fsBold))
            D.push_back(u"font-weight: bold");
        D.push_back(u"font-family: " + Font.GetName());
        if (HA == taRightJustify)
            D.push_back(u"text-align: right");
        else if (HA == taCenter)
            D.push_back(u"text-align: center");
        D.push_back(VA == vtaTop ? u"vertical-align: top" : VA == vtaCenter ? u"vertical-align: middle" : u"vertical-align: bottom");
        String Text;
        for (std::size_t i = 0; i < D.size(); ++i) {
            if (i)
                Text += u";";
            Text += D[i];
        }
        WrapOut = WW;
        return Text;
    }
    bool WrapOut { false };

    // The content of a cell with a picture; empty when the cell has none
    // (then the plain text is written).
    bool PictureContent(int c, int RC, int r, const String& Text, String& Out)
    {
        if (!S.GetExportImages())
            return false;
        TCellGraphic* Gr = G.GetCellGraphic(RC, r);
        if (!Gr)
            return false;
        TCustomImageList* Images = G.GetGridImages();
        auto ListImage = [&](int Idx) -> String {
            TBitmap Bmp;
            if (!Images || Idx < 0 || Idx >= Images->GetCount() || !Images->GetBitmap(Idx, &Bmp))
                return String();
            return ImageTag(&Bmp);
        };
        switch (Gr->GetCellType()) {
        case ctBitmap:
            if (!Gr->GetCellBitmap() || Gr->GetCellBitmap()->GetEmpty())
                return false;
            Out = Text + ImageTag(Gr->GetCellBitmap());
            return true;
        case ctPicture: {
            TPicture* Pic = Gr->GetCellPicture();
            if (!Pic || !Pic->GetGraphic() || Pic->GetGraphic()->GetEmpty())
                return false;
            Out = Text + ImageTag(Pic->GetGraphic());
            return true;
        }
        case ctInterface: {
            IGridCellObject* I = Gr->GetCellInterface();
            if (!I)
                return false;
            const TRect CR = G.CellRect(c, r);
            const int W = I->GetWidth() > 0 ? I->GetWidth() : CR.Width();
            const int H = I->GetHeight() > 0 ? I->GetHeight() : CR.Height();
            if (W <= 0 || H <= 0)
                return false;
            TBitmap Bmp;
            Bmp.SetSize(W, H);
            I->Draw(Bmp.GetCanvas(), TRect(0, 0, W, H), RC, r, false, &G);
            Out = Text + ImageTag(&Bmp);
            return true;
        }
        case ctImageList: {
            const String Tag = ListImage(Gr->GetCellIndex());
            if (Tag.empty())
                return false;
            Out = Tag + Text;
            return true;
        }
        case ctDataImage: {
            int Idx = -1;
            String Tag;
            if (TryStrToInt(G.GetCellEx(RC, r), Idx))
                Tag = ListImage(Idx);
            Out = Tag;
            return true;
        }
        case ctImages: {
            String Tags;
            if (TIntList* L = Gr->GetCellImages())
                for (int i = 0; i < L->Count(); ++i)
                    Tags += ListImage((*L)[i]);
            Out = Tags + Text;
            return true;
        }
        case ctNode: Out = u"+" + Text; return true;
        default: return false;
        }
    }

    String Cell(int c, int r, bool Header, int Left, bool Widths)
    {
        const int RC = G.DisplayToRealCol(TDisplayCol(c)).Value;
        const bool Fixed = c < G.GetFixedCols() || r < G.GetFixedRows();
        String Attrs;
        const TPoint Span = G.CellSpan(c, r);
        if (Span.X > 0)
            Attrs += u" colspan=\"" + IntToStr(Span.X + 1) + u"\"";
        if (Span.Y > 0)
            Attrs += u" rowspan=\"" + IntToStr(Span.Y + 1) + u"\"";
        const String StyleText = Style(c, r, Fixed);
        if (!WrapOut)
            Attrs += u" nowrap=\"nowrap\"";
        TIntList* W = S.GetColWidths();
        const int WIdx = Header ? c : c - Left;
        if ((Header || Widths) && WIdx >= 0 && WIdx < W->Count())
            Attrs += u" width=" + String(X ? u"\"" : u"") + IntToStr((*W)[WIdx]) + u"px" + String(X ? u"\"" : u"");
        const String Raw = G.SaveCell(RC, r);
        const String Text = CellText(Raw, Header);
        String Content = Text;
        String Pic;
        if (PictureContent(c, RC, r, Text, Pic))
            Content = Pic;
        return u"<td class=\"c" + IntToStr(StyleClass(StyleText)) + u"\"" + Attrs + u">" + Content + u"</td>";
    }
};

} // namespace

String TDedOzovedUrad::SaveRectToHTMLString(const TGridRect& ARect, const String& dir)
{
    THTMLSettings& S = *GetHTMLSettings();
    THTMLWriter W { *this, S, dir, S.GetXHTML() };
    const String CRLF = u"\r\n";
    String Head;
    if (W.X) {
        Head += u"<?xml version=\"1.0\" encoding=\"utf-8\"?>" + CRLF;
        Head += u"<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"" + CRLF;
        Head += u"\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">" + CRLF;
        Head += u"<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">" + CRLF;
    }
    Head += S.GetHeaderText();
    Head += S.GetPrefixTag();
    std::vector<String> Lines;
    String Table = u"<table border=\"" + IntToStr(S.GetBorderSize()) + u"\" cellspacing=\"" + IntToStr(S.GetCellSpacing())
        + u"\" cellpadding=\"" + IntToStr(S.GetCellPadding()) + u"\" ";
    if (!S.GetSummary().empty())
        Table += u"summary=\"" + EscapeAttribute(S.GetSummary()) + u"\" ";
    if (!S.GetTableStyle().empty())
        Table += u" " + S.GetTableStyle() + u" ";
    Table += u" width=\"" + IntToStr(S.GetWidth()) + u"%\">";
    Lines.push_back(Table);
    int First = ARect.Top;
    const bool HeaderRow = GetFixedRows() > 0 && ARect.Top < GetFixedRows() && (FSaveFixedCells || FSaveFixedRows);
    if (HeaderRow) {
        String Row = u"<tr>";
        for (int c = ARect.Left; c <= ARect.Right; ++c)
            if (IsBaseCell(c, 0))
                Row += W.Cell(c, 0, true, ARect.Left, false);
        Lines.push_back(Row + u"</tr>");
        First = 1;
    }
    ExportNotification(esExportStart, First);
    for (int r = First; r <= ARect.Bottom; ++r) {
        ExportNotification(esExportNextRow, r);
        String Row = u"<tr>";
        for (int c = ARect.Left; c <= ARect.Right; ++c)
            if (IsBaseCell(c, r))
                Row += W.Cell(c, r, false, ARect.Left, !HeaderRow);
        Lines.push_back(Row + u"</tr>");
    }
    ExportNotification(esExportDone, -1);
    Lines.push_back(u"</table>");
    if (!S.GetSuffixTag().empty())
        Lines.push_back(S.GetSuffixTag());
    if (!S.GetFooterText().empty())
        Lines.push_back(S.GetFooterText());
    if (W.X)
        Lines.push_back(u"</html>");
    String Result = Head + u"<style>" + CRLF;
    for (std::size_t i = 0; i < W.Styles.size(); ++i)
        Result += u".c" + IntToStr(int(i)) + u" {" + W.Styles[i] + u"}" + CRLF;
    Result += u"</style>" + CRLF;
    for (const String& L : Lines)
        Result += L + CRLF;
    return Result;
}

String TDedOzovedUrad::SaveToHTMLString(const String& dir)
{
    TGridRect R;
    const bool Cols = FSaveFixedCells || FSaveFixedCols, Rows = FSaveFixedCells || FSaveFixedRows;
    R.Left = Cols ? 0 : GetFixedCols();
    R.Right = Cols ? GetColCount() - 1 : GetColCount() - GetFixedRightCols() - 1;
    R.Top = Rows ? 0 : GetFixedRows();
    R.Bottom = Rows ? GetRowCount() - 1 : GetRowCount() - GetFixedFooters() - 1;
    return SaveRectToHTMLString(R, dir);
}

void TDedOzovedUrad::WriteHTMLFile(const String& FileName, bool Append, bool Unicode, bool Show)
{
    THTMLSettings& S = *GetHTMLSettings();
    TStringList Lines;
    if (Append && FileExists(FileName)) {
        try {
            Lines.LoadFromFile(FileName);
        } catch (const Exception&) {
        }
    }
    if (!S.GetHeaderFile().empty()) {
        TStringList H;
        H.LoadFromFile(S.GetHeaderFile());
        Lines.AddStrings(H);
    }
    String Dir = ExtractFilePath(FileName);
    for (Char& c : Dir)
        if (c == u'\\')
            c = u'/';
    Lines.Add(SaveToHTMLString(Dir));
    if (!S.GetFooterFile().empty()) {
        TStringList F;
        F.LoadFromFile(S.GetFooterFile());
        Lines.AddStrings(F);
    }
    Lines.SaveToFile(FileName, Unicode && GetEncoding() ? GetEncoding() : TEncoding::ASCII());
    if (Show || S.GetAutoPreview())
        TVuzErazs::OpenFile(FileName);
}

void TDedOzovedUrad::SaveToHTML(const String& FileName, bool Show, bool Unicode)
{
    WriteHTMLFile(FileName, false, Unicode, Show);
}

void TDedOzovedUrad::AppendToHTML(const String& FileName, bool Show, bool Unicode)
{
    WriteHTMLFile(FileName, true, Unicode, Show);
}
