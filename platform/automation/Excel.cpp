// The "Excel.Application" automation server: application, workbooks,
// workbook, sheets, worksheet and range objects over the .xlsx cell store.
// The objects are thin: each holds the shared state it stands for, so a
// reference handed out stays usable until its workbook is closed.

#include <algorithm>

#include "platform/automation/Xlsx.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct TExcelState {
    std::vector<std::shared_ptr<TXlsxWorkbook>> Books;
    std::shared_ptr<TXlsxWorkbook> Active;
};
using PState = std::shared_ptr<TExcelState>;
using PBook = std::shared_ptr<TXlsxWorkbook>;
using PSheet = std::shared_ptr<TXlsxSheet>;

void RequireOpen(const TXlsxWorkbook& book)
{
    if (book.Closed)
        throw EOleError(u"The workbook has been closed");
}

class TExcelObject : public TAutoDispatch {
protected:
    String SourceName() const override { return u"Excel"; }
};

// ---- range

class TExcelRange : public TExcelObject {
public:
    enum TView { rvCells, rvRows, rvColumns };

    TExcelRange(PState state, PBook book, PSheet sheet, TRangeRef area, TView view = rvCells)
        : FState(std::move(state)), FBook(std::move(book)), FSheet(std::move(sheet)), FArea(area), FView(view) { }

protected:
    enum { idValue = 1, idValue2, idAddress, idRows, idColumns, idCount, idCells, idRow, idColumn, idActivate, idItem };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Value", u"Value2", u"Address", u"Rows", u"Columns", u"Count", u"Cells",
            u"Row", u"Column", u"Activate", u"Item" };
        return names;
    }
    DISPID DefaultMember() const override { return idValue; }

    Variant DoInvoke(DISPID id, WORD flags, std::span<const Variant> args, const Variant* value) override
    {
        RequireOpen(*FBook);
        switch (id) {
        case idValue:
        case idValue2:
            if (value) {
                PutValue(*value);
                return {};
            }
            return GetValue();
        case idAddress: {
            const bool rowAbs = args.size() < 1 || args[0].IsEmpty() || args[0].AsBoolean();
            const bool colAbs = args.size() < 2 || args[1].IsEmpty() || args[1].AsBoolean();
            String first = (colAbs ? u"$" : u"") + ColumnLetters(FArea.Col1) + (rowAbs ? u"$" : u"") + IntToStr(FArea.Row1);
            if (FArea.RowCount() == 1 && FArea.ColCount() == 1)
                return Variant(first);
            return Variant(first + u":" + (colAbs ? u"$" : u"") + ColumnLetters(FArea.Col2) + (rowAbs ? u"$" : u"")
                + IntToStr(FArea.Row2));
        }
        case idRows: return MakeDispatch<TExcelRange>(FState, FBook, FSheet, FArea, rvRows);
        case idColumns: return MakeDispatch<TExcelRange>(FState, FBook, FSheet, FArea, rvColumns);
        case idCount:
            if (FView == rvRows)
                return Variant(FArea.RowCount());
            if (FView == rvColumns)
                return Variant(FArea.ColCount());
            return Variant(double(FArea.RowCount()) * FArea.ColCount());
        case idCells:
        case idItem: {
            if (args.empty())
                return MakeDispatch<TExcelRange>(FState, FBook, FSheet, FArea);
            RequireArgs(args, 2);
            const int r = FArea.Row1 + args[0].AsInteger() - 1;
            const int c = FArea.Col1 + args[1].AsInteger() - 1;
            if (r < 1 || r > XlsxMaxRows || c < 1 || c > XlsxMaxCols)
                throw EOleError(u"Cells: row " + args[0].AsString() + u", column " + args[1].AsString()
                    + u" lies outside the worksheet");
            return MakeDispatch<TExcelRange>(FState, FBook, FSheet, TRangeRef { r, c, r, c });
        }
        case idRow: return Variant(FArea.Row1);
        case idColumn: return Variant(FArea.Col1);
        case idActivate: {
            FSheet->ActiveCell = { FArea.Row1, FArea.Col1 };
            auto& sheets = FBook->Sheets;
            FBook->ActiveSheet = int(std::find(sheets.begin(), sheets.end(), FSheet) - sheets.begin());
            FState->Active = FBook;
            return Variant(true);
        }
        }
        (void)flags;
        return {};
    }

