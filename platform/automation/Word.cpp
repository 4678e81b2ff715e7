// The "word.application" automation server: application, documents,
// document, selection, paragraphs, bookmarks, tables, table cells, ranges
// and paragraph formats over the document model. Each object holds the
// shared state it stands for.

#include <algorithm>

#include "platform/automation/WordDocx.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int wdGoToLine = 3;
constexpr int wdGoToBookmark = -1;
constexpr int wdGoToLast = -1;

struct TWordState {
    std::vector<std::shared_ptr<TWordDocument>> Docs;
    std::shared_ptr<TWordDocument> Active;
};
using PState = std::shared_ptr<TWordState>;
using PDoc = std::shared_ptr<TWordDocument>;
using PTable = std::shared_ptr<TWordTable>;

void RequireOpen(const TWordDocument& doc)
{
    if (doc.Closed)
        throw EOleError(u"The document has been closed");
}

class TWordObject : public TAutoDispatch {
protected:
    String SourceName() const override { return u"Microsoft Word"; }
};

// The alignment of a cell's paragraphs.
class TWordParagraphFormat : public TWordObject {
public:
    TWordParagraphFormat(PDoc doc, PTable table, int row, int col)
        : FDoc(std::move(doc)), FTable(std::move(table)), FRow(row), FCol(col) { }

protected:
    enum { idAlignment = 1 };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Alignment" };
        return names;
    }
    Variant DoInvoke(DISPID, WORD, std::span<const Variant>, const Variant* value) override
    {
        RequireOpen(*FDoc);
        TWordCell& cell = FTable->Rows[std::size_t(FRow)][std::size_t(FCol)];
        if (!value)
            return Variant(cell.Align);
        if (FTable->ReadOnly)
            throw EOleError(u"Tables of an opened document cannot be changed");
        const int a = value->AsInteger();
        if (a < 0 || a > 3)
            throw EOleError(u"The alignment " + IntToStr(a) + u" is out of range");
        cell.Align = a == 3 ? 0 : a;  // justified text shows as left-aligned
        return {};
    }

private:
    PDoc FDoc;
    PTable FTable;
    int FRow, FCol;
};

// A range of the document (Start, End), or the range of a table cell.
class TWordRange : public TWordObject {
public:
    TWordRange(PDoc doc, int start, int end) : FDoc(std::move(doc)), FStart(start), FEnd(end) { }
    TWordRange(PDoc doc, PTable table, int row, int col)
        : FDoc(std::move(doc)), FTable(std::move(table)), FRow(row), FCol(col) { }

    const PDoc& Document() const { return FDoc; }
    int Start() const { return FStart; }

protected:
    enum { idStart = 1, idEnd, idText, idInsertAfter, idParagraphFormat };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Start", u"End", u"Text", u"InsertAfter", u"ParagraphFormat" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        RequireOpen(*FDoc);
        if (value)
            throw EOleError(u"This property of a range cannot be set");
        switch (id) {
        case idStart: return Variant(FStart);
        case idEnd: return Variant(FEnd);
        case idText: return FTable ? Variant(Cell().Text) : Variant(String());
        case idInsertAfter:
            RequireArgs(args, 1);
            if (!FTable)
                throw EOleError(u"Text can only be inserted into a table cell's range");
            if (FTable->ReadOnly)
                throw EOleError(u"Tables of an opened document cannot be changed");
            Cell().Text += args[0].AsString();
            return {};
        case idParagraphFormat:
            if (!FTable)
                throw EOleError(u"Only a table cell's range has a paragraph format here");
            return MakeDispatch<TWordParagraphFormat>(FDoc, FTable, FRow, FCol);
        }
        return {};
    }

private:
    TWordCell& Cell() { return FTable->Rows[std::size_t(FRow)][std::size_t(FCol)]; }

    PDoc FDoc;
    int FStart { 0 }, FEnd { 0 };
    PTable FTable;
    int FRow { 0 }, FCol { 0 };
};

class TWordCellObject : public TWordObject {
public:
    TWordCellObject(PDoc doc, PTable table, int row, int col)
        : FDoc(std::move(doc)), FTable(std::move(table)), FRow(row), FCol(col) { }

protected:
    enum { idRange = 1 };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Range" };
        return names;
    }
    Variant DoInvoke(DISPID, WORD, std::span<const Variant>, const Variant*) override
    {
        RequireOpen(*FDoc);
        return MakeDispatch<TWordRange>(FDoc, FTable, FRow, FCol);
    }

private:
    PDoc FDoc;
    PTable FTable;
    int FRow, FCol;
};

class TWordTableObject : public TWordObject {
public:
    TWordTableObject(PDoc doc, PTable table) : FDoc(std::move(doc)), FTable(std::move(table)) { }

protected:
    enum { idCell = 1, idRowCount, idColumnCount };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Cell", u"RowCount", u"ColumnCount" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        RequireOpen(*FDoc);
        if (id == idRowCount)
            return Variant(int(FTable->Rows.size()));
        if (id == idColumnCount)
            return Variant(FTable->ColCount());
        RequireArgs(args, 2);
        const int r = args[0].AsInteger(), c = args[1].AsInteger();
        if (r < 1 || r > int(FTable->Rows.size()) || c < 1 || c > int(FTable->Rows[std::size_t(r - 1)].size()))
            throw EOleError(u"The requested member of the collection does not exist (cell " + IntToStr(r) + u", "
                + IntToStr(c) + u")");
        return MakeDispatch<TWordCellObject>(FDoc, FTable, r - 1, c - 1);
    }

