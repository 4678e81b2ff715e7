// The grid's own formats: the line-oriented grid text file, the UTF-16 grid
// text stream that may sit inside a larger stream, and the binary cell
// stream that carries texts with cell properties and cell objects (the
// clipboard's private format and what one grid drags to another).
//
// Streams come from the clipboard, from drags and from files: everything
// read is bounded by the bytes present, and a stream is read and checked
// whole before the first cell changes.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "grid/views/GridDataViewsImpl.h"
#include "grid/views/io/GridCellIO.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/MathUtils.h"

using namespace VuzEraz;

QT_PUBLISHED(TGridPropIO, QT_PROP(ColCount), QT_PROP(RowCount), QT_PROP(ColWidths), QT_PROP(RowHeights),
    QT_PROP(FullGrid), QT_PROP(ID))
QT_PUBLISHED(TGridCellIO, QT_PROP(Col), QT_PROP(Row), QT_PROP(Cell), QT_PROP(HasProp))
QT_PUBLISHED(TGridCellPropIO, QT_PROP(CellProperties), QT_PROP(HasGraphic))
QT_PUBLISHED(TGridGraphicIO, QT_PROP(CellGraphic), QT_PROP(HasComment))
QT_PUBLISHED(TGridBMPIO, QT_PROP(Bitmap))
QT_PUBLISHED(TGridIconIO, QT_PROP(Icon))
QT_PUBLISHED(TGridSLIO, QT_PROP(Strings))
QT_PUBLISHED(TGridPicIO, QT_PROP(Picture))
QT_PUBLISHED(TGridFilePicIO, QT_PROP(Picture))

namespace {

// Far beyond any grid the program shows, well below what would exhaust
// memory: counts above these are damage, not data.
constexpr int MaxStreamCols = 1 << 14;
constexpr int MaxStreamRows = 1 << 24;
constexpr Int64 MaxStreamCells = Int64(1) << 27;

[[noreturn]] void Corrupt(const String& Name = String())
{
    String Msg = u"File contains no data or corrupt file";
    if (!Name.empty())
        Msg += u" " + Name;
    throw ERirEvozError(Msg);
}

// ---- cell texts in lines ----

// Line breaks become characters 9 (CR), 8 (LF) and 1 (NUL) so a text fits
// on one line. Texts that already hold those characters (a TAB in a
// multi-line cell) would come back changed, so an encoded text starts with
// character 2 and writes 1, 2, 8 and 9 of its own as 2 followed by a digit.
// Texts without any of them are written as they are.
bool NeedsEscape(StringView Text)
{
    for (Char c : Text)
        if (c == u'\r' || c == u'\n' || c == 0 || c == 1 || c == 2 || c == 8)
            return true;
    return false;
}

String EncodeCellText(StringView Text)
{
    if (!NeedsEscape(Text))
        return String(Text);
    String r;
    r.reserve(Text.size() + 2);
    r += Char(2);
    for (Char c : Text) {
        switch (c) {
        case 1: r += u"\x02" u"1"; break;
        case 2: r += u"\x02" u"2"; break;
        case 8: r += u"\x02" u"8"; break;
        case 9: r += u"\x02" u"9"; break;
        case u'\r': r += Char(9); break;
        case u'\n': r += Char(8); break;
        case 0: r += Char(1); break;
        default: r += c;
        }
    }
    return r;
}

String FirstLine(const String& Text)
{
    const std::size_t p = Text.find_first_of(u"\r\n");
    return p == String::npos ? Text : Text.substr(0, p);
}

String DecodeCellText(StringView Text, bool Multiline)
{
    String r;
    if (!Text.empty() && Text[0] == 2) {
        r.reserve(Text.size());
        for (std::size_t i = 1; i < Text.size(); ++i) {
            const Char c = Text[i];
            if (c == 2 && i + 1 < Text.size()) {
                const Char d = Text[++i];
                r += d == u'1' ? Char(1) : d == u'2' ? Char(2) : d == u'8' ? Char(8) : d == u'9' ? Char(9) : d;
            } else if (c == 9) {
                r += u'\r';
            } else if (c == 8) {
                r += u'\n';
            } else if (c == 1) {
                r += Char(0);
            } else {
                r += c;
            }
        }
    } else {
        // Written by the plain scheme (or no line breaks at all).
        r = DecodeLineBreaks(Text, true);
    }
    return Multiline ? r : FirstLine(r);
}

// A decimal number of at most nine digits, optionally negative.
bool ParseInt(StringView s, int& v)
{
    if (s.empty() || s.size() > 10)
        return false;
    std::size_t i = 0;
    bool Neg = false;
    if (s[0] == u'-') {
        Neg = true;
        i = 1;
    }
    if (i == s.size())
        return false;
    Int64 n = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
        n = n * 10 + (s[i] - u'0');
    }
    v = int(Neg ? -n : n);
    return true;
}

// "cols,rows": both numbers within what a grid can hold, else damage.
void ParseCountLine(StringView Line, int& Cols, int& Rows, const String& Name)
{
    const std::size_t p = Line.find(u',');
    if (p == StringView::npos || !ParseInt(Line.substr(0, p), Cols) || !ParseInt(Line.substr(p + 1), Rows))
        Corrupt(Name);
    if (Cols < 0 || Rows < 0 || Cols > MaxStreamCols || Rows > MaxStreamRows
        || Int64(Cols) * Int64(Rows) > MaxStreamCells)
        Corrupt(Name);
}

// "cw i,w": the index and the width; false for anything else.
bool ParseWidthLine(StringView Line, int& Index, int& Width)
{
    if (Line.size() < 3 || Line.substr(0, 2) != u"cw")
        return false;
    const StringView Rest = Line.substr(3);
    const std::size_t p = Rest.find(u',');
    return p != StringView::npos && ParseInt(Rest.substr(0, p), Index) && ParseInt(Rest.substr(p + 1), Width)
        && Width >= 0;
}

// "c,r,text": false when the two numbers are not there.
bool ParseCellLine(StringView Line, int& Col, int& Row, StringView& Text)
{
    const std::size_t p = Line.find(u',');
    if (p == StringView::npos)
        return false;
    const std::size_t q = Line.find(u',', p + 1);
    if (q == StringView::npos)
        return false;
    if (!ParseInt(Line.substr(0, p), Col) || !ParseInt(Line.substr(p + 1, q - p - 1), Row))
        return false;
    Text = Line.substr(q + 1);
    return true;
}

std::vector<String> SplitTextLines(StringView Text)
{
    std::vector<String> Lines;
    std::size_t Start = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char c = Text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        Lines.emplace_back(Text.substr(Start, i - Start));
        if (c == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n')
            ++i;
        Start = i + 1;
    }
    if (Start < Text.size())
        Lines.emplace_back(Text.substr(Start));
    return Lines;
}