private:
    std::uint64_t CellCount() const { return std::uint64_t(FArea.RowCount()) * std::uint64_t(FArea.ColCount()); }

    void RequireSize() const
    {
        if (CellCount() > XlsxReadLimits().MaxCells)
            throw EOleError(u"The range " + RangeAddress(FArea, false) + u" is too large");
    }

    Variant GetValue() const
    {
        if (FArea.RowCount() == 1 && FArea.ColCount() == 1)
            return FSheet->Value(FArea.Row1, FArea.Col1, FBook->Date1904);
        RequireSize();
        Variant block = VarArrayCreate({ 1, FArea.RowCount(), 1, FArea.ColCount() }, varVariant);
        for (auto it = FSheet->Rows.lower_bound(FArea.Row1); it != FSheet->Rows.end() && it->first <= FArea.Row2; ++it)
            for (const TXlsxCell& c : it->second.Cells)
                if (c.Col >= FArea.Col1 && c.Col <= FArea.Col2 && c.Kind != TXlsxCell::ckEmpty)
                    block.PutElement({ it->first - FArea.Row1 + 1, c.Col - FArea.Col1 + 1 },
                        it->second.ValueOf(c, FBook->Date1904));
        return block;
    }

    void PutValue(const Variant& value)
    {
        std::vector<std::vector<Variant>> rows;
        if (value.IsArray()) {
            const int dims = value.DimCount();
            if (dims == 1) {
                const int lo = value.LowBound(1);
                const int n = std::min(value.HighBound(1) - lo + 1, FArea.ColCount());
                rows.emplace_back();
                for (int j = 0; j < n; ++j)
                    rows.back().push_back(value.GetElement({ lo + j }));
            } else if (dims == 2) {
                const int lo1 = value.LowBound(1), lo2 = value.LowBound(2);
                const int n = std::min(value.HighBound(1) - lo1 + 1, FArea.RowCount());
                const int m = std::min(value.HighBound(2) - lo2 + 1, FArea.ColCount());
                rows.resize(std::size_t(std::max(n, 0)));
                for (int i = 0; i < n; ++i) {
                    rows[std::size_t(i)].reserve(std::size_t(std::max(m, 0)));
                    for (int j = 0; j < m; ++j)
                        rows[std::size_t(i)].push_back(value.GetElement({ lo1 + i, lo2 + j }));
                }
            } else {
                throw EOleError(u"A range takes a value or a one- or two-dimensional array");
            }
        } else {
            // One value fills the whole range.
            RequireSize();
            rows.assign(std::size_t(FArea.RowCount()), std::vector<Variant>(std::size_t(FArea.ColCount()), value));
        }
        FBook->WriteBlock(*FSheet, FArea.Row1, FArea.Col1, rows);
    }

    PState FState;
    PBook FBook;
    PSheet FSheet;
    TRangeRef FArea;
    TView FView;
};

// ---- worksheet

int IndexOf(const TXlsxWorkbook& book, const PSheet& sheet)
{
    return int(std::find(book.Sheets.begin(), book.Sheets.end(), sheet) - book.Sheets.begin());
}

class TExcelWorksheet : public TExcelObject {
public:
    TExcelWorksheet(PState state, PBook book, PSheet sheet)
        : FState(std::move(state)), FBook(std::move(book)), FSheet(std::move(sheet)) { }

protected:
    enum { idName = 1, idRange, idUsedRange, idRows, idColumns, idCells, idActivate, idIndex };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Name", u"Range", u"UsedRange", u"Rows", u"Columns", u"Cells",
            u"Activate", u"Index" };
        return names;
    }

    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        RequireOpen(*FBook);
        const TRangeRef whole { 1, 1, XlsxMaxRows, XlsxMaxCols };
        switch (id) {
        case idName:
            if (value) {
                const String name = value->AsString();
                FBook->CheckSheetName(name, FSheet.get());
                if (name != FSheet->Name)
                    FBook->Saved = false;
                FSheet->Name = name;
                return {};
            }
            return Variant(FSheet->Name);
        case idRange: {
            RequireArgs(args, 1);
            TRangeRef area;
            const String text = args.size() >= 2 ? args[0].AsString() + u":" + args[1].AsString() : args[0].AsString();
            if (!ParseRangeRef(text, area))
                throw EOleError(u"Range: \"" + text + u"\" is no cell address");
            RequireCells();
            return MakeDispatch<TExcelRange>(FState, FBook, FSheet, area);
        }
        case idUsedRange: {
            RequireCells();
            TRangeRef used = FSheet->UsedRange();
            if (used.Row1 == 0)
                used = { 1, 1, 1, 1 };
            return MakeDispatch<TExcelRange>(FState, FBook, FSheet, used);
        }
        case idRows: RequireCells(); return MakeDispatch<TExcelRange>(FState, FBook, FSheet, whole, TExcelRange::rvRows);
        case idColumns: RequireCells(); return MakeDispatch<TExcelRange>(FState, FBook, FSheet, whole, TExcelRange::rvColumns);
        case idCells: {
            RequireCells();
            Variant all = MakeDispatch<TExcelRange>(FState, FBook, FSheet, whole);
            if (args.empty())
                return all;
            RequireArgs(args, 2);
            return DispGet(all, u"Cells", { args[0], args[1] });
        }
        case idActivate:
            FBook->ActiveSheet = IndexOf(*FBook, FSheet);
            FState->Active = FBook;
            return {};
        case idIndex: return Variant(IndexOf(*FBook, FSheet) + 1);
        }
        return {};
    }

