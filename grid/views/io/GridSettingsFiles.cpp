// Two settings files of the grid: the look (colours, fonts, styles) as a
// text file of "key=value" lines, and the print settings as one section of
// an ini file.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"

namespace {

// ---- the visual properties file ----

const std::vector<const char16_t*> ControlStyleNames { u"csClassic", u"csFlat", u"csWinXP", u"csKestrel", u"csZID",
    u"csGlyph", u"csTheme" };
// glCustom has no name in the file: it is written as an empty value.
const std::vector<const char16_t*> LookNames { u"glStandard", u"glSoft", u"glClassic", u"glZID", u"glXP",
    u"glListView", u"glVista", u"glWin7", u"glOffice2007" };
const std::vector<const char16_t*> BackGroundDisplayNames { u"bdTile", u"bdFixed", u"bdGradientHorz",
    u"bdGradientVert" };
const std::vector<const char16_t*> BackGroundCellsNames { u"bcNormal", u"bcFixed", u"bcAll" };

struct TFontStyleName {
    TFontStyle Style;
    const char16_t* Name;
};
constexpr TFontStyleName FontStyleNames[] = { { fsBold, u"fsBold" }, { fsItalic, u"fsItalic" },
    { fsUnderline, u"fsUnderline" }, { fsStrikeOut, u"fsStrikeOut" } };

String FontStyleText(TFontStyles Style)
{
    String Text;
    for (const TFontStyleName& n : FontStyleNames)
        if (Style.Contains(n.Style)) {
            if (!Text.empty())
                Text += u',';
            Text += n.Name;
        }
    return Text;
}

TFontStyles FontStyleOf(const String& Text)
{
    TFontStyles Style;
    for (const TFontStyleName& n : FontStyleNames)
        if (Text.find(n.Name) != String::npos)
            Style.Include(n.Style);
    return Style;
}

// The lines of the file by key: keys compare ignoring case and the first
// line of a key counts.
class TPropLines {
public:
    explicit TPropLines(const String& Text)
    {
        std::size_t Start = 0;
        while (Start <= Text.size()) {
            std::size_t End = Text.find_first_of(u"\r\n", Start);
            if (End == String::npos)
                End = Text.size();
            const String Line = Text.substr(Start, End - Start);
            const std::size_t Eq = Line.find(u'=');
            if (Eq != String::npos)
                FValues.emplace(UpperCase(Line.substr(0, Eq)), Line.substr(Eq + 1));
            if (End < Text.size() && Text[End] == u'\r' && End + 1 < Text.size() && Text[End + 1] == u'\n')
                ++End;
            Start = End + 1;
        }
    }

    // Empty for a missing key.
    String Value(const String& Key) const
    {
        const auto Found = FValues.find(UpperCase(Key));
        return Found == FValues.end() ? String() : Found->second;
    }

