#pragma once
// Visual styles. The style manager knows a fixed set of named colour schemes
// and the plain style "Windows"; the active style's services answer the
// colours and draw the elements (buttons, check boxes, edits, grid cells,
// headers, tabs, scroll bars, ...) that controls paint with. With "Windows"
// active the services are disabled and controls take their classic paths.

#include <memory>
#include <vector>

#include "platform/vcl/Graphics.h"

QT_DECLARE_EXCEPTION(EStyleEngineException, Exception);
QT_DECLARE_EXCEPTION(EStyleNotFoundException, EStyleEngineException);

// Colours a style may give for an element.
enum TElementColor {
    ecBorderColor, ecFillColor, ecTextColor, ecEdgeLightColor, ecEdgeHighLightColor, ecEdgeShadowColor,
    ecEdgeDkShadowColor, ecEdgeFillColor, ecTransparentColor, ecGradientColor1, ecGradientColor2,
    ecGradientColor3, ecGlyphColor, ecShadowColor, ecGlowColor, ecTextBorderColor, ecTextShadowColor
};

// Colours of whole control surfaces.
enum TStyleColor {
    scBorder, scButtonDisabled, scButtonFocused, scButtonHot, scButtonNormal, scButtonPressed, scCategoryButtons,
    scCategoryButtonsGradientBase, scCategoryButtonsGradientEnd, scCategoryPanelGroup, scComboBox,
    scComboBoxDisabled, scEdit, scEditDisabled, scGrid, scGenericBackground, scGenericGradientBase,
    scGenericGradientEnd, scHintGradientBase, scHintGradientEnd, scListBox, scListBoxDisabled, scListView, scPanel,
    scPanelDisabled, scSplitter, scToolBarGradientBase, scToolBarGradientEnd, scTreeView, scWindow
};

// Text colours of control parts.
enum TStyleFont {
    sfButtonTextDisabled, sfButtonTextFocused, sfButtonTextHot, sfButtonTextNormal, sfButtonTextPressed,
    sfCaptionTextInactive, sfCaptionTextNormal, sfCheckBoxTextDisabled, sfCheckBoxTextFocused,
    sfCheckBoxTextHot, sfCheckBoxTextNormal, sfCheckBoxTextPressed, sfComboBoxItemDisabled,
    sfComboBoxItemFocused, sfComboBoxItemHot, sfComboBoxItemNormal, sfComboBoxItemSelected,
    sfEditBoxTextDisabled, sfEditBoxTextFocused, sfEditBoxTextHot, sfEditBoxTextNormal, sfEditBoxTextSelected,
    sfGridItemFixedHot, sfGridItemFixedNormal, sfGridItemFixedPressed, sfGridItemNormal, sfGridItemSelected,
    sfGroupBoxTextDisabled, sfGroupBoxTextNormal, sfHeaderSectionTextDisabled, sfHeaderSectionTextHot,
    sfHeaderSectionTextNormal, sfHeaderSectionTextPressed, sfListItemTextDisabled, sfListItemTextFocused,
    sfListItemTextHot, sfListItemTextNormal, sfListItemTextSelected, sfMenuItemTextDisabled,
    sfMenuItemTextHot, sfMenuItemTextNormal, sfMenuItemTextSelected, sfPanelTextDisabled, sfPanelTextNormal,
    sfPopupMenuItemTextDisabled, sfPopupMenuItemTextHot, sfPopupMenuItemTextNormal, sfPopupMenuItemTextSelected,
    sfRadioButtonTextDisabled, sfRadioButtonTextFocused, sfRadioButtonTextHot, sfRadioButtonTextNormal,
    sfRadioButtonTextPressed, sfStatusPanelTextDisabled, sfStatusPanelTextNormal, sfTabTextActiveDisabled,
    sfTabTextActiveHot, sfTabTextActiveNormal, sfTabTextInactiveDisabled, sfTabTextInactiveHot,
    sfTabTextInactiveNormal, sfTextLabelDisabled, sfTextLabelFocused, sfTextLabelHot, sfTextLabelNormal,
    sfToolItemTextDisabled, sfToolItemTextHot, sfToolItemTextNormal, sfToolItemTextSelected,
    sfWindowTextDisabled, sfWindowTextNormal
};

// Element families.
enum TThemedElement {
    teButton, teCategoryButtons, teComboBox, teEdit, teGrid, teHeader, teMenu, tePanel, teScrollBar, teStatus,
    teTab, teTextLabel, teToolBar, teTrackBar, teEmptyElement
};

