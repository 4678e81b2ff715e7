#pragma once
// The document model of the "word.application" server and its .docx roads.
// Positions count characters as the word processor does: a paragraph is its
// text and a mark, a table cell its text and a mark, a table row one more.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/Word.h"

struct TWordCell {
    String Text;
    int Align { 0 };  // 0 left (the default), 1 centred, 2 right
};

struct TWordTable {
    std::vector<std::vector<TWordCell>> Rows;
    bool ReadOnly { false };  // a table of an opened file stays as it is
    int ColCount() const { return Rows.empty() ? 0 : int(Rows[0].size()); }
};

struct TWordBlock {
    enum TKind { bkParagraph, bkTable, bkOther } Kind { bkParagraph };
    int Id { 0 };
    String Text;  // a paragraph's text (of an opened one: what the file holds)
    std::shared_ptr<TWordTable> Table;
    int FixedLength { 0 };  // characters an opened table or other block counts

    // A block of the opened file: its bytes in the main part.
    bool Original { false };
    bool Modified { false };  // emitted from Head + typed Prefix + content + Tail
    std::size_t Begin { 0 }, End { 0 };
    std::size_t ContentBegin { 0 }, ContentEnd { 0 };
    std::string Head, Tail;
    String Prefix;  // text typed at the start of an opened paragraph
    // Where the paragraph's children start: character offset -> byte.
    std::vector<std::pair<int, std::size_t>> Boundaries;

    int Length() const;
};

struct TWordBookmark {
    String Name;
    int BlockId { 0 };
    int Offset { 0 };
};

class TWordDocument {
public:
    std::vector<TWordBlock> Blocks;
    std::map<String, TWordBookmark> Bookmarks;  // by upper-case name
    int Selection { 0 };
    bool ShowSpellingErrors { true };
    bool Closed { false };
    String FileName;    // opened from or last saved to
    String SourceFile;  // the package of an opened document
    std::string MainXml;
    std::string MainPart { "word/document.xml" };
    std::string Prefix { "w:" };  // the main namespace's prefix in MainXml
    std::size_t HeaderEnd { 0 }, TrailerBegin { 0 };

    // A new document: one empty paragraph.
    static std::shared_ptr<TWordDocument> CreateNew();
    // Reads a .docx; raises EWordError with a clear message when it cannot.
    static std::shared_ptr<TWordDocument> Open(const String& fileName);
    // Writes through a temporary file beside the target, renamed over it.
    void SaveAs(const String& fileName);

    int Total() const;
    int StartOf(std::size_t block) const;
    // The block holding position pos and the offset in it.
    std::size_t Locate(int pos, int& offset) const;
    int ParagraphCount() const;
    // The start of paragraph n (from 1; -1 for the last).
    int LineStart(int n) const;

    void TypeText(const String& text);
    void TypeParagraph();
    // A new empty paragraph at the end of the document.
    void AddParagraph();
    // A new table at position pos, splitting the paragraph there.
    std::shared_ptr<TWordTable> AddTable(int pos, int rows, int cols);
    std::vector<std::shared_ptr<TWordTable>> Tables() const;

    // The main part as it is now.
    std::string MainPartXml() const;

private:
    TWordBlock NewParagraph(const String& text);
    // Splits block i at offset; returns the index of the second piece.
    std::size_t SplitAt(std::size_t i, int offset);
    int FNextId { 1 };
};