    TColor Colour(const String& Key) const
    {
        const String Text = Value(Key);
        return Text.empty() ? clNone : StringToColor(Text);
    }
    bool Boolean(const String& Key) const { return UpperCase(Value(Key)) == u"TRUE"; }
    // A missing or malformed value raises the conversion error.
    int Integer(const String& Key) const { return StrToInt(Value(Key)); }
    // The index of the name the value is (ignoring case); -1 for none.
    int Enumeration(const String& Key, const std::vector<const char16_t*>& Names) const
    {
        const String Text = Value(Key);
        for (int i = 0; i < int(Names.size()); ++i)
            if (SameText(Text, Names[std::size_t(i)]))
                return i;
        return -1;
    }
    void Font(const String& Prefix, TFont* Target) const
    {
        Target->SetColor(Colour(Prefix + u".Color"));
        Target->SetStyle(FontStyleOf(Value(Prefix + u".Style")));
        Target->SetSize(Integer(Prefix + u".Size"));
        // A file without the name keeps the font's own.
        const String Name = Value(Prefix + u".Name");
        if (!Name.empty())
            Target->SetName(Name);
    }

private:
    std::map<String, String> FValues;
};

class TPropWriter {
public:
    void Colour(const char16_t* Key, TColor Value) { Line(Key, ColorToString(Value)); }
    void Boolean(const char16_t* Key, bool Value) { Line(Key, Value ? u"true" : u"false"); }
    void Integer(const char16_t* Key, int Value) { Line(Key, IntToStr(Value)); }
    void Enumeration(const char16_t* Key, int Value, const std::vector<const char16_t*>& Names)
    {
        Line(Key, Value >= 0 && Value < int(Names.size()) ? String(Names[std::size_t(Value)]) : String());
    }
    void Font(const String& Prefix, const TFont* Value)
    {
        Line(Prefix + u".Color", ColorToString(Value->GetColor()));
        Line(Prefix + u".Style", FontStyleText(Value->GetStyle()));
        Line(Prefix + u".Size", IntToStr(Value->GetSize()));
        Line(Prefix + u".Name", Value->GetName());
    }
    void Line(const String& Key, const String& Value) { FText += Key + u'=' + Value + u"\r\n"; }
    const String& Text() const { return FText; }

private:
    String FText;
};

// ---- the print settings section ----

String YesNo(bool Value) { return Value ? u"Y" : u"N"; }

int FontStyleBits(TFontStyles Style)
{
    return (Style.Contains(fsBold) ? 1 : 0) | (Style.Contains(fsItalic) ? 2 : 0) | (Style.Contains(fsUnderline) ? 4 : 0)
        | (Style.Contains(fsStrikeOut) ? 8 : 0);
}

TFontStyles FontStyleFromBits(int Bits)
{
    TFontStyles Style;
    if (Bits & 1)
        Style.Include(fsBold);
    if (Bits & 2)
        Style.Include(fsItalic);
    if (Bits & 4)
        Style.Include(fsUnderline);
    if (Bits & 8)
        Style.Include(fsStrikeOut);
    return Style;
}

// The title lines as one ini value: lines joined by CR LF, every CR written
// as backslash-n and every LF dropped.
String TitleLinesValue(const TStrings& Lines)
{
    String Value;
    for (int i = 0; i < Lines.GetCount(); ++i) {
        if (i > 0)
            Value += u"\\n";
        for (Char c : Lines.GetStrings(i))
            if (c == u'\r')
                Value += u"\\n";
            else if (c != u'\n')
                Value += c;
    }
    return Value;
}

void TitleLinesFromValue(const String& Value, TStrings& Lines)
{
    String Text;
    for (std::size_t i = 0; i < Value.size(); ++i)
        if (Value[i] == u'\\' && i + 1 < Value.size() && Value[i + 1] == u'n') {
            Text += u'\r';
            ++i;
        } else {
            Text += Value[i];
        }
    Lines.Clear();
    std::size_t Start = 0;
    while (Start < Text.size()) {
        std::size_t End = Text.find_first_of(u"\r\n", Start);
        if (End == String::npos)
            End = Text.size();
        Lines.Add(Text.substr(Start, End - Start));
        if (End < Text.size() && Text[End] == u'\r' && End + 1 < Text.size() && Text[End + 1] == u'\n')
            ++End;
        Start = End + 1;
    }
}

void WritePrintFont(TMemIniFile& Ini, const String& Section, const String& Prefix, const TFont* Font)
{
    Ini.WriteString(Section, Prefix + u"Name", Font->GetName());
    Ini.WriteInteger(Section, Prefix + u"Size", Font->GetSize());
    Ini.WriteInteger(Section, Prefix + u"Style", FontStyleBits(Font->GetStyle()));
    Ini.WriteInteger(Section, Prefix + u"Color", Font->GetColor());
}

void ReadPrintFont(TMemIniFile& Ini, const String& Section, const String& Prefix, TFont* Font)
{
    Font->SetName(Ini.ReadString(Section, Prefix + u"Name", u"Arial"));
    Font->SetSize(Ini.ReadInteger(Section, Prefix + u"Size", 10));
    // The stored style is the style: a plain font saved stays plain.
    Font->SetStyle(FontStyleFromBits(Ini.ReadInteger(Section, Prefix + u"Style", 0)));
    Font->SetColor(Ini.ReadInteger(Section, Prefix + u"Color", 0));
}

} // namespace

