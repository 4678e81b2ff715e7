#pragma once
// JPEG pictures: the file's bytes are kept and saved back unchanged until
// the picture is assigned new pixels, which are encoded at CompressionQuality.

#include "platform/vcl/Graphics.h"

using TJPEGQualityRange = int; // 1..100

class TJPEGImage : public TGraphic {
    QT_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage() = default;
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FImage.Pixels.empty(); }
    int GetWidth() const override { return FImage.Width; }
    int GetHeight() const override { return FImage.Height; }
    void SetWidth(int value) override;
    void SetHeight(int value) override;

    TJPEGQualityRange GetCompressionQuality() const { return FCompressionQuality; }
    // Clamped to 1..100.
    void SetCompressionQuality(TJPEGQualityRange value);
    // Encodes the pixels now (the next save writes these bytes).
    void Compress();

    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    static bool CanLoadFromStream(TStream& stream);
    TImageFrame GetImageFrame() override { return FImage; }

private:
    TImageFrame FImage;
    TBytes FData; // encoded bytes matching FImage; empty until loaded or compressed
    TJPEGQualityRange FCompressionQuality { 90 };
};
