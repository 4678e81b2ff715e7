#pragma once
// The strip along a grid's bottom edge in which the user types a search
// text and steps through the matches: a close button, the search edit,
// find-next, find-previous and highlight buttons, a match-case box and a
// result label. The grid owns one, wires its events to its own search
// actions and lays it out from its SearchFooter settings.

#include "grid/core/LumCheckBox.h"
#include "grid/core/RetEdit.h"
#include "grid/core/RirEvozButton.h"
#include "platform/vcl/ExtCtrls.h"

class TDedOzovedUrad;

class TSearchPanel : public TPanel {
    QT_CLASS(TSearchPanel, TPanel)
public:
    // The owner must be a TDedOzovedUrad (an invalid cast otherwise).
    explicit TSearchPanel(TComponent* AOwner);
    ~TSearchPanel() override;

    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);

    const String& GetFindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const String& Value) { FFindNextCaption = Value; }
    const String& GetFindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const String& Value) { FFindPrevCaption = Value; }
    const String& GetMatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const String& Value) { FMatchCaseCaption = Value; }
    const String& GetHighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const String& Value) { FHighLightCaption = Value; }
    const String& GetHintClose() const { return FHintClose; }
    void SetHintClose(const String& Value) { FHintClose = Value; }
    const String& GetHintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const String& Value) { FHintFindNext = Value; }
    const String& GetHintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const String& Value) { FHintFindPrev = Value; }
    const String& GetHintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const String& Value) { FHintHighlight = Value; }

    TRetEdit* GetEditControl() const { return FEdit; }
    TLumCheckBox* GetMatchCase() const { return FMatchCase; }
    TRirEvozButton* GetHiliteButton() const { return FHiliteButton; }
    TRirEvozButton* GetForwardButton() const { return FForwardButton; }
    TRirEvozButton* GetBackwardButton() const { return FBackwardButton; }
    TRirEvozButton* GetExitButton() const { return FExitButton; }
    TLabel* GetResultLabel() const { return FResultLabel; }
    TDedOzovedUrad* GetGrid() const { return FGrid; }

    // Places the child controls at the grid's DPI scale, lays the bar out
    // through the grid and tells the grid the bar was made.
    virtual void Init();

    TNotifyEvent OnForwardClick;
    TNotifyEvent OnBackwardClick;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnExitClick;
    TNotifyEvent OnHighlightClick;
    TNotifyEvent OnMatchCaseClick;

protected:
    void CreateWnd() override;
    void Paint() override;

private:
    void EditChanged(TObject* Sender);
    // Draws the buttons' pictures (arrows, the close cross, the marker).
    void MakeGlyphs();

    TDedOzovedUrad* FGrid { nullptr };
    TRetEdit* FEdit { nullptr };
    TRirEvozButton* FExitButton { nullptr };
    TRirEvozButton* FForwardButton { nullptr };
    TRirEvozButton* FBackwardButton { nullptr };
    TRirEvozButton* FHiliteButton { nullptr };
    TLumCheckBox* FMatchCase { nullptr };
    TLabel* FResultLabel { nullptr };
    TColor FColorTo { clNone };
    String FFindNextCaption;
    String FFindPrevCaption;
    String FMatchCaseCaption;
    String FHintFindPrev;
    String FHintClose;
    String FHintFindNext;
    String FHintHighlight;
    String FHighLightCaption;
};
