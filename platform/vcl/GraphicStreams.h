#pragma once
// Byte and pixel helpers shared by the picture formats of this folder.

#include <cstdint>

#include "platform/gdi/Codecs.h"
#include "platform/rtl/Streams.h"

namespace vcl_detail {

// The bytes from the stream's position to its end.
TBytes ReadRest(TStream& stream);
// Up to `count` bytes from the position; the position is restored.
TBytes PeekBytes(TStream& stream, int count);
bool StartsWith(const TBytes& bytes, const char* signature, std::size_t length);
// Decodes an image, turning codec errors into EInvalidGraphic.
TImage Decode(const TBytes& bytes);
void WriteBytes(TStream& stream, const TBytes& bytes);

inline std::uint32_t Premultiply(std::uint32_t px)
{
    const std::uint32_t a = px >> 24;
    if (a == 255)
        return px;
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul((px >> 16) & 0xFF) << 16) | (mul((px >> 8) & 0xFF) << 8) | mul(px & 0xFF);
}

inline std::uint32_t Unpremultiply(std::uint32_t px)
{
    const std::uint32_t a = px >> 24;
    if (a == 255)
        return px;
    if (a == 0)
        return 0;
    auto div = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (div((px >> 16) & 0xFF) << 16) | (div((px >> 8) & 0xFF) << 8) | div(px & 0xFF);
}

// A straight ARGB pixel as a COLORREF-ordered colour (alpha dropped).
inline COLORREF PixelRGB(std::uint32_t px)
{
    return ((px >> 16) & 0xFF) | (px & 0xFF00) | ((px & 0xFF) << 16);
}

// Draws a frame (straight ARGB) into the rectangle of a device context,
// blended by its alpha and a constant opacity.
void DrawFrame(HDC dc, const TRect& r, const TImageFrame& frame, Byte opacity);

} // namespace vcl_detail
