// The picture decoders over any bytes: BMP, PNG, JPEG, GIF, ICO and CUR by
// their signature, and TIFF. A bad file must give the codec's clear error;
// a decoded picture must be as large as it says.
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "platform/gdi/Codecs.h"
#include "platform/vcl/WICImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const TImage image = DecodeImage(data, size);
        if (image.Frames.empty())
            std::abort();
        for (const TImageFrame& f : image.Frames)
            if (f.Width <= 0 || f.Height <= 0 || f.Pixels.size() != std::size_t(f.Width) * std::size_t(f.Height))
                std::abort();
    } catch (const EImageError&) {
    }
    if (size >= 4 && ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M'))) {
        try {
            const TImageFrame f = DecodeTiff(TBytes(data, data + size));
            if (f.Pixels.size() != std::size_t(f.Width) * std::size_t(f.Height))
                std::abort();
        } catch (const EInvalidGraphic&) {
        }
    }
    return 0;
}