void TDedOzovedUrad::SaveVisualProps(const String& FileName)
{
    TPropWriter W;
    W.Colour(u"Color", GetColor());
    W.Colour(u"HintColor", GetHintColor());
    W.Colour(u"SelectionColor", GetSelectionColor());
    W.Colour(u"SelectionColorTo", GetSelectionColorTo());
    W.Colour(u"SelectionMirrorColor", GetSelectionMirrorColor());
    W.Colour(u"SelectionMirrorColorTo", GetSelectionMirrorColorTo());
    W.Colour(u"SelectionTextColor", GetSelectionTextColor());
    W.Colour(u"URLColor", GetURLColor());
    W.Boolean(u"URLShow", GetURLShow());
    W.Boolean(u"URLShowInText", GetURLShowInText());
    W.Colour(u"ScrollColor", GetScrollColor());
    W.Colour(u"ActiveRowColor", GetActiveRowColor());
    W.Boolean(u"ActiveRowShow", GetActiveRowShow());
    W.Boolean(u"ActiveCellShow", GetActiveCellShow());
    W.Font(u"Font", GetFont());
    W.Colour(u"ActiveCellColor", GetActiveCellColor());
    W.Colour(u"ActiveCellColorTo", GetActiveCellColorTo());
    W.Font(u"ActiveCellFont", GetActiveCellFont());
    W.Font(u"FixedFont", GetFixedFont());
    W.Colour(u"Balloon.BackgroundColor", FBalloon->GetBackgroundColor());
    W.Colour(u"Balloon.TextColor", FBalloon->GetTextColor());
    W.Integer(u"Balloon.Transparency", FBalloon->GetTransparency());
    W.Colour(u"Bands.PrimaryColor", FBands->GetPrimaryColor());
    W.Colour(u"Bands.SecondaryColor", FBands->GetSecondaryColor());
    W.Boolean(u"Bands.Active", FBands->GetActive());
    W.Colour(u"SortSettings.IndexColor", FSortSettings->GetIndexColor());
    W.Colour(u"FloatingFooter.Color", FFloatingFooter->GetColor());
    W.Integer(u"ControlLook.CheckSize", FControlLook->GetCheckSize());
    W.Colour(u"ControlLook.Color", FControlLook->GetColor());
    W.Colour(u"ControlLook.CommentColor", FControlLook->GetCommentColor());
    W.Enumeration(u"ControlLook.ControlStyle", int(FControlLook->GetControlStyle()), ControlStyleNames);
    W.Colour(u"ControlLook.FixedGradientFrom", FControlLook->GetFixedGradientFrom());
    W.Colour(u"ControlLook.FixedGradientTo", FControlLook->GetFixedGradientTo());
    W.Integer(u"ControlLook.RadioSize", FControlLook->GetRadioSize());
    W.Boolean(u"ControlLook.FlatButton", FControlLook->GetFlatButton());
    W.Colour(u"ControlLook.ProgressBorderColor", FControlLook->GetProgressBorderColor());
    W.Boolean(u"ControlLook.ProgressXP", FControlLook->GetProgressXP());
    W.Enumeration(u"Look", FLook == glCustom ? -1 : int(FLook), LookNames);
    W.Colour(u"SearchFooter.Color", FSearchFooter->GetColor());
    W.Colour(u"SearchFooter.ColorTo", FSearchFooter->GetColorTo());
    W.Colour(u"Grouping.HeaderColor", FGrouping->GetHeaderColor());
    W.Colour(u"Grouping.HeaderColorTo", FGrouping->GetHeaderColorTo());
    W.Colour(u"Grouping.HeaderTextColor", FGrouping->GetHeaderTextColor());
    W.Boolean(u"Grouping.HeaderUnderline", FGrouping->GetHeaderUnderline());
    W.Colour(u"Grouping.HeaderLineColor", FGrouping->GetHeaderLineColor());
    W.Integer(u"Grouping.HeaderLineWidth", FGrouping->GetHeaderLineWidth());
    W.Colour(u"Grouping.SummaryColor", FGrouping->GetSummaryColor());
    W.Colour(u"Grouping.SummaryColorTo", FGrouping->GetSummaryColorTo());
    W.Colour(u"Grouping.SummaryTextColor", FGrouping->GetSummaryTextColor());
    W.Boolean(u"Grouping.SummaryLine", FGrouping->GetSummaryLine());
    W.Colour(u"Grouping.SummaryLineColor", FGrouping->GetSummaryLineColor());
    W.Integer(u"Grouping.SummaryLineWidth", FGrouping->GetSummaryLineWidth());
    W.Colour(u"GridLineColor", GetGridLineColor());
    W.Colour(u"GridFixedLineColor", GetGridFixedLineColor());
    W.Integer(u"BackGround.Top", FBackGround->GetTop());
    W.Integer(u"BackGround.Left", FBackGround->GetLeft());
    W.Enumeration(u"BackGround.Display", int(FBackGround->GetDisplay()), BackGroundDisplayNames);
    W.Enumeration(u"BackGround.Cells", int(FBackGround->GetCells()), BackGroundCellsNames);
    W.Colour(u"BackGround.Color", FBackGround->GetColor());
    W.Colour(u"BackGround.ColorTo", FBackGround->GetColorTo());
    W.Colour(u"ZIDGradFrom", FZIDGradientFrom);
    W.Colour(u"ZIDGradTo", FZIDGradientTo);
    W.Colour(u"ZIDGradMirrorFrom", FZIDGradientMirrorFrom);
    W.Colour(u"ZIDGradMirrorTo", FZIDGradientMirrorTo);
    W.Integer(u"SelectionStyle", int(GetSelectionStyle()));

    FILE* f = std::fopen(StringToUtf8(FileName).c_str(), "wb");
    if (!f)
        throw Exception(u"Cannot Create " + FileName);
    const std::string Bytes = StringToUtf8(W.Text());
    const bool Written = std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
    if (std::fclose(f) != 0 || !Written)
        throw EInOutError(u"The file \"" + FileName + u"\" could not be written completely");
}