// Reports a percentage when it changed.
struct TProgress {
    TDedOzovedUrad& G;
    int Last { -1 };
    void operator()(Int64 Done, Int64 Total)
    {
        if (!G.OnFileProgress)
            return;
        const int Percent = int(Done * 100 / std::max<Int64>(1, Total));
        if (Percent != Last) {
            Last = Percent;
            G.OnFileProgress(&G, std::int16_t(Percent));
        }
    }
};

// ---- the binary records ----

enum : std::uint8_t { pkOrdinal = 1, pkFloat = 2, pkString = 3, pkPicture = 4, pkStrings = 5, pkNested = 6 };

// The properties a record streams: read-write values and owned persistent
// objects (not components, not references to other objects).
bool IsPersistentObjectProp(PPropInfo P)
{
    if (!P->GetObj || !P->PropType || !P->PropType->ClassType)
        return false;
    const TClass C = P->PropType->ClassType;
    return C->InheritsFrom(TPersistent::StaticClassInfo()) && !C->InheritsFrom(TComponent::StaticClassInfo());
}

struct TClassProps {
    std::vector<PPropInfo> Props;
    std::unique_ptr<TObject> Default;
};

const TClassProps& PropsOf(TClass Cls)
{
    static std::map<TClass, TClassProps> Cache;
    auto It = Cache.find(Cls);
    if (It != Cache.end())
        return It->second;
    TClassProps& E = Cache[Cls];
    for (PPropInfo P : GetPropList(Cls)) {
        if (P->PropType && P->PropType->Kind == tkMethod)
            continue;
        if ((P->GetOrd && P->SetOrd) || (P->GetFloat && P->SetFloat) || (P->GetStr && P->SetStr)
            || IsPersistentObjectProp(P))
            E.Props.push_back(P);
    }
    try {
        E.Default.reset(Cls->Create(nullptr));
    } catch (const Exception&) {
    }
    return E;
}

class TOut {
public:
    explicit TOut(TStream& S) : FStream(S) { FBuf.reserve(1 << 16); }
    ~TOut() = default;
    void U8(std::uint8_t v) { FBuf.push_back(v); }
    void U16(std::uint16_t v) { Raw(&v, 2); }
    void U32(std::uint32_t v) { Raw(&v, 4); }
    void I64(std::int64_t v) { Raw(&v, 8); }
    void F64(double v) { Raw(&v, 8); }
    void Str(StringView s)
    {
        U32(std::uint32_t(s.size()));
        Raw(s.data(), s.size() * 2);
    }
    void Name(StringView s)
    {
        U8(std::uint8_t(s.size()));
        for (Char c : s)
            U8(std::uint8_t(c));
    }
    void Raw(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const std::uint8_t*>(p);
        FBuf.insert(FBuf.end(), b, b + n);
    }
    std::size_t Size() const { return FBuf.size(); }
    // Goes back to patch a count written before its items.
    void PatchU16(std::size_t At, std::uint16_t v) { std::memcpy(&FBuf[At], &v, 2); }
    std::uint16_t CountAt(std::size_t At) const
    {
        std::uint16_t v;
        std::memcpy(&v, &FBuf[At], 2);
        return v;
    }
    void Truncate(std::size_t Size) { FBuf.resize(Size); }
    void Flush()
    {
        if (!FBuf.empty())
            FStream.WriteBuffer(FBuf.data(), Int64(FBuf.size()));
        FBuf.clear();
    }

private:
    TStream& FStream;
    std::vector<std::uint8_t> FBuf;
};

void WriteProps(TOut& O, TObject* Obj, TObject* Default, int Depth);

// Writes one property when it differs from the default object's; false
// when it was left out.
bool WriteProp(TOut& O, PPropInfo P, TObject* Obj, TObject* Default, int Depth)
{
    if (P->GetOrd) {
        const std::int64_t v = P->GetOrd(Obj);
        if (Default && P->GetOrd(Default) == v)
            return false;
        O.Name(P->Name);
        O.U8(pkOrdinal);
        O.I64(v);
        return true;
    }
    if (P->GetFloat) {
        const double v = P->GetFloat(Obj);
        if (Default && P->GetFloat(Default) == v)
            return false;
        O.Name(P->Name);
        O.U8(pkFloat);
        O.F64(v);
        return true;
    }
    if (P->GetStr) {
        const String v = P->GetStr(Obj);
        if (Default && P->GetStr(Default) == v)
            return false;
        O.Name(P->Name);
        O.U8(pkString);
        O.Str(v);
        return true;
    }
    TObject* V = P->GetObj(Obj);
    if (!V)
        return false;
    if (auto* Gr = dynamic_cast<TGraphic*>(V)) {
        if (Gr->GetEmpty())
            return false;
        TMemoryStream M;
        Gr->SaveToStream(M);
        O.Name(P->Name);
        O.U8(pkPicture);
        O.U32(std::uint32_t(M.GetSize()));
        O.Raw(M.GetMemory(), std::size_t(M.GetSize()));
        return true;
    }
    if (auto* Pic = dynamic_cast<TPicture*>(V)) {
        if (!Pic->GetGraphic() || Pic->GetGraphic()->GetEmpty())
            return false;
        TMemoryStream M;
        Pic->SaveToStream(M);
        O.Name(P->Name);
        O.U8(pkPicture);
        O.U32(std::uint32_t(M.GetSize()));
        O.Raw(M.GetMemory(), std::size_t(M.GetSize()));
        return true;
    }
    if (auto* SL = dynamic_cast<TStrings*>(V)) {
        if (SL->GetCount() == 0)
            return false;
        O.Name(P->Name);
        O.U8(pkStrings);
        O.U32(std::uint32_t(SL->GetCount()));
        for (int i = 0; i < SL->GetCount(); ++i)
            O.Str(SL->GetStrings(i));
        return true;
    }
    if (Depth >= 4)
        return false;
    TObject* NestedDefault = Default ? P->GetObj(Default) : nullptr;
    const std::size_t Mark = O.Size();
    O.Name(P->Name);
    O.U8(pkNested);
    const std::size_t CountAt = O.Size();
    WriteProps(O, V, NestedDefault, Depth + 1);
    if (O.CountAt(CountAt) == 0) {
        // Nothing differs: the property stays out.
        O.Truncate(Mark);
        return false;
    }
    return true;
}

void WriteProps(TOut& O, TObject* Obj, TObject* Default, int Depth)
{
    const TClassProps& CP = PropsOf(Obj->ClassType());
    if (!Default)
        Default = CP.Default.get();
    const std::size_t CountAt = O.Size();
    O.U16(0);
    std::uint16_t Count = 0;
    for (PPropInfo P : CP.Props)
        if (WriteProp(O, P, Obj, Default, Depth))
            ++Count;
    O.PatchU16(CountAt, Count);
}

