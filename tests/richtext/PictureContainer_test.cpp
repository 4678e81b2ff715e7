#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "platform/gdi/Codecs.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/rtl/Resources.h"
#include "platform/vcl/Controls.h"
#include "richtext/PictureContainer.h"
#include "tests/platform/gdi/PixelProbe.h"
#include "tests/support/Fixtures.h"

namespace {

struct TGifFrame {
    Word Delay;
    Word Left;
    Word Top;
    bool ControlExtension { true };
};

// A 4 by 4 GIF whose frames are single pixels of colour 1 (red) at their
// offsets, each after a graphic control extension with its delay.
TBytes Gif(std::initializer_list<TGifFrame> frames)
{
    TBytes b = { 'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x80, 0, 0, 0, 0, 255, 255, 0, 0 };
    for (const TGifFrame& f : frames) {
        if (f.ControlExtension)
            b.insert(b.end(), { 0x21, 0xF9, 4, 0, Byte(f.Delay), Byte(f.Delay >> 8), 0, 0 });
        b.insert(b.end(), { 0x2C, Byte(f.Left), Byte(f.Left >> 8), Byte(f.Top), Byte(f.Top >> 8), 1, 0, 1, 0, 0 });
        // LZW, minimum code size 2: clear, index 1, end.
        b.insert(b.end(), { 2, 2, 0x4C, 1, 0 });
    }
    b.push_back(0x3B);
    return b;
}

TImageFrame Solid(int w, int h, std::uint32_t argb)
{
    TImageFrame f;
    f.Width = w;
    f.Height = h;
    f.Pixels.assign(std::size_t(w) * std::size_t(h), argb);
    return f;
}

void Load(THTMLPicture& p, const TBytes& bytes)
{
    TBytesStream s(bytes);
    p.LoadFromStream(s);
}

TBytes Saved(THTMLPicture& p)
{
    TBytesStream s;
    p.SaveToStream(s);
    return TBytes(s.GetBytes().begin(), s.GetBytes().begin() + s.GetSize());
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
};

// A control that counts its invalidations.
class TSpyControl : public TControl {
public:
    using TControl::TControl;
    void Invalidate() override { ++Invalidations; }
    int Invalidations { 0 };
};

} // namespace

// ---- GIF frames ----

TEST_F(PictureTest, GifFramesAreCountedWithTheirDelaysAndOffsets)
{
    THTMLPicture p;
    Load(p, Gif({ { 10, 0, 0 }, { 20, 1, 2 }, { 0x1234, 3, 1 } }));
    EXPECT_TRUE(p.GetIsGIF());
    EXPECT_FALSE(p.GetEmpty());
    EXPECT_EQ(p.GetWidth(), 4);
    EXPECT_EQ(p.GetHeight(), 4);
    EXPECT_EQ(p.GetMaxWidth(), 4);
    ASSERT_EQ(p.GetFrameCount(), 3);
    struct Case {
        int Frame;
        int Time;
        Word X, Y;
    };
    const Case cases[] = { { 1, 10, 0, 0 }, { 2, 20, 1, 2 }, { 3, 0x1234, 3, 1 }, { 4, -1, 0, 0 }, { 0, -1, 0, 0 } };
    int changes = 0;
    p.OnFrameChange = [&](TObject*) { ++changes; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Frame);
        EXPECT_EQ(p.GetFrameTime(c.Frame), c.Time);
        p.SetFrame(c.Frame);
        EXPECT_EQ(p.GetFrame(), c.Frame);
        EXPECT_EQ(p.GetFrameXPos(), c.X);
        EXPECT_EQ(p.GetFrameYPos(), c.Y);
    }
    EXPECT_EQ(changes, 5);
}

