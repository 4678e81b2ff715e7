#include "richtext/LumSVGDocument.h"

#include "graphics/LumSVGParser.h"
#include "richtext/GDIPPicture.h"

namespace {

// The GDI+ pictures' view of one SVG document.
class TLumSVGDocument : public ILumSVGDocument {
public:
    void Clear() override { FSVG.Clear(); }
    void LoadFromStream(TStream& stream) override
    {
        // The document reads a whole stream; the picture hands one positioned
        // at the SVG source.
        TMemoryStream rest;
        const Int64 count = stream.GetSize() - stream.GetPosition();
        if (count > 0)
            rest.CopyFrom(stream, count);
        FSVG.LoadFromStream(rest);
    }
    bool HasElements() const override { return FSVG.ElementCount() > 0; }
    TRectF GetViewRect() const override { return FSVG.GetViewRect(); }
    void Draw(TCanvas* canvas, const TRectF& rect) override { FSVG.Draw(canvas, rect, true); }

private:
    mutable TLumGraphicsSVGImport FSVG;
};

} // namespace

void RegisterLumSVGDocuments()
{
    RegisterLumGraphicsSVGImport();
    SetLumSVGDocumentFactory([] { return std::make_unique<TLumSVGDocument>(); });
}