void WriteRecord(TOut& O, TPersistent* Rec)
{
    const String& Cls = Rec->ClassType()->Name;
    O.U16(std::uint16_t(Cls.size()));
    O.Raw(Cls.data(), Cls.size() * 2);
    O.U16(0); // the component name: none
    WriteProps(O, Rec, nullptr, 0);
}

// Bounded reading: every size is checked against the bytes left.
class TIn {
public:
    TIn(const std::uint8_t* Data, std::size_t Size) : p(Data), n(Size) { }
    std::size_t Left() const { return n - pos; }
    void Need(std::size_t k) const
    {
        if (k > Left())
            Corrupt();
    }
    std::uint8_t U8()
    {
        Need(1);
        return p[pos++];
    }
    std::uint16_t U16() { return Get<std::uint16_t>(); }
    std::uint32_t U32() { return Get<std::uint32_t>(); }
    std::int64_t I64() { return Get<std::int64_t>(); }
    double F64() { return Get<double>(); }
    String Str()
    {
        const std::uint32_t Len = U32();
        Need(std::size_t(Len) * 2);
        String s(Len, u'\0');
        std::memcpy(s.data(), p + pos, std::size_t(Len) * 2);
        pos += std::size_t(Len) * 2;
        return s;
    }
    // The name's bytes, as a view into the data.
    std::string_view Name()
    {
        const std::uint8_t Len = U8();
        Need(Len);
        std::string_view s(reinterpret_cast<const char*>(p + pos), Len);
        pos += Len;
        return s;
    }
    const std::uint8_t* Take(std::size_t k)
    {
        Need(k);
        const std::uint8_t* r = p + pos;
        pos += k;
        return r;
    }

private:
    template<class T>
    T Get()
    {
        Need(sizeof(T));
        T v;
        std::memcpy(&v, p + pos, sizeof(T));
        pos += sizeof(T);
        return v;
    }
    const std::uint8_t* p;
    std::size_t n;
    std::size_t pos { 0 };
};

bool SameName(std::string_view a, const String& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Char(std::uint8_t(a[i])) != b[i])
            return false;
    return true;
}

// Whether an ordinal fits the property's type.
bool OrdinalFits(PPropInfo P, std::int64_t v)
{
    const TTypeInfo* T = P->PropType;
    if (!T)
        return false;
    if (T->IsBoolean())
        return v == 0 || v == 1;
    switch (T->GetBaseType()->Kind) {
    case tkEnumeration: return v >= T->GetBaseType()->MinValue && v <= T->GetBaseType()->MaxValue;
    case tkSet: {
        const TTypeInfo* E = T->GetBaseType()->CompType;
        const std::int64_t Bits = E ? E->GetBaseType()->MaxValue + 1 : 64;
        return v >= 0 && (Bits >= 63 || v < (std::int64_t(1) << Bits));
    }
    case tkInt64: return true;
    case tkChar: return v >= 0 && v <= 255;
    case tkWChar: return v >= 0 && v <= 0xFFFF;
    default: return v >= INT32_MIN && v <= INT32_MAX;
    }
}

void ReadProps(TIn& In, TObject* Obj, int Depth, std::vector<PPropInfo>* Present);

void ReadProp(TIn& In, TObject* Obj, int Depth, std::vector<PPropInfo>* Present)
{
    const std::string_view Name = In.Name();
    const std::uint8_t Kind = In.U8();
    PPropInfo P = nullptr;
    for (PPropInfo Q : PropsOf(Obj->ClassType()).Props)
        if (SameName(Name, Q->Name)) {
            P = Q;
            break;
        }
    if (!P)
        Corrupt();
    switch (Kind) {
    case pkOrdinal: {
        const std::int64_t v = In.I64();
        if (!P->SetOrd || !OrdinalFits(P, v))
            Corrupt();
        P->SetOrd(Obj, v);
        break;
    }
    case pkFloat: {
        const double v = In.F64();
        if (!P->SetFloat || !std::isfinite(v))
            Corrupt();
        P->SetFloat(Obj, v);
        break;
    }
    case pkString: {
        String v = In.Str();
        if (!P->SetStr)
            Corrupt();
        P->SetStr(Obj, v);
        break;
    }
    case pkPicture: {
        const std::uint32_t Len = In.U32();
        const std::uint8_t* Bytes = In.Take(Len);
        TObject* V = P->GetObj ? P->GetObj(Obj) : nullptr;
        auto* Gr = dynamic_cast<TGraphic*>(V);
        auto* Pic = dynamic_cast<TPicture*>(V);
        if (!Gr && !Pic)
            Corrupt();
        TMemoryStream M;
        M.WriteBuffer(Bytes, Len);
        M.SetPosition(0);
        try {
            if (Gr)
                Gr->LoadFromStream(M);
            else
                Pic->LoadFromStream(M);
        } catch (const Exception&) {
            Corrupt();
        }
        break;
    }
    case pkStrings: {
        auto* SL = dynamic_cast<TStrings*>(P->GetObj ? P->GetObj(Obj) : nullptr);
        if (!SL)
            Corrupt();
        const std::uint32_t Count = In.U32();
        In.Need(std::size_t(Count) * 4);
        SL->Clear();
        for (std::uint32_t i = 0; i < Count; ++i)
            SL->Add(In.Str());
        break;
    }
    case pkNested: {
        TObject* V = IsPersistentObjectProp(P) ? P->GetObj(Obj) : nullptr;
        if (!V || Depth >= 4)
            Corrupt();
        ReadProps(In, V, Depth + 1, Present);
        return;
    }
    default: Corrupt();
    }
    if (Present && Depth > 0)
        Present->push_back(P);
}

void ReadProps(TIn& In, TObject* Obj, int Depth, std::vector<PPropInfo>* Present)
{
    const std::uint16_t Count = In.U16();
    In.Need(std::size_t(Count) * 2);
    for (std::uint16_t i = 0; i < Count; ++i)
        ReadProp(In, Obj, Depth, Present);
}

// Reads the next record, which must be of class Expected.
void ReadRecord(TIn& In, TPersistent* Rec)
{
    const String& Cls = Rec->ClassType()->Name;
    const std::uint16_t Len = In.U16();
    if (Len != Cls.size())
        Corrupt();
    const std::uint8_t* Name = In.Take(std::size_t(Len) * 2);
    if (std::memcmp(Name, Cls.data(), std::size_t(Len) * 2) != 0)
        Corrupt();
    if (In.U16() != 0)
        Corrupt();
    std::vector<PPropInfo>* Present = nullptr;
    if (auto* PropIO = dynamic_cast<TGridCellPropIO*>(Rec))
        Present = &PropIO->Present;
    ReadProps(In, Rec, 0, Present);
}