void TDedOzovedUrad::LoadVisualProps(const String& FileName)
{
    std::string Bytes;
    {
        FILE* f = std::fopen(StringToUtf8(FileName).c_str(), "rb");
        if (!f)
            throw Exception(u"Cannot open file " + FileName);
        char Buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(Buffer, 1, sizeof Buffer, f)) > 0)
            Bytes.append(Buffer, n);
        std::fclose(f);
    }
    if (Bytes.starts_with("\xEF\xBB\xBF"))
        Bytes.erase(0, 3);
    const TPropLines L(Utf8ToString(Bytes));

    auto Selection = [&] {
        SetSelectionColor(L.Colour(u"SelectionColor"));
        SetSelectionColorTo(L.Colour(u"SelectionColorTo"));
        SetSelectionMirrorColor(L.Colour(u"SelectionMirrorColor"));
        SetSelectionMirrorColorTo(L.Colour(u"SelectionMirrorColorTo"));
        SetSelectionTextColor(L.Colour(u"SelectionTextColor"));
    };
    SetColor(L.Colour(u"Color"));
    SetHintColor(L.Colour(u"HintColor"));
    Selection();
    SetURLColor(L.Colour(u"URLColor"));
    SetURLShow(L.Boolean(u"URLShow"));
    SetURLShowInText(L.Boolean(u"URLShowInText"));
    SetScrollColor(L.Colour(u"ScrollColor"));
    SetActiveRowColor(L.Colour(u"ActiveRowColor"));
    SetActiveRowShow(L.Boolean(u"ActiveRowShow"));
    SetActiveCellShow(L.Boolean(u"ActiveCellShow"));
    L.Font(u"Font", GetFont());
    SetActiveCellColor(L.Colour(u"ActiveCellColor"));
    SetActiveCellColorTo(L.Colour(u"ActiveCellColorTo"));
    L.Font(u"ActiveCellFont", GetActiveCellFont());
    L.Font(u"FixedFont", GetFixedFont());
    FBalloon->SetBackgroundColor(L.Colour(u"Balloon.BackgroundColor"));
    FBalloon->SetTextColor(L.Colour(u"Balloon.TextColor"));
    FBalloon->SetTransparency(Byte(std::clamp(L.Integer(u"Balloon.Transparency"), 0, 255)));
    FBands->SetPrimaryColor(L.Colour(u"Bands.PrimaryColor"));
    FBands->SetSecondaryColor(L.Colour(u"Bands.SecondaryColor"));
    FBands->SetActive(L.Boolean(u"Bands.Active"));
    FSortSettings->SetIndexColor(L.Colour(u"SortSettings.IndexColor"));
    FFloatingFooter->SetColor(L.Colour(u"FloatingFooter.Color"));
    FControlLook->SetCheckSize(L.Integer(u"ControlLook.CheckSize"));
    FControlLook->SetColor(L.Colour(u"ControlLook.Color"));
    FControlLook->SetCommentColor(L.Colour(u"ControlLook.CommentColor"));
    if (const int Style = L.Enumeration(u"ControlLook.ControlStyle", ControlStyleNames); Style >= 0)
        FControlLook->SetControlStyle(RirEvoz::TControlStyle(Style));
    FControlLook->SetFixedGradientFrom(L.Colour(u"ControlLook.FixedGradientFrom"));
    FControlLook->SetFixedGradientTo(L.Colour(u"ControlLook.FixedGradientTo"));
    FControlLook->SetRadioSize(L.Integer(u"ControlLook.RadioSize"));
    FControlLook->SetFlatButton(L.Boolean(u"ControlLook.FlatButton"));
    FControlLook->SetProgressBorderColor(L.Colour(u"ControlLook.ProgressBorderColor"));
    FControlLook->SetProgressXP(L.Boolean(u"ControlLook.ProgressXP"));
    // A look brings its preset colours; the file's own selection colours
    // are applied again at the end.
    if (const int Look = L.Enumeration(u"Look", LookNames); Look >= 0)
        SetLook(TGridLook(Look));
    FSearchFooter->SetColor(L.Colour(u"SearchFooter.Color"));
    FSearchFooter->SetColorTo(L.Colour(u"SearchFooter.ColorTo"));
    FGrouping->SetHeaderColor(L.Colour(u"Grouping.HeaderColor"));
    FGrouping->SetHeaderColorTo(L.Colour(u"Grouping.HeaderColorTo"));
    FGrouping->SetHeaderTextColor(L.Colour(u"Grouping.HeaderTextColor"));
    FGrouping->SetHeaderUnderline(L.Boolean(u"Grouping.HeaderUnderline"));
    FGrouping->SetHeaderLineColor(L.Colour(u"Grouping.HeaderLineColor"));
    FGrouping->SetHeaderLineWidth(L.Integer(u"Grouping.HeaderLineWidth"));
    FGrouping->SetSummaryColor(L.Colour(u"Grouping.SummaryColor"));
    FGrouping->SetSummaryColorTo(L.Colour(u"Grouping.SummaryColorTo"));
    FGrouping->SetSummaryTextColor(L.Colour(u"Grouping.SummaryTextColor"));
    FGrouping->SetSummaryLine(L.Boolean(u"Grouping.SummaryLine"));
    FGrouping->SetSummaryLineColor(L.Colour(u"Grouping.SummaryLineColor"));
    FGrouping->SetSummaryLineWidth(L.Integer(u"Grouping.SummaryLineWidth"));
    SetGridLineColor(L.Colour(u"GridLineColor"));
    SetGridFixedLineColor(L.Colour(u"GridFixedLineColor"));
    FBackGround->SetTop(L.Integer(u"BackGround.Top"));
    FBackGround->SetLeft(L.Integer(u"BackGround.Left"));
    if (const int Display = L.Enumeration(u"BackGround.Display", BackGroundDisplayNames); Display >= 0)
        FBackGround->SetDisplay(TBackGroundDisplay(Display));
    if (const int Cells = L.Enumeration(u"BackGround.Cells", BackGroundCellsNames); Cells >= 0)
        FBackGround->SetCells(TBackGroundCells(Cells));
    FBackGround->SetColor(L.Colour(u"BackGround.Color"));
    FBackGround->SetColorTo(L.Colour(u"BackGround.ColorTo"));

    // Files written before the gradient keys existed end here.
    if (!L.Value(u"ZIDGradFrom").empty()) {
        SetZIDGradientFrom(L.Colour(u"ZIDGradFrom"));
        SetZIDGradientTo(L.Colour(u"ZIDGradTo"));
        SetZIDGradientMirrorFrom(L.Colour(u"ZIDGradMirrorFrom"));
        SetZIDGradientMirrorTo(L.Colour(u"ZIDGradMirrorTo"));
        FControlLook->SetFixedGradientFrom(FZIDGradientFrom);
        FControlLook->SetFixedGradientTo(FZIDGradientTo);
        FControlLook->SetFixedGradientMirrorFrom(FZIDGradientMirrorFrom);
        FControlLook->SetFixedGradientMirrorTo(FZIDGradientMirrorTo);
        const int Style = L.Integer(u"SelectionStyle");
        if (Style >= int(ssDefault) && Style <= int(ssOffice2007))
            SetSelectionStyle(TGridSelectionStyle(Style));
    }
    Selection();
    // The look is the file's own now, without a preset.
    FLook = glCustom;
    Invalidate();
}