TEST_F(PictureTest, FrameCountOfOtherData)
{
    struct Case {
        const char* Name;
        TBytes Data;
        int Count;
    };
    const Case cases[] = {
        { "GIF without control extensions", Gif({ { 5, 1, 1, false }, { 5, 2, 2, false } }), 0 },
        { "PNG", EncodePng(Solid(2, 2, 0xFF00FF00)), -1 },
        { "four bytes", { 'G', 'I', 'F', '8' }, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        THTMLPicture p;
        Load(p, c.Data);
        EXPECT_EQ(p.GetFrameCount(), c.Count);
        EXPECT_EQ(p.GetFrameTime(1), -1);
        for (int tick = 0; tick < 5; ++tick)
            EXPECT_FALSE(p.Step());
        EXPECT_EQ(p.GetFrame(), 1);
    }
}

TEST_F(PictureTest, StepShowsEachFrameForItsDelay)
{
    const TBytes gif = Gif({ { 10, 0, 0 }, { 20, 1, 0 }, { 10, 2, 0 } });
    THTMLPicture uncounted;
    Load(uncounted, gif);
    for (int tick = 1; tick <= 8; ++tick)
        EXPECT_FALSE(uncounted.Step()) << "nothing asked for the frame count yet, tick " << tick;

    THTMLPicture p;
    Load(p, gif);
    ASSERT_EQ(p.GetFrameCount(), 3);
    struct Tick {
        bool Changed;
        int Frame;
    };
    const Tick ticks[] = { { false, 1 }, { false, 1 }, { true, 2 }, { false, 2 }, { true, 3 }, { true, 1 } };
    int n = 0;
    for (const Tick& t : ticks) {
        SCOPED_TRACE(++n);
        EXPECT_EQ(p.Step(), t.Changed);
        EXPECT_EQ(p.GetFrame(), t.Frame);
    }
    EXPECT_EQ(p.GetFrameXPos(), 0);
}

TEST_F(PictureTest, FrameNextAndPrevWrap)
{
    THTMLPicture p;
    Load(p, Gif({ { 1, 0, 0 }, { 1, 0, 0 }, { 1, 0, 0 } }));
    ASSERT_EQ(p.GetFrameCount(), 3);
    p.FramePrev();
    EXPECT_EQ(p.GetFrame(), 3);
    p.FrameNext();
    EXPECT_EQ(p.GetFrame(), 1);
    p.FrameNext();
    EXPECT_EQ(p.GetFrame(), 2);

    THTMLPicture still;
    Load(still, EncodePng(Solid(2, 2, 0xFF00FF00)));
    still.FramePrev();
    EXPECT_EQ(still.GetFrame(), 1) << "no frame 0 or -1 for a picture without frames";
}

TEST_F(PictureTest, LoadingOtherDataCountsItsFramesAfresh)
{
    THTMLPicture p;
    Load(p, Gif({ { 10, 0, 0 }, { 10, 1, 1 }, { 10, 2, 2 } }));
    ASSERT_EQ(p.GetFrameCount(), 3);
    Load(p, Gif({ { 30, 0, 3 }, { 40, 3, 0 } }));
    EXPECT_EQ(p.GetFrameCount(), 2);
    EXPECT_EQ(p.GetFrameTime(2), 40);
    EXPECT_EQ(p.GetFrameTime(3), -1);
}

TEST_F(PictureTest, AFramePatternAtTheEndOfCutDataReadsNoFurther)
{
    // The image descriptor's left and top would lie beyond the data.
    const TBytes data = { 'G', 'I', 'F', '8', '9', 'a', 0x21, 0xF9, 4, 0, 7, 0, 0, 0, 0x2C, 9 };
    auto heap = std::make_unique<THTMLPicture>();
    Load(*heap, data);
    ASSERT_EQ(heap->GetFrameCount(), 1);
    EXPECT_EQ(heap->GetFrameTime(1), 7);
    heap->SetFrame(1);
    EXPECT_EQ(heap->GetFrameXPos(), 0);
    EXPECT_EQ(heap->GetFrameYPos(), 0);
    EXPECT_EQ(heap->GetWidth(), 0) << "undecodable data has no size";
}

// ---- loading, saving, assigning, drawing ----

TEST_F(PictureTest, PicturesLoadFromAddresses)
{
    static const TBytes png = EncodePng(Solid(6, 4, 0xFF123456));
    RegisterResource("HTML_PICTURE_PNG", "RCDATA", png.data(), png.size());
    testsupport::TempDir dir;
    const auto file = dir / "p.png";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    const String fileURL = u"file://" + Utf8ToString(file.string());
    struct Case {
        String URL;
        bool Asynch;
        bool Empty;
        String ID;
        String URLField;
        bool Busy;
    };
    const Case cases[] = {
        { u"RES://HTML_PICTURE_PNG", true, false, u"RES://HTML_PICTURE_PNG", u"", false },
        { u"res://html_picture_png", false, false, u"res://html_picture_png", u"", false },
        { u"RES://", false, true, u"RES://", u"", false },
        { u"RES://NO_SUCH_PICTURE", false, true, u"RES://NO_SUCH_PICTURE", u"", false },
        { fileURL, true, false, fileURL, u"", false },
        { u"FILE://" + Utf8ToString((dir / "missing.png").string()), false, true,
            u"FILE://" + Utf8ToString((dir / "missing.png").string()), u"", false },
        { u"https://example.invalid/a.png", false, true, u"https://example.invalid/a.png",
            u"https://example.invalid/a.png", false },
        { u"https://example.invalid/b.png", true, true, u"", u"https://example.invalid/b.png", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.URL));
        THTMLPicture p;
        p.SetAsynch(c.Asynch);
        p.LoadFromURL(c.URL);
        EXPECT_EQ(p.GetEmpty(), c.Empty);
        EXPECT_EQ(p.GetID(), c.ID);
        EXPECT_EQ(p.GetURL(), c.URLField);
        EXPECT_EQ(p.GetBusy(), c.Busy);
        if (!c.Empty) {
            EXPECT_EQ(p.GetWidth(), 6);
            EXPECT_EQ(Saved(p), png);
        }
    }
    THTMLPicture busy;
    busy.LoadFromURL(u"https://example.invalid/1.png");
    busy.LoadFromURL(u"https://example.invalid/2.png");
    EXPECT_EQ(busy.GetURL(), u"https://example.invalid/1.png") << "a busy picture takes no second address";
}

