#pragma once
// SVG pictures: the abstract SVG document (parse, draw, rasterise, with its
// appearance overrides) and the picture format that keeps SVG source bytes
// exactly as loaded and registers itself for "SVG". The SVG engine plugs its
// document in through SetLumSVGImportFactory; until it does, pictures keep
// their bytes but have no elements, draw nothing and report no view box.

#include <functional>
#include <memory>

#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

class TLumBitmap;

class TLumSVGImport : public TPersistent {
    QT_CLASS(TLumSVGImport, TPersistent)
public:
    TLumSVGImport() = default;

    virtual bool HasElements() = 0;
    virtual int ElementCount() = 0;
    virtual std::unique_ptr<TLumBitmap> GenerateBitmap(float AWidth, float AHeight) = 0;
    virtual void Clear() = 0;
    virtual void Draw(TCanvas* ACanvas, const TRectF& ARect, bool ANative) = 0;
    virtual void LoadFromText(const String& AText) = 0;
    virtual void LoadFromFile(const String& AFile) = 0;
    virtual void LoadFromStream(TStream& AStream) = 0;
    virtual void SaveToStream(TStream& AStream) = 0;
    virtual void SaveToFile(const String& AFile) = 0;

    bool GetGrayScale() const { return FGrayScale; }
    void SetGrayScale(bool Value) { FGrayScale = Value; }
    TColor GetCustomFillColor() const { return FCustomFillColor; }
    void SetCustomFillColor(TColor Value) { FCustomFillColor = Value; }
    TColor GetCustomStrokeColor() const { return FCustomStrokeColor; }
    void SetCustomStrokeColor(TColor Value) { FCustomStrokeColor = Value; }
    TColor GetTintColor() const { return FTintColor; }
    void SetTintColor(TColor Value) { FTintColor = Value; }
    float GetCustomOpacity() const { return FCustomOpacity; }
    void SetCustomOpacity(float Value) { FCustomOpacity = Value; }
    float GetRotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(float Value) { FRotationAngle = Value; }
    const TRectF& GetViewRect() const { return FViewRect; }
    void SetViewRect(const TRectF& Value) { FViewRect = Value; }

protected:
    float FRotationAngle { 0 };
    TRectF FViewRect {};
    bool FGrayScale { false };
    TColor FCustomFillColor { -1 };
    TColor FCustomStrokeColor { -1 };
    TColor FTintColor { -1 };
    float FCustomOpacity { -1 };
};

using TLumSVGImportFactory = std::function<std::unique_ptr<TLumSVGImport>()>;
// Installed by the SVG engine; an empty factory goes back to documents
// without elements.
void SetLumSVGImportFactory(TLumSVGImportFactory AFactory);
// A new document from the installed factory (one without elements when none is).
std::unique_ptr<TLumSVGImport> CreateLumSVGImport();

class TLumSVGBitmap : public TGraphic {
    QT_CLASS(TLumSVGBitmap, TGraphic)
public:
    TLumSVGBitmap();
    ~TLumSVGBitmap() override;
    void Assign(TPersistent* Source) override;

    bool GetEmpty() const override;
    // The view box at the current DPI scale.
    int GetWidth() const override;
    int GetHeight() const override;
    // The size of an SVG picture follows from its view box.
    void SetWidth(int) override;
    void SetHeight(int) override;

    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void LoadFromFile(const String& Filename) override;
    void SaveToFile(const String& FileName) override;
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    // True when the bytes at the position carry none of the raster signatures.
    static bool CanLoadFromStream(TStream& Stream);
    // Form data: a 32-bit length followed by the source bytes.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) override;
    TImageFrame GetImageFrame() override;

    virtual bool HasSVG() const;
    // Drops the parsed document; the source bytes stay.
    void Clear();
    const String& GetFileName() const { return FFileName; }
    void SetFileName(const String& Value);
    TLumSVGImport* GetSVG() const { return FSVG.get(); }
    // The source bytes as loaded.
    TMemoryStream& GetSourceStream() { return *FStream; }

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    void ParseSource();

    std::unique_ptr<TLumSVGImport> FSVG;
    std::unique_ptr<TMemoryStream> FStream;
    String FFileName;
};

// Registers TLumSVGBitmap for "SVG" once, however often it is asked.
void RegisterLumSVGBitmap();