void TDedOzovedUrad::SavePrintSettings(const String& Key, const String& Section)
{
    TMemIniFile Ini(Key);
    const TPrintSettings& P = *FPrintSettings;
    auto Int = [&](const char16_t* Name, int Value) { Ini.WriteInteger(Section, Name, Value); };
    auto Bool = [&](const char16_t* Name, bool Value) { Ini.WriteString(Section, Name, YesNo(Value)); };
    auto Text = [&](const char16_t* Name, const String& Value) { Ini.WriteString(Section, Name, Value); };
    Int(u"ColumnSpacing", P.GetColumnSpacing());
    Int(u"RowSpacing", P.GetRowSpacing());
    Int(u"TitleSpacing", P.GetTitleSpacing());
    Int(u"FixedHeight", P.GetFixedHeight());
    Int(u"FixedWidth", P.GetFixedWidth());
    Bool(u"Centered", P.GetCentered());
    Bool(u"NoAutoSize", P.GetNoAutoSize());
    Bool(u"NoAutoSizeRow", P.GetNoAutoSizeRow());
    Bool(u"UseFixedHeight", P.GetUseFixedHeight());
    Bool(u"UseFixedWidth", P.GetUseFixedWidth());
    Bool(u"RepeatFixedRows", P.GetRepeatFixedRows());
    Bool(u"RepeatFixedCols", P.GetRepeatFixedCols());
    Bool(u"UseDisplFont", P.GetUseDisplayFont());
    Bool(u"UseDefOrientation", P.GetUseDefaultOrientation());
    Int(u"Borders", int(P.GetBorders()));
    Int(u"BorderColor", P.GetBorderColor());
    Int(u"BorderStyle", int(P.GetBorderStyle()));
    Int(u"Date", int(P.GetDate()));
    Int(u"PageNr", int(P.GetPageNr()));
    Int(u"Title", int(P.GetTitle()));
    Int(u"Time", int(P.GetTime()));
    Text(u"DateFormat", P.GetDateFormat());
    Text(u"TitleText", P.GetTitleText());
    Int(u"FooterSize", P.GetFooterSize());
    Int(u"HeaderSize", P.GetHeaderSize());
    Int(u"LeftSize", P.GetLeftSize());
    Int(u"RightSize", P.GetRightSize());
    Int(u"FitToPage", int(P.GetFitToPage()));
    WritePrintFont(Ini, Section, u"Font", P.GetFont());
    WritePrintFont(Ini, Section, u"FixedFont", P.GetFixedFont());
    WritePrintFont(Ini, Section, u"HeaderFont", P.GetHeaderFont());
    WritePrintFont(Ini, Section, u"FooterFont", P.GetFooterFont());
    Text(u"PageNumSep", P.GetPageNumSep());
    Text(u"PageSuffix", P.GetPageSuffix());
    Text(u"PagePrefix", P.GetPagePrefix());
    Int(u"Orientation", int(P.GetOrientation()));
    Text(u"TitleLines", TitleLinesValue(*P.GetTitleLines()));
    Bool(u"PrintGraphics", P.GetPrintGraphics());
    Ini.UpdateFile();
}

