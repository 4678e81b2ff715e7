#pragma once
// PNG pictures: kept decoded with their alpha channel and drawn blended.

#include "platform/vcl/Graphics.h"

class TPngImage : public TGraphic {
    QT_CLASS(TPngImage, TGraphic)
public:
    TPngImage() = default;
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FImage.Pixels.empty(); }
    int GetWidth() const override { return FImage.Width; }
    int GetHeight() const override { return FImage.Height; }
    // Resizing keeps the overlapping pixels; new ones are fully transparent.
    void SetWidth(int value) override { SetSize(value, FImage.Height); }
    void SetHeight(int value) override { SetSize(FImage.Width, value); }
    void SetSize(int width, int height) override;
    // True when any pixel is not fully opaque.
    bool GetTransparent() const override;
    bool SupportsPartialTransparency() const override { return true; }

    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    static bool CanLoadFromStream(TStream& stream);
    TImageFrame GetImageFrame() override { return FImage; }

private:
    TImageFrame FImage;
};