private:
    void RequireCells() const
    {
        if (FSheet->ChartSheet)
            throw EOleError(u"The chart sheet \"" + FSheet->Name + u"\" has no cells");
    }

    PState FState;
    PBook FBook;
    PSheet FSheet;
};

// ---- sheets collection

class TExcelSheets : public TExcelObject {
public:
    TExcelSheets(PState state, PBook book, bool worksheetsOnly)
        : FState(std::move(state)), FBook(std::move(book)), FWorksheetsOnly(worksheetsOnly) { }

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
        RequireOpen(*FBook);
        const auto list = Listed();
        switch (id) {
        case idCount: return Variant(int(list.size()));
        case idItem: {
            RequireArgs(args, 1);
            if (VarIsStr(args[0])) {
                for (const PSheet& s : list)
                    if (AnsiSameText(s->Name, args[0].AsString()))
                        return MakeDispatch<TExcelWorksheet>(FState, FBook, s);
                throw EOleError(u"No sheet is named \"" + args[0].AsString() + u"\"");
            }
            const int index = args[0].AsInteger();
            if (index < 1 || index > int(list.size()))
                throw EOleError(u"Sheet index " + IntToStr(index) + u" is out of range (1 to "
                    + IntToStr(int(list.size())) + u")");
            return MakeDispatch<TExcelWorksheet>(FState, FBook, list[std::size_t(index - 1)]);
        }
        case idAdd: {
            auto sheet = std::make_shared<TXlsxSheet>();
            sheet->Name = FBook->NextSheetName();
            const int at = std::clamp(FBook->ActiveSheet, 0, int(FBook->Sheets.size()));
            FBook->Sheets.insert(FBook->Sheets.begin() + at, sheet);
            FBook->ActiveSheet = at;
            FBook->Saved = false;
            return MakeDispatch<TExcelWorksheet>(FState, FBook, sheet);
        }
        }
        return {};
    }

private:
    std::vector<PSheet> Listed() const
    {
        std::vector<PSheet> out;
        for (const auto& s : FBook->Sheets)
            if (!FWorksheetsOnly || !s->ChartSheet)
                out.push_back(s);
        return out;
    }

    PState FState;
    PBook FBook;
    bool FWorksheetsOnly;
};

// ---- workbook

void CloseBook(TExcelState& state, const PBook& book)
{
    book->Closed = true;
    std::erase(state.Books, book);
    if (state.Active == book)
        state.Active = state.Books.empty() ? nullptr : state.Books.back();
}

