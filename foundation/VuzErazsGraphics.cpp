// The utilities that deal with the platform: image formats, DPI, fonts,
// forms, paths, the shell, messages and debug output.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "foundation/LumPersistence.h"
#include "foundation/VuzErazs.h"
#include "platform/net/WinInet.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/GIFImg.h"
#include "platform/vcl/JPEG.h"
#include "platform/vcl/PngImage.h"
#include "platform/vcl/WICImage.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"

using namespace net;

extern char** environ;

Word CF_RICHEDITORTEXT = 0;
Word CF_LUMCLIPBOARDSTREAM = 0;
Word CF_RTF = 0;
Word CF_HTML = 0;
Word CF_LUMBITMAP = 2;

namespace {

Word RegisterFormat16(const String& name)
{
    const UINT id = RegisterClipboardFormat(name);
    if (id > 0xFFFF)
        throw ERangeError(u"Range check error");
    return Word(id);
}

// Start-up: the clipboard formats.
struct TVuzErazsStartup {
    TVuzErazsStartup()
    {
        CF_RICHEDITORTEXT = RegisterFormat16(u"RichEditorText");
        CF_LUMCLIPBOARDSTREAM = RegisterFormat16(u"TLumClipBoard.StreamFormat");
        CF_RTF = RegisterFormat16(u"Rich Text Format");
        CF_HTML = RegisterFormat16(u"HTML Format");
    }
} VuzErazsStartup;

struct TImageSignature {
    const char16_t* Extension;
    int Count;
    std::array<Byte, 4> Bytes;
};

// First match wins. Every JPEG starts FF D8 FF whatever marker follows, so
// the JPEG row compares three bytes.
const TImageSignature ImageSignatures[] = {
    { u".gif", 3, { 0x47, 0x49, 0x46, 0 } },
    { u".bmp", 2, { 0x42, 0x4D, 0, 0 } },
    { u".png", 4, { 0x89, 0x50, 0x4E, 0x47 } },
    { u".tiff", 3, { 0x49, 0x49, 0x2A, 0 } },
    { u".tiff", 3, { 0x4D, 0x4D, 0x00, 0 } },
    { u".jpg", 3, { 0xFF, 0xD8, 0xFF, 0 } },
    { u".unknown", 4, { 0x00, 0x00, 0x01, 0x00 } },
    { u".empty", 4, { 0x00, 0x00, 0x00, 0x00 } },
};

void RunDetached(const String& target)
{
    const std::string arg = StringToUtf8(target);
    const char* argv[] = { "xdg-open", arg.c_str(), nullptr };
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

} // namespace

// ---- images ----

String TVuzErazs::GetImageType(TStream& AData, bool AResetPosition)
{
    const Int64 saved = AData.GetPosition();
    if (AResetPosition)
        AData.SetPosition(0);
    std::array<Byte, 4> head {};
    const Int64 got = AData.Read(head.data(), 4);
    AData.SetPosition(saved);
    if (got < 4)
        return {};
    for (const auto& sig : ImageSignatures)
        if (std::equal(sig.Bytes.begin(), sig.Bytes.begin() + sig.Count, head.begin()))
            return sig.Extension;
    return {};
}

String TVuzErazs::GetImageType(TPicture& ABitmap, bool)
{
    TMemoryStream stream;
    ABitmap.SaveToStream(stream);
    return GetImageType(stream, true);
}

bool TVuzErazs::FindGraphicClass(const void* Buffer, Int64 BufferSize, TClass& GraphicClass)
{
    GraphicClass = nullptr;
    if (!Buffer || BufferSize <= 0)
        return false;
    const auto* b = static_cast<const Byte*>(Buffer);
    auto has = [&](Int64 offset, std::initializer_list<Byte> bytes) {
        if (offset + Int64(bytes.size()) > BufferSize)
            return false;
        return std::equal(bytes.begin(), bytes.end(), b + offset);
    };
    // "II" or "MM" starts a TIFF, or else nothing this function knows.
    if (has(0, { 'I', 'I' })) {
        if (!has(2, { 42, 0 }))
            return false;
        GraphicClass = TWICImage::StaticClassInfo();
        return true;
    }
    if (has(0, { 'B', 'M' })) {
        GraphicClass = TBitmap::StaticClassInfo();
        return true;
    }
    if (has(0, { 'M', 'M' })) {
        if (!has(2, { 0, 42 }))
            return false;
        GraphicClass = TWICImage::StaticClassInfo();
        return true;
    }
    if (has(0, { 0xFF, 0xD8 })) {
        GraphicClass = TJPEGImage::StaticClassInfo();
        return true;
    }
    if (has(0, { 0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A })) {
        GraphicClass = TPngImage::StaticClassInfo();
        return true;
    }
    if (has(0, { 'G', 'I', 'F' })) {
        GraphicClass = TGIFImage::StaticClassInfo();
        return true;
    }
    if (has(2, { 0x01, 0x00 })) {
        GraphicClass = TIcon::StaticClassInfo();
        return true;
    }
    return false;
}

std::unique_ptr<TMemoryStream> TVuzErazs::ConvertBitmapToJPEGStream(TPicture* ABitmap, float AQuality,
    TColor ABackgroundColor)
{
    if (!ABitmap || !ABitmap->GetGraphic())
        return nullptr;
    TMemoryStream source;
    ABitmap->SaveToStream(source);
    TClass cls = nullptr;
    if (!FindGraphicClass(source.GetMemory(), source.GetSize(), cls))
        return nullptr;
    auto result = std::make_unique<TMemoryStream>();
    if (cls == TJPEGImage::StaticClassInfo()) {
        result->CopyFrom(source, 0);
        return result;
    }
    const double scaled = double(AQuality) * 100;
    const Int64 quality = std::isfinite(scaled) ? RoundHalfEven(scaled) : 0;
    if (quality < 1 || quality > 100)
        throw ERangeError(u"Range check error");
    std::unique_ptr<TGraphic> graphic(static_cast<TGraphic*>(cls->Create(nullptr)));
    source.SetPosition(0);
    graphic->LoadFromStream(source);
    TBitmap bitmap(graphic->GetWidth(), graphic->GetHeight());
    TColor background = ABackgroundColor;
    if (background == clNone || background == -1)
        background = clWhite;
    bitmap.GetCanvas()->GetBrush()->SetColor(background);
    bitmap.GetCanvas()->FillRect(TRect { 0, 0, graphic->GetWidth(), graphic->GetHeight() });
    bitmap.GetCanvas()->Draw(0, 0, graphic.get());
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.SetCompressionQuality(int(quality));
    jpeg.Compress();
    jpeg.SaveToStream(*result);
    return result;
}

std::unique_ptr<TMemoryStream> TVuzErazs::DownloadImage(const String& AURL)
{
    // Both handles are closed whatever happens.
    struct THandle {
        HINTERNET h { nullptr };
        ~THandle()
        {
            if (h)
                InternetCloseHandle(h);
        }
    };
    auto result = std::make_unique<TMemoryStream>();
    THandle session { InternetOpen(u"TVuzErazs", INTERNET_OPEN_TYPE_PRECONFIG) };
    if (!session.h)
        throw Exception(u"Unable to initialize Wininet");
    // Reload, no cache write, pragma no-cache.
    THandle request { InternetOpenUrl(session.h, AURL, {}, 0x84000100) };
    if (!request.h)
        throw Exception(u"Cannot open URL " + AURL);
    String contentType;
    HttpQueryInfo(request.h, HTTP_QUERY_CONTENT_TYPE, contentType);
    if (StrUpper(contentType).find(u"IMAGE") != String::npos) {
        std::array<Byte, 1025> block {};
        DWORD read = 0;
        while (InternetReadFile(request.h, block.data(), DWORD(block.size()), &read) && read > 0)
            result->WriteBuffer(block.data(), read);
    }
    return result;
}

std::unique_ptr<TResourceStream> TVuzErazs::GetResourceStream(const String& AResourceName, HINSTANCE AInstance)
{
    if (!FindResource(AInstance, AResourceName.c_str(), RT_RCDATA))
        return nullptr;
    return std::make_unique<TResourceStream>(AInstance, AResourceName, RT_RCDATA);
}

std::unique_ptr<TResourceStream> TVuzErazs::GetResourceStream(const String& AResourceName)
{
    return GetResourceStream(AResourceName, GetHInstance());
}

HINSTANCE TVuzErazs::GetHInstance()
{
    // The program is one module; resources are looked up by name and type.
    return reinterpret_cast<HINSTANCE>(std::uintptr_t(0x400000));
}

// ---- DPI and fonts ----

float TVuzErazs::GetDPIScale(TComponent* AOwner, int ADefaultDPI)
{
    TCustomForm* form = nullptr;
    if (AOwner) {
        form = dynamic_cast<TCustomForm*>(AOwner);
        if (!form)
            if (auto* control = dynamic_cast<TControl*>(AOwner))
                form = ::GetParentForm(control);
        if (!form)
            form = GetOwnerForm(AOwner);
    } else if (Application) {
        form = Application->GetMainForm();
    }
    // Every form of the framework has a canvas.
    if (!form || !form->GetScaled())
        return 1;
    if (ADefaultDPI <= 0)
        ADefaultDPI = 96;
    TMonitor* monitor = form->GetMonitor();
    const int ppi = monitor ? monitor->GetPixelsPerInch() : 96;
    return float(ppi) / float(ADefaultDPI);
}

bool TVuzErazs::IsHighDPIScale(TComponent* AOwner, int ADefaultDPI)
{
    return GetDPIScale(AOwner, ADefaultDPI) > 1;
}

void TVuzErazs::ScaleForDPI(TControl* AControl, int ADPI)
{
    if (AControl)
        AControl->ScaleForPPI(ADPI);
}

namespace {
void RescaleFonts(TWinControl* parent)
{
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* c = parent->GetControl(i);
        if (dynamic_cast<TCustomForm*>(c))
            continue;
        if (TFont* f = c->GetFont())
            f->SetHeight(TVuzErazs::MulDivInt(f->GetHeight(), 96, f->GetPixelsPerInch()));
        if (auto* w = dynamic_cast<TWinControl*>(c))
            RescaleFonts(w);
    }
}
}