// The smallest cell record: its class name and two empty counts.
constexpr std::size_t MinCellRecordBytes = 2 + 2 * 11 + 2 + 2;

// The record that follows a graphic record of this kind; nullptr for kinds
// that carry no object.
std::unique_ptr<TPersistent> ObjectRecordFor(TCellType Kind)
{
    switch (Kind) {
    case ctBitmap:
    case ctBitButton:
    case ctInterface: return std::make_unique<TGridBMPIO>();
    case ctIcon: return std::make_unique<TGridIconIO>();
    case ctRadio:
    case ctImages: return std::make_unique<TGridSLIO>();
    case ctPicture: return std::make_unique<TGridPicIO>();
    case ctFilePicture: return std::make_unique<TGridFilePicIO>();
    default: return nullptr;
    }
}

bool KindCarriedOnlyWhenGiven(TCellType Kind)
{
    switch (Kind) {
    case ctBitmap:
    case ctIcon:
    case ctRadio:
    case ctImages:
    case ctPicture:
    case ctFilePicture:
    case ctBitButton: return true;
    default: return false;
    }
}

// Comments ride in a comment-only record (kind ctComment, the text and
// the colour in CellText and CellIndex) or, beside an object, in the
// record's CellText and CellAngle for the kinds that leave those free, and
// otherwise in a string list record of their own.
bool CommentInTextAndAngle(TCellType Kind) { return Kind == ctImageList || Kind == ctImages || Kind == ctPicture; }

std::vector<int> ParseIntList(const String& Text, std::size_t MaxCount)
{
    std::vector<int> r;
    if (Text.empty())
        return r;
    std::size_t Start = 0;
    while (true) {
        const std::size_t p = Text.find(u',', Start);
        int v;
        if (!ParseInt(StringView(Text).substr(Start, p == String::npos ? String::npos : p - Start), v) || v < 0
            || v > 1000000)
            Corrupt();
        r.push_back(v);
        if (r.size() > MaxCount)
            Corrupt();
        if (p == String::npos)
            break;
        Start = p + 1;
    }
    return r;
}

String JoinInts(const std::vector<int>& v)
{
    String r;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i)
            r += u',';
        r += IntToStr(v[i]);
    }
    return r;
}

int PixelsPerInch(TDedOzovedUrad& G) { return std::max(1, int(RoundHalfEven(96.0 * G.GetDPIScale()))); }

int FontHeightToPoints(int Height, int DPI) { return -int(RoundHalfEven(double(Height) * 72.0 / DPI)); }
int PointsToFontHeight(int Points, int DPI) { return -int(RoundHalfEven(double(Points) * DPI / 72.0)); }

} // namespace

// ---- grid text file ----

void TDedOzovedUrad::SaveToFile(const String& FileName, bool Unicode)
{
    const int Extra = FSaveHiddenCells ? NumHiddenColumns() : 0;
    const int C0 = GetSaveStartCol(), C1 = GetSaveEndCol() + Extra;
    const int R0 = GetSaveStartRow(), R1 = GetSaveEndRow();
    String Text = IntToStr(GetSaveColCount() + Extra) + u"," + IntToStr(GetSaveRowCount()) + u"\r\n";
    for (int c = C0; c <= C1; ++c)
        Text += u"cw " + IntToStr(c) + u"," + IntToStr(GetColWidths(c)) + u"\r\n";
    ExportNotification(esExportStart, R0);
    TProgress Progress { *this };
    for (int r = R0; r <= R1; ++r) {
        ExportNotification(esExportNextRow, r);
        for (int c = C0; c <= C1; ++c) {
            const String s = SaveCell(c, r);
            if (!s.empty())
                Text += IntToStr(c) + u"," + IntToStr(r) + u"," + EncodeCellText(s) + u"\r\n";
        }
        Progress(r - R0, GetSaveRowCount() - 1);
    }
    ExportNotification(esExportDone, -1);
    TEncoding* Enc = Unicode ? TEncoding::UTF8() : TEncoding::ANSI();
    TBytes Bytes = Unicode ? Enc->GetPreamble() : TBytes();
    const TBytes Body = Enc->GetBytes(Text);
    Bytes.insert(Bytes.end(), Body.begin(), Body.end());
    FILE* f = std::fopen(StringToUtf8(FileName).c_str(), "wb");
    if (!f)
        throw ERirEvozError(u"Cannot Create file " + FileName);
    const bool Ok = Bytes.empty() || std::fwrite(Bytes.data(), 1, Bytes.size(), f) == Bytes.size();
    if (std::fclose(f) != 0 || !Ok)
        throw EInOutError(u"The file \"" + FileName + u"\" could not be written completely");
}

