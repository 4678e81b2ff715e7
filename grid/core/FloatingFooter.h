#pragma once
// The floating footer: a strip docked to the bottom of the string grid that
// stays in view while rows scroll. In its default style it shows the grid's
// last row (column totals, typically) aligned with the grid's columns; the
// preview styles show one column, or a mini-HTML template filled from the
// current row; in the custom style the application paints it. It has its own
// hints and balloon tooltips. TFloatingFooter holds the settings
// (FloatingFooter), TFooterPanel is the strip that paints them.

#include <functional>

#include "grid/core/BaseGrid.h"
#include "platform/vcl/ExtCtrls.h"

class TDedOzovedUrad;

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
QT_ENUM(TFooterStyle, fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint)

using TCalcFooterEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;

class TFloatingFooter : public TPersistent {
    QT_CLASS(TFloatingFooter, TPersistent)
public:
    explicit TFloatingFooter(TDedOzovedUrad* AOwner = nullptr) : FGrid(AOwner) { }

    // CalculateHiddenRows, Color, Column, CustomTemplate, FooterStyle (stored
    // without its side effects), Visible (through its setter), ShowHint.
    void Assign(TPersistent* Source) override;

    // Strip height before DPI scaling; the strip is one pixel lower.
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFooterStyle GetFooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle Value);
    // The previewed column, and the column the paint event gets.
    int GetColumn() const { return FColumn; }
    void SetColumn(int Value);
    // Mini-HTML; "<#n>" stands for the current row's text of column n.
    const String& GetCustomTemplate() const { return FCustomTemplate; }
    void SetCustomTemplate(const String& Value);
    bool GetCalculateHiddenRows() const { return FCalculateHiddenRows; }
    void SetCalculateHiddenRows(bool Value) { FCalculateHiddenRows = Value; }
    bool GetEnableCalculation() const { return FEnableCalculation; }
    void SetEnableCalculation(bool Value) { FEnableCalculation = Value; }
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    // A line in this colour along the strip's top edge; clNone for none.
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    // The calculation of column c, kept in the last row's cell properties.
    TColumnCalcType GetColumnCalc(int c);
    void SetColumnCalc(int c, TColumnCalcType Value);
    // True while the footer added a row to the grid for a preview style.
    bool GetDidInc() const { return FDidInc; }

    // Repaints the strip.
    void Invalidate();

    TCalcFooterEvent OnCalcFooter;

private:
    bool Running() const;
    // A preview style needs a row of its own below the data; the last-row
    // style and a hidden footer give it back.
    void ApplyExtraRow();
    // FixedFooters and the grid's hide-last-row flag from the final
    // Visible/FooterStyle pair, whichever was set last.
    void ApplyFixedLastRow();
    int StripHeight() const;

    TDedOzovedUrad* FGrid { nullptr };
    bool FDidInc { false };
    int FHeight { 0 };
    bool FVisible { false };
    TColor FColor { clBtnFace };
    TFooterStyle FFooterStyle { fsFixedLastRow };
    int FColumn { 0 };
    String FCustomTemplate;
    bool FCalculateHiddenRows { true };
    bool FEnableCalculation { true };
    bool FShowHint { false };
    TColor FBorderColor { clNone };
};

namespace RirEvoz {

// Fills a footer template: "<#n>" becomes CellText(n) for a decimal n in
// 0..ColCount - 1; any other tag is dropped; a "<#" without ">" leaves the
// rest of the template as it is.
String ExpandFooterTemplate(const String& Template, int ColCount, const std::function<String(int)>& CellText);

// Makes a cell's text fit a balloon: tabs become blanks, leading tabs and
// line breaks go, and more than 2048 characters end in "...".
String BalloonText(const String& Text);
// A title of more than 100 characters keeps 97 plus "...".
String BalloonTitle(const String& Title);

} // namespace RirEvoz

class TFooterPanel : public TCustomPanel {
    QT_CLASS(TFooterPanel, TCustomPanel)
public:
    // AOwner is the grid.
    explicit TFooterPanel(TComponent* AOwner = nullptr);
    ~TFooterPanel() override;

    // R is the grid's last row; C the column under X (a fixed column when X
    // lies in the fixed columns, the last column beyond the painted part).
    void MouseToCell(int X, int Y, int& C, int& R);
    // Width of the columns the strip shows: the fixed ones, then the
    // scrolled ones from the grid's left column.
    int PaintedWidth();

    TDedOzovedUrad* GetGrid() const { return FGrid; }
    // The tooltip window of the balloons (null until initialised).
    HWND GetToolTipHandle() const { return FToolTip; }
    TPoint GetLastBalloonCell() const { return FLastBalloonCell; }

    void Dispatch(TMessage& Message) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

private:
    // The columns in strip order with their left edges.
    struct TSlot {
        int Col;
        int Left;
        int Width;
        bool Fixed;
    };
    std::vector<TSlot> Slots();
    int ColumnAt(int X);
    void PaintFixedLastRow(TCanvas* Canvas, int Painted);
    void PaintPreviewFrame(TCanvas* Canvas, int Painted);
    void PaintColumnPreview(TCanvas* Canvas, int Painted);
    void PaintCustomPreview(TCanvas* Canvas, int Painted);
    void PaintCell(TCanvas* Canvas, int ACol, int ARow, TRect R, bool UseEvent);
    TRect Mirror(const TRect& R);
    void InitBalloon();
    void BalloonTextRequest(TMessage& Message);
    void HintShow(TMessage& Message);

    TDedOzovedUrad* FGrid { nullptr };
    // The text handed to the tooltip; it must outlive the notification.
    String FToolTipText;
    int FLastHintCol { -1 };
    HWND FToolTip { nullptr };
    bool FBalloonInit { false };
    TPoint FLastBalloonCell { -1, -1 };
};