private:
    PDoc FDoc;
    PTable FTable;
};

class TWordTables : public TWordObject {
public:
    explicit TWordTables(PDoc doc) : FDoc(std::move(doc)) { }

protected:
    enum { idCount = 1, idItem, idAdd };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Count", u"Item", u"Add" };
        return names;
    }
    DISPID DefaultMember() const override { return idItem; }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        RequireOpen(*FDoc);
        const auto tables = FDoc->Tables();
        switch (id) {
        case idCount: return Variant(int(tables.size()));
        case idItem: {
            RequireArgs(args, 1);
            const int i = args[0].AsInteger();
            if (i < 1 || i > int(tables.size()))
                throw EOleError(u"The requested member of the collection does not exist");
            return MakeDispatch<TWordTableObject>(FDoc, tables[std::size_t(i - 1)]);
        }
        case idAdd: {
            RequireArgs(args, 3);
            auto* range = dynamic_cast<TWordRange*>(VarToDispatch(args[0]));
            if (!range || range->Document() != FDoc)
                throw EOleError(u"Tables.Add needs a range of this document");
            return MakeDispatch<TWordTableObject>(FDoc, FDoc->AddTable(range->Start(), args[1].AsInteger(), args[2].AsInteger()));
        }
        }
        return {};
    }

private:
    PDoc FDoc;
};

class TWordParagraphs : public TWordObject {
public:
    explicit TWordParagraphs(PDoc doc) : FDoc(std::move(doc)) { }

protected:
    enum { idCount = 1, idAdd };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Count", u"Add" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant*) override
    {
        RequireOpen(*FDoc);
        if (id == idCount)
            return Variant(FDoc->ParagraphCount());
        FDoc->AddParagraph();
        const int start = FDoc->StartOf(FDoc->Blocks.size() - 1);
        return MakeDispatch<TWordRange>(FDoc, start, start);
    }

private:
    PDoc FDoc;
};

class TWordBookmarks : public TWordObject {
public:
    explicit TWordBookmarks(PDoc doc) : FDoc(std::move(doc)) { }

protected:
    enum { idCount = 1, idExists };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Count", u"Exists" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        RequireOpen(*FDoc);
        if (id == idCount)
            return Variant(int(FDoc->Bookmarks.size()));
        RequireArgs(args, 1);
        return Variant(FDoc->Bookmarks.count(AnsiUpperCase(args[0].AsString())) > 0);
    }

private:
    PDoc FDoc;
};

// GoTo(What, Which, Count, Name) with lines and bookmarks: the position.
int GoToPosition(const TWordDocument& doc, std::span<const Variant> args)
{
    RequireArgs(args, 1);
    const int what = args[0].AsInteger();
    if (what == wdGoToBookmark) {
        String name;
        for (std::size_t i = 1; i < args.size(); ++i)
            if (VarIsStr(args[i]))
                name = args[i].AsString();
        auto it = doc.Bookmarks.find(AnsiUpperCase(name));
        if (it == doc.Bookmarks.end())
            throw EOleError(u"The bookmark \"" + name + u"\" does not exist");
        for (std::size_t b = 0; b < doc.Blocks.size(); ++b)
            if (doc.Blocks[b].Id == it->second.BlockId)
                return doc.StartOf(b) + it->second.Offset;
        return doc.Total();
    }
    if (what == wdGoToLine) {
        const int which = args.size() >= 2 && !args[1].IsEmpty() ? args[1].AsInteger() : 1;
        const int count = args.size() >= 3 && !args[2].IsEmpty() ? args[2].AsInteger() : 1;
        return doc.LineStart(which == wdGoToLast ? -1 : count);
    }
    throw EOleError(u"GoTo: only lines (3) and bookmarks (-1) can be gone to");
}

class TWordSelection : public TWordObject {
public:
    explicit TWordSelection(PDoc doc) : FDoc(std::move(doc)) { }

protected:
    enum { idTypeText = 1, idTypeParagraph, idGoto, idStart, idEnd };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"TypeText", u"TypeParagraph", u"GoTo", u"Start", u"End" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        RequireOpen(*FDoc);
        switch (id) {
        case idTypeText: RequireArgs(args, 1); FDoc->TypeText(args[0].AsString()); return {};
        case idTypeParagraph: FDoc->TypeParagraph(); return {};
        case idGoto: {
            FDoc->Selection = GoToPosition(*FDoc, args);
            return MakeDispatch<TWordRange>(FDoc, FDoc->Selection, FDoc->Selection);
        }
        case idStart:
        case idEnd: return Variant(FDoc->Selection);
        }
        return {};
    }

