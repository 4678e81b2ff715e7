#pragma once
// The grid family's mini-HTML engine: one drawing entry point that measures,
// paints and hit-tests marked-up text in a rectangle of a canvas, and the
// routines that work on such text as strings.

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TCanvas;
class TCustomImageList;
class THTMLPictureCache;
class TPictureContainer;

namespace VovHTMLE {

// Set once when the module starts: form controls in markup use the theme
// library only on such a platform (and only while a theme is active).
bool IsWinXPOrLater();

// Measures and/or paints Markup inside Rect and hit-tests (X, Y) against its
// anchors, pictures and form controls. Never raises.
bool DrawHTMLText(TCanvas* Canvas, const String& Markup, const TRect& Rect, TCustomImageList* Images, int X, int Y,
    int FocusAnchor, int HoverAnchor, int ShadowOffset, bool LocateOnly, bool MeasureOnly, bool Printing,
    bool KeepColors, bool BlinkOn, bool HoverOnlyAnchors, bool WordWrap, bool ControlDown,
    const String& DownControlID, double PrintFactor, TColor AnchorColor, TColor HoverBkColor, TColor HoverFontColor,
    TColor ShadowColor, String& HitAnchor, String& StrippedText, String& FocusAnchorHref, String& HitAnchorTitle,
    int& XSize, int& YSize, int& AnchorCount, int& HitAnchorIndex, TRect& HitAnchorRect, TRect& ControlRect,
    String& ControlID, String& ControlValue, String& ControlType, THTMLPictureCache* PictureCache,
    TPictureContainer* PictureContainer, HWND ThemeWindow, float DPIScale, int BiDiMode);

// ---- text utilities ----

// The colours of <HI> text: background and text.
void SetHTMLHighlightColors(TColor ABackground, TColor AText);
TColor HTMLHighlightBkColor();
TColor HTMLHighlightTextColor();
// Engine-wide: whether line breaks in cell text are kept. The grid writes it
// from its HTMLKeepLineBreak setting; the engine only stores it.
void SetHTMLKeepLineBreak(bool AKeep);
bool HTMLKeepLineBreak();

String HTMLToPlainText(const String& AText);
String RemoveHTMLTags(const String& AText);
void HighlightHTMLText(const String& AText, const String& ASearch, const String& ATag, String& AResult,
    bool AWholeText, bool ACaseSensitive);
void RemoveHTMLHighlight(const String& AText, const String& ATag, String& AResult);
String EscapeHTMLText(const String& AText, bool AEntities);
String UnescapeHTMLText(const String& AText, bool AEntities);
String SpacesToNbsp(const String& AText);

void ParseHTMLControlTag(const String& ATag, String& AType, String& AID, String& AMaxLen, String& AProp,
    String& AHeight, String& AWidth, String& AValue);
bool ContainsHTMLControl(const String& AText);
String NextHTMLControlID(const String& AText, const String& AID);
String ResetHTMLRadioControls(const String& AText);
bool GetHTMLControlValue(const String& AText, const String& AID, String& AValue);
String GetHTMLControlProp(const String& AText, const String& AID);
int GetHTMLControlMaxLen(const String& AText, const String& AID);
bool SetHTMLControlValue(String& AText, const String& AID, const String& ANewValue);

} // namespace VovHTMLE
