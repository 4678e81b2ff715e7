#pragma once
// GIF pictures with all their frames. The loaded file is saved back
// unchanged; new pixels are written as a one-frame GIF with a palette of up
// to 256 colours and one transparent entry.

#include "platform/vcl/Graphics.h"

class TGIFImage : public TGraphic {
    QT_CLASS(TGIFImage, TGraphic)
public:
    TGIFImage() = default;
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FImage.Frames.empty(); }
    int GetWidth() const override;
    int GetHeight() const override;
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool GetTransparent() const override;
    bool SupportsPartialTransparency() const override { return false; }

    int GetFrameCount() const { return int(FImage.Frames.size()); }
    // Composed frame (the full picture at that step); EListError out of range.
    const TImageFrame& GetFrame(int index) const;
    // Milliseconds the frame stays.
    int GetFrameDelay(int index) const { return GetFrame(index).DelayMs; }
    // 0 repeats for ever.
    int GetLoopCount() const { return FImage.LoopCount; }
    // The frame Draw shows.
    int GetFrameIndex() const { return FFrameIndex; }
    void SetFrameIndex(int value);

    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    static bool CanLoadFromStream(TStream& stream);
    TImageFrame GetImageFrame() override;

private:
    TImage FImage;
    TBytes FOriginal;
    int FFrameIndex { 0 };
};