private:
    PDoc FDoc;
};

void CloseDocument(TWordState& state, const PDoc& doc)
{
    doc->Closed = true;
    std::erase(state.Docs, doc);
    if (state.Active == doc)
        state.Active = state.Docs.empty() ? nullptr : state.Docs.back();
}

class TWordDocumentObject : public TWordObject {
public:
    TWordDocumentObject(PState state, PDoc doc) : FState(std::move(state)), FDoc(std::move(doc)) { }

protected:
    enum { idShowSpellingErrors = 1, idParagraphs, idBookmarks, idGoto, idRange, idTables, idSaveAs, idSave, idClose,
        idFullName, idActivate };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"ShowSpellingErrors", u"Paragraphs", u"Bookmarks", u"GoTo", u"Range",
            u"Tables", u"SaveAs", u"Save", u"Close", u"FullName", u"Activate" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        RequireOpen(*FDoc);
        switch (id) {
        case idShowSpellingErrors:
            if (value) {
                FDoc->ShowSpellingErrors = value->AsBoolean();
                return {};
            }
            return Variant(FDoc->ShowSpellingErrors);
        case idParagraphs: return MakeDispatch<TWordParagraphs>(FDoc);
        case idBookmarks: return MakeDispatch<TWordBookmarks>(FDoc);
        case idGoto: {
            const int pos = GoToPosition(*FDoc, args);
            int end = pos;
            if (args[0].AsInteger() == wdGoToBookmark)
                end = pos;  // bookmarks are kept as their start
            return MakeDispatch<TWordRange>(FDoc, pos, end);
        }
        case idRange: {
            const int total = FDoc->Total();
            const int start = args.size() >= 1 && !args[0].IsEmpty() ? args[0].AsInteger() : 0;
            const int end = args.size() >= 2 && !args[1].IsEmpty() ? args[1].AsInteger() : total;
            if (start < 0 || end < start)
                throw EOleError(u"The range " + IntToStr(start) + u" to " + IntToStr(end) + u" is not valid");
            return MakeDispatch<TWordRange>(FDoc, std::min(start, total), std::min(end, total));
        }
        case idTables: return MakeDispatch<TWordTables>(FDoc);
        case idSaveAs: RequireArgs(args, 1); FDoc->SaveAs(args[0].AsString()); return {};
        case idSave: FDoc->SaveAs(FDoc->FileName); return {};
        case idClose: CloseDocument(*FState, FDoc); return {};
        case idFullName: return Variant(FDoc->FileName);
        case idActivate: FState->Active = FDoc; return {};
        }
        return {};
    }

private:
    PState FState;
    PDoc FDoc;
};

class TWordDocuments : public TWordObject {
public:
    explicit TWordDocuments(PState state) : FState(std::move(state)) { }

protected:
    enum { idCount = 1, idItem, idAdd, idOpen };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Count", u"Item", u"Add", u"Open" };
        return names;
    }
    DISPID DefaultMember() const override { return idItem; }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        switch (id) {
        case idCount: return Variant(int(FState->Docs.size()));
        case idItem: {
            RequireArgs(args, 1);
            const int i = args[0].AsInteger();
            if (i < 1 || i > int(FState->Docs.size()))
                throw EOleError(u"The requested member of the collection does not exist");
            return MakeDispatch<TWordDocumentObject>(FState, FState->Docs[std::size_t(i - 1)]);
        }
        case idAdd: return Adopt(TWordDocument::CreateNew());
        case idOpen: RequireArgs(args, 1); return Adopt(TWordDocument::Open(args[0].AsString()));
        }
        return {};
    }

private:
    Variant Adopt(PDoc doc)
    {
        FState->Docs.push_back(doc);
        FState->Active = doc;
        return MakeDispatch<TWordDocumentObject>(FState, doc);
    }

    PState FState;
};

class TWordApplication : public TWordObject {
public:
    TWordApplication() : FState(std::make_shared<TWordState>()) { }

protected:
    enum { idDocuments = 1, idActiveDocument, idSelection, idQuit, idVisible };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Documents", u"ActiveDocument", u"Selection", u"Quit", u"Visible" };
        return names;
    }
    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant* value) override
    {
        switch (id) {
        case idDocuments: return MakeDispatch<TWordDocuments>(FState);
        case idActiveDocument:
            if (!FState->Active)
                throw EOleError(u"This command is not available because no document is open");
            return MakeDispatch<TWordDocumentObject>(FState, FState->Active);
        case idSelection:
            if (!FState->Active)
                throw EOleError(u"This command is not available because no document is open");
            return MakeDispatch<TWordSelection>(FState->Active);
        case idQuit:
            // Unsaved work is dropped: there is no one to ask.
            while (!FState->Docs.empty())
                CloseDocument(*FState, FState->Docs.back());
            return {};
        case idVisible:
            // There is no window to show.
            return value ? Variant() : Variant(false);
        }
        return {};
    }

private:
    PState FState;
};

} // namespace

TComPtr<IDispatch> WordApplicationFactory() { return TComPtr<IDispatch>(new TWordApplication()); }