// Parts and states inside each family. The ordinal of a value is its part
// number in the element details.
enum TThemedButton {
    tbButtonDontCare, tbButtonRoot, tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled,
    tbPushButtonDefaulted, tbRadioButtonUncheckedNormal, tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed,
    tbRadioButtonUncheckedDisabled, tbRadioButtonCheckedNormal, tbRadioButtonCheckedHot,
    tbRadioButtonCheckedPressed, tbRadioButtonCheckedDisabled, tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot,
    tbCheckBoxUncheckedPressed, tbCheckBoxUncheckedDisabled, tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot,
    tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled, tbCheckBoxMixedNormal, tbCheckBoxMixedHot,
    tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled, tbGroupBoxNormal, tbGroupBoxDisabled, tbUserButton
};
enum TThemedCategoryButtons {
    tcbCategoryButtonsDontCare, tcbCategoryButtonsRoot, tcbBackground, tcbCategoryNormal, tcbCategorySelected,
    tcbButtonNormal, tcbButtonHot, tcbButtonSelected, tcbCategoryGlyphOpened, tcbCategoryGlyphClosed
};
enum TThemedComboBox {
    tcComboBoxDontCare, tcComboBoxRoot, tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed,
    tcDropDownButtonDisabled, tcBorderNormal, tcBorderHot, tcBorderFocused, tcBorderDisabled
};
enum TThemedEdit {
    teEditDontCare, teEditRoot, teEditTextNormal, teEditTextHot, teEditTextSelected, teEditTextDisabled,
    teEditTextFocused, teEditTextReadOnly, teBackgroundNormal, teBackgroundHot, teBackgroundFocused,
    teBackgroundDisabled, teBackgroundReadOnly, teEditBorderNoScrollNormal, teEditBorderNoScrollHot,
    teEditBorderNoScrollFocused, teEditBorderNoScrollDisabled
};
// Ordinals 2, 3 and 7 are the normal, selected and fixed cell, which callers
// may pass as numbers.
enum TThemedGrid {
    tgGridDontCare, tgGridRoot, tgCellNormal, tgCellSelected, tgCellRowSelectedLeft, tgCellRowSelectedCenter,
    tgCellRowSelectedRight, tgFixedCellNormal, tgFixedCellHot, tgFixedCellPressed, tgClassicCellNormal,
    tgClassicCellSelected, tgClassicFixedCellNormal, tgClassicFixedCellHot, tgClassicFixedCellPressed,
    tgGradientCellNormal, tgGradientCellSelected, tgGradientFixedCellNormal, tgGradientFixedCellHot,
    tgGradientFixedCellPressed
};
enum TThemedHeader {
    thHeaderDontCare, thHeaderRoot, thHeaderItemNormal, thHeaderItemHot, thHeaderItemPressed,
    thHeaderSortArrowSortedUp, thHeaderSortArrowSortedDown
};
enum TThemedMenu {
    tmMenuDontCare, tmMenuRoot, tmMenuBarBackgroundActive, tmMenuBarItemNormal, tmMenuBarItemHot,
    tmMenuBarItemPushed, tmPopupBackground, tmPopupBorders, tmPopupItemNormal, tmPopupItemHot,
    tmPopupItemDisabled, tmPopupSeparator, tmPopupCheckNormal
};
enum TThemedPanel { tpPanelDontCare, tpPanelRoot, tpPanelBackground, tpPanelBevel };
enum TThemedScrollBar {
    tsScrollBarDontCare, tsScrollBarRoot, tsArrowBtnUpNormal, tsArrowBtnUpHot, tsArrowBtnUpPressed,
    tsArrowBtnUpDisabled, tsArrowBtnDownNormal, tsArrowBtnDownHot, tsArrowBtnDownPressed, tsArrowBtnDownDisabled,
    tsArrowBtnLeftNormal, tsArrowBtnLeftHot, tsArrowBtnLeftPressed, tsArrowBtnLeftDisabled, tsArrowBtnRightNormal,
    tsArrowBtnRightHot, tsArrowBtnRightPressed, tsArrowBtnRightDisabled, tsThumbBtnHorzNormal,
    tsThumbBtnHorzHot, tsThumbBtnHorzPressed, tsThumbBtnHorzDisabled, tsThumbBtnVertNormal, tsThumbBtnVertHot,
    tsThumbBtnVertPressed, tsThumbBtnVertDisabled, tsUpperTrackHorzNormal, tsUpperTrackVertNormal,
    tsSizeBoxRightAlign
};
enum TThemedStatus { tsStatusDontCare, tsStatusRoot, tsPane, tsGripperPane, tsGripper };
enum TThemedTab {
    ttTabDontCare, ttTabRoot, ttTabItemNormal, ttTabItemHot, ttTabItemSelected, ttTabItemDisabled, ttPane, ttBody
};
enum TThemedTextLabel { ttlTextLabelDontCare, ttlTextLabelNormal, ttlTextLabelDisabled };
enum TThemedToolBar {
    ttbToolBarDontCare, ttbToolBarRoot, ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled,
    ttbButtonChecked, ttbButtonCheckedHot, ttbDropDownButtonNormal, ttbDropDownButtonHot, ttbDropDownButtonPressed,
    ttbSeparatorNormal
};
enum TThemedTrackBar {
    ttbTrackBarDontCare, ttbTrackBarRoot, ttbTrack, ttbTrackVert, ttbThumbNormal, ttbThumbHot, ttbThumbPressed,
    ttbThumbFocused, ttbThumbDisabled, ttbThumbVertNormal, ttbThumbVertHot, ttbThumbVertPressed,
    ttbThumbVertFocused, ttbThumbVertDisabled, ttbThumbTics, ttbThumbTicsVert
};

