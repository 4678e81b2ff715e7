#pragma once
// Image files: a format sniffer and readers for BMP, PNG, JPEG, GIF (all
// frames, with transparency) and ICO/CUR; writers for BMP, PNG and JPEG. A
// malformed or truncated file raises EImageError with a clear message.

#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Exceptions.h"

QT_DECLARE_EXCEPTION(EImageError, Exception);
// A file declaring more than the caps below allow.
QT_DECLARE_EXCEPTION(EImageTooLarge, EImageError);

// What a decoder may allocate, checked against the sizes a file declares
// before anything is allocated for them: no picture (nor GIF frame) of more
// than kMaxImagePixels pixels, and no file whose decoded frames together take
// more than kMaxImageBytes (frames x pixels x 4 bytes).
constexpr std::uint64_t kMaxImagePixels = 64ull << 20; // 8192 x 8192
constexpr std::uint64_t kMaxImageBytes = 512ull << 20;

enum class TImageFormat { Unknown, Bmp, Png, Jpeg, Gif, Ico, Cur };

// One picture: straight (not premultiplied) 0xAARRGGBB pixels, rows top-down.
struct TImageFrame {
    int Width { 0 };
    int Height { 0 };
    std::vector<std::uint32_t> Pixels;
    int DelayMs { 0 };  // animation frames
    TPoint Hotspot;     // cursors
    std::uint32_t& At(int x, int y) { return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)]; }
    std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)]; }
};

struct TImage {
    TImageFormat Format { TImageFormat::Unknown };
    std::vector<TImageFrame> Frames; // never empty after a successful read
    int LoopCount { 1 };             // GIF: 0 repeats for ever
};

TImageFormat SniffImageFormat(const std::uint8_t* data, std::size_t size);
TImage DecodeImage(const std::uint8_t* data, std::size_t size);
TImage DecodeImage(const TBytes& bytes);
TImage LoadImageFile(const String& path);
// Whether the sizes a picture file declares keep within the caps above, read
// from its headers alone (BMP, PNG, JPEG, GIF, ICO/CUR and TIFF) without
// allocating anything of those sizes. For code that hands the bytes to a
// decoder of another library. A file these headers do not describe, or
// describe badly, is not judged (true): the decoder reports it.
bool DeclaredSizesWithinCaps(const std::uint8_t* data, std::size_t size);

TBytes EncodeBmp(const TImageFrame& frame, bool withAlpha = false);
TBytes EncodePng(const TImageFrame& frame);
// `quality` 1..100.
TBytes EncodeJpeg(const TImageFrame& frame, int quality = 90);
void SaveImageFile(const String& path, const TImageFrame& frame, TImageFormat format, int jpegQuality = 90);

// Between frames and drawing handles: a 32-bit top-down DIB section with
// premultiplied pixels, and back.
HBITMAP CreateBitmapFromFrame(const TImageFrame& frame);
TImageFrame FrameFromBitmap(HBITMAP bitmap);
HICON CreateIconFromFrame(const TImageFrame& frame, bool isIcon = true);
TImageFrame FrameFromIcon(HICON icon);