TEST_F(PictureTest, AFailedFileLoadLeavesNothingOfTheOldPicture)
{
    THTMLPicture p;
    Load(p, EncodePng(Solid(3, 3, 0xFF00FF00)));
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    p.LoadFromFile(u"/nonexistent/folder/x.png");
    EXPECT_TRUE(p.GetEmpty());
    EXPECT_TRUE(Saved(p).empty());
    EXPECT_EQ(p.GetFrameCount(), -1);
    EXPECT_EQ(changes, 1);
}

TEST_F(PictureTest, AssignCopiesPicturesGraphicsAndNothing)
{
    const TBytes gif = Gif({ { 10, 0, 0 }, { 10, 2, 3 } });
    THTMLPicture source;
    Load(source, gif);
    source.SetStretch(true);
    source.SetID(u"RES://X");
    ASSERT_EQ(source.GetFrameCount(), 2);
    source.SetFrame(2);

    THTMLPicture copy;
    copy.Assign(&source);
    EXPECT_FALSE(copy.GetEmpty());
    EXPECT_TRUE(copy.GetStretch());
    EXPECT_EQ(copy.GetID(), u"RES://X");
    EXPECT_EQ(copy.GetFrame(), 2);
    EXPECT_EQ(Saved(copy), gif);
    EXPECT_EQ(copy.GetFrameCount(), 2);

    THTMLPicture empty;
    copy.Assign(&empty);
    EXPECT_TRUE(copy.GetEmpty()) << "an empty source leaves an empty picture";
    EXPECT_TRUE(Saved(copy).empty());

    TBitmap bmp;
    bmp.SetSize(5, 2);
    copy.Assign(&bmp);
    EXPECT_FALSE(copy.GetEmpty());
    EXPECT_EQ(copy.GetWidth(), 5);
    EXPECT_EQ(copy.GetHeight(), 2);

    TPicture holder;
    holder.SetGraphic(&source);
    copy.Assign(&holder);
    EXPECT_EQ(Saved(copy), gif);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.GetEmpty());
    EXPECT_TRUE(Saved(copy).empty());
    copy.Assign(&copy);
    EXPECT_TRUE(copy.GetEmpty());
}

TEST_F(PictureTest, SVGSourceIsKeptAndSavedUnchangedWithoutAnEngine)
{
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 8 8\"/>";
    const TBytes bytes(svg.begin(), svg.end());
    THTMLPicture p;
    Load(p, bytes);
    EXPECT_TRUE(p.HasSVG());
    EXPECT_EQ(p.GetFrameCount(), -1);
    EXPECT_EQ(Saved(p), bytes);
    THTMLPicture copy;
    copy.Assign(&p);
    EXPECT_EQ(Saved(copy), bytes);
    Load(p, EncodePng(Solid(2, 2, 0xFF000000)));
    EXPECT_FALSE(p.HasSVG()) << "raster data replaces the SVG source";
    EXPECT_EQ(Saved(p), EncodePng(Solid(2, 2, 0xFF000000)));
}

