// The grid as a table in a Word document ("word.application") and the
// result of a query on a database file read into the cells ("ADODB.Connection"
// and "ADODB.RecordSet"). The Word road shows the hourglass and gives the
// server back on every path: a Word started here quits and the cursor comes
// back, whatever the export ends with.

#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/automation/ComObj.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace {

const String WordProgID = u"word.application";
constexpr int wdGoToLine = 3;
constexpr int wdGoToBookmark = -1;
constexpr int wdGoToLast = -1;
constexpr int wdAlignParagraphCenter = 1;
constexpr int wdAlignParagraphRight = 2;

class THourGlass {
public:
    THourGlass() : FOld(Screen->GetCursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(FOld); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor FOld;
};

// Word for one export: a running instance when there is one, else one
// started here, which quits however the export ends.
class TWordSession {
public:
    TWordSession()
    {
        try {
            App = GetActiveOleObject(WordProgID);
            return;
        } catch (const Exception&) {
        }
        try {
            App = CreateOleObject(WordProgID);
        } catch (const Exception&) {
            throw ERirEvozError(u"Word OLE server not found");
        }
        FStarted = true;
    }
    ~TWordSession()
    {
        if (FStarted)
            try {
                DispCall(App, u"Quit");
            } catch (...) {
                // The export's own outcome is what the caller hears about.
            }
    }
    TWordSession(const TWordSession&) = delete;
    TWordSession& operator=(const TWordSession&) = delete;

    Variant App;

private:
    bool FStarted { false };
};

// The record set and its connection, closed on every path.
struct TADOSession {
    Variant Connection, RecordSet;
    ~TADOSession()
    {
        for (const Variant* v : { &RecordSet, &Connection })
            if (!v->IsEmpty())
                try {
                    DispCall(*v, u"Close");
                } catch (...) {
                }
    }
};

} // namespace

void TDedOzovedUrad::SaveToDOC(const String& FileName, bool CreateNewDocument)
{
    WriteDOC(FileName, String(), false, CreateNewDocument);
}

void TDedOzovedUrad::AppendToDoc(const String& FileName, const String& Bookmark)
{
    WriteDOC(FileName, Bookmark, true, false);
}

void TDedOzovedUrad::WriteDOC(const String& FileName, const String& Bookmark, bool Append, bool CreateNewDocument)
{
    THourGlass Busy;
    TWordSession Word;
    const Variant Documents = DispGet(Word.App, u"Documents");
    Variant Doc;
    if (Append)
        Doc = DispCall(Documents, u"Open", { FileName });
    else if (CreateNewDocument || DispGet(Documents, u"Count").AsInteger() == 0)
        Doc = DispCall(Documents, u"Add");
    else
        Doc = DispGet(Word.App, u"ActiveDocument");
    DispPut(Doc, u"ShowSpellingErrors", false);
    const Variant Selection = DispGet(Word.App, u"Selection");
    DispCall(Selection, u"TypeText", { GetText() });
    DispCall(Selection, u"TypeParagraph");

    Variant Range;
    if (Append && DispCall(DispGet(Doc, u"Bookmarks"), u"Exists", { Bookmark }).AsBoolean()) {
        Range = DispCall(Doc, u"GoTo", { wdGoToBookmark, Bookmark });
    } else if (Append) {
        DispCall(DispGet(Doc, u"Paragraphs"), u"Add");
        DispCall(Selection, u"GoTo", { wdGoToLine, wdGoToLast });
        const Variant End = DispGet(Selection, u"End");
        Range = DispCall(Doc, u"Range", { End, End });
    } else {
        Range = DispCall(Doc, u"Range", { 0, 0 });
    }
    const Variant Table = DispCall(DispGet(Doc, u"Tables"), u"Add", { Range, GetRowCount(), GetColCount() });

    ExportNotification(esExportStart, 0);
    for (int r = 0; r < GetRowCount(); ++r) {
        ExportNotification(esExportNextRow, r);
        for (int c = 0; c < GetColCount(); ++c) {
            const int Real = DisplayToRealCol(TDisplayCol(c)).Value;
            const Variant CellRange = DispGet(DispCall(Table, u"Cell", { r + 1, c + 1 }), u"Range");
            DispCall(CellRange, u"InsertAfter", { SaveCell(Real, r) });
            const int Alignment = ResolveCellAlignment(Real, r) & 0xFF;
            if (Alignment == taRightJustify)
                DispPut(DispGet(CellRange, u"ParagraphFormat"), u"Alignment", wdAlignParagraphRight);
            else if (Alignment == taCenter)
                DispPut(DispGet(CellRange, u"ParagraphFormat"), u"Alignment", wdAlignParagraphCenter);
        }
    }
    ExportNotification(esExportDone, -1);
    DispCall(Doc, u"SaveAs", { FileName });
}

void TDedOzovedUrad::LoadFromMDBTable(const String& FileName, const String& Table)
{
    LoadFromMDBSQL(FileName, u"SELECT * FROM " + Table);
}

void TDedOzovedUrad::LoadFromMDBSQL(const String& FileName, const String& SQL)
{
    TADOSession Session;
    Session.Connection = CreateOleObject(u"ADODB.Connection");
    DispCall(Session.Connection, u"Open", { u"Driver={Microsoft Access Driver (*.mdb)};DBQ=" + FileName });
    Session.RecordSet = CreateOleObject(u"ADODB.RecordSet");
    DispPut(Session.RecordSet, u"ActiveConnection", Session.Connection);
    DispCall(Session.RecordSet, u"Open", { SQL });

    const Variant Fields = DispGet(Session.RecordSet, u"Fields");
    const int n = DispGet(Fields, u"Count").AsInteger();
    // A field object shows the current record's value, so one per field
    // serves every record.
    std::vector<Variant> FieldList;
    for (int i = 0; i < n; ++i)
        FieldList.push_back(DispGet(Fields, u"", { i }));
    const int FirstCol = GetFixedCols();
    SetColCount(FirstCol + n);
    if (GetFixedRows() > 0)
        for (int i = 0; i < n; ++i)
            SetCellEx(FirstCol + i, GetFixedRows() - 1, DispGet(FieldList[std::size_t(i)], u"Name").AsString());
    const int Count = DispGet(Session.RecordSet, u"RecordCount").AsInteger();
    if (Count > 0)
        SetRowCount(GetFixedRows() + Count);
    int Row = GetFixedRows();
    while (!DispGet(Session.RecordSet, u"Eof").AsBoolean()) {
        // The grid grows before a record lands, never after.
        if (GetRowCount() <= Row)
            SetRowCount(Row + 1);
        for (int i = 0; i < n; ++i) {
            const Variant& Field = FieldList[std::size_t(i)];
            const String Text
                = DispGet(Field, u"ActualSize").AsInteger() > 0 ? VarToStr(DispGet(Field, u"Value")) : String();
            DoLoadCell(FirstCol + i, Row, Text);
        }
        DispCall(Session.RecordSet, u"MoveNext");
        ++Row;
    }
}