void TDedOzovedUrad::LoadFromFile(const String& FileName)
{
    TBytes Bytes;
    {
        TFileStream File(FileName, fmOpenRead | fmShareDenyNone);
        if (File.GetSize() > 0)
            File.ReadBuffer(Bytes, File.GetSize());
    }
    TEncoding* Enc = nullptr;
    const int Preamble = TEncoding::GetBufferEncoding(Bytes, Enc);
    const std::vector<String> Lines
        = SplitTextLines(Enc->GetString(Bytes, std::size_t(Preamble), Bytes.size() - std::size_t(Preamble)));
    if (Lines.empty())
        Corrupt(FileName);
    int Cols = 0, Rows = 0;
    ParseCountLine(Lines[0], Cols, Rows, FileName);
    const int StartCol = (FSaveFixedCells || FSaveFixedCols) ? 0 : GetFixedCols();
    const int StartRow = (FSaveFixedCells || FSaveFixedRows) ? 0 : GetFixedRows();
    if (StartCol + Cols == 0 || StartRow + Rows == 0)
        Corrupt(FileName);
    const bool Multiline = FMultilinecells;
    BeginUpdate();
    try {
        SetColCount(StartCol + Cols);
        SetRowCount(StartRow + Rows);
        TProgress Progress { *this };
        for (std::size_t i = 1; i < Lines.size(); ++i) {
            const String& L = Lines[i];
            int a, b;
            StringView Text;
            if (L.starts_with(u"cw")) {
                if (ParseWidthLine(L, a, b) && a >= 0 && a < GetColCount())
                    SetColWidths(a, b);
                continue;
            }
            if (!ParseCellLine(L, a, b, Text))
                continue;
            if (a >= 0 && a < GetColCount() && b >= 0 && b < GetRowCount())
                DoLoadCell(a, b, DecodeCellText(Text, Multiline));
            Progress(std::clamp(b, 0, GetRowCount()), GetRowCount() - 1);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    CellsChanged(TRect(0, 0, GetColCount(), GetRowCount()));
    CalcFooter(-1);
}

// ---- grid text stream ----

void TDedOzovedUrad::WriteGridTextStream(TStream& Stream)
{
    const int C0 = GetSaveStartCol(), C1 = GetSaveEndCol();
    const int R0 = GetSaveStartRow(), R1 = GetSaveEndRow();
    String Text = IntToStr(GetSaveColCount()) + u"," + IntToStr(GetSaveRowCount()) + u"\r\n";
    for (int c = 0; c < GetColCount(); ++c)
        Text += u"cw " + IntToStr(c) + u"," + IntToStr(GetColWidths(c)) + u"\r\n";
    for (int r = R0; r <= R1; ++r)
        for (int c = C0; c <= C1; ++c) {
            const String s = SaveCell(c, r);
            if (!s.empty())
                Text += IntToStr(c - C0) + u"," + IntToStr(r - R0) + u"," + EncodeCellText(s) + u"\r\n";
        }
    if (!Text.empty())
        Stream.WriteBuffer(Text.data(), Int64(Text.size() * 2));
}

void TDedOzovedUrad::ReadGridTextStream(TStream& Stream)
{
    const Int64 Start = Stream.GetPosition();
    const Int64 Size = Stream.GetSize() - Start;
    if (Size < 2)
        return;
    String All(std::size_t(Size / 2), u'\0');
    Stream.ReadBuffer(All.data(), Int64(All.size() * 2));
    // Lines end with CR; the LF after it is skipped.
    std::size_t Pos = 0;
    auto NextLine = [&](StringView& Line) {
        if (Pos >= All.size())
            return false;
        std::size_t e = All.find(u'\r', Pos);
        if (e == String::npos)
            e = All.size();
        Line = StringView(All).substr(Pos, e - Pos);
        Pos = e + 1;
        if (Pos < All.size() && All[Pos] == u'\n')
            ++Pos;
        return true;
    };
    StringView Line;
    NextLine(Line);
    if (Line.empty()) {
        Stream.SetPosition(Start + Int64(Pos) * 2);
        return;
    }
    // The count line: numbers that are no integers are a conversion error
    // as everywhere; impossible counts are damage.
    const std::size_t Comma = Line.find(u',');
    const int Cols = StrToInt(String(Line.substr(0, Comma)));
    const int Rows = Comma == StringView::npos ? 0 : StrToInt(String(Line.substr(Comma + 1)));
    if (Cols < 0 || Rows < 0 || Cols > MaxStreamCols || Rows > MaxStreamRows || Int64(Cols) * Rows > MaxStreamCells)
        Corrupt();
    struct TCellLine {
        int Col, Row;
        StringView Text;
    };
    std::vector<std::pair<int, int>> Widths;
    std::vector<TCellLine> Cells;
    std::size_t StopAt = Pos;
    while (true) {
        const std::size_t LineStart = Pos;
        if (!NextLine(Line)) {
            StopAt = Pos;
            break;
        }
        int a, b;
        StringView Text;
        if (Line.starts_with(u"cw")) {
            if (ParseWidthLine(Line, a, b))
                Widths.emplace_back(a, b);
            continue;
        }
        if (!ParseCellLine(Line, a, b, Text)) {
            StopAt = LineStart;
            break;
        }
        Cells.push_back({ a, b, Text });
    }
    Stream.SetPosition(Start + Int64(StopAt) * 2);
    const int C0 = GetSaveStartCol(), R0 = GetSaveStartRow();
    const bool Multiline = FMultilinecells;
    BeginUpdate();
    try {
        SetColCount(Cols + C0);
        SetRowCount(Rows + R0);
        for (auto [i, w] : Widths)
            if (i >= 0 && i < GetColCount())
                SetColWidths(i, w);
        for (const TCellLine& L : Cells) {
            const int c = L.Col + C0, r = L.Row + R0;
            if (L.Col >= 0 && L.Row >= 0 && c < GetColCount() && r < GetRowCount())
                DoLoadCell(c, r, DecodeCellText(L.Text, Multiline));
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    CellsChanged(TRect(0, 0, GetColCount(), GetRowCount()));
    CalcFooter(-1);
}

void TGridDataViews::SaveToStream(TStream& Stream) { G.WriteGridTextStream(Stream); }
void TGridDataViews::LoadFromStream(TStream& Stream) { G.ReadGridTextStream(Stream); }
void TGridDataViews::SaveRectToBinStream(const TRect& Rect, TStream& Stream, bool SaveHidden)
{
    G.SaveRectToBinStream(Rect, Stream, SaveHidden);
}

// ---- binary cell stream ----

void TDedOzovedUrad::SaveRectToBinStream(const TRect& Rect, TStream& Stream, bool SaveHidden)
{
    const int Extra = SaveHidden ? NumHiddenColumns() : 0;
    // Only cells the grid has; an empty rectangle writes nothing.
    const int Left = std::max(0, Rect.Left), Top = std::max(0, Rect.Top);
    const int Right = std::min(Rect.Right + Extra, GetColCount() - 1 + NumHiddenColumns());
    const int Bottom = std::min(Rect.Bottom, GetRowCount() - 1);
    if (Right < Left || Bottom < Top)
        return;
    TOut O(Stream);
    {
        TGridPropIO P;
        P.SetColCount(Right - Left + 1);
        P.SetRowCount(Bottom - Top + 1);
        std::vector<int> W, H;
        for (int c = Left; c <= Right; ++c)
            W.push_back(GetColWidths(std::min(c, GetColCount() - 1)));
        for (int r = Top; r <= Bottom; ++r)
            H.push_back(GetRowHeights(r));
        P.SetColWidths(JoinInts(W));
        P.SetRowHeights(JoinInts(H));
        if (FSaveFixedCells)
            P.SetFullGrid(P.GetRowCount() == GetRowCount() && P.GetColCount() == GetColCount());
        else
            P.SetFullGrid(P.GetRowCount() == GetRowCount() - GetFixedRows()
                && P.GetColCount() == GetColCount() - GetFixedCols());
        P.SetID(CellStreamID());
        WriteRecord(O, &P);
    }
    const bool Several = Bottom > Top;
    if (Several)
        ExportNotification(esExportStart, Top);
    const int DPI = PixelsPerInch(*this);
    TProgress Progress { *this };
    TGridCellIO CellIO;
    for (int r = Top; r <= Bottom; ++r) {
        if (Several)
            ExportNotification(esExportNextRow, r);
        for (int c = Left; c <= Right; ++c) {
            const int RC = SaveHidden ? c : DisplayToRealCol(TDisplayCol(c)).Value;
            CellIO.SetCol(c);
            CellIO.SetRow(r);
            CellIO.SetCell(NumberToInvariantText(SaveCell(RC, r)));
            const bool HasProp = HasCellProperties(RC, r);
            CellIO.SetHasProp(HasProp);
            WriteRecord(O, &CellIO);
            if (!HasProp)
                continue;
            TCellProperties* Src = GetCellProperties(RC, r);
            TCellGraphic* Gr = SlotCellGraphic(RC, r);
            TGridCellPropIO PropIO;
            PropIO.GetCellProperties()->Assign(Src);
            PropIO.GetCellProperties()->SetBrushColorTo(Src->GetBrushColorTo());
            PropIO.GetCellProperties()->SetGradientDirection(Src->GetGradientDirection());
            PropIO.GetCellProperties()->SetCellObject(nullptr);
            PropIO.GetCellProperties()->SetFontSize(FontHeightToPoints(Src->GetFontSize(), DPI));
            bool HasGraphic = false;
            if (Gr) {
                const TCellType Kind = Gr->GetCellType();
                HasGraphic = Kind != ctEmpty && !(KindCarriedOnlyWhenGiven(Kind) && Gr->GetCellCreated());
                if (Kind == ctNone && Gr->GetCellComment().empty())
                    HasGraphic = false;
            }
            PropIO.SetHasGraphic(HasGraphic);
            WriteRecord(O, &PropIO);
            if (!HasGraphic)
                continue;
            TGridGraphicIO GrIO;
            TBaseCellGraphic* Rec = GrIO.GetCellGraphic();
            Rec->Assign(Gr);
            const TCellType Kind = Gr->GetCellType();
            const bool HasComment = !Gr->GetCellComment().empty();
            std::unique_ptr<TGridSLIO> CommentIO;
            if (HasComment) {
                if (Kind == ctNone) {
                    Rec->SetCellType(ctComment);
                    Rec->SetCellText(Gr->GetCellComment());
                    Rec->SetCellIndex(int(Gr->GetCommentColor()));
                } else if (CommentInTextAndAngle(Kind)) {
                    Rec->SetCellText(Gr->GetCellComment());
                    Rec->SetCellAngle(int(Gr->GetCommentColor()));
                } else {
                    // The kind keeps its text and index for itself.
                    CommentIO = std::make_unique<TGridSLIO>();
                    CommentIO->GetStrings()->Add(Gr->GetCellComment());
                    CommentIO->GetStrings()->Add(IntToStr(int(Gr->GetCommentColor())));
                    GrIO.SetHasComment(true);
                }
            }
            WriteRecord(O, &GrIO);
            switch (Kind) {
            case ctBitmap:
            case ctBitButton: {
                TGridBMPIO B;
                if (TBitmap* Bmp = Gr->GetCellBitmap())
                    B.GetBitmap()->Assign(Bmp);
                WriteRecord(O, &B);
                break;
            }
            case ctInterface: {
                // The object draws itself into a bitmap of its own size
                // (the cell's where it reports none).
                TGridBMPIO B;
                if (IGridCellObject* I = Gr->GetCellInterface()) {
                    const TRect CR = CellRect(c, r);
                    const int W = I->GetWidth() > 0 ? I->GetWidth() : CR.Width();
                    const int H = I->GetHeight() > 0 ? I->GetHeight() : CR.Height();
                    if (W > 0 && H > 0) {
                        B.GetBitmap()->SetSize(W, H);
                        I->Draw(B.GetBitmap()->GetCanvas(), TRect(0, 0, W, H), RC, r, false, this);
                    }
                }
                WriteRecord(O, &B);
                break;
            }
            case ctIcon: {
                TGridIconIO I;
                if (TIcon* Icon = Gr->GetCellIcon())
                    I.GetIcon()->Assign(Icon);
                WriteRecord(O, &I);
                break;
            }
            case ctRadio: {
                TGridSLIO S;
                if (TStrings* Items = Gr->GetCellRadioItems())
                    S.GetStrings()->Assign(Items);
                WriteRecord(O, &S);
                break;
            }
            case ctImages: {
                TGridSLIO S;
                if (TIntList* L = Gr->GetCellImages())
                    S.GetStrings()->Add(L->GetStrValue());
                WriteRecord(O, &S);
                break;
            }
            case ctPicture: {
                TGridPicIO P;
                if (TPicture* Pic = Gr->GetCellPicture())
                    P.GetPicture()->Assign(Pic);
                WriteRecord(O, &P);
                break;
            }
            case ctFilePicture: {
                TGridFilePicIO P;
                if (TFilePicture* FP = Gr->GetCellFilePicture())
                    P.GetPicture()->Assign(FP);
                WriteRecord(O, &P);
                break;
            }
            default: break;
            }
            if (CommentIO)
                WriteRecord(O, CommentIO.get());
        }
        if (O.Size() > (1 << 16))
            O.Flush();
        Progress(r - Top, Bottom - Top);
    }
    O.Flush();
    if (Several)
        ExportNotification(esExportDone, -1);
}

void TDedOzovedUrad::SaveToBinStream(TStream& Stream)
{
    SaveRectToBinStream(TRect(GetSaveStartCol(), GetSaveStartRow(), GetSaveEndCol(), GetSaveEndRow()), Stream,
        FSaveHiddenCells);
}

void TDedOzovedUrad::SaveToBinFile(const String& FileName)
{
    TMemoryStream M;
    SaveToBinStream(M);
    M.SaveToFile(FileName);
}

std::int64_t TDedOzovedUrad::CellStreamID()
{
    // The window handle when there is one; else the grid's own address,
    // which is as unique in the process.
    return HandleAllocated() ? std::int64_t(reinterpret_cast<std::intptr_t>(GetHandle()))
                             : std::int64_t(reinterpret_cast<std::intptr_t>(this));
}

namespace {

struct TParsedCell {
    int Col { 0 };
    int Row { 0 };
    String Text;
    std::unique_ptr<TGridCellPropIO> Prop;
    std::unique_ptr<TGridGraphicIO> Graphic;
    std::unique_ptr<TPersistent> Object;
    std::unique_ptr<TGridSLIO> Comment;
};

} // namespace

struct TParsedCellStream {
    TGridPropIO Head;
    std::vector<int> ColWidths;
    std::vector<int> RowHeights;
    std::vector<TParsedCell> Cells;
    // The first cell's place in the grid that wrote the stream; cells are
    // kept relative to it.
    int OriginX { 0 };
    int OriginY { 0 };
};

namespace {

// Reads and checks the whole stream; raises before anything is applied.
void ParseBinStream(TStream& Stream, TParsedCellStream& Out)
{
    const Int64 Left = Stream.GetSize() - Stream.GetPosition();
    std::vector<std::uint8_t> Bytes(std::size_t(std::max<Int64>(0, Left)));
    if (!Bytes.empty())
        Stream.ReadBuffer(Bytes.data(), Int64(Bytes.size()));
    TIn In(Bytes.data(), Bytes.size());
    ReadRecord(In, &Out.Head);
    const int Cols = Out.Head.GetColCount(), Rows = Out.Head.GetRowCount();
    if (Cols < 1 || Rows < 1 || Cols > MaxStreamCols || Rows > MaxStreamRows)
        Corrupt();
    const Int64 CellCount = Int64(Cols) * Rows;
    if (CellCount > MaxStreamCells || CellCount > Int64(In.Left() / MinCellRecordBytes) + 1)
        Corrupt();
    Out.ColWidths = ParseIntList(Out.Head.GetColWidths(), std::size_t(Cols));
    Out.RowHeights = ParseIntList(Out.Head.GetRowHeights(), std::size_t(Rows));
    Out.Cells.reserve(std::size_t(CellCount));
    TGridCellIO CellIO;
    int OriginX = 0, OriginY = 0;
    while (In.Left() >= 2) {
        CellIO.Reset();
        ReadRecord(In, &CellIO);
        if (CellIO.GetCol() < 0 || CellIO.GetRow() < 0 || Int64(Out.Cells.size()) >= CellCount)
            Corrupt();
        if (Out.Cells.empty()) {
            OriginX = Out.OriginX = CellIO.GetCol();
            OriginY = Out.OriginY = CellIO.GetRow();
        }
        const Int64 dx = Int64(CellIO.GetCol()) - OriginX, dy = Int64(CellIO.GetRow()) - OriginY;
        if (dx < 0 || dy < 0 || dx >= Cols || dy >= Rows)
            Corrupt();
        TParsedCell C;
        C.Col = int(dx);
        C.Row = int(dy);
        C.Text = CellIO.GetCell();
        if (CellIO.GetHasProp()) {
            C.Prop = std::make_unique<TGridCellPropIO>();
            ReadRecord(In, C.Prop.get());
            if (C.Prop->GetHasGraphic()) {
                C.Graphic = std::make_unique<TGridGraphicIO>();
                ReadRecord(In, C.Graphic.get());
                TBaseCellGraphic* Rec = C.Graphic->GetCellGraphic();
                if (auto Obj = ObjectRecordFor(Rec->GetCellType())) {
                    ReadRecord(In, Obj.get());
                    C.Object = std::move(Obj);
                }
                if (C.Graphic->GetHasComment()) {
                    // A comment beside an object that keeps its text.
                    C.Comment = std::make_unique<TGridSLIO>();
                    ReadRecord(In, C.Comment.get());
                    if (C.Comment->GetStrings()->GetCount() != 2)
                        Corrupt();
                    int Color;
                    if (!ParseInt(C.Comment->GetStrings()->GetStrings(1), Color))
                        Corrupt();
                }
            }
        }
        Out.Cells.push_back(std::move(C));
    }
    // The writer writes every cell of its rectangle: fewer is a stream cut
    // short at a record's end.
    if (Int64(Out.Cells.size()) != CellCount)
        Corrupt();
}

} // namespace

bool ReadCellStreamHead(TStream& Stream, int& RowCount, int& ColCount, String& RowHeights)
{
    TParsedCellStream S;
    try {
        ParseBinStream(Stream, S);
    } catch (const ERirEvozError&) {
        return false;
    }
    RowCount = S.Head.GetRowCount();
    ColCount = S.Head.GetColCount();
    RowHeights.clear();
    for (std::size_t i = 0; i < S.RowHeights.size(); ++i) {
        if (i > 0)
            RowHeights += u',';
        RowHeights += IntToStr(S.RowHeights[i]);
    }
    return true;
}

void TDedOzovedUrad::LoadAtPointFromBinStream(TPoint Point, TStream& Stream)
{
    TParsedCellStream S;
    ParseBinStream(Stream, S);
    PlaceStreamCells(Point, S, false);
}

int TDedOzovedUrad::PasteCellStream(int ACol, int ARow, TStream& Stream, int& Cols, int& Rows)
{
    TParsedCellStream S;
    ParseBinStream(Stream, S);
    Cols = S.Head.GetColCount();
    Rows = S.Head.GetRowCount();
    // Only the place matters here: a pasted full grid lands at the cell
    // like any rectangle.
    S.Head.SetFullGrid(false);
    if (FNavigation->GetAllowClipboardColGrow() && ACol + Cols >= GetColCount())
        SetColCount(ACol + Cols);
    if (FNavigation->GetAllowClipboardRowGrow() && ARow + Rows >= GetRowCount())
        SetRowCount(ARow + Rows);
    if (FNavigation->GetClipboardPasteAction() == paInsert)
        InsertRows(ARow, Rows);
    PlaceStreamCells(TPoint(ACol, ARow), S, !FNavigation->GetAllowClipboardAlways());
    const TPoint From = S.Head.GetID() == CellStreamID() ? FClipTopLeft : TPoint(-1, -1);
    NotifyCellsPasted(From, TRect(ACol, ARow, ACol + Cols - 1, ARow + Rows - 1), FClipLastOp);
    return Cols * Rows;
}

void TDedOzovedUrad::PlaceStreamCells(TPoint Point, TParsedCellStream& S, bool KeepReadOnly)
{
    const bool Full = S.Head.GetFullGrid();
    BeginUpdate();
    try {
        if (Full) {
            // The whole grid: its size, and every cell at its own place
            // (fixed lines that were not saved stay where they are).
            Clear();
            SetRowCount(S.OriginY + S.Head.GetRowCount());
            SetColCount(S.OriginX + S.Head.GetColCount());
            for (std::size_t i = 0; i < S.ColWidths.size(); ++i)
                if (const int c = S.OriginX + int(i); c < GetColCount())
                    SetColWidths(c, S.ColWidths[i]);
            for (std::size_t i = 0; i < S.RowHeights.size(); ++i)
                if (const int r = S.OriginY + int(i); r < GetRowCount())
                    SetRowHeights(r, S.RowHeights[i]);
            Point.X += S.OriginX;
            Point.Y += S.OriginY;
        }
        const int DPI = PixelsPerInch(*this);
        const int ColLimit = GetColCount() + (FSaveHiddenCells ? NumHiddenColumns() : 0);
        TProgress Progress { *this };
        int LastRow = -1;
        for (TParsedCell& C : S.Cells) {
            const Int64 tc = Int64(Point.X) + C.Col, tr = Int64(Point.Y) + C.Row;
            if (tc < 0 || tr < 0 || tc >= ColLimit || tr >= GetRowCount())
                continue;
            const int c = int(tc), r = int(tr);
            if (KeepReadOnly && !IsEditable(DisplayToRealCol(TDisplayCol(c)).Value, r))
                continue;
            DoLoadCell(c, r, InvariantToLocalNumberText(C.Text));
            if (r != LastRow) {
                LastRow = r;
                Progress(r, GetRowCount());
            }
            if (!C.Prop)
                continue;
            TCellProperties* Src = C.Prop->GetCellProperties();
            TCellProperties* Dst = GetCellProperties(c, r);
            for (PPropInfo P : C.Prop->Present) {
                if (P->Name == u"FontSize")
                    Dst->SetFontSize(PointsToFontHeight(Src->GetFontSize(), DPI));
                else if (P->GetOrd && P->SetOrd)
                    P->SetOrd(Dst, P->GetOrd(Src));
                else if (P->GetFloat && P->SetFloat)
                    P->SetFloat(Dst, P->GetFloat(Src));
                else if (P->GetStr && P->SetStr)
                    P->SetStr(Dst, P->GetStr(Src));
            }
            if (!C.Graphic)
                continue;
            TBaseCellGraphic* Rec = C.Graphic->GetCellGraphic();
            const TCellType Kind = Rec->GetCellType();
            TCellGraphic* Gr = nullptr;
            // The cell gets its own copy of each object.
            switch (Kind) {
            case ctBitmap: {
                TBitmap* Bmp = CreateBitmap(c, r, Rec->GetCellTransparent(), Rec->GetCellHAlign(), Rec->GetCellVAlign());
                Bmp->Assign(static_cast<TGridBMPIO*>(C.Object.get())->GetBitmap());
                Gr = SlotCellGraphic(c, r);
                break;
            }
            case ctBitButton: {
                TBitmap* Glyph = CreateBitButton(c, r, 0, 0, String(), Rec->GetCellHAlign(), Rec->GetCellVAlign());
                Glyph->Assign(static_cast<TGridBMPIO*>(C.Object.get())->GetBitmap());
                Gr = SlotCellGraphic(c, r);
                break;
            }
            case ctInterface: {
                // What the other grid's object drew comes as a picture.
                TBitmap* Bmp = CreateBitmap(c, r, Rec->GetCellTransparent(), Rec->GetCellHAlign(), Rec->GetCellVAlign());
                Bmp->Assign(static_cast<TGridBMPIO*>(C.Object.get())->GetBitmap());
                Gr = SlotCellGraphic(c, r);
                Rec->SetCellType(ctBitmap);
                break;
            }
            case ctIcon: {
                TIcon* Icon = CreateIcon(c, r, Rec->GetCellHAlign(), Rec->GetCellVAlign());
                Icon->Assign(static_cast<TGridIconIO*>(C.Object.get())->GetIcon());
                Gr = SlotCellGraphic(c, r);
                break;
            }
            case ctRadio: {
                TStrings* Items = CreateRadio(c, r, Rec->GetCellBoolean() ? 1 : 0, Rec->GetCellIndex());
                Items->Assign(static_cast<TGridSLIO*>(C.Object.get())->GetStrings());
                Gr = SlotCellGraphic(c, r);
                break;
            }
            case ctImages: {
                Gr = CreateCellGraphic(c, r);
                Gr->SetMultiImage(c, r, Rec->GetCellBoolean() ? 1 : 0, Rec->GetCellHAlign(), Rec->GetCellVAlign(),
                    [this](TObject*, int ic, int ir) {
                        if (!IsDestroying())
                            RepaintCell(DisplColIndex(TRealCol(ic)).Value, ir);
                    });
                TStringList* SL = static_cast<TGridSLIO*>(C.Object.get())->GetStrings();
                if (SL->GetCount() > 0) {
                    try {
                        Gr->GetCellImages()->SetStrValue(SL->GetStrings(0));
                    } catch (const Exception&) {
                    }
                }
                break;
            }
            case ctPicture: {
                TPicture* Pic = CreatePicture(c, r, Rec->GetCellTransparent(), TStretchMode(0), 0,
                    Rec->GetCellHAlign(), Rec->GetCellVAlign());
                Pic->Assign(static_cast<TGridPicIO*>(C.Object.get())->GetPicture());
                Gr = SlotCellGraphic(c, r);
                break;
            }
            case ctFilePicture: {
                TFilePicture* FP = CreateFilePicture(c, r, Rec->GetCellTransparent(), TStretchMode(0), 0,
                    Rec->GetCellHAlign(), Rec->GetCellVAlign());
                FP->Assign(static_cast<TGridFilePicIO*>(C.Object.get())->GetPicture());
                Gr = SlotCellGraphic(c, r);
                break;
            }
            default: Gr = CreateCellGraphic(c, r); break;
            }
            if (!Gr)
                continue;
            Gr->Assign(Rec);
            if (Kind == ctComment) {
                Gr->SetCellType(ctNone);
                Gr->SetCellComment(Rec->GetCellText());
                Gr->SetCommentColor(TColor(Rec->GetCellIndex()));
                Gr->SetCellText(String());
            } else if (CommentInTextAndAngle(Kind)) {
                Gr->SetCellComment(Rec->GetCellText());
                Gr->SetCommentColor(TColor(Rec->GetCellAngle()));
            } else if (C.Comment) {
                int Color = 0;
                ParseInt(C.Comment->GetStrings()->GetStrings(1), Color);
                Gr->SetCellComment(C.Comment->GetStrings()->GetStrings(0));
                Gr->SetCommentColor(TColor(Color));
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TDedOzovedUrad::LoadFromBinStream(TStream& Stream)
{
    LoadAtPointFromBinStream(TPoint(0, 0), Stream);
    // Nodes that came with the cells.
    if (auto* V = TGridDataViews::Of(*this))
        V->CountNodes();
}

void TGridDataViews::CountNodes()
{
    const int NodeCol = G.GetCellNode()->GetNodeColumn();
    int Count = 0;
    for (int r = G.GetFixedRows(); r < G.GetRowCount(); ++r)
        if (const TCellGraphic* Gr = G.SlotCellGraphic(NodeCol, r); Gr && Gr->GetCellType() == ctNode)
            ++Count;
    FNumNodes = Count;
    if (Count > 0)
        G.RepaintCol(0);
}

void TDedOzovedUrad::LoadFromBinFile(const String& FileName)
{
    TMemoryStream M;
    M.LoadFromFile(FileName);
    M.SetPosition(0);
    LoadFromBinStream(M);
    CalcFooter(-1);
}