TEST_F(PictureTest, DrawStretchesRasterPicturesIntoTheRectangle)
{
    struct Case {
        const char* Name;
        TBytes Data;
        COLORREF Inside;
    };
    TImageFrame keyed = Solid(4, 4, 0xFFFF0000);
    keyed.At(0, 3) = 0xFF0000FF;
    const Case cases[] = {
        { "PNG", EncodePng(Solid(2, 2, 0xFFFF0000)), RGB(255, 0, 0) },
        { "BMP", EncodeBmp(keyed), RGB(255, 0, 0) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        THTMLPicture p;
        Load(p, c.Data);
        TMemDC m(40, 40);
        TCanvas canvas;
        canvas.SetHandle(m.DC);
        p.Draw(&canvas, TRect(10, 10, 30, 30));
        canvas.SetHandle(nullptr);
        const RECT box = m.InkBox();
        EXPECT_EQ(box.Left, 10);
        EXPECT_EQ(box.Top, 10);
        EXPECT_EQ(box.Right, 30);
        EXPECT_EQ(box.Bottom, 30);
        EXPECT_EQ(m.At(20, 15), c.Inside);
    }
    // The bitmap's bottom-left colour is transparent while the picture is.
    THTMLPicture p;
    Load(p, EncodeBmp(keyed));
    TMemDC m(40, 40);
    TCanvas canvas;
    canvas.SetHandle(m.DC);
    p.Draw(&canvas, TRect(0, 0, 4, 4));
    EXPECT_EQ(m.At(0, 3), RGB(255, 255, 255));
    p.SetTransparent(false);
    p.Draw(&canvas, TRect(0, 0, 4, 4));
    EXPECT_EQ(m.At(0, 3), RGB(0, 0, 255));
    canvas.SetHandle(nullptr);
}

TEST_F(PictureTest, UndecodableDataDrawsNothingAndRaisesNothing)
{
    THTMLPicture p;
    Load(p, { 0x89, 'P', 'N', 'G', 1, 2, 3 });
    TMemDC m(10, 10);
    TCanvas canvas;
    canvas.SetHandle(m.DC);
    EXPECT_NO_THROW(p.Draw(&canvas, TRect(0, 0, 10, 10)));
    EXPECT_NO_THROW(p.Draw(&canvas, TRect(0, 0, 10, 10)));
    canvas.SetHandle(nullptr);
    EXPECT_TRUE(m.Ink().empty());
}

// ---- the cache ----

TEST_F(PictureTest, CacheFindsByExactIDAndAnimatesEveryPicture)
{
    THTMLPictureCache cache;
    THTMLPicture* still = cache.AddPicture();
    still->SetAsynch(false);
    still->LoadFromURL(u"https://example.invalid/Logo.png");
    THTMLPicture* moving = cache.AddPicture();
    Load(*moving, Gif({ { 0, 0, 0 }, { 0, 1, 1 } }));
    moving->SetID(u"RES://ANIM");
    ASSERT_EQ(moving->GetFrameCount(), 2);

    EXPECT_EQ(cache.GetCount(), 2);
    EXPECT_EQ(cache.FindPicture(u"https://example.invalid/Logo.png"), still);
    EXPECT_EQ(cache.FindPicture(u"https://example.invalid/logo.png"), nullptr);
    EXPECT_EQ(cache.FindPicture(u"RES://ANIM"), moving);
    EXPECT_TRUE(still->GetEmpty());

    EXPECT_FALSE(cache.Animate()) << "even a delay of 0 shows the first frame for a tick";
    EXPECT_TRUE(cache.Animate());
    EXPECT_EQ(moving->GetFrame(), 2);
    EXPECT_EQ(moving->GetFrameXPos(), 1);

    EXPECT_THROW(cache.GetPicture(2), EListError);
    auto* replacement = new THTMLPicture;
    cache.SetPicture(0, replacement); // the old picture is freed
    EXPECT_EQ(cache[0], replacement);
    EXPECT_THROW(cache.SetPicture(1, replacement), EListError) << "one picture owned twice";
    cache.SetPicture(0, nullptr);
    EXPECT_EQ(cache.FindPicture(u""), nullptr);
    EXPECT_TRUE(cache.Animate());

    cache.ClearPictures();
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_FALSE(cache.Animate());
}

// ---- the container ----

TEST_F(PictureTest, ContainerFindsByNameIgnoringCase)
{
    TPictureContainer container;
    TPictureItem* a = container.GetItems()->Add();
    a->SetName(u"Smiley");
    Load(static_cast<THTMLPicture&>(*a->GetPicture()), EncodePng(Solid(3, 2, 0xFF00FF00)));
    TPictureItem* b = container.GetItems()->Add();
    b->SetName(u"Ärger");

    EXPECT_EQ(container.FindPicture(u"SMILEY"), a->GetPicture());
    EXPECT_EQ(container.FindPicture(u"smiley"), a->GetPicture());
    EXPECT_EQ(container.FindPicture(u"ärger"), b->GetPicture());
    EXPECT_EQ(container.FindPicture(u"Smile"), nullptr);
    EXPECT_EQ(container.FindBitmap(u"nothing"), nullptr);

    TPicture* bitmap = container.FindBitmap(u"SMILEY");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 3);
    EXPECT_NE(bitmap->GetGraphic(), a->GetPicture()) << "a copy, not the item's picture";
    TPicture* again = a->Bitmap();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetHeight(), 2);
    EXPECT_EQ(a->Container(), &container);
    EXPECT_EQ(container.GetVersion(), u"2.1.1.0");
}

