#pragma once
// The hint window that shows the grid's cell hints: mini-HTML with pictures
// from the grid's image list and picture container, or wide-encoded text on
// one line; it stays inside the monitor it opens on.

#include "platform/vcl/HintWindow.h"

class TCustomImageList;
class TPictureContainer;

class THTMLHintWindow : public THintWindow {
    QT_CLASS(THTMLHintWindow, THintWindow)
public:
    explicit THTMLHintWindow(TComponent* AOwner = nullptr);

    // From a grid (AData), the window takes its image list and picture
    // container, then shows the hint.
    void ActivateHintData(TRect Rect, const String& AHint, void* AData) override;
    // Sized to the text plus margins and kept 2 pixels inside the monitor.
    void ActivateHint(TRect Rect, const String& AHint) override;
    // The size the hint text needs, as (0, 0, width, height).
    TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData) override;

    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value) { FImages = Value; }
    TPictureContainer* GetPictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value) { FPictureContainer = Value; }
    int GetTextHeight() const { return FTextHeight; }
    int GetTextWidth() const { return FTextWidth; }

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    // Measures the hint as one line of wide text or as mini-HTML within MaxWidth.
    TSize Measure(const String& AHint, int MaxWidth, const String& FontName);

    TCustomImageList* FImages { nullptr };
    TPictureContainer* FPictureContainer { nullptr };
    int FTextHeight { 0 };
    int FTextWidth { 0 };
    // The decoded text of a wide-encoded hint; empty for mini-HTML.
    String FWideCaption;
};
