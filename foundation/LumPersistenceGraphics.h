#pragma once
// The parts of the persistence that need the control framework's graphics:
// colour resolution and the stream image of pictures and bitmaps.

#include <cstdint>

class TObject;
class TStream;

namespace lumpersistence {

// The RGB value of a colour (system colours resolved through the current table).
std::int64_t ColorToRGBValue(std::int64_t AColor);
// Writes the stream image of a picture or bitmap; false (nothing written)
// when it holds no graphic or an empty one.
bool SavePictureImage(TObject* APicture, TStream& AStream);
// Loads a stream image (from its position) into a picture or bitmap.
void LoadPictureImage(TObject* APicture, TStream& AStream);

}