void TVuzErazs::ScaleForCurrentDPI(TCustomForm* AForm)
{
    if (!AForm)
        return;
    RescaleFonts(AForm);
    TMonitor* monitor = AForm->GetMonitor();
    AForm->ScaleForPPI(monitor ? monitor->GetPixelsPerInch() : 96);
    if (AForm->ClassName() == u"TLumCustomPopupForm") {
        const double scale = GetDPIScale(AForm, 96);
        AForm->SetWidth(RoundToInt(AForm->GetWidth() * scale));
        AForm->SetHeight(RoundToInt(AForm->GetHeight() * scale));
    }
}

int TVuzErazs::MulDivInt(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    const double q = double(Int64(nNumber) * Int64(nNumerator)) / nDenominator;
    // Half away from zero, saturated to the integer range.
    const double r = q < 0 ? std::ceil(q - 0.5) : std::floor(q + 0.5);
    return int(std::clamp(r, double(INT_MIN), double(INT_MAX)));
}

float TVuzErazs::MulDivSingle(int nNumber, int nNumerator, int nDenominator)
{
    if (nDenominator == 0)
        return -1;
    return float(double(Int64(nNumber) * Int64(nNumerator)) / nDenominator);
}

void TVuzErazs::SetFontSize(TFont* AFont, float ASize, float AScaleFactor)
{
    if (!AFont)
        return;
    const int points = RoundToInt(ASize / 96.0 * 72.0);
    const int dpi = RoundToInt(AScaleFactor * 96.0);
    AFont->SetHeight(-MulDivInt(points, dpi, 72));
}

