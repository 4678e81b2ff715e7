#pragma once
// TIFF pictures (the format the general imaging class of the original
// platform reads besides the ones with classes of their own): the first
// page of a TIFF file, decoded through libtiff with its alpha channel and
// drawn blended. The file's bytes are kept as loaded and saved unchanged;
// a picture assigned from another graphic is saved as an uncompressed
// RGBA TIFF.

#include "platform/vcl/Graphics.h"

class TWICImage : public TGraphic {
    QT_CLASS(TWICImage, TGraphic)
public:
    TWICImage() = default;
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FImage.Pixels.empty(); }
    int GetWidth() const override { return FImage.Width; }
    int GetHeight() const override { return FImage.Height; }
    // Sizes come from the picture; these are ignored.
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    bool GetTransparent() const override;
    bool SupportsPartialTransparency() const override { return true; }

    void Draw(TCanvas* canvas, const TRect& r) override;
    // Raises EInvalidGraphic when the bytes are no TIFF libtiff can read.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // A little-endian ("II", 42) or big-endian ("MM", 0 42) TIFF header.
    static bool CanLoadFromStream(TStream& stream);
    TImageFrame GetImageFrame() override { return FImage; }

private:
    TImageFrame FImage;
    TBytes FData; // the TIFF file as loaded or as last encoded
};

// Encodes a picture as an uncompressed 8-bit RGBA TIFF (straight alpha).
TBytes EncodeTiff(const TImageFrame& frame);
// The first page of a TIFF file; raises EInvalidGraphic when it cannot be read.
TImageFrame DecodeTiff(const TBytes& bytes);
