#include "foundation/LumPersistenceGraphics.h"

#include "platform/vcl/Graphics.h"

namespace lumpersistence {

std::int64_t ColorToRGBValue(std::int64_t AColor)
{
    return ColorToRGB(TColor(AColor)) & 0xFFFFFF;
}

// A picture streams its graphic in the graphic's own format, which the
// picture recognises again from the bytes when loading.
bool SavePictureImage(TObject* APicture, TStream& AStream)
{
    if (auto* picture = dynamic_cast<TPicture*>(APicture)) {
        TGraphic* graphic = picture->GetGraphic();
        if (!graphic || graphic->Empty())
            return false;
        picture->SaveToStream(AStream);
        return true;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(APicture)) {
        if (graphic->Empty())
            return false;
        graphic->SaveToStream(AStream);
        return true;
    }
    return false;
}

void LoadPictureImage(TObject* APicture, TStream& AStream)
{
    if (auto* picture = dynamic_cast<TPicture*>(APicture))
        picture->LoadFromStream(AStream);
    else if (auto* graphic = dynamic_cast<TGraphic*>(APicture))
        graphic->LoadFromStream(AStream);
}

}