class TExcelWorkbook : public TExcelObject {
public:
    TExcelWorkbook(PState state, PBook book) : FState(std::move(state)), FBook(std::move(book)) { }

protected:
    enum { idSheets = 1, idWorkSheets, idActiveSheet, idSave, idSaveAs, idClose, idSaved, idFullName, idActivate };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Sheets", u"WorkSheets", u"ActiveSheet", u"Save", u"SaveAs", u"Close",
            u"Saved", u"FullName", u"Activate" };
        return names;
    }

    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant* value) override
    {
        RequireOpen(*FBook);
        switch (id) {
        case idSheets: return MakeDispatch<TExcelSheets>(FState, FBook, false);
        case idWorkSheets: return MakeDispatch<TExcelSheets>(FState, FBook, true);
        case idActiveSheet:
            return MakeDispatch<TExcelWorksheet>(FState, FBook, FBook->Sheets[std::size_t(FBook->ActiveSheet)]);
        case idSave: FBook->SaveAs(FBook->FileName); return {};
        case idSaveAs:
            RequireArgs(args, 1);
            FBook->SaveAs(args[0].AsString());
            return {};
        case idClose: {
            const bool save = !args.empty() && !args[0].IsEmpty() && args[0].AsBoolean();
            if (save && !FBook->Saved)
                FBook->SaveAs(args.size() >= 2 && !args[1].IsEmpty() ? args[1].AsString() : FBook->FileName);
            CloseBook(*FState, FBook);
            return {};
        }
        case idSaved:
            if (value) {
                FBook->Saved = value->AsBoolean();
                return {};
            }
            return Variant(FBook->Saved);
        case idFullName: return Variant(FBook->FileName);
        case idActivate: FState->Active = FBook; return {};
        }
        return {};
    }

private:
    PState FState;
    PBook FBook;
};

// ---- workbooks collection

class TExcelWorkbooks : public TExcelObject {
public:
    explicit TExcelWorkbooks(PState state) : FState(std::move(state)) { }

protected:
    enum { idCount = 1, idItem, idAdd, idOpen, idClose };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"Count", u"Item", u"Add", u"Open", u"Close" };
        return names;
    }
    DISPID DefaultMember() const override { return idItem; }

    Variant DoInvoke(DISPID id, WORD, std::span<const Variant> args, const Variant*) override
    {
        switch (id) {
        case idCount: return Variant(int(FState->Books.size()));
        case idItem: {
            RequireArgs(args, 1);
            const int index = args[0].AsInteger();
            if (index < 1 || index > int(FState->Books.size()))
                throw EOleError(u"Workbook index " + IntToStr(index) + u" is out of range");
            return MakeDispatch<TExcelWorkbook>(FState, FState->Books[std::size_t(index - 1)]);
        }
        case idAdd: return Adopt(TXlsxWorkbook::CreateNew());
        case idOpen:
            RequireArgs(args, 1);
            return Adopt(TXlsxWorkbook::Open(args[0].AsString()));
        case idClose:
            while (!FState->Books.empty())
                CloseBook(*FState, FState->Books.back());
            return {};
        }
        return {};
    }

private:
    Variant Adopt(PBook book)
    {
        FState->Books.push_back(book);
        FState->Active = book;
        return MakeDispatch<TExcelWorkbook>(FState, book);
    }

    PState FState;
};

// ---- application

class TExcelApplication : public TExcelObject {
public:
    TExcelApplication() : FState(std::make_shared<TExcelState>()) { }

protected:
    enum { idWorkBooks = 1, idActiveWorkBook, idActiveSheet, idActiveCell, idQuit };
    std::span<const StringView> Names() const override
    {
        static const StringView names[] = { u"WorkBooks", u"ActiveWorkBook", u"ActiveSheet", u"ActiveCell", u"Quit" };
        return names;
    }

    Variant DoInvoke(DISPID id, WORD, std::span<const Variant>, const Variant*) override
    {
        switch (id) {
        case idWorkBooks: return MakeDispatch<TExcelWorkbooks>(FState);
        case idActiveWorkBook:
            return FState->Active ? MakeDispatch<TExcelWorkbook>(FState, FState->Active) : Variant();
        case idActiveSheet:
        case idActiveCell: {
            if (!FState->Active)
                throw EOleError(u"No workbook is open");
            const PBook& book = FState->Active;
            const PSheet& sheet = book->Sheets[std::size_t(book->ActiveSheet)];
            if (id == idActiveSheet)
                return MakeDispatch<TExcelWorksheet>(FState, book, sheet);
            const TCellRef cell = sheet->ActiveCell;
            return MakeDispatch<TExcelRange>(FState, book, sheet, TRangeRef { cell.Row, cell.Col, cell.Row, cell.Col });
        }
        case idQuit:
            // Unsaved work is dropped: there is no one to ask.
            while (!FState->Books.empty())
                CloseBook(*FState, FState->Books.back());
            return {};
        }
        return {};
    }

private:
    PState FState;
};

} // namespace

TComPtr<IDispatch> ExcelApplicationFactory() { return TComPtr<IDispatch>(new TExcelApplication()); }