void TDedOzovedUrad::LoadPrintSettings(const String& Key, const String& Section)
{
    TMemIniFile Ini(Key);
    TPrintSettings& P = *FPrintSettings;
    auto Int = [&](const char16_t* Name, int Default) { return Ini.ReadInteger(Section, Name, Default); };
    auto Bool = [&](const char16_t* Name, const char16_t* Default) {
        return Ini.ReadString(Section, Name, Default) == u"Y";
    };
    auto Text = [&](const char16_t* Name) { return Ini.ReadString(Section, Name, String()); };
    auto Position = [&](const char16_t* Name) {
        const int Value = Int(Name, 0);
        return Value >= 1 && Value <= 6 ? TPrintPosition(Value) : DedOzovedUrad::ppNone;
    };
    P.SetColumnSpacing(Int(u"ColumnSpacing", 20));
    P.SetRowSpacing(Int(u"RowSpacing", 20));
    P.SetTitleSpacing(Int(u"TitleSpacing", 20));
    P.SetFixedHeight(Int(u"FixedHeight", 0));
    P.SetFixedWidth(Int(u"FixedWidth", 0));
    P.SetCentered(Bool(u"Centered", u"Y"));
    P.SetNoAutoSize(Bool(u"NoAutoSize", u"N"));
    P.SetNoAutoSizeRow(Bool(u"NoAutoSizeRow", u"N"));
    P.SetUseFixedHeight(Bool(u"UseFixedHeight", u"N"));
    P.SetUseFixedWidth(Bool(u"UseFixedWidth", u"N"));
    P.SetRepeatFixedRows(Bool(u"RepeatFixedRows", u"N"));
    P.SetRepeatFixedCols(Bool(u"RepeatFixedCols", u"N"));
    P.SetUseDisplayFont(Bool(u"UseDisplFont", u"N"));
    P.SetUseDefaultOrientation(Bool(u"UseDefOrientation", u"N"));
    if (const int Borders = Int(u"Borders", 0); Borders >= 0 && Borders <= 8)
        P.SetBorders(TPrintBorders(Borders));
    P.SetBorderColor(Int(u"BorderColor", 0));
    if (const int Style = Int(u"BorderStyle", 0); Style >= 0 && Style <= 6)
        P.SetBorderStyle(TPenStyle(Style));
    P.SetDate(Position(u"Date"));
    P.SetPageNr(Position(u"PageNr"));
    P.SetTitle(Position(u"Title"));
    P.SetTime(Position(u"Time"));
    P.SetDateFormat(Text(u"DateFormat"));
    P.SetTitleText(Text(u"TitleText"));
    P.SetFooterSize(Int(u"FooterSize", 100));
    P.SetHeaderSize(Int(u"HeaderSize", 100));
    P.SetLeftSize(Int(u"LeftSize", 100));
    P.SetRightSize(Int(u"RightSize", 100));
    if (const int Fit = Int(u"FitToPage", 0); Fit >= 0 && Fit <= 4)
        P.SetFitToPage(TFitToPage(Fit));
    ReadPrintFont(Ini, Section, u"Font", P.GetFont());
    ReadPrintFont(Ini, Section, u"FixedFont", P.GetFixedFont());
    ReadPrintFont(Ini, Section, u"HeaderFont", P.GetHeaderFont());
    ReadPrintFont(Ini, Section, u"FooterFont", P.GetFooterFont());
    P.SetPageNumSep(Text(u"PageNumSep"));
    P.SetPageSuffix(Text(u"PageSuffix"));
    P.SetPagePrefix(Text(u"PagePrefix"));
    if (const int Orientation = Int(u"Orientation", 0); Orientation == 0 || Orientation == 1)
        P.SetOrientation(TPrinterOrientation(Orientation));
    TitleLinesFromValue(Text(u"TitleLines"), *P.GetTitleLines());
    P.SetPrintGraphics(Bool(u"PrintGraphics", u"N"));
}
