#include "platform/vcl/WICImage.h"

#include <algorithm>
#include <cstring>

#include <tiffio.h>

#include "platform/vcl/GraphicStreams.h"

using namespace vcl_detail;

QT_PUBLISHED(TWICImage)

namespace {

// A TIFF file in memory for libtiff's client I/O: reads from `Bytes`, or
// writes into it (growing it) when `Writable`.
struct TMemoryTiff {
    TBytes& Bytes;
    bool Writable { false };
    std::uint64_t Position { 0 };

    static tmsize_t Read(thandle_t h, void* buffer, tmsize_t size)
    {
        auto& m = *static_cast<TMemoryTiff*>(h);
        if (size <= 0 || m.Position >= m.Bytes.size())
            return 0;
        const std::uint64_t n = std::min<std::uint64_t>(std::uint64_t(size), m.Bytes.size() - m.Position);
        std::memcpy(buffer, m.Bytes.data() + m.Position, std::size_t(n));
        m.Position += n;
        return tmsize_t(n);
    }
    static tmsize_t Write(thandle_t h, void* buffer, tmsize_t size)
    {
        auto& m = *static_cast<TMemoryTiff*>(h);
        if (!m.Writable || size < 0)
            return -1;
        const std::uint64_t end = m.Position + std::uint64_t(size);
        if (end > m.Bytes.size())
            m.Bytes.resize(std::size_t(end));
        std::memcpy(m.Bytes.data() + m.Position, buffer, std::size_t(size));
        m.Position = end;
        return size;
    }
    static toff_t Seek(thandle_t h, toff_t offset, int whence)
    {
        auto& m = *static_cast<TMemoryTiff*>(h);
        std::uint64_t base = 0;
        if (whence == SEEK_CUR)
            base = m.Position;
        else if (whence == SEEK_END)
            base = m.Bytes.size();
        m.Position = base + offset;
        return m.Position;
    }
    static int Close(thandle_t) { return 0; }
    static toff_t Size(thandle_t h) { return static_cast<TMemoryTiff*>(h)->Bytes.size(); }
    static int Map(thandle_t, void**, toff_t*) { return 0; }
    static void Unmap(thandle_t, void*, toff_t) { }

    TIFF* Open(const char* mode)
    {
        return TIFFClientOpen("memory", mode, this, &Read, &Write, &Seek, &Close, &Size, &Map, &Unmap);
    }
};

// libtiff reports through process-wide handlers; its messages would only
// go to the terminal, while failures reach the caller as exceptions.
void SilenceLibTiff()
{
    static const bool done = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)done;
}

struct TTiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

[[noreturn]] void NotATiff()
{
    throw EInvalidGraphic(u"The TIFF image is not valid");
}

} // namespace

TImageFrame DecodeTiff(const TBytes& bytes)
{
    SilenceLibTiff();
    TBytes copy = bytes;
    TMemoryTiff file { copy };
    std::unique_ptr<TIFF, TTiffCloser> tiff(file.Open("rm"));
    if (!tiff)
        NotATiff();
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height)
        || width == 0 || height == 0)
        NotATiff();
    // Refused before anything of the declared size is allocated, under the
    // same cap as the other picture decoders.
    if (std::uint64_t(width) * height > kMaxImagePixels)
        throw EInvalidGraphic(u"The TIFF image is too large");
    TImageFrame frame;
    frame.Width = int(width);
    frame.Height = int(height);
    frame.Pixels.resize(std::size_t(width) * height);
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, frame.Pixels.data(), ORIENTATION_TOPLEFT, 0))
        NotATiff();
    // libtiff gives premultiplied ABGR words; frames hold straight ARGB.
    for (std::uint32_t& p : frame.Pixels)
        p = Unpremultiply((std::uint32_t(TIFFGetA(p)) << 24) | (std::uint32_t(TIFFGetR(p)) << 16)
            | (std::uint32_t(TIFFGetG(p)) << 8) | std::uint32_t(TIFFGetB(p)));
    return frame;
}

TBytes EncodeTiff(const TImageFrame& frame)
{
    SilenceLibTiff();
    TBytes out;
    if (frame.Width <= 0 || frame.Height <= 0)
        return out;
    TMemoryTiff file { out, true };
    {
        std::unique_ptr<TIFF, TTiffCloser> tiff(file.Open("w"));
        if (!tiff)
            throw EInvalidGraphic(u"The TIFF image could not be written");
        TIFF* t = tiff.get();
        const std::uint16_t extra[] = { EXTRASAMPLE_UNASSALPHA };
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, std::uint32_t(frame.Width));
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, std::uint32_t(frame.Height));
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 4);
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, std::uint32_t(frame.Height));
        std::vector<std::uint8_t> row(std::size_t(frame.Width) * 4);
        for (int y = 0; y < frame.Height; ++y) {
            for (int x = 0; x < frame.Width; ++x) {
                const std::uint32_t p = frame.At(x, y);
                std::uint8_t* d = row.data() + std::size_t(x) * 4;
                d[0] = std::uint8_t(p >> 16);
                d[1] = std::uint8_t(p >> 8);
                d[2] = std::uint8_t(p);
                d[3] = std::uint8_t(p >> 24);
            }
            if (TIFFWriteScanline(t, row.data(), std::uint32_t(y), 0) < 0)
                throw EInvalidGraphic(u"The TIFF image could not be written");
        }
    }
    return out;
}

void TWICImage::Assign(TPersistent* source)
{
    if (!source) {
        FImage = {};
        FData.clear();
        Changed();
        return;
    }
    if (auto* w = dynamic_cast<TWICImage*>(source)) {
        if (w == this)
            return;
        FImage = w->FImage;
        FData = w->FData;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        FImage = g->GetImageFrame();
        FData = EncodeTiff(FImage);
        Changed();
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        Assign(p->GetGraphic());
        return;
    }
    TGraphic::Assign(source);
}

bool TWICImage::GetTransparent() const
{
    return std::any_of(FImage.Pixels.begin(), FImage.Pixels.end(), [](std::uint32_t p) { return (p >> 24) != 255; });
}

void TWICImage::Draw(TCanvas* canvas, const TRect& r)
{
    if (!canvas || GetEmpty())
        return;
    DrawFrame(canvas->GetHandle(), r, FImage, 255);
}

bool TWICImage::CanLoadFromStream(TStream& stream)
{
    const TBytes head = PeekBytes(stream, 4);
    return StartsWith(head, "II\x2A\x00", 4) || StartsWith(head, "MM\x00\x2A", 4);
}

void TWICImage::LoadFromStream(TStream& stream)
{
    TBytes bytes = ReadRest(stream);
    FImage = DecodeTiff(bytes);
    FData = std::move(bytes);
    Changed();
}

void TWICImage::SaveToStream(TStream& stream)
{
    if (!GetEmpty())
        WriteBytes(stream, FData);
}