TEST_F(PictureTest, ItemsCopyAndCollectionsAnimate)
{
    TPictureContainer container;
    TPictureItem* a = container.GetItems()->Add();
    a->SetName(u"Anim");
    a->SetTag(7);
    Load(static_cast<THTMLPicture&>(*a->GetPicture()), Gif({ { 0, 0, 0 }, { 0, 3, 3 } }));
    TPictureItem* b = container.GetItems()->Add();
    b->Assign(a);
    EXPECT_EQ(b->GetName(), u"Anim");
    EXPECT_EQ(b->GetTag(), 7);
    EXPECT_NE(b->GetPicture(), a->GetPicture());
    EXPECT_TRUE(b->GetPicture()->Equals(a->GetPicture()));
    EXPECT_THROW(b->Assign(&container), EConvertError);

    EXPECT_FALSE(container.GetItems()->Animate()) << "frames not yet counted";
    auto* picture = static_cast<THTMLPicture*>(b->GetPicture());
    ASSERT_EQ(picture->GetFrameCount(), 2);
    EXPECT_FALSE(container.GetItems()->Animate());
    EXPECT_TRUE(container.GetItems()->Animate());
    EXPECT_EQ(picture->GetFrame(), 2);

    TPictureContainer other;
    other.SetItems(container.GetItems());
    ASSERT_EQ(other.GetItems()->GetCount(), 2);
    EXPECT_NE(other.GetItems(), container.GetItems());
    EXPECT_NE(other.FindPicture(u"anim"), nullptr);
}

TEST_F(PictureTest, ContainerInvalidatesItsControlsUntilTheyGo)
{
    TPictureContainer container;
    int changes = 0;
    container.OnChange = [&](TObject*) { ++changes; };
    TSpyControl kept(nullptr);
    auto leaving = std::make_unique<TSpyControl>(nullptr);
    container.RegisterControl(&kept);
    container.RegisterControl(&kept);
    container.RegisterControl(leaving.get());
    container.RegisterControl(nullptr);
    EXPECT_EQ(container.GetControls().size(), 3u);

    container.Changed();
    EXPECT_EQ(kept.Invalidations, 2);
    EXPECT_EQ(leaving->Invalidations, 1);
    EXPECT_EQ(changes, 1);

    // A control owned by nobody still takes itself out when freed.
    leaving.reset();
    EXPECT_EQ(container.GetControls().size(), 2u);
    container.Changed();
    EXPECT_EQ(kept.Invalidations, 4);
    EXPECT_EQ(changes, 2);
}