void TVuzErazs::GetFonts(TStringList& FontList)
{
    FontList.BeginUpdate();
    FontList.Clear();
    String previous;
    for (const String& name : Screen->GetFonts()) {
        if (!previous.empty() && StrLower(previous) == StrLower(name))
            continue;
        FontList.Add(name);
        previous = name;
    }
    FontList.EndUpdate();
    FontList.Sort();
}

// ---- forms, paths, shell ----

TCustomForm* TVuzErazs::GetOwnerForm(TComponent* AComponent)
{
    if (!AComponent)
        return nullptr;
    for (TComponent* c = AComponent->GetOwner(); c; c = c->GetOwner())
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            return form;
    return nullptr;
}

TCustomForm* TVuzErazs::GetParentForm(TControl* AControl)
{
    return AControl ? ::GetParentForm(AControl) : nullptr;
}

String TVuzErazs::GetTempPath()
{
    return AddForwardslash(GetTempDirectory());
}

String TVuzErazs::GetAppPath()
{
    char buffer[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    return AddForwardslash(ExtractFilePath(Utf8ToString(std::string(buffer, std::size_t(n)))));
}

String TVuzErazs::GetDocumentsPath()
{
    String dir = GetEnvironmentVariable(u"XDG_DOCUMENTS_DIR");
    if (dir.empty()) {
        const String home = GetEnvironmentVariable(u"HOME");
        if (home.empty())
            throw EOSError(u"The documents folder is unknown (HOME is not set)");
        dir = AddForwardslash(home) + u"Documents";
    }
    return dir;
}

String TVuzErazs::AddBackslash(const String& AValue)
{
    if (AValue.empty() || AValue.back() == u'\\')
        return AValue;
    return AValue + u"\\";
}

String TVuzErazs::AddForwardslash(const String& AValue)
{
    if (AValue.empty() || AValue.back() == u'/')
        return AValue;
    return AValue + u"/";
}

void TVuzErazs::OpenFile(const String& AFile, TControl*)
{
    RunDetached(AFile);
}

void TVuzErazs::OpenURL(const String& AURL)
{
    RunDetached(AURL);
}

void TVuzErazs::Log(const String& AMessage)
{
    std::fprintf(stderr, "%s\n", StringToUtf8(AMessage).c_str());
}

std::unique_ptr<TComponent> TVuzErazs::Clone(TComponent* AComponent)
{
    if (!AComponent)
        return nullptr;
    // The copy is written without the name, so it cannot clash with the original's.
    const String name = AComponent->GetName();
    AComponent->SetName(String());
    String image;
    try {
        image = TLumPersistence::ToJSON(AComponent);
    } catch (...) {
        AComponent->SetName(name);
        throw;
    }
    AComponent->SetName(name);
    std::unique_ptr<TComponent> copy(static_cast<TComponent*>(AComponent->ClassType()->Create(nullptr)));
    TLumPersistence::FromJSON(copy.get(), image);
    return copy;
}

TPointF TVuzErazs::GetMousePos()
{
    POINT p {};
    GetCursorPos(p);
    return { float(p.X), float(p.Y) };
}

TDateTime TVuzErazs::EpochToDateTime(const String& AEpoch)
{
    return UnixToDateTime(StrToInt64(AEpoch));
}

String TVuzErazs::FormatBytesAsString(double ASize)
{
    static const char16_t* const Units[] = { u"Bytes", u"KB", u"MB", u"GB", u"TB" };
    if (!(ASize > -1))
        return {};
    int divisions = 0;
    while (ASize >= 1024 && divisions < 4) {
        ASize /= 1024;
        ++divisions;
    }
    // Beyond terabytes the number simply grows in TB.
    const String number = divisions == 0 ? FloatToStr(ASize) : FormatFloat(u"0.00", ASize);
    return number + u" " + Units[divisions];
}

String TVuzErazs::FormatVersionNumber(Byte AMajor, Byte AMinor, Byte ARelease, Byte ABuild)
{
    return IntToStr(AMajor) + u"." + IntToStr(AMinor) + u"." + IntToStr(ARelease) + u"." + IntToStr(ABuild);
}

// ---- pictures as text ----

String TVuzErazs::SaveBitmapToBase64(TPicture* ABitmap, bool AURL)
{
    if (!ABitmap || !ABitmap->GetGraphic() || ABitmap->GetGraphic()->Empty())
        return {};
    TMemoryStream stream;
    ABitmap->GetGraphic()->SaveToStream(stream);
    return SaveStreamToBase64(stream, AURL);
}

void TVuzErazs::LoadBitmapFromBase64(StringView ABase64, TPicture* ABitmap, bool AURL)
{
    if (!ABitmap)
        return;
    StringView text = ABase64;
    const std::size_t marker = text.find(u";base64,");
    if (marker != StringView::npos)
        text = text.substr(marker + 8);
    TMemoryStream stream;
    LoadStreamFromBase64(text, stream, AURL);
    stream.SetPosition(0);
    ABitmap->LoadFromStream(stream);
}

String TVuzErazs::SaveBitmapToHexStr(TPicture* ABitmap)
{
    if (!ABitmap || !ABitmap->GetGraphic() || ABitmap->GetGraphic()->Empty())
        return {};
    TMemoryStream stream;
    ABitmap->GetGraphic()->SaveToStream(stream);
    return SaveStreamToHexStr(stream);
}

void TVuzErazs::LoadBitmapFromHexStr(StringView AHexStr, TPicture* ABitmap)
{
    if (!ABitmap)
        return;
    const TBytes bytes = HexStrToBytes(AHexStr);
    const std::string_view asText(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (asText.find(";base64,") != std::string_view::npos)
        return;
    TClass cls = nullptr;
    if (!FindGraphicClass(bytes.data(), Int64(bytes.size()), cls))
        return;
    std::unique_ptr<TGraphic> graphic(static_cast<TGraphic*>(cls->Create(nullptr)));
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), Int64(bytes.size()));
    stream.SetPosition(0);
    graphic->LoadFromStream(stream);
    ABitmap->Assign(graphic.get());
}

namespace {

struct TBitmapFactories {
    TVuzErazs::TBitmapFromBase64 FromBase64;
    TVuzErazs::TBitmapFromHexStr FromHexStr;
};

TBitmapFactories& BitmapFactories()
{
    static TBitmapFactories factories;
    return factories;
}

[[noreturn]] void NoBitmapFactory()
{
    throw Exception(u"No picture class is registered to make a picture from text");
}

} // namespace

void TVuzErazs::RegisterBitmapFactories(TBitmapFromBase64 AFromBase64, TBitmapFromHexStr AFromHexStr)
{
    BitmapFactories() = { std::move(AFromBase64), std::move(AFromHexStr) };
}

TVuzErazs::TLumBitmapPtr TVuzErazs::CreateBitmapFromBase64(StringView ABase64, bool AURL)
{
    const auto& make = BitmapFactories().FromBase64;
    if (!make)
        NoBitmapFactory();
    return make(ABase64, AURL);
}

TVuzErazs::TLumBitmapPtr TVuzErazs::CreateBitmapFromHexStr(StringView AHexStr)
{
    const auto& make = BitmapFactories().FromHexStr;
    if (!make)
        NoBitmapFactory();
    return make(AHexStr);
}
