#include "foundation/LumPersistenceGraphics.h"

#include "platform/rtl/Exceptions.h"

// Interim: without the control framework there is no colour table and no
// picture type to stream.
namespace lumpersistence {

std::int64_t ColorToRGBValue(std::int64_t AColor) { return AColor & 0xFFFFFF; }

bool SavePictureImage(TObject*, TStream&) { throw Exception(u"Pictures cannot be saved without the graphics layer"); }

void LoadPictureImage(TObject*, TStream&) { throw Exception(u"Pictures cannot be loaded without the graphics layer"); }

}
