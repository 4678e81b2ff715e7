#include "graphics/LumSVGBitmap.h"

#include <mutex>

#include "foundation/VuzErazs.h"
#include "graphics/LumBitmap.h"
#include "platform/rtl/MathUtils.h"

QT_PUBLISHED(TLumSVGImport, QT_PROP(GrayScale), QT_PROP_T(CustomFillColor, u"TColor"),
    QT_PROP_T(CustomStrokeColor, u"TColor"), QT_PROP_T(TintColor, u"TColor"), QT_PROP(CustomOpacity),
    QT_PROP(RotationAngle))
QT_PUBLISHED(TLumSVGBitmap)

namespace {

// The document used while no SVG engine is installed: it has no elements.
class TLumEmptySVGImport : public TLumSVGImport {
public:
    bool HasElements() override { return false; }
    int ElementCount() override { return 0; }
    std::unique_ptr<TLumBitmap> GenerateBitmap(float, float) override { return std::make_unique<TLumBitmap>(); }
    void Clear() override { FViewRect = {}; }
    void Draw(TCanvas*, const TRectF&, bool) override { }
    void LoadFromText(const String&) override { }
    void LoadFromFile(const String&) override { }
    void LoadFromStream(TStream&) override { }
    void SaveToStream(TStream&) override { }
    void SaveToFile(const String&) override { }
};

TLumSVGImportFactory& Factory()
{
    static TLumSVGImportFactory factory;
    return factory;
}

} // namespace

void SetLumSVGImportFactory(TLumSVGImportFactory AFactory)
{
    Factory() = std::move(AFactory);
}

std::unique_ptr<TLumSVGImport> CreateLumSVGImport()
{
    if (Factory())
        if (auto doc = Factory()())
            return doc;
    return std::make_unique<TLumEmptySVGImport>();
}

void RegisterLumSVGBitmap()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TPicture::RegisterFileFormat<TLumSVGBitmap>(u"SVG", u"Scalable Vector Graphics (VCL)");
    });
}

namespace {
// Registration at start-up; the picture registry outlives exit-time
// destruction, so the class is unregistered from it at exit.
struct TLumSVGRegistration {
    TLumSVGRegistration() { RegisterLumSVGBitmap(); }
    ~TLumSVGRegistration() { TPicture::UnregisterGraphicClass(TLumSVGBitmap::StaticClassInfo()); }
} LumSVGRegistration;
}

TLumSVGBitmap::TLumSVGBitmap()
    : FSVG(CreateLumSVGImport())
    , FStream(std::make_unique<TMemoryStream>())
{
}

TLumSVGBitmap::~TLumSVGBitmap() = default;

void TLumSVGBitmap::ParseSource()
{
    FStream->SetPosition(0);
    FSVG->LoadFromStream(*FStream);
}

void TLumSVGBitmap::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TLumSVGBitmap*>(Source);
    if (!source || source == this)
        return;
    try {
        FSVG->Clear();
        FStream->Clear();
        FStream->CopyFrom(*source->FStream, 0);
        ParseSource();
    } catch (const Exception&) {
        // Bad SVG text leaves what was parsed; the picture still changes.
    }
    Changed();
}

void TLumSVGBitmap::AssignTo(TPersistent* Dest)
{
    if (auto* dest = dynamic_cast<TLumSVGBitmap*>(Dest))
        dest->Assign(this);
}

bool TLumSVGBitmap::GetEmpty() const
{
    return !FSVG || !FSVG->HasElements();
}

int TLumSVGBitmap::GetWidth() const
{
    if (!FSVG)
        return 0;
    const TRectF& v = FSVG->GetViewRect();
    return int(RoundHalfEven((v.Right - v.Left) * TVuzErazs::GetDPIScale(nullptr, -1)));
}

int TLumSVGBitmap::GetHeight() const
{
    if (!FSVG)
        return 0;
    const TRectF& v = FSVG->GetViewRect();
    return int(RoundHalfEven((v.Bottom - v.Top) * TVuzErazs::GetDPIScale(nullptr, -1)));
}

void TLumSVGBitmap::SetWidth(int)
{
    throw EAbstractError(u"Abstract Error");
}

void TLumSVGBitmap::SetHeight(int)
{
    throw EAbstractError(u"Abstract Error");
}

void TLumSVGBitmap::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (FSVG && !GetEmpty())
        FSVG->Draw(ACanvas, TRectF(float(Rect.Left), float(Rect.Top), float(Rect.Right), float(Rect.Bottom)), true);
}

void TLumSVGBitmap::LoadFromFile(const String& Filename)
{
    if (!FSVG)
        return;
    TFileStream file(Filename, fmOpenRead | fmShareDenyWrite);
    FStream->Clear();
    FStream->CopyFrom(file, 0);
    ParseSource();
    Changed();
}

void TLumSVGBitmap::SaveToFile(const String& FileName)
{
    if (!FSVG)
        return;
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

bool TLumSVGBitmap::CanLoadFromStream(TStream& Stream)
{
    return TVuzErazs::GetImageType(Stream, false).empty();
}

void TLumSVGBitmap::LoadFromStream(TStream& Stream)
{
    if (FSVG) {
        try {
            FFileName.clear();
            FStream->Clear();
            const Int64 remaining = Stream.GetSize() - Stream.GetPosition();
            if (remaining > 0)
                FStream->CopyFrom(Stream, remaining);
            ParseSource();
        } catch (const Exception&) {
            // Bad SVG text leaves what was parsed; the picture still changes.
        }
    }
    Changed();
}

void TLumSVGBitmap::SaveToStream(TStream& Stream)
{
    FStream->SetPosition(0);
    Stream.CopyFrom(*FStream, FStream->GetSize());
}

void TLumSVGBitmap::ReadData(TStream& Stream)
{
    std::int32_t length = 0;
    Stream.ReadBuffer(&length, sizeof length);
    // A length that does not fit the data would copy past its end.
    if (length < 0 || Int64(length) > Stream.GetSize() - Stream.GetPosition())
        throw EReadError(u"Invalid SVG data length");
    FStream->Clear();
    if (length > 0)
        FStream->CopyFrom(Stream, length);
    ParseSource();
    Changed();
}

void TLumSVGBitmap::WriteData(TStream& Stream)
{
    const std::int32_t length = std::int32_t(FStream->GetSize());
    Stream.WriteBuffer(&length, sizeof length);
    SaveToStream(Stream);
}

TImageFrame TLumSVGBitmap::GetImageFrame()
{
    if (!HasSVG() || GetWidth() <= 0 || GetHeight() <= 0)
        return {};
    std::unique_ptr<TLumBitmap> bitmap = FSVG->GenerateBitmap(float(GetWidth()), float(GetHeight()));
    if (!bitmap || !bitmap->GetGraphic())
        return {};
    return bitmap->GetGraphic()->GetImageFrame();
}

bool TLumSVGBitmap::HasSVG() const
{
    return FSVG && FSVG->HasElements();
}

void TLumSVGBitmap::Clear()
{
    FSVG->Clear();
    FFileName.clear();
    Changed();
}

void TLumSVGBitmap::SetFileName(const String& Value)
{
    if (Value == FFileName)
        return;
    FFileName = Value;
    LoadFromFile(Value);
}