struct TThemedElementDetails {
    TThemedElement Element { teEmptyElement };
    int Part { 0 };
    int State { 0 };
    friend bool operator==(const TThemedElementDetails&, const TThemedElementDetails&) = default;
};

// The colours of one scheme; every other colour is derived from these.
struct TStyleScheme {
    String Name;
    TColor Window { clWhite };
    TColor WindowText { clBlack };
    TColor Face { clSilver };
    TColor FaceText { clBlack };
    TColor Accent { clNavy };
    TColor AccentText { clWhite };
    TColor Border { clGray };
};

// One style: a scheme, or the plain style (no scheme, services disabled).
class TCustomStyleServices : public TObject {
    QT_CLASS(TCustomStyleServices, TObject)
public:
    // The plain style "Windows".
    TCustomStyleServices();
    explicit TCustomStyleServices(const TStyleScheme& Scheme);

    const String& GetName() const { return m_scheme.Name; }
    // False for the plain style: controls then draw classic.
    bool GetEnabled() const { return m_custom; }
    bool GetAvailable() const { return true; }
    bool IsSystemStyle() const { return !m_custom; }

    // The style's colour for a system colour; other colours (and every
    // colour under the plain style) come back unchanged.
    TColor GetSystemColor(TColor Color) const;
    // clNone under the plain style.
    TColor GetStyleColor(TStyleColor Color) const;
    TColor GetStyleFontColor(TStyleFont Font) const;

    TThemedElementDetails GetElementDetails(TThemedButton Detail) const { return { teButton, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedCategoryButtons Detail) const
    {
        return { teCategoryButtons, int(Detail) };
    }
    TThemedElementDetails GetElementDetails(TThemedComboBox Detail) const { return { teComboBox, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedEdit Detail) const { return { teEdit, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedGrid Detail) const { return { teGrid, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedHeader Detail) const { return { teHeader, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedMenu Detail) const { return { teMenu, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedPanel Detail) const { return { tePanel, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedScrollBar Detail) const { return { teScrollBar, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedStatus Detail) const { return { teStatus, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedTab Detail) const { return { teTab, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedTextLabel Detail) const { return { teTextLabel, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedToolBar Detail) const { return { teToolBar, int(Detail) }; }
    TThemedElementDetails GetElementDetails(TThemedTrackBar Detail) const { return { teTrackBar, int(Detail) }; }

    // Draws the element into `R`; false (nothing drawn) under the plain
    // style or for an element the style does not draw. `DPI` 0 means 96.
    bool DrawElement(HDC DC, const TThemedElementDetails& Details, const TRect& R, const TRect* ClipRect = nullptr,
        int DPI = 0) const;
    // Text in the element's text colour (or `Color` when it is not clNone).
    bool DrawText(HDC DC, const TThemedElementDetails& Details, const String& S, TRect& R, TTextFormat Flags,
        TColor Color = clNone) const;
    // The element's colour of that kind; false, `Color` untouched, when the
    // style gives none.
    bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor, TColor& Color) const;

    // The derived palette (RGB values), for painters that need raw colours.
    struct TPalette {
        TColor Window, WindowText, Face, FaceText, Light, Shadow, DkShadow, Accent, AccentText, Border, GrayText;
        TColor ButtonTop, ButtonBottom, ButtonHotTop, ButtonHotBottom, ButtonPressedTop, ButtonPressedBottom;
        TColor FixedTop, FixedBottom, FixedText, SelectedTop, SelectedBottom, GridLine, InfoBk, InfoText, Track;
    };
    const TPalette& GetPalette() const { return m_palette; }

private:
    struct TLook;
    TLook ElementLook(const TThemedElementDetails& Details) const;

    TStyleScheme m_scheme;
    bool m_custom { false };
    TPalette m_palette {};
};

// The registered styles and the one in force.
class TStyleManager {
public:
    // Registration order; "Windows" is among them.
    static std::vector<String> GetStyleNames();
    static TCustomStyleServices* ActiveStyle();
    static TCustomStyleServices* SystemStyle();
    // The style of that name (exact, then ignoring case); null when unknown.
    static TCustomStyleServices* Style(const String& Name);
    // Makes the style active and repaints every form (no window is made
    // anew); EStyleNotFoundException for an unknown name.
    static void SetStyle(const String& Name);
    static void SetStyle(TCustomStyleServices* Style);
    // False (and, when asked, an error message) for an unknown name.
    static bool TrySetStyle(const String& Name, bool ShowErrorDialog = true);
    // A style other than "Windows" is active.
    static bool IsCustomStyleActive();
    static bool GetEnabled() { return true; }
};

// The active style's services.
TCustomStyleServices* StyleServices();

// A colour as the active style shows it, as an RGB value: system colours
// through the style when one is active, then through the colour table.
TColor StyleColorToRGB(TColor Color);
